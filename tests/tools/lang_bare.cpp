// A stand-in language module without the entry points.
#include <windows.h>

extern "C" __declspec(dllexport) int LanguageBareMarker()
{
    return 1;
}

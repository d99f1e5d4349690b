// A stand-in language module whose ZVI_LanguageInit refuses: start-up must end
// cleanly with it.
#include <windows.h>

extern "C" __declspec(dllexport) int __stdcall ZVI_LanguageInit(HINSTANCE, HWND, int, void *)
{
    return 0;
}

extern "C" __declspec(dllexport) int __stdcall ZVI_LanguageExit()
{
    return 1;
}

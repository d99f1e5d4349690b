// Start-up, message loop and the main window procedures.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    (void)instance;
    return 0;
}

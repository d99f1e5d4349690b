// Start-up, message loop and the main window procedures.
#include "app/darad4.h"

HINSTANCE g_Instance = nullptr;
HWND g_MainWnd = nullptr;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_MainWnd = nullptr;
    g_Instance = instance;
    return 0;
}

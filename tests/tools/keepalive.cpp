// Owns one hidden window for the length of a test run. While a window-owning
// process lives, Wine keeps its desktop process running; otherwise each GUI test
// starts a new one, which inherits the test's output pipe and delays ctest.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    HWND wnd = CreateWindowExA(0, "STATIC", "darad4 keepalive", WS_POPUP, 0, 0, 1, 1,
                               nullptr, nullptr, instance, nullptr);
    if (!wnd)
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

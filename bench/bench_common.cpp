#include "bench/bench_common.h"

#include <windows.h>

#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "database/storage.h"

double BenchSeconds()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

int BenchPrepareDrawing()
{
    SystemInitDrawing(0);
    SystemInitDrawingSettings(&g_DrawingSettings);
    if (!g_Universal1 && !MemInitWork())
        return 0;
    MemFreeChunks();
    MemInitLists();
    MemEnlargeList();
    InitCreateGdiResources();
    InitCreateScreenObjects();
    return 1;
}

HWND BenchMakeWindow(WNDPROC proc, const char *className, int width, int height)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowExA(0, className, "bench", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

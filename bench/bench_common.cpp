#include "bench/bench_common.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/darad4.h"
#include "app/darad4_draw.h"
#include "app/window.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "database/storage.h"
#include "display/output.h"
#include "geometry/matrix.h"

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

int BenchPrepareDrawing(const char *part)
{
    SystemInitDrawing(0);
    SystemInitDrawingSettings(&g_DrawingSettings);
    if (!g_WorkArrays.pathPoints && !MemInitWork()) {
        std::printf("%s: no work memory\n", part);
        return 0;
    }
    MemFreeChunks();
    MemInitLists();
    MemEnlargeList();
    InitCreateGdiResources();
    InitCreateScreenObjects();
    return 1;
}

BenchDib BenchMakeDib(int width, int height)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    BenchDib dib{};
    dib.dc = CreateCompatibleDC(nullptr);
    void *bits = nullptr;
    dib.bitmap = CreateDIBSection(dib.dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    dib.old = SelectObject(dib.dc, dib.bitmap);
    return dib;
}

void BenchFreeDib(BenchDib *dib)
{
    SelectObject(dib->dc, dib->old);
    DeleteObject(dib->bitmap);
    DeleteDC(dib->dc);
    *dib = BenchDib{};
}

void BenchSetupScreenView(int width, int height, double world, double zoomFactor)
{
    OutputResetContext(OUTPUT_SCREEN);
    const double half = world / 2.0 / zoomFactor;
    const double shown[4] = {world / 2.0 - half, world / 2.0 - half, world / 2.0 + half, world / 2.0 + half};
    OutputSetupView(width, height, shown, 100);
    // The visible rectangle of the whole DIB, wider than the fitted square.
    Matrix inverse;
    const double pixels[4] = {0, 0, double(width), double(height)};
    MatrixInvert(&g_OutputContext.base, &inverse);
    MatrixTransformRect(&inverse, pixels, g_OutputContext.visibleRect);
    std::memcpy(g_OutputContext.noClipRect, g_OutputContext.visibleRect, sizeof g_OutputContext.visibleRect);
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

HWND BenchMakeDrawingWindow(const char *part, const char *className, int width, int height)
{
    HWND hwnd = BenchMakeWindow(AppDrawWndProc1, className, width, height);
    if (!hwnd) {
        std::printf("%s: no window\n", part);
        return nullptr;
    }
    g_Options.rulerVisible = g_Options.buttonVisible = g_Options.scrollVisible = g_Options.viewVisible = 0;
    WindowComputeScreenMetrics(width, height, 254.0 * width / 800, 190.5 * height / 600, &g_ScreenMetrics);
    g_DrawWindowCount = 1;
    g_ActiveWindow = g_PanelWindow = 0;
    WindowInitRecord(&g_DrawWindows[0], hwnd, 0);
    WindowUpdateAllSystems();
    WindowSetView(0, WINDOW_VIEW_ABSOLUTE, 0.0, 0.0, 1.0);
    g_AppActive = 1;
    g_StartScreen = 0;
    g_Closing = 0;
    return hwnd;
}

void BenchFreeDrawingWindow(HWND hwnd)
{
    g_AppActive = 0;
    DestroyWindow(hwnd);
    WindowInitRecord(&g_DrawWindows[0], nullptr, 0);
    MemFreeChunks();
    MemInitLists();
}

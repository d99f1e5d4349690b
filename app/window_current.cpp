// The window current for conversions and its unit factors.
#include "app/window_current.h"

DrawWindow g_DrawWindows[WINDOW_DRAW_COUNT];
DrawWindow g_ViewWindow;
int32_t g_ActiveWindow = 0;
ConvertState g_ConvertState = {&g_DrawWindows[0], 3, 0, 0};

void WindowResetUnits(DrawWindow *window)
{
    window->angleFactor = WINDOW_RADIANS_PER_DEGREE;
    window->widthFactor = 1.0;
    window->lengthFactor = 1.0;
    window->mmPerUnit = 1.0;
    const double identity[6] = {1.0, 0.0, 0.0, 1.0, 0.0, 0.0};
    for (int i = 0; i < 6; ++i) {
        window->MatrixMMToSystem[i] = identity[i];
        window->MatrixSystemToMM[i] = identity[i];
    }
}

// Until a drawing sets its systems up, every window works in millimetres and degrees.
static int ResetAllWindows()
{
    for (DrawWindow &w : g_DrawWindows)
        WindowResetUnits(&w);
    WindowResetUnits(&g_ViewWindow);
    return 1;
}
static const int s_WindowsReset = ResetAllWindows();

DrawWindow *WindowGetRecord(int window)
{
    if (window == WINDOW_VIEW)
        return &g_ViewWindow;
    if (window >= 0 && window < WINDOW_DRAW_COUNT)
        return &g_DrawWindows[window];
    return nullptr;
}

void WindowSelectCurrent()
{
    DrawWindow *w = WindowGetRecord(g_ActiveWindow);
    g_ConvertState.window = w ? w : &g_DrawWindows[0];
}

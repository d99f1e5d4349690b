// Program state shared by the dialogs.
#include "app/init_dialogs.h"

uint32_t g_PopupByRightButton = 0;
HFONT hDialogFont = nullptr;
RECT g_DrawingArea = {0, 0, 0, 0};

void InitReadScreenSize()
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return;
    g_ScreenWidth = GetDeviceCaps(screen, HORZRES);
    g_ScreenHeight = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
}

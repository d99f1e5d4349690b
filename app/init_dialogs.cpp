// Program state shared by the dialogs.
#include "app/init_dialogs.h"

HMODULE g_LanguageModule = nullptr;
uint32_t g_ModalDepth = 0;
uint32_t g_PopupByRightButton = 0;
HFONT hDialogFont = nullptr;
int g_ScreenWidth = 0;
int g_ScreenHeight = 0;
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

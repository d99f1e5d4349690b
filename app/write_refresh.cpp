// Status texts that follow the running command.
#include "app/write_refresh.h"

#include <cstdio>

#include "app/darad4.h"
#include "commands/command_state.h"

char g_StatusMessage[256];
uint32_t g_GuideState = 0;

namespace {

constexpr uint32_t GUIDE_COORDINATE_STEP = 0x80 | 0x100 | 0x200;

void Repaint(HWND window)
{
    if (window)
        InvalidateRect(window, nullptr, FALSE);
}

} // namespace

void WriteRefreshFrame()
{
    Repaint(hGlobalPanel);
    Repaint(hGlobalGuide);
    Repaint(hGlobalStatus);
}

void WriteRefreshStatus() { Repaint(hGlobalStatus); }

void WriteRefreshStatusPosition() { Repaint(hGlobalStatus); }

void WriteShowStatusText(const char *text, const char *second)
{
    std::snprintf(g_StatusMessage, sizeof g_StatusMessage, "%s%s%s", text ? text : "",
                  text && second ? " " : "", second ? second : "");
    Repaint(hGlobalStatus);
}

void WriteSetGuideState(uint32_t bits, const char *)
{
    uint32_t state = bits;
    const CommandState &cs = *g_CommandState;
    if (cs.pointKind < POINT_KIND_FIRST_PICK && cs.commandId != COMMAND_TRANSPARENT)
        state |= GUIDE_COORDINATE_STEP;
    if (state != g_GuideState) {
        g_GuideState = state;
        Repaint(hGlobalGuide);
    }
}

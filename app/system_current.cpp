// The page frames and the display settings that value texts and terms read.
#include "app/system_current.h"

// An A4 sheet across until a drawing sets its pages.
PageFrame g_PageFrames[SYSTEM_MAX_PAGES] = {{0.0, 0.0, 297.0, 210.0}};
int32_t g_ActivePage = 0;
int32_t g_DisplayDecimal = 0;

const PageFrame &SystemActivePageFrame()
{
    if (g_ActivePage < 0 || g_ActivePage >= SYSTEM_MAX_PAGES)
        return g_PageFrames[0];
    return g_PageFrames[g_ActivePage];
}

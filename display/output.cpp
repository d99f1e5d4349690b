#include "display/output.h"

OutputContext g_OutputContext = {nullptr, 0, OUTPUT_SCREEN, -1, 1.0, {}};

int OutputDrawObject(HDC dc, Unit *unit)
{
    // The renderer proper draws here; without a device context (no drawing
    // window yet) there is nothing to draw into.
    (void)dc;
    (void)unit;
    return 1;
}

// Corners between two picked objects: the geometry comes from the corner
// constructions, and every candidate becomes an object in place of the two.
#include "commands/trim_corner.h"

#include <cmath>

#include "app/darad4.h"
#include "app/system.h"
#include "commands/command_state.h"
#include "commands/trim.h"
#include "database/object_ident.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/calc_candidate.h"
#include "geometry/calc_fit.h"
#include "geometry/frame.h"

namespace {

bool CornerType(int32_t type)
{
    return type == OBJTYPE_LINE || type == OBJTYPE_CIRC_ARC || type == OBJTYPE_CIRC_SEC || type == OBJTYPE_CIRC_SEGM;
}

// The geometry of the object picked in input entry k; false after an alert.
// Circles, zigzags and the ellipse family have no end to move: refused.
bool PickedRecord(int k, GeoObject *g)
{
    *g = GeoObject{};
    const int32_t type = ObjectGetIdentGeometry(g_InputPoints[k].ident, g);
    if (type < 0) {
        AlertSM5(g_MainWnd);
        return false;
    }
    if (!CornerType(type)) {
        AlertSM60(g_MainWnd);
        return false;
    }
    g->type = type;
    return true;
}

} // namespace

int TrimCornerObjects(int command)
{
    FrameSetEmpty(g_ExtentsRect);
    GeoObject g1, g2;
    if (!PickedRecord(0, &g1) || !PickedRecord(1, &g2))
        return 0;
    const int32_t ident1 = g_InputPoints[0].ident, ident2 = g_InputPoints[1].ident;
    const CalcPoint pick1 = {g_InputPoints[0].x, g_InputPoints[0].y};
    const CalcPoint pick2 = {g_InputPoints[1].x, g_InputPoints[1].y};
    const CommandDefaults &d = g_CommandDefaults;
    int count = 0;
    // An object cornered with itself has no second end to meet.
    if (ident1 != ident2) {
        switch (command) {
        case CMD_CORNER_EXTEND: count = CalcCornerExtendObjects(&g1, &g2, &pick1, &pick2); break;
        case CMD_CORNER_CHAMFER:
            count = CalcCornerChamferObjects(&g1, &g2, &pick1, &pick2, d.distances[COMMAND_DISTANCE_CHAMFER], d.angle);
            break;
        case CMD_CORNER_FILLET:
            count = CalcCornerRoundObjects(&g1, &g2, &pick1, &pick2, d.distances[COMMAND_DISTANCE_FILLET]);
            break;
        case CMD_CORNER_ARC:
            count = CalcCornerArcObjects(&g1, &g2, &pick1, &pick2, d.distances[COMMAND_DISTANCE_FILLET]);
            break;
        default: break;
        }
    }
    if (count < 1) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    // The pieces go behind the first object, which they replace; the second
    // object goes too unless copy mode keeps both.
    if (!TrimReplaceByCandidates(ident1, count))
        return 0;
    Unit *second = UndoFindIdent(ident2);
    if (second && !g_DrawingSettings.displayDuplicate) {
        FrameUnion(g_ExtentsRect, second->frame);
        UndoStampDeleted(second);
    }
    return 1;
}

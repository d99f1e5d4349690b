// Identification on accept: the picks and selections of the steps whose kind
// is 45 or more, through the identify and selection operations of the
// drawing database, and the redraw of what they changed.
#include "commands/input.h"

#include <cmath>

#include "app/init_sound.h"
#include "app/window.h"
#include "commands/command_state.h"
#include "database/object_ident.h"
#include "database/object_select.h"
#include "database/undo.h"
#include "display/output_select.h"
#include "display/screen.h"

namespace {

constexpr int32_t COMMAND_SELECT_UNMARKED = 1004; // objects carrying the mark 0x1 are skipped
constexpr int32_t COMMAND_CUT_OUT = 701;
constexpr int32_t COMMAND_SPLIT = 702;
constexpr int32_t COMMAND_SELECT_MARKED = 1005;   // only objects carrying it
constexpr uint32_t FLAGS_SKIP_MARKED = IDENTIFY_SKIP_MARKED | IDENTIFY_FILTERED | IDENTIFY_INSTANCES;
constexpr uint32_t FLAGS_ONLY_MARKED = IDENTIFY_ONLY_MARKED | IDENTIFY_FILTERED | IDENTIFY_INSTANCES;
constexpr int32_t KIND_SELECT_LOCKED_TOO = 141;
// A press and release farther apart than this (pixels) is a drag.

// A frame begun by pressing the button where nothing can be picked: its
// release elsewhere closes it.
struct DragFrame {
    bool open = false;
    int window = -1;
    double x = 0, y = 0;
};
DragFrame s_Drag;

// The identify operation of a pick kind.
int Identify(InputPickOp op, int window, double x, double y, uint32_t flags)
{
    switch (op) {
    case PICK_ANY: return ObjectIdentifyAny(window, x, y, flags);
    case PICK_INSTANCE: return ObjectIdentifyInstance(window, x, y, flags);
    case PICK_SIMPLE:
        // Cutting out and splitting also take hatches, curves and surfaces.
        if (g_CommandState->commandId == COMMAND_CUT_OUT || g_CommandState->commandId == COMMAND_SPLIT)
            return ObjectIdentifyPath(window, x, y, flags);
        return ObjectIdentifySimple(window, x, y, flags);
    case PICK_LINE: return ObjectIdentifyLine(window, x, y, flags);
    case PICK_CIRCLE_FAMILY: return ObjectIdentifyCircleFamily(window, x, y, flags);
    case PICK_CIRC_ARC: return ObjectIdentifyCircArc(window, x, y, flags);
    case PICK_ELLIPSE: return ObjectIdentifyEllipse(window, x, y, flags);
    case PICK_ELLI_ARC: return ObjectIdentifyElliArc(window, x, y, flags);
    case PICK_CURVE: return ObjectIdentifyCurve(window, x, y, flags);
    case PICK_SURFACE: return ObjectIdentifySurface(window, x, y, flags);
    case PICK_CURVE_SURFACE: return ObjectIdentifyCurveSurface(window, x, y, flags);
    case PICK_CLOSED: return ObjectIdentifyClosed(window, x, y, flags);
    case PICK_TEXT: return ObjectIdentifyText(window, x, y, flags);
    case PICK_DIMENSION: return ObjectIdentifyDimension(window, x, y, flags);
    case PICK_DIM: return ObjectIdentifyDim(window, x, y, flags);
    case PICK_CLIP: return ObjectIdentifyClip(window, x, y, flags);
    case PICK_ANNOTATION: return ObjectIdentifyAnnotation(window, x, y, flags);
    case PICK_COMMENT: return ObjectIdentifyComment(window, x, y, flags);
    case PICK_GEO: return ObjectIdentifyGeo(window, x, y, flags);
    default: return 1;
    }
}

// The identify flags of a selection step: the kind's, or those of the
// mark-selecting commands.
uint32_t SelectionFlags(int32_t kind)
{
    const int32_t command = g_CommandState->commandId;
    if (command == COMMAND_SELECT_UNMARKED)
        return FLAGS_SKIP_MARKED;
    if (command == COMMAND_SELECT_MARKED)
        return FLAGS_ONLY_MARKED;
    return g_PointKinds[kind].mask;
}

} // namespace

int InputIdentifyStep(int kind, int window, double x, double y)
{
    if (kind < POINT_KIND_FIRST_PICK || kind >= POINT_KIND_LIMIT)
        return 1;
    const PointKindInfo &info = g_PointKinds[kind];
    if (info.kindClass == KIND_ELEMENT)
        return ObjectIdentifyElement(window, x, y, info.mask, g_CommandState->pointIndex) > 0 ? 1 : 0;
    if (info.kindClass == KIND_OBJECT)
        return Identify(info.op, window, x, y, info.mask) ? 1 : 0;
    return 1;
}

int InputSelectPicked(int kind, int window, double x, double y)
{
    if (kind == POINT_KIND_POINT_SELECTION)
        return ObjectSelectPointsNear(window, x, y);
    if (Identify(g_PointKinds[kind].op, window, x, y, SelectionFlags(kind) | IDENTIFY_QUIET))
        return ObjectSelectByIdent(g_IdentCounter - 1);
    if (g_IdentifyLastCount != 0)
        return 0; // the choice among several was cancelled
    // Nothing under the press: it begins a frame that the release closes.
    CommandState &cs = *g_CommandState;
    cs.rect[0] = x, cs.rect[1] = y;
    cs.rectanglePending = 1;
    s_Drag = DragFrame{true, window, x, y};
    return 1;
}

int InputSelectInRectangle(int kind, const double rect[4])
{
    s_Drag.open = false;
    if (kind == POINT_KIND_POINT_SELECTION)
        return ObjectSelectPointsInRect(rect[0], rect[1], rect[2], rect[3]);
    const int32_t command = g_CommandState->commandId;
    const int skip = command == COMMAND_SELECT_UNMARKED ? 1 : command == COMMAND_SELECT_MARKED ? 0 : -1;
    const int locked = skip < 0 && kind == KIND_SELECT_LOCKED_TOO;
    return ObjectSelectByRectangle(rect[0], rect[1], rect[2], rect[3], skip, locked);
}

int InputSelectionRelease(int window, int x, int y)
{
    if (!s_Drag.open)
        return 0;
    s_Drag.open = false;
    const DrawWindow *w = WindowGetRecord(window);
    if (!w || window != s_Drag.window || !g_CommandState->rectanglePending)
        return 0;
    ScreenHitTestMargin(window, x, y); // the cursor position is the release point
    double ax, ay, bx, by;
    MatrixApply(w->MatrixMMToPixel, s_Drag.x, s_Drag.y, &ax, &ay);
    MatrixApply(w->MatrixMMToPixel, g_CursorPos.x, g_CursorPos.y, &bx, &by);
    if (std::fabs(bx - ax) <= DRAG_PIXELS && std::fabs(by - ay) <= DRAG_PIXELS) {
        // Released where it was pressed: a click on nothing.
        g_CommandState->rectanglePending = 0;
        InitBeep();
        return 0;
    }
    return 1;
}

int InputSelectByMenu(int32_t kind, uint32_t mask)
{
    switch (kind) {
    case 135: return ObjectSelectAnnotations(mask);
    case 136: return ObjectSelectTexts(mask);
    case 137: return ObjectSelectDimAndLines(mask);
    case 138: return ObjectSelectDims(mask);
    case 139: return ObjectSelectInstances(mask);
    case 140: return ObjectSelectByMask(mask, 0);
    case KIND_SELECT_LOCKED_TOO: return ObjectSelectByMask(mask, 1);
    case 142:
    case 143: return ObjectSelectComments(mask);
    case POINT_KIND_POINT_SELECTION: return ObjectSelectPointsByMask(mask);
    default: return 0;
    }
}

void InputRedrawSelection(int)
{
    // The highlights and the handles are brought up together.
    OutputRedrawSelection();
}

void InputDropSelection()
{
    InputDropPointSelection();
    InputDropObjectSelection();
}

void InputDropPointSelection()
{
    CommandState &cs = *g_CommandState;
    if (cs.handlesDrawn)
        ObjectDeselectAllPoints();
    else
        ObjectClearPointSelection();
    OutputRedrawSelection();
    cs.pointsSelected = 0;
    cs.handlesDrawn = 0;
}

void InputDropObjectSelection()
{
    CommandState &cs = *g_CommandState;
    if (cs.selectionDrawn)
        ObjectDeselectAll();
    else
        ObjectSelectionReset();
    OutputRedrawSelection();
    cs.objectsSelected = 0;
    cs.selectionDrawn = 0;
    s_Drag.open = false;
}

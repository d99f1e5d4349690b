// Identification on accept: the picks and selections of the steps whose kind
// is 45 or more, through the identify and selection operations of the
// drawing database, and the redraw of what they changed.
#include "commands/input.h"

#include <cmath>

#include "app/init_sound.h"
#include "app/system.h"
#include "app/window.h"
#include "app/write_refresh.h"
#include "commands/command_keys.h"
#include "commands/command_state.h"
#include "database/object_ident.h"
#include "database/object_select.h"
#include "database/undo.h"
#include "display/output_select.h"
#include "display/screen.h"

namespace {

constexpr int32_t COMMAND_SELECT_UNMARKED = 1004; // objects carrying the mark 0x1 are skipped
constexpr int32_t COMMAND_SELECT_MARKED = 1005;   // only objects carrying it
constexpr uint32_t FLAGS_SKIP_MARKED = IDENTIFY_SKIP_MARKED | IDENTIFY_FILTERED | IDENTIFY_INSTANCES;
constexpr uint32_t FLAGS_ONLY_MARKED = IDENTIFY_ONLY_MARKED | IDENTIFY_FILTERED | IDENTIFY_INSTANCES;
constexpr int32_t KIND_SELECT_LOCKED_TOO = 141;
// Templates whose selection completes the command at once: the selection is
// not redrawn unless it is additive (66 to 71 and 74), and the point
// selection of 88 likewise.
constexpr int32_t TEMPLATE_QUICK_FIRST = 66, TEMPLATE_QUICK_LAST = 71, TEMPLATE_QUICK_EXTRA = 74;
constexpr int32_t TEMPLATE_QUICK_POINTS = 88;
// A press and release farther apart than this (pixels) is a drag.
constexpr double DRAG_PIXELS = 3.0;

// A frame begun by pressing the button where nothing can be picked: its
// release elsewhere closes it.
struct DragFrame {
    bool open = false;
    int window = -1;
    double x = 0, y = 0;
};
DragFrame s_Drag;

bool AdditiveHeld()
{
    return CommandIsKeyDown(VK_CONTROL) ||
           (g_Options.mButtonMode == MBUTTON_AS_CTRL && CommandIsKeyDown(VK_MBUTTON));
}

bool RectangleHeld()
{
    return CommandIsKeyDown(VK_SHIFT) || (g_Options.mButtonMode == MBUTTON_AS_SHIFT && CommandIsKeyDown(VK_MBUTTON));
}

bool QuickTemplate(int32_t t)
{
    return (t >= TEMPLATE_QUICK_FIRST && t <= TEMPLATE_QUICK_LAST) || t == TEMPLATE_QUICK_EXTRA;
}

// The identify operation of a pick kind.
int Identify(InputPickOp op, int window, double x, double y, uint32_t flags)
{
    switch (op) {
    case PICK_ANY: return ObjectIdentifyAny(window, x, y, flags);
    case PICK_INSTANCE: return ObjectIdentifyInstance(window, x, y, flags);
    case PICK_SIMPLE: return ObjectIdentifySimple(window, x, y, flags);
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

void RedrawSelected(bool additive)
{
    if (!QuickTemplate(g_CommandState->templateNumber) || additive)
        OutputRedrawSelection();
}

void RedrawHandles(bool additive)
{
    if (g_CommandState->templateNumber != TEMPLATE_QUICK_POINTS || additive)
        OutputRedrawSelection();
}

// The second corner of a pending rectangle: the selection inside it.
bool CloseRectangle(int32_t kind, double x, double y)
{
    CommandState &cs = *g_CommandState;
    cs.rect[2] = x, cs.rect[3] = y;
    cs.rectanglePending = 0;
    s_Drag.open = false;
    if (kind == POINT_KIND_POINT_SELECTION) {
        ObjectSelectPointsInRect(cs.rect[0], cs.rect[1], x, y);
        return true;
    }
    const int32_t command = cs.commandId;
    const int skip = command == COMMAND_SELECT_UNMARKED ? 1 : command == COMMAND_SELECT_MARKED ? 0 : -1;
    const int locked = command != COMMAND_SELECT_UNMARKED && command != COMMAND_SELECT_MARKED &&
                       kind == KIND_SELECT_LOCKED_TOO;
    return ObjectSelectByRectangle(cs.rect[0], cs.rect[1], x, y, skip, locked) != 0;
}

void OpenRectangle(double x, double y)
{
    CommandState &cs = *g_CommandState;
    cs.rect[0] = x, cs.rect[1] = y;
    cs.rectanglePending = 1;
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

int InputSelectionStep(int kind, int window, double x, double y)
{
    CommandState &cs = *g_CommandState;
    const bool additive = AdditiveHeld();
    // Ctrl released: the selection made so far is the step's result.
    if (cs.additive && !additive) {
        cs.additive = 0;
        cs.rectanglePending = 0;
        return 1;
    }
    const bool wasAdditive = cs.additive != 0;
    const bool points = kind == POINT_KIND_POINT_SELECTION;
    bool ok = false;
    if (cs.rectanglePending) {
        ok = CloseRectangle(kind, x, y);
    } else if (RectangleHeld()) {
        OpenRectangle(x, y);
    } else if (points) {
        ok = ObjectSelectPointsNear(window, x, y) != 0;
    } else {
        // Pressing where nothing can be picked begins a frame that the
        // release of the button closes (InputSelectionRelease).
        if (!Identify(g_PointKinds[kind].op, window, x, y, SelectionFlags(kind) | IDENTIFY_QUIET)) {
            if (g_IdentifyLastCount == 0) {
                OpenRectangle(x, y);
                s_Drag = DragFrame{true, window, x, y};
            }
        } else if (ObjectSelectByIdent(g_IdentCounter - 1)) {
            ok = true;
        } else {
            InitBeep();
        }
    }
    if (ok) {
        if (additive)
            cs.additive = 1;
        if (points)
            RedrawHandles(cs.additive != 0);
        else
            RedrawSelected(cs.additive != 0);
        if (!wasAdditive && additive)
            WriteRefreshFrame();
    }
    if (cs.additive || cs.rectanglePending)
        return INPUT_SELECTION_OPEN;
    return ok ? 1 : 0;
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
    CommandState &cs = *g_CommandState;
    const bool additive = AdditiveHeld();
    if (cs.additive && !additive) {
        cs.additive = 0;
        cs.rectanglePending = 0;
        return 0;
    }
    int any = 0;
    switch (kind) {
    case 135: any = ObjectSelectAnnotations(mask); break;
    case 136: any = ObjectSelectTexts(mask); break;
    case 137: any = ObjectSelectDimAndLines(mask); break;
    case 138: any = ObjectSelectDims(mask); break;
    case 139: any = ObjectSelectInstances(mask); break;
    case 140: any = ObjectSelectByMask(mask, 0); break;
    case 141: any = ObjectSelectByMask(mask, 1); break;
    case 142:
    case 143: any = ObjectSelectComments(mask); break;
    case POINT_KIND_POINT_SELECTION: any = ObjectSelectPointsByMask(mask); break;
    default: return 0;
    }
    if (!any) {
        InitBeep();
        return 0;
    }
    if (additive)
        cs.additive = 1;
    const int32_t t = cs.templateNumber;
    const bool quick = QuickTemplate(t) || t == TEMPLATE_QUICK_POINTS;
    if (!quick || cs.additive)
        OutputRedrawSelection();
    return !cs.additive && !cs.rectanglePending ? 1 : 0;
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

#include "commands/input_pointer.h"

#include <cmath>

#include "app/darad4.h"
#include "app/init_sound.h"
#include "app/system.h"
#include "app/window.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "database/object.h"
#include "database/object_modify.h"
#include "database/object_rects.h"
#include "database/object_select.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "display/output_paint.h"
#include "display/screen.h"
#include "geometry/calc.h"
#include "language/language_entries.h"

namespace {

// One handle box: a reference point of the frame and the pixel ranges
// around its image (strict bounds).
struct HandleBox {
    int32_t code;
    int refX, refY; // 0 min, 1 middle, 2 max of the frame
    int x0, x1, y0, y1;
};

constexpr int B = POINTER_BOX, H = POINTER_HALF_BOX;

// In the order of the test; the first hit wins.
const HandleBox kBoxes[] = {
    {0x8008, 0, 0, 0, B, -B, 0},  {0x8000, 0, 0, -B, 0, 0, B},  {POINTER_DELETE, 0, 0, 0, B, 0, B},
    {0x800C, 0, 1, 0, B, -H, H},  {0x8004, 0, 1, -B, 0, -H, H}, {0x8009, 0, 2, 0, B, 0, B},
    {0x8001, 0, 2, -B, 0, -B, 0}, {0x800F, 1, 0, -H, H, -B, 0}, {0x8007, 1, 0, -H, H, 0, B},
    {0x800D, 1, 2, -H, H, 0, B},  {0x8005, 1, 2, -H, H, -B, 0}, {0x800B, 2, 0, -B, 0, -B, 0},
    {0x8003, 2, 0, 0, B, 0, B},   {0x800E, 2, 1, -B, 0, -H, H}, {0x8006, 2, 1, 0, B, -H, H},
    {0x800A, 2, 2, -B, 0, 0, B},  {0x8002, 2, 2, 0, B, -B, 0},  {POINTER_DELETE, 2, 2, -B, 0, -B, 0},
};

double Along(double lo, double hi, int which) { return which == 0 ? lo : which == 2 ? hi : (lo + hi) / 2; }

// Operation about q: move by -q, the operation, move by +q.
template <typename Op>
void About(Matrix *m, double qx, double qy, Op op)
{
    MatrixMove(m, -qx, -qy);
    op();
    MatrixMove(m, qx, qy);
}

double TurnAbout(double qx, double qy, double sx, double sy, double ex, double ey)
{
    return CalcAngleOfVector(ex - qx, ey - qy) - CalcAngleOfVector(sx - qx, sy - qy);
}

} // namespace

int32_t InputPointerHandleAt(const double r[4], const Matrix &toPixel, double x, double y)
{
    double px, py;
    MatrixApply(toPixel, x, y, &px, &py);
    for (const HandleBox &b : kBoxes) {
        double bx, by;
        MatrixApply(toPixel, Along(r[0], r[2], b.refX), Along(r[1], r[3], b.refY), &bx, &by);
        if (px > bx + b.x0 && px < bx + b.x1 && py > by + b.y0 && py < by + b.y1)
            return b.code;
    }
    if (r[0] < x && x < r[2] && r[1] < y && y < r[3])
        return POINTER_MOVE;
    return 0;
}

void InputPointerDragMatrix(int32_t code, const double r[4], double sx, double sy, double ex, double ey,
                            Matrix *m)
{
    MatrixInit(m);
    const double xmin = r[0], ymin = r[1], xmax = r[2], ymax = r[3];
    const double xmid = (xmin + xmax) / 2, ymid = (ymin + ymax) / 2;
    if (code >= 0x8000 && code <= 0x8003) {
        // Rotation about the opposite corner.
        const double qx = code == 0x8000 || code == 0x8001 ? xmax : xmin;
        const double qy = code == 0x8000 || code == 0x8003 ? ymax : ymin;
        const double a = TurnAbout(qx, qy, sx, sy, ex, ey);
        About(m, qx, qy, [&] { MatrixRotate(m, a); });
    } else if (code == POINTER_SHEAR_LEFT || code == POINTER_SHEAR_RIGHT) {
        const double qx = code == POINTER_SHEAR_LEFT ? xmax : xmin, qy = ymid;
        const double a = TurnAbout(qx, qy, sx, sy, ex, ey);
        About(m, qx, qy, [&] { MatrixShearY(m, std::tan(a)); });
    } else if (code == POINTER_SHEAR_TOP_EDGE || code == POINTER_SHEAR_BOTTOM_EDGE) {
        const double qx = xmid, qy = code == POINTER_SHEAR_BOTTOM_EDGE ? ymax : ymin;
        const double a = TurnAbout(qx, qy, sx, sy, ex, ey);
        About(m, qx, qy, [&] { MatrixShearX(m, -std::tan(a)); });
    } else if (code >= 0x8008 && code <= 0x800B) {
        // Proportional scaling about the opposite corner; across its axes it mirrors.
        const double qx = code == 0x8008 || code == 0x8009 ? xmax : xmin;
        const double qy = code == 0x8008 || code == 0x800B ? ymax : ymin;
        const double r1 = std::hypot(sx - qx, sy - qy), r2 = std::hypot(ex - qx, ey - qy);
        if (r1 == 0)
            return;
        const double s = r2 / r1;
        const double fx = (ex - qx) * (sx - qx) < 0 ? -s : s, fy = (ey - qy) * (sy - qy) < 0 ? -s : s;
        About(m, qx, qy, [&] { MatrixScale(m, fx, fy); });
    } else if (code == POINTER_STRETCH_X_RIGHT || code == POINTER_STRETCH_X_LEFT) {
        const double px = code == POINTER_STRETCH_X_RIGHT ? xmax : xmin;
        if (sx == px)
            return;
        About(m, px, 0, [&] { MatrixScale(m, (ex - px) / (sx - px), 1); });
    } else if (code == POINTER_STRETCH_Y_BOTTOM || code == POINTER_STRETCH_Y_TOP) {
        const double py = code == POINTER_STRETCH_Y_BOTTOM ? ymin : ymax;
        if (sy == py)
            return;
        About(m, 0, py, [&] { MatrixScale(m, 1, (ey - py) / (sy - py)); });
    } else {
        MatrixMove(m, ex - sx, ey - sy);
    }
}

// ---------------------------------------------------------------------------
// The input machine's branches.

namespace {

constexpr double kNoExtent = 1e300;

// The press that picked a handle, in pixels of its window.
struct HandlePress {
    bool open = false;
    int window = -1;
    double px = 0, py = 0;
};
HandlePress s_Press;

// The frame from the selection's extents; an axis without finite extent
// collapses to 0. False when nothing is selected.
bool FrameFromSelection()
{
    if (!ObjectExtentsVisible(LIST_DRAWING, UNIT_SELECTED))
        return false;
    double *r = g_CommandState->rect;
    for (int k = 0; k < 4; ++k)
        r[k] = g_ExtentsRect[k];
    if (r[0] >= kNoExtent || r[2] <= -kNoExtent)
        r[0] = r[2] = 0;
    if (r[1] >= kNoExtent || r[3] <= -kNoExtent)
        r[1] = r[3] = 0;
    return true;
}

const Matrix &WindowToPixel()
{
    const int w = g_ActiveWindow >= 0 && g_ActiveWindow < WINDOW_DRAW_COUNT ? g_ActiveWindow : 0;
    return g_DrawWindows[w].MatrixMMToPixel;
}

int DeleteSelection()
{
    if (AlertYesNo(g_MainWnd, LANG(eAlertTextSM, e32)) != ALERT_YES)
        return INPUT_REFUSED;
    UndoInitProcess();
    if (ObjectDeleteSelected(UNIT_SELECTED)) {
        UndoFinishProcess();
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
    } else {
        UndoCancelProcess();
    }
    return INPUT_ASK_NEXT;
}

int PickHandle(double x, double y)
{
    CommandState &cs = *g_CommandState;
    if (!FrameFromSelection())
        return INPUT_CANCEL;
    cs.variant = InputPointerHandleAt(cs.rect, WindowToPixel(), x, y);
    if (cs.variant == 0) {
        InitBeep();
        return INPUT_REFUSED;
    }
    if (cs.variant == POINTER_DELETE)
        return DeleteSelection();
    s_Press.open = true;
    s_Press.window = g_ActiveWindow;
    MatrixApply(WindowToPixel(), x, y, &s_Press.px, &s_Press.py);
    return INPUT_CONTINUE;
}

int ApplyDrag()
{
    s_Press.open = false;
    CommandState &cs = *g_CommandState;
    cs.progressTotal = ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED);
    const int copy = g_DrawingSettings.displayDuplicate ? 1 : 0;
    if (cs.progressTotal && ObjectTransformSelection(&cs.matrix, UNIT_SELECTED, copy, 1)) {
        if (copy)
            OutputInvalidateAreaAll(g_ChangedRect);
        else
            OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
    }
    if (!FrameFromSelection())
        return INPUT_CANCEL;
    if (copy) {
        // Every further click makes one more copy with the same pick.
        cs.additive = 1;
        return INPUT_REFUSED;
    }
    return INPUT_CONTINUE;
}

} // namespace

int InputPointerAccept(int index, double x, double y)
{
    if (index < 1)
        return INPUT_CONTINUE;
    return index % 2 == 1 ? PickHandle(x, y) : ApplyDrag();
}

int InputPointerConstruct(int index, double x, double y)
{
    g_ConstructionPoints[index].x = x;
    g_ConstructionPoints[index].y = y;
    if (index < 2 || index % 2 == 1)
        return 1;
    CommandState &cs = *g_CommandState;
    const InputPointEntry &s = g_InputPoints[index - 1];
    InputPointerDragMatrix(cs.variant, cs.rect, s.x, s.y, x, y, &cs.matrix);
    const double *r = cs.rect;
    const double xs[4] = {r[0], r[0], r[2], r[2]}, ys[4] = {r[1], r[3], r[3], r[1]};
    for (int k = 0; k < 4; ++k)
        MatrixApply(cs.matrix, xs[k], ys[k], &cs.corners[2 * k], &cs.corners[2 * k + 1]);
    return 1;
}

int InputPointerRelease(int window, int x, int y)
{
    if (!s_Press.open)
        return 0;
    s_Press.open = false;
    const CommandState &cs = *g_CommandState;
    const DrawWindow *w = WindowGetRecord(window);
    if (!w || window != s_Press.window || cs.commandId != COMMAND_POINTER || cs.variant == 0 ||
        cs.pointIndex < 2 || cs.pointIndex % 2 != 0)
        return 0;
    ScreenHitTestMargin(window, x, y); // the cursor position is the release point
    double bx, by;
    MatrixApply(w->MatrixMMToPixel, g_CursorPos.x, g_CursorPos.y, &bx, &by);
    return std::fabs(bx - s_Press.px) > DRAG_PIXELS || std::fabs(by - s_Press.py) > DRAG_PIXELS;
}

// Clipping and device primitives: lines, marks, labels, frames, endless lines
// and the program's own dashing of device lines.
#include "display/clip.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "display/output.h"
#include "geometry/matrix.h"
#include "language/language.h"

namespace {

constexpr double MIN_DASH_WIDTH = 0.1; // mm
constexpr double HUNDREDTH = 0.01;
constexpr double PARALLEL_EPSILON = 1e-10;
constexpr double PICK_FRAME_PIXELS = 2.0;
constexpr double HALF_DIAGONAL = 0.7071067811865;
constexpr int DIALOG_TEXT_NO_NUMBER = 9;
constexpr int LABEL_SIZE = 64;
constexpr int PLACING_SIZE = 20;
constexpr DWORD ROP_DEST_XNOR_SOURCE = 0x990066;

const OutputContext &Ctx() { return g_OutputContext; }

void Map(double x, double y, double *X, double *Y) { MatrixApply(g_OutputContext.current, x, y, X, Y); }

// The safe rectangle as doubles.
void SafeRect(double r[4])
{
    for (int i = 0; i < 4; ++i)
        r[i] = Ctx().safePixelRect[i];
}

int Outcode(double x, double y, const double r[4])
{
    int c = 0;
    if (x < r[0])
        c = CLIP_LEFT;
    else if (x > r[2])
        c = CLIP_RIGHT;
    if (y < r[1])
        c |= CLIP_TOP;
    else if (y > r[3])
        c |= CLIP_BOTTOM;
    return c;
}

// Moves one end onto the rectangle: one pass, the slopes of the unclipped line.
int ClipEnd(double &x, double &y, int code, double m, double k, const double r[4])
{
    if (code & (CLIP_LEFT | CLIP_RIGHT)) {
        const double nx = (code & CLIP_LEFT) ? r[0] : r[2];
        y += (nx - x) * m;
        x = nx;
        code = Outcode(x, y, r);
    }
    if (code & (CLIP_TOP | CLIP_BOTTOM)) {
        const double ny = (code & CLIP_TOP) ? r[1] : r[3];
        x += (ny - y) * k;
        y = ny;
        code = Outcode(x, y, r);
    }
    return code;
}

// Clips a line to a rectangle; false when nothing of it remains.
bool ClipToRect(double &x1, double &y1, double &x2, double &y2, const double r[4])
{
    int c1 = Outcode(x1, y1, r), c2 = Outcode(x2, y2, r);
    if ((c1 | c2) == 0)
        return true;
    if (c1 & c2)
        return false;
    const double dx = x2 - x1, dy = y2 - y1;
    double m = 0.0, k = 0.0;
    if (dx != 0.0 && dy != 0.0) {
        m = dy / dx;
        k = dx / dy;
    }
    if (c1)
        c1 = ClipEnd(x1, y1, c1, m, k, r);
    if (c2)
        c2 = ClipEnd(x2, y2, c2, m, k, r);
    return c1 + c2 == 0;
}

bool InSafeRect(double X, double Y)
{
    const int32_t *r = Ctx().safePixelRect;
    return X >= r[0] && X <= r[2] && Y >= r[1] && Y <= r[3];
}

int32_t Clamp(double v, int32_t low, int32_t high)
{
    if (v < low)
        return low;
    if (v > high)
        return high;
    return ClipRound(v);
}

// Draws a rounded device line with the flags' stroke.
void StrokeByFlags(HDC hdc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t flags)
{
    if (flags & DRAW_DASHED)
        ClipDashDeviceLine(hdc, x1, y1, x2, y2);
    else if (flags & DRAW_STROKE)
        ClipStrokeDeviceLine(hdc, x1, y1, x2, y2);
}

// The endless line construction against a rectangle {left, top, right, bottom}
// in the frame where `r` lives; false when the line misses it.
bool EndlessThroughRect(double x1, double y1, double dx, double dy, const double r[4], bool roundCoordinates,
                        double out[4])
{
    auto rd = [roundCoordinates](double v) { return roundCoordinates ? std::floor(v + 0.5) : v; };
    if (std::fabs(dy) < PARALLEL_EPSILON) {
        if (y1 < r[1] || y1 > r[3])
            return false;
        out[0] = r[0], out[1] = rd(y1), out[2] = r[2], out[3] = rd(y1);
        return true;
    }
    if (std::fabs(dx) < PARALLEL_EPSILON) {
        if (x1 < r[0] || x1 > r[2])
            return false;
        out[0] = rd(x1), out[1] = r[1], out[2] = rd(x1), out[3] = r[3];
        return true;
    }
    if (std::fabs(dx) > std::fabs(dy)) {
        const double ya = y1 + (r[0] - x1) * dy / dx;
        const double yb = y1 + (r[2] - x1) * dy / dx;
        if (std::fmax(ya, yb) < r[1] || std::fmin(ya, yb) > r[3])
            return false;
        out[0] = r[0], out[1] = rd(ya), out[2] = r[2], out[3] = rd(yb);
        return true;
    }
    const double xa = x1 + (r[1] - y1) * dx / dy;
    const double xb = x1 + (r[3] - y1) * dx / dy;
    if (std::fmax(xa, xb) < r[0] || std::fmin(xa, xb) > r[2])
        return false;
    out[0] = rd(xa), out[1] = r[1], out[2] = rd(xb), out[3] = r[3];
    return true;
}

} // namespace

int ClipOutcode(double x, double y)
{
    double r[4];
    SafeRect(r);
    return Outcode(x, y, r);
}

int ClipOutcodeWorld(double x, double y) { return Outcode(x, y, Ctx().outputRect); }

void ClipDrawSegment(HDC hdc, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    if (g_IsWin9x) {
        BeginPath(hdc);
        MoveToEx(hdc, x1, y1, nullptr);
        LineTo(hdc, x2, y2);
        EndPath(hdc);
        StrokePath(hdc);
        return;
    }
    MoveToEx(hdc, x1, y1, nullptr);
    LineTo(hdc, x2, y2);
}

void ClipDrawLine(HDC hdc, double x1, double y1, double x2, double y2)
{
    double r[4];
    SafeRect(r);
    if (!ClipToRect(x1, y1, x2, y2, r))
        return;
    ClipDrawSegment(hdc, ClipRound(x1), ClipRound(y1), ClipRound(x2), ClipRound(y2));
}

void ClipDrawWorldLine(HDC hdc, double x1, double y1, double x2, double y2)
{
    double X1, Y1, X2, Y2;
    Map(x1, y1, &X1, &Y1);
    Map(x2, y2, &X2, &Y2);
    ClipDrawLine(hdc, X1, Y1, X2, Y2);
}

void ClipDrawWorldFrame(HDC hdc, double x1, double y1, double x2, double y2)
{
    double X[4], Y[4];
    Map(x1, y1, &X[0], &Y[0]);
    Map(x2, y1, &X[1], &Y[1]);
    Map(x2, y2, &X[2], &Y[2]);
    Map(x1, y2, &X[3], &Y[3]);
    for (int i = 0; i < 4; ++i)
        ClipDrawLine(hdc, X[i], Y[i], X[(i + 1) % 4], Y[(i + 1) % 4]);
}

void ClipDrawPickFrame(HDC hdc, double x1, double y1, double x2, double y2)
{
    const double d = std::fabs(PICK_FRAME_PIXELS / Ctx().zoom);
    auto grow = [d](double &a, double &b) {
        if (a < b)
            a -= d, b += d;
        else
            b -= d, a += d;
    };
    grow(x1, x2);
    grow(y1, y2);
    ClipDrawWorldFrame(hdc, x1, y1, x2, y2);
}

void ClipDrawPolygon(HDC hdc, double x1, double y1, double x2, double y2)
{
    double X[4], Y[4];
    Map(x1, y1, &X[0], &Y[0]);
    Map(x2, y1, &X[1], &Y[1]);
    Map(x2, y2, &X[2], &Y[2]);
    Map(x1, y2, &X[3], &Y[3]);
    if (!InSafeRect((X[0] + X[2]) / 2.0, (Y[0] + Y[2]) / 2.0))
        return;
    POINT p[4];
    for (int i = 0; i < 4; ++i)
        p[i] = {ClipRound(X[i]), ClipRound(Y[i])};
    Polygon(hdc, p, 4);
}

void ClipDrawText(HDC hdc, double x, double y, const char *text)
{
    if (!text || !*text)
        return;
    double X, Y;
    Map(x, y, &X, &Y);
    if (!InSafeRect(X, Y))
        return;
    TextOutA(hdc, ClipRound(X), ClipRound(Y), text, lstrlenA(text));
}

void ClipDrawPointMark(HDC hdc, double x, double y)
{
    double X, Y;
    Map(x, y, &X, &Y);
    if (!InSafeRect(X, Y))
        return;
    const int32_t px = ClipRound(X), py = ClipRound(Y);
    MoveToEx(hdc, px - 3, py - 3, nullptr);
    LineTo(hdc, px + 4, py + 4);
    MoveToEx(hdc, px - 3, py + 3, nullptr);
    LineTo(hdc, px + 4, py - 4);
}

void ClipDrawPointBox(HDC hdc, double x, double y)
{
    double X, Y;
    Map(x, y, &X, &Y);
    if (!InSafeRect(X, Y))
        return;
    const int32_t px = ClipRound(X), py = ClipRound(Y);
    Rectangle(hdc, px - 2, py - 2, px + 3, py + 3);
}

void ClipDrawPoint(HDC hdc, double x, double y)
{
    double X, Y;
    Map(x, y, &X, &Y);
    if (!InSafeRect(X, Y))
        return;
    const int32_t px = ClipRound(X), py = ClipRound(Y);
    MoveToEx(hdc, px - 5, py - 5, nullptr);
    LineTo(hdc, px + 6, py + 6);
    MoveToEx(hdc, px + 5, py - 5, nullptr);
    LineTo(hdc, px - 6, py + 6);
    Rectangle(hdc, px - 2, py - 2, px + 3, py + 3);
}

void ClipDrawBitmapMark(HDC hdc, double x, double y)
{
    if (!g_SharedGdi.placingBitmap)
        return;
    double X, Y;
    Map(x, y, &X, &Y);
    HDC memory = CreateCompatibleDC(hdc);
    if (!memory)
        return;
    HGDIOBJ old = SelectObject(memory, g_SharedGdi.placingBitmap);
    const COLORREF oldBk = SetBkColor(hdc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(hdc, InitStandardColor(g_DrawingSettings.colorCross[0]));
    BitBlt(hdc, ClipRound(X) + 2, ClipRound(Y) - 21, PLACING_SIZE, PLACING_SIZE, memory, 0, 0, ROP_DEST_XNOR_SOURCE);
    SetBkColor(hdc, oldBk);
    SetTextColor(hdc, oldText);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void ClipMoveTo(HDC hdc, double x, double y)
{
    double X, Y;
    Map(x, y, &X, &Y);
    const int32_t *r = Ctx().safePixelRect;
    MoveToEx(hdc, Clamp(X, r[0], r[2]), Clamp(Y, r[1], r[3]), nullptr);
}

void ClipLineTo(HDC hdc, double x, double y)
{
    double X, Y;
    Map(x, y, &X, &Y);
    const int32_t *r = Ctx().safePixelRect;
    LineTo(hdc, Clamp(X, r[0], r[2]), Clamp(Y, r[1], r[3]));
}

void ClipDrawDirectionArrow(HDC hdc, double x, double y, double angle)
{
    double X, Y;
    Map(x, y, &X, &Y);
    if (!InSafeRect(X, Y))
        return;
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, 8.0, 0.0);
    MatrixRotate(&m, -angle);
    MatrixMove(&m, std::floor(X + 0.5), std::floor(Y + 0.5));
    static const double LINES[4][4] = {{0, -8, 0, 0}, {0, 0, 16, 0}, {16, 0, 9, 5}, {16, 0, 9, -5}};
    for (const auto &l : LINES) {
        double ax, ay, bx, by;
        MatrixApply(m, l[0], l[1], &ax, &ay);
        MatrixApply(m, l[2], l[3], &bx, &by);
        ClipDrawLine(hdc, ax, ay, bx, by);
    }
}

void ClipDrawNumberedFrame(HDC hdc, double x, double y, const int32_t *a, const int32_t *b)
{
    double X, Y;
    Map(x, y, &X, &Y);
    if (!InSafeRect(X, Y))
        return;
    const int32_t px = ClipRound(X), py = ClipRound(Y);
    char text[LABEL_SIZE];
    if (a && b)
        snprintf(text, sizeof text, "%d.%d", static_cast<int>(*a), static_cast<int>(*b));
    else if (a)
        snprintf(text, sizeof text, "%d", static_cast<int>(*a));
    else
        lstrcpynA(text, eDialogText[DIALOG_TEXT_NO_NUMBER] ? eDialogText[DIALOG_TEXT_NO_NUMBER] : "", sizeof text);
    SetBkMode(hdc, OPAQUE);
    SetTextColor(hdc, InitStandardColor(g_DrawingSettings.colorPoints));
    SetBkColor(hdc, InitStandardColor(g_DrawingSettings.colorDrawArea));
    SetTextAlign(hdc, 0);
    HGDIOBJ oldFont = g_SharedGdi.miniFontX ? SelectObject(hdc, g_SharedGdi.miniFontX) : nullptr;
    SIZE size{};
    GetTextExtentPoint32A(hdc, text, lstrlenA(text), &size);
    RECT box;
    box.left = px + 7;
    box.bottom = py - 6;
    box.top = box.bottom - size.cy - 2;
    box.right = box.left + size.cx + 4;
    Rectangle(hdc, px - 1, py - 1, px + 2, py + 2);
    MoveToEx(hdc, px, py, nullptr);
    LineTo(hdc, box.left + 1, box.bottom - 2);
    if (g_SharedGdi.drawAreaBrush)
        FillRect(hdc, &box, g_SharedGdi.drawAreaBrush);
    Rectangle(hdc, box.left, box.top, box.right, box.bottom);
    TextOutA(hdc, box.left + 2, box.top + 1, text, lstrlenA(text));
    if (oldFont)
        SelectObject(hdc, oldFont);
}

void ClipDrawLineStyled(HDC hdc, double x1, double y1, double x2, double y2, int clip, uint32_t flags)
{
    double X1, Y1, X2, Y2;
    Map(x1, y1, &X1, &Y1);
    Map(x2, y2, &X2, &Y2);
    if (clip) {
        double r[4];
        SafeRect(r);
        if (!ClipToRect(X1, Y1, X2, Y2, r))
            return;
    }
    StrokeByFlags(hdc, ClipRound(X1), ClipRound(Y1), ClipRound(X2), ClipRound(Y2), flags);
}

void ClipDrawWorldClippedLine(HDC hdc, double x1, double y1, double x2, double y2, int clip, uint32_t flags)
{
    if (clip && !ClipToRect(x1, y1, x2, y2, Ctx().outputRect))
        return;
    double X1, Y1, X2, Y2;
    Map(x1, y1, &X1, &Y1);
    Map(x2, y2, &X2, &Y2);
    StrokeByFlags(hdc, ClipRound(X1), ClipRound(Y1), ClipRound(X2), ClipRound(Y2), flags);
}

void ClipDrawEndlessLine(HDC hdc, double x1, double y1, double x2, double y2, int clip, uint32_t flags)
{
    (void)clip; // the line always ends on the visible area
    double out[4];
    if (Ctx().mode & OUTPUT_SCREEN) {
        double X1, Y1, X2, Y2;
        Map(x1, y1, &X1, &Y1);
        Map(x2, y2, &X2, &Y2);
        double r[4];
        for (int i = 0; i < 4; ++i)
            r[i] = Ctx().pixelClipRect[i];
        if (!EndlessThroughRect(X1, Y1, X2 - X1, Y2 - Y1, r, true, out))
            return;
        StrokeByFlags(hdc, ClipRound(out[0]), ClipRound(out[1]), ClipRound(out[2]), ClipRound(out[3]), flags);
        return;
    }
    if (!EndlessThroughRect(x1, y1, x2 - x1, y2 - y1, Ctx().outputRect, false, out))
        return;
    ClipDrawWorldClippedLine(hdc, out[0], out[1], out[2], out[3], 1, flags);
}

void ClipStrokeDeviceLine(HDC hdc, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    SetBkMode(hdc, Ctx().backgroundMode ? Ctx().backgroundMode : TRANSPARENT);
    BeginPath(hdc);
    MoveToEx(hdc, x1, y1, nullptr);
    LineTo(hdc, x2, y2);
    if (Ctx().endPixel == 1)
        LineTo(hdc, x2, y2 + 1);
    EndPath(hdc);
    StrokePath(hdc);
}

// ---------------------------------------------------------------------------
// The program's dashing.

void ClipDashBegin(ClipDashWalk *walk)
{
    *walk = ClipDashWalk{};
    walk->penDown = 1;
    const int32_t type = Ctx().lineType;
    if (type <= 0 || type >= LINE_SLOTS || g_LineDefs[type].name[0] == 0)
        return;
    const LineDef &def = g_LineDefs[type];
    int pairs = def.pairs;
    if (pairs < 0)
        pairs = 0;
    if (pairs > LINE_MAX_PAIRS)
        pairs = LINE_MAX_PAIRS;
    double unit = def.kind == 0 ? std::fmax(std::fabs(Ctx().lineWidth), MIN_DASH_WIDTH) * HUNDREDTH : HUNDREDTH;
    unit = std::fabs(unit * Ctx().widthZoom);
    double total = 0.0;
    for (int i = 0; i < 2 * pairs; ++i) {
        walk->lengths[i] = unit * std::fabs(static_cast<double>(def.lengths[i]));
        total += walk->lengths[i];
    }
    // A pattern that cannot advance would never end: such lines are drawn solid.
    if (!(total > 0.0))
        return;
    walk->count = 2 * pairs;
    walk->remaining = walk->lengths[0];
}

void ClipDashSegment(HDC hdc, ClipDashWalk *walk, double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1, dy = y2 - y1;
    double left = std::sqrt(dx * dx + dy * dy);
    if (!(left > 0.0))
        return;
    if (walk->count == 0) {
        MoveToEx(hdc, ClipRound(x1), ClipRound(y1), nullptr);
        LineTo(hdc, ClipRound(x2), ClipRound(y2));
        walk->drewLast = 1;
        walk->lastX = x2, walk->lastY = y2;
        return;
    }
    const double ux = dx / left, uy = dy / left;
    double cx = x1, cy = y1;
    while (left > 0.0) {
        if (walk->remaining <= 0.0) {
            walk->index = (walk->index + 1) % walk->count;
            walk->penDown = !walk->penDown;
            walk->remaining = walk->lengths[walk->index];
        }
        const double step = std::fmin(walk->remaining, left);
        const double nx = cx + ux * step, ny = cy + uy * step;
        if (walk->penDown) {
            MoveToEx(hdc, ClipRound(cx), ClipRound(cy), nullptr);
            LineTo(hdc, ClipRound(nx), ClipRound(ny));
            walk->lastX = nx, walk->lastY = ny;
        }
        walk->drewLast = walk->penDown;
        cx = nx, cy = ny;
        left -= step;
        walk->remaining -= step;
    }
}

void ClipDashDeviceLine(HDC hdc, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    SetBkMode(hdc, Ctx().backgroundMode ? Ctx().backgroundMode : TRANSPARENT);
    BeginPath(hdc);
    ClipDashWalk walk;
    ClipDashBegin(&walk);
    ClipDashSegment(hdc, &walk, x1, y1, x2, y2);
    if (walk.drewLast && Ctx().endPixel == 1)
        LineTo(hdc, ClipRound(walk.lastX), ClipRound(walk.lastY) + 1);
    EndPath(hdc);
    StrokePath(hdc);
}

// Clipping and device primitives, and the path buffer: world points mapped
// through the output context's current matrix, clipped to its rectangles
// and issued as GDI calls with whatever pen and brush the caller selected.
#pragma once

#include <windows.h>

#include <cstdint>

// Outcode bits.
constexpr int CLIP_TOP = 1;    // y < top
constexpr int CLIP_RIGHT = 2;  // x > right
constexpr int CLIP_BOTTOM = 4; // y > bottom
constexpr int CLIP_LEFT = 8;   // x < left

// Straight steps for a full circle of radius r (millimetres) on the current output.
int32_t ClipArcSegmentCount(double r);
// Straight steps for one cubic Bezier or spline piece whose control polygon or
// chord has the given size (millimetres) on the current output.
int32_t ClipArcSegmentCountEx(double size);

int ClipOutcode(double x, double y);
int ClipOutcodeWorld(double x, double y);

void ClipDrawSegment(HDC hdc, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void ClipDrawLine(HDC hdc, double x1, double y1, double x2, double y2);
void ClipDrawWorldLine(HDC hdc, double x1, double y1, double x2, double y2);
void ClipDrawWorldFrame(HDC hdc, double x1, double y1, double x2, double y2);
void ClipDrawPickFrame(HDC hdc, double x1, double y1, double x2, double y2);
void ClipDrawPolygon(HDC hdc, double x1, double y1, double x2, double y2);
void ClipDrawText(HDC hdc, double x, double y, const char *text);
void ClipDrawPointMark(HDC hdc, double x, double y);
void ClipDrawPointBox(HDC hdc, double x, double y);
void ClipDrawPoint(HDC hdc, double x, double y);
void ClipDrawBitmapMark(HDC hdc, double x, double y);
void ClipMoveTo(HDC hdc, double x, double y);
void ClipLineTo(HDC hdc, double x, double y);
void ClipDrawDirectionArrow(HDC hdc, double x, double y, double angle);
void ClipDrawNumberedFrame(HDC hdc, double x, double y, const int32_t *a, const int32_t *b);
void ClipDrawMarker(HDC hdc, double x, double y, int32_t shapeMask, double size, int clip, uint32_t flags);
void ClipDrawLineStyled(HDC hdc, double x1, double y1, double x2, double y2, int clip, uint32_t flags);
void ClipDrawWorldClippedLine(HDC hdc, double x1, double y1, double x2, double y2, int clip, uint32_t flags);
void ClipDrawEndlessLine(HDC hdc, double x1, double y1, double x2, double y2, int clip, uint32_t flags);
void ClipStrokeDeviceLine(HDC hdc, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void ClipDashDeviceLine(HDC hdc, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// Rounding of device coordinates before a GDI call.
inline int32_t ClipRound(double v)
{
    return static_cast<int32_t>(__builtin_floor(v + 0.5));
}

// ---------------------------------------------------------------------------
// The dash walk of the program's own dashing: its pattern in device units and
// its state, which runs on over the segments of one figure.

constexpr int CLIP_DASH_MAX = 16;

struct ClipDashWalk {
    double lengths[CLIP_DASH_MAX];
    int count;          // 0: no usable pattern, the walk draws solid
    int index;
    int penDown;
    double remaining;
    int drewLast;       // the last piece was drawn
    double lastX, lastY;
};

// Starts a walk with the pattern of the context's line type.
void ClipDashBegin(ClipDashWalk *walk);
// Walks one straight device segment.
void ClipDashSegment(HDC hdc, ClipDashWalk *walk, double x1, double y1, double x2, double y2);

// ---------------------------------------------------------------------------
// The path buffer (clip_path.cpp).

// Device point types (those of PolyDraw).
constexpr uint8_t CLIP_PT_CLOSE = PT_CLOSEFIGURE; // 1
constexpr uint8_t CLIP_PT_LINE = PT_LINETO;       // 2
constexpr uint8_t CLIP_PT_BEZIER = PT_BEZIERTO;   // 4
constexpr uint8_t CLIP_PT_MOVE = PT_MOVETO;       // 6

constexpr int32_t CLIP_WORK_POINTS = 10001;  // each fixed clipping work array; larger figures use temporary memory
constexpr int32_t CLIP_BEZIER_DEPTH = 8;     // halvings of a cubic piece that straddles the visible area
constexpr int32_t CLIP_BEZIER_MAX_OUT = 3 << CLIP_BEZIER_DEPTH; // points one clipped piece can write
constexpr int32_t CLIP_DASH_BEZIER_STEPS = 100;

// The device half of the path, laid out in Universal1.
struct ClipDevicePath {
    POINT *points;        // g_MaxPathPoints
    uint8_t *types;       // g_MaxPathPoints
    int32_t *figureLengths; // one per figure (kept beside Universal1, see ClipPathBytesNeeded)
    int32_t figureCapacity;
    int32_t figures;
    int32_t used;
};
extern ClipDevicePath g_ClipDevicePath;

// Bytes of Universal1 the device path needs for a given capacity of points:
// the integer points and their types. The figure table lives beside it, sized
// so that the points run out before the figures do.
uint32_t ClipPathBytesNeeded(uint32_t maxPathPoints);

// The world half: g_WorkArrays.pathPoints / pathTypes (points and codes).
int ClipPathBegin();
void ClipPathSetLineCodes(int32_t n);
int ClipPathPrepare(int32_t n, int closed, int clip);
int ClipPathTransformAndClip(int32_t n, int closed);
int ClipPathTransform(int32_t n, int closed);
int ClipPathStroke(HDC hdc, uint32_t flags);
int ClipPathFill(HDC hdc, uint32_t flags);
void ClipPathEmitPolyDraw(HDC hdc, int32_t first, int32_t count, int noEndPixel);
void ClipPathDashFigure(HDC hdc, int32_t first, int32_t count, int noEndPixel);
// Gives up a begun path without output.
void ClipPathAbandon();

struct BezierPiece;
struct WorkPoint;
// The cubic-piece clipper: writes into out (capacity entries) and returns the
// count, or -1 when the output would not fit.
int32_t ClipPathClipBeziers(int32_t n, const WorkPoint *points, const uint32_t *codes, WorkPoint *outPoints,
                            uint32_t *outCodes, int32_t capacity);
int32_t ClipPathClipBezier(const BezierPiece *piece, WorkPoint *outPoints, uint32_t *outCodes, int32_t index,
                           int32_t depth, int32_t capacity);

// Curve primitives (clip_curve.cpp): 1 drawn, 0 when the path failed,
// a flattener result below 1 returned as it is.
int ClipDrawBezier(HDC hdc, double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                   int clip, uint32_t flags);
int ClipDrawCircle(HDC hdc, double cx, double cy, double px, double py, int clip, uint32_t flags);
int ClipDrawCircleArc(HDC hdc, double cx, double cy, double sx, double sy, double ex, double ey, double sweep, int clip,
                      uint32_t flags);
int ClipDrawCircleSector(HDC hdc, double cx, double cy, double sx, double sy, double ex, double ey, double sweep,
                         int clip, uint32_t flags);
int ClipDrawCircleSegment(HDC hdc, double cx, double cy, double sx, double sy, double ex, double ey, double sweep,
                          int clip, uint32_t flags);
int ClipDrawEllipse(HDC hdc, double cx, double cy, double ax, double ay, double bx, double by, int clip,
                    uint32_t flags);
int ClipDrawEllipseArc(HDC hdc, double cx, double cy, double ax, double ay, double bx, double by, double sx, double sy,
                       double ex, double ey, double startParameter, double sweep, int clip, uint32_t flags);
int ClipDrawEllipseSector(HDC hdc, double cx, double cy, double ax, double ay, double bx, double by, double sx,
                          double sy, double ex, double ey, double startParameter, double sweep, int clip,
                          uint32_t flags);
int ClipDrawEllipseSegment(HDC hdc, double cx, double cy, double ax, double ay, double bx, double by, double sx,
                           double sy, double ex, double ey, double startParameter, double sweep, int clip,
                           uint32_t flags);

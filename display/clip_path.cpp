// The path buffer: world figures transformed, rejected or clipped into the
// device path held in Universal1, then stroked, filled or left as a clip path.
#include <cmath>
#include <cstring>
#include <vector>

#include "app/init_gdi.h"
#include "app/system.h"
#include "database/storage.h"
#include "display/clip.h"
#include "display/output.h"
#include "geometry/calc.h"
#include "geometry/flat.h"

ClipDevicePath g_ClipDevicePath;

namespace {

const char CLIP_PATH_SOURCE[] = "clip_path";
// Every figure holds at least two points and the closing copy.
constexpr uint32_t MIN_DEVICE_POINTS_PER_FIGURE = 3;

std::vector<int32_t> s_FigureTable;

const OutputContext &Ctx() { return g_OutputContext; }

// A clipping buffer: one of the two fixed work-array pairs, or temporary
// memory when a figure needs more room than they have.
struct ClipBuffer {
    WorkPoint *points = nullptr;
    uint32_t *codes = nullptr;
    int32_t capacity = 0;
    void *temp = nullptr;
    WorkPoint *fixedPoints = nullptr;
    uint32_t *fixedCodes = nullptr;

    ClipBuffer(WorkPoint *p, uint32_t *c) : fixedPoints(p), fixedCodes(c) {}
    ~ClipBuffer() { FreeTemp(); }
    ClipBuffer(const ClipBuffer &) = delete;
    ClipBuffer &operator=(const ClipBuffer &) = delete;

    void FreeTemp()
    {
        if (temp)
            mem_free_temp(temp, CLIP_PATH_SOURCE, __LINE__);
        temp = nullptr;
    }
    // Room for `needed` entries; false when memory is refused.
    bool Ensure(int64_t needed)
    {
        if (needed <= CLIP_WORK_POINTS && fixedPoints) {
            FreeTemp();
            points = fixedPoints, codes = fixedCodes, capacity = CLIP_WORK_POINTS;
            return true;
        }
        if (needed > INT32_MAX / static_cast<int64_t>(sizeof(WorkPoint) + sizeof(uint32_t)))
            return false;
        FreeTemp();
        const uint32_t bytes = static_cast<uint32_t>(needed * (sizeof(WorkPoint) + sizeof(uint32_t)));
        temp = mem_alloc_temp(bytes, CLIP_PATH_SOURCE, __LINE__);
        if (!temp)
            return false;
        points = static_cast<WorkPoint *>(temp);
        codes = reinterpret_cast<uint32_t *>(points + needed);
        capacity = static_cast<int32_t>(needed);
        return true;
    }
};

int GiveUp()
{
    mem_unlock_uni1(CLIP_PATH_SOURCE, __LINE__);
    return 0;
}

bool UsePolyDraw()
{
    if (g_IsWin9x)
        return false;
    return ((Ctx().mode >> 8) & 0xFF) == 0 || g_Options.usePolyDraw;
}

// Stores a figure of count transformed points (not yet rounded) into the
// device path. false when the device buffer or the figure table is full.
bool StoreFigure(const WorkPoint *pts, const uint32_t *codes, int32_t count, int closed)
{
    ClipDevicePath &d = g_ClipDevicePath;
    if (d.figures >= d.figureCapacity || static_cast<int64_t>(d.used) + count + 1 > static_cast<int64_t>(g_MaxPathPoints))
        return false;
    POINT *out = d.points + d.used;
    uint8_t *types = d.types + d.used;
    for (int32_t i = 0; i <= count; ++i)
        types[i] = CLIP_PT_LINE;
    for (int32_t i = 0; i < count; ++i) {
        out[i].x = ClipRound(pts[i].x);
        out[i].y = ClipRound(pts[i].y);
    }
    for (int32_t i = 0; i < count; ++i)
        if (codes[i] == PATH_CONTROL1 && i + 2 < count) {
            types[i] = types[i + 1] = types[i + 2] = CLIP_PT_BEZIER;
            i += 2;
        }
    out[count] = out[0];
    types[0] = CLIP_PT_MOVE;
    if (closed)
        types[count] |= CLIP_PT_CLOSE;
    d.figureLengths[d.figures++] = count + 1;
    d.used += count + 1;
    return true;
}

// One Sutherland-Hodgman pass against the edge `edge` (0 top, 1 right,
// 2 bottom, 3 left) at value e.
int32_t ClipPass(const WorkPoint *in, const uint32_t *inCodes, int32_t n, int closed, int edge, double e,
                 WorkPoint *out, uint32_t *outCodes)
{
    auto inside = [edge, e](const WorkPoint &p) {
        switch (edge) {
        case 0: return p.y >= e;
        case 1: return p.x <= e;
        case 2: return p.y <= e;
        default: return p.x >= e;
        }
    };
    auto cross = [edge, e](const WorkPoint &a, const WorkPoint &b) {
        WorkPoint r;
        if (edge == 0 || edge == 2) {
            r.y = e;
            r.x = b.x == a.x ? b.x : (e - a.y) / ((b.y - a.y) / (b.x - a.x)) + a.x;
        } else {
            r.x = e;
            r.y = b.y == a.y ? b.y : (e - a.x) * ((b.y - a.y) / (b.x - a.x)) + a.y;
        }
        return r;
    };
    int32_t k = 0;
    bool previousInside = inside(in[0]);
    if (previousInside) {
        out[k] = in[0];
        outCodes[k++] = inCodes[0];
    }
    for (int32_t j = 1; j < n; ++j) {
        const bool now = inside(in[j]);
        if (now && previousInside) {
            out[k] = in[j];
            outCodes[k++] = inCodes[j];
        } else if (now != previousInside) {
            out[k] = cross(in[j - 1], in[j]);
            outCodes[k++] = inCodes[j];
            if (now) {
                out[k] = in[j];
                outCodes[k++] = inCodes[j];
            }
        }
        previousInside = now;
    }
    if (closed && k > 0 && (out[k - 1].x != out[0].x || out[k - 1].y != out[0].y)) {
        out[k] = out[0];
        outCodes[k] = outCodes[0];
        ++k;
    }
    return k;
}

} // namespace

uint32_t ClipPathBytesNeeded(uint32_t maxPathPoints)
{
    return maxPathPoints * static_cast<uint32_t>(sizeof(POINT) + sizeof(uint8_t));
}

int ClipPathBegin()
{
    if (!g_Universal1 || g_ObjectLimits.scratchSize < ClipPathBytesNeeded(g_MaxPathPoints))
        return 0;
    if (!mem_lock_uni1(CLIP_PATH_SOURCE, __LINE__))
        return 0;
    const size_t figureCapacity = g_MaxPathPoints / MIN_DEVICE_POINTS_PER_FIGURE + 1;
    if (s_FigureTable.size() < figureCapacity)
        s_FigureTable.resize(figureCapacity);
    ClipDevicePath &d = g_ClipDevicePath;
    d.points = reinterpret_cast<POINT *>(g_Universal1);
    d.types = g_Universal1 + g_MaxPathPoints * sizeof(POINT);
    d.figureLengths = s_FigureTable.data();
    d.figureCapacity = static_cast<int32_t>(s_FigureTable.size());
    d.figures = 0;
    d.used = 0;
    return 1;
}

void ClipPathAbandon() { mem_unlock_uni1(CLIP_PATH_SOURCE, __LINE__); }

void ClipPathSetLineCodes(int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
        g_WorkArrays.pathTypes[i] = i == 0 ? PATH_START : PATH_LINE;
}

int ClipPathPrepare(int32_t n, int closed, int clip)
{
    if (n < 1)
        return 1;
    return clip ? ClipPathTransformAndClip(n, closed) : ClipPathTransform(n, closed);
}

int ClipPathTransform(int32_t n, int closed)
{
    ClipDevicePath &d = g_ClipDevicePath;
    if (d.figures >= d.figureCapacity || static_cast<int64_t>(d.used) + n + 1 > static_cast<int64_t>(g_MaxPathPoints))
        return GiveUp();
    // Transform straight into the device buffer's doubles would need room of
    // its own: map point by point instead.
    POINT *out = d.points + d.used;
    uint8_t *types = d.types + d.used;
    const Matrix &m = Ctx().current;
    for (int32_t i = 0; i < n; ++i) {
        double x, y;
        MatrixApply(m, g_WorkArrays.pathPoints[i].x, g_WorkArrays.pathPoints[i].y, &x, &y);
        out[i].x = ClipRound(x);
        out[i].y = ClipRound(y);
        types[i] = CLIP_PT_LINE;
    }
    types[n] = CLIP_PT_LINE;
    for (int32_t i = 0; i < n; ++i)
        if (g_WorkArrays.pathTypes[i] == PATH_CONTROL1 && i + 2 < n) {
            types[i] = types[i + 1] = types[i + 2] = CLIP_PT_BEZIER;
            i += 2;
        }
    out[n] = out[0];
    types[0] = CLIP_PT_MOVE;
    if (closed)
        types[n] |= CLIP_PT_CLOSE;
    d.figureLengths[d.figures++] = n + 1;
    d.used += n + 1;
    return 1;
}

int ClipPathTransformAndClip(int32_t n, int closed)
{
    ClipBuffer a(g_WorkArrays.devicePoints1, g_WorkArrays.deviceTypes1);
    ClipBuffer b(g_WorkArrays.devicePoints2, g_WorkArrays.deviceTypes2);
    if (!a.Ensure(static_cast<int64_t>(n) + 1))
        return GiveUp();
    // 2. Transform and measure.
    const Matrix &m = Ctx().current;
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    bool curves = false;
    for (int32_t i = 0; i < n; ++i) {
        WorkPoint &p = a.points[i];
        MatrixApply(m, g_WorkArrays.pathPoints[i].x, g_WorkArrays.pathPoints[i].y, &p.x, &p.y);
        minX = std::fmin(minX, p.x), maxX = std::fmax(maxX, p.x);
        minY = std::fmin(minY, p.y), maxY = std::fmax(maxY, p.y);
        if (i > 0 && g_WorkArrays.pathTypes[i] == PATH_CONTROL1)
            curves = true;
    }
    // 3. A figure that misses the visible area is dropped.
    const int32_t *pc = Ctx().pixelClipRect;
    if (maxX < pc[0] || maxY < pc[1] || minX > pc[2] || minY > pc[3])
        return 1;
    // 4. Codes.
    std::memcpy(a.codes, g_WorkArrays.pathTypes, n * sizeof(uint32_t));
    const int32_t *sr = Ctx().safePixelRect;
    int32_t count = n;
    ClipBuffer *cur = &a, *other = &b;
    // 5. Inside the safe rectangle: no clipping.
    if (!(minX >= sr[0] && minY >= sr[1] && maxX <= sr[2] && maxY <= sr[3])) {
        // 6. Close the figure explicitly, then the cubic pieces.
        if (closed) {
            cur->points[count] = cur->points[0];
            cur->codes[count++] = PATH_LINE;
        }
        if (curves) {
            int64_t pieces = 0;
            for (int32_t i = 0; i < count; ++i)
                pieces += cur->codes[i] == PATH_CONTROL1;
            if (!other->Ensure(count + pieces * CLIP_BEZIER_MAX_OUT + 1))
                return GiveUp();
            count = ClipPathClipBeziers(count, cur->points, cur->codes, other->points, other->codes, other->capacity);
            if (count < 0)
                return GiveUp();
            std::swap(cur, other);
        }
        // 7. The four edges.
        const double edges[4] = {static_cast<double>(sr[1]), static_cast<double>(sr[2]), static_cast<double>(sr[3]),
                                 static_cast<double>(sr[0])};
        const bool crosses[4] = {minY < sr[1], maxX > sr[2], maxY > sr[3], minX < sr[0]};
        for (int edge = 0; edge < 4; ++edge) {
            if (!crosses[edge] || count <= 1)
                continue;
            if (!other->Ensure(2 * static_cast<int64_t>(count) + 1))
                return GiveUp();
            count = ClipPass(cur->points, cur->codes, count, closed, edge, edges[edge], other->points, other->codes);
            std::swap(cur, other);
        }
    }
    // 9. Store.
    if (count <= 1)
        return 1;
    if (!StoreFigure(cur->points, cur->codes, count, closed))
        return GiveUp();
    return 1;
}

int32_t ClipPathClipBeziers(int32_t n, const WorkPoint *points, const uint32_t *codes, WorkPoint *outPoints,
                            uint32_t *outCodes, int32_t capacity)
{
    int32_t k = 0;
    for (int32_t i = 0; i < n; ++i) {
        if (k + CLIP_BEZIER_MAX_OUT >= capacity)
            return -1;
        const uint32_t code = codes[i];
        if (code == PATH_START || code == PATH_LINE) {
            outPoints[k] = points[i];
            outCodes[k++] = code;
        } else if (code == PATH_CONTROL1 && i > 0 && i + 2 < n) {
            BezierPiece piece;
            piece.p[0] = {points[i - 1].x, points[i - 1].y};
            piece.p[1] = {points[i].x, points[i].y};
            piece.p[2] = {points[i + 1].x, points[i + 1].y};
            piece.p[3] = {points[i + 2].x, points[i + 2].y};
            piece.t0 = 0.0;
            piece.t1 = 1.0;
            k = ClipPathClipBezier(&piece, outPoints, outCodes, k, 0, capacity);
            if (k < 0)
                return -1;
            i += 2;
        }
    }
    return k;
}

int32_t ClipPathClipBezier(const BezierPiece *piece, WorkPoint *outPoints, uint32_t *outCodes, int32_t index,
                           int32_t depth, int32_t capacity)
{
    if (index + 3 > capacity)
        return -1;
    double minX = piece->p[0].x, maxX = minX, minY = piece->p[0].y, maxY = minY;
    for (int i = 1; i < 4; ++i) {
        minX = std::fmin(minX, piece->p[i].x), maxX = std::fmax(maxX, piece->p[i].x);
        minY = std::fmin(minY, piece->p[i].y), maxY = std::fmax(maxY, piece->p[i].y);
    }
    const int32_t *sr = Ctx().safePixelRect;
    const int32_t *pc = Ctx().pixelClipRect;
    if (minX >= sr[0] && minY >= sr[1] && maxX <= sr[2] && maxY <= sr[3]) {
        outPoints[index] = {piece->p[1].x, piece->p[1].y};
        outCodes[index] = PATH_CONTROL1;
        outPoints[index + 1] = {piece->p[2].x, piece->p[2].y};
        outCodes[index + 1] = PATH_CONTROL2;
        outPoints[index + 2] = {piece->p[3].x, piece->p[3].y};
        outCodes[index + 2] = PATH_LINE;
        return index + 3;
    }
    const bool meets = maxX >= pc[0] && maxY >= pc[1] && minX <= pc[2] && minY <= pc[3];
    if (meets && depth < CLIP_BEZIER_DEPTH) {
        BezierPiece left, right;
        CalcBezierSplit(piece, &left, &right);
        const int32_t next = ClipPathClipBezier(&left, outPoints, outCodes, index, depth + 1, capacity);
        if (next < 0)
            return -1;
        return ClipPathClipBezier(&right, outPoints, outCodes, next, depth + 1, capacity);
    }
    outPoints[index] = {piece->p[3].x, piece->p[3].y};
    outCodes[index] = PATH_LINE;
    return index + 1;
}

// ---------------------------------------------------------------------------
// Output.

void ClipPathEmitPolyDraw(HDC hdc, int32_t first, int32_t count, int noEndPixel)
{
    if (count < 1)
        return;
    const ClipDevicePath &d = g_ClipDevicePath;
    SetBkMode(hdc, Ctx().backgroundMode ? Ctx().backgroundMode : TRANSPARENT);
    SelectObject(hdc, GetStockObject(NULL_BRUSH));
    const POINT *p = d.points + first;
    const uint8_t *t = d.types + first;
    if (UsePolyDraw()) {
        PolyDraw(hdc, p, t, count);
    } else {
        POINT start = p[0];
        for (int32_t i = 0; i < count; ++i) {
            const uint8_t base = t[i] & ~CLIP_PT_CLOSE;
            if (base == CLIP_PT_LINE) {
                LineTo(hdc, p[i].x, p[i].y);
            } else if (base == CLIP_PT_BEZIER && i + 2 < count) {
                PolyBezierTo(hdc, p + i, 3);
                i += 2;
            } else if (base == CLIP_PT_MOVE) {
                MoveToEx(hdc, p[i].x, p[i].y, nullptr);
                start = p[i];
            }
            if (t[i] & CLIP_PT_CLOSE) {
                LineTo(hdc, start.x, start.y);
                CloseFigure(hdc);
            }
        }
    }
    if (!noEndPixel && Ctx().endPixel == 1)
        LineTo(hdc, p[count - 1].x, p[count - 1].y + 1);
    if (Ctx().brush)
        SelectObject(hdc, Ctx().brush);
}

void ClipPathDashFigure(HDC hdc, int32_t first, int32_t count, int noEndPixel)
{
    if (count < 1)
        return;
    const ClipDevicePath &d = g_ClipDevicePath;
    const POINT *p = d.points + first;
    const uint8_t *t = d.types + first;
    ClipDashWalk walk;
    ClipDashBegin(&walk);
    WorkPoint flat[CLIP_DASH_BEZIER_STEPS + 1];
    for (int32_t i = 0; i + 1 < count; ++i) {
        if ((t[i + 1] & ~CLIP_PT_CLOSE) == CLIP_PT_BEZIER && i + 3 < count) {
            for (int k = 0; k < 4; ++k)
                flat[k] = {static_cast<double>(p[i + k].x), static_cast<double>(p[i + k].y)};
            int32_t steps = FlatAddBezierSteps(flat, 0, 0);
            if (steps < 2 || steps > CLIP_DASH_BEZIER_STEPS + 1) {
                // Unflattened: walk the chord.
                flat[1] = flat[3];
                steps = 2;
            }
            for (int32_t k = 0; k + 1 < steps; ++k)
                ClipDashSegment(hdc, &walk, flat[k].x, flat[k].y, flat[k + 1].x, flat[k + 1].y);
            i += 2;
            continue;
        }
        ClipDashSegment(hdc, &walk, p[i].x, p[i].y, p[i + 1].x, p[i + 1].y);
    }
    if (walk.drewLast && !noEndPixel && Ctx().endPixel == 1)
        LineTo(hdc, ClipRound(walk.lastX), ClipRound(walk.lastY) + 1);
}

namespace {

// Every figure through the emitter, with or without its closing copy.
void EmitFigures(HDC hdc, bool dashed, bool withCopy)
{
    const ClipDevicePath &d = g_ClipDevicePath;
    int32_t offset = 0;
    for (int32_t f = 0; f < d.figures; ++f) {
        const int32_t length = d.figureLengths[f];
        if (length >= 1) {
            const int32_t count = withCopy ? length : length - 1;
            if (dashed)
                ClipPathDashFigure(hdc, offset, count, withCopy);
            else
                ClipPathEmitPolyDraw(hdc, offset, count, withCopy);
        }
        offset += length;
    }
}

void EmitWholePath(HDC hdc)
{
    const ClipDevicePath &d = g_ClipDevicePath;
    if (d.used < 1)
        return;
    if (UsePolyDraw())
        PolyDraw(hdc, d.points, d.types, d.used);
    else
        ClipPathEmitPolyDraw(hdc, 0, d.used, 1);
}

} // namespace

int ClipPathStroke(HDC hdc, uint32_t flags)
{
    mem_unlock_uni1(CLIP_PATH_SOURCE, __LINE__);
    if (!(flags & (DRAW_DASHED | DRAW_STROKE)))
        return 0;
    SetBkMode(hdc, Ctx().backgroundMode ? Ctx().backgroundMode : TRANSPARENT);
    BeginPath(hdc);
    EmitFigures(hdc, (flags & DRAW_DASHED) != 0, false);
    EndPath(hdc);
    return StrokePath(hdc);
}

int ClipPathFill(HDC hdc, uint32_t flags)
{
    mem_unlock_uni1(CLIP_PATH_SOURCE, __LINE__);
    int result = 0;
    if (flags & DRAW_FILL) {
        SetBkMode(hdc, OPAQUE);
        BeginPath(hdc);
        EmitWholePath(hdc);
        EndPath(hdc);
        result = FillPath(hdc);
    }
    if (flags & DRAW_CLIP_PATH) {
        SetBkMode(hdc, OPAQUE);
        BeginPath(hdc);
        EmitWholePath(hdc);
        result = EndPath(hdc);
    }
    if (flags & (DRAW_DASHED | DRAW_STROKE)) {
        SetBkMode(hdc, Ctx().backgroundMode ? Ctx().backgroundMode : TRANSPARENT);
        BeginPath(hdc);
        EmitFigures(hdc, (flags & DRAW_DASHED) != 0, true);
        EndPath(hdc);
        result = StrokePath(hdc);
    }
    return result;
}

#include "geometry/frame.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "database/object.h"
#include "database/object_ident.h"
#include "display/output.h"
#include "display/symbol.h"

double g_FrameBox[4] = {FRAME_EMPTY_MIN, FRAME_EMPTY_MIN, FRAME_EMPTY_MAX, FRAME_EMPTY_MAX};
int32_t g_FrameExact = 0;

namespace {

// Widens one axis by the safety margin.
void WidenAxis(double &lo, double &hi)
{
    double m = FRAME_MARGIN_SHARE * std::fabs(hi - lo);
    if (m < FRAME_MARGIN_MIN)
        m = FRAME_MARGIN_MIN;
    if (m > FRAME_MARGIN_MAX)
        m = FRAME_MARGIN_MAX;
    lo -= m;
    hi += m;
}

void ControlRange(double p0, double p1, double p2, double p3, double &lo, double &hi)
{
    if (p3 < p0) {
        lo = p3;
        hi = p0;
    } else {
        lo = p0;
        hi = p3;
    }
    for (double p : {p1, p2}) {
        if (p < lo)
            lo = p;
        else if (p > hi)
            hi = p;
    }
}

// The parameters in (0, 1) where one coordinate of a cubic Bezier turns: the
// roots of its derivative 3 (a (1-t)^2 + 2 b (1-t) t + c t^2), with a, b, c
// the differences of consecutive control coordinates.
int BezierTurningPoints(double a, double b, double c, double t[2])
{
    const double qa = a - 2.0 * b + c, qb = 2.0 * (b - a), qc = a;
    int n = 0;
    auto keep = [&](double r) {
        if (r > 0.0 && r < 1.0)
            t[n++] = r;
    };
    const double scale = std::fabs(a) + std::fabs(b) + std::fabs(c);
    if (std::fabs(qa) <= 1e-12 * scale) {
        if (qb != 0.0)
            keep(-qc / qb);
        return n;
    }
    const double d = qb * qb - 4.0 * qa * qc;
    if (d < 0.0)
        return 0;
    // The stable pair of quadratic roots.
    const double q = -0.5 * (qb + std::copysign(std::sqrt(d), qb));
    keep(q / qa);
    if (q != 0.0)
        keep(qc / q);
    return n;
}

} // namespace

void FrameSetEmpty(double frame[4])
{
    frame[0] = frame[1] = FRAME_EMPTY_MIN;
    frame[2] = frame[3] = FRAME_EMPTY_MAX;
}

void FrameAddMargin(double frame[4])
{
    WidenAxis(frame[0], frame[2]);
    WidenAxis(frame[1], frame[3]);
}

void FrameAddBezier(const BezierPiece *piece, double frame[4], int depth)
{
    double x0, x1, y0, y1;
    ControlRange(piece->p[0].x, piece->p[1].x, piece->p[2].x, piece->p[3].x, x0, x1);
    ControlRange(piece->p[0].y, piece->p[1].y, piece->p[2].y, piece->p[3].y, y0, y1);
    if (x0 >= frame[0] && x1 <= frame[2] && y0 >= frame[1] && y1 <= frame[3])
        return;
    if (depth >= FRAME_BEZIER_DEPTH) {
        const double box[4] = {x0, y0, x1, y1};
        FrameUnion(frame, box);
        return;
    }
    BezierPiece left, right;
    CalcBezierSplit(piece, &left, &right);
    FrameAddBezier(&left, frame, depth + 1);
    FrameAddBezier(&right, frame, depth + 1);
}

void FrameAddBezierExact(const BezierPiece *piece, double frame[4])
{
    const CalcPoint *p = piece->p;
    double lo[2], hi[2];
    ControlRange(p[0].x, p[1].x, p[2].x, p[3].x, lo[0], hi[0]);
    ControlRange(p[0].y, p[1].y, p[2].y, p[3].y, lo[1], hi[1]);
    if (lo[0] >= frame[0] && hi[0] <= frame[2] && lo[1] >= frame[1] && hi[1] <= frame[3])
        return;
    FrameExtendPoint(frame, p[0].x, p[0].y);
    FrameExtendPoint(frame, p[3].x, p[3].y);
    for (int axis = 0; axis < 2; ++axis) {
        const double c0 = axis ? p[0].y : p[0].x, c1 = axis ? p[1].y : p[1].x;
        const double c2 = axis ? p[2].y : p[2].x, c3 = axis ? p[3].y : p[3].x;
        // The end points bound this axis unless a control point reaches beyond
        // them (compared directly: fmin and fmax are calls in this runtime).
        const double endLo = c3 < c0 ? c3 : c0, endHi = c3 < c0 ? c0 : c3;
        if (c1 >= endLo && c2 >= endLo && c1 <= endHi && c2 <= endHi)
            continue;
        double t[2];
        const int n = BezierTurningPoints(c1 - c0, c2 - c1, c3 - c2, t);
        for (int i = 0; i < n; ++i) {
            const double u = t[i], v = 1.0 - u;
            const double x = v * v * v * p[0].x + 3.0 * v * u * (v * p[1].x + u * p[2].x) + u * u * u * p[3].x;
            const double y = v * v * v * p[0].y + 3.0 * v * u * (v * p[1].y + u * p[2].y) + u * u * u * p[3].y;
            // Only the axis being solved is extended: the other coordinate
            // of a turning point lies between that axis's own extremes.
            if (axis == 0)
                FrameExtendPoint(frame, x, p[0].y);
            else
                FrameExtendPoint(frame, p[0].x, y);
        }
    }
}

void FrameAddBezierMatrix(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                          double frame[4], const Matrix *matrix)
{
    BezierPiece piece{{{x0, y0}, {x1, y1}, {x2, y2}, {x3, y3}}, 0.0, 1.0};
    if (matrix)
        for (CalcPoint &p : piece.p)
            MatrixApply(*matrix, p.x, p.y, &p.x, &p.y);
    FrameAddBezierExact(&piece, frame);
}

void FrameAddPath(const PathPoint *points, const uint32_t *types, int32_t count, double frame[4],
                  const Matrix *matrix)
{
    PathPoint current = {0.0, 0.0};
    for (int32_t i = 0; i < count; ++i) {
        switch (types[i]) {
        case PATH_START:
        case PATH_LINE: {
            double x = points[i].x, y = points[i].y;
            if (matrix)
                MatrixApply(*matrix, x, y, &x, &y);
            FrameExtendPoint(frame, x, y);
            current = points[i];
            break;
        }
        case PATH_CONTROL1:
            if (i + 2 >= count)
                return;
            FrameAddBezierMatrix(current.x, current.y, points[i].x, points[i].y, points[i + 1].x, points[i + 1].y,
                                 points[i + 2].x, points[i + 2].y, frame, matrix);
            current = points[i + 2];
            i += 2;
            break;
        default:
            break;
        }
    }
}

int FrameMeasureChar(HFONT font, int library, int code, double box[4], double *advance,
                     const XProperty *attributes, const Matrix *matrix)
{
    (void)attributes;
    if (font) {
        double cell[4];
        SymbolGetCharCell(code, cell, advance);
        MatrixTransformRect(matrix, cell, box);
        return 1;
    }
    // Characters of character libraries are blocks; without a loaded
    // library there is no block to measure.
    (void)library;
    return 0;
}

void FrameMeasureText(const FontDef *record, const char *text, const Matrix *textMatrix, const XProperty *own,
                      const XProperty *parent, const Matrix *outer)
{
    double box[4];
    FrameSetEmpty(box);
    Matrix m = *textMatrix;
    // The properties do not change a text's extent (own and parent stay for
    // the callers that pass them).
    if (outer)
        MatrixMultiply(&m, outer);
    m.a *= FRAME_TEXT_UNIT_SCALE;
    m.b *= FRAME_TEXT_UNIT_SCALE;
    m.c *= FRAME_TEXT_UNIT_SCALE;
    m.d *= FRAME_TEXT_UNIT_SCALE;
    HFONT font = nullptr;
    int library = -1;
    // A font that cannot be selected leaves the text unmeasured: it gets the
    // point frame at its origin, like an empty text.
    if (SymbolSelectFont(record, &font, &library) && text && *text &&
        g_OutputContext.nestingDepth <= OUTPUT_MAX_NESTING) {
        ++g_OutputContext.nestingDepth;
        double advance = 0.0;
        int code = SymbolBeginText(text, &m);
        while (code >= 32 && code <= 255) {
            double charBox[4];
            if (FrameMeasureChar(font, library, code, charBox, &advance, nullptr, &m) == 1)
                FrameUnion(box, charBox);
            code = SymbolNextTextLine(advance, nullptr);
        }
        --g_OutputContext.nestingDepth;
    }
    if (box[0] == FRAME_EMPTY_MIN || box[2] == FRAME_EMPTY_MAX)
        box[0] = box[2] = m.tx;
    if (box[1] == FRAME_EMPTY_MIN || box[3] == FRAME_EMPTY_MAX)
        box[1] = box[3] = m.ty;
    if (g_OutputContext.nestingDepth == 0)
        FrameAddMargin(box);
    std::memcpy(g_FrameBox, box, sizeof box); // as bytes: no FPU
}

// ---------------------------------------------------------------------------

void FrameCalcObject(Unit *object, int regenerate)
{
    const int32_t savedDepth = g_OutputContext.nestingDepth;
    g_OutputContext.nestingDepth = 0;
    g_OutputContext.currentInstance = nullptr;
    const XProperty defaults = XPropertyDefault();
    FrameMeasureObject(object, &defaults, regenerate);
    g_OutputContext.nestingDepth = savedDepth;
    ObjectIndexNoteFrame(object);
}

void FrameMeasureInstance(Unit *instance, const XProperty *parent, int regenerate, int useBlockFrames)
{
    FrameSetEmpty(g_FrameBox);
    if (regenerate && instance->kind == UNIT_KIND_PLUGIN) {
        // The modules' object callbacks would rebuild the object here; with
        // no module table the stored elements stand as they are.
        FrameScanMarkedPoints(instance);
    }
    FrameMeasureInstanceMembers(instance, parent, nullptr, useBlockFrames);
    for (int i = 0; i < 4; ++i)
        instance->frame[i] = g_FrameBox[i];
}

void FrameCalcInstance(Unit *instance, int regenerate)
{
    g_OutputContext.nestingDepth = 0;
    g_OutputContext.currentInstance = nullptr;
    const XProperty defaults = XPropertyDefault();
    FrameMeasureInstance(instance, &defaults, regenerate, 0);
    ObjectIndexNoteFrame(instance);
}

void FrameCalcBlock(Unit *block, int recompute)
{
    double box[4];
    FrameSetEmpty(box);
    const XProperty defaults = XPropertyDefault();
    for (Unit *member = block->block.firstMember; member; member = member->next) {
        if (member->kind == UNIT_KIND_OBJECT && recompute) {
            g_OutputContext.nestingDepth = 0;
            g_OutputContext.currentInstance = block;
            FrameMeasureObject(member, &defaults, 0);
        } else if (member->kind == UNIT_KIND_INSTANCE || member->kind == UNIT_KIND_PLUGIN) {
            g_OutputContext.nestingDepth = 0;
            g_OutputContext.currentInstance = block;
            FrameMeasureInstance(member, &defaults, recompute, 0);
        }
        // Infinite sides (construction lines) are skipped.
        const double *f = member->frame;
        if (f[0] != -FRAME_INFINITE && f[0] < box[0])
            box[0] = f[0];
        if (f[1] != -FRAME_INFINITE && f[1] < box[1])
            box[1] = f[1];
        if (f[2] != FRAME_INFINITE && f[2] > box[2])
            box[2] = f[2];
        if (f[3] != FRAME_INFINITE && f[3] > box[3])
            box[3] = f[3];
    }
    if (box[0] == FRAME_EMPTY_MIN) {
        for (int i = 0; i < 4; ++i)
            block->frame[i] = 0.0;
    } else {
        for (int i = 0; i < 4; ++i)
            block->frame[i] = box[i];
    }
}

void FrameScanMarkedPoints(Unit *unit)
{
    ObjectUpdatePointFlag(unit);
}

void FrameFindMarkedElement(Unit *unit, int ignored)
{
    (void)ignored;
    g_OutputContext.currentInstance = nullptr;
    const int32_t savedDepth = g_OutputContext.nestingDepth;
    g_OutputContext.nestingDepth = 0;
    FrameScanMarkedPoints(unit);
    g_OutputContext.nestingDepth = savedDepth;
}

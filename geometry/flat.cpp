#include "geometry/flat.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "app/system.h"
#include "display/clip.h"
#include "display/output.h"
#include "geometry/calc.h"

namespace {

// The capacity of the path arrays as a signed index.
int32_t MaxPoints() { return (int32_t)g_MaxPathPoints; }

// A remaining sweep within this many radians closes with a straight line.
constexpr double kSweepTolerance = 0.001;
constexpr double kStraightFactor = 1e100;
constexpr double kTinyRadius = 1e-10;
constexpr double kSin15 = 0.2588190451025;
constexpr double kCos15 = 0.9659258262891;
constexpr int32_t kMaxQuarters = 3; // a full turn: three quarters and the remainder

PathPoint Sub(PathPoint a, PathPoint b) { return {a.x - b.x, a.y - b.y}; }
PathPoint Add(PathPoint a, PathPoint b) { return {a.x + b.x, a.y + b.y}; }
PathPoint Scale(PathPoint a, double k) { return {a.x * k, a.y * k}; }
double Length(PathPoint a) { return std::sqrt(a.x * a.x + a.y * a.y); }
bool Same(PathPoint a, PathPoint b) { return a.x == b.x && a.y == b.y; }
PathPoint Left(PathPoint v) { return {-v.y, v.x}; }  // turned a quarter counter-clockwise
PathPoint Right(PathPoint v) { return {v.y, -v.x}; } // turned a quarter clockwise

// A sweep beyond a full turn is taken as a full turn: the capacity tests and
// the callers' small arrays are sized for at most one.
double ClampSweep(double sweep)
{
    if (sweep > CALC_TWO_PI)
        return CALC_TWO_PI;
    if (sweep < -CALC_TWO_PI)
        return -CALC_TWO_PI;
    return sweep;
}

// The centre of an arc given by its chord and centre-offset factor.
PathPoint BulgeCentre(PathPoint s, PathPoint e, double f)
{
    const PathPoint mid = {(s.x + e.x) * 0.5, (s.y + e.y) * 0.5};
    return {mid.x - f * (e.y - s.y), mid.y + f * (e.x - s.x)};
}

// Writes the steps of a circular arc behind the kept start entry at n:
// centre + rot(k alpha)(start - centre) while |sweep| - k alpha > tolerance,
// then the end point. Returns the entries used, or -1.
int32_t WriteArcSteps(PathPoint *points, int32_t n, PathPoint start, PathPoint end, PathPoint centre,
                      double sweep)
{
    const PathPoint v0 = Sub(start, centre);
    const double r = Length(v0);
    if (r == 0.0)
        return 2;
    sweep = ClampSweep(sweep);
    int32_t count = ClipArcSegmentCount(r);
    if (count < 1)
        count = 1;
    if (n + count >= MaxPoints() - 2)
        return FLAT_REFUSED;
    const double alpha = CALC_TWO_PI / count;
    const double c = std::cos(alpha);
    const double s = sweep < 0.0 ? -std::sin(alpha) : std::sin(alpha);
    const double total = std::fabs(sweep);
    PathPoint v = v0;
    int32_t next = n + 1;
    for (int32_t k = 1; k < count && total - k * alpha > kSweepTolerance; ++k) {
        v = {c * v.x - s * v.y, s * v.x + c * v.y};
        points[next++] = Add(centre, v);
    }
    points[next++] = end;
    return next - n;
}

// Ellipse point of the axis-2 form from cos and sin of the parameter.
PathPoint EllipsePoint(PathPoint centre, PathPoint u2, PathPoint u1, double cosT, double sinT)
{
    return {centre.x + cosT * u2.x + sinT * u1.x, centre.y + cosT * u2.y + sinT * u1.y};
}

// Appends Bezier entries of an arc from the start entry at n (whose code the
// caller has set) around the centre over the signed sweep, ending exactly on
// the end point. Returns the entries used.
int32_t WriteArcPieces(PathPoint *points, uint32_t *codes, int32_t n, PathPoint end, PathPoint centre,
                       double sweep, double r)
{
    sweep = ClampSweep(sweep);
    PathPoint p = points[n];
    int32_t next = n + 1;
    int32_t quarters = 0;
    while (sweep > CALC_HALF_PI && quarters < kMaxQuarters) {
        const PathPoint v = Sub(p, centre);
        const PathPoint q = Add(centre, Left(v));
        points[next] = Add(p, Scale(Left(v), CALC_ELLIPSE_KAPPA));
        codes[next++] = PATH_CONTROL1;
        points[next] = Add(q, Scale(v, CALC_ELLIPSE_KAPPA));
        codes[next++] = PATH_CONTROL2;
        points[next] = q;
        codes[next++] = PATH_LINE;
        p = q;
        sweep -= CALC_HALF_PI;
        ++quarters;
    }
    while (sweep < -CALC_HALF_PI && quarters < kMaxQuarters) {
        const PathPoint v = Sub(p, centre);
        const PathPoint q = Add(centre, Right(v));
        points[next] = Add(p, Scale(Right(v), CALC_ELLIPSE_KAPPA));
        codes[next++] = PATH_CONTROL1;
        points[next] = Add(q, Scale(v, CALC_ELLIPSE_KAPPA));
        codes[next++] = PATH_CONTROL2;
        points[next] = q;
        codes[next++] = PATH_LINE;
        p = q;
        sweep += CALC_HALF_PI;
        ++quarters;
    }
    if (sweep > kSweepTolerance || sweep < -kSweepTolerance) {
        const PathPoint v = Sub(p, centre);
        const PathPoint w = Sub(end, centre);
        const double chord = Length(Sub(end, p));
        if (chord > 0.0) {
            double root = 1.0 - chord * chord / (4.0 * r * r);
            if (root < 0.0)
                root = 0.0;
            const double g = (1.0 - std::sqrt(root)) * 8.0 * r / (3.0 * chord);
            if (sweep > 0.0) {
                points[next] = Add(p, Scale(Left(v), g));
                codes[next++] = PATH_CONTROL1;
                points[next] = Add(end, Scale(Right(w), g));
                codes[next++] = PATH_CONTROL2;
            } else {
                points[next] = Add(p, Scale(Right(v), g));
                codes[next++] = PATH_CONTROL1;
                points[next] = Add(end, Scale(Left(w), g));
                codes[next++] = PATH_CONTROL2;
            }
        }
    }
    points[next] = end;
    codes[next++] = PATH_LINE;
    return next - n;
}

// Maps entries written for the unit circle onto an ellipse (axis-2 form).
void MapUnitCircle(PathPoint *points, int32_t n, int32_t count, PathPoint centre, PathPoint a1, PathPoint a2)
{
    const PathPoint u1 = Sub(a1, centre);
    const PathPoint u2 = Sub(a2, centre);
    for (int32_t i = n; i < n + count; ++i)
        points[i] = EllipsePoint(centre, u2, u1, points[i].x, points[i].y);
}

// ---------------------------------------------------------------------------
// Spline pieces.

struct Tangents {
    PathPoint start; // natural tangent at the first point of the triple
    PathPoint mid;   // tangent at the middle point
    PathPoint end;   // natural tangent at the last point
};

Tangents TripleTangents(PathPoint a, PathPoint b, PathPoint c)
{
    const PathPoint d1 = Sub(b, a);
    const PathPoint d2 = Sub(c, b);
    const double l1 = Length(d1);
    const double l2 = Length(d2);
    const double dd = 6.0 * (l1 + l2);
    Tangents t;
    t.mid = Scale(Add(Scale(d2, 6.0 * l1 / l2), Scale(d1, 6.0 * l2 / l1)), 1.0 / dd);
    t.start = Scale(Sub(Scale(d1, 9.0 + 6.0 * l2 / l1), Scale(d2, 3.0 * l1 / l2)), 1.0 / dd);
    t.end = Scale(Sub(Scale(d2, 9.0 + 6.0 * l1 / l2), Scale(d1, 3.0 * l2 / l1)), 1.0 / dd);
    return t;
}

// A cubic Hermite piece over the chord p -> p + d in the chord-length parameter.
struct HermitePiece {
    PathPoint p, m0, c2, c3;
    double length;
};

HermitePiece MakeHermite(PathPoint p, PathPoint q, PathPoint m0, PathPoint m1)
{
    const PathPoint d = Sub(q, p);
    const double l = Length(d);
    HermitePiece h;
    h.p = p;
    h.m0 = m0;
    h.length = l;
    const PathPoint sum = Add(Scale(m0, 2.0), m1);
    h.c2 = Sub(Scale(d, 3.0 / (l * l)), Scale(sum, 1.0 / l));
    h.c3 = Sub(Scale(Add(m0, m1), 1.0 / (l * l)), Scale(d, 2.0 / (l * l * l)));
    return h;
}

PathPoint HermiteAt(const HermitePiece &h, double s)
{
    return {h.p.x + s * (h.m0.x + s * (h.c2.x + s * h.c3.x)), h.p.y + s * (h.m0.y + s * (h.c2.y + s * h.c3.y))};
}

// Steps of one spline piece, bounded by the scratch areas.
int32_t PieceSteps(double length)
{
    int32_t steps = ClipArcSegmentCountEx(length);
    if (steps < 1)
        steps = 1;
    if (steps > FLAT_SPLINE_SCRATCH)
        steps = FLAT_SPLINE_SCRATCH;
    return steps;
}

// Samples a piece at t = 1/steps, 2/steps, ... (t summed) into out.
void SamplePiece(const HermitePiece &h, int32_t steps, PathPoint *out)
{
    const double dt = 1.0 / steps;
    double t = 0.0;
    for (int32_t k = 0; k < steps; ++k) {
        t += dt;
        out[k] = HermiteAt(h, t * h.length);
    }
}

// The staged output of the spline: grows from `base`, refused at `capacity`.
struct Stage {
    PathPoint *base;
    int32_t count;
    int32_t capacity;
    bool Put(PathPoint p)
    {
        base[count++] = p;
        return count < capacity;
    }
};

} // namespace

// ---------------------------------------------------------------------------

int32_t FlatAddZigzag(PathPoint *points, int32_t n, double size, double width)
{
    const PathPoint p0 = points[n];
    const PathPoint p1 = points[n + 1];
    const double h = 10.0 * width > 1.0 ? 10.0 * width : 1.0;
    const double step = size <= 2.0 * h ? 2.0 * h : size;
    const PathPoint along = Sub(p1, p0);
    const double length = Length(along);
    if (length == 0.0)
        return 1;
    const PathPoint u = Scale(along, 1.0 / length);
    const PathPoint right = {u.y, -u.x};
    const PathPoint a = Scale(Add(Scale(u, kSin15), Scale(right, kCos15)), h);
    const PathPoint b = Scale(Sub(Scale(u, kSin15), Scale(right, kCos15)), 2.0 * h);
    PathPoint current = p0;
    double remaining = length;
    int32_t next = n + 1;
    while (remaining > step) {
        if (next >= MaxPoints() - 4)
            return FLAT_REFUSED;
        const PathPoint m = Add(current, Scale(u, step / 2.0));
        points[next++] = m;
        points[next++] = Add(m, a);
        points[next++] = Add(Add(m, a), b);
        points[next++] = Add(Add(Add(m, a), b), a);
        current = Add(current, Scale(u, step));
        remaining -= step;
    }
    if (next >= MaxPoints() - 1)
        return FLAT_REFUSED;
    points[next++] = p1;
    return next - n;
}

int32_t FlatAddPolygon(PathPoint *points, int32_t n, int32_t corners)
{
    const PathPoint centre = points[n];
    const PathPoint radiusPoint = points[n + 1];
    const PathPoint direction = points[n + 2];
    const double r = Length(Sub(radiusPoint, centre));
    if (r == 0.0)
        return 1;
    if (corners < 1)
        return 0;
    if (n + corners >= MaxPoints() - 2)
        return FLAT_REFUSED;
    const PathPoint towards = Sub(direction, centre);
    const double l = Length(towards);
    PathPoint v = l == 0.0 ? PathPoint{r, 0.0} : Scale(towards, r / l);
    const double alpha = CALC_TWO_PI / corners;
    const double c = std::cos(alpha);
    const double s = std::sin(alpha);
    for (int32_t k = 0; k < corners; ++k) {
        points[n + k] = Add(centre, v);
        v = {c * v.x - s * v.y, s * v.x + c * v.y};
    }
    return corners;
}

int32_t FlatAddCircleSteps(PathPoint *points, int32_t n)
{
    const PathPoint centre = points[n];
    const double r = Length(Sub(points[n + 1], centre));
    int32_t count = ClipArcSegmentCount(r) / 4 * 4;
    if (count < 4)
        count = 4;
    if (n + count >= MaxPoints() - 2)
        return FLAT_REFUSED;
    const double alpha = CALC_TWO_PI / count;
    const double c = std::cos(alpha);
    const double s = std::sin(alpha);
    PathPoint v = {r, 0.0};
    for (int32_t k = 0; k < count; ++k) {
        points[n + k] = Add(centre, v);
        v = {c * v.x - s * v.y, s * v.x + c * v.y};
    }
    return count;
}

int32_t FlatAddArcSteps(PathPoint *points, int32_t n, double sweep)
{
    const PathPoint start = points[n];
    const PathPoint end = points[n + 1];
    const PathPoint centre = points[n + 2];
    return WriteArcSteps(points, n, start, end, centre, sweep);
}

int32_t FlatAddArcBulgeSteps(PathPoint *points, int32_t n, double direction, double f)
{
    const PathPoint start = points[n];
    const PathPoint end = points[n + 1];
    if (f < -kStraightFactor || f > kStraightFactor)
        return 2;
    const PathPoint centre = BulgeCentre(start, end, f);
    if (Length(Sub(start, centre)) == 0.0)
        return 2;
    const bool ccw = direction >= 0.0;
    const double size = std::fabs(CalcArcSweep(centre.x, centre.y, start.x, start.y, end.x, end.y, ccw ? 1 : 0));
    return WriteArcSteps(points, n, start, end, centre, ccw ? size : -size);
}

int32_t FlatAddEllipseSteps(PathPoint *points, int32_t n)
{
    const PathPoint centre = points[n];
    const PathPoint u1 = Sub(points[n + 1], centre);
    const PathPoint u2 = Sub(points[n + 2], centre);
    int32_t count = ClipArcSegmentCount((Length(u1) + Length(u2)) / 2.0) / 4 * 4;
    if (count < 4)
        count = 4;
    if (n + count >= MaxPoints())
        return FLAT_REFUSED;
    const double alpha = CALC_TWO_PI / count;
    const double c = std::cos(alpha);
    const double s = std::sin(alpha);
    double cosT = 1.0, sinT = 0.0;
    for (int32_t k = 0; k < count; ++k) {
        points[n + k] = EllipsePoint(centre, u2, u1, cosT, sinT);
        const double nc = c * cosT - s * sinT;
        sinT = s * cosT + c * sinT;
        cosT = nc;
    }
    return count;
}

int32_t FlatAddEllipseArcSteps(PathPoint *points, int32_t n, double startParameter, double sweep)
{
    const PathPoint end = points[n + 1];
    const PathPoint centre = points[n + 2];
    const PathPoint u1 = Sub(points[n + 3], centre);
    const PathPoint u2 = Sub(points[n + 4], centre);
    sweep = ClampSweep(sweep);
    int32_t count = ClipArcSegmentCount((Length(u1) + Length(u2)) / 2.0);
    if (count < 1)
        count = 1;
    if (n + 1 + count >= MaxPoints() - 2)
        return FLAT_REFUSED;
    const double alpha = CALC_TWO_PI / count;
    const double c = std::cos(alpha);
    const double s = sweep < 0.0 ? -std::sin(alpha) : std::sin(alpha);
    const double total = std::fabs(sweep);
    double cosT = std::cos(startParameter), sinT = std::sin(startParameter);
    int32_t next = n + 1;
    for (int32_t k = 1; k < count && total - k * alpha > kSweepTolerance; ++k) {
        const double nc = c * cosT - s * sinT;
        sinT = s * cosT + c * sinT;
        cosT = nc;
        points[next++] = EllipsePoint(centre, u2, u1, cosT, sinT);
    }
    points[next++] = end;
    return next - n;
}

int32_t FlatAddBezierSteps(PathPoint *points, int32_t n, int32_t minimumSteps)
{
    const PathPoint p0 = points[n], p1 = points[n + 1], p2 = points[n + 2], p3 = points[n + 3];
    const double size = Length(Sub(p1, p0)) + Length(Sub(p2, p1)) + Length(Sub(p3, p2)) + Length(Sub(p0, p3));
    int32_t steps = ClipArcSegmentCountEx(size);
    if (steps <= minimumSteps)
        steps = minimumSteps;
    if (steps < 1)
        steps = 1;
    if (n + 1 + steps >= MaxPoints())
        return FLAT_REFUSED;
    const PathPoint a = Scale(Sub(p1, p0), 3.0);
    const PathPoint b = Sub(Scale(Sub(p2, p1), 3.0), a);
    const PathPoint c = Add(Sub(p3, p0), Scale(Sub(p1, p2), 3.0));
    const double dt = 1.0 / steps;
    int32_t next = n + 1;
    for (double t = dt; t < 1.0 - dt / 2.0; t += dt)
        points[next++] = {p0.x + t * (a.x + t * (b.x + t * c.x)), p0.y + t * (a.y + t * (b.y + t * c.y))};
    points[next++] = p3;
    return next - n;
}

int32_t FlatAddSpline(PathPoint *points, int32_t n, int32_t m)
{
    if (n + m >= MaxPoints() - 2)
        return FLAT_REFUSED;
    if (m < 3)
        return m;
    // Two scratch areas and the staged output lie behind the input; they must
    // stay inside the array as well.
    const int32_t scratchA = n + m;
    const int32_t scratchB = scratchA + FLAT_SPLINE_SCRATCH;
    const int32_t stageStart = scratchB + FLAT_SPLINE_SCRATCH;
    if (stageStart >= MaxPoints() - 2)
        return FLAT_REFUSED;
    const PathPoint *q = points + n;
    Stage out{points + stageStart, 0, MaxPoints() - stageStart};
    if (!out.Put(q[0]))
        return FLAT_REFUSED;

    int32_t i = 0;
    while (i < m - 1) {
        if (Same(q[i], q[i + 1])) { // a doubled point where a run would start
            ++i;
            continue;
        }
        if (i + 2 >= m || Same(q[i + 2], q[i + 1])) {
            // A run of a single chord is straight: reach its end exactly.
            if (!out.Put(q[i + 1]))
                return FLAT_REFUSED;
            ++i;
            continue;
        }
        // First piece of the run, natural start tangent.
        {
            const Tangents t = TripleTangents(q[i], q[i + 1], q[i + 2]);
            const HermitePiece h = MakeHermite(q[i], q[i + 1], t.start, t.mid);
            const int32_t steps = PieceSteps(h.length);
            const double dt = 1.0 / steps;
            double tt = 0.0;
            for (int32_t k = 0; k < steps; ++k) {
                tt += dt;
                if (!out.Put(HermiteAt(h, tt * h.length)))
                    return FLAT_REFUSED;
            }
        }
        int32_t j = i + 1;
        for (;;) {
            const bool last = j + 2 >= m || Same(q[j + 2], q[j + 1]);
            const Tangents ta = TripleTangents(q[j - 1], q[j], q[j + 1]);
            const HermitePiece a = MakeHermite(q[j], q[j + 1], ta.mid, ta.end);
            const int32_t steps = PieceSteps(a.length);
            SamplePiece(a, steps, points + scratchA);
            if (last) {
                for (int32_t k = 0; k < steps; ++k)
                    if (!out.Put(points[scratchA + k]))
                        return FLAT_REFUSED;
                break;
            }
            const Tangents tb = TripleTangents(q[j], q[j + 1], q[j + 2]);
            const HermitePiece b = MakeHermite(q[j], q[j + 1], tb.start, tb.mid);
            SamplePiece(b, steps, points + scratchB);
            const double dt = 1.0 / steps;
            double tt = 0.0;
            for (int32_t k = 0; k < steps; ++k) {
                tt += dt;
                const PathPoint pa = points[scratchA + k];
                const PathPoint pb = points[scratchB + k];
                if (!out.Put({(1.0 - tt) * pa.x + tt * pb.x, (1.0 - tt) * pa.y + tt * pb.y}))
                    return FLAT_REFUSED;
            }
            ++j;
        }
        i = j + 1;
    }
    if (!out.Put(q[m - 1]))
        return FLAT_REFUSED;
    for (int32_t k = 0; k < out.count; ++k)
        points[n + k] = out.base[k];
    return out.count;
}

int32_t FlatAddSketch(PathPoint *points, int32_t m)
{
    std::srand((unsigned)std::time(nullptr));
    const double savedQuality = g_DrawingSettings.displayQuality[2];
    g_DrawingSettings.displayQuality[2] = g_LocalData.sketchStep;
    g_OutputContext.outputMode = OUTPUT_COARSE;

    int32_t count;
    if (m <= 2) {
        const PathPoint p0 = points[0];
        const PathPoint p1 = points[1];
        int32_t steps = ClipArcSegmentCountEx(Length(Sub(p1, p0)));
        if (steps < 1)
            steps = 1;
        if (steps + 1 >= MaxPoints() - 2) {
            count = FLAT_REFUSED;
        } else {
            for (int32_t j = 0; j < steps; ++j)
                points[j] = Add(p0, Scale(Sub(p1, p0), (double)j / steps));
            points[steps] = p1;
            count = steps + 1;
        }
    } else {
        count = FlatAddSpline(points, 0, m) - 1;
    }
    g_DrawingSettings.displayQuality[2] = savedQuality;
    if (count < 0)
        return count;

    const double amplitude = g_LocalData.further[LOCAL_SKETCH_JITTER] / 100.0;
    double offset = 0.0;
    PathPoint previous = points[0]; // unmoved
    for (int32_t k = 1; k < count - 1; ++k) {
        offset = ((double)std::rand() / 32767.0 - 0.5) * amplitude + 0.5 * offset;
        const PathPoint unmoved = points[k];
        const PathPoint d = Sub(unmoved, previous);
        points[k] = {unmoved.x + offset * d.y, unmoved.y - offset * d.x};
        previous = unmoved;
    }
    return count;
}

// ---------------------------------------------------------------------------

int32_t FlatAddCircle(PathPoint *points, uint32_t *codes, int32_t n)
{
    if (n + FLAT_MAX_CURVE_ENTRIES >= MaxPoints())
        return FLAT_REFUSED;
    const PathPoint c = points[n];
    const double r = Length(Sub(points[n + 1], c));
    const double k = r * CALC_CIRCLE_KAPPA3 / 3.0;
    const PathPoint entries[FLAT_MAX_CURVE_ENTRIES] = {
        {c.x + r, c.y},     {c.x + r, c.y + k}, {c.x + k, c.y + r}, {c.x, c.y + r}, {c.x - k, c.y + r},
        {c.x - r, c.y + k}, {c.x - r, c.y},     {c.x - r, c.y - k}, {c.x - k, c.y - r}, {c.x, c.y - r},
        {c.x + k, c.y - r}, {c.x + r, c.y - k}, {c.x + r, c.y}};
    for (int32_t i = 0; i < FLAT_MAX_CURVE_ENTRIES; ++i) {
        points[n + i] = entries[i];
        codes[n + i] = i == 0 ? PATH_START : (i % 3 == 1 ? PATH_CONTROL1 : (i % 3 == 2 ? PATH_CONTROL2 : PATH_LINE));
    }
    return FLAT_MAX_CURVE_ENTRIES;
}

int32_t FlatAddArc(PathPoint *points, uint32_t *codes, int32_t n, double sweep)
{
    const PathPoint start = points[n];
    const PathPoint end = points[n + 1];
    const PathPoint centre = points[n + 2];
    codes[n] = PATH_START;
    const double r = Length(Sub(start, centre));
    if (r < kTinyRadius) {
        points[n + 1] = end;
        codes[n + 1] = PATH_LINE;
        return 2;
    }
    if (n + FLAT_MAX_CURVE_ENTRIES >= MaxPoints())
        return FLAT_REFUSED;
    return WriteArcPieces(points, codes, n, end, centre, sweep, r);
}

int32_t FlatAddArcBulge(PathPoint *points, uint32_t *codes, int32_t n, double direction, double f)
{
    const PathPoint start = points[n];
    const PathPoint end = points[n + 1];
    if (f < -kStraightFactor || f > kStraightFactor) {
        codes[n + 1] = PATH_LINE;
        return 2;
    }
    const PathPoint centre = BulgeCentre(start, end, f);
    const double sweep = CalcArcSweep(centre.x, centre.y, start.x, start.y, end.x, end.y, direction >= 0.0 ? 1 : 0);
    const double r = Length(Sub(start, centre));
    if (r < kTinyRadius) {
        codes[n + 1] = PATH_LINE;
        return 2;
    }
    if (n + FLAT_MAX_CURVE_ENTRIES >= MaxPoints())
        return FLAT_REFUSED;
    return WriteArcPieces(points, codes, n, end, centre, sweep, r);
}

int32_t FlatAddEllipse(PathPoint *points, uint32_t *codes, int32_t n)
{
    const PathPoint centre = points[n];
    const PathPoint a1 = points[n + 1];
    const PathPoint a2 = points[n + 2];
    points[n] = {0.0, 0.0};
    points[n + 1] = {1.0, 0.0};
    const int32_t result = FlatAddCircle(points, codes, n);
    if (result > 0)
        MapUnitCircle(points, n, result, centre, a1, a2);
    return result;
}

int32_t FlatAddEllipseArc(PathPoint *points, uint32_t *codes, int32_t n, double startParameter, double sweep)
{
    const PathPoint centre = points[n + 2];
    const PathPoint a1 = points[n + 3];
    const PathPoint a2 = points[n + 4];
    sweep = ClampSweep(sweep);
    points[n] = {std::cos(startParameter), std::sin(startParameter)};
    points[n + 1] = {std::cos(startParameter + sweep), std::sin(startParameter + sweep)};
    points[n + 2] = {0.0, 0.0};
    const int32_t result = FlatAddArc(points, codes, n, sweep);
    if (result > 0)
        MapUnitCircle(points, n, result, centre, a1, a2);
    return result;
}

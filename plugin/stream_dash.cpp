// Line-type dashing in the enumeration stream: an outline cut into the
// dashes of its line type, every dash a record of its own.
#include <algorithm>
#include <cmath>

#include "app/system_defs.h"
#include "display/output.h"
#include "plugin/stream.h"

namespace {

constexpr double DASH_UNIT = 0.01;     // lengths are hundredths (of the width or of a mm)
constexpr double DASH_MIN_WIDTH = 0.1; // a width-relative pattern never gets finer than this
// A segment that would need more dashes than this goes out solid.
constexpr double DASH_LIMIT = 1e6;

int SendDash(double x1, double y1, double x2, double y2, uint32_t drawFlags)
{
    static const int32_t codes[2] = {ENUM_CODE_MOVE, ENUM_CODE_LINE};
    const double points[4] = {x1, y1, x2, y2};
    EnumerateRecord &r = StreamRecord();
    r.points = points;
    r.codes = codes;
    r.matrix = &g_OutputContext.current;
    StreamSetStyle(drawFlags);
    StreamSend(ENUM_CMD_OPEN_PATH, 2);
    return !StreamAborted();
}

// Clips the segment p-q to the rectangle (xmin, ymin, xmax, ymax): a
// construction line of 2e10 mm would otherwise be cut into billions of
// dashes. False when nothing of it lies inside.
bool ClipToRect(double p[2], double q[2], const double rect[4])
{
    double t0 = 0.0, t1 = 1.0;
    const double d[2] = {q[0] - p[0], q[1] - p[1]};
    for (int axis = 0; axis < 2; ++axis) {
        for (int side = 0; side < 2; ++side) {
            const double bound = rect[axis + 2 * side];
            const double num = side ? bound - p[axis] : p[axis] - bound;
            const double den = side ? d[axis] : -d[axis];
            if (den == 0.0) {
                if (num < 0.0)
                    return false;
                continue;
            }
            const double t = num / den;
            if (den > 0.0)
                t1 = std::min(t1, t);
            else
                t0 = std::max(t0, t);
        }
    }
    if (t0 > t1)
        return false;
    const double p0[2] = {p[0], p[1]};
    p[0] = p0[0] + t0 * d[0], p[1] = p0[1] + t0 * d[1];
    q[0] = p0[0] + t1 * d[0], q[1] = p0[1] + t1 * d[1];
    return true;
}

// Where dashes can be seen: the visible area of the drawing window when the
// points are in drawing coordinates, else the far square.
void DashRect(double rect[4])
{
    const double *v = g_OutputContext.visibleRect;
    const bool window = (StreamFlags() & ENUM_UNTRANSFORMED) == 0 && v[0] > -STREAM_FAR && v[2] < STREAM_FAR &&
                        v[1] > -STREAM_FAR && v[3] < STREAM_FAR && v[0] < v[2] && v[1] < v[3];
    for (int i = 0; i < 4; ++i)
        rect[i] = window ? v[i] : (i < 2 ? -STREAM_FAR : STREAM_FAR);
}

} // namespace

int32_t StreamDashPattern(int32_t lineType, double width, double lengths[2 * STREAM_MAX_DASH_PAIRS])
{
    if (lineType < 0 || lineType >= LINE_SLOTS)
        return 0;
    const LineDef &line = g_LineDefs[lineType];
    // Counts beyond the record's room are clamped; a pattern without any
    // positive length would never advance and counts as solid.
    const int32_t pairs = std::clamp(line.pairs, 0, STREAM_MAX_DASH_PAIRS);
    const double unit = line.kind == 0 ? std::max(std::fabs(width), DASH_MIN_WIDTH) * DASH_UNIT : DASH_UNIT;
    bool advances = false;
    for (int32_t i = 0; i < 2 * pairs; ++i) {
        lengths[i] = line.lengths[i] > 0 ? line.lengths[i] * unit : 0.0;
        advances = advances || lengths[i] > 0.0;
    }
    return advances ? pairs : 0;
}

int StreamDashPath(const double *points, const int32_t *codes, int32_t count, uint32_t drawFlags, int closed)
{
    if (StreamAborted())
        return 0;
    double lengths[2 * STREAM_MAX_DASH_PAIRS];
    const int32_t pairs = StreamDashPattern(g_OutputContext.lineType, g_OutputContext.lineWidth, lengths);
    if (pairs == 0) {
        EnumerateRecord &r = StreamRecord();
        r.points = points;
        r.codes = codes;
        r.matrix = &g_OutputContext.current;
        StreamSetStyle(drawFlags);
        StreamSend(closed ? ENUM_CMD_CLOSED_PATH : ENUM_CMD_OPEN_PATH, count);
        return !StreamAborted();
    }
    const int32_t n = 2 * pairs;
    int32_t element = 0;
    bool drawing = true;
    double remaining = lengths[0];
    double period = 0.0;
    for (int32_t i = 0; i < n; ++i)
        period += lengths[i];
    double rect[4];
    DashRect(rect);
    const int32_t segments = closed ? count : count - 1;
    for (int32_t i = 0; i < segments; ++i) {
        const double *a = points + 2 * i;
        const double *b = points + 2 * ((i + 1) % count);
        double p[2] = {a[0], a[1]}, q[2] = {b[0], b[1]};
        if (!ClipToRect(p, q, rect))
            continue;
        double length = std::hypot(q[0] - p[0], q[1] - p[1]);
        if (length == 0.0)
            continue;
        if (length / period * pairs > DASH_LIMIT) {
            if (!SendDash(p[0], p[1], q[0], q[1], drawFlags))
                return 0;
            continue;
        }
        const double ux = (q[0] - p[0]) / length, uy = (q[1] - p[1]) / length;
        while (length > 0.0) {
            if (remaining <= 0.0) {
                element = (element + 1) % n;
                drawing = !drawing;
                remaining = lengths[element];
            }
            const double step = std::min(remaining, length);
            if (drawing && !SendDash(p[0], p[1], p[0] + step * ux, p[1] + step * uy, drawFlags))
                return 0;
            p[0] += step * ux;
            p[1] += step * uy;
            length -= step;
            remaining -= step;
        }
    }
    return 1;
}

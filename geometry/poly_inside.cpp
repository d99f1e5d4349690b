// The point-in-area test of a unit buffer: a ray to the right of the point
// crosses the flattened pieces of the contours an odd number of times when
// the point lies inside.
#include <cmath>

#include "geometry/poly.h"

namespace {

constexpr int CURVE_STEPS = 64;
constexpr double TWO_PI = 6.283185307179586;

// Counts the crossing of the edge p-q with the ray from (x, y) to the right.
int Crossing(double x, double y, double px, double py, double qx, double qy)
{
    if ((py > y) == (qy > y))
        return 0;
    const double at = px + (y - py) * (qx - px) / (qy - py);
    return at > x ? 1 : 0;
}

double Sweep(const BufferSegment &s)
{
    if (s.type == POLY_ITEM_CIRCLE)
        return s.direction ? TWO_PI : -TWO_PI;
    const double a = std::atan2(s.y1 - s.cy, s.x1 - s.cx), b = std::atan2(s.y2 - s.cy, s.x2 - s.cx);
    double sweep = b - a;
    if (s.direction) {
        while (sweep <= 0)
            sweep += TWO_PI;
    } else {
        while (sweep >= 0)
            sweep -= TWO_PI;
    }
    return sweep;
}

int PieceCrossings(const BufferSegment &s, double x, double y)
{
    int n = 0;
    double px = s.x1, py = s.y1;
    auto to = [&](double qx, double qy) {
        n += Crossing(x, y, px, py, qx, qy);
        px = qx, py = qy;
    };
    switch (s.type) {
    case POLY_ITEM_LINE: to(s.x2, s.y2); break;
    case POLY_ITEM_ARC:
    case POLY_ITEM_CIRCLE: {
        const double r = std::hypot(s.x1 - s.cx, s.y1 - s.cy), a = std::atan2(s.y1 - s.cy, s.x1 - s.cx);
        const double sweep = Sweep(s);
        for (int i = 1; i < CURVE_STEPS; ++i) {
            const double t = a + sweep * i / CURVE_STEPS;
            to(s.cx + r * std::cos(t), s.cy + r * std::sin(t));
        }
        to(s.type == POLY_ITEM_CIRCLE ? s.x1 : s.x2, s.type == POLY_ITEM_CIRCLE ? s.y1 : s.y2);
        break;
    }
    case POLY_ITEM_BEZIER:
        for (int i = 1; i <= CURVE_STEPS; ++i) {
            const double t = double(i) / CURVE_STEPS, u = 1 - t;
            to(u * u * u * s.x1 + 3 * u * u * t * s.c1x + 3 * u * t * t * s.c2x + t * t * t * s.x2,
               u * u * u * s.y1 + 3 * u * u * t * s.c1y + 3 * u * t * t * s.c2y + t * t * t * s.y2);
        }
        break;
    default: break;
    }
    return n;
}

} // namespace

int PolyPointInside(const BufferData *data, double x, double y)
{
    if (!data || !data->items)
        return 0;
    int crossings = 0;
    for (int32_t i = 0; i < data->used && i < data->capacity; ++i)
        crossings += PieceCrossings(data->items[i], x, y);
    return crossings % 2;
}

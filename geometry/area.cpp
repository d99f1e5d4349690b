// Point in area by crossing counts, figure by figure.
#include "geometry/area.h"

#include <cmath>

#include "database/storage.h"
#include "geometry/calc.h"
#include "geometry/distance.h"
#include "geometry/flat.h"

namespace {

// Bezier pieces are flattened with at least this many steps.
constexpr int32_t AREA_BEZIER_STEPS = 15;
// The boundary band of an arc is at most this wide (mm), and at most the
// tolerance times the radius.
constexpr double AREA_ARC_BAND_LIMIT = 1.0;

PathPoint *Points() { return g_WorkArrays.pathPoints; }

bool Append(int32_t *count, double x, double y)
{
    if (*count >= static_cast<int32_t>(g_MaxPathPoints))
        return false;
    Points()[(*count)++] = {x, y};
    return true;
}

// The boundary test of an arc piece. Under a matrix the arc is mapped as a
// similarity would map it: centre and end points mapped, the radius from them.
void ArcOnEdge(double sx, double sy, double ex, double ey, double direction, double h, double px, double py,
               double tolerance, const Matrix *matrix, int32_t *onEdge)
{
    double cx = (sx + ex) / 2 - h * (ey - sy), cy = (sy + ey) / 2 + h * (ex - sx);
    if (matrix) {
        MatrixApply(*matrix, sx, sy, &sx, &sy);
        MatrixApply(*matrix, ex, ey, &ex, &ey);
        MatrixApply(*matrix, cx, cy, &cx, &cy);
        if (MatrixIsMirrored(matrix))
            direction = -direction - 1.0;
    }
    if (!CalcAngleInArc(cx, cy, sx, sy, ex, ey, px, py, direction >= 0.0 ? 1 : 0))
        return;
    const double r = std::hypot(sx - cx, sy - cy);
    if (std::fabs(std::hypot(px - cx, py - cy) - r) < std::fmin(AREA_ARC_BAND_LIMIT, r * tolerance))
        *onEdge = 1;
}

} // namespace

int AreaPointInPolygon(int32_t count, double px, double py, double tolerance, const Matrix *matrix,
                       int32_t *onEdge)
{
    int left = 0, right = 0;
    const PathPoint *q = Points();
    for (int32_t i = 0; i < count; ++i) {
        PathPoint a = q[i], b = q[(i + 1) % count];
        if (matrix) {
            MatrixApply(*matrix, a.x, a.y, &a.x, &a.y);
            MatrixApply(*matrix, b.x, b.y, &b.x, &b.y);
        }
        if (onEdge && DistancePointSegment(a.x, a.y, b.x, b.y, px, py, nullptr) < tolerance)
            *onEdge = 1;
        const PathPoint lo = b.y >= a.y ? a : b, hi = b.y >= a.y ? b : a;
        if (!(lo.y < py && py <= hi.y))
            continue;
        if (std::fmax(lo.x, hi.x) < px) {
            ++left;
        } else if (std::fmin(lo.x, hi.x) >= px) {
            ++right;
        } else {
            const double x = lo.x + (hi.x - lo.x) * (py - lo.y) / (hi.y - lo.y);
            if (x < px)
                ++left;
            else
                ++right;
        }
    }
    return ((left % 2) || (right % 2)) && left >= 1 && right >= 1 ? 1 : 0;
}

int AreaPointInPathObject(const Unit *object, double px, double py, double tolerance, const Matrix *matrix,
                          int32_t *onEdge)
{
    int inside = 0;
    int32_t count = 0;
    const uint8_t *end = reinterpret_cast<const uint8_t *>(object) + object->bytes;
    auto testFigure = [&]() {
        if (count > 0 && AreaPointInPolygon(count, px, py, tolerance, matrix, onEdge))
            ++inside;
    };
    for (const Element *e = UnitFirstElement(object); reinterpret_cast<const uint8_t *>(e) < end;
         e = ElementNext(e)) {
        if (e->size < ELEMENT_HEADER_SIZE)
            return 0;
        if (e->kind == ELEM_END)
            break;
        const auto *p = reinterpret_cast<const ElementPoint *>(e);
        if (e->kind == POINT_START) {
            testFigure();
            count = 0;
            Append(&count, p->x, p->y);
        } else if (e->kind == POINT_LINE) {
            if (!Append(&count, p->x, p->y))
                return 0;
        } else if (e->kind == POINT_CONTROL1) {
            const Element *e8 = ElementNext(e);
            const Element *e2 = reinterpret_cast<const uint8_t *>(e8) < end ? ElementNext(e8) : nullptr;
            if (e8->kind != POINT_CONTROL2 || !e2 || reinterpret_cast<const uint8_t *>(e2) >= end ||
                e2->kind != POINT_LINE)
                continue;
            const auto *p8 = reinterpret_cast<const ElementPoint *>(e8);
            const auto *p2 = reinterpret_cast<const ElementPoint *>(e2);
            if (count < 1 || !Append(&count, p->x, p->y) || !Append(&count, p8->x, p8->y) ||
                !Append(&count, p2->x, p2->y))
                return 0;
            const int32_t added = FlatAddBezierSteps(Points(), count - 4, AREA_BEZIER_STEPS);
            if (added < 0)
                return 0;
            count = count - 4 + added;
            e = e2;
        } else if (e->kind == POINT_ARC_PIECE_END) {
            const Element *next = ElementNext(e);
            if (reinterpret_cast<const uint8_t *>(next) >= end || next->kind != ELEM_CURVE || count < 1)
                continue;
            const double *curve = static_cast<const double *>(ElementPayload(next));
            const PathPoint s = Points()[count - 1];
            if (!Append(&count, p->x, p->y))
                return 0;
            if (onEdge)
                ArcOnEdge(s.x, s.y, p->x, p->y, curve[0], curve[1], px, py, tolerance, matrix, onEdge);
            const int32_t added = FlatAddArcBulgeSteps(Points(), count - 2, curve[0], curve[1]);
            if (added < 0)
                return 0;
            count = count - 2 + added;
            e = next;
        }
    }
    testFigure();
    return inside % 2;
}

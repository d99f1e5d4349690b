// Comparisons shared by the geometry tests: derived values are compared with
// tolerances, never exactly.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "geometry/calc.h"

// Closed formulas at extended precision.
constexpr double TIGHT = 1e-9;

inline bool Near(CalcPoint p, CalcPoint q, double tolerance)
{
    return std::fabs(p.x - q.x) <= tolerance && std::fabs(p.y - q.y) <= tolerance;
}

inline ::testing::AssertionResult SlotIs(int k, CalcPoint expected, double tolerance = TIGHT)
{
    const CalcPoint got = g_CalcPoints[k];
    if (Near(got, expected, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "slot " << k << " is (" << got.x << ", " << got.y
                                         << "), expected (" << expected.x << ", " << expected.y
                                         << ") within " << tolerance;
}

// Every slot holds finite numbers: nothing undefined was left behind.
inline ::testing::AssertionResult BufferIsClean()
{
    for (int k = 0; k < CALC_POINT_SLOTS; ++k)
        if (!std::isfinite(g_CalcPoints[k].x) || !std::isfinite(g_CalcPoints[k].y))
            return ::testing::AssertionFailure() << "slot " << k << " is not finite";
    return ::testing::AssertionSuccess();
}

// The intersection points of a curve solver (every other slot).
inline std::vector<CalcPoint> CurvePoints(int slots)
{
    std::vector<CalcPoint> points;
    for (int k = 0; k + 1 < slots; k += 2)
        points.push_back(g_CalcPoints[k]);
    return points;
}

// Curve solvers may report one crossing more than once: every reported point
// must lie near an expected one, and every expected one must be reported.
inline ::testing::AssertionResult SamePointSet(const std::vector<CalcPoint> &got,
                                               const std::vector<CalcPoint> &expected,
                                               double tolerance)
{
    for (const CalcPoint &g : got) {
        bool found = false;
        for (const CalcPoint &e : expected)
            found = found || Near(g, e, tolerance);
        if (!found)
            return ::testing::AssertionFailure()
                   << "unexpected point (" << g.x << ", " << g.y << ")";
    }
    for (const CalcPoint &e : expected) {
        bool found = false;
        for (const CalcPoint &g : got)
            found = found || Near(g, e, tolerance);
        if (!found)
            return ::testing::AssertionFailure()
                   << "missing point (" << e.x << ", " << e.y << ") among " << got.size();
    }
    return ::testing::AssertionSuccess();
}

// Fills the buffer with a recognisable value, to see what a call leaves.
inline void FillBuffer(double value)
{
    for (CalcPoint &slot : g_CalcPoints)
        slot = CalcPoint{value, value};
}

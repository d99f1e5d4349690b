// Helpers shared by the files of the calc module (not for other modules).
#pragma once

#include <cmath>

#include "geometry/calc.h"

// A usable coordinate: finite and within the program's clamp. NaN fails too.
inline bool CalcValid(double v)
{
    return std::fabs(v) <= CALC_COORD_LIMIT;
}

template <typename... T>
inline bool CalcValidArgs(T... values)
{
    return (CalcValid(values) && ...);
}

inline bool CalcPieceValid(const BezierPiece &b)
{
    for (const CalcPoint &p : b.p)
        if (!CalcValid(p.x) || !CalcValid(p.y))
            return false;
    return std::isfinite(b.t0) && std::isfinite(b.t1);
}

// Rejects bad input: clears the buffer and gives the count 0.
inline int CalcReject()
{
    CalcClearPoints();
    return 0;
}

// Ends a solver: when any of the first `slots` slots is not finite (an
// overflow on a nearly degenerate figure), the buffer is cleared and the
// count becomes 0; otherwise the count is returned.
int CalcFinish(int count, int slots);

inline void CalcSetSlot(int k, double x, double y)
{
    g_CalcPoints[k].x = x;
    g_CalcPoints[k].y = y;
}

inline double CalcSquare(double v)
{
    return v * v;
}

// Forces a value to double precision, for exact comparisons of values that
// x87 registers would otherwise hold with extra bits.
inline double CalcRound(double v)
{
    volatile double r = v;
    return r;
}

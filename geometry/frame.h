// Frames: the axis-parallel rectangle {xmin, ymin, xmax, ymax} (millimetres)
// that encloses what the renderer draws for an object, instance or block, and
// the derived data of objects (arc sweeps, line-end directions) rebuilt with it.
//
// FrameCalc* start a measurement from a clean state and write the frame into
// the record they were given; FrameMeasure* work inside a measurement already
// under way and leave their result in g_FrameBox.
#pragma once

#include <windows.h>

#include <cstdint>

#include "database/unit.h"
#include "geometry/calc.h"
#include "geometry/flat.h"
#include "geometry/matrix.h"

constexpr double FRAME_EMPTY_MIN = 1e300;
constexpr double FRAME_EMPTY_MAX = -1e300;
constexpr double FRAME_INFINITE = 1e300;
// Beyond this an axis of an instance or block counts as not measured.
constexpr double FRAME_UNMEASURED = 1e100;
constexpr int FRAME_BEZIER_DEPTH = 6;
// Safety margin: a tenth of a per cent of the extent, within these bounds (mm).
constexpr double FRAME_MARGIN_SHARE = 0.001;
constexpr double FRAME_MARGIN_MIN = 0.001;
constexpr double FRAME_MARGIN_MAX = 1.0;
// Text engine units per millimetre factor of a text matrix (20 units per height).
constexpr double FRAME_TEXT_UNIT_SCALE = 0.05;

extern double g_FrameBox[4];
// 1 while the measurement under way needs no safety margin.
extern int32_t g_FrameExact;

// Frame helpers.
void FrameSetEmpty(double frame[4]);
// Inline: every measured point and box passes through these.
inline void FrameExtendPoint(double frame[4], double x, double y)
{
    if (x < frame[0])
        frame[0] = x;
    if (x > frame[2])
        frame[2] = x;
    if (y < frame[1])
        frame[1] = y;
    if (y > frame[3])
        frame[3] = y;
}

inline void FrameUnion(double frame[4], const double other[4])
{
    if (other[0] < frame[0])
        frame[0] = other[0];
    if (other[1] < frame[1])
        frame[1] = other[1];
    if (other[2] > frame[2])
        frame[2] = other[2];
    if (other[3] > frame[3])
        frame[3] = other[3];
}
void FrameAddMargin(double frame[4]);

// The frame by halving the piece up to FRAME_BEZIER_DEPTH times: the control
// boxes of the last halves (a little wider than the curve).
void FrameAddBezier(const BezierPiece *piece, double frame[4], int depth);
// The frame by the curve's exact extremes (end points and the roots of the
// derivative), in constant time; never wider than FrameAddBezier's.
void FrameAddBezierExact(const BezierPiece *piece, double frame[4]);
// Extends by the exact extremes of P0..P3 mapped by the matrix.
void FrameAddBezierMatrix(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                          double frame[4], const Matrix *matrix);
void FrameAddPath(const PathPoint *points, const uint32_t *types, int32_t count, double frame[4],
                  const Matrix *matrix);

struct FontDef;
int FrameMeasureChar(HFONT font, int library, int code, double box[4], double *advance,
                     const XProperty *attributes, const Matrix *matrix);
// record begins with a FontDef (a TextStandard record).
void FrameMeasureText(const FontDef *record, const char *text, const Matrix *textMatrix, const XProperty *own,
                      const XProperty *parent, const Matrix *outer);

// Entry points.
void FrameCalcObject(Unit *object, int regenerate);
void FrameMeasureInstance(Unit *instance, const XProperty *parent, int regenerate, int useBlockFrames);
void FrameCalcInstance(Unit *instance, int regenerate);
void FrameCalcBlock(Unit *block, int recompute);
void FrameScanMarkedPoints(Unit *unit);
void FrameFindMarkedElement(Unit *unit, int ignored);

// Frames by object type.
void FrameMeasureObject(Unit *object, const XProperty *parent, int regenerate);
void FrameMeasureObjectPath(Unit *object, const XProperty *parent, const Matrix *matrix);
void FrameMeasureInstanceMembers(Unit *instance, const XProperty *parent, const Matrix *outer, int useBlockFrames);
void FrameCalcBlockByName(const char *library, const char *blockName, const XProperty *parent, const Matrix *matrix);

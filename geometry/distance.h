// Distances from a point to shapes and stored objects, the search box that
// keeps distant objects from costing anything, and the collection of the
// single path elements (lines, arcs, Bezier pieces) near a point.
//
// Every routine takes the point p = (px, py) and an optional matrix that maps
// the shape's own coordinates into those of p (the shape is mapped, never p).
// Results are non-negative millimetres; DISTANCE_NONE means nothing was
// measured. Curves are flattened into the shared path arrays from index 0, so
// a distance call destroys what the caller kept there.
#pragma once

#include <cstdint>
#include <functional>

#include "database/unit.h"
#include "geometry/calc.h"
#include "geometry/matrix.h"

constexpr double DISTANCE_NONE = 1e300;
// Element kinds of the collection mask.
constexpr uint32_t COLLECT_LINES = 0x1;
constexpr uint32_t COLLECT_CIRCLES = 0x2;      // arcs recorded as their full circle
constexpr uint32_t COLLECT_ARCS = 0x4;
constexpr uint32_t COLLECT_ELLIPSES = 0x8;     // elliptic arcs recorded as the full ellipse too
constexpr uint32_t COLLECT_ELLI_ARCS = 0x10;
constexpr uint32_t COLLECT_GEO_LINES = 0x20;
constexpr uint32_t COLLECT_GEO_CIRCLES = 0x40;
constexpr uint32_t COLLECT_GEO_ELLIPSES = 0x80;
constexpr uint32_t COLLECT_BEZIERS = 0x100;
constexpr uint32_t COLLECT_PICKABLE_ONLY = 0x1000; // layer and pen must be pickable
constexpr uint32_t COLLECT_NO_CHOICE = 0x2000;     // read by element identification

// The pick rectangle; with on = 0 every test passes.
struct DistanceSearchBox {
    double xmin, ymin, xmax, ymax;
    int32_t on;
};
extern DistanceSearchBox g_DistanceSearchBox;

void DistanceResetSearchBox();
void DistanceSetSearchBox(double xmin, double ymin, double xmax, double ymax);
// 1 when the box (two opposite corners), mapped by the matrix, can overlap the
// search box, or the search box is off.
int DistanceBoxInSearchBox(double x1, double y1, double x2, double y2, const Matrix *matrix);
int DistanceObjectInSearchBox(const Unit *object, const Matrix *matrix);

// ---- Primitives ---------------------------------------------------------------

double DistancePointSegment(double x1, double y1, double x2, double y2, double px, double py, const Matrix *matrix);
// The open polyline of the first count (>= 1) points of the path arrays.
double DistancePointPolyline(int32_t count, double px, double py, const Matrix *matrix);
double DistancePointEndlessLine(double x1, double y1, double x2, double y2, double px, double py,
                                const Matrix *matrix);
double DistancePointBezier(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                           double px, double py, const Matrix *matrix);
double DistancePointCircle(double cx, double cy, double x1, double y1, double px, double py, const Matrix *matrix);
// Arc from p1 to p2 around c; sweep >= 0 runs counter-clockwise.
double DistancePointCircleArc(double cx, double cy, double x1, double y1, double x2, double y2, double sweep,
                              double px, double py, const Matrix *matrix);
double DistancePointEllipse(double cx, double cy, double a1x, double a1y, double a2x, double a2y, double px,
                            double py, const Matrix *matrix);
double DistancePointEllipseArc(double cx, double cy, double a1x, double a1y, double a2x, double a2y, double sx,
                               double sy, double ex, double ey, double start, double sweep, double px, double py,
                               const Matrix *matrix);
double DistancePointSpline(const Unit *object, double px, double py, const Matrix *matrix);
// The smoothed polyline of a spline's points into the path arrays from index
// 0: its point count (0 without points, negative at the point limit).
int32_t DistanceFlattenSpline(const Unit *object);
// Hatch and Curve open, every other path type with each contour closed.
double DistancePointPathObject(const Unit *object, double px, double py, const Matrix *matrix);
double DistancePointMarkPoints(const Unit *object, double px, double py, const Matrix *matrix);

// One piece of a path object (Hatch, Curve, Surface, Clip) as the walk hands it on.
constexpr int PATH_PIECE_LINE = 0;
constexpr int PATH_PIECE_BEZIER = 12;
constexpr int PATH_PIECE_ARC = 6;
struct DistancePathPiece {
    int kind;
    double x0, y0, x1, y1;     // from the current point to the piece's end
    double c1x, c1y, c2x, c2y; // Bezier control points
    double direction, factor;  // arc: the values of its curve element
    int32_t offset;            // of the piece's (first) element from the first element of the chain
    int32_t figureStart;       // offset of its figure's start element
    bool closing;              // the closing edge of a figure (never for Hatch and Curve)
};
// Walks the pieces in chain order from the element at byte offset `from`
// (0: the first); with oneFigure it stops where the next figure starts.
void DistanceWalkPath(const Unit *object, int32_t from, bool oneFigure,
                      const std::function<void(const DistancePathPiece &)> &visit);

// ---- Objects ------------------------------------------------------------------

// flags nonzero: an object whose layer or pen is hidden in the current output
// measures DISTANCE_NONE.
double DistancePointObject(Unit *object, double px, double py, const XProperty *parent, const Matrix *matrix,
                           int flags);
double DistanceObjectFiltered(Unit *object, double px, double py, const XProperty *parent, const Matrix *matrix,
                              int flags);
// Instances and plug-in objects: the content of their block.
double DistancePointInstance(Unit *instance, double px, double py, const XProperty *parent, const Matrix *matrix,
                             int flags);
double DistanceInstanceFiltered(Unit *instance, double px, double py, const XProperty *parent,
                                const Matrix *matrix, int flags);
// The block content shown through a Clip object's surface.
double DistanceBlockReference(Unit *clip, double px, double py, const XProperty *parent, const Matrix *matrix,
                              int flags);
double DistanceGeoObject(const GeoObject *geo, double px, double py);

// ---- Texts (distance_text.cpp) --------------------------------------------------
// A text counts by the outlines or drawings of its characters, a blank by its
// baseline; never by its box. Each character's box is tested against the
// search box before its outline is looked at.

struct FontDef;
struct TextFrameLayout;
// The characters of one laid-out text (layout set by the caller) under its
// text matrix (text height units) followed by the outer matrix.
double DistancePointTextChars(const FontDef *font, const char *string, const Matrix *textMatrix, double px,
                              double py, const XProperty *own, const XProperty *parent, const Matrix *outer);
// The same along the lines of a framed text's layout, which the walk changes.
double DistancePointFrameTextChars(const FontDef *font, const char *string, TextFrameLayout *layout, double px,
                                   double py, const XProperty *own, const XProperty *parent);
// One character of the current system font, or of a character library, under
// the character matrix (character units); advance gets its advance width.
double DistancePointGlyphs(int code, double px, double py, const XProperty *resolved, const Matrix *charMatrix,
                           double *advance);
double DistancePointLibraryChar(int library, int code, double px, double py, const XProperty *resolved,
                                const Matrix *charMatrix, double *advance);
// The text block of a dimension as it is drawn: its label, the line over it
// and its tolerance texts.
double DistancePointTextString(Unit *dimension, double px, double py, const XProperty *parent,
                               const Matrix *matrix);

// ---- Path elements near a point (distance_collect.cpp) -----------------------

// Maps the record in place, stores its distance to p in d[11]; 1 when below tolerance.
int DistanceTestGeoObject(GeoObject *geo, const Matrix *matrix, double tolerance, double px, double py);
// Candidate records of a path object's pieces written to the start of Uni2.
int DistanceObjectParts(const Unit *object, const XProperty *resolved, const Matrix *matrix, double tolerance,
                        double px, double py, uint32_t mask);
// Merge the object's elements within tolerance into g_CalcCandidates; the new count.
int DistanceCollectElements(Unit *object, const XProperty *parent, const Matrix *matrix, double tolerance,
                            double px, double py, uint32_t mask, int count);
int DistanceCollectInstanceElements(Unit *instance, const XProperty *parent, const Matrix *matrix, double tolerance,
                                    double px, double py, uint32_t mask, int count);

// Segment arrays, unit buffers, crossings of buffer pieces, contours and
// surfaces.
//
// A path object's outline converts to an array of GeoObject segments and
// back; hatch pieces become Hatch objects through three builder callbacks;
// whole drawing objects are collected into a unit buffer (BufferData with
// BufferSegment pieces) which the preparation completes with directions,
// lengths and a 30 x 30 cell index for the crossing, surface and hatch code.
// Plug-ins see BufferData and BufferSegment, so their layouts are fixed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "database/unit.h"
#include "geometry/calc.h"

// ---------------------------------------------------------------------------
// Unit buffers.

// Item types of a unit buffer.
constexpr int32_t POLY_ITEM_LINE = 0;
constexpr int32_t POLY_ITEM_ARC = 6;
constexpr int32_t POLY_ITEM_BEZIER = 12;
constexpr int32_t POLY_ITEM_POINT = 41;
constexpr int32_t POLY_ITEM_ENDLESS = 45; // endless line through its two points
constexpr int32_t POLY_ITEM_CIRCLE = 46;  // full circle

constexpr int POLY_GRID_CELLS = 30;       // cells per side of the buffer's index grid

struct BufferSegment {
    double x1, y1;         // start point; for a point item the point
    double x2, y2;         // end point
    double cx, cy;         // centre of an arc
    double c1x, c1y;       // first control point of a Bezier piece
    double c2x, c2y;       // second control point
    double startTangent;   // direction leaving the start point, 0 .. 2pi
    double endTangent;     // direction leaving the end point backwards
    double startAngle;     // arcs: centre to start point; others: startTangent
    double endAngle;       // arcs: centre to end point; others: endTangent
    double length;         // line: length; arc: radius; Bezier: estimate
    int32_t type;          // POLY_ITEM_*
    uint32_t columnMask;   // bit i: the piece's box reaches cell column i
    uint32_t rowMask;
    int32_t contour;       // objects added before the source object
    uint32_t tag;          // source flags AND selector; a work word of the surface stages
    int32_t contourEnd;    // 1 on the last piece of a closed contour; a work word later
    int32_t reserved;      // not written by the collector; a work word of the surface stages
    int32_t direction;     // arcs: 1 counter-clockwise, 0 clockwise
};
static_assert(sizeof(BufferSegment) == 152);
static_assert(offsetof(BufferSegment, x2) == 16);
static_assert(offsetof(BufferSegment, cx) == 32);
static_assert(offsetof(BufferSegment, c1x) == 48);
static_assert(offsetof(BufferSegment, c2x) == 64);
static_assert(offsetof(BufferSegment, startTangent) == 80);
static_assert(offsetof(BufferSegment, endTangent) == 88);
static_assert(offsetof(BufferSegment, startAngle) == 96);
static_assert(offsetof(BufferSegment, endAngle) == 104);
static_assert(offsetof(BufferSegment, length) == 112);
static_assert(offsetof(BufferSegment, type) == 120);
static_assert(offsetof(BufferSegment, columnMask) == 124);
static_assert(offsetof(BufferSegment, rowMask) == 128);
static_assert(offsetof(BufferSegment, contour) == 132);
static_assert(offsetof(BufferSegment, tag) == 136);
static_assert(offsetof(BufferSegment, contourEnd) == 140);
static_assert(offsetof(BufferSegment, reserved) == 144);
static_assert(offsetof(BufferSegment, direction) == 148);

struct BufferData {
    BufferSegment *items;  // capacity items
    int32_t pad;
    double xmin, ymin, xmax, ymax; // extents; empty = 1e300, 1e300, -1e300, -1e300
    int32_t capacity;
    int32_t used;
    int32_t objects;       // objects added so far
    uint32_t flags;        // nonzero: no open paths, no points
};
static_assert(sizeof(BufferData) == 56);
static_assert(offsetof(BufferData, xmin) == 8);
static_assert(offsetof(BufferData, capacity) == 40);
static_assert(offsetof(BufferData, used) == 44);
static_assert(offsetof(BufferData, objects) == 48);
static_assert(offsetof(BufferData, flags) == 52);

// Initialises the record and allocates capacity items; a negative capacity -n
// means n times the points of one unit, plus 1. 0 without memory.
int PolyBufferAlloc(BufferData *data, int32_t capacity, uint32_t flags);
int PolyBufferFree(BufferData *data);

// One path or point record as the collector reads it.
struct PolyPathRecord {
    int32_t command;       // 1 open path, 2 closed path, 3 points
    int32_t count;
    const double *points;  // count (x, y) pairs
    const int32_t *codes;  // count codes: 1 start, 2 line, 7 8 2 Bezier, 9 arc end + parameter slot, 10 point
};
constexpr int32_t POLY_RECORD_OPEN = 1;
constexpr int32_t POLY_RECORD_CLOSED = 2;
constexpr int32_t POLY_RECORD_POINTS = 3;
constexpr int32_t POLY_CODE_START = 1;
constexpr int32_t POLY_CODE_LINE = 2;
constexpr int32_t POLY_CODE_CONTROL1 = 7;
constexpr int32_t POLY_CODE_CONTROL2 = 8;
constexpr int32_t POLY_CODE_ARC = 9;
constexpr int32_t POLY_CODE_ARC_PARAMETER = 102;
constexpr int32_t POLY_CODE_POINT = 10;

// Collection: Begin, AddUnit per object, End. Collecting appends after the
// used items; a full buffer stops the collection (AddUnit returns 0).
int PolyBufferBegin(BufferData *data, uint32_t selector, uint32_t flags);
int PolyBufferAddUnit(Unit *unit);
void PolyBufferEnd();
int PolyCollectItem(const PolyPathRecord *record);
// Every alive drawing object whose flags have a bit of mask (or the one unit
// given), each counted as one object and growing the extents by its frame.
int PolyBufferAddSelected(BufferData *data, uint32_t mask, uint32_t flags);
// Directions, lengths and the cell masks of every used item.
void PolyBufferPrepare(BufferData *data, double tolerance);

// ---------------------------------------------------------------------------
// Segment arrays of path objects.

// Segments of a path object (closing lines included except for a Curve);
// 0 after "Overflow" (an array filled up to its capacity).
int PolyObjectToSegments(const Unit *object, GeoObject *segments, int capacity);
// Writes the element chain from the object's element start; its size in
// bytes, end element included.
uint32_t PolySegmentsToObject(Unit *object, const GeoObject *segments, int count);
// One buffer item as a new object at the tail of the drawing.
int PolyItemToObject(const BufferSegment *item, const XProperty *property, uint32_t flags);

// ---------------------------------------------------------------------------
// Hatch objects from pieces (the hatch generator's open, add, close callbacks).

constexpr uint32_t POLY_HATCH_MAX_PIECES = 10000;

int PolyStartHatchObject(const XProperty *property);
int PolyAddLine(double x1, double y1, double x2, double y2);
int PolyAddArc(double cx, double cy, double x1, double y1, double x2, double y2, int32_t direction);
int PolyAddItem(const GeoObject *piece);
int PolyFinishObject();

// ---------------------------------------------------------------------------
// Crossings of buffer pieces.

// 1 when angle lies within the arc from start to end (counter-clockwise when
// ccw), widened by tolerance at both ends.
int PolyAngleInArc(double start, double end, double angle, double tolerance, int32_t ccw);
// Crossings of two pieces in g_CalcPoints: per crossing the point, then the
// pair of parameters (first piece, second piece). Returns the slots written.
int PolyIntersectItems(const BufferSegment *a, const BufferSegment *b, double tolerance, int32_t touch);

// ---------------------------------------------------------------------------
// Contours and surfaces.

struct BoundaryStep {
    int32_t item;
    int32_t reversed;
};
static_assert(sizeof(BoundaryStep) == 8);

constexpr int POLY_MAX_CROSSINGS = 1000; // per piece while splitting

int PolySplitItems(BufferData *in, BufferData *out, double tolerance);
int PolyBuildSurface(BufferData *split, double x, double y, double tolerance);
// After PolyBuildSurface: appends to Uni2 the holes of the area around the
// point (the outlines of the islands within it), each walked like the
// outline. loops gets the steps per loop, the outline first; the result is
// all steps, or -1 when they reach the points of one unit.
int PolyBuildSurfaceHoles(BufferData *split, double x, double y, double tolerance, int32_t outlineSteps,
                          std::vector<int32_t> *loops);
int PolyGenerateSurface(uint32_t selector, double x, double y);


// Corners of the Change menu: between two picked objects (extension to their
// meeting point, chamfer, fillet, arc about the intersection) and at the
// vertices of a Curve or Surface. Each runs inside the caller's undo step and
// returns 1 when it changed the drawing.
#pragma once

#include "geometry/calc.h"

constexpr int CMD_CORNER_EXTEND = 721;
constexpr int CMD_CORNER_CHAMFER = 723;
constexpr int CMD_VERTEX_CHAMFER = 724;
constexpr int CMD_VERTICES_CHAMFER = 725;
constexpr int CMD_CORNER_FILLET = 727;
constexpr int CMD_VERTEX_FILLET = 728;
constexpr int CMD_VERTICES_FILLET = 729;
constexpr int CMD_CORNER_ARC = 731;
constexpr int CMD_VERTEX_ARC = 732;
constexpr int CMD_VERTICES_ARC = 733;

// 721, 723, 727, 731 on the objects of input entries 0 and 1 (lines and
// circular arcs, sectors and segments).
int TrimCornerObjects(int command);
// 724, 728, 732 (oneVertex 1: the vertex nearest the pick) and 725, 729,
// 733 (every vertex) on the Curve or Surface of input entry 0.
int TrimVertexCommand(int command, int oneVertex);
// The index of the segment whose end lies nearest p (the first of equal
// distances), -1 when count is 0.
int TrimNearestVertex(const GeoObject *segments, int count, const CalcPoint *p);

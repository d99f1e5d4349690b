// Radius fits and corner constructions: circles and arcs of a given radius
// touching two figures, the circles touching three lines, and the pieces that
// turn a sharp corner into a chamfer, a rounding or an arc about the vertex.
// Each writes GeoObject records into g_CalcCandidates from slot 0 on and
// returns how many; 0 means no solution (the slots may hold partial data).
//
// The type argument of the fits chooses arcs (6, 7, 8: each solution twice,
// counter-clockwise then clockwise, from the touching point on the first
// figure to the one on the second) or circles (any other type).
#pragma once

#include "geometry/calc.h"

// The incircle and excircles of the triangle of three lines (0 ... 4).
int CalcCirclesTangentThreeLines(double x1, double y1, double x2, double y2, double x3, double y3,
                                 double x4, double y4, double x5, double y5, double x6, double y6,
                                 int type);
// Circles (2) or arcs (4) of radius r through both points.
int CalcRadiusFitPointPoint(double x1, double y1, double x2, double y2, double r, int type);
// Up to 4 circles or 8 arcs touching line p1 p2 and line p3 p4.
int CalcRadiusFitLineLine(double x1, double y1, double x2, double y2, double x3, double y3,
                          double x4, double y4, double r, int type);
// Up to 8 circles or 16 arcs touching line p1 p2 and the circle (c through p).
int CalcRadiusFitLineCircle(double x1, double y1, double x2, double y2, double cx, double cy,
                            double px, double py, double r, int type);
// The same with the circle first: arcs start on the circle.
int CalcRadiusFitCircleLine(double cx, double cy, double px, double py, double x1, double y1,
                            double x2, double y2, double r, int type);
// Up to 8 circles or 16 arcs touching both circles.
int CalcRadiusFitCircleCircle(double c1x, double c1y, double p1x, double p1y, double c2x,
                              double c2y, double p2x, double p2y, double r, int type);
// Lines (0, 45), circles and arcs (5 ... 8, 46, as full circles) and points
// (41) in any pairing; other types give 0. At most 16 records.
int CalcGeoRadiusFit(const GeoObject *g1, const GeoObject *g2, double r, int type);

// Corners at a vertex v with the legs v->p1 and v->p2: candidate 0 the corner
// piece, 1 the first leg p1->start of the piece, 2 the second leg; 3 or 0.
int CalcCornerChamferAngle(double x1, double y1, double vx, double vy, double x2, double y2,
                           double length, double angle);
int CalcCornerRoundVertex(double x1, double y1, double vx, double vy, double x2, double y2,
                          double r);
int CalcCornerArcVertex(double x1, double y1, double vx, double vy, double x2, double y2,
                        double r);

// Corners of two objects picked at pick1 and pick2 (either may be null where
// stated). The end of each object nearer its pick moves; the other stays.
// Two lines; without picks the start of line 1 and the end of line 2 stay.
int CalcCornerChamferObjects(const GeoObject *g1, const GeoObject *g2, const CalcPoint *pick1,
                             const CalcPoint *pick2, double length, double angle);
int CalcCornerArcObjects(const GeoObject *g1, const GeoObject *g2, const CalcPoint *pick1,
                         const CalcPoint *pick2, double r);
// Lines and circular arcs: both extended or cut to their meeting point
// nearest the moving ends; candidates 0 and 1 the two objects; 2 or 0.
int CalcCornerExtendObjects(const GeoObject *g1, const GeoObject *g2, const CalcPoint *pick1,
                            const CalcPoint *pick2);
// Lines and circular arcs: the fillet that joins both smoothly; 3 or 0.
int CalcCornerRoundObjects(const GeoObject *g1, const GeoObject *g2, const CalcPoint *pick1,
                           const CalcPoint *pick2, double r);

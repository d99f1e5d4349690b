// The rubber band: the shapes of the object under construction, drawn in an
// inverting raster operation straight into a drawing window, so that drawing
// the same shapes again with the same construction points erases them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "geometry/calc.h"

// What the painters are asked to draw.
constexpr uint32_t RUBBER_MOVING = 1; // the part that follows the cursor
constexpr uint32_t RUBBER_FIXED = 2;  // the fixed part, while the construction is invalid
constexpr uint32_t RUBBER_ALL = 4;    // everything, with the point marks

// The painters the input machine calls (window 0 to 3, or 999): 1 when they
// drew into the window.
int InputFeedbackDrawWindow(int window, uint32_t flags);
int InputDrawReferenceMarkWindow(int window, uint32_t flags);
// One geometry record in the reference pen.
void InputDrawGeoObject(HDC hdc, const GeoObject *g);
// The shapes of the running built-in command at point index p.
void InputFeedbackDrawCommand(HDC hdc, int p, int fixed, int moving);
// The same for the dimension commands (input_rubber_dim.cpp); false for
// any other command.
bool InputFeedbackDrawDimension(HDC hdc, int command, int p, int fixed, int moving);

// Primitives on construction points (indexes); each draws nothing when its
// draw flag is 0.
void InputFeedbackLine(HDC hdc, int i, int j, int draw);
void InputFeedbackEndlessLine(HDC hdc, int i, int j, int draw);
void InputFeedbackPolyline(HDC hdc, int last, int close, int fixed, int moving);
void InputFeedbackPolygon(HDC hdc, int centre, int radiusPoint, int direction, int draw);
void InputFeedbackCircle(HDC hdc, int centre, int onCircle, int draw);
void InputFeedbackCircleArc(HDC hdc, int centre, int start, int end, int sweepHolder, int draw);
void InputFeedbackEllipse(HDC hdc, int centre, int axis1, int axis2, int draw);
void InputFeedbackEllipseArc(HDC hdc, int centre, int axis1, int axis2, int start, int end, int holder, int draw);
void InputFeedbackOpenPath(HDC hdc, int last, int whole);
void InputFeedbackClosedPath(HDC hdc, int last, int whole);
void InputFeedbackRectangle(HDC hdc, double x1, double y1, double x2, double y2, int draw);
void InputFeedbackFrame(HDC hdc, int draw);
void InputFeedbackHandles(HDC hdc, int draw);
void InputFeedbackMarker(HDC hdc, int entry, int draw);
void InputFeedbackMarkers(HDC hdc, int count, int draw);
// The frame corners of a placement at (x, y): R under M, the x of R shifted by dx.
void InputFeedbackFrameCorners(double x, double y, double dx);


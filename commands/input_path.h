// Open-ended path input: the vertices, segments and construction of the
// mode-6 commands, and the segment kinds of the two path commands.
#pragma once

#include <cstdint>

// Point kinds of the path steps.
constexpr int32_t PATH_KIND_PLACEHOLDER = 0;       // taken without a click
constexpr int32_t PATH_KIND_START = 6;             // start of a contour
constexpr int32_t PATH_KIND_LINE_END = 9;          // end of a straight segment
constexpr int32_t PATH_KIND_CENTRE = 24;           // centre of an arc by centre and end
constexpr int32_t PATH_KIND_CENTRE_ARC_END = 28;   // its end point
constexpr int32_t PATH_KIND_ANGLE_LENGTH = 29;     // a point by angle and length
constexpr int32_t PATH_KIND_BEZIER_CONTROL1 = 30;
constexpr int32_t PATH_KIND_BEZIER_CONTROL2 = 31;  // entered last
constexpr int32_t PATH_KIND_BEZIER_END = 32;       // entered second
constexpr int32_t PATH_KIND_THREE_POINT_ARC = 33;  // a further point on the arc
constexpr int32_t PATH_KIND_THREE_POINT_END = 34;  // the end of that arc
constexpr int32_t PATH_KIND_TANGENT_ARC_END = 35;
constexpr int32_t PATH_KIND_NUMERIC_ARC = 36;

// Segment codes of the segment dialog (the variant word while a path runs).
constexpr int32_t PATH_SEGMENT_LINES = 1;
constexpr int32_t PATH_SEGMENT_ANGLE_LENGTH = 2;
constexpr int32_t PATH_SEGMENT_BEZIER = 4;
constexpr int32_t PATH_SEGMENT_TANGENT_BEZIER = 8;
constexpr int32_t PATH_SEGMENT_THREE_POINT_ARC = 16;
constexpr int32_t PATH_SEGMENT_TANGENT_ARC = 32;
constexpr int32_t PATH_SEGMENT_CENTRE_ARC = 64;
constexpr int32_t PATH_SEGMENT_NUMERIC_ARC = 128;
constexpr int32_t PATH_SEGMENT_CONTOUR = 256;
constexpr int32_t PATH_SEGMENT_FINISH = 4096;
constexpr int32_t PATH_SEGMENT_UNCHANGED = 8192;

// 1 for the two path commands (open and closed).
int InputPathIsPathCommand(int commandId);
// The construction of the open-ended commands (1 valid).
int InputConstructPath(int index, double x, double y);
// Rebuilds the path up to an index; the vertex where its segment starts.
int InputPolylineVertices(int index);
// The first construction point of the segment holding an index.
int InputPolylineSegmentStart(int index);
// The vertex before an index (0 when none).
int InputPolylinePreviousVertex(int index);
// Rewrites the steps from index k on for a segment code; the input code.
int InputPolylineApplySegment(int k, int32_t code, double angle);
// The segment dialog at index k: an input code (3 go on, 5 complete,
// 2 go on unchanged, 4 cancelled, 1 no room left).
int InputPolylineSegmentDialog(int k);
// What the right button does for an open-ended command.
int InputPathNext(int index);
// The numeric steps of the path commands, when they are entered.
int InputPathValidateStep(int index);
// After a point was accepted: the direction handed to the next step, and the
// segment dialog when the steps of the last choice are used up.
int InputPathAccept(int index, int code);

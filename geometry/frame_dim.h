// Derived geometry of dimensions and reference texts: the run-time records
// behind their settings record, rebuilt by every frame computation and read
// by the renderer, the distance code and the plug-in enumeration.
#pragma once

#include <cstddef>
#include <cstdint>

#include "database/unit.h"
#include "geometry/calc.h"
#include "geometry/matrix.h"

constexpr int DIM_EXTRA_TEXT_SIZE = 32;
// The text gap of a dimension line or arc when the text does not cut it.
constexpr double DIM_NO_GAP_START = 1e300;
constexpr double DIM_NO_GAP_END = -1e300;
// Text placements of a dimension record.
constexpr int32_t DIM_PLACE_ABOVE = 1;
constexpr int32_t DIM_PLACE_IN_LINE = 2;
// Distance of the text's baseline from the dimension line, in text heights.
constexpr double DIM_TEXT_OFFSET_SHARE = 0.4;

// Run-time sub-element -5 of DimDist, DimRad and DimDia.
struct DimLinearGeometry {
    char extraText[DIM_EXTRA_TEXT_SIZE];
    int32_t endMark1;
    int32_t endMark2;
    double startDirection;
    double endDirection;
    double textAngle;
    int32_t extension1;
    int32_t extension2;
    int32_t dimensionLine;
    uint32_t pad;
    CalcPoint q1, q2;
    CalcPoint base1, base2;
    CalcPoint text;
    double gapStart, gapEnd;
};
static_assert(sizeof(DimLinearGeometry) + ELEMENT_HEADER_SIZE == ELEM_SIZE_SUB_DIM_LINEAR);
static_assert(offsetof(DimLinearGeometry, q1) == 80);

// Run-time sub-element -6 of DimAngle and DimArc.
struct DimAngularGeometry {
    int32_t endMark1;
    int32_t endMark2;
    double sweep;
    double startAngle, endAngle;
    double startDirection, endDirection;
    double textAngle;
    int32_t extension1;
    int32_t extension2;
    int32_t dimensionArc;
    uint32_t pad;
    CalcPoint arcStart, arcEnd;
    CalcPoint base1, base2;
    CalcPoint centre;
    CalcPoint arcPosition;
    CalcPoint text;
    double gapStart, gapEnd;
};
static_assert(sizeof(DimAngularGeometry) + ELEMENT_HEADER_SIZE == ELEM_SIZE_SUB_DIM_ANGULAR);
static_assert(offsetof(DimAngularGeometry, arcStart) == 72);

// Run-time sub-element -7 of DimCoord, DimArea and DimPeri.
struct DimLabelGeometry {
    double textAngle;
    CalcPoint text;
};
static_assert(sizeof(DimLabelGeometry) + ELEMENT_HEADER_SIZE == ELEM_SIZE_SUB_DIM_LABEL);

// Frame shapes of a reference text (any other value: rectangle).
constexpr int32_t REFTEXT_FRAME_RHOMBUS = 1;
constexpr int32_t REFTEXT_FRAME_CIRCLE = 2;
constexpr int32_t REFTEXT_FRAME_ELLIPSE = 3;

// Run-time sub-element -8 of RefText.
struct RefTextGeometry {
    int32_t endMark;
    int32_t leaderMode;
    double tipDirection;
    int32_t frameShape;
    uint32_t pad;
    double frameDistance;
    CalcPoint frame[4];
    CalcPoint leader[3];  // tip, knee, end
};
static_assert(sizeof(RefTextGeometry) + ELEMENT_HEADER_SIZE == ELEM_SIZE_SUB_REFTEXT);
static_assert(offsetof(RefTextGeometry, frame) == 32);

// 1 when the leader of that mode runs tip -> knee -> end, 0 for tip -> end.
int FrameRefTextHasKnee(int32_t leaderMode);

// Turns an angle in [0, 2pi) by -pi when a text along it would read upside
// down (a little below 91 up to a little below 271 degrees).
double FrameUprightAngle(double angle);

// Rebuilds the derived geometry of a dimension (types 25 to 32) and, with
// an automatic value or regenerate set, its value text. Other types and
// chains that do not have the dimension's layout are left alone.
void FrameRegenerateDimension(Unit *object, int regenerate);

// Copies the reference record into the working record and builds the
// reference text's frame and leader (FrameBuildRefTextPath).
void FrameRegenerateRefText(Unit *object, const XProperty *parent);

// The frame points around the text box {x0, y0, x1, y1} of the upright text,
// placed by the text's rotation and move; shape and distance from the record.
void FrameRefTextFrame(const double box[4], const Matrix *placed, RefTextGeometry *g);
// The leader from the tip to the placed text's centre by the leader mode, cut
// at the frame; modes 6 and 7 move the frame and the text matrix.
void FrameRefTextLeader(RefTextGeometry *g, CalcPoint tip, CalcPoint knee, CalcPoint centre, Matrix *textMatrix);

// The frame and leader of a reference text from its six elements; leader
// modes 6 and 7 also move the text matrix of the TextStandard record.
void FrameBuildRefTextPath(ElementPoint *tip, ElementPoint *knee, Element *text, Element *standard,
                           Element *reference, Element *work, const XProperty *parent);

// Where a dimension keeps the elements its edits change; null where the type
// has no such element.
struct DimRoles {
    int32_t type;
    ElementPoint *direction;     // the measuring direction point (DimDist, DimRad, DimDia)
    ElementPoint *line;          // the dimension line or arc position (types 25 to 29)
    ElementPoint *text;          // the text position point
    ElementPoint *textDirection; // the text direction point
    Element *firstText;          // the first of the texts, which follow one another
    int texts;                   // 5, or 7 for DimCoord
    Element *record;             // DimLarge or DimSmall
    Element *sub;                // the run-time geometry behind the record
    CalcPoint computedText;      // the text position of the last regeneration
    double textAngle;            // and the text's angle
};
// 1 when the object is a dimension with its full chain; roles filled.
int FrameDimensionRoles(Unit *object, DimRoles *roles);

// The lines of a dimension of types 25 to 29 as its last regeneration left
// them: the two ends of the dimension line (arc), the feet of the extension
// lines and whether each is shown; for DimAngle and DimArc the arc around
// the centre with its sweep. 0 for other objects and for a dimension whose
// dimension line (arc) is not shown: then it has no lines at all.
struct DimLines {
    CalcPoint end[2];
    CalcPoint foot[2];
    int32_t extension[2];
    int32_t arc;
    CalcPoint centre;
    double sweep;
};
int FrameDimensionLines(const Unit *object, DimLines *out);

// The working record of a reference text as its last frame computation left
// it; null for any other object.
const RefTextGeometry *FrameRefTextGeometry(const Unit *object);

struct DimCommon;
// The label of a dimension as it is drawn: its texts before, value and after
// (a coordinate dimension: all five of its line) into out (size bytes), the
// matrix that places a text of height 1 centred on the text point along the
// text angle, scaled by the dimension's text height, and its settings. 0
// when the object is no dimension or the label is empty.
int FrameDimensionLabel(Unit *object, char *out, int size, Matrix *placed, const DimCommon **common);

// The tolerance texts of a dimension and the matrices that place them (text
// height 1 scaled by the tolerance height, left-aligned): the upper one
// (the extra text of a distance, a blank and the upper tolerance, or the
// tolerance alone) with its baseline 0.6 text heights above the label's,
// the lower one with its top 0.4 text heights above it, both a quarter text
// height after the label's end. Reads the pen position and line shift the
// label just left in the text engine, so the caller lays the label out
// first. 0 when both are empty.
constexpr int DIM_TOLERANCE_SIZE = 300;
struct DimTolerances {
    char upper[DIM_TOLERANCE_SIZE];
    char lower[DIM_TOLERANCE_SIZE];
    Matrix upperAt, lowerAt;
};
int FrameDimensionTolerances(Unit *object, DimTolerances *out);
constexpr int DIM_LABEL_SIZE = 1300; // five texts of 250 characters and the terminator

// The range of the dimension line (a GEO_LINE record: parameters, 0 at its
// start and 1 at its end) or arc (a GEO_CIRC_ARC record: arc fractions) that
// the dimension's text covers: the upright box of its label and tolerance
// texts, widened by 0.15 text heights on the left and right and turned by
// the text angle about the text point, crossed with the line or arc. Needs
// the text position and angle of the geometry record; no gap
// (DIM_NO_GAP_START, DIM_NO_GAP_END) unless it crosses at least twice.
void FrameDimTextGap(Unit *dimension, const GeoObject *line, double *gapStart, double *gapEnd);

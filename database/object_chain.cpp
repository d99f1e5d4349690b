// The element chain of every object type, described once as data.
#include <cstring>

#include "database/init.h"
#include "database/object_types.h"
#include "database/storage.h"

namespace {

// Repeat counts that follow the shape instead of a fixed number.
constexpr int16_t REPEAT_POINTS = -1;       // shape.points
constexpr int16_t REPEAT_POINTS_LESS1 = -2; // shape.points - 1

// One run of equal elements. Texts: size is the capacity, repeat the number
// of texts, taken in order from shape.texts.
struct ChainStep {
    int16_t kind;
    uint16_t size;
    int16_t repeat;
};

constexpr int MAX_CHAIN_STEPS = 10;

struct ChainLayout {
    int32_t type;
    ChainStep steps[MAX_CHAIN_STEPS];
};

constexpr ChainStep Point(int16_t kind, int16_t repeat = 1) { return {kind, ELEM_SIZE_POINT, repeat}; }
constexpr ChainStep Texts(int16_t capacity, int16_t count) { return {ELEM_TEXT, static_cast<uint16_t>(capacity), count}; }
constexpr ChainStep Record(int16_t kind, uint32_t size) { return {kind, static_cast<uint16_t>(size), 1}; }
constexpr ChainStep CONSTANT = {ELEM_CONSTANT, ELEM_SIZE_CONSTANT, 1};
constexpr ChainStep ORIENT = {ELEM_ORIENT, ELEM_SIZE_ORIENT, 1};
constexpr ChainStep DIM_LINE = Record(ELEM_DIM_LINE, ELEM_SIZE_DIM_LINE);
constexpr ChainStep DIM_LARGE = Record(ELEM_DIM_LARGE, ELEM_SIZE_DIM_LARGE);
constexpr ChainStep DIM_SMALL = Record(ELEM_DIM_SMALL, ELEM_SIZE_DIM_SMALL);
constexpr ChainStep DIM_TEXTS5 = Texts(TEXT_CAPACITY_SHORT, 5);
constexpr ChainStep DIM_TEXTS7 = Texts(TEXT_CAPACITY_SHORT, 7);
constexpr ChainStep LONG_TEXT = Texts(TEXT_CAPACITY_LONG, 1);

// Points of a line, a circle and an ellipse (also the construction objects).
#define LINE_POINTS Point(POINT_START), Point(POINT_LINE)
#define CIRCLE_POINTS Point(POINT_CENTRE), Point(POINT_ON_CIRCLE)
#define ELLIPSE_POINTS Point(POINT_CENTRE), Point(POINT_AXIS_END, 2)
#define ARC_ENDS Point(POINT_ARC_END, 2), ORIENT

const ChainLayout CHAIN_LAYOUTS[] = {
    {OBJTYPE_LINE, {LINE_POINTS}},
    {OBJTYPE_GEO_LINE, {LINE_POINTS}},
    {OBJTYPE_ZIGZAG, {LINE_POINTS, CONSTANT}},
    {OBJTYPE_SPLINE, {Point(POINT_START), Point(POINT_LINE, REPEAT_POINTS_LESS1)}},
    {OBJTYPE_CURVE, {Point(POINT_START), Point(POINT_LINE, REPEAT_POINTS_LESS1)}},
    {OBJTYPE_SURFACE, {Point(POINT_START), Point(POINT_LINE, REPEAT_POINTS_LESS1)}},
    {OBJTYPE_CIRCLE, {CIRCLE_POINTS}},
    {OBJTYPE_GEO_CIRCLE, {CIRCLE_POINTS}},
    {OBJTYPE_CIRC_ARC, {CIRCLE_POINTS, ARC_ENDS, Record(ELEM_SUB_CIRCLE_ARC, ELEM_SIZE_SUB_CIRCLE_ARC)}},
    {OBJTYPE_CIRC_SEC, {CIRCLE_POINTS, ARC_ENDS, Record(ELEM_SUB_CIRCLE_ARC, ELEM_SIZE_SUB_CIRCLE_ARC)}},
    {OBJTYPE_CIRC_SEGM, {CIRCLE_POINTS, ARC_ENDS, Record(ELEM_SUB_CIRCLE_ARC, ELEM_SIZE_SUB_CIRCLE_ARC)}},
    {OBJTYPE_ELLIPSE, {ELLIPSE_POINTS}},
    {OBJTYPE_GEO_ELLI, {ELLIPSE_POINTS}},
    {OBJTYPE_ELLI_ARC, {ELLIPSE_POINTS, ARC_ENDS, Record(ELEM_SUB_ELLIPSE_ARC, ELEM_SIZE_SUB_ELLIPSE_ARC)}},
    {OBJTYPE_ELLI_SEC, {ELLIPSE_POINTS, ARC_ENDS, Record(ELEM_SUB_ELLIPSE_ARC, ELEM_SIZE_SUB_ELLIPSE_ARC)}},
    {OBJTYPE_ELLI_SEGM, {ELLIPSE_POINTS, ARC_ENDS, Record(ELEM_SUB_ELLIPSE_ARC, ELEM_SIZE_SUB_ELLIPSE_ARC)}},
    {OBJTYPE_MARK, {Point(POINT_MARK, REPEAT_POINTS)}},
    {OBJTYPE_LINE_STR, {LINE_POINTS, DIM_LINE, Record(ELEM_SUB_LINESTR, ELEM_SIZE_SUB_LINESTR)}},
    {OBJTYPE_LINE_CURVED, {CIRCLE_POINTS, ARC_ENDS, DIM_LINE, Record(ELEM_SUB_LINECURVED, ELEM_SIZE_SUB_LINECURVED)}},
    {OBJTYPE_DIM_DIST, {LINE_POINTS, Point(POINT_AUX, 5), DIM_TEXTS5, DIM_LARGE,
                    Record(ELEM_SUB_DIM_LINEAR, ELEM_SIZE_SUB_DIM_LINEAR)}},
    {OBJTYPE_DIM_RAD, {CIRCLE_POINTS, Point(POINT_AUX, 4), DIM_TEXTS5, DIM_LARGE,
                   Record(ELEM_SUB_DIM_LINEAR, ELEM_SIZE_SUB_DIM_LINEAR)}},
    {OBJTYPE_DIM_DIA, {CIRCLE_POINTS, Point(POINT_AUX, 4), DIM_TEXTS5, DIM_LARGE,
                   Record(ELEM_SUB_DIM_LINEAR, ELEM_SIZE_SUB_DIM_LINEAR)}},
    {OBJTYPE_DIM_ANGLE, {LINE_POINTS, LINE_POINTS, Point(POINT_AUX, 3), DIM_TEXTS5, DIM_LARGE,
                     Record(ELEM_SUB_DIM_ANGULAR, ELEM_SIZE_SUB_DIM_ANGULAR)}},
    {OBJTYPE_DIM_ARC, {CIRCLE_POINTS, ARC_ENDS, Point(POINT_AUX, 3), DIM_TEXTS5, DIM_LARGE,
                   Record(ELEM_SUB_DIM_ANGULAR, ELEM_SIZE_SUB_DIM_ANGULAR)}},
    {OBJTYPE_DIM_COORD, {Point(POINT_AUX, 3), DIM_TEXTS7, DIM_SMALL, Record(ELEM_SUB_DIM_LABEL, ELEM_SIZE_SUB_DIM_LABEL)}},
    {OBJTYPE_DIM_AREA, {Point(POINT_AUX, 2), CONSTANT, DIM_TEXTS5, DIM_SMALL,
                    Record(ELEM_SUB_DIM_LABEL, ELEM_SIZE_SUB_DIM_LABEL)}},
    {OBJTYPE_DIM_PERI, {Point(POINT_AUX, 2), CONSTANT, DIM_TEXTS5, DIM_SMALL,
                    Record(ELEM_SUB_DIM_LABEL, ELEM_SIZE_SUB_DIM_LABEL)}},
    {OBJTYPE_STD_TEXT, {LONG_TEXT, Record(ELEM_TEXT_STANDARD, ELEM_SIZE_TEXT_STANDARD)}},
    {OBJTYPE_FRAME_TEXT, {Point(POINT_AUX, 3), LONG_TEXT, Record(ELEM_TEXT_FRAME, ELEM_SIZE_TEXT_FRAME)}},
    {OBJTYPE_REF_TEXT, {Point(POINT_AUX, 2), LONG_TEXT, Record(ELEM_TEXT_STANDARD, ELEM_SIZE_TEXT_STANDARD),
                    Record(ELEM_TEXT_REFERENCE, ELEM_SIZE_TEXT_REFERENCE),
                    Record(ELEM_SUB_REFTEXT, ELEM_SIZE_SUB_REFTEXT)}},
    {OBJTYPE_COMMENT, {Point(POINT_AUX, 2), LONG_TEXT, Record(ELEM_COMMENT, ELEM_SIZE_COMMENT)}},
    {OBJTYPE_CLIP, {Record(ELEM_CLIP_SURFACE, ELEM_SIZE_CLIP_SURFACE)}},
    {OBJTYPE_BITMAP, {Record(ELEM_BITMAP_REF, ELEM_SIZE_BITMAP_REF)}},
};

// Hatches are built piece by piece from generated contours: no fixed chain.
constexpr int32_t KNOWN_WITHOUT_LAYOUT[] = {OBJTYPE_HATCH};

const ChainLayout *FindLayout(int32_t type)
{
    for (const ChainLayout &layout : CHAIN_LAYOUTS)
        if (layout.type == type)
            return &layout;
    return nullptr;
}

// The repeat count of a step for the shape; -1 when the shape does not fit.
int64_t StepRepeat(const ChainStep &step, const ObjectChainShape &shape)
{
    switch (step.repeat) {
    case REPEAT_POINTS: return shape.points >= 1 ? shape.points : -1;
    case REPEAT_POINTS_LESS1: return shape.points >= 1 ? shape.points - 1 : -1;
    default: return step.repeat;
    }
}

const char *ShapeText(const ObjectChainShape &shape, int index)
{
    return shape.texts && shape.texts[index] ? shape.texts[index] : "";
}

} // namespace

int ObjectTypeIsKnown(int32_t type)
{
    if (FindLayout(type))
        return 1;
    for (int32_t t : KNOWN_WITHOUT_LAYOUT)
        if (t == type)
            return 1;
    return 0;
}

int ObjectChainTextCount(int32_t type)
{
    const ChainLayout *layout = FindLayout(type);
    int count = 0;
    if (layout)
        for (const ChainStep &step : layout->steps)
            if (step.kind == ELEM_TEXT && step.size)
                count += step.repeat;
    return count;
}

uint32_t ObjectChainSize(int32_t type, const ObjectChainShape &shape)
{
    const ChainLayout *layout = FindLayout(type);
    if (!layout)
        return 0;
    uint64_t bytes = UNIT_ELEMENTS_OBJECT + ELEM_SIZE_END;
    int text = 0;
    for (const ChainStep &step : layout->steps) {
        if (step.size == 0)
            break;
        const int64_t repeat = StepRepeat(step, shape);
        if (repeat < 0)
            return 0;
        if (step.kind == ELEM_TEXT) {
            for (int i = 0; i < repeat; ++i) {
                size_t length = strlen(ShapeText(shape, text++));
                if (length > static_cast<size_t>(step.size - 1))
                    length = step.size - 1;
                bytes += TextElementCutSize(static_cast<uint32_t>(length));
            }
        } else {
            bytes += static_cast<uint64_t>(step.size) * repeat;
        }
    }
    return bytes > UINT32_MAX ? 0 : static_cast<uint32_t>(bytes);
}

uint32_t ObjectWriteChain(Unit *unit, uint32_t capacity, int32_t type, const ObjectChainShape &shape)
{
    const ChainLayout *layout = FindLayout(type);
    if (!layout || capacity < UNIT_ELEMENTS_OBJECT)
        return 0;
    unit->kind = UNIT_KIND_OBJECT;
    unit->object.type = type;
    unit->object.reserved = OBJTYPE_RESERVED;
    ChainWriter writer;
    InitChainBegin(&writer, unit, capacity);
    int text = 0;
    for (const ChainStep &step : layout->steps) {
        if (step.size == 0)
            break;
        const int64_t repeat = StepRepeat(step, shape);
        if (repeat < 0)
            return 0;
        for (int64_t i = 0; i < repeat && !writer.failed; ++i) {
            if (step.kind == ELEM_TEXT)
                InitChainText(&writer, ShapeText(shape, text++), static_cast<int16_t>(step.size), false);
            else if (step.kind >= ELEM_POINT_FIRST && step.kind <= ELEM_POINT_LAST)
                InitChainPoint(&writer, step.kind, 0.0, 0.0);
            else if (step.kind == ELEM_CONSTANT)
                InitChainConstant(&writer, 0.0);
            else if (step.kind == ELEM_ORIENT)
                InitChainOrient(&writer, 0.0);
            else
                InitChainRecord(&writer, step.kind, step.size);
        }
    }
    return InitChainEnd(&writer);
}

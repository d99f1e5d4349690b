// The enumeration stream as a plug-in sees it: ZVI_EnumerateAll and its
// siblings hand the drawing's geometry to the plug-in's callback as one
// EnumerateRecord per path, character, text, instance reference or begin
// notice. Part of the plug-in SDK.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "zvi_records.h"

// The one call block of the stream; plug-ins see it byte for byte.
struct EnumerateRecord {
    int32_t command;
    int32_t count;
    uint32_t mask;
    uint32_t value;
    uint32_t flags;
    int32_t abort;
    int32_t styleTag;
    int32_t pen;
    int32_t drawMode; // ENUM_DRAW_*: what to do with the path
    COLORREF fillColor;
    COLORREF lineColor;
    int32_t lineType;
    double width;
    uint32_t capJoin;
    int32_t layer;
    FontDef font;
    uint8_t reserved[4];
    double charSpacing;
    double tabUnit;
    double lineSpacing;
    int32_t alignment;
    const double *points; // count x (x, y)
    const int32_t *codes;
    const Matrix *matrix;
    const char *name1;
    const char *name2;
    Unit *object;
    Unit *instance;
    Unit *block;
    Unit *module;
};
static_assert(sizeof(EnumerateRecord) == 208);
static_assert(offsetof(EnumerateRecord, abort) == 20);
static_assert(offsetof(EnumerateRecord, width) == 48);
static_assert(offsetof(EnumerateRecord, font) == 64);
static_assert(offsetof(EnumerateRecord, charSpacing) == 144);
static_assert(offsetof(EnumerateRecord, alignment) == 168);
static_assert(offsetof(EnumerateRecord, points) == 172);
static_assert(offsetof(EnumerateRecord, object) == 192);
static_assert(offsetof(EnumerateRecord, module) == 204);

typedef int(__stdcall *EnumCallback)(EnumerateRecord *record);

// drawMode of a path record: whether it is stroked, filled, or both.
// Without ENUM_FILLS paths come as ENUM_DRAW_OUTLINE (a filled object without
// an outline then comes as its outline in the fill colour), those of erasing
// fills as ENUM_DRAW_ERASE. With
// ENUM_FILLS a closed path (command 2) of a filled object (fill mode 1 to 4:
// circles, sectors, segments, ellipses, surfaces, hatches, closed line
// strings) comes with mode 1 to 4: fill the area its sub-paths enclose by the
// even-odd rule (islands stay empty), in fillColor, which is white for the
// erasing modes 3 and 4; then stroke it in lineColor for modes 2 and 4. Open
// paths (command 1) are never filled. A filled path with a dashed line type
// comes once as a fill-only record (mode 1) and then as its dashes.
constexpr int32_t ENUM_DRAW_OUTLINE = 0;
constexpr int32_t ENUM_DRAW_FILL = 1;
constexpr int32_t ENUM_DRAW_FILL_OUTLINE = 2;
constexpr int32_t ENUM_DRAW_ERASE = 3;
constexpr int32_t ENUM_DRAW_ERASE_OUTLINE = 4;

// Record commands.
constexpr int32_t ENUM_CMD_OPEN_PATH = 1;   // a path that is never filled
constexpr int32_t ENUM_CMD_CLOSED_PATH = 2; // the receiver closes it from its last point to its first
constexpr int32_t ENUM_CMD_POINTS = 3;
constexpr int32_t ENUM_CMD_CHAR = 4;
constexpr int32_t ENUM_CMD_TEXT = 5;
constexpr int32_t ENUM_CMD_INSTANCE_REF = 6;
constexpr int32_t ENUM_CMD_BLOCK_NAME = 16;
constexpr int32_t ENUM_CMD_FONT = 17;
constexpr int32_t ENUM_CMD_BEGIN_OBJECT = 32;
constexpr int32_t ENUM_CMD_BEGIN_INSTANCE = 33;
constexpr int32_t ENUM_CMD_BEGIN_BLOCK = 34;
constexpr int32_t ENUM_CMD_BEGIN_MODULE = 35;

// Drawing codes of a path, one per point (codes[i] goes with points[2i],
// points[2i+1]). Code 1 starts a sub-path; a record may hold several (the
// islands of a surface, the pieces of a hatch).
// A cubic Bezier segment takes three points: its first control point with
// code 7, its second with code 8, and then its end point with code 2 (the
// same code as a straight line's end): a reader that meets 7 must take the
// next two points together. Only ENUM_BEZIERS makes the stream send them.
// An arc (ENUM_ARCS) is its end point with code 9 followed by one entry with
// code 102 holding (centre offset, direction) instead of a point.
constexpr int32_t ENUM_CODE_MOVE = 1;
constexpr int32_t ENUM_CODE_LINE = 2;
constexpr int32_t ENUM_CODE_BEZIER1 = 7;
constexpr int32_t ENUM_CODE_BEZIER2 = 8; // followed by the segment's end point, code 2
constexpr int32_t ENUM_CODE_ARC = 9;
constexpr int32_t ENUM_CODE_POINT = 10;
constexpr int32_t ENUM_CODE_ARC_DATA = 102;

// Enumeration flags.
constexpr uint32_t ENUM_FILLS = 0x00000001;
constexpr uint32_t ENUM_ARCS = 0x00000002;
constexpr uint32_t ENUM_BEZIERS = 0x00000004;
constexpr uint32_t ENUM_NO_DASHING = 0x00000008;
constexpr uint32_t ENUM_TRUETYPE_STRINGS = 0x00000010;
constexpr uint32_t ENUM_STRINGS = 0x00000020;
constexpr uint32_t ENUM_TEXT_LINES = 0x00000040;
constexpr uint32_t ENUM_TEXT_WHOLE = 0x00000080;
constexpr uint32_t ENUM_UNTRANSFORMED = 0x00000100;
constexpr uint32_t ENUM_OBJECTS_ONLY = 0x00000200;
constexpr uint32_t ENUM_GEOMETRY = 0x00001000;
constexpr uint32_t ENUM_INSTANCE_REFS = 0x00002000;
constexpr uint32_t ENUM_BLOCK_NAMES = 0x00010000;
constexpr uint32_t ENUM_FONTS_ONLY = 0x00020000;
constexpr uint32_t ENUM_SKIP_OBJECTS = 0x00100000;
constexpr uint32_t ENUM_SKIP_INSTANCES = 0x00200000;
constexpr uint32_t ENUM_SKIP_TEXTS = 0x00400000;
constexpr uint32_t ENUM_SCREEN = 0x01000000;
constexpr uint32_t ENUM_EXPAND_INSTANCES = 0x02000000;
constexpr uint32_t ENUM_VISIBLE_ONLY = 0x10000000;
constexpr uint32_t ENUM_CLIP_WINDOW = 0x20000000;


// The enumeration stream: stored objects turned into a sequence of small
// records (paths with drawing codes, characters, texts, instance references,
// begin notices) handed one by one to a callback. Plug-ins read the
// drawing's geometry through it; only one enumeration runs at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "database/unit.h"
#include "files/file_records.h"
#include "geometry/matrix.h"

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
    int32_t drawMode;
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

// Record commands.
constexpr int32_t ENUM_CMD_OPEN_PATH = 1;
constexpr int32_t ENUM_CMD_CLOSED_PATH = 2;
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

// Drawing codes of a path.
constexpr int32_t ENUM_CODE_MOVE = 1;
constexpr int32_t ENUM_CODE_LINE = 2;
constexpr int32_t ENUM_CODE_BEZIER1 = 7;
constexpr int32_t ENUM_CODE_BEZIER2 = 8;
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

// The deepest instance level that is opened (the outermost has depth 0).
constexpr int32_t STREAM_MAX_DEPTH = 20;
// Dash and gap pairs a line type may have.
constexpr int32_t STREAM_MAX_DASH_PAIRS = 8;
// Coordinates beyond this are clipped away before dashing and for endless lines.
constexpr double STREAM_FAR = 1e10;

// --- the stream (stream.cpp)

// 1 while an enumeration runs.
int StreamBusy();
int StreamBeginEnumeration(uint32_t mask, uint32_t value, uint32_t flags, EnumCallback callback);
void StreamEndEnumeration();
int StreamAborted();
int StreamEnumerateUnit(Unit *unit);
int StreamEmitPlainObject(Unit *object, const XProperty *enclosing, const Matrix *m);
int StreamEmitInstance(Unit *instance, const XProperty *enclosing, const Matrix *m);
int StreamEmitBlock(Unit *block, const XProperty *instanceAttributes, const XProperty *enclosing, const Matrix *m);
int StreamEnumerateOwnBlocks();
int StreamEnumerateLibraryBlocks(int slot);
// The blocks of a library loaded on demand as its file holds them (those not
// in memory); an unreadable file aborts the stream.
int StreamEnumerateLibraryFile(int slot);
// Context of a walk that starts elsewhere than at a unit (blocks, characters).
void StreamSetUpContext();

void StreamSendBeginObject(Unit *unit, int unitClass);
void StreamSendFont(const FontDef *font);
void StreamSendBlockName(const char *block, const char *library);
void StreamSendInstanceRef(const char *block, const char *library, const Matrix *m);
// Sends the record as filled (style, names, points ...) with command and count.
void StreamSend(int32_t command, int32_t count);
// The record, for the emitters.
EnumerateRecord &StreamRecord();
uint32_t StreamFlags();

// The path buffer.
void StreamResetPath();
void StreamMarkCodes(int32_t n);
int StreamAddPoints(int32_t n);
void StreamEmitPath(uint32_t drawFlags, int closed);
void StreamSetStyle(uint32_t drawFlags);
// Whether points are mapped by the current matrix when appended.
bool StreamMapsPoints();

// --- dashing (stream_dash.cpp)

// Sends one sub-path cut into the dashes of the current line type; 0 when
// the stream was aborted.
int StreamDashPath(const double *points, const int32_t *codes, int32_t count, uint32_t drawFlags, int closed);
// The usable dash pairs of a line type (0 = solid) and its scaled lengths in mm.
int32_t StreamDashPattern(int32_t lineType, double width, double lengths[2 * STREAM_MAX_DASH_PAIRS]);

// --- emitters (stream_emit.cpp)

int StreamEmitObject(Unit *object, uint32_t drawFlags);

// --- texts (stream_text.cpp)

int StreamEmitObjectTexts(Unit *object, const XProperty *enclosing, const Matrix *m);
int StreamEmitChar(const FontDef *font, int code, const Matrix *m);

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

// EnumerateRecord, EnumCallback, the record commands, drawing codes and
// flags: plugin/sdk/zvi_stream.h (plug-ins see them).
#include "plugin/sdk/zvi_stream.h"

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

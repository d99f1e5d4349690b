// The typed records that elements, definition tables and settings carry, as
// they lie in memory and as the drawing file holds them, with their readers
// and writers (each with a comma twin) and the index translation applied
// while reading.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "app/system_defs.h"
#include "database/unit.h"
#include "geometry/matrix.h"

// Font kinds (first field of a FontDef).
constexpr uint32_t FONT_KIND_LIBRARY = 0; // a character library named by the face
constexpr uint32_t FONT_KIND_TRUETYPE = 1;
constexpr uint32_t FONT_KIND_DEVICE = 2;
constexpr uint32_t FONT_STYLE_OVERLINE = 0x4; // a line over a dimension's main text

// FontDef and FONT_FACE_SIZE: plugin/sdk/zvi_records.h.

// ---------------------------------------------------------------------------
// Payloads of the record elements (value type 0). Each begins 16 bytes into
// its element; the element sizes are those of database/unit.h.

struct DimLineRecord {
    int32_t arrows[4];
};
static_assert(sizeof(DimLineRecord) + ELEMENT_HEADER_SIZE == ELEM_SIZE_DIM_LINE);

// The fields DimSmall and DimLarge share.
struct DimCommon {
    FontDef font;
    uint32_t pad;
    XProperty property;
    double values[2];     // text height and the like
    double values420[2];  // since 4.20
    int32_t int420;       // since 4.20
    int32_t int460;       // since 4.60
    int32_t mode;
    int32_t bools[2];
    int32_t last;         // DimSmall: the coordinate system; DimLarge: an ordinary int
};
static_assert(offsetof(DimCommon, property) == RECORD_XPROPERTY_OFFSET);
static_assert(sizeof(DimCommon) == 176);

struct DimSmallRecord {
    DimCommon common;
};
static_assert(sizeof(DimSmallRecord) + ELEMENT_HEADER_SIZE == ELEM_SIZE_DIM_SMALL);

struct DimLargeRecord {
    DimCommon common;
    int32_t bool1;
    int32_t arrows[4];
    int32_t bools3[3];
    int32_t ints3[3];
    uint32_t pad;
    double distance;
    double distance420;   // since 4.20
    int32_t system;       // coordinate system
    uint32_t pad2;
};
static_assert(offsetof(DimLargeRecord, distance) == 224);
static_assert(sizeof(DimLargeRecord) + ELEMENT_HEADER_SIZE == ELEM_SIZE_DIM_LARGE);

// Payload of a TextStandard element (kind 235).
struct TextStandardData {
    FontDef font;
    uint32_t pad;
    XProperty property;  // 80 bytes into the payload
    Matrix matrix;       // the text matrix
    double charSpacing;  // text heights
    double tabUnit;
    double lineSpacing;
    int32_t alignment;   // 0 left, 1 centred, 2 right
    uint32_t pad2;
};
static_assert(offsetof(TextStandardData, property) == RECORD_XPROPERTY_OFFSET);
static_assert(offsetof(TextStandardData, matrix) == 120);
static_assert(sizeof(TextStandardData) + ELEMENT_HEADER_SIZE == ELEM_SIZE_TEXT_STANDARD);

// Payload of a TextFrame element (kind 236).
struct TextFrameData {
    FontDef font;
    uint32_t pad;
    XProperty property;
    double height;
    double charSpacing;
    double tabUnit;
    double lineSpacing;
    int32_t alignment;
    uint32_t pad2;
};
static_assert(offsetof(TextFrameData, property) == RECORD_XPROPERTY_OFFSET);
static_assert(sizeof(TextFrameData) + ELEMENT_HEADER_SIZE == ELEM_SIZE_TEXT_FRAME);

struct TextReferenceData {
    int32_t arrows[2];
    int32_t frameKind;
    uint32_t pad;
    double frameValue;
};
static_assert(sizeof(TextReferenceData) + ELEMENT_HEADER_SIZE == ELEM_SIZE_TEXT_REFERENCE);

constexpr int COMMENT_NAME_SIZE = 64;
struct CommentDataRecord {
    char name[COMMENT_NAME_SIZE];
    int32_t values[2];
};
static_assert(sizeof(CommentDataRecord) + ELEMENT_HEADER_SIZE == ELEM_SIZE_COMMENT);

// Payload of a clip-surface element (kind 242): the symbol's own attributes
// and its placement inside the surface.
struct ClipSurfaceData {
    XProperty property;
    char library[UNIT_NAME_SIZE];
    char block[UNIT_NAME_SIZE];
    Matrix placement;
    int32_t hide;         // kept out of outline-only redraws
    int32_t libraryIndex; // run-time: reset on reading
    int32_t blockIndex;
    int32_t unresolved;
};
static_assert(sizeof(ClipSurfaceData) + ELEMENT_HEADER_SIZE == ELEM_SIZE_CLIP_SURFACE);
static_assert(offsetof(ClipSurfaceData, library) == 40);
static_assert(offsetof(ClipSurfaceData, placement) == 168);
static_assert(offsetof(ClipSurfaceData, hide) == 216);

constexpr int BITMAP_NAME_SIZE = 256;
constexpr int BITMAP_NAME_LIMIT = 250; // names the file admits are shorter
struct BitmapRefData {
    char name[BITMAP_NAME_SIZE];
    Matrix placement;
};
static_assert(sizeof(BitmapRefData) + ELEMENT_HEADER_SIZE == ELEM_SIZE_BITMAP_REF);

// Attribute definitions and values (300, 301, 400, 401): the name, then the text.
constexpr int ATTRIBUTE_HEAD_SIZE = 48; // element header and the name
static_assert(ELEMENT_HEADER_SIZE + ATTRIBUTE_NAME_SIZE == ATTRIBUTE_HEAD_SIZE);

// Defaults of the records.
void FileDefaultFontDef(FontDef *f);
void FileDefaultDimLine(DimLineRecord *r);
void FileDefaultDimSmall(DimSmallRecord *r);
void FileDefaultDimLarge(DimLargeRecord *r);
void FileDefaultTextStandard(TextStandardData *r);
void FileDefaultTextFrame(TextFrameData *r);
void FileDefaultTextReference(TextReferenceData *r);

// A matrix as the file holds it: three lines of two values ("a,b,", "c,d,",
// "tx,ty"); the reader takes each value behind a separator. 1 or 0.
int FileWriteMatrix(const Matrix *m);
int FileReadCommaMatrix(Matrix *m);

// Size of an element of the record kind (value type 0), 0 for a kind that
// has no record.
uint32_t FileRecordElementSize(int16_t kind);

// ---------------------------------------------------------------------------
// Merge translation: the file's indices to the drawing's, identity at the
// start of every read. A definition dropped for lack of room maps to 0.

struct FileIndexMaps {
    int32_t system[SYSTEM_SLOTS];
    int32_t line[LINE_SLOTS];
    int32_t pen[PEN_SLOTS];
    int32_t layer[LAYER_SLOTS];
    int32_t hatch[HATCH_SLOTS];
    int32_t multiLine[MULTILINE_SLOTS];
};
extern FileIndexMaps g_FileMaps;
void FileInitIndexMaps();

// Each corrects negative indices to 0 and translates; 0 (with a diagnostic
// naming the record) when an index lies beyond its table, which only a
// damaged file can hold.
int FileMapXProperty(XProperty *p);
int FileMapProperty(Property *p);
int FileMapDimSmall(DimSmallRecord *r);
int FileMapDimLarge(DimLargeRecord *r);
int FileMapTextProperty(XProperty *p);

// ---------------------------------------------------------------------------
// Record readers and writers of the plug-in interface. Readers read into the
// caller's record and return 1 or 0 (the reader's error flag is then set);
// they do not translate indices.

extern "C" {
int ZVI_FileReadFontdef(FontDef *r);
int ZVI_FileReadXProperty(XProperty *r);
int ZVI_FileReadProperty(Property *r);
int ZVI_FileReadDimLine(DimLineRecord *r);
int ZVI_FileReadDimSmall(DimSmallRecord *r);
int ZVI_FileReadDimLarge(DimLargeRecord *r);
int ZVI_FileReadTextStandard(TextStandardData *r);
int ZVI_FileReadTextFrame(TextFrameData *r);
int ZVI_FileReadTextReference(TextReferenceData *r);
int ZVI_FileReadCommentData(CommentDataRecord *r);
int ZVI_FileReadClipSurface(ClipSurfaceData *r);
int ZVI_FileReadBitmapRef(BitmapRefData *r);
int ZVI_FileReadCommaFontdef(FontDef *r);
int ZVI_FileReadCommaXProperty(XProperty *r);
int ZVI_FileReadCommaProperty(Property *r);
int ZVI_FileReadCommaDimLine(DimLineRecord *r);
int ZVI_FileReadCommaDimSmall(DimSmallRecord *r);
int ZVI_FileReadCommaDimLarge(DimLargeRecord *r);
int ZVI_FileReadCommaTextStandard(TextStandardData *r);
int ZVI_FileReadCommaTextFrame(TextFrameData *r);
int ZVI_FileReadCommaTextReference(TextReferenceData *r);
int ZVI_FileReadCommaCommentData(CommentDataRecord *r);
int ZVI_FileReadCommaClipSurface(ClipSurfaceData *r);
int ZVI_FileReadCommaBitmapRef(BitmapRefData *r);

int ZVI_FileWriteFontdef(const FontDef *r);
int ZVI_FileWriteXProperty(const XProperty *r);
int ZVI_FileWriteProperty(const Property *r);
int ZVI_FileWriteDimLine(const DimLineRecord *r);
int ZVI_FileWriteDimSmall(const DimSmallRecord *r);
int ZVI_FileWriteDimLarge(const DimLargeRecord *r);
int ZVI_FileWriteTextStandard(const TextStandardData *r);
int ZVI_FileWriteTextFrame(const TextFrameData *r);
int ZVI_FileWriteTextReference(const TextReferenceData *r);
int ZVI_FileWriteCommentData(const CommentDataRecord *r);
int ZVI_FileWriteClipSurface(const ClipSurfaceData *r);
int ZVI_FileWriteBitmapRef(const BitmapRefData *r);
int ZVI_FileWriteCommaFontdef(const FontDef *r);
int ZVI_FileWriteCommaXProperty(const XProperty *r);
int ZVI_FileWriteCommaProperty(const Property *r);
int ZVI_FileWriteCommaDimLine(const DimLineRecord *r);
int ZVI_FileWriteCommaDimSmall(const DimSmallRecord *r);
int ZVI_FileWriteCommaDimLarge(const DimLargeRecord *r);
int ZVI_FileWriteCommaTextStandard(const TextStandardData *r);
int ZVI_FileWriteCommaTextFrame(const TextFrameData *r);
int ZVI_FileWriteCommaTextReference(const TextReferenceData *r);
int ZVI_FileWriteCommaCommentData(const CommentDataRecord *r);
int ZVI_FileWriteCommaClipSurface(const ClipSurfaceData *r);
int ZVI_FileWriteCommaBitmapRef(const BitmapRefData *r);
}

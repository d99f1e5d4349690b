// The typed records of elements, definitions and settings in the drawing
// file, and the translation of the indices they hold.
#include "files/file_records.h"

#include <cstdio>
#include <cstring>

#include "app/init.h"
#include "files/file.h"
#include "files/zvi.h"
#include "files/zvi_internal.h"

FileIndexMaps g_FileMaps;

int FileWriteMatrix(const Matrix *m)
{
    return ZVI_FileWriteDouble(m->a) && ZVI_FileWriteCommaDouble(m->b) && ZVI_FileWriteComma() &&
           ZVI_FileWriteNewline() && ZVI_FileWriteDouble(m->c) && ZVI_FileWriteCommaDouble(m->d) &&
           ZVI_FileWriteComma() && ZVI_FileWriteNewline() && ZVI_FileWriteDouble(m->tx) &&
           ZVI_FileWriteCommaDouble(m->ty);
}

int FileReadCommaMatrix(Matrix *m)
{
    return ZviReadCommaDouble(&m->a) && ZviReadCommaDouble(&m->b) && ZviReadCommaDouble(&m->c) &&
           ZviReadCommaDouble(&m->d) && ZviReadCommaDouble(&m->tx) && ZviReadCommaDouble(&m->ty);
}

namespace {

bool Since(int32_t version)
{
    return g_FileVersion >= version;
}

void Clear(void *record, size_t size)
{
    std::memset(record, 0, size);
}

// Reads count doubles, each behind a separator.
int ReadCommaDoubles(double *values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!ZviReadCommaDouble(&values[i]))
            return 0;
    return 1;
}

int ReadCommaInts(int32_t *values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!ZviReadCommaInt(&values[i]))
            return 0;
    return 1;
}

int ReadCommaBools(int32_t *values, int count)
{
    for (int i = 0; i < count; ++i) {
        int v = 0;
        if (!ZviReadCommaBool(&v))
            return 0;
        values[i] = v;
    }
    return 1;
}

int WriteCommaDoubles(const double *values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!ZVI_FileWriteCommaDouble(values[i]))
            return 0;
    return 1;
}

int WriteCommaInts(const int32_t *values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!ZVI_FileWriteCommaInt(values[i]))
            return 0;
    return 1;
}

int WriteCommaBools(const int32_t *values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!ZVI_FileWriteCommaBool(values[i]))
            return 0;
    return 1;
}

// A separator followed by a line break: how the writer breaks long records.
int WriteBreak()
{
    return ZVI_FileWriteComma() && ZVI_FileWriteNewline();
}


// The shared front of DimSmall and DimLarge, up to and including the int
// that ends DimSmall.
int ReadDimCommon(DimCommon *r)
{
    if (!ZVI_FileReadFontdef(&r->font) || !ZVI_FileReadCommaXProperty(&r->property) ||
        !ReadCommaDoubles(r->values, 2))
        return 0;
    if (Since(FILE_VERSION_420)) {
        if (!ReadCommaDoubles(r->values420, 2) || !ZviReadCommaInt(&r->int420))
            return 0;
    } else {
        r->values420[0] = (r->font.kind == 1 || r->font.kind == 2) ? 0.0 : 0.125;
        r->values420[1] = 4.0;
        r->int420 = 1;
    }
    if (Since(FILE_VERSION_460)) {
        if (!ZviReadCommaInt(&r->int460))
            return 0;
    } else {
        r->int460 = -1;
    }
    return ZviReadCommaInt(&r->mode) && ReadCommaBools(r->bools, 2) && ZviReadCommaInt(&r->last);
}

int WriteDimCommon(const DimCommon *r)
{
    return ZVI_FileWriteFontdef(&r->font) && WriteBreak() && ZVI_FileWriteXProperty(&r->property) &&
           WriteCommaDoubles(r->values, 2) && WriteBreak() && ZVI_FileWriteDouble(r->values420[0]) &&
           ZVI_FileWriteCommaDouble(r->values420[1]) && ZVI_FileWriteCommaInt(r->int420) && WriteBreak() &&
           ZVI_FileWriteInt(r->int460) && ZVI_FileWriteCommaInt(r->mode) && WriteCommaBools(r->bools, 2) &&
           ZVI_FileWriteCommaInt(r->last);
}

void DefaultDimCommon(DimCommon *r)
{
    Clear(r, sizeof *r);
    FileDefaultFontDef(&r->font);
    r->property = XPropertyDefault();
    r->values[0] = 5.0;
    r->values[1] = 3.5;
    r->values420[0] = 0.0;
    r->values420[1] = 4.0;
    r->int420 = 1;
    r->int460 = -1;
    r->mode = 2;
    r->bools[0] = 1;
    r->bools[1] = 0;
    r->last = 1;
}

void ReportBadIndex(const char *record, int32_t index)
{
    char text[96];
    std::snprintf(text, sizeof text, "Invalid index in %s\n( %ld )", record, long(index));
    InitErrorBox(__FILE_NAME__, __LINE__, text);
}

// A negative index becomes 0; one beyond the table is refused.
bool MapIndex(int32_t *index, const int32_t *map, int slots, const char *record)
{
    if (*index < 0)
        *index = 0;
    if (*index >= slots) {
        ReportBadIndex(record, *index);
        return false;
    }
    *index = map[*index];
    return true;
}

} // namespace

// ---------------------------------------------------------------------------
// Defaults

void FileDefaultFontDef(FontDef *f)
{
    Clear(f, sizeof *f);
    f->kind = 1;
    f->weight = 400;
    std::strcpy(f->face, "Arial");
}

void FileDefaultDimLine(DimLineRecord *r)
{
    Clear(r, sizeof *r);
    const int32_t arrows[4] = {1, 2, 1, 2};
    std::memcpy(r->arrows, arrows, sizeof arrows);
}

void FileDefaultDimSmall(DimSmallRecord *r)
{
    DefaultDimCommon(&r->common);
}

void FileDefaultDimLarge(DimLargeRecord *r)
{
    Clear(r, sizeof *r);
    DefaultDimCommon(&r->common);
    r->common.bools[1] = 1;
    r->common.last = 1;
    r->bool1 = 0;
    const int32_t arrows[4] = {1, 2, 1, 2};
    std::memcpy(r->arrows, arrows, sizeof arrows);
    r->bools3[0] = r->bools3[1] = r->bools3[2] = 1;
    r->ints3[0] = 0;
    r->ints3[1] = 0;
    r->ints3[2] = 2;
    r->distance = 10.0;
    r->distance420 = 0.0;
    r->system = 1;
}

void FileDefaultTextStandard(TextStandardData *r)
{
    Clear(r, sizeof *r);
    FileDefaultFontDef(&r->font);
    r->property = XPropertyDefault();
    r->matrix.a = 5.0;
    r->matrix.d = 5.0;
    r->tabUnit = 4.0;
    r->lineSpacing = 1.0;
}

void FileDefaultTextFrame(TextFrameData *r)
{
    Clear(r, sizeof *r);
    FileDefaultFontDef(&r->font);
    r->property = XPropertyDefault();
    r->height = 5.0;
    r->tabUnit = 4.0;
    r->lineSpacing = 1.4;
}

void FileDefaultTextReference(TextReferenceData *r)
{
    Clear(r, sizeof *r);
    r->arrows[0] = r->arrows[1] = 1;
    r->frameValue = 1.0;
}

uint32_t FileRecordElementSize(int16_t kind)
{
    switch (kind) {
    case ELEM_DIM_LINE: return ELEM_SIZE_DIM_LINE;
    case ELEM_DIM_LARGE: return ELEM_SIZE_DIM_LARGE;
    case ELEM_DIM_SMALL: return ELEM_SIZE_DIM_SMALL;
    case ELEM_TEXT_STANDARD: return ELEM_SIZE_TEXT_STANDARD;
    case ELEM_TEXT_FRAME: return ELEM_SIZE_TEXT_FRAME;
    case ELEM_TEXT_REFERENCE: return ELEM_SIZE_TEXT_REFERENCE;
    case ELEM_COMMENT: return ELEM_SIZE_COMMENT;
    case ELEM_CLIP_SURFACE: return ELEM_SIZE_CLIP_SURFACE;
    case ELEM_BITMAP_REF: return ELEM_SIZE_BITMAP_REF;
    case ELEM_END: return ELEM_SIZE_END;
    default: return 0;
    }
}

// ---------------------------------------------------------------------------
// Translation

void FileInitIndexMaps()
{
    auto identity = [](int32_t *map, int n) {
        for (int i = 0; i < n; ++i)
            map[i] = i;
    };
    identity(g_FileMaps.system, SYSTEM_SLOTS);
    identity(g_FileMaps.line, LINE_SLOTS);
    identity(g_FileMaps.pen, PEN_SLOTS);
    identity(g_FileMaps.layer, LAYER_SLOTS);
    identity(g_FileMaps.hatch, HATCH_SLOTS);
    identity(g_FileMaps.multiLine, MULTILINE_SLOTS);
}

int FileMapXProperty(XProperty *p)
{
    return MapIndex(&p->pen, g_FileMaps.pen, PEN_SLOTS, "XProperty (pen)") &&
           MapIndex(&p->lineType, g_FileMaps.line, LINE_SLOTS, "XProperty (line type)") &&
           MapIndex(&p->layer, g_FileMaps.layer, LAYER_SLOTS, "XProperty (layer)");
}

int FileMapProperty(Property *p)
{
    return MapIndex(&p->lineType, g_FileMaps.line, LINE_SLOTS, "Property (line type)");
}

int FileMapDimSmall(DimSmallRecord *r)
{
    return MapIndex(&r->common.last, g_FileMaps.system, SYSTEM_SLOTS, "DimSmall (coordinate system)") &&
           FileMapXProperty(&r->common.property);
}

int FileMapDimLarge(DimLargeRecord *r)
{
    return MapIndex(&r->system, g_FileMaps.system, SYSTEM_SLOTS, "DimLarge (coordinate system)") &&
           FileMapXProperty(&r->common.property);
}

int FileMapTextProperty(XProperty *p)
{
    return FileMapXProperty(p);
}

// ---------------------------------------------------------------------------
// Readers

extern "C" int ZVI_FileReadFontdef(FontDef *r)
{
    int32_t kind = 0, style = 0, weight = 0;
    if (!ZviReadInt(&kind) || !ZviReadCommaInt(&style) || !ZviReadCommaInt(&weight))
        return 0;
    FontDef f{};
    f.kind = uint32_t(kind);
    f.style = uint32_t(style);
    f.weight = uint32_t(weight);
    if (!ZviReadCommaString(f.face, FONT_FACE_SIZE))
        return 0;
    *r = f;
    return 1;
}

extern "C" int ZVI_FileReadXProperty(XProperty *r)
{
    XProperty p{};
    int32_t own = 0, capJoin = int32_t(XPROP_DEFAULT_CAPJOIN);
    if (!ZviReadInt(&own) || !ZviReadCommaInt(&p.pen) || !ZviReadCommaInt(&p.fillMode) ||
        !ZviReadCommaColorref(&p.color1) || !ZviReadCommaColorref(&p.color2) ||
        !ZviReadCommaDouble(&p.width) || !ZviReadCommaInt(&p.lineType))
        return 0;
    if (Since(FILE_VERSION_420) && !ZviReadCommaInt(&capJoin))
        return 0;
    if (!ZviReadCommaInt(&p.layer))
        return 0;
    p.ownFlags = uint32_t(own);
    p.capJoin = uint32_t(capJoin);
    *r = p;
    return 1;
}

extern "C" int ZVI_FileReadProperty(Property *r)
{
    Property p{};
    int32_t capJoin = int32_t(PROPERTY_DEFAULT_CAPJOIN);
    if (!ZviReadInt(&p.fillMode) || !ZviReadCommaColorref(&p.color1) ||
        !ZviReadCommaColorref(&p.color2) || !ZviReadCommaDouble(&p.width) ||
        !ZviReadCommaInt(&p.lineType))
        return 0;
    if (Since(FILE_VERSION_420) && !ZviReadCommaInt(&capJoin))
        return 0;
    p.capJoin = uint32_t(capJoin);
    *r = p;
    return 1;
}

extern "C" int ZVI_FileReadDimLine(DimLineRecord *r)
{
    DimLineRecord d{};
    if (!ZviReadInt(&d.arrows[0]) || !ReadCommaInts(d.arrows + 1, 3))
        return 0;
    *r = d;
    return 1;
}

extern "C" int ZVI_FileReadDimSmall(DimSmallRecord *r)
{
    DimSmallRecord d{};
    if (!ReadDimCommon(&d.common))
        return 0;
    *r = d;
    return 1;
}

extern "C" int ZVI_FileReadDimLarge(DimLargeRecord *r)
{
    DimLargeRecord d{};
    if (!ReadDimCommon(&d.common) || !ReadCommaBools(&d.bool1, 1) || !ReadCommaInts(d.arrows, 4) ||
        !ReadCommaBools(d.bools3, 3) || !ReadCommaInts(d.ints3, 3) || !ZviReadCommaDouble(&d.distance))
        return 0;
    if (Since(FILE_VERSION_420) && !ZviReadCommaDouble(&d.distance420))
        return 0;
    if (!ZviReadCommaInt(&d.system))
        return 0;
    *r = d;
    return 1;
}

extern "C" int ZVI_FileReadTextStandard(TextStandardData *r)
{
    TextStandardData t{};
    if (!ZVI_FileReadFontdef(&t.font) || !ZVI_FileReadCommaXProperty(&t.property) || !FileReadCommaMatrix(&t.matrix) ||
        !ZviReadCommaDouble(&t.charSpacing) || !ZviReadCommaDouble(&t.tabUnit) ||
        !ZviReadCommaDouble(&t.lineSpacing) || !ZviReadCommaInt(&t.alignment))
        return 0;
    *r = t;
    return 1;
}

extern "C" int ZVI_FileReadTextFrame(TextFrameData *r)
{
    TextFrameData t{};
    if (!ZVI_FileReadFontdef(&t.font) || !ZVI_FileReadCommaXProperty(&t.property) ||
        !ZviReadCommaDouble(&t.height) || !ZviReadCommaDouble(&t.charSpacing) ||
        !ZviReadCommaDouble(&t.tabUnit) || !ZviReadCommaDouble(&t.lineSpacing) ||
        !ZviReadCommaInt(&t.alignment))
        return 0;
    *r = t;
    return 1;
}

extern "C" int ZVI_FileReadTextReference(TextReferenceData *r)
{
    TextReferenceData t{};
    if (!ZviReadInt(&t.arrows[0]) || !ZviReadCommaInt(&t.arrows[1]) ||
        !ZviReadCommaInt(&t.frameKind) || !ZviReadCommaDouble(&t.frameValue))
        return 0;
    *r = t;
    return 1;
}

extern "C" int ZVI_FileReadCommentData(CommentDataRecord *r)
{
    CommentDataRecord c{};
    if (!ZviReadString(c.name, COMMENT_NAME_SIZE) || !ReadCommaInts(c.values, 2))
        return 0;
    *r = c;
    return 1;
}

extern "C" int ZVI_FileReadClipSurface(ClipSurfaceData *r)
{
    ClipSurfaceData c{};
    if (!ZVI_FileReadXProperty(&c.property) || !ZviReadCommaString(c.library, UNIT_NAME_SIZE) ||
        !ZviReadCommaString(c.block, UNIT_NAME_SIZE) || !FileReadCommaMatrix(&c.placement) ||
        !ZviReadCommaInt(&c.hide))
        return 0;
    c.libraryIndex = UNIT_INDEX_UNRESOLVED;
    c.blockIndex = UNIT_INDEX_UNRESOLVED;
    c.unresolved = 0;
    *r = c;
    return 1;
}

extern "C" int ZVI_FileReadBitmapRef(BitmapRefData *r)
{
    BitmapRefData b{};
    if (!ZviReadString(b.name, BITMAP_NAME_LIMIT) || !FileReadCommaMatrix(&b.placement))
        return 0;
    *r = b;
    return 1;
}

#define COMMA_READER(Name, Type)                       \
    extern "C" int ZVI_FileReadComma##Name(Type *r)    \
    {                                                  \
        return ZVI_FileReadComma() && ZVI_FileRead##Name(r); \
    }
COMMA_READER(Fontdef, FontDef)
COMMA_READER(XProperty, XProperty)
COMMA_READER(Property, Property)
COMMA_READER(DimLine, DimLineRecord)
COMMA_READER(DimSmall, DimSmallRecord)
COMMA_READER(DimLarge, DimLargeRecord)
COMMA_READER(TextStandard, TextStandardData)
COMMA_READER(TextFrame, TextFrameData)
COMMA_READER(TextReference, TextReferenceData)
COMMA_READER(CommentData, CommentDataRecord)
COMMA_READER(ClipSurface, ClipSurfaceData)
COMMA_READER(BitmapRef, BitmapRefData)

// ---------------------------------------------------------------------------
// Writers

extern "C" int ZVI_FileWriteFontdef(const FontDef *r)
{
    return ZVI_FileWriteInt(int32_t(r->kind)) && ZVI_FileWriteCommaInt(int32_t(r->style)) &&
           ZVI_FileWriteCommaInt(int32_t(r->weight)) && ZVI_FileWriteCommaString(r->face);
}

extern "C" int ZVI_FileWriteXProperty(const XProperty *r)
{
    return ZVI_FileWriteInt(int32_t(r->ownFlags)) && ZVI_FileWriteCommaInt(r->pen) &&
           ZVI_FileWriteCommaInt(r->fillMode) && ZVI_FileWriteCommaColorref(r->color1) &&
           ZVI_FileWriteCommaColorref(r->color2) && ZVI_FileWriteCommaDouble(r->width) &&
           ZVI_FileWriteCommaInt(r->lineType) && ZVI_FileWriteCommaInt(int32_t(r->capJoin)) &&
           ZVI_FileWriteCommaInt(r->layer);
}

extern "C" int ZVI_FileWriteProperty(const Property *r)
{
    return ZVI_FileWriteInt(r->fillMode) && ZVI_FileWriteCommaColorref(r->color1) &&
           ZVI_FileWriteCommaColorref(r->color2) && ZVI_FileWriteCommaDouble(r->width) &&
           ZVI_FileWriteCommaInt(r->lineType) && ZVI_FileWriteCommaInt(int32_t(r->capJoin));
}

extern "C" int ZVI_FileWriteDimLine(const DimLineRecord *r)
{
    return ZVI_FileWriteInt(r->arrows[0]) && WriteCommaInts(r->arrows + 1, 3);
}

extern "C" int ZVI_FileWriteDimSmall(const DimSmallRecord *r)
{
    return WriteDimCommon(&r->common);
}

extern "C" int ZVI_FileWriteDimLarge(const DimLargeRecord *r)
{
    return WriteDimCommon(&r->common) && WriteCommaBools(&r->bool1, 1) && WriteCommaInts(r->arrows, 4) &&
           WriteCommaBools(r->bools3, 3) && WriteCommaInts(r->ints3, 3) && ZVI_FileWriteCommaDouble(r->distance) &&
           ZVI_FileWriteCommaDouble(r->distance420) && ZVI_FileWriteCommaInt(r->system);
}

extern "C" int ZVI_FileWriteTextStandard(const TextStandardData *r)
{
    return ZVI_FileWriteFontdef(&r->font) && WriteBreak() && ZVI_FileWriteXProperty(&r->property) &&
           WriteBreak() && FileWriteMatrix(&r->matrix) &&
           ZVI_FileWriteCommaDouble(r->charSpacing) && ZVI_FileWriteCommaDouble(r->tabUnit) &&
           ZVI_FileWriteCommaDouble(r->lineSpacing) && ZVI_FileWriteCommaInt(r->alignment);
}

extern "C" int ZVI_FileWriteTextFrame(const TextFrameData *r)
{
    return ZVI_FileWriteFontdef(&r->font) && WriteBreak() && ZVI_FileWriteXProperty(&r->property) &&
           WriteBreak() && ZVI_FileWriteDouble(r->height) && ZVI_FileWriteCommaDouble(r->charSpacing) &&
           ZVI_FileWriteCommaDouble(r->tabUnit) && ZVI_FileWriteCommaDouble(r->lineSpacing) &&
           ZVI_FileWriteCommaInt(r->alignment);
}

extern "C" int ZVI_FileWriteTextReference(const TextReferenceData *r)
{
    return ZVI_FileWriteInt(r->arrows[0]) && ZVI_FileWriteCommaInt(r->arrows[1]) &&
           ZVI_FileWriteCommaInt(r->frameKind) && ZVI_FileWriteCommaDouble(r->frameValue);
}

extern "C" int ZVI_FileWriteCommentData(const CommentDataRecord *r)
{
    return ZVI_FileWriteString(r->name) && WriteCommaInts(r->values, 2);
}

extern "C" int ZVI_FileWriteClipSurface(const ClipSurfaceData *r)
{
    return ZVI_FileWriteXProperty(&r->property) && WriteBreak() && ZVI_FileWriteString(r->library) &&
           ZVI_FileWriteCommaString(r->block) && WriteBreak() && FileWriteMatrix(&r->placement) && WriteBreak() &&
           ZVI_FileWriteInt(r->hide);
}

extern "C" int ZVI_FileWriteBitmapRef(const BitmapRefData *r)
{
    return ZVI_FileWriteString(r->name) && WriteBreak() && FileWriteMatrix(&r->placement);
}

#define COMMA_WRITER(Name, Type)                             \
    extern "C" int ZVI_FileWriteComma##Name(const Type *r)   \
    {                                                        \
        return ZVI_FileWriteComma() && ZVI_FileWrite##Name(r); \
    }
COMMA_WRITER(Fontdef, FontDef)
COMMA_WRITER(XProperty, XProperty)
COMMA_WRITER(Property, Property)
COMMA_WRITER(DimLine, DimLineRecord)
COMMA_WRITER(DimSmall, DimSmallRecord)
COMMA_WRITER(DimLarge, DimLargeRecord)
COMMA_WRITER(TextStandard, TextStandardData)
COMMA_WRITER(TextFrame, TextFrameData)
COMMA_WRITER(TextReference, TextReferenceData)
COMMA_WRITER(CommentData, CommentDataRecord)
COMMA_WRITER(ClipSurface, ClipSurfaceData)
COMMA_WRITER(BitmapRef, BitmapRefData)

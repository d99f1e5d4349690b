// Units and their element chains in the drawing file: the header record by
// unit kind, one record per element, the run-time elements the reader puts
// back, and the checks that keep a damaged file out of the object lists.
#include "files/file_unit.h"
#include "geometry/frame.h"

#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "app/init.h"
#include "database/init.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "files/file_records.h"
#include "files/zvi.h"
#include "files/zvi_internal.h"
#include "language/language.h"

namespace {

constexpr int COMMENT_DEFAULT_NAME = 7; // eDefaultNames: the default comment name
constexpr int OLD_COMMENT_ELEMENTS = 3;
constexpr int TEXT_READ_SIZE = 32768;   // a text field of the file at most

struct NameOfType {
    int32_t type;
    const char *name;
};
const NameOfType TYPE_NAMES[] = {
    {0, "Line"},        {1, "Hatch"},     {5, "Circle"},     {6, "CircArc"},    {7, "CircSec"},
    {8, "CircSegm"},    {10, "Zigzag"},   {11, "Spline"},    {12, "Curve"},     {13, "Surface"},
    {15, "Ellipse"},    {16, "ElliArc"},  {17, "ElliSec"},   {18, "ElliSegm"},  {20, "LineStr"},
    {21, "LineCurved"}, {25, "DimDist"},  {26, "DimRad"},    {27, "DimDia"},    {28, "DimAngle"},
    {29, "DimArc"},     {30, "DimCoord"}, {31, "DimArea"},   {32, "DimPeri"},   {35, "StdText"},
    {36, "FrameText"},  {37, "RefText"},  {40, "Comment"},   {41, "Mark"},      {42, "Clip"},
    {43, "Bitmap"},     {45, "GeoLine"},  {46, "GeoCircle"}, {47, "GeoElli"},
};

// Where the reader puts back the run-time element of an object type.
struct RunTimeInsert {
    int32_t type;
    int after; // element number, from 1
    int16_t kind;
    uint32_t size;
};
const RunTimeInsert RUN_TIME_INSERTS[] = {
    {OBJTYPE_CIRC_ARC, 5, ELEM_SUB_CIRCLE_ARC, ELEM_SIZE_SUB_CIRCLE_ARC},
    {OBJTYPE_CIRC_SEC, 5, ELEM_SUB_CIRCLE_ARC, ELEM_SIZE_SUB_CIRCLE_ARC},
    {OBJTYPE_CIRC_SEGM, 5, ELEM_SUB_CIRCLE_ARC, ELEM_SIZE_SUB_CIRCLE_ARC},
    {OBJTYPE_ELLI_ARC, 6, ELEM_SUB_ELLIPSE_ARC, ELEM_SIZE_SUB_ELLIPSE_ARC},
    {OBJTYPE_ELLI_SEC, 6, ELEM_SUB_ELLIPSE_ARC, ELEM_SIZE_SUB_ELLIPSE_ARC},
    {OBJTYPE_ELLI_SEGM, 6, ELEM_SUB_ELLIPSE_ARC, ELEM_SIZE_SUB_ELLIPSE_ARC},
    {OBJTYPE_LINE_STR, 3, ELEM_SUB_LINESTR, ELEM_SIZE_SUB_LINESTR},
    {OBJTYPE_LINE_CURVED, 6, ELEM_SUB_LINECURVED, ELEM_SIZE_SUB_LINECURVED},
    {OBJTYPE_DIM_DIST, 13, ELEM_SUB_DIM_LINEAR, ELEM_SIZE_SUB_DIM_LINEAR},
    {OBJTYPE_DIM_RAD, 12, ELEM_SUB_DIM_LINEAR, ELEM_SIZE_SUB_DIM_LINEAR},
    {OBJTYPE_DIM_DIA, 12, ELEM_SUB_DIM_LINEAR, ELEM_SIZE_SUB_DIM_LINEAR},
    {OBJTYPE_DIM_ANGLE, 13, ELEM_SUB_DIM_ANGULAR, ELEM_SIZE_SUB_DIM_ANGULAR},
    {OBJTYPE_DIM_ARC, 14, ELEM_SUB_DIM_ANGULAR, ELEM_SIZE_SUB_DIM_ANGULAR},
    {OBJTYPE_DIM_COORD, 11, ELEM_SUB_DIM_LABEL, ELEM_SIZE_SUB_DIM_LABEL},
    {OBJTYPE_DIM_AREA, 9, ELEM_SUB_DIM_LABEL, ELEM_SIZE_SUB_DIM_LABEL},
    {OBJTYPE_DIM_PERI, 9, ELEM_SUB_DIM_LABEL, ELEM_SIZE_SUB_DIM_LABEL},
    {OBJTYPE_REF_TEXT, 5, ELEM_SUB_REFTEXT, ELEM_SIZE_SUB_REFTEXT},
};

const RunTimeInsert *FindInsert(int32_t type)
{
    for (const RunTimeInsert &r : RUN_TIME_INSERTS)
        if (r.type == type)
            return &r;
    return nullptr;
}

const char *KindName(int32_t kind)
{
    switch (kind) {
    case UNIT_KIND_OBJECT: return "OBJECT";
    case UNIT_KIND_INSTANCE: return "INSTANCE";
    case UNIT_KIND_BLOCK: return "BLOCK";
    case UNIT_KIND_PLUGIN: return "USER-DEFINED";
    default: return "UNIT";
    }
}

void Report(const char *text)
{
    InitErrorBox(__FILE_NAME__, __LINE__, text);
}

void ReportKind(const char *format, int32_t kind)
{
    char text[96];
    std::snprintf(text, sizeof text, format, KindName(kind));
    Report(text);
}

constexpr uint32_t Round8(uint32_t n)
{
    return (n + 7) & ~7u;
}

bool IsAttributeRecord(int16_t kind)
{
    return kind == 300 || kind == 301 || kind == 400 || kind == 401;
}

// An element of value type 0 has the size its kind's record gives it: the
// fixed records theirs, an attribute at least its name, any other kind a bare
// header. Anything else would make the writer read past the element.
bool RecordFitsLayout(const Element *e)
{
    if (const uint32_t fixed = FileRecordElementSize(e->kind))
        return e->size == fixed;
    if (IsAttributeRecord(e->kind))
        return e->size >= uint32_t(ATTRIBUTE_HEAD_SIZE);
    return e->size == ELEMENT_HEADER_SIZE;
}

// Whether the writer can write a text again as the reader took it.
bool TextWritable(const char *text)
{
    return ZviEncodeString(text, nullptr, g_ZviDefaultDelimiters) >= 0;
}

// The room a text of the given length takes in an element of capacity count.
uint32_t TextRoom(int16_t count, size_t length)
{
    if (count < 0)
        return Round8(uint32_t(-int32_t(count)));
    if (count == 0)
        return 0;
    return Round8(uint32_t(length) + 1);
}

// The buffer size a text field of capacity count is read with.
int32_t TextReadSize(int16_t count)
{
    if (count < 0)
        return -int32_t(count);
    return count == 0 ? 1 : count;
}

// --- writing -------------------------------------------------------------------

// Bytes per value of the value types 1 to 7 and 9.
uint32_t ValueBytes(uint16_t valueType)
{
    switch (valueType) {
    case VALUE_INTEGERS: return 4;
    case VALUE_DOUBLES: return 8;
    case VALUE_POINTS: return 16;
    case VALUE_COLORS: return 4;
    case VALUE_PROPERTY: return sizeof(Property);
    case VALUE_XPROPERTY: return sizeof(XProperty);
    case VALUE_FONTDEF: return sizeof(FontDef);
    case VALUE_BINARY: return 1;
    default: return 0;
    }
}


int WriteRecordPayload(const Element *e)
{
    const void *p = ElementPayload(e);
    if ((FileRecordElementSize(e->kind) || IsAttributeRecord(e->kind)) && !RecordFitsLayout(e)) {
        char message[64];
        std::snprintf(message, sizeof message, "Invalid size %lu of block type %d", (unsigned long)e->size, e->kind);
        Report(message);
        return 0;
    }
    switch (e->kind) {
    case ELEM_DIM_LINE: return ZVI_FileWriteCommaDimLine(static_cast<const DimLineRecord *>(p));
    case ELEM_DIM_LARGE: return ZVI_FileWriteCommaDimLarge(static_cast<const DimLargeRecord *>(p));
    case ELEM_DIM_SMALL: return ZVI_FileWriteCommaDimSmall(static_cast<const DimSmallRecord *>(p));
    case ELEM_TEXT_STANDARD: return ZVI_FileWriteCommaTextStandard(static_cast<const TextStandardData *>(p));
    case ELEM_TEXT_FRAME: return ZVI_FileWriteCommaTextFrame(static_cast<const TextFrameData *>(p));
    case ELEM_TEXT_REFERENCE: return ZVI_FileWriteCommaTextReference(static_cast<const TextReferenceData *>(p));
    case ELEM_COMMENT: return ZVI_FileWriteCommaCommentData(static_cast<const CommentDataRecord *>(p));
    case ELEM_CLIP_SURFACE: return ZVI_FileWriteCommaClipSurface(static_cast<const ClipSurfaceData *>(p));
    case ELEM_BITMAP_REF: return ZVI_FileWriteCommaBitmapRef(static_cast<const BitmapRefData *>(p));
    case ELEM_END: return 1;
    default:
        if (IsAttributeRecord(e->kind)) {
            const char *name = static_cast<const char *>(p);
            char safeName[ATTRIBUTE_NAME_SIZE];
            std::memcpy(safeName, name, ATTRIBUTE_NAME_SIZE);
            safeName[ATTRIBUTE_NAME_SIZE - 1] = 0;
            const uint32_t room = e->size - ATTRIBUTE_HEAD_SIZE;
            std::vector<char> text(room + 1, 0);
            std::memcpy(text.data(), name + ATTRIBUTE_NAME_SIZE, room);
            return ZVI_FileWriteCommaString(safeName) && ZVI_FileWriteCommaString(text.data());
        }
        if (e->size == ELEMENT_HEADER_SIZE)
            return 1; // a record this program does not know, read as a bare header: written back bare
        char message[64];
        std::snprintf(message, sizeof message, "Invalid native block type %d", e->kind);
        Report(message);
        return 0;
    }
}

int WritePayload(const Element *e)
{
    const uint8_t *p = static_cast<const uint8_t *>(ElementPayload(e));
    const int count = e->count;
    // Values the element has no room for would be taken from behind it.
    if (const uint32_t bytes = ValueBytes(e->valueType);
        bytes && count > 0 && e->size < ELEMENT_HEADER_SIZE + bytes * uint32_t(count)) {
        char message[64];
        std::snprintf(message, sizeof message, "Invalid size %lu of block element type %d", (unsigned long)e->size,
                      e->valueType);
        Report(message);
        return 0;
    }
    switch (e->valueType) {
    case VALUE_RECORD:
        return WriteRecordPayload(e);
    case VALUE_INTEGERS:
        for (int i = 0; i < count; ++i)
            if (!ZVI_FileWriteCommaInt(reinterpret_cast<const int32_t *>(p)[i]))
                return 0;
        return 1;
    case VALUE_DOUBLES:
        for (int i = 0; i < count; ++i)
            if (!ZVI_FileWriteCommaDouble(reinterpret_cast<const double *>(p)[i]))
                return 0;
        return 1;
    case VALUE_POINTS:
        for (int i = 0; i < 2 * count; ++i)
            if (!ZVI_FileWriteCommaDouble(reinterpret_cast<const double *>(p)[i]))
                return 0;
        return 1;
    case VALUE_COLORS:
        for (int i = 0; i < count; ++i)
            if (!ZVI_FileWriteCommaColorref(reinterpret_cast<const COLORREF *>(p)[i]))
                return 0;
        return 1;
    case VALUE_PROPERTY:
        for (int i = 0; i < count; ++i)
            if (!ZVI_FileWriteCommaProperty(reinterpret_cast<const Property *>(p) + i))
                return 0;
        return 1;
    case VALUE_XPROPERTY:
        for (int i = 0; i < count; ++i)
            if (!ZVI_FileWriteCommaXProperty(reinterpret_cast<const XProperty *>(p) + i))
                return 0;
        return 1;
    case VALUE_FONTDEF:
        for (int i = 0; i < count; ++i)
            if (!ZVI_FileWriteCommaFontdef(reinterpret_cast<const FontDef *>(p) + i))
                return 0;
        return 1;
    case VALUE_STRING: {
        const uint32_t room = e->size - ELEMENT_HEADER_SIZE;
        std::vector<char> text(room + 1, 0);
        std::memcpy(text.data(), p, room);
        return ZVI_FileWriteCommaString(text.data());
    }
    case VALUE_BINARY:
        return ZVI_FileWriteCommaBinary(p, count < 0 ? 0 : count);
    default: {
        char message[64];
        std::snprintf(message, sizeof message, "Invalid block element type %d", e->valueType);
        Report(message);
        return 0;
    }
    }
}

int WriteElement(const Element *e)
{
    return ZVI_FileWriteShort(int16_t(e->module)) && ZVI_FileWriteCommaShort(e->kind) &&
           ZVI_FileWriteCommaShort(int16_t(e->valueType)) && ZVI_FileWriteCommaShort(e->count) &&
           WritePayload(e) && ZVI_FileWriteSemi();
}

int WriteHeader(const Unit *u)
{
    if (!ZVI_FileWriteInt(u->module) || !ZVI_FileWriteCommaInt(u->kind) ||
        !ZVI_FileWriteCommaXProperty(&u->property))
        return 0;
    switch (u->kind) {
    case UNIT_KIND_OBJECT:
        return ZVI_FileWriteCommaInt(u->object.type) && ZVI_FileWriteSemi();
    case UNIT_KIND_BLOCK:
        return ZVI_FileWriteCommaString(u->block.name) && ZVI_FileWriteComma() && ZVI_FileWriteNewline() &&
               ZVI_FileWriteDouble(u->block.blockFrame[0]) && ZVI_FileWriteCommaDouble(u->block.blockFrame[1]) &&
               ZVI_FileWriteCommaDouble(u->block.blockFrame[2]) &&
               ZVI_FileWriteCommaDouble(u->block.blockFrame[3]) && ZVI_FileWriteSemi();
    default: // instance and plug-in object
        if (!ZVI_FileWriteCommaString(u->instance.library) || !ZVI_FileWriteComma() || !ZVI_FileWriteNewline() ||
            !ZVI_FileWriteString(u->instance.block) || !ZVI_FileWriteComma() || !ZVI_FileWriteNewline())
            return 0;
        return FileWriteMatrix(&u->instance.placement);
    }
}

// --- reading -------------------------------------------------------------------

char *TextBuffer()
{
    static std::vector<char> buffer(TEXT_READ_SIZE);
    return buffer.data();
}

int ReadRecordPayload(Element *e, uint32_t room, uint32_t *size)
{
    void *p = ElementPayload(e);
    const uint32_t fixed = FileRecordElementSize(e->kind);
    if (fixed) {
        if (fixed > room)
            return 0;
        *size = fixed;
        switch (e->kind) {
        case ELEM_DIM_LINE: return ZVI_FileReadCommaDimLine(static_cast<DimLineRecord *>(p));
        case ELEM_DIM_LARGE: {
            auto *r = static_cast<DimLargeRecord *>(p);
            return ZVI_FileReadCommaDimLarge(r) && FileMapDimLarge(r);
        }
        case ELEM_DIM_SMALL: {
            auto *r = static_cast<DimSmallRecord *>(p);
            return ZVI_FileReadCommaDimSmall(r) && FileMapDimSmall(r);
        }
        case ELEM_TEXT_STANDARD: {
            auto *r = static_cast<TextStandardData *>(p);
            return ZVI_FileReadCommaTextStandard(r) && FileMapTextProperty(&r->property);
        }
        case ELEM_TEXT_FRAME: {
            auto *r = static_cast<TextFrameData *>(p);
            return ZVI_FileReadCommaTextFrame(r) && FileMapTextProperty(&r->property);
        }
        case ELEM_TEXT_REFERENCE: return ZVI_FileReadCommaTextReference(static_cast<TextReferenceData *>(p));
        case ELEM_COMMENT: return ZVI_FileReadCommaCommentData(static_cast<CommentDataRecord *>(p));
        case ELEM_CLIP_SURFACE: {
            auto *r = static_cast<ClipSurfaceData *>(p);
            return ZVI_FileReadCommaClipSurface(r) && FileMapXProperty(&r->property);
        }
        case ELEM_BITMAP_REF: return ZVI_FileReadCommaBitmapRef(static_cast<BitmapRefData *>(p));
        default: return 1; // the end element
        }
    }
    if (IsAttributeRecord(e->kind)) {
        char name[ATTRIBUTE_NAME_SIZE];
        char *text = TextBuffer();
        if (!ZviReadCommaString(name, ATTRIBUTE_NAME_SIZE) ||
            !ZviReadCommaString(text, TextReadSize(e->count)))
            return 0;
        const size_t length = std::strlen(text);
        const uint32_t textRoom = TextRoom(e->count, length);
        if (uint32_t(ATTRIBUTE_HEAD_SIZE) + textRoom > room || !TextWritable(text))
            return 0;
        std::memset(p, 0, ATTRIBUTE_NAME_SIZE + textRoom);
        std::memcpy(p, name, std::strlen(name) + 1);
        if (textRoom)
            std::memcpy(static_cast<char *>(p) + ATTRIBUTE_NAME_SIZE, text, length + 1);
        *size = ATTRIBUTE_HEAD_SIZE + textRoom;
        return 1;
    }
    // A record this program does not know: a bare header, its fields skipped.
    e->valueType = VALUE_RECORD;
    *size = ELEMENT_HEADER_SIZE;
    return 1;
}

int ReadValues(Element *e)
{
    uint8_t *p = static_cast<uint8_t *>(ElementPayload(e));
    const int count = e->count;
    switch (e->valueType) {
    case VALUE_INTEGERS:
        for (int i = 0; i < count; ++i) {
            // Missing values at the end of the record read as 0.
            if (!ZVI_FileReadContinue())
                return ZVI_FileReadError() ? 0 : 1;
            if (!ZviReadCommaInt(reinterpret_cast<int32_t *>(p) + i))
                return 0;
        }
        return 1;
    case VALUE_DOUBLES:
        for (int i = 0; i < count; ++i)
            if (!ZviReadCommaDouble(reinterpret_cast<double *>(p) + i))
                return 0;
        return 1;
    case VALUE_POINTS:
        for (int i = 0; i < 2 * count; ++i)
            if (!ZviReadCommaDouble(reinterpret_cast<double *>(p) + i))
                return 0;
        return 1;
    case VALUE_COLORS:
        for (int i = 0; i < count; ++i)
            if (!ZviReadCommaColorref(reinterpret_cast<COLORREF *>(p) + i))
                return 0;
        return 1;
    case VALUE_PROPERTY:
        for (int i = 0; i < count; ++i) {
            Property *r = reinterpret_cast<Property *>(p) + i;
            if (!ZVI_FileReadCommaProperty(r) || !FileMapProperty(r))
                return 0;
        }
        return 1;
    case VALUE_XPROPERTY:
        for (int i = 0; i < count; ++i) {
            XProperty *r = reinterpret_cast<XProperty *>(p) + i;
            if (!ZVI_FileReadCommaXProperty(r) || !FileMapXProperty(r))
                return 0;
        }
        return 1;
    case VALUE_FONTDEF:
        for (int i = 0; i < count; ++i)
            if (!ZVI_FileReadCommaFontdef(reinterpret_cast<FontDef *>(p) + i))
                return 0;
        return 1;
    case VALUE_BINARY:
        // Refused when its text would pass the writer's limit.
        return ZviReadCommaBinary(p, count) && ZviEncodeBinary(p, count, nullptr, g_ZviDefaultDelimiters) >= 0;
    default:
        return 0;
    }
}

// The element kinds the program reads by kind must carry the value type it
// reads them with; elements of plug-in modules are theirs to interpret.
bool KindFitsValueType(const Element *e)
{
    if (e->module != 0)
        return true;
    if (e->kind >= ELEM_POINT_FIRST && e->kind <= ELEM_POINT_LAST)
        return e->valueType == VALUE_POINTS && e->count >= 1;
    switch (e->kind) {
    case ELEM_CONSTANT:
    case ELEM_ORIENT: return e->valueType == VALUE_DOUBLES && e->count >= 1;
    case ELEM_CURVE: return e->valueType == VALUE_DOUBLES && e->count >= 2;
    case ELEM_TEXT: return e->valueType == VALUE_STRING;
    default: break;
    }
    if (FileRecordElementSize(e->kind) || IsAttributeRecord(e->kind))
        return e->valueType == VALUE_RECORD;
    return true;
}

// A piece of a path: start and line points, Bezier control points, arc
// piece ends and their curve parameters.
bool IsPathElement(const Element *e)
{
    switch (e->kind) {
    case POINT_START:
    case POINT_LINE:
    case POINT_CONTROL1:
    case POINT_CONTROL2:
    case POINT_ARC_PIECE_END:
    case ELEM_CURVE: return true;
    default: return false;
    }
}

// From e on, only path pieces until the end element.
bool IsPathChain(const Element *e)
{
    for (; e->kind != ELEM_END; e = ElementNext(e))
        if (!IsPathElement(e))
            return false;
    return true;
}

// Checks an object's chain against the layout of its type: the kinds in
// order, and the sizes of records and run-time elements. Hatches, Curves and
// Surfaces may hold any path (several figures, Bezier and arc pieces); a Clip
// holds its record and then such a path.
bool ChainFitsType(Unit *u)
{
    const int32_t type = u->object.type;
    const Element *first = UnitFirstElement(u);
    int points = 0;
    for (const Element *e = first; e->kind != ELEM_END; e = ElementNext(e))
        if (ElementIsPoint(e))
            ++points;
    switch (type) {
    case OBJTYPE_HATCH: return IsPathChain(first);
    case OBJTYPE_CURVE:
    case OBJTYPE_SURFACE: return points >= 1 && IsPathChain(first);
    case OBJTYPE_CLIP:
        return first->kind == ELEM_CLIP_SURFACE && first->size == ELEM_SIZE_CLIP_SURFACE &&
               IsPathChain(ElementNext(first));
    default: break;
    }
    // The expected chain is at most as long as this one, or it differs. The
    // chains made are kept by type and number of points: a drawing holds few
    // such pairs, and making one costs more than reading the object.
    constexpr size_t KEPT_CHAINS_MAX = 256;
    static std::unordered_map<uint64_t, std::vector<uint64_t>> kept;
    const int shapePoints = points > 0 ? points : 1;
    const uint64_t key = (uint64_t(uint32_t(type)) << 32) | uint32_t(shapePoints);
    auto found = kept.find(key);
    if (found == kept.end()) {
        const uint32_t room = u->bytes + ELEM_SIZE_DIM_LARGE + ELEM_SIZE_SUB_DIM_ANGULAR;
        std::vector<uint64_t> chain(room / 8 + 1);
        ObjectChainShape shape{uint32_t(shapePoints), nullptr};
        if (!ObjectWriteChain(reinterpret_cast<Unit *>(chain.data()), room, type, shape))
            return false;
        if (kept.size() >= KEPT_CHAINS_MAX)
            kept.clear();
        found = kept.emplace(key, std::move(chain)).first;
    }
    const Unit *x = reinterpret_cast<const Unit *>(found->second.data());
    const Element *a = UnitFirstElement(u);
    const Element *b = UnitFirstElement(x);
    for (;; a = ElementNext(a), b = ElementNext(b)) {
        if (a->kind != b->kind)
            return false;
        if (a->kind == ELEM_END)
            return true;
        if ((a->kind < 0 || a->valueType == VALUE_RECORD) && a->size != b->size)
            return false;
    }
}

bool ReadHeaderByKind(Unit *u)
{
    if (!ZVI_FileReadCommaXProperty(&u->property) || !FileMapXProperty(&u->property))
        return false;
    switch (u->kind) {
    case UNIT_KIND_OBJECT:
        if (!ZviReadCommaInt(&u->object.type))
            return false;
        u->object.reserved = OBJTYPE_RESERVED; // the owner: none
        return true;
    case UNIT_KIND_BLOCK:
        if (!ZviReadCommaString(u->block.name, UNIT_NAME_SIZE))
            return false;
        for (double &v : u->block.blockFrame)
            if (!ZviReadCommaDouble(&v))
                return false;
        u->block.firstMember = nullptr;
        u->block.lastMember = nullptr;
        return true;
    default:
        if (!ZviReadCommaString(u->instance.library, UNIT_NAME_SIZE) ||
            !ZviReadCommaString(u->instance.block, UNIT_NAME_SIZE) || !FileReadCommaMatrix(&u->instance.placement))
            return false;
        if (u->kind == UNIT_KIND_PLUGIN) {
            int32_t flags = 0;
            if (!ZviReadCommaInt(&flags))
                return false;
            u->instance.userFlags = uint32_t(flags);
        }
        u->instance.libraryIndex = UNIT_INDEX_UNRESOLVED;
        u->instance.blockIndex = UNIT_INDEX_UNRESOLVED;
        u->instance.unresolved = 0;
        return true;
    }
}

// Puts a CommentData record in place of the end element of an old comment.
bool AddCommentData(Element *end, uint32_t room)
{
    if (ELEM_SIZE_COMMENT + ELEM_SIZE_END > room)
        return false;
    InitElementEmpty(end, ELEM_COMMENT);
    end->size = ELEM_SIZE_COMMENT;
    auto *c = static_cast<CommentDataRecord *>(ElementPayload(end));
    std::memset(c, 0, sizeof *c);
    std::snprintf(c->name, sizeof c->name, "%s", eDefaultNames[COMMENT_DEFAULT_NAME]);
    c->values[0] = 1;
    c->values[1] = 0;
    InitElementEnd(ElementNext(end));
    return true;
}

} // namespace

const char *FileObjectTypeName(int32_t type)
{
    for (const NameOfType &n : TYPE_NAMES)
        if (n.type == type)
            return n.name;
    return "?";
}

int FileWriteElements(const Element *first)
{
    const uint8_t *start = reinterpret_cast<const uint8_t *>(first);
    const uint32_t limit = g_ObjectLimits.maxUnitData;
    for (const Element *e = first;; e = ElementNext(e)) {
        const uint32_t offset = uint32_t(reinterpret_cast<const uint8_t *>(e) - start);
        if (offset >= limit || e->size < ELEMENT_HEADER_SIZE) {
            Report("OBJECT data exceeds maximum");
            return 0;
        }
        if (e->kind < 0)
            continue;
        if (!WriteElement(e))
            return 0;
        if (e->kind == ELEM_END)
            return 1;
    }
}

int FileWriteUnitListEnd()
{
    return ZVI_FileWriteComma() && ZVI_FileWriteInt(FILE_UNIT_END) && ZVI_FileWriteSemi();
}

int FileWriteUnit(const Unit *unit, int withComments)
{
    const int32_t kind = unit->kind;
    if (kind != UNIT_KIND_OBJECT && kind != UNIT_KIND_INSTANCE && kind != UNIT_KIND_BLOCK && kind != UNIT_KIND_PLUGIN)
        return 1;
    if (withComments) {
        char comment[32];
        switch (kind) {
        case UNIT_KIND_OBJECT: std::snprintf(comment, sizeof comment, "OBJ %s", FileObjectTypeName(unit->object.type)); break;
        case UNIT_KIND_INSTANCE: std::strcpy(comment, "INS"); break;
        case UNIT_KIND_BLOCK: std::strcpy(comment, "BLK"); break;
        default: std::strcpy(comment, "USER"); break;
        }
        if (!ZVI_FileWriteComment(comment))
            return 0;
    }
    bool ok = WriteHeader(unit);
    if (ok && (kind == UNIT_KIND_INSTANCE || kind == UNIT_KIND_PLUGIN)) {
        if (kind == UNIT_KIND_PLUGIN)
            ok = ZVI_FileWriteComma() && ZVI_FileWriteNewline() && ZVI_FileWriteInt(int32_t(unit->instance.userFlags));
        ok = ok && ZVI_FileWriteSemi();
    }
    if (!ok) {
        ReportKind("Cannot write %s header", kind);
        return 0;
    }
    if (!FileWriteElements(UnitFirstElement(unit))) {
        ReportKind("Cannot write %s data", kind);
        return 0;
    }
    return 1;
}

int32_t FileReadElement(Element *element, uint32_t room)
{
    int16_t module = 0, kind = 0, valueType = 0, count = 0;
    if (room < ELEMENT_HEADER_SIZE || !ZviReadShort(&module) || !ZviReadCommaShort(&kind) ||
        !ZviReadCommaShort(&valueType) || !ZviReadCommaShort(&count))
        return -1;
    std::memset(element, 0, ELEMENT_HEADER_SIZE);
    element->module = uint16_t(module);
    element->kind = kind;
    element->valueType = uint16_t(valueType);
    element->count = count;
    uint32_t size = ELEMENT_HEADER_SIZE;
    if (kind < 0)
        return -1; // run-time elements are never filed
    if (valueType == VALUE_RECORD) {
        if (!ReadRecordPayload(element, room, &size))
            return -1;
    } else if (valueType == VALUE_STRING) {
        char *text = TextBuffer();
        if (!ZviReadCommaString(text, TextReadSize(count)))
            return -1;
        const size_t length = std::strlen(text);
        // Texts are shown and edited in buffers of 8000 characters: a longer
        // one comes only from a damaged or foreign file.
        if (kind == ELEM_TEXT && length > size_t(TEXT_CAPACITY_LONG)) {
            InitErrorBox(__FILE_NAME__, __LINE__, "Text longer than 8000 characters");
            return -1;
        }
        const uint32_t textRoom = TextRoom(count, length);
        size = ELEMENT_HEADER_SIZE + textRoom;
        if (size > room || !TextWritable(text))
            return -1;
        std::memset(ElementPayload(element), 0, textRoom);
        if (textRoom)
            std::memcpy(ElementPayload(element), text, length + 1);
    } else if (ValueBytes(uint16_t(valueType))) {
        if (count < 0)
            return -1;
        size = Round8(ELEMENT_HEADER_SIZE + ValueBytes(uint16_t(valueType)) * uint32_t(count));
        if (size > room)
            return -1;
        std::memset(ElementPayload(element), 0, size - ELEMENT_HEADER_SIZE);
        if (!ReadValues(element))
            return -1;
    } else {
        element->valueType = VALUE_RECORD; // unknown: a bare header
    }
    if (!ZVI_FileReadSemi())
        return -1;
    element->size = size;
    if (!KindFitsValueType(element) || (element->valueType == VALUE_RECORD && !RecordFitsLayout(element)))
        return -1;
    return int32_t(size);
}

int32_t FileReadUnit(Unit *unit, uint32_t capacity)
{
    int32_t module = 0, kind = 0;
    if (!ZviReadInt(&module) || !ZviReadCommaInt(&kind)) {
        Report("Error in UNIT header");
        return -1;
    }
    if (kind == FILE_UNIT_END) {
        return ZVI_FileReadSemi() ? 0 : -1;
    }
    if (kind != UNIT_KIND_OBJECT && kind != UNIT_KIND_INSTANCE && kind != UNIT_KIND_BLOCK && kind != UNIT_KIND_PLUGIN) {
        char text[64];
        std::snprintf(text, sizeof text, "Invalid UNIT type %03ld", long(kind));
        Report(text);
        return -1;
    }
    const uint32_t offset = UnitElementOffset(kind);
    const uint32_t limit = g_ObjectLimits.maxUnitData; // element bytes behind the header
    if (capacity < offset + ELEM_SIZE_END || limit < ELEM_SIZE_END) {
        Report("Unit buffer too small");
        return -1;
    }
    const uint32_t room = capacity - offset < limit ? capacity - offset : limit;
    std::memset(unit, 0, offset);
    unit->module = module;
    unit->kind = kind;
    FrameSetEmpty(unit->frame);
    if (!ReadHeaderByKind(unit) || !ZVI_FileReadSemi()) {
        ReportKind("Error in %s header", kind);
        return -1;
    }
    const bool ownObject = kind == UNIT_KIND_OBJECT && module == 0;
    if (ownObject && !ObjectTypeIsKnown(unit->object.type)) {
        char text[64];
        std::snprintf(text, sizeof text, "Invalid OBJECT type %ld", long(unit->object.type));
        Report(text);
        return -1;
    }
    const RunTimeInsert *insert = ownObject ? FindInsert(unit->object.type) : nullptr;
    uint8_t *base = reinterpret_cast<uint8_t *>(unit) + offset;
    uint32_t used = 0;
    int number = 0;
    Element *last = nullptr;
    for (;;) {
        if (used >= room) {
            ReportKind("%s data exceeds maximum", kind);
            return -1;
        }
        Element *e = reinterpret_cast<Element *>(base + used);
        const int32_t size = FileReadElement(e, room - used);
        if (size < 0) {
            ReportKind(ZVI_FileReadError() ? "Error in %s data" : "%s data exceeds maximum or is invalid", kind);
            return -1;
        }
        used += uint32_t(size);
        last = e;
        if (e->kind == ELEM_END)
            break;
        ++number;
        if (insert && number == insert->after) {
            if (used + insert->size > room) {
                ReportKind("%s data exceeds maximum", kind);
                return -1;
            }
            Element *r = reinterpret_cast<Element *>(base + used);
            std::memset(r, 0, insert->size);
            InitElementEmpty(r, insert->kind);
            r->size = insert->size;
            used += insert->size;
        }
    }
    if (ownObject && unit->object.type == OBJTYPE_COMMENT && number == OLD_COMMENT_ELEMENTS) {
        if (!AddCommentData(last, room - (used - ELEM_SIZE_END))) {
            ReportKind("%s data exceeds maximum", kind);
            return -1;
        }
        used += ELEM_SIZE_COMMENT;
    }
    unit->bytes = offset + used;
    if (ownObject && !ChainFitsType(unit)) {
        char text[96];
        std::snprintf(text, sizeof text, "Invalid element layout\nof OBJECT type %ld", long(unit->object.type));
        Report(text);
        return -1;
    }
    return int32_t(unit->bytes);
}

// Creation buffers and the builders of plain objects, plug-in objects and
// instances: a plug-in assembles a unit element by element in a buffer of
// the program and asks the program to store a copy.
#include "plugin/zvi_create.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "app/system_defs.h"
#include "app/window.h"
#include "database/object.h"
#include "database/object_flags.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_index.h"
#include "database/symbol_find.h"
#include "database/symbol_library.h"
#include "database/undo.h"
#include "database/unit.h"
#include "geometry/frame.h"
#include "geometry/matrix.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"

namespace {

constexpr uint32_t UNIT_RESERVE = 2048; // behind the usable part: room for the last element
constexpr uint32_t POINT_ELEMENT = 32;
constexpr double POINT_LIMIT = 1e100;
constexpr uint32_t GUARD_PAGE = 4096;
constexpr int OBJECT_TYPE_LAST = 47;
constexpr uint32_t TEXT_FULL_SHORT = 272;
constexpr uint32_t TEXT_FULL_LONG = 8016;

enum BuilderKind { B_OBJECT, B_USER, B_INSTANCE, B_BLOCK, B_GROUP, BUILDERS };

// One builder: its buffer (ending right before a page that cannot be
// touched, so that an overrun faults instead of corrupting), its state and
// the bytes of elements written behind its header.
struct Builder {
    uint8_t *buffer = nullptr;
    void *reservation = nullptr;
    int open = 0;
    int terminated = 0;
    uint32_t offset = 0;
};
Builder s_Builders[BUILDERS];

uint32_t BufferSize() { return g_ObjectLimits.objectSize; }
uint32_t MaxData() { return BufferSize() - UNIT_RESERVE; }

uint32_t HeaderOf(int b)
{
    switch (b) {
    case B_OBJECT: return UNIT_ELEMENTS_OBJECT;
    case B_USER: return UNIT_ELEMENTS_PLUGIN;
    case B_INSTANCE: return UNIT_ELEMENTS_INSTANCE;
    default: return UNIT_ELEMENTS_BLOCK;
    }
}

Unit *UnitOf(int b) { return reinterpret_cast<Unit *>(s_Builders[b].buffer); }

bool AllocateBuffer(Builder &b)
{
    const uint32_t size = BufferSize();
    const uint32_t pages = (size + GUARD_PAGE - 1) / GUARD_PAGE * GUARD_PAGE;
    auto *base = static_cast<uint8_t *>(VirtualAlloc(nullptr, pages + GUARD_PAGE, MEM_RESERVE | MEM_COMMIT,
                                                    PAGE_READWRITE));
    if (!base)
        return false;
    DWORD old = 0;
    VirtualProtect(base + pages, GUARD_PAGE, PAGE_NOACCESS, &old);
    b.reservation = base;
    b.buffer = base + pages - size;
    return true;
}

void FreeBuffer(Builder &b)
{
    if (b.reservation)
        VirtualFree(b.reservation, 0, MEM_RELEASE);
    b.reservation = nullptr;
    b.buffer = nullptr;
}

// Room for an element of bytes at the write offset: the offset must lie
// below the usable size and the element must end inside the buffer.
bool HasRoom(int b, uint32_t bytes)
{
    const Builder &s = s_Builders[b];
    return s.offset < MaxData() && HeaderOf(b) + s.offset + bytes <= BufferSize();
}

Element *WriteHeader(int b, uint32_t size, int16_t kind, uint16_t valueType, int16_t count)
{
    auto *e = reinterpret_cast<Element *>(s_Builders[b].buffer + HeaderOf(b) + s_Builders[b].offset);
    e->size = size;
    e->reserved = 0;
    e->pointFlags = 0;
    e->module = b == B_USER ? static_cast<uint16_t>(UnitOf(b)->module) : 0;
    e->kind = kind;
    e->valueType = valueType;
    e->count = count;
    return e;
}

// Advances past the elements just written; 1 while the offset stays usable.
int Advance(int b, uint32_t bytes)
{
    s_Builders[b].offset += bytes;
    return s_Builders[b].offset < MaxData() ? 1 : 0;
}

struct Names {
    const char *notOpen, *terminated, *tooLarge, *notTerminated, *already;
};
const Names NAMES[BUILDERS] = {
    {"Object not open!", "Object has already been terminated!", "Object will be too large!",
     "Object is not correctly terminated!", "Object already opened!"},
    {"User not open!", "User has already been terminated!", "User will be too large!",
     "User is not correctly terminated!", "User already opened!"},
    {"Instance not open!", "Instance has already been terminated!", "Instance will be too large!",
     "Instance is not correctly terminated!", "Instance already opened!"},
    {"Block not open!", "Block has already been terminated!", "Block will be too large!",
     "Block is not correctly terminated!", "Block already opened!"},
    {"Group not open!", "Group has already been terminated!", "Group will be too large!",
     "Group is not correctly terminated!", "Group already opened!"},
};

// The first checks of every Add: open and not terminated; 0 after refusing.
int CheckAdd(int b, const char *function, int line)
{
    if (!s_Builders[b].open)
        return ZviRefuse(function, line, NAMES[b].notOpen);
    if (s_Builders[b].terminated)
        return ZviRefuse(function, line, NAMES[b].terminated);
    return 1;
}

Unit *Open(int b, const char *function, int line)
{
    Builder &s = s_Builders[b];
    if (!s.buffer)
        return reinterpret_cast<Unit *>(ZviRefuse(function, line, "Interface not opened!"));
    if (s.open)
        return reinterpret_cast<Unit *>(ZviRefuse(function, line, NAMES[b].already));
    std::memset(s.buffer, 0, HeaderOf(b) + ELEMENT_HEADER_SIZE);
    s.offset = 0;
    s.open = 1;
    s.terminated = 0;
    Unit *u = UnitOf(b);
    u->frame[0] = u->frame[1] = 1e300;
    u->frame[2] = u->frame[3] = -1e300;
    u->property = XPropertyDefault();
    return u;
}

void OpenReference(Unit *u, int32_t kind)
{
    u->kind = kind;
    MatrixInit(&u->instance.placement);
    u->instance.libraryIndex = UNIT_INDEX_UNRESOLVED;
    u->instance.blockIndex = UNIT_INDEX_UNRESOLVED;
    u->instance.unresolved = 0;
}

int AddEnd(int b, const char *function, int line)
{
    if (!CheckAdd(b, function, line))
        return 0;
    if (!HasRoom(b, ELEM_SIZE_END))
        return ZviRefuse(function, line, NAMES[b].tooLarge);
    WriteHeader(b, ELEM_SIZE_END, ELEM_END, 0, 0);
    Builder &s = s_Builders[b];
    // An instance's size stays a multiple of 8: 4 bytes beyond its end element.
    const uint32_t header = b == B_INSTANCE ? UNIT_ELEMENTS_PLUGIN : HeaderOf(b);
    UnitOf(b)->bytes = header + s.offset + ELEM_SIZE_END;
    s.terminated = 1;
    return s.offset < MaxData() ? 1 : 0;
}

// While a group (or else a block) is open, what the other builders insert
// goes into its member chain; null when none is open or memory runs out.
Unit *StoreMember(const Unit *u)
{
    for (int b : {B_GROUP, B_BLOCK})
        if (s_Builders[b].open)
            return MemChainAppend(LIST_OWN_BLOCKS, UnitOf(b), u, u->bytes);
    return nullptr;
}

// A name field of a unit with its terminator inside.
bool NameTerminated(const char *field) { return std::memchr(field, 0, UNIT_NAME_SIZE) != nullptr; }

Unit *Insert(int b, Unit *after, const char *function, int line)
{
    Builder &s = s_Builders[b];
    if (!s.open)
        return reinterpret_cast<Unit *>(ZviRefuse(function, line, NAMES[b].notOpen));
    if (!s.terminated)
        return reinterpret_cast<Unit *>(ZviRefuse(function, line, NAMES[b].notTerminated));
    if (after && !ZviLiveUnit(LIST_DRAWING, after))
        return reinterpret_cast<Unit *>(ZviRefuse(function, line, "After address invalid!"));
    Unit *u = UnitOf(b);
    if (b != B_OBJECT && (!NameTerminated(u->instance.library) || !NameTerminated(u->instance.block)))
        return reinterpret_cast<Unit *>(ZviRefuse(function, line, "Name too long!"));
    Unit *stored = StoreMember(u);
    if (!stored && !s_Builders[B_GROUP].open && !s_Builders[B_BLOCK].open)
        stored = MemListNewCopyAfter(LIST_DRAWING, u, u->bytes, after);
    if (!stored)
        return nullptr;
    UndoStampCreated(stored);
    if (b == B_OBJECT) {
        ObjectUpdateDisplayFlags(stored);
        FrameCalcObject(stored, 1);
    } else {
        SymbolGetInstanceBlock(stored);
        ObjectUpdateDisplayFlags(stored);
    }
    return stored;
}

void Close(int b, const char *function, int line)
{
    if (!s_Builders[b].open) {
        ZviRefuse(function, line, NAMES[b].notOpen);
        return;
    }
    // Members of a block or group that was never stored belong to no list.
    if (b == B_BLOCK || b == B_GROUP) {
        Unit *u = UnitOf(b);
        for (Unit *m = u->block.firstMember; m;)
            m = MemChainRemove(LIST_OWN_BLOCKS, u, m);
    }
    s_Builders[b].open = 0;
    s_Builders[b].terminated = 0;
}

int FastInsert(int b, const char *function, int line)
{
    if (!s_Builders[b].open)
        return ZviRefuse(function, line, NAMES[b].notOpen);
    Unit *stored = nullptr;
    if (s_Builders[b].terminated || AddEnd(b, function, line) || s_Builders[b].terminated)
        stored = Insert(b, nullptr, function, line);
    Close(b, function, line);
    return stored ? 1 : 0;
}

// A fixed-size record element with the empty element the object type asks
// for behind it; returns the element or null after refusing.
Element *AddRecord(const void *record, uint32_t recordSize, uint32_t elementSize, int16_t kind, int16_t extraKind,
                   uint32_t extraSize, const char *function, int line)
{
    if (!CheckAdd(B_OBJECT, function, line))
        return nullptr;
    if (!ZviReadable(record, recordSize))
        return reinterpret_cast<Element *>(ZviRefuse(function, line, "Data address invalid!"));
    if (!HasRoom(B_OBJECT, elementSize + extraSize))
        return reinterpret_cast<Element *>(ZviRefuse(function, line, NAMES[B_OBJECT].tooLarge));
    Element *e = WriteHeader(B_OBJECT, elementSize, kind, VALUE_RECORD, 0);
    std::memset(e + 1, 0, elementSize - ELEMENT_HEADER_SIZE);
    std::memcpy(e + 1, record, recordSize);
    if (extraSize) {
        s_Builders[B_OBJECT].offset += elementSize;
        WriteHeader(B_OBJECT, extraSize, extraKind, 0, 0);
        s_Builders[B_OBJECT].offset -= elementSize;
    }
    return e;
}

int TypeOpen() { return UnitOf(B_OBJECT)->object.type; }
bool TypeIn(int first, int last) { return TypeOpen() >= first && TypeOpen() <= last; }

XProperty *RecordProperty(Element *e) { return reinterpret_cast<XProperty *>(reinterpret_cast<uint8_t *>(e + 1) + RECORD_XPROPERTY_OFFSET); }

// Finishes a record element: the property from the default slots when
// asked, the offset advanced; the record's XProperty address while usable.
XProperty *FinishRecord(Element *e, uint32_t bytes, bool property)
{
    if (property)
        ObjectPropertyForElement(e);
    return Advance(B_OBJECT, bytes) ? RecordProperty(e) : nullptr;
}

int AddText(const char *text, int fullSize, int limit, uint32_t fullBytes, const char *function, int line)
{
    if (!CheckAdd(B_OBJECT, function, line))
        return 0;
    const int length = ZviTextLength(text, limit);
    if (length < 0)
        return ZviRefuse(function, line, "Text address invalid!");
    // A text kept at full size must leave room for its terminator.
    if (length > limit || (fullSize && (uint32_t)length + 1 > fullBytes - ELEMENT_HEADER_SIZE))
        return ZviRefuse(function, line, "Text too long!");
    const uint32_t size = fullSize ? fullBytes : ((((uint32_t)length + 8) & ~7u) + 23) & ~7u;
    if (!HasRoom(B_OBJECT, size))
        return ZviRefuse(function, line, NAMES[B_OBJECT].tooLarge);
    Element *e = WriteHeader(B_OBJECT, size, ELEM_TEXT, VALUE_STRING, (int16_t)(fullSize ? -limit : limit));
    std::memset(e + 1, 0, size - ELEMENT_HEADER_SIZE);
    std::memcpy(e + 1, text, length);
    return Advance(B_OBJECT, size);
}

int AddValues(int16_t kind, uint32_t size, int16_t count, const double *values, int16_t extraKind,
              uint32_t extraSize, const char *function, int line)
{
    if (!CheckAdd(B_OBJECT, function, line))
        return 0;
    if (!HasRoom(B_OBJECT, size + extraSize))
        return ZviRefuse(function, line, NAMES[B_OBJECT].tooLarge);
    Element *e = WriteHeader(B_OBJECT, size, kind, VALUE_DOUBLES, count);
    std::memcpy(e + 1, values, count * sizeof(double));
    if (extraSize) {
        s_Builders[B_OBJECT].offset += size;
        WriteHeader(B_OBJECT, extraSize, extraKind, 0, 0);
        s_Builders[B_OBJECT].offset -= size;
    }
    return Advance(B_OBJECT, size + extraSize);
}

int AddAttribute(int b, int code, const char *name, const char *text, const char *function, int line)
{
    if (!CheckAdd(b, function, line))
        return 0;
    const int nameLength = ZviTextLength(name, ATTRIBUTE_NAME_SIZE);
    if (nameLength < 0)
        return ZviRefuse(function, line, "Name address invalid!");
    if (nameLength > ATTRIBUTE_NAME_SIZE)
        return ZviRefuse(function, line, "Name too long!");
    const int textLength = ZviTextLength(text, ATTRIBUTE_TEXT_CAPACITY);
    if (textLength < 0)
        return ZviRefuse(function, line, "Text address invalid!");
    if (textLength > ATTRIBUTE_TEXT_CAPACITY)
        return ZviRefuse(function, line, "Text too long!");
    const uint32_t size = ((((uint32_t)textLength + 8) & ~7u) + 55) & ~7u;
    if (!HasRoom(b, size))
        return ZviRefuse(function, line, NAMES[b].tooLarge);
    Element *e = WriteHeader(b, size, (int16_t)code, VALUE_RECORD, ATTRIBUTE_TEXT_CAPACITY);
    auto *payload = reinterpret_cast<char *>(e + 1);
    std::memset(payload, 0, size - ELEMENT_HEADER_SIZE);
    std::memcpy(payload, name, nameLength);
    std::memcpy(payload + ATTRIBUTE_NAME_SIZE, text, textLength);
    return Advance(b, size);
}

// The stored record takes the drawing's dimension parameters; a negative
// coordinate system there stands for the current one.
void UseDrawingDimParameters(Element *e, size_t systemOffset)
{
    void *record = ElementPayload(e);
    ZviPutDrawingDimParameters(record, systemOffset);
    int32_t system = 0;
    std::memcpy(&system, static_cast<uint8_t *>(record) + systemOffset, sizeof system);
    if (system < 0) {
        system = g_CurrentSystem.system;
        std::memcpy(static_cast<uint8_t *>(record) + systemOffset, &system, sizeof system);
    }
}

} // namespace

void ZviResetCreation()
{
    for (Builder &b : s_Builders) {
        b.open = 0;
        b.terminated = 0;
        b.offset = 0;
    }
}

extern "C" {

int ZVI_CALL ZVI_MaxUnitData() { return (int)MaxData(); }
int ZVI_CALL ZVI_MaxUnitPoints() { return (int)(MaxData() / POINT_ELEMENT); }
int ZVI_CALL ZVI_MaxPolygonPoints() { return 4 * ZVI_MaxUnitPoints(); }

void ZVI_CALL ZVI_CreationEnd()
{
    for (Builder &b : s_Builders)
        FreeBuffer(b);
    ZviResetCreation();
}

int ZVI_CALL ZVI_CreationStart()
{
    ZVI_CreationEnd();
    for (Builder &b : s_Builders)
        if (!AllocateBuffer(b)) {
            ZVI_CreationEnd();
            return 0;
        }
    return 1;
}

} // extern "C"

ZviCreationBracket::ZviCreationBracket()
    : started(!s_Builders[B_OBJECT].buffer && ZVI_CreationStart() != 0)
{
}

ZviCreationBracket::~ZviCreationBracket()
{
    if (started)
        ZVI_CreationEnd();
}

extern "C" {

// --- plain objects

Unit *ZVI_CALL ZVI_ObjectOpen(int objectType)
{
    if (s_Builders[B_OBJECT].buffer && !s_Builders[B_OBJECT].open && (objectType < 0 || objectType > OBJECT_TYPE_LAST))
        return reinterpret_cast<Unit *>(ZVI_REFUSE("Object type invalid!"));
    Unit *u = Open(B_OBJECT, __func__, __LINE__);
    if (!u)
        return nullptr;
    u->kind = UNIT_KIND_OBJECT;
    u->object.type = objectType;
    u->object.reserved = -1;
    ObjectInitHeader(u, objectType);
    return u;
}

Unit *ZVI_CALL ZVI_ObjectGetAddress()
{
    if (!s_Builders[B_OBJECT].open)
        return reinterpret_cast<Unit *>(ZVI_REFUSE("Object not open!"));
    return UnitOf(B_OBJECT);
}

int ZVI_CALL ZVI_ObjectAddPoint(int kind, double x, double y)
{
    if (s_Builders[B_OBJECT].open && !s_Builders[B_OBJECT].terminated && (kind < ELEM_POINT_FIRST || kind > ELEM_POINT_LAST))
        return ZVI_REFUSE("Point kind invalid!");
    auto clamp = [](double v) { return v > POINT_LIMIT ? POINT_LIMIT : v < -POINT_LIMIT ? -POINT_LIMIT : v; };
    const double xy[2] = {clamp(x), clamp(y)};
    if (!CheckAdd(B_OBJECT, __func__, __LINE__))
        return 0;
    if (!HasRoom(B_OBJECT, POINT_ELEMENT))
        return ZVI_REFUSE(NAMES[B_OBJECT].tooLarge);
    Element *e = WriteHeader(B_OBJECT, POINT_ELEMENT, (int16_t)kind, VALUE_POINTS, 1);
    std::memcpy(e + 1, xy, sizeof xy);
    return Advance(B_OBJECT, POINT_ELEMENT);
}

int ZVI_CALL ZVI_ObjectAddConstant(double value)
{
    return AddValues(ELEM_CONSTANT, ELEM_SIZE_CONSTANT, 1, &value, 0, 0, __func__, __LINE__);
}

int ZVI_CALL ZVI_ObjectAddOrient(double angle)
{
    int16_t extraKind = 0;
    uint32_t extraSize = 0;
    if (s_Builders[B_OBJECT].open) {
        if (TypeIn(6, 8)) {
            extraKind = ELEM_SUB_CIRCLE_ARC;
            extraSize = ELEM_SIZE_SUB_CIRCLE_ARC;
        } else if (TypeIn(16, 18)) {
            extraKind = ELEM_SUB_ELLIPSE_ARC;
            extraSize = ELEM_SIZE_SUB_ELLIPSE_ARC;
        }
    }
    return AddValues(ELEM_ORIENT, ELEM_SIZE_ORIENT, 1, &angle, extraKind, extraSize, __func__, __LINE__);
}

int ZVI_CALL ZVI_ObjectAddCurve(double a, double b)
{
    const double ab[2] = {a, b};
    return AddValues(ELEM_CURVE, ELEM_SIZE_CURVE, 2, ab, 0, 0, __func__, __LINE__);
}

int ZVI_CALL ZVI_ObjectAddTextShort(const char *text, int fullSize)
{
    return AddText(text, fullSize, TEXT_CAPACITY_SHORT, TEXT_FULL_SHORT, __func__, __LINE__);
}

int ZVI_CALL ZVI_ObjectAddTextLong(const char *text, int fullSize)
{
    return AddText(text, fullSize, TEXT_CAPACITY_LONG, TEXT_FULL_LONG, __func__, __LINE__);
}

int ZVI_CALL ZVI_ObjectAddDimLine(const void *dimLine)
{
    int16_t extraKind = 0;
    uint32_t extraSize = 0;
    if (s_Builders[B_OBJECT].open && TypeOpen() == 20) {
        extraKind = ELEM_SUB_LINESTR;
        extraSize = ELEM_SIZE_SUB_LINESTR;
    } else if (s_Builders[B_OBJECT].open && TypeOpen() == 21) {
        extraKind = ELEM_SUB_LINECURVED;
        extraSize = ELEM_SIZE_SUB_LINECURVED;
    }
    Element *e = AddRecord(dimLine, ZVI_SIZE_DIMLINE, ELEM_SIZE_DIM_LINE, ELEM_DIM_LINE, extraKind, extraSize,
                           __func__, __LINE__);
    return e ? Advance(B_OBJECT, ELEM_SIZE_DIM_LINE + extraSize) : 0;
}

XProperty *ZVI_CALL ZVI_ObjectAddDimSmall(const void *dimSmall, int useDrawingDefaults)
{
    const bool label = s_Builders[B_OBJECT].open && TypeIn(30, 32);
    const uint32_t extra = label ? ELEM_SIZE_SUB_DIM_LABEL : 0;
    Element *e = AddRecord(dimSmall, ZVI_SIZE_DIMSMALL, ELEM_SIZE_DIM_SMALL, ELEM_DIM_SMALL, ELEM_SUB_DIM_LABEL,
                           extra, __func__, __LINE__);
    if (e && useDrawingDefaults)
        UseDrawingDimParameters(e, DIM_SMALL_SYSTEM_OFFSET);
    return e ? FinishRecord(e, ELEM_SIZE_DIM_SMALL + extra, true) : nullptr;
}

XProperty *ZVI_CALL ZVI_ObjectAddDimLarge(const void *dimLarge, int useDrawingDefaults)
{
    int16_t extraKind = 0;
    uint32_t extra = 0;
    if (s_Builders[B_OBJECT].open && TypeIn(25, 27)) {
        extraKind = ELEM_SUB_DIM_LINEAR;
        extra = ELEM_SIZE_SUB_DIM_LINEAR;
    } else if (s_Builders[B_OBJECT].open && TypeIn(28, 29)) {
        extraKind = ELEM_SUB_DIM_ANGULAR;
        extra = ELEM_SIZE_SUB_DIM_ANGULAR;
    }
    Element *e = AddRecord(dimLarge, ZVI_SIZE_DIMLARGE, ELEM_SIZE_DIM_LARGE, ELEM_DIM_LARGE, extraKind, extra,
                           __func__, __LINE__);
    if (e && useDrawingDefaults)
        UseDrawingDimParameters(e, DIM_LARGE_SYSTEM_OFFSET);
    return e ? FinishRecord(e, ELEM_SIZE_DIM_LARGE + extra, true) : nullptr;
}

XProperty *ZVI_CALL ZVI_ObjectAddTextStandard(const void *textStandard)
{
    Element *e = AddRecord(textStandard, ZVI_SIZE_TEXTSTANDARD, ELEM_SIZE_TEXT_STANDARD, ELEM_TEXT_STANDARD, 0, 0,
                           __func__, __LINE__);
    return e ? FinishRecord(e, ELEM_SIZE_TEXT_STANDARD, true) : nullptr;
}

XProperty *ZVI_CALL ZVI_ObjectAddTextFrame(const void *textFrame)
{
    Element *e = AddRecord(textFrame, ZVI_SIZE_TEXTFRAME, ELEM_SIZE_TEXT_FRAME, ELEM_TEXT_FRAME, 0, 0, __func__,
                           __LINE__);
    return e ? FinishRecord(e, ELEM_SIZE_TEXT_FRAME, true) : nullptr;
}

int ZVI_CALL ZVI_ObjectAddTextReference(const void *textReference)
{
    Element *e = AddRecord(textReference, ZVI_SIZE_TEXTREFERENCE, ELEM_SIZE_TEXT_REFERENCE, ELEM_TEXT_REFERENCE,
                           ELEM_SUB_REFTEXT, ELEM_SIZE_SUB_REFTEXT, __func__, __LINE__);
    return e ? Advance(B_OBJECT, ELEM_SIZE_TEXT_REFERENCE + ELEM_SIZE_SUB_REFTEXT) : 0;
}

int ZVI_CALL ZVI_ObjectAddCommentData(const void *commentData)
{
    Element *e = AddRecord(commentData, ZVI_SIZE_COMMENTDATA, ELEM_SIZE_COMMENT, ELEM_COMMENT, 0, 0, __func__,
                           __LINE__);
    return e ? FinishRecord(e, ELEM_SIZE_COMMENT, true) != nullptr : 0;
}

void *ZVI_CALL ZVI_ObjectAddClipSurface(const void *clipSurface)
{
    constexpr uint32_t CLIP_CACHE_1 = 220, CLIP_CACHE_2 = 224, CLIP_CACHE_3 = 228;
    Element *e = AddRecord(clipSurface, ZVI_SIZE_CLIPSURFACE, ELEM_SIZE_CLIP_SURFACE, ELEM_CLIP_SURFACE, 0, 0,
                           __func__, __LINE__);
    if (!e)
        return nullptr;
    auto *record = reinterpret_cast<uint8_t *>(e + 1);
    const int32_t none = -1, zero = 0;
    std::memcpy(record + CLIP_CACHE_1, &none, 4);
    std::memcpy(record + CLIP_CACHE_2, &none, 4);
    std::memcpy(record + CLIP_CACHE_3, &zero, 4);
    ObjectPropertyForElement(e);
    return Advance(B_OBJECT, ELEM_SIZE_CLIP_SURFACE) ? record : nullptr;
}

int ZVI_CALL ZVI_ObjectAddBitmapRef(const void *bitmapRef)
{
    Element *e = AddRecord(bitmapRef, ZVI_SIZE_BITMAPREF, ELEM_SIZE_BITMAP_REF, ELEM_BITMAP_REF, 0, 0, __func__,
                           __LINE__);
    return e ? Advance(B_OBJECT, ELEM_SIZE_BITMAP_REF) : 0;
}

int ZVI_CALL ZVI_ObjectAddEnd() { return AddEnd(B_OBJECT, __func__, __LINE__); }

int ZVI_CALL ZVI_ObjectCopyDataBlocks(const Unit *refObj)
{
    if (!CheckAdd(B_OBJECT, __func__, __LINE__))
        return 0;
    // A reference must be a live object of the drawing: freed records stay readable.
    const Unit *ref = ZviLiveUnit(LIST_DRAWING, refObj);
    if (!ref || ref->kind != UNIT_KIND_OBJECT || ref->bytes < UNIT_ELEMENTS_OBJECT + ELEM_SIZE_END)
        return ZVI_REFUSE("RefObj address invalid!");
    const uint8_t *p = reinterpret_cast<const uint8_t *>(ref) + UNIT_ELEMENTS_OBJECT;
    const uint8_t *end = reinterpret_cast<const uint8_t *>(ref) + ref->bytes;
    uint32_t copied = 0;
    for (;;) {
        const Element *e = ZviChainElement(p, end);
        if (!e)
            return ZVI_REFUSE("RefObj address invalid!"); // a damaged chain
        if (s_Builders[B_OBJECT].offset + copied + e->size >= MaxData())
            return 0;
        if (e->kind == ELEM_END)
            break;
        std::memcpy(s_Builders[B_OBJECT].buffer + UNIT_ELEMENTS_OBJECT + s_Builders[B_OBJECT].offset + copied, e,
                    e->size);
        copied += e->size;
        p += e->size;
    }
    s_Builders[B_OBJECT].offset += copied;
    return 1;
}

Unit *ZVI_CALL ZVI_ObjectInsert(int, Unit *after) { return Insert(B_OBJECT, after, __func__, __LINE__); }
void ZVI_CALL ZVI_ObjectClose() { Close(B_OBJECT, __func__, __LINE__); }
int ZVI_CALL ZVI_ObjectFastInsert() { return FastInsert(B_OBJECT, __func__, __LINE__); }

// --- plug-in objects

Unit *ZVI_CALL ZVI_UserOpen(short module, int flags)
{
    Unit *u = Open(B_USER, __func__, __LINE__);
    if (!u)
        return nullptr;
    OpenReference(u, UNIT_KIND_PLUGIN);
    u->module = module;
    u->instance.userFlags = (uint32_t)flags;
    return u;
}

Unit *ZVI_CALL ZVI_UserGetAddress()
{
    if (!s_Builders[B_USER].open)
        return reinterpret_cast<Unit *>(ZVI_REFUSE("User not open!"));
    return UnitOf(B_USER);
}

int ZVI_CALL ZVI_UserAddDataBlock(unsigned short kind, unsigned short valueType, unsigned short count,
                                  const void *data, int size)
{
    if (!CheckAdd(B_USER, __func__, __LINE__))
        return 0;
    if (size < 0 || (size > 0 && !ZviReadable(data, size)))
        return ZVI_REFUSE("Data address invalid!");
    const uint32_t bytes = (((uint32_t)size + 23) & ~7u);
    if (s_Builders[B_USER].offset + bytes >= MaxData() || !HasRoom(B_USER, bytes))
        return ZVI_REFUSE(NAMES[B_USER].tooLarge);
    Element *e = WriteHeader(B_USER, bytes, (int16_t)kind, valueType, (int16_t)count);
    std::memset(e + 1, 0, bytes - ELEMENT_HEADER_SIZE);
    if (size)
        std::memcpy(e + 1, data, size);
    s_Builders[B_USER].offset += bytes;
    return 1;
}

int ZVI_CALL ZVI_UserAddEnd() { return AddEnd(B_USER, __func__, __LINE__); }
Unit *ZVI_CALL ZVI_UserInsert(int, Unit *after) { return Insert(B_USER, after, __func__, __LINE__); }
void ZVI_CALL ZVI_UserClose() { Close(B_USER, __func__, __LINE__); }
int ZVI_CALL ZVI_UserFastInsert() { return FastInsert(B_USER, __func__, __LINE__); }

// --- instances

Unit *ZVI_CALL ZVI_InstanceOpen()
{
    Unit *u = Open(B_INSTANCE, __func__, __LINE__);
    if (!u)
        return nullptr;
    OpenReference(u, UNIT_KIND_INSTANCE);
    constexpr int DEFAULT_SLOT_INSTANCE = 5;
    ObjectPropertyFromSlots(&u->property, -1, g_DefaultLayers[DEFAULT_SLOT_INSTANCE], 1);
    return u;
}

Unit *ZVI_CALL ZVI_InstanceGetAddress()
{
    if (!s_Builders[B_INSTANCE].open)
        return reinterpret_cast<Unit *>(ZVI_REFUSE("Instance not open!"));
    return UnitOf(B_INSTANCE);
}

int ZVI_CALL ZVI_InstanceAddAttribute(int code, const char *name, const char *text)
{
    return AddAttribute(B_INSTANCE, code, name, text, __func__, __LINE__);
}

int ZVI_CALL ZVI_InstanceAddEnd() { return AddEnd(B_INSTANCE, __func__, __LINE__); }
Unit *ZVI_CALL ZVI_InstanceInsert(int, Unit *after) { return Insert(B_INSTANCE, after, __func__, __LINE__); }
void ZVI_CALL ZVI_InstanceClose() { Close(B_INSTANCE, __func__, __LINE__); }
int ZVI_CALL ZVI_InstanceFastInsert() { return FastInsert(B_INSTANCE, __func__, __LINE__); }

} // extern "C"

// --- blocks and groups

namespace {

constexpr int32_t LIBRARY_BLOCKS_MAX = 1000000;
constexpr uint32_t BLOCK_STORED_FLAGS = 0x80;
constexpr int32_t BLOCK_PRESENT = 1;

Unit *OpenBlock(int b, const char *function, int line)
{
    Unit *u = Open(b, function, line);
    if (!u)
        return nullptr;
    u->kind = UNIT_KIND_BLOCK;
    u->block.firstMember = u->block.lastMember = nullptr;
    u->block.blockFrame[0] = u->block.blockFrame[1] = 1e300;
    u->block.blockFrame[2] = u->block.blockFrame[3] = -1e300;
    return u;
}

int BlockAddEnd(int b, const char *function, int line)
{
    if (s_Builders[B_OBJECT].open || s_Builders[B_INSTANCE].open)
        return ZviRefuse(function, line, "Object or Instance still open!");
    return AddEnd(b, function, line);
}

// The number of live blocks of a list, and whether one has the name.
int32_t CountBlocks(int list, const char *name, bool *exists)
{
    int32_t count = 0;
    *exists = false;
    ListFilterKeeper keep;
    for (Unit *u = MemListFirst(list, 0, 0, 1); u; u = MemListNext(u)) {
        if (u->kind != UNIT_KIND_BLOCK)
            continue;
        ++count;
        if (std::strncmp(u->block.name, name, UNIT_NAME_SIZE) == 0)
            *exists = true;
    }
    return count;
}

// Stores the terminated block or group buffer at the end of the list of the
// library (999: the drawing's own blocks); the members go with it. The index
// entry links the members and marks the drawing or the library modified.
Unit *StoreBlock(int b, int32_t library)
{
    const int list = SymbolListOfLibrary(library);
    Unit *u = UnitOf(b);
    Unit *stored = MemListNewCopyAfter(list, u, u->bytes, nullptr);
    if (!stored)
        return nullptr;
    u->block.firstMember = u->block.lastMember = nullptr; // now the stored block's
    UndoStampCreated(stored);
    ObjectUpdateDisplayFlags(stored);
    stored->ident = BLOCK_PRESENT;
    stored->flags = BLOCK_STORED_FLAGS;
    if (library == LIBRARY_INDEX_OWN)
        SymbolIndexAddOwn(stored);
    else
        SymbolIndexAddLibrary(library, stored);
    FrameCalcBlock(stored, 1);
    return stored;
}

// A hidden block name no own block has yet: the program's own group names.
void MakeGroupName(char name[UNIT_NAME_SIZE])
{
    bool exists = true;
    while (exists) {
        SymbolMakeGroupName(name);
        CountBlocks(LIST_OWN_BLOCKS, name, &exists);
    }
}

Unit *GroupInsert(const char *function, int line)
{
    Builder &s = s_Builders[B_GROUP];
    if (!s.open)
        return reinterpret_cast<Unit *>(ZviRefuse(function, line, NAMES[B_GROUP].notOpen));
    if (!s.terminated)
        return reinterpret_cast<Unit *>(ZviRefuse(function, line, NAMES[B_GROUP].notTerminated));
    bool exists = false;
    if (CountBlocks(LIST_OWN_BLOCKS, UnitOf(B_GROUP)->block.name, &exists) >= SYMBOL_OWN_BLOCKS_MAX)
        return reinterpret_cast<Unit *>(ZviRefuse(function, line, "Too many local blocks!"));
    if (exists)
        return reinterpret_cast<Unit *>(ZviRefuse(function, line, "Group already exists!"));
    return StoreBlock(B_GROUP, LIBRARY_INDEX_OWN);
}

// Places an instance of the named own block (the matrix when given) and
// gives back its XProperty, or null.
XProperty *PlaceInstance(const char *blockName, const Matrix *matrix)
{
    Unit *u = ZVI_InstanceOpen();
    if (!u)
        return nullptr;
    ZviCopyText(u->instance.library, SYMBOL_OWN_LIBRARY, UNIT_NAME_SIZE);
    ZviCopyText(u->instance.block, blockName, UNIT_NAME_SIZE);
    if (matrix)
        u->instance.placement = *matrix;
    Unit *stored = ZVI_InstanceAddEnd() ? ZVI_InstanceInsert(ZVI_DRAWING, nullptr) : nullptr;
    ZVI_InstanceClose();
    return stored ? &stored->property : nullptr;
}

template <typename Insert>
XProperty *FastInsertBlock(int b, int makeInstance, const Matrix *matrix, Insert insert, const char *function,
                           int line)
{
    if (matrix && !ZviReadable(matrix, sizeof(Matrix)))
        return reinterpret_cast<XProperty *>(ZviRefuse(function, line, "Matrix address invalid!"));
    if (!s_Builders[b].open)
        return reinterpret_cast<XProperty *>(ZviRefuse(function, line, NAMES[b].notOpen));
    if (!s_Builders[b].terminated)
        BlockAddEnd(b, function, line);
    char name[UNIT_NAME_SIZE];
    ZviCopyText(name, UnitOf(b)->block.name, UNIT_NAME_SIZE);
    Unit *stored = s_Builders[b].terminated ? insert() : nullptr;
    Close(b, function, line);
    if (!stored)
        return nullptr;
    // Without an instance the builder's own copy is handed back.
    return makeInstance ? PlaceInstance(name, matrix) : &UnitOf(b)->property;
}

} // namespace

extern "C" {

Unit *ZVI_CALL ZVI_BlockOpen() { return OpenBlock(B_BLOCK, __func__, __LINE__); }

Unit *ZVI_CALL ZVI_BlockGetAddress()
{
    if (!s_Builders[B_BLOCK].open)
        return reinterpret_cast<Unit *>(ZVI_REFUSE("Block not open!"));
    return UnitOf(B_BLOCK);
}

int ZVI_CALL ZVI_BlockAddAttribute(int code, const char *name, const char *text)
{
    return AddAttribute(B_BLOCK, code, name, text, __func__, __LINE__);
}

int ZVI_CALL ZVI_BlockAddEnd() { return BlockAddEnd(B_BLOCK, __func__, __LINE__); }

Unit *ZVI_CALL ZVI_BlockInsert(int, const char *libraryName)
{
    const int length = ZviTextLength(libraryName, UNIT_NAME_SIZE);
    if (length < 0)
        return reinterpret_cast<Unit *>(ZVI_REFUSE("LibraryName address invalid!"));
    if (length > UNIT_NAME_SIZE)
        return reinterpret_cast<Unit *>(ZVI_REFUSE("LibraryName too long!"));
    const Builder &s = s_Builders[B_BLOCK];
    if (!s.open)
        return reinterpret_cast<Unit *>(ZVI_REFUSE("Block not open!"));
    if (!s.terminated)
        return reinterpret_cast<Unit *>(ZVI_REFUSE("Block is not correctly terminated!"));
    const char *name = UnitOf(B_BLOCK)->block.name;
    if (!NameTerminated(name) || !name[0])
        return reinterpret_cast<Unit *>(ZVI_REFUSE("Name too long!"));
    const int slot = SymbolFindLibrary(libraryName);
    if (slot < 0)
        return reinterpret_cast<Unit *>(ZVI_REFUSE("Library not found!"));
    bool exists = false;
    int list = LIST_OWN_BLOCKS;
    if (slot == LIBRARY_INDEX_OWN) {
        if (CountBlocks(LIST_OWN_BLOCKS, name, &exists) >= SYMBOL_OWN_BLOCKS_MAX)
            return reinterpret_cast<Unit *>(ZVI_REFUSE("Too many blocks in drawing!"));
    } else {
        list = LIST_SYMBOL_LIBRARY_FIRST + slot;
        if (!g_LibrarySlots.slots[slot].save)
            return reinterpret_cast<Unit *>(ZVI_REFUSE("Library may not be modified!"));
        if (CountBlocks(list, name, &exists) >= LIBRARY_BLOCKS_MAX)
            return reinterpret_cast<Unit *>(ZVI_REFUSE("Too many blocks in library!"));
    }
    if (exists)
        return reinterpret_cast<Unit *>(ZVI_REFUSE("Block already exists!"));
    return StoreBlock(B_BLOCK, slot);
}

void ZVI_CALL ZVI_BlockClose() { Close(B_BLOCK, __func__, __LINE__); }

XProperty *ZVI_CALL ZVI_BlockFastInsert(int makeInstance, const Matrix *matrix)
{
    return FastInsertBlock(
        B_BLOCK, makeInstance, matrix, [] { return ZVI_BlockInsert(ZVI_DRAWING, SYMBOL_OWN_LIBRARY); }, __func__,
        __LINE__);
}

Unit *ZVI_CALL ZVI_GroupOpen()
{
    Unit *u = OpenBlock(B_GROUP, __func__, __LINE__);
    if (u)
        MakeGroupName(u->block.name);
    return u;
}

Unit *ZVI_CALL ZVI_GroupGetAddress()
{
    if (!s_Builders[B_GROUP].open)
        return reinterpret_cast<Unit *>(ZVI_REFUSE("Group not open!"));
    return UnitOf(B_GROUP);
}

int ZVI_CALL ZVI_GroupAddEnd() { return BlockAddEnd(B_GROUP, __func__, __LINE__); }
Unit *ZVI_CALL ZVI_GroupInsert(int) { return GroupInsert(__func__, __LINE__); }
void ZVI_CALL ZVI_GroupClose() { Close(B_GROUP, __func__, __LINE__); }

XProperty *ZVI_CALL ZVI_GroupFastInsert(int makeInstance, const Matrix *matrix)
{
    return FastInsertBlock(
        B_GROUP, makeInstance, matrix, [] { return GroupInsert("ZVI_GroupFastInsert", __LINE__); }, __func__,
        __LINE__);
}

int ZVI_CALL ZVI_GroupApplyToUser(Unit *moduleObject)
{
    Unit *object = ZviLiveModuleObject(moduleObject);
    if (!object)
        return ZviRefuseShort(__func__, __LINE__, "UserPtr invalid!");
    if (!s_Builders[B_GROUP].open)
        return ZVI_REFUSE("Group not open!");
    char name[UNIT_NAME_SIZE];
    ZviCopyText(name, UnitOf(B_GROUP)->block.name, UNIT_NAME_SIZE);
    Unit *previous = SymbolGetInstanceBlock(object);
    if (!s_Builders[B_GROUP].terminated)
        ZVI_GroupAddEnd();
    Unit *stored = s_Builders[B_GROUP].terminated ? GroupInsert(__func__, __LINE__) : nullptr;
    ZVI_GroupClose();
    if (!stored)
        return 0;
    // The object's old state stays for undo: a dead copy of it, the object itself born now.
    Unit *backup = MemListDuplicate(LIST_DRAWING, object);
    if (!backup)
        return 0;
    UndoStampDeleted(backup);
    UndoStampCreated(object);
    ZviCopyText(object->instance.library, SYMBOL_OWN_LIBRARY, UNIT_NAME_SIZE);
    ZviCopyText(object->instance.block, name, UNIT_NAME_SIZE);
    object->instance.blockIndex = UNIT_INDEX_UNRESOLVED;
    object->instance.libraryIndex = LIBRARY_INDEX_OWN;
    if (previous)
        UndoStampDeleted(previous);
    return 1;
}

} // extern "C"

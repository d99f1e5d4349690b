// The enumeration stream: the record, the walk over objects, instances and
// blocks, the path buffer and the style of a record.
#include "plugin/stream.h"

#include <cmath>
#include <cstring>

#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_find.h"
#include "database/symbol_library.h"
#include "database/symbol_undo.h"
#include "display/output.h"
#include "display/symbol.h"
#include "files/file_library.h"
#include "geometry/flat.h"

namespace {

constexpr double HALF_DIAGONAL = 0.7071067811865;
constexpr int32_t STYLE_TAG = 255;
constexpr COLORREF WHITE = 0xFFFFFF;
constexpr int32_t FILL_ONLY_FLAGS = 0x1;
constexpr int32_t OUTLINE_ONLY_FLAGS = 0x10;

EnumerateRecord s_Record;
// What decides the walk is kept here, where the callback cannot write it;
// the record only shows a copy.
EnumCallback s_Callback = nullptr;
uint32_t s_Flags = 0;
uint32_t s_Mask = 0;
uint32_t s_Value = 0;
int32_t s_Abort = 0;
double *s_Points = nullptr;
int32_t *s_Codes = nullptr;
int32_t s_Count = 0;
int32_t s_Capacity = 0;
// The blocks whose members are being walked, outermost first. A block that
// contains itself (through other blocks or not) is not entered again: with
// two such instances the walk would double at every level down to the
// nesting limit.
Unit *s_Walked[STREAM_MAX_DEPTH + 4];
int32_t s_WalkedCount = 0;

bool BeingWalked(const Unit *block)
{
    for (int32_t i = 0; i < s_WalkedCount; ++i)
        if (s_Walked[i] == block)
            return true;
    return false;
}

OutputContext &Ctx() { return g_OutputContext; }
bool Has(uint32_t flag) { return (s_Flags & flag) != 0; }

void FreeBuffers()
{
    if (s_Points)
        mem_free_temp(s_Points, __FILE__, __LINE__);
    if (s_Codes)
        mem_free_temp(s_Codes, __FILE__, __LINE__);
    s_Points = nullptr;
    s_Codes = nullptr;
    s_Capacity = 0;
}

// The visible rectangle of the current drawing window, or everything.
void LoadVisibleRect()
{
    const DrawWindow *w = WindowGetRecord(g_ActiveWindow);
    if (w) {
        std::memcpy(Ctx().visibleRect, w->visibleRect, sizeof Ctx().visibleRect);
        std::memcpy(Ctx().pixelClipRect, w->safePixelRect, sizeof Ctx().pixelClipRect);
    } else {
        Ctx().visibleRect[0] = Ctx().visibleRect[1] = -1e300;
        Ctx().visibleRect[2] = Ctx().visibleRect[3] = 1e300;
    }
}

bool FrameOutside(const Unit *u, const Matrix *m)
{
    const double *v = Ctx().visibleRect;
    if (Ctx().depth == 0)
        return u->frame[0] > v[2] || u->frame[1] > v[3] || u->frame[2] < v[0] || u->frame[3] < v[1];
    return !OutputBoxVisible(u->frame[0], u->frame[1], u->frame[2], u->frame[3], m);
}

const char *LibraryName(const Unit *instance)
{
    // The cached index may not be filled yet: the name decides.
    const int32_t i = SymbolFindLibrary(instance->instance.library);
    if (i == LIBRARY_INDEX_OWN)
        return SYMBOL_OWN_LIBRARY;
    if (i >= 0 && i < g_LibrarySlots.count && i < SYMBOL_LIBRARY_SLOTS)
        return g_LibrarySlots.slots[i].info.title;
    return nullptr;
}

} // namespace

EnumerateRecord &StreamRecord() { return s_Record; }
uint32_t StreamFlags() { return s_Flags; }
int StreamBusy() { return s_Callback != nullptr; }
int StreamAborted() { return s_Abort; }

int StreamBeginEnumeration(uint32_t mask, uint32_t value, uint32_t flags, EnumCallback callback)
{
    s_Callback = nullptr;
    FreeBuffers();
    s_Points = static_cast<double *>(mem_alloc_temp(g_MaxPathPoints * 2 * sizeof(double), __FILE__, __LINE__));
    if (!s_Points)
        return 0;
    s_Codes = static_cast<int32_t *>(mem_alloc_temp(g_MaxPathPoints * sizeof(int32_t), __FILE__, __LINE__));
    if (!s_Codes) {
        FreeBuffers();
        return 0;
    }
    s_Capacity = static_cast<int32_t>(g_MaxPathPoints);
    s_Count = 0;
    s_Callback = callback;
    s_Mask = mask;
    s_Value = value;
    s_Flags = flags;
    s_Abort = 0;
    s_WalkedCount = 0;
    s_Record.object = s_Record.instance = s_Record.block = s_Record.module = nullptr;
    return 1;
}

void StreamEndEnumeration()
{
    FreeBuffers();
    s_Callback = nullptr;
}

void StreamSend(int32_t command, int32_t count)
{
    if (s_Abort || !s_Callback)
        return;
    s_Record.command = command;
    s_Record.count = count;
    s_Record.mask = s_Mask;
    s_Record.value = s_Value;
    s_Record.flags = s_Flags;
    s_Record.abort = 0;
    // Whatever the callback does through the interface leaves the walk untouched.
    const OutputContext saved = g_OutputContext;
    int goOn;
    {
        ListFilterKeeper keep;   // the callback may walk lists of its own
        SymbolStateKeeper text; // or use the text engine in the middle of a text
        goOn = s_Callback(&s_Record);
    }
    g_OutputContext = saved;
    if (!goOn)
        s_Abort = 1;
    s_Record.abort = s_Abort;
}

void StreamSetUpContext()
{
    const bool screen = Has(ENUM_SCREEN) && !Has(ENUM_EXPAND_INSTANCES);
    OutputResetContext(screen ? OUTPUT_COARSE : OUTPUT_ENUMERATE);
    Ctx().depth = 0;
    Ctx().instance = nullptr;
    MatrixInit(&Ctx().base);
    MatrixInit(&Ctx().current);
    LoadVisibleRect();
}

int StreamEnumerateUnit(Unit *unit)
{
    if (s_Abort)
        return 0;
    StreamSetUpContext();
    const XProperty none = XPropertyDefault();
    Matrix identity;
    MatrixInit(&identity);
    if (unit->kind == UNIT_KIND_OBJECT)
        return Has(ENUM_SKIP_OBJECTS) ? 1 : StreamEmitPlainObject(unit, &none, &identity);
    if (unit->kind == UNIT_KIND_INSTANCE || unit->kind == UNIT_KIND_PLUGIN)
        return Has(ENUM_SKIP_INSTANCES) ? 1 : StreamEmitInstance(unit, &none, &identity);
    return 0;
}

namespace {

bool HasGeometryPart(int32_t type)
{
    return !(type >= OBJTYPE_DIM_COORD && type <= OBJTYPE_DIM_PERI) && type != OBJTYPE_STD_TEXT &&
           type != OBJTYPE_FRAME_TEXT;
}

bool HasTextPart(int32_t type)
{
    return (type >= OBJTYPE_DIM_DIST && type <= OBJTYPE_DIM_PERI) || type == OBJTYPE_STD_TEXT ||
           type == OBJTYPE_FRAME_TEXT || type == OBJTYPE_REF_TEXT;
}

bool SkippedByType(int32_t type)
{
    if (type == OBJTYPE_COMMENT && !g_DrawingSettings.commentDisplay[0])
        return true;
    if (type >= OBJTYPE_GEO_LINE && type <= OBJTYPE_GEO_ELLI)
        return !g_DrawingSettings.outputGeometry || (Has(ENUM_SCREEN) && !g_DrawingSettings.displayGeometry[0]);
    return false;
}

} // namespace

int StreamEmitPlainObject(Unit *object, const XProperty *enclosing, const Matrix *m)
{
    if (s_Abort)
        return 0;
    if (Has(ENUM_SKIP_OBJECTS))
        return 1;
    if (Has(ENUM_CLIP_WINDOW) && FrameOutside(object, m))
        return 1;
    if (Has(ENUM_OBJECTS_ONLY)) {
        StreamSendBeginObject(object, UNIT_KIND_OBJECT);
        return s_Abort ? 0 : 1;
    }
    const int32_t type = object->object.type;
    if (SkippedByType(type))
        return 1;
    int result = 1;
    if (HasGeometryPart(type) && Has(ENUM_GEOMETRY | ENUM_INSTANCE_REFS) &&
        (OutputPrepareAttributes(type, &object->property, enclosing, &Ctx()) || !Has(ENUM_VISIBLE_ONLY))) {
        if (Ctx().depth > 0) {
            Ctx().current = *m;
            MatrixMultiply(&Ctx().current, &Ctx().base);
        }
        Unit *previous = s_Record.object;
        s_Record.object = object;
        if (!StreamEmitObject(object, Ctx().drawFlags))
            result = 0;
        s_Record.object = previous;
        if (Ctx().depth > 0)
            Ctx().current = Ctx().base;
    }
    if (HasTextPart(type) && !Has(ENUM_SKIP_TEXTS) && Has(ENUM_GEOMETRY | ENUM_INSTANCE_REFS | ENUM_FONTS_ONLY) &&
        !StreamEmitObjectTexts(object, enclosing, m))
        result = 0;
    return s_Abort ? 0 : result;
}

int StreamEmitInstance(Unit *instance, const XProperty *enclosing, const Matrix *m)
{
    if (s_Abort)
        return 0;
    if (Has(ENUM_SKIP_INSTANCES))
        return 1;
    if (Has(ENUM_CLIP_WINDOW) && FrameOutside(instance, m))
        return 1;
    if (Has(ENUM_OBJECTS_ONLY)) {
        StreamSendBeginObject(instance, instance->kind);
        return s_Abort ? 0 : 1;
    }
    Matrix placement = instance->instance.placement;
    MatrixMultiply(&placement, m);
    if (!Has(ENUM_EXPAND_INSTANCES) && !g_DrawingSettings.displayBlocks)
        return 1;
    if (Ctx().depth > STREAM_MAX_DEPTH)
        return 1;
    Unit *previous = s_Record.instance;
    s_Record.instance = instance;
    Unit *block = SymbolGetInstanceBlock(instance);
    if (block && !BeingWalked(block)) {
        const char *library = LibraryName(instance);
        if (Has(ENUM_BLOCK_NAMES) && library)
            StreamSendBlockName(instance->instance.block, library);
        if (Has(ENUM_INSTANCE_REFS)) {
            if (library)
                StreamSendInstanceRef(instance->instance.block, library, &placement);
        } else {
            Ctx().depth += 1;
            const double scale = Ctx().scale;
            Unit *current = Ctx().instance;
            const Matrix &own = instance->instance.placement;
            Ctx().scale *= std::hypot((own.a + own.b) * HALF_DIAGONAL, (own.c + own.d) * HALF_DIAGONAL);
            Ctx().instance = instance;
            StreamEmitBlock(block, &instance->property, enclosing, &placement);
            Ctx().depth -= 1;
            Ctx().scale = scale;
            Ctx().instance = current;
        }
    }
    s_Record.instance = previous;
    return s_Abort ? 0 : 1;
}

int StreamEmitBlock(Unit *block, const XProperty *instanceAttributes, const XProperty *enclosing, const Matrix *m)
{
    if (s_Abort)
        return 0;
    if (Has(ENUM_SKIP_INSTANCES))
        return 1;
    if (Has(ENUM_OBJECTS_ONLY)) {
        StreamSendBeginObject(block, UNIT_KIND_BLOCK);
        return s_Abort ? 0 : 1;
    }
    XProperty members;
    OutputInheritXProperty(instanceAttributes, &block->property, enclosing, &members);
    Unit *previous = s_Record.block;
    Unit *current = Ctx().instance;
    s_Record.block = block;
    Ctx().instance = block;
    const bool plain = Has(ENUM_GEOMETRY | ENUM_INSTANCE_REFS | ENUM_FONTS_ONLY);
    const bool noted = s_WalkedCount < int32_t(sizeof s_Walked / sizeof s_Walked[0]);
    if (noted)
        s_Walked[s_WalkedCount++] = block;
    for (Unit *member = block->block.firstMember; member && !s_Abort; member = member->next) {
        if (member->kind == UNIT_KIND_OBJECT && plain)
            StreamEmitPlainObject(member, &members, m);
        else if (member->kind == UNIT_KIND_INSTANCE || member->kind == UNIT_KIND_PLUGIN)
            StreamEmitInstance(member, &members, m);
    }
    if (noted)
        --s_WalkedCount;
    s_Record.block = previous;
    Ctx().instance = current;
    return 1;
}

namespace {

void NoticeBlock(Unit *block, const char *library)
{
    if (Has(ENUM_OBJECTS_ONLY)) {
        StreamSendBeginObject(block, UNIT_KIND_BLOCK);
    } else if (Has(ENUM_BLOCK_NAMES)) {
        StreamSendBlockName(block->block.name, library);
    }
}

} // namespace

int StreamEnumerateOwnBlocks()
{
    for (int32_t i = 0; i < g_OwnBlockIndex.count && !s_Abort; ++i)
        NoticeBlock(g_OwnBlockIndex.blocks[i], SYMBOL_OWN_LIBRARY);
    return s_Abort ? 0 : 1;
}

int StreamEnumerateLibraryBlocks(int slot)
{
    if (slot < 0 || slot >= g_LibrarySlots.count || slot >= SYMBOL_LIBRARY_SLOTS)
        return 0;
    const char *library = g_LibrarySlots.slots[slot].info.title;
    ListFilterKeeper keep;
    for (Unit *u = MemListFirst(LIST_SYMBOL_LIBRARY_FIRST + slot, 0, 0, 1); u && !s_Abort; u = MemListNext(u))
        if (u->kind == UNIT_KIND_BLOCK)
            NoticeBlock(u, library);
    return s_Abort ? 0 : 1;
}

namespace {

// A block of a library file, announced unless it is in memory already (the
// walk of the loaded blocks announces those).
bool NoticeFileBlock(Unit *block, void *context)
{
    const auto *library = static_cast<const char *>(context);
    if (!SymbolFindBlock(library, block->block.name))
        NoticeBlock(block, library);
    return !s_Abort;
}

} // namespace

int StreamEnumerateLibraryFile(int slot)
{
    if (s_Abort || slot < 0 || slot >= g_LibrarySlots.count || slot >= SYMBOL_LIBRARY_SLOTS)
        return 0;
    const LibrarySlot &library = g_LibrarySlots.slots[slot];
    if (!library.caching || !Has(ENUM_OBJECTS_ONLY | ENUM_BLOCK_NAMES))
        return 1;
    // The title is copied: a callback may reorder the library table.
    char title[UNIT_NAME_SIZE];
    lstrcpynA(title, library.info.title, sizeof title);
    if (!FileEnumerateLibrary(slot, NoticeFileBlock, title))
        s_Abort = 1; // an unreadable file fails the whole walk
    return s_Abort ? 0 : 1;
}

// --- fixed records

void StreamSendBeginObject(Unit *unit, int unitClass)
{
    switch (unitClass) {
    case UNIT_KIND_OBJECT:
        s_Record.object = unit;
        StreamSend(ENUM_CMD_BEGIN_OBJECT, 0);
        break;
    case UNIT_KIND_INSTANCE:
        s_Record.instance = unit;
        StreamSend(ENUM_CMD_BEGIN_INSTANCE, 0);
        break;
    case UNIT_KIND_BLOCK:
        s_Record.block = unit;
        StreamSend(ENUM_CMD_BEGIN_BLOCK, 0);
        break;
    case UNIT_KIND_PLUGIN:
        s_Record.module = unit;
        StreamSend(ENUM_CMD_BEGIN_MODULE, 0);
        break;
    default: break;
    }
}

void StreamSendFont(const FontDef *font)
{
    s_Record.font = *font;
    StreamSend(ENUM_CMD_FONT, 1);
}

void StreamSendBlockName(const char *block, const char *library)
{
    s_Record.name1 = library;
    s_Record.name2 = block;
    StreamSend(ENUM_CMD_BLOCK_NAME, 1);
}

void StreamSendInstanceRef(const char *block, const char *library, const Matrix *m)
{
    s_Record.name1 = library;
    s_Record.name2 = block;
    s_Record.matrix = m;
    StreamSetStyle(Ctx().drawFlags);
    StreamSend(ENUM_CMD_INSTANCE_REF, 1);
}

// --- path buffer

bool StreamMapsPoints() { return !Has(ENUM_UNTRANSFORMED) && Ctx().depth != 0; }

void StreamResetPath()
{
    if (!s_Abort)
        s_Count = 0;
}

void StreamMarkCodes(int32_t n)
{
    if (s_Abort)
        return;
    for (int32_t i = 0; i < n; ++i)
        g_WorkArrays.pathTypes[i] = i == 0 ? ENUM_CODE_MOVE : ENUM_CODE_LINE;
}

int StreamAddPoints(int32_t n)
{
    if (s_Abort || n < 1 || s_Count + n >= s_Capacity)
        return 0;
    const WorkPoint *in = g_WorkArrays.pathPoints;
    const uint32_t *codes = g_WorkArrays.pathTypes;
    const bool map = StreamMapsPoints();
    const Matrix &m = Ctx().current;
    // A mirror turns the arc to the other side of its chord: both the centre
    // offset and the direction change sign.
    const double arcSign = map && MatrixIsMirrored(&m) ? -1.0 : 1.0;
    for (int32_t i = 0; i < n; ++i) {
        double *out = s_Points + 2 * (s_Count + i);
        s_Codes[s_Count + i] = static_cast<int32_t>(codes[i]);
        if (codes[i] == ENUM_CODE_ARC_DATA) {
            out[0] = arcSign * in[i].x;
            out[1] = arcSign * in[i].y;
        } else if (map) {
            MatrixApply(m, in[i].x, in[i].y, &out[0], &out[1]);
        } else {
            out[0] = in[i].x;
            out[1] = in[i].y;
        }
    }
    s_Count += n;
    return 1;
}

namespace {

void SendPath(const double *points, const int32_t *codes, int32_t count, uint32_t drawFlags, int closed)
{
    s_Record.points = points;
    s_Record.codes = codes;
    s_Record.matrix = &Ctx().current;
    StreamSetStyle(drawFlags);
    StreamSend(closed ? ENUM_CMD_CLOSED_PATH : ENUM_CMD_OPEN_PATH, count);
}

} // namespace

void StreamEmitPath(uint32_t drawFlags, int closed)
{
    if (s_Abort || s_Count == 0)
        return;
    double lengths[2 * STREAM_MAX_DASH_PAIRS];
    if (Has(ENUM_NO_DASHING) || StreamDashPattern(Ctx().lineType, Ctx().lineWidth, lengths) == 0) {
        SendPath(s_Points, s_Codes, s_Count, drawFlags, closed);
        return;
    }
    if ((drawFlags & 0xF) && closed && Has(ENUM_FILLS))
        SendPath(s_Points, s_Codes, s_Count, FILL_ONLY_FLAGS, 1);
    if (!(drawFlags & DRAW_STROKE_BITS))
        return;
    for (int32_t start = 0; start < s_Count && !s_Abort;) {
        int32_t end = start + 1;
        while (end < s_Count && s_Codes[end] != ENUM_CODE_MOVE)
            ++end;
        if (!StreamDashPath(s_Points + 2 * start, s_Codes + start, end - start, OUTLINE_ONLY_FLAGS, closed))
            break;
        start = end;
    }
}

void StreamSetStyle(uint32_t drawFlags)
{
    const OutputContext &c = Ctx();
    s_Record.styleTag = STYLE_TAG;
    s_Record.pen = c.penIndex;
    s_Record.layer = c.layer;
    s_Record.lineColor = c.lineColour;
    s_Record.fillColor = c.fillColour;
    s_Record.lineType = c.lineType;
    s_Record.width = c.lineWidth;
    s_Record.capJoin = c.capJoin;
    const bool outline = (drawFlags & DRAW_STROKE_BITS) != 0;
    const bool fills = Has(ENUM_FILLS);
    if (drawFlags & DRAW_ERASER) {
        s_Record.drawMode = fills && outline ? ENUM_DRAW_ERASE_OUTLINE : ENUM_DRAW_ERASE;
        if (!fills && !outline) {
            s_Record.lineType = 0;
            s_Record.lineColor = c.fillColour;
        }
        s_Record.fillColor = WHITE;
    } else if (drawFlags & 0xF) {
        s_Record.drawMode = !fills ? ENUM_DRAW_OUTLINE : outline ? ENUM_DRAW_FILL_OUTLINE : ENUM_DRAW_FILL;
        if (!fills && !outline) {
            s_Record.lineType = 0;
            s_Record.lineColor = c.fillColour;
        }
    } else {
        s_Record.drawMode = ENUM_DRAW_OUTLINE;
    }
}

// The sections of a drawing file that are no definition tables: drawing
// information, settings, plug-in records, embedded bitmaps, the drawing's own
// blocks and its objects.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/system.h"
#include "app/window_progress.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "database/symbol_undo.h"
#include "database/undo.h"
#include "files/file_internal.h"
#include "files/file_library.h"
#include "files/file_onesection.h"
#include "files/file_records.h"
#include "files/file_unit.h"
#include "files/image_list.h"
#include "files/zvi.h"
#include "files/zvi_internal.h"
#include "geometry/frame.h"
#include "language/language.h"

namespace {

constexpr int32_t LIBRARY_BLOCKS_MAX = 1000000;
constexpr int DATE_TEXT_SIZE = 256;
constexpr uint32_t PROGRESS_EVERY = 256;   // units between progress reports
constexpr int32_t BITMAP_BLOCK_MAX = 24000;
constexpr int32_t BITMAP_FILE_HEADER = 14;
constexpr int32_t BITMAP_WRITE_BLOCK = 144;
constexpr const char *END_COMMENT = "END";

void DefaultClock(SYSTEMTIME *out)
{
    GetLocalTime(out);
}

bool IsUntitled(const char *title)
{
    return !title[0] || title[0] == '*';
}

void ReadProgressEvery(int entry, uint32_t done)
{
    if (done % PROGRESS_EVERY == 0)
        FileShowReadProgress(FileProgressText(entry), int32_t(done));
}

void WriteProgressEvery(int entry, uint32_t done)
{
    if (done % PROGRESS_EVERY == 0)
        FileShowWriteProgress(FileProgressText(entry), int32_t(done));
}

// --- PROFILE values --------------------------------------------------------------

uint8_t *ValueAt(DrawingSettings *s, const SettingsKey &key, const SettingsValue &v, int repeat, int i)
{
    return reinterpret_cast<uint8_t *>(s) + v.offset + size_t(repeat) * key.stride +
           size_t(i) * SystemSettingsValueSize(v);
}

int WriteValue(const SettingsValue &v, const uint8_t *p)
{
    switch (v.type) {
    case SV_BOOL: return ZVI_FileWriteCommaBool(*reinterpret_cast<const uint32_t *>(p) ? 1 : 0);
    case SV_INT: return ZVI_FileWriteCommaInt(*reinterpret_cast<const int32_t *>(p));
    case SV_DOUBLE: return ZVI_FileWriteCommaDouble(*reinterpret_cast<const double *>(p));
    case SV_COLOR: return ZVI_FileWriteCommaColorref(*reinterpret_cast<const COLORREF *>(p));
    case SV_STRING: {
        std::vector<char> text(v.capacity + 1, 0);
        std::memcpy(text.data(), p, v.capacity);
        text[v.capacity > 0 ? v.capacity - 1 : 0] = 0;
        return ZVI_FileWriteCommaString(text.data());
    }
    case SV_FONT: return ZVI_FileWriteCommaFontdef(reinterpret_cast<const FontDef *>(p));
    case SV_XPROPERTY: return ZVI_FileWriteCommaXProperty(reinterpret_cast<const XProperty *>(p));
    }
    return 0;
}

int ReadValue(const SettingsValue &v, uint8_t *p)
{
    switch (v.type) {
    case SV_BOOL: {
        int b = 0;
        if (!ZviReadCommaBool(&b))
            return 0;
        *reinterpret_cast<uint32_t *>(p) = uint32_t(b);
        return 1;
    }
    case SV_INT: return ZviReadCommaInt(reinterpret_cast<int32_t *>(p));
    case SV_DOUBLE: return ZviReadCommaDouble(reinterpret_cast<double *>(p));
    case SV_COLOR: return ZviReadCommaColorref(reinterpret_cast<COLORREF *>(p));
    case SV_STRING: return ZviReadCommaString(reinterpret_cast<char *>(p), int32_t(v.capacity));
    case SV_FONT: return ZVI_FileReadCommaFontdef(reinterpret_cast<FontDef *>(p));
    case SV_XPROPERTY: return ZVI_FileReadCommaXProperty(reinterpret_cast<XProperty *>(p));
    }
    return 0;
}

// Reads one key's values into the copy; 0 when the record is incomplete or
// unreadable.
int ReadKeyValues(const SettingsKey &key, DrawingSettings *copy, const DrawingSettings *defaults)
{
    bool ended = false;
    for (int r = 0; r < key.repeat; ++r)
        for (int k = 0; k < key.valueCount; ++k) {
            const SettingsValue &v = key.values[k];
            const uint32_t size = SystemSettingsValueSize(v);
            if (v.minVersion && uint32_t(g_FileVersion) < v.minVersion) {
                for (int i = 0; i < v.count; ++i)
                    *reinterpret_cast<int32_t *>(ValueAt(copy, key, v, r, i)) = -1;
                continue;
            }
            for (int i = 0; i < v.count; ++i) {
                uint8_t *p = ValueAt(copy, key, v, r, i);
                if (!ended && !ZVI_FileReadContinue())
                    ended = true;
                if (!ended) {
                    if (!ReadValue(v, p))
                        return 0;
                    continue;
                }
                if (ZVI_FileReadError())
                    return 0;
                switch (v.absent) {
                case SA_REQUIRED: return 0;
                case SA_KEEP: break;
                case SA_DEFAULT:
                    std::memcpy(p, ValueAt(const_cast<DrawingSettings *>(defaults), key, v, r, i), size);
                    break;
                case SA_ZERO: std::memset(p, 0, size); break;
                }
            }
        }
    return 1;
}

// --- unit lists ----------------------------------------------------------------------

int WriteListClose()
{
    return ZVI_FileWriteComment(END_COMMENT) && FileWriteUnitListEnd();
}

// The stored copy of a unit read into the scratch buffer, at the list's end.
Unit *StoreUnit(int list, const Unit *record)
{
    return MemListNewCopyAfter(list, record, record->bytes, nullptr);
}

bool CanStore(const Unit *record)
{
    return record->kind == UNIT_KIND_OBJECT || record->kind == UNIT_KIND_INSTANCE || record->kind == UNIT_KIND_PLUGIN;
}

const char *NoMemoryText(int32_t kind)
{
    switch (kind) {
    case UNIT_KIND_INSTANCE: return "Not enough memory for instances";
    case UNIT_KIND_PLUGIN: return "Not enough memory for user-defined";
    default: return "Not enough memory for objects";
    }
}

const char *UnitKindName(int32_t kind)
{
    switch (kind) {
    case UNIT_KIND_OBJECT: return "OBJECT";
    case UNIT_KIND_INSTANCE: return "INSTANCE";
    case UNIT_KIND_PLUGIN: return "USER-DEFINED";
    case UNIT_KIND_BLOCK: return "BLOCK";
    default: return "?";
    }
}

// Frames and flags of a unit just stored.
void FinishReadUnit(Unit *u)
{
    if (u->kind == UNIT_KIND_OBJECT)
        FrameCalcObject(u, 0);
    else if (u->kind == UNIT_KIND_PLUGIN)
        FrameFindMarkedElement(u, 0);
}

// --- bitmaps -------------------------------------------------------------------------

int WriteBitmap(const ImageData &d)
{
    if (!ZVI_FileWriteString(d.name) || !ZVI_FileWriteCommaInt(int32_t(d.size)) || !ZVI_FileWriteSemi())
        return 0;
    uint32_t done = 0;
    while (done < d.size) {
        uint32_t n = done == 0 ? uint32_t(BITMAP_FILE_HEADER) : uint32_t(BITMAP_WRITE_BLOCK);
        if (n > d.size - done)
            n = d.size - done;
        if (!ZVI_FileWriteInt(int32_t(n)) || !ZVI_FileWriteCommaBinary(d.bytes + done, int32_t(n)) ||
            !ZVI_FileWriteSemi())
            return 0;
        done += n;
    }
    return 1;
}

// --- blocks ----------------------------------------------------------------------------

// Marks the own blocks that the selected objects use, directly or nested.
void MarkBlocksOfSelection(std::vector<char> &used)
{
    const OwnBlockIndex &index = g_OwnBlockIndex;
    std::vector<Unit *> pending;
    auto use = [&](const char *library, const char *name) {
        if (lstrcmpA(library, SYMBOL_OWN_LIBRARY) != 0)
            return;
        const int32_t i = SymbolFindBlockIndex(LIBRARY_INDEX_OWN, name, 0);
        if (i >= 0 && !used[size_t(i)]) {
            used[size_t(i)] = 1;
            pending.push_back(index.blocks[i]);
        }
    };
    auto visit = [&](Unit *u) {
        if (u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN) {
            use(u->instance.library, u->instance.block);
        } else if (u->kind == UNIT_KIND_OBJECT && u->object.type == OBJTYPE_CLIP) {
            for (Element *e = UnitFirstElement(u); e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
                 e = ElementNext(e))
                if (e->kind == ELEM_CLIP_SURFACE) {
                    const auto *c = static_cast<ClipSurfaceData *>(ElementPayload(e));
                    use(c->library, c->block);
                }
        }
    };
    {
        ListFilterKeeper keep;
        for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_SELECTED, UNIT_SELECTED, 1); u; u = MemListNext(u))
            visit(u);
    }
    while (!pending.empty()) {
        Unit *b = pending.back();
        pending.pop_back();
        for (Unit *m = b->block.firstMember; m; m = m->next)
            visit(m);
    }
}

} // namespace

FileClockSource g_FileClock = DefaultClock;

void FileFormatStartTime()
{
    SYSTEMTIME now{};
    g_FileClock(&now);
    char date[DATE_TEXT_SIZE] = "";
    ConvertDateTimeByOption(&now, date);
    lstrcpynA(g_StartTimeText, date, START_TIME_TEXT_SIZE);
}

// ---------------------------------------------------------------------------
// DRAWING

int FileWriteSectionDrawing(const DrawingInfo *info, int library, uint32_t sections)
{
    if (!(sections & FILE_SECTION_DRAWING))
        return 1;
    FileShowWriteProgress(FileProgressText(FILE_PROGRESS_SECTIONS), 0);
    DrawingInfo empty{};
    const DrawingInfo &d = info ? *info : empty;
    // The saved date; the stamp of the drawing or library info takes it from here.
    FileFormatStartTime();
    char date[DRAWING_INFO_FIELD];
    lstrcpynA(date, g_StartTimeText, sizeof date);
    auto field = [](const char *text, int size) {
        std::vector<char> t(size_t(size), 0);
        std::memcpy(t.data(), text, size_t(size));
        t[size_t(size) - 1] = 0;
        return t;
    };
    ZVI_FileWriteKeyword(library ? KEY_LIBRARY : KEY_DRAWING);
    ZVI_FileWriteString(IsUntitled(d.title) ? "" : field(d.title, DRAWING_INFO_FIELD).data());
    for (const char *text : {d.description, d.author, d.created, d.lastAuthor}) {
        ZVI_FileWriteComma();
        ZVI_FileWriteNewline();
        ZVI_FileWriteString(field(text, DRAWING_INFO_FIELD).data());
    }
    ZVI_FileWriteComma();
    ZVI_FileWriteNewline();
    ZVI_FileWriteString(date);
    if (d.comment[0]) {
        ZVI_FileWriteComma();
        ZVI_FileWriteNewline();
        ZVI_FileWriteString(field(d.comment, DRAWING_INFO_COMMENT).data());
    }
    ZVI_FileWriteSemi();
    return FileWriteSectionEnd(library ? "LIBRARY" : "DRAWING");
}

int FileReadSectionDrawing(DrawingInfo *info, int, uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_DRAWING))
        return 1;
    FileShowReadProgress(FileProgressText(FILE_PROGRESS_SECTIONS), 0);
    DrawingInfo d{};
    bool ok = ZviReadString(d.title, DRAWING_INFO_FIELD) != 0;
    char *fields[] = {d.description, d.author, d.created, d.lastAuthor, d.saved};
    for (char *f : fields)
        if (ok && ZVI_FileReadContinue())
            ok = ZviReadCommaString(f, DRAWING_INFO_FIELD) != 0;
    if (ok && ZVI_FileReadContinue())
        ok = ZviReadCommaString(d.comment, DRAWING_INFO_COMMENT) != 0;
    if (!ok || !ZVI_FileReadSemi())
        return FileFailSection("DRAWING");
    if (d.title[0] == '*' && !d.title[1])
        d.title[0] = 0;
    if (info)
        *info = d;
    return 1;
}

// ---------------------------------------------------------------------------
// PROFILE

int FileWriteSectionProfile(int, uint32_t sections)
{
    if (!(sections & FILE_SECTION_PROFILE))
        return 1;
    FileShowWriteProgress(FileProgressText(FILE_PROGRESS_SECTIONS), 0);
    ZVI_FileWriteKeyword(KEY_PROFILE);
    DrawingSettings *s = &g_DrawingSettings;
    for (int k = 0; k < SETTINGS_KEYS; ++k) {
        const SettingsKey &key = g_SettingsKeys[k];
        ZVI_FileWriteProfileEntry(k);
        for (int r = 0; r < key.repeat; ++r)
            for (int v = 0; v < key.valueCount; ++v)
                for (int i = 0; i < key.values[v].count; ++i)
                    WriteValue(key.values[v], ValueAt(s, key, key.values[v], r, i));
        ZVI_FileWriteSemi();
    }
    return FileWriteSectionEnd("PROFILE");
}

int FileReadSectionProfile(int, uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_PROFILE))
        return 1;
    FileShowReadProgress(FileProgressText(FILE_PROGRESS_SECTIONS), 0);
    auto copy = std::make_unique<DrawingSettings>(g_DrawingSettings);
    std::unique_ptr<DrawingSettings> defaults;
    for (;;) {
        const int entry = ZVI_FileReadProfileEntry();
        if (entry == ZVI_PROFILE_END)
            break;
        if (entry < 0) {
            if (ZVI_FileReadError())
                return FileFailSection("PROFILE");
        } else {
            if (!defaults) {
                defaults = std::make_unique<DrawingSettings>();
                SystemInitDrawingSettings(defaults.get());
            }
            if (!ReadKeyValues(g_SettingsKeys[entry], copy.get(), defaults.get()))
                return FileFailSection("PROFILE");
        }
        if (!ZVI_FileReadSemi())
            return FileFailSection("PROFILE");
    }
    g_DrawingSettings = *copy;
    return 1;
}

// ---------------------------------------------------------------------------
// MODULE

int FileWriteSectionModule(int list, uint32_t sections)
{
    if (!(sections & FILE_SECTION_MODULE))
        return 1;
    FileShowWriteProgress(FileProgressText(FILE_PROGRESS_SECTIONS), 0);
    ZVI_FileWriteKeyword(KEY_MODULE);
    bool failed = false;
    for (Unit *u = g_ObjectLists[list].head; u && !ZVI_FileWriteError(); u = u->next) {
        if (u->kind != UNIT_KIND_OBJECT) {
            FileReport("Invalid unit in section =MODULE=");
            continue;
        }
        if (!FileWriteUnit(u, 0)) {
            failed = true;
            break;
        }
        if (WindowIsCancelled())
            break;
    }
    if (failed)
        return 0;
    WriteListClose();
    if (ZVI_FileWriteError()) {
        FileReport("Cannot write end of section =MODULE=");
        return 0;
    }
    return FileWriteSectionEnd("MODULE");
}

int FileReadSectionModule(int list, uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_MODULE))
        return 1;
    FileShowReadProgress(FileProgressText(FILE_PROGRESS_SECTIONS), 0);
    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return 0;
    Unit *record = reinterpret_cast<Unit *>(g_Universal1);
    for (int32_t n = 0;; ++n) {
        const int32_t size = FileReadUnit(record, g_ObjectLimits.scratchSize);
        if (size == 0)
            break;
        if (size < 0)
            return FileFailSection("MODULE");
        if (record->kind != UNIT_KIND_OBJECT) {
            FileReport("Invalid type %03ld\nof element %ld of section =MODULE=", long(record->kind), long(n));
            return 0;
        }
        for (Unit *u = g_ObjectLists[list].head; u;)
            u = (u->kind == UNIT_KIND_OBJECT && u->module == record->module && u->object.type == record->object.type)
                    ? MemListDelete(list, u)
                    : u->next;
        Unit *stored = StoreUnit(list, record);
        if (!stored) {
            FileReport("Not enough memory for object");
            return 0;
        }
        UndoStampPermanent(stored);
        if (WindowIsCancelled())
            break;
    }
    return 1;
}

// ---------------------------------------------------------------------------
// BITMAP

int FileWriteSectionBitmap(int, uint32_t sections, int all)
{
    if (!(sections & FILE_SECTION_BITMAP))
        return 1;
    FileShowWriteProgress(FileProgressText(FILE_PROGRESS_BITMAPS), 0);
    const int32_t count = ImageDataCount();
    std::vector<char> used;
    int32_t written = count;
    if (all)
        used.assign(size_t(count), 1);
    else
        written = ImageMarkUsed(sections, &used);
    ZVI_FileWriteKeyword(KEY_BITMAP);
    ZVI_FileWriteInt(written);
    ZVI_FileWriteSemi();
    int32_t done = 0;
    for (int32_t i = 0; i < count; ++i)
        if (used[size_t(i)]) {
            if (!WriteBitmap(*ImageDataAt(i)))
                break;
            FileShowWriteProgress(FileProgressText(FILE_PROGRESS_BITMAPS), ++done);
        }
    return FileWriteSectionEnd("BITMAP");
}

int FileReadSectionBitmap(int, uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_BITMAP))
        return 1;
    FileShowReadProgress(FileProgressText(FILE_PROGRESS_BITMAPS), 0);
    int32_t count = 0;
    if (!ZviReadInt(&count) || !ZVI_FileReadSemi()) {
        FileReport("Error in BITMAP header");
        return FileFailSection("BITMAP");
    }
    if (count < 0 || count > int32_t(IMAGE_DATA_MAX_COUNT)) {
        FileReport("Invalid BITMAP number\n( %ld )", long(count));
        return 0;
    }
    std::vector<uint8_t> data;
    std::vector<uint8_t> block(static_cast<size_t>(BITMAP_BLOCK_MAX), 0);
    for (int32_t n = 0; n < count; ++n) {
        char name[BITMAP_NAME_LIMIT];
        int32_t total = 0;
        if (!ZviReadString(name, BITMAP_NAME_LIMIT) || !name[0]) {
            FileReport("Invalid BITMAP name");
            return 0;
        }
        if (!ZviReadCommaInt(&total) || !ZVI_FileReadSemi()) {
            FileReport("Error in BITMAP definition");
            return 0;
        }
        if (total < 1) {
            FileReport("Invalid BITMAP total size\n( %ld )", long(total));
            return 0;
        }
        data.clear();
        // Grows with the blocks actually read: a huge total in a short file
        // ends at the end of the data instead of in one huge allocation.
        while (data.size() < size_t(total)) {
            int32_t size = 0;
            if (!ZviReadInt(&size)) {
                FileReport("Error in BITMAP data");
                return 0;
            }
            if (size < 1 || size > BITMAP_BLOCK_MAX || size_t(size) > size_t(total) - data.size()) {
                FileReport("Invalid BITMAP data block size\n( %ld )", long(size));
                return 0;
            }
            if (!ZviReadCommaBinary(block.data(), size) || !ZVI_FileReadSemi()) {
                FileReport("Error in BITMAP data");
                return 0;
            }
            data.insert(data.end(), block.begin(), block.begin() + size);
        }
        if (!ImageStoreData(name, data.data(), uint32_t(data.size()))) {
            FileReport("Error in BITMAP definition");
            return 0;
        }
        FileShowReadProgress(FileProgressText(FILE_PROGRESS_BITMAPS), n + 1);
    }
    return 1;
}

// ---------------------------------------------------------------------------
// BLOCK

int FileWriteSectionBlock(int list, uint32_t sections)
{
    if (!(sections & FILE_SECTION_BLOCK))
        return 1;
    FileShowWriteProgress(FileProgressText(FILE_PROGRESS_BLOCKS), 0);
    std::vector<Unit *> blocks;
    if (list == LIST_OWN_BLOCKS) {
        SymbolRebuildOwnIndex();
        std::vector<char> used(size_t(g_OwnBlockIndex.count), 1);
        if (sections & FILE_MODE_SELECTION) {
            std::fill(used.begin(), used.end(), 0);
            MarkBlocksOfSelection(used);
        }
        for (int32_t i = 0; i < g_OwnBlockIndex.count; ++i)
            if (used[size_t(i)])
                blocks.push_back(g_OwnBlockIndex.blocks[i]);
    } else {
        for (Unit *b = g_ObjectLists[list].head; b; b = b->next)
            if (b->kind != UNIT_KIND_BLOCK || (b->ident & 0x3) != BLOCK_STATE_DELETED) // stubs leave the file
                blocks.push_back(b);
    }
    ZVI_FileWriteKeyword(KEY_BLOCK);
    uint32_t done = 0;
    for (Unit *b : blocks) {
        if (b->kind != UNIT_KIND_BLOCK) {
            FileReport("Invalid unit in section =BLOCK=");
            continue;
        }
        if (!FileWriteUnit(b, 1))
            return 0;
        for (Unit *m = b->block.firstMember; m; m = m->next) {
            if (!CanStore(m)) {
                FileReport("Invalid unit within an internal block");
                continue;
            }
            if (!FileWriteUnit(m, 1))
                return 0;
        }
        if (!FileWriteUnitListEnd()) {
            FileReport("Cannot write BLOCK end");
            return 0;
        }
        WriteProgressEvery(FILE_PROGRESS_BLOCKS, ++done);
        if (WindowIsCancelled())
            break;
    }
    WriteListClose();
    if (ZVI_FileWriteError()) {
        FileReport("Cannot write end of section =BLOCK=");
        return 0;
    }
    return FileWriteSectionEnd("BLOCK");
}

int FileReadSectionBlock(int list, uint32_t sections, int merge)
{
    if (!FileSectionWanted(sections, FILE_SECTION_BLOCK))
        return 1;
    const bool drawing = list == LIST_OWN_BLOCKS;
    const int progress = drawing ? FILE_PROGRESS_BLOCKS : FILE_PROGRESS_LIBRARY_BLOCKS;
    FileShowReadProgress(FileProgressText(progress), 0);
    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return 0;
    Unit *record = reinterpret_cast<Unit *>(g_Universal1);
    const uint32_t capacity = g_ObjectLimits.scratchSize;
    int32_t blocks = 0;
    int32_t n = 0;
    // The names already in the list: a merge keeps the block it has.
    std::unordered_set<std::string> present;
    if (merge)
        for (Unit *u = g_ObjectLists[list].head; u; u = u->next)
            if (u->kind == UNIT_KIND_BLOCK)
                present.insert(u->block.name);
    for (;; ++n) {
        int32_t size = FileReadUnit(record, capacity);
        if (size == 0)
            break;
        if (size < 0)
            return FileFailSection("BLOCK");
        if (record->kind != UNIT_KIND_BLOCK) {
            if (record->kind == UNIT_KIND_OBJECT || record->kind == UNIT_KIND_INSTANCE ||
                record->kind == UNIT_KIND_PLUGIN)
                FileReport("Invalid type %s\nof element %ld, section =BLOCK=", UnitKindName(record->kind), long(n));
            else
                FileReport("Invalid type %03ld\nof element %ld, section =BLOCK=", long(record->kind), long(n));
            return 0;
        }
        if (++blocks > (drawing ? SYMBOL_OWN_BLOCKS_MAX : LIBRARY_BLOCKS_MAX)) {
            FileReport(drawing ? "Too many blocks in drawing" : "Too many blocks in library");
            return 0;
        }
        bool skip = false;
        if (merge) {
            skip = !record->block.name[0] || !present.insert(record->block.name).second;
        }
        Unit *block = nullptr;
        if (!skip) {
            block = StoreUnit(list, record);
            if (!block) {
                FileReport("Not enough memory for blocks");
                return 0;
            }
            // A block merged or pasted into the drawing belongs to that undo
            // step: cancelled or undone and unused, it goes with its objects.
            if (drawing && merge && UndoIsProcessOpen())
                UndoStampCreated(block);
            else
                UndoStampPermanent(block);
            block->ident = BLOCK_STATE_UNCHANGED;
            block->block.firstMember = block->block.lastMember = nullptr;
        }
        for (;; ++n) {
            size = FileReadUnit(record, capacity);
            if (size == 0)
                break;
            if (size < 0)
                return FileFailSection("BLOCK");
            if (!CanStore(record)) {
                if (record->kind == UNIT_KIND_BLOCK)
                    FileReport("Invalid unit BLOCK\nin element %ld, section =BLOCK=", long(n));
                else
                    FileReport("Invalid unit type %03ld\nin element %ld, section =BLOCK=", long(record->kind), long(n));
                return 0;
            }
            if (!block)
                continue;
            Unit *member = MemChainAppend(list, block, record, record->bytes);
            if (!member) {
                FileReport(NoMemoryText(record->kind));
                return 0;
            }
            UndoStampPermanent(member);
            FinishReadUnit(member);
        }
        ReadProgressEvery(progress, uint32_t(blocks));
        if (WindowIsCancelled())
            break;
    }
    scratch.Release();
    if (drawing)
        SymbolRebuildOwnIndex();
    // Older versions wrote blocks that contain themselves: the drawing opens,
    // and the instance that closes the cycle is kept but not expanded.
    Unit *bad = nullptr;
    if (const int broken = SymbolBreakCycles(list, &bad)) {
        FileReport("Block contains itself\n\"%s\", section =BLOCK=", bad->block.name);
        g_FileBrokenCycles += uint32_t(broken);
    }
    return 1;
}

// ---------------------------------------------------------------------------
// OBJECT

namespace {

bool IsCommentObject(const Unit *u)
{
    return u->kind == UNIT_KIND_OBJECT && u->object.type == OBJTYPE_COMMENT;
}

// The units of the list carrying mask, or only its Comment objects (the
// comments file: instances and plug-in units are passed over).
int WriteObjectUnits(int list, uint32_t mask, bool commentsOnly)
{
    FileShowWriteProgress(FileProgressText(FILE_PROGRESS_OBJECTS), 0);
    ZVI_FileWriteKeyword(KEY_OBJECT);
    uint32_t done = 0;
    {
        ListFilterKeeper keep;
        for (Unit *u = MemListFirst(list, mask, mask, 1); u; u = MemListNext(u)) {
            if (!CanStore(u)) {
                FileReport("Invalid unit in section =OBJECT=");
                continue;
            }
            if (commentsOnly && !IsCommentObject(u))
                continue;
            if (!FileWriteUnit(u, 1))
                return 0;
            WriteProgressEvery(FILE_PROGRESS_OBJECTS, ++done);
            if (WindowIsCancelled())
                break;
        }
    }
    WriteListClose();
    if (ZVI_FileWriteError()) {
        FileReport("Cannot write end of section =OBJECT=");
        return 0;
    }
    return FileWriteSectionEnd("OBJECT");
}

// The units of the section stored at the end of the list; merged ones are
// stamped into the running undo step. commentsOnly passes every other unit over.
int ReadObjectUnits(int list, int merge, bool commentsOnly)
{
    FileShowReadProgress(FileProgressText(FILE_PROGRESS_OBJECTS), 0);
    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return 0;
    Unit *record = reinterpret_cast<Unit *>(g_Universal1);
    for (int32_t n = 0;; ++n) {
        const int32_t size = FileReadUnit(record, g_ObjectLimits.scratchSize);
        if (size == 0)
            break;
        if (size < 0)
            return FileFailSection("OBJECT");
        if (!CanStore(record)) {
            if (record->kind == UNIT_KIND_BLOCK)
                FileReport("Invalid type BLOCK\nof element %ld of section =OBJECT=", long(n));
            else
                FileReport("Invalid type %03ld\nof element %ld of section =OBJECT=", long(record->kind), long(n));
            return 0;
        }
        if (!commentsOnly || IsCommentObject(record)) {
            Unit *u = StoreUnit(list, record);
            if (!u) {
                FileReport(NoMemoryText(record->kind));
                return 0;
            }
            if (merge) {
                UndoStampCreated(u);
                u->flags |= UNIT_MARKED;
            } else {
                UndoStampPermanent(u);
            }
            u->flags |= UNIT_TRANSFORM;
            FinishReadUnit(u);
        }
        ReadProgressEvery(FILE_PROGRESS_OBJECTS, uint32_t(n + 1));
        if (WindowIsCancelled())
            break;
    }
    return 1;
}

} // namespace

int FileWriteSectionObject(int list, uint32_t sections)
{
    if (!(sections & FILE_SECTION_OBJECT))
        return 1;
    return WriteObjectUnits(list, (sections & FILE_MODE_SELECTION) ? UNIT_SELECTED : 0, false);
}

int FileReadSectionObject(int list, uint32_t sections, int merge)
{
    if (!FileSectionWanted(sections, FILE_SECTION_OBJECT))
        return 1;
    return ReadObjectUnits(list, merge, false);
}

// ---------------------------------------------------------------------------
// The comment objects alone (the comments file of the Edit menu)

int FileWriteObjects()
{
    return WriteObjectUnits(LIST_DRAWING, 0, true);
}

int FileReadObjects()
{
    return ReadObjectUnits(LIST_DRAWING, 1, true);
}

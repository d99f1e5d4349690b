// Symbol-library files: whole loads and saves, blocks read by name, and the
// update of a caching library through a "$$$" copy of its old file.
#include "files/file_library.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/system.h"
#include "app/init.h"
#include "app/window_progress.h"
#include "database/storage.h"
#include "database/symbol_browse.h"
#include "database/symbol_charlib.h"
#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "database/symbol_library.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "files/file.h"
#include "files/zvi_internal.h"
#include "files/file_internal.h"
#include "files/file_records.h"
#include "files/file_unit.h"
#include "files/zvi.h"
#include "geometry/frame.h"
#include "language/language.h"
#include "language/language_entries.h"

namespace {

constexpr int kDefaultLibraryName = 9; // eDefaultNames: "Library %d"
constexpr int kTitleTaken = 43;        // eAlertTextSM
constexpr int kMessageSize = 512;
constexpr uint32_t LIBRARY_DEFAULTS_HEAD = UNIT_COMMON_SIZE - sizeof(XProperty);

bool InMaster() { return WindowIsMasterProgress() != 0; }

void Alert(const char *path, uint32_t code)
{
    if (!InMaster())
        AlertFileError(g_MainWnd, path ? path : "", code);
}

bool TitleTaken(const char *title, int except)
{
    for (int i = 0; i < g_LibrarySlots.count && i < SYMBOL_LIBRARY_SLOTS; ++i)
        if (i != except && g_LibrarySlots.slots[i].info.title[0] &&
            std::strcmp(g_LibrarySlots.slots[i].info.title, title) == 0)
            return true;
    return false;
}

int ReadLibraryRecord(int slot, uint32_t sections)
{
    if (!(sections & FILE_SECTION_DRAWING))
        return 1;
    DrawingInfo info{};
    if (!FileReadSectionDrawing(&info, 0, FILE_SECTION_DRAWING)) {
        FileReport("Error in section =LIBRARY=");
        return 0;
    }
    if (!info.title[0] || std::strcmp(info.title, "*") == 0)
        std::snprintf(info.title, sizeof info.title, eDefaultNames[kDefaultLibraryName], slot + 1);
    if (TitleTaken(info.title, slot)) {
        if (!InMaster()) {
            char text[kMessageSize];
            std::snprintf(text, sizeof text, eAlertTextSM[kTitleTaken], info.title);
            AlertOk(g_MainWnd, text);
        }
        return 0;
    }
    g_LibrarySlots.slots[slot].info = info;
    return 1;
}

bool IsAttributeKind(int kind) { return kind == 300 || kind == 301 || kind == 400 || kind == 401; }

int ReadSectionAttrib(int slot, uint32_t sections)
{
    if (!FileSectionWanted(sections, FILE_SECTION_ATTRIB))
        return 1;
    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return 0;
    uint8_t *chain = g_Universal1;
    const uint32_t room = g_ObjectLimits.maxUnitData;
    uint32_t used = 0;
    for (;;) {
        if (used + ELEM_SIZE_END > room) {
            FileReport("ATTRIB data exceeds maximum");
            return 0;
        }
        auto *e = reinterpret_cast<Element *>(chain + used);
        const int32_t size = FileReadElement(e, room - used);
        if (size < 0) {
            FileReport("Error in ATTRIB data");
            return 0;
        }
        used += uint32_t(size);
        if (e->kind == ELEM_END)
            break;
        if (!IsAttributeKind(e->kind)) {
            FileReport("Illegal ATTRIB type");
            return 0;
        }
    }
    if (ZVI_FileReadError())
        return FileFailSection("ATTRIB");
    LibrarySlot &s = g_LibrarySlots.slots[slot];
    if (s.attributes)
        MemSubFree(s.attributes);
    s.attributes = nullptr;
    if (used <= ELEM_SIZE_END)
        return 1;
    auto *record = static_cast<uint8_t *>(MemAllocBlock(LIBRARY_DEFAULTS_HEAD + used));
    if (!record) {
        FileReport("Not enough memory for attributes");
        return 0;
    }
    reinterpret_cast<Unit *>(record)->kind = UNIT_KIND_BLOCK;
    reinterpret_cast<Unit *>(record)->bytes = LIBRARY_DEFAULTS_HEAD + used;
    std::memcpy(record + LIBRARY_DEFAULTS_HEAD, chain, used);
    s.attributes = record;
    return 1;
}

int WriteSectionAttrib(int slot, uint32_t sections)
{
    const void *record = g_LibrarySlots.slots[slot].attributes;
    if (!(sections & FILE_SECTION_ATTRIB) || !record)
        return 1;
    ZVI_FileWriteKeyword(KEY_ATTRIB);
    FileWriteElements(reinterpret_cast<const Element *>(static_cast<const uint8_t *>(record) + LIBRARY_DEFAULTS_HEAD));
    return FileWriteSectionEnd("ATTRIB");
}

bool HasBlocks(int list)
{
    for (Unit *b = g_ObjectLists[list].head; b; b = b->next)
        if (b->kind == UNIT_KIND_BLOCK && !(b->ident & 0x2))
            return true;
    return false;
}

int WriteLibraryBody(int slot, uint32_t sections)
{
    const int list = LIST_SYMBOL_LIBRARY_FIRST + slot;
    return ZviWriteFileHeader() && FileWriteSectionDrawing(&g_LibrarySlots.slots[slot].info, 1, sections) &&
           WriteSectionAttrib(slot, sections) &&
           (!HasBlocks(list) || FileWriteSectionBlock(list, sections & FILE_SECTION_BLOCK)) &&
           ZVI_FileWriteEndOfFile() && ZVI_FileWriteFlush();
}

// Walks the sections after the =LIBRARY= record until =EXIT=.
template <class Section>
int ReadSections(Section section)
{
    for (;;) {
        if (!ZVI_FileReadNextSection())
            return 0;
        const int keyword = ZVI_FileReadLastKeyword();
        if (keyword == KEY_EXIT)
            return ZVI_FileReadEndOfFile();
        if (!section(keyword))
            return 0;
        if (WindowIsCancelled())
            return 0;
    }
}

void FailRead(const char *path, HANDLE file)
{
    const bool readError = ZVI_FileReadError() != 0;
    const long line = long(ZVI_FileReadCurrentLine());
    FileCloseLibraryFile(file);
    if (readError)
        FileReport("Syntax error in line %ld of ZVL file", line);
    if (!WindowIsCancelled())
        Alert(path, readError ? FILE_ALERT_SYNTAX : FILE_ALERT_WRONG_CONTENT);
}

// Block n of the block section into `record`: 1 read, 0 the section's end,
// -1 unreadable or not a block (reported).
int ReadBlockHead(Unit *record, uint32_t capacity, int32_t n)
{
    const int32_t size = FileReadUnit(record, capacity);
    if (size == 0)
        return 0;
    if (size < 0 || record->kind != UNIT_KIND_BLOCK) {
        if (size > 0)
            FileReport("Invalid type %03ld\nof element %ld, section =BLOCK=", long(record->kind), long(n));
        return -1;
    }
    return 1;
}

// Reads the member units of a block up to its end record, each into record,
// and hands each to member(); 0 on a read error, a unit that cannot be a
// member (reported) or when member() refuses.
template <class Member>
int ReadMembers(Unit *record, uint32_t capacity, int32_t element, Member member)
{
    for (;;) {
        const int32_t size = FileReadUnit(record, capacity);
        if (size == 0)
            return 1;
        if (size < 0)
            return 0;
        if (record->kind != UNIT_KIND_OBJECT && record->kind != UNIT_KIND_INSTANCE && record->kind != UNIT_KIND_PLUGIN) {
            FileReport("Invalid unit type %03ld\nin element %ld, section =BLOCK=", long(record->kind), long(element));
            return 0;
        }
        if (!member())
            return 0;
    }
}

} // namespace

int FileLoadLibrary(const char *path, int slot, uint32_t sections, int merge)
{
    FileInitIndexMaps();
    if (slot < 0 || slot >= SYMBOL_LIBRARY_SLOTS)
        return 0;
    HANDLE file;
    const int opened = FileOpenLibraryFile(path, &file);
    if (opened <= 0) {
        Alert(path, opened == 0 ? FILE_ALERT_CANNOT_OPEN : FILE_ALERT_WRONG_CONTENT);
        return 0;
    }
    WindowClearCancel();
    const int list = LIST_SYMBOL_LIBRARY_FIRST + slot;
    int ok = ReadLibraryRecord(slot, sections) && ReadSections([&](int keyword) {
                 if (keyword == KEY_ATTRIB)
                     return ReadSectionAttrib(slot, sections);
                 if (keyword == KEY_BLOCK)
                     return FileReadSectionBlock(list, sections, merge);
                 return 1;
             });
    if (!ok) {
        FailRead(path, file);
        SymbolClearLibrary(slot);
        return 0;
    }
    FileCloseLibraryFile(file);
    FileSetLibraryPath(slot, path);
    g_LibrarySlots.slots[slot].modified = 0;
    return 1;
}

int FileLoadLibraryInfo(const char *path, int slot, uint32_t sections)
{
    FileInitIndexMaps();
    HANDLE file;
    const int opened = FileOpenLibraryFile(path, &file);
    if (opened <= 0) {
        Alert(path, opened == 0 ? FILE_ALERT_CANNOT_OPEN : FILE_ALERT_WRONG_CONTENT);
        return 0;
    }
    WindowClearCancel();
    FileExitNameCache(); // the library's file is taken afresh
    int ok = ReadLibraryRecord(slot, sections);
    if (ok && ZVI_FileReadNextSection() && ZVI_FileReadLastKeyword() == KEY_ATTRIB)
        ok = ReadSectionAttrib(slot, sections);
    if (!ok) {
        FailRead(path, file);
        return 0;
    }
    FileCloseLibraryFile(file);
    FileSetLibraryPath(slot, path);
    return 1;
}

int FileWriteLibrary(const char *path, int slot, uint32_t sections)
{
    if (!path || slot < 0 || slot >= SYMBOL_LIBRARY_SLOTS) {
        Alert(path, FILE_ALERT_CANNOT_CREATE);
        return 0;
    }
    // Written beside the file, which only a complete library replaces.
    FileReplacement r;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!FileReplaceCreate(&r, path, FILE_REPLACE_EXPORT, &file))
        return 0;
    WindowClearCancel();
    int ok = ZVI_FileWriteInitDisk(file) && WriteLibraryBody(slot, sections);
    DWORD error = ZviWriteSystemError();
    ZVI_FileWriteExit();
    if (!ZVI_FileClose(file) && ok) {
        ok = 0;
        error = GetLastError();
    }
    const bool cancelled = WindowIsCancelled() != 0;
    if (!FileReplaceFinish(&r, ok && !cancelled, error, !cancelled)) {
        if (cancelled && !InMaster())
            AlertButton1(g_MainWnd, eAlertTextSM[45]);
        return 0;
    }
    FileExitNameCache(); // the file may be the one whose names are kept
    return 1;
}

int FileLoadLibraryBlocks(int slot, char (*names)[UNIT_NAME_SIZE], int count)
{
    if (slot < 0 || slot >= g_LibrarySlots.count)
        return 0;
    const char *path = g_LibrarySlots.slots[slot].path;
    FileInitIndexMaps();
    HANDLE file;
    const int opened = FileOpenLibraryFile(path, &file);
    if (opened <= 0) {
        Alert(path, opened == 0 ? FILE_ALERT_CANNOT_OPEN : FILE_ALERT_WRONG_CONTENT);
        return 0;
    }
    WindowClearCancel();
    const int list = LIST_SYMBOL_LIBRARY_FIRST + slot;
    int wanted = 0;
    for (int i = 0; i < count; ++i)
        wanted += names[i][0] ? 1 : 0;
    auto readBlocks = [&]() -> int {
        ScratchUni1 scratch(__FILE_NAME__, __LINE__);
        if (!scratch)
            return 0;
        Unit *record = reinterpret_cast<Unit *>(g_Universal1);
        const uint32_t capacity = g_ObjectLimits.scratchSize;
        for (int32_t n = 0; wanted > 0; ++n) {
            const int head = ReadBlockHead(record, capacity, n);
            if (head <= 0)
                return head == 0 ? 1 : 0;
            int found = -1;
            for (int i = 0; i < count && found < 0; ++i)
                if (names[i][0] && std::strcmp(names[i], record->block.name) == 0)
                    found = i;
            Unit *block = nullptr;
            if (found >= 0) {
                block = MemListNewCopyAfter(list, record, record->bytes, nullptr);
                if (!block) {
                    FileReport("Not enough memory for blocks");
                    return 0;
                }
                UndoStampPermanent(block);
                block->ident = BLOCK_STATE_UNCHANGED;
                block->flags = 0;
                block->block.firstMember = block->block.lastMember = nullptr;
                names[found][0] = 0;
                --wanted;
            }
            const int members = ReadMembers(record, capacity, n, [&]() {
                if (!block)
                    return true;
                Unit *member = MemChainAppend(list, block, record, record->bytes);
                if (!member) {
                    FileReport("Not enough memory for objects");
                    return false;
                }
                UndoStampPermanent(member);
                if (member->kind == UNIT_KIND_OBJECT)
                    FrameCalcObject(member, 1);
                return true;
            });
            if (!members)
                return 0;
            if (block)
                FrameCalcBlock(block, 1);
            if (WindowIsCancelled())
                return 1;
        }
        return 1;
    };
    bool done = false;
    int ok = ReadSections([&](int keyword) {
        if (keyword != KEY_BLOCK || done)
            return 1;
        done = true;
        if (!readBlocks())
            return 0;
        return 1;
    });
    // The reading may stop once every name was found, before =EXIT=.
    if (!ok && done && !ZVI_FileReadError() && wanted == 0)
        ok = 1;
    if (!ok) {
        FailRead(path, file);
        return 0;
    }
    FileCloseLibraryFile(file);
    return 1;
}

namespace {

// The blocks of a library file's block section, one after another into
// `record`, each handed to `each` (record, block number) before its members
// are read past; `each` answers false to stop. 1 at the section's end, 0
// when stopped or unreadable.
template <typename Each> int ReadBlockHeads(Unit *record, uint32_t capacity, Each each)
{
    for (int32_t n = 0;; ++n) {
        const int head = ReadBlockHead(record, capacity, n);
        if (head <= 0)
            return head == 0 ? 1 : 0;
        if (!each(record, n) || !ReadMembers(record, capacity, n, [] { return true; }))
            return 0;
    }
}

} // namespace

int FileEnumerateLibrary(int slot, FileLibraryBlockVisitor visit, void *context)
{
    if (slot < 0 || slot >= g_LibrarySlots.count || !visit)
        return 0;
    FileInitIndexMaps();
    HANDLE file;
    if (FileOpenLibraryFile(g_LibrarySlots.slots[slot].path, &file) <= 0)
        return 0;
    WindowClearCancel();
    const uint32_t capacity = g_ObjectLimits.scratchSize;
    // Not the shared scratch buffer: the visitor may run a plug-in's code.
    TempBlock<uint8_t> buffer(capacity, __FILE_NAME__, __LINE__);
    if (!buffer) {
        FileCloseLibraryFile(file);
        return 0;
    }
    Unit *record = reinterpret_cast<Unit *>(buffer.get());
    bool stopped = false;
    auto walkBlocks = [&]() -> int {
        return ReadBlockHeads(record, capacity, [&](Unit *block, int32_t) {
            block->prev = block->next = nullptr;
            block->block.firstMember = block->block.lastMember = nullptr;
            stopped = !visit(block, context);
            return !stopped;
        });
    };
    int ok = ReadSections([&](int keyword) { return keyword == KEY_BLOCK ? walkBlocks() : 1; });
    if (!ok && stopped && !ZVI_FileReadError())
        ok = 1;
    if (!ok && ZVI_FileReadError())
        FileReport("Syntax error in line %ld of ZVL file", long(ZVI_FileReadCurrentLine()));
    FileCloseLibraryFile(file);
    return ok;
}

// ---------------------------------------------------------------------------
// Block names of a caching library's file, for browsing

namespace {

constexpr int32_t NAME_CACHE_CAPACITY = 16384;
constexpr int32_t NAME_PROGRESS_EVERY = 64;
using BlockName = char[UNIT_NAME_SIZE];

// The names of one library file. A file that could not be read is kept as
// failed, so that walking its folders does not read and report it again.
struct NameCache {
    int slot = -1;
    char path[LIBRARY_PATH_SIZE] = "";
    std::unique_ptr<BlockName[]> names;
    int32_t count = 0;
    bool failed = false;
};
NameCache s_NameCache;

void HandToBrowser(const char *prefix, const char *name)
{
    SymbolBrowseAddFolder(prefix, name);
    SymbolBrowseAddBlock(prefix, name);
}

void CacheResult(int slot, const char *path, BlockName *names, int32_t count, bool failed)
{
    FileExitNameCache();
    NameCache &c = s_NameCache;
    if (!failed && count > 0) {
        c.names.reset(new (std::nothrow) BlockName[size_t(count)]);
        if (!c.names)
            return;
        std::memcpy(c.names.get(), names, size_t(count) * sizeof(BlockName));
        c.count = count;
    }
    c.slot = slot;
    c.failed = failed;
    lstrcpynA(c.path, path, LIBRARY_PATH_SIZE);
}

} // namespace

void FileInitNameCache()
{
    s_NameCache = NameCache{};
}

void FileExitNameCache()
{
    FileInitNameCache();
}

int FileIndexLibraryBlocks(const char *path, const char *prefix, int slot)
{
    const NameCache &c = s_NameCache;
    if (c.slot == slot && c.slot >= 0 && lstrcmpiA(c.path, path) == 0) {
        for (int32_t i = 0; i < c.count; ++i)
            HandToBrowser(prefix, c.names[i]);
        return c.failed ? 0 : 1;
    }
    FileInitIndexMaps();
    HANDLE file;
    const int opened = FileOpenLibraryFile(path, &file);
    if (opened <= 0) {
        Alert(path, opened == 0 ? FILE_ALERT_CANNOT_OPEN : FILE_ALERT_WRONG_CONTENT);
        CacheResult(slot, path, nullptr, 0, true);
        return 0;
    }
    TempBlock<BlockName> building(NAME_CACHE_CAPACITY, __FILE_NAME__, __LINE__);
    if (!building) {
        FileCloseLibraryFile(file);
        return 0;
    }
    const bool progress = !InMaster();
    if (progress) {
        char name[MAX_PATH] = "", text[kMessageSize];
        ZVI_FileShortName(path, name);
        std::snprintf(text, sizeof text, LANG_FORMAT(eDialogText, ReadingBlockNames, "%s"), name);
        WindowShowProgress(LANG(eHeadlineText, DrawingFile), text, 1);
    }
    WindowClearCancel();
    int32_t count = 0;
    bool overflow = false;
    // Every block's name; its members are read past.
    auto readNames = [&]() -> int {
        ScratchUni1 scratch(__FILE_NAME__, __LINE__);
        if (!scratch)
            return 0;
        Unit *record = reinterpret_cast<Unit *>(g_Universal1);
        return ReadBlockHeads(record, g_ObjectLimits.scratchSize, [&](Unit *block, int32_t n) {
            char *name = block->block.name;
            name[UNIT_NAME_SIZE - 1] = 0;
            HandToBrowser(prefix, name);
            if (count < NAME_CACHE_CAPACITY)
                std::memcpy(building.get()[count++], name, UNIT_NAME_SIZE);
            else
                overflow = true;
            if (n % NAME_PROGRESS_EVERY == 0)
                FileShowReadProgress(FileProgressText(FILE_PROGRESS_LIBRARY_BLOCKS), n);
            return !WindowIsCancelled();
        });
    };
    const int ok = ReadSections([&](int keyword) { return keyword == KEY_BLOCK ? readNames() : 1; });
    if (progress)
        WindowHideProgress();
    if (!ok) {
        const bool cancelled = WindowIsCancelled() != 0;
        FailRead(path, file);
        if (cancelled)
            FileExitNameCache();
        else
            CacheResult(slot, path, nullptr, 0, true);
        return 0;
    }
    FileCloseLibraryFile(file);
    // More names than the cache holds: the file is read again next time.
    if (overflow)
        FileExitNameCache();
    else
        CacheResult(slot, path, building.get(), count, false);
    return 1;
}

int FileUpdateLibrary(const char *path, const char *newPath, int slot)
{
    if (!path || slot < 0 || slot >= g_LibrarySlots.count)
        return 0;
    const int list = LIST_SYMBOL_LIBRARY_FIRST + slot;
    char oldPath[MAX_PATH];
    const char *target = newPath ? newPath : path;
    if (newPath) {
        lstrcpynA(oldPath, path, MAX_PATH);
    } else {
        lstrcpynA(oldPath, path, MAX_PATH - 4);
        char *dot = std::strrchr(oldPath, '.');
        char *slash = std::strrchr(oldPath, '\\');
        if (!dot || (slash && dot < slash))
            dot = oldPath + std::strlen(oldPath);
        std::strcpy(dot, ".$$$");
        DeleteFileA(oldPath);
        if (!MoveFileA(path, oldPath)) {
            Alert(oldPath, FILE_ALERT_CANNOT_CREATE);
            return 0;
        }
    }
    auto restore = [&]() {
        if (!newPath) {
            DeleteFileA(path);
            MoveFileA(oldPath, path);
        }
    };
    FileInitIndexMaps();
    HANDLE in;
    if (FileOpenLibraryFile(oldPath, &in) <= 0) {
        restore();
        Alert(oldPath, FILE_ALERT_SYNTAX);
        return 0;
    }
    HANDLE out = INVALID_HANDLE_VALUE;
    if (!ZVI_FileCreate(&out, target)) {
        FileCloseLibraryFile(in);
        restore();
        Alert(target, FILE_ALERT_CANNOT_CREATE);
        return 0;
    }
    WindowClearCancel();
    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    Unit *record = reinterpret_cast<Unit *>(g_Universal1);
    const uint32_t capacity = g_ObjectLimits.scratchSize;
    const uint32_t sections = FILE_SECTIONS_LIBRARY;
    // Blocks that memory holds new, changed or deleted replace the file's.
    auto heldInMemory = [&](const char *name) {
        for (Unit *b = g_ObjectLists[list].head; b; b = b->next)
            if (b->kind == UNIT_KIND_BLOCK && (b->ident & 0x1) && std::strcmp(b->block.name, name) == 0)
                return true;
        return false;
    };
    auto copyOld = [&]() -> int {
        for (int32_t n = 0;; ++n) {
            int32_t size = FileReadUnit(record, capacity);
            if (size == 0)
                return 1;
            if (size < 0 || record->kind != UNIT_KIND_BLOCK)
                return 0;
            const bool keep = !heldInMemory(record->block.name);
            if (keep && !FileWriteUnit(record, 1))
                return 0;
            if (!ReadMembers(record, capacity, n, [&]() { return !keep || FileWriteUnit(record, 1); }))
                return 0;
            if (keep && !FileWriteUnitListEnd())
                return 0;
        }
    };
    auto writeChanged = [&]() -> int {
        for (Unit *b = g_ObjectLists[list].head; b; b = b->next) {
            if (b->kind != UNIT_KIND_BLOCK || (b->ident & 0x3) != BLOCK_STATE_CHANGED)
                continue;
            if (!FileWriteUnit(b, 1))
                return 0;
            for (Unit *m = b->block.firstMember; m; m = m->next)
                if (!FileWriteUnit(m, 1))
                    return 0;
            if (!FileWriteUnitListEnd())
                return 0;
        }
        return ZVI_FileWriteComment("|END|") && FileWriteUnitListEnd() && FileWriteSectionEnd("BLOCK");
    };
    int ok = scratch && ZVI_FileWriteInitDisk(out) && ZviWriteFileHeader() &&
             FileWriteSectionDrawing(&g_LibrarySlots.slots[slot].info, 1, sections) &&
             WriteSectionAttrib(slot, sections) && ZVI_FileWriteKeyword(KEY_BLOCK);
    if (ok)
        ok = ReadSections([&](int keyword) { return keyword == KEY_BLOCK ? copyOld() : 1; });
    ok = ok && writeChanged() && ZVI_FileWriteEndOfFile() && ZVI_FileWriteFlush();
    scratch.Release();
    ZVI_FileWriteExit();
    const int closed = ZVI_FileClose(out);
    FileCloseLibraryFile(in);
    if (!ok || !closed || WindowIsCancelled()) {
        DeleteFileA(target);
        restore();
        if (WindowIsCancelled())
            AlertButton1(g_MainWnd, eAlertTextSM[45]);
        else
            Alert(target, FILE_ALERT_CANNOT_WRITE);
        return 0;
    }
    if (!newPath)
        DeleteFileA(oldPath);
    FileExitNameCache();
    // Stubs have done their work; changed blocks now match the file.
    for (Unit *b = g_ObjectLists[list].head; b;) {
        if (b->kind == UNIT_KIND_BLOCK && (b->ident & 0x3) == BLOCK_STATE_DELETED) {
            b = SymbolDeleteBlock(list, b);
            continue;
        }
        if (b->kind == UNIT_KIND_BLOCK)
            b->ident = BLOCK_STATE_UNCHANGED;
        b = b->next;
    }
    SymbolRebuildLibraryIndex();
    SymbolLinkAll();
    g_LibrarySlots.slots[slot].modified = 0;
    return 1;
}

int FileOpenLibrary(const char *path, int caching, int load, int save)
{
    const int slot = g_LibrarySlots.count;
    if (slot >= SYMBOL_LIBRARY_SLOTS || !FileCheckLibraryHeader(path))
        return -1;
    LibrarySlot &s = g_LibrarySlots.slots[slot];
    SymbolFreeLibrarySlot(&s);
    s.caching = uint32_t(caching);
    s.load = uint32_t(load);
    s.save = uint32_t(save);
    g_LibrarySlots.count = slot + 1;
    const int ok = caching ? FileLoadLibraryInfo(path, slot, FILE_SECTION_DRAWING | FILE_SECTION_ATTRIB)
                           : FileLoadLibrary(path, slot, FILE_SECTIONS_LIBRARY, 0);
    if (!ok) {
        FileRemoveLibrary(slot);
        return -1;
    }
    char title[DRAWING_INFO_FIELD];
    lstrcpynA(title, s.info.title, sizeof title);
    SymbolSortLibraries();
    SymbolRebuildLibraryIndex();
    SymbolLoadAllMissing();
    return SymbolFindLibrary(title);
}

void FileRemoveLibrary(int slot)
{
    const int count = g_LibrarySlots.count;
    if (slot < 0 || slot >= count)
        return;
    SymbolClearLibrary(slot);
    FileExitNameCache(); // slots move down
    const int last = count - 1;
    if (slot != last) {
        g_LibrarySlots.slots[slot] = g_LibrarySlots.slots[last];
        MemSwapLists(LIST_SYMBOL_LIBRARY_FIRST + slot, LIST_SYMBOL_LIBRARY_FIRST + last);
    }
    SymbolFreeLibrarySlot(&g_LibrarySlots.slots[last]);
    g_LibrarySlots.count = last;
    SymbolRebuildLibraryIndex();
    SymbolLinkAll();
}

// ---------------------------------------------------------------------------
// Slot services

void FileInitLibraryInfo(int slot)
{
    DrawingInfo &info = g_LibrarySlots.slots[slot].info;
    info = DrawingInfo{};
    lstrcpynA(info.title, eDefaultNames[kDefaultLibraryName], sizeof info.title);
    lstrcpynA(info.author, g_Options.authorName, sizeof info.author);
    lstrcpynA(info.lastAuthor, g_Options.authorName, sizeof info.lastAuthor);
    FileFormatStartTime();
    lstrcpynA(info.created, g_StartTimeText, sizeof info.created);
}

void FileStampLibraryInfo(int slot)
{
    DrawingInfo &info = g_LibrarySlots.slots[slot].info;
    lstrcpynA(info.saved, g_StartTimeText, sizeof info.saved);
}

namespace {

// The full form of a path; a name beginning with "*" stays as it is.
void StoreFullPath(char *out, int size, const char *path)
{
    char full[ZVI_PATH_SIZE] = "";
    if (path[0] != '*' && ZVI_FileFullPath(path, full))
        path = full;
    lstrcpynA(out, path, size);
}

} // namespace

void FileSetLibraryPath(int slot, const char *path)
{
    StoreFullPath(g_LibrarySlots.slots[slot].path, LIBRARY_PATH_SIZE, path);
}

void FileSetCharLibraryPath(int slot, const char *path)
{
    StoreFullPath(g_CharLibrarySlots.slots[slot].path, CHAR_LIBRARY_PATH_SIZE, path);
}

int FileProbeLibrarySlot(int slot)
{
    LibrarySlot &s = g_LibrarySlots.slots[slot];
    HANDLE file;
    if (FileOpenLibraryFile(s.path, &file) <= 0) {
        s.info.title[0] = 0;
        return 0;
    }
    DrawingInfo info{};
    const int ok = FileReadSectionDrawing(&info, 0, FILE_SECTION_DRAWING);
    FileCloseLibraryFile(file);
    if (!ok || TitleTaken(info.title, slot)) {
        if (!ok)
            InitErrorBox(__FILE_NAME__, __LINE__, "Error in section =LIBRARY=");
        s.info.title[0] = 0;
        return 0;
    }
    s.info = info;
    return 1;
}

int FileLibraryPathInUse(const char *path, int except)
{
    for (int i = 0; i < g_LibrarySlots.count && i < SYMBOL_LIBRARY_SLOTS; ++i)
        if (i != except && g_LibrarySlots.slots[i].path[0] && lstrcmpiA(g_LibrarySlots.slots[i].path, path) == 0)
            return 1;
    return 0;
}

int FileSaveLibrary(int slot)
{
    LibrarySlot &s = g_LibrarySlots.slots[slot];
    const int ok = s.caching ? FileUpdateLibrary(s.path, nullptr, slot)
                             : FileWriteLibrary(s.path, slot, FILE_SECTIONS_LIBRARY);
    if (ok) {
        FileStampLibraryInfo(slot);
        s.modified = 0;
    }
    return ok;
}

int FileQueryCloseLibrary(int slot)
{
    LibrarySlot &s = g_LibrarySlots.slots[slot];
    if (!s.modified)
        return 1;
    char text[kMessageSize];
    char name[MAX_PATH] = "";
    ZVI_FileShortName(s.path, name);
    std::snprintf(text, sizeof text, eAlertTextSM[40], s.info.title, name);
    const uint32_t answer = AlertYesNoCancel(g_MainWnd, text);
    if (answer == ALERT_NO)
        return 1;
    if (answer != ALERT_YES || s.path[0] == '*')
        return 0;
    if (!s.save) {
        std::snprintf(text, sizeof text, eAlertTextSM[79], s.info.title);
        if (AlertYesNoDefNo(g_MainWnd, text) != ALERT_YES)
            return 1;
    }
    return FileSaveLibrary(slot);
}

void FileLoadProfileLibraries()
{
    constexpr int kGoOnQuestion = 47; // eAlertTextSM
    const ProfileLists &lists = g_ProfileLists;
    for (int i = 0; i < lists.libraryCount && i < SYMBOL_LIBRARY_SLOTS; ++i) {
        const ProfileLibrary &p = lists.libraries[i];
        const int slot = g_LibrarySlots.count;
        LibrarySlot &s = g_LibrarySlots.slots[slot];
        SymbolFreeLibrarySlot(&s);
        s.caching = p.caching;
        s.load = p.load;
        s.save = p.save;
        g_LibrarySlots.count = slot + 1;
        const int ok = s.caching ? FileLoadLibraryInfo(p.fileName, slot, FILE_SECTION_DRAWING | FILE_SECTION_ATTRIB)
                                 : FileLoadLibrary(p.fileName, slot, FILE_SECTIONS_LIBRARY, 0);
        if (ok) {
            s.modified = 0;
            continue;
        }
        FileRemoveLibrary(slot);
        if (i + 1 < lists.libraryCount && AlertYesNo(g_MainWnd, eAlertTextSM[kGoOnQuestion]) != ALERT_YES)
            break;
    }
    SymbolSortLibraries();
    SymbolRebuildLibraryIndex();
    SymbolLoadAllMissing();
}

void FileStoreProfileLibraries()
{
    ProfileLists &lists = g_ProfileLists;
    lists.libraryCount = 0;
    for (int i = 0; i < g_LibrarySlots.count && i < SYMBOL_LIBRARY_SLOTS; ++i) {
        const LibrarySlot &s = g_LibrarySlots.slots[i];
        if (!s.path[0])
            continue;
        ProfileLibrary &p = lists.libraries[lists.libraryCount++];
        lstrcpynA(p.fileName, s.path, sizeof p.fileName);
        p.caching = s.caching;
        p.load = s.load;
        p.save = s.save;
    }
}

int FileQueryCloseLibraries()
{
    for (int i = 0; i < g_LibrarySlots.count; ++i)
        if (!FileQueryCloseLibrary(i))
            return 0;
    return 1;
}

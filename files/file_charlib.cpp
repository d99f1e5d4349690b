// Character libraries: library files whose blocks are characters. They are
// read, never written.
#include "files/file_charlib.h"

#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init.h"
#include "app/system.h"
#include "app/window_progress.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_charlib.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "display/symbol.h"
#include "files/file.h"
#include "files/file_internal.h"
#include "files/file_library.h"
#include "files/file_records.h"
#include "files/file_unit.h"
#include "files/zvi.h"
#include "geometry/frame.h"
#include "language/language.h"

namespace {

constexpr int kDefaultLibraryName = 19;  // eDefaultNames: the title of an untitled font library
constexpr int kTitleTaken = 43;          // eAlertTextSM: a library of that title is loaded
constexpr int kHeadlineLoad = 15;        // eHeadlineText
constexpr int kTextLoading = 20;         // eDialogText: loading %s
constexpr int kTextCharacters = 21;      // eDialogText: characters read
constexpr int kMessageSize = 512;

bool InMaster()
{
    return g_Progress.master != 0;
}

// Member types a character keeps: lines, curves, circles, ellipses, hatches and surfaces.
bool IsCharacterMemberType(int32_t type)
{
    switch (type) {
    case OBJTYPE_LINE: case OBJTYPE_HATCH: case OBJTYPE_CIRCLE: case OBJTYPE_CIRC_ARC: case OBJTYPE_CIRC_SEC:
    case OBJTYPE_CIRC_SEGM: case OBJTYPE_ZIGZAG: case OBJTYPE_SPLINE: case OBJTYPE_CURVE: case OBJTYPE_SURFACE:
    case OBJTYPE_ELLIPSE: case OBJTYPE_ELLI_ARC: case OBJTYPE_ELLI_SEC: case OBJTYPE_ELLI_SEGM:
        return true;
    default:
        return false;
    }
}

bool TitleTaken(const char *title, int except)
{
    for (int i = 0; i < CHAR_LIBRARY_SLOTS; ++i)
        if (i != except && g_CharLibrarySlots.slots[i].info.title[0] &&
            lstrcmpA(g_CharLibrarySlots.slots[i].info.title, title) == 0)
            return true;
    return false;
}

// Reads the members of one character block; 0 on a failure already reported.
int ReadMembers(int list, Unit *block, Unit *record, uint32_t capacity)
{
    for (;;) {
        const int32_t size = FileReadUnit(record, capacity);
        if (size == 0)
            return 1;
        if (size < 0)
            return FileFailSection("BLOCK");
        switch (record->kind) {
        case UNIT_KIND_OBJECT:
            if (!IsCharacterMemberType(record->object.type)) {
                FileReport("An OBJECT has been ignored");
                continue;
            }
            break;
        case UNIT_KIND_INSTANCE: FileReport("An INSTANCE has been ignored"); continue;
        case UNIT_KIND_PLUGIN: FileReport("An USER-DEFINED has been ignored"); continue;
        default: FileReport("Invalid unit within a BLOCK"); return 0;
        }
        if (!block)
            continue;
        Unit *member = MemChainAppend(list, block, record, record->bytes);
        if (!member) {
            FileReport("Not enough memory for objects");
            return 0;
        }
        UndoStampPermanent(member);
        member->property = XPropertyDefault();
        FrameCalcObject(member, 0);
    }
}

} // namespace

// Opens a library file and reads its header and first keyword; the reader is
// then positioned at the =LIBRARY= record.
int FileOpenLibraryFile(const char *path, HANDLE *file)
{
    *file = INVALID_HANDLE_VALUE;
    if (!path || !path[0] || !ZVI_FileOpen(file, path))
        return 0;
    if (!ZVI_FileReadInitDisk(*file) || !ZviReadFileHeader(1) || ZVI_FileReadLastKeyword() != KEY_LIBRARY) {
        InitErrorBox(__FILE_NAME__, __LINE__, "Not a LIBRARY file");
        ZVI_FileReadExit();
        ZVI_FileClose(*file);
        *file = INVALID_HANDLE_VALUE;
        return -1;
    }
    return 1;
}

void FileCloseLibraryFile(HANDLE file)
{
    ZVI_FileReadExit();
    ZVI_FileClose(file);
}


int FileReadSectionCharLibrary(const char *path, int slot)
{
    (void)path;
    FileShowReadProgress(FileProgressText(FILE_PROGRESS_SECTIONS), 0);
    DrawingInfo info{};
    if (!FileReadSectionDrawing(&info, 0, FILE_SECTION_DRAWING)) {
        FileReport("Error in section =LIBRARY=");
        return 0;
    }
    if (!info.title[0])
        std::snprintf(info.title, sizeof info.title, eDefaultNames[kDefaultLibraryName], slot + 1);
    if (TitleTaken(info.title, slot)) {
        if (!InMaster()) {
            char text[kMessageSize];
            std::snprintf(text, sizeof text, eAlertTextSM[kTitleTaken], info.title);
            AlertOk(g_MainWnd, text);
        }
        return 0;
    }
    g_CharLibrarySlots.slots[slot].info = info;
    return 1;
}

int FileReadCharacters(int list)
{
    FileShowReadProgress(eDialogText[kTextCharacters], 0);
    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return 0;
    Unit *record = reinterpret_cast<Unit *>(g_Universal1);
    const uint32_t capacity = g_ObjectLimits.scratchSize;
    bool taken[CHAR_CODE_COUNT] = {};
    int32_t characters = 0;
    for (;;) {
        const int32_t size = FileReadUnit(record, capacity);
        if (size == 0)
            break;
        if (size < 0)
            return FileFailSection("BLOCK");
        if (record->kind != UNIT_KIND_BLOCK) {
            FileReport("Invalid unit in section =BLOCK=");
            return 0;
        }
        const int code = ConvertStringToIntPlain(record->block.name);
        Unit *block = nullptr;
        if (code >= CHAR_CODE_FIRST && code <= CHAR_CODE_LAST && !taken[code - CHAR_CODE_FIRST]) {
            taken[code - CHAR_CODE_FIRST] = true;
            block = MemListNewCopyAfter(list, record, record->bytes, nullptr);
            if (!block) {
                FileReport("Not enough memory for characters");
                return 0;
            }
            UndoStampPermanent(block);
            block->ident = 0;
            block->flags = 0;
            block->property.layer = 0;
            block->block.firstMember = block->block.lastMember = nullptr;
        } else {
            FileReport("Character to load already exists\nor\nillegal character name");
        }
        if (!ReadMembers(list, block, record, capacity))
            return 0;
        if (block)
            FrameCalcBlock(block, 1);
        FileShowReadProgress(eDialogText[kTextCharacters], ++characters);
        if (WindowIsCancelled())
            break;
    }
    if (ZVI_FileReadError())
        return FileFailSection("BLOCK");
    return 1;
}

int FileProbeCharLibrarySlot(int slot)
{
    CharLibrarySlot &s = g_CharLibrarySlots.slots[slot];
    HANDLE file;
    if (FileOpenLibraryFile(s.path, &file) <= 0) {
        s.info.title[0] = 0;
        return 0;
    }
    DrawingInfo info{};
    const int ok = FileReadSectionDrawing(&info, 0, FILE_SECTION_DRAWING);
    FileCloseLibraryFile(file);
    if (!ok) {
        InitErrorBox(__FILE_NAME__, __LINE__, "Error in section =LIBRARY=");
        s.info.title[0] = 0;
        return 0;
    }
    if (info.title[0] && TitleTaken(info.title, slot)) {
        s.info.title[0] = 0;
        return 0;
    }
    s.info = info;
    return 1;
}

int FileLoadCharLibrary(const char *path, int slot)
{
    FileInitIndexMaps();
    if (slot < 0 || slot >= CHAR_LIBRARY_SLOTS)
        return 0;
    HANDLE file;
    const int opened = FileOpenLibraryFile(path, &file);
    if (opened == 0) {
        if (!InMaster())
            AlertFileError(g_MainWnd, path ? path : "", FILE_ALERT_CANNOT_OPEN);
        return 0;
    }
    if (opened < 0) {
        if (!InMaster())
            AlertFileError(g_MainWnd, path, FILE_ALERT_WRONG_CONTENT);
        return 0;
    }
    char name[MAX_PATH] = "";
    ZVI_FileShortName(path, name);
    char text[kMessageSize];
    std::snprintf(text, sizeof text, eDialogText[kTextLoading], name);
    const bool progress = !InMaster();
    if (progress)
        WindowShowProgress(eHeadlineText[kHeadlineLoad], text, 1);
    const int list = LIST_CHAR_LIBRARY_FIRST + slot;
    int ok = FileReadSectionCharLibrary(path, slot);
    bool cancelled = false;
    while (ok) {
        if (!ZVI_FileReadNextSection()) {
            ok = 0;
            break;
        }
        const int keyword = ZVI_FileReadLastKeyword();
        if (keyword == KEY_EXIT) {
            ok = ZVI_FileReadEndOfFile();
            break;
        }
        if (keyword == KEY_BLOCK)
            ok = FileReadCharacters(list);
        if (WindowIsCancelled()) {
            cancelled = true;
            break;
        }
    }
    const bool readError = ZVI_FileReadError() != 0;
    const long line = long(ZVI_FileReadCurrentLine());
    FileCloseLibraryFile(file);
    if (progress)
        WindowHideProgress();
    if (!ok) {
        SymbolClearCharLibrary(slot);
        if (!InMaster()) {
            if (readError)
                FileReport("Syntax error in line %ld of ZVL file", line);
            AlertFileError(g_MainWnd, path, readError ? FILE_ALERT_SYNTAX : FILE_ALERT_WRONG_CONTENT);
        }
        return 0;
    }
    if (cancelled) {
        SymbolClearCharLibrary(slot);
        return 0;
    }
    FileSetCharLibraryPath(slot, path);
    if (slot >= g_CharLibrarySlots.count)
        g_CharLibrarySlots.count = slot + 1;
    SymbolIndexCharLibraries();
    SymbolFreeFonts();
    return 1;
}

void FileRemoveCharLibrary(int slot)
{
    const int count = g_CharLibrarySlots.count;
    if (slot < 0 || slot >= count)
        return;
    SymbolClearCharLibrary(slot);
    const int last = count - 1;
    if (slot != last) {
        g_CharLibrarySlots.slots[slot] = g_CharLibrarySlots.slots[last];
        MemSwapLists(LIST_CHAR_LIBRARY_FIRST + slot, LIST_CHAR_LIBRARY_FIRST + last);
    }
    CharLibrarySlot &freed = g_CharLibrarySlots.slots[last];
    std::memset(&freed, 0, sizeof freed);
    g_CharLibrarySlots.count = last;
    SymbolIndexCharLibraries();
    SymbolFreeFonts();
}

int FileApplyCharLibraryMarks()
{
    int marked = 0;
    for (int i = 0; i < g_CharLibrarySlots.count;) {
        CharLibrarySlot &slot = g_CharLibrarySlots.slots[i];
        if (slot.remove) {
            marked = 1;
            FileRemoveCharLibrary(i);
            continue;
        }
        if (slot.added) {
            marked = 1;
            char path[CHAR_LIBRARY_PATH_SIZE];
            lstrcpynA(path, slot.path, sizeof path);
            slot.added = 0;
            slot.info.title[0] = 0; // the load reads it again
            if (!FileLoadCharLibrary(path, i)) {
                FileRemoveCharLibrary(i);
                continue;
            }
        }
        ++i;
    }
    if (marked) {
        SymbolSortCharLibraries();
        SymbolIndexCharLibraries();
    }
    SymbolFreeFonts();
    return marked;
}

void FileLoadProfileCharLibraries()
{
    constexpr int kGoOnQuestion = 47; // eAlertTextSM
    const ProfileLists &lists = g_ProfileLists;
    for (int i = 0; i < lists.fontCount && i < CHAR_LIBRARY_SLOTS; ++i) {
        const int slot = g_CharLibrarySlots.count;
        if (FileLoadCharLibrary(lists.fonts[i], slot))
            continue;
        if (i + 1 < lists.fontCount && AlertYesNo(g_MainWnd, eAlertTextSM[kGoOnQuestion]) != ALERT_YES)
            break;
    }
    SymbolSortCharLibraries();
    SymbolIndexCharLibraries();
    SymbolFreeFonts();
}

void FileStoreProfileCharLibraries()
{
    ProfileLists &lists = g_ProfileLists;
    lists.fontCount = 0;
    for (int i = 0; i < g_CharLibrarySlots.count && i < CHAR_LIBRARY_SLOTS; ++i)
        if (g_CharLibrarySlots.slots[i].path[0] && !g_CharLibrarySlots.slots[i].added)
            lstrcpynA(lists.fonts[lists.fontCount++], g_CharLibrarySlots.slots[i].path, SYSTEM_PATH_SIZE);
}

// The Block menu's handler (900 to 915): inserting instances, new blocks from
// the selection, purging unused blocks and exploding instances. The blocks,
// instances and library files belong to the drawing database and the files.
#include "commands/menu.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/status.h"
#include "app/system.h"
#include "app/window_title.h"
#include "commands/command_menu.h"
#include "commands/command_state.h"
#include "commands/input_points.h"
#include "commands/input_prepare_dialogs.h"
#include "commands/menu_block.h"
#include "database/object_attributes.h"
#include "database/object_rects.h"
#include "database/object_select.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "database/symbol_explode.h"
#include "database/symbol_index.h"
#include "database/symbol_library.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box06_library.h"
#include "dialogs/box12.h"
#include "dialogs/box14.h"
#include "display/output_paint.h"
#include "files/file_drawinginfo.h"
#include "files/file_library.h"
#include "language/language.h"

BlockRead g_BlockRead = {"*", "", 0, 0, 0, 0, 0};
BlockSelect g_BlockEditSelect = {"*", "", 1};
BlockInsertSlot g_BlockInsertEntry = {"*", "", 1.0, 0.0, 1, 0, 0, 0, 0, 0, 0};

namespace {

constexpr int TITLE_SIZE = 256;
constexpr double NO_FRAME = 1e300;
constexpr int kMakeEmptyBlock = 42;   // eAlertTextSM
constexpr int kPurgeQuestion = 51;    // eAlertTextSM
constexpr int kSaveAnyway = 79;       // eAlertTextSM
constexpr int kGoOnWithNext = 97;     // eAlertTextSM

struct Title {
    char text[TITLE_SIZE] = {};
    explicit Title(int commandId) { ConvertGetCommandTitle(text, commandId); }
};

void WaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }

// The command matrix (the entry's scale and angle, set before the input)
// moved to the accepted point.
void Insert(const BlockInsertSlot &entry)
{
    Matrix m = g_CommandState->matrix;
    MatrixMove(&m, g_ConstructionPoints[0].x, g_ConstructionPoints[0].y);
    UndoInitProcess();
    if (SymbolInsert(&entry, &m)) {
        UndoFinishProcess();
        OutputInvalidateAreaAll(g_ChangedRect);
    } else {
        UndoCancelProcess();
    }
}

// Edits the block's own property in the property sheet and writes it back.
void EditBlockProperty(HWND window, const char *title, const char *library, const char *block)
{
    auto set = std::make_unique<ObjectAttributes>();
    if (!SymbolGetBlockProperty(library, block, set.get()))
        return;
    if (Box14ObjInfoSingle(window, title, set.get(), 0, nullptr, nullptr, 1, 1, nullptr) &&
        !SymbolSetBlockProperty(library, block, set.get()))
        AlertSM2(window);
}

void NewBlock(HWND window, int commandId)
{
    const bool framed = commandId == 903;
    const ConstructionPoint &ref = g_ConstructionPoints[framed ? 3 : 1];
    if (!ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED)) {
        if (!framed || AlertButtons62(window, eAlertTextSM[kMakeEmptyBlock]) == ALERT_CANCEL)
            return;
    }
    Title title(commandId);
    if (!Box12BlockRead(window, title.text, &g_BlockRead))
        return;
    WaitCursor();
    const BlockRead &r = g_BlockRead;
    double frame[4] = {NO_FRAME, NO_FRAME, NO_FRAME, NO_FRAME};
    if (framed) {
        frame[0] = std::min(g_ConstructionPoints[1].x, g_ConstructionPoints[2].x);
        frame[1] = std::min(g_ConstructionPoints[1].y, g_ConstructionPoints[2].y);
        frame[2] = std::max(g_ConstructionPoints[1].x, g_ConstructionPoints[2].x);
        frame[3] = std::max(g_ConstructionPoints[1].y, g_ConstructionPoints[2].y);
    }
    int replaced = 0;
    if (!SymbolCreateBlock(r.library, r.block, r.libraryAttributes, ref.x, ref.y, frame[0], frame[1], frame[2],
                           frame[3], &replaced))
        return;
    // The new block is what the insert command (901) places next.
    lstrcpynA(g_BlockInsertEntry.nameLibrary, r.library, sizeof g_BlockInsertEntry.nameLibrary);
    lstrcpynA(g_BlockInsertEntry.nameBlock, r.block, sizeof g_BlockInsertEntry.nameBlock);
    if (r.editAttributes)
        Box12EditBlockAttributes(window, title.text, r.library, r.block);
    if (r.editProperty)
        EditBlockProperty(window, title.text, r.library, r.block);
    if (r.pushProperty)
        SymbolApplyBlockProperty(r.library, r.block);
    bool swapped = false;
    if (r.replaceSelection) {
        UndoInitProcess();
        if (SymbolReplaceSelectionByInstance(r.library, r.block, ref.x, ref.y)) {
            UndoFinishProcess();
            swapped = true;
        } else {
            UndoCancelProcess();
        }
    }
    if (replaced)
        OutputRedrawAll(1);
    else if (swapped)
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
}

// The block manager changes libraries while it is open; afterwards every
// block referred to is loaded and every window repainted.
void Manage(HWND window, int commandId)
{
    Title title(commandId);
    if (!Box12BlockEdit(window, title.text, &g_BlockEditSelect))
        return;
    WaitCursor();
    SymbolLoadAllMissing();
    OutputRedrawAll(1);
}

void Purge(HWND window)
{
    if (AlertYesNoDefNo(window, eAlertTextSM[kPurgeQuestion]) != ALERT_YES)
        return;
    WaitCursor();
    if (!SymbolPurgeUnused(0))
        return;
    SymbolRebuildOwnIndex();
    SymbolLoadAllMissing();
    FileSetModified();
    WindowUpdateTitle(window);
}

void Explode()
{
    if (!ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED))
        return;
    UndoInitProcess();
    if (SymbolExplode(UNIT_SELECTED, g_DrawingSettings.displayDuplicate ? 1 : 0, 0)) {
        UndoFinishProcess();
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
    } else {
        UndoCancelProcess();
    }
}

uint32_t &Marks(int slot) { return g_LibrarySlots.slots[slot].further[LIBRARY_MARK_WORD]; }
uint32_t &Value(int slot, int which) { return g_LibrarySlots.slots[slot].further[which]; }

// Carries out what the library slots dialog marked, slot by slot; false when
// the user stops after a failure.
bool HandleSlot(int &i, bool &changed)
{
    LibrarySlot &s = g_LibrarySlots.slots[i];
    const uint32_t marks = Marks(i);
    const bool pending = (marks & (LIBRARY_MARK_NEW | LIBRARY_MARK_OPEN)) != 0;
    const bool cachingChanged = Value(i, LIBRARY_VALUE_CACHING) != s.caching;
    char text[TITLE_SIZE * 2];
    bool failed = false, removeOnFailure = false;
    if ((marks & LIBRARY_MARK_SAVE) && !pending) {
        bool save = true;
        if (!s.save) {
            std::snprintf(text, sizeof text, eAlertTextSM[kSaveAnyway], s.info.title);
            save = AlertYesNoDefNo(g_MainWnd, text) == ALERT_YES;
        }
        failed = save && !FileSaveLibrary(i);
    }
    if (!failed && (marks & LIBRARY_MARK_CLOSE)) {
        FileRemoveLibrary(i);
        changed = true;
        return true; // the next slot moved into this place
    }
    const bool reload = (marks & LIBRARY_MARK_RELOAD) != 0;
    if (!failed && !pending && (reload || cachingChanged)) {
        if (FileQueryCloseLibrary(i))
            SymbolClearLibrary(i);
        else
            failed = true;
    }
    if (!failed && !(marks & LIBRARY_MARK_NEW) && ((marks & LIBRARY_MARK_OPEN) || reload || cachingChanged)) {
        s.caching = Value(i, LIBRARY_VALUE_CACHING);
        s.load = Value(i, LIBRARY_VALUE_LOAD) || reload ? 1 : 0;
        char path[LIBRARY_PATH_SIZE];
        lstrcpynA(path, s.path, sizeof path);
        const int ok = FileCheckLibraryHeader(path) &&
                       (s.caching ? FileLoadLibraryInfo(path, i, FILE_SECTION_DRAWING | FILE_SECTION_ATTRIB)
                                  : FileLoadLibrary(path, i, FILE_SECTIONS_LIBRARY, 0));
        changed = true;
        if (ok)
            s.modified = 0;
        else
            failed = removeOnFailure = true;
    }
    if (!failed && (marks & LIBRARY_MARK_NEW)) {
        if (s.attributes) {
            MemSubFree(s.attributes);
            s.attributes = nullptr;
        }
        s.modified = 0;
        changed = true;
        if (FileWriteLibrary(s.path, i, FILE_SECTION_DRAWING)) {
            FileStampLibraryInfo(i);
            FileSetLibraryPath(i, s.path);
        } else {
            failed = removeOnFailure = true;
        }
    }
    if (!failed) {
        s.caching = Value(i, LIBRARY_VALUE_CACHING);
        s.load = Value(i, LIBRARY_VALUE_LOAD);
    }
    Marks(i) = 0;
    if (!failed) {
        ++i;
        return true;
    }
    std::snprintf(text, sizeof text, eAlertTextSM[kGoOnWithNext], s.info.title[0] ? s.info.title : s.path);
    if (removeOnFailure)
        FileRemoveLibrary(i);
    else
        ++i;
    return AlertYesNoDefNo(g_MainWnd, text) == ALERT_YES;
}

void Libraries(HWND window)
{
    LibraryTable &t = g_LibrarySlots;
    for (int i = 0; i < SYMBOL_LIBRARY_SLOTS; ++i) {
        Marks(i) = 0;
        Value(i, LIBRARY_VALUE_CACHING) = t.slots[i].caching;
        Value(i, LIBRARY_VALUE_LOAD) = t.slots[i].load;
        Value(i, LIBRARY_VALUE_SAVE) = t.slots[i].save;
        if (i >= t.count)
            t.slots[i].path[0] = 0;
    }
    Title title(915);
    if (!Box06LibraryHandling(window, title.text))
        return;
    bool anything = false;
    for (int i = 0; i < t.count; ++i) {
        t.slots[i].save = Value(i, LIBRARY_VALUE_SAVE);
        anything = anything || Marks(i) || Value(i, LIBRARY_VALUE_CACHING) != t.slots[i].caching ||
                   Value(i, LIBRARY_VALUE_LOAD) != t.slots[i].load;
    }
    if (!anything)
        return;
    WaitCursor();
    bool changed = false;
    for (int i = 0; i < t.count;)
        if (!HandleSlot(i, changed))
            break;
    if (!changed)
        return;
    SymbolResetLoadFlags();
    SymbolSortLibraries();
    SymbolRebuildLibraryIndex();
    SymbolLoadAllMissing();
    OutputRedrawAll(1);
}

} // namespace

void MenuBlockMakeGroup(HWND window, int commandId)
{
    if (!ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED))
        return;
    const double cx = (g_ExtentsRect[0] + g_ExtentsRect[2]) / 2, cy = (g_ExtentsRect[1] + g_ExtentsRect[3]) / 2;
    char name[UNIT_NAME_SIZE];
    SymbolMakeGroupName(name);
    WaitCursor();
    // The group block and the instance that replaces the selection are one
    // undo step: undone, the block goes too.
    UndoInitProcess();
    if (!SymbolCreateBlock(SYMBOL_OWN_LIBRARY, name, 0, cx, cy, NO_FRAME, NO_FRAME, NO_FRAME, NO_FRAME, nullptr)) {
        UndoCancelProcess();
        return;
    }
    GroupInfo info{};
    std::memcpy(&info, reinterpret_cast<uint8_t *>(&g_LocalData) + LOCAL_OFS_GROUP_INFO, sizeof info);
    Title title(commandId);
    if (info.editAttributes)
        Box12EditBlockAttributes(window, title.text, SYMBOL_OWN_LIBRARY, name);
    if (info.editProperty)
        EditBlockProperty(window, title.text, SYMBOL_OWN_LIBRARY, name);
    if (info.pushProperty)
        SymbolApplyBlockProperty(SYMBOL_OWN_LIBRARY, name);
    if (!SymbolReplaceSelectionByInstance(SYMBOL_OWN_LIBRARY, name, cx, cy)) {
        UndoCancelProcess();
        return;
    }
    UndoFinishProcess();
    ObjectDeselectAll();
    OutputInvalidateAreaAll(g_ChangedRect);
}

void MenuBlockDissolveGroups()
{
    if (!ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED))
        return;
    UndoInitProcess();
    if (SymbolExplode(UNIT_SELECTED, 0, 1)) {
        UndoFinishProcess();
        ObjectDeselectAll();
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
    } else {
        UndoCancelProcess();
    }
}

void MenuBlockEditSlot(HWND window, int commandId, int slot)
{
    if (slot < 0 || slot >= INSERT_SLOTS)
        return;
    Title title(commandId);
    BlockInsertSlot &entry = g_Options.insertSlots[slot];
    if (!Box12BlockInsert(window, title.text, &entry, 1))
        return;
    const int32_t running = g_CommandState->commandId;
    if (running >= COMMAND_SYMBOL_FIRST && running <= COMMAND_SYMBOL_LAST) {
        // The slot being placed follows its new scale and angle at once.
        if (running - COMMAND_SYMBOL_FIRST == slot)
            InputPrepareSlotInsert(entry);
        return;
    }
    SymbolPrepareInsert(entry.nameLibrary, entry.nameBlock); // its preview needs the block
    if (StatusSortSymbolList())
        StatusLayoutSymbolWindow();
    if (hGlobalSymbol)
        InvalidateRect(hGlobalSymbol, nullptr, TRUE);
}

void MenuBlockInsertSlot(int slot)
{
    if (slot < 0 || slot >= INSERT_SLOTS)
        return;
    const BlockInsertSlot &entry = g_Options.insertSlots[slot];
    if (entry.nameLibrary[0] && entry.nameBlock[0])
        Insert(entry);
}

void MenuBlockCommand(HWND mainWindow, int commandId)
{
    switch (commandId) {
    case 901: Insert(g_BlockInsertEntry); return;
    case 902:
    case 903: NewBlock(mainWindow, commandId); return;
    case 910: Purge(mainWindow); return;
    case 912: Explode(); return;
    case 915: Libraries(mainWindow); return;
    case 904: Manage(mainWindow, commandId); return;
    default: CommandShowSubmenu(commandId, nullptr); return;
    }
}

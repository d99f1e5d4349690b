// "LIBRARYHANDLING": the open symbol libraries. New and opened libraries are
// entered at once; closing, reloading, saving and the options are marks that
// the library command (915) carries out after the dialog.
#include "dialogs/box06_library.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/system.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_library.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box12.h"
#include "dialogs/box15.h"
#include "files/file_library.h"
#include "files/zvi.h"
#include "language/language.h"
#include "language/language_entries.h"

namespace {

constexpr int ID_LIST = 170, ID_CACHING = 250, ID_LOAD = 251, ID_SAVE_VALUE = 252;
constexpr int ID_NEW = 550, ID_OPEN = 551, ID_CLOSE = 552, ID_DETAILS = 553, ID_ATTRIBUTES = 554, ID_RELOAD = 555,
              ID_SAVE = 556, ID_SAVE_AS = 557, ID_RESTORE = 8;
constexpr int HELP_LIBRARIES = 15074;
constexpr int kSelectFirst = 3, kOnlyOne = 39, kFull = 71, kNoAttributes = 72, kCloseChanged = 73; // eAlertTextOK
constexpr int kCannotRead = 87;                                                                 // eAlertTextSM
constexpr int kNewLibrary = 28, kLibraryAttributes = 31, kDetails = 42;                         // eCaptionTexts
constexpr uint32_t LIBRARY_CHOOSER_KINDS = 0x11;
constexpr int MESSAGE_SIZE = 512;

struct LibraryDialog {
    DialogHeader header;
    const char *caption;
    LibraryTable *opening; // the table as it was, for Restore
};

uint32_t &Marks(int slot) { return g_LibrarySlots.slots[slot].further[LIBRARY_MARK_WORD]; }
uint32_t &Value(int slot, int which) { return g_LibrarySlots.slots[slot].further[which]; }
bool Pending(int slot) { return (Marks(slot) & (LIBRARY_MARK_NEW | LIBRARY_MARK_OPEN)) != 0; }

std::vector<int> SelectedSlots(HWND dialog)
{
    HWND list = GetDlgItem(dialog, ID_LIST);
    const int n = int(SendMessageA(list, LB_GETSELCOUNT, 0, 0));
    std::vector<int> rows(size_t(n > 0 ? n : 0));
    if (n > 0)
        SendMessageA(list, LB_GETSELITEMS, WPARAM(n), reinterpret_cast<LPARAM>(rows.data()));
    std::vector<int> slots;
    for (int row : rows)
        slots.push_back(int(SendMessageA(list, LB_GETITEMDATA, WPARAM(row), 0)));
    return slots;
}

void Enable(HWND dialog)
{
    const std::vector<int> sel = SelectedSlots(dialog);
    const bool one = sel.size() == 1, any = !sel.empty();
    const int values[3] = {LIBRARY_VALUE_CACHING, LIBRARY_VALUE_LOAD, LIBRARY_VALUE_SAVE};
    for (int i = 0; i < 3; ++i) {
        EnableWindow(GetDlgItem(dialog, ID_CACHING + i), one);
        Box01DialogCheck(dialog, ID_CACHING + i, one ? Value(sel[0], values[i]) : 0);
    }
    for (int id : {ID_CLOSE, ID_RELOAD, ID_SAVE})
        EnableWindow(GetDlgItem(dialog, id), any);
    EnableWindow(GetDlgItem(dialog, ID_DETAILS), one);
    for (int id : {ID_ATTRIBUTES, ID_SAVE_AS})
        EnableWindow(GetDlgItem(dialog, id), one && !Pending(sel[0]));
    EnableWindow(GetDlgItem(dialog, ID_RESTORE), g_LibrarySlots.count > 0);
}

void Fill(HWND dialog, int select)
{
    HWND list = GetDlgItem(dialog, ID_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < g_LibrarySlots.count; ++i) {
        const int row = int(SendMessageA(list, LB_ADDSTRING, 0, LPARAM(i)));
        SendMessageA(list, LB_SETITEMDATA, WPARAM(row), LPARAM(i));
        if (i == select)
            SendMessageA(list, LB_SETSEL, TRUE, row);
    }
    Enable(dialog);
}

bool NeedSelection(HWND dialog, const std::vector<int> &sel, bool exactlyOne)
{
    if (sel.empty()) {
        AlertOk(dialog, eAlertTextOK[kSelectFirst]);
        return false;
    }
    if (exactlyOne && sel.size() != 1) {
        AlertOk(dialog, eAlertTextOK[kOnlyOne]);
        return false;
    }
    return true;
}

// The file's name without its folders.
const char *NameOf(const char *path)
{
    const char *slash = std::strrchr(path, '\\');
    const char *other = std::strrchr(path, '/');
    if (other && (!slash || other > slash))
        slash = other;
    return slash ? slash + 1 : path;
}

void AlertWithName(HWND dialog, const char *format, const char *path)
{
    char name[MAX_PATH] = "", text[MESSAGE_SIZE];
    lstrcpynA(name, NameOf(path), sizeof name);
    std::snprintf(text, sizeof text, format, name);
    AlertOk(dialog, text);
}

bool ChooseFile(HWND dialog, int mode, char *path)
{
    FileDialogState &state = g_Options.fileDialogs[FD_ZVL];
    const FileTypeSelection selection{LIBRARY_CHOOSER_KINDS | (mode == CHOOSER_OPEN ? 0x100u : 0u), 0, 0, 4, -1, mode};
    if (!Box15FileGetName(dialog, eCaptionTexts[kNewLibrary], &state, selection))
        return false;
    lstrcpynA(path, state.current, MAX_PATH);
    return path[0] != 0;
}

// A new slot at the end of the table with the path and the mark.
int AddSlot(const char *path, uint32_t mark, uint32_t saveValue)
{
    const int slot = g_LibrarySlots.count;
    LibrarySlot &s = g_LibrarySlots.slots[slot];
    SymbolFreeLibrarySlot(&s);
    lstrcpynA(s.path, path, LIBRARY_PATH_SIZE);
    Value(slot, LIBRARY_VALUE_CACHING) = 0;
    Value(slot, LIBRARY_VALUE_LOAD) = 1;
    Value(slot, LIBRARY_VALUE_SAVE) = saveValue;
    Marks(slot) = mark;
    return slot;
}

void NewOrOpen(HWND dialog, bool open)
{
    if (g_LibrarySlots.count >= SYMBOL_LIBRARY_SLOTS) {
        AlertOk(dialog, eAlertTextOK[kFull]);
        return;
    }
    char path[MAX_PATH];
    if (!ChooseFile(dialog, open ? CHOOSER_OPEN : CHOOSER_SAVE, path))
        return;
    if (FileLibraryPathInUse(path, -1)) {
        AlertWithName(dialog, LANG_FORMAT(eAlertTextOK, LibraryFileInUse, "%s"), path);
        return;
    }
    const int slot = AddSlot(path, open ? LIBRARY_MARK_OPEN : LIBRARY_MARK_NEW, open ? 0 : 1);
    if (open) {
        if (!FileProbeLibrarySlot(slot)) {
            AlertWithName(dialog, eAlertTextSM[kCannotRead], path);
            SymbolFreeLibrarySlot(&g_LibrarySlots.slots[slot]);
            return;
        }
    } else {
        FileInitLibraryInfo(slot);
        // The file's name is the new library's title, unless the details say otherwise.
        char name[MAX_PATH] = "";
        lstrcpynA(name, NameOf(path), sizeof name);
        if (char *dot = std::strrchr(name, '.'))
            *dot = 0;
        lstrcpynA(g_LibrarySlots.slots[slot].info.title, name, DRAWING_INFO_FIELD);
        uint32_t titleChanged = 0;
        if (!Box15FileEditDetails(dialog, eCaptionTexts[kDetails], path, &g_LibrarySlots.slots[slot].info, slot,
                                  &titleChanged)) {
            SymbolFreeLibrarySlot(&g_LibrarySlots.slots[slot]);
            return;
        }
    }
    ++g_LibrarySlots.count;
    Fill(dialog, slot);
}

// Removes pending entries marked for closing; 1 when any went.
bool DropPendingClosed()
{
    bool dropped = false;
    for (int i = 0; i < g_LibrarySlots.count;) {
        if (Pending(i) && (Marks(i) & LIBRARY_MARK_CLOSE)) {
            for (int j = i; j + 1 < g_LibrarySlots.count; ++j)
                g_LibrarySlots.slots[j] = g_LibrarySlots.slots[j + 1];
            SymbolFreeLibrarySlot(&g_LibrarySlots.slots[--g_LibrarySlots.count]);
            dropped = true;
            continue;
        }
        ++i;
    }
    return dropped;
}

void ToggleMark(HWND dialog, uint32_t mark, const char *question)
{
    const std::vector<int> sel = SelectedSlots(dialog);
    if (!NeedSelection(dialog, sel, false))
        return;
    if (question) {
        bool ask = false;
        for (int s : sel)
            ask = ask || (g_LibrarySlots.slots[s].modified && !(Marks(s) & mark));
        if (ask) {
            const uint32_t answer = AlertYesNoCancel(dialog, question);
            if (answer == ALERT_CANCEL)
                return;
            if (answer == ALERT_YES)
                for (int s : sel)
                    if (g_LibrarySlots.slots[s].modified && !(Marks(s) & mark))
                        Marks(s) |= LIBRARY_MARK_SAVE;
        }
    }
    for (int s : sel)
        Marks(s) ^= mark;
    if (mark == LIBRARY_MARK_CLOSE && DropPendingClosed())
        Fill(dialog, -1);
    else
        InvalidateRect(GetDlgItem(dialog, ID_LIST), nullptr, TRUE);
}

void Details(HWND dialog)
{
    const std::vector<int> sel = SelectedSlots(dialog);
    if (!NeedSelection(dialog, sel, true))
        return;
    LibrarySlot &s = g_LibrarySlots.slots[sel[0]];
    if (Pending(sel[0])) {
        Box15FileViewDetails(dialog, eCaptionTexts[kDetails], s.path, &s.info);
    } else {
        uint32_t titleChanged = 0;
        if (Box15FileEditDetails(dialog, eCaptionTexts[kDetails], s.path, &s.info, sel[0], &titleChanged)) {
            s.modified = 1;
            Marks(sel[0]) |= LIBRARY_MARK_SAVE;
        }
    }
    InvalidateRect(GetDlgItem(dialog, ID_LIST), nullptr, TRUE);
}

void Attributes(HWND dialog)
{
    const std::vector<int> sel = SelectedSlots(dialog);
    if (!NeedSelection(dialog, sel, true))
        return;
    const int slot = sel[0];
    if (Pending(slot)) {
        AlertOk(dialog, eAlertTextOK[kNoAttributes]);
        return;
    }
    ScratchUni2 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return;
    auto *entries = reinterpret_cast<AttributeEntry *>(g_Uni2);
    const char *title = g_LibrarySlots.slots[slot].info.title;
    int count = SymbolGetLibraryAttributes(title, entries);
    if (count < 0) {
        AlertOk(dialog, eAlertTextOK[kNoAttributes]);
        return;
    }
    if (Box12BlockAttrib(dialog, eCaptionTexts[kLibraryAttributes], title, eCaptionTexts[kLibraryAttributes], entries,
                         &count, 1) &&
        !SymbolSetLibraryAttributes(title, entries, count))
        AlertSM2(dialog);
    InvalidateRect(GetDlgItem(dialog, ID_LIST), nullptr, TRUE);
}

void SaveAs(HWND dialog)
{
    const std::vector<int> sel = SelectedSlots(dialog);
    if (!NeedSelection(dialog, sel, true) || Pending(sel[0]))
        return;
    const int slot = sel[0];
    char path[MAX_PATH];
    if (!ChooseFile(dialog, CHOOSER_SAVE, path))
        return;
    // Never over the file of another open library: it would be lost when
    // that library is saved or reloaded.
    if (FileLibraryPathInUse(path, slot)) {
        AlertWithName(dialog, LANG_FORMAT(eAlertTextOK, LibraryFileInUse, "%s"), path);
        return;
    }
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const LibrarySlot &s = g_LibrarySlots.slots[slot];
    if (s.caching)
        FileUpdateLibrary(s.path, path, slot);
    else
        FileWriteLibrary(path, slot, FILE_SECTIONS_LIBRARY);
}

INT_PTR CALLBACK LibraryDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    LibraryDialog *d = Box01DialogRecordOf<LibraryDialog>(dialog);
    switch (message) {
    case WM_INITDIALOG:
        d = reinterpret_cast<LibraryDialog *>(Box01DialogInit(dialog, lParam));
        if (d->caption)
            SetWindowTextA(dialog, d->caption);
        Fill(dialog, -1);
        return TRUE;
    case WM_MEASUREITEM: {
        auto *m = reinterpret_cast<MEASUREITEMSTRUCT *>(lParam);
        HDC dc = GetDC(dialog);
        SIZE size{0, 16};
        GetTextExtentPoint32A(dc, "W", 1, &size);
        ReleaseDC(dialog, dc);
        m->itemHeight = UINT(size.cy);
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        const int slot = int(item->itemData);
        Box01PaintTabbedRow(item->hDC, &item->rcItem, item->itemState,
                            item->itemID != UINT(-1) && slot >= 0 && slot < g_LibrarySlots.count
                                ? &g_LibrarySlots.slots[slot]
                                : nullptr);
        return TRUE;
    }
    case WM_COMMAND:
        if (!d)
            break;
        switch (LOWORD(wParam)) {
        case ID_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE)
                Enable(dialog);
            return TRUE;
        case ID_CACHING:
        case ID_LOAD:
        case ID_SAVE_VALUE: {
            const std::vector<int> sel = SelectedSlots(dialog);
            if (NeedSelection(dialog, sel, true)) {
                uint32_t &v = Value(sel[0], LIBRARY_VALUE_CACHING + LOWORD(wParam) - ID_CACHING);
                v = v ? 0 : 1;
                Box01DialogCheck(dialog, LOWORD(wParam), v);
            }
            return TRUE;
        }
        case ID_NEW: NewOrOpen(dialog, false); return TRUE;
        case ID_OPEN: NewOrOpen(dialog, true); return TRUE;
        case ID_CLOSE: ToggleMark(dialog, LIBRARY_MARK_CLOSE, eAlertTextOK[kCloseChanged]); return TRUE;
        case ID_RELOAD: ToggleMark(dialog, LIBRARY_MARK_RELOAD, LANG(eAlertTextOK, ReloadChanged)); return TRUE;
        case ID_SAVE: ToggleMark(dialog, LIBRARY_MARK_SAVE, nullptr); return TRUE;
        case ID_ATTRIBUTES: Attributes(dialog); return TRUE;
        case ID_DETAILS: Details(dialog); return TRUE;
        case ID_SAVE_AS: SaveAs(dialog); return TRUE;
        case ID_RESTORE:
            g_LibrarySlots = *d->opening;
            Fill(dialog, -1);
            return TRUE;
        case IDOK:
        case IDCANCEL: Box01DialogEnd(dialog, DIALOG_OK); return TRUE;
        default: break;
        }
        break;
    default: break;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_LIBRARIES);
}

} // namespace

uint32_t Box06LibraryHandling(HWND owner, const char *caption)
{
    std::vector<LibraryTable> opening(1, g_LibrarySlots);
    LibraryDialog d{};
    d.caption = caption;
    d.opening = opening.data();
    return Box01DialogEdit(owner, "LIBRARYHANDLING", LibraryDialogProc, d) ? 1 : 0;
}

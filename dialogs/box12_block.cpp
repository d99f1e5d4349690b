// Block names as folder paths in the block dialogs, and "BLOCKREAD", which
// names the new block of the block commands.
#include "dialogs/box12.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/system.h"
#include "database/symbol_block.h"
#include "database/symbol_browse.h"
#include "database/symbol_find.h"
#include "database/symbol_library.h"
#include "database/symbol_preview.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "language/language.h"
#include "language/language_entries.h"
#include "plugin/zvi.h"

namespace {

constexpr int ID_BLOCKS = 170, ID_FOLDERS = 171, ID_LIBRARY = 180, ID_LEAF = 200, ID_FOLDER_TEXT = 350,
              ID_COUNT_TEXT = 351;
constexpr int ID_REPLACE = 250, ID_LIBRARY_ATTRIBUTES = 251, ID_EDIT_ATTRIBUTES = 252, ID_EDIT_PROPERTY = 253,
              ID_PUSH_PROPERTY = 254;
constexpr int HELP_BLOCKREAD = 15064;
constexpr int kOwnBlocks = 7, kUp = 37, kOneBlock = 36, kBlocks = 27; // eUniTexts
constexpr int kTooLong = 42, kTwoBackslashes = 92, kNoName = 16, kReplace = 41, kNotWritable = 97; // eAlertTextOK
constexpr int MESSAGE_SIZE = 512;


struct ReadDialog {
    DialogHeader header;
    const char *caption;
    BlockRead record;
    BlockBrowse browse;
};

struct InsertDialog {
    DialogHeader header;
    const char *caption;
    BlockInsertSlot slot;
    int clearAllowed;
    BlockBrowse browse;
};

uint32_t *Switch(ReadDialog *d, int id)
{
    switch (id) {
    case ID_REPLACE: return &d->record.replaceSelection;
    case ID_LIBRARY_ATTRIBUTES: return &d->record.libraryAttributes;
    case ID_EDIT_ATTRIBUTES: return &d->record.editAttributes;
    case ID_EDIT_PROPERTY: return &d->record.editProperty;
    case ID_PUSH_PROPERTY: return &d->record.pushProperty;
    default: return nullptr;
    }
}

} // namespace

void Box12AlertWith(HWND dialog, int entry, const char *name)
{
    char text[MESSAGE_SIZE];
    std::snprintf(text, sizeof text, eAlertTextOK[entry], name);
    AlertOk(dialog, text);
}

void Box12FillLibraryCombo(HWND dialog, char *library)
{
    HWND combo = GetDlgItem(dialog, ID_LIBRARY);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(eUniTexts[kOwnBlocks]));
    int selected = 0;
    for (int i = 0; i < g_LibrarySlots.count && i < SYMBOL_LIBRARY_SLOTS; ++i) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g_LibrarySlots.slots[i].info.title));
        if (std::strcmp(g_LibrarySlots.slots[i].info.title, library) == 0)
            selected = i + 1;
    }
    if (!selected)
        std::strcpy(library, SYMBOL_OWN_LIBRARY);
    SendMessageA(combo, CB_SETCURSEL, WPARAM(selected), 0);
}

// The folder and block lists of the path's folder, the folder text and the leaf.
void Box12FillLists(HWND dialog, BlockBrowse *d)
{
    char leaf[BLOCK_NAME_SIZE], folder[BLOCK_NAME_SIZE];
    Box12PathSplit(d->block, leaf, folder);
    if (!SymbolBrowseLibrary(d->library, folder, 1) && folder[0]) {
        std::strcpy(d->library, SYMBOL_OWN_LIBRARY);
        d->block[0] = folder[0] = 0;
        SymbolBrowseLibrary(d->library, folder, 1);
        SendDlgItemMessageA(dialog, ID_LIBRARY, CB_SETCURSEL, 0, 0);
    }
    HWND folders = GetDlgItem(dialog, ID_FOLDERS);
    SendMessageA(folders, LB_RESETCONTENT, 0, 0);
    if (folder[0])
        SendMessageA(folders, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(eUniTexts[kUp]));
    for (int i = 0; i < SymbolBrowseFolderCount(); ++i) {
        char name[BLOCK_NAME_SIZE];
        lstrcpynA(name, SymbolBrowseFolderName(i), sizeof name);
        name[std::strlen(name) - 1] = 0; // the trailing backslash
        SendMessageA(folders, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    HWND blocks = GetDlgItem(dialog, ID_BLOCKS);
    SendMessageA(blocks, LB_RESETCONTENT, 0, 0);
    const int n = SymbolBrowseBlockCount();
    for (int i = 0; i < n; ++i)
        SendMessageA(blocks, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(SymbolBrowseBlockName(i)));
    SendMessageA(blocks, LB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(leaf));
    char count[MESSAGE_SIZE];
    if (n == 1)
        lstrcpynA(count, eUniTexts[kOneBlock], sizeof count);
    else
        std::snprintf(count, sizeof count, eUniTexts[kBlocks], n);
    SetDlgItemTextA(dialog, ID_COUNT_TEXT, count);
    SetDlgItemTextA(dialog, ID_FOLDER_TEXT, folder);
    d->filling = 1;
    SetDlgItemTextA(dialog, ID_LEAF, leaf);
    d->filling = 0;
}

// The folder walk, the library choice and the block list of every block
// dialog; true when the command was one of them.
bool Box12BrowseCommand(HWND dialog, BlockBrowse *d, int id, int code)
{
    char folder[BLOCK_NAME_SIZE];
    Box12PathSplit(d->block, nullptr, folder);
        if (id == ID_LIBRARY && code == CBN_SELCHANGE) {
            const int row = int(SendDlgItemMessageA(dialog, ID_LIBRARY, CB_GETCURSEL, 0, 0));
            if (row <= 0)
                std::strcpy(d->library, SYMBOL_OWN_LIBRARY);
            else
                lstrcpynA(d->library, g_LibrarySlots.slots[row - 1].info.title, BLOCK_NAME_SIZE);
            d->block[0] = 0;
            Box12FillLists(dialog, d);
            return true;
        }
        if (id == ID_FOLDERS && code == LBN_DBLCLK) {
            const int row = int(SendDlgItemMessageA(dialog, ID_FOLDERS, LB_GETCURSEL, 0, 0));
            char name[BLOCK_NAME_SIZE] = {};
            if (row < 0 || SendDlgItemMessageA(dialog, ID_FOLDERS, LB_GETTEXTLEN, WPARAM(row), 0) >= BLOCK_NAME_SIZE)
                return true;
            SendDlgItemMessageA(dialog, ID_FOLDERS, LB_GETTEXT, WPARAM(row), reinterpret_cast<LPARAM>(name));
            if (folder[0] && row == 0) {
                Box12PathCutName(folder);
                lstrcpynA(d->block, folder, BLOCK_NAME_SIZE);
            } else if (std::strlen(folder) + std::strlen(name) + 1 < BLOCK_NAME_SIZE) {
                std::snprintf(d->block, BLOCK_NAME_SIZE, "%s%s\\", folder, name);
            }
            Box12FillLists(dialog, d);
            return true;
        }
        if (id == ID_BLOCKS && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
            const int row = int(SendDlgItemMessageA(dialog, ID_BLOCKS, LB_GETCURSEL, 0, 0));
            char name[BLOCK_NAME_SIZE] = {};
            if (row >= 0 && SendDlgItemMessageA(dialog, ID_BLOCKS, LB_GETTEXTLEN, WPARAM(row), 0) < BLOCK_NAME_SIZE) {
                SendDlgItemMessageA(dialog, ID_BLOCKS, LB_GETTEXT, WPARAM(row), reinterpret_cast<LPARAM>(name));
                d->filling = 1;
                SetDlgItemTextA(dialog, ID_LEAF, name);
                d->filling = 0;
            }
            return true;
        }
    if (id == ID_LEAF && code == EN_CHANGE && !d->filling) {
        char typed[BLOCK_NAME_SIZE] = {};
        GetDlgItemTextA(dialog, ID_LEAF, typed, sizeof typed);
        const int row = int(SendDlgItemMessageA(dialog, ID_BLOCKS, LB_FINDSTRINGEXACT, WPARAM(-1),
                                                reinterpret_cast<LPARAM>(typed)));
        if (row >= 0) {
            SendDlgItemMessageA(dialog, ID_BLOCKS, LB_SETTOPINDEX, WPARAM(row > 7 ? row - 7 : 0), 0);
            SendDlgItemMessageA(dialog, ID_BLOCKS, LB_SETCURSEL, WPARAM(row), 0);
        }
        return true;
    }
    return false;
}

namespace {

// The typed name composed with the current folder; 1 when it may be made.
int CheckNewName(HWND dialog, ReadDialog *d)
{
    char typed[BLOCK_NAME_SIZE] = {}, leaf[BLOCK_NAME_SIZE], folder[BLOCK_NAME_SIZE], full[BLOCK_NAME_SIZE * 2];
    GetDlgItemTextA(dialog, ID_LEAF, typed, sizeof typed);
    Box12PathSplit(d->record.block, nullptr, folder);
    if (const int refused = Box12ComposeBlockName(folder, typed, full)) {
        Box12AlertWith(dialog, refused, typed);
        return 0;
    }
    Box12PathSplit(full, leaf, nullptr);
    if (!leaf[0]) {
        Box12AlertWith(dialog, kNoName, leaf);
        return 0;
    }
    if (SymbolFindBlock(d->record.library, full)) {
        char text[MESSAGE_SIZE];
        std::snprintf(text, sizeof text, eAlertTextOK[kReplace], leaf);
        if (AlertYesNo(dialog, text) != ALERT_YES)
            return 0;
    }
    if (!SymbolLibraryIsWritable(d->record.library)) {
        Box12AlertWith(dialog, kNotWritable, d->record.library);
        return 0;
    }
    lstrcpynA(d->record.block, full, BLOCK_NAME_SIZE);
    return 1;
}

INT_PTR CALLBACK ReadDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    ReadDialog *d = Box01DialogRecordOf<ReadDialog>(dialog);
    if (message == WM_INITDIALOG) {
        d = reinterpret_cast<ReadDialog *>(Box01DialogInit(dialog, lParam));
        d->browse = {d->record.library, d->record.block, 0};
        if (d->caption)
            SetWindowTextA(dialog, d->caption);
        Box12FillLibraryCombo(dialog, d->record.library);
        Box12FillLists(dialog, &d->browse);
        for (int id = ID_REPLACE; id <= ID_PUSH_PROPERTY; ++id)
            Box01DialogCheck(dialog, id, *Switch(d, id) ? 1 : 0);
        SetFocus(GetDlgItem(dialog, ID_LEAF));
        return FALSE;
    }
    if (message == WM_COMMAND && d) {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (uint32_t *w = Switch(d, id)) {
            *w = *w ? 0 : 1;
            return TRUE;
        }
        if (Box12BrowseCommand(dialog, &d->browse, id, code)) {
            if (id == ID_BLOCKS && code == LBN_DBLCLK && CheckNewName(dialog, d))
                Box01DialogEnd(dialog, DIALOG_OK);
            return TRUE;
        }
        if (id == IDOK) {
            if (CheckNewName(dialog, d))
                Box01DialogEnd(dialog, DIALOG_OK);
            else
                Box01DialogFocusEdit(dialog, ID_LEAF);
            return TRUE;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_BLOCKREAD);
}

// --- the preview of BLOCKINSERT and BLOCKSELECT -------------------------------------

constexpr int ID_PREVIEW = 700;

// The preview control is drawn by its owner (WM_DRAWITEM): a change only
// invalidates it.
void ShowPreview(HWND dialog)
{
    InvalidateRect(GetDlgItem(dialog, ID_PREVIEW), nullptr, FALSE);
}

void DrawPreview(LPARAM lParam, uint32_t display, const char *library, const char *block)
{
    const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
    SymbolDrawPreviewDC(item->hwndItem, int(display), library, block, 0.0, &item->rcItem);
}

// --- BLOCKINSERT ------------------------------------------------------------------

constexpr int ID_SCALE = 201, ID_ROTATION = 202, ID_ANGLE_UNIT = 650, ID_PRESET_FIRST = 400, ID_PRESET_LAST = 404,
              ID_CLEAR = 550, ID_DISPLAY = 250, ID_BLOCK_PEN = 256;
constexpr int HELP_BLOCKINSERT = 15063;
constexpr double PRESET_DEGREES[] = {0, 45, 90, 180, 270};
constexpr double RADIANS_PER_DEGREE = 0.01745329251994;
constexpr int kNoBlock = 44; // eAlertTextOK

uint32_t *InsertSwitch(InsertDialog *d, int id)
{
    BlockInsertSlot &s = d->slot;
    uint32_t *words[] = {&s.display, &s.attribCopy, &s.attribEdit, &s.transmitLayer, &s.transmitPen, &s.blockLayer,
                         &s.blockPen};
    return id >= ID_DISPLAY && id <= ID_BLOCK_PEN ? words[id - ID_DISPLAY] : nullptr;
}

void ShowRotation(HWND dialog, double radians)
{
    char text[MESSAGE_SIZE] = "", unit[MESSAGE_SIZE] = "";
    ZVI_ConvertAngleString(text, radians, unit);
    SetDlgItemTextA(dialog, ID_ROTATION, text);
    SetDlgItemTextA(dialog, ID_ANGLE_UNIT, unit);
}

// The typed leaf must name a block of the folder: the exact name, else the
// first beginning with it.
} // namespace

int Box12CheckExistingBlock(HWND dialog, const char *library, char *block)
{
    char typed[BLOCK_NAME_SIZE] = {}, folder[BLOCK_NAME_SIZE], full[BLOCK_NAME_SIZE * 2], leaf[BLOCK_NAME_SIZE];
    GetDlgItemTextA(dialog, ID_LEAF, typed, sizeof typed);
    Box12PathSplit(block, nullptr, folder);
    if (const int refused = Box12ComposeBlockName(folder, typed, full)) {
        Box12AlertWith(dialog, refused, typed);
        return 0;
    }
    Box12PathSplit(full, leaf, folder);
    if (!leaf[0]) {
        Box12AlertWith(dialog, kNoName, leaf);
        return 0;
    }
    SymbolBrowseLibrary(library, folder, 0);
    std::vector<const char *> names;
    for (int i = 0; i < SymbolBrowseBlockCount(); ++i)
        names.push_back(SymbolBrowseBlockName(i));
    const int row = Box12MatchBlockName(names.data(), int(names.size()), leaf);
    if (row < 0) {
        Box12AlertWith(dialog, kNoBlock, leaf);
        return 0;
    }
    std::snprintf(block, BLOCK_NAME_SIZE, "%s%s", folder, names[size_t(row)]);
    return 1;
}

namespace {

int CheckExistingName(HWND dialog, InsertDialog *d)
{
    return Box12CheckExistingBlock(dialog, d->slot.nameLibrary, d->slot.nameBlock);
}

int AcceptInsert(HWND dialog, InsertDialog *d)
{
    if (!CheckExistingName(dialog, d))
        return 0;
    char text[MESSAGE_SIZE];
    double scale = 1, rotation = 0;
    GetDlgItemTextA(dialog, ID_SCALE, text, sizeof text);
    if (!AlertCheckInputDouble(dialog, text, &scale, ID_SCALE))
        return 0;
    GetDlgItemTextA(dialog, ID_ROTATION, text, sizeof text);
    if (!AlertCheckInputAngle(dialog, text, &rotation, ID_ROTATION))
        return 0;
    d->slot.scale = scale;
    d->slot.rotation = rotation;
    return 1;
}

INT_PTR CALLBACK InsertDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    InsertDialog *d = Box01DialogRecordOf<InsertDialog>(dialog);
    if (message == WM_INITDIALOG) {
        d = reinterpret_cast<InsertDialog *>(Box01DialogInit(dialog, lParam));
        d->browse = {d->slot.nameLibrary, d->slot.nameBlock, 0};
        if (d->caption)
            SetWindowTextA(dialog, d->caption);
        Box12FillLibraryCombo(dialog, d->slot.nameLibrary);
        Box12FillLists(dialog, &d->browse);
        char text[MESSAGE_SIZE] = "";
        ZVI_ConvertDoubleString(text, d->slot.scale);
        SetDlgItemTextA(dialog, ID_SCALE, text);
        ShowRotation(dialog, d->slot.rotation);
        for (int id = ID_DISPLAY; id <= ID_BLOCK_PEN; ++id)
            Box01DialogCheck(dialog, id, *InsertSwitch(d, id) ? 1 : 0);
        Box01DialogShowItem(dialog, ID_CLEAR, d->clearAllowed);
        SetFocus(GetDlgItem(dialog, ID_LEAF));
        return FALSE;
    }
    if (message == WM_DRAWITEM && d && wParam == ID_PREVIEW) {
        // The block the leaf names in the current folder; the slot itself
        // changes only on OK.
        BlockBrowse shown = d->browse;
        char block[BLOCK_NAME_SIZE];
        lstrcpynA(block, d->slot.nameBlock, BLOCK_NAME_SIZE);
        shown.block = block;
        Box12FollowLeaf(dialog, &shown);
        DrawPreview(lParam, d->slot.display, d->slot.nameLibrary, block);
        return TRUE;
    }
    if (message == WM_COMMAND && d) {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (uint32_t *w = InsertSwitch(d, id)) {
            *w = *w ? 0 : 1;
            if (id == ID_DISPLAY)
                ShowPreview(dialog);
            return TRUE;
        }
        if (id >= ID_PRESET_FIRST && id <= ID_PRESET_LAST) {
            ShowRotation(dialog, PRESET_DEGREES[id - ID_PRESET_FIRST] * RADIANS_PER_DEGREE);
            return TRUE;
        }
        if (Box12BrowseCommand(dialog, &d->browse, id, code)) {
            if (id == ID_BLOCKS && code == LBN_DBLCLK && AcceptInsert(dialog, d)) {
                Box01DialogEnd(dialog, DIALOG_OK);
                return TRUE;
            }
            ShowPreview(dialog);
            return TRUE;
        }
        if (id == ID_CLEAR) {
            BlockInsertSlot &s = d->slot;
            s = BlockInsertSlot{};
            std::strcpy(s.nameLibrary, SYMBOL_OWN_LIBRARY);
            s.scale = 1.0;
            s.display = 1;
            Box01DialogEnd(dialog, DIALOG_OK);
            return TRUE;
        }
        if (id == IDOK) {
            if (AcceptInsert(dialog, d))
                Box01DialogEnd(dialog, DIALOG_OK);
            return TRUE;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_BLOCKINSERT);
}

// --- BLOCKSELECT ------------------------------------------------------------------

constexpr int HELP_BLOCKSELECT = 15075;

struct SelectDialog {
    DialogHeader header;
    const char *caption;
    BlockSelect record;
    int libraryChoice;
    BlockBrowse browse;
};

} // namespace

void Box12FollowLeaf(HWND dialog, BlockBrowse *d)
{
    char typed[BLOCK_NAME_SIZE] = {}, folder[BLOCK_NAME_SIZE], full[BLOCK_NAME_SIZE * 2];
    GetDlgItemTextA(dialog, ID_LEAF, typed, sizeof typed);
    Box12PathSplit(d->block, nullptr, folder);
    if (Box12ComposeBlockName(folder, typed, full) == 0)
        lstrcpynA(d->block, full, BLOCK_NAME_SIZE);
}

namespace {

// The typed leaf in the current folder; whether the block exists is not asked.
int ComposeSelected(HWND dialog, SelectDialog *d)
{
    char typed[BLOCK_NAME_SIZE] = {}, folder[BLOCK_NAME_SIZE], full[BLOCK_NAME_SIZE * 2];
    GetDlgItemTextA(dialog, ID_LEAF, typed, sizeof typed);
    Box12PathSplit(d->record.block, nullptr, folder);
    if (const int refused = Box12ComposeBlockName(folder, typed, full)) {
        Box12AlertWith(dialog, refused, typed);
        Box01DialogFocusEdit(dialog, ID_LEAF);
        return 0;
    }
    lstrcpynA(d->record.block, full, BLOCK_NAME_SIZE);
    return 1;
}

INT_PTR CALLBACK SelectDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    SelectDialog *d = Box01DialogRecordOf<SelectDialog>(dialog);
    if (message == WM_INITDIALOG) {
        d = reinterpret_cast<SelectDialog *>(Box01DialogInit(dialog, lParam));
        d->browse = {d->record.library, d->record.block, 0};
        if (d->caption)
            SetWindowTextA(dialog, d->caption);
        Box12FillLibraryCombo(dialog, d->record.library);
        EnableWindow(GetDlgItem(dialog, ID_LIBRARY), d->libraryChoice ? TRUE : FALSE);
        Box12FillLists(dialog, &d->browse);
        Box01DialogCheck(dialog, ID_DISPLAY, d->record.display ? 1 : 0);
        SetFocus(GetDlgItem(dialog, ID_LEAF));
        return FALSE;
    }
    if (message == WM_DRAWITEM && d && wParam == ID_PREVIEW) {
        DrawPreview(lParam, d->record.display, d->record.library, d->record.block);
        return TRUE;
    }
    if (message == WM_COMMAND && d) {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == ID_DISPLAY) {
            d->record.display = d->record.display ? 0 : 1;
            ShowPreview(dialog);
            return TRUE;
        }
        if (Box12BrowseCommand(dialog, &d->browse, id, code)) {
            if (id == ID_BLOCKS && code == LBN_DBLCLK && ComposeSelected(dialog, d)) {
                Box01DialogEnd(dialog, DIALOG_OK);
                return TRUE;
            }
            if (id == ID_BLOCKS || id == ID_LEAF)
                Box12FollowLeaf(dialog, &d->browse);
            ShowPreview(dialog);
            return TRUE;
        }
        if (id == IDOK) {
            if (ComposeSelected(dialog, d))
                Box01DialogEnd(dialog, DIALOG_OK);
            return TRUE;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_BLOCKSELECT);
}

} // namespace

uint32_t Box12BlockSelect(HWND owner, const char *caption, BlockSelect *record, int libraryChoice)
{
    SelectDialog d{};
    d.caption = caption;
    d.record = *record;
    if (!d.record.library[0])
        std::strcpy(d.record.library, SYMBOL_OWN_LIBRARY);
    d.libraryChoice = libraryChoice;
    if (!Box01DialogEdit(owner, "BLOCKSELECT", SelectDialogProc, d))
        return 0;
    *record = d.record;
    return 1;
}

uint32_t Box12BlockInsert(HWND owner, const char *caption, BlockInsertSlot *slot, int clearAllowed)
{
    InsertDialog d{};
    d.caption = caption;
    d.slot = *slot;
    d.clearAllowed = clearAllowed;
    if (!Box01DialogEdit(owner, "BLOCKINSERT", InsertDialogProc, d))
        return 0;
    *slot = d.slot;
    return 1;
}

void Box12PathCutName(char *path)
{
    const size_t n = std::strlen(path);
    if (!n)
        return;
    path[n - 1] = 0;
    char *slash = std::strrchr(path, '\\');
    if (slash)
        slash[1] = 0;
    else
        path[0] = 0;
}

void Box12PathSplit(const char *full, char *leaf, char *folder)
{
    const char *slash = std::strrchr(full, '\\');
    const size_t cut = slash ? size_t(slash - full) + 1 : 0;
    if (leaf)
        lstrcpynA(leaf, full + cut, BLOCK_NAME_SIZE);
    if (folder) {
        const size_t n = cut < size_t(BLOCK_NAME_SIZE) ? cut : size_t(BLOCK_NAME_SIZE) - 1;
        std::memcpy(folder, full, n);
        folder[n] = 0;
    }
}

int Box12ComposeBlockName(const char *folder, const char *typed, char *full)
{
    if (typed[0] == '\\')
        ++typed;
    if (std::strlen(folder) + std::strlen(typed) >= size_t(BLOCK_NAME_SIZE))
        return kTooLong;
    std::snprintf(full, BLOCK_NAME_SIZE, "%s%s", folder, typed);
    if (std::strstr(full, "\\\\"))
        return kTwoBackslashes;
    return 0;
}

int Box12MatchBlockName(const char *const *names, int count, const char *leaf)
{
    for (int i = 0; i < count; ++i)
        if (std::strcmp(names[i], leaf) == 0)
            return i;
    const size_t n = std::strlen(leaf);
    for (int i = 0; i < count; ++i)
        if (std::strlen(names[i]) > n && CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, names[i], int(n), leaf,
                                                        int(n)) == CSTR_EQUAL)
            return i;
    return -1;
}

uint32_t Box12BlockRead(HWND owner, const char *caption, BlockRead *record)
{
    ReadDialog d{};
    d.caption = caption;
    d.record = *record;
    if (!Box01DialogEdit(owner, "BLOCKREAD", ReadDialogProc, d))
        return 0;
    *record = d.record;
    return 1;
}

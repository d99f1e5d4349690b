// "BLOCKEDIT", the library manager: every operation changes the library at
// once; the lists are browsed again after it.
#include "dialogs/box12.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "database/object_attributes.h"
#include "database/object_property.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_browse.h"
#include "database/symbol_preview.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box02.h"
#include "dialogs/box08_blockcopy.h"
#include "dialogs/box14.h"
#include "language/language.h"

namespace {

constexpr int ID_BLOCKS = 170, ID_FOLDERS = 171, ID_LEAF = 200, ID_DISPLAY = 250, ID_PREVIEW = 700;
constexpr int ID_RENAME = 550, ID_DELETE = 551, ID_ATTRIBUTES = 552, ID_PROPERTIES = 553, ID_NEW_FOLDER = 554,
              ID_RENAME_FOLDER = 555, ID_DELETE_FOLDER = 556, ID_LIBRARY_PROPERTIES = 557, ID_COPY = 558;
constexpr int HELP_BLOCKEDIT = 15065;
// eAlertTextOK
constexpr int kNoSelection = 3, kUpFolder = 10, kHashName = 40, kTooLong = 42, kNoBlock = 44, kDeleteBlock = 57,
              kDeleteFolder = 58, kTwoBackslashes = 92, kExists = 93, kCannotChange = 94, kNotEditable = 97,
              kNoLibraryProperties = 98, kNoFolder = 120;
// eCaptionTexts
constexpr int kCaptionRenameFolder = 11, kCaptionLibraryProperties = 14, kCaptionBlockProperties = 15,
              kCaptionAttributes = 32, kCaptionNewFolder = 46, kCaptionRenameBlock = 57, kCaptionCopy = 41;
constexpr int kNamePrompt = 54; // eUniTexts
constexpr int PATH_SIZE = BLOCK_NAME_SIZE * 2;

struct EditDialog {
    DialogHeader header;
    const char *caption;
    BlockSelect record;
    BlockBrowse browse;
    uint32_t changed;
};

struct WaitCursor {
    HCURSOR old = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    ~WaitCursor() { SetCursor(old); }
};

void Folder(const EditDialog *d, char *folder) { Box12PathSplit(d->record.block, nullptr, folder); }

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

// The block buttons follow the current block, the library buttons the library.
void EnableButtons(HWND dialog, const EditDialog *d)
{
    const bool block = SymbolCanEditBlock(d->record.library, d->record.block) != 0;
    const bool editable = SymbolLibraryIsEditable(d->record.library) != 0;
    Enable(dialog, ID_RENAME, block && d->record.block[0] != '#');
    for (int id : {ID_DELETE, ID_ATTRIBUTES, ID_PROPERTIES})
        Enable(dialog, id, block);
    Enable(dialog, ID_NEW_FOLDER, editable);
    Enable(dialog, ID_RENAME_FOLDER, false);
    Enable(dialog, ID_DELETE_FOLDER, false);
    Enable(dialog, ID_LIBRARY_PROPERTIES, editable);
}

// After a change: the lists browsed again, the buttons and the preview.
void Refresh(HWND dialog, EditDialog *d)
{
    Box12FillLists(dialog, &d->browse);
    EnableButtons(dialog, d);
    InvalidateRect(GetDlgItem(dialog, ID_PREVIEW), nullptr, FALSE);
}

void Changed(HWND dialog, EditDialog *d)
{
    d->changed = 1;
    Refresh(dialog, d);
}

// The typed block must exist and may be changed; its leaf is written.
int CurrentBlock(HWND dialog, EditDialog *d, char *leaf)
{
    if (!Box12CheckExistingBlock(dialog, d->record.library, d->record.block))
        return 0;
    Box12PathSplit(d->record.block, leaf, nullptr);
    if (!SymbolCanEditBlock(d->record.library, d->record.block)) {
        Box12AlertWith(dialog, kCannotChange, leaf);
        return 0;
    }
    return 1;
}

// A name asked with the name box, its trailing backslash dropped.
int AskName(HWND dialog, int caption, char *name)
{
    if (!Box02EditName(dialog, eCaptionTexts[caption], eUniTexts[kNamePrompt], name, BLOCK_NAME_SIZE))
        return 0;
    const size_t n = std::strlen(name);
    if (n && name[n - 1] == '\\')
        name[n - 1] = 0;
    return 1;
}

// 0 when the composed path may be used, else its message shown.
int PathRefused(HWND dialog, const char *path, const char *name)
{
    if (std::strlen(path) >= size_t(BLOCK_NAME_SIZE)) {
        Box12AlertWith(dialog, kTooLong, name);
        return 1;
    }
    if (std::strstr(path, "\\\\")) {
        Box12AlertWith(dialog, kTwoBackslashes, name);
        return 1;
    }
    return 0;
}

void RenameBlock(HWND dialog, EditDialog *d)
{
    char leaf[BLOCK_NAME_SIZE], folder[BLOCK_NAME_SIZE], path[PATH_SIZE];
    if (!Box12CheckExistingBlock(dialog, d->record.library, d->record.block))
        return;
    Box12PathSplit(d->record.block, leaf, folder);
    if (d->record.block[0] == '#') {
        Box12AlertWith(dialog, kHashName, leaf);
        return;
    }
    if (!SymbolCanEditBlock(d->record.library, d->record.block)) {
        Box12AlertWith(dialog, kCannotChange, leaf);
        return;
    }
    char name[BLOCK_NAME_SIZE];
    lstrcpynA(name, leaf, sizeof name);
    if (!Box02EditName(dialog, eCaptionTexts[kCaptionRenameBlock], eUniTexts[kNamePrompt], name, BLOCK_NAME_SIZE))
        return;
    std::snprintf(path, sizeof path, "%s%s", folder, name);
    if (PathRefused(dialog, path, name))
        return;
    if (SymbolBlockExists(d->record.library, path)) {
        Box12AlertWith(dialog, kExists, name);
        return;
    }
    int renamed;
    {
        WaitCursor wait;
        renamed = SymbolRenameBlock(d->record.library, d->record.block, path);
    }
    if (!renamed) {
        Box12AlertWith(dialog, kNoBlock, leaf);
        return;
    }
    lstrcpynA(d->record.block, path, BLOCK_NAME_SIZE);
    Changed(dialog, d);
}

void DeleteBlock(HWND dialog, EditDialog *d)
{
    char leaf[BLOCK_NAME_SIZE], folder[BLOCK_NAME_SIZE], text[PATH_SIZE * 4];
    if (!CurrentBlock(dialog, d, leaf))
        return;
    std::snprintf(text, sizeof text, eAlertTextOK[kDeleteBlock], leaf);
    if (AlertYesNo(dialog, text) != ALERT_YES)
        return;
    // The row before the deleted one is shown next, the row after it when it was the first.
    const int row = int(SendDlgItemMessageA(dialog, ID_BLOCKS, LB_FINDSTRINGEXACT, WPARAM(-1),
                                            reinterpret_cast<LPARAM>(leaf)));
    const int rows = int(SendDlgItemMessageA(dialog, ID_BLOCKS, LB_GETCOUNT, 0, 0));
    const int next = row > 0 ? row - 1 : rows > 1 ? 1 : -1;
    char name[BLOCK_NAME_SIZE] = {};
    if (next >= 0 && SendDlgItemMessageA(dialog, ID_BLOCKS, LB_GETTEXTLEN, WPARAM(next), 0) < BLOCK_NAME_SIZE)
        SendDlgItemMessageA(dialog, ID_BLOCKS, LB_GETTEXT, WPARAM(next), reinterpret_cast<LPARAM>(name));
    int deleted;
    {
        WaitCursor wait;
        deleted = SymbolDeleteBlockByName(d->record.library, d->record.block);
    }
    if (!deleted) {
        Box12AlertWith(dialog, kNoBlock, leaf);
        return;
    }
    Folder(d, folder);
    std::snprintf(d->record.block, BLOCK_NAME_SIZE, "%s%s", folder, name);
    SymbolBrowseLibrary(d->record.library, folder, 1);
    if (!name[0] && folder[0] && SymbolBrowseBlockCount() == 0 && SymbolBrowseFolderCount() == 0) {
        // An emptied folder is left: one folder up.
        Box12PathCutName(folder);
        lstrcpynA(d->record.block, folder, BLOCK_NAME_SIZE);
    }
    Changed(dialog, d);
}

void EditAttributes(HWND dialog, EditDialog *d)
{
    char leaf[BLOCK_NAME_SIZE];
    if (!CurrentBlock(dialog, d, leaf))
        return;
    const int result = Box12EditBlockAttributes(dialog, eCaptionTexts[kCaptionAttributes], d->record.library,
                                                d->record.block);
    if (result < 0)
        Box12AlertWith(dialog, kNoBlock, leaf);
    else if (result > 0)
        Changed(dialog, d);
}

void EditBlockProperties(HWND dialog, EditDialog *d)
{
    char leaf[BLOCK_NAME_SIZE];
    if (!CurrentBlock(dialog, d, leaf))
        return;
    auto set = std::make_unique<ObjectAttributes>();
    if (!ObjectGetBlockProperties(d->record.library, d->record.block, set.get())) {
        Box12AlertWith(dialog, kNoBlock, leaf);
        return;
    }
    if (!Box14ObjInfoMulti(dialog, eCaptionTexts[kCaptionBlockProperties], set.get(), 1, nullptr))
        return;
    if (!ObjectSetBlockProperties(d->record.library, d->record.block, set.get()))
        Box12AlertWith(dialog, kNoBlock, leaf);
    Changed(dialog, d);
}

void NewFolder(HWND dialog, EditDialog *d)
{
    char name[BLOCK_NAME_SIZE] = {}, folder[BLOCK_NAME_SIZE], path[PATH_SIZE];
    if (!AskName(dialog, kCaptionNewFolder, name))
        return;
    Folder(d, folder);
    std::snprintf(path, sizeof path, "%s%s\\", folder, name);
    if (PathRefused(dialog, path, name))
        return;
    int replaced = 0;
    if (!SymbolCreateEmptyBlock(d->record.library, path, &replaced)) {
        Box12AlertWith(dialog, kNoFolder, name);
        return;
    }
    Changed(dialog, d);
}

// The folder chosen in list 171, or 0 with its message shown.
int ChosenFolder(HWND dialog, EditDialog *d, char *name)
{
    char folder[BLOCK_NAME_SIZE];
    Folder(d, folder);
    const int row = int(SendDlgItemMessageA(dialog, ID_FOLDERS, LB_GETCURSEL, 0, 0));
    if (row < 0 || SendDlgItemMessageA(dialog, ID_FOLDERS, LB_GETTEXTLEN, WPARAM(row), 0) >= BLOCK_NAME_SIZE) {
        Box12AlertWith(dialog, kNoSelection, "");
        return 0;
    }
    if (folder[0] && row == 0) {
        Box12AlertWith(dialog, kUpFolder, d->record.library);
        return 0;
    }
    if (!SymbolLibraryIsEditable(d->record.library)) {
        Box12AlertWith(dialog, kNotEditable, d->record.library);
        return 0;
    }
    SendDlgItemMessageA(dialog, ID_FOLDERS, LB_GETTEXT, WPARAM(row), reinterpret_cast<LPARAM>(name));
    return 1;
}

void RenameFolder(HWND dialog, EditDialog *d)
{
    if (d->record.block[0] == '#') {
        Box12AlertWith(dialog, kHashName, "");
        return;
    }
    char old[BLOCK_NAME_SIZE] = {}, folder[BLOCK_NAME_SIZE], leaf[BLOCK_NAME_SIZE];
    if (!ChosenFolder(dialog, d, old))
        return;
    char name[BLOCK_NAME_SIZE];
    lstrcpynA(name, old, sizeof name);
    if (!AskName(dialog, kCaptionRenameFolder, name))
        return;
    Box12PathSplit(d->record.block, leaf, folder);
    char shown[PATH_SIZE * 2], oldPrefix[PATH_SIZE], newPrefix[PATH_SIZE];
    std::snprintf(shown, sizeof shown, "%s%s\\%s", folder, name, leaf);
    if (PathRefused(dialog, shown, name))
        return;
    std::snprintf(oldPrefix, sizeof oldPrefix, "%s%s\\", folder, old);
    std::snprintf(newPrefix, sizeof newPrefix, "%s%s\\", folder, name);
    if (!SymbolCanRenameFolder(d->record.library, oldPrefix, newPrefix)) {
        Box12AlertWith(dialog, kTooLong, name);
        return;
    }
    {
        WaitCursor wait;
        SymbolRenameFolder(d->record.library, oldPrefix, newPrefix);
    }
    Changed(dialog, d);
    SendDlgItemMessageA(dialog, ID_FOLDERS, LB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(name));
    Enable(dialog, ID_RENAME_FOLDER, true);
    Enable(dialog, ID_DELETE_FOLDER, true);
}

void DeleteFolder(HWND dialog, EditDialog *d)
{
    char name[BLOCK_NAME_SIZE] = {}, folder[BLOCK_NAME_SIZE], prefix[PATH_SIZE], text[PATH_SIZE * 4];
    if (!ChosenFolder(dialog, d, name))
        return;
    std::snprintf(text, sizeof text, eAlertTextOK[kDeleteFolder], name);
    if (AlertYesNo(dialog, text) != ALERT_YES)
        return;
    Folder(d, folder);
    std::snprintf(prefix, sizeof prefix, "%s%s\\", folder, name);
    int deleted;
    {
        WaitCursor wait;
        deleted = SymbolDeleteFolder(d->record.library, prefix);
    }
    // Refused when the drawing uses one of its blocks: said, not silent.
    if (!deleted)
        Box12AlertWith(dialog, kCannotChange, name);
    Changed(dialog, d);
}

void EditLibraryProperties(HWND dialog, EditDialog *d)
{
    if (!SymbolLibraryIsEditable(d->record.library)) {
        Box12AlertWith(dialog, kNotEditable, d->record.library);
        return;
    }
    auto set = std::make_unique<ObjectAttributes>();
    if (!ObjectGetLibraryProperties(d->record.library, set.get())) {
        Box12AlertWith(dialog, kNoLibraryProperties, d->record.library);
        return;
    }
    if (!Box14ObjInfoMulti(dialog, eCaptionTexts[kCaptionLibraryProperties], set.get(), 1, nullptr))
        return;
    ObjectSetLibraryProperties(d->record.library, set.get());
    Changed(dialog, d);
}

// The copy dialog from and to the current block; what it really copied
// counts, also when it was cancelled.
void CopyOrMove(HWND dialog, EditDialog *d)
{
    BlockFolderCopy copy{};
    lstrcpynA(copy.sourceLibrary, d->record.library, sizeof copy.sourceLibrary);
    lstrcpynA(copy.sourceBlock, d->record.block, sizeof copy.sourceBlock);
    lstrcpynA(copy.targetLibrary, d->record.library, sizeof copy.targetLibrary);
    lstrcpynA(copy.targetBlock, d->record.block, sizeof copy.targetBlock);
    copy.sourcePreview = copy.targetPreview = d->record.display;
    int copied = 0;
    Box08BlockFolderCopy(dialog, eCaptionTexts[kCaptionCopy], &copy, &copied);
    if (copied > 0)
        Changed(dialog, d);
}

// A single click on a folder offers renaming and deleting it.
void FolderChosen(HWND dialog, const EditDialog *d)
{
    char folder[BLOCK_NAME_SIZE];
    Folder(d, folder);
    const int row = int(SendDlgItemMessageA(dialog, ID_FOLDERS, LB_GETCURSEL, 0, 0));
    const bool folderRow = row >= 0 && !(folder[0] && row == 0);
    const bool editable = SymbolLibraryIsEditable(d->record.library) != 0;
    Enable(dialog, ID_RENAME_FOLDER, folderRow && editable && folder[0] != '#');
    Enable(dialog, ID_DELETE_FOLDER, folderRow && editable);
}

INT_PTR CALLBACK EditDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditDialog *d = Box01DialogRecordOf<EditDialog>(dialog);
    if (message == WM_INITDIALOG) {
        d = reinterpret_cast<EditDialog *>(Box01DialogInit(dialog, lParam));
        d->browse = {d->record.library, d->record.block, 0};
        if (d->caption)
            SetWindowTextA(dialog, d->caption);
        Box12FillLibraryCombo(dialog, d->record.library);
        Refresh(dialog, d);
        Box01DialogCheck(dialog, ID_DISPLAY, d->record.display ? 1 : 0);
        SetFocus(GetDlgItem(dialog, ID_LEAF));
        return FALSE;
    }
    if (message == WM_DRAWITEM && d && wParam == ID_PREVIEW) {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        SymbolDrawPreviewDC(item->hwndItem, int(d->record.display), d->record.library, d->record.block, 0.0,
                            &item->rcItem);
        return TRUE;
    }
    if (message == WM_COMMAND && d) {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        switch (id) {
        case ID_DISPLAY:
            d->record.display = d->record.display ? 0 : 1;
            InvalidateRect(GetDlgItem(dialog, ID_PREVIEW), nullptr, FALSE);
            return TRUE;
        case ID_RENAME: RenameBlock(dialog, d); return TRUE;
        case ID_DELETE: DeleteBlock(dialog, d); return TRUE;
        case ID_ATTRIBUTES: EditAttributes(dialog, d); return TRUE;
        case ID_PROPERTIES: EditBlockProperties(dialog, d); return TRUE;
        case ID_NEW_FOLDER: NewFolder(dialog, d); return TRUE;
        case ID_RENAME_FOLDER: RenameFolder(dialog, d); return TRUE;
        case ID_DELETE_FOLDER: DeleteFolder(dialog, d); return TRUE;
        case ID_LIBRARY_PROPERTIES: EditLibraryProperties(dialog, d); return TRUE;
        case ID_COPY: CopyOrMove(dialog, d); return TRUE;
        case IDOK: Box01DialogEnd(dialog, DIALOG_OK); return TRUE;
        default: break;
        }
        if (id == ID_FOLDERS && code == LBN_SELCHANGE) {
            FolderChosen(dialog, d);
            return TRUE;
        }
        if (id == ID_BLOCKS && code == LBN_DBLCLK)
            return TRUE; // no choosing here
        if (Box12BrowseCommand(dialog, &d->browse, id, code)) {
            if (id == ID_BLOCKS || id == ID_LEAF)
                Box12FollowLeaf(dialog, &d->browse);
            EnableButtons(dialog, d);
            InvalidateRect(GetDlgItem(dialog, ID_PREVIEW), nullptr, FALSE);
            return TRUE;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_BLOCKEDIT);
}

} // namespace

int Box12EditBlockAttributes(HWND owner, const char *caption, const char *library, const char *block)
{
    ScratchUni2 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return -1;
    auto *entries = reinterpret_cast<AttributeEntry *>(g_Uni2);
    int count = SymbolGetBlockAttributes(library, block, entries);
    if (count < 0)
        return -1;
    if (!Box12BlockAttrib(owner, caption, library, block, entries, &count, 1))
        return 0;
    if (!SymbolSetBlockAttributes(library, block, entries, count)) {
        AlertSM2(owner);
        return 0;
    }
    return 1;
}

uint32_t Box12BlockEdit(HWND owner, const char *caption, BlockSelect *record)
{
    EditDialog d{};
    d.caption = caption;
    d.record = *record;
    if (!d.record.library[0])
        std::strcpy(d.record.library, "*");
    if (!Box01DialogEdit(owner, "BLOCKEDIT", EditDialogProc, d))
        return 0;
    *record = d.record;
    return d.changed;
}

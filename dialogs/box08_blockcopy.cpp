// Copying blocks between libraries: one block, or every block of a folder.
#include "dialogs/box08_blockcopy.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "database/symbol_browse.h"
#include "database/symbol_preview.h"
#include "database/unit.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box12.h"
#include "language/language.h"

namespace {

constexpr int kReplaceAll = 109, kReplace = 41, kBothNames = 103; // eAlertTextOK
constexpr int kCaptionChoose = 40;                                  // eCaptionTexts
constexpr int kOwnBlocks = 7;                                       // eUniTexts
constexpr int MESSAGE_SIZE = 512;
constexpr int ID_SOURCE_LIBRARY = 350, ID_SOURCE_BLOCK = 351, ID_TARGET_LIBRARY = 352, ID_TARGET_BLOCK = 353,
              ID_SOURCE_PREVIEW = 700, ID_TARGET_PREVIEW = 701, ID_SOURCE_SWITCH = 250, ID_TARGET_SWITCH = 251,
              ID_CHOOSE_SOURCE = 550, ID_CHOOSE_TARGET = 551, ID_COPY_BLOCK = 552, ID_COPY_FOLDER = 553;
constexpr int HELP_BLOCKFOLDERCOPY = 15066;

struct CopyDialog {
    DialogHeader header;
    const char *caption;
    BlockFolderCopy record;
    int *copied; // blocks really copied while the dialog was open: outside the record, so Cancel keeps it
};

struct WaitCursor {
    HCURSOR old = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    ~WaitCursor() { SetCursor(old); }
};

const char *Shown(const char *library) { return std::strcmp(library, "*") == 0 ? eUniTexts[kOwnBlocks] : library; }

void ShowNames(HWND dialog, const CopyDialog *d)
{
    SetDlgItemTextA(dialog, ID_SOURCE_LIBRARY, Shown(d->record.sourceLibrary));
    SetDlgItemTextA(dialog, ID_SOURCE_BLOCK, d->record.sourceBlock);
    SetDlgItemTextA(dialog, ID_TARGET_LIBRARY, Shown(d->record.targetLibrary));
    SetDlgItemTextA(dialog, ID_TARGET_BLOCK, d->record.targetBlock);
    InvalidateRect(GetDlgItem(dialog, ID_SOURCE_PREVIEW), nullptr, FALSE);
    InvalidateRect(GetDlgItem(dialog, ID_TARGET_PREVIEW), nullptr, FALSE);
}

void EnableCopies(HWND dialog, const CopyDialog *d)
{
    const bool writable = SymbolLibraryIsWritable(d->record.targetLibrary) != 0;
    EnableWindow(GetDlgItem(dialog, ID_COPY_BLOCK), writable);
    EnableWindow(GetDlgItem(dialog, ID_COPY_FOLDER), writable && !SymbolLibraryIsCaching(d->record.sourceLibrary));
}

// The chooser on one side; 1 when confirmed.
int Choose(HWND dialog, char *library, char *block, uint32_t *preview)
{
    BlockSelect choice{};
    lstrcpynA(choice.library, library, sizeof choice.library);
    lstrcpynA(choice.block, block, sizeof choice.block);
    choice.display = *preview;
    if (!Box12BlockSelect(dialog, eCaptionTexts[kCaptionChoose], &choice, 1))
        return 0;
    lstrcpynA(library, choice.library, BLOCK_NAME_SIZE);
    lstrcpynA(block, choice.block, BLOCK_NAME_SIZE);
    *preview = choice.display;
    return 1;
}

void ChooseSource(HWND dialog, CopyDialog *d)
{
    BlockFolderCopy &r = d->record;
    if (!Choose(dialog, r.sourceLibrary, r.sourceBlock, &r.sourcePreview))
        return;
    // The target keeps its folder and takes the source's leaf.
    char leaf[BLOCK_NAME_SIZE], folder[BLOCK_NAME_SIZE];
    Box12PathSplit(r.sourceBlock, leaf, nullptr);
    Box12PathSplit(r.targetBlock, nullptr, folder);
    std::snprintf(r.targetBlock, sizeof r.targetBlock, "%s%s", folder, leaf);
    ShowNames(dialog, d);
    EnableCopies(dialog, d);
}

void CopyBlock(HWND dialog, CopyDialog *d)
{
    const BlockFolderCopy &r = d->record;
    if (!r.sourceBlock[0] || !r.targetBlock[0]) {
        AlertOk(dialog, eAlertTextOK[kBothNames]);
        return;
    }
    WaitCursor wait;
    if (SymbolBlockExists(r.targetLibrary, r.targetBlock)) {
        char text[MESSAGE_SIZE];
        std::snprintf(text, sizeof text, eAlertTextOK[kReplace], r.targetBlock);
        if (AlertYesNo(dialog, text) != ALERT_YES)
            return;
    }
    if (!SymbolCopyBlock(r.sourceLibrary, r.targetLibrary, r.sourceBlock, r.targetBlock, 1)) {
        AlertSM52(dialog);
        return;
    }
    ++*d->copied;
    InvalidateRect(GetDlgItem(dialog, ID_TARGET_PREVIEW), nullptr, FALSE);
}

INT_PTR CALLBACK CopyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    CopyDialog *d = Box01DialogRecordOf<CopyDialog>(dialog);
    if (message == WM_INITDIALOG) {
        d = reinterpret_cast<CopyDialog *>(Box01DialogInit(dialog, lParam));
        if (d->caption)
            SetWindowTextA(dialog, d->caption);
        ShowNames(dialog, d);
        Box01DialogCheck(dialog, ID_SOURCE_SWITCH, d->record.sourcePreview ? 1 : 0);
        Box01DialogCheck(dialog, ID_TARGET_SWITCH, d->record.targetPreview ? 1 : 0);
        EnableCopies(dialog, d);
        return TRUE;
    }
    if (message == WM_DRAWITEM && d && (wParam == ID_SOURCE_PREVIEW || wParam == ID_TARGET_PREVIEW)) {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        const BlockFolderCopy &r = d->record;
        if (wParam == ID_SOURCE_PREVIEW)
            SymbolDrawPreviewDC(item->hwndItem, int(r.sourcePreview), r.sourceLibrary, r.sourceBlock, 0.0,
                                &item->rcItem);
        else
            SymbolDrawPreviewDC(item->hwndItem, int(r.targetPreview), r.targetLibrary, r.targetBlock, 0.0,
                                &item->rcItem);
        return TRUE;
    }
    if (message == WM_COMMAND && d) {
        BlockFolderCopy &r = d->record;
        switch (LOWORD(wParam)) {
        case ID_SOURCE_SWITCH:
            r.sourcePreview = r.sourcePreview ? 0 : 1;
            InvalidateRect(GetDlgItem(dialog, ID_SOURCE_PREVIEW), nullptr, FALSE);
            return TRUE;
        case ID_TARGET_SWITCH:
            r.targetPreview = r.targetPreview ? 0 : 1;
            InvalidateRect(GetDlgItem(dialog, ID_TARGET_PREVIEW), nullptr, FALSE);
            return TRUE;
        case ID_CHOOSE_SOURCE: ChooseSource(dialog, d); return TRUE;
        case ID_CHOOSE_TARGET:
            if (Choose(dialog, r.targetLibrary, r.targetBlock, &r.targetPreview)) {
                ShowNames(dialog, d);
                EnableCopies(dialog, d);
            }
            return TRUE;
        case ID_COPY_BLOCK: CopyBlock(dialog, d); return TRUE;
        case ID_COPY_FOLDER: {
            WaitCursor wait;
            *d->copied += Box08CopyFolder(dialog, r.sourceLibrary, r.sourceBlock, r.targetLibrary, r.targetBlock);
            InvalidateRect(GetDlgItem(dialog, ID_TARGET_PREVIEW), nullptr, FALSE);
            return TRUE;
        }
        case IDOK: Box01DialogEnd(dialog, DIALOG_OK); return TRUE;
        default: break;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_BLOCKFOLDERCOPY);
}

} // namespace

uint32_t Box08BlockFolderCopy(HWND owner, const char *caption, BlockFolderCopy *record, int *copied)
{
    int done = 0;
    CopyDialog d{};
    d.caption = caption;
    d.record = *record;
    d.copied = &done;
    const uint32_t confirmed = Box01DialogEdit(owner, "BLOCKFOLDERCOPY", CopyDialogProc, d);
    if (copied)
        *copied = done;
    if (!confirmed)
        return 0;
    *record = d.record;
    return done > 0 ? 1 : 0;
}

int Box08CopyFolder(HWND owner, const char *sourceLibrary, const char *sourceBlock, const char *targetLibrary,
                    const char *targetBlock)
{
    if (SymbolLibraryIsCaching(sourceLibrary))
        return 0;
    char sourceFolder[BLOCK_NAME_SIZE], targetFolder[BLOCK_NAME_SIZE];
    Box12PathSplit(sourceBlock, nullptr, sourceFolder);
    Box12PathSplit(targetBlock, nullptr, targetFolder);
    SymbolBrowseLibrary(sourceLibrary, sourceFolder, 1);
    std::vector<std::string> leaves;
    for (int i = 0; i < SymbolBrowseBlockCount(); ++i)
        leaves.emplace_back(SymbolBrowseBlockName(i));
    auto target = [&](const std::string &leaf) { return std::string(targetFolder) + leaf; };
    int overwrite = -1; // asked once, at the first existing target
    for (const std::string &leaf : leaves)
        if (overwrite < 0 && SymbolBlockExists(targetLibrary, target(leaf).c_str())) {
            char text[MESSAGE_SIZE];
            std::snprintf(text, sizeof text, eAlertTextOK[kReplaceAll], target(leaf).c_str());
            overwrite = AlertYesNo(owner, text) == ALERT_YES ? 1 : 0;
        }
    int copied = 0;
    for (const std::string &leaf : leaves) {
        const std::string source = std::string(sourceFolder) + leaf, name = target(leaf);
        if (source.size() >= size_t(UNIT_NAME_SIZE) || name.size() >= size_t(UNIT_NAME_SIZE)) {
            AlertSM52(owner);
            break;
        }
        // A kept target is not a copy: only blocks really written count.
        if (overwrite == 0 && SymbolBlockExists(targetLibrary, name.c_str()))
            continue;
        if (!SymbolCopyBlock(sourceLibrary, targetLibrary, source.c_str(), name.c_str(), 1)) {
            AlertSM52(owner);
            break;
        }
        ++copied;
    }
    return copied;
}

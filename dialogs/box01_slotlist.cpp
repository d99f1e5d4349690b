// The list editor of definition tables with a fixed slot 0.
#include "dialogs/box01_slotlist.h"

#include <cstring>

#include "dialogs/alert.h"
#include "dialogs/box01_controls.h"
#include "language/language.h"

namespace {

constexpr int ID_LIST = 170;
constexpr int ID_NEW = 14, ID_RENAME = 15, ID_DELETE = 13, ID_EDIT = 20, ID_TAKE = 28;
constexpr int NO_ENTRY = -1;
constexpr int NAME_BUFFER = 256;

SlotListRecord &Record(HWND dialog) { return *Box01DialogRecordOf<SlotListRecord>(dialog); }

char *NameOf(SlotListRecord &r, int slot) { return reinterpret_cast<char *>(r.copy + r.recordSize * size_t(slot)); }

int FindName(SlotListRecord &r, const char *name)
{
    for (int i = 0; i < r.slots; ++i)
        if (NameOf(r, i)[0] && std::strcmp(NameOf(r, i), name) == 0)
            return i;
    return NO_ENTRY;
}

int SelectedSlot(HWND dialog)
{
    const int row = static_cast<int>(SendDlgItemMessageA(dialog, ID_LIST, LB_GETCURSEL, 0, 0));
    char text[NAME_BUFFER] = "";
    if (!Box01ListRowName(dialog, ID_LIST, row, text, sizeof text))
        return NO_ENTRY;
    return FindName(Record(dialog), text);
}

// Edit, rename and delete are not for slot 0.
void ShowSelection(HWND dialog)
{
    const bool editable = SelectedSlot(dialog) > 0;
    for (int id : {ID_EDIT, ID_RENAME, ID_DELETE})
        EnableWindow(GetDlgItem(dialog, id), editable);
}

void FillList(HWND dialog, int select)
{
    SlotListRecord &r = Record(dialog);
    HWND list = GetDlgItem(dialog, ID_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < r.slots; ++i)
        if (NameOf(r, i)[0])
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(NameOf(r, i)));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    int row = -1;
    if (select >= 0 && select < r.slots && NameOf(r, select)[0])
        row = Box01ListFindExact(dialog, ID_LIST, NameOf(r, select));
    SendMessageA(list, LB_SETCURSEL, row < 0 ? 0 : row, 0);
    ShowSelection(dialog);
}

// The selected slot, or NO_ENTRY (after the message when none is selected);
// slot 0 only when allowed.
int NeedSlot(HWND dialog, bool fixedAllowed)
{
    const int slot = Box01NeedEntry(dialog, SelectedSlot(dialog));
    return slot == 0 && !fixedAllowed ? NO_ENTRY : slot;
}

void Command(HWND dialog, int id)
{
    SlotListRecord &r = Record(dialog);
    auto find = [&r](const char *n) { return FindName(r, n); };
    char name[NAME_BUFFER];
    switch (id) {
    case ID_NEW: {
        const int model = NeedSlot(dialog, true);
        if (model == NO_ENTRY)
            return;
        std::strcpy(name, model == 0 ? "" : NameOf(r, model));
        if (!Box01AskFreeName(dialog, eCaptionTexts[r.texts->captionNew], name, r.nameSize, find, NO_ENTRY))
            return;
        for (int i = 1; i < r.slots; ++i)
            if (!NameOf(r, i)[0]) {
                std::memcpy(NameOf(r, i), NameOf(r, model), r.recordSize);
                std::memset(NameOf(r, i), 0, size_t(r.nameSize));
                std::strcpy(NameOf(r, i), name);
                FillList(dialog, i);
                return;
            }
        AlertOk(dialog, eAlertTextOK[r.texts->messageFull]);
        return;
    }
    case ID_RENAME: {
        const int slot = NeedSlot(dialog, false);
        if (slot == NO_ENTRY)
            return;
        std::strcpy(name, NameOf(r, slot));
        if (!Box01AskFreeName(dialog, eCaptionTexts[r.texts->captionRename], name, r.nameSize, find, slot))
            return;
        std::memset(NameOf(r, slot), 0, size_t(r.nameSize));
        std::strcpy(NameOf(r, slot), name);
        FillList(dialog, slot);
        return;
    }
    case ID_DELETE: {
        const int slot = NeedSlot(dialog, false);
        if (slot == NO_ENTRY || Box01AskName(dialog, r.texts->messageDelete, NameOf(r, slot)) != ALERT_YES)
            return;
        NameOf(r, slot)[0] = 0;
        Box01ListDeleteSelection(dialog, ID_LIST);
        ShowSelection(dialog);
        return;
    }
    case ID_EDIT: {
        const int slot = NeedSlot(dialog, false);
        if (slot != NO_ENTRY && r.edit)
            r.edit(dialog, eCaptionTexts[r.texts->captionEdit], NameOf(r, slot));
        return;
    }
    case ID_TAKE: {
        const int slot = NeedSlot(dialog, true);
        if (slot == NO_ENTRY)
            return;
        r.selected = slot;
        Box01DialogEnd(dialog, SLOT_LIST_TAKEN);
        return;
    }
    default: return;
    }
}

INT_PTR CALLBACK SlotListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<SlotListRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        FillList(dialog, r->selected);
        SetFocus(GetDlgItem(dialog, ID_LIST));
        return 0;
    }
    SlotListRecord *r = Box01DialogRecordOf<SlotListRecord>(dialog);
    if (!r)
        return 0;
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        if (id == ID_LIST) {
            if (HIWORD(wParam) == LBN_SELCHANGE)
                ShowSelection(dialog);
            else if (HIWORD(wParam) == LBN_DBLCLK)
                Command(dialog, GetDlgItem(dialog, ID_TAKE) ? ID_TAKE : ID_EDIT);
            return 1;
        }
        if (id == ID_NEW || id == ID_RENAME || id == ID_DELETE || id == ID_EDIT || id == ID_TAKE) {
            Command(dialog, id);
            return 1;
        }
        if (id == IDOK) {
            r->selected = NO_ENTRY;
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, r->texts->helpContext);
}

} // namespace

uint32_t Box01EditSlotList(HWND owner, const char *templateName, SlotListRecord &record)
{
    return Box01DialogEdit(owner, templateName, SlotListProc, record);
}

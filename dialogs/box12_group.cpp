#include "dialogs/box12.h"

#include <initializer_list>

#include "dialogs/box01.h"

namespace {

constexpr int ID_EDIT_ATTRIBUTES = 250, ID_EDIT_PROPERTY = 251, ID_PUSH_PROPERTY = 252;
constexpr int HELP_GROUP = 445; // the group command's number

struct GroupDialog {
    DialogHeader header;
    const char *caption;
    GroupInfo info;
};

uint32_t *Word(GroupDialog *d, int id)
{
    switch (id) {
    case ID_EDIT_ATTRIBUTES: return &d->info.editAttributes;
    case ID_EDIT_PROPERTY: return &d->info.editProperty;
    case ID_PUSH_PROPERTY: return &d->info.pushProperty;
    default: return nullptr;
    }
}

INT_PTR CALLBACK GroupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    GroupDialog *d = Box01DialogRecordOf<GroupDialog>(dialog);
    if (message == WM_INITDIALOG) {
        d = reinterpret_cast<GroupDialog *>(Box01DialogInit(dialog, lParam));
        if (d->caption)
            SetWindowTextA(dialog, d->caption);
        for (int id : {ID_EDIT_ATTRIBUTES, ID_EDIT_PROPERTY, ID_PUSH_PROPERTY})
            Box01DialogCheck(dialog, id, *Word(d, id) ? 1 : 0);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    if (message == WM_COMMAND && d) {
        const int id = LOWORD(wParam);
        if (uint32_t *w = Word(d, id)) {
            *w = *w ? 0 : 1;
            return TRUE;
        }
        if (id == IDOK) {
            Box01DialogEnd(dialog, DIALOG_OK);
            return TRUE;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_GROUP);
}

} // namespace

uint32_t Box12GroupInfo(HWND owner, const char *caption, GroupInfo *info)
{
    GroupDialog d{};
    d.caption = caption;
    d.info = *info;
    if (!Box01DialogEdit(owner, "GROUPINFO", GroupDialogProc, d))
        return 0;
    *info = d.info;
    return 1;
}

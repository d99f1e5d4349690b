#include "dialogs/box14.h"

#include <cstring>

#include "dialogs/box01.h"

namespace {

constexpr int ID_FIELD_FIRST = 250, ID_FIELD_LAST = 257; // bits 0 to 7 of word 0
constexpr int ID_SHOW_SHEET = 400;                       // bit 0x8000 of word 0
constexpr int ID_GROUP_FIRST = 500, ID_GROUP_LAST = 509; // words 1 to 10
constexpr int HELP_COPY_DEFAULTS = 453;
constexpr int ID_FOCUS = 256;

struct CopyPropDialog {
    DialogHeader header;
    const char *caption;
    uint32_t words[COPY_PROPERTY_WORDS];
};

void ShowFields(HWND dialog, const CopyPropDialog *d)
{
    for (int id = ID_FIELD_FIRST; id <= ID_FIELD_LAST; ++id)
        Box01DialogCheck(dialog, id, (d->words[0] >> (id - ID_FIELD_FIRST)) & 1);
}

bool Toggle(HWND dialog, CopyPropDialog *d, int id)
{
    if (id >= ID_FIELD_FIRST && id <= ID_FIELD_LAST) {
        d->words[0] ^= 1u << (id - ID_FIELD_FIRST);
        ShowFields(dialog, d);
    } else if (id == ID_SHOW_SHEET) {
        d->words[0] ^= COPY_PROPERTY_SHOW_SHEET;
        Box01DialogCheck(dialog, id, (d->words[0] & COPY_PROPERTY_SHOW_SHEET) ? 1 : 0);
    } else if (id >= ID_GROUP_FIRST && id <= ID_GROUP_LAST) {
        uint32_t &w = d->words[id - ID_GROUP_FIRST + 1];
        w = w ? 0 : 1;
        Box01DialogCheck(dialog, id, w);
    } else {
        return false;
    }
    return true;
}

INT_PTR CALLBACK CopyPropDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    CopyPropDialog *d = Box01DialogRecordOf<CopyPropDialog>(dialog);
    if (message == WM_INITDIALOG) {
        d = reinterpret_cast<CopyPropDialog *>(Box01DialogInit(dialog, lParam));
        if (d->caption)
            SetWindowTextA(dialog, d->caption);
        ShowFields(dialog, d);
        for (int id = ID_GROUP_FIRST; id <= ID_GROUP_LAST; ++id)
            Box01DialogCheck(dialog, id, d->words[id - ID_GROUP_FIRST + 1] ? 1 : 0);
        Box01DialogCheck(dialog, ID_SHOW_SHEET, (d->words[0] & COPY_PROPERTY_SHOW_SHEET) ? 1 : 0);
        SetFocus(GetDlgItem(dialog, ID_FOCUS));
        return FALSE;
    }
    if (message == WM_COMMAND && d) {
        const int id = LOWORD(wParam);
        if (Toggle(dialog, d, id))
            return TRUE;
        if (id == IDOK) {
            Box01DialogEnd(dialog, DIALOG_OK);
            return TRUE;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_COPY_DEFAULTS);
}

} // namespace

uint32_t Box14CopyPropDefault(HWND owner, const char *caption, uint32_t defaults[COPY_PROPERTY_WORDS])
{
    CopyPropDialog d{};
    d.caption = caption;
    std::memcpy(d.words, defaults, sizeof d.words);
    if (!Box01DialogEdit(owner, "COPYPROPDEFAULT", CopyPropDialogProc, d))
        return 0;
    std::memcpy(defaults, d.words, sizeof d.words);
    return 1;
}

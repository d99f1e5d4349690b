// PAGEFORMAT. The size list, the orientation buttons and the two fields stay
// consistent: a standard size needs an orientation, a free size has none, and
// typing into a field turns the page into a free size of the shown numbers.
#include "dialogs/box09_page.h"

#include <cstdio>

#include "app/window.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "language/language.h"
#include "plugin/zvi.h"

void Box09PageShownSize(const PageDef &page, double *width, double *height)
{
    *width = page.width;
    *height = page.height;
    if (page.format <= 0 || page.format >= WINDOW_PAPER_FORMATS || page.orientation <= 0)
        return;
    const double *s = g_PaperSizes[page.format];
    const bool across = page.orientation == PAGE_LANDSCAPE;
    *width = across ? s[1] : s[0];
    *height = across ? s[0] : s[1];
}

namespace {

constexpr char TEMPLATE_NAME[] = "PAGEFORMAT";
constexpr int PAGE_HELP = 15019;
constexpr int ID_SIZE = 180, ID_ANCHOR = 181, ID_WIDTH = 200, ID_HEIGHT = 201;
constexpr int ID_WIDTH_UNIT = 650, ID_HEIGHT_UNIT = 651;
constexpr int ID_ORIENTATION = 800, ORIENTATIONS = 3;
constexpr int MSG_SIDE_RANGE = 100;
constexpr int TEXT_SIZE = 64;
constexpr char TABLE_END = 4;

struct PageDialog {
    DialogHeader header;
    char caption[256];
    PageDef page;
};

PageDef &Work(HWND dialog) { return Box01DialogRecordOf<PageDialog>(dialog)->page; }

void FillCombo(HWND dialog, int id, const char *const *table, int first)
{
    for (int i = first; table[i] && table[i][0] != TABLE_END; ++i)
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(table[i]));
    Box01DialogComboboxAdjust(dialog, id);
}

void ShowSize(HWND dialog, bool labels)
{
    double width, height;
    Box09PageShownSize(Work(dialog), &width, &height);
    char text[TEXT_SIZE], unit[TEXT_SIZE];
    ZVI_ConvertWidthString(text, width, unit);
    SetDlgItemTextA(dialog, ID_WIDTH, text);
    if (labels)
        SetDlgItemTextA(dialog, ID_WIDTH_UNIT, unit);
    ZVI_ConvertWidthString(text, height, unit);
    SetDlgItemTextA(dialog, ID_HEIGHT, text);
    if (labels)
        SetDlgItemTextA(dialog, ID_HEIGHT_UNIT, unit);
}

void Refresh(HWND dialog)
{
    SendDlgItemMessageA(dialog, ID_SIZE, CB_SETCURSEL, WPARAM(Work(dialog).format), 0);
    Box01DialogRedrawItems(dialog, ID_ORIENTATION, ID_ORIENTATION + ORIENTATIONS - 1);
    ShowSize(dialog, false);
}

void Init(HWND dialog, LPARAM lParam)
{
    auto *d = reinterpret_cast<PageDialog *>(Box01DialogInit(dialog, lParam));
    PageDef &p = d->page;
    if (p.format < 0 || p.format >= WINDOW_PAPER_FORMATS)
        p.format = 0;
    SetWindowTextA(dialog, d->caption);
    FillCombo(dialog, ID_SIZE, ePageSizeNames, 0);
    SendDlgItemMessageA(dialog, ID_SIZE, CB_SETCURSEL, WPARAM(p.format), 0);
    FillCombo(dialog, ID_ANCHOR, eSysOrgModeNames, 1);
    SendDlgItemMessageA(dialog, ID_ANCHOR, CB_SETCURSEL, WPARAM(p.anchor < 1 ? 0 : p.anchor - 1), 0);
    ShowSize(dialog, true);
    SetFocus(GetDlgItem(dialog, ID_SIZE));
}

void ChooseSize(HWND dialog)
{
    const LRESULT row = SendDlgItemMessageA(dialog, ID_SIZE, CB_GETCURSEL, 0, 0);
    if (row < 0 || row >= WINDOW_PAPER_FORMATS)
        return;
    PageDef &p = Work(dialog);
    p.format = int32_t(row);
    if (p.format == 0)
        p.orientation = 0;
    else if (p.orientation == 0)
        p.orientation = 1;
    Refresh(dialog);
}

void ChooseOrientation(HWND dialog, int orientation)
{
    PageDef &p = Work(dialog);
    if (orientation == 0) {
        // The shown numbers become the free size.
        Box09PageShownSize(p, &p.width, &p.height);
        p.format = 0;
    } else if (p.format == 0) {
        p.format = 1;
    }
    p.orientation = orientation;
    Refresh(dialog);
}

// Typing a size makes the page a free one of the numbers the fields show.
void EnterField(HWND dialog)
{
    PageDef &p = Work(dialog);
    if (p.format == 0 && p.orientation == 0)
        return;
    Box09PageShownSize(p, &p.width, &p.height);
    p.format = 0;
    p.orientation = 0;
    SendDlgItemMessageA(dialog, ID_SIZE, CB_SETCURSEL, 0, 0);
    Box01DialogRedrawItems(dialog, ID_ORIENTATION, ID_ORIENTATION + ORIENTATIONS - 1);
}

int ReadSide(HWND dialog, int id, double *out)
{
    char text[TEXT_SIZE];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return AlertCheckInputWidthRange(dialog, text, out, id, PAGE_MIN_SIDE, PAGE_MAX_SIDE,
                                     eAlertTextOK[MSG_SIDE_RANGE]);
}

int Validate(HWND dialog)
{
    PageDef &p = Work(dialog);
    const LRESULT anchor = SendDlgItemMessageA(dialog, ID_ANCHOR, CB_GETCURSEL, 0, 0);
    p.anchor = int32_t(anchor < 0 ? 0 : anchor) + 1;
    double width = 0, height = 0;
    if (!ReadSide(dialog, ID_WIDTH, &width) || !ReadSide(dialog, ID_HEIGHT, &height))
        return 0;
    p.width = width;
    p.height = height;
    return 1;
}

INT_PTR CALLBACK PageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        Init(dialog, lParam);
        return FALSE;
    }
    if (message == WM_DRAWITEM) {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (item->CtlID < ID_ORIENTATION || item->CtlID >= ID_ORIENTATION + ORIENTATIONS)
            return 0;
        Box01DrawItemNumberedIcon(item, "IDI_PAGEMOD%d", ID_ORIENTATION, Work(dialog).orientation);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == ID_SIZE && code == CBN_SELCHANGE)
            ChooseSize(dialog);
        else if (id >= ID_ORIENTATION && id < ID_ORIENTATION + ORIENTATIONS)
            ChooseOrientation(dialog, id - ID_ORIENTATION);
        else if ((id == ID_WIDTH || id == ID_HEIGHT) && code == EN_SETFOCUS)
            EnterField(dialog);
        else if (id == IDOK) {
            if (Validate(dialog))
                Box01DialogEnd(dialog, DIALOG_OK);
        } else
            return Box01DialogDefault(dialog, message, wParam, lParam, PAGE_HELP);
        return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, PAGE_HELP);
}

} // namespace

int Box09PageFormat(HWND owner, const char *caption, PageDef *page)
{
    if (!page)
        return 0;
    PageDialog d = {};
    std::snprintf(d.caption, sizeof d.caption, "%s", caption ? caption : "");
    d.page = *page;
    if (!Box01DialogEdit(owner, TEMPLATE_NAME, PageProc, d))
        return 0;
    *page = d.page;
    return 1;
}

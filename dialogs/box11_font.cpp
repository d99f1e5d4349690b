// The character-library dialog: the open character libraries with marks for
// libraries to add and to close, the current text font and the fill mode of
// character outlines, all on a copy that OK hands back.
#include "dialogs/box11.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include "app/darad4.h"
#include "app/system.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box15.h"
#include "files/file_charlib.h"
#include "files/zvi.h"
#include "language/language.h"

namespace {

constexpr int ID_LIST = 170, ID_FACE = 180, ID_ADD = 550, ID_REMOVE = 551, ID_DETAILS = 552;
constexpr int ID_FILL_FIRST = 800, ID_FILL_CURRENT = 805;
constexpr int HELP_FONT_HANDLING = 15048;
constexpr int MSG_SELECT = 3, MSG_FULL = 71;   // eAlertTextOK
constexpr int MSG_UNREADABLE = 87;             // eAlertTextSM
constexpr int CAPTION_LIBRARIES = 29;          // eCaptionTexts
constexpr int MESSAGE_SIZE = 512;

struct FontHandling {
    DialogHeader header;
    const char *caption;
    FontHandlingWork work;
};

void FillLists(HWND dialog, FontHandling *d)
{
    Box11FontHandlingFillLists(dialog, &d->work);
}

void Add(HWND dialog, FontHandling *d)
{
    CharLibraryTable &t = d->work.table;
    if (t.count >= CHAR_LIBRARY_SLOTS) {
        AlertOk(dialog, eAlertTextOK[MSG_FULL]);
        return;
    }
    char path[MAX_PATH] = "";
    if (!g_Box11ChooseLibraryFile(dialog, eCaptionTexts[CAPTION_LIBRARIES], path))
        return;
    // The probe compares titles with the open table: let it see the copy.
    const CharLibraryTable saved = g_CharLibrarySlots;
    g_CharLibrarySlots = t;
    CharLibrarySlot &slot = g_CharLibrarySlots.slots[t.count];
    std::memset(&slot, 0, sizeof slot);
    lstrcpynA(slot.path, path, CHAR_LIBRARY_PATH_SIZE);
    const int probed = FileProbeCharLibrarySlot(t.count);
    slot.added = 1;
    const CharLibraryTable edited = g_CharLibrarySlots;
    g_CharLibrarySlots = saved;
    if (!probed || !edited.slots[t.count].info.title[0]) {
        char shortName[MAX_PATH] = "", text[MESSAGE_SIZE];
        ZVI_FileShortName(path, shortName);
        std::snprintf(text, sizeof text, eAlertTextSM[MSG_UNREADABLE], shortName);
        AlertOk(dialog, text);
        return;
    }
    t.slots[t.count] = edited.slots[t.count];
    t.count += 1;
    FillLists(dialog, d);
}

// The file information of the selected library: a loaded one may be edited,
// one added in this dialog only viewed.
void Details(HWND dialog, FontHandling *d)
{
    int index;
    if (!Box11FontHandlingGetSel(dialog, &index))
        return;
    CharLibrarySlot &slot = d->work.table.slots[index];
    const char *caption = eCaptionTexts[CAPTION_LIBRARIES];
    if (slot.added)
        Box15FileViewDetails(dialog, caption, slot.path, &slot.info);
    else if (Box15FileEditDetails(dialog, caption, slot.path, &slot.info, BOX15_DRAWING_SLOT, nullptr))
        FillLists(dialog, d);
}

void Remove(HWND dialog, FontHandling *d)
{
    int index;
    if (!Box11FontHandlingGetSel(dialog, &index))
        return;
    CharLibraryTable &t = d->work.table;
    CharLibrarySlot &slot = t.slots[index];
    if (!slot.added) {
        slot.remove = !slot.remove;
        InvalidateRect(GetDlgItem(dialog, ID_LIST), nullptr, TRUE);
        return;
    }
    for (int i = index; i + 1 < t.count; ++i)
        t.slots[i] = t.slots[i + 1];
    t.count -= 1;
    std::memset(&t.slots[t.count], 0, sizeof t.slots[t.count]);
    FillLists(dialog, d);
}

void Confirm(HWND dialog, FontHandling *d)
{
    FontDef &f = d->work.font;
    if (!Box01ComboSelection(dialog, ID_FACE, f.face, FONT_FACE_SIZE))
        return;
    f.kind = FONT_KIND_LIBRARY;
    f.style = 0;
    f.weight = FW_NORMAL;
    bool library = false;
    for (int i = 0; i < d->work.table.count; ++i)
        library = library || lstrcmpA(d->work.table.slots[i].info.title, f.face) == 0;
    if (!library)
        f.kind = FONT_KIND_TRUETYPE;
    Box01DialogEnd(dialog, DIALOG_OK);
}

INT_PTR CALLBACK FontHandlingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    FontHandling *d = Box01DialogRecordOf<FontHandling>(dialog);
    switch (message) {
    case WM_INITDIALOG:
        d = reinterpret_cast<FontHandling *>(Box01DialogInit(dialog, lParam));
        if (d->caption)
            SetWindowTextA(dialog, d->caption);
        FillLists(dialog, d);
        return TRUE;
    case WM_COMPAREITEM: {
        const auto *c = reinterpret_cast<const COMPAREITEMSTRUCT *>(lParam);
        if (wParam != ID_LIST || !d)
            return 0;
        const int a = int(c->itemData1), b = int(c->itemData2);
        if (a < 0 || b < 0 || a >= CHAR_LIBRARY_SLOTS || b >= CHAR_LIBRARY_SLOTS)
            return 0;
        const int order = lstrcmpA(d->work.table.slots[a].info.title, d->work.table.slots[b].info.title);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, order < 0 ? -1 : order > 0 ? 1 : 0);
        return TRUE;
    }
    case WM_MEASUREITEM: {
        auto *m = reinterpret_cast<MEASUREITEMSTRUCT *>(lParam);
        HDC dc = GetDC(dialog);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32A(dc, "W", 1, &size);
        SelectObject(dc, old);
        ReleaseDC(dialog, dc);
        m->itemHeight = UINT(size.cy);
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (!d)
            return FALSE;
        if (item->CtlID == ID_LIST) {
            const int slot = int(item->itemData);
            if (item->itemID != UINT(-1) && slot >= 0 && slot < CHAR_LIBRARY_SLOTS)
                Box01DrawItemFontRow(item, &d->work.table.slots[slot]);
            return TRUE;
        }
        if (item->CtlID >= UINT(ID_FILL_FIRST) && item->CtlID < UINT(ID_FILL_CURRENT)) {
            Box01DrawItemNumberedIcon(item, "IDI_FILLMOD%d", ID_FILL_FIRST, d->work.fillMode);
            return TRUE;
        }
        if (item->CtlID == UINT(ID_FILL_CURRENT)) {
            Box01DrawItemNumberedIcon(item, "IDI_CURRENT", ID_FILL_CURRENT, d->work.fillMode < 0 ? 0 : -1);
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        switch (id) {
        case IDOK: Confirm(dialog, d); return TRUE;
        case ID_ADD: Add(dialog, d); return TRUE;
        case ID_REMOVE: Remove(dialog, d); return TRUE;
        case ID_DETAILS: Details(dialog, d); return TRUE;
        default:
            if (id >= ID_FILL_FIRST && id <= ID_FILL_CURRENT) {
                d->work.fillMode = id == ID_FILL_CURRENT ? -1 : id - ID_FILL_FIRST;
                Box01DialogRedrawItems(dialog, ID_FILL_FIRST, ID_FILL_CURRENT);
                return TRUE;
            }
            break;
        }
        break;
    }
    default:
        break;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_FONT_HANDLING);
}

int ChooseWithCommonDialog(HWND owner, const char *caption, char *path)
{
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    const ModalOwner modal(owner);
    ofn.hwndOwner = modal.owner;
    ofn.lpstrFilter = "*.zvl\0*.zvl\0*.*\0*.*\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = caption;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&ofn) ? 1 : 0;
}

} // namespace

Box11ChooseFile g_Box11ChooseLibraryFile = ChooseWithCommonDialog;

void Box11FontHandlingFillLists(HWND dialog, const FontHandlingWork *work)
{
    const CharLibraryTable &t = work->table;
    SendDlgItemMessageA(dialog, ID_FACE, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < t.count; ++i)
        SendDlgItemMessageA(dialog, ID_FACE, CB_ADDSTRING, 0, LPARAM(t.slots[i].info.title));
    Box01FillFontList(dialog, ID_FACE);
    Box01DialogComboboxAdjust(dialog, ID_FACE);
    const LRESULT at = SendDlgItemMessageA(dialog, ID_FACE, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(work->font.face));
    if (at != CB_ERR)
        SendDlgItemMessageA(dialog, ID_FACE, CB_SETCURSEL, WPARAM(at), 0);
    HWND list = GetDlgItem(dialog, ID_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < t.count; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, LPARAM(i));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

int Box11FontHandlingGetSel(HWND dialog, int *index)
{
    const LRESULT at = SendDlgItemMessageA(dialog, ID_LIST, LB_GETCURSEL, 0, 0);
    const LRESULT data = at == LB_ERR ? LB_ERR : SendDlgItemMessageA(dialog, ID_LIST, LB_GETITEMDATA, WPARAM(at), 0);
    if (data == LB_ERR || data < 0 || data >= CHAR_LIBRARY_SLOTS) {
        AlertOk(dialog, eAlertTextOK[MSG_SELECT]);
        return 0;
    }
    *index = int(data);
    return 1;
}

uint32_t Box11FontHandling(HWND owner, const char *caption)
{
    TempBlock<FontHandling> d(1, __FILE_NAME__, __LINE__);
    if (!d)
        return 0;
    *d.get() = FontHandling{};
    d.get()->caption = caption;
    d.get()->work.table = g_CharLibrarySlots;
    d.get()->work.font = g_DefaultFont;
    d.get()->work.fillMode = g_FontFillMode;
    if (Box01DialogRun(owner, "FONTHANDLING", FontHandlingProc, &d.get()->header) == -1 ||
        d.get()->header.result != DIALOG_OK)
        return 0;
    g_CharLibrarySlots = d.get()->work.table;
    g_DefaultFont = d.get()->work.font;
    g_FontFillMode = d.get()->work.fillMode;
    return 1;
}

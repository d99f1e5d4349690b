#include "dialogs/box07.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "app/convert.h"
#include "app/init_dialogs.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "database/storage.h"
#include "database/symbol_charlib.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "geometry/calc.h"
#include "display/symbol.h"
#include "language/language.h"

namespace {

// Controls.
constexpr int ID_FACE = 180, ID_STYLE = 181, ID_UNDERLINE = 250, ID_TEXT = 200;
constexpr int ID_HEIGHT = 201, ID_ROTATION = 202, ID_SPACING = 203, ID_RATIO = 204, ID_SLANT = 205, ID_TAB = 206,
              ID_X = 207, ID_Y = 208, ID_LINE = 209;
constexpr int ID_FRAME_LINE = 204; // the framed text's line spacing
constexpr int ID_INSERT_MENU = 550, ID_INSERT_FIRST = 551, ID_REFERENCE = 26, ID_ALIGN_FIRST = 800;
constexpr int ID_CHANGE_FIRST = 500; // the change boxes of the several-objects variants: 500 + field bit
constexpr int ID_DISTANCE = 200;     // the reference text's frame distance
constexpr int HELP_REFERENCE = 15056;
constexpr double DISTANCE_MAX = 1e10;
constexpr int ID_UNIT_HEIGHT = 650, ID_UNIT_ROTATION = 651, ID_UNIT_SLANT = 652, ID_UNIT_X = 653, ID_UNIT_Y = 654;

// Messages (eAlertTextOK).
constexpr int MSG_SELECT = 3, MSG_SPACING = 53, MSG_TAB = 54, MSG_RATIO = 56, MSG_LINE = 76, MSG_POSITION = 29,
              MSG_TOO_LONG = 144;

// Help contexts.
constexpr int HELP_FONT = 15052, HELP_STD_TEXT = 15050, HELP_STD = 15001, HELP_FRAME_TEXT = 15051, HELP_FRAME = 15002,
              HELP_CHANGE = 15055;

constexpr double SPACING_LIMIT = 10.0, TAB_LIMIT = 100.0, LINE_LIMIT = 10.0;
constexpr double RATIO_MIN = 1e-10, RATIO_MAX = 1e10;
constexpr int VALUE_SIZE = 256;
constexpr int VALUE_DIGITS = 8;
constexpr uint32_t UNDERLINE = 0x2;
constexpr uint32_t STYLE_MATCH = 0xFF01; // italic and the character-set byte
constexpr int STYLE_RECORDS = BOX01_FONT_STYLES + 1;

enum Kind { KIND_FONT, KIND_STANDARD, KIND_FRAME, KIND_CHANGE, KIND_REFERENCE };

struct TextDialog {
    DialogHeader header;
    const char *caption;
    Kind kind;
    int helpContext;
    FontDef *font;           // the working font
    ObjectAttributes *attributes;
    char *text;              // the working stored text, or null
    char *edit;              // the edit control's text while reading it back
    FontDef *styles;
    char keptFace[FONT_FACE_SIZE]; // a face not installed here, kept as it came
    int multi;                     // the several-objects variant: touched fields are marked
};

const DrawWindow &Window()
{
    return *g_ConvertState.window;
}

// --- face and style --------------------------------------------------------

bool IsLibrary(const FontDef &f)
{
    return SymbolFindCharLibrary(&f) >= 0;
}

void ShowStyles(HWND dialog, TextDialog *d)
{
    FontDef &f = *d->font;
    if (IsLibrary(f)) {
        SendDlgItemMessageA(dialog, ID_STYLE, CB_RESETCONTENT, 0, 0);
        EnableWindow(GetDlgItem(dialog, ID_STYLE), FALSE);
        EnableWindow(GetDlgItem(dialog, ID_UNDERLINE), FALSE);
        return;
    }
    EnableWindow(GetDlgItem(dialog, ID_UNDERLINE), TRUE);
    const int n = Box01FillFontStyles(dialog, ID_STYLE, f.face, d->styles);
    for (int i = 0; n && i < BOX01_FONT_STYLES; ++i) {
        const LRESULT data = SendDlgItemMessageA(dialog, ID_STYLE, CB_GETITEMDATA, WPARAM(i), 0);
        if (data == CB_ERR)
            break;
        const FontDef &s = d->styles[data];
        if (s.weight == f.weight && (s.style & STYLE_MATCH) == (f.style & STYLE_MATCH)) {
            SendDlgItemMessageA(dialog, ID_STYLE, CB_SETCURSEL, WPARAM(i), 0);
            break;
        }
    }
    Box01DialogCheck(dialog, ID_UNDERLINE, (f.style & UNDERLINE) ? 1 : 0);
}

// Fills the face list and selects the font's face, found by its exact name.
// An unknown face is kept (added) when keepUnknown is set, else the first
// entry is selected.
void InitFace(HWND dialog, TextDialog *d, bool keepUnknown)
{
    for (int i = 0; i < g_CharLibrarySlots.count && i < CHAR_LIBRARY_SLOTS; ++i)
        SendDlgItemMessageA(dialog, ID_FACE, CB_ADDSTRING, 0, LPARAM(g_CharLibrarySlots.slots[i].info.title));
    Box01FillFontList(dialog, ID_FACE);
    Box01DialogComboboxAdjust(dialog, ID_FACE);
    LRESULT at = SendDlgItemMessageA(dialog, ID_FACE, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(d->font->face));
    if (at == CB_ERR && keepUnknown && d->font->face[0]) {
        lstrcpynA(d->keptFace, d->font->face, FONT_FACE_SIZE);
        at = SendDlgItemMessageA(dialog, ID_FACE, CB_ADDSTRING, 0, LPARAM(d->font->face));
        Box01DialogComboboxAdjust(dialog, ID_FACE);
    }
    if (at == CB_ERR) {
        at = 0;
        char first[FONT_FACE_SIZE] = "";
        if (SendDlgItemMessageA(dialog, ID_FACE, CB_GETLBTEXTLEN, 0, 0) < FONT_FACE_SIZE)
            SendDlgItemMessageA(dialog, ID_FACE, CB_GETLBTEXT, 0, LPARAM(first));
        lstrcpynA(d->font->face, first, FONT_FACE_SIZE);
    }
    SendDlgItemMessageA(dialog, ID_FACE, CB_SETCURSEL, WPARAM(at), 0);
    ShowStyles(dialog, d);
}

// The chosen face into the working font; 0 without a selection.
int ReadFace(HWND dialog, TextDialog *d)
{
    return Box01ComboSelection(dialog, ID_FACE, d->font->face, FONT_FACE_SIZE);
}

// Face and style of the OK button; 0 (alert shown) when a choice is missing.
int ReadFont(HWND dialog, TextDialog *d)
{
    if (!ReadFace(dialog, d))
        return 0;
    FontDef &f = *d->font;
    if (IsLibrary(f)) {
        f.kind = FONT_KIND_LIBRARY;
        EnableWindow(GetDlgItem(dialog, ID_STYLE), FALSE);
        EnableWindow(GetDlgItem(dialog, ID_UNDERLINE), FALSE);
        return 1;
    }
    EnableWindow(GetDlgItem(dialog, ID_UNDERLINE), TRUE);
    // A face this machine lacks has no styles to choose: it stays as it came.
    if (d->keptFace[0] && lstrcmpA(d->keptFace, f.face) == 0 && !IsWindowEnabled(GetDlgItem(dialog, ID_STYLE)))
        return 1;
    const LRESULT at = SendDlgItemMessageA(dialog, ID_STYLE, CB_GETCURSEL, 0, 0);
    const LRESULT data = at == CB_ERR ? CB_ERR : SendDlgItemMessageA(dialog, ID_STYLE, CB_GETITEMDATA, WPARAM(at), 0);
    if (data == CB_ERR || data < 0 || data >= BOX01_FONT_STYLES || !IsWindowEnabled(GetDlgItem(dialog, ID_STYLE))) {
        AlertOk(dialog, eAlertTextOK[MSG_SELECT]);
        return 0;
    }
    const FontDef &s = d->styles[data];
    f.kind = s.kind;
    f.style = s.style | (IsDlgButtonChecked(dialog, ID_UNDERLINE) == BST_CHECKED ? UNDERLINE : 0);
    f.weight = s.weight;
    return 1;
}

void FaceChanged(HWND dialog, TextDialog *d)
{
    if (!ReadFace(dialog, d))
        return;
    ShowStyles(dialog, d);
}

// --- values ----------------------------------------------------------------

void SetNumber(HWND dialog, int id, double value)
{
    char text[VALUE_SIZE];
    ConvertDoubleToString(text, value, 0, VALUE_DIGITS);
    SetDlgItemTextA(dialog, id, text);
}

// Reads a plain number within [min, max] (or, with absolute, |value| within
// it); shows message and selects the field otherwise.
int ReadNumber(HWND dialog, int id, double min, double max, int message, bool absolute, double *out)
{
    char text[VALUE_SIZE];
    GetDlgItemTextA(dialog, id, text, VALUE_SIZE);
    double v;
    if (!AlertCheckInputDouble(dialog, text, &v, id))
        return 0;
    const double test = absolute ? std::fabs(v) : v;
    if (!(test >= min && test <= max)) {
        AlertOk(dialog, eAlertTextOK[message]);
        Box01DialogFocusEdit(dialog, id);
        return 0;
    }
    *out = v;
    return 1;
}

int ReadWidth(HWND dialog, int id, double *out)
{
    char text[VALUE_SIZE];
    GetDlgItemTextA(dialog, id, text, VALUE_SIZE);
    return AlertCheckInputWidth(dialog, text, out, id);
}

int ReadAngle(HWND dialog, int id, double *out)
{
    char text[VALUE_SIZE];
    GetDlgItemTextA(dialog, id, text, VALUE_SIZE);
    return AlertCheckInputAngle(dialog, text, out, id);
}

// --- the text --------------------------------------------------------------

void ShowText(HWND dialog, TextDialog *d)
{
    std::vector<char> edit(BOX07_EDIT_SIZE);
    Box01TextToMultiline(edit.data(), d->text, BOX07_EDIT_SIZE);
    SendDlgItemMessageA(dialog, ID_TEXT, EM_SETLIMITTEXT, BOX07_EDIT_SIZE - 1, 0);
    SetDlgItemTextA(dialog, ID_TEXT, edit.data());
}

// The edit control's text back into the working text; a text longer than a
// stored text may be is refused with a warning, never cut.
int ReadText(HWND dialog, TextDialog *d)
{
    HWND edit = GetDlgItem(dialog, ID_TEXT);
    const int length = GetWindowTextLengthA(edit);
    std::vector<char> buffer(size_t(length) + 1);
    GetWindowTextA(edit, buffer.data(), length + 1);
    std::vector<char> stored(TEXT_BUFFER_SIZE);
    if (!Box01MultilineToText(stored.data(), buffer.data(), TEXT_MAX_LENGTH)) {
        AlertOk(dialog, eAlertTextOK[MSG_TOO_LONG]);
        SetFocus(edit);
        return 0;
    }
    std::memcpy(d->text, stored.data(), TEXT_BUFFER_SIZE);
    return 1;
}

// --- icon button groups and change marks ----------------------------------------

// A group of icon buttons standing for the values 0, 1, ... of one field.
struct IconGroup {
    int first;        // the id of value 0
    int count;
    const char *icon; // the icons' name format
    int bit;          // the field's change bit
};

constexpr IconGroup STANDARD_GROUPS[] = {{800, 3, "IDI_TEXTMOD%d", 10}};
constexpr IconGroup FRAME_GROUPS[] = {{800, 4, "IDI_TEXTMOD%d", 5}};
constexpr IconGroup REFERENCE_GROUPS[] = {
    {800, 7, "IDI_ARROW%d", 0}, {807, 8, "IDI_RFARROW%d", 1}, {815, 4, "IDI_RFFRAME%d", 2}};

// The icon groups of a dialog and the field each stores into.
int Groups(const TextDialog *d, const IconGroup **groups)
{
    switch (d->kind) {
    case KIND_STANDARD: *groups = STANDARD_GROUPS; return 1;
    case KIND_FRAME: *groups = FRAME_GROUPS; return 1;
    case KIND_REFERENCE: *groups = REFERENCE_GROUPS; return 3;
    default: *groups = nullptr; return 0;
    }
}

int32_t *GroupValue(TextDialog *d, int group)
{
    ObjectAttributes &a = *d->attributes;
    switch (d->kind) {
    case KIND_STANDARD: return &a.stdText.alignment;
    case KIND_FRAME: return &a.frameText.alignment;
    case KIND_REFERENCE: return group == 0 ? &a.refText.endMark : group == 1 ? &a.refText.leader : &a.refText.frameShape;
    default: return nullptr;
    }
}

// The group of a button id, or -1.
int GroupOf(const TextDialog *d, int id)
{
    const IconGroup *groups;
    const int n = Groups(d, &groups);
    for (int g = 0; g < n; ++g)
        if (id >= groups[g].first && id < groups[g].first + groups[g].count)
            return g;
    return -1;
}

uint32_t *ChangeMask(TextDialog *d)
{
    if (!d->attributes)
        return nullptr;
    switch (d->kind) {
    case KIND_STANDARD: return &d->attributes->stdText.mask;
    case KIND_FRAME: return &d->attributes->frameText.mask;
    case KIND_REFERENCE: return &d->attributes->refText.mask;
    default: return nullptr;
    }
}

// The change bit of an edit field of the several-objects variants, or -1.
int FieldBit(const TextDialog *d, int id)
{
    struct Field {
        int id, bit;
    };
    static const Field standard[] = {{ID_SPACING, 1}, {ID_TAB, 2}, {ID_LINE, 3}, {ID_HEIGHT, 4}, {ID_RATIO, 5},
                                     {ID_ROTATION, 6}, {ID_SLANT, 7}, {ID_X, 8}, {ID_Y, 9}};
    static const Field frame[] = {{ID_SPACING, 1}, {ID_TAB, 2}, {ID_FRAME_LINE, 3}, {ID_HEIGHT, 4}};
    static const Field reference[] = {{ID_DISTANCE, 3}};
    const Field *table = d->kind == KIND_STANDARD ? standard : d->kind == KIND_FRAME ? frame : reference;
    const int n = d->kind == KIND_STANDARD ? 9 : d->kind == KIND_FRAME ? 4 : d->kind == KIND_REFERENCE ? 1 : 0;
    for (int i = 0; i < n; ++i)
        if (table[i].id == id)
            return table[i].bit;
    return -1;
}

// Marks a touched field for application to every object (several-objects variants only).
void Touch(HWND dialog, TextDialog *d, int bit)
{
    uint32_t *mask = ChangeMask(d);
    if (!d->multi || !mask || bit < 0)
        return;
    *mask |= 1u << bit;
    Box01DialogCheck(dialog, ID_CHANGE_FIRST + bit, 1);
}

void ShowChangeMarks(HWND dialog, TextDialog *d)
{
    const uint32_t *mask = ChangeMask(d);
    for (int bit = 0; mask && bit < 11; ++bit)
        if (GetDlgItem(dialog, ID_CHANGE_FIRST + bit))
            Box01DialogCheck(dialog, ID_CHANGE_FIRST + bit, (*mask >> bit) & 1u);
}

// --- opening and confirming ------------------------------------------------------

void InitStandard(HWND dialog, TextDialog *d)
{
    const AttrStdText &t = d->attributes->stdText;
    const DrawWindow &w = Window();
    SetNumber(dialog, ID_HEIGHT, t.height / w.widthFactor);
    SetNumber(dialog, ID_ROTATION, t.rotation / w.angleFactor);
    SetNumber(dialog, ID_SLANT, t.slant / w.angleFactor);
    SetNumber(dialog, ID_SPACING, t.charSpacing);
    SetNumber(dialog, ID_RATIO, t.ratio);
    SetNumber(dialog, ID_TAB, t.tabUnit);
    SetNumber(dialog, ID_LINE, t.lineSpacing);
    if (!d->text) {
        const double x = ConvertWorldToSystemX(g_ActiveWindow, t.x, t.y);
        const double y = ConvertWorldToSystemY(g_ActiveWindow, t.x, t.y);
        char text[VALUE_SIZE];
        ConvertLengthToString(text, x, 0, 0, VALUE_DIGITS, w.mmPerUnit);
        SetDlgItemTextA(dialog, ID_X, text);
        ConvertLengthToString(text, y, 0, 0, VALUE_DIGITS, w.mmPerUnit);
        SetDlgItemTextA(dialog, ID_Y, text);
    }
    Box01DialogShowItem(dialog, ID_REFERENCE, d->attributes->present[ATTR_REF_TEXT] ? SW_SHOW : SW_HIDE);
}

void InitFrame(HWND dialog, TextDialog *d)
{
    const AttrFrameText &t = d->attributes->frameText;
    SetNumber(dialog, ID_HEIGHT, t.height / Window().widthFactor);
    SetNumber(dialog, ID_SPACING, t.charSpacing);
    SetNumber(dialog, ID_FRAME_LINE, t.lineSpacing);
    SetNumber(dialog, ID_TAB, t.tabUnit);
}

int ConfirmStandard(HWND dialog, TextDialog *d)
{
    AttrStdText &t = d->attributes->stdText;
    double v;
    if (!ReadWidth(dialog, ID_HEIGHT, &v))
        return 0;
    t.height = v;
    if (!ReadAngle(dialog, ID_ROTATION, &v))
        return 0;
    t.rotation = v;
    if (!ReadNumber(dialog, ID_SPACING, -SPACING_LIMIT, SPACING_LIMIT, MSG_SPACING, false, &t.charSpacing) ||
        !ReadNumber(dialog, ID_RATIO, RATIO_MIN, RATIO_MAX, MSG_RATIO, true, &t.ratio))
        return 0;
    if (!ReadAngle(dialog, ID_SLANT, &v))
        return 0;
    t.slant = v;
    if (!ReadNumber(dialog, ID_TAB, -TAB_LIMIT, TAB_LIMIT, MSG_TAB, false, &t.tabUnit))
        return 0;
    if (!d->text) {
        char text[VALUE_SIZE];
        double x, y;
        GetDlgItemTextA(dialog, ID_X, text, VALUE_SIZE);
        if (!AlertCheckInputCoordinate(dialog, text, &x, ID_X))
            return 0;
        GetDlgItemTextA(dialog, ID_Y, text, VALUE_SIZE);
        if (!AlertCheckInputCoordinate(dialog, text, &y, ID_Y))
            return 0;
        const double wx = ConvertSystemToWorldX(g_ActiveWindow, x, y);
        const double wy = ConvertSystemToWorldY(g_ActiveWindow, x, y);
        if (wx == CALC_NO_VALUE || wy == CALC_NO_VALUE) {
            AlertOk(dialog, eAlertTextOK[MSG_POSITION]);
            return 0;
        }
        t.x = wx, t.y = wy;
    }
    return ReadNumber(dialog, ID_LINE, -LINE_LIMIT, LINE_LIMIT, MSG_LINE, false, &t.lineSpacing);
}

int ConfirmFrame(HWND dialog, TextDialog *d)
{
    AttrFrameText &t = d->attributes->frameText;
    double v;
    if (!ReadWidth(dialog, ID_HEIGHT, &v))
        return 0;
    t.height = v;
    return ReadNumber(dialog, ID_SPACING, -SPACING_LIMIT, SPACING_LIMIT, MSG_SPACING, false, &t.charSpacing) &&
           ReadNumber(dialog, ID_FRAME_LINE, RATIO_MIN, RATIO_MAX, MSG_TAB, true, &t.lineSpacing) &&
           ReadNumber(dialog, ID_TAB, -TAB_LIMIT, TAB_LIMIT, MSG_TAB, false, &t.tabUnit);
}

void InitReference(HWND dialog, TextDialog *d)
{
    SetNumber(dialog, ID_DISTANCE, d->attributes->refText.frameDistance / Window().widthFactor);
    Box01DialogFocusEdit(dialog, ID_DISTANCE);
}

int ConfirmReference(HWND dialog, TextDialog *d)
{
    char text[VALUE_SIZE];
    GetDlgItemTextA(dialog, ID_DISTANCE, text, VALUE_SIZE);
    double v;
    if (!AlertCheckInputWidthRange(dialog, text, &v, ID_DISTANCE, 0.0, DISTANCE_MAX, nullptr))
        return 0;
    d->attributes->refText.frameDistance = v;
    return 1;
}

void Init(HWND dialog, TextDialog *d)
{
    if (d->caption)
        SetWindowTextA(dialog, d->caption);
    if (d->kind == KIND_REFERENCE) {
        InitReference(dialog, d);
        ShowChangeMarks(dialog, d);
        return;
    }
    if (d->kind != KIND_CHANGE)
        InitFace(dialog, d, d->kind != KIND_FONT);
    if (d->kind == KIND_STANDARD)
        InitStandard(dialog, d);
    else if (d->kind == KIND_FRAME)
        InitFrame(dialog, d);
    if (d->text) {
        ShowText(dialog, d);
        SetFocus(GetDlgItem(dialog, ID_TEXT));
    } else if (d->multi) {
        SetFocus(GetDlgItem(dialog, IDOK));
    } else if (d->kind != KIND_FONT) {
        Box01DialogFocusEdit(dialog, ID_HEIGHT);
    }
    ShowChangeMarks(dialog, d);
}

void Confirm(HWND dialog, TextDialog *d)
{
    if (d->kind == KIND_REFERENCE) {
        if (ConfirmReference(dialog, d))
            Box01DialogEnd(dialog, DIALOG_OK);
        return;
    }
    if (d->text && !ReadText(dialog, d))
        return;
    if (d->kind != KIND_CHANGE && !ReadFont(dialog, d))
        return;
    if (d->kind == KIND_STANDARD && !ConfirmStandard(dialog, d))
        return;
    if (d->kind == KIND_FRAME && !ConfirmFrame(dialog, d))
        return;
    Box01DialogEnd(dialog, DIALOG_OK);
}

uint32_t RunReference(HWND owner, const char *caption, ObjectAttributes *attributes, int multi);

// The insert menu beside its button; the chosen text is typed at the caret.
void InsertFromMenu(HWND dialog)
{
    std::vector<VariableDef> sorted(g_VariableDefs, g_VariableDefs + VARIABLE_SLOTS);
    Box01SortVariables(sorted.data());
    HMENU menu = Box01MenuInsertText(dialog, sorted.data());
    if (!menu)
        return;
    RECT r;
    GetWindowRect(GetDlgItem(dialog, ID_INSERT_MENU), &r);
    const int items = GetMenuItemCount(menu);
    const int y = (r.top + r.bottom) / 2 - items * GetSystemMetrics(SM_CYMENU) / 2;
    g_PopupByRightButton = 1;
    const int command = int(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY, r.right - 1, y, 0,
                                           dialog, nullptr));
    g_PopupByRightButton = 0;
    DestroyMenu(menu);
    char text[VALUE_SIZE];
    Box01InsertTextFor(command, sorted.data(), text);
    if (text[0])
        Box01DialogTypeText(dialog, ID_TEXT, text);
}

INT_PTR Command(HWND dialog, TextDialog *d, int id, int code)
{
    if (id == IDOK) {
        Confirm(dialog, d);
        return TRUE;
    }
    if ((id == ID_FACE || id == ID_STYLE) && code == CBN_SELCHANGE) {
        if (id == ID_FACE)
            FaceChanged(dialog, d);
        Touch(dialog, d, 0);
        return TRUE;
    }
    if (id == ID_UNDERLINE && code == BN_CLICKED) {
        d->font->style ^= UNDERLINE;
        Box01DialogCheck(dialog, ID_UNDERLINE, (d->font->style & UNDERLINE) ? 1 : 0);
        Touch(dialog, d, 0);
        return TRUE;
    }
    if (d->text && id == ID_INSERT_FIRST) {
        Box01DialogTypeText(dialog, ID_TEXT, eInsertText1[0]);
        return TRUE;
    }
    if (d->text && id == ID_INSERT_MENU) {
        InsertFromMenu(dialog);
        return TRUE;
    }
    if (id == ID_REFERENCE && d->kind == KIND_STANDARD) {
        char caption[VALUE_SIZE] = "";
        GetWindowTextA(dialog, caption, VALUE_SIZE);
        RunReference(dialog, caption, d->attributes, d->multi);
        return TRUE;
    }
    uint32_t *mask = ChangeMask(d);
    if (d->multi && mask && id >= ID_CHANGE_FIRST && id < ID_CHANGE_FIRST + 11 && code == BN_CLICKED) {
        *mask ^= 1u << (id - ID_CHANGE_FIRST);
        Box01DialogCheck(dialog, id, (*mask >> (id - ID_CHANGE_FIRST)) & 1u);
        return TRUE;
    }
    if (code == EN_SETFOCUS) {
        Touch(dialog, d, FieldBit(d, id));
        return FALSE;
    }
    const int group = GroupOf(d, id);
    if (group >= 0) {
        const IconGroup *groups;
        Groups(d, &groups);
        *GroupValue(d, group) = id - groups[group].first;
        Box01DialogRedrawItems(dialog, groups[group].first, groups[group].first + groups[group].count - 1);
        Touch(dialog, d, groups[group].bit);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK TextDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    TextDialog *d = Box01DialogRecordOf<TextDialog>(dialog);
    switch (message) {
    case WM_INITDIALOG:
        d = reinterpret_cast<TextDialog *>(Box01DialogInit(dialog, lParam));
        Init(dialog, d);
        return FALSE; // the focus is set
    case WM_DRAWITEM: {
        const int group = d ? GroupOf(d, int(wParam)) : -1;
        if (group < 0)
            return FALSE;
        const IconGroup *groups;
        Groups(d, &groups);
        Box01DrawItemNumberedIcon(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam), groups[group].icon,
                                  groups[group].first, *GroupValue(d, group));
        return TRUE;
    }
    case WM_COMMAND:
        if (d && Command(dialog, d, LOWORD(wParam), HIWORD(wParam)))
            return TRUE;
        if (LOWORD(wParam) != IDCANCEL)
            return FALSE;
        break;
    default:
        break;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, d ? d->helpContext : HELP_CONTEXT_NONE);
}

// Runs one of the dialogs on temporary copies; the caller's records change on OK only.
uint32_t Run(HWND owner, const char *templateName, Kind kind, int help, const char *caption, FontDef *font,
             ObjectAttributes *attributes, char *text, int multi = 0)
{
    TempBlock<FontDef> styles(STYLE_RECORDS, __FILE_NAME__, __LINE__);
    TempBlock<FontDef> fontCopy(1, __FILE_NAME__, __LINE__);
    TempBlock<ObjectAttributes> attributesCopy(1, __FILE_NAME__, __LINE__);
    TempBlock<char> textCopy(TEXT_BUFFER_SIZE, __FILE_NAME__, __LINE__);
    if (!styles || !fontCopy || !attributesCopy || !textCopy)
        return 0;
    TextDialog d{};
    d.caption = caption;
    d.kind = kind;
    d.helpContext = help;
    d.multi = multi;
    d.styles = styles.get();
    d.font = fontCopy.get();
    if (attributes) {
        *attributesCopy.get() = *attributes;
        d.attributes = attributesCopy.get();
        d.font = kind == KIND_FRAME ? &d.attributes->frameText.font : &d.attributes->stdText.font;
    } else if (font) {
        *d.font = *font;
    }
    if (text) {
        lstrcpynA(textCopy.get(), text, TEXT_BUFFER_SIZE);
        d.text = textCopy.get();
    }
    if (Box01DialogRun(owner, templateName, TextDialogProc, &d.header) == -1 || d.header.result != DIALOG_OK)
        return 0;
    if (attributes)
        *attributes = *d.attributes;
    else if (font)
        *font = *d.font;
    if (text)
        std::memcpy(text, d.text, TEXT_BUFFER_SIZE);
    return 1;
}

// The reference dialog works on the caller's copy, which reaches the caller
// only when the outer dialog is confirmed too.
uint32_t RunReference(HWND owner, const char *caption, ObjectAttributes *attributes, int multi)
{
    return Run(owner, multi ? "TEXTREFERENCE__" : "TEXTREFERENCE", KIND_REFERENCE, HELP_REFERENCE, caption, nullptr,
               attributes, nullptr, multi);
}

} // namespace

uint32_t Box07TextStandardMulti(HWND owner, const char *caption, ObjectAttributes *attributes)
{
    return Run(owner, "TEXTSTANDARD2__", KIND_STANDARD, HELP_STD, caption, nullptr, attributes, nullptr, 1);
}

uint32_t Box07TextFrameMulti(HWND owner, const char *caption, ObjectAttributes *attributes)
{
    return Run(owner, "TEXTFRAME2__", KIND_FRAME, HELP_FRAME, caption, nullptr, attributes, nullptr, 1);
}

uint32_t Box07TextReference(HWND owner, const char *caption, ObjectAttributes *attributes)
{
    return RunReference(owner, caption, attributes, 0);
}

uint32_t Box07TextReferenceMulti(HWND owner, const char *caption, ObjectAttributes *attributes)
{
    return RunReference(owner, caption, attributes, 1);
}

uint32_t Box07FontDef(HWND owner, const char *caption, FontDef *font)
{
    return Run(owner, "FONTDEF", KIND_FONT, HELP_FONT, caption, font, nullptr, nullptr);
}

uint32_t Box07TextStandard(HWND owner, const char *caption, ObjectAttributes *attributes, char *text)
{
    return Run(owner, text ? "TEXTSTANDARD" : "TEXTSTANDARD2", KIND_STANDARD, text ? HELP_STD_TEXT : HELP_STD,
               caption, nullptr, attributes, text);
}

uint32_t Box07TextFrame(HWND owner, const char *caption, ObjectAttributes *attributes, char *text)
{
    return Run(owner, text ? "TEXTFRAME" : "TEXTFRAME2", KIND_FRAME, text ? HELP_FRAME_TEXT : HELP_FRAME, caption,
               nullptr, attributes, text);
}

uint32_t Box07TextChange(HWND owner, const char *caption, char *text)
{
    return Run(owner, "TEXTCHANGE", KIND_CHANGE, HELP_CHANGE, caption, nullptr, nullptr, text);
}

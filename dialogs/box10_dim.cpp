// The dimension attribute dialogs. One procedure serves the three parameter
// templates and their several-objects variants (the controls a template lacks
// are skipped), another the number format, a third the drawing's dimension
// layout; each works on a copy of the caller's record.
#include "dialogs/box10_dim.h"

#include <cstdio>
#include <initializer_list>
#include <cstring>

#include "app/convert.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "database/object_attributes.h"
#include "database/symbol_charlib.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "files/file_drawinginfo.h"
#include "files/file_records.h"
#include "language/language.h"
#include "language/language_entries.h"
#include "plugin/zvi.h"

namespace {

constexpr int HELP_PARAM0 = 15004, HELP_DATA = 15005, HELP_PARAM1 = 15006, HELP_PARAM2 = 15007,
              HELP_LAYOUT = 15035;
constexpr int ID_FIRST_LENGTH = 200, ID_SECOND_LENGTH = 201, ID_DECIMALS = 202, ID_OFFSET1 = 203, ID_OFFSET2 = 204;
constexpr int ID_FIRST_MODE = 180, ID_SECOND_MODE = 181, ID_FRACTION = 182;
constexpr int ID_FONT = 180, ID_STYLE = 181;
constexpr int ID_EDIT_TEXT = 256;
constexpr int ID_MORE = 550;          // the number format, or the layout from DIMENSIONDATA
constexpr int ID_SYSTEM = 750;
// The coordinate-system popup's choices: one per system slot, then "none"
// (offered only when the defaults are edited).
constexpr int SYSTEM_CHOICE_FIRST = 13665;
constexpr int SYSTEM_CHOICE_NONE = 13716;
static_assert(SYSTEM_CHOICE_FIRST + SYSTEM_SLOTS == SYSTEM_CHOICE_NONE);
constexpr int ID_TEXT_MODE = 800;     // DIMENSIONDATA's icon group
constexpr int TEXT_SIZE = 256;
constexpr char TABLE_END = 4;         // the entry behind a language table's last
constexpr int MSG_SELECT = 3, MSG_NOT_INT = 7, MSG_DECIMALS = 31, MSG_OFFSET1 = 53, MSG_OFFSET2 = 54,
              MSG_LENGTH = 111;
constexpr int MAX_DECIMALS = 9;
constexpr double MAX_LENGTH = 1e10;
constexpr int BUTTON_DEFAULTS = 18, BUTTON_TEXTS = 19; // eButtonText
constexpr int CAPTION_DATA = 36, CAPTION_LAYOUT = 47;  // eCaptionTexts
constexpr int COMMAND_NUMBER_FORMAT = 826;             // its title captions the defaults' number format
// The change boxes of the several-objects variants: box 500 + n shows bit n
// of the group's change mask.
constexpr int ID_CHANGE_FIRST = 500;
constexpr int CHANGE_BITS_LINE_ENDS = 4, CHANGE_BITS_LARGE = 16, CHANGE_BITS_SMALL = 2, CHANGE_BITS_DATA = 8;
// Change bits of the large group that have no word of their own.
constexpr int LARGE_BIT_DISTANCE = 14, LARGE_BIT_FURTHER = 15;
// Change bits of the number-format group.
constexpr int DATA_BIT_FONT = 0, DATA_BIT_HEIGHT = 1, DATA_BIT_TOLERANCE = 2, DATA_BIT_NUMBERS = 3,
              DATA_BIT_SYSTEM = 4, DATA_BIT_OFFSET1 = 5, DATA_BIT_OFFSET2 = 6, DATA_BIT_TEXT_MODE = 7;
constexpr int UNI_NO_SYSTEM = 30, UNI_DECIMAL = 84;    // eUniTexts

// The icon groups of the parameter dialogs and the word of the large group
// (or of the line-end group) each sets.
struct IconGroup {
    int base, count;
    const char *format;
    int largeWord;
    int lineWord; // -1: not in DIMENSIONPARAM0
};
constexpr IconGroup ICON_GROUPS[] = {
    {800, 7, "IDI_ARROW%d", 4, 0},    {807, 7, "IDI_ARROW%d", 6, 2},   {814, 3, "IDI_DIMLINE%d", 12, -1},
    {817, 4, "IDI_ORIENT%d", 11, -1}, {821, 3, "IDI_DISTMOD%d", 13, -1}, {824, 3, "IDI_DIMTEXT%d", 2, -1},
};
// The check boxes and their word of the large group.
struct CheckWord {
    int id, word;
};
// A large group's word index is also its change bit.
constexpr CheckWord LARGE_CHECKS[] = {{253, 0}, {254, 1}, {255, 3}, {250, 8}, {251, 9}, {252, 10}};
constexpr int SMALL_AUTOMATIC = 253, SMALL_BY_POINT = 255;
constexpr int SMALL_BIT_AUTOMATIC = 0, SMALL_BIT_BY_POINT = 1;
// The words (and change bits) the two mode combo boxes set.
constexpr int LINE_FIRST_MODE = 1, LINE_SECOND_MODE = 3, LARGE_FIRST_MODE = 5, LARGE_SECOND_MODE = 7;

// The controls each bit of the field-enable word governs.
struct FieldControls {
    int bit;
    int first, last;  // a range of ids
    int extra1, extra2;
};
constexpr FieldControls FIELD_CONTROLS[] = {
    {0, 253, 253, 0, 0},   {1, 254, 254, 0, 0},   {2, 824, 826, 0, 0},   {3, 255, 255, 0, 0},
    {4, 800, 806, 0, 0},   {5, 180, 180, 350, 0}, {6, 807, 813, 0, 0},   {7, 181, 181, 351, 0},
    {8, 250, 250, 0, 0},   {9, 251, 251, 0, 0},   {10, 252, 252, 0, 0},  {11, 817, 820, 0, 0},
    {12, 814, 816, 0, 0},  {13, 821, 823, 0, 0},  {14, 200, 200, 352, 650}, {19, 201, 201, 353, 651},
    {15, 550, 550, 0, 0},
};

enum class Kind { LINE_ENDS, LARGE, SMALL };

struct ParamRecord {
    DialogHeader header;
    Kind kind;
    ObjectAttributes attributes;
    uint32_t editText;
    uint32_t hasEditText;
    uint32_t defaults;
    int multi;
    char caption[TEXT_SIZE];
};

struct DataRecord {
    DialogHeader header;
    ObjectAttributes attributes;
    uint32_t defaults;
    int multi;
    FontDef styles[BOX01_FONT_STYLES];
    char caption[TEXT_SIZE];
};

void CopyText(char *out, const char *text) { std::snprintf(out, TEXT_SIZE, "%s", text ? text : ""); }

int32_t *IconWord(ParamRecord &r, const IconGroup &g)
{
    if (r.kind == Kind::LINE_ENDS)
        return g.lineWord >= 0 ? &r.attributes.lineEnd.words[g.lineWord] : nullptr;
    return r.kind == Kind::LARGE ? &r.attributes.dimLarge.words[g.largeWord] : nullptr;
}

const IconGroup *GroupOf(int id)
{
    for (const IconGroup &g : ICON_GROUPS)
        if (id >= g.base && id < g.base + g.count)
            return &g;
    return nullptr;
}

// The change mask of the group a parameter dialog edits, and its width.
uint32_t *ChangeMask(ParamRecord &r, int *bits)
{
    switch (r.kind) {
    case Kind::LINE_ENDS: *bits = CHANGE_BITS_LINE_ENDS; return &r.attributes.lineEnd.mask;
    case Kind::LARGE: *bits = CHANGE_BITS_LARGE; return &r.attributes.dimLarge.mask;
    case Kind::SMALL: *bits = CHANGE_BITS_SMALL; return &r.attributes.dimSmall.mask;
    }
    return nullptr;
}

// Box 500 + n from bit n of the mask.
void ShowChangeMarks(HWND dialog, uint32_t mask, int bits)
{
    for (int bit = 0; bit < bits; ++bit)
        if (GetDlgItem(dialog, ID_CHANGE_FIRST + bit))
            Box01DialogCheck(dialog, ID_CHANGE_FIRST + bit, (mask >> bit) & 1u);
}

// A touched field is written into every object (several-objects variants).
void Touch(HWND dialog, int multi, uint32_t *mask, int bit)
{
    if (!multi || !mask || bit < 0)
        return;
    *mask |= 1u << bit;
    Box01DialogCheck(dialog, ID_CHANGE_FIRST + bit, 1);
}

// A click on a change box toggles its bit; 1 when the id was one.
int ToggleChangeBox(HWND dialog, int multi, uint32_t *mask, int bits, int id)
{
    if (!multi || !mask || id < ID_CHANGE_FIRST || id >= ID_CHANGE_FIRST + bits)
        return 0;
    const int bit = id - ID_CHANGE_FIRST;
    *mask ^= 1u << bit;
    Box01DialogCheck(dialog, id, (*mask >> bit) & 1u);
    return 1;
}

void TouchParam(HWND dialog, ParamRecord &r, int bit)
{
    int bits = 0;
    Touch(dialog, r.multi, ChangeMask(r, &bits), bit);
}

// The change bit of a parameter dialog's check box, combo box or edit, or -1.
int ParamBitOf(const ParamRecord &r, int id)
{
    switch (r.kind) {
    case Kind::LINE_ENDS:
        return id == ID_FIRST_MODE ? LINE_FIRST_MODE : id == ID_SECOND_MODE ? LINE_SECOND_MODE : -1;
    case Kind::SMALL:
        return id == SMALL_AUTOMATIC ? SMALL_BIT_AUTOMATIC : id == SMALL_BY_POINT ? SMALL_BIT_BY_POINT : -1;
    case Kind::LARGE:
        for (const CheckWord &c : LARGE_CHECKS)
            if (c.id == id)
                return c.word;
        return id == ID_FIRST_MODE      ? LARGE_FIRST_MODE
               : id == ID_SECOND_MODE   ? LARGE_SECOND_MODE
               : id == ID_FIRST_LENGTH  ? LARGE_BIT_DISTANCE
               : id == ID_SECOND_LENGTH ? LARGE_BIT_FURTHER
                                        : -1;
    }
    return -1;
}

void ShowWidth(HWND dialog, int id, int labelId, double mm)
{
    char text[TEXT_SIZE], label[TEXT_SIZE] = "";
    ZVI_ConvertWidthString(text, mm, label);
    SetDlgItemTextA(dialog, id, text);
    SetDlgItemTextA(dialog, labelId, label);
}

void FillModes(HWND dialog, int id, int32_t current)
{
    HWND box = GetDlgItem(dialog, id);
    if (!box)
        return;
    for (int i = 0; eDimensionOrient[i] && eDimensionOrient[i][0] != TABLE_END; ++i)
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(eDimensionOrient[i]));
    Box01DialogComboboxAdjust(dialog, id);
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(current), 0);
}

// The end modes from the two combo boxes; 0 after telling the user.
int ReadModes(HWND dialog, int32_t *first, int32_t *second)
{
    const LRESULT a = SendDlgItemMessageA(dialog, ID_FIRST_MODE, CB_GETCURSEL, 0, 0);
    const LRESULT b = SendDlgItemMessageA(dialog, ID_SECOND_MODE, CB_GETCURSEL, 0, 0);
    if (a == CB_ERR || b == CB_ERR) {
        AlertOk(dialog, eAlertTextOK[MSG_SELECT]);
        SetFocus(GetDlgItem(dialog, a == CB_ERR ? ID_FIRST_MODE : ID_SECOND_MODE));
        return 0;
    }
    *first = static_cast<int32_t>(a);
    *second = static_cast<int32_t>(b);
    return 1;
}

void InitParam(HWND dialog, ParamRecord &r)
{
    SetWindowTextA(dialog, r.caption);
    ObjectAttributes &a = r.attributes;
    switch (r.kind) {
    case Kind::LINE_ENDS:
        FillModes(dialog, ID_FIRST_MODE, a.lineEnd.words[LINE_FIRST_MODE]);
        FillModes(dialog, ID_SECOND_MODE, a.lineEnd.words[LINE_SECOND_MODE]);
        break;
    case Kind::LARGE:
        FillModes(dialog, ID_FIRST_MODE, a.dimLarge.words[LARGE_FIRST_MODE]);
        FillModes(dialog, ID_SECOND_MODE, a.dimLarge.words[LARGE_SECOND_MODE]);
        for (const CheckWord &c : LARGE_CHECKS)
            Box01DialogCheck(dialog, c.id, a.dimLarge.words[c.word] ? 1 : 0);
        ShowWidth(dialog, ID_FIRST_LENGTH, 650, a.dimLarge.distance);
        ShowWidth(dialog, ID_SECOND_LENGTH, 651, a.dimLarge.further);
        break;
    case Kind::SMALL:
        Box01DialogCheck(dialog, SMALL_AUTOMATIC, a.dimSmall.automatic ? 1 : 0);
        Box01DialogCheck(dialog, SMALL_BY_POINT, a.dimSmall.byPoint ? 1 : 0);
        break;
    }
    if (r.kind != Kind::LINE_ENDS) {
        const bool editable = r.hasEditText && r.defaults && !r.multi;
        Box01DialogCheck(dialog, ID_EDIT_TEXT, editable ? r.editText : 0);
        EnableWindow(GetDlgItem(dialog, ID_EDIT_TEXT), editable);
        SetDlgItemTextA(dialog, ID_MORE, eButtonText[r.defaults && !r.multi ? BUTTON_DEFAULTS : BUTTON_TEXTS]);
    }
    int bits = 0;
    if (const uint32_t *mask = ChangeMask(r, &bits); mask && r.multi)
        ShowChangeMarks(dialog, *mask, bits);
    Box10EnableDimControls(dialog, &a);
    SetFocus(GetDlgItem(dialog, IDOK));
}

int ReadParam(HWND dialog, ParamRecord &r)
{
    ObjectAttributes &a = r.attributes;
    if (r.kind == Kind::LINE_ENDS)
        return ReadModes(dialog, &a.lineEnd.words[LINE_FIRST_MODE], &a.lineEnd.words[LINE_SECOND_MODE]);
    if (r.kind == Kind::SMALL)
        return 1;
    if (!ReadModes(dialog, &a.dimLarge.words[LARGE_FIRST_MODE], &a.dimLarge.words[LARGE_SECOND_MODE]))
        return 0;
    char text[TEXT_SIZE];
    GetDlgItemTextA(dialog, ID_FIRST_LENGTH, text, sizeof text);
    if (!AlertCheckInputWidth(dialog, text, &a.dimLarge.distance, ID_FIRST_LENGTH))
        return 0;
    GetDlgItemTextA(dialog, ID_SECOND_LENGTH, text, sizeof text);
    return AlertCheckInputWidthRange(dialog, text, &a.dimLarge.further, ID_SECOND_LENGTH, 0.0, MAX_LENGTH,
                                     eAlertTextOK[MSG_LENGTH]);
}

void ToggleCheck(HWND dialog, ParamRecord &r, int id)
{
    int32_t *word = nullptr;
    if (r.kind == Kind::LARGE) {
        for (const CheckWord &c : LARGE_CHECKS)
            if (c.id == id)
                word = &r.attributes.dimLarge.words[c.word];
    } else if (r.kind == Kind::SMALL) {
        word = id == SMALL_AUTOMATIC ? &r.attributes.dimSmall.automatic
               : id == SMALL_BY_POINT ? &r.attributes.dimSmall.byPoint
                                      : nullptr;
    }
    if (id == ID_EDIT_TEXT) {
        r.editText = !r.editText;
        Box01DialogCheck(dialog, id, r.editText);
    } else if (word) {
        *word = !*word;
        Box01DialogCheck(dialog, id, *word ? 1 : 0);
        TouchParam(dialog, r, ParamBitOf(r, id));
    }
}

// The number format behind button 550, on this dialog's copy.
void OpenNumberFormat(HWND dialog, ParamRecord &r)
{
    char caption[CONVERT_TITLE_SIZE] = "";
    const bool titled = !r.multi && r.defaults && ConvertGetCommandTitle(caption, COMMAND_NUMBER_FORMAT);
    if (!titled)
        CopyText(caption, eCaptionTexts[CAPTION_DATA]);
    if (r.multi)
        Box10DimensionDataMulti(dialog, caption, &r.attributes);
    else
        Box10DimensionData(dialog, caption, &r.attributes, r.defaults);
}

INT_PTR CALLBACK ParamProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        if (auto *r = reinterpret_cast<ParamRecord *>(Box01DialogInit(dialog, lParam)))
            InitParam(dialog, *r);
        return FALSE;
    }
    auto *r = Box01DialogRecordOf<ParamRecord>(dialog);
    if (!r)
        return FALSE;
    const int help = r->kind == Kind::LINE_ENDS ? HELP_PARAM0 : r->kind == Kind::LARGE ? HELP_PARAM1 : HELP_PARAM2;
    if (message == WM_DRAWITEM) {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        const IconGroup *g = GroupOf(static_cast<int>(item->CtlID));
        int32_t *word = g ? IconWord(*r, *g) : nullptr;
        if (!word)
            return FALSE;
        Box01DrawItemNumberedIcon(item, g->format, g->base, *word);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return Box01DialogDefault(dialog, message, wParam, lParam, help);
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (const IconGroup *g = GroupOf(id)) {
        if (int32_t *word = IconWord(*r, *g)) {
            *word = id - g->base;
            Box01DialogRedrawItems(dialog, g->base, g->base + g->count - 1);
            TouchParam(dialog, *r, r->kind == Kind::LINE_ENDS ? g->lineWord : g->largeWord);
        }
        return TRUE;
    }
    int bits = 0;
    uint32_t *mask = ChangeMask(*r, &bits);
    if (code == BN_CLICKED && ToggleChangeBox(dialog, r->multi, mask, bits, id))
        return TRUE;
    if ((code == CBN_SELCHANGE && (id == ID_FIRST_MODE || id == ID_SECOND_MODE)) ||
        (code == EN_SETFOCUS && (id == ID_FIRST_LENGTH || id == ID_SECOND_LENGTH))) {
        TouchParam(dialog, *r, ParamBitOf(*r, id));
        return FALSE;
    }
    switch (id) {
    case IDOK:
        if (ReadParam(dialog, *r))
            Box01DialogEnd(dialog, DIALOG_OK);
        return TRUE;
    case ID_MORE:
        OpenNumberFormat(dialog, *r);
        return TRUE;
    default:
        if (HIWORD(wParam) == BN_CLICKED && id >= 250 && id <= ID_EDIT_TEXT) {
            ToggleCheck(dialog, *r, id);
            return TRUE;
        }
        return Box01DialogDefault(dialog, message, wParam, lParam, help);
    }
}

uint32_t RunParam(HWND owner, const char *templateName, const char *caption, Kind kind, ObjectAttributes *attributes,
                  uint32_t *editText, uint32_t defaults, int multi = 0)
{
    TempBlock<ParamRecord> block(1, __FILE_NAME__, __LINE__);
    if (!block)
        return 0;
    ParamRecord &r = *block.get();
    std::memset(&r, 0, sizeof r);
    r.kind = kind;
    r.attributes = *attributes;
    r.hasEditText = editText ? 1 : 0;
    r.editText = editText ? *editText : 0;
    r.defaults = defaults;
    r.multi = multi;
    CopyText(r.caption, caption);
    if (Box01DialogRun(owner, templateName, ParamProc, &r.header) == -1 || r.header.result != DIALOG_OK)
        return 0;
    *attributes = r.attributes;
    if (editText)
        *editText = r.editText;
    return 1;
}

// ---- DIMENSIONDATA -----------------------------------------------------------

void FillStyles(HWND dialog, DataRecord &r)
{
    auto &d = r.attributes.dimParameter;
    const bool library = SymbolFindCharLibrary(&d.font) >= 0;
    SendDlgItemMessageA(dialog, ID_STYLE, CB_RESETCONTENT, 0, 0);
    EnableWindow(GetDlgItem(dialog, ID_STYLE), !library);
    if (library)
        return;
    const int count = Box01FillFontStyles(dialog, ID_STYLE, d.font.face, r.styles);
    for (int i = 0; i < count; ++i)
        if (r.styles[i].style == d.font.style && r.styles[i].weight == d.font.weight)
            SendDlgItemMessageA(dialog, ID_STYLE, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

void ShowSystem(HWND dialog, int32_t system)
{
    const char *name = system >= 0 && system < SYSTEM_SLOTS ? g_SystemDefs[system].name
                                                                            : eUniTexts[UNI_NO_SYSTEM];
    SetDlgItemTextA(dialog, ID_SYSTEM, name);
}

void InitData(HWND dialog, DataRecord &r)
{
    SetWindowTextA(dialog, r.caption);
    auto &d = r.attributes.dimParameter;
    HWND fonts = GetDlgItem(dialog, ID_FONT);
    for (int i = 0; i < g_CharLibrarySlots.count; ++i)
        SendMessageA(fonts, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g_CharLibrarySlots.slots[i].info.title));
    Box01FillFontList(dialog, ID_FONT);
    LRESULT at = SendMessageA(fonts, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(d.font.face));
    if (at == CB_ERR)
        at = SendMessageA(fonts, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d.font.face));
    SendMessageA(fonts, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    FillStyles(dialog, r);
    ShowWidth(dialog, ID_FIRST_LENGTH, 650, d.textHeight);
    ShowWidth(dialog, ID_SECOND_LENGTH, 651, d.toleranceHeight);
    char text[TEXT_SIZE];
    ConvertIntToString(text, d.conversion);
    SetDlgItemTextA(dialog, ID_DECIMALS, text);
    SendDlgItemMessageA(dialog, ID_FRACTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(eUniTexts[UNI_DECIMAL]));
    for (int i = 0; eSysFractionNames[i] && eSysFractionNames[i][0] != TABLE_END; ++i)
        SendDlgItemMessageA(dialog, ID_FRACTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(eSysFractionNames[i]));
    SendDlgItemMessageA(dialog, ID_FRACTION, CB_SETCURSEL, static_cast<WPARAM>(d.numberFormat + 1), 0);
    ConvertDoubleToString(text, d.charSpacing, 0, static_cast<int>(g_ConvertState.decimals));
    SetDlgItemTextA(dialog, ID_OFFSET1, text);
    ConvertDoubleToString(text, d.tabUnit, 0, static_cast<int>(g_ConvertState.decimals));
    SetDlgItemTextA(dialog, ID_OFFSET2, text);
    ShowSystem(dialog, d.system);
    // The drawing's layout goes with the values of new dimensions only.
    const bool layout = r.defaults && !r.multi;
    Box01DialogShowItem(dialog, ID_MORE, layout);
    EnableWindow(GetDlgItem(dialog, ID_MORE), layout);
    if (r.multi) {
        ShowChangeMarks(dialog, d.mask, CHANGE_BITS_DATA);
        SetFocus(GetDlgItem(dialog, IDOK));
    } else {
        Box01DialogFocusEdit(dialog, ID_FIRST_LENGTH);
    }
}

int ReadData(HWND dialog, DataRecord &r)
{
    auto &d = r.attributes.dimParameter;
    char face[TEXT_SIZE];
    if (!Box01ComboSelection(dialog, ID_FONT, face, sizeof face))
        return 0;
    std::snprintf(d.font.face, sizeof d.font.face, "%s", face);
    if (SymbolFindCharLibrary(&d.font) < 0) {
        const LRESULT style = SendDlgItemMessageA(dialog, ID_STYLE, CB_GETCURSEL, 0, 0);
        if (style == CB_ERR) {
            AlertOk(dialog, eAlertTextOK[MSG_SELECT]);
            return 0;
        }
        const FontDef &s = r.styles[style];
        d.font.kind = s.kind;
        d.font.style = s.style;
        d.font.weight = s.weight;
    } else {
        d.font.kind = 0;
    }
    char text[TEXT_SIZE];
    GetDlgItemTextA(dialog, ID_FIRST_LENGTH, text, sizeof text);
    if (!AlertCheckInputWidth(dialog, text, &d.textHeight, ID_FIRST_LENGTH))
        return 0;
    GetDlgItemTextA(dialog, ID_SECOND_LENGTH, text, sizeof text);
    if (!AlertCheckInputWidth(dialog, text, &d.toleranceHeight, ID_SECOND_LENGTH))
        return 0;
    GetDlgItemTextA(dialog, ID_DECIMALS, text, sizeof text);
    const int decimals = ConvertStringToInt(text);
    if (decimals == CONVERT_NO_INT || decimals < 0 || decimals > MAX_DECIMALS) {
        AlertOk(dialog, eAlertTextOK[decimals == CONVERT_NO_INT ? MSG_NOT_INT : MSG_DECIMALS]);
        Box01DialogFocusEdit(dialog, ID_DECIMALS);
        return 0;
    }
    d.conversion = decimals;
    d.numberFormat = static_cast<int32_t>(SendDlgItemMessageA(dialog, ID_FRACTION, CB_GETCURSEL, 0, 0)) - 1;
    GetDlgItemTextA(dialog, ID_OFFSET1, text, sizeof text);
    if (!AlertCheckInputDoubleRange(dialog, text, &d.charSpacing, ID_OFFSET1, -10.0, 10.0, eAlertTextOK[MSG_OFFSET1]))
        return 0;
    GetDlgItemTextA(dialog, ID_OFFSET2, text, sizeof text);
    return AlertCheckInputDoubleRange(dialog, text, &d.tabUnit, ID_OFFSET2, -100.0, 100.0, eAlertTextOK[MSG_OFFSET2]);
}

INT_PTR CALLBACK DataProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        if (auto *r = reinterpret_cast<DataRecord *>(Box01DialogInit(dialog, lParam)))
            InitData(dialog, *r);
        return FALSE;
    }
    auto *r = Box01DialogRecordOf<DataRecord>(dialog);
    if (!r)
        return FALSE;
    auto &d = r->attributes.dimParameter;
    if (message == WM_DRAWITEM) {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (item->CtlID < ID_TEXT_MODE || item->CtlID > ID_TEXT_MODE + 2)
            return FALSE;
        Box01DrawItemNumberedIcon(item, "IDI_TEXTMOD%d", ID_TEXT_MODE, d.alignment);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return Box01DialogDefault(dialog, message, wParam, lParam, HELP_DATA);
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id >= ID_TEXT_MODE && id <= ID_TEXT_MODE + 2) {
        d.alignment = id - ID_TEXT_MODE;
        Box01DialogRedrawItems(dialog, ID_TEXT_MODE, ID_TEXT_MODE + 2);
        Touch(dialog, r->multi, &d.mask, DATA_BIT_TEXT_MODE);
        return TRUE;
    }
    if (code == BN_CLICKED && ToggleChangeBox(dialog, r->multi, &d.mask, CHANGE_BITS_DATA, id))
        return TRUE;
    if (code == EN_SETFOCUS) {
        const int bit = id == ID_FIRST_LENGTH ? DATA_BIT_HEIGHT : id == ID_SECOND_LENGTH ? DATA_BIT_TOLERANCE
                        : id == ID_DECIMALS   ? DATA_BIT_NUMBERS : id == ID_OFFSET1 ? DATA_BIT_OFFSET1
                        : id == ID_OFFSET2    ? DATA_BIT_OFFSET2 : -1;
        Touch(dialog, r->multi, &d.mask, bit);
        return FALSE;
    }
    if (code == CBN_SELCHANGE && (id == ID_STYLE || id == ID_FRACTION)) {
        Touch(dialog, r->multi, &d.mask, id == ID_STYLE ? DATA_BIT_FONT : DATA_BIT_NUMBERS);
        return TRUE;
    }
    if (id == ID_FONT && code == CBN_SELCHANGE) {
        const LRESULT at = SendDlgItemMessageA(dialog, ID_FONT, CB_GETCURSEL, 0, 0);
        if (at != CB_ERR)
            SendDlgItemMessageA(dialog, ID_FONT, CB_GETLBTEXT, static_cast<WPARAM>(at),
                                reinterpret_cast<LPARAM>(d.font.face));
        FillStyles(dialog, *r);
        Touch(dialog, r->multi, &d.mask, DATA_BIT_FONT);
        return TRUE;
    }
    if (id == ID_SYSTEM && code == BN_CLICKED) {
        Box01OpenListPopup(BOX01_POPUP_SYSTEMS, dialog, GetDlgItem(dialog, ID_SYSTEM), d.system, SYSTEM_CHOICE_FIRST,
                           r->defaults && !r->multi ? SYSTEM_CHOICE_NONE : 0);
        return TRUE;
    }
    if (id >= SYSTEM_CHOICE_FIRST && id <= SYSTEM_CHOICE_NONE) {
        d.system = id == SYSTEM_CHOICE_NONE ? -1 : id - SYSTEM_CHOICE_FIRST;
        ShowSystem(dialog, d.system);
        Touch(dialog, r->multi, &d.mask, DATA_BIT_SYSTEM);
        return TRUE;
    }
    if (id == ID_MORE && code == BN_CLICKED && r->defaults && !r->multi) {
        Box10DimensionLayoutOfDrawing(dialog, eCaptionTexts[CAPTION_LAYOUT]);
        return TRUE;
    }
    if (id == IDOK) {
        if (ReadData(dialog, *r))
            Box01DialogEnd(dialog, DIALOG_OK);
        return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_DATA);
}

uint32_t RunData(HWND owner, const char *templateName, const char *caption, ObjectAttributes *attributes,
                 uint32_t defaults, int multi)
{
    TempBlock<DataRecord> block(1, __FILE_NAME__, __LINE__);
    if (!block)
        return 0;
    DataRecord &r = *block.get();
    std::memset(&r, 0, sizeof r);
    r.attributes = *attributes;
    r.defaults = defaults;
    r.multi = multi;
    CopyText(r.caption, caption);
    if (Box01DialogRun(owner, templateName, DataProc, &r.header) == -1 || r.header.result != DIALOG_OK)
        return 0;
    *attributes = r.attributes;
    return 1;
}

// ---- DIMENSIONLAYOUT ---------------------------------------------------------

constexpr int ID_NUMBER_MODE = 800, NUMBER_MODES = 3;      // "IDI_NUMBER%d"
constexpr int ID_LINE_MODE = 803, LINE_MODES = 2;          // "IDI_EXTLINE%d"
constexpr int ID_ARROW_FACTOR = 200, ID_MINIMUM_ARROW = 201;
constexpr int MSG_ARROW_FACTOR = 112, MSG_MINIMUM_ARROW = 113;

struct LayoutRecord {
    DialogHeader header;
    DimLayout layout;
    char caption[TEXT_SIZE];
};

void InitLayout(HWND dialog, LayoutRecord &r)
{
    SetWindowTextA(dialog, r.caption);
    char text[TEXT_SIZE];
    ConvertDoubleToString(text, r.layout.arrowFactor, 0, static_cast<int>(g_ConvertState.decimals));
    SetDlgItemTextA(dialog, ID_ARROW_FACTOR, text);
    ShowWidth(dialog, ID_MINIMUM_ARROW, 651, r.layout.minimumArrow);
    Box01DialogFocusEdit(dialog, ID_ARROW_FACTOR);
}

int ReadLayout(HWND dialog, LayoutRecord &r)
{
    char text[TEXT_SIZE];
    GetDlgItemTextA(dialog, ID_ARROW_FACTOR, text, sizeof text);
    if (!AlertCheckInputDoubleRange(dialog, text, &r.layout.arrowFactor, ID_ARROW_FACTOR, 0.0, MAX_LENGTH,
                                    eAlertTextOK[MSG_ARROW_FACTOR]))
        return 0;
    GetDlgItemTextA(dialog, ID_MINIMUM_ARROW, text, sizeof text);
    return AlertCheckInputWidthRange(dialog, text, &r.layout.minimumArrow, ID_MINIMUM_ARROW, 0.0, MAX_LENGTH,
                                     eAlertTextOK[MSG_MINIMUM_ARROW]);
}

INT_PTR CALLBACK LayoutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        if (auto *r = reinterpret_cast<LayoutRecord *>(Box01DialogInit(dialog, lParam)))
            InitLayout(dialog, *r);
        return FALSE;
    }
    auto *r = Box01DialogRecordOf<LayoutRecord>(dialog);
    if (!r)
        return FALSE;
    DimLayout &l = r->layout;
    if (message == WM_DRAWITEM) {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        const int id = static_cast<int>(item->CtlID);
        if (id >= ID_NUMBER_MODE && id < ID_NUMBER_MODE + NUMBER_MODES)
            Box01DrawItemNumberedIcon(item, "IDI_NUMBER%d", ID_NUMBER_MODE, l.numberMode);
        else if (id >= ID_LINE_MODE && id < ID_LINE_MODE + LINE_MODES)
            Box01DrawItemNumberedIcon(item, "IDI_EXTLINE%d", ID_LINE_MODE, l.lineMode);
        else
            return FALSE;
        return TRUE;
    }
    if (message != WM_COMMAND)
        return Box01DialogDefault(dialog, message, wParam, lParam, HELP_LAYOUT);
    const int id = LOWORD(wParam);
    if (id >= ID_NUMBER_MODE && id < ID_NUMBER_MODE + NUMBER_MODES) {
        l.numberMode = id - ID_NUMBER_MODE;
        Box01DialogRedrawItems(dialog, ID_NUMBER_MODE, ID_NUMBER_MODE + NUMBER_MODES - 1);
        return TRUE;
    }
    if (id >= ID_LINE_MODE && id < ID_LINE_MODE + LINE_MODES) {
        l.lineMode = id - ID_LINE_MODE;
        Box01DialogRedrawItems(dialog, ID_LINE_MODE, ID_LINE_MODE + LINE_MODES - 1);
        return TRUE;
    }
    if (id == IDOK) {
        if (ReadLayout(dialog, *r))
            Box01DialogEnd(dialog, DIALOG_OK);
        return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_LAYOUT);
}

} // namespace

void Box10EnableDimControls(HWND dialog, const ObjectAttributes *attributes)
{
    for (const FieldControls &f : FIELD_CONTROLS) {
        const BOOL on = (attributes->fieldEnable >> f.bit) & 1u;
        for (int id = f.first; id <= f.last; ++id)
            if (HWND control = GetDlgItem(dialog, id))
                EnableWindow(control, on);
        for (int id : {f.extra1, f.extra2})
            if (HWND control = id ? GetDlgItem(dialog, id) : nullptr)
                EnableWindow(control, on);
    }
}

uint32_t Box10DimensionParam0(HWND owner, const char *caption, ObjectAttributes *attributes)
{
    return RunParam(owner, "DIMENSIONPARAM0", caption, Kind::LINE_ENDS, attributes, nullptr, 0);
}

uint32_t Box10DimensionParam1(HWND owner, const char *caption, ObjectAttributes *attributes, uint32_t *editText,
                              uint32_t defaults)
{
    return RunParam(owner, "DIMENSIONPARAM1", caption, Kind::LARGE, attributes, editText, defaults);
}

uint32_t Box10DimensionParam2(HWND owner, const char *caption, ObjectAttributes *attributes, uint32_t *editText,
                              uint32_t defaults)
{
    return RunParam(owner, "DIMENSIONPARAM2", caption, Kind::SMALL, attributes, editText, defaults);
}

uint32_t Box10DimensionData(HWND owner, const char *caption, ObjectAttributes *attributes, uint32_t defaults)
{
    return RunData(owner, "DIMENSIONDATA", caption, attributes, defaults, 0);
}

uint32_t Box10DimensionParam0Multi(HWND owner, const char *caption, ObjectAttributes *attributes)
{
    return RunParam(owner, "DIMENSIONPARAM0__", caption, Kind::LINE_ENDS, attributes, nullptr, 0, 1);
}

uint32_t Box10DimensionParam1Multi(HWND owner, const char *caption, ObjectAttributes *attributes)
{
    return RunParam(owner, "DIMENSIONPARAM1__", caption, Kind::LARGE, attributes, nullptr, 0, 1);
}

uint32_t Box10DimensionParam2Multi(HWND owner, const char *caption, ObjectAttributes *attributes)
{
    return RunParam(owner, "DIMENSIONPARAM2__", caption, Kind::SMALL, attributes, nullptr, 0, 1);
}

uint32_t Box10DimensionDataMulti(HWND owner, const char *caption, ObjectAttributes *attributes)
{
    return RunData(owner, "DIMENSIONDATA__", caption, attributes, 0, 1);
}

uint32_t Box10DimensionLayout(HWND owner, const char *caption, DimLayout *layout)
{
    TempBlock<LayoutRecord> block(1, __FILE_NAME__, __LINE__);
    if (!block)
        return 0;
    LayoutRecord &r = *block.get();
    std::memset(&r, 0, sizeof r);
    r.layout = *layout;
    CopyText(r.caption, caption);
    if (Box01DialogRun(owner, "DIMENSIONLAYOUT", LayoutProc, &r.header) == -1 || r.header.result != DIALOG_OK)
        return 0;
    *layout = r.layout;
    return 1;
}

uint32_t Box10DimensionLayoutOfDrawing(HWND owner, const char *caption)
{
    DrawingSettings &s = g_DrawingSettings;
    DimLayout layout{s.dimLayoutArrows[0], s.dimLayoutArrows[1], s.dimLayoutDimMode, s.dimLayoutLineMode,
                     s.dimLayoutEditText};
    if (!Box10DimensionLayout(owner, caption, &layout))
        return 0;
    s.dimLayoutArrows[0] = layout.minimumArrow;
    s.dimLayoutArrows[1] = layout.arrowFactor;
    s.dimLayoutDimMode = layout.numberMode;
    s.dimLayoutLineMode = layout.lineMode;
    s.dimLayoutEditText = layout.editText;
    FileSetModified();
    return 1;
}

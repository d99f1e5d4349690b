// CONSTRUCTION: the spacing rule (equal parts, logarithmic, golden section,
// geometric, arithmetic or a list of proportions). Giving a field the focus
// chooses its rule, so the radio buttons always follow what is being typed.
#include "dialogs/box04_construction.h"

#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/window.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "language/language.h"

namespace {

constexpr char TEMPLATE_NAME[] = "CONSTRUCTION";
constexpr int ID_PARTS = 200, ID_DECADES = 201, ID_GOLDEN = 202, ID_GEO_FIRST = 203, ID_GEO_RATIO = 204,
              ID_GEO_COUNT = 205, ID_ARI_FIRST = 206, ID_ARI_INCREMENT = 207, ID_ARI_COUNT = 208,
              ID_LIST_VALUE = 209;
constexpr int ID_LIST = 170, ID_SUM = 350, ID_ROTATE = 250;
constexpr int ID_MODE_FIRST = 400;   // 400 .. 405, one per mode
constexpr int ID_GEO_VARIANT = 300;  // 300 by ratio, 301 by count
constexpr int ID_ARI_VARIANT = 302;  // 302 by increment, 303 by count
constexpr int ID_LABEL_GEO_FIRST = 650, ID_LABEL_ARI_FIRST = 651, ID_LABEL_ARI_INCREMENT = 652;
constexpr int ID_DELETE = 550, ID_INSERT = 551, ID_CHANGE = 552, ID_ADD = 553;
constexpr int MSG_LENGTH = 6, MSG_LIST_FULL = 61, MSG_PARTS = 63, MSG_DECADES = 64,
              MSG_GOLDEN = 65, MSG_COUNT = 66;
constexpr double SPACING_MIN = 1e-10, SPACING_MAX = 1e10;
constexpr double LIST_VALUE_MAX = 1e100;
constexpr double LIST_VALUE_DEFAULT = 1.0;
constexpr int CAPTION_SIZE = 256;
constexpr int TEXT_SIZE = 64;

struct ConstructionDialog {
    DialogHeader header;
    char caption[CAPTION_SIZE];
    int32_t rotate;
    ConstructionSettings s;
};

// The field that chooses each mode when it gets the focus, and the mode and
// variant each field chooses (-1: the variant stays).
constexpr int MODE_FIELDS[] = {ID_PARTS, ID_DECADES, ID_GOLDEN, ID_GEO_FIRST, ID_ARI_FIRST, ID_LIST_VALUE};
struct FieldMode {
    int id, mode, variant;
};
constexpr FieldMode FIELD_MODES[] = {
    {ID_PARTS, CONSTRUCT_EQUAL, -1},           {ID_DECADES, CONSTRUCT_LOGARITHMIC, -1},
    {ID_GOLDEN, CONSTRUCT_GOLDEN, -1},         {ID_GEO_FIRST, CONSTRUCT_GEOMETRIC, -1},
    {ID_GEO_RATIO, CONSTRUCT_GEOMETRIC, 0},    {ID_GEO_COUNT, CONSTRUCT_GEOMETRIC, 1},
    {ID_ARI_FIRST, CONSTRUCT_ARITHMETIC, -1},  {ID_ARI_INCREMENT, CONSTRUCT_ARITHMETIC, 0},
    {ID_ARI_COUNT, CONSTRUCT_ARITHMETIC, 1},   {ID_LIST_VALUE, CONSTRUCT_LIST, -1},
};

ConstructionSettings &Work(HWND dialog) { return Box01DialogRecordOf<ConstructionDialog>(dialog)->s; }

void ShowModes(HWND dialog, const ConstructionSettings &s)
{
    CheckRadioButton(dialog, ID_MODE_FIRST, ID_MODE_FIRST + CONSTRUCT_LIST, ID_MODE_FIRST + s.mode);
    CheckRadioButton(dialog, ID_GEO_VARIANT, ID_GEO_VARIANT + 1, ID_GEO_VARIANT + (s.geometricCounted ? 1 : 0));
    CheckRadioButton(dialog, ID_ARI_VARIANT, ID_ARI_VARIANT + 1, ID_ARI_VARIANT + (s.arithmeticCounted ? 1 : 0));
}

void SetMode(HWND dialog, int mode, int variant)
{
    ConstructionSettings &s = Work(dialog);
    s.mode = mode;
    if (variant >= 0 && mode == CONSTRUCT_GEOMETRIC)
        s.geometricCounted = variant;
    if (variant >= 0 && mode == CONSTRUCT_ARITHMETIC)
        s.arithmeticCounted = variant;
    ShowModes(dialog, s);
}

void SetInt(HWND dialog, int id, int32_t value) { SetDlgItemInt(dialog, id, value, TRUE); }

void SetNumber(HWND dialog, int id, double value)
{
    char text[TEXT_SIZE];
    ConvertDoubleToString(text, value, 0, static_cast<int>(g_ConvertState.decimals));
    SetDlgItemTextA(dialog, id, text);
}

void SetLength(HWND dialog, int id, int labelId, double mm)
{
    const ConvertState &u = g_ConvertState;
    char text[TEXT_SIZE];
    const double mmPerUnit = u.window ? u.window->mmPerUnit : 1.0;
    ConvertLengthToString(text, mm / mmPerUnit, 0, u.lengthFormat, static_cast<int>(u.decimals), mmPerUnit);
    SetDlgItemTextA(dialog, id, text);
    SetDlgItemTextA(dialog, labelId, u.lengthLabel);
}

// Refills the list and the sum, shows the selection and its value.
void ShowList(HWND dialog)
{
    ConstructionSettings &s = Work(dialog);
    HWND list = GetDlgItem(dialog, ID_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    double sum = 0.0;
    char text[TEXT_SIZE];
    for (int i = 0; i < s.listLength; ++i) {
        ConvertDoubleToString(text, s.list[i], 0, static_cast<int>(g_ConvertState.decimals));
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        sum += s.list[i];
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    if (s.listRow < 0 || s.listRow >= s.listLength)
        s.listRow = 0;
    SendMessageA(list, LB_SETCURSEL, s.listLength ? s.listRow : -1, 0);
    SetNumber(dialog, ID_LIST_VALUE, s.listLength ? s.list[s.listRow] : LIST_VALUE_DEFAULT);
    SetNumber(dialog, ID_SUM, sum);
}

void Init(HWND dialog, LPARAM lParam)
{
    auto *d = reinterpret_cast<ConstructionDialog *>(Box01DialogInit(dialog, lParam));
    const ConstructionSettings &s = d->s;
    SetWindowTextA(dialog, d->caption);
    ShowModes(dialog, s);
    Box01DialogCheck(dialog, ID_ROTATE, s.rotateCopies);
    EnableWindow(GetDlgItem(dialog, ID_ROTATE), d->rotate != 0);
    SetInt(dialog, ID_PARTS, s.equalParts);
    SetInt(dialog, ID_DECADES, s.decades);
    SetInt(dialog, ID_GOLDEN, s.goldenSteps);
    SetInt(dialog, ID_GEO_COUNT, s.geometricCount);
    SetInt(dialog, ID_ARI_COUNT, s.arithmeticCount);
    SetLength(dialog, ID_GEO_FIRST, ID_LABEL_GEO_FIRST, s.geometricFirst);
    SetLength(dialog, ID_ARI_FIRST, ID_LABEL_ARI_FIRST, s.arithmeticFirst);
    SetLength(dialog, ID_ARI_INCREMENT, ID_LABEL_ARI_INCREMENT, s.arithmeticIncrement);
    SetNumber(dialog, ID_GEO_RATIO, s.geometricFactor);
    ShowList(dialog);
    const int mode = s.mode >= CONSTRUCT_EQUAL && s.mode <= CONSTRUCT_LIST ? s.mode : CONSTRUCT_EQUAL;
    Box01DialogFocusEdit(dialog, MODE_FIELDS[mode]);
}

// The list value of edit 209; what is not above 0 or too large counts 1.
double ListValue(HWND dialog)
{
    char text[TEXT_SIZE];
    GetDlgItemTextA(dialog, ID_LIST_VALUE, text, sizeof text);
    double v = 0.0;
    if (!AlertCheckInputDouble(nullptr, text, &v, ID_LIST_VALUE) || !(v > 0.0) || v > LIST_VALUE_MAX)
        v = LIST_VALUE_DEFAULT;
    return v;
}

void ListCommand(HWND dialog, int id)
{
    ConstructionSettings &s = Work(dialog);
    SetMode(dialog, CONSTRUCT_LIST, -1);
    const int row = s.listRow >= 0 && s.listRow < s.listLength ? s.listRow : 0;
    if ((id == ID_ADD || id == ID_INSERT) && s.listLength >= CONSTRUCTION_LIST_SIZE) {
        AlertOk(dialog, eAlertTextOK[MSG_LIST_FULL]);
    } else if (id == ID_ADD) {
        s.list[s.listLength] = ListValue(dialog);
        s.listRow = s.listLength++;
    } else if (id == ID_INSERT) {
        std::memmove(&s.list[row + 1], &s.list[row], (s.listLength - row) * sizeof(double));
        s.list[row] = ListValue(dialog);
        ++s.listLength;
        s.listRow = row;
    } else if (id == ID_CHANGE && s.listLength) {
        s.list[row] = ListValue(dialog);
    } else if (id == ID_DELETE && s.listLength) {
        std::memmove(&s.list[row], &s.list[row + 1], (s.listLength - row - 1) * sizeof(double));
        --s.listLength;
        s.listRow = row > 0 ? row - 1 : 0;
    }
    ShowList(dialog);
    Box01DialogFocusEdit(dialog, ID_LIST_VALUE);
}

int ReadLength(HWND dialog, int id, double min, double max, const char *message, double *out)
{
    char text[TEXT_SIZE * 4];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return AlertCheckInputLengthRange(dialog, text, out, id, min, max, message);
}

int ReadCount(HWND dialog, int id, int lo, int hi, int rangeMessage, int32_t *out)
{
    return AlertCheckInputIntField(dialog, id, lo, hi, eAlertTextOK[rangeMessage], out);
}

// Every field, whatever the mode, in the order the user is told about them.
int Validate(HWND dialog)
{
    ConstructionSettings &s = Work(dialog);
    char ratio[TEXT_SIZE * 4];
    GetDlgItemTextA(dialog, ID_GEO_RATIO, ratio, sizeof ratio);
    return ReadLength(dialog, ID_GEO_FIRST, SPACING_MIN, SPACING_MAX, eAlertTextOK[MSG_LENGTH], &s.geometricFirst) &&
           AlertCheckInputDoubleRange(dialog, ratio, &s.geometricFactor, ID_GEO_RATIO, SPACING_MIN, SPACING_MAX,
                                      nullptr) &&
           ReadLength(dialog, ID_ARI_FIRST, SPACING_MIN, SPACING_MAX, eAlertTextOK[MSG_LENGTH], &s.arithmeticFirst) &&
           ReadLength(dialog, ID_ARI_INCREMENT, -SPACING_MAX, SPACING_MAX, nullptr, &s.arithmeticIncrement) &&
           ReadCount(dialog, ID_PARTS, 1, 999, MSG_PARTS, &s.equalParts) &&
           ReadCount(dialog, ID_DECADES, 1, 99, MSG_DECADES, &s.decades) &&
           ReadCount(dialog, ID_GOLDEN, 1, 999, MSG_GOLDEN, &s.goldenSteps) &&
           ReadCount(dialog, ID_GEO_COUNT, 2, 999, MSG_COUNT, &s.geometricCount) &&
           ReadCount(dialog, ID_ARI_COUNT, 2, 999, MSG_COUNT, &s.arithmeticCount);
}

void Command(HWND dialog, int id, int code)
{
    if (code == EN_SETFOCUS) {
        for (const FieldMode &f : FIELD_MODES)
            if (f.id == id)
                SetMode(dialog, f.mode, f.variant);
        return;
    }
    if (id >= ID_MODE_FIRST && id <= ID_MODE_FIRST + CONSTRUCT_LIST) {
        SetMode(dialog, id - ID_MODE_FIRST, -1);
    } else if (id == ID_GEO_VARIANT || id == ID_GEO_VARIANT + 1) {
        SetMode(dialog, CONSTRUCT_GEOMETRIC, id - ID_GEO_VARIANT);
    } else if (id == ID_ARI_VARIANT || id == ID_ARI_VARIANT + 1) {
        SetMode(dialog, CONSTRUCT_ARITHMETIC, id - ID_ARI_VARIANT);
    } else if (id == ID_ROTATE) {
        ConstructionDialog *d = Box01DialogRecordOf<ConstructionDialog>(dialog);
        if (d->rotate)
            d->s.rotateCopies = IsDlgButtonChecked(dialog, ID_ROTATE) == BST_CHECKED;
    } else if (id >= ID_DELETE && id <= ID_ADD) {
        ListCommand(dialog, id);
    } else if (id == ID_LIST && code == LBN_SELCHANGE) {
        ConstructionSettings &s = Work(dialog);
        const LRESULT row = SendDlgItemMessageA(dialog, ID_LIST, LB_GETCURSEL, 0, 0);
        if (row >= 0 && row < s.listLength) {
            s.listRow = static_cast<int32_t>(row);
            SetNumber(dialog, ID_LIST_VALUE, s.list[row]);
        }
        Box01DialogFocusEdit(dialog, ID_LIST_VALUE);
        SetMode(dialog, CONSTRUCT_LIST, -1);
    } else if (id == IDOK && Validate(dialog)) {
        Box01DialogEnd(dialog, DIALOG_OK);
    }
}

INT_PTR CALLBACK ConstructionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        Init(dialog, lParam);
        return FALSE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) != IDCANCEL) {
        Command(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, BOX04_CONSTRUCTION_HELP);
}

} // namespace

int Box04EditConstruction(HWND owner, const char *caption, ConstructionSettings *settings, int32_t rotate)
{
    ConstructionDialog d = {};
    std::snprintf(d.caption, sizeof d.caption, "%s", caption ? caption : "");
    d.rotate = rotate;
    d.s = *settings;
    if (!Box01DialogEdit(owner, TEMPLATE_NAME, ConstructionProc, d))
        return 0;
    *settings = d.s;
    return 1;
}

// The generic value dialogs and the outline segment dialog. One procedure
// serves every value template: the record says what each field holds, and
// OK checks the fields in order, staying open on the first bad one.
#include "dialogs/box02.h"

#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/window.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "language/language.h"

namespace {

constexpr int HELP_OUTLINE = 15053;
constexpr int FIELD_FIRST = 200;
constexpr int PROMPT_FIRST = 350;
constexpr int LABEL_FIRST = 650;
constexpr int OUTLINE_BUTTON_FIRST = 400;
constexpr int OUTLINE_LABEL_FIRST = 350;
constexpr int OUTLINE_GO_ON = 8;
constexpr int OUTLINE_FINISH = 16;
constexpr int FIELD_TEXT_SIZE = 251; // a field is read up to 250 characters
constexpr int MSG_NOT_AN_INTEGER = 7; // eAlertTextOK
constexpr int VALUE_FIELDS = 3;
constexpr int PROMPT_SIZE = 516;
constexpr int CAPTION_SIZE = 516;

enum FieldKind : int32_t { FIELD_NONE, FIELD_INT, FIELD_DOUBLE, FIELD_ANGLE, FIELD_LENGTH, FIELD_WIDTH };

// The check box some templates add below their field: 250 with a label of
// the caller's (EDITDOUBLECHECK), or 500 showing bit 0 of a flags word that
// typing into the field sets (EDITDOUBLEFLAG).
enum CheckKind : int32_t { CHECK_NONE, CHECK_LABELLED, CHECK_FLAG };
constexpr int ID_CHECK = 250;
constexpr int ID_FLAG = 500;
constexpr int HELP_LENGTH_PROPERTY = 15003;

struct ValueDialogRecord {
    DialogHeader header;
    CheckKind checkKind;
    uint32_t check;       // CHECK_LABELLED: the box's value
    uint32_t flags;       // CHECK_FLAG: bit 0 shown in box 500
    char checkLabel[PROMPT_SIZE];
    FieldKind kind[VALUE_FIELDS];
    int32_t integer[VALUE_FIELDS];
    double value[VALUE_FIELDS];
    char prompt[VALUE_FIELDS][PROMPT_SIZE];
    char caption[CAPTION_SIZE];
    int32_t helpContext;
};

void CopyText(char *out, size_t size, const char *text) { std::snprintf(out, size, "%s", text ? text : ""); }

const ConvertState &Units() { return g_ConvertState; }

// The factor of a unit: stored value = typed value x factor (what the input checks multiply by).
double UnitFactor(double factor) { return factor > 0.0 ? factor : 1.0; }

// The value in the current unit as a term the evaluator reads back, and the unit label. The formatter
// expects the value already in the unit, so the stored value is divided by the factor the input
// checks multiply with: an angle stored in radians shows in degrees, a length in mm in inches.
void ValueText(FieldKind kind, double value, char *out, size_t size, const char **label)
{
    const ConvertState &u = Units();
    char text[64];
    *label = "";
    switch (kind) {
    case FIELD_ANGLE: {
        const double f = UnitFactor(u.window ? u.window->angleFactor : 1.0);
        ConvertWidthAngleToString(text, value / f, 0, u.angleFormat, static_cast<int>(u.decimals), f);
        *label = u.angleLabel;
        break;
    }
    case FIELD_LENGTH: {
        const double f = UnitFactor(u.window ? u.window->mmPerUnit : 1.0);
        ConvertLengthToString(text, value / f, 0, u.lengthFormat, static_cast<int>(u.decimals), f);
        *label = u.lengthLabel;
        break;
    }
    case FIELD_WIDTH: {
        const double f = UnitFactor(u.window ? u.window->widthFactor : 1.0);
        ConvertWidthAngleToString(text, value / f, 0, 0, static_cast<int>(u.decimals), f);
        *label = u.widthLabel;
        break;
    }
    default: ConvertDoubleToString(text, value, 0, static_cast<int>(u.decimals)); break;
    }
    CopyText(out, size, text);
}

void FillFields(HWND dialog, const ValueDialogRecord &r)
{
    SetWindowTextA(dialog, r.caption);
    for (int k = 0; k < VALUE_FIELDS && r.kind[k] != FIELD_NONE; ++k) {
        SetDlgItemTextA(dialog, PROMPT_FIRST + k, r.prompt[k]);
        char text[FIELD_TEXT_SIZE];
        const char *label = "";
        if (r.kind[k] == FIELD_INT)
            ConvertIntToString(text, r.integer[k]);
        else
            ValueText(r.kind[k], r.value[k], text, sizeof text, &label);
        SetDlgItemTextA(dialog, FIELD_FIRST + k, text);
        SetDlgItemTextA(dialog, LABEL_FIRST + k, label);
    }
    if (r.checkKind == CHECK_LABELLED) {
        SetDlgItemTextA(dialog, ID_CHECK, r.checkLabel);
        CheckDlgButton(dialog, ID_CHECK, r.check ? BST_CHECKED : BST_UNCHECKED);
    }
    if (r.checkKind == CHECK_FLAG) {
        CheckDlgButton(dialog, ID_FLAG, (r.flags & 1u) ? BST_CHECKED : BST_UNCHECKED);
        SetFocus(GetDlgItem(dialog, IDOK)); // a look at the value does not select the option
        return;
    }
    Box01DialogFocusEdit(dialog, FIELD_FIRST);
}

// The check boxes: a click inverts the value; entering the field of
// EDITDOUBLE__ selects its option, since a value typed there is meant.
bool HandleCheck(HWND dialog, ValueDialogRecord &r, int id, int code)
{
    if (r.checkKind == CHECK_LABELLED && id == ID_CHECK && code == BN_CLICKED) {
        r.check = r.check ? 0 : 1;
        CheckDlgButton(dialog, ID_CHECK, r.check ? BST_CHECKED : BST_UNCHECKED);
        return true;
    }
    if (r.checkKind != CHECK_FLAG)
        return false;
    if (id == ID_FLAG && code == BN_CLICKED)
        r.flags ^= 1u;
    else if (id == FIELD_FIRST && code == EN_SETFOCUS)
        r.flags |= 1u;
    else
        return false;
    CheckDlgButton(dialog, ID_FLAG, (r.flags & 1u) ? BST_CHECKED : BST_UNCHECKED);
    return true;
}

// Reads and checks field k into the record; 0 keeps the dialog open.
int ReadField(HWND dialog, ValueDialogRecord &r, int k)
{
    char text[FIELD_TEXT_SIZE];
    const int id = FIELD_FIRST + k;
    GetDlgItemTextA(dialog, id, text, sizeof text);
    switch (r.kind[k]) {
    case FIELD_INT: {
        const int n = ConvertStringToInt(text);
        if (n == CONVERT_NO_INT) {
            AlertOk(dialog, eAlertTextOK[MSG_NOT_AN_INTEGER]);
            return 0;
        }
        r.integer[k] = n;
        return 1;
    }
    case FIELD_DOUBLE: return AlertCheckInputDouble(dialog, text, &r.value[k], id);
    case FIELD_ANGLE: return AlertCheckInputAngle(dialog, text, &r.value[k], id);
    case FIELD_LENGTH: return AlertCheckInputLength(dialog, text, &r.value[k], id);
    case FIELD_WIDTH: return AlertCheckInputWidth(dialog, text, &r.value[k], id);
    default: return 1;
    }
}

INT_PTR CALLBACK ValueDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto *r = reinterpret_cast<ValueDialogRecord *>(Box01DialogInit(dialog, lParam));
        if (r)
            FillFields(dialog, *r);
        return FALSE; // the focus is set
    }
    auto *r = Box01DialogRecordOf<ValueDialogRecord>(dialog);
    if (message == WM_COMMAND && r && HandleCheck(dialog, *r, LOWORD(wParam), HIWORD(wParam)))
        return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK && r) {
        ValueDialogRecord work = *r;
        for (int k = 0; k < VALUE_FIELDS && work.kind[k] != FIELD_NONE; ++k)
            if (!ReadField(dialog, work, k))
                return TRUE;
        *r = work;
        Box01DialogEnd(dialog, DIALOG_OK);
        return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, r ? r->helpContext : HELP_CONTEXT_NONE);
}

struct Field {
    FieldKind kind;
    const char *prompt;
    double *value;
    int32_t *integer;
};

// The check box of a template, with its value in and out.
struct Check {
    CheckKind kind;
    const char *label;
    uint32_t *value;
    int32_t helpContext;
};
constexpr Check NO_CHECK = {CHECK_NONE, nullptr, nullptr, BOX02_HELP_CONTEXT};

int RunValueDialog(HWND owner, const char *templateName, const char *caption, const Field (&fields)[VALUE_FIELDS],
                   const Check &check = NO_CHECK)
{
    ValueDialogRecord r{};
    r.helpContext = check.helpContext;
    r.checkKind = check.kind;
    if (check.value)
        r.check = r.flags = *check.value;
    CopyText(r.checkLabel, sizeof r.checkLabel, check.label);
    CopyText(r.caption, sizeof r.caption, caption);
    for (int k = 0; k < VALUE_FIELDS; ++k) {
        r.kind[k] = fields[k].kind;
        CopyText(r.prompt[k], sizeof r.prompt[k], fields[k].prompt);
        if (fields[k].value)
            r.value[k] = *fields[k].value;
        if (fields[k].integer)
            r.integer[k] = *fields[k].integer;
    }
    if (Box01DialogEdit(owner, templateName, ValueDialogProc, r) != DIALOG_OK)
        return 0;
    for (int k = 0; k < VALUE_FIELDS; ++k) {
        if (fields[k].value)
            *fields[k].value = r.value[k];
        if (fields[k].integer)
            *fields[k].integer = r.integer[k];
    }
    if (check.value)
        *check.value = check.kind == CHECK_FLAG ? r.flags : r.check;
    return 1;
}

constexpr Field NO_FIELD = {FIELD_NONE, nullptr, nullptr, nullptr};

int OneValue(HWND owner, const char *caption, FieldKind kind, const char *prompt, double *value)
{
    return RunValueDialog(owner, "EDITDOUBLE", caption, {{kind, prompt, value, nullptr}, NO_FIELD, NO_FIELD});
}

// The outline dialog keeps its record with the window like the value dialogs.
struct OutlineDialogRecord {
    DialogHeader header;
    OutlineRecord outline;
    char caption[CAPTION_SIZE];
};

INT_PTR CALLBACK OutlineDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto *r = reinterpret_cast<OutlineDialogRecord *>(Box01DialogInit(dialog, lParam));
        if (!r)
            return TRUE;
        SetWindowTextA(dialog, r->caption);
        char text[FIELD_TEXT_SIZE];
        const char *label = "";
        ValueText(FIELD_ANGLE, r->outline.angle, text, sizeof text, &label);
        SetDlgItemTextA(dialog, FIELD_FIRST, text);
        SetDlgItemTextA(dialog, LABEL_FIRST, label);
        for (int k = 0; k < OUTLINE_OPTIONS; ++k) {
            const BOOL offered = (r->outline.offered >> k) & 1u;
            EnableWindow(GetDlgItem(dialog, OUTLINE_BUTTON_FIRST + k), offered);
            EnableWindow(GetDlgItem(dialog, OUTLINE_LABEL_FIRST + k), offered);
        }
        Box01DialogFocusEdit(dialog, FIELD_FIRST);
        return FALSE;
    }
    auto *r = Box01DialogRecordOf<OutlineDialogRecord>(dialog);
    if (message == WM_COMMAND && r) {
        const int id = LOWORD(wParam);
        uint32_t choice = 0;
        if (id >= OUTLINE_BUTTON_FIRST && id < OUTLINE_BUTTON_FIRST + OUTLINE_OPTIONS)
            choice = 1u << (id - OUTLINE_BUTTON_FIRST);
        else if (id == OUTLINE_GO_ON)
            choice = OUTLINE_CHOICE_GO_ON;
        else if (id == OUTLINE_FINISH)
            choice = OUTLINE_CHOICE_FINISH;
        if (choice) {
            char text[FIELD_TEXT_SIZE];
            GetDlgItemTextA(dialog, FIELD_FIRST, text, sizeof text);
            double angle = 0.0;
            if (!AlertCheckInputAngle(dialog, text, &angle, FIELD_FIRST))
                return TRUE;
            r->outline.angle = angle;
            r->outline.choice = choice;
            Box01DialogEnd(dialog, static_cast<uint32_t>(id));
            return TRUE;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_OUTLINE);
}

} // namespace

int Box02EditDouble(HWND owner, const char *caption, const char *prompt, double *value)
{
    return OneValue(owner, caption, FIELD_DOUBLE, prompt, value);
}

int Box02EditAngle(HWND owner, const char *caption, const char *prompt, double *angle)
{
    return OneValue(owner, caption, FIELD_ANGLE, prompt, angle);
}

int Box02EditLength(HWND owner, const char *caption, const char *prompt, double *length)
{
    return OneValue(owner, caption, FIELD_LENGTH, prompt, length);
}

int Box02EditWidth(HWND owner, const char *caption, const char *prompt, double *width)
{
    return OneValue(owner, caption, FIELD_WIDTH, prompt, width);
}

int Box02EditLengthProp(HWND owner, const char *caption, const char *prompt, double *length)
{
    return RunValueDialog(owner, "EDITDOUBLE", caption, {{FIELD_LENGTH, prompt, length, nullptr}, NO_FIELD, NO_FIELD},
                          {CHECK_NONE, nullptr, nullptr, HELP_LENGTH_PROPERTY});
}

int Box02EditLengthCheck(HWND owner, const char *caption, const char *prompt, double *length,
                         const char *checkLabel, uint32_t *check)
{
    return RunValueDialog(owner, "EDITDOUBLECHECK", caption,
                          {{FIELD_LENGTH, prompt, length, nullptr}, NO_FIELD, NO_FIELD},
                          {CHECK_LABELLED, checkLabel, check, BOX02_HELP_CONTEXT});
}

int Box02EditLengthFlag(HWND owner, const char *caption, const char *prompt, double *length, uint32_t *flags)
{
    return RunValueDialog(owner, "EDITDOUBLEFLAG", caption,
                          {{FIELD_LENGTH, prompt, length, nullptr}, NO_FIELD, NO_FIELD},
                          {CHECK_FLAG, nullptr, flags, HELP_LENGTH_PROPERTY});
}

int Box02EditInt(HWND owner, const char *caption, const char *prompt, int32_t *value)
{
    return RunValueDialog(owner, "EDITINT", caption, {{FIELD_INT, prompt, nullptr, value}, NO_FIELD, NO_FIELD});
}

int Box02EditIntInt(HWND owner, const char *caption, const char *prompt1, int32_t *value1, const char *prompt2,
                    int32_t *value2)
{
    return RunValueDialog(owner, "EDITINTINT", caption,
                          {{FIELD_INT, prompt1, nullptr, value1}, {FIELD_INT, prompt2, nullptr, value2}, NO_FIELD});
}

int Box02EditIntLength(HWND owner, const char *caption, const char *prompt1, int32_t *value, const char *prompt2,
                       double *length)
{
    return RunValueDialog(owner, "EDITINTLEN", caption,
                          {{FIELD_INT, prompt1, nullptr, value}, {FIELD_LENGTH, prompt2, length, nullptr}, NO_FIELD});
}

int Box02EditAngleLength(HWND owner, const char *caption, const char *prompt1, double *angle, const char *prompt2,
                         double *length)
{
    return RunValueDialog(owner, "EDITDOUBLE2", caption,
                          {{FIELD_ANGLE, prompt1, angle, nullptr}, {FIELD_LENGTH, prompt2, length, nullptr}, NO_FIELD});
}

int Box02EditAngleLengthAngle(HWND owner, const char *caption, const char *prompt1, double *angle1,
                              const char *prompt2, double *length, const char *prompt3, double *angle2)
{
    return RunValueDialog(owner, "EDITDOUBLE3", caption,
                          {{FIELD_ANGLE, prompt1, angle1, nullptr},
                           {FIELD_LENGTH, prompt2, length, nullptr},
                           {FIELD_ANGLE, prompt3, angle2, nullptr}});
}

int Box02Outline(HWND owner, const char *caption, OutlineRecord *record)
{
    if (!record)
        return 0;
    OutlineDialogRecord r{};
    r.outline = *record;
    r.outline.choice = 0;
    CopyText(r.caption, sizeof r.caption, caption);
    if (!Box01DialogEdit(owner, "OUTLINE", OutlineDialogProc, r) || !r.outline.choice)
        return 0;
    *record = r.outline;
    return 1;
}

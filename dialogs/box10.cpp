#include "dialogs/box10.h"

#include "app/convert.h"
#include "app/window.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"

namespace {

constexpr int ID_FIRST = 200, ID_SECOND = 201, ID_COPY = 250, ID_PRESET_FIRST = 550;
constexpr int ID_LABEL_FIRST = 650, ID_LABEL_SECOND = 651;
constexpr int HELP_TRANSFORM = 15081;
constexpr int VALUE_SIZE = 64;
constexpr int VALUE_DIGITS = 10;
constexpr double DEGREE = 0.01745329251994;

const double kScalePresets[] = {0.5, 0.7071067811865, 1.0, 1.414213562373, 2.0};
constexpr int kAnglePresets = 8; // 0 to 315 degrees in steps of 45

enum Kind { KIND_SCALE, KIND_ROTATE, KIND_MOVE };

struct TransformDialog {
    DialogHeader header;
    const char *caption;
    Kind kind;
    uint32_t copy;
    double values[2];
};

void SetPlain(HWND dialog, int id, double value)
{
    char text[VALUE_SIZE];
    ConvertDoubleToString(text, value, 0, VALUE_DIGITS);
    SetDlgItemTextA(dialog, id, text);
}

void SetLength(HWND dialog, int id, double mm)
{
    char text[VALUE_SIZE];
    ConvertLengthToString(text, mm, 0, 0, VALUE_DIGITS, g_ConvertState.window->mmPerUnit);
    SetDlgItemTextA(dialog, id, text);
}

void SetAngle(HWND dialog, int id, double radians)
{
    SetPlain(dialog, id, radians / g_ConvertState.window->angleFactor);
}

void Init(HWND dialog, TransformDialog *d)
{
    if (d->caption)
        SetWindowTextA(dialog, d->caption);
    switch (d->kind) {
    case KIND_SCALE:
        SetPlain(dialog, ID_FIRST, d->values[0]);
        SetPlain(dialog, ID_SECOND, d->values[1]);
        SetDlgItemTextA(dialog, ID_LABEL_FIRST, "");
        SetDlgItemTextA(dialog, ID_LABEL_SECOND, "");
        break;
    case KIND_ROTATE:
        SetAngle(dialog, ID_FIRST, d->values[0]);
        SetDlgItemTextA(dialog, ID_LABEL_FIRST, g_ConvertState.angleLabel);
        break;
    case KIND_MOVE:
        SetLength(dialog, ID_FIRST, d->values[0]);
        SetLength(dialog, ID_SECOND, d->values[1]);
        SetDlgItemTextA(dialog, ID_LABEL_FIRST, g_ConvertState.lengthLabel);
        SetDlgItemTextA(dialog, ID_LABEL_SECOND, g_ConvertState.lengthLabel);
        break;
    }
    Box01DialogCheck(dialog, ID_COPY, d->copy);
    Box01DialogFocusEdit(dialog, ID_FIRST);
}

// Reads the fields in order; the first that fails keeps the dialog open.
bool Read(HWND dialog, TransformDialog *d)
{
    char text[VALUE_SIZE];
    double read[2] = {d->values[0], d->values[1]};
    const int fields = d->kind == KIND_ROTATE ? 1 : 2;
    for (int i = 0; i < fields; ++i) {
        const int id = ID_FIRST + i;
        GetDlgItemTextA(dialog, id, text, VALUE_SIZE);
        const int ok = d->kind == KIND_SCALE    ? AlertCheckInputDouble(dialog, text, &read[i], id)
                       : d->kind == KIND_ROTATE ? AlertCheckInputAngle(dialog, text, &read[i], id)
                                                : AlertCheckInputLength(dialog, text, &read[i], id);
        if (!ok)
            return false;
    }
    d->values[0] = read[0];
    d->values[1] = read[1];
    return true;
}

bool Preset(HWND dialog, const TransformDialog *d, int id)
{
    const int i = id - ID_PRESET_FIRST;
    if (d->kind == KIND_SCALE && i >= 0 && i < int(sizeof kScalePresets / sizeof *kScalePresets)) {
        SetPlain(dialog, ID_FIRST, kScalePresets[i]);
        SetPlain(dialog, ID_SECOND, kScalePresets[i]);
        return true;
    }
    if (d->kind == KIND_ROTATE && i >= 0 && i < kAnglePresets) {
        SetAngle(dialog, ID_FIRST, 45 * i * DEGREE);
        return true;
    }
    return false;
}

INT_PTR CALLBACK TransformDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    TransformDialog *d = Box01DialogRecordOf<TransformDialog>(dialog);
    if (message == WM_INITDIALOG) {
        d = reinterpret_cast<TransformDialog *>(Box01DialogInit(dialog, lParam));
        Init(dialog, d);
        return FALSE; // the focus is set
    }
    if (message == WM_COMMAND && d) {
        const int id = LOWORD(wParam);
        if (id == ID_COPY) {
            d->copy = d->copy ? 0 : 1;
            return TRUE;
        }
        if (id == IDOK) {
            if (Read(dialog, d))
                Box01DialogEnd(dialog, DIALOG_OK);
            return TRUE;
        }
        if (Preset(dialog, d, id))
            return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_TRANSFORM);
}

uint32_t Run(HWND owner, const char *templateName, Kind kind, const char *caption, double *first, double *second,
             uint32_t *copy)
{
    TransformDialog d{};
    d.caption = caption;
    d.kind = kind;
    d.copy = *copy ? 1 : 0;
    d.values[0] = *first;
    d.values[1] = second ? *second : 0;
    if (!Box01DialogEdit(owner, templateName, TransformDialogProc, d))
        return 0;
    *first = d.values[0];
    if (second)
        *second = d.values[1];
    *copy = d.copy;
    return 1;
}

} // namespace

uint32_t Box10ScaleFactor(HWND owner, const char *caption, double *sx, double *sy, uint32_t *copy)
{
    return Run(owner, "SCALEFACTOR2", KIND_SCALE, caption, sx, sy, copy);
}

uint32_t Box10RotateMidpoint(HWND owner, const char *caption, double *angle, uint32_t *copy)
{
    return Run(owner, "ROTATEMIDPOINT", KIND_ROTATE, caption, angle, nullptr, copy);
}

uint32_t Box10MoveRelative(HWND owner, const char *caption, double *dx, double *dy, uint32_t *copy)
{
    return Run(owner, "MOVERELATIVE", KIND_MOVE, caption, dx, dy, copy);
}

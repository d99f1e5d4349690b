// "INSTANCEEDIT": the placement of one instance.
#include "dialogs/box06_instance.h"

#include <cmath>
#include <cstring>
#include <string>

#include "app/convert.h"
#include "app/window.h"
#include "database/object_attributes.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "language/language.h"
#include "plugin/zvi.h"

namespace {

constexpr int ID_LIBRARY = 350, ID_BLOCK = 351, ID_X = 200, ID_Y = 201, ID_SCALE_X = 202, ID_SCALE_Y = 203,
              ID_ROTATION = 204, ID_DISTORTION = 205, ID_LENGTH_UNIT_X = 650, ID_LENGTH_UNIT_Y = 651,
              ID_ANGLE_UNIT_1 = 652, ID_ANGLE_UNIT_2 = 653, ID_RESET = 551;
constexpr int HELP_INSTANCE = 15049;
constexpr int kOwnBlocks = 7;      // eUniTexts
constexpr int kOutOfRange = 29;    // eAlertTextOK
constexpr double NEGLIGIBLE = 1e-10;
constexpr double STEEP_SHEAR = 1e10;
constexpr int FIELDS = 6;
constexpr int TEXT_SIZE = 256;

struct InstanceDialog {
    DialogHeader header;
    const char *caption;
    ObjectAttributes *set;
    double values[FIELDS];         // x, y (system), scale x, scale y, rotation, distortion
    char shown[FIELDS][TEXT_SIZE]; // the texts as written: unchanged fields keep values[]
};

void Show(HWND dialog, InstanceDialog *d, int field, const char *text)
{
    lstrcpynA(d->shown[field], text, TEXT_SIZE);
    SetDlgItemTextA(dialog, ID_X + field, text);
}

void Fill(HWND dialog, InstanceDialog *d)
{
    char text[TEXT_SIZE], unit[TEXT_SIZE];
    for (int f = 0; f < 2; ++f) {
        unit[0] = 0;
        ZVI_ConvertLengthString(text, d->values[f], unit);
        Show(dialog, d, f, text);
        SetDlgItemTextA(dialog, f ? ID_LENGTH_UNIT_Y : ID_LENGTH_UNIT_X, unit);
    }
    for (int f = 2; f < 4; ++f) {
        ZVI_ConvertDoubleString(text, d->values[f]);
        Show(dialog, d, f, text);
    }
    for (int f = 4; f < 6; ++f) {
        unit[0] = 0;
        ZVI_ConvertAngleString(text, d->values[f], unit);
        Show(dialog, d, f, text);
        SetDlgItemTextA(dialog, f == 4 ? ID_ANGLE_UNIT_1 : ID_ANGLE_UNIT_2, unit);
    }
}

// Reads the fields the user changed; false (the field selected) on bad input.
bool Read(HWND dialog, InstanceDialog *d)
{
    double v[FIELDS];
    std::memcpy(v, d->values, sizeof v);
    for (int f = 0; f < FIELDS; ++f) {
        char text[TEXT_SIZE] = {};
        GetDlgItemTextA(dialog, ID_X + f, text, sizeof text);
        if (std::strcmp(text, d->shown[f]) == 0)
            continue;
        const int ok = f < 2 ? AlertCheckInputCoordinate(dialog, text, &v[f], ID_X + f)
                     : f < 4 ? AlertCheckInputDouble(dialog, text, &v[f], ID_X + f)
                             : AlertCheckInputAngle(dialog, text, &v[f], ID_X + f);
        if (!ok)
            return false;
    }
    const int w = g_ActiveWindow;
    const double x = ConvertSystemToWorldX(w, v[0], v[1]), y = ConvertSystemToWorldY(w, v[0], v[1]);
    if (x == 1e300 || y == 1e300) {
        AlertOk(dialog, eAlertTextOK[kOutOfRange]);
        return false;
    }
    std::memcpy(d->values, v, sizeof v);
    Box06AssemblePlacement(&d->set->placement.placement, v[2], v[3], v[4], v[5], x, y);
    return true;
}

INT_PTR CALLBACK InstanceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    InstanceDialog *d = Box01DialogRecordOf<InstanceDialog>(dialog);
    if (message == WM_INITDIALOG) {
        d = reinterpret_cast<InstanceDialog *>(Box01DialogInit(dialog, lParam));
        if (d->caption)
            SetWindowTextA(dialog, d->caption);
        const char *library = d->set->placement.library;
        SetDlgItemTextA(dialog, ID_LIBRARY, std::strcmp(library, "*") == 0 ? eUniTexts[kOwnBlocks] : library);
        SetDlgItemTextA(dialog, ID_BLOCK, d->set->placement.block);
        Fill(dialog, d);
        Box01DialogFocusEdit(dialog, ID_X);
        return FALSE;
    }
    if (message == WM_COMMAND && d) {
        switch (LOWORD(wParam)) {
        case ID_RESET: {
            char text[TEXT_SIZE], unit[TEXT_SIZE] = "";
            ZVI_ConvertDoubleString(text, 1.0);
            SetDlgItemTextA(dialog, ID_SCALE_X, text);
            SetDlgItemTextA(dialog, ID_SCALE_Y, text);
            ZVI_ConvertAngleString(text, 0.0, unit);
            SetDlgItemTextA(dialog, ID_ROTATION, text);
            SetDlgItemTextA(dialog, ID_DISTORTION, text);
            return TRUE;
        }
        case IDOK:
            if (Read(dialog, d))
                Box01DialogEnd(dialog, DIALOG_OK);
            return TRUE;
        default: break;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_INSTANCE);
}

} // namespace

void Box06AssemblePlacement(Matrix *m, double scaleX, double scaleY, double rotation, double distortion, double x,
                            double y)
{
    MatrixInit(m);
    MatrixScale(m, scaleX, scaleY);
    const double c = std::cos(-distortion);
    MatrixShearX(m, std::fabs(c) < NEGLIGIBLE ? STEEP_SHEAR : std::tan(-distortion));
    if (std::fabs(rotation) > NEGLIGIBLE)
        MatrixRotate(m, rotation);
    MatrixMove(m, x, y);
}

uint32_t Box06EditBlockInstance(HWND owner, const char *caption, ObjectAttributes *set)
{
    InstanceDialog d{};
    d.caption = caption;
    ObjectAttributes copy = *set;
    d.set = &copy;
    double scaleY = 1, ratio = 1, rotation = 0, distortion = 0, x = 0, y = 0;
    MatrixSeparate(&copy.placement.placement, &scaleY, &ratio, &rotation, &distortion, &x, &y);
    const int w = g_ActiveWindow;
    d.values[0] = ConvertWorldToSystemX(w, x, y);
    d.values[1] = ConvertWorldToSystemY(w, x, y);
    d.values[2] = ratio * scaleY;
    d.values[3] = scaleY;
    d.values[4] = rotation;
    d.values[5] = distortion;
    if (!Box01DialogEdit(owner, "INSTANCEEDIT", InstanceDialogProc, d))
        return 0;
    *set = copy;
    return 1;
}

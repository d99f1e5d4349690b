// ORTHOLAYOUT. The list holds the angles as the user sees them, in the
// current angle unit; they are read back into radians only on OK, so a
// unit change between edits cannot creep in.
#include "dialogs/box03_ortho.h"

#include <cstdio>

#include "app/convert.h"
#include "app/window.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "language/language.h"

namespace {

constexpr char TEMPLATE_NAME[] = "ORTHOLAYOUT";
constexpr int ID_ANGLE = 200, ID_TOLERANCE = 201, ID_LIST = 170;
constexpr int ID_MODE_FIRST = 300, ID_MODE_LAST = 306;
constexpr int ID_LABEL_ANGLE = 650, ID_LABEL_TOLERANCE = 651;
constexpr int ID_ADD = 550, ID_INSERT = 551, ID_DELETE = 552;
constexpr int MSG_NO_ROW = 3, MSG_LIST_FULL = 81, MSG_TOO_MANY = 121;
constexpr int CAPTION_SIZE = 256;
constexpr int TEXT_SIZE = 256;

struct OrthoDialog {
    DialogHeader header;
    char caption[CAPTION_SIZE];
    OrthoLayout layout;
};

OrthoLayout &Work(HWND dialog) { return Box01DialogRecordOf<OrthoDialog>(dialog)->layout; }

void AngleText(char *out, double radians)
{
    const ConvertState &u = g_ConvertState;
    const double factor = u.window ? u.window->angleFactor : 1.0;
    ConvertWidthAngleToString(out, radians / factor, 0, u.angleFormat, static_cast<int>(u.decimals), factor);
}

void SetMode(HWND dialog, int mode)
{
    Work(dialog).mode = mode;
    CheckRadioButton(dialog, ID_MODE_FIRST, ID_MODE_LAST, ID_MODE_FIRST + mode);
}

LRESULT List(HWND dialog, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendDlgItemMessageA(dialog, ID_LIST, message, wParam, lParam);
}

void Init(HWND dialog, LPARAM lParam)
{
    auto *d = reinterpret_cast<OrthoDialog *>(Box01DialogInit(dialog, lParam));
    const OrthoLayout &o = d->layout;
    SetWindowTextA(dialog, d->caption);
    CheckRadioButton(dialog, ID_MODE_FIRST, ID_MODE_LAST, ID_MODE_FIRST + o.mode);
    char text[TEXT_SIZE];
    const int count = o.count < 0 ? 0 : o.count > ORTHO_ANGLE_LIMIT ? ORTHO_ANGLE_LIMIT : o.count;
    for (int i = 0; i < count; ++i) {
        AngleText(text, o.angles[i]);
        List(dialog, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (i == 0)
            SetDlgItemTextA(dialog, ID_ANGLE, text);
    }
    if (count)
        List(dialog, LB_SETCURSEL, 0);
    AngleText(text, o.tolerance);
    SetDlgItemTextA(dialog, ID_TOLERANCE, text);
    SetDlgItemTextA(dialog, ID_LABEL_ANGLE, g_ConvertState.angleLabel);
    SetDlgItemTextA(dialog, ID_LABEL_TOLERANCE, g_ConvertState.angleLabel);
    Box01DialogFocusEdit(dialog, ID_TOLERANCE);
}

// The angle of edit 200 as the list shows it; 0 after the validator's message.
int ReadAngleText(HWND dialog, char *out)
{
    char text[TEXT_SIZE];
    GetDlgItemTextA(dialog, ID_ANGLE, text, sizeof text);
    double radians = 0.0;
    if (!AlertCheckInputAngle(dialog, text, &radians, ID_ANGLE))
        return 0;
    AngleText(out, radians);
    return 1;
}

void ListCommand(HWND dialog, int id)
{
    const LRESULT count = List(dialog, LB_GETCOUNT);
    const LRESULT row = List(dialog, LB_GETCURSEL);
    char text[TEXT_SIZE];
    if ((id == ID_ADD || id == ID_INSERT) && (count < 0 || count >= ORTHO_ANGLE_LIMIT)) {
        AlertOk(dialog, eAlertTextOK[MSG_LIST_FULL]);
    } else if (id != ID_ADD && row < 0) {
        Box01DialogFocusEdit(dialog, ID_ANGLE);
        AlertOk(dialog, eAlertTextOK[MSG_NO_ROW]);
    } else if (id == ID_DELETE) {
        List(dialog, LB_DELETESTRING, row);
        List(dialog, LB_SETCURSEL, row > 0 ? row - 1 : 0);
    } else if (ReadAngleText(dialog, text)) {
        const LRESULT at = id == ID_ADD ? List(dialog, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))
                                        : List(dialog, LB_INSERTSTRING, row, reinterpret_cast<LPARAM>(text));
        List(dialog, LB_SETCURSEL, at);
        SetDlgItemTextA(dialog, ID_ANGLE, text);
    } else {
        return; // the validator selected the field
    }
    Box01DialogFocusEdit(dialog, ID_ANGLE);
}

int Validate(HWND dialog)
{
    OrthoLayout &o = Work(dialog);
    const LRESULT count = List(dialog, LB_GETCOUNT);
    if (count < 0 || count > ORTHO_ANGLE_LIMIT) {
        AlertOk(dialog, eAlertTextOK[MSG_TOO_MANY]);
        return 0;
    }
    char text[TEXT_SIZE];
    for (int i = 0; i < count; ++i) {
        if (List(dialog, LB_GETTEXTLEN, i) >= TEXT_SIZE)
            return 0;
        List(dialog, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        if (!AlertCheckInputAngle(dialog, text, &o.angles[i], 0))
            return 0;
    }
    GetDlgItemTextA(dialog, ID_TOLERANCE, text, sizeof text);
    if (!AlertCheckInputAngle(dialog, text, &o.tolerance, ID_TOLERANCE))
        return 0;
    o.count = static_cast<int32_t>(count);
    return 1;
}

INT_PTR CALLBACK OrthoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        Init(dialog, lParam);
        return FALSE;
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id >= ID_MODE_FIRST && id <= ID_MODE_LAST) {
            SetMode(dialog, id - ID_MODE_FIRST);
        } else if (id == ID_ANGLE && code == EN_SETFOCUS) {
            SetMode(dialog, 0);
        } else if (id == ID_LIST && code == LBN_SELCHANGE) {
            char text[TEXT_SIZE];
            const LRESULT row = List(dialog, LB_GETCURSEL);
            if (row >= 0 && List(dialog, LB_GETTEXTLEN, row) < TEXT_SIZE) {
                List(dialog, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
                SetDlgItemTextA(dialog, ID_ANGLE, text);
            }
            Box01DialogFocusEdit(dialog, ID_ANGLE);
            SetMode(dialog, 0);
        } else if (id >= ID_ADD && id <= ID_DELETE) {
            ListCommand(dialog, id);
        } else if (id == IDOK) {
            if (Validate(dialog))
                Box01DialogEnd(dialog, DIALOG_OK);
        } else {
            return Box01DialogDefault(dialog, message, wParam, lParam, BOX03_ORTHO_HELP);
        }
        return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, BOX03_ORTHO_HELP);
}

} // namespace

int Box03EditOrthoLayout(HWND owner, const char *caption, OrthoLayout *layout)
{
    OrthoDialog d = {};
    std::snprintf(d.caption, sizeof d.caption, "%s", caption ? caption : "");
    d.layout = *layout;
    if (!Box01DialogEdit(owner, TEMPLATE_NAME, OrthoProc, d))
        return 0;
    *layout = d.layout;
    return 1;
}

// The measured-value box of the measure commands: a point, the distance and
// direction between two points, or the angle between two directions, in the
// units and coordinate system of the active drawing window. Read only.
#include "dialogs/box02.h"

#include <cmath>
#include <cstdio>

#include "app/convert.h"
#include "app/window.h"
#include "dialogs/box01.h"
#include "geometry/calc.h"
#include "language/language.h"
#include "plugin/zvi.h"

namespace {

constexpr int FIELD_FIRST = 200, LABEL_FIRST = 350, UNIT_FIRST = 650;
constexpr int ROWS = 4;
constexpr int TEXT_SIZE = 256;
constexpr int NUMBER_WIDTH = 63;
constexpr int UNI_X = 86, UNI_Y = 87, UNI_DX = 88, UNI_DY = 89, UNI_DISTANCE = 90, UNI_ANGLE = 91;
constexpr int MODE_POINT = 0, MODE_TWO = 1, MODE_TWO_ALT = 2, MODE_ANGLE = 3;
constexpr int HELP_BY_MODE[] = {836, 837, 842, 843};
constexpr double TWO_PI = 6.28318530717958647692;

struct Row {
    int label;   // eUniTexts entry
    double value;
    bool angle;
};

struct ShowRecord {
    DialogHeader header;
    int mode;
    Row rows[ROWS];
    int count;
    char caption[TEXT_SIZE];
};

CalcPoint InSystem(CalcPoint p)
{
    return {ConvertWorldToSystemX(g_ActiveWindow, p.x, p.y), ConvertWorldToSystemY(g_ActiveWindow, p.x, p.y)};
}

void ShowRow(HWND dialog, int k, const Row &row)
{
    char text[TEXT_SIZE], unit[TEXT_SIZE] = "";
    if (row.angle) {
        ZVI_ConvertAngleString(text, row.value, unit);
    } else {
        ConvertDoubleToString(text, row.value, NUMBER_WIDTH, static_cast<int>(g_ConvertState.decimals));
        std::snprintf(unit, sizeof unit, "%s", g_ConvertState.lengthLabel);
    }
    SetDlgItemTextA(dialog, LABEL_FIRST + k, eUniTexts[row.label]);
    SetDlgItemTextA(dialog, FIELD_FIRST + k, text);
    SetDlgItemTextA(dialog, UNIT_FIRST + k, unit);
}

INT_PTR CALLBACK ShowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<ShowRecord *>(Box01DialogInit(dialog, lParam));
        if (!r)
            return TRUE;
        SetWindowTextA(dialog, r->caption);
        for (int k = 0; k < ROWS; ++k) {
            if (k < r->count) {
                ShowRow(dialog, k, r->rows[k]);
                continue;
            }
            EnableWindow(GetDlgItem(dialog, FIELD_FIRST + k), FALSE);
            Box01DialogShowItem(dialog, LABEL_FIRST + k, 0);
            Box01DialogShowItem(dialog, UNIT_FIRST + k, 0);
        }
        Box01DialogFocusEdit(dialog, FIELD_FIRST);
        return FALSE;
    }
    auto *r = Box01DialogRecordOf<ShowRecord>(dialog);
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        Box01DialogEnd(dialog, DIALOG_OK);
        return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, r ? HELP_BY_MODE[r->mode] : HELP_CONTEXT_NONE);
}

int Show(HWND owner, const char *caption, int mode, const Row *rows, int count)
{
    ShowRecord r{};
    r.mode = mode;
    r.count = count;
    for (int k = 0; k < count; ++k)
        r.rows[k] = rows[k];
    std::snprintf(r.caption, sizeof r.caption, "%s", caption ? caption : "");
    return Box01DialogRun(owner, "SHOWVALUE", ShowProc, &r.header) == -1 ? 0 : 1;
}

double Direction(CalcPoint from, CalcPoint to) { return CalcAngleOfVector(to.x - from.x, to.y - from.y); }

} // namespace

double Box02MeasuredAngle(CalcPoint p1, CalcPoint p2, CalcPoint p3, uint32_t direction)
{
    const double a1 = Direction(p1, p2), a2 = Direction(p1, p3);
    double a = direction ? a2 - a1 : a1 - a2;
    if (a < 0.0)
        a += TWO_PI;
    return a;
}

int Box02ShowValuePoint(HWND owner, const char *caption, CalcPoint p)
{
    const CalcPoint s = InSystem(p);
    const Row rows[] = {{UNI_X, s.x, false},
                        {UNI_Y, s.y, false},
                        {UNI_DISTANCE, std::hypot(s.x, s.y), false},
                        {UNI_ANGLE, CalcAngleOfVector(s.x, s.y), true}};
    return Show(owner, caption, MODE_POINT, rows, ROWS);
}

int Box02ShowValueTwoPoints(HWND owner, const char *caption, CalcPoint p1, CalcPoint p2)
{
    const CalcPoint a = InSystem(p1), b = InSystem(p2);
    const Row rows[] = {{UNI_DX, b.x - a.x, false},
                        {UNI_DY, b.y - a.y, false},
                        {UNI_DISTANCE, std::hypot(b.x - a.x, b.y - a.y), false},
                        {UNI_ANGLE, Direction(a, b), true}};
    return Show(owner, caption, MODE_TWO, rows, ROWS);
}

int Box02ShowValueTwoPointsAlt(HWND owner, const char *caption, CalcPoint p1, CalcPoint p2)
{
    const CalcPoint a = InSystem(p1), b = InSystem(p2);
    const Row rows[] = {{UNI_DISTANCE, std::hypot(b.x - a.x, b.y - a.y), false},
                        {UNI_ANGLE, Direction(a, b), true},
                        {UNI_DX, b.x - a.x, false},
                        {UNI_DY, b.y - a.y, false}};
    return Show(owner, caption, MODE_TWO_ALT, rows, ROWS);
}

int Box02ShowValueThreePoints(HWND owner, const char *caption, CalcPoint p1, CalcPoint p2, CalcPoint p3,
                              uint32_t direction)
{
    const Row row{UNI_ANGLE, Box02MeasuredAngle(InSystem(p1), InSystem(p2), InSystem(p3), direction), true};
    return Show(owner, caption, MODE_ANGLE, &row, 1);
}

// The coordinate calculator (template EDITTERM).
//
// The editor is one edit field laid exactly over the status-bar field being
// typed; Enter, Tab, Shift+Tab and clicks on other status fields close it
// with a code, and the loop in Box08EditTerm reopens it on the right field.
// The evaluator stays busy for the whole run, so its references (the last
// point, the segment, the selection frame) are valid only here.
#include "dialogs/box08_editterm.h"

#include <cmath>
#include <cstdio>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init.h"
#include "app/window.h"
#include "app/write_refresh.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box08_term.h"
#include "geometry/calc.h"
#include "language/language.h"

HWND g_CoordEntryWnd = nullptr;

namespace {

constexpr char SOURCE_NAME[] = "box08_editterm.cpp";
constexpr char TEMPLATE_NAME[] = "EDITTERM";
constexpr int ID_TERM = 200;
constexpr int HELP_COORD_ENTRY = 1008;
// Codes the editor ends with besides OK and Cancel.
constexpr uint32_t RESULT_NEXT = 23, RESULT_PREVIOUS = 24, RESULT_CLICKED = 25;
constexpr int MSG_OUT_OF_SYSTEM = 29;
constexpr int DEBUG_NUMBER_WIDTH = 63;
constexpr int DEBUG_NUMBER_DIGITS = 6;
// What an absent length field counts as when the reference kind allows it.
constexpr double ABSENT_LENGTH = 128.0;

// References of the evaluator (index = name - TERM_FIRST_REFERENCE): x, y,
// l, r, w, a, then the frame under two names each.
enum Reference {
    REF_X, REF_Y, REF_L, REF_R, REF_W, REF_A,
    REF_FL, REF_FR, REF_FT, REF_FB, REF_RL, REF_RR, REF_RO, REF_RU,
};
constexpr uint32_t NAMES_POINT = 1u << REF_X | 1u << REF_Y;
constexpr uint32_t NAMES_LENGTH = 1u << REF_L | 1u << REF_R;
constexpr uint32_t NAMES_ANGLE = 1u << REF_W | 1u << REF_A;
constexpr uint32_t NAMES_FRAME = 0xFFu << REF_FL;
// Which absent fields of the pair take a reference instead of 0.
constexpr uint32_t ABSENT_ANGLE_TAKES_REFERENCE = 4;
constexpr uint32_t ABSENT_LENGTH_COUNTS = 8;

struct EditTermDialog {
    DialogHeader header;
    uint32_t stepping; // Tab may still move to another field
    CoordEntryRecord *record;
};

// The running calculator.
struct Calculator {
    CoordEntryRecord *record;
    uint32_t absentMask;
    double lengthDivisor, angleDivisor;
};
Calculator s_Calc = {};

uint32_t NamesOfMode(int mode)
{
    uint32_t names = NAMES_POINT | NAMES_FRAME;
    if (mode >= 2 && mode <= 4)
        names |= NAMES_LENGTH;
    if (mode == 2 || mode == 5)
        names |= NAMES_ANGLE;
    return names;
}

uint32_t AbsentMaskOfMode(int mode)
{
    switch (mode) {
    case 3:
    case 4: return 3 | ABSENT_ANGLE_TAKES_REFERENCE;
    case 5: return 3 | ABSENT_LENGTH_COUNTS;
    default: return 3;
    }
}

// Sets the evaluator's references from the record, in the current system.
void SetReferences(const CoordEntryRecord &r)
{
    double x1 = r.frame[0], y1 = r.frame[1], x2 = r.frame[2], y2 = r.frame[3];
    double p1x = r.point1[0], p1y = r.point1[1], p2x = r.point2[0], p2y = r.point2[1];
    Box01ConvertPointToSystem(&x1, &y1);
    Box01ConvertPointToSystem(&x2, &y2);
    Box01ConvertPointToSystem(&p1x, &p1y);
    Box01ConvertPointToSystem(&p2x, &p2y);
    TermState &s = g_TermState;
    double *ref = s.references;
    for (int i = 0; i < TERM_REFERENCE_COUNT; ++i)
        ref[i] = 0.0;
    const int mode = r.mode;
    if (mode >= 1 && mode <= 6) {
        ref[REF_X] = p1x;
        ref[REF_Y] = p1y;
    }
    if (mode >= 2 && mode <= 5) {
        ref[REF_L] = ref[REF_R] = std::hypot(p2x - p1x, p2y - p1y);
        ref[REF_W] = ref[REF_A] = CalcAngleOfVector(p2x - p1x, p2y - p1y) / s_Calc.angleDivisor;
    }
    ref[REF_FL] = ref[REF_RL] = x1;
    ref[REF_FB] = ref[REF_RU] = y1;
    ref[REF_FR] = ref[REF_RR] = x2;
    ref[REF_FT] = ref[REF_RO] = y2;
    s.referenceMask = NamesOfMode(mode);
    s.referencesOn = 1;
    s_Calc.absentMask = AbsentMaskOfMode(mode);
}

// The value of an absent field: 0, or what the reference kind gives.
double AbsentValue(int field)
{
    if (field == COORD_LENGTH && (s_Calc.absentMask & ABSENT_LENGTH_COUNTS))
        return ABSENT_LENGTH;
    if (field == COORD_ANGLE && (s_Calc.absentMask & ABSENT_ANGLE_TAKES_REFERENCE))
        return g_TermState.references[REF_A];
    return 0.0;
}

void ShowDebugValues(const double value[2])
{
    if (!(g_Debugging & DEBUG_DIALOG))
        return;
    char n[6][DEBUG_NUMBER_WIDTH + 2];
    const double *ref = g_TermState.references;
    const double shown[6] = {value[0], value[1], ref[REF_X], ref[REF_Y], ref[REF_L], ref[REF_A]};
    for (int i = 0; i < 6; ++i)
        ConvertDoubleToString(n[i], shown[i], DEBUG_NUMBER_WIDTH, DEBUG_NUMBER_DIGITS);
    char text[512];
    std::snprintf(text, sizeof text,
                  "Result1=%s\nResult2=%s\n\ngTermXRef=%s\ngTermYRef=%s\ngTermLRef=%s\ngTermARef=%s", n[0], n[1],
                  n[2], n[3], n[4], n[5]);
    InitErrorBoxDialog(SOURCE_NAME, __LINE__, text);
}

void MarkCurrentPair(CoordEntryRecord &r)
{
    for (int k = 0; k < COORD_FIELD_COUNT; ++k)
        r.slots[k].marked = (uint32_t)k / 2 == r.currentField / 2;
    WriteRefreshStatusTexts();
}

// The next (step 1) or previous (step -1) present field, wrapping.
void StepField(CoordEntryRecord &r, int step)
{
    for (int i = 1; i <= COORD_FIELD_COUNT; ++i) {
        const int k = ((int)r.currentField + step * i + 2 * COORD_FIELD_COUNT) % COORD_FIELD_COUNT;
        if (r.slots[k].present) {
            r.currentField = (uint32_t)k;
            return;
        }
    }
}

void EndCalculator()
{
    Box08TermEnd();
    s_Calc = {};
}

// Lays the editor over the current field's box in the status bar.
void PlaceOverField(HWND dialog, const CoordEntrySlot &slot)
{
    POINT at = {slot.box.left, slot.box.top};
    if (hGlobalStatus)
        ClientToScreen(hGlobalStatus, &at);
    const int width = slot.box.right - slot.box.left, height = slot.box.bottom - slot.box.top;
    MoveWindow(dialog, at.x, at.y, width + 1, height + 1, FALSE);
    HWND edit = GetDlgItem(dialog, ID_TERM);
    MoveWindow(edit, 0, 0, width - 1, height - 1, FALSE);
    if (hGlobalStatus)
        if (HFONT font = reinterpret_cast<HFONT>(SendMessageA(hGlobalStatus, WM_GETFONT, 0, 0)))
            SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void ReadTerm(HWND dialog, CoordEntrySlot &slot)
{
    GetDlgItemTextA(dialog, ID_TERM, slot.term, TERM_MAX_LENGTH + 1);
}

} // namespace

INT_PTR CALLBACK Box08EditTermProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *d = reinterpret_cast<EditTermDialog *>(Box01DialogInit(dialog, lParam));
        g_CoordEntryWnd = dialog;
        const CoordEntrySlot &slot = d->record->slots[d->record->currentField];
        PlaceOverField(dialog, slot);
        SetDlgItemTextA(dialog, ID_TERM, slot.term);
        SendDlgItemMessageA(dialog, ID_TERM, EM_SETSEL, 0, -1);
        SetFocus(GetDlgItem(dialog, ID_TERM));
        d->stepping = 1;
        return FALSE;
    }
    auto *d = Box01DialogRecordOf<EditTermDialog>(dialog);
    if (!d)
        return FALSE;
    CoordEntryRecord &r = *d->record;
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        if (id == IDOK || id == (int)RESULT_NEXT || id == (int)RESULT_PREVIOUS) {
            ReadTerm(dialog, r.slots[r.currentField]);
            if (GetKeyState(VK_CONTROL) < 0)
                r.alternate = !r.alternate;
            if (id != IDOK)
                d->stepping = 0;
            Box01DialogEnd(dialog, (uint32_t)id);
            return TRUE;
        }
    } else if (message == WM_NEXTDLGCTL && LOWORD(lParam) == 0) {
        // Tab and Shift+Tab: the dialog manager asks for the next control.
        if (d->stepping)
            PostMessageA(dialog, WM_COMMAND, wParam ? RESULT_PREVIOUS : RESULT_NEXT, 0);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
    } else if (g_MsgClick && message == g_MsgClick) {
        ReadTerm(dialog, r.slots[r.currentField]);
        if (wParam < COORD_FIELD_COUNT)
            r.currentField = (uint32_t)wParam;
        Box01DialogEnd(dialog, RESULT_CLICKED);
        return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_COORD_ENTRY);
}

int Box08EditTermCheck(HWND owner)
{
    CoordEntryRecord &r = *s_Calc.record;
    const int first = (int)(r.currentField & ~1u);
    g_TermState.owner = owner;
    double value[2];
    for (int i = 0; i < 2; ++i) {
        const int k = first + i;
        if (!r.slots[k].present) {
            value[i] = AbsentValue(k);
            continue;
        }
        value[i] = Box08TermEvaluate(r.slots[k].term);
        if (value[i] == CALC_NO_VALUE) {
            r.currentField = (uint32_t)k;
            return 0;
        }
    }
    ShowDebugValues(value);
    const double *ref = g_TermState.references;
    double x = value[0], y = value[1];
    if (first == COORD_DX) {
        x = ref[REF_X] + value[0];
        y = ref[REF_Y] + value[1];
    } else if (first == COORD_LENGTH) {
        double angle = value[1];
        if (!AlertScaleAngle(owner, &angle, s_Calc.angleDivisor)) {
            if (r.slots[COORD_ANGLE].present) {
                r.currentField = COORD_ANGLE;
                return 0;
            }
            angle = 0.0;
        }
        x = ref[REF_X] + value[0] * std::cos(angle);
        y = ref[REF_Y] + value[0] * std::sin(angle);
    }
    r.result[0] = x;
    r.result[1] = y;
    return 1;
}

int Box08EditTerm(HWND owner, CoordEntryRecord *record)
{
    const DrawWindow &w = *g_ConvertState.window;
    if (!Box08TermBegin(owner, w.lengthFactor, w.angleFactor))
        return 0;
    s_Calc.record = record;
    s_Calc.lengthDivisor = w.lengthFactor;
    s_Calc.angleDivisor = w.angleFactor;
    if (record->currentField >= COORD_FIELD_COUNT)
        record->currentField = COORD_X;
    SetReferences(*record);

    for (;;) {
        MarkCurrentPair(*record);
        EditTermDialog d = {};
        d.record = record;
        const INT_PTR run = Box01DialogRun(owner, TEMPLATE_NAME, Box08EditTermProc, &d.header);
        g_CoordEntryWnd = nullptr;
        const uint32_t result = run == -1 ? DIALOG_CANCELLED : d.header.result;
        if (result == DIALOG_OK) {
            if (!Box08EditTermCheck(owner))
                continue;
            EndCalculator();
            const double x = record->result[0], y = record->result[1];
            record->result[0] = ConvertSystemToWorldX(g_ActiveWindow, x, y);
            record->result[1] = ConvertSystemToWorldY(g_ActiveWindow, x, y);
            if (record->result[0] == CALC_NO_VALUE || record->result[1] == CALC_NO_VALUE) {
                AlertOk(owner, eAlertTextOK[MSG_OUT_OF_SYSTEM]);
                return 0;
            }
            return 1;
        }
        if (result == RESULT_NEXT)
            StepField(*record, 1);
        else if (result == RESULT_PREVIOUS)
            StepField(*record, -1);
        else if (result != RESULT_CLICKED)
            break;
    }
    EndCalculator();
    return 0;
}

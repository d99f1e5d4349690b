// SNAPEDIT and SNAPTOGGLE.
#include "dialogs/box03_snap.h"

#include <cmath>
#include <cstring>

#include "app/convert.h"
#include "app/system.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "language/language.h"

namespace {

constexpr int HELP_SNAP_VALUES = 1026;
constexpr int HELP_SNAP_MODES = 1025;
constexpr int ID_RADIUS = 200, ID_TOLERANCE = 201, ID_FLAG = 202;
constexpr int ID_CHECK_FIRST = 250; // SNAPEDIT: 250 to 252; SNAPTOGGLE: 250 to 258
constexpr int SNAP_EDIT_SWITCH_FIRST = 1; // single-mode switching, ortho and grid while snapping
constexpr int SNAP_EDIT_SWITCHES = 3;
constexpr int SNAP_MODE_BITS_SHOWN = 9;
constexpr int RADIUS_MIN = 5, RADIUS_MAX = 50, TOLERANCE_MIN = 0, TOLERANCE_MAX = 10;
constexpr int FLAG_STEPS_MAX = 100;   // tenths of a second
constexpr int FLAG_STEP_MS = 100;
constexpr int MSG_RADIUS = 134, MSG_TOLERANCE = 135, MSG_FLAG = 136;
constexpr uint32_t SINGLE_BITS = 0x107; // modes that stand alone: 1, 2, 4 and 256
constexpr uint32_t GROUP_BITS = 0xF8;
constexpr int CAPTION_SIZE = 256;

struct SnapRecord {
    DialogHeader header;
    char caption[CAPTION_SIZE];
    LocalSnap snap;
};

LocalSnap &Work(HWND dialog) { return Box01DialogRecordOf<SnapRecord>(dialog)->snap; }

void Init(HWND dialog, LPARAM lParam)
{
    auto *r = reinterpret_cast<SnapRecord *>(Box01DialogInit(dialog, lParam));
    SetWindowTextA(dialog, r->caption);
}

int ReadField(HWND dialog, int id, int lo, int hi, int rangeMessage, int *out)
{
    return AlertCheckInputIntField(dialog, id, lo, hi, eAlertTextOK[rangeMessage], out);
}

INT_PTR CALLBACK EditProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        Init(dialog, lParam);
        const LocalSnap &s = Work(dialog);
        SetDlgItemInt(dialog, ID_RADIUS, static_cast<UINT>(s.pickAperture), TRUE);
        SetDlgItemInt(dialog, ID_TOLERANCE, static_cast<UINT>(s.ambiguityAperture), TRUE);
        SetDlgItemInt(dialog, ID_FLAG, static_cast<UINT>(std::lround(s.flagDuration / double(FLAG_STEP_MS))), TRUE);
        for (int i = 0; i < SNAP_EDIT_SWITCHES; ++i)
            Box01DialogCheck(dialog, ID_CHECK_FIRST + i, s.switches[SNAP_EDIT_SWITCH_FIRST + i]);
        Box01DialogFocusEdit(dialog, ID_RADIUS);
        return 0;
    }
    if (message == WM_COMMAND && Box01DialogRecord(dialog)) {
        const int id = LOWORD(wParam);
        LocalSnap &s = Work(dialog);
        if (id >= ID_CHECK_FIRST && id < ID_CHECK_FIRST + SNAP_EDIT_SWITCHES) {
            uint32_t &sw = s.switches[SNAP_EDIT_SWITCH_FIRST + id - ID_CHECK_FIRST];
            sw = !sw;
            Box01DialogCheck(dialog, id, sw);
            return 1;
        }
        if (id == IDOK) {
            int radius, tolerance, flag;
            if (!ReadField(dialog, ID_RADIUS, RADIUS_MIN, RADIUS_MAX, MSG_RADIUS, &radius) ||
                !ReadField(dialog, ID_TOLERANCE, TOLERANCE_MIN, TOLERANCE_MAX, MSG_TOLERANCE, &tolerance) ||
                !ReadField(dialog, ID_FLAG, 0, FLAG_STEPS_MAX, MSG_FLAG, &flag))
                return 1;
            s.pickAperture = radius;
            s.ambiguityAperture = tolerance;
            s.flagDuration = flag * FLAG_STEP_MS;
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_SNAP_VALUES);
}

void ShowModes(HWND dialog)
{
    const uint32_t modes = static_cast<uint32_t>(Work(dialog).snapModes);
    for (int k = 0; k < SNAP_MODE_BITS_SHOWN; ++k)
        Box01DialogCheck(dialog, ID_CHECK_FIRST + k, (modes >> k) & 1u);
}

INT_PTR CALLBACK ToggleProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        Init(dialog, lParam);
        ShowModes(dialog);
        SetFocus(GetDlgItem(dialog, IDOK));
        return 0;
    }
    if (message == WM_COMMAND && Box01DialogRecord(dialog)) {
        const int id = LOWORD(wParam);
        if (id >= ID_CHECK_FIRST && id < ID_CHECK_FIRST + SNAP_MODE_BITS_SHOWN) {
            Box03SnapTogglePress(&Work(dialog), id - ID_CHECK_FIRST);
            ShowModes(dialog);
            return 1;
        }
        if (id == IDOK) {
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_SNAP_MODES);
}

int Run(HWND owner, const char *templateName, DLGPROC procedure, const char *caption, LocalSnap *snap)
{
    SnapRecord record{};
    lstrcpynA(record.caption, caption ? caption : "", CAPTION_SIZE);
    record.snap = *snap;
    if (Box01DialogEdit(owner, templateName, procedure, record) != DIALOG_OK)
        return 0;
    *snap = record.snap;
    return 1;
}

} // namespace

void Box03SnapTogglePress(LocalSnap *snap, int k)
{
    uint32_t modes = static_cast<uint32_t>(snap->snapModes);
    const uint32_t bit = 1u << k;
    if (!snap->switches[SNAP_EDIT_SWITCH_FIRST]) {
        modes ^= bit;
    } else if (bit & SINGLE_BITS) {
        if (modes & GROUP_BITS)
            snap->reserved1 = static_cast<int32_t>(modes & GROUP_BITS);
        modes = bit;
    } else if (!(modes & GROUP_BITS)) {
        const uint32_t group = static_cast<uint32_t>(snap->reserved1);
        modes = (group & bit) ? group : bit;
    } else {
        modes ^= bit;
    }
    snap->snapModes = static_cast<int32_t>(modes);
}

int Box03EditSnapValues(HWND owner, const char *caption, LocalSnap *snap)
{
    return Run(owner, "SNAPEDIT", EditProc, caption, snap);
}

int Box03ToggleSnapModes(HWND owner, const char *caption, LocalSnap *snap)
{
    return Run(owner, "SNAPTOGGLE", ToggleProc, caption, snap);
}

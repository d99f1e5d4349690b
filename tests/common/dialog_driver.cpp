#include "common/dialog_driver.h"

#include <cstring>

namespace {

constexpr UINT DRIVER_TICK_MS = 30;
constexpr int DRIVER_GRACE_TICKS = 100; // ticks a dialog may stay open after the last step

} // namespace

struct DialogDriver::State {
    std::vector<DialogStep> steps;
    size_t next = 0;
    int idleTicks = 0;
    int stuck = 0;
    UINT_PTR timer = 0;
};

namespace {

DialogDriver::State *g_Driver = nullptr;

BOOL CALLBACK FindTopDialog(HWND window, LPARAM found)
{
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (strcmp(cls, "#32770") != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window))
        return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE; // enumeration runs from the top of the z-order
}

void CALLBACK DriverTick(HWND, UINT, UINT_PTR, DWORD)
{
    DialogDriver::State *driver = g_Driver;
    if (!driver)
        return;
    HWND dialog = TestTopDialog();
    if (!dialog)
        return;
    if (driver->next < driver->steps.size()) {
        // Take the step out first: it may open a nested box whose loop ticks again.
        DialogStep step = driver->steps[driver->next++];
        step(dialog);
        return;
    }
    if (++driver->idleTicks >= DRIVER_GRACE_TICKS) {
        ++driver->stuck;
        driver->idleTicks = 0;
        EndDialog(dialog, 0);
    }
}

} // namespace

DialogDriver::DialogDriver(std::vector<DialogStep> steps) : state_(new State), outer_(g_Driver)
{
    state_->steps = std::move(steps);
    state_->timer = SetTimer(nullptr, 0, DRIVER_TICK_MS, DriverTick);
    g_Driver = state_;
}

DialogDriver::~DialogDriver()
{
    KillTimer(nullptr, state_->timer);
    if (g_Driver == state_)
        g_Driver = outer_;
    delete state_;
}

int DialogDriver::stepsDone() const
{
    return static_cast<int>(state_->next);
}

int DialogDriver::stuckDialogs() const
{
    return state_->stuck;
}

HWND TestTopDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindTopDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

void TestPressKey(HWND dialog, WORD key)
{
    HWND focus = GetFocus();
    HWND target = focus && (focus == dialog || IsChild(dialog, focus)) ? focus : dialog;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

void TestClickButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string TestItemText(HWND dialog, int id)
{
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool TestIsDefaultButton(HWND dialog, int id)
{
    const LONG style = GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE);
    return (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

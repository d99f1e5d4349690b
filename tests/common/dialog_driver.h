// Drives the modal dialogs and message boxes of the test's own thread, so
// that a test can open them for real without blocking: a thread timer fires
// inside the dialog's modal loop and hands the topmost enabled dialog to the
// next scripted step.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// One scripted step: receives the topmost enabled dialog of the thread. A
// step that closes the dialog should post its input (PostMessageA, or the
// helpers below) so that the dialog's own loop handles it.
using DialogStep = std::function<void(HWND dialog)>;

// While alive (the newest one, when several are), runs `steps` one per timer tick, each on the dialog that is
// on top at that tick. When the steps are used up and a dialog is still
// open after a while, ends it (EndDialog 0) and counts it as stuck, so a
// broken test fails instead of hanging.
class DialogDriver {
public:
    explicit DialogDriver(std::vector<DialogStep> steps);
    ~DialogDriver();
    DialogDriver(const DialogDriver &) = delete;
    DialogDriver &operator=(const DialogDriver &) = delete;

    int stepsDone() const;
    int stuckDialogs() const;

    struct State;

private:
    State *state_;
    State *outer_; // the driver that was active before this one
};

// The topmost enabled visible dialog of the calling thread, or null.
HWND TestTopDialog();

// Posts a key press (down and up) to the dialog's focused control.
void TestPressKey(HWND dialog, WORD key);

// Posts a click of the button `id` as the dialog manager would send it.
void TestClickButton(HWND dialog, int id);

// The text of a control.
std::string TestItemText(HWND dialog, int id);

// Whether a button has the default push-button style.
bool TestIsDefaultButton(HWND dialog, int id);

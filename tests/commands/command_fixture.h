// The commands' test fixture: fresh command states, a stand-in main window
// that records the commands posted to it, and recorders in place of the
// handlers of the ranges a test names.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <utility>
#include <vector>

#include "commands/command_tables.h"

struct HandlerCall {
    int command;
    int pointIndex; // of the state the handler ran on
    double x0, y0;  // its construction point 0
};

// What Posted() lists for a close request (WM_CLOSE) posted to the main window.
constexpr int POSTED_CLOSE = -1;

class CommandTest : public testing::Test {
public:
    // The calls the recorders received.
    static std::vector<HandlerCall> &Calls();

protected:
    void SetUp() override;
    void TearDown() override;

    // The handler of the range that holds `number` records its calls.
    void Record(int number);
    // The commands (and close requests) posted to the main window since the last call.
    std::vector<int> Posted();
    // Fresh object lists and scratch memory; FreeStorage gives them back.
    static void PrepareStorage();
    static void FreeStorage();
    // PrepareStorage, then a new drawing with its default settings and an
    // empty undo history of the default length.
    static void PrepareDrawing();

    HWND main_ = nullptr;
    std::vector<std::pair<CommandRange *, MenuHandler>> replaced_;
};

struct DrawWindow;

// A real drawing window 0 of 400 x 300 pixels (no rulers, scroll bars or
// corner buttons) on a screen of 4 pixels per millimetre, over an empty
// drawing, the view centred on the zero point at zoom 1.
class DrawingWindowTest : public CommandTest {
protected:
    static constexpr int AREA_W = 400;
    static constexpr int AREA_H = 300;

    void SetUp() override;
    void TearDown() override;

    DrawWindow &W();
    // The client pixel of a drawing point.
    POINT Pixel(double x, double y);
    void Send(UINT message, int x, int y, WPARAM wParam = 0);
    // Moves to the point and clicks the left button there.
    void ClickAt(double x, double y);
    static POINT Centre(const RECT &r);

    HWND hwnd_ = nullptr;
};

// A drawing window whose dialogs come from the language module's templates,
// in the first window's units, over an empty undo history.
class DialogDrawingWindowTest : public DrawingWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    HMODULE savedModule_ = nullptr;
    DrawWindow *savedWindow_ = nullptr;
};

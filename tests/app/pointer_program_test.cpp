// The running program: the pointer selects a polyline with a click, a click
// inside its frame and one further up drag it there, and the drawing window
// shows it at its new place; a double click on an object opens its property
// sheet, on a text its text editor.
#include <gtest/gtest.h>
#include <windows.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "app/system.h"
#include "common/test_files.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "display/symbol.h"
#include "geometry/matrix.h"
#include "program_run.h"

namespace {

constexpr int POINTER_COMMAND = 403;
constexpr double MOVE_Y = 40.0;
constexpr int ALERT_BUTTON_NO = 552; // the second button of the save question
constexpr char TEXT_CONTENT[] = "HOLE 2x R10";

LPARAM At(LONG x, LONG y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

void Click(HWND draw, POINT p)
{
    SendMessageA(draw, WM_MOUSEMOVE, 0, At(p.x, p.y));
    SendMessageA(draw, WM_LBUTTONDOWN, MK_LBUTTON, At(p.x, p.y));
    SendMessageA(draw, WM_LBUTTONUP, 0, At(p.x, p.y));
}

// Black at every visible point of `on`, at none of `off`, within the timeout.
bool WaitShown(HWND draw, const FittedPage &page, const std::vector<POINT> &on, const std::vector<POINT> &off)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < START_TIMEOUT_MS) {
        HDC dc = GetDC(nullptr);
        int black = 0, total = 0, stray = 0;
        for (POINT p : on) {
            if (!ClientPointVisible(draw, p.x, p.y))
                continue;
            black += ScreenBlackNear(draw, dc, p.x, p.y);
            ++total;
        }
        for (POINT p : off)
            stray += ClientPointVisible(draw, p.x, p.y) && ScreenBlackNear(draw, dc, p.x, p.y);
        ReleaseDC(nullptr, dc);
        if (total > 0 && black == total && stray == 0)
            return true;
        Sleep(100);
    }
    (void)page;
    return false;
}

struct Finder {
    DWORD pid;
    std::string found;
};
BOOL CALLBACK FindVisible(HWND w, LPARAM l)
{
    auto *f = reinterpret_cast<Finder *>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[64] = "", text[128] = "";
    GetClassNameA(w, cls, 64);
    GetWindowTextA(w, text, 128);
    if (pid == f->pid && IsWindowVisible(w))
        f->found += std::string(cls) + ":" + text + "; ";
    return TRUE;
}
std::string VisibleWindows(DWORD pid)
{
    Finder f{pid, ""};
    EnumWindows(FindVisible, LPARAM(&f));
    return f.found;
}

// The program started on a drawing of an open polyline along three sides of
// a square (a frame in both axes); its first drawing window, or 0.
HWND StartOnPolyline(Program &run, const TestTempFile &drawing)
{
    StartTestDrawing();
    TestNewObject(LIST_DRAWING, OBJTYPE_CURVE, {-60, -60, 60, -60, 60, 60});
    if (!WriteTestDrawing(drawing.Path()) || !run.Start("\"" + std::string(drawing.Path()) + "\"") ||
        !run.WaitReady())
        return nullptr;
    return FindWindowExA(run.main, nullptr, "DARAD4_DrawWClass1", nullptr);
}

TEST(PointerProgram, AClickSelectsAndADragMovesTheObject)
{
    const TestTempFile drawing("darad4-pointer-fixture.zvd");
    Program run;
    HWND draw = StartOnPolyline(run, drawing);
    ASSERT_NE(draw, nullptr);
    const FittedPage page = FitA3Page(draw);
    auto onBottom = [&](double dy) {
        std::vector<POINT> points;
        for (double x : {-40.0, -10.0, 20.0})
            points.push_back(page.Pixel(x, -60.0 + dy));
        return points;
    };
    ASSERT_TRUE(WaitShown(draw, page, onBottom(0), {})) << "the polyline is drawn; box: " << ProgramBoxText(run);

    SendMessageA(run.main, WM_COMMAND, POINTER_COMMAND, 0);
    Click(draw, page.Pixel(0, -60));        // selects the polyline
    Click(draw, page.Pixel(0, 0));          // picks the inside of its frame
    Click(draw, page.Pixel(0, MOVE_Y));     // drags it up
    Sleep(3000);
    // Escape ends the pair and drops the selection's highlight.
    SendMessageA(run.main, WM_KEYDOWN, VK_ESCAPE, 1);
    SendMessageA(run.main, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    EXPECT_TRUE(WaitShown(draw, page, onBottom(MOVE_Y), onBottom(0)))
        << "the polyline was not shown moved; box: " << ProgramBoxText(run);
    EXPECT_FALSE(run.Exited()) << VisibleWindows(run.process.dwProcessId);
    // The drawing changed: closing asks to save it; No ends the program.
    PostMessageA(run.main, WM_CLOSE, 0, 0);
    HWND box = run.WaitBox();
    ASSERT_NE(box, nullptr) << "the changed drawing is not saved without a question";
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(ALERT_BUTTON_NO, BN_CLICKED), 0);
    EXPECT_EQ(run.WaitExit(), 0);
}

void PressEscape(HWND main)
{
    SendMessageA(main, WM_KEYDOWN, VK_ESCAPE, 1);
    SendMessageA(main, WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

// Presses at `from`, moves in steps to `to` with the button held and
// releases there: a drag as the mouse makes it.
void Drag(HWND draw, POINT from, POINT to)
{
    SendMessageA(draw, WM_MOUSEMOVE, 0, At(from.x, from.y));
    SendMessageA(draw, WM_LBUTTONDOWN, MK_LBUTTON, At(from.x, from.y));
    for (int step = 1; step <= 5; ++step) {
        const LONG x = from.x + (to.x - from.x) * step / 5, y = from.y + (to.y - from.y) * step / 5;
        SendMessageA(draw, WM_MOUSEMOVE, MK_LBUTTON, At(x, y));
    }
    SendMessageA(draw, WM_LBUTTONUP, 0, At(to.x, to.y));
}

TEST(PointerProgram, HandlesDraggedWithTheButtonHeldApplyOnRelease)
{
    const TestTempFile drawing("darad4-handles-fixture.zvd");
    Program run;
    HWND draw = StartOnPolyline(run, drawing);
    ASSERT_NE(draw, nullptr);
    const FittedPage page = FitA3Page(draw);
    auto bottom = [&](double from, double to, double y) {
        std::vector<POINT> points;
        for (int k = 0; k <= 4; ++k)
            points.push_back(page.Pixel(from + (to - from) * k / 4, y));
        return points;
    };
    ASSERT_TRUE(WaitShown(draw, page, bottom(-50, 50, -60), {})) << ProgramBoxText(run);

    SendMessageA(run.main, WM_COMMAND, POINTER_COMMAND, 0);
    Click(draw, page.Pixel(0, -60)); // selects the polyline
    // The stretch handle inside the right edge's middle, dragged 40 mm to the
    // right: the frame stretches about its left edge, from 120 to 160 mm.
    const POINT handle = page.Pixel(60, 0);
    const POINT target = page.Pixel(100, 0);
    Drag(draw, POINT{handle.x - 4, handle.y}, POINT{target.x - 4, target.y});
    PressEscape(run.main); // the highlight goes: the drawing shows in its own colour
    EXPECT_TRUE(WaitShown(draw, page, bottom(-50, 90, -60), {page.Pixel(60, 30)}))
        << "the drag did not stretch the polyline on release; box: " << ProgramBoxText(run);
    // A drag inside the frame moves it on release, without a further click.
    SendMessageA(run.main, WM_COMMAND, POINTER_COMMAND, 0);
    Click(draw, page.Pixel(0, -60));
    Drag(draw, page.Pixel(20, 0), page.Pixel(20, MOVE_Y));
    PressEscape(run.main);
    EXPECT_TRUE(WaitShown(draw, page, bottom(-50, 90, -60 + MOVE_Y), bottom(-50, 90, -60)))
        << "the drag did not move the polyline on release; box: " << ProgramBoxText(run);
    EXPECT_EQ(run.CloseWithoutSaving(), 0);
}

// Posted, so that the presses carry their message times: two presses in
// quick succession at one place are a double click.
void PostDoubleClick(HWND draw, POINT p)
{
    for (int press = 0; press < 2; ++press) {
        PostMessageA(draw, WM_MOUSEMOVE, 0, At(p.x, p.y));
        PostMessageA(draw, WM_LBUTTONDOWN, MK_LBUTTON, At(p.x, p.y));
        PostMessageA(draw, WM_LBUTTONUP, 0, At(p.x, p.y));
    }
}

// What a double click opens, by the object under it: a text its text
// editor (the edit box holds the text), any other object its property sheet.
struct DoubleClickCase {
    const char *object;
    bool text;
};

class PointerDoubleClick : public ::testing::TestWithParam<DoubleClickCase> {};

TEST_P(PointerDoubleClick, OpensWhatFitsTheObject)
{
    StartTestDrawing();
    if (GetParam().text) {
        Matrix at;
        MatrixInit(&at);
        MatrixMove(&at, -10, -62);
        UndoInitProcess();
        ASSERT_EQ(SymbolCreateStdText(&g_DrawingSettings.textStd, TEXT_CONTENT, &at), 1);
        UndoFinishProcess();
    } else {
        TestNewObject(LIST_DRAWING, OBJTYPE_LINE, {-60, -60, 60, -60});
    }
    const TestTempFile drawing("darad4-doubleclick-fixture.zvd");
    ASSERT_TRUE(WriteTestDrawing(drawing.Path()));

    Program run;
    ASSERT_TRUE(run.Start("\"" + std::string(drawing.Path()) + "\""));
    ASSERT_TRUE(run.WaitReady());
    HWND draw = FindWindowExA(run.main, nullptr, "DARAD4_DrawWClass1", nullptr);
    ASSERT_NE(draw, nullptr);
    const FittedPage page = FitA3Page(draw);
    if (!GetParam().text)
        ASSERT_TRUE(WaitShown(draw, page, {page.Pixel(-20, -60), page.Pixel(20, -60)}, {}));
    else
        Sleep(500);

    SendMessageA(run.main, WM_COMMAND, POINTER_COMMAND, 0);
    PostDoubleClick(draw, page.Pixel(0, -60));
    HWND box = run.WaitBox();
    ASSERT_NE(box, nullptr) << "nothing opened after the double click on " << GetParam().object;
    const bool sheet = FindWindowExA(box, nullptr, "SysTabControl32", nullptr) != nullptr;
    if (GetParam().text) {
        EXPECT_FALSE(sheet) << "a property sheet for a text: " << ProgramBoxText(run);
        HWND edit = FindWindowExA(box, nullptr, "Edit", nullptr);
        char shown[64] = "";
        if (edit) // another process's edit control answers only its message
            SendMessageA(edit, WM_GETTEXT, sizeof shown, reinterpret_cast<LPARAM>(shown));
        EXPECT_STREQ(shown, TEXT_CONTENT) << "the text editor does not hold the text";
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    } else {
        EXPECT_TRUE(sheet) << "the box is not a property sheet: " << ProgramBoxText(run);
        PostMessageA(box, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    }
    EXPECT_EQ(run.CloseWithoutSaving(), 0);
}

INSTANTIATE_TEST_SUITE_P(Objects, PointerDoubleClick,
                         ::testing::Values(DoubleClickCase{"a line", false}, DoubleClickCase{"a text", true}),
                         [](const ::testing::TestParamInfo<DoubleClickCase> &info) {
                             return std::string(info.param.text ? "Text" : "Line");
                         });

} // namespace

// The program started with a drawing on its command line shows it: the
// drawing's lines, and the members of its blocks placed by instances, lie at
// the pixels that the first drawing window's matrix gives for the active
// page fitted into the window.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/test_files.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "geometry/matrix.h"
#include "program_run.h"

namespace {

constexpr int MIN_VISIBLE_POINTS = 4; // points on the lines that no tool window hides

struct Point {
    double x, y;
};

// Starts the program on the drawing and waits until every point in `on` that
// the screen shows is black and every point in `off` that it shows is not.
// "" when so, else what was seen.
std::string WaitForPixels(const std::string &path, const std::vector<Point> &on, const std::vector<Point> &off)
{
    Program run;
    if (!run.Start("\"" + path + "\""))
        return "the program did not start";
    std::string detail = "the first drawing window did not show";
    const DWORD start = GetTickCount();
    bool shown = false;
    while (GetTickCount() - start < START_TIMEOUT_MS && !shown) {
        Sleep(100);
        run.main = run.Find("DARAD4_MainWClass");
        HWND draw = run.main ? FindWindowExA(run.main, nullptr, "DARAD4_DrawWClass1", nullptr) : nullptr;
        if (!draw || !IsWindowVisible(draw))
            continue;
        WaitForInputIdle(run.process.hProcess, START_TIMEOUT_MS);
        const FittedPage page = FitA3Page(draw);
        HDC dc = GetDC(nullptr);
        int black = 0, total = 0, stray = 0;
        for (const Point &q : on) {
            const POINT p = page.Pixel(q.x, q.y);
            if (!ClientPointVisible(draw, p.x, p.y))
                continue;
            black += ScreenBlackNear(draw, dc, p.x, p.y);
            ++total;
        }
        for (const Point &q : off) {
            const POINT p = page.Pixel(q.x, q.y);
            stray += ClientPointVisible(draw, p.x, p.y) && ScreenBlackNear(draw, dc, p.x, p.y);
        }
        ReleaseDC(nullptr, dc);
        shown = total >= MIN_VISIBLE_POINTS && black == total && stray == 0;
        const RECT &a = page.area;
        detail = "area " + std::to_string(a.left) + "," + std::to_string(a.top) + "," + std::to_string(a.right) + "," +
                 std::to_string(a.bottom) + " scale " + std::to_string(page.scale) + " black " +
                 std::to_string(black) + "/" + std::to_string(total) + " stray " + std::to_string(stray) +
                 "; box: " + ProgramBoxText(run);
    }
    run.Close();
    return shown ? "" : detail;
}

TEST(WindowProgram, ShowsTheDrawingNamedOnTheCommandLine)
{
    // A fresh drawing (A3 landscape page centred on the zero point) with two lines.
    StartTestDrawing();
    TestNewLine(-150.0, -100.0, 150.0, -100.0);
    TestNewLine(100.0, -120.0, 100.0, 120.0);
    const TestTempFile drawing("darad4-window-fixture.zvd");
    ASSERT_TRUE(WriteTestDrawing(drawing.Path()));

    std::vector<Point> on;
    for (double x : {-140.0, -100.0, -50.0, 0.0, 60.0, 140.0})
        on.push_back({x, -100.0});
    for (double y : {-110.0, -40.0, 30.0, 80.0, 110.0})
        on.push_back({100.0, y});
    // Away from the lines the drawing area is empty.
    EXPECT_EQ(WaitForPixels(drawing.Path(), on, {{-20.0, 50.0}}), "")
        << "the drawing's lines were not found where the window's matrix puts them";
}

Matrix Placement(double a, double b, double c, double d, double tx, double ty)
{
    return Matrix{a, b, c, d, tx, ty};
}

TEST(WindowProgram, ShowsTheInstancesOfTheDrawingsOwnBlocks)
{
    // Two blocks of the drawing, each an L of two lines from its reference
    // point, placed three times: moved, rotated by 90 degrees, mirrored.
    StartTestDrawing();
    struct BlockShape {
        const char *name;
        double arm; // the L's arms: (0,0)-(arm,0) and (0,0)-(0,arm/2)
    };
    const BlockShape shapes[] = {{"Door", 60.0}, {"Window", 40.0}};
    for (const BlockShape &shape : shapes) {
        Unit *block = SymbolNewBlock(LIST_OWN_BLOCKS, shape.name);
        ASSERT_NE(block, nullptr);
        for (const std::vector<double> &xy :
             {std::vector<double>{0.0, 0.0, shape.arm, 0.0}, std::vector<double>{0.0, 0.0, 0.0, shape.arm / 2}}) {
            // Built in the drawing's list, copied into the block, then removed.
            Unit *line = TestNewObject(LIST_DRAWING, OBJTYPE_LINE, xy);
            ASSERT_NE(line, nullptr);
            ASSERT_NE(SymbolAddMember(LIST_OWN_BLOCKS, block, line), nullptr);
            MemListDelete(LIST_DRAWING, line);
        }
    }
    SymbolRebuildOwnIndex();
    struct Placed {
        const char *block;
        double arm;
        Matrix m;
    };
    const Placed placed[] = {
        {"Door", 60.0, Placement(1, 0, 0, 1, -150.0, 40.0)},  // moved
        {"Window", 40.0, Placement(0, 1, -1, 0, 60.0, 20.0)}, // rotated by 90 degrees about the reference point
        {"Door", 60.0, Placement(-1, 0, 0, 1, 130.0, -60.0)}, // mirrored at the vertical through it
    };
    alignas(8) uint8_t buffer[1024];
    Unit *record = reinterpret_cast<Unit *>(buffer);
    for (const Placed &p : placed) {
        const uint32_t bytes = SymbolMakeInstance(record, sizeof buffer, "*", p.block, &p.m);
        ASSERT_GT(bytes, 0u);
        record->birth = UNIT_BIRTH_ALWAYS;
        record->death = UNIT_DEATH_ALIVE;
        ASSERT_NE(MemListNewCopyAfter(LIST_DRAWING, record, bytes, nullptr), nullptr);
    }
    TestNewLine(-100.0, -120.0, 100.0, -120.0); // the one plain line
    const TestTempFile drawing("darad4-instances-fixture.zvd");
    ASSERT_TRUE(WriteTestDrawing(drawing.Path()));

    // Points along both arms of every L, mapped by its placement; and where
    // the arms would lie had the matrix been left out.
    std::vector<Point> on{{-80.0, -120.0}, {0.0, -120.0}, {80.0, -120.0}};
    std::vector<Point> off;
    for (const Placed &p : placed)
        for (double share : {0.3, 0.6, 0.9}) {
            Point q;
            MatrixApply(p.m, p.arm * share, 0.0, &q.x, &q.y);
            on.push_back(q);
            MatrixApply(p.m, 0.0, p.arm / 2 * share, &q.x, &q.y);
            on.push_back(q);
        }
    off.push_back({60.0 + 40.0 * 0.6, 20.0});   // the rotated Window's arm unrotated
    off.push_back({130.0 + 60.0 * 0.6, -60.0}); // the mirrored Door's arm unmirrored
    EXPECT_EQ(WaitForPixels(drawing.Path(), on, off), "")
        << "the instances' members were not found where their matrices put them";
}

} // namespace

// Coordinate entry (1008): a point typed in the calculator goes to the
// running command as a click would, relative to the command's last point.
#include <gtest/gtest.h>

#include <vector>

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/status.h"
#include "app/system.h"
#include "app/window.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/menu.h"
#include "common/dialog_driver.h"
#include "common/test_commands.h"
#include "database/object.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "dialogs/box08_editterm.h"
#include "files/file_drawinginfo.h"
#include "geometry/calc.h"

namespace {

constexpr int ID_TERM = 200;
constexpr int COORDINATE_ENTRY = 1008;
constexpr int LINE = 501;

uint32_t AnswerFirst(const char *, uint32_t code1, uint32_t, uint32_t) { return code1; }

class CalcEntry : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = AnswerFirst;
        savedModule_ = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
        ASSERT_NE(g_LanguageModule, nullptr);
        savedWindow_ = g_ConvertState.window;
        InitReadScreenSize();
        g_ActiveWindow = 0;
        WindowResetUnits(&g_DrawWindows[0]);
        WindowSelectCurrent();
        g_ConvertState.window = &g_DrawWindows[0];
        if (!g_MsgClick)
            g_MsgClick = RegisterWindowMessageA("DARAD4_CLICK");
    }
    void TearDown() override
    {
        EXPECT_EQ(g_CoordEntryWnd, nullptr);
        g_AlertAnswerHook = savedHook_;
        g_LanguageModule = savedModule_;
        g_ConvertState.window = savedWindow_;
        FreeStorage();
        CommandTest::TearDown();
    }
    static std::vector<Unit *> Alive()
    {
        std::vector<Unit *> out;
        for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
            out.push_back(u);
        return out;
    }

    AlertAnswerHook savedHook_ = nullptr;
    HMODULE savedModule_ = nullptr;
    DrawWindow *savedWindow_ = nullptr;
};

DialogStep Type(const char *text, WORD key)
{
    return [text, key](HWND d) {
        SetDlgItemTextA(d, ID_TERM, text);
        if (key == VK_RETURN)
            TestClickButton(d, IDOK);
        else
            TestPressKey(d, key);
    };
}

TEST_F(CalcEntry, RelativeInputFinishesTheLineInOneUndoStep)
{
    TestStartCommand(LINE, LINE);
    ASSERT_EQ(InputPoint(10, 20, 1), INPUT_CONTINUE);
    const int32_t step = g_UndoStep;
    int32_t kind = -2;
    double reference[2] = {0, 0};
    // From the x field on: over y to dx, then dy.
    DialogDriver driver({Type("", VK_TAB), Type("", VK_TAB),
                         [&](HWND d) {
                             kind = g_CoordEntryRecord.mode;
                             reference[0] = g_CoordEntryRecord.point1[0];
                             reference[1] = g_CoordEntryRecord.point1[1];
                             Type("5", VK_TAB)(d);
                         },
                         Type("0", VK_RETURN)});
    MenuInputAidCommand(main_, COORDINATE_ENTRY);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(driver.stepsDone(), 4);
    EXPECT_EQ(kind, 1) << "the first point is the reference";
    EXPECT_EQ(reference[0], 10.0);
    EXPECT_EQ(reference[1], 20.0);
    const std::vector<Unit *> alive = Alive();
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_EQ(alive[0]->object.type, OBJTYPE_LINE);
    EXPECT_NEAR(g_ConstructionPoints[1].x, 15.0, 1e-9);
    EXPECT_NEAR(g_ConstructionPoints[1].y, 20.0, 1e-9);
    EXPECT_EQ(g_UndoStep, step + 1) << "one undo step";
    EXPECT_EQ(g_CommandState->commandId, LINE) << "the command starts again";
    EXPECT_EQ(g_CommandState->pointIndex, 0);
}

TEST_F(CalcEntry, CancellingChangesNothing)
{
    TestStartCommand(LINE, LINE);
    ASSERT_EQ(InputPoint(10, 20, 1), INPUT_CONTINUE);
    const int32_t step = g_UndoStep;
    DialogDriver driver({[](HWND d) { TestClickButton(d, IDCANCEL); }});
    MenuInputAidCommand(main_, COORDINATE_ENTRY);
    EXPECT_EQ(driver.stepsDone(), 1);
    EXPECT_TRUE(Alive().empty());
    EXPECT_EQ(g_UndoStep, step);
    EXPECT_EQ(g_CommandState->commandId, LINE);
    EXPECT_EQ(g_CommandState->pointIndex, 1) << "the first point is still there";
}

TEST_F(CalcEntry, ReferenceSettersTakeTheirPointsFromTheReferenceGeometry)
{
    GeoObject &r = g_CommandState->referenceGeo;
    r.d[0] = 1, r.d[1] = 2;  // R0
    r.d[2] = 4, r.d[3] = 6;  // R1
    r.d[6] = 10, r.d[7] = 0; // R3
    struct Row {
        void (*set)(CoordEntryRecord *);
        double p1x, p1y, p2x, p2y;
        int32_t kind;
    };
    const Row rows[] = {
        {StatusCalcRefPoint, 1, 2, 4, 6, 4},
        {StatusCalcRefLastPoint, 10, 0, 13, 4, 4}, // the direction R0 to R1 carried to R3
        {StatusCalcRefView1, 1, 2, 4, 6, 5},
        {StatusCalcRefView2, 1, 2, 10, 0, 5},
    };
    for (const Row &row : rows) {
        CoordEntryRecord &e = g_CoordEntryRecord;
        row.set(&e);
        EXPECT_EQ(e.point1[0], row.p1x);
        EXPECT_EQ(e.point1[1], row.p1y);
        EXPECT_EQ(e.point2[0], row.p2x);
        EXPECT_EQ(e.point2[1], row.p2y);
        EXPECT_EQ(e.mode, row.kind);
    }
    g_CoordEntryRecord.mode = -1;
}

} // namespace

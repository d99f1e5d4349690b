// The pointer in a real window: a frame-selected pair of lines moved by a
// drag inside the frame, copied in copy mode, and deleted through the delete
// box, each in one undo step; and the Object menu's move and scale.
#include <gtest/gtest.h>

#include <cmath>

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/window.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/input_pointer.h"
#include "commands/menu.h"
#include "common/dialog_driver.h"
#include "common/test_commands.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/frame.h"
#include "language/language.h"

namespace {

class PointerDrag : public DrawingWindowTest {
protected:
    void SetUp() override
    {
        DrawingWindowTest::SetUp();
        UndoReset();
        g_UndoSteps = 10;
        a_ = TestNewLine(-20, 10, 20, 10);
        b_ = TestNewLine(-20, -10, 20, -10);
        TestStartCommand(COMMAND_POINTER, COMMAND_POINTER);
    }
    void TearDown() override
    {
        g_DrawingSettings.displayDuplicate = 0;
        DrawingWindowTest::TearDown();
    }
    void Drag(double x0, double y0, double x1, double y1)
    {
        const POINT p = Pixel(x0, y0), q = Pixel(x1, y1);
        Send(WM_MOUSEMOVE, p.x, p.y);
        Send(WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
        Send(WM_MOUSEMOVE, q.x, q.y, MK_LBUTTON);
        Send(WM_LBUTTONUP, q.x, q.y);
    }
    void SelectBoth() { Drag(-30, 20, 30, -20); }
    static std::vector<Unit *> Alive() { return TestAliveUnits(); }
    static double StartX(const Unit *u)
    {
        return reinterpret_cast<const ElementPoint *>(UnitFirstElement(u))->x;
    }
    Unit *a_ = nullptr, *b_ = nullptr;
};

TEST_F(PointerDrag, ADragInsideTheFrameMovesTheSelectionInOneStep)
{
    SelectBoth();
    ASSERT_EQ(g_CommandState->pointIndex, 1);
    ClickAt(0, 0);
    EXPECT_EQ(g_CommandState->variant, POINTER_MOVE);
    ClickAt(5, 3);
    ASSERT_EQ(Alive().size(), 2u);
    EXPECT_NEAR(StartX(Alive()[0]), -15, 0.5);
    EXPECT_EQ(g_CommandState->pointIndex, 3) << "the next pair starts";
    EXPECT_NEAR(g_CommandState->rect[0], -15, 0.5) << "the frame follows the selection";
    ASSERT_EQ(UndoStepBack(), 1);
    ASSERT_EQ(Alive().size(), 2u);
    EXPECT_EQ(StartX(Alive()[0]), -20.0);
    ASSERT_EQ(UndoStepForward(), 1);
    EXPECT_NEAR(StartX(Alive()[0]), -15, 0.5);
}

TEST_F(PointerDrag, CopyModeKeepsTheOriginalsAndTheStepOpen)
{
    g_DrawingSettings.displayDuplicate = 1;
    SelectBoth();
    ClickAt(0, 0);
    ClickAt(0, 30);
    EXPECT_EQ(Alive().size(), 4u);
    EXPECT_EQ(g_CommandState->pointIndex, 2) << "every further click makes one more copy";
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(Alive().size(), 2u);
}

TEST_F(PointerDrag, TheDeleteBoxAnsweredYesDeletesInOneStep)
{
    SelectBoth();
    const POINT corner = Pixel(-20, -10);
    double x, y;
    MatrixApply(W().MatrixPixelToMM, corner.x + 8, corner.y + 8, &x, &y);
    EXPECT_EQ(InputPointerHandleAt(g_CommandState->rect, W().MatrixMMToPixel, x, y), POINTER_DELETE);
    ClickAt(x, y);
    EXPECT_TRUE(Alive().empty());
    EXPECT_NE(g_CommandState->commandId, 0);
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(Alive().size(), 2u);
}

TEST_F(PointerDrag, ObjectMenuMovesAndScales)
{
    SelectBoth();
    g_ConstructionPoints[1] = {0, 0, 0, 0};
    g_ConstructionPoints[2] = {1, 2, 0, 0};
    MenuObjectCommand(g_MainWnd, 405);
    ASSERT_EQ(Alive().size(), 2u);
    EXPECT_EQ(StartX(Alive()[0]), -19.0);
    ASSERT_EQ(UndoStepBack(), 1);

    // 410 through its dialog: a zero factor is refused and nothing changes.
    HMODULE saved = g_LanguageModule;
    g_LanguageModule = GetModuleHandleA("language.dll");
    for (Unit *u : Alive())
        u->flags |= UNIT_SELECTED;
    {
        DialogDriver driver({[](HWND d) {
                                 SetDlgItemTextA(d, 200, "0");
                                 SetDlgItemTextA(d, 201, "2");
                             },
                             [](HWND d) { TestClickButton(d, IDOK); }});
        MenuObjectCommand(g_MainWnd, 410);
    }
    EXPECT_EQ(Alive().size(), 2u);
    EXPECT_EQ(StartX(Alive()[0]), -20.0);
    EXPECT_EQ(UndoStepBack(), 0) << "no step was made";
    g_LanguageModule = saved;
}

} // namespace

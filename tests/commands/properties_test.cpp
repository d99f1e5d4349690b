// The property sheets of the selection from the Object menu, driven for real:
// OK writes the sheet into the object in one undo step, Cancel leaves the
// drawing and the undo history alone.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <vector>

#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "command_fixture.h"
#include "commands/menu.h"
#include "common/dialog_driver.h"
#include "common/test_objects.h"
#include "database/init.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "dialogs/box01_controls.h"

namespace {

constexpr int PEN_BUTTON = 751;
constexpr int32_t CHOSEN_PEN = 4;

std::vector<uint32_t> s_Alerts;
uint32_t RecordAlert(const char *, uint32_t code1, uint32_t, uint32_t)
{
    s_Alerts.push_back(code1);
    return code1;
}

class Properties : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
        // A pen that is not defined resolves to pen 0.
        std::strcpy(g_PenDefs[CHOSEN_PEN].name, "Thick");
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = RecordAlert;
        s_Alerts.clear();
        savedModule_ = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
        savedPopup_ = g_Box01ListPopup;
        g_Box01ListPopup = ChosenPen;
        line_ = TestNewLine(0, 0, 100, 0);
        ASSERT_NE(line_, nullptr);
        line_->flags |= UNIT_SELECTED;
        ASSERT_NE(line_->property.pen, CHOSEN_PEN);
    }
    void TearDown() override
    {
        g_PenDefs[CHOSEN_PEN].name[0] = 0;
        g_Box01ListPopup = savedPopup_;
        g_LanguageModule = savedModule_;
        g_AlertAnswerHook = savedHook_;
        FreeStorage();
        CommandTest::TearDown();
    }
    // The pen popup answers the chosen pen.
    static void ChosenPen(Box01ListPopupKind, HWND owner, const RECT *, int, int first, int)
    {
        PostMessageA(owner, WM_COMMAND, first + CHOSEN_PEN, 0);
    }
    // Opens the sheet, chooses the pen on its page and presses `button`.
    void ChoosePenAndPress(int button)
    {
        DialogDriver driver({
            [](HWND sheet) {
                SendMessageA(PropSheet_GetCurrentPageHwnd(sheet), WM_COMMAND, MAKEWPARAM(PEN_BUTTON, BN_CLICKED), 0);
            },
            [button](HWND sheet) { PropSheet_PressButton(sheet, button); },
        });
        MenuObjectCommand(main_, 400);
        EXPECT_EQ(driver.stepsDone(), 2);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }

    Unit *line_ = nullptr;
    AlertAnswerHook savedHook_ = nullptr;
    HMODULE savedModule_ = nullptr;
    Box01ListPopupProc savedPopup_ = nullptr;
};

TEST_F(Properties, OkGivesTheSelectedLineTheChosenPenInOneUndoStep)
{
    const int32_t pen = line_->property.pen;
    const int32_t step = g_UndoStep;
    ChoosePenAndPress(PSBTN_OK);
    EXPECT_TRUE(s_Alerts.empty());
    EXPECT_EQ(g_UndoStep, step + 1);
    std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_EQ(alive[0]->property.pen, CHOSEN_PEN);

    ASSERT_EQ(UndoStepBack(), 1);
    alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_EQ(alive[0]->property.pen, pen);
}

TEST_F(Properties, CancelChangesNothingAndOpensNoUndoStep)
{
    const XProperty before = line_->property;
    const int32_t step = g_UndoStep;
    ChoosePenAndPress(PSBTN_CANCEL);
    EXPECT_EQ(g_UndoStep, step);
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_EQ(alive[0], line_);
    EXPECT_EQ(alive[0]->property.pen, before.pen);
    EXPECT_EQ(alive[0]->property.ownFlags, before.ownFlags);
    EXPECT_EQ(UndoStepBack(), 0) << "nothing to undo";
}

} // namespace

// Texts placed by a user in a real drawing window: the text dialog before
// the standard text's input, the framed text's dialog after its two
// corners, each text in its own undo step.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_sound.h"
#include "app/system.h"
#include "app/window.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/menu.h"
#include "common/dialog_driver.h"
#include "common/test_commands.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/undo.h"
#include "database/unit.h"
#include "display/symbol.h"
#include "files/file_records.h"
#include "language/language.h"

namespace {

constexpr int ID_TEXT = 200;      // the text field of the text dialogs
constexpr int ID_ALIGN_FIRST = 800; // the alignment buttons, left first

class TextCommands : public DialogDrawingWindowTest {
protected:
    void SetUp() override
    {
        DialogDrawingWindowTest::SetUp();
        std::memset(g_LocalData.texts[LOCAL_STD_TEXT], 0, LOCAL_TEXT_SIZE);
        std::memset(g_LocalData.texts[LOCAL_FRAME_TEXT], 0, LOCAL_TEXT_SIZE);
    }
    // Types the text, presses the alignment button and OK.
    static DialogStep Answer(const char *text, int alignment)
    {
        return [text, alignment](HWND dialog) {
            SetDlgItemTextA(dialog, ID_TEXT, text);
            TestClickButton(dialog, ID_ALIGN_FIRST + alignment);
            TestClickButton(dialog, IDOK);
        };
    }
    static DialogStep Cancel()
    {
        return [](HWND dialog) { TestClickButton(dialog, IDCANCEL); };
    }
    template <typename Record>
    static const Record *Payload(Unit *unit, int16_t kind)
    {
        const Record *found = nullptr;
        UnitForEachElement(unit, [&](Element *e) {
            if (e->kind == kind)
                found = static_cast<const Record *>(ElementPayload(e));
        });
        return found;
    }
};

TEST_F(TextCommands, AStandardTextIsAskedFirstThenPlacedAtEveryClickInItsOwnUndoStep)
{
    {
        DialogDriver driver({Answer("Hello world", TEXT_ALIGN_CENTRE)});
        CommandExecute(801, 1);
        ASSERT_EQ(driver.stepsDone(), 1);
        ASSERT_EQ(driver.stuckDialogs(), 0);
    }
    ASSERT_EQ(g_CommandState->commandId, 801);
    EXPECT_STREQ(g_LocalData.texts[LOCAL_STD_TEXT], "Hello world");
    EXPECT_EQ(g_DrawingSettings.textStd.mode, TEXT_ALIGN_CENTRE) << "the dialog's settings kept for the drawing";
    const double *r = g_CommandState->rect;
    EXPECT_GT(r[2] - r[0], 1.0) << "the insertion frame measures the text";
    const double height = g_DrawingSettings.textStd.height;
    EXPECT_DOUBLE_EQ(g_CommandState->matrix.d, height) << "scaled by the text height";

    const int32_t step = g_UndoStep;
    ClickAt(10.0, 5.0);
    std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_EQ(alive[0]->object.type, OBJTYPE_STD_TEXT);
    const auto *placed = Payload<TextStandardData>(alive[0], ELEM_TEXT_STANDARD);
    ASSERT_NE(placed, nullptr);
    EXPECT_DOUBLE_EQ(placed->matrix.tx, 10.0) << "the text's origin at the click";
    EXPECT_DOUBLE_EQ(placed->matrix.ty, 5.0);
    EXPECT_EQ(placed->alignment, TEXT_ALIGN_CENTRE);
    EXPECT_EQ(g_UndoStep, step + 1);

    ClickAt(-30.0, -20.0);
    EXPECT_EQ(TestAliveUnits().size(), 2u) << "the command stays for the next text";
    EXPECT_EQ(g_UndoStep, step + 2);

    ASSERT_EQ(CommandUndoRedo(0), 1);
    TestPumpUntilIdle();
    EXPECT_EQ(TestAliveUnits().size(), 1u) << "one undo takes one text";
    ASSERT_EQ(CommandUndoRedo(0), 1);
    TestPumpUntilIdle();
    EXPECT_TRUE(TestAliveUnits().empty());
}

TEST_F(TextCommands, ACancelledTextDialogStartsNothing)
{
    const int running = g_CommandState->commandId;
    {
        DialogDriver driver({Cancel()});
        CommandExecute(801, 1);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    EXPECT_EQ(g_CommandState->commandId, running) << "the running command goes on";
}

TEST_F(TextCommands, AFramedTextIsEditedAfterItsCornersAndBuiltJustifiedInOneUndoStep)
{
    CommandExecute(802, 1);
    ASSERT_EQ(g_CommandState->commandId, 802);
    const int32_t step = g_UndoStep;
    {
        DialogDriver driver({Answer("a framed text that wraps inside its frame", TEXT_ALIGN_JUSTIFY)});
        ClickAt(-20.0, 20.0);
        ClickAt(25.0, -10.0);
        ASSERT_EQ(driver.stepsDone(), 1);
    }
    std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_EQ(alive[0]->object.type, OBJTYPE_FRAME_TEXT);
    const auto *framed = Payload<TextFrameData>(alive[0], ELEM_TEXT_FRAME);
    ASSERT_NE(framed, nullptr);
    EXPECT_EQ(framed->alignment, TEXT_ALIGN_JUSTIFY);
    const ElementPoint *topLeft = UnitPointAt(alive[0], 0), *bottomLeft = UnitPointAt(alive[0], 2);
    ASSERT_NE(topLeft, nullptr);
    ASSERT_NE(bottomLeft, nullptr);
    EXPECT_DOUBLE_EQ(topLeft->x, -20.0);
    EXPECT_DOUBLE_EQ(topLeft->y, 20.0);
    EXPECT_DOUBLE_EQ(bottomLeft->y, -10.0);
    EXPECT_EQ(g_DrawingSettings.textFrame.mode, TEXT_ALIGN_JUSTIFY);
    EXPECT_STREQ(g_LocalData.texts[LOCAL_FRAME_TEXT], "a framed text that wraps inside its frame");
    EXPECT_EQ(g_UndoStep, step + 1);

    ASSERT_EQ(CommandUndoRedo(0), 1);
    TestPumpUntilIdle();
    EXPECT_TRUE(TestAliveUnits().empty());
}

TEST_F(TextCommands, ACancelledFramedTextLeavesNoUndoStep)
{
    CommandExecute(802, 1);
    const int32_t step = g_UndoStep;
    {
        DialogDriver driver({Cancel()});
        ClickAt(0.0, 10.0);
        ClickAt(30.0, 0.0);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    EXPECT_TRUE(TestAliveUnits().empty());
    EXPECT_EQ(g_UndoStep, step);
}

TEST_F(TextCommands, TextToCurvesTurnsThePlacedTextIntoSurfacesInOneUndoStepOrKeepsItInCopyMode)
{
    for (uint32_t copyMode : {0u, 1u}) {
        SCOPED_TRACE(copyMode);
        {
            DialogDriver driver({Answer("A B", TEXT_ALIGN_LEFT)});
            CommandExecute(801, 1);
            ASSERT_EQ(driver.stepsDone(), 1);
        }
        ClickAt(0.0, 0.0);
        std::vector<Unit *> alive = TestAliveUnits();
        ASSERT_EQ(alive.size(), 1u);
        alive[0]->flags |= UNIT_SELECTED;
        g_DrawingSettings.displayDuplicate = copyMode;
        const int32_t step = g_UndoStep;
        MenuTextDimensionCommand(main_, 804);
        EXPECT_EQ(g_UndoStep, step + 1);
        EXPECT_EQ(g_CommandState->selectedCount, 1);
        int surfaces = 0, texts = 0;
        for (Unit *u : TestAliveUnits()) {
            surfaces += u->object.type == OBJTYPE_SURFACE;
            texts += u->object.type == OBJTYPE_STD_TEXT;
        }
        EXPECT_EQ(surfaces, 2) << "the blank has no outline";
        EXPECT_EQ(texts, int(copyMode)) << "the copy mode keeps the text";

        ASSERT_EQ(CommandUndoRedo(0), 1);
        TestPumpUntilIdle();
        alive = TestAliveUnits();
        ASSERT_EQ(alive.size(), 1u) << "one undo brings the text back alone";
        EXPECT_EQ(alive[0]->object.type, OBJTYPE_STD_TEXT);
        ASSERT_EQ(CommandUndoRedo(0), 1);
        TestPumpUntilIdle();
    }
    g_DrawingSettings.displayDuplicate = 0;
}

TEST_F(TextCommands, TextToCurvesWithNothingSelectedLeavesNoUndoStep)
{
    const int32_t step = g_UndoStep;
    MenuTextDimensionCommand(main_, 804);
    EXPECT_EQ(g_UndoStep, step);
}

} // namespace

// The dispatcher and the input state machine: starting, completing,
// cancelling and stepping back through commands, the last-commands list,
// the transparent command and the point limit.
#include <gtest/gtest.h>

#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/window.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "common/dialog_driver.h"
#include "common/test_commands.h"
#include "common/test_objects.h"
#include "common/test_support.h"
#include "database/storage.h"
#include "database/undo.h"

namespace {

using Dispatcher = CommandTest;

int LastCommand(int i) { return g_CommandDefaults.lastCommands[i]; }

int CountInList(int number)
{
    int n = 0;
    for (int i = 0; i < LAST_COMMANDS; ++i)
        n += LastCommand(i) == number;
    return n;
}

TEST_F(Dispatcher, TheLineCommandLoadsItsTemplateAndCompletesOnTheSecondPoint)
{
    Record(501);
    CommandExecute(501, 1);
    const CommandState &cs = *g_CommandState;
    EXPECT_EQ(cs.commandId, 501);
    EXPECT_EQ(cs.templateNumber, 97);
    EXPECT_EQ(CommandMode(), TEMPLATE_FIXED_STEPS);
    EXPECT_EQ(cs.stepCount, 2);
    EXPECT_EQ(cs.pointKind, 6);

    EXPECT_EQ(InputPoint(10.0, 10.0, 1), INPUT_CONTINUE);
    EXPECT_EQ(cs.pointIndex, 1);
    EXPECT_EQ(cs.pointKind, 9);
    EXPECT_EQ(cs.referenceIndex, 0);
    InputMove(30.0, 20.0);
    EXPECT_EQ(g_ConstructionPoints[1].x, 30.0) << "the construction point follows the cursor";
    EXPECT_EQ(g_ConstructionPoints[0].x, 10.0) << "the accepted point stays";

    const int code = InputPoint(30.0, 20.0, 1);
    EXPECT_EQ(code, INPUT_COMPLETE);
    EXPECT_EQ(cs.pointIndex, 2);
    CommandHandleCode(code);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].command, 501);
    EXPECT_EQ(Calls()[0].pointIndex, 2) << "the handler reads the finished input";
    EXPECT_EQ(Calls()[0].x0, 10.0);
    EXPECT_EQ(cs.pointIndex, 0) << "the command starts again";
    EXPECT_EQ(cs.commandId, 501);
}

TEST_F(Dispatcher, TheLastCommandsListKeepsANumberOnceAtTheFront)
{
    CommandExecute(501, 1);
    CommandExecute(501, 1);
    EXPECT_EQ(LastCommand(0), 501);
    EXPECT_EQ(CountInList(501), 1);

    // Twenty other remembered numbers push it out.
    const int others[] = {514, 640, 806, 837, 516, 520, 519, 521, 523, 524,
                          525, 526, 536, 538, 540, 541, 542, 543, 544, 545};
    {
        // 520, 544 and 545 ask for their angle or radius first.
        const DialogStep ok = [](HWND dialog) { TestClickButton(dialog, IDOK); };
        const HMODULE saved = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
        DrawWindow *const savedWindow = g_ConvertState.window;
        g_ConvertState.window = &g_DrawWindows[0]; // the units of the values
        DialogDriver driver({ok, ok, ok});
        for (int n : others)
            CommandExecute(n, 1);
        EXPECT_EQ(driver.stepsDone(), 3);
        g_LanguageModule = saved;
        g_ConvertState.window = savedWindow;
    }
    EXPECT_EQ(CountInList(501), 0);
    EXPECT_EQ(LastCommand(0), 545);
    EXPECT_EQ(LastCommand(19), 514);
    CommandExecute(536, 1);
    EXPECT_EQ(LastCommand(0), 536);
    EXPECT_EQ(CountInList(536), 1) << "a number already in the list moves to the front";
    EXPECT_EQ(LastCommand(1), 545);
}

// Closes the popup that a command opened (the last-commands popup of 210).
void CALLBACK CloseOpenMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    EndMenu();
}

TEST_F(Dispatcher, SomeNumbersNeverEnterTheList)
{
    SetTimer(nullptr, 0, 50, CloseOpenMenu);
    for (int n : {210, 1014, 1020, 1024, 1027, 1033, 1043, 99, 5340, 6000})
        CommandExecute(n, 1);
    CommandExecute(640, 0); // margin buttons and the plug-in interface
    EXPECT_EQ(LastCommand(0), 501) << "the default list is untouched";
    for (int i = 1; i < LAST_COMMANDS; ++i)
        EXPECT_EQ(LastCommand(i), -1);
    CommandExecute(1025, 1);
    CommandExecute(1026, 1);
    EXPECT_EQ(LastCommand(0), 1026);
    EXPECT_EQ(LastCommand(1), 1025);
}

TEST_F(Dispatcher, NumbersWithoutAHandlerBeepAndPluginNumbersDoNothing)
{
    for (int n : {1200, 1209, 7904, 50, 5000, 5300, 5339}) {
        TestBeeps beeps;
        CommandExecute(n, 1);
        const bool beep = n == 1200 || n == 1209 || n == 7904 || n == 50;
        EXPECT_EQ(beeps.count(), beep ? 1u : 0u) << n;
    }
    EXPECT_EQ(g_CommandState->commandId, 501) << "nothing replaced the running command";
    EXPECT_EQ(InputStart(1350), INPUT_ASK_NEXT) << "a plug-in number whose module does not exist";
    EXPECT_EQ(g_CommandState->commandId, 1350);
}

TEST_F(Dispatcher, TheStartCommandRunsOncePerProgramRun)
{
    Record(7903);
    CommandExecute(7903, 0);
    TestBeeps beeps;
    CommandExecute(7903, 1); // typed again: it would reopen the command-line drawing
    EXPECT_EQ(Calls().size(), 1u);
    EXPECT_EQ(beeps.count(), 1u);
}

TEST_F(Dispatcher, InterruptingCommandsResumeTheInterruptedOne)
{
    PrepareStorage();
    ASSERT_EQ(SymbolCreateEmptyBlock(SYMBOL_OWN_LIBRARY, "B", nullptr), 1);
    lstrcpyA(g_Options.insertSlots[3].nameLibrary, SYMBOL_OWN_LIBRARY);
    lstrcpyA(g_Options.insertSlots[3].nameBlock, "B");
    InputPoint(1.0, 1.0, 1);
    CommandExecute(5343, 1);
    EXPECT_EQ(g_CommandState->commandId, 5343);
    EXPECT_EQ(g_CommandState->resumeId, 501);
    EXPECT_EQ(g_InputSymbolSlot, 3);
    CommandCancel();
    EXPECT_EQ(g_CommandState->commandId, 501);
    EXPECT_EQ(g_CommandState->pointIndex, 0) << "the interrupted command starts at its first step";
    EXPECT_EQ(g_InputSymbolSlot, -1);

    // A slot not in use refuses the start: nothing is interrupted or remembered.
    InputPoint(1.0, 1.0, 1);
    CommandExecute(5344, 1);
    EXPECT_EQ(g_CommandState->commandId, 501);
    EXPECT_EQ(g_CommandState->pointIndex, 1);
    EXPECT_EQ(CountInList(5344), 0);
    // A slot whose block cannot be found refuses it as well.
    lstrcpyA(g_Options.insertSlots[4].nameLibrary, SYMBOL_OWN_LIBRARY);
    lstrcpyA(g_Options.insertSlots[4].nameBlock, "absent");
    CommandExecute(5344, 1);
    EXPECT_EQ(g_CommandState->commandId, 501);
    g_Options.insertSlots[3].nameLibrary[0] = g_Options.insertSlots[3].nameBlock[0] = '\0';
    g_Options.insertSlots[4].nameLibrary[0] = g_Options.insertSlots[4].nameBlock[0] = '\0';
    FreeStorage();
}

TEST_F(Dispatcher, TheHelpPickEndsOnEscapeAndTheShortcutPickOnAnyCommand)
{
    CommandExecute(1102, 1);
    EXPECT_EQ(CommandMode(), TEMPLATE_HELP_PICK);
    CommandExecute(1009, 1);
    EXPECT_EQ(g_CommandState->commandId, 501);

    CommandExecute(383, 1);
    EXPECT_EQ(CommandMode(), TEMPLATE_SHORTCUT_PICK);
    {
        // The picked command goes to the keyboard dialog: Z (index 35) gets it.
        TestLanguageModule language;
        const int32_t savedZ = g_Options.keyboard[35];
        DialogDriver driver({[](HWND dialog) { TestClickButton(dialog, 'Z'); }});
        CommandExecute(640, 1);
        EXPECT_EQ(driver.stuckDialogs(), 0);
        EXPECT_EQ(g_Options.keyboard[35], 640);
        g_Options.keyboard[35] = savedZ;
    }
    EXPECT_EQ(g_CommandState->commandId, 501) << "the chosen command is not run";
}

TEST_F(Dispatcher, TheTransparentCommandKeepsTheMainCommandsPoint)
{
    Record(342);
    InputPoint(10.0, 10.0, 1);
    CommandExecute(342, 0);
    EXPECT_EQ(g_CommandTransparent, 1);
    EXPECT_EQ(g_InputPointLimit, INPUT_POINT_LIMIT_TRANSPARENT);
    EXPECT_EQ(g_CommandState->commandId, 342);
    CommandHandleCode(InputPoint(0.0, 0.0, 1));
    CommandHandleCode(InputPoint(5.0, 5.0, 1));
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].command, 342);
    EXPECT_EQ(g_CommandTransparent, 0);
    EXPECT_EQ(g_CommandState->commandId, 501);
    EXPECT_EQ(g_CommandState->pointIndex, 1) << "the line continues at its second step";
    EXPECT_EQ(g_ConstructionPoints[0].x, 10.0);

    // The right button leaves it without running it; another number abandons it.
    CommandExecute(342, 0);
    CommandFinishInput();
    EXPECT_EQ(g_CommandTransparent, 0);
    EXPECT_EQ(Calls().size(), 1u);
    CommandExecute(342, 0);
    CommandExecute(640, 0);
    EXPECT_EQ(g_CommandTransparent, 0);
    EXPECT_EQ(g_CommandState->commandId, 640);
}

TEST_F(Dispatcher, StepsBackAndTheRightButton)
{
    Record(524);
    CommandExecute(524, 1); // four steps: 14, 15 (0), 16 (1), 17 (2)
    TestBeeps beeps;
    CommandExecute(1009, 1);
    EXPECT_EQ(beeps.count(), 1u) << "nothing to step back";
    InputPoint(1.0, 1.0, 1);
    InputPoint(2.0, 2.0, 1);
    InputPoint(3.0, 3.0, 1);
    ASSERT_EQ(g_CommandState->pointIndex, 3);
    CommandExecute(1009, 1);
    EXPECT_EQ(g_CommandState->pointIndex, 2) << "point 2 is removed";
    EXPECT_EQ(g_InputPoints[2].x, 2.0) << "step 2 is open at point 1's position";
    EXPECT_EQ(g_CommandState->pointKind, 16);
    CommandExecute(1009, 1);
    CommandExecute(1009, 1);
    EXPECT_EQ(g_CommandState->pointIndex, 0);

    InputPoint(1.0, 1.0, 1);
    CommandFinishInput(); // the right button abandons the points
    EXPECT_EQ(g_CommandState->pointIndex, 0);
    EXPECT_TRUE(Calls().empty());
}

TEST_F(Dispatcher, TheOpenEndedListCompletesOnTheRightButton)
{
    Record(512);
    CommandExecute(512, 1);
    EXPECT_EQ(g_CommandState->stepCount, INPUT_POINT_LIMIT_MAIN);
    for (int i = 0; i < 4; ++i)
        InputPoint(i, i, 1);
    EXPECT_EQ(g_InputPoints[3].reference, 2) << "the previous step is the reference";
    CommandFinishInput();
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].pointIndex, 4);
    EXPECT_EQ(g_CommandState->pointIndex, 0);
}

TEST_F(Dispatcher, TheArraysEndAtThePointLimit)
{
    CommandExecute(512, 1);
    for (int i = 0; i < INPUT_POINT_LIMIT_MAIN - 1; ++i)
        ASSERT_EQ(InputPoint(i * 0.001, 0.0, 1), INPUT_CONTINUE) << i;
    EXPECT_EQ(g_CommandState->pointIndex, INPUT_POINT_LIMIT_MAIN - 1);
    EXPECT_EQ(InputPoint(5.0, 5.0, 1), INPUT_LIMIT) << "the click in step 1999 is refused";
    EXPECT_EQ(g_CommandState->pointIndex, INPUT_POINT_LIMIT_MAIN - 1);
    TestBeeps beeps;
    CommandHandleCode(INPUT_LIMIT);
    EXPECT_EQ(beeps.count(), 1u);

    // Accepting without a click at the last entry is refused the same way.
    g_CommandState->pointIndex = INPUT_POINT_LIMIT_MAIN - 1;
    EXPECT_EQ(InputPoint(5.0, 5.0, 0), INPUT_LIMIT);
    InputSetIndex(INPUT_POINT_LIMIT_MAIN);
    EXPECT_EQ(g_CommandState->pointIndex, INPUT_POINT_LIMIT_MAIN - 1) << "no index beyond the arrays";
}

TEST_F(Dispatcher, UndoAndRedoStartTheRunningCommandsInputAgain)
{
    ASSERT_NO_FATAL_FAILURE(PrepareStorage());
    UndoReset();
    InputPoint(1.0, 1.0, 1);
    TestBeeps beeps;
    EXPECT_EQ(CommandUndoRedo(0), 0) << "nothing to undo";
    EXPECT_EQ(beeps.count(), 1u);
    EXPECT_EQ(g_CommandState->pointIndex, 1) << "nothing happened";

    UndoInitProcess();
    Unit *line = TestNewLine(0, 0, 5, 5);
    ASSERT_NE(line, nullptr);
    UndoStampCreated(line);
    UndoFinishProcess();
    ASSERT_EQ(CommandUndoRedo(0), 1);
    EXPECT_EQ(g_CommandState->pointIndex, 0) << "no point or pick of the removed step is kept";
    InputPoint(1.0, 1.0, 1);
    ASSERT_EQ(CommandUndoRedo(1), 1);
    EXPECT_EQ(g_CommandState->pointIndex, 0);
    FreeStorage();
}

} // namespace

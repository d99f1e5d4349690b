// The command dispatcher: every command number, whatever its source, is run
// through CommandExecute; the number's row in the command table
// (commands/command_tables.h) says how.
#pragma once

#include <cstdint>

#include "commands/command_tables.h"

// Runs a command; remember lets it enter the list of the last commands.
void CommandExecute(int commandId, int remember);

// Ends the input of the running command without running it (and ends the
// help pick): a command that interrupted another (template modes 1 to 4)
// gives way to the interrupted one, which starts again at its first step;
// any other command starts again at its first step.
void CommandCancel();
// Executes the command now, on the finished input of the current state.
void CommandRun(int commandId);
// After a command was executed at the end of its input: restarts it, or
// returns from the transparent command to the main one.
void CommandEndInput();
// The user's request to finish (right button): ends the transparent command,
// completes an open-ended list, or cancels.
void CommandFinishInput();
// Acts on a code of InputPoint, InputStepBack or InputNextAction: 0 and 4
// cancel, 1 beeps, 5 runs the command and restarts its input.
void CommandHandleCode(int code);
// The range router: calls the handler of the number's range.
void InputRunCommand(int commandId, int pointIndex);

// Undo (forward 0) or redo (1) of one step while a command may be running:
// beeps when there is nothing to undo or redo; otherwise the running
// command's input starts again (no handler may keep an object that the step
// removed) and what changed is repainted. 1 when a step was taken.
int CommandUndoRedo(int forward);

// Moves the number to the front of the last-commands list.
void CommandRememberLast(int commandId);

// Set while CommandExecute ran a command (started its input or ran it).
extern int32_t g_CommandExecuted;

// The command dispatcher: every command number, whatever its source, is run
// through CommandExecute.
#pragma once

#include <cstdint>

constexpr int COMMAND_INTERNAL_FIRST = 5340;
constexpr int COMMAND_INTERNAL_LAST = 7903;

// Runs a command; remember puts it into the list of the last commands.
void CommandExecute(int commandId, int remember);

// Ends the input of the running command without running it (and ends the
// help pick): a command that interrupted another (template modes 1 to 4)
// gives way to the interrupted one, which starts again at its first step;
// any other command starts again at its first step.
void CommandCancel();

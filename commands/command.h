// The command dispatcher: every command number, whatever its source, is run
// through CommandExecute.
#pragma once

#include <cstdint>

constexpr int COMMAND_INTERNAL_FIRST = 5340;
constexpr int COMMAND_INTERNAL_LAST = 7903;

// Runs a command; remember puts it into the list of the last commands.
void CommandExecute(int commandId, int remember);

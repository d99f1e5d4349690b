// The running command's construction points, handed to the creators by index
// (g_ConstructionPoints, g_InputPointLimit entries).
#pragma once

#include "commands/command_state.h"

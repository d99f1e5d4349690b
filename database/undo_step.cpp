#include "database/undo_step.h"

int32_t g_UndoStep = 0;

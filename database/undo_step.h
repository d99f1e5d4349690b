// The current undo step: units are visible at step s when birth <= s < death.
// Read by the list filter at every test; the undo bracket moves it.
#pragma once

#include <cstdint>

extern int32_t g_UndoStep;

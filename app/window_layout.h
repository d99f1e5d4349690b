// The arrangement of the drawing windows; see app/window.h.
#pragma once

#include <windows.h>

#include "app/window.h"
#include "app/window_progress.h" // the timed-flag window class procedure

// The drawing switches of object display.
#include "app/system_display_switches.h"

DisplaySwitches g_DisplaySwitches = {0, 0, 0, 1, 1, 0};

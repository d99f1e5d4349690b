// The builder state of the plug-in interface.
#pragma once

// Closes every builder without freeing its buffer (start-up and the module
// tables' reset).
void ZviResetCreation();

// The programming interface for plug-in modules: the plug-in SDK
// (plugin/sdk/zvi.h, self-contained) and, for the program's own code, the
// internal sides of the file family, the stream and the module tables.
#pragma once

#include "plugin/sdk/zvi.h"

#include "files/zvi.h"
#include "plugin/stream.h"
#include "plugin/zvi_module.h"

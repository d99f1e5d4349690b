// The window record that conversions address; see app/window.h.
#pragma once

#include "app/window.h"

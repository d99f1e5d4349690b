// Object property dialogs: the copy-properties defaults.
#pragma once

#include <windows.h>

#include <cstdint>

#include "database/object_attributes.h"

// "COPYPROPDEFAULT" on the eleven words: 1 after OK (all copied back), else 0.
uint32_t Box14CopyPropDefault(HWND owner, const char *caption, uint32_t defaults[COPY_PROPERTY_WORDS]);

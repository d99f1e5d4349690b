// Stand-in for the working values the application frame's LocalData does
// not carry yet (comment text and settings, sketch jitter). The drawing
// settings and the font fill mode are the real ones of app/system.h.
//
// Merge note: the real records arrived beside this stand-in; the drawing
// settings are now the real record, and the remembered values read here go
// to a record of their own until LocalData carries them.
#pragma once

#include <cstdint>

#include "app/system.h"

constexpr int COMMENT_TEXT_SIZE = 8192;
constexpr int COMMENT_SETTINGS_SIZE = 72;

struct PendingLocalData {
    int32_t sketchJitter;      // percent of the step length, 0 to 100
    double sketchStep;         // millimetres
    char commentText[COMMENT_TEXT_SIZE];
    uint8_t commentSettings[COMMENT_SETTINGS_SIZE];
};

extern PendingLocalData g_PendingLocalData;
// Code that includes this header reads the stand-in under the real name.
#define g_LocalData g_PendingLocalData

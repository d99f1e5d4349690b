// The one door to the sound service: the start and exit sounds go through it.
#pragma once

#include <windows.h>

#include <cstdint>

// Plays a wave file asynchronously when it exists; 1 when it was started.
int InitPlaySound(const char *path);

// Test seam: when set, receives every sound request in place of PlaySoundA.
typedef void (*InitSoundSink)(const char *path);
extern InitSoundSink g_InitSoundSink;

// The refusal beep (MessageBeep(0)); every beep is counted.
void InitBeep();
extern uint32_t g_InitBeepCount;

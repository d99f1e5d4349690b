// The program option ObjectSize: the size of one unit buffer, from which the
// drawing database derives every size limit (MemSetLimits).
#pragma once

#include <cstdint>

constexpr uint32_t OBJECT_SIZE_KB_DEFAULT = 128;

// The option in bytes from the registry value in kilobytes (none when the
// value is missing): times 1024, clamped to 128 KB .. 1 MB, 128 KB by default.
uint32_t SystemObjectSizeFromKilobytes(const uint32_t *kilobytes);

// Fixes the option for this run and derives the size limits from it. Called
// once by the settings reader, before the work memory and the first chunk.
void SystemApplyObjectSize(const uint32_t *kilobytes);

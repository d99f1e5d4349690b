// The spacing rule of divisions and multiple copies, edited by the
// construction dialog and kept twice in the command defaults.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int CONSTRUCTION_LIST_SIZE = 20;

enum ConstructionMode : int32_t {
    CONSTRUCT_EQUAL = 0, CONSTRUCT_LOGARITHMIC, CONSTRUCT_GOLDEN, CONSTRUCT_GEOMETRIC, CONSTRUCT_ARITHMETIC,
    CONSTRUCT_LIST
};

struct ConstructionSettings {
    int32_t equalParts;
    int32_t decades;
    int32_t goldenSteps;
    int32_t geometricCount;
    int32_t arithmeticCount;
    int32_t listLength;
    int32_t listRow;
    int32_t pad;
    double geometricFirst;
    double geometricFactor;
    double arithmeticFirst;
    double arithmeticIncrement;
    double list[CONSTRUCTION_LIST_SIZE];
    int32_t mode;
    int32_t geometricCounted;
    int32_t arithmeticCounted;
    int32_t rotateCopies;
};
static_assert(sizeof(ConstructionSettings) == 60 * 4);
static_assert(offsetof(ConstructionSettings, geometricFirst) == 32);
static_assert(offsetof(ConstructionSettings, list) == 64);
static_assert(offsetof(ConstructionSettings, mode) == 224);

void CopyInitConstructionSettings(ConstructionSettings *s);

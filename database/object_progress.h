// The running command's progress counter, shown in the status bar during
// long walks over the drawing (the command sets the total): a walk resets
// it, counts each unit (showing the percentage every `every` units) and
// shows the total once more at its end.
#pragma once

#include <cstdint>

struct ObjectProgressStep {
    int entry;      // of eStatusTexts: the text shown with the percentage
    int32_t every;
};
// Walks that prepare a modification (the undo copies).
constexpr ObjectProgressStep OBJECT_PROGRESS_PREPARE = {19, 256};
// Walks that only count or collect the objects of a property edit.
constexpr ObjectProgressStep OBJECT_PROGRESS_COLLECT = {15, 512};
// Walks that change the objects.
constexpr ObjectProgressStep OBJECT_PROGRESS_CHANGE = {20, 128};

void ObjectProgressReset();
void ObjectProgressCount(const ObjectProgressStep &step);
void ObjectProgressEnd(const ObjectProgressStep &step);

// The parameter dialogs asked before a command's input starts, and again
// while it runs.
#pragma once

#include <windows.h>

#include <cstddef>

struct BlockInsertSlot;

// 1 when the input may go on (also for a command without a dialog), 0 when
// the dialog was cancelled.
int InputParameterDialog(HWND owner, int commandId);
// The second group of dialogs: the dialog's result where it has one, else 0.
int InputParameterDialog2(HWND owner, int commandId);
// Before a block of a slot is placed: the command matrix M from the slot's
// scale and angle, the block loaded when needed and its frame as R (all 0
// for an empty frame). 0 when the block cannot be found.
int InputPrepareSlotInsert(const BlockInsertSlot &slot);
// The prompt of a value dialog: entry `index` of the box texts, empty when
// the language module has none.
const char *InputBoxPrompt(int index);
// The caption of a command's dialogs: its menu text without the mnemonic
// and the shortcut.
void InputCommandCaption(int commandId, char *out, size_t size);

// Whether a command has a dialog of the first or the second group.
int InputHasParameterDialog(int commandId);
int InputHasParameterDialog2(int commandId);
// Whether a command honours the copy mode (the guide's hint, the panel's
// copy-mode picture).
int InputUsesCopyMode(int commandId);
// Asks the running command's parameters again (command 1010): 1 when a
// dialog of the first group was confirmed (the input then starts again);
// a command without a dialog beeps.
int InputAskParameters();

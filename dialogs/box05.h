// The multiple-identification box: when a pick finds several candidates, the
// caller highlights one after the other and asks here whether to take it,
// step to the next or previous one, or give up.
#pragma once

#include <windows.h>

#include <cstdint>

// Answers (the command that closed the box).
constexpr uint32_t MULTIPLE_IDENT_TAKE = 1;
constexpr uint32_t MULTIPLE_IDENT_CANCEL = 2;
constexpr uint32_t MULTIPLE_IDENT_NEXT = 550;
constexpr uint32_t MULTIPLE_IDENT_PREVIOUS = 551;

// Shows the box with the caption and the layer and pen of the highlighted
// candidate (-1 for either: no names). Returns 0 when the answer is cancel,
// and also when the box cannot be created (reported with AlertNoDialog); the
// answer is then MULTIPLE_IDENT_CANCEL, so that a caller's stepping loop ends.
// Otherwise 1.
int Box05MultipleIdent(HWND owner, const char *caption, uint32_t *answer, int32_t layer, int32_t pen);

// Test seam: when set, answers in place of the box (the caption, layer and
// pen it would show; the result is the answer, 0 meaning the box failed).
typedef uint32_t (*Box05MultipleIdentHook)(const char *caption, int32_t layer, int32_t pen);
extern Box05MultipleIdentHook g_Box05MultipleIdentHook;

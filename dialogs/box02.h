// Small modal dialogs that ask for one value: a free text or a name.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int BOX02_HELP_CONTEXT = 15081;

// Asks for a free text of at most maxLen - 1 characters. 1 on OK with text
// replaced, 0 on cancel or when the dialog cannot be shown.
int Box02EditString(HWND owner, const char *caption, const char *prompt, char *text, int maxLen);
// Asks for a name: the naming rules apply and an empty name is refused.
int Box02EditName(HWND owner, const char *caption, const char *prompt, char *name, int maxLen);

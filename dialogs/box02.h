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
// A name (an empty one allowed) and a check box with its label and value.
int Box02EditStringCheck(HWND owner, const char *caption, const char *prompt, char *text, int maxLen,
                         const char *checkLabel, uint32_t *check);

// A name pattern and its options, as the pen and layer tables apply it.
constexpr int NAME_FILTER_PATTERN_SIZE = 256;
constexpr int NAME_FILTER_PATTERN_EDIT = 249;
constexpr uint32_t NAME_FILTER_ALL = 550; // the dialog's "all entries" button
struct NameFilter {
    uint32_t all;        // 1: closed with the all-entries button
    uint32_t keep;       // add to the selection instead of replacing it
    uint32_t deselect;   // deselect the matches (only with keep)
    uint32_t matchCase;
    uint32_t choice;     // 1 every term must hit, 0 one hit is enough
    char pattern[NAME_FILTER_PATTERN_SIZE]; // terms separated by ";"
};
static_assert(sizeof(NameFilter) == 276);

constexpr int BOX02_LIST_FILTER_HELP = 15089;
// 1 when closed with OK or the all-entries button (the record copied back,
// with the pattern it had when closed by that button), 0 on cancel.
int Box02ListFilter(HWND owner, const char *caption, NameFilter *filter);

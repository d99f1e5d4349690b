// The multiline definitions editor (EDITMULTILINEDEF) and the lines of one
// multiline (MULTILINEPARAM).
#pragma once

#include <windows.h>

#include <cstdint>

struct MultiLineDef;

constexpr int BOX14_MULTILINE_DEFS_HELP = 15061;
constexpr int BOX14_MULTILINE_PARAM_HELP = 15062;

// Edits the 51 multilines on a working copy. On OK the changed records are
// written back and their change flags raised (those of unchanged records
// cleared); 1 then, 0 after Cancel or when the dialog cannot be shown.
int Box14EditMultilineDef(HWND owner, const char *caption, MultiLineDef *table, int32_t current);
// Edits the eight lines of one multiline; flag 0 keeps button 550 hidden.
// 1 after OK with the record replaced; OK needs at least one used line.
int Box14MultilineParam(HWND owner, const char *caption, MultiLineDef *def, int flag);

// The line-type definitions editor and the dash pattern dialog.
#pragma once

#include <windows.h>

#include <cstdint>

struct LineDef;

constexpr int BOX04_LINE_DEFS_HELP = 15032;
constexpr int BOX04_LINE_PATTERN_HELP = 15033;

// Edits the 501 line types on a working copy. On OK the changed records are
// written back and their change flags raised (flags of unchanged records
// cleared); 1 then, 0 on cancel or when the dialog cannot be shown.
int Box04EditLineDefs(HWND owner, const char *caption, LineDef *table, int32_t preselect);
// Edits one line type's dashes and gaps. 1 on OK with the record replaced.
int Box04EditLinePattern(HWND owner, const char *caption, LineDef *line);

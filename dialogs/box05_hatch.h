// The hatch definitions editor (HATCHDEFEDIT) and the parameters of one
// hatch (HATCHPARAM).
#pragma once

#include <windows.h>

#include <cstdint>

struct HatchDef;

constexpr int BOX05_HATCH_DEFS_HELP = 15059;
constexpr int BOX05_HATCH_PARAM_HELP = 15060;

// The multiline popups of the parameter dialog: family 1's choices from
// 13056, its bottom entry (the multiline editor) 13108; family 2's from
// 13109, bottom 13161.
constexpr int BOX05_FAMILY1_CHOICE = 13056, BOX05_FAMILY1_EDIT = 13108;
constexpr int BOX05_FAMILY2_CHOICE = 13109, BOX05_FAMILY2_EDIT = 13161;

// Edits the 101 hatches on a working copy. 1 after OK or Take with the whole
// copy written back; *index is then the hatch taken, or -1 after OK. 0 after
// Cancel or when the dialog cannot be shown.
int Box05EditHatchDefs(HWND owner, const char *caption, HatchDef *table, int32_t *index);
// Edits one hatch's line families and block pattern. 1 on OK with the record replaced.
int Box05EditHatchParam(HWND owner, const char *caption, HatchDef *def);

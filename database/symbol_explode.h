// Exploding instances into plain objects, and attribute references in texts.
#pragma once

#include <cstdint>

#include "database/unit.h"

// Explodes every alive instance of the drawing carrying every bit of mask
// that the mode admits (0: all but "#" own blocks, 1: groups "#G", 2:
// position blocks "#P", other: all); copies go in front of each instance,
// which is stamped deleted unless keepInstances. Runs inside the caller's
// undo step; 1 when something was exploded and nothing failed.
int SymbolExplode(uint32_t mask, int keepInstances, int mode);
int SymbolExplodeInstance(Unit *instance, int skipAutoNumbers);
// out := member with its texts written anew as the current instance shows them.
void SymbolFreezeTexts(const Unit *member, Unit *out);
// The value a reference ~name~ takes in that instance or block: an attribute
// of the instance, then of its block (and, in a "#" block, of its instance
// members), or a built-in key "*0" to "*9" of the placement. 1 found; 0 with
// the placeholder text (or out untouched for no unit or a degenerate placement).
int SymbolResolveAttributeText(Unit *unit, const char *name, char *out, int *builtIn, int number);

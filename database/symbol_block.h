// The least of the block half of the symbol module: creating the drawing's
// own blocks and their members, instances that name them, the name-sorted
// index of the own blocks, and the check that no block contains itself.
#pragma once

#include <cstdint>

#include "database/unit.h"
#include "geometry/matrix.h"

constexpr int32_t SYMBOL_OWN_BLOCKS_MAX = 20000;  // blocks in a drawing
constexpr int SYMBOL_NESTING_MAX = 20;             // levels followed through instances

// A new empty block of that name in the list (list 1: the drawing's own
// blocks), always existing (not undoable), with a zero frame; 0 when the
// name is empty or too long, or memory runs out.
Unit *SymbolNewBlock(int list, const char *name);
// Appends a copy of a prepared unit (kind 0, 1 or 9) to the block's members;
// the stored member, or 0.
Unit *SymbolAddMember(int list, Unit *block, const Unit *record);
// Fills a unit buffer with an instance (kind 1) of the named block, with the
// placement matrix {a, b, c, d, tx, ty}, the default property and an empty
// attribute chain; its byte size, or 0 when the names do not fit.
uint32_t SymbolMakeInstance(Unit *buffer, uint32_t capacity, const char *library, const char *blockName,
                            const Matrix *placement);

// Rebuilds g_OwnBlockIndex from list 1 in ascending name order.
void SymbolRebuildOwnIndex();
// Recomputes the frames of every block of the symbol libraries and of the
// drawing's own blocks, then of every instance and plug-in object of the
// drawing: after a load, whose reader gives instances no frame.
void SymbolRecalcFrames();
// Deletes every block of the list with its members, for good.
void SymbolClearBlocks(int list);
// A block of the list that contains itself through instances of its members,
// directly or through other blocks of the list; 0 when there is none.
// Instances whose cycle was broken no longer count.
Unit *SymbolFindSelfContaining(int list);
// Breaks every such cycle where it closes: the member instance that would
// enter a block it lies in is marked (INSTANCE_CLOSES_CYCLE) and is never
// expanded; it stays in the block and in the file. The number of instances
// marked; the first block entered again goes to firstBlock when not null.
int SymbolBreakCycles(int list, Unit **firstBlock);

// Drawing objects built directly in the object lists, for tests that need a
// drawing without going through the commands.
#pragma once

#include <cstdint>
#include <vector>

#include "database/unit.h"

// Empty object lists over one fresh chunk, as a new drawing starts; false
// when the chunk cannot be had.
bool TestFreshObjectLists();

// A plain object of the type with its element chain in the list; the points
// (x, y pairs) are written in chain order into the point elements, and the
// frame is the points' box. `points` is the number of point elements the
// chain gets (0: as many as the list gives). Null when it cannot be built.
Unit *TestNewObject(int list, int32_t type, const std::vector<double> &xy, uint32_t points = 0);

// A line object in list 0 from (x1, y1) to (x2, y2) with the default pen.
Unit *TestNewLine(double x1, double y1, double x2, double y2);

// Appends a line from (x1, y1) to (x2, y2) to a block's members (built in
// list 0, copied, then removed there) and works out the block's frame anew;
// false when it cannot be stored.
bool TestAddLineToBlock(Unit *block, double x1, double y1, double x2, double y2);

// Selects a unit as the selection commands do: its flag, and the undo note
// by which the modify walks find it.
void TestSelect(Unit *u);

// Sets a unit's frame to the box of the points (x, y pairs).
void TestSetFrameFromPoints(Unit *u, const std::vector<double> &xy);

// Marks a unit as present in every step with the default properties.
void TestInitUnitHeader(Unit *u);

// The units of list 0 visible at the current undo step, in drawing order.
std::vector<Unit *> TestAliveUnits();

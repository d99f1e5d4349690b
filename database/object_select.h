// Selection, marks and extents: every operation that sets, toggles, clears or
// normalises the selected bits of objects and of their points, the user's
// selection filter, the marking of objects for a later pass, and the extents
// of the visible, printable and selected objects. Selecting toggles: a
// selected object or point is deselected by the same operation, and each one
// toggled is marked for a selection redraw (0x20). The running command's
// state says whether some object and some point are selected (its
// objectsSelected and pointsSelected words): the input machine reads them to
// decide whether a reset has anything to clear.
#pragma once

#include <cstdint>

#include "database/unit.h"

int ObjectPassesSelectionFilter(Unit *unit);

// Extents into g_ExtentsRect; the number of units counted.
int ObjectExtentsVisible(int list, uint32_t mask);
int ObjectExtentsPrintable(int list, uint32_t mask);
int ObjectExtentsSelected(int list, uint32_t mask);

void ObjectMarkByMask(int list, uint32_t mask);
void ObjectMarkCreatedInStep();

int ObjectDeselectAll();
int ObjectSelectionReset();
int ObjectSelectByMask(uint32_t mask, int includeLocked);
int ObjectSelectAnnotations(uint32_t mask);
int ObjectSelectTexts(uint32_t mask);
int ObjectSelectDimAndLines(uint32_t mask);
int ObjectSelectDims(uint32_t mask);
int ObjectSelectComments(uint32_t mask);
int ObjectSelectInstances(uint32_t mask);
// skipMark 0 or 1: objects whose user mark equals it are passed over; negative: none.
int ObjectSelectByRectangle(double x1, double y1, double x2, double y2, int skipMark, int includeLocked);
int ObjectSelectByIdent(int32_t ident);

void ObjectUpdatePointSelection();
int ObjectDeselectAllPoints();
int ObjectClearPointSelection();
int ObjectSelectPointsByMask(uint32_t mask);
int ObjectSelectPointsNear(int window, double x, double y);
int ObjectSelectPointsInRect(double x1, double y1, double x2, double y2);
// The extents of the point elements sharing a bit with pointMask (all when
// 0) into g_ExtentsRect; the number of objects with such points. Bit 0x8 of
// each object follows whether it has them; the points lose their redraw bit.
int ObjectExtentsSelectedPoints(uint32_t pointMask);

// The pick aperture of a window in millimetres: pixels over the window's scale.
double ObjectPickRadius(int window, int32_t pixels);

// Conversions of one object's element chain into another form, written into
// a target buffer of the scratch size (Universal1 or Uni2). Each leaves a
// plain byte copy of the source in the target when the conversion does not
// apply, so that a caller may store the target either way.
#pragma once

#include <cstdint>

#include "database/unit.h"

// A form that every affine matrix maps exactly: circles and circular arcs,
// sectors and segments become their elliptic twins, a construction circle a
// construction ellipse, the arcs of paths Bezier pieces. 1 when converted,
// 0 when the type needs nothing or the rewritten path would not fit in one
// object (target is then a plain copy).
int TransformDistortable(const Unit *source, Unit *target);
// The same object joining its start and end in the other direction (arcs,
// sectors, segments of circles and ellipses, and curved line strings).
int TransformInvert(const Unit *source, Unit *target);
// The object as the new type where its geometry allows; 0 otherwise.
int TransformObjectType(const Unit *source, Unit *target, int32_t newType);

// Fetch, change and store one object undo-aware. Universal1 is held by the
// caller from the fetch (or the conversion into it) to the store; these do
// not take it themselves.

// A whole copy of the alive object with that ident in Universal1; the old
// area g_ExtentsRect becomes its frame. Null with alert 5 when not found.
Unit *TransformFetchUnit(int32_t ident);
// Universal1 as a new object in front of the object with that ident, with
// its user mark; keep = 0 stamps the old one deleted. The new area is the
// new object's frame.
int TransformStoreUnit(int32_t ident, int keep);
// Universal1 as a new object behind anchor (at the list's tail when null),
// taking the anchor's user mark and the given flag bits; the new area is
// replaced by its frame. keep = 0 stamps anchor and other deleted.
int TransformReplaceUnit(Unit *other, Unit *anchor, int keep, uint32_t bits);
// Universal1 behind the object with that ident with its user mark and
// XProperty; the old object is deleted unless copy mode is on.
int TransformReplaceByIdent(int32_t ident);

// The Curve or Surface form of the object (lines and the circle family);
// 0 when it cannot be written.
int TransformCurveSurface(const Unit *source, Unit *target);

// Joins the closed outlines among the alive objects whose flags hold every
// bit of mask (circles, sectors, segments, ellipses and Surfaces) into one
// Surface at the list's tail (flag bits 0x80 on it when flag); the used
// objects are deleted. Other objects are left after one question. 0 on
// cancel, when nothing was joined (alert 8) or the result is too large
// (alert 27).
int TransformSelectionToSurface(uint32_t mask, int flag);
// Splits every selected Curve and Surface into one object per contour (the
// mask is not read; flag bits 0x40 on the parts, 0x80 when flag). The new
// area is the union of the split objects' frames. 0 when none was selected
// (alert 8) or a store failed.
int TransformSplitParts(uint32_t mask, int flag);
// Cuts the object of the first input point after its vertex nearest to that
// point into two objects. 0 when there is no inner vertex (alert 8).
int TransformCutAtVertex();
// The path traversed backwards (contours in reverse order, each reversed);
// attribute elements are dropped. 0 when it does not fit.
int TransformReversePath(const Unit *source, Unit *target);
// The Surface with the contour holding the vertex nearest to point starting
// at that vertex.
int TransformSetContourStart(const Unit *source, Unit *target, const double point[2]);

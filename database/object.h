// Object headers and object creation: the creators turn construction points
// into stored plain objects with the current pen and layer, stamped in the
// open undo step, framed and drawn.
#pragma once

#include <cstdint>

#include "database/object_flags.h"
#include "database/unit.h"

// Default slots by kind of new object.
constexpr int DEFAULT_PEN_LINESTR_DIM = 0;   // LineStr, LineCurved, dimensions
constexpr int DEFAULT_PEN_DIM_TEXT = 1;      // text records of dimensions
constexpr int DEFAULT_PEN_TEXT = 2;          // StdText, FrameText
constexpr int DEFAULT_PEN_REFTEXT = 3;
constexpr int DEFAULT_PEN_GEO = 4;           // construction objects
constexpr int DEFAULT_LAYER_MARK = 0;
constexpr int DEFAULT_LAYER_SURFACE = 1;
constexpr int DEFAULT_LAYER_LINESTR_DIM = 2;
constexpr int DEFAULT_LAYER_TEXT = 3;
constexpr int DEFAULT_LAYER_HATCH = 4;
constexpr int DEFAULT_LAYER_INSTANCE = 5;
constexpr int DEFAULT_LAYER_GEO = 6;
constexpr int DEFAULT_LAYER_GROUP = 7;

// The question asked before an object is created on a layer or with a pen
// that is hidden, locked or not pickable (eAlertTextSM entries).
constexpr int ALERT_LAYER_PEN_HIDDEN = 71;
constexpr int ALERT_LAYER_PEN_LOCKED = 72;
constexpr int ALERT_LAYER_PEN_NOPICK = 73;

// Unit flag 0x8 follows the selection bit of the unit's point elements.
void ObjectUpdatePointFlag(Unit *unit);

void ObjectInitHeader(Unit *unit, int32_t type);
int ObjectInitHeaderFlags(Unit *unit, int32_t type);
XProperty *ObjectPropertyFromSlots(XProperty *record, int32_t pen, int32_t layer, int setOwn);
void ObjectPropertyForElement(Element *element);
// A record whose font names a font (its first word not 0) takes the filled-font
// fill mode when that is 0 or more.
void ObjectPropertyFontFill(const void *record, XProperty *property);
int ObjectCheckCurrentLayerPen(int32_t type);

// Creators: 1 on success, 0 otherwise; points are indexes into g_ConstructionPoints.
int ObjectNewLine(int32_t type, int start, int end);
int ObjectNewZigzag(int start, int end, int sizePoint);
int ObjectNewPolyline(int32_t type, int n);
int ObjectNewPolygon(int centre, int corner, int direction, int32_t corners);
int ObjectNewCircle(int32_t type, int centre, int onCircle);
int ObjectNewCircleArc(int32_t type, int centre, int radius, int start, int end, int orientation);
int ObjectNewEllipse(int32_t type, int centre, int axis1, int axis2);
int ObjectNewEllipseArc(int32_t type, int centre, int axis1, int axis2, int start, int end, int orientation);
int ObjectNewPath(int32_t type, int n);
int ObjectNewPolylineFromArray(int32_t type, const double *points, int n);
int ObjectNewMarks(const double *points, int n);
int ObjectNewComment();
// The comment read back: its text (stored form) and its 72-byte settings
// record; 1, or 0 for a unit that is no comment.
int ObjectCommentOf(const Unit *comment, char *text, int textSize, void *settings);
// Replaces a comment by a copy with the text and the settings record, inside
// the caller's undo step; the old frame goes to g_ExtentsRect, the new one to
// g_ChangedRect. 1, or 0 when the copy could not be stored.
int ObjectReplaceComment(Unit *comment, const char *text, const void *settings);
int ObjectNewBitmapRef(double x, double y, const char *fileName, const char *imageName, int embed);
// The linked images of the Bitmap objects of the drawing carrying mask get
// embedded names and their files' bytes; the number embedded.
int ObjectEmbedBitmaps(uint32_t mask);
// Lines with line ends and dimensions, from construction points 0 onwards
// and the drawing's current dimension settings (object_create_dim.cpp). The
// variant is 0 to 12, or 0 to 2 for DimCoord; another number creates nothing.
int ObjectNewLineStr(int start, int end);
int ObjectNewLineCurved(int centre, int radius, int start, int end, int orientation);
int ObjectNewDimDist(int variant);
int ObjectNewDimRadius(int32_t type, int variant);
int ObjectNewDimAngle(int variant);
int ObjectNewDimArc(int variant);
int ObjectNewDimCoord(int variant);
// The dimension parameters and one group of the drawing's dimension settings
// (ATTR_LINE_END record 0 or 1, ATTR_DIM_LARGE 0 to 12, ATTR_DIM_SMALL 0 to 2)
// into an attribute collection for the dimension dialogs, and back.
struct ObjectAttributes;
void ObjectDimAttributesFromSettings(ObjectAttributes *set, int32_t group, int variant);
void ObjectDimAttributesToSettings(const ObjectAttributes *set, int32_t group, int variant);

void ObjectDrawNewMarkers(int window);
void ObjectDrawNewMarkersAll();
// Deletes for good every unit of lists 0 and 2 (a new drawing replaces the old).
void ObjectPurgeAll();

// Stamps deleted the alive objects that carry every bit of mask and are
// neither hidden nor locked; 1 when any was deleted. g_ExtentsRect then holds
// the frame of what disappeared.
int ObjectDeleteSelected(uint32_t mask);
// The same for construction objects (45 to 47) only, and for comments (40) only.
int ObjectDeleteGeo(uint32_t mask);
int ObjectDeleteComments(uint32_t mask);

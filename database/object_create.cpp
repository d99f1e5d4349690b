#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "app/darad4.h"
#include "app/init_gdi.h"
#include "app/system_defs.h"
#include "app/system.h"
#include "app/window.h"
#include "app/window_title.h"
#include "commands/input_points.h"
#include "database/init.h"
#include "database/object.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "database/undo_step.h"
#include "dialogs/alert.h"
#include "display/output.h"
#include "display/output_select.h"
#include "display/output_penlayer.h"
#include "display/screen.h"
#include "display/symbol.h"
#include "files/file_drawinginfo.h"
#include "files/file_records.h"
#include "files/image_file.h"
#include "files/image_list.h"
#include "files/image_names.h"
#include "geometry/flat.h"
#include "geometry/frame.h"
#include "language/language.h"

namespace {

constexpr uint32_t kUnitLine = 200;          // header, two points, end
constexpr uint32_t kUnitZigzag = 224;
constexpr uint32_t kUnitCircle = 200;
constexpr uint32_t kUnitCircleArc = 312;
constexpr uint32_t kUnitEllipse = 232;
constexpr uint32_t kUnitEllipseArc = 352;
constexpr uint32_t kUnitBitmap = 456;
constexpr uint32_t kUnitPerPointBase = UNIT_ELEMENTS_OBJECT + ELEM_SIZE_END; // 136 + 32 n
constexpr int kCommentTextCapacity = TEXT_CAPACITY_LONG;
constexpr int32_t kClipFillMode = 2;

bool ValidPenIndex(int32_t pen) { return pen >= 0 && pen < PEN_SLOTS; }

// Fill mode, colours, line type, width and cap and join from set B of a pen.
void CopyPenSetB(XProperty &p, int32_t pen)
{
    if (!ValidPenIndex(pen))
        return;
    const Property &b = g_PenDefs[pen].setB;
    p.fillMode = b.fillMode;
    p.color1 = b.color1;
    p.color2 = b.color2;
    p.lineType = b.lineType;
    p.width = b.width;
    p.capJoin = b.capJoin;
}

int32_t DefaultPen(int slot) { return g_DefaultPens[slot]; }
int32_t DefaultLayer(int slot) { return g_DefaultLayers[slot]; }

// The attributes a new object of the type gets: the active pen and layer,
// then the default slots of its kind.
XProperty HeaderProperty(int32_t type)
{
    XProperty p{};
    p.pen = g_ActivePen;
    p.layer = g_ActiveLayer;
    CopyPenSetB(p, g_ActivePen);
    switch (type) {
    case OBJTYPE_LINE_STR:
    case OBJTYPE_LINE_CURVED:
    case OBJTYPE_DIM_DIST:
    case OBJTYPE_DIM_RAD:
    case OBJTYPE_DIM_DIA:
    case OBJTYPE_DIM_ANGLE:
    case OBJTYPE_DIM_ARC:
    case OBJTYPE_DIM_COORD:
    case OBJTYPE_DIM_AREA:
    case OBJTYPE_DIM_PERI:
        ObjectPropertyFromSlots(&p, DefaultPen(DEFAULT_PEN_LINESTR_DIM), DefaultLayer(DEFAULT_LAYER_LINESTR_DIM), 0);
        break;
    case OBJTYPE_STD_TEXT:
    case OBJTYPE_FRAME_TEXT:
        ObjectPropertyFromSlots(&p, DefaultPen(DEFAULT_PEN_TEXT), DefaultLayer(DEFAULT_LAYER_TEXT), 0);
        break;
    case OBJTYPE_REF_TEXT:
        ObjectPropertyFromSlots(&p, DefaultPen(DEFAULT_PEN_REFTEXT), DefaultLayer(DEFAULT_LAYER_TEXT), 0);
        break;
    case OBJTYPE_MARK: ObjectPropertyFromSlots(&p, -1, DefaultLayer(DEFAULT_LAYER_MARK), 0); break;
    case OBJTYPE_CLIP:
        p.ownFlags = XPROP_OWN_FILL;
        p.fillMode = kClipFillMode;
        break;
    case OBJTYPE_GEO_LINE:
    case OBJTYPE_GEO_CIRCLE:
    case OBJTYPE_GEO_ELLI:
        ObjectPropertyFromSlots(&p, DefaultPen(DEFAULT_PEN_GEO), DefaultLayer(DEFAULT_LAYER_GEO), 0);
        break;
    default: break;
    }
    return p;
}

const char *AlertText(int entry)
{
    const char *text = eAlertTextSM[entry];
    return text ? text : "";
}

// Allocates a unit of its final size at the tail of list 0 with its kind
// part set, or shows the alert: no unit is left behind on failure.
Unit *NewUnit(int32_t type, uint32_t bytes)
{
    Unit *unit = nullptr;
    if (bytes <= UNIT_ELEMENTS_OBJECT + g_ObjectLimits.maxUnitData)
        unit = MemListNewObject(LIST_DRAWING, bytes, nullptr);
    if (!unit) {
        AlertSM2(g_MainWnd);
        return nullptr;
    }
    unit->flags = 0;
    unit->kind = UNIT_KIND_OBJECT;
    unit->object.type = type;
    unit->object.reserved = OBJTYPE_RESERVED;
    return unit;
}

// Header, frame and drawing of a stored unit whose chain is written.
int Finish(Unit *unit, int32_t type)
{
    ObjectInitHeaderFlags(unit, type);
    FrameCalcObject(unit, 0);
    ObjectDrawNewMarkersAll();
    return 1;
}

// Closes a chain written in place; a chain that did not fit its unit is
// taken out again.
int EndInPlace(ChainWriter &w, Unit *unit, int32_t type)
{
    if (!InitChainEnd(&w)) {
        MemListDelete(LIST_DRAWING, unit);
        AlertSM2(g_MainWnd);
        return 0;
    }
    return Finish(unit, type);
}

// Stores a unit assembled in a scratch buffer at the tail of list 0.
Unit *StoreCopy(const Unit *assembled)
{
    Unit *unit = MemListNewCopyAfter(LIST_DRAWING, assembled, assembled->bytes, nullptr);
    if (!unit)
        AlertSM2(g_MainWnd);
    return unit;
}

void BeginScratch(Unit *buffer, int32_t type)
{
    std::memset(buffer, 0, UNIT_ELEMENTS_OBJECT);
    buffer->kind = UNIT_KIND_OBJECT;
    buffer->object.type = type;
    buffer->object.reserved = OBJTYPE_RESERVED;
}

const ConstructionPoint &Cp(int i) { return g_ConstructionPoints[i]; }

Element *ChainCp(ChainWriter &w, int16_t kind, int i) { return InitChainPoint(&w, kind, Cp(i).x, Cp(i).y); }

int NewPointList(int32_t type, int n, const double *xy, int16_t firstKind, int16_t otherKind)
{
    const uint32_t bytes = kUnitPerPointBase + ELEM_SIZE_POINT * (uint32_t)n;
    Unit *unit = NewUnit(type, bytes);
    if (!unit)
        return 0;
    ChainWriter w;
    InitChainBegin(&w, unit, bytes);
    for (int i = 0; i < n; ++i) {
        const double x = xy ? xy[2 * i] : Cp(i).x;
        const double y = xy ? xy[2 * i + 1] : Cp(i).y;
        InitChainPoint(&w, i == 0 ? firstKind : otherKind, x, y);
    }
    return EndInPlace(w, unit, type);
}

// The largest n whose unit of 32-byte points still fits; guards the size
// computation against overflow.
bool TooManyPoints(int n)
{
    return (uint32_t)n > g_ObjectLimits.maxUnitData / ELEM_SIZE_POINT + 1;
}

} // namespace

// ---------------------------------------------------------------------------

void ObjectUpdatePointFlag(Unit *unit)
{
    const uint8_t *end = reinterpret_cast<uint8_t *>(unit) + unit->bytes;
    bool selected = false;
    for (const Element *e = UnitFirstElement(unit);
         reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->kind != ELEM_END &&
         e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e)) {
        if (ElementIsPoint(e) && (e->pointFlags & POINT_SELECTED)) {
            selected = true;
            break;
        }
    }
    if (selected)
        unit->flags |= UNIT_POINTS_SELECTED;
    else
        unit->flags &= ~UNIT_POINTS_SELECTED;
}

XProperty *ObjectPropertyFromSlots(XProperty *record, int32_t pen, int32_t layer, int setOwn)
{
    if (pen >= 0) {
        record->pen = pen;
        CopyPenSetB(*record, pen);
        if (setOwn)
            record->ownFlags |= XPROP_OWN_PEN;
    } else {
        record->pen = g_ActivePen;
        if (g_ActivePen == 0)
            CopyPenSetB(*record, 0);
    }
    if (layer >= 0) {
        record->layer = layer;
        if (setOwn)
            record->ownFlags |= XPROP_OWN_LAYER;
    } else {
        record->layer = g_ActiveLayer;
    }
    return record;
}

void ObjectInitHeader(Unit *unit, int32_t type)
{
    unit->object.reserved = OBJTYPE_RESERVED;
    unit->module = 0;
    unit->kind = UNIT_KIND_OBJECT;
    unit->object.type = type;
    unit->property = HeaderProperty(type);
    UndoStampCreated(unit);
}

int ObjectInitHeaderFlags(Unit *unit, int32_t type)
{
    ObjectInitHeader(unit, type);
    return ObjectUpdateDisplayFlags(unit);
}

void ObjectPropertyForElement(Element *element)
{
    int penSlot, layerSlot;
    switch (element->kind) {
    case ELEM_DIM_LARGE:
    case ELEM_DIM_SMALL: penSlot = DEFAULT_PEN_DIM_TEXT, layerSlot = DEFAULT_LAYER_LINESTR_DIM; break;
    case ELEM_TEXT_STANDARD:
    case ELEM_TEXT_FRAME: penSlot = DEFAULT_PEN_TEXT, layerSlot = DEFAULT_LAYER_TEXT; break;
    case ELEM_CLIP_SURFACE: {
        const XProperty defaults = XPropertyDefault();
        std::memcpy(ElementPayload(element), &defaults, sizeof defaults);
        return;
    }
    default: return;
    }
    uint8_t *payload = static_cast<uint8_t *>(ElementPayload(element));
    XProperty property;
    std::memcpy(&property, payload + RECORD_XPROPERTY_OFFSET, sizeof property);
    ObjectPropertyFromSlots(&property, DefaultPen(penSlot), DefaultLayer(layerSlot), 1);
    ObjectPropertyFontFill(payload, &property);
    std::memcpy(payload + RECORD_XPROPERTY_OFFSET, &property, sizeof property);
}

void ObjectPropertyFontFill(const void *record, XProperty *property)
{
    uint32_t fontKind;
    std::memcpy(&fontKind, record, sizeof fontKind);
    if (fontKind != 0 && g_FontFillMode >= 0) {
        property->ownFlags |= XPROP_OWN_FILL;
        property->fillMode = g_FontFillMode;
    }
}

int ObjectCheckCurrentLayerPen(int32_t type)
{
    const XProperty p = HeaderProperty(type);
    const int layer = LayerIsDefined(p.layer) ? p.layer : 0;
    const int pen = PenIsDefined(p.pen) ? p.pen : 0;
    int entry = 0;
    if (!OutputIsLayerShownScreen(layer) || !OutputIsPenShownScreen(pen))
        entry = ALERT_LAYER_PEN_HIDDEN;
    else if (OutputIsLayerLocked(layer) || OutputIsPenLocked(pen))
        entry = ALERT_LAYER_PEN_LOCKED;
    else if (OutputIsLayerNoPick(layer) || OutputIsPenNoPick(pen))
        entry = ALERT_LAYER_PEN_NOPICK;
    if (entry == 0)
        return 1;
    return AlertButtons62(g_MainWnd, AlertText(entry)) == ALERT_CANCEL ? 0 : 1;
}

// ---------------------------------------------------------------------------

int ObjectNewLine(int32_t type, int start, int end)
{
    if (!ObjectCheckCurrentLayerPen(type))
        return 0;
    Unit *unit = NewUnit(type, kUnitLine);
    if (!unit)
        return 0;
    ChainWriter w;
    InitChainBegin(&w, unit, kUnitLine);
    ChainCp(w, POINT_START, start);
    ChainCp(w, POINT_LINE, end);
    return EndInPlace(w, unit, type);
}

int ObjectNewZigzag(int start, int end, int sizePoint)
{
    if (!ObjectCheckCurrentLayerPen(OBJTYPE_ZIGZAG))
        return 0;
    Unit *unit = NewUnit(OBJTYPE_ZIGZAG, kUnitZigzag);
    if (!unit)
        return 0;
    ChainWriter w;
    InitChainBegin(&w, unit, kUnitZigzag);
    ChainCp(w, POINT_START, start);
    ChainCp(w, POINT_LINE, end);
    InitChainConstant(&w, Cp(sizePoint).x);
    return EndInPlace(w, unit, OBJTYPE_ZIGZAG);
}

int ObjectNewPolyline(int32_t type, int n)
{
    if (!ObjectCheckCurrentLayerPen(type))
        return 0;
    if (n < 2)
        return 0;
    if (TooManyPoints(n) || n > g_InputPointLimit) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    return NewPointList(type, n, nullptr, POINT_START, POINT_LINE);
}

int ObjectNewPolylineFromArray(int32_t type, const double *points, int n)
{
    if (!ObjectCheckCurrentLayerPen(type))
        return 0;
    if (n < 2 || !points)
        return 0;
    if (TooManyPoints(n)) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    return NewPointList(type, n, points, POINT_START, POINT_LINE);
}

int ObjectNewMarks(const double *points, int n)
{
    if (!ObjectCheckCurrentLayerPen(OBJTYPE_MARK))
        return 0;
    if (n < 1 || !points)
        return 0;
    if (TooManyPoints(n)) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    return NewPointList(OBJTYPE_MARK, n, points, POINT_MARK, POINT_MARK);
}

int ObjectNewPolygon(int centre, int corner, int direction, int32_t corners)
{
    if (!ObjectCheckCurrentLayerPen(OBJTYPE_SURFACE))
        return 0;
    PathPoint *path = g_WorkArrays.pathPoints;
    if (!path)
        return 0;
    path[0] = {Cp(centre).x, Cp(centre).y};
    path[1] = {Cp(corner).x, Cp(corner).y};
    path[2] = {Cp(direction).x, Cp(direction).y};
    const int32_t r = FlatAddPolygon(path, 0, corners);
    if (r < 1)
        return 0;
    if (TooManyPoints(r)) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    const uint32_t bytes = kUnitPerPointBase + ELEM_SIZE_POINT * (uint32_t)r;
    Unit *unit = NewUnit(OBJTYPE_SURFACE, bytes);
    if (!unit)
        return 0;
    ChainWriter w;
    InitChainBegin(&w, unit, bytes);
    for (int32_t i = 0; i < r; ++i)
        InitChainPoint(&w, i == 0 ? POINT_START : POINT_LINE, path[i].x, path[i].y);
    return EndInPlace(w, unit, OBJTYPE_SURFACE);
}

int ObjectNewCircle(int32_t type, int centre, int onCircle)
{
    if (!ObjectCheckCurrentLayerPen(type))
        return 0;
    Unit *unit = NewUnit(type, kUnitCircle);
    if (!unit)
        return 0;
    ChainWriter w;
    InitChainBegin(&w, unit, kUnitCircle);
    ChainCp(w, POINT_CENTRE, centre);
    ChainCp(w, POINT_ON_CIRCLE, onCircle);
    return EndInPlace(w, unit, type);
}

int ObjectNewCircleArc(int32_t type, int centre, int radius, int start, int end, int orientation)
{
    if (!ObjectCheckCurrentLayerPen(type))
        return 0;
    Unit *unit = NewUnit(type, kUnitCircleArc);
    if (!unit)
        return 0;
    ChainWriter w;
    InitChainBegin(&w, unit, kUnitCircleArc);
    ChainCp(w, POINT_CENTRE, centre);
    ChainCp(w, POINT_ON_CIRCLE, radius);
    ChainCp(w, POINT_ARC_END, start);
    ChainCp(w, POINT_ARC_END, end);
    InitChainOrient(&w, Cp(orientation).x);
    InitChainRecord(&w, ELEM_SUB_CIRCLE_ARC, ELEM_SIZE_SUB_CIRCLE_ARC);
    return EndInPlace(w, unit, type);
}

int ObjectNewEllipse(int32_t type, int centre, int axis1, int axis2)
{
    if (!ObjectCheckCurrentLayerPen(type))
        return 0;
    Unit *unit = NewUnit(type, kUnitEllipse);
    if (!unit)
        return 0;
    ChainWriter w;
    InitChainBegin(&w, unit, kUnitEllipse);
    ChainCp(w, POINT_CENTRE, centre);
    ChainCp(w, POINT_AXIS_END, axis1);
    ChainCp(w, POINT_AXIS_END, axis2);
    return EndInPlace(w, unit, type);
}

int ObjectNewEllipseArc(int32_t type, int centre, int axis1, int axis2, int start, int end, int orientation)
{
    if (!ObjectCheckCurrentLayerPen(type))
        return 0;
    Unit *unit = NewUnit(type, kUnitEllipseArc);
    if (!unit)
        return 0;
    ChainWriter w;
    InitChainBegin(&w, unit, kUnitEllipseArc);
    ChainCp(w, POINT_CENTRE, centre);
    ChainCp(w, POINT_AXIS_END, axis1);
    ChainCp(w, POINT_AXIS_END, axis2);
    ChainCp(w, POINT_ARC_END, start);
    ChainCp(w, POINT_ARC_END, end);
    InitChainOrient(&w, Cp(orientation).x);
    InitChainRecord(&w, ELEM_SUB_ELLIPSE_ARC, ELEM_SIZE_SUB_ELLIPSE_ARC);
    return EndInPlace(w, unit, type);
}

int ObjectNewPath(int32_t type, int n)
{
    if (!ObjectCheckCurrentLayerPen(type))
        return 0;
    if (n < 2 || n > g_InputPointLimit)
        return 0;
    // The chain closes behind the last line point or curve parameter.
    int last = -1;
    for (int i = 0; i < n; ++i)
        if (Cp(i).type == CPOINT_LINE || Cp(i).type == CPOINT_ARC_PARAMETER)
            last = i;
    if (last < 0)
        return 0;
    ScratchUni1 scratch(__FILE__, __LINE__);
    if (!scratch)
        return 0;
    Unit *buffer = reinterpret_cast<Unit *>(g_Universal1);
    BeginScratch(buffer, type);
    ChainWriter w;
    InitChainBegin(&w, buffer, g_ObjectLimits.scratchSize);
    for (int i = 0; i <= last; ++i) {
        switch (Cp(i).type) {
        case CPOINT_START: ChainCp(w, POINT_START, i); break;
        case CPOINT_LINE: ChainCp(w, POINT_LINE, i); break;
        case CPOINT_CONTROL1:
        case CPOINT_CONTROL2:
        case CPOINT_ARC_END: ChainCp(w, (int16_t)Cp(i).type, i); break;
        case CPOINT_ARC_PARAMETER: InitChainCurve(&w, Cp(i).x, Cp(i).y); break;
        default: break;
        }
    }
    if (!InitChainEnd(&w)) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    ObjectInitHeaderFlags(buffer, type);
    Unit *unit = StoreCopy(buffer);
    scratch.Release();
    if (!unit)
        return 0;
    FrameCalcObject(unit, 0);
    ObjectDrawNewMarkersAll();
    return 1;
}

int ObjectNewComment()
{
    if (!ObjectCheckCurrentLayerPen(OBJTYPE_COMMENT))
        return 0;
    ScratchUni1 scratch(__FILE__, __LINE__);
    if (!scratch)
        return 0;
    Unit *buffer = reinterpret_cast<Unit *>(g_Universal1);
    BeginScratch(buffer, OBJTYPE_COMMENT);
    ChainWriter w;
    InitChainBegin(&w, buffer, g_ObjectLimits.scratchSize);
    ChainCp(w, POINT_AUX, 0);
    ChainCp(w, POINT_AUX, 1);
    char text[kCommentTextCapacity];
    lstrcpynA(text, g_LocalData.texts[LOCAL_COMMENT_TEXT], kCommentTextCapacity);
    InitChainText(&w, text, TEXT_CAPACITY_LONG, false);
    Element *data = InitChainRecord(&w, ELEM_COMMENT, ELEM_SIZE_COMMENT);
    if (data)
        std::memcpy(ElementPayload(data), g_LocalData.commandValues + LOCAL_COMMENT_SETTINGS, COMMENT_SETTINGS_SIZE);
    if (!InitChainEnd(&w)) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    ObjectInitHeaderFlags(buffer, OBJTYPE_COMMENT);
    Unit *unit = StoreCopy(buffer);
    scratch.Release();
    if (!unit)
        return 0;
    FrameCalcObject(unit, 0);
    g_DrawingInfo.commentsChanged = 1;
    WindowUpdateTitle(g_MainWnd);
    ObjectDrawNewMarkersAll();
    return 1;
}

namespace {

bool IsComment(const Unit *u)
{
    return u && u->kind == UNIT_KIND_OBJECT && u->object.type == OBJTYPE_COMMENT;
}

// The comment's chain: its two points, text and settings record.
struct CommentParts {
    const ElementPoint *points[2] = {nullptr, nullptr};
    const char *text = nullptr;
    const void *settings = nullptr;
};

CommentParts PartsOf(const Unit *u)
{
    CommentParts parts;
    int points = 0;
    const uint8_t *end = reinterpret_cast<const uint8_t *>(u) + u->bytes;
    for (const Element *e = UnitFirstElement(u);
         reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->kind != ELEM_END &&
         e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e)) {
        if (ElementIsPoint(e) && points < 2)
            parts.points[points++] = reinterpret_cast<const ElementPoint *>(e);
        else if (e->kind == ELEM_TEXT && !parts.text)
            parts.text = static_cast<const char *>(ElementPayload(e));
        else if (e->kind == ELEM_COMMENT)
            parts.settings = ElementPayload(e);
    }
    return parts;
}

} // namespace

int ObjectCommentOf(const Unit *comment, char *text, int textSize, void *settings)
{
    if (!IsComment(comment))
        return 0;
    const CommentParts parts = PartsOf(comment);
    if (text && textSize > 0)
        lstrcpynA(text, parts.text ? parts.text : "", textSize);
    if (settings) {
        if (parts.settings)
            std::memcpy(settings, parts.settings, COMMENT_SETTINGS_SIZE);
        else
            std::memset(settings, 0, COMMENT_SETTINGS_SIZE);
    }
    return 1;
}

int ObjectReplaceComment(Unit *comment, const char *text, const void *settings)
{
    if (!IsComment(comment))
        return 0;
    const CommentParts parts = PartsOf(comment);
    if (!parts.points[0] || !parts.points[1])
        return 0;
    ScratchUni1 scratch(__FILE__, __LINE__);
    if (!scratch)
        return 0;
    Unit *buffer = reinterpret_cast<Unit *>(g_Universal1);
    std::memcpy(buffer, comment, UNIT_ELEMENTS_OBJECT); // header, attributes and flags
    ChainWriter w;
    InitChainBegin(&w, buffer, g_ObjectLimits.scratchSize);
    for (const ElementPoint *p : parts.points)
        InitChainPoint(&w, p->head.kind, p->x, p->y);
    InitChainText(&w, text, TEXT_CAPACITY_LONG, false);
    Element *data = InitChainRecord(&w, ELEM_COMMENT, ELEM_SIZE_COMMENT);
    if (data && settings)
        std::memcpy(ElementPayload(data), settings, COMMENT_SETTINGS_SIZE);
    if (!InitChainEnd(&w)) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    Unit *unit = MemListNewCopyAfter(LIST_DRAWING, buffer, buffer->bytes, comment);
    scratch.Release();
    if (!unit) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    std::memcpy(g_ExtentsRect, comment->frame, sizeof g_ExtentsRect);
    UndoStampDeleted(comment);
    UndoStampCreated(unit);
    FrameCalcObject(unit, 0);
    std::memcpy(g_ChangedRect, unit->frame, sizeof g_ChangedRect);
    g_DrawingInfo.commentsChanged = 1;
    return 1;
}

int ObjectEmbedBitmaps(uint32_t mask)
{
    int embedded = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, mask, mask, 1); u; u = MemListNext(u)) {
        if (u->kind != UNIT_KIND_OBJECT || u->object.type != OBJTYPE_BITMAP)
            continue;
        Element *e = UnitFirstElement(u);
        if (e->kind != ELEM_BITMAP_REF)
            continue;
        auto *ref = static_cast<BitmapRefData *>(ElementPayload(e));
        if (!ref->name[0] || ref->name[0] == IMAGE_EMBEDDED_PREFIX[0])
            continue;
        char path[BITMAP_NAME_SIZE];
        lstrcpynA(path, ref->name, sizeof path);
        ImageSearchFile(path, sizeof path);
        std::vector<uint8_t> bytes;
        char name[IMAGE_UNIQUE_NAME_SIZE];
        ImageMakeUniqueName(name);
        if (!ImageReadFileBytes(path, &bytes) || !ImageStoreData(name, bytes.data(), uint32_t(bytes.size())))
            continue;
        lstrcpynA(ref->name, name, sizeof ref->name);
        FrameCalcObject(u, 0);
        ++embedded;
    }
    return embedded;
}

int ObjectNewBitmapRef(double x, double y, const char *fileName, const char *imageName, int embed)
{
    if (!ObjectCheckCurrentLayerPen(OBJTYPE_BITMAP))
        return 0;
    Unit *unit = NewUnit(OBJTYPE_BITMAP, kUnitBitmap);
    if (!unit)
        return 0;
    ChainWriter w;
    InitChainBegin(&w, unit, kUnitBitmap);
    Element *ref = InitChainRecord(&w, ELEM_BITMAP_REF, ELEM_SIZE_BITMAP_REF);
    if (!InitChainEnd(&w) || !ref) {
        MemListDelete(LIST_DRAWING, unit);
        AlertSM2(g_MainWnd);
        return 0;
    }
    auto *payload = static_cast<BitmapRefData *>(ElementPayload(ref));
    MatrixInit(&payload->placement);
    MatrixMove(&payload->placement, x, y);
    ObjectInitHeaderFlags(unit, OBJTYPE_BITMAP);
    if (embed) {
        if (imageName && *imageName) {
            lstrcpynA(payload->name, imageName, BITMAP_NAME_SIZE);
        } else {
            // The file's image travels in the drawing under a name of its own,
            // so that no user path goes into the drawing.
            ImageMakeUniqueName(payload->name);
            std::vector<uint8_t> bytes;
            if (fileName && ImageReadFileBytes(fileName, &bytes))
                ImageStoreData(payload->name, bytes.data(), uint32_t(bytes.size()));
        }
    } else {
        lstrcpynA(payload->name, fileName ? fileName : "", BITMAP_NAME_SIZE);
    }
    // The object draws in its image's two colours; an object whose image
    // cannot be had is stored all the same.
    if (const BitmapEntry *entry = ImageFindBitmap(payload->name, 1)) {
        unit->property.ownFlags |= XPROP_OWN_COLOR1 | XPROP_OWN_COLOR2;
        unit->property.color2 = entry->foreColor;
        unit->property.color1 = entry->backColor;
    }
    FrameCalcObject(unit, 0);
    ObjectDrawNewMarkersAll();
    return 1;
}

// ---------------------------------------------------------------------------

void ObjectDrawNewMarkers(int window)
{
    DrawWindow *w = WindowGetRecord(window);
    HDC hdc = w && w->hwnd ? GetDC(w->hwnd) : nullptr;
    HPALETTE previous = nullptr;
    if (hdc) {
        ScreenSetupOutput(hdc, window, nullptr, OUTPUT_SCREEN);
        g_OutputContext.palette = nullptr;
        if (g_ScreenColorBits == HALFTONE_BITS && g_DrawingSettings.displayPalette && g_SharedGdi.palette) {
            previous = SelectPalette(hdc, g_SharedGdi.palette, FALSE);
            RealizePalette(hdc);
            g_OutputContext.palette = g_SharedGdi.palette;
        }
        g_OutputContext.currentInstance = nullptr;
        g_OutputContext.nestingDepth = 0;
    }
    const DrawingSettings &s = g_DrawingSettings;
    // In list order, so that several new objects overlap as a repaint shows
    // them. Without the window's device context there is nothing to draw
    // into; the new objects' short-lived marks are cleared all the same.
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next) {
        if (u->birth != g_UndoStep || u->death != UNIT_DEATH_ALIVE)
            continue;
        if (hdc) {
            OutputDrawObject(hdc, u);
            if (s.displayPoints || s.displayArrows)
                OutputDrawHandles(hdc, u);
            if (s.displayNumbers)
                OutputDrawPointNumbers(hdc, u, nullptr);
        }
        u->flags &= ~UNIT_SHORT_MARKS;
    }
    if (hdc) {
        if (previous)
            SelectPalette(hdc, previous, FALSE);
        g_OutputContext.palette = nullptr;
        ReleaseDC(w->hwnd, hdc);
    }
}

void ObjectDrawNewMarkersAll()
{
    for (int i = 0; i < WINDOW_DRAW_COUNT; ++i)
        if (g_DrawWindows[i].hwnd)
            ObjectDrawNewMarkers(i);
    if (g_Options.viewVisible && g_Options.viewUpdate && g_ViewWindow.hwnd)
        ObjectDrawNewMarkers(WINDOW_VIEW);
}

void ObjectPurgeAll()
{
    for (int list : {LIST_DRAWING, LIST_PLUGIN_DATA}) {
        Unit *u = g_ObjectLists[list].head;
        while (u)
            u = MemListDelete(list, u);
    }
}

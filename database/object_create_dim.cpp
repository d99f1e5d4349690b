// Creators of the objects that carry line ends, texts and a dimension
// settings record: lines with line ends and the dimensions. Their texts and
// settings come from the drawing's current dimension settings; their derived
// geometry is built by the frame step every creator ends with.
#include <cstring>

#include "app/darad4.h"
#include "app/system.h"
#include "commands/input_points.h"
#include "database/init.h"
#include "database/object.h"
#include "database/object_attributes.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "dialogs/alert.h"
#include "display/output.h"
#include "files/file_records.h"
#include "geometry/frame.h"

namespace {

constexpr int kLargeTexts = 5;  // of the seven texts a large variant files
constexpr int kSmallTexts = DIM_TEXTS;
constexpr int kValueText = 1;
constexpr int kSecondValueText = 3; // DimCoord: the y value
constexpr uint32_t kLineStrBytes = 264;
constexpr uint32_t kLineCurvedBytes = 376;
constexpr int kLineStrArrows = 0, kLineCurvedArrows = 1;

const ConstructionPoint &Cp(int i) { return g_ConstructionPoints[i]; }

Element *ChainCp(ChainWriter &w, int16_t kind, int i) { return InitChainPoint(&w, kind, Cp(i).x, Cp(i).y); }

// The dimension-parameter group from the drawing's settings.
void GiveDimParameter(ObjectAttributes *set)
{
    const DrawingSettings &s = g_DrawingSettings;
    auto &d = set->dimParameter;
    set->present[ATTR_DIM_PARAMETER] = 1;
    d.mask = ATTR_FIELDS_ALL;
    d.font = s.dimFont;
    d.textHeight = s.dimValues[0];
    d.toleranceHeight = s.dimValues[1];
    d.charSpacing = s.dimValues[2];
    d.tabUnit = s.dimValues[3];
    d.alignment = s.dimInts[0];
    d.numberFormat = s.dimInts[1];
    d.conversion = s.dimInts[2];
    d.system = s.dimInts[3];
}

// The large-dimension group of a variant: its numbers, arrows and lines.
void GiveDimLarge(ObjectAttributes *set, int variant)
{
    const DrawingSettings &s = g_DrawingSettings;
    auto &g = set->dimLarge;
    set->present[ATTR_DIM_LARGE] = 1;
    g.mask = ATTR_FIELDS_ALL;
    for (int i = 0; i < 4; ++i) {
        g.words[i] = static_cast<int32_t>(s.dimLargeNumbers[variant][i]);
        g.words[4 + i] = s.dimLargeArrows[variant][i];
    }
    const DimLargeLines &lines = s.dimLargeLines[variant];
    for (int i = 0; i < 3; ++i) {
        g.words[8 + i] = static_cast<int32_t>(lines.show[i]);
        g.words[11 + i] = lines.modes[i];
    }
    g.distance = lines.distance[0];
    g.further = lines.distance[1];
}

void GiveDimSmall(ObjectAttributes *set, int variant)
{
    set->present[ATTR_DIM_SMALL] = 1;
    set->dimSmall.mask = ATTR_FIELDS_ALL;
    set->dimSmall.automatic = static_cast<int32_t>(g_DrawingSettings.dimSmallNumbers[variant][0]);
    set->dimSmall.byPoint = static_cast<int32_t>(g_DrawingSettings.dimSmallNumbers[variant][1]);
}

// The record's own attributes: the dimension-text pen and layer slots, and
// the fill mode of filled fonts.
void InitRecordProperty(Element *record)
{
    uint8_t *payload = static_cast<uint8_t *>(ElementPayload(record));
    XProperty property = XPropertyDefault();
    ObjectPropertyFromSlots(&property, g_DefaultPens[DEFAULT_PEN_DIM_TEXT], g_DefaultLayers[DEFAULT_LAYER_LINESTR_DIM],
                            0);
    ObjectPropertyFontFill(payload, &property);
    std::memcpy(payload + RECORD_XPROPERTY_OFFSET, &property, sizeof property);
}

// Line with line ends: points, line-end record, run-time element.
int NewLineWithEnds(int32_t type, uint32_t bytes, int arrows, const int *points, const int16_t *kinds, int count,
                    int orientation, int16_t subKind, uint32_t subSize)
{
    if (!ObjectCheckCurrentLayerPen(type))
        return 0;
    Unit *unit = MemListNewObject(LIST_DRAWING, bytes, nullptr);
    if (!unit) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    unit->flags = 0;
    unit->kind = UNIT_KIND_OBJECT;
    unit->object.type = type;
    ChainWriter w;
    InitChainBegin(&w, unit, bytes);
    for (int i = 0; i < count; ++i)
        ChainCp(w, kinds[i], points[i]);
    if (orientation >= 0)
        InitChainOrient(&w, Cp(orientation).x);
    Element *line = InitChainRecord(&w, ELEM_DIM_LINE, ELEM_SIZE_DIM_LINE);
    if (line) {
        ScratchUni2 scratch(__FILE__, __LINE__);
        if (scratch) {
            auto *set = reinterpret_cast<ObjectAttributes *>(g_Uni2);
            ObjectAttributesInit(set);
            ObjectDimAttributesFromSettings(set, ATTR_LINE_END, arrows);
            ObjectAttributesApplyDimLine(line, set, 1);
        }
    }
    InitChainRecord(&w, subKind, subSize);
    if (!InitChainEnd(&w)) {
        MemListDelete(LIST_DRAWING, unit);
        AlertSM2(g_MainWnd);
        return 0;
    }
    ObjectInitHeaderFlags(unit, type);
    FrameCalcObject(unit, 0);
    ObjectDrawNewMarkersAll();
    return 1;
}

// Assembles a dimension of the type in Universal1 from construction points
// 0 onwards (the point kinds in chain order) and stores it.
int NewDimension(int32_t type, int variant, const int16_t *kinds, int points, int16_t subKind, uint32_t subSize)
{
    const bool small = type == OBJTYPE_DIM_COORD;
    if (variant < 0 || variant >= (small ? DIM_SMALL_RECORDS : DIM_VARIANTS))
        return 0;
    if (!ObjectCheckCurrentLayerPen(type))
        return 0;
    ScratchUni1 scratch(__FILE__, __LINE__);
    if (!scratch)
        return 0;
    Unit *buffer = reinterpret_cast<Unit *>(g_Universal1);
    std::memset(buffer, 0, UNIT_ELEMENTS_OBJECT);
    buffer->kind = UNIT_KIND_OBJECT;
    buffer->object.type = type;
    buffer->object.reserved = OBJTYPE_RESERVED;
    ChainWriter w;
    InitChainBegin(&w, buffer, g_ObjectLimits.scratchSize);
    int cp = 0;
    for (int i = 0; i < points; ++i) {
        if (kinds[i] == ELEM_ORIENT)
            InitChainOrient(&w, Cp(7).x); // DimArc keeps its sense in construction point 7
        else
            ChainCp(w, kinds[i], cp++);
    }
    const int texts = small ? kSmallTexts : kLargeTexts;
    for (int i = 0; i < texts; ++i) {
        const char *text = small ? g_DrawingSettings.dimSmallTexts[variant][i] : g_DrawingSettings.dimLargeTexts[variant][i];
        const bool value = i == kValueText || (small && i == kSecondValueText);
        InitChainText(&w, text, TEXT_CAPACITY_SHORT, value);
    }
    Element *record = small ? InitChainRecord(&w, ELEM_DIM_SMALL, ELEM_SIZE_DIM_SMALL)
                            : InitChainRecord(&w, ELEM_DIM_LARGE, ELEM_SIZE_DIM_LARGE);
    if (record) {
        ScratchUni2 inner(__FILE__, __LINE__);
        if (inner) {
            auto *set = reinterpret_cast<ObjectAttributes *>(g_Uni2);
            ObjectAttributesInit(set);
            GiveDimParameter(set);
            if (small) {
                GiveDimSmall(set, variant);
                ObjectAttributesApplyDimSmall(record, set, 1);
            } else {
                GiveDimLarge(set, variant);
                ObjectAttributesApplyDimLarge(record, set, 1);
            }
        }
    }
    InitChainRecord(&w, subKind, subSize);
    if (!InitChainEnd(&w)) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    ObjectInitHeaderFlags(buffer, type);
    InitRecordProperty(record);
    Unit *unit = MemListNewCopyAfter(LIST_DRAWING, buffer, buffer->bytes, nullptr);
    scratch.Release();
    if (!unit) {
        AlertSM2(g_MainWnd);
        return 0;
    }
    const uint32_t regenerate =
        small ? g_DrawingSettings.dimSmallNumbers[variant][0] : g_DrawingSettings.dimLargeNumbers[variant][0];
    FrameCalcObject(unit, regenerate ? 1 : 0);
    ObjectDrawNewMarkersAll();
    return 1;
}

} // namespace

void ObjectDimAttributesFromSettings(ObjectAttributes *set, int32_t group, int variant)
{
    GiveDimParameter(set);
    switch (group) {
    case ATTR_LINE_END:
        if (variant < 0 || variant >= 2)
            return;
        set->present[ATTR_LINE_END] = 1;
        set->lineEnd.mask = ATTR_FIELDS_ALL;
        for (int i = 0; i < 4; ++i)
            set->lineEnd.words[i] = g_DrawingSettings.dimLineArrows[variant][i];
        return;
    case ATTR_DIM_LARGE:
        if (variant >= 0 && variant < DIM_VARIANTS)
            GiveDimLarge(set, variant);
        return;
    case ATTR_DIM_SMALL:
        if (variant >= 0 && variant < DIM_SMALL_RECORDS)
            GiveDimSmall(set, variant);
        return;
    default: return;
    }
}

void ObjectDimAttributesToSettings(const ObjectAttributes *set, int32_t group, int variant)
{
    DrawingSettings &s = g_DrawingSettings;
    const auto &d = set->dimParameter;
    s.dimFont = d.font;
    s.dimValues[0] = d.textHeight;
    s.dimValues[1] = d.toleranceHeight;
    s.dimValues[2] = d.charSpacing;
    s.dimValues[3] = d.tabUnit;
    s.dimInts[0] = d.alignment;
    s.dimInts[1] = d.numberFormat;
    s.dimInts[2] = d.conversion;
    s.dimInts[3] = d.system;
    if (group == ATTR_LINE_END && variant >= 0 && variant < 2) {
        for (int i = 0; i < 4; ++i)
            s.dimLineArrows[variant][i] = set->lineEnd.words[i];
    } else if (group == ATTR_DIM_LARGE && variant >= 0 && variant < DIM_VARIANTS) {
        const auto &g = set->dimLarge;
        DimLargeLines &lines = s.dimLargeLines[variant];
        for (int i = 0; i < 4; ++i) {
            s.dimLargeNumbers[variant][i] = static_cast<uint32_t>(g.words[i]);
            s.dimLargeArrows[variant][i] = g.words[4 + i];
        }
        for (int i = 0; i < 3; ++i) {
            lines.show[i] = static_cast<uint32_t>(g.words[8 + i]);
            lines.modes[i] = g.words[11 + i];
        }
        lines.distance[0] = g.distance;
        lines.distance[1] = g.further;
    } else if (group == ATTR_DIM_SMALL && variant >= 0 && variant < DIM_SMALL_RECORDS) {
        s.dimSmallNumbers[variant][0] = static_cast<uint32_t>(set->dimSmall.automatic);
        s.dimSmallNumbers[variant][1] = static_cast<uint32_t>(set->dimSmall.byPoint);
    }
}

int ObjectNewLineStr(int start, int end)
{
    const int points[] = {start, end};
    const int16_t kinds[] = {POINT_START, POINT_LINE};
    return NewLineWithEnds(OBJTYPE_LINE_STR, kLineStrBytes, kLineStrArrows, points, kinds, 2, -1, ELEM_SUB_LINESTR,
                           ELEM_SIZE_SUB_LINESTR);
}

int ObjectNewLineCurved(int centre, int radius, int start, int end, int orientation)
{
    const int points[] = {centre, radius, start, end};
    const int16_t kinds[] = {POINT_CENTRE, POINT_ON_CIRCLE, POINT_ARC_END, POINT_ARC_END};
    return NewLineWithEnds(OBJTYPE_LINE_CURVED, kLineCurvedBytes, kLineCurvedArrows, points, kinds, 4, orientation,
                           ELEM_SUB_LINECURVED, ELEM_SIZE_SUB_LINECURVED);
}

int ObjectNewDimDist(int variant)
{
    const int16_t kinds[] = {POINT_START, POINT_LINE, POINT_AUX, POINT_AUX, POINT_AUX, POINT_AUX, POINT_AUX};
    return NewDimension(OBJTYPE_DIM_DIST, variant, kinds, 7, ELEM_SUB_DIM_LINEAR, ELEM_SIZE_SUB_DIM_LINEAR);
}

int ObjectNewDimRadius(int32_t type, int variant)
{
    if (type != OBJTYPE_DIM_RAD && type != OBJTYPE_DIM_DIA)
        return 0;
    const int16_t kinds[] = {POINT_CENTRE, POINT_ON_CIRCLE, POINT_AUX, POINT_AUX, POINT_AUX, POINT_AUX};
    return NewDimension(type, variant, kinds, 6, ELEM_SUB_DIM_LINEAR, ELEM_SIZE_SUB_DIM_LINEAR);
}

int ObjectNewDimAngle(int variant)
{
    const int16_t kinds[] = {POINT_START, POINT_LINE, POINT_START, POINT_LINE, POINT_AUX, POINT_AUX, POINT_AUX};
    return NewDimension(OBJTYPE_DIM_ANGLE, variant, kinds, 7, ELEM_SUB_DIM_ANGULAR, ELEM_SIZE_SUB_DIM_ANGULAR);
}

int ObjectNewDimArc(int variant)
{
    const int16_t kinds[] = {POINT_CENTRE, POINT_ON_CIRCLE, POINT_ARC_END, POINT_ARC_END, ELEM_ORIENT,
                             POINT_AUX,    POINT_AUX,       POINT_AUX};
    return NewDimension(OBJTYPE_DIM_ARC, variant, kinds, 8, ELEM_SUB_DIM_ANGULAR, ELEM_SIZE_SUB_DIM_ANGULAR);
}

int ObjectNewDimCoord(int variant)
{
    const int16_t kinds[] = {POINT_AUX, POINT_AUX, POINT_AUX};
    return NewDimension(OBJTYPE_DIM_COORD, variant, kinds, 3, ELEM_SUB_DIM_LABEL, ELEM_SIZE_SUB_DIM_LABEL);
}

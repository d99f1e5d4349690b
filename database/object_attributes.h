// The attribute collection of one or more objects, or of the defaults of new
// objects, that the property, text, dimension and block dialogs edit. Groups
// are filled first come by the collectors and written back by the appliers:
// every field of a present group ("all"), or only the fields whose mask bits
// the dialogs set.
#pragma once

#include <cstdint>

#include "database/unit.h"
#include "files/file_records.h"
#include "geometry/matrix.h"

enum ObjectAttributeGroup : int {
    ATTR_GENERAL = 0, ATTR_ANNOTATION, ATTR_STD_TEXT, ATTR_FRAME_TEXT, ATTR_REF_TEXT, ATTR_CONSTANT, ATTR_LINE_END,
    ATTR_DIM_PARAMETER, ATTR_DIM_LARGE, ATTR_DIM_SMALL, ATTR_BITMAP, ATTR_PLACEMENT, ATTR_PLUGIN,
    ATTR_GROUP_COUNT
};
constexpr uint32_t ATTR_FIELDS_ALL = 0xFFFFFF;

// Field bits of the standard-text group.
constexpr uint32_t ATTR_STD_FONT = 0x1, ATTR_STD_SPACING = 0x2, ATTR_STD_TAB = 0x4, ATTR_STD_LINE = 0x8,
                   ATTR_STD_HEIGHT = 0x10, ATTR_STD_RATIO = 0x20, ATTR_STD_ROTATION = 0x40,
                   ATTR_STD_SLANT = 0x80, ATTR_STD_X = 0x100, ATTR_STD_Y = 0x200, ATTR_STD_ALIGN = 0x400;
constexpr uint32_t ATTR_STD_MATRIX_BITS = 0x3F0;

struct AttrPropertyGroup {
    uint32_t ownMask;
    uint32_t fieldMask;
    XProperty values;
};

struct AttrStdText {
    uint32_t mask;
    FontDef font;
    double charSpacing, tabUnit, lineSpacing;
    double height, ratio, rotation, slant, x, y; // the text matrix, separated
    int32_t alignment;
};

struct AttrFrameText {
    uint32_t mask;
    FontDef font;
    double charSpacing, tabUnit, lineSpacing, height;
    int32_t alignment;
};

struct AttrRefText {
    uint32_t mask;
    int32_t endMark, leader, frameShape;
    double frameDistance;
};

struct ObjectAttributes {
    uint32_t present[ATTR_GROUP_COUNT];
    uint32_t fieldEnable;
    int32_t pluginCount;
    AttrPropertyGroup general;
    AttrPropertyGroup annotation;
    AttrStdText stdText;
    AttrFrameText frameText;
    AttrRefText refText;
    struct {
        uint32_t mask;
        double value;
    } constant;
    struct {
        uint32_t mask;
        int32_t words[4];
    } lineEnd;
    struct {
        uint32_t mask;
        FontDef font;
        double textHeight, toleranceHeight, charSpacing, tabUnit;
        int32_t alignment, numberFormat, conversion, system;
    } dimParameter;
    struct {
        uint32_t mask;
        int32_t words[14];
        double distance, further;
    } dimLarge;
    struct {
        uint32_t mask;
        int32_t automatic, byPoint;
    } dimSmall;
    struct {
        uint32_t mask;
        char name[256];
        Matrix placement;
        int32_t pixelWidth, pixelHeight, bitsPerPixel;
        double resolutionX, resolutionY;
    } bitmap;
    struct {
        uint32_t mask;
        char library[UNIT_NAME_SIZE];
        char block[UNIT_NAME_SIZE];
        Matrix placement;
    } placement;
    void *pluginArea;
};

// The plug-in area: entries naming the module that takes part in an edit with
// one of its objects, and its page title.
constexpr int ATTR_PLUGIN_ENTRIES = 101;
constexpr int ATTR_PLUGIN_TITLE_SIZE = 64;
struct AttrPluginEntry {
    int32_t module;                     // index in the module table
    char title[ATTR_PLUGIN_TITLE_SIZE];
    Unit *unit;
};
static_assert(sizeof(AttrPluginEntry) == 72);
constexpr uint32_t ATTR_PLUGIN_AREA_SIZE = ATTR_PLUGIN_ENTRIES * sizeof(AttrPluginEntry);
static_assert(ATTR_PLUGIN_AREA_SIZE == 7272);

// The copy-properties defaults: word 0 the masks of the general and
// annotation groups (bits 0 to 14) and the switch that shows the sheet first
// (bit 15); words 1 to 10 the switches of the standard-text, frame-text,
// reference-text, constant, line-end, dimension-parameter, large-dimension,
// small-dimension, bitmap and placement groups.
constexpr int COPY_PROPERTY_WORDS = 11;
constexpr uint32_t COPY_PROPERTY_MASKS = 0x7FFF;
constexpr uint32_t COPY_PROPERTY_SHOW_SHEET = 0x8000;

// Set when an application changed the library or block an instance or clip
// surface refers to; the property commands then load missing blocks.
extern uint32_t g_ReferencesChanged;

// Clears the present flags and the plug-in count, enables every field.
void ObjectAttributesInit(ObjectAttributes *set);
// Sets the masks the copy-properties command applies, from the defaults.
void ObjectAttributesCopyDefaults(ObjectAttributes *set, const uint32_t words[COPY_PROPERTY_WORDS]);
// The plug-in modules are told the begin and the end of an edit; the area
// exists in between when some module takes part.
void ObjectAttributesBeginModules(ObjectAttributes *set);
void ObjectAttributesEndModules(ObjectAttributes *set);
// Appends an entry to the plug-in area; 0 (nothing written) when there is no
// area or it is full.
int ObjectAttributesAddModuleEntry(ObjectAttributes *set, int32_t module, const char *title, Unit *unit);
// First come: groups already present are left alone.
void ObjectAttributesCollect(Unit *unit, ObjectAttributes *set);
// Writes the present groups back (every field with all, else the masked
// ones), clears the modification marks, and the selection unless kept; the
// new frame widens g_ChangedRect.
void ObjectAttributesApply(Unit *unit, const ObjectAttributes *set, int all, int keepSelection);
// The element collectors and appliers of the other groups.
void ObjectAttributesCollectConstant(const Element *element, ObjectAttributes *set);
void ObjectAttributesCollectDimLine(const Element *element, ObjectAttributes *set);
void ObjectAttributesCollectDimLarge(const Element *element, ObjectAttributes *set);
void ObjectAttributesCollectDimSmall(const Element *element, ObjectAttributes *set);
void ObjectAttributesCollectClipSurface(const Element *element, ObjectAttributes *set);
void ObjectAttributesCollectBitmapRef(const Element *element, ObjectAttributes *set);
void ObjectAttributesApplyConstant(Element *element, const ObjectAttributes *set, int all);
void ObjectAttributesApplyDimLine(Element *element, const ObjectAttributes *set, int all);
void ObjectAttributesApplyDimLarge(Element *element, const ObjectAttributes *set, int all);
void ObjectAttributesApplyDimSmall(Element *element, const ObjectAttributes *set, int all);
void ObjectAttributesApplyClipSurface(Element *element, const ObjectAttributes *set, int all);
void ObjectAttributesApplyBitmapRef(Element *element, const ObjectAttributes *set, int all);
// The text collectors and appliers (the element's XProperty is the annotation group).
void ObjectAttributesCollectTextStandard(const Element *element, ObjectAttributes *set);
void ObjectAttributesCollectTextFrame(const Element *element, ObjectAttributes *set);
void ObjectAttributesCollectTextReference(const Element *element, ObjectAttributes *set);
void ObjectAttributesApplyTextStandard(Element *element, const ObjectAttributes *set, int all);
void ObjectAttributesApplyTextFrame(Element *element, const ObjectAttributes *set, int all);
void ObjectAttributesApplyTextReference(Element *element, const ObjectAttributes *set, int all);
void ObjectPropertyApplyMasked(XProperty *dst, const AttrPropertyGroup *group, int all);
// The text matrix of a standard-text group: scale, slant, rotation, position.
void ObjectAttributesTextMatrix(const AttrStdText *text, Matrix *m);

// The output context and object output: the one global state that every
// output, measurement and enumeration fills, the output modes and what they
// change, the effective attributes of objects and the GDI objects made from
// them, and the renderer of stored objects.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "database/unit.h"
#include "geometry/matrix.h"

struct FontDef;

// ---------------------------------------------------------------------------
// Output modes.

constexpr uint32_t OUTPUT_SCREEN = 0x1;
constexpr uint32_t OUTPUT_MEASURE = 0x2;      // measuring without drawing
constexpr uint32_t OUTPUT_COARSE = 0x10;      // flattening of curves for geometry
constexpr uint32_t OUTPUT_SCREEN_LIKE = 0x100; // device output matched to a palette
constexpr uint32_t OUTPUT_METAFILE = 0x200;
constexpr uint32_t OUTPUT_PRINTER = 0x400;
constexpr uint32_t OUTPUT_ENUMERATE = 0x1000;
constexpr uint32_t OUTPUT_USAGE_SCAN = 0xF0F0; // pen and layer usage scans; also the "resolve hidden" mask

constexpr uint32_t OUTPUT_SCREEN_TYPE_MASK = 0xFF;
constexpr uint32_t OUTPUT_DEVICE_MASK = 0xFF00;
constexpr uint32_t OUTPUT_THRESHOLD_MASK = 0xF;

// Pass mask bits: which object classes a pass draws.
constexpr uint32_t PASS_OBJECTS = 0x1;
constexpr uint32_t PASS_GEOMETRY = 0x2;
constexpr uint32_t PASS_COMMENTS = 0x4;
constexpr uint32_t PASS_ALL = 0xFFFF;

// Draw flags: the flags argument of the primitives.
constexpr uint32_t DRAW_FILL = 0x1;
constexpr uint32_t DRAW_ERASER = 0x2;      // always together with DRAW_FILL
constexpr uint32_t DRAW_CLIP_PATH = 0x4;   // leave the path open in the DC as a clip path
constexpr uint32_t DRAW_STROKE = 0x10;
constexpr uint32_t DRAW_DASHED = 0x20;     // the program dashes the strokes itself
constexpr uint32_t DRAW_FILL_BITS = DRAW_FILL | DRAW_ERASER;
constexpr uint32_t DRAW_STROKE_BITS = 0xF0;

// Descents into instances, blocks, clip references and character blocks stop
// beyond this depth.
constexpr int32_t OUTPUT_MAX_NESTING = 20;

// Window numbers.
constexpr int32_t OUTPUT_WINDOW_VIEW = 999;
constexpr int32_t OUTPUT_WINDOW_NONE = -1; // printers, metafiles and previews

// Fill modes.
constexpr int32_t FILL_NONE = 0;
constexpr int32_t FILL_SOLID = 1;
constexpr int32_t FILL_SOLID_OUTLINE = 2;
constexpr int32_t FILL_ERASER = 3;
constexpr int32_t FILL_ERASER_OUTLINE = 4;

// ---------------------------------------------------------------------------
// The output context. A few fields carry a second name used by the geometry
// kernel; both names are the same storage.

struct OutputContext {
    union {
        Unit *instance;        // whose attributes answer the ~name~ references of texts
        Unit *currentInstance;
    };
    HPEN pen;
    HPEN backgroundPen;
    HBRUSH brush;
    HBRUSH backgroundBrush;
    HPALETTE palette;
    // Attribute block: penColour .. fillOn.
    COLORREF penColour;
    int32_t penWidth;
    COLORREF selectionColour;
    COLORREF textColour;
    COLORREF lineColour;
    COLORREF fillColour;
    COLORREF backgroundColour;
    double lineWidth;      // mm
    double lineWidthUsed;  // mm, from which the device width is made
    int32_t penWidthPixels;
    int32_t lineType;
    uint32_t capJoin;
    int32_t layer;
    int32_t penIndex;
    uint32_t drawFlags;
    int32_t backgroundMode;
    int32_t eraserFill;
    int32_t fillOnlyText;
    int32_t widthsOn;
    int32_t lineTypesOn;
    int32_t endPixel;
    int32_t strokeOn;
    int32_t fillOn;
    // End of the attribute block.
    union {
        uint32_t mode;
        uint32_t outputMode;
    };
    int32_t printMapMode;
    uint32_t passMask;
    union {
        int32_t depth;
        int32_t nestingDepth;
    };
    union {
        int32_t window;
        int32_t windowNumber;
    };
    double zoom;        // device units per millimetre
    double widthZoom;   // device units per millimetre for widths and dashes
    double scale;       // magnification relative to the drawing at 1:1
    double widthScale;
    double visibleRect[4];  // world xmin, ymin, xmax, ymax
    double noClipRect[4];
    double outputRect[4];
    int32_t pixelClipRect[4]; // device left, top, right, bottom
    int32_t safePixelRect[4];
    Matrix current;
    Matrix base;
    int32_t brushOwned;
    int32_t penOwned;
    int32_t backgroundPenOwned;
    int32_t backgroundBrushOwned;
    int32_t outlineOnly;
    int32_t lastOfBatch;
    int32_t pageNumber;
    int32_t pageCount;
};
static_assert(sizeof(OutputContext) == 440);
static_assert(offsetof(OutputContext, instance) == 0);
static_assert(offsetof(OutputContext, penColour) == 24);
static_assert(offsetof(OutputContext, lineWidth) == 56);
static_assert(offsetof(OutputContext, fillOn) == 124);
static_assert(offsetof(OutputContext, mode) == 128);
static_assert(offsetof(OutputContext, zoom) == 152);
static_assert(offsetof(OutputContext, visibleRect) == 184);
static_assert(offsetof(OutputContext, pixelClipRect) == 280);
static_assert(offsetof(OutputContext, current) == 312);
static_assert(offsetof(OutputContext, base) == 360);
static_assert(offsetof(OutputContext, pageCount) == 436);

extern OutputContext g_OutputContext;

// The attribute block copied as a whole.
constexpr size_t OUTPUT_ATTR_FIRST = offsetof(OutputContext, penColour);
constexpr size_t OUTPUT_ATTR_SIZE = offsetof(OutputContext, mode) - OUTPUT_ATTR_FIRST;
struct OutputAttributeBlock {
    uint8_t bytes[OUTPUT_ATTR_SIZE];
};
void OutputSaveAttributeBlock(const OutputContext *context, OutputAttributeBlock *out);
void OutputLoadAttributeBlock(OutputContext *context, const OutputAttributeBlock *in);

// Keeps the whole context across a scope that may run another output.
struct OutputContextKeeper {
    OutputContextKeeper() : saved_(g_OutputContext) {}
    ~OutputContextKeeper() { g_OutputContext = saved_; }
    OutputContextKeeper(const OutputContextKeeper &) = delete;
    OutputContextKeeper &operator=(const OutputContextKeeper &) = delete;

private:
    OutputContext saved_;
};

// Mode tests.
inline bool OutputIsScreenType(uint32_t mode) { return (mode & OUTPUT_SCREEN_TYPE_MASK) != 0; }
inline bool OutputIsDeviceMode(uint32_t mode) { return (mode & OUTPUT_DEVICE_MASK) != 0; }
inline bool OutputResolvesHidden(uint32_t mode) { return (mode & OUTPUT_USAGE_SCAN) != 0; }
inline bool OutputUsesThresholds(uint32_t mode) { return (mode & OUTPUT_THRESHOLD_MASK) != 0; }

// Sets the context to a plain memory or window output: the given mode, device
// handles and rectangles cleared, identity matrices, scale 1, pass all,
// page 1 of 1. Builders then fill in their device half.
void OutputResetContext(uint32_t mode);
// Paper output: the stock white pen and brush as the background (a background
// pen or brush the context owned is deleted).
void OutputUseWhiteBackground();
// Device units per millimetre, matrices and rectangles of a plain output onto
// a device rectangle of width x height pixels showing the world rectangle
// (xmin, ymin)-(xmax, ymax), y growing upwards in the world. The safe rectangle
// reaches `margin` pixels beyond the visible one.
void OutputSetupView(int32_t width, int32_t height, const double world[4], int32_t margin);

// ---------------------------------------------------------------------------
// Pen and layer state tests (index outside 0 to 500 or a free slot = 0).

int OutputIsLayerShown(int32_t layer);
int OutputIsPenShown(int32_t pen);
int OutputIsLayerShownScreen(int32_t layer);
int OutputIsPenShownScreen(int32_t pen);
int OutputIsLayerShownPrint(int32_t layer);
int OutputIsPenShownPrint(int32_t pen);
int OutputIsLayerLocked(int32_t layer);
int OutputIsPenLocked(int32_t pen);
int OutputIsLayerNoPick(int32_t layer);
int OutputIsPenNoPick(int32_t pen);
int OutputIsLayerPickable(int32_t layer);
int OutputIsPenPickable(int32_t pen);
int OutputIsLayerHighlighted(int32_t layer);
int OutputIsPenHighlighted(int32_t pen);

// Validates the layer, lets the layer's set for the current output impose its
// pen, then validates the pen.
void OutputResolvePenLayer(int32_t *pen, int32_t *layer);

// 1 when the current output uses property set B of pens and layers.
int OutputUsesSetB();
// 1 when print and export use set A (the OutputIntern switch).
int OutputPrintUsesSetA();

// ---------------------------------------------------------------------------
// Attributes (output_attr.cpp). Inputs and output may not overlap unless said.

// The default XProperty of top-level objects: no own flags, width 0.25, 0x2200.
XProperty OutputDefaultXProperty();

int OutputPenXProperty(const XProperty *in, XProperty *out); // in and out may be the same
int OutputOverrideXProperty(const XProperty *base, const XProperty *over, XProperty *out);
int OutputResolveXProperty(const XProperty *object, const XProperty *parent, XProperty *out);
int OutputInheritXProperty(const XProperty *a, const XProperty *b, const XProperty *own, XProperty *out);
int OutputFillXProperty(const XProperty *own, const XProperty *parent, XProperty *out);

int OutputPrepareAttributes(int32_t type, const XProperty *object, const XProperty *parent, OutputContext *context);
int OutputPrepareTextAttributes(const XProperty *object, const XProperty *parent, OutputContext *context);

COLORREF OutputMapColor(HDC hdc, COLORREF colour);
HBRUSH OutputCreateSolidBrush(HDC hdc, COLORREF colour);
void OutputPreparePenColour(HDC hdc, OutputContext *context);
// The pen makers hand out pens the renderer caches across objects with the
// same attributes: select them, never delete them (OutputFreeGdiCache does).
HPEN OutputCreateCosmeticPen(HDC hdc, OutputContext *context);
HPEN OutputCreateCosmeticStylePen(HDC hdc, OutputContext *context);
HPEN OutputCreateGeometricPen(HDC hdc, OutputContext *context);
HPEN OutputCreateGeometricStylePen(HDC hdc, OutputContext *context);
// The user style of a line type for a pen: count of entries (0 when the line
// type has no usable pattern); factorDivisor 3 for cosmetic pens, else 1.
int OutputBuildPenStyle(const OutputContext *context, double factorDivisor, DWORD style[16]);

void OutputSelectObjectGdi(HDC hdc, OutputContext *context);
void OutputRestoreGdi(HDC hdc, OutputContext *context);
// Deletes the cached pens and brushes (none may be selected into a DC).
void OutputFreeGdiCache();

int OutputIsMatrixConformal(double *scale, double *angle);
void OutputInitFontCache();
void OutputFreeFontCache();
int OutputSelectDeviceFont(const FontDef *font, HFONT *handle);

// ---------------------------------------------------------------------------
// Device pages (output_device.cpp).

int OutputSetAttributes(HDC hdc, const XProperty *record, const Matrix *matrix, uint32_t selectionMask);
void OutputRestoreAttributes(HDC hdc);
void OutputBeginDevicePage(HDC hdc, uint32_t selectionMask, int fillBackground);
int OutputGetRectangle(double rect[4], uint32_t selectionMask);
// The extents of the printable objects of list 0 whose flags carry the mask;
// their number (the rectangle is empty-framed when there is none).
int OutputPrintableExtents(uint32_t selectionMask, double rect[4]);
int OutputDeviceBoxVisible(double x1, double y1, double x2, double y2);
int OutputBoxVisible(double x1, double y1, double x2, double y2, const Matrix *matrix);

// ---------------------------------------------------------------------------
// Object rendering (output_object.cpp, output_text.cpp).

int OutputDrawObject(HDC hdc, Unit *unit);
int OutputDrawPlainObject(HDC hdc, Unit *unit, const XProperty *parent, const Matrix *matrix, int clip);
int OutputDrawInstance(HDC hdc, Unit *instance, const XProperty *parent, const Matrix *matrix, int clip);
int OutputSymbolFill(HDC hdc, Unit *surface, const XProperty *parent, const Matrix *matrix, int clip);
int OutputDrawElement(HDC hdc, Unit *unit, int clip, uint32_t flags);
int OutputAnnotation(HDC hdc, Unit *unit, const XProperty *parent, const Matrix *matrix, int clip);
// The same as a highlight in the pen and colours the caller chose: texts by
// their own outlines, a framed text's frame whenever frames are shown, a
// bitmap by its outline.
int OutputAnnotationSelection(HDC hdc, Unit *unit, const XProperty *parent, const Matrix *matrix, int clip);
int OutputText(HDC hdc, const FontDef *font, const char *text, const Matrix *matrix, int clip, int showMissing);
int OutputTextWithAttributes(HDC hdc, const FontDef *font, const char *text, const XProperty *textProperty,
                             const XProperty *parent, const Matrix *matrix, int clip);
struct DimCommon;
// Leaves the text engine's pen at the end of `text`, as drawing it does,
// without drawing: for what is placed after a text that was not walked.
void OutputWalkTextToEnd(const FontDef *font, const char *text);
// The line over a dimension's value (its font's overline style), built into
// `line` as a Line object in the dimension's coordinates from the pen that
// the label's walk left in the engine, with the dimension's attributes and
// no fill. `label` is the label's own matrix. 1 built, 0 no room.
constexpr uint32_t OUTPUT_OVERLINE_UNIT_SIZE = 512; // a Line object with room to spare
int OutputBuildOverline(const Matrix &label, const DimCommon *common, Unit *line, uint32_t capacity);
// A text highlighted: resolved against the parent (a hidden one is not
// drawn), its characters' outlines stroked, a filled one in the contrast of
// the selection colour; the output state's text attributes stay as they were.
int OutputTextSelection(HDC hdc, const FontDef *font, const char *text, const XProperty *textProperty,
                        const XProperty *parent, const Matrix *matrix, int clip);
struct TextFrameLayout;
int OutputTextSpacedSelection(HDC hdc, const FontDef *font, const char *text, const XProperty *textProperty,
                              const XProperty *parent, TextFrameLayout *layout, int clip);
// A framed text along its layout, which the walk changes.
int OutputTextSpaced(HDC hdc, const FontDef *font, const char *text, TextFrameLayout *layout, int clip,
                     int showMissing);
int OutputTextSpacedWithAttributes(HDC hdc, const FontDef *font, const char *text, const XProperty *textProperty,
                                   const XProperty *parent, TextFrameLayout *layout, int clip);
double OutputCharDevice(HDC hdc, HFONT font, int code);
double OutputCharTrueType(HDC hdc, HFONT font, int code, int clip);
double OutputCharVectorFont(HDC hdc, int library, int code, int clip);
int OutputDrawMissingText(HDC hdc, const char *format, const char *text1, const char *text2, const Matrix *matrix);

// The redraw abort: the check runs once per object and visible character; it
// looks at the message queue only every 33rd call and only on screen-type
// outputs. OutputAborted tells whether it fired since the last reset.
int OutputCheckAbort();
int OutputAborted();
void OutputResetAbort();
// Test seam: when set, decides the abort in place of the message queue.
typedef int (*OutputAbortHook)();
extern OutputAbortHook g_OutputAbortHook;

// Text output: the annotation part of objects, texts with their attributes,
// character by character through the text engine.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "app/init_gdi.h"
#include "app/system.h"
#include "database/init.h"
#include "database/object_types.h"
#include "display/clip.h"
#include "display/output.h"
#include "display/output_select.h"
#include "display/symbol.h"
#include "files/file_records.h"
#include "files/image_draw.h"
#include "files/image_list.h"
#include "database/storage.h"
#include "database/symbol_charlib.h"
#include "files/file_records.h"
#include "geometry/frame_dim.h"
#include "geometry/matrix.h"

namespace {

constexpr double CHARACTER_UNIT = 0.05; // one character unit: 1/20 of the text height
constexpr int FIRST_CODE = 32;
constexpr int LAST_CODE = 255;
constexpr double OVERLINE_LIFT = 1.2; // text heights above the label's baseline

OutputContext &Ctx() { return g_OutputContext; }

const Element *ElementAt(Unit *unit, int index)
{
    const uint8_t *end = reinterpret_cast<uint8_t *>(unit) + unit->bytes;
    int i = 0;
    for (const Element *e = UnitFirstElement(unit);
         reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->kind != ELEM_END &&
         e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e), ++i)
        if (i == index)
            return e;
    return nullptr;
}

const char *TextOf(const Element *e)
{
    return e && e->kind == ELEM_TEXT ? static_cast<const char *>(ElementPayload(e)) : nullptr;
}

// Whether the current output draws TrueType texts as outlines.
bool TrueTypeAsOutlines()
{
    const uint32_t mode = Ctx().mode;
    const bool screen = OutputIsScreenType(mode), device = OutputIsDeviceMode(mode);
    if (screen && device)
        return g_DrawingSettings.displayTrueType && g_DrawingSettings.outputTrueType;
    if (device)
        return g_DrawingSettings.outputTrueType != 0;
    return g_DrawingSettings.displayTrueType != 0;
}

// A text as drawn, or as highlighted: its own outlines in the highlight pen.
int DrawTextAs(HDC hdc, bool selection, const FontDef *font, const char *text, const XProperty *property,
               const XProperty *parent, const Matrix *matrix, int clip)
{
    return selection ? OutputTextSelection(hdc, font, text, property, parent, matrix, clip)
                     : OutputTextWithAttributes(hdc, font, text, property, parent, matrix, clip);
}

int StandardText(HDC hdc, Unit *unit, int textIndex, int recordIndex, const XProperty *parent, const Matrix *matrix,
                 int clip, bool selection)
{
    const char *text = TextOf(ElementAt(unit, textIndex));
    const Element *recordElement = ElementAt(unit, recordIndex);
    if (!text || !recordElement || recordElement->kind != ELEM_TEXT_STANDARD)
        return 1;
    const auto *record = static_cast<const TextStandardData *>(ElementPayload(recordElement));
    Matrix m = record->matrix;
    MatrixMultiply(&m, matrix);
    SymbolSetTextLayout(record->charSpacing, record->tabUnit, record->lineSpacing, record->alignment);
    const char *shown = SymbolGetTextString(text);
    const int result = DrawTextAs(hdc, selection, &record->font, shown, &record->property, parent, &m, clip);
    SymbolReleaseTextString();
    return result;
}

// The frame of a framed text, dotted, on the screen when frames are shown;
// highlighted in the highlight pen whenever frames are shown.
void DrawTextFrame(HDC hdc, const ElementPoint *p0, const ElementPoint *p1, const ElementPoint *p2,
                   const Matrix *matrix, bool selection)
{
    if (!g_DrawingSettings.displayFrames)
        return;
    if (!selection && (!OutputIsScreenType(Ctx().mode) ||
                       (Ctx().window == OUTPUT_WINDOW_VIEW && g_Options.viewSimple) || !g_SharedGdi.blocksDottedPen))
        return;
    Ctx().current = *matrix;
    MatrixMultiply(&Ctx().current, &Ctx().base);
    HGDIOBJ old = selection ? nullptr : SelectObject(hdc, g_SharedGdi.blocksDottedPen);
    const double p3x = p1->x + p2->x - p0->x, p3y = p1->y + p2->y - p0->y;
    ClipDrawWorldLine(hdc, p0->x, p0->y, p1->x, p1->y);
    ClipDrawWorldLine(hdc, p1->x, p1->y, p3x, p3y);
    ClipDrawWorldLine(hdc, p3x, p3y, p2->x, p2->y);
    ClipDrawWorldLine(hdc, p2->x, p2->y, p0->x, p0->y);
    if (old)
        SelectObject(hdc, old);
    Ctx().current = Ctx().base;
}

const ElementPoint *PointElement(Unit *unit, int index)
{
    const Element *e = ElementAt(unit, index);
    return e && ElementIsPoint(e) ? reinterpret_cast<const ElementPoint *>(e) : nullptr;
}

int FrameText(HDC hdc, Unit *unit, const XProperty *parent, const Matrix *matrix, int clip, bool selection)
{
    const ElementPoint *p0 = PointElement(unit, 0), *p1 = PointElement(unit, 1), *p2 = PointElement(unit, 2);
    if (!p0 || !p1 || !p2)
        return 1;
    DrawTextFrame(hdc, p0, p1, p2, matrix, selection);
    const char *text = TextOf(ElementAt(unit, 3));
    const Element *recordElement = ElementAt(unit, 4);
    if (!text || !recordElement || recordElement->kind != ELEM_TEXT_FRAME)
        return 1;
    const auto *record = static_cast<const TextFrameData *>(ElementPayload(recordElement));
    SymbolSetTextLayoutEx(record->height, record->charSpacing, record->tabUnit, record->lineSpacing,
                          record->alignment);
    TextFrameLayout layout;
    if (!SymbolLayoutTextFrame(p0->x, p0->y, p1->x, p1->y, p2->x, p2->y, &layout, matrix, &Ctx().base))
        return 1;
    const char *shown = SymbolGetTextString(text);
    const int result =
        selection ? OutputTextSpacedSelection(hdc, &record->font, shown, &record->property, parent, &layout, clip)
                  : OutputTextSpacedWithAttributes(hdc, &record->font, shown, &record->property, parent, &layout, clip);
    SymbolReleaseTextString();
    return result;
}

// The line over the label, in the dimension's attributes: walked again,
// since a label whose attributes hide it was not drawn.
void DrawOverline(HDC hdc, const Matrix &label, const DimCommon *common, const char *shown, const XProperty *parent,
                  const Matrix *matrix, int clip, bool selection)
{
    OutputWalkTextToEnd(&common->font, shown);
    alignas(8) uint8_t bytes[OUTPUT_OVERLINE_UNIT_SIZE] = {};
    Unit *line = reinterpret_cast<Unit *>(bytes);
    if (OutputBuildOverline(label, common, line, sizeof bytes) != 1)
        return;
    if (selection)
        OutputDrawPlainSelection(hdc, line, parent, matrix, clip);
    else
        OutputDrawPlainObject(hdc, line, parent, matrix, clip);
}

// The label of a dimension, centred on its text point.
int DimensionText(HDC hdc, Unit *unit, const XProperty *parent, const Matrix *matrix, int clip, bool selection)
{
    char label[DIM_LABEL_SIZE];
    Matrix m;
    const DimCommon *common = nullptr;
    if (!FrameDimensionLabel(unit, label, sizeof label, &m, &common))
        return 1;
    const Matrix own = m;
    MatrixMultiply(&m, matrix);
    SymbolSetTextLayout(common->values420[0], common->values420[1], 1.0, TEXT_ALIGN_CENTRE);
    const char *shown = SymbolGetTextString(label);
    const int result = DrawTextAs(hdc, selection, &common->font, shown, &common->property, parent, &m, clip);
    if (common->font.style & FONT_STYLE_OVERLINE)
        DrawOverline(hdc, own, common, shown, parent, matrix, clip, selection);
    SymbolReleaseTextString();
    DimTolerances tolerances;
    if (!FrameDimensionTolerances(unit, &tolerances))
        return result;
    for (const auto &[text, at] : {std::pair{tolerances.upper, &tolerances.upperAt},
                                   std::pair{tolerances.lower, &tolerances.lowerAt}}) {
        if (!*text)
            continue;
        Matrix placed = *at;
        MatrixMultiply(&placed, matrix);
        SymbolSetTextLayout(common->values420[0], common->values420[1], 1.0, TEXT_ALIGN_LEFT);
        const char *tolerance = SymbolGetTextString(text);
        DrawTextAs(hdc, selection, &common->font, tolerance, &common->property, parent, &placed, clip);
        SymbolReleaseTextString();
    }
    return result;
}

// The outline of a placed image in the current (highlight) pen.
int BitmapOutline(HDC hdc, const BitmapRefData *ref, const Matrix *matrix)
{
    double c[4][2];
    if (!ImagePlacedCorners(ref, 0, c))
        return 1;
    Ctx().current = *matrix;
    MatrixMultiply(&Ctx().current, &Ctx().base);
    for (int i = 0; i < 4; ++i)
        ClipDrawWorldLine(hdc, c[i][0], c[i][1], c[(i + 1) % 4][0], c[(i + 1) % 4][1]);
    Ctx().current = Ctx().base;
    return 1;
}

int Annotation(HDC hdc, Unit *unit, const XProperty *parent, const Matrix *matrix, int clip, bool selection)
{
    switch (unit->object.type) {
    case OBJTYPE_STD_TEXT:
        return StandardText(hdc, unit, 0, 1, parent, matrix, clip, selection);
    case OBJTYPE_REF_TEXT:
        return StandardText(hdc, unit, 2, 3, parent, matrix, clip, selection);
    case OBJTYPE_FRAME_TEXT:
        return FrameText(hdc, unit, parent, matrix, clip, selection);
    case OBJTYPE_BITMAP: {
        const Element *e = ElementAt(unit, 0);
        if (!e || e->kind != ELEM_BITMAP_REF)
            return 1;
        const auto *ref = static_cast<const BitmapRefData *>(ElementPayload(e));
        if (selection)
            return BitmapOutline(hdc, ref, matrix);
        const uint32_t mode = Ctx().mode;
        if (OutputIsScreenType(mode))
            return mode == OUTPUT_MEASURE ? 1 : ImageDrawBitmap(hdc, ref, &unit->property, parent, matrix, Ctx().outlineOnly);
        if (mode & (OUTPUT_PRINTER | OUTPUT_METAFILE | OUTPUT_SCREEN_LIKE))
            return ImagePrintBitmap(hdc, ref, &unit->property, parent, matrix);
        return 1;
    }
    case OBJTYPE_DIM_DIST: case OBJTYPE_DIM_RAD: case OBJTYPE_DIM_DIA: case OBJTYPE_DIM_ANGLE: case OBJTYPE_DIM_ARC:
    case OBJTYPE_DIM_COORD: case OBJTYPE_DIM_AREA: case OBJTYPE_DIM_PERI:
        return DimensionText(hdc, unit, parent, matrix, clip, selection);
    default:
        return 1;
    }
}

} // namespace

int OutputAnnotation(HDC hdc, Unit *unit, const XProperty *parent, const Matrix *matrix, int clip)
{
    return Annotation(hdc, unit, parent, matrix, clip, false);
}

int OutputAnnotationSelection(HDC hdc, Unit *unit, const XProperty *parent, const Matrix *matrix, int clip)
{
    return Annotation(hdc, unit, parent, matrix, clip, true);
}

namespace {

// Prepares the text's attributes, draws it with `draw` and releases them.
template <typename Draw>
int WithTextAttributes(HDC hdc, const char *text, const XProperty *textProperty, const XProperty *parent, Draw draw)
{
    if (!text || !*text)
        return 1;
    if (!OutputPrepareTextAttributes(textProperty, parent, &Ctx()))
        return 1;
    OutputSelectObjectGdi(hdc, &Ctx());
    Ctx().textColour = OutputMapColor(hdc, Ctx().fillColour);
    draw();
    OutputRestoreGdi(hdc, &Ctx());
    return 1;
}

} // namespace

// The set-up of a highlighted text: its attributes resolved (hidden: nothing
// drawn), its outlines stroked in the highlight pen, a filled text shown
// filled in the colour that stands out from its fill; the output state's
// text attributes are given back afterwards.
template <typename Draw>
int WithSelectionAttributes(HDC hdc, const char *text, const XProperty *textProperty, const XProperty *parent,
                            Draw draw)
{
    if (!text || !*text || (OutputIsScreenType(Ctx().mode) && !g_DrawingSettings.displayDrawing))
        return 1;
    XProperty resolved;
    if (!OutputResolveXProperty(textProperty, parent, &resolved))
        return 1;
    const uint32_t flags = Ctx().drawFlags;
    const int32_t fillOnly = Ctx().fillOnlyText;
    const COLORREF colour = Ctx().textColour;
    Ctx().drawFlags = DRAW_STROKE;
    Ctx().fillOnlyText = resolved.fillMode == FILL_SOLID || resolved.fillMode == FILL_ERASER ? 1 : 0;
    Ctx().textColour = OutputContrastColour(hdc, Ctx().selectionColour, Ctx().fillColour);
    draw();
    Ctx().drawFlags = flags, Ctx().fillOnlyText = fillOnly, Ctx().textColour = colour;
    return 1;
}

int OutputTextSelection(HDC hdc, const FontDef *font, const char *text, const XProperty *textProperty,
                        const XProperty *parent, const Matrix *matrix, int clip)
{
    return WithSelectionAttributes(hdc, text, textProperty, parent,
                                   [&] { OutputText(hdc, font, text, matrix, clip, 0); });
}

int OutputTextSpacedSelection(HDC hdc, const FontDef *font, const char *text, const XProperty *textProperty,
                              const XProperty *parent, TextFrameLayout *layout, int clip)
{
    return WithSelectionAttributes(hdc, text, textProperty, parent,
                                   [&] { OutputTextSpaced(hdc, font, text, layout, clip, 0); });
}

int OutputTextWithAttributes(HDC hdc, const FontDef *font, const char *text, const XProperty *textProperty,
                             const XProperty *parent, const Matrix *matrix, int clip)
{
    return WithTextAttributes(hdc, text, textProperty, parent,
                              [&] { OutputText(hdc, font, text, matrix, clip, 1); });
}

namespace {

// Draws the characters of a walk already set up: the first code, then each
// next one from the walk.
template <typename Next>
void DrawCharacters(HDC hdc, const FontDef *font, HFONT gdiFont, int library, int code, int clip, Next next)
{
    HFONT deviceFont = nullptr;
    int boxes = 0;
    if (gdiFont) {
        const bool outlines = font->kind == FONT_KIND_TRUETYPE && TrueTypeAsOutlines();
        boxes = OutputSelectDeviceFont(font, Ctx().fillOnlyText && !outlines ? &deviceFont : nullptr);
    }
    while (code >= FIRST_CODE && code <= LAST_CODE && !OutputAborted()) {
        double advance;
        if (deviceFont || boxes)
            advance = OutputCharDevice(hdc, deviceFont, code);
        else if (gdiFont)
            advance = OutputCharTrueType(hdc, gdiFont, code, clip);
        else
            advance = OutputCharVectorFont(hdc, library, code, clip);
        code = next(advance);
    }
}

// Selects the font for drawing; 0 when the text is to be shown by its label or not at all.
bool SelectTextFont(const FontDef *font, HFONT *gdiFont, int *library)
{
    const bool allowed = OutputIsDeviceMode(Ctx().mode) || g_DrawingSettings.displayTexts;
    return allowed && SymbolSelectFont(font, gdiFont, library);
}

} // namespace

int OutputText(HDC hdc, const FontDef *font, const char *text, const Matrix *matrix, int clip, int showMissing)
{
    if (!text || !*text)
        return 1;
    HFONT gdiFont = nullptr;
    int library = -1;
    if (!SelectTextFont(font, &gdiFont, &library))
        return showMissing ? OutputDrawMissingText(hdc, "[%s] %s", font->face, text, matrix) : 1;
    if (Ctx().depth > OUTPUT_MAX_NESTING)
        return 1;
    Ctx().depth += 1;
    Matrix m = *matrix;
    m.a *= CHARACTER_UNIT, m.b *= CHARACTER_UNIT, m.c *= CHARACTER_UNIT, m.d *= CHARACTER_UNIT;
    Ctx().current = m;
    MatrixMultiply(&Ctx().current, &Ctx().base);
    const int first = SymbolBeginText(text, &Ctx().current);
    DrawCharacters(hdc, font, gdiFont, library, first, clip,
                   [](double advance) { return SymbolNextTextLine(advance, nullptr); });
    Ctx().current = Ctx().base;
    Ctx().depth -= 1;
    return 1;
}

int OutputTextSpaced(HDC hdc, const FontDef *font, const char *text, TextFrameLayout *layout, int clip,
                     int showMissing)
{
    if (!text || !*text)
        return 1;
    HFONT gdiFont = nullptr;
    int library = -1;
    if (!SelectTextFont(font, &gdiFont, &library))
        return showMissing ? OutputDrawMissingText(hdc, "[%s] %s", font->face, text, &layout->firstLine) : 1;
    if (Ctx().depth > OUTPUT_MAX_NESTING)
        return 1;
    Ctx().depth += 1;
    Ctx().current = layout->firstLine; // already maps character units to the device
    const int first = SymbolBeginFrameText(text, layout, &Ctx().current);
    DrawCharacters(hdc, font, gdiFont, library, first, clip,
                   [layout](double advance) { return SymbolNextFrameLine(advance, layout, nullptr); });
    Ctx().current = Ctx().base;
    Ctx().depth -= 1;
    return 1;
}

int OutputTextSpacedWithAttributes(HDC hdc, const FontDef *font, const char *text, const XProperty *textProperty,
                                   const XProperty *parent, TextFrameLayout *layout, int clip)
{
    return WithTextAttributes(hdc, text, textProperty, parent,
                              [&] { OutputTextSpaced(hdc, font, text, layout, clip, 1); });
}

namespace {

// The character's cell; false when it lies outside the visible device area.
bool CharVisible(int code, double box[4], double *advance)
{
    SymbolGetCharCell(code, box, advance);
    return OutputDeviceBoxVisible(box[0], box[1], box[2], box[3]) != 0;
}

} // namespace

double OutputCharDevice(HDC hdc, HFONT font, int code)
{
    double box[4], advance;
    if (!CharVisible(code, box, &advance))
        return advance;
    if (OutputCheckAbort())
        return 0.0;
    if (font) {
        HGDIOBJ old = SelectObject(hdc, font);
        SetTextColor(hdc, Ctx().textColour);
        SetTextAlign(hdc, TA_BASELINE);
        SetBkMode(hdc, TRANSPARENT);
        const char c = static_cast<char>(code);
        TextOutA(hdc, ClipRound(Ctx().current.tx), ClipRound(Ctx().current.ty), &c, 1);
        SetTextAlign(hdc, 0);
        SelectObject(hdc, old);
        return advance;
    }
    HBRUSH brush = CreateSolidBrush(Ctx().textColour);
    SelectObject(hdc, GetStockObject(NULL_PEN));
    if (brush)
        SelectObject(hdc, brush);
    ClipDrawPolygon(hdc, box[0], box[1], advance, box[3]);
    SelectObject(hdc, Ctx().brush ? static_cast<HGDIOBJ>(Ctx().brush) : GetStockObject(WHITE_BRUSH));
    if (brush)
        DeleteObject(brush);
    SelectObject(hdc, Ctx().pen ? static_cast<HGDIOBJ>(Ctx().pen) : GetStockObject(BLACK_PEN));
    return advance;
}

double OutputCharTrueType(HDC hdc, HFONT font, int code, int clip)
{
    (void)font; // the text engine holds it selected in its measuring context
    double box[4], advance;
    if (!CharVisible(code, box, &advance))
        return advance;
    if (OutputCheckAbort())
        return 0.0;
    // Outlines are kept with the font's metrics: a repaint converts nothing.
    if (const Unit *glyph = SymbolGlyphPath(code))
        OutputDrawElement(hdc, const_cast<Unit *>(glyph), clip, Ctx().drawFlags);
    return advance;
}

double OutputCharVectorFont(HDC hdc, int library, int code, int clip)
{
    double box[4], advance;
    if (!CharVisible(code, box, &advance))
        return advance;
    if (OutputCheckAbort())
        return 0.0;
    Unit *block = SymbolGetCharBlock(library, code);
    for (Unit *member = block ? block->block.firstMember : nullptr; member; member = member->next)
        if (member->kind == UNIT_KIND_OBJECT)
            OutputDrawElement(hdc, member, clip, Ctx().drawFlags);
    return advance;
}

void OutputWalkTextToEnd(const FontDef *font, const char *text)
{
    HFONT gdiFont = nullptr;
    int library = -1;
    if (!text || !*text || !SymbolSelectFont(font, &gdiFont, &library))
        return;
    Matrix scratch;
    MatrixInit(&scratch);
    for (int code = SymbolBeginText(text, &scratch); code >= FIRST_CODE && code <= LAST_CODE;)
        code = SymbolNextTextLine(SymbolCharAdvance(code), nullptr);
}

int OutputBuildOverline(const Matrix &label, const DimCommon *common, Unit *line, uint32_t capacity)
{
    const double shift = SymbolGetTextLineShift(), end = shift + SymbolGetTextPenX();
    double x1, y1, x2, y2;
    MatrixApply(label, shift, OVERLINE_LIFT, &x1, &y1);
    MatrixApply(label, end, OVERLINE_LIFT, &x2, &y2);
    std::memset(line, 0, capacity);
    line->kind = UNIT_KIND_OBJECT;
    line->object.type = OBJTYPE_LINE;
    line->object.reserved = -1;
    line->property = common->property;
    line->property.ownFlags |= XPROP_OWN_FILL;
    line->property.fillMode = 0;
    line->frame[0] = std::min(x1, x2), line->frame[1] = std::min(y1, y2);
    line->frame[2] = std::max(x1, x2), line->frame[3] = std::max(y1, y2);
    ChainWriter w;
    InitChainBegin(&w, line, capacity);
    InitChainPoint(&w, POINT_START, x1, y1);
    InitChainPoint(&w, POINT_LINE, x2, y2);
    return InitChainEnd(&w) ? 1 : 0;
}

// Texts in the enumeration stream: as glyph outlines or vector-font strokes
// (ordinary path records), as character or text records, or only as the
// fonts they use.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "database/init.h"
#include "database/object_types.h"
#include "database/symbol_charlib.h"
#include "display/output.h"
#include "display/symbol.h"
#include "geometry/frame_dim.h"
#include "plugin/stream.h"

namespace {

constexpr double CHARACTER_UNIT = 0.05; // the engine's cell is 20 units high
constexpr int FIRST_CODE = 32;
constexpr int LAST_CODE = 255;
constexpr int LINE_BUFFER_SIZE = 8192;
constexpr double PLAIN_RATIO = 1.01;
constexpr double PLAIN_SKEW = 0.01;

OutputContext &Ctx() { return g_OutputContext; }
bool Has(uint32_t flag) { return (StreamFlags() & flag) != 0; }
bool Printable(int code) { return code >= FIRST_CODE && code <= LAST_CODE; }

const Element *ElementAt(Unit *unit, int index)
{
    const uint8_t *end = reinterpret_cast<uint8_t *>(unit) + unit->bytes;
    int i = 0;
    for (const Element *e = UnitFirstElement(unit); reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end &&
                                                    e->size >= ELEMENT_HEADER_SIZE && e->kind != ELEM_END;
         e = ElementNext(e), ++i)
        if (i == index)
            return e;
    return nullptr;
}

const Element *ElementOfKind(Unit *unit, int16_t kind)
{
    for (int i = 0;; ++i) {
        const Element *e = ElementAt(unit, i);
        if (!e || e->kind == kind)
            return e;
    }
}

const char *TextOf(const Element *e)
{
    return e && e->kind == ELEM_TEXT ? static_cast<const char *>(ElementPayload(e)) : nullptr;
}

// The engine's matrix scaled back to a cell of height 1.
Matrix RecordMatrix(const Matrix &m)
{
    Matrix r = m;
    r.a *= 1.0 / CHARACTER_UNIT, r.b *= 1.0 / CHARACTER_UNIT, r.c *= 1.0 / CHARACTER_UNIT, r.d *= 1.0 / CHARACTER_UNIT;
    return r;
}

bool MatrixIsPlain()
{
    if (!StreamMapsPoints())
        return true;
    const Matrix &m = Ctx().current;
    const double l1 = std::hypot(m.a, m.b), l2 = std::hypot(m.c, m.d);
    return l1 <= l2 * PLAIN_RATIO && l2 <= l1 * PLAIN_RATIO && std::fabs(m.a * m.c + m.b * m.d) <= PLAIN_SKEW &&
           m.a * m.d - m.b * m.c >= 0.0;
}

bool CharVisible(int code, double *advance)
{
    double box[4];
    SymbolGetCharCell(code, box, advance);
    return !Has(ENUM_CLIP_WINDOW) || OutputBoxVisible(box[0], box[1], box[2], box[3], &Ctx().current);
}

double SendChar(int code)
{
    double advance = 0.0;
    if (!CharVisible(code, &advance))
        return advance;
    const char text[2] = {static_cast<char>(code), 0};
    const Matrix m = RecordMatrix(Ctx().current);
    EnumerateRecord &r = StreamRecord();
    r.name1 = text;
    r.matrix = &m;
    StreamSetStyle(Ctx().drawFlags);
    StreamSend(ENUM_CMD_CHAR, 1);
    return advance;
}

void SendText(const char *string, int length, const Matrix *at)
{
    if (length <= 0)
        return;
    const Matrix m = RecordMatrix(at ? *at : Ctx().current);
    EnumerateRecord &r = StreamRecord();
    r.name1 = string;
    r.matrix = &m;
    int alignment = 0;
    SymbolGetTextLayout(&r.charSpacing, &r.tabUnit, &r.lineSpacing, &alignment);
    r.alignment = alignment;
    StreamSetStyle(Ctx().drawFlags);
    StreamSend(ENUM_CMD_TEXT, length);
}

// Glyph outlines are ordinary path objects in character units.
double EmitTrueTypeChar(int code)
{
    double advance = 0.0;
    if (StreamAborted() || !CharVisible(code, &advance))
        return advance;
    if (const Unit *glyph = SymbolGlyphPath(code))
        StreamEmitObject(const_cast<Unit *>(glyph), Ctx().drawFlags);
    return advance;
}

double EmitVectorChar(int library, int code)
{
    double advance = 0.0;
    if (StreamAborted() || !CharVisible(code, &advance))
        return advance;
    Unit *block = SymbolGetCharBlock(library, code);
    for (Unit *member = block ? block->block.firstMember : nullptr; member && !StreamAborted(); member = member->next)
        if (member->kind == UNIT_KIND_OBJECT)
            StreamEmitObject(member, Ctx().drawFlags);
    return advance;
}

// Makes the font current and the record's, and opens one level with the
// matrix; false (nothing to send) when the font cannot be had or the nesting
// is too deep.
bool EnterFont(const FontDef *font, const Matrix &m, HFONT *gdiFont, int *library)
{
    if (!SymbolSelectFont(font, gdiFont, library))
        return false;
    StreamRecord().font = *font;
    if (Ctx().depth > STREAM_MAX_DEPTH)
        return false;
    Ctx().depth += 1;
    Ctx().current = m;
    return true;
}

// The walk shared by plain and framed texts: the engine's begin and next.
template <typename Begin, typename Next>
int EmitText(const FontDef *font, const char *text, const Matrix &start, Begin begin, Next next)
{
    if (StreamAborted())
        return 0;
    if (!text || !*text)
        return 1;
    HFONT gdiFont = nullptr;
    int library = -1;
    if (!EnterFont(font, start, &gdiFont, &library))
        return 1;
    const bool records = Has(ENUM_STRINGS) || (Has(ENUM_TRUETYPE_STRINGS) && gdiFont &&
                                               !(Ctx().drawFlags & DRAW_STROKE_BITS) && MatrixIsPlain());
    bool done = false;
    if (records && Has(ENUM_TEXT_WHOLE)) {
        SendText(text, static_cast<int>(std::strlen(text)), nullptr);
        done = true;
    } else if (records && Has(ENUM_TEXT_LINES)) {
        char line[LINE_BUFFER_SIZE];
        int used = 0;
        Matrix lineStart = Ctx().current;
        for (int code = begin(); Printable(code) && !StreamAborted();) {
            const double advance = SymbolCharAdvance(code);
            if (used < LINE_BUFFER_SIZE - 1)
                line[used++] = static_cast<char>(code);
            int newLine = 0;
            code = next(advance, &newLine);
            if (newLine && used > 0) {
                line[used] = 0;
                SendText(line, used, &lineStart);
                used = 0;
                SymbolGetLineMatrix(&lineStart);
            }
        }
        line[used] = 0;
        SendText(line, used, &lineStart);
        done = true;
    }
    if (!done) {
        for (int code = begin(); Printable(code) && !StreamAborted();) {
            const double advance = records ? SendChar(code) : gdiFont ? EmitTrueTypeChar(code)
                                                                      : EmitVectorChar(library, code);
            code = next(advance, nullptr);
        }
    }
    Ctx().current = Ctx().base;
    Ctx().depth -= 1;
    return StreamAborted() ? 0 : 1;
}

int EmitTextString(const FontDef *font, const char *text, const Matrix *placement)
{
    Matrix m = *placement;
    m.a *= CHARACTER_UNIT, m.b *= CHARACTER_UNIT, m.c *= CHARACTER_UNIT, m.d *= CHARACTER_UNIT;
    MatrixMultiply(&m, &Ctx().base);
    return EmitText(
        font, text, m, [&] { return SymbolBeginText(text, &Ctx().current); },
        [](double advance, int *newLine) { return SymbolNextTextLine(advance, newLine); });
}

int EmitFrameText(const FontDef *font, const char *text, TextFrameLayout *layout)
{
    return EmitText(
        font, text, layout->firstLine, [&] { return SymbolBeginFrameText(text, layout, &Ctx().current); },
        [layout](double advance, int *newLine) { return SymbolNextFrameLine(advance, layout, newLine); });
}

// Prepares the text's attributes; false when it is not to be sent.
bool PrepareText(const char *text, const XProperty *textProperty, const XProperty *enclosing)
{
    if (!text || !*text)
        return false;
    return OutputPrepareTextAttributes(textProperty, enclosing, &Ctx()) || !Has(ENUM_VISIBLE_ONLY);
}

int StandardText(Unit *object, int textIndex, int recordIndex, const XProperty *enclosing, const Matrix *m)
{
    const char *text = TextOf(ElementAt(object, textIndex));
    const Element *e = ElementAt(object, recordIndex);
    if (!text || !e || e->kind != ELEM_TEXT_STANDARD)
        return 1;
    const auto *record = static_cast<const TextStandardData *>(ElementPayload(e));
    if (Has(ENUM_FONTS_ONLY)) {
        StreamSendFont(&record->font);
        return StreamAborted() ? 0 : 1;
    }
    Matrix placement = record->matrix;
    MatrixMultiply(&placement, m);
    SymbolSetTextLayout(record->charSpacing, record->tabUnit, record->lineSpacing, record->alignment);
    const char *shown = SymbolGetTextString(text);
    int result = 1;
    if (PrepareText(shown, &record->property, enclosing))
        result = EmitTextString(&record->font, shown, &placement);
    SymbolReleaseTextString();
    return result;
}

int FrameText(Unit *object, const XProperty *enclosing, const Matrix *m)
{
    const Element *e0 = ElementAt(object, 0), *e1 = ElementAt(object, 1), *e2 = ElementAt(object, 2);
    const char *text = TextOf(ElementAt(object, 3));
    const Element *e = ElementAt(object, 4);
    if (!e0 || !e1 || !e2 || !ElementIsPoint(e0) || !ElementIsPoint(e1) || !ElementIsPoint(e2) || !text || !e ||
        e->kind != ELEM_TEXT_FRAME)
        return 1;
    const auto *record = static_cast<const TextFrameData *>(ElementPayload(e));
    if (Has(ENUM_FONTS_ONLY)) {
        StreamSendFont(&record->font);
        return StreamAborted() ? 0 : 1;
    }
    auto p = [](const Element *x) { return reinterpret_cast<const ElementPoint *>(x); };
    SymbolSetTextLayoutEx(record->height, record->charSpacing, record->tabUnit, record->lineSpacing,
                          record->alignment);
    TextFrameLayout layout;
    if (!SymbolLayoutTextFrame(p(e0)->x, p(e0)->y, p(e1)->x, p(e1)->y, p(e2)->x, p(e2)->y, &layout, m, &Ctx().base))
        return 1;
    const char *shown = SymbolGetTextString(text);
    int result = 1;
    if (PrepareText(shown, &record->property, enclosing))
        result = EmitFrameText(&record->font, shown, &layout);
    SymbolReleaseTextString();
    return result;
}

// The line over a dimension's value, sent like a Line object in the text's
// attributes.
int SendOverline(const Matrix &label, const DimCommon *common, const XProperty *enclosing, const Matrix *m)
{
    alignas(8) uint8_t bytes[OUTPUT_OVERLINE_UNIT_SIZE] = {};
    Unit *line = reinterpret_cast<Unit *>(bytes);
    if (!OutputBuildOverline(label, common, line, sizeof bytes))
        return 1;
    return StreamEmitPlainObject(line, enclosing, m);
}

// The tolerance texts, set after the label's end.
int SendTolerances(const DimTolerances &tolerances, const DimCommon *common, const XProperty *enclosing,
                   const Matrix *m)
{
    for (const auto &[text, at] : {std::pair{tolerances.upper, &tolerances.upperAt},
                                   std::pair{tolerances.lower, &tolerances.lowerAt}}) {
        if (!*text || StreamAborted())
            continue;
        Matrix placed = *at;
        MatrixMultiply(&placed, m);
        SymbolSetTextLayout(common->values420[0], common->values420[1], 1.0, TEXT_ALIGN_LEFT);
        const char *shown = SymbolGetTextString(text);
        if (PrepareText(shown, &common->property, enclosing))
            EmitTextString(&common->font, shown, &placed);
        SymbolReleaseTextString();
    }
    return StreamAborted() ? 0 : 1;
}

// The texts of a dimension as the renderer sets them: the label centred on
// the text point along the text angle, the line over it when its font asks
// for one, and the tolerances after its end.
int DimensionText(Unit *object, const XProperty *enclosing, const Matrix *m)
{
    char label[DIM_LABEL_SIZE];
    Matrix local;
    const DimCommon *common = nullptr;
    if (!FrameDimensionLabel(object, label, sizeof label, &local, &common))
        return 1;
    Matrix placement = local;
    MatrixMultiply(&placement, m);
    SymbolSetTextLayout(common->values420[0], common->values420[1], 1.0, TEXT_ALIGN_CENTRE);
    const char *shown = SymbolGetTextString(label);
    bool sent = false;
    if (PrepareText(shown, &common->property, enclosing)) {
        sent = true;
        EmitTextString(&common->font, shown, &placement);
        OutputWalkTextToEnd(&common->font, shown);
    }
    SymbolReleaseTextString();
    if (!sent || StreamAborted())
        return StreamAborted() ? 0 : 1;
    // Both read the pen the label's walk left in the engine.
    DimTolerances tolerances;
    const bool withTolerances = FrameDimensionTolerances(object, &tolerances) != 0;
    if ((common->font.style & FONT_STYLE_OVERLINE) && !SendOverline(local, common, enclosing, m))
        return 0;
    return withTolerances ? SendTolerances(tolerances, common, enclosing, m) : 1;
}

} // namespace

int StreamEmitObjectTexts(Unit *object, const XProperty *enclosing, const Matrix *m)
{
    if (StreamAborted())
        return 0;
    if (Has(ENUM_SKIP_TEXTS))
        return 1;
    const int32_t type = object->object.type;
    switch (type) {
    case OBJTYPE_STD_TEXT: return StandardText(object, 0, 1, enclosing, m);
    case OBJTYPE_REF_TEXT: return StandardText(object, 2, 3, enclosing, m);
    case OBJTYPE_FRAME_TEXT: return FrameText(object, enclosing, m);
    default: break;
    }
    if (type < OBJTYPE_DIM_DIST || type > OBJTYPE_DIM_PERI)
        return 1;
    if (!Has(ENUM_FONTS_ONLY))
        return DimensionText(object, enclosing, m);
    const Element *e = ElementOfKind(object, ELEM_DIM_LARGE);
    if (!e)
        e = ElementOfKind(object, ELEM_DIM_SMALL);
    if (e)
        StreamSendFont(&static_cast<const DimCommon *>(ElementPayload(e))->font);
    return StreamAborted() ? 0 : 1;
}

int StreamEmitChar(const FontDef *font, int code, const Matrix *m)
{
    if (StreamAborted())
        return 0;
    HFONT gdiFont = nullptr;
    int library = -1;
    if (!EnterFont(font, *m, &gdiFont, &library))
        return 1;
    if (Printable(code)) {
        if (gdiFont)
            EmitTrueTypeChar(code);
        else
            EmitVectorChar(library, code);
    }
    Ctx().current = Ctx().base;
    Ctx().depth -= 1;
    return StreamAborted() ? 0 : 1;
}

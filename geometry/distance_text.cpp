// Distances from a point to what the user sees of texts: the outlines of the
// characters of system fonts, the drawings of character-library characters
// (a blank by its baseline), the text block of a dimension with its
// tolerances, and the text, leader and frame of a reference text.
#include <algorithm>
#include <cmath>

#include "database/object_types.h"
#include "database/symbol_charlib.h"
#include "display/output.h"
#include "display/symbol.h"
#include "files/file_records.h"
#include "geometry/distance.h"
#include "geometry/distance_internal.h"
#include "geometry/frame_dim.h"

namespace {

// A text engine unit is a twentieth of the text height.
constexpr double TEXT_UNIT = 1.0 / TEXT_UNITS_PER_HEIGHT;
constexpr int FIRST_CODE = 32;
constexpr int LAST_CODE = 255;

void Keep(double *best, double d)
{
    if (d <= *best)
        *best = d;
}

double Origin(const Matrix &m, double px, double py) { return std::hypot(px - m.tx, py - m.ty); }

// The baseline of a character box {ascent, descent, left, right, advance}.
double Baseline(const double box[5], double px, double py, const Matrix *charMatrix)
{
    return DistancePointSegment(box[2], 0.0, box[3], 0.0, px, py, charMatrix);
}

// The walk shared by unframed and framed texts: measures each character from
// the first code on and asks `next` for the following one.
template <typename Next>
double WalkCharacters(HFONT handle, int library, int code, const Matrix *charMatrix, double px, double py,
                      const XProperty &resolved, Next next)
{
    double best = DISTANCE_NONE;
    while (code >= FIRST_CODE && code <= LAST_CODE) {
        double advance = 0.0;
        const double d = handle ? DistancePointGlyphs(code, px, py, &resolved, charMatrix, &advance)
                                : DistancePointLibraryChar(library, code, px, py, &resolved, charMatrix, &advance);
        Keep(&best, d);
        code = next(advance);
    }
    return best;
}

// The attributes a text's characters are measured with and its font (a
// TrueType font or a character library); false when the font cannot be had.
struct TextFont {
    XProperty resolved;
    HFONT handle = nullptr;
    int library = -1;
};

bool PrepareTextFont(const FontDef *font, const XProperty *own, const XProperty *parent, TextFont *out)
{
    OutputResolveXProperty(own, parent, &out->resolved);
    return SymbolSelectFont(font, &out->handle, &out->library) != 0;
}

} // namespace

double DistancePointGlyphs(int code, double px, double py, const XProperty *resolved, const Matrix *charMatrix,
                           double *advance)
{
    double box[5];
    SymbolGetCharBox(code, box);
    *advance = box[4];
    if (!DistanceBoxInSearchBox(box[2], box[1], box[3], box[0], charMatrix))
        return DISTANCE_NONE;
    // The outline is converted once per font and kept with its metrics.
    double d = DISTANCE_NONE;
    if (const Unit *glyph = SymbolGlyphPath(code))
        d = DistancePointObject(const_cast<Unit *>(glyph), px, py, resolved, charMatrix, 0);
    return d < DISTANCE_NONE ? d : Baseline(box, px, py, charMatrix);
}

double DistancePointLibraryChar(int library, int code, double px, double py, const XProperty *resolved,
                                const Matrix *charMatrix, double *advance)
{
    double box[5];
    SymbolGetCharBox(code, box);
    *advance = box[4];
    if (!DistanceBoxInSearchBox(box[2], box[1], box[3], box[0], charMatrix))
        return DISTANCE_NONE;
    Unit *block = SymbolGetCharBlock(library, code);
    if (!block)
        return DISTANCE_NONE;
    double best = DISTANCE_NONE;
    for (Unit *member = block->block.firstMember; member; member = member->next)
        if (member->kind == UNIT_KIND_OBJECT)
            Keep(&best, DistancePointObject(member, px, py, resolved, charMatrix, 0));
    return best;
}

double DistancePointTextChars(const FontDef *font, const char *string, const Matrix *textMatrix, double px,
                              double py, const XProperty *own, const XProperty *parent, const Matrix *outer)
{
    TextFont f;
    if (!PrepareTextFont(font, own, parent, &f))
        return DISTANCE_NONE;
    Matrix m = *textMatrix;
    m.a *= TEXT_UNIT, m.b *= TEXT_UNIT, m.c *= TEXT_UNIT, m.d *= TEXT_UNIT;
    if (outer)
        MatrixMultiply(&m, outer);
    OutputContext &ctx = g_OutputContext;
    if (!string || !*string || ctx.nestingDepth > OUTPUT_MAX_NESTING)
        return Origin(m, px, py);
    ++ctx.nestingDepth;
    const int first = SymbolBeginText(string, &m);
    const double best = WalkCharacters(f.handle, f.library, first, &m, px, py, f.resolved,
                                       [](double advance) { return SymbolNextTextLine(advance, nullptr); });
    --ctx.nestingDepth;
    return best;
}

double DistancePointFrameTextChars(const FontDef *font, const char *string, TextFrameLayout *layout, double px,
                                   double py, const XProperty *own, const XProperty *parent)
{
    TextFont f;
    if (!PrepareTextFont(font, own, parent, &f))
        return DISTANCE_NONE;
    OutputContext &ctx = g_OutputContext;
    if (!string || !*string || ctx.nestingDepth > OUTPUT_MAX_NESTING)
        return DISTANCE_NONE;
    ++ctx.nestingDepth;
    Matrix m = layout->firstLine;
    const int first = SymbolBeginFrameText(string, layout, &m);
    const double best =
        WalkCharacters(f.handle, f.library, first, &m, px, py, f.resolved,
                       [layout](double advance) { return SymbolNextFrameLine(advance, layout, nullptr); });
    --ctx.nestingDepth;
    return best;
}

double DistancePointTextString(Unit *dimension, double px, double py, const XProperty *parent,
                               const Matrix *matrix)
{
    // Measured where the renderer draws them: the label centred on the text
    // point, its tolerances after it, the line over it for the overline style.
    char label[DIM_LABEL_SIZE];
    Matrix placed;
    const DimCommon *common = nullptr;
    if (!FrameDimensionLabel(dimension, label, sizeof label, &placed, &common))
        return DISTANCE_NONE;
    SymbolSetTextLayout(common->values420[0], common->values420[1], 1.0, TEXT_ALIGN_CENTRE);
    const char *shown = SymbolGetTextString(label);
    double best = DistancePointTextChars(&common->font, shown, &placed, px, py, &common->property, parent, matrix);
    OutputWalkTextToEnd(&common->font, shown);
    if (common->font.style & FONT_STYLE_OVERLINE) {
        alignas(8) uint8_t bytes[OUTPUT_OVERLINE_UNIT_SIZE] = {};
        Unit *line = reinterpret_cast<Unit *>(bytes);
        if (OutputBuildOverline(placed, common, line, sizeof bytes) == 1)
            Keep(&best, DistancePointObject(line, px, py, parent, matrix, 0));
    }
    SymbolReleaseTextString();
    DimTolerances tolerances;
    if (!FrameDimensionTolerances(dimension, &tolerances))
        return best;
    for (const auto &[text, at] : {std::pair{tolerances.upper, &tolerances.upperAt},
                                   std::pair{tolerances.lower, &tolerances.lowerAt}}) {
        if (!*text)
            continue;
        SymbolSetTextLayout(common->values420[0], common->values420[1], 1.0, TEXT_ALIGN_LEFT);
        const char *tolerance = SymbolGetTextString(text);
        Keep(&best, DistancePointTextChars(&common->font, tolerance, at, px, py, &common->property, parent, matrix));
        SymbolReleaseTextString();
    }
    return best;
}

// ---------------------------------------------------------------------------
// Text objects.

double DistanceStandardTextAt(const Unit *object, int textNumber, double px, double py, const XProperty *parent,
                              const Matrix *matrix)
{
    const Element *text = DistanceElementAt(object, textNumber), *record = DistanceElementAt(object, textNumber + 1);
    if (!text || text->kind != ELEM_TEXT || !record || record->kind != ELEM_TEXT_STANDARD)
        return DISTANCE_NONE;
    const auto *r = static_cast<const TextStandardData *>(ElementPayload(record));
    SymbolSetTextLayout(r->charSpacing, r->tabUnit, r->lineSpacing, r->alignment);
    const char *s = SymbolGetTextString(static_cast<const char *>(ElementPayload(text)));
    const double d = DistancePointTextChars(&r->font, s, &r->matrix, px, py, &r->property, parent, matrix);
    SymbolReleaseTextString();
    return d;
}

double DistanceFrameText(const Unit *object, double px, double py, const XProperty *parent, const Matrix *matrix)
{
    const ElementPoint *a = DistancePointAt(object, 1), *b = DistancePointAt(object, 2), *c = DistancePointAt(object, 3);
    const Element *text = DistanceElementAt(object, 4), *record = DistanceElementAt(object, 5);
    if (!a || !b || !c || !text || text->kind != ELEM_TEXT || !record || record->kind != ELEM_TEXT_FRAME)
        return DISTANCE_NONE;
    const auto *r = static_cast<const TextFrameData *>(ElementPayload(record));
    SymbolSetTextLayoutEx(r->height, r->charSpacing, r->tabUnit, r->lineSpacing, r->alignment);
    TextFrameLayout layout;
    if (!SymbolLayoutTextFrame(a->x, a->y, b->x, b->y, c->x, c->y, &layout, matrix, nullptr))
        return DISTANCE_NONE;
    const char *s = SymbolGetTextString(static_cast<const char *>(ElementPayload(text)));
    const double d = DistancePointFrameTextChars(&r->font, s, &layout, px, py, &r->property, parent);
    SymbolReleaseTextString();
    return d;
}

double DistanceRefText(Unit *object, double px, double py, const XProperty *parent, const Matrix *matrix)
{
    FrameRegenerateRefText(object, parent);
    const Element *work = DistanceElementAt(object, 6);
    if (!work || work->kind != ELEM_SUB_REFTEXT || work->size < ELEM_SIZE_SUB_REFTEXT)
        return DISTANCE_NONE;
    const auto &g = *static_cast<const RefTextGeometry *>(ElementPayload(work));
    double best = DistanceStandardTextAt(object, 3, px, py, parent, matrix);
    const CalcPoint *l = g.leader;
    if (FrameRefTextHasKnee(g.leaderMode)) {
        Keep(&best, DistancePointSegment(l[0].x, l[0].y, l[1].x, l[1].y, px, py, matrix));
        Keep(&best, DistancePointSegment(l[1].x, l[1].y, l[2].x, l[2].y, px, py, matrix));
    } else {
        Keep(&best, DistancePointSegment(l[0].x, l[0].y, l[2].x, l[2].y, px, py, matrix));
    }
    const CalcPoint *f = g.frame;
    if (g.frameShape == REFTEXT_FRAME_CIRCLE) {
        Keep(&best, DistancePointCircle(f[0].x, f[0].y, f[1].x, f[1].y, px, py, matrix));
    } else if (g.frameShape == REFTEXT_FRAME_ELLIPSE) {
        Keep(&best, DistancePointEllipse(f[0].x, f[0].y, f[1].x, f[1].y, f[2].x, f[2].y, px, py, matrix));
    } else {
        for (int i = 0; i < 4; ++i)
            Keep(&best, DistancePointSegment(f[i].x, f[i].y, f[(i + 1) % 4].x, f[(i + 1) % 4].y, px, py, matrix));
    }
    return best;
}

double DistanceDimension(Unit *object, double px, double py, const XProperty *parent, const Matrix *matrix)
{
    double best = DISTANCE_NONE;
    DimLines l;
    if (FrameDimensionLines(object, &l)) {
        for (int i = 0; i < 2; ++i)
            if (l.extension[i])
                Keep(&best, DistancePointSegment(l.end[i].x, l.end[i].y, l.foot[i].x, l.foot[i].y, px, py, matrix));
        if (l.arc)
            Keep(&best, DistancePointCircleArc(l.centre.x, l.centre.y, l.end[0].x, l.end[0].y, l.end[1].x,
                                               l.end[1].y, l.sweep, px, py, matrix));
        else
            Keep(&best, DistancePointSegment(l.end[0].x, l.end[0].y, l.end[1].x, l.end[1].y, px, py, matrix));
    }
    Keep(&best, DistancePointTextString(object, px, py, parent, matrix));
    return best;
}

// Text objects: creating standard and framed texts, glyph outlines as surface
// objects, and text to curves.
#include <cmath>
#include <cstring>

#include "app/darad4.h"
#include "app/system.h"
#include "commands/transform.h"
#include "database/init.h"
#include "database/object.h"
#include "database/object_rects.h"
#include "plugin/zvi_edit.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_charlib.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "display/symbol.h"
#include "geometry/frame.h"
#include "language/language.h"

namespace {

constexpr double kGlyphScale = 0.02;        // font units (em 1000) to character units (em 20)
constexpr uint32_t kResultMark = 0x40;      // the flag converted curves carry
constexpr int kCurvesFailedQuestion = 99;   // eAlertTextSM: go on after a failed conversion?
constexpr uint32_t kAnswerCancel = 2;

double Fixed(FIXED f)
{
    return f.value + f.fract / 65536.0;
}

void GrowChanged(const double frame[4])
{
    FrameUnion(g_ChangedRect, frame);
}

// Fills the header of a plain object in a buffer the chain writer then fills.
void BeginUnit(Unit *u, uint32_t capacity, int32_t type)
{
    std::memset(u, 0, UNIT_ELEMENTS_OBJECT < capacity ? UNIT_ELEMENTS_OBJECT : capacity);
    u->kind = UNIT_KIND_OBJECT;
    u->object.type = type;
    u->object.reserved = OBJTYPE_RESERVED;
    u->death = UNIT_DEATH_ALIVE;
}

// Stores a prepared text object at the end of list 0; its frame becomes the changed rectangle.
int StoreText(Unit *buffer, int32_t type)
{
    ObjectInitHeaderFlags(buffer, type);
    Unit *stored = MemListNewCopyAfter(LIST_DRAWING, buffer, buffer->bytes, nullptr);
    if (!stored)
        return 0;
    FrameCalcObject(stored, 0);
    std::memcpy(g_ChangedRect, stored->frame, sizeof g_ChangedRect);
    return 1;
}

// A copy of a converted piece in front of the source text, flagged, with the
// text's attributes and moved by m.
int InsertPiece(Unit *source, const Unit *piece, const XProperty *property, const Matrix *m)
{
    Unit *copy = MemListNewCopyBefore(LIST_DRAWING, piece, piece->bytes, source);
    if (!copy)
        return 0;
    UndoStampCreated(copy);
    copy->flags = (source->flags & UNIT_USER_MARK) | kResultMark;
    copy->property = *property;
    ZviEditUnitPointsMatrix(copy, m);
    FrameCalcObject(copy, 1);
    GrowChanged(copy->frame);
    return 1;
}

// The default question: go on (1) or cancel (2) after a text failed to convert.
int AskGoOn(const char *text)
{
    return int(AlertButtons62(g_MainWnd, text));
}

} // namespace

SymbolCurvesQuestion g_SymbolCurvesQuestion = AskGoOn;

int SymbolCreateStdText(const TextSettings *settings, const char *text, const Matrix *m)
{
    FrameSetEmpty(g_ChangedRect);
    const uint32_t length = uint32_t(std::strlen(text));
    const uint32_t capacity =
        UNIT_ELEMENTS_OBJECT + TextElementCutSize(length) + ELEM_SIZE_TEXT_STANDARD + ELEM_SIZE_END + 16;
    Unit *buffer = static_cast<Unit *>(mem_alloc_temp(capacity, __FILE_NAME__, __LINE__));
    if (!buffer)
        return 0;
    BeginUnit(buffer, capacity, OBJTYPE_STD_TEXT);
    ChainWriter w;
    InitChainBegin(&w, buffer, capacity);
    InitChainText(&w, text, TEXT_CAPACITY_LONG, false);
    if (Element *e = InitChainRecord(&w, ELEM_TEXT_STANDARD, ELEM_SIZE_TEXT_STANDARD)) {
        auto *r = static_cast<TextStandardData *>(ElementPayload(e));
        r->font = settings->font;
        r->property = XPropertyDefault();
        r->matrix = *m;
        r->charSpacing = settings->distance[0];
        r->tabUnit = settings->distance[1];
        r->lineSpacing = settings->distance[2];
        r->alignment = settings->mode;
        ObjectPropertyForElement(e);
    }
    const int ok = InitChainEnd(&w) && StoreText(buffer, OBJTYPE_STD_TEXT);
    mem_free_temp(buffer, __FILE_NAME__, __LINE__);
    return ok;
}

int SymbolCreateFrameText(const TextSettings *settings, const char *text, double px, double py, double qx, double qy)
{
    FrameSetEmpty(g_ChangedRect);
    const uint32_t length = uint32_t(std::strlen(text));
    const uint32_t capacity = UNIT_ELEMENTS_OBJECT + 3 * ELEM_SIZE_POINT + TextElementCutSize(length) +
                              ELEM_SIZE_TEXT_FRAME + ELEM_SIZE_END + 16;
    Unit *buffer = static_cast<Unit *>(mem_alloc_temp(capacity, __FILE_NAME__, __LINE__));
    if (!buffer)
        return 0;
    BeginUnit(buffer, capacity, OBJTYPE_FRAME_TEXT);
    const double left = std::fmin(px, qx), right = std::fmax(px, qx);
    const double bottom = std::fmin(py, qy), top = std::fmax(py, qy);
    ChainWriter w;
    InitChainBegin(&w, buffer, capacity);
    InitChainPoint(&w, POINT_AUX, left, top);
    InitChainPoint(&w, POINT_AUX, right, top);
    InitChainPoint(&w, POINT_AUX, left, bottom);
    InitChainText(&w, text, TEXT_CAPACITY_LONG, false);
    if (Element *e = InitChainRecord(&w, ELEM_TEXT_FRAME, ELEM_SIZE_TEXT_FRAME)) {
        auto *r = static_cast<TextFrameData *>(ElementPayload(e));
        r->font = settings->font;
        r->property = XPropertyDefault();
        r->height = settings->height;
        r->charSpacing = settings->distance[0];
        r->tabUnit = settings->distance[1];
        r->lineSpacing = settings->distance[2];
        r->alignment = settings->mode;
        ObjectPropertyForElement(e);
    }
    const int ok = InitChainEnd(&w) && StoreText(buffer, OBJTYPE_FRAME_TEXT);
    mem_free_temp(buffer, __FILE_NAME__, __LINE__);
    return ok;
}

int SymbolGlyphToPath(Unit *out, uint32_t capacity, const void *buffer, const GLYPHMETRICS *metrics, uint32_t size)
{
    BeginUnit(out, capacity, OBJTYPE_SURFACE);
    ChainWriter w;
    InitChainBegin(&w, out, capacity);
    const uint8_t *p = static_cast<const uint8_t *>(buffer);
    const uint8_t *end = p + size;
    while (p + sizeof(TTPOLYGONHEADER) <= end) {
        const auto *h = reinterpret_cast<const TTPOLYGONHEADER *>(p);
        if (h->dwType != TT_POLYGON_TYPE || h->cb < sizeof(TTPOLYGONHEADER) || p + h->cb > end)
            return 0;
        double ax = Fixed(h->pfxStart.x) * kGlyphScale, ay = Fixed(h->pfxStart.y) * kGlyphScale;
        InitChainPoint(&w, POINT_START, ax, ay);
        const uint8_t *c = p + sizeof(TTPOLYGONHEADER);
        const uint8_t *polygonEnd = p + h->cb;
        while (c + offsetof(TTPOLYCURVE, apfx) <= polygonEnd) {
            const auto *curve = reinterpret_cast<const TTPOLYCURVE *>(c);
            const int n = curve->cpfx;
            const uint8_t *next = c + offsetof(TTPOLYCURVE, apfx) + size_t(n) * sizeof(POINTFX);
            if (n < 0 || next > polygonEnd)
                return 0;
            if (curve->wType == TT_PRIM_LINE) {
                for (int i = 0; i < n; ++i) {
                    ax = Fixed(curve->apfx[i].x) * kGlyphScale, ay = Fixed(curve->apfx[i].y) * kGlyphScale;
                    InitChainPoint(&w, POINT_LINE, ax, ay);
                }
            } else if (curve->wType == TT_PRIM_QSPLINE) {
                for (int i = 0; i + 1 < n; ++i) {
                    const double bx = Fixed(curve->apfx[i].x) * kGlyphScale, by = Fixed(curve->apfx[i].y) * kGlyphScale;
                    const double nx = Fixed(curve->apfx[i + 1].x) * kGlyphScale;
                    const double ny = Fixed(curve->apfx[i + 1].y) * kGlyphScale;
                    const bool last = i + 2 == n;
                    const double cx = last ? nx : (bx + nx) / 2.0, cy = last ? ny : (by + ny) / 2.0;
                    InitChainPoint(&w, POINT_CONTROL1, (ax + 2.0 * bx) / 3.0, (ay + 2.0 * by) / 3.0);
                    InitChainPoint(&w, POINT_CONTROL2, (cx + 2.0 * bx) / 3.0, (cy + 2.0 * by) / 3.0);
                    InitChainPoint(&w, POINT_LINE, cx, cy);
                    ax = cx, ay = cy;
                }
            } else {
                return 0;
            }
            c = next;
        }
        p = polygonEnd;
    }
    if (!InitChainEnd(&w))
        return 0;
    out->property = XPropertyDefault();
    out->frame[0] = metrics->gmptGlyphOrigin.x * kGlyphScale;
    out->frame[1] = (metrics->gmptGlyphOrigin.y - int(metrics->gmBlackBoxY)) * kGlyphScale;
    out->frame[2] = (metrics->gmptGlyphOrigin.x + int(metrics->gmBlackBoxX)) * kGlyphScale;
    out->frame[3] = metrics->gmptGlyphOrigin.y * kGlyphScale;
    UndoStampPermanent(out);
    return 1;
}

double SymbolTextCharToCurves(Unit *source, int code, const XProperty *property, const Matrix *m)
{
    double box[5];
    SymbolGetCharBox(code, box);
    int failed = 0;
    const Unit *piece = SymbolGlyphPath(code, &failed);
    if (failed)
        return -1.0;
    if (!piece)
        return box[4]; // a blank, or a character without an outline
    if (!InsertPiece(source, piece, property, m))
        return -1.0;
    return box[4];
}

double SymbolLibCharToCurves(Unit *source, int code, int library, const XProperty *property, const Matrix *m)
{
    Unit *block = SymbolGetCharBlock(library, code);
    if (!block)
        return 0.0;
    ScratchUni2 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return -1.0;
    Unit *buffer = reinterpret_cast<Unit *>(g_Uni2);
    for (Unit *member = block->block.firstMember; member; member = member->next) {
        if (member->kind != UNIT_KIND_OBJECT)
            continue;
        // Circles become ellipses, whose shape survives any text matrix.
        TransformDistortable(member, buffer);
        if (!InsertPiece(source, buffer, property, m))
            return -1.0;
    }
    const double *cell = block->block.blockFrame;
    return cell[0] != FRAME_INFINITE ? cell[0] : block->frame[2] - block->frame[0];
}

namespace {

// Converts each character a walk gives; 0 when a character failed.
template <typename Next>
int ConvertWalk(Unit *source, int code, HFONT font, int library, const XProperty *property, Matrix *m, Next next)
{
    while (code >= CHAR_CODE_FIRST && code <= CHAR_CODE_LAST) {
        const double advance = font ? SymbolTextCharToCurves(source, code, property, m)
                                    : SymbolLibCharToCurves(source, code, library, property, m);
        if (advance < 0.0)
            return 0;
        code = next(advance);
    }
    return 1;
}

} // namespace

int SymbolStdTextToCurves(Unit *source, const FontDef *font, const char *text, const XProperty *property,
                          const Matrix *m)
{
    HFONT handle = nullptr;
    int library = -1;
    if (!SymbolSelectFont(font, &handle, &library))
        return 0;
    Matrix walk = *m;
    walk.a *= 1.0 / TEXT_UNITS_PER_HEIGHT, walk.b *= 1.0 / TEXT_UNITS_PER_HEIGHT;
    walk.c *= 1.0 / TEXT_UNITS_PER_HEIGHT, walk.d *= 1.0 / TEXT_UNITS_PER_HEIGHT;
    const int first = SymbolBeginText(text, &walk);
    return ConvertWalk(source, first, handle, library, property, &walk,
                       [](double advance) { return SymbolNextTextLine(advance, nullptr); });
}

int SymbolFrameTextToCurves(Unit *source, const FontDef *font, const char *text, const XProperty *property,
                            TextFrameLayout *layout)
{
    HFONT handle = nullptr;
    int library = -1;
    if (!SymbolSelectFont(font, &handle, &library))
        return 0;
    Matrix walk = layout->firstLine;
    const int first = SymbolBeginFrameText(text, layout, &walk);
    return ConvertWalk(source, first, handle, library, property, &walk,
                       [layout](double advance) { return SymbolNextFrameLine(advance, layout, nullptr); });
}

namespace {

const Element *ElementNumber(const Unit *u, int n)
{
    int i = 0;
    for (const Element *e = UnitFirstElement(u); e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e), ++i)
        if (i == n)
            return e;
    return nullptr;
}

const char *TextAt(const Unit *u, int n)
{
    const Element *e = ElementNumber(u, n);
    return e && e->kind == ELEM_TEXT ? static_cast<const char *>(ElementPayload(e)) : nullptr;
}

// Converts one text object; -1 when it is not a convertible text (passed over).
int ConvertText(Unit *u)
{
    if (u->object.type == OBJTYPE_STD_TEXT) {
        const char *text = TextAt(u, 0);
        const Element *e = ElementNumber(u, 1);
        if (!text || !e || e->kind != ELEM_TEXT_STANDARD)
            return -1;
        const auto r = *static_cast<const TextStandardData *>(ElementPayload(e));
        SymbolSetTextLayout(r.charSpacing, r.tabUnit, r.lineSpacing, r.alignment);
        const int ok = SymbolStdTextToCurves(u, &r.font, SymbolGetTextString(text), &r.property, &r.matrix);
        SymbolReleaseTextString();
        return ok;
    }
    const ElementPoint *p0 = UnitPointAt(u, 0), *p1 = UnitPointAt(u, 1), *p2 = UnitPointAt(u, 2);
    const char *text = TextAt(u, 3);
    const Element *e = ElementNumber(u, 4);
    if (!p0 || !p1 || !p2 || !text || !e || e->kind != ELEM_TEXT_FRAME)
        return -1;
    const auto r = *static_cast<const TextFrameData *>(ElementPayload(e));
    SymbolSetTextLayoutEx(r.height, r.charSpacing, r.tabUnit, r.lineSpacing, r.alignment);
    TextFrameLayout layout;
    if (!SymbolLayoutTextFrame(p0->x, p0->y, p1->x, p1->y, p2->x, p2->y, &layout, nullptr, nullptr))
        return -1; // a frame that holds no text converts to nothing and stays
    const int ok = SymbolFrameTextToCurves(u, &r.font, SymbolGetTextString(text), &r.property, &layout);
    SymbolReleaseTextString();
    return ok;
}

} // namespace

int SymbolTextToCurvesCommand(uint32_t mask, int keepTexts)
{
    FrameSetEmpty(g_ExtentsRect);
    FrameSetEmpty(g_ChangedRect);
    double extents[4];
    FrameSetEmpty(extents);
    int result = 0;
    bool cancelled = false;
    ListFilterKeeper keeper;
    // The converted pieces go in front of their text, so the walk never meets them.
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next) {
        if (!UndoIsVisible(u, g_UndoStep) || (u->flags & mask) != mask || u->kind != UNIT_KIND_OBJECT)
            continue;
        if (u->object.type != OBJTYPE_STD_TEXT && u->object.type != OBJTYPE_FRAME_TEXT)
            continue;
        FrameUnion(extents, u->frame);
        const int ok = ConvertText(u);
        if (ok < 0)
            continue;
        if (ok) {
            if (!cancelled)
                result = 1;
            if (!keepTexts)
                UndoStampDeleted(u);
        } else if (g_SymbolCurvesQuestion(eAlertTextSM[kCurvesFailedQuestion]) == int(kAnswerCancel)) {
            cancelled = true;
            result = 0;
        }
    }
    std::memcpy(g_ExtentsRect, extents, sizeof extents);
    return cancelled ? 0 : result;
}

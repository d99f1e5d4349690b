// The renderer of stored objects: pass and switch filter, culling, attribute
// preparation, the element dispatcher, clip-surface fills, instances with
// composed matrices and inherited attributes, and the redraw abort.
#include <cmath>
#include <cstring>

#include "app/init_gdi.h"
#include "app/system.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_find.h"
#include "display/clip.h"
#include "display/clip_dim.h"
#include "display/clip_object.h"
#include "display/output.h"
#include "display/output_select.h"
#include "files/file_records.h"
#include "geometry/matrix.h"

OutputAbortHook g_OutputAbortHook = nullptr;

namespace {

constexpr int ABORT_POLL_INTERVAL = 33;
// Looking at the queue costs far more than drawing 33 objects (under Wine
// about as much as 2,000 lines): after the first look of a redraw, the queue
// is looked at again only when this much time has passed.
constexpr DWORD ABORT_POLL_MILLISECONDS = 10;
constexpr double HALF_DIAGONAL = 0.7071067811865;
constexpr int PARTS_OUTLINE = 1;
constexpr int PARTS_ANNOTATION = 2;
constexpr int PARTS_CLIP_FILL = 4;
// Positions in the chains.
constexpr int MAX_POSITIONS = 16;

int s_AbortCounter = 0;
int s_Aborted = 0;
bool s_Polled = false;   // the queue was looked at since the last reset
DWORD s_LastPoll = 0;    // GetTickCount of that look

OutputContext &Ctx() { return g_OutputContext; }

int PartsOfType(int32_t type)
{
    if ((type >= OBJTYPE_DIM_DIST && type <= OBJTYPE_DIM_ARC) || type == OBJTYPE_REF_TEXT)
        return PARTS_OUTLINE | PARTS_ANNOTATION;
    if ((type >= OBJTYPE_DIM_COORD && type <= OBJTYPE_DIM_PERI) || type == OBJTYPE_STD_TEXT ||
        type == OBJTYPE_FRAME_TEXT || type == OBJTYPE_BITMAP)
        return PARTS_ANNOTATION;
    if (type == OBJTYPE_CLIP)
        return PARTS_CLIP_FILL;
    return PARTS_OUTLINE;
}

bool PassesFilter(int32_t type)
{
    const bool screen = OutputIsScreenType(Ctx().mode);
    if (type == OBJTYPE_COMMENT)
        return g_DrawingSettings.commentDisplay[0] && (Ctx().passMask & PASS_COMMENTS);
    if (type >= OBJTYPE_GEO_LINE && type <= OBJTYPE_GEO_ELLI) {
        const bool shown = screen ? g_DrawingSettings.displayGeometry[0] != 0 : g_DrawingSettings.outputGeometry != 0;
        return shown && (Ctx().passMask & PASS_GEOMETRY);
    }
    if (screen && (!g_DrawingSettings.displayObjects || !g_DrawingSettings.displayDrawing))
        return false;
    return (Ctx().passMask & PASS_OBJECTS) != 0;
}

// Top-level culling: false when the frame lies wholly outside the visible
// rectangle; clip becomes 0 when it lies wholly inside the no-clip one.
bool CullTopLevel(const double frame[4], int *clip)
{
    const double *v = Ctx().visibleRect;
    if (frame[0] > v[2] || frame[1] > v[3] || frame[2] < v[0] || frame[3] < v[1])
        return false;
    const double *n = Ctx().noClipRect;
    *clip = frame[0] >= n[0] && frame[1] >= n[1] && frame[2] <= n[2] && frame[3] <= n[3] ? 0 : 1;
    return true;
}

bool Cull(const Unit *unit, const Matrix *matrix, int *clip)
{
    if (Ctx().depth != 0)
        return OutputBoxVisible(unit->frame[0], unit->frame[1], unit->frame[2], unit->frame[3], matrix) != 0;
    return CullTopLevel(unit->frame, clip);
}

void LoadCurrent(const Matrix *matrix)
{
    Ctx().current = *matrix;
    MatrixMultiply(&Ctx().current, &Ctx().base);
}

struct Chain {
    Element *at[MAX_POSITIONS];
    int count;
};

Chain ReadChain(Unit *object)
{
    Chain c{};
    const uint8_t *end = reinterpret_cast<uint8_t *>(object) + object->bytes;
    for (Element *e = UnitFirstElement(object); c.count < MAX_POSITIONS &&
                                                reinterpret_cast<uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end &&
                                                e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e))
        c.at[c.count++] = e;
    return c;
}

const ElementPoint *P(const Chain &c, int i)
{
    return i < c.count && ElementIsPoint(c.at[i]) ? reinterpret_cast<const ElementPoint *>(c.at[i]) : nullptr;
}

const double *Values(const Chain &c, int i, int16_t kind)
{
    return i < c.count && c.at[i]->kind == kind ? static_cast<const double *>(ElementPayload(c.at[i])) : nullptr;
}

double InstanceScale(const Matrix &m)
{
    const double u = (m.a + m.b) * HALF_DIAGONAL, v = (m.c + m.d) * HALF_DIAGONAL;
    return std::sqrt(u * u + v * v);
}

// The members of a block drawn with a composed matrix and inherited
// attributes: the shared half of instances and clip-surface symbols.
int DrawBlockMembers(HDC hdc, Unit *owner, Unit *block, const XProperty *ownProperty, const Matrix &placement,
                     const XProperty *parent, const Matrix *m, int clip)
{
    Ctx().depth += 1;
    const double savedScale = Ctx().scale;
    Unit *savedInstance = Ctx().instance;
    Ctx().instance = owner;
    Ctx().scale *= InstanceScale(placement);
    XProperty members;
    OutputInheritXProperty(ownProperty, &block->property, parent, &members);
    for (Unit *member = block->block.firstMember; member; member = member->next) {
        if (member->kind == UNIT_KIND_OBJECT)
            OutputDrawPlainObject(hdc, member, &members, m, clip);
        else if (member->kind == UNIT_KIND_INSTANCE || member->kind == UNIT_KIND_PLUGIN)
            OutputDrawInstance(hdc, member, &members, m, clip);
        if (OutputAborted())
            break;
    }
    Ctx().depth -= 1;
    Ctx().scale = savedScale;
    Ctx().instance = savedInstance;
    return 1;
}

// The outline of an object under the object's matrix.
int DrawOutline(HDC hdc, Unit *object, const Matrix *matrix, int clip, uint32_t flags)
{
    if (Ctx().depth != 0)
        LoadCurrent(matrix);
    const int result = OutputDrawElement(hdc, object, clip, flags);
    Ctx().current = Ctx().base;
    return result;
}

int ClipSurfaceFill(HDC hdc, Unit *object, const XProperty *parent, const Matrix *matrix, int clip)
{
    int result = 1;
    if (OutputPrepareAttributes(OBJTYPE_CLIP, &object->property, parent, &Ctx())) {
        OutputSelectObjectGdi(hdc, &Ctx());
        if (Ctx().drawFlags & DRAW_FILL_BITS) {
            LoadCurrent(matrix);
            OutputDrawElement(hdc, object, clip, DRAW_CLIP_PATH);
            OutputRestoreGdi(hdc, &Ctx());
            Ctx().current = Ctx().base;
            const int32_t *s = Ctx().safePixelRect;
            HRGN saved = CreateRectRgn(s[0], s[1], s[2], s[3]);
            const int hadClip = saved ? GetClipRgn(hdc, saved) : 0;
            SelectClipPath(hdc, Ctx().eraserFill ? RGN_DIFF : RGN_AND);
            result = OutputSymbolFill(hdc, object, parent, matrix, clip);
            SelectClipRgn(hdc, hadClip == 1 ? saved : nullptr);
            if (saved)
                DeleteObject(saved);
        } else {
            OutputRestoreGdi(hdc, &Ctx());
        }
    }
    if (OutputPrepareAttributes(OBJTYPE_CLIP, &object->property, parent, &Ctx())) {
        OutputSelectObjectGdi(hdc, &Ctx());
        if (Ctx().drawFlags & DRAW_STROKE_BITS) {
            if (!DrawOutline(hdc, object, matrix, clip, Ctx().drawFlags & DRAW_STROKE_BITS))
                result = 0;
        } else if (OutputIsScreenType(Ctx().mode) && g_DrawingSettings.displayFrames &&
                   !(Ctx().window == OUTPUT_WINDOW_VIEW && g_Options.viewSimple) && g_SharedGdi.blocksDottedPen) {
            SelectObject(hdc, g_SharedGdi.blocksDottedPen);
            const int32_t savedEndPixel = Ctx().endPixel;
            Ctx().endPixel = 0;
            DrawOutline(hdc, object, matrix, clip, DRAW_STROKE);
            Ctx().endPixel = savedEndPixel;
            SelectObject(hdc, Ctx().pen);
        }
        OutputRestoreGdi(hdc, &Ctx());
    }
    return result;
}

} // namespace

// ---------------------------------------------------------------------------
// Redraw abort.

// Only a window's own output can be stopped: printing, metafiles, the
// enumeration stream and measuring always draw everything, whatever a paint
// before them left behind.
namespace {
bool AbortApplies() { return Ctx().mode == OUTPUT_SCREEN; }
} // namespace

int OutputCheckAbort()
{
    if (!AbortApplies())
        return 0;
    if (s_Aborted)
        return 1;
    if (++s_AbortCounter < ABORT_POLL_INTERVAL)
        return 0;
    s_AbortCounter = 0;
    if (g_OutputAbortHook) {
        s_Aborted = g_OutputAbortHook() ? 1 : 0;
        return s_Aborted;
    }
    const DWORD now = GetTickCount();
    if (s_Polled && now - s_LastPoll < ABORT_POLL_MILLISECONDS)
        return 0;
    s_Polled = true;
    s_LastPoll = now;
    s_Aborted = OutputAbortQueueSaysStop();
    return s_Aborted;
}

int OutputAborted() { return AbortApplies() ? s_Aborted : 0; }

void OutputResetAbort()
{
    s_Aborted = 0;
    s_AbortCounter = 0;
    s_Polled = false;
}

// ---------------------------------------------------------------------------
// Objects.

int OutputDrawObject(HDC hdc, Unit *unit)
{
    if (!hdc || !unit)
        return 0;
    if (OutputIsScreenType(Ctx().mode) && !g_DrawingSettings.displayDrawing)
        return 1;
    Ctx().depth = 0;
    Ctx().instance = nullptr;
    const XProperty parent = OutputDefaultXProperty();
    Matrix identity;
    MatrixInit(&identity);
    if (unit->kind == UNIT_KIND_OBJECT)
        return OutputDrawPlainObject(hdc, unit, &parent, &identity, 0);
    if (unit->kind == UNIT_KIND_INSTANCE || unit->kind == UNIT_KIND_PLUGIN)
        return OutputDrawInstance(hdc, unit, &parent, &identity, 0);
    return 0;
}

int OutputDrawPlainObject(HDC hdc, Unit *unit, const XProperty *parent, const Matrix *matrix, int clip)
{
    const int32_t type = unit->object.type;
    if (!PassesFilter(type))
        return 1;
    if (!Cull(unit, matrix, &clip))
        return 1;
    if (OutputCheckAbort())
        return 1;
    const int parts = PartsOfType(type);
    int result = 1;
    if ((parts & PARTS_OUTLINE) && OutputPrepareAttributes(type, &unit->property, parent, &Ctx())) {
        OutputSelectObjectGdi(hdc, &Ctx());
        if (!DrawOutline(hdc, unit, matrix, clip, Ctx().drawFlags))
            result = 0;
        OutputRestoreGdi(hdc, &Ctx());
    }
    if ((parts & PARTS_CLIP_FILL) && !ClipSurfaceFill(hdc, unit, parent, matrix, clip))
        result = 0;
    if ((parts & PARTS_ANNOTATION) && !OutputAnnotation(hdc, unit, parent, matrix, clip))
        result = 0;
    return result;
}

int OutputDrawInstance(HDC hdc, Unit *instance, const XProperty *parent, const Matrix *matrix, int clip)
{
    if (OutputIsScreenType(Ctx().mode) && (OutputAborted() || !g_DrawingSettings.displayDrawing))
        return 1;
    if (!Cull(instance, matrix, &clip))
        return 1;
    Matrix m = instance->instance.placement;
    MatrixMultiply(&m, matrix);
    Unit *block = nullptr;
    const bool labelOnly = (!OutputIsDeviceMode(Ctx().mode) && !g_DrawingSettings.displayBlocks) ||
                           Ctx().depth > OUTPUT_MAX_NESTING || !(block = SymbolGetInstanceBlock(instance));
    if (labelOnly)
        return OutputDrawMissingText(hdc, "(%s) %s", instance->instance.library, instance->instance.block, &m);
    return DrawBlockMembers(hdc, instance, block, &instance->property, instance->instance.placement, parent, &m, clip);
}

int OutputSymbolFill(HDC hdc, Unit *surface, const XProperty *parent, const Matrix *matrix, int clip)
{
    const Chain c = ReadChain(surface);
    if (c.count < 1 || c.at[0]->kind != ELEM_CLIP_SURFACE)
        return 1;
    const ClipSurfaceData *record = static_cast<const ClipSurfaceData *>(ElementPayload(c.at[0]));
    if (Ctx().outlineOnly && record->hide)
        return 1;
    Matrix m = record->placement;
    MatrixMultiply(&m, matrix);
    Unit *block = nullptr;
    if (Ctx().depth > OUTPUT_MAX_NESTING || !(block = SymbolFindBlock(record->library, record->block)))
        return OutputDrawMissingText(hdc, "(%s) %s", record->library, record->block, &m);
    return DrawBlockMembers(hdc, surface, block, &record->property, record->placement, parent, &m, clip);
}

int OutputDrawElement(HDC hdc, Unit *unit, int clip, uint32_t flags)
{
    const Chain c = ReadChain(unit);
    const ElementPoint *p0 = P(c, 0), *p1 = P(c, 1), *p2 = P(c, 2), *p3 = P(c, 3), *p4 = P(c, 4);
    switch (unit->object.type) {
    case OBJTYPE_LINE:
        if (p0 && p1)
            ClipDrawLineStyled(hdc, p0->x, p0->y, p1->x, p1->y, clip, flags);
        break;
    case OBJTYPE_LINE_STR: return ClipDrawLineStr(hdc, unit, clip, flags);
    case OBJTYPE_LINE_CURVED: return ClipDrawLineCurved(hdc, unit, clip, flags);
    case OBJTYPE_DIM_DIST:
    case OBJTYPE_DIM_RAD:
    case OBJTYPE_DIM_DIA: return ClipDrawDimLinear(hdc, unit, clip, flags);
    case OBJTYPE_DIM_ANGLE:
    case OBJTYPE_DIM_ARC: return ClipDrawDimAngular(hdc, unit, clip, flags);
    case OBJTYPE_REF_TEXT: return ClipDrawRefText(hdc, unit, clip, flags);
    case OBJTYPE_HATCH:
    case OBJTYPE_CURVE:
    case OBJTYPE_SURFACE:
    case OBJTYPE_CLIP:
        ClipDrawPathObject(hdc, unit, clip, flags);
        break;
    case OBJTYPE_CIRCLE:
    case OBJTYPE_GEO_CIRCLE:
        if (p0 && p1)
            ClipDrawCircle(hdc, p0->x, p0->y, p1->x, p1->y, clip, flags);
        break;
    case OBJTYPE_CIRC_ARC:
    case OBJTYPE_CIRC_SEC:
    case OBJTYPE_CIRC_SEGM: {
        const double *sub = Values(c, 5, ELEM_SUB_CIRCLE_ARC);
        if (!p0 || !p2 || !p3 || !sub)
            break;
        if (unit->object.type == OBJTYPE_CIRC_SEC)
            ClipDrawCircleSector(hdc, p0->x, p0->y, p2->x, p2->y, p3->x, p3->y, sub[0], clip, flags);
        else if (unit->object.type == OBJTYPE_CIRC_SEGM)
            ClipDrawCircleSegment(hdc, p0->x, p0->y, p2->x, p2->y, p3->x, p3->y, sub[0], clip, flags);
        else
            ClipDrawCircleArc(hdc, p0->x, p0->y, p2->x, p2->y, p3->x, p3->y, sub[0], clip, flags);
        break;
    }
    case OBJTYPE_ZIGZAG: {
        const double *size = Values(c, 2, ELEM_CONSTANT);
        if (p0 && p1 && size)
            ClipDrawZigzag(hdc, p0->x, p0->y, p1->x, p1->y, size[0], clip, flags);
        break;
    }
    case OBJTYPE_SPLINE:
        ClipDrawSpline(hdc, unit, clip, flags);
        break;
    case OBJTYPE_ELLIPSE:
    case OBJTYPE_GEO_ELLI:
        if (p0 && p1 && p2)
            ClipDrawEllipse(hdc, p0->x, p0->y, p1->x, p1->y, p2->x, p2->y, clip, flags);
        break;
    case OBJTYPE_ELLI_ARC:
    case OBJTYPE_ELLI_SEC:
    case OBJTYPE_ELLI_SEGM: {
        const double *sub = Values(c, 6, ELEM_SUB_ELLIPSE_ARC);
        if (!p0 || !p1 || !p2 || !p3 || !p4 || !sub)
            break;
        const int32_t t = unit->object.type;
        auto draw = t == OBJTYPE_ELLI_SEC ? ClipDrawEllipseSector
                    : t == OBJTYPE_ELLI_SEGM ? ClipDrawEllipseSegment
                                             : ClipDrawEllipseArc;
        draw(hdc, p0->x, p0->y, p1->x, p1->y, p2->x, p2->y, p3->x, p3->y, p4->x, p4->y, sub[0], sub[1], clip, flags);
        break;
    }
    case OBJTYPE_MARK:
        ClipDrawMark(hdc, unit, clip, flags);
        break;
    case OBJTYPE_COMMENT:
        ClipDrawComment(hdc, unit);
        break;
    case OBJTYPE_GEO_LINE:
        if (p0 && p1)
            ClipDrawEndlessLine(hdc, p0->x, p0->y, p1->x, p1->y, clip, flags);
        break;
    default:
        break;
    }
    return 1;
}

int OutputDrawMissingText(HDC hdc, const char *format, const char *text1, const char *text2, const Matrix *matrix)
{
    const size_t bytes = std::strlen(format) + std::strlen(text1 ? text1 : "") + std::strlen(text2 ? text2 : "") + 1;
    char *text = static_cast<char *>(mem_alloc_temp(static_cast<uint32_t>(bytes), "output_object", __LINE__));
    if (!text)
        return 0;
    wsprintfA(text, format, text1 ? text1 : "", text2 ? text2 : "");
    LoadCurrent(matrix);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, InitStandardColor(g_DrawingSettings.colorBlocks));
    HGDIOBJ oldFont = g_SharedGdi.panelFont ? SelectObject(hdc, g_SharedGdi.panelFont) : nullptr;
    ClipDrawText(hdc, 0.0, 0.0, text);
    if (oldFont)
        SelectObject(hdc, oldFont);
    Ctx().current = Ctx().base;
    mem_free_temp(text, "output_object", __LINE__);
    return 1;
}

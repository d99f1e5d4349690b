// Highlights, handles, point numbers and the redraw abort check.
#include "display/output_select.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "app/init_gdi.h"
#include "app/system.h"
#include "app/window.h"
#include "commands/command_mouse.h"
#include "commands/command_state.h"
#include "database/object_ident.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_find.h"
#include "database/undo.h"
#include "display/clip.h"
#include "files/file_records.h"
#include "display/output.h"
#include "display/output_paint.h"
#include "display/screen.h"
#include "geometry/calc.h"
#include "geometry/calc_candidate.h"

namespace {

// ColorFlag entries.
constexpr int FLAG_MARKED = 0;
constexpr int FLAG_SELECTED = 1;
constexpr int FLAG_CANDIDATE = 2;
constexpr int FLAG_POINT = 3;
constexpr uint32_t KEY_PREVIOUS_STATE = 1u << 30;
constexpr uint32_t MODE_HIGH_BYTE = 0xFF000000;
constexpr int MAX_CHAIN = 4096;

OutputContext &Ctx() { return g_OutputContext; }

COLORREF FlagColour(int i) { return InitStandardColor(g_DrawingSettings.colorFlag[i]); }

// The pens of one highlight call, made from the current colours.
struct HighlightPens {
    HPEN candidateDotted, candidateSolid, selectedDotted, markedDashed, markedSolid, pointSolid, points,
        pointsDotted;
    HBRUSH pointBrush;
    HighlightPens()
    {
        candidateDotted = CreatePen(PS_DOT, 1, FlagColour(FLAG_CANDIDATE));
        candidateSolid = CreatePen(PS_SOLID, 1, FlagColour(FLAG_CANDIDATE));
        selectedDotted = CreatePen(PS_DOT, 1, FlagColour(FLAG_SELECTED));
        markedDashed = CreatePen(PS_DASH, 1, FlagColour(FLAG_MARKED));
        markedSolid = CreatePen(PS_SOLID, 1, FlagColour(FLAG_MARKED));
        pointSolid = CreatePen(PS_SOLID, 1, FlagColour(FLAG_POINT));
        pointBrush = CreateSolidBrush(FlagColour(FLAG_POINT));
        const COLORREF c = InitStandardColor(g_DrawingSettings.colorPoints);
        points = CreatePen(PS_SOLID, 1, c);
        pointsDotted = CreatePen(PS_DOT, 1, c);
    }
    ~HighlightPens()
    {
        for (HPEN p : {candidateDotted, candidateSolid, selectedDotted, markedDashed, markedSolid, pointSolid, points,
                       pointsDotted})
            if (p)
                DeleteObject(p);
        if (pointBrush)
            DeleteObject(pointBrush);
    }
    HighlightPens(const HighlightPens &) = delete;
    HighlightPens &operator=(const HighlightPens &) = delete;
};

HPEN BackgroundPen() { return Ctx().backgroundPen ? Ctx().backgroundPen : g_SharedGdi.drawAreaPen; }
HBRUSH BackgroundBrush() { return Ctx().backgroundBrush ? Ctx().backgroundBrush : g_SharedGdi.drawAreaBrush; }

bool InPickWindow() { return g_IdentifyResult.window >= 0 && Ctx().window == g_IdentifyResult.window; }

// The set-up every highlight is drawn with: opaque background in the drawing
// area's colour, the pen given, no brush.
struct HighlightSetup {
    HDC hdc;
    int mode;
    COLORREF back;
    HGDIOBJ pen, brush;
    HighlightSetup(HDC h, HPEN p, int rop2) : hdc(h)
    {
        SetROP2(hdc, rop2);
        mode = SetBkMode(hdc, OPAQUE);
        back = SetBkColor(hdc, InitStandardColor(g_DrawingSettings.colorDrawArea));
        pen = SelectObject(hdc, p);
        brush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
    }
    ~HighlightSetup()
    {
        SelectObject(hdc, pen);
        SelectObject(hdc, brush);
        SetBkColor(hdc, back);
        SetBkMode(hdc, mode);
        SetROP2(hdc, R2_COPYPEN);
    }
    HighlightSetup(const HighlightSetup &) = delete;
    HighlightSetup &operator=(const HighlightSetup &) = delete;
};

bool IsAnnotation(int32_t type)
{
    return (type >= OBJTYPE_DIM_DIST && type <= OBJTYPE_DIM_PERI) ||
           (type >= OBJTYPE_STD_TEXT && type <= OBJTYPE_REF_TEXT) || type == OBJTYPE_COMMENT ||
           type == OBJTYPE_BITMAP;
}

int HighlightPass(HDC hdc, Unit *object, HPEN pen, int rop2)
{
    Ctx().depth = 0;
    Ctx().instance = nullptr;
    HighlightSetup setup(hdc, pen, rop2);
    const XProperty parent = OutputDefaultXProperty();
    Matrix identity;
    MatrixInit(&identity);
    if (object->kind == UNIT_KIND_OBJECT)
        return OutputDrawPlainSelection(hdc, object, &parent, &identity, 0);
    if (object->kind == UNIT_KIND_INSTANCE || object->kind == UNIT_KIND_PLUGIN)
        return OutputDrawInstanceSelection(hdc, object, &parent, &identity, 0);
    return 0;
}

int HighlightDrawing(HDC hdc, Unit *object, HPEN pen, int rop2, COLORREF colour)
{
    Ctx().selectionColour = colour;
    // The gaps of dotted and dashed pens show the drawing area: GDI leaves
    // them untouched on some systems, so the outline is laid in that colour
    // first (not for the XOR candidate, which must toggle).
    if (rop2 == R2_COPYPEN && BackgroundPen())
        HighlightPass(hdc, object, BackgroundPen(), R2_COPYPEN);
    return HighlightPass(hdc, object, pen, rop2);
}

// The normal look again over a removed highlight (outline only). Where the
// highlight is not the object's own outline (the frame of a text, the
// members of an instance) the area is repainted instead, after this redraw.
int RedrawNormal(HDC hdc, Unit *object)
{
    if (object->kind != UNIT_KIND_OBJECT || IsAnnotation(object->object.type)) {
        const DrawWindow *w = WindowGetRecord(Ctx().window);
        RECT r;
        if (w && w->hwnd && OutputAreaToPixels(Ctx().window, object->frame, &r))
            InvalidateRect(w->hwnd, &r, FALSE);
        return 1;
    }
    Ctx().outlineOnly = 1;
    const int result = OutputDrawObject(hdc, object);
    Ctx().outlineOnly = 0;
    return result;
}


bool Visible(const Unit *u, const Matrix *matrix)
{
    const double *f = u->frame;
    if (Ctx().depth != 0)
        return OutputBoxVisible(f[0], f[1], f[2], f[3], matrix) != 0;
    const double *v = Ctx().visibleRect;
    return !(f[0] > v[2] || f[1] > v[3] || f[2] < v[0] || f[3] < v[1]);
}

void LoadCurrent(const Matrix *matrix)
{
    Ctx().current = *matrix;
    MatrixMultiply(&Ctx().current, &Ctx().base);
}

template <typename Visit>
void ForEachElement(Unit *u, Visit visit)
{
    const uint8_t *end = reinterpret_cast<uint8_t *>(u) + u->bytes;
    int n = 0;
    for (Element *e = UnitFirstElement(u);
         reinterpret_cast<uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && n < MAX_CHAIN; e = ElementNext(e), ++n) {
        if (e->kind == ELEM_END || e->size < ELEMENT_HEADER_SIZE)
            break;
        if (!visit(e))
            break;
    }
}

// The members of a block placed by `placement` under `matrix`, with the
// owner (an instance or a clip surface) as the enclosing instance and the
// attributes inherited through `own`.
template <typename Member>
int MembersWalk(Unit *owner, Unit *block, const Matrix &placement, const XProperty *own, const XProperty *parent,
                const Matrix *matrix, Member member)
{
    Matrix m = placement;
    MatrixMultiply(&m, matrix);
    Ctx().depth += 1;
    Unit *saved = Ctx().instance;
    Ctx().instance = owner;
    XProperty members;
    OutputInheritXProperty(own, &block->property, parent, &members);
    for (Unit *u = block->block.firstMember; u && !OutputAborted(); u = u->next)
        member(u, &members, &m);
    Ctx().depth -= 1;
    Ctx().instance = saved;
    return 1;
}

// The members of an instance's block under a composed matrix, for the
// selection-mode and handle walks.
template <typename Member>
int BlockWalk(Unit *instance, const XProperty *parent, const Matrix *matrix, Member member)
{
    if (!Visible(instance, matrix) || OutputAborted())
        return 1;
    if (Ctx().depth > OUTPUT_MAX_NESTING || !g_DrawingSettings.displayBlocks)
        return 1;
    Unit *block = SymbolGetInstanceBlock(instance);
    if (!block)
        return 1;
    return MembersWalk(instance, block, instance->instance.placement, &instance->property, parent, matrix, member);
}

// A clip surface's symbol highlighted inside its outline: the outline
// becomes the clip path (everything outside it for the eraser fills), and
// the device's clip region is given back afterwards.
void SymbolFillInsideOutline(HDC hdc, Unit *surface, const XProperty *resolved, const XProperty *parent,
                             const Matrix *matrix, int clip)
{
    LoadCurrent(matrix);
    OutputDrawElement(hdc, surface, clip, DRAW_CLIP_PATH);
    Ctx().current = Ctx().base;
    const int32_t *r = Ctx().safePixelRect;
    HRGN saved = CreateRectRgn(r[0], r[1], r[2], r[3]);
    const int hadClip = saved ? GetClipRgn(hdc, saved) : 0;
    const bool eraser = resolved->fillMode == 3 || resolved->fillMode == 4;
    SelectClipPath(hdc, eraser ? RGN_DIFF : RGN_AND);
    OutputSymbolFillSelection(hdc, surface, parent, matrix, clip);
    SelectClipRgn(hdc, hadClip == 1 ? saved : nullptr);
    if (saved)
        DeleteObject(saved);
}

void SelectionMember(HDC hdc, Unit *u, const XProperty *members, const Matrix *m, int clip)
{
    if (u->kind == UNIT_KIND_OBJECT)
        OutputDrawPlainSelection(hdc, u, members, m, clip);
    else if (u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN)
        OutputDrawInstanceSelection(hdc, u, members, m, clip);
}

} // namespace

// ---------------------------------------------------------------------------
// Highlights.

int OutputObjectSelection(HDC hdc, Unit *object, int selectedPass, int markedPass)
{
    if ((Ctx().mode & MODE_HIGH_BYTE) || !g_DrawingSettings.displayDrawing)
        return 1;
    const DrawingSettings &s = g_DrawingSettings;
    const uint32_t f = object->flags;
    HighlightPens pens;
    int result = 1;
    if ((f & UNIT_HIGHLIGHTED) && InPickWindow()) {
        result = HighlightDrawing(hdc, object, pens.candidateDotted, R2_NOTXORPEN, FlagColour(FLAG_CANDIDATE));
    } else if (selectedPass && (f & UNIT_SELECTED)) {
        g_CommandState->selectionDrawn = 1;
        result = HighlightDrawing(hdc, object, pens.selectedDotted, R2_COPYPEN, FlagColour(FLAG_SELECTED));
    } else if (markedPass && s.displaySelection[1] && (f & UNIT_USER_MARK)) {
        result = HighlightDrawing(hdc, object, pens.markedDashed, R2_COPYPEN, FlagColour(FLAG_MARKED));
    } else if ((selectedPass && (f & UNIT_SELECTION_REDRAW)) ||
               (markedPass && s.displaySelection[1] && (f & UNIT_CHANGED))) {
        result = RedrawNormal(hdc, object);
    }
    HPEN framePen = nullptr;
    int frameRop = R2_COPYPEN;
    if ((f & UNIT_HIGHLIGHTED) && InPickWindow()) {
        framePen = pens.candidateSolid;
        frameRop = R2_NOTXORPEN;
    } else if (markedPass && s.displaySelection[0]) {
        if (f & UNIT_USER_MARK)
            framePen = pens.markedSolid;
        else if (f & UNIT_CHANGED)
            framePen = BackgroundPen();
    }
    if (framePen) {
        HighlightSetup setup(hdc, framePen, frameRop);
        OutputDrawPickFrame(hdc, object);
    }
    if (Ctx().lastOfBatch)
        object->flags &= ~(UNIT_CHANGED | UNIT_SELECTION_REDRAW);
    return result;
}

int OutputDrawSelectionState(HDC hdc, Unit *object, int erase)
{
    if ((Ctx().mode & MODE_HIGH_BYTE) || !g_DrawingSettings.displayDrawing || !InPickWindow())
        return 1;
    HighlightPens pens;
    int result = 1;
    const uint32_t f = object->flags;
    if (erase) {
        result = HighlightDrawing(hdc, object, pens.candidateDotted, R2_NOTXORPEN, FlagColour(FLAG_CANDIDATE));
    } else if (f & UNIT_SELECTED) {
        g_CommandState->selectionDrawn = 1;
        result = HighlightDrawing(hdc, object, pens.selectedDotted, R2_COPYPEN, FlagColour(FLAG_SELECTED));
    } else if (g_DrawingSettings.displaySelection[1] && (f & UNIT_USER_MARK)) {
        result = HighlightDrawing(hdc, object, pens.markedDashed, R2_COPYPEN, FlagColour(FLAG_MARKED));
    } else {
        result = RedrawNormal(hdc, object);
    }
    {
        HighlightSetup setup(hdc, pens.candidateSolid, R2_NOTXORPEN);
        OutputDrawPickFrame(hdc, object);
    }
    if (Ctx().lastOfBatch)
        object->flags &= ~(UNIT_CHANGED | UNIT_SELECTION_REDRAW);
    return result;
}

int OutputDrawPickFrame(HDC hdc, Unit *object)
{
    if (object->kind != UNIT_KIND_OBJECT && object->kind != UNIT_KIND_INSTANCE && object->kind != UNIT_KIND_PLUGIN)
        return 0;
    const double *f = object->frame;
    const double *v = Ctx().visibleRect;
    if (f[0] > v[2] || f[1] > v[3] || f[2] < v[0] || f[3] < v[1])
        return 1;
    const XProperty defaults = OutputDefaultXProperty();
    XProperty resolved;
    if (!OutputResolveXProperty(&object->property, &defaults, &resolved))
        return 1;
    Ctx().depth += 1;
    Ctx().current = Ctx().base;
    ClipDrawPickFrame(hdc, f[0], f[1], f[2], f[3]);
    Ctx().depth -= 1;
    return 1;
}

COLORREF OutputContrastColour(HDC hdc, COLORREF colour, COLORREF reference)
{
    const COLORREF c = OutputMapColor(hdc, colour);
    const int s = (GetRValue(c) & ~GetRValue(reference) & 0xFF) + (GetGValue(c) & ~GetGValue(reference) & 0xFF) +
                  (GetBValue(c) & ~GetBValue(reference) & 0xFF);
    return s < 127 ? c ^ 0xFFFFFF : c;
}

int OutputDrawPlainSelection(HDC hdc, Unit *object, const XProperty *parent, const Matrix *matrix, int clip)
{
    if (!g_DrawingSettings.displayObjects)
        return 1;
    if (!Visible(object, matrix))
        return 1;
    if (OutputCheckAbort())
        return 1;
    XProperty resolved;
    if (!OutputResolveXProperty(&object->property, parent, &resolved))
        return 1;
    Ctx().lineType = 0;
    Ctx().lineWidth = Ctx().lineWidthUsed = resolved.width;
    Ctx().capJoin = XPROP_DEFAULT_CAPJOIN;
    if (Ctx().depth != 0)
        LoadCurrent(matrix);
    // Texts show as texts, dimensions and reference texts with their lines,
    // bitmaps by their outline; a comment by its frame.
    const int32_t type = object->object.type;
    if (type == OBJTYPE_COMMENT) {
        ClipDrawWorldFrame(hdc, object->frame[0], object->frame[1], object->frame[2], object->frame[3]);
    } else if (type == OBJTYPE_CLIP) {
        if (resolved.fillMode != 0)
            SymbolFillInsideOutline(hdc, object, &resolved, parent, matrix, clip);
        if (Ctx().depth != 0)
            LoadCurrent(matrix);
        OutputDrawElement(hdc, object, 1, DRAW_STROKE);
    } else if (IsAnnotation(type)) {
        if (type != OBJTYPE_STD_TEXT && type != OBJTYPE_FRAME_TEXT && type != OBJTYPE_BITMAP)
            OutputDrawElement(hdc, object, 1, DRAW_STROKE);
        Ctx().current = Ctx().base;
        OutputAnnotationSelection(hdc, object, parent, matrix, clip);
    } else {
        OutputDrawElement(hdc, object, 1, DRAW_STROKE);
    }
    Ctx().current = Ctx().base;
    return 1;
}

int OutputDrawInstanceSelection(HDC hdc, Unit *instance, const XProperty *parent, const Matrix *matrix, int clip)
{
    return BlockWalk(instance, parent, matrix, [&](Unit *u, const XProperty *members, const Matrix *m) {
        SelectionMember(hdc, u, members, m, clip);
    });
}

int OutputSymbolFillSelection(HDC hdc, Unit *surface, const XProperty *parent, const Matrix *matrix, int clip)
{
    Element *first = UnitFirstElement(surface);
    if (first->kind != ELEM_CLIP_SURFACE)
        return 1;
    const auto *record = static_cast<const ClipSurfaceData *>(ElementPayload(first));
    if (record->hide || Ctx().depth > OUTPUT_MAX_NESTING || !g_DrawingSettings.displayBlocks)
        return 1;
    Unit *block = SymbolFindBlock(record->library, record->block);
    if (!block)
        return 1;
    return MembersWalk(surface, block, record->placement, &record->property, parent, matrix,
                       [&](Unit *u, const XProperty *members, const Matrix *m) {
                           SelectionMember(hdc, u, members, m, clip);
                       });
}

// ---------------------------------------------------------------------------
// Handles.

namespace {

bool ShowsPoints(const Unit *u)
{
    const DrawingSettings &s = g_DrawingSettings;
    return !s.displaySelOnly || (u->flags & UNIT_MARKED) || (u->flags & UNIT_SELECTED);
}

void PointBoxes(HDC hdc, Unit *object, const HighlightPens &pens)
{
    const bool show = g_DrawingSettings.displayPoints && ShowsPoints(object);
    ForEachElement(object, [&](Element *e) {
        if (!ElementIsPoint(e) || e->size < ELEM_SIZE_POINT)
            return true;
        const auto *p = reinterpret_cast<ElementPoint *>(e);
        if (e->pointFlags & POINT_SELECTED) {
            SelectObject(hdc, pens.pointSolid);
            SelectObject(hdc, pens.pointBrush);
            g_CommandState->handlesDrawn = 1;
            ClipDrawPointBox(hdc, p->x, p->y);
        } else if (show) {
            SelectObject(hdc, pens.points);
            SelectObject(hdc, BackgroundBrush());
            ClipDrawPointBox(hdc, p->x, p->y);
        } else if (e->pointFlags & POINT_REDRAW) {
            SelectObject(hdc, BackgroundPen());
            SelectObject(hdc, BackgroundBrush());
            ClipDrawPointBox(hdc, p->x, p->y);
        }
        if (Ctx().lastOfBatch)
            e->pointFlags = static_cast<uint16_t>(e->pointFlags & ~POINT_REDRAW);
        return true;
    });
}

const ElementPoint *PointAt(Unit *u, int n)
{
    const Element *e = UnitElementAt(u, n);
    return e && ElementIsPoint(e) && e->size >= ELEM_SIZE_POINT ? reinterpret_cast<const ElementPoint *>(e) : nullptr;
}

// The direction arrows and control lines of an object.
void Arrows(HDC hdc, Unit *object, const HighlightPens &pens)
{
    const DrawingSettings &s = g_DrawingSettings;
    if (!(s.displayPoints || s.displayArrows) || !ShowsPoints(object))
        return;
    SelectObject(hdc, pens.points);
    const int32_t type = object->object.type;
    auto arrow = [&](double x, double y, double dx, double dy) {
        if (s.displayArrows && (dx != 0.0 || dy != 0.0))
            ClipDrawDirectionArrow(hdc, x, y, CalcAngleOfVector(dx, dy));
    };
    if (type == OBJTYPE_LINE || type == OBJTYPE_ZIGZAG || type == OBJTYPE_SPLINE || type == OBJTYPE_HATCH ||
        type == OBJTYPE_CURVE || type == OBJTYPE_SURFACE || type == OBJTYPE_CLIP) {
        const ElementPoint *start = nullptr;
        const ElementPoint *previous = nullptr;
        ForEachElement(object, [&](Element *e) {
            if (!ElementIsPoint(e))
                return true;
            const auto *p = reinterpret_cast<const ElementPoint *>(e);
            if (start) {
                arrow(start->x, start->y, p->x - start->x, p->y - start->y);
                start = nullptr;
            }
            if (e->kind == POINT_START)
                start = p;
            if (s.displayPoints && previous && (e->kind == POINT_CONTROL1 || e->kind == POINT_LINE)) {
                const bool control = e->kind == POINT_CONTROL1 || previous->head.kind == POINT_CONTROL2;
                if (control) {
                    SelectObject(hdc, pens.pointsDotted);
                    ClipDrawWorldLine(hdc, previous->x, previous->y, p->x, p->y);
                    SelectObject(hdc, pens.points);
                }
            }
            previous = p;
            return true;
        });
    } else if (type == OBJTYPE_CIRCLE) {
        const ElementPoint *c = PointAt(object, 1), *p = PointAt(object, 2);
        if (c && p)
            arrow(p->x, p->y, -(p->y - c->y), p->x - c->x);
    } else if (type >= OBJTYPE_CIRC_ARC && type <= OBJTYPE_CIRC_SEGM) {
        const ElementPoint *c = PointAt(object, 1), *p = PointAt(object, 3);
        const Element *sub = UnitElementAt(object, 6);
        const double sweep = sub && sub->kind == ELEM_SUB_CIRCLE_ARC ? *static_cast<const double *>(ElementPayload(sub)) : 0.0;
        if (c && p) {
            const double dx = -(p->y - c->y), dy = p->x - c->x;
            arrow(p->x, p->y, sweep < 0.0 ? -dx : dx, sweep < 0.0 ? -dy : dy);
        }
    } else if (type == OBJTYPE_ELLIPSE) {
        const ElementPoint *c = PointAt(object, 1), *a1 = PointAt(object, 2), *a2 = PointAt(object, 3);
        if (c && a1 && a2)
            arrow(a1->x, a1->y, a2->x - c->x, a2->y - c->y);
    }
}

} // namespace

int OutputDrawHandles(HDC hdc, Unit *object)
{
    Ctx().depth = 0;
    Ctx().instance = nullptr;
    const XProperty parent = OutputDefaultXProperty();
    Matrix identity;
    MatrixInit(&identity);
    int result = 0;
    if (object->kind == UNIT_KIND_OBJECT)
        result = OutputHandlesDraw(hdc, object, &parent, &identity);
    else if (object->kind == UNIT_KIND_INSTANCE)
        result = OutputHandlesInstance(hdc, object, &parent, &identity);
    else if (object->kind == UNIT_KIND_PLUGIN)
        result = OutputHandlesPlugin(hdc, object, &parent, &identity);
    if (Ctx().lastOfBatch)
        object->flags &= ~UNIT_SELECTION_REDRAW;
    return result;
}

namespace {

// The handles of a plain object (arrows, control lines and point boxes) or
// of a plug-in object (point boxes only).
int Handles(HDC hdc, Unit *object, const XProperty *parent, const Matrix *matrix, bool arrows)
{
    if (!g_DrawingSettings.displayObjects || !Visible(object, matrix) || OutputCheckAbort())
        return 1;
    XProperty resolved;
    if (!OutputResolveXProperty(&object->property, parent, &resolved))
        return 1;
    LoadCurrent(matrix);
    HighlightPens pens;
    HighlightSetup setup(hdc, pens.points, R2_COPYPEN);
    if (arrows)
        Arrows(hdc, object, pens);
    PointBoxes(hdc, object, pens);
    Ctx().current = Ctx().base;
    return 1;
}

} // namespace

int OutputHandlesDraw(HDC hdc, Unit *object, const XProperty *parent, const Matrix *matrix)
{
    const int32_t type = object->object.type;
    if (type >= OBJTYPE_GEO_LINE && type <= OBJTYPE_GEO_ELLI)
        return 1;
    return Handles(hdc, object, parent, matrix, true);
}

int OutputHandlesPlugin(HDC hdc, Unit *object, const XProperty *parent, const Matrix *matrix)
{
    return Handles(hdc, object, parent, matrix, false);
}

int OutputHandlesInstance(HDC hdc, Unit *instance, const XProperty *parent, const Matrix *matrix)
{
    return BlockWalk(instance, parent, matrix, [&](Unit *u, const XProperty *members, const Matrix *m) {
        if (u->kind == UNIT_KIND_OBJECT)
            OutputHandlesDraw(hdc, u, members, m);
        else if (u->kind == UNIT_KIND_INSTANCE)
            OutputHandlesInstance(hdc, u, members, m);
        else if (u->kind == UNIT_KIND_PLUGIN)
            OutputHandlesPlugin(hdc, u, members, m);
    });
}

int OutputPointNumbersPlain(HDC hdc, Unit *object, const XProperty *parent, const Matrix *matrix, int32_t *counter,
                            int draw)
{
    const int32_t type = object->object.type;
    if (type >= OBJTYPE_GEO_LINE && type <= OBJTYPE_GEO_ELLI)
        return 1;
    int32_t &n = *counter;
    ++n;
    if (!draw)
        return 1;
    const DrawingSettings &s = g_DrawingSettings;
    if (!s.displayObjects || !s.displayNumbers || !ShowsPoints(object) || !Visible(object, matrix) ||
        OutputCheckAbort())
        return 1;
    XProperty resolved;
    if (!OutputResolveXProperty(&object->property, parent, &resolved))
        return 1;
    HighlightPens pens;
    HighlightSetup setup(hdc, pens.points, R2_COPYPEN);
    LoadCurrent(matrix);
    if (type == OBJTYPE_LINE || type == OBJTYPE_ZIGZAG || type == OBJTYPE_SPLINE) {
        ForEachElement(object, [&](Element *e) {
            if (e->kind == POINT_START)
                ClipDrawNumberedFrame(hdc, reinterpret_cast<ElementPoint *>(e)->x,
                                      reinterpret_cast<ElementPoint *>(e)->y, &n, nullptr);
            return true;
        });
    } else if (type == OBJTYPE_HATCH || type == OBJTYPE_CURVE || type == OBJTYPE_SURFACE || type == OBJTYPE_CLIP) {
        int32_t k = 0;
        ForEachElement(object, [&](Element *e) {
            if (e->kind == POINT_START) {
                ++k;
                ClipDrawNumberedFrame(hdc, reinterpret_cast<ElementPoint *>(e)->x,
                                      reinterpret_cast<ElementPoint *>(e)->y, &n, &k);
            }
            return true;
        });
    } else {
        const int at = type >= OBJTYPE_CIRC_ARC && type <= OBJTYPE_CIRC_SEGM   ? 2
                       : type >= OBJTYPE_ELLI_ARC && type <= OBJTYPE_ELLI_SEGM ? 3
                                                                               : 1;
        const ElementPoint *p = PointAt(object, at);
        if (p)
            ClipDrawNumberedFrame(hdc, p->x, p->y, &n, nullptr);
    }
    Ctx().current = Ctx().base;
    return 1;
}


int OutputPointNumbersInstance(HDC hdc, Unit *instance, const XProperty *parent, const Matrix *matrix,
                               int32_t *counter, int draw)
{
    if (Ctx().depth > OUTPUT_MAX_NESTING)
        return 1;
    Unit *block = SymbolGetInstanceBlock(instance);
    if (!block)
        return 1;
    // Members off the screen are still counted, so that the numbers of the
    // objects after them do not depend on the view.
    const bool shown = draw && g_DrawingSettings.displayBlocks && Visible(instance, matrix) && !OutputAborted();
    auto member = [&](Unit *u, const XProperty *members, const Matrix *m) {
        if (u->kind == UNIT_KIND_OBJECT)
            OutputPointNumbersPlain(hdc, u, members, m, counter, shown);
        else if (u->kind == UNIT_KIND_INSTANCE)
            OutputPointNumbersInstance(hdc, u, members, m, counter, shown);
    };
    if (shown)
        return MembersWalk(instance, block, instance->instance.placement, &instance->property, parent, matrix, member);
    Ctx().depth += 1;
    for (Unit *u = block->block.firstMember; u; u = u->next)
        member(u, parent, matrix);
    Ctx().depth -= 1;
    return 1;
}

int OutputDrawPointNumbers(HDC hdc, Unit *object, int32_t *counter)
{
    int32_t own = 0;
    int32_t *n = counter ? counter : &own;
    Ctx().depth = 0;
    Ctx().instance = nullptr;
    const XProperty defaults = OutputDefaultXProperty();
    Matrix identity;
    MatrixInit(&identity);
    if (object->kind == UNIT_KIND_OBJECT)
        return OutputPointNumbersPlain(hdc, object, &defaults, &identity, n, 1);
    if (object->kind == UNIT_KIND_INSTANCE || object->kind == UNIT_KIND_PLUGIN)
        return OutputPointNumbersInstance(hdc, object, &defaults, &identity, n, 1);
    return 0;
}

// ---------------------------------------------------------------------------
// Window redraws of the highlights.

void OutputWithWindowDC(int window, const std::function<void(HDC)> &draw)
{
    const DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->hwnd)
        return;
    OutputContextKeeper keep;
    HDC hdc = GetDC(w->hwnd);
    if (!hdc)
        return;
    ScreenSetupOutput(hdc, window, nullptr, OUTPUT_SCREEN);
    draw(hdc);
    ReleaseDC(w->hwnd, hdc);
    OutputFreeGdiCache();
}

void OutputDrawSelectionInWindow(int window, Unit *object, int erase)
{
    OutputWithWindowDC(window, [&](HDC hdc) { OutputDrawSelectionState(hdc, object, erase); });
}

void OutputPaintSelection(HDC hdc)
{
    const DrawingSettings &s = g_DrawingSettings;
    const bool handles = s.displayPoints || s.displayArrows;
    int32_t counter = 0;
    auto draw = [&](Unit *u) {
        ListFilterKeeper keep;
        if (u->flags & (UNIT_USER_MARK | UNIT_HIGHLIGHTED | UNIT_SELECTED))
            OutputObjectSelection(hdc, u, 1, 1);
        if (handles || (u->flags & UNIT_POINTS_SELECTED))
            OutputDrawHandles(hdc, u);
        if (s.displayNumbers)
            OutputDrawPointNumbers(hdc, u, &counter);
        return !OutputAborted();
    };
    // Point numbers count through the whole drawing; everything else is
    // drawn only for the objects near the painted area.
    if (s.displayNumbers) {
        for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_HIDDEN, 0, 1); u && draw(u); u = MemListNext(u)) {
        }
    } else {
        // Handles and highlights reach a few pixels beyond an object's frame.
        constexpr double REACH_PIXELS = 16.0;
        const double reach = Ctx().zoom > 0.0 ? REACH_PIXELS / Ctx().zoom : 0.0;
        const double *v = Ctx().visibleRect;
        const double box[4] = {v[0] - reach, v[1] - reach, v[2] + reach, v[3] + reach};
        ObjectForEachNear(box, UNIT_HIDDEN, draw);
    }
    // A candidate being chosen survives the repaint of its window.
    if (g_CalcCandidateIndex >= 0 && Ctx().window == g_CalcCandidateWindow)
        CalcDrawCandidate(hdc, &g_CalcCandidates[g_CalcCandidateIndex]);
}

namespace {

constexpr uint32_t REDRAW_MARKS = UNIT_CHANGED | UNIT_SELECTION_REDRAW;

// The alive, shown units whose selection or mark changed, in list order: a
// few of them are found among the undo notes in any drawing.
std::vector<Unit *> UnitsToRedraw()
{
    std::vector<Unit *> units;
    const bool noted = UndoForEachFlagged([&](Unit *u) {
        if ((u->flags & REDRAW_MARKS) && !(u->flags & UNIT_HIDDEN) && UndoIsVisible(u, g_UndoStep))
            units.push_back(u);
    });
    if (!noted || units.size() < 2 || ObjectSortInListOrder(&units))
        return units;
    units.clear();
    for (Unit *u = MemListFirst(LIST_DRAWING, UNIT_HIDDEN, 0, 1); u; u = MemListNext(u))
        if (u->flags & REDRAW_MARKS)
            units.push_back(u);
    return units;
}

} // namespace

void OutputRedrawSelection()
{
    OutputContextKeeper keep;
    int last = -1;
    for (int i = 0; i < g_DrawWindowCount && i < WINDOW_DRAW_COUNT; ++i)
        if (g_DrawWindows[i].hwnd)
            last = i;
    // With no drawing window the marks are cleared all the same.
    if (last < 0) {
        UndoForEachFlagged([](Unit *u) { u->flags &= ~REDRAW_MARKS; });
        return;
    }
    const std::vector<Unit *> units = UnitsToRedraw();
    for (int i = 0; i < g_DrawWindowCount && i < WINDOW_DRAW_COUNT; ++i) {
        const DrawWindow &w = g_DrawWindows[i];
        if (!w.hwnd)
            continue;
        HDC hdc = GetDC(w.hwnd);
        if (!hdc)
            continue;
        ScreenSetupOutput(hdc, i, nullptr, OUTPUT_SCREEN);
        OutputResetAbort();
        Ctx().lastOfBatch = i == last;
        for (Unit *u : units) {
            ListFilterKeeper keepFilter;
            const bool pointsChanged = (u->flags & UNIT_SELECTION_REDRAW) != 0;
            OutputObjectSelection(hdc, u, 1, 1);
            if (pointsChanged || (u->flags & UNIT_POINTS_SELECTED))
                OutputDrawHandles(hdc, u);
        }
        Ctx().lastOfBatch = 0;
        ReleaseDC(w.hwnd, hdc);
        OutputFreeGdiCache();
    }
}

// ---------------------------------------------------------------------------
// Redraw abort.

int OutputAbortQueueSaysStop()
{
    MSG msg;
    auto peek = [&](UINT first, UINT last) { return PeekMessageA(&msg, nullptr, first, last, PM_NOREMOVE | PM_NOYIELD) != 0; };
    if (g_CommandSpaceZoom != SPACE_ZOOM_IDLE)
        return peek(WM_LBUTTONDOWN, WM_LBUTTONDOWN) || peek(WM_RBUTTONDOWN, WM_RBUTTONDOWN);
    // Every waiting key press counts when it is a first press, a navigation
    // key or a numeric-pad zoom key; auto-repeats of other keys do not.
    if (PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE | PM_NOYIELD)) {
        const WPARAM key = msg.wParam;
        const bool navigation = (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_MULTIPLY || key == VK_ADD ||
                                key == VK_SUBTRACT;
        if (navigation || !(static_cast<uint32_t>(msg.lParam) & KEY_PREVIOUS_STATE))
            return 1;
    }
    return peek(WM_SYSKEYDOWN, WM_SYSKEYDOWN) || peek(WM_LBUTTONDOWN, WM_LBUTTONDOWN) ||
           peek(WM_MBUTTONDOWN, WM_MBUTTONDOWN) || peek(WM_RBUTTONDOWN, WM_RBUTTONDOWN);
}

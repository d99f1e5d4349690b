#include <cmath>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "app/system.h"
#include "database/object.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_find.h"
#include "display/output.h"
#include "display/symbol.h"
#include "files/file_records.h"
#include "files/image_list.h"
#include "geometry/calc.h"
#include "geometry/frame.h"
#include "geometry/frame_dim.h"

namespace {

constexpr double kVertical = 1e-10;
// How near an arc's end point must lie to its curve, relative to the size
// of its coordinates, to stay where it is: far above the rounding of the
// fourteen digits a file keeps, far below anything drawn.
constexpr double ARC_END_KEEP = 1e-11;
// Elements read by position: enough for every fixed chain.
constexpr int kMaxPositions = 24;
// One closed circle, arc or ellipse and its closing centre point.
constexpr int kCurveEntries = FLAT_MAX_CURVE_ENTRIES + 1;

struct Chain {
    Element *at[kMaxPositions]; // elements by position from 0
    int count;
};

// The first elements of a plain object's chain, up to its end element.
Chain ReadChain(Unit *object)
{
    Chain c{};
    const uint8_t *end = reinterpret_cast<uint8_t *>(object) + object->bytes;
    Element *e = UnitFirstElement(object);
    while (c.count < kMaxPositions && reinterpret_cast<uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end &&
           e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE) {
        c.at[c.count++] = e;
        e = ElementNext(e);
    }
    return c;
}

ElementPoint *PointAt(const Chain &c, int i)
{
    return i < c.count && ElementIsPoint(c.at[i]) ? reinterpret_cast<ElementPoint *>(c.at[i]) : nullptr;
}

double *ValuesAt(const Chain &c, int i, int16_t kind)
{
    return i < c.count && c.at[i]->kind == kind ? static_cast<double *>(ElementPayload(c.at[i])) : nullptr;
}

// Adds a point, mapped by the matrix, to the box.
// Points along a dimension arc that bound it closely enough for repainting.
constexpr int kArcFrameSteps = 16;

void AddPoint(double box[4], double x, double y, const Matrix *matrix)
{
    if (matrix)
        MatrixApply(*matrix, x, y, &x, &y);
    FrameExtendPoint(box, x, y);
}

void AddCurve(double box[4], const PathPoint *path, const uint32_t *codes, int32_t count, const Matrix *matrix)
{
    if (count > 0)
        FrameAddPath(path, codes, count, box, matrix);
}

// Every point element of the object.
void AddAllPoints(Unit *object, double box[4], const Matrix *matrix)
{
    const uint8_t *end = reinterpret_cast<uint8_t *>(object) + object->bytes;
    for (Element *e = UnitFirstElement(object);
         reinterpret_cast<uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e))
        if (ElementIsPoint(e)) {
            const ElementPoint *p = reinterpret_cast<const ElementPoint *>(e);
            AddPoint(box, p->x, p->y, matrix);
        }
}

// Lines, Bezier pieces (7, 8, 2) and arc pieces (9, 102) of a path chain.
void AddElementPath(Unit *object, double box[4], const Matrix *matrix)
{
    const uint8_t *end = reinterpret_cast<uint8_t *>(object) + object->bytes;
    auto valid = [end](Element *e) {
        return reinterpret_cast<uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->kind != ELEM_END &&
               e->size >= ELEMENT_HEADER_SIZE;
    };
    bool have = false;
    double lx = 0, ly = 0;
    for (Element *e = UnitFirstElement(object); valid(e); e = ElementNext(e)) {
        const ElementPoint *p = reinterpret_cast<const ElementPoint *>(e);
        if (e->kind == POINT_START || e->kind == POINT_LINE) {
            lx = p->x, ly = p->y, have = true;
            AddPoint(box, lx, ly, matrix);
        } else if (e->kind == POINT_CONTROL1) {
            Element *e8 = ElementNext(e);
            if (!valid(e8) || e8->kind != POINT_CONTROL2)
                continue;
            Element *e2 = ElementNext(e8);
            if (!valid(e2) || e2->kind != POINT_LINE)
                continue;
            const ElementPoint *p8 = reinterpret_cast<const ElementPoint *>(e8);
            const ElementPoint *p2 = reinterpret_cast<const ElementPoint *>(e2);
            if (have)
                FrameAddBezierMatrix(lx, ly, p->x, p->y, p8->x, p8->y, p2->x, p2->y, box, matrix);
            lx = p2->x, ly = p2->y, have = true;
            AddPoint(box, lx, ly, matrix);
            e = e2;
        } else if (e->kind == POINT_ARC_PIECE_END) {
            Element *curve = ElementNext(e);
            if (!valid(curve) || curve->kind != ELEM_CURVE)
                continue;
            const double *v = static_cast<const double *>(ElementPayload(curve));
            if (have) {
                PathPoint path[kCurveEntries] = {{lx, ly}, {p->x, p->y}};
                uint32_t codes[kCurveEntries] = {PATH_START, PATH_LINE};
                AddCurve(box, path, codes, FlatAddArcBulge(path, codes, 0, v[0], v[1]), matrix);
            }
            lx = p->x, ly = p->y, have = true;
            AddPoint(box, lx, ly, matrix);
            e = curve;
        }
    }
}

// Points flattened into the shared path array from index 0.
void AddFlattened(double box[4], int32_t count, const Matrix *matrix)
{
    for (int32_t i = 0; i < count; ++i)
        AddPoint(box, g_WorkArrays.pathPoints[i].x, g_WorkArrays.pathPoints[i].y, matrix);
}

void AddSpline(Unit *object, double box[4], const Matrix *matrix)
{
    int32_t m = 0;
    const int32_t capacity = (int32_t)g_MaxPathPoints;
    bool fits = g_WorkArrays.pathPoints != nullptr;
    const uint8_t *end = reinterpret_cast<uint8_t *>(object) + object->bytes;
    for (Element *e = UnitFirstElement(object);
         reinterpret_cast<uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e)) {
        if (e->kind != POINT_START && e->kind != POINT_LINE)
            continue;
        const ElementPoint *p = reinterpret_cast<const ElementPoint *>(e);
        if (fits && m < capacity)
            g_WorkArrays.pathPoints[m++] = {p->x, p->y};
        else
            fits = false;
        AddPoint(box, p->x, p->y, matrix); // the curve passes through every point
    }
    if (!fits)
        return;
    const int32_t count = FlatAddSpline(g_WorkArrays.pathPoints, 0, m);
    if (count > 0)
        AddFlattened(box, count, matrix);
}

void AddZigzag(const Chain &c, const XProperty &resolved, double box[4], const Matrix *matrix)
{
    const ElementPoint *s = PointAt(c, 0), *e = PointAt(c, 1);
    const double *size = ValuesAt(c, 2, ELEM_CONSTANT);
    if (!s || !e)
        return;
    AddPoint(box, s->x, s->y, matrix);
    AddPoint(box, e->x, e->y, matrix);
    if (!size || !g_WorkArrays.pathPoints)
        return;
    g_WorkArrays.pathPoints[0] = {s->x, s->y};
    g_WorkArrays.pathPoints[1] = {e->x, e->y};
    const int32_t count = FlatAddZigzag(g_WorkArrays.pathPoints, 0, size[0], resolved.width);
    if (count > 0)
        AddFlattened(box, count, matrix);
}

void AddCircle(const Chain &c, double box[4], const Matrix *matrix)
{
    const ElementPoint *centre = PointAt(c, 0), *on = PointAt(c, 1);
    if (!centre || !on)
        return;
    if (!matrix) {
        // Its Bezier pieces meet the axes at their ends with tangents along
        // the other axis: the centre plus and minus the radius are the exact extremes.
        const double dx = on->x - centre->x, dy = on->y - centre->y;
        const double r = std::sqrt(dx * dx + dy * dy);
        FrameExtendPoint(box, centre->x - r, centre->y - r);
        FrameExtendPoint(box, centre->x + r, centre->y + r);
        return;
    }
    PathPoint path[kCurveEntries] = {{centre->x, centre->y}, {on->x, on->y}};
    uint32_t codes[kCurveEntries];
    AddCurve(box, path, codes, FlatAddCircle(path, codes, 0), matrix);
}

// CircArc, CircSec, CircSegm and LineCurved: centre, radius point, start, end.
void AddCircleArc(const Chain &c, int subIndex, int16_t subKind, bool closeAtCentre, double box[4],
                  const Matrix *matrix)
{
    const ElementPoint *centre = PointAt(c, 0), *s = PointAt(c, 2), *e = PointAt(c, 3);
    const double *sub = ValuesAt(c, subIndex, subKind);
    if (!centre || !s || !e || !sub)
        return;
    PathPoint path[kCurveEntries] = {{s->x, s->y}, {e->x, e->y}, {centre->x, centre->y}};
    uint32_t codes[kCurveEntries];
    int32_t count = FlatAddArc(path, codes, 0, sub[0]);
    if (count > 0 && closeAtCentre) {
        path[count] = {centre->x, centre->y};
        codes[count++] = PATH_LINE;
    }
    AddCurve(box, path, codes, count, matrix);
}

void AddEllipse(const Chain &c, double box[4], const Matrix *matrix)
{
    const ElementPoint *centre = PointAt(c, 0), *a1 = PointAt(c, 1), *a2 = PointAt(c, 2);
    if (!centre || !a1 || !a2)
        return;
    PathPoint path[kCurveEntries] = {{centre->x, centre->y}, {a1->x, a1->y}, {a2->x, a2->y}};
    uint32_t codes[kCurveEntries];
    AddCurve(box, path, codes, FlatAddEllipse(path, codes, 0), matrix);
}

void AddEllipseArc(const Chain &c, bool closeAtCentre, double box[4], const Matrix *matrix)
{
    const ElementPoint *centre = PointAt(c, 0), *a1 = PointAt(c, 1), *a2 = PointAt(c, 2);
    const ElementPoint *s = PointAt(c, 3), *e = PointAt(c, 4);
    const double *sub = ValuesAt(c, 6, ELEM_SUB_ELLIPSE_ARC);
    if (!centre || !a1 || !a2 || !s || !e || !sub)
        return;
    PathPoint path[kCurveEntries] = {{s->x, s->y}, {e->x, e->y}, {centre->x, centre->y}, {a1->x, a1->y}, {a2->x, a2->y}};
    uint32_t codes[kCurveEntries];
    int32_t count = FlatAddEllipseArc(path, codes, 0, sub[0], sub[1]);
    if (count > 0 && closeAtCentre) {
        path[count] = {centre->x, centre->y};
        codes[count++] = PATH_LINE;
    }
    AddCurve(box, path, codes, count, matrix);
}

void AddStdText(const Chain &c, const XProperty *parent, double box[4], const Matrix *matrix)
{
    if (c.count < 2 || c.at[0]->kind != ELEM_TEXT || c.at[1]->kind != ELEM_TEXT_STANDARD)
        return;
    const auto *record = static_cast<const TextStandardData *>(ElementPayload(c.at[1]));
    SymbolSetTextLayout(record->charSpacing, record->tabUnit, record->lineSpacing, record->alignment);
    const char *s = SymbolGetTextString(static_cast<const char *>(ElementPayload(c.at[0])));
    FrameMeasureText(&record->font, s, &record->matrix, &record->property, parent, matrix);
    SymbolReleaseTextString();
    FrameUnion(box, g_FrameBox);
}

// A reference text: its points, its text, its leader and its frame (the
// working record is brought up to date before the frame is measured).
void AddRefText(Unit *object, const Chain &c, const XProperty *parent, double box[4], const Matrix *matrix)
{
    AddAllPoints(object, box, matrix);
    if (c.count < 4)
        return;
    Chain text{};
    text.at[0] = c.at[2], text.at[1] = c.at[3], text.count = 2;
    AddStdText(text, parent, box, matrix);
    const RefTextGeometry *g = FrameRefTextGeometry(object);
    if (!g)
        return;
    for (const CalcPoint &p : g->leader)
        AddPoint(box, p.x, p.y, matrix);
    const CalcPoint *f = g->frame;
    if (g->frameShape == REFTEXT_FRAME_CIRCLE || g->frameShape == REFTEXT_FRAME_ELLIPSE) {
        PathPoint path[kCurveEntries] = {{f[0].x, f[0].y}, {f[1].x, f[1].y}, {f[2].x, f[2].y}};
        if (g->frameShape == REFTEXT_FRAME_CIRCLE) // a circle through f1: its axes from the radius
            path[2] = {f[0].x - (f[1].y - f[0].y), f[0].y + (f[1].x - f[0].x)};
        uint32_t codes[kCurveEntries];
        AddCurve(box, path, codes, FlatAddEllipse(path, codes, 0), matrix);
        return;
    }
    for (int i = 0; i < 4; ++i)
        AddPoint(box, f[i].x, f[i].y, matrix);
}

// A dimension: its points, its dimension line or arc ends and its label.
void AddDimension(Unit *object, const XProperty *parent, double box[4], const Matrix *matrix)
{
    // What is drawn, not the stored points: a point of a step the settings
    // skipped stays at the origin and would stretch the frame to it.
    DimRoles roles;
    if (!FrameDimensionRoles(object, &roles))
        return;
    if (roles.sub->kind == ELEM_SUB_DIM_LINEAR) {
        const auto *g = static_cast<const DimLinearGeometry *>(ElementPayload(roles.sub));
        if (g->dimensionLine) {
            if (g->extension1)
                AddPoint(box, g->base1.x, g->base1.y, matrix);
            if (g->extension2)
                AddPoint(box, g->base2.x, g->base2.y, matrix);
            AddPoint(box, g->q1.x, g->q1.y, matrix);
            AddPoint(box, g->q2.x, g->q2.y, matrix);
        }
    } else if (roles.sub->kind == ELEM_SUB_DIM_ANGULAR) {
        // The arc through its ends and as many points between as its quarter turns need.
        const auto *g = static_cast<const DimAngularGeometry *>(ElementPayload(roles.sub));
        if (g->dimensionArc) {
            const double r = std::hypot(g->arcStart.x - g->centre.x, g->arcStart.y - g->centre.y);
            const double a0 = std::atan2(g->arcStart.y - g->centre.y, g->arcStart.x - g->centre.x);
            for (int k = 0; k <= kArcFrameSteps; ++k) {
                const double a = a0 + g->sweep * k / kArcFrameSteps;
                AddPoint(box, g->centre.x + r * std::cos(a), g->centre.y + r * std::sin(a), matrix);
            }
            if (g->extension1)
                AddPoint(box, g->base1.x, g->base1.y, matrix);
            if (g->extension2)
                AddPoint(box, g->base2.x, g->base2.y, matrix);
        }
    }
    char label[DIM_LABEL_SIZE];
    Matrix m;
    const DimCommon *common = nullptr;
    if (!FrameDimensionLabel(object, label, sizeof label, &m, &common))
        return;
    if (matrix)
        MatrixMultiply(&m, matrix);
    SymbolSetTextLayout(common->values420[0], common->values420[1], 1.0, TEXT_ALIGN_CENTRE);
    const char *s = SymbolGetTextString(label);
    Matrix identity;
    MatrixInit(&identity);
    FrameMeasureText(&common->font, s, &m, &common->property, parent, &identity);
    SymbolReleaseTextString();
    FrameUnion(box, g_FrameBox);
    DimTolerances tolerances;
    if (!FrameDimensionTolerances(object, &tolerances))
        return;
    for (const auto &[text, at] : {std::pair{tolerances.upper, &tolerances.upperAt},
                                   std::pair{tolerances.lower, &tolerances.lowerAt}}) {
        if (!*text)
            continue;
        Matrix placed = *at;
        if (matrix)
            MatrixMultiply(&placed, matrix);
        SymbolSetTextLayout(common->values420[0], common->values420[1], 1.0, TEXT_ALIGN_LEFT);
        FrameMeasureText(&common->font, SymbolGetTextString(text), &placed, &common->property, parent, &identity);
        SymbolReleaseTextString();
        FrameUnion(box, g_FrameBox);
    }
}

void AddFrameText(const Chain &c, double box[4], const Matrix *matrix)
{
    const ElementPoint *p1 = PointAt(c, 0), *p2 = PointAt(c, 1), *p3 = PointAt(c, 2);
    if (!p1 || !p2 || !p3)
        return;
    AddPoint(box, p1->x, p1->y, matrix);
    AddPoint(box, p2->x, p2->y, matrix);
    AddPoint(box, p3->x, p3->y, matrix);
    AddPoint(box, p2->x + p3->x - p1->x, p2->y + p3->y - p1->y, matrix);
}

void AddClip(Unit *object, const Chain &c, const XProperty &resolved, double box[4], const Matrix *matrix)
{
    if ((resolved.fillMode == 3 || resolved.fillMode == 4) && c.count > 0 && c.at[0]->kind == ELEM_CLIP_SURFACE) {
        const auto *clip = static_cast<const ClipSurfaceData *>(ElementPayload(c.at[0]));
        Matrix m = clip->placement;
        if (matrix)
            MatrixMultiply(&m, matrix);
        FrameCalcBlockByName(clip->library, clip->block, &resolved, &m);
        FrameUnion(box, g_FrameBox);
    }
    AddElementPath(object, box, matrix);
}

void AddBitmap(const Chain &c, double box[4], const Matrix *matrix)
{
    if (c.count < 1 || c.at[0]->kind != ELEM_BITMAP_REF)
        return;
    // The placed image rectangle; without its image the placement origin
    // stands for it.
    const auto *ref = static_cast<const BitmapRefData *>(ElementPayload(c.at[0]));
    double w = 0, h = 0;
    if (!ImageSizeMm(ref->name, &w, &h))
        w = h = 0;
    const double xs[4] = {0, w, w, 0}, ys[4] = {0, 0, h, h};
    for (int i = 0; i < 4; ++i) {
        double x, y;
        MatrixApply(ref->placement, xs[i], ys[i], &x, &y);
        AddPoint(box, x, y, matrix);
    }
}

void AddGeoLine(const Chain &c, double box[4], const Matrix *matrix)
{
    box[0] = box[1] = -FRAME_INFINITE;
    box[2] = box[3] = FRAME_INFINITE;
    const ElementPoint *a = PointAt(c, 0), *b = PointAt(c, 1);
    if (!a || !b)
        return;
    double x1 = a->x, y1 = a->y, x2 = b->x, y2 = b->y;
    if (matrix) {
        MatrixApply(*matrix, x1, y1, &x1, &y1);
        MatrixApply(*matrix, x2, y2, &x2, &y2);
    }
    if (std::fabs(x2 - x1) < kVertical) {
        box[0] = x1 - 1.0;
        box[2] = x1 + 1.0;
    }
    if (std::fabs(y2 - y1) < kVertical) {
        box[1] = y1 - 1.0;
        box[3] = y1 + 1.0;
    }
}

// ---------------------------------------------------------------------------
// Derived data.

// Moves an arc's end point to its place on the curve, slot 0 of the last
// projection, unless it lies there already to within the rounding of the
// file's numbers: a point read back must stay as it was written, or every
// open and save would move it by a few last digits.
void KeepOrMoveOntoCurve(ElementPoint *p, const ElementPoint *centre)
{
    const CalcPoint q = g_CalcPoints[0];
    const double scale = std::fmax(std::fmax(std::fabs(centre->x), std::fabs(centre->y)),
                                   std::fmax(std::fabs(q.x - centre->x), std::fabs(q.y - centre->y)));
    if (std::fabs(q.x - p->x) <= ARC_END_KEEP * scale && std::fabs(q.y - p->y) <= ARC_END_KEEP * scale)
        return;
    p->x = q.x, p->y = q.y;
}

void RegenerateCircleArc(const Chain &c)
{
    ElementPoint *centre = PointAt(c, 0), *radius = PointAt(c, 1), *s = PointAt(c, 2), *e = PointAt(c, 3);
    const double *orient = ValuesAt(c, 4, ELEM_ORIENT);
    double *sub = ValuesAt(c, 5, ELEM_SUB_CIRCLE_ARC);
    if (!centre || !radius || !s || !e || !orient || !sub)
        return;
    sub[0] = CalcArcSweep(centre->x, centre->y, s->x, s->y, e->x, e->y, orient[0] >= 0.0 ? 1 : 0);
    CalcCirclePointTowards(centre->x, centre->y, radius->x, radius->y, s->x, s->y);
    KeepOrMoveOntoCurve(s, centre);
    CalcCirclePointTowards(centre->x, centre->y, radius->x, radius->y, e->x, e->y);
    KeepOrMoveOntoCurve(e, centre);
}

void RegenerateEllipseArc(const Chain &c)
{
    ElementPoint *centre = PointAt(c, 0), *a1 = PointAt(c, 1), *a2 = PointAt(c, 2), *s = PointAt(c, 3),
                 *e = PointAt(c, 4);
    const double *orient = ValuesAt(c, 5, ELEM_ORIENT);
    double *sub = ValuesAt(c, 6, ELEM_SUB_ELLIPSE_ARC);
    if (!centre || !a1 || !a2 || !s || !e || !orient || !sub)
        return;
    sub[1] = CalcEllipseArcSweep(centre->x, centre->y, a1->x, a1->y, a2->x, a2->y, s->x, s->y, e->x, e->y,
                                 orient[0] >= 0.0 ? 1 : 0);
    sub[0] = CalcEllipsePointTowards(centre->x, centre->y, a1->x, a1->y, a2->x, a2->y, s->x, s->y);
    KeepOrMoveOntoCurve(s, centre);
    CalcEllipsePointTowards(centre->x, centre->y, a1->x, a1->y, a2->x, a2->y, e->x, e->y);
    KeepOrMoveOntoCurve(e, centre);
}

void RegenerateLineStr(const Chain &c)
{
    const ElementPoint *s = PointAt(c, 0), *e = PointAt(c, 1);
    double *sub = ValuesAt(c, 3, ELEM_SUB_LINESTR);
    if (!s || !e || !sub)
        return;
    sub[0] = CalcAngleOfVector(e->x - s->x, e->y - s->y);
    sub[1] = CalcAngleOfVector(s->x - e->x, s->y - e->y);
}

void RegenerateLineCurved(const Chain &c)
{
    const ElementPoint *centre = PointAt(c, 0), *s = PointAt(c, 2), *e = PointAt(c, 3);
    const double *orient = ValuesAt(c, 4, ELEM_ORIENT);
    double *sub = ValuesAt(c, 6, ELEM_SUB_LINECURVED);
    if (!centre || !s || !e || !orient || !sub)
        return;
    const bool ccw = orient[0] >= 0.0;
    sub[0] = CalcArcSweep(centre->x, centre->y, s->x, s->y, e->x, e->y, ccw ? 1 : 0);
    sub[1] = CalcAngleOfVector(s->x - centre->x, s->y - centre->y);
    sub[2] = CalcAngleOfVector(e->x - centre->x, e->y - centre->y);
    sub[3] = ccw ? sub[1] + CALC_HALF_PI : sub[1] - CALC_HALF_PI;
    sub[4] = ccw ? sub[2] - CALC_HALF_PI : sub[2] + CALC_HALF_PI;
}

void CopyTextProperty(Unit *object, const Chain &c, int index, int16_t kind)
{
    if (index < c.count && c.at[index]->kind == kind)
        std::memcpy(&object->property,
                    static_cast<uint8_t *>(ElementPayload(c.at[index])) + RECORD_XPROPERTY_OFFSET, sizeof(XProperty));
}

void Regenerate(Unit *object, const Chain &c, const XProperty *parent, int regenerate)
{
    switch (object->object.type) {
    case OBJTYPE_CIRC_ARC:
    case OBJTYPE_CIRC_SEC:
    case OBJTYPE_CIRC_SEGM: RegenerateCircleArc(c); break;
    case OBJTYPE_ELLI_ARC:
    case OBJTYPE_ELLI_SEC:
    case OBJTYPE_ELLI_SEGM: RegenerateEllipseArc(c); break;
    case OBJTYPE_LINE_STR: RegenerateLineStr(c); break;
    case OBJTYPE_LINE_CURVED: RegenerateLineCurved(c); break;
    case OBJTYPE_STD_TEXT: CopyTextProperty(object, c, 1, ELEM_TEXT_STANDARD); break;
    case OBJTYPE_FRAME_TEXT: CopyTextProperty(object, c, 4, ELEM_TEXT_FRAME); break;
    case OBJTYPE_DIM_DIST:
    case OBJTYPE_DIM_RAD:
    case OBJTYPE_DIM_DIA:
    case OBJTYPE_DIM_ANGLE:
    case OBJTYPE_DIM_ARC:
    case OBJTYPE_DIM_COORD:
    case OBJTYPE_DIM_AREA:
    case OBJTYPE_DIM_PERI: FrameRegenerateDimension(object, regenerate); break;
    case OBJTYPE_REF_TEXT: FrameRegenerateRefText(object, parent); break;
    default: break;
    }
}

// Copied as bytes: no FPU, which is slow where the processor is emulated.
void CopyBox(const double box[4])
{
    std::memcpy(g_FrameBox, box, 4 * sizeof(double));
}

// Empty axes of an instance or block collapse to the origin of its matrix.
void CollapseEmptyAxes(double box[4], const Matrix &m)
{
    if (box[0] > FRAME_UNMEASURED || box[2] < -FRAME_UNMEASURED)
        box[0] = box[2] = m.tx;
    if (box[1] > FRAME_UNMEASURED || box[3] < -FRAME_UNMEASURED)
        box[1] = box[3] = m.ty;
}

// The box of a block's stored frame under an axis-parallel or quarter-turned
// placement; false when the placement is neither.
bool MapBlockFrame(const double f[4], const Matrix &m, double box[4])
{
    double x0, x1, y0, y1;
    if (std::fabs(m.c) <= 0.001 * std::fabs(m.a) && std::fabs(m.b) <= 0.001 * std::fabs(m.d)) {
        x0 = m.a * f[0] + m.tx, x1 = m.a * f[2] + m.tx;
        y0 = m.d * f[1] + m.ty, y1 = m.d * f[3] + m.ty;
    } else if (std::fabs(m.a) <= 0.001 * std::fabs(m.c) && std::fabs(m.d) <= 0.001 * std::fabs(m.b)) {
        x0 = m.c * f[1] + m.tx, x1 = m.c * f[3] + m.tx;
        y0 = m.b * f[0] + m.ty, y1 = m.b * f[2] + m.ty;
    } else {
        return false;
    }
    const double lx = std::fmin(x0, x1), hx = std::fmax(x0, x1);
    const double ly = std::fmin(y0, y1), hy = std::fmax(y0, y1);
    if (lx <= FRAME_INFINITE && hx >= -FRAME_INFINITE)
        box[0] = lx, box[2] = hx;
    if (ly <= FRAME_INFINITE && hy >= -FRAME_INFINITE)
        box[1] = ly, box[3] = hy;
    return true;
}

} // namespace

void FrameMeasureObject(Unit *object, const XProperty *parent, int regenerate)
{
    const Chain c = ReadChain(object);
    Regenerate(object, c, parent, regenerate);
    ObjectUpdatePointFlag(object);
    ObjectUpdateDisplayFlags(object);
    FrameMeasureObjectPath(object, parent, nullptr);
    std::memcpy(object->frame, g_FrameBox, sizeof object->frame);
}

void FrameMeasureObjectPath(Unit *object, const XProperty *parent, const Matrix *matrix)
{
    if (g_OutputContext.nestingDepth == 0)
        g_FrameExact = 1;
    XProperty resolved;
    OutputResolveXProperty(&object->property, parent, &resolved);
    g_OutputContext.outputMode = OUTPUT_MEASURE;
    double box[4];
    FrameSetEmpty(box);
    const Chain c = ReadChain(object);
    switch (object->object.type) {
    case OBJTYPE_HATCH:
    case OBJTYPE_CURVE:
    case OBJTYPE_SURFACE: AddElementPath(object, box, matrix); break;
    case OBJTYPE_CIRCLE:
    case OBJTYPE_GEO_CIRCLE: AddCircle(c, box, matrix); break;
    case OBJTYPE_CIRC_ARC:
    case OBJTYPE_CIRC_SEGM: AddCircleArc(c, 5, ELEM_SUB_CIRCLE_ARC, false, box, matrix); break;
    case OBJTYPE_CIRC_SEC: AddCircleArc(c, 5, ELEM_SUB_CIRCLE_ARC, true, box, matrix); break;
    case OBJTYPE_ZIGZAG: AddZigzag(c, resolved, box, matrix); break;
    case OBJTYPE_SPLINE:
        g_FrameExact = 0; // the flattened spline only approximates the drawn curve
        AddSpline(object, box, matrix);
        break;
    case OBJTYPE_ELLIPSE:
    case OBJTYPE_GEO_ELLI: AddEllipse(c, box, matrix); break;
    case OBJTYPE_ELLI_ARC:
    case OBJTYPE_ELLI_SEGM: AddEllipseArc(c, false, box, matrix); break;
    case OBJTYPE_ELLI_SEC: AddEllipseArc(c, true, box, matrix); break;
    case OBJTYPE_LINE_CURVED: AddCircleArc(c, 6, ELEM_SUB_LINECURVED, false, box, matrix); break;
    case OBJTYPE_STD_TEXT: AddStdText(c, parent, box, matrix); break;
    case OBJTYPE_FRAME_TEXT: AddFrameText(c, box, matrix); break;
    case OBJTYPE_CLIP: AddClip(object, c, resolved, box, matrix); break;
    case OBJTYPE_BITMAP: AddBitmap(c, box, matrix); break;
    case OBJTYPE_REF_TEXT: AddRefText(object, c, parent, box, matrix); break;
    case OBJTYPE_GEO_LINE: AddGeoLine(c, box, matrix); break;
    case OBJTYPE_DIM_DIST: case OBJTYPE_DIM_RAD: case OBJTYPE_DIM_DIA: case OBJTYPE_DIM_ANGLE: case OBJTYPE_DIM_ARC:
    case OBJTYPE_DIM_COORD: case OBJTYPE_DIM_AREA: case OBJTYPE_DIM_PERI:
        AddDimension(object, parent, box, matrix);
        break;
    default:
        // Lines, line strings, comments and marks: their point elements.
        AddAllPoints(object, box, matrix);
        break;
    }
    if (g_OutputContext.nestingDepth == 0 && g_FrameExact == 0)
        FrameAddMargin(box);
    CopyBox(box);
}

void FrameMeasureInstanceMembers(Unit *instance, const XProperty *parent, const Matrix *outer, int useBlockFrames)
{
    if (g_OutputContext.nestingDepth == 0)
        g_FrameExact = 1;
    double box[4];
    FrameSetEmpty(box);
    Matrix m = instance->instance.placement;
    if (outer)
        MatrixMultiply(&m, outer);
    if (g_OutputContext.nestingDepth <= OUTPUT_MAX_NESTING) {
        Unit *savedInstance = g_OutputContext.currentInstance;
        g_OutputContext.currentInstance = instance;
        ++g_OutputContext.nestingDepth;
        Unit *block = SymbolGetInstanceBlock(instance);
        if (block) {
            XProperty inherited;
            OutputInheritXProperty(&instance->property, &block->property, parent, &inherited);
            const bool fast = useBlockFrames && !g_DrawingSettings.displayVariables &&
                              MapBlockFrame(block->frame, m, box);
            if (!fast) {
                for (Unit *member = block->block.firstMember; member; member = member->next) {
                    if (member->kind == UNIT_KIND_OBJECT)
                        FrameMeasureObjectPath(member, &inherited, &m);
                    else if (member->kind == UNIT_KIND_INSTANCE || member->kind == UNIT_KIND_PLUGIN)
                        FrameMeasureInstanceMembers(member, &inherited, &m, useBlockFrames);
                    else
                        continue;
                    FrameUnion(box, g_FrameBox);
                }
            }
        }
        --g_OutputContext.nestingDepth;
        g_OutputContext.currentInstance = savedInstance;
    }
    CollapseEmptyAxes(box, m);
    if (g_OutputContext.nestingDepth == 0 && g_FrameExact == 0)
        FrameAddMargin(box);
    CopyBox(box);
}

void FrameCalcBlockByName(const char *library, const char *blockName, const XProperty *parent, const Matrix *matrix)
{
    double box[4];
    FrameSetEmpty(box);
    Matrix m;
    MatrixInit(&m);
    if (matrix)
        MatrixMultiply(&m, matrix);
    g_FrameExact = 1;
    Unit *block = SymbolFindBlock(library, blockName);
    // A block reached by name counts one nesting level, so a block that
    // refers to itself through clip surfaces stops like nested instances do.
    if (block && g_OutputContext.nestingDepth <= OUTPUT_MAX_NESTING) {
        Unit *savedInstance = g_OutputContext.currentInstance;
        g_OutputContext.currentInstance = block;
        ++g_OutputContext.nestingDepth;
        XProperty attributes;
        OutputFillXProperty(parent, &block->property, &attributes);
        for (Unit *member = block->block.firstMember; member; member = member->next) {
            if (member->kind == UNIT_KIND_OBJECT)
                FrameMeasureObjectPath(member, &attributes, &m);
            else if (member->kind == UNIT_KIND_INSTANCE || member->kind == UNIT_KIND_PLUGIN)
                FrameMeasureInstanceMembers(member, &attributes, &m, 0);
            else
                continue;
            FrameUnion(box, g_FrameBox);
        }
        --g_OutputContext.nestingDepth;
        g_OutputContext.currentInstance = savedInstance;
    }
    CollapseEmptyAxes(box, m);
    if (g_FrameExact == 0)
        FrameAddMargin(box);
    CopyBox(box);
}

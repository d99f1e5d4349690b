// The import core of both metafile players: the undo step of an import, the
// objects built in the first scratch buffer, stored with the attributes of
// the player's state, held in the path list inside a path bracket, and moved
// to the origin at the end.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/init.h"
#include "app/system_defs.h"
#include "app/window_progress.h"
#include "database/init.h"
#include "database/object.h"
#include "database/object_select.h"
#include "database/object_modify.h"
#include "database/object_flags.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "files/file_records.h"
#include "files/meta.h"
#include "files/meta_internal.h"
#include "files/zvi.h"
#include "geometry/frame.h"
#include "geometry/matrix.h"
#include "language/language.h"

MetaImportCore g_MetaCore;

namespace {

constexpr double TEXT_ASCENT = 0.7;   // of the height: baseline below a top reference point
constexpr double TEXT_DESCENT = 0.3;  // of the height: baseline above a bottom reference point
constexpr int TEXT_IMPORTING = 32;     // eDialogText
constexpr int TEXT_PASTING = 1;
constexpr int TEXT_RECORD = 15;
constexpr int TITLE_METAFILE = 16;     // eHeadlineText

Unit *Scratch() { return reinterpret_cast<Unit *>(g_Universal1); }

void BeginUnit(ChainWriter *w, int32_t type)
{
    Unit *u = Scratch();
    std::memset(u, 0, UNIT_ELEMENTS_OBJECT);
    u->kind = UNIT_KIND_OBJECT;
    u->object.type = type;
    u->object.reserved = OBJTYPE_RESERVED;
    InitChainBegin(w, u, g_ObjectLimits.scratchSize);
}

void ApplyAttributes(Unit *u, int32_t type)
{
    const MetaAttr &a = g_MetaCore.attr;
    u->kind = UNIT_KIND_OBJECT;
    u->module = 0;
    u->object.type = type;
    u->object.reserved = OBJTYPE_RESERVED;
    XProperty p = XPropertyDefault();
    p.ownFlags = 0;
    p.pen = 0;
    p.layer = g_ActiveLayer;
    p.lineType = 0;
    p.color2 = a.line;
    p.color1 = a.fill;
    p.fillMode = a.fillMode;
    p.width = std::min(a.width, META_WIDTH_MAX);
    u->property = p;
    UndoStampCreated(u);
    u->flags |= UNIT_TRANSFORM;
}

void GrowChanged(const Unit *u)
{
    if (u->frame[0] <= u->frame[2])
        FrameUnion(g_ChangedRect, u->frame);
}

Unit *CopyIntoDrawing(const void *record, uint32_t size)
{
    return MemListNewCopyAfter(LIST_DRAWING, record, size, g_ObjectLists[LIST_DRAWING].tail);
}

} // namespace

uint32_t MetaPointLimit()
{
    // The point elements that fit one unit together with its end element.
    const uint32_t fit = (g_ObjectLimits.maxUnitData - ELEM_SIZE_END) / ELEM_SIZE_POINT;
    return std::max<uint32_t>(std::min(fit, g_ObjectLimits.maxUnitPoints), 4);
}

int MetaImportBegin()
{
    if (!mem_lock_uni1(__FILE__, __LINE__))
        return 0;
    FrameSetEmpty(g_ChangedRect);
    // Only this import's objects may carry the transform flag.
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        u->flags &= ~UNIT_TRANSFORM;
    g_MetaCore = MetaImportCore{};
    g_MetaCore.maxPoints = MetaPointLimit();
    UndoInitProcess();
    return 1;
}

void MetaImportEnd(int ok)
{
    g_MetaCore.pathList.clear();
    g_MetaCore.inPath = false;
    mem_unlock_uni1(__FILE__, __LINE__);
    if (!ok) {
        UndoCancelProcess();
        FrameSetEmpty(g_ChangedRect);
        return;
    }
    ObjectMarkByMask(LIST_DRAWING, UNIT_TRANSFORM);
    Matrix m;
    MatrixInit(&m);
    if (g_ChangedRect[0] <= g_ChangedRect[2])
        MatrixMove(&m, -(g_ChangedRect[0] + g_ChangedRect[2]) / 2, -(g_ChangedRect[1] + g_ChangedRect[3]) / 2);
    ObjectTransformMarked(&m, UNIT_TRANSFORM, 1);
    UndoFinishProcess();
}

uint32_t MetaBuildPoints(int32_t type, const MetaPt *points, size_t n)
{
    ChainWriter w;
    BeginUnit(&w, type);
    for (size_t i = 0; i < n; ++i)
        if (!InitChainPoint(&w, points[i].kind, points[i].x, points[i].y))
            return 0;
    return InitChainEnd(&w);
}

uint32_t MetaBuildArc(int32_t type, const MetaPt &centre, const MetaPt &axis1, const MetaPt &axis2, const MetaPt &start,
                      const MetaPt &end, double orientation)
{
    ChainWriter w;
    BeginUnit(&w, type);
    InitChainPoint(&w, POINT_CENTRE, centre.x, centre.y);
    InitChainPoint(&w, POINT_AXIS_END, axis1.x, axis1.y);
    InitChainPoint(&w, POINT_AXIS_END, axis2.x, axis2.y);
    InitChainPoint(&w, POINT_ARC_END, start.x, start.y);
    InitChainPoint(&w, POINT_ARC_END, end.x, end.y);
    InitChainOrient(&w, orientation);
    InitChainRecord(&w, ELEM_SUB_ELLIPSE_ARC, ELEM_SIZE_SUB_ELLIPSE_ARC);
    return InitChainEnd(&w);
}

uint32_t MetaBuildText(const char *text, size_t n, const FontDef &font, const Matrix &matrix, COLORREF colour,
                       int32_t alignment)
{
    if (n > size_t(META_TEXT_MAX))
        return 0;
    std::string s(text, n);
    s.resize(std::strlen(s.c_str())); // a zero byte ends the text early
    ChainWriter w;
    BeginUnit(&w, OBJTYPE_STD_TEXT);
    if (!InitChainText(&w, s.c_str(), TEXT_CAPACITY_LONG, false))
        return 0;
    Element *e = InitChainRecord(&w, ELEM_TEXT_STANDARD, ELEM_SIZE_TEXT_STANDARD);
    if (!e)
        return 0;
    TextStandardData d{};
    d.font = font;
    d.property = XPropertyDefault();
    d.property.fillMode = 1;
    d.property.color1 = colour;
    d.matrix = matrix;
    d.charSpacing = 0.0;
    d.tabUnit = 4.0;
    d.lineSpacing = 1.0;
    d.alignment = alignment;
    std::memcpy(ElementPayload(e), &d, sizeof d);
    return InitChainEnd(&w);
}

int MetaStoreObject(int32_t type, uint32_t size)
{
    if (size < 1)
        return 0;
    if (g_MetaCore.attr.invisible)
        return 1;
    Unit *u = Scratch();
    if (g_MetaCore.inPath) {
        ApplyAttributes(u, type);
        FrameCalcObject(u, 1);
        GrowChanged(u);
        g_MetaCore.pathList.emplace_back(g_Universal1, g_Universal1 + u->bytes);
        return 1;
    }
    Unit *stored = CopyIntoDrawing(u, size);
    if (!stored)
        return 0;
    ApplyAttributes(stored, type);
    FrameCalcObject(stored, 1);
    ObjectUpdateDisplayFlags(stored);
    GrowChanged(stored);
    return 1;
}

int MetaStorePieces(const MetaPt *points, size_t n, bool close)
{
    const size_t m = g_MetaCore.maxPoints;
    if (n == 0)
        return 1;
    std::vector<MetaPt> piece;
    size_t first = 0;
    while (n - first > m) {
        piece.assign(points + first, points + first + m);
        piece.front().kind = POINT_START;
        for (size_t i = 1; i < piece.size(); ++i)
            piece[i].kind = POINT_LINE;
        if (!MetaStoreObject(OBJTYPE_CURVE, MetaBuildPoints(OBJTYPE_CURVE, piece.data(), piece.size())))
            return 0;
        first += m - 1;
    }
    piece.assign(points + first, points + n);
    if (close)
        piece.push_back(points[0]);
    piece.front().kind = POINT_START;
    for (size_t i = 1; i < piece.size(); ++i)
        piece[i].kind = POINT_LINE;
    return MetaStoreObject(OBJTYPE_CURVE, MetaBuildPoints(OBJTYPE_CURVE, piece.data(), piece.size()));
}

int MetaStorePolyPolygon(std::vector<MetaPt> *points, const std::vector<uint32_t> &counts, bool polygon, bool winding)
{
    std::vector<MetaPt> &pts = *points;
    const uint32_t m = g_MetaCore.maxPoints;
    uint64_t total = 0;
    bool anyLong = false;
    for (uint32_t c : counts) {
        total += c;
        anyLong |= c > m;
    }
    if (total > pts.size())
        return 0;
    size_t first = 0;
    for (uint32_t c : counts) {
        if (c > 0)
            pts[first].kind = POINT_START;
        first += c;
    }
    if (polygon && !anyLong && total <= m && !winding)
        return pts.empty() ? 1 : MetaStoreObject(OBJTYPE_SURFACE, MetaBuildPoints(OBJTYPE_SURFACE, pts.data(), size_t(total)));
    first = 0;
    for (uint32_t c : counts) {
        if (c > 0) {
            const int ok = !polygon || anyLong
                               ? MetaStorePieces(&pts[first], c, polygon)
                               : MetaStoreObject(OBJTYPE_SURFACE, MetaBuildPoints(OBJTYPE_SURFACE, &pts[first], c));
            if (!ok)
                return 0;
        }
        first += c;
    }
    return 1;
}

int MetaFillPathList(int32_t fillMode)
{
    for (const std::vector<uint8_t> &record : g_MetaCore.pathList) {
        Unit *u = CopyIntoDrawing(record.data(), uint32_t(record.size()));
        if (!u)
            return 0;
        u->property.fillMode = fillMode;
        FrameCalcObject(u, 1);
        ObjectUpdateDisplayFlags(u);
        GrowChanged(u);
    }
    return 1;
}

int32_t MetaTextAlignment(uint32_t align)
{
    if ((align & TA_CENTER) == TA_CENTER)
        return 1;
    if (align & TA_RIGHT)
        return 2;
    return 0;
}

Matrix MetaTextMatrix(double h, double angle, uint32_t align)
{
    Matrix m;
    MatrixInit(&m);
    MatrixScale(&m, h, h);
    if (angle != 0.0)
        MatrixRotate(&m, angle);
    // The y axis (c, d) has the length h already: the shift is a share of it.
    if ((align & TA_BASELINE) != TA_BASELINE) {
        const double share = (align & TA_BOTTOM) ? -TEXT_DESCENT : TEXT_ASCENT;
        m.tx -= share * m.c;
        m.ty -= share * m.d;
    }
    return m;
}

void MetaSetMapMode(MetaMapping *m, uint32_t mode)
{
    m->mode = mode;
    m->ratioX = m->ratioY = 1.0;
    switch (mode) {
    case MM_LOMETRIC: m->unitX = m->unitY = 0.1; break;
    case MM_HIMETRIC: m->unitX = m->unitY = 0.01; break;
    case MM_LOENGLISH: m->unitX = m->unitY = 0.254; break;
    case MM_HIENGLISH: m->unitX = m->unitY = 0.0254; break;
    case MM_TWIPS: m->unitX = m->unitY = 25.4 / 1440; break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC:
        m->unitX = 1.0;
        m->unitY = -1.0;
        if (m->extX != 0.0 && m->extY != 0.0) {
            m->ratioX = m->pictureW / m->extX;
            m->ratioY = m->pictureH / m->extY;
            if (mode == MM_ISOTROPIC) {
                const double r = std::fabs(m->ratioX) < std::fabs(m->ratioY) ? m->ratioX : m->ratioY;
                m->ratioX = m->ratioY = r;
            }
        }
        break;
    default:
        m->unitX = m->textUnitX;
        m->unitY = -m->textUnitY;
        break;
    }
    m->lengthRatio = (std::fabs(m->ratioX) + std::fabs(m->ratioY)) / 2;
}

double MetaMapLength(const MetaMapping &m, double n) { return std::fabs(n * m.unitX * m.lengthRatio); }

void MetaSetWindowOrg(MetaMapping *m, double x, double y)
{
    m->orgX = x;
    m->orgY = y;
    MetaSetMapMode(m, m->mode);
}

void MetaOffsetWindowOrg(MetaMapping *m, double dx, double dy) { MetaSetWindowOrg(m, m->orgX + dx, m->orgY + dy); }

void MetaSetWindowExt(MetaMapping *m, double x, double y)
{
    m->extX = x;
    m->extY = y;
    MetaSetMapMode(m, m->mode);
}

void MetaScaleWindowExt(MetaMapping *m, double xNum, double xDenom, double yNum, double yDenom)
{
    if (xDenom != 0.0 && yDenom != 0.0)
        MetaSetWindowExt(m, xNum * m->extX / xDenom, yNum * m->extY / yDenom);
}

void MetaEllipseFrame(const MetaMapping &m, double left, double top, double right, double bottom, MetaPt out[3])
{
    const double cx = (left + right) / 2, cy = (top + bottom) / 2;
    out[0] = {MetaMapX(m, cx), MetaMapY(m, cy), POINT_CENTRE};
    out[1] = {MetaMapX(m, left), MetaMapY(m, cy), POINT_AXIS_END};
    out[2] = {MetaMapX(m, cx), MetaMapY(m, top), POINT_AXIS_END};
}

void MetaImportProgress(const char *path)
{
    char text[PROGRESS_TEXT_SIZE];
    char name[ZVI_PATH_SIZE] = "";
    if (path && ZVI_FileSplitName(path, nullptr, name))
        std::snprintf(text, sizeof text, eDialogText[TEXT_IMPORTING], name);
    else
        std::snprintf(text, sizeof text, "%s", eDialogText[TEXT_PASTING]);
    WindowShowProgress(eHeadlineText[TITLE_METAFILE], text, 0);
}

void MetaImportCountRecord()
{
    ++g_MetaCore.records;
    char line[PROGRESS_TEXT_SIZE];
    std::snprintf(line, sizeof line, eDialogText[TEXT_RECORD], int(g_MetaCore.records));
    WindowUpdateProgress(line, nullptr, 0, 0);
}

void MetaImportFailed(HWND owner, int alertEntry, const char *problem)
{
    if (problem)
        InitErrorBox(__FILE__, __LINE__, problem);
    AlertOk(owner, eAlertTextSM[alertEntry]);
}

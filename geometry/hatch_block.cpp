// Hatch block patterns: every line and arc of a block placed at every cell of
// a turned grid through the hatch origin and cut at the boundary.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "database/object_rects.h"
#include "database/symbol_find.h"
#include "dialogs/alert.h"
#include "geometry/frame.h"
#include "geometry/hatch.h"
#include "geometry/matrix.h"
#include "language/language.h"
#include "plugin/stream.h"
#include "plugin/zvi.h"

namespace {

constexpr double PI = 3.141592653589793;
constexpr double TWO_PI = 6.283185307179586;
constexpr double PATTERN_EPS = 1e-10;
constexpr double COLLECT_EQUAL = 1.0 / 1024;
constexpr double PIECE_TOLERANCE = 0.001;
constexpr int CROSSING_RECORDS = 1000;
// The block's paths with arcs as arcs, whole, ellipses and curves flattened.
constexpr uint32_t PATTERN_ENUMERATION = ENUM_ARCS | ENUM_NO_DASHING | ENUM_GEOMETRY;
static_assert(PATTERN_ENUMERATION == 0x100A);

// The placement values of a hatch definition.
enum { BLOCK_ANGLE, BLOCK_SCALE, COLUMN_FACTOR, COLUMN_GAP, ROW_FACTOR, ROW_GAP, SHIFT_FACTOR, SHIFT };

struct Record {
    double x, y, t;
};

struct BlockGrid {
    double anchorX, anchorY;
    double colX, colY;   // column step
    double rowX, rowY;   // row step
    double width, height;
    double colPitch, rowPitch, rowShift;
    Matrix instance;
};

// The state of one block-pattern generation.
struct Pattern {
    const BufferData *boundary;
    HatchOpenFn open;
    HatchAddFn add;
    HatchCloseFn close;
    XProperty current;
    BlockGrid grid;
    BufferData piece; // one hatch piece prepared on the boundary's grid
    std::vector<Record> records;
    bool seen;
};

double WrapAngle(double a)
{
    a = std::fmod(a, TWO_PI);
    return a < 0 ? a + TWO_PI : a;
}

bool Inside(const Pattern &p, double x, double y)
{
    return HatchPointInside(x, y, p.boundary->items, p.boundary->used, 0) != 0;
}

// The 20 % and 80 % points of an arc's sweep decide; the middle when they disagree.
bool ArcInside(const Pattern &p, double cx, double cy, double r, double from, double sweep)
{
    auto at = [&](double f) {
        const double a = from + f * sweep;
        return Inside(p, cx + r * std::cos(a), cy + r * std::sin(a));
    };
    const bool a = at(0.2), b = at(0.8);
    return a == b ? a : at(0.5);
}

int AddArc(Pattern &p, double cx, double cy, double r, double from, double to)
{
    GeoObject g{};
    g.type = GEO_CIRC_ARC;
    g.d[0] = cx, g.d[1] = cy;
    g.d[6] = g.d[2] = cx + r * std::cos(from);
    g.d[7] = g.d[3] = cy + r * std::sin(from);
    g.d[8] = cx + r * std::cos(to);
    g.d[9] = cy + r * std::sin(to);
    g.direction = 1;
    return p.add(&g, 0) != 0;
}

// Cuts the piece in the piece buffer at the boundary and hands on what lies inside.
int ClipPatternPiece(Pattern &p)
{
    const BufferSegment &s = p.piece.items[0];
    p.records.clear();
    for (int32_t i = 0; i < p.boundary->used; ++i) {
        const BufferSegment &b = p.boundary->items[i];
        if (b.x1 == b.x2 && b.y1 == b.y2)
            continue;
        const int slots = PolyIntersectItems(&s, &b, 0, 0);
        for (int k = 0; k + 1 < slots; k += 2) {
            if (int(p.records.size()) >= CROSSING_RECORDS - 1) {
                AlertSM48(g_MainWnd);
                return 0;
            }
            p.records.push_back({g_CalcPoints[k].x, g_CalcPoints[k].y, g_CalcPoints[k + 1].x});
        }
    }
    const bool circle = s.type == POLY_ITEM_CIRCLE;
    if (p.records.empty()) {
        if (!circle)
            return 1; // the carrier line misses the area
        const double sweep = WrapAngle(s.endAngle - s.startAngle);
        if (ArcInside(p, s.cx, s.cy, s.length, s.startAngle, sweep))
            return AddArc(p, s.cx, s.cy, s.length, s.startAngle, s.startAngle + sweep);
        return 1;
    }
    // The piece's own ends.
    if (circle) {
        p.records.push_back({s.x1, s.y1, s.startAngle});
        p.records.push_back({s.x2, s.y2, s.endAngle});
    } else {
        p.records.push_back({s.x1, s.y1, 0});
        p.records.push_back({s.x2, s.y2, 1});
    }
    std::stable_sort(p.records.begin(), p.records.end(), [](const Record &a, const Record &b) { return a.t < b.t; });
    const size_t n = p.records.size();
    // Surviving spans as (first, last) parameters, merged when they meet.
    std::vector<std::pair<double, double>> spans;
    auto keep = [&](double t0, double t1) {
        if (t1 - t0 < PATTERN_EPS)
            return;
        if (!spans.empty() && std::fabs(spans.back().second - t0) <= PATTERN_EPS)
            spans.back().second = t1;
        else
            spans.push_back({t0, t1});
    };
    if (!circle) {
        for (size_t k = 0; k + 1 < n; ++k) {
            const Record &a = p.records[k], &b = p.records[k + 1];
            const double mean = (a.t + b.t) / 2;
            if (mean < 0)
                continue;
            if (mean > 1)
                break;
            if (Inside(p, (a.x + b.x) / 2, (a.y + b.y) / 2))
                keep(a.t, b.t);
        }
        for (const auto &span : spans) {
            GeoObject g{};
            g.type = GEO_LINE;
            g.d[0] = s.x1 + span.first * (s.x2 - s.x1), g.d[1] = s.y1 + span.first * (s.y2 - s.y1);
            g.d[2] = s.x1 + span.second * (s.x2 - s.x1), g.d[3] = s.y1 + span.second * (s.y2 - s.y1);
            if (!p.add(&g, 0))
                return 0;
        }
        return 1;
    }
    for (size_t k = 0; k < n; ++k) {
        const double t0 = p.records[k].t;
        const double t1 = k + 1 < n ? p.records[k + 1].t : p.records[0].t + TWO_PI;
        const double middle = WrapAngle((t0 + t1) / 2);
        if (!PolyAngleInArc(s.startAngle, s.endAngle, middle, 0, 1))
            continue;
        if (ArcInside(p, s.cx, s.cy, s.length, t0, t1 - t0))
            keep(t0, t1);
    }
    for (const auto &span : spans)
        if (!AddArc(p, s.cx, s.cy, s.length, span.first, span.second))
            return 0;
    return 1;
}

bool BoxMeetsBoundary(const Pattern &p, double xmin, double ymin, double xmax, double ymax)
{
    return xmin <= p.boundary->xmax && p.boundary->xmin <= xmax && ymin <= p.boundary->ymax &&
           p.boundary->ymin <= ymax;
}

// One block piece (a line or an arc of the block) at every cell of the grid.
int PlaceBlockItem(Pattern &p, const BufferSegment &item, const XProperty &property)
{
    if (std::memcmp(&property, &p.current, sizeof property) != 0) {
        if (!p.close())
            return 0;
        p.current = property;
        if (!p.open(&p.current))
            return 0;
    }
    BufferSegment placed = item;
    MatrixApply(p.grid.instance, item.x1, item.y1, &placed.x1, &placed.y1);
    MatrixApply(p.grid.instance, item.x2, item.y2, &placed.x2, &placed.y2);
    MatrixApply(p.grid.instance, item.cx, item.cy, &placed.cx, &placed.cy);
    if (item.type == POLY_ITEM_ARC && !item.direction) {
        std::swap(placed.x1, placed.x2);
        std::swap(placed.y1, placed.y2);
    }
    const BlockGrid &g = p.grid;
    const double cols = std::floor(g.width / g.colPitch + 0.5) + 1;
    const double rows = std::floor(g.height / g.rowPitch + 0.5) + 1;
    const double radius = std::hypot(placed.x1 - placed.cx, placed.y1 - placed.cy);
    double rowX = g.anchorX, rowY = g.anchorY, shift = 0;
    for (double r = 0; r <= rows; ++r) {
        for (double c = 0; c <= cols; ++c) {
            const double dx = rowX + c * g.colX, dy = rowY + c * g.colY;
            BufferSegment &s = p.piece.items[0];
            s = BufferSegment{};
            s.x1 = placed.x1 + dx, s.y1 = placed.y1 + dy;
            s.x2 = placed.x2 + dx, s.y2 = placed.y2 + dy;
            bool meets;
            if (item.type == POLY_ITEM_ARC) {
                s.type = POLY_ITEM_CIRCLE;
                s.cx = placed.cx + dx, s.cy = placed.cy + dy;
                s.direction = 1;
                meets = BoxMeetsBoundary(p, s.cx - radius, s.cy - radius, s.cx + radius, s.cy + radius);
            } else {
                s.type = POLY_ITEM_ENDLESS;
                meets = BoxMeetsBoundary(p, std::min(s.x1, s.x2), std::min(s.y1, s.y2), std::max(s.x1, s.x2),
                                         std::max(s.y1, s.y2));
            }
            if (!meets)
                continue;
            p.piece.used = 1;
            PolyBufferPrepare(&p.piece, PIECE_TOLERANCE);
            if (!ClipPatternPiece(p))
                return 0;
        }
        rowX += g.rowX, rowY += g.rowY;
        shift += g.rowShift;
        if (shift >= g.colPitch) {
            rowX -= g.colX, rowY -= g.colY;
            shift -= g.colPitch;
        }
    }
    return 1;
}

// The generation the block enumeration feeds; one runs at a time.
Pattern *s_Pattern = nullptr;

// The lines and arcs of one path record of the pattern block, closed paths
// closed; instances inside the block arrive expanded, already placed.
int __stdcall BlockPathCallback(EnumerateRecord *record)
{
    if (record->command != ENUM_CMD_OPEN_PATH && record->command != ENUM_CMD_CLOSED_PATH)
        return 1;
    Pattern &p = *s_Pattern;
    p.seen = true;
    // The record's style block has the layout of an XProperty.
    XProperty property;
    static_assert(offsetof(EnumerateRecord, layer) + sizeof(int32_t) - offsetof(EnumerateRecord, styleTag) ==
                  sizeof(XProperty));
    std::memcpy(&property, &record->styleTag, sizeof property);
    const bool closed = record->command == ENUM_CMD_CLOSED_PATH;
    const double *pt = record->points;
    const int32_t *code = record->codes;
    double curX = 0, curY = 0, firstX = 0, firstY = 0;
    bool started = false;
    auto line = [&](double x1, double y1, double x2, double y2) {
        BufferSegment s{};
        s.type = POLY_ITEM_LINE;
        s.x1 = x1, s.y1 = y1, s.x2 = x2, s.y2 = y2;
        return PlaceBlockItem(p, s, property);
    };
    auto closeSubpath = [&] {
        if (closed && started &&
            (std::fabs(curX - firstX) > COLLECT_EQUAL || std::fabs(curY - firstY) > COLLECT_EQUAL))
            return line(curX, curY, firstX, firstY);
        return 1;
    };
    for (int32_t i = 0; i < record->count; ++i) {
        const double x = pt[2 * i], y = pt[2 * i + 1];
        switch (code[i]) {
        case ENUM_CODE_MOVE:
            if (!closeSubpath())
                return 0;
            firstX = curX = x, firstY = curY = y;
            started = true;
            break;
        case ENUM_CODE_LINE:
            if (!line(curX, curY, x, y))
                return 0;
            curX = x, curY = y;
            break;
        case ENUM_CODE_ARC:
            if (i + 1 < record->count) {
                const double h = pt[2 * i + 2], dir = pt[2 * i + 3];
                BufferSegment s{};
                s.type = POLY_ITEM_ARC;
                s.x1 = curX, s.y1 = curY, s.x2 = x, s.y2 = y;
                s.cx = (curX + x) / 2 - h * (y - curY);
                s.cy = (curY + y) / 2 + h * (x - curX);
                s.direction = dir >= 0 ? 1 : 0;
                if (!PlaceBlockItem(p, s, property))
                    return 0;
                ++i;
                curX = x, curY = y;
            }
            break;
        default: break;
        }
    }
    return closeSubpath();
}

} // namespace

int HatchEnumerateBlocks(const BufferData *boundary, const HatchDef *def, const double *origin, HatchOpenFn open,
                         HatchAddFn add, HatchCloseFn close)
{
    if (!boundary || !def || !open || !add || !close)
        return 0;
    const double ox = origin ? origin[0] : g_HatchOrigin[0], oy = origin ? origin[1] : g_HatchOrigin[1];
    const Unit *block = SymbolFindBlock(def->blockLibrary, def->blockName);
    if (!block)
        return 0;
    g_ChangedRect[0] = boundary->xmin, g_ChangedRect[1] = boundary->ymin;
    g_ChangedRect[2] = boundary->xmax, g_ChangedRect[3] = boundary->ymax;
    // The block's exact frame about its reference point.
    const XProperty defaults = XPropertyDefault();
    FrameCalcBlockByName(def->blockLibrary, def->blockName, &defaults, nullptr);
    double frame[4];
    std::memcpy(frame, g_FrameBox, sizeof frame);
    if (frame[0] > frame[2] || frame[1] > frame[3])
        return 0;
    const double *v = def->placement;
    const double scale = v[BLOCK_SCALE];
    const double bw = std::fabs((frame[2] - frame[0]) * scale), bh = std::fabs((frame[3] - frame[1]) * scale);
    Pattern p{};
    BlockGrid &g = p.grid;
    g.colPitch = std::fabs(v[COLUMN_FACTOR] * bw + v[COLUMN_GAP]);
    g.rowPitch = std::fabs(v[ROW_FACTOR] * bh + v[ROW_GAP]);
    if (!(g.colPitch >= PATTERN_EPS) || !(g.rowPitch >= PATTERN_EPS)) {
        AlertOk(g_MainWnd, eAlertTextOK[34]);
        return 0;
    }
    g.rowShift = std::fmod(v[SHIFT_FACTOR] * bw + v[SHIFT], g.colPitch);
    if (g.rowShift < 0)
        g.rowShift += g.colPitch;
    if (g.rowShift < PATTERN_EPS)
        g.rowShift = 0;
    double d = std::fmod(def->phaseA * g.colPitch + def->phaseB, g.colPitch);
    if (d < 0)
        d += g.colPitch;
    const double beta = def->baseAngle;
    double ext[4] = {boundary->xmin, boundary->ymin, boundary->xmax, boundary->ymax};
    const double margin = 1.5 * (g.rowShift + d + std::max(g.colPitch, g.rowPitch));
    ext[0] -= margin, ext[1] -= margin, ext[2] += margin, ext[3] += margin;
    HatchRotateFrame(ext, beta);
    g.width = ext[2] - ext[0], g.height = ext[3] - ext[1];
    // Bounded like the lines of a family: a tiny pitch over a large area is refused.
    const double cells = (std::floor(g.width / g.colPitch + 0.5) + 2) * (std::floor(g.height / g.rowPitch + 0.5) + 2);
    if (!(cells <= HATCH_MAX_CELLS)) {
        AlertOk(g_MainWnd, eAlertTextOK[34]);
        return 0;
    }
    const double cb = std::cos(beta), sb = std::sin(beta);
    g.colX = g.colPitch * cb, g.colY = g.colPitch * sb;
    g.rowX = -g.rowPitch * sb + g.rowShift * cb, g.rowY = g.rowPitch * cb + g.rowShift * sb;
    const double cx = (ext[0] + ext[2]) / 2, cy = (ext[1] + ext[3]) / 2;
    const double kx = cx + cb * (-g.width / 2) - sb * (-g.height / 2) - ox;
    const double ky = cy + sb * (-g.width / 2) + cb * (-g.height / 2) - oy;
    const double det = g.rowY * g.colX - g.rowX * g.colY;
    if (std::fabs(det) < PATTERN_EPS) {
        AlertOk(g_MainWnd, eAlertTextOK[34]);
        return 0;
    }
    double u = (kx * g.rowY - ky * g.rowX) / det;
    double w = (ky * g.colX - kx * g.colY) / det;
    u = u < 0 ? std::floor(u) : std::ceil(u);
    w = w < 0 ? std::floor(w) : std::ceil(w);
    g.anchorX = ox + u * g.colX + w * g.rowX;
    g.anchorY = oy + u * g.colY + w * g.rowY;
    MatrixInit(&g.instance);
    MatrixMove(&g.instance, d, 0);
    MatrixScale(&g.instance, scale, scale);
    MatrixRotate(&g.instance, v[BLOCK_ANGLE] + beta);

    p.boundary = boundary;
    p.open = open, p.add = add, p.close = close;
    p.current = XPropertyDefault();
    if (!PolyBufferAlloc(&p.piece, 1, 0)) {
        AlertOk(g_MainWnd, eAlertTextOK[87]);
        return 0;
    }
    p.piece.xmin = boundary->xmin, p.piece.ymin = boundary->ymin;
    p.piece.xmax = boundary->xmax, p.piece.ymax = boundary->ymax;
    p.records.reserve(CROSSING_RECORDS);
    int ok = open(&p.current);
    if (!ok)
        AlertOk(g_MainWnd, eAlertTextOK[87]);
    if (ok) {
        s_Pattern = &p;
        ok = ZVI_EnumerateBlock(0, def->blockName, def->blockLibrary, PATTERN_ENUMERATION, BlockPathCallback);
        s_Pattern = nullptr;
    }
    PolyBufferFree(&p.piece);
    if (!ok) {
        close();
        return 0;
    }
    if (!p.seen)
        AlertOk(g_MainWnd, eAlertTextOK[127]);
    return close();
}

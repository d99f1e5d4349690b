// EMF import: an enhanced metafile from a file or the clipboard played record
// by record with the program's own graphics state and object table: shapes
// and texts become drawing objects, the current-position records collect
// chains of points, and path brackets hold their objects back until a fill
// or stroke record asks for them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/init.h"
#include "app/window_progress.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "dialogs/alert.h"
#include "files/file_records.h"
#include "files/meta.h"
#include "files/meta_internal.h"
#include "files/zvi.h"
#include "geometry/matrix.h"
#include "language/language.h"

namespace {

constexpr int ALERT_EMF_FAILED = 106;   // eAlertTextSM
constexpr double EMF_PIXEL_MM = 25.4 / 96; // a reference pixel when the header gives none
constexpr double DEGREE_TENTH = 0.001745329251994;
constexpr double DEGREE = 0.01745329251994;
constexpr uint32_t EMR_LAST_HANDLED = 97;
constexpr double kPi = 3.14159265358979323846;
constexpr int ARC_STEPS = 32;           // straight pieces of a full turn of an arc-to
constexpr int16_t CODE_START = 1, CODE_LINE = 2, CODE_CONTROL1 = 7, CODE_CONTROL2 = 8;
constexpr int16_t SLOT_FREE = 0, SLOT_PEN = 1, SLOT_BRUSH = 2, SLOT_FONT = 3;
constexpr uint32_t STOCK_BIT = 0x80000000u;

struct EmfPen {
    uint32_t style, width, third;
    uint32_t colour;
    uint32_t hatch, entries, firstEntry;
};
struct EmfBrush {
    uint32_t style;
    uint32_t colour;
    uint32_t hatch;
};
static_assert(sizeof(LOGFONTW) == 92);

struct EmfImportState {
    EmfPen pen;
    EmfBrush brush;
    LOGFONTW font;
    COLORREF background, textColour;
    uint32_t backgroundMode, arcDirection, polyFillMode, textAlign;
    MetaMapping map; // MM_TEXT: one unit is one pixel of the reference device
    double posX, posY;
};

struct EmfObjectSlot {
    int16_t kind;
    uint8_t data[sizeof(LOGFONTW)];
};

struct EmfPlayer {
    EmfImportState s;
    std::vector<EmfObjectSlot> table;
    std::vector<MetaPt> chain;
    bool chainOpen = false;
    bool closeFlag = false;
    bool polyDraw = false;
};

EmfImportState g_EmfSaved;

void StartState(EmfImportState *s, const MetaEmfHeaderInfo &h)
{
    *s = EmfImportState{};
    s->pen = {PS_SOLID, 1, 0, 0, 0, 0, 0};
    s->brush = {BS_SOLID, RGB(255, 255, 255), 4};
    s->font.lfHeight = 10;
    s->font.lfWeight = 400;
    s->background = RGB(255, 255, 255);
    s->backgroundMode = OPAQUE;
    s->arcDirection = AD_COUNTERCLOCKWISE;
    s->polyFillMode = ALTERNATE;
    MetaMapping &m = s->map;
    m.extX = m.extY = 1.0;
    const double w = (double(h.frame.right) - h.frame.left) * 0.01, hh = (double(h.frame.bottom) - h.frame.top) * 0.01;
    m.pictureW = w > 0 && hh > 0 ? w : META_DEFAULT_PICTURE;
    m.pictureH = w > 0 && hh > 0 ? hh : META_DEFAULT_PICTURE;
    m.textUnitX = h.device.cx > 0 && h.millimetres.cx > 0 ? double(h.millimetres.cx) / h.device.cx : EMF_PIXEL_MM;
    m.textUnitY = h.device.cy > 0 && h.millimetres.cy > 0 ? double(h.millimetres.cy) / h.device.cy : EMF_PIXEL_MM;
    MetaSetMapMode(&m, MM_TEXT);
}

void SetAttributes(const EmfPlayer &p)
{
    const EmfImportState &s = p.s;
    MetaAttr &a = g_MetaCore.attr;
    const bool nullPen = (s.pen.style & PS_STYLE_MASK) == PS_NULL, nullBrush = s.brush.style == BS_NULL;
    a.invisible = nullPen && nullBrush;
    a.line = s.pen.colour & 0xFFFFFF;
    a.fillMode = p.polyDraw || nullBrush ? 0 : nullPen ? 1 : 2;
    a.fill = (s.brush.style == BS_HATCHED && s.brush.hatch <= 5 ? s.background : s.brush.colour) & 0xFFFFFF;
    a.width = std::min(MetaMapLength(s.map, s.pen.width), META_WIDTH_MAX);
}

MetaPt Point(const EmfImportState &s, double x, double y, int16_t kind) { return {MetaMapX(s.map, x), MetaMapY(s.map, y), kind}; }

// The points of a poly record, 16-bit or 32-bit, with 64-bit checked sizes.
bool ReadPoints(const EmfPlayer &p, const MetaRecord &r, uint32_t offset, uint32_t count, bool small,
                std::vector<MetaPt> *out)
{
    const uint32_t item = small ? 4 : 8;
    if (!r.HasArray(offset, count, item))
        return false;
    out->resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        double x, y;
        if (small) {
            int16_t a = 0, b = 0;
            r.I16(offset + i * 4, &a);
            r.I16(offset + i * 4 + 2, &b);
            x = a, y = b;
        } else {
            int32_t a = 0, b = 0;
            r.I32(offset + i * 8, &a);
            r.I32(offset + i * 8 + 4, &b);
            x = a, y = b;
        }
        (*out)[i] = Point(p.s, x, y, i == 0 ? POINT_START : POINT_LINE);
    }
    return true;
}

bool IsSmall(uint32_t type) { return type >= EMR_POLYBEZIER16 && type <= EMR_POLYDRAW16; }

int StorePoints(EmfPlayer &p, int32_t type, const MetaPt *pts, size_t n)
{
    SetAttributes(p);
    return MetaStoreObject(type, MetaBuildPoints(type, pts, n));
}

int PolylineRecord(EmfPlayer &p, const MetaRecord &r, bool polygon)
{
    uint32_t count;
    std::vector<MetaPt> pts;
    if (!r.U32(24, &count) || !ReadPoints(p, r, 28, count, IsSmall(r.type), &pts))
        return 0;
    SetAttributes(p);
    if (polygon && pts.size() <= g_MetaCore.maxPoints)
        return pts.size() < 2 ? 1 : StorePoints(p, OBJTYPE_SURFACE, pts.data(), pts.size());
    return MetaStorePieces(pts.data(), pts.size(), polygon);
}

int PolyPolyRecord(EmfPlayer &p, const MetaRecord &r, bool polygon)
{
    uint32_t polys, count;
    if (!r.U32(24, &polys) || !r.U32(28, &count) || !r.HasArray(32, polys, 4))
        return 0;
    std::vector<uint32_t> counts(polys);
    uint64_t total = 0;
    for (uint32_t i = 0; i < polys; ++i) {
        r.U32(32 + i * 4, &counts[i]);
        total += counts[i];
    }
    std::vector<MetaPt> pts;
    if (total != count || !ReadPoints(p, r, 32 + polys * 4, count, IsSmall(r.type), &pts))
        return 0;
    SetAttributes(p);
    return MetaStorePolyPolygon(&pts, counts, polygon, p.s.polyFillMode == WINDING);
}

int PolyBezierRecord(EmfPlayer &p, const MetaRecord &r)
{
    uint32_t count;
    std::vector<MetaPt> pts;
    if (!r.U32(24, &count) || count > g_MetaCore.maxPoints || !ReadPoints(p, r, 28, count, IsSmall(r.type), &pts))
        return 0;
    static const int16_t kinds[3] = {CODE_CONTROL1, CODE_CONTROL2, CODE_LINE};
    for (size_t i = 1; i < pts.size(); ++i)
        pts[i].kind = kinds[(i - 1) % 3];
    return pts.empty() ? 1 : StorePoints(p, OBJTYPE_CURVE, pts.data(), pts.size());
}

int PolyDrawRecord(EmfPlayer &p, const MetaRecord &r)
{
    uint32_t count;
    std::vector<MetaPt> pts;
    const bool small = IsSmall(r.type);
    if (!r.U32(24, &count) || count > g_MetaCore.maxPoints || !ReadPoints(p, r, 28, count, small, &pts) ||
        !r.HasArray(28 + uint64_t(count) * (small ? 4 : 8), count, 1))
        return 0;
    const uint8_t *types = r.bytes + 28 + count * (small ? 4 : 8);
    p.polyDraw = true;
    std::vector<MetaPt> closedFigures, figure;
    bool figureClosed = false;
    auto storeClosed = [&]() {
        int ok = closedFigures.empty() ? 1 : StorePoints(p, OBJTYPE_SURFACE, closedFigures.data(), closedFigures.size());
        closedFigures.clear();
        return ok;
    };
    auto endFigure = [&]() {
        int ok = 1;
        if (!figure.empty()) {
            if (figureClosed) {
                closedFigures.insert(closedFigures.end(), figure.begin(), figure.end());
            } else {
                ok = storeClosed() && StorePoints(p, OBJTYPE_CURVE, figure.data(), figure.size());
            }
        }
        figure.clear();
        figureClosed = false;
        return ok;
    };
    int ok = 1;
    for (uint32_t i = 0; i < count && ok; ++i) {
        const uint8_t type = types[i] & ~PT_CLOSEFIGURE;
        if (type == PT_MOVETO) {
            ok = endFigure();
            figure.push_back({pts[i].x, pts[i].y, CODE_START});
        } else if (type == PT_LINETO) {
            figure.push_back({pts[i].x, pts[i].y, figure.empty() ? CODE_START : CODE_LINE});
        } else if (type == PT_BEZIERTO && i + 2 < count) {
            figure.push_back({pts[i].x, pts[i].y, CODE_CONTROL1});
            figure.push_back({pts[i + 1].x, pts[i + 1].y, CODE_CONTROL2});
            figure.push_back({pts[i + 2].x, pts[i + 2].y, CODE_LINE});
            figureClosed |= ((types[i + 1] | types[i + 2]) & PT_CLOSEFIGURE) != 0;
            i += 2;
        }
        figureClosed |= (types[i] & PT_CLOSEFIGURE) != 0;
    }
    if (ok)
        ok = endFigure() && storeClosed();
    p.polyDraw = false;
    return ok;
}

bool ReadBox(const MetaRecord &r, uint32_t offset, int32_t b[4])
{
    return r.I32(offset, &b[0]) && r.I32(offset + 4, &b[1]) && r.I32(offset + 8, &b[2]) && r.I32(offset + 12, &b[3]);
}

int ShapeRecord(EmfPlayer &p, const MetaRecord &r)
{
    int32_t b[4];
    if (!ReadBox(r, 8, b))
        return 0;
    if (r.type == EMR_RECTANGLE || r.type == EMR_ROUNDRECT) {
        const MetaPt pts[4] = {Point(p.s, b[0], b[1], POINT_START), Point(p.s, b[0], b[3], POINT_LINE),
                               Point(p.s, b[2], b[3], POINT_LINE), Point(p.s, b[2], b[1], POINT_LINE)};
        return StorePoints(p, OBJTYPE_SURFACE, pts, 4);
    }
    MetaPt f[3];
    MetaEllipseFrame(p.s.map, b[0], b[1], b[2], b[3], f);
    if (r.type == EMR_ELLIPSE)
        return StorePoints(p, OBJTYPE_ELLIPSE, f, 3);
    int32_t sx, sy, ex, ey;
    if (!r.I32(24, &sx) || !r.I32(28, &sy) || !r.I32(32, &ex) || !r.I32(36, &ey))
        return 0;
    const int32_t type = r.type == EMR_ARC ? OBJTYPE_ELLI_ARC : r.type == EMR_CHORD ? OBJTYPE_ELLI_SEGM : OBJTYPE_ELLI_SEC;
    SetAttributes(p);
    return MetaStoreObject(type, MetaBuildArc(type, f[0], f[1], f[2], Point(p.s, sx, sy, POINT_ARC_END),
                                              Point(p.s, ex, ey, POINT_ARC_END),
                                              p.s.arcDirection == AD_COUNTERCLOCKWISE ? 1.0 : -1.0));
}

int AngleArcRecord(EmfPlayer &p, const MetaRecord &r)
{
    int32_t x, y;
    uint32_t radius;
    float start, sweep;
    if (!r.I32(8, &x) || !r.I32(12, &y) || !r.U32(16, &radius) || !r.F32(20, &start) || !r.F32(24, &sweep) ||
        !std::isfinite(start) || !std::isfinite(sweep))
        return 0;
    const double rr = radius, a0 = start * DEGREE, a1 = (double(start) + sweep) * DEGREE;
    const MetaPt centre = Point(p.s, x, y, POINT_CENTRE);
    const MetaPt axis1 = {MetaMapX(p.s.map, x + rr), centre.y, POINT_AXIS_END};
    const MetaPt axis2 = {centre.x, MetaMapY(p.s.map, y + rr), POINT_AXIS_END};
    const MetaPt s = Point(p.s, x + std::floor(std::cos(a0) * rr + 0.5), y + std::floor(std::sin(a0) * rr + 0.5),
                           POINT_ARC_END);
    const MetaPt e = Point(p.s, x + std::floor(std::cos(a1) * rr + 0.5), y + std::floor(std::sin(a1) * rr + 0.5),
                           POINT_ARC_END);
    SetAttributes(p);
    return MetaStoreObject(OBJTYPE_ELLI_ARC,
                           MetaBuildArc(OBJTYPE_ELLI_ARC, centre, axis1, axis2, s, e, sweep > 0 ? 1.0 : -1.0));
}

// Wide text to the program's 8-bit text through the system code page.
std::string Narrow(const WCHAR *text, size_t n)
{
    std::string out;
    if (n == 0)
        return out;
    const int size = WideCharToMultiByte(CP_ACP, 0, text, int(n), nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return out;
    out.resize(size_t(size));
    WideCharToMultiByte(CP_ACP, 0, text, int(n), &out[0], size, nullptr, nullptr);
    for (char &c : out)
        if (c == 0)
            c = ' ';
    return out;
}

void FontOf(const EmfImportState &s, FontDef *font, Matrix *m)
{
    *font = FontDef{};
    font->kind = 1;
    font->weight = uint32_t(std::max<LONG>(s.font.lfWeight, 0));
    font->style = (s.font.lfItalic ? 0x1 : 0) | (s.font.lfUnderline ? 0x2 : 0) | (s.font.lfStrikeOut ? 0x8 : 0) |
                  (s.font.lfCharSet == SYMBOL_CHARSET ? 0x100 : 0);
    size_t n = 0;
    while (n < LF_FACESIZE && s.font.lfFaceName[n])
        ++n;
    const std::string face = Narrow(s.font.lfFaceName, n);
    std::snprintf(font->face, sizeof font->face, "%s", face.c_str());
    const double h = MetaMapLength(s.map, s.font.lfHeight);
    double angle = 0.0;
    if (s.font.lfEscapement != 0) {
        const bool metric = s.map.mode >= MM_LOMETRIC && s.map.mode <= MM_TWIPS;
        angle = s.font.lfEscapement * (metric ? -DEGREE_TENTH : DEGREE_TENTH);
    }
    *m = MetaTextMatrix(h, angle, s.textAlign);
}

// One EMRTEXT at offset of the record.
int TextAt(EmfPlayer &p, const MetaRecord &r, uint32_t offset, bool wide)
{
    int32_t x, y;
    uint32_t n, offString;
    if (!r.I32(offset, &x) || !r.I32(offset + 4, &y) || !r.U32(offset + 8, &n) || !r.U32(offset + 12, &offString))
        return 0;
    if (n > uint32_t(META_TEXT_MAX) || !r.HasArray(offString, n, wide ? 2 : 1))
        return 0;
    std::string text;
    if (wide) {
        std::vector<WCHAR> w(n);
        r.Copy(offString, w.data(), n * 2);
        text = Narrow(w.data(), n);
    } else {
        text.assign(reinterpret_cast<const char *>(r.bytes + offString), n);
    }
    FontDef font;
    Matrix m;
    FontOf(p.s, &font, &m);
    MatrixMove(&m, MetaMapX(p.s.map, x), MetaMapY(p.s.map, y));
    SetAttributes(p);
    return MetaStoreObject(OBJTYPE_STD_TEXT, MetaBuildText(text.data(), text.size(), font, m, p.s.textColour & 0xFFFFFF,
                                                           MetaTextAlignment(p.s.textAlign)));
}

int PolyTextRecord(EmfPlayer &p, const MetaRecord &r, bool wide)
{
    uint32_t strings;
    if (!r.U32(36, &strings) || !r.HasArray(40, strings, 40))
        return 0;
    for (uint32_t i = 0; i < strings; ++i)
        if (!TextAt(p, r, 40 + i * 40, wide))
            return 0;
    return 1;
}

// ---- chains and paths ---------------------------------------------------------

int FlushChain(EmfPlayer &p)
{
    int ok = 1;
    if (p.chainOpen && !p.chain.empty()) {
        const int32_t type = p.closeFlag ? OBJTYPE_SURFACE : OBJTYPE_CURVE;
        if (p.chain.size() > 1 || !g_MetaCore.inPath)
            ok = StorePoints(p, type, p.chain.data(), p.chain.size());
    }
    p.chain.clear();
    p.chainOpen = false;
    p.closeFlag = false;
    return ok;
}

void StartChain(EmfPlayer &p)
{
    if (!p.chainOpen) {
        p.chainOpen = true;
        p.chain.push_back({p.s.posX, p.s.posY, CODE_START});
    }
}

// Adds one chain point; a chain that reaches its limit is stored and goes on
// from its last point.
int ChainAdd(EmfPlayer &p, double x, double y, int16_t code)
{
    if (p.chain.size() + 2 > g_MetaCore.maxPoints) {
        const MetaPt last = p.chain.back();
        if (!FlushChain(p))
            return 0;
        p.chainOpen = true;
        p.chain.push_back({last.x, last.y, CODE_START});
    }
    p.chain.push_back({x, y, code});
    p.s.posX = x;
    p.s.posY = y;
    return 1;
}

int PolyToRecord(EmfPlayer &p, const MetaRecord &r, bool bezier)
{
    uint32_t count;
    std::vector<MetaPt> pts;
    if (!r.U32(24, &count) || !ReadPoints(p, r, 28, count, IsSmall(r.type), &pts))
        return 0;
    StartChain(p);
    static const int16_t codes[3] = {CODE_CONTROL1, CODE_CONTROL2, CODE_LINE};
    for (size_t i = 0; i < pts.size(); ++i)
        if (!ChainAdd(p, pts[i].x, pts[i].y, bezier && i + 1 < pts.size() ? codes[i % 3] : CODE_LINE))
            return 0;
    return 1;
}

int ArcToRecord(EmfPlayer &p, const MetaRecord &r)
{
    int32_t b[4], sx, sy, ex, ey;
    if (!ReadBox(r, 8, b) || !r.I32(24, &sx) || !r.I32(28, &sy) || !r.I32(32, &ex) || !r.I32(36, &ey))
        return 0;
    const double cx = (double(b[0]) + b[2]) / 2, cy = (double(b[1]) + b[3]) / 2;
    const double rx = std::fabs(double(b[2]) - b[0]) / 2, ry = std::fabs(double(b[3]) - b[1]) / 2;
    // Angles in logical space, y down: counter-clockwise on the device is a
    // falling logical angle.
    const double a0 = std::atan2(sy - cy, sx - cx), a1 = std::atan2(ey - cy, ex - cx);
    double sweep = a1 - a0;
    if (p.s.arcDirection == AD_COUNTERCLOCKWISE) {
        while (sweep >= 0)
            sweep -= 2 * kPi;
    } else {
        while (sweep <= 0)
            sweep += 2 * kPi;
    }
    StartChain(p);
    const int steps = std::max(2, int(std::ceil(std::fabs(sweep) / (2 * kPi) * ARC_STEPS)));
    for (int i = 0; i <= steps; ++i) {
        const double a = a0 + sweep * i / steps;
        if (!ChainAdd(p, MetaMapX(p.s.map, cx + rx * std::cos(a)), MetaMapY(p.s.map, cy + ry * std::sin(a)), CODE_LINE))
            return 0;
    }
    return 1;
}

void PathReset()
{
    g_MetaCore.pathList.clear();
    g_MetaCore.inPath = false;
}

int EndPath(EmfPlayer &p)
{
    if (!g_MetaCore.inPath)
        return 1;
    int ok = 1;
    if (p.chain.size() > 1)
        ok = FlushChain(p);
    p.chain.clear();
    p.chainOpen = false;
    p.closeFlag = false;
    g_MetaCore.inPath = false;
    return ok;
}

// ---- objects ------------------------------------------------------------------------

EmfObjectSlot *Slot(EmfPlayer &p, const MetaRecord &r)
{
    uint32_t index;
    if (!r.U32(8, &index) || index >= p.table.size())
        return nullptr;
    return &p.table[index];
}

void SelectStock(EmfPlayer &p, uint32_t index)
{
    static const COLORREF brushes[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0};
    const uint32_t stock = index & ~STOCK_BIT;
    if (stock <= BLACK_BRUSH)
        p.s.brush = {BS_SOLID, brushes[stock], 0};
    else if (stock == NULL_BRUSH)
        p.s.brush = {BS_NULL, 0, 0};
    else if (stock == WHITE_PEN)
        p.s.pen = {PS_SOLID, 1, 0, 0xFFFFFF, 0, 0, 0};
    else if (stock == BLACK_PEN)
        p.s.pen = {PS_SOLID, 1, 0, 0, 0, 0, 0};
    else if (stock == NULL_PEN)
        p.s.pen = {PS_NULL, 0, 0, 0, 0, 0, 0};
}

int ObjectRecord(EmfPlayer &p, const MetaRecord &r)
{
    EmfObjectSlot *slot = r.type == EMR_SELECTOBJECT ? nullptr : Slot(p, r);
    switch (r.type) {
    case EMR_CREATEPEN: {
        uint32_t style, width, colour;
        if (!r.U32(12, &style) || !r.U32(16, &width) || !r.U32(24, &colour))
            return 0;
        if (slot) {
            const EmfPen pen{style, width, 0, colour, 0, 0, 0};
            slot->kind = SLOT_PEN;
            std::memcpy(slot->data, &pen, sizeof pen);
        }
        return 1;
    }
    case EMR_EXTCREATEPEN: {
        EmfPen pen{};
        if (!r.U32(28, &pen.style) || !r.U32(32, &pen.width) || !r.U32(36, &pen.third) || !r.U32(40, &pen.colour) ||
            !r.U32(44, &pen.hatch) || !r.U32(48, &pen.entries))
            return 0;
        if (pen.entries > 0 && !r.U32(52, &pen.firstEntry))
            return 0;
        if (slot) {
            slot->kind = SLOT_PEN;
            std::memcpy(slot->data, &pen, sizeof pen);
        }
        return 1;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        EmfBrush brush;
        if (!r.U32(12, &brush.style) || !r.U32(16, &brush.colour) || !r.U32(20, &brush.hatch))
            return 0;
        if (slot) {
            slot->kind = SLOT_BRUSH;
            std::memcpy(slot->data, &brush, sizeof brush);
        }
        return 1;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
        LOGFONTW font;
        if (!r.Copy(12, &font, sizeof font))
            return 0;
        font.lfFaceName[LF_FACESIZE - 1] = 0;
        if (slot) {
            slot->kind = SLOT_FONT;
            std::memcpy(slot->data, &font, sizeof font);
        }
        return 1;
    }
    case EMR_SELECTOBJECT: {
        uint32_t index;
        if (!r.U32(8, &index))
            return 0;
        if (index & STOCK_BIT) {
            SelectStock(p, index);
        } else if (index < p.table.size()) {
            const EmfObjectSlot &s = p.table[index];
            if (s.kind == SLOT_PEN)
                std::memcpy(&p.s.pen, s.data, sizeof p.s.pen);
            else if (s.kind == SLOT_BRUSH)
                std::memcpy(&p.s.brush, s.data, sizeof p.s.brush);
            else if (s.kind == SLOT_FONT)
                std::memcpy(&p.s.font, s.data, sizeof p.s.font);
        }
        return 1;
    }
    case EMR_DELETEOBJECT:
        if (slot)
            slot->kind = SLOT_FREE;
        return 1;
    default:
        return 1;
    }
}

bool IsChainRecord(uint32_t type)
{
    switch (type) {
    case EMR_MOVETOEX:
    case EMR_LINETO:
    case EMR_ARCTO:
    case EMR_POLYLINETO:
    case EMR_POLYLINETO16:
    case EMR_POLYBEZIERTO:
    case EMR_POLYBEZIERTO16:
    case EMR_CLOSEFIGURE:
        return true;
    default:
        return false;
    }
}

int Record(EmfPlayer &p, const MetaRecord &r)
{
    MetaImportCountRecord();
    if (p.chainOpen) {
        if (r.type == EMR_MOVETOEX) {
            if (g_MetaCore.inPath) {
                p.chainOpen = false; // the next drawing record starts a further figure
            } else if (!FlushChain(p)) {
                return 0;
            }
        } else if (!IsChainRecord(r.type) && !(g_MetaCore.inPath && r.type == EMR_ENDPATH) && !FlushChain(p)) {
            return 0;
        }
    }
    if (r.type > EMR_LAST_HANDLED)
        return 1;
    int32_t a, b;
    uint32_t u;
    switch (r.type) {
    case EMR_POLYBEZIER:
    case EMR_POLYBEZIER16: return PolyBezierRecord(p, r);
    case EMR_POLYGON:
    case EMR_POLYGON16: return PolylineRecord(p, r, true);
    case EMR_POLYLINE:
    case EMR_POLYLINE16: return PolylineRecord(p, r, false);
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYLINE16: return PolyPolyRecord(p, r, false);
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYGON16: return PolyPolyRecord(p, r, true);
    case EMR_POLYDRAW:
    case EMR_POLYDRAW16: return PolyDrawRecord(p, r);
    case EMR_RECTANGLE:
    case EMR_ROUNDRECT:
    case EMR_ELLIPSE:
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE: return ShapeRecord(p, r);
    case EMR_ANGLEARC: return AngleArcRecord(p, r);
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: return TextAt(p, r, 36, r.type == EMR_EXTTEXTOUTW);
    case EMR_POLYTEXTOUTA:
    case EMR_POLYTEXTOUTW: return PolyTextRecord(p, r, r.type == EMR_POLYTEXTOUTW);
    case EMR_MOVETOEX:
        if (!r.I32(8, &a) || !r.I32(12, &b))
            return 0;
        p.s.posX = MetaMapX(p.s.map, a);
        p.s.posY = MetaMapY(p.s.map, b);
        return 1;
    case EMR_LINETO:
        if (!r.I32(8, &a) || !r.I32(12, &b))
            return 0;
        StartChain(p);
        return ChainAdd(p, MetaMapX(p.s.map, a), MetaMapY(p.s.map, b), CODE_LINE);
    case EMR_POLYLINETO:
    case EMR_POLYLINETO16: return PolyToRecord(p, r, false);
    case EMR_POLYBEZIERTO:
    case EMR_POLYBEZIERTO16: return PolyToRecord(p, r, true);
    case EMR_ARCTO: return ArcToRecord(p, r);
    case EMR_CLOSEFIGURE: p.closeFlag = true; return 1;
    case EMR_BEGINPATH:
        PathReset();
        g_MetaCore.inPath = true;
        return 1;
    case EMR_ENDPATH: return EndPath(p);
    case EMR_ABORTPATH: PathReset(); return 1;
    case EMR_FILLPATH: return MetaFillPathList(1);
    case EMR_STROKEPATH: return MetaFillPathList(0);
    case EMR_STROKEANDFILLPATH: return MetaFillPathList(2);
    case EMR_CREATEPEN:
    case EMR_EXTCREATEPEN:
    case EMR_CREATEBRUSHINDIRECT:
    case EMR_EXTCREATEFONTINDIRECTW:
    case EMR_SELECTOBJECT:
    case EMR_DELETEOBJECT: return ObjectRecord(p, r);
    case EMR_SETBKCOLOR: if (r.U32(8, &u)) p.s.background = u & 0xFFFFFF; return 1;
    case EMR_SETTEXTCOLOR: if (r.U32(8, &u)) p.s.textColour = u & 0xFFFFFF; return 1;
    case EMR_SETBKMODE: if (r.U32(8, &u)) p.s.backgroundMode = u; return 1;
    case EMR_SETPOLYFILLMODE: if (r.U32(8, &u)) p.s.polyFillMode = u; return 1;
    case EMR_SETTEXTALIGN: if (r.U32(8, &u)) p.s.textAlign = u; return 1;
    case EMR_SETARCDIRECTION: if (r.U32(8, &u)) p.s.arcDirection = u; return 1;
    case EMR_SETMAPMODE: if (r.U32(8, &u)) MetaSetMapMode(&p.s.map, u); return 1;
    case EMR_SETWINDOWEXTEX:
        if (r.I32(8, &a) && r.I32(12, &b))
            MetaSetWindowExt(&p.s.map, a, b);
        return 1;
    case EMR_SETWINDOWORGEX:
        if (r.I32(8, &a) && r.I32(12, &b))
            MetaSetWindowOrg(&p.s.map, a, b);
        return 1;
    case EMR_SCALEWINDOWEXTEX: {
        int32_t xn, xd, yn, yd;
        if (r.I32(8, &xn) && r.I32(12, &xd) && r.I32(16, &yn) && r.I32(20, &yd))
            MetaScaleWindowExt(&p.s.map, xn, xd, yn, yd);
        return 1;
    }
    case EMR_SAVEDC: g_EmfSaved = p.s; return 1;
    case EMR_RESTOREDC: p.s = g_EmfSaved; return 1;
    default: return 1;
    }
}

void ReportFailure(HWND owner, const char *problem) { MetaImportFailed(owner, ALERT_EMF_FAILED, problem); }

int PlayEmf(HWND owner, const uint8_t *bytes, size_t size, const char *path)
{
    MetaEmfHeaderInfo info;
    const char *problem;
    if (!MetaCheckEmfBits(bytes, size, &info, &problem)) {
        ReportFailure(owner, problem);
        return 0;
    }
    EmfPlayer p;
    StartState(&p.s, info);
    p.table.assign(info.handles, EmfObjectSlot{});

    MetaImportProgress(path);
    if (!MetaImportBegin()) {
        WindowHideProgress();
        ReportFailure(owner, "Universal1 in use");
        return 0;
    }
    int ok = MetaWalkEmf(bytes, size, [&](const MetaRecord &r) { return Record(p, r); });
    MetaImportEnd(ok);
    WindowHideProgress();
    if (!ok) {
        ReportFailure(owner, "Damaged metafile record");
        return 0;
    }
    return 1;
}

} // namespace

int MetaCheckEmfFile(const char *path)
{
    std::vector<uint8_t> bytes;
    const char *problem;
    MetaEmfHeaderInfo info;
    return MetaReadFileBytes(path, &bytes, META_FILE_MAX, &problem) &&
           MetaCheckEmfBits(bytes.data(), bytes.size(), &info, &problem);
}

int MetaImportEmfBits(HWND owner, const uint8_t *bytes, size_t size) { return PlayEmf(owner, bytes, size, nullptr); }

int MetaImportEmf(HWND owner, const char *path)
{
    std::vector<uint8_t> bytes;
    const char *problem = nullptr;
    if (path) {
        if (!MetaReadFileBytes(path, &bytes, META_FILE_MAX, &problem)) {
            ReportFailure(owner, "GetEnhMetaFile() failure");
            return 0;
        }
        return PlayEmf(owner, bytes.data(), bytes.size(), path);
    }
    if (!OpenClipboard(owner)) {
        ReportFailure(owner, "OpenClipboard() failure");
        return 0;
    }
    HENHMETAFILE h = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
    const UINT n = h ? GetEnhMetaFileBits(h, 0, nullptr) : 0;
    bytes.resize(n);
    const bool copied = n > 0 && GetEnhMetaFileBits(h, n, bytes.data()) == n;
    CloseClipboard();
    if (!copied) {
        ReportFailure(owner, h ? "GetEnhMetaFileHeader() failure" : "GetClipboardData( CF_ENHMETAFILE ) failure");
        return 0;
    }
    return PlayEmf(owner, bytes.data(), bytes.size(), nullptr);
}

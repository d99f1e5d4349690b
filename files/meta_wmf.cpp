// WMF import: a Windows metafile from a file or the clipboard played record
// by record with the program's own copy of the graphics state and object
// table, its 16-bit coordinates mapped to millimetres, and its lines,
// polygons, rectangles, ellipses, arcs and texts stored as drawing objects.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
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

constexpr int ALERT_WMF_FAILED = 105;   // eAlertTextSM
constexpr int ALERT_SKIPPED = 110;
constexpr double WMF_TEXT_UNIT = 25.4 / 300;  // mm per unit in MM_TEXT
constexpr double WMF_BARE_UNIT = 0.254;       // a metafile without placeable header: 100 units per inch
constexpr double DEGREE_TENTH = 0.001745329251994;
constexpr size_t WMF_FONT_SIZE = 50;
constexpr size_t WMF_FONT_MIN = 18;     // the font record up to its face name
constexpr int16_t SLOT_FREE = 0, SLOT_PEN = 1, SLOT_BRUSH = 2, SLOT_FONT = 3, SLOT_UNUSED = 999;

#pragma pack(push, 1)
struct WmfPen {
    uint16_t style;
    int16_t widthX, widthY;
    COLORREF colour;
};
struct WmfBrush {
    uint16_t style;
    COLORREF colour;
    int16_t hatch;
};
struct WmfFont {
    int16_t height, width, escapement, orientation, weight;
    uint8_t italic, underline, strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily;
    char face[32];
};
#pragma pack(pop)
static_assert(sizeof(WmfPen) == 10);
static_assert(sizeof(WmfBrush) == 8);
static_assert(sizeof(WmfFont) == WMF_FONT_SIZE);

struct WmfImportState {
    WmfPen pen;
    WmfBrush brush;
    WmfFont font;
    COLORREF background, textColour;
    uint32_t backgroundMode, polyFillMode, textAlign;
    MetaMapping map;
    double posX, posY;
};

struct WmfObjectSlot {
    int16_t kind;
    uint8_t data[WMF_FONT_SIZE];
};

struct WmfPlayer {
    WmfImportState s;
    WmfImportState saved;
    std::vector<WmfObjectSlot> table;
    std::vector<MetaPt> chain;
    bool chainOpen = false;
    bool skipped = false;
};

WmfImportState g_WmfSaved; // the one state META_SAVEDC keeps, also between imports

void StartState(WmfImportState *s)
{
    *s = WmfImportState{};
    s->pen = {PS_SOLID, 1, 0, 0};
    s->brush = {BS_SOLID, RGB(255, 255, 255), 4};
    s->font.height = 10;
    s->font.weight = 400;
    std::strcpy(s->font.face, "Arial");
    s->background = RGB(255, 255, 255);
    s->textColour = 0;
    s->backgroundMode = OPAQUE;
    s->polyFillMode = ALTERNATE;
    MetaMapping &m = s->map;
    m.extX = m.extY = 1.0;
    m.textUnitX = m.textUnitY = WMF_TEXT_UNIT;
    m.mode = MM_ANISOTROPIC;
    m.ratioX = m.ratioY = m.lengthRatio = 1.0;
    m.unitX = WMF_BARE_UNIT;
    m.unitY = -WMF_BARE_UNIT;
}

void SetAttributes(const WmfImportState &s)
{
    MetaAttr &a = g_MetaCore.attr;
    const bool nullPen = s.pen.style == PS_NULL, nullBrush = s.brush.style == BS_NULL;
    a.invisible = nullPen && nullBrush;
    a.line = s.pen.colour & 0xFFFFFF;
    a.fillMode = nullBrush ? 0 : nullPen ? 1 : 2;
    a.fill = (s.brush.style == BS_HATCHED && s.brush.hatch >= 0 && s.brush.hatch <= 5 ? s.background : s.brush.colour) &
             0xFFFFFF;
    a.width = std::min(MetaMapLength(s.map, s.pen.widthX), META_WIDTH_MAX);
}

MetaPt Point(const WmfImportState &s, int16_t x, int16_t y, int16_t kind) { return {MetaMapX(s.map, x), MetaMapY(s.map, y), kind}; }

int FlushChain(WmfPlayer &p)
{
    int ok = 1;
    if (p.chainOpen && !p.chain.empty()) {
        SetAttributes(p.s);
        ok = MetaStoreObject(OBJTYPE_CURVE, MetaBuildPoints(OBJTYPE_CURVE, p.chain.data(), p.chain.size()));
    }
    p.chain.clear();
    p.chainOpen = false;
    return ok;
}

// x, y pairs of a poly record at offset.
bool ReadPoints16(const MetaRecord &r, uint32_t offset, uint32_t count, const WmfImportState &s,
                  std::vector<MetaPt> *out)
{
    if (!r.HasArray(offset, count, 4))
        return false;
    out->resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        int16_t x = 0, y = 0;
        r.I16(offset + i * 4, &x);
        r.I16(offset + i * 4 + 2, &y);
        (*out)[i] = Point(s, x, y, i == 0 ? POINT_START : POINT_LINE);
    }
    return true;
}

int PlayPolyline(WmfPlayer &p, const MetaRecord &r, bool polygon)
{
    int16_t count;
    std::vector<MetaPt> pts;
    if (!r.I16(6, &count) || count < 0 || !ReadPoints16(r, 8, uint32_t(count), p.s, &pts))
        return 0;
    SetAttributes(p.s);
    if (polygon && pts.size() <= g_MetaCore.maxPoints) {
        if (pts.size() < 2)
            return 1;
        return MetaStoreObject(OBJTYPE_SURFACE, MetaBuildPoints(OBJTYPE_SURFACE, pts.data(), pts.size()));
    }
    return MetaStorePieces(pts.data(), pts.size(), polygon);
}

int PlayPolyPolygon(WmfPlayer &p, const MetaRecord &r)
{
    uint16_t polys;
    if (!r.U16(6, &polys) || !r.HasArray(8, polys, 2))
        return 0;
    std::vector<uint32_t> counts(polys);
    uint64_t total = 0;
    for (uint32_t i = 0; i < polys; ++i) {
        uint16_t c = 0;
        r.U16(8 + i * 2, &c);
        counts[i] = c;
        total += c;
    }
    std::vector<MetaPt> pts;
    if (!ReadPoints16(r, 8 + uint32_t(polys) * 2, uint32_t(total), p.s, &pts))
        return 0;
    SetAttributes(p.s);
    return MetaStorePolyPolygon(&pts, counts, true, p.s.polyFillMode == WINDING);
}

// Box records hold bottom, right, top, left.
bool ReadBox(const MetaRecord &r, uint32_t offset, int16_t box[4])
{
    return r.I16(offset, &box[3]) && r.I16(offset + 2, &box[2]) && r.I16(offset + 4, &box[1]) &&
           r.I16(offset + 6, &box[0]);
}

int PlayRectangle(WmfPlayer &p, const MetaRecord &r)
{
    int16_t b[4];
    if (!ReadBox(r, 6, b))
        return 0;
    const MetaPt pts[4] = {Point(p.s, b[0], b[1], POINT_START), Point(p.s, b[0], b[3], POINT_LINE),
                           Point(p.s, b[2], b[3], POINT_LINE), Point(p.s, b[2], b[1], POINT_LINE)};
    SetAttributes(p.s);
    return MetaStoreObject(OBJTYPE_SURFACE, MetaBuildPoints(OBJTYPE_SURFACE, pts, 4));
}

int PlayEllipse(WmfPlayer &p, const MetaRecord &r)
{
    int16_t b[4];
    if (!ReadBox(r, 6, b))
        return 0;
    MetaPt pts[3];
    MetaEllipseFrame(p.s.map, b[0], b[1], b[2], b[3], pts);
    SetAttributes(p.s);
    return MetaStoreObject(OBJTYPE_ELLIPSE, MetaBuildPoints(OBJTYPE_ELLIPSE, pts, 3));
}

int PlayArc(WmfPlayer &p, const MetaRecord &r, int32_t type)
{
    int16_t ye, xe, ys, xs, b[4];
    if (!r.I16(6, &ye) || !r.I16(8, &xe) || !r.I16(10, &ys) || !r.I16(12, &xs) || !ReadBox(r, 14, b))
        return 0;
    MetaPt f[3];
    MetaEllipseFrame(p.s.map, b[0], b[1], b[2], b[3], f);
    SetAttributes(p.s);
    return MetaStoreObject(type, MetaBuildArc(type, f[0], f[1], f[2], Point(p.s, xs, ys, POINT_ARC_END),
                                              Point(p.s, xe, ye, POINT_ARC_END), 1.0));
}

void MetaWmfFontOf(const WmfImportState &s, FontDef *font, Matrix *m)
{
    *font = FontDef{};
    font->kind = 1;
    font->weight = uint32_t(std::max<int16_t>(s.font.weight, 0));
    font->style = (s.font.italic ? 0x1 : 0) | (s.font.underline ? 0x2 : 0) | (s.font.strikeOut ? 0x8 : 0) |
                  (s.font.charSet == SYMBOL_CHARSET ? 0x100 : 0);
    std::memcpy(font->face, s.font.face, sizeof s.font.face);
    font->face[sizeof s.font.face] = 0;
    const double h = MetaMapLength(s.map, s.font.height);
    double angle = 0.0;
    if (s.font.escapement != 0) {
        const bool metric = s.map.mode >= MM_LOMETRIC && s.map.mode <= MM_TWIPS;
        const bool leftHanded = (s.font.clipPrecision & CLIP_LH_ANGLES) != 0;
        angle = s.font.escapement * (!metric && leftHanded ? DEGREE_TENTH : -DEGREE_TENTH);
    }
    *m = MetaTextMatrix(h, angle, s.textAlign);
}

int PlayText(WmfPlayer &p, const char *text, uint32_t n, int16_t x, int16_t y)
{
    if (n > uint32_t(META_TEXT_MAX))
        return 0;
    FontDef font;
    Matrix m;
    MetaWmfFontOf(p.s, &font, &m);
    MatrixMove(&m, MetaMapX(p.s.map, x), MetaMapY(p.s.map, y));
    SetAttributes(p.s);
    return MetaStoreObject(OBJTYPE_STD_TEXT,
                           MetaBuildText(text, n, font, m, p.s.textColour & 0xFFFFFF, MetaTextAlignment(p.s.textAlign)));
}

int PlayTextOut(WmfPlayer &p, const MetaRecord &r)
{
    int16_t n, x, y;
    if (!r.I16(6, &n) || n < 0)
        return 0;
    const uint32_t padded = (uint32_t(n) + 1) & ~1u;
    if (!r.Has(8, padded) || !r.I16(8 + padded, &y) || !r.I16(10 + padded, &x))
        return 0;
    return PlayText(p, reinterpret_cast<const char *>(r.bytes + 8), uint32_t(n), x, y);
}

int PlayExtTextOut(WmfPlayer &p, const MetaRecord &r)
{
    int16_t y, x, n;
    uint16_t options;
    if (!r.I16(6, &y) || !r.I16(8, &x) || !r.I16(10, &n) || !r.U16(12, &options) || n < 0)
        return 0;
    const uint32_t offset = (options & (ETO_OPAQUE | ETO_CLIPPED)) ? 22 : 14;
    if (!r.HasArray(offset, uint32_t(n), 1))
        return 0;
    return PlayText(p, reinterpret_cast<const char *>(r.bytes + offset), uint32_t(n), x, y);
}

int CreateObject(WmfPlayer &p, const MetaRecord &r, int16_t kind, size_t bytes)
{
    for (WmfObjectSlot &slot : p.table) {
        if (slot.kind != SLOT_FREE)
            continue;
        slot.kind = kind;
        std::memset(slot.data, 0, sizeof slot.data);
        if (kind != SLOT_UNUSED) {
            const size_t available = r.size > 6 ? r.size - 6 : 0;
            const size_t least = kind == SLOT_FONT ? WMF_FONT_MIN : bytes;
            if (available < least)
                return 0;
            r.Copy(6, slot.data, uint32_t(std::min(bytes, available)));
        }
        return 1;
    }
    return 1;
}

int SelectObject16(WmfPlayer &p, const MetaRecord &r)
{
    uint16_t index;
    if (!r.U16(6, &index))
        return 0;
    if (index >= p.table.size())
        return 1;
    const WmfObjectSlot &slot = p.table[index];
    switch (slot.kind) {
    case SLOT_PEN: std::memcpy(&p.s.pen, slot.data, sizeof p.s.pen); break;
    case SLOT_BRUSH: std::memcpy(&p.s.brush, slot.data, sizeof p.s.brush); break;
    case SLOT_FONT:
        std::memcpy(&p.s.font, slot.data, sizeof p.s.font);
        p.s.font.face[sizeof p.s.font.face - 1] = 0;
        break;
    default: break;
    }
    return 1;
}

bool Arg16(const MetaRecord &r, int index, int16_t *v) { return r.I16(6 + 2 * index, v); }

int Record(WmfPlayer &p, const MetaRecord &r)
{
    MetaImportCountRecord();
    // Consecutive line-to records form one chain; anything else ends it.
    if (p.chainOpen && r.type != META_LINETO && !FlushChain(p))
        return 0;
    if (p.chainOpen && r.type == META_LINETO && p.chain.size() >= g_MetaCore.maxPoints) {
        const MetaPt last = p.chain.back();
        if (!FlushChain(p))
            return 0;
        p.chainOpen = true;
        p.chain.push_back({last.x, last.y, POINT_START});
    }
    int16_t a, b, c, d;
    uint16_t u16;
    uint32_t u32;
    switch (r.type) {
    case META_SAVEDC: g_WmfSaved = p.s; return 1;
    case META_RESTOREDC: p.s = g_WmfSaved; return 1;
    case META_SETBKMODE: if (r.U16(6, &u16)) p.s.backgroundMode = u16; return 1;
    case META_SETPOLYFILLMODE: if (r.U16(6, &u16)) p.s.polyFillMode = u16; return 1;
    case META_SETMAPMODE: if (r.U16(6, &u16)) MetaSetMapMode(&p.s.map, u16); return 1;
    case META_SETTEXTALIGN: if (r.U16(6, &u16)) p.s.textAlign = u16; return 1;
    case META_SETBKCOLOR: if (r.U32(6, &u32)) p.s.background = u32 & 0xFFFFFF; return 1;
    case META_SETTEXTCOLOR: if (r.U32(6, &u32)) p.s.textColour = u32 & 0xFFFFFF; return 1;
    // The window records hold y before x.
    case META_SETWINDOWORG:
        if (Arg16(r, 0, &a) && Arg16(r, 1, &b))
            MetaSetWindowOrg(&p.s.map, b, a);
        return 1;
    case META_SETWINDOWEXT:
        if (Arg16(r, 0, &a) && Arg16(r, 1, &b))
            MetaSetWindowExt(&p.s.map, b, a);
        return 1;
    case META_OFFSETWINDOWORG:
        if (Arg16(r, 0, &a) && Arg16(r, 1, &b))
            MetaOffsetWindowOrg(&p.s.map, b, a);
        return 1;
    case META_SCALEWINDOWEXT:
        // y denominator, y numerator, x denominator, x numerator
        if (Arg16(r, 0, &a) && Arg16(r, 1, &b) && Arg16(r, 2, &c) && Arg16(r, 3, &d))
            MetaScaleWindowExt(&p.s.map, d, c, b, a);
        return 1;
    case META_MOVETO:
        if (Arg16(r, 0, &a) && Arg16(r, 1, &b)) {
            p.s.posX = MetaMapX(p.s.map, b);
            p.s.posY = MetaMapY(p.s.map, a);
        }
        return 1;
    case META_LINETO:
        if (!Arg16(r, 0, &a) || !Arg16(r, 1, &b))
            return 0;
        if (!p.chainOpen) {
            p.chainOpen = true;
            p.chain.push_back({p.s.posX, p.s.posY, POINT_START});
        }
        p.s.posX = MetaMapX(p.s.map, b);
        p.s.posY = MetaMapY(p.s.map, a);
        p.chain.push_back({p.s.posX, p.s.posY, POINT_LINE});
        return 1;
    case META_CREATEPENINDIRECT: return CreateObject(p, r, SLOT_PEN, sizeof(WmfPen));
    case META_CREATEBRUSHINDIRECT: return CreateObject(p, r, SLOT_BRUSH, sizeof(WmfBrush));
    case META_CREATEFONTINDIRECT: return CreateObject(p, r, SLOT_FONT, WMF_FONT_SIZE);
    case META_CREATEPALETTE:
    case META_CREATEPATTERNBRUSH:
    case 0x02FD: // META_CREATEBITMAPINDIRECT
    case META_CREATEREGION:
        p.skipped = true;
        return CreateObject(p, r, SLOT_UNUSED, 0);
    case META_SELECTOBJECT: return SelectObject16(p, r);
    case META_DELETEOBJECT:
        if (r.U16(6, &u16) && u16 < p.table.size())
            p.table[u16].kind = SLOT_FREE;
        return 1;
    case META_POLYLINE: return PlayPolyline(p, r, false);
    case META_POLYGON: return PlayPolyline(p, r, true);
    case META_POLYPOLYGON: return PlayPolyPolygon(p, r);
    case META_RECTANGLE:
    case META_ROUNDRECT:
        return r.type == META_ROUNDRECT ? (r.Has(10, 8) ? PlayRectangle(p, MetaRecord{r.bytes + 4, r.size - 4, r.type})
                                                        : 0)
                                        : PlayRectangle(p, r);
    case META_ELLIPSE: return PlayEllipse(p, r);
    case META_ARC: return PlayArc(p, r, OBJTYPE_ELLI_ARC);
    case META_PIE: return PlayArc(p, r, OBJTYPE_ELLI_SEC);
    case META_CHORD: return PlayArc(p, r, OBJTYPE_ELLI_SEGM);
    case META_TEXTOUT: return PlayTextOut(p, r);
    case META_EXTTEXTOUT: return PlayExtTextOut(p, r);
    default: return 1;
    }
}

void ReportFailure(HWND owner, const char *problem) { MetaImportFailed(owner, ALERT_WMF_FAILED, problem); }

int PlayWmf(HWND owner, const uint8_t *bytes, size_t size, const double *pictureMm, const char *path)
{
    MetaWmfInfo info;
    const char *problem;
    if (!MetaCheckWmfBits(bytes, size, &info, &problem)) {
        ReportFailure(owner, problem);
        return 0;
    }
    WmfPlayer p;
    StartState(&p.s);
    MetaMapping &m = p.s.map;
    if (info.placeable && info.inch > 0) {
        m.unitX = 25.4 / info.inch;
        m.unitY = -25.4 / info.inch;
        m.pictureW = std::fabs(m.unitX) * std::abs(int(info.box[2]) - info.box[0]);
        m.pictureH = std::fabs(m.unitY) * std::abs(int(info.box[3]) - info.box[1]);
    } else if (pictureMm) {
        m.pictureW = pictureMm[0];
        m.pictureH = pictureMm[1];
    } else {
        m.pictureW = m.pictureH = META_DEFAULT_PICTURE;
    }
    if (!(std::fabs(m.pictureW) >= 1e-10) || !(std::fabs(m.pictureH) >= 1e-10))
        m.pictureW = m.pictureH = META_DEFAULT_PICTURE;
    p.table.assign(info.objects, WmfObjectSlot{});

    MetaImportProgress(path);
    if (!MetaImportBegin()) {
        WindowHideProgress();
        ReportFailure(owner, "Universal1 in use");
        return 0;
    }
    int ok = MetaWalkWmf(bytes, size, info, [&](const MetaRecord &r) { return Record(p, r); });
    if (ok)
        ok = FlushChain(p);
    MetaImportEnd(ok);
    WindowHideProgress();
    if (!ok) {
        ReportFailure(owner, "Damaged metafile record");
        return 0;
    }
    if (p.skipped)
        AlertButton6(owner, eAlertTextSM[ALERT_SKIPPED]);
    return 1;
}

} // namespace

int MetaCheckWmfFile(const char *path)
{
    HANDLE file = nullptr;
    if (!path || !ZVI_FileOpen(&file, path))
        return 0;
    uint8_t head[META_PLACEABLE_SIZE];
    int ok = 0;
    if (ZVI_FileRead(file, head, sizeof head) == int32_t(sizeof head)) {
        uint32_t key;
        std::memcpy(&key, head, 4);
        if (key != META_PLACEABLE_KEY)
            ZVI_FileSetPointer(file, 0, FILE_BEGIN);
        uint8_t h[18];
        uint16_t type;
        if (ZVI_FileRead(file, h, sizeof h) == int32_t(sizeof h)) {
            std::memcpy(&type, h, 2);
            ok = type == 1 || type == 2;
        }
    }
    ZVI_FileClose(file);
    return ok;
}

int MetaImportWmfBits(HWND owner, const uint8_t *bytes, size_t size, const double *pictureMm)
{
    return PlayWmf(owner, bytes, size, pictureMm, nullptr);
}

int MetaImportWmf(HWND owner, const char *path)
{
    std::vector<uint8_t> bytes;
    const char *problem = nullptr;
    if (path) {
        if (!MetaReadFileBytes(path, &bytes, META_FILE_MAX, &problem)) {
            ReportFailure(owner, problem);
            return 0;
        }
        return PlayWmf(owner, bytes.data(), bytes.size(), nullptr, path);
    }
    if (!OpenClipboard(owner)) {
        ReportFailure(owner, "OpenClipboard() failure");
        return 0;
    }
    double picture[2] = {META_DEFAULT_PICTURE, META_DEFAULT_PICTURE};
    HANDLE data = GetClipboardData(CF_METAFILEPICT);
    const auto *pict = data ? static_cast<const METAFILEPICT *>(GlobalLock(data)) : nullptr;
    if (!pict) {
        CloseClipboard();
        ReportFailure(owner, data ? "GlobalLock() failure" : "GetClipboardData( CF_METAFILEPICT ) failure");
        return 0;
    }
    if (pict->xExt > 0 && pict->yExt > 0) {
        picture[0] = pict->xExt * 0.01;
        picture[1] = pict->yExt * 0.01;
    }
    const UINT n = pict->hMF ? GetMetaFileBitsEx(pict->hMF, 0, nullptr) : 0;
    bytes.resize(n);
    const bool copied = n > 0 && GetMetaFileBitsEx(pict->hMF, n, bytes.data()) == n;
    GlobalUnlock(data);
    CloseClipboard();
    if (!copied) {
        ReportFailure(owner, "Invalid metafile handle");
        return 0;
    }
    return PlayWmf(owner, bytes.data(), bytes.size(), picture, nullptr);
}

// Metafile records: the structure checks of EMF and WMF data in memory, the
// file reader, and the translation of the renderer's enhanced-metafile output
// into 16-bit metafile calls for the WMF export.
#include <cmath>

#include "files/meta.h"
#include "files/meta_internal.h"
#include "files/zvi.h"

namespace {

constexpr uint32_t EMF_SIGNATURE = 0x464D4520; // " EMF"
constexpr uint32_t EMF_HEADER_MIN = 88;
constexpr uint32_t WMF_HEADER_SIZE = 18;
constexpr int BEZIER_STEPS = 16;

} // namespace

int MetaCheckEmfBits(const uint8_t *bytes, size_t size, MetaEmfHeaderInfo *info, const char **problem)
{
    *problem = "GetEnhMetaFileHeader() failure";
    if (!bytes || size < EMF_HEADER_MIN || size > META_FILE_MAX)
        return 0;
    MetaRecord h;
    h.bytes = bytes;
    std::memcpy(&h.type, bytes, 4);
    std::memcpy(&h.size, bytes + 4, 4);
    uint32_t signature = 0, total = 0, handles16 = 0;
    if (h.type != EMR_HEADER || h.size < EMF_HEADER_MIN || h.size > size || !h.U32(40, &signature) ||
        signature != EMF_SIGNATURE || !h.U32(48, &total))
        return 0;
    uint16_t handles = 0;
    h.U16(56, &handles);
    handles16 = handles;
    MetaEmfHeaderInfo i{};
    h.Copy(24, &i.frame, sizeof i.frame);
    h.Copy(72, &i.device, sizeof i.device);
    h.Copy(80, &i.millimetres, sizeof i.millimetres);
    i.handles = handles16;
    *problem = "GetEnhMetaFile() failure";
    if (total < h.size || total > size)
        return 0;
    // The records must tile the data up to EMR_EOF.
    size_t offset = 0;
    for (;;) {
        if (offset + 8 > total)
            return 0;
        uint32_t type, rsize;
        std::memcpy(&type, bytes + offset, 4);
        std::memcpy(&rsize, bytes + offset + 4, 4);
        if (rsize < 8 || (rsize & 3) || uint64_t(offset) + rsize > total)
            return 0;
        if (type == EMR_EOF)
            break;
        offset += rsize;
    }
    *info = i;
    *problem = nullptr;
    return 1;
}

int MetaCheckWmfBits(const uint8_t *bytes, size_t size, MetaWmfInfo *info, const char **problem)
{
    MetaWmfInfo i{};
    *problem = "Unable to read header";
    if (!bytes || size < META_PLACEABLE_SIZE || size > META_FILE_MAX)
        return 0;
    uint32_t key;
    std::memcpy(&key, bytes, 4);
    if (key == META_PLACEABLE_KEY) {
        i.placeable = 1;
        i.start = META_PLACEABLE_SIZE;
        std::memcpy(i.box, bytes + 6, 8);
        std::memcpy(&i.inch, bytes + 14, 2);
    }
    *problem = "Invalid metafile header";
    if (size < i.start + WMF_HEADER_SIZE)
        return 0;
    const uint8_t *h = bytes + i.start;
    uint16_t type, headerWords, objects;
    uint32_t words;
    std::memcpy(&type, h, 2);
    std::memcpy(&headerWords, h + 2, 2);
    std::memcpy(&words, h + 6, 4);
    std::memcpy(&objects, h + 10, 2);
    *problem = "Invalid metafile ID";
    if (type != 1 && type != 2)
        return 0;
    *problem = "File read error";
    if (headerWords != 9 || uint64_t(words) * 2 < WMF_HEADER_SIZE)
        return 0;
    // Some writers count the placeable header in the size as well: the
    // records are held to the data there is, and end with the end record.
    const size_t end = uint64_t(words) * 2 > size - i.start ? size : i.start + size_t(words) * 2;
    size_t offset = i.start + WMF_HEADER_SIZE;
    for (;;) {
        if (offset + 6 > end)
            return 0;
        uint32_t recordWords;
        uint16_t function;
        std::memcpy(&recordWords, bytes + offset, 4);
        std::memcpy(&function, bytes + offset + 4, 2);
        if (recordWords < 3 || uint64_t(offset) + uint64_t(recordWords) * 2 > end)
            return 0;
        if (function == 0)
            break;
        offset += size_t(recordWords) * 2;
    }
    i.objects = objects;
    *info = i;
    *problem = nullptr;
    return 1;
}

int MetaReadFileBytes(const char *path, std::vector<uint8_t> *out, size_t limit, const char **problem)
{
    *problem = "File not found";
    HANDLE file = nullptr;
    if (!path || !ZVI_FileOpen(&file, path))
        return 0;
    const uint32_t size = ZVI_FileSize(file);
    *problem = "File read error";
    int ok = 0;
    if (size != 0xFFFFFFFF && size <= limit) {
        out->resize(size);
        ok = size == 0 || ZVI_FileRead(file, out->data(), int32_t(size)) == int32_t(size);
    }
    ZVI_FileClose(file);
    if (ok)
        *problem = nullptr;
    return ok;
}

void MetaFlattenBezier(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                       std::vector<POINT> *out)
{
    for (int i = 1; i <= BEZIER_STEPS; ++i) {
        const double t = double(i) / BEZIER_STEPS, u = 1.0 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        out->push_back(POINT{LONG(std::floor(a * x0 + b * x1 + c * x2 + d * x3 + 0.5)),
                             LONG(std::floor(a * y0 + b * y1 + c * y2 + d * y3 + 0.5))});
    }
}

// ---------------------------------------------------------------------------
// EMF to WMF.

namespace {

struct Translator {
    HDC dc;
    std::vector<HGDIOBJ> objects;
    HGDIOBJ pen = nullptr, brush = nullptr, font = nullptr; // the table entries selected now
    bool inPath = false;
    std::vector<std::vector<POINT>> figures;
    std::vector<bool> closed;
    POINT current{0, 0};

    std::vector<POINT> &Figure()
    {
        if (figures.empty()) {
            figures.emplace_back(1, current);
            closed.push_back(false);
        }
        return figures.back();
    }
    void StartFigure(POINT p)
    {
        figures.emplace_back(1, p);
        closed.push_back(false);
    }
    void LineTo(POINT p)
    {
        if (inPath)
            Figure().push_back(p);
        else
            ::LineTo(dc, p.x, p.y);
        current = p;
    }
    void MoveTo(POINT p)
    {
        if (inPath)
            StartFigure(p);
        else
            MoveToEx(dc, p.x, p.y, nullptr);
        current = p;
    }
    void BezierTo(const POINT *p, size_t n)
    {
        std::vector<POINT> flat;
        if (!inPath)
            flat.push_back(current); // 16-bit metafiles have no polyline-to
        for (size_t i = 0; i + 2 < n; i += 3) {
            MetaFlattenBezier(current.x, current.y, p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, p[i + 2].x,
                              p[i + 2].y, &flat);
            current = p[i + 2];
        }
        if (inPath) {
            Figure().insert(Figure().end(), flat.begin(), flat.end());
        } else if (flat.size() > 1) {
            Polyline(dc, flat.data(), int(flat.size()));
            MoveToEx(dc, current.x, current.y, nullptr);
        }
    }
    void FillFigures(bool fill, bool stroke)
    {
        std::vector<POINT> all;
        std::vector<INT> counts;
        for (size_t i = 0; i < figures.size(); ++i) {
            if (figures[i].size() < 2)
                continue;
            if (fill) {
                all.insert(all.end(), figures[i].begin(), figures[i].end());
                counts.push_back(INT(figures[i].size()));
            }
            if (stroke && !fill) {
                std::vector<POINT> line = figures[i];
                if (closed[i])
                    line.push_back(line.front());
                Polyline(dc, line.data(), int(line.size()));
            }
        }
        if (fill && !counts.empty()) {
            HGDIOBJ previous = nullptr;
            if (!stroke)
                previous = SelectObject(dc, GetStockObject(NULL_PEN));
            PolyPolygon(dc, all.data(), counts.data(), int(counts.size()));
            if (previous)
                SelectObject(dc, previous);
        }
        figures.clear();
        closed.clear();
    }
    HGDIOBJ *Slot(const MetaRecord &r)
    {
        uint32_t index;
        if (!r.U32(8, &index) || index >= objects.size())
            return nullptr;
        return &objects[index];
    }
    void Replace(HGDIOBJ *slot, HGDIOBJ made)
    {
        Delete(slot);
        *slot = made;
    }
    void Delete(HGDIOBJ *slot)
    {
        if (!*slot)
            return;
        if (*slot == pen) {
            SelectObject(dc, GetStockObject(BLACK_PEN));
            pen = nullptr;
        }
        if (*slot == brush) {
            SelectObject(dc, GetStockObject(WHITE_BRUSH));
            brush = nullptr;
        }
        if (*slot == font) {
            SelectObject(dc, GetStockObject(SYSTEM_FONT));
            font = nullptr;
        }
        DeleteObject(*slot);
        *slot = nullptr;
    }
    void Select(HGDIOBJ object)
    {
        if (!object)
            return;
        SelectObject(dc, object);
        switch (GetObjectType(object)) {
        case OBJ_PEN:
            pen = object;
            break;
        case OBJ_BRUSH:
            brush = object;
            break;
        case OBJ_FONT:
            font = object;
            break;
        default:
            break;
        }
    }
};

HPEN SolidPen(uint32_t style, uint32_t width, COLORREF colour)
{
    if ((style & PS_STYLE_MASK) == PS_NULL)
        return static_cast<HPEN>(GetStockObject(NULL_PEN));
    return CreatePen(PS_SOLID, int(width), colour & 0xFFFFFF);
}

// Points of a poly record: 16-bit or 32-bit pairs at offset, count checked.
bool ReadPoints(const MetaRecord &r, uint32_t offset, uint32_t count, bool small, std::vector<POINT> *out)
{
    const uint32_t item = small ? 4 : 8;
    if (!r.HasArray(offset, count, item))
        return false;
    out->resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        if (small) {
            int16_t x = 0, y = 0;
            r.I16(offset + i * 4, &x);
            r.I16(offset + i * 4 + 2, &y);
            (*out)[i] = POINT{x, y};
        } else {
            int32_t x = 0, y = 0;
            r.I32(offset + i * 8, &x);
            r.I32(offset + i * 8 + 4, &y);
            (*out)[i] = POINT{x, y};
        }
    }
    return true;
}

void TranslateText(Translator &t, const MetaRecord &r, bool wide)
{
    int32_t x, y;
    uint32_t n, offString;
    if (!r.I32(36, &x) || !r.I32(40, &y) || !r.U32(44, &n) || !r.U32(48, &offString))
        return;
    if (!r.HasArray(offString, n, wide ? 2 : 1) || n == 0)
        return;
    if (wide) {
        std::vector<WCHAR> text(n);
        r.Copy(offString, text.data(), n * 2);
        ExtTextOutW(t.dc, x, y, 0, nullptr, text.data(), n, nullptr);
    } else {
        ExtTextOutA(t.dc, x, y, 0, nullptr, reinterpret_cast<const char *>(r.bytes + offString), n, nullptr);
    }
}

bool TranslatePoly(Translator &t, const MetaRecord &r)
{
    const bool small = r.type == EMR_POLYLINE16 || r.type == EMR_POLYGON16 || r.type == EMR_POLYBEZIER16 ||
                       r.type == EMR_POLYLINETO16 || r.type == EMR_POLYBEZIERTO16 ||
                       r.type == EMR_POLYPOLYLINE16 || r.type == EMR_POLYPOLYGON16 || r.type == EMR_POLYDRAW16;
    std::vector<POINT> p;
    uint32_t count;
    switch (r.type) {
    case EMR_POLYLINE:
    case EMR_POLYLINE16:
    case EMR_POLYGON:
    case EMR_POLYGON16:
    case EMR_POLYLINETO:
    case EMR_POLYLINETO16:
    case EMR_POLYBEZIER:
    case EMR_POLYBEZIER16:
    case EMR_POLYBEZIERTO:
    case EMR_POLYBEZIERTO16: {
        if (!r.U32(24, &count) || !ReadPoints(r, 28, count, small, &p) || p.empty())
            return true;
        const bool polygon = r.type == EMR_POLYGON || r.type == EMR_POLYGON16;
        const bool to = r.type == EMR_POLYLINETO || r.type == EMR_POLYLINETO16;
        const bool bezier = r.type == EMR_POLYBEZIER || r.type == EMR_POLYBEZIER16;
        const bool bezierTo = r.type == EMR_POLYBEZIERTO || r.type == EMR_POLYBEZIERTO16;
        if (bezierTo) {
            t.BezierTo(p.data(), p.size());
        } else if (bezier) {
            t.current = p[0];
            if (t.inPath)
                t.StartFigure(p[0]);
            else
                MoveToEx(t.dc, p[0].x, p[0].y, nullptr);
            t.BezierTo(p.data() + 1, p.size() - 1);
        } else if (to) {
            for (const POINT &q : p)
                t.LineTo(q);
        } else if (t.inPath) {
            t.StartFigure(p[0]);
            t.figures.back().assign(p.begin(), p.end());
            t.closed.back() = polygon;
        } else if (polygon) {
            Polygon(t.dc, p.data(), int(p.size()));
        } else {
            Polyline(t.dc, p.data(), int(p.size()));
        }
        return true;
    }
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYGON16: {
        uint32_t polys;
        if (!r.U32(24, &polys) || !r.U32(28, &count) || !r.HasArray(32, polys, 4))
            return true;
        if (!ReadPoints(r, 32 + polys * 4, count, small, &p))
            return true;
        std::vector<INT> counts(polys);
        uint64_t total = 0;
        for (uint32_t i = 0; i < polys; ++i) {
            uint32_t c = 0;
            r.U32(32 + i * 4, &c);
            counts[i] = INT(c);
            total += c;
        }
        if (total > count)
            return true;
        const bool polygon = r.type == EMR_POLYPOLYGON || r.type == EMR_POLYPOLYGON16;
        size_t first = 0;
        for (uint32_t i = 0; i < polys; ++i) {
            if (counts[i] > 0 && !polygon)
                Polyline(t.dc, p.data() + first, counts[i]);
            first += size_t(counts[i]);
        }
        if (polygon && polys > 0)
            PolyPolygon(t.dc, p.data(), counts.data(), int(polys));
        return true;
    }
    case EMR_POLYDRAW:
    case EMR_POLYDRAW16: {
        if (!r.U32(24, &count) || !ReadPoints(r, 28, count, small, &p) ||
            !r.HasArray(28 + uint64_t(count) * (small ? 4 : 8), count, 1))
            return true;
        const uint8_t *types = r.bytes + 28 + count * (small ? 4 : 8);
        const bool wasInPath = t.inPath;
        t.inPath = true;
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t kind = types[i] & ~PT_CLOSEFIGURE;
            if (kind == PT_MOVETO) {
                t.MoveTo(p[i]);
            } else if (kind == PT_BEZIERTO && i + 2 < count) {
                t.BezierTo(&p[i], 3);
                i += 2;
            } else {
                t.LineTo(p[i]);
            }
            if ((types[i] & PT_CLOSEFIGURE) && !t.closed.empty())
                t.closed.back() = true;
        }
        t.inPath = wasInPath;
        if (!wasInPath)
            t.FillFigures(false, true);
        return true;
    }
    default:
        return false;
    }
}

} // namespace

int MetaTranslateEmfToWmf(HDC wmf, const uint8_t *bytes, size_t size)
{
    MetaEmfHeaderInfo info;
    const char *problem;
    if (!MetaCheckEmfBits(bytes, size, &info, &problem))
        return 0;
    Translator t;
    t.dc = wmf;
    t.objects.assign(info.handles, nullptr);
    MetaWalkEmf(bytes, size, [&](const MetaRecord &r) {
        if (TranslatePoly(t, r))
            return 1;
        int32_t a = 0, b = 0;
        uint32_t u = 0;
        switch (r.type) {
        case EMR_MOVETOEX:
            if (r.I32(8, &a) && r.I32(12, &b))
                t.MoveTo(POINT{a, b});
            break;
        case EMR_LINETO:
            if (r.I32(8, &a) && r.I32(12, &b))
                t.LineTo(POINT{a, b});
            break;
        case EMR_CLOSEFIGURE:
            if (t.inPath && !t.closed.empty()) {
                t.closed.back() = true;
                t.current = t.figures.back().front();
            }
            break;
        case EMR_BEGINPATH:
            t.inPath = true;
            t.figures.clear();
            t.closed.clear();
            break;
        case EMR_ENDPATH:
            t.inPath = false;
            break;
        case EMR_ABORTPATH:
        case EMR_SELECTCLIPPATH:
            t.inPath = false;
            t.figures.clear();
            t.closed.clear();
            break;
        case EMR_FILLPATH:
            t.FillFigures(true, false);
            break;
        case EMR_STROKEPATH:
            t.FillFigures(false, true);
            break;
        case EMR_STROKEANDFILLPATH:
            t.FillFigures(true, true);
            break;
        case EMR_RECTANGLE:
        case EMR_ELLIPSE: {
            RECTL box;
            if (r.Copy(8, &box, sizeof box)) {
                if (r.type == EMR_RECTANGLE)
                    Rectangle(wmf, box.left, box.top, box.right, box.bottom);
                else
                    Ellipse(wmf, box.left, box.top, box.right, box.bottom);
            }
            break;
        }
        case EMR_EXTTEXTOUTA:
        case EMR_EXTTEXTOUTW:
            TranslateText(t, r, r.type == EMR_EXTTEXTOUTW);
            break;
        case EMR_SETTEXTCOLOR:
            if (r.U32(8, &u))
                SetTextColor(wmf, u & 0xFFFFFF);
            break;
        case EMR_SETBKCOLOR:
            if (r.U32(8, &u))
                SetBkColor(wmf, u & 0xFFFFFF);
            break;
        case EMR_SETTEXTALIGN:
            if (r.U32(8, &u))
                SetTextAlign(wmf, u);
            break;
        case EMR_SETBKMODE:
            if (r.U32(8, &u))
                SetBkMode(wmf, int(u));
            break;
        case EMR_SETPOLYFILLMODE:
            if (r.U32(8, &u))
                SetPolyFillMode(wmf, int(u));
            break;
        case EMR_CREATEPEN: {
            HGDIOBJ *slot = t.Slot(r);
            uint32_t style, width, colour;
            if (slot && r.U32(12, &style) && r.U32(16, &width) && r.U32(24, &colour))
                t.Replace(slot, SolidPen(style, width, colour));
            break;
        }
        case EMR_EXTCREATEPEN: {
            HGDIOBJ *slot = t.Slot(r);
            uint32_t style, width, colour;
            if (slot && r.U32(28, &style) && r.U32(32, &width) && r.U32(40, &colour))
                t.Replace(slot, SolidPen(style, (style & PS_TYPE_MASK) == PS_GEOMETRIC ? width : 0, colour));
            break;
        }
        case EMR_CREATEBRUSHINDIRECT: {
            HGDIOBJ *slot = t.Slot(r);
            uint32_t style, colour;
            if (slot && r.U32(12, &style) && r.U32(16, &colour))
                t.Replace(slot, style == BS_NULL ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(colour & 0xFFFFFF));
            break;
        }
        case EMR_EXTCREATEFONTINDIRECTW: {
            HGDIOBJ *slot = t.Slot(r);
            LOGFONTW font;
            if (slot && r.Copy(12, &font, sizeof font)) {
                font.lfFaceName[LF_FACESIZE - 1] = 0;
                t.Replace(slot, CreateFontIndirectW(&font));
            }
            break;
        }
        case EMR_SELECTOBJECT:
            if (r.U32(8, &u)) {
                if (u & 0x80000000u)
                    t.Select(GetStockObject(int(u & 0x7FFFFFFF)));
                else if (u < t.objects.size())
                    t.Select(t.objects[u]);
            }
            break;
        case EMR_DELETEOBJECT:
            if (HGDIOBJ *slot = t.Slot(r))
                t.Delete(slot);
            break;
        default:
            break;
        }
        return 1;
    });
    SelectObject(wmf, GetStockObject(BLACK_PEN));
    SelectObject(wmf, GetStockObject(WHITE_BRUSH));
    SelectObject(wmf, GetStockObject(SYSTEM_FONT));
    for (HGDIOBJ &o : t.objects)
        if (o)
            DeleteObject(o);
    return 1;
}

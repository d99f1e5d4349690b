// A fresh drawing with GDI resources for the metafile tests, and builders of
// hand-made EMF and WMF data.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/init_gdi.h"
#include "common/test_objects.h"
#include "database/object_rects.h"
#include "language/language.h"
#include "drawfile_fixture.h"
#include "database/object_types.h"
#include "display/output.h"
#include "files/meta.h"
#include "files/meta_internal.h"

class MetaTest : public DrawFileTest {
protected:
    void SetUp() override
    {
        DrawFileTest::SetUp();
        mem_init_temp();
        InitCreateGdiResources();
        InitCreateScreenObjects();
        OutputResetAbort();
        g_OutputAbortHook = nullptr;
        g_DrawingSettings.outputFrame.kind = 1; // the objects' extents, no page
        g_DrawingSettings.outputFrame.size = 0.0;
        g_DrawingSettings.outputFrame.on = 0;
        g_DrawingSettings.displayTexts = 1;
        g_DrawingSettings.displayFills = 1;
        OutputResetContext(OUTPUT_SCREEN);
    }

    // The alive units of list 0 in order.
    static std::vector<Unit *> Objects()
    {
        std::vector<Unit *> out;
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            if (UndoIsVisible(u, g_UndoStep))
                out.push_back(u);
        return out;
    }
    static std::vector<ElementPoint *> Points(Unit *u)
    {
        std::vector<ElementPoint *> out;
        for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            if (ElementIsPoint(e))
                out.push_back(reinterpret_cast<ElementPoint *>(e));
        return out;
    }
    static std::vector<int> Kinds(Unit *u)
    {
        std::vector<int> out;
        for (ElementPoint *p : Points(u))
            out.push_back(p->head.kind);
        return out;
    }
    static Element *Find(Unit *u, int16_t kind)
    {
        for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            if (e->kind == kind)
                return e;
        return nullptr;
    }
    static double Width(const double r[4]) { return r[2] - r[0]; }
    static double Height(const double r[4]) { return r[3] - r[1]; }
};

// Little-endian record bytes.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes &U32(uint32_t v) { return Raw(&v, 4); }
    Bytes &I32(int32_t v) { return Raw(&v, 4); }
    Bytes &U16(uint16_t v) { return Raw(&v, 2); }
    Bytes &I16(int16_t v) { return Raw(&v, 2); }
    Bytes &F32(float v) { return Raw(&v, 4); }
    Bytes &Raw(const void *p, size_t n)
    {
        const auto *c = static_cast<const uint8_t *>(p);
        b.insert(b.end(), c, c + n);
        return *this;
    }
    Bytes &Pad4()
    {
        while (b.size() % 4)
            b.push_back(0);
        return *this;
    }
};

// An EMF: header with a frame (0.01 mm) and a reference device, records
// added with their payload behind the 8-byte record header, then EMR_EOF.
struct EmfBuilder {
    std::vector<uint8_t> records;
    uint32_t count = 0;
    RECTL frame{0, 0, 10000, 10000};
    SIZEL device{1000, 1000};
    SIZEL millimetres{250, 250};
    uint16_t handles = 8;

    EmfBuilder &Add(uint32_t type, const Bytes &payload)
    {
        Bytes r;
        std::vector<uint8_t> p = payload.b;
        while (p.size() % 4)
            p.push_back(0);
        r.U32(type).U32(uint32_t(8 + p.size())).Raw(p.data(), p.size());
        records.insert(records.end(), r.b.begin(), r.b.end());
        ++count;
        return *this;
    }
    EmfBuilder &Add(uint32_t type) { return Add(type, Bytes{}); }
    std::vector<uint8_t> Build() const
    {
        Bytes eof;
        eof.U32(EMR_EOF).U32(20).U32(0).U32(16).U32(20);
        Bytes h;
        const uint32_t headerSize = 88;
        const uint32_t total = uint32_t(headerSize + records.size() + eof.b.size());
        h.U32(EMR_HEADER).U32(headerSize);
        h.I32(0).I32(0).I32(100).I32(100); // bounds
        h.Raw(&frame, sizeof frame);
        h.U32(0x464D4520).U32(0x10000).U32(total).U32(count + 2).U16(handles).U16(0);
        h.U32(0).U32(0).U32(0);
        h.Raw(&device, sizeof device).Raw(&millimetres, sizeof millimetres);
        std::vector<uint8_t> out = h.b;
        out.insert(out.end(), records.begin(), records.end());
        out.insert(out.end(), eof.b.begin(), eof.b.end());
        return out;
    }
};

// Payload of a poly record: bounds, count, 32-bit points.
inline Bytes EmfPoly(const std::vector<POINT> &pts)
{
    Bytes b;
    b.I32(0).I32(0).I32(0).I32(0).U32(uint32_t(pts.size()));
    for (const POINT &p : pts)
        b.I32(p.x).I32(p.y);
    return b;
}

// A WMF: optional placeable header, the standard header, records, end record.
struct WmfBuilder {
    std::vector<uint8_t> records;
    uint16_t objects = 8;
    bool placeable = false;
    int16_t box[4] = {0, 0, 0, 0};
    uint16_t inch = 1440;

    WmfBuilder &Add(uint16_t function, const Bytes &params)
    {
        std::vector<uint8_t> p = params.b;
        if (p.size() % 2)
            p.push_back(0);
        Bytes r;
        r.U32(uint32_t(3 + p.size() / 2)).U16(function).Raw(p.data(), p.size());
        records.insert(records.end(), r.b.begin(), r.b.end());
        return *this;
    }
    std::vector<uint8_t> Build() const
    {
        Bytes out;
        if (placeable) {
            out.U32(META_PLACEABLE_KEY).U16(0).I16(box[0]).I16(box[1]).I16(box[2]).I16(box[3]).U16(inch).U32(0).U16(0);
        }
        const uint32_t words = uint32_t(9 + records.size() / 2 + 3);
        out.U16(1).U16(9).U16(0x300).U32(words).U16(objects).U32(0).U16(0);
        out.Raw(records.data(), records.size());
        out.U32(3).U16(0);
        return out.b;
    }
};

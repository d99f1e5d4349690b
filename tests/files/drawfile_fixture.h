// A drawing database, file buffers and silent boxes for the drawing-file
// tests, and a drawing that holds every object type, every element value
// type, every typed record, blocks, instances with attributes and every
// definition section.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/init.h"
#include "common/test_files.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "database/init.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "files/file.h"
#include "files/file_records.h"
#include "files/file_unit.h"
#include "files/image_list.h"
#include "files/zvi.h"
#include "geometry/frame.h"

// What the boxes said.
struct DrawFileLog {
    std::vector<std::string> alerts;
    std::vector<std::string> diagnostics;
};
inline DrawFileLog &DrawLog()
{
    static DrawFileLog log;
    return log;
}
inline uint32_t DrawFileAlertHook(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    DrawLog().alerts.push_back(text ? text : "");
    return code1;
}
inline void DrawFileDiagnosticSink(const char *text)
{
    DrawLog().diagnostics.push_back(text ? text : "");
}
inline void FixedClock(SYSTEMTIME *t)
{
    *t = SYSTEMTIME{};
    t->wYear = 2000;
    t->wMonth = 1;
    t->wDay = 1;
    t->wDayOfWeek = 6;
}

// Reads a drawing from a text, replacing the current one: 1 or 0.
inline int DrawFileReadText(const std::string &text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.empty() ? 1 : text.size());
    if (!block)
        return 0;
    std::memcpy(GlobalLock(block), text.data(), text.size());
    GlobalUnlock(block);
    const int result = FileReadDrawingMemory(block, FILE_SECTIONS_ALL | FILE_MODE_QUIET, 0);
    GlobalFree(block);
    return result;
}

// The current drawing as the writer writes it; empty when the write failed.
inline std::string DrawFileWrittenText()
{
    HGLOBAL block = FileWriteDrawingMemory(FILE_SECTIONS_ALL | FILE_MODE_QUIET);
    if (!block)
        return {};
    std::string text(static_cast<const char *>(GlobalLock(block)), GlobalSize(block));
    GlobalUnlock(block);
    GlobalFree(block);
    return text;
}

// A stored unit as bytes, with its block members behind it.
struct SavedUnit {
    std::vector<uint8_t> bytes;
    std::vector<std::vector<uint8_t>> members;
};

class DrawFileTest : public ::testing::Test {
protected:
    AlertAnswerHook savedHook_ = nullptr;
    InitErrorBoxSink savedSink_ = nullptr;
    uint32_t savedDebugging_ = 0;

    void SetUp() override
    {
        ASSERT_EQ(ZVI_InitFileBuffers(), 1);
        MemFreeChunks();
        MemInitLists();
        ASSERT_EQ(MemEnlargeList(), 1);
        if (!g_WorkArrays.pathPoints) {
            ASSERT_EQ(MemInitWork(), 1);
        }
        g_ListFilter = {0, 0, 0};
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = DrawFileAlertHook;
        savedSink_ = g_InitErrorBoxSink;
        g_InitErrorBoxSink = DrawFileDiagnosticSink;
        savedDebugging_ = g_Debugging;
        g_Debugging |= DEBUG_INTERNAL | DEBUG_INTERFACE;
        DrawLog() = DrawFileLog{};
        g_FileClock = FixedClock;
        g_Options.dateTimeFormat = 3;
        FileClearDrawing();
    }
    void TearDown() override
    {
        FileClearDrawing();
        g_AlertAnswerHook = savedHook_;
        g_InitErrorBoxSink = savedSink_;
        g_Debugging = savedDebugging_;
        MemFreeChunks();
        MemInitLists();
    }

    static constexpr uint32_t kAll = FILE_SECTIONS_ALL | FILE_MODE_QUIET;

    // ---- building ------------------------------------------------------------

    static std::vector<uint8_t> &Buffer()
    {
        static std::vector<uint8_t> buffer(262144);
        return buffer;
    }

    static XProperty Prop(int pen, int layer, int lineType)
    {
        XProperty p = XPropertyDefault();
        p.ownFlags = 0x15;
        p.pen = pen;
        p.layer = layer;
        p.lineType = lineType;
        p.color1 = RGB(200, 16, 64);
        p.color2 = RGB(1, 2, 3);
        p.width = 0.35;
        p.fillMode = 2;
        return p;
    }

    // Gives every element of a prepared chain distinct payload values.
    static void FillChain(Unit *u, int seed)
    {
        double v = seed * 10.0 + 0.5;
        for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e)) {
            void *p = ElementPayload(e);
            if (ElementIsPoint(e)) {
                auto *pt = reinterpret_cast<ElementPoint *>(e);
                pt->x = v;
                pt->y = -v * 0.5;
                v += 1.25;
            } else if (e->kind == ELEM_CONSTANT || e->kind == ELEM_ORIENT) {
                *static_cast<double *>(p) = e->kind == ELEM_ORIENT ? 1.0 : v;
            } else if (e->kind == ELEM_DIM_LINE) {
                DimLineRecord r;
                FileDefaultDimLine(&r);
                r.arrows[2] = seed;
                std::memcpy(p, &r, sizeof r);
            } else if (e->kind == ELEM_DIM_LARGE) {
                DimLargeRecord r;
                FileDefaultDimLarge(&r);
                r.common.property = Prop(1, 1, 1);
                r.distance = 7.5;
                r.distance420 = 0.25;
                r.system = 1;
                std::strcpy(r.common.font.face, "Courier New");
                std::memcpy(p, &r, sizeof r);
            } else if (e->kind == ELEM_DIM_SMALL) {
                DimSmallRecord r;
                FileDefaultDimSmall(&r);
                r.common.property = Prop(2, 1, 0);
                r.common.int460 = 3;
                std::memcpy(p, &r, sizeof r);
            } else if (e->kind == ELEM_TEXT_STANDARD) {
                TextStandardData r;
                FileDefaultTextStandard(&r);
                r.property = Prop(1, 2, 0);
                r.matrix.tx = 12.5;
                r.alignment = 1;
                r.font.style = 0x3;
                std::memcpy(p, &r, sizeof r);
            } else if (e->kind == ELEM_TEXT_FRAME) {
                TextFrameData r;
                FileDefaultTextFrame(&r);
                r.height = 2.5;
                std::memcpy(p, &r, sizeof r);
            } else if (e->kind == ELEM_TEXT_REFERENCE) {
                TextReferenceData r;
                FileDefaultTextReference(&r);
                r.frameKind = 2;
                std::memcpy(p, &r, sizeof r);
            } else if (e->kind == ELEM_COMMENT) {
                CommentDataRecord r{};
                std::strcpy(r.name, "Review");
                r.values[0] = 1;
                r.values[1] = 4;
                std::memcpy(p, &r, sizeof r);
            } else if (e->kind == ELEM_CLIP_SURFACE) {
                ClipSurfaceData r{};
                r.property = Prop(1, 1, 2);
                std::strcpy(r.library, "*");
                std::strcpy(r.block, "Inner");
                r.placement = Matrix{1, 0, 0, 1, 5, 6};
                r.hide = 1;
                r.libraryIndex = r.blockIndex = -1;
                std::memcpy(p, &r, sizeof r);
            } else if (e->kind == ELEM_BITMAP_REF) {
                BitmapRefData r{};
                std::strcpy(r.name, "#B logo");
                r.placement = Matrix{0, 0, 40, 0, 0, 30};
                std::memcpy(p, &r, sizeof r);
            }
        }
    }

    static Unit *StoreObject(Unit *record)
    {
        Unit *u = MemListNewCopyAfter(LIST_DRAWING, record, record->bytes, nullptr);
        if (u) {
            UndoStampPermanent(u);
            FrameCalcObject(u, 0);
        }
        return u;
    }

    static Unit *MakeTyped(int32_t type, int seed)
    {
        static const char *const texts[] = {"first", "second \"quoted\"", "back\\slash", "", "fifth", "6", "7"};
        Unit *u = reinterpret_cast<Unit *>(Buffer().data());
        std::memset(u, 0, 4096);
        ObjectChainShape shape{3, texts};
        if (!ObjectWriteChain(u, uint32_t(Buffer().size()), type, shape))
            return nullptr;
        u->property = Prop(seed % 3, seed % 2, 0);
        FillChain(u, seed);
        return u;
    }

    // A hatch: no fixed chain, a closed run of points.
    static Unit *MakeHatch()
    {
        Unit *u = reinterpret_cast<Unit *>(Buffer().data());
        std::memset(u, 0, 1024);
        u->kind = UNIT_KIND_OBJECT;
        u->object.type = OBJTYPE_HATCH;
        u->object.reserved = OBJTYPE_RESERVED;
        u->property = Prop(1, 1, 0);
        ChainWriter w;
        InitChainBegin(&w, u, 1024);
        InitChainPoint(&w, POINT_START, 0, 0);
        InitChainPoint(&w, POINT_LINE, 10, 0);
        InitChainPoint(&w, POINT_LINE, 10, 10);
        InitChainEnd(&w);
        return u;
    }

    // Appends an attribute element as the file keeps it: name, then the text
    // cut to its length.
    static void AddAttribute(ChainWriter *w, int16_t kind, const char *name, const char *text)
    {
        const uint32_t room = (uint32_t(std::strlen(text)) + 1 + 7) & ~7u;
        Element *e = InitChainRecord(w, kind, 48 + room);
        ASSERT_NE(e, nullptr);
        e->valueType = VALUE_RECORD;
        e->count = 250;
        char *p = static_cast<char *>(ElementPayload(e));
        std::strcpy(p, name);
        std::strcpy(p + 32, text);
    }

    // An element of any value type, its payload from bytes.
    static void AddValues(ChainWriter *w, int16_t kind, uint16_t valueType, int16_t count, const void *bytes,
                          uint32_t payload)
    {
        Element *e = InitChainRecord(w, kind, (16 + payload + 7) & ~7u);
        ASSERT_NE(e, nullptr);
        e->valueType = valueType;
        e->count = count;
        e->module = 3;
        std::memcpy(ElementPayload(e), bytes, payload);
    }

    static void DefineTables()
    {
        auto pen = [](int i, const char *name, double width) {
            PenDef &p = g_PenDefs[i];
            std::snprintf(p.name, sizeof p.name, "%s", name);
            p.setA = p.setB = PropertyDefault();
            p.setB.width = width;
            p.setB.color1 = RGB(255, 0, 0);
            p.setB.lineType = 1;
            p.layer = i == 3 ? 2 : PEN_NO_LAYER;
            p.state = DEF_STATE_DEFAULT | (i == 3 ? DEF_STATE_LOCKED : 0);
        };
        pen(1, "Red", 0.5);
        pen(3, "group\\Blue", 0.7);
        auto layer = [](int i, const char *name) {
            LayerDef &l = g_LayerDefs[i];
            std::snprintf(l.name, sizeof l.name, "%s", name);
            l.setA = l.setB = Prop(1, 0, 0);
            l.state = DEF_STATE_DEFAULT;
        };
        layer(1, "Walls");
        layer(2, "Doors");
        LineDef &dash = g_LineDefs[2];
        std::strcpy(dash.name, "Dash dot");
        dash.pairs = 2;
        dash.kind = 1;
        const int32_t lengths[4] = {500, 200, 50, 200};
        std::memcpy(dash.lengths, lengths, sizeof lengths);
        HatchDef &h = g_HatchDefs[4];
        std::strcpy(h.name, "Brick");
        h.family1 = {1, 1, 0.5};
        h.family2 = {0, 2, 0.25}; // values the format keeps exactly (14 digits)
        h.blockOn = 1;
        std::strcpy(h.blockLibrary, "*");
        std::strcpy(h.blockName, "Inner");
        for (int k = 0; k < HATCH_PLACEMENT_VALUES; ++k)
            h.placement[k] = k * 0.25;
        h.baseAngle = 0.75;
        h.phaseA = 0.5;
        g_CurrentHatch = 4;
        MultiLineDef &m = g_MultiLineDefs[2];
        std::strcpy(m.name, "Wall 24");
        for (int k = 0; k < 2; ++k) {
            m.lines[k].on = 1;
            m.lines[k].offset = k * 0.24;
            m.lines[k].property = Prop(1, 1, 0);
        }
        SystemDef &s = g_SystemDefs[5];
        s = g_SystemDefs[1];
        std::strcpy(s.name, "Site");
        s.angle = 0.5;
        s.originX = 100.0;
        s.format1 = 3;
        s.format2 = 5;
        std::strcpy(g_ColorDefs[40].name, "Brick red");
        g_ColorDefs[40].color = RGB(170, 60, 40);
        std::strcpy(g_VariableDefs[0].name, "Project");
        std::strcpy(g_VariableDefs[0].value, "Harbour \"north\"");
        g_DefaultPens[0] = 1;
        g_DefaultPens[3] = 3;
        g_DefaultLayers[2] = 2;
        g_PageDefs.count = 2;
        g_PageDefs.pages[1] = g_PageDefs.pages[0];
        g_PageDefs.pages[1].refX = 300.0;
        g_PageDefs.active = 1;
        g_DrawingViews[2] = DrawingView{5, 1, 0, 12.5, -3.0, 2.0};
        g_DrawingSettings.zigZagIndent = 7.5;
        g_DrawingSettings.displayLines = 1;
        std::strcpy(g_DrawingSettings.print.header.text, "%F page %P1");
    }

    static void AddBitmapData()
    {
        std::vector<uint8_t> bmp(1000);
        for (size_t i = 0; i < bmp.size(); ++i)
            bmp[i] = uint8_t(i * 7 + 3);
        bmp[0] = 'B';
        bmp[1] = 'M';
        ASSERT_EQ(ImageStoreData("#B logo", bmp.data(), uint32_t(bmp.size())), 1);
    }

    static void AddBlocks()
    {
        Unit *inner = SymbolNewBlock(LIST_OWN_BLOCKS, "Inner");
        ASSERT_NE(inner, nullptr);
        Unit *circle = MakeTyped(OBJTYPE_CIRCLE, 3);
        ASSERT_NE(SymbolAddMember(LIST_OWN_BLOCKS, inner, circle), nullptr);

        // Block "Frame" with two attribute definitions in its own chain.
        Unit *record = reinterpret_cast<Unit *>(Buffer().data());
        std::memset(record, 0, 2048);
        record->kind = UNIT_KIND_BLOCK;
        record->property = XPropertyDefault();
        std::strcpy(record->block.name, "Frame");
        const double frame[4] = {-1, -2, 30, 20};
        std::memcpy(record->block.blockFrame, frame, sizeof frame);
        ChainWriter w;
        InitChainBegin(&w, record, 2048);
        AddAttribute(&w, 300, "NUMBER", "A-100");
        AddAttribute(&w, 301, "AUTHOR", "");
        InitChainEnd(&w);
        Unit *block = MemListNewCopyAfter(LIST_OWN_BLOCKS, record, record->bytes, nullptr);
        ASSERT_NE(block, nullptr);
        UndoStampPermanent(block);
        block->ident = BLOCK_STATE_UNCHANGED;
        block->block.firstMember = block->block.lastMember = nullptr;
        ASSERT_NE(SymbolAddMember(LIST_OWN_BLOCKS, block, MakeTyped(OBJTYPE_LINE, 4)), nullptr);
        const Matrix m{2, 0, 0, 2, 1, 1};
        Unit *instance = reinterpret_cast<Unit *>(Buffer().data());
        ASSERT_NE(SymbolMakeInstance(instance, 4096, "*", "Inner", &m), 0u);
        ASSERT_NE(SymbolAddMember(LIST_OWN_BLOCKS, block, instance), nullptr);
    }

    static void AddInstanceWithAttributes()
    {
        Unit *u = reinterpret_cast<Unit *>(Buffer().data());
        std::memset(u, 0, 4096);
        const Matrix m{0.5, 0.5, -0.5, 0.5, 100, 200};
        ASSERT_NE(SymbolMakeInstance(u, 4096, "*", "Frame", &m), 0u);
        u->property = Prop(1, 2, 0);
        ChainWriter w;
        InitChainBegin(&w, u, 4096);
        AddAttribute(&w, 400, "NUMBER", "B-7 \"x\"");
        AddAttribute(&w, 401, "AUTHOR", "Ann");
        ASSERT_NE(InitChainEnd(&w), 0u);
        Unit *stored = MemListNewCopyAfter(LIST_DRAWING, u, u->bytes, nullptr);
        ASSERT_NE(stored, nullptr);
        UndoStampPermanent(stored);
    }

    // A plug-in object with an element of every value type, and a plug-in
    // data record in list 2.
    static void AddPluginUnits()
    {
        Unit *u = reinterpret_cast<Unit *>(Buffer().data());
        std::memset(u, 0, 8192);
        const Matrix m{1, 0, 0, 1, 0, 0};
        ASSERT_NE(SymbolMakeInstance(u, 8192, "*", "Inner", &m), 0u);
        u->kind = UNIT_KIND_PLUGIN;
        u->module = 7;
        u->instance.userFlags = 0x1234;
        ChainWriter w;
        InitChainBegin(&w, u, 8192);
        const int32_t ints[3] = {1, -2, 300000};
        AddValues(&w, 150, VALUE_INTEGERS, 3, ints, sizeof ints);
        const double doubles[2] = {1.5, -1e-5};
        AddValues(&w, 151, VALUE_DOUBLES, 2, doubles, sizeof doubles);
        const double points[4] = {1, 2, 3, 4.75};
        AddValues(&w, 152, VALUE_POINTS, 2, points, sizeof points);
        const COLORREF colors[2] = {RGB(255, 128, 0), RGB(0, 0, 1)};
        AddValues(&w, 153, VALUE_COLORS, 2, colors, sizeof colors);
        Property prop = PropertyDefault();
        prop.lineType = 2;
        AddValues(&w, 154, VALUE_PROPERTY, 1, &prop, sizeof prop);
        XProperty xp = Prop(3, 2, 2);
        AddValues(&w, 155, VALUE_XPROPERTY, 1, &xp, sizeof xp);
        FontDef font{};
        font.kind = 1;
        font.weight = 700;
        std::strcpy(font.face, "Times New Roman");
        AddValues(&w, 156, VALUE_FONTDEF, 1, &font, sizeof font);
        const char text[16] = "a text";
        AddValues(&w, 157, VALUE_STRING, -16, text, sizeof text);
        const uint8_t bytes[5] = {0, 0x22, 0x5C, 0xFF, 9};
        AddValues(&w, 158, VALUE_BINARY, 5, bytes, sizeof bytes);
        ASSERT_NE(InitChainEnd(&w), 0u);
        Unit *stored = MemListNewCopyAfter(LIST_DRAWING, u, u->bytes, nullptr);
        ASSERT_NE(stored, nullptr);
        UndoStampPermanent(stored);

        Unit *d = reinterpret_cast<Unit *>(Buffer().data());
        std::memset(d, 0, 1024);
        d->kind = UNIT_KIND_OBJECT;
        d->module = 7;
        d->object.type = 2;
        d->object.reserved = OBJTYPE_RESERVED;
        d->property = XPropertyDefault();
        InitChainBegin(&w, d, 1024);
        const uint8_t data[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
        AddValues(&w, 1, VALUE_BINARY, 9, data, sizeof data);
        ASSERT_NE(InitChainEnd(&w), 0u);
        Unit *record = MemListNewCopyAfter(LIST_PLUGIN_DATA, d, d->bytes, nullptr);
        ASSERT_NE(record, nullptr);
        UndoStampPermanent(record);
    }

    static constexpr int32_t kAllTypes[] = {0, 1, 5, 6, 7, 8, 10, 11, 12, 13, 15, 16, 17, 18, 20, 21, 25, 26, 27,
                                            28, 29, 30, 31, 32, 35, 36, 37, 40, 41, 42, 43, 45, 46, 47};

    static void BuildRichDrawing()
    {
        DefineTables();
        AddBitmapData();
        AddBlocks();
        int seed = 1;
        for (int32_t type : kAllTypes) {
            Unit *u = type == OBJTYPE_HATCH ? MakeHatch() : MakeTyped(type, seed++);
            ASSERT_NE(u, nullptr) << type;
            ASSERT_NE(StoreObject(u), nullptr) << type;
        }
        AddInstanceWithAttributes();
        AddPluginUnits();
    }

    // ---- comparing -------------------------------------------------------------

    static std::vector<SavedUnit> SaveList(int list)
    {
        std::vector<SavedUnit> out;
        for (Unit *u = g_ObjectLists[list].head; u; u = u->next) {
            SavedUnit s;
            const uint8_t *p = reinterpret_cast<const uint8_t *>(u);
            s.bytes.assign(p, p + u->bytes);
            if (u->kind == UNIT_KIND_BLOCK)
                for (Unit *m = u->block.firstMember; m; m = m->next) {
                    const uint8_t *q = reinterpret_cast<const uint8_t *>(m);
                    s.members.emplace_back(q, q + m->bytes);
                }
            out.push_back(std::move(s));
        }
        return out;
    }

    // Field by field: the filed header fields and every element but the
    // run-time ones, whose payload the frame step regenerates.
    static void ExpectSameUnit(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b, const std::string &where)
    {
        const Unit *x = reinterpret_cast<const Unit *>(a.data());
        const Unit *y = reinterpret_cast<const Unit *>(b.data());
        ASSERT_EQ(x->kind, y->kind) << where;
        EXPECT_EQ(x->module, y->module) << where;
        EXPECT_EQ(x->bytes, y->bytes) << where;
        EXPECT_EQ(0, std::memcmp(&x->property, &y->property, sizeof(XProperty))) << where;
        switch (x->kind) {
        case UNIT_KIND_OBJECT: EXPECT_EQ(x->object.type, y->object.type) << where; break;
        case UNIT_KIND_BLOCK:
            EXPECT_STREQ(x->block.name, y->block.name) << where;
            EXPECT_EQ(0, std::memcmp(x->block.blockFrame, y->block.blockFrame, 32)) << where;
            break;
        default:
            EXPECT_STREQ(x->instance.library, y->instance.library) << where;
            EXPECT_STREQ(x->instance.block, y->instance.block) << where;
            EXPECT_EQ(0, std::memcmp(&x->instance.placement, &y->instance.placement, 48)) << where;
            if (x->kind == UNIT_KIND_PLUGIN) {
                EXPECT_EQ(x->instance.userFlags, y->instance.userFlags) << where;
            }
        }
        const Element *e = UnitFirstElement(x);
        const Element *f = UnitFirstElement(y);
        for (int n = 0;; ++n, e = ElementNext(e), f = ElementNext(f)) {
            const std::string at = where + " element " + std::to_string(n);
            ASSERT_EQ(e->kind, f->kind) << at;
            ASSERT_EQ(e->size, f->size) << at;
            EXPECT_EQ(e->valueType, f->valueType) << at;
            EXPECT_EQ(e->count, f->count) << at;
            EXPECT_EQ(e->module, f->module) << at;
            if (e->kind >= 0) {
                EXPECT_EQ(0, std::memcmp(ElementPayload(e), ElementPayload(f), e->size - 16)) << at;
            }
            if (e->kind == ELEM_END)
                break;
        }
    }

    static void ExpectSameList(const std::vector<SavedUnit> &a, const std::vector<SavedUnit> &b, const char *name)
    {
        ASSERT_EQ(a.size(), b.size()) << name;
        for (size_t i = 0; i < a.size(); ++i) {
            const std::string where = std::string(name) + " unit " + std::to_string(i);
            ExpectSameUnit(a[i].bytes, b[i].bytes, where);
            ASSERT_EQ(a[i].members.size(), b[i].members.size()) << where;
            for (size_t k = 0; k < a[i].members.size(); ++k)
                ExpectSameUnit(a[i].members[k], b[i].members[k], where + " member " + std::to_string(k));
        }
    }

    static bool SawAlertOrDiagnostic(const std::string &part)
    {
        for (const auto &t : DrawLog().alerts)
            if (t.find(part) != std::string::npos)
                return true;
        for (const auto &t : DrawLog().diagnostics)
            if (t.find(part) != std::string::npos)
                return true;
        return false;
    }

    static bool DrawingIsNew()
    {
        return g_ObjectLists[LIST_DRAWING].count == 0 && g_ObjectLists[LIST_OWN_BLOCKS].count == 0 &&
               g_ObjectLists[LIST_PLUGIN_DATA].count == 0 && ImageDataCount() == 0;
    }
};

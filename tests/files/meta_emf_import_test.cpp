// EMF import from hand-built enhanced metafiles: chains and paths, shapes,
// texts, mapping, and records whose counts reach beyond their size.
#include <cmath>

#include "meta_fixture.h"

namespace {

class EmfImportTest : public MetaTest {
protected:
    int Import(const EmfBuilder &b)
    {
        const std::vector<uint8_t> bits = b.Build();
        return MetaImportEmfBits(nullptr, bits.data(), bits.size());
    }
    // Anisotropic mapping where one logical unit is one millimetre, y up.
    static EmfBuilder MmBuilder()
    {
        EmfBuilder b;
        b.frame = RECTL{0, 0, 100000, 100000}; // 1000 x 1000 mm
        b.Add(EMR_SETMAPMODE, Bytes().U32(MM_ANISOTROPIC));
        b.Add(EMR_SETWINDOWEXTEX, Bytes().I32(1000).I32(-1000));
        return b;
    }
};

TEST_F(EmfImportTest, ChainClosedByCloseFigureBecomesOneSurface)
{
    EmfBuilder b = MmBuilder();
    b.Add(EMR_MOVETOEX, Bytes().I32(0).I32(0));
    b.Add(EMR_LINETO, Bytes().I32(10).I32(0));
    b.Add(EMR_LINETO, Bytes().I32(10).I32(10));
    b.Add(EMR_CLOSEFIGURE);
    b.Add(EMR_SETBKMODE, Bytes().U32(1));
    ASSERT_EQ(Import(b), 1);
    auto objects = Objects();
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0]->object.type, OBJTYPE_SURFACE);
    EXPECT_EQ(Kinds(objects[0]), (std::vector<int>{1, 2, 2}));
}

TEST_F(EmfImportTest, MovesSplitChainsOutsideAPathAndMakeFiguresInside)
{
    auto add = [](EmfBuilder &b) {
        b.Add(EMR_MOVETOEX, Bytes().I32(0).I32(0));
        b.Add(EMR_LINETO, Bytes().I32(10).I32(0));
        b.Add(EMR_MOVETOEX, Bytes().I32(0).I32(5));
        b.Add(EMR_LINETO, Bytes().I32(10).I32(5));
    };
    EmfBuilder outside = MmBuilder();
    add(outside);
    ASSERT_EQ(Import(outside), 1);
    auto objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(Kinds(objects[0]), (std::vector<int>{1, 2}));
    EXPECT_EQ(Kinds(objects[1]), (std::vector<int>{1, 2}));

    FileClearDrawing();
    EmfBuilder inside = MmBuilder();
    inside.Add(EMR_BEGINPATH);
    add(inside);
    inside.Add(EMR_ENDPATH);
    inside.Add(EMR_FILLPATH, Bytes().I32(0).I32(0).I32(0).I32(0));
    ASSERT_EQ(Import(inside), 1);
    objects = Objects();
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0]->object.type, OBJTYPE_CURVE);
    EXPECT_EQ(Kinds(objects[0]), (std::vector<int>{1, 2, 1, 2}));
    EXPECT_EQ(objects[0]->property.fillMode, 1);
}

TEST_F(EmfImportTest, PathObjectsEnterOnlyThroughFillOrStroke)
{
    EmfBuilder none = MmBuilder();
    none.Add(EMR_BEGINPATH);
    none.Add(EMR_RECTANGLE, Bytes().I32(0).I32(0).I32(10).I32(10));
    none.Add(EMR_ENDPATH);
    ASSERT_EQ(Import(none), 1);
    EXPECT_TRUE(Objects().empty());

    EmfBuilder twice = MmBuilder();
    twice.Add(EMR_BEGINPATH);
    twice.Add(EMR_RECTANGLE, Bytes().I32(0).I32(0).I32(10).I32(10));
    twice.Add(EMR_ENDPATH);
    twice.Add(EMR_FILLPATH, Bytes().I32(0).I32(0).I32(0).I32(0));
    twice.Add(EMR_STROKEPATH, Bytes().I32(0).I32(0).I32(0).I32(0));
    ASSERT_EQ(Import(twice), 1);
    auto objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]->property.fillMode, 1);
    EXPECT_EQ(objects[1]->property.fillMode, 0);
}

TEST_F(EmfImportTest, NullPenAndNullBrushStoreNothing)
{
    EmfBuilder b = MmBuilder();
    b.Add(EMR_SELECTOBJECT, Bytes().U32(0x80000008));
    b.Add(EMR_SELECTOBJECT, Bytes().U32(0x80000005));
    b.Add(EMR_RECTANGLE, Bytes().I32(0).I32(0).I32(10).I32(10));
    ASSERT_EQ(Import(b), 1);
    EXPECT_TRUE(Objects().empty());
}

TEST_F(EmfImportTest, WithoutMappingRecordsTheReferenceDeviceScaleAppliesWithYMirrored)
{
    EmfBuilder b; // 1000 pixels are 250 mm: 0.25 mm a unit
    b.Add(EMR_MOVETOEX, Bytes().I32(0).I32(0));
    b.Add(EMR_LINETO, Bytes().I32(100).I32(40));
    ASSERT_EQ(Import(b), 1);
    auto objects = Objects();
    ASSERT_EQ(objects.size(), 1u);
    auto p = Points(objects[0]);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_NEAR(p[1]->x - p[0]->x, 25.0, 1e-9);
    EXPECT_NEAR(p[1]->y - p[0]->y, -10.0, 1e-9); // logical y grows downwards
}

TEST_F(EmfImportTest, AnisotropicWindowOfTheFrameMapsOntoThePictureAndCentresAtTheOrigin)
{
    EmfBuilder b;
    b.frame = RECTL{0, 0, 20000, 10000}; // 200 x 100 mm
    b.Add(EMR_SETMAPMODE, Bytes().U32(MM_ANISOTROPIC));
    b.Add(EMR_SETWINDOWEXTEX, Bytes().I32(2000).I32(1000));
    b.Add(EMR_RECTANGLE, Bytes().I32(0).I32(0).I32(2000).I32(1000));
    ASSERT_EQ(Import(b), 1);
    EXPECT_NEAR(Width(g_ChangedRect), 200.0, 1e-6);
    EXPECT_NEAR(Height(g_ChangedRect), 100.0, 1e-6);
    EXPECT_NEAR(g_ChangedRect[0] + g_ChangedRect[2], 0.0, 1e-6);
    EXPECT_NEAR(g_ChangedRect[1] + g_ChangedRect[3], 0.0, 1e-6);
}

TEST_F(EmfImportTest, PolyRecordsFollowTheirPointLimits)
{
    const uint32_t m = MetaPointLimit();
    std::vector<POINT> line;
    for (uint32_t i = 0; i < 2 * m - 1; ++i)
        line.push_back(POINT{LONG(i), LONG(i % 7)});
    EmfBuilder a = MmBuilder();
    a.Add(EMR_POLYLINE, EmfPoly(line));
    ASSERT_EQ(Import(a), 1);
    auto objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(Points(objects[0]).size(), m);
    EXPECT_EQ(Points(objects[1]).size(), m);
    EXPECT_EQ(Points(objects[0]).back()->x, Points(objects[1]).front()->x);

    FileClearDrawing();
    line.resize(m + 1);
    EmfBuilder g = MmBuilder();
    g.Add(EMR_POLYGON, EmfPoly(line));
    ASSERT_EQ(Import(g), 1);
    objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]->object.type, OBJTYPE_CURVE);
    EXPECT_EQ(Points(objects[0]).size(), m);
    EXPECT_EQ(Points(objects[1]).size(), 3u); // the last two points and the first again

    FileClearDrawing();
    EmfBuilder z = MmBuilder();
    z.Add(EMR_POLYBEZIER, EmfPoly({{0, 0}, {1, 1}, {2, 1}, {3, 0}, {4, 1}, {5, 1}, {6, 0}}));
    ASSERT_EQ(Import(z), 1);
    objects = Objects();
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(Kinds(objects[0]), (std::vector<int>{1, 7, 8, 2, 7, 8, 2}));
}

TEST_F(EmfImportTest, LongLineToChainsAreStoredInPiecesAndLoseNoPoint)
{
    const uint32_t m = MetaPointLimit();
    std::vector<POINT> pts;
    for (uint32_t i = 1; i <= 3 * m; ++i)
        pts.push_back(POINT{LONG(i), LONG(i % 3)});
    EmfBuilder b = MmBuilder();
    b.Add(EMR_MOVETOEX, Bytes().I32(0).I32(0));
    b.Add(EMR_POLYLINETO, EmfPoly(pts));
    ASSERT_EQ(Import(b), 1);
    auto objects = Objects();
    ASSERT_GE(objects.size(), 4u);
    size_t total = 0;
    for (Unit *u : objects) {
        total += Points(u).size();
        EXPECT_LE(Points(u).size(), m);
    }
    // Pieces share their joining point: every point of the record is kept.
    EXPECT_EQ(total - (objects.size() - 1), pts.size() + 1);
    const double dx = Points(objects.back()).back()->x - Points(objects.front()).front()->x;
    EXPECT_NEAR(dx, double(3 * m), 1e-6);
}

TEST_F(EmfImportTest, PolyPolygonsByFillMode)
{
    Bytes squares;
    squares.I32(0).I32(0).I32(0).I32(0).U32(2).U32(8).U32(4).U32(4);
    for (int s : {0, 2})
        squares.I32(s).I32(s).I32(10 - s).I32(s).I32(10 - s).I32(10 - s).I32(s).I32(10 - s);
    EmfBuilder alt = MmBuilder();
    alt.Add(EMR_POLYPOLYGON, squares);
    ASSERT_EQ(Import(alt), 1);
    ASSERT_EQ(Objects().size(), 1u);
    EXPECT_EQ(Kinds(Objects()[0]), (std::vector<int>{1, 2, 2, 2, 1, 2, 2, 2}));

    FileClearDrawing();
    EmfBuilder winding = MmBuilder();
    winding.Add(EMR_SETPOLYFILLMODE, Bytes().U32(WINDING));
    winding.Add(EMR_POLYPOLYGON, squares);
    ASSERT_EQ(Import(winding), 1);
    EXPECT_EQ(Objects().size(), 2u);
}

TEST_F(EmfImportTest, PolyDrawGroupsClosedFiguresAndKeepsOutlines)
{
    Bytes b;
    const std::vector<POINT> pts = {{0, 0}, {5, 0}, {5, 5}, {10, 0}, {15, 0}, {15, 5}, {20, 0}, {30, 0}};
    b.I32(0).I32(0).I32(0).I32(0).U32(uint32_t(pts.size()));
    for (const POINT &p : pts)
        b.I32(p.x).I32(p.y);
    const uint8_t types[] = {PT_MOVETO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE, PT_MOVETO, PT_LINETO,
                             PT_LINETO | PT_CLOSEFIGURE, PT_MOVETO, PT_LINETO};
    b.Raw(types, sizeof types);
    EmfBuilder e = MmBuilder();
    e.Add(EMR_POLYDRAW, b);
    ASSERT_EQ(Import(e), 1);
    auto objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0]->object.type, OBJTYPE_SURFACE);
    EXPECT_EQ(Points(objects[0]).size(), 6u);
    EXPECT_EQ(objects[1]->object.type, OBJTYPE_CURVE);
    for (Unit *u : objects)
        EXPECT_EQ(u->property.fillMode, 0);
}

TEST_F(EmfImportTest, ArcOrientationFollowsTheArcDirectionAndTheSweep)
{
    EmfBuilder b = MmBuilder();
    Bytes arc;
    arc.I32(0).I32(0).I32(10).I32(10).I32(10).I32(5).I32(5).I32(0);
    b.Add(EMR_ARC, arc);
    b.Add(EMR_SETARCDIRECTION, Bytes().U32(AD_CLOCKWISE));
    b.Add(EMR_PIE, arc);
    b.Add(EMR_ANGLEARC, Bytes().I32(0).I32(0).U32(10).F32(0.0f).F32(-90.0f));
    b.Add(EMR_ANGLEARC, Bytes().I32(0).I32(0).U32(10).F32(0.0f).F32(0.0f));
    ASSERT_EQ(Import(b), 1);
    auto objects = Objects();
    ASSERT_EQ(objects.size(), 4u);
    const double expected[] = {1.0, -1.0, -1.0, -1.0};
    const int32_t types[] = {OBJTYPE_ELLI_ARC, OBJTYPE_ELLI_SEC, OBJTYPE_ELLI_ARC, OBJTYPE_ELLI_ARC};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(objects[i]->object.type, types[i]);
        Element *o = Find(objects[i], ELEM_ORIENT);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(*static_cast<double *>(ElementPayload(o)), expected[i]) << i;
    }
}

// An EMR_EXTTEXTOUTW record of the wide string at (x, y).
Bytes WideText(const std::wstring &text, int32_t x, int32_t y)
{
    Bytes b;
    b.I32(0).I32(0).I32(0).I32(0).U32(GM_COMPATIBLE).F32(1.0f).F32(1.0f);
    b.I32(x).I32(y).U32(uint32_t(text.size())).U32(76).U32(0).I32(0).I32(0).I32(0).I32(0).U32(0);
    for (wchar_t c : text)
        b.U16(uint16_t(c));
    return b;
}

Bytes Font(const wchar_t *face, int32_t height, int32_t escapement)
{
    LOGFONTW f{};
    f.lfHeight = height;
    f.lfEscapement = escapement;
    f.lfWeight = 700;
    f.lfItalic = 1;
    wcsncpy(f.lfFaceName, face, LF_FACESIZE - 1);
    Bytes b;
    b.U32(1).Raw(&f, sizeof f);
    return b;
}

TEST_F(EmfImportTest, WideTextsGoThroughTheCodePageWithTheirFontAndAlignment)
{
    EmfBuilder b = MmBuilder();
    b.Add(EMR_EXTCREATEFONTINDIRECTW, Font(L"Arial", 10, 900));
    b.Add(EMR_SELECTOBJECT, Bytes().U32(1));
    b.Add(EMR_SETTEXTCOLOR, Bytes().U32(RGB(1, 2, 3)));
    b.Add(EMR_SETTEXTALIGN, Bytes().U32(TA_TOP | TA_CENTER));
    b.Add(EMR_EXTTEXTOUTW, WideText(L"A\x20AC" L"B", 0, 0));
    b.Add(EMR_SETTEXTALIGN, Bytes().U32(TA_BASELINE));
    b.Add(EMR_EXTTEXTOUTW, WideText(L"AB", 0, 0));
    ASSERT_EQ(Import(b), 1);
    auto objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    const char *text = static_cast<const char *>(ElementPayload(Find(objects[0], ELEM_TEXT)));
    EXPECT_STREQ(text, "A\x80" "B"); // the euro sign of the ANSI code page, not a tab
    EXPECT_STREQ(static_cast<const char *>(ElementPayload(Find(objects[1], ELEM_TEXT))), "AB");
    auto *t0 = static_cast<TextStandardData *>(ElementPayload(Find(objects[0], ELEM_TEXT_STANDARD)));
    auto *t1 = static_cast<TextStandardData *>(ElementPayload(Find(objects[1], ELEM_TEXT_STANDARD)));
    EXPECT_STREQ(t0->font.face, "Arial");
    EXPECT_EQ(t0->font.style & 0x1, 0x1u);
    EXPECT_EQ(t0->font.weight, 700u);
    EXPECT_EQ(t0->alignment, 1);
    EXPECT_EQ(t1->alignment, 0);
    EXPECT_EQ(t0->property.color1, RGB(1, 2, 3));
    // Height 10 mm turned by 90 degrees: the y axis points to -x.
    EXPECT_NEAR(t0->matrix.c, -10.0, 1e-9);
    EXPECT_NEAR(t0->matrix.d, 0.0, 1e-9);
    // The top reference point lies 0.7 heights above the baseline along the
    // text's y axis: the baseline is shifted by 7 mm, not by 70.
    EXPECT_NEAR(t0->matrix.tx - t1->matrix.tx, 7.0, 1e-9);
    EXPECT_NEAR(t0->matrix.ty - t1->matrix.ty, 0.0, 1e-9);
}

// Records whose counts, offsets or font copies reach beyond their size are
// refused: the import reports failure and keeps nothing.
TEST_F(EmfImportTest, CountsAndOffsetsBeyondTheRecordAreRefused)
{
    struct Case {
        const char *name;
        uint32_t type;
        Bytes payload;
    };
    std::vector<Case> cases = {
        {"polyline count", EMR_POLYLINE, Bytes().I32(0).I32(0).I32(0).I32(0).U32(0x40000000).I32(1).I32(2)},
        {"polyline16 count wraps", EMR_POLYLINE16, Bytes().I32(0).I32(0).I32(0).I32(0).U32(0xFFFFFFFF).I32(1)},
        {"polypolygon counts", EMR_POLYPOLYGON,
         Bytes().I32(0).I32(0).I32(0).I32(0).U32(0x20000000).U32(2).U32(1).U32(1)},
        {"polypolygon sum", EMR_POLYPOLYGON16,
         Bytes().I32(0).I32(0).I32(0).I32(0).U32(2).U32(2).U32(0x80000000).U32(0x80000002).I32(0).I32(0)},
        {"text offset", EMR_EXTTEXTOUTW,
         Bytes().I32(0).I32(0).I32(0).I32(0).U32(1).F32(1).F32(1).I32(0).I32(0).U32(4).U32(0xFFFFFFF0).U32(0)},
        {"text count", EMR_EXTTEXTOUTA,
         Bytes().I32(0).I32(0).I32(0).I32(0).U32(1).F32(1).F32(1).I32(0).I32(0).U32(0x7FFFFFFF).U32(76).U32(0)},
        {"polytext strings", EMR_POLYTEXTOUTW,
         Bytes().I32(0).I32(0).I32(0).I32(0).U32(1).F32(1).F32(1).U32(0x10000000)},
        {"short font", EMR_EXTCREATEFONTINDIRECTW, Bytes().U32(1).U32(12)},
        {"polydraw types", EMR_POLYDRAW, Bytes().I32(0).I32(0).I32(0).I32(0).U32(2).I32(0).I32(0).I32(1).I32(1)},
        {"short line", EMR_LINETO, Bytes().I32(1)},
    };
    for (const Case &c : cases) {
        FileClearDrawing();
        DrawLog() = DrawFileLog{};
        EmfBuilder b = MmBuilder();
        b.Add(EMR_RECTANGLE, Bytes().I32(0).I32(0).I32(10).I32(10));
        b.Add(c.type, c.payload);
        EXPECT_EQ(Import(b), 0) << c.name;
        EXPECT_TRUE(Objects().empty()) << c.name;
        ASSERT_EQ(DrawLog().alerts.size(), 1u) << c.name;
        EXPECT_EQ(DrawLog().alerts[0], eAlertTextSM[106]) << c.name;
    }
}

TEST_F(EmfImportTest, ImportIsOneUndoStep)
{
    EmfBuilder b = MmBuilder();
    b.Add(EMR_RECTANGLE, Bytes().I32(0).I32(0).I32(10).I32(10));
    b.Add(EMR_ELLIPSE, Bytes().I32(0).I32(0).I32(10).I32(10));
    ASSERT_EQ(Import(b), 1);
    EXPECT_EQ(Objects().size(), 2u);
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_TRUE(Objects().empty());
    ASSERT_EQ(UndoStepForward(), 1);
    EXPECT_EQ(Objects().size(), 2u);
}

} // namespace

// WMF import from hand-built Windows metafiles: placeable and bare mapping,
// line-to chains, pens, brushes, polygons, texts and damaged records.
#include <cmath>

#include "meta_fixture.h"

namespace {

class WmfImportTest : public MetaTest {
protected:
    int Import(const WmfBuilder &b, const double *picture = nullptr)
    {
        const std::vector<uint8_t> bits = b.Build();
        return MetaImportWmfBits(nullptr, bits.data(), bits.size(), picture);
    }
    // A placeable metafile of 1440 units per inch on (0, 0)-(2880, 1440).
    static WmfBuilder Placeable()
    {
        WmfBuilder b;
        b.placeable = true;
        b.box[2] = 2880;
        b.box[3] = 1440;
        return b;
    }
    static Bytes Box(int16_t l, int16_t t, int16_t r, int16_t bt) { return Bytes().I16(bt).I16(r).I16(t).I16(l); }
    static Bytes Pen(uint16_t style, int16_t width, COLORREF colour)
    {
        return Bytes().U16(style).I16(width).I16(0).U32(colour);
    }
    static Bytes Brush(uint16_t style, COLORREF colour, int16_t hatch)
    {
        return Bytes().U16(style).U32(colour).I16(hatch);
    }
};

TEST_F(WmfImportTest, PlaceableHeaderGivesTheUnitsAndThePicture)
{
    WmfBuilder b = Placeable();
    b.Add(META_RECTANGLE, Box(0, 0, 2880, 1440));
    ASSERT_EQ(Import(b), 1);
    EXPECT_NEAR(Width(g_ChangedRect), 50.8, 1e-9);
    EXPECT_NEAR(Height(g_ChangedRect), 25.4, 1e-9);
    EXPECT_NEAR(g_ChangedRect[0] + g_ChangedRect[2], 0.0, 1e-9);
    ASSERT_EQ(Objects().size(), 1u);
    EXPECT_EQ(Objects()[0]->object.type, OBJTYPE_SURFACE);
}

TEST_F(WmfImportTest, BareMetafileMapsItsWindowOntoTheDefaultPicture)
{
    WmfBuilder b;
    b.Add(META_SETMAPMODE, Bytes().U16(MM_ANISOTROPIC));
    b.Add(META_SETWINDOWEXT, Bytes().I16(1000).I16(1000));
    b.Add(META_RECTANGLE, Box(0, 0, 1000, 1000));
    ASSERT_EQ(Import(b), 1);
    EXPECT_NEAR(Width(g_ChangedRect), META_DEFAULT_PICTURE, 1e-9);
    EXPECT_NEAR(Height(g_ChangedRect), META_DEFAULT_PICTURE, 1e-9);
}

TEST_F(WmfImportTest, LineToRecordsFormChainsThatMovesSplit)
{
    WmfBuilder one = Placeable();
    one.Add(META_MOVETO, Bytes().I16(0).I16(0));
    for (int16_t i = 1; i <= 10; ++i)
        one.Add(META_LINETO, Bytes().I16(i % 2).I16(i * 10));
    ASSERT_EQ(Import(one), 1);
    ASSERT_EQ(Objects().size(), 1u);
    EXPECT_EQ(Points(Objects()[0]).size(), 11u);

    FileClearDrawing();
    WmfBuilder two = Placeable();
    two.Add(META_MOVETO, Bytes().I16(0).I16(0));
    for (int16_t i = 1; i <= 10; ++i) {
        if (i == 5)
            two.Add(META_MOVETO, Bytes().I16(50).I16(500));
        two.Add(META_LINETO, Bytes().I16(i % 2).I16(i * 10));
    }
    ASSERT_EQ(Import(two), 1);
    EXPECT_EQ(Objects().size(), 2u);
}

TEST_F(WmfImportTest, PensAndBrushesGiveTheAttributes)
{
    WmfBuilder b = Placeable();
    b.Add(META_CREATEPENINDIRECT, Pen(PS_SOLID, 30000, RGB(9, 8, 7)));   // slot 0: wider than 100 mm
    b.Add(META_CREATEBRUSHINDIRECT, Brush(BS_HATCHED, RGB(1, 1, 1), 3)); // slot 1
    b.Add(META_SETBKCOLOR, Bytes().U32(RGB(50, 60, 70)));
    b.Add(META_SELECTOBJECT, Bytes().U16(0));
    b.Add(META_SELECTOBJECT, Bytes().U16(1));
    b.Add(META_ELLIPSE, Box(0, 0, 100, 100));
    b.Add(META_CREATEPENINDIRECT, Pen(PS_NULL, 0, 0));                   // slot 2
    b.Add(META_CREATEBRUSHINDIRECT, Brush(BS_NULL, 0, 0));               // slot 3
    b.Add(META_SELECTOBJECT, Bytes().U16(2));
    b.Add(META_SELECTOBJECT, Bytes().U16(3));
    b.Add(META_POLYGON, Bytes().I16(3).I16(0).I16(0).I16(10).I16(0).I16(10).I16(10));
    ASSERT_EQ(Import(b), 1);
    auto objects = Objects();
    ASSERT_EQ(objects.size(), 1u); // the invisible polygon is not stored
    EXPECT_EQ(objects[0]->object.type, OBJTYPE_ELLIPSE);
    EXPECT_EQ(objects[0]->property.width, META_WIDTH_MAX);
    EXPECT_EQ(objects[0]->property.color2, RGB(9, 8, 7));
    EXPECT_EQ(objects[0]->property.color1, RGB(50, 60, 70));
    EXPECT_EQ(objects[0]->property.fillMode, 2);
    EXPECT_EQ(Kinds(objects[0]), (std::vector<int>{3, 6, 6}));
}

TEST_F(WmfImportTest, PolyPolygonKeepsHolesUnlessWinding)
{
    Bytes squares;
    squares.U16(2).U16(4).U16(4);
    for (int16_t s : {0, 20})
        squares.I16(s).I16(s).I16(int16_t(100 - s)).I16(s).I16(int16_t(100 - s)).I16(int16_t(100 - s)).I16(s).I16(
            int16_t(100 - s));
    WmfBuilder alt = Placeable();
    alt.Add(META_POLYPOLYGON, squares);
    ASSERT_EQ(Import(alt), 1);
    ASSERT_EQ(Objects().size(), 1u);
    EXPECT_EQ(Kinds(Objects()[0]), (std::vector<int>{1, 2, 2, 2, 1, 2, 2, 2}));

    FileClearDrawing();
    WmfBuilder winding = Placeable();
    winding.Add(META_SETPOLYFILLMODE, Bytes().U16(WINDING));
    winding.Add(META_POLYPOLYGON, squares);
    ASSERT_EQ(Import(winding), 1);
    EXPECT_EQ(Objects().size(), 2u);
}

TEST_F(WmfImportTest, TextsWithAlignmentAndEscapement)
{
    Bytes font;
    font.I16(-144).I16(0).I16(900).I16(0).I16(400);
    font.Raw("\0\0\0\0\0\0\0\0", 8).Raw("Arial\0", 6);
    WmfBuilder b = Placeable();
    b.Add(META_CREATEFONTINDIRECT, font);
    b.Add(META_SELECTOBJECT, Bytes().U16(0));
    b.Add(META_SETTEXTALIGN, Bytes().U16(TA_CENTER | TA_BASELINE));
    b.Add(META_TEXTOUT, Bytes().I16(3).Raw("abc\0", 4).I16(100).I16(200));
    b.Add(META_EXTTEXTOUT, Bytes().I16(100).I16(200).I16(2).U16(ETO_CLIPPED).I16(0).I16(0).I16(1).I16(1).Raw("xy", 2));
    ASSERT_EQ(Import(b), 1);
    auto objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_STREQ(static_cast<const char *>(ElementPayload(Find(objects[0], ELEM_TEXT))), "abc");
    EXPECT_STREQ(static_cast<const char *>(ElementPayload(Find(objects[1], ELEM_TEXT))), "xy");
    auto *t = static_cast<TextStandardData *>(ElementPayload(Find(objects[0], ELEM_TEXT_STANDARD)));
    EXPECT_EQ(t->alignment, 1);
    EXPECT_STREQ(t->font.face, "Arial");
    // 144 units of 1/1440 inch are 2.54 mm; escapement 900 without
    // CLIP_LH_ANGLES turns by -90 degrees.
    EXPECT_NEAR(t->matrix.a, 0.0, 1e-9);
    EXPECT_NEAR(t->matrix.b, -2.54, 1e-9);
}

TEST_F(WmfImportTest, DamagedRecordsAreRefusedWithTheWmfAlert)
{
    struct Case {
        const char *name;
        uint16_t function;
        Bytes params;
    };
    std::vector<Case> cases = {
        {"polyline count", META_POLYLINE, Bytes().I16(30000).I16(1).I16(1)},
        {"negative count", META_POLYGON, Bytes().I16(-2).I16(1).I16(1)},
        {"polypolygon counts", META_POLYPOLYGON, Bytes().U16(3).U16(60000).U16(60000).U16(60000)},
        {"text beyond record", META_TEXTOUT, Bytes().I16(100).Raw("ab", 2)},
        {"exttext beyond record", META_EXTTEXTOUT, Bytes().I16(0).I16(0).I16(500).U16(0).Raw("ab", 2)},
        {"short font", META_CREATEFONTINDIRECT, Bytes().I16(10).I16(0)},
        {"short rectangle", META_RECTANGLE, Bytes().I16(1)},
        {"short arc", META_ARC, Bytes().I16(1).I16(2).I16(3)},
    };
    for (const Case &c : cases) {
        FileClearDrawing();
        DrawLog() = DrawFileLog{};
        WmfBuilder b = Placeable();
        b.Add(META_RECTANGLE, Box(0, 0, 10, 10));
        b.Add(c.function, c.params);
        EXPECT_EQ(Import(b), 0) << c.name;
        EXPECT_TRUE(Objects().empty()) << c.name;
        ASSERT_EQ(DrawLog().alerts.size(), 1u) << c.name;
        EXPECT_EQ(DrawLog().alerts[0], eAlertTextSM[105]) << c.name;
    }
}

} // namespace

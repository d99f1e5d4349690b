#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/system.h"
#include "database/create_fixture.h"
#include "database/object.h"
#include "database/object_ident.h"
#include "database/object_types.h"
#include "database/undo.h"
#include "files/file_records.h"

namespace {

std::vector<Element *> Elements(Unit *u)
{
    std::vector<Element *> out;
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
        out.push_back(e);
    return out;
}

class CreateDimTest : public CreateTest {
protected:
    void SetUp() override
    {
        CreateTest::SetUp();
        for (int i = 0; i < 8; ++i)
            SetCp(i, 10.0 * i, i == 7 ? 0.0 : 5.0);
        SetCp(0, 0, 0), SetCp(1, 100, 0), SetCp(7, 1, 0);
        UndoInitProcess();
    }
    void TearDown() override
    {
        UndoFinishProcess();
        CreateTest::TearDown();
    }
};

TEST_F(CreateDimTest, EveryDimensionStoresItsChain)
{
    struct Case {
        const char *name;
        int (*create)();
        int32_t type;
        std::vector<int> kinds;
    } cases[] = {
        {"dist", [] { return ObjectNewDimDist(0); }, OBJTYPE_DIM_DIST,
         {1, 2, 0, 0, 0, 0, 0, 110, 110, 110, 110, 110, 225, -5, 999}},
        {"radius", [] { return ObjectNewDimRadius(OBJTYPE_DIM_RAD, 0); }, OBJTYPE_DIM_RAD,
         {3, 4, 0, 0, 0, 0, 110, 110, 110, 110, 110, 225, -5, 999}},
        {"diameter", [] { return ObjectNewDimRadius(OBJTYPE_DIM_DIA, 12); }, OBJTYPE_DIM_DIA,
         {3, 4, 0, 0, 0, 0, 110, 110, 110, 110, 110, 225, -5, 999}},
        {"angle", [] { return ObjectNewDimAngle(0); }, OBJTYPE_DIM_ANGLE,
         {1, 2, 1, 2, 0, 0, 0, 110, 110, 110, 110, 110, 225, -6, 999}},
        {"arc", [] { return ObjectNewDimArc(0); }, OBJTYPE_DIM_ARC,
         {3, 4, 5, 5, 101, 0, 0, 0, 110, 110, 110, 110, 110, 225, -6, 999}},
        {"coord", [] { return ObjectNewDimCoord(2); }, OBJTYPE_DIM_COORD,
         {0, 0, 0, 110, 110, 110, 110, 110, 110, 110, 230, -7, 999}},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(c.create(), 1) << c.name;
        Unit *u = Tail();
        EXPECT_EQ(u->object.type, c.type) << c.name;
        EXPECT_EQ(Kinds(u), c.kinds) << c.name;
        EXPECT_EQ(u->birth, g_UndoStep) << c.name;
    }
}

TEST_F(CreateDimTest, NewDistanceDimensionLayout)
{
    // Variant 0 files five empty texts: 120 + 224 + 96 + 272 + 264 + 192 + 16.
    ASSERT_EQ(ObjectNewDimDist(0), 1);
    Unit *u = Tail();
    EXPECT_EQ(u->bytes, 1184u);
    const auto e = Elements(u);
    EXPECT_EQ(e[8]->size, 272u);
    EXPECT_EQ(e[8]->count, -TEXT_CAPACITY_SHORT);
    EXPECT_EQ(e[7]->size, 24u);
    EXPECT_EQ(e[7]->count, TEXT_CAPACITY_SHORT);
    // The value was measured at creation: 100 mm.
    EXPECT_NE(static_cast<const char *>(ElementPayload(e[8]))[0], '\0');
    // The object takes pen slot 0, its text record pen slot 1.
    const auto *r = static_cast<const DimLargeRecord *>(ElementPayload(e[12]));
    EXPECT_EQ(r->common.property.pen, g_DefaultPens[DEFAULT_PEN_DIM_TEXT] < 0 ? g_ActivePen
                                                                              : g_DefaultPens[DEFAULT_PEN_DIM_TEXT]);
    // The variant's settings arrive in the record.
    EXPECT_EQ(r->bools3[2], static_cast<int32_t>(g_DrawingSettings.dimLargeLines[0].show[2]));
    EXPECT_EQ(r->distance, g_DrawingSettings.dimLargeLines[0].distance[0]);
}

TEST_F(CreateDimTest, CoordinateDimensionKeepsBothValuesFullSize)
{
    ASSERT_EQ(ObjectNewDimCoord(0), 1);
    const auto e = Elements(Tail());
    EXPECT_EQ(e[4]->size, 272u);
    EXPECT_EQ(e[6]->size, 272u);
    EXPECT_EQ(e[4]->count, -TEXT_CAPACITY_SHORT);
    EXPECT_EQ(e[6]->count, -TEXT_CAPACITY_SHORT);
    EXPECT_EQ(e[5]->count, TEXT_CAPACITY_SHORT);
}

TEST_F(CreateDimTest, LongSettingsTextIsCut)
{
    std::memset(g_DrawingSettings.dimLargeTexts[3][0], 'x', 255);
    g_DrawingSettings.dimLargeTexts[3][0][255] = '\0';
    ASSERT_EQ(ObjectNewDimDist(3), 1);
    const auto e = Elements(Tail());
    EXPECT_EQ(std::strlen(static_cast<const char *>(ElementPayload(e[7]))), 249u);
}

TEST_F(CreateDimTest, VariantOutOfRangeCreatesNothing)
{
    const uint32_t before = Count();
    EXPECT_EQ(ObjectNewDimDist(13), 0);
    EXPECT_EQ(ObjectNewDimDist(-1), 0);
    EXPECT_EQ(ObjectNewDimArc(99), 0);
    EXPECT_EQ(ObjectNewDimCoord(3), 0);
    EXPECT_EQ(ObjectNewDimRadius(OBJTYPE_DIM_DIST, 0), 0);
    EXPECT_EQ(Count(), before);
}

TEST_F(CreateDimTest, LinesWithEnds)
{
    ASSERT_EQ(ObjectNewLineStr(0, 1), 1);
    Unit *u = Tail();
    EXPECT_EQ(u->bytes, 264u);
    EXPECT_EQ(Kinds(u), (std::vector<int>{1, 2, 220, -3, 999}));
    const auto *line = static_cast<const DimLineRecord *>(ElementPayload(Elements(u)[2]));
    EXPECT_EQ(line->arrows[0], g_DrawingSettings.dimLineArrows[0][0]);
    // Centre (0, 0), radius point (100, 0), ends, orientation from point 7.
    SetCp(2, 100, 0), SetCp(3, 0, 100);
    ASSERT_EQ(ObjectNewLineCurved(0, 1, 2, 3, 7), 1);
    u = Tail();
    EXPECT_EQ(u->bytes, 376u);
    EXPECT_EQ(Kinds(u), (std::vector<int>{3, 4, 5, 5, 101, 220, -4, 999}));
    EXPECT_EQ(*static_cast<const double *>(ElementPayload(Elements(u)[4])), 1.0);
}

TEST_F(CreateDimTest, IdentGettersReadTheDerivedGeometry)
{
    // (0, 0) to (100, 0), direction point (20, 5), line position (30, 5), text at (50, 5).
    ASSERT_EQ(ObjectNewDimDist(0), 1);
    Unit *u = Tail();
    UndoAssignIdent(u);
    GeoObject g{};
    EXPECT_EQ(ObjectGetIdentDimensionLine(u->ident, &g), OBJTYPE_DIM_DIST);
    EXPECT_EQ(g.type, OBJTYPE_DIM_DIST);
    EXPECT_NEAR(g.d[0], 0, 1e-9);
    EXPECT_NEAR(g.d[2], 100, 1e-9);
    EXPECT_NEAR(g.d[1], g.d[3], 1e-9);
    GeoObject b{};
    EXPECT_EQ(ObjectGetIdentDimensionBase(u->ident, &b), OBJTYPE_DIM_DIST);
    EXPECT_NEAR(b.d[0], 0, 1e-9);
    EXPECT_NEAR(b.d[2], 100, 1e-9);
    EXPECT_NEAR(b.d[3], 0, 1e-9);
    GeoObject d{};
    EXPECT_EQ(ObjectGetIdentDimensionDirection(u->ident, &d), OBJTYPE_DIM_DIST);
    EXPECT_NEAR(std::hypot(d.d[2] - d.d[0], d.d[3] - d.d[1]), 128.0, 1e-9);
    EXPECT_EQ(ObjectGetIdentDimensionLine(u->ident + 100, &g), -1);
}

} // namespace

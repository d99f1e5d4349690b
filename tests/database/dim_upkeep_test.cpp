// The upkeep of placed dimensions: the four point edits, regeneration and
// refresh, each change a new unit of the undo step.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/system.h"
#include "commands/command_state.h"
#include "common/test_objects.h"
#include "database/create_fixture.h"
#include "database/init.h"
#include "database/object_dim.h"
#include "database/object_modify.h"
#include "database/object_rects.h"
#include "files/file_records.h"
#include "geometry/frame_dim.h"

namespace {

class DimUpkeepTest : public CreateTest {
protected:
    void SetUp() override
    {
        CreateTest::SetUp();
        SystemInitDrawingSettings(&g_DrawingSettings);
        // Measured 0,0 to 40,0; the line at y = 10; text at 20,10 reading to 30,10.
        const double points[7][2] = {{0, 0}, {40, 0}, {40, 0}, {20, 10}, {40, 10}, {20, 10}, {30, 10}};
        for (int i = 0; i < 7; ++i)
            SetCp(i, points[i][0], points[i][1]);
        UndoInitProcess();
        ASSERT_EQ(ObjectNewDimDist(0), 1);
        UndoFinishProcess();
        dim_ = Tail();
        UndoAssignIdent(dim_);
        g_InputPoints[0].ident = dim_->ident;
    }
    static DimRoles Roles(Unit *u)
    {
        DimRoles r;
        EXPECT_EQ(FrameDimensionRoles(u, &r), 1);
        return r;
    }
    static std::vector<Unit *> Alive() { return TestAliveUnits(); }
    Unit *dim_ = nullptr;
};

TEST_F(DimUpkeepTest, MovingTheTextKeepsItsDirectionAndEndsCentring)
{
    const DimRoles before = Roles(dim_);
    const CalcPoint t = before.computedText;
    const double dirX = before.textDirection->x, dirY = before.textDirection->y;
    SetCp(1, t.x + 2.0, t.y + 3.0);
    UndoInitProcess();
    ASSERT_EQ(ObjectMoveDimensionText(), 1);
    UndoFinishProcess();
    std::vector<Unit *> alive = Alive();
    ASSERT_EQ(alive.size(), 1u) << "the old version died";
    const DimRoles after = Roles(alive[0]);
    EXPECT_DOUBLE_EQ(after.text->x, t.x + 2.0);
    EXPECT_DOUBLE_EQ(after.text->y, t.y + 3.0);
    EXPECT_DOUBLE_EQ(after.textDirection->x, dirX + 2.0);
    EXPECT_DOUBLE_EQ(after.textDirection->y, dirY + 3.0);
    EXPECT_EQ(static_cast<const DimLargeRecord *>(ElementPayload(after.record))->common.bools[1], 0);

    // Copy mode keeps both versions.
    g_DrawingSettings.displayDuplicate = 1;
    UndoAssignIdent(alive[0]);
    g_InputPoints[0].ident = alive[0]->ident;
    SetCp(1, 0.0, 20.0);
    UndoInitProcess();
    ASSERT_EQ(ObjectMoveDimensionLine(), 1);
    UndoFinishProcess();
    EXPECT_EQ(Alive().size(), 2u);
    g_DrawingSettings.displayDuplicate = 0;
}

TEST_F(DimUpkeepTest, TheDirectionEditTakesOnlyLinearDimensions)
{
    SetCp(1, 0.0, 50.0);
    UndoInitProcess();
    ASSERT_EQ(ObjectSetDimensionDirection(), 1);
    UndoFinishProcess();
    const DimRoles r = Roles(Alive()[0]);
    EXPECT_DOUBLE_EQ(r.direction->y, 50.0);
    EXPECT_EQ(static_cast<const DimLargeRecord *>(ElementPayload(r.record))->ints3[0], 1);

    for (int i = 0; i < 7; ++i)
        SetCp(i, i % 2 ? 10.0 : 0.0, i < 2 ? 0.0 : 10.0 * i);
    UndoInitProcess();
    ASSERT_EQ(ObjectNewDimAngle(5), 1);
    UndoFinishProcess();
    Unit *angle = Tail();
    UndoAssignIdent(angle);
    g_InputPoints[0].ident = angle->ident;
    const size_t count = Alive().size();
    UndoInitProcess();
    EXPECT_EQ(ObjectSetDimensionDirection(), 0);
    UndoFinishProcess();
    EXPECT_EQ(Alive().size(), count) << "nothing stored";
}

TEST_F(DimUpkeepTest, RegenerationSucceedsWhateverFollowsTheDimensionAndClearsItsMarks)
{
    const uint32_t bytes = UNIT_ELEMENTS_INSTANCE + ELEM_SIZE_END;
    Unit *inst = MemListNewObject(LIST_DRAWING, bytes, nullptr);
    std::memset(reinterpret_cast<uint8_t *>(inst) + 16, 0, bytes - 16);
    TestInitUnitHeader(inst);
    inst->kind = UNIT_KIND_INSTANCE;
    InitElementEnd(UnitFirstElement(inst));
    dim_->flags |= UNIT_SELECTED;
    inst->flags |= UNIT_SELECTED;
    ASSERT_EQ(dim_->next, inst) << "the instance follows the dimension";
    const int32_t step = g_UndoStep;
    EXPECT_EQ(ObjectRegenerateDimensions(UNIT_SELECTED), 1);
    EXPECT_EQ(g_UndoStep, step + 1) << "an undo step of its own";
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        EXPECT_EQ(u->flags & 0x300u, 0u);
    EXPECT_LE(g_ChangedRect[0], g_ChangedRect[2]) << "the regenerated dimension's frame";

    // A selection without dimensions regenerates nothing.
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        u->flags &= ~UNIT_SELECTED;
    EXPECT_EQ(ObjectRegenerateDimensions(UNIT_SELECTED), 0);
}

TEST_F(DimUpkeepTest, RefreshRecomputesEveryDimension)
{
    EXPECT_EQ(ObjectRefreshDimensions(), 1);
    EXPECT_LE(g_ChangedRect[0], 0.0);
    EXPECT_GE(g_ChangedRect[2], 40.0);
    ObjectPurgeAll();
    EXPECT_EQ(ObjectRefreshDimensions(), 0);
}

} // namespace

namespace {

TEST_F(DimUpkeepTest, ADimensionScaledWithItsLineFollowsIt)
{
    Unit *line = TestNewLine(0, 0, 40, 0);
    line->flags |= UNIT_SELECTED;
    dim_->flags |= UNIT_SELECTED;
    Matrix half;
    MatrixInit(&half);
    MatrixScale(&half, 0.5, 0.5);
    ASSERT_EQ(ObjectTransformSelection(&half, 0, 0, 0), 1);
    Unit *dim = nullptr;
    for (Unit *u : TestAliveUnits())
        if (u->kind == UNIT_KIND_OBJECT && u->object.type == OBJTYPE_DIM_DIST)
            dim = u;
    ASSERT_NE(dim, nullptr);
    const DimRoles r = Roles(dim);
    EXPECT_STREQ(static_cast<const char *>(ElementPayload(ElementNext(r.firstText))), "20")
        << "the value is measured again";
    const auto *g = static_cast<const DimLinearGeometry *>(ElementPayload(r.sub));
    EXPECT_NEAR(g->q2.x - g->q1.x, 20.0, 1e-9);
}

} // namespace

// Modification with undo backups: the preparing walks, the transforms of the
// selection, reordering, point moves, and that undo and redo give back the
// units byte for byte.
#include "create_fixture.h"

#include <cmath>
#include <cstring>
#include <random>

#include "common/test_objects.h"
#include "database/object_modify.h"
#include "database/object_rects.h"
#include "plugin/zvi_edit.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class ModifyTest : public CreateTest {
protected:
    void SetUp() override
    {
        CreateTest::SetUp();
        g_UndoSteps = 99;
    }

    static Unit *Line(double x1, double y1, double x2, double y2, bool selected = false)
    {
        Unit *u = TestNewLine(x1, y1, x2, y2);
        FrameCalcObject(u, 1);
        if (selected)
            u->flags |= UNIT_SELECTED;
        return u;
    }
    static Unit *Circle(double cx, double cy, double r, bool selected = true)
    {
        Unit *u = TestNewObject(LIST_DRAWING, OBJTYPE_CIRCLE, {cx, cy, cx + r, cy});
        FrameCalcObject(u, 1);
        if (selected)
            u->flags |= UNIT_SELECTED;
        return u;
    }
    static std::vector<Unit *> ListOrder()
    {
        std::vector<Unit *> units;
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            units.push_back(u);
        return units;
    }
    static std::vector<Unit *> Alive() { return TestAliveUnits(); }
    static const ElementPoint *Point(const Unit *u, int n)
    {
        int i = 0;
        for (const Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            if (ElementIsPoint(e) && i++ == n)
                return reinterpret_cast<const ElementPoint *>(e);
        return nullptr;
    }
    // The matrices live until the next call.
    const Matrix *Rotation(double angle)
    {
        MatrixInit(&matrix_);
        MatrixRotate(&matrix_, angle);
        return &matrix_;
    }
    const Matrix *Scaling(double sx, double sy)
    {
        MatrixInit(&matrix_);
        MatrixScale(&matrix_, sx, sy);
        return &matrix_;
    }
    Matrix matrix_{};
};

TEST_F(ModifyTest, BackupKeepsTheOldStateDeadInFrontOfTheRebornObject)
{
    Unit *a = Line(0, 0, 1, 0, true), *b = Line(0, 1, 1, 1, true), *c = Line(0, 2, 1, 2, true);
    a->ident = 7;
    a->flags |= UNIT_USER_MARK;
    UndoInitProcess();
    ASSERT_EQ(ObjectBackupForModify(LIST_DRAWING, UNIT_SELECTED, 0, 0), 1);
    const std::vector<Unit *> order = ListOrder();
    ASSERT_EQ(order.size(), 6u);
    const Unit *changed[] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        const Unit *backup = order[2 * i];
        EXPECT_EQ(order[2 * i + 1], changed[i]);
        EXPECT_EQ(backup->death, g_UndoStep);
        EXPECT_EQ(backup->birth, UNIT_BIRTH_ALWAYS);
        EXPECT_EQ(backup->flags & UNIT_SELECTED, UNIT_SELECTED);
        EXPECT_EQ(changed[i]->birth, g_UndoStep);
        EXPECT_EQ(changed[i]->ident, UNIT_NO_IDENT);
        EXPECT_EQ(changed[i]->flags & (UNIT_SELECTED | UNIT_TRANSFORM), UNIT_SELECTED | UNIT_TRANSFORM);
    }
    EXPECT_EQ(order[0]->ident, 7);
    EXPECT_EQ(a->flags & UNIT_USER_MARK, UNIT_USER_MARK) << "the user mark goes over to the changed unit";
    EXPECT_DOUBLE_EQ(g_ExtentsRect[3], 2.0);
    ObjectTransformMarked(Scaling(1, 1), UNIT_TRANSFORM, 0);
    UndoFinishProcess();

    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(Alive(), (std::vector<Unit *>{order[0], order[2], order[4]}));
    ASSERT_EQ(UndoStepForward(), 1);
    EXPECT_EQ(Alive(), (std::vector<Unit *>{a, b, c}));
}

TEST_F(ModifyTest, KeepCopyAndMarkCopyDecideWhereTheSelectionEnds)
{
    struct Case {
        int keep, mark;
        uint32_t copySelected, changedSelected;
    } cases[] = {{1, 1, UNIT_SELECTED, 0}, {1, 0, 0, UNIT_SELECTED}, {0, 1, 0, UNIT_SELECTED}};
    for (const Case &k : cases) {
        MemFreeChunks();
        MemInitLists();
        ASSERT_EQ(MemEnlargeList(), 1);
        Unit *u = Line(0, 0, 1, 0, true);
        UndoInitProcess();
        ASSERT_EQ(ObjectBackupForModify(LIST_DRAWING, UNIT_SELECTED, k.keep, k.mark), 1);
        const std::vector<Unit *> order = ListOrder();
        ASSERT_EQ(order.size(), k.keep ? 3u : 2u);
        EXPECT_EQ(order.back(), u);
        EXPECT_EQ(u->flags & UNIT_SELECTED, k.changedSelected) << k.keep << k.mark;
        if (k.keep) {
            EXPECT_EQ(order[1]->flags & UNIT_SELECTED, k.copySelected) << k.keep << k.mark;
            EXPECT_EQ(order[1]->birth, g_UndoStep);
            EXPECT_EQ(order[1]->flags & UNIT_TRANSFORM, 0u);
        }
        UndoCancelProcess();
        EXPECT_EQ(ListOrder(), (std::vector<Unit *>{order[0]})) << "cancel brings back the old state only";
    }
}

TEST_F(ModifyTest, MovingALineIsOneStepAndCopyModeKeepsBoth)
{
    Unit *line = Line(0, 0, 10, 0, true);
    Matrix move;
    MatrixInit(&move);
    MatrixMove(&move, 5, 5);
    ASSERT_EQ(ObjectTransformSelection(&move, 0, 0, 0), 1);
    EXPECT_DOUBLE_EQ(Point(line, 0)->x, 5.0);
    EXPECT_DOUBLE_EQ(Point(line, 1)->y, 5.0);
    EXPECT_EQ(line->flags & UNIT_SELECTED, 0u) << "without markCopy nothing stays selected";
    EXPECT_DOUBLE_EQ(g_ChangedRect[1], 5.0);
    ASSERT_EQ(UndoStepBack(), 1);
    ASSERT_EQ(Alive().size(), 1u);
    EXPECT_DOUBLE_EQ(Point(Alive()[0], 0)->x, 0.0);
    EXPECT_EQ(UndoStepBack(), 0) << "one step only";
    ASSERT_EQ(UndoStepForward(), 1);

    line->flags |= UNIT_SELECTED;
    ASSERT_EQ(ObjectTransformSelection(&move, 0, 1, 1), 1);
    const std::vector<Unit *> alive = Alive();
    ASSERT_EQ(alive.size(), 2u);
    EXPECT_DOUBLE_EQ(Point(alive[0], 0)->x, 5.0) << "the kept copy";
    EXPECT_EQ(alive[0]->flags & UNIT_SELECTED, UNIT_SELECTED);
    EXPECT_DOUBLE_EQ(Point(alive[1], 0)->x, 10.0);
    EXPECT_EQ(alive[1]->flags & UNIT_SELECTED, 0u);
}

TEST_F(ModifyTest, RotationKeepsCirclesAndUnevenScalingMakesEllipsesBehindTheDeadCircle)
{
    Unit *circle = Circle(10, 0, 2);
    ASSERT_EQ(ObjectTransformSelection(Rotation(kPi / 2), 0, 0, 1), 1);
    EXPECT_EQ(circle->object.type, OBJTYPE_CIRCLE);
    EXPECT_NEAR(Point(circle, 0)->x, 0.0, 1e-12);
    EXPECT_NEAR(Point(circle, 0)->y, 10.0, 1e-12);
    EXPECT_EQ(circle->flags & UNIT_SELECTED, UNIT_SELECTED) << "markCopy keeps the selection";

    ASSERT_EQ(ObjectTransformSelection(Scaling(2, 1), 0, 0, 0), 1);
    const std::vector<Unit *> order = ListOrder();
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[1], circle);
    EXPECT_EQ(circle->death, g_UndoStep) << "the replaced circle dies";
    const Unit *ellipse = order[2];
    EXPECT_EQ(ellipse->object.type, OBJTYPE_ELLIPSE);
    EXPECT_NEAR(Point(ellipse, 1)->x - Point(ellipse, 0)->x, 4.0, 1e-12);
    EXPECT_NEAR(Point(ellipse, 2)->y - Point(ellipse, 0)->y, 2.0, 1e-12);
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(Alive(), (std::vector<Unit *>{circle}));
}

TEST_F(ModifyTest, ConversionThatDoesNotApplyKeepsAnUnchangedCopyAndSaysSoOnce)
{
    Unit *a = Line(0, 0, 1, 0, true), *b = Line(0, 1, 1, 1, true);
    const double ax = Point(a, 1)->x;
    ASSERT_EQ(ObjectConvertSelection(UNIT_SELECTED, 0, 0, 737), 1);
    EXPECT_EQ(Alerts().texts.size(), 1u);
    const std::vector<Unit *> alive = Alive();
    ASSERT_EQ(alive.size(), 2u);
    EXPECT_NE(alive[0], a);
    EXPECT_NE(alive[1], b);
    EXPECT_EQ(alive[0]->object.type, OBJTYPE_LINE);
    EXPECT_DOUBLE_EQ(Point(alive[0], 1)->x, ax);
    EXPECT_EQ(alive[0]->flags & (UNIT_TRANSFORM | UNIT_SELECTED), 0u);
}

TEST_F(ModifyTest, InvertTurnsAnArcTheOtherWay)
{
    Unit *arc = TestNewObject(LIST_DRAWING, OBJTYPE_CIRC_ARC, {0, 0, 1, 0, 1, 0, 0, 1});
    FrameCalcObject(arc, 1);
    arc->flags |= UNIT_SELECTED;
    ASSERT_EQ(ObjectConvertSelection(UNIT_SELECTED, 0, 0, 735), 1);
    EXPECT_TRUE(Alerts().texts.empty());
    const Unit *inverted = Alive()[0];
    const Element *e = UnitFirstElement(inverted);
    while (e->kind != ELEM_ORIENT)
        e = ElementNext(e);
    EXPECT_LT(*static_cast<const double *>(ElementPayload(e)), 0.0);
    EXPECT_GT(inverted->frame[2] - inverted->frame[0], 1.9) << "the long way round spans the circle";
}

TEST_F(ModifyTest, SendToBackAndBringToFrontKeepTheMovedOrder)
{
    std::vector<Unit *> units;
    for (int i = 1; i <= 6; ++i)
        units.push_back(Line(i, 0, i, 1, i == 3 || i == 5));
    ASSERT_EQ(ObjectSendToBack(UNIT_SELECTED), 1);
    const std::vector<Unit *> alive = Alive();
    EXPECT_EQ(alive, (std::vector<Unit *>{units[2], units[4], units[0], units[1], units[3], units[5]}));
    EXPECT_EQ(units[2]->flags & (UNIT_SELECTED | UNIT_TRANSFORM), 0u);
    ASSERT_EQ(UndoStepBack(), 1);
    const std::vector<Unit *> back = Alive();
    ASSERT_EQ(back.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_DOUBLE_EQ(Point(back[i], 0)->x, i + 1.0) << "the backups stand in the old places";
    ASSERT_EQ(UndoStepForward(), 1);

    TestSelect(units[0]);
    TestSelect(units[1]);
    ASSERT_EQ(ObjectBringToFront(UNIT_SELECTED), 1);
    EXPECT_EQ(Alive(), (std::vector<Unit *>{units[2], units[4], units[3], units[5], units[0], units[1]}));
}

TEST_F(ModifyTest, PointsMeetingExactlyAtThePositionMoveTogether)
{
    Unit *a = Line(0, 0, 5, 5), *b = Line(5, 5, 9, 0), *c = Line(5 + 1e-12, 5, 7, 7);
    Matrix move;
    MatrixInit(&move);
    MatrixMove(&move, 1, 0);
    ASSERT_EQ(ObjectMovePointsAt(5, 5, &move, 0), 1);
    EXPECT_DOUBLE_EQ(Point(a, 1)->x, 6.0);
    EXPECT_DOUBLE_EQ(Point(a, 0)->x, 0.0);
    EXPECT_DOUBLE_EQ(Point(b, 0)->x, 6.0);
    EXPECT_DOUBLE_EQ(Point(c, 0)->x, 5 + 1e-12);
    EXPECT_EQ(c->birth, UNIT_BIRTH_ALWAYS) << "untouched objects get no backup";
    EXPECT_EQ(Alive().size(), 3u);
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_DOUBLE_EQ(Point(Alive()[0], 1)->x, 5.0);

    EXPECT_EQ(ObjectMovePointsAt(100, 100, &move, 0), 0);
    EXPECT_EQ(Alerts().texts.size(), 1u);
}

TEST_F(ModifyTest, SelectedPointsMoveAndTheOthersStay)
{
    Unit *a = Line(0, 0, 4, 0), *b = Line(1, 1, 2, 3);
    reinterpret_cast<Element *>(const_cast<ElementPoint *>(Point(a, 1)))->pointFlags |= POINT_SELECTED;
    reinterpret_cast<Element *>(const_cast<ElementPoint *>(Point(b, 0)))->pointFlags |= POINT_SELECTED;
    a->flags |= UNIT_POINTS_SELECTED;
    b->flags |= UNIT_POINTS_SELECTED;
    Matrix move;
    MatrixInit(&move);
    MatrixMove(&move, 0, 2);
    ASSERT_EQ(ObjectMoveSelectedPoints(&move, UNIT_POINTS_SELECTED, 0), 1);
    EXPECT_DOUBLE_EQ(Point(a, 1)->y, 2.0);
    EXPECT_DOUBLE_EQ(Point(a, 0)->y, 0.0);
    EXPECT_DOUBLE_EQ(Point(b, 0)->y, 3.0);
    EXPECT_DOUBLE_EQ(Point(b, 1)->y, 3.0);
}

TEST_F(ModifyTest, EmptySelectionIsAStepWithoutChange)
{
    Line(0, 0, 1, 1);
    ASSERT_EQ(ObjectTransformSelection(Rotation(1.0), 0, 0, 0), 1);
    EXPECT_EQ(g_ExtentsRect[0], 1e300);
    EXPECT_EQ(ListOrder().size(), 1u);
}

TEST_F(ModifyTest, MirrorFlipsTheSenseOfArcsAndCurves)
{
    Unit *arc = TestNewObject(LIST_DRAWING, OBJTYPE_CIRC_ARC, {0, 0, 1, 0, 1, 0, 0, 1});
    FrameCalcObject(arc, 1);
    Matrix mirror;
    MatrixInit(&mirror);
    MatrixMirrorY(&mirror);
    ZviEditUnitPointsMatrix(arc, &mirror);
    FrameCalcObject(arc, 1);
    const Element *e = UnitFirstElement(arc);
    while (e->kind != ELEM_ORIENT)
        e = ElementNext(e);
    const double sense = *static_cast<const double *>(ElementPayload(e));
    EXPECT_LT(sense, 0.0);
    EXPECT_LT(arc->frame[2] - arc->frame[0], 1.0 + 1e-9) << "still the quarter arc, mirrored";
}

// ---------------------------------------------------------------------------
// Random histories: undoing everything gives back the start byte for byte,
// redoing everything the end.

using Snapshot = std::vector<std::vector<uint8_t>>;

// The visible units in drawing order, from the frame on (the links and the
// allocator words differ between a unit and its backup), the selection bit
// aside (selecting is no step of its own), and the death stamp aside: a
// backup is the old state, dead from the step that changed it.
Snapshot Take()
{
    Snapshot s;
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next) {
        if (!UndoIsVisible(u, g_UndoStep))
            continue;
        std::vector<uint8_t> bytes(reinterpret_cast<uint8_t *>(u) + 16, reinterpret_cast<uint8_t *>(u) + u->bytes);
        uint32_t flags;
        std::memcpy(&flags, bytes.data() + offsetof(Unit, flags) - 16, 4);
        flags &= ~UNIT_SELECTED;
        std::memcpy(bytes.data() + offsetof(Unit, flags) - 16, &flags, 4);
        std::memset(bytes.data() + offsetof(Unit, death) - 16, 0, 4);
        s.push_back(std::move(bytes));
    }
    return s;
}

TEST_F(ModifyTest, RandomHistoriesUndoAndRedoByteForByte)
{
    std::mt19937 random(20261210);
    auto coordinate = [&] { return std::uniform_real_distribution<double>(-100, 100)(random); };
    for (int i = 0; i < 200; ++i) {
        if (i % 3 == 0)
            Circle(coordinate(), coordinate(), 1 + i % 7, false);
        else
            Line(coordinate(), coordinate(), coordinate(), coordinate());
    }
    const Snapshot start = Take();
    int steps = 0;
    while (steps < 90) {
        // A random selection of the visible objects.
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next) {
            u->flags &= ~UNIT_SELECTED;
            if (UndoIsVisible(u, g_UndoStep) && random() % 4 == 0)
                TestSelect(u);
        }
        Matrix m;
        MatrixInit(&m);
        switch (random() % 7) {
        case 0: { // create
            UndoInitProcess();
            Unit *u = Line(coordinate(), coordinate(), coordinate(), coordinate());
            UndoStampCreated(u);
            UndoFinishProcess();
            break;
        }
        case 1:
            MatrixMove(&m, coordinate(), coordinate());
            ASSERT_EQ(ObjectTransformSelection(&m, 0, random() % 2, random() % 2), 1);
            break;
        case 2:
            MatrixRotate(&m, coordinate());
            ASSERT_EQ(ObjectTransformSelection(&m, 0, random() % 2, random() % 2), 1);
            break;
        case 3:
            MatrixScale(&m, 2, 0.5);
            ASSERT_EQ(ObjectTransformSelection(&m, 0, random() % 2, random() % 2), 1);
            break;
        case 4:
            UndoInitProcess();
            ObjectDeleteSelected(UNIT_SELECTED);
            UndoFinishProcess();
            break;
        case 5:
            UndoStepBack();
            continue;
        default:
            UndoStepForward();
            continue;
        }
        ++steps;
    }
    while (UndoStepForward())
        ;
    const Snapshot end = Take();
    while (UndoStepBack())
        ;
    EXPECT_TRUE(Take() == start);
    while (UndoStepForward())
        ;
    EXPECT_TRUE(Take() == end);
}

} // namespace

// Selection, marks and extents; identification of objects and elements.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "commands/command_state.h"
#include "create_fixture.h"
#include "database/object_ident.h"
#include "database/object_rects.h"
#include "database/object_modify.h"
#include "database/object_select.h"
#include "database/undo.h"
#include "dialogs/box05.h"
#include "display/output_select.h"
#include "geometry/calc_candidate.h"
#include "geometry/distance.h"
#include "geometry/pick_objects.h"

namespace {

constexpr int HIDDEN_LAYER = 2;

class SelectTest : public CreateTest {
protected:
    void SetUp() override
    {
        CreateTest::SetUp();
        g_CommandDefaults.filter = SelectionFilter{};
        g_DrawingSettings.displayAreas = 0;
        g_DrawingSettings.displayDrawing = 1;
        g_DrawingSettings.displayObjects = 1;
        g_CommandState->objectsSelected = g_CommandState->pointsSelected = 0;
        PickSetApertures(2, 1);
    }
    static Unit *Geo(double x1, double y1, double x2, double y2)
    {
        Unit *u = TestNewObject(0, OBJTYPE_GEO_LINE, {x1, y1, x2, y2});
        u->frame[0] = u->frame[1] = -FRAME_INFINITE;
        u->frame[2] = u->frame[3] = FRAME_INFINITE;
        return u;
    }
    static uint16_t PointFlags(Unit *u, int n) { return UnitElementAt(u, n)->pointFlags; }
    static void SelectPoint(Unit *u, int n) { UnitElementAt(u, n)->pointFlags |= POINT_SELECTED; }
};

TEST_F(SelectTest, ExtentsOfEmptyAndUnboundedLists)
{
    EXPECT_EQ(ObjectExtentsVisible(LIST_DRAWING, 0), 0);
    EXPECT_EQ(g_ExtentsRect[0], FRAME_EMPTY_MIN);
    EXPECT_EQ(g_ExtentsRect[2], FRAME_EMPTY_MAX);
    EXPECT_EQ(ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED), 0);
    EXPECT_EQ(g_ExtentsRect[1], FRAME_EMPTY_MIN);
    TestNewLine(1, 2, 3, 4);
    Geo(0, 0, 1, 0);
    EXPECT_EQ(ObjectExtentsVisible(LIST_DRAWING, 0), 2) << "the unbounded one is counted";
    EXPECT_EQ(g_ExtentsRect[0], 1.0) << "but does not widen";
    EXPECT_EQ(g_ExtentsRect[3], 4.0);
    Unit *hidden = TestNewLine(-50, -50, 0, 0);
    hidden->flags |= UNIT_HIDDEN;
    EXPECT_EQ(ObjectExtentsVisible(LIST_DRAWING, 0), 2);
    EXPECT_EQ(ObjectExtentsPrintable(LIST_DRAWING, 0), 3);
}

TEST_F(SelectTest, ExtentsOfTheSelectionNormaliseIt)
{
    Unit *a = TestNewLine(0, 0, 1, 1);
    Unit *hidden = TestNewLine(5, 5, 6, 6);
    a->flags |= UNIT_SELECTED;
    hidden->flags |= UNIT_SELECTED | UNIT_HIDDEN;
    EXPECT_EQ(ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED), 1);
    EXPECT_EQ(g_CommandState->objectsSelected, 1) << "the hidden one still sets the flag";
    EXPECT_FALSE(hidden->flags & UNIT_SELECTED);
    EXPECT_TRUE(a->flags & UNIT_MARKED);
    EXPECT_EQ(g_ExtentsRect[2], 1.0);
}

TEST_F(SelectTest, RectangleCrossingAndInside)
{
    Unit *atEdge = Geo(-100, 10, 100, 10);   // horizontal at ymax
    Unit *beside = Geo(20, -100, 21, 100);   // passes beside, its frame meets the rectangle
    Unit *slanted = Geo(-5, -5, 15, 15);     // crosses diagonally
    Unit *touching = TestNewLine(0, 0, 10, 0);
    Unit *across = TestNewLine(-5, 5, 5, 5);
    EXPECT_EQ(ObjectSelectByRectangle(0, 0, 10, 10, -1, 0), 1);
    EXPECT_TRUE(atEdge->flags & UNIT_SELECTED);
    EXPECT_FALSE(beside->flags & UNIT_SELECTED);
    EXPECT_TRUE(slanted->flags & UNIT_SELECTED);
    EXPECT_TRUE(touching->flags & UNIT_SELECTED);
    EXPECT_TRUE(across->flags & UNIT_SELECTED) << "crossing mode";
    EXPECT_TRUE(across->flags & UNIT_SELECTION_REDRAW);
    ObjectSelectionReset();
    g_DrawingSettings.displayAreas = 1;
    EXPECT_EQ(ObjectSelectByRectangle(10, 10, 0, 0, -1, 0), 1) << "corners in any order";
    EXPECT_TRUE(touching->flags & UNIT_SELECTED) << "touching the border from inside";
    EXPECT_FALSE(across->flags & UNIT_SELECTED);
    EXPECT_FALSE(atEdge->flags & UNIT_SELECTED);
}

TEST_F(SelectTest, RectangleSkipsMarkedAndLockedObjects)
{
    Unit *marked = TestNewLine(1, 1, 2, 2);
    Unit *locked = TestNewLine(3, 3, 4, 4);
    marked->flags |= UNIT_USER_MARK;
    locked->flags |= UNIT_LOCKED;
    ObjectSelectByRectangle(0, 0, 10, 10, 1, 0);
    EXPECT_FALSE(marked->flags & UNIT_SELECTED);
    EXPECT_FALSE(locked->flags & UNIT_SELECTED);
    ObjectSelectByRectangle(0, 0, 10, 10, -1, 1);
    EXPECT_TRUE(marked->flags & UNIT_SELECTED);
    EXPECT_TRUE(locked->flags & UNIT_SELECTED);
}

TEST_F(SelectTest, SelectingTwiceRestores)
{
    Unit *a = TestNewLine(0, 0, 1, 1);
    Unit *b = TestNewLine(0, 0, 1, 1);
    b->flags |= UNIT_SELECTED;
    EXPECT_EQ(ObjectSelectByMask(0, 0), 1);
    EXPECT_TRUE(a->flags & UNIT_SELECTED);
    EXPECT_FALSE(b->flags & UNIT_SELECTED);
    ObjectSelectByMask(0, 0);
    EXPECT_FALSE(a->flags & UNIT_SELECTED);
    EXPECT_TRUE(b->flags & UNIT_SELECTED);
    // By kind: only the comments.
    Unit *comment = TestNewObject(0, OBJTYPE_COMMENT, {0, 0, 1, 1});
    EXPECT_EQ(ObjectSelectComments(0), 1);
    EXPECT_TRUE(comment->flags & UNIT_SELECTED);
    EXPECT_FALSE(a->flags & UNIT_SELECTED);
    // Deselecting: with redraw bits, or silently.
    EXPECT_EQ(ObjectDeselectAll(), 1);
    EXPECT_TRUE(comment->flags & UNIT_SELECTION_REDRAW);
    EXPECT_EQ(g_CommandState->objectsSelected, 0);
    EXPECT_EQ(ObjectSelectByIdent(UNIT_NO_IDENT), 0);
    UndoAssignIdent(a);
    EXPECT_EQ(ObjectSelectByIdent(a->ident), 1);
    EXPECT_EQ(g_CommandState->objectsSelected, 1);
    EXPECT_EQ(ObjectSelectionReset(), 1);
    EXPECT_FALSE(a->flags & (UNIT_SELECTED | UNIT_SELECTION_REDRAW));
}

// The modify walks take the selected units from the undo notes, not from a
// walk of the list: every way a unit gets selected must leave it noted, and
// the note must last through the purges while the unit stays selected.
TEST_F(SelectTest, TheModifyWalksFindTheSelectionAmongTheNotes)
{
    Unit *a = TestNewLine(0, 0, 1, 0);
    Unit *b = TestNewLine(0, 10, 1, 10);
    Unit *c = TestNewLine(0, 20, 1, 20);
    a->flags |= UNIT_SELECTED; // loaded selected: the purge's whole walk notes it
    Matrix move;
    MatrixInit(&move);
    MatrixMove(&move, 5, 0);
    ASSERT_EQ(ObjectTransformSelection(&move, 0, 0, 0), 1);
    EXPECT_DOUBLE_EQ(a->frame[0], 5.0);
    UndoClearHistory(); // every unit permanent again: nothing left noted for its stamps
    std::vector<Unit *> noted;
    ASSERT_TRUE(UndoNotedUnitsWith(UNIT_SELECTED, &noted)) << "the notes are complete";
    EXPECT_TRUE(noted.empty());

    struct Way {
        const char *name;
        void (*select)(Unit *);
    } ways[] = {
        {"by rectangle", [](Unit *u) { ObjectSelectByRectangle(u->frame[0] - 1, u->frame[1] - 1, u->frame[2] + 1,
                                                               u->frame[3] + 1, -1, 0); }},
        {"by ident", [](Unit *u) {
             UndoAssignIdent(u);
             ObjectSelectByIdent(u->ident);
         }},
        {"by its flag word, then counted", [](Unit *u) {
             UndoNoteForeignFlags(); // every call into a plug-in says so
             u->flags |= UNIT_SELECTED; // as a plug-in may
             ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED);
         }},
    };
    // The moved unit keeps its address (its backup goes in front of it).
    Unit *alive = b;
    for (const Way &w : ways) {
        const double x = alive->frame[0];
        w.select(alive);
        ASSERT_TRUE(alive->flags & UNIT_SELECTED) << w.name;
        // Unrelated steps purge in between.
        for (int i = 0; i < 2; ++i) {
            UndoInitProcess();
            UndoFinishProcess();
        }
        ASSERT_TRUE(UndoNotedUnitsWith(UNIT_SELECTED, &noted));
        EXPECT_EQ(noted, (std::vector<Unit *>{alive})) << w.name << ": the selected unit alone";
        ASSERT_EQ(ObjectTransformSelection(&move, 0, 0, 0), 1);
        EXPECT_DOUBLE_EQ(alive->frame[0], x + 5) << w.name;
        ASSERT_EQ(UndoStepBack(), 1);
        ASSERT_EQ(UndoStepForward(), 1);
        EXPECT_DOUBLE_EQ(alive->frame[0], x + 5) << w.name;
        EXPECT_FALSE(alive->flags & UNIT_SELECTED) << w.name;
        UndoClearHistory();
    }
    EXPECT_DOUBLE_EQ(c->frame[0], 0.0) << "never selected, never moved";
}

// The flag words of list 0, in list order.
std::vector<uint32_t> FlagWords()
{
    std::vector<uint32_t> words;
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        words.push_back(u->flags);
    return words;
}

void Settle()
{
    UndoInitProcess();
    UndoFinishProcess();
}

// The deselections take the selected units from the undo notes; they leave
// every flag word as the walk of the whole list leaves it, also when a
// plug-in set flags without noting them (the notes are then not trusted).
TEST_F(SelectTest, TheDeselectionsLeaveWhatTheWalkLeaves)
{
    struct Op {
        const char *name;
        int (*run)();
    } ops[] = {{"deselect all", ObjectDeselectAll}, {"selection reset", ObjectSelectionReset}};
    for (const Op &op : ops)
        for (bool plugin : {false, true})
            for (bool walked : {false, true}) {
                SCOPED_TRACE(std::string(op.name) + (plugin ? ", a plug-in's flags" : "") +
                             (walked ? ", by the walk" : ", by the notes"));
                ASSERT_TRUE(TestFreshObjectLists());
                UndoReset();
                Unit *u[6];
                for (int i = 0; i < 6; ++i)
                    u[i] = TestNewLine(i * 10.0, 0, i * 10.0 + 5, 0);
                Settle(); // the loaded lines are permanent, nothing noted
                ObjectSelectByRectangle(-1, -1, 6, 1, -1, 0);
                UndoAssignIdent(u[1]);
                ObjectSelectByIdent(u[1]->ident);
                ObjectSelectByRectangle(19, -1, 36, 1, -1, 0); // u[2], u[3]
                u[3]->flags |= UNIT_LOCKED;                    // keeps its selection until deselected
                ObjectSelectByRectangle(29, -1, 46, 1, -1, 1); // u[3] off again, u[4] on
                Settle();
                if (plugin) {
                    UndoNoteForeignFlags(); // every call into a plug-in says so
                    u[5]->flags |= UNIT_SELECTED | UNIT_SELECTION_REDRAW;
                }
                if (walked)
                    UndoNoteForeignFlags();
                g_CommandState->objectsSelected = 1;
                const int any = op.run();
                EXPECT_EQ(any, 1);
                EXPECT_EQ(g_CommandState->objectsSelected, 0);
                for (Unit *x : u)
                    EXPECT_FALSE(x->flags & UNIT_SELECTED);
                const bool redraw = op.run == ObjectDeselectAll;
                EXPECT_EQ((u[0]->flags & UNIT_SELECTION_REDRAW) != 0, redraw);
                EXPECT_EQ((u[3]->flags & UNIT_SELECTION_REDRAW) != 0, redraw) << "toggled off before";
                EXPECT_EQ((u[5]->flags & UNIT_SELECTION_REDRAW) != 0, redraw && plugin);
                static std::vector<uint32_t> byNotes;
                if (!walked)
                    byNotes = FlagWords();
                else
                    EXPECT_EQ(FlagWords(), byNotes);
                EXPECT_EQ(op.run(), 0) << "nothing left selected";
            }
}

// The notes follow many units selected at once, and let each go once it
// carries no flag they follow.
TEST_F(SelectTest, TheNotesFollowALargeSelectionThroughThePurges)
{
    constexpr int LINES = 3000;
    std::vector<Unit *> lines;
    for (int i = 0; i < LINES; ++i)
        lines.push_back(TestNewLine(i * 10.0, 0, i * 10.0 + 5, 0));
    Settle();
    auto selected = [&](int from, int to) {
        std::vector<Unit *> v(lines.begin() + from, lines.begin() + to);
        std::sort(v.begin(), v.end());
        return v;
    };
    auto noted = [](uint32_t mask) {
        std::vector<Unit *> v;
        EXPECT_TRUE(UndoNotedUnitsWith(mask, &v));
        std::sort(v.begin(), v.end());
        return v;
    };
    ASSERT_EQ(ObjectSelectByRectangle(-1, -1, LINES * 10.0, 1, -1, 0), 1);
    Settle();
    EXPECT_EQ(noted(UNIT_SELECTED), selected(0, LINES));
    // The first two thirds toggled off: still noted for their redraw mark.
    ObjectSelectByRectangle(-1, -1, LINES * 20.0 / 3 - 1, 1, -1, 0);
    Settle();
    EXPECT_EQ(noted(UNIT_SELECTED), selected(LINES * 2 / 3, LINES));
    EXPECT_EQ(noted(UNIT_SELECTION_REDRAW), selected(0, LINES));
    OutputRedrawSelection(); // no window: the redraw marks go all the same
    Settle();
    std::vector<Unit *> all;
    ASSERT_TRUE(UndoNotedUnits(&all));
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, selected(LINES * 2 / 3, LINES)) << "the plain units are let go";
    EXPECT_EQ(ObjectSelectionReset(), 1);
    Settle();
    ASSERT_TRUE(UndoNotedUnits(&all));
    EXPECT_TRUE(all.empty());
    for (Unit *u : lines)
        EXPECT_EQ(u->flags, 0u);
}

// In a large drawing a rectangle finds what it takes through the pick index,
// once that is built: the same objects the walk of the list selects, by the
// crossing and by the inside test.
TEST_F(SelectTest, ARectangleInALargeDrawingSelectsWhatTheWalkSelects)
{
    constexpr int LINES = 30000;
    for (int i = 0; i < LINES; ++i)
        TestNewLine((i % 200) * 10.0, (i / 200) * 10.0, (i % 200) * 10.0 + 5.0, (i / 200) * 10.0 + 3.0);
    Geo(-100, 500, 100, 520);                               // unbounded, through the third rectangle
    TestNewLine(-1000, -1000, 5000, 5000);                  // larger than the index's cells take
    TestNewLine(100, 100, 101, 101)->flags |= UNIT_HIDDEN;  // never taken
    TestNewLine(102, 100, 103, 101)->flags |= UNIT_LOCKED;  // taken with the locked ones
    FrameSetEmpty(TestNewLine(7, 7, 8, 8)->frame);          // inside every rectangle
    struct Rect {
        double x1, y1, x2, y2;
        int includeLocked;
    } rects[] = {{95, 95, 125, 115, 0},   {125, 115, 95, 95, 1},  {-50, 490, 30, 530, 0},
                 {1001, 1001, 1001, 1001, 0}, {0, 0, 2000, 1500, 0}};
    const double anywhere[4] = {0, 0, 1, 1};
    std::vector<Unit *> unused;
    for (int inside = 0; inside < 2; ++inside) {
        for (const Rect &r : rects) {
            g_DrawingSettings.displayAreas = inside;
            std::vector<uint32_t> flags[2];
            for (int byIndex = 0; byIndex < 2; ++byIndex) {
                for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
                    u->flags &= ~(UNIT_SELECTED | UNIT_SELECTION_REDRAW);
                if (byIndex)
                    ObjectPickCandidates(anywhere, &unused); // a question builds it
                else
                    ObjectIndexForget();
                ASSERT_EQ(ObjectIndexIsCurrent(), byIndex == 1);
                ObjectSelectByRectangle(r.x1, r.y1, r.x2, r.y2, -1, r.includeLocked);
                flags[byIndex] = FlagWords();
            }
            EXPECT_EQ(flags[1], flags[0]) << r.x1 << " " << r.y1 << (inside ? " inside" : " crossing");
            EXPECT_GT(std::count_if(flags[0].begin(), flags[0].end(), [](uint32_t f) { return f & UNIT_SELECTED; }), 0);
        }
    }
}

TEST_F(SelectTest, TheSelectionFilter)
{
    Unit *line = TestNewLine(0, 0, 1, 1);
    SelectionFilter &f = g_CommandDefaults.filter;
    EXPECT_EQ(ObjectPassesSelectionFilter(line), 1);
    line->property.layer = HIDDEN_LAYER;
    line->property.ownFlags |= XPROP_OWN_LAYER;
    g_LayerDefs[HIDDEN_LAYER].state = 0;
    EXPECT_EQ(ObjectPassesSelectionFilter(line), 0) << "a hidden layer fails even without the filter";
    g_LayerDefs[HIDDEN_LAYER].state = DEF_STATE_DEFAULT;

    Unit group{};
    group.kind = UNIT_KIND_INSTANCE;
    group.property = XPropertyDefault();
    std::strcpy(group.instance.library, "*");
    std::strcpy(group.instance.block, "#G12");
    f.enabled = 1;
    f.classFlags = 0x2;
    EXPECT_EQ(ObjectPassesSelectionFilter(&group), 0);
    f.classFlags = 0x4;
    EXPECT_EQ(ObjectPassesSelectionFilter(&group), 1);
    f.classFlags = 0x1;
    f.typeFlags[OBJTYPE_LINE] = 0;
    EXPECT_EQ(ObjectPassesSelectionFilter(line), 0);
    f.typeFlags[OBJTYPE_LINE] = 1;
    f.propertyMask = 0x10;
    f.values.width = 0.7;
    EXPECT_EQ(ObjectPassesSelectionFilter(line), 0) << "the width differs";
}

TEST_F(SelectTest, PointsNearAndByMask)
{
    Unit *a = TestNewLine(0, 0, 10, 0);
    Unit *b = TestNewLine(10, 0, 10, 10);
    UnitElementAt(a, 1)->pointFlags |= POINT_REDRAW;
    EXPECT_EQ(ObjectSelectPointsNear(0, 50, 50), 0) << "nothing within the aperture";
    EXPECT_EQ(PointFlags(a, 1) & POINT_REDRAW, 0) << "the searched points lose their redraw bit";
    EXPECT_EQ(ObjectSelectPointsNear(0, 10.5, 0.5), 1);
    EXPECT_TRUE(PointFlags(a, 2) & POINT_SELECTED) << "both points at (10, 0)";
    EXPECT_TRUE(PointFlags(b, 1) & POINT_SELECTED);
    EXPECT_TRUE(a->flags & UNIT_POINTS_SELECTED);
    EXPECT_EQ(g_CommandState->pointsSelected, 1);
    EXPECT_EQ(g_CalcPoints[0].x, 10.0);

    Unit *three = TestNewObject(0, OBJTYPE_CURVE, {0, 0, 1, 1, 2, 0});
    SelectPoint(three, 2);
    EXPECT_EQ(ObjectSelectPointsByMask(0), 1);
    EXPECT_TRUE(PointFlags(three, 1) & POINT_SELECTED);
    EXPECT_FALSE(PointFlags(three, 2) & POINT_SELECTED);
    EXPECT_TRUE(three->flags & UNIT_POINTS_SELECTED);

    EXPECT_EQ(ObjectDeselectAllPoints(), 1);
    EXPECT_FALSE(PointFlags(three, 1) & POINT_SELECTED);
    EXPECT_TRUE(PointFlags(three, 1) & POINT_REDRAW);
    EXPECT_EQ(g_CommandState->pointsSelected, 0);
    EXPECT_EQ(ObjectSelectPointsInRect(-1, -1, 0.5, 0.5), 1);
    EXPECT_TRUE(PointFlags(a, 1) & POINT_SELECTED);
    SelectPoint(b, 2);
    EXPECT_EQ(ObjectExtentsSelectedPoints(POINT_SELECTED), 3) << "a, b and the curve at (0, 0)";
    EXPECT_EQ(g_ExtentsRect[2], 10.0);
    EXPECT_EQ(g_ExtentsRect[3], 10.0);
    EXPECT_EQ(g_ExtentsRect[0], 0.0);
    EXPECT_EQ(ObjectClearPointSelection(), 1);
    EXPECT_FALSE(PointFlags(a, 1) & (POINT_SELECTED | POINT_REDRAW));
}

TEST_F(SelectTest, UserMarks)
{
    Unit *u[3] = {TestNewLine(0, 0, 1, 1), TestNewLine(0, 0, 1, 1), TestNewLine(0, 0, 1, 1)};
    for (Unit *x : u)
        x->flags |= UNIT_SELECTED;
    u[1]->flags |= UNIT_USER_MARK;
    EXPECT_EQ(ObjectSetUserBit(UNIT_SELECTED, 1), 1);
    for (Unit *x : u) {
        EXPECT_FALSE(x->flags & UNIT_SELECTED);
        EXPECT_TRUE(x->flags & UNIT_USER_MARK);
    }
    EXPECT_FALSE(u[1]->flags & UNIT_CHANGED);
    EXPECT_TRUE(u[0]->flags & UNIT_CHANGED);
    u[0]->flags |= UNIT_SELECTED;
    EXPECT_EQ(ObjectToggleUserBit(UNIT_SELECTED, UNIT_USER_MARK), 1);
    EXPECT_FALSE(u[0]->flags & UNIT_USER_MARK);
    ObjectMarkCreatedInStep();
    EXPECT_FALSE(u[0]->flags & UNIT_MARKED);
    ObjectMarkByMask(LIST_DRAWING, UNIT_USER_MARK);
    EXPECT_TRUE(u[1]->flags & UNIT_MARKED);
    EXPECT_FALSE(u[0]->flags & UNIT_MARKED);
}

// ---------------------------------------------------------------------------
// Identification.

struct BoxLog {
    std::vector<std::string> captions;
    std::vector<uint32_t> answers; // given in turn; then cancel
    std::vector<int> counts;       // candidates held while the box was open
    std::vector<Unit *> shown;
    size_t next = 0;
};
BoxLog &Box()
{
    static BoxLog log;
    return log;
}
uint32_t AnswerBox(const char *caption, int32_t, int32_t)
{
    BoxLog &b = Box();
    b.captions.push_back(caption);
    b.counts.push_back(g_IdentifyResult.count);
    b.shown.push_back(g_IdentifyResult.shown >= 0 ? g_IdentifyResult.entries[g_IdentifyResult.shown].unit : nullptr);
    if (b.next < b.answers.size())
        return b.answers[b.next++];
    return MULTIPLE_IDENT_CANCEL;
}

class IdentTest : public SelectTest {
protected:
    Box05MultipleIdentHook savedBox_ = nullptr;
    void SetUp() override
    {
        SelectTest::SetUp();
        savedBox_ = g_Box05MultipleIdentHook;
        g_Box05MultipleIdentHook = AnswerBox;
        Box() = BoxLog{};
        ObjectIdentifyAny(0, 0, 0, 0); // the filter: every type
    }
    void TearDown() override
    {
        g_Box05MultipleIdentHook = savedBox_;
        SelectTest::TearDown();
    }
};

TEST_F(IdentTest, AMissChangesNothing)
{
    Box() = BoxLog{};
    TestNewLine(0, 0, 10, 0);
    const int32_t counter = g_IdentCounter;
    EXPECT_EQ(ObjectIdentifyAny(0, 5, 20, 0), 0);
    EXPECT_EQ(g_IdentCounter, counter);
    EXPECT_TRUE(Box().captions.empty());
    EXPECT_EQ(g_DistanceSearchBox.on, 0);
    EXPECT_EQ(g_IdentifyResult.window, -1);
}

TEST_F(IdentTest, OneCandidateIsPickedAtOnce)
{
    Unit *nearer = TestNewLine(0, 0, 10, 0);
    TestNewLine(0, 1.5, 10, 1.5); // farther than the ambiguity of 1 from the best
    const int32_t counter = g_IdentCounter;
    EXPECT_EQ(ObjectIdentifyAny(0, 5, 0.2, 0), 1);
    EXPECT_EQ(nearer->ident, counter);
    EXPECT_TRUE(Box().captions.empty());
}

TEST_F(IdentTest, NearTiesAreSteppedThroughTheBox)
{
    Unit *a = TestNewLine(0, 0, 10, 0);
    Unit *b = TestNewLine(0, 1, 10, 1);
    Box().answers = {MULTIPLE_IDENT_NEXT, MULTIPLE_IDENT_NEXT, MULTIPLE_IDENT_TAKE};
    const int32_t counter = g_IdentCounter;
    EXPECT_EQ(ObjectIdentifyAny(0, 5, 0.4, 0), 1);
    ASSERT_EQ(Box().shown.size(), 3u);
    EXPECT_EQ(Box().shown[0], a) << "the nearer first";
    EXPECT_EQ(Box().shown[1], b);
    EXPECT_EQ(Box().shown[2], a) << "next twice comes back";
    EXPECT_EQ(a->ident, counter);
    EXPECT_NE(Box().captions[0].find("1"), std::string::npos);
    EXPECT_FALSE(a->flags & UNIT_HIGHLIGHTED);
    EXPECT_EQ(g_IdentifyResult.count, 0);
}

TEST_F(IdentTest, EqualDistancesShowTheLaterFirstAndCancelPicksNothing)
{
    PickSetApertures(2, 0);
    TestNewLine(0, 1, 10, 1);
    Unit *later = TestNewLine(0, -1, 10, -1);
    Box().answers = {MULTIPLE_IDENT_PREVIOUS, MULTIPLE_IDENT_CANCEL};
    const int32_t counter = g_IdentCounter;
    EXPECT_EQ(ObjectIdentifyAny(0, 5, 0, 0), 0);
    ASSERT_GE(Box().shown.size(), 1u);
    EXPECT_EQ(Box().shown[0], later);
    EXPECT_EQ(g_IdentCounter, counter);
}

TEST_F(IdentTest, TwentyNearestOfTwentyFive)
{
    PickSetApertures(30, 30);
    for (int i = 0; i < 25; ++i)
        TestNewLine(0, i, 10, i);
    Box().answers = {MULTIPLE_IDENT_TAKE};
    EXPECT_EQ(ObjectIdentifyAny(0, 5, 0, 0), 1);
    ASSERT_EQ(Box().counts.size(), 1u);
    EXPECT_EQ(Box().counts[0], IDENTIFY_CANDIDATES);
}

TEST_F(IdentTest, AFailedBoxCountsAsCancel)
{
    TestNewLine(0, 1, 10, 1);
    TestNewLine(0, -1, 10, -1);
    Box().answers = {MULTIPLE_IDENT_NEXT, 0}; // the box cannot be created the second time
    EXPECT_EQ(ObjectIdentifyAny(0, 5, 0, 0), 0);
    EXPECT_EQ(Box().captions.size(), 2u) << "the loop ended instead of showing again";
    uint32_t answer = MULTIPLE_IDENT_NEXT;
    Box().answers = {0};
    Box().next = 0;
    EXPECT_EQ(Box05MultipleIdent(nullptr, "x", &answer, -1, -1), 0);
    EXPECT_EQ(answer, MULTIPLE_IDENT_CANCEL);
}

TEST_F(IdentTest, HiddenLockedAndFilteredTypes)
{
    Unit *hidden = TestNewLine(0, 0, 10, 0);
    hidden->flags |= UNIT_HIDDEN;
    EXPECT_EQ(ObjectIdentifyAny(0, 5, 0, 0), 0);
    hidden->flags = UNIT_LOCKED;
    EXPECT_EQ(ObjectIdentifyAny(0, 5, 0, 0), 0);
    EXPECT_EQ(ObjectIdentifyAny(0, 5, 0, IDENTIFY_LOCKED_TOO), 1);
    hidden->flags = UNIT_NOT_PICKABLE;
    EXPECT_EQ(ObjectIdentifyAny(0, 5, 0, 0), 1) << "the not-pickable bit is not looked at";
    EXPECT_EQ(ObjectIdentifyCircleFamily(0, 5, 0, 0), 0) << "a line is no circle";
    EXPECT_EQ(ObjectIdentifyLine(0, 5, 0, 0), 1);
    hidden->flags = UNIT_USER_MARK;
    EXPECT_EQ(ObjectIdentifyLine(0, 5, 0, IDENTIFY_SKIP_MARKED), 0);
    EXPECT_EQ(ObjectIdentifyLine(0, 5, 0, IDENTIFY_ONLY_MARKED), 1);
}

TEST_F(IdentTest, ElementsGoToTheCommandSlot)
{
    TestNewLine(0, 0, 10, 0);
    Unit *circle = TestNewObject(0, OBJTYPE_CIRCLE, {20, 0, 25, 0});
    ASSERT_NE(circle, nullptr);
    circle->frame[0] = 15, circle->frame[1] = -5, circle->frame[2] = 25, circle->frame[3] = 5;
    EXPECT_EQ(ObjectIdentifyElement(0, 5, 0.5, COLLECT_LINES | COLLECT_CIRCLES, 1), 1);
    EXPECT_EQ(g_CommandState->elementGeo[1].type, GEO_LINE);
    EXPECT_EQ(ObjectIdentifyElement(0, 25.5, 0, COLLECT_LINES | COLLECT_CIRCLES, 0), 1);
    EXPECT_EQ(g_CommandState->elementGeo[0].type, GEO_CIRCLE);
    EXPECT_EQ(ObjectIdentifyElement(0, 50, 50, COLLECT_LINES, 0), 0);
    EXPECT_EQ(g_CalcCandidateIndex, -1);
    EXPECT_EQ(g_Uni2Owner.locked, 0u) << "the scratch buffer is given back";
}

TEST_F(IdentTest, GeometryOfAnIdentAndTheNearestParts)
{
    Unit *line = TestNewLine(1, 2, 3, 4);
    UndoAssignIdent(line);
    GeoObject g{};
    EXPECT_EQ(ObjectGetIdentGeometry(line->ident, &g), OBJTYPE_LINE);
    EXPECT_EQ(g.d[2], 3.0);
    EXPECT_EQ(ObjectGetIdentGeometry(line->ident + 100, &g), -1);

    std::vector<PathStep> steps = PickSquare(0, 0, 10, 10);
    for (const PathStep &s : PickSquare(20, 0, 30, 10))
        steps.push_back(s);
    Unit *curve = PickNewPath(OBJTYPE_CURVE, steps);
    const int32_t second = ObjectNearestPathPoint(curve, 31, 5);
    EXPECT_EQ(second, static_cast<int32_t>(4 * ELEM_SIZE_POINT)) << "the start of the second figure";
    Unit *surface = PickNewPath(OBJTYPE_SURFACE, PickSquare(0, 0, 10, 10));
    EXPECT_EQ(ObjectNearestSegment(surface, 0, -1, 5, &g), IDENTIFY_CLOSING_EDGE);
    EXPECT_EQ(g.type, GEO_LINE);
    EXPECT_EQ(g.d[0], 0.0);
    EXPECT_EQ(g.d[1], 10.0);
    EXPECT_EQ(ObjectNearestSegment(surface, 0, 5, -1, &g), static_cast<int32_t>(ELEM_SIZE_POINT));
}

} // namespace

namespace {

// Large drawings are picked through the pick index: the same answers as the walk.
TEST_F(IdentTest, ThePickIndexAnswersLikeTheWalk)
{
    constexpr int LINES = 30000;
    std::vector<Unit *> lines;
    for (int i = 0; i < LINES; ++i)
        lines.push_back(TestNewLine((i % 200) * 10.0, (i / 200) * 10.0, (i % 200) * 10.0 + 5.0, (i / 200) * 10.0));
    int32_t counter = g_IdentCounter;
    EXPECT_EQ(ObjectIdentifyAny(0, 1232.5, 610.5, 0), 1);
    EXPECT_EQ(lines[61 * 200 + 123]->ident, counter) << "the line at (1230, 610)";
    // Equal distances: the later one shown first, as with the walk.
    Unit *twin = TestNewLine(1230.0, 611.0, 1235.0, 611.0);
    Box().answers = {MULTIPLE_IDENT_TAKE};
    PickSetApertures(2, 0);
    EXPECT_EQ(ObjectIdentifyAny(0, 1232.5, 610.5, 0), 1);
    ASSERT_EQ(Box().shown.size(), 1u);
    EXPECT_EQ(Box().shown[0], twin);
    // A unit that moved is found at its new place after its frame is computed.
    Unit *moved = lines[5];
    for (Element *e = UnitFirstElement(moved); e->kind != ELEM_END; e = ElementNext(e))
        reinterpret_cast<ElementPoint *>(e)->y += 5000.0;
    FrameCalcObject(moved, 0);
    counter = g_IdentCounter;
    EXPECT_EQ(ObjectIdentifyAny(0, 52.5, 5000.5, 0), 1);
    EXPECT_EQ(moved->ident, counter);
    // Unbounded objects are found anywhere.
    Unit *geo = TestNewObject(0, OBJTYPE_GEO_LINE, {-100, -100, -100, 100});
    geo->frame[0] = geo->frame[1] = -FRAME_INFINITE;
    geo->frame[2] = geo->frame[3] = FRAME_INFINITE;
    FrameCalcObject(geo, 0);
    counter = g_IdentCounter;
    EXPECT_EQ(ObjectIdentifyGeo(0, -100.5, 3000, 0), 1);
    EXPECT_EQ(geo->ident, counter);
}

// The index follows creation, change, undo, redo and deletion one unit at a
// time: it is never built again, and a pick finds what the walk would find.
TEST_F(IdentTest, ThePickIndexFollowsEditsWithoutBeingBuiltAgain)
{
    constexpr int LINES = 30000;
    std::vector<Unit *> lines;
    for (int i = 0; i < LINES; ++i)
        lines.push_back(TestNewLine((i % 200) * 10.0, (i / 200) * 10.0, (i % 200) * 10.0 + 5.0, (i / 200) * 10.0));
    auto pickedAt = [](double x, double y) -> Unit * {
        const int32_t counter = g_IdentCounter;
        if (ObjectIdentifyAny(0, x, y, 0) != 1)
            return nullptr;
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            if (u->ident == counter)
                return u;
        return nullptr;
    };
    EXPECT_EQ(pickedAt(1232.5, 610.5), lines[61 * 200 + 123]);
    const uint32_t builds = g_ObjectIndexBuilds;

    // Created beyond everything there was.
    Unit *fresh = TestNewLine(5000.0, 5000.0, 5010.0, 5000.0);
    EXPECT_EQ(pickedAt(5005.0, 5000.5), fresh);

    // Turned a quarter about its start through the selection's transformation.
    Unit *turned = lines[61 * 200 + 123];
    turned->flags |= UNIT_SELECTED;
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, -1230.0, -610.0);
    MatrixRotate(&m, CALC_PI / 2);
    MatrixMove(&m, 1230.0, 610.0);
    ASSERT_EQ(ObjectTransformSelection(&m, 0, 0, 0), 1);
    EXPECT_EQ(pickedAt(1230.3, 614.0), turned) << "at its new place";
    EXPECT_EQ(pickedAt(1234.0, 610.3), nullptr) << "not at its old one";

    // Undone and redone.
    ASSERT_EQ(UndoStepBack(), 1);
    Unit *before = pickedAt(1234.0, 610.3);
    ASSERT_NE(before, nullptr) << "the old state is back";
    EXPECT_NE(before, turned);
    EXPECT_EQ(pickedAt(1230.3, 614.0), nullptr);
    ASSERT_EQ(UndoStepForward(), 1);
    EXPECT_EQ(pickedAt(1230.3, 614.0), turned);

    // Gone from the list.
    MemListDelete(LIST_DRAWING, fresh);
    EXPECT_EQ(pickedAt(5005.0, 5000.5), nullptr);
    EXPECT_EQ(g_ObjectIndexBuilds, builds) << "never built again";
}

} // namespace

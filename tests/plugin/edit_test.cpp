// The edit services on the selection and on selected points, the page
// exports, and calls with bad arguments: refused as the interface's
// conventions say, and nothing damaged.
#include "plugin_fixture.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "app/system.h"
#include "app/system_defs.h"
#include "common/test_objects.h"
#include "database/undo.h"
#include "geometry/matrix.h"

namespace {

class Edits : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        UndoReset();
        a_ = TestNewLine(0, 0, 10, 0);
        b_ = TestNewLine(0, 5, 10, 5);
        ASSERT_TRUE(a_ && b_);
        for (Unit *u : {a_, b_}) {
            UndoStampPermanent(u);
            u->flags |= UNIT_SELECTED;
        }
    }
    // The x of the start points of the alive lines, in drawing order.
    static std::vector<double> StartXs()
    {
        std::vector<double> xs;
        for (Unit *u : TestAliveUnits())
            xs.push_back(static_cast<const double *>(ElementPayload(UnitFirstElement(u)))[0]);
        return xs;
    }
    static Element *EndPoint(Unit *u) { return ElementNext(UnitFirstElement(u)); }
    Unit *a_ = nullptr, *b_ = nullptr;
};

// A change keeps the object's address for its new state: the old state is a
// backup in front of it that dies in the step, so undo brings back the
// backups and redo the changed objects. A plug-in that kept an address over
// an undo holds an object that is no longer alive, and the delete refuses it.
TEST_F(Edits, TheSelectionIsCountedMovedAsOneStepAndADeletedObjectGoes)
{
    double frame[4] = {};
    EXPECT_EQ(ZVI_EditIdentCount(0, frame), 2);
    EXPECT_EQ(frame[0], 0.0);
    EXPECT_EQ(frame[3], 5.0);
    const int32_t step = g_UndoStep;
    Matrix move;
    MatrixInit(&move);
    MatrixMove(&move, 3, 0);
    ZVI_UndoInitProcess();
    EXPECT_EQ(ZVI_EditIdentMatrix(0, &move, 0), 1);
    ZVI_UndoFinishProcess();
    EXPECT_EQ(g_UndoStep, step + 1);
    EXPECT_EQ(TestAliveUnits(), (std::vector<Unit *>{a_, b_}));
    EXPECT_EQ(StartXs(), (std::vector<double>{3.0, 3.0}));

    ASSERT_EQ(UndoStepBack(), 1);
    const std::vector<Unit *> old = TestAliveUnits();
    ASSERT_EQ(old.size(), 2u);
    EXPECT_NE(old[0], a_);
    EXPECT_NE(old[1], b_);
    EXPECT_EQ(StartXs(), (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(static_cast<const double *>(ElementPayload(UnitFirstElement(old[1])))[1], 5.0)
        << "the backups keep the drawing order";

    ZVI_EditDelete(0, a_);
    EXPECT_EQ(TakeReason(), "UnitPtr invalid!") << "the moved state is not alive after the undo";
    ZVI_UndoInitProcess();
    ZVI_EditDelete(0, old[0]);
    ZVI_UndoFinishProcess();
    EXPECT_EQ(TestAliveUnits(), std::vector<Unit *>{old[1]});
    ZVI_EditDelete(0, nullptr);
    EXPECT_EQ(TakeReason(), "UnitPtr invalid!");

    // The delete dropped the redo step of the move; its undo gives both back.
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(TestAliveUnits(), old);
    EXPECT_EQ(UndoStepForward(), 1);
    EXPECT_EQ(TestAliveUnits(), std::vector<Unit *>{old[1]});
}

TEST_F(Edits, OnlySelectedPointsMove)
{
    EndPoint(a_)->pointFlags |= POINT_SELECTED;
    double frame[4] = {};
    EXPECT_EQ(ZVI_EditPointsCount(0, frame), 1);
    EXPECT_EQ(frame[0], 10.0);
    EXPECT_EQ(frame[2], 10.0);
    Matrix move;
    MatrixInit(&move);
    MatrixMove(&move, 0, 2);
    ZVI_UndoInitProcess();
    EXPECT_EQ(ZVI_EditPointsMatrix(0, &move, 0), 1);
    ZVI_UndoFinishProcess();
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 2u);
    const auto *start = static_cast<const double *>(ElementPayload(UnitFirstElement(alive[0])));
    const auto *end = static_cast<const double *>(ElementPayload(EndPoint(alive[0])));
    EXPECT_EQ(start[1], 0.0) << "the start point was not selected";
    EXPECT_EQ(end[1], 2.0);
    EXPECT_EQ(ZVI_EditPointsMatrix(0, nullptr, 0), 0);
    EXPECT_EQ(TakeReason(), "Matrix address invalid!");
}

TEST_F(Edits, PagesAreAddedReadReplacedActivatedAndCounted)
{
    const PageTable saved = g_PageDefs;
    g_PageDefs.count = 1;
    g_PageDefs.active = 0;
    PageDef page{};
    page.format = 0;
    page.width = 420;
    page.height = 297;
    EXPECT_EQ(ZVI_PageAddDef(0, &page), 1);
    EXPECT_EQ(ZVI_PageGetNumber(), 2);
    EXPECT_EQ(ZVI_PageSetActive(0, 1), 1);
    PageDef out{};
    EXPECT_EQ(ZVI_PageGetCurrentDef(&out), 1);
    EXPECT_EQ(out.width, 420.0);
    page.height = 594;
    EXPECT_EQ(ZVI_PageSetDef(0, 1, &page), 1);
    EXPECT_EQ(ZVI_PageGetDef(0, 1, &out), 1);
    EXPECT_EQ(out.height, 594.0);
    EXPECT_EQ(ZVI_PageGetDef(0, 2, &out), 0);
    EXPECT_EQ(TakeReason(), "Index invalid!");
    EXPECT_EQ(ZVI_PageSetActive(0, -1), 0);
    EXPECT_EQ(TakeReason(), "Index invalid!");
    EXPECT_EQ(ZVI_PageSetDef(0, 0, nullptr), 0);
    EXPECT_EQ(TakeReason(), "Data address invalid!");
    g_PageDefs.count = PAGE_SLOTS;
    EXPECT_EQ(ZVI_PageAddDef(0, &page), 0);
    EXPECT_EQ(TakeReason(), "Already 100 pages defined!");
    g_PageDefs = saved;
}

int ZVI_CALL EveryPoint(Unit *, Element *) { return 1; }

// Bad arguments: each call's result and reason, and the drawing as it was.
TEST_F(Edits, MisuseIsRefusedOrIgnoredAsTheInterfaceSays)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Matrix broken = {1, 0, 0, 1, nan, 0};
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 64);
    ASSERT_NE(block, nullptr);
    struct Case {
        const char *call;
        std::function<int()> run;
        int result;
        const char *reason; // "" when nothing is reported
    };
    const std::vector<Case> cases = {
        // Unknown settings are ignored (the call has no failure).
        {"ZVI_SettingSet(1000000, 5)", [] { return ZVI_SettingSet(1000000, 5); }, 1, ""},
        // Only drawing 0 exists; the number is taken for it.
        {"ZVI_EnumeratePoints(3)", [] { return ZVI_EnumeratePoints(3, EveryPoint); }, 1, ""},
        // A size the block does not have would let the writer run past it.
        {"ZVI_FileWriteInitMemory(-1)",
         [&] {
             const int r = ZVI_FileWriteInitMemory(block, -1);
             ZVI_FileWriteExit();
             return r;
         },
         0, ""},
        {"ZVI_FileWriteInitMemory(too large)",
         [&] {
             const int r = ZVI_FileWriteInitMemory(block, 1 << 20);
             ZVI_FileWriteExit();
             return r;
         },
         0, ""},
        {"ZVI_FileReadInitDisk(INVALID_HANDLE_VALUE)",
         [] {
             const int r = ZVI_FileReadInitDisk(INVALID_HANDLE_VALUE);
             ZVI_FileReadExit();
             return r;
         },
         0, ""},
        {"ZVI_EditIdentMatrix(NaN)", [&] { return ZVI_EditIdentMatrix(0, &broken, 0); }, 0, "Matrix invalid!"},
        {"ZVI_EditPointsMatrix(NaN)", [&] { return ZVI_EditPointsMatrix(0, &broken, 0); }, 0, "Matrix invalid!"},
        {"ZVI_EditUnitPointsMatrix(NaN)",
         [&] {
             ZVI_EditUnitPointsMatrix(a_, &broken);
             return 0;
         },
         0, "Matrix invalid!"},
    };
    const std::vector<double> before = StartXs();
    const int32_t step = g_UndoStep;
    for (const Case &c : cases) {
        EXPECT_EQ(c.run(), c.result) << c.call;
        EXPECT_EQ(TakeReason(), c.reason) << c.call;
    }
    EXPECT_EQ(StartXs(), before) << "no object changed";
    EXPECT_EQ(g_UndoStep, step);
    for (Unit *u : TestAliveUnits())
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(std::isfinite(u->frame[i]));
    // The memory sink still works with the block's own size.
    EXPECT_EQ(ZVI_FileWriteInitMemory(block, 64), 1);
    ZVI_FileWriteExit();
    GlobalFree(block);
}

// A full-size short text is what a non-zero switch asks for, -1 included;
// a module number is the plug-in's own tag, -1 included.
TEST_F(Edits, SwitchesAndTagsTakeAnyValue)
{
    ASSERT_NE(ZVI_ObjectOpen(35), nullptr);
    EXPECT_EQ(ZVI_ObjectAddTextShort("abc", -1), 1);
    ZVI_ObjectClose();
    Unit *u = ZVI_UserOpen(-1, -1);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->module, -1);
    ZVI_UserClose();
    EXPECT_TRUE(Messages().empty());
}

} // namespace

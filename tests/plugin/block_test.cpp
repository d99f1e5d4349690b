// The block and group builders: refusals, members going into the open
// group, and a group applied to a plug-in object inside an undo step.
#include "plugin_fixture.h"

#include <cstring>
#include <string>
#include <vector>

#include "app/system.h"
#include "common/test_files.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "database/symbol_library.h"
#include "database/undo.h"
#include "files/file_library.h"

namespace {

class Blocks : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        UndoReset();
    }

    static int FastLine()
    {
        if (!ZVI_ObjectOpen(0))
            return 0;
        ZVI_ObjectAddPoint(1, 0, 0);
        ZVI_ObjectAddPoint(2, 1, 0);
        return ZVI_ObjectFastInsert();
    }
    static int Members(const Unit *block)
    {
        int n = 0;
        for (const Unit *m = block->block.firstMember; m; m = m->next)
            ++n;
        return n;
    }
};

TEST_F(Blocks, RefusalsOfTheBlockBuilder)
{
    Unit *b = ZVI_BlockOpen();
    ASSERT_NE(b, nullptr);
    std::strcpy(b->block.name, "B1");
    // An object still open keeps the block open and unterminated.
    ASSERT_NE(ZVI_ObjectOpen(0), nullptr);
    EXPECT_EQ(ZVI_BlockAddEnd(), 0);
    EXPECT_EQ(TakeReason(), "Object or Instance still open!");
    ZVI_ObjectClose();
    EXPECT_EQ(ZVI_BlockInsert(0, "*"), nullptr);
    EXPECT_EQ(TakeReason(), "Block is not correctly terminated!");
    EXPECT_EQ(ZVI_BlockInsert(0, std::string(65, 'L').c_str()), nullptr);
    EXPECT_EQ(TakeReason(), "LibraryName too long!");
    EXPECT_EQ(ZVI_BlockAddEnd(), 1);
    EXPECT_EQ(ZVI_BlockInsert(0, "no such library"), nullptr);
    EXPECT_EQ(TakeReason(), "Library not found!");
    Unit *stored = ZVI_BlockInsert(0, "*");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(SymbolFindBlock("*", "B1"), stored);
    ZVI_BlockClose();
    // The same name again.
    std::strcpy(ZVI_BlockOpen()->block.name, "B1");
    ZVI_BlockAddEnd();
    EXPECT_EQ(ZVI_BlockInsert(0, "*"), nullptr);
    EXPECT_EQ(TakeReason(), "Block already exists!");
    ZVI_BlockClose();
    // Without an instance the builder's own property comes back.
    std::strcpy(ZVI_BlockOpen()->block.name, "B2");
    EXPECT_NE(ZVI_BlockFastInsert(0, nullptr), nullptr);
    EXPECT_NE(SymbolFindBlock("*", "B2"), nullptr);
    EXPECT_EQ(ListCount(LIST_DRAWING), 0);
    // With one an instance of it is placed in the drawing.
    std::strcpy(ZVI_BlockOpen()->block.name, "B3");
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, 5, 5);
    EXPECT_NE(ZVI_BlockFastInsert(1, &m), nullptr);
    ASSERT_EQ(ListCount(LIST_DRAWING), 1);
    EXPECT_STREQ(g_ObjectLists[LIST_DRAWING].head->instance.block, "B3");
    EXPECT_EQ(g_ObjectLists[LIST_DRAWING].head->instance.placement.tx, 5.0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Blocks, MembersGoIntoTheOpenGroup)
{
    ASSERT_NE(ZVI_BlockOpen(), nullptr);
    Unit *g = ZVI_GroupOpen();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(std::string(g->block.name).substr(0, 2), "#G");
    EXPECT_EQ(ZVI_GroupOpen(), nullptr);
    EXPECT_EQ(TakeReason(), "Group already opened!");
    EXPECT_EQ(FastLine(), 1);
    EXPECT_EQ(FastLine(), 1);
    EXPECT_EQ(ListCount(LIST_DRAWING), 0);
    EXPECT_EQ(Members(g), 2);
    const std::string name = g->block.name;
    Unit *stored = ZVI_GroupInsert(0);
    EXPECT_EQ(TakeReason(), "Group is not correctly terminated!");
    ASSERT_EQ(ZVI_GroupAddEnd(), 1);
    stored = ZVI_GroupInsert(0);
    ASSERT_NE(stored, nullptr);
    ZVI_GroupClose();
    EXPECT_EQ(Members(stored), 2);
    EXPECT_EQ(SymbolFindBlock("*", name.c_str()), stored);
    // A second group gets a name of its own.
    Unit *g2 = ZVI_GroupOpen();
    EXPECT_NE(name, g2->block.name);
    // Closing a group that was never stored frees its members.
    FastLine();
    ZVI_GroupClose();
    ZVI_BlockClose();
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Blocks, AGroupAppliedToAPluginObjectIsUndone)
{
    UndoInitProcess();
    ASSERT_NE(ZVI_UserOpen(3, 0), nullptr);
    std::strcpy(ZVI_UserGetAddress()->instance.library, "*");
    std::strcpy(ZVI_UserGetAddress()->instance.block, "old");
    ZVI_UserAddEnd();
    Unit *object = ZVI_UserInsert(0, nullptr);
    ZVI_UserClose();
    UndoFinishProcess();
    ASSERT_NE(object, nullptr);

    EXPECT_EQ(ZVI_GroupApplyToUser(nullptr), 0);
    EXPECT_NE(Messages().back().find("()\nUserPtr invalid!"), std::string::npos);
    Messages().clear();
    EXPECT_EQ(ZVI_GroupApplyToUser(object), 0);
    EXPECT_EQ(TakeReason(), "Group not open!");

    UndoInitProcess();
    Unit *g = ZVI_GroupOpen();
    const std::string name = g->block.name;
    FastLine();
    EXPECT_EQ(ZVI_GroupApplyToUser(object), 1);
    UndoFinishProcess();
    EXPECT_STREQ(object->instance.block, name.c_str());
    EXPECT_EQ(object->instance.libraryIndex, LIBRARY_INDEX_OWN);

    // Undo shows the object as it was.
    ASSERT_EQ(UndoStepBack(), 1);
    int alive = 0;
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u)) {
        ++alive;
        EXPECT_STREQ(u->instance.block, "old");
    }
    EXPECT_EQ(alive, 1);
}

} // namespace

namespace {

TEST_F(Blocks, EditLinksAndBlockDeletesWithUndo)
{
    UndoInitProcess();
    FastLine();
    FastLine();
    UndoFinishProcess();
    Unit *first = g_ObjectLists[LIST_DRAWING].head;
    Unit *second = first->next;
    UndoInitProcess();
    Unit *copy = ZVI_EditLinkBehind(0, first, nullptr, 0);
    UndoFinishProcess();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(g_ObjectLists[LIST_DRAWING].tail, copy);
    auto alive = [] {
        std::vector<Unit *> v;
        for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
            v.push_back(u);
        return v;
    };
    EXPECT_EQ(alive(), (std::vector<Unit *>{second, copy}));
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(alive(), (std::vector<Unit *>{first, second}));
    Unit stranger{};
    EXPECT_EQ(ZVI_EditLinkBefore(0, &stranger, nullptr, 0), nullptr);
    EXPECT_EQ(TakeReason(), "UnitPtr invalid!");

    // A block an instance uses is kept when only unused ones may go.
    std::strcpy(ZVI_BlockOpen()->block.name, "USED");
    ASSERT_NE(ZVI_BlockFastInsert(1, nullptr), nullptr);
    std::strcpy(ZVI_BlockOpen()->block.name, "FREE");
    ASSERT_NE(ZVI_BlockFastInsert(0, nullptr), nullptr);
    EXPECT_EQ(ZVI_EditBlockDelete(0, "USED", "*", 1), 0);
    EXPECT_NE(SymbolFindBlock("*", "USED"), nullptr);
    EXPECT_EQ(ZVI_EditBlockDelete(0, "FREE", "*", 1), 1);
    EXPECT_EQ(SymbolFindBlock("*", "FREE"), nullptr);
    EXPECT_EQ(ZVI_EditBlockDelete(0, nullptr, "*", 1), 0);
    EXPECT_EQ(TakeReason(), "BlockName address invalid!");
}

TEST_F(Blocks, AMirrorTurnsAnArcAndKeepsItsSweep)
{
    ASSERT_NE(ZVI_ObjectOpen(6), nullptr);
    ZVI_ObjectAddPoint(3, 0, 0);
    ZVI_ObjectAddPoint(4, 1, 0);
    ZVI_ObjectAddPoint(5, 1, 0);
    ZVI_ObjectAddPoint(5, 0, 1);
    ZVI_ObjectAddOrient(1.5);
    ZVI_ObjectAddCurve(2.0, 0.25);
    ZVI_ObjectAddEnd();
    Unit *arc = ZVI_ObjectGetAddress();
    Matrix mirror;
    MatrixInit(&mirror);
    MatrixMirrorX(&mirror);
    ZVI_EditUnitPointsMatrix(arc, &mirror);
    const Element *e = UnitElementAt(arc, 5);
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->kind, ELEM_ORIENT);
    EXPECT_EQ(static_cast<const double *>(ElementPayload(e))[0], -1.5);
    const Element *c = UnitElementAt(arc, 7);
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->kind, ELEM_CURVE);
    EXPECT_EQ(static_cast<const double *>(ElementPayload(c))[0], -2.0);
    EXPECT_EQ(static_cast<const double *>(ElementPayload(c))[1], -0.25);
    ZVI_ObjectClose();
    ZVI_EditUnitPointsMatrix(nullptr, &mirror);
    EXPECT_NE(Messages().back().find("()\nUnitPtr invalid!"), std::string::npos);
}

// --- blocks stored into an open library

std::vector<std::string> g_BlockNames;

int __stdcall CollectBlockNames(EnumerateRecord *r)
{
    if (r->command == ENUM_CMD_BLOCK_NAME)
        g_BlockNames.push_back(std::string(r->name2) + " in " + r->name1);
    return 1;
}

class LibraryBlocks : public Blocks {
protected:
    void SetUp() override
    {
        Blocks::SetUp();
        ASSERT_EQ(ZVI_InitFileBuffers(), 1);
        ResetLibraries();
        g_LibrarySlots.count = 1;
        std::strcpy(g_LibrarySlots.slots[0].info.title, "Parts");
        g_LibrarySlots.slots[0].caching = 0; // wholly in memory
    }
    void TearDown() override
    {
        ResetLibraries();
        Blocks::TearDown();
    }
    static void ResetLibraries()
    {
        while (g_LibrarySlots.count)
            FileRemoveLibrary(g_LibrarySlots.count - 1);
        for (LibrarySlot &slot : g_LibrarySlots.slots)
            SymbolFreeLibrarySlot(&slot);
        g_LibraryBlockIndex.count = 0;
    }
    // A block of one line (0,0)-(1,0) stored into the library.
    static Unit *LineBlock(const char *name, const char *library)
    {
        std::strcpy(ZVI_BlockOpen()->block.name, name);
        FastLine();
        ZVI_BlockAddEnd();
        Unit *stored = ZVI_BlockInsert(0, library);
        ZVI_BlockClose();
        return stored;
    }
};

TEST_F(LibraryBlocks, ABlockStoredIntoALibraryIsIndexedAndLinked)
{
    LibrarySlot &parts = g_LibrarySlots.slots[0];
    parts.modified = 0;
    Unit *inner = LineBlock("Inner", "Parts");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(parts.modified, 1u);
    const int32_t innerPos = SymbolFindBlockIndex(0, "Inner", 0);
    ASSERT_GE(innerPos, 0);
    EXPECT_EQ(SymbolGetBlockByIndex(0, innerPos), inner);

    // A block whose member names "*": inside a library that is the library itself.
    std::strcpy(ZVI_BlockOpen()->block.name, "Outer");
    Unit *i = ZVI_InstanceOpen();
    std::strcpy(i->instance.library, "*");
    std::strcpy(i->instance.block, "Inner");
    ZVI_InstanceAddEnd();
    ASSERT_NE(ZVI_InstanceInsert(0, nullptr), nullptr);
    ZVI_InstanceClose();
    ZVI_BlockAddEnd();
    Unit *outer = ZVI_BlockInsert(0, "Parts");
    ZVI_BlockClose();
    ASSERT_NE(outer, nullptr);
    const Unit *member = outer->block.firstMember;
    ASSERT_NE(member, nullptr);
    EXPECT_EQ(member->instance.libraryIndex, 0);
    EXPECT_EQ(member->instance.blockIndex, SymbolFindBlockIndex(0, "Inner", 0));
    EXPECT_EQ(member->instance.unresolved, 0);
    // The frame comes through the linked member.
    EXPECT_NEAR(outer->frame[0], 0.0, 1e-9);
    EXPECT_NEAR(outer->frame[2], 1.0, 1e-9);

    g_BlockNames.clear();
    ASSERT_EQ(ZVI_EnumerateLibrary(0, "Parts", ENUM_BLOCK_NAMES, CollectBlockNames), 1);
    EXPECT_EQ(g_BlockNames, (std::vector<std::string>{"Inner in Parts", "Outer in Parts"}));
    EXPECT_EQ(ListCount(LIST_OWN_BLOCKS), 0) << "nothing went into the drawing";
    EXPECT_TRUE(Messages().empty());

    // A library that may not be saved takes nothing; a name taken is refused.
    EXPECT_EQ(LineBlock("Inner", "Parts"), nullptr);
    EXPECT_EQ(TakeReason(), "Block already exists!");
    parts.save = 0;
    EXPECT_EQ(LineBlock("Other", "Parts"), nullptr);
    EXPECT_EQ(TakeReason(), "Library may not be modified!");
    EXPECT_EQ(SymbolFindBlockIndex(0, "Other", 0), -1);
}

TEST_F(LibraryBlocks, TheFrameOfABlockReadOnDemandLoadsItWhenAsked)
{
    ASSERT_NE(LineBlock("Bolt", "Parts"), nullptr);
    TestTempFile file("frameparts.zvl");
    ASSERT_EQ(FileWriteLibrary(file.Path(), 0, FILE_SECTIONS_LIBRARY), 1);
    FileRemoveLibrary(0);
    ASSERT_EQ(FileOpenLibrary(file.Path(), 1, 1, 1), 0);
    ASSERT_EQ(ListCount(LIST_SYMBOL_LIBRARY_FIRST), 0);

    double frame[4] = {};
    EXPECT_EQ(ZVI_CalcBlockFrame(0, "Bolt", "Parts", nullptr, frame, 0), 0);
    EXPECT_EQ(frame[0], 1e300);
    EXPECT_EQ(ListCount(LIST_SYMBOL_LIBRARY_FIRST), 0) << "without load nothing is read";
    // With load the block comes from the file; a move applies to its frame.
    Matrix m;
    MatrixInit(&m);
    MatrixMove(&m, 10, 20);
    EXPECT_EQ(ZVI_CalcBlockFrame(0, "Bolt", "Parts", &m, frame, 1), 1);
    EXPECT_NEAR(frame[0], 10.0, 1e-9);
    EXPECT_NEAR(frame[1], 20.0, 1e-9);
    EXPECT_NEAR(frame[2], 11.0, 1e-9);
    EXPECT_EQ(ListCount(LIST_SYMBOL_LIBRARY_FIRST), 1);
    // A block the file lacks stays unknown.
    EXPECT_EQ(ZVI_CalcBlockFrame(0, "Nut", "Parts", nullptr, frame, 1), 0);
    EXPECT_EQ(frame[2], -1e300);
    EXPECT_TRUE(Messages().empty());
}

} // namespace

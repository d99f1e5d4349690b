#include "common/test_objects.h"

#include <gtest/gtest.h>

#include <cmath>

#include "database/object_ident.h"
#include "database/object_types.h"
#include "database/symbol_block.h"
#include "database/storage.h"
#include "database/undo.h"
#include "geometry/frame.h"

void TestSetFrameFromPoints(Unit *u, const std::vector<double> &xy)
{
    u->frame[0] = u->frame[1] = 1e300;
    u->frame[2] = u->frame[3] = -1e300;
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        u->frame[0] = std::fmin(u->frame[0], xy[i]);
        u->frame[1] = std::fmin(u->frame[1], xy[i + 1]);
        u->frame[2] = std::fmax(u->frame[2], xy[i]);
        u->frame[3] = std::fmax(u->frame[3], xy[i + 1]);
    }
    ObjectIndexNoteFrame(u); // as the program's frame computation tells it
}

void TestInitUnitHeader(Unit *u)
{
    u->birth = UNIT_BIRTH_ALWAYS;
    u->death = UNIT_DEATH_ALIVE;
    u->property = XPropertyDefault();
}

Unit *TestNewObject(int list, int32_t type, const std::vector<double> &xy, uint32_t points)
{
    const ObjectChainShape shape{points ? points : static_cast<uint32_t>(xy.size() / 2), nullptr};
    const uint32_t bytes = ObjectChainSize(type, shape);
    EXPECT_GT(bytes, 0u);
    Unit *u = MemListNewObject(list, bytes, nullptr);
    EXPECT_NE(u, nullptr);
    if (!u)
        return nullptr;
    TestInitUnitHeader(u);
    EXPECT_EQ(ObjectWriteChain(u, bytes, type, shape), bytes);
    size_t i = 0;
    for (Element *e = UnitFirstElement(u); e->kind != ELEM_END && i + 1 < xy.size(); e = ElementNext(e))
        if (ElementIsPoint(e)) {
            auto *p = reinterpret_cast<ElementPoint *>(e);
            p->x = xy[i];
            p->y = xy[i + 1];
            i += 2;
        }
    TestSetFrameFromPoints(u, xy);
    return u;
}

Unit *TestNewLine(double x1, double y1, double x2, double y2)
{
    return TestNewObject(0, OBJTYPE_LINE, {x1, y1, x2, y2});
}

bool TestFreshObjectLists()
{
    MemFreeChunks();
    MemInitLists();
    return MemEnlargeList() == 1;
}

std::vector<Unit *> TestAliveUnits()
{
    std::vector<Unit *> units;
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        if (UndoIsVisible(u, g_UndoStep))
            units.push_back(u);
    return units;
}

void TestSelect(Unit *u)
{
    u->flags |= UNIT_SELECTED;
    UndoNoteUnit(u);
}

bool TestAddLineToBlock(Unit *block, double x1, double y1, double x2, double y2)
{
    Unit *line = TestNewLine(x1, y1, x2, y2);
    if (!line)
        return false;
    const Unit *member = SymbolAddMember(LIST_OWN_BLOCKS, block, line);
    MemListDelete(LIST_DRAWING, line);
    FrameSetEmpty(block->block.blockFrame);
    FrameCalcBlock(block, 1);
    return member != nullptr;
}

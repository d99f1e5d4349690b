// Units for the undo and display-flag tests, built directly in the object lists.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_undo.h"
#include "database/undo.h"
#include "files/file_drawinginfo.h"

// Empties lists 0 and 1 and the own-block index; starts a fresh history.
inline void UndoTestClearDrawing()
{
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u;)
        u = MemListDelete(LIST_DRAWING, u);
    for (Unit *b = g_ObjectLists[LIST_OWN_BLOCKS].head; b;)
        b = SymbolDeleteBlock(LIST_OWN_BLOCKS, b);
    g_OwnBlockIndex.count = 0;
    UndoReset();
    g_UndoSteps = UNDO_WINDOW_DEFAULT;
    g_DrawingInfo.modified = 0;
}

// A line (kind 0, type 0) with an empty chain, always existing, at the end of list 0.
inline Unit *UndoTestNewLine(double x1 = 0, double y1 = 0, double x2 = 1, double y2 = 1)
{
    const uint32_t bytes = UNIT_ELEMENTS_OBJECT + ELEM_SIZE_END;
    Unit *u = MemListNewObject(LIST_DRAWING, bytes, nullptr);
    EXPECT_NE(u, nullptr);
    if (!u)
        return nullptr;
    std::memset(reinterpret_cast<uint8_t *>(u) + 16, 0, bytes - 16);
    u->frame[0] = x1, u->frame[1] = y1, u->frame[2] = x2, u->frame[3] = y2;
    u->kind = UNIT_KIND_OBJECT;
    u->property = XPropertyDefault();
    u->object.type = OBJTYPE_LINE;
    u->object.reserved = -1;
    Element *end = UnitFirstElement(u);
    end->size = ELEM_SIZE_END;
    end->kind = ELEM_END;
    UndoStampPermanent(u);
    return u;
}

// An instance of an own block (library "*").
inline Unit *UndoTestNewInstance(const char *blockName)
{
    const uint32_t bytes = UNIT_ELEMENTS_INSTANCE + ELEM_SIZE_END;
    Unit *u = MemListNewObject(LIST_DRAWING, bytes, nullptr);
    EXPECT_NE(u, nullptr);
    if (!u)
        return nullptr;
    std::memset(reinterpret_cast<uint8_t *>(u) + 16, 0, bytes - 16);
    u->kind = UNIT_KIND_INSTANCE;
    u->property = XPropertyDefault();
    std::strcpy(u->instance.library, "*");
    std::strcpy(u->instance.block, blockName);
    u->instance.libraryIndex = LIBRARY_INDEX_OWN;
    u->instance.blockIndex = UNIT_INDEX_UNRESOLVED;
    Element *end = UnitFirstElement(u);
    end->size = ELEM_SIZE_END;
    end->kind = ELEM_END;
    UndoStampPermanent(u);
    return u;
}

// A block of list 1 without members.
inline Unit *UndoTestNewBlock(const char *name)
{
    const uint32_t bytes = UNIT_ELEMENTS_BLOCK + ELEM_SIZE_END;
    Unit *b = MemListNewObject(LIST_OWN_BLOCKS, bytes, nullptr);
    EXPECT_NE(b, nullptr);
    if (!b)
        return nullptr;
    std::memset(reinterpret_cast<uint8_t *>(b) + 16, 0, bytes - 16);
    b->kind = UNIT_KIND_BLOCK;
    b->property = XPropertyDefault();
    std::strcpy(b->block.name, name);
    Element *end = UnitFirstElement(b);
    end->size = ELEM_SIZE_END;
    end->kind = ELEM_END;
    UndoStampPermanent(b);
    return b;
}

inline std::set<Unit *> UndoTestUnitsIn(int list)
{
    std::set<Unit *> units;
    for (Unit *u = g_ObjectLists[list].head; u; u = u->next)
        units.insert(u);
    return units;
}

inline std::set<Unit *> UndoTestVisibleUnits()
{
    std::set<Unit *> units;
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        if (UndoIsVisible(u, g_UndoStep))
            units.insert(u);
    return units;
}

struct UndoTestGlobals {
    int32_t step, oldest, newest, ident;
    bool operator==(const UndoTestGlobals &) const = default;
};

inline UndoTestGlobals UndoTestSnapshot()
{
    return {g_UndoStep, g_UndoOldest, g_UndoNewest, g_IdentCounter};
}

class UndoTest : public ::testing::Test {
protected:
    void SetUp() override { UndoTestClearDrawing(); }
    void TearDown() override { UndoTestClearDrawing(); }

    // One finished operation creating a line.
    Unit *CreateInStep()
    {
        UndoInitProcess();
        Unit *u = UndoTestNewLine();
        UndoStampCreated(u);
        UndoFinishProcess();
        return u;
    }
    void DeleteInStep(Unit *u)
    {
        UndoInitProcess();
        UndoStampDeleted(u);
        UndoFinishProcess();
    }
};

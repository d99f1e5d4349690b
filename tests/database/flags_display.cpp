// Display flags from layers, pens and drawing switches; resolved properties.
#include "undo_fixture.h"

#include <cstring>

#include "app/system_defs.h"
#include "app/system.h"
#include "common/test_support.h"
#include "database/init.h"
#include "database/object_flags.h"
#include "dialogs/alert.h"

namespace {

constexpr int LAYER_A = 1, LAYER_B = 2, PEN_A = 1, PEN_B = 2;

int g_AlertCount = 0;
uint32_t CountAlert(const char *, uint32_t code1, uint32_t, uint32_t)
{
    ++g_AlertCount;
    return code1;
}

class FlagsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UndoTestClearDrawing();
        SystemInitDrawing(0);
        TestSetDisplaySwitches(0, 0, 0, 1, 1, 0);
        std::strcpy(g_LayerDefs[LAYER_A].name, "Walls");
        std::strcpy(g_LayerDefs[LAYER_B].name, "Doors");
        std::strcpy(g_PenDefs[PEN_A].name, "Thin");
        std::strcpy(g_PenDefs[PEN_B].name, "Thick");
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = CountAlert;
        g_AlertCount = 0;
    }
    void TearDown() override
    {
        g_AlertAnswerHook = savedHook_;
        UndoTestClearDrawing();
        SystemInitDrawing(0);
        TestSetDisplaySwitches(0, 0, 0, 1, 1, 0);
    }

    // A plain object of the type with two point elements, selected points
    // and a user mark, an ident and the selected bit.
    Unit *NewObject(int32_t type, int32_t layer, int32_t pen)
    {
        const uint32_t bytes = UNIT_ELEMENTS_OBJECT + 2 * ELEM_SIZE_POINT + ELEM_SIZE_END;
        Unit *u = MemListNewObject(LIST_DRAWING, bytes, nullptr);
        EXPECT_NE(u, nullptr);
        std::memset(reinterpret_cast<uint8_t *>(u) + 16, 0, bytes - 16);
        u->kind = UNIT_KIND_OBJECT;
        u->object.type = type;
        u->object.reserved = -1;
        u->property = XPropertyDefault();
        u->property.layer = layer;
        u->property.pen = pen;
        UndoStampPermanent(u);
        Element *e = UnitFirstElement(u);
        for (int i = 0; i < 2; ++i) {
            InitElementPoint(e, POINT_START);
            e->pointFlags = POINT_SELECTED | POINT_REDRAW;
            e = ElementNext(e);
        }
        InitElementEnd(e);
        u->flags = UNIT_SELECTED | UNIT_POINTS_SELECTED;
        UndoAssignIdent(u);
        return u;
    }

    AlertAnswerHook savedHook_ = nullptr;
};

Element *Point(Unit *u, int number) { return UnitElementAt(u, number); }

TEST_F(FlagsTest, HiddenLayerHidesAndStripsSelection)
{
    Unit *u = NewObject(OBJTYPE_LINE, LAYER_A, 0);
    g_LayerDefs[LAYER_A].state = DEF_STATE_SHOWN_B; // not shown on the screen (set A)
    EXPECT_EQ(ObjectUpdateDisplayFlags(u), 1);
    EXPECT_EQ(u->flags & UNIT_DISPLAY_BITS, UNIT_HIDDEN);
    EXPECT_EQ(u->ident, UNIT_NO_IDENT);
    EXPECT_EQ(u->flags & UNIT_POINTS_SELECTED, 0u);
    EXPECT_EQ(u->flags & UNIT_SELECTED, UNIT_SELECTED) << "kept until the selection is normalised";
    EXPECT_EQ(Point(u, 1)->pointFlags, 0);
    EXPECT_EQ(Point(u, 2)->pointFlags, 0);
    EXPECT_EQ(MemListFirst(LIST_DRAWING, UNIT_USER_FILTER_MASK, 0, 1), nullptr);

    g_LayerDefs[LAYER_A].state = DEF_STATE_DEFAULT;
    EXPECT_EQ(ObjectUpdateDisplayFlagsAll(0), 0);
    EXPECT_EQ(u->flags & UNIT_DISPLAY_BITS, 0u);
    EXPECT_EQ(MemListFirst(LIST_DRAWING, UNIT_USER_FILTER_MASK, 0, 1), u);
}

struct StateCase {
    const char *what;
    bool onLayer;          // the state is the layer's, else the pen's
    uint32_t state;
    uint32_t switches;     // 1: DisplayExtern, 2: OutputIntern
    uint32_t bits;
    int result;
    bool lost;
};

TEST_F(FlagsTest, StatesOfLayersAndPens)
{
    const StateCase cases[] = {
        {"layer hidden", true, DEF_STATE_SHOWN_B, 0, UNIT_HIDDEN, 1, true},
        {"layer locked", true, DEF_STATE_DEFAULT | DEF_STATE_LOCKED, 0, UNIT_LOCKED, 0, true},
        {"layer not printed", true, DEF_STATE_SHOWN_A, 0, UNIT_NOT_PRINTABLE, 0, false},
        {"layer not pickable", true, DEF_STATE_DEFAULT | DEF_STATE_NO_PICK, 0, UNIT_NOT_PICKABLE, 0, false},
        {"layer set B on screen", true, DEF_STATE_SHOWN_A, 1, UNIT_HIDDEN | UNIT_NOT_PRINTABLE, 1, true},
        {"layer set A in print", true, DEF_STATE_SHOWN_A, 2, 0, 0, false},
        {"pen hidden", false, DEF_STATE_SHOWN_B, 0, UNIT_HIDDEN, 1, true},
        {"pen locked", false, DEF_STATE_DEFAULT | DEF_STATE_LOCKED, 0, UNIT_LOCKED, 0, true},
        {"pen hidden and locked", false, DEF_STATE_LOCKED, 0,
         UNIT_HIDDEN | UNIT_LOCKED | UNIT_NOT_PRINTABLE, 1, true},
        {"pen not pickable", false, DEF_STATE_DEFAULT | DEF_STATE_NO_PICK, 0, UNIT_NOT_PICKABLE, 0, false},
    };
    for (const StateCase &c : cases) {
        SCOPED_TRACE(c.what);
        g_DrawingSettings.displayExtern = (c.switches & 1) != 0;
        g_DrawingSettings.outputIntern = (c.switches & 2) != 0;
        g_LayerDefs[LAYER_A].state = c.onLayer ? c.state : DEF_STATE_DEFAULT;
        g_PenDefs[PEN_A].state = c.onLayer ? DEF_STATE_DEFAULT : c.state;
        Unit *u = NewObject(OBJTYPE_LINE, LAYER_A, PEN_A);
        Unit *other = NewObject(OBJTYPE_LINE, LAYER_B, PEN_B);
        const int32_t otherIdent = other->ident;
        EXPECT_EQ(ObjectUpdateDisplayFlags(u), c.result);
        EXPECT_EQ(u->flags & UNIT_DISPLAY_BITS, c.bits);
        EXPECT_EQ(u->ident == UNIT_NO_IDENT, c.lost);
        EXPECT_EQ(ObjectUpdateDisplayFlags(other), 0);
        EXPECT_EQ(other->flags & UNIT_DISPLAY_BITS, 0u);

        // Back to the plain state: the whole drawing follows.
        g_LayerDefs[LAYER_A].state = g_PenDefs[PEN_A].state = DEF_STATE_DEFAULT;
        g_DrawingSettings.displayExtern = g_DrawingSettings.outputIntern = 0;
        ObjectUpdateDisplayFlagsAll(0);
        EXPECT_EQ(u->flags & UNIT_DISPLAY_BITS, 0u);
        EXPECT_EQ(other->ident, otherIdent) << "objects elsewhere keep their idents";
        MemListDelete(LIST_DRAWING, u);
        MemListDelete(LIST_DRAWING, other);
    }
}

TEST_F(FlagsTest, LayerImposesItsPen)
{
    g_LayerDefs[LAYER_A].setA.ownFlags = XPROP_OWN_PEN;
    g_LayerDefs[LAYER_A].setA.pen = PEN_B;
    g_PenDefs[PEN_B].state = DEF_STATE_SHOWN_B;
    Unit *u = NewObject(OBJTYPE_LINE, LAYER_A, PEN_A);
    EXPECT_EQ(ObjectUpdateDisplayFlags(u), 1);
    EXPECT_TRUE(u->flags & UNIT_HIDDEN);
}

TEST_F(FlagsTest, IndexesOutsideTheTablesAreSlotZero)
{
    g_LayerDefs[LAYER_A].state = 0;
    Unit *outside = NewObject(OBJTYPE_LINE, 700, 900);
    Unit *freeSlot = NewObject(OBJTYPE_LINE, 77, 77); // free slots
    Unit *negative = NewObject(OBJTYPE_LINE, -1, -5);
    for (Unit *u : {outside, freeSlot, negative}) {
        EXPECT_EQ(ObjectUpdateDisplayFlags(u), 0);
        EXPECT_EQ(u->flags & UNIT_DISPLAY_BITS, 0u);
        EXPECT_NE(u->ident, UNIT_NO_IDENT);
    }
}

TEST_F(FlagsTest, DrawingSwitches)
{
    Unit *comment = NewObject(OBJTYPE_COMMENT, 0, 0);
    g_DrawingSettings.commentDisplay[0] = 0;
    EXPECT_EQ(ObjectUpdateDisplayFlags(comment), 0) << "only layers and pens make the result";
    EXPECT_EQ(comment->flags & UNIT_DISPLAY_BITS, UNIT_HIDDEN);
    EXPECT_EQ(comment->ident, UNIT_NO_IDENT);

    Unit *geo = NewObject(OBJTYPE_GEO_LINE, LAYER_A, 0);
    g_DrawingSettings.displayGeometry[1] = 1;
    g_DrawingSettings.outputGeometry = 1;
    EXPECT_EQ(ObjectUpdateDisplayFlags(geo), 0);
    EXPECT_EQ(geo->flags & UNIT_DISPLAY_BITS, UNIT_LOCKED);
    TestSetDisplaySwitches(0, 0, 0, 1, 0, 0);
    ObjectUpdateDisplayFlags(geo);
    EXPECT_EQ(geo->flags & UNIT_DISPLAY_BITS, UNIT_HIDDEN | UNIT_NOT_PRINTABLE);
    TestSetDisplaySwitches(0, 0, 0, 1, 1, 0);
    ObjectUpdateDisplayFlags(geo);
    EXPECT_EQ(geo->flags & UNIT_DISPLAY_BITS, UNIT_NOT_PRINTABLE) << "construction objects not printed";

    Unit *line = NewObject(OBJTYPE_LINE, 0, 0);
    TestSetDisplaySwitches(0, 0, 0, 0, 0, 1);
    ObjectUpdateDisplayFlags(line);
    EXPECT_EQ(line->flags & UNIT_DISPLAY_BITS, 0u);
}

TEST_F(FlagsTest, LockedInstanceKeepsItsAttributePointFlags)
{
    Unit *inst = UndoTestNewInstance("Door");
    inst->property.layer = LAYER_A;
    Element *end = UnitFirstElement(inst);
    end->pointFlags = POINT_SELECTED; // stands in for an attribute's flags
    inst->flags = UNIT_USER_MARK | UNIT_POINTS_SELECTED | UNIT_SELECTED;
    UndoAssignIdent(inst);
    g_LayerDefs[LAYER_A].state = DEF_STATE_DEFAULT | DEF_STATE_LOCKED;
    EXPECT_EQ(ObjectUpdateDisplayFlags(inst), 0);
    EXPECT_EQ(inst->flags, UNIT_LOCKED | UNIT_SELECTED);
    EXPECT_EQ(inst->ident, UNIT_NO_IDENT);
    EXPECT_EQ(end->pointFlags, POINT_SELECTED);
}

TEST_F(FlagsTest, OtherKindsAreLeftAlone)
{
    Unit *block = UndoTestNewBlock("B");
    block->property.layer = LAYER_A;
    block->flags = 0x1;
    g_LayerDefs[LAYER_A].state = 0;
    EXPECT_EQ(ObjectUpdateDisplayFlags(block), 0);
    EXPECT_EQ(block->flags, 0x1u);
    EXPECT_EQ(ObjectUpdateDisplayFlags(nullptr), 0);
}

TEST_F(FlagsTest, AllReportsLostUserMarks)
{
    Unit *marked = NewObject(OBJTYPE_LINE, LAYER_A, 0);
    Unit *pointMarked = NewObject(OBJTYPE_LINE, LAYER_B, 0);
    marked->flags |= UNIT_USER_MARK;
    Point(pointMarked, 2)->pointFlags |= 0x1;
    NewObject(OBJTYPE_LINE, 0, 0)->flags |= UNIT_USER_MARK; // stays visible

    EXPECT_EQ(ObjectUpdateDisplayFlagsAll(1), 0);
    EXPECT_EQ(g_AlertCount, 0);

    g_LayerDefs[LAYER_A].state = DEF_STATE_DEFAULT | DEF_STATE_LOCKED;
    EXPECT_EQ(ObjectUpdateDisplayFlagsAll(0), 1);
    EXPECT_EQ(g_AlertCount, 0) << "no alert asked for";
    EXPECT_EQ(marked->flags & UNIT_USER_MARK, 0u);

    g_LayerDefs[LAYER_B].state = 0;
    EXPECT_EQ(ObjectUpdateDisplayFlagsAll(1), 1) << "a point's mark counts";
    EXPECT_EQ(g_AlertCount, 1);
    EXPECT_EQ(ObjectUpdateDisplayFlagsAll(1), 0) << "nothing more to lose";
}

TEST_F(FlagsTest, ValidateDefaultSlots)
{
    const int32_t pens[DEFAULT_SLOTS] = {12, -1, PEN_A, 700, 0, -7, PEN_B, 500};
    const int32_t expected[DEFAULT_SLOTS] = {-1, -1, PEN_A, -1, 0, -1, PEN_B, -1};
    std::memcpy(g_DefaultPens, pens, sizeof pens);
    std::memcpy(g_DefaultLayers, pens, sizeof pens);
    EXPECT_EQ(ObjectValidateDefaultSlots(), 1);
    for (int i = 0; i < DEFAULT_SLOTS; ++i) {
        EXPECT_EQ(g_DefaultPens[i], expected[i]) << i;
        EXPECT_EQ(g_DefaultLayers[i], expected[i]) << i;
    }
}

TEST_F(FlagsTest, ResolvedPropertiesFollowThePen)
{
    Property &setB = g_PenDefs[PEN_A].setB;
    setB.width = 0.7;
    setB.color1 = 0x0000FF;
    setB.lineType = 3;
    g_PenDefs[PEN_A].setA.width = 0.1;

    // A standard text: its text record carries an XProperty of its own.
    const uint32_t bytes = UNIT_ELEMENTS_OBJECT + ELEM_SIZE_TEXT_STANDARD + ELEM_SIZE_END;
    Unit *text = MemListNewObject(LIST_DRAWING, bytes, nullptr);
    ASSERT_NE(text, nullptr);
    std::memset(reinterpret_cast<uint8_t *>(text) + 16, 0, bytes - 16);
    text->kind = UNIT_KIND_OBJECT;
    text->object.type = OBJTYPE_STD_TEXT;
    text->property = XPropertyDefault();
    text->property.pen = PEN_A;
    text->property.ownFlags = XPROP_OWN_WIDTH;
    text->property.width = 2.0;
    Element *record = UnitFirstElement(text);
    InitElementEmpty(record, ELEM_TEXT_STANDARD);
    record->size = ELEM_SIZE_TEXT_STANDARD;
    auto *inner = reinterpret_cast<XProperty *>(static_cast<uint8_t *>(ElementPayload(record)) + 80);
    *inner = XPropertyDefault();
    inner->pen = PEN_A;
    InitElementEnd(ElementNext(record));

    Unit *inst = UndoTestNewInstance("Door");
    inst->property.pen = PEN_A;
    Unit *block = UndoTestNewBlock("Door");
    Unit *member = UndoTestNewLine();
    member->property.pen = PEN_A;
    MemListUnlink(LIST_DRAWING, member);
    Unit *stored = MemChainAppend(LIST_OWN_BLOCKS, block, member, member->bytes);
    MemSubFree(member);
    ASSERT_NE(stored, nullptr);
    Unit *onPenZero = UndoTestNewLine();
    onPenZero->property.width = 1.5;

    ObjectResolveAllProperties();
    EXPECT_DOUBLE_EQ(text->property.width, 2.0) << "owned fields stay";
    EXPECT_EQ(text->property.color1, 0x0000FFu);
    EXPECT_EQ(text->property.lineType, 3);
    EXPECT_DOUBLE_EQ(inner->width, 0.7);
    EXPECT_EQ(inner->color1, 0x0000FFu);
    EXPECT_DOUBLE_EQ(inst->property.width, 0.7);
    EXPECT_DOUBLE_EQ(stored->property.width, 0.7);
    EXPECT_DOUBLE_EQ(onPenZero->property.width, 1.5) << "pen 0 fills nothing";

    g_DrawingSettings.outputIntern = 1;
    ObjectResolveProperty(inst);
    EXPECT_DOUBLE_EQ(inst->property.width, 0.1);
}

} // namespace

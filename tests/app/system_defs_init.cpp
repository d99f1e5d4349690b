// The contents of a new drawing's definition tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/system_defs.h"
#include "language/language.h"

namespace {

template <typename T, size_t N> int UsedSlots(const T (&table)[N])
{
    int used = 0;
    for (const T &slot : table)
        used += slot.name[0] != 0;
    return used;
}

void ExpectDefaultProperty(const Property &p)
{
    EXPECT_EQ(p.fillMode, 0);
    EXPECT_EQ(p.color1, 0u);
    EXPECT_EQ(p.color2, 0u);
    EXPECT_EQ(p.lineType, 0);
    EXPECT_DOUBLE_EQ(p.width, 0.25);
    EXPECT_EQ(p.capJoin, 0x2200u);
}

void ExpectDefaultXProperty(const XProperty &p)
{
    EXPECT_EQ(p.ownFlags, 0u);
    EXPECT_EQ(p.pen, 0);
    EXPECT_EQ(p.fillMode, 0);
    EXPECT_EQ(p.color1, 0u);
    EXPECT_EQ(p.color2, 0u);
    EXPECT_EQ(p.lineType, 0);
    EXPECT_DOUBLE_EQ(p.width, 0.25);
    EXPECT_EQ(p.capJoin, 0x2200u);
    EXPECT_EQ(p.layer, 0);
}

class SystemDefsInit : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Leave traces everywhere so the initialisation must overwrite them.
        std::memset(g_PenDefs, 0x5A, sizeof g_PenDefs);
        std::memset(g_LayerDefs, 0x5A, sizeof g_LayerDefs);
        std::memset(g_LineDefs, 0x5A, sizeof g_LineDefs);
        std::memset(g_HatchDefs, 0x5A, sizeof g_HatchDefs);
        std::memset(g_MultiLineDefs, 0x5A, sizeof g_MultiLineDefs);
        std::memset(g_SystemDefs, 0x5A, sizeof g_SystemDefs);
        std::memset(&g_PageDefs, 0x5A, sizeof g_PageDefs);
        std::memset(g_ColorDefs, 0x5A, sizeof g_ColorDefs);
        std::memset(g_DefaultPens, 0x5A, sizeof g_DefaultPens);
        std::memset(g_DefaultLayers, 0x5A, sizeof g_DefaultLayers);
        g_PenLink = g_LayerLink = 1;
        g_PenListDirty = g_LayerListDirty = 0;
        g_HatchOrigin[0] = g_HatchOrigin[1] = 7.0;
    }
};

TEST_F(SystemDefsInit, EveryTableHoldsOnlySlotZero)
{
    SystemInitDrawing(0);
    EXPECT_EQ(UsedSlots(g_PenDefs), 1);
    EXPECT_EQ(UsedSlots(g_LayerDefs), 1);
    EXPECT_EQ(UsedSlots(g_LineDefs), 1);
    EXPECT_EQ(UsedSlots(g_HatchDefs), 1);
    EXPECT_EQ(UsedSlots(g_MultiLineDefs), 1);
    EXPECT_EQ(UsedSlots(g_SystemDefs), 1);
    EXPECT_EQ(UsedSlots(g_ColorDefs), STANDARD_COLORS);
    EXPECT_EQ(g_PageDefs.count, 1);
    EXPECT_EQ(g_PageDefs.active, 0);

    EXPECT_STREQ(g_PenDefs[0].name, eDefaultNames[2]);
    EXPECT_STREQ(g_LineDefs[0].name, eDefaultNames[3]);
    EXPECT_STREQ(g_LayerDefs[0].name, eDefaultNames[4]);
    EXPECT_STREQ(g_HatchDefs[0].name, eDefaultNames[1]);
    EXPECT_STREQ(g_MultiLineDefs[0].name, eDefaultNames[1]);
    EXPECT_STREQ(g_SystemDefs[0].name, eDefaultNames[1]);
}

TEST_F(SystemDefsInit, StandardColoursNamedAndUserColoursEmpty)
{
    SystemInitDrawing(0);
    const COLORREF expected[STANDARD_COLORS] = {
        0xFFFFFF, 0xF2F2F2, 0xE0E0E0, 0xC0C0C0, 0x808080, 0x606060, 0x404040, 0x000000,
        0x0000FF, 0x0000C0, 0x000080, 0x000040, 0x00FFFF, 0x00C0C0, 0x008080, 0x004040,
        0x00FF00, 0x00C000, 0x008000, 0x004000, 0xFFFF00, 0xC0C000, 0x808000, 0x404000,
        0xFF0000, 0xC00000, 0x800000, 0x400000, 0xFF00FF, 0xC000C0, 0x800080, 0x400040,
    };
    for (int i = 0; i < STANDARD_COLORS; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(g_ColorDefs[i].color, expected[i]);
        EXPECT_NE(g_ColorDefs[i].name[0], 0) << "a standard colour must not look free";
        EXPECT_LT(std::strlen(g_ColorDefs[i].name), sizeof g_ColorDefs[i].name);
    }
    for (int i = STANDARD_COLORS; i < COLOR_SLOTS; ++i) {
        ASSERT_EQ(g_ColorDefs[i].name[0], 0) << i;
        ASSERT_EQ(g_ColorDefs[i].color, 0u) << i;
    }
}

TEST_F(SystemDefsInit, PensAndLayers)
{
    SystemInitDrawing(0);
    for (int i : {0, 1, 250, 500}) {
        SCOPED_TRACE(i);
        const PenDef &pen = g_PenDefs[i];
        ExpectDefaultProperty(pen.setA);
        ExpectDefaultProperty(pen.setB);
        EXPECT_EQ(pen.layer, -1);
        EXPECT_EQ(pen.state, 3u);
        const LayerDef &layer = g_LayerDefs[i];
        ExpectDefaultXProperty(layer.setA);
        ExpectDefaultXProperty(layer.setB);
        EXPECT_EQ(layer.state, 3u);
    }
    EXPECT_EQ(g_PenLink, 0u);
    EXPECT_EQ(g_LayerLink, 0u);
    EXPECT_EQ(g_PenListDirty, 1u);
    EXPECT_EQ(g_LayerListDirty, 1u);
    EXPECT_EQ(g_PenSortIndex[PEN_SLOTS - 1], -1);
    EXPECT_EQ(g_LayerSortIndex[LAYER_SLOTS - 1], -1);
    for (int i = 0; i < DEFAULT_SLOTS; ++i) {
        EXPECT_EQ(g_DefaultPens[i], -1);
        EXPECT_EQ(g_DefaultLayers[i], -1);
    }
}

TEST_F(SystemDefsInit, LineTypesHatchesAndMultilines)
{
    SystemInitDrawing(0);
    for (int i : {0, 500}) {
        EXPECT_EQ(g_LineDefs[i].pairs, 0);
        EXPECT_EQ(g_LineDefs[i].kind, 0);
        for (int32_t length : g_LineDefs[i].lengths)
            EXPECT_EQ(length, 0);
    }

    const double pi = 3.14159265358979323846;
    const double placement[8] = {0.0, 1.0, 1.0, 0.0, 1.0, 0.0, 0.0, 0.0};
    for (int i : {0, 1, 100}) {
        SCOPED_TRACE(i);
        const HatchDef &h = g_HatchDefs[i];
        EXPECT_EQ(h.family1.on, i == 0 ? 1 : 0);
        EXPECT_EQ(h.family1.multiLine, 0);
        EXPECT_NEAR(h.family1.angle, pi / 4, 1e-15);
        EXPECT_EQ(h.family2.on, 0);
        EXPECT_EQ(h.family2.multiLine, 0);
        EXPECT_NEAR(h.family2.angle, 3 * pi / 4, 1e-15);
        EXPECT_EQ(h.blockOn, 0);
        EXPECT_EQ(h.blockLibrary[0], 0);
        EXPECT_EQ(h.blockName[0], 0);
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(h.placement[k], placement[k]) << k;
        EXPECT_EQ(h.baseAngle, 0.0);
        EXPECT_EQ(h.phaseA, 0.0);
        EXPECT_EQ(h.phaseB, 0.0);
    }
    EXPECT_EQ(g_HatchOrigin[0], 0.0);
    EXPECT_EQ(g_HatchOrigin[1], 0.0);

    // Slot 50, the last, is initialised like the others.
    for (int i : {0, 1, 49, 50}) {
        SCOPED_TRACE(i);
        const MultiLineDef &m = g_MultiLineDefs[i];
        for (int k = 0; k < MULTILINE_LINES; ++k) {
            EXPECT_EQ(m.lines[k].offset, 5.0);
            EXPECT_EQ(m.lines[k].on, k == 0 ? 1 : 0);
            ExpectDefaultXProperty(m.lines[k].property);
        }
    }
}

struct UnitsCase {
    uint32_t inch;
    int32_t pageFormat;
    double pageWidth, pageHeight;
    int32_t lengthUnit;
    double grid;
};

TEST_F(SystemDefsInit, PageAndSystemFollowTheInchSwitch)
{
    const UnitsCase cases[] = {
        {0, 2, 420.0, 297.0, 1, 1.0},
        {1, 34, 431.8, 279.4, 7, 0.1},
    };
    for (const UnitsCase &c : cases) {
        SCOPED_TRACE(c.inch);
        SystemInitDrawing(c.inch);
        const PageDef &page = g_PageDefs.pages[0];
        EXPECT_EQ(page.format, c.pageFormat);
        EXPECT_EQ(page.orientation, 2);
        EXPECT_EQ(page.anchor, 5);
        EXPECT_NEAR(page.width, c.pageWidth, 1e-9);
        EXPECT_NEAR(page.height, c.pageHeight, 1e-9);
        EXPECT_EQ(page.refX, 0.0);
        EXPECT_EQ(page.refY, 0.0);

        for (int i : {0, 1, 50}) {
            SCOPED_TRACE(i);
            const SystemDef &s = g_SystemDefs[i];
            EXPECT_EQ(s.angle, 0.0);
            EXPECT_EQ(s.scale, 1.0);
            EXPECT_EQ(s.axisMode, 0);
            EXPECT_EQ(s.anchor, 5);
            EXPECT_EQ(s.originX, 0.0);
            EXPECT_EQ(s.originY, 0.0);
            EXPECT_EQ(s.lengthUnit, c.lengthUnit);
            EXPECT_EQ(s.widthUnit, 1);
            EXPECT_EQ(s.angleUnit, 0);
            EXPECT_EQ(s.format1, 0);
            EXPECT_EQ(s.format2, 0);
            EXPECT_EQ(s.decimals, 4);
            EXPECT_EQ(s.displayGridKind, 0);
            EXPECT_EQ(s.catchGridKind, 0);
            EXPECT_NEAR(s.displayGridX, c.grid, 1e-12);
            EXPECT_NEAR(s.displayGridY, c.grid, 1e-12);
            EXPECT_NEAR(s.catchGridX, c.grid, 1e-12);
            EXPECT_NEAR(s.catchGridY, c.grid, 1e-12);
        }
    }
}

TEST_F(SystemDefsInit, TextVariablesAreLeftAlone)
{
    std::strcpy(g_VariableDefs[3].name, "Project");
    std::strcpy(g_VariableDefs[3].value, "Bridge");
    SystemInitDrawing(0);
    EXPECT_STREQ(g_VariableDefs[3].name, "Project");
    EXPECT_STREQ(g_VariableDefs[3].value, "Bridge");
    g_VariableDefs[3] = VariableDef{};
}

TEST(SystemDefsRecords, PropertyDefault)
{
    ExpectDefaultProperty(PropertyDefault());
}

} // namespace

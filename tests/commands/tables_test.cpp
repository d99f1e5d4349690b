// The fixed command tables: the walk over the command table and the
// invariants of the templates, the map and the ranges.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "commands/command_state.h"
#include "commands/command_tables.h"

namespace {

std::vector<std::string> &Faults()
{
    static std::vector<std::string> faults;
    return faults;
}
void Report(const char *fault) { Faults().push_back(fault); }

TEST(CommandTables, TheWalkFindsNoFault)
{
    Faults().clear();
    EXPECT_EQ(CommandCheckTables(Report), 0);
    for (const std::string &f : Faults())
        ADD_FAILURE() << f;
    EXPECT_GT(g_CommandTableSize, 350);
    EXPECT_NE(CommandFindEntry(7903), nullptr) << "the start command is a row of the table";
    EXPECT_TRUE(CommandFindEntry(7903)->flags & COMMAND_FLAG_ONCE);
    EXPECT_TRUE(CommandFindEntry(342)->flags & COMMAND_FLAG_TRANSPARENT);
}

TEST(CommandTables, TheWalkReportsABrokenRange)
{
    // A handler range whose function is neither there nor marked as not yet
    // built is a fault of every number in it.
    CommandRange *r = const_cast<CommandRange *>(CommandFindRange(1100));
    ASSERT_NE(r, nullptr);
    const char *name = r->name;
    r->name = nullptr;
    Faults().clear();
    EXPECT_GT(CommandCheckTables(Report), 0);
    r->name = name;
    EXPECT_FALSE(Faults().empty());
}

TEST(CommandTables, TemplatesKeepTheirInvariants)
{
    int forward = 0;
    for (int t = 0; t < TEMPLATE_COUNT; ++t) {
        const InputTemplate &tp = g_InputTemplates[t];
        EXPECT_LE(tp.count, TEMPLATE_STEPS) << t;
        for (int s = 0; s < tp.count; ++s) {
            const int32_t ref = tp.ref[s];
            if (ref == REFERENCE_PREVIOUS)
                EXPECT_EQ(tp.mode, TEMPLATE_LIST) << t;
            else
                EXPECT_TRUE(ref == REFERENCE_NONE || (ref >= 0 && ref < INPUT_POINT_LIMIT_MAIN)) << t;
            forward += ref >= s ? 1 : 0;
            EXPECT_EQ(tp.prompt[s], nullptr) << "no built-in prompt";
        }
    }
    EXPECT_EQ(forward, 30) << "references that point at or beyond their own step";
}

TEST(CommandTables, NumbersFindTheirTemplates)
{
    const struct {
        int number, templ, mode, count;
    } rows[] = {
        {501, 97, TEMPLATE_FIXED_STEPS, 2}, {5400, 121, TEMPLATE_REPEATED, 1}, {5340, 121, TEMPLATE_REPEATED, 1},
        {383, 2, TEMPLATE_SHORTCUT_PICK, 1}, {1102, 3, TEMPLATE_HELP_PICK, 1}, {512, 96, TEMPLATE_LIST, 2},
        {403, 87, TEMPLATE_LIST, 2},        {342, 118, TEMPLATE_FIXED_STEPS, 2}, {100, 0, TEMPLATE_RUN_AT_ONCE, 0},
        {99, 0, TEMPLATE_RUN_AT_ONCE, 0},   {5300, 0, TEMPLATE_RUN_AT_ONCE, 0},  {5440, 0, TEMPLATE_RUN_AT_ONCE, 0},
        {7903, 0, TEMPLATE_RUN_AT_ONCE, 0}, {809, 125, TEMPLATE_FIXED_STEPS, 7},
    };
    for (const auto &r : rows) {
        const int t = CommandTemplateOf(r.number);
        EXPECT_EQ(t, r.templ) << r.number;
        EXPECT_EQ(g_InputTemplates[t].mode, r.mode) << r.number;
        EXPECT_EQ(g_InputTemplates[t].count, r.count) << r.number;
    }
    EXPECT_EQ(g_InputTemplates[23].count, 1);
    EXPECT_EQ(g_InputTemplates[23].kind[0], 124);
    EXPECT_EQ(g_InputTemplates[96].ref[1], REFERENCE_PREVIOUS);
    EXPECT_EQ(g_InputTemplates[97].kind[1], 9);
    EXPECT_EQ(g_InputTemplates[97].ref[1], 0);
}

TEST(CommandTables, TemplatesWithoutACommandAreNeverLoaded)
{
    std::set<int> used;
    for (int n = 0; n < TEMPLATE_MAP_SIZE; ++n)
        used.insert(g_CommandTemplateMap[n]);
    used.insert(TEMPLATE_SYMBOL_INSERT);
    EXPECT_EQ(static_cast<int>(used.size()), TEMPLATE_COUNT - 55) << "55 templates serve no command";
    EXPECT_FALSE(used.count(1));
    EXPECT_FALSE(used.count(30));
}

TEST(CommandTables, RangesRouteEveryNumber)
{
    const struct {
        int number;
        CommandRangeKind kind;
    } rows[] = {
        {50, RANGE_BEEP},      {100, RANGE_HANDLER},  {501, RANGE_HANDLER},  {1200, RANGE_BEEP},
        {1209, RANGE_BEEP},    {1300, RANGE_NOTHING}, {5299, RANGE_NOTHING}, {5300, RANGE_HANDLER},
        {5339, RANGE_HANDLER}, {5340, RANGE_HANDLER},
        {7903, RANGE_HANDLER},
    };
    for (const auto &r : rows) {
        const CommandRange *range = CommandFindRange(r.number);
        ASSERT_NE(range, nullptr) << r.number;
        EXPECT_EQ(range->kind, r.kind) << r.number;
    }
    for (int gap : {127, 199, 234, 299, 390, 454, 591, 654, 752, 844, 916, 1044, 1107, 1210, 1299, 7904})
        EXPECT_EQ(CommandFindRange(gap), nullptr) << gap;
}

TEST(CommandTables, PointKindsPickMasksAndInternalRanges)
{
    EXPECT_EQ(g_PointKinds[44].kindClass, KIND_COORDINATE);
    EXPECT_EQ(g_PointKinds[45].kindClass, KIND_ELEMENT);
    EXPECT_EQ(g_PointKinds[45].mask, 0x1021u);
    EXPECT_EQ(g_PointKinds[96].mask, 0x11FFu);
    EXPECT_EQ(g_PointKinds[100].kindClass, KIND_PLAIN);
    EXPECT_EQ(g_PointKinds[107].mask, 0x1105u);
    EXPECT_EQ(g_PointKinds[108].mask, 0x50000u);
    EXPECT_EQ(g_PointKinds[134].kindClass, KIND_FOLLOWUP);
    EXPECT_EQ(g_PointKinds[141].mask, 0x70000u);
    EXPECT_EQ(g_PointKinds[144].kindClass, KIND_POINTS);

    int k = -1;
    EXPECT_EQ(CommandFindInternal(5864 + 37, &k)->action, INTERNAL_LAYER_ACTIVATE);
    EXPECT_EQ(k, 37);
    EXPECT_EQ(CommandFindInternal(7902, &k)->action, INTERNAL_VIEW_PREVIOUS);
    EXPECT_EQ(k, 4) << "offset 4 is the view window";
    EXPECT_EQ(CommandFindInternal(7903, &k)->action, INTERNAL_START_UP);
    EXPECT_EQ(CommandFindInternal(5339, &k), nullptr);
    EXPECT_EQ(CommandFindInternal(7904, &k), nullptr);
}

} // namespace

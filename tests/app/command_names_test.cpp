// What the menus call each command: every item of the menu layout has a title
// and a menu text, and the text of each command names what the command does.
// With DARAD4_COMMAND_LISTING set to a file name the test also writes the
// listing of the menus (menu, position, number, menu text, title, the prompt
// of the first step) to that file, for a reader to check line by line.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/convert.h"
#include "app/init_menulayout.h"
#include "app/system.h"
#include "commands/command_tables.h"
#include "commands/input.h"

namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string Title(int id)
{
    char out[CONVERT_TITLE_SIZE];
    ConvertGetCommandTitle(out, id);
    return out;
}

std::string MenuText(int id)
{
    char out[CONVERT_TITLE_SIZE];
    ConvertGetCommandMenuText(out, id);
    std::string s;
    for (const char *c = out; *c && *c != '\b'; ++c)
        if (*c != '&')
            s += *c;
    return s;
}

std::string FirstPrompt(int id)
{
    const InputTemplate &t = g_InputTemplates[CommandTemplateOf(id)];
    return t.mode == 0 || t.count == 0 ? "" : InputPointName(t.kind[0]);
}

class CommandNames : public testing::Test {
protected:
    ProgramOptions saved{};
    void SetUp() override
    {
        saved = g_Options;
        // No keys assigned: titles and texts without their key suffixes.
        std::fill(std::begin(g_Options.keyboard), std::end(g_Options.keyboard), 0);
    }
    void TearDown() override { g_Options = saved; }
};

TEST_F(CommandNames, EveryItemOfTheMenusHasATitleAndAMenuText)
{
    int items = 0;
    for (const uint32_t *e = g_MenuTemplate; !(*e & MENU_END); ++e) {
        if (*e & (MENU_TOP_HEADER | MENU_SEPARATOR | MENU_PLACEHOLDER))
            continue;
        const int id = static_cast<int>(*e & MENU_ID_MASK);
        EXPECT_FALSE(Title(id).empty()) << id;
        EXPECT_FALSE(MenuText(id).empty()) << id;
        ++items;
    }
    EXPECT_GT(items, 300);
}

// The listing of the menus, written when asked for.
TEST_F(CommandNames, ListingOfTheMenus)
{
    const char *path = std::getenv("DARAD4_COMMAND_LISTING");
    if (!path)
        GTEST_SKIP() << "DARAD4_COMMAND_LISTING names no file";
    FILE *out = std::fopen(path, "w");
    ASSERT_NE(out, nullptr);
    std::fprintf(out, "menu\tposition\tnumber\tmenu text\ttitle (tooltip)\tfirst prompt (status bar, guide)\n");
    // Positions count within the main menu, and within a submenu from its top.
    int menu = -1, position = 0, inPopup = 0;
    for (const uint32_t *e = g_MenuTemplate; !(*e & MENU_END); ++e) {
        if (*e & MENU_TOP_HEADER) {
            ++menu;
            position = inPopup = 0;
            continue;
        }
        if (*e & MENU_PLACEHOLDER)
            continue;
        const bool popupItem = (*e & MENU_POPUP_ITEM) != 0;
        int &at = popupItem ? inPopup : position;
        if (*e & MENU_SEPARATOR) {
            ++at;
            continue;
        }
        const int id = static_cast<int>(*e & MENU_ID_MASK);
        std::fprintf(out, "%d\t%s%d\t%d\t%s\t%s\t%s\n", menu, popupItem ? "  " : "", at++, id, MenuText(id).c_str(),
                     Title(id).c_str(), FirstPrompt(id).c_str());
        if (*e & MENU_POPUP_HEADER)
            inPopup = 0;
    }
    std::fclose(out);
}

// Per menu: a command number and a word its title must hold, and its menu
// text too, unless the item's submenu says it ("Chamfer" > "Two Objects").
struct Named {
    int id;
    const char *keyword;
    bool inMenuText = true;
};

const Named FILE_MENU[] = {
    {100, "new"},       {101, "open"},          {102, "save"},   {103, "save as"},     {106, "merge"},
    {107, "emf"},       {108, "wmf"},           {109, "bitmap"}, {110, "reload"},      {112, "selection"},
    {113, "emf"},       {114, "wmf"},           {123, "print"},  {124, "print area"}, {125, "exit"},
    {126, "embed"},
};
const Named EDIT_MENU[] = {
    {200, "undo"}, {201, "redo"}, {202, "clear undo history"}, {203, "cut"}, {204, "copy"}, {205, "paste"},
    {207, "new comment"}, {209, "details"}, {211, "variables"}, {231, "all comments"},
};
const Named OPTIONS_MENU[] = {
    {301, "new page"}, {305, "order"},     {309, "layer table"}, {338, "pen table"},  {340, "line types"},
    {343, "all objects"}, {346, "1:1"},    {353, "display"},     {354, "output"},     {355, "accuracy"},
    {356, "colours"},  {361, "status"},    {383, "key"},         {386, "import"},     {387, "export"},
};
const Named OBJECTS_MENU[] = {
    {400, "properties"}, {402, "delete"}, {403, "pointer"}, {405, "move"},   {410, "scale"},
    {415, "rotate"},     {419, "mirror"}, {423, "shear"},   {445, "group"},  {451, "front"},
};
const Named DRAW_MENU[] = {
    {501, "line"},          {506, "perpendicular"}, {507, "parallel"},     {510, "bisector"},   {512, "polyline"},
    {514, "zigzag"},        {523, "triangle"},      {524, "four corners"}, {525, "parallelogram"},
    {526, "rectangle"},     {527, "polygon"},       {533, "side length"},  {536, "circle"},     {538, "three points"},
    {540, "inscribed"},     {544, "two points"},    {545, "object and point"}, {546, "two objects"},
    {548, "arc"},           {558, "ellipse"},       {564, "axes"},         {570, "arc mode"},   {571, "orientation"},
    {572, "freehand"},      {573, "spline"},        {574, "path"},         {575, "closed path"}, {577, "hatch"},
};
const Named CONSTRUCT_MENU[] = {
    {635, "show construction"}, {636, "freeze"}, {638, "marker point"}, {641, "divide"},
    {645, "polar"},             {646, "linear"}, {649, "grid"},         {650, "delete construction"},
};
const Named CHANGE_MENU[] = {
    {701, "cut out"}, {702, "split"},   {703, "explode"},  {704, "length"}, {706, "angle"}, {708, "reverse"},
    {723, "chamfer", false}, {727, "fillet", false},  {731, "arc corner", false}, {745, "curves"}, {746, "surfaces"},
};
const Named TEXT_MENU[] = {
    {801, "standard text"}, {802, "framed text"}, {804, "curves"},    {806, "line with ends"},
    {809, "distance"},      {813, "radius"},      {815, "diameter"},  {817, "angle"},
    {822, "coordinate"},    {836, "measure point"}, {837, "measure distance"},
};
const Named BLOCKS_MENU[] = {
    {901, "insert"}, {902, "new block"}, {904, "manager"}, {910, "purge"}, {912, "explode"}, {915, "libraries"},
};
const Named INPUT_AIDS_MENU[] = {
    {1000, "select all"}, {1001, "previous"}, {1002, "user-marked"}, {1008, "coordinates"}, {1009, "step back"},
    {1012, "ortho"},      {1015, "snap on"},  {1019, "end points"},  {1020, "intersections"}, {1028, "repaint"},
};
const Named HELP_MENU[] = {
    {1100, "contents"}, {1101, "command"}, {1102, "windows"}, {1103, "help on help"}, {1106, "about"},
};

template <size_t N>
void ExpectNamed(const Named (&table)[N])
{
    for (const Named &n : table) {
        EXPECT_NE(Lower(Title(n.id)).find(n.keyword), std::string::npos)
            << n.id << " is titled \"" << Title(n.id) << "\", expected it to name \"" << n.keyword << "\"";
        if (n.inMenuText) {
            EXPECT_NE(Lower(MenuText(n.id)).find(n.keyword), std::string::npos)
                << n.id << " reads \"" << MenuText(n.id) << "\" in its menu, expected \"" << n.keyword << "\"";
        }
    }
}

TEST_F(CommandNames, FileMenu) { ExpectNamed(FILE_MENU); }
TEST_F(CommandNames, EditMenu) { ExpectNamed(EDIT_MENU); }
TEST_F(CommandNames, OptionsMenu) { ExpectNamed(OPTIONS_MENU); }
TEST_F(CommandNames, ObjectsMenu) { ExpectNamed(OBJECTS_MENU); }
TEST_F(CommandNames, DrawMenu) { ExpectNamed(DRAW_MENU); }
TEST_F(CommandNames, ConstructMenu) { ExpectNamed(CONSTRUCT_MENU); }
TEST_F(CommandNames, ChangeMenuNames) { ExpectNamed(CHANGE_MENU); }
TEST_F(CommandNames, TextAndDimensionsMenu) { ExpectNamed(TEXT_MENU); }
TEST_F(CommandNames, BlocksMenu) { ExpectNamed(BLOCKS_MENU); }
TEST_F(CommandNames, InputAidsMenu) { ExpectNamed(INPUT_AIDS_MENU); }
TEST_F(CommandNames, HelpMenu) { ExpectNamed(HELP_MENU); }

// The prompts of the steps: each step shows its own point name.
TEST_F(CommandNames, EveryPointKindHasItsOwnPrompt)
{
    for (int kind = 1; kind < POINT_KIND_LIMIT; ++kind)
        EXPECT_STRNE(InputPointName(kind), "") << kind;
    EXPECT_STRNE(InputPointName(24), InputPointName(25)) << "centre and circle point";
    EXPECT_STRNE(InputPointName(6), InputPointName(9)) << "start and end point";
    EXPECT_STREQ(InputPointName(-1), InputPointName(0));
    EXPECT_STREQ(InputPointName(POINT_KIND_LIMIT + 50), InputPointName(0));
}

} // namespace

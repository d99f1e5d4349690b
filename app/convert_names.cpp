// Command titles, menu texts and icon cells, menu titles, and where a command
// stands in the menus.
#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/init_menulayout.h"
#include "app/system.h"
#include "files/zvi.h"
#include "language/language.h"
#include "language/language_text.h"
#include "language/language_entries.h"
#include "plugin/zvi_module.h"

namespace {

constexpr int MAIN_MENUS = 11;
constexpr int TEXT_KEY_NAMES = 5;      // eUniTexts: key index 36 is entry 41
constexpr int KEYS_PLAIN = 38;         // keyboard slots without Shift
constexpr char LETTERS_50[] = "ABCDEFGHJKLMNOPQRSTUVWXYZabcdefghjklmnopqrstuvwxyz";
constexpr int ICON_COUNT = 600;

struct MenuRange {
    int first, last;
    const char *const *table;
};
const MenuRange MENU_RANGES[MAIN_MENUS] = {
    {100, 126, eMenu01Commands},   {200, 233, eMenu02Commands},   {300, 389, eMenu03Commands},
    {400, 453, eMenu04Commands},   {500, 590, eMenu05Commands},   {600, 653, eMenu06Commands},
    {700, 751, eMenu07Commands},   {800, 843, eMenu08Commands},   {900, 915, eMenu09Commands},
    {1000, 1043, eMenu10Commands}, {1100, 1106, eMenu11Commands},
};
constexpr int TABLET_FIRST = 1200, TABLET_LAST = 1209;

// Internal ranges with their title formats in eInternCommands.
struct InternRange {
    int first, last, entry;
};
constexpr int RECENT_FIRST = 5540, RECENT_LAST = 5559, RECENT_ENTRY = 2;
const InternRange INTERN_RANGES[] = {
    {5340, 5439, 0},  {5440, 5539, 1},  {5560, 5610, 5},  {5611, 5661, 6},  {5662, 5762, 3},
    {5763, 5863, 4},  {5864, 6364, 7},  {6365, 6865, 8},  {6866, 7366, 9},  {7367, 7867, 10},
};
// The window view groups that take the title of a View-menu command.
struct ViewGroup {
    int first, titleOf;
};
const ViewGroup VIEW_GROUPS[] = {{7868, 342}, {7873, 343}, {7878, 344}, {7888, 346}, {7893, 347}, {7898, 348}};
constexpr int VIEW_GROUP_SIZE = 5;

// The digitizer's position in its menu sheet; nothing sets it yet.
int32_t g_DigitizerState[3] = {0, 0, 0};

// A language table entry, or "" past the table's end.
const char *TableEntry(const char *const *table, int index) { return LanguageEntry(table, index); }

const MenuRange *MenuRangeOf(int id)
{
    for (const MenuRange &r : MENU_RANGES)
        if (id >= r.first && id <= r.last)
            return &r;
    return nullptr;
}

void Copy(char *out, const char *text)
{
    lstrcpynA(out, text ? text : "", CONVERT_TITLE_SIZE);
}

void Append(char *out, const char *text)
{
    const size_t n = std::strlen(out);
    if (n + 1 < CONVERT_TITLE_SIZE)
        lstrcpynA(out + n, text, static_cast<int>(CONVERT_TITLE_SIZE - n));
}

void KeyName(char *out, int key)
{
    if (key < 10)
        std::snprintf(out, 8, "%c", '0' + key);
    else if (key < 36)
        std::snprintf(out, 8, "%c", 'A' + key - 10);
    else
        lstrcpynA(out, TableEntry(eUniTexts, TEXT_KEY_NAMES + key), 32);
}

// Appends the keys assigned to id: the title form " [A/+B]" (inside a
// bracket the base text already ends with), or the menu form "\bA / Shift+B".
void AppendKeys(char *out, int id, bool menuForm)
{
    bool first = true;
    for (int slot = 0; slot < KEYBOARD_KEYS; ++slot) {
        if (g_Options.keyboard[slot] != id)
            continue;
        if (first) {
            if (menuForm) {
                Append(out, std::strchr(out, '\b') ? " / " : "\b");
            } else if (char *bracket = std::strrchr(out, ']')) {
                *bracket = 0;
                Append(out, "/");
            } else {
                Append(out, " [");
            }
        } else {
            Append(out, menuForm ? " / " : "/");
        }
        first = false;
        const bool shift = slot >= KEYS_PLAIN;
        if (shift)
            Append(out, menuForm ? LANG(eDialogText, ShiftPrefix) : "+");
        char key[32];
        KeyName(key, shift ? slot - KEYS_PLAIN : slot);
        Append(out, key);
    }
    if (!first && !menuForm)
        Append(out, "]");
}

// The base title without keys; 0 when the command has none.
int BaseTitle(char *out, int id)
{
    out[0] = 0;
    if (const MenuRange *r = MenuRangeOf(id)) {
        Copy(out, TableEntry(r->table, 2 * (id - r->first)));
        return 1;
    }
    if (id >= TABLET_FIRST && id <= TABLET_LAST) {
        const int32_t *s = g_DigitizerState;
        const bool unset = s[0] < 0 || s[1] < 0 || s[2] < 0;
        char letter[2] = {unset || s[1] >= 50 ? '?' : LETTERS_50[s[1]], 0};
        std::snprintf(out, CONVERT_TITLE_SIZE, TableEntry(eTabletCommands, 2 * (id - TABLET_FIRST)),
                      unset ? 0 : s[0] + 1, letter, unset ? 0 : s[2] + 1);
        return 1;
    }
    if (id >= RECENT_FIRST && id <= RECENT_LAST) {
        const int k = id - RECENT_FIRST;
        char name[SYSTEM_PATH_SIZE];
        if (k < g_ProfileLists.recentCount)
            ZVI_FileShortName(g_ProfileLists.recent[k], name);
        else
            lstrcpynA(name, LANG(eDefaultNames, NoRecentFile), sizeof name);
        std::snprintf(out, CONVERT_TITLE_SIZE, TableEntry(eInternCommands, RECENT_ENTRY), k + 1, name);
        return 1;
    }
    for (const InternRange &r : INTERN_RANGES)
        if (id >= r.first && id <= r.last) {
            std::snprintf(out, CONVERT_TITLE_SIZE, TableEntry(eInternCommands, r.entry), id - r.first + 1);
            return 1;
        }
    for (const ViewGroup &g : VIEW_GROUPS)
        if (id >= g.first && id < g.first + VIEW_GROUP_SIZE)
            return BaseTitle(out, g.titleOf);
    const ModuleCommand *entry = ZviCommandEntry(id);
    if (!entry)
        return 0;
    const char *name = entry->name;
    if (!name && id < IMPORT_COMMAND_FIRST) {
        const ModuleData *m = ZviModuleRecord((id - COMMAND_PLUGIN_FIRST) / COMMAND_PLUGIN_PER_MODULE);
        name = m->defaultEntry.name;
    }
    if (!name)
        return 0;
    Copy(out, name);
    return 1;
}

// The menu text of a plug-in, import or export command without keys.
int ModuleMenuText(char *out, int id)
{
    const ModuleCommand *entry = ZviCommandEntry(id);
    if (!entry)
        return 0;
    int accel = 0;
    if (id < IMPORT_COMMAND_FIRST) {
        const int index = (id - COMMAND_PLUGIN_FIRST) / COMMAND_PLUGIN_PER_MODULE;
        const ModuleData *module = ZviModuleRecord(index);
        if (entry != &module->defaultEntry && entry->longName) {
            Copy(out, entry->longName);
            return 1;
        }
        entry = &module->defaultEntry;
        // Modules sharing a menu are told apart by their accelerator.
        for (int m = 0; m < index; ++m)
            if (ZviModuleRecord(m)->defaultEntry.idFlags == entry->idFlags)
                ++accel;
    } else {
        accel = (id < EXPORT_COMMAND_FIRST ? id - IMPORT_COMMAND_FIRST : id - EXPORT_COMMAND_FIRST) + 10;
    }
    if (!entry->longName)
        return 0;
    std::snprintf(out, CONVERT_TITLE_SIZE, LANG_FORMAT(eDialogText, ModuleMenuText, "%c %s"), ConvertIndexToAccelChar(accel),
                  entry->longName);
    return 1;
}

const ModuleData *PluginMenuModule(uint32_t menuCode)
{
    if (!(menuCode & MENU_PLUGIN_HEADER))
        return nullptr;
    return ZviModuleRecord(static_cast<int>(menuCode & MENU_ID_MASK));
}

// A main menu's text from table, or a module menu's name (its long name for
// a title); 0 when the module gives none.
int MenuText(char *out, uint32_t menuCode, const char *const *table, bool title)
{
    Copy(out, LANG(eDialogText, NoTitle));
    if (menuCode & MENU_PLUGIN_HEADER) {
        const ModuleData *m = PluginMenuModule(menuCode);
        const char *name = m ? (title ? m->defaultEntry.longName : m->defaultEntry.name) : nullptr;
        if (!name)
            return 0;
        Copy(out, name);
    } else if (menuCode < MAIN_MENUS) {
        Copy(out, TableEntry(table, static_cast<int>(menuCode)));
    }
    return 1;
}

} // namespace

int ConvertGetIconCount() { return ICON_COUNT; }

int ConvertCommandToIconIndex(int id)
{
    struct Row {
        int first, last, offset, fixed;
    };
    static const Row ROWS[] = {
        {100, 126, 90, 0},    {127, 233, 160, 0},   {234, 389, 220, 0},   {390, 453, 230, 0},
        {454, 590, 270, 0},   {591, 653, 270, 0},   {654, 751, 310, 0},   {752, 843, 350, 0},
        {844, 915, 400, 0},   {916, 1043, 480, 0},  {1044, 1106, 530, 0}, {1107, 1209, 620, 0},
        {5340, 5439, 0, 590}, {5440, 5539, 0, 591}, {5540, 5559, 0, 592}, {5560, 5610, 0, 593},
        {5864, 6865, 0, 594}, {6866, 7867, 0, 595}, {1300, 5299, 0, 596}, {5300, 5319, 0, 597},
        {5320, 5339, 0, 598},
    };
    for (const ViewGroup &g : VIEW_GROUPS)
        if (id >= g.first && id < g.first + VIEW_GROUP_SIZE)
            return ConvertCommandToIconIndex(g.titleOf);
    for (const Row &r : ROWS)
        if (id >= r.first && id <= r.last)
            return r.fixed ? r.fixed : id - r.offset;
    return 0;
}

char ConvertIndexToAccelChar(int index)
{
    if (index >= 0 && index <= 9)
        return static_cast<char>('0' + (index + 1) % 10);
    if (index >= 10 && index <= 35)
        return static_cast<char>('A' + index - 10);
    return ' ';
}

int ConvertGetMenuName(char *out, uint32_t menuCode) { return MenuText(out, menuCode, eMenuNames, false); }

int ConvertGetMenuTitle(char *out, uint32_t menuCode, int longNames)
{
    return MenuText(out, menuCode, longNames ? eMenuLongNames : eMenuShortNames, true);
}

int ConvertGetCommandInfo(ModuleCommand *info, int id)
{
    *info = ModuleCommand{};
    info->name = LANG(eDialogText, NoTitle);
    info->longName = info->name;
    info->iconChoice = MODULE_ICON_NONE;
    if (const ModuleCommand *entry = ZviCommandEntry(id))
        *info = *entry;
    return 1;
}

int ConvertGetCommandTitle(char *out, int id)
{
    if (!BaseTitle(out, id)) {
        out[0] = 0;
        return 0;
    }
    AppendKeys(out, id, false);
    return 1;
}

int ConvertGetCommandMenuText(char *out, int id)
{
    out[0] = 0;
    if (const MenuRange *r = MenuRangeOf(id)) {
        Copy(out, TableEntry(r->table, 2 * (id - r->first) + 1));
    } else if (!ModuleMenuText(out, id)) {
        out[0] = 0;
        return 0;
    }
    AppendKeys(out, id, true);
    return 1;
}

HMENU ConvertFindCommandSubmenu(HMENU menu, int id)
{
    int mainMenu = -1, position = 0, popupPosition = -1;
    bool found = false;
    for (const uint32_t *entry = g_MenuLayout; !found && !(*entry & MENU_END); ++entry) {
        const uint32_t e = *entry;
        const bool matches = !(e & MENU_SEPARATOR) && static_cast<int>(e & MENU_ID_MASK) == id;
        if (e & MENU_TOP_HEADER) {
            ++mainMenu;
            position = 0;
            popupPosition = -1;
        } else if (e & MENU_POPUP_ITEM) {
            found = matches;
        } else {
            // A plain item, separator or popup opener of the main menu.
            popupPosition = (e & MENU_POPUP_HEADER) ? position : -1;
            found = matches && (e & MENU_POPUP_HEADER);
            ++position;
        }
    }
    if (!found || mainMenu < 0 || mainMenu >= MAIN_MENUS || popupPosition < 0 || !menu)
        return nullptr;
    HMENU top = GetSubMenu(menu, mainMenu);
    return top ? GetSubMenu(top, popupPosition) : nullptr;
}

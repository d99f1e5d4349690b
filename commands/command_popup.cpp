// List popups.
#include "commands/command_popup.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "commands/command_menu.h"
#include "commands/command_tables.h"
#include "files/zvi.h"
#include "language/language.h"
#include "language/language_entries.h"

namespace {

constexpr int ACCEL_CHARS = 36;      // '0' to '9', 'A' to 'Z'
constexpr int LABEL_SIZE = 300;

constexpr int MENU_RESERVE = 4;
constexpr int FLAT_MENU_RESERVE = 3;
constexpr int DIALOG_RESERVE = 1;

constexpr int SYSTEM_COMMAND_BASE = 5560, SYSTEM_NEW = 330, SYSTEM_TITLE = 329;
constexpr int HATCH_COMMAND_BASE = 5662, HATCH_NEW = 580, HATCH_TITLE = 580;
constexpr int PEN_COMMAND_BASE = 6866, PEN_NEW = 338, PEN_SWITCH = 369, PEN_TITLE = 337;
constexpr int LAYER_COMMAND_BASE = 5864, LAYER_NEW = 309, LAYER_SWITCH = 370, LAYER_TITLE = 308;
constexpr int RECENT_COMMAND_BASE = 5540, RECENT_TITLE = 104;
constexpr int LAST_COMMANDS_TITLE = 210;

// Menu rows that fit the screen, less the caller's reserve.
int Rows(int reserve)
{
    const int item = GetSystemMetrics(SM_CYMENU);
    return (item > 0 ? GetSystemMetrics(SM_CYSCREEN) / item : 0) - reserve;
}

void Label(char *out, int k, const char *name)
{
    if (k < ACCEL_CHARS) {
        const char c = static_cast<char>(k < 10 ? '0' + k : 'A' + k - 10);
        std::snprintf(out, LABEL_SIZE, LANG_FORMAT(eDialogText, ListAccelLabel, "%c %s"), c, name);
    } else {
        std::snprintf(out, LABEL_SIZE, LANG_FORMAT(eDialogText, ListLabel, "%s"), name);
    }
}

UINT Tick(bool on) { return on ? MF_CHECKED : MF_UNCHECKED; }

bool HoldsCurrent(const CommandNameEntry *list, int from, int to, int current)
{
    for (int p = from; p < to; ++p)
        if (list[p].order == current)
            return true;
    return false;
}

const char *NameAt(const CommandNameEntry *list, int p)
{
    const char *s = list[list[p].order].name;
    return s ? s : "";
}

// A name list over the records of a table (each record starts with its name).
template <typename Def> std::vector<CommandNameEntry> NameList(const Def *defs, int slots)
{
    std::vector<CommandNameEntry> list(slots);
    for (int k = 0; k < slots; ++k)
        list[k] = CommandNameEntry{k, defs[k].name};
    return list;
}

// The list part of a popup: entry 0 and the named entries, flat or as a
// tree, the grey item when only entry 0 exists. Free slots are not offered:
// one chosen would name nothing (a line type of no name draws solid). 1, or
// 0 on failure.
int AppendList(HMENU menu, std::vector<CommandNameEntry> &list, bool tree, int current, int reserve, int base)
{
    const int named = CommandSortNames(list.data(), static_cast<int>(list.size()));
    const int shown = 1 + named;
    const int ok = tree ? CommandMenuBuildSortedPopup(menu, list.data(), shown, current, reserve, base)
                        : CommandMenuAppendColumns(menu, list.data(), shown, current, reserve, base);
    if (!ok)
        return 0;
    if (named == 0 && !AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, LANG(eDialogText, ListEmpty)))
        return 0;
    return 1;
}

// A margin-button popup: the list, the "new" item and, for pens and layers,
// the switch of their list window.
template <typename Def>
void ShowTablePopup(const Def *defs, int slots, bool tree, int current, int reserve, int base, int newCommand,
                    int switchCommand, uint32_t switchOn, int title, const RECT *anchor)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    std::vector<CommandNameEntry> list = NameList(defs, slots);
    bool ok = AppendList(menu, list, tree, current, reserve, base) && AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) &&
              AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(newCommand), LANG(eDialogText, ListNew));
    if (ok && switchCommand)
        ok = AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) &&
             AppendMenuA(menu, MF_STRING | Tick(switchOn), static_cast<UINT_PTR>(switchCommand),
                         LANG(eDialogText, ListWindow));
    if (ok)
        CommandTrackPopup(g_MainWnd, menu, title, anchor);
    DestroyMenu(menu);
}

template <typename Def>
void ShowSelectPopup(const Def *defs, int slots, bool tree, HWND owner, const RECT *button, int current,
                     int base, int topCommand, int newCommand)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    bool ok = true;
    if (topCommand > 0)
        ok = AppendMenuA(menu, MF_STRING | Tick(current == -1), static_cast<UINT_PTR>(topCommand),
                         LANG(eDialogText, ListTop)) &&
             AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    std::vector<CommandNameEntry> list = NameList(defs, slots);
    ok = ok && AppendList(menu, list, tree, current, DIALOG_RESERVE, base);
    if (ok && newCommand > 0)
        ok = AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) &&
             AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(newCommand), LANG(eDialogText, ListNew));
    if (ok)
        CommandTrackPopup(owner, menu, 0, button);
    DestroyMenu(menu);
}

} // namespace

int CommandSortNames(CommandNameEntry *list, int n)
{
    for (int k = 0; k < n; ++k)
        list[k].order = k;
    for (int i = 1; i < n; ++i) {
        int minimum = i;
        for (int j = i + 1; j < n; ++j) {
            const char *m = NameAt(list, minimum), *c = NameAt(list, j);
            if (c[0] && (!m[0] || lstrcmpA(m, c) > 0))
                minimum = j;
        }
        std::swap(list[i].order, list[minimum].order);
    }
    int named = 0;
    while (1 + named < n && NameAt(list, 1 + named)[0])
        ++named;
    return named;
}

int CommandMenuAppendColumns(HMENU menu, const CommandNameEntry *list, int n, int current, int reserve,
                             int firstCommand)
{
    const int rows = Rows(reserve);
    for (int p = 0; p < n && p < rows; ++p) {
        const int e = list[p].order;
        char label[LABEL_SIZE];
        Label(label, p, NameAt(list, p));
        if (!AppendMenuA(menu, MF_STRING | Tick(e == current), static_cast<UINT_PTR>(firstCommand + e), label))
            return 0;
        if (p == 0 && !AppendMenuA(menu, MF_SEPARATOR, 0, nullptr))
            return 0;
    }
    return 1;
}

int CommandMenuBuildColumns(HMENU menu, const CommandNameEntry *list, int n, int current, int reserve,
                            int firstCommand, int start, const char *prefix)
{
    // At least one entry a menu, or the continuation would never advance.
    const int rows = std::max(1, Rows(reserve) - 1);
    const size_t length = std::strlen(prefix);
    int k = 0;
    int p = start;
    while (p < n) {
        const int e = list[p].order;
        const char *s = NameAt(list, p);
        if (std::strlen(s) <= length || (length > 0 && std::strncmp(s, prefix, length) != 0))
            return p;
        char label[LABEL_SIZE];
        if (k >= rows) {
            HMENU more = CreatePopupMenu();
            if (!more)
                return -1;
            const int q = CommandMenuBuildColumns(more, list, n, current, reserve, firstCommand, p, prefix);
            if (q < 0 || !AppendMenuA(menu, MF_POPUP | Tick(HoldsCurrent(list, p, q, current)),
                                      reinterpret_cast<UINT_PTR>(more), LANG(eDialogText, ListMore))) {
                DestroyMenu(more);
                return -1;
            }
            return q;
        }
        const char *backslash = std::strchr(s + length, '\\');
        if (backslash && backslash[1]) {
            std::string group(s, static_cast<size_t>(backslash - s) + 1);
            HMENU sub = CreatePopupMenu();
            if (!sub)
                return -1;
            const int q = CommandMenuBuildColumns(sub, list, n, current, reserve, firstCommand, p, group.c_str());
            const std::string name(s + length, static_cast<size_t>(backslash - s) - length);
            Label(label, k, name.c_str());
            if (q < 0 || !AppendMenuA(menu, MF_POPUP | Tick(HoldsCurrent(list, p, q, current)),
                                      reinterpret_cast<UINT_PTR>(sub), label)) {
                DestroyMenu(sub);
                return -1;
            }
            p = q;
        } else {
            const char *last = std::strrchr(s, '\\');
            Label(label, k, last ? last + 1 : s);
            if (!AppendMenuA(menu, MF_STRING | Tick(e == current), static_cast<UINT_PTR>(firstCommand + e), label))
                return -1;
            if (p == 0 && !AppendMenuA(menu, MF_SEPARATOR, 0, nullptr))
                return -1;
            ++p;
        }
        ++k;
    }
    return p;
}

int CommandMenuBuildSortedPopup(HMENU menu, const CommandNameEntry *list, int n, int current, int reserve,
                                int firstCommand)
{
    return CommandMenuBuildColumns(menu, list, n, current, reserve, firstCommand, 0, "") >= 0 ? 1 : 0;
}

void CommandPopupSystemMenu(const RECT *anchor)
{
    ShowTablePopup(g_SystemDefs, SYSTEM_SLOTS, false, g_CurrentSystem.system, FLAT_MENU_RESERVE,
                   SYSTEM_COMMAND_BASE, SYSTEM_NEW, 0, 0, SYSTEM_TITLE, anchor);
}

void CommandPopupHatchMenu(const RECT *anchor)
{
    ShowTablePopup(g_HatchDefs, HATCH_SLOTS, true, g_CurrentHatch, MENU_RESERVE, HATCH_COMMAND_BASE, HATCH_NEW, 0,
                   0, HATCH_TITLE, anchor);
}

void CommandPopupPenMenu(const RECT *anchor)
{
    ShowTablePopup(g_PenDefs, PEN_SLOTS, true, g_ActivePen, MENU_RESERVE, PEN_COMMAND_BASE, PEN_NEW, PEN_SWITCH,
                   g_Options.penVisible, PEN_TITLE, anchor);
}

void CommandPopupLayerMenu(const RECT *anchor)
{
    ShowTablePopup(g_LayerDefs, LAYER_SLOTS, true, g_ActiveLayer, MENU_RESERVE, LAYER_COMMAND_BASE, LAYER_NEW,
                   LAYER_SWITCH, g_Options.layerVisible, LAYER_TITLE, anchor);
}

void CommandPopupSelectLine(HWND owner, const RECT *button, int current, int firstCommand, int topCommand,
                            int newCommand)
{
    ShowSelectPopup(g_LineDefs, LINE_SLOTS, false, owner, button, current, firstCommand, topCommand, newCommand);
}

void CommandPopupSelectMultiLine(HWND owner, const RECT *button, int current, int firstCommand, int topCommand,
                                 int newCommand)
{
    ShowSelectPopup(g_MultiLineDefs, MULTILINE_SLOTS, false, owner, button, current, firstCommand, topCommand,
                    newCommand);
}

void CommandPopupSelectSystem(HWND owner, const RECT *button, int current, int firstCommand, int topCommand,
                              int newCommand)
{
    ShowSelectPopup(g_SystemDefs, SYSTEM_SLOTS, false, owner, button, current, firstCommand, topCommand,
                    newCommand);
}

void CommandPopupSelectHatch(HWND owner, const RECT *button, int current, int firstCommand, int topCommand,
                             int newCommand)
{
    ShowSelectPopup(g_HatchDefs, HATCH_SLOTS, true, owner, button, current, firstCommand, topCommand, newCommand);
}

void CommandPopupSelectLayer(HWND owner, const RECT *button, int current, int firstCommand, int topCommand,
                             int newCommand)
{
    ShowSelectPopup(g_LayerDefs, LAYER_SLOTS, true, owner, button, current, firstCommand, topCommand, newCommand);
}

void CommandPopupSelectPen(HWND owner, const RECT *button, int current, int firstCommand, int topCommand,
                           int newCommand)
{
    ShowSelectPopup(g_PenDefs, PEN_SLOTS, true, owner, button, current, firstCommand, topCommand, newCommand);
}

void CommandRecentFilesPopup()
{
    const ProfileLists &r = g_ProfileLists;
    if (r.recentCount <= 0)
        return;
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    bool ok = true;
    for (int k = 0; ok && k < r.recentCount && k < RECENT_DRAWINGS; ++k) {
        char name[SYSTEM_PATH_SIZE], label[LABEL_SIZE];
        ZVI_FileShortName(r.recent[k], name);
        std::snprintf(label, sizeof label, "&%c\t%s", ConvertIndexToAccelChar(k), name);
        ok = AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(RECENT_COMMAND_BASE + k), label) != 0;
    }
    if (ok)
        CommandTrackPopup(g_MainWnd, menu, RECENT_TITLE, nullptr);
    DestroyMenu(menu);
}

void CommandLastCommandsPopup()
{
    const int32_t *list = g_CommandDefaults.lastCommands;
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    bool ok = true;
    int items = 0;
    for (int k = 0; ok && k < LAST_COMMANDS; ++k) {
        if (list[k] < 0)
            continue;
        char title[CONVERT_TITLE_SIZE], label[LABEL_SIZE];
        ConvertGetCommandTitle(title, list[k]);
        std::snprintf(label, sizeof label, "&%c\t%s", ConvertIndexToAccelChar(k), title);
        ok = AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(list[k]), label) != 0;
        ++items;
    }
    if (ok && items > 0)
        CommandTrackPopup(g_MainWnd, menu, LAST_COMMANDS_TITLE, nullptr);
    DestroyMenu(menu);
}

void CommandMarginPopupShow(int window, int popup, const RECT &anchor)
{
    switch (popup) {
    case MARGIN_POPUP_DRAWING: CommandMenuDrawingContextPopup(&anchor, window); break;
    case MARGIN_POPUP_SYSTEM: CommandPopupSystemMenu(&anchor); break;
    case MARGIN_POPUP_HATCH: CommandPopupHatchMenu(&anchor); break;
    case MARGIN_POPUP_PEN: CommandPopupPenMenu(&anchor); break;
    case MARGIN_POPUP_LAYER: CommandPopupLayerMenu(&anchor); break;
    default: break;
    }
}

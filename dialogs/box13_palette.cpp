// The command palettes' layout (a strip of menu groups, the items of the
// current group, the members of its popup) and the keyboard assignment.
#include <algorithm>
#include <cstdio>

#include "app/convert.h"
#include "app/init_menulayout.h"
#include "app/system.h"
#include "commands/command_keys.h"
#include "dialogs/alert.h"
#include "dialogs/box13.h"
#include "language/language.h"

namespace {

constexpr int GROUP_CELL = BOX13_GROUP_CELL;
constexpr int COMMAND_CELL = BOX13_COMMAND_CELL;
constexpr int MIN_CELLS_PER_ROW = 7;
constexpr int MAX_GROUPS = 32;
constexpr int MAX_GROUP_ITEMS = 60;
constexpr int MAX_POPUP_MEMBERS = 40;
constexpr int ALERT_TOO_LARGE = 80;
constexpr int ALERT_KEY_TAKEN = 82;
constexpr int KEY_SET = KEYBOARD_KEYS / 2;
constexpr int KEY_BACKSPACE = 36, KEY_ENTER = 37;
constexpr int UNI_BACKSPACE = 41, UNI_ENTER = 42;

bool Is(uint32_t e, uint32_t flag) { return (e & flag) && !(e & MENU_SEPARATOR); }

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

} // namespace

int Box13PopupLayout(const uint32_t *layout, Box13PaletteLayout *out)
{
    int groups = 0, items = 0, members = 0, largestGroup = 0, largestPopup = 0;
    for (const uint32_t *e = layout; !(*e & MENU_END); ++e) {
        if (*e & MENU_TOP_HEADER) {
            ++groups;
            items = 0;
        } else if (Is(*e, MENU_TOP_ITEM) || Is(*e, MENU_POPUP_HEADER)) {
            largestGroup = std::max(largestGroup, ++items);
            if (*e & MENU_POPUP_HEADER)
                members = 0;
        } else if (Is(*e, MENU_POPUP_ITEM)) {
            largestPopup = std::max(largestPopup, ++members);
        }
    }
    if (largestGroup > MAX_GROUP_ITEMS || largestPopup > MAX_POPUP_MEMBERS) {
        AlertOk(nullptr, eAlertTextOK[ALERT_TOO_LARGE]);
        return 0;
    }
    Box13PaletteLayout &l = *out;
    l.groups = std::min(groups, MAX_GROUPS);
    l.cellsPerRow = std::max(CeilDiv(GROUP_CELL * l.groups, COMMAND_CELL), MIN_CELLS_PER_ROW);
    l.itemRows = CeilDiv(largestGroup, l.cellsPerRow);
    l.memberRows = CeilDiv(largestPopup, l.cellsPerRow);
    l.width = COMMAND_CELL * l.cellsPerRow;
    l.height = 44 + COMMAND_CELL * (l.itemRows + l.memberRows);
    return 1;
}

int Box13Popup2Layout(int members, Box13FlyoutLayout *out)
{
    if (members > MAX_POPUP_MEMBERS) {
        AlertOk(nullptr, eAlertTextOK[ALERT_TOO_LARGE]);
        return 0;
    }
    Box13FlyoutLayout &l = *out;
    l.members = members;
    l.lines = members < 8 ? 1 : members <= 14 ? 2 : 3;
    l.cellsPerLine = std::max(CeilDiv(members, l.lines), MIN_CELLS_PER_ROW);
    l.width = COMMAND_CELL * l.cellsPerLine;
    l.height = COMMAND_CELL * l.lines;
    return 1;
}

int Box13PopupHead(const uint32_t *layout, int commandId)
{
    // The last popup head up to (or at) the command.
    int head = -1;
    for (int i = 0; !(layout[i] & MENU_END); ++i) {
        if (layout[i] & MENU_POPUP_HEADER)
            head = i;
        if (int(layout[i] & MENU_ID_MASK) == commandId && !(layout[i] & MENU_SEPARATOR))
            return head;
    }
    return -1;
}

int Box13PopupGroupMembers(const uint32_t *layout, int commandId)
{
    const int head = Box13PopupHead(layout, commandId);
    if (head < 0)
        return 0;
    int n = 0;
    for (const uint32_t *e = layout + head + 1; !(*e & MENU_END) && (*e & MENU_POPUP_ITEM); ++e)
        n += !(*e & MENU_SEPARATOR);
    return n;
}

int Box13KeyCommand(int virtualKey, int shift) { return CommandAssignedKey(virtualKey, shift); }

void Box13KeyName(char *out, size_t size, int index, int backspaceText, int enterText)
{
    const char *prefix = index >= KEY_SET ? "+" : "";
    const int key = index % KEY_SET;
    if (key == KEY_BACKSPACE || key == KEY_ENTER)
        std::snprintf(out, size, "%s%s", prefix, eUniTexts[key == KEY_BACKSPACE ? backspaceText : enterText]);
    else
        std::snprintf(out, size, "%s%c", prefix, key < 10 ? '0' + key : 'A' + key - 10);
}

void Box13KeyDescription(char *out, size_t size, int index)
{
    char name[32];
    Box13KeyName(name, sizeof name, index, UNI_BACKSPACE, UNI_ENTER);
    std::snprintf(out, size, "\"%s\"", name);
}

int Box13AssignKey(HWND dialog, int keyIndex, int commandId)
{
    if (keyIndex < 0 || keyIndex >= KEYBOARD_KEYS)
        return 0;
    for (int k = 0; k < KEYBOARD_KEYS; ++k) {
        if (g_Options.keyboard[k] != commandId)
            continue;
        char key[32], question[512];
        Box13KeyDescription(key, sizeof key, k);
        std::snprintf(question, sizeof question, eAlertTextOK[ALERT_KEY_TAKEN], key);
        if (AlertYesNo(dialog, question) != ALERT_YES)
            return 0;
        break;
    }
    g_Options.keyboard[keyIndex] = commandId;
    return 1;
}

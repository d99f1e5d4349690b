// Shared chores of the dialogs: colour texts, points in the current system,
// spin fields, three-state boxes, combo-box heights, the tool dialogs'
// system menu, the popup menus of recent names, stored filters and
// insertable texts, the variable sort, and pen and layer group paths.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/system_records.h"
#include "app/window.h"
#include "commands/command_popup.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box02.h"
#include "geometry/calc.h"
#include "language/language.h"

namespace {

constexpr int COLOR_TEXT_RGB = 56, COLOR_TEXT_CMY = 57;  // eUniTexts
constexpr int SPIN_TEXT_SIZE = 251;
constexpr int SPIN_DIGITS = 8;
constexpr int FIELD_HEIGHT_MIN = 10;
constexpr int EMPTY_NAME = 7;                              // eDefaultNames
constexpr int MENU_SECOND = 11, MENU_THIRD = 12;           // eSpecialMenus: recent names
constexpr int MENU_FILTERS_SECOND = 17, MENU_FILTERS_THIRD = 18;
constexpr int SYSMENU_MOVE = 0, SYSMENU_CLOSE = 2, SYSMENU_PLACE = 4, SYSMENU_PLACE_FIRST = 9,
              SYSMENU_HIDE = 12;                            // eSystemCommands
constexpr int SYSMENU_PLACE_ITEMS = 3;
constexpr int MENU_ITEM_SIZE = 300;

// One menu of eight names: item i has id base + i; greyed as `grey` says.
bool AppendNames(HMENU menu, const char *(*nameOf)(const void *, int), const void *names, int base,
                 bool greyFirst, bool greyEmpty)
{
    for (int i = 0; i < BOX01_RECENT_NAMES; ++i) {
        const char *name = nameOf(names, i);
        const bool empty = !name || !name[0];
        char text[MENU_ITEM_SIZE];
        snprintf(text, sizeof text, "&%c  %s", '1' + i, empty ? eDefaultNames[EMPTY_NAME] : name);
        UINT flags = MF_STRING;
        if ((greyFirst && i == 0) || (greyEmpty && empty))
            flags |= MF_GRAYED;
        if (!AppendMenuA(menu, flags, base + i, text))
            return false;
    }
    return true;
}

// The three-part menu of recent names and of stored filters.
HMENU NamesMenu(HWND owner, const char *(*nameOf)(const void *, int), const void *names, int base, int second,
                int third, bool withThird, bool greyEmptyFirst)
{
    HMENU menu = CreatePopupMenu();
    HMENU sub2 = CreatePopupMenu();
    HMENU sub3 = withThird ? CreatePopupMenu() : nullptr;
    bool ok = menu && sub2 && (!withThird || sub3);
    ok = ok && AppendNames(menu, nameOf, names, base, false, greyEmptyFirst);
    ok = ok && AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ok = ok && AppendNames(sub2, nameOf, names, base + BOX01_RECENT_NAMES, true, true);
    ok = ok && AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub2), eSpecialMenus[second]);
    if (ok)
        sub2 = nullptr; // owned by the menu now
    if (ok && withThird) {
        ok = AppendNames(sub3, nameOf, names, base + 2 * BOX01_RECENT_NAMES, false, false) &&
             AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub3), eSpecialMenus[third]);
        if (ok)
            sub3 = nullptr;
    }
    if (sub2)
        DestroyMenu(sub2);
    if (sub3)
        DestroyMenu(sub3);
    if (!ok) {
        if (menu)
            DestroyMenu(menu);
        AlertNoDialog(owner);
        return nullptr;
    }
    return menu;
}

const char *RecentName(const void *names, int i)
{
    return static_cast<const char(*)[BOX01_RECENT_PATH_SIZE]>(names)[i];
}

const char *FilterName(const void *filters, int i)
{
    return static_cast<const SelectionFilter *>(filters)[i].name;
}

bool IsOwnEntry(const char *leaf)
{
    return leaf[0] == '*' || leaf[0] == '~';
}

bool StartsWith(const char *text, const char *prefix)
{
    return strncmp(text, prefix, strlen(prefix)) == 0;
}

int Sign(int n)
{
    return n < 0 ? -1 : n > 0 ? 1 : 0;
}

} // namespace

// --- Texts and values ----------------------------------------------------------

char *Box01FormatColorText(char *out, COLORREF colour)
{
    double a, b, c;
    if (g_Options.colorDefinition == 0) {
        ConvertColorToPercent(colour, &a, &b, &c);
        snprintf(out, BOX01_COLOR_TEXT_SIZE, eUniTexts[COLOR_TEXT_RGB], a, b, c);
    } else {
        ConvertColorToCMY(colour, &a, &b, &c);
        snprintf(out, BOX01_COLOR_TEXT_SIZE, eUniTexts[COLOR_TEXT_CMY], a, b, c);
    }
    return out;
}

void Box01ConvertPointToSystem(double *x, double *y)
{
    const double sx = ConvertWorldToSystemX(g_ActiveWindow, *x, *y);
    const double sy = ConvertWorldToSystemY(g_ActiveWindow, *x, *y);
    *x = sx == CALC_NO_VALUE ? 0 : sx;
    *y = sy == CALC_NO_VALUE ? 0 : sy;
}

// --- Controls -------------------------------------------------------------------

void Box01DialogSpinEdit(HWND dialog, int code, HWND scrollBar, double min, double max, double step)
{
    const int bar = GetDlgCtrlID(scrollBar);
    if (bar < BOX01_SPIN_FIRST || bar > BOX01_SPIN_LAST || (code != SB_LINEUP && code != SB_LINEDOWN))
        return;
    const int field = bar + BOX01_SPIN_FIELD_OFFSET;
    char text[SPIN_TEXT_SIZE] = "";
    GetDlgItemTextA(dialog, field, text, SPIN_TEXT_SIZE);
    double value = 0;
    if (!AlertCheckInputDouble(nullptr, text, &value, -1))
        value = 0;
    if (code == SB_LINEDOWN) {
        value -= std::fabs(step);
        if (value < min)
            value = min;
    } else {
        value += std::fabs(step);
        if (value > max)
            value = max;
    }
    char out[64];
    ConvertDoubleToString(out, value, 0, SPIN_DIGITS);
    SetDlgItemTextA(dialog, field, out);
    Box01DialogFocusEdit(dialog, field);
}

int Box01DialogCycleTriState(HWND dialog, int id, int twoStateOnly)
{
    int state;
    switch (IsDlgButtonChecked(dialog, id)) {
    case BST_UNCHECKED:
        state = BST_CHECKED;
        break;
    case BST_CHECKED:
        state = twoStateOnly ? BST_UNCHECKED : BST_INDETERMINATE;
        break;
    default:
        state = BST_UNCHECKED;
        break;
    }
    CheckDlgButton(dialog, id, state);
    return state;
}

void Box01DialogFitComboBox(HWND dialog, int id)
{
    HWND combo = GetDlgItem(dialog, id);
    if (!combo)
        return;
    const int hf = std::max(static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0)), FIELD_HEIGHT_MIN);
    RECT r;
    GetWindowRect(combo, &r);
    const int screen = g_ScreenHeight > 0 ? g_ScreenHeight : GetSystemMetrics(SM_CYSCREEN);
    POINT origin{r.left, r.top};
    ScreenToClient(dialog, &origin);
    MoveWindow(combo, origin.x, origin.y, r.right - r.left, screen - 2 * hf - r.top, FALSE);
}

void Box01DialogSetSystemMenu(HWND window)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu)
        return;
    while (GetMenuItemCount(menu) > 0)
        if (!DeleteMenu(menu, 0, MF_BYPOSITION))
            break;
    AppendMenuA(menu, MF_STRING, SC_MOVE, eSystemCommands[SYSMENU_MOVE]);
    AppendMenuA(menu, MF_STRING, SC_CLOSE, eSystemCommands[SYSMENU_CLOSE]);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    HMENU place = CreatePopupMenu();
    if (place) {
        for (int i = 0; i < SYSMENU_PLACE_ITEMS; ++i)
            AppendMenuA(place, MF_STRING, BOX01_SYSMENU_FIRST + i, eSystemCommands[SYSMENU_PLACE_FIRST + i]);
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(place), eSystemCommands[SYSMENU_PLACE]);
    }
    AppendMenuA(menu, MF_STRING, BOX01_SYSMENU_FIRST + SYSMENU_PLACE_ITEMS, eSystemCommands[SYSMENU_HIDE]);
    DrawMenuBar(window);
}

void Box01DialogResetSystemMenu(HWND window)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu)
        while (GetMenuItemCount(menu) > 0)
            if (!DeleteMenu(menu, 0, MF_BYPOSITION))
                break;
    GetSystemMenu(window, TRUE);
    DrawMenuBar(window);
}

// --- Popup menus -----------------------------------------------------------------

HMENU Box01MenuRecentPaths(HWND owner, const char (*names)[BOX01_RECENT_PATH_SIZE], int noThirdSubmenu)
{
    return NamesMenu(owner, RecentName, names, BOX01_MENU_RECENT, MENU_SECOND, MENU_THIRD, !noThirdSubmenu,
                     !noThirdSubmenu);
}

HMENU Box01MenuStoredFilters(HWND owner, const SelectionFilter *filters)
{
    return NamesMenu(owner, FilterName, filters, BOX01_MENU_FILTERS, MENU_FILTERS_SECOND, MENU_FILTERS_THIRD,
                     true, true);
}

// --- Pen and layer names -----------------------------------------------------------

void Box01SplitNamePath(const char *name, char *pathOut, char *leafOut)
{
    const char *slash = strrchr(name, '\\');
    const size_t pathLength = slash ? static_cast<size_t>(slash - name + 1) : 0;
    if (pathOut) {
        memcpy(pathOut, name, pathLength);
        pathOut[pathLength] = 0;
    }
    if (leafOut)
        strcpy(leafOut, name + pathLength);
}

void Box01JoinNamePath(char *dst, const char *path, const char *leaf)
{
    char joined[2 * BOX01_GROUP_NAME_SIZE + 2] = "";
    if (path && path[0]) {
        lstrcpynA(joined, path, BOX01_GROUP_NAME_SIZE);
        const size_t n = strlen(joined);
        if (joined[n - 1] != '\\')
            strcat(joined, "\\");
    }
    if (leaf)
        strncat(joined, leaf, BOX01_GROUP_NAME_SIZE);
    lstrcpynA(dst, joined, BOX01_GROUP_NAME_SIZE);
}

int Box01CompareNamePaths(const char *a, const char *b)
{
    char pathA[BOX01_GROUP_NAME_SIZE], leafA[BOX01_GROUP_NAME_SIZE];
    char pathB[BOX01_GROUP_NAME_SIZE], leafB[BOX01_GROUP_NAME_SIZE];
    Box01SplitNamePath(a, pathA, leafA);
    Box01SplitNamePath(b, pathB, leafB);
    if (IsOwnEntry(leafA))
        return -1;
    if (IsOwnEntry(leafB))
        return 1;
    const bool headerA = !leafA[0], headerB = !leafB[0];
    if (!headerA && !headerB) {
        if (strcmp(pathA, pathB) == 0)
            return Sign(lstrcmpA(leafA, leafB));
        if (StartsWith(pathB, pathA))
            return 1;
        if (StartsWith(pathA, pathB))
            return -1;
    } else if (headerA && !headerB) {
        if (StartsWith(pathB, pathA) || StartsWith(pathA, pathB))
            return -1;
    } else if (headerB && !headerA) {
        if (StartsWith(pathA, pathB) || StartsWith(pathB, pathA))
            return 1;
    }
    return Sign(lstrcmpA(a, b));
}

// --- List popups ---------------------------------------------------------------------

namespace {

// The command module's list popups; no new-entry item from the dialogs.
void CommandListPopup(Box01ListPopupKind kind, HWND owner, const RECT *button, int current, int firstCommand,
                      int topCommand)
{
    switch (kind) {
    case BOX01_POPUP_LINES:
        CommandPopupSelectLine(owner, button, current, firstCommand, topCommand, 0);
        break;
    case BOX01_POPUP_LAYERS:
        CommandPopupSelectLayer(owner, button, current, firstCommand, topCommand, 0);
        break;
    case BOX01_POPUP_PENS:
        CommandPopupSelectPen(owner, button, current, firstCommand, topCommand, 0);
        break;
    case BOX01_POPUP_SYSTEMS:
        CommandPopupSelectSystem(owner, button, current, firstCommand, topCommand, 0);
        break;
    }
}

} // namespace

Box01ListPopupProc g_Box01ListPopup = CommandListPopup;

void Box01OpenListPopup(Box01ListPopupKind kind, HWND owner, HWND button, int current, int firstCommand,
                        int topCommand)
{
    if (!g_Box01ListPopup || !button)
        return;
    RECT rect;
    GetWindowRect(button, &rect);
    g_Box01ListPopup(kind, owner, &rect, current, firstCommand, topCommand);
}

// --- Definition list editors ------------------------------------------------------------

namespace {

constexpr int MSG_SELECT_FIRST = 3, MSG_NAME_USED = 25; // eAlertTextOK
constexpr int PROMPT_NAME = 54;                         // eUniTexts
constexpr int NAMED_MESSAGE_SIZE = 600;

} // namespace

void Box01SayName(HWND dialog, int message, const char *name)
{
    char text[NAMED_MESSAGE_SIZE];
    snprintf(text, sizeof text, eAlertTextOK[message], name);
    AlertOk(dialog, text);
}

uint32_t Box01AskName(HWND dialog, int message, const char *name)
{
    char text[NAMED_MESSAGE_SIZE];
    snprintf(text, sizeof text, eAlertTextOK[message], name);
    return AlertYesNo(dialog, text);
}

int Box01NeedEntry(HWND dialog, int entry)
{
    if (entry == -1)
        AlertOk(dialog, eAlertTextOK[MSG_SELECT_FIRST]);
    return entry;
}

int Box01AskFreeName(HWND dialog, const char *caption, char *name, int size,
                     const std::function<int(const char *)> &findName, int self)
{
    if (!Box02EditName(dialog, caption, eUniTexts[PROMPT_NAME], name, size))
        return 0;
    const int other = findName(name);
    if (other != -1 && other != self) {
        Box01SayName(dialog, MSG_NAME_USED, name);
        return 0;
    }
    return 1;
}

int Box01ListDeleteSelection(HWND dialog, int id)
{
    HWND list = GetDlgItem(dialog, id);
    const LRESULT row = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (row != LB_ERR)
        SendMessageA(list, LB_DELETESTRING, row, 0);
    const int select = row > 0 ? static_cast<int>(row) - 1 : 0;
    SendMessageA(list, LB_SETCURSEL, select, 0);
    return select;
}

int Box01ListRowName(HWND dialog, int id, int row, char *out, int size)
{
    const LRESULT length = SendDlgItemMessageA(dialog, id, LB_GETTEXTLEN, row, 0);
    if (row < 0 || length == LB_ERR || length >= size)
        return 0;
    SendDlgItemMessageA(dialog, id, LB_GETTEXT, row, reinterpret_cast<LPARAM>(out));
    if (char *tab = strchr(out, '\t'))
        *tab = 0;
    return 1;
}

int Box01ListFindExact(HWND dialog, int id, const char *name)
{
    const int rows = static_cast<int>(SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        char text[NAMED_MESSAGE_SIZE];
        if (Box01ListRowName(dialog, id, row, text, sizeof text) && strcmp(text, name) == 0)
            return row;
    }
    return -1;
}

int Box01TextHeight(HWND window)
{
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, "W", 1, &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cy;
}

// Menu state, command flags and popup placement.
#include "commands/command_menu.h"

#include <cstring>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_menus.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "app/write_refresh.h"
#include "commands/command_mouse.h"
#include "commands/command_state.h"
#include "database/symbol_library.h"
#include "database/undo.h"
#include "language/language.h"
#include "plugin/zvi_module.h"

namespace {

constexpr int FLAG_FIRST = 100;
constexpr int WINDOW_ARRANGEMENTS = 364; // 364 to 366: two, three and four windows
constexpr int VIEW_GROUP_FIRST = 7868;   // the drawing windows' view commands, five apart
constexpr int VIEW_GROUP_STRIDE = 5;
constexpr int VIEW_POPUP_ITEMS = 7;
constexpr int VIEW_POPUP_TEXT = 67;      // eDialogText
constexpr int VIEW_POPUP_TITLE = 341;
constexpr int VIEW_WINDOW_NUMBER = 999;
constexpr int VIEW_WINDOW_SLOT = 4;

// One state of one command.
struct CommandRule {
    int command;
    bool disabled;
    bool checked;
};

bool InterruptingMode()
{
    const int32_t mode = CommandMode();
    return mode == TEMPLATE_ONE_POINT || mode == TEMPLATE_SHORTCUT_PICK || mode == TEMPLATE_HELP_PICK;
}

bool ClipboardHasDrawing()
{
    const UINT formats[] = {g_ClipboardFormatZvd, CF_ENHMETAFILE, CF_METAFILEPICT, CF_DIB};
    for (UINT f : formats)
        if (f && IsClipboardFormatAvailable(f))
            return true;
    return false;
}

bool LibraryOpen()
{
    for (int i = 0; i < g_LibrarySlots.count && i < SYMBOL_LIBRARY_SLOTS; ++i)
        if (g_LibrarySlots.slots[i].info.title[0])
            return true;
    return false;
}

bool CurrentDisplayGrid()
{
    const DrawWindow *w = WindowGetRecord(g_ActiveWindow);
    return w && w->displayGrid;
}

bool CurrentPrintGrid()
{
    const DrawWindow *w = WindowGetRecord(g_ActiveWindow);
    return w && w->catchGrid;
}

// Calls add(command, disabled, checked) for every command that has a rule.
template <typename Add> void ForEachRule(Add add)
{
    const bool free = InterruptingMode();
    for (int k = 0; k < 3; ++k)
        add(WINDOW_ARRANGEMENTS + k, !free && g_DrawWindowCount <= k + 1, false);
    const bool nothingBack = g_UndoStep <= g_UndoOldest, nothingForward = g_UndoStep >= g_UndoNewest;
    add(200, !free && nothingBack, false);
    add(201, !free && nothingForward, false);
    add(202, !free && nothingBack && nothingForward, false);
    add(205, !free && !ClipboardHasDrawing(), false);
    const bool noLibrary = !free && !LibraryOpen();
    add(911, noLibrary, false);
    add(914, noLibrary, false);
    for (int c = 304; c <= 306; ++c)
        add(c, g_PageDefs.count < 2, false);
    const DrawingSettings &d = g_DrawingSettings;
    for (int k = 0; k < 3; ++k)
        add(567 + k, false, d.displayArcsMode == k);
    add(229, false, d.commentDisplay[0] != 0);
    add(230, false, d.commentDisplay[1] != 0);
    for (int k = 0; k < 3; ++k)
        add(635 + k, false, d.displayGeometry[k] != 0);
    const LocalSnap &snap = g_LocalData.snap;
    add(1015, false, snap.switches[0] != 0);
    for (int k = 0; k < 9; ++k)
        add(1016 + k, false, (snap.snapModes >> k) & 1);
    add(332, false, CurrentDisplayGrid());
    add(334, false, CurrentPrintGrid());
    const ProgramOptions &o = g_Options;
    const uint32_t windows[] = {o.viewVisible,   o.panelVisible,    o.penVisible,
                                o.layerVisible,  o.statusVisible,   o.toolboxVisible,
                                o.propertyVisible, o.symbolVisible, o.guideVisible};
    for (int k = 0; k < 9; ++k)
        add(367 + k, false, windows[k] != 0);
    add(1011, false, d.displayDuplicate != 0);
    add(1012, false, d.displayOrtho != 0);
    add(1042, false, g_CommandDefaults.filter.enabled != 0);
}

void CheckSystemMenu(HMENU menu)
{
    if (menu != GetSystemMenu(g_MainWnd, FALSE))
        return;
    auto tick = [menu](UINT id, uint32_t on) {
        CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    };
    tick(MENU_SYSTEM_BAR, g_Options.menuVisible);
    tick(MENU_SYSTEM_LONG_NAMES, g_Options.menuLongNames);
    tick(MENU_SYSTEM_KEEP_PLACE, g_Options.appPlacement.keep);
}

} // namespace

void CommandInitMenuPopup(HMENU menu)
{
    if (!menu)
        return;
    if (g_MainWnd)
        CheckSystemMenu(menu);
    ForEachRule([menu](int command, bool disabled, bool checked) {
        EnableMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (disabled ? MF_GRAYED : MF_ENABLED));
        CheckMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    });
}

void CommandGetFlags(CommandFlagTable *table)
{
    std::memset(&table->flags[FLAG_FIRST], 0, sizeof(uint16_t) * (COMMAND_FLAG_COUNT - FLAG_FIRST));
    ForEachRule([table](int command, bool disabled, bool checked) {
        if (disabled)
            table->flags[command] |= COMMAND_FLAG_DISABLED;
        if (checked)
            table->flags[command] |= COMMAND_FLAG_CHECKED;
    });
}

static_assert(sizeof(ModuleCommand) == sizeof(CommandState::entry), "a command entry is one ModuleCommand");

void CommandTrackPopup(HWND owner, HMENU menu, int titleCommand, const RECT *anchor)
{
    // The guide and status bar describe the popup while it is open.
    CommandState &state = *g_CommandState;
    const int32_t savedCommand = state.commandId;
    int32_t savedEntry[COMMAND_ENTRY_WORDS];
    std::memcpy(savedEntry, state.entry, sizeof savedEntry);
    if (titleCommand > 0) {
        ModuleCommand info;
        ConvertGetCommandInfo(&info, titleCommand);
        state.commandId = titleCommand;
        std::memcpy(state.entry, &info, sizeof state.entry);
        WriteRefreshFrame();
    }

    const int count = GetMenuItemCount(menu);
    const int height = (count > 0 ? count - 1 : 0) * GetSystemMetrics(SM_CYMENU);
    g_PopupByRightButton = 1;
    UINT align = TPM_CENTERALIGN;
    int x, y;
    if (!anchor) {
        POINT cursor{};
        GetCursorPos(&cursor);
        x = cursor.x;
        y = cursor.y - height / 2;
    } else {
        const int cx = (anchor->left + anchor->right) / 2, cy = (anchor->top + anchor->bottom) / 2;
        y = cy - height / 2;
        if (cx > GetSystemMetrics(SM_CXSCREEN) / 2) {
            align = TPM_RIGHTALIGN;
            x = anchor->left;
        } else {
            align = TPM_LEFTALIGN;
            x = anchor->right;
        }
    }
    if (y < 0)
        y = 0;
    if (g_CommandPopupAnswer) {
        // A test answers in place of the user; the choice comes as the menu's would.
        const int chosen = g_CommandPopupAnswer(menu, x, y);
        if (chosen > 0)
            PostMessageA(owner, WM_COMMAND, static_cast<WPARAM>(chosen), 0);
    } else {
        TrackPopupMenu(menu, align, x, y, 0, owner, nullptr);
    }

    if (titleCommand > 0) {
        state.commandId = savedCommand;
        std::memcpy(state.entry, savedEntry, sizeof state.entry);
        WriteRefreshFrame();
    }
}

void CommandShowSubmenu(int commandId, const RECT *anchor)
{
    HMENU submenu = ConvertFindCommandSubmenu(g_ContextMenu, commandId);
    if (submenu)
        CommandTrackPopup(g_MainWnd, submenu, commandId, anchor);
}

void CommandMenuDrawingContextPopup(const RECT *anchor, int window)
{
    if (window == VIEW_WINDOW_NUMBER)
        window = VIEW_WINDOW_SLOT;
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    int added = 0;
    for (int j = 0; j < VIEW_POPUP_ITEMS; ++j)
        if (AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(VIEW_GROUP_FIRST + VIEW_GROUP_STRIDE * j + window),
                        eDialogText[VIEW_POPUP_TEXT + j]))
            ++added;
    if (added == VIEW_POPUP_ITEMS)
        CommandTrackPopup(g_MainWnd, menu, VIEW_POPUP_TITLE, anchor);
    DestroyMenu(menu);
}

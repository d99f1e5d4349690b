// The command palette and the flyout: small modal windows made only of
// command icons. The palette mirrors the main menu (a strip of groups, the
// current group's commands, the members of its current popup); the flyout
// shows one popup's members beside a toolbox button.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "app/convert.h"
#include "app/init_menulayout.h"
#include "app/status.h"
#include "commands/command_menu.h"
#include "commands/command_state.h"
#include "commands/command_tables.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box13.h"

HWND g_Box13FlyoutWindow = nullptr;
int (*g_Box13PopupSink)(int mode) = nullptr;

namespace {

constexpr int GROUP = BOX13_GROUP_CELL, CELL = BOX13_COMMAND_CELL;
constexpr int ITEM_TOP = 36, MEMBER_TOP = 44; // below the strip and the separators
constexpr int FIRST_COMMAND = 100;
constexpr int HELP_PALETTE = 12012;
constexpr uint32_t STATE_PRESSED = 1, STATE_DISABLED = 2, STATE_CURRENT_HEAD = 4, STATE_CURRENT = 8,
                   STATE_COMMAND = 0x10, STATE_HEAD = 0x20, STATE_CHECKED = 0x40;

bool IsItem(uint32_t e)
{
    return (e & (MENU_TOP_ITEM | MENU_POPUP_HEADER)) && !(e & MENU_SEPARATOR) && !(e & MENU_TOP_HEADER);
}

int IdOf(int entry) { return entry < 0 ? -1 : int(g_MenuLayout[entry] & MENU_ID_MASK); }

// The entries of the group heads, of a group's items and of a popup's members.
std::vector<int> GroupHeads()
{
    std::vector<int> out;
    for (int i = 0; !(g_MenuLayout[i] & MENU_END); ++i)
        if (g_MenuLayout[i] & MENU_TOP_HEADER)
            out.push_back(i);
    return out;
}

std::vector<int> ItemsOf(int head)
{
    std::vector<int> out;
    if (head < 0)
        return out;
    for (int i = head + 1; !(g_MenuLayout[i] & (MENU_END | MENU_TOP_HEADER)); ++i)
        if (IsItem(g_MenuLayout[i]))
            out.push_back(i);
    return out;
}

std::vector<int> MembersOf(int head)
{
    std::vector<int> out;
    if (head < 0 || !(g_MenuLayout[head] & MENU_POPUP_HEADER))
        return out;
    for (int i = head + 1; !(g_MenuLayout[i] & MENU_END) && (g_MenuLayout[i] & MENU_POPUP_ITEM); ++i)
        if (!(g_MenuLayout[i] & MENU_SEPARATOR))
            out.push_back(i);
    return out;
}

// The marked entry of a list, or the first, which then gets the mark.
int Marked(const std::vector<int> &entries)
{
    for (int e : entries)
        if (g_MenuLayout[e] & MENU_PALETTE_MARK)
            return e;
    if (entries.empty())
        return -1;
    g_MenuLayout[entries[0]] |= MENU_PALETTE_MARK;
    return entries[0];
}

void MarkOnly(const std::vector<int> &entries, int entry)
{
    for (int e : entries)
        g_MenuLayout[e] &= ~MENU_PALETTE_MARK;
    g_MenuLayout[entry] |= MENU_PALETTE_MARK;
}

// One palette or flyout at a time.
struct PopupState {
    bool flyout = false;
    int mode = 0;
    Box13PaletteLayout palette{};
    Box13FlyoutLayout fly{};
    std::vector<int> heads, items, members;
    int group = 0, item = -1, member = -1; // current group index, item and member entries
    int pressed = -1, drawnPressed = -1, hover = -1;
    bool doubleClick = false, ignoreRightUp = false;
    int chosen = -1;
    RECT button{};
    std::unique_ptr<CommandFlagTable> flags;
};
PopupState s;

void Establish()
{
    s.items = ItemsOf(s.group < int(s.heads.size()) ? s.heads[s.group] : -1);
    s.item = Marked(s.items);
    s.members = MembersOf(s.item);
    s.member = Marked(s.members);
}

int Cells()
{
    if (s.flyout)
        return s.fly.members;
    const Box13PaletteLayout &l = s.palette;
    return l.groups + l.cellsPerRow * (l.itemRows + l.memberRows);
}

enum class Kind { Group, Item, Member };

Kind KindOf(int cell, int *n)
{
    const Box13PaletteLayout &l = s.palette;
    if (s.flyout) {
        *n = cell;
        return Kind::Member;
    }
    if (cell < l.groups) {
        *n = cell;
        return Kind::Group;
    }
    *n = cell - l.groups;
    if (*n < l.cellsPerRow * l.itemRows)
        return Kind::Item;
    *n -= l.cellsPerRow * l.itemRows;
    return Kind::Member;
}

RECT CellRect(int cell)
{
    int n = 0;
    const Kind kind = KindOf(cell, &n);
    if (s.flyout) {
        const int per = s.fly.cellsPerLine, x = CELL * (n % per), y = CELL * (n / per);
        return RECT{x, y, x + CELL, y + CELL};
    }
    if (kind == Kind::Group)
        return RECT{GROUP * n, 0, GROUP * n + GROUP, GROUP};
    const int per = s.palette.cellsPerRow;
    const int top = kind == Kind::Item ? ITEM_TOP : MEMBER_TOP + CELL * s.palette.itemRows;
    const int x = CELL * (n % per), y = top + CELL * (n / per);
    return RECT{x, y, x + CELL, y + CELL};
}

// The layout entry a cell shows, or -1 (an empty cell, or a group cell).
int EntryOf(int cell)
{
    int n = 0;
    switch (KindOf(cell, &n)) {
    case Kind::Group: return -1;
    case Kind::Item: return n < int(s.items.size()) ? s.items[n] : -1;
    default: return n < int(s.members.size()) ? s.members[n] : -1;
    }
}

int CommandOf(int cell) { return IdOf(EntryOf(cell)); }

bool Disabled(int id)
{
    if (id < FIRST_COMMAND || id >= COMMAND_FLAG_COUNT)
        return false;
    return (s.flyout || s.mode == 1) && (s.flags->flags[id] & COMMAND_FLAG_DISABLED);
}

int HitTest(int x, int y)
{
    const POINT p{x, y};
    for (int c = 0; c < Cells(); ++c) {
        const RECT r = CellRect(c);
        if (PtInRect(&r, p))
            return c;
    }
    return -1;
}

void PaintCell(HDC dc, int cell)
{
    int n = 0;
    const Kind kind = KindOf(cell, &n);
    const RECT r = CellRect(cell);
    const uint32_t pressed = cell == s.drawnPressed ? STATE_PRESSED : 0;
    if (kind == Kind::Group) {
        const uint32_t state = pressed ? pressed : (n == s.group ? STATE_CURRENT_HEAD : 0);
        StatusDrawCommandButton24(dc, g_MenuLayout[s.heads[n]] & (MENU_ID_MASK | MENU_PLUGIN_HEADER), state, r);
        return;
    }
    const int entry = EntryOf(cell), id = IdOf(entry);
    if (id < FIRST_COMMAND) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    const bool head = (g_MenuLayout[entry] & MENU_POPUP_HEADER) != 0;
    uint32_t state = head ? STATE_HEAD : STATE_COMMAND;
    if (pressed)
        state |= pressed;
    else if (Disabled(id))
        state |= STATE_DISABLED;
    else if (entry == s.item)
        state |= head ? STATE_CURRENT_HEAD : STATE_CURRENT;
    else if (entry == s.member)
        state |= STATE_CURRENT;
    if (id < COMMAND_FLAG_COUNT && (s.flags->flags[id] & COMMAND_FLAG_CHECKED))
        state |= STATE_CHECKED;
    StatusDrawCommandButton40(dc, id, state, r);
}

void RepaintCell(HWND window, int cell)
{
    if (cell < 0)
        return;
    HDC dc = GetDC(window);
    PaintCell(dc, cell);
    ReleaseDC(window, dc);
}

void Paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (!s.flyout) {
        // The raised separators below the strip and below the items.
        for (int y : {30, 38 + CELL * s.palette.itemRows}) {
            RECT line{0, y, client.right, y + 4};
            DrawEdge(dc, &line, BDR_RAISEDINNER, BF_RECT);
        }
    }
    for (int c = 0; c < Cells(); ++c)
        PaintCell(dc, c);
    EndPaint(window, &ps);
}

void ShowTitle(HWND window, int cell)
{
    char title[256] = "";
    if (cell >= 0) {
        int n = 0;
        if (KindOf(cell, &n) == Kind::Group)
            ConvertGetMenuName(title, IdOf(s.heads[n]));
        else if (CommandOf(cell) >= FIRST_COMMAND)
            ConvertGetCommandTitle(title, CommandOf(cell));
    }
    SetWindowTextA(window, title);
}

void Choose(HWND window, int id)
{
    s.chosen = id;
    Box01DialogEnd(window, DIALOG_OK);
}

void EndPress(HWND window)
{
    const int drawn = s.drawnPressed;
    s.pressed = s.drawnPressed = -1;
    RepaintCell(window, drawn);
}

void Press(HWND window, int cell, bool twice)
{
    int n = 0;
    const bool group = cell >= 0 && KindOf(cell, &n) == Kind::Group;
    const int id = cell >= 0 ? CommandOf(cell) : -1;
    if (!group && (id < FIRST_COMMAND || Disabled(id))) {
        MessageBeep(0);
        return;
    }
    s.doubleClick = twice;
    s.pressed = s.drawnPressed = cell;
    RepaintCell(window, cell);
}

void Release(HWND window, int cell)
{
    if (s.pressed < 0)
        return;
    if (cell != s.pressed) {
        EndPress(window);
        return;
    }
    EndPress(window);
    int n = 0;
    const Kind kind = KindOf(cell, &n);
    if (s.flyout) {
        Choose(window, CommandOf(cell));
        return;
    }
    if (kind == Kind::Group) {
        if (s.doubleClick) {
            const bool plain = s.item >= 0 && !(g_MenuLayout[s.item] & MENU_POPUP_HEADER);
            const int id = IdOf(plain ? s.item : s.member);
            if (id >= FIRST_COMMAND && !Disabled(id))
                Choose(window, id);
            return;
        }
        if (n == s.group)
            return;
        Box13PopupSetCurrentItem(n);
        s.group = n;
        Establish();
        InvalidateRect(window, nullptr, FALSE);
        return;
    }
    const int entry = EntryOf(cell);
    if (kind == Kind::Item) {
        if (s.doubleClick && s.member >= 0) {
            Choose(window, IdOf(s.member));
            return;
        }
        MarkOnly(s.items, entry);
        s.item = entry;
        s.members = MembersOf(entry);
        s.member = Marked(s.members);
        InvalidateRect(window, nullptr, FALSE);
        if (!(g_MenuLayout[entry] & MENU_POPUP_HEADER))
            Choose(window, IdOf(entry));
        return;
    }
    MarkOnly(s.members, entry);
    s.member = entry;
    Choose(window, IdOf(entry));
}

// Keeps a window rectangle on the screen.
void KeepOnScreen(RECT *r)
{
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    if (r->right > w)
        OffsetRect(r, w - r->right, 0);
    if (r->left < 0)
        OffsetRect(r, -r->left, 0);
    if (r->bottom > h)
        OffsetRect(r, 0, h - r->bottom);
    if (r->top < 0)
        OffsetRect(r, 0, -r->top);
}

void Place(HWND window)
{
    RECT r{0, 0, s.flyout ? s.fly.width : s.palette.width, s.flyout ? s.fly.height : s.palette.height};
    AdjustWindowRectEx(&r, DWORD(GetWindowLongA(window, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongA(window, GWL_EXSTYLE)));
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    int left = 0, top = 0;
    if (!s.flyout) {
        POINT cursor;
        GetCursorPos(&cursor);
        left = cursor.x - 1 - width / 2;
        top = cursor.y - 1 - height / 2;
    } else {
        const RECT &b = s.button;
        left = b.right;
        if (left + width >= screenW) {
            left = b.left - width;
            if (left < 0)
                left = (left + b.right) / 2;
        }
        top = b.top - GetSystemMetrics(SM_CYCAPTION);
        if (top + height >= screenH) {
            top = b.bottom - height;
            if (top < 0)
                top = (top + b.top) / 2;
        }
    }
    RECT placed{left, top, left + width, top + height};
    if (!s.flyout)
        KeepOnScreen(&placed);
    MoveWindow(window, placed.left, placed.top, width, height, FALSE);
}

bool HelpPickRunning() { return g_CommandState && CommandMode() == TEMPLATE_HELP_PICK; }

INT_PTR CALLBACK PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
        StatusRelayTooltip(window, message, wParam, lParam);
    const int x = short(LOWORD(lParam)), y = short(HIWORD(lParam));
    switch (message) {
    case WM_INITDIALOG:
        Box01DialogInit(window, lParam);
        SetWindowTextA(window, "");
        Place(window);
        s.ignoreRightUp = true;
        if (s.flyout)
            g_Box13FlyoutWindow = window;
        return TRUE;
    case WM_PAINT: Paint(window); return TRUE;
    case WM_MOUSEMOVE: {
        const int cell = HitTest(x, y);
        if (cell != s.hover) {
            s.hover = cell;
            ShowTitle(window, cell);
        }
        if (s.pressed >= 0 && (wParam & MK_LBUTTON)) {
            const int drawn = cell == s.pressed ? s.pressed : -1;
            if (drawn != s.drawnPressed) {
                const int before = s.drawnPressed;
                s.drawnPressed = drawn;
                RepaintCell(window, before >= 0 ? before : s.pressed);
            }
        } else if (s.pressed >= 0) {
            EndPress(window);
        }
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: Press(window, HitTest(x, y), message == WM_LBUTTONDBLCLK); return TRUE;
    case WM_LBUTTONUP: Release(window, HitTest(x, y)); return TRUE;
    case WM_RBUTTONDOWN: s.ignoreRightUp = false; return TRUE;
    case WM_RBUTTONUP:
        if (!s.ignoreRightUp)
            Box01DialogEnd(window, DIALOG_CANCELLED);
        return TRUE;
    case WM_HELP: {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(window, &p);
        const int id = CommandOf(std::max(HitTest(p.x, p.y), 0));
        if (HitTest(p.x, p.y) >= 0 && id >= FIRST_COMMAND)
            ConvertShowCommandHelp(id);
        else
            Box01DialogHelp(window, HELP_PALETTE);
        return TRUE;
    }
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, HelpPickRunning() ? IDC_HELP : IDC_ARROW));
        SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            Box01DialogEnd(window, DIALOG_CANCELLED);
        return TRUE;
    default: return FALSE;
    }
}

// Opens the window over the prepared state; the chosen command or -1.
int Run(HWND parent)
{
    s.flags = std::make_unique<CommandFlagTable>();
    CommandGetFlags(s.flags.get());
    s.pressed = s.drawnPressed = s.hover = -1;
    s.chosen = -1;
    DialogHeader header{};
    const INT_PTR ran = Box01DialogRun(parent, "POPUP", PopupProc, &header);
    g_Box13FlyoutWindow = nullptr;
    s.flags.reset();
    if (ran == -1 || header.result != DIALOG_OK)
        return -1;
    return s.chosen;
}

} // namespace

int Box13PopupCurrentItem()
{
    const std::vector<int> heads = GroupHeads();
    for (size_t g = 0; g < heads.size(); ++g)
        if (g_MenuLayout[heads[g]] & MENU_PALETTE_MARK)
            return int(g);
    if (!heads.empty())
        g_MenuLayout[heads[0]] |= MENU_PALETTE_MARK;
    return 0;
}

void Box13PopupSetCurrentItem(int n)
{
    const std::vector<int> heads = GroupHeads();
    if (n < 0 || n >= int(heads.size()))
        return;
    MarkOnly(heads, heads[n]);
}

int Box13Popup(HWND parent, int mode)
{
    if (g_Box13PopupSink)
        return g_Box13PopupSink(mode);
    s = PopupState{};
    if (!Box13PopupLayout(g_MenuLayout, &s.palette) || s.palette.groups == 0)
        return -1;
    s.mode = mode;
    s.heads = GroupHeads();
    s.heads.resize(size_t(s.palette.groups));
    s.group = std::min(Box13PopupCurrentItem(), s.palette.groups - 1);
    int length = 0;
    while (!(g_MenuLayout[length] & MENU_END))
        ++length;
    // Taken before the current item and member are marked, so that a cancel
    // leaves every mark as it was.
    const std::vector<uint32_t> saved(g_MenuLayout, g_MenuLayout + length + 1);
    Establish();
    const int chosen = Run(parent);
    if (chosen < 0)
        std::copy(saved.begin(), saved.end(), g_MenuLayout);
    return chosen;
}

int Box13PopupGroup(HWND parent, int groupCommand, int currentMember, const RECT *button)
{
    s = PopupState{};
    s.flyout = true;
    s.members = MembersOf(Box13PopupHead(g_MenuLayout, groupCommand));
    if (!Box13Popup2Layout(int(s.members.size()), &s.fly) || s.members.empty())
        return -1;
    s.member = s.members[0];
    for (int e : s.members)
        if (IdOf(e) == currentMember)
            s.member = e;
    if (button)
        s.button = *button;
    return Run(parent);
}

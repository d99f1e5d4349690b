// The tool windows: status texts, guide hints, cell layouts, the shared mouse
// rule of panel and toolbox, the toolbox's hold and size rules, tooltips, the
// command-icon file and the tablet link; and the whole program with every
// tool window docked, checked by pixel probes.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/darad4.h"
#include "app/status.h"
#include "app/status_track.h"
#include "app/init_dialogs.h"
#include "app/init_menulayout.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/write_refresh.h"
#include "app/window.h"
#include "app/write_tablet.h"
#include "commands/command_state.h"
#include "common/test_commands.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "dialogs/alert.h"
#include "dialogs/box08_editterm.h"
#include "dialogs/box13.h"
#include "language/language.h"
#include "program_run.h"

namespace {

// A bare window of the tool window's procedure, standing in for the one the
// program creates.
HWND MakeToolWindow(const char *className, WNDPROC procedure, int clientWidth, int clientHeight, DWORD style)
{
    WNDCLASSA c{};
    c.lpfnWndProc = procedure;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = className;
    c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    RegisterClassA(&c);
    RECT r{0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&r, style, FALSE);
    return CreateWindowExA(0, className, "", style, 10, 10, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                           c.hInstance, nullptr);
}

std::vector<int> s_Commands;
void RecordCommand(int id) { s_Commands.push_back(id); }

// Commands the tool windows run are recorded instead of executed.
struct CommandRecorder {
    CommandRecorder()
    {
        s_Commands.clear();
        g_StatusCommandSeam = RecordCommand;
    }
    ~CommandRecorder() { g_StatusCommandSeam = nullptr; }
};

LPARAM At(const RECT &r) { return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

std::string ProgramKey()
{
    char key[SYSTEM_KEY_NAME_SIZE];
    SystemProgramKeyPath(key);
    return key;
}

std::string BinFolderFile(const char *name)
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + name;
}

} // namespace

TEST(StatusTexts, MemoryCountsRoundUpToKilobytesBelowTenMegabytes)
{
    const struct {
        uint32_t bytes;
        long count;
        int word;
    } rows[] = {{1, 1, 23}, {1024, 1, 23}, {1025, 2, 23}, {0x9FFFFF, 10240, 23}, {0xA00000, 10, 24},
                {0xA00001, 11, 24}};
    for (const auto &r : rows) {
        char text[64], expected[64];
        WriteStatusCountText(text, sizeof text, r.bytes);
        std::snprintf(expected, sizeof expected, "%ld %s", r.count, eStatusTexts[r.word]);
        EXPECT_STREQ(text, expected) << r.bytes;
    }
    EXPECT_EQ(WriteStatusPercentValue(5, 0), 0);
    EXPECT_EQ(WriteStatusPercentValue(150, 100), 100);
    EXPECT_EQ(WriteStatusPercentValue(1, 3), 33);
    EXPECT_EQ(WriteStatusPercentValue(-4, 100), 0);
}

TEST(StatusLayout, ValueFieldsNeverGrowBeyondAnEighthOfTheBar)
{
    // A wide bar gives each field a ninth, a narrow one no more than an
    // eighth, even when the sample text would need more.
    for (const int width : {2000, 400}) {
        HWND status = MakeToolWindow("ToolTestStatus", DefWindowProcA, width, 30, WS_POPUP);
        ASSERT_TRUE(status);
        StatusLayoutStatusFields(status);
        RECT client{};
        GetClientRect(status, &client);
        const int W = int(client.right) - 4;
        const int u = width > 1000 ? W / 9 : W / 8;
        if (width > 1000)
            ASSERT_GT(W / 9, g_Tools.statusTextWidth + 4);
        else
            ASSERT_GT(g_Tools.statusTextWidth + 4, W / 8);
        EXPECT_EQ(g_ToolCells[1].left, 6);
        EXPECT_EQ(g_ToolCells[1].right, u + 2) << width;
        EXPECT_EQ(g_ToolCells[0].left, 6 * u + 30) << width;
        EXPECT_EQ(g_ToolCells[0].right, W - 2);
        // Frames lie three pixels outside their fields.
        EXPECT_EQ(g_ToolCells[13].left, g_ToolCells[1].left - 3);
        EXPECT_EQ(g_ToolCells[13].bottom, g_ToolCells[1].bottom + 1);
        DestroyWindow(status);
    }
}

TEST(StatusLayout, PanelCellsFollowTheFontExtents)
{
    StatusLayoutPanel();
    const ToolMetrics &t = g_Tools;
    EXPECT_GE(t.panelCell, 24);
    EXPECT_EQ(t.panelCell % 2, 0);
    EXPECT_EQ(t.panelWidth, 2 * (t.panelCell + t.panelMargin));
    // Pairs side by side; the gap of four before 91/92; 101 is 46 high.
    EXPECT_EQ(g_ToolCells[81].right, g_ToolCells[82].left);
    EXPECT_EQ(g_ToolCells[91].top, g_ToolCells[89].bottom + 4);
    EXPECT_EQ(g_ToolCells[CELL_PANEL_COMMAND].bottom - g_ToolCells[CELL_PANEL_COMMAND].top, 46);
    EXPECT_EQ(g_ToolCells[CELL_PANEL_UP].top, g_ToolCells[CELL_PANEL_ROW0].bottom);
}

TEST(GuideState, CommandsOutsideTheMenusShowTheGeneralHint)
{
    TestStartCommand(501, 501);
    EXPECT_NE(WriteComputeGuideState(WRITE_GUIDE_COMPUTE), 0u);
    g_CommandState->commandId = 5400; // a user table
    EXPECT_EQ(WriteComputeGuideState(WRITE_GUIDE_COMPUTE), 0u);
    // Storing with an extra text keeps it until a clear.
    WriteSetGuideState(WRITE_GUIDE_EXTRA | 0x1, "extra");
    WriteSetGuideState(0x2, nullptr);
    EXPECT_EQ(g_GuideState, WRITE_GUIDE_EXTRA | 0x2);
    EXPECT_STREQ(g_GuideExtraText, "extra");
    WriteSetGuideState(WRITE_GUIDE_CLEAR_EXTRA, nullptr);
    EXPECT_EQ(g_GuideExtraText, nullptr);
    TestStartCommand(501, 501);
}

TEST(Panel, OnlyAReleaseOnThePressedCellActs)
{
    CommandRecorder recorder;
    g_Options.panelVisible = 1;
    g_Options.panelMoveable = 1;
    HWND panel = MakeToolWindow("ToolTestPanel", AppPanelWndProc, 60, 500, WS_POPUP);
    ASSERT_TRUE(panel);
    hGlobalPanel = panel;
    StatusLayoutPanel();
    StatusLayoutPanelList(panel);
    const RECT ortho = g_ToolCells[CELL_PANEL_ORTHO];
    const RECT other = g_ToolCells[CELL_PANEL_SNAP];

    // Pressed, moved off, released elsewhere: nothing.
    SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, At(ortho));
    SendMessageA(panel, WM_MOUSEMOVE, MK_LBUTTON, At(other));
    SendMessageA(panel, WM_LBUTTONUP, 0, At(other));
    EXPECT_TRUE(s_Commands.empty());
    // Moved off and back: the release acts.
    SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, At(ortho));
    SendMessageA(panel, WM_MOUSEMOVE, MK_LBUTTON, At(other));
    SendMessageA(panel, WM_MOUSEMOVE, MK_LBUTTON, At(ortho));
    SendMessageA(panel, WM_LBUTTONUP, 0, At(ortho));
    ASSERT_EQ(s_Commands.size(), 1u);
    EXPECT_EQ(s_Commands[0], 1012);
    // The right button of the ortho cell opens its settings; of cell 91 it is refused.
    TestBeeps beeps;
    SendMessageA(panel, WM_RBUTTONDOWN, MK_RBUTTON, At(ortho));
    SendMessageA(panel, WM_RBUTTONUP, 0, At(ortho));
    SendMessageA(panel, WM_RBUTTONDOWN, MK_RBUTTON, At(g_ToolCells[91]));
    SendMessageA(panel, WM_RBUTTONUP, 0, At(g_ToolCells[91]));
    EXPECT_EQ(s_Commands.size(), 2u);
    EXPECT_EQ(s_Commands.back(), 1013);
    EXPECT_EQ(beeps.count(), 1u);
    // Closing the floating panel hides it and switches it off.
    ShowWindow(panel, SW_SHOWNA);
    SendMessageA(panel, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(panel));
    EXPECT_EQ(g_Options.panelVisible, 0u);
    DestroyWindow(panel);
    g_Options.panelVisible = 1;
}

TEST(Panel, ADockedPanelRefusesToClose)
{
    g_Options.panelVisible = 1;
    HWND owner = MakeToolWindow("ToolTestOwner", DefWindowProcA, 400, 400, WS_OVERLAPPEDWINDOW);
    WNDCLASSA c{};
    c.lpfnWndProc = AppPanelWndProc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "ToolTestDockedPanel";
    RegisterClassA(&c);
    HWND panel = CreateWindowExA(0, c.lpszClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 60, 300, owner, nullptr,
                                 c.hInstance, nullptr);
    ASSERT_TRUE(panel);
    hGlobalPanel = panel;
    TestBeeps beeps;
    SendMessageA(panel, WM_CLOSE, 0, 0);
    EXPECT_EQ(beeps.count(), 1u);
    EXPECT_EQ(g_Options.panelVisible, 1u);
    DestroyWindow(owner);
}

namespace {
int s_FlyoutAsked = 0;
int s_FlyoutPopup = 0;
int AnswerFlyout(int popup, int, const RECT *)
{
    ++s_FlyoutAsked;
    s_FlyoutPopup = popup;
    return -1;
}
} // namespace

TEST(Toolbox, HeldButtonOpensItsFlyoutAndAQuickClickRunsIt)
{
    g_Options.toolboxVisible = 1;
    g_Options.toolboxMoveable = 1;
    HWND toolbox = MakeToolWindow("ToolTestToolbox", AppToolboxWndProc, 2 * TOOLBOX_CELL_SIZE,
                                  7 * TOOLBOX_CELL_SIZE, WS_POPUP);
    HWND main = MakeToolWindow("ToolTestMain", DefWindowProcA, 100, 100, WS_POPUP);
    ASSERT_TRUE(toolbox && main);
    hGlobalToolbox = toolbox;
    const HWND oldMain = g_MainWnd;
    g_MainWnd = main;
    ASSERT_TRUE(InitBuildMenuLayout(g_MenuTemplate, g_MenuLayout, MENU_LAYOUT_SIZE));
    StatusSizeToolbox(toolbox);
    ASSERT_EQ(g_Tools.toolboxColumns, 2);
    ASSERT_EQ(g_Tools.toolboxButtons, 14);
    g_Options.toolbox[0] = 106; // a member of the popup of 105
    g_Options.toolbox[1] = 501;
    s_FlyoutAsked = 0;
    g_StatusFlyout = AnswerFlyout;
    const RECT b0{0, 0, TOOLBOX_CELL_SIZE, TOOLBOX_CELL_SIZE};

    SendMessageA(toolbox, WM_LBUTTONDOWN, MK_LBUTTON, At(b0));
    for (int tick = 0; tick < 3; ++tick)
        StatusToolboxHoldTimer(toolbox);
    EXPECT_EQ(s_FlyoutAsked, 1);
    EXPECT_EQ(s_FlyoutPopup, 105);
    SendMessageA(toolbox, WM_LBUTTONUP, 0, At(b0));

    // A quick click on the second button posts its command.
    MSG msg;
    while (PeekMessageA(&msg, main, 0, 0, PM_REMOVE)) {
    }
    const RECT b1{TOOLBOX_CELL_SIZE, 0, 2 * TOOLBOX_CELL_SIZE, TOOLBOX_CELL_SIZE};
    SendMessageA(toolbox, WM_LBUTTONDOWN, MK_LBUTTON, At(b1));
    StatusToolboxHoldTimer(toolbox);
    SendMessageA(toolbox, WM_LBUTTONUP, 0, At(b1));
    for (int tick = 0; tick < 3; ++tick)
        StatusToolboxHoldTimer(toolbox);
    EXPECT_EQ(s_FlyoutAsked, 1);
    ASSERT_TRUE(PeekMessageA(&msg, main, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, WPARAM(501));

    g_StatusFlyout = nullptr;
    g_MainWnd = oldMain;
    DestroyWindow(toolbox);
    DestroyWindow(main);
}

TEST(Toolbox, SizingSnapsToWholeCells)
{
    g_Options.toolboxVisible = 1;
    g_Options.toolboxMoveable = 1;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    HWND toolbox = MakeToolWindow("ToolTestSizing", AppToolboxWndProc, 2 * TOOLBOX_CELL_SIZE,
                                  3 * TOOLBOX_CELL_SIZE, style);
    ASSERT_TRUE(toolbox);
    hGlobalToolbox = toolbox;
    for (const auto &[extra, columns] : {std::pair{22, 3}, std::pair{23, 4}}) {
        RECT client{0, 0, 3 * TOOLBOX_CELL_SIZE + extra, 3 * TOOLBOX_CELL_SIZE};
        AdjustWindowRect(&client, style, FALSE);
        RECT drag{100, 100, 100 + client.right - client.left, 100 + client.bottom - client.top};
        SendMessageA(toolbox, WM_SIZING, WMSZ_BOTTOMRIGHT, LPARAM(&drag));
        SetWindowPos(toolbox, nullptr, drag.left, drag.top, drag.right - drag.left, drag.bottom - drag.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(g_Tools.toolboxColumns, columns) << extra;
    }
    DestroyWindow(toolbox);
}

TEST(Tooltips, OneToolForEveryCellRowAndMarginButton)
{
    HWND owner = MakeToolWindow("ToolTestTipOwner", DefWindowProcA, 300, 300, WS_POPUP);
    ASSERT_TRUE(owner);
    const HWND oldMain = g_MainWnd;
    g_MainWnd = hGlobalPanel = hGlobalProp = owner;
    HWND oldDraw[WINDOW_DRAW_COUNT];
    for (int i = 0; i < WINDOW_DRAW_COUNT; ++i)
        oldDraw[i] = g_DrawWindows[i].hwnd, g_DrawWindows[i].hwnd = owner;
    const HWND oldView = g_ViewWindow.hwnd;
    g_ViewWindow.hwnd = owner;
    g_Tools.panelRows = 3;
    ASSERT_EQ(StatusCreateTooltips(), 1);
    const int panelCells = CELL_PANEL_DOWN - CELL_PANEL_FIRST + 1, rows = 3 + 1, propertyCells = 57;
    EXPECT_EQ(StatusTooltipCount(), panelCells + rows + propertyCells + 5 * 14);
    StatusDestroyTooltips();
    EXPECT_EQ(StatusTooltipCount(), 0);
    for (int i = 0; i < WINDOW_DRAW_COUNT; ++i)
        g_DrawWindows[i].hwnd = oldDraw[i];
    g_ViewWindow.hwnd = oldView;
    g_MainWnd = oldMain;
    g_Tools.panelRows = 0;
    DestroyWindow(owner);
}

namespace {
std::vector<std::string> s_Alerts;
uint32_t RecordAlert(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    s_Alerts.push_back(text ? text : "");
    return code1;
}
} // namespace

TEST(CommandIcons, TheBuiltFileLoadsAndOneByteLessFailsWithAReadError)
{
    const std::string built = BinFolderFile(BOX13_ICON_FILE);
    std::ifstream in(built, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), size_t(BOX13_ICON_FILE_SIZE));

    const AlertAnswerHook previous = g_AlertAnswerHook;
    g_AlertAnswerHook = RecordAlert;
    s_Alerts.clear();
    g_Box13IconPath = built.c_str();
    ASSERT_EQ(Box13InitPopup(), 1);
    EXPECT_TRUE(s_Alerts.empty());
    // The header is not read; the icon of the line command has pixels.
    int set = 0;
    const uint8_t *cell = g_CommandIcons + 231 * BOX13_CELL_BYTES; // command 501
    for (int i = 0; i < BOX13_CELL_BYTES; ++i)
        set += cell[i] != 0;
    EXPECT_GT(set, 10);
    HBITMAP icon = Box13CommandBitmap40(501);
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(icon, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 40);
    EXPECT_EQ(info.bmBitsPixel, 1);
    DeleteObject(icon);

    char shortPath[MAX_PATH], folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, "ico", 0, shortPath);
    {
        std::ofstream out(shortPath, std::ios::binary);
        out.write(bytes.data(), std::streamsize(bytes.size() - 1));
    }
    g_Box13IconPath = shortPath;
    EXPECT_EQ(Box13InitPopup(), 0);
    EXPECT_EQ(g_CommandIcons, nullptr);
    ASSERT_EQ(s_Alerts.size(), 1u);
    const std::string readError = s_Alerts[0];
    s_Alerts.clear();
    AlertFileError(nullptr, shortPath, 3);
    ASSERT_EQ(s_Alerts.size(), 1u);
    EXPECT_EQ(readError, s_Alerts[0]);

    DeleteFileA(shortPath);
    g_Box13IconPath = nullptr;
    g_AlertAnswerHook = previous;
}

TEST(Tablet, WithoutAContextNothingIsEnabledAndUnloadingAllowsAnotherLoad)
{
    EXPECT_EQ(WriteWTEnable(nullptr, 1), 0);
    const int loaded = WriteWintabLoaded();
    WriteWintabUnload();
    EXPECT_EQ(WriteWintabLoaded(), 0);
    EXPECT_EQ(WriteWTEnable(nullptr, 0), 0);
    EXPECT_EQ(WriteWintabLoaded(), loaded);
}

// ---------------------------------------------------------------------------
// The running program

namespace {

class ToolWindowsProgram : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() { SystemDeleteKeyTree(HKEY_CURRENT_USER, ProgramKey().c_str()); }
    static void SetOption(const char *name, DWORD value)
    {
        HKEY key = nullptr;
        const std::string path = ProgramKey() + "\\General";
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof value);
        RegCloseKey(key);
    }
};

HWND FindChild(HWND parent, const char *className)
{
    return FindWindowExA(parent, nullptr, className, nullptr);
}

// Screen pixels of a window's client rectangle.
std::vector<COLORREF> Pixels(HWND window, RECT *client)
{
    GetClientRect(window, client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    std::vector<COLORREF> out;
    for (int y = 0; y < client->bottom; ++y)
        for (int x = 0; x < client->right; ++x)
            out.push_back(GetPixel(screen, origin.x + x, origin.y + y));
    ReleaseDC(nullptr, screen);
    return out;
}

} // namespace

TEST_F(ToolWindowsProgram, EveryToolWindowDockedShowsItsContents)
{
    SetOption("PanelMoveable", 0);
    SetOption("PanelVisible", 1);
    SetOption("ToolboxMoveable", 0);
    SetOption("StatusMoveable", 0);
    SetOption("PropertyMoveable", 0);
    for (const char *name : {"GuideVisible", "SymbolVisible", "PenVisible", "LayerVisible"})
        SetOption(name, 1);
    Program run;
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitReady());
    Sleep(500);

    HWND panel = FindChild(run.main, "DARAD4_PanelWClass");
    HWND toolbox = FindChild(run.main, "DARAD4_ToolboxWClass");
    HWND status = FindChild(run.main, "DARAD4_StatusWClass");
    HWND property = FindChild(run.main, "DARAD4_PropWClass");
    ASSERT_TRUE(panel && toolbox && status && property);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);

    // The docked windows lie along the edges: panel and toolbox at the left,
    // the status bar at the bottom, the property bar at the top.
    RECT main{}, p{}, t{}, s{}, b{};
    GetClientRect(run.main, &main);
    GetWindowRect(panel, &p);
    GetWindowRect(toolbox, &t);
    GetWindowRect(status, &s);
    GetWindowRect(property, &b);
    EXPECT_EQ(t.left, p.right);
    EXPECT_EQ(t.right - t.left, TOOLBOX_CELL_SIZE);
    EXPECT_EQ(s.left, t.right);
    EXPECT_EQ(b.left, t.right);
    EXPECT_LT(b.bottom, s.top);

    // Each window shows its face colour and some content of another colour.
    for (HWND w : {panel, toolbox, status, property}) {
        RECT client{};
        const std::vector<COLORREF> pixels = Pixels(w, &client);
        ASSERT_FALSE(pixels.empty());
        size_t faces = 0, black = 0;
        for (COLORREF c : pixels) {
            faces += c == face;
            black += c == RGB(0, 0, 0);
        }
        EXPECT_GT(faces, pixels.size() / 5) << "window " << w;
        EXPECT_LT(black, pixels.size()) << "window " << w;
        EXPECT_LT(faces, pixels.size()) << "window " << w;
    }
    // The toolbox's first button carries an icon: its centre area holds
    // pixels of neither the face nor the borders.
    {
        POINT o{0, 0};
        ClientToScreen(toolbox, &o);
        HDC screen = GetDC(nullptr);
        int ink = 0;
        for (int y = 8; y < 38; ++y)
            for (int x = 8; x < 38; ++x) {
                const COLORREF c = GetPixel(screen, o.x + x, o.y + y);
                ink += c != face && c != GetSysColor(COLOR_BTNHIGHLIGHT) && c != GetSysColor(COLOR_BTNSHADOW);
            }
        ReleaseDC(nullptr, screen);
        EXPECT_GT(ink, 20);
    }
    // The floating ones (guide, symbol window, pen and layer trees) are
    // painted, not left black.
    for (const char *name : {"DARAD4_GuideWClass", "DARAD4_SymbolWClass", "DARAD4_PenWClass", "DARAD4_LayerWClass"}) {
        HWND w = run.Find(name, true);
        EXPECT_NE(w, nullptr) << name;
        if (!w)
            continue;
        RECT client{};
        const std::vector<COLORREF> pixels = Pixels(w, &client);
        size_t black = 0;
        for (COLORREF c : pixels)
            black += c == RGB(0, 0, 0);
        EXPECT_LT(black, pixels.size() / 2) << name;
    }

    // DisplayOrtho on: the ortho cell (90) of the panel is drawn checked, and
    // only that cell changes; off again, the panel is as before.
    RECT panelClient{};
    const std::vector<COLORREF> off = Pixels(panel, &panelClient);
    SendMessageA(run.main, WM_COMMAND, 1012, 0);
    Sleep(300);
    const std::vector<COLORREF> on = Pixels(panel, &panelClient);
    ASSERT_EQ(on.size(), off.size());
    RECT changed{panelClient.right, panelClient.bottom, -1, -1};
    for (LONG y = 0; y < panelClient.bottom; ++y)
        for (LONG x = 0; x < panelClient.right; ++x)
            if (on[size_t(y * panelClient.right + x)] != off[size_t(y * panelClient.right + x)]) {
                changed.left = std::min(changed.left, x);
                changed.top = std::min(changed.top, y);
                changed.right = std::max(changed.right, x + 1);
                changed.bottom = std::max(changed.bottom, y + 1);
            }
    EXPECT_GT(changed.right, changed.left) << "the ortho cell shows its new state";
    EXPECT_LE(changed.right - changed.left, TOOLBOX_CELL_SIZE) << "one cell changed";
    EXPECT_LE(changed.bottom - changed.top, TOOLBOX_CELL_SIZE);
    SendMessageA(run.main, WM_COMMAND, 1012, 0);
    Sleep(300);
    EXPECT_TRUE(Pixels(panel, &panelClient) == off);
    EXPECT_EQ(run.Close(), 0);
}

TEST_F(ToolWindowsProgram, TheStartScreenShowsAtStartAndEscapeStoresItsSwitch)
{
    SetOption("StartUpDisplay", 1);
    {
        Program run;
        run.startScreen = true;
        ASSERT_TRUE(run.Start());
        HWND box = run.WaitBox();
        ASSERT_NE(box, nullptr) << "the start screen";
        EXPECT_NE(GetDlgItem(box, 550), nullptr);
        EXPECT_EQ(IsDlgButtonChecked(box, 250), BST_CHECKED);
        // Switched off, then closed with Escape.
        SendMessageA(GetDlgItem(box, 250), BM_CLICK, 0, 0);
        EXPECT_EQ(IsDlgButtonChecked(box, 250), BST_UNCHECKED);
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(run.WaitReady());
        EXPECT_EQ(run.Close(), 0);
    }
    HKEY key = nullptr;
    DWORD value = 1, size = sizeof value;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (ProgramKey() + "\\General").c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "StartUpDisplay", nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(value, 0u) << "Escape still stores the switch";

    // Off: the next start shows no start screen.
    Program again;
    again.startScreen = true;
    ASSERT_TRUE(again.Start());
    ASSERT_TRUE(again.WaitReady());
    Sleep(500);
    EXPECT_EQ(again.Find("#32770", true), nullptr);
    EXPECT_EQ(again.Close(), 0);
}

// ---------------------------------------------------------------------------
// Pen tree

namespace {

std::string ItemText(HWND tree, HTREEITEM item, LPARAM *data)
{
    char text[80] = "";
    TVITEMA t{};
    t.mask = TVIF_TEXT | TVIF_PARAM;
    t.hItem = item;
    t.pszText = text;
    t.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, LPARAM(&t));
    *data = t.lParam;
    return text;
}

// "text=data" of the children of parent, in order.
std::vector<std::string> Children(HWND tree, HTREEITEM parent)
{
    std::vector<std::string> out;
    HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, LPARAM(parent)));
    while (item) {
        LPARAM data = 0;
        const std::string text = ItemText(tree, item, &data);
        out.push_back(text + "=" + std::to_string(data));
        item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(item)));
    }
    return out;
}

HTREEITEM Item(HWND tree, HTREEITEM parent, int n)
{
    HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, LPARAM(parent)));
    while (item && n-- > 0)
        item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(item)));
    return item;
}

// Sends the tree's notification with the cursor over the item's label.
void ClickItem(HWND window, HWND tree, HTREEITEM item, UINT code)
{
    RECT r{};
    std::memcpy(&r, &item, sizeof item); // the item goes in, its rectangle comes back
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, LPARAM(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tree, &p);
    SetCursorPos(p.x, p.y);
    NMHDR header{tree, 0, code};
    SendMessageA(window, WM_NOTIFY, 0, LPARAM(&header));
}

} // namespace

TEST(PenTree, BackslashesMakeGroupsAndClicksPostThePenCommands)
{
    std::vector<PenDef> saved(g_PenDefs, g_PenDefs + PEN_SLOTS);
    for (int k = 1; k < PEN_SLOTS; ++k)
        g_PenDefs[k].name[0] = 0;
    std::strcpy(g_PenDefs[0].name, "Zero");
    std::strcpy(g_PenDefs[1].name, "D");
    std::strcpy(g_PenDefs[2].name, "A\\C");
    std::strcpy(g_PenDefs[3].name, "A\\B");
    std::strcpy(g_PenDefs[4].name, "E\\");
    g_PenSortIndex[PEN_SLOTS - 1] = -1;

    HWND main = MakeToolWindow("TreeTestMain", DefWindowProcA, 100, 100, WS_POPUP);
    HWND window = MakeToolWindow("TreeTestPens", AppPenWndProc, 300, 300, WS_POPUP);
    ASSERT_TRUE(main && window);
    HWND tree = hGlobalPenTree;
    ASSERT_TRUE(tree);
    ShowWindow(window, SW_SHOWNA);
    const HWND oldMain = g_MainWnd;
    g_MainWnd = main;

    // Slot 0 first whatever its name; the group A with B and C; a trailing
    // backslash keeps its leaf whole.
    EXPECT_EQ(Children(tree, nullptr), (std::vector<std::string>{"Zero=6866", "A=0", "D=6867", "E\\=6870"}));
    HTREEITEM group = Item(tree, nullptr, 1);
    EXPECT_EQ(Children(tree, group), (std::vector<std::string>{"B=6869", "C=6868"}));

    MSG msg;
    ClickItem(window, tree, Item(tree, nullptr, 2), NM_DBLCLK);
    ASSERT_TRUE(PeekMessageA(&msg, main, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, WPARAM(6867));
    ClickItem(window, tree, Item(tree, nullptr, 2), NM_RCLICK);
    ASSERT_TRUE(PeekMessageA(&msg, main, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, WPARAM(6867 + 501));
    // A group node runs nothing.
    ClickItem(window, tree, group, NM_RCLICK);
    EXPECT_FALSE(PeekMessageA(&msg, main, WM_COMMAND, WM_COMMAND, PM_REMOVE));

    g_MainWnd = oldMain;
    DestroyWindow(window);
    EXPECT_EQ(hGlobalPenTree, nullptr);
    DestroyWindow(main);
    std::copy(saved.begin(), saved.end(), g_PenDefs);
    g_PenSortIndex[PEN_SLOTS - 1] = -1;
}

// ---------------------------------------------------------------------------
// Symbol window

namespace {

void SetSlot(int slot, const char *library, const char *block)
{
    std::strcpy(g_Options.insertSlots[slot].nameLibrary, library);
    std::strcpy(g_Options.insertSlots[slot].nameBlock, block);
}

std::string Slots(int n)
{
    std::string out;
    for (int k = 0; k < n; ++k)
        out += std::string(g_Options.insertSlots[k].nameLibrary) + ":" + g_Options.insertSlots[k].nameBlock + " ";
    return out;
}

} // namespace

TEST(SymbolWindow, SortModesCompactAndSortTheSlots)
{
    const ProgramOptions saved = g_Options;
    for (BlockInsertSlot &s : g_Options.insertSlots)
        s.nameLibrary[0] = s.nameBlock[0] = 0;
    g_Options.symbolVisible = 1;
    const struct {
        int mode;
        int moved;
        const char *after;
    } rows[] = {
        {0, 0, ":  lib2:b :  lib1:c lib1:a "},
        {1, 1, "lib2:b lib1:c lib1:a :  :  "},
        {2, 1, "lib1:a lib1:c lib2:b :  :  "},
        {3, 1, "lib1:a lib2:b lib1:c :  :  "},
    };
    for (const auto &r : rows) {
        for (BlockInsertSlot &s : g_Options.insertSlots)
            s.nameLibrary[0] = s.nameBlock[0] = 0;
        SetSlot(1, "lib2", "b");
        SetSlot(2, "lib", ""); // a library without a block counts as empty
        SetSlot(3, "lib1", "c");
        SetSlot(4, "lib1", "a");
        g_Options.symbolSortMode = r.mode;
        EXPECT_EQ(StatusSortSymbolList(), r.moved) << r.mode;
        // The library name of a vacated slot may stay; only used slots count.
        std::string shown;
        for (int k = 0; k < 5; ++k) {
            const BlockInsertSlot &s = g_Options.insertSlots[k];
            shown += s.nameBlock[0] ? std::string(s.nameLibrary) + ":" + s.nameBlock + " " : std::string(":  ");
        }
        EXPECT_EQ(shown, r.after) << r.mode << " " << Slots(5);
    }
    g_Options = saved;
}

TEST(SymbolWindow, AnEmptySlotRefusesToInsertButCanBeEdited)
{
    CommandRecorder recorder;
    const ProgramOptions saved = g_Options;
    g_Options.symbolVisible = 1;
    g_Options.symbolPreview = 0;
    g_Options.symbolIndex = g_Options.symbolScale = g_Options.symbolRotate = 0;
    g_Options.symbolLibrary = g_Options.symbolBlock = 1;
    for (BlockInsertSlot &s : g_Options.insertSlots)
        s.nameLibrary[0] = s.nameBlock[0] = 0;
    SetSlot(0, "parts", "bolt");
    HWND symbol = MakeToolWindow("ToolTestSymbol", AppSymbolWndProc, 150, 300, WS_POPUP);
    ASSERT_TRUE(symbol);
    hGlobalSymbol = symbol;
    StatusLayoutSymbolWindow();
    const int row = StatusSymbolRowHeight();
    const LPARAM first = MAKELPARAM(10, row / 2), second = MAKELPARAM(10, row + row / 2);
    TestBeeps beeps;
    SendMessageA(symbol, WM_LBUTTONDOWN, MK_LBUTTON, first);
    SendMessageA(symbol, WM_LBUTTONUP, 0, first);
    SendMessageA(symbol, WM_LBUTTONDOWN, MK_LBUTTON, second);
    SendMessageA(symbol, WM_LBUTTONUP, 0, second);
    SendMessageA(symbol, WM_RBUTTONDOWN, MK_RBUTTON, second);
    SendMessageA(symbol, WM_RBUTTONUP, 0, second);
    EXPECT_EQ(s_Commands, (std::vector<int>{5340, 5441}));
    EXPECT_EQ(beeps.count(), 1u);
    DestroyWindow(symbol);
    g_Options = saved;
}

std::vector<int> s_Preselections;
void RecordPreselection(int id)
{
    s_Commands.push_back(id);
    s_Preselections.push_back(StatusPreselectedField());
}

// The first message of the thread's queue for window, removed; 0 when none.
UINT TakePosted(HWND window, WPARAM *wParam)
{
    MSG m{};
    if (!PeekMessageA(&m, window, 0, 0, PM_REMOVE))
        return 0;
    *wParam = m.wParam;
    return m.message;
}

struct StatusBarFixture : ::testing::Test {
    HWND status = nullptr, main = nullptr;
    HWND savedMain = g_MainWnd;
    void SetUp() override
    {
        s_Commands.clear();
        s_Preselections.clear();
        g_StatusCommandSeam = RecordPreselection;
        g_Options.statusVisible = 1;
        status = MakeToolWindow("ToolTestStatusClicks", AppStatusWndProc, 900, 30, WS_POPUP);
        main = MakeToolWindow("ToolTestStatusMain", DefWindowProcA, 100, 100, WS_POPUP);
        ASSERT_TRUE(status && main);
        hGlobalStatus = status;
        g_MainWnd = main;
        StatusLayoutStatusFields(status);
    }
    void TearDown() override
    {
        g_StatusCommandSeam = nullptr;
        g_MainWnd = savedMain;
        hGlobalStatus = nullptr;
        DestroyWindow(status);
        DestroyWindow(main);
    }
};

TEST_F(StatusBarFixture, APressOnAValueFieldStartsTheEntryAtOnceOnThatField)
{
    const RECT distance = g_ToolCells[5];
    SendMessageA(status, WM_LBUTTONDOWN, MK_LBUTTON, At(distance));
    EXPECT_EQ(s_Commands, (std::vector<int>{1008}));
    EXPECT_EQ(s_Preselections, (std::vector<int>{4}));
    // The release adds nothing, and a later start is not preselected.
    SendMessageA(status, WM_LBUTTONUP, 0, At(distance));
    WPARAM w = 0;
    EXPECT_EQ(TakePosted(main, &w), 0u);
    EXPECT_EQ(s_Commands.size(), 1u);
    EXPECT_EQ(StatusPreselectedField(), -1);
}

TEST_F(StatusBarFixture, AClickBesideTheFieldsStartsTheEntryOnReleaseAndARightClickBeeps)
{
    // The prompt field is no value field.
    SendMessageA(status, WM_LBUTTONDOWN, MK_LBUTTON, At(g_ToolCells[0]));
    WPARAM w = 0;
    EXPECT_EQ(TakePosted(main, &w), 0u);
    SendMessageA(status, WM_LBUTTONUP, 0, At(g_ToolCells[0]));
    EXPECT_EQ(TakePosted(main, &w), UINT(WM_COMMAND));
    EXPECT_EQ(w, 1008u);
    EXPECT_TRUE(s_Commands.empty());
    // A release without its press does nothing.
    SendMessageA(status, WM_LBUTTONUP, 0, At(g_ToolCells[0]));
    EXPECT_EQ(TakePosted(main, &w), 0u);

    TestBeeps beeps;
    SendMessageA(status, WM_RBUTTONDOWN, MK_RBUTTON, At(g_ToolCells[3]));
    EXPECT_EQ(beeps.count(), 0u);
    SendMessageA(status, WM_RBUTTONUP, 0, At(g_ToolCells[3]));
    EXPECT_EQ(beeps.count(), 1u);
    EXPECT_TRUE(s_Commands.empty());
}

TEST_F(StatusBarFixture, WhileTheCalculatorIsOpenAClickOnAnOfferedFieldGoesToIt)
{
    HWND calculator = MakeToolWindow("ToolTestStatusCalc", DefWindowProcA, 50, 20, WS_POPUP);
    ASSERT_TRUE(calculator);
    const UINT savedClick = g_MsgClick;
    g_MsgClick = RegisterWindowMessageA("DARAD4_CLICK");
    g_CoordEntryWnd = calculator;
    ++g_ModalDepth;
    for (int k = 0; k < COORD_FIELD_COUNT; ++k) {
        g_CoordEntryRecord.slots[k].box = g_ToolCells[k + 1];
        g_CoordEntryRecord.slots[k].present = k != 2; // dx switched off
    }
    TestBeeps beeps;
    WPARAM w = 0;
    SendMessageA(status, WM_LBUTTONDOWN, MK_LBUTTON, At(g_ToolCells[4]));
    EXPECT_EQ(TakePosted(calculator, &w), g_MsgClick);
    EXPECT_EQ(w, 3u);
    SendMessageA(status, WM_LBUTTONDOWN, MK_LBUTTON, At(g_ToolCells[3]));
    EXPECT_EQ(TakePosted(calculator, &w), 0u);
    EXPECT_EQ(beeps.count(), 1u);
    g_CoordEntryWnd = nullptr;
    SendMessageA(status, WM_LBUTTONDOWN, MK_LBUTTON, At(g_ToolCells[4]));
    EXPECT_EQ(beeps.count(), 2u);
    EXPECT_TRUE(s_Commands.empty());
    --g_ModalDepth;
    g_MsgClick = savedClick;
    DestroyWindow(calculator);
}

TEST(SymbolWindow, APreviewShowsTheSlotsBlock)
{
    // The drawing's own block "Bolt": an L of two lines.
    StartTestDrawing();
    Unit *block = SymbolNewBlock(LIST_OWN_BLOCKS, "Bolt");
    ASSERT_NE(block, nullptr);
    for (const std::vector<double> &xy : {std::vector<double>{0.0, 0.0, 60.0, 0.0}, std::vector<double>{0.0, 0.0, 0.0, 30.0}}) {
        Unit *line = TestNewObject(LIST_DRAWING, OBJTYPE_LINE, xy);
        ASSERT_NE(line, nullptr);
        ASSERT_NE(SymbolAddMember(LIST_OWN_BLOCKS, block, line), nullptr);
        MemListDelete(LIST_DRAWING, line);
    }
    SymbolRebuildOwnIndex();
    SymbolRecalcFrames();

    const ProgramOptions saved = g_Options;
    g_Options.symbolVisible = g_Options.symbolPreview = 1;
    g_Options.symbolIndex = g_Options.symbolScale = g_Options.symbolRotate = 0;
    g_Options.symbolLibrary = g_Options.symbolBlock = 0;
    g_Options.symbolSortMode = 0;
    for (BlockInsertSlot &s : g_Options.insertSlots)
        s.nameLibrary[0] = s.nameBlock[0] = 0;
    SetSlot(0, "*", "Bolt");
    SetSlot(1, "*", "Missing");
    const int width = 150, height = 300;
    HWND symbol = MakeToolWindow("ToolTestSymbolPreview", AppSymbolWndProc, width, height, WS_POPUP);
    ASSERT_TRUE(symbol);
    hGlobalSymbol = symbol;
    // The preview draws on the window itself: it is shown and read back.
    ShowWindow(symbol, SW_SHOWNA);
    UpdateWindow(symbol);
    HDC dc = GetDC(symbol);
    StatusPaintSymbolWindow(symbol, dc);
    GdiFlush();
    const int row = StatusSymbolRowHeight();
    // Pixels inside the preview box (its frame left out) other than the
    // box's background, for slot 0 and slot 1.
    auto ink = [&](int slot) {
        const COLORREF background = GetPixel(dc, 7, slot * row + 7);
        int n = 0;
        for (int y = slot * row + 7; y < slot * row + 50; ++y)
            for (int x = 7; x < width - 7; ++x)
                n += GetPixel(dc, x, y) != background;
        return n;
    };
    EXPECT_GT(ink(0), 40) << "the block's lines";
    EXPECT_EQ(ink(1), 0) << "a block that is not loaded leaves the box empty";
    ReleaseDC(symbol, dc);
    DestroyWindow(symbol);
    hGlobalSymbol = nullptr;
    g_Options = saved;
    StartTestDrawing();
}

TEST(ToolWindowCorners, CornerCommandsPlaceTheWindowInTheFreeArea)
{
    const ProgramOptions saved = g_Options;
    const RECT savedArea = g_WindowLayout.freeArea;
    const HWND oldMain = g_MainWnd;
    HWND main = MakeToolWindow("ToolTestCornerMain", DefWindowProcA, 600, 400, WS_POPUP);
    HWND guide = MakeToolWindow("ToolTestCornerGuide", AppGuideWndProc, 120, 80, WS_POPUP | WS_CAPTION);
    HWND panel = MakeToolWindow("ToolTestCornerPanel", DefWindowProcA, 60, 200, WS_POPUP | WS_VISIBLE);
    HWND property = MakeToolWindow("ToolTestCornerProp", AppPropWndProc, 200, 30, WS_POPUP | WS_CAPTION);
    ASSERT_TRUE(main && guide && panel && property);
    g_MainWnd = main;
    hGlobalGuide = guide;
    hGlobalPanel = panel;
    hGlobalProp = property;
    g_WindowLayout.freeArea = RECT{50, 30, 550, 380};
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    RECT g{};
    GetWindowRect(guide, &g);
    const LONG w = g.right - g.left, h = g.bottom - g.top;
    const struct {
        int command;
        LONG x, y;
    } rows[] = {{5002, 54, 34}, {5003, 550 - w, 34}, {5004, 54, 380 - h}, {5005, 550 - w, 380 - h}};
    for (const auto &r : rows) {
        SendMessageA(guide, WM_SYSCOMMAND, WPARAM(r.command), 0);
        GetWindowRect(guide, &g);
        EXPECT_EQ(g.left, origin.x + r.x) << r.command;
        EXPECT_EQ(g.top, origin.y + r.y) << r.command;
        EXPECT_EQ(g_Options.guidePlacement.pos.x, g.left) << "kept as the placement";
    }
    // The property bar's left corners keep clear of a floating panel.
    g_Options.panelMoveable = 1;
    g_Options.toolboxMoveable = 0;
    RECT p{};
    GetWindowRect(panel, &p);
    SendMessageA(property, WM_SYSCOMMAND, 5002, 0);
    RECT b{};
    GetWindowRect(property, &b);
    EXPECT_EQ(b.left, origin.x + 54 + (p.right - p.left) + 4);
    for (HWND window : {guide, panel, property, main})
        DestroyWindow(window);
    hGlobalGuide = hGlobalPanel = hGlobalProp = nullptr;
    g_MainWnd = oldMain;
    g_WindowLayout.freeArea = savedArea;
    g_Options = saved;
}

namespace {

// The window that has the keyboard in the program's thread, within a while.
HWND ProgramFocus(const Program &run, HWND expected)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(run.main, nullptr);
    for (int i = 0; i < 30; ++i) {
        if (GetGUIThreadInfo(thread, &info) && info.hwndFocus == expected)
            break;
        Sleep(100);
    }
    return info.hwndFocus;
}

// After the start screen and after a modal dialog the keys go to the main
// window again (it hands them to the drawing), without a click into it.
TEST_F(ToolWindowsProgram, TheKeyboardGoesBackToTheMainWindowAfterADialog)
{
    SetOption("StartUpDisplay", 1);
    Program run;
    run.startScreen = true;
    ASSERT_TRUE(run.Start());
    HWND start = run.WaitBox();
    ASSERT_NE(start, nullptr) << "the start screen";
    PostMessageA(start, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(run.WaitReady());
    EXPECT_EQ(ProgramFocus(run, run.main), run.main) << "after the start screen";

    PostMessageA(run.main, WM_COMMAND, 1106, 0); // the About box
    HWND about = run.WaitBox();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(GetWindow(about, GW_OWNER), run.main);
    PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(ProgramFocus(run, run.main), run.main) << "after a modal dialog";
    SetOption("StartUpDisplay", 0);
    EXPECT_EQ(run.Close(), 0);
}

} // namespace

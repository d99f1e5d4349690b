// The menus: the bar, context and system menus built from the layout, the
// titles and menu texts of commands, plug-in modules spliced in, and the
// main window's menu messages, driven with real and posted messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/darad4_menu.h"
#include "app/darad4_start.h"
#include "app/init_gdi.h"
#include "app/init_menulayout.h"
#include "app/init_menus.h"
#include "app/system.h"
#include "dialogs/alert.h"
#include "files/file_drawinginfo.h"
#include "language/language.h"
#include "plugin/zvi_module.h"
#include "common/dialog_driver.h"
#include "common/test_support.h"
#include "program_run.h"

namespace {

std::vector<int> g_Commands; // WM_COMMAND ids the test window received
int g_Relayouts = 0;
int g_MenuLoops = 0;          // menus tracked for the test window

LRESULT CALLBACK TestMainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        g_Commands.push_back(LOWORD(wParam));
        return 0;
    }
    if (message == MSG_MAIN_RELAYOUT) {
        ++g_Relayouts;
        return 0;
    }
    if (message == WM_ENTERMENULOOP)
        ++g_MenuLoops;
    LRESULT result = 0;
    if (AppMainMenuMessage(window, message, wParam, lParam, &result))
        return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string ItemText(HMENU menu, int position)
{
    char text[256] = "";
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A top-level window standing in for the main window, with its menus, and
// empty module tables; the options and tables are restored afterwards.
class MenuTest : public ::testing::Test {
protected:
    HWND window = nullptr;
    ProgramOptions savedOptions{};
    LanguageExchangeBlock *savedBlock = nullptr;

    void SetUp() override
    {
        savedOptions = g_Options;
        savedBlock = new LanguageExchangeBlock(g_LanguageInitBlock);
        ClearModules();
        g_Options.menuVisible = 1;
        g_Options.menuLongNames = 0;
        std::fill(std::begin(g_Options.keyboard), std::end(g_Options.keyboard), 0);
        WNDCLASSA wc{};
        wc.lpfnWndProc = TestMainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MenuTestMain";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "MenuTestMain", "menus", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                 nullptr, wc.hInstance, nullptr);
        g_MainWnd = window;
        ASSERT_TRUE(InitBuildMenuLayout(g_MenuTemplate, g_MenuLayout, MENU_LAYOUT_SIZE));
        InitCreateMenus(window);
        g_Commands.clear();
        g_Relayouts = 0;
    }
    void TearDown() override
    {
        InitDestroyMenus(window);
        DestroyWindow(window);
        g_MainWnd = nullptr;
        g_Options = savedOptions;
        g_LanguageInitBlock = *savedBlock;
        delete savedBlock;
        InitBuildMenuLayout(g_MenuTemplate, g_MenuLayout, MENU_LAYOUT_SIZE);
    }
    static void ClearModules()
    {
        std::memset(&g_LanguageInitBlock.modules, 0, sizeof g_LanguageInitBlock.modules);
        std::memset(&g_LanguageInitBlock.importFormats, 0, sizeof g_LanguageInitBlock.importFormats);
        g_LanguageInitBlock.moduleCount = g_LanguageInitBlock.importCount = g_LanguageInitBlock.exportCount = 0;
    }
};

TEST_F(MenuTest, TheBarHasElevenMenusTitledByTheLanguageModule)
{
    HMENU bar = GetMenu(window);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 11);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(ItemText(bar, i), eMenuShortNames[i]) << i;
    // The context menu always takes the long titles.
    ASSERT_NE(g_ContextMenu, nullptr);
    ASSERT_EQ(GetMenuItemCount(g_ContextMenu), 11);
    EXPECT_EQ(ItemText(g_ContextMenu, 7), eMenuLongNames[7]);
    // File: New, Open ... the menu texts of the first pairs.
    HMENU file = GetSubMenu(bar, 0);
    EXPECT_EQ(ItemText(file, 0), eMenu01Commands[1]);
    EXPECT_EQ(ItemText(file, 1), eMenu01Commands[3]);
    // Help ends the bar; About is its last item.
    HMENU help = GetSubMenu(bar, 10);
    EXPECT_EQ(GetMenuItemID(help, GetMenuItemCount(help) - 1), 1106u);
    // Popups of the layout are submenus: Import (105) holds 106.
    HMENU import = ConvertFindCommandSubmenu(bar, 105);
    ASSERT_NE(import, nullptr);
    EXPECT_EQ(GetMenuItemID(import, 0), 106u);
    EXPECT_EQ(ConvertFindCommandSubmenu(bar, 101), nullptr); // a plain item opens nothing
}

TEST_F(MenuTest, SystemMenuSwitchesHideTheBarAndChangeTheTitles)
{
    HMENU system = GetSystemMenu(window, FALSE);
    ASSERT_NE(GetMenuState(system, MENU_SYSTEM_BAR, MF_BYCOMMAND), 0xFFFFFFFFu);
    SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system), 0);
    EXPECT_TRUE(GetMenuState(system, MENU_SYSTEM_BAR, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(system, MENU_SYSTEM_LONG_NAMES, MF_BYCOMMAND) & MF_CHECKED);

    PostMessageA(window, WM_SYSCOMMAND, MENU_SYSTEM_LONG_NAMES, 0);
    Pump();
    EXPECT_EQ(g_Options.menuLongNames, 1u);
    EXPECT_EQ(ItemText(GetMenu(window), 2), eMenuLongNames[2]);

    // The bar goes and the windows are laid out again at once, although the
    // main window's rectangle did not change.
    PostMessageA(window, WM_SYSCOMMAND, MENU_SYSTEM_BAR, 0);
    Pump();
    EXPECT_EQ(g_Options.menuVisible, 0u);
    EXPECT_EQ(GetMenu(window), nullptr);
    EXPECT_EQ(g_Relayouts, 1);
    EXPECT_NE(g_ContextMenu, nullptr);

    PostMessageA(window, WM_SYSCOMMAND, MENU_SYSTEM_KEEP_PLACE, 0);
    Pump();
    system = GetSystemMenu(window, FALSE);
    SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system), 0);
    EXPECT_EQ(static_cast<bool>(GetMenuState(system, MENU_SYSTEM_KEEP_PLACE, MF_BYCOMMAND) & MF_CHECKED),
              g_Options.appPlacement.keep != 0);
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    EndMenu();
}

// With the menu bar hidden, Alt pressed and released alone opens the menus
// as a popup; Alt used with another key does not.
TEST_F(MenuTest, AltAloneOpensTheContextMenuWhenTheBarIsHidden)
{
    g_Options.menuVisible = 0;
    InitCreateMenus(window);
    ASSERT_EQ(GetMenu(window), nullptr);
    g_MenuLoops = 0;
    SetTimer(nullptr, 0, 50, CloseMenu);
    SendMessageA(window, WM_SYSKEYDOWN, VK_MENU, 0);
    SendMessageA(window, WM_SYSKEYUP, VK_MENU, 0);
    EXPECT_EQ(g_MenuLoops, 1);

    SendMessageA(window, WM_SYSKEYDOWN, VK_MENU, 0);
    SendMessageA(window, WM_SYSKEYDOWN, 'X', 0);
    SendMessageA(window, WM_SYSKEYUP, VK_MENU, 0);
    EXPECT_EQ(g_MenuLoops, 1);
    g_PopupByRightButton = 0;
}

TEST_F(MenuTest, SystemColourObjectsAreMadeAgainWhenTheColoursChange)
{
    ASSERT_NE(g_SysColors.brushes[SYS_BRUSH_FACE], nullptr);
    SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_NE(g_SysColors.brushes[SYS_BRUSH_FACE], nullptr);
    EXPECT_NE(g_SysColors.pens[SYS_PEN_GRAY_TEXT], nullptr);
    LOGBRUSH face{};
    GetObjectA(g_SysColors.brushes[SYS_BRUSH_FACE], sizeof face, &face);
    EXPECT_EQ(face.lbColor & 0xFFFFFF, GetSysColor(COLOR_BTNFACE));
}

TEST(SharedObjects, FontsCursorsAndNoPaletteOnADeepScreen)
{
    ASSERT_EQ(InitCreateGdiResources(), 1);
    const SharedGdi &g = g_SharedGdi;
    LOGFONTA vertical{};
    ASSERT_NE(g.miniFontY, nullptr);
    GetObjectA(g.miniFontY, sizeof vertical, &vertical);
    EXPECT_EQ(vertical.lfEscapement, 900);
    EXPECT_EQ(vertical.lfHeight, -11);
    EXPECT_NE(g.aboutFont, nullptr);
    EXPECT_NE(hDialogFont, nullptr);
    EXPECT_NE(g.helpCursor, nullptr);
    if (g_ScreenColorBits != 8)
        EXPECT_EQ(g.palette, nullptr);
}

TEST(StartScreen, TheVersionLineNamesTheBuildAndWindows)
{
    const uint32_t major = g_OsMajor, minor = g_OsMinor, win9x = g_IsWin9x;
    g_OsMajor = 4;
    g_OsMinor = 10;
    g_IsWin9x = 1;
    char line[160];
    AppFormatStartVersion(line, sizeof line);
    char date[SYSTEM_BUILD_DATE_SIZE];
    SystemGetBuildDate(date);
    EXPECT_EQ(std::string(line), std::string("Version 4.7") + eProfileTitle[3] + " Service Pack 4, " + date +
                                     ", Win95/98 4.10");
    g_IsWin9x = 0;
    AppFormatStartVersion(line, sizeof line);
    EXPECT_NE(std::string(line).find(", NT 4.10"), std::string::npos) << line;
    g_OsMajor = major;
    g_OsMinor = minor;
    g_IsWin9x = win9x;
}

BOOL CALLBACK CollectText(HWND child, LPARAM texts)
{
    char text[512] = "";
    GetWindowTextA(child, text, sizeof text);
    reinterpret_cast<std::string *>(texts)->append(text).append("|");
    return TRUE;
}

// Windows may not end the session while a dialog or progress window runs an
// operation: the main window says so and refuses.
TEST_F(MenuTest, TheSessionDoesNotEndWhileADialogIsOpen)
{
    std::string texts;
    DialogDriver driver({[&texts](HWND box) {
        EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&texts));
        TestPressKey(box, VK_RETURN);
    }});
    const uint32_t savedDepth = g_ModalDepth;
    g_ModalDepth = 1;
    const LRESULT result = AppMainWndProc(window, WM_QUERYENDSESSION, 0, 0);
    g_ModalDepth = savedDepth;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(driver.stepsDone(), 1);
    EXPECT_NE(texts.find(eAlertTextSM[23]), std::string::npos) << texts;
}

// The program loses activation while a modal box is open and gets it back:
// the box, not the main window, is active again and the focus is in it.
TEST_F(MenuTest, ActivationComesBackToTheModalBoxThatHadIt)
{
    HWND box = nullptr, activeAfter = nullptr;
    bool focusInBoxBefore = false, focusInBoxAfter = false, focusOnMainBetween = false;
    HWND remembered = nullptr, rememberedAfter = reinterpret_cast<HWND>(1);
    const uint32_t savedDepth = g_ModalDepth;
    DialogDriver driver({[&](HWND dialog) {
        box = dialog;
        focusInBoxBefore = GetFocus() && IsChild(dialog, GetFocus());
        g_ModalDepth = 1;
        AppMainWndProc(window, WM_ACTIVATEAPP, FALSE, 0);
        remembered = g_LastActivePopup;
        EXPECT_EQ(g_AppActive, 0u);
        SetActiveWindow(window);
        SetFocus(window);
        focusOnMainBetween = GetFocus() == window;
        AppMainWndProc(window, WM_ACTIVATEAPP, TRUE, 0);
        activeAfter = GetActiveWindow();
        // Asked here: once the box has ended its window and controls are gone.
        focusInBoxAfter = GetFocus() && IsChild(dialog, GetFocus());
        rememberedAfter = g_LastActivePopup;
        g_ModalDepth = savedDepth;
        TestPressKey(dialog, VK_RETURN);
    }});
    MessageBoxA(window, "text", "box", MB_OK);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(remembered, box);
    EXPECT_EQ(activeAfter, box);
    EXPECT_TRUE(focusInBoxBefore);
    EXPECT_TRUE(focusOnMainBetween);
    EXPECT_TRUE(focusInBoxAfter);
    EXPECT_EQ(rememberedAfter, nullptr);
    EXPECT_EQ(g_AppActive, 1u);
}

// The tablet context is disabled only where the mouse is meant: outside the
// client areas and well inside the screen.
TEST(TabletLink, EnabledExceptOutsideTheClientAreasWellInsideTheScreen)
{
    struct Case {
        POINT p;
        int overClient, wanted;
    } cases[] = {{{500, 400}, 1, 1}, {{500, 400}, 0, 0}, {{1, 400}, 0, 1},  {{2, 400}, 0, 0},
                 {{1022, 400}, 0, 1}, {{1021, 400}, 0, 0}, {{500, 0}, 0, 1}, {{500, 766}, 0, 1},
                 {{500, 765}, 0, 0}};
    for (const Case &c : cases)
        EXPECT_EQ(AppTabletEnableWanted(c.p, c.overClient, 1024, 768), c.wanted) << c.p.x << "," << c.p.y;
}

// F1 in an open menu, or a help pick, turns the chosen command into its help.
TEST_F(MenuTest, AChosenCommandShowsItsHelpWhenHelpWasAskedFor)
{
    const int before = g_TestHelp.count;
    g_MenuHelpPending = 1;
    AppMainCommand(101);
    EXPECT_EQ(g_TestHelp.count, before + 1);
    EXPECT_EQ(g_MenuHelpPending, 0u);
    EXPECT_EQ(g_TestHelp.data, static_cast<ULONG_PTR>(ConvertCommandHelpContext(101)));
}

// Closing asks to save a changed drawing; Cancel keeps the program running.
TEST_F(MenuTest, CancellingTheSaveQuestionKeepsTheProgram)
{
    static int s_Questions = 0;
    s_Questions = 0;
    AlertAnswerHook saved = g_AlertAnswerHook;
    g_AlertAnswerHook = [](const char *, uint32_t, uint32_t, uint32_t) {
        ++s_Questions;
        return ALERT_CANCEL;
    };
    const uint32_t modified = g_DrawingInfo.modified, running = g_Running, closing = g_Closing;
    g_DrawingInfo.modified = 1;
    g_Running = 1;
    AppMainWndProc(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(s_Questions, 1);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(g_Running, 1u);
    EXPECT_EQ(g_Closing, 0u);
    g_AlertAnswerHook = saved;
    g_DrawingInfo.modified = modified;
    g_Running = running;
    g_Closing = closing;
}

TEST_F(MenuTest, KeysJoinTitlesAndMenuTexts)
{
    g_Options.keyboard[10] = 101;      // A
    g_Options.keyboard[38 + 11] = 101; // Shift+B
    char title[CONVERT_TITLE_SIZE];
    ASSERT_EQ(ConvertGetCommandTitle(title, 101), 1);
    EXPECT_EQ(std::string(title), std::string(eMenu01Commands[2]) + " [A/+B]");
    char text[CONVERT_TITLE_SIZE];
    ASSERT_EQ(ConvertGetCommandMenuText(text, 101), 1);
    EXPECT_EQ(std::string(text), std::string(eMenu01Commands[3]) + "\bA / " + eDialogText[41] + "B");
    EXPECT_EQ(ConvertGetCommandTitle(title, 7885), 0);
    EXPECT_STREQ(title, "");
    EXPECT_EQ(ConvertIndexToAccelChar(9), '0');
    EXPECT_EQ(ConvertIndexToAccelChar(10), 'A');
    EXPECT_EQ(ConvertIndexToAccelChar(36), ' ');
    EXPECT_EQ(ConvertCommandToIconIndex(100), 10);
    EXPECT_EQ(ConvertCommandToIconIndex(7870), ConvertCommandToIconIndex(342));
    EXPECT_EQ(ConvertFindCommandPopup(106), 105);
}

// A module record made here: commands named "Cmd k", placed by place.
struct TestModule {
    std::vector<ModuleCommand> commands;
    std::vector<std::string> names;
    void Fill(ModuleData *record, uint32_t place, int count, const char *name)
    {
        *record = ModuleData{};
        record->defaultEntry.idFlags = place;
        record->defaultEntry.name = name;
        record->defaultEntry.longName = name;
        names.resize(count);
        commands.assign(count + 1, ModuleCommand{});
        for (int k = 0; k < count; ++k) {
            names[k] = "Cmd " + std::to_string(k);
            commands[k].name = names[k].c_str();
            commands[k].longName = names[k].c_str();
        }
        commands[count].idFlags = MODULE_COMMAND_LAST;
        record->list = count ? commands.data() : nullptr;
    }
};

TEST_F(MenuTest, PluginModulesAndFormatsSpliceIntoTheMenus)
{
    TestModule drawTools, ownMenu, big;
    drawTools.Fill(&g_LanguageInitBlock.modules[0], 4, 3, "Draw tools");
    ownMenu.Fill(&g_LanguageInitBlock.modules[1], MENU_PLACE_OWN_MENUS, 2, "Own");
    big.Fill(&g_LanguageInitBlock.modules[2], 9, 120, "Big");
    g_LanguageInitBlock.moduleCount = 3;
    TestModule format1, format2;
    format1.Fill(&g_LanguageInitBlock.importFormats[0], MENU_PLACE_IMPORTS, 0, "Format one");
    format2.Fill(&g_LanguageInitBlock.importFormats[1], MENU_PLACE_IMPORTS, 0, "Format two");
    g_LanguageInitBlock.importCount = 2;
    ASSERT_TRUE(InitBuildMenuLayout(g_MenuTemplate, g_MenuLayout, MENU_LAYOUT_SIZE));
    InitCreateMenus(window);

    HMENU bar = GetMenu(window);
    ASSERT_EQ(GetMenuItemCount(bar), 12); // the module's own menu before Help
    EXPECT_STREQ(ItemText(bar, 10).c_str(), "Own");
    EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 10), 1), 1302u + 100u);

    // Draw ends with a separator and the module's submenu of three commands.
    HMENU draw = GetSubMenu(bar, 4);
    const int n = GetMenuItemCount(draw);
    EXPECT_TRUE(GetMenuState(draw, n - 2, MF_BYPOSITION) & MF_SEPARATOR);
    HMENU tools = GetSubMenu(draw, n - 1);
    ASSERT_NE(tools, nullptr);
    ASSERT_EQ(GetMenuItemCount(tools), 3);
    EXPECT_EQ(GetMenuItemID(tools, 2), 1303u);
    EXPECT_EQ(ItemText(tools, 2), "Cmd 2");

    // Import: one separator, then both formats.
    HMENU import = ConvertFindCommandSubmenu(bar, 105);
    const int m = GetMenuItemCount(import);
    EXPECT_EQ(GetMenuItemID(import, m - 1), 5301u);
    EXPECT_EQ(GetMenuItemID(import, m - 2), 5300u);
    EXPECT_TRUE(GetMenuState(import, m - 3, MF_BYPOSITION) & MF_SEPARATOR);

    // A module with more commands than its numbers allow stops at 98.
    HMENU input = GetSubMenu(bar, 9);
    HMENU bigMenu = GetSubMenu(input, GetMenuItemCount(input) - 1);
    ASSERT_NE(bigMenu, nullptr);
    EXPECT_EQ(GetMenuItemCount(bigMenu), MODULE_COMMANDS_MAX);
    EXPECT_EQ(GetMenuItemID(bigMenu, MODULE_COMMANDS_MAX - 1), 1300u + 200u + MODULE_COMMANDS_MAX);

    char title[CONVERT_TITLE_SIZE];
    ASSERT_EQ(ConvertGetCommandTitle(title, 1301), 1);
    EXPECT_STREQ(title, "Cmd 0");
    drawTools.commands[1].name = nullptr; // no name: the module's
    ASSERT_EQ(ConvertGetCommandTitle(title, 1302), 1);
    EXPECT_STREQ(title, "Draw tools");
    EXPECT_EQ(ConvertGetCommandTitle(title, 1300 + 100 * 5), 0); // no such module
}

// The program's own accelerator table, loaded from darad4.exe.
TEST_F(MenuTest, AcceleratorsGiveTheirCommands)
{
    HMODULE program = LoadLibraryExA((ProgramFolder() + "darad4.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    HACCEL table = LoadAcceleratorsA(program, "ShortMenu");
    ASSERT_NE(table, nullptr);
    SetForegroundWindow(window);
    SetFocus(window);
    auto press = [&](std::vector<WORD> keys) {
        std::vector<INPUT> in;
        for (WORD k : keys) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = k;
            in.push_back(i);
        }
        for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = *it;
            i.ki.dwFlags = KEYEVENTF_KEYUP;
            in.push_back(i);
        }
        SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
        const DWORD end = GetTickCount() + 2000;
        MSG msg;
        while (GetTickCount() < end && g_Commands.empty()) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                if (!TranslateAcceleratorA(window, table, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageA(&msg);
                }
            Sleep(5);
        }
        const int got = g_Commands.empty() ? 0 : g_Commands.front();
        g_Commands.clear();
        return got;
    };
    EXPECT_EQ(press({VK_CONTROL, 'O'}), 101);
    EXPECT_EQ(press({VK_SHIFT, VK_F12}), 308);
    EXPECT_EQ(press({VK_DELETE}), 402);
    DestroyAcceleratorTable(table);
    FreeLibrary(program);
}

// A drop of several files is refused with alert 88 and opens nothing.
TEST_F(MenuTest, TwoDroppedFilesAreRefused)
{
    static std::string s_Alert;
    s_Alert.clear();
    AlertAnswerHook saved = g_AlertAnswerHook;
    g_AlertAnswerHook = [](const char *text, uint32_t code1, uint32_t, uint32_t) {
        s_Alert = text;
        return code1;
    };
    const char files[] = "C:\\a.zvd\0C:\\b.zvd\0";
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + sizeof files + 1);
    auto *header = static_cast<DROPFILES *>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char *>(header) + sizeof(DROPFILES), files, sizeof files);
    GlobalUnlock(drop);
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    g_AlertAnswerHook = saved;
    EXPECT_EQ(s_Alert, eAlertTextSM[88]);
}

} // namespace

namespace {

// The running program shows its menu bar and switches it off and on from
// its system menu. (Another process's menus cannot be read under Wine: the
// items are read in the tests above.)
TEST(ProgramMenus, TheStartedProgramSwitchesItsMenuBar)
{
    Program run;
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitReady());
    ASSERT_NE(GetMenu(run.main), nullptr);
    RECT before{}, after{};
    GetClientRect(run.main, &before);
    SendMessageA(run.main, WM_SYSCOMMAND, MENU_SYSTEM_BAR, 0);
    EXPECT_EQ(GetMenu(run.main), nullptr);
    GetClientRect(run.main, &after);
    EXPECT_GT(after.bottom, before.bottom); // the bar's room went to the client area
    SendMessageA(run.main, WM_SYSCOMMAND, MENU_SYSTEM_BAR, 0);
    EXPECT_NE(GetMenu(run.main), nullptr);
    char title[256] = "";
    GetWindowTextA(run.main, title, sizeof title);
    EXPECT_NE(std::string(title).find(eStatusTexts[12]), std::string::npos) << title;
    EXPECT_EQ(run.Close(), 0);
}

} // namespace

namespace {

// A minimised main window never gives its iconic place to the next start,
// also when the menu-bar switch lays the window out while it is minimised.
TEST(ProgramMenus, AMinimisedWindowKeepsItsLastNormalPlace)
{
    RECT normal{};
    {
        Program run;
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.WaitReady());
        SendMessageA(run.main, WM_SYSCOMMAND, MENU_SYSTEM_KEEP_PLACE, 0); // keep the place: on
        ShowWindow(run.main, SW_RESTORE);
        SetWindowPos(run.main, nullptr, 40, 30, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(run.main, &normal);
        ShowWindow(run.main, SW_MINIMIZE);
        ASSERT_TRUE(IsIconic(run.main));
        SendMessageA(run.main, WM_SYSCOMMAND, MENU_SYSTEM_BAR, 0);
        SendMessageA(run.main, WM_SYSCOMMAND, MENU_SYSTEM_BAR, 0);
        EXPECT_EQ(run.Close(), 0);
    }
    Program again;
    ASSERT_TRUE(again.Start());
    ASSERT_TRUE(again.WaitReady());
    RECT r{};
    GetWindowRect(again.main, &r);
    EXPECT_EQ(r.left, normal.left);
    EXPECT_EQ(r.top, normal.top);
    SendMessageA(again.main, WM_SYSCOMMAND, MENU_SYSTEM_KEEP_PLACE, 0); // back to the default
    EXPECT_EQ(again.Close(), 0);
}

} // namespace

// The dialog protocol: copy back on OK only, cancel, validation, a missing
// template, and the placing and helper functions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "common/dialog_driver.h"
#include "common/test_support.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "language/language.h"

namespace {

constexpr int ID_VALUE = 200;
constexpr int TEST_HELP_CONTEXT = 15999;

// The record of the test dialog: a caption and one whole number above 0.
struct TestRecord {
    DialogHeader header;
    char caption[64];
    int value;
};

std::string g_LastAlert;
uint32_t RecordAlert(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    g_LastAlert = text;
    return code1;
}

INT_PTR CALLBACK TestEditProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *record = reinterpret_cast<TestRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, record->caption);
        SetDlgItemInt(dialog, ID_VALUE, record->value, TRUE);
        record->header.previousFocus = Box01DialogFocusEdit(dialog, ID_VALUE);
        return 0;
    }
    auto *record = Box01DialogRecordOf<TestRecord>(dialog);
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK && record) {
        BOOL read = FALSE;
        const int value = static_cast<int>(GetDlgItemInt(dialog, ID_VALUE, &read, TRUE));
        if (!read || value <= 0) {
            AlertOk(dialog, "A whole number above 0, please.");
            Box01DialogFocusEdit(dialog, ID_VALUE);
            return 1;
        }
        record->value = value;
        Box01DialogEnd(dialog, DIALOG_OK);
        return 1;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, TEST_HELP_CONTEXT);
}

uint32_t EditValue(HWND owner, const char *templateName, int &value)
{
    TestRecord caller = {};
    snprintf(caller.caption, sizeof caller.caption, "Value");
    caller.value = value;
    const uint32_t result = Box01DialogEdit(owner, templateName, TestEditProc, caller);
    value = caller.value;
    return result;
}

// Runs the test dialog from the test program's own templates.
class DialogProtocolTest : public testing::Test {
protected:
    void SetUp() override
    {
        savedModule = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA(nullptr);
        savedHook = g_AlertAnswerHook;
        g_AlertAnswerHook = RecordAlert;
        g_LastAlert.clear();
        InitReadScreenSize();
    }
    void TearDown() override
    {
        g_LanguageModule = savedModule;
        g_AlertAnswerHook = savedHook;
    }
    HMODULE savedModule = nullptr;
    AlertAnswerHook savedHook = nullptr;
};

void TypeValue(HWND dialog, const char *text)
{
    SetDlgItemTextA(dialog, ID_VALUE, text);
}

TEST_F(DialogProtocolTest, OkCopiesTheEditedValueBack)
{
    int value = 5;
    const uint32_t depthBefore = g_ModalDepth;
    uint32_t depthInside = 0;
    std::string caption;
    DialogDriver driver({[&](HWND dialog) {
        depthInside = g_ModalDepth;
        char text[64] = "";
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        TypeValue(dialog, "42");
        TestPressKey(dialog, VK_RETURN);
    }});
    EXPECT_EQ(EditValue(nullptr, "TESTEDIT", value), DIALOG_OK);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(caption, "Value");
    EXPECT_EQ(depthInside, depthBefore + 1);
    EXPECT_EQ(g_ModalDepth, depthBefore);
    EXPECT_EQ(driver.stuckDialogs(), 0);
}

TEST_F(DialogProtocolTest, CancelAndEscapeLeaveTheCallersDataAlone)
{
    const DialogStep cancels[] = {
        [](HWND dialog) { TypeValue(dialog, "99"); TestClickButton(dialog, IDCANCEL); },
        [](HWND dialog) { TypeValue(dialog, "99"); TestPressKey(dialog, VK_ESCAPE); },
        [](HWND dialog) { TypeValue(dialog, "99"); PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (const DialogStep &cancel : cancels) {
        int value = 5;
        const uint32_t depthBefore = g_ModalDepth;
        DialogDriver driver({cancel});
        EXPECT_EQ(EditValue(nullptr, "TESTEDIT", value), 0u);
        EXPECT_EQ(value, 5);
        EXPECT_EQ(g_ModalDepth, depthBefore);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
}

TEST_F(DialogProtocolTest, AnInvalidFieldKeepsTheDialogOpenWithTheFieldSelected)
{
    int value = 5;
    bool open = false;
    int focusId = 0;
    DWORD selection = 0;
    DialogDriver driver({
        [](HWND dialog) {
            TypeValue(dialog, "-3");
            TestClickButton(dialog, IDOK);
        },
        [&](HWND dialog) {
            open = IsWindowVisible(dialog) != 0;
            focusId = GetDlgCtrlID(GetFocus());
            selection = static_cast<DWORD>(SendDlgItemMessageA(dialog, ID_VALUE, EM_GETSEL, 0, 0));
            TypeValue(dialog, "7");
            TestClickButton(dialog, IDOK);
        },
    });
    EXPECT_EQ(EditValue(nullptr, "TESTEDIT", value), DIALOG_OK);
    EXPECT_EQ(g_LastAlert, "A whole number above 0, please.");
    EXPECT_TRUE(open);
    EXPECT_EQ(focusId, ID_VALUE);
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), 2); // all of "-3"
    EXPECT_EQ(value, 7);
}

TEST_F(DialogProtocolTest, AMissingTemplateIsReportedAndChangesNothing)
{
    int value = 5;
    const uint32_t depthBefore = g_ModalDepth;
    EXPECT_EQ(EditValue(nullptr, "NOSUCHTEMPLATE", value), 0u);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(g_ModalDepth, depthBefore);
    EXPECT_EQ(g_LastAlert, eAlertTextOK[46]);
}

TEST_F(DialogProtocolTest, HelpGoesToTheDialogsContext)
{
    int value = 5;
    const int before = g_TestHelp.count;
    DialogDriver driver({
        [](HWND dialog) {
            HELPINFO info = {sizeof info};
            SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        },
        [](HWND dialog) { TestClickButton(dialog, IDCANCEL); },
    });
    EditValue(nullptr, "TESTEDIT", value);
    EXPECT_EQ(g_TestHelp.count, before + 1);
    EXPECT_EQ(g_TestHelp.data, static_cast<ULONG_PTR>(TEST_HELP_CONTEXT));
    EXPECT_EQ(g_TestHelp.command, static_cast<UINT>(HELP_CONTEXT));
}

// Plain popup windows to place and centre.
HWND MakePopup(HWND owner, int x, int y, int width, int height)
{
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, x, y, width, height, owner, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

RECT WindowRectOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

TEST(DialogCenter, CentresOverTheParentAndStaysOnTheScreen)
{
    InitReadScreenSize();
    struct Case {
        const char *name;
        int parentX, parentWidth;
        int expectedX; // < 0: the centre
    };
    const int w = 200;
    const Case cases[] = {
        {"centred", 100, 400, 100 + (400 - w) / 2},
        {"near the right edge", g_ScreenWidth - 100, 400, g_ScreenWidth - w},
        {"left of the screen", -500, 400, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        HWND parent = MakePopup(nullptr, c.parentX, 100, c.parentWidth, 300);
        HWND child = MakePopup(parent, 0, 0, w, 100);
        Box01DialogCenter(child);
        const RECT r = WindowRectOf(child);
        EXPECT_EQ(r.left, c.expectedX);
        EXPECT_EQ(r.top, 100 + (300 - 100) / 2);
        EXPECT_EQ(r.right - r.left, w);
        DestroyWindow(child);
        DestroyWindow(parent);
    }
}

TEST(DialogPlace, ModesPlaceInTheDrawingAreaAndReportThePosition)
{
    HWND main = MakePopup(nullptr, 50, 40, 800, 600);
    const HWND savedMain = g_MainWnd;
    const RECT savedArea = g_DrawingArea;
    g_MainWnd = main;
    SetRect(&g_DrawingArea, 10, 20, 610, 420); // 600 x 400
    POINT origin = {0, 0};
    ClientToScreen(main, &origin);

    HWND box = MakePopup(nullptr, 0, 0, 200, 100);
    struct Case {
        int mode;
        POINT given;
        int x, y; // client coordinates of the main window
    };
    const int cx = 10 + (596 - 200) / 2 + 4;
    const Case cases[] = {
        {0, {0, 0}, cx, 20 + 4},
        {1, {0, 0}, cx, 20 + (396 - 100) / 2 + 4},
        {2, {0, 0}, cx, 420 - 100 - 4},
        {7, {0, 0}, cx, 420 - 100 - 4},
        {3, {DIALOG_NO_POSITION, 5}, cx, 420 - 100 - 4},
        {3, {5, DIALOG_NO_POSITION}, cx, 420 - 100 - 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mode);
        POINT position = c.given;
        Box01DialogPlace(box, c.mode, &position);
        const RECT r = WindowRectOf(box);
        EXPECT_EQ(r.left, origin.x + c.x);
        EXPECT_EQ(r.top, origin.y + c.y);
        EXPECT_EQ(position.x, r.left);
        EXPECT_EQ(position.y, r.top);
    }
    POINT remembered = {123, 234};
    Box01DialogPlace(box, 3, &remembered);
    EXPECT_EQ(WindowRectOf(box).left, 123);
    EXPECT_EQ(WindowRectOf(box).top, 234);
    EXPECT_EQ(remembered.x, 123);

    DestroyWindow(box);
    DestroyWindow(main);
    g_MainWnd = savedMain;
    g_DrawingArea = savedArea;
}

TEST(DialogHelpers, EnterIdleAnswersOnlyForMenus)
{
    HWND window = MakePopup(nullptr, 0, 0, 10, 10);
    g_PopupByRightButton = 1;
    EXPECT_EQ(Box01DialogEnterIdle(window, MSGF_DIALOGBOX, 0), 0u);
    EXPECT_EQ(g_PopupByRightButton, 1u);
    // No button is down here: the menu was not opened by it, the flag is cleared.
    EXPECT_EQ(Box01DialogEnterIdle(window, MSGF_MENU, 0), 1u);
    EXPECT_EQ(g_PopupByRightButton, 0u);
    DestroyWindow(window);
}

TEST(DialogHelpers, FocusEditRefusesBadArguments)
{
    EXPECT_EQ(Box01DialogFocusEdit(nullptr, 200), nullptr);
    HWND window = MakePopup(nullptr, 0, 0, 10, 10);
    EXPECT_EQ(Box01DialogFocusEdit(window, -1), nullptr);
    DestroyWindow(window);
}

TEST(DialogHelpers, CheckAndShowItemSetTheControls)
{
    HWND parent = MakePopup(nullptr, 0, 0, 100, 100);
    HWND check = CreateWindowExA(0, "BUTTON", "c", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, 0, 0, 50, 20, parent,
                                 reinterpret_cast<HMENU>(250), GetModuleHandleA(nullptr), nullptr);
    Box01DialogCheck(parent, 250, 7);
    EXPECT_EQ(IsDlgButtonChecked(parent, 250), BST_CHECKED);
    Box01DialogCheck(parent, 250, 0);
    EXPECT_EQ(IsDlgButtonChecked(parent, 250), BST_UNCHECKED);
    Box01DialogShowItem(parent, 250, 0);
    EXPECT_FALSE(IsWindowEnabled(check));
    EXPECT_FALSE(GetWindowLongA(check, GWL_STYLE) & WS_VISIBLE);
    Box01DialogShowItem(parent, 250, 1);
    EXPECT_TRUE(IsWindowEnabled(check));
    EXPECT_TRUE(GetWindowLongA(check, GWL_STYLE) & WS_VISIBLE);
    Box01DialogRedrawItems(parent, 249, 251); // missing ids are skipped
    DestroyWindow(parent);
}

} // namespace

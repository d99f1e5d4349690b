// The options and settings property sheets, driven for real from the
// language module's templates: page changes, the pages' checks on OK and
// what reaches the caller's record.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/system.h"
#include "common/dialog_driver.h"
#include "dialogs/box14.h"
#include "dialogs/box16.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

class PropertySheetTest : public LanguageDialogTest {};

HWND Page(HWND sheet)
{
    return PropSheet_GetCurrentPageHwnd(sheet);
}

void Click(HWND page, int id)
{
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void ChooseComboItem(HWND page, int id, int item)
{
    SendDlgItemMessageA(page, id, CB_SETCURSEL, item, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

// Runs steps on the sheet; each step gets the sheet.
std::vector<DialogStep> Steps(std::vector<std::function<void(HWND)>> steps)
{
    return std::vector<DialogStep>(steps.begin(), steps.end());
}

void PressOk(HWND sheet)
{
    PropSheet_PressButton(sheet, PSBTN_OK);
}

void PressCancel(HWND sheet)
{
    PropSheet_PressButton(sheet, PSBTN_CANCEL);
}

std::unique_ptr<ProgramOptions> DefaultOptions()
{
    auto options = std::make_unique<ProgramOptions>();
    SystemInitProgramOptions(options.get());
    return options;
}

TEST_F(PropertySheetTest, FontSizesOutsideTenToThirteenAreRefusedOnTheFieldInError)
{
    auto options = DefaultOptions();
    HWND focusAfterRefusal = nullptr, field = nullptr;
    DialogDriver driver(Steps({
        [](HWND sheet) {
            SetDlgItemTextA(Page(sheet), 200, "9");
            PressOk(sheet);
        },
        [&](HWND sheet) {
            field = GetDlgItem(Page(sheet), 200);
            focusAfterRefusal = GetFocus();
            SetDlgItemTextA(Page(sheet), 200, "14");
            PressOk(sheet);
        },
        [](HWND sheet) {
            SetDlgItemTextA(Page(sheet), 200, "twelve");
            PressOk(sheet);
        },
        [](HWND sheet) {
            SetDlgItemTextA(Page(sheet), 200, "6*2");
            SetDlgItemTextA(Page(sheet), 201, "10");
            PressOk(sheet);
        },
    }));
    ASSERT_EQ(Box16Options(nullptr, "", options.get(), BOX16_OPT_WINDOWS), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(Alerts(), (std::vector<std::string>{eAlertTextOK[55], eAlertTextOK[55], eAlertTextOK[7]}));
    EXPECT_EQ(focusAfterRefusal, field);
    EXPECT_EQ(options->panelFontSize, 12);
    EXPECT_EQ(options->statusFontSize, 10);
}

TEST_F(PropertySheetTest, MonitorSizeInInchesIsStoredInMillimetresWhenThePageIsLeftEvenIfCancelled)
{
    auto options = DefaultOptions();
    const auto before = *options;
    const int32_t savedWidth = g_MonitorWidth, savedHeight = g_MonitorHeight;
    std::string afterSwitch;
    DialogDriver driver(Steps({
        [&](HWND sheet) {
            HWND page = Page(sheet);
            CheckRadioButton(page, 300, 301, 301);
            Click(page, 301);
            afterSwitch = TestItemText(page, 203);
            SetDlgItemTextA(page, 203, "12");
            SetDlgItemTextA(page, 204, "9");
            PropSheet_SetCurSel(sheet, nullptr, BOX16_OPT_WINDOWS);
        },
        [](HWND sheet) { PressCancel(sheet); },
    }));
    EXPECT_EQ(Box16Options(nullptr, "", options.get(), BOX16_OPT_GENERAL), 0);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(afterSwitch, "0");
    EXPECT_EQ(g_MonitorWidth, 305); // 304.8 rounded
    EXPECT_EQ(g_MonitorHeight, 229);
    EXPECT_EQ(memcmp(&before, options.get(), sizeof before), 0);
    EXPECT_TRUE(Alerts().empty());
    g_MonitorWidth = savedWidth;
    g_MonitorHeight = savedHeight;
}

TEST_F(PropertySheetTest, GeneralPageChecksUndoStepsMonitorAndBitmapCount)
{
    struct Case {
        const char *undo, *width, *bitmaps;
        int message;
    };
    const Case cases[] = {
        {"0", "300", "100", 32}, {"1.5", "300", "100", 7}, {"10", "99", "100", 47},
        {"10", "300", "1001", 128}, {"10", "300", "many", 7},
    };
    for (const Case &c : cases) {
        auto options = DefaultOptions();
        const int32_t savedWidth = g_MonitorWidth;
        Alerts().clear();
        DialogDriver driver(Steps({
            [&](HWND sheet) {
                HWND page = Page(sheet);
                SetDlgItemTextA(page, 200, c.undo);
                SetDlgItemTextA(page, 203, c.width);
                SetDlgItemTextA(page, 205, c.bitmaps);
                PressOk(sheet);
            },
            [](HWND sheet) { PressCancel(sheet); },
        }));
        EXPECT_EQ(Box16Options(nullptr, "", options.get(), BOX16_OPT_GENERAL), 0) << c.undo;
        EXPECT_EQ(Alerts(), (std::vector<std::string>{eAlertTextOK[c.message]})) << c.undo << " " << c.bitmaps;
        g_MonitorWidth = savedWidth;
    }
}

TEST_F(PropertySheetTest, ChangedObjectSizeIsNoticedWhenThePageIsLeftEvenIfSetBack)
{
    auto options = DefaultOptions();
    options->objectSize = 0x40000;
    DialogDriver driver(Steps({
        [](HWND sheet) {
            HWND page = Page(sheet);
            ChooseComboItem(page, 181, 3);
            ChooseComboItem(page, 181, 1);
            PressOk(sheet);
        },
    }));
    EXPECT_EQ(Box16Options(nullptr, "", options.get(), BOX16_OPT_GENERAL), 0); // nothing changed in the end
    EXPECT_EQ(Alerts(), (std::vector<std::string>{eAlertTextOK[140]}));
    EXPECT_EQ(options->objectSize, 0x40000u);
}

TEST_F(PropertySheetTest, FileModeDefaultsAndKeyRemovalReachTheRecordOnOk)
{
    auto options = DefaultOptions();
    options->fileModeLoad = options->fileModeSave = options->fileModeNew = 0;
    options->fileModeLoadTemplate = options->fileModeSaveTemplate = 0;
    int firstAssigned = -1;
    for (int i = 0; i < KEYBOARD_KEYS && firstAssigned < 0; ++i)
        if (options->keyboard[i] >= 0)
            firstAssigned = i;
    ASSERT_GE(firstAssigned, 0);
    int rowsBefore = 0, rowsAfter = 0;
    DialogDriver driver(Steps({
        [](HWND sheet) {
            Click(Page(sheet), 550);
            PropSheet_SetCurSel(sheet, nullptr, BOX16_OPT_KEYBOARD);
        },
        [&](HWND sheet) {
            HWND page = Page(sheet);
            rowsBefore = static_cast<int>(SendDlgItemMessageA(page, 170, LB_GETCOUNT, 0, 0));
            SendDlgItemMessageA(page, 170, LB_SETCURSEL, 0, 0);
            Click(page, 13);
            rowsAfter = static_cast<int>(SendDlgItemMessageA(page, 170, LB_GETCOUNT, 0, 0));
            PressOk(sheet);
        },
    }));
    ASSERT_EQ(Box16Options(nullptr, "", options.get(), BOX16_OPT_FILEOPTIONS), 1);
    EXPECT_EQ(options->fileModeLoad, 0x40FFFFFFu);
    EXPECT_EQ(options->fileModeSave, 0x40FFFFFFu);
    EXPECT_EQ(options->fileModeNew, 0x40FFFFFFu);
    EXPECT_EQ(options->fileModeLoadTemplate, 0x40CFFFFFu);
    EXPECT_EQ(options->fileModeSaveTemplate, 0x40CFFFFFu);
    EXPECT_EQ(options->keyboard[firstAssigned], -1);
    EXPECT_EQ(rowsAfter, rowsBefore - 1);
}

// The chooser's own panel inside the common file dialog.
HWND ChooserPanel(HWND common)
{
    for (HWND child = FindWindowExA(common, nullptr, "#32770", nullptr); child;
         child = FindWindowExA(common, child, "#32770", nullptr))
        if (GetDlgItem(child, 553))
            return child;
    return nullptr;
}

// The drawings' button of the paths page: its menu's second entry chooses
// folder 1 in the file chooser's folder mode, which starts in folder 0
// while folder 1 is empty and answers the folder taken, with a trailing
// backslash.
TEST_F(PropertySheetTest, APathsMenuEntryChoosesItsFolderInTheChooser)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "paths-page\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    auto options = DefaultOptions();
    snprintf(options->fileDialogs[FD_ZVD].folders[0], SYSTEM_PATH_SIZE, "%s", folder.c_str());
    bool chooserOpen = false;
    DialogDriver driver(Steps({
        [](HWND sheet) { TestClickButton(Page(sheet), 751); },
        [](HWND sheet) {
            // The menu's own loop takes these keys: the second entry.
            PostMessageA(Page(sheet), WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(Page(sheet), WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(Page(sheet), WM_KEYDOWN, VK_RETURN, 0);
        },
        [&](HWND common) {
            HWND panel = ChooserPanel(common);
            chooserOpen = panel != nullptr;
            if (panel)
                TestClickButton(panel, 553);
        },
        [](HWND sheet) { PressOk(sheet); },
    }));
    EXPECT_EQ(Box16Options(nullptr, "", options.get(), BOX16_OPT_PATHS), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_TRUE(chooserOpen);
    EXPECT_EQ(lstrcmpiA(options->fileDialogs[FD_ZVD].folders[1], folder.c_str()), 0)
        << options->fileDialogs[FD_ZVD].folders[1];
    RemoveDirectoryA(folder.c_str());
}

TEST_F(PropertySheetTest, ArrangementIconButtonsActAsRadiosAndReachTheRecordOnOk)
{
    auto options = DefaultOptions();
    options->windowArrangement = 5;
    std::vector<int> ownerDrawn;
    DialogDriver driver(Steps({
        [&](HWND sheet) {
            HWND page = Page(sheet);
            for (int id = 800; id <= 807; ++id)
                if ((GetWindowLongA(GetDlgItem(page, id), GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW)
                    ownerDrawn.push_back(id);
            Click(page, 806);
            Click(page, 803);
            PressOk(sheet);
        },
    }));
    ASSERT_EQ(Box16Options(nullptr, "", options.get(), BOX16_OPT_WINDOWS), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(ownerDrawn, (std::vector<int>{800, 801, 802, 803, 804, 805, 806, 807}));
    EXPECT_EQ(options->windowArrangement, 3);
}

TEST_F(PropertySheetTest, OkWithoutChangeAndCancelLeaveTheOptionsUntouched)
{
    for (bool ok : {true, false}) {
        auto options = DefaultOptions();
        const auto before = *options;
        DialogDriver driver(Steps({
            [&](HWND sheet) {
                CheckDlgButton(Page(sheet), 250, BST_UNCHECKED);
                if (!ok)
                    Click(Page(sheet), 250); // a change that Cancel discards
                ok ? PressOk(sheet) : PressCancel(sheet);
            },
        }));
        EXPECT_EQ(Box16Options(nullptr, "", options.get(), BOX16_OPT_BLOCKLIST), 0);
        EXPECT_EQ(memcmp(&before, options.get(), sizeof before), 0);
    }
}

TEST_F(PropertySheetTest, KeyListShowsAssignedKeysAndWritesThemAsText)
{
    int32_t keys[KEYBOARD_KEYS];
    for (int32_t &k : keys)
        k = -1;
    char dir[MAX_PATH], file[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, "key", 0, file);
    ASSERT_EQ(Box16KeyListWrite(nullptr, file, keys), 1);
    HANDLE h = CreateFileA(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(h, nullptr), 0u);
    CloseHandle(h);

    keys[10] = 501;                   // A
    keys[KEYBOARD_KEYS / 2 + 36] = 501; // Shift + the first special key
    HWND list = CreateWindowA("LISTBOX", "", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    Box16KeyListFill(list, keys);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    char row[512];
    SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(row));
    EXPECT_EQ(std::string(row).substr(0, 2), "A\t");
    SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(row));
    EXPECT_EQ(std::string(row).substr(0, 1 + strlen(eUniTexts[41]) + 1), std::string("+") + eUniTexts[41] + "\t");
    DestroyWindow(list);
    DeleteFileA(file);

    EXPECT_EQ(Box16KeyListWrite(nullptr, "Z:\\no such folder\\keys.txt", keys), 0);
    EXPECT_EQ(Alerts().size(), 1u);
}

// --- Settings ------------------------------------------------------------------

std::unique_ptr<DrawingSettings> DefaultSettings()
{
    auto settings = std::make_unique<DrawingSettings>();
    SystemInitDrawingSettings(settings.get());
    return settings;
}

TEST_F(PropertySheetTest, SettingsPageMaskChoosesThePagesAndAStartBeyondThemOpensTheFirst)
{
    auto settings = DefaultSettings();
    int pages = 0, current = -1;
    bool outputShown = false;
    DialogDriver driver(Steps({
        [&](HWND sheet) {
            pages = TabCtrl_GetItemCount(PropSheet_GetTabControl(sheet));
            outputShown = GetDlgItem(Page(sheet), 653) != nullptr;
            PressCancel(sheet);
        },
    }));
    EXPECT_EQ(Box16Settings(nullptr, "", settings.get(), BOX16_SET_OUTPUT, 0), 0);
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(outputShown);

    DialogDriver driver2(Steps({
        [&](HWND sheet) {
            pages = TabCtrl_GetItemCount(PropSheet_GetTabControl(sheet));
            current = TabCtrl_GetCurSel(PropSheet_GetTabControl(sheet));
            PressCancel(sheet);
        },
    }));
    EXPECT_EQ(Box16Settings(nullptr, "", settings.get(), BOX16_SET_SCREEN | BOX16_SET_OUTPUT, 3), 0);
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(current, 0);
}

TEST_F(PropertySheetTest, AccuracyBelowTheMinimumIsRefusedAndAThousandAccepted)
{
    auto settings = DefaultSettings();
    DialogDriver driver(Steps({
        [](HWND sheet) {
            SetDlgItemTextA(Page(sheet), 200, "0.0005");
            PressOk(sheet);
        },
        [](HWND sheet) {
            SetDlgItemTextA(Page(sheet), 200, "1000");
            Click(Page(sheet), 555); // preset 0.5 into the second field
            PressOk(sheet);
        },
    }));
    ASSERT_EQ(Box16Settings(nullptr, "", settings.get(), BOX16_SET_ACCURACY, 0), 1);
    EXPECT_EQ(Alerts(), (std::vector<std::string>{eAlertTextOK[31]}));
    EXPECT_EQ(settings->displayQuality[0], 1000.0);
    EXPECT_EQ(settings->displayQuality[1], 0.5);
}

TEST_F(PropertySheetTest, ColourDefaultsRestoreAllEighteenButtons)
{
    auto settings = DefaultSettings();
    settings->colorCross[0] = settings->colorCross[1] = 1;
    settings->colorLayers = settings->colorPopup[0] = 5;
    DialogDriver driver(Steps({
        [](HWND sheet) {
            Click(Page(sheet), 550);
            PressOk(sheet);
        },
    }));
    ASSERT_EQ(Box16Settings(nullptr, "", settings.get(), BOX16_SET_ALL, 3), 1);
    auto expected = DefaultSettings();
    Box16SettingsDefaultColors(expected.get());
    EXPECT_EQ(memcmp(expected.get(), settings.get(), sizeof(DrawingSettings)), 0);
    EXPECT_EQ(settings->colorCross[0], 24);
    EXPECT_EQ(settings->colorCross[1], 8);
    EXPECT_EQ(settings->colorPopup[0], 26);
}

TEST_F(PropertySheetTest, ScreenSwitchesAndThresholdAreCheckedAndKeptAcrossPages)
{
    auto settings = DefaultSettings();
    settings->displayDecimal = 0;
    DialogDriver driver(Steps({
        [](HWND sheet) {
            HWND page = Page(sheet);
            SetDlgItemTextA(page, 200, "150");
            CheckRadioButton(page, 300, 301, 300);
            Click(page, 300);
            PressOk(sheet);
        },
        [](HWND sheet) {
            SetDlgItemTextA(Page(sheet), 200, "20");
            PropSheet_SetCurSel(sheet, nullptr, 2);
        },
        [](HWND sheet) {
            PropSheet_SetCurSel(sheet, nullptr, 0);
        },
        [](HWND sheet) { PressOk(sheet); },
    }));
    ASSERT_EQ(Box16Settings(nullptr, "", settings.get(), BOX16_SET_ALL, 0), 1);
    EXPECT_EQ(Alerts(), (std::vector<std::string>{eAlertTextOK[90]}));
    EXPECT_EQ(settings->displayThreshold, 20);
    EXPECT_EQ(settings->displayDecimal, 1u);
}

} // namespace

namespace {

TEST_F(PropertySheetTest, OutputPenButtonsEditTheirPropertyOnlyAfterItsOk)
{
    auto settings = DefaultSettings();
    settings->outputGrid.property.width = 0.25;
    settings->outputMark.property.width = 0.25;
    DialogDriver driver(Steps({
        [](HWND sheet) { PostMessageA(Page(sheet), WM_COMMAND, MAKEWPARAM(551, BN_CLICKED), 0); },
        [](HWND sheet) {
            SetDlgItemTextA(Page(sheet), 200, "0.7");
            PropSheet_PressButton(sheet, PSBTN_OK); // the property sheet
        },
        [](HWND sheet) { PostMessageA(Page(sheet), WM_COMMAND, MAKEWPARAM(552, BN_CLICKED), 0); },
        [](HWND sheet) {
            SetDlgItemTextA(Page(sheet), 200, "0.9");
            PropSheet_PressButton(sheet, PSBTN_CANCEL);
        },
        [](HWND sheet) { PressOk(sheet); },
    }));
    ASSERT_EQ(Box16Settings(nullptr, "", settings.get(), BOX16_SET_OUTPUT, 0), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_DOUBLE_EQ(settings->outputGrid.property.width, 0.7);
    EXPECT_DOUBLE_EQ(settings->outputMark.property.width, 0.25);
}

} // namespace

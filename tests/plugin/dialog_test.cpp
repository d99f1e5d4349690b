// Dialog services: the popup registry, records copied back only after OK,
// and the progress dialogs' modal depth.
#include "plugin_fixture.h"

#include <commctrl.h>

#include <cstring>

#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/window.h"
#include "common/dialog_driver.h"
#include "dialogs/box01.h"
#include "files/file_records.h"

namespace {

class Dialogs : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        // The dialogs come from the language module's templates.
        savedModule_ = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
        ASSERT_NE(g_LanguageModule, nullptr);
        InitReadScreenSize();
        g_ActiveWindow = 0;
        WindowResetUnits(&g_DrawWindows[0]);
        WindowSelectCurrent();
        saved_ = g_PopupWindows;
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        plain_ = CreateWindowExA(0, "STATIC", "child-like", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(owner_);
        DestroyWindow(plain_);
        g_PopupWindows = saved_;
        g_LanguageModule = savedModule_;
        PluginTest::TearDown();
    }
    PopupRegistry saved_{};
    HMODULE savedModule_ = nullptr;
    HWND owner_ = nullptr, plain_ = nullptr;
};

TEST_F(Dialogs, ThePopupRegistry)
{
    EXPECT_EQ(ZVI_DialogHelpMessage(), 83);
    g_PopupWindows = {};
    g_PopupWindows.count = WINDOW_OWN_POPUPS;
    g_PopupWindows.windows[5] = owner_; // as if it were the toolbox
    EXPECT_EQ(ZVI_DialogPopupUnregister(owner_), 0);
    EXPECT_EQ(TakeReason(), "Unable to unregister any popup window!");
    EXPECT_EQ(ZVI_DialogPopupRegister(plain_), 0);
    EXPECT_EQ(TakeReason(), "Window is not a popup window!");
    EXPECT_EQ(ZVI_DialogPopupRegister(nullptr), 0);
    EXPECT_EQ(TakeReason(), "Window handle invalid!");
    HWND popup = CreateWindowExA(0, "STATIC", "popup", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(ZVI_DialogPopupRegister(popup), 1);
    EXPECT_EQ(ZVI_DialogPopupRegister(popup), 0);
    EXPECT_EQ(TakeReason(), "Window already registered!");
    // The program's own tool windows are not the interface's to remove.
    EXPECT_EQ(ZVI_DialogPopupUnregister(owner_), 0);
    EXPECT_EQ(TakeReason(), "Window is not registered!");
    EXPECT_EQ(ZVI_DialogPopupUnregister(popup), 1);
    EXPECT_EQ(g_PopupWindows.count, WINDOW_OWN_POPUPS);
    // A window destroyed while registered loses its slot at the next call.
    EXPECT_EQ(ZVI_DialogPopupRegister(popup), 1);
    DestroyWindow(popup);
    HWND next = CreateWindowExA(0, "STATIC", "next", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(ZVI_DialogPopupRegister(next), 1);
    EXPECT_EQ(g_PopupWindows.count, WINDOW_OWN_POPUPS + 1);
    DestroyWindow(next);
}

TEST_F(Dialogs, CancelledPropertiesStayAsTheyWere)
{
    XProperty property = XPropertyDefault();
    property.pen = 3;
    property.width = 0.7;
    const XProperty before = property;
    {
        DialogDriver driver({[](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_CANCEL); }});
        EXPECT_EQ(ZVI_DialogXProperty(owner_, "Property", &property), 0);
    }
    EXPECT_EQ(std::memcmp(&property, &before, sizeof property), 0);
}

TEST_F(Dialogs, TheSelectionFilterKeepsTheProgramsFilterOnCancel)
{
    const SelectionFilter before = g_CommandDefaults.filter;
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDCANCEL); }});
        ZVI_DialogSelection(owner_, "Filter");
    }
    EXPECT_EQ(std::memcmp(&g_CommandDefaults.filter, &before, sizeof before), 0);
    ZVI_DialogSelection(nullptr, "Filter");
    EXPECT_EQ(TakeReason(), "Window handle invalid!");
}

TEST_F(Dialogs, TheLineEndDialogGivesTheWordsBackOnlyOnOk)
{
    const int32_t before[4] = {1, 0, 4, 1};
    int32_t words[4];
    std::memcpy(words, before, sizeof words);
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDOK); }});
        EXPECT_EQ(ZVI_DialogDimLine(owner_, "Line ends", words, 0), 1);
    }
    EXPECT_EQ(std::memcmp(words, before, sizeof words), 0) << "unchanged by the dialog itself";
    EXPECT_EQ(ZVI_DialogDimLine(owner_, "Line ends", GuardedBuffer(12), 0), 0);
    EXPECT_EQ(TakeReason(), "Data address invalid!");
}

TEST_F(Dialogs, TheTextDialogGivesTheMatrixBack)
{
    uint8_t text[ZVI_SIZE_TEXTSTANDARD];
    ZVI_InitTextStandard(text, nullptr);
    Matrix &m = reinterpret_cast<TextStandardData *>(text)->matrix;
    m = {3, 1, -1, 3, 10, 20}; // turned, scaled and moved
    const Matrix original = m;
    char edit[64] = "two words";
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDOK); }});
        EXPECT_NE(ZVI_DialogTextStandard(owner_, "Text", text, nullptr, edit), 0);
    }
    const double *a = &original.a, *b = &m.a;
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(a[i], b[i], 1e-9) << i;
    EXPECT_STREQ(edit, "two words");
}

TEST_F(Dialogs, TheDimensionDialogsGiveTheirRecordsBackOnlyOnOk)
{
    DimLargeRecord large;
    ZVI_InitDimLarge(&large, 0);
    large.common.values[0] = 2.5;
    large.common.property.pen = 4;
    large.arrows[1] = 3;
    large.distance420 = 1.5;
    const DimLargeRecord before = large;
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDCANCEL); }});
        EXPECT_EQ(ZVI_DialogDimLarge(owner_, "Large", &large, 0, 0), 0);
    }
    EXPECT_EQ(std::memcmp(&large, &before, sizeof large), 0);
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDOK); }});
        EXPECT_EQ(ZVI_DialogDimLarge(owner_, "Large", &large, 0, 0), 1);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_EQ(std::memcmp(&large, &before, sizeof large), 0) << "every field survives the round trip";

    // With the drawing's settings: the drawing's parameters stand in the
    // record and come back into both; the record's own XProperty stays.
    DimSmallRecord small;
    ZVI_InitDimSmall(&small, 0);
    small.common.values[0] = 2.5;
    small.common.property.layer = 9;
    const double drawingHeight = g_DrawingSettings.dimValues[0] = 6.0;
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDOK); }});
        EXPECT_EQ(ZVI_DialogDimSmall(owner_, "Small", &small, 1, 0), 1);
    }
    EXPECT_DOUBLE_EQ(small.common.values[0], drawingHeight);
    EXPECT_EQ(small.common.property.layer, 9);
    EXPECT_DOUBLE_EQ(g_DrawingSettings.dimValues[0], drawingHeight);

    EXPECT_EQ(ZVI_DialogDimSmall(owner_, "Small", GuardedBuffer(ZVI_SIZE_DIMSMALL - 8), 0, 0), 0);
    EXPECT_EQ(TakeReason(), "Data address invalid!");
    EXPECT_EQ(ZVI_DialogDimLarge(nullptr, "Large", &large, 0, 0), 0);
    EXPECT_EQ(TakeReason(), "Window handle invalid!");
}

TEST_F(Dialogs, TheFramedTextDialogAndTheBlockChoice)
{
    TextFrameData frame;
    ZVI_InitTextFrame(&frame);
    frame.height = 4.0;
    frame.alignment = 2;
    const TextFrameData before = frame;
    char text[32] = "framed";
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDCANCEL); }});
        EXPECT_EQ(ZVI_DialogTextFrame(owner_, "Frame", &frame, text), 0);
    }
    EXPECT_EQ(std::memcmp(&frame, &before, sizeof frame), 0);
    {
        DialogDriver driver({[](HWND d) { TestClickButton(d, IDOK); }});
        EXPECT_NE(ZVI_DialogTextFrame(owner_, "Frame", &frame, text), 0);
    }
    EXPECT_DOUBLE_EQ(frame.height, 4.0);
    EXPECT_EQ(frame.alignment, 2);
    EXPECT_STREQ(text, "framed");
    EXPECT_EQ(ZVI_DialogTextFrame(owner_, "Frame", GuardedBuffer(100), nullptr), 0);
    EXPECT_EQ(TakeReason(), "Data address invalid!");

    char block[64] = "Bolt", library[64] = "*";
    {
        DialogDriver driver({[](HWND d) {
            SetDlgItemTextA(d, 200, "Nut");
            TestClickButton(d, IDCANCEL);
        }});
        EXPECT_EQ(ZVI_DialogBlock(owner_, "Block", block, library, 1), 0);
    }
    EXPECT_STREQ(block, "Bolt");
    {
        DialogDriver driver({[](HWND d) {
            SetDlgItemTextA(d, 200, "Nut");
            TestClickButton(d, IDOK);
        }});
        EXPECT_EQ(ZVI_DialogBlock(owner_, "Block", block, library, 1), 1);
    }
    EXPECT_STREQ(block, "Nut");
    EXPECT_STREQ(library, "*");
    EXPECT_EQ(ZVI_DialogBlock(owner_, "Block", reinterpret_cast<char *>(GuardedBuffer(32)), library, 1), 0);
    EXPECT_EQ(TakeReason(), "BlockName address invalid!");
}

TEST_F(Dialogs, HidingAMasterProgressThatIsNotShownKeepsTheModalDepth)
{
    const uint32_t depth = g_ModalDepth;
    ZVI_DialogHideMasterProgress();
    EXPECT_EQ(g_ModalDepth, depth);
    EXPECT_EQ(ZVI_DialogShowProgress(nullptr, "x", 0), 0);
    EXPECT_EQ(TakeReason(), "Title address invalid!");
}

} // namespace

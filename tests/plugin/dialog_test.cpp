// Dialog services: the popup registry, records copied back only after OK,
// and the progress dialogs' modal depth.
#include "plugin_fixture.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/window.h"
#include "common/dialog_driver.h"
#include "dialogs/box01.h"
#include "dialogs/box08_editterm.h"
#include "display/screen.h"
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

// --- popups -----------------------------------------------------------------

TEST_F(Dialogs, OverAPopupTheCrosshairGoesAndTheKeyboardReturnsToTheCoordinateEntry)
{
    HWND popup = CreateWindowExA(0, "STATIC", "popup", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    g_CursorPos.shown = 1;
    ZVI_DialogPopupSetCursor(popup, 0, HTCLIENT);
    EXPECT_EQ(g_CursorPos.shown, 0) << "the crosshair is taken away first";
    ZVI_DialogPopupSetCursor(popup, 0, HTCLIENT);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
    ZVI_DialogPopupSetCursor(plain_, 0, HTCLIENT);
    EXPECT_EQ(TakeReason(), "Window is not a popup window!");

    HWND entry = CreateWindowExA(0, "EDIT", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 20, nullptr, nullptr, nullptr,
                                 nullptr);
    const HWND savedEntry = g_CoordEntryWnd;
    g_CoordEntryWnd = entry;
    ZVI_DialogPopupMove(popup);
    EXPECT_EQ(GetFocus(), entry);
    g_CoordEntryWnd = savedEntry;
    ZVI_DialogPopupMove(nullptr);
    EXPECT_EQ(TakeReason(), "Window handle invalid!");
    DestroyWindow(entry);
    DestroyWindow(popup);
}

// --- painters -------------------------------------------------------------

// A 40 x 40 button drawn into a bitmap by a painter; its pixels.
struct PaintedButton {
    std::vector<COLORREF> pixels;
    template <typename Paint>
    explicit PaintedButton(UINT state, Paint paint)
    {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, SIDE, SIDE);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        PatBlt(dc, 0, 0, SIDE, SIDE, WHITENESS);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hDC = dc;
        item.rcItem = {0, 0, SIDE, SIDE};
        paint(&item);
        for (int y = 0; y < SIDE; ++y)
            for (int x = 0; x < SIDE; ++x)
                pixels.push_back(GetPixel(dc, x, y));
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    bool Blank() const
    {
        for (COLORREF c : pixels)
            if (c != RGB(255, 255, 255))
                return false;
        return true;
    }
    static constexpr int SIDE = 40;
};

TEST_F(Dialogs, ThePaintersDrawTheirButtonsAndADisabledIconButtonLooksGreyed)
{
    const HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512)); // IDI_APPLICATION
    auto iconButton = [&](UINT state) {
        return PaintedButton(state, [&](DRAWITEMSTRUCT *item) { ZVI_DialogCustomButtonIcon(item, icon, 0); });
    };
    const PaintedButton enabled = iconButton(0), disabled = iconButton(ODS_DISABLED),
                        held = PaintedButton(0, [&](DRAWITEMSTRUCT *item) { ZVI_DialogCustomButtonIcon(item, icon, 1); });
    EXPECT_FALSE(enabled.Blank());
    EXPECT_NE(enabled.pixels, disabled.pixels) << "the disabled look differs";
    EXPECT_NE(enabled.pixels, held.pixels) << "and so does the pressed one";

    const std::vector<std::pair<const char *, PaintedButton>> painted = {
        {"colour", PaintedButton(0, [](DRAWITEMSTRUCT *i) { ZVI_DialogCustomButtonColor(i, RGB(255, 0, 0), 0); })},
        {"text", PaintedButton(0, [](DRAWITEMSTRUCT *i) { ZVI_DialogCustomButtonText(i, "Abc", 0); })},
        {"pen", PaintedButton(0, [](DRAWITEMSTRUCT *i) { ZVI_DialogCustomButtonPen(i, 1, "Pen", 0); })},
        {"layer", PaintedButton(0, [](DRAWITEMSTRUCT *i) { ZVI_DialogCustomButtonLayer(i, 1, "Layer", 0); })},
        {"list colour", PaintedButton(0, [](DRAWITEMSTRUCT *i) {
             i->CtlType = ODT_LISTBOX;
             ZVI_DialogCustomListboxColor(i, RGB(0, 0, 255), "Blue");
         })},
    };
    for (const auto &p : painted)
        EXPECT_FALSE(p.second.Blank()) << p.first;
    EXPECT_TRUE(Messages().empty());

    ZVI_DialogCustomButtonIcon(nullptr, icon, 0);
    EXPECT_EQ(TakeReason(), "DrawItem address invalid!");
    const PaintedButton refused(0, [](DRAWITEMSTRUCT *i) { ZVI_DialogCustomButtonText(i, nullptr, 0); });
    EXPECT_TRUE(refused.Blank());
    EXPECT_EQ(TakeReason(), "Text address invalid!");
}

TEST_F(Dialogs, TheLineEndDialogEnablesOnlyTheGroupsOfItsMode)
{
    int32_t words[4] = {1, 2, 1, 2};
    for (int mode : {0xFFFFFF, 0}) {
        bool enabled = false;
        DialogDriver driver({[&](HWND d) {
            enabled = IsWindowEnabled(GetDlgItem(d, 180)) != 0;
            TestClickButton(d, IDCANCEL);
        }});
        ZVI_DialogDimLine(owner_, "Line ends", words, mode);
        EXPECT_EQ(enabled, mode != 0) << mode;
    }
}

// --- progress ---------------------------------------------------------------

TEST_F(Dialogs, ProgressDialogsNestAndCloseAndRefuseBadTexts)
{
    const uint32_t depth = g_ModalDepth;
    ASSERT_EQ(ZVI_DialogShowProgress("Working", "step", 1), 1);
    ZVI_DialogUpdateProgress("first", nullptr, 10, 100);
    ZVI_DialogUpdateProgress(reinterpret_cast<const char *>(1), nullptr, 20, 100);
    EXPECT_EQ(TakeReason(), "Text1 address invalid!");
    EXPECT_EQ(ZVI_DialogIsCancelled(), 0);
    ZVI_DialogHideProgress();

    ASSERT_NE(ZVI_DialogShowMasterProgress("All"), 0);
    ASSERT_EQ(ZVI_DialogShowProgress("Inner", "one", 1), 1);
    ZVI_DialogUpdateMasterProgress("outer", "inner", 1, 2);
    ZVI_DialogUpdateMasterProgress(nullptr, reinterpret_cast<const char *>(1), 1, 2);
    EXPECT_EQ(TakeReason(), "Text2 address invalid!");
    EXPECT_EQ(ZVI_DialogMasterIsCancelled(), 0);
    ZVI_DialogHideProgress();
    ZVI_DialogHideMasterProgress();
    EXPECT_EQ(g_ModalDepth, depth) << "closed whatever its nesting";
    EXPECT_EQ(ZVI_DialogShowMasterProgress(nullptr), 0);
    EXPECT_EQ(TakeReason(), "Title address invalid!");
}

// --- definition popups -------------------------------------------------

// What the open popup menu offered: its item ids and the ticked one.
struct OfferedMenu {
    std::vector<UINT> ids;
    UINT ticked = 0;
};
OfferedMenu g_Offered;

void CALLBACK ReadAndCloseMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND window = FindWindowA("#32768", nullptr);
    if (!window)
        return;
    KillTimer(nullptr, timer);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, 0x01E1 /* MN_GETHMENU */, 0, 0));
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (id == UINT(-1) || id == 0)
            continue;
        g_Offered.ids.push_back(id);
        if (GetMenuState(menu, UINT(i), MF_BYPOSITION) & MF_CHECKED)
            g_Offered.ticked = id;
    }
    EndMenu();
}

TEST_F(Dialogs, ThePenPopupNumbersItsItemsAndTicksTheCurrentPen)
{
    const std::vector<PenDef> saved(g_PenDefs, g_PenDefs + PEN_SLOTS);
    for (int i = 0; i < PEN_SLOTS; ++i)
        g_PenDefs[i].name[0] = 0;
    std::strcpy(g_PenDefs[0].name, "Standard");
    std::strcpy(g_PenDefs[2].name, "Thick");
    g_Offered = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadAndCloseMenu);
    const RECT button = {10, 10, 60, 30};
    ZVI_DialogSelectPen(owner_, &button, 2, 5000, 4990, 4999);
    KillTimer(nullptr, timer);
    std::copy(saved.begin(), saved.end(), g_PenDefs);
    EXPECT_EQ(g_Offered.ticked, 5002u);
    for (UINT id : {4990u, 5000u, 5002u, 4999u})
        EXPECT_NE(std::find(g_Offered.ids.begin(), g_Offered.ids.end(), id), g_Offered.ids.end()) << id;
    EXPECT_EQ(std::find(g_Offered.ids.begin(), g_Offered.ids.end(), 5001u), g_Offered.ids.end()) << "an empty slot";
    ZVI_DialogSelectPen(owner_, reinterpret_cast<const RECT *>(1), 0, 5000, 0, 0);
    EXPECT_EQ(TakeReason(), "ButtonRect address invalid!");
}

} // namespace

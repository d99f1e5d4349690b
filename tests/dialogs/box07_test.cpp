// The font and text dialogs and the character-library dialog, driven for
// real from the language module's templates.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "common/dialog_driver.h"
#include "common/test_support.h"
#include "database/object_attributes.h"
#include "database/symbol_charlib.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box07.h"
#include "dialogs/box11.h"
#include "display/symbol.h"
#include "language/language.h"

namespace {

constexpr int ID_FACE = 180, ID_STYLE = 181, ID_UNDERLINE = 250, ID_TEXT = 200, ID_RATIO = 204, ID_LIST = 170;
constexpr int ID_REMOVE = 551;

std::vector<std::string> g_Alerts;
uint32_t RecordAlert(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    g_Alerts.push_back(text ? text : "");
    return code1;
}

FontDef Font(uint32_t kind, const char *face, uint32_t weight = 400, uint32_t style = 0)
{
    FontDef f{};
    f.kind = kind;
    f.style = style;
    f.weight = weight;
    lstrcpynA(f.face, face, FONT_FACE_SIZE);
    return f;
}

std::string SelectedText(HWND dialog, int id)
{
    const LRESULT at = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    if (at == CB_ERR)
        return "";
    char text[256] = "";
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, WPARAM(at), LPARAM(text));
    return text;
}

class TextDialogs : public testing::Test {
protected:
    void SetUp() override
    {
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = RecordAlert;
        savedModule_ = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
        ASSERT_NE(g_LanguageModule, nullptr);
        InitReadScreenSize();
        g_ActiveWindow = 0;
        WindowResetUnits(&g_DrawWindows[0]);
        WindowSelectCurrent();
        SymbolInitCharLibraries();
        std::strcpy(g_CharLibrarySlots.slots[0].info.title, "Mono");
        g_CharLibrarySlots.count = 1;
        g_Alerts.clear();
    }
    void TearDown() override
    {
        SymbolInitCharLibraries();
        g_AlertAnswerHook = savedHook_;
        g_LanguageModule = savedModule_;
    }
    AlertAnswerHook savedHook_ = nullptr;
    HMODULE savedModule_ = nullptr;
};

TEST_F(TextDialogs, ALibraryFaceDisablesStylesAndUnderlineAndStoresKindZero)
{
    FontDef f = Font(FONT_KIND_TRUETYPE, "Mono", 700, 0x1);
    bool styleEnabled = true, underlineEnabled = true;
    std::string face;
    DialogDriver driver({[&](HWND d) {
        styleEnabled = IsWindowEnabled(GetDlgItem(d, ID_STYLE)) != 0;
        underlineEnabled = IsWindowEnabled(GetDlgItem(d, ID_UNDERLINE)) != 0;
        face = SelectedText(d, ID_FACE);
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box07FontDef(nullptr, "Font", &f), 1u);
    EXPECT_EQ(face, "Mono");
    EXPECT_FALSE(styleEnabled);
    EXPECT_FALSE(underlineEnabled);
    EXPECT_EQ(f.kind, FONT_KIND_LIBRARY);
    EXPECT_EQ(f.weight, 700u) << "weight and style bits stay";
    EXPECT_EQ(f.style, 0x1u);
}

TEST_F(TextDialogs, AWindowsFamilyTakesTheChosenStyleAndTheFaceIsFoundByItsExactName)
{
    FontDef f = Font(FONT_KIND_TRUETYPE, "Liberation Sans", 400, 0);
    std::string face, style;
    bool styleEnabled = false;
    DialogDriver driver({[&](HWND d) {
        face = SelectedText(d, ID_FACE);
        style = SelectedText(d, ID_STYLE);
        styleEnabled = IsWindowEnabled(GetDlgItem(d, ID_STYLE)) != 0;
        CheckDlgButton(d, ID_UNDERLINE, BST_CHECKED);
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box07FontDef(nullptr, "Font", &f), 1u);
    EXPECT_EQ(face, "Liberation Sans");
    EXPECT_TRUE(styleEnabled);
    EXPECT_FALSE(style.empty());
    EXPECT_EQ(f.kind, FONT_KIND_TRUETYPE);
    EXPECT_EQ(f.weight, 400u);
    EXPECT_EQ(f.style & 0x2u, 0x2u) << "the underline box";

    // "Liberation" is only the beginning of installed names: not found, the
    // first entry (the character library) is taken.
    FontDef prefix = Font(FONT_KIND_TRUETYPE, "Liberation");
    DialogDriver second({[&](HWND d) {
        face = SelectedText(d, ID_FACE);
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box07FontDef(nullptr, "Font", &prefix), 1u);
    EXPECT_EQ(face, "Mono");
    EXPECT_STREQ(prefix.face, "Mono");
    EXPECT_EQ(prefix.kind, FONT_KIND_LIBRARY);
}

ObjectAttributes StandardText()
{
    ObjectAttributes a{};
    ObjectAttributesInit(&a);
    a.present[ATTR_STD_TEXT] = 1;
    a.stdText.font = Font(FONT_KIND_TRUETYPE, "No Such Face");
    a.stdText.height = 5.0;
    a.stdText.ratio = 1.0;
    a.stdText.tabUnit = 4.0;
    a.stdText.lineSpacing = 1.0;
    return a;
}

TEST_F(TextDialogs, AWidthFactorOfZeroIsRefusedAndAMirroringOneAccepted)
{
    ObjectAttributes a = StandardText();
    std::vector<char> text(TEXT_BUFFER_SIZE, 0);
    std::strcpy(text.data(), "Hello");
    bool stayedOpen = false;
    std::string face;
    DialogDriver driver({
        [&](HWND d) {
            face = SelectedText(d, ID_FACE);
            SetDlgItemTextA(d, ID_RATIO, "0");
            TestClickButton(d, IDOK);
        },
        [&](HWND d) {
            stayedOpen = true;
            SetDlgItemTextA(d, ID_RATIO, "-1");
            TestClickButton(d, IDOK);
        },
    });
    ASSERT_EQ(Box07TextStandard(nullptr, "Text", &a, text.data()), 1u);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(g_Alerts.size(), 1u);
    EXPECT_EQ(g_Alerts[0], eAlertTextOK[56]);
    EXPECT_DOUBLE_EQ(a.stdText.ratio, -1.0);
    EXPECT_EQ(face, "No Such Face") << "an unknown face is kept";
    EXPECT_STREQ(a.stdText.font.face, "No Such Face");
    EXPECT_STREQ(text.data(), "Hello");
}

std::string LongText()
{
    std::string s;
    for (int i = 0; s.size() < size_t(TEXT_MAX_LENGTH); ++i)
        s += (i % 3 == 0) ? '\xB6' : char('a' + i % 26);
    s.resize(TEXT_MAX_LENGTH);
    return s;
}

TEST_F(TextDialogs, AnUnchangedTextOf8000CharactersComesBackByteForByte)
{
    const std::string original = LongText();
    std::vector<char> text(TEXT_BUFFER_SIZE, 0);
    std::memcpy(text.data(), original.data(), original.size());
    int lines = 0;
    DialogDriver driver({[&](HWND d) {
        lines = int(SendDlgItemMessageA(d, ID_TEXT, EM_GETLINECOUNT, 0, 0));
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box07TextChange(nullptr, "Text", text.data()), 1u);
    EXPECT_EQ(std::string(text.data()), original);
    EXPECT_GT(lines, 2000);
    EXPECT_TRUE(g_Alerts.empty());
}

TEST_F(TextDialogs, ATextOfOnlyLineBreaksComesBackWhole)
{
    std::vector<char> text(TEXT_BUFFER_SIZE, 0);
    std::memset(text.data(), 0xB6, TEXT_MAX_LENGTH);
    const std::string original(text.data());
    DialogDriver driver({[&](HWND d) { TestClickButton(d, IDOK); }});
    ASSERT_EQ(Box07TextChange(nullptr, "Text", text.data()), 1u);
    EXPECT_EQ(std::string(text.data()), original);
}

TEST_F(TextDialogs, ATextTooLongIsWarnedAboutNotCut)
{
    std::vector<char> text(TEXT_BUFFER_SIZE, 0);
    std::strcpy(text.data(), "kept");
    std::string tooLong(size_t(TEXT_MAX_LENGTH) + 1, 'x');
    bool stayedOpen = false;
    DialogDriver driver({
        [&](HWND d) {
            SetDlgItemTextA(d, ID_TEXT, tooLong.c_str());
            TestClickButton(d, IDOK);
        },
        [&](HWND d) {
            stayedOpen = true;
            TestClickButton(d, IDCANCEL);
        },
    });
    EXPECT_EQ(Box07TextChange(nullptr, "Text", text.data()), 0u);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(g_Alerts.size(), 1u);
    EXPECT_EQ(g_Alerts[0], eAlertTextOK[144]);
    EXPECT_STREQ(text.data(), "kept");
}

TEST_F(TextDialogs, TheCharacterLibraryDialogListsTheLibrariesAndMarksThemForClosing)
{
    std::strcpy(g_CharLibrarySlots.slots[1].info.title, "Gothic");
    g_CharLibrarySlots.count = 2;
    const FontDef savedFont = g_DefaultFont;
    int rows = 0;
    std::string firstRowName;
    DialogDriver driver({[&](HWND d) {
        rows = int(SendDlgItemMessageA(d, ID_LIST, LB_GETCOUNT, 0, 0));
        const LRESULT slot = SendDlgItemMessageA(d, ID_LIST, LB_GETITEMDATA, 0, 0);
        firstRowName = g_CharLibrarySlots.slots[slot].info.title;
        SendDlgItemMessageA(d, ID_LIST, LB_SETCURSEL, 0, 0);
        SendMessageA(d, WM_COMMAND, ID_REMOVE, 0); // twice: as it was
        SendMessageA(d, WM_COMMAND, ID_REMOVE, 0);
        SendDlgItemMessageA(d, ID_LIST, LB_SETCURSEL, 1, 0);
        SendMessageA(d, WM_COMMAND, ID_REMOVE, 0);
        const LRESULT at = SendDlgItemMessageA(d, ID_FACE, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("Liberation Serif"));
        SendDlgItemMessageA(d, ID_FACE, CB_SETCURSEL, WPARAM(at), 0);
        SendMessageA(d, WM_COMMAND, 802, 0); // fill mode 2
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box11FontHandling(nullptr, "Fonts"), 1u);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(firstRowName, "Gothic") << "rows are sorted by name";
    EXPECT_EQ(g_CharLibrarySlots.slots[1].remove, 0u);
    EXPECT_EQ(g_CharLibrarySlots.slots[0].remove, 1u) << "Mono, the second row";
    EXPECT_STREQ(g_DefaultFont.face, "Liberation Serif");
    EXPECT_EQ(g_DefaultFont.kind, FONT_KIND_TRUETYPE);
    EXPECT_EQ(g_DefaultFont.weight, 400u);
    EXPECT_EQ(g_FontFillMode, 2);
    g_DefaultFont = savedFont;
    g_FontFillMode = 1;
}

TEST_F(TextDialogs, DetailsEditALoadedLibraryAndShowAnAddedOne)
{
    constexpr int ID_DETAILS = 552, ID_TITLE = 200, ID_DESCRIPTION = 201;
    g_CharLibrarySlots.slots[0].info = DrawingInfo{};
    std::strcpy(g_CharLibrarySlots.slots[0].info.title, "Mono");
    std::strcpy(g_CharLibrarySlots.slots[0].info.description, "old");
    std::strcpy(g_CharLibrarySlots.slots[1].info.title, "Added");
    std::strcpy(g_CharLibrarySlots.slots[1].path, "C:\\fonts\\added.zvl");
    g_CharLibrarySlots.slots[1].added = 1;
    g_CharLibrarySlots.count = 2;
    std::string editTitle, viewTitle, viewCaption;
    bool viewHasEdit = true;
    auto selectRow = [](HWND d, const char *title) {
        for (int row = 0; row < 2; ++row) {
            const LRESULT slot = SendDlgItemMessageA(d, ID_LIST, LB_GETITEMDATA, WPARAM(row), 0);
            if (std::strcmp(g_CharLibrarySlots.slots[slot].info.title, title) == 0)
                SendDlgItemMessageA(d, ID_LIST, LB_SETCURSEL, WPARAM(row), 0);
        }
    };
    DialogDriver driver({
        [&](HWND d) {
            selectRow(d, "Mono");
            TestClickButton(d, ID_DETAILS);
        },
        [&](HWND details) { // the loaded library: its information may be edited
            editTitle = TestItemText(details, ID_TITLE);
            SetDlgItemTextA(details, ID_DESCRIPTION, "new");
            TestClickButton(details, IDOK);
        },
        [&](HWND d) {
            selectRow(d, "Added");
            TestClickButton(d, ID_DETAILS);
        },
        [&](HWND view) { // the added one is only shown
            constexpr int ID_VIEW_TITLE = 352;
            viewTitle = TestItemText(view, ID_VIEW_TITLE);
            viewHasEdit = GetDlgItem(view, ID_TITLE) != nullptr;
            char caption[256] = "";
            GetWindowTextA(view, caption, sizeof caption);
            viewCaption = caption;
            TestClickButton(view, IDOK);
        },
        [&](HWND d) {
            const LRESULT at = SendDlgItemMessageA(d, ID_FACE, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("Mono"));
            SendDlgItemMessageA(d, ID_FACE, CB_SETCURSEL, WPARAM(at), 0);
            TestClickButton(d, IDOK);
        },
    });
    const FontDef savedFont = g_DefaultFont;
    EXPECT_EQ(Box11FontHandling(nullptr, "Fonts"), 1u);
    g_DefaultFont = savedFont;
    EXPECT_EQ(driver.stepsDone(), 5);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(editTitle, "Mono");
    EXPECT_EQ(viewTitle, "Added");
    EXPECT_EQ(viewCaption, eCaptionTexts[29]);
    EXPECT_FALSE(viewHasEdit) << "the added library's details are read-only";
    EXPECT_STREQ(g_CharLibrarySlots.slots[0].info.description, "new");
}

TEST_F(TextDialogs, SeveralObjectsDialogsMarkWhatTheUserTouches)
{
    ObjectAttributes a = StandardText();
    a.stdText.font = Font(FONT_KIND_LIBRARY, "Mono");
    bool markedByFocus = false, referenceShown = true;
    DialogDriver driver({[&](HWND d) {
        referenceShown = IsWindowVisible(GetDlgItem(d, 26)) != 0;
        SetFocus(GetDlgItem(d, 201)); // tabbing into the height marks it
        markedByFocus = IsDlgButtonChecked(d, 504) == BST_CHECKED;
        SetFocus(GetDlgItem(d, 209)); // line spacing, bit 3
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(504, BN_CLICKED), 0); // and unmarked again
        SendMessageA(d, WM_COMMAND, 802, 0);                          // right-aligned
        TestClickButton(d, IDOK);
    }});
    ASSERT_EQ(Box07TextStandardMulti(nullptr, "Texts", &a), 1u);
    EXPECT_TRUE(markedByFocus);
    EXPECT_FALSE(referenceShown) << "no reference-text group collected";
    EXPECT_EQ(a.stdText.mask, (1u << 3) | (1u << 10));
    EXPECT_EQ(a.stdText.alignment, 2);
}

TEST_F(TextDialogs, TheReferenceDialogStoresItsIconsAndDistance)
{
    ObjectAttributes a = StandardText();
    a.present[ATTR_REF_TEXT] = 1;
    a.refText = AttrRefText{0, 1, 1, 0, 1.0};
    DialogDriver driver({
        [&](HWND d) {
            SendMessageA(d, WM_COMMAND, 817, 0); // frame shape 2, circle
            SendMessageA(d, WM_COMMAND, 803, 0); // arrow head 3
            SetDlgItemTextA(d, 200, "-1");
            TestClickButton(d, IDOK);
        },
        [&](HWND d) {
            SetDlgItemTextA(d, 200, "2.5");
            TestClickButton(d, IDOK);
        },
    });
    ASSERT_EQ(Box07TextReference(nullptr, "Reference", &a), 1u);
    EXPECT_EQ(a.refText.frameShape, 2);
    EXPECT_EQ(a.refText.endMark, 3);
    EXPECT_DOUBLE_EQ(a.refText.frameDistance, 2.5);
    EXPECT_EQ(g_Alerts.size(), 1u) << "a negative distance";
}

TEST(TextUtilities, TheInsertMenuOffersTextsVariablesAndValues)
{
    std::vector<VariableDef> table(VARIABLE_SLOTS);
    std::strcpy(table[5].name, "Beta");
    std::strcpy(table[7].name, "alpha");
    Box01SortVariables(table.data());
    EXPECT_STREQ(table[0].name, "alpha");
    EXPECT_STREQ(table[1].name, "Beta");
    EXPECT_EQ(table[2].name[0], 0);
    char text[256];
    Box01InsertTextFor(BOX01_INSERT_VARIABLE + 1, table.data(), text);
    EXPECT_STREQ(text, "~Beta~");
    Box01InsertTextFor(BOX01_INSERT_TEXT2 + 8, table.data(), text);
    EXPECT_STREQ(text, "~%%~");
    Box01InsertTextFor(BOX01_INSERT_VARIABLE + 2, table.data(), text);
    EXPECT_STREQ(text, "");

    std::vector<VariableDef> none(VARIABLE_SLOTS);
    const VariableDef *const tables[] = {none.data(), table.data()};
    for (const VariableDef *variables : tables) {
        HMENU menu = Box01MenuInsertText(nullptr, variables);
        ASSERT_NE(menu, nullptr);
        const int items = GetMenuItemCount(menu);
        const UINT state = GetMenuState(menu, UINT(items - 3), MF_BYPOSITION);
        EXPECT_EQ((state & MF_GRAYED) != 0, variables == none.data());
        DestroyMenu(menu);
    }
}

TEST(TextUtilities, StoredTextsAndEditTextConvertBothWays)
{
    char multi[32];
    Box01TextToMultiline(multi, "a\xB6" "b\tc\xB6" "d", sizeof multi);
    EXPECT_STREQ(multi, "a\r\nbc\r\nd");
    Box01TextToMultiline(multi, "abcdefghijklmnop", 10);
    EXPECT_EQ(std::strlen(multi), 8u);
    char stored[16];
    EXPECT_EQ(Box01MultilineToText(stored, "a\r\nb", 10), 1);
    EXPECT_STREQ(stored, "a\xB6" "b");
    EXPECT_EQ(Box01MultilineToText(stored, "abcdef", 4), 0) << "too long: reported";
}

} // namespace

// The modeless pen and layer tables, created from the language module's
// templates and driven through their own messages: groups and the group
// selection rule, the standard record's protection, apply with its change
// flags, the link switch, the name filter, summaries and the report.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/darad4.h"
#include "app/darad4_menu.h"
#include "app/system_changes.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "common/dialog_driver.h"
#include "common/test_files.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "files/file_records.h"
#include "common/test_support.h"
#include "dialogs/alert.h"
#include "dialogs/box05_pens.h"
#include "dialogs/box05_table.h"
#include "dialogs/box15.h"
#include "files/zvi.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

constexpr int ID_LIST = 170, ID_DELETE = 13, ID_APPLY = 12, ID_LINK = 250, ID_SUMMARY = 350;


// The main window's side of the hand-over.
struct HandOver {
    int count = 0;
    WPARAM wParam = 0;
    std::vector<uint32_t> penFlags;
    uint32_t changed = 0;
    uint32_t link = 0;
} g_HandOver;

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == g_MsgPen1 && g_MsgPen1) {
        ++g_HandOver.count;
        g_HandOver.wParam = wParam;
        if (const auto *b = reinterpret_cast<const PenDialogWork *>(lParam)) {
            g_HandOver.changed = b->changes.pens;
            g_HandOver.penFlags.assign(b->changes.pen, b->changes.pen + PEN_SLOTS);
            g_HandOver.link = b->link;
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class TableWindows : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        g_HandOver = HandOver{};
        if (!g_MsgPen1)
            g_MsgPen1 = RegisterWindowMessageA("DARAD4_PEN1 test");
        WNDCLASSA wc = {};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TableWindowsMain";
        RegisterClassA(&wc);
        savedMain_ = g_MainWnd;
        g_MainWnd = CreateWindowA("TableWindowsMain", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                  wc.hInstance, nullptr);
        savedPens_.assign(g_PenDefs, g_PenDefs + PEN_SLOTS);
        for (PenDef &p : g_PenDefs)
            p = PenDef{};
        const char *names[] = {"Standard", "a\\b\\c", "a\\d", "x", "a\\b\\e"};
        for (int i = 0; i < 5; ++i) {
            strcpy(g_PenDefs[i].name, names[i]);
            g_PenDefs[i].setA = g_PenDefs[i].setB = PropertyDefault();
            g_PenDefs[i].state = DEF_STATE_DEFAULT;
            g_PenDefs[i].layer = PEN_NO_LAYER;
        }
        g_PenLink = 0;
        Box05PenDialogCreate(g_MainWnd);
        ASSERT_NE(hGlobalPenDialog, nullptr);
        Box05PenDialogShow(0);
        w = &g_PenTable;
    }
    void TearDown() override
    {
        Box05PenDialogDestroy();
        DestroyWindow(g_MainWnd);
        g_MainWnd = savedMain_;
        std::copy(savedPens_.begin(), savedPens_.end(), g_PenDefs);
        g_LayerDefs[7] = LayerDef{};
        LanguageDialogTest::TearDown();
    }

    std::vector<std::string> RowTexts()
    {
        std::vector<std::string> rows;
        const int n = static_cast<int>(SendMessageA(w->list, LB_GETCOUNT, 0, 0));
        for (int r = 0; r < n; ++r) {
            const int d = static_cast<int>(SendMessageA(w->list, LB_GETITEMDATA, r, 0));
            rows.push_back(d >= TABLE_GROUP_BASE ? w->groups[d - TABLE_GROUP_BASE]
                                                 : static_cast<PenDef *>(w->work)[d].name);
        }
        return rows;
    }
    int RowOf(const std::string &text)
    {
        const auto rows = RowTexts();
        for (size_t r = 0; r < rows.size(); ++r)
            if (rows[r] == text)
                return static_cast<int>(r);
        return -1;
    }
    void Select(std::initializer_list<const char *> texts)
    {
        SendMessageA(w->list, LB_SETSEL, FALSE, -1);
        for (const char *t : texts)
            SendMessageA(w->list, LB_SETSEL, TRUE, RowOf(t));
        SendMessageA(hGlobalPenDialog, WM_COMMAND, MAKEWPARAM(ID_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(w->list));
    }
    std::vector<int> SelectedRecords()
    {
        const int n = Box05TableGetSelection(w);
        return std::vector<int>(w->selectedData, w->selectedData + n);
    }
    void Command(int id, int high = 0)
    {
        SendMessageA(hGlobalPenDialog, WM_COMMAND, MAKEWPARAM(id, high), 0);
    }
    PenDef &Work(int i) { return static_cast<PenDef *>(w->work)[i]; }

    TableWindow *w = nullptr;
    HWND savedMain_ = nullptr;
    std::vector<PenDef> savedPens_;
};

TEST_F(TableWindows, GroupRowsStandAboveTheirMembersAndSelectThem)
{
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"a\\", "a\\b\\", "a\\b\\c", "a\\b\\e", "a\\d", "Standard", "x"}));
    Select({"a\\"});
    EXPECT_EQ(SelectedRecords(), (std::vector<int>{1, 4, 2}));
    for (const char *group : {"a\\", "a\\b\\"})
        EXPECT_FALSE(SendMessageA(w->list, LB_GETSEL, RowOf(group), 0)) << group << " ends deselected";
    Select({"a\\b\\"});
    EXPECT_EQ(SelectedRecords(), (std::vector<int>{1, 4}));
}

TEST_F(TableWindows, TheStandardPenWithOthersReadsAsNoSelection)
{
    Select({"Standard", "x"});
    EXPECT_EQ(Box05TableGetSelection(w), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hGlobalPenDialog, ID_DELETE)));
    Command(ID_DELETE);
    EXPECT_TRUE(Alerts().empty());
    EXPECT_STREQ(Work(3).name, "x");

    Select({"Standard"});
    Command(ID_DELETE);
    EXPECT_STREQ(Work(0).name, "Standard") << "deleting the standard pen does nothing";
}

TEST_F(TableWindows, ApplyFlagsExactlyTheChangedPens)
{
    Command(501 + 2, 3);     // the lock icon of pen 3
    Command(511 + 4, TABLE_GROUP_BASE + 1); // highlight the group a\b\ (group table: a\, a\b\)
    EXPECT_EQ(Work(3).state, DEF_STATE_DEFAULT | DEF_STATE_LOCKED);
    EXPECT_EQ(Work(1).state & DEF_STATE_HIGHLIGHT, DEF_STATE_HIGHLIGHT);
    Command(ID_APPLY);
    ASSERT_EQ(g_HandOver.count, 1);
    EXPECT_EQ(g_HandOver.wParam, static_cast<WPARAM>(-1));
    EXPECT_EQ(g_HandOver.changed, 1u);
    std::vector<uint32_t> expected(PEN_SLOTS, 0);
    expected[1] = expected[3] = expected[4] = 1;
    EXPECT_EQ(g_HandOver.penFlags, expected);
    // The drawing is the main window's to change.
    EXPECT_EQ(g_PenDefs[3].state, DEF_STATE_DEFAULT);
}

TEST_F(TableWindows, GroupOperationsNeverTouchTheStandardPen)
{
    strcpy(g_PenDefs[0].name, "a\\Standard");
    Box05PenDialogShow(0);
    Command(511 + 2, TABLE_GROUP_BASE + 0); // lock the group a\ (which the standard pen's name is in)
    EXPECT_EQ(Work(0).state, DEF_STATE_DEFAULT);
    EXPECT_EQ(Work(2).state & DEF_STATE_LOCKED, DEF_STATE_LOCKED);
}

TEST_F(TableWindows, TheLinkSwitchStaysOffWhenTheQuestionIsCancelled)
{
    AlertAnswer() = ALERT_CANCEL; // the third button
    Work(3).setB.width = 0.7;
    SendMessageA(hGlobalPenDialog, WM_COMMAND, MAKEWPARAM(ID_LINK, BN_CLICKED), 0);
    EXPECT_EQ(w->link, 0u);
    EXPECT_EQ(IsDlgButtonChecked(hGlobalPenDialog, ID_LINK), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(Work(3).setA.width, PROPERTY_DEFAULT_WIDTH);
    ASSERT_EQ(Alerts().size(), 1u);

    AlertAnswer() = 17; // copy B into A
    Work(3).state = DEF_STATE_SHOWN_B;
    SendMessageA(hGlobalPenDialog, WM_COMMAND, MAKEWPARAM(ID_LINK, BN_CLICKED), 0);
    EXPECT_EQ(w->link, 1u);
    EXPECT_EQ(Work(3).setA.width, 0.7);
    EXPECT_EQ(Work(3).state, DEF_STATE_SHOWN_A | DEF_STATE_SHOWN_B);
}

TEST(NameFilter, TermsAndTheirChoice)
{
    struct Case {
        const char *pattern;
        uint32_t choice, matchCase;
        const char *name;
        int expected;
    };
    const Case cases[] = {
        {"a;;b", 1, 0, "xaxb", 1}, {"a;;b", 1, 0, "xax", 0},  {"a;;b", 0, 0, "xax", 1},
        {"WALL", 0, 0, "wall", 1}, {"Wall", 0, 1, "wall", 0}, {"Wall", 0, 1, "wallWall", 0},
        {"Wall", 0, 1, "Wallwall", 1}, {";", 0, 0, "x", 0},
    };
    for (const Case &c : cases) {
        NameFilter f = {};
        strcpy(f.pattern, c.pattern);
        f.choice = c.choice;
        f.matchCase = c.matchCase;
        EXPECT_EQ(Box05TableFilterMatches(&f, c.name), c.expected) << c.pattern << " on " << c.name;
    }
}

TEST_F(TableWindows, TheFilterSelectsWhatMatchesEveryTerm)
{
    DialogDriver driver({[](HWND dialog) {
        SetDlgItemTextA(dialog, 200, "a;;e");
        TestClickButton(dialog, 300); // every term
        TestClickButton(dialog, IDOK);
    }});
    Command(554);
    EXPECT_EQ(SelectedRecords(), (std::vector<int>{4}));
    ASSERT_EQ(Alerts().size(), 1u) << "the question before selecting";
}

TEST_F(TableWindows, SummaryAndReportDescribeThePens)
{
    strcpy(g_LayerDefs[7].name, "walls");
    g_PenDefs[3].layer = 7;
    g_PenDefs[3].state = DEF_STATE_SHOWN_A | DEF_STATE_LOCKED;
    Box05PenDialogShow(3);
    const std::string summary = TestItemText(hGlobalPenDialog, ID_SUMMARY);
    EXPECT_NE(summary.find(eUniTexts[68] + std::string("walls")), std::string::npos) << summary;
    EXPECT_NE(summary.find('\n'), std::string::npos) << "set A and set B on two lines";

    // Long names everywhere: the summary is cut, never written past its end.
    const std::vector<ColorDef> savedColours(g_ColorDefs, g_ColorDefs + COLOR_SLOTS);
    const LineDef savedLine = g_LineDefs[0];
    char summaryOut[TABLE_SUMMARY_SIZE + 8];
    memset(summaryOut, 'G', sizeof summaryOut);
    const std::string longName(DEF_NAME_LONG - 1, 'n');
    strcpy(g_LayerDefs[7].name, longName.c_str());
    for (int i = 0; i < STANDARD_COLORS; ++i)
        g_ColorDefs[i] = ColorDef{};
    strcpy(g_ColorDefs[40].name, std::string(DEF_NAME_SHORT - 1, 'c').c_str());
    g_ColorDefs[40].color = Work(3).setA.color1;
    strcpy(g_LineDefs[0].name, std::string(DEF_NAME_SHORT - 1, 'l').c_str());
    const char *longSeparator = "\r\n----------------------------------------------------------------\r\n";
    w->link = 0;
    Box05FormatPenSummary(w, 3, summaryOut, longSeparator);
    EXPECT_LT(strlen(summaryOut), static_cast<size_t>(TABLE_SUMMARY_SIZE));
    EXPECT_EQ(summaryOut[TABLE_SUMMARY_SIZE], 'G');
    std::copy(savedColours.begin(), savedColours.end(), g_ColorDefs);
    g_LineDefs[0] = savedLine;
    strcpy(g_LayerDefs[7].name, "walls");

    strcpy(g_PenDefs[3].name, "x");
    Box05PenDialogShow(3);
    TestTempFile report("pens_report.txt");
    ASSERT_EQ(Box05TableReport(w, report.Path()), 1);
    const std::string text = report.Contents();
    EXPECT_EQ(text.find("[a\\b\\c]\r\n"), 0u) << "in list order";
    const size_t x = text.find("[x]\r\n");
    ASSERT_NE(x, std::string::npos);
    const std::string block = text.substr(x, text.find("\r\n\r\n", x) - x);
    EXPECT_NE(block.find(std::string(eUniTexts[61]) + " " + eUniTexts[66] + ","), std::string::npos) << block;
    EXPECT_NE(block.find(std::string(eUniTexts[62]) + " " + eUniTexts[67] + " " + eUniTexts[66]), std::string::npos);
    EXPECT_NE(block.find("walls"), std::string::npos);
    EXPECT_EQ(text.find("[a\\]"), std::string::npos) << "group rows are not reported";
}

// The main window's own side: the applied copy becomes the drawing's table.
LRESULT CALLBACK ApplyingMainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (AppMainMenuMessage(window, message, wParam, lParam, &result))
        return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(TableWindows, TheMainWindowTakesTheAppliedPens)
{
    SetWindowLongPtrA(g_MainWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ApplyingMainProc));
    Command(501 + 0, 3); // pen 3 no longer shown in set A
    Command(ID_APPLY);
    EXPECT_EQ(g_PenDefs[3].state, DEF_STATE_SHOWN_B);
    EXPECT_EQ(g_PenDefs[1].state, DEF_STATE_DEFAULT);
    SystemClearChanges();
}

// The chooser of the load/save popup answers with this file.
std::string g_TableFile;
std::vector<std::string> g_TableCaptions;
int ChooseTableFile(const char *caption, FileDialogState *state, const FileTypeSelection &selection)
{
    g_TableCaptions.push_back(std::string(caption) + (selection.mode == CHOOSER_SAVE ? " (save)" : " (open)"));
    snprintf(state->current, sizeof state->current, "%s", g_TableFile.c_str());
    return 1;
}

// A pen table saved from the window comes back into its working copy: a
// pen of the same name in place, a missing one at its own free index; the
// drawing changes only on Apply.
TEST_F(TableWindows, APenTableFileSavesAndLoadsIntoTheWorkingCopy)
{
    ASSERT_EQ(ZVI_InitFileBuffers(), 1);
    TestTempFile file("table_windows_pens.zvd");
    g_TableFile = file.Path();
    g_TableCaptions.clear();
    g_Box15ChooserHook = ChooseTableFile;
    Command(11501);
    EXPECT_NE(file.Contents().find("=PEN="), std::string::npos);

    auto *pens = static_cast<PenDef *>(w->work);
    pens[3] = PenDef{};               // "x" gone from the working copy
    pens[2].setA.width = 2.5;          // "a\\d" changed
    Box05TableListFill(w, -1);
    ASSERT_EQ(RowOf("x"), -1);
    Command(11500);
    g_Box15ChooserHook = nullptr;
    EXPECT_STREQ(pens[3].name, "x");
    EXPECT_NE(pens[2].setA.width, 2.5);
    EXPECT_GE(RowOf("x"), 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(w->hwnd, ID_APPLY)));
    EXPECT_STREQ(g_PenDefs[3].name, "x");
    EXPECT_EQ(g_TableCaptions, (std::vector<std::string>{std::string(eCaptionTexts[73]) + " (save)",
                                                         std::string(eCaptionTexts[72]) + " (open)"}));
    EXPECT_TRUE(Alerts().empty());
}

} // namespace

namespace {

// The table's buttons, each where no other control lies.
TEST_F(TableWindows, NoControlLiesOverAnother)
{
    Select({"x"});
    std::vector<std::pair<int, RECT>> controls;
    for (HWND c = GetWindow(hGlobalPenDialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        controls.push_back({GetDlgCtrlID(c), r});
    }
    for (size_t i = 0; i < controls.size(); ++i)
        for (size_t j = i + 1; j < controls.size(); ++j) {
            RECT both;
            EXPECT_FALSE(IntersectRect(&both, &controls[i].second, &controls[j].second))
                << controls[i].first << " and " << controls[j].first;
        }
}

// A question of the table is owned by it and keeps the main window disabled
// until answered, so a click there cannot raise the main window over it.
TEST_F(TableWindows, TheTablesQuestionKeepsTheMainWindowDisabled)
{
    ShowWindow(g_MainWnd, SW_SHOW);
    const AlertAnswerHook savedHook = g_AlertAnswerHook;
    g_AlertAnswerHook = nullptr;
    Work(3).setA.width += 1; // a change: closing asks whether to apply it
    HWND owner = nullptr;
    BOOL mainEnabled = TRUE;
    {
        DialogDriver driver({[&](HWND box) {
            owner = GetWindow(box, GW_OWNER);
            mainEnabled = IsWindowEnabled(g_MainWnd);
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        }});
        Command(IDCANCEL);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    g_AlertAnswerHook = savedHook;
    EXPECT_EQ(owner, hGlobalPenDialog);
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(IsWindowEnabled(g_MainWnd)) << "enabled again after the answer";
    EXPECT_TRUE(IsWindowVisible(hGlobalPenDialog)) << "cancelled: the table stays";
}

// A pen that only a text's own record uses is in use: deleting it asks
// again (the object's own pen is the standard one).
TEST_F(TableWindows, APenUsedOnlyInsideATextRecordAsksBeforeItGoes)
{
    ASSERT_TRUE(TestFreshObjectLists());
    Unit *text = TestNewObject(LIST_DRAWING, OBJTYPE_STD_TEXT, {});
    ASSERT_NE(text, nullptr);
    auto *r = static_cast<TextStandardData *>(ElementPayload(ElementNext(UnitFirstElement(text))));
    FileDefaultTextStandard(r);
    r->property.pen = 3;
    r->property.ownFlags |= XPROP_OWN_PEN;
    AlertAnswer() = ALERT_YES;
    Select({"x"});
    Command(ID_DELETE);
    EXPECT_EQ(Alerts().size(), 2u) << "the question about a pen in use";
    EXPECT_STREQ(Work(3).name, "");
    MemFreeChunks();
    MemInitLists();
}

} // namespace

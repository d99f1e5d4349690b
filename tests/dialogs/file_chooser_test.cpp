// The file chooser's own buttons inside the real common file dialog: file
// information on the typed name, the section choice that changes the
// state's option word even when the chooser is then cancelled, the
// favourite folders and the folder mode.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/dialog_driver.h"
#include "common/test_files.h"
#include "app/darad4.h"
#include "app/init_help.h"
#include "dialogs/box15.h"
#include "plugin/zvi_module.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

constexpr int ID_FAVOURITES = 550, ID_INFO = 551, ID_SECTIONS = 552, ID_TAKE_FOLDER = 553;
constexpr int ID_SECTIONS_LIST = 170, ID_REPLACE = 300;
constexpr int ID_TYPE_COMBO = 1136;
// The favourite-folder menu: go to, clear and set folder n.
constexpr int MENU_GO = 12000, MENU_CLEAR = 12008, MENU_SET = 12016;
constexpr int ID_INFO_NAME = 350, ID_INFO_SIZE = 351;

class FileChooser : public LanguageDialogTest {};

// The chooser's own child dialog inside the common dialog.
HWND ChooserPanel(HWND common)
{
    for (HWND child = FindWindowExA(common, nullptr, "#32770", nullptr); child;
         child = FindWindowExA(common, child, "#32770", nullptr))
        if (GetDlgItem(child, ID_SECTIONS))
            return child;
    return nullptr;
}

DialogStep ClickInPanel(int id)
{
    return [id](HWND common) {
        HWND panel = ChooserPanel(common);
        ASSERT_NE(panel, nullptr);
        TestClickButton(panel, id);
    };
}

DialogStep CancelChooser()
{
    return [](HWND common) { PostMessageA(common, WM_COMMAND, IDCANCEL, 0); };
}

TEST_F(FileChooser, InformationShowsTheTypedFile)
{
    const std::string path = TestTempPath("chooser-info.txt");
    TestWriteFile(path, "12345");
    FileDialogState state{};
    snprintf(state.current, sizeof state.current, "%s", path.c_str());
    state.type = FILE_KIND_ANY;
    std::string name, size;
    DialogDriver driver({ClickInPanel(ID_INFO),
                         [&](HWND info) {
                             name = TestItemText(info, ID_INFO_NAME);
                             size = TestItemText(info, ID_INFO_SIZE);
                             TestClickButton(info, IDOK);
                         },
                         CancelChooser()});
    const FileTypeSelection selection{0x1, 0, 0, FILE_KIND_ANY, -1, CHOOSER_OPEN};
    EXPECT_EQ(Box15FileGetName(nullptr, "Open", &state, selection), 0);
    DeleteFileA(path.c_str());
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(name, "chooser-info.txt");
    EXPECT_EQ(size.rfind("5 ", 0), 0u) << size;
    EXPECT_TRUE(Alerts().empty());
}

// The section choice writes the state's option word (bit 0 always set) and
// offers replace or merge only for the merging sections kind.
TEST_F(FileChooser, SectionsChangeTheOptionWord)
{
    struct Case {
        int32_t sectionsKind;
        bool radios;
    };
    for (const Case c : {Case{FILE_KIND_DRAWING, false}, Case{FILE_KIND_SECTIONS_MERGE, true}}) {
        FileDialogState state{};
        state.type = FILE_KIND_DRAWING;
        state.option = 0x40000004u;
        bool radiosShown = !c.radios;
        int selected = -1;
        DialogDriver driver({ClickInPanel(ID_SECTIONS),
                             [&](HWND sections) {
                                 radiosShown = IsWindowVisible(GetDlgItem(sections, ID_REPLACE)) != 0;
                                 selected = int(SendDlgItemMessageA(sections, ID_SECTIONS_LIST, LB_GETSELCOUNT, 0, 0));
                                 TestClickButton(sections, IDOK);
                             },
                             CancelChooser()});
        const FileTypeSelection selection{0x3, 0, 0, FILE_KIND_DRAWING, c.sectionsKind, CHOOSER_OPEN};
        EXPECT_EQ(Box15FileGetName(nullptr, "Open", &state, selection), 0);
        EXPECT_EQ(driver.stuckDialogs(), 0);
        EXPECT_EQ(radiosShown, c.radios) << c.sectionsKind;
        EXPECT_EQ(selected, 1);
        EXPECT_EQ(state.option, 0x40000005u);
    }
}

TEST_F(FileChooser, NoSectionsKindDisablesTheButton)
{
    FileDialogState state{};
    bool enabled = true, infoEnabled = false;
    DialogDriver driver({[&](HWND common) {
        HWND panel = ChooserPanel(common);
        ASSERT_NE(panel, nullptr);
        enabled = IsWindowEnabled(GetDlgItem(panel, ID_SECTIONS)) != 0;
        infoEnabled = IsWindowEnabled(GetDlgItem(panel, ID_INFO)) != 0;
        PostMessageA(common, WM_COMMAND, IDCANCEL, 0);
    }});
    const FileTypeSelection selection{0x3, 0, 0, FILE_KIND_DRAWING, -1, CHOOSER_OPEN};
    EXPECT_EQ(Box15FileGetName(nullptr, "Open", &state, selection), 0);
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(infoEnabled);
}

// The buttons stand in one column beside the file list, from the top OK,
// Cancel, favourites, sections, information and Help, each where a click
// reaches it, and the name field lies below the list.
TEST_F(FileChooser, TheButtonsStandInAColumnBesideTheList)
{
    constexpr int ID_HELP = 1038, ID_NAME = 1148;
    struct Placed {
        int id;
        RECT rect;
        bool reached;
    };
    std::vector<Placed> column;
    RECT list{}, name{};
    DialogDriver driver({[&](HWND common) {
        HWND panel = ChooserPanel(common);
        ASSERT_NE(panel, nullptr);
        auto place = [&](HWND owner, int id) {
            HWND button = GetDlgItem(owner, id);
            RECT r{};
            GetWindowRect(button, &r);
            const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            column.push_back({id, r, button && IsWindowVisible(button) && WindowFromPoint(middle) == button});
        };
        place(common, IDOK);
        place(common, IDCANCEL);
        place(panel, ID_FAVOURITES);
        place(panel, ID_SECTIONS);
        place(panel, ID_INFO);
        place(common, ID_HELP);
        HWND view = FindWindowExA(common, nullptr, "SHELLDLL_DefView", nullptr);
        GetWindowRect(view ? view : GetDlgItem(common, 1120), &list);
        GetWindowRect(GetDlgItem(common, ID_NAME), &name);
        PostMessageA(common, WM_COMMAND, IDCANCEL, 0);
    }});
    FileDialogState state{};
    const FileTypeSelection selection{0x3, 0, 0, FILE_KIND_DRAWING, 0, CHOOSER_OPEN};
    EXPECT_EQ(Box15FileGetName(nullptr, "Open", &state, selection), 0);
    ASSERT_EQ(column.size(), 6u);
    for (size_t i = 0; i < column.size(); ++i) {
        const Placed &b = column[i];
        EXPECT_TRUE(b.reached) << b.id;
        EXPECT_EQ(b.rect.left, column[0].rect.left) << b.id;
        EXPECT_GT(b.rect.left, list.right) << b.id;
        if (i > 0) {
            EXPECT_GT(b.rect.top, column[i - 1].rect.bottom) << b.id;
        }
    }
    EXPECT_EQ(column[0].rect.top, list.top);
    EXPECT_GT(name.top, list.bottom);
}

std::vector<ULONG_PTR> g_HelpContexts;
void CatchHelp(HWND, const char *, UINT command, ULONG_PTR data)
{
    if (command == HELP_CONTEXT)
        g_HelpContexts.push_back(data);
}
std::vector<std::pair<int, int>> g_FormatCalls;
int __stdcall FormatCallback(int command, int code)
{
    g_FormatCalls.emplace_back(command, code);
    return 1;
}

// The Help button, CDN_HELP and F1 answer for the filter chosen: the help on
// file kinds for the program's own, the format's callback (code 2) for a
// plug-in's.
TEST_F(FileChooser, HelpAnswersForTheChosenKind)
{
    constexpr int ID_HELP = 1038;
    LanguageExchangeBlock &b = g_LanguageInitBlock;
    const int32_t exports = b.exportCount;
    ModuleData record{};
    record.active = 1;
    record.fileType = "Test export";
    record.filePattern = "*.tst";
    record.fileExtension = "tst";
    record.commandProc = FormatCallback;
    b.exportFormats[b.exportCount] = record;
    b.exportCount = exports + 1;
    const InitHelpSink savedSink = g_InitHelpSink;
    g_InitHelpSink = CatchHelp;
    g_HelpContexts.clear();
    g_FormatCalls.clear();
    bool helpShown = false;
    auto choose = [](HWND common, int position) {
        SendDlgItemMessageA(common, ID_TYPE_COMBO, CB_SETCURSEL, WPARAM(position), 0);
    };
    auto notifyHelp = [](HWND common) {
        OFNOTIFYA n{};
        n.hdr.hwndFrom = common;
        n.hdr.code = CDN_HELP;
        SendMessageA(ChooserPanel(common), WM_NOTIFY, 0, (LPARAM)&n);
    };
    FileDialogState state{};
    state.type = FILE_KIND_DRAWING;
    DialogDriver driver({
        [&](HWND common) {
            HWND help = GetDlgItem(common, ID_HELP);
            helpShown = help && IsWindowVisible(help);
            PostMessageA(common, WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED), (LPARAM)help);
        },
        [&](HWND common) {
            choose(common, 2); // the plug-in's format
            notifyHelp(common);
            PostMessageA(common, WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED), (LPARAM)GetDlgItem(common, ID_HELP));
        },
        [&](HWND common) {
            choose(common, 0);
            SendMessageA(ChooserPanel(common), WM_HELP, 0, 0);
        },
        CancelChooser(),
    });
    const FileTypeSelection selection{0x3, 0, 0x1u << exports, FILE_KIND_ANY, -1, CHOOSER_OPEN};
    EXPECT_EQ(Box15FileGetName(nullptr, "Open", &state, selection), 0);
    g_InitHelpSink = savedSink;
    b.exportCount = exports;
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_TRUE(helpShown);
    EXPECT_EQ(g_HelpContexts, (std::vector<ULONG_PTR>{15009, 15009}));
    EXPECT_EQ(g_FormatCalls, (std::vector<std::pair<int, int>>{{0, 2}, {0, 2}}));
}

// Kinds without sections or settings answer 0, so the button falls back to
// the selection's sections kind; opening a metafile has nothing to set.
TEST(FileChooserSettings, KindsWithoutSettingsAnswerZero)
{
    FileDialogState state{};
    const FileTypeSelection open{0x201, 0, 0, FILE_KIND_EMF, 9, CHOOSER_OPEN};
    EXPECT_EQ(Box15FileGetNameSettings(nullptr, FILE_KIND_ANY, open, &state), 0);
    EXPECT_EQ(Box15FileGetNameSettings(nullptr, FILE_KIND_BMP, open, &state), 0);
    EXPECT_EQ(Box15FileGetNameSettings(nullptr, FILE_KIND_EMF, open, &state), 1);
    const FileTypeSelection none{0x201, 0, 0, FILE_KIND_EMF, -1, CHOOSER_OPEN};
    EXPECT_EQ(Box15FileGetNameSettings(nullptr, FILE_KIND_ANY, none, &state), 1);
}

// A folder of its own below the temporary folder, with a trailing backslash.
std::string TestFolder(const char *name)
{
    const std::string folder = TestTempPath(name);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

std::string ShownFolder(HWND common)
{
    char folder[MAX_PATH] = "";
    SendMessageA(common, CDM_GETFOLDERPATH, sizeof folder, (LPARAM)folder);
    return std::string(folder) + "\\";
}

std::string TypedName(HWND common)
{
    char name[MAX_PATH] = "";
    SendMessageA(common, CDM_GETSPEC, sizeof name, (LPARAM)name);
    return name;
}

bool SamePath(const std::string &a, const std::string &b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// The favourite folders live in the options; each test leaves them as it found them.
class FavouriteFolders : public FileChooser {
protected:
    void SetUp() override
    {
        FileChooser::SetUp();
        std::memcpy(saved_, g_Options.fileDialogs, sizeof saved_);
        std::memset(g_Options.fileDialogs, 0, sizeof saved_);
    }
    void TearDown() override
    {
        std::memcpy(g_Options.fileDialogs, saved_, sizeof saved_);
        FileChooser::TearDown();
    }
    FileDialogState saved_[FILE_DIALOG_STATES];
};

// Set, clear and go to favourite folders of the drawings' record. Setting
// folder 0 rewrites the remembered path although the chooser is cancelled;
// folder 0 cannot be cleared; going to a folder keeps the typed name.
TEST_F(FavouriteFolders, TheMenuSetsClearsAndOpensFolders)
{
    const std::string start = TestFolder("chooser-start"), other = TestFolder("chooser-other");
    FileDialogState &drawings = g_Options.fileDialogs[FD_ZVD];
    snprintf(drawings.folders[2], sizeof drawings.folders[2], "%s", other.c_str());
    snprintf(drawings.folders[3], sizeof drawings.folders[3], "%s", "C:\\kept\\");
    FileDialogState state{};
    snprintf(state.current, sizeof state.current, "%splan.zvd", start.c_str());
    state.type = FILE_KIND_DRAWING;
    std::string shownFirst, shownAfter, typedAfter;
    DialogDriver driver({[&](HWND common) {
                             HWND panel = ChooserPanel(common);
                             ASSERT_NE(panel, nullptr);
                             EXPECT_TRUE(IsWindowEnabled(GetDlgItem(panel, ID_FAVOURITES)));
                             EXPECT_FALSE(IsWindowVisible(GetDlgItem(panel, ID_TAKE_FOLDER)));
                             shownFirst = ShownFolder(common);
                             TestClickButton(panel, MENU_SET + 1);
                             TestClickButton(panel, MENU_SET + 0);
                             TestClickButton(panel, MENU_CLEAR + 0);
                             TestClickButton(panel, MENU_CLEAR + 3);
                             TestClickButton(panel, MENU_GO + 2);
                         },
                         [&](HWND common) {
                             shownAfter = ShownFolder(common);
                             typedAfter = TypedName(common);
                             PostMessageA(common, WM_COMMAND, IDCANCEL, 0);
                         }});
    const FileTypeSelection selection{0x3, 0, 0, FILE_KIND_DRAWING, -1, CHOOSER_OPEN};
    EXPECT_EQ(Box15FileGetName(nullptr, "Open", &state, selection), 0);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_TRUE(SamePath(shownFirst, start)) << shownFirst;
    EXPECT_TRUE(SamePath(drawings.folders[1], start)) << drawings.folders[1];
    EXPECT_TRUE(SamePath(drawings.folders[0], start)) << drawings.folders[0];
    EXPECT_STREQ(drawings.folders[3], "");
    EXPECT_TRUE(SamePath(shownAfter, other)) << shownAfter;
    EXPECT_EQ(typedAfter, "plan.zvd");
    EXPECT_TRUE(SamePath(state.current, start + eDefaultPaths[4] + "zvd")) << state.current;
    EXPECT_TRUE(Alerts().empty());
}

// Choosing the EMF filter gives the typed name its extension and makes the
// EMF record the one whose folders the menu shows.
TEST_F(FavouriteFolders, TheFilterChoosesTheRecordOfItsKind)
{
    const std::string start = TestFolder("chooser-start");
    FileDialogState state{};
    snprintf(state.current, sizeof state.current, "%splan.zvd", start.c_str());
    state.type = FILE_KIND_DRAWING;
    std::string typed;
    DialogDriver driver({[&](HWND common) {
                             HWND combo = GetDlgItem(common, ID_TYPE_COMBO);
                             ASSERT_NE(combo, nullptr);
                             SendMessageA(combo, CB_SETCURSEL, 2, 0); // *.*, drawings, EMF
                             SendMessageA(common, WM_COMMAND, MAKEWPARAM(ID_TYPE_COMBO, CBN_SELENDOK),
                                          (LPARAM)combo);
                             TestClickButton(ChooserPanel(common), MENU_SET + 1);
                         },
                         [&](HWND common) {
                             typed = TypedName(common);
                             PostMessageA(common, WM_COMMAND, IDCANCEL, 0);
                         }});
    const FileTypeSelection selection{0x203, 0, 0, FILE_KIND_DRAWING, -1, CHOOSER_SAVE};
    EXPECT_EQ(Box15FileGetName(nullptr, "Save", &state, selection), 0);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(typed, "plan.emf");
    EXPECT_TRUE(SamePath(g_Options.fileDialogs[FD_EMF].folders[1], start)) << g_Options.fileDialogs[FD_EMF].folders[1];
    EXPECT_STREQ(g_Options.fileDialogs[FD_ZVD].folders[1], "");
    EXPECT_EQ(state.type, uint32_t(FILE_KIND_DRAWING)) << "the kind changes only on success";
}

// Folder mode: the common dialog's OK is hidden, the favourites, the file
// information and the sections are off; taking the folder answers it with
// a trailing backslash and counts as success.
TEST_F(FavouriteFolders, FolderModeAnswersTheFolderShown)
{
    const std::string folder = TestFolder("chooser-folder");
    FileDialogState state{};
    snprintf(state.current, sizeof state.current, "%s", folder.c_str());
    state.type = FILE_KIND_BMP;
    bool okVisible = true, takeVisible = false, favourites = true, info = true;
    DialogDriver driver({[&](HWND common) {
        HWND panel = ChooserPanel(common);
        ASSERT_NE(panel, nullptr);
        okVisible = IsWindowVisible(GetDlgItem(common, IDOK)) != 0;
        takeVisible = IsWindowVisible(GetDlgItem(panel, ID_TAKE_FOLDER)) != 0;
        favourites = IsWindowEnabled(GetDlgItem(panel, ID_FAVOURITES)) != 0;
        info = IsWindowEnabled(GetDlgItem(panel, ID_INFO)) != 0;
        TestClickButton(panel, ID_TAKE_FOLDER);
    }});
    const FileTypeSelection selection{0x801, 0, 0, FILE_KIND_BMP, -1, CHOOSER_FOLDER};
    EXPECT_EQ(Box15FileGetName(nullptr, "Folder", &state, selection), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_FALSE(okVisible);
    EXPECT_TRUE(takeVisible);
    EXPECT_FALSE(favourites);
    EXPECT_FALSE(info);
    EXPECT_TRUE(SamePath(state.current, folder)) << state.current;
    EXPECT_EQ(state.type, uint32_t(FILE_KIND_BMP));
    EXPECT_TRUE(Alerts().empty());

    // Cancelled without taking a folder: 0, nothing changed.
    DialogDriver cancel({CancelChooser()});
    EXPECT_EQ(Box15FileGetName(nullptr, "Folder", &state, selection), 0);
    EXPECT_TRUE(SamePath(state.current, folder));
}

} // namespace

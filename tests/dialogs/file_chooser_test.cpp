// The file chooser's own buttons inside the real common file dialog: file
// information on the typed name, and the section choice that changes the
// state's option word even when the chooser is then cancelled.
#include <gtest/gtest.h>

#include <string>

#include "common/dialog_driver.h"
#include "common/test_files.h"
#include "dialogs/box15.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

constexpr int ID_INFO = 551, ID_SECTIONS = 552, ID_SECTIONS_LIST = 170, ID_REPLACE = 300;
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

} // namespace

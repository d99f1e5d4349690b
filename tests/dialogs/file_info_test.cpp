// The file information dialog on a file of each kind, and the details
// editor's title checks for the drawing and for libraries.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/dialog_driver.h"
#include "common/test_files.h"
#include "database/symbol_library.h"
#include "dialogs/box15.h"
#include "files/file_drawinginfo.h"
#include "files/zvi.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

constexpr int ID_NAME = 350, ID_SIZE = 351, ID_TITLE = 200;

class FileInformation : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        ASSERT_EQ(ZVI_InitFileBuffers(), 1);
    }
};

// A bitmap file of one pixel at the bit depth, with a full colour table.
std::string OnePixelBmp(uint16_t bits)
{
    const uint32_t colors = bits <= 8 ? 1u << bits : 0, offset = 14 + 40 + 4 * colors;
    std::string b(offset + 4, '\0');
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + size_t(i)] = char(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, uint32_t(b.size()), 4);
    put(10, offset, 4);
    put(14, 40, 4);
    put(18, 1, 4);
    put(22, 1, 4);
    put(26, 1, 2);
    put(28, bits, 2);
    return b;
}

// The texts of the controls of the information dialog opened on the file.
std::vector<std::string> InfoTexts(const std::string &path, std::vector<int> ids, int *result)
{
    std::vector<std::string> texts;
    DialogDriver driver({[&](HWND d) {
        for (int id : ids)
            texts.push_back(GetDlgItem(d, id) ? TestItemText(d, id) : "<none>");
        TestClickButton(d, IDOK);
    }});
    *result = Box15FileInfo(nullptr, "Information", path.c_str());
    return texts;
}

TEST_F(FileInformation, EachKindOfFileShowsWhatItHas)
{
    int result = -1;
    // Neither bitmap nor drawing: name, size, date and time only.
    TestTempFile text("info-notes.txt");
    TestWriteFile(text.Path(), "twelve bytes");
    auto t = InfoTexts(text.Path(), {ID_NAME, ID_SIZE, 352, 353, 354}, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(t[0], "info-notes.txt");
    EXPECT_EQ(t[1], std::string("12 ") + eUniTexts[24]);
    EXPECT_FALSE(t[2].empty());
    EXPECT_FALSE(t[3].empty());
    EXPECT_EQ(t[4], "<none>");

    // Bitmaps: width, height, and the colours, 2 to the bits per pixel capped at 2^24.
    struct Case {
        uint16_t bits;
        long colours;
    };
    for (const Case c : {Case{1, 2}, Case{8, 256}, Case{32, 1L << 24}}) {
        TestTempFile bmp("info-picture.bmp");
        TestWriteFile(bmp.Path(), OnePixelBmp(c.bits));
        const auto b = InfoTexts(bmp.Path(), {354, 355, 356}, &result);
        char expected[128];
        std::snprintf(expected, sizeof expected, eUniTexts[70], int(c.bits), int(c.colours));
        EXPECT_EQ(b[0], "1") << c.bits;
        EXPECT_EQ(b[1], "1") << c.bits;
        EXPECT_EQ(b[2], expected) << c.bits;
    }

    // A drawing: its descriptive record, no file date.
    TestTempFile drawing("info-plan.zvd");
    TestWriteFile(drawing.Path(), "Quirn++Valsev CAD 4.60;\r\n=DRAWING=;\r\n\"Plan\",\r\n\"Ground floor\",\r\n\"Ann\",\r\n"
                                  "\"2000-1-1\",\r\n\"Bob\",\r\n\"2001-2-2\",\r\n\"A note\";\r\n=END=;\r\n=EXIT=;\r\n");
    const auto z = InfoTexts(drawing.Path(), {352, 353, 354, 355, 356, 357, 358}, &result);
    EXPECT_EQ(z, (std::vector<std::string>{"Plan", "Ground floor", "Ann", "2000-1-1", "Bob", "2001-2-2", "A note"}));
    EXPECT_TRUE(Alerts().empty());

    // A file that cannot be opened: the file alert, no dialog.
    DialogDriver none({});
    EXPECT_EQ(Box15FileInfo(nullptr, "Information", TestTempPath("info-missing.txt").c_str()), 0);
    EXPECT_EQ(Alerts().size(), 1u);
}

TEST_F(FileInformation, LibraryTitlesAreCheckedTheDrawingsAreNot)
{
    auto edit = [](DrawingInfo *info, int slot, const std::vector<const char *> &titles, uint32_t *changed) {
        std::vector<DialogStep> steps;
        for (const char *title : titles)
            steps.push_back([title](HWND d) {
                SetDlgItemTextA(d, ID_TITLE, title);
                TestClickButton(d, IDOK);
            });
        steps.push_back([](HWND d) { TestClickButton(d, IDCANCEL); }); // when still open
        DialogDriver driver(steps);
        return Box15FileEditDetails(nullptr, "Details", "C:\\x.zvl", info, slot, changed);
    };
    // The drawing takes any title, an empty one too.
    DrawingInfo drawing{};
    std::strcpy(drawing.title, "Old");
    EXPECT_EQ(edit(&drawing, BOX15_DRAWING_SLOT, {""}, nullptr), 1);
    EXPECT_STREQ(drawing.title, "");
    EXPECT_TRUE(Alerts().empty());

    // A library title may not begin with "*" or a blank, nor be empty; the
    // editor stays open until a good one comes.
    g_LibrarySlots.count = 2;
    std::strcpy(g_LibrarySlots.slots[0].info.title, "Parts");
    std::strcpy(g_LibrarySlots.slots[1].info.title, "Other");
    DrawingInfo library = g_LibrarySlots.slots[0].info;
    uint32_t changed = 0;
    EXPECT_EQ(edit(&library, 0, {"*star", " blank", "", "Other", "Renamed"}, &changed), 1);
    // Three refusals; a renaming is asked about, and a title another library
    // has is refused after the question.
    char taken[256];
    std::snprintf(taken, sizeof taken, eAlertTextSM[43], "Other");
    EXPECT_EQ(Alerts(), (std::vector<std::string>{eAlertTextOK[12], eAlertTextOK[12], eAlertTextOK[48],
                                                  eAlertTextOK[49], taken, eAlertTextOK[49]}));
    EXPECT_STREQ(library.title, "Renamed");
    EXPECT_EQ(changed, 1u);
    g_LibrarySlots.count = 0;
    for (int i = 0; i < 2; ++i)
        g_LibrarySlots.slots[i].info = DrawingInfo{};
}

} // namespace

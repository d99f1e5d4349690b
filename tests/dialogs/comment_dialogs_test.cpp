// COMMENTLAYOUT and COMMENTDATA: the three numbers are bounded, the
// signature is added only while the text stays below its limit, and Cancel
// keeps the caller's record and text.
#include <gtest/gtest.h>

#include <string>

#include "app/init_dialogs.h"
#include "common/dialog_driver.h"
#include "dialogs/box09_comment.h"
#include "files/file_records.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

class CommentDialogs : public LanguageDialogTest {};

DialogStep Click(int id) { return [id](HWND d) { TestClickButton(d, id); }; }

TEST_F(CommentDialogs, LayoutNumbersAreBounded)
{
    const int half = (g_ScreenWidth > 0 ? g_ScreenWidth : GetSystemMetrics(SM_CXSCREEN)) / 2;
    struct Case {
        int id;
        std::string text;
        int message; // 0: accepted
    } cases[] = {{200, std::to_string(half), 0}, {200, std::to_string(half + 1), 8}, {200, "abc", 7},
                 {201, "1", 0},  {201, "50", 0}, {201, "0", 8}, {201, "51", 8},
                 {202, "50", 0}, {202, "51", 8}};
    for (const Case &c : cases) {
        Alerts().clear();
        CommentLayout layout{};
        layout.boxWidth = 100;
        layout.boxLines = 5;
        layout.markerSize = 5;
        DialogDriver driver({[&](HWND d) {
                                 SetDlgItemTextA(d, c.id, c.text.c_str());
                                 TestClickButton(d, IDOK);
                             },
                             Click(IDCANCEL)});
        const int result = Box09CommentLayout(nullptr, "Layout", &layout);
        SCOPED_TRACE(testing::Message() << c.id << " " << c.text);
        if (c.message == 0) {
            EXPECT_EQ(result, 1);
            EXPECT_TRUE(Alerts().empty());
            const int stored = c.id == 200 ? layout.boxWidth : c.id == 201 ? layout.boxLines : layout.markerSize;
            EXPECT_EQ(stored, std::stoi(c.text));
        } else {
            EXPECT_EQ(result, 0);
            ASSERT_EQ(Alerts().size(), 1u);
            EXPECT_EQ(Alerts()[0], eAlertTextOK[c.message]);
        }
    }
}

TEST_F(CommentDialogs, TheSignatureIsAddedOnlyBelowTheLimit)
{
    CommentDataRecord data{};
    std::string stored(7990, 'x');
    std::vector<char> text(stored.begin(), stored.end());
    text.resize(8001, 0);
    size_t length = 0;
    DialogDriver driver({Click(550), [&](HWND d) {
                             length = size_t(SendDlgItemMessageA(d, 201, WM_GETTEXTLENGTH, 0, 0));
                             TestClickButton(d, IDOK);
                         }});
    ASSERT_EQ(Box09CommentData(nullptr, "Comment", &data, text.data(), 0), 1);
    EXPECT_EQ(length, 7990u);
}

TEST_F(CommentDialogs, CancelAfterTheSignatureKeepsTheCallersText)
{
    CommentDataRecord data{};
    std::snprintf(data.name, sizeof data.name, "%s", "Title");
    data.values[0] = 2;
    char text[8001] = "line one";
    std::string grown;
    DialogDriver driver({Click(550), [&](HWND d) {
                             grown = TestItemText(d, 201);
                             SetDlgItemTextA(d, 200, "Other");
                             TestClickButton(d, IDCANCEL);
                         }});
    EXPECT_EQ(Box09CommentData(nullptr, "Comment", &data, text, 0), 0);
    EXPECT_GT(grown.size(), std::strlen("line one\r\n"));
    EXPECT_STREQ(text, "line one");
    EXPECT_STREQ(data.name, "Title");
    EXPECT_EQ(data.values[0], 2);
}

} // namespace

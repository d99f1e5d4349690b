// The question before a drawing is closed or replaced, and opening a drawing.
#include "drawfile_fixture.h"

#include "files/file_commands.h"
#include "files/file_drawinginfo.h"

namespace {

uint32_t g_Answer = 0;
int g_Questions = 0;
uint32_t Answer(const char *, uint32_t, uint32_t, uint32_t)
{
    ++g_Questions;
    return g_Answer;
}

class FileCommands : public DrawFileTest {
protected:
    void SetUp() override
    {
        DrawFileTest::SetUp();
        g_AlertAnswerHook = Answer;
        g_Questions = 0;
        g_ReadOnly = 0;
    }
};

TEST_F(FileCommands, AnUnchangedDrawingClosesWithoutAQuestion)
{
    g_DrawingInfo.modified = 0;
    EXPECT_EQ(FileQueryClose(), 1);
    EXPECT_EQ(g_Questions, 0);
}

TEST_F(FileCommands, AChangedDrawingAsksAndCancelKeepsIt)
{
    TestTempFile file("file_commands_close.zvd");
    std::snprintf(g_DrawingInfo.currentPath, sizeof g_DrawingInfo.currentPath, "%s", file.Path());
    g_DrawingInfo.modified = 1;
    g_DrawingInfo.sectionsFound = FILE_SECTIONS_ALL;
    g_Answer = ALERT_CANCEL;
    EXPECT_EQ(FileQueryClose(), 0);
    g_Answer = ALERT_NO;
    EXPECT_EQ(FileQueryClose(), 1);
    EXPECT_EQ(g_DrawingInfo.modified, 1u);
    EXPECT_EQ(g_Questions, 2);
    // Yes saves it in place.
    g_Answer = ALERT_YES;
    EXPECT_EQ(FileQueryClose(), 1);
    EXPECT_EQ(g_DrawingInfo.modified, 0u);
    EXPECT_GT(file.Contents().size(), 100u);
    // An untitled drawing cannot be saved in place: it stays open.
    std::snprintf(g_DrawingInfo.currentPath, sizeof g_DrawingInfo.currentPath, "*Untitled");
    g_DrawingInfo.modified = 1;
    EXPECT_EQ(FileQueryClose(), 0);
}

TEST_F(FileCommands, OpeningADrawingNamesIt)
{
    BuildRichDrawing();
    TestTempFile file("file_commands_open.zvd");
    ASSERT_EQ(FileWriteDrawing(nullptr, file.Path(), kAll), 1);
    FileClearDrawing();
    EXPECT_EQ(FileOpenDrawing(file.Path(), 0, kAll, 1, 0), FILE_OPEN_DONE);
    EXPECT_STREQ(g_DrawingInfo.currentPath, file.Path());
    EXPECT_EQ(g_DrawingInfo.modified, 0u);
    EXPECT_GT(MemGetListTable()[0].count, 0);

    // A drawing file that cannot be read leaves a new, untitled drawing: a
    // save must not go over the file that failed.
    TestTempFile damaged("file_commands_damaged.zvd");
    TestWriteFile(damaged.Path(), file.Contents().substr(0, 40) + "\n=NOTASECTION=\n\x01\x02garbage");
    EXPECT_EQ(FileOpenDrawing(damaged.Path(), 0, kAll, 1, 0), FILE_OPEN_FAILED);
    EXPECT_EQ(g_DrawingInfo.currentPath[0], '*');
    std::snprintf(g_DrawingInfo.currentPath, sizeof g_DrawingInfo.currentPath, "%s", file.Path());

    TestTempFile other("file_commands_text.zvd");
    TestWriteFile(other.Path(), "no drawing at all");
    EXPECT_EQ(FileOpenDrawing(other.Path(), 0, kAll, 1, 0), FILE_OPEN_NOT_THIS_KIND);
    EXPECT_STREQ(g_DrawingInfo.currentPath, file.Path());
}

} // namespace

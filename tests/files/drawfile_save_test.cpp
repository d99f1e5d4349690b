// Saving over an existing drawing: the file on disk is replaced only by a
// complete new one, and a refusal names the drawing and the cause found.
#include "drawfile_fixture.h"

namespace {

class DrawFileSave : public DrawFileTest {
protected:
    // Files in the folder that a save left behind (its temporary copies).
    static int TempFilesIn(const std::string &folder)
    {
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((folder + "zvd*.tmp").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE)
            return 0;
        int n = 0;
        do
            ++n;
        while (FindNextFileA(h, &found));
        FindClose(h);
        return n;
    }
    // The save fails, the file keeps its bytes, and one alert names the
    // drawing (not a temporary file) with the cause.
    static void ExpectRefused(const TestTempFile &file, const char *cause)
    {
        DrawLog() = DrawFileLog{};
        const int before = TempFilesIn(TestTempPath("\\"));
        EXPECT_EQ(FileWriteDrawing(nullptr, file.Path(), kAll), 0);
        EXPECT_EQ(TempFilesIn(TestTempPath("\\")), before);
        ASSERT_EQ(DrawLog().alerts.size(), 1u);
        const std::string &alert = DrawLog().alerts[0];
        EXPECT_NE(alert.find("drawfile_save.zvd"), std::string::npos) << alert;
        EXPECT_EQ(alert.find(".tmp"), std::string::npos) << alert;
        EXPECT_NE(alert.find(cause), std::string::npos) << alert;
    }
};

TEST_F(DrawFileSave, AReadOnlyFileIsNotReplaced)
{
    BuildRichDrawing();
    TestTempFile file("drawfile_save.zvd");
    TestWriteFile(file.Path(), "old drawing");
    ASSERT_TRUE(SetFileAttributesA(file.Path(), FILE_ATTRIBUTE_READONLY));
    ExpectRefused(file, "read-only");
    EXPECT_EQ(file.Contents(), "old drawing");
    SetFileAttributesA(file.Path(), FILE_ATTRIBUTE_NORMAL);
    // Once writable again, it is saved.
    EXPECT_EQ(FileWriteDrawing(nullptr, file.Path(), kAll), 1);
    EXPECT_GT(file.Contents().size(), 1000u);
}

TEST_F(DrawFileSave, AFileHeldByAnotherProgramIsNotReplaced)
{
    BuildRichDrawing();
    TestTempFile file("drawfile_save.zvd");
    TestWriteFile(file.Path(), "old drawing");
    HANDLE held = CreateFileA(file.Path(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ExpectRefused(file, "another program");
    CloseHandle(held);
    EXPECT_EQ(file.Contents(), "old drawing");
}

} // namespace

// File names, temporary names and raw file access.
#include "zvi_test_util.h"

TEST_F(ZviTest, SetAndGetExtension)
{
    struct Case {
        const char *name;
        const char *extension;
        const char *result;
        const char *readBack;
    };
    const Case cases[] = {
        {"C:\\A\\B.ZVD", "bak", "C:\\A\\B.bak", "bak"},
        {"C:\\A\\B.ZVD", ".zvl", "C:\\A\\B.zvl", "zvl"},
        {"C:\\A\\B.ZVD", nullptr, "C:\\A\\B", ""},
        {"*Drawing1", "bak", "*Drawing1", ""},
        {"C:\\A.X\\B", "zvd", "C:\\A.X\\B.zvd", "zvd"},
        {"B", "zvd", "B.zvd", "zvd"},
        {"C:\\A\\B.tar.gz", "zip", "C:\\A\\B.tar.zip", "zip"},
        {"C:/A/B.ZVD", "wmf", "C:/A/B.wmf", "wmf"},
    };
    for (const auto &c : cases) {
        char out[ZVI_PATH_SIZE];
        EXPECT_EQ(ZVI_FileSetExtension(c.name, out, c.extension), 1) << c.name;
        EXPECT_STREQ(out, c.result) << c.name;
        char ext[ZVI_PATH_SIZE] = "junk";
        EXPECT_EQ(ZVI_FileGetExtension(out, ext), 1);
        EXPECT_STREQ(ext, c.readBack) << c.name;
    }
    // In place, as callers do.
    char name[ZVI_PATH_SIZE] = "C:\\A\\B.ZVD";
    EXPECT_EQ(ZVI_FileSetExtension(name, name, "bak"), 1);
    EXPECT_STREQ(name, "C:\\A\\B.bak");
    // A result that does not fit a path buffer is refused, not overrun.
    std::string tooLong(ZVI_PATH_SIZE - 3, 'n');
    char out[ZVI_PATH_SIZE];
    EXPECT_EQ(ZVI_FileSetExtension(tooLong.c_str(), out, "zvd"), 0);
    EXPECT_STREQ(out, "");
}

TEST_F(ZviTest, SplitName)
{
    struct Case {
        const char *full;
        const char *path;
        const char *name;
    };
    const Case cases[] = {
        {"C:\\A\\B.ZVD", "C:\\A\\", "B.ZVD"},
        {"*Drawing1", "*", "Drawing1"},
        {"B.ZVD", "", "B.ZVD"},
        {"C:\\B.ZVD", "C:\\", "B.ZVD"},
        {"\\\\server\\share\\x.zvd", "\\\\server\\share\\", "x.zvd"},
        {"C:\\A\\", "C:\\A\\", ""},
    };
    for (const auto &c : cases) {
        char path[ZVI_PATH_SIZE], name[ZVI_PATH_SIZE];
        EXPECT_EQ(ZVI_FileSplitName(c.full, path, name), 1);
        EXPECT_STREQ(path, c.path) << c.full;
        EXPECT_STREQ(name, c.name) << c.full;
    }
    char name[ZVI_PATH_SIZE];
    EXPECT_EQ(ZVI_FileSplitName("C:\\A\\B.ZVD", nullptr, name), 1);
    EXPECT_STREQ(name, "B.ZVD");
}

TEST_F(ZviTest, ShortName)
{
    const std::string name39 = "C:\\Folder\\Subfolder\\Another\\Drawing.zvd" + std::string();
    ASSERT_EQ(name39.size(), 39u);
    const std::string deep = "C:\\one\\two\\three\\four\\five\\six\\seven\\eight\\nine\\file01.zvd";
    const std::string longName = "C:\\folder\\" + std::string(40, 'L') + ".zvd";
    struct Case {
        std::string full;
        std::string expected;
    };
    const Case cases[] = {
        {name39, name39},
        {"*Drawing1", "Drawing1"},
        // Budget 36 - 2 - 10 = 24 characters of folder from its end.
        {deep, "C:\\...\\six\\seven\\eight\\nine\\file01.zvd"},
        // No folder fits: the drive, "\..." and the name.
        {longName, "C:\\...\\" + std::string(40, 'L') + ".zvd"},
        // Shortening that would not make it shorter keeps the full name.
        {"C:\\ab\\" + std::string(34, 'x') + ".zvd", "C:\\ab\\" + std::string(34, 'x') + ".zvd"},
    };
    for (const auto &c : cases) {
        char out[ZVI_PATH_SIZE];
        EXPECT_EQ(ZVI_FileShortName(c.full.c_str(), out), 1);
        EXPECT_EQ(std::string(out), c.expected) << c.full;
    }
    // A name longer than a path buffer is cut, never overrun.
    std::string huge = "C:\\" + std::string(600, 'h');
    std::vector<char> out(ZVI_PATH_SIZE + 8, 0x55);
    EXPECT_EQ(ZVI_FileShortName(huge.c_str(), out.data()), 1);
    EXPECT_EQ(strlen(out.data()), size_t(ZVI_PATH_SIZE - 1));
    EXPECT_EQ(out[ZVI_PATH_SIZE], 0x55);
}

TEST_F(ZviTest, ApplicationAndTemporaryPaths)
{
    char out[ZVI_PATH_SIZE];
    g_ZviServerFolder = "D:\\server";
    EXPECT_EQ(ZVI_FileApplicationPath("C:\\x\\darad4.hlp", out), 1);
    EXPECT_STREQ(out, "D:\\server\\darad4.hlp");
    g_ZviServerFolder = nullptr;
    EXPECT_EQ(ZVI_FileApplicationPath("language.dll", out), 1);
    EXPECT_EQ(ZVI_FileExist(out), 1) << out; // beside the test program

    char temp[ZVI_PATH_SIZE];
    ASSERT_EQ(ZviTempPath(temp), 1);
    size_t n = strlen(temp);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(temp[n - 1], '\\');
    struct Case {
        int (*make)(char *);
        const char *name;
    };
    for (const Case &c : {Case{ZviTempNameDrawing, "ORVYNTMP.ZVD"}, Case{ZviTempNameOld2, "ZV45TEMP.N4V"},
                          Case{ZviTempNameOld1, "PLRQ4TMP.N4V"}}) {
        ASSERT_EQ(c.make(out), 1);
        EXPECT_EQ(std::string(out), std::string(temp) + c.name);
    }
    char full[ZVI_PATH_SIZE];
    EXPECT_EQ(ZVI_FileFullPath("C:\\a\\..\\b.zvd", full), 1);
    EXPECT_STREQ(full, "C:\\b.zvd");
}

TEST_F(ZviTest, RawFileAccess)
{
    TestTempFile file("zvi_raw.bin");
    TestTempFile copy("zvi_raw_copy.bin");
    EXPECT_EQ(ZVI_FileExist(file.Path()), 0);
    EXPECT_EQ(ZVI_FileIsLocked(file.Path()), 1); // missing counts as locked
    HANDLE h = nullptr;
    ASSERT_EQ(ZVI_FileCreate(&h, file.Path()), 1);
    EXPECT_EQ(ZVI_FileIsLocked(file.Path()), 1); // in use
    EXPECT_EQ(ZVI_FileWrite(h, "0123456789", 10), 10);
    EXPECT_EQ(ZVI_FileClose(h), 1);
    EXPECT_EQ(ZVI_FileExist(file.Path()), 1);
    EXPECT_EQ(ZVI_FileIsLocked(file.Path()), 0);

    ASSERT_EQ(ZVI_FileOpen(&h, file.Path()), 1);
    EXPECT_EQ(ZVI_FileSize(h), 10u);
    EXPECT_EQ(ZVI_FileIsLocked(file.Path()), 1); // a reader does not share writing
    EXPECT_EQ(ZVI_FileSetPointer(h, 4, FILE_BEGIN), 1);
    char buffer[16] = {};
    EXPECT_EQ(ZVI_FileRead(h, buffer, 16), 6);
    EXPECT_STREQ(buffer, "456789");
    EXPECT_EQ(ZVI_FileRead(h, buffer, 16), 0);
    ZVI_FileClose(h);

    EXPECT_EQ(ZVI_FileCopy(file.Path(), copy.Path()), 1);
    EXPECT_EQ(copy.Contents(), "0123456789");
    EXPECT_EQ(ZVI_FileDelete(file.Path()), 1);
    EXPECT_EQ(ZVI_FileExist(file.Path()), 0);
    EXPECT_EQ(ZVI_FileOpen(&h, file.Path()), 0);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE); // the handle is stored in every case
}

TEST_F(ZviTest, BadPointersAreReported)
{
    struct Case {
        const char *what;
        int (*call)();
        const char *message;
    };
    static char out[ZVI_PATH_SIZE];
    const Case cases[] = {
        {"set extension", [] { return ZVI_FileSetExtension(nullptr, out, "x"); },
         "ZVI_FileSetExtension()\n\nOldName address invalid!"},
        {"set extension out", [] { return ZVI_FileSetExtension("a", nullptr, "x"); },
         "ZVI_FileSetExtension()\n\nNewName address invalid!"},
        {"get extension", [] { return ZVI_FileGetExtension("a.b", nullptr); },
         "ZVI_FileGetExtension()\n\nExtension address invalid!"},
        {"short name", [] { return ZVI_FileShortName(nullptr, out); }, "ZVI_FileShortName()\n\nFullName address invalid!"},
        {"split", [] { return ZVI_FileSplitName(nullptr, out, out); }, "ZVI_FileSplitName()\n\nFullName address invalid!"},
        {"exist", [] { return ZVI_FileExist(nullptr); }, "ZVI_FileExist()\n\nFileName address invalid!"},
        {"open", [] { return ZVI_FileOpen(nullptr, "x"); }, "ZVI_FileOpen()\n\nFileHandle address invalid!"},
        {"read", [] { return int(ZVI_FileRead(INVALID_HANDLE_VALUE, nullptr, 5)); }, "ZVI_FileRead()\n\nData address invalid!"},
        {"copy", [] { return ZVI_FileCopy("a", nullptr); }, "ZVI_FileCopy()\n\nDestinName address invalid!"},
    };
    for (const auto &c : cases) {
        DiagnosticCatcher catcher;
        EXPECT_EQ(c.call(), 0) << c.what;
        EXPECT_TRUE(catcher.Saw(c.message)) << c.what << ": " << catcher.All();
    }
}

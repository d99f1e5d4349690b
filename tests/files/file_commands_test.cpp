// The question before a drawing is closed or replaced, and opening a drawing.
#include "drawfile_fixture.h"

#include "common/dialog_driver.h"
#include "common/test_support.h"

#include "files/file_commands.h"
#include "files/file_drawinginfo.h"
#include "dialogs/box15.h"
#include "language/language.h"
#include "app/darad4.h"
#include "plugin/zvi.h"
#include "plugin/zvi_module.h"
#include "commands/command_state.h"
#include "files/image_list.h"
#include "files/image_names.h"
#include "database/object.h"

namespace {

uint32_t g_Answer = 0;
int g_Questions = 0;
std::string g_LastText;
uint32_t Answer(const char *text, uint32_t, uint32_t, uint32_t)
{
    ++g_Questions;
    g_LastText = text ? text : "";
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
        savedDrawing_ = g_DrawingInfo;
        std::memcpy(savedTime_, g_StartTimeText, sizeof savedTime_);
    }
    void TearDown() override
    {
        // New drawings stamp the clock text and the drawing's details.
        g_DrawingInfo = savedDrawing_;
        std::memcpy(g_StartTimeText, savedTime_, sizeof savedTime_);
        FileUnlockCurrent(); // the temporary files go with the test
        g_Box15ChooserHook = nullptr;
        ImageClearData();
        FileClearDrawing();
        DrawFileTest::TearDown();
    }
    CurrentDrawing savedDrawing_{};
    char savedTime_[START_TIME_TEXT_SIZE] = "";
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
    // An untitled drawing goes to Save As: cancelling the chooser keeps it open.
    std::snprintf(g_DrawingInfo.currentPath, sizeof g_DrawingInfo.currentPath, "*Untitled");
    g_DrawingInfo.modified = 1;
    g_Box15ChooserHook = [](const char *, FileDialogState *, const FileTypeSelection &) { return 0; };
    EXPECT_EQ(FileQueryClose(), 0);
    EXPECT_EQ(g_DrawingInfo.modified, 1u);
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


// The chooser answers with this path and kind.
std::string g_ChosenPath;
int g_ChosenKind = 1;
int g_Choosers = 0;
int Choose(const char *, FileDialogState *state, const FileTypeSelection &)
{
    ++g_Choosers;
    std::snprintf(state->current, sizeof state->current, "%s", g_ChosenPath.c_str());
    state->type = uint32_t(g_ChosenKind);
    return 1;
}

std::string Lower(std::string s)
{
    for (char &c : s)
        c = char(std::tolower((unsigned char)c));
    return s;
}

TEST_F(FileCommands, TheRecentListHoldsTwentyFilesOnceEach)
{
    g_ProfileLists.recentCount = 0;
    char name[64];
    for (int i = 0; i < 21; ++i) {
        std::snprintf(name, sizeof name, "C:\\plans\\plan%02d.zvd", i);
        FileSetCurrentName(name, 0);
    }
    EXPECT_EQ(g_ProfileLists.recentCount, RECENT_DRAWINGS);
    EXPECT_STREQ(g_ProfileLists.recent[0], "C:\\plans\\plan20.zvd");
    EXPECT_STREQ(g_ProfileLists.recent[19], "C:\\plans\\plan01.zvd"); // plan00 fell off
    // The third entry reopened, written in other letters: it moves to the
    // front and is not listed twice.
    FileSetCurrentName("C:\\PLANS\\PLAN18.ZVD", 0);
    EXPECT_EQ(g_ProfileLists.recentCount, RECENT_DRAWINGS);
    EXPECT_STREQ(g_ProfileLists.recent[0], "C:\\PLANS\\PLAN18.ZVD");
    EXPECT_STREQ(g_ProfileLists.recent[1], "C:\\plans\\plan20.zvd");
    EXPECT_STREQ(g_ProfileLists.recent[2], "C:\\plans\\plan19.zvd");
    for (int i = 1; i < RECENT_DRAWINGS; ++i)
        EXPECT_NE(Lower(g_ProfileLists.recent[i]), "c:\\plans\\plan18.zvd");
    // An imported file names the drawing it becomes.
    FileSetCurrentName("C:\\plans\\plan.emf", 1);
    EXPECT_EQ(Lower(g_DrawingInfo.currentPath), Lower(std::string("C:\\plans\\plan") + eDefaultNames[17] + ".zvd"));
}

TEST_F(FileCommands, AZippedDrawingSavesAndReopensWithoutTemporaryFiles)
{
    BuildRichDrawing();
    const int32_t objects = MemGetListTable()[0].count;
    TestTempFile file("file_commands_zipped.zvd");
    char unpacked[ZVI_PATH_SIZE];
    ASSERT_TRUE(ZviTempNameDrawing(unpacked));
    ASSERT_EQ(FileSaveDrawing(nullptr, file.Path(), 2, kAll, 0), 1);
    EXPECT_EQ(file.Contents().substr(0, 2), "PK");
    EXPECT_FALSE(ZVI_FileExist(unpacked));
    FileClearDrawing();
    EXPECT_EQ(FileOpenDrawing(file.Path(), 0, kAll, 1, 0), FILE_OPEN_DONE);
    EXPECT_EQ(MemGetListTable()[0].count, objects);
    EXPECT_TRUE(g_DrawingInfo.sectionsFound & FILE_MODE_ZIPPED);
    EXPECT_FALSE(ZVI_FileExist(unpacked));
    // Saved in place it stays zipped.
    ASSERT_EQ(FileSaveDrawing(nullptr, file.Path(), 1, g_DrawingInfo.sectionsFound, 0), 1);
    EXPECT_EQ(file.Contents().substr(0, 2), "PK");
    FileUnlockCurrent();
    // Nothing of the packing is left beside the file either.
    WIN32_FIND_DATAA found;
    const std::string pattern = TestTempPath("zvd*.tmp");
    HANDLE h = FindFirstFileA(pattern.c_str(), &found);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
}

// A zipped save that fails after packing (the name is taken by a folder)
// leaves neither the plain drawing nor the archive in the temporary folders.
TEST_F(FileCommands, AFailedZippedSaveLeavesNoTemporaryFile)
{
    BuildRichDrawing();
    const std::string taken = TestTempPath("file_commands_taken.zvd");
    ASSERT_TRUE(CreateDirectoryA(taken.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    char plain[ZVI_PATH_SIZE];
    ASSERT_TRUE(ZviTempNameDrawing(plain));
    EXPECT_EQ(FileSaveDrawing(nullptr, taken.c_str(), 2, kAll, 0), 0);
    EXPECT_FALSE(ZVI_FileExist(plain));
    WIN32_FIND_DATAA found;
    const std::string pattern = TestTempPath("zvd*.tmp");
    HANDLE h = FindFirstFileA(pattern.c_str(), &found);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
    EXPECT_NE(GetFileAttributesA(taken.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    RemoveDirectoryA(taken.c_str());
}

// A drawing whose file another program holds opens read-only after the
// question; it is not locked, and saving it on closing goes to Save As.
TEST_F(FileCommands, ALockedFileOpensReadOnlyAndIsSavedUnderANewName)
{
    BuildRichDrawing();
    TestTempFile file("file_commands_locked.zvd");
    ASSERT_EQ(FileWriteDrawing(nullptr, file.Path(), kAll), 1);
    FileClearDrawing();
    HANDLE other = CreateFileA(file.Path(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    g_Answer = ALERT_NO;
    EXPECT_EQ(FileOpenDrawing(file.Path(), 0, kAll, 1, 0), FILE_OPEN_FAILED);
    EXPECT_EQ(g_Questions, 1);
    EXPECT_EQ(g_LastText, eAlertTextSM[111]);
    g_Answer = ALERT_YES;
    EXPECT_EQ(FileOpenDrawing(file.Path(), 0, kAll, 1, 0), FILE_OPEN_DONE);
    EXPECT_EQ(g_ReadOnly, 1u);
    EXPECT_GT(MemGetListTable()[0].count, 0);
    CloseHandle(other);
    EXPECT_EQ(ZVI_FileIsLocked(file.Path()), 0) << "a read-only drawing holds no lock";
    static int chooserAsked;
    chooserAsked = 0;
    g_Box15ChooserHook = [](const char *, FileDialogState *, const FileTypeSelection &) {
        ++chooserAsked;
        return 0;
    };
    g_DrawingInfo.modified = 1;
    const std::string before = file.Contents();
    EXPECT_EQ(FileQueryClose(), 0); // Yes, then Save As cancelled
    EXPECT_EQ(chooserAsked, 1);
    EXPECT_EQ(file.Contents(), before) << "never saved in place";
}

TEST_F(FileCommands, ADamagedArchiveNeverReadsAStaleUnpackedDrawing)
{
    // A drawing left in the temporary folder by an earlier run.
    BuildRichDrawing();
    char stale[ZVI_PATH_SIZE];
    ASSERT_TRUE(ZviTempNameDrawing(stale));
    ASSERT_EQ(FileWriteDrawing(nullptr, stale, kAll), 1);
    FileClearDrawing();
    TestTempFile damaged("file_commands_damaged_zip.zvd");
    TestWriteFile(damaged.Path(), std::string("PK\x03\x04") + std::string(60, '\x7f'));
    EXPECT_EQ(FileOpenDrawing(damaged.Path(), 0, kAll, 1, 0), FILE_OPEN_FAILED);
    EXPECT_EQ(MemGetListTable()[0].count, 0);
    EXPECT_EQ(g_DrawingInfo.currentPath[0], '*');
    // Unpacking happens in a folder of its own, so the leftover is never
    // looked at; it goes when the program ends.
    DeleteFileA(stale);
}

// The drawing details dialog of Save As: OK with a title typed into it, or Cancel.
DialogStep DetailsOk(const char *title)
{
    return [title](HWND details) {
        SetDlgItemTextA(details, 200, title);
        TestClickButton(details, IDOK);
    };
}

TEST_F(FileCommands, SaveAsAnsweredNoKeepsTheDrawingAsItWas)
{
    TestLanguageModule language;
    TestTempFile first("file_commands_first.zvd"), copy("file_commands_copy.zvd");
    BuildRichDrawing();
    ASSERT_EQ(FileWriteDrawing(nullptr, first.Path(), kAll), 1);
    ASSERT_EQ(FileOpenDrawing(first.Path(), 0, kAll, 1, 0), FILE_OPEN_DONE);
    g_DrawingInfo.modified = 1;
    const uint32_t sections = g_DrawingInfo.sectionsFound;
    const std::string title = g_DrawingInfo.info.title;
    g_Box15ChooserHook = Choose;
    g_ChosenPath = copy.Path();
    g_ChosenKind = 1;
    {
        // Cancel in the drawing details: nothing is written or changed.
        DialogDriver driver({[](HWND details) { TestClickButton(details, IDCANCEL); }});
        EXPECT_EQ(FileSaveDrawingAs("Save As"), 0);
        EXPECT_EQ(driver.stepsDone(), 1);
        EXPECT_FALSE(ZVI_FileExist(copy.Path()));
        EXPECT_STREQ(g_DrawingInfo.currentPath, first.Path());
        EXPECT_EQ(g_DrawingInfo.modified, 1u);
    }
    {
        g_Answer = ALERT_NO; // not the current drawing
        DialogDriver driver({DetailsOk("Copy title")});
        EXPECT_EQ(FileSaveDrawingAs("Save As"), 1);
        EXPECT_EQ(driver.stuckDialogs(), 0);
        EXPECT_GT(copy.Contents().size(), 100u);
        DrawingInfo written{};
        ASSERT_EQ(FileReadDrawingInfo(copy.Path(), &written), 1);
        EXPECT_STREQ(written.title, "Copy title");
        EXPECT_EQ(g_DrawingInfo.info.title, title);
        EXPECT_STREQ(g_DrawingInfo.currentPath, first.Path());
        EXPECT_EQ(g_DrawingInfo.modified, 1u);
        EXPECT_EQ(g_DrawingInfo.sectionsFound, sections);
    }
    {
        // Yes: the copy becomes the drawing, with the details given.
        g_Answer = ALERT_YES;
        DialogDriver driver({DetailsOk("Plan B")});
        EXPECT_EQ(FileSaveDrawingAs("Save As"), 1);
        EXPECT_STREQ(g_DrawingInfo.currentPath, copy.Path());
        EXPECT_STREQ(g_DrawingInfo.info.title, "Plan B");
        EXPECT_EQ(g_DrawingInfo.modified, 0u);
    }
    {
        // An untitled changed drawing asked about on close goes to Save As.
        FileUnlockCurrent();
        std::snprintf(g_DrawingInfo.currentPath, sizeof g_DrawingInfo.currentPath, "*Untitled");
        g_DrawingInfo.modified = 1;
        g_Choosers = 0;
        DialogDriver driver({DetailsOk("Plan C")});
        EXPECT_EQ(FileQueryClose(), 1);
        EXPECT_EQ(g_Choosers, 1);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    FileUnlockCurrent();
    g_Box15ChooserHook = nullptr;
}

TEST(FileChooser, TheFiltersFollowTheOfferedKinds)
{
    const FileTypeSelection onlyDrawings{0x3, 0, 0, 1, -1, CHOOSER_OPEN};
    FileDialogState state{};
    state.type = 9; // remembered, not offered: the fallback is preselected
    int seen = -1;
    g_Box15ChooserHook = [](const char *, FileDialogState *s, const FileTypeSelection &) { return int(s->type) + 100; };
    seen = Box15FileGetName(nullptr, "", &state, onlyDrawings);
    g_Box15ChooserHook = nullptr;
    EXPECT_EQ(seen, 101);
    EXPECT_EQ(Box15TypeFromFilterIndex(0, onlyDrawings), 0);
    EXPECT_EQ(Box15TypeFromFilterIndex(1, onlyDrawings), 1);
    EXPECT_EQ(Box15TypeFromFilterIndex(2, onlyDrawings), 1); // beyond: the fallback

    ChooserFilters f;
    Box15BuildFilters(FileTypeSelection{0x201, 0, 0, 9, -1, CHOOSER_SAVE}, &f);
    ASSERT_EQ(f.count, 2);
    EXPECT_STREQ(f.extensions[0], "*");
    EXPECT_STREQ(f.extensions[1], "emf");
    EXPECT_EQ(std::string(f.text + std::strlen(f.text) + 1), "*.*");

    struct Case { const char *name, *extension, *expected; };
    const Case cases[] = {
        {"plan.zvd", "emf", "plan.emf"},
        {"plan.zvd", "*", "plan.zvd"},
        {"plans\\", "emf", "plans\\"},
        {"", "emf", ""},
    };
    for (const Case &c : cases) {
        char out[ZVI_PATH_SIZE];
        Box15NameForFilter(c.name, c.extension, out, sizeof out);
        EXPECT_STREQ(out, c.expected) << c.name;
    }
}

void Put32(std::string &bytes, size_t at, uint32_t v) { std::memcpy(&bytes[at], &v, 4); }

// 2 x 1 pixels at 24 bits: one padded row of 8 bytes.
std::string TinyBmp()
{
    std::string bmp(14 + 40 + 8, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    Put32(bmp, 2, uint32_t(bmp.size()));
    Put32(bmp, 10, 54);
    Put32(bmp, 14, 40);
    Put32(bmp, 18, 2);
    Put32(bmp, 22, 1);
    Put32(bmp, 26, 1 | 24 << 16); // one plane, 24 bits
    return bmp;
}

const char *BitmapNameOfObject(int n)
{
    Unit *u = g_ObjectLists[LIST_DRAWING].head;
    for (int i = 0; u && i < n; ++i)
        u = u->next;
    return u ? static_cast<const BitmapRefData *>(ElementPayload(UnitFirstElement(u)))->name : "";
}

TEST_F(FileCommands, ABitmapOpensAsADrawingWithTheFileEmbedded)
{
    std::string bmp = TinyBmp();
    auto put32 = [&](size_t at, uint32_t v) { Put32(bmp, at, v); };
    TestTempFile file("file_commands_picture.bmp");
    TestWriteFile(file.Path(), bmp);
    EXPECT_EQ(FileOpenDrawing(file.Path(), 0, kAll, 1, 0), FILE_OPEN_DONE);
    EXPECT_EQ(MemGetListTable()[0].count, 1);
    ASSERT_EQ(ImageDataCount(), 1);
    EXPECT_EQ(std::string((const char *)ImageDataAt(0)->bytes, ImageDataAt(0)->size), bmp);
    EXPECT_NE(std::string(g_DrawingInfo.currentPath).find(".zvd"), std::string::npos);

    // A damaged header is refused, saying why, before anything is replaced
    // or added.
    put32(26, 1 | 7 << 16);
    TestWriteFile(file.Path(), bmp);
    for (int merge : {0, 1}) {
        g_Questions = 0;
        EXPECT_EQ(FileOpenDrawing(file.Path(), 11, kAll, !merge, merge), FILE_OPEN_FAILED);
        EXPECT_EQ(MemGetListTable()[0].count, 1);
        EXPECT_EQ(g_Questions, 1);
        EXPECT_NE(g_LastText.find("bits per pixel"), std::string::npos) << g_LastText;
    }
}
} // namespace

namespace {

// An embedded image's name: "#B <installation>-" and twelve hexadecimal
// digits; the user's path never goes into the drawing.
void ExpectUniqueName(const char *name)
{
    const std::string n = name;
    const std::string head = std::string("#B ") + INSTALLATION_TEXT + "-";
    ASSERT_EQ(n.rfind(head, 0), 0u) << n;
    const std::string digits = n.substr(head.size());
    EXPECT_EQ(digits.size(), 12u) << n;
    EXPECT_EQ(digits.find_first_not_of("0123456789abcdef"), std::string::npos) << n;
    EXPECT_EQ(n.find('\\'), std::string::npos) << n;
}

TEST_F(FileCommands, UniqueAndTemporaryBitmapNames)
{
    char first[IMAGE_UNIQUE_NAME_SIZE], second[IMAGE_UNIQUE_NAME_SIZE];
    ImageMakeUniqueName(first);
    ImageMakeUniqueName(second);
    ExpectUniqueName(first);
    ExpectUniqueName(second);
    // Made in the same second they differ in the counter, the last four digits.
    const std::string a = first, b = second;
    EXPECT_NE(a, b);
    if (a.substr(0, a.size() - 4) == b.substr(0, b.size() - 4))
        EXPECT_EQ(std::stoul(b.substr(b.size() - 4), nullptr, 16),
                  (std::stoul(a.substr(a.size() - 4), nullptr, 16) + 1) & 0xFFFF);
    char temp[MAX_PATH], folder[MAX_PATH];
    ImageMakeTempName(temp);
    GetTempPathA(sizeof folder, folder);
    EXPECT_EQ(std::string(temp), std::string(folder) + "ZV45TEMP.BMP");
}

// Added to the drawing, a bitmap is embedded (Yes) or linked (No); a linked
// file that moved into a bitmap folder is found there.
TEST_F(FileCommands, AMergedBitmapIsEmbeddedOrLinkedAndALinkedOneIsFoundWhereItMoved)
{
    const std::string bmp = TinyBmp();
    TestTempFile file("file_commands_merge.bmp");
    TestWriteFile(file.Path(), bmp);
    g_ConstructionPoints[0] = {5, 7, 0, 0};
    g_Answer = ALERT_CANCEL;
    EXPECT_EQ(FileOpenDrawing(file.Path(), FILE_KIND_BMP, kAll, 0, 1), FILE_OPEN_FAILED);
    EXPECT_EQ(MemGetListTable()[0].count, 0);
    g_Answer = ALERT_YES;
    EXPECT_EQ(FileOpenDrawing(file.Path(), FILE_KIND_BMP, kAll, 0, 1), FILE_OPEN_DONE);
    EXPECT_EQ(ImageDataCount(), 1);
    ExpectUniqueName(BitmapNameOfObject(0));
    g_Answer = ALERT_NO;
    EXPECT_EQ(FileOpenDrawing(file.Path(), FILE_KIND_BMP, kAll, 0, 1), FILE_OPEN_DONE);
    EXPECT_EQ(MemGetListTable()[0].count, 2);
    EXPECT_EQ(ImageDataCount(), 1) << "a linked file is not stored";
    EXPECT_STREQ(BitmapNameOfObject(1), file.Path());
    ASSERT_NE(ImageFindBitmap(file.Path(), 1), nullptr);

    // The file moves into the first remembered bitmap folder.
    const std::string folder = TestTempPath("file_commands_pictures\\");
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string moved = folder + "file_commands_merge.bmp";
    TestWriteFile(moved, bmp);
    DeleteFileA(file.Path());
    FileDialogState &bitmaps = g_Options.fileDialogs[FD_BMP];
    const FileDialogState saved = bitmaps;
    std::snprintf(bitmaps.folders[0], sizeof bitmaps.folders[0], "%s", folder.c_str());
    ImageFreeBitmaps(0);
    const BitmapEntry *found = ImageFindBitmap(file.Path(), 1);
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(found->name, moved.c_str());
    EXPECT_EQ(ImageFindBitmap(file.Path(), 0), found) << "found again by its old name";
    bitmaps = saved;

    // Embedding the selected linked bitmap takes the file into the drawing.
    g_ObjectLists[LIST_DRAWING].head->next->flags |= UNIT_SELECTED;
    EXPECT_EQ(ObjectEmbedBitmaps(UNIT_SELECTED), 0) << "nothing selected that is linked and found";
    bitmaps.folders[0][0] = 0;
    std::snprintf(bitmaps.folders[0], sizeof bitmaps.folders[0], "%s", folder.c_str());
    EXPECT_EQ(ObjectEmbedBitmaps(UNIT_SELECTED), 1);
    bitmaps = saved;
    ExpectUniqueName(BitmapNameOfObject(1));
    EXPECT_STRNE(BitmapNameOfObject(0), BitmapNameOfObject(1));
    EXPECT_EQ(ImageDataCount(), 2);
    ImageFreeBitmaps(1);
    DeleteFileA(moved.c_str());
    RemoveDirectoryA(folder.c_str());
}

// Only images that some Bitmap object names stay loaded; the BITMAP section
// writes the stored images of the objects it writes.
TEST_F(FileCommands, UnusedImagesArePurgedAndOnlyUsedOnesAreMarkedForWriting)
{
    const std::string bmp = TinyBmp();
    TestTempFile linked("file_commands_purge_a.bmp"), dropped("file_commands_purge_b.bmp"),
        loose("file_commands_purge_c.bmp");
    for (const TestTempFile *f : {&linked, &dropped, &loose})
        TestWriteFile(f->Path(), bmp);
    g_ConstructionPoints[0] = {5, 7, 0, 0};
    g_Answer = ALERT_NO;
    ASSERT_EQ(FileOpenDrawing(linked.Path(), FILE_KIND_BMP, kAll, 0, 1), FILE_OPEN_DONE);
    ASSERT_EQ(FileOpenDrawing(dropped.Path(), FILE_KIND_BMP, kAll, 0, 1), FILE_OPEN_DONE);
    g_Answer = ALERT_YES;
    ASSERT_EQ(FileOpenDrawing(linked.Path(), FILE_KIND_BMP, kAll, 0, 1), FILE_OPEN_DONE);
    ASSERT_EQ(FileOpenDrawing(dropped.Path(), FILE_KIND_BMP, kAll, 0, 1), FILE_OPEN_DONE);
    ASSERT_EQ(ImageDataCount(), 2);
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(ImageFindBitmap(BitmapNameOfObject(i), 1), nullptr);
    ASSERT_NE(ImageFindBitmap(loose.Path(), 1), nullptr);
    ASSERT_EQ(g_BitmapList.count, 5);

    // Writing: all objects, only the selected one, or only blocks (none here).
    Unit *fourth = g_ObjectLists[LIST_DRAWING].tail;
    fourth->flags |= UNIT_SELECTED;
    const int second = std::strcmp(ImageDataAt(1)->name, BitmapNameOfObject(3)) == 0 ? 1 : 0;
    struct Case {
        uint32_t sections;
        int32_t marked;
        std::vector<char> flags;
    };
    std::vector<char> only(2, 0);
    only[size_t(second)] = 1;
    for (const Case &c : {Case{FILE_SECTION_OBJECT, 2, {1, 1}}, Case{FILE_SECTION_OBJECT | FILE_MODE_SELECTION, 1, only},
                          Case{FILE_SECTION_BLOCK, 0, {0, 0}}}) {
        std::vector<char> flags;
        EXPECT_EQ(ImageMarkUsed(c.sections, &flags), c.marked) << std::hex << c.sections;
        EXPECT_EQ(flags, c.flags) << std::hex << c.sections;
    }

    // Purging: the loose image and the one whose objects went are dropped,
    // whatever the letter case of the names.
    CharUpperA(static_cast<BitmapRefData *>(ElementPayload(UnitFirstElement(g_ObjectLists[LIST_DRAWING].head)))->name);
    MemListDelete(LIST_DRAWING, g_ObjectLists[LIST_DRAWING].head->next);
    ImagePurgeUnused();
    EXPECT_EQ(g_BitmapList.count, 3);
    EXPECT_NE(ImageFindBitmap(linked.Path(), 0), nullptr);
    EXPECT_EQ(ImageFindBitmap(dropped.Path(), 0), nullptr);
    EXPECT_EQ(ImageFindBitmap(loose.Path(), 0), nullptr);
    ImageFreeBitmaps(1);
}

std::string g_FilterPath;
int g_FilterFlags = -1;
int ZVI_CALL ImportAnything(const char *path, int merge)
{
    g_FilterPath = path;
    g_FilterFlags = merge;
    return 0;
}
int ZVI_CALL ExportAnything(const char *path, int selection)
{
    g_FilterPath = path;
    g_FilterFlags = selection;
    return 1;
}

// A file nobody else reads goes to the import filters; an export kind goes
// to its export filter with the selection mask.
TEST_F(FileCommands, PluginFiltersReadAndWriteTheirFormats)
{
    LanguageExchangeBlock &b = g_LanguageInitBlock;
    const int32_t imports = b.importCount, exports = b.exportCount;
    ModuleData record{};
    record.active = 1;
    record.fileType = "Test files";
    record.filePattern = "*.tst";
    record.fileExtension = "tst";
    // Straight into the tables, as the plug-in loader puts them.
    record.importProc = reinterpret_cast<void *>(ImportAnything);
    b.importFormats[b.importCount++] = record;
    record.importProc = nullptr;
    record.exportProc = reinterpret_cast<void *>(ExportAnything);
    b.exportFormats[b.exportCount++] = record;

    TestTempFile file("file_commands_foreign.tst");
    TestWriteFile(file.Path(), "not a drawing");
    g_Questions = 0;
    EXPECT_EQ(FileOpenDrawing(file.Path(), 0, kAll, 1, 0), FILE_OPEN_DONE);
    EXPECT_EQ(g_FilterPath, file.Path());
    EXPECT_EQ(g_FilterFlags, 0);
    EXPECT_EQ(g_Questions, 0);
    EXPECT_NE(std::string(g_DrawingInfo.currentPath).find("file_commands_foreign"), std::string::npos);

    EXPECT_EQ(FileSaveDrawing(nullptr, file.Path(), FILE_KIND_EXPORT + exports, FILE_MODE_SELECTION, 0),
              1);
    EXPECT_EQ(g_FilterFlags, 4);
    b.importCount = imports;
    b.exportCount = exports;
}

} // namespace

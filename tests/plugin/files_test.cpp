// The bitmap list, the drawing as a file, command icons, block previews and
// the window checks as plug-ins reach them.
#include "plugin_fixture.h"

#include <cstring>
#include <string>

#include "app/window.h"
#include "common/test_files.h"
#include "dialogs/alert.h"
#include "files/file.h"
#include "files/file_commands.h"
#include "files/file_drawinginfo.h"
#include "files/image_file.h"
#include "files/image_list.h"
#include "files/zvi.h"

namespace {

uint32_t g_Answer = ALERT_CANCEL;
int g_Questions = 0;
uint32_t Answer(const char *, uint32_t, uint32_t, uint32_t)
{
    ++g_Questions;
    return g_Answer;
}

// A 2 x 2 bitmap of 24 bits with its file header: 54 bytes of headers, two
// rows of 8 bytes.
std::string SmallBmp()
{
    std::string b(54 + 16, '\0');
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, uint32_t(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    b[26] = 1;
    b[28] = 24;
    put32(34, 16);
    for (size_t i = 54; i < b.size(); ++i)
        b[i] = char(i * 7);
    return b;
}

class PluginFiles : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = Answer;
        g_Answer = ALERT_CANCEL;
        g_Questions = 0;
        savedDrawing_ = g_DrawingInfo;
        ImageFreeBitmaps(1);
        ImageClearData();
    }
    void TearDown() override
    {
        ImageFreeBitmaps(1);
        ImageClearData();
        FileUnlockCurrent();
        g_DrawingInfo = savedDrawing_;
        g_AlertAnswerHook = savedHook_;
        PluginTest::TearDown();
    }
    AlertAnswerHook savedHook_ = nullptr;
    CurrentDrawing savedDrawing_{};
};

TEST_F(PluginFiles, ABitmapFileReadInWrittenOutAndDeleted)
{
    TestTempFile source("zvi_bitmap_in.bmp"), target("zvi_bitmap_out.bmp");
    TestWriteFile(source.Path(), SmallBmp());
    char first[ZVI_TEXT_SIZE] = "", second[ZVI_TEXT_SIZE] = "";
    ASSERT_EQ(ZVI_BitmapReadFromFile(0, source.Path(), first), 1);
    ASSERT_EQ(ZVI_BitmapReadFromFile(0, source.Path(), second), 1);
    EXPECT_EQ(first[0], '#');
    EXPECT_STRNE(first, second); // each read gets a name of its own
    EXPECT_EQ(ZVI_BitmapGetNumber(), 2);
    char name[ZVI_TEXT_SIZE];
    EXPECT_EQ(ZVI_BitmapGetName(0, 1, name), 1);
    EXPECT_STREQ(name, second);

    // The file written holds the same DIB behind a header that points at its rows.
    ASSERT_EQ(ZVI_BitmapWriteToFile(0, 0, target.Path()), 1);
    const std::string written = target.Contents();
    ASSERT_EQ(written.size(), SmallBmp().size());
    uint32_t fileSize = 0, bitsOffset = 0;
    std::memcpy(&fileSize, &written[2], 4);
    std::memcpy(&bitsOffset, &written[10], 4);
    EXPECT_EQ(written.substr(0, 2), "BM");
    EXPECT_EQ(fileSize, written.size());
    EXPECT_EQ(bitsOffset, 54u);
    EXPECT_EQ(written.substr(54), SmallBmp().substr(54));
    EXPECT_EQ(ImageValidateDib(reinterpret_cast<const uint8_t *>(written.data()), written.size(), true, nullptr),
              IMAGE_DIB_OK);

    // Deleting the first moves the second up.
    EXPECT_EQ(ZVI_BitmapDelete(0, 0), 1);
    EXPECT_EQ(ZVI_BitmapGetNumber(), 1);
    EXPECT_EQ(ZVI_BitmapGetName(0, 0, name), 1);
    EXPECT_STREQ(name, second);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PluginFiles, BitmapRefusals)
{
    TestTempFile source("zvi_bitmap_bad.bmp");
    TestWriteFile(source.Path(), SmallBmp().substr(0, 60)); // rows cut short
    char name[ZVI_TEXT_SIZE];
    EXPECT_EQ(ZVI_BitmapReadFromFile(0, source.Path(), name), 0);
    EXPECT_EQ(TakeReason(), "Bitmap file invalid!");
    EXPECT_EQ(ZVI_BitmapGetNumber(), 0);
    struct Refusal {
        int (*call)();
        const char *reason;
    } refusals[] = {
        {[] { return ZVI_BitmapGetName(0, 0, reinterpret_cast<char *>(GuardedBuffer(249))); },
         "BitmapName address invalid!"},
        {[] {
             char n[ZVI_TEXT_SIZE];
             return ZVI_BitmapGetName(0, 0, n);
         },
         "BitmapIndex out of range!"},
        {[] { return ZVI_BitmapReadFromFile(0, "x.bmp", reinterpret_cast<char *>(GuardedBuffer(100))); },
         "BitmapName address invalid!"},
        {[] {
             char n[ZVI_TEXT_SIZE];
             return ZVI_BitmapReadFromFile(0, nullptr, n);
         },
         "FileName address invalid!"},
        {[] { return ZVI_BitmapWriteToFile(0, 0, "x.bmp"); }, "BitmapIndex out of range!"},
        {[] { return ZVI_BitmapDelete(0, -1); }, "BitmapIndex out of range!"},
    };
    for (const Refusal &r : refusals) {
        SCOPED_TRACE(r.reason);
        EXPECT_EQ(r.call(), 0);
        EXPECT_EQ(TakeReason(), r.reason);
    }
    // An entry's name may be longer than a plug-in's buffer: it is refused,
    // not cut into the name of another bitmap.
    const std::string bmp = SmallBmp();
    const std::string longName = "#B " + std::string(252, 'n');
    ASSERT_EQ(ImageStoreData(longName.c_str(), reinterpret_cast<const uint8_t *>(bmp.data()), uint32_t(bmp.size())),
              1);
    ASSERT_NE(ImageFindBitmap(longName.c_str(), 0), nullptr);
    std::string buffer(ZVI_TEXT_SIZE, 'x');
    EXPECT_EQ(ZVI_BitmapGetName(0, 0, buffer.data()), 0);
    EXPECT_EQ(TakeReason(), "BitmapName too long!");
    EXPECT_EQ(buffer, std::string(ZVI_TEXT_SIZE, 'x'));
}

TEST_F(PluginFiles, ACancelledSaveQuestionOpensAndMakesNothing)
{
    TestTempFile file("zvi_open_cancel.zvd");
    TestWriteFile(file.Path(), "not opened");
    g_DrawingInfo.modified = 1;
    std::strcpy(g_DrawingInfo.currentPath, "*Untitled");
    EXPECT_EQ(ZVI_DrawingOpenFile(0, file.Path(), 0, 1), 0);
    EXPECT_EQ(ZVI_DrawingNewFile(0, 1), 0);
    EXPECT_EQ(g_Questions, 2);
    EXPECT_EQ(g_DrawingInfo.modified, 1u);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(ZVI_DrawingNewFile(1, 0), 0);
    EXPECT_EQ(TakeReason(), "Invalid drawing number!");
}

TEST_F(PluginFiles, SavingAskBeforeOverwritingAndTakesTheName)
{
    TestTempFile file("zvi_save.zvd");
    TestWriteFile(file.Path(), "old");
    g_DrawingInfo.modified = 1;
    std::strcpy(g_DrawingInfo.currentPath, "*Untitled");
    g_Answer = ALERT_CANCEL;
    EXPECT_EQ(ZVI_DrawingSaveFile(0, file.Path(), 0, 1), 0);
    EXPECT_EQ(g_Questions, 1);
    EXPECT_EQ(file.Contents(), "old");
    g_Answer = ALERT_GO_ON_6;
    ASSERT_EQ(ZVI_DrawingSaveFile(0, file.Path(), 0, 1), 1);
    EXPECT_NE(file.Contents(), "old");
    EXPECT_EQ(lstrcmpiA(g_DrawingInfo.currentPath, file.Path()), 0);
    EXPECT_EQ(lstrcmpiA(g_LockedPath, file.Path()), 0);
    EXPECT_EQ(g_DrawingInfo.modified, 0u);
    EXPECT_EQ(g_DrawingInfo.fileVersion, FILE_VERSION_460);
    // Without a name the drawing's own is taken, without asking.
    g_Questions = 0;
    EXPECT_EQ(ZVI_DrawingSaveFile(0, nullptr, 0, 0), 1);
    EXPECT_EQ(g_Questions, 0);
    EXPECT_TRUE(Messages().empty());
    FileUnlockCurrent(); // before the file goes
}

TEST_F(PluginFiles, WindowModesAndTheViewWindowCanBeActivated)
{
    const int mode = ZVI_WindowGetMode();
    EXPECT_EQ(ZVI_WindowSetMode(0, 8), 0);
    EXPECT_EQ(TakeReason(), "Mode invalid!");
    EXPECT_EQ(ZVI_WindowSetMode(0, -1), 0);
    EXPECT_EQ(TakeReason(), "Mode invalid!");
    EXPECT_EQ(ZVI_WindowGetMode(), mode);
    const int active = ZVI_WindowGetActive();
    EXPECT_EQ(ZVI_WindowSetActive(0, 999), 1);
    EXPECT_EQ(ZVI_WindowGetActive(), 999);
    EXPECT_EQ(ZVI_WindowSetActive(0, WINDOW_DRAW_COUNT), 0);
    // The box names the file of the refusing export, not the checks'.
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].rfind("zvi_service.cpp\\", 0), 0u) << Messages()[0];
    EXPECT_EQ(TakeReason(), "WindowNum invalid!");
    EXPECT_EQ(ZVI_WindowGetActive(), 999);
    EXPECT_EQ(ZVI_WindowSetActive(0, active), 1);
}

TEST_F(PluginFiles, BlockPreviewRefusals)
{
    ZVI_DrawBlock(nullptr, 0, "B", "*");
    EXPECT_EQ(TakeReason(), "Window handle invalid!");
    const HWND control = GetDesktopWindow();
    ZVI_DrawBlock(control, 0, "B", nullptr);
    EXPECT_EQ(TakeReason(), "LibraryName address invalid!");
    const std::string unterminated(UNIT_NAME_SIZE, 'b');
    ZVI_DrawBlock(control, 0, unterminated.c_str(), "*");
    EXPECT_EQ(TakeReason(), "BlockName address invalid!");
}

// The colour of the icon's pixel (x, y).
COLORREF IconPixel(HBITMAP icon, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, icon);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

TEST_F(PluginFiles, APluginCommandsIconIsCutFromItsBitmap)
{
    // A strip of two white cells, the second with a black square in its middle.
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, 48, 24);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, strip);
    PatBlt(dc, 0, 0, 48, 24, WHITENESS);
    PatBlt(dc, 24 + 8, 8, 8, 8, BLACKNESS);
    SelectObject(dc, old);
    DeleteDC(dc);

    ModuleData m{};
    m.defaultEntry.idFlags = ZVI_MENU_PLUGINS;
    m.defaultEntry.bitmap = strip;
    m.defaultEntry.cellX = 24;
    m.defaultEntry.iconChoice = MODULE_ICON_OWN_CELL;
    AddModule(m);
    constexpr int COMMAND = 1300; // module 0, its default entry
    HBITMAP icon = ZVI_GetCommandIcon(COMMAND);
    ASSERT_NE(icon, nullptr);
    BITMAP info{};
    GetObjectA(icon, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 40);
    EXPECT_EQ(info.bmHeight, 40);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(IconPixel(icon, 20, 20), RGB(0, 0, 0)); // the square, centred
    EXPECT_EQ(IconPixel(icon, 10, 10), RGB(255, 255, 255));
    EXPECT_EQ(IconPixel(icon, 2, 2), RGB(255, 255, 255));
    DeleteObject(icon);
    // A bitmap the plug-in has deleted is not touched: the program's icon.
    DeleteObject(strip);
    icon = ZVI_GetCommandIcon(COMMAND);
    ASSERT_NE(icon, nullptr);
    DeleteObject(icon);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PluginFiles, AFailedRegistryWriteIsNoSuccess)
{
    ASSERT_EQ(ZVI_ProfileWriteKeyOpen("ZviFailingWrite", 0), 1);
    // The key goes while it is open: nothing can be written into it any more.
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quirn++Valsev\\Plug-Ins\\ZviFailingWrite"), ERROR_SUCCESS);
    EXPECT_EQ(ZVI_ProfileWriteInt("Number", 5), 0);
    EXPECT_EQ(ZVI_ProfileWriteString("Text", "value"), 0);
    const uint8_t data[16] = {1, 2, 3};
    EXPECT_EQ(ZVI_ProfileWriteData("Data", data, sizeof data), 0);
    ZVI_ProfileWriteKeyClose();
    EXPECT_TRUE(Messages().empty());
}

} // namespace

// The File menu by its numbers: Save's older-format and read-only branches,
// printing the area of two corners, a failed print, and the close after a
// print asked for on the command line.
#include "command_fixture.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/darad4.h"
#include "app/system.h"
#include "commands/command.h"
#include "commands/input_points.h"
#include "commands/menu.h"
#include "common/test_alerts.h"
#include "common/test_files.h"
#include "common/test_objects.h"
#include "common/test_printer.h"
#include "dialogs/box15.h"
#include "display/print.h"
#include "files/file_drawinginfo.h"
#include "files/zvi.h"
#include "language/language.h"

namespace {

int s_Choosers = 0;
int RefuseChooser(const char *, FileDialogState *, const FileTypeSelection &)
{
    ++s_Choosers;
    return 0;
}

class MenuFile : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
        ASSERT_EQ(ZVI_InitFileBuffers(), 1);
        savedChooser_ = g_Box15ChooserHook;
        g_Box15ChooserHook = RefuseChooser;
        s_Choosers = 0;
        g_ReadOnly = 0;
    }
    void TearDown() override
    {
        g_Box15ChooserHook = savedChooser_;
        g_ReadOnly = 0;
        g_StartPrint = 0;
        FreeStorage();
        CommandTest::TearDown();
    }
    Box15ChooserHook savedChooser_ = nullptr;
};

// Save: a drawing of an older format asks first (No: Save As, Yes: over the
// file after the file-exists question); a read-only one goes to Save As.
TEST_F(MenuFile, SaveOfAnOlderOrReadOnlyDrawing)
{
    TestTempFile file("older.zvd");
    {
        FILE *f = std::fopen(file.Path(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("old contents", f);
        std::fclose(f);
    }
    std::snprintf(g_DrawingInfo.currentPath, sizeof g_DrawingInfo.currentPath, "%s", file.Path());
    TestNewLine(0, 0, 10, 10);
    g_DrawingInfo.fileVersion = 450;
    TestAlerts alerts;
    alerts.answer(ALERT_NO);
    MenuFileCommand(main_, 102);
    EXPECT_EQ(alerts.texts().size(), 1u);
    EXPECT_EQ(alerts.texts()[0], eAlertTextSM[61]);
    EXPECT_EQ(s_Choosers, 1) << "No saves under another name";
    EXPECT_EQ(file.Contents(), "old contents");

    alerts.clear();
    alerts.answer(0); // each box's first code: Yes, then go on over the existing file
    g_DrawingInfo.modified = 1;
    MenuFileCommand(main_, 102);
    EXPECT_EQ(s_Choosers, 1);
    EXPECT_EQ(alerts.texts().size(), 2u) << "the older format, then the file-exists question";
    const std::string written = file.Contents();
    EXPECT_NE(written, "old contents") << "Yes writes the current format over the file";
    EXPECT_EQ(g_DrawingInfo.modified, 0u);

    alerts.clear();
    g_ReadOnly = 1;
    g_DrawingInfo.fileVersion = 460;
    MenuFileCommand(main_, 102);
    EXPECT_TRUE(alerts.texts().empty());
    EXPECT_EQ(s_Choosers, 2) << "a read-only drawing is saved under another name";
}

// The print dialog's stand-in: it confirms (or not) and remembers the area
// it was shown.
struct Seen {
    int32_t userArea = -1;
    double rect[4] = {};
    int calls = 0;
};
Seen s_Seen;
uint32_t s_Confirm = 0;
uint32_t RecordLayout(HWND, const char *)
{
    const PrintSettings &s = g_DrawingSettings.print;
    s_Seen.userArea = s.userArea;
    std::memcpy(s_Seen.rect, s.userRect, sizeof s_Seen.rect);
    ++s_Seen.calls;
    return s_Confirm;
}

class MenuFilePrint : public MenuFile {
protected:
    void SetUp() override
    {
        MenuFile::SetUp();
        savedLayout_ = g_PrintLayoutDialog;
        g_PrintLayoutDialog = RecordLayout;
        s_Seen = Seen{};
        s_Confirm = 0;
    }
    void TearDown() override
    {
        g_PrintLayoutDialog = savedLayout_;
        MenuFile::TearDown();
    }
    PrintLayoutDialog savedLayout_ = nullptr;
};

TEST_F(MenuFilePrint, ThePrintAreaIsTheRectangleOfTheTwoCornersWhicheverCameFirst)
{
    g_ConstructionPoints[0].x = 80, g_ConstructionPoints[0].y = 10;
    g_ConstructionPoints[1].x = 20, g_ConstructionPoints[1].y = 60;
    MenuFileCommand(main_, 124);
    ASSERT_EQ(s_Seen.calls, 1);
    EXPECT_EQ(s_Seen.userArea, 1);
    const double expected[4] = {20, 10, 80, 60};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(s_Seen.rect[k], expected[k]) << k;
    CommandExecute(123, 0);
    EXPECT_EQ(s_Seen.userArea, 0) << "the whole drawing again";
    EXPECT_TRUE(Posted().empty()) << "printing from the menu never closes the program";
}

TEST_F(MenuFilePrint, AFailedPrintSaysSoAndAStartUpPrintClosesAllTheSame)
{
    TestNewLine(10, 10, 100, 100);
    s_Confirm = 1;
    char saved[PRINT_NAME_SIZE];
    lstrcpynA(saved, g_Printer.device, PRINT_NAME_SIZE);
    lstrcpynA(g_Printer.device, "no such printer", PRINT_NAME_SIZE);
    TestAlerts alerts;
    g_StartPrint = 1;
    MenuFileCommand(main_, 123);
    lstrcpynA(g_Printer.device, saved, PRINT_NAME_SIZE);
    ASSERT_EQ(alerts.texts().size(), 1u);
    EXPECT_EQ(alerts.texts()[0], eAlertTextSM[24]);
    EXPECT_EQ(g_StartPrint, 0u) << "the request is used up";
    EXPECT_EQ(Posted(), std::vector<int>{POSTED_CLOSE});
}

// The area of two corners printed into the PostScript file: only what lies
// in it is on the page.
TEST_F(MenuFilePrint, TheAreaIsWhatIsPrinted)
{
    if (TestGhostscriptPath().empty())
        GTEST_SKIP() << "Ghostscript (/usr/bin/gs) is not installed: the printed PostScript is not checked";
    ASSERT_EQ(TestAddPostScriptPrinter(), 1);
    PrintInit();
    PrintGetDefaultPrinter(nullptr);
    TestTempFile out("area.prt");
    PrintSettings &p = g_DrawingSettings.print;
    p.toFile = 1;
    lstrcpynA(p.fileName, out.Path(), SYSTEM_PATH_SIZE);
    p.copies = 1;
    p.mode = PRINT_MODE_FIT;
    p.pages[0] = PRINT_PAGES_ALL;
    TestNewLine(0, 0, 100, 0);   // inside the area
    TestNewLine(0, 50, 100, 50); // outside it
    s_Confirm = 1;
    g_ConstructionPoints[0].x = -10, g_ConstructionPoints[0].y = 10;
    g_ConstructionPoints[1].x = 110, g_ConstructionPoints[1].y = -10;
    TestAlerts alerts;
    MenuFileCommand(main_, 124);
    EXPECT_TRUE(alerts.texts().empty());
    std::string log;
    std::vector<TestPageBox> boxes;
    ASSERT_EQ(TestGhostscriptBoxes(out.Path(), &log, &boxes), 1) << log;
    ASSERT_EQ(boxes.size(), 1u);
    // The area is 120 by 20 mm; the line inside runs across its middle, the
    // one outside would make the box tall.
    const double height = boxes[0].y2 - boxes[0].y1, width = boxes[0].x2 - boxes[0].x1;
    EXPECT_LT(height, width / 10) << "only the line inside the area is printed";
    PrintFreeDevMode();
}

} // namespace

// Program options, lists and remembered values in the user's registry key.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/init.h"
#include "app/system.h"
#include "common/test_files.h"
#include "language/language.h"
#include "program_run.h"

namespace {

const char *const PROFILE_KEY = "Software\\darad4-tests\\profile";

class Options : public ::testing::Test {
protected:
    void SetUp() override
    {
        SystemDeleteKeyTree(HKEY_CURRENT_USER, PROFILE_KEY);
        g_SettingsImported = 0;
    }
    void TearDown() override
    {
        SystemDeleteKeyTree(HKEY_CURRENT_USER, PROFILE_KEY);
        g_SettingsImported = 0;
    }
    // Opens (creating) a key below the profile key; "" is the profile key.
    static HKEY Open(const char *sub)
    {
        std::string path = PROFILE_KEY;
        if (*sub)
            path += std::string("\\") + sub;
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    static void SetInt(const char *sub, const char *name, int32_t value)
    {
        HKEY key = Open(sub);
        SystemWriteInt(key, name, value);
        RegCloseKey(key);
    }
    static void SetString(const char *sub, const char *name, const char *value)
    {
        HKEY key = Open(sub);
        SystemWriteString(key, name, value);
        RegCloseKey(key);
    }
    static bool KeyExists(const char *sub)
    {
        std::string path = std::string(PROFILE_KEY) + "\\" + sub;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    static void Read() { SystemReadProfileFrom(PROFILE_KEY); }
    static void Write() { SystemWriteProfileTo(PROFILE_KEY); }
};

TEST_F(Options, EmptyRegistryGivesEveryDefault)
{
    Read();
    ProgramOptions expected;
    SystemInitProgramOptions(&expected);
    EXPECT_EQ(memcmp(&expected, &g_Options, sizeof expected), 0);

    const ProgramOptions &o = g_Options;
    struct IntCase {
        const char *name;
        int64_t value, expected;
    };
    const IntCase ints[] = {
        {"ObjectSize", o.objectSize, 131072},
        {"UndoSteps", o.undoSteps, 3},
        {"CoordRangeDRV", o.coordRangeDRV, 16777216},
        {"CoordRangeEMF", o.coordRangeEMF, 16777216},
        {"MenuVisible", o.menuVisible, 1},
        {"ViewVisible", o.viewVisible, 0},
        {"ButtonVisible", o.buttonVisible, 0},
        {"PanelMoveable", o.panelMoveable, 1},
        {"PanelFontSize", o.panelFontSize, 11},
        {"PropertyButton", o.propertyButton, 1},
        {"PropertyMoveable", o.propertyMoveable, 0},
        {"GuideVisible", o.guideVisible, 1},
        {"BitmapCount", o.bitmapCount, 50},
        {"OutputRotatedBitmap", o.outputRotatedBitmap, 1},
        {"FileModeLoad", o.fileModeLoad, 0x40FFFFFF},
        {"FileModeLoadTemplate", o.fileModeLoadTemplate, 0x40CFFFFF},
        {"MButtonCommand", o.mButtonCommand, 342},
        {"MButtonMode", o.mButtonMode, 2},
        {"AutoSaveInterval", o.autoSaveInterval, 3},
        {"SymbolBlock", o.symbolBlock, 1},
        {"SymbolSortMode", o.symbolSortMode, 3},
        {"Keyboard 0", o.keyboard[0], 1042},
        {"Keyboard A", o.keyboard[10], 342},
        {"Keyboard I", o.keyboard[18], -1},
        {"Keyboard Z", o.keyboard[35], 341},
        {"Keyboard Enter", o.keyboard[37], 1008},
        {"Keyboard Shift 0", o.keyboard[38], 1043},
        {"Keyboard Shift Q", o.keyboard[38 + 10 + 16], 1000},
        {"Keyboard Shift Y", o.keyboard[38 + 10 + 24], 374},
        {"Keyboard Shift Enter", o.keyboard[75], -1},
        {"Toolbox first", o.toolbox[0], 501},
        {"Toolbox 18th", o.toolbox[17], 901},
        {"Toolbox after", o.toolbox[18], 0},
        {"App keep", o.appPlacement.keep, 0},
        {"View keep", o.viewPlacement.keep, 1},
        {"App x", o.appPlacement.pos.x, SYSTEM_NOT_SET},
        {"ZVD type", o.fileDialogs[FD_ZVD].type, 2},
        {"FLT type", o.fileDialogs[FD_FLT].type, 1},
        {"DIG type", o.fileDialogs[FD_DIG].type, 0x2000},
        {"Slot 100 display", o.insertSlots[99].display, 1},
        {"Slot 100 attrib copy", o.insertSlots[99].attribCopy, 1},
        {"Toolbox rows", o.toolboxRows, 7},
        {"Property presets", o.propertyPresets[1], 8},
        {"FontFillMode", g_FontFillMode, 1},
        {"Font weight", g_DefaultFont.weight, 400},
        {"Recent count", g_ProfileLists.recentCount, 0},
    };
    for (const IntCase &c : ints)
        EXPECT_EQ(c.value, c.expected) << c.name;
    EXPECT_STREQ(o.panelFontName, "MS Sans Serif");
    EXPECT_STREQ(g_DefaultFont.face, "Arial");
    EXPECT_EQ(o.insertSlots[50].scale, 1.0);
    EXPECT_EQ(std::string(o.fileDialogs[FD_ZVL].folders[0]), std::string(g_PathServer) + eDefaultPaths[2]);
    EXPECT_EQ(o.fileDialogs[FD_ZVL].folders[1][0], 0);
    EXPECT_EQ(std::string(o.fileDialogs[FD_EMF].current),
              std::string(g_PathServer) + eDefaultPaths[1] + eDefaultPaths[4] + "emf");

    // Limits derived from 128 KB.
    EXPECT_EQ(g_ObjectLimits.maxUnitData, 131072u - 2048);
    EXPECT_EQ(g_ObjectLimits.maxUnitPoints, (131072u - 2048) / 32);
    EXPECT_EQ(g_ObjectLimits.maxPathPoints, 4 * ((131072u - 2048) / 32));
    EXPECT_EQ(g_ObjectLimits.chunkSize, 262144u);
    EXPECT_EQ(g_ObjectLimits.scratchSize, 40 * ((131072u - 2048) / 32));
}

TEST_F(Options, DerivedLimitsFollowObjectSize)
{
    const ObjectLimits l = MemComputeLimits(1048576);
    EXPECT_EQ(l.chunkSize, 2097152u);
    EXPECT_EQ(l.chunkParagraphs, 2097152u / 16);
    EXPECT_EQ(l.maxUnitPoints, (1048576u - 2048) / 32);
    EXPECT_EQ(l.pieceLimit, 4032u);
}

TEST_F(Options, WriteThenReadGivesTheSameValues)
{
    Read();
    ProgramOptions &o = g_Options;
    o.objectSize = 512 * 1024;
    o.undoSteps = 17;
    strcpy(o.authorName, "A. Author");
    o.coordRangeDRV = 30000;
    o.menuLongNames = 0;
    o.viewVisible = 1;
    o.windowArrangement = 2;
    o.panelButton = 1;
    strcpy(o.statusFontName, "Tahoma");
    o.statusMoveable = 1;
    o.toolboxMoveable = 1;
    o.guideVisible = 0;
    o.appPlacement = WindowPlacement{{10, 20}, {600, 400}, 1};
    o.statusPlacement = WindowPlacement{{30, 700}, {500, 40}, 1};
    o.propertyPlacement = WindowPlacement{{100, 5}, {SYSTEM_NOT_SET, SYSTEM_NOT_SET}, 1};
    o.propertyMoveable = 1;
    o.penDialogPlacement = WindowPlacement{{40, 50}, {200, 300}, 1};
    o.usePolyDraw = 1;
    o.fileModeSave = 0x40000001;
    strcpy(o.filePassword, "secret");
    strcpy(o.fileDialogs[FD_INF].folders[1], "C:\\inf\\older\\");
    memcpy(o.fileDialogs[FD_DIG].folders, o.fileDialogs[FD_INF].folders, sizeof o.fileDialogs[FD_DIG].folders);
    strcpy(o.fileDialogs[FD_BMP].folders[7], "D:\\pictures\\");
    o.rButtonMode = 1;
    o.dateTimeFormat = 4;
    o.autoSaveActive = 1;
    o.keyboard[5] = 777;
    o.toolbox[99] = 123;
    o.symbolSortMode = 2;
    o.symbolPreview = 0;
    strcpy(o.insertSlots[4].nameLibrary, "lib");
    strcpy(o.insertSlots[4].nameBlock, "block");
    o.insertSlots[4].scale = 2.5;
    o.insertSlots[4].rotation = 0.75; // doubles are stored with 14 digits
    o.insertSlots[4].blockPen = 1;
    g_DefaultFont.weight = 700;
    strcpy(g_DefaultFont.face, "Courier New");
    g_FontFillMode = -1;
    g_ProfileLists.recentCount = 2;
    strcpy(g_ProfileLists.recent[0], "C:\\a.zvd");
    strcpy(g_ProfileLists.recent[1], "C:\\b.zvd");
    g_ProfileLists.libraryCount = 1;
    g_ProfileLists.libraries[0] = ProfileLibrary{"C:\\lib.zvl", 1, 0, 1};
    g_ProfileLists.fontCount = 1;
    strcpy(g_ProfileLists.fonts[0], "C:\\font.zvl");
    strcpy(g_LocalData.texts[1], "remembered text");
    g_LocalData.snap.pickAperture = 25;

    // Once the options are read, a keep flag tells whether the place was stored.
    for (WindowPlacement *p : {&o.viewPlacement, &o.panelPlacement, &o.penPlacement, &o.layerPlacement,
                               &o.symbolPlacement, &o.toolboxPlacement, &o.guidePlacement, &o.choicePlacement})
        p->keep = 0;
    const ProgramOptions saved = o;
    const FontDef savedFont = g_DefaultFont;
    const ProfileLists savedLists = g_ProfileLists;
    Write();
    memset(&g_Options, 0xCC, sizeof g_Options);
    Read();

    EXPECT_EQ(memcmp(&saved.fileDialogs, &g_Options.fileDialogs, sizeof saved.fileDialogs), 0);
    EXPECT_EQ(memcmp(&saved, &g_Options, sizeof saved), 0);
    EXPECT_EQ(memcmp(&savedFont, &g_DefaultFont, sizeof savedFont), 0);
    EXPECT_EQ(g_FontFillMode, -1);
    EXPECT_EQ(memcmp(&savedLists, &g_ProfileLists, sizeof savedLists), 0);
    EXPECT_STREQ(g_LocalData.texts[1], "remembered text");
    EXPECT_EQ(g_LocalData.snap.pickAperture, 25);
}

TEST_F(Options, OutOfRangeValuesAreClampedOrIgnored)
{
    struct Case {
        const char *name;
        int32_t stored;
        int64_t expected;
    };
    const Case cases[] = {
        {"ObjectSize", 64, 131072},  {"ObjectSize", 4096, 1048576}, {"ObjectSize", 256, 262144},
        {"ObjectSize", 0, 131072},   {"ObjectSize", -5, 131072},    {"ObjectSize", 0x7FFFFFFF, 1048576},
        {"UndoSteps", 0, 3},         {"UndoSteps", 100, 3},         {"UndoSteps", 1, 1},
        {"UndoSteps", 99, 99},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.stored));
        SystemDeleteKeyTree(HKEY_CURRENT_USER, PROFILE_KEY);
        SetInt("General", c.name, c.stored);
        Read();
        const int64_t got = strcmp(c.name, "ObjectSize") == 0 ? (int64_t)g_Options.objectSize : g_Options.undoSteps;
        EXPECT_EQ(got, c.expected);
    }
    // Written back in KB.
    SystemDeleteKeyTree(HKEY_CURRENT_USER, PROFILE_KEY);
    SetInt("General", "ObjectSize", 4096);
    Read();
    Write();
    HKEY general = Open("General");
    int32_t kb = 0;
    EXPECT_EQ(SystemReadInt(general, "ObjectSize", &kb), 1);
    EXPECT_EQ(kb, 1024);
    RegCloseKey(general);
}

// Options that choose among modes or index a table are clamped to their range.
TEST_F(Options, ModeAndIndexOptionsAreClampedToTheirRange)
{
    struct Case {
        const char *name;
        int32_t ProgramOptions::*field;
        int32_t stored, expected;
    };
    const Case cases[] = {
        {"WindowArrangement", &ProgramOptions::windowArrangement, 99, 7},
        {"WindowArrangement", &ProgramOptions::windowArrangement, -1, 0},
        {"WindowArrangement", &ProgramOptions::windowArrangement, 3, 3},
        {"PanelButton", &ProgramOptions::panelButton, 2, 1},
        {"PanelFontSize", &ProgramOptions::panelFontSize, 0, 4},
        {"StatusFontSize", &ProgramOptions::statusFontSize, 100000, 144},
        {"BitmapCount", &ProgramOptions::bitmapCount, -50, 1},
        {"MButtonMode", &ProgramOptions::mButtonMode, 5, 4},
        {"RButtonMode", &ProgramOptions::rButtonMode, -3, 0},
        {"DateTimeFormat", &ProgramOptions::dateTimeFormat, 40, 4},
        {"DateTimeFormat", &ProgramOptions::dateTimeFormat, 2, 2},
        {"CoordRangeDRV", &ProgramOptions::coordRangeDRV, 0, 1},
        {"CoordRangeEMF", &ProgramOptions::coordRangeEMF, 0x7FFFFFFF, 16777216},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.stored));
        SystemDeleteKeyTree(HKEY_CURRENT_USER, PROFILE_KEY);
        SetInt("General", c.name, c.stored);
        Read();
        EXPECT_EQ(g_Options.*c.field, c.expected);
    }
}

TEST_F(Options, ValuesOfTheWrongTypeAreIgnored)
{
    SetString("General", "UndoSteps", "12");
    SetInt("General", "PanelFontName", 5);
    HKEY general = Open("General");
    const int32_t shortKeyboard[3] = {1, 2, 3};
    SystemWriteBinary(general, "Keyboard", shortKeyboard, sizeof shortKeyboard);
    RegCloseKey(general);
    Read();
    EXPECT_EQ(g_Options.undoSteps, 3);
    EXPECT_STREQ(g_Options.panelFontName, "MS Sans Serif");
    EXPECT_EQ(g_Options.keyboard[0], 1042) << "a keyboard table of another size is not taken";
}

TEST_F(Options, CoordinateRangesOnWindows9x)
{
    ProgramOptions o;
    SystemInitProgramOptions(&o);
    SystemApplyCoordRangeLimit(&o, 0);
    EXPECT_EQ(o.coordRangeEMF, 16777216);
    SystemApplyCoordRangeLimit(&o, 1);
    EXPECT_EQ(o.coordRangeDRV, 30720);
    EXPECT_EQ(o.coordRangeEMF, 30720);
    o.coordRangeDRV = 1000;
    o.coordRangeEMF = 99999;
    SystemApplyCoordRangeLimit(&o, 1);
    EXPECT_EQ(o.coordRangeEMF, 1000);
}

TEST_F(Options, UserKeyWithoutGeneralKeepsEveryListEmpty)
{
    SetString("Drawing 1", "FileName", "C:\\x.zvd");
    SetString("Block 1", "NameLibrary", "lib");
    SetString("Block 1", "NameBlock", "b");
    Read();
    EXPECT_EQ(g_ProfileLists.recentCount, 0);
    EXPECT_EQ(g_Options.insertSlots[0].nameLibrary[0], 0);
    EXPECT_EQ(g_Options.objectSize, 131072u);
}

TEST_F(Options, RecentDrawingsWithoutDuplicates)
{
    SetInt("General", "UndoSteps", 5);
    SetString("Drawing 1", "FileName", "C:\\Plans\\House.zvd");
    SetString("Drawing 3", "FileName", "c:\\plans\\HOUSE.ZVD");
    SetString("Drawing 4", "FileName", "C:\\Plans\\Garden.zvd");
    SetString("Library 2", "FileName", "C:\\lib.zvl");
    SetInt("Library 2", "Caching", 1);
    Read();
    ASSERT_EQ(g_ProfileLists.recentCount, 2);
    EXPECT_STREQ(g_ProfileLists.recent[0], "C:\\Plans\\House.zvd");
    EXPECT_STREQ(g_ProfileLists.recent[1], "C:\\Plans\\Garden.zvd");
    ASSERT_EQ(g_ProfileLists.libraryCount, 1);
    EXPECT_EQ(g_ProfileLists.libraries[0].caching, 1u);
}

TEST_F(Options, WritingRemovesStaleNumberedSubkeys)
{
    SetInt("General", "UndoSteps", 5);
    for (int k = 1; k <= 20; ++k) {
        char sub[32], file[32];
        snprintf(sub, sizeof sub, "Drawing %d", k);
        snprintf(file, sizeof file, "C:\\%d.zvd", k);
        SetString(sub, "FileName", file);
    }
    SetString("Block 7", "NameLibrary", "lib");
    SetString("Block 7", "NameBlock", "old");
    Read();
    ASSERT_EQ(g_ProfileLists.recentCount, 20);
    g_ProfileLists.recentCount = 3;
    g_Options.insertSlots[6].nameBlock[0] = 0; // only a library name: not in use
    Write();
    EXPECT_TRUE(KeyExists("Drawing 3"));
    for (int k = 4; k <= 20; ++k) {
        char sub[32];
        snprintf(sub, sizeof sub, "Drawing %d", k);
        EXPECT_FALSE(KeyExists(sub)) << sub;
    }
    EXPECT_FALSE(KeyExists("Block 7"));
}

TEST_F(Options, PlacementsOffScreenAreNeitherReadNorWritten)
{
    HKEY general = Open("General");
    const POINT onPos{50, 60}, offPos{-32000, -32000};
    const SIZE size{300, 200}, iconSize{160, 24};
    SystemWriteRect(general, "ViewPlacement", &onPos, &size);
    SystemWriteRect(general, "GuidePlacement", &offPos, &iconSize);
    SystemWritePoint(general, "ChoicePlacement", &offPos);
    RegCloseKey(general);
    Read();
    EXPECT_EQ(g_Options.viewPlacement.keep, 1u);
    EXPECT_EQ(g_Options.viewPlacement.pos.x, 50);
    EXPECT_EQ(g_Options.guidePlacement.keep, 0u);
    EXPECT_EQ(g_Options.guidePlacement.pos.x, SYSTEM_NOT_SET);
    EXPECT_EQ(g_Options.choicePlacement.keep, 0u);

    // A minimised main window reports its iconic place: it is not stored.
    g_Options.appPlacement = WindowPlacement{offPos, iconSize, 1};
    Write();
    general = Open("General");
    POINT p{};
    SIZE s{};
    EXPECT_EQ(SystemReadRect(general, "AppPlacement", &p, &s), 0);
    EXPECT_EQ(SystemReadRect(general, "ViewPlacement", &p, &s), 1);
    RegCloseKey(general);
}

TEST_F(Options, PlacementKeepFlagsAndMoveableWindows)
{
    Read();
    g_Options.panelPlacement = WindowPlacement{{10, 10}, {100, 300}, 1};
    g_Options.panelMoveable = 0; // docked: its place is not stored
    g_Options.penPlacement = WindowPlacement{{10, 10}, {100, 300}, 0};
    Write();
    HKEY general = Open("General");
    POINT p{};
    SIZE s{};
    EXPECT_EQ(SystemReadRect(general, "PanelPlacement", &p, &s), 0);
    EXPECT_EQ(SystemReadRect(general, "PenPlacement", &p, &s), 0);
    RegCloseKey(general);
}

TEST_F(Options, ImportedSettingsAreNotWritten)
{
    Read();
    g_Options.undoSteps = 42;
    g_SettingsImported = 1;
    Write();
    EXPECT_FALSE(KeyExists("General"));
}

// A damaged "Init" leaves the remembered values at their defaults and costs
// nothing else of the profile.
TEST_F(Options, DamagedInitKeepsDefaultsAndLosesNothingElse)
{
    enum Damage { FOREIGN_STAMP, MISSING_PART, SHORT_PART, PLAIN_VALUE };
    const Damage damages[] = {FOREIGN_STAMP, MISSING_PART, SHORT_PART, PLAIN_VALUE};
    LocalData defaults;
    for (Damage damage : damages) {
        SCOPED_TRACE(damage);
        SystemDeleteKeyTree(HKEY_CURRENT_USER, PROFILE_KEY);
        Read();
        defaults = g_LocalData;
        g_LocalData.snap.pickAperture = 33;
        strcpy(g_LocalData.texts[0], "changed");
        g_Options.undoSteps = 12;
        g_ProfileLists.recentCount = 1;
        strcpy(g_ProfileLists.recent[0], "C:\\kept.zvd");
        Write();

        HKEY user = Open("");
        switch (damage) {
        case FOREIGN_STAMP: {
            LocalData other = g_LocalData;
            SystemWriteLocalData(user, &other);
            strcpy(other.stamp, "4.60-1998-01-01 ZV LocalData");
            SystemWriteBinary(user, "Init", &other, sizeof other);
            break;
        }
        case MISSING_PART:
            SystemDeleteKeyTree(user, "Init (Part 4)");
            break;
        case SHORT_PART: {
            HKEY part = Open("Init (Part 6)");
            const std::vector<uint8_t> shorter(3000, 0);
            RegSetValueExA(part, "Init", 0, REG_BINARY, shorter.data(), (DWORD)shorter.size());
            RegCloseKey(part);
            break;
        }
        case PLAIN_VALUE: {
            // Another program stored a shorter record as one value.
            SystemDeleteKeyTree(user, "Init (Part 1)");
            const std::vector<uint8_t> record(4000, 0x41);
            RegSetValueExA(user, "Init", 0, REG_BINARY, record.data(), (DWORD)record.size());
            break;
        }
        }
        RegCloseKey(user);

        Read();
        EXPECT_EQ(memcmp(&g_LocalData, &defaults, sizeof defaults), 0);
        EXPECT_EQ(g_Options.undoSteps, 12);
        ASSERT_EQ(g_ProfileLists.recentCount, 1);
        EXPECT_STREQ(g_ProfileLists.recent[0], "C:\\kept.zvd");
    }
}

// The machine settings live under the program key of HKEY_LOCAL_MACHINE.
class MachineSettings : public ::testing::Test {
protected:
    char keyPath[SYSTEM_KEY_NAME_SIZE];
    void SetUp() override
    {
        SystemProgramKeyPath(keyPath);
        SystemDeleteKeyTree(HKEY_LOCAL_MACHINE, keyPath);
    }
    void TearDown() override
    {
        SystemDeleteKeyTree(HKEY_LOCAL_MACHINE, keyPath);
        g_Debugging = 0;
    }
    HKEY Open()
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }
};

TEST_F(MachineSettings, DefaultsWithoutTheKey)
{
    g_Debugging = 7;
    SystemReadMachineSettings();
    EXPECT_EQ(g_Debugging, 0u);
    EXPECT_EQ(g_Client, 0u);
    EXPECT_EQ(g_MonitorWidth, 312);
    EXPECT_EQ(g_MonitorHeight, 234);
    const std::string exe = ProgramFolder();
    EXPECT_STREQ(g_PathServer, exe.c_str());
    EXPECT_STREQ(g_PathLocal, exe.c_str());
}

TEST_F(MachineSettings, MonitorSizeOutsideItsRangeIsIgnored)
{
    struct Case {
        int32_t stored, width;
    };
    const Case cases[] = {{99, 312}, {100, 100}, {10000, 10000}, {10001, 312}, {-1, 312}};
    for (const Case &c : cases) {
        HKEY key = Open();
        SystemWriteInt(key, "MonitorWidth", c.stored);
        SystemWriteInt(key, "MonitorHeight", c.stored);
        RegCloseKey(key);
        SystemReadMachineSettings();
        EXPECT_EQ(g_MonitorWidth, c.width) << c.stored;
        EXPECT_EQ(g_MonitorHeight, c.width == 312 ? 234 : c.width) << c.stored;
    }
}

TEST_F(MachineSettings, WriteThenReadAndForeignValuesDropped)
{
    HKEY key = Open();
    SystemWriteString(key, "Foreign", "dropped");
    RegCloseKey(key);
    SystemReadMachineSettings();
    g_Debugging = 0x9;
    g_Client = 1;
    strcpy(g_PathServer, "C:\\server\\");
    strcpy(g_PathLocal, "C:\\local\\");
    g_MonitorWidth = 400;
    SystemWriteMachineSettings();
    g_Debugging = 0;
    SystemReadMachineSettings();
    EXPECT_EQ(g_Debugging, 0x9u);
    EXPECT_EQ(g_Client, 1u);
    EXPECT_STREQ(g_PathServer, "C:\\server\\");
    EXPECT_STREQ(g_PathLocal, "C:\\local\\");
    EXPECT_EQ(g_MonitorWidth, 400);
    key = Open();
    char text[64] = "";
    EXPECT_EQ(SystemReadString(key, "Foreign", text, sizeof text), 0);
    EXPECT_EQ(SystemReadString(key, "Version", text, sizeof text), 1);
    RegCloseKey(key);
    g_Debugging = 0;
}

TEST_F(MachineSettings, FoldersEndWithABackslash)
{
    HKEY key = Open();
    SystemWriteString(key, "PathServer", "C:\\shared");
    SystemWriteString(key, "PathLocal", "C:\\mine\\");
    RegCloseKey(key);
    SystemReadMachineSettings();
    EXPECT_STREQ(g_PathServer, "C:\\shared\\");
    EXPECT_STREQ(g_PathLocal, "C:\\mine\\");
    SystemDeleteKeyTree(HKEY_LOCAL_MACHINE, keyPath);
    SystemReadMachineSettings();
}

TEST_F(MachineSettings, DefaultDrawingPrefersTheLocalFolder)
{
    const std::string local = TestTempPath("darad4-local\\");
    const std::string server = TestTempPath("darad4-server\\");
    CreateDirectoryA(local.c_str(), nullptr);
    strcpy(g_PathLocal, local.c_str());
    strcpy(g_PathServer, server.c_str());
    const std::string localFile = local + "darad4.zvd";
    DeleteFileA(localFile.c_str());

    char path[SYSTEM_PATH_SIZE];
    SystemDefaultDrawingPath(path);
    EXPECT_EQ(std::string(path), server + "darad4.zvd") << "neither exists: the server path";
    HANDLE f = CreateFileA(localFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
    SystemDefaultDrawingPath(path);
    EXPECT_EQ(std::string(path), localFile);
    SystemDefaultDrawingLocal(path);
    EXPECT_EQ(std::string(path), localFile);
    DeleteFileA(localFile.c_str());
    RemoveDirectoryA(local.c_str());
    SystemReadMachineSettings();
}

} // namespace

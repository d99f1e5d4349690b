// Definitions, profile, settings and the program services.
#include "plugin_fixture.h"

#include <cstring>

#include "app/system.h"
#include "app/system_defs.h"
#include "database/symbol_library.h"
#include "files/file_drawinginfo.h"

namespace {

using Services = PluginTest;

TEST_F(Services, DefinitionTablesQuietAndLoudRefusals)
{
    PenDef pen{};
    const PenDef saved = g_PenDefs[400];
    g_PenDefs[400].name[0] = 0;
    EXPECT_EQ(ZVI_PenGetDef(1, 400, &pen), 0); // drawing 1 is accepted and ignored
    EXPECT_EQ(ZVI_PenGetDef(0, 501, &pen), 0);
    EXPECT_EQ(ZVI_PenSetDef(0, 0, &pen), 0);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(ZVI_PenGetDef(0, 0, nullptr), 0);
    EXPECT_EQ(TakeReason(), "Data address invalid!");
    std::strcpy(pen.name, "plug-in pen");
    EXPECT_EQ(ZVI_PenSetDef(0, 400, &pen), 1);
    EXPECT_STREQ(g_PenDefs[400].name, "plug-in pen");
    std::memset(pen.name, 'x', sizeof pen.name); // no terminator in the field
    EXPECT_EQ(ZVI_PenSetDef(0, 400, &pen), 0);
    EXPECT_EQ(TakeReason(), "Name too long!");
    g_PenDefs[400] = saved;
    LineDef line{};
    std::strcpy(line.name, "many");
    line.pairs = 9;
    EXPECT_EQ(ZVI_LineSetDef(0, 3, &line), 0);
}

TEST_F(Services, PagesVariablesAndColours)
{
    const PageTable saved = g_PageDefs;
    g_PageDefs.count = 3;
    g_PageDefs.active = 2;
    EXPECT_EQ(ZVI_PageDeleteDef(0, 2), 1);
    EXPECT_EQ(ZVI_PageGetNumber(), 2);
    EXPECT_EQ(ZVI_PageGetActive(), 1);
    EXPECT_EQ(ZVI_PageDeleteDef(0, 2), 0);
    EXPECT_EQ(TakeReason(), "Index invalid!");
    g_PageDefs = saved;

    VariableDef savedVars[VARIABLE_SLOTS];
    std::memcpy(savedVars, g_VariableDefs, sizeof savedVars);
    std::memset(g_VariableDefs, 0, sizeof savedVars);
    std::strcpy(g_VariableDefs[0].name, "used");
    char value[256] = "junk";
    EXPECT_EQ(ZVI_VariableSetDef(0, "unknown", nullptr), 0);
    EXPECT_EQ(ZVI_VariableGetDef(0, "unknown", value), 0);
    EXPECT_STREQ(value, "");
    EXPECT_EQ(ZVI_VariableSetDef(0, "Author", "me"), 1);
    EXPECT_STREQ(g_VariableDefs[1].name, "Author");
    EXPECT_EQ(ZVI_VariableGetDef(0, "AUTHOR", value), 1);
    EXPECT_STREQ(value, "me");
    EXPECT_EQ(ZVI_VariableSetDef(0, std::string(40, 'n').c_str(), "v"), 0);
    EXPECT_EQ(TakeReason(), "Name too long!");
    std::memcpy(g_VariableDefs, savedVars, sizeof savedVars);

    ColorDef savedColors[COLOR_SLOTS];
    std::memcpy(savedColors, g_ColorDefs, sizeof savedColors);
    std::strcpy(g_ColorDefs[3].name, "Red");
    for (int i = STANDARD_COLORS; i < COLOR_SLOTS; ++i)
        g_ColorDefs[i].name[0] = 0;
    EXPECT_EQ(ZVI_ColorAddDef(0, "red", RGB(200, 0, 0)), 1);
    EXPECT_STREQ(g_ColorDefs[STANDARD_COLORS].name, "red");
    std::memcpy(g_ColorDefs, savedColors, sizeof savedColors);
}

TEST_F(Services, RegistryProfileKeysAndSplitValues)
{
    ASSERT_EQ(ZVI_ProfileWriteKeyOpen("ZviUnitTest", 0), 1);
    EXPECT_EQ(ZVI_ProfileWriteKeyOpen("Other", 0), 0);
    EXPECT_EQ(TakeReason(), "Key already open!");
    std::vector<uint8_t> data(20000), back(20000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = (uint8_t)(i * 13);
    EXPECT_EQ(ZVI_ProfileWriteData("Big", data.data(), (int)data.size()), 1);
    EXPECT_EQ(ZVI_ProfileWriteString("Text", "value"), 1);
    ZVI_ProfileWriteKeyClose();
    HKEY part = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quirn++Valsev\\Plug-Ins\\ZviUnitTest\\Big (Part 2)", 0,
                            KEY_READ, &part),
              ERROR_SUCCESS);
    if (part)
        RegCloseKey(part);
    ASSERT_EQ(ZVI_ProfileReadKeyOpen("ZviUnitTest", 0), 1);
    EXPECT_EQ(ZVI_ProfileReadData("Big", back.data(), (int)back.size()), 1);
    EXPECT_EQ(back, data);
    char text[250];
    EXPECT_EQ(ZVI_ProfileReadString("Text", text), 1);
    EXPECT_STREQ(text, "value");
    EXPECT_EQ(ZVI_ProfileReadKeyOpen("ZviUnitTest", 0), 0);
    EXPECT_EQ(TakeReason(), "Key already open!");
    ZVI_ProfileReadKeyClose();
    EXPECT_EQ(ZVI_ProfileDeleteKey("", 0), 0);
    EXPECT_EQ(TakeReason(), "KeyName address invalid!");
    EXPECT_EQ(ZVI_ProfileDeleteKey("ZviUnitTest", 0), 1); // with its part subkeys
    EXPECT_EQ(ZVI_ProfileReadKeyOpen("ZviUnitTest", 0), 0);
    ZVI_ProfileReadKeyClose();
    EXPECT_EQ(TakeReason(), "Key not open!");
}

TEST_F(Services, DrawingProfileRecords)
{
    std::vector<uint8_t> data(300), back(300);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = (uint8_t)i;
    EXPECT_EQ(ZVI_ProfileSetDrawing(0, 5, 77, data.data(), 300), 1);
    const Unit *u = MemListFirst(LIST_PLUGIN_DATA, 0, 0, 0);
    ASSERT_NE(u, nullptr);
    const auto *e = reinterpret_cast<const uint8_t *>(u) + UNIT_ELEMENTS_OBJECT;
    EXPECT_EQ(reinterpret_cast<const Element *>(e)->size, 160u);
    EXPECT_EQ(reinterpret_cast<const Element *>(e + 320)->size, 28u);
    EXPECT_EQ(ZVI_ProfileGetDrawing(0, 5, 77, nullptr, 0), 300);
    EXPECT_EQ(ZVI_ProfileGetDrawing(0, 5, 77, back.data(), 100), -1);
    EXPECT_EQ(ZVI_ProfileGetDrawing(0, 5, 77, back.data(), 300), 300);
    EXPECT_EQ(back, data);
    // A new record replaces the old one; size limits are checked only with data.
    EXPECT_EQ(ZVI_ProfileSetDrawing(0, 5, 77, data.data(), 10), 1);
    EXPECT_EQ(ListCount(LIST_PLUGIN_DATA), 1);
    EXPECT_EQ(ZVI_ProfileSetDrawing(0, 5, 77, data.data(), 64001), 0);
    EXPECT_EQ(TakeReason(), "Size exceeds valid range!");
    EXPECT_EQ(ZVI_ProfileSetDrawing(0, 5, 77, nullptr, 64001), 1);
    EXPECT_EQ(ZVI_ProfileGetDrawing(0, 5, 77, nullptr, 0), 0);
}

TEST_F(Services, SettingsByNumber)
{
    const int32_t saved = g_LocalData.snap.pickAperture;
    g_LocalData.snap.pickAperture = 10;
    EXPECT_EQ(ZVI_SettingSet(4, 60), 1);
    EXPECT_EQ(ZVI_SettingGet(4), 10);
    ZVI_SettingSet(4, 20);
    EXPECT_EQ(ZVI_SettingGet(4), 20);
    g_LocalData.snap.pickAperture = saved;
    EXPECT_EQ(ZVI_SettingGet(0x2032), 10);
    ZVI_SettingSet(0x2032, 3);
    EXPECT_EQ(ZVI_SettingGet(0x2032), 10);
    const int32_t color = g_DrawingSettings.colorLayers;
    g_DrawingSettings.colorLayers = 8;
    EXPECT_EQ((COLORREF)ZVI_SettingGet(0x1000), g_StandardColors[8]);
    g_DrawingSettings.colorLayers = color;
    EXPECT_EQ(ZVI_SettingGet(12345), 0);
}

TEST_F(Services, CommandsDrawingAndWindows)
{
    ZVI_CommandInternal(99);
    EXPECT_EQ(TakeReason(), "CommandID invalid!");
    EXPECT_EQ(ZVI_DrawingSetActive(1), 0);
    EXPECT_EQ(TakeReason(), "Invalid drawing number!");
    char savedPath[sizeof g_DrawingInfo.currentPath];
    std::memcpy(savedPath, g_DrawingInfo.currentPath, sizeof savedPath);
    std::strcpy(g_DrawingInfo.currentPath, "*Untitled");
    EXPECT_EQ(ZVI_DrawingSaveFile(0, nullptr, 0, 0), 0);
    EXPECT_TRUE(Messages().empty());
    std::memcpy(g_DrawingInfo.currentPath, savedPath, sizeof savedPath);
    EXPECT_EQ(ZVI_DrawingGetInfo(0, nullptr, GuardedBuffer(64)), 0);
    EXPECT_EQ(TakeReason(), "FileHeader address invalid!");
    const double centre[2] = {1, 2};
    EXPECT_EQ(ZVI_WindowSetViewScale(0, 999, centre, 0.0), 0);
    EXPECT_EQ(TakeReason(), "Scale invalid!");
    EXPECT_EQ(ZVI_WindowSetViewArea(0, 999, centre, centre), 0);
    EXPECT_EQ(TakeReason(), "Points invalid!");
    EXPECT_EQ(ZVI_WindowSetViewScale(0, 4, centre, 1.0), 0);
    EXPECT_EQ(TakeReason(), "WindowNum invalid!");
    EXPECT_EQ(ZVI_GetCommandTitle(reinterpret_cast<char *>(GuardedBuffer(16)), 501), 0);
    EXPECT_EQ(TakeReason(), "Text address invalid!");
    double zoom = 0;
    double c[2];
    EXPECT_EQ(ZVI_WindowGetView(0, 5, c, &zoom), 0);
    EXPECT_EQ(TakeReason(), "WindowNum invalid!");
    EXPECT_EQ(ZVI_LibraryGetInfo(g_LibrarySlots.count, nullptr, nullptr), 0);
    EXPECT_EQ(TakeReason(), "Invalid library number!");
    ZVI_DrawWindowArea(reinterpret_cast<const double *>(GuardedBuffer(16)));
    EXPECT_EQ(TakeReason(), "Data address invalid!");
    EXPECT_EQ(ZVI_DrawingGetNumber(), 1);
    EXPECT_EQ(ZVI_HookKeyStart(), 0);
}

TEST_F(Services, ActiveEntriesAndWindowModes)
{
    const PenDef savedPen = g_PenDefs[9];
    const LayerDef savedLayer = g_LayerDefs[7];
    const int32_t pen = g_ActivePen, layer = g_ActiveLayer;
    std::strcpy(g_PenDefs[9].name, "with layer");
    g_PenDefs[9].layer = 7;
    std::strcpy(g_LayerDefs[7].name, "seven");
    // A pen that names a defined layer makes that layer active too.
    EXPECT_EQ(ZVI_PenSetActive(0, 9), 1);
    EXPECT_EQ(ZVI_PenGetActive(), 9);
    EXPECT_EQ(ZVI_LayerGetActive(), 7);
    struct Refusal {
        int (*call)();
        const char *reason;
    } refusals[] = {
        {[] { return ZVI_PenSetActive(0, 501); }, "Index invalid!"},
        {[] { return ZVI_LayerSetActive(0, -1); }, "Index invalid!"},
        {[] { return ZVI_HatchSetActive(0, 101); }, "Index invalid!"},
        {[] { return ZVI_SystemGetActive(0, 7); }, "WindowNum invalid!"},
        {[] { return ZVI_SystemSetActive(0, 999, 51); }, "Index invalid!"},
        {[] { return ZVI_WindowSetViewPage(0, 4); }, "WindowNum invalid!"},
        {[] { return ZVI_WindowGetRect(0, 0, reinterpret_cast<RECT *>(GuardedBuffer(8)), nullptr); },
         "Rect address invalid!"},
    };
    for (const Refusal &r : refusals) {
        SCOPED_TRACE(r.reason);
        EXPECT_EQ(r.call(), 0);
        EXPECT_EQ(TakeReason(), r.reason);
    }
    // The mode it has already rearranges nothing.
    EXPECT_EQ(ZVI_WindowSetMode(0, ZVI_WindowGetMode()), 1);
    g_PenDefs[9] = savedPen;
    g_LayerDefs[7] = savedLayer;
    g_ActivePen = pen;
    g_ActiveLayer = layer;
}

} // namespace

// Settings-change propagation, the module notifications and the hand-over
// of the modeless pen and layer tables.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <memory>

#include "app/darad4.h"
#include "app/darad4_menu.h"
#include "app/status.h"
#include "app/system_changes.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "database/storage.h"
#include "database/undo.h"
#include "files/file_drawinginfo.h"

namespace {

// An empty drawing with the tables of a new one.
class ChangesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MemFreeChunks();
        MemInitLists();
        ASSERT_EQ(MemEnlargeList(), 1);
        if (!g_WorkArrays.pathPoints) {
            ASSERT_EQ(MemInitWork(), 1);
        }
        UndoReset();
        SystemInitDrawing(0);
        g_DrawingInfo.modified = 0;
        for (DrawWindow &w : g_DrawWindows)
            w.system = 0;
        g_ViewWindow.system = 0;
        std::memset(&g_DefChangeFlags, 0, sizeof g_DefChangeFlags);
    }
    void TearDown() override
    {
        MemFreeChunks();
        MemInitLists();
    }
};

TEST_F(ChangesTest, AWindowWhoseSystemIsFreedShowsSystemZero)
{
    std::strcpy(g_SystemDefs[4].name, "Site");
    g_SystemDefs[4].scale = 1.0;
    g_DrawWindows[2].system = 4;
    g_SystemDefs[4].name[0] = 0; // the editor removed it
    SystemClearChanges();
    g_DefChangeFlags.systems = 1;
    g_DefChangeFlags.system[4] = 1;
    SystemApplyChanges(0);
    EXPECT_EQ(g_DrawWindows[2].system, 0);
    EXPECT_EQ(g_DefChangeFlags.system[0], 1u);
    EXPECT_EQ(g_DrawingInfo.modified, 1u);
}

TEST_F(ChangesTest, ALayerChangeRunsThePenStepAndALineTypeWithoutDashesIsDropped)
{
    std::strcpy(g_PenDefs[5].name, "Thin");
    g_PenDefs[5].setA.lineType = 7; // a free line type
    g_ActiveLayer = 9;             // a free layer
    g_PenListDirty = 0;
    SystemClearChanges();
    g_DefChangeFlags.layers = 1;
    g_DefChangeFlags.lines = 1;
    // Without redraw, level 2 tells the caller to repaint.
    EXPECT_EQ(SystemApplyChanges(0), 1);
    EXPECT_EQ(g_ActiveLayer, 0);
    EXPECT_EQ(g_PenDefs[5].setA.lineType, 0);
    EXPECT_EQ(g_DefChangeFlags.pens, 1u);
    EXPECT_EQ(g_DefChangeFlags.redrawLevel, CHANGE_REDRAW_ALL);
    EXPECT_EQ(g_PenListDirty, 1u);
    EXPECT_EQ(g_PenSortIndex[PEN_SLOTS - 1], -1);

    SystemClearChanges();
    g_DefChangeFlags.redrawLevel = CHANGE_REDRAW_MARKED;
    EXPECT_EQ(SystemApplyChanges(0), 1); // level 1 without redraw: the caller repaints
    SystemClearChanges();
    EXPECT_EQ(SystemApplyChanges(0), 0);
}

int g_NotifyCodes[2] = {0, 0};
int __stdcall RecordNotify(int, int code)
{
    g_NotifyCodes[code - MODULE_CODE_DRAWING_NEW] += 1;
    return 1;
}

TEST_F(ChangesTest, ModulesWithACallbackAreTold)
{
    const LanguageExchangeBlock saved = g_LanguageInitBlock;
    std::memset(&g_LanguageInitBlock.modules, 0, sizeof g_LanguageInitBlock.modules);
    g_LanguageInitBlock.modules[1].commandProc = RecordNotify;
    g_LanguageInitBlock.modules[3].commandProc = RecordNotify; // beyond the count
    g_LanguageInitBlock.moduleCount = 2;
    SystemNotifyModulesNew();
    SystemNotifyModulesClose();
    SystemNotifyModulesClose();
    g_LanguageInitBlock = saved;
    EXPECT_EQ(g_NotifyCodes[0], 1);
    EXPECT_EQ(g_NotifyCodes[1], 2);
}

// The tables hand back their working copy; only the program's own block is
// taken, whatever address another process posts.
TEST_F(ChangesTest, OnlyTheTablesOwnWorkingBlocksAreTaken)
{
    if (!g_MsgPen1)
        g_MsgPen1 = RegisterWindowMessageA("DARAD4_PEN1");
    if (!g_MsgLayer1)
        g_MsgLayer1 = RegisterWindowMessageA("DARAD4_LAYER1");
    auto pens = std::make_unique<PenDialogWork>();
    std::memcpy(pens->pens, g_PenDefs, sizeof g_PenDefs);
    std::strcpy(pens->pens[12].name, "Handed over");
    pens->link = 1;
    LRESULT result = 0;

    // An address nobody registered (here a real block, which must not be
    // read either) changes nothing.
    AppMainMenuMessage(nullptr, g_MsgPen1, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(pens.get()),
                       &result);
    AppMainMenuMessage(nullptr, g_MsgPen1, static_cast<WPARAM>(-1), 0x12345678, &result);
    EXPECT_STREQ(g_PenDefs[12].name, "");

    AppRegisterPenWork(pens.get());
    AppMainMenuMessage(nullptr, g_MsgPen1, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(pens.get()),
                       &result);
    AppRegisterPenWork(nullptr);
    EXPECT_STREQ(g_PenDefs[12].name, "Handed over");
    EXPECT_EQ(g_PenLink, 1u);
    EXPECT_EQ(g_SavedPenStates.valid, 1u);
    EXPECT_EQ(g_SavedPenStates.states[12], 3u); // the slot was free

    auto layers = std::make_unique<LayerDialogWork>();
    std::memcpy(layers->layers, g_LayerDefs, sizeof g_LayerDefs);
    std::strcpy(layers->layers[3].name, "Walls\\Inner");
    AppMainMenuMessage(nullptr, g_MsgLayer1, 0, reinterpret_cast<LPARAM>(layers.get()), &result);
    EXPECT_STREQ(g_LayerDefs[3].name, "");
    AppRegisterLayerWork(layers.get());
    AppMainMenuMessage(nullptr, g_MsgLayer1, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(layers.get()),
                       &result);
    AppRegisterLayerWork(nullptr);
    EXPECT_STREQ(g_LayerDefs[3].name, "Walls\\Inner");
}

// A layer or pen the table adds shows in its tree window at once, not only
// after the window was hidden and shown again.
TEST_F(ChangesTest, TheTreeWindowsShowWhatTheTablesHandBack)
{
    if (!g_MsgPen1)
        g_MsgPen1 = RegisterWindowMessageA("DARAD4_PEN1");
    if (!g_MsgLayer1)
        g_MsgLayer1 = RegisterWindowMessageA("DARAD4_LAYER1");
    HWND layerWindow = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    HWND penWindow = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(layerWindow && penWindow);
    ASSERT_EQ(StatusCreateLayerTree(layerWindow), 1);
    ASSERT_EQ(StatusCreatePenTree(penWindow), 1);
    auto count = [](HWND tree) { return SendMessageA(tree, TVM_GETCOUNT, 0, 0); };
    const LRESULT layersBefore = count(hGlobalLayerTree), pensBefore = count(hGlobalPenTree);

    auto layers = std::make_unique<LayerDialogWork>();
    std::memcpy(layers->layers, g_LayerDefs, sizeof g_LayerDefs);
    std::strcpy(layers->layers[7].name, "Walls");
    auto pens = std::make_unique<PenDialogWork>();
    std::memcpy(pens->pens, g_PenDefs, sizeof g_PenDefs);
    std::strcpy(pens->pens[9].name, "Thick");
    LRESULT result = 0;
    AppRegisterLayerWork(layers.get());
    AppMainMenuMessage(nullptr, g_MsgLayer1, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(layers.get()),
                       &result);
    AppRegisterLayerWork(nullptr);
    AppRegisterPenWork(pens.get());
    AppMainMenuMessage(nullptr, g_MsgPen1, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(pens.get()), &result);
    AppRegisterPenWork(nullptr);
    EXPECT_EQ(count(hGlobalLayerTree), layersBefore + 1);
    EXPECT_EQ(count(hGlobalPenTree), pensBefore + 1);

    StatusDestroyLayerTree();
    StatusDestroyPenTree();
    DestroyWindow(layerWindow);
    DestroyWindow(penWindow);
}

} // namespace

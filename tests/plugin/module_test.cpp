// Module records: reading them, the loader's limits, the command numbers of
// modules and the callbacks the program makes.
#include "plugin_fixture.h"

#include "app/convert.h"
#include "commands/input.h"
#include "database/object.h"
#include "database/undo.h"
#include "plugin/zvi_module.h"

namespace {

struct Call {
    int module, k, code;
};
std::vector<Call> s_Calls;
int s_StartAnswer = 1;

template <int M>
int ZVI_CALL CommandCallback(int k, int code)
{
    s_Calls.push_back({M, k, code});
    return s_StartAnswer;
}

// Object callbacks: module A passes every call on, module B keeps an object
// it is asked to delete (answer 2).
int ZVI_CALL ObjectA(Unit *, int code, void *)
{
    s_Calls.push_back({0, 0, code});
    return 0;
}
int ZVI_CALL ObjectB(Unit *, int code, void *)
{
    s_Calls.push_back({1, 0, code});
    return code == 4 ? 2 : 0;
}

ModuleCommand s_List[6];

ModuleData Module(ZviCommandCallback cb, int active = 1)
{
    ModuleData m{};
    m.defaultEntry.idFlags = ZVI_MENU_PLUGINS;
    m.active = active;
    m.commandProc = cb;
    return m;
}

class ModuleRecords : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        s_Calls.clear();
        s_StartAnswer = 1;
        for (ModuleCommand &c : s_List)
            c = ModuleCommand{};
        s_List[5].idFlags = MODULE_COMMAND_LAST;
        AddModule(Module(CommandCallback<0>));
        AddModule(Module(CommandCallback<1>, 0));
        ModuleData third = Module(CommandCallback<2>);
        third.list = s_List;
        AddModule(third);
    }
};

TEST_F(ModuleRecords, GetDataChecksTheBufferFirstThenTheIndexAndLogsOnlyWithTheDebugBit)
{
    ModuleData out{};
    const int count = ZVI_ModuleGetNumber();
    ASSERT_EQ(count, 3);
    EXPECT_EQ(ZVI_ModuleGetData(count, nullptr), 0);
    EXPECT_EQ(TakeReason(), "ModuleData address invalid!");
    EXPECT_EQ(ZVI_ModuleGetData(count, &out), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("ZVI_ModuleGetData()\n\nIndex invalid!"), std::string::npos);
    TakeReason();
    g_Debugging = 0;
    EXPECT_EQ(ZVI_ModuleGetData(count, &out), 0);
    EXPECT_EQ(ZVI_ModuleGetData(-1, &out), 0);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(ZVI_ModuleGetData(2, &out), 1);
    EXPECT_EQ(out.list, s_List);
    EXPECT_EQ(ZVI_ImportGetData(0, &out), 0);
}

TEST_F(ModuleRecords, ModuleCommandsReachTheirModuleAndNumbersBeyondTheTableAreRefused)
{
    EXPECT_EQ(InputPrepareCommand(1505), 1);
    ASSERT_EQ(s_Calls.size(), 1u);
    EXPECT_EQ(s_Calls[0].module, 2);
    EXPECT_EQ(s_Calls[0].k, 5);
    EXPECT_EQ(s_Calls[0].code, ZVI_CODE_START);
    s_Calls.clear();
    EXPECT_EQ(InputPrepareCommand(1600), 0); // module 3 does not exist
    EXPECT_EQ(InputPrepareCommand(5300), 0); // no import filter
    EXPECT_TRUE(s_Calls.empty());
    // The template comes from the module's entry; k = 0 is the default entry.
    EXPECT_EQ(InputPluginTemplate(1505), reinterpret_cast<const InputTemplate *>(s_List[4].inputTemplate));
    EXPECT_EQ(InputPluginTemplate(1600), nullptr);
    // The module's answer decides; an inactive module is not asked.
    s_StartAnswer = 0;
    EXPECT_EQ(InputPrepareCommand(1300), 0);
    EXPECT_EQ(InputPrepareCommand(1400), 1);
    EXPECT_EQ(s_Calls.size(), 1u);
}

TEST_F(ModuleRecords, DrawingCodesReachEveryModuleAlsoInactiveOnes)
{
    PluginNotifyDrawing(ZVI_CODE_DRAWING_READY);
    PluginNotifyDrawing(ZVI_CODE_DRAWING_LEAVE);
    ASSERT_EQ(s_Calls.size(), 6u);
    EXPECT_EQ(s_Calls[1].module, 1);
    EXPECT_EQ(s_Calls[1].code, 3);
    EXPECT_EQ(s_Calls[4].module, 1);
    EXPECT_EQ(s_Calls[4].code, 4);
}

TEST_F(ModuleRecords, ADeletionHandledByTheSecondModuleRegeneratesAndKeepsTheObject)
{
    InitClearModules();
    ModuleData a{}, b{};
    a.objectProc = reinterpret_cast<void *>(ObjectA);
    b.objectProc = reinterpret_cast<void *>(ObjectB);
    AddModule(a);
    AddModule(b);
    ASSERT_NE(ZVI_UserOpen(1, 0), nullptr);
    ASSERT_EQ(ZVI_UserFastInsert(), 1);
    Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 0);
    ASSERT_NE(u, nullptr);
    u->flags |= UNIT_SELECTED;
    ObjectDeleteSelected(UNIT_SELECTED);
    EXPECT_EQ(u->death, UNIT_DEATH_ALIVE);
    ASSERT_EQ(s_Calls.size(), 2u) << "a kept object is not regenerated";
    EXPECT_EQ(s_Calls[0].module, 0);
    EXPECT_EQ(s_Calls[0].code, 4);
    EXPECT_EQ(s_Calls[1].module, 1);
    EXPECT_EQ(s_Calls[1].code, 4);
}

TEST_F(ModuleRecords, HelpForAPluginCommandAsksItsActiveModuleWithCode2)
{
    ConvertShowCommandHelp(1503);
    ConvertShowCommandHelp(1400); // inactive: not asked
    ASSERT_EQ(s_Calls.size(), 1u);
    EXPECT_EQ(s_Calls[0].module, 2);
    EXPECT_EQ(s_Calls[0].k, 3);
    EXPECT_EQ(s_Calls[0].code, ZVI_CODE_HELP);
}

TEST_F(ModuleRecords, RegistrationOnlyWhileLoadingAndCountsNeverPastTheTables)
{
    ModuleData m{};
    EXPECT_EQ(ZVI_ModuleRegister(&m), 0);
    EXPECT_EQ(TakeReason(), "Not loading plug-ins!");
    g_LanguageInitBlock.moduleCount = 1000; // a plug-in that wrote the count itself
    g_LanguageInitBlock.importCount = -5;
    EXPECT_EQ(ZVI_ModuleGetNumber(), ZVI_MAX_MODULES);
    EXPECT_EQ(ZVI_ImportGetNumber(), 0);
    EXPECT_EQ(PluginLoadFile("no such plugin.dll"), 0);
}

} // namespace

// Plug-in modules asked about their objects: transformations, property
// edits and the plug-in page area.
#include "create_fixture.h"

#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "database/object_attributes.h"
#include "database/object_modify.h"
#include "database/object_modules.h"
#include "database/object_property.h"
#include "plugin/zvi.h"

namespace {

struct Call {
    int module, code;
};
std::vector<Call> g_Calls;
int g_Answers[2][32]; // by module and code
std::vector<bool> g_BuildersReady; // at each transformation or application

// What a module rebuilding its object needs: the builders of the interface.
bool BuildersReady()
{
    if (!ZVI_UserOpen(7, 0))
        return false;
    ZVI_UserClose();
    return true;
}

template <int Module>
int __stdcall Proc(Unit *, int code, void *argument)
{
    g_Calls.push_back({Module, code});
    if (code == MODULE_OBJECT_TRANSFORM || code == MODULE_OBJECT_APPLY)
        g_BuildersReady.push_back(BuildersReady());
    if (code == MODULE_OBJECT_TITLE && argument)
        std::strcpy(static_cast<char *>(argument), Module ? "second page" : "first page");
    return code >= 0 && code < 32 ? g_Answers[Module][code] : 0;
}

class ModulesTest : public CreateTest {
protected:
    void SetUp() override
    {
        CreateTest::SetUp();
        g_Calls.clear();
        g_BuildersReady.clear();
        std::memset(g_Answers, 0, sizeof g_Answers);
        savedCount_ = g_LanguageInitBlock.moduleCount;
        std::memset(&g_LanguageInitBlock.modules[0], 0, 2 * sizeof(ModuleData));
        g_LanguageInitBlock.modules[0].objectProc = reinterpret_cast<void *>(&Proc<0>);
        g_LanguageInitBlock.modules[1].objectProc = reinterpret_cast<void *>(&Proc<1>);
        g_LanguageInitBlock.moduleCount = 2;
    }
    void TearDown() override
    {
        g_LanguageInitBlock.moduleCount = savedCount_;
        std::memset(&g_LanguageInitBlock.modules[0], 0, 2 * sizeof(ModuleData));
        CreateTest::TearDown();
    }
    static Unit *PluginObject(int32_t kindWord)
    {
        const uint32_t bytes = UNIT_ELEMENTS_PLUGIN + ELEM_SIZE_END;
        Unit *u = MemListNewObject(LIST_DRAWING, bytes, nullptr);
        std::memset(reinterpret_cast<uint8_t *>(u) + 16, 0, bytes - 16);
        u->birth = UNIT_BIRTH_ALWAYS;
        u->death = UNIT_DEATH_ALIVE;
        u->kind = UNIT_KIND_PLUGIN;
        u->module = 7;
        u->property = XPropertyDefault();
        u->instance.userFlags = uint32_t(kindWord);
        MatrixInit(&u->instance.placement);
        Element *end = UnitFirstElement(u);
        end->size = ELEM_SIZE_END;
        end->kind = ELEM_END;
        return u;
    }
    int32_t savedCount_ = 0;
};

TEST_F(ModulesTest, ARebuildingModuleIsAskedToRegenerateAndThePlacementStays)
{
    Unit *u = PluginObject(1);
    Matrix move;
    MatrixInit(&move);
    MatrixMove(&move, 5, 0);
    g_Answers[1][MODULE_OBJECT_TRANSFORM] = MODULE_ANSWER_REBUILT;
    EXPECT_EQ(ObjectTransform(u, &move, 0), 1);
    EXPECT_EQ(u->instance.placement.tx, 0.0);
    ASSERT_EQ(g_Calls.size(), 3u);
    EXPECT_EQ(g_Calls[2].module, 1);
    EXPECT_EQ(g_Calls[2].code, MODULE_OBJECT_REGENERATE);

    g_Calls.clear();
    g_Answers[0][MODULE_OBJECT_TRANSFORM] = MODULE_ANSWER_HANDLED; // stops the asking
    EXPECT_EQ(ObjectTransform(u, &move, 0), 0);
    EXPECT_EQ(u->instance.placement.tx, 5.0) << "the program moves the placement";
    EXPECT_EQ(g_Calls.size(), 1u);
}

TEST_F(ModulesTest, PropertyEditsOfferObjectsOncePerModuleAndKind)
{
    g_Answers[1][MODULE_EDIT_BEGIN] = MODULE_ANSWER_REBUILT;
    g_Answers[0][MODULE_OBJECT_TITLE] = MODULE_ANSWER_REBUILT;
    g_Answers[1][MODULE_OBJECT_TITLE] = MODULE_ANSWER_REBUILT;
    ObjectAttributes set;
    ObjectAttributesInit(&set);
    ObjectAttributesBeginModules(&set);
    ASSERT_NE(set.pluginArea, nullptr);
    ObjectAttributesCollect(PluginObject(1), &set);
    ObjectAttributesCollect(PluginObject(1), &set);
    EXPECT_EQ(set.pluginCount, 2) << "both modules took the first object; the second of its kind asks nobody";
    ObjectAttributesCollect(PluginObject(2), &set);
    EXPECT_EQ(set.pluginCount, 4);
    EXPECT_STREQ(static_cast<AttrPluginEntry *>(set.pluginArea)[1].title, "second page");
    EXPECT_EQ(set.present[ATTR_PLUGIN], 1u);
    g_Answers[1][MODULE_PAGE_FILL] = MODULE_ANSWER_REBUILT;
    EXPECT_EQ(ObjectModuleCollect(nullptr, &set, 1), 1);
    EXPECT_EQ(ObjectModuleApply(nullptr, &set, 1), 0);
    EXPECT_EQ(ObjectModuleCollect(nullptr, &set, 9), 0) << "no such entry";
    ObjectAttributesEndModules(&set);
    EXPECT_EQ(g_Calls.back().code, MODULE_EDIT_END);
}

TEST_F(ModulesTest, AModuleTakingAnObjectWithoutAnAreaWritesNothing)
{
    // No module answered the begin: there is no area, yet a module takes the object.
    g_Answers[0][MODULE_OBJECT_TITLE] = MODULE_ANSWER_REBUILT;
    ObjectAttributes set;
    ObjectAttributesInit(&set);
    ObjectAttributesBeginModules(&set);
    ASSERT_EQ(set.pluginArea, nullptr);
    ObjectAttributesCollect(PluginObject(1), &set);
    EXPECT_EQ(set.pluginCount, 0);
    EXPECT_EQ(set.present[ATTR_PLUGIN], 1u);
    ObjectAttributesEndModules(&set);
}

TEST_F(ModulesTest, TheWalksOpenTheBuildersForTheModulesAndLinkWhatTheyTransformed)
{
    Unit *u = PluginObject(1);
    std::strcpy(u->instance.library, "*");
    std::strcpy(u->instance.block, "Gone");
    u->instance.libraryIndex = 5; // stale: left from a library closed since
    u->instance.blockIndex = 3;
    u->flags |= UNIT_TRANSFORM;
    Matrix move;
    MatrixInit(&move);
    MatrixMove(&move, 5, 0);
    EXPECT_EQ(ObjectTransformMarked(&move, UNIT_TRANSFORM, 0), 1);
    EXPECT_EQ(g_BuildersReady, (std::vector<bool>{true, true})) << "both modules could rebuild";
    EXPECT_FALSE(BuildersReady()) << "and the walk ended the builders it started";
    EXPECT_EQ(u->instance.libraryIndex, LIBRARY_INDEX_OWN);
    EXPECT_EQ(u->instance.blockIndex, UNIT_INDEX_UNRESOLVED);
    EXPECT_EQ(u->instance.unresolved, 1);

    // A plug-in that runs the walk keeps its own open object.
    ASSERT_EQ(ZVI_CreationStart(), 1);
    ASSERT_NE(ZVI_ObjectOpen(0), nullptr);
    u->flags |= UNIT_TRANSFORM;
    EXPECT_EQ(ObjectTransformMarked(&move, UNIT_TRANSFORM, 0), 1);
    EXPECT_NE(ZVI_ObjectGetAddress(), nullptr);
    ZVI_ObjectClose();
    ZVI_CreationEnd();

    // The property walk too.
    g_BuildersReady.clear();
    ObjectAttributes set;
    ObjectAttributesInit(&set);
    set.present[ATTR_GENERAL] = 1;
    set.general = AttrPropertyGroup{0, 0, u->property};
    u->flags |= UNIT_SELECTED;
    EXPECT_EQ(ObjectAttributesApplySelection(&set, UNIT_SELECTED, 0, 0, 0), 1);
    EXPECT_EQ(g_BuildersReady, (std::vector<bool>{true, true}));
    EXPECT_FALSE(BuildersReady());
}

} // namespace

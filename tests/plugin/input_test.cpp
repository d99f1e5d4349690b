// What a plug-in command asks about its input: the picks at its points, the
// surface around them, its input callbacks; and the object conversions.
#include "plugin_fixture.h"

#include <cmath>
#include <cstring>

#include "commands/command_state.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/undo.h"
#include "geometry/calc.h"
#include "plugin/zvi_module.h"

namespace {

class Input : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        if (!g_WorkArrays.pathPoints) {
            ASSERT_EQ(MemInitWork(), 1);
        }
        CommandResetStates();
    }
    void TearDown() override
    {
        CommandResetStates();
        PluginTest::TearDown();
    }
};

TEST_F(Input, IdentQueriesAnswerUpToTheCurrentPoint)
{
    Unit *line = TestNewLine(0, 0, 10, 0);
    ASSERT_NE(line, nullptr);
    UndoAssignIdent(line);
    g_CommandState->pointIndex = 1;
    g_CommandState->elementGeo[1].type = 5;
    g_CommandState->elementGeo[1].d[0] = 7;
    g_InputPoints[0].ident = line->ident;

    GeoObject out{};
    EXPECT_EQ(ZVI_InputGetIdentData(0, 1, &out), 5);
    EXPECT_EQ(out.d[0], 7);
    EXPECT_EQ(ZVI_InputGetIdentData(0, 2, &out), -1);
    EXPECT_EQ(TakeReason(), "PointIndex invalid!");
    EXPECT_EQ(ZVI_InputGetIdentData(0, 1, reinterpret_cast<GeoObject *>(GuardedBuffer(160))), -1);
    EXPECT_EQ(TakeReason(), "GeoObject address invalid!");

    EXPECT_EQ(ZVI_InputGetIdentObject(0, 0, &out), 0) << "the picked line";
    EXPECT_EQ(out.d[2], 10);
    EXPECT_EQ(ZVI_InputGetIdentAddress(0, 0), line);
    EXPECT_EQ(ZVI_InputGetIdentAddress(0, -1), nullptr);
    EXPECT_EQ(TakeReason(), "PointIndex invalid!");
}

TEST_F(Input, GeneratedSurfaceIsSizedCopiedAndLeavesNothingBehind)
{
    const double square[4][4] = {{0, 0, 10, 0}, {10, 0, 10, 10}, {10, 10, 0, 10}, {0, 10, 0, 0}};
    for (const auto &l : square)
        TestNewLine(l[0], l[1], l[2], l[3]);
    g_CommandState->pointIndex = 2;
    g_InputPoints[1].x = 4, g_InputPoints[1].y = 6;
    EXPECT_EQ(ZVI_InputGetGeneratedSurface(0, 1, 1, nullptr, 0), 0) << "nothing selected";

    for (Unit *u : TestAliveUnits())
        u->flags |= UNIT_SELECTED;
    const int32_t step = g_UndoStep;
    const int size = ZVI_InputGetGeneratedSurface(0, 1, 1, nullptr, 0);
    ASSERT_GT(size, static_cast<int>(UNIT_ELEMENTS_OBJECT));
    std::vector<uint64_t> buffer(size / 8 + 1);
    EXPECT_EQ(ZVI_InputGetGeneratedSurface(0, 1, 1, buffer.data(), size), size);
    const auto *surface = reinterpret_cast<const Unit *>(buffer.data());
    EXPECT_EQ(surface->object.type, OBJTYPE_SURFACE);
    EXPECT_NEAR(surface->frame[2], 10, 1e-6);
    EXPECT_EQ(ZVI_InputGetGeneratedSurface(0, 1, 1, buffer.data(), size - 8), -1) << "too small";
    EXPECT_EQ(g_UndoStep, step);
    EXPECT_EQ(TestAliveUnits().size(), 4u) << "the regions are gone again";

    EXPECT_EQ(ZVI_InputGetGeneratedSurface(0, 1, 2, nullptr, 0), -1);
    EXPECT_EQ(TakeReason(), "PointCount invalid!");
    EXPECT_EQ(ZVI_InputGetGeneratedSurface(0, 1, 1, GuardedBuffer(16), 32), -1);
    EXPECT_EQ(TakeReason(), "ResultObj address invalid!");
}

// The input callbacks see k and the step; a module without them leaves the
// hooks to the program.
int s_Calls[4];
int __stdcall OnAccept(int k, int step, double x, double)
{
    s_Calls[0] = k, s_Calls[1] = step, s_Calls[2] = static_cast<int>(x);
    return ZVI_INPUT_REFUSED;
}
int __stdcall OnNext(int k, int) { return s_Calls[3] = k, ZVI_INPUT_CONTINUE; }

TEST_F(Input, ModuleCallbacksReplaceTheProgramsHooks)
{
    ModuleData with{}, without{};
    with.defaultEntry.idFlags = ZVI_MENU_PLUGINS;
    with.inputProcs[2] = reinterpret_cast<uint32_t>(&OnAccept);
    with.inputProcs[5] = reinterpret_cast<uint32_t>(&OnNext);
    without.defaultEntry.idFlags = ZVI_MENU_PLUGINS;
    AddModule(without);
    AddModule(with);
    int answer = -1;
    EXPECT_EQ(PluginInputAccept(COMMAND_PLUGIN_FIRST + 3, 1, 2, 3, &answer), 0);
    EXPECT_EQ(answer, -1);
    EXPECT_EQ(PluginInputAccept(COMMAND_PLUGIN_FIRST + COMMAND_PLUGIN_PER_MODULE + 4, 1, 2.5, 3, &answer), 1);
    EXPECT_EQ(answer, ZVI_INPUT_REFUSED);
    EXPECT_EQ(s_Calls[0], 4);
    EXPECT_EQ(s_Calls[1], 1);
    EXPECT_EQ(s_Calls[2], 2);
    EXPECT_EQ(PluginInputNext(COMMAND_PLUGIN_FIRST + COMMAND_PLUGIN_PER_MODULE, 0, &answer), 1);
    EXPECT_EQ(answer, ZVI_INPUT_CONTINUE);
    EXPECT_EQ(PluginInputStep(COMMAND_PLUGIN_FIRST + COMMAND_PLUGIN_PER_MODULE, 0, 0, 0, &answer), 0);
    EXPECT_EQ(PluginInputNext(COMMAND_PLUGIN_FIRST + 2 * COMMAND_PLUGIN_PER_MODULE, 0, &answer), 0)
        << "no third module";
}

TEST_F(Input, RadiusFitGivesWholeRecords)
{
    GeoObject a{}, b{};
    a.type = b.type = 0;
    a.d[2] = 10;                       // (0,0)-(10,0)
    b.d[0] = 0, b.d[2] = 0, b.d[3] = 10; // (0,0)-(0,10)
    std::vector<GeoObject> result(16);
    const int n = ZVI_GeoRadiusFit(&a, &b, 2, 5, result.data());
    ASSERT_EQ(n, 4);
    for (int i = 0; i < n; ++i) {
        EXPECT_NEAR(std::fabs(result[i].d[0]), 2, 1e-9);
        EXPECT_NEAR(std::fabs(result[i].d[1]), 2, 1e-9);
    }
    EXPECT_EQ(ZVI_GeoRadiusFit(&a, &b, 2, 5, reinterpret_cast<GeoObject *>(GuardedBuffer(15 * sizeof(GeoObject)))),
              0);
    EXPECT_EQ(TakeReason(), "Result address invalid!");
}

TEST_F(Input, ConversionsCopyOnlyWhatFits)
{
    Unit *circle = TestNewObject(LIST_DRAWING, OBJTYPE_CIRCLE, {0, 0, 5, 0});
    ASSERT_NE(circle, nullptr);
    void *target = ZVI_UnitBuffer();
    EXPECT_EQ(ZVI_TransformDistortable(circle, static_cast<Unit *>(target)), 1);
    EXPECT_EQ(static_cast<Unit *>(target)->object.type, OBJTYPE_ELLIPSE);
    uint8_t *small = GuardedBuffer(UNIT_ELEMENTS_OBJECT + 8);
    std::memset(small, 0x5a, UNIT_ELEMENTS_OBJECT + 8);
    EXPECT_EQ(ZVI_TransformDistortable(circle, reinterpret_cast<Unit *>(small)), 0);
    EXPECT_EQ(TakeReason(), "ObjPtr2 invalid!");
    EXPECT_EQ(small[0], 0x5a) << "nothing written";
    EXPECT_EQ(ZVI_TransformInvert(reinterpret_cast<const Unit *>(GuardedBuffer(64)), static_cast<Unit *>(target)), 0);
    EXPECT_EQ(TakeReason(), "ObjPtr1 invalid!");
    GlobalFree(target);
}

TEST_F(Input, EllipseArcFeedbackNeedsADeviceContext)
{
    ZVI_InputDrawEllipseArc(nullptr, 0, 0, 2, 0, 0, 1, 1, 0, 0, 1, 1);
    EXPECT_EQ(TakeReason(), "hDrawDC invalid!");
    HDC dc = CreateCompatibleDC(nullptr);
    ZVI_InputDrawEllipseArc(dc, 0, 0, 2, 0, 0, 1, 1, 0, 0, 1, 1);
    EXPECT_EQ(TakeReason(), "");
    DeleteDC(dc);
}

} // namespace

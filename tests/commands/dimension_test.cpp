// Dimensions drawn by a user in a real drawing window: the constructions
// under the settings of the command's kind, the steps taken without a click,
// the text dialog before the dimension, the edits of placed dimensions and
// the measure commands' value box.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/darad4.h"
#include "app/system.h"
#include "app/window.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/input_construct_dim.h"
#include "commands/menu.h"
#include "common/dialog_driver.h"
#include "common/test_commands.h"
#include "common/test_objects.h"
#include "database/object.h"
#include "database/object_modules.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "geometry/matrix.h"
#include "database/undo.h"
#include "dialogs/box02.h"
#include "display/symbol.h"
#include "files/file_drawinginfo.h"
#include "geometry/frame_dim.h"
#include "language/language.h"
#include "plugin/zvi.h"

namespace {

constexpr double PI = 3.14159265358979323846;

class DimensionCommands : public DialogDrawingWindowTest {
protected:
    void SetUp() override
    {
        DialogDrawingWindowTest::SetUp();
        g_DrawingSettings.dimLayoutEditText = 0;
        CommandResetStates();
        g_LocalData.snap.switches[0] = 0; // snapping off: clicks land where they are made
    }
    // Record 0 (command 809): aligned text centred on the line, no measuring
    // direction, extension lines square to the line, the distance mode given.
    static void PlainRecord(int k, int32_t distanceMode, double step)
    {
        uint32_t *n = g_DrawingSettings.dimLargeNumbers[k];
        n[0] = 1, n[1] = 1, n[2] = 1, n[3] = 0;
        DimLargeLines &l = g_DrawingSettings.dimLargeLines[k];
        l.show[0] = l.show[1] = l.show[2] = 1;
        l.modes[0] = 0, l.modes[1] = 0, l.modes[2] = distanceMode;
        l.distance[0] = step;
    }
    static const DimLinearGeometry *Linear(Unit *u)
    {
        const DimLinearGeometry *g = nullptr;
        UnitForEachElement(u, [&](Element *e) {
            if (e->kind == ELEM_SUB_DIM_LINEAR)
                g = static_cast<const DimLinearGeometry *>(ElementPayload(e));
        });
        return g;
    }
    static Unit *OnlyAlive(int32_t type)
    {
        Unit *found = nullptr;
        for (Unit *u : TestAliveUnits())
            if (u->object.type == type)
                found = u;
        return found;
    }
    // A click accepted at the point, as the drawing window hands it on.
    static void Click(double x, double y) { CommandHandleCode(InputPoint(x, y, 1)); }
    static CalcPoint Cp(int i) { return {g_ConstructionPoints[i].x, g_ConstructionPoints[i].y}; }
};

TEST_F(DimensionCommands, DistanceModeTwoSnapsTheDimensionLineToTheStep)
{
    struct Case {
        double cursor, line;
    } cases[] = {{12.4, 10.0}, {12.5, 15.0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.cursor);
        PlainRecord(0, 2, 5.0);
        CommandExecute(809, 1);
        ASSERT_EQ(g_CommandState->commandId, 809);
        const int32_t step = g_UndoStep;
        Click(-20.0, 0.0);
        Click(20.0, 0.0);
        ASSERT_EQ(g_CommandState->pointIndex, 3) << "the direction step is taken without a click";
        InputMove(0.0, c.cursor);
        EXPECT_NEAR(g_ConstructionPoints[8].y, c.line, 1e-9) << "the rubber band's dimension line";
        // The steps after it are taken without a click, and the input is complete.
        ASSERT_EQ(InputPoint(0.0, c.cursor, 1), INPUT_COMPLETE);
        CommandRun(809);
        EXPECT_EQ(g_UndoStep, step + 1) << "built in one undo step";
        Unit *dim = OnlyAlive(OBJTYPE_DIM_DIST);
        ASSERT_NE(dim, nullptr);
        const DimLinearGeometry *g = Linear(dim);
        ASSERT_NE(g, nullptr);
        EXPECT_NEAR(g->q1.y, c.line, 1e-9);
        EXPECT_NEAR(g->q2.x - g->q1.x, 40.0, 1e-9);
        EXPECT_NEAR(g->text.x, 0.0, 1e-9) << "centred";
        ObjectPurgeAll();
    }
}

TEST_F(DimensionCommands, TheStepsWithoutAClickFollowTheSettingsOfTheCommandsKind)
{
    // The record of the command (k = command - 809) and what makes the step automatic.
    struct Case {
        int command, step;
        void (*set)(int k);
        bool automatic;
    };
    const auto none = [](int) {};
    const auto alignedOff = [](int k) { g_DrawingSettings.dimLargeLines[k].show[2] = 0; };
    const auto freeDirection = [](int k) { g_DrawingSettings.dimLargeLines[k].modes[0] = 1; };
    const auto fixedNoStep = [](int k) {
        g_DrawingSettings.dimLargeLines[k].modes[2] = 1;
        g_DrawingSettings.dimLargeLines[k].distance[0] = 0.0;
    };
    const auto endStep = [](int k) { g_DrawingSettings.dimLargeLines[k].modes[1] = 2; };
    const auto textOnLine = [](int k) {
        g_DrawingSettings.dimLargeNumbers[k][1] = 1;
        g_DrawingSettings.dimLargeNumbers[k][2] = 1;
    };
    const auto direction = [](int k) { g_DrawingSettings.dimLargeNumbers[k][3] = 1; };
    const auto smallByPoint = [](int) { g_DrawingSettings.dimSmallNumbers[0][1] = 1; };
    const auto refArrow = [](int) { g_DrawingSettings.textRef.arrow[1] = 1; };
    const Case cases[] = {
        {810, 1, none, true},          {814, 1, none, true},         {821, 1, none, true},
        {842, 1, none, true},          {809, 1, none, false},        {803, 2, refArrow, true},
        {803, 2, none, false},         {809, 2, none, true},         {809, 2, freeDirection, false},
        {813, 2, alignedOff, true},    {811, 2, freeDirection, true}, {818, 2, none, true},
        {822, 2, none, true},          {822, 2, smallByPoint, false}, {809, 3, none, false},
        {816, 3, fixedNoStep, true},   {809, 3, alignedOff, true},   {819, 3, none, true},
        {906, 3, refArrow, true},      {812, 4, none, true},         {812, 4, endStep, false},
        {815, 4, textOnLine, true},    {815, 4, none, false},        {820, 4, fixedNoStep, true},
        {820, 4, none, false},         {817, 5, textOnLine, true},   {817, 5, none, false},
        {814, 5, none, true},          {814, 5, direction, false},   {821, 6, none, true},
        {821, 6, direction, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.command << " step " << c.step);
        SystemInitDrawingSettings(&g_DrawingSettings);
        for (int k = 0; k < DIM_VARIANTS; ++k) {
            PlainRecord(k, 0, 0.0);
            g_DrawingSettings.dimLargeNumbers[k][1] = 0;
            g_DrawingSettings.dimLargeNumbers[k][2] = 0;
        }
        g_DrawingSettings.dimSmallNumbers[0][1] = 0;
        g_DrawingSettings.textRef.arrow[1] = 0;
        TestStartCommand(c.command, c.command);
        c.set(g_CommandState->variant);
        g_CommandState->pointIndex = c.step;
        EXPECT_EQ(InputStepIsAutomatic(), c.automatic ? 1 : 0);
    }
}

TEST_F(DimensionCommands, TheAngleFollowsTheCursorRoundTheVertexAndCopyModeTakesTheOppositeOne)
{
    // Two lines crossing at the origin: along x and along y.
    struct Case {
        double x, y;
        CalcPoint end1, end2;
    } ways[] = {
        {5, 5, {10, 0}, {0, 10}},     // A
        {-5, 5, {0, 10}, {-10, 0}},   // C
        {-5, -5, {-10, 0}, {0, -10}}, // B
        {5, -5, {0, -10}, {10, 0}},   // D
    };
    for (uint32_t copy : {0u, 1u}) {
        for (int w = 0; w < 4; ++w) {
            SCOPED_TRACE(testing::Message() << "copy " << copy << " quadrant " << w + 1);
            TestStartCommand(817, 817);
            g_DrawingSettings.displayDuplicate = copy;
            g_DrawingSettings.dimLargeLines[8].modes[2] = 0;
            const double legs[4][2] = {{-10, 0}, {10, 0}, {0, -10}, {0, 10}};
            for (int i = 0; i < 4; ++i)
                g_ConstructionPoints[i].x = legs[i][0], g_ConstructionPoints[i].y = legs[i][1];
            ASSERT_EQ(InputConstructAngleDimension(3, 0.0, 10.0), 1);
            ASSERT_EQ(InputConstructAngleDimension(4, ways[w].x, ways[w].y), 1);
            const Case &expected = ways[copy ? (w + 2) % 4 : w]; // the vertically opposite angle
            const double r = std::hypot(ways[w].x, ways[w].y) / 10.0;
            EXPECT_NEAR(Cp(10).x, expected.end1.x * r, 1e-9);
            EXPECT_NEAR(Cp(10).y, expected.end1.y * r, 1e-9);
            EXPECT_NEAR(Cp(11).x, expected.end2.x * r, 1e-9);
            EXPECT_NEAR(Cp(11).y, expected.end2.y * r, 1e-9);
            // The arc runs through the cursor's side: the opposite angle's arc goes the long way.
            EXPECT_NEAR(std::fabs(g_ConstructionPoints[13].x), copy ? 1.5 * PI : PI / 2, 1e-9);
        }
    }
    g_DrawingSettings.displayDuplicate = 0;
}

TEST_F(DimensionCommands, ACancelledTextDialogBuildsNothingAndOpensNoUndoStep)
{
    PlainRecord(0, 0, 0.0);
    g_DrawingSettings.dimLayoutEditText = 1;
    CommandExecute(809, 1);
    const int32_t step = g_UndoStep;
    Click(0.0, 0.0);
    Click(30.0, 0.0);
    {
        DialogDriver driver({[](HWND dialog) { TestClickButton(dialog, IDCANCEL); }});
        Click(15.0, 8.0);
        EXPECT_EQ(driver.stepsDone(), 1);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_TRUE(TestAliveUnits().empty());
    EXPECT_EQ(g_UndoStep, step);
    EXPECT_EQ(g_CommandState->commandId, 809) << "ready for the next dimension";

    // OK: the edited texts go to the command's kind and into the dimension.
    Click(0.0, 0.0);
    Click(30.0, 0.0);
    {
        DialogDriver driver({[](HWND dialog) {
            SetDlgItemTextA(dialog, 200, "L=");
            TestClickButton(dialog, IDOK);
        }});
        Click(15.0, 8.0);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    EXPECT_STREQ(g_DrawingSettings.dimLargeTexts[0][0], "L=");
    EXPECT_STRNE(g_DrawingSettings.dimLargeTexts[1][0], "L=") << "810 keeps its own texts";
    Unit *dim = OnlyAlive(OBJTYPE_DIM_DIST);
    ASSERT_NE(dim, nullptr);
    EXPECT_EQ(g_UndoStep, step + 1);
}

TEST_F(DimensionCommands, TheMeasureCommandsShowTheirValuesAndChangeNothing)
{
    CommandExecute(837, 1);
    const int32_t step = g_UndoStep;
    std::string dx, distance, angle;
    {
        DialogDriver driver({[&](HWND dialog) {
            dx = TestItemText(dialog, 200);
            distance = TestItemText(dialog, 202);
            angle = TestItemText(dialog, 203);
            TestClickButton(dialog, IDOK);
        }});
        Click(-15.0, -10.0);
        Click(15.0, 30.0);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    EXPECT_EQ(std::atof(dx.c_str()), 30.0);
    EXPECT_EQ(std::atof(distance.c_str()), 50.0);
    EXPECT_NEAR(std::atof(angle.c_str()), 53.13, 0.01);
    EXPECT_EQ(g_UndoStep, step);
    EXPECT_TRUE(TestAliveUnits().empty());

    // The angle between two directions by the turning flag.
    const CalcPoint c{0, 0}, a{std::cos(10 * PI / 180), std::sin(10 * PI / 180)},
        b{std::cos(30 * PI / 180), std::sin(30 * PI / 180)};
    EXPECT_NEAR(Box02MeasuredAngle(c, a, b, 1) * 180 / PI, 20.0, 1e-9);
    EXPECT_NEAR(Box02MeasuredAngle(c, a, b, 0) * 180 / PI, 340.0, 1e-9);
    EXPECT_NEAR(Box02MeasuredAngle(c, a, a, 0), 0.0, 1e-12);
}

TEST_F(DimensionCommands, TheNumberFormatChangesEveryDimensionAndMarksTheDrawingChanged)
{
    PlainRecord(0, 0, 0.0);
    CommandExecute(809, 1);
    Click(0.0, 0.0);
    Click(40.0, 0.0);
    Click(20.0, 10.0);
    ASSERT_NE(OnlyAlive(OBJTYPE_DIM_DIST), nullptr);
    g_DrawingInfo.modified = 0;
    const int32_t step = g_UndoStep;
    {
        DialogDriver driver({[](HWND dialog) {
            SetDlgItemTextA(dialog, 202, "3");
            TestClickButton(dialog, IDOK);
        }});
        MenuTextDimensionCommand(main_, 826);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    EXPECT_EQ(g_DrawingSettings.dimInts[2], 3);
    EXPECT_NE(g_DrawingInfo.modified, 0u) << "the drawing has changed";
    EXPECT_EQ(g_UndoStep, step) << "not an undo step";
}

} // namespace

namespace {

TEST_F(DimensionCommands, EditingTheTextsOfTheSelectedDimensionRewritesThemInOneUndoStep)
{
    const double points[7][2] = {{0, 0}, {40, 0}, {40, 0}, {20, 10}, {40, 10}, {20, 10}, {30, 10}};
    for (int i = 0; i < 7; ++i)
        g_ConstructionPoints[i].x = points[i][0], g_ConstructionPoints[i].y = points[i][1];
    UndoInitProcess();
    ASSERT_EQ(ObjectNewDimDist(0), 1);
    UndoFinishProcess();
    Unit *dim = OnlyAlive(OBJTYPE_DIM_DIST);
    ASSERT_NE(dim, nullptr);
    dim->flags |= UNIT_SELECTED;
    const int32_t step = g_UndoStep;
    const std::string longText(300, 'v');
    {
        DialogDriver driver({[&](HWND dialog) {
            SetDlgItemTextA(dialog, 200, "");
            SetDlgItemTextA(dialog, 201, longText.c_str());
            TestClickButton(dialog, 250); // the value as typed, not measured
            TestClickButton(dialog, IDOK);
        }});
        MenuTextDimensionCommand(main_, 834);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    EXPECT_EQ(g_UndoStep, step + 1);
    Unit *edited = OnlyAlive(OBJTYPE_DIM_DIST);
    ASSERT_NE(edited, nullptr);
    ASSERT_NE(edited, dim) << "a new unit; the old one died";
    DimRoles roles;
    ASSERT_EQ(FrameDimensionRoles(edited, &roles), 1);
    EXPECT_EQ(roles.firstText->size, 24u) << "the emptied text shrinks";
    const Element *value = ElementNext(roles.firstText);
    EXPECT_EQ(value->size, 272u) << "the value text keeps its full size";
    EXPECT_EQ(std::strlen(static_cast<const char *>(ElementPayload(const_cast<Element *>(value)))), 249u);
    EXPECT_EQ(edited->flags & UNIT_SELECTED, 0u);

    // Two selected objects: the alert, nothing changes.
    edited->flags |= UNIT_SELECTED;
    Unit *line = TestNewLine(0, 0, 5, 5);
    line->flags |= UNIT_SELECTED;
    const int32_t before = g_UndoStep;
    MenuTextDimensionCommand(main_, 834);
    EXPECT_EQ(g_UndoStep, before);
}

TEST_F(DimensionCommands, EditingTheSelectedCommentRewritesItsTitleAndText)
{
    for (int i = 0; i < 2; ++i)
        g_ConstructionPoints[i].x = 10.0 * i, g_ConstructionPoints[i].y = 5.0;
    UndoInitProcess();
    ASSERT_EQ(ObjectNewComment(), 1);
    UndoFinishProcess();
    Unit *comment = OnlyAlive(OBJTYPE_COMMENT);
    ASSERT_NE(comment, nullptr);
    comment->flags |= UNIT_SELECTED;
    const int32_t step = g_UndoStep;
    {
        DialogDriver driver({[](HWND dialog) {
            SetDlgItemTextA(dialog, 200, "Check");
            SetDlgItemTextA(dialog, 201, "the bore");
            TestClickButton(dialog, IDOK);
        }});
        MenuTextDimensionCommand(main_, 834);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    EXPECT_EQ(g_UndoStep, step + 1);
    Unit *edited = OnlyAlive(OBJTYPE_COMMENT);
    ASSERT_NE(edited, nullptr);
    ASSERT_NE(edited, comment);
    std::string text, title;
    for (Element *e = UnitFirstElement(edited); e->kind != ELEM_END; e = ElementNext(e)) {
        if (e->kind == ELEM_TEXT)
            text = static_cast<const char *>(ElementPayload(e));
        else if (e->kind == ELEM_COMMENT)
            title = static_cast<const CommentDataRecord *>(ElementPayload(e))->name;
    }
    EXPECT_EQ(text, "the bore");
    EXPECT_EQ(title, "Check");

    // Cancelled: nothing changes and no step stays open.
    edited->flags |= UNIT_SELECTED;
    DialogDriver cancel({[](HWND dialog) { TestClickButton(dialog, IDCANCEL); }});
    MenuTextDimensionCommand(main_, 834);
    EXPECT_EQ(g_UndoStep, step + 1);
    EXPECT_EQ(OnlyAlive(OBJTYPE_COMMENT), edited);
}

TEST_F(DimensionCommands, EditingTheSelectedInstanceOpensItsAttributesAndReplacesItOnOk)
{
    ASSERT_EQ(SymbolCreateEmptyBlock("*", "Bolt", nullptr), 1);
    BlockInsertSlot entry{};
    std::strcpy(entry.nameLibrary, "*");
    std::strcpy(entry.nameBlock, "Bolt");
    Matrix m;
    MatrixInit(&m);
    UndoInitProcess();
    Unit *instance = SymbolCreateInstance(&entry, &m, nullptr);
    UndoFinishProcess();
    ASSERT_NE(instance, nullptr);
    instance->flags |= UNIT_SELECTED;
    const int32_t step = g_UndoStep;
    {
        DialogDriver cancel({[](HWND dialog) { TestClickButton(dialog, IDCANCEL); }});
        MenuTextDimensionCommand(main_, 834);
        EXPECT_EQ(cancel.stepsDone(), 1);
    }
    EXPECT_EQ(g_UndoStep, step) << "cancelled: no step stays";
    EXPECT_EQ(TestAliveUnits(), std::vector<Unit *>{instance}) << "cancelled: the instance stays";
    instance->flags |= UNIT_SELECTED;
    {
        DialogDriver ok({[](HWND dialog) { TestClickButton(dialog, IDOK); }});
        MenuTextDimensionCommand(main_, 834);
        EXPECT_EQ(ok.stepsDone(), 1);
    }
    EXPECT_EQ(g_UndoStep, step + 1);
    std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_NE(alive[0], instance) << "a new instance replaces the old";
    EXPECT_EQ(alive[0]->kind, UNIT_KIND_INSTANCE);
    EXPECT_STREQ(alive[0]->instance.block, "Bolt");
}

} // namespace

namespace {

DimLargeRecord *LargeOf(Unit *u)
{
    DimLargeRecord *r = nullptr;
    UnitForEachElement(u, [&](Element *e) {
        if (e->kind == ELEM_DIM_LARGE)
            r = static_cast<DimLargeRecord *>(ElementPayload(e));
    });
    return r;
}

// Two dimensions in the property sheet of several objects: the orientation
// chosen in their dimension dialog reaches both, the distance each has of
// its own stays, and undo brings the old state back in one step.
TEST_F(DimensionCommands, SeveralSelectedDimensionsTakeOnlyTheTouchedSettingInOneUndoStep)
{
    const double points[7][2] = {{0, 0}, {40, 0}, {40, 0}, {20, 10}, {40, 10}, {20, 10}, {30, 10}};
    for (int i = 0; i < 7; ++i)
        g_ConstructionPoints[i].x = points[i][0], g_ConstructionPoints[i].y = points[i][1];
    UndoInitProcess();
    ASSERT_EQ(ObjectNewDimDist(0), 1);
    ASSERT_EQ(ObjectNewDimDist(0), 1);
    UndoFinishProcess();
    std::vector<Unit *> dims = TestAliveUnits();
    ASSERT_EQ(dims.size(), 2u);
    const double own[2] = {3.0, 7.0};
    for (int i = 0; i < 2; ++i) {
        ASSERT_NE(LargeOf(dims[i]), nullptr);
        LargeOf(dims[i])->distance = own[i];
        LargeOf(dims[i])->ints3[0] = 0;
        dims[i]->flags |= UNIT_SELECTED;
    }
    const int32_t step = g_UndoStep;
    {
        DialogDriver driver({
            [](HWND sheet) {
                PostMessageA(PropSheet_GetCurrentPageHwnd(sheet), WM_COMMAND, MAKEWPARAM(550, BN_CLICKED), 0);
            },
            [](HWND dialog) {
                TestClickButton(dialog, 819); // orientation 2
                TestClickButton(dialog, IDOK);
            },
            [](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); },
        });
        MenuObjectCommand(main_, 400);
        EXPECT_EQ(driver.stepsDone(), 3);
        EXPECT_EQ(driver.stuckDialogs(), 0);
    }
    EXPECT_EQ(g_UndoStep, step + 1);
    dims = TestAliveUnits();
    ASSERT_EQ(dims.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(LargeOf(dims[i])->ints3[0], 2);
        EXPECT_DOUBLE_EQ(LargeOf(dims[i])->distance, own[i]);
    }
    ASSERT_EQ(UndoStepBack(), 1);
    for (Unit *u : TestAliveUnits())
        EXPECT_EQ(LargeOf(u)->ints3[0], 0);
}

// A plug-in module that rebuilds its object when asked to edit it.
struct EditCall {
    int calls = 0;
    HWND window = nullptr;
    int answer = 0;
};
EditCall g_EditCall;

int __stdcall EditingModule(Unit *, int code, void *argument)
{
    if (code != MODULE_OBJECT_EDIT)
        return 0;
    ++g_EditCall.calls;
    g_EditCall.window = argument ? *static_cast<HWND *>(argument) : nullptr;
    if (g_EditCall.answer == MODULE_ANSWER_REBUILT)
        ZVI_UserOpen(7, 2);
    return g_EditCall.answer;
}

class PluginEdit : public DimensionCommands {
protected:
    void SetUp() override
    {
        DimensionCommands::SetUp();
        g_EditCall = EditCall{};
        savedCount_ = g_LanguageInitBlock.moduleCount;
        saved_ = g_LanguageInitBlock.modules[0];
        std::memset(&g_LanguageInitBlock.modules[0], 0, sizeof(ModuleData));
        g_LanguageInitBlock.modules[0].objectProc = reinterpret_cast<void *>(&EditingModule);
        g_LanguageInitBlock.moduleCount = 1;
    }
    void TearDown() override
    {
        g_LanguageInitBlock.modules[0] = saved_;
        g_LanguageInitBlock.moduleCount = savedCount_;
        DimensionCommands::TearDown();
    }
    static Unit *PluginObject()
    {
        const uint32_t bytes = UNIT_ELEMENTS_PLUGIN + ELEM_SIZE_END;
        Unit *u = MemListNewObject(LIST_DRAWING, bytes, nullptr);
        std::memset(reinterpret_cast<uint8_t *>(u) + 16, 0, bytes - 16);
        u->birth = UNIT_BIRTH_ALWAYS;
        u->death = UNIT_DEATH_ALIVE;
        u->kind = UNIT_KIND_PLUGIN;
        u->module = 7;
        u->property = XPropertyDefault();
        u->instance.userFlags = 1;
        MatrixInit(&u->instance.placement);
        Element *end = UnitFirstElement(u);
        end->size = ELEM_SIZE_END;
        end->kind = ELEM_END;
        return u;
    }
    int32_t savedCount_ = 0;
    ModuleData saved_{};
};

TEST_F(PluginEdit, EditingTheSelectedPluginObjectStoresWhatItsModuleRebuiltInOneUndoStep)
{
    Unit *object = PluginObject();
    object->flags |= UNIT_SELECTED | UNIT_USER_MARK;
    g_EditCall.answer = MODULE_ANSWER_REBUILT;
    const int32_t step = g_UndoStep;
    MenuObjectCommand(main_, 401);
    EXPECT_EQ(g_EditCall.calls, 1);
    EXPECT_EQ(g_EditCall.window, g_MainWnd) << "the module gets the main window to own its dialogs";
    EXPECT_EQ(g_UndoStep, step + 1);
    const std::vector<Unit *> alive = TestAliveUnits();
    ASSERT_EQ(alive.size(), 1u);
    EXPECT_NE(alive[0], object) << "the rebuilt object replaces the old one";
    EXPECT_EQ(alive[0]->kind, UNIT_KIND_PLUGIN);
    EXPECT_EQ(alive[0]->instance.userFlags, 2u);
    EXPECT_EQ(alive[0]->flags & (UNIT_SELECTED | UNIT_USER_MARK | UNIT_MARKED), UNIT_USER_MARK | UNIT_MARKED);
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(TestAliveUnits(), std::vector<Unit *>{object});
}

TEST_F(PluginEdit, AModuleThatOnlyHandlesTheEditOrTwoSelectedObjectsChangeNothing)
{
    Unit *object = PluginObject();
    object->flags |= UNIT_SELECTED;
    g_EditCall.answer = MODULE_ANSWER_HANDLED;
    const int32_t step = g_UndoStep;
    MenuObjectCommand(main_, 401);
    EXPECT_EQ(g_EditCall.calls, 1);
    EXPECT_EQ(g_UndoStep, step) << "no step stays open";
    EXPECT_EQ(TestAliveUnits(), std::vector<Unit *>{object});
    EXPECT_EQ(object->flags & UNIT_SELECTED, 0u) << "the failed edit clears the selection";

    // Two selected objects: the alert, and no module is asked.
    object->flags |= UNIT_SELECTED;
    TestNewLine(0, 0, 5, 5)->flags |= UNIT_SELECTED;
    MenuObjectCommand(main_, 401);
    EXPECT_EQ(g_EditCall.calls, 1);
    EXPECT_EQ(g_UndoStep, step);
}

} // namespace

namespace {

// The working copy of an edited text is sized from the object and the
// longest text, so a text at the longest length comes back whole.
TEST_F(DimensionCommands, EditingATextOfTheLongestLengthKeepsItWhole)
{
    std::string longest;
    while (longest.size() < 7999)
        longest += "word ";
    longest.resize(7999);
    Matrix m;
    MatrixInit(&m);
    UndoInitProcess();
    ASSERT_EQ(SymbolCreateStdText(&g_DrawingSettings.textStd, longest.c_str(), &m), 1);
    UndoFinishProcess();
    Unit *text = OnlyAlive(OBJTYPE_STD_TEXT);
    ASSERT_NE(text, nullptr);
    text->flags |= UNIT_SELECTED;
    {
        DialogDriver driver({[](HWND dialog) { TestClickButton(dialog, IDOK); }});
        MenuTextDimensionCommand(main_, 834);
        EXPECT_EQ(driver.stepsDone(), 1);
    }
    Unit *edited = OnlyAlive(OBJTYPE_STD_TEXT);
    ASSERT_NE(edited, nullptr);
    ASSERT_NE(edited, text);
    std::string stored;
    for (Element *e = UnitFirstElement(edited); e->kind != ELEM_END; e = ElementNext(e))
        if (e->kind == ELEM_TEXT)
            stored = static_cast<const char *>(ElementPayload(e));
    EXPECT_EQ(stored, longest);
}

} // namespace

// The Draw commands that offer several circles (543 to 546) end to end: the
// picks and points through the input machine, the chooser answered through
// its seam, and the circle taken stored in one undo step.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/system.h"
#include "command_fixture.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "common/test_commands.h"
#include "common/test_objects.h"
#include "database/object_types.h"
#include "database/undo.h"
#include "database/unit.h"
#include "dialogs/alert.h"
#include "dialogs/box05.h"
#include "geometry/calc_candidate.h"
#include "language/language.h"

namespace {

constexpr double EPS = 1e-9;

std::vector<std::string> s_Captions;
std::vector<uint32_t> s_Answers;
uint32_t AnswerChooser(const char *caption, int32_t, int32_t)
{
    s_Captions.push_back(caption);
    const size_t i = s_Captions.size() - 1;
    return i < s_Answers.size() ? s_Answers[i] : MULTIPLE_IDENT_CANCEL;
}

std::vector<std::string> s_Alerts;
uint32_t AnswerAlert(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    s_Alerts.push_back(text);
    return code1;
}

struct Circle {
    double cx, cy, r;
};

class CandidateCircles : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(PrepareDrawing());
        savedBox_ = g_Box05MultipleIdentHook;
        g_Box05MultipleIdentHook = AnswerChooser;
        savedAlert_ = g_AlertAnswerHook;
        g_AlertAnswerHook = AnswerAlert;
        s_Captions.clear();
        s_Answers.clear();
        s_Alerts.clear();
    }
    void TearDown() override
    {
        g_Box05MultipleIdentHook = savedBox_;
        g_AlertAnswerHook = savedAlert_;
        FreeStorage();
        CommandTest::TearDown();
    }

    // Starts the command, clicks the points and runs it when complete.
    void Run(int command, const std::vector<CalcPoint> &clicks)
    {
        TestStartCommand(command, command);
        int code = INPUT_CONTINUE;
        for (const CalcPoint &p : clicks) {
            code = InputPoint(p.x, p.y, 1);
            if (code != INPUT_CONTINUE)
                break;
        }
        ASSERT_EQ(code, INPUT_COMPLETE);
        CommandRun(command);
    }
    static std::vector<Unit *> Circles()
    {
        std::vector<Unit *> out;
        for (Unit *u : TestAliveUnits())
            if (u->object.type == OBJTYPE_CIRCLE)
                out.push_back(u);
        return out;
    }
    static Circle Of(const Unit *u)
    {
        const auto *c = reinterpret_cast<const ElementPoint *>(UnitFirstElement(u));
        const auto *p = reinterpret_cast<const ElementPoint *>(ElementNext(UnitFirstElement(u)));
        return {c->x, c->y, std::hypot(p->x - c->x, p->y - c->y)};
    }
    // The triangle (0, 0), (4, 0), (0, 3): incircle of radius 1 about (1, 1).
    static void Triangle()
    {
        ASSERT_NE(TestNewLine(0, 0, 4, 0), nullptr);
        ASSERT_NE(TestNewLine(4, 0, 0, 3), nullptr);
        ASSERT_NE(TestNewLine(0, 3, 0, 0), nullptr);
    }

    Box05MultipleIdentHook savedBox_ = nullptr;
    AlertAnswerHook savedAlert_ = nullptr;
};

TEST_F(CandidateCircles, ThreeLinesOfferTheIncircleFirstAndTheTakenOneIsOneUndoStep)
{
    ASSERT_NO_FATAL_FAILURE(Triangle());
    const int32_t step = g_UndoStep;
    s_Answers = {MULTIPLE_IDENT_TAKE};
    ASSERT_NO_FATAL_FAILURE(Run(543, {{2.0, 0.02}, {2.0, 1.5}, {0.02, 1.5}}));
    ASSERT_EQ(s_Captions.size(), 1u);
    char caption[256];
    CalcCandidateCaption(caption, sizeof caption, eObjectNames[GEO_CIRCLE], 0, 4);
    EXPECT_EQ(s_Captions[0], caption) << "the incircle and three excircles";
    const std::vector<Unit *> circles = Circles();
    ASSERT_EQ(circles.size(), 1u);
    const Circle c = Of(circles[0]);
    EXPECT_NEAR(c.cx, 1.0, EPS);
    EXPECT_NEAR(c.cy, 1.0, EPS);
    EXPECT_NEAR(c.r, 1.0, EPS);
    EXPECT_EQ(g_UndoStep, step + 1);
    EXPECT_FALSE(UndoIsProcessOpen());
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_TRUE(Circles().empty());
    EXPECT_EQ(g_CommandState->commandId, 543) << "the command restarts for the next circle";
}

TEST_F(CandidateCircles, SteppingOnAndCancelling)
{
    ASSERT_NO_FATAL_FAILURE(Triangle());
    s_Answers = {MULTIPLE_IDENT_NEXT, MULTIPLE_IDENT_TAKE};
    ASSERT_NO_FATAL_FAILURE(Run(543, {{2.0, 0.02}, {2.0, 1.5}, {0.02, 1.5}}));
    ASSERT_EQ(Circles().size(), 1u);
    const Circle c = Of(Circles()[0]);
    EXPECT_GT(c.r, 1.5) << "the second offered is an excircle";

    const int32_t step = g_UndoStep;
    s_Captions.clear();
    s_Answers = {MULTIPLE_IDENT_NEXT, MULTIPLE_IDENT_CANCEL};
    ASSERT_NO_FATAL_FAILURE(Run(543, {{2.0, 0.02}, {2.0, 1.5}, {0.02, 1.5}}));
    EXPECT_EQ(s_Captions.size(), 2u);
    EXPECT_EQ(Circles().size(), 1u) << "cancel adds nothing";
    EXPECT_EQ(g_UndoStep, step) << "and leaves no undo step";
    EXPECT_TRUE(s_Alerts.empty());
}

TEST_F(CandidateCircles, NoCircleGivesTheAlertAndNoStep)
{
    // Three parallel lines touch no common circle.
    ASSERT_NE(TestNewLine(0, 0, 10, 0), nullptr);
    ASSERT_NE(TestNewLine(0, 5, 10, 5), nullptr);
    ASSERT_NE(TestNewLine(0, 10, 10, 10), nullptr);
    const int32_t step = g_UndoStep;
    ASSERT_NO_FATAL_FAILURE(Run(543, {{5, 0.02}, {5, 5.02}, {5, 10.02}}));
    EXPECT_TRUE(s_Captions.empty()) << "no chooser";
    ASSERT_EQ(s_Alerts.size(), 1u);
    EXPECT_EQ(s_Alerts[0], eAlertTextSM[8]);
    EXPECT_TRUE(Circles().empty());
    EXPECT_EQ(g_UndoStep, step);
    EXPECT_FALSE(UndoIsProcessOpen());
}

// The fit commands: what is picked or entered, the radius, how many circles
// are offered and where the first one offered (nearest the picks) lies.
struct FitCase {
    int command;
    std::vector<double> lines; // x1 y1 x2 y2 per line drawn first
    std::vector<CalcPoint> clicks;
    double radius;
    size_t offered;
    Circle first;
};

class FitCircles : public CandidateCircles, public testing::WithParamInterface<FitCase> {};

TEST_P(FitCircles, OfferTheCirclesOfTheRadiusNearestThePicksFirst)
{
    const FitCase &c = GetParam();
    for (size_t i = 0; i + 3 < c.lines.size(); i += 4)
        ASSERT_NE(TestNewLine(c.lines[i], c.lines[i + 1], c.lines[i + 2], c.lines[i + 3]), nullptr);
    g_CommandDefaults.distances[COMMAND_DISTANCE_FIT_RADIUS] = c.radius;
    s_Answers = {MULTIPLE_IDENT_TAKE};
    const int32_t step = g_UndoStep;
    ASSERT_NO_FATAL_FAILURE(Run(c.command, c.clicks));
    ASSERT_EQ(s_Captions.size(), 1u);
    char caption[256];
    CalcCandidateCaption(caption, sizeof caption, eObjectNames[GEO_CIRCLE], 0, static_cast<int>(c.offered));
    EXPECT_EQ(s_Captions[0], caption);
    ASSERT_EQ(Circles().size(), 1u);
    const Circle got = Of(Circles()[0]);
    EXPECT_NEAR(got.cx, c.first.cx, 1e-6);
    EXPECT_NEAR(got.cy, c.first.cy, 1e-6);
    EXPECT_NEAR(got.r, c.first.r, 1e-6);
    EXPECT_EQ(g_UndoStep, step + 1);
}

const double ROOT3 = std::sqrt(3.0);

INSTANTIATE_TEST_SUITE_P(
    Draw, FitCircles,
    testing::Values(
        // 544: through two points 4 apart, radius 2.5: centres (2, +-1.5);
        // both as near the points, the first found is offered first.
        FitCase{544, {}, {{0, 0}, {4, 0}}, 2.5, 2, {2, -1.5, 2.5}},
        // 545: touching the x axis and through (5, 3), radius 2: centres
        // (5 -+ sqrt 3, 2), each offered twice (a point touches a circle
        // from inside and outside alike); the one nearer the pick at (3, 0)
        // first.
        FitCase{545, {0, 0, 10, 0}, {{3, 0.02}, {5, 3}}, 2, 4, {5 - ROOT3, 2, 2}},
        // 546: two crossing lines with radius 1: four circles, the one in the
        // quarter of the picks first.
        FitCase{546, {-10, 0, 10, 0, 0, -10, 0, 10}, {{3, 0.02}, {0.02, 3}}, 1, 4, {1, 1, 1}}));

TEST_F(CandidateCircles, FitRadiusTooSmallForTwoPointsGivesTheAlert)
{
    g_CommandDefaults.distances[COMMAND_DISTANCE_FIT_RADIUS] = 1.0;
    ASSERT_NO_FATAL_FAILURE(Run(544, {{0, 0}, {10, 0}}));
    EXPECT_TRUE(s_Captions.empty());
    ASSERT_EQ(s_Alerts.size(), 1u);
    EXPECT_EQ(s_Alerts[0], eAlertTextSM[8]);
    EXPECT_TRUE(Circles().empty());
}

} // namespace

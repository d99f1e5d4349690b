// The term evaluator, one row per case: term, units, expected value or message.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "app/init.h"
#include "app/system_current.h"
#include "app/window.h"
#include "dialogs/box08_term.h"
#include "geometry/calc.h"
#include "language/language.h"
#include "term_alert_counter.h"

namespace {

constexpr double DEG = 0.01745329251994;

// The divisors of a field: its length unit in millimetres, its angle unit in radians.
struct Units {
    const char *name;
    double length, angle;
};
constexpr Units MM = {"mm/deg", 1.0, DEG};
constexpr Units CM = {"cm/deg", 10.0, DEG};
constexpr Units INCH = {"in/deg", 25.4, DEG};
constexpr Units RAD = {"mm/rad", 1.0, 1.0};
constexpr Units REL = {"mm/rel", 1.0, CALC_TWO_PI};
constexpr Units PLAIN = {"plain", 1.0, DEG}; // plain number fields

constexpr int OK = 0;
constexpr int SILENT = -1;

struct Row {
    std::string term;
    Units units;
    double value;        // expected value when message is OK
    int message;         // OK, SILENT or the eAlertTextOK entry shown
    const char *name = nullptr; // the name entry 91 reports
};

// Any owner: the alert seam answers before a box would be made.
HWND Owner()
{
    return (HWND)(INT_PTR)0x1234;
}

std::string ExpectedText(const Row &row)
{
    if (row.message == 91) {
        char text[512];
        std::snprintf(text, sizeof text, eAlertTextOK[91], row.name);
        return text;
    }
    return eAlertTextOK[row.message];
}

void CheckRow(const Row &row, HWND owner)
{
    SCOPED_TRACE("term \"" + row.term + "\" in " + row.units.name + (owner ? "" : " without owner"));
    AlertCounter alerts;
    double out = -12345.0;
    int ok = Box08TermCalculate(owner, row.units.length, row.units.angle, row.term.c_str(), &out);
    EXPECT_EQ(Box08TermWorkBlocksOutstanding(), 0);
    EXPECT_EQ(g_TermState.busy, 0u);
    if (row.message == OK) {
        ASSERT_EQ(ok, 1);
        EXPECT_NEAR(out, row.value, 1e-12 * std::fmax(1.0, std::fabs(row.value)));
        EXPECT_EQ(alerts.Count(), 0u);
        return;
    }
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(out, -12345.0) << "a failed term leaves the output alone";
    if (row.message == SILENT || !owner) {
        EXPECT_EQ(alerts.Count(), 0u);
        return;
    }
    ASSERT_EQ(alerts.Count(), 1u);
    EXPECT_EQ(alerts.Texts()[0], ExpectedText(row));
}

void CheckRows(const std::vector<Row> &rows)
{
    for (const Row &row : rows) {
        CheckRow(row, Owner());
        CheckRow(row, nullptr);
    }
}

class TermEvaluator : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_ActiveWindow = 0;
        WindowResetUnits(&g_DrawWindows[0]);
        WindowSelectCurrent();
        g_ActivePage = 0;
        g_PageFrames[0] = {10.0, 20.0, 307.0, 230.0};
    }
};

TEST_F(TermEvaluator, PrecedenceGroupingAndSigns)
{
    CheckRows({
        {"1+2*3", MM, 7, OK},
        {"(1+2)*3", MM, 9, OK},
        {"2+3*4*5", MM, 62, OK},
        {"2^3*4", MM, 32, OK},
        {"2^3^2", MM, 64, OK},
        {"10-4-3", MM, 3, OK},
        {"2*3^2", MM, 18, OK},
        {"8/2/2", MM, 2, OK},
        {"2+3*4^2*5", MM, 242, OK}, // an operator inserted in the middle of the right edge
        {"2-3*4+5", MM, -5, OK},
        {"1+2^3*2-1", MM, 16, OK},
        {"-2^2", MM, 4, OK}, // the sign belongs to its operand
        {"2^-1", MM, 0.5, OK},
        {"2*-3", MM, -6, OK},
        {"--3", MM, 3, OK},
        {"+5", MM, 5, OK},
        {"-(2+3)", MM, -5, OK},
        {"2*(3+4)*(1+1)", MM, 28, OK},
        {"-sqrt(4)", MM, -2, OK},
    });
}

TEST_F(TermEvaluator, FunctionsInsideAndOutsideTheirRange)
{
    CheckRows({
        {"sqrt(16)", MM, 4, OK},
        {"sqrt(0)", MM, 0, OK},
        {"sqrt(-1)", MM, 0, 88},
        {"sqr(3)", MM, 9, OK},
        {"sqr(-3)", MM, 9, OK},
        {"sqr(1e60)", MM, 0, 88}, // result beyond 1e100
        {"ln(e)", MM, 1, OK},
        {"ln(1)", MM, 0, OK},
        {"ln(0)", MM, 0, 88},
        {"ln(-1)", MM, 0, 88},
        {"arcsin(0.5)", MM, 30.000000000000036, OK},
        {"arcsin(-1)", MM, -90.00000000000011, OK},
        {"arcsin(1.5)", MM, 0, 88},
        {"arccos(0.5)", MM, 60.00000000000007, OK},
        {"arccos(-1.1)", MM, 0, 88},
        {"arctan(1e100)", MM, 90, OK},
        {"arctan(1)", RAD, CALC_PI / 4, OK},
        {"sin(30)", MM, 0.5, OK},
        {"sin(-30)", MM, -0.5, OK},
        {"cos(60)", MM, 0.5, OK},
        {"cos(-720)", MM, 1, OK},
        {"sin(pi/2)", RAD, 1, OK},
        {"sin(1e100)", REL, 0, 88}, // the angle in radians leaves the range
        {"tan(45)", MM, 1, OK},
        {"tan(135)", MM, -1, OK},
        {"tan(90)", MM, 0, 88},
        {"tan(-90)", MM, 0, 88},
        {"tan(270)", MM, 0, 88},
        {"ceil(2.1)", MM, 3, OK},
        {"ceil(-2.9)", MM, -2, OK},
        {"floor(-2.1)", MM, -3, OK},
        {"floor(2.9)", MM, 2, OK},
        {"sqrt(sqr(3)+sqr(4))", MM, 5, OK},
        {"sin30", MM, 0, 84},  // a function name without "("
        {"sqrt", MM, 0, 84},
        {"sqrt(", MM, 0, 84},  // "(" at the end
        {"sqrt(4", MM, 0, 84}, // missing ")"
    });
}

TEST_F(TermEvaluator, TrigonometricResultsWithinATolerance)
{
    struct {
        const char *term;
        double value;
        double tolerance;
    } rows[] = {
        {"sin(30)", 0.5, 1e-12},
        {"cos(60)", 0.5, 1e-12},
        {"tan(45)", 1.0, 1e-12},
        // The stored degree factor is 2e-13 short of pi/180: a few degrees
        // carry that into the eleventh decimal.
        {"arctan(1)", 45.0, 1e-11},
        {"sin(390)", 0.5, 1e-11},
        {"cos(-300)", 0.5, 1e-11},
    };
    for (const auto &r : rows) {
        double out = 0;
        ASSERT_EQ(Box08TermCalculate(nullptr, 1.0, DEG, r.term, &out), 1) << r.term;
        EXPECT_NEAR(out, r.value, r.tolerance) << r.term;
    }
}

TEST_F(TermEvaluator, LengthSuffixesInLengthAndPlainFields)
{
    CheckRows({
        {"1\xB5m", MM, 0.001, OK},
        {"1mm", MM, 1, OK},
        {"1cm", MM, 10, OK},
        {"1dm", MM, 100, OK},
        {"1m", MM, 1000, OK},
        {"1km", MM, 1000000, OK},
        {"1mil", MM, 0.0254, OK},
        {"1in", MM, 25.4, OK},
        {"1ft", MM, 304.8, OK},
        {"1yd", MM, 914.4, OK},
        {"1mile", MM, 1609344, OK},
        {"1dp", MM, 0.03527777777778, OK},
        {"1pt", MM, 0.35277777777778, OK},
        {"1bp", MM, 0.3759398496241, OK},
        {"1cic", MM, 4.5112781954892, OK},
        {"1min", MM, 0.01666666666666, OK}, // length suffixes are searched first
        {"1sec", MM, 0.00027777777777, OK},
        {"1cm+5", MM, 15, OK},
        {"12cm+3in", MM, 196.2, OK},
        {"5", CM, 5, OK},
        {"5mm", CM, 0.5, OK},
        {"1in", CM, 2.54, OK},
        {"1ft", INCH, 12, OK},
        {"1cm", PLAIN, 10, OK},
        {"2*3cm", MM, 60, OK},   // the suffix belongs to its operand
        {"(2+3)cm", MM, 50, OK}, // and to a parenthesis
        {"1mi", MM, 0, 84},      // "m" read, "i" left over
        {"1MM", MM, 1, OK},
    });
}

TEST_F(TermEvaluator, AngleSuffixesInAngleLengthAndPlainFields)
{
    CheckRows({
        {"1deg", MM, 1, OK},
        {"1gra", MM, 0.9, OK},
        {"1rad", MM, 57.29577951308, OK},
        {"1rel", MM, 360.00000000001, OK},
        {"30\xB0", MM, 30, OK},
        {"15'", MM, 0.25, OK},
        {"36\"", MM, 0.01, OK},
        {"30\xB0+15'", MM, 30.25, OK},
        {"30\xB0+15'+36\"", MM, 30.26, OK},
        {"90deg", PLAIN, 90, OK},
        {"1rad", PLAIN, 57.29577951308, OK},
        {"90deg", CM, 90, OK}, // angle suffixes ignore the length unit
        {"180deg", RAD, CALC_PI, OK},
        {"1rel", RAD, 2 * CALC_PI, OK},
        {"200gra", RAD, CALC_PI, OK},
        {"pirad", MM, 180, OK},
        {"1rel", REL, 1, OK},
    });
}

TEST_F(TermEvaluator, NormaliserRules)
{
    CheckRows({
        {"SQRT( 16 )", MM, 4, OK},        // upper case and blanks
        {"2 + 3", MM, 5, OK},
        {"1 0", MM, 10, OK},              // blanks go, even inside a number
        {"2DEG", MM, 2, OK},
        {"2E3", MM, 2000, OK},
        {"2yd1ft", MM, 2133.6, OK},       // "+" after a "d" before a digit
        {"2yd 1ft", MM, 2133.6, OK},      // blanks go first
        {"1gra9", MM, 0, 84},             // "gra" ends in "a": no "+"
        {"30deg15", MM, 45, OK},          // "+" after a "g" before a digit
        {"30deg15min", MM, 30.25, OK},    // "min" is a length suffix: minutes of the mm unit
        {"1ft6in", MM, 0, 84},            // no "+" after a "t"
        {"30\xB0" "15'", MM, 0, 84},      // nor after the degree sign
        {"2d3", MM, 0, 84},               // "2d+3": "d" is no suffix
        {"1dm2", MM, 0, 84},              // "d" is followed by "m", not a digit
    });
}

TEST_F(TermEvaluator, NumbersAreReadUpToTheirFirstUnreadableCharacter)
{
    CheckRows({
        {"1,5", MM, 1.5, OK},
        {"2e3", MM, 2000, OK},
        {"1e-3", MM, 0.001, OK},
        {"1.5e+2", MM, 150, OK},
        {"1.2.3", MM, 1.2, OK}, // the second "." and what follows are passed over
        {"1,2,3", MM, 1.2, OK},
        {".5", MM, 0.5, OK},
        {"5.", MM, 5, OK},
        {"1e100", MM, 1e100, OK},
        {"-1e100", MM, -1e100, OK},
        {"1e101", MM, 0, 88},
        {"-1e101", MM, 0, 88},
        {"e", MM, std::exp(1.0), OK},
        {"pi", MM, CALC_PI, OK},
        {"-pi", MM, -CALC_PI, OK},
        {"2*pi", MM, 2 * CALC_PI, OK},
        {"2e", MM, 0, 84},  // "e" not followed by a digit ends the number
        {"2pi", MM, 0, 84}, // a constant needs an operator before it
        {"", MM, 0, 84},
        {".", MM, 0, 84},
        {"-", MM, 0, 84},
        {"abc", MM, 0, 84},
    });
}

TEST_F(TermEvaluator, PageEdgesInTheCurrentSystem)
{
    CheckRows({
        {"_pl", MM, 10, OK},  {"_pb", MM, 20, OK},  {"_pr", MM, 307, OK}, {"_pt", MM, 230, OK},
        {"_sl", MM, 10, OK},  {"_su", MM, 20, OK},  {"_sr", MM, 307, OK}, {"_so", MM, 230, OK},
        {"_pr-_pl", MM, 297, OK}, {"-_pl", MM, -10, OK}, {"_plmm", MM, 10, OK},
    });
    // A system with its origin at the page's lower-left corner, in centimetres.
    DrawWindow &w = g_DrawWindows[0];
    w.MatrixMMToSystem = Matrix{0.1, 0, 0, 0.1, -1.0, -2.0};
    CheckRows({{"_pl", CM, 0, OK}, {"_pb", CM, 0, OK}, {"_pr", CM, 29.7, OK}, {"_pt", CM, 21, OK}});
    // The active page decides.
    g_PageFrames[1] = {0.0, 0.0, 100.0, 50.0};
    g_ActivePage = 1;
    WindowResetUnits(&w);
    CheckRows({{"_pr", MM, 100, OK}});
}

TEST_F(TermEvaluator, ReferencesOutsideTheCalculatorAreReported)
{
    CheckRows({
        {"x", MM, 0, 91, "x"},     {"y+1", MM, 0, 91, "y"},   {"2*l", MM, 0, 91, "l"},
        {"r", MM, 0, 91, "r"},     {"w", MM, 0, 91, "w"},     {"a", MM, 0, 91, "a"},
        {"_fl", MM, 0, 91, "_fl"}, {"_fr", MM, 0, 91, "_fr"}, {"_ft", MM, 0, 91, "_ft"},
        {"_fb", MM, 0, 91, "_fb"}, {"_rl", MM, 0, 91, "_rl"}, {"_rr", MM, 0, 91, "_rr"},
        {"_ro", MM, 0, 91, "_ro"}, {"_ru", MM, 0, 91, "_ru"}, {"xmm", MM, 0, 91, "x"},
        {"(x)", MM, 0, 91, "x"},
    });
}

std::string Operators(int count, bool parenthesised)
{
    std::string t = "1";
    for (int i = 0; i < count; ++i)
        t += "+1";
    return parenthesised ? "(" + t + ")" : t;
}

std::string Nested(int depth)
{
    return std::string(depth, '(') + "1" + std::string(depth, ')');
}

TEST_F(TermEvaluator, OperatorAndParenthesisLimitsAtTheLimitAndOnePast)
{
    CheckRows({
        {Operators(9, false), MM, 10, OK},
        {Operators(10, false), MM, 0, 86},
        {Operators(9, true), MM, 10, OK},
        {Operators(10, true), MM, 0, 86},
        {"2*" + Operators(9, true) + "+1+1+1+1+1+1+1+1", MM, 28, OK}, // each level counts its own
        {Nested(9), MM, 1, OK},
        {Nested(10), MM, 0, 85},
        {"sqrt(" + Nested(8) + ")", MM, 1, OK},
        {"sqrt(" + Nested(9) + ")", MM, 0, 85},
    });
}

TEST_F(TermEvaluator, TheLongestTerm)
{
    const std::string ones = "1." + std::string(248, '0');
    ASSERT_EQ(ones.size(), 250u);
    const std::string zeros250 = std::string(250, '0');
    CheckRows({
        {ones, MM, 1, OK},
        {std::string(249, '0') + "5", MM, 5, OK},
        {zeros250 + "5", MM, 0, OK},       // the 251st character is not read
        {zeros250 + "x", MM, 0, OK},
        {zeros250 + "+", MM, 0, OK},
        {std::string(300, ' ') + "5", MM, 0, 84}, // blanks count before they go
        // The "+" the normaliser adds pushes the last digit out: the term ends
        // with an operator.
        {std::string(246, '0') + "2yd1", MM, 0, SILENT},
    });
}

TEST_F(TermEvaluator, DivisionByZeroOverflowAndNoRealResult)
{
    CheckRows({
        {"5/0", MM, 0, 83},
        {"5/(1-1)", MM, 0, 83},
        {"0^0", MM, 0, 83},
        {"(-8)^(1/3)", MM, 0, 83},
        {"1e100*10", MM, 0, 83},
        {"1e50^3", MM, 0, 83},
        {"-1e100-1e100", MM, 0, 83},
        {"sqrt(5/0)", MM, 0, 83}, // one message for the inner failure
        {"(5/0)+1", MM, 0, 83},
        {"0^2", MM, 0, OK},
        {"2^0", MM, 1, OK},
        {"(-8)^(1/3)*0", MM, 0, 83},
        {"1e100cm", MM, 0, 83},   // a suffix may push an operand out of range
    });
}

TEST_F(TermEvaluator, SyntaxErrorsAndSilentEnds)
{
    CheckRows({
        {"3+", MM, 0, SILENT},
        {"3*", MM, 0, SILENT},
        {"(3+", MM, 0, SILENT},
        {"3)", MM, 0, 84},
        {")", MM, 0, 84},
        {"()", MM, 0, 84},
        {"3+)", MM, 0, 84},
        {"2*(3)4", MM, 0, 84},
        {"(2x)", MM, 0, 84},
        {"3$", MM, 0, 84},
        {"3**2", MM, 0, 84},
    });
}

// While an evaluator message is open, a second evaluation is refused.
int s_nestedResult = -1;
void EvaluateAgain(const char *)
{
    AlertCounter::s_onAlert = nullptr; // only once
    double out = 0;
    s_nestedResult = Box08TermCalculate(nullptr, 1.0, DEG, "1+1", &out);
}

TEST_F(TermEvaluator, ASecondEvaluationWhileOneRunsIsRefused)
{
    AlertCounter alerts;
    AlertCounter::s_onAlert = EvaluateAgain;
    double out = 0;
    EXPECT_EQ(Box08TermCalculate(Owner(), 1.0, DEG, "5/0", &out), 0);
    EXPECT_EQ(s_nestedResult, 0);
    ASSERT_EQ(alerts.Count(), 2u);
    EXPECT_EQ(alerts.Texts()[0], eAlertTextOK[83]);
    EXPECT_EQ(alerts.Texts()[1], eAlertTextOK[130]) << "shown even without an owner";
    EXPECT_EQ(Box08TermWorkBlocksOutstanding(), 0);
    EXPECT_EQ(g_TermState.busy, 0u);
    ASSERT_EQ(Box08TermCalculate(Owner(), 1.0, DEG, "1+1", &out), 1);
    EXPECT_EQ(out, 2.0);
}

std::string s_diagnostic;
void KeepDiagnostic(const char *text)
{
    s_diagnostic = text;
}

TEST_F(TermEvaluator, ShowsEachTermInTheDialogDiagnosticBox)
{
    const uint32_t debugging = g_Debugging;
    g_InitErrorBoxSink = KeepDiagnostic;
    g_Debugging = DEBUG_DIALOG;
    double out = 0;
    s_diagnostic.clear();
    EXPECT_EQ(Box08TermCalculate(nullptr, 1.0, DEG, "2 * 3", &out), 1);
    EXPECT_NE(s_diagnostic.find("2 * 3"), std::string::npos) << s_diagnostic;
    g_Debugging = 0;
    s_diagnostic.clear();
    EXPECT_EQ(Box08TermCalculate(nullptr, 1.0, DEG, "2", &out), 1);
    EXPECT_TRUE(s_diagnostic.empty());
    g_Debugging = debugging;
    g_InitErrorBoxSink = nullptr;
}

TEST(TermNormalize, RulesOnTheText)
{
    struct {
        const char *in, *out;
    } rows[] = {
        {"", ""},
        {"A B", "ab"},
        {"2yd1ft", "2yd+1ft"},
        {"1GRA5", "1gra5"},
        {"30deg15", "30deg+15"},
        {"d1g2", "d+1g+2"},
        {"\x04" "5", "\x04+5"},
        {"1ft6in", "1ft6in"},
        {"30\xB0" "15'", "30\xB0" "15'"},
        {"dx1", "dx1"},
    };
    for (const auto &r : rows) {
        char term[TERM_MAX_LENGTH + 1];
        std::snprintf(term, sizeof term, "%s", r.in);
        Box08TermNormalize(term);
        EXPECT_STREQ(term, r.out) << r.in;
    }
}

} // namespace

// Field validators: range checks in the current units, one message, the field selected.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <string>

#include "app/window.h"
#include "dialogs/alert_check.h"
#include "dialogs/box08_term.h"
#include "geometry/calc.h"
#include "language/language.h"
#include "term_alert_counter.h"

namespace {

constexpr double DEG = 0.01745329251994;
constexpr int FIELD = 200;

// A window with one edit field, to see the field selected after a failure.
class ValidateFields : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_ActiveWindow = 0;
        WindowResetUnits(&g_DrawWindows[0]);
        WindowSelectCurrent();
        m_dialog = CreateWindowExA(0, "STATIC", "dialog", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_dialog, nullptr);
        m_field = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, m_dialog,
                                  (HMENU)(INT_PTR)FIELD, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_field, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(m_dialog);
        WindowResetUnits(&g_DrawWindows[0]);
    }
    // Puts a text in the field with nothing selected.
    void ResetField(const char *text = "12345")
    {
        SetWindowTextA(m_field, text);
        SendMessageA(m_field, EM_SETSEL, 0, 0);
    }
    bool FieldSelected()
    {
        DWORD start = 0, end = 0;
        SendMessageA(m_field, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        return start == 0 && end == (DWORD)GetWindowTextLengthA(m_field) && end > 0;
    }
    void SetSystem(double lengthFactor, double scale, double widthFactor, double angleFactor)
    {
        DrawWindow &w = g_DrawWindows[0];
        w.lengthFactor = lengthFactor;
        w.mmPerUnit = scale * lengthFactor;
        w.widthFactor = widthFactor;
        w.angleFactor = angleFactor;
    }
    HWND m_dialog = nullptr, m_field = nullptr;
};

enum Kind { LENGTH, WIDTH, ANGLE, COORDINATE, PLAIN };

struct Row {
    Kind kind;
    const char *text;
    double expected;  // when message is 0
    int message;      // 0 valid, else the eAlertTextOK entry
};

int Validate(Kind kind, HWND dialog, const char *text, double *out, int controlId)
{
    switch (kind) {
    case LENGTH: return AlertCheckInputLength(dialog, text, out, controlId);
    case WIDTH: return AlertCheckInputWidth(dialog, text, out, controlId);
    case ANGLE: return AlertCheckInputAngle(dialog, text, out, controlId);
    case COORDINATE: return AlertCheckInputCoordinate(dialog, text, out, controlId);
    default: return AlertCheckInputDouble(dialog, text, out, controlId);
    }
}

TEST_F(ValidateFields, RowsInACentimetreSystemOfScaleTwo)
{
    // Lengths in cm at scale 2, widths in mm, angles in degrees.
    SetSystem(10.0, 2.0, 1.0, DEG);
    const Row rows[] = {
        {LENGTH, "5", 100.0, 0},
        {LENGTH, "5mm", 10.0, 0},
        {LENGTH, "1in", 50.8, 0},
        {LENGTH, "-1e98", -2e99, 0},
        {LENGTH, "-5e98", -1e100, 0}, // the ends are inclusive
        {LENGTH, "-1e100", 0, 8}, // the range applies to the millimetres
        {LENGTH, "5/0", 0, 83},
        {WIDTH, "0.35", 0.35, 0},
        {WIDTH, "1e-10", 1e-10, 0},
        {WIDTH, "0", 0, 8},
        {WIDTH, "-1", 0, 8},
        {WIDTH, "1e11", 0, 8},
        {WIDTH, "1cm", 10.0, 0},
        {ANGLE, "90", 90 * DEG, 0},
        {ANGLE, "370", 10 * DEG, 0},
        {ANGLE, "-370", -10 * DEG, 0},
        {ANGLE, "360", 360 * DEG, 0}, // a whole turn stays
        {ANGLE, "720", std::fmod(720 * DEG, CALC_TWO_PI), 0},
        {ANGLE, "1rad", 1.0, 0},
        {ANGLE, "1e12", 0, 5},  // beyond 1e10 radians
        {ANGLE, "1e11", std::fmod(1e11 * DEG, CALC_TWO_PI), 0}, // 1.7e9 radians: within the range
        {ANGLE, "sin30", 0, 84},
        {COORDINATE, "5", 5.0, 0}, // the system's units, without scale
        {COORDINATE, "5mm", 0.5, 0},
        {COORDINATE, "1e100*2", 0, 83},
        {PLAIN, "90deg", 90.0, 0},
        {PLAIN, "1cm", 10.0, 0},
        {PLAIN, "1rad", 57.29577951308, 0},
        {PLAIN, "x", 0, 91},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string("kind ") + std::to_string(row.kind) + " text " + row.text);
        for (HWND dialog : {m_dialog, (HWND) nullptr}) {
            AlertCounter alerts;
            ResetField();
            double out = -7.0;
            int ok = Validate(row.kind, dialog, row.text, &out, FIELD);
            EXPECT_EQ(Box08TermWorkBlocksOutstanding(), 0);
            if (row.message == 0) {
                EXPECT_EQ(ok, 1);
                EXPECT_NEAR(out, row.expected, 1e-9 * std::fmax(1.0, std::fabs(row.expected)));
                EXPECT_EQ(alerts.Count(), 0u);
                EXPECT_FALSE(FieldSelected());
                continue;
            }
            EXPECT_EQ(ok, 0);
            if (!dialog) {
                EXPECT_EQ(alerts.Count(), 0u) << "a NULL dialog shows nothing";
                EXPECT_FALSE(FieldSelected());
                continue;
            }
            ASSERT_EQ(alerts.Count(), 1u);
            if (row.message != 91) {
                EXPECT_EQ(alerts.Texts()[0], eAlertTextOK[row.message]);
            }
            EXPECT_TRUE(FieldSelected());
        }
    }
}

TEST_F(ValidateFields, OutOfRangeValueStaysInOutWithTheCallersMessage)
{
    AlertCounter alerts;
    double out = 0;
    EXPECT_EQ(AlertCheckInputDoubleRange(m_dialog, "5", &out, FIELD, 0.0, 3.0, "too big"), 0);
    EXPECT_EQ(out, 5.0);
    ASSERT_EQ(alerts.Count(), 1u);
    EXPECT_EQ(alerts.Texts()[0], "too big");
    alerts.Clear();
    EXPECT_EQ(AlertCheckInputDoubleRange(m_dialog, "3", &out, FIELD, 0.0, 3.0, "too big"), 1)
        << "both ends are inclusive";
    EXPECT_EQ(AlertCheckInputDoubleRange(m_dialog, "0", &out, FIELD, 0.0, 3.0, "too big"), 1);
    EXPECT_EQ(alerts.Count(), 0u);
    EXPECT_EQ(AlertCheckInputValue(m_dialog, 1.0, DEG, "4", &out, 1.0, 0.0, 3.0, nullptr, FIELD), 0);
    ASSERT_EQ(alerts.Count(), 1u);
    EXPECT_EQ(alerts.Texts()[0], eAlertTextOK[8]) << "no message: the standard one";
}

TEST_F(ValidateFields, RangeVariantsUseTheirUnits)
{
    SetSystem(25.4, 1.0, 0.0254, DEG); // inches, widths in mil
    AlertCounter alerts;
    double out = 0;
    EXPECT_EQ(AlertCheckInputLengthRange(m_dialog, "2", &out, FIELD, 0.0, 100.0, "m"), 1);
    EXPECT_NEAR(out, 50.8, 1e-12);
    EXPECT_EQ(AlertCheckInputLengthRange(m_dialog, "4", &out, FIELD, 0.0, 100.0, "m"), 0);
    EXPECT_EQ(AlertCheckInputWidthRange(m_dialog, "10", &out, FIELD, 0.0, 1.0, "w"), 1);
    EXPECT_NEAR(out, 0.254, 1e-12);
    EXPECT_EQ(AlertCheckInputWidthRange(m_dialog, "1mm", &out, FIELD, 0.0, 1.0, "w"), 1);
    EXPECT_NEAR(out, 1.0, 1e-12);
    EXPECT_EQ(AlertCheckInputValueEx(m_dialog, 2.0, 1.0, "1mm", &out, 3.0, 0.0, 10.0, "v", FIELD), 1);
    EXPECT_NEAR(out, 1.5, 1e-12);
    EXPECT_EQ(AlertCheckInputAngleEx(m_dialog, 1.0, 1.0, "7", &out, 1.0, FIELD), 1);
    EXPECT_NEAR(out, 7.0 - CALC_TWO_PI, 1e-12);
    ASSERT_EQ(alerts.Count(), 1u);
    EXPECT_EQ(alerts.Texts()[0], "m");
}

TEST_F(ValidateFields, ControlMinusOneShowsTheMessageButSelectsNothing)
{
    AlertCounter alerts;
    ResetField();
    double out = 0;
    EXPECT_EQ(AlertCheckInputWidth(m_dialog, "0", &out, -1), 0);
    EXPECT_EQ(alerts.Count(), 1u);
    EXPECT_FALSE(FieldSelected());
    EXPECT_EQ(AlertCheckInputWidth(m_dialog, "(", &out, -1), 0);
    EXPECT_EQ(alerts.Count(), 2u);
    EXPECT_FALSE(FieldSelected());
}

TEST_F(ValidateFields, ScaleAngleAndDoubleRange)
{
    AlertCounter alerts;
    double a = 370.0;
    EXPECT_EQ(AlertScaleAngle(m_dialog, &a, DEG), 1);
    EXPECT_NEAR(a, 10 * DEG, 1e-11); // 370 stored degrees less one turn
    a = -CALC_TWO_PI;
    EXPECT_EQ(AlertScaleAngle(m_dialog, &a, 1.0), 1);
    EXPECT_EQ(a, -CALC_TWO_PI);
    a = 1e101;
    EXPECT_EQ(AlertScaleAngle(m_dialog, &a, DEG), 0);
    a = 1e99;
    EXPECT_EQ(AlertScaleAngle(m_dialog, &a, 100.0), 0) << "the product leaves the range";
    EXPECT_EQ(AlertScaleAngle(nullptr, &a, 100.0), 0);
    ASSERT_EQ(alerts.Count(), 2u);
    EXPECT_EQ(alerts.Texts()[1], eAlertTextOK[8]);
    alerts.Clear();
    EXPECT_EQ(AlertCheckDoubleRange(m_dialog, 1e100), 1);
    EXPECT_EQ(AlertCheckDoubleRange(m_dialog, -1e100), 1);
    EXPECT_EQ(AlertCheckDoubleRange(m_dialog, 1.1e100), 0);
    EXPECT_EQ(AlertCheckDoubleRange(m_dialog, std::nan("")), 0);
    EXPECT_EQ(AlertCheckDoubleRange(nullptr, 1.1e100), 0);
    EXPECT_EQ(alerts.Count(), 2u);
}

TEST_F(ValidateFields, NamesOfDefinitions)
{
    const char separator = eUniTexts[38][0] ? eUniTexts[38][1] : 0;
    const std::string withSeparator = std::string("ab") + separator + "c";
    struct {
        std::string name;
        int allowEmpty;
        int message; // 0 accepted
    } rows[] = {
        {"", 0, 16},      {"", 1, 0},       {"*abc", 0, 12}, {"~abc", 0, 12},  {"~", 1, 12},
        {"   ", 0, 119},  {" ", 1, 119},    {" x", 0, 0},    {"Pen 1", 0, 0},  {"*", 1, 12},
        {withSeparator, 0, 95},
    };
    for (const auto &row : rows) {
        if (row.message == 0 && separator && row.name.find(separator) != std::string::npos)
            continue; // the placeholder separator may be any character
        SCOPED_TRACE("name \"" + row.name + "\"");
        AlertCounter alerts;
        ResetField();
        EXPECT_EQ(AlertCheckInputName(m_dialog, FIELD, row.name.c_str(), row.allowEmpty), row.message == 0);
        if (row.message == 0) {
            EXPECT_EQ(alerts.Count(), 0u);
            continue;
        }
        ASSERT_EQ(alerts.Count(), 1u);
        EXPECT_EQ(alerts.Texts()[0], eAlertTextOK[row.message]);
        EXPECT_TRUE(FieldSelected());
        alerts.Clear();
        EXPECT_EQ(AlertCheckInputName(nullptr, FIELD, row.name.c_str(), row.allowEmpty), 0);
        EXPECT_EQ(alerts.Count(), 0u);
    }
}

} // namespace

// The multiple-identification box: answers, the information line, its
// remembered position, and a box that cannot be created.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "common/dialog_driver.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box05.h"
#include "language/language.h"

namespace {

int g_Alerts = 0;
uint32_t CountAlert(const char *, uint32_t code1, uint32_t, uint32_t)
{
    ++g_Alerts;
    return code1;
}

class MultipleIdentBox : public testing::Test {
protected:
    void SetUp() override
    {
        savedModule_ = g_LanguageModule;
        g_LanguageModule = GetModuleHandleA("language.dll");
        savedHook_ = g_AlertAnswerHook;
        g_AlertAnswerHook = CountAlert;
        g_Alerts = 0;
        savedPlacement_ = g_Options.choicePlacement;
        std::strcpy(g_LayerDefs[3].name, "Walls");
        std::strcpy(g_PenDefs[4].name, "Thick");
    }
    void TearDown() override
    {
        g_LanguageModule = savedModule_;
        g_AlertAnswerHook = savedHook_;
        g_Options.choicePlacement = savedPlacement_;
    }
    // Opens the box, lets `act` close it, and reports what it showed.
    int Run(int32_t layer, int32_t pen, const DialogStep &act, uint32_t *answer)
    {
        DialogDriver driver({[&](HWND dialog) {
            char text[256] = "";
            GetWindowTextA(dialog, text, sizeof text);
            caption_ = text;
            info_ = TestItemText(dialog, 350);
            GetWindowRect(dialog, &rect_);
            act(dialog);
        }});
        const int result = Box05MultipleIdent(nullptr, "Line (1 of 2)", answer, layer, pen);
        EXPECT_EQ(driver.stuckDialogs(), 0);
        return result;
    }
    HMODULE savedModule_ = nullptr;
    AlertAnswerHook savedHook_ = nullptr;
    WindowPlacement savedPlacement_{};
    std::string caption_, info_;
    RECT rect_{};
};

TEST_F(MultipleIdentBox, EveryButtonIsAnAnswer)
{
    struct Case {
        int id;
        uint32_t answer;
        int result;
    } cases[] = {{550, 550, 1}, {551, 551, 1}, {IDOK, 1, 1}, {IDCANCEL, 2, 0}};
    for (const Case &c : cases) {
        uint32_t answer = 0;
        EXPECT_EQ(Run(3, 4, [&](HWND dialog) { TestClickButton(dialog, c.id); }, &answer), c.result) << c.id;
        EXPECT_EQ(answer, c.answer);
    }
    EXPECT_EQ(caption_, "Line (1 of 2)");
    char expected[256];
    std::snprintf(expected, sizeof expected, eUniTexts[18], "Walls", "Thick");
    EXPECT_EQ(info_, expected);
}

TEST_F(MultipleIdentBox, WithoutALayerNoNamesAreShown)
{
    uint32_t answer = 0;
    Run(-1, 4, [](HWND dialog) { TestClickButton(dialog, IDOK); }, &answer);
    EXPECT_EQ(info_, eUniTexts[17]);
}

TEST_F(MultipleIdentBox, EscapeCancelsAndThePositionIsKept)
{
    g_Options.choicePlacement.pos.x = DIALOG_NO_POSITION;
    uint32_t answer = 0;
    RECT bottom{};
    EXPECT_EQ(Run(3, 4,
                  [&](HWND dialog) {
                      Box01DialogPlace(dialog, 2, nullptr);
                      GetWindowRect(dialog, &bottom);
                      TestPressKey(dialog, VK_ESCAPE);
                  },
                  &answer),
              0);
    EXPECT_EQ(answer, 2u);
    EXPECT_EQ(rect_.left, bottom.left) << "first opened at the bottom of the drawing area";
    EXPECT_EQ(rect_.top, bottom.top);
    EXPECT_EQ(g_Options.choicePlacement.pos.x, bottom.left) << "stored on closing";
    g_Options.choicePlacement.pos = POINT{40, 50};
    Run(3, 4, [](HWND dialog) { TestClickButton(dialog, IDOK); }, &answer);
    EXPECT_EQ(rect_.left, 40);
    EXPECT_EQ(rect_.top, 50);
}

TEST_F(MultipleIdentBox, ABoxThatCannotBeCreatedCountsAsCancel)
{
    g_LanguageModule = GetModuleHandleA(nullptr); // holds no MULTIPLEIDENT
    uint32_t answer = 550;                        // what a stepping caller left from the last round
    EXPECT_EQ(Box05MultipleIdent(nullptr, "x", &answer, -1, -1), 0);
    EXPECT_EQ(answer, 2u);
    EXPECT_EQ(g_Alerts, 1) << "reported";
}

} // namespace

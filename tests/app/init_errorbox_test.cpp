// The three diagnostic boxes: each is shown only when its bit of the
// Debugging setting is set, with the text "<file>\<line>\n\n<message>" cut
// to the box's buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/init.h"
#include "common/test_support.h"

namespace {

std::vector<std::string> &g_Shown = TestCapturedDiagnostics();

class ErrorBoxTest : public testing::Test {
protected:
    void SetUp() override
    {
        saved_ = g_Debugging;
        savedSink_ = g_InitErrorBoxSink;
        g_InitErrorBoxSink = TestCaptureDiagnostic;
        g_Shown.clear();
    }
    void TearDown() override
    {
        g_Debugging = saved_;
        g_InitErrorBoxSink = savedSink_;
    }

private:
    uint32_t saved_ = 0;
    InitErrorBoxSink savedSink_ = nullptr;
};

struct Box {
    const char *name;
    void (*show)(const char *, int, const char *);
    uint32_t bit;
};
const Box BOXES[] = {
    {"InitErrorBox", InitErrorBox, DEBUG_INTERNAL},
    {"InitErrorBoxInterface", InitErrorBoxInterface, DEBUG_INTERFACE},
    {"InitErrorBoxDialog", InitErrorBoxDialog, DEBUG_DIALOG},
};

} // namespace

TEST_F(ErrorBoxTest, EachBoxIsShownOnlyWithItsBit)
{
    struct Case {
        uint32_t debugging;
        bool shown[3]; // internal, interface, dialog
    };
    const Case cases[] = {
        {0, {false, false, false}},
        {2, {false, true, false}},
        {11, {true, true, true}},
        {0x4, {false, false, false}},
        {0x9, {true, false, true}},
    };
    for (const Case &c : cases) {
        g_Debugging = c.debugging;
        for (int i = 0; i < 3; ++i) {
            g_Shown.clear();
            BOXES[i].show("storage", 42, "Something failed.");
            ASSERT_EQ(g_Shown.size(), c.shown[i] ? 1u : 0u) << BOXES[i].name << " with Debugging " << c.debugging;
            if (c.shown[i]) {
                EXPECT_EQ(g_Shown[0], "storage\\42\n\nSomething failed.");
            }
        }
    }
}

TEST_F(ErrorBoxTest, ALongTextIsCutToTheBuffer)
{
    g_Debugging = DEBUG_INTERNAL;
    const std::string message(2000, 'm');
    InitErrorBox("c:\\src\\file.cpp", 7, message.c_str());
    ASSERT_EQ(g_Shown.size(), 1u);
    const std::string head = "c:\\src\\file.cpp\\7\n\n";
    EXPECT_EQ(g_Shown[0].compare(0, head.size(), head), 0);
    EXPECT_LT(g_Shown[0].size(), 600u);
    EXPECT_GT(g_Shown[0].size(), 500u);
    EXPECT_EQ(g_Shown[0].find_first_not_of('m', head.size()), std::string::npos);
}

TEST_F(ErrorBoxTest, MissingFileAndMessageShowAsEmpty)
{
    g_Debugging = DEBUG_INTERNAL;
    InitErrorBox(nullptr, 3, nullptr);
    ASSERT_EQ(g_Shown.size(), 1u);
    EXPECT_EQ(g_Shown[0], "\\3\n\n");
}

#include "common/test_alerts.h"

namespace {

std::vector<const char *> s_Texts;
uint32_t s_Answer = 0;

uint32_t Record(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    s_Texts.push_back(text);
    return s_Answer ? s_Answer : code1;
}

} // namespace

TestAlerts::TestAlerts() : saved_(g_AlertAnswerHook)
{
    s_Texts.clear();
    s_Answer = 0;
    g_AlertAnswerHook = Record;
}

TestAlerts::~TestAlerts()
{
    g_AlertAnswerHook = saved_;
    s_Texts.clear();
    s_Answer = 0;
}

const std::vector<const char *> &TestAlerts::texts() const { return s_Texts; }
void TestAlerts::clear() { s_Texts.clear(); }
void TestAlerts::answer(uint32_t code) { s_Answer = code; }

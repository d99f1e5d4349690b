#include "term_alert_counter.h"

std::vector<std::string> AlertCounter::s_texts;
void (*AlertCounter::s_onAlert)(const char *) = nullptr;

AlertCounter::AlertCounter() : m_previous(g_AlertAnswerHook)
{
    s_texts.clear();
    s_onAlert = nullptr;
    g_AlertAnswerHook = Answer;
}

AlertCounter::~AlertCounter()
{
    g_AlertAnswerHook = m_previous;
    s_onAlert = nullptr;
}

uint32_t AlertCounter::Answer(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    s_texts.push_back(text ? text : "");
    if (s_onAlert)
        s_onAlert(text);
    return code1;
}

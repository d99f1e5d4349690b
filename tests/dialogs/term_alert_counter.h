// Counts the alerts a test provokes, through the alert seam.
#pragma once

#include <string>
#include <vector>

#include "dialogs/alert.h"

// Records every alert text while it lives; restores the previous seam after.
class AlertCounter {
public:
    AlertCounter();
    ~AlertCounter();
    AlertCounter(const AlertCounter &) = delete;
    AlertCounter &operator=(const AlertCounter &) = delete;

    const std::vector<std::string> &Texts() const { return s_texts; }
    size_t Count() const { return s_texts.size(); }
    void Clear() { s_texts.clear(); }

    // Called from inside the seam before it answers (may be empty).
    static void (*s_onAlert)(const char *text);

private:
    static uint32_t Answer(const char *text, uint32_t code1, uint32_t, uint32_t);
    static std::vector<std::string> s_texts;
    AlertAnswerHook m_previous;
};

// The alerts a test provokes: while a TestAlerts lives, every alert box is
// answered at once (with its first code, or the answer set) and its text
// (the language module's pointer) is recorded.
#pragma once

#include <cstdint>
#include <vector>

#include "dialogs/alert.h"

class TestAlerts {
public:
    TestAlerts();
    ~TestAlerts();
    TestAlerts(const TestAlerts &) = delete;
    TestAlerts &operator=(const TestAlerts &) = delete;

    // The texts shown so far, in order.
    const std::vector<const char *> &texts() const;
    void clear();
    // The code the next boxes return; 0 returns each box's first code.
    void answer(uint32_t code);

private:
    AlertAnswerHook saved_;
};

// Seams and helpers for tests of the commands and the input: a running
// command, the modifier keys, beeps, popup answers and a message pump.
#pragma once

#include <windows.h>

#include <cstdint>
#include <set>

// Both command states back to their start, then command `resume` started
// and, when command differs, command started on top of it (resume is then
// the command it interrupted).
void TestStartCommand(int32_t command, int32_t resume);

// The modifier keys (and VK_MBUTTON) the commands see while alive: the keys
// in the set are down, every other key is up.
class TestKeys {
public:
    explicit TestKeys(std::set<int> down = {});
    ~TestKeys();
    TestKeys(const TestKeys &) = delete;
    TestKeys &operator=(const TestKeys &) = delete;
    void Press(int key);
    void Release(int key);
};

// Beeps since the counter was made.
class TestBeeps {
public:
    TestBeeps();
    uint32_t count() const;

private:
    uint32_t start_;
};

// While alive, popup menus are answered with `command` (0: dismissed)
// instead of being shown; counts how often one was asked.
class TestPopupAnswer {
public:
    explicit TestPopupAnswer(int command);
    ~TestPopupAnswer();
    TestPopupAnswer(const TestPopupAnswer &) = delete;
    TestPopupAnswer &operator=(const TestPopupAnswer &) = delete;
    int asked() const;
};

// Dispatches the thread's messages until its queue stays empty (posted
// messages and timers that are due included); at most maxMessages.
int TestPumpUntilIdle(int maxMessages = 10000);

#include "common/test_commands.h"

#include "app/init_sound.h"
#include "commands/command_keys.h"
#include "commands/command_mouse.h"
#include "commands/command_state.h"
#include "commands/input.h"

namespace {

std::set<int> s_KeysDown;
int KeyState(int key) { return s_KeysDown.count(key) ? 1 : 0; }

int s_PopupCommand = 0;
int s_PopupAsked = 0;
int AnswerPopup(HMENU, int, int)
{
    ++s_PopupAsked;
    return s_PopupCommand;
}

} // namespace

void TestStartCommand(int32_t command, int32_t resume)
{
    CommandResetStates();
    InputStart(resume);
    g_CommandState->resumeId = resume;
    if (command != resume)
        InputStart(command);
}

TestKeys::TestKeys(std::set<int> down)
{
    s_KeysDown = std::move(down);
    g_CommandKeyState = KeyState;
}
TestKeys::~TestKeys()
{
    s_KeysDown.clear();
    g_CommandKeyState = nullptr;
}
void TestKeys::Press(int key) { s_KeysDown.insert(key); }
void TestKeys::Release(int key) { s_KeysDown.erase(key); }

TestBeeps::TestBeeps() : start_(g_InitBeepCount) {}
uint32_t TestBeeps::count() const { return g_InitBeepCount - start_; }

TestPopupAnswer::TestPopupAnswer(int command)
{
    s_PopupCommand = command;
    s_PopupAsked = 0;
    g_CommandPopupAnswer = AnswerPopup;
}
TestPopupAnswer::~TestPopupAnswer() { g_CommandPopupAnswer = nullptr; }
int TestPopupAnswer::asked() const { return s_PopupAsked; }

int TestPumpUntilIdle(int maxMessages)
{
    int n = 0;
    MSG msg;
    while (n < maxMessages && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        ++n;
    }
    return n;
}

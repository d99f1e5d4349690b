// The first GDI call of a process may start Wine's desktop process, which
// would inherit the test's output handles and keep the test runner waiting
// for them: they are made non-inheritable before any test draws.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

class NoInheritedOutput : public testing::Environment {
public:
    void SetUp() override
    {
        for (DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE, STD_INPUT_HANDLE}) {
            HANDLE h = GetStdHandle(which);
            if (h && h != INVALID_HANDLE_VALUE)
                SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
        }
    }
};

const testing::Environment *const g_NoInheritedOutput = testing::AddGlobalTestEnvironment(new NoInheritedOutput);

} // namespace

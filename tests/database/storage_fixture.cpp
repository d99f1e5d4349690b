#include "storage_fixture.h"

std::vector<std::string> &CapturedDiagnostics()
{
    static std::vector<std::string> texts;
    return texts;
}

void CaptureDiagnostic(const char *text) { CapturedDiagnostics().push_back(text); }

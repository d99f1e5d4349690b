// Loading and releasing the language module.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/darad4.h"
#include "app/init.h"
#include "app/system.h"
#include "language/language.h"

const char *g_LanguageFileName = "language.dll";

namespace {

// The folder of the instance's file, with its backslash; 0 when the name
// does not fit.
int ModuleFolder(HINSTANCE instance, char out[SYSTEM_PATH_SIZE])
{
    char path[SYSTEM_PATH_SIZE] = "";
    const DWORD n = GetModuleFileNameA(instance, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return 0;
    char *slash = std::strrchr(path, '\\');
    if (slash)
        slash[1] = 0;
    else
        path[0] = 0;
    std::snprintf(out, SYSTEM_PATH_SIZE, "%s", path);
    return 1;
}

uint32_t Fail(HMODULE module, int line, const char *message)
{
    InitErrorBox(__FILE__, line, message);
    // A module that is not ready is not kept: nothing may call into it later.
    if (module)
        FreeLibrary(module);
    return 0;
}

} // namespace

uint32_t InitLoadLanguage(HINSTANCE instance, void *exchangeBlock)
{
    if (!ModuleFolder(instance, g_PathServer))
        return Fail(nullptr, __LINE__, "LoadLibrary() failure");
    char path[SYSTEM_PATH_SIZE];
    const int n = std::snprintf(path, sizeof path, "%s%s", g_PathServer, g_LanguageFileName);
    if (n < 0 || n >= (int)sizeof path)
        return Fail(nullptr, __LINE__, "LoadLibrary() failure");
    HMODULE module = LoadLibraryA(path);
    if (!module)
        return Fail(nullptr, __LINE__, "LoadLibrary() failure");
    if (!GetProcAddress(module, "ZVI_LanguageExit"))
        return Fail(module, __LINE__, "GetProcAddress( \"ZVI_LanguageExit\" ) failure");
    auto init = reinterpret_cast<LanguageInitProc>(GetProcAddress(module, "ZVI_LanguageInit"));
    if (!init)
        return Fail(module, __LINE__, "GetProcAddress( \"ZVI_LanguageInit\" ) failure");
    if (!init(instance, g_MainWnd, LANGUAGE_INTERFACE_NUMBER, exchangeBlock))
        return Fail(module, __LINE__, "ZVI_LanguageInit() failure");
    g_LanguageModule = module;
    g_SystemExchangeBlock = exchangeBlock;
    return 1;
}

uint32_t InitFreeLanguage()
{
    if (!g_LanguageModule)
        return 0;
    auto exitProc = reinterpret_cast<LanguageExitProc>(GetProcAddress(g_LanguageModule, "ZVI_LanguageExit"));
    if (!exitProc) {
        InitErrorBox(__FILE__, __LINE__, "GetProcAddress( \"ZVI_LanguageExit\" ) failure");
        return 0;
    }
    if (!exitProc()) {
        // The module stays loaded: it said it is not done.
        InitErrorBox(__FILE__, __LINE__, "ZVI_LanguageExit() failure");
        return 0;
    }
    const HMODULE module = g_LanguageModule;
    g_LanguageModule = nullptr;
    if (!FreeLibrary(module)) {
        InitErrorBox(__FILE__, __LINE__, "FreeLibrary() failure");
        return 0;
    }
    return 1;
}

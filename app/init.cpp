// The drawing data's start-up and shut-down order and the plug-in tables of
// the exchange block.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/darad4.h"
#include "app/init.h"
#include "display/print.h"
#include "app/system.h"
#include "database/storage.h"
#include "database/symbol_undo.h"
#include "database/undo.h"
#include "files/zvi.h"

namespace {

// The start time as the file code stamps it.
void FormatStartTime()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::snprintf(g_StartTimeText, sizeof g_StartTimeText, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear,
                  now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

// How far InitInit got; a failure undoes the steps before it in reverse.
enum InitStage { STAGE_TEMP_MEMORY, STAGE_WORK_MEMORY, STAGE_OBJECT_MEMORY };

uint32_t FailInit(InitStage reached, int line, const char *message)
{
    InitErrorBox(__FILE__, line, message);
    if (reached >= STAGE_OBJECT_MEMORY)
        MemFreeChunks();
    if (reached >= STAGE_WORK_MEMORY)
        MemExitWork();
    mem_exit_temp();
    return 2;
}

} // namespace

uint32_t InitInit(HINSTANCE instance, HWND mainWindow)
{
    FormatStartTime();
    mem_init_temp();
    if (!MemInitWork())
        return FailInit(STAGE_TEMP_MEMORY, __LINE__, "MemInitWork() failure.");
    MemInitLists();
    if (!MemEnlargeList())
        return FailInit(STAGE_WORK_MEMORY, __LINE__, "MemEnlargeList() failure.");
    UndoReset();
    if (!InitInitDrawing())
        return FailInit(STAGE_OBJECT_MEMORY, __LINE__, "InitInitDrawing() failure.");
    SystemInitDrawing(SystemLocaleInchSwitch());
    SystemInitDrawingSettings(&g_DrawingSettings);
    if (!ZVI_InitFileBuffers())
        return FailInit(STAGE_OBJECT_MEMORY, __LINE__, "ZVI_InitFileBuffers() failure.");
    // A printer is known before the first print.
    PrintInit();
    PrintGetDefaultPrinter(mainWindow);
    return 0;
}

void InitExit()
{
    PrintFreeDevMode();
    ZviExitFileBuffers();
    InitExitDrawing();
    MemExitWork();
    MemFreeChunks();
    mem_exit_temp();
}

// The definition tables and the own-block index are fixed arrays of the
// program; a new drawing only empties them.
uint32_t InitInitDrawing()
{
    g_OwnBlockIndex.count = 0;
    return 1;
}

void InitExitDrawing()
{
    g_OwnBlockIndex.count = 0;
}

uint32_t InitClearModules()
{
    LanguageExchangeBlock &b = g_LanguageInitBlock;
    std::memset(b.moduleArrays, 0, sizeof b.moduleArrays);
    b.moduleCount = 0;
    b.importCount = 0;
    b.exportCount = 0;
    return 1;
}

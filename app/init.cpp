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
#include "dialogs/box13.h"
#include "files/file.h"
#include "files/image_list.h"
#include "files/zvi.h"

namespace {

// How far InitInit got; a failure undoes the steps before it in reverse.
enum InitStage { STAGE_TEMP_MEMORY, STAGE_WORK_MEMORY, STAGE_OBJECT_MEMORY };

uint32_t FailInit(InitStage reached, int line, const char *message)
{
    InitErrorBox(__FILE__, line, message);
    Box13ExitPopup();
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
    FileFormatStartTime(); // the options are read: their date format applies
    // Without its command icons the program cannot show its toolbox.
    if (!Box13InitPopup()) {
        InitErrorBox(__FILE__, __LINE__, "Box13InitPopup() failure.");
        return 2;
    }
    mem_init_temp();
    if (!MemInitWork())
        return FailInit(STAGE_TEMP_MEMORY, __LINE__, "MemInitWork() failure.");
    MemInitLists();
    if (!MemEnlargeList())
        return FailInit(STAGE_WORK_MEMORY, __LINE__, "MemEnlargeList() failure.");
    UndoReset();
    if (!InitInitDrawing())
        return FailInit(STAGE_OBJECT_MEMORY, __LINE__, "InitInitDrawing() failure.");
    if (!ImageInitBitmapList())
        return FailInit(STAGE_OBJECT_MEMORY, __LINE__, "ImageInitBitmapList() failure.");
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
    Box13ExitPopup();
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

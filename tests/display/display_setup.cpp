#include "display_setup.h"

#include <gtest/gtest.h>

#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "database/storage.h"
#include "display/output.h"

void DisplayResetDrawing()
{
    SystemInitDrawing(0);
    SystemInitDrawingSettings(&g_DrawingSettings);
    g_DrawingSettings.displayLinesMode = 0;
    g_DrawingSettings.colorDrawArea = 0; // white
}

void DisplayPrepareStorageAndGdi()
{
    if (!g_Universal1) {
        ASSERT_EQ(MemInitWork(), 1);
    }
    mem_init_temp();
    MemFreeChunks();
    MemInitLists();
    ASSERT_EQ(MemEnlargeList(), 1);
    InitCreateGdiResources();
    InitCreateScreenObjects();
    OutputResetAbort();
    g_OutputAbortHook = nullptr;
}

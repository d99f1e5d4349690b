// The current drawing's information record.
#include "files/file_drawinginfo.h"

#include "app/darad4.h"
#include "app/window_title.h"

CurrentDrawing g_DrawingInfo;
uint32_t g_ReadOnly;

void FileSetModified()
{
    if (g_DrawingInfo.modified)
        return;
    g_DrawingInfo.modified = 1;
    WindowUpdateTitle(g_MainWnd);
}

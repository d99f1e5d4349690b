// The main window's title.
#include "app/window_title.h"

#include <cstdio>
#include <cstring>

#include "files/file_drawinginfo.h"
#include "language/language_entries.h"

namespace {
constexpr int TITLE_SIZE = 512;

// The file name without its folder; an untitled drawing's name without its "*".
const char *ShortName(const char *path)
{
    const char *name = std::strrchr(path, '\\');
    name = name ? name + 1 : path;
    return *name == '*' ? name + 1 : name;
}
} // namespace

void WindowUpdateTitle(HWND mainWindow)
{
    if (!mainWindow)
        return;
    char title[TITLE_SIZE];
    std::snprintf(title, sizeof title, "%s%s%s - %s", ShortName(g_DrawingInfo.currentPath),
                  g_DrawingInfo.modified ? "*" : "", g_ReadOnly ? LANG(eDialogText, ReadOnlyMark) : "",
                  LANG(eStatusTexts, ProgramTitle));
    SetWindowTextA(mainWindow, title);
}

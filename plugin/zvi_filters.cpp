// The commands of the plug-in import and export filters: the file chooser
// offers the filter's format, then the filter reads or writes the file.
#include "app/convert.h"
#include "app/system.h"
#include "commands/command.h"
#include "commands/menu.h"
#include "dialogs/box15.h"
#include "display/output_paint.h"
#include "files/file.h"
#include "files/file_commands.h"
#include "plugin/zvi_module.h"

void MenuFilterCommand(HWND mainWindow, int commandId)
{
    const bool import = commandId < EXPORT_COMMAND_FIRST;
    const int index = commandId - (import ? IMPORT_COMMAND_FIRST : EXPORT_COMMAND_FIRST);
    const int kind = (import ? FILE_KIND_IMPORT : FILE_KIND_EXPORT) + index;
    // A number without a filter that takes part does nothing.
    const ModuleData *filter = import ? ZviImportRecord(index) : ZviExportRecord(index);
    if (!filter || !filter->active || !(import ? filter->importProc : filter->exportProc))
        return;
    FileDialogState &state = g_Options.fileDialogs[FD_FLT];
    state.type = static_cast<uint32_t>(kind);
    const FileTypeSelection request{0, import ? 1u << index : 0u, import ? 0u : 1u << index, kind, -1,
                                    import ? CHOOSER_OPEN : CHOOSER_SAVE};
    char title[CONVERT_TITLE_SIZE] = "";
    ConvertGetCommandTitle(title, commandId);
    if (Box15FileGetName(mainWindow, title, &state, request)) {
        // An import adds to the drawing; an export leaves its name and state alone.
        if (import)
            FileOpenDrawing(state.current, kind, FILE_SECTIONS_ALL, 0, 1);
        else
            FileSaveDrawing(nullptr, state.current, kind, FILE_SECTIONS_ALL, 1);
        OutputRedrawAll(1);
    }
    CommandCancel();
}

// The records of plug-in modules and import and export filters as the
// exchange block holds them. Plug-ins fill them; the program clears the
// tables at start and otherwise only reads them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "commands/command_tables.h"

// ModuleCommand, ModuleData and the callback codes: plugin/sdk/zvi_module_records.h.

// A module's commands are numbered COMMAND_PLUGIN_FIRST + 100 x module + k;
// k = 0 is the module itself, so a module has room for this many commands
// of its list.
constexpr int MODULE_COMMANDS_MAX = 98;
constexpr int IMPORT_COMMAND_FIRST = COMMAND_PLUGIN_LAST + 1; // import filters, then export filters
constexpr int EXPORT_COMMAND_FIRST = 5320;                     // to COMMAND_FILTER_LAST

// The records of the tables, or null for an index at or above the count.
const ModuleData *ZviModuleRecord(int index);
const ModuleData *ZviImportRecord(int index);
const ModuleData *ZviExportRecord(int index);
int ZviModuleCount();
int ZviImportCount();
int ZviExportCount();
// The number of entries of a module's list before the end mark, at most
// MODULE_COMMANDS_MAX: further entries would take the next module's numbers.
int ZviModuleCommandCount(const ModuleData *module);
// The entry that command id stands for (plug-in, import or export command),
// or null when its module or filter does not exist.
const ModuleCommand *ZviCommandEntry(int commandId);

// ---------------------------------------------------------------------------
// Loading the plug-in DLLs and calling into the modules.

struct Unit;

// The folder below the program's folder that holds the plug-in DLLs.
constexpr const char *PLUGIN_FOLDER = "plugins";

// Resets the builders, then loads every DLL of the plug-in folder and lets
// each register its records. Runs after the module tables are cleared and
// before the command table is built. Returns the number of plug-ins kept.
int PluginLoadAll();
// Loads one DLL by path; 1 when it was kept.
int PluginLoadFile(const char *path);

// Before a plug-in or filter command starts: 0 when it may not (no such
// module or filter, or its active command callback answered 0).
int PluginAskStart(int commandId);
// Help for a plug-in or filter command (code 2, active records only); 1 when
// a module was asked.
int PluginAskHelp(int commandId);
// Import filter index on a file (merge: added to the drawing): the filter's
// answer (0 read, 1 not its format, else failed), or 1 when the filter does
// not exist or take part (it takes part when active with an import function).
int PluginImportFile(int index, const char *path, int merge);
// Export filter index: 1 when it wrote the file (selection: the selected
// objects only, mask 4), 0 otherwise.
int PluginExportFile(int index, const char *path, uint32_t selection);

// Codes 3 and 4 to every module record with a command callback.
void PluginNotifyDrawing(int code);
// Offers an object callback code (1, 2, 3, 4, 21) to the modules in table
// order; returns the index of the module that handled it, or -1. A module
// answering 2 to a transformation or an application is then sent code 1 so
// that it regenerates the object; 2 to a deletion only keeps the object.
int PluginOfferObject(Unit *object, int code, void *data);
constexpr int PLUGIN_OBJECT_DELETE = 4;
// Asks the modules for a plug-in object's title (code 3, a 256-byte buffer);
// 1 when one gave it.
int PluginObjectTitle(Unit *object, char *title);

// The input callbacks of a running module command (the input words of its
// record). Each returns 1 when the module has that callback and it was
// called, with the callback's answer in *answer; 0 leaves the hook to the
// program.
int PluginInputStep(int commandId, int step, double x, double y, int *answer);
int PluginInputConstruct(int commandId, int step, double x, double y, int *answer);
int PluginInputAccept(int commandId, int step, double x, double y, int *answer);
int PluginInputNext(int commandId, int step, int *answer);
int PluginInputFeedback(int commandId, int step, HDC dc, int fixed, int moving);
int PluginInputShiftEscape(int commandId);

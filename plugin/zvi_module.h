// The records of plug-in modules and import and export filters as the
// exchange block holds them. Plug-ins fill them; the program clears the
// tables at start and otherwise only reads them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "commands/command_tables.h"

// One command of a module: the first word carries its place or id in the low
// 16 bits, menu flags in bits 16 to 27 and, on the entry after the last one
// of a list, bit 31.
struct ModuleCommand {
    uint32_t idFlags;
    const char *name;     // title
    const char *longName; // menu text
    uint32_t inputTemplate[26];
    HBITMAP bitmap;
    int32_t cellX, cellY; // the command's cell in the bitmap
    int32_t iconChoice;   // -1 none, 0 the cell in the bitmap, else a command id
};
static_assert(sizeof(ModuleCommand) == 132);
static_assert(offsetof(ModuleCommand, bitmap) == 116);
static_assert(offsetof(ModuleCommand, iconChoice) == 128);

constexpr uint32_t MODULE_COMMAND_LAST = 0x80000000;  // on the entry after the last one
constexpr int32_t MODULE_ICON_NONE = -1;
constexpr int32_t MODULE_ICON_OWN_CELL = 0;

typedef int(__stdcall *ModuleCommandProc)(int command, int code);
constexpr int MODULE_CODE_HELP = 2;
constexpr int MODULE_CODE_DRAWING_NEW = 3;   // a drawing was created or loaded
constexpr int MODULE_CODE_DRAWING_CLOSE = 4; // the drawing is about to be saved or replaced

struct ModuleData {
    uint32_t reserved0[2];
    uint32_t inputProcs[7];
    ModuleCommand defaultEntry; // its low 16 bits of idFlags: the place in the menus
    const ModuleCommand *list;  // 0: none
    uint32_t reserved1;
    const char *fileType, *filePattern, *fileExtension; // import and export filters
    uint32_t active;
    uint32_t reserved2[2];
    ModuleCommandProc commandProc;
    void *objectProc;
    void *importProc;
    void *exportProc;
};
static_assert(sizeof(ModuleData) == 216);
static_assert(offsetof(ModuleData, defaultEntry) == 0x24);
static_assert(offsetof(ModuleData, list) == 0xa8);
static_assert(offsetof(ModuleData, fileType) == 0xb0);
static_assert(offsetof(ModuleData, active) == 0xbc);
static_assert(offsetof(ModuleData, commandProc) == 0xc8);
static_assert(offsetof(ModuleData, exportProc) == 0xd4);

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
// answering 2 is then sent code 1 so that it regenerates the object.
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

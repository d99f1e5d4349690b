// The program's side of the plug-in module records: loading the plug-in
// DLLs, the command entries the command table reads, and the callbacks.
#pragma once

#include <cstdint>

struct ModuleData;
struct ModuleCommand;
struct Unit;

// The folder below the program's folder that holds the plug-in DLLs.
constexpr const char *PLUGIN_FOLDER = "plugins";

// Loads every DLL of the plug-in folder and lets each register its records.
// Runs after the module tables are cleared and before the command table is
// built. Returns the number of plug-ins kept.
int PluginLoadAll();
// Loads one DLL by path (the test programs use it); 1 when it was kept.
int PluginLoadFile(const char *path);

// The tables, counts capped to their sizes.
int PluginModuleCount();
int PluginImportCount();
int PluginExportCount();
ModuleData *PluginModule(int index);
ModuleData *PluginImport(int index);
ModuleData *PluginExport(int index);

// The entry of a plug-in or filter command number (1300 to 5339), with the
// record and the command index k within the module; null when the number
// names no existing module, filter or list entry.
const ModuleCommand *PluginCommandEntry(int commandId, ModuleData **record = nullptr, int *k = nullptr);
// Before a plug-in command starts: 0 when it may not (no such module, or its
// active command callback answered 0).
int PluginAskStart(int commandId);
// Help for a plug-in or filter command (code 2, active records only); 1 when
// a module was asked.
int PluginAskHelp(int commandId);
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

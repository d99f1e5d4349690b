// The object callbacks of plug-in modules: what the drawing database asks
// the modules about their own objects (kind 9) and about property edits.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "database/unit.h"
#include "plugin/sdk/zvi_module_records.h"

// The codes of the object callbacks, under the program's names (the SDK
// gives them to plug-ins as ZVI_OBJECT_*).
constexpr int MODULE_OBJECT_REGENERATE = ZVI_OBJECT_REGENERATE;
constexpr int MODULE_OBJECT_TRANSFORM = ZVI_OBJECT_TRANSFORM;
constexpr int MODULE_OBJECT_TITLE = ZVI_OBJECT_TITLE;
constexpr int MODULE_OBJECT_EDIT = ZVI_OBJECT_EDIT;
constexpr int MODULE_EDIT_BEGIN = ZVI_OBJECT_EDIT_BEGIN;
constexpr int MODULE_OBJECT_TAKEN = ZVI_OBJECT_TAKEN;
constexpr int MODULE_PAGE_FILL = ZVI_OBJECT_PAGE_SINGLE;
constexpr int MODULE_PAGE_READ = ZVI_OBJECT_PAGE_MULTI;
constexpr int MODULE_OBJECT_APPLY = ZVI_OBJECT_APPLY;
constexpr int MODULE_EDIT_END = ZVI_OBJECT_EDIT_END;
constexpr int MODULE_ANSWER_HANDLED = ZVI_ANSWER_HANDLED; // stop asking
constexpr int MODULE_ANSWER_REBUILT = ZVI_ANSWER_DONE;
// What codes 19 and 20 carry.
typedef ZviObjectPage ObjectModulePage;

constexpr int MODULE_TITLE_SIZE = 256;

typedef int(__stdcall *ModuleObjectProc)(Unit *unit, int code, void *argument);

// Calls one module's object callback with the output context and the list
// filter kept; 0 when the module has none.
int ObjectCallModule(int module, Unit *unit, int code, void *argument);
// Asks the modules in table order until one answers 1 or 2; that answer (0
// when none did) and, in *module, who gave it.
int ObjectAskModules(Unit *unit, int code, void *argument, int *module);
// Every module with a callback, each once; 1 when any answered 2.
int ObjectTellModules(int code);

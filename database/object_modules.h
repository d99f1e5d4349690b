// The object callbacks of plug-in modules: what the drawing database asks
// the modules about their own objects (kind 9) and about property edits.
#pragma once

#include <cstdint>

#include "database/unit.h"

// Codes sent to the object callbacks.
constexpr int MODULE_OBJECT_REGENERATE = 1;
constexpr int MODULE_OBJECT_TRANSFORM = 2; // argument: the Matrix
constexpr int MODULE_OBJECT_TITLE = 3;     // argument: a text buffer for the page title
constexpr int MODULE_OBJECT_EDIT = 16;     // argument: the address of the main window's handle
constexpr int MODULE_EDIT_BEGIN = 17;
constexpr int MODULE_OBJECT_TAKEN = 18;
constexpr int MODULE_PAGE_FILL = 19;       // argument: the address of the page window
constexpr int MODULE_PAGE_READ = 20;
constexpr int MODULE_OBJECT_APPLY = 21;
constexpr int MODULE_EDIT_END = 22;
// Answers.
constexpr int MODULE_ANSWER_HANDLED = 1;   // stop asking
constexpr int MODULE_ANSWER_REBUILT = 2;

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

// Property commands: a whole edit of the attribute collection, from the
// objects through the property sheet to the undoable application.
#pragma once

#include <windows.h>

#include <cstdint>

#include "database/object_attributes.h"

// Backs up the alive units of list 0 carrying mask (the selection stays on
// the kept copies exactly when keepSelection and not keepCopy) and applies
// the set to each in one undo step; 1, or 0 when the backup failed.
int ObjectAttributesApplySelection(const ObjectAttributes *set, uint32_t mask, int keepCopy, int all,
                                   int keepSelection);

// The property sheet of the first editable object carrying mask, or of all
// of them: 1 when OK applied the sheet in one undo step, 0 when there was
// nothing to edit (after an alert), on Cancel, or when the application
// failed.
int ObjectEditPropertiesSingle(ObjectAttributes *set, uint32_t mask);
int ObjectEditPropertiesMulti(ObjectAttributes *set, uint32_t mask);

// The copy-properties command: the attributes of the object picked with the
// command's second input point go to the alive objects carrying mask, under
// the copy-properties defaults. 1, or 0 when there is no source, when the
// sheet shown first was cancelled, or when the application failed.
int ObjectCopyProperties(ObjectAttributes *set, uint32_t mask);

// The property sheet the copy-properties command shows first when the
// defaults ask for it: 1 OK, 0 cancelled. Unset: the command goes on.
typedef int (*ObjectPropertySheet)(ObjectAttributes *set, int32_t count, int *copy);
extern ObjectPropertySheet g_ObjectMultiSheet;

// A plug-in page of a property sheet is filled from, or read back into, the
// object of its entry by the entry's module; 1 when the module answered 2.
int ObjectModuleCollect(HWND window, ObjectAttributes *set, int entry);
int ObjectModuleApply(HWND window, ObjectAttributes *set, int entry);

// The copy-properties defaults, kept with the remembered working values.
uint32_t *ObjectCopyPropertyWords();

// Blocks and libraries, without undo.
int ObjectGetBlockProperties(const char *library, const char *block, ObjectAttributes *set);
int ObjectSetBlockProperties(const char *library, const char *block, const ObjectAttributes *set);
int ObjectGetLibraryProperties(const char *library, ObjectAttributes *set);
int ObjectSetLibraryProperties(const char *library, const ObjectAttributes *set);

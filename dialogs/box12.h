// Block dialogs: the options of a new group.
#pragma once

#include <windows.h>

#include <cstdint>

// The options of the group command, remembered with the working values.
struct GroupInfo {
    uint32_t editAttributes; // the block attribute dialog opens on the new group
    uint32_t pushProperty;   // the group's property goes down to its members
    uint32_t editProperty;   // the property sheet opens on the group's property
};
static_assert(sizeof(GroupInfo) == 12);

// "GROUPINFO": 1 after OK (the record overwritten), 0 otherwise.
uint32_t Box12GroupInfo(HWND owner, const char *caption, GroupInfo *info);

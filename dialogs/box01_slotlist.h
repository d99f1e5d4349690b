// The list editor of a definition table whose slot 0 is fixed (hatches,
// multilines): a working copy, the names of the used slots in list 170, and
// the commands New (14), Rename (15), Delete (13), Edit (20) and, where the
// template has it, Take (28).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dialogs/box01.h"

struct SlotListTexts {
    int captionNew, captionRename;  // eCaptionTexts
    int messageFull, messageDelete; // eAlertTextOK
    int captionEdit;                // eCaptionTexts: the caption of the edit dialog
    int helpContext;
};

struct SlotListRecord {
    DialogHeader header;
    char caption[256];
    uint8_t *copy;       // slots records of recordSize bytes, each starting with its name
    int slots;
    size_t recordSize;
    int nameSize;
    int selected;        // in: preselected slot; out: the slot taken, or -1
    const SlotListTexts *texts;
    // Edits one record of the copy (caption given); its result is not used.
    int (*edit)(HWND owner, const char *caption, void *record);
};

// Runs the list editor on the record's copy: DIALOG_OK (1) after OK, 28
// after Take (record.selected the slot taken), 0 after Cancel or when the
// template cannot be shown.
uint32_t Box01EditSlotList(HWND owner, const char *templateName, SlotListRecord &record);

constexpr uint32_t SLOT_LIST_TAKEN = 28;

// The record for a table's working copy (records whose name starts them).
template <typename Def>
SlotListRecord Box01SlotListOf(const char *caption, std::vector<Def> &copy, int nameSize, int selected,
                               const SlotListTexts *texts, int (*edit)(HWND, const char *, void *))
{
    SlotListRecord record = {};
    lstrcpynA(record.caption, caption ? caption : "", sizeof record.caption);
    record.copy = reinterpret_cast<uint8_t *>(copy.data());
    record.slots = static_cast<int>(copy.size());
    record.recordSize = sizeof(Def);
    record.nameSize = nameSize;
    record.selected = selected;
    record.texts = texts;
    record.edit = edit;
    return record;
}

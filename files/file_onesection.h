// One-section files: the layer table, the pen table or the drawing's
// comments alone in an ordinary drawing file. Reading takes that one section
// from any drawing file.
#pragma once

#include <cstdint>

struct LayerDef;
struct PenDef;

// The sections inside a running reader or writer. The table is the caller's
// (501 entries): a record whose name is in the table replaces that entry,
// else it goes to its own index when free, else to the first free entry, else
// it is dropped. 1, or 0 after the section's message.
int FileReadLayers(LayerDef *table, uint32_t *linkOut, int32_t *activeOut);
int FileWriteLayers(const LayerDef *table, uint32_t link, int32_t active);
int FileReadPens(PenDef *table, uint32_t *linkOut, int32_t *activeOut);
int FileWritePens(const PenDef *table, uint32_t link, int32_t active);
// The Comment objects of the drawing; reading adds them to the drawing, each
// stamped into the current undo step (the caller brackets the read).
int FileReadObjects();
int FileWriteObjects();

// Whole files. Loading: 1 read (or the file has no such section), 0 failed
// or cancelled; a file that cannot be opened gives 0 without a message.
int FileLoadLayers(const char *path, LayerDef *table, uint32_t *linkOut, int32_t *activeOut);
int FileLoadPens(const char *path, PenDef *table, uint32_t *linkOut, int32_t *activeOut);
int FileLoadObjects(const char *path);
// Saving: 1 written.
int FileSaveLayers(const char *path, const LayerDef *table, uint32_t link, int32_t active);
int FileSavePens(const char *path, const PenDef *table, uint32_t link, int32_t active);
int FileSaveObjects(const char *path);

// The file chooser and the file information dialogs.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/system.h"

// File kinds of the chooser (plug-in formats: 32 + import n, 64 + export n).
constexpr int FILE_KIND_ANY = 0;
constexpr int FILE_KIND_DRAWING = 1;
constexpr int FILE_KIND_ZIPPED = 2;
constexpr int FILE_KIND_BACKUP = 3;
constexpr int FILE_KIND_TEMPLATE = 6;
constexpr int FILE_KIND_EMF = 9;
constexpr int FILE_KIND_WMF = 10;
constexpr int FILE_KIND_BMP = 11;
constexpr int FILE_KIND_BUILTIN_COUNT = 14;
constexpr int FILE_KIND_BITMAP_OTHER = 30; // a bitmap, not offered by the chooser
// Not a file kind: a sections kind whose section choice offers replace or merge.
constexpr int FILE_KIND_SECTIONS_MERGE = 31;
constexpr int FILE_KIND_IMPORT = 32;
constexpr int FILE_KIND_EXPORT = 64;

// Modes of the chooser.
constexpr int32_t CHOOSER_OPEN = 0;
constexpr int32_t CHOOSER_SAVE = 1;
constexpr int32_t CHOOSER_FOLDER = 2;

// What a caller offers: built-in kinds, plug-in import and export formats,
// the kind used when the remembered one is not offered, the kind whose
// sections the sections button shows (-1: none) and the mode.
struct FileTypeSelection {
    uint32_t kinds;
    uint32_t imports;
    uint32_t exports;
    int32_t fallback;
    int32_t sectionsKind;
    int32_t mode;
};

constexpr int CHOOSER_FILTER_SIZE = 2048;
constexpr int CHOOSER_EXTENSION_SIZE = 32;
constexpr int CHOOSER_MAX_FILTERS = FILE_KIND_BUILTIN_COUNT + 2 * 20;

// The filter list of the common dialog and, per 0-based filter position, its
// kind and default extension. A filter that does not fit into the text is
// left out, and so is its position.
struct ChooserFilters {
    char text[CHOOSER_FILTER_SIZE];
    int count;
    int kinds[CHOOSER_MAX_FILTERS];
    char extensions[CHOOSER_MAX_FILTERS][CHOOSER_EXTENSION_SIZE];
};
void Box15BuildFilters(const FileTypeSelection &selection, ChooserFilters *out);

// 1 when a file (or folder) was chosen: the state's path and kind are
// updated. 0 on cancel or failure (the state's kind and path are unchanged).
int Box15FileGetName(HWND owner, const char *caption, FileDialogState *state, const FileTypeSelection &selection);
// Rearranges the complete common dialog (common) and the chooser's own panel
// inside it: the buttons in a column beside the file list, the list taller.
void Box15FileGetNameLayout(HWND common, HWND panel);
// The chooser's sections button: the section choice of a drawing kind on the
// state's option word (its default the matching file mode of the options),
// the output settings when saving a metafile, or a plug-in format's own
// settings. 0 when the kind has nothing to show (the caller then tries the
// selection's sections kind); 1 otherwise.
int Box15FileGetNameSettings(HWND owner, int kind, const FileTypeSelection &selection, FileDialogState *state);
// Help on a file kind: a plug-in format's command callback with code 2 (when
// its record is active), the program's help on file kinds for the others.
void Box15FileTypeHelp(HWND owner, int kind);
// The kind of the filter at a 0-based position; the fallback beyond the end.
int Box15TypeFromFilterIndex(int position, const FileTypeSelection &selection);
// The favourite-folder record of the options that serves a kind.
FileDialogState *Box15DefaultPathForType(int kind, const FileTypeSelection &selection);
// The name with the extension a newly chosen filter brings: unchanged for
// an empty name, one ending in a folder separator, or an extension "*".
void Box15NameForFilter(const char *name, const char *extension, char *out, int size);

// The section choice of a drawing-file operation: 1 on OK (mask updated:
// bit 0 set, bits 1 to 27 those of the chosen sections, bits 28 to 31
// kept), 0 otherwise. With defaultMask the stored default can be stored and
// restored; it is written back whenever the dialog ran, also after Cancel.
// flags nonzero shows the replace/merge choice (bit 30).
constexpr uint32_t FILE_SECTIONS_ALWAYS = 0x1;
int Box15FileSections(HWND owner, const char *caption, uint32_t *mask, uint32_t *defaultMask, int flags);

// Information about a file: its size and date, and for a bitmap its size
// and colours, for a drawing or library its descriptive record. 1 after
// the dialog, 0 when the file cannot be read (with the file alert).
int Box15FileInfo(HWND owner, const char *caption, const char *path);
// The descriptive record of the drawing (slot BOX15_DRAWING_SLOT) or of a
// library slot, edited on a copy; a library title is checked. 1 on OK.
constexpr int BOX15_DRAWING_SLOT = 999;
struct DrawingInfo;
int Box15FileEditDetails(HWND owner, const char *caption, const char *fileName, DrawingInfo *info, int slot,
                         uint32_t *titleChanged);
// The same record shown only; 1 after the dialog.
int Box15FileViewDetails(HWND owner, const char *caption, const char *fileName, DrawingInfo *info);

// Test seam: when set, the chooser is answered by this function instead of
// the common dialog. It may set the state's path and kind; its result is the
// chooser's.
typedef int (*Box15ChooserHook)(const char *caption, FileDialogState *state, const FileTypeSelection &selection);
extern Box15ChooserHook g_Box15ChooserHook;

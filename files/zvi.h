// The file services shared by the file formats, the file commands and plug-in
// modules: the token writer and reader of the program's text format, file
// names, temporary files and raw file access.
//
// Every ZVI_File* function is part of the plug-in interface and keeps a plain
// C name. Results follow the program's rule: 1 success, 0 failure, or a count.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The functions and records plug-ins use: plugin/sdk/zvi_file.h.
#include "plugin/sdk/zvi_file.h"

// The text of keyword index (0 to 21), or null.
const char *ZviKeywordText(int index);
// The name of drawing-settings key index (0 to 108), or null.
const char *ZviProfileKeyName(int index);

// ---------------------------------------------------------------------------
// Shared buffers: allocated once at start-up, freed at exit. ZVI_InitFileBuffers
// also restores the default delimiter sets of writer and reader.
extern "C" int ZVI_InitFileBuffers();
void ZviExitFileBuffers();

// ---------------------------------------------------------------------------
// Token reader

// The file version the header check found (400, 420, 450 or 460); 460 after
// each start of the reader.
extern int32_t g_FileVersion;
// Kept for the drawing reader; both cleared by each start.
extern uint32_t g_FileSkippedSection; // a section was present but not read
extern uint32_t g_FileSectionsRead;   // mask of the sections read
extern uint32_t g_FileBrokenCycles;   // instances that closed a cycle of blocks and are not expanded

// The last failure of the reader: its message (without the line) and the
// 1-based line it was found on; an empty text and 0 after each start. Lets
// a caller tell the user where a file is damaged.
const char *ZviReadLastErrorText();
int32_t ZviReadLastErrorLine();

// ---------------------------------------------------------------------------
// File names, temporary files and raw file access

// The folder ZVI_FileApplicationPath places names in (with its trailing
// backslash). Start-up points it at the server folder of the machine
// settings; while it is null the program's own folder is used.
extern const char *g_ZviServerFolder;

// Temporary names, each written into a 260-byte buffer; 1, or 0 when the
// temporary folder cannot be had.
int ZviTempNameDrawing(char *out); // ORVYNTMP.ZVD, deleted at program exit
int ZviTempNameOld2(char *out);    // ZV45TEMP.N4V
int ZviTempNameOld1(char *out);    // PLRQ4TMP.N4V
int ZviTempPath(char *out);        // the temporary folder alone

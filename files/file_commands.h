// The drawing-file operations behind the file commands: the current name and
// the recent list, the question before a drawing is closed or replaced, new,
// open, save and save as.
#pragma once

#include <cstdint>

#include "files/file_drawinginfo.h"

// Result codes of FileOpenDrawing and FileLoadDrawing.
constexpr int FILE_OPEN_DONE = 0;
constexpr int FILE_OPEN_NOT_THIS_KIND = 1;
constexpr int FILE_OPEN_FAILED = 2;

// The untitled name ("*" and the language module's default name) and no
// sections found.
void FileSetDefaultName();
// Makes path the drawing's name and puts it in front of the recent list
// (one entry per file, whatever the case of its letters). An exported file
// gives the name of the drawing it would become.
void FileSetCurrentName(const char *path, int exported);

// The lock on the drawing's own file, kept while it is open.
void FileLockCurrent();
void FileUnlockCurrent();
extern char g_LockedPath[DRAWING_PATH_SIZE];

void FileInitDrawingInfo(DrawingInfo *info);
void FileStampDrawingInfo(DrawingInfo *info);

// Tells the plug-ins that the drawing is about to be replaced and, when it
// was changed, asks whether to save it first. 1 go on, 0 cancelled (also
// when the save failed).
int FileQueryClose();
// A new drawing from the template (null: the default drawing).
int FileNewDrawing(const char *templatePath, uint32_t sections);
// Reads a file of the given kind (0: recognised by its content). With
// setName the file becomes the drawing's name; with merge its contents are
// added to the drawing.
int FileLoadDrawing(const char *path, int kind, uint32_t sections, int setName, int merge);
int FileOpenDrawing(const char *path, int kind, uint32_t sections, int setName, int merge);
// 1 when the drawing was written.
int FileSaveDrawing(const DrawingInfo *info, const char *path, int kind, uint32_t sections, int purge);
// Chooses a name and saves; 1 when saved.
int FileSaveDrawingAs(const char *caption);

// The views of the windows into the drawing's saved views and back.
void FileViewsFromWindows();
void FileViewsToWindows();

// The drawing-file operations behind the file commands: the question before
// a drawing is closed or replaced, and opening a drawing.
#pragma once

#include <cstdint>

// Result codes of FileOpenDrawing.
constexpr int FILE_OPEN_DONE = 0;
constexpr int FILE_OPEN_NOT_THIS_KIND = 1;
constexpr int FILE_OPEN_FAILED = 2;

// The untitled name ("*" and the language module's default name) and no
// sections found.
void FileSetDefaultName();
// Tells the plug-ins that the drawing is about to be replaced and, when it
// was changed, asks whether to save it first. 1 go on, 0 cancelled (also
// when the save failed). An untitled or read-only drawing cannot be saved
// in place and cancels until the file chooser of Save As exists.
int FileQueryClose();
// Opens a drawing of the program's own format in place of the current one
// (kind 0: recognised by its content); the other kinds come with the
// importers. With setName the file becomes the drawing's name.
int FileOpenDrawing(const char *path, int kind, uint32_t sections, int setName, int merge);

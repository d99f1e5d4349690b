// The descriptive record of a drawing or library and the state of the
// current drawing that the rest of the program reads.
#pragma once

#include <cstdint>

constexpr int DRAWING_INFO_FIELD = 64;
constexpr int DRAWING_INFO_COMMENT = 256;
constexpr int DRAWING_PATH_SIZE = 260;

struct DrawingInfo {
    char title[DRAWING_INFO_FIELD];   // a library's name; "*" or empty: none
    char description[DRAWING_INFO_FIELD];
    char author[DRAWING_INFO_FIELD];
    char created[DRAWING_INFO_FIELD];
    char lastAuthor[DRAWING_INFO_FIELD];
    char saved[DRAWING_INFO_FIELD];
    char comment[DRAWING_INFO_COMMENT];
};
static_assert(sizeof(DrawingInfo) == 640);

// The current drawing: its information record and the fields behind it.
struct CurrentDrawing {
    DrawingInfo info;
    char currentPath[DRAWING_PATH_SIZE]; // full path, or "*" and a name when untitled
    int32_t fileVersion;
    uint32_t modified;        // changed since the last save
    uint32_t changed;         // objects created or changed; cleared with modified
    uint32_t sectionsFound;
    uint32_t commentsChanged; // a comment was created or deleted
};

extern CurrentDrawing g_DrawingInfo;
extern uint32_t g_ReadOnly; // opened although another program holds the file

// Sets the modified flag; the main window's title is renewed when the flag
// was clear.
void FileSetModified();

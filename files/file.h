// Drawing files: recognition of the headers, reading and writing whole
// drawings by section, on disk or in global memory.
//
// A drawing file is a text file of the token format (files/zvi.h): a header
// line, then sections, each opened by its keyword and closed by =END=, and
// finally =EXIT=. The section mask selects what is read or written and carries
// the modes below.
#pragma once

#include <windows.h>

#include <cstdint>

#include "files/file_drawinginfo.h"

// Section bits of the mask, in the order the writer writes them.
constexpr uint32_t FILE_SECTION_DRAWING = 0x1;
constexpr uint32_t FILE_SECTION_WINDOW = 0x10;
constexpr uint32_t FILE_SECTION_DEFAULT = 0x20;
constexpr uint32_t FILE_SECTION_PROFILE = 0x40;
constexpr uint32_t FILE_SECTION_MODULE = 0x80;
constexpr uint32_t FILE_SECTION_PAGE = 0x100;
constexpr uint32_t FILE_SECTION_COLOR = 0x200;
constexpr uint32_t FILE_SECTION_HATCH = 0x400;
constexpr uint32_t FILE_SECTION_MULTILINE = 0x800;
constexpr uint32_t FILE_SECTION_SYSTEM = 0x1000;
constexpr uint32_t FILE_SECTION_PEN = 0x2000;
constexpr uint32_t FILE_SECTION_LINE = 0x4000;
constexpr uint32_t FILE_SECTION_LAYER = 0x8000;
constexpr uint32_t FILE_SECTION_BITMAP = 0x10000;
constexpr uint32_t FILE_SECTION_VARIABLE = 0x20000;
constexpr uint32_t FILE_SECTION_ATTRIB = 0x80000;
constexpr uint32_t FILE_SECTION_BLOCK = 0x100000;
constexpr uint32_t FILE_SECTION_OBJECT = 0x200000;
constexpr uint32_t FILE_SECTIONS_ALL = 0x33FFF1;
// Modes.
constexpr uint32_t FILE_MODE_ZIPPED = 0x1000000;
constexpr uint32_t FILE_MODE_SELECTION = 0x20000000;
constexpr uint32_t FILE_MODE_REPLACE = 0x40000000;
constexpr uint32_t FILE_MODE_QUIET = 0x80000000;

// The header the writer writes and the file versions of the headers read.
constexpr int FILE_HEADER_LENGTH = 22; // then the terminator: 23 bytes
constexpr const char *FILE_HEADER_CURRENT = "Quirn++Valsev CAD 4.60";
constexpr int32_t FILE_VERSION_460 = 460;
constexpr int32_t FILE_VERSION_450 = 450;
constexpr int32_t FILE_VERSION_420 = 420;
constexpr int32_t FILE_VERSION_400 = 400;

// Alert codes of AlertFileError used by the drawing files.
constexpr uint32_t FILE_ALERT_CANNOT_OPEN = 0;
constexpr uint32_t FILE_ALERT_SYNTAX = 3;
constexpr uint32_t FILE_ALERT_CANNOT_CREATE = 4;
constexpr uint32_t FILE_ALERT_WRONG_CONTENT = 6;
constexpr uint32_t FILE_ALERT_CANNOT_WRITE = 9;
constexpr uint32_t FILE_ALERT_UNPACK = 11;
constexpr uint32_t FILE_ALERT_READ = 12;

// Reading and writing whole drawings; 1 or 0. Reading without merge replaces
// the drawing's objects, blocks and bitmaps, and the tables the file
// carries; a file that cannot be read leaves a new, empty drawing.
int FileReadDrawing(DrawingInfo *info, const char *path, uint32_t sections, int merge);
int FileReadDrawingMemory(HGLOBAL block, uint32_t sections, int merge);
// Writes into a temporary file beside path and replaces path only when the
// whole drawing was written; a failed or cancelled save leaves path as it was.
int FileWriteDrawing(const DrawingInfo *info, const char *path, uint32_t sections);
HGLOBAL FileWriteDrawingMemory(uint32_t sections);

// Any file the program writes goes first into a new file beside its target;
// the target is replaced only by a complete file whose every write and close
// succeeded, so that a failure leaves it as it was and no new file behind.
// The one message of a failure names the target and the cause.
constexpr int FILE_REPLACE_DRAWING = 0; // the messages speak of a drawing
constexpr int FILE_REPLACE_EXPORT = 1;  // ... of a file
struct FileReplacement {
    char path[260];
    char temp[260];
    int what;
};
// Refuses a read-only target and makes the new file; 0 after the message.
int FileReplaceBegin(FileReplacement *r, const char *path, int what);
// FileReplaceBegin, then the new file opened for writing; 0 after the message.
int FileReplaceCreate(FileReplacement *r, const char *path, int what, HANDLE *file);
// ok: everything written and closed; error: the system's code of the first
// failure. Moves the new file over the target or deletes it; 1 when replaced.
// A failure is told unless report is 0 (a cancel the caller tells itself).
int FileReplaceFinish(FileReplacement *r, int ok, DWORD error, int report);
// The target replaced by head (may be 0 bytes) and data, through the above.
int FileReplaceWithData(const char *path, int what, const void *head, uint32_t headSize, const void *data,
                        uint32_t size);

// Recognition.
int FileCheckDrawingHeader(const char *path);
int FileRejectOldFormat(const char *path);
int FileRejectForeignType(const char *path);
// 1 when the file begins with an accepted header (the file version is set).
// An older format or a foreign file is refused with its own alert (none
// inside a master progress); a file shorter than a header is reported to
// the diagnostic box; a file that cannot be opened is refused silently.
int FileCheckLibraryHeader(const char *path);
int FileReadDrawingInfo(const char *path, DrawingInfo *out);

// The header inside a running reader or writer.
int ZviReadFileHeader(int readKeyword);
int ZviWriteFileHeader();
// The file version of a 22-character header text, or 0.
int32_t FileHeaderVersion(const char *text);

// Progress of a section: the format with the number, and the kilobytes done.
void FileShowReadProgress(const char *format, int32_t number);
void FileShowWriteProgress(const char *format, int32_t number);

// Empties the drawing and gives its tables and settings the contents of a
// new drawing (what a failed read leaves behind).
void FileClearDrawing();

// The clock that stamps the saved date; tests put a fixed one here.
typedef void (*FileClockSource)(SYSTEMTIME *out);
extern FileClockSource g_FileClock;
// Formats that clock's date and time now into g_StartTimeText, in the format
// the option DateTimeFormat chooses: the stamp of created and saved dates.
void FileFormatStartTime();

// The saved views of the WINDOW section: the view window, then drawing
// windows 1 to 4. The reader stores them with the drawing; the load command
// copies them into the windows.
constexpr int FILE_VIEW_COUNT = 5;
struct DrawingView {
    int32_t system;      // coordinate system
    int32_t displayGrid; // switches
    int32_t catchGrid;
    double centerX;
    double centerY;
    double zoom;
};
extern DrawingView g_DrawingViews[FILE_VIEW_COUNT];
void FileInitDrawingViews();

// Removes entry index (0 the newest) from the list of recent drawings.
void FileRemoveRecent(int index);

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

// ---------------------------------------------------------------------------
// Limits and fixed names

constexpr int ZVI_PATH_SIZE = 260;            // a path buffer, with its terminating zero
constexpr int ZVI_DISK_BUFFER_SIZE = 16384;   // buffered disk reads and writes
constexpr int ZVI_STRING_BUFFER_SIZE = 32764; // writer's string buffer, reader's token buffer
constexpr int ZVI_MAX_STRING_TEXT = 32759;    // escaped characters between a string's quotes
constexpr int ZVI_MAX_BINARY_TEXT = 32760;    // a binary text counted from its opening quote
constexpr int ZVI_MAX_TOKEN = 32760;          // a token of this many characters is too long
constexpr int ZVI_MAX_COMMENT = 513;          // characters of a comment; longer ones are cut
constexpr int ZVI_MAX_KEYWORD = 30;           // characters of a keyword the reader accepts
constexpr int ZVI_KEYWORD_COUNT = 22;
constexpr int ZVI_PROFILE_KEY_COUNT = 109;
constexpr int ZVI_PROFILE_END = 999; // ZVI_FileReadProfileEntry: the section's END keyword

// Keyword indices; part of the plug-in interface.
enum ZviKeyword : int {
    KEY_EXIT = 0, KEY_END, KEY_DRAWING, KEY_LIBRARY, KEY_ATTRIB, KEY_PAGE, KEY_DEFAULT, KEY_SYSTEM,
    KEY_PEN, KEY_LINE, KEY_LAYER, KEY_HATCH, KEY_BLOCK, KEY_OBJECT, KEY_COLOR, KEY_PROFILE,
    KEY_MODULE, KEY_WINDOW, KEY_MULTILINE, KEY_BITMAP, KEY_VARIABLE, KEY_PREVIEW
};

// Token kinds of the reader.
constexpr int ZVI_TOKEN_FAILED = -1;
constexpr int ZVI_TOKEN_KEYWORD = 1;
constexpr int ZVI_TOKEN_STRING = 2;
constexpr int ZVI_TOKEN_NUMBER = 3;

// The delimiter set of the writer or of the reader, as a caller changes it.
#pragma pack(push, 1)
struct FileDelimiters {
    char lineBreak[4];   // zero-terminated, at most 3 characters
    char separator;      // between the fields of a record
    char terminator;     // ends a record
    char colorSeparator; // between the parts of a colour
    char escape;         // inside strings
    char quote;          // around strings
    char keywordMark;    // on both sides of a keyword
    char commentMark;    // on both sides of a comment
};
#pragma pack(pop)
static_assert(sizeof(FileDelimiters) == 11);
static_assert(offsetof(FileDelimiters, separator) == 4);
static_assert(offsetof(FileDelimiters, commentMark) == 10);

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
// Token writer

extern "C" {
int ZVI_FileWriteInitNull();
int ZVI_FileWriteInitDisk(HANDLE file);
int ZVI_FileWriteInitMemory(HGLOBAL block, int32_t size);
int ZVI_FileWriteFlush();
void ZVI_FileWriteExit();

int ZVI_FileWriteData(const void *data, int32_t count);
int ZVI_FileWriteTextData(const char *text);

int ZVI_FileWriteNewline();
int ZVI_FileWriteComma();
int ZVI_FileWriteSemi();
int ZVI_FileWriteKeyword(int index);
int ZVI_FileWriteComment(const char *text);
int ZVI_FileWriteHeader(const char *text);
int ZVI_FileWriteEndOfFile();
int ZVI_FileWriteProfileEntry(int index);

int ZVI_FileWriteBool(int value);
int ZVI_FileWriteShort(int16_t value);
int ZVI_FileWriteInt(int32_t value);
int ZVI_FileWriteDouble(double value);
int ZVI_FileWriteColorref(COLORREF value);
int ZVI_FileWriteString(const char *text);
int ZVI_FileWriteBinary(const void *data, int32_t count);
int ZVI_FileWriteCommaBool(int value);
int ZVI_FileWriteCommaShort(int16_t value);
int ZVI_FileWriteCommaInt(int32_t value);
int ZVI_FileWriteCommaDouble(double value);
int ZVI_FileWriteCommaColorref(COLORREF value);
int ZVI_FileWriteCommaString(const char *text);
int ZVI_FileWriteCommaBinary(const void *data, int32_t count);

int ZVI_FileWriteZeros(int on);
int ZVI_FileWriteDelimiters(const FileDelimiters *delimiters);
int ZVI_FileWriteError();
int32_t ZVI_FileWriteCurrentSize();
int32_t ZVI_FileWriteCurrentLine();
}

// ---------------------------------------------------------------------------
// Token reader

// The file version the header check found (400, 420, 450 or 460); 460 after
// each start of the reader.
extern int32_t g_FileVersion;
// Kept for the drawing reader; both cleared by each start.
extern uint32_t g_FileSkippedSection; // a section was present but not read
extern uint32_t g_FileSectionsRead;   // mask of the sections read
extern uint32_t g_FileBrokenCycles;   // instances that closed a cycle of blocks and are not expanded

extern "C" {
int ZVI_FileReadInitDisk(HANDLE file);
int ZVI_FileReadInitMemory(HGLOBAL block);
void ZVI_FileReadExit();

int ZVI_FileReadData(void *buffer, int32_t count);
int ZVI_FileReadChar();
int ZVI_FileReadLine(char *buffer, int32_t size);

int ZVI_FileReadComma();
int ZVI_FileReadContinue();
int ZVI_FileReadSemi();
int ZVI_FileReadKeyword();
int ZVI_FileReadNextKeyword();
int ZVI_FileReadNextSection();
int ZVI_FileReadLastKeyword();
int ZVI_FileReadProfileEntry();
int ZVI_FileReadHeader(const char *text);
int ZVI_FileReadEndOfFile();

int ZVI_FileReadBool(int *value);
int ZVI_FileReadShort(int16_t *value);
int ZVI_FileReadInt(int32_t *value);
int ZVI_FileReadDouble(double *value);
int ZVI_FileReadColorref(COLORREF *value);
int ZVI_FileReadString(char *buffer, int32_t size);
int ZVI_FileReadBinary(void *buffer, int32_t count);
int ZVI_FileReadCommaBool(int *value);
int ZVI_FileReadCommaShort(int16_t *value);
int ZVI_FileReadCommaInt(int32_t *value);
int ZVI_FileReadCommaDouble(double *value);
int ZVI_FileReadCommaColorref(COLORREF *value);
int ZVI_FileReadCommaString(char *buffer, int32_t size);
int ZVI_FileReadCommaBinary(void *buffer, int32_t count);

int ZVI_FileReadDelimiters(const FileDelimiters *delimiters);
int ZVI_FileReadError();
int32_t ZVI_FileReadTotalSize();
int32_t ZVI_FileReadCurrentSize();
int32_t ZVI_FileReadCurrentLine();
}

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

extern "C" {
int ZVI_FileSetExtension(const char *oldName, char *newName, const char *extension);
int ZVI_FileGetExtension(const char *fullName, char *extension);
int ZVI_FileShortName(const char *fullName, char *shortName);
int ZVI_FileSplitName(const char *fullName, char *path, char *name);
int ZVI_FileFullPath(const char *name, char *fullPath);
int ZVI_FileApplicationPath(const char *name, char *out);

int ZVI_FileExist(const char *name);
int ZVI_FileDelete(const char *name);
int ZVI_FileIsLocked(const char *name);
int ZVI_FileCopy(const char *source, const char *destination);
int ZVI_FileOpen(HANDLE *file, const char *name);
int ZVI_FileCreate(HANDLE *file, const char *name);
uint32_t ZVI_FileSize(HANDLE file);
int32_t ZVI_FileRead(HANDLE file, void *buffer, int32_t count);
int32_t ZVI_FileWrite(HANDLE file, const void *buffer, int32_t count);
int ZVI_FileSetPointer(HANDLE file, int32_t offset, int32_t method);
int ZVI_FileClose(HANDLE file);
}

// Temporary names, each written into a 260-byte buffer; 1, or 0 when the
// temporary folder cannot be had.
int ZviTempNameDrawing(char *out); // ORVYNTMP.ZVD, deleted at program exit
int ZviTempNameOld2(char *out);    // ZV45TEMP.N4V
int ZviTempNameOld1(char *out);    // PLRQ4TMP.N4V
int ZviTempPath(char *out);        // the temporary folder alone

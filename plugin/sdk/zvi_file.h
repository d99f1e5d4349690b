// The file family of the plug-in interface: the token writer and reader of
// darad4's text format, file names and raw file access. These functions keep
// the C calling convention (__cdecl) and are exported by darad4.exe under
// their plain names. Results: 1 success, 0 failure, or a count.
// Part of the plug-in SDK.
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

// ---------------------------------------------------------------------------
// Token writer: ZVI_FileWriteInitNull (counts only), ...InitDisk (a file from
// ZVI_FileCreate) or ...InitMemory (a global memory block of at least size
// bytes; a negative size or one the block does not have is refused), then the
// writes, then ZVI_FileWriteExit.

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
// Token reader: ZVI_FileReadInitDisk (a file from ZVI_FileOpen; an invalid
// handle is refused) or ...InitMemory, then the reads, then ZVI_FileReadExit.

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

// ---------------------------------------------------------------------------
// File names (260-byte buffers) and raw file access.

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

// Shared inside the file services: the number texts of the format, the
// shared buffers and the argument checks.
#pragma once

#include <cstdint>

#include "files/zvi.h"

// The default delimiter set: CR LF , ; / \ " = |
extern const FileDelimiters g_ZviDefaultDelimiters;

// The writer's string buffer and the reader's token buffer (ZVI_STRING_BUFFER_SIZE
// bytes each), or null before ZVI_InitFileBuffers.
char *ZviStringBuffer();
char *ZviTokenBuffer();
void ZviResetWriteDelimiters();
void ZviResetReadDelimiters();
// Null restores the defaults; a non-empty line break and every non-zero
// delimiter byte of change replace the current ones.
void ZviApplyDelimiters(FileDelimiters &current, const FileDelimiters *change);

// Buffers of the disk sinks and sources.
void *ZviAllocBuffer(uint32_t size);
void ZviFreeBuffer(void *block);

// Number texts, independent of the C runtime and of the locale, so that a
// file is byte-identical wherever it is written. Each writes a zero-terminated
// text into out (at least ZVI_NUMBER_TEXT bytes) and returns its length.
constexpr int ZVI_NUMBER_TEXT = 40;
int ZviFormatInt(char *out, int32_t value);
// printf "%.<digits>g" rounding and layout (exponent with sign and at least
// two digits). A value that is not finite gives "nan", "inf" or "-inf".
int ZviFormatGeneral(char *out, double value, int digits);

// Reads a decimal number at the start of text ("%lf" without the locale):
// optional sign, digits with an optional point, optional exponent. Text behind
// the number is ignored. Returns 0 when text does not begin with a number.
// Too large a magnitude gives an infinity, too small a zero.
int ZviParseNumber(const char *text, double *value);
// The same for a text of length bytes (no terminator needed).
int ZviParseNumberOf(const char *text, int length, double *value);

// Argument checks; a bad pointer is reported as "<function>()\n\n<argument>
// address invalid!" through the interface diagnostic box.
bool ZviCanRead(const void *p, uint32_t size, const char *function, const char *argument);
bool ZviCanWrite(void *p, uint32_t size, const char *function, const char *argument);
bool ZviCanReadString(const char *p, const char *function, const char *argument);

// The text the writer makes of a string (with its quotes and escapes) or of a
// binary field (from its opening quote to its closing one, trailing blank
// digits trimmed, lower case), into out when out is not null; its length, or
// -1 when it would pass the writer's limit. The element reader uses them to
// refuse what the writer could not write again.
int32_t ZviEncodeString(const char *text, char *out, const FileDelimiters &delimiters);
int32_t ZviEncodeBinary(const void *data, int32_t count, char *out, const FileDelimiters &delimiters);

// The system's error code of the disk write that failed in the current or
// last write, 0 when none failed.
DWORD ZviWriteSystemError();

// The typed value readers of the program's own code: the ZVI_FileRead...
// exports without their probe of the destination (the program's records
// need none). Same checks, messages and results otherwise.
int ZviReadBool(int *value);
int ZviReadShort(int16_t *value);
int ZviReadInt(int32_t *value);
int ZviReadDouble(double *value);
int ZviReadColorref(COLORREF *value);
int ZviReadString(char *buffer, int32_t size);
int ZviReadBinary(void *buffer, int32_t count);
int ZviReadCommaBool(int *value);
int ZviReadCommaShort(int16_t *value);
int ZviReadCommaInt(int32_t *value);
int ZviReadCommaDouble(double *value);
int ZviReadCommaColorref(COLORREF *value);
int ZviReadCommaString(char *buffer, int32_t size);
int ZviReadCommaBinary(void *buffer, int32_t count);

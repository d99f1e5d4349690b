// The token writer: records of fields, keywords, comments, strings and
// binary texts, into nowhere (to measure), a disk file or global memory.
#include <cstdio>
#include <cstring>

#include "app/init.h"
#include "files/zvi_internal.h"
#include "geometry/calc.h"

namespace {

enum SinkKind { SINK_IDLE = -1, SINK_NULL = 0, SINK_DISK = 1, SINK_MEMORY = 2 };

struct WriterState {
    int sink = SINK_IDLE;
    char *buffer = nullptr; // disk buffer, or the locked memory block
    uint32_t fill = 0;
    HANDLE file = INVALID_HANDLE_VALUE;
    HGLOBAL block = nullptr;
    uint32_t capacity = 0;
    int32_t byteCount = 0;
    int32_t lineCount = 0;
    int error = 0;
    DWORD systemError = 0; // why the disk refused the last write
    int zeros = 0;
    FileDelimiters delimiters = g_ZviDefaultDelimiters;
};

WriterState s_W;

void Report(const char *text)
{
    InitErrorBoxInterface(__FILE_NAME__, __LINE__, text);
}

void Fail(const char *text)
{
    Report(text);
    s_W.error = 1;
}

// Starts a write: counters, error flag, zeros mode and delimiters as new.
void Start(int sink)
{
    s_W.sink = sink;
    s_W.buffer = nullptr;
    s_W.fill = 0;
    s_W.file = INVALID_HANDLE_VALUE;
    s_W.block = nullptr;
    s_W.capacity = 0;
    s_W.byteCount = 0;
    s_W.lineCount = 0;
    s_W.error = 0;
    s_W.systemError = 0;
    s_W.zeros = 0;
    s_W.delimiters = g_ZviDefaultDelimiters;
}

// Writes bytes straight to the file; a short write sets the error flag.
bool WriteToFile(const char *data, uint32_t count)
{
    if (count == 0)
        return true;
    SetLastError(0);
    if (ZVI_FileWrite(s_W.file, data, int32_t(count)) != int32_t(count)) {
        s_W.error = 1;
        // A short write without an error code: the disk is full.
        s_W.systemError = GetLastError() ? GetLastError() : ERROR_DISK_FULL;
        return false;
    }
    return true;
}

bool FlushDiskBuffer()
{
    bool ok = WriteToFile(s_W.buffer, s_W.fill);
    s_W.fill = 0;
    return ok;
}

// Every byte reaches the sink through here.
int Append(const char *data, uint32_t count)
{
    if (s_W.error || s_W.sink == SINK_IDLE)
        return 0;
    s_W.byteCount += int32_t(count);
    switch (s_W.sink) {
    case SINK_NULL:
        return 1;
    case SINK_DISK:
        if (!s_W.buffer) {
            s_W.error = 1;
            return 0;
        }
        if (s_W.fill + count > uint32_t(ZVI_DISK_BUFFER_SIZE)) {
            if (!FlushDiskBuffer())
                return 0;
            // A piece larger than the buffer goes straight to the file, whole
            // and in order.
            if (count > uint32_t(ZVI_DISK_BUFFER_SIZE))
                return WriteToFile(data, count) ? 1 : 0;
        }
        memcpy(s_W.buffer + s_W.fill, data, count);
        s_W.fill += count;
        return 1;
    case SINK_MEMORY:
        if (count > s_W.capacity - s_W.fill) {
            s_W.error = 1;
            return 0;
        }
        memcpy(s_W.buffer + s_W.fill, data, count);
        s_W.fill += count;
        return 1;
    }
    return 0;
}

int AppendText(const char *text)
{
    return Append(text, uint32_t(strlen(text)));
}

int AppendChar(char c)
{
    return Append(&c, 1);
}

int LineBreak()
{
    if (!AppendText(s_W.delimiters.lineBreak))
        return 0;
    ++s_W.lineCount;
    return 1;
}

// A zero value is written as nothing, or as "0" in zeros mode.
int WriteZero()
{
    return s_W.zeros ? AppendChar('0') : (s_W.error ? 0 : 1);
}

// A number text with a leading zero dropped: 0.5 is written ".5".
int AppendWithoutLeadingZero(const char *text)
{
    return AppendText(text[0] == '0' && text[1] ? text + 1 : text);
}

void ToLowerAscii(char *text)
{
    for (; *text; ++text)
        if (*text >= 'A' && *text <= 'Z')
            *text = char(*text - 'A' + 'a');
}

} // namespace

void ZviResetWriteDelimiters()
{
    s_W.delimiters = g_ZviDefaultDelimiters;
}

// --- starting and ending ---------------------------------------------------

extern "C" int ZVI_FileWriteInitNull()
{
    Start(SINK_NULL);
    return 1;
}

extern "C" int ZVI_FileWriteInitDisk(HANDLE file)
{
    Start(SINK_DISK);
    s_W.file = file;
    s_W.buffer = static_cast<char *>(ZviAllocBuffer(ZVI_DISK_BUFFER_SIZE));
    if (!s_W.buffer) {
        s_W.error = 1;
        return 0;
    }
    return 1;
}

extern "C" int ZVI_FileWriteInitMemory(HGLOBAL block, int32_t size)
{
    Start(SINK_MEMORY);
    // A size the block does not have would let the writer run past its end.
    const SIZE_T blockSize = block ? GlobalSize(block) : 0;
    s_W.block = block;
    s_W.buffer = size >= 0 && SIZE_T(size) <= blockSize ? static_cast<char *>(GlobalLock(block)) : nullptr;
    if (!s_W.buffer) {
        s_W.block = nullptr;
        s_W.error = 1;
        return 0;
    }
    s_W.capacity = uint32_t(size);
    return 1;
}

extern "C" int ZVI_FileWriteFlush()
{
    if (s_W.error)
        return 0;
    if (s_W.sink == SINK_DISK)
        return FlushDiskBuffer() ? 1 : 0;
    return 1;
}

extern "C" void ZVI_FileWriteExit()
{
    if (s_W.sink == SINK_DISK)
        ZviFreeBuffer(s_W.buffer);
    else if (s_W.sink == SINK_MEMORY && s_W.buffer)
        GlobalUnlock(s_W.block);
    s_W.buffer = nullptr;
    s_W.fill = 0;
    s_W.sink = SINK_IDLE;
}

// --- raw data --------------------------------------------------------------

extern "C" int ZVI_FileWriteData(const void *data, int32_t count)
{
    if (s_W.error)
        return 0;
    if (count < 0) {
        Fail("ZVI_FileWriteData()\n\nCount invalid!");
        return 0;
    }
    if (count == 0)
        return 1;
    if (!ZviCanRead(data, uint32_t(count), "ZVI_FileWriteData", "Data")) {
        s_W.error = 1;
        return 0;
    }
    return Append(static_cast<const char *>(data), uint32_t(count));
}

extern "C" int ZVI_FileWriteTextData(const char *text)
{
    if (s_W.error)
        return 0;
    if (!ZviCanReadString(text, "ZVI_FileWriteTextData", "Text")) {
        s_W.error = 1;
        return 0;
    }
    return AppendText(text);
}

// --- structure -------------------------------------------------------------

extern "C" int ZVI_FileWriteNewline()
{
    return LineBreak();
}

extern "C" int ZVI_FileWriteComma()
{
    return AppendChar(s_W.delimiters.separator);
}

extern "C" int ZVI_FileWriteSemi()
{
    return AppendChar(s_W.delimiters.terminator) && LineBreak() ? 1 : 0;
}

extern "C" int ZVI_FileWriteKeyword(int index)
{
    if (s_W.error)
        return 0;
    const char *keyword = ZviKeywordText(index);
    if (!keyword) {
        Fail("ZVI_FileWriteKeyword()\n\nInvalid KeyNum!");
        return 0;
    }
    // Every section keyword but END stands after an empty line.
    if (index != KEY_END && !LineBreak())
        return 0;
    return AppendChar(s_W.delimiters.keywordMark) && AppendText(keyword) &&
                   AppendChar(s_W.delimiters.keywordMark) && ZVI_FileWriteSemi()
               ? 1
               : 0;
}

extern "C" int ZVI_FileWriteComment(const char *text)
{
    if (s_W.error)
        return 0;
    if (!ZviCanReadString(text, "ZVI_FileWriteComment", "Text")) {
        s_W.error = 1;
        return 0;
    }
    // A longer comment is cut: it is only a note for the reader of the file.
    char clean[ZVI_MAX_COMMENT + 1];
    int n = 0;
    for (; n < ZVI_MAX_COMMENT && text[n]; ++n) {
        char c = text[n];
        clean[n] = (c == s_W.delimiters.commentMark || (unsigned char)c < 32) ? ' ' : c;
    }
    clean[n] = 0;
    return AppendChar(s_W.delimiters.commentMark) && AppendText(clean) &&
                   AppendChar(s_W.delimiters.commentMark) && LineBreak()
               ? 1
               : 0;
}

extern "C" int ZVI_FileWriteHeader(const char *text)
{
    if (s_W.error)
        return 0;
    if (text) {
        if (!ZviCanReadString(text, "ZVI_FileWriteHeader", "Text")) {
            s_W.error = 1;
            return 0;
        }
        AppendText(text);
        ZVI_FileWriteSemi();
    }
    return s_W.error ? 0 : 1;
}

extern "C" int ZVI_FileWriteEndOfFile()
{
    ZVI_FileWriteKeyword(KEY_EXIT);
    return s_W.error ? 0 : 1;
}

extern "C" int ZVI_FileWriteProfileEntry(int index)
{
    if (s_W.error)
        return 0;
    const char *name = ZviProfileKeyName(index);
    if (!name) {
        Report("ZVI_FileWriteProfileEntry()\n\nUndefined Profilt Entry!");
        return 0;
    }
    return ZVI_FileWriteString(name);
}

// --- values ----------------------------------------------------------------

extern "C" int ZVI_FileWriteBool(int value)
{
    return value ? AppendChar('1') : WriteZero();
}

extern "C" int ZVI_FileWriteShort(int16_t value)
{
    return ZVI_FileWriteInt(value);
}

extern "C" int ZVI_FileWriteInt(int32_t value)
{
    if (value == 0)
        return WriteZero();
    char text[ZVI_NUMBER_TEXT];
    ZviFormatInt(text, value);
    return AppendText(text);
}

extern "C" int ZVI_FileWriteDouble(double value)
{
    if (s_W.error)
        return 0;
    if (value != value) {
        // The reader would refuse the whole file: keep it readable instead.
        Fail("ZVI_FileWriteDouble()\n\nValue is not a number!");
        return 0;
    }
    if (value == 0.0)
        return WriteZero();
    // An infinite value is the program's "infinitely far".
    if (value > CALC_NO_VALUE)
        value = CALC_NO_VALUE;
    else if (value < -CALC_NO_VALUE)
        value = -CALC_NO_VALUE;
    char text[ZVI_NUMBER_TEXT];
    ZviFormatGeneral(text, value, 14);
    return AppendWithoutLeadingZero(text);
}

static int WriteColorPart(unsigned part)
{
    if (part == 0)
        return WriteZero();
    char text[ZVI_NUMBER_TEXT];
    ZviFormatGeneral(text, part / 255.0, 3);
    return AppendWithoutLeadingZero(text);
}

extern "C" int ZVI_FileWriteColorref(COLORREF value)
{
    return WriteColorPart(GetRValue(value)) && AppendChar(s_W.delimiters.colorSeparator) &&
                   WriteColorPart(GetGValue(value)) && AppendChar(s_W.delimiters.colorSeparator) &&
                   WriteColorPart(GetBValue(value))
               ? 1
               : 0;
}

int32_t ZviEncodeString(const char *text, char *out, const FileDelimiters &d)
{
    int32_t n = 0;
    auto put = [&](char c) {
        if (out)
            out[n] = c;
        ++n;
    };
    put(d.quote);
    for (const char *p = text; *p; ++p) {
        const char c = *p;
        if (c == d.quote || c == d.escape)
            put(d.escape);
        put((unsigned char)c < 32 ? ' ' : c);
        if (n - 1 > ZVI_MAX_STRING_TEXT)
            return -1; // checked after each character, so the buffer is never passed
    }
    put(d.quote);
    return n;
}

int32_t ZviEncodeBinary(const void *data, int32_t count, char *out, const FileDelimiters &d)
{
    const unsigned char *bytes = static_cast<const unsigned char *>(data);
    // Trailing zero bytes give blank digits, which are trimmed: only the
    // digits up to the last non-zero byte count against the limit.
    while (count > 0 && bytes[count - 1] == 0)
        --count;
    int32_t n = 1, end = 1; // end: behind the last digit that is not a blank
    if (out)
        out[0] = d.quote;
    for (int32_t i = 0; i < count; i += 3) {
        // Three bytes, the first highest, as four 6-bit digits from blank up.
        uint32_t group = uint32_t(bytes[i]) << 16;
        if (i + 1 < count)
            group |= uint32_t(bytes[i + 1]) << 8;
        if (i + 2 < count)
            group |= bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6) {
            const char c = char(((group >> shift) & 63) + 32);
            const bool escaped = c == d.quote || c == d.escape;
            // Only the blanks of the last group can lie past the limit, and
            // they are trimmed; the buffer holds them.
            if (n + (escaped ? 2 : 1) > (c == ' ' ? ZVI_MAX_BINARY_TEXT + 3 : ZVI_MAX_BINARY_TEXT))
                return -1;
            if (escaped) {
                if (out)
                    out[n] = d.escape;
                ++n;
            }
            if (out)
                out[n] = c;
            ++n;
            if (c != ' ')
                end = n;
        }
    }
    if (out) {
        out[end] = d.quote;
        out[end + 1] = 0;
        ToLowerAscii(out);
    }
    return end + 1;
}

extern "C" int ZVI_FileWriteString(const char *text)
{
    if (s_W.error)
        return 0;
    if (!ZviCanReadString(text, "ZVI_FileWriteString", "Value")) {
        s_W.error = 1;
        return 0;
    }
    char *out = ZviStringBuffer();
    if (!out) {
        s_W.error = 1;
        return 0;
    }
    const int32_t n = ZviEncodeString(text, out, s_W.delimiters);
    if (n < 0) {
        Fail("Resulting string too long,\n(> 32700 bytes)");
        return 0;
    }
    return Append(out, uint32_t(n));
}

extern "C" int ZVI_FileWriteBinary(const void *data, int32_t count)
{
    if (s_W.error)
        return 0;
    if (count < 0) {
        Fail("ZVI_FileWriteBinary()\n\nCount invalid!");
        return 0;
    }
    if (count > 0 && !ZviCanRead(data, uint32_t(count), "ZVI_FileWriteBinary", "Value")) {
        s_W.error = 1;
        return 0;
    }
    char *out = ZviStringBuffer();
    if (!out) {
        s_W.error = 1;
        return 0;
    }
    const int32_t n = ZviEncodeBinary(data, count, out, s_W.delimiters);
    if (n < 0) {
        Fail("Resulting hexadecimal string too long,\n(> 32700 bytes)");
        return 0;
    }
    return Append(out, uint32_t(n));
}

DWORD ZviWriteSystemError()
{
    return s_W.systemError;
}

extern "C" int ZVI_FileWriteCommaBool(int value)
{
    return ZVI_FileWriteComma() && ZVI_FileWriteBool(value);
}

extern "C" int ZVI_FileWriteCommaShort(int16_t value)
{
    return ZVI_FileWriteComma() && ZVI_FileWriteShort(value);
}

extern "C" int ZVI_FileWriteCommaInt(int32_t value)
{
    return ZVI_FileWriteComma() && ZVI_FileWriteInt(value);
}

extern "C" int ZVI_FileWriteCommaDouble(double value)
{
    return ZVI_FileWriteComma() && ZVI_FileWriteDouble(value);
}

extern "C" int ZVI_FileWriteCommaColorref(COLORREF value)
{
    return ZVI_FileWriteComma() && ZVI_FileWriteColorref(value);
}

extern "C" int ZVI_FileWriteCommaString(const char *text)
{
    return ZVI_FileWriteComma() && ZVI_FileWriteString(text);
}

extern "C" int ZVI_FileWriteCommaBinary(const void *data, int32_t count)
{
    return ZVI_FileWriteComma() && ZVI_FileWriteBinary(data, count);
}

// --- settings and queries --------------------------------------------------

extern "C" int ZVI_FileWriteZeros(int on)
{
    s_W.zeros = on ? 1 : 0;
    return 1;
}

// Shared with the reader's twin: null restores the defaults, a non-empty
// line break and every non-zero delimiter byte replace the current ones.
void ZviApplyDelimiters(FileDelimiters &current, const FileDelimiters *change)
{
    if (!change) {
        current = g_ZviDefaultDelimiters;
        return;
    }
    if (change->lineBreak[0]) {
        memcpy(current.lineBreak, change->lineBreak, 3);
        current.lineBreak[3] = 0;
    }
    char FileDelimiters::*const fields[] = {&FileDelimiters::separator,   &FileDelimiters::terminator,
                                            &FileDelimiters::colorSeparator, &FileDelimiters::escape,
                                            &FileDelimiters::quote,       &FileDelimiters::keywordMark,
                                            &FileDelimiters::commentMark};
    for (auto field : fields)
        if (change->*field)
            current.*field = change->*field;
}

extern "C" int ZVI_FileWriteDelimiters(const FileDelimiters *delimiters)
{
    if (delimiters && !ZviCanRead(delimiters, sizeof(FileDelimiters), "ZVI_FileWriteDelimiters", "Delimiters"))
        return 0;
    ZviApplyDelimiters(s_W.delimiters, delimiters);
    return 1;
}

extern "C" int ZVI_FileWriteError()
{
    return s_W.error;
}

extern "C" int32_t ZVI_FileWriteCurrentSize()
{
    return s_W.byteCount;
}

extern "C" int32_t ZVI_FileWriteCurrentLine()
{
    return s_W.lineCount;
}

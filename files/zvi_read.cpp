// The token reader: splits the text format into keywords, strings and
// numbers, checks every value's type and range, and moves between records
// and sections. Reads a disk file or a block of global memory.
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/init.h"
#include "files/zvi_internal.h"
#include "geometry/calc.h"

int32_t g_FileVersion = 460;
uint32_t g_FileSkippedSection = 0;
uint32_t g_FileBrokenCycles = 0;
uint32_t g_FileSectionsRead = 0;

namespace {

enum SourceKind { SOURCE_IDLE = 0, SOURCE_DISK = 1, SOURCE_MEMORY = 2 };

constexpr int ERROR_TEXT_SIZE = 400; // room for a number of 300 digits
constexpr int MAX_HEADER = 255; // longest header text ZVI_FileReadHeader compares
constexpr int MAX_PLAIN_DIGITS = 9; // a plain integer of this many digits fits an int32_t

struct ReaderState {
    int source = SOURCE_IDLE;
    unsigned char *buffer = nullptr; // disk buffer, or the locked memory block
    uint32_t count = 0;              // bytes in the buffer
    uint32_t pos = 0;                // next byte in the buffer
    HANDLE file = INVALID_HANDLE_VALUE;
    HGLOBAL block = nullptr;
    uint32_t total = 0;
    int32_t consumed = 0;
    int32_t line = 0;
    int error = 0;
    int previousByte = -1; // the byte handed out before the last one
    int lastByte = -1;
    // The last token.
    double value = 0.0;
    bool isInteger = false; // a number token that is a plain integer: integer holds it, not value
    bool integerNegative = false; // its text had a minus (-0 is a double of its own)
    int32_t integer = 0;
    int kind = 0;
    char lastDelimiter = ' ';
    int lastKeyword = -1;
    FileDelimiters delimiters = g_ZviDefaultDelimiters;
    uint8_t byteClass[256] = {}; // how the tokeniser treats each byte, from the delimiters
    bool quiet = false; // skipping: tokens that fail are not reported
    bool haveTokenBuffer = false; // asked once per source: a number field asks for each
    char errorText[ERROR_TEXT_SIZE] = "";
    int32_t errorLine = 0;
};

ReaderState s_R;

// Reports a failure with the line it was found on (1-based).
void Report(const char *text)
{
    if (s_R.quiet)
        return;
    snprintf(s_R.errorText, sizeof s_R.errorText, "%s", text);
    s_R.errorLine = s_R.line + 1;
    char message[ERROR_TEXT_SIZE + 32];
    snprintf(message, sizeof message, "%s\n(line %ld)", text, long(s_R.errorLine));
    InitErrorBoxInterface(__FILE_NAME__, __LINE__, message);
}

void Fail(const char *text)
{
    Report(text);
    s_R.error = 1;
}

void FailBadNumber(double v, const char *expecting)
{
    char text[ERROR_TEXT_SIZE];
    snprintf(text, sizeof text, "Invalid number %f,\nexpecting %s", v, expecting);
    Fail(text);
}

// --- byte source -----------------------------------------------------------

bool Refill()
{
    if (s_R.source != SOURCE_DISK || !s_R.buffer)
        return false;
    // The buffer is the reader's own: the pointer check the exported read
    // makes for plug-ins would cost a query of the memory manager per refill.
    DWORD n = 0;
    if (!ReadFile(s_R.file, s_R.buffer, DWORD(ZVI_DISK_BUFFER_SIZE), &n, nullptr) || n == 0)
        return false;
    s_R.count = uint32_t(n);
    s_R.pos = 0;
    return true;
}

// The next byte, or -1 at the end of the data (which sets the error flag).
int NextByte()
{
    if (s_R.pos >= s_R.count && !Refill()) {
        s_R.error = 1;
        return -1;
    }
    ++s_R.consumed;
    s_R.previousByte = s_R.lastByte;
    s_R.lastByte = s_R.buffer[s_R.pos++];
    return s_R.lastByte;
}

// The next byte without taking it, or -1 at the end of the data.
int PeekByte()
{
    if (s_R.pos >= s_R.count && !Refill())
        return -1;
    return s_R.buffer[s_R.pos];
}

// Counts a line for a CR, and for an LF that does not follow a CR, so that
// files with either line break report the right line.
void CountLineBreak(int c, int before)
{
    if (c == '\r' || (c == '\n' && before != '\r'))
        ++s_R.line;
}

// Skips a comment up to its closing mark; false at the end of the data.
bool SkipComment()
{
    for (;;) {
        int c = NextByte();
        if (c < 0) {
            Fail("End of file within a comment");
            return false;
        }
        if (char(c) == s_R.delimiters.commentMark)
            return true;
        // Counted here too, or every later message would name a wrong line.
        CountLineBreak(c, s_R.previousByte);
    }
}

// --- the tokeniser -----------------------------------------------------------

// How the tokeniser treats a byte. A byte that is several delimiters at once
// counts as the one listed first here (field end before escape, and so on).
enum ByteClass : uint8_t {
    BYTE_PLAIN,   // part of a value
    BYTE_BLANK,   // control character or space: skipped outside strings
    BYTE_NUL,     // no field holds it: the data end there
    BYTE_END,     // separator, terminator or colour separator
    BYTE_ESCAPE,
    BYTE_QUOTE,
    BYTE_KEYWORD, // the keyword mark
    BYTE_COMMENT,
};

void BuildByteClasses()
{
    const FileDelimiters &d = s_R.delimiters;
    for (int i = 0; i < 256; ++i)
        s_R.byteClass[i] = i <= ' ' ? BYTE_BLANK : BYTE_PLAIN;
    // From the weakest to the strongest meaning, so that the strongest stays.
    s_R.byteClass[uint8_t(d.commentMark)] = BYTE_COMMENT;
    s_R.byteClass[uint8_t(d.keywordMark)] = BYTE_KEYWORD;
    s_R.byteClass[uint8_t(d.quote)] = BYTE_QUOTE;
    s_R.byteClass[uint8_t(d.escape)] = BYTE_ESCAPE;
    s_R.byteClass[uint8_t(d.separator)] = BYTE_END;
    s_R.byteClass[uint8_t(d.terminator)] = BYTE_END;
    s_R.byteClass[uint8_t(d.colorSeparator)] = BYTE_END;
    s_R.byteClass[0] = BYTE_NUL;
}

// The tokeniser walks the buffer through a cursor of its own, without a call
// and a store of the reader's state per byte; SyncCursor hands the position,
// the count and the last two bytes back to the reader's state.
struct Cursor {
    const unsigned char *p;
    const unsigned char *start; // where the count of consumed bytes was last brought up to date
    const unsigned char *end;
    int previous;
    int last;
};

Cursor OpenCursor()
{
    const unsigned char *b = s_R.buffer + s_R.pos;
    return {b, b, s_R.buffer + s_R.count, s_R.previousByte, s_R.lastByte};
}

void SyncCursor(Cursor &in)
{
    s_R.consumed += int32_t(in.p - in.start);
    s_R.pos = uint32_t(in.p - s_R.buffer);
    in.start = in.p;
    s_R.previousByte = in.previous;
    s_R.lastByte = in.last;
}

// As NextByte: the next byte, or -1 at the end of the data (error flag set).
inline int CursorNext(Cursor &in)
{
    if (in.p == in.end) {
        SyncCursor(in);
        if (!Refill()) {
            s_R.error = 1;
            return -1;
        }
        in = OpenCursor();
    }
    in.previous = in.last;
    in.last = *in.p++;
    return in.last;
}

// The last token's value gone before the next is read: 0.0, stored without
// the FPU, and no kind until the token is whole.
void ForgetToken()
{
    std::memset(&s_R.value, 0, sizeof s_R.value);
    s_R.isInteger = false;
    s_R.kind = ZVI_TOKEN_FAILED;
}

// The number of a field's text (len bytes) into the reader's state; false
// when the text is no number. Most fields are small integers: they are read
// without floating point, which costs much where the processor is emulated;
// their value is the same as ZviParseNumber's (a sign of its own on zero too).
// An empty field is the number 0.
bool StoreNumber(const char *text, int len)
{
    if (len == 0) {
        s_R.isInteger = true;
        s_R.integerNegative = false;
        s_R.integer = 0;
        return true;
    }
    const char *p = text;
    const char *end = text + len;
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '+' || *p == '-'))
        ++p;
    if (end - p >= 1 && end - p <= MAX_PLAIN_DIGITS) {
        int32_t n = 0;
        for (; p < end && *p >= '0' && *p <= '9'; ++p)
            n = n * 10 + (*p - '0');
        if (p == end) {
            s_R.isInteger = true;
            s_R.integerNegative = negative;
            s_R.integer = negative ? -n : n;
            return true;
        }
    }
    return ZviParseNumberOf(text, len, &s_R.value) != 0;
}

// The token at the cursor into text; its kind, or ZVI_TOKEN_FAILED.
int ScanToken(Cursor &in, char *text)
{
    const uint8_t *byteClass = s_R.byteClass;
    int len = 0;
    int kind = 0;
    bool inString = false, inKeyword = false, escapePending = false;
    for (;;) {
        const int c = CursorNext(in);
        const int cls = c < 0 ? int(BYTE_NUL) : byteClass[c];
        if (cls == BYTE_NUL) {
            bool quiet = s_R.quiet;
            s_R.quiet = quiet && c == 0; // the end of the data is always worth a word
            Report("End of file within a token");
            s_R.quiet = quiet;
            return ZVI_TOKEN_FAILED;
        }
        bool store = false;
        if (escapePending) {
            escapePending = false;
            store = true;
        } else {
            switch (cls) {
            case BYTE_END:
                if (inString || inKeyword) {
                    store = true;
                    break;
                }
                s_R.lastDelimiter = char(c);
                text[len] = 0;
                if (kind == 0)
                    kind = ZVI_TOKEN_NUMBER; // an empty field: nothing was stored
                if (kind == ZVI_TOKEN_NUMBER && !StoreNumber(text, len)) {
                    Report("Invalid numeric value");
                    return ZVI_TOKEN_FAILED;
                }
                return kind;
            case BYTE_ESCAPE:
                if (inString) {
                    escapePending = true;
                } else if (inKeyword) {
                    store = true;
                } else {
                    Report("Invalid character '\\'\noutside a string");
                    return ZVI_TOKEN_FAILED;
                }
                break;
            case BYTE_QUOTE:
                if (inString) {
                    inString = false;
                } else if (inKeyword) {
                    store = true;
                } else if (kind == ZVI_TOKEN_KEYWORD || kind == ZVI_TOKEN_NUMBER) {
                    Report("Invalid character '\"'\ninside a numeric value");
                    return ZVI_TOKEN_FAILED;
                } else {
                    inString = true; // a second string in the same field continues the first
                    kind = ZVI_TOKEN_STRING;
                }
                break;
            case BYTE_KEYWORD:
                if (inString) {
                    store = true;
                } else if (inKeyword) {
                    inKeyword = false;
                } else if (kind == ZVI_TOKEN_STRING || kind == ZVI_TOKEN_NUMBER) {
                    Report("Invalid character '='\ninside a numeric value");
                    return ZVI_TOKEN_FAILED;
                } else {
                    inKeyword = true;
                    kind = ZVI_TOKEN_KEYWORD;
                }
                break;
            case BYTE_COMMENT:
                if (inString || inKeyword) {
                    store = true;
                } else {
                    SyncCursor(in);
                    const bool closed = SkipComment();
                    in = OpenCursor();
                    if (!closed)
                        return ZVI_TOKEN_FAILED;
                }
                break;
            case BYTE_BLANK:
                CountLineBreak(c, in.previous);
                store = inString;
                break;
            default:
                store = true;
                if (kind == 0)
                    kind = ZVI_TOKEN_NUMBER;
                // A run of plain bytes (most of a number's digits) goes in
                // without a turn of the loop per byte; the store below takes
                // the run's last byte and checks the limit.
                while (in.p != in.end && byteClass[*in.p] == BYTE_PLAIN && len < ZVI_MAX_TOKEN - 2) {
                    text[len++] = char(in.last);
                    in.previous = in.last;
                    in.last = *in.p++;
                }
                break;
            }
        }
        if (store) {
            text[len++] = char(in.last);
            if (len >= ZVI_MAX_TOKEN) {
                text[len - 1] = 0;
                Report("Token too long (>32700 bytes)");
                return ZVI_TOKEN_FAILED;
            }
        }
    }
}

// Reads one field; returns its kind (keyword, string, number) or -1.
int ReadToken()
{
    char *text = ZviTokenBuffer();
    s_R.lastDelimiter = ' ';
    ForgetToken();
    if (!text) {
        s_R.error = 1;
        return ZVI_TOKEN_FAILED;
    }
    text[0] = 0;
    Cursor in = OpenCursor();
    const int kind = ScanToken(in, text);
    SyncCursor(in);
    if (kind != ZVI_TOKEN_FAILED)
        s_R.kind = kind;
    return kind;
}

bool EqualsIgnoreCase(const char *a, const char *b)
{
    for (;; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'a' && x <= 'z')
            x = char(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = char(y - 'a' + 'A');
        if (x != y)
            return false;
        if (!x)
            return true;
    }
}

// Checks the length of the keyword just read and looks it up.
bool LookUpKeyword()
{
    const char *text = ZviTokenBuffer();
    if (strlen(text) > size_t(ZVI_MAX_KEYWORD)) {
        Fail("Keyword too long (> 32 bytes)");
        return false;
    }
    for (int i = 0; i < ZVI_KEYWORD_COUNT; ++i)
        if (EqualsIgnoreCase(text, ZviKeywordText(i))) {
            s_R.lastKeyword = i;
            break;
        }
    return true;
}

// Most fields of a drawing are numbers that stand whole in the buffer, plain
// bytes up to their delimiter: such a field is read where it stands, without
// the tokeniser's turn per byte and its copy. ZVI_TOKEN_FAILED after a
// report when its text is no number; PLAIN_NUMBER_ELSEWHERE when the field
// holds anything else (a blank within it, a quote, a comment) or runs on
// past the buffer: the tokeniser then reads it as ever.
constexpr int PLAIN_NUMBER_ELSEWHERE = -2;

int ReadPlainNumber()
{
    if (!s_R.buffer || !s_R.haveTokenBuffer)
        return PLAIN_NUMBER_ELSEWHERE;
    // The blanks before the field (a line break before the first number of
    // a line) are taken as the tokeniser takes them, counted lines and all.
    const unsigned char *blank = s_R.buffer + s_R.pos, *const bufferEnd = s_R.buffer + s_R.count;
    int previous = s_R.previousByte, last = s_R.lastByte;
    for (; blank < bufferEnd && s_R.byteClass[*blank] == BYTE_BLANK; ++blank) {
        previous = last;
        last = *blank;
        CountLineBreak(last, previous);
    }
    const uint32_t skipped = uint32_t(blank - (s_R.buffer + s_R.pos));
    s_R.pos += skipped;
    s_R.consumed += int32_t(skipped);
    s_R.previousByte = previous;
    s_R.lastByte = last;
    const unsigned char *start = s_R.buffer + s_R.pos, *end = bufferEnd, *p = start;
    // A memory block holds its data whole: a field near the token limit is
    // left to the tokeniser, which knows that limit.
    if (end - start > ZVI_MAX_TOKEN - 2)
        end = start + (ZVI_MAX_TOKEN - 2);
    const uint8_t *byteClass = s_R.byteClass;
    while (p < end && byteClass[*p] == BYTE_PLAIN)
        ++p;
    if (p == end || byteClass[*p] != BYTE_END)
        return PLAIN_NUMBER_ELSEWHERE;
    const int len = int(p - start);
    // The state the tokeniser leaves: the field and its delimiter consumed.
    s_R.previousByte = len > 0 ? p[-1] : s_R.lastByte;
    s_R.lastByte = *p;
    s_R.lastDelimiter = char(*p);
    s_R.pos += uint32_t(len + 1);
    s_R.consumed += len + 1;
    ForgetToken();
    if (!StoreNumber(reinterpret_cast<const char *>(start), len)) {
        Report("Invalid numeric value");
        return ZVI_TOKEN_FAILED;
    }
    s_R.kind = ZVI_TOKEN_NUMBER;
    return ZVI_TOKEN_NUMBER;
}

// Reads a token that must be a number; false (error flag set) otherwise.
bool ReadNumberToken()
{
    int kind = ReadPlainNumber();
    if (kind == PLAIN_NUMBER_ELSEWHERE)
        kind = ReadToken();
    if (kind != ZVI_TOKEN_NUMBER) {
        if (kind != ZVI_TOKEN_FAILED)
            Report("Invalid data type,\nexpecting numeric value");
        s_R.error = 1;
        return false;
    }
    return true;
}

// The value of the number token just read.
double TokenValue()
{
    if (!s_R.isInteger)
        return s_R.value;
    return s_R.integerNegative ? -double(-s_R.integer) : double(s_R.integer);
}

// The bits of TokenValue() for an integer token, formed with integer
// arithmetic: where the processor is emulated every floating-point
// instruction costs much, and coordinates are most of a drawing file.
uint64_t IntegerTokenBits()
{
    const bool negative = s_R.integerNegative;
    const uint32_t magnitude = negative ? uint32_t(-s_R.integer) : uint32_t(s_R.integer);
    uint64_t bits = uint64_t(negative) << 63;
    if (magnitude != 0) {
        const int top = 31 - __builtin_clz(magnitude); // nine digits: below 2^30
        bits |= uint64_t(DOUBLE_EXPONENT_BIAS + top) << DOUBLE_MANTISSA_BITS;
        bits |= (uint64_t(magnitude) << (DOUBLE_MANTISSA_BITS - top)) & DOUBLE_MANTISSA_MASK;
    }
    return bits;
}

// Whether the magnitude of a double (its bits) is at most that of limit:
// the same as -limit <= v <= limit, false for NaN.
bool MagnitudeAtMost(uint64_t bits, double limit)
{
    return (bits & ~DOUBLE_SIGN_BIT) <= std::bit_cast<uint64_t>(limit);
}

// Reads a token that must be a string; its text is in the token buffer.
bool ReadStringToken(const char *expecting)
{
    int kind = ReadToken();
    if (kind != ZVI_TOKEN_STRING) {
        if (kind != ZVI_TOKEN_FAILED)
            Report(expecting);
        s_R.error = 1;
        return false;
    }
    return true;
}

bool InRange(double v, double low, double high)
{
    return v >= low && v <= high; // false for NaN
}

void StartSource(int source)
{
    s_R.source = source;
    s_R.buffer = nullptr;
    s_R.count = 0;
    s_R.pos = 0;
    s_R.file = INVALID_HANDLE_VALUE;
    s_R.block = nullptr;
    s_R.total = 0;
    s_R.consumed = 0;
    s_R.line = 0;
    s_R.error = 0;
    s_R.previousByte = s_R.lastByte = -1;
    std::memset(&s_R.value, 0, sizeof s_R.value); // 0.0, stored without the FPU
    s_R.kind = 0;
    s_R.lastDelimiter = ' ';
    s_R.lastKeyword = -1;
    s_R.quiet = false;
    s_R.errorText[0] = 0;
    s_R.errorLine = 0;
    BuildByteClasses();
    s_R.haveTokenBuffer = ZviTokenBuffer() != nullptr;
    g_FileSkippedSection = 0;
    g_FileBrokenCycles = 0;
    g_FileSectionsRead = 0;
    g_FileVersion = 460;
}

} // namespace

void ZviResetReadDelimiters()
{
    s_R.delimiters = g_ZviDefaultDelimiters;
    BuildByteClasses();
}

const char *ZviReadLastErrorText()
{
    return s_R.errorText;
}

int32_t ZviReadLastErrorLine()
{
    return s_R.errorLine;
}

// --- starting and ending ---------------------------------------------------

extern "C" int ZVI_FileReadInitDisk(HANDLE file)
{
    StartSource(SOURCE_DISK);
    if (!file || file == INVALID_HANDLE_VALUE) {
        s_R.error = 1;
        return 0;
    }
    s_R.file = file;
    uint32_t size = ZVI_FileSize(file);
    s_R.total = size == 0xFFFFFFFFu ? 0 : size;
    s_R.buffer = static_cast<unsigned char *>(ZviAllocBuffer(ZVI_DISK_BUFFER_SIZE));
    if (!s_R.buffer) {
        s_R.error = 1;
        return 0;
    }
    return 1;
}

extern "C" int ZVI_FileReadInitMemory(HGLOBAL block)
{
    StartSource(SOURCE_MEMORY);
    s_R.block = block;
    s_R.buffer = block ? static_cast<unsigned char *>(GlobalLock(block)) : nullptr;
    if (!s_R.buffer) {
        s_R.error = 1;
        return 0;
    }
    s_R.total = uint32_t(GlobalSize(block));
    s_R.count = s_R.total; // the whole block counts as buffered
    return 1;
}

extern "C" void ZVI_FileReadExit()
{
    if (s_R.source == SOURCE_DISK)
        ZviFreeBuffer(s_R.buffer);
    else if (s_R.source == SOURCE_MEMORY && s_R.buffer)
        GlobalUnlock(s_R.block);
    s_R.buffer = nullptr;
    s_R.count = s_R.pos = 0;
    s_R.source = SOURCE_IDLE;
}

// --- raw input ---------------------------------------------------------------

extern "C" int ZVI_FileReadData(void *buffer, int32_t count)
{
    if (s_R.error)
        return 0;
    if (count < 0) {
        Fail("ZVI_FileReadData()\n\nCount invalid!");
        return 0;
    }
    if (count == 0)
        return 1;
    if (!ZviCanWrite(buffer, uint32_t(count), "ZVI_FileReadData", "Data")) {
        s_R.error = 1;
        return 0;
    }
    s_R.consumed += count;
    unsigned char *out = static_cast<unsigned char *>(buffer);
    uint32_t left = uint32_t(count);
    while (left > 0) {
        if (s_R.pos >= s_R.count && !Refill()) {
            s_R.error = 1;
            return 0;
        }
        uint32_t n = s_R.count - s_R.pos;
        if (n > left)
            n = left;
        memcpy(out, s_R.buffer + s_R.pos, n);
        s_R.pos += n;
        out += n;
        left -= n;
    }
    s_R.previousByte = count > 1 ? out[-2] : s_R.lastByte;
    s_R.lastByte = out[-1];
    return 1;
}

extern "C" int ZVI_FileReadChar()
{
    if (s_R.error)
        return 0;
    int c = NextByte();
    return c < 0 ? 0 : c;
}

extern "C" int ZVI_FileReadLine(char *buffer, int32_t size)
{
    if (s_R.error)
        return 0;
    if (size < 1 || !ZviCanWrite(buffer, uint32_t(size), "ZVI_FileReadLine", "Data")) {
        s_R.error = 1;
        return 0;
    }
    int32_t n = 0;
    for (;;) {
        int next = PeekByte();
        bool isBreak = next == '\r' || next == '\n';
        if (n == size - 1 && !isBreak) {
            buffer[n] = 0;
            return 0; // the line does not fit; the rest stays unread
        }
        int c = NextByte();
        if (c < 0) {
            buffer[n] = 0;
            return 0;
        }
        if (isBreak) {
            int pair = c == '\r' ? '\n' : '\r';
            if (PeekByte() == pair)
                NextByte();
            ++s_R.line;
            buffer[n] = 0;
            return 1;
        }
        buffer[n++] = char(c);
    }
}

// --- records and sections --------------------------------------------------

extern "C" int ZVI_FileReadComma()
{
    if (s_R.error)
        return 0;
    if (s_R.lastDelimiter != s_R.delimiters.separator) {
        char text[80];
        snprintf(text, sizeof text, "Invalid character '%c',\nexpecting '%c'", s_R.lastDelimiter,
                 s_R.delimiters.separator);
        Fail(text);
        return 0;
    }
    return 1;
}

extern "C" int ZVI_FileReadContinue()
{
    return !s_R.error && s_R.lastDelimiter != s_R.delimiters.terminator ? 1 : 0;
}

extern "C" int ZVI_FileReadSemi()
{
    if (s_R.error)
        return 0;
    const FileDelimiters &d = s_R.delimiters;
    if (s_R.lastDelimiter == d.terminator)
        return 1;
    bool inString = false, escapePending = false;
    for (;;) {
        int c = NextByte();
        if (c < 0) {
            Fail("End of file while searching for ';'");
            return 0;
        }
        char ch = char(c);
        if (inString) {
            CountLineBreak(c, s_R.previousByte);
            if (escapePending)
                escapePending = false;
            else if (ch == d.escape)
                escapePending = true;
            else if (ch == d.quote)
                inString = false;
        } else if (ch == d.quote) {
            inString = true;
        } else if (ch == d.commentMark) {
            if (!SkipComment())
                return 0;
        } else if (ch == d.terminator) {
            s_R.lastDelimiter = ch;
            return 1;
        } else {
            CountLineBreak(c, s_R.previousByte);
        }
    }
}

extern "C" int ZVI_FileReadKeyword()
{
    if (s_R.error)
        return 0;
    s_R.lastKeyword = -1;
    int kind = ReadToken();
    if (kind != ZVI_TOKEN_KEYWORD) {
        if (kind != ZVI_TOKEN_FAILED)
            Report("Invalid data type,\nexpecting keyword");
        s_R.error = 1;
        return 0;
    }
    return LookUpKeyword() ? 1 : 0;
}

extern "C" int ZVI_FileReadNextKeyword()
{
    if (s_R.error)
        return 0;
    s_R.lastKeyword = -1;
    // Whatever stands before the keyword is skipped without a word.
    s_R.quiet = true;
    int kind = 0;
    while (!s_R.error && kind != ZVI_TOKEN_KEYWORD)
        kind = ReadToken();
    s_R.quiet = false;
    if (kind != ZVI_TOKEN_KEYWORD)
        return 0;
    return LookUpKeyword() ? 1 : 0;
}

extern "C" int ZVI_FileReadNextSection()
{
    if (s_R.error)
        return 0;
    if (s_R.lastKeyword != KEY_END) {
        if (!ZVI_FileReadNextKeyword())
            return 0;
        if (s_R.lastKeyword != KEY_END) {
            Fail("Unexpected section end,\nno =END= keyword found");
            return 0;
        }
    }
    for (;;) {
        if (!ZVI_FileReadNextKeyword())
            return 0;
        if (s_R.lastKeyword >= 0)
            return 1;
        // A section nobody reads: skipped up to its END.
        do {
            if (!ZVI_FileReadNextKeyword())
                return 0;
        } while (s_R.lastKeyword != KEY_END);
    }
}

extern "C" int ZVI_FileReadLastKeyword()
{
    return s_R.lastKeyword;
}

extern "C" int ZVI_FileReadProfileEntry()
{
    if (s_R.error)
        return -1;
    int kind = ReadToken();
    const char *text = ZviTokenBuffer();
    if (kind == ZVI_TOKEN_KEYWORD && EqualsIgnoreCase(text, "END")) {
        s_R.lastKeyword = KEY_END;
        return ZVI_PROFILE_END;
    }
    if (kind != ZVI_TOKEN_STRING) {
        if (kind != ZVI_TOKEN_FAILED)
            Report("Invalid data,\nexpecting character string");
        s_R.error = 1;
        return -1;
    }
    for (int i = 0; i < ZVI_PROFILE_KEY_COUNT; ++i)
        if (EqualsIgnoreCase(text, ZviProfileKeyName(i)))
            return i;
    return -1;
}

extern "C" int ZVI_FileReadHeader(const char *text)
{
    if (s_R.error)
        return 0;
    if (text) {
        if (!ZviCanReadString(text, "ZVI_FileReadHeader", "Text")) {
            s_R.error = 1;
            return 0;
        }
        size_t n = strlen(text);
        char header[MAX_HEADER + 1];
        // A mismatch is no message: the caller tries other headers.
        if (n > MAX_HEADER || !ZVI_FileReadData(header, int32_t(n + 1)) || memcmp(header, text, n) != 0 ||
            header[n] != s_R.delimiters.terminator) {
            s_R.error = 1;
            return 0;
        }
    }
    return ZVI_FileReadKeyword();
}

extern "C" int ZVI_FileReadEndOfFile()
{
    if (s_R.lastKeyword != KEY_EXIT)
        Report("Warning!\n\nUnexpected end of file,\n=EXIT= missing");
    return s_R.error ? 0 : 1;
}

// --- values ------------------------------------------------------------------

// The program's own readers: they write to the program's own records, so
// they skip the address probes the exports below make for a plug-in (each
// probe is a question to the memory manager, which cost more than the
// reading itself).

int ZviReadBool(int *value)
{
    if (s_R.error)
        return 0;
    if (!ReadNumberToken())
        return 0;
    if (s_R.isInteger && (s_R.integer == 0 || s_R.integer == 1)) {
        *value = s_R.integer;
        return 1;
    }
    const double v = TokenValue();
    if (v != 0.0 && v != 1.0) {
        FailBadNumber(v, "BOOL (0 or 1)");
        return 0;
    }
    *value = v == 1.0 ? 1 : 0;
    return 1;
}

int ZviReadShort(int16_t *value)
{
    if (s_R.error)
        return 0;
    if (!ReadNumberToken())
        return 0;
    if (s_R.isInteger && s_R.integer >= -32766 && s_R.integer <= 32767) {
        *value = int16_t(s_R.integer);
        return 1;
    }
    const double v = TokenValue();
    if (!InRange(v, -32766.49, 32767.49)) {
        FailBadNumber(v, "INT16 (-32766 .. 32767)");
        return 0;
    }
    *value = int16_t(std::floor(v + 0.5));
    return 1;
}

int ZviReadInt(int32_t *value)
{
    if (s_R.error)
        return 0;
    if (!ReadNumberToken())
        return 0;
    if (s_R.isInteger) { // nine digits at most: in range
        *value = s_R.integer;
        return 1;
    }
    const double v = TokenValue();
    if (!InRange(v, -2147483646.49, 2147483647.49)) {
        FailBadNumber(v, "INT32 (-2147483646 .. 2147483647)");
        return 0;
    }
    *value = int32_t(std::floor(v + 0.5));
    return 1;
}

int ZviReadDouble(double *value)
{
    if (s_R.error)
        return 0;
    if (!ReadNumberToken())
        return 0;
    // The value is copied as bits, without passing through the FPU.
    if (s_R.isInteger) { // nine digits at most: in range
        const uint64_t bits = IntegerTokenBits();
        std::memcpy(value, &bits, sizeof bits);
        return 1;
    }
    uint64_t bits;
    std::memcpy(&bits, &s_R.value, sizeof bits);
    if (!MagnitudeAtMost(bits, CALC_COORD_LIMIT)) {
        // CALC_NO_VALUE is the program's "no value" or "infinitely far".
        const double v = s_R.value;
        if (v != CALC_NO_VALUE && v != -CALC_NO_VALUE) {
            FailBadNumber(v, "DOUBLE (-1e100 .. 1e100)");
            return 0;
        }
    }
    std::memcpy(value, &bits, sizeof bits);
    return 1;
}

int ZviReadColorref(COLORREF *value)
{
    if (s_R.error)
        return 0;
    static const char *const expecting[3] = {"RVALUE (0.0 .. 1.0)", "GVALUE (0.0 .. 1.0)", "BVALUE (0.0 .. 1.0)"};
    unsigned parts[3];
    for (int i = 0; i < 3; ++i) {
        if (!ReadNumberToken())
            return 0;
        if (s_R.isInteger && (s_R.integer == 0 || s_R.integer == 1)) {
            parts[i] = s_R.integer ? 255u : 0u;
        } else {
            const double v = TokenValue();
            if (!InRange(v, 0.0, 1.0)) {
                FailBadNumber(v, expecting[i]);
                return 0;
            }
            parts[i] = unsigned(std::floor(v * 255 + 0.5));
        }
        // Red and green end with the colour separator; blue with anything.
        if (i < 2 && s_R.lastDelimiter != s_R.delimiters.colorSeparator) {
            char text[80];
            snprintf(text, sizeof text, "Invalid character '%c',\nexpecting '%c'", s_R.lastDelimiter,
                     s_R.delimiters.colorSeparator);
            Fail(text);
            return 0;
        }
    }
    *value = RGB(parts[0], parts[1], parts[2]);
    return 1;
}

int ZviReadString(char *buffer, int32_t size)
{
    if (s_R.error)
        return 0;
    if (size < 1) {
        s_R.error = 1;
        return 0;
    }
    if (!ReadStringToken("Invalid data,\nexpecting character string"))
        return 0;
    const char *text = ZviTokenBuffer();
    size_t n = strlen(text);
    if (n >= size_t(size)) {
        char message[64];
        snprintf(message, sizeof message, "String too long (> %ld bytes)", long(size));
        Fail(message);
        return 0;
    }
    memcpy(buffer, text, n + 1);
    return 1;
}

int ZviReadBinary(void *buffer, int32_t count)
{
    if (s_R.error)
        return 0;
    if (count < 0) {
        s_R.error = 1;
        return 0;
    }
    if (!ReadStringToken("Invalid data,\nexpecting hexadecimal string"))
        return 0;
    char *text = ZviTokenBuffer();
    size_t len = strlen(text);
    // Only the digits that give the count bytes are decoded; check them first
    // so that a bad text leaves the destination untouched.
    size_t used = (size_t(count) + 2) / 3 * 4;
    if (used > len)
        used = len;
    for (size_t i = 0; i < used; ++i) {
        char &c = text[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c < ' ' || c > '_') {
            char message[64];
            snprintf(message, sizeof message, "Illegal digit '%c' in hexadecimal string", c);
            Fail(message);
            return 0;
        }
    }
    unsigned char *out = static_cast<unsigned char *>(buffer);
    if (count > 0)
        memset(out, 0, size_t(count));
    int32_t stored = 0;
    // A text that ends inside a group reads as if blanks followed.
    for (size_t g = 0; g < used && stored < count; g += 4) {
        uint32_t group = 0;
        for (size_t k = 0; k < 4; ++k)
            group = (group << 6) | (g + k < used ? uint32_t(text[g + k] - ' ') : 0u);
        for (int shift = 16; shift >= 0 && stored < count; shift -= 8)
            out[stored++] = (unsigned char)(group >> shift);
    }
    return 1;
}

int ZviReadCommaBool(int *value)
{
    return ZVI_FileReadComma() && ZviReadBool(value);
}

int ZviReadCommaShort(int16_t *value)
{
    return ZVI_FileReadComma() && ZviReadShort(value);
}

int ZviReadCommaInt(int32_t *value)
{
    return ZVI_FileReadComma() && ZviReadInt(value);
}

int ZviReadCommaDouble(double *value)
{
    return ZVI_FileReadComma() && ZviReadDouble(value);
}

int ZviReadCommaColorref(COLORREF *value)
{
    return ZVI_FileReadComma() && ZviReadColorref(value);
}

int ZviReadCommaString(char *buffer, int32_t size)
{
    return ZVI_FileReadComma() && ZviReadString(buffer, size);
}

int ZviReadCommaBinary(void *buffer, int32_t count)
{
    return ZVI_FileReadComma() && ZviReadBinary(buffer, count);
}

namespace {

// A plug-in's destination, probed before anything is read; a bad one sets
// the error flag.
bool ValueWritable(void *p, uint32_t size, const char *function)
{
    if (s_R.error)
        return false;
    if (!ZviCanWrite(p, size, function, "Value")) {
        s_R.error = 1;
        return false;
    }
    return true;
}

} // namespace

extern "C" int ZVI_FileReadBool(int *value)
{
    return ValueWritable(value, sizeof *value, "ZVI_FileReadBool") && ZviReadBool(value);
}

extern "C" int ZVI_FileReadShort(int16_t *value)
{
    return ValueWritable(value, sizeof *value, "ZVI_FileReadShort") && ZviReadShort(value);
}

extern "C" int ZVI_FileReadInt(int32_t *value)
{
    return ValueWritable(value, sizeof *value, "ZVI_FileReadInt") && ZviReadInt(value);
}

extern "C" int ZVI_FileReadDouble(double *value)
{
    return ValueWritable(value, sizeof *value, "ZVI_FileReadDouble") && ZviReadDouble(value);
}

extern "C" int ZVI_FileReadColorref(COLORREF *value)
{
    return ValueWritable(value, sizeof *value, "ZVI_FileReadColorref") && ZviReadColorref(value);
}

extern "C" int ZVI_FileReadString(char *buffer, int32_t size)
{
    if (s_R.error)
        return 0;
    if (size < 1)
        return ZviReadString(buffer, size); // refused there
    return ValueWritable(buffer, uint32_t(size), "ZVI_FileReadString") && ZviReadString(buffer, size);
}

extern "C" int ZVI_FileReadBinary(void *buffer, int32_t count)
{
    if (s_R.error)
        return 0;
    if (count > 0 && !ValueWritable(buffer, uint32_t(count), "ZVI_FileReadBinary"))
        return 0;
    return ZviReadBinary(buffer, count);
}

extern "C" int ZVI_FileReadCommaBool(int *value)
{
    return ZVI_FileReadComma() && ZVI_FileReadBool(value);
}

extern "C" int ZVI_FileReadCommaShort(int16_t *value)
{
    return ZVI_FileReadComma() && ZVI_FileReadShort(value);
}

extern "C" int ZVI_FileReadCommaInt(int32_t *value)
{
    return ZVI_FileReadComma() && ZVI_FileReadInt(value);
}

extern "C" int ZVI_FileReadCommaDouble(double *value)
{
    return ZVI_FileReadComma() && ZVI_FileReadDouble(value);
}

extern "C" int ZVI_FileReadCommaColorref(COLORREF *value)
{
    return ZVI_FileReadComma() && ZVI_FileReadColorref(value);
}

extern "C" int ZVI_FileReadCommaString(char *buffer, int32_t size)
{
    return ZVI_FileReadComma() && ZVI_FileReadString(buffer, size);
}

extern "C" int ZVI_FileReadCommaBinary(void *buffer, int32_t count)
{
    return ZVI_FileReadComma() && ZVI_FileReadBinary(buffer, count);
}

// --- settings and queries --------------------------------------------------

extern "C" int ZVI_FileReadDelimiters(const FileDelimiters *delimiters)
{
    if (delimiters && !ZviCanRead(delimiters, sizeof(FileDelimiters), "ZVI_FileReadDelimiters", "Delimiters"))
        return 0;
    ZviApplyDelimiters(s_R.delimiters, delimiters);
    BuildByteClasses();
    return 1;
}

extern "C" int ZVI_FileReadError()
{
    return s_R.error;
}

extern "C" int32_t ZVI_FileReadTotalSize()
{
    return int32_t(s_R.total);
}

extern "C" int32_t ZVI_FileReadCurrentSize()
{
    return s_R.consumed;
}

extern "C" int32_t ZVI_FileReadCurrentLine()
{
    return s_R.line;
}

// Dates and times, tokens, abbreviations and folder paths.
#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/system.h"
#include "language/language.h"

ConvertDateNames g_ConvertDateNames = {eMonthNames, eDayNames, eTimeNames};

namespace {

constexpr size_t DATE_TEXT_SIZE = 256;
constexpr int DATE_TIME_FORMATS = 5; // the choices of the option DateTimeFormat
constexpr size_t MAX_ABBREV_NAME = 515;
constexpr size_t MAX_FOLDER_PATH = 259; // a path of this length gets no backslash

const char *SafeName(const char *const *table, int index, int count)
{
    if (!table || index < 0 || index >= count || !table[index])
        return "";
    return table[index];
}

// Appends text to a date buffer, cutting at 255 characters.
void AppendDate(char *buffer, const char *text)
{
    size_t n = std::strlen(buffer);
    std::snprintf(buffer + n, DATE_TEXT_SIZE - n, "%s", text);
}

} // namespace

void ConvertDateTimeByOption(const SYSTEMTIME *time, char *out)
{
    int format = g_Options.dateTimeFormat;
    if (format < 0 || format >= DATE_TIME_FORMATS)
        format = 0;
    ConvertDateTimeToString(time, eDateTimeFormats[format], out);
}

void ConvertDateTimeToString(const SYSTEMTIME *time, const char *format, char *out)
{
    char buffer[DATE_TEXT_SIZE] = "";
    char part[64];
    for (const char *f = format ? format : ""; *f; ++f) {
        if (*f != '#') {
            part[0] = *f;
            part[1] = 0;
            AppendDate(buffer, part);
            continue;
        }
        if (!f[1])
            break; // a lone "#" at the end writes nothing
        ++f;
        part[0] = 0;
        switch (*f) {
        case 'Y': std::snprintf(part, sizeof part, "%d", time->wYear); break;
        case 'y': std::snprintf(part, sizeof part, "%02d", time->wYear % 100); break;
        case 'o': std::snprintf(part, sizeof part, "%d", time->wMonth); break;
        case 'O':
            std::snprintf(part, sizeof part, "%s", SafeName(g_ConvertDateNames.months, time->wMonth - 1, 12));
            break;
        case 'd': std::snprintf(part, sizeof part, "%d", time->wDay); break;
        case 'D':
            std::snprintf(part, sizeof part, "%s", SafeName(g_ConvertDateNames.days, time->wDayOfWeek, 7));
            break;
        case 'h': std::snprintf(part, sizeof part, "%d", time->wHour); break;
        case 'a': {
            int hour = time->wHour;
            if (hour == 0)
                hour = 12;
            else if (hour > 12)
                hour -= 12;
            std::snprintf(part, sizeof part, "%d", hour);
            break;
        }
        case 'p':
            std::snprintf(part, sizeof part, "%s",
                          SafeName(g_ConvertDateNames.dayHalves, time->wHour < 12 ? 0 : 1, 2));
            break;
        case 'm': std::snprintf(part, sizeof part, "%02d", time->wMinute); break;
        case 's': std::snprintf(part, sizeof part, "%02d", time->wSecond); break;
        default:
            part[0] = *f;
            part[1] = 0;
            break;
        }
        AppendDate(buffer, part);
    }
    std::memcpy(out, buffer, std::strlen(buffer) + 1);
}

const char *ConvertNextToken(const char *text, char *out, size_t outSize)
{
    if (!text || !*text)
        return nullptr;
    size_t n = 0;
    auto put = [&](char ch) {
        if (n + 1 < outSize)
            out[n++] = ch;
    };
    while (*text == ' ')
        ++text;
    if (*text == '"') {
        const char *close = std::strchr(text + 1, '"');
        if (!close)
            return nullptr;
        for (const char *p = text + 1; p < close; ++p)
            put(*p);
        if (outSize)
            out[n] = 0;
        return close + 1;
    }
    for (; *text && *text != ' '; ++text)
        put(*text);
    if (outSize)
        out[n] = 0;
    return text;
}

int ConvertCompareAbbrev(const char *name, const char *abbrev, int caseSensitive)
{
    char a[MAX_ABBREV_NAME + 1], b[MAX_ABBREV_NAME + 1];
    std::snprintf(a, sizeof a, "%s", name ? name : "");
    std::snprintf(b, sizeof b, "%s", abbrev ? abbrev : "");
    if (!caseSensitive) {
        CharLowerA(a);
        CharLowerA(b);
    }
    size_t n = 0;
    while (a[n] && a[n] == b[n])
        ++n;
    size_t lengthName = std::strlen(a), lengthAbbrev = std::strlen(b);
    if (n == lengthName && n == lengthAbbrev)
        return 0;
    if (n == lengthAbbrev)
        return 1;
    return -1;
}

void ConvertAppendBackslash(char *path)
{
    size_t n = std::strlen(path);
    if (n == 0 || path[0] == '*' || n >= MAX_FOLDER_PATH || path[n - 1] == '\\' || path[n - 1] == '/')
        return;
    path[n] = '\\';
    path[n + 1] = 0;
}

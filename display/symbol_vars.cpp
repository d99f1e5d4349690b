// References in texts: ~name~ is replaced when a text is shown by the value of
// a drawing variable or of a system variable (author, dates, pages, scale,
// storage figures, file information).
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "database/storage.h"
#include "database/undo.h"
#include "display/output.h"
#include "database/symbol_explode.h"
#include "display/symbol.h"
#include "files/file.h"
#include "files/file_drawinginfo.h"
#include "files/image_list.h"
#include "language/language.h"

namespace {

constexpr int kNameSize = 32;           // a name between tildes holds at most 31 characters
constexpr int kDefaultText = 7;         // eDefaultNames: what an unknown name shows
constexpr int kDateTextSize = 256;
constexpr double kScaleSmall = 1e-10;
constexpr double kScaleLarge = 1e10;
constexpr int kScaleWidth = 250;        // scale figures: room, digits, trimming
constexpr int kScaleDigits = 2;
constexpr int kScaleMode = 0;

char *g_Pending = nullptr; // the substituted copy of the last SymbolGetTextString

void SetDefault(char *value)
{
    lstrcpynA(value, eDefaultNames[kDefaultText], TEXT_VALUE_SIZE);
}

void CopyValue(char *value, const char *text)
{
    lstrcpynA(value, text ? text : "", TEXT_VALUE_SIZE);
}

const SystemDef &SystemInUse()
{
    int32_t system = 0;
    if (g_ActiveWindow >= 0 && g_ActiveWindow < WINDOW_DRAW_COUNT)
        system = g_DrawWindows[g_ActiveWindow].system;
    else if (g_ActiveWindow == WINDOW_VIEW)
        system = g_ViewWindow.system;
    if (system < 0 || system >= SYSTEM_SLOTS)
        system = 0;
    return g_SystemDefs[system];
}

void IntValue(char *value, long n)
{
    std::snprintf(value, TEXT_VALUE_SIZE, "%ld", n);
}

void DoubleValue(char *value, double v)
{
    ConvertDoubleToString(value, v, 0, SystemInUse().decimals);
}

void ScaleFigure(char *out, double v)
{
    ConvertValueToString(out, nullptr, v, kScaleWidth, 0, kScaleDigits, kScaleMode, 1.0);
}

void ScaleValue(char *value)
{
    const double s = SystemInUse().scale;
    char a[TEXT_VALUE_SIZE], b[TEXT_VALUE_SIZE];
    if (s > kScaleSmall && s < 1.0) {
        ScaleFigure(b, 1.0 / s);
        std::snprintf(value, TEXT_VALUE_SIZE, "%s:%s", "1", b);
    } else if (s < kScaleLarge) {
        ScaleFigure(a, s);
        std::snprintf(value, TEXT_VALUE_SIZE, "%s:%s", a, "1");
    } else {
        ScaleFigure(value, s);
    }
}

long CountUnits(int list, bool aliveOnly, int32_t kind)
{
    long n = 0;
    for (Unit *u = g_ObjectLists[list].head; u; u = u->next)
        if ((!aliveOnly || UndoIsVisible(u, g_UndoStep)) && (kind < 0 || u->kind == kind))
            ++n;
    return n;
}

void DateNow(char *value)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char date[kDateTextSize] = "";
    ConvertDateTimeByOption(&now, date);
    CopyValue(value, date);
}

// One variable of a letter's family; 0 for a digit the family lacks.
int Expand(char letter, int digit, char *value)
{
    const DrawingInfo &info = g_DrawingInfo.info;
    switch (letter) {
    case 'A':
        if (digit > 2)
            return 0;
        CopyValue(value, digit == 0 ? info.author : digit == 1 ? info.lastAuthor : g_Options.authorName);
        return 1;
    case 'D':
        if (digit > 2)
            return 0;
        if (digit == 2)
            DateNow(value);
        else
            CopyValue(value, digit == 0 ? info.created : info.saved);
        return 1;
    case 'P':
        if (digit > 2)
            return 0;
        IntValue(value, digit == 0 ? g_PageDefs.count
                        : digit == 1 ? g_OutputContext.pageCount
                                     : g_OutputContext.pageNumber);
        return 1;
    case 'S':
        if (digit > 1)
            return 0;
        if (digit == 0)
            ScaleValue(value);
        else
            DoubleValue(value, g_DrawingSettings.print.scale);
        return 1;
    case 'X':
        switch (digit) {
        case 0: {
            const double bytes = double(g_ObjectLists[LIST_DRAWING].bytes) + g_ObjectLists[LIST_OWN_BLOCKS].bytes +
                                 ImageBytesInUse();
            std::snprintf(value, TEXT_VALUE_SIZE, "%ld KB", long(std::ceil(bytes / 1024.0)));
            return 1;
        }
        case 1: IntValue(value, CountUnits(LIST_DRAWING, true, -1)); return 1;
        case 2: IntValue(value, CountUnits(LIST_OWN_BLOCKS, false, UNIT_KIND_BLOCK)); return 1;
        case 3: {
            long n = 0;
            for (int i = 0; i < SYMBOL_LIBRARY_SLOTS; ++i)
                n += CountUnits(LIST_SYMBOL_LIBRARY_FIRST + i, false, UNIT_KIND_BLOCK);
            IntValue(value, n);
            return 1;
        }
        case 4: IntValue(value, g_BitmapList.count); return 1;
        default: return 0;
        }
    case 'Z':
        switch (digit) {
        case 0: CopyValue(value, g_DrawingInfo.currentPath); return 1;
        case 1: CopyValue(value, info.title); return 1;
        case 2: CopyValue(value, info.description); return 1;
        case 3: CopyValue(value, info.comment); return 1;
        default: return 0;
        }
    default:
        return 0;
    }
}

// The value of a name between tildes: a drawing variable, else a system variable.
void ResolveName(const char *name, char *value)
{
    // Inside an instance its attributes come first.
    if (Unit *instance = g_OutputContext.currentInstance)
        if (SymbolResolveAttributeText(instance, name, value, nullptr, 1))
            return;
    if (SymbolLookupVariable(name, value))
        return;
    SymbolExpandSystemVariable(name, value, nullptr);
}

} // namespace

int SymbolLookupVariable(const char *name, char *value)
{
    for (const VariableDef &v : g_VariableDefs)
        if (v.name[0] && lstrcmpiA(v.name, name) == 0) {
            CopyValue(value, v.value);
            return 1;
        }
    SetDefault(value);
    return 0;
}

int SymbolExpandSystemVariable(const char *name, char *value, int *used)
{
    if (used)
        *used = 1;
    if (name[0] == '%' && name[1] == '%' && name[2] == 0) {
        CopyValue(value, "%");
        if (used)
            *used = 2;
        return 1;
    }
    const char letter = char(std::toupper((unsigned char)name[1]));
    if (name[0] == '%' && name[1] && name[2] >= '0' && name[2] <= '9' && name[3] == 0 &&
        Expand(letter, name[2] - '0', value)) {
        if (used)
            *used = 3;
        return 1;
    }
    SetDefault(value);
    return 0;
}

const char *SymbolGetTextString(const char *text)
{
    g_Pending = nullptr;
    if (!text || !g_DrawingSettings.displayVariables || !std::strchr(text, '~'))
        return text;
    char *out = static_cast<char *>(mem_alloc_temp(TEXT_BUFFER_SIZE, __FILE_NAME__, __LINE__));
    if (!out)
        return text;
    int n = 0;
    auto append = [&](const char *s, size_t len) {
        if (n + len > size_t(TEXT_MAX_LENGTH))
            return false;
        std::memcpy(out + n, s, len);
        n += int(len);
        return true;
    };
    const unsigned char *p = (const unsigned char *)text;
    bool fits = true;
    while (*p && fits) {
        if (*p != '~') {
            fits = append((const char *)p, 1);
            ++p;
            continue;
        }
        const unsigned char *q = p + 1;
        while (*q && *q != '~' && *q != TEXT_CODE_NEWLINE && *q != TEXT_CODE_TAB)
            ++q;
        const size_t length = size_t(q - p - 1);
        if (*q == '~' && length == 0) { // "~~" shows one tilde
            fits = append("~", 1);
            p = q + 1;
            continue;
        }
        // A name too long for a name is not a reference: its tildes stay ordinary characters.
        if (*q != '~' || length == 0 || length >= size_t(kNameSize)) {
            fits = append("~", 1);
            ++p;
            continue;
        }
        char name[kNameSize];
        std::memcpy(name, p + 1, length);
        name[length] = 0;
        char value[TEXT_VALUE_SIZE];
        ResolveName(name, value);
        fits = append(value, std::strlen(value));
        p = q + 1;
    }
    if (!fits) {
        mem_free_temp(out, __FILE_NAME__, __LINE__);
        return text;
    }
    out[n] = 0;
    g_Pending = out;
    return out;
}

void SymbolReleaseTextString()
{
    if (g_Pending)
        mem_free_temp(g_Pending, __FILE_NAME__, __LINE__);
    g_Pending = nullptr;
}

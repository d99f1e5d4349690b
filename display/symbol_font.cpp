#include "display/symbol.h"

#include <cmath>
#include <cstring>
#include <new>

#include "app/darad4.h"
#include "app/init.h"

namespace {

constexpr int kFirstCode = 32;
constexpr int kCodes = 256;
constexpr LONG kFontHeight = -1000;  // em of the measuring font; 0.02 turns it into internal units
constexpr double kMetricScale = 0.02;

struct FontState {
    int initialised;
    FontDef current;
    HFONT handle;
    int library;
    double ascent;
    double descent;
    double left[kCodes];
    double right[kCodes];
    double advance[kCodes];
    KERNINGPAIR *kerning;
    DWORD kerningCount;
};

FontState g_Font;

HFONT CreateFontFromDef(const FontDef &f)
{
    LOGFONTA lf{};
    lf.lfHeight = kFontHeight;
    lf.lfWeight = f.weight ? (LONG)f.weight : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = f.kind == FONT_KIND_DEVICE ? OUT_DEVICE_PRECIS : OUT_TT_PRECIS;
    lstrcpynA(lf.lfFaceName, f.face, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

void ReadMetrics(HFONT font)
{
    // Without a main window a memory context serves: it needs no desktop window.
    HDC dc = g_MainWnd ? GetDC(g_MainWnd) : CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    g_Font.ascent = tm.tmAscent * kMetricScale;
    g_Font.descent = -tm.tmDescent * kMetricScale;
    for (int code = kFirstCode; code < kCodes; ++code) {
        ABC abc{};
        INT width = 0;
        if (GetCharABCWidthsA(dc, code, code, &abc)) {
            g_Font.left[code] = abc.abcA * kMetricScale;
            g_Font.right[code] = (abc.abcA + (int)abc.abcB) * kMetricScale;
            g_Font.advance[code] = (abc.abcA + (int)abc.abcB + abc.abcC) * kMetricScale;
        } else if (GetCharWidthA(dc, code, code, &width)) {
            g_Font.left[code] = 0;
            g_Font.right[code] = g_Font.advance[code] = width * kMetricScale;
        } else {
            g_Font.left[code] = g_Font.right[code] = g_Font.advance[code] = 0;
        }
    }
    const DWORD pairs = GetKerningPairsA(dc, 0, nullptr);
    if (pairs >= 1) {
        g_Font.kerning = new (std::nothrow) KERNINGPAIR[pairs];
        if (g_Font.kerning)
            g_Font.kerningCount = GetKerningPairsA(dc, pairs, g_Font.kerning);
    }
    SelectObject(dc, old);
    if (g_MainWnd)
        ReleaseDC(g_MainWnd, dc);
    else
        DeleteDC(dc);
}

} // namespace

void SymbolInitFont()
{
    std::memset(&g_Font, 0, sizeof g_Font);
    g_Font.library = -1;
}

void SymbolReleaseFont()
{
    if (g_Font.handle)
        DeleteObject(g_Font.handle);
    delete[] g_Font.kerning;
    SymbolInitFont();
}

int SymbolSelectFont(const FontDef *font, HFONT *handle, int *library)
{
    const FontDef f = *font;
    if (g_Font.initialised && std::memcmp(&f, &g_Font.current, sizeof f) == 0) {
        if (handle)
            *handle = g_Font.handle;
        if (library)
            *library = g_Font.library;
        return 1;
    }
    SymbolReleaseFont();
    // Character libraries are not loaded by this engine: a font that names one
    // has nothing to measure with.
    HFONT created = f.kind == FONT_KIND_LIBRARY ? nullptr : CreateFontFromDef(f);
    if (!created) {
        if (handle)
            *handle = nullptr;
        if (library)
            *library = -1;
        return 0;
    }
    ReadMetrics(created);
    g_Font.handle = created;
    g_Font.library = -1;
    g_Font.current = f;
    g_Font.initialised = 1;
    if (handle)
        *handle = created;
    if (library)
        *library = -1;
    return 1;
}

int SymbolGetCharCell(int code, double box[4], double *advance)
{
    if (!g_Font.initialised)
        InitErrorBox(__FILE__, __LINE__, "Access to uninitialized font!");
    code &= 0xFF;
    box[0] = g_Font.left[code];
    box[1] = g_Font.descent;
    box[2] = g_Font.right[code];
    box[3] = g_Font.ascent;
    *advance = g_Font.advance[code];
    return 1;
}

double SymbolKerning(int previous, int code)
{
    if (!g_Font.kerning || previous < 1)
        return 0.0;
    for (DWORD i = 0; i < g_Font.kerningCount; ++i)
        if (g_Font.kerning[i].wFirst == previous && g_Font.kerning[i].wSecond == code)
            return g_Font.kerning[i].iKernAmount * kMetricScale;
    return 0.0;
}

double SymbolCharAdvance(int code)
{
    return g_Font.advance[code & 0xFF];
}

// The current font of the text engine and its metrics. Windows fonts are made
// at height -1000 and measured once; their metrics, kerning pairs and GDI
// handles stay in a small cache across paints, so that repainting a drawing
// asks GDI nothing for fonts it has seen before. Character libraries are
// measured from their character blocks.
#include "display/symbol.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/init.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "database/symbol_charlib.h"
#include "geometry/frame.h"

namespace {

constexpr int kCodes = 256;
constexpr LONG kFontHeight = -1000;  // em of the measuring font; 0.02 turns it into character units
constexpr double kMetricScale = 0.02;
constexpr double kLibraryAscent = 20.0;
constexpr double kLibraryDescent = -5.0;
constexpr int kCacheEntries = 8;     // fonts kept measured at once

struct KernEntry {
    uint32_t key; // first code << 16 | second code
    double amount;
};

struct FontMetrics {
    int used;       // the entry holds a measured font
    uint32_t stamp; // last use, for replacing the oldest entry
    FontDef def;
    HFONT handle;   // 0 for character libraries
    int library;
    double ascent;
    double descent;
    double left[kCodes];
    double right[kCodes];
    double advance[kCodes];
    std::vector<KernEntry> kerning; // sorted by key, table order kept among equal keys
    // Glyph outlines as surface objects in character units, made when first
    // drawn; an empty entry not made yet, one of a single byte: no outline.
    std::vector<uint8_t> glyphs[kCodes];
};

FontMetrics g_Cache[kCacheEntries];
FontMetrics *g_Current = nullptr; // the selected font, or none
FontMetrics g_Empty;              // what metrics read before any font was selected
uint32_t g_Clock = 0;
HDC g_MeasureDC = nullptr;        // one memory context for metrics and outlines
HGDIOBJ g_MeasureOldFont = nullptr;

HDC MeasureDC()
{
    if (!g_MeasureDC) {
        g_MeasureDC = CreateCompatibleDC(nullptr);
        if (g_MeasureDC)
            g_MeasureOldFont = GetCurrentObject(g_MeasureDC, OBJ_FONT);
    }
    return g_MeasureDC;
}

void SelectIntoMeasureDC(HFONT font)
{
    if (HDC dc = MeasureDC())
        SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : g_MeasureOldFont);
}

void FreeEntry(FontMetrics &e)
{
    if (e.handle) {
        if (g_MeasureDC && GetCurrentObject(g_MeasureDC, OBJ_FONT) == e.handle)
            SelectObject(g_MeasureDC, g_MeasureOldFont);
        DeleteObject(e.handle);
    }
    e.handle = nullptr;
    e.used = 0;
    e.kerning.clear();
    e.kerning.shrink_to_fit();
    for (std::vector<uint8_t> &g : e.glyphs)
        std::vector<uint8_t>().swap(g);
}

void MeasureLibrary(FontMetrics &e)
{
    e.ascent = kLibraryAscent;
    e.descent = kLibraryDescent;
    for (int code = CHAR_CODE_FIRST; code <= CHAR_CODE_LAST; ++code) {
        const Unit *block = SymbolGetCharBlock(e.library, code);
        if (!block) {
            e.left[code] = e.right[code] = e.advance[code] = 0.0;
            continue;
        }
        e.left[code] = block->frame[0];
        e.right[code] = block->frame[2];
        const double *cell = block->block.blockFrame;
        e.advance[code] = cell[0] != FRAME_INFINITE ? cell[0] : block->frame[2] - block->frame[0];
    }
}

void MeasureWindowsFont(FontMetrics &e)
{
    HDC dc = MeasureDC();
    SelectObject(dc, e.handle);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    e.ascent = tm.tmAscent * kMetricScale;
    e.descent = -tm.tmDescent * kMetricScale;
    ABC abc[CHAR_CODE_COUNT];
    INT widths[CHAR_CODE_COUNT];
    if (GetCharABCWidthsA(dc, CHAR_CODE_FIRST, CHAR_CODE_LAST, abc)) {
        for (int i = 0; i < CHAR_CODE_COUNT; ++i) {
            const int code = CHAR_CODE_FIRST + i;
            e.left[code] = abc[i].abcA * kMetricScale;
            e.right[code] = (abc[i].abcA + (int)abc[i].abcB) * kMetricScale;
            e.advance[code] = (abc[i].abcA + (int)abc[i].abcB + abc[i].abcC) * kMetricScale;
        }
    } else if (GetCharWidthA(dc, CHAR_CODE_FIRST, CHAR_CODE_LAST, widths)) {
        for (int i = 0; i < CHAR_CODE_COUNT; ++i) {
            const int code = CHAR_CODE_FIRST + i;
            e.left[code] = 0.0;
            e.right[code] = e.advance[code] = widths[i] * kMetricScale;
        }
    }
    const DWORD pairs = GetKerningPairsA(dc, 0, nullptr);
    if (pairs >= 1 && pairs != GDI_ERROR) {
        std::vector<KERNINGPAIR> table(pairs);
        const DWORD got = GetKerningPairsA(dc, pairs, table.data());
        if (got != GDI_ERROR) {
            e.kerning.reserve(got);
            for (DWORD i = 0; i < got && i < pairs; ++i)
                e.kerning.push_back({uint32_t(table[i].wFirst) << 16 | table[i].wSecond,
                                     table[i].iKernAmount * kMetricScale});
            std::stable_sort(e.kerning.begin(), e.kerning.end(),
                             [](const KernEntry &a, const KernEntry &b) { return a.key < b.key; });
        }
    }
}

FontMetrics *FindCached(const FontDef &f)
{
    for (FontMetrics &e : g_Cache)
        if (e.used && std::memcmp(&e.def, &f, sizeof f) == 0)
            return &e;
    return nullptr;
}

FontMetrics &FreeCacheEntry()
{
    FontMetrics *oldest = &g_Cache[0];
    for (FontMetrics &e : g_Cache) {
        if (!e.used)
            return e;
        if (e.stamp < oldest->stamp)
            oldest = &e;
    }
    if (oldest == g_Current)
        g_Current = nullptr;
    FreeEntry(*oldest);
    return *oldest;
}

// Measures f into a cache entry; 0 when neither a Windows font nor a library serves.
FontMetrics *MeasureFont(const FontDef &f)
{
    int library;
    HFONT handle = nullptr;
    if (f.kind == FONT_KIND_LIBRARY) {
        library = SymbolFindCharLibraryName(f.face);
    } else {
        handle = f.kind == FONT_KIND_DEVICE ? InitCreateFontDefDevice(kFontHeight, 0, &f)
                                            : InitCreateFontDef(kFontHeight, 0, &f);
        library = SymbolFindCharLibrary(&g_DefaultFont);
    }
    if (!handle && library < 0)
        return nullptr;
    FontMetrics &e = FreeCacheEntry();
    std::memset(e.left, 0, sizeof e.left);
    std::memset(e.right, 0, sizeof e.right);
    std::memset(e.advance, 0, sizeof e.advance);
    e.def = f;
    e.handle = handle;
    e.library = library;
    if (handle)
        MeasureWindowsFont(e);
    else
        MeasureLibrary(e);
    e.used = 1;
    return &e;
}

const FontMetrics &Metrics()
{
    if (!g_Current) {
        InitErrorBox(__FILE_NAME__, __LINE__, "Access to uninitialized font!");
        return g_Empty;
    }
    return *g_Current;
}

} // namespace

void SymbolInitFont()
{
    g_Current = nullptr;
}

void SymbolReleaseFont()
{
    // Only the selection ends: the measured fonts stay for the next paint.
    g_Current = nullptr;
}

void SymbolFreeFonts()
{
    g_Current = nullptr;
    for (FontMetrics &e : g_Cache)
        FreeEntry(e);
    if (g_MeasureDC) {
        DeleteDC(g_MeasureDC);
        g_MeasureDC = nullptr;
    }
}

int SymbolSelectFont(const FontDef *font, HFONT *handle, int *library)
{
    // The same font as the text before: nothing to look up.
    if (g_Current && std::memcmp(font, &g_Current->def, sizeof *font) == 0) {
        if (handle)
            *handle = g_Current->handle;
        if (library)
            *library = g_Current->library;
        return 1;
    }
    FontDef f = *font;
    if (f.kind == FONT_KIND_LIBRARY && SymbolFindCharLibraryName(f.face) < 0)
        f = g_DefaultFont;
    FontMetrics *e = FindCached(f);
    if (!e)
        e = MeasureFont(f);
    if (!e) {
        g_Current = nullptr;
        if (handle)
            *handle = nullptr;
        if (library)
            *library = -1;
        return 0;
    }
    if (e != g_Current && e->handle)
        SelectIntoMeasureDC(e->handle);
    e->stamp = ++g_Clock;
    g_Current = e;
    if (handle)
        *handle = e->handle;
    if (library)
        *library = e->library;
    return 1;
}

void SymbolGetCharBox(int code, double box[5])
{
    const FontMetrics &m = Metrics();
    code &= 0xFF;
    box[0] = m.ascent;
    box[1] = m.descent;
    box[2] = m.left[code];
    box[3] = m.right[code];
    box[4] = m.advance[code];
}

int SymbolGetCharCell(int code, double box[4], double *advance)
{
    const FontMetrics &m = Metrics();
    code &= 0xFF;
    // Copied as bytes: this runs for every character measured, and where the
    // processor is emulated every FPU load and store costs much.
    std::memcpy(advance, &m.advance[code], sizeof *advance);
    if (m.handle || !m.used) {
        std::memcpy(&box[0], &m.left[code], sizeof box[0]);
        std::memcpy(&box[1], &m.descent, sizeof box[1]);
        std::memcpy(&box[2], &m.right[code], sizeof box[2]);
        std::memcpy(&box[3], &m.ascent, sizeof box[3]);
        return 1;
    }
    const Unit *block = SymbolGetCharBlock(m.library, code);
    if (!block)
        return 0;
    const double *cell = block->block.blockFrame;
    const double *source = cell[0] != FRAME_INFINITE && cell[1] != FRAME_INFINITE ? cell : block->frame;
    std::memcpy(box, source, 4 * sizeof(double));
    return 1;
}

double SymbolCharAdvance(int code)
{
    return Metrics().advance[code & 0xFF];
}

double SymbolKerning(int previous, int code)
{
    if (!g_Current || g_Current->kerning.empty() || previous < 1)
        return 0.0;
    const uint32_t key = uint32_t(previous) << 16 | uint32_t(code);
    const auto &k = g_Current->kerning;
    auto it = std::lower_bound(k.begin(), k.end(), key, [](const KernEntry &e, uint32_t v) { return e.key < v; });
    return it != k.end() && it->key == key ? it->amount : 0.0;
}

double SymbolFontAscent()
{
    return Metrics().ascent;
}

double SymbolFontDescent()
{
    return Metrics().descent;
}

int SymbolCurrentLibrary()
{
    return g_Current ? g_Current->library : -1;
}

int32_t SymbolGlyphOutline(int code, void *buffer, uint32_t size, GLYPHMETRICS *metrics)
{
    if (!g_Current || !g_Current->handle)
        return -1;
    static const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    HDC dc = MeasureDC();
    if (!dc)
        return -1;
    const DWORD n = GetGlyphOutlineA(dc, UINT(code & 0xFF), GGO_NATIVE, metrics, size, buffer, &identity);
    return n == GDI_ERROR ? -1 : int32_t(n);
}

const Unit *SymbolGlyphPath(int code, int *failed)
{
    // A glyph entry of one byte: the character has no outline; of two: its
    // outline could not be converted.
    constexpr size_t kNoOutline = 1, kUnconvertible = 2;
    if (failed)
        *failed = 0;
    if (!g_Current || !g_Current->handle)
        return nullptr;
    std::vector<uint8_t> &glyph = g_Current->glyphs[code & 0xFF];
    if (glyph.empty()) {
        GLYPHMETRICS gm{};
        const int32_t size = SymbolGlyphOutline(code, nullptr, 0, &gm);
        std::vector<uint8_t> outline(size > 0 ? size_t(size) : 0);
        size_t state = kNoOutline;
        if (size > 0 && SymbolGlyphOutline(code, outline.data(), uint32_t(size), &gm) == size) {
            // Every outline point becomes at most three point elements.
            const uint32_t capacity = UNIT_ELEMENTS_OBJECT + ELEM_SIZE_END + 3 * ELEM_SIZE_POINT * uint32_t(size) / 8;
            std::vector<uint8_t> path(capacity + sizeof(Unit));
            Unit *unit = reinterpret_cast<Unit *>(path.data());
            if (SymbolGlyphToPath(unit, capacity, outline.data(), &gm, uint32_t(size))) {
                path.resize(unit->bytes);
                glyph.swap(path);
            } else {
                state = kUnconvertible;
            }
        }
        if (glyph.empty())
            glyph.assign(state, 0);
    }
    if (failed)
        *failed = glyph.size() == kUnconvertible;
    return glyph.size() > kUnconvertible ? reinterpret_cast<const Unit *>(glyph.data()) : nullptr;
}

const void *SymbolCurrentFont(FontDef *def)
{
    if (g_Current)
        *def = g_Current->def;
    return g_Current;
}

void SymbolReselectFont(const void *entry, const FontDef *def)
{
    // Unchanged when the same entry still holds the same font.
    if (entry == g_Current && (!g_Current || std::memcmp(&g_Current->def, def, sizeof *def) == 0))
        return;
    if (entry)
        SymbolSelectFont(def, nullptr, nullptr);
    else
        g_Current = nullptr;
}


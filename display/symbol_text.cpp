#include "display/symbol.h"
#include "geometry/calc.h"

#include <cmath>

double SymbolCharAdvance(int code);

namespace {

constexpr int kLineBufferSize = 8192;
constexpr double kDefaultHeight = 5.0;

struct Layout {
    double height = kDefaultHeight;
    double spacing = 0.0;
    double tab = 0.0;
    double lineSpacing = 1.0;
    int alignment = 0;
};

struct Walk {
    Matrix *m = nullptr;
    Matrix lineStart{};
    const char *rest = nullptr;
    char line[kLineBufferSize] = {};
    const char *read = nullptr;
    int index = 0;
    int previous = -1;
    double penX = 0.0;
    double shift = 0.0;
};

Layout g_Layout;
Walk g_Walk;

double LineWidth(const char *line)
{
    double w = 0.0;
    int previous = -1;
    bool lastWasChar = false;
    const double t = g_Layout.tab * TEXT_UNITS_PER_HEIGHT;
    for (const unsigned char *p = (const unsigned char *)line; *p; ++p) {
        if (*p == TEXT_CODE_TAB) {
            if (t > 0.0)
                w = (w + t) - std::fmod(w + t, t);
            previous = -1;
            lastWasChar = false;
        } else if (*p >= 32) {
            w += g_Layout.spacing * TEXT_UNITS_PER_HEIGHT + SymbolCharAdvance(*p) + SymbolKerning(previous, *p);
            previous = *p;
            lastWasChar = true;
        }
    }
    if (lastWasChar)
        w -= g_Layout.spacing * TEXT_UNITS_PER_HEIGHT;
    return w;
}

void MoveAlongX(double step)
{
    g_Walk.m->tx += g_Walk.m->a * step;
    g_Walk.m->ty += g_Walk.m->b * step;
}

// Reads on to the next character of the line, handling tabs; -1 at its end.
int ReadCode()
{
    for (;;) {
        const unsigned char c = (unsigned char)*g_Walk.read;
        if (c == 0)
            return -1;
        ++g_Walk.read;
        if (c == TEXT_CODE_TAB) {
            const double t = g_Layout.tab * TEXT_UNITS_PER_HEIGHT;
            if (t > 0.0) {
                const double stop = (g_Walk.penX + t) - std::fmod(g_Walk.penX + t, t);
                MoveAlongX(stop - g_Walk.penX);
                g_Walk.penX = stop;
            }
            ++g_Walk.index;
            g_Walk.previous = -1;
            continue;
        }
        if (c < 32)
            continue;
        return c;
    }
}

// Copies the string's first line into the line buffer; null when there is none.
const char *CopyLine(const char *text)
{
    if (!text || !*text) {
        g_Walk.line[0] = 0;
        return nullptr;
    }
    int n = 0;
    const unsigned char *p = (const unsigned char *)text;
    while (*p && *p != TEXT_CODE_NEWLINE) {
        if (n < kLineBufferSize - 1)
            g_Walk.line[n++] = (char)*p;
        ++p;
    }
    g_Walk.line[n] = 0;
    return (const char *)(*p ? p + 1 : p);
}

int BeginLine()
{
    g_Walk.index = 0;
    g_Walk.previous = -1;
    g_Walk.penX = 0.0;
    g_Walk.shift = 0.0;
    g_Walk.read = g_Walk.line;
    const double w = LineWidth(g_Walk.line);
    if (g_Layout.alignment == 1)
        g_Walk.shift = w / 2.0;
    else if (g_Layout.alignment == 2)
        g_Walk.shift = w;
    MoveAlongX(-g_Walk.shift);
    const int code = ReadCode();
    if (code >= 0)
        g_Walk.previous = code;
    return code;
}

int NextChar(double advance)
{
    ++g_Walk.index;
    const double step = advance + g_Layout.spacing * TEXT_UNITS_PER_HEIGHT;
    g_Walk.penX += step;
    MoveAlongX(step);
    const int code = ReadCode();
    if (code < 0)
        return -1;
    const double k = SymbolKerning(g_Walk.previous, code);
    if (k != 0.0) {
        g_Walk.penX += k;
        MoveAlongX(k);
    }
    g_Walk.previous = code;
    return code;
}

} // namespace

void SymbolSetTextLayout(double charSpacing, double tabUnit, double lineSpacing, int alignment)
{
    SymbolSetTextLayoutEx(kDefaultHeight, charSpacing, tabUnit, lineSpacing, alignment);
}

void SymbolSetTextLayoutEx(double height, double charSpacing, double tabUnit, double lineSpacing, int alignment)
{
    g_Layout.height = height;
    g_Layout.spacing = charSpacing;
    g_Layout.tab = tabUnit;
    g_Layout.lineSpacing = lineSpacing;
    g_Layout.alignment = alignment;
}

int SymbolBeginText(const char *text, Matrix *m)
{
    g_Walk.m = m;
    g_Walk.lineStart = *m;
    g_Walk.penX = g_Walk.shift = 0.0;
    if (!text || !*text)
        return -1;
    g_Walk.rest = CopyLine(text);
    const int code = BeginLine();
    if (code >= 0)
        return code;
    return SymbolNextTextLine(CALC_NO_VALUE, nullptr);
}

int SymbolNextTextLine(double advance, int *newLine)
{
    if (advance != CALC_NO_VALUE) {
        const int code = NextChar(advance);
        if (code >= 0)
            return code;
    }
    if (newLine)
        *newLine = 1;
    for (;;) {
        if (!g_Walk.rest || !*g_Walk.rest)
            return -1;
        Matrix &s = g_Walk.lineStart;
        s.tx -= g_Layout.lineSpacing * s.c * TEXT_UNITS_PER_HEIGHT;
        s.ty -= g_Layout.lineSpacing * s.d * TEXT_UNITS_PER_HEIGHT;
        *g_Walk.m = s;
        g_Walk.rest = CopyLine(g_Walk.rest);
        const int code = BeginLine();
        if (code >= 0)
            return code;
    }
}

double SymbolGetTextPenX()
{
    return g_Walk.penX / TEXT_UNITS_PER_HEIGHT;
}

double SymbolGetTextLineShift()
{
    return g_Walk.shift / -TEXT_UNITS_PER_HEIGHT;
}

const char *SymbolGetTextString(const char *text)
{
    // References between tildes are shown expanded only by the attribute
    // engine; until it resolves them the stored text is shown as it is.
    return text;
}

void SymbolReleaseTextString() {}

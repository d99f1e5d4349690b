// The layout walk: a string becomes a sequence of character positions on
// lines, with tab stops, alignment, and for framed texts line breaking at
// blanks and hyphens and justification.
#include <cmath>
#include <cstring>

#include "database/object_rects.h"
#include "display/symbol.h"
#include "geometry/calc.h"
#include "geometry/frame.h"

namespace {

// Holds the longest stored text as one line, so a line never has to be cut.
constexpr int kLineBufferSize = 8192;
static_assert(kLineBufferSize > TEXT_MAX_LENGTH);
constexpr double kDefaultHeight = 5.0;

struct Layout {
    double height = kDefaultHeight;
    double spacing = 0.0;
    double tab = 0.0;
    double lineSpacing = 1.0;
    int alignment = TEXT_ALIGN_LEFT;
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

double Spacing()
{
    return g_Layout.spacing * TEXT_UNITS_PER_HEIGHT;
}

// The next multiple of the tab unit strictly beyond x; x itself without a tab unit.
double NextTabStop(double x)
{
    const double t = g_Layout.tab * TEXT_UNITS_PER_HEIGHT;
    if (!(t > 0.0))
        return x;
    return (x + t) - std::fmod(x + t, t);
}

void MoveAlongX(double step)
{
    g_Walk.m->tx += g_Walk.m->a * step;
    g_Walk.m->ty += g_Walk.m->b * step;
}

// Width of the first n bytes of a line (the whole line when n < 0).
double SegmentWidth(const char *line, int n)
{
    double w = 0.0;
    int previous = -1;
    bool lastWasChar = false;
    for (const unsigned char *p = (const unsigned char *)line; *p && n != 0; ++p, --n) {
        if (*p == TEXT_CODE_TAB) {
            w = NextTabStop(w);
            previous = -1;
            lastWasChar = false;
        } else if (*p >= 32) {
            w += Spacing() + SymbolCharAdvance(*p) + SymbolKerning(previous, *p);
            previous = *p;
            lastWasChar = true;
        }
    }
    if (lastWasChar)
        w -= Spacing();
    return w;
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
            const double stop = NextTabStop(g_Walk.penX);
            MoveAlongX(stop - g_Walk.penX);
            g_Walk.penX = stop;
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
    g_Walk.line[0] = 0;
    if (!text || !*text)
        return nullptr;
    int n = 0;
    const unsigned char *p = (const unsigned char *)text;
    while (*p && *p != TEXT_CODE_NEWLINE) {
        if (n < kLineBufferSize - 1) // longer lines only come from unchecked callers: cut them
            g_Walk.line[n++] = (char)*p;
        ++p;
    }
    g_Walk.line[n] = 0;
    return (const char *)(*p ? p + 1 : p);
}

int BeginLine(TextFrameLayout *layout)
{
    g_Walk.index = 0;
    g_Walk.previous = -1;
    g_Walk.penX = 0.0;
    g_Walk.shift = 0.0;
    g_Walk.read = g_Walk.line;
    // A left-aligned line outside a frame needs no width: its shift stays 0.
    const bool widthUsed =
        layout || g_Layout.alignment == TEXT_ALIGN_CENTRE || g_Layout.alignment == TEXT_ALIGN_RIGHT;
    const double w = widthUsed ? SegmentWidth(g_Walk.line, -1) : 0.0;
    if (g_Layout.alignment == TEXT_ALIGN_CENTRE)
        g_Walk.shift = w / 2.0;
    else if (g_Layout.alignment == TEXT_ALIGN_RIGHT)
        g_Walk.shift = w;
    MoveAlongX(-g_Walk.shift);
    if (layout)
        layout->currentLineWidth = w;
    const int code = ReadCode();
    if (code >= 0)
        g_Walk.previous = code;
    return code;
}

int NextChar(double advance)
{
    ++g_Walk.index;
    const double step = advance + Spacing();
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

void StartWalk(Matrix *m)
{
    g_Walk.m = m;
    g_Walk.lineStart = *m;
    g_Walk.penX = g_Walk.shift = 0.0;
}

// Moves the line start by (dx, dy) and the moving matrix there.
void MoveLineStart(double dx, double dy)
{
    g_Walk.lineStart.tx += dx;
    g_Walk.lineStart.ty += dy;
    *g_Walk.m = g_Walk.lineStart;
}

// Width of the segment of the line buffer from bp to its end, with the spacing
// that joins it to what stands before it.
double JoinedSegmentWidth(int bp)
{
    double w = SegmentWidth(g_Walk.line + bp, -1);
    if (bp > 0 && (unsigned char)g_Walk.line[bp - 1] != TEXT_CODE_TAB)
        w += Spacing();
    return w;
}

int CountBlanks(const char *line)
{
    int n = 0;
    for (; *line; ++line)
        n += *line == ' ';
    return n;
}

// Copies into the line buffer as much of the paragraph as fits the frame; the
// rest of the string, or null when it is empty.
const char *BreakFrameLine(const char *text, TextFrameLayout *layout)
{
    layout->spaceCount = 0;
    layout->justifyFrom = 0;
    g_Walk.line[0] = 0;
    if (!text || !*text)
        return nullptr;
    double acc = 0.0;
    int bp = 0;         // where the segment being measured starts in the buffer
    int n = 0;          // bytes in the buffer
    const char *restAtBreak = text;
    const unsigned char *p = (const unsigned char *)text;
    for (; *p && *p != TEXT_CODE_NEWLINE; ++p) {
        const unsigned char c = *p;
        if (c == ' ' || c == '-' || c == TEXT_CODE_TAB) {
            const bool blank = c == ' ';
            if (!blank && n < kLineBufferSize - 1) {
                g_Walk.line[n++] = (char)c;
                if (c == TEXT_CODE_TAB)
                    layout->justifyFrom = n;
            }
            g_Walk.line[n] = 0;
            const double w = JoinedSegmentWidth(bp);
            acc += w;
            if (acc > layout->frameWidth && bp > 0) {
                g_Walk.line[bp] = 0;
                layout->spaceCount = CountBlanks(g_Walk.line);
                return restAtBreak;
            }
            if (blank) {
                if (n < kLineBufferSize - 1)
                    g_Walk.line[n++] = ' ';
                g_Walk.line[n] = 0;
                bp = n - 1; // the next segment begins with the blank
            } else {
                bp = n;
            }
            restAtBreak = (const char *)(p + 1);
            continue;
        }
        if (n < kLineBufferSize - 1)
            g_Walk.line[n++] = (char)c;
    }
    g_Walk.line[n] = 0;
    const double w = JoinedSegmentWidth(bp);
    if (acc + w <= layout->frameWidth || bp < 1) {
        layout->justifyFrom = TEXT_JUSTIFY_NONE;
        layout->spaceCount = CountBlanks(g_Walk.line);
        return (const char *)(*p ? p + 1 : p);
    }
    g_Walk.line[bp] = 0;
    layout->spaceCount = CountBlanks(g_Walk.line);
    return restAtBreak;
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

void SymbolGetTextLayout(double *charSpacing, double *tabUnit, double *lineSpacing, int *alignment)
{
    if (charSpacing)
        *charSpacing = g_Layout.spacing;
    if (tabUnit)
        *tabUnit = g_Layout.tab;
    if (lineSpacing)
        *lineSpacing = g_Layout.lineSpacing;
    if (alignment)
        *alignment = g_Layout.alignment;
}

double SymbolLineWidth(const char *line)
{
    return SegmentWidth(line, -1);
}

int SymbolMeasureText(const FontDef *font, const char *text, double charSpacing, double tabUnit, double lineSpacing)
{
    FrameSetEmpty(g_ExtentsRect);
    if (!SymbolSelectFont(font, nullptr, nullptr))
        return 0;
    g_Layout.spacing = charSpacing;
    g_Layout.tab = tabUnit;
    const char *rest = CopyLine(text);
    if (!rest) {
        g_ExtentsRect[0] = g_ExtentsRect[1] = g_ExtentsRect[2] = g_ExtentsRect[3] = 0.0;
        return 1;
    }
    const double unit = 1.0 / TEXT_UNITS_PER_HEIGHT;
    g_ExtentsRect[0] = 0.0;
    g_ExtentsRect[2] = 0.0;
    g_ExtentsRect[3] = SymbolFontAscent() * unit;
    g_ExtentsRect[1] = lineSpacing + SymbolFontDescent() * unit;
    for (;;) {
        const double w = SegmentWidth(g_Walk.line, -1) * unit;
        if (w > g_ExtentsRect[2])
            g_ExtentsRect[2] = w;
        g_ExtentsRect[1] -= lineSpacing;
        if (!rest || !*rest)
            break;
        rest = CopyLine(rest);
    }
    return 1;
}

int SymbolBeginText(const char *text, Matrix *m)
{
    StartWalk(m);
    g_Walk.rest = CopyLine(text);
    if (!g_Walk.rest)
        return -1;
    const int code = BeginLine(nullptr);
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
        const Matrix &s = g_Walk.lineStart;
        MoveLineStart(-g_Layout.lineSpacing * s.c * TEXT_UNITS_PER_HEIGHT,
                      -g_Layout.lineSpacing * s.d * TEXT_UNITS_PER_HEIGHT);
        g_Walk.rest = CopyLine(g_Walk.rest);
        const int code = BeginLine(nullptr);
        if (code >= 0)
            return code;
    }
}

int SymbolLayoutTextFrame(double x1, double y1, double x2, double y2, double x3, double y3, TextFrameLayout *out,
                          const Matrix *a, const Matrix *b)
{
    const double h = g_Layout.height, ls = g_Layout.lineSpacing;
    const double dx = x2 - x1, dy = y2 - y1;
    const double L = std::sqrt(dx * dx + dy * dy);
    if (!(L > 0.0))
        return 0;
    // Height: distance of p1 from the line through p3 parallel to d.
    const double H = std::fabs(dx * (y3 - y1) - dy * (x3 - x1)) / L;
    if (!(H > h))
        return 0;
    const double ux = (x3 - x1) / H, uy = (y3 - y1) / H;
    const double nx = dy / L, ny = -dx / L;
    const double dot = dx * ux + dy * uy;
    const double cross = dx * uy - dy * ux;
    out->linesLeft = (int32_t)std::floor(H / (ls * h));
    Matrix linear;
    MatrixInit(&linear);
    MatrixScale(&linear, h, h);
    if (a)
        MatrixMultiply(&linear, a);
    if (b)
        MatrixMultiply(&linear, b);
    out->lineStep[0] = linear.a * ux + linear.c * uy;
    out->lineStep[1] = linear.b * ux + linear.d * uy;
    double sx, sy, ex, ey;
    if (dot <= 0 && cross <= 0) {
        sx = x1 + h * nx, sy = y1 + h * ny;
        ex = x2 + h * ux, ey = y2 + h * uy;
    } else if (dot <= 0) {
        sx = x1 + h * (ls - 1) * ux, sy = y1 + h * (ls - 1) * uy;
        ex = x2 + h * (nx + ls * ux), ey = y2 + h * (ny + ls * uy);
    } else if (cross <= 0) {
        sx = x1 + h * ux, sy = y1 + h * uy;
        ex = x2 + h * nx, ey = y2 + h * ny;
    } else {
        sx = x1 + h * (nx + ls * ux), sy = y1 + h * (ny + ls * uy);
        ex = x2 + h * (ls - 1) * ux, ey = y2 + h * (ls - 1) * uy;
    }
    const double unit = h / TEXT_UNITS_PER_HEIGHT;
    out->frameWidth = std::sqrt((ex - sx) * (ex - sx) + (ey - sy) * (ey - sy)) / unit;
    double ox = sx, oy = sy;
    if (g_Layout.alignment == TEXT_ALIGN_CENTRE)
        ox = (sx + ex) / 2.0, oy = (sy + ey) / 2.0;
    else if (g_Layout.alignment == TEXT_ALIGN_RIGHT)
        ox = ex, oy = ey;
    Matrix &m = out->firstLine;
    MatrixInit(&m);
    MatrixScale(&m, unit, unit);
    MatrixRotate(&m, std::atan2(dy, dx));
    MatrixMove(&m, ox, oy);
    if (a)
        MatrixMultiply(&m, a);
    if (b)
        MatrixMultiply(&m, b);
    out->currentLineWidth = 0.0;
    out->justifyFrom = 0;
    out->spaceCount = 0;
    return 1;
}

int SymbolBeginFrameText(const char *text, TextFrameLayout *layout, Matrix *m)
{
    layout->lineStep[0] *= g_Layout.lineSpacing;
    layout->lineStep[1] *= g_Layout.lineSpacing;
    StartWalk(m);
    g_Walk.rest = BreakFrameLine(text, layout);
    if (!g_Walk.rest)
        return -1;
    layout->linesLeft -= 1;
    const int code = BeginLine(layout);
    if (code >= 0)
        return code;
    return SymbolNextFrameLine(CALC_NO_VALUE, layout, nullptr);
}

int SymbolNextFrameLine(double advance, TextFrameLayout *layout, int *newLine)
{
    if (advance != CALC_NO_VALUE) {
        if (g_Layout.alignment == TEXT_ALIGN_JUSTIFY && g_Walk.previous == ' ' && layout->spaceCount > 0 &&
            layout->justifyFrom <= g_Walk.index)
            advance += (layout->frameWidth - layout->currentLineWidth) / layout->spaceCount;
        const int code = NextChar(advance);
        if (code >= 0)
            return code;
    }
    if (newLine)
        *newLine = 1;
    while (layout->linesLeft > 0) {
        if (!g_Walk.rest || !*g_Walk.rest)
            return -1;
        MoveLineStart(layout->lineStep[0], layout->lineStep[1]);
        g_Walk.rest = BreakFrameLine(g_Walk.rest, layout);
        if (!g_Walk.rest)
            return -1;
        layout->linesLeft -= 1;
        const int code = BeginLine(layout);
        if (code >= 0)
            return code;
    }
    return -1;
}

double SymbolGetTextPenX()
{
    return g_Walk.penX / TEXT_UNITS_PER_HEIGHT;
}

double SymbolGetTextLineShift()
{
    return g_Walk.shift / -TEXT_UNITS_PER_HEIGHT;
}

void SymbolGetLineMatrix(Matrix *out)
{
    if (out)
        *out = g_Walk.lineStart;
}

// --- keeping the state across a plug-in's call

namespace {

struct SavedText {
    Layout layout;
    Walk walk;
};

// The walk with only the used characters of its line (lines are short).
void CopyWalk(Walk &to, const Walk &from)
{
    to.m = from.m;
    to.lineStart = from.lineStart;
    to.rest = from.rest;
    const size_t used = strnlen(from.line, sizeof from.line - 1);
    std::memcpy(to.line, from.line, used);
    to.line[used] = 0;
    to.read = from.read; // points into g_Walk.line, restored in place
    to.index = from.index;
    to.previous = from.previous;
    to.penX = from.penX;
    to.shift = from.shift;
}

} // namespace

void SymbolTextSave(void *out, size_t bytes)
{
    static_assert(alignof(SavedText) <= 8 && sizeof(SavedText) <= SYMBOL_TEXT_STATE_BYTES);
    if (bytes < sizeof(SavedText))
        return;
    auto *saved = static_cast<SavedText *>(out);
    saved->layout = g_Layout;
    CopyWalk(saved->walk, g_Walk);
}

void SymbolTextRestore(const void *in)
{
    const auto *saved = static_cast<const SavedText *>(in);
    g_Layout = saved->layout;
    CopyWalk(g_Walk, saved->walk);
}

SymbolStateKeeper::SymbolStateKeeper()
{
    SymbolTextSave(text_, sizeof text_);
    fontEntry_ = SymbolCurrentFont(&font_);
    pending_ = SymbolTakePendingText();
}

SymbolStateKeeper::~SymbolStateKeeper()
{
    SymbolPutPendingText(pending_);
    SymbolReselectFont(fontEntry_, &font_);
    SymbolTextRestore(text_);
}


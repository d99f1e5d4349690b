// The text engine: layout walks, framed texts, kerning, references, glyph
// outlines, text creation and text to curves. Metrics come from a character
// library of fixed advances built here, or from the fonts pinned in the test
// prefix (Liberation); positions and counts are asserted, never outline bytes.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/init.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "database/object_rects.h"
#include "database/symbol_block.h"
#include "database/symbol_charlib.h"
#include "database/undo.h"
#include "display/symbol.h"
#include "files/file_drawinginfo.h"
#include "geometry/calc.h"
#include "geometry/frame.h"
#include "render_fixture.h"

namespace {

constexpr double kMonoAdvance = 10.0; // every character of the test library
const char *const kMono = "Mono";
const char *const kSans = "Liberation Sans";

FontDef Font(uint32_t kind, const char *face)
{
    FontDef f{};
    f.kind = kind;
    f.weight = 400;
    lstrcpynA(f.face, face, FONT_FACE_SIZE);
    return f;
}

struct Placed {
    int code;
    double penX; // character units
    double tx, ty;
};

// Every character an unframed walk gives, with its pen position.
std::vector<Placed> WalkText(const char *text, Matrix m = {1, 0, 0, 1, 0, 0}, double advance = -1.0)
{
    std::vector<Placed> out;
    int code = SymbolBeginText(text, &m);
    while (code >= 0) {
        out.push_back({code, SymbolGetTextPenX() * TEXT_UNITS_PER_HEIGHT, m.tx, m.ty});
        code = SymbolNextTextLine(advance >= 0 ? advance : SymbolCharAdvance(code), nullptr);
    }
    return out;
}

std::vector<Placed> WalkFrame(const char *text, TextFrameLayout *layout)
{
    std::vector<Placed> out;
    Matrix m = layout->firstLine;
    int code = SymbolBeginFrameText(text, layout, &m);
    while (code >= 0) {
        out.push_back({code, SymbolGetTextPenX() * TEXT_UNITS_PER_HEIGHT, m.tx, m.ty});
        code = SymbolNextFrameLine(SymbolCharAdvance(code), layout, nullptr);
    }
    return out;
}

class TextTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        SymbolInitCharLibraries();
        SymbolFreeFonts();
        g_ActiveWindow = 0;
        g_DrawWindows[0].system = 0;
        UndoReset();
    }
    void TearDown() override
    {
        SymbolReleaseTextString();
        SymbolFreeFonts();
        SymbolInitCharLibraries();
        for (VariableDef &v : g_VariableDefs)
            v = VariableDef{};
        RenderTest::TearDown();
    }

    // A character library "Mono" in slot 0 whose characters a to z, A and the
    // blank advance by kMonoAdvance; each has one line member.
    void MakeMonoLibrary()
    {
        const int list = LIST_CHAR_LIBRARY_FIRST;
        std::string codes = "abcdefghijklmnopqrstuvwxyzA -";
        for (char c : codes) {
            char name[8];
            std::snprintf(name, sizeof name, "%d", (unsigned char)c);
            Unit *block = SymbolNewBlock(list, name);
            ASSERT_NE(block, nullptr);
            block->block.blockFrame[0] = kMonoAdvance;
            block->block.blockFrame[1] = 0.0;
            block->block.blockFrame[2] = kMonoAdvance;
            block->block.blockFrame[3] = 20.0;
            if (c != ' ') {
                Unit *line = TestNewObject(LIST_DRAWING, OBJTYPE_LINE, {1, 0, 9, 15});
                ASSERT_NE(line, nullptr);
                ASSERT_NE(SymbolAddMember(list, block, line), nullptr);
                MemListDelete(LIST_DRAWING, line);
            }
            FrameCalcBlock(block, 1);
        }
        std::strcpy(g_CharLibrarySlots.slots[0].info.title, kMono);
        g_CharLibrarySlots.count = 1;
        SymbolIndexCharLibraries();
        const FontDef mono = Font(FONT_KIND_LIBRARY, kMono);
        ASSERT_EQ(SymbolSelectFont(&mono, nullptr, nullptr), 1);
    }

    static int CountType(int32_t type, bool alive = true)
    {
        int n = 0;
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            if (u->kind == UNIT_KIND_OBJECT && u->object.type == type && (!alive || UndoIsVisible(u, g_UndoStep)))
                ++n;
        return n;
    }
};

// ---------------------------------------------------------------------------
// Layout

TEST_F(TextTest, TabStopsLieStrictlyBeyondThePen)
{
    ASSERT_NO_FATAL_FAILURE(MakeMonoLibrary());
    SymbolSetTextLayout(0.0, 1.0, 1.0, TEXT_ALIGN_LEFT);
    struct Case {
        const char *text;
        double firstX; // pen of the character after the tabs
    } cases[] = {
        {"\xAC" "a", 20.0},
        {"\xAC\xAC" "a", 40.0},
        {"aa\xAC" "a", 40.0}, // the pen stands on the stop at 20: the next one is 40
        {"a\xAC" "a", 20.0},
    };
    for (const Case &c : cases) {
        const auto placed = WalkText(c.text);
        ASSERT_FALSE(placed.empty()) << c.text;
        EXPECT_DOUBLE_EQ(placed.back().penX, c.firstX) << c.text;
        EXPECT_DOUBLE_EQ(placed.back().tx, c.firstX) << c.text;
    }
    EXPECT_DOUBLE_EQ(SymbolLineWidth("a\xAC" "a"), 30.0);
}

TEST_F(TextTest, LineEndsMakeLinesAndEmptyLinesOnlyMoveTheLineStart)
{
    ASSERT_NO_FATAL_FAILURE(MakeMonoLibrary());
    SymbolSetTextLayout(0.0, 1.0, 1.0, TEXT_ALIGN_LEFT);
    const auto placed = WalkText("a\xB6\xB6" "b");
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_DOUBLE_EQ(placed[0].ty, 0.0);
    EXPECT_DOUBLE_EQ(placed[1].ty, -40.0); // three lines: a, an empty one, b
    EXPECT_EQ(WalkText("").size(), 0u);
    Matrix m{1, 0, 0, 1, 0, 0};
    EXPECT_EQ(SymbolBeginText("", &m), -1);
    // A closing line end makes no empty last line.
    const FontDef mono = Font(FONT_KIND_LIBRARY, kMono);
    ASSERT_EQ(SymbolMeasureText(&mono, "a\xB6", 0.0, 1.0, 1.0), 1);
    EXPECT_DOUBLE_EQ(g_ExtentsRect[1], -0.25);
}

TEST_F(TextTest, AlignmentMovesEachLineBackAlongItsBaseline)
{
    ASSERT_NO_FATAL_FAILURE(MakeMonoLibrary());
    for (int alignment : {TEXT_ALIGN_LEFT, TEXT_ALIGN_CENTRE, TEXT_ALIGN_RIGHT}) {
        SymbolSetTextLayout(0.0, 1.0, 1.0, alignment);
        const auto placed = WalkText("aaaa\xB6" "aa");
        ASSERT_EQ(placed.size(), 6u);
        const double shift1 = alignment == TEXT_ALIGN_CENTRE ? 20.0 : alignment == TEXT_ALIGN_RIGHT ? 40.0 : 0.0;
        EXPECT_DOUBLE_EQ(placed[0].tx, -shift1) << alignment;
        EXPECT_DOUBLE_EQ(placed[4].tx, -shift1 / 2.0) << alignment;
        EXPECT_DOUBLE_EQ(SymbolGetTextLineShift(), -shift1 / 2.0 / TEXT_UNITS_PER_HEIGHT) << alignment;
    }
}

TEST_F(TextTest, MeasuredTextHasTheFirstBaselineAtZero)
{
    ASSERT_NO_FATAL_FAILURE(MakeMonoLibrary());
    const FontDef mono = Font(FONT_KIND_LIBRARY, kMono);
    ASSERT_EQ(SymbolMeasureText(&mono, "aaaa\xB6" "aa", 0.0, 1.0, 1.5), 1);
    EXPECT_DOUBLE_EQ(g_ExtentsRect[0], 0.0);
    EXPECT_DOUBLE_EQ(g_ExtentsRect[2], 2.0);
    EXPECT_DOUBLE_EQ(g_ExtentsRect[3], 1.0);               // ascent 20 character units
    EXPECT_DOUBLE_EQ(g_ExtentsRect[1], -0.25 - 1.5);       // descent -5, one more line
    ASSERT_EQ(SymbolMeasureText(&mono, "", 0.0, 1.0, 1.5), 1);
    EXPECT_DOUBLE_EQ(g_ExtentsRect[2], 0.0);
}

TEST_F(TextTest, KerningPairsOfTheFontMoveTheSecondCharacter)
{
    const FontDef sans = Font(FONT_KIND_TRUETYPE, kSans);
    ASSERT_EQ(SymbolSelectFont(&sans, nullptr, nullptr), 1);
    const double k = SymbolKerning('A', 'V');
    EXPECT_LT(k, 0.0) << "Liberation Sans kerns A and V";
    EXPECT_DOUBLE_EQ(SymbolKerning('V', 'V'), 0.0);
    EXPECT_DOUBLE_EQ(SymbolKerning(-1, 'V'), 0.0);
    SymbolSetTextLayout(0.0, 1.0, 1.0, TEXT_ALIGN_LEFT);
    const auto placed = WalkText("AV");
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_NEAR(placed[1].penX, SymbolCharAdvance('A') + k, 1e-9);
    // An em is 20 character units: the capital A of a sans font is over half an em.
    EXPECT_GT(SymbolCharAdvance('A'), 10.0);
    EXPECT_LT(SymbolCharAdvance('A'), 20.0);
}

TEST_F(TextTest, FontMetricsStayMeasuredAcrossReleases)
{
    const FontDef sans = Font(FONT_KIND_TRUETYPE, kSans);
    HFONT first = nullptr, second = nullptr;
    ASSERT_EQ(SymbolSelectFont(&sans, &first, nullptr), 1);
    const double advance = SymbolCharAdvance('W');
    SymbolReleaseFont(); // as every paint does
    ASSERT_EQ(SymbolSelectFont(&sans, &second, nullptr), 1);
    EXPECT_EQ(first, second) << "the font was not made again";
    EXPECT_DOUBLE_EQ(SymbolCharAdvance('W'), advance);
}

TEST_F(TextTest, UnusableFontsFallBackOrShowTheirLabel)
{
    const FontDef savedDefault = g_DefaultFont;
    const FontDef missing = Font(FONT_KIND_LIBRARY, "Not Loaded");
    HFONT handle = nullptr;
    int library = 5;
    // The default font is a Windows font: the text is drawn in it.
    g_DefaultFont = Font(FONT_KIND_TRUETYPE, kSans);
    EXPECT_EQ(SymbolSelectFont(&missing, &handle, &library), 1);
    EXPECT_NE(handle, nullptr);
    // A default that names a closed library too: no font at all, and the label.
    g_DefaultFont = Font(FONT_KIND_LIBRARY, "Not Loaded Either");
    EXPECT_EQ(SymbolSelectFont(&missing, &handle, &library), 0);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(library, -1);
    Matrix m{10, 0, 0, 10, 20, 40};
    EXPECT_EQ(OutputText(dc_, &missing, "x", &m, 0, 1), 1);
    EXPECT_LT(CountPixels(WHITE), DIB_SIZE * DIB_SIZE) << "the [face] text label";
    g_DefaultFont = savedDefault;

    // Metrics asked for without a selected font are reported and read as zero.
    const InitErrorBoxSink savedSink = g_InitErrorBoxSink;
    const uint32_t savedDebugging = g_Debugging;
    g_InitErrorBoxSink = TestCaptureDiagnostic;
    g_Debugging = DEBUG_INTERNAL;
    TestCapturedDiagnostics().clear();
    SymbolReleaseFont();
    EXPECT_DOUBLE_EQ(SymbolCharAdvance('A'), 0.0);
    ASSERT_EQ(TestCapturedDiagnostics().size(), 1u);
    EXPECT_NE(TestCapturedDiagnostics()[0].find("Access to uninitialized font!"), std::string::npos);
    g_InitErrorBoxSink = savedSink;
    g_Debugging = savedDebugging;
}

// The frame's top edge from (0, 100) to (w, 100), its bottom at y = 100 - height.
TextFrameLayout LayoutFrame(double w, double frameHeight, double h, int alignment)
{
    SymbolSetTextLayoutEx(h, 0.0, 1.0, 1.0, alignment);
    TextFrameLayout layout{};
    EXPECT_EQ(SymbolLayoutTextFrame(0, 100, w, 100, 0, 100 - frameHeight, &layout, nullptr, nullptr), 1);
    return layout;
}

TEST_F(TextTest, JustifiedFrameLinesSpreadTheMissingWidthOverTheBlanks)
{
    ASSERT_NO_FATAL_FAILURE(MakeMonoLibrary());
    // 29 mm at height 5: 116 character units; "aa aa aa aa" is 110 wide, so
    // its 3 blanks share 6 units.
    TextFrameLayout layout = LayoutFrame(29.0, 100.0, 5.0, TEXT_ALIGN_JUSTIFY);
    EXPECT_DOUBLE_EQ(layout.frameWidth, 116.0);
    EXPECT_EQ(layout.linesLeft, 20);
    const auto placed = WalkFrame("aa aa aa aa bb", &layout);
    ASSERT_EQ(placed.size(), 13u);
    const double expected[] = {0, 10, 20, 32, 42, 52, 64, 74, 84, 96, 106};
    for (int i = 0; i < 11; ++i)
        EXPECT_DOUBLE_EQ(placed[size_t(i)].penX, expected[i]) << i;
    // The last line of the paragraph stays as it is: on the next line, unspread.
    EXPECT_DOUBLE_EQ(placed[11].penX, 0.0);
    EXPECT_DOUBLE_EQ(placed[12].penX, 10.0);
    EXPECT_NEAR(placed[11].ty, 100.0 - 5.0 - 5.0, 1e-9);
}

TEST_F(TextTest, FramedTextsBreakAtBlanksAndHyphensAndStopWhenTheFrameIsFull)
{
    ASSERT_NO_FATAL_FAILURE(MakeMonoLibrary());
    // 10 mm wide (40 units: four characters), two lines high.
    TextFrameLayout layout = LayoutFrame(10.0, 10.5, 5.0, TEXT_ALIGN_LEFT);
    EXPECT_EQ(layout.linesLeft, 2);
    auto placed = WalkFrame("aa-bb cc dd", &layout);
    std::string shown;
    double lastTy = placed.empty() ? 0.0 : placed[0].ty;
    for (const Placed &p : placed) {
        if (p.ty != lastTy)
            shown += '|';
        lastTy = p.ty;
        shown += char(p.code);
    }
    EXPECT_EQ(shown, "aa-|bb") << "the third line does not fit";

    layout = LayoutFrame(10.0, 100.0, 5.0, TEXT_ALIGN_LEFT);
    placed = WalkFrame("aaaaaaa b", &layout);
    ASSERT_EQ(placed.size(), 8u) << "a word wider than the frame keeps a line of its own";
    EXPECT_DOUBLE_EQ(placed[6].penX, 60.0);
    EXPECT_DOUBLE_EQ(placed[7].penX, 0.0) << "the blank at the break is dropped";

    SymbolSetTextLayoutEx(5.0, 0.0, 1.0, 1.0, 0);
    TextFrameLayout flat{};
    EXPECT_EQ(SymbolLayoutTextFrame(0, 100, 10, 100, 0, 96, &flat, nullptr, nullptr), 0) << "lower than the text";
    EXPECT_EQ(SymbolLayoutTextFrame(0, 100, 0, 100, 0, 50, &flat, nullptr, nullptr), 0) << "no top edge";
}

TEST_F(TextTest, TheLongestTextIsOneLineAndLongerLinesAreCutNotOverrun)
{
    ASSERT_NO_FATAL_FAILURE(MakeMonoLibrary());
    SymbolSetTextLayout(0.0, 1.0, 1.0, TEXT_ALIGN_LEFT);
    const std::string longest(TEXT_MAX_LENGTH, 'a');
    EXPECT_EQ(WalkText(longest.c_str(), {1, 0, 0, 1, 0, 0}, kMonoAdvance).size(), size_t(TEXT_MAX_LENGTH));
    const std::string tooLong(20000, 'b');
    const size_t n = WalkText(tooLong.c_str(), {1, 0, 0, 1, 0, 0}, kMonoAdvance).size();
    EXPECT_GT(n, size_t(TEXT_MAX_LENGTH));
    EXPECT_LT(n, tooLong.size());
}

// ---------------------------------------------------------------------------
// References

class TextVariables : public TextTest {
protected:
    std::string Shown(const char *text)
    {
        const char *s = SymbolGetTextString(text);
        std::string out = s ? s : "";
        SymbolReleaseTextString();
        return out;
    }
};

TEST_F(TextVariables, ReferencesAreReplacedByVariablesAndSystemValues)
{
    g_DrawingSettings.displayVariables = 1;
    std::strcpy(g_VariableDefs[3].name, "Project");
    std::strcpy(g_VariableDefs[3].value, "Harbour");
    std::strcpy(g_DrawingInfo.currentPath, "C:\\plans\\quay.zvd");
    std::strcpy(g_DrawingInfo.info.title, "Quay");
    g_OutputContext.pageNumber = 3;
    g_OutputContext.pageCount = 6;
    g_SystemDefs[0].scale = 0.02;
    struct Case {
        const char *text;
        const char *shown;
    } cases[] = {
        {"Sheet ~%P2~ of ~%P1~", "Sheet 3 of 6"},
        {"100~%%~", "100%"},
        {"~project~ ~%Z1~", "Harbour Quay"},
        {"~%z0~", "C:\\plans\\quay.zvd"},
        {"1 ~~2", "1 ~2"},
        {"open ~end", "open ~end"},
        {"~nothing~", "(empty)"},
        {"~%Q0~", "(empty)"},
        {"~%S0~", "1:50"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Shown(c.text), c.shown) << c.text;
    g_SystemDefs[0].scale = 5.0;
    EXPECT_EQ(Shown("~%S0~"), "5:1");
    const std::string date = Shown("~%D2~");
    EXPECT_FALSE(date.empty());
    EXPECT_NE(date, "(empty)");
    char value[TEXT_VALUE_SIZE];
    int used = 0;
    EXPECT_EQ(SymbolExpandSystemVariable("%%", value, &used), 1);
    EXPECT_EQ(used, 2);
    EXPECT_EQ(SymbolExpandSystemVariable("%P9", value, &used), 0);
    EXPECT_EQ(used, 1);
}

TEST_F(TextVariables, TextsAreShownUnchangedWithoutReferencesOrWhenTooLong)
{
    const char *plain = "no references";
    g_DrawingSettings.displayVariables = 1;
    EXPECT_EQ(SymbolGetTextString(plain), plain);
    SymbolReleaseTextString();
    const char *withTilde = "~%P2~";
    g_DrawingSettings.displayVariables = 0;
    EXPECT_EQ(SymbolGetTextString(withTilde), withTilde);
    SymbolReleaseTextString();
    g_DrawingSettings.displayVariables = 1;
    std::strcpy(g_VariableDefs[0].name, "w");
    std::string wide(250, 'x');
    std::strcpy(g_VariableDefs[0].value, wide.c_str());
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "~w~";
    const char *shown = SymbolGetTextString(text.c_str());
    EXPECT_EQ(shown, text.c_str()) << "10000 characters would not fit: shown unsubstituted";
    SymbolReleaseTextString();
    SymbolReleaseTextString(); // a second release does nothing
}

// ---------------------------------------------------------------------------
// Creation, drawing and text to curves

TextSettings StdSettings(const char *face, uint32_t kind)
{
    TextSettings s{};
    s.font = Font(kind, face);
    s.distance[0] = 0.0;
    s.distance[1] = 4.0;
    s.distance[2] = 1.0;
    s.height = 5.0;
    return s;
}

TEST_F(TextTest, ACreatedTextIsFramedAndDrawnWithItsGlyphOutlines)
{
    g_DrawingSettings.displayTrueType = 1;
    const TextSettings s = StdSettings(kSans, FONT_KIND_TRUETYPE);
    Matrix m{10, 0, 0, 10, 20, 40}; // 10 mm high at (20, 40)
    ASSERT_EQ(SymbolCreateStdText(&s, "HH", &m), 1);
    Unit *text = g_ObjectLists[LIST_DRAWING].tail;
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->object.type, OBJTYPE_STD_TEXT);
    EXPECT_NEAR(text->frame[0], 20.0, 1.5);
    EXPECT_GT(text->frame[2], 30.0);
    EXPECT_NEAR(text->frame[3], 40.0 + 10.0 * SymbolFontAscent() / TEXT_UNITS_PER_HEIGHT, 1.0);
    EXPECT_DOUBLE_EQ(g_ChangedRect[0], text->frame[0]);
    ASSERT_EQ(OutputDrawObject(dc_, text), 1);
    // The stem of the first H is filled, the space between the H's bars is not.
    EXPECT_GT(CountPixels(WHITE), 0);
    EXPECT_LT(CountPixels(WHITE), DIB_SIZE * DIB_SIZE);
    EXPECT_NE(WorldPixel(21.6, 43.0), WHITE);
    EXPECT_EQ(WorldPixel(24.0, 46.0), WHITE);
}

TEST_F(TextTest, AFramedTextIsDrawnInsideItsFrame)
{
    ASSERT_NO_FATAL_FAILURE(MakeMonoLibrary());
    TextSettings s = StdSettings(kMono, FONT_KIND_LIBRARY);
    s.height = 10.0;
    ASSERT_EQ(SymbolCreateFrameText(&s, "aa aa aa", 10, 90, 60, 20), 1);
    Unit *text = g_ObjectLists[LIST_DRAWING].tail;
    ASSERT_EQ(text->object.type, OBJTYPE_FRAME_TEXT);
    g_DrawingSettings.displayFrames = 0;
    ASSERT_EQ(OutputDrawObject(dc_, text), 1);
    // 50 mm hold 100 units at height 10: "aa aa" fits (50), "aa aa aa" (80) too.
    // The first line's baseline is one height below the top edge at 80 mm.
    int px, py;
    Device(10.0 + 0.5 * 5, 80.0 + 0.5 * 4, &px, &py); // inside the first 'a' stroke
    int dark = 0;
    for (int y = 0; y < DIB_SIZE; ++y)
        for (int x = 0; x < DIB_SIZE; ++x)
            if (Pixel(x, y) != WHITE) {
                double wx = x / 2.0, wy = (DIB_SIZE - y) / 2.0;
                EXPECT_TRUE(wx >= 9.0 && wx <= 61.0 && wy >= 19.0 && wy <= 91.0) << wx << "," << wy;
                ++dark;
            }
    EXPECT_GT(dark, 0);
}

// A GGO_NATIVE buffer of one polygon: start (0, 0), a line to (50, 0), a
// quadratic spline through (50, 50), (0, 50) to (0, 25).
std::vector<uint8_t> HandMadeOutline(DWORD polygonType, WORD curveType)
{
    auto fx = [](int v) {
        POINTFX p{};
        p.x.value = short(v);
        p.y.value = 0;
        return p;
    };
    std::vector<uint8_t> b(sizeof(TTPOLYGONHEADER) + 2 * offsetof(TTPOLYCURVE, apfx) + 4 * sizeof(POINTFX));
    auto *h = reinterpret_cast<TTPOLYGONHEADER *>(b.data());
    h->cb = DWORD(b.size());
    h->dwType = polygonType;
    h->pfxStart = fx(0);
    auto *line = reinterpret_cast<TTPOLYCURVE *>(b.data() + sizeof(TTPOLYGONHEADER));
    line->wType = TT_PRIM_LINE;
    line->cpfx = 1;
    line->apfx[0] = fx(50);
    auto *spline = reinterpret_cast<TTPOLYCURVE *>(reinterpret_cast<uint8_t *>(line) + offsetof(TTPOLYCURVE, apfx) +
                                                   sizeof(POINTFX));
    spline->wType = curveType;
    spline->cpfx = 3;
    POINTFX pts[3] = {fx(50), fx(0), fx(0)};
    pts[0].y.value = 50;
    pts[1].y.value = 50;
    pts[2].y.value = 25;
    std::memcpy(spline->apfx, pts, sizeof pts);
    return b;
}

TEST_F(TextTest, GlyphOutlinesBecomeSurfacesAndDamagedOnesAreRefused)
{
    std::vector<uint8_t> buffer(4096);
    Unit *out = reinterpret_cast<Unit *>(buffer.data());
    GLYPHMETRICS gm{};
    gm.gmBlackBoxX = 50;
    gm.gmBlackBoxY = 50;
    gm.gmptGlyphOrigin = {0, 50};
    std::vector<uint8_t> good = HandMadeOutline(TT_POLYGON_TYPE, TT_PRIM_QSPLINE);
    ASSERT_EQ(SymbolGlyphToPath(out, uint32_t(buffer.size()), good.data(), &gm, uint32_t(good.size())), 1);
    EXPECT_EQ(out->object.type, OBJTYPE_SURFACE);
    EXPECT_DOUBLE_EQ(out->frame[2], 1.0); // 50 font units are one character unit
    std::vector<std::vector<double>> points; // kind, x, y (character units)
    for (const Element *e = UnitFirstElement(out); e->kind != ELEM_END; e = ElementNext(e)) {
        const auto *p = reinterpret_cast<const ElementPoint *>(e);
        points.push_back({double(e->kind), p->x, p->y});
    }
    // The spline's pieces: (50,0) B(50,50) C(25,50), then (25,50) B(0,50) C(0,25);
    // each quadratic piece becomes a cubic one with controls (A + 2B) / 3, (C + 2B) / 3.
    const std::vector<std::vector<double>> expected = {
        {POINT_START, 0, 0},         {POINT_LINE, 1, 0},
        {POINT_CONTROL1, 1, 2.0 / 3}, {POINT_CONTROL2, 2.5 / 3, 1},
        {POINT_LINE, 0.5, 1},       {POINT_CONTROL1, 0.5 / 3, 1},
        {POINT_CONTROL2, 0, (0.5 + 2.0) / 3}, {POINT_LINE, 0, 0.5}};
    ASSERT_EQ(points.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(points[i][0], expected[i][0]) << i;
        EXPECT_NEAR(points[i][1], expected[i][1], 1e-12) << i;
        EXPECT_NEAR(points[i][2], expected[i][2], 1e-12) << i;
    }
    std::vector<uint8_t> badPolygon = HandMadeOutline(99, TT_PRIM_QSPLINE);
    EXPECT_EQ(SymbolGlyphToPath(out, uint32_t(buffer.size()), badPolygon.data(), &gm, uint32_t(badPolygon.size())), 0);
    std::vector<uint8_t> badCurve = HandMadeOutline(TT_POLYGON_TYPE, 7);
    EXPECT_EQ(SymbolGlyphToPath(out, uint32_t(buffer.size()), badCurve.data(), &gm, uint32_t(badCurve.size())), 0);
    // A buffer whose polygon claims more bytes than there are.
    EXPECT_EQ(SymbolGlyphToPath(out, uint32_t(buffer.size()), good.data(), &gm, uint32_t(good.size() - 4)), 0);
}

TEST_F(TextTest, TextToCurvesMakesOneSurfacePerGlyphAndOneUndoRestoresTheText)
{
    const TextSettings s = StdSettings(kSans, FONT_KIND_TRUETYPE);
    Matrix m{10, 0, 0, 10, 20, 40};
    UndoInitProcess();
    ASSERT_EQ(SymbolCreateStdText(&s, "A B", &m), 1);
    UndoFinishProcess();
    Unit *text = g_ObjectLists[LIST_DRAWING].tail;
    text->flags |= UNIT_SELECTED;
    text->property.fillMode = FILL_SOLID;
    auto *record = static_cast<TextStandardData *>(ElementPayload(UnitElementAt(text, 1)));
    record->property.fillMode = FILL_SOLID;
    record->property.ownFlags |= XPROP_OWN_FILL;

    UndoInitProcess();
    ASSERT_EQ(SymbolTextToCurvesCommand(UNIT_SELECTED, 0), 1);
    UndoFinishProcess();
    EXPECT_EQ(CountType(OBJTYPE_SURFACE), 2) << "the blank has no outline";
    EXPECT_EQ(CountType(OBJTYPE_STD_TEXT), 0);
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        if (u->object.type == OBJTYPE_SURFACE) {
            EXPECT_EQ(u->property.fillMode, FILL_SOLID);
            EXPECT_GE(u->frame[0], 19.0);
            EXPECT_LE(u->frame[3], 40.0 + 10.0);
        }
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(CountType(OBJTYPE_SURFACE), 0);
    EXPECT_EQ(CountType(OBJTYPE_STD_TEXT), 1);
}

TEST_F(TextTest, TextToCurvesKeepsTextsWhenAskedAndLeavesEmptyFramesAlone)
{
    TextSettings s = StdSettings(kSans, FONT_KIND_TRUETYPE);
    Matrix m{10, 0, 0, 10, 20, 40};
    ASSERT_EQ(SymbolCreateStdText(&s, "I", &m), 1);
    g_ObjectLists[LIST_DRAWING].tail->flags |= UNIT_SELECTED;
    s.height = 10.0;
    ASSERT_EQ(SymbolCreateFrameText(&s, "II", 0, 10, 50, 5), 1); // 5 mm high: no room for 10 mm text
    g_ObjectLists[LIST_DRAWING].tail->flags |= UNIT_SELECTED;
    UndoInitProcess();
    EXPECT_EQ(SymbolTextToCurvesCommand(UNIT_SELECTED, 1), 1);
    UndoFinishProcess();
    EXPECT_EQ(CountType(OBJTYPE_SURFACE), 1);
    EXPECT_EQ(CountType(OBJTYPE_STD_TEXT), 1);
    EXPECT_EQ(CountType(OBJTYPE_FRAME_TEXT), 1);
}

TEST_F(TextTest, LibraryCirclesBecomeEllipsesSoAStretchedCharacterStaysExact)
{
    const int list = LIST_CHAR_LIBRARY_FIRST;
    Unit *block = SymbolNewBlock(list, "79");
    ASSERT_NE(block, nullptr);
    Unit *circle = TestNewObject(LIST_DRAWING, OBJTYPE_CIRCLE, {5, 10, 10, 10});
    ASSERT_NE(SymbolAddMember(list, block, circle), nullptr);
    MemListDelete(LIST_DRAWING, circle);
    block->block.blockFrame[0] = 12.0;
    FrameCalcBlock(block, 1);
    std::strcpy(g_CharLibrarySlots.slots[0].info.title, kMono);
    g_CharLibrarySlots.count = 1;
    SymbolIndexCharLibraries();

    Unit *source = TestNewLine(0, 0, 1, 1);
    const XProperty property = XPropertyDefault();
    const Matrix stretch{2, 0, 0, 1, 100, 0};
    UndoInitProcess();
    EXPECT_DOUBLE_EQ(SymbolLibCharToCurves(source, 'O', 0, &property, &stretch), 12.0);
    UndoFinishProcess();
    Unit *ellipse = source->prev;
    ASSERT_NE(ellipse, nullptr);
    EXPECT_EQ(ellipse->object.type, OBJTYPE_ELLIPSE);
    EXPECT_EQ(ellipse->flags & 0x40u, 0x40u);
    EXPECT_NEAR(ellipse->frame[0], 100.0, 0.1);
    EXPECT_NEAR(ellipse->frame[2], 120.0, 0.1);
    EXPECT_NEAR(ellipse->frame[3], 15.0, 0.1);
    EXPECT_DOUBLE_EQ(SymbolLibCharToCurves(source, 'Q', 0, &property, &stretch), 0.0) << "missing characters";
}

} // namespace

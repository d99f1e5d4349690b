// Texts: 25,000 texts of 40 characters in 4 fonts drawn into a 1920 x 1080
// memory DIB, the whole drawing fitted and at 20 times that zoom, each pass
// beginning as a window paint does (the font selection released); the first
// pass after the font cache was emptied shows what measuring the fonts costs.
// Then text to curves of 2,000 of the texts.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "bench/bench_common.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "display/output.h"
#include "display/symbol.h"
#include "geometry/calc.h"
#include "geometry/matrix.h"

namespace {

constexpr int TEXT_COUNT = 25000;
constexpr int CURVES_COUNT = 2000;
constexpr int TEXT_LENGTH = 40;
constexpr int DIB_WIDTH = 1920;
constexpr int DIB_HEIGHT = 1080;
constexpr double WORLD = 1000.0; // mm
constexpr double ZOOM_FACTOR = 20.0;
const char *const FACES[] = {"Liberation Sans", "Liberation Serif", "Liberation Mono", "Tahoma"};

bool BuildTexts(std::mt19937 &random)
{
    std::uniform_real_distribution<double> pos(0.0, WORLD), height(2.0, 8.0), angle(0.0, CALC_TWO_PI);
    std::uniform_int_distribution<int> letter('A', 'z');
    TextSettings s{};
    s.distance[1] = 4.0;
    s.distance[2] = 1.0;
    for (int i = 0; i < TEXT_COUNT; ++i) {
        s.font = FontDef{};
        s.font.kind = FONT_KIND_TRUETYPE;
        s.font.weight = 400;
        std::strcpy(s.font.face, FACES[i % 4]);
        std::string text;
        for (int k = 0; k < TEXT_LENGTH; ++k)
            text += k % 7 == 6 ? ' ' : char(letter(random));
        const double h = height(random);
        Matrix m{h, 0, 0, h, pos(random), pos(random)};
        MatrixRotate(&m, i % 3 == 0 ? angle(random) : 0.0);
        if (!SymbolCreateStdText(&s, text.c_str(), &m))
            return false;
        Unit *u = g_ObjectLists[LIST_DRAWING].tail;
        u->flags = i < CURVES_COUNT ? UNIT_SELECTED : 0;
        auto *record = static_cast<TextStandardData *>(ElementPayload(UnitElementAt(u, 1)));
        record->property.ownFlags |= XPROP_OWN_FILL;
        record->property.fillMode = FILL_SOLID; // filled glyphs, as texts are mostly drawn
    }
    return true;
}

double PaintPass(HDC dc, double zoomFactor)
{
    BenchSetupScreenView(DIB_WIDTH, DIB_HEIGHT, WORLD, zoomFactor);
    PatBlt(dc, 0, 0, DIB_WIDTH, DIB_HEIGHT, WHITENESS);
    const double t0 = BenchSeconds();
    SymbolReleaseFont(); // as every window paint begins
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
        OutputDrawObject(dc, u);
    GdiFlush();
    return BenchSeconds() - t0;
}

} // namespace

void BenchText()
{
    if (!BenchPrepareDrawing("text"))
        return;
    g_DrawingSettings.displayTrueType = 1;
    g_DrawingSettings.displayTexts = 1;
    g_DrawingSettings.displayFills = 1;
    UndoReset();
    std::mt19937 random(19990224);
    if (!BuildTexts(random)) {
        printf("text: out of memory\n");
        return;
    }
    BenchDib dib = BenchMakeDib(DIB_WIDTH, DIB_HEIGHT);
    HDC dc = dib.dc;

    SymbolFreeFonts();
    const double cold = PaintPass(dc, 1.0);
    const double fitted = PaintPass(dc, 1.0);
    const double zoomed = PaintPass(dc, ZOOM_FACTOR);
    printf("%-44s %8.3f   (fitted %6.2f us, 20x zoom %6.2f us per text)\n", "text.25k_20x_zoom_vs_fitted",
           zoomed / fitted, fitted * 1e6 / TEXT_COUNT, zoomed * 1e6 / TEXT_COUNT);
    printf("%-44s %8.3f   (first paint %6.2f us per text)\n", "text.first_paint_vs_repaint", cold / fitted,
           cold * 1e6 / TEXT_COUNT);

    UndoInitProcess();
    const double t0 = BenchSeconds();
    SymbolTextToCurvesCommand(UNIT_SELECTED, 0);
    const double curves = BenchSeconds() - t0;
    UndoFinishProcess();
    printf("%-44s %8.3f   (%6.2f us per text)\n", "text.2k_to_curves_vs_zoomed_paint",
           (curves / CURVES_COUNT) / (zoomed / TEXT_COUNT), curves * 1e6 / CURVES_COUNT);

    OutputResetContext(OUTPUT_SCREEN);
    BenchFreeDib(&dib);
    SymbolFreeFonts();
    MemFreeChunks();
    MemInitLists();
}

// Shared GDI objects of the drawing output and the font constructors.
#include "app/init_gdi.h"

#include <cstring>

#include "app/darad4.h"
#include "app/init.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "language/language.h"

SharedGdi g_SharedGdi;

namespace {

constexpr int32_t MINI_FONT_HEIGHT = -11;
constexpr int DEFAULT_NAME_MINI_FONT = 8;
constexpr int FONT_PITCH_SWISS_VARIABLE = 0x22;
constexpr int FONT_PITCH_MINI = 0x26;
constexpr int FONT_PITCH_FONTDEF = 0x04;
constexpr int FONT_CLIP_FONTDEF = 0x30; // CLIP_LH_ANGLES | CLIP_TT_ALWAYS
constexpr uint32_t FONTDEF_ITALIC = 0x1;
constexpr uint32_t FONTDEF_UNDERLINE = 0x2;
constexpr uint32_t FONTDEF_STRIKEOUT = 0x8;
constexpr uint32_t FONTDEF_SYMBOL = 0x100;
constexpr int PLACING_SIZE = 20;
constexpr int ERASER_SIZE = 8;
constexpr int32_t MINI_FONT_VERTICAL = 900; // tenths of a degree
constexpr int DEFAULT_NAME_DIALOG_FONT = 16;
constexpr int DIALOG_FONT_DIVISOR = 9;      // screen pixels per inch to the font's height
constexpr int32_t PALETTE_SCREEN_BITS = 8;

int FontFailed(const char *name)
{
    char text[64];
    wsprintfA(text, "Unable to create \"%s\".", name);
    InitErrorBox("init_gdi", __LINE__, text);
    return 0;
}

template <typename T> void DeleteAndClear(T &object)
{
    if (object)
        DeleteObject(object);
    object = nullptr;
}

HPEN SolidPen(int32_t index) { return CreatePen(PS_SOLID, 1, InitStandardColor(index)); }
HPEN DottedPen(int32_t index) { return CreatePen(PS_DOT, 1, InitStandardColor(index)); }

// The monochrome 20 x 20 placing mark: a resource of the program when it has
// one, else drawn here (a cross-hair with a small square).
HBITMAP MakePlacingBitmap()
{
    HBITMAP bitmap = g_Instance ? LoadBitmapA(g_Instance, "IDB_PLACING") : nullptr;
    if (bitmap)
        return bitmap;
    // Rows of 16-bit words; a set bit is white (leaves the screen unchanged).
    WORD rows[PLACING_SIZE][2];
    for (int y = 0; y < PLACING_SIZE; ++y) {
        uint32_t bits = 0xFFFFFFFFu;
        for (int x = 0; x < PLACING_SIZE; ++x) {
            const bool mark = x == PLACING_SIZE / 2 || y == PLACING_SIZE / 2 ||
                              ((x == 6 || x == 13) && y >= 6 && y <= 13) || ((y == 6 || y == 13) && x >= 6 && x <= 13);
            if (mark)
                bits &= ~(0x80000000u >> x);
        }
        rows[y][0] = static_cast<WORD>(((bits >> 24) & 0xFF) | ((bits >> 8) & 0xFF00));
        rows[y][1] = static_cast<WORD>(((bits >> 8) & 0xFF) | ((bits << 8) & 0xFF00));
    }
    return CreateBitmap(PLACING_SIZE, PLACING_SIZE, 1, 1, rows);
}

HBITMAP MakeEraserBitmap()
{
    HBITMAP bitmap = g_Instance ? LoadBitmapA(g_Instance, g_IsWin9x ? "IDB_ERASER2" : "IDB_ERASER1") : nullptr;
    if (bitmap)
        return bitmap;
    // A diagonal cross of one-pixel lines on an 8 x 8 cell.
    WORD rows[ERASER_SIZE];
    for (int y = 0; y < ERASER_SIZE; ++y) {
        unsigned bits = 0xFF;
        bits &= ~(0x80u >> y);
        bits &= ~(0x80u >> (ERASER_SIZE - 1 - y));
        rows[y] = static_cast<WORD>(bits);
    }
    return CreateBitmap(ERASER_SIZE, ERASER_SIZE, 1, 1, rows);
}

HFONT CreateFontDefWith(int32_t height, int32_t escapement, const FontDef *font, BYTE outPrecision,
                        BYTE clipPrecision, BYTE pitch)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfEscapement = escapement;
    lf.lfOrientation = escapement;
    lf.lfWeight = static_cast<LONG>(font->weight);
    lf.lfItalic = (font->style & FONTDEF_ITALIC) ? 1 : 0;
    lf.lfUnderline = (font->style & FONTDEF_UNDERLINE) ? 1 : 0;
    lf.lfStrikeOut = (font->style & FONTDEF_STRIKEOUT) ? 1 : 0;
    lf.lfCharSet = (font->style & FONTDEF_SYMBOL) ? SYMBOL_CHARSET : ANSI_CHARSET;
    lf.lfOutPrecision = outPrecision;
    lf.lfClipPrecision = clipPrecision;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = pitch;
    lstrcpynA(lf.lfFaceName, font->face, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

} // namespace

COLORREF InitStandardColor(int32_t index)
{
    return index >= 0 && index < STANDARD_COLORS ? g_StandardColors[index] : 0;
}

HFONT InitCreateFont(const char *face, int32_t height)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfPitchAndFamily = FONT_PITCH_SWISS_VARIABLE;
    lstrcpynA(lf.lfFaceName, face ? face : "", LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

HFONT InitCreateMiniFont(int32_t height, int32_t escapement)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfEscapement = escapement;
    lf.lfWeight = FW_NORMAL;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfPitchAndFamily = FONT_PITCH_MINI;
    const char *face = eDefaultNames[DEFAULT_NAME_MINI_FONT];
    lstrcpynA(lf.lfFaceName, face ? face : "", LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

HFONT InitCreateFontDef(int32_t height, int32_t escapement, const FontDef *font)
{
    return CreateFontDefWith(height, escapement, font, OUT_TT_PRECIS, FONT_CLIP_FONTDEF, FONT_PITCH_FONTDEF);
}

HFONT InitCreateFontDefDevice(int32_t height, int32_t escapement, const FontDef *font)
{
    return CreateFontDefWith(height, escapement, font, OUT_DEVICE_PRECIS, CLIP_LH_ANGLES, 0);
}

int InitCreateGdiResources()
{
    SharedGdi &g = g_SharedGdi;
    g.nullPen = static_cast<HPEN>(GetStockObject(NULL_PEN));
    g.whitePen = static_cast<HPEN>(GetStockObject(WHITE_PEN));
    g.blackPen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    g.nullBrush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    g.whiteBrush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    g.blackBrush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    if (!g.placingBitmap)
        g.placingBitmap = MakePlacingBitmap();
    if (!g.eraserBitmap)
        g.eraserBitmap = MakeEraserBitmap();
    if (!g.arrowCursor) {
        g.arrowCursor = LoadCursorA(nullptr, IDC_ARROW);
        g.waitCursor = LoadCursorA(nullptr, IDC_WAIT);
        g.helpCursor = g_Instance ? LoadCursorA(g_Instance, "IDC_MYHELP") : nullptr;
        if (!g.helpCursor)
            g.helpCursor = LoadCursorA(nullptr, IDC_HELP);
    }
    // The fonts in this order; the first that cannot be made ends start-up.
    struct FontSlot {
        HFONT *font;
        const char *name;
        int32_t escapement;
    };
    const FontSlot fonts[] = {{&g.miniFontX, "hMiniFontX", 0},
                              {&g.miniFontY, "hMiniFontY", MINI_FONT_VERTICAL},
                              {&g.aboutFont, "hAboutFont", 0}};
    for (const FontSlot &f : fonts) {
        if (!*f.font)
            *f.font = InitCreateMiniFont(MINI_FONT_HEIGHT, f.escapement);
        if (!*f.font)
            return FontFailed(f.name);
    }
    if (!hDialogFont)
        hDialogFont = InitCreateFont(eDefaultNames[DEFAULT_NAME_DIALOG_FONT], g_ScreenPpiX / DIALOG_FONT_DIVISOR);
    if (!hDialogFont)
        return FontFailed("hDialogFont");
    if (!g.palette && g_ScreenColorBits == PALETTE_SCREEN_BITS) {
        HDC screen = GetDC(nullptr);
        g.palette = CreateHalftonePalette(screen);
        ReleaseDC(nullptr, screen);
    }
    return 1;
}

void InitDeleteGdiResources()
{
    InitDeleteScreenObjects();
    DeleteAndClear(g_SharedGdi.placingBitmap);
    DeleteAndClear(g_SharedGdi.eraserBitmap);
    DeleteAndClear(g_SharedGdi.miniFontX);
    DeleteAndClear(g_SharedGdi.miniFontY);
    DeleteAndClear(g_SharedGdi.aboutFont);
    DeleteAndClear(g_SharedGdi.palette);
    DeleteAndClear(hDialogFont);
}

void InitCreateScreenObjects()
{
    InitDeleteScreenObjects();
    if (!g_SharedGdi.nullPen)
        InitCreateGdiResources();
    const DrawingSettings &s = g_DrawingSettings;
    SharedGdi &g = g_SharedGdi;
    g.drawAreaBrush = CreateSolidBrush(InitStandardColor(s.colorDrawArea) | 0x02000000);
    if (g_IsWin9x || !g.eraserBitmap)
        g.eraserBrush = CreateHatchBrush(HS_DIAGCROSS, InitStandardColor(s.colorErasers));
    else
        g.eraserBrush = CreatePatternBrush(g.eraserBitmap);
    g.drawAreaPen = SolidPen(s.colorDrawArea);
    g.blocksDottedPen = DottedPen(s.colorBlocks);
    g.blocksSolidPen = SolidPen(s.colorBlocks);
    g.pointsSolidPen = SolidPen(s.colorPoints);
    g.pointsDottedPen = DottedPen(s.colorPoints);
    g.marksPen = SolidPen(s.colorMarks);
    g.geometryPen = SolidPen(s.colorGeometry);
    g.erasersPen = SolidPen(s.colorErasers);
    g.inputSolidPen = SolidPen(s.colorInput);
    g.inputDottedPen = DottedPen(s.colorInput);
    g.layersPen = SolidPen(s.colorLayers);
    g.panelFont = InitCreateFont(g_Options.panelFontName, -g_Options.panelFontSize);
}

void InitDeleteScreenObjects()
{
    SharedGdi &g = g_SharedGdi;
    DeleteAndClear(g.drawAreaBrush);
    DeleteAndClear(g.eraserBrush);
    DeleteAndClear(g.drawAreaPen);
    DeleteAndClear(g.blocksDottedPen);
    DeleteAndClear(g.blocksSolidPen);
    DeleteAndClear(g.pointsSolidPen);
    DeleteAndClear(g.pointsDottedPen);
    DeleteAndClear(g.marksPen);
    DeleteAndClear(g.geometryPen);
    DeleteAndClear(g.erasersPen);
    DeleteAndClear(g.inputSolidPen);
    DeleteAndClear(g.inputDottedPen);
    DeleteAndClear(g.layersPen);
    DeleteAndClear(g.panelFont);
}

SysColorObjects g_SysColors;

namespace {

constexpr COLORREF PALETTE_RELATIVE = 0x02000000;
constexpr int COLOR_TEXT_SETTING = -1; // the drawing setting's colour, not a system colour

COLORREF SysOrSettingColor(int index)
{
    return index == COLOR_TEXT_SETTING ? InitStandardColor(g_DrawingSettings.colorColorText) : GetSysColor(index);
}

} // namespace

void InitCreateSysColorObjects()
{
    InitDeleteSysColorObjects();
    static const int BRUSH_COLORS[SYS_BRUSH_COUNT] = {COLOR_WINDOW, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT,
                                                      COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_TEXT_SETTING,
                                                      COLOR_GRAYTEXT};
    static const int PEN_COLORS[SYS_PEN_COUNT] = {COLOR_WINDOWFRAME, COLOR_WINDOWTEXT, COLOR_BTNSHADOW,
                                                  COLOR_BTNHIGHLIGHT, COLOR_BTNFACE, COLOR_BTNTEXT,
                                                  COLOR_TEXT_SETTING, COLOR_GRAYTEXT};
    for (int i = 0; i < SYS_BRUSH_COUNT; ++i)
        g_SysColors.brushes[i] = CreateSolidBrush(SysOrSettingColor(BRUSH_COLORS[i]) | PALETTE_RELATIVE);
    for (int i = 0; i < SYS_PEN_COUNT; ++i)
        g_SysColors.pens[i] = CreatePen(PS_SOLID, 1, SysOrSettingColor(PEN_COLORS[i]));
}

void InitDeleteSysColorObjects()
{
    for (HBRUSH &b : g_SysColors.brushes)
        DeleteAndClear(b);
    for (HPEN &p : g_SysColors.pens)
        DeleteAndClear(p);
}

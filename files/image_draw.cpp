// Drawing Bitmap objects.
#include "files/image_draw.h"

#include <cmath>

#include "app/init_gdi.h"
#include "app/system.h"
#include "database/object_types.h"
#include "display/clip.h"
#include "display/output.h"
#include "files/file_records.h"
#include "files/image_list.h"
#include "geometry/matrix.h"

namespace {

OutputContext &Ctx() { return g_OutputContext; }

int Round(double v) { return int(std::floor(v + 0.5)); }

// Device coordinates beyond this are not handed to GDI.
constexpr double DEVICE_LIMIT = 1.0e8;

const BITMAPINFO *Info(const BitmapEntry &e) { return reinterpret_cast<const BITMAPINFO *>(e.dib.data()); }
const void *Pixels(const BitmapEntry &e) { return e.dib.data() + e.dib.size() - e.bitsSize; }

// The image rectangle in its own millimetres, through the full matrix.
struct Placement {
    Matrix m;  // image millimetres to device units
    double w;  // millimetres
    double h;
};

Placement Place(const BitmapEntry &e, const BitmapRefData *ref, const Matrix *matrix)
{
    Placement p{ref->placement, e.width / e.pixelsPerMmX, e.height / e.pixelsPerMmY};
    MatrixMultiply(&p.m, matrix);
    MatrixMultiply(&p.m, &Ctx().base);
    return p;
}

bool ScaleOutOfRange(const BitmapEntry &e, bool metafile)
{
    const double sx = std::fabs(Ctx().base.a / e.pixelsPerMmX), sy = std::fabs(Ctx().base.d / e.pixelsPerMmY);
    if (metafile)
        return sx == 0.0 || sy == 0.0;
    return sx < IMAGE_MIN_SCALE || sx > IMAGE_MAX_SCALE || sy < IMAGE_MIN_SCALE || sy > IMAGE_MAX_SCALE;
}

// Colours and stretch mode of a blit; a 1-bit image takes the line colour for
// pixel value 0 and the fill colour for 1.
struct BlitColours {
    HDC hdc;
    COLORREF text, back;
    int stretch;
    BlitColours(HDC dc, BitmapEntry &e) : hdc(dc)
    {
        const COLORREF line = Ctx().lineColour, fill = Ctx().fillColour;
        text = SetTextColor(hdc, line);
        back = SetBkColor(hdc, fill);
        stretch = SetStretchBltMode(hdc, e.bitsPerPixel == 1 ? BLACKONWHITE : COLORONCOLOR);
        if (e.bitsPerPixel == 1 && e.colorsUsed >= 2) {
            RGBQUAD *table = reinterpret_cast<BITMAPINFO *>(e.dib.data())->bmiColors;
            table[0] = RGBQUAD{GetBValue(line), GetGValue(line), GetRValue(line), 0};
            table[1] = RGBQUAD{GetBValue(fill), GetGValue(fill), GetRValue(fill), 0};
        }
    }
    ~BlitColours()
    {
        SetTextColor(hdc, text);
        SetBkColor(hdc, back);
        SetStretchBltMode(hdc, stretch);
    }
};

// The entry's palette selected and realised in a context for one draw.
struct PaletteInUse {
    HDC hdc;
    HPALETTE old = nullptr;
    PaletteInUse(HDC dc, HPALETTE palette) : hdc(dc)
    {
        if (!palette)
            return;
        old = SelectPalette(hdc, palette, TRUE);
        RealizePalette(hdc);
    }
    ~PaletteInUse()
    {
        if (old)
            SelectPalette(hdc, old, TRUE);
    }
    PaletteInUse(const PaletteInUse &) = delete;
    PaletteInUse &operator=(const PaletteInUse &) = delete;
};

bool Blit(HDC hdc, const BitmapEntry &e, double x, double y, double w, double h, double sx, double sy, double sw,
          double sh)
{
    if (std::fabs(x) > DEVICE_LIMIT || std::fabs(y) > DEVICE_LIMIT || std::fabs(w) > DEVICE_LIMIT ||
        std::fabs(h) > DEVICE_LIMIT)
        return false;
    StretchDIBits(hdc, Round(x), Round(y), Round(w), Round(h), Round(sx), Round(sy), Round(sw), Round(sh),
                  Pixels(e), Info(e), DIB_RGB_COLORS, SRCCOPY);
    return true;
}

// An axis-parallel image: on the screen only the part inside the clip
// rectangle is transferred (rows counted from the bottom of the image).
bool BlitParallel(HDC hdc, const BitmapEntry &e, const Placement &p, bool cut)
{
    const double left = p.m.tx, bottom = p.m.ty, right = p.m.tx + p.w * p.m.a, top = p.m.ty + p.h * p.m.d;
    const double px = p.m.a / e.pixelsPerMmX, py = p.m.d / e.pixelsPerMmY;
    if (!cut || px <= 0 || py >= 0)
        return Blit(hdc, e, left, top, right - left, bottom - top, 0, 0, e.width, e.height);
    // Whole source pixels are cut, so that the rest keeps its place.
    const int32_t *clip = Ctx().pixelClipRect;
    const double cutLeft = std::floor(std::fmax(0.0, clip[0] - left) / px);
    const double cutRight = std::floor(std::fmax(0.0, right - clip[2]) / px);
    const double cutTop = std::floor(std::fmax(0.0, clip[1] - top) / -py);
    const double cutBottom = std::floor(std::fmax(0.0, bottom - clip[3]) / -py);
    const double columns = e.width - cutLeft - cutRight, rows = e.height - cutTop - cutBottom;
    if (columns <= 0 || rows <= 0)
        return true;
    return Blit(hdc, e, left + cutLeft * px, top - cutTop * py, columns * px, -rows * py, cutLeft, cutBottom, columns,
                rows);
}

bool Corners(const Placement &p, POINT out[4])
{
    const double xs[4] = {0, p.w, p.w, 0}, ys[4] = {0, 0, p.h, p.h};
    for (int i = 0; i < 4; ++i) {
        double x, y;
        MatrixApply(p.m, xs[i], ys[i], &x, &y);
        if (std::fabs(x) > DEVICE_LIMIT || std::fabs(y) > DEVICE_LIMIT)
            return false;
        out[i] = POINT{Round(x), Round(y)};
    }
    return true;
}

// A turned image: PlgBlt of the entry's device copy onto the parallelogram
// whose corners are the image's upper-left, upper-right and lower-left. The
// copy is made once and kept with the entry.
bool BlitRotated(HDC hdc, BitmapEntry &e, const Placement &p)
{
    POINT c[4];
    if (!Corners(p, c) || !ImageDeviceBitmap(&e))
        return false;
    const POINT target[3] = {c[3], c[2], c[0]};
    // A memory context of the screen holds the copy whatever device draws it.
    HDC memory = CreateCompatibleDC(nullptr);
    if (!memory)
        return false;
    HGDIOBJ old = SelectObject(memory, e.deviceBitmap);
    bool done = false;
    if (old) {
        PaletteInUse palette(memory, e.palette);
        done = PlgBlt(hdc, target, memory, 0, 0, e.width, e.height, nullptr, 0, 0) != 0;
    }
    if (old)
        SelectObject(memory, old);
    DeleteDC(memory);
    return done;
}

// The patterned rectangle of an image that cannot be shown.
void DrawPlaceholder(HDC hdc, const Placement &p)
{
    POINT c[4];
    if (!Corners(p, c))
        return;
    HBRUSH pattern = CreateHatchBrush(HS_DIAGCROSS, InitStandardColor(g_DrawingSettings.colorBlocks));
    if (!pattern)
        return;
    const COLORREF back = SetBkColor(hdc, InitStandardColor(g_DrawingSettings.colorDrawArea));
    const int mode = SetBkMode(hdc, OPAQUE);
    HGDIOBJ oldBrush = SelectObject(hdc, pattern), oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
    Polygon(hdc, c, 4);
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    SetBkMode(hdc, mode);
    SetBkColor(hdc, back);
    DeleteObject(pattern);
}

void DrawFrame(HDC hdc, const BitmapRefData *ref, const Matrix *matrix, double w, double h, bool outlineOnly)
{
    if (!g_DrawingSettings.displayFrames)
        return;
    HGDIOBJ old = nullptr;
    if (!outlineOnly && g_SharedGdi.blocksDottedPen)
        old = SelectObject(hdc, g_SharedGdi.blocksDottedPen);
    Ctx().current = ref->placement;
    MatrixMultiply(&Ctx().current, matrix);
    MatrixMultiply(&Ctx().current, &Ctx().base);
    ClipDrawWorldLine(hdc, 0, 0, w, 0);
    ClipDrawWorldLine(hdc, w, 0, w, h);
    ClipDrawWorldLine(hdc, w, h, 0, h);
    ClipDrawWorldLine(hdc, 0, h, 0, 0);
    Ctx().current = Ctx().base;
    if (old)
        SelectObject(hdc, old);
}

} // namespace

int ImageDrawBitmap(HDC hdc, const BitmapRefData *ref, const XProperty *object, const XProperty *parent,
                    const Matrix *matrix, int outlineOnly)
{
    if (!hdc || !ref || !g_DrawingSettings.displayBitmaps)
        return 1;
    if (!OutputPrepareAttributes(OBJTYPE_BITMAP, object, parent, &Ctx()))
        return 1;
    OutputSelectObjectGdi(hdc, &Ctx());
    BitmapEntry *e = ImageFindBitmap(ref->name, 0);
    if (!e) {
        Matrix m = ref->placement;
        MatrixMultiply(&m, matrix);
        OutputRestoreGdi(hdc, &Ctx());
        return OutputDrawMissingText(hdc, ">%s<", ref->name, "", &m);
    }
    const Placement p = Place(*e, ref, matrix);
    if (!outlineOnly) {
        PaletteInUse palette(hdc, e->palette);
        BlitColours colours(hdc, *e);
        const bool rotated = MatrixIsRotated(&p.m) != 0;
        bool shown = false;
        if (!ScaleOutOfRange(*e, false))
            shown = rotated ? g_Options.displayRotatedBitmap && BlitRotated(hdc, *e, p)
                            : BlitParallel(hdc, *e, p, true);
        if (!shown)
            DrawPlaceholder(hdc, p);
    }
    DrawFrame(hdc, ref, matrix, p.w, p.h, outlineOnly != 0);
    OutputRestoreGdi(hdc, &Ctx());
    return 1;
}

int ImagePrintBitmap(HDC hdc, const BitmapRefData *ref, const XProperty *object, const XProperty *parent,
                     const Matrix *matrix)
{
    if (!hdc || !ref || !g_DrawingSettings.outputBitmap)
        return 1;
    if (!OutputPrepareAttributes(OBJTYPE_BITMAP, object, parent, &Ctx()))
        return 1;
    BitmapEntry *e = ImageFindBitmap(ref->name, 0);
    if (!e || ScaleOutOfRange(*e, (Ctx().mode & OUTPUT_METAFILE) != 0))
        return 1;
    const Placement p = Place(*e, ref, matrix);
    BlitColours colours(hdc, *e);
    if (!MatrixIsRotated(&p.m))
        BlitParallel(hdc, *e, p, false);
    else if (!(g_Options.outputRotatedBitmap && !g_IsWin9x && BlitRotated(hdc, *e, p)))
        DrawPlaceholder(hdc, p);
    return 1;
}

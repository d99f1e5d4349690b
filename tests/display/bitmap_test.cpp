// Bitmap objects on the screen and the printer: images of every depth and
// header kind decode to the same picture and land in their placed rectangle.
#include "render_fixture.h"

#include <cstdio>
#include <set>

#include "app/system.h"
#include "files/file_records.h"
#include "files/image_draw.h"
#include "files/image_list.h"

namespace {

void Put(std::vector<uint8_t> &b, size_t at, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// The four colours of the 2 x 2 test picture: bottom-left, bottom-right,
// top-left, top-right.
constexpr uint32_t PICTURE[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};

// A 2 x 2 bitmap file of the picture at 0.1 pixels per millimetre (100 per
// metre): one image pixel covers 10 mm. With fewer than 24 bits the pixel
// values index a table holding the four colours (1 bit: only the first two).
std::vector<uint8_t> PictureBmp(uint16_t bits, bool core, bool topDown)
{
    const uint32_t colors = bits <= 8 ? 1u << bits : 0, entry = core ? 3 : 4, header = core ? 12 : 40;
    const uint32_t stride = (bits * 2u + 31) / 32 * 4, offset = 14 + header + entry * colors;
    std::vector<uint8_t> b(offset + 2 * stride, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 10, offset, 4);
    Put(b, 14, header, 4);
    if (core) {
        Put(b, 18, 2, 2);
        Put(b, 20, 2, 2);
        Put(b, 22, 1, 2);
        Put(b, 24, bits, 2);
    } else {
        Put(b, 18, 2, 4);
        Put(b, 22, topDown ? uint32_t(-2) : 2u, 4);
        Put(b, 26, 1, 2);
        Put(b, 28, bits, 2);
        Put(b, 38, 100, 4);
        Put(b, 42, 100, 4);
    }
    for (uint32_t i = 0; i < colors && i < 4; ++i)
        Put(b, 14 + header + entry * i, PICTURE[i], 3); // blue, green, red in file order
    for (int row = 0; row < 2; ++row) {               // row 0 is the bottom one
        const size_t at = offset + size_t(topDown ? 1 - row : row) * stride;
        for (int x = 0; x < 2; ++x) {
            const uint32_t value = uint32_t(2 * row + x);
            if (bits == 24)
                Put(b, at + size_t(3 * x), PICTURE[value], 3);
            else if (bits == 8)
                b[at + size_t(x)] = uint8_t(value);
            else if (bits == 4)
                b[at] |= uint8_t(value << (x ? 0 : 4));
            else
                b[at] |= uint8_t((value & 1) << (x ? 6 : 7));
        }
    }
    return b;
}

COLORREF Ref(uint32_t rgb) { return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }

class BitmapDrawTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        g_DrawingSettings.displayBitmaps = 1;
        g_DrawingSettings.displayFrames = 0;
        g_DrawingSettings.outputBitmap = 1;
        ImageClearData();
        ImageFreeBitmaps(1);
    }
    void TearDown() override
    {
        ImageClearData();
        ImageFreeBitmaps(1);
        RenderTest::TearDown();
    }
    // The picture embedded under the name and placed with its lower-left
    // corner at (x, y).
    BitmapRefData Place(const char *name, const std::vector<uint8_t> &bmp, double x, double y)
    {
        EXPECT_EQ(ImageStoreData(name, bmp.data(), uint32_t(bmp.size())), 1);
        BitmapRefData ref{};
        lstrcpynA(ref.name, name, sizeof ref.name);
        MatrixInit(&ref.placement);
        MatrixMove(&ref.placement, x, y);
        return ref;
    }
    void Draw(const BitmapRefData &ref)
    {
        const XProperty p = OutputDefaultXProperty();
        Matrix identity;
        MatrixInit(&identity);
        ImageDrawBitmap(dc_, &ref, &p, &p, &identity, 0);
        GdiFlush();
    }
};

TEST_F(BitmapDrawTest, EveryDepthAndHeaderShowsThePictureInItsRectangle)
{
    struct Case {
        uint16_t bits;
        bool core, topDown;
    } cases[] = {{24, false, false}, {24, false, true}, {24, true, false}, {8, false, false},
                 {8, true, false},   {8, false, true},  {4, false, false}, {4, true, false}};
    for (const Case &c : cases) {
        Clear();
        const BitmapRefData ref = Place("#B picture", PictureBmp(c.bits, c.core, c.topDown), 40, 40);
        Draw(ref);
        // A core header has no resolution: 300 dots per inch, too small to test colours.
        if (c.core) {
            const BitmapEntry *e = ImageFindBitmap("#B picture", 0);
            ASSERT_NE(e, nullptr);
            EXPECT_DOUBLE_EQ(e->pixelsPerMmX, IMAGE_DEFAULT_PIXELS_PER_MM);
            EXPECT_EQ(e->width, 2);
            EXPECT_EQ(e->height, 2);
            const uint8_t *pixels = e->dib.data() + e->dib.size() - e->bitsSize;
            EXPECT_EQ(pixels[0] >> (c.bits == 8 ? 0 : 4), 0) << c.bits; // bottom-left
            continue;
        }
        SCOPED_TRACE(testing::Message() << c.bits << (c.topDown ? " top-down" : ""));
        EXPECT_EQ(WorldPixel(45, 45), Ref(PICTURE[0]));
        EXPECT_EQ(WorldPixel(55, 45), Ref(PICTURE[1]));
        EXPECT_EQ(WorldPixel(45, 55), Ref(PICTURE[2]));
        EXPECT_EQ(WorldPixel(55, 55), Ref(PICTURE[3]));
        EXPECT_EQ(WorldPixel(35, 45), WHITE);
        EXPECT_EQ(WorldPixel(65, 55), WHITE);
        EXPECT_EQ(WorldPixel(45, 65), WHITE);
    }
}

// An image cut by the window's edge: the visible part keeps its pixels in place.
TEST_F(BitmapDrawTest, AnImagePartlyOutsideTheWindowKeepsItsVisiblePixels)
{
    const BitmapRefData ref = Place("#B picture", PictureBmp(24, false, false), -5, 85);
    Draw(ref);
    EXPECT_EQ(WorldPixel(2, 88), Ref(PICTURE[0]));
    EXPECT_EQ(WorldPixel(8, 88), Ref(PICTURE[1]));
    EXPECT_EQ(WorldPixel(2, 98), Ref(PICTURE[2]));
    EXPECT_EQ(WorldPixel(8, 98), Ref(PICTURE[3]));
}

// A 1-bit image: pixel value 0 in the line colour, 1 in the fill colour.
TEST_F(BitmapDrawTest, OneBitImagesTakeTheObjectsColours)
{
    const BitmapRefData ref = Place("#B mono", PictureBmp(1, false, false), 40, 40);
    Draw(ref);
    const COLORREF zero = WorldPixel(45, 45), one = WorldPixel(55, 45);
    EXPECT_EQ(zero, g_OutputContext.lineColour);
    EXPECT_EQ(one, g_OutputContext.fillColour);
    EXPECT_EQ(WorldPixel(45, 55), zero);
}

TEST_F(BitmapDrawTest, AMissingImageShowsItsNameAndTheFrameTheImageSize)
{
    BitmapRefData ref{};
    lstrcpynA(ref.name, "#B nowhere", sizeof ref.name);
    MatrixInit(&ref.placement);
    MatrixMove(&ref.placement, 10, 50);
    Draw(ref);
    EXPECT_LT(CountPixels(WHITE), DIB_SIZE * DIB_SIZE); // the ">name<" text
    double w = 0, h = 0;
    EXPECT_EQ(ImageSizeMm("#B nowhere", &w, &h), 0);
    Place("#B sized", PictureBmp(24, false, false), 0, 0);
    ASSERT_EQ(ImageSizeMm("#B sized", &w, &h), 1);
    EXPECT_DOUBLE_EQ(w, 20.0);
    EXPECT_DOUBLE_EQ(h, 20.0);
}

// Replacing an embedded image's bytes shows the new image, not the decoded old one.
TEST_F(BitmapDrawTest, NewBytesUnderTheSameNameReplaceTheDecodedImage)
{
    Place("#B picture", PictureBmp(24, false, false), 40, 40);
    ASSERT_NE(ImageFindBitmap("#B picture", 0), nullptr);
    std::vector<uint8_t> other = PictureBmp(24, false, false);
    Put(other, 14 + 40, 0x000000, 3); // bottom-left black
    const BitmapRefData ref = Place("#B picture", other, 40, 40);
    Draw(ref);
    EXPECT_EQ(WorldPixel(45, 45), BLACK);
    EXPECT_EQ(g_BitmapList.count, 1);
}

// A turned image is drawn from a device copy that is made once, kept with
// the entry and released with it; without the rotated-output option there
// is no copy and the screen shows the patterned rectangle.
TEST_F(BitmapDrawTest, TurnedImagesUseOneDeviceCopyKeptWithTheEntry)
{
    const uint32_t savedOutput = g_Options.outputRotatedBitmap, savedDisplay = g_Options.displayRotatedBitmap;
    g_Options.outputRotatedBitmap = 1;
    g_Options.displayRotatedBitmap = 1;
    // A quarter turn about the image's origin, then to (60, 40): image (x, y)
    // lands on (60 - y, 40 + x).
    BitmapRefData ref = Place("#B picture", PictureBmp(24, false, false), 0, 0);
    MatrixRotate(&ref.placement, 1.5707963267948966);
    MatrixMove(&ref.placement, 60, 40);
    Draw(ref);
    BitmapEntry *e = ImageFindBitmap("#B picture", 0);
    ASSERT_NE(e, nullptr);
    const HBITMAP copy = e->deviceBitmap;
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(e->screenBitsPerPixel, 0u);
    // Wine's PlgBlt does not really turn an image (a quarter turn comes out
    // mirrored), so the test checks that the image fills its place, not
    // where each of its pixels went.
    const std::set<COLORREF> all = {Ref(PICTURE[0]), Ref(PICTURE[1]), Ref(PICTURE[2]), Ref(PICTURE[3])};
    auto shown = [&] {
        return std::set<COLORREF>{WorldPixel(45, 45), WorldPixel(55, 45), WorldPixel(45, 55), WorldPixel(55, 55)};
    };
    EXPECT_EQ(shown(), all);
    EXPECT_EQ(WorldPixel(65, 50), WHITE);
    EXPECT_EQ(WorldPixel(35, 50), WHITE);
    Clear();
    Draw(ref);
    EXPECT_EQ(e->deviceBitmap, copy) << "made once";
    EXPECT_EQ(shown(), all);

    // Released with the list.
    ImageFreeBitmaps(1);
    EXPECT_EQ(GetObjectType(copy), 0u);

    // A 1-bit image keeps taking the object's colours from its monochrome copy.
    Clear();
    BitmapRefData mono = Place("#B mono", PictureBmp(1, false, false), 0, 0);
    mono.placement = ref.placement;
    Draw(mono);
    e = ImageFindBitmap("#B mono", 0);
    ASSERT_NE(e, nullptr);
    ASSERT_NE(e->deviceBitmap, nullptr);
    BITMAP info{};
    GetObjectA(e->deviceBitmap, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(e->screenBitsPerPixel, 0u);
    // Pixel value 0 in the line colour, 1 in the fill colour.
    EXPECT_EQ(shown(), (std::set<COLORREF>{g_OutputContext.lineColour, g_OutputContext.fillColour}));

    // Dropping a replaced image releases its copy too.
    const HBITMAP monoCopy = e->deviceBitmap;
    Place("#B mono", PictureBmp(1, false, false), 0, 0);
    EXPECT_EQ(GetObjectType(monoCopy), 0u);

    // Without the option: no copy, the patterned rectangle.
    g_Options.outputRotatedBitmap = 0;
    Clear();
    Draw(ref);
    e = ImageFindBitmap("#B picture", 0);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->deviceBitmap, nullptr);
    EXPECT_LT(CountPixels(WHITE), DIB_SIZE * DIB_SIZE);
    g_Options.outputRotatedBitmap = savedOutput;
    g_Options.displayRotatedBitmap = savedDisplay;
}

TEST_F(BitmapDrawTest, ThePrinterDrawsTheWholeImageOrNothing)
{
    g_OutputContext.mode = OUTPUT_PRINTER;
    const BitmapRefData ref = Place("#B picture", PictureBmp(24, false, false), -5, 40);
    const XProperty p = OutputDefaultXProperty();
    Matrix identity;
    MatrixInit(&identity);
    ASSERT_NE(ImageFindBitmap("#B picture", 0), nullptr);
    ImagePrintBitmap(dc_, &ref, &p, &p, &identity);
    GdiFlush();
    EXPECT_EQ(WorldPixel(2, 45), Ref(PICTURE[0]));
    EXPECT_EQ(WorldPixel(8, 55), Ref(PICTURE[3]));
    g_DrawingSettings.outputBitmap = 0;
    Clear();
    ImagePrintBitmap(dc_, &ref, &p, &p, &identity);
    GdiFlush();
    EXPECT_EQ(CountPixels(WHITE), DIB_SIZE * DIB_SIZE);
}

// The number of entries of a palette, and its entry i as a colour.
int PaletteSize(HPALETTE palette)
{
    WORD n = 0;
    return palette && GetObjectA(palette, sizeof n, &n) ? n : 0;
}
COLORREF PaletteColour(HPALETTE palette, int i)
{
    PALETTEENTRY e{};
    GetPaletteEntries(palette, UINT(i), 1, &e);
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

TEST_F(BitmapDrawTest, TableImagesBringTheirPaletteAndTrueColourOnesAHalftoneOnPaletteScreens)
{
    struct Case {
        uint16_t bits;
        int entries; // of the entry's own palette on this (true-colour) screen
    };
    for (const Case c : {Case{1, 0}, Case{4, 16}, Case{8, 256}, Case{24, 0}}) {
        char name[32];
        std::snprintf(name, sizeof name, "#B depth %u", c.bits);
        Place(name, PictureBmp(c.bits, false, false), 0, 0);
        BitmapEntry *e = ImageFindBitmap(name, 0);
        ASSERT_NE(e, nullptr) << c.bits;
        EXPECT_EQ(PaletteSize(e->palette), c.entries) << c.bits;
        if (c.entries)
            EXPECT_EQ(PaletteColour(e->palette, 1), Ref(PICTURE[1])) << c.bits;
        if (c.bits == 24) {
            // On a screen of fewer than 15 bits a true-colour image is drawn through a halftone palette.
            HPALETTE halftone = ImageChoosePalette(e, 8);
            EXPECT_GT(PaletteSize(halftone), 0);
            DeleteObject(halftone);
            EXPECT_EQ(ImageChoosePalette(e, 16), nullptr);
        }
    }
    // The palette goes with its entry.
    HPALETTE palette = ImageFindBitmap("#B depth 8", 0)->palette;
    ImageFreeBitmaps(1);
    EXPECT_EQ(GetObjectType(palette), 0u);
    // Drawn with its palette, the picture keeps its colours.
    const BitmapRefData ref = Place("#B eight", PictureBmp(8, false, false), 40, 40);
    Draw(ref);
    EXPECT_EQ(WorldPixel(42, 42), Ref(PICTURE[0]));
    EXPECT_EQ(WorldPixel(58, 58), Ref(PICTURE[3]));
}

TEST_F(BitmapDrawTest, TheListHoldsAsManyImagesAsTheOptionSays)
{
    const int32_t option = g_Options.bitmapCount;
    g_Options.bitmapCount = 2;
    ASSERT_EQ(ImageInitBitmapList(), 1);
    for (const char *name : {"#B one", "#B two", "#B three"})
        Place(name, PictureBmp(24, false, false), 0, 0);
    EXPECT_NE(ImageFindBitmap("#B one", 0), nullptr);
    EXPECT_NE(ImageFindBitmap("#B two", 0), nullptr);
    EXPECT_EQ(ImageFindBitmap("#B three", 0), nullptr) << "the list is full";
    EXPECT_EQ(g_BitmapList.count, 2);
    EXPECT_EQ(g_BitmapList.entries[1].width, 2);
    // Removing one moves the next down and makes room.
    EXPECT_EQ(ImageRemoveEntry(0), 1);
    EXPECT_STREQ(g_BitmapList.entries[0].name, "#B two");
    EXPECT_NE(ImageFindBitmap("#B three", 0), nullptr);
    // More than the memory can hold falls back to the default.
    g_Options.bitmapCount = 8000000;
    ASSERT_EQ(ImageInitBitmapList(), 1);
    EXPECT_EQ(g_Options.bitmapCount, BITMAP_COUNT_DEFAULT);
    EXPECT_EQ(g_BitmapList.count, 0);
    g_Options.bitmapCount = option;
    ASSERT_EQ(ImageInitBitmapList(), 1);
}

} // namespace

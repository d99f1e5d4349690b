// Bitmap headers: sound files of every kind are taken, every malformed
// header is refused before its bytes are used.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "common/test_files.h"
#include "files/image_file.h"

namespace {

void Put16(std::vector<uint8_t> &b, size_t at, uint32_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t> &b, size_t at, uint32_t v)
{
    Put16(b, at, v);
    Put16(b, at + 2, v >> 16);
}

// A bitmap file with a 40-byte header: its colour table full, rows padded.
std::vector<uint8_t> Bmp(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0)
{
    const uint32_t colors = bits <= 8 ? 1u << bits : 0;
    const uint32_t masks = compression == 3 ? 12 : 0;
    const uint32_t stride = (bits * uint32_t(width) + 31) / 32 * 4;
    const uint32_t rows = uint32_t(height < 0 ? -height : height);
    const uint32_t offset = 14 + 40 + masks + 4 * colors;
    std::vector<uint8_t> b(offset + stride * rows, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, uint32_t(b.size()));
    Put32(b, 10, offset);
    Put32(b, 14, 40);
    Put32(b, 18, uint32_t(width));
    Put32(b, 22, uint32_t(height));
    Put16(b, 26, 1);
    Put16(b, 28, bits);
    Put32(b, 30, compression);
    if (masks) {
        Put32(b, 54, bits == 16 ? 0x7C00 : 0xFF0000);
        Put32(b, 58, bits == 16 ? 0x03E0 : 0x00FF00);
        Put32(b, 62, bits == 16 ? 0x001F : 0x0000FF);
    }
    return b;
}

// The same image with a 12-byte core header and 3-byte colours.
std::vector<uint8_t> CoreBmp(uint16_t width, uint16_t height, uint16_t bits)
{
    const uint32_t colors = bits <= 8 ? 1u << bits : 0;
    const uint32_t stride = (bits * uint32_t(width) + 31) / 32 * 4;
    const uint32_t offset = 14 + 12 + 3 * colors;
    std::vector<uint8_t> b(offset + stride * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, offset);
    Put32(b, 14, 12);
    Put16(b, 18, width);
    Put16(b, 20, height);
    Put16(b, 22, 1);
    Put16(b, 24, bits);
    return b;
}

TEST(ImageFile, SoundBitmapsOfEveryKindAreTaken)
{
    const std::vector<std::vector<uint8_t>> sound = {
        Bmp(5, 3, 1), Bmp(5, 3, 4), Bmp(5, 3, 8), Bmp(5, 3, 24), Bmp(5, -3, 24), // top-down rows
        Bmp(5, 3, 16, 3), Bmp(5, 3, 32, 3), CoreBmp(5, 3, 1), CoreBmp(5, 3, 8), CoreBmp(5, 3, 24),
    };
    for (size_t i = 0; i < sound.size(); ++i) {
        ImageDibInfo info{};
        EXPECT_EQ(ImageValidateDib(sound[i].data(), sound[i].size(), true, &info), IMAGE_DIB_OK) << i;
        EXPECT_EQ(info.width, 5) << i;
    }
    // A DIB without the file header, as the clipboard holds it.
    const std::vector<uint8_t> b = Bmp(5, 3, 8);
    EXPECT_EQ(ImageValidateDib(b.data() + 14, b.size() - 14, false, nullptr), IMAGE_DIB_OK);

    TestTempFile file("image_file_sound.bmp");
    TestWriteFile(file.Path(), std::string(b.begin(), b.end()));
    EXPECT_EQ(ImageCheckFile(file.Path()), 1);
    TestTempFile text("image_file_text.bmp");
    TestWriteFile(text.Path(), "no picture");
    EXPECT_EQ(ImageCheckFile(text.Path()), 0);
}

TEST(ImageFile, MalformedHeadersAreRefused)
{
    struct Case {
        const char *what;
        std::function<void(std::vector<uint8_t> &)> spoil;
        ImageDibFault fault;
    };
    const Case cases[] = {
        {"header size 64", [](auto &b) { Put32(b, 14, 64); }, IMAGE_DIB_HEADER_SIZE},
        {"width 0", [](auto &b) { Put32(b, 18, 0); }, IMAGE_DIB_SIZE},
        {"negative width", [](auto &b) { Put32(b, 18, uint32_t(-5)); }, IMAGE_DIB_SIZE},
        {"huge height", [](auto &b) { Put32(b, 22, 0x7FFFFFFF); }, IMAGE_DIB_SIZE},
        {"two planes", [](auto &b) { Put16(b, 26, 2); }, IMAGE_DIB_PLANES},
        {"7 bits", [](auto &b) { Put16(b, 28, 7); }, IMAGE_DIB_BIT_COUNT},
        {"compression 9", [](auto &b) { Put32(b, 30, 9); }, IMAGE_DIB_COMPRESSION},
        {"RLE4 on 8 bits", [](auto &b) { Put32(b, 30, 2); }, IMAGE_DIB_COMPRESSION},
        {"bitfields on 8 bits", [](auto &b) { Put32(b, 30, 3); }, IMAGE_DIB_COMPRESSION},
        {"300 colours for 8 bits", [](auto &b) { Put32(b, 46, 300); }, IMAGE_DIB_COLORS},
        {"image size too small", [](auto &b) { Put32(b, 34, 4); }, IMAGE_DIB_IMAGE_SIZE},
        {"pixels cut short", [](auto &b) { b.resize(b.size() - 1); }, IMAGE_DIB_SHORT},
        {"pixel offset inside the header", [](auto &b) { Put32(b, 10, 20); }, IMAGE_DIB_SHORT},
        {"pixel offset past the end", [](auto &b) { Put32(b, 10, 0xFFFFFF00); }, IMAGE_DIB_SHORT},
        {"header cut short", [](auto &b) { b.resize(30); }, IMAGE_DIB_SHORT},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> b = Bmp(5, 3, 8);
        c.spoil(b);
        EXPECT_EQ(ImageValidateDib(b.data(), b.size(), true, nullptr), c.fault) << c.what;
    }
    // Bitfield masks: empty, overlapping or wider than the pixel.
    for (uint32_t green : {0x0u, 0x7C00u, 0x10000u}) {
        std::vector<uint8_t> b = Bmp(5, 3, 16, 3);
        Put32(b, 58, green);
        EXPECT_EQ(ImageValidateDib(b.data(), b.size(), true, nullptr), IMAGE_DIB_MASKS) << green;
    }
    // Compressed rows must say their size, and top-down rows cannot be compressed.
    std::vector<uint8_t> rle = Bmp(5, 3, 8, 1);
    EXPECT_EQ(ImageValidateDib(rle.data(), rle.size(), true, nullptr), IMAGE_DIB_IMAGE_SIZE);
    Put32(rle, 34, 8);
    EXPECT_EQ(ImageValidateDib(rle.data(), rle.size(), true, nullptr), IMAGE_DIB_OK);
    Put32(rle, 22, uint32_t(-3));
    EXPECT_EQ(ImageValidateDib(rle.data(), rle.size(), true, nullptr), IMAGE_DIB_COMPRESSION);
}

} // namespace

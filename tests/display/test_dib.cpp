#include "test_dib.h"

TestDib::TestDib(int width, int height, HDC like) : width(width), height(height)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(like);
    void *p = nullptr;
    bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint32_t *>(p);
    if (bitmap)
        old = SelectObject(dc, bitmap);
}

TestDib::~TestDib()
{
    if (old)
        SelectObject(dc, old);
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(dc);
}

uint32_t TestDib::Rgb(int x, int y) const
{
    GdiFlush();
    return bits[y * width + x] & 0xFFFFFF;
}

void TestDib::Fill(uint32_t rgb)
{
    GdiFlush();
    for (int i = 0; i < width * height; ++i)
        bits[i] = rgb;
}

// A 32-bit top-down memory DIB selected into a memory DC of its own, for
// tests that draw into memory and read the pixels back.
#pragma once

#include <windows.h>

#include <cstdint>

struct TestDib {
    // `like`: the DC the memory DC is made compatible with (0: the screen).
    TestDib(int width, int height, HDC like = nullptr);
    ~TestDib();
    TestDib(const TestDib &) = delete;
    TestDib &operator=(const TestDib &) = delete;

    // The pixel at (x, y) as 0x00RRGGBB, after pending drawing is done.
    uint32_t Rgb(int x, int y) const;
    // Sets every pixel to 0x00RRGGBB.
    void Fill(uint32_t rgb);

    const int width, height;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr; // null when it could not be made
    HGDIOBJ old = nullptr;
    uint32_t *bits = nullptr;
};

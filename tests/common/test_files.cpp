#include "common/test_files.h"

#include <windows.h>

#include <fstream>
#include <iterator>

std::string TestTempPath(const char *name)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

std::string TestReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TestWriteFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

TestTempFile::TestTempFile(const char *name) : path_(TestTempPath(name))
{
    DeleteFileA(path_.c_str());
}

TestTempFile::~TestTempFile()
{
    DeleteFileA(path_.c_str());
}

std::string TestBmpFile(int width, int height, int pixelsPerMetre)
{
    const uint32_t stride = (uint32_t(width) * 3 + 3) / 4 * 4, offset = 14 + 40;
    std::string b(offset + stride * uint32_t(height), '\xFF');
    auto put = [&](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b[at + size_t(i)] = char(uint8_t(v >> (8 * i)));
    };
    b[0] = 'B', b[1] = 'M';
    put(2, uint32_t(b.size()), 4);
    put(6, 0, 4);
    put(10, offset, 4);
    put(14, 40, 4);
    put(18, uint32_t(width), 4);
    put(22, uint32_t(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(30, 0, 4);
    put(34, stride * uint32_t(height), 4);
    put(38, uint32_t(pixelsPerMetre), 4);
    put(42, uint32_t(pixelsPerMetre), 4);
    put(46, 0, 4);
    put(50, 0, 4);
    return b;
}

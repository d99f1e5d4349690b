// The few records of the zip format the two helper programs use: one file a
// local header, deflated data, then the central directory and its end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <vector>

constexpr uint32_t ZIP_LOCAL_SIGNATURE = 0x04034b50;
constexpr uint32_t ZIP_CENTRAL_SIGNATURE = 0x02014b50;
constexpr uint32_t ZIP_END_SIGNATURE = 0x06054b50;
constexpr uint16_t ZIP_METHOD_STORED = 0;
constexpr uint16_t ZIP_METHOD_DEFLATED = 8;
constexpr uint16_t ZIP_VERSION = 20;
constexpr int ZIP_LOCAL_HEADER_SIZE = 30;
constexpr int ZIP_CENTRAL_HEADER_SIZE = 46;
constexpr int ZIP_END_SIZE = 22;
// Larger files are refused: the helpers keep a file in memory.
constexpr uint32_t ZIP_MAX_FILE_SIZE = 0x40000000;
// Deflate packs at most about 1032 bytes into one: an entry that claims to
// unpack to more than that many times its packed size (and a little slack)
// is damaged, and its size is refused before any memory is taken for it.
constexpr uint64_t ZIP_DEFLATE_MAX_RATIO = 1032;
constexpr uint64_t ZIP_DEFLATE_SLACK = 64;

// Exit codes: 0 success, the others name the failing step.
constexpr int ZIP_EXIT_OK = 0;
constexpr int ZIP_EXIT_USAGE = 1;
constexpr int ZIP_EXIT_READ = 2;
constexpr int ZIP_EXIT_WRITE = 3;
constexpr int ZIP_EXIT_FORMAT = 4;

inline uint16_t ZipGet16(const unsigned char *p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t ZipGet32(const unsigned char *p) { return uint32_t(p[0] | p[1] << 8 | p[2] << 16) | uint32_t(p[3]) << 24; }
inline void ZipPut16(unsigned char *p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void ZipPut32(unsigned char *p, uint32_t v)
{
    ZipPut16(p, v);
    ZipPut16(p + 2, v >> 16);
}

// The whole file, at most ZIP_MAX_FILE_SIZE bytes.
inline bool ZipReadWhole(const char *path, std::vector<unsigned char> &out)
{
    FILE *f = std::fopen(path, "rb");
    if (!f)
        return false;
    unsigned char buffer[65536];
    size_t n;
    bool ok = true;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        if (out.size() + n > ZIP_MAX_FILE_SIZE) {
            ok = false;
            break;
        }
        out.insert(out.end(), buffer, buffer + n);
    }
    ok = ok && !std::ferror(f);
    std::fclose(f);
    return ok;
}

// One run of bytes of a file being written.
struct ZipPiece {
    const void *bytes;
    size_t size;
};

// A new file at path made of the pieces, one after another; on any failure
// the file is removed and false returned. Written through WriteFile and not
// the C runtime: its buffered writes were seen to report success on a full
// disk and leave an empty file behind.
inline bool ZipWriteWhole(const char *path, std::initializer_list<ZipPiece> pieces)
{
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (const ZipPiece &piece : pieces) {
        const auto *at = static_cast<const unsigned char *>(piece.bytes);
        size_t left = piece.size;
        while (ok && left) {
            const DWORD chunk = left > 0x100000 ? 0x100000 : DWORD(left);
            DWORD done = 0;
            ok = WriteFile(f, at, chunk, &done, nullptr) && done == chunk;
            at += chunk;
            left -= chunk;
        }
    }
    ok = FlushFileBuffers(f) && ok;
    ok = CloseHandle(f) && ok;
    if (!ok)
        DeleteFileA(path);
    return ok;
}

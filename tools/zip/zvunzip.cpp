// ZVUNZIP archive folder [-n] [-q] ["-s..."]: unpacks every file of a zip
// archive into the folder (which ends in a backslash), under its name
// without the folders stored in the archive. Stored and deflated entries;
// every size and offset is checked against the archive before use.
// Exit code 0 on success.
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/zip/zip_format.h"

namespace {

bool Inflate(const unsigned char *in, uint32_t size, std::vector<unsigned char> &out)
{
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return false;
    z.next_in = const_cast<Bytef *>(in);
    z.avail_in = size;
    int r = Z_OK;
    while (r == Z_OK) {
        z.next_out = out.data() + z.total_out;
        z.avail_out = uInt(out.size() - z.total_out);
        r = inflate(&z, Z_FINISH);
        if (r == Z_BUF_ERROR && z.avail_out == 0)
            r = Z_DATA_ERROR; // more output than the header announced
    }
    const bool ok = r == Z_STREAM_END && z.total_out == out.size();
    inflateEnd(&z);
    return ok;
}

// The stored name without its folders; empty when nothing is left.
std::string SafeName(const unsigned char *name, uint32_t length)
{
    std::string s(reinterpret_cast<const char *>(name), length);
    const size_t cut = s.find_last_of("\\/:");
    if (cut != std::string::npos)
        s.erase(0, cut + 1);
    if (s == "." || s == "..")
        s.clear();
    return s;
}

int Extract(const std::vector<unsigned char> &zip, uint32_t offset, const std::string &folder)
{
    const size_t size = zip.size();
    if (offset > size || size - offset < ZIP_LOCAL_HEADER_SIZE)
        return ZIP_EXIT_FORMAT;
    const unsigned char *h = zip.data() + offset;
    if (ZipGet32(h) != ZIP_LOCAL_SIGNATURE || (ZipGet16(h + 6) & 1)) // encrypted entries are not read
        return ZIP_EXIT_FORMAT;
    const uint16_t method = ZipGet16(h + 8);
    const uint32_t crc = ZipGet32(h + 14), packedSize = ZipGet32(h + 18), fullSize = ZipGet32(h + 22);
    const uint32_t nameLength = ZipGet16(h + 26), extraLength = ZipGet16(h + 28);
    const uint64_t dataStart = uint64_t(offset) + ZIP_LOCAL_HEADER_SIZE + nameLength + extraLength;
    if (dataStart + packedSize > size || fullSize > ZIP_MAX_FILE_SIZE)
        return ZIP_EXIT_FORMAT;
    // The announced size must fit the packed data before it is allocated.
    if (method == ZIP_METHOD_STORED ? packedSize != fullSize
                                    : fullSize > uint64_t(packedSize) * ZIP_DEFLATE_MAX_RATIO + ZIP_DEFLATE_SLACK)
        return ZIP_EXIT_FORMAT;
    const std::string name = SafeName(h + ZIP_LOCAL_HEADER_SIZE, nameLength);
    if (name.empty())
        return ZIP_EXIT_OK; // a folder entry
    std::vector<unsigned char> data(fullSize);
    const unsigned char *packed = zip.data() + dataStart;
    if (method == ZIP_METHOD_STORED) {
        std::memcpy(data.data(), packed, fullSize);
    } else if (method != ZIP_METHOD_DEFLATED || !Inflate(packed, packedSize, data)) {
        return ZIP_EXIT_FORMAT;
    }
    if (uint32_t(crc32(crc32(0, nullptr, 0), data.data(), uInt(data.size()))) != crc)
        return ZIP_EXIT_FORMAT;
    const std::string path = folder + name;
    if (!ZipWriteWhole(path.c_str(), {{data.data(), data.size()}}))
        return ZIP_EXIT_WRITE;
    return ZIP_EXIT_OK;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return ZIP_EXIT_USAGE;
    std::vector<unsigned char> zip;
    if (!ZipReadWhole(argv[1], zip))
        return ZIP_EXIT_READ;
    // The folder is passed quoted with its trailing backslash, which the
    // start-up code reads as an escaped quote: the rest of the line then
    // sticks to it.
    std::string folder = argv[2];
    const size_t quote = folder.find('"');
    if (quote != std::string::npos)
        folder.erase(quote);
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    // The end record, searched from the back past a comment of up to 64 KB.
    if (zip.size() < ZIP_END_SIZE)
        return ZIP_EXIT_FORMAT;
    size_t end = zip.size() - ZIP_END_SIZE;
    const size_t lowest = end > 0xFFFF ? end - 0xFFFF : 0;
    while (ZipGet32(zip.data() + end) != ZIP_END_SIGNATURE) {
        if (end == lowest)
            return ZIP_EXIT_FORMAT;
        --end;
    }
    const uint32_t entries = ZipGet16(zip.data() + end + 10);
    uint64_t at = ZipGet32(zip.data() + end + 16);
    if (!entries)
        return ZIP_EXIT_FORMAT;
    for (uint32_t i = 0; i < entries; ++i) {
        if (at + ZIP_CENTRAL_HEADER_SIZE > end)
            return ZIP_EXIT_FORMAT;
        const unsigned char *c = zip.data() + at;
        if (ZipGet32(c) != ZIP_CENTRAL_SIGNATURE)
            return ZIP_EXIT_FORMAT;
        const int result = Extract(zip, ZipGet32(c + 42), folder);
        if (result != ZIP_EXIT_OK)
            return result;
        at += uint64_t(ZIP_CENTRAL_HEADER_SIZE) + ZipGet16(c + 28) + ZipGet16(c + 30) + ZipGet16(c + 32);
    }
    return ZIP_EXIT_OK;
}

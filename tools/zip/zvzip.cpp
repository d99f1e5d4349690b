// ZVZIP archive file [-n] [-q] ["-s..."]: packs one file into a new zip
// archive (deflated), under the file's name without its folder. The options
// are accepted as the program passes them; a password is not applied.
// Exit code 0 on success.
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/zip/zip_format.h"

namespace {

bool Deflate(const std::vector<unsigned char> &in, std::vector<unsigned char> &out)
{
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&z, uLong(in.size())) + 16);
    z.next_in = const_cast<Bytef *>(in.data());
    z.avail_in = uInt(in.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    const int r = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return r == Z_STREAM_END;
}

const char *BaseName(const char *path)
{
    const char *name = path;
    for (const char *p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    return name;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return ZIP_EXIT_USAGE;
    const char *archive = argv[1], *file = argv[2];
    std::vector<unsigned char> data, packed;
    if (!ZipReadWhole(file, data))
        return ZIP_EXIT_READ;
    if (!Deflate(data, packed))
        return ZIP_EXIT_FORMAT;
    const char *name = BaseName(file);
    const uint32_t nameLength = uint32_t(std::strlen(name));
    const uint32_t crc = uint32_t(crc32(crc32(0, nullptr, 0), data.data(), uInt(data.size())));

    unsigned char local[ZIP_LOCAL_HEADER_SIZE] = {};
    ZipPut32(local, ZIP_LOCAL_SIGNATURE);
    ZipPut16(local + 4, ZIP_VERSION);
    ZipPut16(local + 8, ZIP_METHOD_DEFLATED);
    ZipPut32(local + 14, crc);
    ZipPut32(local + 18, uint32_t(packed.size()));
    ZipPut32(local + 22, uint32_t(data.size()));
    ZipPut16(local + 26, nameLength);

    unsigned char central[ZIP_CENTRAL_HEADER_SIZE] = {};
    ZipPut32(central, ZIP_CENTRAL_SIGNATURE);
    ZipPut16(central + 4, ZIP_VERSION);
    ZipPut16(central + 6, ZIP_VERSION);
    std::memcpy(central + 8, local + 6, 24); // flags to the name length
    const uint32_t centralOffset = ZIP_LOCAL_HEADER_SIZE + nameLength + uint32_t(packed.size());

    unsigned char end[ZIP_END_SIZE] = {};
    ZipPut32(end, ZIP_END_SIGNATURE);
    ZipPut16(end + 8, 1);
    ZipPut16(end + 10, 1);
    ZipPut32(end + 12, ZIP_CENTRAL_HEADER_SIZE + nameLength);
    ZipPut32(end + 16, centralOffset);

    if (!ZipWriteWhole(archive, {{local, sizeof local},
                                 {name, nameLength},
                                 {packed.data(), packed.size()},
                                 {central, sizeof central},
                                 {name, nameLength},
                                 {end, sizeof end}}))
        return ZIP_EXIT_WRITE;
    return ZIP_EXIT_OK;
}

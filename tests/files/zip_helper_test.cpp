// The unpacking helper against archives whose headers lie about their
// entries: it refuses them before taking any memory for what they announce.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/test_files.h"
#include "tools/zip/zip_format.h"

namespace {

// The zip format's CRC-32 (reflected, polynomial 0xEDB88320).
uint32_t Crc32(const std::string &bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// An archive of one entry named "x.zvd" whose local and central headers
// announce the given method and sizes; the packed bytes are `packed` 'a's.
std::string OneEntryArchive(uint16_t method, uint32_t packed, uint32_t full)
{
    const std::string name = "x.zvd";
    const uint32_t crc = Crc32(std::string(full == packed ? packed : 0, 'a'));
    std::string local(ZIP_LOCAL_HEADER_SIZE, '\0');
    auto *h = reinterpret_cast<unsigned char *>(local.data());
    ZipPut32(h, ZIP_LOCAL_SIGNATURE);
    ZipPut16(h + 4, ZIP_VERSION);
    ZipPut16(h + 8, method);
    ZipPut32(h + 14, crc);
    ZipPut32(h + 18, packed);
    ZipPut32(h + 22, full);
    ZipPut16(h + 26, uint32_t(name.size()));
    const std::string entry = local + name + std::string(packed, 'a');

    std::string central(ZIP_CENTRAL_HEADER_SIZE, '\0');
    auto *c = reinterpret_cast<unsigned char *>(central.data());
    ZipPut32(c, ZIP_CENTRAL_SIGNATURE);
    ZipPut16(c + 10, method);
    ZipPut32(c + 16, crc);
    ZipPut32(c + 20, packed);
    ZipPut32(c + 24, full);
    ZipPut16(c + 28, uint32_t(name.size()));
    ZipPut32(c + 42, 0);
    central += name;

    std::string end(ZIP_END_SIZE, '\0');
    auto *e = reinterpret_cast<unsigned char *>(end.data());
    ZipPut32(e, ZIP_END_SIGNATURE);
    ZipPut16(e + 8, 1);
    ZipPut16(e + 10, 1);
    ZipPut32(e + 12, uint32_t(central.size()));
    ZipPut32(e + 16, uint32_t(entry.size()));
    return entry + central + end;
}

// ZVUNZIP (beside this test program) on the archive; its exit code.
DWORD Unzip(const std::string &archive, const std::string &folder)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string line = self;
    line.erase(line.find_last_of('\\') + 1);
    line = "\"" + line + "ZVUNZIP.exe\" \"" + archive + "\" \"" + folder + "\" -n -q";
    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
        return DWORD(-1);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = DWORD(-1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

TEST(ZipHelper, AnEntryThatAnnouncesMoreThanItsDataCanHoldIsRefusedUnread)
{
    struct Case {
        const char *what;
        uint16_t method;
        uint32_t packed, full;
    };
    const Case cases[] = {
        // 16 packed bytes cannot inflate to a gigabyte: refused before the
        // helper asks for a gigabyte of memory.
        {"deflated, a gigabyte announced", ZIP_METHOD_DEFLATED, 16, ZIP_MAX_FILE_SIZE - 1},
        {"deflated, just past what deflate can pack", ZIP_METHOD_DEFLATED, 16,
         uint32_t(16 * ZIP_DEFLATE_MAX_RATIO + ZIP_DEFLATE_SLACK + 1)},
        {"stored, sizes differ", ZIP_METHOD_STORED, 16, 17},
    };
    const std::string folder = TestTempPath("zip_helper\\");
    CreateDirectoryA(folder.c_str(), nullptr);
    TestTempFile archive("zip_helper_lying.zip");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TestWriteFile(archive.Path(), OneEntryArchive(c.method, c.packed, c.full));
        EXPECT_EQ(Unzip(archive.Path(), folder), DWORD(ZIP_EXIT_FORMAT));
        EXPECT_EQ(GetFileAttributesA((folder + "x.zvd").c_str()), INVALID_FILE_ATTRIBUTES) << "nothing unpacked";
    }
    // The same archive telling the truth about a stored entry unpacks.
    TestWriteFile(archive.Path(), OneEntryArchive(ZIP_METHOD_STORED, 16, 16));
    EXPECT_EQ(Unzip(archive.Path(), folder), DWORD(ZIP_EXIT_OK));
    DeleteFileA((folder + "x.zvd").c_str());
    RemoveDirectoryA(folder.c_str());
}

} // namespace

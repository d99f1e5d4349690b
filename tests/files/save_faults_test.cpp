// Every path that writes a file over an old one, against the faults a disk
// gives: the old file stays byte for byte, no temporary file is left beside
// it, and one message names the file and the cause. (A full disk and the
// file-size limit need a mount or a limit of the shell: see
// scripts/save_faults.sh, run by hand.)
#include <cstdio>

#include "app/system.h"
#include "app/system_defs.h"
#include "dialogs/box15.h"
#include "dialogs/box16.h"
#include "files/file_library.h"
#include "files/file_onesection.h"
#include "files/file_commands.h"
#include "meta_fixture.h"

namespace {

// The path under test: writes path; its alerts go to the log.
struct SavePath {
    const char *name;
    const char *extension;
    void (*save)(const char *path);
};

const SavePath PATHS[] = {
    {"drawing", ".zvd", [](const char *p) { FileSaveDrawing(&g_DrawingInfo.info, p, FILE_KIND_DRAWING, FILE_SECTIONS_ALL, 1); }},
    {"selection", ".zvd",
     [](const char *p) {
         FileSaveDrawing(&g_DrawingInfo.info, p, FILE_KIND_DRAWING, FILE_SECTIONS_ALL | FILE_MODE_SELECTION, 0);
     }},
    {"zipped", ".zvd", [](const char *p) { FileSaveDrawing(&g_DrawingInfo.info, p, FILE_KIND_ZIPPED, FILE_SECTIONS_ALL, 1); }},
    {"emf", ".emf", [](const char *p) { FileSaveDrawing(&g_DrawingInfo.info, p, FILE_KIND_EMF, FILE_SECTIONS_ALL, 0); }},
    {"wmf", ".wmf", [](const char *p) { FileSaveDrawing(&g_DrawingInfo.info, p, FILE_KIND_WMF, FILE_SECTIONS_ALL, 0); }},
    {"library", ".zvl", [](const char *p) { FileWriteLibrary(p, 0, FILE_SECTIONS_ALL); }},
    {"pens", ".zvd", [](const char *p) { FileSavePens(p, g_PenDefs, 0, 0); }},
    {"keys", ".txt",
     [](const char *p) {
         int32_t keys[KEYBOARD_KEYS];
         for (int32_t &k : keys)
             k = 501;
         Box16KeyListWrite(nullptr, p, keys);
     }},
};

enum class Fault { ReadOnly, Locked, MissingFolder, DiskFull };
struct FaultCase {
    Fault fault;
    const char *name;
    const char *cause; // a part of the message
};
const FaultCase FAULTS[] = {
    {Fault::ReadOnly, "read-only", "read-only"},
    {Fault::Locked, "locked", ""},
    {Fault::MissingFolder, "missing folder", ""},
    {Fault::DiskFull, "disk full", "room"},
};

// A folder on a small file system of its own, named by the environment
// (scripts/save_faults.sh mounts one); the full-disk case runs only there.
std::string FullDiskFolder()
{
    char folder[MAX_PATH] = "";
    const DWORD n = GetEnvironmentVariableA("DARAD4_FULL_DISK_FOLDER", folder, sizeof folder);
    return n > 0 && n < sizeof folder ? std::string(folder) + "\\" : std::string();
}

// Fills the disk of folder to the last byte with one file; its path.
std::string FillDisk(const std::string &folder)
{
    const std::string filler = folder + "filler.bin";
    HANDLE h = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::vector<char> block(4096, 'f');
    for (size_t size = block.size(); size > 0; size /= 2) {
        DWORD done = 0;
        while (WriteFile(h, block.data(), DWORD(size), &done, nullptr) && done == size) {
        }
    }
    CloseHandle(h);
    return filler;
}

// The names in a folder.
std::vector<std::string> FolderNames(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
}

class SaveFaults : public MetaTest {};

TEST_F(SaveFaults, EveryPathLeavesTheOldFileAndNoTemporaryFileAndSaysWhy)
{
    ASSERT_NE(TestNewLine(0, 0, 40, 20), nullptr);
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next) {
        FrameCalcObject(u, 1);
        u->flags |= UNIT_SELECTED;
    }
    const std::string folder = TestTempPath("save_faults\\");
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string old = "the old file, which must survive";
    const std::string full = FullDiskFolder();
    for (const SavePath &path : PATHS)
        for (const FaultCase &f : FAULTS) {
            if (f.fault == Fault::DiskFull && full.empty())
                continue;
            SCOPED_TRACE(std::string(path.name) + " / " + f.name);
            const std::string name = std::string("target_") + path.name + path.extension;
            const std::string home = f.fault == Fault::DiskFull ? full : folder;
            const std::string target = (f.fault == Fault::MissingFolder ? folder + "missing\\" : home) + name;
            HANDLE held = INVALID_HANDLE_VALUE;
            if (f.fault != Fault::MissingFolder) {
                FILE *file = std::fopen(target.c_str(), "wb");
                ASSERT_NE(file, nullptr);
                std::fwrite(old.data(), 1, old.size(), file);
                std::fclose(file);
            }
            if (f.fault == Fault::ReadOnly)
                SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
            if (f.fault == Fault::Locked)
                held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            const std::string filler = f.fault == Fault::DiskFull ? FillDisk(full) : std::string();
            const std::vector<std::string> before = FolderNames(home);
            DrawLog() = DrawFileLog{};
            path.save(target.c_str());
            if (held != INVALID_HANDLE_VALUE)
                CloseHandle(held);
            EXPECT_EQ(FolderNames(home), before) << "a temporary file was left or the old one went";
            if (!filler.empty())
                DeleteFileA(filler.c_str());
            if (f.fault != Fault::MissingFolder) {
                EXPECT_EQ(TestReadFile(target), old);
                SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(target.c_str());
            }
            // One message, naming the file (the WMF export asks first about its header).
            int naming = 0;
            for (const std::string &a : DrawLog().alerts)
                naming += a.find(name) != std::string::npos;
            EXPECT_EQ(naming, 1) << (DrawLog().alerts.empty() ? "" : DrawLog().alerts.back());
            EXPECT_LE(DrawLog().alerts.size(), std::string(path.name) == "wmf" ? 2u : 1u);
            // The packer of a zipped save says only that it failed.
            const bool packer = f.fault == Fault::DiskFull && std::string(path.name) == "zipped";
            for (const std::string &a : DrawLog().alerts)
                if (a.find(name) != std::string::npos && !packer)
                    EXPECT_NE(a.find(f.cause), std::string::npos) << a;
        }
    RemoveDirectoryA(folder.c_str());
}

// An export over an old file that works replaces it, and leaves nothing else.
TEST_F(SaveFaults, AnExportThatWorksReplacesTheOldFile)
{
    ASSERT_NE(TestNewLine(0, 0, 40, 20), nullptr);
    FrameCalcObject(g_ObjectLists[LIST_DRAWING].head, 1);
    const std::string folder = TestTempPath("save_faults_ok\\");
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char *name : {"a.emf", "a.wmf"}) {
        const std::string target = folder + name;
        FILE *file = std::fopen(target.c_str(), "wb");
        std::fputs("old", file);
        std::fclose(file);
        ASSERT_EQ(std::string(name) == "a.emf" ? MetaExportEmf(nullptr, target.c_str(), 0)
                                               : MetaWriteWmfFile(nullptr, target.c_str(), 0, 1),
                  1);
        EXPECT_GT(TestReadFile(target).size(), 100u);
        DeleteFileA(target.c_str());
    }
    EXPECT_EQ(FolderNames(folder).size(), 2u); // "." and ".."
    RemoveDirectoryA(folder.c_str());
}

} // namespace

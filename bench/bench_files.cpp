// Drawing files: writing and reading a drawing of 1,000,000 lines and one of
// 100,000 mixed objects, as MB/s and as a ratio to a plain read of the same
// file into memory (above 1: slower than the plain read by that factor).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/system.h"
#include "app/system_defs.h"
#include "bench/bench_common.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "files/file.h"
#include "files/zvi.h"
#include "geometry/frame.h"

namespace {

constexpr int LINE_COUNT = 1000000;
constexpr int MIXED_COUNT = 100000;
constexpr uint32_t SECTIONS = FILE_SECTIONS_ALL | FILE_MODE_QUIET;
constexpr double MEGABYTE = 1048576.0;

// The plain read the file code is compared with: the whole file into memory.
double PlainRead(const char *path, uint64_t *bytes)
{
    const double t0 = BenchSeconds();
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    const DWORD size = GetFileSize(f, nullptr);
    std::vector<char> data(size);
    DWORD got = 0;
    ReadFile(f, data.data(), size, &got, nullptr);
    CloseHandle(f);
    *bytes = got;
    return BenchSeconds() - t0;
}

void Measure(const char *name, int count, const int32_t *types, int typeCount)
{
    BenchFreshDrawing();
    BenchAddObjects(count, types, typeCount);
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    strcat(path, "bench_files.zvd");
    double t0 = BenchSeconds();
    if (!FileWriteDrawing(nullptr, path, SECTIONS)) {
        printf("%s: write failed\n", name);
        return;
    }
    const double write = BenchSeconds() - t0;
    uint64_t bytes = 0;
    double plain = PlainRead(path, &bytes);
    BenchFreshDrawing();
    t0 = BenchSeconds();
    const int ok = FileReadDrawing(nullptr, path, SECTIONS, 0);
    const double read = BenchSeconds() - t0;
    // A second plain read, now that the file is in the system's cache for both.
    const double plain2 = PlainRead(path, &bytes);
    if (plain2 > 0 && plain2 < plain)
        plain = plain2;
    DeleteFileA(path);
    if (!ok || g_ObjectLists[LIST_DRAWING].count != uint32_t(count)) {
        printf("%s: read failed\n", name);
        return;
    }
    const double mb = double(bytes) / MEGABYTE;
    printf("%-44s %8.1f   (%.1f MB, write %.1f MB/s, plain read %.0f MB/s)\n", (std::string(name) + ".write_vs_plain_read").c_str(),
           write / plain, mb, mb / write, mb / plain);
    printf("%-44s %8.1f   (read %.1f MB/s)\n", (std::string(name) + ".read_vs_plain_read").c_str(), read / plain,
           mb / read);
    BenchFreshDrawing();
}

} // namespace

void BenchAddObjects(int count, const int32_t *types, int typeCount)
{
    static const char *const texts[] = {"label", "12.5", "", "", "", "", ""};
    std::vector<uint8_t> buffer(65536);
    Unit *u = reinterpret_cast<Unit *>(buffer.data());
    for (int i = 0; i < count; ++i) {
        const int32_t type = types[i % typeCount];
        std::memset(u, 0, 4096);
        ObjectChainShape shape{4, texts};
        if (!ObjectWriteChain(u, uint32_t(buffer.size()), type, shape))
            continue;
        u->property = XPropertyDefault();
        double v = (i % 1000) * 0.5;
        for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            if (ElementIsPoint(e)) {
                reinterpret_cast<ElementPoint *>(e)->x = v;
                reinterpret_cast<ElementPoint *>(e)->y = v * 0.25 + 1.0;
                v += 3.125;
            } else if (e->kind == ELEM_ORIENT) {
                *static_cast<double *>(ElementPayload(e)) = 1.0;
            }
        Unit *stored = MemListNewCopyAfter(LIST_DRAWING, u, u->bytes, nullptr);
        if (!stored) {
            printf("files: out of memory after %d objects\n", i);
            return;
        }
        UndoStampPermanent(stored);
        FrameCalcObject(stored, 0);
    }
}

void BenchFreshDrawing()
{
    MemFreeChunks();
    MemInitLists();
    MemEnlargeList();
    UndoReset();
    FileClearDrawing();
}

// Called by the benchmark program's main.
void BenchFiles()
{
    if (!ZVI_InitFileBuffers() || (!g_Universal1 && !MemInitWork())) {
        printf("files: no work memory\n");
        return;
    }
    printf("ratio = drawing-file time / plain read of the same file into memory\n");
    const int32_t lines[] = {OBJTYPE_LINE};
    Measure("files.lines_1M", LINE_COUNT, lines, 1);
    const int32_t mixed[] = {OBJTYPE_LINE, OBJTYPE_CIRCLE, OBJTYPE_CIRC_ARC, OBJTYPE_ELLIPSE, OBJTYPE_ELLI_ARC,
                             OBJTYPE_SPLINE, OBJTYPE_SURFACE, OBJTYPE_LINE_STR, OBJTYPE_DIM_DIST, OBJTYPE_DIM_ANGLE,
                             OBJTYPE_STD_TEXT, OBJTYPE_FRAME_TEXT, OBJTYPE_COMMENT, OBJTYPE_MARK, OBJTYPE_GEO_LINE};
    Measure("files.mixed_100k", MIXED_COUNT, mixed, int(sizeof mixed / sizeof mixed[0]));
    MemFreeChunks();
    MemInitLists();
}

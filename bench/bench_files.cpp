// Drawing files: writing and reading a drawing of 1,000,000 lines and one of
// 100,000 objects of the eight kinds drawings mix (lines, circles, arcs,
// ellipses, texts, hatches, dimensions and instances, made by the program's
// own creators), against the parse floor: reading the same file into
// memory and converting every number in it (strtod, and from_chars as the
// faster floor). Coordinates carry full double precision, as in real
// drawings. Absolute times are printed beside the ratios so that the load can
// be compared with other programs on a machine that runs 32-bit programs natively.
#include <windows.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/system.h"
#include "app/system_defs.h"
#include "bench/bench_common.h"
#include "commands/input_points.h"
#include "database/object.h"
#include "database/object_modify.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_index.h"
#include "database/undo.h"
#include "display/symbol.h"
#include "geometry/hatch.h"
#include "geometry/matrix.h"
#include "files/file.h"
#include "files/zvi.h"
#include "geometry/frame.h"

namespace {

constexpr int LINE_COUNT = 1000000;
constexpr int MIXED_COUNT = 100000;
// The mixed drawing is read this often: its figure moves with the load of a
// shared machine, and every run is printed.
constexpr int MIXED_RUNS = 3;
// The 1M-line file is read twice: its floor alone moves by a quarter from
// one measurement to the next on a shared machine.
constexpr int LINE_RUNS = 2;
constexpr uint32_t SECTIONS = FILE_SECTIONS_ALL | FILE_MODE_QUIET;
constexpr double MEGABYTE = 1048576.0;

// The whole file into memory; 0 when it cannot be read.
bool ReadWhole(const char *path, std::vector<char> *data)
{
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    const DWORD size = GetFileSize(f, nullptr);
    data->resize(size + 1);
    DWORD got = 0;
    ReadFile(f, data->data(), size, &got, nullptr);
    CloseHandle(f);
    (*data)[got] = 0;
    data->resize(got + 1);
    return true;
}

bool StartsNumber(const char *p)
{
    return (*p >= '0' && *p <= '9') || ((*p == '-' || *p == '.') && p[1] >= '0' && p[1] <= '9');
}

// The parse floor: the file read into memory and every number in it
// converted, by strtod or by from_chars; the sum keeps the work from being
// optimised away.
struct Floor {
    double seconds;
    uint64_t bytes;
    long numbers;
};

Floor ParseFloor(const char *path, bool useStrtod)
{
    Floor f{0, 0, 0};
    std::vector<char> data;
    const double t0 = BenchSeconds();
    if (!ReadWhole(path, &data))
        return f;
    const char *p = data.data(), *end = data.data() + data.size() - 1;
    double sum = 0;
    while (p < end) {
        if (!StartsNumber(p)) {
            ++p;
            continue;
        }
        double v = 0;
        if (useStrtod) {
            char *next = nullptr;
            v = std::strtod(p, &next);
            p = next > p ? next : p + 1;
        } else {
            auto r = std::from_chars(p, end, v);
            p = r.ptr > p ? r.ptr : p + 1;
        }
        sum += v;
        ++f.numbers;
        // The rest of a name or word is no number.
        while (p < end && ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z') || *p == '_'))
            ++p;
    }
    f.seconds = BenchSeconds() - t0;
    f.bytes = data.size() - 1;
    volatile double sink = sum;
    (void)sink;
    return f;
}

// The faster of two runs, the second with the file in the system's cache.
Floor BestFloor(const char *path, bool useStrtod)
{
    const Floor a = ParseFloor(path, useStrtod), b = ParseFloor(path, useStrtod);
    return b.seconds > 0 && b.seconds < a.seconds ? b : a;
}

void AddObjects(int count, const int32_t *types, int typeCount)
{
    static const char *const texts[] = {"label", "12.5", "", "", "", "", ""};
    std::vector<uint8_t> buffer(65536);
    std::mt19937 random(20261210);
    std::uniform_real_distribution<double> place(0.0, 1000.0), step(-5.0, 5.0);
    Unit *u = reinterpret_cast<Unit *>(buffer.data());
    for (int i = 0; i < count; ++i) {
        const int32_t type = types[i % typeCount];
        std::memset(u, 0, 4096);
        ObjectChainShape shape{4, texts};
        if (!ObjectWriteChain(u, uint32_t(buffer.size()), type, shape))
            continue;
        u->property = XPropertyDefault();
        // Full-precision coordinates around a random spot of a 1 m sheet.
        const double x0 = place(random), y0 = place(random);
        for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
            if (ElementIsPoint(e)) {
                reinterpret_cast<ElementPoint *>(e)->x = x0 + step(random);
                reinterpret_cast<ElementPoint *>(e)->y = y0 + step(random);
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

void SetCp(int i, double x, double y) { g_ConstructionPoints[i] = {x, y, 0, 0}; }

constexpr const char *MARK_BLOCK = "Mark";

// The block the instances show: two crossing lines of the drawing's own.
bool MakeMarkBlock()
{
    Unit *block = SymbolNewBlock(LIST_OWN_BLOCKS, MARK_BLOCK);
    if (!block)
        return false;
    for (double d : {-2.0, 2.0}) {
        SetCp(0, -2, d), SetCp(1, 2, -d);
        if (!ObjectNewLine(OBJTYPE_LINE, 0, 1))
            return false;
        Unit *line = g_ObjectLists[LIST_DRAWING].tail;
        if (!SymbolAddMember(LIST_OWN_BLOCKS, block, line))
            return false;
        MemListDelete(LIST_DRAWING, line);
    }
    SymbolRebuildOwnIndex();
    return true;
}

// A hatched 8 mm square made by the hatch command's creator, as a record to
// store again elsewhere: the creator reads the selection, which costs a walk
// of the drawing per hatch.
std::vector<uint8_t> HatchRecord()
{
    const double xy[] = {0, 0, 8, 0, 8, 8, 0, 8};
    std::vector<uint8_t> record;
    if (!ObjectNewPolylineFromArray(OBJTYPE_SURFACE, xy, 4))
        return record;
    Unit *square = g_ObjectLists[LIST_DRAWING].tail;
    square->flags |= UNIT_SELECTED;
    UndoNoteUnit(square);
    const HatchDef def = BenchPlainHatch();
    if (HatchCreate(&def, UNIT_SELECTED)) {
        Unit *hatch = g_ObjectLists[LIST_DRAWING].tail;
        if (hatch != square && hatch->kind == UNIT_KIND_OBJECT && hatch->object.type == OBJTYPE_HATCH)
            record.assign(reinterpret_cast<uint8_t *>(hatch), reinterpret_cast<uint8_t *>(hatch) + hatch->bytes);
    }
    while (g_ObjectLists[LIST_DRAWING].head)
        MemListDelete(LIST_DRAWING, g_ObjectLists[LIST_DRAWING].head);
    return record;
}

// One object of kind k (of eight) at (x, y); false when it could not be made.
bool CreateOfKind(int k, double x, double y, std::mt19937 &random, const std::vector<uint8_t> &hatch)
{
    std::uniform_real_distribution<double> step(-5.0, 5.0);
    const double dx = step(random), dy = step(random);
    switch (k) {
    case 0: SetCp(0, x, y), SetCp(1, x + dx, y + dy); return ObjectNewLine(OBJTYPE_LINE, 0, 1) != 0;
    case 1: SetCp(0, x, y), SetCp(1, x + 1 + std::fabs(dx), y); return ObjectNewCircle(OBJTYPE_CIRCLE, 0, 1) != 0;
    case 2:
        SetCp(0, x, y), SetCp(1, x + 3, y), SetCp(2, x + 3, y), SetCp(3, x + dx, y + 3), SetCp(4, 1, 0);
        return ObjectNewCircleArc(OBJTYPE_CIRC_ARC, 0, 1, 2, 3, 4) != 0;
    case 3: SetCp(0, x, y), SetCp(1, x, y + 2), SetCp(2, x + 4, y); return ObjectNewEllipse(OBJTYPE_ELLIPSE, 0, 1, 2) != 0;
    case 4: {
        TextSettings s{};
        s.font.kind = FONT_KIND_TRUETYPE;
        s.font.weight = 400;
        std::strcpy(s.font.face, "Arial");
        s.distance[1] = 4.0;
        s.distance[2] = 1.0;
        const Matrix m{2.5, 0, 0, 2.5, x, y};
        return SymbolCreateStdText(&s, dx < 0 ? "Shaft 12.5 h7" : "label", &m) != 0;
    }
    case 5: {
        if (hatch.empty())
            return false;
        Unit *u = MemListNewCopyAfter(LIST_DRAWING, hatch.data(), uint32_t(hatch.size()), nullptr);
        if (!u)
            return false;
        UndoStampCreated(u);
        Matrix m;
        MatrixInit(&m);
        MatrixMove(&m, x, y);
        ObjectTransform(u, &m, 0);
        return true;
    }
    case 6:
        for (int i = 0; i < 7; ++i)
            SetCp(i, x + 2.0 * i, y + 3);
        SetCp(0, x, y), SetCp(1, x + 5 + std::fabs(dx), y), SetCp(7, 1, 0);
        return ObjectNewDimDist(0) != 0;
    default: {
        BlockInsertSlot entry{};
        std::strcpy(entry.nameLibrary, "*");
        std::strcpy(entry.nameBlock, MARK_BLOCK);
        entry.scale = 1.0;
        Matrix m;
        MatrixInit(&m);
        MatrixRotate(&m, dx);
        MatrixMove(&m, x, y);
        return SymbolCreateInstance(&entry, &m, nullptr) != nullptr;
    }
    }
}

// `count` objects, the eight kinds in turn, at random places of a 1 m sheet,
// in one undo step as a command would store them.
void AddEightKinds(int count)
{
    std::mt19937 random(20261211);
    std::uniform_real_distribution<double> place(0.0, 1000.0);
    UndoInitProcess();
    const std::vector<uint8_t> hatch = HatchRecord();
    if (!MakeMarkBlock() || hatch.empty()) {
        printf("files: the hatch or the block of the mixed drawing could not be made\n");
        UndoFinishProcess();
        return;
    }
    for (int i = 0; i < count; ++i)
        if (!CreateOfKind(i % 8, place(random), place(random), random, hatch)) {
            printf("files: object %d of kind %d could not be made\n", i, i % 8);
            break;
        }
    UndoFinishProcess();
}

void Fresh()
{
    MemFreeChunks();
    MemInitLists();
    MemEnlargeList();
    UndoReset();
    FileClearDrawing();
}

// Whether two drawing files hold the same bytes behind their first section
// (the drawing's data, with the time it was saved).
bool SameBytesBehindFirstSection(const char *a, const char *b)
{
    std::vector<char> x, y;
    if (!ReadWhole(a, &x) || !ReadWhole(b, &y))
        return false;
    const char *endMark = "=END=";
    const char *px = std::strstr(x.data(), endMark), *py = std::strstr(y.data(), endMark);
    return px && py && std::strcmp(px, py) == 0;
}

// One timed read of the file into a fresh drawing, beside the from_chars
// floor of the same file measured just before it, so that both meet the same
// load of the machine.
struct ReadRun {
    double read;
    Floor fromChars;
    int ok;
};

ReadRun TimedRead(const char *path)
{
    Fresh();
    ReadRun r{0, ParseFloor(path, false), 0};
    const double t0 = BenchSeconds();
    r.ok = FileReadDrawing(nullptr, path, SECTIONS, 0);
    r.read = BenchSeconds() - t0;
    return r;
}

// Writes the drawing `build` makes, reads it back `runs` times, each run
// printed with its own floor, and checks what the last read holds.
template <typename Build>
void Measure(const char *name, int count, int runs, Build build)
{
    Fresh();
    build();
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    strcat(path, "bench_files.zvd");
    double t0 = BenchSeconds();
    if (!FileWriteDrawing(nullptr, path, SECTIONS)) {
        printf("%s: write failed\n", name);
        return;
    }
    const double write = BenchSeconds() - t0;
    const std::string ratioName = std::string(name) + ".read_vs_from_chars_parse";
    ReadRun best{0, {0, 0, 0}, 0};
    for (int i = 0; i < runs; ++i) {
        const ReadRun r = TimedRead(path);
        if (!r.ok || r.fromChars.seconds <= 0) {
            printf("%s: read failed\n", name);
            DeleteFileA(path);
            return;
        }
        if (runs > 1)
            printf("%-44s %8.2f   (run %d of %d: read %.0f ms, from_chars floor %.0f ms)\n",
                   (ratioName + ".run" + std::to_string(i + 1)).c_str(), r.read / r.fromChars.seconds, i + 1, runs,
                   r.read * 1000, r.fromChars.seconds * 1000);
        if (i == 0 || r.read < best.read)
            best.read = r.read;
        if (i == 0 || r.fromChars.seconds < best.fromChars.seconds)
            best.fromChars = r.fromChars;
    }
    const double read = best.read;
    const double sheet[4] = {-10.0, -10.0, 1010.0, 1010.0};
    const double render = BenchRenderDrawing(sheet);
    // What was read, written again, must give the same file: every number
    // read back to the bits it was written from.
    char again[MAX_PATH];
    GetTempPathA(MAX_PATH, again);
    strcat(again, "bench_files_again.zvd");
    const bool same = FileWriteDrawing(nullptr, again, SECTIONS) && SameBytesBehindFirstSection(path, again);
    DeleteFileA(again);
    const Floor strtodFloor = BestFloor(path, true);
    DeleteFileA(path);
    if (g_ObjectLists[LIST_DRAWING].count != uint32_t(count) || strtodFloor.seconds <= 0) {
        printf("%s: read failed\n", name);
        return;
    }
    const double mb = double(strtodFloor.bytes) / MEGABYTE;
    // The fastest read against the fastest floor of all runs.
    printf("%-44s %8.2f   (%.1f MB, %ld numbers; fastest read %.0f ms, fastest from_chars floor %.0f ms)\n",
           ratioName.c_str(), read / best.fromChars.seconds, mb, strtodFloor.numbers, read * 1000,
           best.fromChars.seconds * 1000);
    printf("%-44s %8.2f   (strtod floor %.0f ms)\n", (std::string(name) + ".read_vs_strtod_parse").c_str(),
           read / strtodFloor.seconds, strtodFloor.seconds * 1000);
    printf("%-44s %8s\n", (std::string(name) + ".read_and_written_again_same_bytes").c_str(), same ? "yes" : "NO");
    printf("%-44s %8.2f   (write %.0f ms)\n", (std::string(name) + ".write_vs_strtod_parse").c_str(),
           write / strtodFloor.seconds, write * 1000);
    printf("%-44s %8.2f   (load %.0f ms + render fitted at 1920x1080 %.0f ms = %.0f ms)\n",
           (std::string(name) + ".load_and_render_vs_strtod_parse").c_str(), (read + render) / strtodFloor.seconds,
           read * 1000, render * 1000, (read + render) * 1000);
    Fresh();
}

} // namespace

// Called by the benchmark program's main.
void BenchFiles()
{
    if (!BenchPrepareDrawing("files"))
        return;
    if (!ZVI_InitFileBuffers() || (!g_Universal1 && !MemInitWork())) {
        printf("files: no work memory\n");
        return;
    }
    printf("ratio = drawing-file time / reading the same file and converting its numbers\n");
    const int32_t lines[] = {OBJTYPE_LINE};
    Measure("files.lines_1M", LINE_COUNT, LINE_RUNS, [&] { AddObjects(LINE_COUNT, lines, 1); });
    Measure("files.eight_kinds_100k", MIXED_COUNT, MIXED_RUNS, [] { AddEightKinds(MIXED_COUNT); });
    MemFreeChunks();
    MemInitLists();
}

// Blocks: a drawing of 2,000 own blocks (5 lines each) and 20,000 instances.
// Its load and its merge into itself (every block name already present)
// against reading a drawing of as many (100,000) plain lines; the block
// resolution by name against the cached positions; a full repaint against
// painting as many plain lines.
#include <windows.h>

#include <cstdio>
#include <random>
#include <string>

#include "bench/bench_common.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "database/undo.h"
#include "files/file.h"
#include "files/file_drawinginfo.h"
#include "display/output.h"
#include "files/zvi.h"

namespace {

constexpr int BLOCKS = 2000;
constexpr int MEMBERS = 5;
constexpr int INSTANCES = 20000;
constexpr uint32_t SECTIONS = FILE_SECTIONS_ALL | FILE_MODE_QUIET;
constexpr double WORLD = 10000.0; // mm
constexpr int REPAINT_WIDTH = 1280, REPAINT_HEIGHT = 1024;

bool BuildBlocks(std::mt19937 &random)
{
    for (int b = 0; b < BLOCKS; ++b) {
        char name[UNIT_NAME_SIZE];
        std::snprintf(name, sizeof name, "Folder%02d\\Block%04d", b % 40, b);
        Unit *block = SymbolNewBlock(LIST_OWN_BLOCKS, name);
        if (!block || !BenchBuildLines(MEMBERS, random, 10.0))
            return false;
        for (int i = 0; i < MEMBERS; ++i) {
            Unit *line = g_ObjectLists[LIST_DRAWING].tail;
            if (!SymbolAddMember(LIST_OWN_BLOCKS, block, line))
                return false;
            MemListDelete(LIST_DRAWING, line);
        }
    }
    SymbolRebuildOwnIndex();
    std::uniform_int_distribution<int> pick(0, BLOCKS - 1);
    std::uniform_real_distribution<double> pos(0.0, WORLD);
    alignas(8) static uint8_t buffer[1024];
    for (int i = 0; i < INSTANCES; ++i) {
        char name[UNIT_NAME_SIZE];
        const int b = pick(random);
        std::snprintf(name, sizeof name, "Folder%02d\\Block%04d", b % 40, b);
        Matrix m;
        MatrixInit(&m);
        MatrixMove(&m, pos(random), pos(random));
        const uint32_t bytes = SymbolMakeInstance(reinterpret_cast<Unit *>(buffer), sizeof buffer, "*", name, &m);
        Unit *u = bytes ? MemListNewCopyAfter(LIST_DRAWING, buffer, bytes, nullptr) : nullptr;
        if (!u)
            return false;
        u->flags = 0;
        u->birth = UNIT_BIRTH_ALWAYS;
        u->death = UNIT_DEATH_ALIVE;
    }
    return true;
}

double TimeRead(const char *path, int merge)
{
    const double t0 = BenchSeconds();
    DrawingInfo info{};
    if (!FileReadDrawing(&info, path, SECTIONS, merge))
        return -1;
    return BenchSeconds() - t0;
}

// One full repaint of list 0 into a screen-sized bitmap.
double TimeRepaint()
{
    BenchDib dib = BenchMakeDib(REPAINT_WIDTH, REPAINT_HEIGHT);
    BenchSetupScreenView(REPAINT_WIDTH, REPAINT_HEIGHT, WORLD, 1.0);
    PatBlt(dib.dc, 0, 0, REPAINT_WIDTH, REPAINT_HEIGHT, WHITENESS);
    const double t0 = BenchSeconds();
    for (Unit *u = MemListFirst(LIST_DRAWING, 0, 0, 1); u; u = MemListNext(u))
        OutputDrawObject(dib.dc, u);
    GdiFlush();
    const double t = BenchSeconds() - t0;
    BenchFreeDib(&dib);
    return t;
}

double TimeResolve()
{
    const double t0 = BenchSeconds();
    int found = 0;
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        found += SymbolGetInstanceBlock(u) ? 1 : 0;
    const double t = BenchSeconds() - t0;
    return found == INSTANCES ? t : -1;
}

void Clear()
{
    SymbolClearBlocks(LIST_OWN_BLOCKS);
    SymbolRebuildOwnIndex();
    MemFreeChunks();
    MemInitLists();
    MemEnlargeList();
    UndoReset();
}

} // namespace

void BenchBlocks()
{
    if (!BenchPrepareDrawing("blocks") || !ZVI_InitFileBuffers())
        return;
    UndoReset();
    std::mt19937 random(20261210);
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string blocksPath = std::string(dir) + "bench_blocks.zvd";
    const std::string linesPath = std::string(dir) + "bench_block_lines.zvd";
    DrawingInfo info{};
    const bool lineDrawing = BenchBuildLines(INSTANCES * MEMBERS, random, WORLD);
    const bool lineFile = lineDrawing && FileWriteDrawing(&info, linesPath.c_str(), SECTIONS);
    Clear();
    const bool blockDrawing = BuildBlocks(random);
    const bool blockFile = blockDrawing && FileWriteDrawing(&info, blocksPath.c_str(), SECTIONS);
    const bool ok = lineFile && blockFile;
    if (!ok)
        std::printf("blocks: built %d %d, written %d %d\n", lineDrawing, blockDrawing, lineFile, blockFile);
    Clear();
    const double lines = ok ? TimeRead(linesPath.c_str(), 0) : -1;
    const double paintLines = ok ? TimeRepaint() : -1;
    Clear();
    const double load = ok ? TimeRead(blocksPath.c_str(), 0) : -1;
    const double merge = load > 0 ? TimeRead(blocksPath.c_str(), 1) : -1;
    Clear();
    TimeRead(blocksPath.c_str(), 0);
    const double first = TimeResolve();  // resolves by name and caches the positions
    const double cached = TimeResolve(); // a repaint: the cached positions
    SymbolRecalcFrames();
    const double paintBlocks = TimeRepaint();
    if (lines <= 0 || load <= 0 || merge <= 0 || first < 0 || cached < 0) {
        std::printf("blocks: the drawing could not be built or read (%d %.3f %.3f %.3f %.3f %.3f)\n", ok ? 1 : 0, lines, load, merge, first, cached);
    } else {
        std::printf("%-48s %8.3f   (%.0f ms, lines %.0f ms)\n", "blocks.load_2000_blocks_20000_instances_vs_lines",
                    load / lines, load * 1000, lines * 1000);
        std::printf("%-48s %8.3f   (%.0f ms)\n", "blocks.merge_into_itself_vs_lines", merge / lines, merge * 1000);
        std::printf("%-48s %8.3f   (first %.2f ms, cached %.2f ms)\n", "blocks.resolve_cached_vs_by_name",
                    cached / first, first * 1000, cached * 1000);
        std::printf("%-48s %8.3f   (%.0f ms, 100,000 plain lines %.0f ms)\n",
                    "blocks.repaint_instances_vs_plain_lines", paintBlocks / paintLines, paintBlocks * 1000,
                    paintLines * 1000);
    }
    DeleteFileA(blocksPath.c_str());
    DeleteFileA(linesPath.c_str());
    Clear();
}

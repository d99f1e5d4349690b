// Metafiles: the export of 100,000 mixed objects (lines, circles, polylines
// and filled surfaces) to EMF and to WMF, and the
// import of an EMF of 500,000 records, as ratios within one run: the WMF
// export against the EMF export of the same drawing (the WMF adds its
// translation of the renderer's records), and the import against the bare
// structure walk of the same bytes.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "bench/bench_common.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "display/output.h"
#include "files/file.h"
#include "files/meta.h"
#include "files/meta_internal.h"
#include "files/zvi.h"

namespace {

constexpr int MIXED_COUNT = 100000;
constexpr int IMPORT_RECORDS = 500000;

uint32_t SilentAlert(const char *, uint32_t code1, uint32_t, uint32_t) { return code1; }

double FileMegabytes(const char *path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return 0.0;
    return data.nFileSizeLow / 1048576.0;
}

// An EMF of lines, rectangles, ellipses and polylines, `records` records in all.
std::vector<uint8_t> BigEmf(int records)
{
    std::vector<uint8_t> body;
    auto add = [&](uint32_t type, const std::vector<int32_t> &values) {
        const uint32_t size = uint32_t(8 + 4 * values.size());
        const size_t at = body.size();
        body.resize(at + size);
        std::memcpy(&body[at], &type, 4);
        std::memcpy(&body[at + 4], &size, 4);
        std::memcpy(&body[at + 8], values.data(), 4 * values.size());
    };
    add(EMR_SETMAPMODE, {MM_ANISOTROPIC});
    add(EMR_SETWINDOWEXTEX, {100000, -100000});
    for (int i = 2; i < records; ++i) {
        const int32_t x = (i * 37) % 90000, y = (i * 91) % 90000;
        switch (i % 5) {
        case 0: add(EMR_MOVETOEX, {x, y}); break;
        case 1: add(EMR_LINETO, {x + 500, y + 300}); break;
        case 2: add(EMR_RECTANGLE, {x, y, x + 800, y + 400}); break;
        case 3: add(EMR_ELLIPSE, {x, y, x + 600, y + 600}); break;
        default: add(EMR_POLYLINE16, {0, 0, 0, 0, 3, (y << 16) | (x & 0x7FFF), 0x00100010, 0x00200005}); break;
        }
    }
    std::vector<uint8_t> out(88, 0);
    const uint32_t header[] = {EMR_HEADER, 88};
    std::memcpy(out.data(), header, 8);
    const int32_t frame[] = {0, 0, 100000, 100000};
    std::memcpy(&out[24], frame, 16);
    const uint32_t signature = 0x464D4520, version = 0x10000;
    std::memcpy(&out[40], &signature, 4);
    std::memcpy(&out[44], &version, 4);
    const uint32_t eof[] = {EMR_EOF, 20, 0, 16, 20};
    const uint32_t total = uint32_t(88 + body.size() + sizeof eof), count = uint32_t(records + 1);
    std::memcpy(&out[48], &total, 4);
    std::memcpy(&out[52], &count, 4);
    const int32_t device[] = {1000, 1000, 250, 250};
    std::memcpy(&out[72], device, 16);
    out.insert(out.end(), body.begin(), body.end());
    out.insert(out.end(), reinterpret_cast<const uint8_t *>(eof), reinterpret_cast<const uint8_t *>(eof) + sizeof eof);
    return out;
}

void MeasureExport()
{
    if (!BenchPrepareDrawing("meta"))
        return;
    g_DrawingSettings.outputFrame.kind = 1; // the objects' extents
    std::mt19937 random(28);
    BenchMakeDrawing(random, MIXED_COUNT);
    char emf[MAX_PATH], wmf[MAX_PATH];
    GetTempPathA(MAX_PATH, emf);
    std::strcpy(wmf, emf);
    std::strcat(emf, "bench_meta.emf");
    std::strcat(wmf, "bench_meta.wmf");
    double t0 = BenchSeconds();
    const int emfOk = MetaExportEmf(nullptr, emf, 0);
    const double emfTime = BenchSeconds() - t0;
    t0 = BenchSeconds();
    const int wmfOk = MetaWriteWmfFile(nullptr, wmf, 0, 1);
    const double wmfTime = BenchSeconds() - t0;
    const double emfMb = FileMegabytes(emf), wmfMb = FileMegabytes(wmf);
    DeleteFileA(emf);
    DeleteFileA(wmf);
    if (!emfOk || !wmfOk) {
        printf("meta: export failed\n");
        return;
    }
    printf("%-44s %8.2f   (EMF %.2f s %.1f MB, WMF %.2f s %.1f MB for %d objects)\n",
           "meta.wmf_export_vs_emf_export", wmfTime / emfTime, emfTime, emfMb, wmfTime, wmfMb, MIXED_COUNT);
}

void MeasureImport()
{
    if (!BenchPrepareDrawing("meta"))
        return;
    UndoReset();
    const std::vector<uint8_t> bits = BigEmf(IMPORT_RECORDS);
    MetaEmfHeaderInfo info;
    const char *problem;
    double t0 = BenchSeconds();
    const int checked = MetaCheckEmfBits(bits.data(), bits.size(), &info, &problem);
    const double walk = BenchSeconds() - t0;
    t0 = BenchSeconds();
    const int ok = MetaImportEmfBits(nullptr, bits.data(), bits.size());
    const double import = BenchSeconds() - t0;
    if (!checked || !ok) {
        printf("meta: import failed\n");
        return;
    }
    printf("%-44s %8.1f   (import %.2f s, %u objects, %.0f records/s)\n", "meta.emf_import_500k_vs_walk",
           import / walk, import, g_ObjectLists[LIST_DRAWING].count, IMPORT_RECORDS / import);
}

} // namespace

void BenchMeta()
{
    g_AlertAnswerHook = SilentAlert;
    MeasureExport();
    MeasureImport();
    g_AlertAnswerHook = nullptr;
    MemFreeChunks();
    MemInitLists();
}

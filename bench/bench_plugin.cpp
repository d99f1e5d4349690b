// The plug-in interface: records per second of the enumeration stream with
// a no-op callback over a mixed drawing, dashed lines, nested instances and
// texts as outlines, and fast inserts in one undo step. The ratios are the
// rates against the mixed drawing's rate in the same run.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "app/system_defs.h"
#include "bench/bench_common.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/undo.h"
#include "plugin/zvi.h"

namespace {

constexpr double PI = 3.141592653589793;
constexpr int DASHED = 9;

long s_Records = 0;
int __stdcall Count(EnumerateRecord *)
{
    ++s_Records;
    return 1;
}

// Records per second of one walk over the drawing with the flags.
double Rate(uint32_t flags, long *records)
{
    s_Records = 0;
    const double t0 = BenchSeconds();
    ZVI_EnumerateAll(0, 0, 0, flags, Count);
    const double seconds = BenchSeconds() - t0;
    *records = s_Records;
    return seconds > 0 ? s_Records / seconds : 0;
}

void Points(int type, std::initializer_list<double> xy, int lineType = 0, bool orient = false)
{
    Unit *u = ZVI_ObjectOpen(type);
    u->property.ownFlags = 0xFF;
    u->property.lineType = lineType;
    const double *p = xy.begin();
    const int kinds[] = {1, 2, 2, 2};
    const int circle[] = {3, 4, 5, 5};
    for (size_t i = 0; i + 1 < xy.size(); i += 2)
        ZVI_ObjectAddPoint(type == 0 || type == 12 ? kinds[i / 2 > 0] : circle[i / 2], p[i], p[i + 1]);
    if (orient)
        ZVI_ObjectAddOrient(1.0);
    ZVI_ObjectFastInsert();
}

void Curve(double x, double y)
{
    ZVI_ObjectOpen(12);
    for (int i = 0; i < 50; ++i)
        ZVI_ObjectAddPoint(i ? 2 : 1, x + i, y + std::sin(i * 0.3));
    ZVI_ObjectFastInsert();
}

void MixedDrawing()
{
    UndoInitProcess();
    for (int i = 0; i < 100000; ++i)
        Points(0, {double(i % 1000), double(i / 1000), double(i % 1000) + 5, double(i / 1000) + 3});
    for (int i = 0; i < 20000; ++i)
        Points(5, {double(i % 200), double(i / 200), double(i % 200) + 2, double(i / 200)});
    for (int i = 0; i < 20000; ++i)
        Points(6, {0, 0, 2, 0, 2, 0, 0, 2}, 0, true);
    for (int i = 0; i < 5000; ++i)
        Curve(i % 100, i / 100);
    UndoFinishProcess();
}

void DashedLines()
{
    LineDef &l = g_LineDefs[DASHED];
    std::memset(&l, 0, sizeof l);
    std::strcpy(l.name, "bench dashes");
    l.kind = 1;
    l.pairs = 8;
    for (int i = 0; i < 16; ++i)
        l.lengths[i] = 100 + 25 * i;
    UndoInitProcess();
    for (int i = 0; i < 10000; ++i)
        Points(0, {0, double(i), 1000, double(i)}, DASHED);
    UndoFinishProcess();
}

// Eight levels of four instances each below the top instance: 65,536 lines.
void Instances()
{
    char name[16], child[16];
    uint8_t record[1024];
    Unit *inner = SymbolNewBlock(LIST_OWN_BLOCKS, "N8");
    ZVI_ObjectOpen(0);
    ZVI_ObjectAddPoint(1, 0, 0);
    ZVI_ObjectAddPoint(2, 1, 1);
    ZVI_ObjectAddEnd();
    std::memcpy(record, ZVI_ObjectGetAddress(), ZVI_ObjectGetAddress()->bytes);
    ZVI_ObjectClose();
    SymbolAddMember(LIST_OWN_BLOCKS, inner, reinterpret_cast<Unit *>(record));
    for (int level = 7; level >= 0; --level) {
        std::snprintf(name, sizeof name, "N%d", level);
        std::snprintf(child, sizeof child, "N%d", level + 1);
        Unit *block = SymbolNewBlock(LIST_OWN_BLOCKS, name);
        for (int k = 0; k < 4; ++k) {
            Matrix m;
            MatrixInit(&m);
            MatrixMove(&m, k * 2.0, level);
            SymbolMakeInstance(reinterpret_cast<Unit *>(record), sizeof record, "*", child, &m);
            SymbolAddMember(LIST_OWN_BLOCKS, block, reinterpret_cast<Unit *>(record));
        }
    }
    SymbolRebuildOwnIndex();
    Unit *top = ZVI_InstanceOpen();
    std::strcpy(top->instance.library, "*");
    std::strcpy(top->instance.block, "N0");
    ZVI_InstanceFastInsert();
}

void Texts()
{
    uint8_t standard[ZVI_SIZE_TEXTSTANDARD];
    ZVI_InitTextStandard(standard, nullptr);
    UndoInitProcess();
    for (int i = 0; i < 10000; ++i) {
        ZVI_ObjectOpen(35);
        ZVI_ObjectAddTextShort("Twenty characters ok", 0);
        ZVI_ObjectAddTextStandard(standard);
        ZVI_ObjectFastInsert();
    }
    UndoFinishProcess();
}

void Report(const char *name, double rate, long records, double reference)
{
    std::printf("%-48s %6.3f   (%.0f records/s, %ld records)\n", name, reference > 0 ? rate / reference : 0, rate,
                records);
}

} // namespace

void BenchPlugin()
{
    if (!BenchPrepareDrawing("plugin") || !ZVI_CreationStart())
        return;
    MixedDrawing();
    long records = 0;
    const double mixed = Rate(ENUM_GEOMETRY | ENUM_ARCS, &records);
    Report("plugin.enumerate_mixed_drawing", mixed, records, mixed);

    BenchPrepareDrawing("plugin");
    DashedLines();
    const double dashed = Rate(ENUM_GEOMETRY, &records);
    Report("plugin.enumerate_dashed_lines_vs_mixed", dashed, records, mixed);

    BenchPrepareDrawing("plugin");
    Instances();
    const double nested = Rate(ENUM_GEOMETRY | ENUM_EXPAND_INSTANCES, &records);
    Report("plugin.enumerate_8_levels_of_4_instances_vs_mixed", nested, records, mixed);

    BenchPrepareDrawing("plugin");
    Texts();
    const double texts = Rate(ENUM_GEOMETRY, &records);
    Report("plugin.enumerate_text_outlines_vs_mixed", texts, records, mixed);

    BenchPrepareDrawing("plugin");
    UndoInitProcess();
    const double t0 = BenchSeconds();
    for (int i = 0; i < 100000; ++i)
        Points(0, {double(i), 0, double(i) + 1, 1});
    const double seconds = BenchSeconds() - t0;
    UndoFinishProcess();
    const double inserts = seconds > 0 ? 100000 / seconds : 0;
    Report("plugin.fast_inserts_per_second_vs_mixed_records", inserts, 100000, mixed);
    ZVI_CreationEnd();
}

// Printing: 100,000 mixed objects (lines, circles, polylines and filled
// surfaces) printed as one fitted page to the PostScript printer that writes
// a file. Prints the time per object against rendering the same drawing into
// a memory bitmap in the same run, and the size of the PostScript file.
#include <windows.h>

#include <cstdio>
#include <random>

#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "bench/bench_common.h"
#include "common/test_printer.h"
#include "display/output.h"
#include "display/print.h"
#include "dialogs/alert.h"

namespace {

constexpr int OBJECT_COUNT = 100000;
constexpr unsigned RANDOM_SEED = 29;

int64_t FileBytes(const char *path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return -1;
    return (int64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A message box would wait for a user: say what it says and go on.
uint32_t PrintAlert(const char *text, uint32_t code1, uint32_t, uint32_t)
{
    std::printf("print: %s\n", text ? text : "");
    return code1;
}

constexpr int32_t COORD_RANGE = 30720;

} // namespace

void BenchPrint()
{
    if (!BenchPrepareDrawing("print"))
        return;
    if (!TestAddPostScriptPrinter()) {
        std::printf("print: the PostScript printer could not be added\n");
        return;
    }
    g_LanguageModule = GetModuleHandleA("language.dll");
    g_AlertAnswerHook = PrintAlert;
    if (g_Options.coordRangeDRV <= 0)
        g_Options.coordRangeDRV = COORD_RANGE;
    PrintInit();
    if (!PrintSelectPrinter(TEST_PRINTER_NAME)) {
        std::printf("print: the PostScript printer cannot be opened\n");
        return;
    }
    std::mt19937 random(RANDOM_SEED);
    BenchMakeDrawing(random, OBJECT_COUNT);
    double extents[4];
    OutputPrintableExtents(0, extents);
    const double renderSeconds = BenchRenderDrawing(extents);

    char folder[MAX_PATH], file[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, "prt", 0, file);
    PrintSettings &p = g_DrawingSettings.print;
    p.mode = PRINT_MODE_FIT;
    p.toFile = 1;
    lstrcpynA(p.fileName, file, SYSTEM_PATH_SIZE);
    p.copies = 1;
    g_DrawingSettings.outputFrame.on = 0;
    g_DrawingSettings.outputGrid.on = 0;
    const double start = BenchSeconds();
    const int done = PrintJob(nullptr, "bench", 0, OBJECT_COUNT, 0);
    const double printSeconds = BenchSeconds() - start;
    const int64_t bytes = FileBytes(file);
    DeleteFileA(file);
    PrintFreeDevMode();
    if (!done || bytes < 0) {
        std::printf("print: the job failed\n");
        return;
    }
    std::printf("%-44s %8.3f   (print %6.2f us, bitmap %6.2f us per object)\n", "print.100k_mixed_postscript_vs_bitmap",
                printSeconds / renderSeconds, printSeconds * 1e6 / OBJECT_COUNT, renderSeconds * 1e6 / OBJECT_COUNT);
    std::printf("%-44s %8.1f   (%.1f MB in all)\n", "print.100k_mixed_postscript_bytes_per_object",
                double(bytes) / OBJECT_COUNT, double(bytes) / (1024.0 * 1024.0));
}

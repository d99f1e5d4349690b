// What the benchmark parts share: the clock, and the parts main() runs in turn.
#pragma once

// Seconds from the performance counter (an arbitrary origin: use differences).
double BenchSeconds();

// Each part prints its named figures as ratios of times measured in one run.
void BenchStorage(); // storage_bench.cpp: sub-allocator against the heap, filtered walk
void BenchCreate();  // bench_create.cpp: creation and frames per object
void BenchRender();  // bench_render.cpp: fitted against zoomed rendering
void BenchFiles();   // bench_files.cpp: drawing files against a plain read
void BenchWindows(); // bench_windows.cpp: window repaint and key response
void BenchMeta();    // bench_meta.cpp: metafile export and import

#include <cstdint>
// Appends count objects of the types in turn to list 0 (bench_files.cpp).
void BenchAddObjects(int count, const int32_t *types, int typeCount);
// An empty drawing with an empty object allocator and undo history (bench_files.cpp).
void BenchFreshDrawing();

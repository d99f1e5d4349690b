// What the benchmark parts share: the clock, and the parts main() runs in turn.
#pragma once

#include <windows.h>

#include <random>

// Seconds from the performance counter (an arbitrary origin: use differences).
double BenchSeconds();

// Each part prints its named figures as ratios of times measured in one run.
void BenchStorage(); // storage_bench.cpp: sub-allocator against the heap, filtered walk
void BenchCreate();  // bench_create.cpp: creation and frames per object
void BenchRender();  // bench_render.cpp: fitted against zoomed rendering
void BenchFiles();   // bench_files.cpp: drawing files against a plain read
void BenchWindows(); // bench_windows.cpp: window repaint and key response
void BenchMouse();   // bench_mouse.cpp: mouse moves over a small and a large drawing

// Lines, circles, open polylines and filled surfaces in equal shares, within
// 200 mm of the zero point, appended to list 0 (bench_windows.cpp).
void BenchMakeDrawing(std::mt19937 &random, int objects);

// A fresh drawing with its default settings, work memory, empty lists and the
// screen's GDI objects; 0 when there is no work memory.
int BenchPrepareDrawing();
// A visible popup window of the size with its own class and procedure.
HWND BenchMakeWindow(WNDPROC proc, const char *className, int width, int height);

// What the benchmark parts share: the clock, and the parts main() runs in turn.
#pragma once

#include <windows.h>

#include <random>

#include "geometry/hatch.h"

// A fresh drawing with default tables and settings, work memory, an empty
// allocator and the screen's GDI objects; 0 (with a line naming the part)
// when the work memory cannot be had.
int BenchPrepareDrawing(const char *part);

// A 32-bit memory DIB selected into its own context.
struct BenchDib {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};
BenchDib BenchMakeDib(int width, int height);
void BenchFreeDib(BenchDib *dib);
// A screen output onto the DIB showing the middle of a square world of side
// `world` mm, zoomed by zoomFactor; the visible rectangle is the whole DIB.
void BenchSetupScreenView(int width, int height, double world, double zoomFactor);
// A visible popup window of the size with its own class and procedure.
HWND BenchMakeWindow(WNDPROC proc, const char *className, int width, int height);
// Drawing window 0 of the size (no rulers, buttons or scroll bars) at zoom 1
// on the zero point, the program active; a line naming the part and 0 when
// it cannot be made. BenchFreeDrawingWindow ends it and empties the drawing.
HWND BenchMakeDrawingWindow(const char *part, const char *className, int width, int height);
void BenchFreeDrawingWindow(HWND hwnd);

// Lines, circles, open polylines and filled surfaces in equal shares, within
// 200 mm of the zero point, appended to list 0 (bench_windows.cpp).
void BenchMakeDrawing(std::mt19937 &random, int objects);

// Lines of up to 10 mm in x and y at random places of the square world of
// side `world` mm, appended to list 0 with their frames; false when memory
// ran out (bench_select.cpp).
bool BenchBuildLines(int count, std::mt19937 &random, double world);

// The reference of the pick and snap figures: list 0 walked through its
// filter, every frame compared with a small box; its seconds (bench_select.cpp).
double BenchFilteredWalk();

// Seconds from the performance counter (an arbitrary origin: use differences).
double BenchSeconds();

// Each part prints its named figures as ratios of times measured in one run.
void BenchStorage(); // storage_bench.cpp: sub-allocator against the heap, filtered walk
void BenchCreate();  // bench_create.cpp: creation and frames per object
void BenchRender();  // bench_render.cpp: fitted against zoomed rendering
void BenchFiles();   // bench_files.cpp: drawing files against a plain read
void BenchWindows(); // bench_windows.cpp: window repaint and key response
void BenchText();    // bench_text.cpp: text repaint, font cache and text to curves
void BenchPath();    // bench_path.cpp: mouse moves along a long path with arcs
void BenchMouse();   // bench_mouse.cpp: mouse moves over a small and a large drawing
void BenchModify();  // bench_modify.cpp: rotating, undoing and redoing a whole selection
void BenchSelect();  // bench_select.cpp: picks and rectangle selection
void BenchBlocks();  // bench_blocks.cpp: a drawing of 2,000 blocks and 20,000 instances
void BenchSnap();    // bench_snap.cpp: snap clicks on a large drawing with instances
void BenchMeta();    // bench_meta.cpp: metafile export and import
void BenchHatch();   // bench_hatch.cpp: hatching a star of many vertices and a square with many islands
void BenchCorner();  // bench_corner.cpp: offsets and corners of long paths
void BenchPrint();   // bench_print.cpp: printing to a PostScript file against a bitmap
void BenchPlugin();  // bench_plugin.cpp: enumeration records per second and fast inserts
void BenchScale();   // bench_scale.cpp: picks, snaps, repaints and one edit in 10k, 100k and 1M lines

// Hatch lines 1 mm apart at 30 degrees in multi-line slot 0 (bench_hatch.cpp).
HatchDef BenchPlainHatch();

// Renders list 0 once into a 1920 x 1080 memory DIB with the given world
// rectangle fitted; the seconds it took (bench_render.cpp).
double BenchRenderDrawing(const double world[4]);

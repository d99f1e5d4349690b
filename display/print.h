// Printing: the chosen printer and its device mode, the print command with
// its jobs, pages, tiles and copies, the layout of the drawing on the paper
// and the miniature of that layout in the print dialog.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <cstdint>

struct PrintSettings;

// Print modes of PrintSettings::mode.
constexpr int32_t PRINT_MODE_SHEET = 0;
constexpr int32_t PRINT_MODE_TILES = 1;
constexpr int32_t PRINT_MODE_FIT = 2;

// Page choices of PrintSettings::pages[0].
constexpr int32_t PRINT_PAGES_ALL = 0;
constexpr int32_t PRINT_PAGES_ACTIVE = 1;
constexpr int32_t PRINT_PAGES_RANGE = 2;

constexpr int PRINT_COMMAND = 123;           // the print command
constexpr int PRINT_COMMAND_AREA = 124;      // its title while a user area is set
constexpr int PRINT_NAME_SIZE = 260;         // driver, device and port names
constexpr int PRINT_HEADER_TEXT_SIZE = 8192; // an expanded header or footer
constexpr int32_t PRINT_COPIES_MAX = 10000;
// Neighbouring tiles share this much of the drawing (millimetres); a tile
// must be longer than the overlap, and no layout has more tiles than the cap.
constexpr double PRINT_TILE_OVERLAP = 1.0;
constexpr int32_t PRINT_TILES_MAX = 10000;

// The printer's device values and the layout of the last PrintComputeLayout.
struct PrintGeometry {
    int32_t logPixelsX, logPixelsY, horzRes, vertRes;
    int32_t physicalWidth, physicalHeight, physicalOffsetX, physicalOffsetY;
    int32_t printable[4]; // left, top, right, bottom: device pixels, later logical units
    int32_t grown[4];     // the printable rectangle grown by 2 pixels, device pixels
    int32_t centre[2];    // the centre of the paper, as the printable rectangle
    double area[4];       // the part of the drawing to print, millimetres
    double scale;
    double tileWidth, tileHeight;
    int32_t rows, columns;
    double gridWidth, gridHeight;
    double gridOrigin[2];
    int32_t mode;
};
extern PrintGeometry g_PrintGeometry;

// The current printer.
struct PrinterState {
    PRINTDLGA dialog; // kept between the calls of the common dialog
    char driver[PRINT_NAME_SIZE];
    char device[PRINT_NAME_SIZE];
    char port[PRINT_NAME_SIZE];
    DEVMODEA *devMode; // the saved copy, dmSize + dmDriverExtra bytes, or none
    int32_t devModeSize;
};
extern PrinterState g_Printer;

void PrintInit();
void PrintFreeDevMode();
int PrintGetDefaultPrinter(HWND owner);
int PrintSetupDialog(HWND owner);
void PrintGetDeviceName(char *out);
void PrintReportDlgError();
// Makes the named printer current (its default device mode); 0 when it
// cannot be opened. The set-up dialog does the same for the user's choice.
int PrintSelectPrinter(const char *device);
int PrintReadDeviceCaps(DEVMODEA *out, PrintSettings *settings);

int PrintComputeLayout(PrintSettings *settings, int32_t page);
int PrintGetObjectArea(double rect[4], uint32_t selectionOnly);
int PrintGetSheetArea(double rect[4], uint32_t selectionOnly);
int PrintSetupPage(double x1, double y1, double x2, double y2);
void PrintPreviewPaint(HWND control, int32_t page);

int PrintJob(HWND owner, const char *title, int32_t page, int32_t objectCount, uint32_t selectionOnly);
int PrintSheet(HDC dc, int32_t objectCount, uint32_t selectionOnly, int32_t copies, int32_t deviceCopies,
               int32_t tile, int32_t tiles, double x1, double y1, double x2, double y2);
// Asks the driver of the running job for this many copies of the next page
// (a pass); 0 when the driver refuses.
int PrintSetDeviceCopies(HDC dc, int32_t copies);
int PrintCommand(HWND owner, const char *fileName);
BOOL CALLBACK PrintAbortProc(HDC dc, int error);


// Seam: the print dialog the command opens (Box11PrintLayout by default).
typedef uint32_t (*PrintLayoutDialog)(HWND owner, const char *caption);
extern PrintLayoutDialog g_PrintLayoutDialog;

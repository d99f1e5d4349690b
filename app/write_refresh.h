// Status texts: the status bar's fields, the guide window's hints and the
// small text outputs of rulers and printing.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Parts of the status bar (WriteDrawStatus) and the values of
// g_StatusContent: what its variable part shows now.
constexpr uint32_t WRITE_STATUS_IDLE = 1;     // empty coordinates, memory, command title
constexpr uint32_t WRITE_STATUS_PROMPT = 2;   // the prompt and fixed frames (content: frames redrawn)
constexpr uint32_t WRITE_STATUS_FRAMES = 2;
constexpr uint32_t WRITE_STATUS_POSITION = 4; // the cursor position
constexpr uint32_t WRITE_STATUS_ENTRY = 8;    // the coordinate entry's texts
constexpr uint32_t WRITE_STATUS_MESSAGE = 16; // a message
extern int32_t g_StatusContent;
extern int32_t g_StatusFrameLayout;
// The open coordinate-entry window (g_CoordEntryWnd) is the calculator's:
// dialogs/box08_editterm.h. The ordinary refreshes wait while it is open.

// Field painters; the status font must be selected.
void WriteSelectStatusFont(HDC dc);
void WriteStatusText(HDC dc, int field, const char *text);
// Label and text, the text shortened from its end (never below one
// character) to the room the label leaves.
void WriteStatusLabelText(HDC dc, int field, const char *label, const char *text, int active);
void WriteStatusPercent(HDC dc, int field, const char *label, long value, long total);
void WriteStatusCount(HDC dc, int field, const char *label, uint32_t bytes);
void WriteStatusValue(HDC dc, int field, const char *label, double value, double factor, int width, int selector);
// The texts those painters write: a percentage (0 to 100, 0 for no total),
// a byte count in kilobytes below 10 MB and in megabytes from there (both
// rounded up), a value in the current system's format.
int WriteStatusPercentValue(long value, long total);
void WriteStatusCountText(char *out, size_t size, uint32_t bytes);
void WriteStatusValueText(char *out, double value, double factor, int width, int selector);
void WriteText(HDC dc, int x, int y, const char *text);
void WriteInt(HDC dc, int x, int y, int n);

// Paints the parts (bits above) of the status bar; window selects the
// coordinate system of the position.
void WriteDrawStatus(HDC dc, int window, uint32_t parts);
// The whole status bar: raised frame, prompt, frames and position.
void WriteDrawStatusWindow(HWND status);
void WriteShowStatusPercent(const char *label, long value, long total);
// Shows a message in the status bar's message field (label and text may be
// null).
void WriteShowStatusText(const char *label, const char *text);
// The status message last shown.
extern char g_StatusMessage[256];
void WriteRefreshStatusPosition();
void WriteRefreshStatus();
void WriteRefreshStatusTexts();
// Repaints the panel's duplicate and command cells, the guide and the status
// bar; while the coordinate entry is open, the input indicator instead.
void WriteRefreshFrame();
// While the coordinate entry is open: the panel's command cell shows a
// keyboard with the entry's direction as an arrow, and the status bar the
// entry's fields.
void WriteDrawInputIndicator();

// The guide's hint mask: bits 0 to 28 select guide texts (bit i: entry i + 1;
// none: entry 0).
constexpr uint32_t WRITE_GUIDE_CLEAR_EXTRA = 0x20000000;
constexpr uint32_t WRITE_GUIDE_COMPUTE = 0x40000000; // add the running command's hints
constexpr uint32_t WRITE_GUIDE_EXTRA = 0x80000000;   // an extra text is shown
extern uint32_t g_GuideState;
extern const char *g_GuideExtraText;
// The mask WriteSetGuideState would store for these flags.
uint32_t WriteComputeGuideState(uint32_t flags);
void WriteSetGuideState(uint32_t flags, const char *extra);
void WriteDrawGuide();
void WriteDrawGuideDC(HWND guide, HDC dc);
void WriteSaveGuideState();
void WriteRestoreGuideState();

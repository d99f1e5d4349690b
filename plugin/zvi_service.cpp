// Program services: settings by number, commands, undo, the drawing as a
// file, libraries, drawing windows and their views, repaints; and the
// stubs kept for older plug-ins.
#include <cstring>

#include "app/darad4.h"
#include "app/convert.h"
#include "app/init_menulayout.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "commands/command.h"
#include "commands/command_tables.h"
#include "database/object.h"
#include "database/object_flags.h"
#include "database/object_select.h"
#include "database/symbol_library.h"
#include "database/undo.h"
#include "display/output_paint.h"
#include "files/file.h"
#include "files/file_commands.h"
#include "files/file_drawinginfo.h"
#include "plugin/zvi.h"
#include "plugin/stream.h"
#include "plugin/zvi_checks.h"
#include "database/object_rects.h"
#include "database/symbol_block.h"
#include "app/system_validate.h"
#include "app/window_title.h"
#include "database/object_dim.h"
#include "database/symbol_browse.h"
#include "database/symbol_index.h"
#include "database/symbol_preview.h"
#include "dialogs/alert.h"
#include "dialogs/box15.h"
#include "display/screen.h"
#include "files/zvi.h"

namespace {

constexpr int COMMAND_ID_FIRST = 100;
constexpr int COMMAND_ID_LAST = 5339;
constexpr int SETTING_CONSTANT_ID = 0x2032;
constexpr int SETTING_CONSTANT = 10;
constexpr int SETTING_COLOR_FIRST = 0x1000;
constexpr uint32_t FILE_ALERT_EXISTS = 2; // the file exists: overwrite (6) or cancel
constexpr int WINDOW_ARRANGEMENT_LAST = 7;

// A setting by number: where it lives and what Set accepts.
struct Setting {
    int id;
    int32_t *value;
    int32_t low, high;
    bool boolean;  // any nonzero stores 1
    bool flags;    // after a change the display flags of all objects are recomputed
};

int32_t *I(uint32_t &v) { return reinterpret_cast<int32_t *>(&v); }

const Setting *FindSetting(int id)
{
    DrawingSettings &d = g_DrawingSettings;
    LocalSnap &s = g_LocalData.snap;
    static const Setting table[] = {
        {1, I(d.displayDuplicate), 0, 1, true, false},
        {2, I(s.switches[0]), 0, 1, true, false},
        {3, &s.snapModes, INT32_MIN, INT32_MAX, false, false},
        {4, &s.pickAperture, 5, 50, false, false},
        {5, &s.ambiguityAperture, 0, 10, false, false},
        {6, I(d.displayOrtho), 0, 1, true, false},
        {7, I(d.displayArcs), 0, 1, true, false},
        {8, &d.displayArcsMode, 0, 2, false, false},
        {9, I(d.displayAreas), 0, 1, true, false},
        {10, I(d.displayGeometry[0]), 0, 1, true, true},
        {11, I(d.displayGeometry[1]), 0, 1, true, true},
        {12, I(d.displayGeometry[2]), 0, 1, true, false},
        {0x2010, I(d.displaySelection[0]), 0, 1, true, false},
        {0x2011, I(d.displaySelection[1]), 0, 1, true, false},
        {0x2012, I(d.displayDrawing), 0, 1, true, false},
        {0x2013, I(d.displayObjects), 0, 1, true, false},
        {0x2014, &d.displayLinesMode, 0, 3, false, false},
        {0x2015, I(d.displayFills), 0, 1, true, false},
        {0x2016, I(d.displayErasers), 0, 1, true, false},
        {0x2017, I(d.displayTexts), 0, 1, true, false},
        {0x2018, I(d.displayFrames), 0, 1, true, false},
        {0x2019, I(d.displayVariables), 0, 1, true, false},
        {0x201a, I(d.displayBitmaps), 0, 1, true, false},
        {0x201b, I(d.displayBlocks), 0, 1, true, false},
        {0x201c, I(d.displayMarks), 0, 1, true, false},
        {0x2020, I(d.displaySelOnly), 0, 1, true, false},
        {0x2021, I(d.displayPoints), 0, 1, true, false},
        {0x2022, I(d.displayArrows), 0, 1, true, false},
        {0x2023, I(d.displayNumbers), 0, 1, true, false},
        {0x2030, I(d.displayExtern), 0, 1, true, false},
        {0x2031, I(d.displayPalette), 0, 1, true, false},
        {0x2033, I(d.displayTrueType), 0, 1, true, false},
        {0x2034, &d.displayThreshold, 0, 99, false, false},
    };
    for (const Setting &s2 : table)
        if (s2.id == id)
            return &s2;
    return nullptr;
}

// The standard-colour index of colour setting 0x1000 + n, or null.
const int32_t *ColorSetting(int n)
{
    DrawingSettings &d = g_DrawingSettings;
    const int32_t *colors[] = {&d.colorLayers,   &d.colorGeometry, &d.colorBlocks,    &d.colorErasers,
                               &d.colorPoints,   &d.colorMarks,    &d.colorInput,     &d.colorFlag[0],
                               &d.colorFlag[1],  &d.colorFlag[2],  &d.colorFlag[3],   &d.colorCross[0],
                               &d.colorCross[1], &d.colorPageFrame, &d.colorDrawArea, &d.colorColorText,
                               &d.colorPopup[0], &d.colorPopup[1]};
    return n >= 0 && n < (int)(sizeof colors / sizeof colors[0]) ? colors[n] : nullptr;
}

bool WindowValid(int window)
{
    return window == WINDOW_VIEW || (window >= 0 && window < g_DrawWindowCount && window < WINDOW_DRAW_COUNT);
}

void RepaintPanel()
{
    if (hGlobalPanel)
        InvalidateRect(hGlobalPanel, nullptr, FALSE);
}

} // namespace

extern "C" {

// --- settings

int ZVI_CALL ZVI_SettingGet(int id)
{
    if (id == SETTING_CONSTANT_ID)
        return SETTING_CONSTANT;
    if (const int32_t *c = ColorSetting(id - SETTING_COLOR_FIRST)) {
        const int32_t index = *c;
        return index >= 0 && index < STANDARD_COLORS ? (int)g_StandardColors[index] : 0;
    }
    const Setting *s = FindSetting(id);
    return s ? *s->value : 0;
}

int ZVI_CALL ZVI_SettingSet(int id, int value)
{
    const Setting *s = FindSetting(id);
    if (!s)
        return 1;
    if (s->boolean)
        value = value != 0;
    if (value < s->low || value > s->high)
        return 1;
    *s->value = value;
    if (s->flags)
        ObjectUpdateDisplayFlagsAll(0);
    RepaintPanel();
    return 1;
}

// --- commands and undo

int ZVI_CALL ZVI_CommandAvailable(int commandId)
{
    if (commandId < COMMAND_ID_FIRST || commandId > COMMAND_ID_LAST)
        return ZVI_REFUSE("CommandID invalid!");
    for (int i = 0; i < MENU_LAYOUT_SIZE && !(g_MenuLayout[i] & MENU_END); ++i)
        if ((int)(g_MenuLayout[i] & 0xffff) == commandId)
            return 1;
    return 0;
}

void ZVI_CALL ZVI_CommandInternal(int commandId)
{
    if (commandId < COMMAND_ID_FIRST || commandId > COMMAND_ID_LAST) {
        ZVI_REFUSE("CommandID invalid!");
        return;
    }
    // A command could replace or delete what the running walk stands on.
    if (StreamBusy()) {
        ZVI_REFUSE("Another enumeration is still in process!");
        return;
    }
    CommandExecute(commandId, 0);
}

void ZVI_CALL ZVI_UndoInitProcess() { UndoInitProcess(); }

void ZVI_CALL ZVI_UndoCancelProcess()
{
    if (StreamBusy()) {
        ZVI_REFUSE("Another enumeration is still in process!");
        return;
    }
    UndoDeleteTemporaryBlocks();
    UndoCancelProcess();
}

void ZVI_CALL ZVI_UndoFinishProcess() { UndoFinishProcess(); }

void ZVI_CALL ZVI_UndoSetPrevious() { ObjectMarkCreatedInStep(); }

int ZVI_CALL ZVI_GetCommandTitle(char *text, int commandId)
{
    // The whole title with its keys: the buffer is probed for all of it.
    if (!ZviWritable(text, CONVERT_TITLE_SIZE))
        return ZVI_REFUSE("Text address invalid!");
    char title[CONVERT_TITLE_SIZE] = "";
    const int result = ConvertGetCommandTitle(title, commandId);
    ZviCopyText(text, title, CONVERT_TITLE_SIZE);
    return result;
}

// --- the drawing as a file

int ZVI_CALL ZVI_DrawingNewFile(int drawing, int askSave)
{
    if (drawing != ZVI_DRAWING)
        return ZVI_REFUSE("Invalid drawing number!");
    if (StreamBusy())
        return ZVI_REFUSE("Another enumeration is still in process!");
    if (askSave && !FileQueryClose())
        return 0;
    return FileNewDrawing(nullptr, 0);
}

int ZVI_CALL ZVI_DrawingOpenFile(int drawing, const char *fileName, int flags, int askSave)
{
    if (drawing != ZVI_DRAWING)
        return ZVI_REFUSE("Invalid drawing number!");
    if (StreamBusy())
        return ZVI_REFUSE("Another enumeration is still in process!");
    const int length = ZviTextLength(fileName, ZVI_NAME_SIZE - 1);
    if (length <= 0 || length >= ZVI_NAME_SIZE)
        return ZVI_REFUSE("FileName address invalid!");
    // A cancelled save question opens nothing, and the plug-in hears so.
    if (askSave && !FileQueryClose())
        return 0;
    const uint32_t sections = FILE_SECTIONS_ALL | g_Options.fileModeLoad | (uint32_t)flags;
    return FileOpenDrawing(fileName, 0, sections, 1, 0) == FILE_OPEN_DONE ? 1 : 0;
}

int ZVI_CALL ZVI_DrawingSaveFile(int drawing, const char *fileName, int flags, int askOverwrite)
{
    if (drawing != ZVI_DRAWING)
        return ZVI_REFUSE("Invalid drawing number!");
    if (fileName) {
        const int length = ZviTextLength(fileName, ZVI_NAME_SIZE - 1);
        if (length <= 0 || length >= ZVI_NAME_SIZE)
            return ZVI_REFUSE("FileName address invalid!");
    }
    char path[ZVI_NAME_SIZE];
    ZviCopyText(path, fileName ? fileName : g_DrawingInfo.currentPath, sizeof path);
    if (path[0] == '*' || !path[0])
        return 0; // untitled: there is no name to save under
    if (askOverwrite && ZVI_FileExist(path) && AlertFileError(g_MainWnd, path, FILE_ALERT_EXISTS) != ALERT_GO_ON_6)
        return 0;
    const uint32_t sections = g_DrawingInfo.sectionsFound | g_Options.fileModeSave | (uint32_t)flags;
    if (!FileSaveDrawing(&g_DrawingInfo.info, path, FILE_KIND_DRAWING, sections, 1))
        return 0;
    FileStampDrawingInfo(&g_DrawingInfo.info);
    if (fileName) {
        // The drawing is now that file's, and holds its lock as after Save As.
        FileSetCurrentName(path, 0);
        g_ReadOnly = 0;
        FileLockCurrent();
    }
    g_DrawingInfo.modified = 0;
    g_DrawingInfo.changed = 0;
    g_DrawingInfo.fileVersion = FILE_VERSION_460;
    if (g_MainWnd && IsWindow(g_MainWnd))
        WindowUpdateTitle(g_MainWnd);
    return 1;
}

int ZVI_CALL ZVI_DrawingSetActive(int drawing)
{
    if (drawing != ZVI_DRAWING)
        return ZVI_REFUSE("Invalid drawing number!");
    return 1;
}

int ZVI_CALL ZVI_DrawingGetInfo(int drawing, char *fileName, void *info)
{
    if (drawing != ZVI_DRAWING)
        return ZVI_REFUSE("Invalid drawing number!");
    if (fileName && !ZviWritable(fileName, ZVI_NAME_SIZE))
        return ZVI_REFUSE("FileName address invalid!");
    if (info && !ZviWritable(info, sizeof(DrawingInfo)))
        return ZVI_REFUSE("FileHeader address invalid!");
    if (fileName)
        ZviCopyText(fileName, g_DrawingInfo.currentPath, ZVI_NAME_SIZE);
    if (info)
        std::memcpy(info, &g_DrawingInfo.info, sizeof(DrawingInfo));
    return 1;
}

int ZVI_CALL ZVI_DrawingGetNumber() { return 1; }
int ZVI_CALL ZVI_DrawingGetActive() { return 0; }
int ZVI_CALL ZVI_DrawingArchiveFile() { return 0; }

int ZVI_CALL ZVI_LibraryGetNumber() { return g_LibrarySlots.count; }

int ZVI_CALL ZVI_LibraryGetInfo(int index, char *fileName, void *info)
{
    if (index < 0 || index >= g_LibrarySlots.count || index >= SYMBOL_LIBRARY_SLOTS)
        return ZVI_REFUSE("Invalid library number!");
    if (fileName && !ZviWritable(fileName, ZVI_NAME_SIZE))
        return ZVI_REFUSE("FileName address invalid!");
    if (info && !ZviWritable(info, sizeof(DrawingInfo)))
        return ZVI_REFUSE("FileHeader address invalid!");
    const LibrarySlot &slot = g_LibrarySlots.slots[index];
    if (fileName)
        ZviCopyText(fileName, slot.path, ZVI_NAME_SIZE);
    if (info)
        std::memcpy(info, &slot.info, sizeof(DrawingInfo));
    return 1;
}

// --- windows

int ZVI_CALL ZVI_WindowGetMode() { return g_Options.windowArrangement; }
int ZVI_CALL ZVI_WindowGetActive() { return g_ActiveWindow; }

int ZVI_CALL ZVI_WindowGetMatrix(int, int window, Matrix *mmToPixel, Matrix *pixelToMm)
{
    if (!WindowValid(window))
        return ZVI_REFUSE("WindowNum invalid!");
    if (mmToPixel && !ZviWritable(mmToPixel, sizeof(Matrix)))
        return ZVI_REFUSE("MatrixMMToPixel address invalid!");
    if (pixelToMm && !ZviWritable(pixelToMm, sizeof(Matrix)))
        return ZVI_REFUSE("MatrixPixelToMM address invalid!");
    const DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return 0;
    if (mmToPixel)
        *mmToPixel = w->MatrixMMToPixel;
    if (pixelToMm)
        *pixelToMm = w->MatrixPixelToMM;
    return 1;
}

int ZVI_CALL ZVI_WindowGetView(int, int window, double centre[2], double *zoom)
{
    if (!WindowValid(window))
        return ZVI_REFUSE("WindowNum invalid!");
    if (!ZviWritable(centre, 2 * sizeof(double)))
        return ZVI_REFUSE("Center address invalid!");
    if (!ZviWritable(zoom, sizeof(double)))
        return ZVI_REFUSE("Zoom address invalid!");
    const DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return 0;
    centre[0] = w->centreX;
    centre[1] = w->centreY;
    *zoom = w->zoom;
    return 1;
}

int ZVI_CALL ZVI_WindowSetViewScale(int, int window, const double centre[2], double scale)
{
    if (!WindowValid(window))
        return ZVI_REFUSE("WindowNum invalid!");
    if (!ZviReadable(centre, 2 * sizeof(double)))
        return ZVI_REFUSE("Center address invalid!");
    // A scale of 0 or less makes the window's matrices singular.
    if (!(scale > 0.0))
        return ZVI_REFUSE("Scale invalid!");
    WindowPushView(window);
    WindowSetView(window, WINDOW_VIEW_ABSOLUTE, centre[0], centre[1], scale);
    OutputRedrawWindow(window);
    return 1;
}

int ZVI_CALL ZVI_WindowSetViewArea(int, int window, const double p1[2], const double p2[2])
{
    if (!WindowValid(window))
        return ZVI_REFUSE("WindowNum invalid!");
    if (!ZviReadable(p1, 2 * sizeof(double)))
        return ZVI_REFUSE("Point1 address invalid!");
    if (!ZviReadable(p2, 2 * sizeof(double)))
        return ZVI_REFUSE("Point2 address invalid!");
    // A single point gives no rectangle to fit.
    if (p1[0] == p2[0] && p1[1] == p2[1])
        return ZVI_REFUSE("Points invalid!");
    WindowPushView(window);
    WindowSetViewRect(window, p1[0], p1[1], p2[0], p2[1]);
    OutputRedrawWindow(window);
    return 1;
}

void ZVI_CALL ZVI_DrawWindowAll() { OutputRedrawAll(1); }

void ZVI_CALL ZVI_DrawWindowArea(const double frame[4])
{
    if (frame && !ZviReadable(frame, 4 * sizeof(double))) {
        ZVI_REFUSE("Data address invalid!");
        return;
    }
    OutputInvalidateAreaAll(frame);
}

void ZVI_CALL ZVI_DrawNewObjects() { ObjectDrawNewMarkersAll(); }

int ZVI_CALL ZVI_WindowSetMode(int, int mode)
{
    // The tiling knows no other arrangement; the window count would be wrong.
    if (mode < 0 || mode > WINDOW_ARRANGEMENT_LAST)
        return ZVI_REFUSE("Mode invalid!");
    if (mode == g_Options.windowArrangement)
        return 1;
    g_ActiveWindow = 0;
    g_Options.windowArrangement = mode;
    if (g_MainWnd)
        WindowRelayout(g_MainWnd);
    return 1;
}

int ZVI_CALL ZVI_WindowSetActive(int, int window)
{
    if (!WindowValid(window))
        return ZVI_REFUSE("WindowNum invalid!");
    const int old = g_ActiveWindow;
    if (window == old)
        return 1;
    g_ActiveWindow = window;
    WindowSelectCurrent();
    WindowSetActive(window, 1);
    ScreenRefreshRulers(old);
    ScreenRefreshRulers(window);
    return 1;
}

int ZVI_CALL ZVI_WindowGetRect(int, int window, RECT *screenRect, POINT *origin)
{
    if (!WindowValid(window))
        return ZVI_REFUSE("WindowNum invalid!");
    if (screenRect && !ZviWritable(screenRect, sizeof(RECT)))
        return ZVI_REFUSE("Rect address invalid!");
    if (origin && !ZviWritable(origin, sizeof(POINT)))
        return ZVI_REFUSE("Point address invalid!");
    const DrawWindow *w = WindowGetRecord(window);
    if (!w)
        return 0;
    if (screenRect) {
        *screenRect = w->areaRect;
        if (w->hwnd)
            MapWindowPoints(w->hwnd, nullptr, reinterpret_cast<POINT *>(screenRect), 2);
    }
    if (origin)
        *origin = {w->areaRect.left, w->areaRect.top};
    return 1;
}

namespace {

// Fits the window to a rectangle (xmin, ymin, xmax, ymax) and repaints it.
int FitView(int window, const double *rect)
{
    WindowPushView(window);
    WindowSetViewRect(window, rect[0], rect[1], rect[2], rect[3]);
    OutputRedrawWindow(window);
    return 1;
}

const double *ActivePageFrame()
{
    const int page = g_PageDefs.active >= 0 && g_PageDefs.active < g_PageDefs.count ? g_PageDefs.active : 0;
    return g_PageDefs.frames[page];
}

} // namespace

int ZVI_CALL ZVI_WindowSetViewAll(int, int window)
{
    if (!WindowValid(window))
        return ZVI_REFUSE("WindowNum invalid!");
    // An empty drawing shows its page.
    if (ObjectExtentsVisible(0, 0) > 0)
        return FitView(window, g_ExtentsRect);
    return FitView(window, ActivePageFrame());
}

int ZVI_CALL ZVI_WindowSetViewPage(int, int window)
{
    if (!WindowValid(window))
        return ZVI_REFUSE("WindowNum invalid!");
    return FitView(window, ActivePageFrame());
}

void ZVI_CALL ZVI_DrawWindowSelection(int clearSelection)
{
    ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED);
    double rect[4];
    std::memcpy(rect, g_ExtentsRect, sizeof rect);
    if (clearSelection)
        ObjectSelectionReset();
    OutputInvalidateAreaAll(rect);
}

void ZVI_CALL ZVI_DrawLineDef(HWND control, const LineDef *lineDef)
{
    if (!control) {
        ZVI_REFUSE("Window handle invalid!");
        return;
    }
    if (!ZviReadable(lineDef, sizeof(LineDef))) {
        ZVI_REFUSE("LineDef address invalid!");
        return;
    }
    OutputDrawLineDefPreview(control, lineDef);
}

void ZVI_CALL ZVI_DrawBlock(HWND control, int, const char *blockName, const char *libraryName)
{
    if (!control) {
        ZVI_REFUSE("Window handle invalid!");
        return;
    }
    const int library = ZviTextLength(libraryName, UNIT_NAME_SIZE);
    if (library < 0 || library >= UNIT_NAME_SIZE) {
        ZVI_REFUSE("LibraryName address invalid!");
        return;
    }
    const int block = ZviTextLength(blockName, UNIT_NAME_SIZE);
    if (block < 0 || block >= UNIT_NAME_SIZE) {
        ZVI_REFUSE("BlockName address invalid!");
        return;
    }
    SymbolDrawPreview(control, 1, libraryName, blockName);
}

void ZVI_CALL ZVI_UndoUpdateLinks()
{
    ObjectRefreshDimensions();
    SymbolBrowseFreeIfLibrary(LIBRARY_INDEX_OWN);
    SymbolRebuildOwnIndex();
    SymbolLoadAllMissing();
    SystemValidateReferences();
    ObjectUpdateDisplayFlagsAll(0);
    ObjectResolveAllProperties();
}

// --- stubs

int ZVI_CALL ZVI_HookKeyStart() { return 0; }
int ZVI_CALL ZVI_HookMouseStart() { return 0; }
int ZVI_CALL ZVI_HookPositionStart() { return 0; }

} // extern "C"

// The Page and Options menu, commands 300 to 389: the drawing's pages, the
// popups and dialogs of the definition tables, the temporary show-all of
// layers and pens, the views, the settings and options sheets, the
// tool-window switches and the exchange of drawing windows. Page, grid and
// definition changes are no undo steps: they go through the change flags.
#include <windows.h>

#include <algorithm>
#include <iterator>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_menus.h"
#include "app/init_sound.h"
#include "app/status.h"
#include "app/system.h"
#include "app/system_changes.h"
#include "app/system_defs.h"
#include "app/system_validate.h"
#include "app/window.h"
#include "app/write_refresh.h"
#include "commands/command_menu.h"
#include "commands/command_popup.h"
#include "commands/command_state.h"
#include "commands/menu.h"
#include "database/object_modify.h"
#include "database/object_rects.h"
#include "database/symbol_block.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "dialogs/box02.h"
#include "dialogs/box03_systems.h"
#include "dialogs/box09_page.h"
#include "dialogs/box04_lines.h"
#include "dialogs/box06_defaults.h"
#include "dialogs/box07.h"
#include "dialogs/box08_editterm.h"
#include "dialogs/box16.h"
#include "display/output_paint.h"
#include "display/screen.h"
#include "dialogs/box15.h"
#include "files/file.h"
#include "files/file_commands.h"
#include "files/file_drawinginfo.h"
#include "files/file_settings.h"
#include "files/zvi.h"
#include "language/language.h"

namespace {

constexpr int COMMAND_FIRST = 300;
constexpr int COMMAND_LAST = 389;
constexpr int SUBMENUS[] = {300, 307, 313, 314, 315, 316, 317, 318, 319, 320, 321, 322, 323, 324,
                            325, 326, 327, 328, 336, 341, 352, 357, 362, 376, 383};

constexpr int COMMAND_LAYER_TABLE = 6365;
constexpr int COMMAND_PEN_TABLE = 7367;
constexpr int COMMAND_SYSTEM_EDIT = 5611;

constexpr int PROMPT_PAGE = 19;
constexpr int PROMPT_PAGE_MOVE = 20;
constexpr int PROMPT_PAGE_POSITION = 21;
constexpr int PROMPT_SCALE = 10;
constexpr int TEXT_PAGE_RANGE = 30;    // eAlertTextSM
constexpr int TEXT_SYSTEM_FIXED = 2;   // eAlertTextOK, with the system's name
constexpr int PANEL_CELL_DISPLAY_GRID = 99;
constexpr int PANEL_CELL_PRINT_GRID = 100;
constexpr int ORIGIN_ANCHOR_FREE = 0;
constexpr double ZOOM_IN = 2.0;
constexpr double ZOOM_OUT = 0.5;
constexpr double NO_EXTENT = 1e300;

// The state bits of every layer and pen before the last show-all.
struct SavedStates {
    uint32_t layers[LAYER_SLOTS];
    uint32_t pens[PEN_SLOTS];
    bool layersValid;
    bool pensValid;
};
SavedStates s_Saved;

struct Caption {
    char text[CONVERT_TITLE_SIZE];
    explicit Caption(int commandId) { ConvertGetCommandTitle(text, commandId); }
};

void ApplyChange(uint32_t DefChangeFlags::*flag)
{
    SystemClearChanges();
    if (flag)
        g_DefChangeFlags.*flag = 1;
    SystemApplyChanges(1);
}

// ---------------------------------------------------------------------------
// Pages.

int PageCount() { return std::clamp<int32_t>(g_PageDefs.count, 0, PAGE_SLOTS); }

bool InPageRange(int32_t number) { return number >= 1 && number <= PageCount(); }

// A page number from the user, 0-based; -1 on cancel. Out-of-range numbers
// are refused and asked again.
int AskPage(HWND owner, int commandId)
{
    const Caption caption(commandId);
    int32_t number = g_PageDefs.active + 1;
    for (;;) {
        if (!Box02EditInt(owner, caption.text, eBoxText[PROMPT_PAGE], &number))
            return -1;
        if (InPageRange(number))
            return number - 1;
        AlertButton1(owner, eAlertTextSM[TEXT_PAGE_RANGE]);
    }
}

// With fewer than two pages the page commands only make page 1 current.
bool SinglePage()
{
    if (PageCount() >= 2)
        return false;
    g_PageDefs.active = 0;
    return true;
}

void AppendPage()
{
    const int n = PageCount();
    if (n >= PAGE_SLOTS)
        return;
    PageDef page = g_CommandDefaults.page;
    page.refX = g_ConstructionPoints[0].x;
    page.refY = g_ConstructionPoints[0].y;
    g_PageDefs.pages[n] = page;
    g_PageDefs.count = n + 1;
    ApplyChange(&DefChangeFlags::pages);
}

// 302: the format of the page asked for (page 1 when there is only one).
void EditPageFormat(HWND owner, int commandId)
{
    int page = 0;
    if (PageCount() < 1) {
        InitBeep();
        return;
    }
    if (PageCount() >= 2 && (page = AskPage(owner, commandId)) < 0)
        return;
    const Caption caption(commandId);
    if (Box09PageFormat(owner, caption.text, &g_PageDefs.pages[page]))
        ApplyChange(&DefChangeFlags::pages);
}

// 303: the page chosen before the input (its number was asked then).
void MovePageOrigin()
{
    const int page = g_CommandDefaults.chosenPage;
    if (page < 0 || page >= PageCount()) {
        InitBeep();
        return;
    }
    g_PageDefs.pages[page].refX = g_ConstructionPoints[0].x;
    g_PageDefs.pages[page].refY = g_ConstructionPoints[0].y;
    ApplyChange(&DefChangeFlags::pages);
}

void SelectPage(HWND owner, int commandId)
{
    if (SinglePage())
        return;
    const int page = AskPage(owner, commandId);
    if (page < 0 || page == g_PageDefs.active)
        return;
    g_PageDefs.active = page;
    ApplyChange(&DefChangeFlags::pages);
}

// Moves page `from` to position `to` (both 0-based); the pages between move
// by one place. The current page follows the moved one, and in a swap of two
// neighbours the other one; otherwise it keeps its index.
void MovePage(int from, int to)
{
    const int n = PageCount();
    if (from < 0 || to < 0 || from >= n || to >= n || from == to)
        return;
    PageDef *pages = g_PageDefs.pages;
    if (from < to)
        std::rotate(pages + from, pages + from + 1, pages + to + 1);
    else
        std::rotate(pages + to, pages + from, pages + from + 1);
    int32_t &active = g_PageDefs.active;
    if (active == from)
        active = to;
    else if (active == to && (to - from == 1 || from - to == 1))
        active = from;
}

void OrderPages(HWND owner, int commandId)
{
    if (SinglePage())
        return;
    const Caption caption(commandId);
    int32_t from = g_PageDefs.active + 1, to = from;
    for (;;) {
        if (!Box02EditIntInt(owner, caption.text, eBoxText[PROMPT_PAGE_MOVE], &from,
                             eBoxText[PROMPT_PAGE_POSITION], &to))
            return;
        if (InPageRange(from) && InPageRange(to))
            break;
        AlertButton1(owner, eAlertTextSM[TEXT_PAGE_RANGE]);
    }
    if (from == to)
        return;
    MovePage(from - 1, to - 1);
    ApplyChange(&DefChangeFlags::pages);
}

void DeletePage(HWND owner, int commandId)
{
    if (SinglePage())
        return;
    const int page = AskPage(owner, commandId);
    if (page < 0)
        return;
    const int n = PageCount();
    PageDef *pages = g_PageDefs.pages;
    std::copy(pages + page + 1, pages + n, pages + page);
    g_PageDefs.count = n - 1;
    if (g_PageDefs.active >= g_PageDefs.count)
        g_PageDefs.active = g_PageDefs.count - 1;
    ApplyChange(&DefChangeFlags::pages);
}

// ---------------------------------------------------------------------------
// Definition tables.

template <typename Def, size_t N>
void ShowAll(Def (&defs)[N], uint32_t (&saved)[N], bool &valid, uint32_t DefChangeFlags::*flag)
{
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    // A second show-all before the restore keeps the states of the first:
    // saving again would save the shown-all states and lose the user's.
    for (size_t k = 0; k < N; ++k) {
        if (!valid)
            saved[k] = defs[k].state;
        defs[k].state = DEF_STATE_DEFAULT;
    }
    valid = true;
    ApplyChange(flag);
}

template <typename Def, size_t N>
void RestoreStates(Def (&defs)[N], const uint32_t (&saved)[N], bool &valid, uint32_t DefChangeFlags::*flag)
{
    if (!valid) {
        InitBeep();
        return;
    }
    for (size_t k = 0; k < N; ++k)
        defs[k].state = saved[k];
    valid = false; // the next show-all saves the states then current
    ApplyChange(flag);
}

void EditDefaults(HWND owner, int commandId, int (*edit)(HWND, const char *, int32_t *), int32_t *slots)
{
    const Caption caption(commandId);
    if (!edit(owner, caption.text, slots))
        return;
    FileSetModified();
    ApplyChange(nullptr);
}

void EditLineDefs(HWND owner, int commandId)
{
    const Caption caption(commandId);
    SystemClearChanges();
    if (!Box04EditLineDefs(owner, caption.text, g_LineDefs, 0))
        return;
    g_DefChangeFlags.lines = 1;
    SystemApplyChanges(1);
}

DrawWindow *ActiveRecord() { return WindowGetRecord(g_ActiveWindow); }

int ActiveSystem()
{
    const DrawWindow *w = ActiveRecord();
    return w && w->system >= 0 && w->system < SYSTEM_SLOTS ? w->system : 0;
}

// System 0 is fixed: its origin and grids cannot be changed.
bool RefuseSystemZero(HWND owner, int system)
{
    if (system != 0)
        return false;
    char text[CONVERT_TITLE_SIZE + 256];
    wsprintfA(text, eAlertTextOK[TEXT_SYSTEM_FIXED], g_SystemDefs[0].name);
    AlertButton1(owner, text);
    return true;
}

void SystemOriginHere(HWND owner)
{
    const int system = ActiveSystem();
    if (RefuseSystemZero(owner, system))
        return;
    SystemClearChanges();
    SystemDef &s = g_SystemDefs[system];
    s.anchor = ORIGIN_ANCHOR_FREE;
    s.originX = g_ConstructionPoints[0].x;
    s.originY = g_ConstructionPoints[0].y;
    g_DefChangeFlags.system[system] = 1;
    g_DefChangeFlags.systems = 1;
    SystemApplyChanges(1);
}

void DrawActiveGrid()
{
    if (DrawWindow *w = ActiveRecord())
        ScreenDrawGrid(g_ActiveWindow, &w->areaRect);
}

void ToggleDisplayGrid()
{
    DrawWindow *w = ActiveRecord();
    if (!w)
        return;
    DrawActiveGrid(); // drawn in XOR: this removes it
    w->displayGrid = !w->displayGrid;
    g_CurrentSystem.displayGrid = w->displayGrid;
    StatusRepaintCell(PANEL_CELL_DISPLAY_GRID);
    DrawActiveGrid();
}

// 334: the window's second grid switch (the panel's cell beside the display
// grid's): the cursor catches to the system's catch grid.
void TogglePrintGrid()
{
    DrawWindow *w = ActiveRecord();
    if (!w)
        return;
    w->catchGrid = !w->catchGrid;
    g_CurrentSystem.catchGrid = w->catchGrid;
    StatusRepaintCell(PANEL_CELL_PRINT_GRID);
}

void EditGrid(HWND owner, int commandId, int (*edit)(HWND, const char *, SystemDef *), bool redrawGrid)
{
    const int system = ActiveSystem();
    if (RefuseSystemZero(owner, system))
        return;
    const Caption caption(commandId);
    if (redrawGrid)
        DrawActiveGrid();
    edit(owner, caption.text, &g_SystemDefs[system]);
    WindowUpdateSystem(system);
    WindowSetActive(g_ActiveWindow, 1);
    StatusRepaintCell(PANEL_CELL_DISPLAY_GRID);
    if (redrawGrid)
        DrawActiveGrid();
}

// ---------------------------------------------------------------------------
// Views.

// The drawing window under the cursor, else the active one.
int TargetWindow()
{
    const int window = ScreenTrackCursor();
    return WindowGetRecord(window) ? window : g_ActiveWindow;
}

void ShowRect(int window, const double r[4])
{
    if (!(r[0] <= r[2]) || !(r[1] <= r[3])) {
        InitBeep();
        return;
    }
    WindowPushView(window);
    WindowSetViewRect(window, r[0], r[1], r[2], r[3]);
    OutputRedrawWindow(window);
}

void AllPagesRect(double r[4])
{
    r[0] = r[1] = NO_EXTENT;
    r[2] = r[3] = -NO_EXTENT;
    for (int i = 0; i < PageCount(); ++i) {
        const double *f = g_PageDefs.frames[i];
        r[0] = std::min(r[0], f[0]);
        r[1] = std::min(r[1], f[1]);
        r[2] = std::max(r[2], f[2]);
        r[3] = std::max(r[3], f[3]);
    }
}

void ShowAllObjects()
{
    double r[4];
    if (ObjectExtentsVisible(0, 0) > 0)
        std::copy(g_ExtentsRect, g_ExtentsRect + 4, r);
    else
        AllPagesRect(r); // nothing visible: all pages instead
    ShowRect(TargetWindow(), r);
}

void ShowCurrentPage()
{
    const int page = g_PageDefs.active;
    if (page < 0 || page >= PageCount()) {
        InitBeep();
        return;
    }
    ShowRect(TargetWindow(), g_PageDefs.frames[page]);
}

void ShowAllPages()
{
    double r[4];
    AllPagesRect(r);
    ShowRect(TargetWindow(), r);
}

void SetView(int window, int mode, double a, double b, double c)
{
    WindowPushView(window);
    WindowSetView(window, mode, a, b, c);
    OutputRedrawWindow(window);
}

void AskScale(HWND owner, int commandId)
{
    DrawWindow *w = ActiveRecord();
    if (!w)
        return;
    const Caption caption(commandId);
    double scale = w->zoom;
    if (Box02EditDouble(owner, caption.text, eBoxText[PROMPT_SCALE], &scale) && scale > 0)
        SetView(g_ActiveWindow, WINDOW_VIEW_ABSOLUTE, CALC_NO_VALUE, CALC_NO_VALUE, scale);
}

void PreviousView()
{
    const int window = TargetWindow();
    if (WindowPopView(window))
        OutputRedrawWindow(window);
    else
        InitBeep();
}

// The caught cursor position of the window under the cursor, in drawing
// millimetres; -1 when the cursor is over no drawing window.
int CursorPoint(double *x, double *y)
{
    const int window = ScreenTrackCursor();
    const DrawWindow *w = WindowGetRecord(window);
    if (!w || w->crossCaughtX < 0)
        return -1;
    MatrixApply(w->MatrixPixelToMM, w->crossCaughtX, w->crossCaughtY, x, y);
    return window;
}

void CentreOnCursor()
{
    double x, y;
    const int window = CursorPoint(&x, &y);
    if (window < 0)
        return;
    SetView(window, WINDOW_VIEW_ABSOLUTE, x, y, CALC_NO_VALUE);
    OutputShowCrosshair();
}

void Zoom(double factor)
{
    double x, y;
    const int window = CursorPoint(&x, &y);
    if (window >= 0)
        SetView(window, WINDOW_VIEW_ZOOM_ABOUT, x, y, factor);
    else
        SetView(g_ActiveWindow, WINDOW_VIEW_RELATIVE, CALC_NO_VALUE, CALC_NO_VALUE, factor);
    OutputShowCrosshair();
}

// ---------------------------------------------------------------------------
// Drawing windows and tool windows.

double WidthOf(const DrawWindow &w) { return static_cast<double>(w.areaRect.right - w.areaRect.left); }

void ScaleViews(DrawWindow &w, double factor)
{
    w.zoom *= factor;
    for (int k = 0; k < w.historyCount && k < VIEW_HISTORY_SIZE; ++k)
        w.historyZoom[k] *= factor;
}

void ExchangeWindow(HWND mainWindow, int n)
{
    if (g_DrawWindowCount < 2 || n >= g_DrawWindowCount) {
        InitBeep();
        return;
    }
    DrawWindow &w0 = g_DrawWindows[0], &wn = g_DrawWindows[n];
    const double width0 = WidthOf(w0), widthN = WidthOf(wn);
    const double ratio = width0 > 0 && widthN > 0 ? width0 / widthN : 1.0;
    std::swap(w0, wn);
    std::swap(w0.hwnd, wn.hwnd); // each window keeps its own handle
    ScaleViews(w0, ratio);
    ScaleViews(wn, 1.0 / ratio);
    const int previous = g_ActiveWindow;
    g_ActiveWindow = 0;
    g_PanelWindow = 0;
    WindowComputeLayout(mainWindow);
    for (int k = 0; k < g_DrawWindowCount; ++k)
        WindowComputeAreas(k);
    WindowUpdateSystem(w0.system);
    WindowUpdateSystem(wn.system);
    if (previous != 0 && previous != n)
        ScreenDrawRulers(previous);
    InvalidateRect(mainWindow, nullptr, TRUE);
    UpdateWindow(mainWindow);
    WindowSetActive(0, 1);
    for (DrawWindow *w : {&w0, &wn}) {
        w->repaint = 1;
        if (w->hwnd) {
            InvalidateRect(w->hwnd, nullptr, TRUE);
            UpdateWindow(w->hwnd);
        }
    }
}

void PostCorner(HWND window, int corner)
{
    if (window && IsWindow(window))
        PostMessageA(window, WM_SYSCOMMAND, corner, 0);
}

// The floating tool windows go to the corners of the main window.
void ToolWindowsToCorners()
{
    const ProgramOptions &o = g_Options;
    if (o.panelVisible && o.panelMoveable)
        PostCorner(hGlobalPanel, TOOL_CORNER_TOP_LEFT);
    if (o.propertyVisible && o.propertyMoveable)
        PostCorner(hGlobalProp, TOOL_CORNER_TOP_LEFT);
    if (o.toolboxVisible)
        PostCorner(hGlobalToolbox, TOOL_CORNER_TOP_LEFT);
    if (o.symbolVisible)
        PostCorner(hGlobalSymbol, TOOL_CORNER_TOP_RIGHT);
    if (o.viewVisible)
        PostCorner(g_ViewWindow.hwnd, TOOL_CORNER_TOP_RIGHT);
    if (o.guideVisible)
        PostCorner(hGlobalGuide, TOOL_CORNER_BOTTOM_RIGHT);
}

void ToggleToolWindow(int commandId)
{
    static constexpr uint32_t ProgramOptions::*SWITCHES[] = {
        &ProgramOptions::viewVisible,   &ProgramOptions::panelVisible,    &ProgramOptions::penVisible,
        &ProgramOptions::layerVisible,  &ProgramOptions::statusVisible,   &ProgramOptions::toolboxVisible,
        &ProgramOptions::propertyVisible, &ProgramOptions::symbolVisible, &ProgramOptions::guideVisible};
    constexpr int FIRST = 367, STATUS = 371;
    uint32_t ProgramOptions::*flag = SWITCHES[commandId - FIRST];
    // The coordinate entry lives in the status bar.
    if (commandId == STATUS && g_Options.statusVisible && g_CoordEntryWnd && IsWindow(g_CoordEntryWnd)) {
        InitBeep();
        return;
    }
    const ProgramOptions before = g_Options;
    g_Options.*flag = !(g_Options.*flag);
    WindowApplyPanels(before, g_Options, 0);
}

// ---------------------------------------------------------------------------
// The settings and options sheets.

constexpr int COMMAND_SETTINGS_FIRST = 353;
constexpr int TEXT_OPTIONS_NOT_KEPT = 41; // eAlertTextSM

// The status areas and the tool windows that show them, laid out again.
void LayoutToolWindows()
{
    StatusLayoutPanel();
    if (hGlobalPanel)
        StatusLayoutPanelList(hGlobalPanel);
    StatusLayoutToolbox();
    StatusLayoutStatusBar();
    StatusLayoutPropertyBar();
    StatusLayoutSymbolWindow();
}

void EditSettings(HWND mainWindow, int commandId)
{
    const Caption caption(commandId);
    const int32_t arrangement = g_Options.windowArrangement;
    if (!Box16Settings(mainWindow, caption.text, &g_DrawingSettings, BOX16_SET_ALL,
                       commandId - COMMAND_SETTINGS_FIRST))
        return;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    InitDeleteMenus();
    InitCreateMenus(mainWindow);
    LayoutToolWindows();
    SystemValidateReferences();
    SymbolRecalcFrames();
    ObjectRecalcAllFrames();
    if (g_Options.windowArrangement != arrangement) {
        g_ActiveWindow = 0;
        g_PanelWindow = 0;
        g_RelayoutPending = 1;
    }
    WindowRelayout(mainWindow);
    WriteRefreshFrame();
    WindowSetActive(g_ActiveWindow, 0);
}

int OptionsPage(int commandId)
{
    switch (commandId) {
    case 377: return BOX16_OPT_WINDOWS;
    case 378: return BOX16_OPT_GENERAL;
    case 379: return BOX16_OPT_PATHS;
    case 380: return BOX16_OPT_FILEOPTIONS;
    case 381: return BOX16_OPT_TIMEFORMAT;
    case 382: return BOX16_OPT_BLOCKLIST;
    case 384: return BOX16_OPT_KEYBOARD;
    default: return BOX16_OPT_MOUSE; // 385
    }
}

void EditOptions(HWND mainWindow, int commandId)
{
    const Caption caption(commandId);
    const ProgramOptions before = g_Options;
    if (!Box16Options(mainWindow, caption.text, &g_Options, OptionsPage(commandId)))
        return;
    // Another instance writes the options back at its exit, not this one.
    if (g_OtherInstance)
        AlertButton1(mainWindow, eAlertTextSM[TEXT_OPTIONS_NOT_KEPT]);
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    UndoApplySteps();
    LayoutToolWindows();
    SystemValidateReferences();
    WindowApplyPanels(before, g_Options, 1);
}

// ---------------------------------------------------------------------------
// Settings in drawing files and in the registry.

constexpr int TEXT_SETTINGS_AS_DEFAULT = 11; // eAlertTextSM
constexpr int TEXT_SETTINGS_IMPORTED = 50;   // eAlertTextSM

bool ChooseFile(HWND owner, int commandId, FileDialogState &state, const FileTypeSelection &request)
{
    const Caption caption(commandId);
    return Box15FileGetName(owner, caption.text, &state, request) != 0;
}

// 358: the settings of a drawing file merged into the drawing.
void LoadSettings(HWND owner, int commandId)
{
    FileDialogState &state = g_Options.fileDialogs[FD_INF];
    state.option = g_Options.fileModeLoadTemplate;
    if (!ChooseFile(owner, commandId, state, FileTypeSelection{0xC1, 0, 0, FILE_KIND_TEMPLATE, 5, CHOOSER_OPEN}))
        return;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (!FileReadDrawing(nullptr, state.current, state.option, 1))
        return;
    UndoApplySteps();
    SystemValidateReferences();
    if (g_FileSectionsRead & FILE_SECTION_WINDOW)
        FileViewsToWindows();
    SystemNotifyModulesNew();
    WindowShowNewDrawing(g_MainWnd);
    WindowSetActive(0, 1);
}

// The settings written into a drawing file of their own, with a fresh
// drawing record.
int SaveSettingsTo(const char *path, uint32_t sections)
{
    DrawingInfo info{};
    FileInitDrawingInfo(&info);
    FileStampDrawingInfo(&info);
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    return FileSaveDrawing(&info, path, FILE_KIND_DRAWING, sections, 0);
}

// 359
void SaveSettings(HWND owner, int commandId)
{
    FileDialogState &state = g_Options.fileDialogs[FD_INF];
    state.option = g_Options.fileModeSaveTemplate;
    if (ChooseFile(owner, commandId, state, FileTypeSelection{0x45, 0, 0, FILE_KIND_TEMPLATE, 5, CHOOSER_SAVE}))
        SaveSettingsTo(state.current, state.option);
}

// 360: Yes lets the user choose the sections first, No takes them as they are.
void SaveSettingsAsDefault(HWND owner, int commandId)
{
    const uint32_t answer = AlertYesNoCancelDefNo(owner, eAlertTextSM[TEXT_SETTINGS_AS_DEFAULT]);
    if (answer == ALERT_CANCEL)
        return;
    uint32_t sections = g_Options.fileModeSaveTemplate;
    const Caption caption(commandId);
    if (answer == ALERT_YES && !Box15FileSections(owner, caption.text, &sections, nullptr, 0))
        return;
    char path[SYSTEM_PATH_SIZE];
    SystemDefaultDrawingLocal(path);
    SaveSettingsTo(path, sections);
}

// 386: the imported settings take effect at the next start, so the program
// offers to end without writing the current ones back.
void ImportRegistrySettings(HWND owner, int commandId)
{
    FileDialogState &state = g_Options.fileDialogs[FD_INF];
    if (!ChooseFile(owner, commandId, state, FileTypeSelection{0x21, 0, 0, 5, -1, CHOOSER_OPEN}))
        return;
    if (!FileImportSettings(state.current))
        return;
    if (AlertYesNo(owner, eAlertTextSM[TEXT_SETTINGS_IMPORTED]) != ALERT_YES)
        return;
    g_OtherInstance = 1; // no settings written at exit
    PostMessageA(g_MainWnd, WM_CLOSE, 0, 0);
}

// 387
void ExportRegistrySettings(HWND owner, int commandId)
{
    FileDialogState &state = g_Options.fileDialogs[FD_INF];
    if (ChooseFile(owner, commandId, state, FileTypeSelection{0x21, 0, 0, 5, -1, CHOOSER_SAVE}))
        FileExportSettings(state.current);
}

bool IsSubmenu(int commandId)
{
    return std::find(std::begin(SUBMENUS), std::end(SUBMENUS), commandId) != std::end(SUBMENUS);
}

} // namespace

void MenuPageOptionsCommand(HWND mainWindow, int commandId)
{
    if (commandId < COMMAND_FIRST || commandId > COMMAND_LAST) {
        InitBeep();
        return;
    }
    if (IsSubmenu(commandId)) {
        CommandShowSubmenu(commandId, nullptr);
        return;
    }
    switch (commandId) {
    case 301: AppendPage(); return;
    case 302: EditPageFormat(mainWindow, commandId); return;
    case 303: MovePageOrigin(); return;
    case 304: SelectPage(mainWindow, commandId); return;
    case 305: OrderPages(mainWindow, commandId); return;
    case 306: DeletePage(mainWindow, commandId); return;
    case 308: CommandPopupLayerMenu(nullptr); return;
    case 309: MenuInternalCommand(mainWindow, COMMAND_LAYER_TABLE + g_ActiveLayer); return;
    case 310: EditDefaults(mainWindow, commandId, Box06EditDefaultLayers, g_DefaultLayers); return;
    case 311: ShowAll(g_LayerDefs, s_Saved.layers, s_Saved.layersValid, &DefChangeFlags::layers); return;
    case 312: RestoreStates(g_LayerDefs, s_Saved.layers, s_Saved.layersValid, &DefChangeFlags::layers); return;
    case 329: CommandPopupSystemMenu(nullptr); return;
    case 330: MenuInternalCommand(mainWindow, COMMAND_SYSTEM_EDIT + ActiveSystem()); return;
    case 331: SystemOriginHere(mainWindow); return;
    case 332: ToggleDisplayGrid(); return;
    case 334: TogglePrintGrid(); return;
    case 333: EditGrid(mainWindow, commandId, Box03EditSystemGrid, true); return;
    case 335: EditGrid(mainWindow, commandId, Box03EditSystemGrid2, false); return;
    case 337: CommandPopupPenMenu(nullptr); return;
    case 338: MenuInternalCommand(mainWindow, COMMAND_PEN_TABLE + g_ActivePen); return;
    case 339: EditDefaults(mainWindow, commandId, Box06EditDefaultPens, g_DefaultPens); return;
    case 340: EditLineDefs(mainWindow, commandId); return;
    case 342: {
        const double r[4] = {std::min(g_ConstructionPoints[0].x, g_ConstructionPoints[1].x),
                             std::min(g_ConstructionPoints[0].y, g_ConstructionPoints[1].y),
                             std::max(g_ConstructionPoints[0].x, g_ConstructionPoints[1].x),
                             std::max(g_ConstructionPoints[0].y, g_ConstructionPoints[1].y)};
        ShowRect(g_ActiveWindow, r);
        return;
    }
    case 343: ShowAllObjects(); return;
    case 344: ShowCurrentPage(); return;
    case 345: ShowAllPages(); return;
    case 346: SetView(TargetWindow(), WINDOW_VIEW_ABSOLUTE, CALC_NO_VALUE, CALC_NO_VALUE, 1.0); return;
    case 347: AskScale(mainWindow, commandId); return;
    case 348: PreviousView(); return;
    case 349: CentreOnCursor(); return;
    case 350: Zoom(ZOOM_IN); return;
    case 351: Zoom(ZOOM_OUT); return;
    case 353: case 354: case 355: case 356: EditSettings(mainWindow, commandId); return;
    case 377: case 378: case 379: case 380: case 381: case 382: case 384: case 385:
        EditOptions(mainWindow, commandId);
        return;
    case 358: LoadSettings(mainWindow, commandId); return;
    case 359: SaveSettings(mainWindow, commandId); return;
    case 360: SaveSettingsAsDefault(mainWindow, commandId); return;
    case 386: ImportRegistrySettings(mainWindow, commandId); return;
    case 387: ExportRegistrySettings(mainWindow, commandId); return;
    case 361: {
        const Caption caption(commandId);
        Box07ProgramStatus(mainWindow, caption.text);
        return;
    }
    case 363: ToolWindowsToCorners(); return;
    case 364: case 365: case 366: ExchangeWindow(mainWindow, commandId - 363); return;
    case 367: case 368: case 369: case 370: case 371: case 372: case 373: case 374: case 375:
        ToggleToolWindow(commandId);
        return;
    case 388: ShowAll(g_PenDefs, s_Saved.pens, s_Saved.pensValid, &DefChangeFlags::pens); return;
    case 389: RestoreStates(g_PenDefs, s_Saved.pens, s_Saved.pensValid, &DefChangeFlags::pens); return;
    default:
        // The page format, the print grid and the settings files come
        // with their dialogs.
        InitBeep();
        return;
    }
}

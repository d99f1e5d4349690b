// The internal commands 5340 to 7903: each range stands for one kind of thing
// (a symbol slot, a recent file, a coordinate system, a hatch, a layer, a
// pen, a drawing window) indexed by the number's offset in the range
// (commands/tables/internal.txt). A number that refers to something absent
// (a recent file beyond the list, a window that is not open, a page that
// does not exist) beeps instead of acting.
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_sound.h"
#include "app/system.h"
#include "app/system_changes.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "app/window_title.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/menu.h"
#include "commands/menu_block.h"
#include "database/object.h"
#include "database/object_attributes.h"
#include "database/object_property.h"
#include "database/object_select.h"
#include "database/storage.h"
#include "database/object_rects.h"
#include "dialogs/alert.h"
#include "dialogs/box02.h"
#include "dialogs/box03_systems.h"
#include "dialogs/box05_hatch.h"
#include "dialogs/box05_pens.h"
#include "dialogs/box09.h"
#include "display/output.h"
#include "display/output_paint.h"
#include "files/file.h"
#include "files/file_commands.h"
#include "files/file_drawinginfo.h"
#include "files/zvi.h"
#include "language/language.h"

uint32_t g_StartDialogSuppressed = 0;

namespace {

constexpr int COMMAND_PRINT = 123;
constexpr int PROMPT_SCALE = 10; // eBoxText
constexpr int VIEW_GROUP_WINDOWS = 5; // windows 0 to 3 and the view window
constexpr int TEXT_LAYER_HIDDEN = 90;
constexpr int TEXT_PEN_HIDDEN = 91;
constexpr double NO_EXTENT = 1e300;

// The window of a view group's offset, or -1 when it is not open.
int ViewWindowOf(int k)
{
    const int window = k < WINDOW_DRAW_COUNT ? k : WINDOW_VIEW;
    const DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->hwnd || !IsWindow(w->hwnd))
        return -1;
    if (window != WINDOW_VIEW && window >= g_DrawWindowCount)
        return -1;
    if (window == WINDOW_VIEW && !IsWindowVisible(w->hwnd))
        return -1;
    return window;
}

// Shows the drawing that was just read (or the new drawing a failed read
// leaves) and restarts the running command.
void ShowReadDrawing(HWND mainWindow)
{
    if (!g_Running || !IsWindow(mainWindow))
        return;
    WindowUpdateTitle(mainWindow);
    WindowShowNewDrawing(mainWindow);
    OutputHideCrosshair();
    CommandCancel();
    OutputShowCrosshair();
}

// The start-up command: opens the drawing named on the command line and, on
// "/p", prints it. The print request keeps the start dialog away for this
// run only; the stored option is left as the user set it.
void StartUp(HWND mainWindow)
{
    if (g_StartFileExists) {
        // With a progress window: a close request that arrives while it pumps
        // messages waits until the read is over.
        if (FileOpenDrawing(g_StartFile, 0, FILE_SECTIONS_ALL, 1, 0) != FILE_OPEN_DONE)
            g_StartPrint = 0; // nothing to print
        ShowReadDrawing(mainWindow);
    }
    SystemNotifyModulesNew();
    if (g_StartPrint) {
        PostMessageA(mainWindow, WM_COMMAND, COMMAND_PRINT, 0);
        g_StartDialogSuppressed = 1;
    } else if (g_Options.startUpDisplay) {
        Box09RunStartScreen(mainWindow);
    }
}

// A recent drawing, newest first.
void RecentFile(HWND mainWindow, int k)
{
    if (k >= g_ProfileLists.recentCount) {
        InitBeep();
        return;
    }
    const char *path = g_ProfileLists.recent[k];
    if (!ZVI_FileExist(path)) {
        AlertFileError(mainWindow, path, 0);
        FileRemoveRecent(k);
        return;
    }
    if (!FileQueryClose())
        return;
    char file[SYSTEM_PATH_SIZE];
    std::snprintf(file, sizeof file, "%s", path);
    FileOpenDrawing(file, 0, g_Options.fileModeLoad, 1, 0);
    ShowReadDrawing(mainWindow);
}

void RepaintPropertyBar()
{
    if (hGlobalProp)
        InvalidateRect(hGlobalProp, nullptr, FALSE);
}

void ActivateSystem(int k)
{
    if (k >= SYSTEM_SLOTS || !g_SystemDefs[k].name[0])
        k = 0;
    DrawWindow *w = WindowGetRecord(g_ActiveWindow);
    if (!w)
        return;
    w->system = k;
    WindowSelectCurrent();
    WindowSetActive(g_ActiveWindow, 1);
    RepaintPropertyBar();
    w->repaint = 1;
    OutputRedrawAll(0);
}

void ActivateHatch(int k)
{
    if (k >= HATCH_SLOTS || !g_HatchDefs[k].name[0])
        k = 0;
    g_CurrentHatch = k;
    RepaintPropertyBar();
}

// A layer or pen for the new objects; a hidden or locked one only when the
// user keeps it.
template <typename Def>
int UsableSlot(int k, const Def *defs, int slots, int active, int (*shown)(int32_t), int (*locked)(int32_t),
               int questionText)
{
    if (k >= slots || !defs[k].name[0])
        k = 0;
    if (!shown(k) || locked(k)) {
        if (AlertYesNo(g_MainWnd, eAlertTextSM[questionText]) != ALERT_YES) {
            const bool usable = active >= 0 && active < slots && defs[active].name[0] && shown(active) &&
                                !locked(active);
            k = usable ? active : 0;
        }
    }
    return k;
}

void ActivateLayer(int k)
{
    k = UsableSlot(k, g_LayerDefs, LAYER_SLOTS, g_ActiveLayer, OutputIsLayerShownScreen, OutputIsLayerLocked,
                   TEXT_LAYER_HIDDEN);
    if (MenuPointerHoldsSelection()) {
        XProperty v{};
        v.layer = k;
        MenuGiveToSelection(XPROP_OWN_LAYER, v);
        return;
    }
    g_ActiveLayer = k;
    RepaintPropertyBar();
}

void ActivatePen(int k)
{
    k = UsableSlot(k, g_PenDefs, PEN_SLOTS, g_ActivePen, OutputIsPenShownScreen, OutputIsPenLocked, TEXT_PEN_HIDDEN);
    if (MenuPointerHoldsSelection()) {
        XProperty v{};
        v.pen = k;
        MenuGiveToSelection(XPROP_OWN_PEN, v);
        return;
    }
    g_ActivePen = k;
    // A pen that names a defined layer brings it along.
    const int32_t layer = g_PenDefs[g_ActivePen].layer;
    if (layer >= 0 && layer < LAYER_SLOTS && g_LayerDefs[layer].name[0])
        g_ActiveLayer = layer;
    RepaintPropertyBar();
}

// Fits a rectangle into the window; 0 when the rectangle is empty.
int FitRect(int window, const double r[4])
{
    if (!(r[0] <= r[2]) || !(r[1] <= r[3]))
        return 0;
    WindowPushView(window);
    WindowSetViewRect(window, r[0], r[1], r[2], r[3]);
    return 1;
}

// The union of all page frames (empty when there are no pages).
void AllPages(double r[4])
{
    r[0] = r[1] = NO_EXTENT;
    r[2] = r[3] = -NO_EXTENT;
    for (int i = 0; i < g_PageDefs.count && i < PAGE_SLOTS; ++i) {
        const double *f = g_PageDefs.frames[i];
        r[0] = f[0] < r[0] ? f[0] : r[0];
        r[1] = f[1] < r[1] ? f[1] : r[1];
        r[2] = f[2] > r[2] ? f[2] : r[2];
        r[3] = f[3] > r[3] ? f[3] : r[3];
    }
}

// The view groups; 1 when the window's view was set.
int ViewCommand(InternalAction action, int window)
{
    double r[4];
    switch (action) {
    case INTERNAL_VIEW_ZOOM_RECT: {
        const int old = g_ActiveWindow;
        g_ActiveWindow = window;
        WindowSelectCurrent();
        if (old != window)
            WindowSetActive(window, 1);
        CommandExecute(COMMAND_TRANSPARENT, 0);
        return 0;
    }
    case INTERNAL_VIEW_FIT_VISIBLE:
        if (ObjectExtentsVisible(0, 0) > 0)
            return FitRect(window, g_ExtentsRect);
        AllPages(r);
        return FitRect(window, r);
    case INTERNAL_VIEW_FIT_PAGE: {
        const int active = g_PageDefs.active;
        if (active < 0 || active >= g_PageDefs.count || active >= PAGE_SLOTS)
            return 0;
        return FitRect(window, g_PageDefs.frames[active]);
    }
    case INTERNAL_VIEW_FIT_PAGES:
        AllPages(r);
        return FitRect(window, r);
    case INTERNAL_VIEW_SCALE_1:
        WindowPushView(window);
        WindowSetView(window, WINDOW_VIEW_ABSOLUTE, CALC_NO_VALUE, CALC_NO_VALUE, 1.0);
        return 1;
    case INTERNAL_VIEW_PREVIOUS:
        return WindowPopView(window);
    default: return 0;
    }
}

// The window's scale typed in; 0 when cancelled.
int AskScale(HWND mainWindow, int commandId, int window)
{
    const DrawWindow *w = WindowGetRecord(window);
    double scale = w->zoom;
    char caption[CONVERT_TITLE_SIZE];
    ConvertGetCommandTitle(caption, commandId);
    if (!Box02EditDouble(mainWindow, caption, eBoxText[PROMPT_SCALE], &scale))
        return 0;
    WindowPushView(window);
    WindowSetView(window, WINDOW_VIEW_ABSOLUTE, CALC_NO_VALUE, CALC_NO_VALUE, scale);
    return 1;
}

// The coordinate-system table with system k selected; a system taken from its
// list becomes the current one.
void EditSystems(HWND mainWindow, int k)
{
    constexpr int COMMAND_SYSTEMS = 330;         // whose title is the caption
    constexpr int COMMAND_SYSTEM_ACTIVATE = 5560; // + the system taken
    SystemClearChanges();
    char caption[CONVERT_TITLE_SIZE];
    ConvertGetCommandTitle(caption, COMMAND_SYSTEMS);
    int32_t taken = k;
    if (!Box03EditSystemDefs(mainWindow, caption, g_SystemDefs, &taken))
        return;
    g_DefChangeFlags.systems = 1;
    const int redraw = SystemApplyChanges(0);
    if (taken != -1)
        CommandExecute(COMMAND_SYSTEM_ACTIVATE + taken, 0);
    else if (redraw)
        OutputRedrawAll(1);
}

// The hatch definitions editor on hatch k; a hatch taken becomes the current one.
void EditHatches(HWND mainWindow, int k)
{
    constexpr int COMMAND_HATCH_EDITOR = 580; // whose title is the caption
    SystemClearChanges();
    char caption[CONVERT_TITLE_SIZE];
    ConvertGetCommandTitle(caption, COMMAND_HATCH_EDITOR);
    int32_t taken = k;
    if (!Box05EditHatchDefs(mainWindow, caption, g_HatchDefs, &taken))
        return;
    g_DefChangeFlags.hatches = 1;
    SystemApplyChanges(0);
    FileSetModified();
    ActivateHatch(taken >= 0 ? taken : g_CurrentHatch);
}

} // namespace

void MenuInternalCommand(HWND mainWindow, int commandId)
{
    int k = 0;
    const InternalRange *range = CommandFindInternal(commandId, &k);
    if (!range)
        return;
    switch (range->action) {
    case INTERNAL_START_UP: StartUp(mainWindow); break;
    case INTERNAL_SYMBOL_INSERT: MenuBlockInsertSlot(k); break;
    case INTERNAL_SYMBOL_SLOT_DIALOG: MenuBlockEditSlot(mainWindow, commandId, k); break;
    case INTERNAL_RECENT_FILE: RecentFile(mainWindow, k); break;
    case INTERNAL_SYSTEM_ACTIVATE: ActivateSystem(k); break;
    case INTERNAL_HATCH_ACTIVATE: ActivateHatch(k); break;
    case INTERNAL_LAYER_ACTIVATE: ActivateLayer(k); break;
    case INTERNAL_PEN_ACTIVATE: ActivatePen(k); break;
    case INTERNAL_SYSTEM_DIALOG: EditSystems(mainWindow, k); break;
    case INTERNAL_HATCH_DIALOG: EditHatches(mainWindow, k); break;
    case INTERNAL_LAYER_TABLE:
        Box06LayerDialogShow(k);
        g_Options.layerDialogVisible = 1;
        break;
    case INTERNAL_PEN_TABLE:
        Box05PenDialogShow(k);
        g_Options.penDialogVisible = 1;
        break;
    case INTERNAL_VIEW_ZOOM_RECT:
    case INTERNAL_VIEW_FIT_VISIBLE:
    case INTERNAL_VIEW_FIT_PAGE:
    case INTERNAL_VIEW_FIT_PAGES:
    case INTERNAL_VIEW_SCALE_1:
    case INTERNAL_VIEW_SCALE_DIALOG:
    case INTERNAL_VIEW_PREVIOUS: {
        const int window = ViewWindowOf(k);
        if (window < 0) {
            InitBeep();
            break;
        }
        if (range->action == INTERNAL_VIEW_SCALE_DIALOG) {
            if (AskScale(mainWindow, commandId, window))
                OutputRedrawWindow(window);
        } else if (ViewCommand(range->action, window))
            OutputRedrawWindow(window);
        else if (range->action != INTERNAL_VIEW_ZOOM_RECT)
            InitBeep(); // nothing to fit, or no view to go back to
        break;
    }
    default: InitBeep(); break;
    }
}

bool MenuPointerHoldsSelection()
{
    const CommandState *cs = g_CommandState;
    return cs && cs->commandId == COMMAND_POINTER && cs->pointIndex >= 1;
}

int MenuGiveToSelection(uint32_t ownBits, const XProperty &values)
{
    auto set = std::make_unique<ObjectAttributes>();
    ObjectAttributesInit(set.get());
    for (int group : {ATTR_GENERAL, ATTR_ANNOTATION}) {
        AttrPropertyGroup &g = group == ATTR_GENERAL ? set->general : set->annotation;
        set->present[group] = 1;
        g.values = values;
        g.values.ownFlags = ownBits;
        g.ownMask = g.fieldMask = ownBits;
    }
    double before[4];
    ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED);
    std::memcpy(before, g_ExtentsRect, sizeof before);
    const int changed =
        ObjectAttributesApplySelection(set.get(), UNIT_SELECTED, g_DrawingSettings.displayDuplicate ? 1 : 0, 0, 1);
    if (changed)
        OutputInvalidateTwoAreas(before, g_ChangedRect);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return changed;
}

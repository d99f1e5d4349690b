// The input-aid commands 1000 to 1043 that help the running command. Built so
// far: the selection aids, the user mark of the selection, the area display,
// stepping back (Escape), asking the parameters again, the duplicate and ortho
// switches, snapping and its single modes, the posted mouse clicks and menu
// key, the redraw of the window under the cursor and the scrolling of its
// view; the other numbers of the range beep until their cases are written.
#include <cstring>

#include "app/convert.h"
#include "app/init_sound.h"
#include "app/status.h"
#include "app/system.h"
#include "app/write_refresh.h"
#include "app/window.h"
#include "commands/command_menu.h"
#include "commands/command.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "app/darad4.h"
#include "commands/input_prepare_dialogs.h"
#include "commands/menu.h"
#include "database/object_ident.h"
#include "database/object_select.h"
#include "display/output_select.h"
#include "dialogs/box03_ortho.h"
#include "dialogs/box03_snap.h"
#include "dialogs/box08_editterm.h"
#include "dialogs/box11_filter.h"
#include "display/output_paint.h"
#include "display/screen.h"
#include "plugin/zvi_module.h"

namespace {

constexpr int COMMAND_SELECT_ALL = 1000;
constexpr int COMMAND_SELECT_PREVIOUS = 1001;
constexpr int COMMAND_SELECT_MARKED = 1002;
constexpr int COMMAND_MARK_SET = 1004;
constexpr int COMMAND_MARK_CLEAR = 1005;
constexpr int COMMAND_MARK_TOGGLE = 1006;
constexpr int COMMAND_AREAS = 1007;
constexpr int COMMAND_COORDINATE_ENTRY = 1008;
constexpr int COMMAND_STEP_BACK = 1009;
constexpr int COMMAND_DUPLICATE = 1011;
constexpr int COMMAND_ORTHO = 1012;
constexpr int COMMAND_ORTHO_LAYOUT = 1013;
constexpr int COMMAND_SNAP_ON = 1015;
constexpr int COMMAND_SNAP_MODE_FIRST = 1016; // modes 1 to 128
constexpr int COMMAND_SNAP_MODE_LAST = 1023;
constexpr int COMMAND_SNAP_CALCULATOR = 1024; // mode bit 256
constexpr int COMMAND_SNAP_TOGGLE = 1025;
constexpr int COMMAND_SNAP_VALUES = 1026;
constexpr int COMMAND_ASK_PARAMETERS = 1010;
constexpr int COMMAND_REDRAW = 1028;
constexpr int COMMAND_CLICK_LEFT = 1029;
constexpr int COMMAND_CLICK_RIGHT = 1031;
constexpr int COMMAND_MENU_KEY = 1032;
constexpr int COMMAND_FILTER_SWITCH = 1042;
constexpr int COMMAND_FILTER_EDIT = 1043;
constexpr int PANEL_CELL_FILTER = 95; // shows whether the selection filter is on
// The snap settings' words: the main switch, the exclusive switch.
constexpr int SNAP_SWITCH_ON = 0;
constexpr int SNAP_SWITCH_EXCLUSIVE = 1;
// Mode bits: the three element modes, the group of point modes, and the bits
// above them that the single-mode switching keeps.
constexpr uint32_t SNAP_SINGLE_BITS = 0x07;
constexpr uint32_t SNAP_GROUP_BITS = 0xF8;
constexpr uint32_t SNAP_KEPT_BITS = 0xF00;
constexpr uint32_t SNAP_CALCULATOR_BIT = 0x100;
constexpr int COMMAND_SCROLL_FIRST = 1033;
constexpr int COMMAND_SCROLL_LAST = 1040;
constexpr double SCROLL_LINE = 0.1;
constexpr double SCROLL_PAGE = 0.95;

// Horizontal and vertical moves of 1033 to 1040, in window sides.
constexpr double SCROLL_MOVES[][2] = {
    {-SCROLL_LINE, CALC_NO_VALUE}, {SCROLL_LINE, CALC_NO_VALUE}, {CALC_NO_VALUE, SCROLL_LINE},
    {CALC_NO_VALUE, -SCROLL_LINE}, {-SCROLL_PAGE, CALC_NO_VALUE}, {SCROLL_PAGE, CALC_NO_VALUE},
    {CALC_NO_VALUE, SCROLL_PAGE},  {CALC_NO_VALUE, -SCROLL_PAGE},
};
static_assert(sizeof SCROLL_MOVES / sizeof SCROLL_MOVES[0] == COMMAND_SCROLL_LAST - COMMAND_SCROLL_FIRST + 1);

// Object flags the selection aids choose by: every object, the previous
// selection, the user mark; and the selection flag the mark commands act on.
constexpr uint32_t SELECT_EVERY = 0;
constexpr uint32_t SELECT_PREVIOUS = 0x40;
constexpr uint32_t SELECT_MARKED = 0x1;
constexpr uint32_t OBJECT_SELECTED = 0x4;
constexpr int LIST_OBJECTS = 0;

// The drawing window under the cursor, else the active one.
int TargetWindow()
{
    const int window = ScreenTrackCursor();
    return window >= 0 ? window : g_ActiveWindow;
}

void StepBack()
{
    const int code = InputStepBack();
    if (code == INPUT_CANCEL)
        InitBeep();
    else if (code == INPUT_ASK_NEXT)
        CommandCancel();
}

void Toggle(uint32_t &word)
{
    word = !word;
    WriteRefreshFrame();
}

// One snap mode: with the exclusive switch the element modes exclude each
// other and the group of point modes, which is remembered meanwhile.
void SnapMode(int k)
{
    LocalSnap &snap = g_LocalData.snap;
    uint32_t modes = static_cast<uint32_t>(snap.snapModes);
    const uint32_t bit = 1u << k;
    if (!snap.switches[SNAP_SWITCH_EXCLUSIVE]) {
        modes ^= bit;
    } else if (bit & SNAP_SINGLE_BITS) {
        if (modes & SNAP_GROUP_BITS)
            snap.reserved1 = static_cast<int32_t>(modes & SNAP_GROUP_BITS);
        modes = (modes & SNAP_KEPT_BITS) | bit;
    } else if (modes & SNAP_GROUP_BITS) {
        modes ^= bit;
    } else {
        modes = (modes & SNAP_KEPT_BITS) | static_cast<uint32_t>(snap.reserved1) | bit;
    }
    snap.snapModes = static_cast<int32_t>(modes);
    WriteRefreshFrame();
}

void SnapOnOff()
{
    LocalSnap &snap = g_LocalData.snap;
    if (!snap.switches[SNAP_SWITCH_ON] && snap.snapModes == 0) {
        InitBeep();
        return;
    }
    Toggle(snap.switches[SNAP_SWITCH_ON]);
}

// After the snap values dialog, with single-mode switching: the group of
// point modes wins over the element modes, of which only the first stays.
void NormaliseSnapModes(LocalSnap &snap)
{
    if (!snap.switches[SNAP_SWITCH_EXCLUSIVE])
        return;
    uint32_t modes = static_cast<uint32_t>(snap.snapModes);
    if (modes & SNAP_GROUP_BITS)
        modes &= ~SNAP_SINGLE_BITS;
    else if (modes & SNAP_SINGLE_BITS)
        modes = (modes & SNAP_KEPT_BITS) | 1u;
    else
        modes &= SNAP_KEPT_BITS;
    snap.snapModes = static_cast<int32_t>(modes);
}

// A click of a mouse button, or the menu key, posted to where the user is.
void PostClick(int commandId)
{
    static const UINT messages[][2] = {
        {WM_LBUTTONDOWN, WM_LBUTTONUP}, {WM_MBUTTONDOWN, WM_MBUTTONUP}, {WM_RBUTTONDOWN, WM_RBUTTONUP}};
    const int window = ScreenTrackCursor();
    DrawWindow *record = window >= 0 ? WindowGetRecord(window) : nullptr;
    POINT p;
    if (!record || !record->hwnd || !GetCursorPos(&p) || !ScreenToClient(record->hwnd, &p)) {
        InitBeep();
        return;
    }
    const LPARAM at = MAKELPARAM(p.x, p.y);
    const UINT *pair = messages[commandId - COMMAND_CLICK_LEFT];
    PostMessageA(record->hwnd, pair[0], pair[0] == WM_RBUTTONDOWN ? MK_RBUTTON : pair[0] == WM_MBUTTONDOWN ? MK_MBUTTON : MK_LBUTTON, at);
    PostMessageA(record->hwnd, pair[1], 0, at);
}

// A point typed in the coordinate calculator, taken as a click would be;
// confirming with Ctrl inverts the duplicate switch for this point only.
void CoordinateEntry(HWND mainWindow)
{
    CoordEntryRecord &record = g_CoordEntryRecord;
    if (!StatusRunTermCalculator(mainWindow, &record, nullptr))
        return;
    const uint32_t copyMode = g_DrawingSettings.displayDuplicate;
    if (record.alternate)
        g_DrawingSettings.displayDuplicate = !copyMode;
    CommandHandleCode(InputPoint(record.result[0], record.result[1], 1));
    g_DrawingSettings.displayDuplicate = copyMode;
}

// The caught cursor position taken as the next point, as a click would be.
void AcceptAtCursor()
{
    OutputHideCrosshair();
    CommandHandleCode(InputPoint(g_CursorPos.x, g_CursorPos.y, 0));
    WriteRefreshFrame();
    OutputShowCrosshair();
}

// 1000 to 1002: completes the selection step being entered with the objects
// carrying `mask` (every object for 0); a beep outside a selection step or
// when there is nothing to select.
void SelectByMenu(uint32_t mask)
{
    const int32_t kind = g_CommandState->pointKind;
    const bool points = kind == POINT_KIND_POINT_SELECTION;
    bool any = kind >= POINT_KIND_FIRST_SELECTION && kind <= POINT_KIND_POINT_SELECTION;
    if (any && mask == SELECT_PREVIOUS)
        any = (points ? ObjectExtentsSelectedPoints(SELECT_PREVIOUS) : ObjectExtentsVisible(LIST_OBJECTS, SELECT_PREVIOUS)) > 0;
    else if (any && mask == SELECT_MARKED)
        any = !points && ObjectExtentsVisible(LIST_OBJECTS, SELECT_MARKED) > 0;
    if (!any) {
        InitBeep();
        return;
    }
    if (InputSelectionCommand(mask))
        AcceptAtCursor();
}

// 1004 to 1006, at the end of their selection step: the user mark of the
// selected objects is set (1), cleared (0) or inverted (-1).
void MarkSelection(int value)
{
    const int changed = value < 0 ? ObjectToggleUserBit(OBJECT_SELECTED, SELECT_MARKED)
                                  : ObjectSetUserBit(OBJECT_SELECTED, value);
    if (!changed) {
        InitBeep();
        return;
    }
    if (g_CommandState->selectionDrawn)
        ObjectDeselectAll();
    else
        ObjectSelectionReset();
    OutputRedrawSelection();
}

// 1013: the ortho record of the drawing settings, edited as a whole.
void EditOrthoLayout(HWND mainWindow, int commandId)
{
    DrawingSettings &d = g_DrawingSettings;
    OrthoLayout layout = {d.orthoModes[0], d.orthoModes[1], {}, d.orthoExtra};
    std::memcpy(layout.angles, d.orthoAngles, sizeof layout.angles);
    char title[CONVERT_TITLE_SIZE];
    ConvertGetCommandTitle(title, commandId);
    if (!Box03EditOrthoLayout(mainWindow, title, &layout))
        return;
    d.orthoModes[0] = layout.mode;
    d.orthoModes[1] = layout.count;
    std::memcpy(d.orthoAngles, layout.angles, sizeof layout.angles);
    d.orthoExtra = layout.tolerance;
}

// The numbers that stand for a submenu (typed, or sent by a plug-in), and
// the unused numbers of the range beyond the last command.
bool IsInputAidSubmenu(int commandId)
{
    return commandId == 1003 || commandId == 1014 || commandId == 1027 || commandId == 1041 ||
           commandId > COMMAND_FILTER_EDIT;
}

} // namespace

void MenuInputAidCommand(HWND mainWindow, int commandId)
{
    if (commandId == COMMAND_SELECT_ALL) {
        SelectByMenu(SELECT_EVERY);
    } else if (commandId == COMMAND_SELECT_PREVIOUS) {
        SelectByMenu(SELECT_PREVIOUS);
    } else if (commandId == COMMAND_SELECT_MARKED) {
        SelectByMenu(SELECT_MARKED);
    } else if (commandId >= COMMAND_MARK_SET && commandId <= COMMAND_MARK_TOGGLE) {
        MarkSelection(commandId == COMMAND_MARK_SET ? 1 : commandId == COMMAND_MARK_CLEAR ? 0 : -1);
    } else if (commandId == COMMAND_AREAS) {
        Toggle(g_DrawingSettings.displayAreas);
    } else if (commandId == COMMAND_COORDINATE_ENTRY) {
        CoordinateEntry(mainWindow);
    } else if (commandId == COMMAND_STEP_BACK) {
        StepBack();
    } else if (commandId == COMMAND_DUPLICATE) {
        Toggle(g_DrawingSettings.displayDuplicate);
    } else if (commandId == COMMAND_ORTHO) {
        Toggle(g_DrawingSettings.displayOrtho);
    } else if (commandId == COMMAND_ORTHO_LAYOUT) {
        EditOrthoLayout(mainWindow, commandId);
    } else if (commandId == COMMAND_SNAP_ON) {
        SnapOnOff();
    } else if (commandId >= COMMAND_SNAP_MODE_FIRST && commandId <= COMMAND_SNAP_MODE_LAST) {
        SnapMode(commandId - COMMAND_SNAP_MODE_FIRST);
    } else if (commandId == COMMAND_SNAP_CALCULATOR) {
        g_LocalData.snap.snapModes ^= static_cast<int32_t>(SNAP_CALCULATOR_BIT);
        WriteRefreshFrame();
    } else if (commandId == COMMAND_SNAP_TOGGLE) {
        if (Box03ToggleSnapModes(mainWindow, nullptr, &g_LocalData.snap))
            WriteRefreshFrame();
    } else if (commandId == COMMAND_SNAP_VALUES) {
        if (Box03EditSnapValues(mainWindow, nullptr, &g_LocalData.snap)) {
            NormaliseSnapModes(g_LocalData.snap);
            WriteRefreshFrame();
        }
    } else if (commandId >= COMMAND_CLICK_LEFT && commandId <= COMMAND_CLICK_RIGHT) {
        PostClick(commandId);
    } else if (commandId == COMMAND_MENU_KEY) {
        PostMessageA(g_MainWnd, WM_SYSKEYDOWN, VK_MENU, 0);
        PostMessageA(g_MainWnd, WM_SYSKEYUP, VK_MENU, 0);
    } else if (commandId == COMMAND_ASK_PARAMETERS) {
        // New values take effect from the first step; a module command's
        // own callback replaces the question.
        if (!PluginInputShiftEscape(g_CommandState->commandId) && InputAskParameters())
            CommandEndInput();
    } else if (commandId == COMMAND_FILTER_SWITCH) {
        g_CommandDefaults.filter.enabled = !g_CommandDefaults.filter.enabled;
        StatusRepaintCell(PANEL_CELL_FILTER);
    } else if (commandId == COMMAND_FILTER_EDIT) {
        char title[CONVERT_TITLE_SIZE];
        ConvertGetCommandTitle(title, commandId);
        Box11SelectionFilter(mainWindow, title, &g_CommandDefaults.filter, g_LocalData.filters);
    } else if (commandId == COMMAND_REDRAW) {
        OutputRedrawWindow(TargetWindow());
    } else if (commandId >= COMMAND_SCROLL_FIRST && commandId <= COMMAND_SCROLL_LAST) {
        const int window = TargetWindow();
        const double *move = SCROLL_MOVES[commandId - COMMAND_SCROLL_FIRST];
        WindowPushView(window);
        WindowSetView(window, WINDOW_VIEW_RELATIVE, move[0], move[1], CALC_NO_VALUE);
        OutputRedrawWindow(window);
        OutputShowCrosshair();
    } else if (IsInputAidSubmenu(commandId)) {
        CommandShowSubmenu(commandId, nullptr);
    } else {
        InitBeep();
    }
}

// The mouse in the drawing windows.
#include "commands/command_mouse.h"
#include "commands/input_pointer.h"

#include <algorithm>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/init_sound.h"
#include "app/status.h"
#include "app/status_refresh.h"
#include "app/system.h"
#include "app/window.h"
#include "app/window_progress.h"
#include "app/write_refresh.h"
#include "commands/command.h"
#include "commands/command_keys.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "dialogs/box13.h"
#include "dialogs/box08_editterm.h"
#include "display/output_paint.h"
#include "display/screen.h"
#include "language/language.h"

int32_t g_CommandSpaceZoom = SPACE_ZOOM_IDLE;
HMENU g_CommandContextMenu = nullptr;
CommandSnapFinder g_CommandSnapFinder = nullptr;
CommandPopupAnswer g_CommandPopupAnswer = nullptr;
CommandMarginPopup g_CommandMarginPopup = nullptr;

namespace {

constexpr double ZOOM_IN = 2.0;
constexpr double ZOOM_OUT = 0.5;
constexpr int AREA_NONE = -3;           // the remembered status-help area: none
// + the button: its status-bar help; the dialog texts after the pen and
// layer tables' buttons hold the view popup's items, so the buttons past
// them say what their tooltips say.
constexpr int TEXT_BUTTON_HELP = 55;
constexpr int TEXT_BUTTON_HELP_LAST = 66;
constexpr int TOOLTIP_BUTTON_HELP = 39; // eTooltipTexts: + the button
constexpr int TEXT_STATUS_HINT = 16;
constexpr int COMMAND_ZOOM_WINDOW = 104;
constexpr int SNAP_SWITCH_ON = 0;
constexpr uint32_t SNAP_MODE_BITS = 0xFF;
constexpr uint32_t SNAP_CALCULATOR = 0x100;
constexpr int MENU_ITEM_HEIGHT = 18;    // pixels per item when centring the context menu
constexpr int BUTTON_LOOK_HIGHLIGHT = 1;
constexpr int BUTTON_LOOK_PRESSED = 4;

int s_StatusArea = AREA_NONE;

bool Modal() { return g_ModalDepth > 0; }

// The window's record, or null while a modal dialog keeps the mouse away.
DrawWindow *Target(int window) { return Modal() ? nullptr : WindowGetRecord(window); }

bool IsButton(int area) { return area >= 0 && area < MARGIN_BUTTONS; }

// The snap-mode text of the kind a snap search found.
int SnapText(int kind)
{
    switch (kind) {
    case 1: return 1;
    case 2: return 2;
    case 4: return 3;
    case 8: return 4;
    case 16:
    case 32: return 5;
    case 64: return 6;
    default: return 7;
    }
}

void RepaintButton(int window, int button)
{
    OutputHideCrosshair();
    CommandDrawWindowButton(window, button);
    OutputShowCrosshair();
}

// Makes the window the active one (the target of window commands).
void Activate(int window)
{
    if (g_ActiveWindow == window)
        return;
    g_ActiveWindow = window;
    WindowSelectCurrent();
    WindowSetActive(window, 1);
}

// After a click: the crosshair where the cursor is now, or the arrow.
void TrackAfterClick()
{
    const int window = ScreenTrackCursor();
    if (window >= 0) {
        ScreenCrosshairOn(window);
        return;
    }
    WindowSetActive(g_ActiveWindow, 0);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    WriteRefreshStatus();
}

// While Space is held a click zooms the window about the cursor.
void SpaceZoom(int window, double factor)
{
    if (g_CommandSpaceZoom == SPACE_ZOOM_HELD)
        WindowPushView(window);
    WindowSetView(window, WINDOW_VIEW_ZOOM_ABOUT, g_CursorPos.x, g_CursorPos.y, factor);
    OutputRedrawWindow(window);
    OutputShowCrosshair();
    g_CommandSpaceZoom = SPACE_ZOOM_CLICKED;
}

// The point of a click in the drawing: snapped when snapping is on and the
// step takes coordinates. 0 when the click is refused.
int ClickPoint(int window, double point[2])
{
    const CommandState &cs = *g_CommandState;
    point[0] = g_CursorPos.x;
    point[1] = g_CursorPos.y;
    const LocalSnap &snap = g_LocalData.snap;
    const bool snapping = snap.switches[SNAP_SWITCH_ON] && cs.pointKind < POINT_KIND_FIRST_PICK &&
                          cs.commandId != COMMAND_TRANSPARENT;
    if (!snapping)
        return 1;
    const uint32_t modes = static_cast<uint32_t>(snap.snapModes);
    if ((modes & SNAP_MODE_BITS) && g_CommandSnapFinder) {
        int kind = 0;
        if (!g_CommandSnapFinder(window, g_CursorPos.rawX, g_CursorPos.rawY, point, &kind)) {
            InitBeep();
            return 0;
        }
        WindowShowTimedFlag(eSnapModeTexts[SnapText(kind)], nullptr);
        if (snap.switches[3])
            ScreenGridCatch(window, point);
        if (snap.switches[2])
            ScreenOrthoCatch(window, point);
    }
    if (!(modes & SNAP_CALCULATOR))
        return 1;
    // The point-entry calculator starts from the point found: cancelling it
    // refuses the click, and its copy-mode switch holds for this click only
    // (the caller restores the mode).
    CoordEntryRecord &record = g_CoordEntryRecord;
    if (!StatusRunTermCalculator(g_MainWnd, &record, point))
        return 0;
    point[0] = record.result[0];
    point[1] = record.result[1];
    if (record.alternate)
        g_DrawingSettings.displayDuplicate = !g_DrawingSettings.displayDuplicate;
    return 1;
}

void ClickInDrawing(int window)
{
    InputFeedbackHide(4);
    ScreenHideCrosshairs();
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const uint32_t copyMode = g_DrawingSettings.displayDuplicate;
    double point[2];
    if (ClickPoint(window, point)) {
        const int code = InputPoint(point[0], point[1], 1);
        SetCursor(nullptr);
        CommandHandleCode(code);
    }
    SetCursor(previous);
    g_DrawingSettings.displayDuplicate = copyMode;
    WriteRefreshFrame();
    TrackAfterClick();
}

int TrackMenu(HMENU menu, int x, int y)
{
    if (g_CommandPopupAnswer)
        return g_CommandPopupAnswer(menu, x, y);
    return TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, g_MainWnd,
                          nullptr);
}

void PostCommand(int command)
{
    if (command >= 0 && g_MainWnd)
        PostMessageA(g_MainWnd, WM_COMMAND, static_cast<WPARAM>(command), 0);
}

// The command palette of the drawing windows' right and middle buttons:
// only enabled commands; the choice runs as a command message.
void Palette()
{
    WriteRefreshStatus();
    PostCommand(Box13Popup(g_MainWnd, 1));
}

// A margin button's action on release.
void ButtonLeftAction(int window, int button)
{
    const MarginButton &b = g_MarginButtons[button];
    switch (b.left) {
    case MARGIN_COMMAND: CommandExecute(b.leftCommand, 0); break;
    case MARGIN_TABLE_PEN:
    case MARGIN_TABLE_LAYER: {
        const bool pen = b.left == MARGIN_TABLE_PEN;
        HWND &table = pen ? hGlobalPenDialog : hGlobalLayerDialog;
        uint32_t &visible = pen ? g_Options.penDialogVisible : g_Options.layerDialogVisible;
        if (table && IsWindow(table) && IsWindowVisible(table)) {
            ShowWindow(table, SW_HIDE);
            visible = 0;
            RepaintButton(window, button);
        } else {
            CommandExecute(b.leftCommand, 0);
        }
        break;
    }
    default: {
        // The list popups open at the button, in screen coordinates.
        if (!g_CommandMarginPopup) {
            InitBeep();
            break;
        }
        RECT r = WindowGetRecord(window)->buttonRects[button];
        MapWindowPoints(WindowGetRecord(window)->hwnd, nullptr, reinterpret_cast<POINT *>(&r), 2);
        g_CommandMarginPopup(window, b.left, r);
        break;
    }
    }
}

bool ButtonExists(int window, int button)
{
    if (button < 0 || button >= MARGIN_BUTTONS)
        return false;
    if (button < WINDOW_CORNER_BUTTONS && !g_Options.buttonVisible)
        return false;
    return !(g_MarginButtons[button].mainOnly && window != 0);
}

bool ButtonPressedLook(int button)
{
    const size_t option = g_MarginButtons[button].option;
    if (option == SIZE_MAX)
        return false;
    return *reinterpret_cast<const uint32_t *>(reinterpret_cast<const char *>(&g_Options) + option) != 0;
}

// The pictures of the tool-window buttons 5 to 13, in button order.
const char *const MARGIN_ICONS[] = {"IDI_WPEN",    "IDI_WLAYER", "IDI_WVIEW",  "IDI_WPANEL", "IDI_WSTATUS",
                                    "IDI_WTOOLBOX", "IDI_WPROP",  "IDI_WBLOCK", "IDI_WGUIDE"};
constexpr int MARGIN_ICON_SIZE = 16;

// The button's picture, centred, shrunk to fit a small button and moved by
// one pixel while pressed.
void DrawMarginIcon(HDC dc, const RECT &r, int button, int offset)
{
    const int k = button - WINDOW_CORNER_BUTTONS;
    if (k < 0 || k >= int(sizeof MARGIN_ICONS / sizeof MARGIN_ICONS[0]))
        return;
    HICON icon = static_cast<HICON>(LoadImageA(g_Instance, MARGIN_ICONS[k], IMAGE_ICON, MARGIN_ICON_SIZE,
                                               MARGIN_ICON_SIZE, LR_SHARED));
    if (!icon)
        return;
    const int room = std::min<int>(r.right - r.left, r.bottom - r.top) - 4;
    const int size = std::max(4, std::min(MARGIN_ICON_SIZE, room));
    DrawIconEx(dc, (r.left + r.right - size) / 2 + offset, (r.top + r.bottom - size) / 2 + offset, icon, size, size, 0,
               nullptr, DI_NORMAL);
}

} // namespace

void CommandMouseMove(int window, int x, int y)
{
    DrawWindow *w = Target(window);
    if (!w)
        return;
    const int area = ScreenHitTestMargin(window, x, y);
    if (IsButton(area))
        OutputHideCrosshair();
    if (area == SCREEN_HIT_AREA_TRACKING) {
        SetCursor(nullptr);
        const bool unchanged = !g_CursorPos.xChanged && !g_CursorPos.yChanged && g_CursorPos.shown &&
                               g_CommandState->feedbackState == FEEDBACK_DRAWN;
        if (!unchanged) {
            ScreenHideCrosshairs();
            InputFeedbackHide(1);
            InputMove(g_CursorPos.x, g_CursorPos.y);
            InputFeedbackShow(1);
            ScreenShowCrosshairs();
            WriteRefreshStatusPosition();
        }
    } else {
        ScreenCrosshairOff();
    }
    if (w->pressedButton >= 0) {
        const bool over = area == w->pressedButton;
        if (over != (w->hoverButton == w->pressedButton)) {
            w->hoverButton = over ? w->pressedButton : -1;
            RepaintButton(window, w->pressedButton);
        }
    }
    if (area >= 0 && area != s_StatusArea) {
        if (IsButton(area)) {
            WriteRefreshStatus();
            const char *help = TEXT_BUTTON_HELP + area <= TEXT_BUTTON_HELP_LAST ? eDialogText[TEXT_BUTTON_HELP + area]
                                                                                 : eTooltipTexts[TOOLTIP_BUTTON_HELP + area];
            WriteShowStatusText(help, eStatusTexts[TEXT_STATUS_HINT]);
        }
        s_StatusArea = area;
    } else if (area < 0 && s_StatusArea != AREA_NONE) {
        WriteRefreshFrame();
        s_StatusArea = AREA_NONE;
    }
}

void CommandLButtonDown(int window, int x, int y)
{
    if (CommandMode() == TEMPLATE_HELP_PICK) {
        ConvertShowContextHelp();
        return;
    }
    DrawWindow *w = Target(window);
    if (!w)
        return;
    if (g_CommandSpaceZoom != SPACE_ZOOM_IDLE) {
        ScreenHitTestMargin(window, x, y); // the cursor position to zoom about
        SpaceZoom(window, ZOOM_IN);
        return;
    }
    const int area = ScreenHitTestMargin(window, x, y);
    if (area < 0)
        return;
    if (IsButton(area)) {
        Activate(window);
        w->pressedButton = w->hoverButton = area;
        RepaintButton(window, area);
        return;
    }
    if (area == SCREEN_HIT_ELSEWHERE) {
        Activate(window);
        return;
    }
    if (area == SCREEN_HIT_AREA_TRACKING)
        ClickInDrawing(window);
}

void CommandLButtonUp(int window, int x, int y)
{
    // A press on nothing in a selection step began a frame: a drag closes it.
    if (!Modal() && InputSelectionRelease(window, x, y)) {
        ClickInDrawing(window);
        return;
    }
    // A handle of the pointer's frame dragged with the button held: the
    // release applies it.
    if (!Modal() && InputPointerRelease(window, x, y)) {
        ClickInDrawing(window);
        return;
    }
    DrawWindow *w = WindowGetRecord(window);
    if (!w || w->pressedButton < 0)
        return;
    const int pressed = w->pressedButton;
    const int area = ScreenHitTestMargin(window, x, y);
    const bool act = area == pressed && w->hoverButton == pressed;
    w->hoverButton = -1;
    w->pressedButton = -1;
    RepaintButton(window, pressed);
    if (act && ButtonExists(window, pressed))
        ButtonLeftAction(window, pressed);
}

void CommandRButtonDown(int window, int x, int y)
{
    DrawWindow *w = Target(window);
    if (!w)
        return;
    if (g_CommandSpaceZoom != SPACE_ZOOM_IDLE) {
        ScreenHitTestMargin(window, x, y);
        SpaceZoom(window, ZOOM_OUT);
        return;
    }
    const int area = ScreenHitTestMargin(window, x, y);
    if (IsButton(area)) {
        w->pressedButton = w->hoverButton = area;
        RepaintButton(window, area);
        return;
    }
    const int32_t mode = CommandMode();
    if (area == SCREEN_HIT_AREA_TRACKING || area == SCREEN_HIT_AREA) {
        const CommandState &cs = *g_CommandState;
        InputFeedbackHide(4);
        ScreenHideCrosshairs();
        if (g_CommandTransparent) {
            CommandFinishInput();
            InputFeedbackShow(4);
            OutputShowCrosshair();
        } else if (mode >= TEMPLATE_ONE_POINT && mode <= TEMPLATE_REPEATED) {
            CommandCancel();
            InputFeedbackShow(4);
            OutputShowCrosshair();
        } else if (cs.pointIndex < 1 && !cs.rectanglePending && !cs.additive) {
            CommandRButtonMenu();
        } else {
            CommandFinishInput();
            TrackAfterClick();
        }
        WriteRefreshFrame();
        return;
    }
    if (area == SCREEN_HIT_ELSEWHERE) {
        Activate(window);
        CommandExecute(COMMAND_ZOOM_WINDOW, 0);
        return;
    }
    if (mode >= TEMPLATE_ONE_POINT && mode <= TEMPLATE_HELP_PICK)
        CommandRButtonMenu();
    else
        InitBeep();
}

void CommandRButtonUp(int window, int x, int y)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w || w->pressedButton < 0)
        return;
    const int area = ScreenHitTestMargin(window, x, y);
    if (area != w->hoverButton)
        return;
    const int button = w->pressedButton;
    w->hoverButton = w->pressedButton = -1;
    RepaintButton(window, button);
    if (ButtonExists(window, button))
        CommandExecute(g_MarginButtons[button].rightCommand, 0);
}

void CommandMButtonDown()
{
    if (Modal())
        return;
    switch (g_Options.mButtonMode) {
    case 1: CommandRButtonMenu(); break;
    case 2: PostMessageA(g_MainWnd, WM_KEYDOWN, VK_SHIFT, 0); break;
    case 3: PostMessageA(g_MainWnd, WM_KEYDOWN, VK_CONTROL, 0); break;
    case 4: PostCommand(g_Options.mButtonCommand); break;
    default: Palette(); break;
    }
}

void CommandMButtonUp()
{
    if (g_Options.mButtonMode == 2)
        PostMessageA(g_MainWnd, WM_KEYUP, VK_SHIFT, 0);
    else if (g_Options.mButtonMode == 3)
        PostMessageA(g_MainWnd, WM_KEYUP, VK_CONTROL, 0);
}

void CommandRButtonMenu()
{
    if (g_Options.rButtonMode == 0) {
        if (!Modal())
            Palette();
        return;
    }
    if (!g_CommandContextMenu || Modal())
        return;
    POINT p;
    GetCursorPos(&p);
    const int items = GetMenuItemCount(g_CommandContextMenu);
    g_PopupByRightButton = 1;
    const int chosen = TrackMenu(g_CommandContextMenu, p.x, p.y - items * MENU_ITEM_HEIGHT / 2);
    if (chosen > 0)
        PostCommand(chosen);
}

void CommandDrawWindowButton(int window, int button)
{
    const DrawWindow *w = WindowGetRecord(window);
    if (!w || !w->hwnd || !ButtonExists(window, button))
        return;
    const RECT r = w->buttonRects[button];
    if (r.left < 0)
        return;
    int look = 0;
    if (button >= WINDOW_FIRST_TOGGLE && ButtonPressedLook(button))
        look |= BUTTON_LOOK_PRESSED;
    if (w->hoverButton == button)
        look |= BUTTON_LOOK_HIGHLIGHT | BUTTON_LOOK_PRESSED;
    HDC dc = GetDC(w->hwnd);
    if (!dc)
        return;
    RECT face = r;
    FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &face, (look & BUTTON_LOOK_PRESSED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    if (button < WINDOW_CORNER_BUTTONS) {
        const POINT triangle[3] = {{cx - 2, cy - 4}, {cx + 1, cy - 1}, {cx - 2, cy + 2}};
        HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_BTNTEXT));
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        Polygon(dc, triangle, 3);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
    } else {
        DrawMarginIcon(dc, r, button, (look & BUTTON_LOOK_PRESSED) ? 1 : 0);
    }
    ReleaseDC(w->hwnd, dc);
}

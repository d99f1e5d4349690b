// Dialog services for plug-ins: their popup windows among the program's
// tool windows, the program's painters for owner-drawn controls, the
// program's dialogs on the plug-in's records (copied back only after OK),
// the definition popups, the guide and the progress dialogs.
#include <cstring>
#include <memory>

#include "app/darad4.h"
#include "app/status_draw.h"
#include "app/system.h"
#include "app/window.h"
#include "app/window_progress.h"
#include "app/write_refresh.h"
#include "app/write_tablet.h"
#include "commands/command_state.h"
#include "commands/command_popup.h"
#include "database/init.h"
#include "database/object.h"
#include "database/object_attributes.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box04_color.h"
#include "dialogs/box05_defs.h"
#include "dialogs/box07.h"
#include "dialogs/box08_editterm.h"
#include "dialogs/box10_dim.h"
#include "dialogs/box11_filter.h"
#include "dialogs/box12.h"
#include "dialogs/box14.h"
#include "display/screen.h"
#include "display/symbol.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"

namespace {

constexpr int HELP_MESSAGE = WM_HELP;
constexpr int PROPERTY_MODE = 0;
constexpr int ALIGNMENT_LIMIT = 3;
constexpr int ICON_HALF = 16;
constexpr int TABLET_EDGE = 2; // pixels from the screen's border

HWND s_Remembered = nullptr; // the window that lost the activation to a plug-in popup

bool IsPopup(HWND w) { return (GetWindowLongA(w, GWL_STYLE) & WS_POPUP) != 0; }

// The checks of a popup export; 1 when the window may be used.
int PopupChecks(HWND popup, bool mustBePopup, const char *function, int line)
{
    if (!popup || !IsWindow(popup))
        return ZviRefuse(function, line, "Window handle invalid!");
    if (mustBePopup && !IsPopup(popup))
        return ZviRefuse(function, line, "Window is not a popup window!");
    return 1;
}

// Plug-in windows destroyed without unregistering leave their slots: they
// are dropped before the registry is searched or extended.
void PruneDeadPopups()
{
    int kept = WINDOW_OWN_POPUPS;
    for (int i = WINDOW_OWN_POPUPS; i < g_PopupWindows.count && i < WINDOW_POPUP_SLOTS; ++i)
        if (IsWindow(g_PopupWindows.windows[i]))
            g_PopupWindows.windows[kept++] = g_PopupWindows.windows[i];
    for (int i = kept; i < g_PopupWindows.count && i < WINDOW_POPUP_SLOTS; ++i)
        g_PopupWindows.windows[i] = nullptr;
    if (g_PopupWindows.count > kept)
        g_PopupWindows.count = kept;
}

int FindPlugInPopup(HWND popup)
{
    for (int i = WINDOW_OWN_POPUPS; i < g_PopupWindows.count && i < WINDOW_POPUP_SLOTS; ++i)
        if (g_PopupWindows.windows[i] == popup)
            return i;
    return -1;
}

// The first checks of a record dialog: owner, caption and the record.
int RecordChecks(HWND owner, const char *caption, void *data, size_t bytes, const char *function, int line)
{
    if (!owner || !IsWindow(owner))
        return ZviRefuse(function, line, "Window handle invalid!");
    if (ZviTextLength(caption, ZVI_TEXT_SIZE) < 0)
        return ZviRefuse(function, line, "Caption address invalid!");
    if (bytes && !ZviWritable(data, bytes))
        return ZviRefuse(function, line, "Data address invalid!");
    return 1;
}

bool DrawItemValid(const DRAWITEMSTRUCT *item, const char *function, int line)
{
    return ZviReadable(item, sizeof(DRAWITEMSTRUCT)) || ZviRefuse(function, line, "DrawItem address invalid!");
}

bool TextValid(const char *text, const char *reason, const char *function, int line)
{
    return ZviTextLength(text, TEXT_CAPACITY_LONG) >= 0 || ZviRefuse(function, line, reason);
}

// An optional text: null, or readable.
bool OptionalText(const char *text, const char *reason, const char *function, int line)
{
    return !text || TextValid(text, reason, function, line);
}

// A text the dialog edits in a buffer of its own; on OK it goes back into
// the plug-in's buffer only when that is writable for all of it.
struct EditedText {
    char buffer[BOX07_EDIT_SIZE] = "";
    explicit EditedText(const char *from)
    {
        if (from)
            ZviCopyText(buffer, from, TEXT_BUFFER_SIZE);
    }
    bool CopyBack(char *to, const char *function, int line) const
    {
        const size_t n = std::strlen(buffer) + 1;
        if (!ZviWritable(to, n))
            return ZviRefuse(function, line, "EditText address invalid!");
        std::memcpy(to, buffer, n);
        return true;
    }
};

} // namespace

extern "C" {

int ZVI_CALL ZVI_DialogHelpMessage() { return HELP_MESSAGE; }

UINT ZVI_CALL ZVI_DialogEnterIdle(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    return Box01DialogEnterIdle(dialog, wParam, lParam);
}

int ZVI_CALL ZVI_DialogPopupRegister(HWND popup)
{
    PruneDeadPopups();
    if (g_PopupWindows.count >= WINDOW_POPUP_SLOTS)
        return ZVI_REFUSE("Unable to register another popup window!");
    if (!PopupChecks(popup, true, __func__, __LINE__))
        return 0;
    if (FindPlugInPopup(popup) >= 0)
        return ZVI_REFUSE("Window already registered!");
    g_PopupWindows.windows[g_PopupWindows.count++] = popup;
    return 1;
}

int ZVI_CALL ZVI_DialogPopupUnregister(HWND popup)
{
    PruneDeadPopups();
    if (g_PopupWindows.count <= WINDOW_OWN_POPUPS)
        return ZVI_REFUSE("Unable to unregister any popup window!");
    if (!PopupChecks(popup, true, __func__, __LINE__))
        return 0;
    const int at = FindPlugInPopup(popup);
    if (at < 0)
        return ZVI_REFUSE("Window is not registered!");
    for (int i = at; i + 1 < g_PopupWindows.count; ++i)
        g_PopupWindows.windows[i] = g_PopupWindows.windows[i + 1];
    g_PopupWindows.windows[--g_PopupWindows.count] = nullptr;
    return 1;
}

void ZVI_CALL ZVI_DialogPopupActivate(HWND popup, WPARAM wParam, LPARAM lParam)
{
    if (!PopupChecks(popup, true, __func__, __LINE__))
        return;
    s_Remembered = LOWORD(wParam) != WA_INACTIVE ? reinterpret_cast<HWND>(lParam) : nullptr;
}

void ZVI_CALL ZVI_DialogPopupMove(HWND popup)
{
    if (!PopupChecks(popup, false, __func__, __LINE__))
        return;
    // Typing goes on where it was: in the open coordinate entry first.
    if (g_CoordEntryWnd && IsWindow(g_CoordEntryWnd)) {
        SetFocus(g_CoordEntryWnd);
        return;
    }
    HWND back = s_Remembered && IsWindow(s_Remembered) ? s_Remembered : g_MainWnd;
    if (back)
        SetActiveWindow(back);
}

void ZVI_CALL ZVI_DialogPopupSetCursor(HWND popup, WPARAM, LPARAM lParam)
{
    if (!PopupChecks(popup, true, __func__, __LINE__))
        return;
    if (g_StartScreen)
        return;
    // Over a popup the drawing windows' crosshair and rubber band go away.
    const bool feedback = g_CommandState && g_CommandState->feedbackState != FEEDBACK_NONE;
    if (g_CursorPos.shown || feedback)
        ScreenCrosshairOff();
    else if (LOWORD(lParam) == HTCLIENT)
        SetCursor(LoadCursorA(nullptr, CommandMode() == TEMPLATE_HELP_PICK ? IDC_HELP : IDC_ARROW));
    else
        WriteRefreshStatus();
    // A tablet pen leaving the screen's edge gets its context back.
    POINT at;
    if (g_TabletActive && g_TabletContext && GetCursorPos(&at)) {
        const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        if (at.x < TABLET_EDGE || at.y < TABLET_EDGE || at.x >= w - TABLET_EDGE || at.y >= h - TABLET_EDGE)
            WriteWTEnable(g_TabletContext, 1);
    }
}

void ZVI_CALL ZVI_DialogComboboxAdjust(HWND combo, int id) { Box01DialogComboboxAdjust(combo, id); }

void ZVI_CALL ZVI_DialogCenter(HWND dialog)
{
    if (PopupChecks(dialog, false, __func__, __LINE__))
        Box01DialogCenter(dialog);
}

// --- owner-drawn controls

void ZVI_CALL ZVI_DialogCustomButtonColor(const DRAWITEMSTRUCT *item, COLORREF colour, int flag)
{
    if (DrawItemValid(item, __func__, __LINE__))
        Box01DialogCustomButtonColor(item, colour, flag);
}

void ZVI_CALL ZVI_DialogCustomButtonText(const DRAWITEMSTRUCT *item, const char *text, int flag)
{
    if (DrawItemValid(item, __func__, __LINE__) && TextValid(text, "Text address invalid!", __func__, __LINE__))
        Box01DialogCustomButtonText(item, text, flag);
}

void ZVI_CALL ZVI_DialogCustomButtonPen(const DRAWITEMSTRUCT *item, int index, const char *text, int flag)
{
    if (DrawItemValid(item, __func__, __LINE__) && TextValid(text, "Text address invalid!", __func__, __LINE__))
        Box01DialogCustomButtonLayer(item, static_cast<uint32_t>(index), text, flag);
}

void ZVI_CALL ZVI_DialogCustomButtonLayer(const DRAWITEMSTRUCT *item, int index, const char *text, int flag)
{
    if (DrawItemValid(item, __func__, __LINE__) && TextValid(text, "Text address invalid!", __func__, __LINE__))
        Box01DialogCustomButtonLayer(item, static_cast<uint32_t>(index), text, flag);
}

void ZVI_CALL ZVI_DialogCustomListboxColor(const DRAWITEMSTRUCT *item, COLORREF colour, const char *text)
{
    if (DrawItemValid(item, __func__, __LINE__) && TextValid(text, "Text address invalid!", __func__, __LINE__))
        Box01DialogCustomListboxColor(item, colour, text);
}

void ZVI_CALL ZVI_DialogCustomButtonIcon(const DRAWITEMSTRUCT *item, HICON icon, int pressed)
{
    if (!DrawItemValid(item, __func__, __LINE__))
        return;
    const RECT &face = item->rcItem;
    const bool disabled = (item->itemState & ODS_DISABLED) != 0;
    const uint32_t style = (pressed || (item->itemState & ODS_SELECTED) ? STATUS_BUTTON_PRESSED : 0) |
                           (disabled ? STATUS_BUTTON_DISABLED : 0);
    const int inset = StatusDrawButtonFace(item->hDC, style, &face, nullptr);
    const int cx = (face.left + face.right) / 2 + inset, cy = (face.top + face.bottom) / 2 + inset;
    if (icon)
        DrawIconEx(item->hDC, cx - ICON_HALF, cy - ICON_HALF, icon, 2 * ICON_HALF, 2 * ICON_HALF, 0, nullptr,
                   DI_NORMAL);
    // A disabled button is greyed over its icon.
    if (disabled)
        StatusDrawButtonPattern(item->hDC, &face);
    StatusDrawButtonBorder(item->hDC, style, &face);
}

// --- the program's dialogs on the plug-in's records

void ZVI_CALL ZVI_DialogSelection(HWND owner, const char *caption)
{
    if (!RecordChecks(owner, caption, nullptr, 0, __func__, __LINE__))
        return;
    // The filter writes the program's own filters back on OK only.
    Box11SelectionFilter(owner, caption, &g_CommandDefaults.filter, g_LocalData.filters);
}

int ZVI_CALL ZVI_DialogColor(HWND owner, const char *caption, COLORREF *colour)
{
    if (!RecordChecks(owner, caption, colour, sizeof(COLORREF), __func__, __LINE__))
        return 0;
    COLORREF copy = *colour;
    const int result = Box04ChooseColor(owner, caption, &copy);
    if (result)
        *colour = copy;
    return result;
}

int ZVI_CALL ZVI_DialogProperty(HWND owner, const char *caption, void *data)
{
    if (!RecordChecks(owner, caption, data, ZVI_SIZE_PROPERTY, __func__, __LINE__))
        return 0;
    Property copy;
    std::memcpy(&copy, data, sizeof copy);
    const int result = Box05EditProperty(owner, caption, &copy);
    if (result)
        std::memcpy(data, &copy, sizeof copy);
    return result;
}

int ZVI_CALL ZVI_DialogXProperty(HWND owner, const char *caption, XProperty *data)
{
    if (!RecordChecks(owner, caption, data, sizeof(XProperty), __func__, __LINE__))
        return 0;
    auto attributes = std::make_unique<ObjectAttributes>();
    ObjectAttributesInit(attributes.get());
    attributes->present[ATTR_GENERAL] = 1;
    attributes->general.values = *data;
    const int result =
        Box14ObjInfoSingle(owner, caption, attributes.get(), PROPERTY_MODE, nullptr, nullptr, 1, 1, nullptr);
    if (result)
        *data = attributes->general.values; // only on OK
    return result;
}

int ZVI_CALL ZVI_DialogDimLine(HWND owner, const char *caption, void *data, int mode)
{
    if (!RecordChecks(owner, caption, data, ZVI_SIZE_DIMLINE, __func__, __LINE__))
        return 0;
    auto attributes = std::make_unique<ObjectAttributes>();
    ObjectAttributesInit(attributes.get());
    // mode: which control groups may be edited (the record's field mask).
    attributes->fieldEnable = static_cast<uint32_t>(mode) & ATTR_FIELDS_ALL;
    attributes->present[ATTR_LINE_END] = 1;
    static_assert(sizeof attributes->lineEnd.words == ZVI_SIZE_DIMLINE);
    std::memcpy(attributes->lineEnd.words, data, ZVI_SIZE_DIMLINE);
    const int result = static_cast<int>(Box10DimensionParam0(owner, caption, attributes.get()));
    if (result)
        std::memcpy(data, attributes->lineEnd.words, ZVI_SIZE_DIMLINE); // only on OK
    return result;
}

int ZVI_CALL ZVI_DialogFontDef(HWND owner, const char *caption, FontDef *data)
{
    if (!RecordChecks(owner, caption, data, sizeof(FontDef), __func__, __LINE__))
        return 0;
    FontDef copy = *data;
    const int result = static_cast<int>(Box07FontDef(owner, caption, &copy));
    if (result)
        *data = copy;
    return result;
}

int ZVI_CALL ZVI_DialogTextStandard(HWND owner, const char *caption, void *textStandard, void *textReference,
                                   char *text)
{
    if (!RecordChecks(owner, caption, nullptr, 0, __func__, __LINE__))
        return 0;
    if (textStandard && !ZviWritable(textStandard, ZVI_SIZE_TEXTSTANDARD))
        return ZVI_REFUSE("Data1 address invalid!");
    if (textReference && !ZviWritable(textReference, ZVI_SIZE_TEXTREFERENCE))
        return ZVI_REFUSE("Data2 address invalid!");
    if (text && !ZviWritable(text, 1))
        return ZVI_REFUSE("EditText address invalid!");
    EditedText edited(text);
    auto *standard = static_cast<TextStandardData *>(textStandard);
    auto *reference = static_cast<TextReferenceData *>(textReference);
    auto a = std::make_unique<ObjectAttributes>();
    ObjectAttributesInit(a.get());
    if (standard) {
        a->present[ATTR_STD_TEXT] = 1;
        AttrStdText &t = a->stdText;
        t.font = standard->font;
        t.charSpacing = standard->charSpacing;
        t.tabUnit = standard->tabUnit;
        t.lineSpacing = standard->lineSpacing;
        t.alignment = standard->alignment;
        MatrixSeparate(&standard->matrix, &t.height, &t.ratio, &t.rotation, &t.slant, &t.x, &t.y);
    }
    if (reference) {
        a->present[ATTR_REF_TEXT] = 1;
        a->refText.endMark = reference->arrows[0];
        a->refText.leader = reference->arrows[1];
        a->refText.frameShape = reference->frameKind;
        a->refText.frameDistance = reference->frameValue;
    }
    uint32_t result;
    if (standard)
        result = Box07TextStandard(owner, caption, a.get(), text ? edited.buffer : nullptr);
    else if (reference)
        result = Box07TextReference(owner, caption, a.get());
    else
        result = Box07TextChange(owner, caption, text ? edited.buffer : nullptr);
    if (!result)
        return 0; // cancelled: the records stay as they were
    if (standard) {
        const AttrStdText &t = a->stdText;
        standard->font = t.font;
        standard->charSpacing = t.charSpacing;
        standard->tabUnit = t.tabUnit;
        standard->lineSpacing = t.lineSpacing;
        standard->alignment = t.alignment < ALIGNMENT_LIMIT ? t.alignment : 0;
        ObjectAttributesTextMatrix(&t, &standard->matrix);
    }
    if (reference) {
        reference->arrows[0] = a->refText.endMark;
        reference->arrows[1] = a->refText.leader;
        reference->frameKind = a->refText.frameShape;
        reference->frameValue = a->refText.frameDistance;
    }
    if (text)
        edited.CopyBack(text, __func__, __LINE__);
    return static_cast<int>(result);
}

// --- the dimension, framed-text and block dialogs

} // extern "C"

namespace {

// A plug-in's record (a dimension's or a framed text's) wrapped as an
// element, so that the program's own collectors and appliers move its fields
// into and out of the dialog's attribute record.
template <typename Record> struct RecordElement {
    alignas(8) uint8_t bytes[ELEMENT_HEADER_SIZE + sizeof(Record)];
    RecordElement(const void *data, int16_t kind)
    {
        InitElementEmpty(element(), kind);
        element()->size = sizeof bytes;
        std::memcpy(ElementPayload(element()), data, sizeof(Record));
    }
    Element *element() { return reinterpret_cast<Element *>(bytes); }
    void CopyOut(void *data) { std::memcpy(data, ElementPayload(element()), sizeof(Record)); }
};
static_assert(sizeof(DimSmallRecord) == ZVI_SIZE_DIMSMALL && sizeof(DimLargeRecord) == ZVI_SIZE_DIMLARGE);
static_assert(sizeof(TextFrameData) == ZVI_SIZE_TEXTFRAME);

using DimDialog = uint32_t (*)(HWND, const char *, ObjectAttributes *, uint32_t *, uint32_t);
using DimCollect = void (*)(const Element *, ObjectAttributes *);
using DimApply = void (*)(Element *, const ObjectAttributes *, int);

// The dimension record's own fields go through the dialog; its XProperty is
// not the dialog's and stays as it is. With the drawing's settings, the
// drawing's dimension parameters stand in the record during the dialog and
// receive the edited values after OK.
template <typename Record>
int RunDimDialog(HWND owner, const char *caption, void *data, int16_t kind, int withDrawingSettings, int mode,
                 DimDialog dialog, DimCollect collect, DimApply apply)
{
    RecordElement<Record> wrapped(data, kind);
    auto attributes = std::make_unique<ObjectAttributes>();
    ObjectAttributes *a = attributes.get();
    ObjectAttributesInit(a);
    collect(wrapped.element(), a);
    a->present[ATTR_ANNOTATION] = 0;
    if (withDrawingSettings)
        ObjectDimAttributesFromSettings(a, ATTR_DIM_PARAMETER, 0);
    const int result = static_cast<int>(dialog(owner, caption, a, nullptr, static_cast<uint32_t>(mode)));
    if (!result)
        return 0; // cancelled: record and drawing stay as they were
    if (withDrawingSettings)
        ObjectDimAttributesToSettings(a, ATTR_DIM_PARAMETER, 0);
    apply(wrapped.element(), a, 1);
    wrapped.CopyOut(data);
    return result;
}

} // namespace

extern "C" {

int ZVI_CALL ZVI_DialogDimSmall(HWND owner, const char *caption, void *data, int withDrawingSettings, int mode)
{
    if (!RecordChecks(owner, caption, data, ZVI_SIZE_DIMSMALL, __func__, __LINE__))
        return 0;
    return RunDimDialog<DimSmallRecord>(owner, caption, data, ELEM_DIM_SMALL, withDrawingSettings, mode,
                                        Box10DimensionParam2, ObjectAttributesCollectDimSmall,
                                        ObjectAttributesApplyDimSmall);
}

int ZVI_CALL ZVI_DialogDimLarge(HWND owner, const char *caption, void *data, int withDrawingSettings, int mode)
{
    if (!RecordChecks(owner, caption, data, ZVI_SIZE_DIMLARGE, __func__, __LINE__))
        return 0;
    return RunDimDialog<DimLargeRecord>(owner, caption, data, ELEM_DIM_LARGE, withDrawingSettings, mode,
                                        Box10DimensionParam1, ObjectAttributesCollectDimLarge,
                                        ObjectAttributesApplyDimLarge);
}

int ZVI_CALL ZVI_DialogTextFrame(HWND owner, const char *caption, void *textFrame, char *text)
{
    if (!RecordChecks(owner, caption, nullptr, 0, __func__, __LINE__))
        return 0;
    if (textFrame && !ZviWritable(textFrame, ZVI_SIZE_TEXTFRAME))
        return ZVI_REFUSE("Data address invalid!");
    if (text && !ZviWritable(text, 1))
        return ZVI_REFUSE("EditText address invalid!");
    EditedText edited(text);
    uint32_t result;
    if (textFrame) {
        // The frame's layout fields go through the dialog; its XProperty stays.
        RecordElement<TextFrameData> wrapped(textFrame, ELEM_TEXT_FRAME);
        auto a = std::make_unique<ObjectAttributes>();
        ObjectAttributesInit(a.get());
        ObjectAttributesCollectTextFrame(wrapped.element(), a.get());
        a->present[ATTR_ANNOTATION] = 0;
        result = Box07TextFrame(owner, caption, a.get(), text ? edited.buffer : nullptr);
        if (result) {
            ObjectAttributesApplyTextFrame(wrapped.element(), a.get(), 1);
            wrapped.CopyOut(textFrame);
        }
    } else {
        result = Box07TextChange(owner, caption, text ? edited.buffer : nullptr);
    }
    if (result && text)
        edited.CopyBack(text, __func__, __LINE__);
    return static_cast<int>(result);
}

int ZVI_CALL ZVI_DialogBlock(HWND owner, const char *caption, char *blockName, char *libraryName, int mode)
{
    if (!RecordChecks(owner, caption, nullptr, 0, __func__, __LINE__))
        return 0;
    if (!ZviWritable(blockName, BLOCK_NAME_SIZE))
        return ZVI_REFUSE("BlockName address invalid!");
    if (!ZviWritable(libraryName, BLOCK_NAME_SIZE))
        return ZVI_REFUSE("LibraryName address invalid!");
    BlockSelect choice{};
    ZviCopyText(choice.library, libraryName, BLOCK_NAME_SIZE);
    ZviCopyText(choice.block, blockName, BLOCK_NAME_SIZE);
    choice.display = 1;
    const int result = static_cast<int>(Box12BlockSelect(owner, caption, &choice, mode));
    if (result) {
        std::memcpy(libraryName, choice.library, BLOCK_NAME_SIZE);
        std::memcpy(blockName, choice.block, BLOCK_NAME_SIZE);
    }
    return result;
}

// --- definition popups

namespace {

bool RectValid(const RECT *r, const char *function, int line)
{
    return !r || ZviReadable(r, sizeof(RECT)) || ZviRefuse(function, line, "ButtonRect address invalid!");
}

} // namespace

#define ZVI_SELECT_POPUP(Name, Popup)                                                                             \
    void ZVI_CALL Name(HWND owner, const RECT *rect, int current, int firstId, int noneId, int extraId)            \
    {                                                                                                              \
        if (RectValid(rect, __func__, __LINE__))                                                                   \
            Popup(owner, rect, current, firstId, noneId, extraId);                                                 \
    }
ZVI_SELECT_POPUP(ZVI_DialogSelectLine, CommandPopupSelectLine)
ZVI_SELECT_POPUP(ZVI_DialogSelectMultiLine, CommandPopupSelectMultiLine)
ZVI_SELECT_POPUP(ZVI_DialogSelectSystem, CommandPopupSelectSystem)
ZVI_SELECT_POPUP(ZVI_DialogSelectHatch, CommandPopupSelectHatch)
ZVI_SELECT_POPUP(ZVI_DialogSelectLayer, CommandPopupSelectLayer)
ZVI_SELECT_POPUP(ZVI_DialogSelectPen, CommandPopupSelectPen)
#undef ZVI_SELECT_POPUP

// --- guide and progress

void ZVI_CALL ZVI_DialogUpdateGuide(int state, const char *text)
{
    if (!OptionalText(text, "GuideText address invalid!", __func__, __LINE__))
        return;
    WriteSetGuideState(static_cast<uint32_t>(state), text);
    WriteDrawGuide();
}

int ZVI_CALL ZVI_DialogShowProgress(const char *title, const char *text, int withBar)
{
    if (!TextValid(title, "Title address invalid!", __func__, __LINE__) ||
        !TextValid(text, "Text address invalid!", __func__, __LINE__))
        return 0;
    return WindowShowProgress(title, text, withBar);
}

void ZVI_CALL ZVI_DialogUpdateProgress(const char *text1, const char *text2, int value1, int value2)
{
    if (OptionalText(text1, "Text1 address invalid!", __func__, __LINE__) &&
        OptionalText(text2, "Text2 address invalid!", __func__, __LINE__))
        WindowUpdateProgress(text1, text2, value1, value2);
}

void ZVI_CALL ZVI_DialogHideProgress() { WindowHideProgress(); }
int ZVI_CALL ZVI_DialogIsCancelled() { return WindowIsCancelled(); }

int ZVI_CALL ZVI_DialogShowMasterProgress(const char *title)
{
    if (!TextValid(title, "Title address invalid!", __func__, __LINE__))
        return 0;
    return WindowShowMasterProgress(title);
}

void ZVI_CALL ZVI_DialogUpdateMasterProgress(const char *text1, const char *text2, int value1, int value2)
{
    if (OptionalText(text1, "Text1 address invalid!", __func__, __LINE__) &&
        OptionalText(text2, "Text2 address invalid!", __func__, __LINE__))
        WindowUpdateMasterProgress(text1, text2, value1, value2);
}

// The modal depth comes down only when the master progress was shown.
void ZVI_CALL ZVI_DialogHideMasterProgress() { WindowHideMasterProgress(); }
int ZVI_CALL ZVI_DialogMasterIsCancelled() { return WindowMasterIsCancelled(); }

} // extern "C"

// The property sheet of one object: layer, pen, line type, fill mode,
// colours, width, end cap and join, and which of them the object sets itself.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <new>

#include "app/system_defs.h"
#include "app/window.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box04_color.h"
#include "dialogs/box05_table.h"
#include "dialogs/box06_instance.h"
#include "dialogs/box10_dim.h"
#include "dialogs/box14.h"
#include "language/language.h"
#include "language/language_entries.h"

namespace {

constexpr int HELP_OBJINFO = 15000;
constexpr int PAGE_TITLE_PROPERTIES = 2; // ePropSheetObjPageTitles
constexpr int OWN_LABEL_FIRST = 9;       // eUniTexts, + mode
constexpr int CAPTION_COLOUR = 1;        // eCaptionTexts
constexpr int MSG_WIDTH = 17;            // eAlertTextOK
constexpr double WIDTH_MAX_MM = 100.0;

constexpr uint32_t OWN_PEN = 0x1, OWN_FILL = 0x2, OWN_COLOR1 = 0x4, OWN_COLOR2 = 0x8, OWN_WIDTH = 0x10,
                   OWN_LINE_TYPE = 0x20, OWN_LAYER = 0x40, OWN_CAP_JOIN = 0x80;
constexpr int OWN_BITS = 8;
constexpr int ID_OWN_FIRST = 250, ID_EXTRA = 258, ID_WIDTH = 200, ID_WIDTH_LABEL = 650, ID_PRESET_FIRST = 400,
              ID_CAP_FIRST = 450, ID_JOIN_FIRST = 453, ID_LAYER = 750, ID_PEN = 751, ID_LINE_TYPE = 752,
              ID_FILL_FIRST = 800, ID_COLOR1 = 10000, ID_COLOR2 = 10001, ID_LAYER_LABEL = 350, ID_PEN_LABEL = 351;
constexpr int WIDTH_PRESETS = 7, FILL_MODES = 5, CAP_KINDS = 3;
constexpr double WIDTH_PRESET_MM[WIDTH_PRESETS] = {0.13, 0.18, 0.25, 0.35, 0.5, 0.7, 1.0};
constexpr int POPUP_LAYER_FIRST = 12050, POPUP_PEN_FIRST = 12553, POPUP_LINE_FIRST = 13162;
constexpr uint32_t CAP_SHIFT = 8, CAP_MASK = 0x0F, JOIN_MASK = 0xF0;
constexpr int FIELD_SIZE = 251;

constexpr int ID_APPLY_FIRST = 258, ID_EXTRA_MULTI = 266;
constexpr int ID_SPECIAL = 550; // the attribute dialog of the object's kind
// The attribute dialogs the special button offers, and their menu texts.
constexpr int SPECIAL_DIMENSION = 11006, SPECIAL_BITMAP = 11008, SPECIAL_INSTANCE = 11009;
constexpr int SPECIAL_MAX = 3;
constexpr int MENU_DIMENSION = 4, MENU_INSTANCE = 5; // eSpecialMenus
constexpr int CAPTION_SIZE = 256;

struct ObjInfoBlock {
    uint32_t result;
    ObjectAttributes *copy;
    AttrPropertyGroup *setOfPage[2];
    int multi; // several objects: fields may stay as each object has them
    int mode;
    int maySetLayer, maySetPen;
    int extra;
    int hasExtra;
};

ObjInfoBlock *Block(HWND page)
{
    return reinterpret_cast<ObjInfoBlock *>(Box14PageBlock(page));
}

AttrPropertyGroup &Set(HWND page)
{
    ObjInfoBlock *b = Block(page);
    const int index = PropSheet_HwndToIndex(GetParent(page), page);
    return *b->setOfPage[index == 1 ? 1 : 0];
}

int ExtraId(HWND page)
{
    return Block(page)->multi ? ID_EXTRA_MULTI : ID_EXTRA;
}

// The boxes from the masks: one object shows its own-flags on 250 to 257;
// several show the change mask there and, on the three-state boxes 258 to
// 265, the own-flag to apply (indeterminate: each object keeps its own).
void ShowMasks(HWND page)
{
    const AttrPropertyGroup &g = Set(page);
    const bool multi = Block(page)->multi != 0;
    for (int i = 0; i < OWN_BITS; ++i) {
        const uint32_t bit = 1u << i;
        CheckDlgButton(page, ID_OWN_FIRST + i, ((multi ? g.fieldMask : g.values.ownFlags) & bit) ? BST_CHECKED
                                                                                                  : BST_UNCHECKED);
        if (multi)
            CheckDlgButton(page, ID_APPLY_FIRST + i,
                           !(g.ownMask & bit) ? BST_INDETERMINATE
                                              : (g.values.ownFlags & bit) ? BST_CHECKED : BST_UNCHECKED);
    }
}

// A field was set: the object sets it itself; with several objects it is
// also written into every one of them.
void MarkOwn(HWND page, uint32_t bit)
{
    AttrPropertyGroup &g = Set(page);
    g.values.ownFlags |= bit;
    if (Block(page)->multi) {
        g.fieldMask |= bit;
        g.ownMask |= bit;
    }
    ShowMasks(page);
}

// 250 to 257: the own-flag (one object) or the change bit (several).
void ToggleOwnBox(HWND page, int bitIndex)
{
    AttrPropertyGroup &g = Set(page);
    const uint32_t bit = 1u << bitIndex;
    if (!Block(page)->multi) {
        g.values.ownFlags ^= bit;
    } else if ((g.fieldMask ^= bit) & bit) {
        g.ownMask |= bit;
        g.values.ownFlags |= bit;
    } else {
        g.ownMask &= ~bit;
        g.values.ownFlags &= ~bit;
    }
    ShowMasks(page);
}

// 258 to 265 cycle unchecked, checked, indeterminate.
void CycleApplyBox(HWND page, int bitIndex)
{
    AttrPropertyGroup &g = Set(page);
    const uint32_t bit = 1u << bitIndex;
    if (!(g.ownMask & bit)) { // indeterminate -> unchecked
        g.ownMask |= bit;
        g.values.ownFlags &= ~bit;
    } else if (g.values.ownFlags & bit) { // checked -> indeterminate
        g.ownMask &= ~bit;
        g.values.ownFlags &= ~bit;
    } else { // unchecked -> checked
        g.values.ownFlags |= bit;
    }
    ShowMasks(page);
}

void ShowWidth(HWND page, double millimetres)
{
    char text[64];
    Box05FormatWidth(text, millimetres);
    SetDlgItemTextA(page, ID_WIDTH, text);
}

// The dimension dialog of the groups the edited objects have: the large or
// small dimension settings, or the line ends of a dimension line; 0 when none.
// Several objects get the variants that write only the touched fields.
uint32_t DimensionDialog(HWND page, bool open)
{
    ObjectAttributes &a = *Block(page)->copy;
    const bool multi = Block(page)->multi != 0;
    char caption[CAPTION_SIZE] = "";
    if (open)
        GetWindowTextA(GetParent(page), caption, sizeof caption);
    if (a.present[ATTR_DIM_LARGE]) {
        if (!open)
            return 1;
        return multi ? Box10DimensionParam1Multi(page, caption, &a) : Box10DimensionParam1(page, caption, &a, nullptr, 0);
    }
    if (a.present[ATTR_DIM_SMALL]) {
        if (!open)
            return 1;
        return multi ? Box10DimensionParam2Multi(page, caption, &a) : Box10DimensionParam2(page, caption, &a, nullptr, 0);
    }
    if (a.present[ATTR_LINE_END])
        return !open ? 1 : multi ? Box10DimensionParam0Multi(page, caption, &a) : Box10DimensionParam0(page, caption, &a);
    return 0;
}

// The fill, end-cap and join buttons show the current choice pressed.
void RedrawIconButtons(HWND page)
{
    Box01DialogRedrawItems(page, ID_FILL_FIRST, ID_FILL_FIRST + FILL_MODES - 1);
    Box01DialogRedrawItems(page, ID_CAP_FIRST, ID_JOIN_FIRST + CAP_KINDS - 1);
}

struct SpecialCommand {
    int id;
    const char *text;
};

// The attribute dialogs of the kinds of the edited objects, in menu order.
int SpecialCommands(HWND page, SpecialCommand out[SPECIAL_MAX])
{
    const ObjInfoBlock *b = Block(page);
    int n = 0;
    if (DimensionDialog(page, false))
        out[n++] = {SPECIAL_DIMENSION, eSpecialMenus[MENU_DIMENSION]};
    if (b->copy->present[ATTR_BITMAP])
        out[n++] = {SPECIAL_BITMAP, LANG(eSpecialMenus, BitmapPlacement)};
    if (b->copy->present[ATTR_PLACEMENT])
        out[n++] = {SPECIAL_INSTANCE, eSpecialMenus[MENU_INSTANCE]};
    return n;
}

// Hidden without a dialog; with one the button names it, with several it
// opens their menu.
void ShowSpecialButton(HWND page)
{
    SpecialCommand commands[SPECIAL_MAX];
    const int n = SpecialCommands(page, commands);
    Box01DialogShowItem(page, ID_SPECIAL, n > 0);
    if (n == 1)
        SetDlgItemTextA(page, ID_SPECIAL, commands[0].text);
}

// The placement dialogs edit the working copy; the sheet's OK applies it.
void RunSpecial(HWND page, const SpecialCommand &command)
{
    ObjInfoBlock *b = Block(page);
    if (command.id == SPECIAL_DIMENSION) {
        DimensionDialog(page, true);
    } else if (command.id == SPECIAL_BITMAP) {
        if (b->multi)
            Box06EditBitmapInstanceMulti(page, command.text, b->copy);
        else
            Box06EditBitmapInstance(page, command.text, b->copy);
    } else if (command.id == SPECIAL_INSTANCE) {
        if (b->multi)
            Box06EditBlockInstanceMulti(page, command.text, b->copy);
        else
            Box06EditBlockInstance(page, command.text, b->copy);
    }
}

void SpecialButton(HWND page)
{
    SpecialCommand commands[SPECIAL_MAX];
    const int n = SpecialCommands(page, commands);
    if (n == 1)
        RunSpecial(page, commands[0]);
    if (n < 2)
        return;
    HMENU menu = CreatePopupMenu();
    bool built = menu != nullptr;
    for (int i = 0; built && i < n; ++i)
        built = AppendMenuA(menu, MF_STRING, UINT_PTR(commands[i].id), commands[i].text) != FALSE;
    if (!built) {
        if (menu)
            DestroyMenu(menu);
        Box01DialogShowItem(page, ID_SPECIAL, 0);
        return;
    }
    RECT r;
    GetWindowRect(GetDlgItem(page, ID_SPECIAL), &r);
    const int chosen = int(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_VCENTERALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                                          r.right, (r.top + r.bottom) / 2, 0, page, nullptr));
    DestroyMenu(menu);
    for (int i = 0; i < n; ++i)
        if (commands[i].id == chosen)
            RunSpecial(page, commands[i]);
}

void Fill(HWND page)
{
    ObjInfoBlock *b = Block(page);
    ShowSpecialButton(page);
    const XProperty &p = Set(page).values;
    const int disabled[2][3] = {{ID_LAYER_LABEL, ID_LAYER, ID_OWN_FIRST + 6}, {ID_PEN_LABEL, ID_PEN, ID_OWN_FIRST}};
    for (int i = 0; i < 3; ++i) {
        EnableWindow(GetDlgItem(page, disabled[0][i]), b->maySetLayer ? TRUE : FALSE);
        EnableWindow(GetDlgItem(page, disabled[1][i]), b->maySetPen ? TRUE : FALSE);
    }
    if (b->multi) {
        EnableWindow(GetDlgItem(page, ID_APPLY_FIRST + 6), b->maySetLayer ? TRUE : FALSE);
        EnableWindow(GetDlgItem(page, ID_APPLY_FIRST), b->maySetPen ? TRUE : FALSE);
    } else {
        for (int i = 0; i < OWN_BITS; ++i)
            SetDlgItemTextA(page, ID_OWN_FIRST + i, eUniTexts[OWN_LABEL_FIRST + b->mode]);
    }
    ShowMasks(page);
    ShowWidth(page, p.width);
    SetDlgItemTextA(page, ID_WIDTH_LABEL, g_ConvertState.widthLabel);
    RedrawIconButtons(page);
    Box01DialogShowItem(page, ExtraId(page), b->hasExtra);
    CheckDlgButton(page, ExtraId(page), b->extra ? BST_CHECKED : BST_UNCHECKED);
    Box01DialogRedrawItems(page, ID_LAYER, ID_LINE_TYPE);
    Box01DialogRedrawItems(page, ID_COLOR1, ID_COLOR2);
    SetFocus(GetDlgItem(page, ID_LAYER));
}

int Check(HWND page)
{
    char text[FIELD_SIZE] = "";
    GetDlgItemTextA(page, ID_WIDTH, text, FIELD_SIZE);
    double width = 0;
    if (!AlertCheckInputWidthRange(page, text, &width, ID_WIDTH, 0.0, WIDTH_MAX_MM, eAlertTextOK[MSG_WIDTH]))
        return 0;
    Set(page).values.width = width;
    return 1;
}

const char *NameOf(int id, const XProperty &p)
{
    if (id == ID_LAYER)
        return p.layer >= 0 && p.layer < LAYER_SLOTS ? g_LayerDefs[p.layer].name : "";
    if (id == ID_PEN)
        return p.pen >= 0 && p.pen < PEN_SLOTS ? g_PenDefs[p.pen].name : "";
    return p.lineType >= 0 && p.lineType < LINE_SLOTS ? g_LineDefs[p.lineType].name : "";
}

int DrawItem(HWND page, const DRAWITEMSTRUCT *item)
{
    const XProperty &p = Set(page).values;
    const int id = static_cast<int>(item->CtlID);
    if (id == ID_COLOR1 || id == ID_COLOR2) {
        Box01DialogCustomButtonColor(item, id == ID_COLOR1 ? p.color1 : p.color2, GetFocus() == item->hwndItem);
        return 1;
    }
    const uint32_t capJoin = p.capJoin >> CAP_SHIFT;
    if (id >= ID_FILL_FIRST && id < ID_FILL_FIRST + FILL_MODES) {
        Box01DrawItemNumberedIcon(item, "IDI_FILLMOD%d", ID_FILL_FIRST, p.fillMode);
        return 1;
    }
    if (id >= ID_CAP_FIRST && id < ID_JOIN_FIRST) {
        Box01DrawItemNumberedIcon(item, "IDI_ENDCAP%d", ID_CAP_FIRST, int(capJoin & CAP_MASK));
        return 1;
    }
    if (id >= ID_JOIN_FIRST && id < ID_JOIN_FIRST + CAP_KINDS) {
        Box01DrawItemNumberedIcon(item, "IDI_JOIN%d", ID_JOIN_FIRST, int((capJoin & JOIN_MASK) >> 4));
        return 1;
    }
    if (id < ID_LAYER || id > ID_LINE_TYPE)
        return 0;
    Box01DialogCustomButtonText(item, NameOf(id, p), GetFocus() == item->hwndItem);
    return 1;
}

// A choice from the layer, pen or line-type popup; 1 when it was one.
int PopupChoice(HWND page, int id)
{
    XProperty &p = Set(page).values;
    if (id >= POPUP_LINE_FIRST && id < POPUP_LINE_FIRST + LINE_SLOTS) {
        p.lineType = id - POPUP_LINE_FIRST;
        MarkOwn(page, OWN_LINE_TYPE);
    } else if (id >= POPUP_PEN_FIRST && id < POPUP_PEN_FIRST + PEN_SLOTS) {
        p.pen = id - POPUP_PEN_FIRST;
        MarkOwn(page, OWN_PEN);
    } else if (id >= POPUP_LAYER_FIRST && id < POPUP_LAYER_FIRST + LAYER_SLOTS) {
        p.layer = id - POPUP_LAYER_FIRST;
        MarkOwn(page, OWN_LAYER);
    } else {
        return 0;
    }
    Box01DialogRedrawItems(page, ID_LAYER, ID_LINE_TYPE);
    return 1;
}

void Command(HWND page, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    XProperty &p = Set(page).values;
    if (id == ID_WIDTH) {
        if (HIWORD(wParam) == EN_SETFOCUS)
            MarkOwn(page, OWN_WIDTH); // entering the field sets the width
        return;
    }
    if (PopupChoice(page, id))
        return;
    if (HIWORD(wParam) != BN_CLICKED)
        return;
    if (id == ID_SPECIAL) {
        SpecialButton(page);
    } else if (id >= ID_OWN_FIRST && id < ID_OWN_FIRST + OWN_BITS) {
        ToggleOwnBox(page, id - ID_OWN_FIRST);
    } else if (id == ExtraId(page)) {
        Block(page)->extra = IsDlgButtonChecked(page, id) == BST_CHECKED;
    } else if (Block(page)->multi && id >= ID_APPLY_FIRST && id < ID_APPLY_FIRST + OWN_BITS) {
        CycleApplyBox(page, id - ID_APPLY_FIRST);
    } else if (id >= ID_PRESET_FIRST && id < ID_PRESET_FIRST + WIDTH_PRESETS) {
        ShowWidth(page, WIDTH_PRESET_MM[id - ID_PRESET_FIRST]);
        MarkOwn(page, OWN_WIDTH);
    } else if (id >= ID_CAP_FIRST && id < ID_JOIN_FIRST + CAP_KINDS) {
        uint32_t capJoin = p.capJoin >> CAP_SHIFT;
        if (id < ID_JOIN_FIRST)
            capJoin = (capJoin & ~CAP_MASK) | static_cast<uint32_t>(id - ID_CAP_FIRST);
        else
            capJoin = (capJoin & ~JOIN_MASK) | (static_cast<uint32_t>(id - ID_JOIN_FIRST) << 4);
        p.capJoin = (p.capJoin & ~(0xFFu << CAP_SHIFT)) | ((capJoin & 0xFF) << CAP_SHIFT);
        MarkOwn(page, OWN_CAP_JOIN);
        RedrawIconButtons(page);
    } else if (id >= ID_FILL_FIRST && id < ID_FILL_FIRST + FILL_MODES) {
        p.fillMode = id - ID_FILL_FIRST;
        MarkOwn(page, OWN_FILL);
        RedrawIconButtons(page);
    } else if (id == ID_COLOR1 || id == ID_COLOR2) {
        if (Box04ChooseColor(page, eCaptionTexts[CAPTION_COLOUR], id == ID_COLOR1 ? &p.color1 : &p.color2)) {
            Box01DialogRedrawItem(page, id);
            MarkOwn(page, id == ID_COLOR1 ? OWN_COLOR1 : OWN_COLOR2);
        }
    } else if (id == ID_LAYER) {
        Box01OpenListPopup(BOX01_POPUP_LAYERS, page, GetDlgItem(page, id), p.layer, POPUP_LAYER_FIRST, 0);
    } else if (id == ID_PEN) {
        Box01OpenListPopup(BOX01_POPUP_PENS, page, GetDlgItem(page, id), p.pen, POPUP_PEN_FIRST, 0);
    } else if (id == ID_LINE_TYPE) {
        Box01OpenListPopup(BOX01_POPUP_LINES, page, GetDlgItem(page, id), p.lineType, POPUP_LINE_FIRST, 0);
    }
}

INT_PTR CALLBACK Box14ObjInfoSingleProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        Box14PageInit(page, lParam);
        return 1;
    case WM_DRAWITEM:
        return DrawItem(page, reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
    case WM_COMMAND:
        Command(page, wParam);
        return 0;
    case WM_NOTIFY:
        return Box14PageNotify(page, lParam, HELP_OBJINFO, Fill, Check);
    case WM_HELP:
        Box01DialogHelp(page, HELP_OBJINFO);
        return 1;
    default:
        return 0;
    }
}

} // namespace

namespace {

int RunObjInfo(HWND parent, const char *caption, ObjectAttributes *attributes, ObjInfoBlock &block,
               const char *templateName, const char *const titles[2], int *extra)
{
    std::unique_ptr<ObjectAttributes> copy(new (std::nothrow) ObjectAttributes(*attributes));
    if (!copy)
        return 0;
    AttrPropertyGroup *sets[2] = {&copy->general, &copy->annotation};
    Box14Page pages[2];
    int count = 0;
    for (int i = 0; i < 2; ++i) {
        if (!titles[i])
            continue;
        block.setOfPage[count] = sets[i];
        pages[count++] = {templateName, Box14ObjInfoSingleProc, titles[i]};
    }
    if (count == 0) {
        block.setOfPage[0] = sets[0];
        pages[count++] = {templateName, Box14ObjInfoSingleProc, ePropSheetObjPageTitles[PAGE_TITLE_PROPERTIES]};
    }
    block.copy = copy.get();
    block.hasExtra = extra != nullptr;
    block.extra = extra ? *extra : 0;
    if (!Box14RunSheet(parent, caption, pages, count, 0, &block.result) || block.result != SHEET_PAGE_OK)
        return 0;
    *attributes = *copy;
    if (extra)
        *extra = block.extra;
    return 1;
}

} // namespace

int Box14ObjInfoSingle(HWND parent, const char *caption, ObjectAttributes *attributes, int mode,
                       const char *title0, const char *title1, int maySetLayer, int maySetPen, int *extra)
{
    ObjInfoBlock block = {};
    block.mode = mode;
    block.maySetLayer = maySetLayer;
    block.maySetPen = maySetPen;
    const char *const titles[2] = {title0, title1};
    return RunObjInfo(parent, caption, attributes, block, "OBJINFO_SINGLE", titles, extra);
}

int Box14ObjInfoMulti(HWND parent, const char *caption, ObjectAttributes *attributes, int maySetLayer, int *extra)
{
    ObjInfoBlock block = {};
    block.multi = 1;
    block.maySetLayer = maySetLayer;
    block.maySetPen = 1;
    const char *const titles[2] = {attributes->present[ATTR_GENERAL] ? ePropSheetObjPageTitles[0] : nullptr,
                                   attributes->present[ATTR_ANNOTATION] ? ePropSheetObjPageTitles[1] : nullptr};
    if (!titles[0] && !titles[1])
        return 0;
    return RunObjInfo(parent, caption, attributes, block, "OBJINFO_MULTI", titles, extra);
}

// The property sheet of one object: layer, pen, line type, fill mode,
// colours, width, end cap and join, and which of them the object sets itself.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "app/convert.h"
#include "app/init_dialogs.h"
#include "app/system_defs.h"
#include "database/object_property.h"
#include "app/window.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box02.h"
#include "dialogs/box04_color.h"
#include "dialogs/box05_table.h"
#include "dialogs/box06_instance.h"
#include "dialogs/box07.h"
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
// The attribute dialogs the special button offers: one per group of the
// edited objects, then one per plug-in entry.
constexpr int SPECIAL_STD_TEXT = 11000, SPECIAL_FRAME_TEXT = 11001, SPECIAL_REF_TEXT = 11002, SPECIAL_ZIGZAG = 11003,
              SPECIAL_LINE_END = 11004, SPECIAL_DIM_DATA = 11005, SPECIAL_DIM_LARGE = 11006,
              SPECIAL_DIM_SMALL = 11007, SPECIAL_BITMAP = 11008, SPECIAL_INSTANCE = 11009,
              SPECIAL_PLUGIN_FIRST = 11010;
constexpr int SPECIAL_MAX = SPECIAL_PLUGIN_FIRST - SPECIAL_STD_TEXT + ATTR_PLUGIN_ENTRIES;
constexpr int SPECIAL_TEXT_SIZE = ATTR_PLUGIN_TITLE_SIZE + 8;
constexpr int DIALOG_TEXT_MORE = 76; // eDialogText
constexpr int MENU_TEXT = 0, MENU_ZIGZAG = 1, MENU_DIMENSION_DATA = 2, MENU_DIMENSION_LAYOUT = 4, MENU_INSTANCE = 5,
              MENU_REFERENCE_TEXT = 7; // eSpecialMenus
constexpr int BUTTON_SPECIAL = 17;    // eButtonText
constexpr int PROMPT_INDENT = 4;      // eBoxText

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

// The fill, end-cap and join buttons show the current choice pressed.
void RedrawIconButtons(HWND page)
{
    Box01DialogRedrawItems(page, ID_FILL_FIRST, ID_FILL_FIRST + FILL_MODES - 1);
    Box01DialogRedrawItems(page, ID_CAP_FIRST, ID_JOIN_FIRST + CAP_KINDS - 1);
}

struct SpecialCommand {
    int id;
    int group; // the menu puts a separator between groups
    char text[SPECIAL_TEXT_SIZE];
};

void AddSpecial(SpecialCommand *out, int *n, int id, int group, const char *text)
{
    out[*n].id = id;
    out[*n].group = group;
    snprintf(out[*n].text, SPECIAL_TEXT_SIZE, "%s", text);
    ++*n;
}

// The attribute dialogs of the kinds of the edited objects, in menu order:
// texts, the zigzag indent, dimensions, instances, plug-in objects.
int SpecialCommands(HWND page, SpecialCommand out[SPECIAL_MAX])
{
    const ObjectAttributes &a = *Block(page)->copy;
    int n = 0;
    if (a.present[ATTR_STD_TEXT])
        AddSpecial(out, &n, SPECIAL_STD_TEXT, 0, eSpecialMenus[MENU_TEXT]);
    if (a.present[ATTR_FRAME_TEXT])
        AddSpecial(out, &n, SPECIAL_FRAME_TEXT, 0, LANG(eSpecialMenus, FramedText));
    if (a.present[ATTR_REF_TEXT])
        AddSpecial(out, &n, SPECIAL_REF_TEXT, 0, eSpecialMenus[MENU_REFERENCE_TEXT]);
    if (a.present[ATTR_CONSTANT])
        AddSpecial(out, &n, SPECIAL_ZIGZAG, 1, eSpecialMenus[MENU_ZIGZAG]);
    if (a.present[ATTR_LINE_END])
        AddSpecial(out, &n, SPECIAL_LINE_END, 2, LANG(eSpecialMenus, LineEnds));
    // The large and the small dimension dialogs each reach the number format
    // they share; it has an entry of its own when both kinds, or neither, are
    // among the objects.
    if (a.present[ATTR_DIM_PARAMETER] && !a.present[ATTR_DIM_LARGE] == !a.present[ATTR_DIM_SMALL])
        AddSpecial(out, &n, SPECIAL_DIM_DATA, 2, eSpecialMenus[MENU_DIMENSION_DATA]);
    if (a.present[ATTR_DIM_LARGE])
        AddSpecial(out, &n, SPECIAL_DIM_LARGE, 2, eSpecialMenus[MENU_DIMENSION_LAYOUT]);
    if (a.present[ATTR_DIM_SMALL])
        AddSpecial(out, &n, SPECIAL_DIM_SMALL, 2, LANG(eSpecialMenus, SmallDimension));
    if (a.present[ATTR_BITMAP])
        AddSpecial(out, &n, SPECIAL_BITMAP, 3, LANG(eSpecialMenus, BitmapPlacement));
    if (a.present[ATTR_PLACEMENT])
        AddSpecial(out, &n, SPECIAL_INSTANCE, 3, eSpecialMenus[MENU_INSTANCE]);
    if (a.present[ATTR_PLUGIN] && a.pluginArea) {
        const AttrPluginEntry *entries = static_cast<const AttrPluginEntry *>(a.pluginArea);
        for (int i = 0; i < a.pluginCount && i < ATTR_PLUGIN_ENTRIES; ++i) {
            char text[SPECIAL_TEXT_SIZE];
            snprintf(text, sizeof text, LANG_FORMAT(eDialogText, ModuleMenuText, "%c %s"), ConvertIndexToAccelChar(i),
                     entries[i].title);
            AddSpecial(out, &n, SPECIAL_PLUGIN_FIRST + i, 4, text);
        }
    }
    return n;
}

// Hidden without a dialog; with one the button runs it, with several it
// opens their menu.
void ShowSpecialButton(HWND page)
{
    std::unique_ptr<SpecialCommand[]> commands(new (std::nothrow) SpecialCommand[SPECIAL_MAX]);
    const int n = commands ? SpecialCommands(page, commands.get()) : 0;
    Box01DialogShowItem(page, ID_SPECIAL, n > 0);
    if (n == 1)
        SetDlgItemTextA(page, ID_SPECIAL, eButtonText[BUTTON_SPECIAL]);
}

// The zigzag indent; with several objects it is then written into each.
void EditZigzag(HWND page, const char *caption)
{
    ObjectAttributes &a = *Block(page)->copy;
    double indent = a.constant.value;
    if (!Box02EditLength(page, caption, eBoxText[PROMPT_INDENT], &indent))
        return;
    a.constant.value = indent;
    a.constant.mask |= 1;
}

// A plug-in object's own dialog: its module edits the object it collected
// (one object) or takes the values for every object it collected (several).
void RunPluginEntry(HWND page, int entry)
{
    ObjInfoBlock *b = Block(page);
    if (b->multi)
        ObjectModuleApply(page, b->copy, entry);
    else
        ObjectModuleCollect(page, b->copy, entry);
}

// The sub-dialogs edit the working copy; the sheet's OK applies it.
void RunSpecial(HWND page, const SpecialCommand &command)
{
    ObjInfoBlock *b = Block(page);
    ObjectAttributes *a = b->copy;
    const char *caption = command.text;
    const bool multi = b->multi != 0;
    switch (command.id) {
    case SPECIAL_STD_TEXT:
        multi ? Box07TextStandardMulti(page, caption, a) : Box07TextStandard(page, caption, a, nullptr);
        break;
    case SPECIAL_FRAME_TEXT:
        multi ? Box07TextFrameMulti(page, caption, a) : Box07TextFrame(page, caption, a, nullptr);
        break;
    case SPECIAL_REF_TEXT:
        multi ? Box07TextReferenceMulti(page, caption, a) : Box07TextReference(page, caption, a);
        break;
    case SPECIAL_ZIGZAG:
        EditZigzag(page, caption);
        break;
    case SPECIAL_LINE_END:
        multi ? Box10DimensionParam0Multi(page, caption, a) : Box10DimensionParam0(page, caption, a);
        break;
    case SPECIAL_DIM_DATA:
        multi ? Box10DimensionDataMulti(page, caption, a) : Box10DimensionData(page, caption, a, 0);
        break;
    case SPECIAL_DIM_LARGE:
        multi ? Box10DimensionParam1Multi(page, caption, a) : Box10DimensionParam1(page, caption, a, nullptr, 0);
        break;
    case SPECIAL_DIM_SMALL:
        multi ? Box10DimensionParam2Multi(page, caption, a) : Box10DimensionParam2(page, caption, a, nullptr, 0);
        break;
    case SPECIAL_BITMAP:
        multi ? Box06EditBitmapInstanceMulti(page, caption, a) : Box06EditBitmapInstance(page, caption, a);
        break;
    case SPECIAL_INSTANCE:
        multi ? Box06EditBlockInstanceMulti(page, caption, a) : Box06EditBlockInstance(page, caption, a);
        break;
    default:
        if (command.id >= SPECIAL_PLUGIN_FIRST)
            RunPluginEntry(page, command.id - SPECIAL_PLUGIN_FIRST);
        break;
    }
}

// How many items fit one screen height of menu rows, less one.
int MenuRowsPerScreen()
{
    const int rowHeight = GetSystemMetrics(SM_CYMENU);
    const int rows = rowHeight > 0 ? GetSystemMetrics(SM_CYSCREEN) / rowHeight : 0;
    return rows > 2 ? rows - 1 : 1;
}

// The special menu: groups apart by separators; plug-in entries that do
// not fit the screen cascade into "More" submenus. 0 when a menu operation
// failed (the menu is then destroyed).
HMENU BuildSpecialMenu(const SpecialCommand *commands, int n)
{
    HMENU top = CreatePopupMenu();
    HMENU menu = top;
    bool ok = menu != nullptr;
    int inMenu = 0, firstPlugin = -1;
    for (int i = 0; ok && i < n; ++i) {
        if (i > 0 && commands[i].group != commands[i - 1].group) {
            ok = AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) != FALSE;
            ++inMenu;
        }
        if (commands[i].id >= SPECIAL_PLUGIN_FIRST && firstPlugin < 0)
            firstPlugin = inMenu;
        // The first menu keeps room for half the items above its plug-ins.
        const int room = menu == top && firstPlugin >= 0 ? MenuRowsPerScreen() - firstPlugin / 2 : MenuRowsPerScreen();
        if (ok && commands[i].id >= SPECIAL_PLUGIN_FIRST && inMenu >= room && i + 1 < n) {
            HMENU more = CreatePopupMenu();
            ok = more && AppendMenuA(menu, MF_POPUP, UINT_PTR(more), eDialogText[DIALOG_TEXT_MORE]) != FALSE;
            if (!ok && more)
                DestroyMenu(more);
            menu = more;
            inMenu = 0;
        }
        if (ok) {
            ok = AppendMenuA(menu, MF_STRING, UINT_PTR(commands[i].id), commands[i].text) != FALSE;
            ++inMenu;
        }
    }
    if (!ok && top) {
        DestroyMenu(top);
        top = nullptr;
    }
    return top;
}

// A special command by its id, when the edited objects offer it.
void RunSpecialId(HWND page, int id)
{
    std::unique_ptr<SpecialCommand[]> commands(new (std::nothrow) SpecialCommand[SPECIAL_MAX]);
    const int n = commands ? SpecialCommands(page, commands.get()) : 0;
    for (int i = 0; i < n; ++i)
        if (commands[i].id == id)
            RunSpecial(page, commands[i]);
}

void SpecialButton(HWND page)
{
    std::unique_ptr<SpecialCommand[]> commands(new (std::nothrow) SpecialCommand[SPECIAL_MAX]);
    if (!commands)
        return;
    const int n = SpecialCommands(page, commands.get());
    if (n == 1)
        RunSpecial(page, commands[0]);
    if (n < 2)
        return;
    HMENU menu = BuildSpecialMenu(commands.get(), n);
    if (!menu) {
        Box01DialogShowItem(page, ID_SPECIAL, 0);
        return;
    }
    RECT r;
    GetWindowRect(GetDlgItem(page, ID_SPECIAL), &r);
    g_PopupByRightButton = 1;
    const int chosen = int(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_VCENTERALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                                          r.right, (r.top + r.bottom) / 2, 0, page, nullptr));
    g_PopupByRightButton = 0;
    DestroyMenu(menu);
    if (chosen)
        RunSpecialId(page, chosen);
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
    } else if (id >= SPECIAL_STD_TEXT && id < SPECIAL_STD_TEXT + SPECIAL_MAX) {
        RunSpecialId(page, id);
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

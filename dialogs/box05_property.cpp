// The pen property dialog (template PROPERTY): fill mode, two colours, line
// type, width and the end-cap and join bits of one property set of a pen.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box04_color.h"
#include "dialogs/box05_defs.h"
#include "dialogs/box05_table.h"
#include "display/output_paint.h"
#include "language/language.h"

namespace {

constexpr int ID_WIDTH = 200, ID_WIDTH_UNIT = 650, ID_PREVIEW = 700, ID_LINE_TYPE = 750;
constexpr int ID_FILL_FIRST = 800, FILL_MODES = 5;
constexpr int ID_COLOR1 = 10000, ID_COLOR2 = 10001;
constexpr int ID_CAP_FIRST = BOX05_STYLE_FIRST, ID_JOIN_FIRST = ID_CAP_FIRST + 3, STYLE_CHOICES = 3;
constexpr double WIDTH_PRESETS[BOX05_PRESET_LAST - BOX05_PRESET_FIRST + 1] = {0.13, 0.18, 0.25, 0.35, 0.5, 0.7, 1.0};
constexpr double WIDTH_MIN = 0.0, WIDTH_MAX = 100.0;
constexpr uint32_t CAP_MASK = 0xF00, JOIN_MASK = 0xF000;
constexpr uint32_t CAP_STEP = 0x100, JOIN_STEP = 0x1000;
constexpr int FIELD_TEXT_SIZE = 251;
constexpr int MSG_WIDTH = 17;        // eAlertTextOK
constexpr int CAPTION_COLOUR = 1;    // eCaptionTexts
constexpr int ICON_NAME_SIZE = 32;

struct PropertyRecord {
    DialogHeader header;
    char caption[256];
    Property work;
};

PropertyRecord *Record(HWND dialog)
{
    return Box01DialogRecordOf<PropertyRecord>(dialog);
}

void ShowWidth(HWND dialog, double millimetres)
{
    char text[64];
    Box05FormatWidth(text, millimetres);
    SetDlgItemTextA(dialog, ID_WIDTH, text);
}

const char *LineTypeName(int32_t index)
{
    return index >= 0 && index < LINE_SLOTS ? g_LineDefs[index].name : "";
}

void PaintPreview(HWND dialog)
{
    const int32_t type = Record(dialog)->work.lineType;
    if (type >= 0 && type < LINE_SLOTS)
        OutputDrawLineDefPreview(GetDlgItem(dialog, ID_PREVIEW), &g_LineDefs[type]);
}

bool StylePressed(uint32_t style, int id)
{
    if (id >= ID_CAP_FIRST && id < ID_CAP_FIRST + STYLE_CHOICES)
        return (style & CAP_MASK) == static_cast<uint32_t>(id - ID_CAP_FIRST) * CAP_STEP;
    return (style & JOIN_MASK) == static_cast<uint32_t>(id - ID_JOIN_FIRST) * JOIN_STEP;
}

void StyleIconName(char *out, int id)
{
    if (id < ID_JOIN_FIRST)
        snprintf(out, ICON_NAME_SIZE, "IDI_ENDCAP%d", id - ID_CAP_FIRST);
    else
        snprintf(out, ICON_NAME_SIZE, "IDI_JOIN%d", id - ID_JOIN_FIRST);
}

INT_PTR DrawItem(HWND dialog, const DRAWITEMSTRUCT *item)
{
    Property &p = Record(dialog)->work;
    const int id = static_cast<int>(item->CtlID);
    if (id == ID_LINE_TYPE)
        Box01DialogCustomButtonText(item, LineTypeName(p.lineType), 0);
    else if (id >= ID_FILL_FIRST && id < ID_FILL_FIRST + FILL_MODES)
        Box01DrawItemNumberedIcon(item, "IDI_FILLMOD%d", ID_FILL_FIRST, p.fillMode);
    else if (id == ID_COLOR1 || id == ID_COLOR2)
        Box01DialogCustomButtonColor(item, id == ID_COLOR1 ? p.color1 : p.color2, 0);
    else if (id >= BOX05_STYLE_FIRST && id <= BOX05_STYLE_LAST)
        Box05DrawStyleButton(item, p.capJoin);
    else
        return 0;
    return 1;
}

INT_PTR Command(HWND dialog, int id)
{
    PropertyRecord *r = Record(dialog);
    Property &p = r->work;
    if (id >= ID_FILL_FIRST && id < ID_FILL_FIRST + FILL_MODES) {
        p.fillMode = id - ID_FILL_FIRST;
        Box01DialogRedrawItems(dialog, ID_FILL_FIRST, ID_FILL_FIRST + FILL_MODES - 1);
        return 1;
    }
    if (id >= BOX05_STYLE_FIRST && id <= BOX05_STYLE_LAST) {
        Box05PressStyleButton(dialog, id, &p.capJoin);
        return 1;
    }
    if (id >= BOX05_PRESET_FIRST && id <= BOX05_PRESET_LAST) {
        Box05PressWidthPreset(dialog, id, ID_WIDTH);
        return 1;
    }
    if (id >= BOX05_LINE_CHOICE_FIRST && id < BOX05_LINE_CHOICE_FIRST + LINE_SLOTS) {
        p.lineType = id - BOX05_LINE_CHOICE_FIRST;
        Box01DialogRedrawItem(dialog, ID_LINE_TYPE);
        PaintPreview(dialog);
        return 1;
    }
    switch (id) {
    case ID_COLOR1:
    case ID_COLOR2: {
        COLORREF &colour = id == ID_COLOR1 ? p.color1 : p.color2;
        if (Box04ChooseColor(dialog, eCaptionTexts[CAPTION_COLOUR], &colour))
            Box01DialogRedrawItem(dialog, id);
        return 1;
    }
    case ID_LINE_TYPE:
        Box01OpenListPopup(BOX01_POPUP_LINES, dialog, GetDlgItem(dialog, ID_LINE_TYPE), p.lineType,
                           BOX05_LINE_CHOICE_FIRST, 0);
        return 1;
    case IDOK: {
        char text[FIELD_TEXT_SIZE] = "";
        GetDlgItemTextA(dialog, ID_WIDTH, text, FIELD_TEXT_SIZE);
        double width = 0;
        if (!AlertCheckInputWidthRange(dialog, text, &width, ID_WIDTH, WIDTH_MIN, WIDTH_MAX, eAlertTextOK[MSG_WIDTH]))
            return 1;
        p.width = width;
        Box01DialogEnd(dialog, DIALOG_OK);
        return 1;
    }
    default:
        return 0;
    }
}

INT_PTR CALLBACK PropertyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<PropertyRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        ShowWidth(dialog, r->work.width);
        SetDlgItemTextA(dialog, ID_WIDTH_UNIT, g_ConvertState.widthLabel);
        Box01DialogFocusEdit(dialog, ID_WIDTH);
        return 0;
    }
    if (!Record(dialog))
        return 0;
    switch (message) {
    case WM_PAINT:
        // After the dialog has painted itself.
        PostMessageA(dialog, WM_APP, 0, 0);
        return 0;
    case WM_APP:
        PaintPreview(dialog);
        return 1;
    case WM_DRAWITEM:
        return DrawItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
    case WM_COMMAND:
        if (Command(dialog, LOWORD(wParam)))
            return 1;
        break;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, BOX05_PROPERTY_HELP);
}

} // namespace

void Box05DrawStyleButton(const DRAWITEMSTRUCT *item, uint32_t style)
{
    char icon[ICON_NAME_SIZE];
    const int id = static_cast<int>(item->CtlID);
    StyleIconName(icon, id);
    Box01DialogCustomButtonIcon(item, icon, StylePressed(style, id));
}

void Box05PressStyleButton(HWND dialog, int id, uint32_t *style)
{
    if (id < ID_JOIN_FIRST)
        *style = (*style & ~CAP_MASK) | static_cast<uint32_t>(id - ID_CAP_FIRST) * CAP_STEP;
    else
        *style = (*style & ~JOIN_MASK) | static_cast<uint32_t>(id - ID_JOIN_FIRST) * JOIN_STEP;
    Box01DialogRedrawItems(dialog, BOX05_STYLE_FIRST, BOX05_STYLE_LAST);
}

void Box05PressWidthPreset(HWND dialog, int id, int field)
{
    char text[64];
    Box05FormatWidth(text, WIDTH_PRESETS[id - BOX05_PRESET_FIRST]);
    SetDlgItemTextA(dialog, field, text);
}

int Box05EditProperty(HWND owner, const char *caption, Property *property)
{
    return Box01EditValue<PropertyRecord>(owner, "PROPERTY", PropertyProc, caption, property);
}

// The hatch definitions editor and the hatch parameter dialog.
#include "dialogs/box05_hatch.h"

#include <cstring>
#include <vector>

#include "app/system_defs.h"
#include "commands/command_popup.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box01_slotlist.h"
#include "dialogs/box12.h"
#include "dialogs/box14_multiline.h"
#include "language/language.h"
#include "plugin/zvi.h"

namespace {

constexpr int ID_FAMILY1 = 250, ID_FAMILY2 = 251, ID_BLOCKS = 252;
constexpr int ID_MULTI1 = 750, ID_MULTI2 = 751, ID_BLOCK_CHOOSE = 550;
constexpr int ID_LIBRARY = 350, ID_BLOCK = 351;
constexpr int ID_ANGLE1 = 200, ID_ANGLE2 = 201, ID_SCALE = 202, ID_BLOCK_ANGLE = 203, ID_COLUMN_FACTOR = 204,
              ID_COLUMN_GAP = 205, ID_ROW_FACTOR = 206, ID_ROW_GAP = 207, ID_SHIFT_FACTOR = 208, ID_SHIFT = 209,
              ID_ORIGIN_FACTOR = 210, ID_ORIGIN_SHIFT = 211, ID_GRID_ANGLE = 212;
constexpr int ID_UNIT_FIRST = 650;
constexpr int MSG_NO_BLOCK = 68, MSG_DISTANCE = 69, MSG_SCALE = 70;               // eAlertTextOK
constexpr int MSG_FULL = 45, MSG_DELETE = 60;                                     // eAlertTextOK
constexpr int CAPTION_NEW = 58, CAPTION_RENAME = 59, CAPTION_PARAM = 6, CAPTION_MULTILINES = 5,
              CAPTION_CHOOSE_BLOCK = 40; // eCaptionTexts
constexpr int TEXT_OWN_BLOCKS = 7;                                                 // eUniTexts
constexpr double SCALE_MIN = 1e-10, VALUE_MAX = 1e10;
constexpr int FIELD_SIZE = 64;

// The placement values of a hatch definition, in their order.
enum { BLOCK_ANGLE, BLOCK_SCALE, COLUMN_FACTOR, COLUMN_GAP, ROW_FACTOR, ROW_GAP, SHIFT_FACTOR, SHIFT };

struct ParamRecord {
    DialogHeader header;
    char caption[256];
    HatchDef work;
};

HatchDef &Work(HWND dialog) { return Box01DialogRecordOf<ParamRecord>(dialog)->work; }

// The value fields: which value, and how it is shown and read.
enum FieldKind { ANGLE, NUMBER, WIDTH };
struct Field {
    int id;
    FieldKind kind;
    double HatchDef::*member; // or null: a placement value
    int placement;
};
constexpr Field FIELDS[] = {
    {ID_SCALE, NUMBER, nullptr, BLOCK_SCALE},         {ID_BLOCK_ANGLE, ANGLE, nullptr, BLOCK_ANGLE},
    {ID_COLUMN_FACTOR, NUMBER, nullptr, COLUMN_FACTOR}, {ID_COLUMN_GAP, WIDTH, nullptr, COLUMN_GAP},
    {ID_ROW_FACTOR, NUMBER, nullptr, ROW_FACTOR},     {ID_ROW_GAP, WIDTH, nullptr, ROW_GAP},
    {ID_SHIFT_FACTOR, NUMBER, nullptr, SHIFT_FACTOR}, {ID_SHIFT, WIDTH, nullptr, SHIFT},
    {ID_ORIGIN_FACTOR, NUMBER, &HatchDef::phaseA, 0}, {ID_ORIGIN_SHIFT, WIDTH, &HatchDef::phaseB, 0},
    {ID_GRID_ANGLE, ANGLE, &HatchDef::baseAngle, 0},
};

double &ValueOf(HatchDef &d, const Field &f) { return f.member ? d.*f.member : d.placement[f.placement]; }

void ShowValue(HWND dialog, int id, FieldKind kind, double value, int unitId)
{
    char text[FIELD_SIZE] = "", unit[FIELD_SIZE] = "";
    if (kind == ANGLE)
        ZVI_ConvertAngleString(text, value, unit);
    else if (kind == WIDTH)
        ZVI_ConvertWidthString(text, value, unit);
    else
        ZVI_ConvertDoubleString(text, value);
    SetDlgItemTextA(dialog, id, text);
    if (unitId)
        SetDlgItemTextA(dialog, unitId, unit);
}

void ShowBlock(HWND dialog)
{
    const HatchDef &d = Work(dialog);
    const bool own = std::strcmp(d.blockLibrary, "*") == 0;
    SetDlgItemTextA(dialog, ID_LIBRARY, own ? eUniTexts[TEXT_OWN_BLOCKS] : d.blockLibrary);
    SetDlgItemTextA(dialog, ID_BLOCK, d.blockName);
}

// The pattern block, chosen on a copy of its names.
void ChooseBlock(HWND dialog)
{
    HatchDef &d = Work(dialog);
    BlockSelect choice{};
    lstrcpynA(choice.library, d.blockLibrary, sizeof choice.library);
    lstrcpynA(choice.block, d.blockName, sizeof choice.block);
    choice.display = 1;
    if (!Box12BlockSelect(dialog, eCaptionTexts[CAPTION_CHOOSE_BLOCK], &choice, 1))
        return;
    lstrcpynA(d.blockLibrary, choice.library, sizeof d.blockLibrary);
    lstrcpynA(d.blockName, choice.block, sizeof d.blockName);
    ShowBlock(dialog);
}

// OK only while a family or the block pattern is on.
void UpdateOk(HWND dialog)
{
    const HatchDef &d = Work(dialog);
    EnableWindow(GetDlgItem(dialog, IDOK), d.family1.on || d.family2.on || d.blockOn);
}

void InitParam(HWND dialog)
{
    HatchDef &d = Work(dialog);
    CheckDlgButton(dialog, ID_FAMILY1, d.family1.on ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, ID_FAMILY2, d.family2.on ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, ID_BLOCKS, d.blockOn ? BST_CHECKED : BST_UNCHECKED);
    ShowValue(dialog, ID_ANGLE1, ANGLE, d.family1.angle, ID_UNIT_FIRST);
    ShowValue(dialog, ID_ANGLE2, ANGLE, d.family2.angle, ID_UNIT_FIRST + 1);
    // Unit labels: 652 and 657 the angles, 653 to 656 the widths.
    const int units[] = {0, ID_UNIT_FIRST + 2, 0, ID_UNIT_FIRST + 3, 0, ID_UNIT_FIRST + 4,
                         0, ID_UNIT_FIRST + 5, 0, ID_UNIT_FIRST + 6, ID_UNIT_FIRST + 7};
    for (size_t i = 0; i < sizeof FIELDS / sizeof FIELDS[0]; ++i)
        ShowValue(dialog, FIELDS[i].id, FIELDS[i].kind, ValueOf(d, FIELDS[i]), units[i]);
    ShowBlock(dialog);
    UpdateOk(dialog);
    SetFocus(GetDlgItem(dialog, ID_ANGLE1));
}

int32_t ValidMultiLine(int32_t index) { return index >= 0 && index < MULTILINE_SLOTS ? index : 0; }

bool ReadField(HWND dialog, int id, FieldKind kind, double *out, double min, double max, const char *message)
{
    char text[FIELD_SIZE * 4] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    switch (kind) {
    case ANGLE: return AlertCheckInputAngle(dialog, text, out, id) != 0;
    case WIDTH: return AlertCheckInputWidthRange(dialog, text, out, id, min, max, message) != 0;
    default:
        if (min == -VALUE_MAX && max == VALUE_MAX && !message)
            return AlertCheckInputDouble(dialog, text, out, id) != 0;
        return AlertCheckInputDoubleRange(dialog, text, out, id, min, max, message) != 0;
    }
}

// Reads and checks every field in the order of the dialog; the first failure
// keeps the dialog open with its field selected.
bool ReadParam(HWND dialog)
{
    HatchDef d = Work(dialog);
    if (!ReadField(dialog, ID_ANGLE1, ANGLE, &d.family1.angle, 0, 0, nullptr) ||
        !ReadField(dialog, ID_ANGLE2, ANGLE, &d.family2.angle, 0, 0, nullptr))
        return false;
    if (d.blockOn && (!d.blockLibrary[0] || !d.blockName[0])) {
        AlertOk(dialog, eAlertTextOK[MSG_NO_BLOCK]);
        return false;
    }
    for (const Field &f : FIELDS) {
        double min = -VALUE_MAX, max = VALUE_MAX;
        const char *message = nullptr;
        if (f.id == ID_SCALE)
            min = SCALE_MIN, message = eAlertTextOK[MSG_SCALE];
        else if (f.id == ID_COLUMN_FACTOR || f.id == ID_ROW_FACTOR)
            min = 0, message = eAlertTextOK[MSG_DISTANCE];
        if (!ReadField(dialog, f.id, f.kind, &ValueOf(d, f), min, max, message))
            return false;
    }
    Work(dialog) = d;
    return true;
}

void OpenMultiLinePopup(HWND dialog, int buttonId)
{
    RECT r;
    GetWindowRect(GetDlgItem(dialog, buttonId), &r);
    const HatchDef &d = Work(dialog);
    const bool first = buttonId == ID_MULTI1;
    CommandPopupSelectMultiLine(dialog, &r, ValidMultiLine(first ? d.family1.multiLine : d.family2.multiLine),
                                first ? BOX05_FAMILY1_CHOICE : BOX05_FAMILY2_CHOICE, 0,
                                first ? BOX05_FAMILY1_EDIT : BOX05_FAMILY2_EDIT);
}

INT_PTR CALLBACK ParamProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<ParamRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        InitParam(dialog);
        return 0;
    }
    if (!Box01DialogRecord(dialog))
        return 0;
    HatchDef &d = Work(dialog);
    if (message == WM_DRAWITEM) {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (item->CtlID == ID_MULTI1 || item->CtlID == ID_MULTI2) {
            const int32_t m = ValidMultiLine(item->CtlID == ID_MULTI1 ? d.family1.multiLine : d.family2.multiLine);
            Box01DialogCustomButtonText(item, g_MultiLineDefs[m].name, GetFocus() == item->hwndItem);
            return 1;
        }
        return 0;
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        switch (id) {
        case ID_FAMILY1: d.family1.on = IsDlgButtonChecked(dialog, id) == BST_CHECKED; UpdateOk(dialog); return 1;
        case ID_FAMILY2: d.family2.on = IsDlgButtonChecked(dialog, id) == BST_CHECKED; UpdateOk(dialog); return 1;
        case ID_BLOCKS: d.blockOn = IsDlgButtonChecked(dialog, id) == BST_CHECKED; UpdateOk(dialog); return 1;
        case ID_MULTI1:
        case ID_MULTI2: OpenMultiLinePopup(dialog, id); return 1;
        case ID_BLOCK_CHOOSE: ChooseBlock(dialog); return 1;
        case BOX05_FAMILY1_EDIT:
        case BOX05_FAMILY2_EDIT: {
            const int32_t current = ValidMultiLine(id == BOX05_FAMILY1_EDIT ? d.family1.multiLine : d.family2.multiLine);
            Box14EditMultilineDef(dialog, eCaptionTexts[CAPTION_MULTILINES], g_MultiLineDefs, current);
            InvalidateRect(GetDlgItem(dialog, ID_MULTI1), nullptr, TRUE);
            InvalidateRect(GetDlgItem(dialog, ID_MULTI2), nullptr, TRUE);
            return 1;
        }
        case IDOK:
            if (ReadParam(dialog))
                Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        default:
            if (id >= BOX05_FAMILY1_CHOICE && id < BOX05_FAMILY1_CHOICE + MULTILINE_SLOTS) {
                d.family1.multiLine = id - BOX05_FAMILY1_CHOICE;
                InvalidateRect(GetDlgItem(dialog, ID_MULTI1), nullptr, TRUE);
                return 1;
            }
            if (id >= BOX05_FAMILY2_CHOICE && id < BOX05_FAMILY2_CHOICE + MULTILINE_SLOTS) {
                d.family2.multiLine = id - BOX05_FAMILY2_CHOICE;
                InvalidateRect(GetDlgItem(dialog, ID_MULTI2), nullptr, TRUE);
                return 1;
            }
            break;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, BOX05_HATCH_PARAM_HELP);
}

int EditParam(HWND owner, const char *caption, void *record)
{
    return Box05EditHatchParam(owner, caption, static_cast<HatchDef *>(record));
}

const SlotListTexts HATCH_TEXTS = {CAPTION_NEW, CAPTION_RENAME, MSG_FULL, MSG_DELETE, CAPTION_PARAM,
                                   BOX05_HATCH_DEFS_HELP};

} // namespace

int Box05EditHatchParam(HWND owner, const char *caption, HatchDef *def)
{
    return Box01EditValue<ParamRecord>(owner, "HATCHPARAM", ParamProc, caption, def);
}

int Box05EditHatchDefs(HWND owner, const char *caption, HatchDef *table, int32_t *index)
{
    std::vector<HatchDef> copy(table, table + HATCH_SLOTS);
    SlotListRecord record =
        Box01SlotListOf(caption, copy, DEF_NAME_LONG, index ? *index : 0, &HATCH_TEXTS, EditParam);
    const uint32_t result = Box01EditSlotList(owner, "HATCHDEFEDIT", record);
    if (!result)
        return 0;
    std::copy(copy.begin(), copy.end(), table);
    if (index)
        *index = result == SLOT_LIST_TAKEN ? record.selected : -1;
    return 1;
}

// The default layer and pen dialogs (templates DEFAULTLAYERS, DEFAULTPENS).
#include "dialogs/box06_defaults.h"

#include <cstring>

#include "app/system_defs.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "language/language.h"

namespace {

constexpr int ID_SLOT_FIRST = 750;
constexpr int LAYER_BUTTONS = DEFAULT_SLOTS, PEN_BUTTONS = 5;
constexpr int TEXT_CURRENT = 30; // eUniTexts

struct DefaultsKind {
    const char *templateName;
    int help;
    int buttons;
    Box01ListPopupKind popup;
    int firstChoice, topChoice;
    int slots; // table size
};

const DefaultsKind LAYERS = {"DEFAULTLAYERS",       BOX06_DEFAULT_LAYERS_HELP, LAYER_BUTTONS, BOX01_POPUP_LAYERS,
                             BOX06_LAYER_CHOICE_FIRST, BOX06_LAYER_CHOICE_TOP, LAYER_SLOTS};
const DefaultsKind PENS = {"DEFAULTPENS",        BOX06_DEFAULT_PENS_HELP, PEN_BUTTONS, BOX01_POPUP_PENS,
                           BOX06_PEN_CHOICE_FIRST, BOX06_PEN_CHOICE_TOP, PEN_SLOTS};

struct DefaultsRecord {
    DialogHeader header;
    char caption[256];
    const DefaultsKind *kind;
    int current;
    int32_t slots[DEFAULT_SLOTS];
};

DefaultsRecord *Record(HWND dialog)
{
    return Box01DialogRecordOf<DefaultsRecord>(dialog);
}

// The name and state of slot value v, or null for a value that names nothing.
const char *EntryName(const DefaultsKind &kind, int32_t v, uint32_t *state)
{
    if (v < 0 || v >= kind.slots)
        return nullptr;
    if (&kind == &LAYERS) {
        *state = g_LayerDefs[v].state;
        return g_LayerDefs[v].name;
    }
    *state = g_PenDefs[v].state;
    return g_PenDefs[v].name;
}

INT_PTR CALLBACK DefaultsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<DefaultsRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        r->current = 0;
        SetFocus(dialog);
        return 0;
    }
    DefaultsRecord *r = Record(dialog);
    if (!r)
        return 0;
    const DefaultsKind &kind = *r->kind;
    if (message == WM_DRAWITEM) {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        const int k = static_cast<int>(item->CtlID) - ID_SLOT_FIRST;
        if (k < 0 || k >= kind.buttons)
            return 0;
        uint32_t state = 0;
        const char *name = EntryName(kind, r->slots[k], &state);
        if (name)
            Box01DialogCustomButtonLayer(item, state, name, 0);
        else
            Box01DialogCustomButtonText(item, eUniTexts[TEXT_CURRENT], 0);
        return 1;
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        if (id >= ID_SLOT_FIRST && id < ID_SLOT_FIRST + kind.buttons) {
            r->current = id - ID_SLOT_FIRST;
            Box01OpenListPopup(kind.popup, dialog, GetDlgItem(dialog, id), r->slots[r->current], kind.firstChoice,
                               kind.topChoice);
            return 1;
        }
        if (id == kind.topChoice || (id >= kind.firstChoice && id < kind.firstChoice + kind.slots)) {
            r->slots[r->current] = id == kind.topChoice ? DEFAULT_SLOT_UNSET : id - kind.firstChoice;
            Box01DialogRedrawItem(dialog, ID_SLOT_FIRST + r->current);
            return 1;
        }
        if (id == IDOK) {
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, kind.help);
}

int EditDefaults(const DefaultsKind &kind, HWND owner, const char *caption, int32_t slots[DEFAULT_SLOTS])
{
    DefaultsRecord record = {};
    lstrcpynA(record.caption, caption ? caption : "", sizeof record.caption);
    record.kind = &kind;
    memcpy(record.slots, slots, sizeof record.slots);
    if (!Box01DialogEdit(owner, kind.templateName, DefaultsProc, record))
        return 0;
    // Only the slots this dialog shows go back.
    memcpy(slots, record.slots, sizeof(int32_t) * kind.buttons);
    return 1;
}

} // namespace

int Box06EditDefaultLayers(HWND owner, const char *caption, int32_t slots[DEFAULT_SLOTS])
{
    return EditDefaults(LAYERS, owner, caption, slots);
}

int Box06EditDefaultPens(HWND owner, const char *caption, int32_t slots[DEFAULT_SLOTS])
{
    return EditDefaults(PENS, owner, caption, slots);
}

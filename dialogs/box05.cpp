// The multiple-identification box.
#include "dialogs/box05.h"

#include <cstdio>

#include "app/system.h"
#include "app/system_defs.h"
#include "dialogs/box01.h"
#include "language/language.h"

Box05MultipleIdentHook g_Box05MultipleIdentHook = nullptr;

namespace {

constexpr const char *TEMPLATE_NAME = "MULTIPLEIDENT";
constexpr int HELP_MULTIPLE_IDENT = 12013;
constexpr int ID_INFO = 350;
constexpr int INFO_SIZE = 256;
constexpr int CAPTION_SIZE = 300;
// eUniTexts entries of the information line.
constexpr int UNI_NO_LAYER_PEN = 17;
constexpr int UNI_LAYER_PEN = 18;
// System-menu items: placing the box and keeping its position.
constexpr UINT SYS_PLACE_TOP = 5006;
constexpr UINT SYS_PLACE_CENTRE = 5007;
constexpr UINT SYS_PLACE_BOTTOM = 5008;
constexpr UINT SYS_KEEP_POSITION = 5009;
// eSystemCommands entries of those items.
constexpr int SYSTEXT_MOVE = 0, SYSTEXT_CLOSE = 2, SYSTEXT_TOP = 9, SYSTEXT_BOTTOM = 10, SYSTEXT_CENTRE = 14,
              SYSTEXT_POSITION = 15, SYSTEXT_KEEP = 12;
// Box01DialogPlace modes.
constexpr int PLACE_TOP = 0, PLACE_CENTRE = 1, PLACE_BOTTOM = 2, PLACE_REMEMBERED = 3;

struct MultipleIdentRecord {
    DialogHeader header;
    char caption[CAPTION_SIZE];
    char info[INFO_SIZE];
    uint32_t answer;
};

bool ValidSlot(int32_t index, int slots) { return index >= 0 && index < slots; }

void InfoText(char *out, int32_t layer, int32_t pen)
{
    if (ValidSlot(layer, LAYER_SLOTS) && ValidSlot(pen, PEN_SLOTS))
        std::snprintf(out, INFO_SIZE, eUniTexts[UNI_LAYER_PEN], g_LayerDefs[layer].name, g_PenDefs[pen].name);
    else
        std::snprintf(out, INFO_SIZE, "%s", eUniTexts[UNI_NO_LAYER_PEN]);
}

// Move, Close, the position submenu and the keep-position switch.
void SetSystemMenu(HWND dialog)
{
    HMENU menu = GetSystemMenu(dialog, FALSE);
    if (!menu)
        return;
    while (GetMenuItemCount(menu) > 0)
        DeleteMenu(menu, 0, MF_BYPOSITION);
    AppendMenuA(menu, MF_STRING, SC_MOVE, eSystemCommands[SYSTEXT_MOVE]);
    AppendMenuA(menu, MF_STRING, SC_CLOSE, eSystemCommands[SYSTEXT_CLOSE]);
    HMENU place = CreatePopupMenu();
    if (place) {
        AppendMenuA(place, MF_STRING, SYS_PLACE_TOP, eSystemCommands[SYSTEXT_TOP]);
        AppendMenuA(place, MF_STRING, SYS_PLACE_CENTRE, eSystemCommands[SYSTEXT_CENTRE]);
        AppendMenuA(place, MF_STRING, SYS_PLACE_BOTTOM, eSystemCommands[SYSTEXT_BOTTOM]);
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(place), eSystemCommands[SYSTEXT_POSITION]);
    }
    AppendMenuA(menu, MF_STRING, SYS_KEEP_POSITION, eSystemCommands[SYSTEXT_KEEP]);
}

void StorePosition(HWND dialog)
{
    RECT r;
    if (GetWindowRect(dialog, &r))
        g_Options.choicePlacement.pos = POINT{r.left, r.top};
}

INT_PTR CALLBACK MultipleIdentProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto *record = reinterpret_cast<MultipleIdentRecord *>(Box01DialogInit(dialog, lParam));
        SetSystemMenu(dialog);
        Box01DialogPlace(dialog, PLACE_REMEMBERED, &g_Options.choicePlacement.pos);
        SetWindowTextA(dialog, record->caption);
        SetDlgItemTextA(dialog, ID_INFO, record->info);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    case WM_INITMENU:
        CheckMenuItem(reinterpret_cast<HMENU>(wParam), SYS_KEEP_POSITION,
                      MF_BYCOMMAND | (g_Options.choicePlacement.keep ? MF_CHECKED : MF_UNCHECKED));
        return TRUE;
    case WM_SYSCOMMAND:
        switch (LOWORD(wParam)) {
        case SYS_PLACE_TOP: Box01DialogPlace(dialog, PLACE_TOP, nullptr); return TRUE;
        case SYS_PLACE_CENTRE: Box01DialogPlace(dialog, PLACE_CENTRE, nullptr); return TRUE;
        case SYS_PLACE_BOTTOM: Box01DialogPlace(dialog, PLACE_BOTTOM, nullptr); return TRUE;
        case SYS_KEEP_POSITION: g_Options.choicePlacement.keep ^= 1; return TRUE;
        default: return FALSE;
        }
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        if (id != MULTIPLE_IDENT_TAKE && id != MULTIPLE_IDENT_CANCEL && id != MULTIPLE_IDENT_NEXT &&
            id != MULTIPLE_IDENT_PREVIOUS)
            return TRUE;
        StorePosition(dialog);
        if (auto *record = reinterpret_cast<MultipleIdentRecord *>(Box01DialogRecord(dialog)))
            record->answer = id;
        Box01DialogEnd(dialog, id == MULTIPLE_IDENT_CANCEL ? DIALOG_CANCELLED : DIALOG_OK);
        return TRUE;
    }
    case WM_DESTROY:
        GetSystemMenu(dialog, TRUE);
        return FALSE;
    default:
        return Box01DialogDefault(dialog, message, wParam, lParam, HELP_MULTIPLE_IDENT);
    }
}

} // namespace

int Box05MultipleIdent(HWND owner, const char *caption, uint32_t *answer, int32_t layer, int32_t pen)
{
    uint32_t result = MULTIPLE_IDENT_CANCEL;
    if (g_Box05MultipleIdentHook) {
        // 0 stands for a box that could not be created.
        const uint32_t hooked = g_Box05MultipleIdentHook(caption ? caption : "", layer, pen);
        result = hooked ? hooked : MULTIPLE_IDENT_CANCEL;
    } else {
        MultipleIdentRecord record{};
        std::snprintf(record.caption, sizeof record.caption, "%s", caption ? caption : "");
        InfoText(record.info, layer, pen);
        record.answer = MULTIPLE_IDENT_CANCEL;
        // A box that cannot be created has been reported by the protocol and
        // counts as cancel, so that a caller's stepping loop ends.
        if (Box01DialogRun(owner, TEMPLATE_NAME, MultipleIdentProc, &record.header) != -1)
            result = record.answer;
    }
    if (answer)
        *answer = result;
    return result == MULTIPLE_IDENT_CANCEL ? 0 : 1;
}

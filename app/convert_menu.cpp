// Where a command stands in the menu layout.
#include "app/convert.h"

#include "app/init_menulayout.h"

namespace {

constexpr int TABLET_MENU_COMMAND = 1200; // opens the tablet's own menu

} // namespace

int ConvertFindCommandPopup(int commandId)
{
    if (commandId == TABLET_MENU_COMMAND)
        return CONVERT_POPUP_OPENER;
    int popup = CONVERT_POPUP_NOT_FOUND;
    for (const uint32_t *entry = g_MenuLayout; !(*entry & MENU_END); ++entry) {
        const uint32_t e = *entry;
        if (e & (MENU_SEPARATOR | MENU_TOP_HEADER))
            continue;
        const int id = static_cast<int>(e & MENU_ID_MASK);
        if (e & MENU_POPUP_HEADER)
            popup = id;
        if (id != commandId)
            continue;
        if (e & MENU_POPUP_HEADER)
            return CONVERT_POPUP_OPENER;
        if (e & MENU_TOP_ITEM)
            return CONVERT_POPUP_TOP_LEVEL;
        if (e & MENU_POPUP_ITEM)
            return popup;
    }
    return CONVERT_POPUP_NOT_FOUND;
}

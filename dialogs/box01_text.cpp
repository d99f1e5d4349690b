// Dialog utilities for texts and fonts: the stored one-line form of multi-line
// texts and edit-control text, typing into a control, fitting combo boxes,
// and the font families and styles offered by the font lists.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/system_defs.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "files/file_records.h"
#include "language/language.h"

namespace {

constexpr unsigned char kLineEnd = 0xB6; // a stored text's line break
constexpr int kStyleNameSize = 32;
constexpr int kWeightNames = 10;         // eFontStyleNames 0 to 9 by weight / 100
constexpr int kItalicSuffix = 10, kUnderlineSuffix = 11, kStrikeoutSuffix = 12;
constexpr int kNoStyles = 13;            // eUniTexts
constexpr int kMinimumItems = 3;         // a drop-down list opens for at least this many
constexpr int kFontComboFirst = 180, kFontComboLast = 189;
constexpr int kSelectFirst = 3;          // eAlertTextOK: please select an entry

struct StyleSearch {
    FontDef *records;
    int count;
    int capacity;
};

bool Wanted(const TEXTMETRICA &tm, DWORD type)
{
    // The pitch bit named TMPF_FIXED_PITCH is set for variable-pitch fonts:
    // with vector outlines it marks the scalable families the texts can use.
    return (tm.tmPitchAndFamily & TMPF_VECTOR) && (type & (TRUETYPE_FONTTYPE | DEVICE_FONTTYPE));
}

int CALLBACK AddFamily(const LOGFONTA *lf, const TEXTMETRICA *tm, DWORD type, LPARAM lParam)
{
    auto *target = reinterpret_cast<const std::pair<HWND, int> *>(lParam);
    if (!Wanted(*tm, type) || lf->lfFaceName[0] == '@')
        return 1;
    const bool combo = target->second >= kFontComboFirst && target->second <= kFontComboLast;
    const UINT find = combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT;
    if (SendDlgItemMessageA(target->first, target->second, find, WPARAM(-1), LPARAM(lf->lfFaceName)) >= 0)
        return 1;
    SendDlgItemMessageA(target->first, target->second, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                        LPARAM(lf->lfFaceName));
    return 1;
}

int CALLBACK AddStyle(const LOGFONTA *lf, const TEXTMETRICA *tm, DWORD type, LPARAM lParam)
{
    auto *search = reinterpret_cast<StyleSearch *>(lParam);
    if (!Wanted(*tm, type) || search->count >= search->capacity)
        return search->count < search->capacity;
    FontDef &r = search->records[search->count];
    r = FontDef{};
    r.kind = (type & TRUETYPE_FONTTYPE) ? FONT_KIND_TRUETYPE : FONT_KIND_DEVICE;
    r.style = (lf->lfItalic ? 0x1u : 0u) | (lf->lfUnderline ? 0x2u : 0u) | (lf->lfStrikeOut ? 0x8u : 0u) |
              (lf->lfCharSet == SYMBOL_CHARSET ? 0x100u : 0u);
    r.weight = uint32_t(lf->lfWeight);
    const auto *full = reinterpret_cast<const ENUMLOGFONTA *>(lf);
    if ((type & TRUETYPE_FONTTYPE) && full->elfStyle[0]) {
        lstrcpynA(r.face, reinterpret_cast<const char *>(full->elfStyle), kStyleNameSize);
    } else {
        const int w = std::clamp(int(lf->lfWeight) / 100, 0, kWeightNames - 1);
        std::snprintf(r.face, kStyleNameSize, "%s%s%s%s", eFontStyleNames[w],
                      (r.style & 0x1) ? eFontStyleNames[kItalicSuffix] : "",
                      (r.style & 0x2) ? eFontStyleNames[kUnderlineSuffix] : "",
                      (r.style & 0x8) ? eFontStyleNames[kStrikeoutSuffix] : "");
    }
    for (int i = 0; i < search->count; ++i) // one entry per style
        if (search->records[i].weight == r.weight && search->records[i].style == r.style)
            return 1;
    ++search->count;
    return 1;
}

} // namespace

void Box01TextToMultiline(char *dst, const char *src, int dstSize)
{
    int n = 0;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(src); *p && n < dstSize - 2; ++p) {
        if (*p == kLineEnd) {
            dst[n++] = '\r';
            dst[n++] = '\n';
        } else if (*p >= 32) {
            dst[n++] = char(*p);
        }
    }
    dst[n < dstSize ? n : dstSize - 1] = 0;
}

int Box01MultilineToText(char *dst, const char *src, int maxLen)
{
    int n = 0;
    const unsigned char *p = reinterpret_cast<const unsigned char *>(src);
    for (; *p; ++p) {
        if (*p != '\n' && *p < 32)
            continue;
        if (n >= maxLen)
            break;
        dst[n++] = *p == '\n' ? char(kLineEnd) : char(*p);
    }
    dst[n] = 0;
    return *p == 0;
}

int Box01ComboSelection(HWND dialog, int id, char *out, int size)
{
    const LRESULT at = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    if (at == CB_ERR || SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, WPARAM(at), 0) >= size) {
        AlertOk(dialog, eAlertTextOK[kSelectFirst]);
        return 0;
    }
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, WPARAM(at), LPARAM(out));
    return 1;
}

void Box01DialogTypeText(HWND dialog, int id, const char *text)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p)
        SendMessageA(control, WM_CHAR, *p, 1);
    SetFocus(control);
}

void Box01DialogComboboxAdjust(HWND dialog, int id)
{
    HWND combo = GetDlgItem(dialog, id);
    if (!combo)
        return;
    const int hi = std::max(1, int(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0)));
    const int hf = int(SendMessageA(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    const int n = std::max(int(SendMessageA(combo, CB_GETCOUNT, 0, 0)), kMinimumItems);
    RECT r;
    GetWindowRect(combo, &r);
    const int screen = g_ScreenHeight > 0 ? g_ScreenHeight : GetSystemMetrics(SM_CYSCREEN);
    const int below = std::max(0, (screen - hf - int(r.top) - 2) / hi * hi);
    const int above = std::max(0, (int(r.top) - 2) / hi * hi);
    int wanted = n * hi;
    if (wanted > below)
        wanted = above > below ? std::min(wanted, above) : below;
    POINT origin{r.left, r.top};
    ScreenToClient(dialog, &origin);
    MoveWindow(combo, origin.x, origin.y, r.right - r.left, hf + wanted + hi - 1, FALSE);
}

void Box01FillFontList(HWND dialog, int id)
{
    HDC dc = GetDC(g_MainWnd);
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    std::pair<HWND, int> target{dialog, id};
    EnumFontFamiliesExA(dc, &lf, AddFamily, reinterpret_cast<LPARAM>(&target), 0);
    ReleaseDC(g_MainWnd, dc);
}

int Box01FillFontStyles(HWND dialog, int id, const char *faceName, FontDef records[BOX01_FONT_STYLES])
{
    HWND combo = GetDlgItem(dialog, id);
    EnableWindow(combo, TRUE);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    StyleSearch search{records, 0, BOX01_FONT_STYLES};
    if (faceName && faceName[0]) {
        HDC dc = GetDC(g_MainWnd);
        LOGFONTA lf{};
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(lf.lfFaceName, faceName, LF_FACESIZE);
        EnumFontFamiliesExA(dc, &lf, AddStyle, reinterpret_cast<LPARAM>(&search), 0);
        ReleaseDC(g_MainWnd, dc);
    }
    if (search.count == 0) {
        SendMessageA(combo, CB_ADDSTRING, 0, LPARAM(eUniTexts[kNoStyles]));
        EnableWindow(combo, FALSE);
        return 0;
    }
    std::stable_sort(records, records + search.count, [](const FontDef &a, const FontDef &b) {
        return a.weight != b.weight ? a.weight < b.weight : a.style < b.style;
    });
    for (int i = 0; i < search.count; ++i) {
        const LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0, LPARAM(records[i].face));
        SendMessageA(combo, CB_SETITEMDATA, WPARAM(at), LPARAM(i));
    }
    Box01DialogComboboxAdjust(dialog, id);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    return 1;
}

namespace {

constexpr int kMenuTextSize = 300;
constexpr int kValuesSubmenu = 15, kVariablesSubmenu = 16; // eSpecialMenus
constexpr int kInsertTextSize = 256;

bool IsEnd(const char *entry)
{
    return !entry || entry[0] == 0x04;
}

char Mnemonic(int i)
{
    return i < 10 ? char('0' + i) : char('A' + (i - 10));
}

// Items "&c<TAB>text" for the display entries of a table, ids first + i.
bool AddEntries(HMENU menu, const char *const *display, int first)
{
    for (int i = 0; i < BOX01_INSERT_ENTRIES && !IsEnd(display[i]); ++i) {
        char text[kMenuTextSize];
        std::snprintf(text, sizeof text, "&%c\t%s", Mnemonic(i), display[i]);
        if (!AppendMenuA(menu, MF_STRING, UINT_PTR(first + i), text))
            return false;
    }
    return true;
}

} // namespace

void Box01SortVariables(VariableDef *table)
{
    for (int i = 0; i < VARIABLE_SLOTS - 1; ++i) {
        int least = i;
        for (int j = i + 1; j < VARIABLE_SLOTS; ++j)
            if (table[j].name[0] && (!table[least].name[0] || lstrcmpiA(table[j].name, table[least].name) < 0))
                least = j;
        if (least != i) {
            const VariableDef t = table[i];
            table[i] = table[least];
            table[least] = t;
        }
    }
    int named = 0;
    for (int i = 0; i < VARIABLE_SLOTS; ++i)
        if (table[i].name[0])
            table[named++] = table[i];
    for (int i = named; i < VARIABLE_SLOTS; ++i)
        table[i] = VariableDef{};
}

HMENU Box01MenuInsertText(HWND owner, const VariableDef *sorted)
{
    HMENU menu = CreatePopupMenu(), variables = CreatePopupMenu(), values = CreatePopupMenu();
    bool ok = menu && variables && values && AddEntries(menu, eInsertTextDisplay1, BOX01_INSERT_TEXT1) &&
              AddEntries(values, eInsertTextDisplay2, BOX01_INSERT_TEXT2);
    int count = 0;
    for (int i = 0; ok && i < VARIABLE_SLOTS && sorted[i].name[0]; ++i, ++count) {
        char text[kMenuTextSize];
        if (i < 36)
            std::snprintf(text, sizeof text, "&%c\t%s", Mnemonic(i), sorted[i].name);
        else
            std::snprintf(text, sizeof text, "\t%s", sorted[i].name);
        ok = AppendMenuA(variables, MF_STRING, UINT_PTR(BOX01_INSERT_VARIABLE + i), text) != 0;
    }
    ok = ok && AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) &&
         AppendMenuA(menu, MF_POPUP | (count ? 0 : MF_GRAYED), UINT_PTR(variables), eSpecialMenus[kVariablesSubmenu]) &&
         AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) &&
         AppendMenuA(menu, MF_POPUP, UINT_PTR(values), eSpecialMenus[kValuesSubmenu]);
    if (!ok) {
        // Submenus already attached go with the menu; the others are destroyed alone.
        for (HMENU m : {menu, variables, values})
            if (m && IsMenu(m))
                DestroyMenu(m);
        AlertNoDialog(owner);
        return nullptr;
    }
    return menu;
}

void Box01InsertTextFor(int command, const VariableDef *sorted, char *out)
{
    out[0] = 0;
    const int i1 = command - BOX01_INSERT_TEXT1, i2 = command - BOX01_INSERT_TEXT2;
    const int v = command - BOX01_INSERT_VARIABLE;
    if (i1 >= 0 && i1 < BOX01_INSERT_ENTRIES && !IsEnd(eInsertText1[i1]))
        lstrcpynA(out, eInsertText1[i1], kInsertTextSize);
    else if (i2 >= 0 && i2 < BOX01_INSERT_ENTRIES && !IsEnd(eInsertText2[i2]))
        lstrcpynA(out, eInsertText2[i2], kInsertTextSize);
    else if (v >= 0 && v < VARIABLE_SLOTS && sorted[v].name[0])
        std::snprintf(out, kInsertTextSize, "~%s~", sorted[v].name);
}

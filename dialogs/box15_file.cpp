// The file chooser: the common file dialog with the program's filter list,
// remembered kinds and folders.
#include "dialogs/box15.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/init_dialogs.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box16.h"
#include "files/zvi.h"
#include "language/language.h"
#include "plugin/zvi_module.h"

Box15ChooserHook g_Box15ChooserHook = nullptr;

namespace {

// Pattern of each built-in kind; the default extension is the pattern
// without its first two characters.
constexpr const char *KIND_PATTERNS[FILE_KIND_BUILTIN_COUNT] = {
    "*.*", "*.zvd", "*.zvd", "*.dup", "*.zvl", "*.inf", "*.zvd",
    "*.n4v", "*.n4b", "*.emf", "*.wmf", "*.bmp", "*.txt", "*.dig"};
constexpr int PLUGIN_FORMATS_MAX = 20;
constexpr int CAPTION_SETTINGS = 7, CAPTION_FILE_INFO = 33, CAPTION_SECTIONS = 62; // eCaptionTexts

struct Format {
    const char *text;
    const char *pattern;
};

// The filter of kind, or {} when it is not offered.
Format OfferedFormat(int kind, const FileTypeSelection &s)
{
    if (kind >= 0 && kind < FILE_KIND_BUILTIN_COUNT) {
        if (!(s.kinds & (1u << kind)))
            return {};
        return {eFileSearchTexts[kind], KIND_PATTERNS[kind]};
    }
    const bool import = kind >= FILE_KIND_IMPORT && kind < FILE_KIND_EXPORT;
    const int n = kind - (import ? FILE_KIND_IMPORT : FILE_KIND_EXPORT);
    if (n < 0 || n >= PLUGIN_FORMATS_MAX || !((import ? s.imports : s.exports) & (1u << n)))
        return {};
    const ModuleData *m = import ? ZviImportRecord(n) : ZviExportRecord(n);
    if (!m || !m->fileType || !m->filePattern || !m->fileType[0] || !m->filePattern[0])
        return {};
    return {m->fileType, m->filePattern};
}

// Every kind in filter order: built-in, import, export.
template <class F> void ForEachKind(F f)
{
    for (int k = 0; k < FILE_KIND_BUILTIN_COUNT; ++k)
        f(k);
    for (int n = 0; n < PLUGIN_FORMATS_MAX; ++n)
        f(FILE_KIND_IMPORT + n);
    for (int n = 0; n < PLUGIN_FORMATS_MAX; ++n)
        f(FILE_KIND_EXPORT + n);
}

bool Offered(int kind, const FileTypeSelection &s)
{
    if (kind < FILE_KIND_IMPORT)
        return kind >= 0 && kind < 32 && (s.kinds & (1u << kind));
    if (kind < FILE_KIND_EXPORT)
        return (s.imports & (1u << ((kind - FILE_KIND_IMPORT) & 31))) != 0;
    return (s.exports & (1u << ((kind - FILE_KIND_EXPORT) & 31))) != 0;
}

int PositionOfKind(const ChooserFilters &f, int kind)
{
    for (int i = 0; i < f.count; ++i)
        if (f.kinds[i] == kind)
            return i;
    return -1;
}

} // namespace

void Box15BuildFilters(const FileTypeSelection &selection, ChooserFilters *out)
{
    std::memset(out, 0, sizeof *out);
    size_t used = 0;
    ForEachKind([&](int kind) {
        const Format f = OfferedFormat(kind, selection);
        if (!f.text || out->count >= CHOOSER_MAX_FILTERS)
            return;
        const size_t t = std::strlen(f.text), p = std::strlen(f.pattern);
        // Text, NUL, pattern, NUL, and room for the final NUL: a filter that
        // does not fit is skipped together with its position.
        if (used + t + p + 3 > sizeof out->text)
            return;
        std::memcpy(out->text + used, f.text, t + 1);
        used += t + 1;
        std::memcpy(out->text + used, f.pattern, p + 1);
        used += p + 1;
        out->kinds[out->count] = kind;
        const char *ext = p >= 2 ? f.pattern + 2 : "";
        std::snprintf(out->extensions[out->count], CHOOSER_EXTENSION_SIZE, "%s", ext);
        ++out->count;
    });
    out->text[used] = '\0';
}

int Box15TypeFromFilterIndex(int position, const FileTypeSelection &selection)
{
    ChooserFilters f;
    Box15BuildFilters(selection, &f);
    return position >= 0 && position < f.count ? f.kinds[position] : selection.fallback;
}

FileDialogState *Box15DefaultPathForType(int kind, const FileTypeSelection &selection)
{
    FileDialogState *d = g_Options.fileDialogs;
    const bool templates = selection.sectionsKind == 5 || selection.sectionsKind == 6;
    switch (kind) {
    case 5: case 6: return &d[FD_INF];
    case 4: case 8: return &d[FD_ZVL];
    case 9: return &d[FD_EMF];
    case 10: return &d[FD_WMF];
    case 11: return &d[FD_BMP];
    case 13: return &d[FD_DIG];
    default: break;
    }
    if (kind >= FILE_KIND_IMPORT)
        return &d[FD_FLT];
    return templates ? &d[FD_INF] : &d[FD_ZVD];
}

void Box15NameForFilter(const char *name, const char *extension, char *out, int size)
{
    const size_t n = std::strlen(name);
    if (!n || name[n - 1] == '\\' || name[n - 1] == '/' || !extension[0] || extension[0] == '*') {
        std::snprintf(out, size, "%s", name);
        return;
    }
    char changed[ZVI_PATH_SIZE];
    if (n >= sizeof changed || !ZVI_FileSetExtension(name, changed, extension)) {
        std::snprintf(out, size, "%s", name);
        return;
    }
    std::snprintf(out, size, "%s", changed);
}

void Box15FileTypeHelp(HWND owner, int kind)
{
    constexpr int HELP_FILE_KINDS = 15009;
    if (kind >= FILE_KIND_IMPORT) {
        // A format's own help: its command callback with (0, 2).
        const bool import = kind < FILE_KIND_EXPORT;
        const int n = kind - (import ? FILE_KIND_IMPORT : FILE_KIND_EXPORT);
        PluginAskHelp((import ? IMPORT_COMMAND_FIRST : EXPORT_COMMAND_FIRST) + n);
        return;
    }
    Box01DialogHelp(owner, HELP_FILE_KINDS);
}

int Box15FileGetNameSettings(HWND owner, int kind, const FileTypeSelection &selection, FileDialogState *state)
{
    if (selection.sectionsKind < 0)
        return 1;
    if (kind >= FILE_KIND_IMPORT) {
        // A format's own settings: its command callback with (0, 0).
        const bool import = kind < FILE_KIND_EXPORT;
        const int n = kind - (import ? FILE_KIND_IMPORT : FILE_KIND_EXPORT);
        PluginAskStart((import ? IMPORT_COMMAND_FIRST : EXPORT_COMMAND_FIRST) + n);
        return 1;
    }
    const bool save = selection.mode == CHOOSER_SAVE;
    ProgramOptions &o = g_Options;
    uint32_t *defaultMask = nullptr;
    switch (kind) {
    case FILE_KIND_DRAWING: case FILE_KIND_ZIPPED: case FILE_KIND_BACKUP: case 7: case FILE_KIND_SECTIONS_MERGE:
        defaultMask = save ? &o.fileModeSave : &o.fileModeLoad;
        break;
    case 5:
        defaultMask = save ? &o.fileModeSaveTemplate : &o.fileModeLoadTemplate;
        break;
    case FILE_KIND_TEMPLATE:
        defaultMask = save ? &o.fileModeSaveTemplate : &o.fileModeNew;
        break;
    case FILE_KIND_EMF: case FILE_KIND_WMF:
        if (save)
            Box16Settings(owner, eCaptionTexts[CAPTION_SETTINGS], &g_DrawingSettings, BOX16_SET_OUTPUT, 0);
        return 1;
    default:
        return 0;
    }
    Box15FileSections(owner, eCaptionTexts[CAPTION_SECTIONS], &state->option, defaultMask,
                      selection.sectionsKind == FILE_KIND_SECTIONS_MERGE);
    return 1;
}

namespace {

constexpr int ID_FOLDER = 350, ID_SECTIONS_LABEL = 351, ID_FAVOURITES = 550, ID_INFO = 551, ID_SECTIONS = 552,
              ID_TAKE_FOLDER = 553;
constexpr int ID_TYPE_COMBO = 1136, ID_NAME_EDIT = 1152, ID_NAME_COMBO = 1148, ID_HELP_BUTTON = 1038;
constexpr int ID_FILE_LIST = 1120, ID_READ_ONLY = 1040, ID_TYPE_LABEL = 1089, ID_NAME_LABEL = 1090;
// The common dialog's own procedure while the hook watches its Help button,
// and the hook's data.
constexpr const char *HELP_BUTTON_PROP = "darad4.chooser.help";
constexpr const char *HOOK_DATA_PROP = "darad4.chooser.data";
// The favourite-folder menu: go to, clear and set folder n.
constexpr int MENU_GO = BOX01_MENU_RECENT, MENU_CLEAR = MENU_GO + FILE_DIALOG_FOLDERS,
              MENU_SET = MENU_CLEAR + FILE_DIALOG_FOLDERS;
constexpr int UNTITLED_NAME = 4; // eDefaultPaths

// What the hook works on during one call of the chooser.
struct HookData {
    const ChooserFilters *filters;
    FileDialogState *state;
    const FileTypeSelection *selection;
    FileDialogState *favourites; // the options record whose folders the menu shows
    const char *extension;       // default extension of the kind the chooser opened with
    bool folderTaken;
    char folder[ZVI_PATH_SIZE];  // the folder taken in folder mode
};

// The file name control: the edit of the older Explorer dialogs, or the
// combo box that newer ones (and Wine) have instead.
int NameControl(HWND common) { return GetDlgItem(common, ID_NAME_EDIT) ? ID_NAME_EDIT : ID_NAME_COMBO; }

// The kind of the filter the common dialog shows now.
int SelectedKind(HWND common, const HookData &data)
{
    const int position = int(SendDlgItemMessageA(common, ID_TYPE_COMBO, CB_GETCURSEL, 0, 0));
    return position >= 0 && position < data.filters->count ? data.filters->kinds[position]
                                                           : data.selection->fallback;
}

// The folder the common dialog shows, with a trailing backslash.
void ShownFolder(HWND common, char (&folder)[ZVI_PATH_SIZE])
{
    folder[0] = '\0';
    SendMessageA(common, CDM_GETFOLDERPATH, sizeof folder, (LPARAM)folder);
    ConvertAppendBackslash(folder);
}

// Information about the file the name edit holds, in the folder shown.
void ShowFileInfo(HWND dialog, HWND common)
{
    char folder[ZVI_PATH_SIZE] = "", name[ZVI_PATH_SIZE] = "", path[ZVI_PATH_SIZE];
    SendMessageA(common, CDM_GETFOLDERPATH, sizeof folder, (LPARAM)folder);
    SendMessageA(common, CDM_GETSPEC, sizeof name, (LPARAM)name);
    if (!name[0])
        return;
    const size_t f = std::strlen(folder);
    const char *separator = f && folder[f - 1] != '\\' ? "\\" : "";
    if (std::snprintf(path, sizeof path, "%s%s%s", folder, separator, name) >= int(sizeof path))
        return; // does not fit: nothing to show
    Box15FileInfo(dialog, eCaptionTexts[CAPTION_FILE_INFO], path);
}

void TypeChanged(HWND common, HookData &data, int position)
{
    if (position < 0 || position >= data.filters->count)
        return;
    // The favourite folders follow the kind now chosen.
    data.favourites = Box15DefaultPathForType(data.filters->kinds[position], *data.selection);
    char name[ZVI_PATH_SIZE] = "", changed[ZVI_PATH_SIZE];
    SendMessageA(common, CDM_GETSPEC, sizeof name, (LPARAM)name);
    Box15NameForFilter(name, data.filters->extensions[position], changed, sizeof changed);
    if (std::strcmp(name, changed))
        SendMessageA(common, CDM_SETCONTROLTEXT, NameControl(common), (LPARAM)changed);
}

// The menu opens to the right of its button, centred on it; its commands
// come back to the hook as WM_COMMAND.
void ShowFavouritesMenu(HWND dialog, const HookData &data)
{
    HMENU menu = Box01MenuRecentPaths(dialog, data.favourites->folders, 0);
    if (!menu)
        return;
    RECT r;
    GetWindowRect(GetDlgItem(dialog, ID_FAVOURITES), &r);
    const int height = GetMenuItemCount(menu) * GetSystemMetrics(SM_CYMENU);
    g_PopupByRightButton = 1;
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, r.right - 1, (r.top + r.bottom - height) / 2, 0, dialog,
                   nullptr);
    DestroyMenu(menu);
}

// The common dialog changes into the folder as if it had been typed; the
// name typed before stays.
void GoToFavourite(HWND common, const HookData &data, int n)
{
    const char *folder = data.favourites->folders[n];
    if (!folder[0])
        return;
    char typed[ZVI_PATH_SIZE] = "";
    SendMessageA(common, CDM_GETSPEC, sizeof typed, (LPARAM)typed);
    SendMessageA(common, CDM_SETCONTROLTEXT, NameControl(common), (LPARAM)folder);
    SendMessageA(common, WM_COMMAND, IDOK, 0);
    SendMessageA(common, CDM_SETCONTROLTEXT, NameControl(common), (LPARAM)typed);
}

// Folder 0 is the purpose's default folder: setting it also makes the
// remembered path an untitled file there.
void SetFavourite(HWND common, HookData &data, int n)
{
    char folder[ZVI_PATH_SIZE];
    ShownFolder(common, folder);
    if (!folder[0])
        return;
    std::snprintf(data.favourites->folders[n], sizeof data.favourites->folders[n], "%s", folder);
    if (n == 0)
        std::snprintf(data.state->current, sizeof data.state->current, "%s%s%s", folder, eDefaultPaths[UNTITLED_NAME],
                      data.extension);
}

void FavouriteCommand(HWND common, HookData &data, int id)
{
    if (id < MENU_CLEAR)
        GoToFavourite(common, data, id - MENU_GO);
    else if (id < MENU_SET) {
        if (id > MENU_CLEAR) // the default folder stays
            data.favourites->folders[id - MENU_CLEAR][0] = '\0';
    } else
        SetFavourite(common, data, id - MENU_SET);
}

// Folder mode: the folder shown is the answer; the common dialog is
// cancelled and the caller counts that as success.
void TakeFolder(HWND common, HookData &data)
{
    ShownFolder(common, data.folder);
    data.folderTaken = true;
    PostMessageA(common, WM_COMMAND, IDCANCEL, 0);
}

// The common dialog of some systems (Wine among them) sends no CDN_HELP for
// its Help button: the hook takes the button itself and answers it as
// CDN_HELP would be answered.
LRESULT CALLBACK HelpButtonProc(HWND common, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto previous = reinterpret_cast<WNDPROC>(GetPropA(common, HELP_BUTTON_PROP));
    const auto *data = static_cast<const HookData *>(GetPropA(common, HOOK_DATA_PROP));
    if (message == WM_COMMAND && LOWORD(wParam) == ID_HELP_BUTTON && HIWORD(wParam) == BN_CLICKED && data) {
        Box15FileTypeHelp(common, SelectedKind(common, *data));
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemovePropA(common, HELP_BUTTON_PROP);
        RemovePropA(common, HOOK_DATA_PROP);
        SetWindowLongPtrA(common, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    return previous ? CallWindowProcA(previous, common, message, wParam, lParam)
                    : DefWindowProcA(common, message, wParam, lParam);
}

void WatchHelpButton(HWND common, HookData *data)
{
    if (GetPropA(common, HELP_BUTTON_PROP))
        return;
    SetPropA(common, HOOK_DATA_PROP, data);
    const LONG_PTR previous = GetWindowLongPtrA(common, GWLP_WNDPROC);
    SetPropA(common, HELP_BUTTON_PROP, reinterpret_cast<HANDLE>(previous));
    SetWindowLongPtrA(common, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HelpButtonProc));
}

// A control's rectangle in the client coordinates of the window given.
RECT RectIn(HWND control, HWND window)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&r), 2);
    return r;
}

void PlaceAt(HWND control, int x, int y, int width, int height)
{
    if (control)
        SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveDown(HWND control, HWND window, int by)
{
    if (!control)
        return;
    const RECT r = RectIn(control, window);
    PlaceAt(control, r.left, r.top + by, r.right - r.left, r.bottom - r.top);
}

} // namespace

// The chooser's buttons stand in a column beside the file list: OK (or, in
// folder mode, the folder button in its place), Cancel, the favourites,
// sections and information buttons and Help; the list grows by half its
// height and the name and type fields move down below it. The common dialog
// of this system spans its list over the whole width, so it widens by the
// column, whose buttons are as wide as their texts need. The chooser's own
// panel then covers the whole common dialog beneath its controls, so that
// its buttons can stand beside theirs.
void Box15FileGetNameLayout(HWND common, HWND panel)
{
    RECT u{0, 0, 16, 16}, p{0, 0, 352, 96};
    MapDialogRect(panel, &u);
    MapDialogRect(panel, &p);
    auto eighths = [](LONG value, int n) { return int((value * n + 4) / 8); };
    HWND list = GetDlgItem(common, ID_FILE_LIST);
    HWND view = FindWindowExA(common, nullptr, "SHELLDLL_DefView", nullptr);
    const RECT listRect = RectIn(view ? view : list, common);
    const int listHeight = listRect.bottom - listRect.top, half = (listHeight + 1) / 2;
    // As wide as the widest of the panel's buttons needs under this system's font.
    int buttonWidth = eighths(p.right, 1);
    for (int id : {ID_FAVOURITES, ID_INFO, ID_SECTIONS, ID_TAKE_FOLDER}) {
        const RECT r = RectIn(GetDlgItem(panel, id), panel);
        buttonWidth = std::max(buttonWidth, int(r.right - r.left));
    }
    const int buttonHeight = eighths(p.bottom, 1);
    const int columnX = listRect.right + eighths(u.right, 2);

    // Where the panel's controls are now, before the panel moves.
    const int panelIds[] = {ID_FOLDER, ID_SECTIONS_LABEL, ID_FAVOURITES, ID_INFO, ID_SECTIONS, ID_TAKE_FOLDER};
    RECT panelRects[sizeof panelIds / sizeof panelIds[0]];
    for (size_t i = 0; i < sizeof panelIds / sizeof panelIds[0]; ++i)
        panelRects[i] = RectIn(GetDlgItem(panel, panelIds[i]), common);

    HWND readOnly = GetDlgItem(common, ID_READ_ONLY);
    const RECT readOnlyRect = RectIn(readOnly, common);
    RECT outer{};
    GetWindowRect(common, &outer);
    RECT client{};
    GetClientRect(common, &client);
    // The panel's row of buttons is gone into the column: the dialog grows
    // only as far as the folder line, moved down with the fields, needs.
    const int grow = panelRects[0].bottom + half + eighths(u.bottom, 2) - int(client.bottom);
    const int widen = std::max(0, columnX + buttonWidth + eighths(u.right, 4) - int(client.right));
    SetWindowPos(common, nullptr, 0, 0, outer.right - outer.left + widen, outer.bottom - outer.top + std::max(grow, 0),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(common, &client);
    SetWindowPos(panel, HWND_BOTTOM, 0, 0, client.right, client.bottom, SWP_NOACTIVATE);
    for (size_t i = 0; i < sizeof panelIds / sizeof panelIds[0]; ++i) {
        const RECT &r = panelRects[i];
        PlaceAt(GetDlgItem(panel, panelIds[i]), r.left, r.top + half, r.right - r.left, r.bottom - r.top);
    }
    // The label named the sections button in the row; the button's own text
    // says it in the column.
    Box01DialogShowItem(panel, ID_SECTIONS_LABEL, 0);

    // The column.
    const int step = eighths(p.bottom + 2 * u.bottom, 1), doubleStep = eighths(p.bottom, 2);
    int y = listRect.top;
    PlaceAt(GetDlgItem(common, IDOK), columnX, y, buttonWidth, buttonHeight);
    PlaceAt(GetDlgItem(panel, ID_TAKE_FOLDER), columnX, y, buttonWidth, buttonHeight);
    PlaceAt(GetDlgItem(common, IDCANCEL), columnX, y += step, buttonWidth, buttonHeight);
    PlaceAt(GetDlgItem(panel, ID_FAVOURITES), columnX, y += doubleStep, buttonWidth, buttonHeight);
    PlaceAt(GetDlgItem(panel, ID_SECTIONS), columnX, y += step, buttonWidth, buttonHeight);
    PlaceAt(GetDlgItem(panel, ID_INFO), columnX, y += step, buttonWidth, buttonHeight);
    PlaceAt(GetDlgItem(common, ID_HELP_BUTTON), columnX, y + doubleStep, buttonWidth, buttonHeight);

    // The fields below the list.
    for (int id : {ID_TYPE_COMBO, ID_TYPE_LABEL, ID_NAME_EDIT, ID_NAME_COMBO, ID_NAME_LABEL})
        MoveDown(GetDlgItem(common, id), common, half);
    HWND name = GetDlgItem(common, ID_NAME_COMBO) ? GetDlgItem(common, ID_NAME_COMBO) : GetDlgItem(common, ID_NAME_EDIT);
    if (readOnly && name) {
        const RECT n = RectIn(name, common);
        PlaceAt(readOnly, n.right + eighths(u.right, 4), n.top, readOnlyRect.right - readOnlyRect.left,
                readOnlyRect.bottom - readOnlyRect.top);
    }
    const int listWidth = listRect.right - listRect.left;
    PlaceAt(list, listRect.left, listRect.top, listWidth, listHeight + half);
    PlaceAt(view, listRect.left, listRect.top, listWidth, listHeight + half);
    InvalidateRect(common, nullptr, TRUE);
    InvalidateRect(panel, nullptr, TRUE);
    UpdateWindow(common);
    UpdateWindow(panel);
}

namespace {

void InitHook(HWND dialog, const HookData &data)
{
    const bool folders = data.selection->mode == CHOOSER_FOLDER;
    const bool sections = data.selection->sectionsKind >= 0 && !folders;
    EnableWindow(GetDlgItem(dialog, ID_SECTIONS), sections);
    EnableWindow(GetDlgItem(dialog, ID_SECTIONS_LABEL), sections);
    EnableWindow(GetDlgItem(dialog, ID_INFO), !folders);
    EnableWindow(GetDlgItem(dialog, ID_FAVOURITES), !folders);
    Box01DialogShowItem(dialog, ID_TAKE_FOLDER, folders);
}

UINT_PTR CALLBACK Box15FileGetNameHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        HookData *data = (HookData *)((OPENFILENAMEA *)lParam)->lCustData;
        SetWindowLongPtrA(dialog, GWLP_USERDATA, (LONG_PTR)data);
        InitHook(dialog, *data);
        return 0;
    }
    HookData *data = (HookData *)GetWindowLongPtrA(dialog, GWLP_USERDATA);
    if (!data)
        return 0;
    HWND common = GetParent(dialog);
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        const int id = LOWORD(wParam);
        if (id == ID_INFO)
            ShowFileInfo(dialog, common);
        else if (id == ID_SECTIONS) {
            if (!Box15FileGetNameSettings(dialog, SelectedKind(common, *data), *data->selection, data->state))
                Box15FileGetNameSettings(dialog, data->selection->sectionsKind, *data->selection, data->state);
        } else if (id == ID_FAVOURITES)
            ShowFavouritesMenu(dialog, *data);
        else if (id >= MENU_GO && id < MENU_SET + FILE_DIALOG_FOLDERS)
            FavouriteCommand(common, *data, id);
        else if (id == ID_TAKE_FOLDER && data->selection->mode == CHOOSER_FOLDER)
            TakeFolder(common, *data);
        return 0;
    }
    if (message == WM_HELP) {
        // F1 and the caption's help: as the Help button.
        PostMessageA(common, WM_COMMAND, MAKEWPARAM(ID_HELP_BUTTON, BN_CLICKED),
                     (LPARAM)GetDlgItem(common, ID_HELP_BUTTON));
        return TRUE;
    }
    if (message != WM_NOTIFY)
        return 0;
    const OFNOTIFYA *n = (const OFNOTIFYA *)lParam;
    if (n->hdr.code == CDN_TYPECHANGE)
        TypeChanged(common, *data, int(n->lpOFN->nFilterIndex) - 1);
    else if (n->hdr.code == CDN_HELP)
        Box15FileTypeHelp(dialog, SelectedKind(common, *data));
    else if (n->hdr.code == CDN_FOLDERCHANGE || n->hdr.code == CDN_INITDONE) {
        if (n->hdr.code == CDN_INITDONE) {
            SetWindowLongA(common, GWL_EXSTYLE, GetWindowLongA(common, GWL_EXSTYLE) & ~WS_EX_CONTEXTHELP);
            WatchHelpButton(common, data);
        }
        if (n->hdr.code == CDN_INITDONE && data->selection->mode == CHOOSER_FOLDER)
            Box01DialogShowItem(common, IDOK, 0);
        if (n->hdr.code == CDN_INITDONE)
            Box15FileGetNameLayout(common, dialog);
        char folder[ZVI_PATH_SIZE] = "";
        SendMessageA(common, CDM_GETFOLDERPATH, sizeof folder, (LPARAM)folder);
        SetDlgItemTextA(dialog, ID_FOLDER, folder);
    }
    return 0;
}

} // namespace

int Box15FileGetName(HWND owner, const char *caption, FileDialogState *state, const FileTypeSelection &selection)
{
    if (!Offered(int(state->type), selection))
        state->type = uint32_t(selection.fallback);
    if (g_Box15ChooserHook)
        return g_Box15ChooserHook(caption, state, selection);

    ChooserFilters filters;
    Box15BuildFilters(selection, &filters);
    const int position = PositionOfKind(filters, int(state->type));
    const char *ext = position >= 0 ? filters.extensions[position] : "";

    char folder[ZVI_PATH_SIZE] = "", name[ZVI_PATH_SIZE] = "", file[ZVI_PATH_SIZE] = "";
    if (state->current[0])
        ZVI_FileSplitName(state->current, folder, name);
    if (!folder[0])
        std::snprintf(folder, sizeof folder, "%s", Box15DefaultPathForType(int(state->type), selection)->folders[0]);
    Box15NameForFilter(name, ext, file, sizeof file);
    if (file[0] == '*')
        file[0] = '\0';

    HookData data{&filters, state, &selection, Box15DefaultPathForType(int(state->type), selection), ext, false, ""};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    const ModalOwner modal(owner);
    ofn.hwndOwner = modal.owner;
    ofn.lpstrFilter = filters.text;
    ofn.nFilterIndex = position >= 0 ? DWORD(position + 1) : DWORD(filters.count);
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = folder[0] ? folder : nullptr;
    ofn.lpstrTitle = caption;
    ofn.lpstrDefExt = ext[0] && ext[0] != '*' ? ext : nullptr;
    ofn.lCustData = (LPARAM)&data;
    ofn.lpfnHook = Box15FileGetNameHook;
    ofn.hInstance = (HINSTANCE)g_LanguageModule;
    ofn.lpTemplateName = "FILEGETNAME";
    ofn.Flags = OFN_LONGNAMES | OFN_EXPLORER | OFN_NONETWORKBUTTON | OFN_PATHMUSTEXIST | OFN_ENABLEHOOK |
                OFN_ENABLETEMPLATE | OFN_SHOWHELP | OFN_HIDEREADONLY;
    const uint32_t depth = g_ModalDepth;
    ++g_ModalDepth;
    BOOL ok;
    if (selection.mode == CHOOSER_SAVE) {
        ofn.Flags |= OFN_OVERWRITEPROMPT;
        ok = GetSaveFileNameA(&ofn);
    } else if (selection.mode == CHOOSER_FOLDER) {
        ok = GetOpenFileNameA(&ofn);
        if (!ok && data.folderTaken) {
            std::snprintf(file, sizeof file, "%s", data.folder);
            ok = TRUE;
        }
    } else {
        ofn.Flags |= OFN_FILEMUSTEXIST;
        ok = GetOpenFileNameA(&ofn);
    }
    g_ModalDepth = depth;
    if (!ok) {
        const DWORD error = CommDlgExtendedError();
        if (error) {
            char text[256];
            std::snprintf(text, sizeof text, eAlertTextOK[89], int(error));
            AlertOk(owner, text);
        }
        return 0;
    }
    state->type = uint32_t(Box15TypeFromFilterIndex(int(ofn.nFilterIndex) - 1, selection));
    std::snprintf(state->current, sizeof state->current, "%s", file);
    return 1;
}

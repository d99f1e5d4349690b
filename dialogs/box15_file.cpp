// The file chooser: the common file dialog with the program's filter list,
// remembered kinds and folders.
#include "dialogs/box15.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include "app/init_dialogs.h"
#include "dialogs/alert.h"
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

namespace {

struct HookData {
    const ChooserFilters *filters;
};

UINT_PTR CALLBACK Box15FileGetNameHook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, GWLP_USERDATA, ((OPENFILENAMEA *)lParam)->lCustData);
        return 0;
    }
    if (message != WM_NOTIFY)
        return 0;
    const OFNOTIFYA *n = (const OFNOTIFYA *)lParam;
    const HookData *data = (const HookData *)GetWindowLongPtrA(dialog, GWLP_USERDATA);
    if (n->hdr.code != CDN_TYPECHANGE || !data)
        return 0;
    const int position = int(n->lpOFN->nFilterIndex) - 1;
    if (position < 0 || position >= data->filters->count)
        return 0;
    HWND common = GetParent(dialog);
    char name[ZVI_PATH_SIZE] = "", changed[ZVI_PATH_SIZE];
    SendMessageA(common, CDM_GETSPEC, sizeof name, (LPARAM)name);
    Box15NameForFilter(name, data->filters->extensions[position], changed, sizeof changed);
    if (std::strcmp(name, changed))
        SendMessageA(common, CDM_SETCONTROLTEXT, 1152 /* the name edit */, (LPARAM)changed);
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

    HookData data{&filters};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filters.text;
    ofn.nFilterIndex = position >= 0 ? DWORD(position + 1) : DWORD(filters.count);
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = folder[0] ? folder : nullptr;
    ofn.lpstrTitle = caption;
    ofn.lpstrDefExt = ext[0] && ext[0] != '*' ? ext : nullptr;
    ofn.lCustData = (LPARAM)&data;
    ofn.lpfnHook = Box15FileGetNameHook;
    ofn.Flags = OFN_LONGNAMES | OFN_EXPLORER | OFN_NONETWORKBUTTON | OFN_PATHMUSTEXIST | OFN_ENABLEHOOK |
                OFN_HIDEREADONLY;
    const uint32_t depth = g_ModalDepth;
    ++g_ModalDepth;
    BOOL ok;
    if (selection.mode == CHOOSER_SAVE) {
        ofn.Flags |= OFN_OVERWRITEPROMPT;
        ok = GetSaveFileNameA(&ofn);
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

// The file information dialogs: what a file is (FILEINFO*), and the
// descriptive record of a drawing or library, edited or only shown.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/system.h"
#include "database/symbol_library.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box15.h"
#include "files/file.h"
#include "files/image_file.h"
#include "files/zvi.h"
#include "language/language.h"

namespace {

constexpr int CAPTION_SIZE = 256;
constexpr int TEXT_SIZE = 300;
constexpr int INFO_HELP = 15085, EDIT_HELP = 15018, VIEW_HELP = 15021;
constexpr int ID_NAME = 350, ID_SIZE = 351, ID_FIRST_FIELD = 352, ID_COMMENT = 358;
constexpr int ID_TITLE = 200, ID_DESCRIPTION = 201, ID_LAST_AUTHOR = 202, ID_EDIT_COMMENT = 203;
constexpr int ID_AUTHOR = 351, ID_CREATED = 352, ID_SAVED = 353;
constexpr int TEXT_BYTES = 24, TEXT_ONE_NUMBER = 69, TEXT_BITS_COLORS = 70; // eUniTexts
constexpr int MSG_EMPTY_TITLE = 48, MSG_BAD_TITLE = 12, MSG_TITLE_CHANGED = 49; // eAlertTextOK
constexpr int MSG_TITLE_TAKEN = 43;                                          // eAlertTextSM
constexpr int COMMENT_READ = 250;
constexpr int MAX_COLOR_POWER = 24;

void SetInfoFields(HWND dialog, const DrawingInfo &info, int firstId, int commentId)
{
    const char *fields[] = {info.title, info.description, info.author, info.created, info.lastAuthor, info.saved};
    for (int i = 0; i < 6; ++i)
        SetDlgItemTextA(dialog, firstId + i, fields[i]);
    SetDlgItemTextA(dialog, commentId, info.comment);
}

// ---------------------------------------------------------------------------
// FILEINFO*

struct InfoDialog {
    DialogHeader header;
    char caption[CAPTION_SIZE];
    char name[ZVI_PATH_SIZE];
    char size[TEXT_SIZE];
    char date[TEXT_SIZE];
    char time[TEXT_SIZE];
    int kind; // 0 any, 1 drawing, 2 bitmap
    DrawingInfo info;
    ImageDibInfo bitmap;
};

void SetNumber(HWND dialog, int id, const char *format, int a, int b = 0)
{
    char text[TEXT_SIZE];
    std::snprintf(text, sizeof text, format, a, b);
    SetDlgItemTextA(dialog, id, text);
}

INT_PTR CALLBACK InfoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *d = reinterpret_cast<InfoDialog *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, d->caption);
        SetDlgItemTextA(dialog, ID_NAME, d->name);
        SetDlgItemTextA(dialog, ID_SIZE, d->size);
        if (d->kind == 1) {
            SetInfoFields(dialog, d->info, ID_FIRST_FIELD, ID_COMMENT);
            return TRUE;
        }
        SetDlgItemTextA(dialog, ID_FIRST_FIELD, d->date);
        SetDlgItemTextA(dialog, ID_FIRST_FIELD + 1, d->time);
        if (d->kind == 2) {
            const int rows = d->bitmap.height < 0 ? -d->bitmap.height : d->bitmap.height;
            const int power = d->bitmap.bitCount > MAX_COLOR_POWER ? MAX_COLOR_POWER : d->bitmap.bitCount;
            SetNumber(dialog, 354, eUniTexts[TEXT_ONE_NUMBER], d->bitmap.width);
            SetNumber(dialog, 355, eUniTexts[TEXT_ONE_NUMBER], rows);
            SetNumber(dialog, 356, eUniTexts[TEXT_BITS_COLORS], d->bitmap.bitCount, 1 << power);
        }
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        Box01DialogEnd(dialog, LOWORD(wParam) == IDOK ? DIALOG_OK : DIALOG_CANCELLED);
        return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, INFO_HELP);
}

// ---------------------------------------------------------------------------
// FILEEDITDETAILS

struct EditDialog {
    DialogHeader header;
    char caption[CAPTION_SIZE];
    char name[ZVI_PATH_SIZE];
    DrawingInfo info;
    int slot;
    uint32_t titleChanged;
};

void FocusTitle(HWND dialog) { Box01DialogFocusEdit(dialog, ID_TITLE); }

// The title of a library: not empty, not starting with a blank or a
// character up to '*', asked about when the library is loaded, not the
// title of another open library.
bool TitleAccepted(HWND dialog, EditDialog &d, const char *title)
{
    if (d.slot == BOX15_DRAWING_SLOT)
        return true;
    if (!title[0]) {
        AlertOk(dialog, eAlertTextOK[MSG_EMPTY_TITLE]);
        return false;
    }
    if (static_cast<unsigned char>(title[0]) <= '*') {
        AlertOk(dialog, eAlertTextOK[MSG_BAD_TITLE]);
        return false;
    }
    const bool loaded = d.slot >= 0 && d.slot < g_LibrarySlots.count;
    if (loaded && std::strcmp(title, d.info.title) != 0) {
        if (AlertButtons62(dialog, eAlertTextOK[MSG_TITLE_CHANGED]) == ALERT_CANCEL) {
            SetDlgItemTextA(dialog, ID_TITLE, d.info.title);
            return false;
        }
        d.titleChanged = 1;
    }
    for (int i = 0; i < g_LibrarySlots.count && i < SYMBOL_LIBRARY_SLOTS; ++i)
        if (i != d.slot && std::strcmp(g_LibrarySlots.slots[i].info.title, title) == 0) {
            char text[TEXT_SIZE];
            std::snprintf(text, sizeof text, eAlertTextSM[MSG_TITLE_TAKEN], title);
            AlertOk(dialog, text);
            return false;
        }
    return true;
}

INT_PTR CALLBACK EditProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *d = reinterpret_cast<EditDialog *>(Box01DialogInit(dialog, lParam));
        const DrawingInfo &i = d->info;
        SetWindowTextA(dialog, d->caption);
        SetDlgItemTextA(dialog, ID_NAME, d->name);
        for (int id : {ID_TITLE, ID_DESCRIPTION, ID_LAST_AUTHOR})
            SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, DRAWING_INFO_FIELD - 1, 0);
        SendDlgItemMessageA(dialog, ID_EDIT_COMMENT, EM_LIMITTEXT, COMMENT_READ, 0);
        SetDlgItemTextA(dialog, ID_TITLE, i.title);
        SetDlgItemTextA(dialog, ID_DESCRIPTION, i.description);
        SetDlgItemTextA(dialog, ID_AUTHOR, i.author);
        SetDlgItemTextA(dialog, ID_CREATED, i.created);
        SetDlgItemTextA(dialog, ID_LAST_AUTHOR, i.lastAuthor);
        SetDlgItemTextA(dialog, ID_SAVED, i.saved);
        SetDlgItemTextA(dialog, ID_EDIT_COMMENT, i.comment);
        FocusTitle(dialog);
        return FALSE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        EditDialog &d = *Box01DialogRecordOf<EditDialog>(dialog);
        char title[DRAWING_INFO_FIELD];
        GetDlgItemTextA(dialog, ID_TITLE, title, sizeof title);
        if (!TitleAccepted(dialog, d, title)) {
            FocusTitle(dialog);
            return TRUE;
        }
        std::memcpy(d.info.title, title, sizeof title);
        GetDlgItemTextA(dialog, ID_DESCRIPTION, d.info.description, DRAWING_INFO_FIELD);
        GetDlgItemTextA(dialog, ID_LAST_AUTHOR, d.info.lastAuthor, DRAWING_INFO_FIELD);
        GetDlgItemTextA(dialog, ID_EDIT_COMMENT, d.info.comment, COMMENT_READ + 1);
        Box01DialogEnd(dialog, DIALOG_OK);
        return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, EDIT_HELP);
}

// ---------------------------------------------------------------------------
// FILEVIEWDETAILS

struct ViewDialog {
    DialogHeader header;
    char caption[CAPTION_SIZE];
    char name[ZVI_PATH_SIZE];
    DrawingInfo info;
};

INT_PTR CALLBACK ViewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *d = reinterpret_cast<ViewDialog *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, d->caption);
        SetDlgItemTextA(dialog, ID_NAME, d->name);
        SetInfoFields(dialog, d->info, ID_FIRST_FIELD, ID_COMMENT);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        Box01DialogEnd(dialog, DIALOG_OK);
        return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, VIEW_HELP);
}

template <typename Record>
void Caption(Record &d, const char *caption)
{
    std::snprintf(d.caption, sizeof d.caption, "%s", caption ? caption : "");
}

} // namespace

int Box15FileInfo(HWND owner, const char *caption, const char *path)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!path || !ZVI_FileOpen(&file, path)) {
        AlertFileError(owner, path ? path : "", 0);
        return 0;
    }
    const uint32_t size = ZVI_FileSize(file);
    if (size == 0xFFFFFFFFu) {
        ZVI_FileClose(file);
        AlertFileError(owner, path, 3);
        return 0;
    }
    InfoDialog d{};
    Caption(d, caption);
    FILETIME written{}, local{};
    SYSTEMTIME when{};
    GetFileTime(file, nullptr, nullptr, &written);
    ZVI_FileClose(file);
    FileTimeToLocalFileTime(&written, &local);
    FileTimeToSystemTime(&local, &when);
    const int format = g_Options.dateTimeFormat >= 0 && g_Options.dateTimeFormat <= 4 ? g_Options.dateTimeFormat : 0;
    ConvertDateTimeToString(&when, eDateOnlyFormats[format], d.date);
    ConvertDateTimeToString(&when, eTimeOnlyFormats[format], d.time);
    std::snprintf(d.size, sizeof d.size, "%ld %s", long(size), eUniTexts[TEXT_BYTES]);
    ZVI_FileSplitName(path, nullptr, d.name);
    const char *name = "FILEINFOANY";
    if (ImageReadFileInfo(path, &d.bitmap)) {
        d.kind = 2;
        name = "FILEINFOBMP";
    } else if (FileReadDrawingInfo(path, &d.info)) {
        d.kind = 1;
        name = "FILEINFOZVD";
    }
    return Box01DialogRun(owner, name, InfoProc, &d.header) == -1 ? 0 : 1;
}

int Box15FileEditDetails(HWND owner, const char *caption, const char *fileName, DrawingInfo *info, int slot,
                         uint32_t *titleChanged)
{
    if (!info)
        return 0;
    EditDialog d{};
    Caption(d, caption);
    std::snprintf(d.name, sizeof d.name, "%s", fileName ? fileName : "");
    d.info = *info;
    d.slot = slot;
    if (Box01DialogRun(owner, "FILEEDITDETAILS", EditProc, &d.header) == -1 || d.header.result != DIALOG_OK)
        return 0;
    *info = d.info;
    if (titleChanged)
        *titleChanged = d.titleChanged;
    return 1;
}

int Box15FileViewDetails(HWND owner, const char *caption, const char *fileName, DrawingInfo *info)
{
    if (!info)
        return 0;
    ViewDialog d{};
    Caption(d, caption);
    std::snprintf(d.name, sizeof d.name, "%s", fileName ? fileName : "");
    d.info = *info;
    return Box01DialogRun(owner, "FILEVIEWDETAILS", ViewProc, &d.header) == -1 ? 0 : 1;
}

// COMMENTLAYOUT and COMMENTDATA.
#include "dialogs/box09_comment.h"

#include <cstdio>
#include <cstring>
#include <vector>


#include "app/convert.h"
#include "app/init_dialogs.h"
#include "app/init_gdi.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box04_color.h"
#include "files/file_records.h"
#include "language/language.h"

CommentLayout Box09CommentLayoutOf(const DrawingSettings &s)
{
    CommentLayout l{};
    std::memcpy(l.colors, s.commentColor, sizeof s.commentColor);
    std::memcpy(l.colors + 4, s.commentColorMore, sizeof s.commentColorMore);
    l.boxWidth = s.commentSize[0];
    l.markerSize = s.commentSize[1];
    l.boxLines = s.commentSize[2];
    return l;
}

void Box09StoreCommentLayout(const CommentLayout &l, DrawingSettings *s)
{
    std::memcpy(s->commentColor, l.colors, sizeof s->commentColor);
    std::memcpy(s->commentColorMore, l.colors + 4, sizeof s->commentColorMore);
    s->commentSize[0] = l.boxWidth;
    s->commentSize[1] = l.markerSize;
    s->commentSize[2] = l.boxLines;
}

void Box09InsertDateTime(char *out, int size)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[256];
    ConvertDateTimeByOption(&now, date);
    std::snprintf(out, size_t(size), eUniTexts[106], g_Options.authorName, date);
}

namespace {

constexpr int CAPTION_SIZE = 256;
constexpr int FIELD_SIZE = 32;

// ---------------------------------------------------------------------------
// COMMENTLAYOUT

constexpr int LAYOUT_HELP = 15017;
constexpr int ID_COLOR_FIRST = 10000;
constexpr int ID_BOX_WIDTH = 200, ID_BOX_LINES = 201, ID_MARKER = 202;
constexpr int MSG_OUT_OF_RANGE = 8; // eAlertTextOK
constexpr int CAPTION_COMMENT_COLOUR = 12;

struct LayoutDialog {
    DialogHeader header;
    char caption[CAPTION_SIZE];
    CommentLayout layout;
};

CommentLayout &Layout(HWND dialog) { return Box01DialogRecordOf<LayoutDialog>(dialog)->layout; }

void SetInt(HWND dialog, int id, int value)
{
    char text[FIELD_SIZE];
    ConvertIntToString(text, value);
    SetDlgItemTextA(dialog, id, text);
}

int HalfScreen()
{
    const int width = g_ScreenWidth > 0 ? g_ScreenWidth : GetSystemMetrics(SM_CXSCREEN);
    return width / 2;
}

// Each field is stored as soon as it passes.
int ValidateLayout(HWND dialog)
{
    CommentLayout &l = Layout(dialog);
    const char *range = eAlertTextOK[MSG_OUT_OF_RANGE];
    return AlertCheckInputIntField(dialog, ID_BOX_WIDTH, 1, HalfScreen(), range, &l.boxWidth) &&
           AlertCheckInputIntField(dialog, ID_BOX_LINES, 1, COMMENT_LINES_MAX, range, &l.boxLines) &&
           AlertCheckInputIntField(dialog, ID_MARKER, 1, COMMENT_MARKER_MAX, range, &l.markerSize);
}

INT_PTR CALLBACK LayoutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *d = reinterpret_cast<LayoutDialog *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, d->caption);
        SetInt(dialog, ID_BOX_WIDTH, d->layout.boxWidth);
        SetInt(dialog, ID_BOX_LINES, d->layout.boxLines);
        SetInt(dialog, ID_MARKER, d->layout.markerSize);
        Box01DialogFocusEdit(dialog, ID_BOX_WIDTH);
        return FALSE;
    }
    if (message == WM_DRAWITEM) {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        const int i = int(item->CtlID) - ID_COLOR_FIRST;
        if (i < 0 || i >= COMMENT_COLORS)
            return FALSE;
        Box01DialogCustomButtonColor(item, InitStandardColor(Layout(dialog).colors[i]), 1);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        if (id >= ID_COLOR_FIRST && id < ID_COLOR_FIRST + COMMENT_COLORS) {
            if (Box04ChooseStdColor(dialog, eCaptionTexts[CAPTION_COMMENT_COLOUR],
                                    &Layout(dialog).colors[id - ID_COLOR_FIRST]))
                Box01DialogRedrawItem(dialog, id);
            return TRUE;
        }
        if (id == IDOK) {
            if (ValidateLayout(dialog))
                Box01DialogEnd(dialog, DIALOG_OK);
            return TRUE;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, LAYOUT_HELP);
}

// ---------------------------------------------------------------------------
// COMMENTDATA

constexpr int DATA_HELP = 207;
constexpr int ID_TITLE = 200, ID_TEXT = 201, ID_CATEGORY = 180, ID_STATUS = 181, ID_SIGNATURE = 550;
constexpr int TEXT_CATEGORY_FIRST = 100, TEXT_STATUS_FIRST = 103, CHOICES = 3; // eUniTexts
constexpr int MSG_SELECT = 3;                                                  // eAlertTextOK
constexpr int MULTILINE_SIZE = COMMENT_TEXT_MAX + 1;

struct DataDialog {
    DialogHeader header;
    char caption[CAPTION_SIZE];
    CommentDataRecord data;
    char text[MULTILINE_SIZE]; // multi-line form
    int isNew;
};

DataDialog &Data(HWND dialog) { return *Box01DialogRecordOf<DataDialog>(dialog); }

void CaretToEnd(HWND dialog)
{
    const LRESULT length = SendDlgItemMessageA(dialog, ID_TEXT, WM_GETTEXTLENGTH, 0, 0);
    SendDlgItemMessageA(dialog, ID_TEXT, EM_SETSEL, WPARAM(length), LPARAM(length));
}

void FillChoices(HWND dialog, int id, int first, int32_t current)
{
    for (int i = 0; i < CHOICES; ++i)
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(eUniTexts[first + i]));
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, WPARAM(current >= 0 && current < CHOICES ? current : 0), 0);
}

void InitData(HWND dialog, LPARAM lParam)
{
    auto *d = reinterpret_cast<DataDialog *>(Box01DialogInit(dialog, lParam));
    SetWindowTextA(dialog, d->caption);
    SendDlgItemMessageA(dialog, ID_TITLE, EM_LIMITTEXT, COMMENT_NAME_SIZE - 1, 0);
    SendDlgItemMessageA(dialog, ID_TEXT, EM_LIMITTEXT, COMMENT_TEXT_MAX - 1, 0);
    SetDlgItemTextA(dialog, ID_TITLE, d->data.name);
    SetDlgItemTextA(dialog, ID_TEXT, d->text);
    FillChoices(dialog, ID_CATEGORY, TEXT_CATEGORY_FIRST, d->data.values[0]);
    FillChoices(dialog, ID_STATUS, TEXT_STATUS_FIRST, d->data.values[1]);
    if (d->isNew) {
        EnableWindow(GetDlgItem(dialog, ID_STATUS), FALSE);
        Box01DialogFocusEdit(dialog, ID_TITLE);
    } else {
        SetFocus(GetDlgItem(dialog, ID_TEXT));
        CaretToEnd(dialog);
    }
}

// A line break and the signature, when the text stays below its limit.
void AppendSignature(HWND dialog)
{
    char signature[256];
    Box09InsertDateTime(signature, sizeof signature);
    std::vector<char> text(MULTILINE_SIZE, 0);
    GetDlgItemTextA(dialog, ID_TEXT, text.data(), MULTILINE_SIZE);
    const size_t length = std::strlen(text.data()), added = 2 + std::strlen(signature);
    if (length + added < size_t(COMMENT_TEXT_MAX)) {
        std::snprintf(text.data() + length, MULTILINE_SIZE - length, "\r\n%s", signature);
        SetDlgItemTextA(dialog, ID_TEXT, text.data());
    }
    SetFocus(GetDlgItem(dialog, ID_TEXT));
    CaretToEnd(dialog);
}

void Choose(HWND dialog, int id, int32_t *value)
{
    const LRESULT row = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    if (row < 0)
        AlertOk(dialog, eAlertTextOK[MSG_SELECT]);
    else
        *value = int32_t(row);
}

INT_PTR CALLBACK DataProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        InitData(dialog, lParam);
        return FALSE;
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        DataDialog &d = Data(dialog);
        if (id == ID_TEXT && code == EN_SETFOCUS) {
            CaretToEnd(dialog);
            return TRUE;
        }
        if ((id == ID_CATEGORY || id == ID_STATUS) && code == CBN_SELCHANGE) {
            Choose(dialog, id, &d.data.values[id == ID_CATEGORY ? 0 : 1]);
            return TRUE;
        }
        if (id == ID_SIGNATURE) {
            AppendSignature(dialog);
            return TRUE;
        }
        if (id == IDOK) {
            GetDlgItemTextA(dialog, ID_TITLE, d.data.name, COMMENT_NAME_SIZE);
            GetDlgItemTextA(dialog, ID_TEXT, d.text, COMMENT_TEXT_MAX);
            Box01DialogEnd(dialog, DIALOG_OK);
            return TRUE;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, DATA_HELP);
}

} // namespace

int Box09CommentLayout(HWND owner, const char *caption, CommentLayout *layout)
{
    if (!layout)
        return 0;
    LayoutDialog d = {};
    std::snprintf(d.caption, sizeof d.caption, "%s", caption ? caption : "");
    d.layout = *layout;
    if (!Box01DialogEdit(owner, "COMMENTLAYOUT", LayoutProc, d))
        return 0;
    *layout = d.layout;
    return 1;
}

int Box09CommentData(HWND owner, const char *caption, CommentDataRecord *data, char *text, int isNew)
{
    if (!data || !text)
        return 0;
    DataDialog d{};
    std::snprintf(d.caption, sizeof d.caption, "%s", caption ? caption : "");
    d.data = *data;
    d.isNew = isNew;
    if (isNew)
        Box09InsertDateTime(d.text, MULTILINE_SIZE);
    else
        Box01TextToMultiline(d.text, text, MULTILINE_SIZE);
    if (Box01DialogRun(owner, "COMMENTDATA", DataProc, &d.header) == -1 || d.header.result != DIALOG_OK)
        return 0;
    *data = d.data;
    Box01MultilineToText(text, d.text, COMMENT_TEXT_MAX);
    return 1;
}

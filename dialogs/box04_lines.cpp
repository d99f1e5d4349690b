// The line-type definitions editor (EDITLINEDEF) and the dash pattern dialog
// (LINEPAT).
#include "dialogs/box04_lines.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/convert.h"
#include "app/system_changes.h"
#include "app/system_defs.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "dialogs/box02.h"
#include "display/output_paint.h"
#include "language/language.h"

namespace {

constexpr int ID_LIST = 170, ID_PREVIEW = 700, ID_COUNT = 350, ID_LENGTH = 200, ID_KIND_FIRST = 300;
constexpr int ID_NEW = 14, ID_RENAME = 15, ID_DELETE = 13, ID_PATTERN = 20;
constexpr int ID_ADD = 18, ID_INSERT = 9, ID_CHANGE = 19;
constexpr int MAX_ROWS = 2 * LINE_MAX_PAIRS;
constexpr int LENGTH_MIN = 25, LENGTH_MAX = 10000;
constexpr int FIELD_TEXT_SIZE = 251;
constexpr int NO_ENTRY = -1;
constexpr int MSG_SELECT_FIRST = 3, MSG_NOT_INTEGER = 7, MSG_RANGE = 8, MSG_FULL = 15, MSG_TOO_MANY = 18,
              MSG_ODD = 19, MSG_DELETE = 52, MSG_LIST = 121;        // eAlertTextOK
constexpr int CAPTION_PATTERN = 0, CAPTION_NEW = 51, CAPTION_RENAME = 52;              // eCaptionTexts
constexpr int TEXT_HALF = 12;                                                           // eUniTexts

// --- The dash pattern ------------------------------------------------------------------

struct PatternRecord {
    DialogHeader header;
    char caption[256];
    LineDef work;
};

PatternRecord *Pattern(HWND dialog)
{
    return Box01DialogRecordOf<PatternRecord>(dialog);
}

int Rows(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, ID_LIST, LB_GETCOUNT, 0, 0));
}

int SelectedRow(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, ID_LIST, LB_GETCURSEL, 0, 0));
}

void PaintPatternPreview(HWND dialog)
{
    OutputDrawLineDefPreview(GetDlgItem(dialog, ID_PREVIEW), &Pattern(dialog)->work);
}

// The rows back into the copy: lengths, and pairs = rows / 2.
void ReadRows(HWND dialog)
{
    LineDef &line = Pattern(dialog)->work;
    const int n = Rows(dialog);
    for (int row = 0; row < n && row < MAX_ROWS; ++row) {
        char text[32] = "";
        SendDlgItemMessageA(dialog, ID_LIST, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
        line.lengths[row] = atoi(text);
    }
    line.pairs = n >= 0 && n <= MAX_ROWS ? n / 2 : 0;
}

void ShowCount(HWND dialog)
{
    const int n = Rows(dialog);
    char text[64];
    snprintf(text, sizeof text, "%d%s", n / 2, n % 2 ? eUniTexts[TEXT_HALF] : "");
    SetDlgItemTextA(dialog, ID_COUNT, text);
}

// Reads field 200 as a length: 1 with *value set, 0 after the message.
int ReadLength(HWND dialog, int *value)
{
    char text[FIELD_TEXT_SIZE] = "";
    GetDlgItemTextA(dialog, ID_LENGTH, text, FIELD_TEXT_SIZE);
    const int v = ConvertStringToInt(text);
    if (v == CONVERT_NO_INT) {
        AlertOk(dialog, eAlertTextOK[MSG_NOT_INTEGER]);
        return 0;
    }
    if (v < LENGTH_MIN || v > LENGTH_MAX) {
        AlertOk(dialog, eAlertTextOK[MSG_RANGE]);
        return 0;
    }
    *value = v;
    return 1;
}

// After add, insert and delete: counter, lengths and preview follow the rows.
void RowsChanged(HWND dialog)
{
    ShowCount(dialog);
    ReadRows(dialog);
    PaintPatternPreview(dialog);
}

void PatternCommand(HWND dialog, int id)
{
    HWND list = GetDlgItem(dialog, ID_LIST);
    const int n = Rows(dialog);
    const int selected = SelectedRow(dialog);
    char text[32];
    int value = 0;
    switch (id) {
    case ID_ADD:
    case ID_INSERT:
        if (!ReadLength(dialog, &value))
            break;
        if (n < 0 || n >= MAX_ROWS) {
            AlertOk(dialog, eAlertTextOK[MSG_TOO_MANY]);
            break;
        }
        if (id == ID_INSERT && selected == LB_ERR) {
            AlertOk(dialog, eAlertTextOK[MSG_SELECT_FIRST]);
            break;
        }
        snprintf(text, sizeof text, "%d", value);
        SendMessageA(list, LB_SETCURSEL,
                     SendMessageA(list, LB_INSERTSTRING, id == ID_ADD ? WPARAM(-1) : WPARAM(selected),
                                  reinterpret_cast<LPARAM>(text)),
                     0);
        RowsChanged(dialog);
        break;
    case ID_CHANGE:
        if (!ReadLength(dialog, &value))
            break;
        if (selected == LB_ERR) {
            AlertOk(dialog, eAlertTextOK[MSG_SELECT_FIRST]);
            break;
        }
        snprintf(text, sizeof text, "%d", value);
        SendMessageA(list, LB_DELETESTRING, selected, 0);
        SendMessageA(list, LB_INSERTSTRING, selected, reinterpret_cast<LPARAM>(text));
        SendMessageA(list, LB_SETCURSEL, selected, 0);
        if (selected < MAX_ROWS)
            Pattern(dialog)->work.lengths[selected] = value;
        PaintPatternPreview(dialog);
        break;
    case ID_DELETE:
        if (selected == LB_ERR) {
            AlertOk(dialog, eAlertTextOK[MSG_SELECT_FIRST]);
            break;
        }
        if (n < 0 || n > MAX_ROWS) {
            AlertOk(dialog, eAlertTextOK[MSG_LIST]);
            break;
        }
        Box01ListDeleteSelection(dialog, ID_LIST);
        RowsChanged(dialog);
        break;
    default:
        return;
    }
    Box01DialogFocusEdit(dialog, ID_LENGTH);
}

INT_PTR CALLBACK PatternProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<PatternRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        const int rows = r->work.pairs >= 0 && r->work.pairs <= LINE_MAX_PAIRS ? 2 * r->work.pairs : 0;
        for (int i = 0; i < rows; ++i) {
            char text[32];
            snprintf(text, sizeof text, "%d", r->work.lengths[i]);
            SendDlgItemMessageA(dialog, ID_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        }
        ShowCount(dialog);
        CheckRadioButton(dialog, ID_KIND_FIRST, ID_KIND_FIRST + 1, ID_KIND_FIRST + (r->work.kind ? 1 : 0));
        if (rows > 0) {
            SetDlgItemInt(dialog, ID_LENGTH, static_cast<UINT>(r->work.lengths[0]), TRUE);
            SendDlgItemMessageA(dialog, ID_LIST, LB_SETCURSEL, 0, 0);
        }
        Box01DialogFocusEdit(dialog, ID_LENGTH);
        return 0;
    }
    PatternRecord *r = Pattern(dialog);
    if (!r)
        return 0;
    switch (message) {
    case WM_PAINT:
        PostMessageA(dialog, WM_APP, 0, 0);
        return 0;
    case WM_APP:
        PaintPatternPreview(dialog);
        return 1;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == ID_LIST && HIWORD(wParam) == LBN_SELCHANGE) {
            char text[32] = "";
            const int row = SelectedRow(dialog);
            if (row != LB_ERR)
                SendDlgItemMessageA(dialog, ID_LIST, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
            SetDlgItemTextA(dialog, ID_LENGTH, text);
            return 1;
        }
        if (id == ID_KIND_FIRST || id == ID_KIND_FIRST + 1) {
            r->work.kind = id - ID_KIND_FIRST;
            CheckRadioButton(dialog, ID_KIND_FIRST, ID_KIND_FIRST + 1, id);
            PaintPatternPreview(dialog);
            return 1;
        }
        if (id == ID_ADD || id == ID_INSERT || id == ID_CHANGE || id == ID_DELETE) {
            PatternCommand(dialog, id);
            return 1;
        }
        if (id == IDOK) {
            const int n = Rows(dialog);
            if (n < 0 || n > MAX_ROWS) {
                AlertOk(dialog, eAlertTextOK[MSG_LIST]);
                return 1;
            }
            if (n % 2) {
                AlertOk(dialog, eAlertTextOK[MSG_ODD]);
                return 1;
            }
            ReadRows(dialog);
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        }
        break;
    }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, BOX04_LINE_PATTERN_HELP);
}

// --- The list of line types -----------------------------------------------------------

struct LinesRecord {
    DialogHeader header;
    char caption[256];
    int32_t preselect;
    std::vector<LineDef> *copy;
};

std::vector<LineDef> &Lines(HWND dialog)
{
    return *Box01DialogRecordOf<LinesRecord>(dialog)->copy;
}

int FindName(const std::vector<LineDef> &table, const char *name)
{
    for (int i = 0; i < LINE_SLOTS; ++i)
        if (table[i].name[0] && strcmp(table[i].name, name) == 0)
            return i;
    return NO_ENTRY;
}

int SelectedLine(HWND dialog)
{
    char text[DEF_NAME_SHORT * 2] = "";
    if (!Box01ListRowName(dialog, ID_LIST, SelectedRow(dialog), text, sizeof text))
        return NO_ENTRY;
    return FindName(Lines(dialog), text);
}

void SelectionShown(HWND dialog)
{
    const int line = SelectedLine(dialog);
    const bool editable = line > 0;
    for (int id : {ID_PATTERN, ID_RENAME, ID_DELETE})
        EnableWindow(GetDlgItem(dialog, id), editable);
    InvalidateRect(GetDlgItem(dialog, ID_PREVIEW), nullptr, TRUE);
    PostMessageA(dialog, WM_APP, 0, 0);
}

void FillLines(HWND dialog, int select)
{
    HWND list = GetDlgItem(dialog, ID_LIST);
    const std::vector<LineDef> &table = Lines(dialog);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const LineDef &l : table)
        if (l.name[0])
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(l.name));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    int row = -1;
    if (select >= 0 && select < LINE_SLOTS && table[select].name[0])
        row = Box01ListFindExact(dialog, ID_LIST, table[select].name);
    SendMessageA(list, LB_SETCURSEL, row < 0 ? 0 : row, 0);
    SelectionShown(dialog);
}

// The selected line type, or NO_ENTRY (after the message when none is
// selected); slot 0 only when allowed.
int NeedLine(HWND dialog, bool standardAllowed)
{
    const int line = Box01NeedEntry(dialog, SelectedLine(dialog));
    return line == 0 && !standardAllowed ? NO_ENTRY : line;
}

void LinesCommand(HWND dialog, int id)
{
    std::vector<LineDef> &table = Lines(dialog);
    char name[DEF_NAME_SHORT];
    switch (id) {
    case ID_NEW: {
        const int model = NeedLine(dialog, true);
        if (model == NO_ENTRY)
            return;
        strcpy(name, model == 0 ? "" : table[model].name);
        if (!Box01AskFreeName(dialog, eCaptionTexts[CAPTION_NEW], name, DEF_NAME_SHORT,
                              [&table](const char *n) { return FindName(table, n); }, NO_ENTRY))
            return;
        for (int i = 1; i < LINE_SLOTS; ++i)
            if (!table[i].name[0]) {
                table[i] = table[model];
                strcpy(table[i].name, name);
                FillLines(dialog, i);
                return;
            }
        AlertOk(dialog, eAlertTextOK[MSG_FULL]);
        return;
    }
    case ID_RENAME: {
        const int line = NeedLine(dialog, false);
        if (line == NO_ENTRY)
            return;
        strcpy(name, table[line].name);
        if (!Box01AskFreeName(dialog, eCaptionTexts[CAPTION_RENAME], name, DEF_NAME_SHORT,
                              [&table](const char *n) { return FindName(table, n); }, line))
            return;
        strcpy(table[line].name, name);
        FillLines(dialog, line);
        return;
    }
    case ID_DELETE: {
        const int line = NeedLine(dialog, false);
        if (line == NO_ENTRY || Box01AskName(dialog, MSG_DELETE, table[line].name) != ALERT_YES)
            return;
        table[line].name[0] = 0;
        Box01ListDeleteSelection(dialog, ID_LIST);
        SelectionShown(dialog);
        return;
    }
    case ID_PATTERN: {
        const int line = NeedLine(dialog, false);
        if (line == NO_ENTRY)
            return;
        Box04EditLinePattern(dialog, eCaptionTexts[CAPTION_PATTERN], &table[line]);
        SelectionShown(dialog);
        return;
    }
    default:
        return;
    }
}

INT_PTR CALLBACK LinesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<LinesRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        FillLines(dialog, r->preselect);
        SetFocus(GetDlgItem(dialog, ID_LIST));
        return 0;
    }
    if (!Box01DialogRecord(dialog))
        return 0;
    switch (message) {
    case WM_PAINT:
        PostMessageA(dialog, WM_APP, 0, 0);
        return 0;
    case WM_APP: {
        const int line = SelectedLine(dialog);
        if (line != NO_ENTRY)
            OutputDrawLineDefPreview(GetDlgItem(dialog, ID_PREVIEW), &Lines(dialog)[line]);
        return 1;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == ID_LIST) {
            if (HIWORD(wParam) == LBN_SELCHANGE)
                SelectionShown(dialog);
            else if (HIWORD(wParam) == LBN_DBLCLK)
                LinesCommand(dialog, ID_PATTERN);
            return 1;
        }
        if (id == ID_NEW || id == ID_RENAME || id == ID_DELETE || id == ID_PATTERN) {
            LinesCommand(dialog, id);
            return 1;
        }
        if (id == IDOK) {
            Box01DialogEnd(dialog, DIALOG_OK);
            return 1;
        }
        break;
    }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, BOX04_LINE_DEFS_HELP);
}

} // namespace

int Box04EditLinePattern(HWND owner, const char *caption, LineDef *line)
{
    return Box01EditValue<PatternRecord>(owner, "LINEPAT", PatternProc, caption, line);
}

int Box04EditLineDefs(HWND owner, const char *caption, LineDef *table, int32_t preselect)
{
    std::vector<LineDef> copy(table, table + LINE_SLOTS);
    LinesRecord record = {};
    lstrcpynA(record.caption, caption ? caption : "", sizeof record.caption);
    record.preselect = preselect;
    record.copy = &copy;
    if (!Box01DialogEdit(owner, "EDITLINEDEF", LinesProc, record))
        return 0;
    for (int i = 0; i < LINE_SLOTS; ++i) {
        const bool changed = memcmp(&table[i], &copy[i], sizeof(LineDef)) != 0;
        g_DefChangeFlags.line[i] = changed ? 1 : 0;
        if (changed) {
            table[i] = copy[i];
            g_DefChangeFlags.lines = 1;
        }
    }
    return 1;
}

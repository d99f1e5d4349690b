// The message box and its wrappers.
//
// The box is the template "ALERTBOX" of the language module: a text area
// (700) painted here, a picture at each side of it (500, 501) and up to three
// push buttons (551 to 553). It sizes itself to its text and returns the code
// of the pressed button.
#include "dialogs/alert.h"
#include "database/symbol_library.h"
#include "files/file_drawinginfo.h"
#include "files/zvi.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "app/init_dialogs.h"
#include "dialogs/box01.h"
#include "language/language.h"

AlertAnswerHook g_AlertAnswerHook = nullptr;

namespace {

constexpr const char *ALERT_TEMPLATE = "ALERTBOX";
constexpr int ALERT_LABEL_SIZE = 516;     // one button label, NUL included
constexpr int ALERT_MESSAGE_SIZE = 516;   // a formatted message, NUL included
constexpr size_t ALERT_LINE_PIECE = 1023; // longest piece of a line measured at once
constexpr int ALERT_SCREEN_MARGIN = 20;   // the box stays this much smaller than the screen
constexpr int ALERT_HELP_CONTEXT = 15079;
constexpr int ALERT_CAPTION_ENTRY = 35;   // eCaptionTexts
constexpr int ALERT_CANCEL_LABEL_ENTRY = ALERT_CANCEL - 1;

constexpr int ID_PICTURE_LEFT = 500;
constexpr int ID_PICTURE_RIGHT = 501;
constexpr int ID_TEXT = 700;
constexpr int ID_BUTTON1 = 551;
constexpr int ID_BUTTON2 = 552;
constexpr int ID_BUTTON3 = 553;

struct AlertRecord {
    HWND previousFocus;
    uint32_t code1, code2, code3;
    uint32_t defaultIndex;
    uint32_t result;
    char label1[ALERT_LABEL_SIZE];
    char label2[ALERT_LABEL_SIZE];
    char label3[ALERT_LABEL_SIZE];
    const char *text;
};

void CopyLabel(char (&out)[ALERT_LABEL_SIZE], const char *label)
{
    snprintf(out, sizeof out, "%s", label ? label : "");
}

// The label of a button code; code 0 has none.
const char *ButtonLabel(uint32_t code)
{
    return code == 0 ? "" : eButtonText[code - 1];
}

HFONT BoxFont(HWND box)
{
    return hDialogFont ? hDialogFont : reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0));
}

SIZE MeasureText(HDC dc, std::string_view text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

struct TextExtent {
    int width;      // widest line
    int lineHeight; // tallest line
    int lines;
};

// Measures the text line by line; a very long line in pieces.
TextExtent MeasureLines(HDC dc, const char *text)
{
    TextExtent extent = {0, 0, 0};
    std::string_view rest(text ? text : "");
    for (;;) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        ++extent.lines;
        do {
            const std::string_view piece = line.substr(0, ALERT_LINE_PIECE);
            const SIZE size = MeasureText(dc, piece);
            extent.width = std::max<int>(extent.width, size.cx);
            extent.lineHeight = std::max<int>(extent.lineHeight, size.cy);
            line.remove_prefix(piece.size());
        } while (!line.empty());
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    return extent;
}

SIZE ItemSize(HWND box, int id)
{
    RECT r = {0, 0, 0, 0};
    GetWindowRect(GetDlgItem(box, id), &r);
    return {r.right - r.left, r.bottom - r.top};
}

void PlaceItem(HWND box, int id, int x, int y, int width, int height)
{
    MoveWindow(GetDlgItem(box, id), x, y, width, height, FALSE);
}

void HideButton(HWND box, int id)
{
    HWND item = GetDlgItem(box, id);
    ShowWindow(item, SW_HIDE);
    EnableWindow(item, FALSE);
}

// Sizes the box to its text and lays out text, pictures and buttons.
void LayOut(HWND box, const AlertRecord &record)
{
    HDC dc = GetDC(box);
    HGDIOBJ oldFont = SelectObject(dc, BoxFont(box));
    const TextExtent text = MeasureLines(dc, record.text);
    const int labelWidth = static_cast<int>(std::max({MeasureText(dc, record.label1).cx,
                                                      MeasureText(dc, record.label2).cx,
                                                      MeasureText(dc, record.label3).cx}));
    const int labelMargin = static_cast<int>(MeasureText(dc, "WW").cx);
    SelectObject(dc, oldFont);
    ReleaseDC(box, dc);

    int textWidth = text.width;
    int textHeight = text.lines * text.lineHeight + text.lineHeight / 4;

    RECT units = {0, 0, 2, 2};
    MapDialogRect(box, &units);
    const int mx = static_cast<int>(units.right);
    const int my = static_cast<int>(units.bottom);

    const SIZE button = ItemSize(box, ID_BUTTON1);
    const int buttonWidth = std::max<int>(button.cx, labelWidth + labelMargin);
    const int buttonHeight = static_cast<int>(button.cy);
    const SIZE pictureSize = ItemSize(box, ID_PICTURE_LEFT);
    const int pictureWidth = pictureSize.cx;
    const int pictureHeight = pictureSize.cy;

    int clientWidth = std::max(textWidth + 2 * (pictureWidth + 3 * mx), 3 * (buttonWidth + 2 * mx));
    int clientHeight = std::max(textHeight + buttonHeight + 5 * my, pictureHeight + buttonHeight + 5 * my);

    // The frame around a client area of that size.
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, GetWindowLongA(box, GWL_STYLE), FALSE, GetWindowLongA(box, GWL_EXSTYLE));
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    int windowWidth = clientWidth + frameWidth;
    int windowHeight = clientHeight + frameHeight;

    const int screenWidth = g_ScreenWidth > 0 ? g_ScreenWidth : GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = g_ScreenHeight > 0 ? g_ScreenHeight : GetSystemMetrics(SM_CYSCREEN);
    if (windowWidth > screenWidth - ALERT_SCREEN_MARGIN) {
        windowWidth = screenWidth - ALERT_SCREEN_MARGIN;
        clientWidth = windowWidth - frameWidth;
        textWidth = clientWidth - 2 * (pictureWidth + 3 * mx);
    }
    if (windowHeight > screenHeight - ALERT_SCREEN_MARGIN) {
        windowHeight = screenHeight - ALERT_SCREEN_MARGIN;
        clientHeight = windowHeight - frameHeight;
        textHeight = clientHeight - buttonHeight - 5 * my;
    }

    RECT now;
    GetWindowRect(box, &now);
    MoveWindow(box, now.left, now.top, windowWidth, windowHeight, FALSE);

    PlaceItem(box, ID_TEXT, (clientWidth - textWidth) / 2, 2 * my, textWidth, textHeight);
    const int pictureY = std::max(2 * my, (clientHeight - 4 * my - buttonHeight - pictureHeight) / 2);
    PlaceItem(box, ID_PICTURE_LEFT, mx, pictureY, pictureWidth, pictureHeight);
    PlaceItem(box, ID_PICTURE_RIGHT, clientWidth - pictureWidth - mx, pictureY, pictureWidth, pictureHeight);

    const int buttonY = clientHeight - my - buttonHeight;
    const int gap = 2 * mx;
    const bool second = record.label2[0] != 0;
    const bool third = record.label3[0] != 0;
    if (second && third) {
        const int middle = (clientWidth - buttonWidth) / 2;
        PlaceItem(box, ID_BUTTON2, middle, buttonY, buttonWidth, buttonHeight);
        PlaceItem(box, ID_BUTTON1, middle - gap - buttonWidth, buttonY, buttonWidth, buttonHeight);
        PlaceItem(box, ID_BUTTON3, middle + buttonWidth + gap, buttonY, buttonWidth, buttonHeight);
    } else if (second) {
        const int left = clientWidth / 2 - mx - buttonWidth;
        PlaceItem(box, ID_BUTTON1, left, buttonY, buttonWidth, buttonHeight);
        PlaceItem(box, ID_BUTTON2, left + buttonWidth + gap, buttonY, buttonWidth, buttonHeight);
        HideButton(box, ID_BUTTON3);
    } else {
        PlaceItem(box, ID_BUTTON1, (clientWidth - buttonWidth) / 2, buttonY, buttonWidth, buttonHeight);
        HideButton(box, ID_BUTTON2);
        HideButton(box, ID_BUTTON3);
    }
}

void SetButtonStyle(HWND box, int id, bool isDefault)
{
    SendDlgItemMessageA(box, id, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

// Makes the chosen button the default one; returns the button to focus.
int ChooseDefault(HWND box, const AlertRecord &record)
{
    int chosen = 0;
    if (record.defaultIndex == 1)
        chosen = ID_BUTTON1;
    else if (record.defaultIndex == 2 && record.label2[0])
        chosen = ID_BUTTON2;
    else if (record.defaultIndex == 3 && record.label3[0])
        chosen = ID_BUTTON3;
    if (!chosen)
        return ID_BUTTON1;
    for (int id : {ID_BUTTON1, ID_BUTTON2, ID_BUTTON3})
        SetButtonStyle(box, id, id == chosen);
    SendMessageA(box, DM_SETDEFID, chosen, 0);
    return chosen;
}

void InitBox(HWND box, AlertRecord &record)
{
    SetWindowLongPtrA(box, DWLP_USER, reinterpret_cast<LONG_PTR>(&record));
    ++g_ModalDepth;
    LayOut(box, record);
    Box01DialogCenter(box);
    SetWindowTextA(box, eCaptionTexts[ALERT_CAPTION_ENTRY]);
    SetDlgItemTextA(box, ID_BUTTON1, record.label1);
    if (record.label2[0])
        SetDlgItemTextA(box, ID_BUTTON2, record.label2);
    if (record.label3[0])
        SetDlgItemTextA(box, ID_BUTTON3, record.label3);
    const int focus = ChooseDefault(box, record);
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    record.previousFocus = SetFocus(GetDlgItem(box, focus));
}

// Draws the text centred in its area, over the button face.
void PaintText(HWND box, const AlertRecord &record)
{
    HWND area = GetDlgItem(box, ID_TEXT);
    InvalidateRect(area, nullptr, FALSE);
    UpdateWindow(area);
    HDC dc = GetDC(area);
    RECT client;
    GetClientRect(area, &client);
    RECT filled = client;
    InflateRect(&filled, 1, 1);
    FillRect(dc, &filled, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ oldFont = SelectObject(dc, BoxFont(box));
    const UINT format = DT_CENTER | DT_NOPREFIX;
    RECT measured = client;
    DrawTextA(dc, record.text, -1, &measured, format | DT_CALCRECT);
    RECT target = client;
    const int textHeight = measured.bottom - measured.top;
    if (textHeight < client.bottom - client.top)
        target.top += (client.bottom - client.top - textHeight) / 2;
    DrawTextA(dc, record.text, -1, &target, format);
    SelectObject(dc, oldFont);
    ReleaseDC(area, dc);
}

void Close(HWND box, AlertRecord &record, uint32_t result)
{
    record.result = result;
    if (record.previousFocus && IsWindow(record.previousFocus))
        SetFocus(record.previousFocus);
    EndDialog(box, 1);
}

INT_PTR CALLBACK AlertBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        InitBox(box, *reinterpret_cast<AlertRecord *>(lParam));
        return 0;
    }
    auto *record = reinterpret_cast<AlertRecord *>(GetWindowLongPtrA(box, DWLP_USER));
    if (!record)
        return 0;
    switch (message) {
    case WM_PAINT:
        PaintText(box, *record);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ID_BUTTON1: Close(box, *record, record->code1); return 1;
        case ID_BUTTON2: Close(box, *record, record->code2); return 1;
        case ID_BUTTON3: Close(box, *record, record->code3); return 1;
        case IDCANCEL: {
            const bool hasCancel = record->code1 == ALERT_CANCEL || record->code2 == ALERT_CANCEL ||
                                   record->code3 == ALERT_CANCEL;
            const bool single = record->code2 == 0 && record->code3 == 0;
            if (hasCancel || single)
                Close(box, *record, ALERT_CANCEL);
            return 1;
        }
        default: return 0;
        }
    case WM_HELP:
        Box01DialogHelp(box, ALERT_HELP_CONTEXT);
        return 1;
    case WM_ENTERIDLE:
        return Box01DialogEnterIdle(box, wParam, lParam);
    default:
        return 0;
    }
}

uint32_t RunBox(HWND requested, AlertRecord &record)
{
    if (g_AlertAnswerHook)
        return g_AlertAnswerHook(record.text, record.code1, record.code2, record.code3);
    const ModalOwner modal(requested);
    const INT_PTR ended = DialogBoxParamA(g_LanguageModule, ALERT_TEMPLATE, modal.owner, AlertBoxProc,
                                          reinterpret_cast<LPARAM>(&record));
    if (ended == -1) {
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
        return 0;
    }
    if (g_ModalDepth > 0)
        --g_ModalDepth;
    return record.result;
}

} // namespace

uint32_t AlertBox(HWND owner, const char *text, uint32_t code1, uint32_t code2, uint32_t code3,
                  uint32_t defaultIndex)
{
    if (code1 == 0)
        code1 = ALERT_CANCEL;
    AlertRecord record = {};
    record.code1 = code1;
    record.code2 = code2;
    record.code3 = code3;
    record.defaultIndex = defaultIndex;
    CopyLabel(record.label1, ButtonLabel(code1));
    CopyLabel(record.label2, ButtonLabel(code2));
    CopyLabel(record.label3, ButtonLabel(code3));
    record.text = text ? text : "";
    return RunBox(owner, record);
}

uint32_t AlertBoxTexts(HWND owner, const char *text, uint32_t code1, uint32_t code2, uint32_t code3,
                       uint32_t defaultIndex, const char *label1, const char *label2, const char *label3)
{
    AlertRecord record = {};
    if (!label1) {
        code1 = ALERT_CANCEL;
        label1 = eButtonText[ALERT_CANCEL_LABEL_ENTRY];
    }
    record.code1 = code1;
    record.code2 = label2 ? code2 : 0;
    record.code3 = label3 ? code3 : 0;
    record.defaultIndex = defaultIndex;
    CopyLabel(record.label1, label1);
    CopyLabel(record.label2, label2);
    CopyLabel(record.label3, label3);
    record.text = text ? text : "";
    return RunBox(owner, record);
}

uint32_t AlertButton1(HWND owner, const char *text) { return AlertBox(owner, text, 1, 0, 0, 1); }
uint32_t AlertOk(HWND owner, const char *text) { return AlertBox(owner, text, 2, 0, 0, 1); }
uint32_t AlertButtons12(HWND owner, const char *text) { return AlertBox(owner, text, 1, 2, 0, 1); }
uint32_t AlertButton6(HWND owner, const char *text) { return AlertBox(owner, text, 6, 0, 0, 1); }
uint32_t AlertButtons62(HWND owner, const char *text) { return AlertBox(owner, text, 6, 2, 0, 1); }
uint32_t AlertYesNo(HWND owner, const char *text) { return AlertBox(owner, text, 3, 4, 0, 1); }
uint32_t AlertYesNoDefNo(HWND owner, const char *text) { return AlertBox(owner, text, 3, 4, 0, 2); }
uint32_t AlertYesNoCancel(HWND owner, const char *text) { return AlertBox(owner, text, 3, 4, 2, 1); }
uint32_t AlertYesNoCancelDefNo(HWND owner, const char *text) { return AlertBox(owner, text, 3, 4, 2, 2); }

uint32_t AlertSM2(HWND owner) { return AlertOk(owner, eAlertTextSM[2]); }
uint32_t AlertSM52(HWND owner) { return AlertOk(owner, eAlertTextSM[52]); }
uint32_t AlertSM5(HWND owner) { return AlertButton1(owner, eAlertTextSM[5]); }
uint32_t AlertSM60(HWND owner) { return AlertButton1(owner, eAlertTextSM[60]); }
uint32_t AlertSM6(HWND owner) { return AlertOk(owner, eAlertTextSM[6]); }
uint32_t AlertSM7(HWND owner) { return AlertButton1(owner, eAlertTextSM[7]); }
uint32_t AlertSM8(HWND owner) { return AlertButton1(owner, eAlertTextSM[8]); }
uint32_t AlertSM13(HWND owner) { return AlertButton1(owner, eAlertTextSM[13]); }
uint32_t AlertSM14(HWND owner) { return AlertButton1(owner, eAlertTextSM[14]); }
uint32_t AlertSM27(HWND owner) { return AlertOk(owner, eAlertTextSM[27]); }
uint32_t AlertNoDialog(HWND owner) { return AlertOk(owner, eAlertTextOK[46]); }
uint32_t AlertSM48(HWND owner) { return AlertOk(owner, eAlertTextSM[48]); }

namespace {

struct FileErrorBox {
    uint32_t entry; // eAlertErrorText
    uint32_t code1, code2;
    uint32_t defaultIndex;
};

// Message and buttons of each file-operation code below ALERT_FILE_SILENT.
constexpr FileErrorBox FILE_ERROR_BOXES[] = {
    {0, 2, 0, 1}, {0, 6, 0, 1}, {1, 6, 2, 1}, {2, 2, 0, 1},  {3, 2, 0, 1},   {4, 7, 2, 2},  {5, 2, 0, 1},
    {6, 3, 4, 2}, {7, 8, 2, 1}, {8, 2, 0, 1}, {9, 3, 4, 1},  {10, 2, 0, 1},  {11, 2, 0, 1},
};
constexpr uint32_t ALERT_FILE_SILENT = 13;
static_assert(std::size(FILE_ERROR_BOXES) == ALERT_FILE_SILENT);
constexpr uint32_t FILE_CODE_CANNOT_WRITE = 9; // the half-written file is removed

} // namespace

uint32_t AlertFileError(HWND owner, const char *fileName, uint32_t code)
{
    if (code >= ALERT_FILE_SILENT)
        return code;
    const FileErrorBox &box = FILE_ERROR_BOXES[code];
    if (code == FILE_CODE_CANNOT_WRITE && fileName)
        ZVI_FileDelete(fileName);
    char shortName[PATH_SIZE] = "";
    if (fileName)
        ZVI_FileShortName(fileName, shortName);
    char message[ALERT_MESSAGE_SIZE];
    snprintf(message, sizeof message, eAlertErrorText[box.entry], shortName);
    return AlertBox(owner, message, box.code1, box.code2, 0, box.defaultIndex);
}

namespace {

// A question with a title and the display form of a path.
uint32_t AskSaveTitlePath(HWND owner, int textEntry, const char *title, const char *path)
{
    char shortName[PATH_SIZE] = "";
    ZVI_FileShortName(path, shortName);
    char message[ALERT_MESSAGE_SIZE];
    snprintf(message, sizeof message, eAlertTextSM[textEntry], title[0] ? title : " ", shortName);
    return AlertYesNoCancel(owner, message);
}

} // namespace

uint32_t AlertSaveDrawing(HWND owner)
{
    constexpr int NEVER_SAVED_TEXT = 39; // eAlertTextSM: title only
    constexpr int SAVED_TEXT = 38;       // eAlertTextSM: title and path
    const CurrentDrawing &d = g_DrawingInfo;
    if (d.currentPath[0] != '*')
        return AskSaveTitlePath(owner, SAVED_TEXT, d.info.title, d.currentPath);
    char message[ALERT_MESSAGE_SIZE];
    snprintf(message, sizeof message, eAlertTextSM[NEVER_SAVED_TEXT], d.info.title[0] ? d.info.title : " ");
    return AlertYesNoCancel(owner, message);
}

uint32_t AlertSaveLibrary(HWND owner, int slot)
{
    constexpr int LIBRARY_TEXT = 40; // eAlertTextSM: title and path
    if (slot < 0 || slot >= SYMBOL_LIBRARY_SLOTS)
        return 0; // no such slot: no answer
    const LibrarySlot &library = g_LibrarySlots.slots[slot];
    return AskSaveTitlePath(owner, LIBRARY_TEXT, library.info.title, library.path);
}

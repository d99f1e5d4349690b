// The keyboard assignment dialog (KEYBOARD): one click on a key button puts
// the command on that key, or, in information mode, shows what the key does
// (KEYINFO).
#include <cstdio>

#include "app/convert.h"
#include "app/system.h"
#include "dialogs/box01.h"
#include "dialogs/box13.h"
#include "language/language.h"

namespace {

constexpr int ID_INFO = 250, ID_SHIFT = 251, ID_POPUP = 252;
constexpr int ID_PREFIX = 350, ID_TITLE = 351, ID_COMMAND = 352;
constexpr int ID_BACKSPACE = 400, ID_ENTER = 401;
constexpr int KEY_SET = KEYBOARD_KEYS / 2, KEY_BACKSPACE = 36, KEY_ENTER = 37, LETTERS = 10;
constexpr int UNI_BACKSPACE = 25, UNI_ENTER = 26, UNI_NONE = 28, UNI_COMMAND = 44, UNI_MENU = 45;
constexpr int CAPTION_KEY = 16; // eCaptionTexts
constexpr int HELP_KEYBOARD = 15046;
constexpr int TEXT_SIZE = 256;

struct KeyboardRecord {
    DialogHeader header;
    char caption[TEXT_SIZE];
    uint32_t information, shift, popup;
    int32_t command;
    int32_t keyIndex;
    char keyText[32];
};

KeyboardRecord *Record(HWND dialog) { return Box01DialogRecordOf<KeyboardRecord>(dialog); }

// The key index of a key button, without Shift; -1 for other controls.
int KeyOfButton(int id)
{
    if (id >= '0' && id <= '9')
        return id - '0';
    if (id >= 'A' && id <= 'Z')
        return id - 'A' + LETTERS;
    if (id == ID_BACKSPACE)
        return KEY_BACKSPACE;
    if (id == ID_ENTER)
        return KEY_ENTER;
    return -1;
}

// The key's name as KEYINFO shows it: "+" for the Shift keys, then the
// character or the name of Backspace or Enter.
void KeyText(char *out, size_t size, int index) { Box13KeyName(out, size, index, UNI_BACKSPACE, UNI_ENTER); }

void ShowTarget(HWND dialog)
{
    const KeyboardRecord *r = Record(dialog);
    char title[TEXT_SIZE] = "";
    const int id = r->popup ? ConvertFindCommandPopup(r->command) : r->command;
    ConvertGetCommandTitle(title, id);
    SetDlgItemTextA(dialog, ID_PREFIX, eUniTexts[r->popup ? UNI_MENU : UNI_COMMAND]);
    SetDlgItemTextA(dialog, ID_TITLE, title);
}

void KeyPressed(HWND dialog, int key)
{
    KeyboardRecord *r = Record(dialog);
    const int index = key + (r->shift ? KEY_SET : 0);
    if (r->information) {
        r->keyIndex = index;
        KeyText(r->keyText, sizeof r->keyText, index);
        Box13KeyInfo(dialog, eCaptionTexts[CAPTION_KEY], index);
        return;
    }
    const int id = r->popup ? ConvertFindCommandPopup(r->command) : r->command;
    if (!Box13AssignKey(dialog, index, id))
        return;
    Box01DialogEnd(dialog, DIALOG_OK);
}

INT_PTR CALLBACK KeyboardProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto *r = reinterpret_cast<KeyboardRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        Box01DialogCheck(dialog, ID_INFO, r->information);
        Box01DialogCheck(dialog, ID_SHIFT, r->shift);
        r->popup = 0;
        Box01DialogCheck(dialog, ID_POPUP, 0);
        EnableWindow(GetDlgItem(dialog, ID_POPUP), ConvertFindCommandPopup(r->command) >= 0);
        ShowTarget(dialog);
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        KeyboardRecord *r = Record(dialog);
        if (id == ID_INFO)
            r->information = !r->information;
        else if (id == ID_SHIFT)
            r->shift = !r->shift;
        else if (id == ID_POPUP) {
            r->popup = !r->popup;
            ShowTarget(dialog);
        } else if (KeyOfButton(id) >= 0)
            KeyPressed(dialog, KeyOfButton(id));
        else
            return Box01DialogDefault(dialog, message, wParam, lParam, HELP_KEYBOARD);
        return TRUE;
    }
    default: return Box01DialogDefault(dialog, message, wParam, lParam, HELP_KEYBOARD);
    }
}

struct KeyInfoRecord {
    DialogHeader header;
    char caption[TEXT_SIZE];
    int32_t keyIndex;
};

INT_PTR CALLBACK KeyInfoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<KeyInfoRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        char key[32], line[TEXT_SIZE], title[TEXT_SIZE] = "";
        KeyText(key, sizeof key, r->keyIndex);
        std::snprintf(line, sizeof line, "%s %s", eCaptionTexts[CAPTION_KEY], key);
        SetDlgItemTextA(dialog, ID_PREFIX, line);
        const int command = g_Options.keyboard[r->keyIndex];
        SetDlgItemTextA(dialog, ID_TITLE,
                        eUniTexts[ConvertFindCommandPopup(command) == CONVERT_POPUP_OPENER ? UNI_MENU : UNI_COMMAND]);
        if (command < 0)
            std::snprintf(title, sizeof title, "%s", eUniTexts[UNI_NONE]);
        else
            ConvertGetCommandTitle(title, command);
        SetDlgItemTextA(dialog, ID_COMMAND, title);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        Box01DialogEnd(dialog, DIALOG_OK);
        return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, HELP_KEYBOARD);
}

} // namespace

int Box13Keyboard(HWND parent, const char *caption, int commandId)
{
    KeyboardRecord record{};
    std::snprintf(record.caption, sizeof record.caption, "%s", caption ? caption : "");
    record.command = commandId;
    record.keyIndex = -1;
    return Box01DialogRun(parent, "KEYBOARD", KeyboardProc, &record.header) == -1 ? 0 : 1;
}

int Box13KeyInfo(HWND parent, const char *caption, int keyIndex)
{
    if (keyIndex < 0 || keyIndex >= KEYBOARD_KEYS)
        return 0;
    KeyInfoRecord record{};
    std::snprintf(record.caption, sizeof record.caption, "%s", caption ? caption : "");
    record.keyIndex = keyIndex;
    return Box01DialogRun(parent, "KEYINFO", KeyInfoProc, &record.header) == -1 ? 0 : 1;
}

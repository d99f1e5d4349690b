// The start screen.
#include "dialogs/box09.h"

#include <cstdio>

#include "app/init_help.h"
#include "app/system.h"
#include "commands/command.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box01_controls.h"
#include "language/language.h"

const char *const BOX09_TOUR_PROGRAM = "tour\\vudori.exe";
const char *const BOX09_TUTORIAL_FILE = "tutorial.hlp";
int (*g_Box09StartScreenSink)(HWND, const char *, uint32_t *, int *) = nullptr;

namespace {

constexpr int ID_SWITCH = 250, ID_MNEMONIC_FIRST = 500, MNEMONICS = 3;
constexpr int MNEMONIC_SPACING = 10, MNEMONIC_SIZE = 10, MNEMONIC_BELOW = 40;
constexpr int MSG_TOUR_MISSING = 126; // eAlertTextOK
constexpr int TEXT_START_CAPTION = 1;  // eStartUpText1
constexpr int TEXT_TOUR_FAILED = 96;   // eAlertTextSM
constexpr int COMMAND_HELP_CONTENTS = 1100;
constexpr int COMMAND_NEW = 100, COMMAND_OPEN = 101, COMMAND_RECENT_FIRST = 5540;
constexpr int ID_RECENT_LIST = 170;
const char *const NO_START_SCREEN = "DARAD4_NO_START_SCREEN";
const char *const ICONS[MNEMONICS] = {"IDI_TOUR", "IDI_TUTORIAL", "IDI_HELP"};

struct StartRecord {
    DialogHeader header;
    char caption[SYSTEM_PATH_SIZE];
    uint32_t showAtStart;
    int choice;
    int recent;
};

StartRecord *Record(HWND dialog)
{
    return Box01DialogRecordOf<StartRecord>(dialog);
}

bool ServerFileExists(const char *name)
{
    char path[SYSTEM_PATH_SIZE * 2];
    snprintf(path, sizeof path, "%s%s", g_PathServer, name);
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void End(HWND dialog, int choice)
{
    Record(dialog)->choice = choice;
    Box01DialogEnd(dialog, DIALOG_OK);
}

void Choose(HWND dialog, int id)
{
    const bool tutorial = ServerFileExists(BOX09_TUTORIAL_FILE);
    if ((id == BOX09_TOUR && (!tutorial || !ServerFileExists(BOX09_TOUR_PROGRAM))) ||
        (id == BOX09_TUTORIAL && !tutorial)) {
        AlertButton1(dialog, eAlertTextOK[MSG_TOUR_MISSING]);
        return;
    }
    End(dialog, id);
}

void FillRecent(HWND dialog)
{
    HWND list = GetDlgItem(dialog, ID_RECENT_LIST);
    for (int k = 0; k < g_ProfileLists.recentCount && k < RECENT_DRAWINGS; ++k)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(g_ProfileLists.recent[k]));
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    EnableWindow(GetDlgItem(dialog, BOX09_RECENT), g_ProfileLists.recentCount > 0);
}

void ChooseRecent(HWND dialog)
{
    const int k = static_cast<int>(SendDlgItemMessageA(dialog, ID_RECENT_LIST, LB_GETCURSEL, 0, 0));
    if (k < 0 || k >= g_ProfileLists.recentCount) {
        MessageBeep(0);
        return;
    }
    Record(dialog)->recent = k;
    End(dialog, BOX09_RECENT);
}

void HideMnemonics(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    for (int i = 0; i < MNEMONICS; ++i)
        MoveWindow(GetDlgItem(dialog, ID_MNEMONIC_FIRST + i), MNEMONIC_SPACING * i, client.bottom + MNEMONIC_BELOW,
                   MNEMONIC_SIZE, MNEMONIC_SIZE, FALSE);
}

INT_PTR CALLBACK StartProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto *r = reinterpret_cast<StartRecord *>(Box01DialogInit(dialog, lParam));
        SetWindowTextA(dialog, r->caption);
        HideMnemonics(dialog);
        FillRecent(dialog);
        CheckDlgButton(dialog, ID_SWITCH, r->showAtStart ? BST_CHECKED : BST_UNCHECKED);
        SetFocus(GetDlgItem(dialog, ID_SWITCH));
        return 0;
    }
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        const int index = static_cast<int>(item->CtlID) - BOX09_TOUR;
        if (index < 0 || index >= MNEMONICS)
            return 0;
        Box01DialogCustomButtonIcon(item, ICONS[index], GetFocus() == item->hwndItem);
        return 1;
    }
    case WM_HELP:
        Choose(dialog, BOX09_HELP);
        return 1;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= ID_MNEMONIC_FIRST && id < ID_MNEMONIC_FIRST + MNEMONICS) {
            const int target = BOX09_TOUR + id - ID_MNEMONIC_FIRST;
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(target, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, target)));
        } else if (id >= BOX09_TOUR && id <= BOX09_HELP) {
            Choose(dialog, id);
        } else if (id == BOX09_NEW || id == BOX09_OPEN) {
            End(dialog, id);
        } else if (id == BOX09_RECENT || (id == ID_RECENT_LIST && HIWORD(wParam) == LBN_DBLCLK)) {
            ChooseRecent(dialog);
        } else if (id == ID_SWITCH) {
            Record(dialog)->showAtStart = IsDlgButtonChecked(dialog, ID_SWITCH) == BST_CHECKED;
        } else if (id == IDOK || id == IDCANCEL) {
            End(dialog, BOX09_CLOSED);
        }
        return 1;
    }
    default:
        return 0;
    }
}

} // namespace

int Box09Startup(HWND owner, const char *caption, uint32_t *showAtStart, int *recent)
{
    StartRecord record = {};
    snprintf(record.caption, sizeof record.caption, "%s", caption ? caption : "");
    record.showAtStart = *showAtStart;
    record.choice = BOX09_CLOSED;
    record.recent = -1;
    if (Box01DialogRun(owner, "STARTUP", StartProc, &record.header) == -1)
        return 0;
    *showAtStart = record.showAtStart;
    if (recent)
        *recent = record.recent;
    return record.choice;
}

void Box09RunStartScreen(HWND mainWindow)
{
    if (GetEnvironmentVariableA(NO_START_SCREEN, nullptr, 0) > 0)
        return;
    int recent = -1;
    const char *caption = eStartUpText1[TEXT_START_CAPTION];
    const int choice = g_Box09StartScreenSink
                           ? g_Box09StartScreenSink(mainWindow, caption, &g_Options.startUpDisplay, &recent)
                           : Box09Startup(mainWindow, caption, &g_Options.startUpDisplay, &recent);
    char path[SYSTEM_PATH_SIZE * 2];
    if (choice == BOX09_NEW || choice == BOX09_OPEN) {
        // Posted: the start-up command that shows this screen is still running.
        PostMessageA(mainWindow, WM_COMMAND, choice == BOX09_NEW ? COMMAND_NEW : COMMAND_OPEN, 0);
    } else if (choice == BOX09_RECENT && recent >= 0) {
        PostMessageA(mainWindow, WM_COMMAND, WPARAM(COMMAND_RECENT_FIRST + recent), 0);
    } else if (choice == BOX09_TOUR) {
        snprintf(path, sizeof path, "%s%s", g_PathServer, BOX09_TOUR_PROGRAM);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, g_PathServer, &startup, &process)) {
            AlertOk(mainWindow, eAlertTextSM[TEXT_TOUR_FAILED]);
            return;
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else if (choice == BOX09_TUTORIAL) {
        snprintf(path, sizeof path, "%s%s", g_PathServer, BOX09_TUTORIAL_FILE);
        InitWinHelp(mainWindow, path, HELP_CONTENTS, 0);
    } else if (choice == BOX09_HELP) {
        CommandExecute(COMMAND_HELP_CONTENTS, 0);
    }
}

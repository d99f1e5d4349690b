// The modeless pen and layer tables: working copy, grouped list, commands,
// summary line, name filter and report. What differs between pens and layers
// comes from the window's TableKind.
#include "dialogs/box05_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/darad4.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/convert.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "dialogs/box15.h"
#include "files/zvi.h"
#include "language/language.h"

namespace {

// Controls.
constexpr int ID_LIST = 170, ID_SUMMARY = 350, ID_STATE_LABEL = 500, ID_LINK = 250, ID_STATE_FIRST = 251;
constexpr int ID_SET_A = 550, ID_SET_B = 551, ID_REPORT = 552, ID_LOAD_SAVE = 553, ID_FILTER = 554;
constexpr int ID_LAYER = 750;
constexpr int ID_APPLY = 12, ID_REVERT = 30, ID_TAKE = 28, ID_CLOSE = IDCANCEL, ID_NEW = 14, ID_RENAME = 15,
              ID_DELETE = 13, ID_COPY_TO_GROUP = 31;
constexpr int STATE_BITS = 5;
// Commands from the list's hit zones.
constexpr int CMD_RECORD_ICON = 501, CMD_GROUP_ICON = 511;
constexpr int CMD_RECORD_SAMPLE_A = 450, CMD_RECORD_SAMPLE_B = 451, CMD_GROUP_SAMPLE_A = 460, CMD_GROUP_SAMPLE_B = 461;
// The layer popup of the pen window.
constexpr int CMD_LAYER_FIRST = 12050, CMD_LAYER_NONE = 12551;
// The load/save popup.
constexpr int CMD_LOAD_FILE = 11500, CMD_SAVE_FILE = 11501;
constexpr int MENU_LOAD_FILE = 13, MENU_SAVE_FILE = 14; // eSpecialMenus
// Geometry of the rows (agrees with the row painter).
constexpr int ROW_MIN_HEIGHT = 15, STATE_ICON_HEIGHT = 13, ICON_ZONE_LEFT = 2, ICON_ZONE_RIGHT = 75,
              ICON_STEP = 15, SWALLOW_LEFT = 77;
constexpr int LAYOUT_MARGIN = 2; // dialog units
// Texts.
constexpr int TEXT_STATE_ONE = 107, TEXT_STATE_SEVERAL = 108, TEXT_COPY_SWITCH = 99, PROMPT_GROUP = 52,
              PROMPT_NAME = 54, TEXT_SELECT = 72, TEXT_DESELECT = 73;                 // eUniTexts
constexpr int BUTTON_SETS_LINKED = 15, BUTTON_SET_A = 16, BUTTON_COPY_A = 20, BUTTON_COPY_B = 21,
              BUTTON_VISIBLE_A = 22, BUTTON_VISIBLE = 23, BUTTON_CANCEL_LINK = 1;   // eButtonText
constexpr int MSG_SELECT_ONE = 108, MSG_NAME_USED = 25, MSG_NO_MATCH = 118, MSG_ONE_MATCH = 116,
              MSG_MATCHES = 117, MSG_LIST_ERROR = 121;                               // eAlertTextOK
constexpr int CAPTION_SETS = 2, CAPTION_SET_B = 3, CAPTION_SET_A = 4; // eCaptionTexts
constexpr int MESSAGE_SIZE = 600;
constexpr uint32_t ANSWER_COPY_A = 16, ANSWER_COPY_B = 17;
constexpr int REPORT_STATE_BITS = 5;
constexpr int TEXT_REPORT_STATE = 58, TEXT_REPORT_BIT = 61, TEXT_REPORT_ON = 66, TEXT_REPORT_NOT = 67; // eUniTexts
constexpr int TABLE_REPORT_CAPTION = 34;                      // eCaptionTexts
constexpr int TABLE_REPORT_PENS = 7, TABLE_REPORT_LAYERS = 6; // eDefaultPaths

const char *NameOf(const TableWindow *w, int i)
{
    return w->kind->name(w->work, i);
}

uint32_t &StateOf(TableWindow *w, int i)
{
    return *w->kind->state(w->work, i);
}

bool Named(const TableWindow *w, int i)
{
    return NameOf(w, i)[0] != 0;
}

char *RecordAt(void *table, const TableKind *kind, int i)
{
    return static_cast<char *>(table) + kind->recordSize * static_cast<size_t>(i);
}

// The record with exactly this name, or -1.
int FindRecord(const TableWindow *w, const char *name)
{
    for (int i = 0; i < TABLE_SLOTS; ++i)
        if (Named(w, i) && strcmp(NameOf(w, i), name) == 0)
            return i;
    return -1;
}

// The text of a row for sorting: a record's name or a group's path.
const char *RowText(const TableWindow *w, ULONG_PTR data)
{
    const int d = static_cast<int>(data);
    if (d >= TABLE_GROUP_BASE)
        return d - TABLE_GROUP_BASE < w->groupCount ? w->groups[d - TABLE_GROUP_BASE] : "";
    return d >= 0 && d < TABLE_SLOTS ? NameOf(w, d) : "";
}

int RowData(const TableWindow *w, int row)
{
    return static_cast<int>(SendMessageA(w->list, LB_GETITEMDATA, row, 0));
}

int RowCount(const TableWindow *w)
{
    return static_cast<int>(SendMessageA(w->list, LB_GETCOUNT, 0, 0));
}

int RowOfRecord(const TableWindow *w, int record)
{
    const int n = RowCount(w);
    for (int row = 0; row < n; ++row)
        if (RowData(w, row) == record)
            return row;
    return -1;
}

bool InGroup(const char *name, const char *group)
{
    return group[0] && strncmp(name, group, strlen(group)) == 0;
}

void SetModified(TableWindow *w, bool modified)
{
    w->modified = modified;
    EnableWindow(GetDlgItem(w->hwnd, ID_APPLY), modified);
    EnableWindow(GetDlgItem(w->hwnd, ID_REVERT), modified);
}

void ShowSummary(TableWindow *w, int count)
{
    char text[TABLE_SUMMARY_SIZE] = "";
    if (count == 1 && w->selectedData[0] < TABLE_SLOTS)
        w->kind->summary(w, w->selectedData[0], text, "\n");
    SetDlgItemTextA(w->hwnd, ID_SUMMARY, text);
}

void Enable(HWND window, std::initializer_list<int> ids, bool on)
{
    for (int id : ids)
        EnableWindow(GetDlgItem(window, id), on);
}

// The controls by the number of selected records and the first of them.
void SetControls(TableWindow *w, int count)
{
    HWND h = w->hwnd;
    const bool linked = w->link != 0;
    const int first = count > 0 ? w->selectedData[0] : -1;
    Box01DialogCheck(h, ID_LINK, w->link);
    SetDlgItemTextA(h, ID_STATE_FIRST, eButtonText[linked ? BUTTON_VISIBLE : BUTTON_VISIBLE_A]);
    ShowWindow(GetDlgItem(h, ID_STATE_FIRST + 1), linked ? SW_HIDE : SW_SHOW);
    SetDlgItemTextA(h, ID_SET_A, eButtonText[linked || first == 0 ? BUTTON_SETS_LINKED : BUTTON_SET_A]);
    SetDlgItemTextA(h, ID_STATE_LABEL, eUniTexts[count > 1 ? TEXT_STATE_SEVERAL : TEXT_STATE_ONE]);
    const std::initializer_list<int> states = {ID_STATE_FIRST, ID_STATE_FIRST + 1, ID_STATE_FIRST + 2,
                                               ID_STATE_FIRST + 3, ID_STATE_FIRST + 4};
    const bool layerButton = w->kind->hasLayerButton;
    if (count == 1) {
        const bool standard = first == 0;
        Enable(h, {ID_STATE_LABEL, ID_TAKE, ID_NEW}, true);
        Enable(h, states, !standard);
        for (int b = 0; b < STATE_BITS; ++b)
            CheckDlgButton(h, ID_STATE_FIRST + b, (StateOf(w, first) >> b) & 1 ? BST_CHECKED : BST_UNCHECKED);
        Enable(h, {ID_COPY_TO_GROUP, ID_RENAME, ID_DELETE}, !standard);
        EnableWindow(GetDlgItem(h, ID_LAYER), layerButton && !standard);
        EnableWindow(GetDlgItem(h, ID_SET_A), true);
        EnableWindow(GetDlgItem(h, ID_SET_B), !standard);
        ShowWindow(GetDlgItem(h, ID_SET_B), !standard && !linked ? SW_SHOW : SW_HIDE);
    } else if (count > 1) {
        Enable(h, {ID_STATE_LABEL}, true);
        Enable(h, states, true);
        for (int b = 0; b < STATE_BITS; ++b)
            CheckDlgButton(h, ID_STATE_FIRST + b, BST_INDETERMINATE);
        Enable(h, {ID_TAKE, ID_NEW, ID_RENAME}, false);
        Enable(h, {ID_COPY_TO_GROUP, ID_DELETE, ID_SET_A, ID_SET_B}, true);
        EnableWindow(GetDlgItem(h, ID_LAYER), layerButton);
        ShowWindow(GetDlgItem(h, ID_SET_B), linked ? SW_HIDE : SW_SHOW);
    } else {
        Enable(h, states, false);
        Enable(h, {ID_STATE_LABEL, ID_SET_A, ID_SET_B, ID_LAYER, ID_TAKE, ID_NEW, ID_COPY_TO_GROUP, ID_RENAME,
                   ID_DELETE},
               false);
    }
    if (!layerButton)
        ShowWindow(GetDlgItem(h, ID_LAYER), SW_HIDE);
}

// Reads the selection, then the controls and summary follow it.
void SelectionChanged(TableWindow *w)
{
    const int count = Box05TableGetSelection(w);
    SetControls(w, count);
    ShowSummary(w, count);
}

// A selected group row stands for its members: the record rows that follow
// it while their names begin with its path.
void ApplyGroupRule(TableWindow *w)
{
    const int n = RowCount(w);
    if (n == LB_ERR)
        return;
    int caret = -1;
    for (int row = 0; row < n; ++row) {
        const int data = RowData(w, row);
        if (data < TABLE_GROUP_BASE || !SendMessageA(w->list, LB_GETSEL, row, 0))
            continue;
        const char *path = RowText(w, static_cast<ULONG_PTR>(data));
        for (int member = row + 1; member < n; ++member) {
            const int d = RowData(w, member);
            if (!InGroup(RowText(w, static_cast<ULONG_PTR>(d)), path))
                break;
            SendMessageA(w->list, LB_SETSEL, d < TABLE_GROUP_BASE, member);
        }
        SendMessageA(w->list, LB_SETSEL, FALSE, row);
        if (caret < 0)
            caret = row;
    }
    if (caret >= 0)
        SendMessageA(w->list, LB_SETCARETINDEX, caret, FALSE);
}

// The state bit k of one record, with the link rule for the two visibility bits.
void ToggleRecordBit(TableWindow *w, int record, int k)
{
    uint32_t &s = StateOf(w, record);
    s ^= 1u << k;
    if (w->link && k == 0)
        s = (s & ~2u) | ((s & 1u) << 1);
    else if (w->link && k == 1)
        s = (s & ~1u) | ((s >> 1) & 1u);
}

void RefreshAfterEdit(TableWindow *w)
{
    InvalidateRect(w->list, nullptr, FALSE);
    SetModified(w, true);
    SelectionChanged(w);
}

void StateBox(TableWindow *w, int id)
{
    const int count = Box05TableGetSelection(w);
    const int k = id - ID_STATE_FIRST;
    if (count == 1) {
        const int p = w->selectedData[0];
        if (p == 0 || p >= TABLE_SLOTS)
            return;
        ToggleRecordBit(w, p, k);
    } else if (count > 1) {
        // Unchecked -> checked -> unchecked; an indeterminate box becomes unchecked.
        const UINT now = IsDlgButtonChecked(w->hwnd, id);
        CheckDlgButton(w->hwnd, id, now == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED);
        for (int i = 0; i < count; ++i) {
            const int p = w->selectedData[i];
            if (p == 0 || p >= TABLE_SLOTS)
                continue;
            uint32_t &s = StateOf(w, p);
            for (int b = 0; b < STATE_BITS; ++b) {
                const UINT box = IsDlgButtonChecked(w->hwnd, ID_STATE_FIRST + b);
                if (box == BST_CHECKED)
                    s |= 1u << b;
                else if (box == BST_UNCHECKED)
                    s &= ~(1u << b);
            }
            if (w->link)
                s = (s & ~2u) | ((s & 1u) << 1);
        }
        InvalidateRect(w->list, nullptr, FALSE);
        SetModified(w, true);
        return; // the boxes keep their mixed look
    } else {
        return;
    }
    RefreshAfterEdit(w);
}

void GroupIcon(TableWindow *w, int groupData, int k)
{
    if (groupData < TABLE_GROUP_BASE || groupData - TABLE_GROUP_BASE >= w->groupCount)
        return;
    const char *path = w->groups[groupData - TABLE_GROUP_BASE];
    const uint32_t bits = w->link && k <= 1 ? 3u : 1u << k;
    bool anyLacks = false;
    for (int i = 1; i < TABLE_SLOTS; ++i)
        if (Named(w, i) && InGroup(NameOf(w, i), path) && (StateOf(w, i) & bits) != bits)
            anyLacks = true;
    // Group operations never touch the standard record, whose name may begin with the path too.
    for (int i = 1; i < TABLE_SLOTS; ++i)
        if (Named(w, i) && InGroup(NameOf(w, i), path)) {
            if (anyLacks)
                StateOf(w, i) |= bits;
            else
                StateOf(w, i) &= ~bits;
        }
    RefreshAfterEdit(w);
}

void RecordIcon(TableWindow *w, int record, int k)
{
    if (record <= 0 || record >= TABLE_SLOTS)
        return;
    ToggleRecordBit(w, record, k);
    RefreshAfterEdit(w);
}

void LinkSwitch(TableWindow *w)
{
    if (!w->link) {
        const uint32_t answer =
            AlertBoxTexts(w->hwnd, eAlertTextOK[w->kind->msgLink], ANSWER_COPY_A, ANSWER_COPY_B, ALERT_CANCEL, 3,
                          eButtonText[BUTTON_COPY_A], eButtonText[BUTTON_COPY_B], eButtonText[BUTTON_CANCEL_LINK]);
        if (answer != ANSWER_COPY_A && answer != ANSWER_COPY_B) {
            Box01DialogCheck(w->hwnd, ID_LINK, 0);
            return;
        }
        const bool aToB = answer == ANSWER_COPY_A;
        for (int i = 0; i < TABLE_SLOTS; ++i) {
            if (!Named(w, i))
                continue;
            w->kind->linkCopy(w->work, i, aToB);
            uint32_t &s = StateOf(w, i);
            s = aToB ? (s & ~2u) | ((s & 1u) << 1) : (s & ~1u) | ((s >> 1) & 1u);
        }
        w->link = 1;
    } else {
        w->link = 0;
    }
    RefreshAfterEdit(w);
}

void NewRecord(TableWindow *w)
{
    if (Box05TableGetSelection(w) != 1 || w->selectedData[0] >= TABLE_SLOTS)
        return;
    const int p = w->selectedData[0];
    char name[TABLE_NAME_SIZE] = "";
    if (p != 0)
        lstrcpynA(name, NameOf(w, p), TABLE_NAME_SIZE);
    if (!Box01AskFreeName(w->hwnd, eCaptionTexts[w->kind->captionNew], name, TABLE_NAME_SIZE,
                          [w](const char *n) { return FindRecord(w, n); }, -1))
        return;
    for (int i = 1; i < TABLE_SLOTS; ++i) {
        if (Named(w, i))
            continue;
        memcpy(RecordAt(w->work, w->kind, i), RecordAt(w->work, w->kind, p), w->kind->recordSize);
        lstrcpynA(w->kind->name(w->work, i), name, TABLE_NAME_SIZE);
        SetModified(w, true);
        Box05TableListFill(w, i);
        return;
    }
    AlertOk(w->hwnd, eAlertTextOK[w->kind->msgFull]);
}

void RenameRecord(TableWindow *w)
{
    if (Box05TableGetSelection(w) != 1 || w->selectedData[0] == 0 || w->selectedData[0] >= TABLE_SLOTS)
        return;
    const int p = w->selectedData[0];
    char name[TABLE_NAME_SIZE];
    lstrcpynA(name, NameOf(w, p), TABLE_NAME_SIZE);
    if (!Box01AskFreeName(w->hwnd, eCaptionTexts[w->kind->captionRename], name, TABLE_NAME_SIZE,
                          [w](const char *n) { return FindRecord(w, n); }, p))
        return;
    lstrcpynA(w->kind->name(w->work, p), name, TABLE_NAME_SIZE);
    SetModified(w, true);
    Box05TableListFill(w, p);
}

void DeleteRecords(TableWindow *w)
{
    const int count = Box05TableGetSelection(w);
    if (count <= 0)
        return;
    // Every use counts, text records, dimension texts and block members
    // included; library blocks do not.
    std::vector<uint32_t> used(USAGE_ENTRIES);
    w->kind->scanUse(used.data(), 0);
    const int firstRow = w->selectedRows[0];
    if (count == 1) {
        const int p = w->selectedData[0];
        if (p == 0 || p >= TABLE_SLOTS)
            return;
        if (Box01AskName(w->hwnd, w->kind->msgDeleteOne, NameOf(w, p)) != ALERT_YES)
            return;
        if (used[p] && Box01AskName(w->hwnd, w->kind->msgDeleteOneUsed, NameOf(w, 0)) != ALERT_YES)
            return;
        w->kind->name(w->work, p)[0] = 0;
    } else {
        if (AlertYesNo(w->hwnd, eAlertTextOK[w->kind->msgDeleteSeveral]) != ALERT_YES)
            return;
        bool anyUsed = false;
        for (int i = 0; i < count; ++i)
            if (w->selectedData[i] < TABLE_SLOTS && used[w->selectedData[i]])
                anyUsed = true;
        if (anyUsed && Box01AskName(w->hwnd, w->kind->msgDeleteSeveralUsed, NameOf(w, 0)) != ALERT_YES)
            return;
        for (int i = 0; i < count; ++i)
            if (w->selectedData[i] > 0 && w->selectedData[i] < TABLE_SLOTS)
                w->kind->name(w->work, w->selectedData[i])[0] = 0;
    }
    // The nearest record row at or above the row before the first selected one.
    int select = -1;
    for (int row = firstRow - 1; row >= 0 && select < 0; --row) {
        const int d = RowData(w, row);
        if (d < TABLE_SLOTS && Named(w, d))
            select = d;
    }
    SetModified(w, true);
    Box05TableListFill(w, select);
}

void CopyToGroup(TableWindow *w)
{
    const int count = Box05TableGetSelection(w);
    if (count <= 0)
        return;
    char path[TABLE_NAME_SIZE] = "";
    Box01SplitNamePath(NameOf(w, w->selectedData[0]), path, nullptr);
    if (!Box02EditStringCheck(w->hwnd, eCaptionTexts[w->kind->captionCopyToGroup], eUniTexts[PROMPT_GROUP], path,
                              TABLE_NAME_SIZE, eUniTexts[TEXT_COPY_SWITCH], &w->copyToGroup))
        return;
    std::vector<std::pair<int, std::string>> copies;
    for (int i = 0; i < count; ++i) {
        const int p = w->selectedData[i];
        if (p == 0 || p >= TABLE_SLOTS)
            continue;
        char leaf[TABLE_NAME_SIZE];
        Box01SplitNamePath(NameOf(w, p), nullptr, leaf);
        char name[TABLE_NAME_SIZE];
        Box01JoinNamePath(name, path, w->copyToGroup ? NameOf(w, p) : leaf);
        if (FindRecord(w, name) != -1) {
            Box01SayName(w->hwnd, MSG_NAME_USED, name);
            return;
        }
        for (const auto &c : copies)
            if (c.second == name) {
                Box01SayName(w->hwnd, MSG_NAME_USED, name);
                return;
            }
        copies.emplace_back(p, name);
    }
    int last = -1;
    for (const auto &c : copies) {
        int slot = -1;
        for (int i = 1; i < TABLE_SLOTS && slot < 0; ++i)
            if (!Named(w, i))
                slot = i;
        if (slot < 0) {
            AlertOk(w->hwnd, eAlertTextOK[w->kind->msgFull]);
            last = -1;
            break;
        }
        memcpy(RecordAt(w->work, w->kind, slot), RecordAt(w->work, w->kind, c.first), w->kind->recordSize);
        lstrcpynA(w->kind->name(w->work, slot), c.second.c_str(), TABLE_NAME_SIZE);
        last = slot;
    }
    SetModified(w, true);
    Box05TableListFill(w, last);
}

const char *SetCaption(const TableWindow *w, bool setB, bool standard)
{
    if (w->link || standard)
        return eCaptionTexts[CAPTION_SETS];
    return eCaptionTexts[setB ? CAPTION_SET_B : CAPTION_SET_A];
}

void EditSets(TableWindow *w, const int *records, int count, bool setB, bool standard)
{
    if (count <= 0)
        return;
    if (w->kind->editSets(w, records, count, setB, SetCaption(w, setB, standard)))
        RefreshAfterEdit(w);
}

void EditSelectedSets(TableWindow *w, bool setB)
{
    const int count = Box05TableGetSelection(w);
    if (count <= 0)
        return;
    std::vector<int> records;
    for (int i = 0; i < count; ++i)
        if (w->selectedData[i] < TABLE_SLOTS && (count == 1 || w->selectedData[i] != 0))
            records.push_back(w->selectedData[i]);
    if (records.size() == 1 && records[0] == 0 && setB)
        return;
    EditSets(w, records.data(), static_cast<int>(records.size()), setB, records.size() == 1 && records[0] == 0);
}

void EditGroupSets(TableWindow *w, int groupData, bool setB)
{
    if (groupData < TABLE_GROUP_BASE || groupData - TABLE_GROUP_BASE >= w->groupCount)
        return;
    const char *path = w->groups[groupData - TABLE_GROUP_BASE];
    // The template is the first record row below the group row; it leads the list of members.
    std::vector<int> members;
    const int row = RowOfRecord(w, groupData);
    for (int r = row + 1; r >= 1 && r < RowCount(w) && members.empty(); ++r) {
        const int d = RowData(w, r);
        if (d < TABLE_SLOTS)
            members.push_back(d);
    }
    for (int i = 1; i < TABLE_SLOTS; ++i)
        if (Named(w, i) && InGroup(NameOf(w, i), path) && (members.empty() || members[0] != i))
            members.push_back(i);
    // With two or more records, editSets applies only the changed fields.
    if (members.size() == 1)
        members.push_back(members[0]);
    EditSets(w, members.data(), static_cast<int>(members.size()), setB, false);
}

void LayerChoice(TableWindow *w, int layer)
{
    const int count = Box05TableGetSelection(w);
    for (int i = 0; i < count; ++i)
        if (w->selectedData[i] > 0 && w->selectedData[i] < TABLE_SLOTS)
            reinterpret_cast<PenDef *>(RecordAt(w->work, w->kind, w->selectedData[i]))->layer = layer;
    RefreshAfterEdit(w);
}

void OpenLayerPopup(TableWindow *w)
{
    if (Box05TableGetSelection(w) <= 0)
        return;
    const auto *pen = reinterpret_cast<const PenDef *>(RecordAt(w->work, w->kind, w->selectedData[0]));
    const int current = LayerIsDefined(pen->layer) ? pen->layer : -1;
    Box01OpenListPopup(BOX01_POPUP_LAYERS, w->hwnd, GetDlgItem(w->hwnd, ID_LAYER), current, CMD_LAYER_FIRST,
                       CMD_LAYER_NONE);
}

// Applies when the working copy differs, after the question of `message`
// asked with `ask`; false when the user cancelled.
bool ApplyIfChanged(TableWindow *w, int message, uint32_t (*ask)(HWND, const char *), uint32_t applyAnswer)
{
    if (!Box05TableCompare(w) && w->link == *w->kind->drawingLink)
        return true;
    const uint32_t answer = ask(w->hwnd, eAlertTextOK[message]);
    if (answer == applyAnswer)
        Box05TableApply(w);
    return answer != ALERT_CANCEL;
}

void Close(TableWindow *w)
{
    if (!ApplyIfChanged(w, w->kind->msgClose, AlertYesNoCancel, ALERT_YES))
        return;
    ShowWindow(w->hwnd, SW_HIDE);
    *w->kind->dialogVisible = 0;
}

void Take(TableWindow *w)
{
    if (!ApplyIfChanged(w, w->kind->msgTake, AlertButtons12, ALERT_BUTTON1))
        return;
    if (Box05TableGetSelection(w) != 1 || w->selectedData[0] >= TABLE_SLOTS) {
        AlertOk(w->hwnd, eAlertTextOK[MSG_SELECT_ONE]);
        return;
    }
    const int p = w->selectedData[0];
    if (p != *w->kind->active) {
        w->selected = p;
        w->kind->handOver(w, p);
    }
    *w->kind->listDirty = 0;
}

void Revert(TableWindow *w)
{
    Box05TableLoad(w, w->selected);
    SetModified(w, false);
    Box05TableListFill(w, w->selected);
}

void Report(TableWindow *w, int defaultName)
{
    char path[PATH_SIZE];
    snprintf(path, sizeof path, "%s%s", g_PathLocal, eDefaultPaths[defaultName]);
    if (Box02EditString(w->hwnd, eCaptionTexts[TABLE_REPORT_CAPTION], eUniTexts[PROMPT_NAME], path, PATH_SIZE))
        Box05TableReport(w, path);
}

// Reads a table file into the working copy; the drawing changes only on Apply.
void LoadTableFile(TableWindow *w)
{
    const FileTypeSelection drawings{0x8B, 0, 0, FILE_KIND_DRAWING, -1, CHOOSER_OPEN};
    if (!Box15FileGetName(w->hwnd, eCaptionTexts[w->kind->captionLoad], &w->files, drawings))
        return;
    int32_t active = 0;
    if (!w->kind->loadFile(w->files.current, w->work, &w->link, &active))
        return;
    Box01DialogCheck(w->hwnd, ID_LINK, w->link != 0);
    SetModified(w, true);
    Box05TableListFill(w, -1);
}

// Writes the working copy as a table file.
void SaveTableFile(TableWindow *w)
{
    const FileTypeSelection drawings{0xF, 0, 0, FILE_KIND_DRAWING, -1, CHOOSER_SAVE};
    if (Box15FileGetName(w->hwnd, eCaptionTexts[w->kind->captionSave], &w->files, drawings))
        w->kind->saveFile(w->files.current, w->work, w->link, *w->kind->active);
}

// The load/save popup, to the right of its button; its commands come back as WM_COMMAND.
void OpenLoadSavePopup(TableWindow *w)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AppendMenuA(menu, MF_STRING, CMD_LOAD_FILE, eSpecialMenus[MENU_LOAD_FILE]);
    AppendMenuA(menu, MF_STRING, CMD_SAVE_FILE, eSpecialMenus[MENU_SAVE_FILE]);
    RECT button{};
    GetWindowRect(GetDlgItem(w->hwnd, ID_LOAD_SAVE), &button);
    const int y = (button.top + button.bottom) / 2 - GetMenuItemCount(menu) * GetSystemMetrics(SM_CYMENU) / 2;
    const uint32_t saved = g_PopupByRightButton;
    g_PopupByRightButton = 1;
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, button.right - 1, y, 0, w->hwnd, nullptr);
    g_PopupByRightButton = saved;
    DestroyMenu(menu);
}

INT_PTR Command(TableWindow *w, int id, int code, int high)
{
    if (id >= ID_STATE_FIRST && id < ID_STATE_FIRST + STATE_BITS) {
        StateBox(w, id);
        return 1;
    }
    if (id >= CMD_RECORD_ICON && id < CMD_RECORD_ICON + STATE_BITS) {
        RecordIcon(w, high, id - CMD_RECORD_ICON);
        return 1;
    }
    if (id >= CMD_GROUP_ICON && id < CMD_GROUP_ICON + STATE_BITS) {
        GroupIcon(w, high, id - CMD_GROUP_ICON);
        return 1;
    }
    if (w->kind->hasLayerButton && (id == CMD_LAYER_NONE || (id >= CMD_LAYER_FIRST && id < CMD_LAYER_FIRST + LAYER_SLOTS))) {
        LayerChoice(w, id == CMD_LAYER_NONE ? PEN_NO_LAYER : id - CMD_LAYER_FIRST);
        return 1;
    }
    switch (id) {
    case ID_LIST:
        if (code == LBN_SELCHANGE) {
            if (!w->shiftHeld)
                ApplyGroupRule(w);
            SelectionChanged(w);
        } else if (code == LBN_KILLFOCUS) {
            w->shiftHeld = false;
            ApplyGroupRule(w);
            SelectionChanged(w);
        } else if (code == LBN_DBLCLK) {
            Take(w);
        }
        return 1;
    case CMD_RECORD_SAMPLE_A:
    case CMD_RECORD_SAMPLE_B:
        if (high >= 0 && high < TABLE_SLOTS) {
            const int record[1] = {high};
            EditSets(w, record, 1, id == CMD_RECORD_SAMPLE_B, high == 0);
        }
        return 1;
    case CMD_GROUP_SAMPLE_A:
    case CMD_GROUP_SAMPLE_B:
        EditGroupSets(w, high, id == CMD_GROUP_SAMPLE_B);
        return 1;
    case ID_LINK:
        LinkSwitch(w);
        return 1;
    case ID_SET_A:
    case ID_SET_B:
        EditSelectedSets(w, id == ID_SET_B);
        return 1;
    case ID_LAYER:
        OpenLayerPopup(w);
        return 1;
    case ID_REPORT:
        Report(w, w->kind->hasLayerButton ? TABLE_REPORT_PENS : TABLE_REPORT_LAYERS);
        return 1;
    case ID_LOAD_SAVE:
        OpenLoadSavePopup(w);
        return 1;
    case CMD_LOAD_FILE:
        LoadTableFile(w);
        return 1;
    case CMD_SAVE_FILE:
        SaveTableFile(w);
        return 1;
    case ID_FILTER:
        if (Box05TableFilterSelect(w))
            SendMessageA(w->hwnd, WM_COMMAND, MAKEWPARAM(ID_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(w->list));
        return 1;
    case ID_APPLY:
        Box05TableApply(w);
        return 1;
    case ID_REVERT:
        Revert(w);
        return 1;
    case ID_TAKE:
        Take(w);
        return 1;
    case ID_CLOSE:
        Close(w);
        return 1;
    case ID_NEW:
        NewRecord(w);
        return 1;
    case ID_RENAME:
        RenameRecord(w);
        return 1;
    case ID_DELETE:
        DeleteRecords(w);
        return 1;
    case ID_COPY_TO_GROUP:
        CopyToGroup(w);
        return 1;
    default:
        return 0;
    }
}

// --- The list's hit zones -------------------------------------------------------------

int RowHeight(const TableWindow *w)
{
    const int h = static_cast<int>(SendMessageA(w->list, LB_GETITEMHEIGHT, 0, 0));
    return h > 0 ? h : ROW_MIN_HEIGHT;
}

void NotifySelection(TableWindow *w)
{
    SendMessageA(w->hwnd, WM_COMMAND, MAKEWPARAM(ID_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(w->list));
}

// Ctrl and a click on a group row: all its members selected, or all deselected.
void ToggleGroupMembers(TableWindow *w, int row, int data)
{
    const char *path = RowText(w, static_cast<ULONG_PTR>(data));
    const int n = RowCount(w);
    bool allSelected = true;
    int last = row;
    for (int r = row + 1; r < n; ++r) {
        const int d = RowData(w, r);
        if (!InGroup(RowText(w, static_cast<ULONG_PTR>(d)), path))
            break;
        last = r;
        if (d < TABLE_SLOTS && !SendMessageA(w->list, LB_GETSEL, r, 0))
            allSelected = false;
    }
    const BOOL select = !allSelected;
    for (int r = row + 1; r <= last; ++r)
        if (RowData(w, r) < TABLE_SLOTS)
            SendMessageA(w->list, LB_SETSEL, select, r);
    SendMessageA(w->list, LB_SETSEL, select, row);
    w->focusedGroup = select ? data : -1;
    const bool held = w->shiftHeld;
    w->shiftHeld = true; // the group row keeps its state for this notification
    NotifySelection(w);
    w->shiftHeld = held;
}

// 1 when the press was a zone of the row and is not passed on.
int HitZone(TableWindow *w, int x, int y, bool doubleClick)
{
    const int h = RowHeight(w);
    const int row = y / h + static_cast<int>(SendMessageA(w->list, LB_GETTOPINDEX, 0, 0));
    if (row < 0 || row >= RowCount(w))
        return 0;
    const int data = RowData(w, row);
    const bool group = data >= TABLE_GROUP_BASE;
    RECT client;
    GetClientRect(w->list, &client);
    const int m = std::min(1, (h - STATE_ICON_HEIGHT) / 2);
    const int s = h - 2 * m;
    const int R = client.right;
    int command = 0;
    if (x >= ICON_ZONE_LEFT && x < ICON_ZONE_RIGHT && (x - ICON_ZONE_LEFT) / ICON_STEP < STATE_BITS)
        command = (group ? CMD_GROUP_ICON : CMD_RECORD_ICON) + (x - ICON_ZONE_LEFT) / ICON_STEP;
    else if (x >= R - 4 * s - 6 && x < R - 2 * s - 3)
        command = group ? CMD_GROUP_SAMPLE_A : CMD_RECORD_SAMPLE_A;
    else if (x >= R - 2 * s - 3 && x < R - 1)
        command = group ? CMD_GROUP_SAMPLE_B : CMD_RECORD_SAMPLE_B;
    const bool swallowed = (x >= 0 && x <= SWALLOW_LEFT) || (x >= R - 4 * s - 9 && x <= R);
    if (doubleClick)
        return group || command || swallowed;
    if (command) {
        PostMessageA(w->hwnd, WM_COMMAND, MAKEWPARAM(command, data), 0);
        return 1;
    }
    if (swallowed)
        return 1;
    if (group && (GetKeyState(VK_CONTROL) & 0x8000)) {
        ToggleGroupMembers(w, row, data);
        return 1;
    }
    w->focusedGroup = -1;
    return 0;
}

LRESULT CALLBACK ListSubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *w = reinterpret_cast<TableWindow *>(GetPropA(list, "TableWindow"));
    if (!w)
        return DefWindowProcA(list, message, wParam, lParam);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (HitZone(w, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                    message == WM_LBUTTONDBLCLK))
            return 0;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_SHIFT && !w->shiftHeld) {
            w->shiftHeld = true;
            if (w->focusedGroup >= TABLE_GROUP_BASE) {
                const int row = RowOfRecord(w, w->focusedGroup);
                if (row >= 0)
                    SendMessageA(list, LB_SETSEL, TRUE, row);
            }
        }
        break;
    case WM_KEYUP:
        if (wParam == VK_SHIFT) {
            w->shiftHeld = false;
            NotifySelection(w);
        }
        break;
    }
    return CallWindowProcA(w->listProc, list, message, wParam, lParam);
}

// --- Layout --------------------------------------------------------------------------

SIZE MinimumSize(const TableWindow *w)
{
    RECT r = {0, 0, w->kind->minWidth, w->kind->minHeight};
    MapDialogRect(w->hwnd, &r);
    const int frame = GetSystemMetrics(SM_CXSIZEFRAME), caption = GetSystemMetrics(SM_CYCAPTION);
    return SIZE{r.right + 2 * frame, r.bottom + 2 * GetSystemMetrics(SM_CYSIZEFRAME) + caption + frame * 0};
}

void Layout(TableWindow *w)
{
    if (!w->hwnd || !w->list)
        return; // sized while being created, before its controls are known
    RECT margin = {0, 0, LAYOUT_MARGIN, LAYOUT_MARGIN};
    MapDialogRect(w->hwnd, &margin);
    RECT client;
    GetClientRect(w->hwnd, &client);
    HWND summary = GetDlgItem(w->hwnd, ID_SUMMARY);
    RECT s, l;
    GetWindowRect(summary, &s);
    GetWindowRect(w->list, &l);
    MapWindowPoints(nullptr, w->hwnd, reinterpret_cast<POINT *>(&s), 2);
    MapWindowPoints(nullptr, w->hwnd, reinterpret_cast<POINT *>(&l), 2);
    const int summaryHeight = s.bottom - s.top;
    const int summaryTop = client.bottom - margin.bottom - summaryHeight;
    MoveWindow(summary, s.left, summaryTop, s.right - s.left, summaryHeight, TRUE);
    const int listHeight = std::max(0, static_cast<int>(summaryTop - margin.bottom * 5));
    MoveWindow(w->list, l.left, margin.bottom, l.right - l.left, listHeight, TRUE);
}

} // namespace

// --- Working copy ----------------------------------------------------------------------

void Box05TableLoad(TableWindow *w, int32_t selected)
{
    memcpy(w->work, w->kind->drawingTable(), w->kind->recordSize * TABLE_SLOTS);
    w->link = *w->kind->drawingLink;
    w->selected = selected;
    memset(&w->changes, 0, sizeof w->changes);
    memset(w->groups, 0, sizeof w->groups);
    w->groupCount = 0;
    w->focusedGroup = -1;
    w->modified = false;
    w->shiftHeld = false;
}

int Box05TableCompare(TableWindow *w)
{
    const char *drawing = static_cast<const char *>(w->kind->drawingTable());
    w->changes.changed = 0;
    for (int i = 0; i < TABLE_SLOTS; ++i) {
        const size_t at = w->kind->recordSize * static_cast<size_t>(i);
        w->changes.record[i] = memcmp(drawing + at, static_cast<const char *>(w->work) + at, w->kind->recordSize) != 0;
        if (w->changes.record[i])
            w->changes.changed = 1;
    }
    return static_cast<int>(w->changes.changed);
}

void Box05TableApply(TableWindow *w)
{
    const bool differs = Box05TableCompare(w) || w->link != *w->kind->drawingLink;
    if (w->hwnd)
        SetModified(w, false);
    if (differs)
        w->kind->handOver(w, -1);
    *w->kind->listDirty = 0;
}

// --- The grouped list ----------------------------------------------------------------------

void Box05TableCollectGroups(TableWindow *w)
{
    memset(w->groups, 0, sizeof w->groups);
    w->groupCount = 0;
    for (int i = 0; i < TABLE_SLOTS; ++i) {
        const char *name = NameOf(w, i);
        for (int end = static_cast<int>(strlen(name)) - 1; end >= 0; --end) {
            if (name[end] != '\\')
                continue;
            char path[BOX01_GROUP_NAME_SIZE];
            lstrcpynA(path, name, std::min(end + 2, BOX01_GROUP_NAME_SIZE));
            bool known = false;
            for (int k = 0; k < w->groupCount && !known; ++k)
                known = strcmp(w->groups[k], path) == 0;
            // The table holds TABLE_SLOTS paths; further ones are not shown as rows.
            if (!known && w->groupCount < TABLE_SLOTS)
                strcpy(w->groups[w->groupCount++], path);
        }
    }
    for (int i = 0; i + 1 < w->groupCount; ++i) {
        int least = i;
        for (int j = i + 1; j < w->groupCount; ++j)
            if (lstrcmpA(w->groups[j], w->groups[least]) < 0)
                least = j;
        if (least != i) {
            char t[BOX01_GROUP_NAME_SIZE];
            strcpy(t, w->groups[i]);
            strcpy(w->groups[i], w->groups[least]);
            strcpy(w->groups[least], t);
        }
    }
}

void Box05TableListFill(TableWindow *w, int record)
{
    Box05TableCollectGroups(w);
    SetModified(w, w->modified);
    SendMessageA(w->list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(w->list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < TABLE_SLOTS; ++i)
        if (Named(w, i))
            SendMessageA(w->list, LB_ADDSTRING, 0, i);
    for (int k = 0; k < w->groupCount; ++k)
        SendMessageA(w->list, LB_ADDSTRING, 0, TABLE_GROUP_BASE + k);
    SendMessageA(w->list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(w->list, nullptr, TRUE);
    SetDlgItemTextA(w->hwnd, ID_SUMMARY, "");
    const int row = record >= 0 ? RowOfRecord(w, record) : -1;
    if (row >= 0) {
        SendMessageA(w->list, LB_SETSEL, TRUE, row);
        SendMessageA(w->list, LB_SETCARETINDEX, row, FALSE);
    }
    SelectionChanged(w);
    if (GetActiveWindow() == w->hwnd)
        SetFocus(w->list);
}

int Box05TableGetSelection(TableWindow *w)
{
    const LRESULT n = SendMessageA(w->list, LB_GETSELITEMS, TABLE_SLOTS, reinterpret_cast<LPARAM>(w->selectedRows));
    w->selectedCount = n == LB_ERR ? 0 : static_cast<int>(n);
    int records = 0;
    bool standard = false;
    for (int i = 0; i < w->selectedCount; ++i) {
        const int d = RowData(w, w->selectedRows[i]);
        if (d >= TABLE_GROUP_BASE)
            continue; // a group row still selected (Shift held) is never a record
        w->selectedRows[records] = w->selectedRows[i];
        w->selectedData[records++] = d;
        standard = standard || d == 0;
    }
    // Several records with the standard one among them read as no selection,
    // so that no command for several records touches it.
    if (records >= 2 && standard)
        return 0;
    return records;
}

// --- Window ----------------------------------------------------------------------------

INT_PTR Box05TableProc(TableWindow *w, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == *w->kind->reloadMessage && message) {
        // The drawing's table changed elsewhere: unapplied edits are dropped.
        Box05TableLoad(w, static_cast<int32_t>(wParam));
        *w->kind->listDirty = 0;
        SendMessageA(window, WM_SHOWWINDOW, TRUE, 0);
        return 1;
    }
    switch (message) {
    case WM_INITDIALOG: {
        w->hwnd = window;
        w->list = GetDlgItem(window, ID_LIST);
        char title[CONVERT_TITLE_SIZE];
        if (ConvertGetCommandTitle(title, w->kind->captionCommand))
            SetWindowTextA(window, title); // else the template's own caption
        SetPropA(w->list, "TableWindow", w);
        w->listProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(w->list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListSubclassProc)));
        // Loading and saving tables come with the file chooser; until then the button stays hidden.
        ShowWindow(GetDlgItem(window, ID_LOAD_SAVE), SW_HIDE);
        if (g_Instance) {
            HICON icon = LoadIconA(g_Instance, w->kind->iconName);
            SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        }
        w->focusedGroup = -1;
        w->shiftHeld = false;
        Box05TableListFill(w, w->selected);
        const WindowPlacement &p = *w->kind->placement;
        const SIZE min = MinimumSize(w);
        if (p.size.cy != DIALOG_NO_POSITION && p.size.cy > min.cy) {
            const int screen = g_ScreenHeight > 0 ? g_ScreenHeight : GetSystemMetrics(SM_CYSCREEN);
            SetWindowPos(window, nullptr, 0, 0, min.cx, std::min<LONG>(p.size.cy, screen),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        Layout(w);
        return 0;
    }
    case WM_SHOWWINDOW:
        if (wParam) {
            const int before = Box05TableGetSelection(w);
            std::vector<int> rows(w->selectedRows, w->selectedRows + before);
            Box05TableListFill(w, before ? -1 : w->selected);
            for (int row : rows) {
                if (row >= RowCount(w)) {
                    Box05TableListFill(w, w->selected);
                    return 0;
                }
                SendMessageA(w->list, LB_SETSEL, TRUE, row);
            }
            SelectionChanged(w);
        }
        return 0;
    case WM_MOVE:
    case WM_SIZE: {
        if (window != w->hwnd)
            return 0;
        RECT r;
        GetWindowRect(window, &r);
        WindowPlacement &p = *w->kind->placement;
        p.pos = POINT{r.left, r.top};
        if (message == WM_SIZE) {
            p.size = SIZE{r.right - r.left, r.bottom - r.top};
            Layout(w);
        }
        return 0;
    }
    case WM_GETMINMAXINFO: {
        auto *info = reinterpret_cast<MINMAXINFO *>(lParam);
        const SIZE min = MinimumSize(w);
        info->ptMinTrackSize.x = min.cx;
        info->ptMinTrackSize.y = min.cy;
        info->ptMaxTrackSize.x = min.cx;
        info->ptMaxTrackSize.y = g_ScreenHeight > 0 ? g_ScreenHeight : GetSystemMetrics(SM_CYSCREEN);
        return 1;
    }
    case WM_MEASUREITEM: {
        auto *m = reinterpret_cast<MEASUREITEMSTRUCT *>(lParam);
        m->itemHeight = static_cast<UINT>(std::max(Box01TextHeight(window), ROW_MIN_HEIGHT));
        return 1;
    }
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (item->CtlID != ID_LIST || item->itemID == UINT(-1))
            return 0;
        const int data = static_cast<int>(item->itemData);
        if (item->itemState == ODS_FOCUS && item->itemAction == ODA_FOCUS)
            w->focusedGroup = data >= TABLE_GROUP_BASE ? data : -1;
        w->kind->paintRow(item, data, w->work, w->groups, static_cast<int>(w->link));
        return 1;
    }
    case WM_COMPAREITEM: {
        const auto *c = reinterpret_cast<const COMPAREITEMSTRUCT *>(lParam);
        // A dialog procedure answers WM_COMPAREITEM with its return value.
        return Box01CompareNamePaths(RowText(w, c->itemData1), RowText(w, c->itemData2));
    }
    case WM_HELP:
        Box01DialogHelp(window, w->kind->help);
        return 1;
    case WM_ENTERIDLE:
        return Box01DialogEnterIdle(window, wParam, lParam);
    case WM_DESTROY:
        if (w->list && w->listProc)
            SetWindowLongPtrA(w->list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(w->listProc));
        if (w->list)
            RemovePropA(w->list, "TableWindow");
        w->listProc = nullptr;
        return 0;
    case WM_COMMAND:
        return Command(w, LOWORD(wParam), HIWORD(wParam), HIWORD(wParam));
    default:
        return 0;
    }
}

void Box05TableCreate(TableWindow *w, HWND owner)
{
    Box05TableLoad(w, -1);
    w->copyToGroup = 0;
    if (*w->kind->handle)
        return;
    *w->kind->handle = CreateDialogParamA(g_LanguageModule, w->kind->templateName, owner, w->kind->procedure, 0);
}

void Box05TableShow(TableWindow *w, int32_t record)
{
    HWND h = *w->kind->handle;
    if (!h)
        return;
    Box05TableLoad(w, record);
    if (!w->kind->keepsCopySwitch)
        w->copyToGroup = 0;
    *w->kind->listDirty = 0;
    const WindowPlacement &p = *w->kind->placement;
    if (p.pos.x != DIALOG_NO_POSITION && p.size.cy != DIALOG_NO_POSITION)
        SetWindowPos(h, nullptr, p.pos.x, p.pos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(h, SW_SHOW);
    Box05TableListFill(w, record);
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
    SetActiveWindow(h);
}

// --- Name filter ----------------------------------------------------------------------------

int Box05TableFilterMatches(const NameFilter *filter, const char *name)
{
    char lowerName[TABLE_NAME_SIZE];
    lstrcpynA(lowerName, name, TABLE_NAME_SIZE);
    CharLowerA(lowerName);
    int terms = 0, hits = 0;
    const char *p = filter->pattern;
    while (*p) {
        const char *end = strchr(p, ';');
        const size_t length = end ? static_cast<size_t>(end - p) : strlen(p);
        if (length > 0 && length < NAME_FILTER_PATTERN_SIZE) {
            char term[NAME_FILTER_PATTERN_SIZE];
            memcpy(term, p, length);
            term[length] = 0;
            ++terms;
            char lowerTerm[NAME_FILTER_PATTERN_SIZE];
            strcpy(lowerTerm, term);
            CharLowerA(lowerTerm);
            const char *hit = strstr(lowerName, lowerTerm);
            // With match case, only the first hit is compared as typed.
            if (hit && (!filter->matchCase || strncmp(name + (hit - lowerName), term, length) == 0))
                ++hits;
        }
        p += length;
        if (*p == ';')
            ++p;
    }
    return hits > 0 && (!filter->choice || hits == terms);
}

int Box05TableFilterSelect(TableWindow *w)
{
    if (!Box02ListFilter(w->hwnd, eCaptionTexts[w->kind->captionFilter], &w->filter))
        return 0;
    const int n = RowCount(w);
    if (n == LB_ERR) {
        AlertOk(w->hwnd, eAlertTextOK[MSG_LIST_ERROR]);
        return 0;
    }
    if (w->filter.all) {
        for (int row = 0; row < n; ++row) {
            const int d = RowData(w, row);
            SendMessageA(w->list, LB_SETSEL, d > 0 && d < TABLE_SLOTS, row);
        }
        return 1;
    }
    if (!w->filter.pattern[0]) {
        AlertOk(w->hwnd, eAlertTextOK[MSG_NO_MATCH]);
        return 0;
    }
    std::vector<int> matches;
    for (int i = 0; i < TABLE_SLOTS; ++i)
        if (Named(w, i) && Box05TableFilterMatches(&w->filter, NameOf(w, i)))
            matches.push_back(i);
    if (matches.empty()) {
        AlertOk(w->hwnd, eAlertTextOK[MSG_NO_MATCH]);
        return 1;
    }
    const char *action = eUniTexts[w->filter.keep && w->filter.deselect ? TEXT_DESELECT : TEXT_SELECT];
    char question[MESSAGE_SIZE];
    if (matches.size() == 1)
        snprintf(question, sizeof question, eAlertTextOK[MSG_ONE_MATCH], action);
    else
        snprintf(question, sizeof question, eAlertTextOK[MSG_MATCHES], static_cast<int>(matches.size()), action);
    if (AlertYesNo(w->hwnd, question) != ALERT_YES)
        return 1;
    if (!w->filter.keep)
        SendMessageA(w->list, LB_SETSEL, FALSE, -1);
    const BOOL select = !(w->filter.keep && w->filter.deselect);
    for (int record : matches) {
        const int row = RowOfRecord(w, record);
        if (row >= 0)
            SendMessageA(w->list, LB_SETSEL, select, row);
    }
    return 1;
}

// --- Report ----------------------------------------------------------------------------------

int Box05TableReport(TableWindow *w, const char *path)
{
    HANDLE file = nullptr;
    if (!ZVI_FileCreate(&file, path)) {
        AlertFileError(w->hwnd, path, 4);
        return 0;
    }
    if (!ZVI_FileWriteInitDisk(file)) {
        AlertNoDialog(w->hwnd);
        ZVI_FileClose(file);
        return 0;
    }
    const int n = RowCount(w);
    if (n == LB_ERR) {
        ZVI_FileWriteExit();
        ZVI_FileClose(file);
        AlertOk(w->hwnd, eAlertTextOK[MSG_LIST_ERROR]);
        return 0;
    }
    bool ok = true;
    for (int row = 0; row < n && ok; ++row) {
        const int d = RowData(w, row);
        if (d < 0 || d >= TABLE_SLOTS)
            continue;
        std::string block = "[" + std::string(NameOf(w, d)) + "]\r\n" + eUniTexts[TEXT_REPORT_STATE];
        const uint32_t state = StateOf(w, d);
        for (int k = 0; k < REPORT_STATE_BITS; ++k) {
            char part[128];
            const char *end = k + 1 < REPORT_STATE_BITS ? ", " : "\r\n";
            if (state & (1u << k))
                snprintf(part, sizeof part, "%s %s%s", eUniTexts[TEXT_REPORT_BIT + k], eUniTexts[TEXT_REPORT_ON], end);
            else
                snprintf(part, sizeof part, "%s %s %s%s", eUniTexts[TEXT_REPORT_BIT + k], eUniTexts[TEXT_REPORT_NOT],
                         eUniTexts[TEXT_REPORT_ON], end);
            block += part;
        }
        char summary[TABLE_SUMMARY_SIZE] = "";
        w->kind->summary(w, d, summary, "\r\n");
        block += summary;
        block += "\r\n\r\n";
        ok = ZVI_FileWriteTextData(block.c_str()) != 0;
    }
    ok = ok && ZVI_FileWriteFlush();
    ZVI_FileWriteExit();
    const int closed = ZVI_FileClose(file);
    if (!ok) {
        AlertFileError(w->hwnd, path, 3);
        return 0;
    }
    return closed;
}

void Box05TableDestroy(TableWindow *w)
{
    if (*w->kind->handle)
        DestroyWindow(*w->kind->handle);
    *w->kind->handle = nullptr;
    w->hwnd = nullptr;
    w->list = nullptr;
}

// --- Summary pieces -----------------------------------------------------------------------

void Box05TableAppend(char *out, const char *text)
{
    const size_t used = strlen(out);
    if (used + 1 >= TABLE_SUMMARY_SIZE)
        return;
    lstrcpynA(out + used, text, static_cast<int>(TABLE_SUMMARY_SIZE - used));
}

void Box05TableAppendColour(char *out, COLORREF colour)
{
    for (const ColorDef &c : g_ColorDefs)
        if (c.name[0] && c.name[0] != '*' && c.color == colour) {
            Box05TableAppend(out, c.name);
            return;
        }
    char text[BOX01_COLOR_TEXT_SIZE];
    Box05TableAppend(out, Box01FormatColorText(text, colour));
}

void Box05FormatWidth(char *out, double millimetres)
{
    const DrawWindow *window = g_ConvertState.window;
    const double factor = window && window->widthFactor > 0 ? window->widthFactor : 1.0;
    ConvertWidthAngleToString(out, millimetres, 0, 0, static_cast<int>(g_ConvertState.decimals), factor);
}

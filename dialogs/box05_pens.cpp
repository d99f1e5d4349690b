// The pen table window (template PENDEF) and the pen summary.
#include "dialogs/box05_pens.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "app/system.h"
#include "app/window.h"
#include "database/object_usage.h"
#include "dialogs/box01.h"
#include "dialogs/box05_defs.h"
#include "files/file_onesection.h"
#include "language/language.h"

PenDialogWork g_PenDialogWork;
TableWindow g_PenTable;

namespace {

constexpr int CAPTURED_CAPTION = 338; // the pen table command
constexpr int CAPTION_LOAD_PENS = 72, CAPTION_SAVE_PENS = 73; // eCaptionTexts
constexpr int TEXT_SETS = 60, TEXT_SET_B = 59, TEXT_LAYER = 68, TEXT_NONE = 30, TEXT_CAP = 75, TEXT_JOIN = 78;
constexpr uint32_t CAP_MASK = 0xF00, JOIN_MASK = 0xF000, CAP_STEP = 0x100, JOIN_STEP = 0x1000;
constexpr int STYLE_CHOICES = 3;
constexpr int FILL_MODE_NAMES = 5; // eFillModeNames

void *DrawingPens()
{
    return g_PenDefs;
}

char *PenName(void *table, int i)
{
    return static_cast<PenDef *>(table)[i].name;
}

uint32_t *PenState(void *table, int i)
{
    return &static_cast<PenDef *>(table)[i].state;
}

void PenLinkCopy(void *table, int i, bool aToB)
{
    PenDef &p = static_cast<PenDef *>(table)[i];
    if (aToB)
        p.setB = p.setA;
    else
        p.setA = p.setB;
}

void PaintPenRow(const DRAWITEMSTRUCT *item, int index, const void *table,
                 const char (*groups)[BOX01_GROUP_NAME_SIZE], int link)
{
    Box01DrawItemPenRow(item, index, static_cast<const PenDef *>(table), groups, link);
}

void SummaryOf(TableWindow *w, int i, char *out, const char *separator)
{
    Box05FormatPenSummary(w, i, out, separator);
}

// Copies the fields in which edited differs from before into target.
void ApplyChangedFields(const Property &before, const Property &edited, Property &target)
{
    if (edited.fillMode != before.fillMode)
        target.fillMode = edited.fillMode;
    if (edited.color1 != before.color1)
        target.color1 = edited.color1;
    if (edited.color2 != before.color2)
        target.color2 = edited.color2;
    if (edited.lineType != before.lineType)
        target.lineType = edited.lineType;
    if (edited.width != before.width)
        target.width = edited.width;
    if (edited.capJoin != before.capJoin)
        target.capJoin = edited.capJoin;
}

int EditPenSets(TableWindow *w, const int *records, int count, bool setB, const char *caption)
{
    PenDef *pens = static_cast<PenDef *>(w->work);
    PenDef &first = pens[records[0]];
    Property edited = setB ? first.setB : first.setA;
    const Property before = edited;
    if (!Box05EditProperty(w->hwnd, caption, &edited))
        return 0;
    if (count == 1) {
        const int p = records[0];
        (setB ? pens[p].setB : pens[p].setA) = edited;
        if (w->link || p == 0)
            PenLinkCopy(pens, p, !setB);
        return 1;
    }
    // Several pens: the fields the user changed, never into the standard pen.
    for (int i = 0; i < count; ++i) {
        const int p = records[i];
        if (p <= 0 || p >= PEN_SLOTS)
            continue;
        ApplyChangedFields(before, edited, setB ? pens[p].setB : pens[p].setA);
        if (w->link)
            PenLinkCopy(pens, p, !setB);
    }
    return 1;
}

void HandOverPens(TableWindow *w, int record)
{
    if (!g_MainWnd || !g_MsgPen1)
        return;
    if (record >= 0) {
        SendMessageA(g_MainWnd, g_MsgPen1, static_cast<WPARAM>(record), 0);
        return;
    }
    PenDialogWork &b = g_PenDialogWork;
    b.link = w->link;
    b.selected = w->selected;
    b.changes = DefChangeFlags{};
    b.changes.pens = w->changes.changed;
    memcpy(b.changes.pen, w->changes.record, sizeof b.changes.pen);
    SendMessageA(g_MainWnd, g_MsgPen1, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&b));
}

INT_PTR CALLBACK PenTableProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Box05TableProc(&g_PenTable, window, message, wParam, lParam);
}

const TableKind PEN_KIND = {
    "PENDEF", PenTableProc, "IDI_TPEN", CAPTURED_CAPTION, BOX05_PEN_TABLE_HELP, 388, 248,
    133, 138, 50, 131, 24, 132, 23, 102,
    53, 54, 79, 74,
    true, false,
    sizeof(PenDef), DrawingPens, &g_PenLink, &g_ActivePen, &g_PenListDirty, &g_Options.penDialogVisible,
    &hGlobalPenDialog, &g_MsgPen2, &g_Options.penDialogPlacement,
    PenName, PenState, PenLinkCopy, PaintPenRow, SummaryOf, ObjectScanPenUse, EditPenSets, HandOverPens,
    CAPTION_LOAD_PENS, CAPTION_SAVE_PENS,
    [](const char *path, void *table, uint32_t *link, int32_t *active) {
        return FileLoadPens(path, static_cast<PenDef *>(table), link, active);
    },
    [](const char *path, const void *table, uint32_t link, int32_t active) {
        return FileSavePens(path, static_cast<const PenDef *>(table), link, active);
    },
};



void AppendSet(char *out, const Property &p)
{
    Box05TableAppend(out, p.lineType >= 0 && p.lineType < LINE_SLOTS ? g_LineDefs[p.lineType].name : "");
    char width[64], item[160];
    Box05FormatWidth(width, p.width);
    snprintf(item, sizeof item, "; %s %s; ", width, g_ConvertState.widthLabel);
    Box05TableAppend(out, item);
    Box05TableAppendColour(out, p.color2);
    const uint32_t cap = (p.capJoin & CAP_MASK) / CAP_STEP, join = (p.capJoin & JOIN_MASK) / JOIN_STEP;
    if (cap < STYLE_CHOICES) {
        Box05TableAppend(out, "; ");
        Box05TableAppend(out, eUniTexts[TEXT_CAP + static_cast<int>(cap)]);
    }
    if (join < STYLE_CHOICES) {
        Box05TableAppend(out, "; ");
        Box05TableAppend(out, eUniTexts[TEXT_JOIN + static_cast<int>(join)]);
    }
    Box05TableAppend(out, "; ");
    if (p.fillMode >= 0 && p.fillMode < FILL_MODE_NAMES)
        Box05TableAppend(out, eFillModeNames[p.fillMode]);
    Box05TableAppend(out, "; ");
    Box05TableAppendColour(out, p.color1);
}

} // namespace

void Box05FormatPenSummary(TableWindow *w, int pen, char *out, const char *separator)
{
    out[0] = 0;
    if (pen < 0 || pen >= PEN_SLOTS)
        return;
    const PenDef &p = static_cast<const PenDef *>(w->work)[pen];
    Box05TableAppend(out, eUniTexts[TEXT_SETS]);
    if (!(w->link || pen == 0)) {
        AppendSet(out, p.setA);
        Box05TableAppend(out, separator);
    }
    Box05TableAppend(out, eUniTexts[TEXT_SET_B]);
    AppendSet(out, p.setB);
    Box05TableAppend(out, separator);
    Box05TableAppend(out, eUniTexts[TEXT_LAYER]);
    Box05TableAppend(out, LayerIsDefined(p.layer) ? g_LayerDefs[p.layer].name : eUniTexts[TEXT_NONE]);
}

void Box05PenDialogCreate(HWND mainWindow)
{
    g_PenTable.kind = &PEN_KIND;
    g_PenTable.work = g_PenDialogWork.pens;
    AppRegisterPenWork(&g_PenDialogWork);
    Box05TableCreate(&g_PenTable, mainWindow);
}

void Box05PenDialogShow(int32_t pen)
{
    Box05TableShow(&g_PenTable, pen);
}

void Box05PenDialogDestroy()
{
    Box05TableDestroy(&g_PenTable);
    AppRegisterPenWork(nullptr);
}

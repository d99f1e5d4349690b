// The layer table window (template LAYERDEF) and the layer summary.
#include <cstdio>
#include <cstring>

#include "app/darad4.h"
#include "app/system.h"
#include "app/window.h"
#include "database/object_usage.h"
#include "dialogs/box01.h"
#include "dialogs/box05_defs.h"
#include "dialogs/box05_pens.h"
#include "files/file_onesection.h"
#include "language/language.h"

LayerDialogWork g_LayerDialogWork;
TableWindow g_LayerTable;

namespace {

constexpr int CAPTION_COMMAND = 309; // the layer table command
constexpr int CAPTION_LOAD_LAYERS = 65, CAPTION_SAVE_LAYERS = 66; // eCaptionTexts
constexpr int TEXT_SETS = 60, TEXT_SET_B = 59, TEXT_NO_OWN = 53, TEXT_PEN = 81, TEXT_LINE = 82, TEXT_FILL = 83,
              TEXT_CAP = 75, TEXT_JOIN = 78;
// Own-flag bits of an XProperty: the fields a layer sets itself.
constexpr uint32_t OWN_PEN = 1, OWN_FILL_MODE = 2, OWN_COLOR1 = 4, OWN_COLOR2 = 8, OWN_WIDTH = 16, OWN_LINE_TYPE = 32,
                   OWN_CAP_JOIN = 128;
constexpr uint32_t CAP_MASK = 0xF00, JOIN_MASK = 0xF000, CAP_STEP = 0x100, JOIN_STEP = 0x1000;
constexpr int STYLE_CHOICES = 3;
constexpr int FILL_MODE_NAMES = 5; // eFillModeNames

void *DrawingLayers()
{
    return g_LayerDefs;
}

char *LayerName(void *table, int i)
{
    return static_cast<LayerDef *>(table)[i].name;
}

uint32_t *LayerState(void *table, int i)
{
    return &static_cast<LayerDef *>(table)[i].state;
}

void LayerLinkCopy(void *table, int i, bool aToB)
{
    LayerDef &l = static_cast<LayerDef *>(table)[i];
    if (aToB)
        l.setB = l.setA;
    else
        l.setA = l.setB;
}

void PaintLayerRow(const DRAWITEMSTRUCT *item, int index, const void *table,
                   const char (*groups)[BOX01_GROUP_NAME_SIZE], int link)
{
    Box01DrawItemLayerRow(item, index, static_cast<const LayerDef *>(table), groups, link);
}

void SummaryOf(TableWindow *w, int i, char *out, const char *separator)
{
    Box06FormatLayerSummary(w, i, out, separator);
}

Property AsProperty(const XProperty &x)
{
    Property p = PropertyDefault();
    p.fillMode = x.fillMode;
    p.color1 = x.color1;
    p.color2 = x.color2;
    p.lineType = x.lineType;
    p.width = x.width;
    p.capJoin = x.capJoin;
    return p;
}

// The fields edited differs in become the layer's own (copyAll: every field).
void ApplyFields(const Property &before, const Property &edited, XProperty &target, bool copyAll)
{
    auto take = [&](bool changed, uint32_t bit, auto &field, auto value) {
        if (copyAll || changed) {
            field = value;
            target.ownFlags |= bit;
        }
    };
    take(edited.fillMode != before.fillMode, OWN_FILL_MODE, target.fillMode, edited.fillMode);
    take(edited.color1 != before.color1, OWN_COLOR1, target.color1, edited.color1);
    take(edited.color2 != before.color2, OWN_COLOR2, target.color2, edited.color2);
    take(edited.lineType != before.lineType, OWN_LINE_TYPE, target.lineType, edited.lineType);
    take(edited.width != before.width, OWN_WIDTH, target.width, edited.width);
    take(edited.capJoin != before.capJoin, OWN_CAP_JOIN, target.capJoin, edited.capJoin);
}

// The layer's sets are edited in the pen property dialog: the fields the
// user changes become the layer's own.
int EditLayerSets(TableWindow *w, const int *records, int count, bool setB, const char *caption)
{
    LayerDef *layers = static_cast<LayerDef *>(w->work);
    if (count == 1 && records[0] == 0)
        return 0; // the standard layer's sets are not edited here
    const XProperty &template_ = setB ? layers[records[0]].setB : layers[records[0]].setA;
    const Property before = AsProperty(template_);
    Property edited = before;
    if (!Box05EditProperty(w->hwnd, caption, &edited))
        return 0;
    for (int i = 0; i < count; ++i) {
        const int l = records[i];
        if (l <= 0 || l >= LAYER_SLOTS)
            continue;
        ApplyFields(before, edited, setB ? layers[l].setB : layers[l].setA, false);
        if (w->link)
            LayerLinkCopy(layers, l, !setB);
    }
    return 1;
}

void HandOverLayers(TableWindow *w, int record)
{
    if (!g_MainWnd || !g_MsgLayer1)
        return;
    if (record >= 0) {
        SendMessageA(g_MainWnd, g_MsgLayer1, static_cast<WPARAM>(record), 0);
        return;
    }
    LayerDialogWork &b = g_LayerDialogWork;
    b.link = w->link;
    b.selected = w->selected;
    b.changes = DefChangeFlags{};
    b.changes.layers = w->changes.changed;
    memcpy(b.changes.layer, w->changes.record, sizeof b.changes.layer);
    SendMessageA(g_MainWnd, g_MsgLayer1, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&b));
}

INT_PTR CALLBACK LayerTableProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Box05TableProc(&g_LayerTable, window, message, wParam, lParam);
}

const TableKind LAYER_KIND = {
    "LAYERDEF", LayerTableProc, "IDI_TLAYER", CAPTION_COMMAND, BOX06_LAYER_TABLE_HELP, 388, 238,
    129, 137, 51, 114, 28, 115, 27, 101,
    55, 56, 80, 45,
    false, true,
    sizeof(LayerDef), DrawingLayers, &g_LayerLink, &g_ActiveLayer, &g_LayerListDirty, &g_Options.layerDialogVisible,
    &hGlobalLayerDialog, &g_MsgLayer2, &g_Options.layerDialogPlacement,
    LayerName, LayerState, LayerLinkCopy, PaintLayerRow, SummaryOf, ObjectScanLayerUse, EditLayerSets,
    HandOverLayers,
    CAPTION_LOAD_LAYERS, CAPTION_SAVE_LAYERS,
    [](const char *path, void *table, uint32_t *link, int32_t *active) {
        return FileLoadLayers(path, static_cast<LayerDef *>(table), link, active);
    },
    [](const char *path, const void *table, uint32_t link, int32_t active) {
        return FileSaveLayers(path, static_cast<const LayerDef *>(table), link, active);
    },
};



// The fields the set holds itself, each followed by "; ". Returns whether any.
bool AppendSet(char *out, const XProperty &x)
{
    const size_t start = strlen(out);
    if (x.ownFlags & OWN_PEN) {
        Box05TableAppend(out, PenIsDefined(x.pen) ? g_PenDefs[x.pen].name : "");
        Box05TableAppend(out, eUniTexts[TEXT_PEN]);
        Box05TableAppend(out, "; ");
    }
    if (x.ownFlags & OWN_LINE_TYPE) {
        Box05TableAppend(out, x.lineType >= 0 && x.lineType < LINE_SLOTS ? g_LineDefs[x.lineType].name : "");
        Box05TableAppend(out, eUniTexts[TEXT_LINE]);
        Box05TableAppend(out, "; ");
    }
    if (x.ownFlags & OWN_WIDTH) {
        char width[64], item[160];
        Box05FormatWidth(width, x.width);
        snprintf(item, sizeof item, "%s %s; ", width, g_ConvertState.widthLabel);
        Box05TableAppend(out, item);
    }
    if (x.ownFlags & OWN_COLOR2) {
        Box05TableAppendColour(out, x.color2);
        Box05TableAppend(out, eUniTexts[TEXT_LINE]);
        Box05TableAppend(out, "; ");
    }
    if (x.ownFlags & OWN_CAP_JOIN) {
        const uint32_t cap = (x.capJoin & CAP_MASK) / CAP_STEP, join = (x.capJoin & JOIN_MASK) / JOIN_STEP;
        if (cap < STYLE_CHOICES) {
            Box05TableAppend(out, eUniTexts[TEXT_CAP + static_cast<int>(cap)]);
            Box05TableAppend(out, "; ");
        }
        if (join < STYLE_CHOICES) {
            Box05TableAppend(out, eUniTexts[TEXT_JOIN + static_cast<int>(join)]);
            Box05TableAppend(out, "; ");
        }
    }
    if ((x.ownFlags & OWN_FILL_MODE) && x.fillMode >= 0 && x.fillMode < FILL_MODE_NAMES) {
        Box05TableAppend(out, eFillModeNames[x.fillMode]);
        Box05TableAppend(out, "; ");
    }
    if (x.ownFlags & OWN_COLOR1) {
        Box05TableAppendColour(out, x.color1);
        Box05TableAppend(out, eUniTexts[TEXT_FILL]);
        Box05TableAppend(out, "; ");
    }
    return strlen(out) > start;
}

// Removes a trailing "; ".
void TrimSeparator(char *out)
{
    const size_t n = strlen(out);
    if (n >= 2 && out[n - 2] == ';')
        out[n - 2] = 0;
}

} // namespace

void Box06FormatLayerSummary(TableWindow *w, int layer, char *out, const char *separator)
{
    out[0] = 0;
    if (layer < 0 || layer >= LAYER_SLOTS)
        return;
    const LayerDef &l = static_cast<const LayerDef *>(w->work)[layer];
    Box05TableAppend(out, eUniTexts[TEXT_SETS]);
    if (w->link)
        Box05TableAppend(out, eUniTexts[TEXT_SET_B]);
    bool any = AppendSet(out, l.setA);
    if (!w->link) {
        TrimSeparator(out);
        if (out[0])
            Box05TableAppend(out, separator);
        Box05TableAppend(out, eUniTexts[TEXT_SET_B]);
        any = AppendSet(out, l.setB) || any;
    }
    if (!any) {
        out[0] = 0;
        Box05TableAppend(out, eUniTexts[TEXT_NO_OWN]);
        return;
    }
    TrimSeparator(out);
}

void Box06LayerDialogCreate(HWND mainWindow)
{
    g_LayerTable.kind = &LAYER_KIND;
    g_LayerTable.work = g_LayerDialogWork.layers;
    AppRegisterLayerWork(&g_LayerDialogWork);
    Box05TableCreate(&g_LayerTable, mainWindow);
}

void Box06LayerDialogShow(int32_t layer)
{
    Box05TableShow(&g_LayerTable, layer);
}

void Box06LayerDialogDestroy()
{
    Box05TableDestroy(&g_LayerTable);
    AppRegisterLayerWork(nullptr);
}

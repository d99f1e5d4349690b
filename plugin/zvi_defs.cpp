// Definition access: the drawing's tables of pens, layers, line types,
// hatches, multilines, coordinate systems, pages, variables and colours,
// copied whole across the boundary.
#include <cstring>

#include "app/status.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "database/object_flags.h"
#include "display/output_paint.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"

namespace {

constexpr int FIRST_SETTABLE = 1; // slot 0 of every table is fixed
constexpr int FIRST_NAMED_COLOR = STANDARD_COLORS;

// One definition table as the GetDef and SetDef exports see it. A slot is
// in use when its name's first byte is not 0.
struct DefTable {
    void *slots;
    size_t recordSize;
    int count;
    void (*refresh)();
};

void *Slot(const DefTable &t, int index) { return static_cast<uint8_t *>(t.slots) + index * t.recordSize; }
bool InUse(const DefTable &t, int index)
{
    return index >= 0 && index < t.count && *static_cast<const char *>(Slot(t, index)) != 0;
}

int GetDef(const DefTable &t, int index, void *out, const char *function, int line)
{
    if (!ZviWritable(out, t.recordSize))
        return ZviRefuse(function, line, "Data address invalid!");
    if (!InUse(t, index))
        return 0; // quietly: an index outside the table or an empty slot
    std::memcpy(out, Slot(t, index), t.recordSize);
    return 1;
}

int SetDef(const DefTable &t, int index, const void *in, size_t nameSize, const char *function, int line)
{
    if (!ZviReadable(in, t.recordSize))
        return ZviRefuse(function, line, "Data address invalid!");
    if (index < FIRST_SETTABLE || index >= t.count)
        return 0;
    // A name without its terminator inside its field would run into the record.
    if (!std::memchr(in, 0, nameSize))
        return ZviRefuse(function, line, "Name too long!");
    std::memcpy(Slot(t, index), in, t.recordSize);
    if (t.refresh)
        t.refresh();
    return 1;
}

void RefreshPens()
{
    g_PenListDirty = 1;
    ObjectResolveAllProperties();
}

void RefreshLayers()
{
    g_LayerListDirty = 1;
    ObjectUpdateDisplayFlagsAll(0);
    ObjectValidateDefaultSlots();
}

int s_SystemSet = 0;
void RefreshSystem() { WindowUpdateSystem(s_SystemSet); }

const DefTable PENS{g_PenDefs, sizeof(PenDef), PEN_SLOTS, RefreshPens};
const DefTable LAYERS{g_LayerDefs, sizeof(LayerDef), LAYER_SLOTS, RefreshLayers};
const DefTable LINES{g_LineDefs, sizeof(LineDef), LINE_SLOTS, nullptr};
const DefTable HATCHES{g_HatchDefs, sizeof(HatchDef), HATCH_SLOTS, nullptr};
const DefTable MULTILINES{g_MultiLineDefs, sizeof(MultiLineDef), MULTILINE_SLOTS, nullptr};
const DefTable SYSTEMS{g_SystemDefs, sizeof(SystemDef), SYSTEM_SLOTS, RefreshSystem};

static_assert(sizeof(PenDef) == ZVI_SIZE_PENDEF && sizeof(LayerDef) == ZVI_SIZE_LAYERDEF);
static_assert(sizeof(LineDef) == ZVI_SIZE_LINEDEF && sizeof(HatchDef) == ZVI_SIZE_HATCHDEF);
static_assert(sizeof(MultiLineDef) == ZVI_SIZE_MULTILINEDEF && sizeof(SystemDef) == ZVI_SIZE_SYSTEMDEF);
static_assert(sizeof(PageDef) == ZVI_SIZE_PAGEDEF);

bool PageIndexValid(int index) { return index >= 0 && index < g_PageDefs.count; }

// The entry whose name equals name without regard to case, or -1.
template <typename T>
int FindNamed(T *table, int first, int count, const char *name)
{
    for (int i = first; i < count; ++i)
        if (table[i].name[0] && lstrcmpiA(table[i].name, name) == 0)
            return i;
    return -1;
}

} // namespace

extern "C" {

int ZVI_CALL ZVI_PenGetDef(int, int index, void *out) { return GetDef(PENS, index, out, __func__, __LINE__); }
int ZVI_CALL ZVI_PenSetDef(int, int index, const void *in)
{
    return SetDef(PENS, index, in, DEF_NAME_LONG, __func__, __LINE__);
}
int ZVI_CALL ZVI_PenGetCurrentDef(void *out) { return GetDef(PENS, g_ActivePen, out, __func__, __LINE__); }
int ZVI_CALL ZVI_PenGetActive() { return g_ActivePen; }

int ZVI_CALL ZVI_LayerGetDef(int, int index, void *out) { return GetDef(LAYERS, index, out, __func__, __LINE__); }
int ZVI_CALL ZVI_LayerSetDef(int, int index, const void *in)
{
    return SetDef(LAYERS, index, in, DEF_NAME_LONG, __func__, __LINE__);
}
int ZVI_CALL ZVI_LayerGetCurrentDef(void *out) { return GetDef(LAYERS, g_ActiveLayer, out, __func__, __LINE__); }
int ZVI_CALL ZVI_LayerGetActive() { return g_ActiveLayer; }

int ZVI_CALL ZVI_LineGetDef(int, int index, void *out) { return GetDef(LINES, index, out, __func__, __LINE__); }
int ZVI_CALL ZVI_LineSetDef(int, int index, const void *in)
{
    // More pairs than a line type holds would be read past its lengths.
    if (ZviReadable(in, sizeof(LineDef))) {
        const int32_t pairs = static_cast<const LineDef *>(in)->pairs;
        if (pairs < 0 || pairs > LINE_MAX_PAIRS)
            return ZVI_REFUSE("Data invalid!");
    }
    return SetDef(LINES, index, in, DEF_NAME_SHORT, __func__, __LINE__);
}

int ZVI_CALL ZVI_HatchGetDef(int, int index, void *out) { return GetDef(HATCHES, index, out, __func__, __LINE__); }
int ZVI_CALL ZVI_HatchSetDef(int, int index, const void *in)
{
    return SetDef(HATCHES, index, in, DEF_NAME_LONG, __func__, __LINE__);
}
int ZVI_CALL ZVI_HatchGetCurrentDef(void *out) { return GetDef(HATCHES, g_CurrentHatch, out, __func__, __LINE__); }
int ZVI_CALL ZVI_HatchGetActive() { return g_CurrentHatch; }
int ZVI_CALL ZVI_HatchGetOrigin(int, double origin[2])
{
    if (!ZviWritable(origin, 2 * sizeof(double)))
        return ZVI_REFUSE("Data address invalid!");
    origin[0] = g_HatchOrigin[0];
    origin[1] = g_HatchOrigin[1];
    return 1;
}

int ZVI_CALL ZVI_MultiLineGetDef(int, int index, void *out)
{
    return GetDef(MULTILINES, index, out, __func__, __LINE__);
}
int ZVI_CALL ZVI_MultiLineSetDef(int, int index, const void *in)
{
    return SetDef(MULTILINES, index, in, DEF_NAME_SHORT, __func__, __LINE__);
}

int ZVI_CALL ZVI_SystemGetDef(int, int index, void *out) { return GetDef(SYSTEMS, index, out, __func__, __LINE__); }
int ZVI_CALL ZVI_SystemSetDef(int, int index, const void *in)
{
    s_SystemSet = index;
    return SetDef(SYSTEMS, index, in, DEF_NAME_SHORT, __func__, __LINE__);
}

// --- pages

int ZVI_CALL ZVI_PageGetCurrentDef(void *out)
{
    if (!ZviWritable(out, sizeof(PageDef)))
        return ZVI_REFUSE("Data address invalid!");
    if (!PageIndexValid(g_PageDefs.active))
        return 0;
    std::memcpy(out, &g_PageDefs.pages[g_PageDefs.active], sizeof(PageDef));
    return 1;
}

int ZVI_CALL ZVI_PageGetDef(int, int index, void *out)
{
    if (!ZviWritable(out, sizeof(PageDef)))
        return ZVI_REFUSE("Data address invalid!");
    if (!PageIndexValid(index))
        return ZVI_REFUSE("Index invalid!");
    std::memcpy(out, &g_PageDefs.pages[index], sizeof(PageDef));
    return 1;
}

int ZVI_CALL ZVI_PageSetDef(int, int index, const void *in)
{
    if (!ZviReadable(in, sizeof(PageDef)))
        return ZVI_REFUSE("Data address invalid!");
    if (!PageIndexValid(index))
        return ZVI_REFUSE("Index invalid!");
    std::memcpy(&g_PageDefs.pages[index], in, sizeof(PageDef));
    return 1;
}

int ZVI_CALL ZVI_PageGetActive() { return g_PageDefs.active; }
int ZVI_CALL ZVI_PageGetNumber() { return g_PageDefs.count; }

int ZVI_CALL ZVI_PageSetActive(int, int index)
{
    if (!PageIndexValid(index))
        return ZVI_REFUSE("Index invalid!");
    g_PageDefs.active = index;
    return 1;
}

int ZVI_CALL ZVI_PageAddDef(int, const void *in)
{
    if (!ZviReadable(in, sizeof(PageDef)))
        return ZVI_REFUSE("Data address invalid!");
    if (g_PageDefs.count >= PAGE_SLOTS)
        return ZVI_REFUSE("Already 100 pages defined!");
    std::memcpy(&g_PageDefs.pages[g_PageDefs.count++], in, sizeof(PageDef));
    return 1;
}

int ZVI_CALL ZVI_PageDeleteDef(int, int index)
{
    if (!PageIndexValid(index))
        return ZVI_REFUSE("Index invalid!");
    for (int i = index; i + 1 < g_PageDefs.count; ++i) {
        g_PageDefs.pages[i] = g_PageDefs.pages[i + 1];
        std::memcpy(g_PageDefs.frames[i], g_PageDefs.frames[i + 1], sizeof g_PageDefs.frames[i]);
    }
    --g_PageDefs.count;
    if (g_PageDefs.active >= g_PageDefs.count)
        g_PageDefs.active = g_PageDefs.count - 1;
    return 1;
}

// --- variables and colours

int ZVI_CALL ZVI_VariableGetDef(int, const char *name, char *value)
{
    const int length = ZviTextLength(name, DEF_NAME_SHORT - 1);
    if (length < 0)
        return ZVI_REFUSE("Name address invalid!");
    if (!ZviWritable(value, VARIABLE_VALUE_SIZE))
        return ZVI_REFUSE("Data address invalid!");
    value[0] = 0;
    if (length >= DEF_NAME_SHORT)
        return 0;
    const int i = FindNamed(g_VariableDefs, 0, VARIABLE_SLOTS, name);
    if (i < 0)
        return 0;
    ZviCopyText(value, g_VariableDefs[i].value, VARIABLE_VALUE_SIZE);
    return 1;
}

int ZVI_CALL ZVI_VariableSetDef(int, const char *name, const char *value)
{
    const int length = ZviTextLength(name, DEF_NAME_SHORT - 1);
    if (length < 0)
        return ZVI_REFUSE("Name address invalid!");
    if (length == 0 || length >= DEF_NAME_SHORT)
        return ZVI_REFUSE("Name too long!");
    const int valueLength = value ? ZviTextLength(value, VARIABLE_VALUE_SIZE - 1) : 0;
    if (valueLength < 0)
        return ZVI_REFUSE("Data address invalid!");
    if (valueLength >= VARIABLE_VALUE_SIZE)
        return ZVI_REFUSE("Value too long!");
    int i = FindNamed(g_VariableDefs, 0, VARIABLE_SLOTS, name);
    if (!value) {
        if (i < 0)
            return 0;
        std::memset(&g_VariableDefs[i], 0, sizeof(VariableDef));
        return 1;
    }
    if (i < 0) {
        for (i = 0; i < VARIABLE_SLOTS && g_VariableDefs[i].name[0]; ++i) {
        }
        if (i == VARIABLE_SLOTS)
            return 0;
        ZviCopyText(g_VariableDefs[i].name, name, DEF_NAME_SHORT);
    }
    ZviCopyText(g_VariableDefs[i].value, value, VARIABLE_VALUE_SIZE);
    return 1;
}

int ZVI_CALL ZVI_ColorAddDef(int, const char *name, COLORREF color)
{
    const int length = ZviTextLength(name, DEF_NAME_SHORT - 1);
    if (length < 0)
        return ZVI_REFUSE("Name address invalid!");
    if (length == 0 || length >= DEF_NAME_SHORT)
        return ZVI_REFUSE("Name too long!");
    for (int i = FIRST_NAMED_COLOR; i < COLOR_SLOTS; ++i) {
        ColorDef &c = g_ColorDefs[i];
        if (!c.name[0] || lstrcmpiA(c.name, name) == 0) {
            ZviCopyText(c.name, name, DEF_NAME_SHORT);
            c.color = color;
            return 1;
        }
    }
    return 0;
}

} // extern "C"

// --- the active entries

namespace {

// What every change of an active entry ends with: conversions follow the
// active window again and the property bar shows the new entries.
void ActiveChanged()
{
    WindowSelectCurrent();
    StatusRefreshActiveCells();
}

} // namespace

extern "C" {

int ZVI_CALL ZVI_LayerSetActive(int, int index)
{
    if (!InUse(LAYERS, index))
        return ZVI_REFUSE("Index invalid!");
    g_ActiveLayer = index;
    ObjectUpdateDisplayFlagsAll(0);
    ActiveChanged();
    return 1;
}

int ZVI_CALL ZVI_PenSetActive(int drawing, int index)
{
    if (!InUse(PENS, index))
        return ZVI_REFUSE("Index invalid!");
    // A pen that names a layer brings it along.
    const int32_t layer = g_PenDefs[index].layer;
    if (InUse(LAYERS, layer))
        ZVI_LayerSetActive(drawing, layer);
    g_ActivePen = index;
    ActiveChanged();
    return 1;
}

int ZVI_CALL ZVI_HatchSetActive(int, int index)
{
    if (!InUse(HATCHES, index))
        return ZVI_REFUSE("Index invalid!");
    g_CurrentHatch = index;
    StatusRefreshActiveCells();
    return 1;
}

int ZVI_CALL ZVI_SystemGetActive(int, int window)
{
    const DrawWindow *w = WindowGetRecord(window);
    if (!w || (window != WINDOW_VIEW && window >= g_DrawWindowCount))
        return ZVI_REFUSE("WindowNum invalid!");
    return w->system;
}

int ZVI_CALL ZVI_SystemGetCurrentDef(void *out)
{
    const DrawWindow *w = WindowGetRecord(g_ActiveWindow);
    return GetDef(SYSTEMS, w ? w->system : 0, out, __func__, __LINE__);
}

int ZVI_CALL ZVI_SystemSetActive(int, int window, int index)
{
    DrawWindow *w = WindowGetRecord(window);
    if (!w || (window != WINDOW_VIEW && window >= g_DrawWindowCount))
        return ZVI_REFUSE("WindowNum invalid!");
    if (!InUse(SYSTEMS, index))
        return ZVI_REFUSE("Index invalid!");
    w->system = index;
    WindowUpdateSystem(index);
    WindowSelectCurrent();
    WindowSetActive(g_ActiveWindow, 1);
    OutputRedrawAll(0);
    StatusRefreshActiveCells();
    return 1;
}

} // extern "C"

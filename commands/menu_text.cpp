// The Text and Dimension menu's handler (800 to 843): standard texts placed
// at a point, framed texts between two corners and texts turned into curves,
// each change in one undo step after its dialog. The dimension and measure
// commands are not handled here yet and beep.
#include "commands/menu.h"

#include "app/darad4.h"
#include "app/init_sound.h"
#include "app/system.h"
#include "commands/command_menu.h"
#include "commands/command_state.h"
#include "commands/input_prepare_dialogs.h"
#include "database/object_attributes.h"
#include "database/object_rects.h"
#include "database/object_select.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/box07.h"
#include "display/output_paint.h"
#include "display/symbol.h"
#include "geometry/matrix.h"

namespace {

constexpr int CAPTION_SIZE = 256;
constexpr uint32_t SELECTED_MASK = 4;

// The builder runs inside one undo step; a refusal leaves no step behind.
template <typename Build>
int InUndoStep(Build build)
{
    UndoInitProcess();
    if (build()) {
        UndoFinishProcess();
        return 1;
    }
    UndoCancelProcess();
    return 0;
}

// 801: the text and matrix were set by the dialog before the input; each
// click places one more copy at cp 0.
void PlaceStandardText()
{
    Matrix m = g_CommandState->matrix;
    MatrixMove(&m, g_ConstructionPoints[0].x, g_ConstructionPoints[0].y);
    if (InUndoStep([&] {
            return SymbolCreateStdText(&g_DrawingSettings.textStd, g_LocalData.texts[LOCAL_STD_TEXT], &m);
        }))
        OutputInvalidateAreaAll(g_ChangedRect);
}

void FrameTextToAttributes(const TextSettings &s, AttrFrameText *t)
{
    t->font = s.font;
    t->charSpacing = s.distance[0];
    t->tabUnit = s.distance[1];
    t->lineSpacing = s.distance[2];
    t->height = s.height;
    t->alignment = s.mode;
}

void FrameTextFromAttributes(const AttrFrameText &t, TextSettings *s)
{
    s->font = t.font;
    s->distance[0] = t.charSpacing;
    s->distance[1] = t.tabUnit;
    s->distance[2] = t.lineSpacing;
    s->height = t.height;
    s->mode = t.alignment;
}

// 802: the settings and the remembered text in the framed-text dialog, then
// the text in the frame of the two entered corners.
void PlaceFrameText(HWND mainWindow, int commandId)
{
    TempBlock<ObjectAttributes> attributes(1, __FILE_NAME__, __LINE__);
    if (!attributes)
        return;
    ObjectAttributes &a = *attributes.get();
    ObjectAttributesInit(&a);
    a.present[ATTR_FRAME_TEXT] = 1;
    TextSettings &s = g_DrawingSettings.textFrame;
    FrameTextToAttributes(s, &a.frameText);
    char caption[CAPTION_SIZE];
    InputCommandCaption(commandId, caption, sizeof caption);
    char *text = g_LocalData.texts[LOCAL_FRAME_TEXT];
    if (!Box07TextFrame(mainWindow, caption, &a, text))
        return;
    FrameTextFromAttributes(a.frameText, &s);
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const ConstructionPoint &p = g_ConstructionPoints[0], &q = g_ConstructionPoints[1];
    if (InUndoStep([&] { return SymbolCreateFrameText(&s, text, p.x, p.y, q.x, q.y); }))
        OutputInvalidateAreaAll(g_ChangedRect);
    SetCursor(previous);
}

// 804: the selected texts become surfaces; the copy mode keeps the texts.
void TextToCurves()
{
    g_CommandState->selectedCount = ObjectExtentsSelected(0, SELECTED_MASK);
    if (g_CommandState->selectedCount <= 0)
        return;
    const int keep = g_DrawingSettings.displayDuplicate ? 1 : 0;
    if (InUndoStep([&] { return SymbolTextToCurvesCommand(SELECTED_MASK, keep); }))
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
}

// The numbers that stand for a submenu.
bool IsSubmenu(int commandId)
{
    switch (commandId) {
    case 800: case 803: case 805: case 808: case 823: case 824: case 825: case 827: case 830: case 835: case 838:
        return true;
    default: return false;
    }
}

} // namespace

void MenuTextDimensionCommand(HWND mainWindow, int commandId)
{
    switch (commandId) {
    case 801: PlaceStandardText(); return;
    case 802: PlaceFrameText(mainWindow, commandId); return;
    case 804: TextToCurves(); return;
    default:
        if (IsSubmenu(commandId))
            CommandShowSubmenu(commandId, nullptr);
        else
            InitBeep(); // the dimension and measure commands come later
        return;
    }
}

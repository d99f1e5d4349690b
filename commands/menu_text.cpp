// The Text and Dimension menu's handler (800 to 843): standard texts placed
// at a point, framed texts between two corners, texts turned into curves,
// lines with line ends, the dimensions and their edits, each change in one
// undo step after its dialog; the measure commands show their values and
// change nothing.
#include "commands/menu.h"

#include <cstring>

#include "app/darad4.h"
#include "app/init_sound.h"
#include "app/system.h"
#include "commands/command_menu.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/input_construct_dim.h"
#include "commands/input_prepare_dialogs.h"
#include "database/object.h"
#include "database/object_dim.h"
#include "database/object_attributes.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/object_select.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "dialogs/box02.h"
#include "dialogs/box07.h"
#include "dialogs/box10_dim.h"
#include "dialogs/box11.h"
#include "dialogs/box11_dimtext.h"
#include "files/file_charlib.h"
#include "files/file_drawinginfo.h"
#include "display/output_paint.h"
#include "display/output_select.h"
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

// The texts of the command's kind in their dialog before the dimension is
// built, when the drawing asks for it: 0 when the user cancelled.
int AskDimensionTexts(HWND mainWindow, int commandId)
{
    DrawingSettings &s = g_DrawingSettings;
    const int k = g_CommandState->variant;
    const bool coordinate = commandId == 822;
    if (!s.dimLayoutEditText || k < 0 || k >= (coordinate ? DIM_SMALL_RECORDS : DIM_VARIANTS))
        return 1;
    TempBlock<DimensionText> copy(1, __FILE_NAME__, __LINE__);
    if (!copy)
        return 1; // built with the texts as they are
    DimensionText &d = *copy.get();
    char(*texts)[SETTINGS_TEXT_SIZE] = coordinate ? s.dimSmallTexts[k] : s.dimLargeTexts[k];
    uint32_t &automatic = coordinate ? s.dimSmallNumbers[k][0] : s.dimLargeNumbers[k][0];
    static_assert(DIMENSION_TEXT_COUNT == DIM_TEXTS && DIMENSION_TEXT_SIZE == SETTINGS_TEXT_SIZE);
    std::memcpy(d.text, texts, sizeof d.text);
    d.automatic = automatic;
    char caption[CAPTION_SIZE];
    InputCommandCaption(commandId, caption, sizeof caption);
    const uint32_t ok = coordinate ? Box11EditDimensionText2(mainWindow, caption, &d)
                                   : Box11EditDimensionText1(mainWindow, caption, &d);
    if (!ok)
        return 0;
    std::memcpy(texts, d.text, sizeof d.text);
    automatic = d.automatic;
    return 1;
}

template <typename Build>
void BuildDimension(HWND mainWindow, int commandId, Build build)
{
    if (!AskDimensionTexts(mainWindow, commandId))
        return;
    if (InUndoStep(build))
        OutputInvalidateAreaAll(g_ChangedRect);
}

// A change of existing objects in one undo step, repainting what went and came.
template <typename Change>
void ChangeInUndoStep(Change change)
{
    if (InUndoStep(change))
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
}

// 826: the number format and font of every dimension.
void DimensionNumberFormat(HWND mainWindow, int commandId)
{
    TempBlock<ObjectAttributes> attributes(1, __FILE_NAME__, __LINE__);
    if (!attributes)
        return;
    ObjectAttributes &a = *attributes.get();
    ObjectAttributesInit(&a);
    ObjectDimAttributesFromSettings(&a, ATTR_DIM_PARAMETER, 0);
    char caption[CAPTION_SIZE];
    InputCommandCaption(commandId, caption, sizeof caption);
    if (!Box10DimensionData(mainWindow, caption, &a, 1))
        return;
    ObjectDimAttributesToSettings(&a, ATTR_DIM_PARAMETER, 0);
    ObjectRefreshDimensions();
    FileSetModified(); // the dimensions changed, though not as an undo step
    OutputRedrawAll(1);
}

void ClearSelection()
{
    if (g_CommandState->selectionDrawn)
        ObjectDeselectAll();
    else
        ObjectSelectionReset();
}

// 833: the selected dimensions recomputed with their values.
void RegenerateSelected()
{
    g_CommandState->selectedCount = ObjectExtentsSelected(0, SELECTED_MASK);
    if (g_CommandState->selectedCount <= 0)
        return;
    if (InUndoStep([] { return ObjectRegenerateDimensions(SELECTED_MASK); })) {
        ClearSelection();
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
    }
}

// 834: the texts of the one selected object in their dialog.
void EditOneObject(HWND mainWindow)
{
    g_CommandState->selectedCount = ObjectExtentsSelected(0, SELECTED_MASK);
    if (g_CommandState->selectedCount <= 0)
        return;
    if (g_CommandState->selectedCount > 1) {
        AlertSM6(mainWindow);
        return;
    }
    if (InUndoStep([] { return ObjectEditIdentified(SELECTED_MASK); })) {
        OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect);
        return;
    }
    ClearSelection();
    OutputRedrawSelection();
}

// 839: the character libraries.
void CharacterLibraries(HWND mainWindow, int commandId)
{
    char caption[CAPTION_SIZE];
    InputCommandCaption(commandId, caption, sizeof caption);
    if (!Box11FontHandling(mainWindow, caption))
        return;
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    FileApplyCharLibraryMarks();
    SetCursor(previous);
    OutputRedrawAll(1);
}

// The measure commands: the values in their box, nothing changed.
void Measure(HWND mainWindow, int commandId)
{
    char caption[CAPTION_SIZE];
    InputCommandCaption(commandId, caption, sizeof caption);
    const auto pt = [](int i) { return CalcPoint{g_ConstructionPoints[i].x, g_ConstructionPoints[i].y}; };
    switch (commandId) {
    case 836: Box02ShowValuePoint(mainWindow, caption, pt(0)); break;
    case 837: Box02ShowValueTwoPoints(mainWindow, caption, pt(0), pt(1)); break;
    case 843:
        Box02ShowValueThreePoints(mainWindow, caption, pt(7), pt(10), pt(11), g_ConstructionPoints[12].x >= 0.0 ? 1 : 0);
        break;
    default: Box02ShowValueTwoPointsAlt(mainWindow, caption, pt(0), pt(1)); break;
    }
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
    const int k = g_CommandState->variant;
    switch (commandId) {
    case 801: PlaceStandardText(); return;
    case 802: PlaceFrameText(mainWindow, commandId); return;
    case 804: TextToCurves(); return;
    case 806: BuildDimension(mainWindow, 0, [] { return ObjectNewLineStr(0, 1); }); return;
    case 807: BuildDimension(mainWindow, 0, [] { return ObjectNewLineCurved(0, 1, 2, 3, 4); }); return;
    case 809: case 810: case 811: case 812:
        BuildDimension(mainWindow, commandId, [k] { return ObjectNewDimDist(k); });
        return;
    case 813: case 814:
        BuildDimension(mainWindow, commandId, [k] { return ObjectNewDimRadius(OBJTYPE_DIM_RAD, k); });
        return;
    case 815: case 816:
        BuildDimension(mainWindow, commandId, [k] { return ObjectNewDimRadius(OBJTYPE_DIM_DIA, k); });
        return;
    case 817: case 818: case 819:
        BuildDimension(mainWindow, commandId, [k] { return ObjectNewDimAngle(k); });
        return;
    case 820: case 821: BuildDimension(mainWindow, commandId, [k] { return ObjectNewDimArc(k); }); return;
    case 822: BuildDimension(mainWindow, commandId, [k] { return ObjectNewDimCoord(k); }); return;
    case 826: DimensionNumberFormat(mainWindow, commandId); return;
    case 828: ChangeInUndoStep(ObjectSetDimensionDirection); return;
    case 829: ChangeInUndoStep(ObjectMoveDimensionLine); return;
    case 831: ChangeInUndoStep(ObjectSetDimensionTextDirection); return;
    case 832: ChangeInUndoStep(ObjectMoveDimensionText); return;
    case 833: RegenerateSelected(); return;
    case 834: EditOneObject(mainWindow); return;
    case 836: case 837: case 840: case 841: case 842: case 843: Measure(mainWindow, commandId); return;
    case 839: CharacterLibraries(mainWindow, commandId); return;
    default:
        if (IsSubmenu(commandId))
            CommandShowSubmenu(commandId, nullptr);
        else
            InitBeep();
        return;
    }
}

namespace {

// The constructions of the dimension commands join the input machine when
// this handler is linked in.
struct DimensionInputRegistration {
    DimensionInputRegistration()
    {
        g_InputConstructors[CONSTRUCT_DIMENSION] = InputConstructDimension;
        g_InputConstructors[CONSTRUCT_ANGLE_DIMENSION] = InputConstructAngleDimension;
    }
};
const DimensionInputRegistration s_Registration;

} // namespace

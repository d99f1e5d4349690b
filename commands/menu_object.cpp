// The Object menu's handler (400 to 453): transformations of the selection
// through the drawing database's services, each in its own undo step,
// deletion, reordering, point moves and copy properties. The constructions
// and the pointer of these commands join the input machine here.
#include "commands/menu.h"

#include <cstring>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_sound.h"
#include "app/system.h"
#include "app/system_current.h"
#include "commands/command_menu.h"
#include "commands/command_state.h"
#include "commands/input.h"
#include "commands/input_transform.h"
#include "commands/menu_block.h"
#include "commands/menu_object_matrix.h"
#include "database/object.h"
#include "database/object_dim.h"
#include "database/object_flags.h"
#include "database/object_modify.h"
#include "database/object_property.h"
#include "database/object_rects.h"
#include "database/object_select.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "dialogs/box10.h"
#include "dialogs/box14.h"
#include "display/output_paint.h"
#include "display/output_select.h"

namespace {

constexpr int TITLE_SIZE = 256;

uint32_t &TransformCopySwitch()
{
    return *reinterpret_cast<uint32_t *>(reinterpret_cast<uint8_t *>(&g_LocalData) + LOCAL_OFS_TRANSFORM_COPY);
}

int CopyMode() { return g_DrawingSettings.displayDuplicate ? 1 : 0; }

void RepaintBoth() { OutputInvalidateTwoAreas(g_ExtentsRect, g_ChangedRect); }

void ClearSelection()
{
    if (g_CommandState->selectionDrawn)
        ObjectDeselectAll();
    else
        ObjectSelectionReset();
    OutputRedrawSelection();
}

// The points and the picked line of the finished input, with the extents of
// the selection.
ObjectMatrixInput MatrixInput()
{
    ObjectMatrixInput in{};
    std::memcpy(in.extents, g_ExtentsRect, sizeof in.extents);
    in.cp1[0] = g_ConstructionPoints[1].x, in.cp1[1] = g_ConstructionPoints[1].y;
    in.cp2[0] = g_ConstructionPoints[2].x, in.cp2[1] = g_ConstructionPoints[2].y;
    const GeoObject &line = g_CommandState->elementGeo[1];
    for (int i = 0; i < 4; ++i)
        in.line[i] = line.d[i];
    const PageFrame &page = SystemActivePageFrame();
    in.page[0] = (page.xmin + page.xmax) / 2;
    in.page[1] = (page.ymin + page.ymax) / 2;
    return in;
}

// In place keeps the objects' types; distort turns them distortable first.
void InPlace(const Matrix &m, int keep, int mark)
{
    if (ObjectTransformSelectionInPlace(&m, UNIT_SELECTED, keep, mark))
        RepaintBoth();
}

void Distort(const Matrix &m, int keep, int mark)
{
    if (ObjectTransformSelectionDistort(&m, UNIT_SELECTED, keep, mark))
        RepaintBoth();
}

void Title(char *title, int commandId)
{
    title[0] = 0;
    ConvertGetCommandTitle(title, commandId);
}

// The dialog commands 408, 410, 415.
void DialogTransform(HWND mainWindow, int commandId)
{
    char title[TITLE_SIZE];
    Title(title, commandId);
    CommandDefaults &c = g_CommandDefaults;
    uint32_t &copy = TransformCopySwitch();
    Matrix m;
    MatrixInit(&m);
    const double *e = g_ExtentsRect;
    const double cx = (e[0] + e[2]) / 2, cy = (e[1] + e[3]) / 2;
    switch (commandId) {
    case 408:
        if (!Box10MoveRelative(mainWindow, title, &c.transformMove[0], &c.transformMove[1], &copy))
            return;
        MatrixMove(&m, c.transformMove[0], c.transformMove[1]);
        InPlace(m, copy, 0);
        return;
    case 410:
        if (!Box10ScaleFactor(mainWindow, title, &c.transformScale[0], &c.transformScale[1], &copy))
            return;
        if (!MenuObjectScaleMatrix(e, c.transformScale[0], c.transformScale[1], &m)) {
            AlertSM8(mainWindow); // a zero factor would collapse the selection
            return;
        }
        if (c.transformScale[0] == c.transformScale[1])
            InPlace(m, copy, 0);
        else
            Distort(m, copy, 0);
        return;
    case 415:
        if (!Box10RotateMidpoint(mainWindow, title, &c.transformAngle, &copy))
            return;
        MatrixMove(&m, -cx, -cy);
        MatrixRotate(&m, c.transformAngle);
        MatrixMove(&m, cx, cy);
        InPlace(m, copy, 0);
        return;
    default: return;
    }
}

void PointTransform(int commandId)
{
    Matrix m;
    const int copy = CopyMode();
    if (!MenuObjectMatrix(commandId, MatrixInput(), &m)) {
        AlertSM8(g_MainWnd); // a shear along a zero component has no solution
        return;
    }
    switch (commandId) {
    case 405:
        if (ObjectTransformSelectionInPlace(&m, UNIT_SELECTED, copy, copy)) {
            if (copy)
                OutputInvalidateAreaAll(g_ChangedRect);
            else
                RepaintBoth();
        }
        return;
    case 416: InPlace(m, copy, copy); return;
    case 412: Distort(m, copy, 0); return;
    case 423:
    case 424: Distort(m, copy, copy); return;
    default: InPlace(m, copy, 0); return;
    }
}

void MovePoints(HWND mainWindow, int commandId)
{
    Matrix m;
    MatrixInit(&m);
    uint32_t copy = uint32_t(CopyMode());
    if (commandId == 443) {
        const ConstructionPoint &a = g_ConstructionPoints[0], &b = g_ConstructionPoints[1];
        MatrixMove(&m, b.x - a.x, b.y - a.y);
        const int moved = ObjectMovePointsAt(a.x, a.y, &m, int(copy));
        ObjectClearPointSelection();
        if (moved)
            RepaintBoth();
        return;
    }
    if (!ObjectExtentsSelectedPoints(POINT_SELECTED)) {
        AlertSM13(mainWindow);
        return;
    }
    bool ok = false;
    if (commandId == 439) {
        const ConstructionPoint &a = g_ConstructionPoints[1], &b = g_ConstructionPoints[2];
        MatrixMove(&m, b.x - a.x, b.y - a.y);
        ObjectUpdatePointSelection();
        ok = ObjectMoveSelectedPoints(&m, UNIT_POINTS_SELECTED, int(copy)) != 0;
    } else {
        char title[TITLE_SIZE];
        Title(title, commandId);
        CommandDefaults &c = g_CommandDefaults;
        if (Box10MoveRelative(mainWindow, title, &c.transformMove[0], &c.transformMove[1], &copy)) {
            MatrixMove(&m, c.transformMove[0], c.transformMove[1]);
            ObjectUpdatePointSelection();
            ok = ObjectMoveSelectedPoints(&m, UNIT_POINTS_SELECTED, int(copy)) != 0;
        }
    }
    if (ok) {
        ObjectClearPointSelection();
        RepaintBoth();
        return;
    }
    if (g_CommandState->handlesDrawn)
        ObjectDeselectAllPoints();
    else
        ObjectClearPointSelection();
    OutputRedrawSelection();
}

void CopyProperties()
{
    TempBlock<ObjectAttributes> set(1, __FILE_NAME__, __LINE__);
    if (!set)
        return;
    if (!ObjectCopyProperties(set.get(), UNIT_SELECTED)) {
        ClearSelection();
        return;
    }
    ObjectResolveAllProperties();
    RepaintBoth();
}

// One selected object gets its own sheet, several the sheet that writes the
// chosen fields into each.
void EditProperties(int count)
{
    TempBlock<ObjectAttributes> set(1, __FILE_NAME__, __LINE__);
    if (!set)
        return;
    const int done = count == 1 ? ObjectEditPropertiesSingle(set.get(), UNIT_SELECTED)
                                : ObjectEditPropertiesMulti(set.get(), UNIT_SELECTED);
    if (!done) {
        ClearSelection();
        return;
    }
    ObjectResolveAllProperties();
    RepaintBoth();
}

// The editor that fits the one selected object (the texts of a text,
// dimension or comment, an instance's attribute values, a plug-in object's
// module), in one undo step.
void EditOneObject(HWND mainWindow, int count)
{
    if (count != 1) {
        AlertSM6(mainWindow);
        return;
    }
    UndoInitProcess();
    if (ObjectEditIdentified(UNIT_SELECTED)) {
        UndoFinishProcess();
        RepaintBoth();
        return;
    }
    UndoCancelProcess();
    ClearSelection();
}

bool WithoutCount(int commandId)
{
    return commandId == 402 || commandId == 439 || commandId == 442 || commandId == 443 || commandId == 453;
}

} // namespace

void MenuObjectCommand(HWND mainWindow, int commandId)
{
    int count = 0;
    if (!WithoutCount(commandId)) {
        count = ObjectExtentsSelected(LIST_DRAWING, UNIT_SELECTED);
        if (commandId != 445 && commandId != 446)
            g_CommandState->progressTotal = count;
        if (!count)
            return;
    }
    switch (commandId) {
    case 402:
        UndoInitProcess();
        if (ObjectDeleteSelected(UNIT_SELECTED)) {
            UndoFinishProcess();
            RepaintBoth();
        } else {
            UndoCancelProcess();
        }
        return;
    case 405:
    case 411:
    case 412:
    case 416:
    case 419:
    case 420:
    case 421:
    case 423:
    case 424:
    case 426:
    case 427:
    case 428:
    case 429:
    case 430:
    case 431: PointTransform(commandId); return;
    case 408:
    case 410:
    case 415: DialogTransform(mainWindow, commandId); return;
    case 439:
    case 442:
    case 443: MovePoints(mainWindow, commandId); return;
    case 448:
        if (ObjectSendToBack(UNIT_SELECTED))
            OutputInvalidateAreaAll(g_ExtentsRect);
        return;
    case 451:
        if (ObjectBringToFront(UNIT_SELECTED))
            OutputInvalidateAreaAll(g_ExtentsRect);
        return;
    case 400: EditProperties(count); return;
    case 452: CopyProperties(); return;
    case 453: {
        char title[TITLE_SIZE];
        Title(title, commandId);
        Box14CopyPropDefault(mainWindow, title, ObjectCopyPropertyWords());
        return;
    }
    case 445: MenuBlockMakeGroup(mainWindow, commandId); return;
    case 446: MenuBlockDissolveGroups(); return;
    case 401: EditOneObject(mainWindow, count); return;
    default: CommandShowSubmenu(commandId, nullptr); return;
    }
}

namespace {

// The constructions of the transform and change commands join the input
// machine when this handler is linked in.
struct ObjectInputRegistration {
    ObjectInputRegistration()
    {
        g_InputConstructors[CONSTRUCT_PLACEMENT] = InputConstructPlacement;
        g_InputConstructors[CONSTRUCT_CHANGE] = InputConstructChange;
    }
};
const ObjectInputRegistration s_Registration;

} // namespace

// Identification on accept: the picks and selections of the steps whose kind
// is 45 or more, through the identify and selection operations of the
// drawing database. Until those join here, a pick is taken as a plain click,
// a click in a selection step counts as one object selected, and the
// selection menu finds nothing.
#include "commands/input.h"

#include "commands/command_state.h"

int InputIdentifyStep(int, int, double, double)
{
    return 1;
}

int InputSelectPicked(int, int, double, double)
{
    return 1;
}

int InputSelectInRectangle(int, const double[4])
{
    return 1;
}

int InputSelectByMenu(int32_t, uint32_t)
{
    return 0;
}

void InputRedrawSelection(int) {}

void InputDropSelection()
{
    CommandState &cs = *g_CommandState;
    cs.selectionDrawn = cs.handlesDrawn = cs.objectsSelected = cs.pointsSelected = 0;
}

void InputDropPointSelection()
{
    g_CommandState->pointsSelected = 0;
    g_CommandState->handlesDrawn = 0;
}

void InputDropObjectSelection()
{
    g_CommandState->objectsSelected = 0;
    g_CommandState->selectionDrawn = 0;
}

// Identification on accept: the picks and selections of the steps whose kind
// is 45 or more. The identify and selection operations of the drawing
// database join here; until they do, a pick or selection step is taken as a
// plain click and nothing is selected.
#include "commands/input.h"

#include "app/init_sound.h"
#include "commands/command_state.h"

int InputIdentifyStep(int, int, double, double)
{
    return 1;
}

int InputSelectionStep(int, int, double, double)
{
    return 1;
}

int InputSelectByMenu(int32_t, uint32_t)
{
    InitBeep(); // nothing can be selected yet
    return 0;
}

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

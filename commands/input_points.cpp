#include "commands/input_points.h"

ConstructionPoint g_ConstructionPoints[INPUT_MAX_CONSTRUCTION_POINTS];

// The construction dispatch: every cursor movement recomputes the
// construction points of the current step. A command without a construction
// of its own at an index takes the entered position as the construction
// point; the families of constructions join through g_InputConstructors.
#include "commands/input.h"

#include <algorithm>
#include <cmath>

#include "app/window.h"
#include "commands/command_state.h"
#include "commands/input_pointer.h"
#include "geometry/calc.h"
#include "geometry/matrix.h"

InputConstructor g_InputConstructors[CONSTRUCT_FAMILY_COUNT] = {};

namespace {

int ConstructDefault(int index)
{
    g_ConstructionPoints[index].x = g_InputPoints[index].x;
    g_ConstructionPoints[index].y = g_InputPoints[index].y;
    return 1;
}

// The current window when it has a user coordinate system, else null.
const DrawWindow *UserSystemWindow()
{
    const DrawWindow *w = g_ConvertState.window;
    return w && w->system > 0 ? w : nullptr;
}

} // namespace

ConstructFamily InputConstructFamily(int commandId, int index)
{
    if (index < 0 || index >= 32)
        return CONSTRUCT_DEFAULT;
    const ConstructRule *end = g_ConstructRules + g_ConstructRuleCount;
    const ConstructRule *it = std::lower_bound(g_ConstructRules, end, commandId,
                                               [](const ConstructRule &r, int n) { return r.command < n; });
    if (it == end || it->command != commandId || !(it->indices & (1u << index)))
        return CONSTRUCT_DEFAULT;
    return it->family;
}

int InputConstructDispatch(int index, double x, double y)
{
    if (index < 0 || index >= g_InputPointLimit)
        return 0;
    if (CommandMode() == TEMPLATE_LIST)
        return InputConstructPolyline(index, x, y);
    return InputConstruct(index, x, y);
}

int InputConstruct(int index, double x, double y)
{
    const ConstructFamily family = InputConstructFamily(g_CommandState->commandId, index);
    const InputConstructor construct = g_InputConstructors[family];
    if (family == CONSTRUCT_DEFAULT || !construct)
        return ConstructDefault(index);
    return construct(index, x, y);
}

int InputConstructPolyline(int index, double x, double y)
{
    if (g_CommandState->commandId == COMMAND_POINTER)
        return InputPointerConstruct(index, x, y);
    const InputConstructor construct = g_InputConstructors[CONSTRUCT_POLYLINE];
    return construct ? construct(index, x, y) : ConstructDefault(index);
}

int InputNearestPoint(double out[2], const double p[2], int count)
{
    int best = 0;
    double bestDistance = HUGE_VAL;
    for (int i = 0; i < count && i < CALC_POINT_SLOTS; ++i) {
        const double d = std::hypot(g_CalcPoints[i].x - p[0], g_CalcPoints[i].y - p[1]);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    out[0] = g_CalcPoints[best].x;
    out[1] = g_CalcPoints[best].y;
    return count > 0 ? 1 : 0;
}

void InputPointToSystem(const double p[2], double out[2])
{
    const DrawWindow *w = UserSystemWindow();
    const double x = p[0], y = p[1];
    if (w)
        MatrixApply(w->MatrixMMToSystem, x, y, &out[0], &out[1]);
    else
        out[0] = x, out[1] = y;
}

void InputPointFromSystem(const double p[2], double out[2])
{
    const DrawWindow *w = UserSystemWindow();
    const double x = p[0], y = p[1];
    if (w)
        MatrixApply(w->MatrixSystemToMM, x, y, &out[0], &out[1]);
    else
        out[0] = x, out[1] = y;
}

int InputPerpendicularFootInSystem(const double a[2], const double b[2], const double p[2], double out[2])
{
    double sa[2], sb[2], sp[2];
    InputPointToSystem(a, sa);
    InputPointToSystem(b, sb);
    InputPointToSystem(p, sp);
    if (!CalcPerpendicularFootLine(sa[0], sa[1], sb[0], sb[1], sp[0], sp[1]))
        return 0;
    const double foot[2] = {g_CalcPoints[0].x, g_CalcPoints[0].y};
    InputPointFromSystem(foot, out);
    return 1;
}

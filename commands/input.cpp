// The input state machine: loads a command's template into the current
// state, lays out its steps, enters, accepts and steps back through them.
// Every write into the point arrays is checked against the point limit.
#include "commands/input.h"

#include <cstring>

#include "app/system.h"
#include "app/window.h"
#include "app/write_refresh.h"
#include "commands/command_state.h"
#include "language/language_text.h"
#include "database/undo.h"
#include "display/screen.h"
#include "plugin/zvi_module.h"

namespace {

constexpr int COMMAND_LIST_ONE_STEP_A = 574; // open-ended commands with one step
constexpr int COMMAND_LIST_ONE_STEP_B = 575;
constexpr int32_t LIST_ONE_STEP_KIND = 6;
constexpr uint32_t GUIDE_REFRESH = 0x60000000;

// The dimension commands and the record of the dimension settings each uses.
struct VariantRange {
    int first, last, variant;
};
constexpr VariantRange VARIANTS[] = {{809, 821, 0}, {822, 822, 0}, {824, 824, 1}, {825, 825, 2}};

bool IsPlugin(int commandId) { return commandId >= COMMAND_PLUGIN_FIRST && commandId <= COMMAND_PLUGIN_LAST; }

bool IsListOneStep(int commandId)
{
    return commandId == COMMAND_LIST_ONE_STEP_A || commandId == COMMAND_LIST_ONE_STEP_B;
}

int32_t VariantOf(int commandId)
{
    for (const VariantRange &v : VARIANTS)
        if (commandId >= v.first && commandId <= v.last)
            return v.variant + (commandId - v.first);
    return 0;
}

void SetStep(int i, int32_t kind, int32_t reference, const char *prompt)
{
    InputPointEntry &e = g_InputPoints[i];
    e.kind = kind;
    e.reference = reference;
    e.prompt = prompt ? prompt : InputPointName(kind);
}

// The steps of the template in the entered-point array.
void LayOutSteps()
{
    CommandState &cs = *g_CommandState;
    const InputTemplate &t = CommandTemplate();
    const int limit = g_InputPointLimit;
    const int count = t.count < TEMPLATE_STEPS ? t.count : TEMPLATE_STEPS;
    if (t.mode == TEMPLATE_RUN_AT_ONCE || count <= 0)
        return;
    if (t.mode != TEMPLATE_LIST) {
        for (int i = 0; i < count && i < limit; ++i)
            SetStep(i, t.kind[i], t.ref[i], t.prompt[i]);
        return;
    }
    if (IsListOneStep(cs.commandId)) {
        cs.stepCount = 1;
        SetStep(0, LIST_ONE_STEP_KIND, REFERENCE_NONE, nullptr);
        return;
    }
    cs.stepCount = limit;
    auto reference = [](int32_t ref, int i) { return ref == REFERENCE_PREVIOUS ? i - 1 : ref; };
    for (int i = 0; i < count - 1 && i < limit; ++i)
        SetStep(i, t.kind[i], reference(t.ref[i], i), t.prompt[i]);
    const int last = count - 1;
    for (int i = last; i < limit; ++i)
        SetStep(i, t.kind[last], reference(t.ref[last], i), t.prompt[last]);
}

// Validation of the step about to be entered.
int Validate(int i, double x, double y)
{
    if (IsPlugin(g_CommandState->commandId)) {
        int answer = INPUT_CONTINUE;
        PluginInputStep(g_CommandState->commandId, i, x, y, &answer);
        return answer;
    }
    return InputValidateStep(i, x, y);
}

bool IsSelectionKind(int32_t kind) { return kind >= POINT_KIND_FIRST_SELECTION && kind < POINT_KIND_POINT_SELECTION; }
bool IsPointSelectionKind(int32_t kind) { return kind == POINT_KIND_FOLLOWUP || kind == POINT_KIND_POINT_SELECTION; }

// The click's pick or selection (step 2a); 1 when the step is taken.
int TakeStep(int32_t kind, double x, double y)
{
    if (kind < POINT_KIND_FIRST_PICK || kind >= POINT_KIND_LIMIT)
        return 1;
    const PointKindInfo &info = g_PointKinds[kind];
    switch (info.kindClass) {
    case KIND_SELECTION:
    case KIND_POINTS:
        // An additive selection or a rectangle under way keeps the step open.
        return InputSelectionStep(kind, g_ActiveWindow, x, y) == 1 ? 1 : 0;
    case KIND_ELEMENT:
    case KIND_OBJECT:
        return InputIdentifyStep(kind, g_ActiveWindow, x, y);
    default:
        return 1;
    }
}

int Accept(int i, double x, double y, int code)
{
    if (IsPlugin(g_CommandState->commandId)) {
        int answer = code;
        PluginInputAccept(g_CommandState->commandId, i, x, y, &answer);
        return answer;
    }
    return InputAccept(i, x, y);
}

} // namespace

const char *InputPointName(int32_t kind)
{
    const char *name = LanguageEntry(ePointNames, kind);
    return name[0] ? name : ePointNames[0];
}

int InputStart(int commandId)
{
    CommandState &cs = *g_CommandState;
    cs.commandId = commandId;
    if (IsPlugin(commandId)) {
        const InputTemplate *t = InputPluginTemplate(commandId);
        if (!t)
            return INPUT_ASK_NEXT;
        std::memcpy(&CommandTemplateWords(), t, sizeof(InputTemplate));
        cs.templateNumber = TEMPLATE_PLUGIN;
    } else {
        const int t = CommandTemplateOf(commandId);
        std::memcpy(&CommandTemplateWords(), &g_InputTemplates[t], sizeof(InputTemplate));
        cs.templateNumber = t;
        cs.entry[COMMAND_ENTRY_STANDARD_ICON] = -1;
        cs.entry[COMMAND_ENTRY_NAME] = 0;
    }
    return InputReset();
}

int InputReset()
{
    CommandState &cs = *g_CommandState;
    cs.stepCount = CommandTemplate().count;
    cs.additive = 0;
    cs.rectanglePending = 0;
    cs.referenceGeo.type = -1;
    InputDropSelection();
    cs.variant = VariantOf(cs.commandId);
    if (cs.commandId >= COMMAND_SYMBOL_FIRST && cs.commandId <= COMMAND_SYMBOL_LAST)
        g_InputSymbolSlot = cs.commandId - COMMAND_SYMBOL_FIRST;
    for (int i = 0; i < g_InputPointLimit; ++i) {
        g_InputPoints[i].x = 0.0;
        g_InputPoints[i].y = 0.0;
    }
    cs.pointIndex = 0;
    g_InputPoints[0].reference = REFERENCE_NONE;
    g_InputPoints[0].value = 0.0;
    LayOutSteps();
    return InputBeginFirstStep();
}

int InputBeginFirstStep()
{
    const int code = InputEnterStep(g_CursorPos.x, g_CursorPos.y);
    if (code == INPUT_COMPLETE || !InputStepIsAutomatic())
        return code;
    return InputPoint(g_CursorPos.x, g_CursorPos.y, 0);
}

int InputEnterStep(double x, double y)
{
    CommandState &cs = *g_CommandState;
    const int i = cs.pointIndex;
    if (i < 0 || i >= g_InputPointLimit)
        return INPUT_LIMIT;
    const InputPointEntry &e = g_InputPoints[i];
    cs.referenceIndex = e.reference;
    cs.pointKind = e.kind;
    cs.stepValue = e.value;
    WriteSetGuideState(GUIDE_REFRESH, nullptr);
    WriteRefreshFrame();
    const int code = Validate(i, x, y);
    if (IsPointSelectionKind(cs.pointKind) && cs.pointsSelected)
        InputDropPointSelection();
    else if (IsSelectionKind(cs.pointKind) && cs.objectsSelected)
        InputDropObjectSelection();
    InputMove(x, y);
    return code;
}

void InputMove(double x, double y)
{
    CommandState &cs = *g_CommandState;
    const int i = cs.pointIndex;
    if (i < 0 || i >= g_InputPointLimit)
        return;
    g_InputPoints[i].x = x;
    g_InputPoints[i].y = y;
    cs.pointValid = 1;
    if (IsPlugin(cs.commandId)) {
        g_ConstructionPoints[i].x = x;
        g_ConstructionPoints[i].y = y;
        int valid = 1;
        PluginInputConstruct(cs.commandId, i, x, y, &valid);
        cs.pointValid = valid != 0;
        return;
    }
    cs.pointValid = InputConstructDispatch(i, x, y);
}

int InputPoint(double x, double y, int fromClick)
{
    CommandState &cs = *g_CommandState;
    if (fromClick)
        InputMove(x, y);
    int code = INPUT_CONTINUE;
    for (;;) {
        const int i = cs.pointIndex;
        // The next entry must exist: the arrays end at the point limit.
        if (i < 0 || i + 1 >= g_InputPointLimit)
            return INPUT_LIMIT;
        if (fromClick) {
            g_InputPoints[i].ident = g_IdentCounter;
            if (!cs.pointValid)
                return INPUT_REFUSED;
            if (!TakeStep(cs.pointKind, x, y))
                return INPUT_REFUSED;
        }
        code = Accept(i, x, y, code);
        if (code == INPUT_COMPLETE) {
            cs.pointIndex = i + 1;
            return INPUT_COMPLETE;
        }
        if (code != INPUT_CONTINUE)
            return code;
        if (i + 1 >= cs.stepCount) {
            cs.pointIndex = i + 1;
            return INPUT_COMPLETE;
        }
        fromClick = 1;
        cs.pointIndex = i + 1;
        code = InputEnterStep(x, y);
        while (code == INPUT_ASK_NEXT) {
            const int next = InputNextAction();
            if (next != INPUT_CONTINUE)
                return next;
            if (cs.pointIndex + 1 >= g_InputPointLimit)
                return INPUT_LIMIT;
            ++cs.pointIndex;
            code = InputEnterStep(x, y);
        }
        if (code == INPUT_COMPLETE)
            return INPUT_COMPLETE;
        if (code != INPUT_ACCEPT_NOW && !InputStepIsAutomatic())
            return code;
    }
}

int InputStepBack()
{
    CommandState &cs = *g_CommandState;
    int i = cs.pointIndex;
    if (i < 1)
        return INPUT_CANCEL;
    if (cs.commandId == COMMAND_POINTER) {
        if (i % 2 == 1)
            return InputReset();
        i = 0;
    } else {
        --i;
        cs.pointIndex = i;
        while (i > 0 && InputStepIsAutomatic()) {
            --i;
            cs.pointIndex = i;
        }
        if (i == 0)
            return InputReset();
        --i;
    }
    if (i >= g_InputPointLimit)
        return INPUT_LIMIT;
    cs.pointIndex = i;
    const InputPointEntry &e = g_InputPoints[i];
    cs.referenceIndex = e.reference;
    cs.pointKind = e.kind;
    cs.stepValue = e.value;
    return InputPoint(e.x, e.y, 0);
}

int InputNextAction()
{
    if (IsPlugin(g_CommandState->commandId)) {
        int answer = INPUT_COMPLETE;
        PluginInputNext(g_CommandState->commandId, g_CommandState->pointIndex, &answer);
        return answer;
    }
    return InputPolylineNext(g_CommandState->pointIndex);
}

void InputSetIndex(int n)
{
    if (n >= 0 && n < g_InputPointLimit)
        g_CommandState->pointIndex = n;
}

int InputStepIsAutomatic()
{
    CommandState &cs = *g_CommandState;
    const int i = cs.pointIndex;
    if (i < 0 || i >= g_InputPointLimit)
        return 0;
    const int r = cs.variant;
    const bool large = r >= 0 && r < DIM_VARIANTS;
    const bool small = r >= 0 && r < DIM_SMALL_RECORDS;
    const DrawingSettings &s = g_DrawingSettings;
    for (int k = 0; k < g_AutoStepRuleCount; ++k) {
        const AutoStepRule &rule = g_AutoStepRules[k];
        if (rule.command != cs.commandId || (rule.step != AUTO_ANY_STEP && rule.step != i))
            continue;
        const DimLargeLines *lines = large ? &g_DrawingSettings.dimLargeLines[r] : nullptr;
        const uint32_t *numbers = large ? s.dimLargeNumbers[r] : nullptr;
        bool automatic = false;
        switch (rule.condition) {
        case AUTO_ALWAYS: automatic = true; break;
        case AUTO_ALWAYS_CLEAR_L3:
            if (large)
                g_DrawingSettings.dimLargeLines[r].modes[0] = 0;
            automatic = true;
            break;
        case AUTO_T1_SET: automatic = s.textRef.arrow[1] != 0; break;
        case AUTO_G1_NOT_CIRCLE_CURVE_ELLIPSE: {
            const int32_t type = cs.elementGeo[0].type;
            automatic = type != 5 && type != 13 && type != 15;
            break;
        }
        case AUTO_L2_OFF_OR_L3_NOT_1: automatic = lines && (!lines->show[2] || lines->modes[0] != 1); break;
        case AUTO_S1_OFF: automatic = small && s.dimSmallNumbers[r][1] == 0; break;
        case AUTO_L2_OFF_OR_FIXED_STEP_0:
            automatic = lines && (!lines->show[2] || (lines->modes[2] != 0 && lines->distance[0] == 0.0));
            break;
        case AUTO_L2_OFF_OR_L4_NOT_2: automatic = lines && (!lines->show[2] || lines->modes[1] != 2); break;
        case AUTO_N1_N2_L2_ON: automatic = lines && numbers[1] && numbers[2] && lines->show[2]; break;
        case AUTO_N3_OFF: automatic = numbers && numbers[3] == 0; break;
        case AUTO_KIND_0: automatic = g_InputPoints[i].kind == 0; break;
        }
        if (automatic)
            return 1;
    }
    return 0;
}

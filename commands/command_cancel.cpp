// Cancelling the running command.
#include "commands/command.h"

#include "app/darad4.h"
#include "commands/command_state.h"

namespace {

// What the command state takes from a command's input template.
struct TemplateHead {
    int32_t number, mode, count, firstKind, firstReference;
};

constexpr int32_t NO_REFERENCE = -1;
constexpr TemplateHead RUN_AT_ONCE = {0, TEMPLATE_RUN_AT_ONCE, 0, 0, NO_REFERENCE};
constexpr int32_t HELP_PICK_COMMAND = 1102;
constexpr int32_t SHORTCUT_PICK_COMMAND = 383;

// The templates of the commands that can run so far: the two picks and the
// two-point template of the start command. Every number without a template
// of its own runs at once.
TemplateHead TemplateOf(int32_t commandId)
{
    switch (commandId) {
    case SHORTCUT_PICK_COMMAND: return {2, TEMPLATE_SHORTCUT_PICK, 1, 1, NO_REFERENCE};
    case HELP_PICK_COMMAND: return {3, TEMPLATE_HELP_PICK, 1, 2, NO_REFERENCE};
    case 501: case 514: case 640: case 806: case 837: return {97, TEMPLATE_FIXED_STEPS, 2, 6, NO_REFERENCE};
    default: return RUN_AT_ONCE;
    }
}

// The command enters its first step again; its points are dropped.
void RestartAtFirstStep(CommandState &cs)
{
    cs.pointCount = 0;
    const TemplateHead head = TemplateOf(cs.commandId);
    if (head.number == cs.templateNumber && head.count > 0) {
        cs.pointKind = head.firstKind;
        cs.referenceIndex = head.firstReference;
    }
}

void EnterCommand(CommandState &cs, int32_t commandId)
{
    const TemplateHead head = TemplateOf(commandId);
    cs.commandId = commandId;
    cs.templateNumber = head.number;
    cs.templateMode = head.mode;
    cs.templateCount = head.count;
    cs.pointKind = head.firstKind;
    cs.referenceIndex = head.firstReference;
    cs.pointCount = 0;
}

bool Interrupts(int32_t mode) { return mode >= TEMPLATE_ONE_POINT && mode <= TEMPLATE_REPEATED; }

} // namespace

void CommandCancel()
{
    CommandState &cs = *g_CommandState;
    if (!Interrupts(cs.templateMode)) {
        RestartAtFirstStep(cs);
        return;
    }
    EnterCommand(cs, cs.resumeId);
    if (hGlobalToolbox)
        InvalidateRect(hGlobalToolbox, nullptr, FALSE);
}

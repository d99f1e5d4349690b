#include "database/object_modules.h"

#include "database/storage.h"
#include "database/undo.h"
#include "display/output.h"
#include "plugin/zvi_module.h"

namespace {

ModuleObjectProc ProcOf(int module)
{
    const ModuleData *m = ZviModuleRecord(module);
    return m ? reinterpret_cast<ModuleObjectProc>(m->objectProc) : nullptr;
}

} // namespace

int ObjectCallModule(int module, Unit *unit, int code, void *argument)
{
    const ModuleObjectProc proc = ProcOf(module);
    if (!proc)
        return 0;
    // The module may draw, measure and walk lists of its own.
    const OutputContext saved = g_OutputContext;
    ListFilterKeeper keep;
    // It may set flag words of units without noting them.
    UndoNoteForeignFlags();
    const int answer = proc(unit, code, argument);
    g_OutputContext = saved;
    return answer;
}

int ObjectAskModules(Unit *unit, int code, void *argument, int *module)
{
    for (int m = 0; m < ZviModuleCount(); ++m) {
        const int answer = ObjectCallModule(m, unit, code, argument);
        if (answer == MODULE_ANSWER_HANDLED || answer == MODULE_ANSWER_REBUILT) {
            if (module)
                *module = m;
            return answer;
        }
    }
    return 0;
}

int ObjectTellModules(int code)
{
    int rebuilt = 0;
    for (int m = 0; m < ZviModuleCount(); ++m)
        rebuilt |= ObjectCallModule(m, nullptr, code, nullptr) == MODULE_ANSWER_REBUILT;
    return rebuilt;
}

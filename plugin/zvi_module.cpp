// The plug-in module and filter tables of the exchange block.
#include "plugin/zvi_module.h"

#include "app/darad4.h"

namespace {

int Bounded(int32_t count, int slots) { return count < 0 ? 0 : count > slots ? slots : count; }

} // namespace

int ZviModuleCount() { return Bounded(g_LanguageInitBlock.moduleCount, MODULE_SLOTS); }
int ZviImportCount() { return Bounded(g_LanguageInitBlock.importCount, FORMAT_SLOTS); }
int ZviExportCount() { return Bounded(g_LanguageInitBlock.exportCount, FORMAT_SLOTS); }

const ModuleData *ZviModuleRecord(int index)
{
    return index >= 0 && index < ZviModuleCount() ? &g_LanguageInitBlock.modules[index] : nullptr;
}

const ModuleData *ZviImportRecord(int index)
{
    return index >= 0 && index < ZviImportCount() ? &g_LanguageInitBlock.importFormats[index] : nullptr;
}

const ModuleData *ZviExportRecord(int index)
{
    return index >= 0 && index < ZviExportCount() ? &g_LanguageInitBlock.exportFormats[index] : nullptr;
}

int ZviModuleCommandCount(const ModuleData *module)
{
    if (!module || !module->list)
        return 0;
    int n = 0;
    while (n < MODULE_COMMANDS_MAX && !(module->list[n].idFlags & MODULE_COMMAND_LAST))
        ++n;
    return n;
}

const ModuleCommand *ZviCommandEntry(int commandId)
{
    if (commandId >= COMMAND_PLUGIN_FIRST && commandId <= COMMAND_PLUGIN_LAST) {
        const int offset = commandId - COMMAND_PLUGIN_FIRST;
        const ModuleData *m = ZviModuleRecord(offset / COMMAND_PLUGIN_PER_MODULE);
        if (!m)
            return nullptr;
        const int k = offset % COMMAND_PLUGIN_PER_MODULE;
        if (k >= 1 && m->list && k <= ZviModuleCommandCount(m))
            return &m->list[k - 1];
        return &m->defaultEntry;
    }
    if (commandId >= IMPORT_COMMAND_FIRST && commandId < EXPORT_COMMAND_FIRST) {
        const ModuleData *m = ZviImportRecord(commandId - IMPORT_COMMAND_FIRST);
        return m ? &m->defaultEntry : nullptr;
    }
    if (commandId >= EXPORT_COMMAND_FIRST && commandId <= COMMAND_FILTER_LAST) {
        const ModuleData *m = ZviExportRecord(commandId - EXPORT_COMMAND_FIRST);
        return m ? &m->defaultEntry : nullptr;
    }
    return nullptr;
}

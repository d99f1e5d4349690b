// The plug-in module and filter tables of the exchange block.
#include "plugin/zvi_module.h"

#include <string>

#include "app/darad4.h"
#include "database/object_modules.h"
#include "database/storage.h"
#include "database/undo.h"
#include "display/output.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"
#include "plugin/zvi_create.h"

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

// ---------------------------------------------------------------------------
// Loading, registration and the calls into the modules.

namespace {

constexpr int PLUGIN_LIBRARIES = MODULE_SLOTS + 2 * FORMAT_SLOTS;

HMODULE s_Libraries[PLUGIN_LIBRARIES];
int s_LibraryCount = 0;
bool s_Registering = false; // only a plug-in's entry point may register

int Register(ModuleData *records, int32_t &count, int capacity, const ModuleData *record, const char *function,
             int line)
{
    if (!s_Registering)
        return ZviRefuse(function, line, "Not loading plug-ins!");
    if (!ZviReadable(record, sizeof(ModuleData)))
        return ZviRefuse(function, line, "ModuleData address invalid!");
    const int n = Bounded(count, capacity);
    if (n >= capacity)
        return ZviRefuse(function, line, "Table full!");
    records[n] = *record;
    count = n + 1;
    return 1;
}

int GetData(const ModuleData *record, ModuleData *out, const char *function, int line)
{
    if (!ZviWritable(out, sizeof(ModuleData)))
        return ZviRefuse(function, line, "ModuleData address invalid!");
    if (!record)
        return ZviRefuse(function, line, "Index invalid!");
    *out = *record;
    return 1;
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n < sizeof path ? n : 0);
    return folder.substr(0, folder.rfind('\\') + 1);
}

// One call into a module with the program's output context and list filter
// kept, so that the module may enumerate or draw. The module may set the
// flag words of the units it is shown without noting them.
template <typename Call>
int Guarded(Call call)
{
    OutputContextKeeper context;
    ListFilterKeeper filter;
    UndoNoteForeignFlags();
    return call();
}

// The record and command index k of a plug-in or filter command, or null.
const ModuleData *CommandRecord(int commandId, int *k)
{
    *k = 0;
    if (!ZviCommandEntry(commandId))
        return nullptr;
    if (commandId <= COMMAND_PLUGIN_LAST) {
        *k = (commandId - COMMAND_PLUGIN_FIRST) % COMMAND_PLUGIN_PER_MODULE;
        return ZviModuleRecord((commandId - COMMAND_PLUGIN_FIRST) / COMMAND_PLUGIN_PER_MODULE);
    }
    if (commandId < EXPORT_COMMAND_FIRST)
        return ZviImportRecord(commandId - IMPORT_COMMAND_FIRST);
    return ZviExportRecord(commandId - EXPORT_COMMAND_FIRST);
}

} // namespace

int PluginLoadFile(const char *path)
{
    if (s_LibraryCount >= PLUGIN_LIBRARIES)
        return 0;
    UndoNoteForeignFlags();
    HMODULE library = LoadLibraryA(path);
    if (!library)
        return 0;
    auto entry = reinterpret_cast<ZviPluginLoadProc>(GetProcAddress(library, ZVI_PLUGIN_ENTRY));
    LanguageExchangeBlock &b = g_LanguageInitBlock;
    const int32_t counts[3] = {ZviModuleCount(), ZviImportCount(), ZviExportCount()};
    s_Registering = true;
    const int kept = entry && entry(ZVI_INTERFACE_VERSION) ? 1 : 0;
    s_Registering = false;
    if (!kept) {
        // What a refusing plug-in registered would point into a freed library.
        b.moduleCount = counts[0];
        b.importCount = counts[1];
        b.exportCount = counts[2];
        FreeLibrary(library);
        return 0;
    }
    s_Libraries[s_LibraryCount++] = library;
    return 1;
}

int PluginLoadAll()
{
    ZviResetCreation();
    const std::string folder = ProgramFolder() + PLUGIN_FOLDER + "\\";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.dll").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int kept = 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            kept += PluginLoadFile((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return kept;
}

int PluginAskStart(int commandId)
{
    int k = 0;
    const ModuleData *m = CommandRecord(commandId, &k);
    if (!m)
        return 0;
    if (!m->active || !m->commandProc)
        return 1;
    return Guarded([&] { return m->commandProc(k, ZVI_CODE_START); }) ? 1 : 0;
}

int PluginAskHelp(int commandId)
{
    int k = 0;
    const ModuleData *m = CommandRecord(commandId, &k);
    if (!m || !m->active || !m->commandProc)
        return 0;
    Guarded([&] { return m->commandProc(commandId <= COMMAND_PLUGIN_LAST ? k : 0, MODULE_CODE_HELP); });
    return 1;
}

int PluginImportFile(int index, const char *path, int merge)
{
    const ModuleData *m = ZviImportRecord(index);
    if (!m || !m->active || !m->importProc || !path)
        return 1;
    const auto import = reinterpret_cast<ZviImportFunction>(m->importProc);
    return Guarded([&] { return import(path, merge); });
}

int PluginExportFile(int index, const char *path, uint32_t selection)
{
    const ModuleData *m = ZviExportRecord(index);
    if (!m || !m->active || !m->exportProc || !path)
        return 0;
    const auto exporter = reinterpret_cast<ZviExportFunction>(m->exportProc);
    return Guarded([&] { return exporter(path, int(selection)); }) ? 1 : 0;
}

void PluginNotifyDrawing(int code)
{
    for (int i = 0; i < ZviModuleCount(); ++i) {
        const ModuleData *m = ZviModuleRecord(i);
        if (m->commandProc)
            Guarded([&] { return m->commandProc(0, code); });
    }
}

int PluginOfferObject(Unit *object, int code, void *data)
{
    int module = -1;
    const int answer = ObjectAskModules(object, code, data, &module);
    // A changed object is regenerated; a deletion answered 2 only keeps it.
    if (answer == MODULE_ANSWER_REBUILT && (code == MODULE_OBJECT_TRANSFORM || code == MODULE_OBJECT_APPLY))
        ObjectCallModule(module, object, MODULE_OBJECT_REGENERATE, nullptr);
    return answer ? module : -1;
}

int PluginObjectTitle(Unit *object, char *title)
{
    if (ObjectAskModules(object, MODULE_OBJECT_TITLE, title, nullptr) != MODULE_ANSWER_REBUILT)
        return 0;
    title[MODULE_TITLE_SIZE - 1] = 0;
    return 1;
}

extern "C" {

int ZVI_CALL ZVI_ModuleRegister(const ModuleData *record)
{
    LanguageExchangeBlock &b = g_LanguageInitBlock;
    return Register(b.modules, b.moduleCount, MODULE_SLOTS, record, __func__, __LINE__);
}

int ZVI_CALL ZVI_ImportRegister(const ModuleData *record)
{
    LanguageExchangeBlock &b = g_LanguageInitBlock;
    return Register(b.importFormats, b.importCount, FORMAT_SLOTS, record, __func__, __LINE__);
}

int ZVI_CALL ZVI_ExportRegister(const ModuleData *record)
{
    LanguageExchangeBlock &b = g_LanguageInitBlock;
    return Register(b.exportFormats, b.exportCount, FORMAT_SLOTS, record, __func__, __LINE__);
}

int ZVI_CALL ZVI_ModuleGetNumber() { return ZviModuleCount(); }
int ZVI_CALL ZVI_ImportGetNumber() { return ZviImportCount(); }
int ZVI_CALL ZVI_ExportGetNumber() { return ZviExportCount(); }

int ZVI_CALL ZVI_ModuleGetData(int index, ModuleData *out) { return GetData(ZviModuleRecord(index), out, __func__, __LINE__); }
int ZVI_CALL ZVI_ImportGetData(int index, ModuleData *out) { return GetData(ZviImportRecord(index), out, __func__, __LINE__); }
int ZVI_CALL ZVI_ExportGetData(int index, ModuleData *out) { return GetData(ZviExportRecord(index), out, __func__, __LINE__); }

} // extern "C"

// --- the input callbacks of module commands

namespace {

enum InputWord { INPUT_WORD_STEP, INPUT_WORD_CONSTRUCT, INPUT_WORD_ACCEPT, INPUT_WORD_FEEDBACK,
                 INPUT_WORD_SHIFT_ESCAPE, INPUT_WORD_NEXT };

// The callback in input word `word` of a module command's record, or null
// (filters take no input).
template <typename Proc>
Proc InputProc(int commandId, int word, int *k)
{
    if (commandId < COMMAND_PLUGIN_FIRST || commandId > COMMAND_PLUGIN_LAST)
        return nullptr;
    const ModuleData *m = CommandRecord(commandId, k);
    return m ? reinterpret_cast<Proc>(m->inputProcs[word]) : nullptr;
}

int PointHook(int word, int commandId, int step, double x, double y, int *answer)
{
    int k = 0;
    const auto proc = InputProc<ZviInputStepCallback>(commandId, word, &k);
    if (!proc)
        return 0;
    *answer = Guarded([&] { return proc(k, step, x, y); });
    return 1;
}

} // namespace

int PluginInputStep(int commandId, int step, double x, double y, int *answer)
{
    return PointHook(INPUT_WORD_STEP, commandId, step, x, y, answer);
}

int PluginInputConstruct(int commandId, int step, double x, double y, int *answer)
{
    return PointHook(INPUT_WORD_CONSTRUCT, commandId, step, x, y, answer);
}

int PluginInputAccept(int commandId, int step, double x, double y, int *answer)
{
    return PointHook(INPUT_WORD_ACCEPT, commandId, step, x, y, answer);
}

int PluginInputNext(int commandId, int step, int *answer)
{
    int k = 0;
    const auto proc = InputProc<ZviInputNextCallback>(commandId, INPUT_WORD_NEXT, &k);
    if (!proc)
        return 0;
    *answer = Guarded([&] { return proc(k, step); });
    return 1;
}

int PluginInputFeedback(int commandId, int step, HDC dc, int fixed, int moving)
{
    int k = 0;
    const auto proc = InputProc<ZviInputFeedbackCallback>(commandId, INPUT_WORD_FEEDBACK, &k);
    if (!proc)
        return 0;
    Guarded([&] { return proc(k, step, dc, fixed, moving), 0; });
    return 1;
}

int PluginInputShiftEscape(int commandId)
{
    int k = 0;
    const auto proc = InputProc<ZviInputShiftEscapeCallback>(commandId, INPUT_WORD_SHIFT_ESCAPE, &k);
    if (!proc)
        return 0;
    Guarded([&] { return proc(k), 0; });
    return 1;
}

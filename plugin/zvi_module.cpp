// Plug-in module records: loading, registration, reading exports and the
// calls into the modules.
#include "plugin/zvi_module.h"

#include <cstring>
#include <string>

#include "app/darad4.h"
#include "app/system.h"
#include "commands/command_tables.h"
#include "database/storage.h"
#include "database/unit.h"
#include "display/output.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"
#include "plugin/zvi_create.h"

namespace {

constexpr int PLUGIN_LIBRARIES = ZVI_MAX_MODULES + ZVI_MAX_IMPORTS + ZVI_MAX_EXPORTS;
constexpr int FILTER_IMPORT_FIRST = 5300;
constexpr int FILTER_EXPORT_FIRST = 5320;
constexpr int OBJECT_REGENERATE = 1;
constexpr int OBJECT_HANDLED = 1;
constexpr int OBJECT_HANDLED_CHANGED = 2;

static_assert(sizeof(ModuleData) == MODULE_RECORD_SIZE);
static_assert(ZVI_MAX_MODULES == MODULE_SLOTS && ZVI_MAX_IMPORTS == FORMAT_SLOTS);

HMODULE s_Libraries[PLUGIN_LIBRARIES];
int s_LibraryCount = 0;
bool s_Registering = false; // only a plug-in's entry point may register

struct Table {
    ModuleRecordBytes *records;
    int32_t *count;
    int capacity;
};

Table Modules() { return {g_LanguageInitBlock.modules, &g_LanguageInitBlock.moduleCount, MODULE_SLOTS}; }
Table Imports() { return {g_LanguageInitBlock.importFormats, &g_LanguageInitBlock.importCount, FORMAT_SLOTS}; }
Table Exports() { return {g_LanguageInitBlock.exportFormats, &g_LanguageInitBlock.exportCount, FORMAT_SLOTS}; }

// The count as the program reads it: never beyond the table.
int CountOf(const Table &t)
{
    const int32_t n = *t.count;
    return n < 0 ? 0 : n > t.capacity ? t.capacity : n;
}

ModuleData *RecordOf(const Table &t, int index)
{
    if (index < 0 || index >= CountOf(t))
        return nullptr;
    return reinterpret_cast<ModuleData *>(&t.records[index]);
}

int Register(const Table &t, const ModuleData *record, const char *function, int line)
{
    if (!s_Registering)
        return ZviRefuse(function, line, "Not loading plug-ins!");
    if (!ZviReadable(record, sizeof(ModuleData)))
        return ZviRefuse(function, line, "ModuleData address invalid!");
    const int n = CountOf(t);
    if (n >= t.capacity)
        return ZviRefuse(function, line, "Table full!");
    std::memcpy(&t.records[n], record, sizeof(ModuleData));
    *t.count = n + 1;
    return 1;
}

int GetData(const Table &t, int index, ModuleData *out, const char *function, int line)
{
    if (!ZviWritable(out, sizeof(ModuleData)))
        return ZviRefuse(function, line, "ModuleData address invalid!");
    const ModuleData *r = RecordOf(t, index);
    if (!r)
        return ZviRefuse(function, line, "Index invalid!");
    std::memcpy(out, r, sizeof(ModuleData));
    return 1;
}

// Entry k - 1 of a module's list, never reading past its terminator; the
// default entry for k = 0 and for a module without a list.
const ModuleCommand *ListEntry(ModuleData *m, int k)
{
    if (k == 0 || !m->commands)
        return &m->entry;
    const ModuleCommand *e = m->commands;
    for (int i = 0;; ++i, ++e) {
        if (!ZviReadable(e, sizeof(ModuleCommand)) || (e->id & ZVI_COMMAND_LIST_END))
            return nullptr;
        if (i == k - 1)
            return e;
    }
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n < sizeof path ? n : 0);
    return folder.substr(0, folder.rfind('\\') + 1);
}

// One callback call with the program's output context and list filter kept.
template <typename Call>
int Guarded(Call call)
{
    OutputContextKeeper context;
    ListFilterKeeper filter;
    return call();
}

} // namespace

int PluginModuleCount() { return CountOf(Modules()); }
int PluginImportCount() { return CountOf(Imports()); }
int PluginExportCount() { return CountOf(Exports()); }
ModuleData *PluginModule(int index) { return RecordOf(Modules(), index); }
ModuleData *PluginImport(int index) { return RecordOf(Imports(), index); }
ModuleData *PluginExport(int index) { return RecordOf(Exports(), index); }

int PluginLoadFile(const char *path)
{
    if (s_LibraryCount >= PLUGIN_LIBRARIES)
        return 0;
    HMODULE library = LoadLibraryA(path);
    if (!library)
        return 0;
    auto entry = reinterpret_cast<ZviPluginLoadProc>(GetProcAddress(library, ZVI_PLUGIN_ENTRY));
    LanguageExchangeBlock &b = g_LanguageInitBlock;
    const int32_t counts[3] = {PluginModuleCount(), PluginImportCount(), PluginExportCount()};
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

const ModuleCommand *PluginCommandEntry(int commandId, ModuleData **record, int *k)
{
    ModuleData *m = nullptr;
    const ModuleCommand *e = nullptr;
    int index = 0;
    if (commandId >= COMMAND_PLUGIN_FIRST && commandId < FILTER_IMPORT_FIRST) {
        m = PluginModule((commandId - COMMAND_PLUGIN_FIRST) / COMMAND_PLUGIN_PER_MODULE);
        index = (commandId - COMMAND_PLUGIN_FIRST) % COMMAND_PLUGIN_PER_MODULE;
        e = m ? ListEntry(m, index) : nullptr;
    } else if (commandId >= FILTER_IMPORT_FIRST && commandId < FILTER_EXPORT_FIRST) {
        m = PluginImport(commandId - FILTER_IMPORT_FIRST);
        e = m ? &m->entry : nullptr;
    } else if (commandId >= FILTER_EXPORT_FIRST && commandId < COMMAND_FILTER_LAST + 1) {
        m = PluginExport(commandId - FILTER_EXPORT_FIRST);
        e = m ? &m->entry : nullptr;
    }
    if (!e)
        return nullptr;
    if (record)
        *record = m;
    if (k)
        *k = index;
    return e;
}

int PluginAskStart(int commandId)
{
    ModuleData *m = nullptr;
    int k = 0;
    if (!PluginCommandEntry(commandId, &m, &k))
        return 0;
    if (!m->active || !m->commandCallback)
        return 1;
    return Guarded([&] { return m->commandCallback(k, ZVI_CODE_START); }) ? 1 : 0;
}

int PluginAskHelp(int commandId)
{
    ModuleData *m = nullptr;
    int k = 0;
    if (!PluginCommandEntry(commandId, &m, &k) || !m->active || !m->commandCallback)
        return 0;
    Guarded([&] { return m->commandCallback(k, ZVI_CODE_HELP); });
    return 1;
}

void PluginNotifyDrawing(int code)
{
    for (int i = 0; i < PluginModuleCount(); ++i) {
        ModuleData *m = PluginModule(i);
        if (m->commandCallback)
            Guarded([&] { return m->commandCallback(0, code); });
    }
}

int PluginOfferObject(Unit *object, int code, void *data)
{
    for (int i = 0; i < PluginModuleCount(); ++i) {
        ModuleData *m = PluginModule(i);
        if (!m->objectCallback)
            continue;
        const int answer = Guarded([&] { return m->objectCallback(object, code, data); });
        if (answer == OBJECT_HANDLED_CHANGED)
            Guarded([&] { return m->objectCallback(object, OBJECT_REGENERATE, nullptr); });
        if (answer == OBJECT_HANDLED || answer == OBJECT_HANDLED_CHANGED)
            return i;
    }
    return -1;
}

int PluginObjectTitle(Unit *object, char *title)
{
    constexpr int CODE_TITLE = 3;
    for (int i = 0; i < PluginModuleCount(); ++i) {
        ModuleData *m = PluginModule(i);
        if (!m->objectCallback)
            continue;
        const int answer = Guarded([&] { return m->objectCallback(object, CODE_TITLE, title); });
        if (answer == OBJECT_HANDLED_CHANGED) {
            title[ZVI_TITLE_SIZE - 1] = 0;
            return 1;
        }
        if (answer == OBJECT_HANDLED)
            return 0;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Exports

extern "C" {

int ZVI_CALL ZVI_ModuleRegister(const ModuleData *record) { return Register(Modules(), record, __func__, __LINE__); }
int ZVI_CALL ZVI_ImportRegister(const ModuleData *record) { return Register(Imports(), record, __func__, __LINE__); }
int ZVI_CALL ZVI_ExportRegister(const ModuleData *record) { return Register(Exports(), record, __func__, __LINE__); }

int ZVI_CALL ZVI_ModuleGetNumber() { return PluginModuleCount(); }
int ZVI_CALL ZVI_ImportGetNumber() { return PluginImportCount(); }
int ZVI_CALL ZVI_ExportGetNumber() { return PluginExportCount(); }

int ZVI_CALL ZVI_ModuleGetData(int index, ModuleData *out) { return GetData(Modules(), index, out, __func__, __LINE__); }
int ZVI_CALL ZVI_ImportGetData(int index, ModuleData *out) { return GetData(Imports(), index, out, __func__, __LINE__); }
int ZVI_CALL ZVI_ExportGetData(int index, ModuleData *out) { return GetData(Exports(), index, out, __func__, __LINE__); }

} // extern "C"

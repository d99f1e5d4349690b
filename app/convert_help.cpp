// Help for commands.
#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/init_help.h"
#include "app/darad4.h"


namespace {

constexpr char HELP_FILE_NAME[] = "darad4.hlp";
constexpr int FIRST_PLUGIN_COMMAND = 1300;
constexpr int LAST_FILTER_COMMAND = 5339;

// Internal command ranges that share one help page.
struct HelpRange {
    int first, last, context;
};
constexpr HelpRange HELP_RANGES[] = {
    {5340, 5439, 14000}, {5440, 5539, 14001}, {5540, 5559, 14002}, {5560, 5610, 14003},
    {6365, 6865, 14008}, {6866, 7366, 14009}, {7367, 7867, 14010}, {7868, 7872, 14011},
    {7873, 7877, 14012}, {7878, 7882, 14013}, {7888, 7892, 14014}, {7893, 7897, 14015},
    {7898, 7902, 14016},
};

// The help file in the program's folder.
void HelpFilePath(char *path, size_t size)
{
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, sizeof module);
    char *slash = std::strrchr(module, '\\');
    if (slash)
        slash[1] = 0;
    else
        module[0] = 0;
    std::snprintf(path, size, "%s%s", module, HELP_FILE_NAME);
}

} // namespace

int ConvertCommandHelpContext(int commandId)
{
    if (commandId >= FIRST_PLUGIN_COMMAND && commandId <= LAST_FILTER_COMMAND)
        return -1;
    for (const HelpRange &r : HELP_RANGES)
        if (commandId >= r.first && commandId <= r.last)
            return r.context;
    return commandId;
}

void ConvertShowCommandHelp(int commandId)
{
    int context = ConvertCommandHelpContext(commandId);
    if (context < 0)
        return;
    char path[MAX_PATH + 16];
    HelpFilePath(path, sizeof path);
    InitWinHelp(g_MainWnd, path, HELP_CONTEXT, (ULONG_PTR)context);
}

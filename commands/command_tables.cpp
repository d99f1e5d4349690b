// Look-ups in the command tables and the walk that checks them.
#include "commands/command_tables.h"

#include <algorithm>
#include <cstdio>

const CommandEntry *CommandFindEntry(int commandId)
{
    const CommandEntry *end = g_CommandTable + g_CommandTableSize;
    const CommandEntry *it = std::lower_bound(g_CommandTable, end, commandId,
                                              [](const CommandEntry &e, int n) { return e.number < n; });
    return it != end && it->number == commandId ? it : nullptr;
}

const CommandRange *CommandFindRange(int commandId)
{
    for (int i = 0; i < g_CommandRangeCount; ++i)
        if (commandId >= g_CommandRanges[i].first && commandId <= g_CommandRanges[i].last)
            return &g_CommandRanges[i];
    return nullptr;
}

const InternalRange *CommandFindInternal(int commandId, int *offset)
{
    for (int i = 0; i < g_InternalRangeCount; ++i) {
        const InternalRange &r = g_InternalRanges[i];
        if (commandId >= r.first && commandId < r.first + r.count) {
            if (offset)
                *offset = commandId - r.first;
            return &r;
        }
    }
    return nullptr;
}

int CommandHelpContext(int commandId)
{
    if (commandId >= COMMAND_PLUGIN_FIRST && commandId <= COMMAND_FILTER_LAST)
        return -1;
    if (const CommandEntry *e = CommandFindEntry(commandId))
        return e->help;
    const InternalRange *r = CommandFindInternal(commandId, nullptr);
    return r && r->help ? r->help : commandId;
}

int CommandTemplateOf(int commandId)
{
    if (commandId >= COMMAND_MENU_FIRST && commandId < TEMPLATE_MAP_SIZE)
        return g_CommandTemplateMap[commandId];
    if (commandId >= COMMAND_SYMBOL_FIRST && commandId <= COMMAND_SYMBOL_LAST)
        return TEMPLATE_SYMBOL_INSERT;
    return 0;
}

int CommandCheckTables(void (*report)(const char *fault))
{
    int faults = 0;
    char text[160];
    auto fault = [&](const char *format, int a, int b) {
        ++faults;
        if (report) {
            std::snprintf(text, sizeof text, format, a, b);
            report(text);
        }
    };
    for (int i = 0; i < g_CommandTableSize; ++i) {
        const CommandEntry &e = g_CommandTable[i];
        if (i > 0 && e.number <= g_CommandTable[i - 1].number)
            fault("command %d after %d: not once and sorted", e.number, g_CommandTable[i - 1].number);
        const CommandRange *r = CommandFindRange(e.number);
        if (!r || r != &g_CommandRanges[e.range])
            fault("command %d: range %d is not its own", e.number, e.range);
        else if (r->kind == RANGE_HANDLER && !r->name)
            fault("command %d: range %d has no handler", e.number, e.range);
        if (e.templ != CommandTemplateOf(e.number))
            fault("command %d: template %d differs from the map", e.number, e.templ);
    }
    for (int i = 0; i < g_CommandRangeCount; ++i) {
        const CommandRange &r = g_CommandRanges[i];
        if (r.kind == RANGE_HANDLER && !r.name)
            fault("range %d-%d: handler neither present nor marked as not yet built", r.first, r.last);
        if (i > 0 && r.first <= g_CommandRanges[i - 1].last)
            fault("range %d overlaps %d", r.first, g_CommandRanges[i - 1].last);
    }
    for (int n = COMMAND_MENU_FIRST; n < TEMPLATE_MAP_SIZE; ++n)
        if (g_CommandTemplateMap[n] != 0 && !CommandFindEntry(n))
            fault("command %d has template %d but no row", n, g_CommandTemplateMap[n]);
    for (int t = 0; t < TEMPLATE_COUNT; ++t) {
        const InputTemplate &tp = g_InputTemplates[t];
        if (tp.count < 0 || tp.count > TEMPLATE_STEPS)
            fault("template %d: %d steps", t, tp.count);
        for (int s = 0; s < tp.count && s < TEMPLATE_STEPS; ++s) {
            if (tp.ref[s] == REFERENCE_PREVIOUS && tp.mode != TEMPLATE_LIST)
                fault("template %d step %d: the previous step outside a list", t, s);
            if (tp.kind[s] < 1 || tp.kind[s] >= POINT_KIND_LIMIT)
                fault("template %d step %d: kind out of range", t, s);
        }
    }
    return faults;
}

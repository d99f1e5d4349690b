// The tablet link.
#include "app/write_tablet.h"

void *g_TabletContext = nullptr;
uint32_t g_TabletActive = 0;

namespace {

constexpr const char *WINTAB_LIBRARY = "Wintab32";
constexpr int WTENABLE_ORDINAL = 40;

HMODULE s_Wintab = nullptr;
WintabImport *s_Resolved = nullptr;
WintabImport s_WTEnable = {"WTEnable", WTENABLE_ORDINAL, nullptr, nullptr};

} // namespace

void WriteWintabResolve(WintabImport *entry)
{
    if (!s_Wintab)
        s_Wintab = LoadLibraryA(WINTAB_LIBRARY);
    if (!s_Wintab)
        return;
    entry->address = entry->ordinal ? GetProcAddress(s_Wintab, MAKEINTRESOURCEA(entry->ordinal))
                                    : GetProcAddress(s_Wintab, entry->name);
    if (entry->address) {
        entry->next = s_Resolved;
        s_Resolved = entry;
    }
}

int WriteWTEnable(void *context, int enable)
{
    if (!s_WTEnable.address)
        WriteWintabResolve(&s_WTEnable);
    if (!s_WTEnable.address)
        return 0;
    using Enable = BOOL(WINAPI *)(void *, BOOL);
    return reinterpret_cast<Enable>(reinterpret_cast<void *>(s_WTEnable.address))(context, enable) ? 1 : 0;
}

void WriteWintabUnload()
{
    if (!s_Wintab)
        return;
    FreeLibrary(s_Wintab);
    s_Wintab = nullptr;
    for (WintabImport *e = s_Resolved; e;) {
        WintabImport *next = e->next;
        e->address = nullptr;
        e->next = nullptr;
        e = next;
    }
    s_Resolved = nullptr;
}

int WriteWintabLoaded() { return s_Wintab ? 1 : 0; }

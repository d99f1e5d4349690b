// The tablet link: the Wintab library is bound on first use, so that the
// program runs where no tablet driver is installed.
#pragma once

#include <windows.h>

#include <cstdint>

// One entry point of the tablet library, resolved on first use.
struct WintabImport {
    const char *name;
    int ordinal;           // 0: by name
    FARPROC address;       // null while unresolved
    WintabImport *next;    // the chain of resolved entries
};

// Wintab's WTEnable: its result, or 0 when the library or the entry point is
// not there (silently; the next call tries again).
int WriteWTEnable(void *context, int enable);
void WriteWintabResolve(WintabImport *entry);
void WriteWintabUnload();
// 1 while the tablet library is loaded.
int WriteWintabLoaded();
// The tablet context and the flag that the tablet is active: nothing in this
// program opens a context, so both stay 0 and commands that need a tablet
// are refused.
extern void *g_TabletContext;
extern uint32_t g_TabletActive;

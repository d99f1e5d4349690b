// Can't-happen checks. A misuse that the code survives by refusing it (a
// list number outside the lists, a block the allocator never gave out) is
// trapped in a debug build, which states the reason and stops there; a
// release build goes on silently, as the refusing code always did.
#pragma once

#ifdef NDEBUG
#define INIT_TRAP(reason) ((void)0)
#else
#define INIT_TRAP(reason) InitTrap(__FILE_NAME__, __LINE__, reason)
#endif

// Writes "file(line): reason" to the debugger and to standard error, then
// stops the program (a breakpoint when a debugger is attached, else abort).
[[noreturn]] void InitTrap(const char *file, int line, const char *reason);

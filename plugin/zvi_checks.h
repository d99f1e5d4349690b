// What every export of the plug-in interface shares: the refusal with its
// diagnostic message, the probes of the addresses a plug-in passes, and the
// look-up of the units the program has handed out.
#pragma once

#include <windows.h>

#include <cstdint>

struct Unit;

// Shows "<function>()\n\n<reason>" through InitErrorBoxInterface (only when
// the Debugging setting asks for it) and returns 0. The box names the source
// file of the refusing export with the line it passes (the export's own, or
// its helper's in the same file).
int ZviRefuseAt(const char *file, const char *function, int line, const char *reason);
// The single-line-break form some messages have.
int ZviRefuseShortAt(const char *file, const char *function, int line, const char *reason);
#define ZviRefuse(function, line, reason) ZviRefuseAt(__FILE__, function, line, reason)
#define ZviRefuseShort(function, line, reason) ZviRefuseShortAt(__FILE__, function, line, reason)
#define ZVI_REFUSE(reason) ZviRefuseAt(__FILE__, __func__, __LINE__, reason)

// Probes of a plug-in's address over its full size. A null address fails.
bool ZviReadable(const void *p, size_t bytes);
bool ZviWritable(void *p, size_t bytes);
bool ZviCallable(const void *p);

// Length of a text a plug-in passes: -1 when its first byte is not readable,
// limit + 1 when no terminator lies in its first limit + 1 characters or
// readable memory ends before one, else the length.
int ZviTextLength(const char *text, int limit);

// Copies a text into a field of size bytes, cut to fit and terminated.
void ZviCopyText(char *field, const char *text, size_t size);

// The drawing number of the exports that act on the drawing as a file.
constexpr int ZVI_DRAWING = 0;

// A unit the program handed out: the live record of the list at that
// address (the walk never touches p itself), or null. Probing alone is not
// enough: freed records of the allocator stay readable.
Unit *ZviLiveUnit(int list, const void *p);
// The same for a plug-in object (kind 9) of the drawing.
Unit *ZviLiveModuleObject(const void *p);
// Whether a unit's header can be read, and then the fixed part its kind
// has (kind first, then the size that kind needs).
bool ZviUnitReadable(const Unit *unit);

struct Element;
// The element at p of a unit's chain that ends at end, or null when it does
// not lie whole inside (a size below its header would loop).
const Element *ZviChainElement(const uint8_t *p, const uint8_t *end);

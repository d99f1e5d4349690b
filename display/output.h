// The output context and object output: the one global state that every
// output, measurement and enumeration fills.
#pragma once

#include <windows.h>

#include <cstdint>

struct Unit;

// Output modes.
constexpr uint32_t OUTPUT_SCREEN = 0x1;
constexpr uint32_t OUTPUT_MEASURE = 0x2;      // measuring without drawing
constexpr uint32_t OUTPUT_COARSE = 0x10;      // coarse flattening
constexpr uint32_t OUTPUT_SCREEN_LIKE = 0x100;
constexpr uint32_t OUTPUT_METAFILE = 0x200;
constexpr uint32_t OUTPUT_PRINTER = 0x400;
constexpr uint32_t OUTPUT_ENUMERATE = 0x1000;
constexpr uint32_t OUTPUT_USAGE_SCAN = 0xF0F0; // mask of the pen and layer usage scans

// Descents into instances, blocks, clip references and character blocks stop
// beyond this depth.
constexpr int32_t OUTPUT_MAX_NESTING = 20;

// The fields the database and the geometry kernel rely on. The record keeps
// its full size so that it can be copied aside whole around plug-in calls.
struct OutputContext {
    Unit *currentInstance; // whose attribute values texts show; 0 at the top level
    int32_t nestingDepth;
    uint32_t outputMode;
    int32_t windowNumber;  // -1 none, 999 the view window
    double scale;          // effective scale applied to sizes before flattening
    uint8_t rest[440 - 24];
};
static_assert(sizeof(OutputContext) == 440);

extern OutputContext g_OutputContext;

// Draws one top-level object (kinds 0, 1, 9) into the device context. Does
// nothing and returns 1 while no drawing can be done (no device context).
int OutputDrawObject(HDC dc, Unit *unit);

struct XProperty;

// Attribute resolution. Each fills `out` (which may alias an input).
// The object's effective attributes for the current output; 0 when its layer
// or pen is not shown there.
int OutputResolveXProperty(const XProperty *own, const XProperty *parent, XProperty *out);
// own with every field it does not own taken from parent.
int OutputFillXProperty(const XProperty *own, const XProperty *parent, XProperty *out);
// own with every field it does not own taken from the instance when that owns
// it, else from the block; the own flags accumulate.
int OutputInheritXProperty(const XProperty *instance, const XProperty *block, const XProperty *own, XProperty *out);

// The state tests of pens and layers are in display/output_penlayer.h.

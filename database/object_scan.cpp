// Pen and layer use of the drawing's objects and own blocks.
#include "database/object_scan.h"

#include <cstring>

#include "app/system_defs.h"
#include "database/storage.h"

namespace {

constexpr int SCANNED_LISTS[] = {0, 1}; // the drawing's objects and its own blocks

template <typename Field>
void Scan(uint8_t *used, int slots, Field field)
{
    memset(used, 0, static_cast<size_t>(slots));
    for (int list : SCANNED_LISTS)
        for (Unit *u = MemListFirst(list, 0, 0, 1); u; u = MemListNext(u)) {
            const int32_t i = field(u->property);
            if (i >= 0 && i < slots) // a damaged index marks nothing
                used[i] = 1;
        }
}

} // namespace

void ObjectScanPenUse(uint8_t *used)
{
    Scan(used, PEN_SLOTS, [](const XProperty &p) { return p.pen; });
}

void ObjectScanLayerUse(uint8_t *used)
{
    Scan(used, LAYER_SLOTS, [](const XProperty &p) { return p.layer; });
}

// Walking a unit's element chain.
#include "database/unit.h"

Element *UnitElementAt(Unit *unit, int number)
{
    Element *e = UnitFirstElement(unit);
    for (int i = 1; i < number; ++i) {
        if (e->kind == ELEM_END || e->size == 0)
            return nullptr;
        e = ElementNext(e);
    }
    return number >= 1 ? e : nullptr;
}

uint32_t UnitChainBytes(const Unit *unit, uint32_t limit)
{
    const uint32_t first = UnitElementOffset(unit->kind);
    if (first == 0)
        return 0;
    uint32_t offset = first;
    const auto *base = reinterpret_cast<const uint8_t *>(unit);
    while (offset + ELEMENT_HEADER_SIZE <= limit) {
        const auto *e = reinterpret_cast<const Element *>(base + offset);
        if (e->size < ELEMENT_HEADER_SIZE || e->size > limit - offset)
            return 0;
        offset += e->size;
        if (e->kind == ELEM_END)
            return offset - first;
    }
    return 0;
}

const ElementPoint *UnitPointAt(const Unit *unit, int n)
{
    int i = 0;
    for (const Element *e = UnitFirstElement(unit); e->kind != ELEM_END && e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e))
        if (ElementIsPoint(e) && i++ == n)
            return reinterpret_cast<const ElementPoint *>(e);
    return nullptr;
}

// The element-header builders and the chain writer.
#include "database/init.h"

#include <cstring>

#include "database/storage.h"

static void WriteHeader(Element *element, uint32_t size, int16_t kind, uint16_t valueType, int16_t count)
{
    element->size = size;
    element->reserved = 0;
    element->pointFlags = 0;
    element->module = 0;
    element->kind = kind;
    element->valueType = valueType;
    element->count = count;
}

void InitElementPoint(Element *element, int16_t kind)
{
    WriteHeader(element, ELEM_SIZE_POINT, kind, VALUE_POINTS, 1);
}

void InitElementConstant(Element *element)
{
    WriteHeader(element, ELEM_SIZE_CONSTANT, ELEM_CONSTANT, VALUE_DOUBLES, 1);
}

void InitElementOrient(Element *element)
{
    WriteHeader(element, ELEM_SIZE_ORIENT, ELEM_ORIENT, VALUE_DOUBLES, 1);
}

void InitElementCurve(Element *element)
{
    WriteHeader(element, ELEM_SIZE_CURVE, ELEM_CURVE, VALUE_DOUBLES, 2);
}

void InitElementText(Element *element, int16_t n)
{
    WriteHeader(element, TextElementSize(n), ELEM_TEXT, VALUE_STRING, n);
}

void InitElementEnd(Element *element)
{
    WriteHeader(element, ELEM_SIZE_END, ELEM_END, VALUE_RECORD, 0);
}

void InitElementAttribute(Element *element, int16_t kind)
{
    WriteHeader(element, ELEM_SIZE_ATTRIBUTE, kind, VALUE_RECORD, ATTRIBUTE_TEXT_CAPACITY);
}

void InitElementEmpty(Element *element, int16_t kind)
{
    WriteHeader(element, ELEMENT_HEADER_SIZE, kind, VALUE_RECORD, 0);
}

// ---------------------------------------------------------------------------

void InitChainBegin(ChainWriter *writer, Unit *unit, uint32_t capacity)
{
    writer->unit = unit;
    writer->position = UnitElementOffset(unit->kind);
    uint32_t largest = writer->position + g_ObjectLimits.maxUnitData;
    writer->limit = capacity < largest ? capacity : largest;
    writer->failed = writer->position == 0 || writer->position + ELEM_SIZE_END > writer->limit;
}

// The element at the write position when `size` bytes and the end element
// still fit; 0 (and the writer failed) otherwise.
static Element *Reserve(ChainWriter *writer, uint32_t size)
{
    if (writer->failed || size > writer->limit - writer->position ||
        writer->limit - writer->position - size < ELEM_SIZE_END) {
        writer->failed = 1;
        return nullptr;
    }
    return reinterpret_cast<Element *>(reinterpret_cast<uint8_t *>(writer->unit) + writer->position);
}

static Element *Advance(ChainWriter *writer, Element *element)
{
    writer->position += element->size;
    return element;
}

Element *InitChainPoint(ChainWriter *writer, int16_t kind, double x, double y)
{
    Element *e = Reserve(writer, ELEM_SIZE_POINT);
    if (!e)
        return nullptr;
    InitElementPoint(e, kind);
    auto *p = reinterpret_cast<ElementPoint *>(e);
    p->x = x;
    p->y = y;
    return Advance(writer, e);
}

static Element *ChainDoubles(ChainWriter *writer, void (*init)(Element *), uint32_t size, double a, double b)
{
    Element *e = Reserve(writer, size);
    if (!e)
        return nullptr;
    init(e);
    auto *values = static_cast<double *>(ElementPayload(e));
    values[0] = a;
    if (size > ELEMENT_HEADER_SIZE + sizeof(double))
        values[1] = b;
    return Advance(writer, e);
}

Element *InitChainConstant(ChainWriter *writer, double value)
{
    return ChainDoubles(writer, InitElementConstant, ELEM_SIZE_CONSTANT, value, 0);
}

Element *InitChainOrient(ChainWriter *writer, double value)
{
    return ChainDoubles(writer, InitElementOrient, ELEM_SIZE_ORIENT, value, 0);
}

Element *InitChainCurve(ChainWriter *writer, double direction, double factor)
{
    return ChainDoubles(writer, InitElementCurve, ELEM_SIZE_CURVE, direction, factor);
}

Element *InitChainText(ChainWriter *writer, const char *text, int16_t capacity, bool fullSize)
{
    if (capacity <= 0) {
        writer->failed = 1;
        return nullptr;
    }
    size_t length = text ? strlen(text) : 0;
    if (length > static_cast<size_t>(capacity - 1))
        length = capacity - 1;
    const uint32_t size = fullSize ? TextElementSize(capacity) : TextElementCutSize(static_cast<uint32_t>(length));
    Element *e = Reserve(writer, size);
    if (!e)
        return nullptr;
    InitElementText(e, fullSize ? static_cast<int16_t>(-capacity) : capacity);
    e->size = size;
    auto *payload = static_cast<char *>(ElementPayload(e));
    memset(payload, 0, size - ELEMENT_HEADER_SIZE);
    if (length)
        memcpy(payload, text, length);
    return Advance(writer, e);
}

Element *InitChainRecord(ChainWriter *writer, int16_t kind, uint32_t size)
{
    if (size < ELEMENT_HEADER_SIZE) {
        writer->failed = 1;
        return nullptr;
    }
    Element *e = Reserve(writer, size);
    if (!e)
        return nullptr;
    InitElementEmpty(e, kind);
    e->size = size;
    memset(ElementPayload(e), 0, size - ELEMENT_HEADER_SIZE);
    return Advance(writer, e);
}

uint32_t InitChainEnd(ChainWriter *writer)
{
    if (writer->failed)
        return 0;
    Element *e = reinterpret_cast<Element *>(reinterpret_cast<uint8_t *>(writer->unit) + writer->position);
    InitElementEnd(e);
    writer->position += ELEM_SIZE_END;
    writer->unit->bytes = writer->position;
    return writer->position;
}

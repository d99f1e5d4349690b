// The object conversions offered to plug-ins: the program's conversions run
// between buffers of its own, and only a result that fits where the plug-in
// said is copied out.
#include <cstring>
#include <vector>

#include "commands/transform.h"
#include "database/storage.h"
#include "database/unit.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"

namespace {

// The fixed part the conversions read before the element chain.
constexpr size_t SOURCE_MINIMUM = UNIT_ELEMENTS_OBJECT;

// A plain or plug-in object whose whole record can be read, no larger than
// a unit may be, with an element chain that ends inside it.
bool SourceValid(const Unit *unit)
{
    if (!ZviReadable(unit, SOURCE_MINIMUM) || !ZviUnitReadable(unit))
        return false;
    const uint32_t start = unit->kind == UNIT_KIND_OBJECT   ? UNIT_ELEMENTS_OBJECT
                           : unit->kind == UNIT_KIND_PLUGIN ? UNIT_ELEMENTS_PLUGIN
                                                            : 0;
    if (!start || unit->bytes <= start || unit->bytes > g_ObjectLimits.objectSize ||
        !ZviReadable(unit, unit->bytes))
        return false;
    const auto *base = reinterpret_cast<const uint8_t *>(unit);
    const uint8_t *end = base + unit->bytes;
    for (const uint8_t *p = base + start;;) {
        const Element *e = ZviChainElement(p, end);
        if (!e)
            return false;
        if (e->kind == ELEM_END)
            return true;
        p += e->size;
    }
}

// Runs one conversion on copies in the program's own buffers and copies the
// result into target when it fits there; the conversion's answer, or 0.
template <typename Convert>
int Converted(const Unit *source, Unit *target, Convert convert, const char *function, int line)
{
    if (!SourceValid(source))
        return ZviRefuse(function, line, "ObjPtr1 invalid!");
    if (!ZviWritable(target, SOURCE_MINIMUM))
        return ZviRefuse(function, line, "ObjPtr2 invalid!");
    const size_t scratch = g_ObjectLimits.scratchSize;
    std::vector<uint64_t> in(scratch / sizeof(uint64_t) + 1), out(scratch / sizeof(uint64_t) + 1);
    std::memcpy(in.data(), source, source->bytes);
    auto *result = reinterpret_cast<Unit *>(out.data());
    const int answer = convert(reinterpret_cast<const Unit *>(in.data()), result);
    if (result->bytes < SOURCE_MINIMUM || result->bytes > scratch)
        return 0;
    if (!ZviWritable(target, result->bytes))
        return ZviRefuse(function, line, "ObjPtr2 invalid!");
    std::memcpy(target, result, result->bytes);
    return answer;
}

} // namespace

extern "C" {

int ZVI_CALL ZVI_TransformCurveSurface(const Unit *source, Unit *target)
{
    return Converted(source, target, TransformCurveSurface, __func__, __LINE__);
}

int ZVI_CALL ZVI_TransformDistortable(const Unit *source, Unit *target)
{
    return Converted(source, target, TransformDistortable, __func__, __LINE__);
}

int ZVI_CALL ZVI_TransformInvert(const Unit *source, Unit *target)
{
    return Converted(source, target, TransformInvert, __func__, __LINE__);
}

int ZVI_CALL ZVI_TransformObjectType(const Unit *source, Unit *target, int newType)
{
    return Converted(
        source, target, [newType](const Unit *s, Unit *t) { return TransformObjectType(s, t, newType); }, __func__,
        __LINE__);
}

} // extern "C"

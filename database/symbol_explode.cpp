// Exploding instances into plain objects, and the attribute references that
// texts inside blocks make.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/darad4.h"
#include "commands/transform.h"
#include "database/init.h"
#include "database/object_flags.h"
#include "database/object_modify.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/symbol_block.h"
#include "database/symbol_explode.h"
#include "database/symbol_find.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "display/output.h"
#include "display/symbol.h"
#include "geometry/frame.h"
#include "geometry/matrix.h"
#include "language/language.h"
#include "plugin/zvi.h"
#include "plugin/zvi_create.h"

namespace {

constexpr double DEGREES_PER_RADIAN = 57.29577951308;
constexpr const char *AUTO_POSITION_NUMBER = "~#AutoPosNum~";
constexpr int kNothingToExplode = 15; // eAlertTextSM
constexpr int kPlaceholder = 7;       // eDefaultNames

bool IsReference(const Unit *u) { return u->kind == UNIT_KIND_INSTANCE || u->kind == UNIT_KIND_PLUGIN; }

bool ModeAdmits(int mode, const Unit *u)
{
    const bool own = std::strcmp(u->instance.library, "*") == 0;
    const char *name = u->instance.block;
    switch (mode) {
    case 0: return !(own && name[0] == '#');
    case 1: return own && name[0] == '#' && name[1] == 'G';
    case 2: return own && name[0] == '#' && name[1] == 'P';
    default: return true;
    }
}

// Texts of a type: how many, from which element, their capacity, and which
// are value texts (bit n = the (n+1)-th text).
struct TextLayout {
    int count;
    int first;
    int16_t capacity;
    uint32_t valueTexts;
};

bool LayoutOf(int32_t type, TextLayout *out)
{
    switch (type) {
    case OBJTYPE_DIM_DIST: *out = {5, 8, TEXT_CAPACITY_SHORT, 0x2}; return true;
    case OBJTYPE_DIM_RAD: case OBJTYPE_DIM_DIA: *out = {5, 7, TEXT_CAPACITY_SHORT, 0x2}; return true;
    case OBJTYPE_DIM_ANGLE: *out = {5, 8, TEXT_CAPACITY_SHORT, 0x2}; return true;
    case OBJTYPE_DIM_ARC: *out = {5, 9, TEXT_CAPACITY_SHORT, 0x2}; return true;
    case OBJTYPE_DIM_COORD: *out = {7, 4, TEXT_CAPACITY_SHORT, 0xA}; return true;
    case OBJTYPE_DIM_AREA: case OBJTYPE_DIM_PERI: *out = {5, 4, TEXT_CAPACITY_SHORT, 0x2}; return true;
    case OBJTYPE_STD_TEXT: *out = {1, 1, TEXT_CAPACITY_LONG, 0}; return true;
    case OBJTYPE_FRAME_TEXT: *out = {1, 4, TEXT_CAPACITY_LONG, 0}; return true;
    case OBJTYPE_REF_TEXT: *out = {1, 3, TEXT_CAPACITY_LONG, 0}; return true;
    // A comment keeps its long text and its settings record whole.
    case OBJTYPE_COMMENT: *out = {1, 3, TEXT_CAPACITY_LONG, 0}; return true;
    default: return false;
    }
}

bool IsFrozenType(int32_t type)
{
    TextLayout l;
    return LayoutOf(type, &l);
}

void InheritElements(Unit *copy, const XProperty *inherited)
{
    XProperty merged;
    OutputFillXProperty(&copy->property, inherited, &merged);
    copy->property = merged;
    SymbolForEachElementProperty(copy, [&](XProperty *p) {
        XProperty m;
        OutputFillXProperty(p, inherited, &m);
        *p = m;
    });
}

} // namespace

void SymbolFreezeTexts(const Unit *member, Unit *out)
{
    std::memcpy(out, member, member->bytes);
    TextLayout layout;
    if (member->kind != UNIT_KIND_OBJECT || !LayoutOf(member->object.type, &layout))
        return;
    const uint8_t *src = reinterpret_cast<const uint8_t *>(UnitFirstElement(member));
    const uint8_t *srcEnd = reinterpret_cast<const uint8_t *>(member) + member->bytes;
    uint8_t *dst = reinterpret_cast<uint8_t *>(UnitFirstElement(out));
    int number = 1;
    int text = 0;
    while (src + ELEMENT_HEADER_SIZE <= srcEnd) {
        const auto *e = reinterpret_cast<const Element *>(src);
        if (e->kind == ELEM_END || e->size < ELEMENT_HEADER_SIZE)
            break;
        if (number >= layout.first && text < layout.count && e->kind == ELEM_TEXT) {
            const char *shown = SymbolGetTextString(static_cast<const char *>(ElementPayload(e)));
            auto *t = reinterpret_cast<Element *>(dst);
            InitElementText(t, layout.capacity);
            char *payload = static_cast<char *>(ElementPayload(t));
            lstrcpynA(payload, shown ? shown : "", layout.capacity);
            SymbolReleaseTextString();
            if (layout.valueTexts & (1u << text)) {
                t->count = int16_t(-TEXT_CAPACITY_SHORT);
            } else {
                t->size = ((uint32_t(std::strlen(payload)) + 8) & ~7u) + ELEMENT_HEADER_SIZE;
            }
            dst += t->size;
            ++text;
        } else {
            std::memmove(dst, e, e->size);
            dst += e->size;
        }
        src += e->size;
        ++number;
    }
    InitElementEnd(reinterpret_cast<Element *>(dst));
    dst += ELEM_SIZE_END;
    out->bytes = uint32_t(dst - reinterpret_cast<uint8_t *>(out));
}

int SymbolExplodeInstance(Unit *instance, int skipAutoNumbers)
{
    const Matrix m = instance->instance.placement;
    const bool distorting = MatrixIsDistorted(&m) != 0;
    double accumulated[4];
    FrameSetEmpty(accumulated);
    Unit *block = SymbolGetInstanceBlock(instance);
    if (!block) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    ScratchUni1 scratch(__FILE_NAME__, __LINE__);
    if (!scratch)
        return 0;
    XProperty inherited;
    OutputFillXProperty(&instance->property, &block->property, &inherited);
    Unit *buffer = reinterpret_cast<Unit *>(g_Universal1);
    bool regenerated = false;
    int result = 1;
    for (Unit *member = block->block.firstMember; member; member = member->next) {
        const Unit *source = member;
        if (member->kind == UNIT_KIND_OBJECT) {
            const int32_t type = member->object.type;
            if (skipAutoNumbers && type == OBJTYPE_REF_TEXT) {
                bool automatic = false;
                UnitForEachElement(const_cast<Unit *>(member), [&](Element *e) {
                    if (e->kind == ELEM_TEXT && std::strstr(static_cast<const char *>(ElementPayload(e)), AUTO_POSITION_NUMBER))
                        automatic = true;
                });
                if (automatic)
                    continue;
            }
            if (IsFrozenType(type)) {
                Unit *saved = g_OutputContext.currentInstance;
                g_OutputContext.currentInstance = instance;
                SymbolFreezeTexts(member, buffer);
                g_OutputContext.currentInstance = saved;
                source = buffer;
            } else if (distorting && TransformDistortable(member, buffer)) {
                source = buffer;
            }
        }
        Unit *copy = MemListNewCopyBefore(LIST_DRAWING, source, source->bytes, instance);
        if (!copy) {
            AlertSM2(g_MainWnd);
            result = 0;
            break;
        }
        UndoStampCreated(copy);
        copy->flags = instance->flags & UNIT_USER_MARK;
        if (ObjectTransform(copy, &m, 0))
            regenerated = true;
        if (copy->kind == UNIT_KIND_OBJECT) {
            InheritElements(copy, &inherited);
        } else {
            XProperty over;
            OutputOverrideXProperty(&copy->property, &inherited, &over);
            copy->property = over;
            if (std::strcmp(copy->instance.library, "*") == 0)
                lstrcpynA(copy->instance.library, instance->instance.library, UNIT_NAME_SIZE);
        }
        ObjectUpdateDisplayFlags(copy);
        if (copy->kind == UNIT_KIND_OBJECT)
            FrameCalcObject(copy, 1);
        else
            FrameCalcInstance(copy, 0);
        FrameUnion(accumulated, copy->frame);
    }
    scratch.Release();
    // A module that rebuilt an object may have made or changed blocks.
    if (regenerated)
        ZVI_UndoUpdateLinks();
    std::memcpy(g_ChangedRect, accumulated, sizeof accumulated);
    return result;
}

int SymbolExplode(uint32_t mask, int keepInstances, int mode)
{
    double accumulated[4];
    FrameSetEmpty(accumulated);
    int exploded = 0;
    bool failed = false;
    {
        ZviCreationBracket builders;
        ListFilterKeeper keep;
        for (Unit *u = MemListFirst(LIST_DRAWING, mask, mask, 1); u; u = MemListNext(u)) {
            if (!IsReference(u) || !ModeAdmits(mode, u))
                continue;
            FrameUnion(accumulated, u->frame);
            uint32_t saved[3];
            MemListSaveFilter(saved);
            if (!SymbolExplodeInstance(u, mode == 2))
                failed = true;
            MemListRestoreFilter(saved);
            if (!keepInstances)
                UndoStampDeleted(u);
            ++exploded;
        }
    }
    std::memcpy(g_ExtentsRect, accumulated, sizeof accumulated);
    if (!exploded && mode == 0)
        AlertButton1(g_MainWnd, eAlertTextSM[kNothingToExplode]);
    return exploded && !failed ? 1 : 0;
}

namespace {

// Looks the name up among a unit's attribute elements (codes 300-499).
bool FindAttribute(Unit *u, const char *name, char *out)
{
    if (!u)
        return false;
    bool found = false;
    UnitForEachElement(u, [&](Element *e) {
        if (found || !AttributeIsCode(e->kind))
            return;
        const auto *a = reinterpret_cast<const AttributeEntry *>(e);
        if (std::strcmp(a->name, name) == 0) {
            lstrcpynA(out, a->value, ATTRIBUTE_TEXT_SIZE);
            found = true;
        }
    });
    return found;
}

} // namespace

int SymbolResolveAttributeText(Unit *unit, const char *name, char *out, int *builtIn, int number)
{
    if (!unit || !name)
        return 0;
    Unit *instance = unit->kind == UNIT_KIND_INSTANCE || unit->kind == UNIT_KIND_PLUGIN ? unit : nullptr;
    Unit *block = unit->kind == UNIT_KIND_BLOCK ? unit : SymbolGetInstanceBlock(unit);
    if (builtIn)
        *builtIn = 0;
    if (name[0] == '*') {
        // The placement source: the instance, or inside a "#" block its first instance member.
        Unit *source = nullptr;
        Matrix m;
        MatrixInit(&m);
        if (instance) {
            source = instance;
            m = instance->instance.placement;
            if (block && instance->instance.block[0] == '#')
                for (Unit *member = block->block.firstMember; member; member = member->next)
                    if (member->kind == UNIT_KIND_INSTANCE) {
                        source = member;
                        m = member->instance.placement;
                        MatrixMultiply(&m, &instance->instance.placement);
                        break;
                    }
        } else if (block && block->block.name[0] == '#') {
            for (Unit *member = block->block.firstMember; member; member = member->next)
                if (member->kind == UNIT_KIND_INSTANCE) {
                    source = member;
                    m = member->instance.placement;
                    break;
                }
        }
        int key = -1;
        if (name[1] >= '0' && name[1] <= '9') {
            key = 0;
            for (int i = 1; i <= 3 && name[i] >= '0' && name[i] <= '9'; ++i)
                key = key * 10 + (name[i] - '0');
        }
        if (source && key >= 0 && key <= 9) {
            if (key == 0 || key == 1) {
                lstrcpynA(out, key == 0 ? source->instance.block : source->instance.library, UNIT_NAME_SIZE);
                if (builtIn)
                    *builtIn = 1;
                return 1;
            }
            if (key == 2 || key == 3) {
                std::snprintf(out, ATTRIBUTE_TEXT_SIZE, "%d", key == 2 ? number : 1);
                return 1;
            }
            if (key == 4 || key == 5) {
                std::snprintf(out, ATTRIBUTE_TEXT_SIZE, "%lg", key == 4 ? m.tx : m.ty);
                return 1;
            }
            double scaleY = 0, ratio = 0, rotation = 0, distortion = 0, moveX = 0, moveY = 0;
            if (!MatrixSeparate(&m, &scaleY, &ratio, &rotation, &distortion, &moveX, &moveY))
                return 0;
            const double value = key == 6 ? rotation * DEGREES_PER_RADIAN
                               : key == 7 ? ratio * scaleY
                               : key == 8 ? scaleY
                                          : distortion * DEGREES_PER_RADIAN;
            std::snprintf(out, ATTRIBUTE_TEXT_SIZE, "%lg", value);
            return 1;
        }
    }
    if (FindAttribute(instance, name, out) || FindAttribute(block, name, out))
        return 1;
    if (block && block->block.name[0] == '#')
        for (Unit *member = block->block.firstMember; member; member = member->next)
            if (member->kind == UNIT_KIND_INSTANCE &&
                (FindAttribute(member, name, out) || FindAttribute(SymbolGetInstanceBlock(member), name, out)))
                return 1;
    lstrcpynA(out, eDefaultNames[kPlaceholder], ATTRIBUTE_TEXT_SIZE);
    return 0;
}

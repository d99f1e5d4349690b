// Starting the coordinate calculator over the status bar: its input boxes
// lie over the value fields, and the running command decides which
// reference points relative input is measured from.
#include <initializer_list>

#include "app/status.h"
#include "app/write_refresh.h"
#include "commands/command_state.h"
#include "database/object_select.h"
#include "database/object_rects.h"
#include "dialogs/box08_editterm.h"
#include "geometry/calc.h"
#include "language/language.h"

CoordEntryRecord g_CoordEntryRecord;

namespace {

constexpr int STATUS_VALUE_FIRST_CELL = 1;  // status field of slot 0
constexpr int STATUS_VALUE_FIRST_LABEL = 3; // eStatusTexts entry labelling slot 0
constexpr uint32_t SELECTED_MASK = 4;       // extents of the selected objects
constexpr int32_t GEO_LINE_PIECE = 10;      // a line the constructions take from a polyline

// Reference kinds (the calculator gives them their meaning).
enum : int32_t {
    REF_NONE = 0,
    REF_CONSTRUCTION = 1,
    REF_SEGMENT = 2,
    REF_DIRECTION = 3,
    REF_ANGLE = 4,
    REF_TWO_POINTS = 5,
    REF_GIVEN = 6,
};

struct Pt {
    double x, y;
};

Pt C(int i) { return {g_ConstructionPoints[i].x, g_ConstructionPoints[i].y}; }
Pt R(int pair) { return {g_CommandState->referenceGeo.d[2 * pair], g_CommandState->referenceGeo.d[2 * pair + 1]}; }
Pt S(int pair) { return {g_CommandState->elementGeo[0].d[2 * pair], g_CommandState->elementGeo[0].d[2 * pair + 1]}; }
Pt Perp(Pt a, Pt b) { return {a.x - (b.y - a.y), a.y + (b.x - a.x)}; } // a + (b - a) turned by 90 degrees

void Set(CoordEntryRecord *r, Pt p1, Pt p2, int32_t kind)
{
    r->point1[0] = p1.x;
    r->point1[1] = p1.y;
    r->point2[0] = p2.x;
    r->point2[1] = p2.y;
    r->mode = kind;
}

bool TypeIn(int32_t type, std::initializer_list<int32_t> types)
{
    for (int32_t t : types)
        if (t == type)
            return true;
    return false;
}

bool IsLine(int32_t type) { return type == GEO_LINE || type == GEO_LINE_PIECE; }
bool IsCircleOrEllipse(int32_t type) { return TypeIn(type, {GEO_CIRCLE, GEO_ELLIPSE, GEO_GEOCIRCLE}); }

void PlaceBoxes(CoordEntryRecord *r)
{
    for (int k = 0; k < COORD_FIELD_COUNT; ++k) {
        const RECT &f = g_ToolCells[STATUS_VALUE_FIRST_CELL + k];
        const int label = StatusTextExtent(StatusPanelFont(), eStatusTexts[STATUS_VALUE_FIRST_LABEL + k]).cx;
        r->slots[k].box = RECT{f.left + label, f.top - 1, f.right + 1, f.bottom + 1};
    }
}

void SetFrame(CoordEntryRecord *r)
{
    const bool any = ObjectExtentsVisible(0, SELECTED_MASK) > 0 || ObjectExtentsVisible(0, 0) > 0;
    for (int i = 0; i < 4; ++i)
        r->frame[i] = any ? g_ExtentsRect[i] : 0.0;
}

// The references the running command offers at its current step (n >= 1).
void CommandReferences(CoordEntryRecord *r, int n)
{
    const CommandState &s = *g_CommandState;
    const int32_t rType = s.referenceGeo.type, sType = s.elementGeo[0].type;
    switch (s.commandId) {
    case 406: case 407: case 440: case 441:
        if (n == 3)
            Set(r, R(0), R(1), rType == GEO_LINE || rType == GEO_GEOLINE ? REF_ANGLE : REF_TWO_POINTS);
        break;
    case 417: case 548: case 807:
        if (n == 3)
            Set(r, C(1), C(2), REF_TWO_POINTS);
        break;
    case 502: case 503: case 504:
        if (n == 2)
            StatusCalcRefLastPoint(r);
        break;
    case 505: case 520:
        if (n == 1)
            StatusCalcRefPoint(r);
        else if (n == 2)
            StatusCalcRefLastPoint(r);
        break;
    case 506: case 542:
        if (n == 1 && IsCircleOrEllipse(sType))
            Set(r, S(0), S(0), REF_TWO_POINTS);
        else if (n == 2 || (n == 3 && s.commandId == 506))
            StatusCalcRefLastPoint(r);
        break;
    case 507: case 508: case 509:
        if (n == 3)
            StatusCalcRefLastPoint(r);
        break;
    case 510: case 519:
        if (n == 2)
            StatusCalcRefPoint(r);
        else if (n == 3)
            StatusCalcRefLastPoint(r);
        break;
    case 511: case 541: case 552: case 553:
        if (n == 1)
            Set(r, S(0), S(1), REF_DIRECTION);
        break;
    case 624: Set(r, S(0), S(1), REF_DIRECTION); break;
    case 512: case 527: case 573:
        if (n >= 2) {
            const Pt a = C(n - 1), b = C(n - 2);
            Set(r, a, Pt{2 * a.x - b.x, 2 * a.y - b.y}, REF_SEGMENT);
        }
        break;
    case 560:
        if (n == 2)
            Set(r, C(0), C(1), REF_SEGMENT);
        break;
    case 563:
        if (n == 3)
            Set(r, C(0), C(3), REF_TWO_POINTS);
        break;
    case 564:
        if (n == 2)
            Set(r, C(0), C(1), REF_SEGMENT);
        else if (n == 4)
            Set(r, C(0), C(3), REF_TWO_POINTS);
        break;
    case 601:
        if (n == 1)
            Set(r, C(0), C(0), REF_TWO_POINTS);
        break;
    case 606:
        if (TypeIn(sType, {GEO_CIRCLE, GEO_ELLIPSE, GEO_GEOCIRCLE, GEO_GEOELLI}))
            Set(r, S(0), S(0), REF_TWO_POINTS);
        break;
    case 701: case 702:
        if (IsLine(sType)) {
            if (n == 1)
                StatusCalcRefPoint(r);
            else if (n == 2)
                StatusCalcRefLastPoint(r);
        } else if ((sType >= GEO_CIRCLE && sType <= GEO_CIRC_SEGM) || (sType >= GEO_ELLIPSE && sType <= GEO_ELLI_SEGM)) {
            Set(r, R(0), n == 2 ? R(3) : R(0), REF_TWO_POINTS);
        }
        break;
    case 704:
        if (IsLine(sType))
            StatusCalcRefPoint(r);
        else if (sType >= GEO_CIRCLE && sType <= GEO_CIRC_SEGM)
            Set(r, R(0), R(1), REF_DIRECTION);
        break;
    case 706:
        if (IsLine(sType))
            StatusCalcRefView1(r);
        else if ((sType >= GEO_CIRC_ARC && sType <= GEO_CIRC_SEGM) || (sType >= GEO_ELLI_ARC && sType <= GEO_ELLI_SEGM))
            StatusCalcRefView2(r);
        break;
    case 809: case 810: case 811: case 812:
        if (n == 3)
            Set(r, C(0), Perp(C(0), C(7)), REF_ANGLE);
        else if (n == 6)
            Set(r, C(11), Pt{C(11).x - (C(10).y - C(9).y), C(11).y + (C(10).x - C(9).x)}, REF_TWO_POINTS);
        break;
    case 813: case 814: case 815: case 816:
        if (n == 3)
            Set(r, C(6), Perp(C(6), C(7)), REF_ANGLE);
        else if (n == 5)
            Set(r, C(11), Pt{C(11).x - (C(10).y - C(9).y), C(11).y + (C(10).x - C(9).x)}, REF_TWO_POINTS);
        break;
    case 817: case 843:
        if (n == 2)
            StatusCalcRefView1(r);
        else if (n == 4)
            Set(r, C(7), C(8), REF_DIRECTION);
        break;
    case 818: case 819:
        if (n == 4)
            Set(r, C(7), C(8), REF_DIRECTION);
        break;
    case 820:
        if (n == 3)
            Set(r, C(0), C(2), REF_TWO_POINTS);
        else if (n == 4)
            Set(r, C(0), C(1), REF_DIRECTION);
        break;
    case 821:
        if (n == 4)
            Set(r, C(0), C(1), REF_DIRECTION);
        break;
    default: break;
    }
}

void SetReferences(CoordEntryRecord *r, const double *point)
{
    if (point) {
        Set(r, Pt{point[0], point[1]}, Pt{point[0], point[1]}, REF_GIVEN);
        return;
    }
    Set(r, Pt{0, 0}, Pt{0, 0}, REF_NONE);
    if (!g_CommandState)
        return;
    const CommandState &s = *g_CommandState;
    const int n = s.pointIndex;
    if (n < 1)
        return;
    if (s.referenceIndex >= 0) {
        const Pt p = C(s.referenceIndex);
        Set(r, p, p, REF_CONSTRUCTION);
        if (s.pointKind == 25)
            r->mode = REF_DIRECTION;
        else if (TypeIn(s.pointKind, {26, 27, 28, 40, 44}))
            r->mode = REF_TWO_POINTS;
    }
    CommandReferences(r, n);
}

// The slots a reference kind switches off.
bool SlotOffered(int kind, int slot)
{
    switch (kind) {
    case REF_NONE: return slot != COORD_DX && slot != COORD_DY;
    case REF_DIRECTION:
    case REF_ANGLE: return slot != COORD_ANGLE;
    case REF_TWO_POINTS: return slot != COORD_LENGTH;
    case REF_GIVEN: return slot != COORD_X && slot != COORD_Y;
    default: return true;
    }
}

// The field the calculator opens on: the clicked one, else the one last used
// with this kind, else the first one offered.
void ChooseField(CoordEntryRecord *r)
{
    const int kind = r->mode;
    int field = StatusPreselectedField();
    if (field < 0 || field >= COORD_FIELD_COUNT || !r->slots[field].present)
        field = r->rememberedField[kind];
    for (int i = 0; i < COORD_FIELD_COUNT && !r->slots[field].present; ++i)
        field = (field + 1) % COORD_FIELD_COUNT;
    r->currentField = static_cast<uint32_t>(field);
}

} // namespace

void StatusCalcRefPoint(CoordEntryRecord *record) { Set(record, R(0), R(1), REF_ANGLE); }

void StatusCalcRefLastPoint(CoordEntryRecord *record)
{
    const Pt r0 = R(0), r1 = R(1), r3 = R(3);
    Set(record, r3, Pt{r3.x + r1.x - r0.x, r3.y + r1.y - r0.y}, REF_ANGLE);
}

void StatusCalcRefView1(CoordEntryRecord *record) { Set(record, R(0), R(1), REF_TWO_POINTS); }

void StatusCalcRefView2(CoordEntryRecord *record) { Set(record, R(0), R(3), REF_TWO_POINTS); }

int StatusRunTermCalculator(HWND owner, CoordEntryRecord *record, const double *point)
{
    PlaceBoxes(record);
    SetFrame(record);
    record->alternate = 0;
    SetReferences(record, point);
    const int kind = record->mode;
    record->angle = kind == REF_ANGLE ? CalcAngleOfVector(record->point2[0] - record->point1[0],
                                                          record->point2[1] - record->point1[1])
                                      : CALC_NO_VALUE;
    for (int k = 0; k < COORD_FIELD_COUNT; ++k)
        record->slots[k].present = SlotOffered(kind, k) ? 1 : 0;
    ChooseField(record);
    WriteDrawInputIndicator();
    const int result = Box08EditTerm(owner, record);
    record->rememberedField[kind] = static_cast<int32_t>(record->currentField);
    record->mode = -1;
    record->angle = CALC_NO_VALUE;
    // The panel's command cell and the bar's position come back.
    WriteRefreshFrame();
    return result;
}

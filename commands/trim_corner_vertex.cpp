// Corners at the vertices of a Curve or Surface: the path is split into
// segments, a chamfer, fillet or arc is inserted between two line segments
// at one vertex or at every vertex, and the rebuilt path replaces the object.
#include "commands/trim_corner.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "app/darad4.h"
#include "app/system.h"
#include "commands/command_state.h"
#include "commands/transform.h"
#include "database/object_rects.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/alert.h"
#include "geometry/calc_candidate.h"
#include "geometry/calc_fit.h"
#include "geometry/poly.h"
#include "language/language.h"

namespace {

constexpr int ALERT_CHAMFER_SIDE = 12;
constexpr int ALERT_NOT_EVERY_VERTEX = 46;
constexpr int ALERT_TOO_COMPLEX = 84;
constexpr int DIALOG_ARRIVING = 88;
constexpr int DIALOG_LEAVING = 89;
constexpr int BUTTON_CANCEL = 1;
// The answers of the chamfer question.
constexpr uint32_t ANSWER_ARRIVING = 16;
constexpr uint32_t ANSWER_LEAVING = 17;
constexpr uint32_t ANSWER_CANCEL = 2;
constexpr double NO_FACTOR = 1e300;

struct Pt {
    double x, y;
};

Pt StartOf(const GeoObject &g) { return g.type == GEO_CIRC_ARC ? Pt{g.d[6], g.d[7]} : Pt{g.d[0], g.d[1]}; }
Pt EndOf(const GeoObject &g) { return g.type == GEO_CIRC_ARC ? Pt{g.d[8], g.d[9]} : Pt{g.d[2], g.d[3]}; }

void SetLineEnd(GeoObject *g, Pt p) { g->d[2] = p.x, g->d[3] = p.y; }
void SetLineStart(GeoObject *g, Pt p) { g->d[0] = p.x, g->d[1] = p.y; }

// The successor of segment i for the corner at its end: the next segment of
// the same contour, or for a Surface the contour's first segment; -1 at the
// open end of a Curve.
int Successor(const GeoObject *s, int count, int i, bool closed)
{
    if (i + 1 < count && s[i + 1].contour == s[i].contour)
        return i + 1;
    if (!closed)
        return -1;
    for (int k = 0; k < i; ++k)
        if (s[k].contour == s[i].contour)
            return k;
    return i;
}

// The corner construction of the command at vertex v between the legs.
int Construct(int command, Pt a, Pt v, Pt b, bool leaving)
{
    const CommandDefaults &d = g_CommandDefaults;
    switch (command) {
    case CMD_VERTEX_CHAMFER:
    case CMD_VERTICES_CHAMFER: {
        const double length = d.distances[COMMAND_DISTANCE_CHAMFER];
        return leaving ? CalcCornerChamferAngle(b.x, b.y, v.x, v.y, a.x, a.y, length, d.angle)
                       : CalcCornerChamferAngle(a.x, a.y, v.x, v.y, b.x, b.y, length, d.angle);
    }
    case CMD_VERTEX_FILLET:
    case CMD_VERTICES_FILLET:
        return CalcCornerRoundVertex(a.x, a.y, v.x, v.y, b.x, b.y, d.distances[COMMAND_DISTANCE_FILLET]);
    case CMD_VERTEX_ARC:
    case CMD_VERTICES_ARC:
        return CalcCornerArcVertex(a.x, a.y, v.x, v.y, b.x, b.y, d.distances[COMMAND_DISTANCE_FILLET]);
    default: return 0;
    }
}

bool IsChamfer(int command) { return command == CMD_VERTEX_CHAMFER || command == CMD_VERTICES_CHAMFER; }

// Asks along which segment the chamfer length runs: 1 leaving, 0 arriving,
// -1 cancelled.
int AskChamferSide()
{
    const uint32_t answer = AlertBoxTexts(g_MainWnd, eAlertTextSM[ALERT_CHAMFER_SIDE], ANSWER_ARRIVING, ANSWER_LEAVING,
                                          ANSWER_CANCEL, 1, eDialogText[DIALOG_ARRIVING], eDialogText[DIALOG_LEAVING],
                                          eButtonText[BUTTON_CANCEL]);
    if (answer == ANSWER_CANCEL)
        return -1;
    return answer == ANSWER_LEAVING ? 1 : 0;
}

void TooComplex() { AlertButton1(g_MainWnd, eAlertTextSM[ALERT_TOO_COMPLEX]); }

// The corners of one path; 1 when the object was replaced. The segments are
// copied into a new array with the corner pieces behind their vertices, so
// that a corner at every vertex costs no more than one pass.
int TrimPathSegments(Unit *object, int command, int oneVertex)
{
    int leaving = 0;
    if (IsChamfer(command) && (leaving = AskChamferSide()) < 0)
        return 0;
    // The segment array holds the most points of one object; the corner
    // pieces must fit into the same capacity.
    const int capacity = int(g_ObjectLimits.maxUnitPoints) + 1;
    TempBlock<GeoObject> block(uint32_t(capacity), __FILE__, __LINE__);
    if (!block)
        return 0;
    GeoObject *s = block.get();
    const int count = PolyObjectToSegments(object, s, capacity);
    if (count <= 0) {
        AlertSM8(g_MainWnd);
        return 0;
    }
    const CalcPoint pick = {g_InputPoints[0].x, g_InputPoints[0].y};
    const int only = oneVertex ? TrimNearestVertex(s, count, &pick) : -1;
    std::memcpy(g_ExtentsRect, object->frame, sizeof g_ExtentsRect);
    const bool closed = object->object.type == OBJTYPE_SURFACE;
    std::vector<GeoObject> out;
    out.reserve(size_t(count));
    // Where the first segment of the current contour went in out.
    size_t contourFirst = 0;
    bool changed = false, failed = false;
    for (int i = 0; i < count; ++i) {
        GeoObject &seg = s[i];
        if (i == 0 || seg.contour != s[i - 1].contour)
            contourFirst = out.size();
        const int next = Successor(s, count, i, closed);
        bool corner = !oneVertex || i == only;
        if (corner && (seg.type != GEO_LINE || next < 0 || s[next].type != GEO_LINE)) {
            failed = failed || oneVertex;
            corner = false;
        }
        if (corner && Construct(command, StartOf(seg), EndOf(seg), EndOf(s[next]), leaving != 0) < 1) {
            failed = true;
            corner = false;
        }
        if (!corner) {
            out.push_back(seg);
            continue;
        }
        if (out.size() + 2 + size_t(count - i - 1) >= size_t(capacity)) {
            TooComplex();
            return 0;
        }
        GeoObject piece = g_CalcCandidates[0];
        const Pt p = StartOf(piece), q = EndOf(piece);
        SetLineEnd(&seg, leaving ? q : p);
        // The successor is later in the array, or the contour's first
        // segment, already copied.
        SetLineStart(&s[next], leaving ? p : q);
        if (next < i)
            SetLineStart(&out[contourFirst], leaving ? p : q);
        if (leaving)
            piece.d[0] = q.x, piece.d[1] = q.y, piece.d[2] = p.x, piece.d[3] = p.y;
        piece.contour = seg.contour;
        piece.d[13] = NO_FACTOR;
        out.push_back(seg);
        out.push_back(piece);
        changed = true;
    }
    int result = 0;
    if (changed) {
        ScratchUni1 scratch(__FILE__, __LINE__);
        if (!scratch)
            return 0;
        // The writer stops at the largest unit: a chain that does not fit is refused.
        Unit *copy = reinterpret_cast<Unit *>(g_Universal1);
        std::memcpy(copy, object, UNIT_ELEMENTS_OBJECT);
        if (!PolySegmentsToObject(copy, out.data(), int(out.size()))) {
            TooComplex();
            return 0;
        }
        result = TransformReplaceUnit(nullptr, object, g_DrawingSettings.displayDuplicate, 0);
    }
    if (!changed || failed)
        AlertButton1(g_MainWnd, eAlertTextSM[ALERT_NOT_EVERY_VERTEX]);
    return result;
}

} // namespace

int TrimNearestVertex(const GeoObject *segments, int count, const CalcPoint *p)
{
    int best = -1;
    double bestDist = 0;
    for (int i = 0; i < count; ++i) {
        const Pt e = EndOf(segments[i]);
        const double d = std::hypot(e.x - p->x, e.y - p->y);
        if (best < 0 || d < bestDist)
            best = i, bestDist = d;
    }
    return best;
}

int TrimVertexCommand(int command, int oneVertex)
{
    Unit *object = UndoFindIdent(g_InputPoints[0].ident);
    if (!object) {
        AlertSM5(g_MainWnd);
        return 0;
    }
    const int32_t type = object->kind == UNIT_KIND_OBJECT ? object->object.type : -1;
    if (type != OBJTYPE_CURVE && type != OBJTYPE_SURFACE) {
        AlertSM60(g_MainWnd);
        return 0;
    }
    return TrimPathSegments(object, command, oneVertex);
}

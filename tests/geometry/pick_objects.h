// Objects for the picking, distance and selection tests: path objects of
// several figures, arcs with their run-time sweep, and the pick set-up of a
// window (its scale and the apertures).
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/system.h"
#include "app/window.h"
#include "common/test_objects.h"
#include "database/init.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "common/test_files.h"
#include "files/file.h"
#include "files/file_records.h"
#include "files/image_list.h"
#include "files/zvi.h"
#include "geometry/frame.h"

// One piece of a path: kind 1 start, 2 line, 7/8 control points, 9 arc end
// (then the curve element with direction and factor).
struct PathStep {
    int16_t kind;
    double x, y;
    double direction = 0.0, factor = 0.0;
};

inline Unit *PickNewPath(int32_t type, const std::vector<PathStep> &steps, int list = 0)
{
    uint32_t bytes = UNIT_ELEMENTS_OBJECT + ELEM_SIZE_END;
    for (const PathStep &s : steps)
        bytes += ELEM_SIZE_POINT + (s.kind == POINT_ARC_PIECE_END ? ELEM_SIZE_CURVE : 0);
    Unit *u = MemListNewObject(list, bytes, nullptr);
    EXPECT_NE(u, nullptr);
    if (!u)
        return nullptr;
    std::memset(reinterpret_cast<uint8_t *>(u) + 16, 0, bytes - 16);
    TestInitUnitHeader(u);
    u->kind = UNIT_KIND_OBJECT;
    u->object.type = type;
    u->object.reserved = OBJTYPE_RESERVED;
    ChainWriter w;
    InitChainBegin(&w, u, bytes);
    std::vector<double> xy;
    for (const PathStep &s : steps) {
        InitChainPoint(&w, s.kind, s.x, s.y);
        if (s.kind == POINT_ARC_PIECE_END)
            InitChainCurve(&w, s.direction, s.factor);
        xy.push_back(s.x);
        xy.push_back(s.y);
    }
    EXPECT_EQ(InitChainEnd(&w), bytes);
    TestSetFrameFromPoints(u, xy);
    return u;
}

// A closed square figure from (x0, y0) to (x1, y1).
inline std::vector<PathStep> PickSquare(double x0, double y0, double x1, double y1)
{
    return {{POINT_START, x0, y0}, {POINT_LINE, x1, y0}, {POINT_LINE, x1, y1}, {POINT_LINE, x0, y1}};
}

// The run-time values of an arc type (sweep; elliptic arcs: start parameter and sweep).
inline void PickSetSub(Unit *u, int number, double v0, double v1 = 0.0)
{
    Element *e = UnitElementAt(u, number);
    ASSERT_NE(e, nullptr);
    ASSERT_LT(e->kind, 0);
    double *d = static_cast<double *>(ElementPayload(e));
    d[0] = v0;
    if (e->size >= ELEMENT_HEADER_SIZE + 2 * sizeof(double))
        d[1] = v1;
}

inline void PickSetOrientation(Unit *u, int number, double value)
{
    Element *e = UnitElementAt(u, number);
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->kind, ELEM_ORIENT);
    *static_cast<double *>(ElementPayload(e)) = value;
}

// Window 0 at one pixel per millimetre: the apertures are millimetres.
inline void PickSetApertures(int32_t pick, int32_t ambiguity)
{
    g_DrawWindows[0].pixelsPerMm = 1.0;
    g_LocalData.snap.pickAperture = pick;
    g_LocalData.snap.ambiguityAperture = ambiguity;
}

// The first alive object of a type in the drawing.
inline Unit *PickObjectOfType(int32_t type)
{
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        if (u->kind == UNIT_KIND_OBJECT && u->object.type == type)
            return u;
    ADD_FAILURE() << "no object of type " << type;
    return nullptr;
}

// The drawing of every annotation kind (tests/geometry/fixtures/pick_kinds.zvd:
// a line, a spline crossing it, a distance dimension, a text "H", a reference
// text and a bitmap at (200, 0)); its image becomes a white one of 40 x 30 mm.
inline void PickLoadKinds(const char *path)
{
    ASSERT_EQ(ZVI_InitFileBuffers(), 1);
    ASSERT_EQ(FileReadDrawing(nullptr, path, FILE_SECTIONS_ALL | FILE_MODE_QUIET, 0), 1);
    const std::string bmp = TestBmpFile(40, 30, 1000);
    ASSERT_EQ(ImageStoreData("#B logo", reinterpret_cast<const uint8_t *>(bmp.data()), uint32_t(bmp.size())), 1);
    ImageFreeBitmaps(1);
    // What the file command does after reading: the read marks go.
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        u->flags &= ~UNIT_TRANSFORM;
    Unit *bitmap = PickObjectOfType(OBJTYPE_BITMAP);
    ASSERT_NE(bitmap, nullptr);
    FrameCalcObject(bitmap, 0);
}

#include "create_fixture.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <functional>

#include "app/system.h"
#include "app/window.h"
#include "database/init.h"
#include "files/file_drawinginfo.h"
#include "files/image_list.h"
#include "geometry/calc.h"
#include "language/language.h"

namespace {


TEST_F(CreateTest, LineTakesActivePenAndLayerAndUndoRemovesIt)
{
    g_ActivePen = 3;
    g_ActiveLayer = 2;
    SetCp(0, 1, 2);
    SetCp(1, 11, -3);
    UndoInitProcess();
    ASSERT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 1);
    Unit *u = Tail();
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->bytes, 200u);
    EXPECT_EQ(u->kind, UNIT_KIND_OBJECT);
    EXPECT_EQ(u->object.type, OBJTYPE_LINE);
    EXPECT_EQ(u->object.reserved, -1);
    EXPECT_EQ(Kinds(u), (std::vector<int>{1, 2, 999}));
    EXPECT_EQ(u->property.pen, 3);
    EXPECT_EQ(u->property.layer, 2);
    EXPECT_EQ(u->property.ownFlags, 0u);
    EXPECT_EQ(u->property.width, 0.5); // set B of the active pen
    EXPECT_EQ(u->birth, g_UndoStep);
    EXPECT_EQ(u->death, UNIT_DEATH_ALIVE);
    EXPECT_EQ(u->ident, UNIT_NO_IDENT);
    EXPECT_TRUE(FrameHolds(u, 1, 2));
    EXPECT_TRUE(FrameHolds(u, 11, -3));
    EXPECT_EQ(u->frame[0], 1);
    EXPECT_EQ(u->frame[2], 11);
    UndoFinishProcess();
    EXPECT_NE(MemListFirst(LIST_DRAWING, 0, 0, 1), nullptr);
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(MemListFirst(LIST_DRAWING, 0, 0, 1), nullptr);
    ASSERT_EQ(UndoStepForward(), 1);
    EXPECT_EQ(MemListFirst(LIST_DRAWING, 0, 0, 1), u);
}

TEST_F(CreateTest, CancelledStepLeavesNothing)
{
    SetCp(0, 0, 0);
    SetCp(1, 1, 1);
    UndoInitProcess();
    ASSERT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 1);
    UndoCancelProcess();
    EXPECT_EQ(Count(), 0u);
}

// Every creatable type: its chain, its size and a frame around its geometry.
struct TypeCase {
    const char *name;
    std::function<int()> create;
    int32_t type;
    std::vector<int> kinds;
    uint32_t bytes;
    std::vector<std::pair<double, double>> inside;
};

TEST_F(CreateTest, EveryCreatorWritesItsChainAndFrame)
{
    static const double marks[] = {1, 1, 4, 5, -2, 3};
    static const double poly[] = {0, 0, 10, 0, 10, 5};
    const TypeCase cases[] = {
        {"line", [] { SetCp(0, 0, 0), SetCp(1, 10, 5); return ObjectNewLine(OBJTYPE_LINE, 0, 1); }, OBJTYPE_LINE,
         {1, 2, 999}, 200, {{0, 0}, {10, 5}}},
        {"geo line", [] { SetCp(0, 0, 0), SetCp(1, 10, 5); return ObjectNewLine(OBJTYPE_GEO_LINE, 0, 1); },
         OBJTYPE_GEO_LINE, {1, 2, 999}, 200, {{-1e200, 1e200}}},
        {"zigzag", [] { SetCp(0, 0, 0), SetCp(1, 20, 0), SetCp(2, 3, 0); return ObjectNewZigzag(0, 1, 2); },
         OBJTYPE_ZIGZAG, {1, 2, 100, 999}, 224, {{0, 0}, {20, 0}, {2.5, -0.9}}},
        {"spline", [] { SetCp(0, 0, 0), SetCp(1, 5, 5), SetCp(2, 10, 0); return ObjectNewPolyline(OBJTYPE_SPLINE, 3); },
         OBJTYPE_SPLINE, {1, 2, 2, 999}, 136 + 96, {{0, 0}, {5, 5}, {10, 0}}},
        {"surface", [] { return ObjectNewPolylineFromArray(OBJTYPE_SURFACE, poly, 3); }, OBJTYPE_SURFACE,
         {1, 2, 2, 999}, 136 + 96, {{0, 0}, {10, 5}}},
        {"polygon", [] { SetCp(0, 0, 0), SetCp(1, 2, 0), SetCp(2, 0, 5); return ObjectNewPolygon(0, 1, 2, 4); },
         OBJTYPE_SURFACE, {1, 2, 2, 2, 999}, 136 + 128, {{0, 2}, {-2, 0}, {0, -2}, {2, 0}}},
        {"circle", [] { SetCp(0, 1, 1), SetCp(1, 4, 1); return ObjectNewCircle(OBJTYPE_CIRCLE, 0, 1); },
         OBJTYPE_CIRCLE, {3, 4, 999}, 200, {{-2, 1}, {4, 1}, {1, 4}, {1, -2}}},
        {"arc", [] { SetCp(0, 0, 0), SetCp(1, 2, 0), SetCp(2, 2, 0), SetCp(3, 0, 2), SetCp(4, 1, 0);
                     return ObjectNewCircleArc(OBJTYPE_CIRC_ARC, 0, 1, 2, 3, 4); },
         OBJTYPE_CIRC_ARC, {3, 4, 5, 5, 101, -1, 999}, 312, {{2, 0}, {0, 2}, {std::sqrt(2.0), std::sqrt(2.0)}}},
        {"sector", [] { SetCp(0, 0, 0), SetCp(1, 2, 0), SetCp(2, 2, 0), SetCp(3, 0, 2), SetCp(4, 1, 0);
                        return ObjectNewCircleArc(OBJTYPE_CIRC_SEC, 0, 1, 2, 3, 4); },
         OBJTYPE_CIRC_SEC, {3, 4, 5, 5, 101, -1, 999}, 312, {{0, 0}, {2, 0}, {0, 2}}},
        {"ellipse", [] { SetCp(0, 0, 0), SetCp(1, 0, 2), SetCp(2, 5, 0); return ObjectNewEllipse(OBJTYPE_ELLIPSE, 0, 1, 2); },
         OBJTYPE_ELLIPSE, {3, 6, 6, 999}, 232, {{5, 0}, {-5, 0}, {0, 2}, {0, -2}}},
        {"ellipse arc", [] { SetCp(0, 0, 0), SetCp(1, 0, 2), SetCp(2, 5, 0), SetCp(3, 5, 0), SetCp(4, 0, 2), SetCp(5, 1, 0);
                             return ObjectNewEllipseArc(OBJTYPE_ELLI_ARC, 0, 1, 2, 3, 4, 5); },
         OBJTYPE_ELLI_ARC, {3, 6, 6, 5, 5, 101, -2, 999}, 352, {{5, 0}, {0, 2}}},
        {"marks", [] { return ObjectNewMarks(marks, 3); }, OBJTYPE_MARK, {10, 10, 10, 999}, 136 + 96,
         {{1, 1}, {4, 5}, {-2, 3}}},
        {"path", [] { SetCp(0, 0, 0, 1), SetCp(1, 10, 0, 2), SetCp(2, 10, 10, 7), SetCp(3, 0, 10, 8), SetCp(4, 0, 0, 2);
                      return ObjectNewPath(OBJTYPE_CURVE, 5); },
         OBJTYPE_CURVE, {1, 2, 7, 8, 2, 999}, 120 + 5 * 32 + 16, {{0, 0}, {10, 0}, {7.5, 7.5}}},
        {"comment", [] { SetCp(0, 2, 3), SetCp(1, 7, 9); return ObjectNewComment(); }, OBJTYPE_COMMENT,
         {0, 0, 110, 240, 999}, 0, {{2, 3}, {7, 9}}},
        {"bitmap", [] { return ObjectNewBitmapRef(4, 6, "c:\\x.bmp", nullptr, 1); }, OBJTYPE_BITMAP, {243, 999}, 456,
         {{4, 6}}},
    };
    UndoInitProcess();
    for (const TypeCase &c : cases) {
        const uint32_t before = Count();
        ASSERT_EQ(c.create(), 1) << c.name;
        ASSERT_EQ(Count(), before + 1) << c.name;
        Unit *u = Tail();
        EXPECT_EQ(u->object.type, c.type) << c.name;
        EXPECT_EQ(Kinds(u), c.kinds) << c.name;
        if (c.bytes) {
            EXPECT_EQ(u->bytes, c.bytes) << c.name;
        }
        EXPECT_EQ(u->birth, g_UndoStep) << c.name;
        for (const auto &p : c.inside)
            EXPECT_TRUE(FrameHolds(u, p.first, p.second, 1e-6)) << c.name << " " << p.first << "," << p.second;
    }
    UndoFinishProcess();
}

TEST_F(CreateTest, ArcGetsSweepAndStartOnCircle)
{
    // Start off the circle: moved onto it along its ray.
    SetCp(0, 0, 0), SetCp(1, 2, 0), SetCp(2, 5, 0), SetCp(3, 0, 1), SetCp(4, -1, 0);
    UndoInitProcess();
    ASSERT_EQ(ObjectNewCircleArc(OBJTYPE_CIRC_ARC, 0, 1, 2, 3, 4), 1);
    Unit *u = Tail();
    const ElementPoint *start = reinterpret_cast<ElementPoint *>(UnitElementAt(u, 3));
    const ElementPoint *end = reinterpret_cast<ElementPoint *>(UnitElementAt(u, 4));
    const double *sweep = static_cast<double *>(ElementPayload(UnitElementAt(u, 6)));
    EXPECT_NEAR(start->x, 2, 1e-12);
    EXPECT_NEAR(end->y, 2, 1e-12);
    EXPECT_NEAR(sweep[0], -1.5 * CALC_PI, 1e-12); // clockwise from 0 to pi/2
    EXPECT_TRUE(FrameHolds(u, -2, 0, 1e-6));
    EXPECT_TRUE(FrameHolds(u, 0, -2, 1e-6));
    UndoFinishProcess();
}

TEST_F(CreateTest, PathDropsTrailingPoints)
{
    SetCp(0, 0, 0, 1), SetCp(1, 5, 0, 2), SetCp(2, 5, 5, 9), SetCp(3, 0.5, 1, 102), SetCp(4, 9, 9, 7);
    UndoInitProcess();
    ASSERT_EQ(ObjectNewPath(OBJTYPE_CURVE, 5), 1);
    EXPECT_EQ(Kinds(Tail()), (std::vector<int>{1, 2, 9, 102, 999}));
    // No line point and no curve parameter: nothing, no alert.
    SetCp(0, 0, 0, 1), SetCp(1, 5, 0, 7), SetCp(2, 5, 5, 8);
    const uint32_t before = Count();
    EXPECT_EQ(ObjectNewPath(OBJTYPE_CURVE, 3), 0);
    EXPECT_EQ(Count(), before);
    EXPECT_TRUE(Alerts().texts.empty());
    EXPECT_EQ(g_Universal1Owner.locked, 0u);
    UndoFinishProcess();
}

TEST_F(CreateTest, TooFewPointsStoreNothing)
{
    UndoInitProcess();
    static const double one[] = {1, 1};
    EXPECT_EQ(ObjectNewPolyline(OBJTYPE_SPLINE, 1), 0);
    EXPECT_EQ(ObjectNewPolylineFromArray(OBJTYPE_SPLINE, one, 1), 0);
    EXPECT_EQ(ObjectNewMarks(one, 0), 0);
    EXPECT_EQ(Count(), 0u);
    EXPECT_TRUE(Alerts().texts.empty());
    UndoFinishProcess();
}

TEST_F(CreateTest, UnitSizeLimitFailsWithAlertAndLeavesNoUnit)
{
    const int n = (int)(g_ObjectLimits.maxUnitData / ELEM_SIZE_POINT) + 8;
    std::vector<double> points(2 * (size_t)n, 1.0);
    UndoInitProcess();
    const uint32_t bytesBefore = g_ObjectLists[LIST_DRAWING].bytes;
    EXPECT_EQ(ObjectNewPolylineFromArray(OBJTYPE_CURVE, points.data(), n), 0);
    EXPECT_EQ(ObjectNewMarks(points.data(), n), 0);
    EXPECT_EQ(Count(), 0u);
    EXPECT_EQ(g_ObjectLists[LIST_DRAWING].bytes, bytesBefore);
    ASSERT_EQ(Alerts().texts.size(), 2u);
    // The largest polyline that fits is stored.
    const int most = (int)((g_ObjectLimits.maxUnitData - ELEM_SIZE_END) / ELEM_SIZE_POINT);
    EXPECT_EQ(ObjectNewPolylineFromArray(OBJTYPE_CURVE, points.data(), most), 1);
    EXPECT_EQ(Count(), 1u);
    UndoFinishProcess();
}

TEST_F(CreateTest, HeaderUsesDefaultSlots)
{
    g_ActivePen = 3;
    g_ActiveLayer = 2;
    DefinePen(7);
    DefineLayer(4);
    alignas(8) uint8_t buffer[256] = {};
    Unit *u = reinterpret_cast<Unit *>(buffer);
    g_DefaultPens[0] = 7;
    g_DefaultLayers[2] = 4;
    ObjectInitHeader(u, OBJTYPE_DIM_DIST);
    EXPECT_EQ(u->property.pen, 7);
    EXPECT_EQ(u->property.layer, 4);
    g_DefaultPens[0] = -1;
    g_DefaultLayers[2] = -1;
    ObjectInitHeader(u, OBJTYPE_DIM_DIST);
    EXPECT_EQ(u->property.pen, 3);
    EXPECT_EQ(u->property.layer, 2);
    ObjectInitHeader(u, OBJTYPE_CLIP);
    EXPECT_EQ(u->property.ownFlags, XPROP_OWN_FILL);
    EXPECT_EQ(u->property.fillMode, 2);
    EXPECT_EQ(u->property.pen, 3);
    EXPECT_EQ(u->property.layer, 2);
    // Setting own flags for element records.
    XProperty p = XPropertyDefault();
    ObjectPropertyFromSlots(&p, 7, 4, 1);
    EXPECT_EQ(p.ownFlags, XPROP_OWN_PEN | XPROP_OWN_LAYER);
}

TEST_F(CreateTest, HiddenOrLockedLayerAsks)
{
    g_ActiveLayer = 2;
    g_LayerDefs[2].state = DEF_STATE_LOCKED; // hidden (no shown bit) and locked
    SetCp(0, 0, 0), SetCp(1, 1, 1);
    UndoInitProcess();
    Alerts().answer = ALERT_CANCEL;
    EXPECT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 0);
    EXPECT_EQ(Count(), 0u);
    ASSERT_EQ(Alerts().texts.size(), 1u);
    EXPECT_EQ(Alerts().texts[0], eAlertTextSM[ALERT_LAYER_PEN_HIDDEN] ? eAlertTextSM[ALERT_LAYER_PEN_HIDDEN] : "");
    // Going on stores it, hidden and locked.
    Alerts().answer = 0;
    EXPECT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 1);
    EXPECT_EQ(Tail()->flags & (UNIT_HIDDEN | UNIT_LOCKED), UNIT_HIDDEN | UNIT_LOCKED);
    // Only locked: the second question.
    g_LayerDefs[2].state = DEF_STATE_DEFAULT | DEF_STATE_LOCKED;
    Alerts().texts.clear();
    Alerts().answer = ALERT_CANCEL;
    EXPECT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 0);
    ASSERT_EQ(Alerts().texts.size(), 1u);
    EXPECT_EQ(Alerts().texts[0], eAlertTextSM[ALERT_LAYER_PEN_LOCKED] ? eAlertTextSM[ALERT_LAYER_PEN_LOCKED] : "");
    // A free layer slot counts as layer 0: no question.
    g_ActiveLayer = 9;
    g_LayerDefs[9].name[0] = 0;
    g_LayerDefs[9].state = 0;
    Alerts().texts.clear();
    EXPECT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 1);
    EXPECT_TRUE(Alerts().texts.empty());
    UndoFinishProcess();
}

TEST_F(CreateTest, CommentMarksCommentsChanged)
{
    std::strcpy(g_LocalData.texts[LOCAL_COMMENT_TEXT], "a note");
    g_DrawingInfo.commentsChanged = 0;
    SetCp(0, 0, 0), SetCp(1, 3, 3);
    UndoInitProcess();
    ASSERT_EQ(ObjectNewComment(), 1);
    EXPECT_EQ(g_DrawingInfo.commentsChanged, 1u);
    EXPECT_STREQ(static_cast<const char *>(ElementPayload(UnitElementAt(Tail(), 3))), "a note");
    EXPECT_EQ(g_Universal1Owner.locked, 0u);
    UndoFinishProcess();
}

TEST_F(CreateTest, PurgeAllEmptiesDrawingAndPluginData)
{
    SetCp(0, 0, 0), SetCp(1, 1, 1);
    UndoInitProcess();
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 1);
    UndoFinishProcess();
    ASSERT_NE(MemListNewObject(LIST_PLUGIN_DATA, 64, nullptr), nullptr);
    ObjectPurgeAll();
    EXPECT_EQ(g_ObjectLists[LIST_DRAWING].count, 0u);
    EXPECT_EQ(g_ObjectLists[LIST_PLUGIN_DATA].count, 0u);
    EXPECT_EQ(g_ObjectLists[LIST_DRAWING].bytes, 0u);
}

} // namespace

namespace {

TEST_F(CreateTest, DeleteSelectedSkipsLockedAndUndoRestores)
{
    DefineLayer(5);
    SetCp(0, 0, 0), SetCp(1, 1, 1);
    UndoInitProcess();
    g_ActiveLayer = 2;
    ASSERT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 1);
    Unit *open = Tail();
    g_ActiveLayer = 5;
    ASSERT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 1);
    Unit *locked = Tail();
    UndoFinishProcess();
    g_LayerDefs[5].state |= DEF_STATE_LOCKED;
    ObjectUpdateDisplayFlagsAll(0);
    open->flags |= UNIT_SELECTED;
    locked->flags |= UNIT_SELECTED;
    UndoInitProcess();
    EXPECT_EQ(ObjectDeleteSelected(UNIT_SELECTED), 1);
    UndoFinishProcess();
    EXPECT_FALSE(UndoIsVisible(open, g_UndoStep));
    EXPECT_TRUE(UndoIsVisible(locked, g_UndoStep));
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_TRUE(UndoIsVisible(open, g_UndoStep));
    // Nothing matching: 0.
    UndoInitProcess();
    EXPECT_EQ(ObjectDeleteGeo(UNIT_SELECTED), 0);
    UndoFinishProcess();
}

TEST_F(CreateTest, DeleteCommentsOnlyTouchesComments)
{
    SetCp(0, 0, 0), SetCp(1, 1, 1);
    UndoInitProcess();
    ASSERT_EQ(ObjectNewComment(), 1);
    Unit *comment = Tail();
    ASSERT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 1);
    Unit *line = Tail();
    UndoFinishProcess();
    g_DrawingInfo.commentsChanged = 0;
    UndoInitProcess();
    EXPECT_EQ(ObjectDeleteComments(0), 1);
    UndoFinishProcess();
    EXPECT_FALSE(UndoIsVisible(comment, g_UndoStep));
    EXPECT_TRUE(UndoIsVisible(line, g_UndoStep));
    EXPECT_EQ(g_DrawingInfo.commentsChanged, 1u);
}

// A 1-bit bitmap file whose two table colours are red and blue.
std::string WriteTwoColourBitmap()
{
    char dir[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    GetTempFileNameA(dir, "bmp", 0, path);
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = 8;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = 1;
    h.biClrUsed = 2;
    const uint8_t table[8] = {0, 0, 255, 0, 255, 0, 0, 0}; // red, blue
    const uint8_t rows[8] = {0xF0, 0, 0, 0, 0x0F, 0, 0, 0};
    BITMAPFILEHEADER f{};
    f.bfType = 0x4D42;
    f.bfOffBits = sizeof f + sizeof h + sizeof table;
    f.bfSize = f.bfOffBits + sizeof rows;
    FILE *out = fopen(path, "wb");
    fwrite(&f, sizeof f, 1, out);
    fwrite(&h, sizeof h, 1, out);
    fwrite(table, sizeof table, 1, out);
    fwrite(rows, sizeof rows, 1, out);
    fclose(out);
    return path;
}

// A new Bitmap object takes its image's two colours as its own, linked or
// embedded; one whose image cannot be had is stored with the pen's colours.
TEST_F(CreateTest, NewBitmapLoadsItsImageAndTakesItsTwoColours)
{
    const std::string path = WriteTwoColourBitmap();
    const uint32_t both = XPROP_OWN_COLOR1 | XPROP_OWN_COLOR2;
    struct Case {
        const char *name;
        int embed;
        const char *file;
        bool found;
    } cases[] = {
        {"linked", 0, path.c_str(), true},
        {"embedded", 1, path.c_str(), true},
        {"linked, missing", 0, "c:\\no\\such.bmp", false},
        {"embedded, missing", 1, "c:\\no\\such.bmp", false},
    };
    UndoInitProcess();
    for (const Case &c : cases) {
        ASSERT_EQ(ObjectNewBitmapRef(1, 2, c.file, nullptr, c.embed), 1) << c.name;
        Unit *u = Tail();
        const char *name = ImageNameOf(u);
        ASSERT_NE(name, nullptr) << c.name;
        EXPECT_EQ(ImageFindBitmap(name, 0) != nullptr, c.found) << c.name;
        EXPECT_EQ((u->property.ownFlags & both) == both, c.found) << c.name;
        if (c.found) {
            EXPECT_EQ(u->property.color2, uint32_t(RGB(255, 0, 0))) << c.name;
            EXPECT_EQ(u->property.color1, uint32_t(RGB(0, 0, 255))) << c.name;
        }
    }
    UndoFinishProcess();
    ImageFreeBitmaps(1);
    DeleteFileA(path.c_str());
}

TEST_F(CreateTest, DrawNewMarkersClearsShortMarksOfThisStepOnly)
{
    SetCp(0, 0, 0), SetCp(1, 1, 1);
    UndoInitProcess();
    ASSERT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 1);
    Unit *older = Tail();
    UndoFinishProcess();
    UndoInitProcess();
    ASSERT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 1);
    Unit *fresh = Tail();
    older->flags |= UNIT_TRANSFORM;
    fresh->flags |= UNIT_TRANSFORM;
    ObjectDrawNewMarkers(0);
    EXPECT_EQ(fresh->flags & UNIT_SHORT_MARKS, 0u);
    EXPECT_NE(older->flags & UNIT_SHORT_MARKS, 0u);
    UndoFinishProcess();
}

// New objects are drawn into every drawing window that exists, and into the
// view window only when it is shown and follows the drawing.
TEST_F(CreateTest, DrawNewMarkersAllDrawsIntoTheWindowsThatExist)
{
    HWND drawing = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND view = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(drawing && view);
    WindowInitRecord(&g_DrawWindows[1], drawing, 0);
    WindowInitRecord(&g_ViewWindow, view, 0);
    const uint32_t visible = g_Options.viewVisible, update = g_Options.viewUpdate;
    g_Options.viewVisible = 1;
    SetCp(0, 0, 0), SetCp(1, 1, 1);
    for (uint32_t follows : {0u, 1u}) {
        g_Options.viewUpdate = follows;
        g_OutputContext.window = -5;
        UndoInitProcess();
        ASSERT_EQ(ObjectNewLine(OBJTYPE_LINE, 0, 1), 1); // draws the new markers itself
        EXPECT_EQ(g_OutputContext.window, follows ? WINDOW_VIEW : 1);
        EXPECT_EQ(Tail()->flags & UNIT_SHORT_MARKS, 0u);
        UndoFinishProcess();
    }
    g_Options.viewVisible = visible;
    g_Options.viewUpdate = update;
    WindowInitRecord(&g_DrawWindows[1], nullptr, 0);
    WindowInitRecord(&g_ViewWindow, nullptr, 0);
    DestroyWindow(drawing);
    DestroyWindow(view);
}

} // namespace

namespace {

TEST_F(CreateTest, ElementRecordsTakeTheirSlotsAndFontFill)
{
    DefinePen(7);
    DefineLayer(4);
    g_DefaultPens[DEFAULT_PEN_TEXT] = 7;
    g_DefaultLayers[DEFAULT_LAYER_TEXT] = 4;
    alignas(8) uint8_t buffer[ELEM_SIZE_TEXT_STANDARD] = {};
    Element *e = reinterpret_cast<Element *>(buffer);
    InitElementEmpty(e, ELEM_TEXT_STANDARD);
    e->size = ELEM_SIZE_TEXT_STANDARD;
    uint8_t *payload = static_cast<uint8_t *>(ElementPayload(e));
    const uint32_t namedFont = 1;
    std::memcpy(payload, &namedFont, sizeof namedFont);
    const int32_t savedFill = g_FontFillMode;
    g_FontFillMode = 1;
    ObjectPropertyForElement(e);
    XProperty p;
    std::memcpy(&p, payload + RECORD_XPROPERTY_OFFSET, sizeof p);
    EXPECT_EQ(p.pen, 7);
    EXPECT_EQ(p.layer, 4);
    EXPECT_EQ(p.width, 0.5);
    EXPECT_EQ(p.ownFlags, XPROP_OWN_PEN | XPROP_OWN_LAYER | XPROP_OWN_FILL);
    EXPECT_EQ(p.fillMode, 1);
    g_FontFillMode = savedFill;
    g_DefaultPens[DEFAULT_PEN_TEXT] = -1;
    g_DefaultLayers[DEFAULT_LAYER_TEXT] = -1;
}

} // namespace

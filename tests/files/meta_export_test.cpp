// WMF and EMF export: the logical space and placeable header, files that the
// system and the program's own import read back with the drawing's extents,
// one font per text, and the metafiles written by another program.
#include <cmath>
#include <cstdio>

#include "app/system_defs.h"
#include "app/window.h"
#include "common/test_support.h"
#include "database/undo.h"
#include "meta_fixture.h"
#include "plugin/stream.h"

namespace {

class MetaExportTest : public MetaTest {
protected:
    // A 200 x 100 mm drawing: a frame of lines, a filled surface, a dashed
    // line and a text.
    void MakeDrawing()
    {
        ASSERT_NE(TestNewLine(0, 0, 200, 0), nullptr);
        ASSERT_NE(TestNewLine(200, 0, 200, 100), nullptr);
        ASSERT_NE(TestNewLine(200, 100, 0, 100), nullptr);
        ASSERT_NE(TestNewLine(0, 100, 0, 0), nullptr);
        Unit *s = TestNewObject(LIST_DRAWING, OBJTYPE_SURFACE, {20, 20, 60, 20, 60, 60, 20, 60});
        ASSERT_NE(s, nullptr);
        s->property.fillMode = 2;
        s->property.color1 = RGB(255, 0, 0);
        s->property.ownFlags = 0;
        Unit *dashed = TestNewLine(100, 50, 180, 50);
        ASSERT_NE(dashed, nullptr);
        dashed->property.lineType = 2;
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            FrameCalcObject(u, 1);
    }
    // The metafile's logical space for the drawing as it is now: the output
    // rectangle's top-left corner is the origin, its longer side 32000 units.
    struct Mapping {
        double left, top, scale;
        double X(double x) const { return (x - left) * scale; }
        double Y(double y) const { return (top - y) * scale; }
    };
    static Mapping WmfMapping()
    {
        double r[4];
        OutputGetRectangle(r, 0);
        const MetaExtent e = MetaComputeExtent(std::fabs(r[2] - r[0]), std::fabs(r[3] - r[1]), META_WMF_RANGE,
                                               META_WMF_SCALE_CAP);
        return Mapping{r[0], r[3], e.scale};
    }
    // Exports the whole drawing as a WMF without the placeable header and
    // walks its records.
    template <typename Visit> static void ExportWmfAndWalk(const char *name, Visit visit)
    {
        TestTempFile file(name);
        ASSERT_EQ(MetaWriteWmfFile(nullptr, file.Path(), 0, 0), 1);
        const std::vector<uint8_t> bits = Read(file.Path());
        MetaWmfInfo info;
        const char *problem;
        ASSERT_EQ(MetaCheckWmfBits(bits.data(), bits.size(), &info, &problem), 1);
        MetaWalkWmf(bits.data(), bits.size(), info, visit);
    }
    static std::vector<uint8_t> Read(const char *path)
    {
        const std::string s = TestReadFile(path);
        return std::vector<uint8_t>(s.begin(), s.end());
    }
};

TEST_F(MetaExportTest, WmfLogicalSpaceAndPlaceableHeader)
{
    const MetaExtent e = MetaComputeExtent(200.0, 100.0, META_WMF_RANGE, META_WMF_SCALE_CAP);
    EXPECT_EQ(e.scale, 160.0);
    EXPECT_EQ(e.width, 32000);
    EXPECT_EQ(e.height, 16000);
    const MetaPlaceableHeader h = MetaMakePlaceableHeader(e);
    EXPECT_EQ(h.inch, 4064);
    const uint16_t words[] = {0xCDD7, 0x9AC6, 0, 0, 0, 32000, 16000, 4064, 0, 0};
    uint16_t sum = 0;
    for (uint16_t w : words)
        sum ^= w;
    EXPECT_EQ(h.checksum, sum);

    const MetaExtent line = MetaComputeExtent(50.0, 0.0, META_WMF_RANGE, META_WMF_SCALE_CAP);
    EXPECT_EQ(line.scale, 640.0);
    EXPECT_EQ(line.width, 32000);
    EXPECT_EQ(line.height, 0);
    // A point or a very small drawing: the scale stops where the inch field
    // still holds it.
    for (double side : {0.0, 1e-3, 5.0}) {
        const MetaExtent small = MetaComputeExtent(side, side, META_WMF_RANGE, META_WMF_SCALE_CAP);
        EXPECT_LE(small.scale, META_WMF_SCALE_CAP) << side;
        EXPECT_LE(std::floor(small.scale * 25.4 + 0.5), 65535.0) << side;
        EXPECT_EQ(MetaMakePlaceableHeader(small).inch, uint16_t(std::floor(small.scale * 25.4 + 0.5)));
    }
}

TEST_F(MetaExportTest, WmfFileReadsBackWithTheDrawingsExtents)
{
    ASSERT_NO_FATAL_FAILURE(MakeDrawing());
    TestTempFile with("meta_with.wmf"), without("meta_without.wmf");
    ASSERT_EQ(MetaWriteWmfFile(nullptr, with.Path(), 0, 1), 1);
    ASSERT_EQ(MetaWriteWmfFile(nullptr, without.Path(), 0, 0), 1);
    const std::vector<uint8_t> a = Read(with.Path()), b = Read(without.Path());
    ASSERT_GT(a.size(), 40u);
    MetaPlaceableHeader h;
    std::memcpy(&h, a.data(), sizeof h);
    EXPECT_EQ(h.key, META_PLACEABLE_KEY);
    // The lines' width widens the extents a little beyond 200 x 100 mm.
    EXPECT_EQ(std::max(h.right, h.bottom), 32000);
    EXPECT_NEAR(double(h.right) / h.bottom, 2.0, 0.01);
    EXPECT_EQ(std::vector<uint8_t>(a.begin() + 22, a.end()), b);
    uint16_t type;
    std::memcpy(&type, b.data(), 2);
    EXPECT_EQ(type, 1); // the bare file begins with the metafile header
    EXPECT_EQ(MetaCheckWmfFile(with.Path()), 1);
    EXPECT_EQ(MetaCheckWmfFile(without.Path()), 1);

    // The system reads it.
    HMETAFILE system = SetMetaFileBitsEx(UINT(b.size()), b.data());
    ASSERT_NE(system, nullptr);
    DeleteMetaFile(system);

    // And the import gives the drawing back at its size.
    FileClearDrawing();
    ASSERT_EQ(MetaImportWmf(nullptr, with.Path()), 1);
    EXPECT_GE(Objects().size(), 6u);
    EXPECT_NEAR(Width(g_ChangedRect), 200.0, 1.5);
    EXPECT_NEAR(Height(g_ChangedRect), 100.0, 1.5);
}

// The WMF is made from the enumeration stream: a filled TrueType text comes
// as one text call per character, each with a font of its own escapement,
// the first at the text's origin.
TEST_F(MetaExportTest, WmfTextsArriveOneCallPerCharacter)
{
    g_DrawingSettings.outputTrueType = 0;
    struct Case {
        const char *text;
        Matrix matrix;
        int32_t fillMode;
        int calls;      // text calls; 0: the glyph outlines come as areas
        int escapement; // tenths of a degree, modulo a full turn
    };
    // A text turned a quarter clockwise in the drawing reads top to bottom:
    // GDI's escapement of -90 degrees (its y axis points down, the drawing's up).
    // Only a text filled without an outline is set by characters: an outlined
    // one, or one the font cannot show mirrored, comes as its glyph outlines.
    const Case cases[] = {{"ABCD", Matrix{5, 0, 0, 5, 50, 80}, FILL_SOLID, 4, 0},
                          {"XYZ", Matrix{0, -5, 5, 0, 150, 80}, FILL_SOLID, 3, -900},
                          {"Q", Matrix{0, 5, -5, 0, 150, 20}, FILL_SOLID, 1, 900},
                          {"ABCD", Matrix{5, 0, 0, 5, 50, 80}, FILL_NONE, 0, 0},
                          {"ABCD", Matrix{-5, 0, 0, 5, 50, 80}, FILL_SOLID, 0, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        FileClearDrawing();
        ASSERT_NO_FATAL_FAILURE(MakeDrawing());
        Unit *text = TestNewObject(LIST_DRAWING, OBJTYPE_STD_TEXT, {});
        ASSERT_NE(text, nullptr);
        Element *e = UnitFirstElement(text);
        std::strcpy(static_cast<char *>(ElementPayload(e)), c.text);
        auto *t = static_cast<TextStandardData *>(ElementPayload(ElementNext(e)));
        FileDefaultTextStandard(t);
        t->matrix = c.matrix;
        // A text's look is its text record's own property.
        t->property.fillMode = c.fillMode;
        t->property.ownFlags |= XPROP_OWN_FILL;
        FrameCalcObject(text, 1);
        const Mapping map = WmfMapping();
        int fonts = 0, calls = 0, areas = 0;
        std::vector<int> escapements;
        std::vector<POINT> at;
        ASSERT_NO_FATAL_FAILURE(ExportWmfAndWalk("meta_text.wmf", [&](const MetaRecord &r) {
            int16_t height = 0, escapement = 0, x = 0, y = 0, count = 0;
            areas += r.type == META_POLYPOLYGON;
            // The characters' fonts have em heights (negative); the font the
            // metafile started with comes back once after the first character.
            if (r.type == META_CREATEFONTINDIRECT && r.I16(6, &height) && height < 0 && r.I16(10, &escapement)) {
                ++fonts;
                escapements.push_back(escapement);
            }
            if (r.type == META_EXTTEXTOUT && r.I16(6, &y) && r.I16(8, &x) && r.I16(10, &count)) {
                ++calls;
                EXPECT_EQ(count, 1);
                at.push_back(POINT{x, y});
            } else if (r.type == META_TEXTOUT && r.I16(6, &count)) {
                ++calls;
                EXPECT_EQ(count, 1);
                const uint32_t xy = 8 + ((uint32_t(count) + 1) & ~1u);
                if (r.I16(xy, &y) && r.I16(xy + 2, &x))
                    at.push_back(POINT{x, y});
            }
            return 1;
        }));
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(fonts, c.calls);
        for (int escapement : escapements)
            EXPECT_EQ(((escapement - c.escapement) % 3600 + 3600) % 3600, 0) << escapement;
        if (c.calls == 0) {
            // The drawing's one filled square, then one area per glyph.
            EXPECT_GE(areas, 1 + int(std::strlen(c.text)));
            continue;
        }
        ASSERT_FALSE(at.empty());
        EXPECT_NEAR(at[0].x, map.X(c.matrix.tx), 2.0);
        EXPECT_NEAR(at[0].y, map.Y(c.matrix.ty), 2.0);
        // The following characters move along the text's direction.
        if (at.size() > 1) {
            const double along = (at[1].x - at[0].x) * c.matrix.a - (at[1].y - at[0].y) * c.matrix.b;
            EXPECT_GT(along, 0.0);
        }
    }
}

// Point marks come as strokes and a circle in the output marks' style, at
// the mark's place, when the output switch of the marks is on; with it off
// they are left out like on paper.
TEST_F(MetaExportTest, WmfPointMarksInTheOutputMarksStyle)
{
    struct Case {
        uint32_t on;
        int32_t kind;
        int ellipses, moves;
    };
    const Case cases[] = {{1, META_MARK_PLUS | META_MARK_CROSS | META_MARK_CIRCLE, 1, 4},
                          {1, META_MARK_PLUS, 0, 2},
                          {1, META_MARK_CROSS | META_MARK_CIRCLE, 1, 2},
                          {0, META_MARK_PLUS | META_MARK_CROSS | META_MARK_CIRCLE, 0, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind + 10 * int(c.on));
        FileClearDrawing();
        ASSERT_NO_FATAL_FAILURE(MakeDrawing());
        Unit *marks = TestNewObject(LIST_DRAWING, OBJTYPE_MARK, {10, 90});
        ASSERT_NE(marks, nullptr);
        Points(marks)[0]->head.kind = POINT_MARK;
        FrameCalcObject(marks, 1);
        g_DrawingSettings.outputMark.on = c.on;
        g_DrawingSettings.outputMark.kind = c.kind;
        g_DrawingSettings.outputMark.size = 2.0;
        const Mapping map = WmfMapping();

        int ellipses = 0, moves = 0;
        ASSERT_NO_FATAL_FAILURE(ExportWmfAndWalk("meta_marks.wmf", [&](const MetaRecord &r) {
            int16_t bottom, right, top, left, y, x;
            if (r.type == META_ELLIPSE && r.I16(6, &bottom) && r.I16(8, &right) && r.I16(10, &top) &&
                r.I16(12, &left)) {
                ++ellipses;
                EXPECT_NEAR((left + right) / 2.0, map.X(10), 1.0);
                EXPECT_NEAR((top + bottom) / 2.0, map.Y(90), 1.0);
                EXPECT_NEAR(right - left, 4.0 * map.scale, 1.0);
            }
            if (r.type == META_MOVETO && r.I16(6, &y) && r.I16(8, &x)) {
                ++moves;
                EXPECT_NEAR(std::hypot(x - map.X(10), y - map.Y(90)), 2.0 * map.scale, 1.5);
            }
            return 1;
        }));
        EXPECT_EQ(ellipses, c.ellipses);
        EXPECT_EQ(moves, c.moves);
    }
}

// Areas with holes are one PolyPolygon of all their figures.
TEST_F(MetaExportTest, WmfAreasKeepTheirHoles)
{
    ASSERT_NO_FATAL_FAILURE(MakeDrawing());
    Unit *ring = TestNewObject(LIST_DRAWING, OBJTYPE_SURFACE,
                               {100, 10, 190, 10, 190, 90, 100, 90, 120, 30, 170, 30, 170, 70, 120, 70});
    ASSERT_NE(ring, nullptr);
    Points(ring)[4]->head.kind = ENUM_CODE_MOVE;
    ring->property.fillMode = 2;
    ring->property.ownFlags = 0;
    for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
        FrameCalcObject(u, 1);

    std::vector<int> polygonFigures;
    ASSERT_NO_FATAL_FAILURE(ExportWmfAndWalk("meta_areas.wmf", [&](const MetaRecord &r) {
        uint16_t n = 0;
        if (r.type == META_POLYPOLYGON && r.U16(6, &n))
            polygonFigures.push_back(n);
        return 1;
    }));
    // The filled square of the drawing and the ring with its hole.
    EXPECT_EQ(polygonFigures, (std::vector<int>{1, 2}));
}

// A 100 mm line of 5 mm dashes and 5 mm gaps: both metafiles carry the dashes
// cut by the program, with solid pens.
TEST_F(MetaExportTest, DashesSurviveBothExports)
{
    LineDef &dash = g_LineDefs[3];
    dash = LineDef{};
    std::strcpy(dash.name, "dash");
    dash.pairs = 1;
    dash.kind = 1;
    dash.lengths[0] = dash.lengths[1] = 500;
    Unit *line = TestNewLine(0, 0, 100, 0);
    ASSERT_NE(line, nullptr);
    line->property.lineType = 3;
    line->property.ownFlags |= XPROP_OWN_LINETYPE;
    FrameCalcObject(line, 1);

    TestTempFile wmf("meta_dash.wmf"), emf("meta_dash.emf");
    ASSERT_EQ(MetaWriteWmfFile(nullptr, wmf.Path(), 0, 0), 1);
    const std::vector<uint8_t> bits = Read(wmf.Path());
    MetaWmfInfo info;
    const char *problem;
    ASSERT_EQ(MetaCheckWmfBits(bits.data(), bits.size(), &info, &problem), 1);
    int strokes = 0;
    MetaWalkWmf(bits.data(), bits.size(), info, [&](const MetaRecord &r) {
        strokes += r.type == META_LINETO || r.type == META_POLYLINE;
        uint16_t style = 0;
        if (r.type == META_CREATEPENINDIRECT && r.U16(6, &style))
            EXPECT_TRUE(style == PS_SOLID || style == PS_NULL) << style;
        return 1;
    });
    EXPECT_GE(strokes, 9);

    ASSERT_EQ(MetaExportEmf(nullptr, emf.Path(), 0), 1);
    const std::vector<uint8_t> e = Read(emf.Path());
    MetaEmfHeaderInfo header;
    ASSERT_EQ(MetaCheckEmfBits(e.data(), e.size(), &header, &problem), 1);
    int cut = 0;
    MetaWalkEmf(e.data(), e.size(), [&](const MetaRecord &r) {
        cut += r.type == EMR_LINETO;
        return 1;
    });
    EXPECT_GE(cut, 9);
}

TEST_F(MetaExportTest, EmfFileCarriesThePictureSizeAndReadsBack)
{
    ASSERT_NO_FATAL_FAILURE(MakeDrawing());
    g_Options.coordRangeEMF = 30720;
    TestTempFile file("meta_out.emf");
    ASSERT_EQ(MetaExportEmf(nullptr, file.Path(), 0), 1);
    HENHMETAFILE h = GetEnhMetaFileA(file.Path());
    ASSERT_NE(h, nullptr);
    ENHMETAHEADER header;
    ASSERT_GT(GetEnhMetaFileHeader(h, sizeof header, &header), 0u);
    DeleteEnhMetaFile(h);
    double rect[4];
    OutputGetRectangle(rect, 0);
    EXPECT_EQ(header.rclFrame.right, LONG(std::floor((rect[2] - rect[0]) * 100 + 0.5)));
    EXPECT_EQ(header.rclFrame.bottom, LONG(std::floor((rect[3] - rect[1]) * 100 + 0.5)));
    EXPECT_EQ(MetaCheckEmfFile(file.Path()), 1);

    FileClearDrawing();
    ASSERT_EQ(MetaImportEmf(nullptr, file.Path()), 1);
    EXPECT_GE(Objects().size(), 6u);
    EXPECT_NEAR(Width(g_ChangedRect), rect[2] - rect[0], 1.0);
    EXPECT_NEAR(Height(g_ChangedRect), rect[3] - rect[1], 1.0);
}

// With the output settings' grid on, the EMF carries the grid of the active
// window's coordinate system inside the output rectangle; the header's pixel
// bounds lie inside its millimetre frame measured in reference pixels.
TEST_F(MetaExportTest, EmfCarriesTheGridAndBoundsThatAgreeWithItsFrame)
{
    ASSERT_NO_FATAL_FAILURE(MakeDrawing());
    const DrawWindow savedWindow = g_DrawWindows[g_ActiveWindow];
    const SystemDef savedSystem = g_SystemDefs[0];
    DrawWindow &w = g_DrawWindows[g_ActiveWindow];
    w.displayGrid = 1;
    w.system = 0;
    MatrixInit(&w.MatrixSystemToMM);
    g_SystemDefs[0].displayGridKind = 1;
    g_SystemDefs[0].displayGridX = g_SystemDefs[0].displayGridY = 10.0;
    g_SystemDefs[0].originX = g_SystemDefs[0].originY = 0.0;
    g_DrawingSettings.outputGrid.kind = 1;
    g_DrawingSettings.outputGrid.size = 0.5;

    auto export_ = [&](uint32_t grid, ENHMETAHEADER *header) {
        g_DrawingSettings.outputGrid.on = grid;
        TestTempFile file("meta_grid.emf");
        EXPECT_EQ(MetaExportEmf(nullptr, file.Path(), 0), 1);
        HENHMETAFILE h = GetEnhMetaFileA(file.Path());
        EXPECT_NE(h, nullptr);
        if (!h)
            return 0;
        GetEnhMetaFileHeader(h, sizeof *header, header);
        DeleteEnhMetaFile(h);
        return int(header->nRecords);
    };
    ENHMETAHEADER plain{}, gridded{};
    const int without = export_(0, &plain), with = export_(1, &gridded);
    g_DrawWindows[g_ActiveWindow] = savedWindow;
    g_SystemDefs[0] = savedSystem;
    // 21 x 11 grid points of 10 mm over 200 x 100 mm, each a few records.
    EXPECT_GE(with - without, 21 * 11);

    for (const ENHMETAHEADER *h : {&plain, &gridded}) {
        const double pxPerMm = double(h->szlDevice.cx) / h->szlMillimeters.cx;
        const double pyPerMm = double(h->szlDevice.cy) / h->szlMillimeters.cy;
        const RECTL &f = h->rclFrame, &b = h->rclBounds;
        // The pixel bounds and the millimetre frame give the same size: two
        // pixels of slack for rounding and the line width.
        EXPECT_NEAR(b.left, f.left * pxPerMm / 100, 2);
        EXPECT_NEAR(b.top, f.top * pyPerMm / 100, 2);
        EXPECT_NEAR(b.right, f.right * pxPerMm / 100, 2);
        EXPECT_NEAR(b.bottom, f.bottom * pyPerMm / 100, 2);
    }
}

TEST_F(MetaExportTest, NothingToExportIsSaidAndWritesNothing)
{
    TestTempFile file("meta_empty.emf");
    EXPECT_EQ(MetaExportEmf(nullptr, file.Path(), 0), 0);
    EXPECT_EQ(MetaWriteWmfFile(nullptr, file.Path(), 0, 1), 0);
    EXPECT_EQ(DrawLog().alerts.size(), 2u);
    EXPECT_EQ(GetFileAttributesA(file.Path()), INVALID_FILE_ATTRIBUTES);
}

// Metafiles written by Inkscape from a drawing of 100 x 50 mm (a framed
// rectangle, a line and an ellipse) import at that size.
TEST_F(MetaExportTest, MetafilesOfAnotherProgramImportAtTheirSize)
{
    ASSERT_EQ(MetaImportEmf(nullptr, "fixtures\\meta\\inkscape.emf"), 1);
    EXPECT_GE(Objects().size(), 3u);
    EXPECT_NEAR(Width(g_ChangedRect), 100.0, 1.0);
    EXPECT_NEAR(Height(g_ChangedRect), 50.0, 1.0);

    FileClearDrawing();
    ASSERT_EQ(MetaImportWmf(nullptr, "fixtures\\meta\\inkscape.wmf"), 1);
    EXPECT_GE(Objects().size(), 3u);
    EXPECT_NEAR(Width(g_ChangedRect), 100.0, 1.0);
    EXPECT_NEAR(Height(g_ChangedRect), 50.0, 1.0);
}

} // namespace

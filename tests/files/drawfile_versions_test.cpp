// Files of older versions load with their version's defaults; files that
// are no drawing of this program are refused with their message.
#include "drawfile_fixture.h"

namespace {

class DrawFileVersions : public DrawFileTest {
protected:
    static Element *Nth(Unit *u, int n)
    {
        Element *e = UnitFirstElement(u);
        for (int i = 0; i < n; ++i)
            e = ElementNext(e);
        return e;
    }
    static Element *FindKind(Unit *u, int16_t kind)
    {
        for (Element *e = UnitFirstElement(u);; e = ElementNext(e)) {
            if (e->kind == kind)
                return e;
            if (e->kind == ELEM_END)
                return nullptr;
        }
    }
};

TEST_F(DrawFileVersions, Version450LacksPenStateAndTheLastDimensionInt)
{
    DrawingInfo info{};
    ASSERT_EQ(FileReadDrawing(&info, "fixtures/v450.zvd", kAll, 0), 1);
    EXPECT_EQ(g_FileVersion, 450);
    EXPECT_STREQ(info.title, "Old 4.50");
    // One page in the old form: anchor 5 and reference point (0, 0).
    EXPECT_EQ(g_PageDefs.count, 1);
    EXPECT_EQ(g_PageDefs.active, 0);
    EXPECT_EQ(g_PageDefs.pages[0].anchor, SYSTEM_ANCHOR_ZERO);
    EXPECT_EQ(g_PageDefs.pages[0].refX, 0.0);
    EXPECT_EQ(g_PageDefs.pages[0].width, 297.0);
    EXPECT_EQ(g_PenDefs[1].state, DEF_STATE_DEFAULT);
    EXPECT_EQ(g_PenDefs[1].layer, PEN_NO_LAYER);
    Unit *dim = g_ObjectLists[LIST_DRAWING].head;
    ASSERT_NE(dim, nullptr);
    EXPECT_EQ(dim->object.type, OBJTYPE_DIM_COORD);
    auto *small = static_cast<DimSmallRecord *>(ElementPayload(FindKind(dim, ELEM_DIM_SMALL)));
    EXPECT_EQ(small->common.int460, -1);
    EXPECT_EQ(small->common.values420[1], 4.0);
    EXPECT_EQ(small->common.mode, 2);
    EXPECT_EQ(small->common.last, 1);
    ASSERT_NE(FindKind(dim, ELEM_SUB_DIM_LABEL), nullptr); // the run-time element is back
}

TEST_F(DrawFileVersions, Version420CommentGainsItsRecordAndArcsTheirRunTimeElement)
{
    ASSERT_EQ(FileReadDrawing(nullptr, "fixtures/v420.zvd", kAll, 0), 1);
    EXPECT_EQ(g_FileVersion, 420);
    EXPECT_EQ(g_PageDefs.pages[0].anchor, SYSTEM_ANCHOR_ZERO);
    EXPECT_EQ(g_PageDefs.pages[0].width, 420.0);
    Unit *comment = g_ObjectLists[LIST_DRAWING].head;
    ASSERT_NE(comment, nullptr);
    Element *data = Nth(comment, 3);
    ASSERT_EQ(data->kind, ELEM_COMMENT);
    EXPECT_EQ(data->size, ELEM_SIZE_COMMENT);
    auto *c = static_cast<CommentDataRecord *>(ElementPayload(data));
    EXPECT_EQ(c->values[0], 1);
    EXPECT_EQ(c->values[1], 0);
    EXPECT_EQ(Nth(comment, 4)->kind, ELEM_END);
    Unit *arc = comment->next;
    ASSERT_NE(arc, nullptr);
    EXPECT_EQ(Nth(arc, 5)->kind, ELEM_SUB_CIRCLE_ARC);
    EXPECT_EQ(Nth(arc, 5)->size, ELEM_SIZE_SUB_CIRCLE_ARC);
    EXPECT_EQ(Nth(arc, 6)->kind, ELEM_END);
}

TEST_F(DrawFileVersions, Version400ReadsWithoutCapAndJoin)
{
    ASSERT_EQ(FileReadDrawing(nullptr, "fixtures/v400.zvd", kAll, 0), 1);
    EXPECT_EQ(g_FileVersion, 400);
    EXPECT_EQ(g_PenDefs[1].setB.capJoin, PROPERTY_DEFAULT_CAPJOIN);
    EXPECT_EQ(g_PenDefs[1].setB.color1, RGB(255, 0, 0));
    Unit *line = g_ObjectLists[LIST_DRAWING].head;
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->property.capJoin, XPROP_DEFAULT_CAPJOIN);
    EXPECT_EQ(line->property.pen, 3);
    EXPECT_EQ(line->property.layer, 2);
    EXPECT_EQ(line->property.width, 0.5);
    Unit *dim = line->next;
    ASSERT_NE(dim, nullptr);
    auto *small = static_cast<DimSmallRecord *>(ElementPayload(FindKind(dim, ELEM_DIM_SMALL)));
    EXPECT_EQ(small->common.font.kind, 3u);
    EXPECT_EQ(small->common.values420[0], 0.125); // not a system font
    EXPECT_EQ(small->common.values420[1], 4.0);
    EXPECT_EQ(small->common.int420, 1);
    EXPECT_EQ(small->common.int460, -1);
    EXPECT_EQ(small->common.property.capJoin, XPROP_DEFAULT_CAPJOIN);
}

struct Refusal {
    const char *file;
    const char *diagnostic; // part of the diagnostic, or 0
};

TEST_F(DrawFileVersions, FilesOfOtherKindsAreRefusedWithTheirMessage)
{
    const Refusal cases[] = {
        {"fixtures/unknown_header.zvd", "Not a ZVD file"},
        {"fixtures/zipped.zvd", "Error executing ZVUNZIP"},
        {"fixtures/old_300.zvd", nullptr},
        {"fixtures/no_such_file.zvd", nullptr},
    };
    for (const Refusal &c : cases) {
        DrawLog() = DrawFileLog{};
        EXPECT_EQ(FileReadDrawing(nullptr, c.file, kAll, 0), 0) << c.file;
        EXPECT_EQ(DrawLog().alerts.size(), 1u) << c.file;
        if (c.diagnostic) {
            EXPECT_TRUE(SawAlertOrDiagnostic(c.diagnostic)) << c.file;
        }
    }
    EXPECT_EQ(FileCheckDrawingHeader("fixtures/zipped.zvd"), 1);
    EXPECT_EQ(FileCheckDrawingHeader("fixtures/v420.zvd"), 1);
    EXPECT_EQ(g_FileVersion, 420);
    EXPECT_EQ(FileCheckDrawingHeader("fixtures/unknown_header.zvd"), 0);
    DrawLog() = DrawFileLog{};
    EXPECT_EQ(FileRejectOldFormat("fixtures/old_300.zvd"), 1);
    EXPECT_EQ(DrawLog().alerts.size(), 1u);
    EXPECT_EQ(FileRejectOldFormat("fixtures/v420.zvd"), 0);
    DrawingInfo info{};
    EXPECT_EQ(FileReadDrawingInfo("fixtures/v450.zvd", &info), 1);
    EXPECT_STREQ(info.title, "Old 4.50");
}

} // namespace

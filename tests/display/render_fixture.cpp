#include "render_fixture.h"

#include <cmath>

#include "common/test_objects.h"
#include "database/init.h"
#include "display_setup.h"

void RenderTest::SetUp()
{
    g_Debugging = 0;
    savedSettings_ = g_DrawingSettings;
    TestSetDisplaySwitches(0, 0, 0, 1, 1, 0);
    DisplayResetDrawing();
    g_DrawingSettings.displayFills = 1;
    g_DrawingSettings.displayTexts = 1;
    g_IsWin9x = 0;
    ASSERT_NO_FATAL_FAILURE(DisplayPrepareStorageAndGdi());

    dib_ = std::make_unique<TestDib>(DIB_SIZE, DIB_SIZE);
    ASSERT_NE(dib_->bitmap, nullptr);
    dc_ = dib_->dc;
    Clear();

    OutputResetContext(OUTPUT_SCREEN);
    const double world[4] = {0.0, 0.0, WORLD_SIZE, WORLD_SIZE};
    OutputSetupView(DIB_SIZE, DIB_SIZE, world, 50);
}

void RenderTest::TearDown()
{
    OutputResetContext(OUTPUT_SCREEN);
    dib_.reset();
    dc_ = nullptr;
    MemFreeChunks();
    MemInitLists();
    g_DrawingSettings = savedSettings_;
    g_IsWin9x = 0;
}

COLORREF RenderTest::Pixel(int x, int y) const
{
    const uint32_t v = dib_->Rgb(x, y);
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void RenderTest::Device(double x, double y, int *px, int *py) const
{
    double X, Y;
    MatrixApply(g_OutputContext.base, x, y, &X, &Y);
    *px = static_cast<int>(std::floor(X + 0.5));
    *py = static_cast<int>(std::floor(Y + 0.5));
}

COLORREF RenderTest::WorldPixel(double x, double y) const
{
    int px, py;
    Device(x, y, &px, &py);
    return Pixel(px, py);
}

void RenderTest::Clear(COLORREF colour)
{
    dib_->Fill((GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour));
}

int RenderTest::CountPixels(COLORREF colour) const
{
    int n = 0;
    for (int y = 0; y < DIB_SIZE; ++y)
        for (int x = 0; x < DIB_SIZE; ++x)
            n += Pixel(x, y) == colour;
    return n;
}

Unit *RenderTest::NewBlock(const char *name)
{
    const uint32_t bytes = UNIT_ELEMENTS_BLOCK + ELEM_SIZE_END;
    Unit *b = MemListNewObject(LIST_OWN_BLOCKS, bytes, nullptr);
    TestInitUnitHeader(b);
    b->kind = UNIT_KIND_BLOCK;
    b->bytes = bytes;
    lstrcpynA(b->block.name, name, UNIT_NAME_SIZE);
    b->block.firstMember = b->block.lastMember = nullptr;
    b->ident = BLOCK_STATE_UNCHANGED;
    InitElementEnd(UnitFirstElement(b));
    return b;
}

Unit *RenderTest::AddMember(Unit *block, const Unit *member)
{
    Unit *m = MemChainAppend(LIST_OWN_BLOCKS, block, member, member->bytes);
    EXPECT_NE(m, nullptr);
    return m;
}

Unit *RenderTest::NewInstance(int list, const char *block, const Matrix &placement, const double frame[4])
{
    const uint32_t bytes = UNIT_ELEMENTS_INSTANCE + ELEM_SIZE_END;
    Unit *u = MemListNewObject(list, bytes, nullptr);
    TestInitUnitHeader(u);
    u->kind = UNIT_KIND_INSTANCE;
    u->bytes = bytes;
    lstrcpynA(u->instance.library, "*", UNIT_NAME_SIZE);
    lstrcpynA(u->instance.block, block, UNIT_NAME_SIZE);
    u->instance.placement = placement;
    u->instance.libraryIndex = u->instance.blockIndex = -1;
    std::memcpy(u->frame, frame, 4 * sizeof(double));
    InitElementEnd(UnitFirstElement(u));
    return u;
}

Unit *RenderTest::NewPath(int list, int32_t type, const std::vector<std::vector<double>> &contours)
{
    uint32_t points = 0;
    std::vector<double> all;
    for (const auto &c : contours) {
        points += static_cast<uint32_t>(c.size() / 2);
        all.insert(all.end(), c.begin(), c.end());
    }
    const uint32_t head = type == OBJTYPE_CLIP ? ELEM_SIZE_CLIP_SURFACE : 0;
    const uint32_t bytes = UNIT_ELEMENTS_OBJECT + head + points * ELEM_SIZE_POINT + ELEM_SIZE_END;
    Unit *u = MemListNewObject(list, bytes, nullptr);
    TestInitUnitHeader(u);
    u->kind = UNIT_KIND_OBJECT;
    u->bytes = bytes;
    u->object.type = type;
    u->object.reserved = OBJTYPE_RESERVED;
    uint8_t *at = reinterpret_cast<uint8_t *>(UnitFirstElement(u));
    if (head) {
        Element *e = reinterpret_cast<Element *>(at);
        std::memset(e, 0, head);
        e->size = head;
        e->kind = ELEM_CLIP_SURFACE;
        e->valueType = VALUE_RECORD;
        e->count = 1;
        auto *cs = static_cast<ClipSurfaceData *>(ElementPayload(e));
        cs->property = XPropertyDefault();
        MatrixInit(&cs->placement);
        lstrcpynA(cs->library, "*", UNIT_NAME_SIZE);
        at += head;
    }
    for (const auto &c : contours)
        for (size_t i = 0; i + 1 < c.size(); i += 2) {
            auto *p = reinterpret_cast<ElementPoint *>(at);
            InitElementPoint(&p->head, i == 0 ? POINT_START : POINT_LINE);
            p->x = c[i];
            p->y = c[i + 1];
            at += ELEM_SIZE_POINT;
        }
    InitElementEnd(reinterpret_cast<Element *>(at));
    TestSetFrameFromPoints(u, all);
    return u;
}

#include "render_fixture.h"

#include <cmath>

#include "common/test_objects.h"
#include "database/init.h"

void RenderTest::SetUp()
{
    g_Debugging = 0;
    savedSettings_ = g_DrawingSettings;
    TestSetDisplaySwitches(0, 0, 0, 1, 1, 0);
    SystemInitDrawing(0);
    SystemInitDrawingSettings(&g_DrawingSettings);
    g_DrawingSettings.displayLinesMode = 0;
    g_DrawingSettings.displayFills = 1;
    g_DrawingSettings.displayTexts = 1;
    g_DrawingSettings.colorDrawArea = 0; // white
    g_IsWin9x = 0;
    if (!g_Universal1)
        ASSERT_EQ(MemInitWork(), 1);
    mem_init_temp();
    MemFreeChunks();
    MemInitLists();
    ASSERT_EQ(MemEnlargeList(), 1);
    InitCreateGdiResources();
    InitCreateScreenObjects();
    OutputResetAbort();
    g_OutputAbortHook = nullptr;

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = DIB_SIZE;
    bi.bmiHeader.biHeight = -DIB_SIZE; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    void *bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap_, nullptr);
    bits_ = static_cast<uint32_t *>(bits);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    Clear();

    OutputResetContext(OUTPUT_SCREEN);
    const double world[4] = {0.0, 0.0, WORLD_SIZE, WORLD_SIZE};
    OutputSetupView(DIB_SIZE, DIB_SIZE, world, 50);
}

void RenderTest::TearDown()
{
    OutputResetContext(OUTPUT_SCREEN);
    SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    MemFreeChunks();
    MemInitLists();
    g_DrawingSettings = savedSettings_;
    g_IsWin9x = 0;
}

COLORREF RenderTest::Pixel(int x, int y) const
{
    GdiFlush();
    const uint32_t v = bits_[y * DIB_SIZE + x] & 0xFFFFFF;
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
    GdiFlush();
    const uint32_t v = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int i = 0; i < DIB_SIZE * DIB_SIZE; ++i)
        bits_[i] = v;
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

// Block previews: the block fitted into the control with its reference point.
#include "render_fixture.h"

#include "database/symbol_block.h"
#include "database/symbol_preview.h"

namespace {

class PreviewTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 120, 80, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        SymbolClearBlocks(LIST_OWN_BLOCKS);
        SymbolRebuildOwnIndex();
        RenderTest::TearDown();
    }
    static void Map(double x, double y, double *px, double *py)
    {
        const Matrix &m = g_OutputContext.base;
        *px = m.a * x + m.c * y + m.tx;
        *py = m.b * x + m.d * y + m.ty;
    }
    HWND window_ = nullptr;
};

TEST_F(PreviewTest, ABlockRightOfItsReferencePointStartsAtTheLeftEdge)
{
    Unit *b = SymbolNewBlock(LIST_OWN_BLOCKS, "R");
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(TestAddLineToBlock(b, 10, 0, 50, 20));
    SymbolRebuildOwnIndex();
    const RECT r{0, 0, 120, 80};
    SymbolDrawPreviewDC(window_, 1, "*", "R", 0.0, &r);
    double x0, y0, x1, y1;
    Map(0, 0, &x0, &y0);
    Map(50, 20, &x1, &y1);
    // The inner rectangle is 116 x 76 pixels; 98 % of its width is used.
    EXPECT_NEAR(x1 - x0, 116 * 0.98, 0.5);
    EXPECT_NEAR(x0, 2 + 116 * 0.01, 0.5);
    EXPECT_LT(y1, y0); // world y grows upwards
    // Unknown block or show 0: only the background, the context is left alone.
    g_OutputContext.base.tx = 12345;
    SymbolDrawPreviewDC(window_, 1, "*", "none", 0.0, &r);
    SymbolDrawPreviewDC(window_, 0, "*", "R", 0.0, &r);
    EXPECT_EQ(g_OutputContext.base.tx, 12345);
}

} // namespace

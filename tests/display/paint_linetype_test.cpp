// The line-type samples of the line-type dialogs.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/system_defs.h"
#include "display/output_paint.h"
#include "test_dib.h"

namespace {

constexpr int W = 100, H = 10;

// A white strip with the black pen selected.
struct Dib : TestDib {
    Dib() : TestDib(W, H)
    {
        Fill(0xFFFFFF);
        SelectObject(dc, GetStockObject(BLACK_PEN));
    }
    bool Black(int x, int y) const { return Rgb(x, y) == 0; }
};

LineDef Line(int pairs, std::initializer_list<int> lengths)
{
    LineDef l{};
    l.pairs = pairs;
    int i = 0;
    for (int v : lengths)
        l.lengths[i++] = v;
    return l;
}

TEST(PaintLineType, SampleWalksDashesOverThreeQuarters)
{
    // One pair of 100 and 100: 1 + 200 spans 75 pixels, so each piece is 37.3.
    Dib d;
    const LineDef l = Line(1, {100, 100});
    const RECT r{0, 0, W, H};
    OutputDrawLineDefSample(d.dc, &r, &l);
    struct Row {
        int x;
        bool black;
    };
    const Row rows[] = {{1, true}, {36, true}, {39, false}, {60, false}, {76, true}, {98, true}};
    for (const Row &row : rows) {
        EXPECT_EQ(d.Black(row.x, 5), row.black) << row.x;
        EXPECT_EQ(d.Black(row.x, 4), row.black) << row.x << " second row";
    }
    EXPECT_FALSE(d.Black(10, 6));
}

TEST(PaintLineType, UnusablePatternsAreSolidOrEmpty)
{
    const RECT r{0, 0, W, H};
    {
        Dib d;
        const LineDef nine = Line(9, {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10});
        OutputDrawLineDefSample(d.dc, &r, &nine);
        EXPECT_TRUE(d.Black(50, 5)) << "nine pairs do not fit the table: solid";
        EXPECT_TRUE(d.Black(50, 4));
    }
    {
        Dib d;
        const LineDef zero = Line(2, {0, 0, 0, 0});
        OutputDrawLineDefSample(d.dc, &r, &zero); // must return
        EXPECT_FALSE(d.Black(50, 5));
    }
}

} // namespace

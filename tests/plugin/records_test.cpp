// Record initialisers against byte-for-byte fixtures.
#include "plugin_fixture.h"

#include <cstring>

#include "app/system.h"
#include "app/window.h"

namespace {

using Initialisers = PluginTest;

constexpr uint8_t FILL = 0xCD; // what the caller had in the fields not named

template <typename T>
void Put(std::vector<uint8_t> &r, size_t offset, T v)
{
    std::memcpy(r.data() + offset, &v, sizeof v);
}

void PutFont(std::vector<uint8_t> &r)
{
    Put<uint32_t>(r, 0, 1);
    Put<uint32_t>(r, 4, 0);
    Put<uint32_t>(r, 8, 400);
    std::memcpy(r.data() + 12, "Arial", 6);
}

void PutXProperty(std::vector<uint8_t> &r, size_t at)
{
    std::memset(r.data() + at, 0, 40);
    Put(r, at + 24, 0.25);
    Put<uint32_t>(r, at + 32, 0x2200);
}

TEST_F(Initialisers, TextStandardAndReference)
{
    std::vector<uint8_t> text(200, FILL), reference(24, FILL);
    std::vector<uint8_t> want = text, wantRef = reference;
    PutFont(want);
    PutXProperty(want, 80);
    const double matrix[6] = {5, 0, 0, 5, 0, 0};
    std::memcpy(want.data() + 120, matrix, sizeof matrix);
    Put(want, 168, 0.0);
    Put(want, 176, 4.0);
    Put(want, 184, 1.0);
    Put<int32_t>(want, 192, 0);
    Put<int32_t>(wantRef, 0, 1);
    Put<int32_t>(wantRef, 4, 1);
    Put(wantRef, 8, 0.0);
    Put(wantRef, 16, 1.0);
    ZVI_InitTextStandard(text.data(), reference.data());
    EXPECT_EQ(text, want);
    EXPECT_EQ(reference, wantRef);
    ZVI_InitTextStandard(nullptr, nullptr);
    EXPECT_TRUE(Messages().empty());
}

// The drawing's dimension parameters, set apart from the program's defaults.
class DimensionParameters : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        saved_ = g_DrawingSettings;
        FontDef &f = g_DrawingSettings.dimFont;
        f = FontDef{};
        f.kind = 1;
        f.weight = 700;
        std::strcpy(f.face, "Courier New");
        const double values[4] = {7.0, 2.5, 0.1, 6.0};
        const int32_t ints[4] = {0, 3, 1, 2};
        std::memcpy(g_DrawingSettings.dimValues, values, sizeof values);
        std::memcpy(g_DrawingSettings.dimInts, ints, sizeof ints);
    }
    void TearDown() override
    {
        g_DrawingSettings = saved_;
        PluginTest::TearDown();
    }
    // What both records hold from the drawing (fromDrawing) or the defaults,
    // up to the coordinate system.
    static void PutShared(std::vector<uint8_t> &r, bool fromDrawing)
    {
        if (fromDrawing) {
            std::memcpy(r.data(), &g_DrawingSettings.dimFont, sizeof(FontDef));
            for (int i = 0; i < 4; ++i)
                Put(r, 120 + 8 * i, g_DrawingSettings.dimValues[i]);
            for (int i = 0; i < 3; ++i)
                Put<int32_t>(r, 152 + 4 * i, g_DrawingSettings.dimInts[i]);
            return;
        }
        PutFont(r);
        Put(r, 120, 5.0);
        Put(r, 128, 3.5);
        Put(r, 136, 0.0);
        Put(r, 144, 4.0);
        Put<int32_t>(r, 152, 1);
        Put<int32_t>(r, 156, -1);
        Put<int32_t>(r, 160, 2);
    }
    static std::vector<uint8_t> WantSmall(bool fromDrawing)
    {
        std::vector<uint8_t> r(176, FILL);
        PutShared(r, fromDrawing);
        Put<int32_t>(r, 164, 1);
        Put<int32_t>(r, 168, 0);
        Put<int32_t>(r, 172, fromDrawing ? g_DrawingSettings.dimInts[3] : 1);
        return r;
    }
    static std::vector<uint8_t> WantLarge(bool fromDrawing)
    {
        std::vector<uint8_t> r(248, FILL);
        PutShared(r, fromDrawing);
        const int32_t words[] = {1, 1, 1, 0, 1, 2, 1, 2, 1, 1, 1, 0, 0, 2}; // +164 to +216
        for (size_t i = 0; i < sizeof words / sizeof words[0]; ++i)
            Put<int32_t>(r, 164 + 4 * i, words[i]);
        Put(r, 224, 10.0);
        Put(r, 232, 0.0);
        Put<int32_t>(r, 240, fromDrawing ? g_DrawingSettings.dimInts[3] : 1);
        return r;
    }
    DrawingSettings saved_;
};

TEST_F(DimensionParameters, InitialisersTakeTheDrawingsParametersOnlyWhenAskedAndLeaveThePropertyAlone)
{
    for (bool fromDrawing : {false, true}) {
        std::vector<uint8_t> small(176, FILL), large(248, FILL);
        ZVI_InitDimSmall(small.data(), fromDrawing);
        ZVI_InitDimLarge(large.data(), fromDrawing);
        EXPECT_EQ(small, WantSmall(fromDrawing)) << fromDrawing;
        EXPECT_EQ(large, WantLarge(fromDrawing)) << fromDrawing;
    }
}

TEST_F(DimensionParameters, BuildersTakeTheDrawingsParametersAndANegativeSystemIsTheCurrentOne)
{
    for (int32_t system : {2, -1}) {
        g_DrawingSettings.dimInts[3] = system;
        std::vector<uint8_t> large(248, FILL);
        ZVI_InitDimLarge(large.data(), 0);
        ASSERT_NE(ZVI_ObjectOpen(25), nullptr);
        XProperty *p = ZVI_ObjectAddDimLarge(large.data(), 1);
        ASSERT_NE(p, nullptr);
        const uint8_t *stored = reinterpret_cast<const uint8_t *>(p) - 80;
        FontDef font;
        std::memcpy(&font, stored, sizeof font);
        EXPECT_STREQ(font.face, "Courier New");
        double height = 0;
        std::memcpy(&height, stored + 120, sizeof height);
        EXPECT_EQ(height, 7.0);
        int32_t numberFormat = 0, storedSystem = 0;
        std::memcpy(&numberFormat, stored + 156, 4);
        std::memcpy(&storedSystem, stored + 240, 4);
        EXPECT_EQ(numberFormat, 3);
        EXPECT_EQ(storedSystem, system < 0 ? g_CurrentSystem.system : system);
        ZVI_ObjectClose();

        std::vector<uint8_t> small(176, FILL);
        ZVI_InitDimSmall(small.data(), 0);
        ASSERT_NE(ZVI_ObjectOpen(30), nullptr);
        p = ZVI_ObjectAddDimSmall(small.data(), 0);
        ASSERT_NE(p, nullptr);
        std::memcpy(&height, reinterpret_cast<const uint8_t *>(p) - 80 + 120, sizeof height);
        EXPECT_EQ(height, 5.0) << "without the flag the record stays as given";
        ZVI_ObjectClose();
    }
}

TEST_F(Initialisers, SmallRecordsAndShortBuffers)
{
    std::vector<uint8_t> font(76, FILL), want(76, FILL);
    PutFont(want);
    ZVI_InitFontDef(font.data());
    EXPECT_EQ(font, want); // the face name's bytes beyond "Arial" stay
    std::vector<uint8_t> frame(160, FILL), wantFrame(160, FILL);
    PutFont(wantFrame);
    PutXProperty(wantFrame, 80);
    Put(wantFrame, 120, 5.0);
    Put(wantFrame, 128, 0.0);
    Put(wantFrame, 136, 4.0);
    Put(wantFrame, 144, 1.4);
    Put<int32_t>(wantFrame, 152, 0);
    ZVI_InitTextFrame(frame.data());
    EXPECT_EQ(frame, wantFrame);
    int32_t dim[4] = {};
    ZVI_InitDimLine(dim);
    EXPECT_EQ(dim[0], 1);
    EXPECT_EQ(dim[3], 2);
    ZVI_InitXProperty(nullptr);
    EXPECT_EQ(TakeReason(), "Data address invalid!");
    ZVI_InitTextStandard(nullptr, reinterpret_cast<void *>(1));
    EXPECT_EQ(TakeReason(), "Data2 address invalid!");
}

} // namespace

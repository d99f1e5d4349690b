// Record initialisers against byte-for-byte fixtures.
#include "plugin_fixture.h"

#include <cstring>

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

TEST_F(Initialisers, DimensionRecordsLeaveTheirPropertyAlone)
{
    std::vector<uint8_t> small(176, FILL), large(248, FILL);
    std::vector<uint8_t> wantSmall = small, wantLarge = large;
    for (std::vector<uint8_t> *r : {&wantSmall, &wantLarge}) {
        PutFont(*r);
        Put(*r, 120, 5.0);
        Put(*r, 128, 3.5);
        Put(*r, 136, 0.0);
        Put(*r, 144, 4.0);
        Put<int32_t>(*r, 152, 1);
        Put<int32_t>(*r, 156, -1);
        Put<int32_t>(*r, 160, 2);
        Put<int32_t>(*r, 164, 1);
    }
    Put<int32_t>(wantSmall, 168, 0);
    Put<int32_t>(wantSmall, 172, 1);
    const int32_t words[] = {1, 1, 0, 1, 2, 1, 2, 1, 1, 1, 0, 0, 2}; // +168 to +216
    for (size_t i = 0; i < sizeof words / sizeof words[0]; ++i)
        Put<int32_t>(wantLarge, 168 + 4 * i, words[i]);
    Put(wantLarge, 224, 10.0);
    Put(wantLarge, 232, 0.0);
    Put<int32_t>(wantLarge, 240, 1);
    ZVI_InitDimSmall(small.data(), 0);
    ZVI_InitDimLarge(large.data(), 1);
    EXPECT_EQ(small, wantSmall);
    EXPECT_EQ(large, wantLarge);
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

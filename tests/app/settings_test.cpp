// Defaults of the drawing settings, remembered values, command defaults and
// the tablet record; the PROFILE key table.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/system.h"
#include "language/language.h"

namespace {

template <typename T>
T At(const void *record, size_t offset)
{
    T value;
    memcpy(&value, static_cast<const uint8_t *>(record) + offset, sizeof value);
    return value;
}

const char *TextAt(const void *record, size_t offset)
{
    return static_cast<const char *>(record) + offset;
}

TEST(LocalDataDefaults, ValuesAtTheirRecordOffsets)
{
    auto d = std::make_unique<LocalData>();
    SystemInitLocalData(d.get());
    EXPECT_EQ(d->stamp[0], 0) << "stamped only when saved";
    EXPECT_STREQ(TextAt(d.get(), 32800), "~#AutoPosNum~");
    for (size_t offset : {41004u, 41152u, 41328u})
        EXPECT_STREQ(TextAt(d.get(), offset), "*") << offset;
    EXPECT_EQ(std::string(TextAt(d.get(), 41524)), std::string(g_PathServer) + eDefaultPaths[4] + "txt");
    EXPECT_STREQ(TextAt(d.get(), 41832), "0");
    EXPECT_STREQ(TextAt(d.get(), 42412), eDefaultNames[7]);
    struct IntAt {
        size_t offset;
        int32_t value;
    };
    const IntAt ints[] = {{44832, 0}, {44844, 0}, {44848, 120}, {44852, 0}, {44856, 10}, {44860, 1},
                          {44864, 1000}, {44868, 0}, {44872, 1}, {44876, 1}, {44880, 50}};
    for (const IntAt &c : ints)
        EXPECT_EQ(At<int32_t>(d.get(), c.offset), c.value) << c.offset;
    EXPECT_EQ(At<double>(d.get(), 44888), 1.0);
    EXPECT_EQ(At<double>(d.get(), 44896), 0.01);
    for (int f = 0; f < LOCAL_FILTERS; ++f) {
        const SelectionFilter &filter = d->filters[f];
        EXPECT_EQ(filter.typeFlags[0], 1u);
        EXPECT_EQ(filter.typeFlags[49], 1u);
        EXPECT_EQ(filter.values.color2, 0xFFFFFFu);
        EXPECT_EQ(filter.values.width, 0.25);
        EXPECT_EQ(filter.values.capJoin, 0x2200u);
        EXPECT_EQ(filter.enabled, 0u);
    }
}

class InitValue : public ::testing::Test {
protected:
    HKEY key = nullptr;
    void SetUp() override
    {
        SystemDeleteKeyTree(HKEY_CURRENT_USER, "Software\\darad4-tests\\init");
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\darad4-tests\\init", 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(key);
        SystemDeleteKeyTree(HKEY_CURRENT_USER, "Software\\darad4-tests\\init");
    }
};

TEST_F(InitValue, RoundTripsInSixPartsWithItsStamp)
{
    auto d = std::make_unique<LocalData>();
    SystemInitLocalData(d.get());
    strcpy(d->texts[3], "last text");
    d->snap.flagDuration = 2500;
    d->surfaceTolerance = 0.125;
    SystemWriteLocalData(key, d.get());
    EXPECT_STREQ(d->stamp, "4.70-1999-02-24 ZV LocalData");

    HKEY part = nullptr;
    ASSERT_EQ(RegOpenKeyExA(key, "Init (Part 6)", 0, KEY_READ, &part), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(part, "Init", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 3944u);
    RegCloseKey(part);

    auto back = std::make_unique<LocalData>();
    SystemInitLocalData(back.get());
    EXPECT_EQ(SystemReadLocalData(key, back.get()), 1);
    EXPECT_EQ(memcmp(back.get(), d.get(), sizeof *d), 0);
}

TEST_F(InitValue, StampIsComparedOnItsFirst31Bytes)
{
    auto d = std::make_unique<LocalData>();
    SystemInitLocalData(d.get());
    SystemWriteLocalData(key, d.get());
    // Garbage in the stamp's last byte does not matter...
    d->stamp[31] = 'X';
    SystemWriteBinary(key, "Init", d.get(), sizeof *d);
    auto back = std::make_unique<LocalData>();
    EXPECT_EQ(SystemReadLocalData(key, back.get()), 1);
    EXPECT_EQ(back->stamp[31], 0);
    // ...a different stamp does.
    strcpy(d->stamp, "4.70-1999-02-24 ZV LocalDatb");
    SystemWriteBinary(key, "Init", d.get(), sizeof *d);
    memset(back.get(), 0x77, sizeof *back);
    EXPECT_EQ(SystemReadLocalData(key, back.get()), 0);
    EXPECT_EQ(back->snap.pickAperture, 0x77777777);
}

TEST(CommandDefaults, MetricAndInchDefaults)
{
    auto c = std::make_unique<CommandDefaults>();
    SystemInitCommandDefaults(c.get());
    EXPECT_EQ(c->lastCommands[0], 501);
    EXPECT_EQ(c->lastCommands[19], -1);
    EXPECT_EQ(c->page.format, 2);
    EXPECT_EQ(c->page.orientation, 2);
    EXPECT_EQ(c->page.anchor, 5);
    EXPECT_EQ(c->page.width, 420.0);
    EXPECT_EQ(c->page.height, 297.0);
    EXPECT_NEAR(c->angle, 0.78539816339744830962, 1e-15);
    EXPECT_EQ(c->distances[4], 25.0);
    EXPECT_EQ(c->counts[1], 4);
    EXPECT_EQ(std::string(c->fileName1), std::string(g_PathServer) + eDefaultPaths[1]);
    EXPECT_EQ(c->filter.typeFlags[10], 1u);

    const uint32_t inchBlock[2] = {1, 1};
    g_SystemExchangeBlock = inchBlock;
    SystemInitCommandDefaults(c.get());
    auto s = std::make_unique<DrawingSettings>();
    SystemInitDrawingSettings(s.get());
    g_SystemExchangeBlock = nullptr;
    EXPECT_EQ(c->page.format, 34);
    EXPECT_EQ(c->page.width, 431.8);
    EXPECT_EQ(c->page.height, 279.4);
    EXPECT_EQ(s->displayDecimal, 1u);
}

TEST(Digitizer, Defaults)
{
    auto d = std::make_unique<DigitizerData>();
    SystemInitDigitizer(d.get());
    EXPECT_EQ(d->extent1.cx, 5000);
    EXPECT_EQ(d->extent2.cy, 2400);
    EXPECT_EQ(d->factor, 1.0);
    EXPECT_TRUE(std::all_of(d->map, d->map + DIGITIZER_MAP_SIZE, [](uint8_t b) { return b == 0xFF; }));
    EXPECT_EQ(d->control[0], 0x10100u);
    EXPECT_EQ(d->control[3], 0x20400u);
    EXPECT_EQ(d->buttons[31], 342);
}

// ---------------------------------------------------------------------------
// Drawing settings
// ---------------------------------------------------------------------------

const SettingsKey *FindKey(const char *name)
{
    for (const SettingsKey &k : g_SettingsKeys)
        if (strcmp(k.name, name) == 0)
            return &k;
    return nullptr;
}

// The filed values of one key, flattened to doubles (strings and records skipped).
std::vector<double> NumbersOf(const DrawingSettings &s, const char *name)
{
    std::vector<double> out;
    const SettingsKey *key = FindKey(name);
    if (!key)
        return out;
    for (int r = 0; r < key->repeat; ++r)
        for (int v = 0; v < key->valueCount; ++v) {
            const SettingsValue &value = key->values[v];
            for (int i = 0; i < value.count; ++i) {
                const size_t offset = value.offset + r * key->stride + i * SystemSettingsValueSize(value);
                switch (value.type) {
                case SV_DOUBLE:
                    out.push_back(At<double>(&s, offset));
                    break;
                case SV_INT:
                    out.push_back(At<int32_t>(&s, offset));
                    break;
                case SV_BOOL:
                case SV_COLOR:
                    out.push_back(At<uint32_t>(&s, offset));
                    break;
                default:
                    break;
                }
            }
        }
    return out;
}

TEST(DrawingSettingsDefaults, ValuesInFiledOrder)
{
    auto s = std::make_unique<DrawingSettings>();
    SystemInitDrawingSettings(s.get());
    struct Case {
        const char *key;
        std::vector<double> values;
    };
    const Case cases[] = {
        {"PropLineWidth", {0.0, 0.13, 0.18, 0.25, 0.35, 0.5, 0.7, 1.0, 1.4, 2.0}},
        {"DisplaySelection", {1, 0}},
        {"DisplayLines", {1, 2}},
        {"DisplayGeometry", {1, 0, 1}},
        {"DisplayArcs", {1, 0}},
        {"DisplayDecimal", {0}},
        {"DisplayQuality", {2.0, 1.0, 2.0}},
        {"ColorBlocks", {22}},
        {"ColorFlag", {8, 24, 30, 24}},
        {"ColorCross", {24, 8}},
        {"ColorPopup", {26, 10}},
        {"PrintHeader", {0, 0}},
        {"PrintPages", {0, 1, 100, 0}},
        {"PrintScale", {1.0, 1}},
        {"PrintBorder", {0, 0, 0, 0}},
        {"OutputFrame", {0, 1, 0.0, 5.0}},
        {"OutputGrid", {0, 1, 0.5}},
        {"OutputMark", {0, 2, 1.0}},
        {"OutputBitmap", {1}},
        {"BitmapColorBits", {8}},
        {"BitmapSize", {1024, 1024}},
        {"BitmapResolution", {11.811023622048, 11.811023622048}},
        {"BitmapPalette", {1}},
        {"MultiLine", {0, -15, 0, -10, 1, -5, 1, 0, 1, 5, 0, 10, 0, 15, 0, 20}},
        {"OrthoMode", {2, 3, -0.5235987755982, 0, 0.5235987755982, 0, 0, 0, 0, 0, 0}},
        {"DimParam", {5.0, 3.5, 0.0, 4.0, 1, -1, 2, -1}},
        {"DimLineArrows", {1, 2, 1, 2, 1, 2, 1, 2}},
        {"DimLayoutArrows", {0.1, 1.0}},
        {"TextStdDistance", {0.0, 4.0, 1.0}},
        {"TextFrameDistance", {0.0, 4.0, 1.4}},
        {"TextStdGeometry", {1.0, 0.0, 0.0}},
        {"TextRefMode", {1}},
        {"TextRefArrow", {1, 1}},
        {"TextRefFrame", {0, 1.0}},
        {"PosNumArrow", {5, 1}},
        {"PosNumFrame", {2, 1.0}},
        {"CommentColor", {10, 7, 3, 7, 3, 7, 4, 0, 10, 12}},
        {"CommentDisplay", {1, 1}},
        {"ZigZagIndent", {10.0}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(NumbersOf(*s, c.key), c.values) << c.key;

    const std::vector<double> sizes = NumbersOf(*s, "CommentSize");
    ASSERT_EQ(sizes.size(), 3u);
    EXPECT_EQ(sizes[0], GetSystemMetrics(SM_CXSCREEN) / 5);
    EXPECT_EQ(sizes[2], 5);

    const std::vector<double> fill = NumbersOf(*s, "PropFillColor");
    ASSERT_EQ(fill.size(), 16u);
    EXPECT_EQ(fill[2], (double)0x0000FF);
    EXPECT_EQ(fill[15], (double)0xFFFFFF);
    EXPECT_EQ(NumbersOf(*s, "PropLineColor"), fill);

    EXPECT_STREQ(s->textStd.font.face, "Arial");
    EXPECT_EQ(s->textStd.font.weight, 400u);
    EXPECT_EQ(s->outputFrame.property.width, 0.25);
    EXPECT_EQ(s->multiLine[7].property.capJoin, 0x2200u);
    EXPECT_EQ(std::string(s->print.fileName), std::string(g_PathServer) + eDefaultPaths[4] + "prt");
    EXPECT_EQ(s->print.copies, 1);
    EXPECT_EQ(s->print.userArea, 0);
    EXPECT_EQ(s->bitmap.scale[1], 1.0);
}

TEST(DrawingSettingsDefaults, DimensionVariants)
{
    auto s = std::make_unique<DrawingSettings>();
    SystemInitDrawingSettings(s.get());
    struct Case {
        int variant;
        std::vector<uint32_t> numbers;
        std::vector<int32_t> arrows;
        DimLargeLines lines;
    };
    const Case cases[] = {
        {0, {1, 1, 1, 0}, {1, 2, 1, 2}, {{1, 1, 1}, {0, 0, 2}, {10.0, 0.0}}},
        {5, {1, 0, 1, 0}, {1, 0, 0, 0}, {{0, 0, 1}, {1, 2, 2}, {10.0, 0.0}}},
        {6, {1, 0, 1, 0}, {1, 0, 0, 0}, {{0, 0, 1}, {1, 2, 2}, {10.0, 0.0}}},
        {8, {1, 1, 1, 0}, {1, 2, 1, 2}, {{1, 1, 1}, {1, 0, 2}, {10.0, 0.0}}},
        {12, {1, 1, 1, 0}, {1, 2, 1, 2}, {{1, 1, 1}, {0, 0, 2}, {10.0, 0.0}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.variant);
        EXPECT_EQ(std::vector<uint32_t>(s->dimLargeNumbers[c.variant], s->dimLargeNumbers[c.variant] + 4), c.numbers);
        EXPECT_EQ(std::vector<int32_t>(s->dimLargeArrows[c.variant], s->dimLargeArrows[c.variant] + 4), c.arrows);
        EXPECT_EQ(memcmp(&s->dimLargeLines[c.variant], &c.lines, sizeof c.lines), 0);
    }
    EXPECT_STREQ(s->dimLargeTexts[5][0], eDimensionText[0]);
    EXPECT_STREQ(s->dimLargeTexts[0][0], "");
    EXPECT_STREQ(s->dimSmallTexts[0][2], eDimensionText[4]);
    EXPECT_STREQ(s->dimSmallTexts[0][1], "");
    EXPECT_EQ(s->dimSmallNumbers[2][0], 1u);
}

TEST(SettingsKeyTable, KeysInOrderAndValuesWithinTheRecord)
{
    EXPECT_STREQ(g_SettingsKeys[0].name, "PropFillColor");
    EXPECT_EQ(g_SettingsKeys[0].values[0].type, SV_COLOR);
    EXPECT_EQ(g_SettingsKeys[0].values[0].count, 16);
    EXPECT_STREQ(g_SettingsKeys[43].name, "PrintHeader");
    EXPECT_STREQ(g_SettingsKeys[68].name, "MultiLine");
    EXPECT_STREQ(g_SettingsKeys[SETTINGS_KEYS - 1].name, "ZigZagIndent");

    std::set<std::string> names;
    std::vector<std::pair<size_t, size_t>> ranges; // [begin, end) of every filed value
    for (const SettingsKey &k : g_SettingsKeys) {
        SCOPED_TRACE(k.name);
        EXPECT_TRUE(names.insert(k.name).second) << "duplicate key";
        ASSERT_GE(k.repeat, 1);
        for (int r = 0; r < k.repeat; ++r)
            for (int v = 0; v < k.valueCount; ++v) {
                const SettingsValue &value = k.values[v];
                const size_t size = SystemSettingsValueSize(value);
                const size_t begin = value.offset + r * k.stride;
                const size_t end = begin + size * value.count;
                EXPECT_LE(end, sizeof(DrawingSettings));
                EXPECT_GT(size, 0u);
                ranges.emplace_back(begin, end);
            }
    }
    EXPECT_EQ(names.size(), (size_t)SETTINGS_KEYS);
    // No byte of the record is filed twice.
    std::sort(ranges.begin(), ranges.end());
    for (size_t i = 1; i < ranges.size(); ++i)
        EXPECT_LE(ranges[i - 1].second, ranges[i].first) << "values overlap at " << ranges[i].first;
}

TEST(SettingsKeyTable, OptionalValuesAndVersionedValues)
{
    struct Case {
        const char *key;
        int valueIndex;
        SettingsAbsent absent;
        uint32_t minVersion;
    };
    const Case cases[] = {
        {"PrintScale", 1, SA_KEEP, 0},        {"OrthoMode", 2, SA_KEEP, 0},    {"CommentColor", 4, SA_DEFAULT, 0},
        {"CommentSize", 1, SA_DEFAULT, 0},    {"CommentDisplay", 1, SA_ZERO, 0}, {"DimParam", 3, SA_REQUIRED, 460},
        {"CommentDisplay", 0, SA_REQUIRED, 0},
    };
    for (const Case &c : cases) {
        const SettingsKey *k = FindKey(c.key);
        ASSERT_NE(k, nullptr) << c.key;
        ASSERT_LT(c.valueIndex, k->valueCount) << c.key;
        EXPECT_EQ(k->values[c.valueIndex].absent, c.absent) << c.key;
        EXPECT_EQ(k->values[c.valueIndex].minVersion, c.minVersion) << c.key;
    }
}

} // namespace

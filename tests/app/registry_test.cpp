// Typed registry values and binary values split into part subkeys.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/system.h"

namespace {

const char *const TEST_KEY = "Software\\darad4-tests\\registry";

class Registry : public ::testing::Test {
protected:
    HKEY key = nullptr;
    void SetUp() override
    {
        SystemDeleteKeyTree(HKEY_CURRENT_USER, TEST_KEY);
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, TEST_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(key);
        SystemDeleteKeyTree(HKEY_CURRENT_USER, TEST_KEY);
    }
    void SetRaw(const char *name, DWORD type, const void *data, DWORD size, HKEY where = nullptr)
    {
        ASSERT_EQ(RegSetValueExA(where ? where : key, name, 0, type, static_cast<const BYTE *>(data), size),
                  ERROR_SUCCESS);
    }
    bool ValueExists(HKEY where, const char *name, DWORD *size = nullptr)
    {
        DWORD s = 0;
        const bool found = RegQueryValueExA(where, name, nullptr, nullptr, nullptr, &s) == ERROR_SUCCESS;
        if (size)
            *size = s;
        return found;
    }
    HKEY OpenPart(const char *name, int part)
    {
        char partName[SYSTEM_KEY_NAME_SIZE];
        SystemBinaryPartName(partName, name, part);
        HKEY k = nullptr;
        if (RegOpenKeyExA(key, partName, 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS)
            return nullptr;
        return k;
    }
};

std::vector<uint8_t> Pattern(size_t size, uint8_t seed)
{
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < size; ++i)
        data[i] = (uint8_t)(i * 7 + seed + i / 8192);
    return data;
}

TEST_F(Registry, StringsRoundTripAndEmptyDeletes)
{
    SystemWriteString(key, "Text", "C:\\folder\\");
    char out[SYSTEM_PATH_SIZE] = "default";
    EXPECT_EQ(SystemReadString(key, "Text", out, sizeof out), 1);
    EXPECT_STREQ(out, "C:\\folder\\");

    SystemWriteString(key, "Text", "");
    EXPECT_FALSE(ValueExists(key, "Text"));
    strcpy(out, "default");
    EXPECT_EQ(SystemReadString(key, "Text", out, sizeof out), 0);
    EXPECT_STREQ(out, "default");
}

TEST_F(Registry, StringEdgeCasesKeepTheDefault)
{
    struct Case {
        const char *what;
        DWORD type;
        std::string data; // stored bytes
        uint32_t outSize;
        int result;
        const char *out;
    };
    const std::string fits(9, 'a');                       // 9 characters + terminator = 10
    const std::string tooLongForRegistry(600, 'b');
    const Case cases[] = {
        {"stored empty text", REG_SZ, std::string("\0", 1), 16, 1, "default"},
        {"exactly fills the destination", REG_SZ, fits + '\0', 10, 1, "aaaaaaaaa"},
        {"one byte too long for the destination", REG_SZ, fits + '\0', 9, 0, "default"},
        {"longer than any stored text", REG_SZ, tooLongForRegistry + '\0', 1000, 0, "default"},
        {"stored without terminator", REG_SZ, "abc", 16, 1, "abc"},
        {"another type", REG_DWORD, std::string("\1\0\0\0", 4), 16, 0, "default"},
        {"expandable string is another type", REG_EXPAND_SZ, std::string("x\0", 2), 16, 0, "default"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SetRaw("Value", c.type, c.data.data(), (DWORD)c.data.size());
        char out[1000];
        strcpy(out, "default");
        EXPECT_EQ(SystemReadString(key, "Value", out, c.outSize), c.result);
        EXPECT_STREQ(out, c.out);
    }
    char out[16] = "default";
    EXPECT_EQ(SystemReadString(key, "Missing", out, sizeof out), 0);
    EXPECT_STREQ(out, "default");
}

TEST_F(Registry, IntegersBoolsAndDoubles)
{
    SystemWriteInt(key, "Int", -7);
    int32_t i = 0;
    EXPECT_EQ(SystemReadInt(key, "Int", &i), 1);
    EXPECT_EQ(i, -7);

    SystemWriteBool(key, "Bool", 42);
    int32_t raw = 0;
    ASSERT_EQ(SystemReadInt(key, "Bool", &raw), 1);
    EXPECT_EQ(raw, 1) << "any nonzero flag is stored as 1";
    SystemWriteInt(key, "Bool", 5);
    uint32_t flag = 0;
    EXPECT_EQ(SystemReadBool(key, "Bool", &flag), 1);
    EXPECT_EQ(flag, 1u);

    SystemWriteDouble(key, "Double", 0.1 + 1e-12);
    double d = 0;
    EXPECT_EQ(SystemReadDouble(key, "Double", &d), 1);
    EXPECT_NEAR(d, 0.1 + 1e-12, 1e-15);

    // Wrong types and unreadable texts keep the output.
    SetRaw("Text", REG_SZ, "12", 3);
    i = 99;
    EXPECT_EQ(SystemReadInt(key, "Text", &i), 0);
    EXPECT_EQ(i, 99);
    d = 2.5;
    EXPECT_EQ(SystemReadDouble(key, "Int", &d), 0);
    SetRaw("Word", REG_SZ, "abc", 4);
    EXPECT_EQ(SystemReadDouble(key, "Word", &d), 1);
    EXPECT_EQ(d, 2.5);
    SetRaw("Empty", REG_SZ, "", 1);
    EXPECT_EQ(SystemReadDouble(key, "Empty", &d), 1);
    EXPECT_EQ(d, 2.5);
    const uint8_t shortWord[2] = {1, 2};
    SetRaw("Short", REG_DWORD, shortWord, 2);
    EXPECT_EQ(SystemReadInt(key, "Short", &i), 0);
}

TEST_F(Registry, PointsAndRectsNeedAllTheirValues)
{
    const POINT p{-10, 20};
    const SIZE s{300, 400};
    SystemWriteRect(key, "Win", &p, &s);
    POINT rp{};
    SIZE rs{};
    EXPECT_EQ(SystemReadRect(key, "Win", &rp, &rs), 1);
    EXPECT_EQ(rp.x, -10);
    EXPECT_EQ(rp.y, 20);
    EXPECT_EQ(rs.cx, 300);
    EXPECT_EQ(rs.cy, 400);
    DWORD size = 0;
    EXPECT_TRUE(ValueExists(key, "Win(h)", &size));

    RegDeleteValueA(key, "Win(h)");
    rp = POINT{1, 2};
    rs = SIZE{3, 4};
    EXPECT_EQ(SystemReadRect(key, "Win", &rp, &rs), 0);
    EXPECT_EQ(rp.x, 1);
    EXPECT_EQ(rs.cy, 4);

    POINT q{5, 6};
    EXPECT_EQ(SystemReadPoint(key, "Win", &q), 1) << "x and y are still there";
    RegDeleteValueA(key, "Win(y)");
    q = POINT{5, 6};
    EXPECT_EQ(SystemReadPoint(key, "Win", &q), 0);
    EXPECT_EQ(q.x, 5);
}

TEST_F(Registry, BinaryValuesRoundTripInOneValueOrInParts)
{
    struct Case {
        uint32_t size;
        int parts; // 0: one plain value
    };
    const Case cases[] = {{1, 0}, {304, 0}, {8192, 0}, {8193, 2}, {16384, 2}, {44904, 6}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.size);
        SystemDeleteKeyTree(HKEY_CURRENT_USER, TEST_KEY);
        RegCloseKey(key);
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, TEST_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const auto data = Pattern(c.size, 3);
        SystemWriteBinary(key, "Blob", data.data(), c.size);
        std::vector<uint8_t> back(c.size, 0xEE);
        EXPECT_EQ(SystemReadBinary(key, "Blob", back.data(), c.size), 1);
        EXPECT_EQ(back, data);

        if (c.parts == 0) {
            EXPECT_TRUE(ValueExists(key, "Blob"));
            HKEY part = OpenPart("Blob", 1);
            EXPECT_EQ(part, nullptr);
            continue;
        }
        EXPECT_FALSE(ValueExists(key, "Blob")) << "a split value leaves no plain value";
        for (int k = 1; k <= c.parts; ++k) {
            HKEY part = OpenPart("Blob", k);
            ASSERT_NE(part, nullptr) << k;
            DWORD stored = 0;
            EXPECT_TRUE(ValueExists(part, "Blob", &stored));
            const uint32_t expected = k < c.parts ? 8192 : c.size - 8192 * (c.parts - 1);
            EXPECT_EQ(stored, expected) << k;
            RegCloseKey(part);
        }
        EXPECT_EQ(OpenPart("Blob", c.parts + 1), nullptr);
    }
}

TEST_F(Registry, BinaryWithSizeZeroDeletesTheValue)
{
    const uint8_t data[4] = {1, 2, 3, 4};
    SystemWriteBinary(key, "Blob", data, sizeof data);
    SystemWriteBinary(key, "Blob", data, 0);
    EXPECT_FALSE(ValueExists(key, "Blob"));
}

// Each damage leaves the caller's buffer as it was.
TEST_F(Registry, DamagedSplitValueIsNotRead)
{
    constexpr uint32_t SIZE = 3 * 8192 + 100;
    enum Damage { MISSING_PART, SHORT_PART, LONG_PART, WRONG_TYPE, MISSING_LAST };
    const Damage damages[] = {MISSING_PART, SHORT_PART, LONG_PART, WRONG_TYPE, MISSING_LAST};
    for (Damage damage : damages) {
        SCOPED_TRACE(damage);
        const auto data = Pattern(SIZE, 9);
        SystemWriteBinary(key, "Blob", data.data(), SIZE);
        char partName[SYSTEM_KEY_NAME_SIZE];
        HKEY part = OpenPart("Blob", damage == MISSING_LAST ? 4 : 2);
        ASSERT_NE(part, nullptr);
        const auto filler = Pattern(9000, 1);
        switch (damage) {
        case MISSING_PART:
        case MISSING_LAST:
            RegCloseKey(part);
            part = nullptr;
            SystemBinaryPartName(partName, "Blob", damage == MISSING_LAST ? 4 : 2);
            SystemDeleteKeyTree(key, partName);
            break;
        case SHORT_PART:
            SetRaw("Blob", REG_BINARY, filler.data(), 8191, part);
            break;
        case LONG_PART:
            SetRaw("Blob", REG_BINARY, filler.data(), 8193, part);
            break;
        case WRONG_TYPE:
            SetRaw("Blob", REG_SZ, "text", 5, part);
            break;
        }
        if (part)
            RegCloseKey(part);
        std::vector<uint8_t> back(SIZE, 0x5A);
        EXPECT_EQ(SystemReadBinary(key, "Blob", back.data(), SIZE), 0);
        EXPECT_EQ(back, std::vector<uint8_t>(SIZE, 0x5A));
    }
}

TEST_F(Registry, PlainValueOfAnotherSizeIsNotRead)
{
    const auto data = Pattern(100, 0);
    SetRaw("Blob", REG_BINARY, data.data(), 100);
    std::vector<uint8_t> back(304, 0x11);
    EXPECT_EQ(SystemReadBinary(key, "Blob", back.data(), 304), 0);
    EXPECT_EQ(back, std::vector<uint8_t>(304, 0x11));
    EXPECT_EQ(SystemReadBinary(key, "Blob", back.data(), 50), 0);
    SetRaw("Text", REG_SZ, "abc", 4);
    EXPECT_EQ(SystemReadBinary(key, "Text", back.data(), 4), 0);
}

// A write that stops half-way must not leave the old value readable with some
// of its parts replaced: the value then reads as missing.
TEST_F(Registry, InterruptedSplitWriteLeavesNoMixture)
{
    // A name so long that "(Part 10)" makes a subkey name past the registry's
    // limit while "(Part 9)" still fits: the tenth part cannot be created.
    std::string name;
    for (size_t length = 230; length < 300 && name.empty(); ++length) {
        const std::string candidate(length, 'n');
        char part9[SYSTEM_KEY_NAME_SIZE * 2], part10[SYSTEM_KEY_NAME_SIZE * 2];
        snprintf(part9, sizeof part9, "%s (Part 9)", candidate.c_str());
        snprintf(part10, sizeof part10, "%s (Part 10)", candidate.c_str());
        HKEY probe = nullptr;
        const bool nineFits = RegCreateKeyExA(key, part9, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &probe,
                                              nullptr) == ERROR_SUCCESS;
        if (nineFits) {
            RegCloseKey(probe);
            RegDeleteKeyA(key, part9);
        }
        const bool tenFits = RegCreateKeyExA(key, part10, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &probe,
                                             nullptr) == ERROR_SUCCESS;
        if (tenFits) {
            RegCloseKey(probe);
            RegDeleteKeyA(key, part10);
        }
        if (nineFits && !tenFits)
            name = candidate;
    }
    if (name.empty() || name.size() + 10 >= SYSTEM_KEY_NAME_SIZE)
        GTEST_SKIP() << "no name length makes only the tenth part fail";

    constexpr uint32_t OLD_SIZE = 9 * 8192;
    const auto oldData = Pattern(OLD_SIZE, 1);
    SystemWriteBinary(key, name.c_str(), oldData.data(), OLD_SIZE);
    std::vector<uint8_t> back(OLD_SIZE);
    ASSERT_EQ(SystemReadBinary(key, name.c_str(), back.data(), OLD_SIZE), 1);

    constexpr uint32_t NEW_SIZE = 9 * 8192 + 10; // ten parts: the write fails
    const auto newData = Pattern(NEW_SIZE, 2);
    SystemWriteBinary(key, name.c_str(), newData.data(), NEW_SIZE);
    std::vector<uint8_t> mixed(NEW_SIZE, 0x33);
    EXPECT_EQ(SystemReadBinary(key, name.c_str(), mixed.data(), NEW_SIZE), 0);
    std::vector<uint8_t> old(OLD_SIZE, 0x33);
    EXPECT_EQ(SystemReadBinary(key, name.c_str(), old.data(), OLD_SIZE), 0);
    EXPECT_EQ(old, std::vector<uint8_t>(OLD_SIZE, 0x33));
}

// A completed write replaces every part, even when the old value had more.
TEST_F(Registry, RewrittenSplitValueReadsWhole)
{
    const auto first = Pattern(5 * 8192, 4);
    SystemWriteBinary(key, "Blob", first.data(), (uint32_t)first.size());
    const auto second = Pattern(3 * 8192 + 1, 8);
    SystemWriteBinary(key, "Blob", second.data(), (uint32_t)second.size());
    std::vector<uint8_t> back(second.size());
    EXPECT_EQ(SystemReadBinary(key, "Blob", back.data(), (uint32_t)back.size()), 1);
    EXPECT_EQ(back, second);
}

TEST(RegistryBuildDate, FormatsTheCompilerDate)
{
    struct Case {
        const char *in;
        int result;
        const char *out;
    };
    const Case cases[] = {
        {"Jun 21 1999", 1, "1999-Jun-21"},
        {"Jan  1 2024", 1, "2024-Jan-01"},
        {"DEC 31 2000", 1, "2000-Dec-31"},
        {"Jun 21 99", 0, ""},
        {"", 0, ""},
    };
    for (const Case &c : cases) {
        char out[SYSTEM_BUILD_DATE_SIZE] = "";
        EXPECT_EQ(SystemFormatBuildDate(c.in, out), c.result) << c.in;
        if (c.result) {
            EXPECT_STREQ(out, c.out);
        }
    }
    char today[SYSTEM_BUILD_DATE_SIZE] = "";
    SystemGetBuildDate(today);
    EXPECT_EQ(strlen(today), 11u);
}

} // namespace

// Damaged input: thousands of mutated files from a seeded generator. The
// reader must return from every call, never write past a destination, and
// never hang.
#include <random>

#include "zvi_test_util.h"

namespace {

constexpr int kMemoryCases = 4000;
constexpr int kDiskCases = 150;
constexpr int kMaxOperations = 20000;
constexpr unsigned char kGuard = 0xA5;
constexpr int kGuardBytes = 16;

std::string SampleFile()
{
    MemoryWrite sink(100000);
    ZVI_FileWriteHeader("Quirn++Valsev CAD 4.60");
    ZVI_FileWriteComment("sample | drawing");
    for (int section : {KEY_PEN, KEY_LAYER, KEY_OBJECT}) {
        ZVI_FileWriteKeyword(section);
        for (int i = 0; i < 6; ++i) {
            ZVI_FileWriteInt(i * 37 - 50);
            ZVI_FileWriteCommaDouble(i * 1.25e-3 - 7.5);
            ZVI_FileWriteCommaColorref(RGB(i * 40, 255 - i * 30, i * 7));
            ZVI_FileWriteCommaString("name \"x\" \\ y");
            const unsigned char bytes[] = {0, 0x22, 0x5C, 0xFF, (unsigned char)i, 0x80, 0x41};
            ZVI_FileWriteCommaBinary(bytes, sizeof bytes);
            ZVI_FileWriteCommaBool(i & 1);
            ZVI_FileWriteCommaShort(int16_t(i * 1000));
            ZVI_FileWriteSemi();
        }
        ZVI_FileWriteKeyword(KEY_END);
    }
    ZVI_FileWriteKeyword(KEY_PROFILE);
    ZVI_FileWriteProfileEntry(3);
    ZVI_FileWriteCommaBool(1);
    ZVI_FileWriteSemi();
    ZVI_FileWriteKeyword(KEY_END);
    ZVI_FileWriteEndOfFile();
    return sink.Text();
}

std::string Mutate(const std::string &base, std::mt19937 &random)
{
    static const char interesting[] = "\"\\=|;,/ \r\n\0" "0123456789.-+eE_`{a";
    std::string s = base;
    int mutations = 1 + int(random() % 8);
    for (int m = 0; m < mutations && !s.empty(); ++m) {
        size_t at = random() % s.size();
        switch (random() % 7) {
        case 0: s[at] = char(random()); break;
        case 1: s[at] = interesting[random() % (sizeof interesting - 1)]; break;
        case 2: s.insert(at, 1, interesting[random() % (sizeof interesting - 1)]); break;
        case 3: s.erase(at, 1 + random() % 40); break;
        case 4: s.resize(at); break; // truncated
        case 5: s.insert(at, s.substr(random() % s.size(), random() % 200)); break;
        case 6: s.insert(at, std::string(1 + random() % 40000, interesting[random() % 12])); break;
        }
    }
    return s;
}

struct Guarded {
    std::vector<unsigned char> bytes;
    explicit Guarded(size_t n) : bytes(n + 2 * kGuardBytes, kGuard) {}
    void *Data() { return bytes.data() + kGuardBytes; }
    bool Intact(size_t n) const
    {
        for (int i = 0; i < kGuardBytes; ++i)
            if (bytes[i] != kGuard || bytes[kGuardBytes + n + i] != kGuard)
                return false;
        return true;
    }
};

// One record of the sample's sections, field by field.
void ReadRecord(Guarded &text, Guarded &blob)
{
    int32_t i32;
    int16_t i16;
    int flag;
    double d;
    COLORREF c;
    ZVI_FileReadInt(&i32);
    ZVI_FileReadCommaDouble(&d);
    ZVI_FileReadCommaColorref(&c);
    ZVI_FileReadCommaString(static_cast<char *>(text.Data()), 40);
    ZVI_FileReadCommaBinary(blob.Data(), 7);
    ZVI_FileReadCommaBool(&flag);
    ZVI_FileReadCommaShort(&i16);
    ZVI_FileReadSemi();
}

// One call of any kind, as a plug-in might make it.
void ReadAnything(std::mt19937 &random, Guarded &text, Guarded &blob)
{
    int32_t i32;
    double d;
    switch (random() % 6) {
    case 0: ZVI_FileReadNextKeyword(); break;
    case 1: ZVI_FileReadInt(&i32); break;
    case 2: ZVI_FileReadDouble(&d); break;
    case 3: ZVI_FileReadProfileEntry(); break;
    case 4: ZVI_FileReadLine(static_cast<char *>(text.Data()), 40); break;
    case 5: ZVI_FileReadBinary(blob.Data(), 7); break;
    }
}

// Reads the way the section readers do, so that damage deep in the file is
// reached; now and then a call out of turn.
void ReadLikeADrawing(std::mt19937 &random)
{
    Guarded text(40), blob(7);
    ZVI_FileReadHeader(random() % 4 ? "Quirn++Valsev CAD 4.60" : nullptr);
    for (int op = 0; op < kMaxOperations && !ZVI_FileReadError(); ++op) {
        if (random() % 16 == 0) {
            ReadAnything(random, text, blob);
        } else if (ZVI_FileReadLastKeyword() == KEY_PROFILE) {
            if (ZVI_FileReadProfileEntry() == ZVI_PROFILE_END)
                continue;
            int flag;
            ZVI_FileReadCommaBool(&flag);
            ZVI_FileReadSemi();
        } else {
            for (int r = 0; r < 6; ++r)
                ReadRecord(text, blob);
            if (ZVI_FileReadNextSection() && ZVI_FileReadLastKeyword() == KEY_EXIT)
                break;
        }
        ASSERT_TRUE(text.Intact(40));
        ASSERT_TRUE(blob.Intact(7));
    }
    ZVI_FileReadEndOfFile();
}

} // namespace

TEST_F(ZviTest, MutatedInputsAlwaysReturn)
{
    const std::string base = SampleFile();
    ASSERT_GT(base.size(), 500u);
    {
        // The undamaged sample reads to its end without an error.
        MemoryRead in(base);
        std::mt19937 never(1);
        Guarded text(40), blob(7);
        ASSERT_EQ(ZVI_FileReadHeader("Quirn++Valsev CAD 4.60"), 1);
        for (int section = 0; section < 3; ++section) {
            for (int r = 0; r < 6; ++r)
                ReadRecord(text, blob);
            ASSERT_EQ(ZVI_FileReadNextSection(), 1);
        }
        ASSERT_EQ(ZVI_FileReadLastKeyword(), KEY_PROFILE);
        EXPECT_EQ(ZVI_FileReadProfileEntry(), 3);
        EXPECT_EQ(ZVI_FileReadError(), 0);
    }
    std::mt19937 random(20240611);
    double readShare = 0;
    for (int n = 0; n < kMemoryCases; ++n) {
        std::string input = Mutate(base, random);
        MemoryRead in(input);
        ReadLikeADrawing(random);
        readShare += input.empty() ? 1.0 : double(ZVI_FileReadCurrentSize()) / double(input.size());
        // The header check counts the 23 bytes it asks for, even past the end.
        ASSERT_LE(ZVI_FileReadCurrentSize(), int32_t(input.size()) + 23) << "case " << n;
        if (HasFatalFailure())
            FAIL() << "case " << n;
    }
    // The damage is reached: on average the reading gets well into the files.
    EXPECT_GT(readShare / kMemoryCases, 0.3);
}

TEST_F(ZviTest, MutatedFilesOnDiskAlwaysReturn)
{
    const std::string base = SampleFile();
    std::mt19937 random(77);
    TestTempFile file("zvi_fuzz.zvd");
    for (int n = 0; n < kDiskCases; ++n) {
        std::string input = Mutate(base, random);
        HANDLE h;
        ASSERT_EQ(ZVI_FileCreate(&h, file.Path()), 1);
        if (!input.empty()) {
            ASSERT_EQ(ZVI_FileWrite(h, input.data(), int32_t(input.size())), int32_t(input.size()));
        }
        ZVI_FileClose(h);
        ASSERT_EQ(ZVI_FileOpen(&h, file.Path()), 1);
        ASSERT_EQ(ZVI_FileReadInitDisk(h), 1);
        ReadLikeADrawing(random);
        ZVI_FileReadExit();
        ZVI_FileClose(h);
        if (HasFatalFailure())
            FAIL() << "case " << n;
    }
}

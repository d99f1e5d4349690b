// Damaged metafiles: a corpus of broken files and a seeded mutation run over
// many thousands of inputs in memory. Every one is either imported or
// refused with the metafile alert; none crashes or leaves a half import.
#include <cstdint>
#include <random>

#include "app/window_progress.h"
#include "meta_fixture.h"

namespace {

class MetaDamagedTest : public MetaTest {
protected:
    static size_t AliveCount()
    {
        size_t n = 0;
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            n += UndoIsVisible(u, g_UndoStep);
        return n;
    }
};

TEST_F(MetaDamagedTest, CorpusIsRefusedWithAClearAlert)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA("fixtures\\meta\\damaged\\*.*", &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int files = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::string name = found.cFileName;
        const std::string path = "fixtures\\meta\\damaged\\" + name;
        const bool wmf = name.size() > 4 && name.compare(name.size() - 4, 4, ".wmf") == 0;
        FileClearDrawing();
        DrawLog() = DrawFileLog{};
        const int result = wmf ? MetaImportWmf(nullptr, path.c_str()) : MetaImportEmf(nullptr, path.c_str());
        EXPECT_EQ(result, 0) << name;
        EXPECT_EQ(AliveCount(), 0u) << name;
        ASSERT_EQ(DrawLog().alerts.size(), 1u) << name;
        EXPECT_EQ(DrawLog().alerts[0], eAlertTextSM[wmf ? 105 : 106]) << name;
        ++files;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    EXPECT_GE(files, 20);
}

// A metafile that uses every record kind the players read.
std::vector<uint8_t> RichEmf()
{
    EmfBuilder b;
    b.Add(EMR_SETMAPMODE, Bytes().U32(MM_ANISOTROPIC));
    b.Add(EMR_SETWINDOWEXTEX, Bytes().I32(1000).I32(-1000));
    b.Add(EMR_CREATEPEN, Bytes().U32(1).U32(PS_SOLID).I32(3).I32(0).U32(RGB(1, 2, 3)));
    b.Add(EMR_SELECTOBJECT, Bytes().U32(1));
    b.Add(EMR_CREATEBRUSHINDIRECT, Bytes().U32(2).U32(BS_HATCHED).U32(RGB(4, 5, 6)).U32(2));
    b.Add(EMR_SELECTOBJECT, Bytes().U32(2));
    b.Add(EMR_POLYLINE, EmfPoly({{0, 0}, {10, 0}, {10, 10}}));
    b.Add(EMR_POLYGON16, Bytes().I32(0).I32(0).I32(0).I32(0).U32(3).I16(0).I16(0).I16(5).I16(0).I16(5).I16(5));
    b.Add(EMR_POLYPOLYGON, Bytes().I32(0).I32(0).I32(0).I32(0).U32(1).U32(3).U32(3).I32(0).I32(0).I32(3).I32(0).I32(3).I32(3));
    b.Add(EMR_MOVETOEX, Bytes().I32(0).I32(0));
    b.Add(EMR_LINETO, Bytes().I32(20).I32(20));
    b.Add(EMR_POLYBEZIERTO, EmfPoly({{1, 1}, {2, 2}, {3, 3}}));
    b.Add(EMR_CLOSEFIGURE);
    b.Add(EMR_BEGINPATH);
    b.Add(EMR_ARCTO, Bytes().I32(0).I32(0).I32(10).I32(10).I32(10).I32(5).I32(5).I32(0));
    b.Add(EMR_ENDPATH);
    b.Add(EMR_STROKEANDFILLPATH, Bytes().I32(0).I32(0).I32(0).I32(0));
    b.Add(EMR_ELLIPSE, Bytes().I32(0).I32(0).I32(10).I32(10));
    b.Add(EMR_CHORD, Bytes().I32(0).I32(0).I32(10).I32(10).I32(10).I32(5).I32(5).I32(0));
    b.Add(EMR_ANGLEARC, Bytes().I32(0).I32(0).U32(10).F32(10.0f).F32(80.0f));
    LOGFONTW f{};
    f.lfHeight = 12;
    wcscpy(f.lfFaceName, L"Arial");
    b.Add(EMR_EXTCREATEFONTINDIRECTW, Bytes().U32(3).Raw(&f, sizeof f));
    b.Add(EMR_SELECTOBJECT, Bytes().U32(3));
    Bytes text;
    text.I32(0).I32(0).I32(0).I32(0).U32(1).F32(1).F32(1).I32(5).I32(5).U32(2).U32(76).U32(0).I32(0).I32(0).I32(0).I32(0).U32(0).U16('O').U16('K');
    b.Add(EMR_EXTTEXTOUTW, text);
    Bytes draw;
    draw.I32(0).I32(0).I32(0).I32(0).U32(3).I32(0).I32(0).I32(1).I32(1).I32(2).I32(0);
    const uint8_t types[] = {PT_MOVETO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE};
    draw.Raw(types, 3);
    b.Add(EMR_POLYDRAW, draw);
    b.Add(EMR_SAVEDC);
    b.Add(EMR_RESTOREDC, Bytes().I32(-1));
    return b.Build();
}

std::vector<uint8_t> RichWmf()
{
    WmfBuilder b;
    b.placeable = true;
    b.box[2] = 1000;
    b.box[3] = 1000;
    b.Add(META_SETMAPMODE, Bytes().U16(MM_ANISOTROPIC));
    b.Add(META_SETWINDOWEXT, Bytes().I16(1000).I16(1000));
    b.Add(META_CREATEPENINDIRECT, Bytes().U16(PS_SOLID).I16(3).I16(0).U32(RGB(1, 2, 3)));
    b.Add(META_SELECTOBJECT, Bytes().U16(0));
    b.Add(META_MOVETO, Bytes().I16(0).I16(0));
    b.Add(META_LINETO, Bytes().I16(10).I16(10));
    b.Add(META_LINETO, Bytes().I16(0).I16(20));
    b.Add(META_POLYGON, Bytes().I16(3).I16(0).I16(0).I16(10).I16(0).I16(10).I16(10));
    b.Add(META_POLYPOLYGON, Bytes().U16(1).U16(3).I16(0).I16(0).I16(10).I16(0).I16(10).I16(10));
    b.Add(META_RECTANGLE, Bytes().I16(10).I16(10).I16(0).I16(0));
    b.Add(META_ARC, Bytes().I16(0).I16(5).I16(5).I16(10).I16(10).I16(10).I16(0).I16(0));
    Bytes font;
    font.I16(12).I16(0).I16(0).I16(0).I16(400).Raw("\0\0\0\0\0\0\0\0", 8).Raw("Arial\0", 6);
    b.Add(META_CREATEFONTINDIRECT, font);
    b.Add(META_SELECTOBJECT, Bytes().U16(1));
    b.Add(META_TEXTOUT, Bytes().I16(2).Raw("OK", 2).I16(5).I16(5));
    b.Add(META_SAVEDC, Bytes());
    b.Add(META_RESTOREDC, Bytes().I16(-1));
    return b.Build();
}

// One mutation: a few bytes changed, a field overwritten with a value that
// breaks sizes, or the data cut short.
void Mutate(std::vector<uint8_t> *data, std::mt19937 &random)
{
    static const uint32_t edges[] = {0, 1, 2, 3, 0x7FFF, 0x8000, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000,
                                     0xFFFFFFFF, 0xFFFFFFF8, 8000, 8001};
    std::vector<uint8_t> &d = *data;
    const int kind = random() % 4;
    if (kind == 3 && d.size() > 8) {
        d.resize(random() % d.size());
        return;
    }
    const int count = 1 + random() % 4;
    for (int i = 0; i < count && d.size() >= 4; ++i) {
        const size_t at = random() % (d.size() - 3);
        if (kind == 0) {
            d[at] = uint8_t(random());
        } else {
            const uint32_t v = edges[random() % (sizeof edges / sizeof edges[0])];
            std::memcpy(&d[at & ~size_t(1)], &v, kind == 1 ? 4 : 2);
        }
    }
}

TEST_F(MetaDamagedTest, SeededMutationsNeverCrashOrLeaveHalfAnImport)
{
    struct Base {
        bool wmf;
        std::vector<uint8_t> bytes;
    };
    std::vector<Base> bases = {{false, RichEmf()}, {true, RichWmf()}};
    for (const char *fixture : {"fixtures\\meta\\inkscape.emf", "fixtures\\meta\\inkscape.wmf"}) {
        const std::string s = TestReadFile(fixture);
        ASSERT_FALSE(s.empty()) << fixture;
        bases.push_back({std::strstr(fixture, ".wmf") != nullptr, std::vector<uint8_t>(s.begin(), s.end())});
    }
    for (const Base &b : bases) {
        const int ok = b.wmf ? MetaImportWmfBits(nullptr, b.bytes.data(), b.bytes.size(), nullptr)
                             : MetaImportEmfBits(nullptr, b.bytes.data(), b.bytes.size());
        ASSERT_EQ(ok, 1) << "the unmutated input imports";
    }
    // One progress window for the whole run: each import's own nests in it.
    WindowShowProgress("test", "mutations", 0);
    std::mt19937 random(20261210);
    constexpr int ROUNDS = 6000; // per base
    int refused = 0, imported = 0;
    for (const Base &b : bases) {
        for (int i = 0; i < ROUNDS; ++i) {
            if (i % 256 == 0)
                FileClearDrawing();
            std::vector<uint8_t> d = b.bytes;
            Mutate(&d, random);
            const size_t before = AliveCount();
            DrawLog().alerts.clear();
            const int ok = b.wmf ? MetaImportWmfBits(nullptr, d.data(), d.size(), nullptr)
                                 : MetaImportEmfBits(nullptr, d.data(), d.size());
            if (ok) {
                ++imported;
            } else {
                ++refused;
                ASSERT_EQ(AliveCount(), before) << "round " << i;
                ASSERT_FALSE(DrawLog().alerts.empty()) << "round " << i;
            }
            ASSERT_FALSE(UndoIsProcessOpen()) << "round " << i;
        }
    }
    WindowHideProgress();
    // The run reaches both sides.
    EXPECT_GT(refused, 100);
    EXPECT_GT(imported, 100);
}

} // namespace

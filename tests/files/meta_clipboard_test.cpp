// Clipboard copy and paste: the program's own format and an enhanced
// metafile go on the clipboard; a paste takes the richest format there; and a
// copy in one process pastes with identical coordinates in a second one (this
// test program started again for the child test below).
#include <cstdio>

#include "app/darad4.h"
#include "common/test_files.h"
#include "database/object.h"
#include "database/symbol_block.h"
#include "database/symbol_find.h"
#include "database/symbol_index.h"
#include "database/symbol_library.h"
#include "database/undo.h"
#include "files/file_library.h"
#include "files/image_list.h"
#include "meta_fixture.h"

namespace {

constexpr char CHILD_VARIABLE[] = "DARAD4_META_PASTE_CHILD";

class MetaClipboardTest : public MetaTest {
protected:
    HWND window_ = nullptr;

    void SetUp() override
    {
        MetaTest::SetUp();
        g_ClipboardFormatZvd = RegisterClipboardFormatA("Quirn++Valsev CAD");
        window_ = CreateWindowA("STATIC", "clipboard owner", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        MetaTest::TearDown();
    }
    void MakeObjects()
    {
        ASSERT_NE(TestNewLine(1.25, 2.5, 40.125, 17.0625), nullptr);
        Unit *s = TestNewObject(LIST_DRAWING, OBJTYPE_SURFACE, {10, 10, 30, 10, 30, 25});
        ASSERT_NE(s, nullptr);
        for (Unit *u = g_ObjectLists[LIST_DRAWING].head; u; u = u->next)
            FrameCalcObject(u, 1);
    }
    // Every point of the alive objects, in order.
    static std::vector<double> Coordinates()
    {
        std::vector<double> out;
        for (Unit *u : Objects())
            for (ElementPoint *p : Points(u)) {
                out.push_back(p->x);
                out.push_back(p->y);
            }
        return out;
    }
    void PutOnClipboard(UINT format, HANDLE data)
    {
        ASSERT_TRUE(OpenClipboard(window_));
        EmptyClipboard();
        ASSERT_NE(SetClipboardData(format, data), nullptr);
        CloseClipboard();
    }
};

TEST_F(MetaClipboardTest, CopyThenPasteLiesExactlyOverTheCopyInOneUndoStep)
{
    ASSERT_NO_FATAL_FAILURE(MakeObjects());
    const std::vector<double> before = Coordinates();
    ASSERT_EQ(MetaCopyToClipboard(window_, 0), 1);
    EXPECT_TRUE(IsClipboardFormatAvailable(g_ClipboardFormatZvd));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
    ASSERT_EQ(MetaPasteFromClipboard(window_), 1);
    std::vector<double> after = Coordinates();
    ASSERT_EQ(after.size(), 2 * before.size());
    EXPECT_EQ(std::vector<double>(after.begin() + before.size(), after.end()), before);
    EXPECT_NEAR(g_ChangedRect[0], 1.25, 0.5);
    ASSERT_EQ(UndoStepBack(), 1);
    EXPECT_EQ(Coordinates(), before);
}

// The pasted instance's block comes from its library, read on demand; an own
// group nothing uses goes.
TEST_F(MetaClipboardTest, APasteLoadsTheLibraryBlocksItNeedsAndDropsUnusedGroups)
{
    // A library "Parts" with a block "Bolt", in a file, opened to be read on demand.
    g_LibrarySlots.count = 1;
    std::strcpy(g_LibrarySlots.slots[0].info.title, "Parts");
    const int list = LIST_SYMBOL_LIBRARY_FIRST;
    Unit *bolt = SymbolNewBlock(list, "Bolt");
    ASSERT_NE(bolt, nullptr);
    Unit *line = TestNewLine(0, 0, 5, 5);
    ASSERT_NE(SymbolAddMember(list, bolt, line), nullptr);
    MemListDelete(LIST_DRAWING, line);
    SymbolRebuildLibraryIndex();
    TestTempFile file("meta_paste_parts.zvl");
    ASSERT_EQ(FileWriteLibrary(file.Path(), 0, FILE_SECTIONS_LIBRARY), 1);
    FileRemoveLibrary(0);

    // An instance of it on the clipboard.
    std::vector<uint8_t> buffer(4096);
    Unit *instance = reinterpret_cast<Unit *>(buffer.data());
    Matrix m;
    MatrixInit(&m);
    ASSERT_NE(SymbolMakeInstance(instance, uint32_t(buffer.size()), "Parts", "Bolt", &m), 0u);
    Unit *placed = MemListNewCopyAfter(LIST_DRAWING, instance, instance->bytes, nullptr);
    ASSERT_NE(placed, nullptr);
    UndoStampPermanent(placed);
    ASSERT_EQ(MetaCopyToClipboard(window_, 0), 1);
    ObjectPurgeAll();

    ASSERT_EQ(FileOpenLibrary(file.Path(), 1, 1, 1), 0);
    ASSERT_EQ(g_ObjectLists[list].count, 0u) << "nothing read yet";
    ASSERT_NE(SymbolNewBlock(LIST_OWN_BLOCKS, "#G\\unused"), nullptr);
    SymbolRebuildOwnIndex();

    ASSERT_EQ(MetaPasteFromClipboard(window_), 1);
    EXPECT_NE(SymbolFindBlock("Parts", "Bolt"), nullptr) << "loaded for the pasted instance";
    EXPECT_EQ(g_ObjectLists[list].count, 1u);
    EXPECT_EQ(SymbolFindBlock("*", "#G\\unused"), nullptr) << "the unused group is gone";
    const std::vector<Unit *> pasted = Objects();
    ASSERT_EQ(pasted.size(), 1u);
    EXPECT_EQ(SymbolGetInstanceBlock(pasted[0]), SymbolFindBlock("Parts", "Bolt"));
    while (g_LibrarySlots.count)
        FileRemoveLibrary(g_LibrarySlots.count - 1);
}

TEST_F(MetaClipboardTest, CopyOfTheSelectionTakesTheSelectedObjectsOrAllWhenNoneIs)
{
    ASSERT_NO_FATAL_FAILURE(MakeObjects());
    ASSERT_EQ(MetaCopyToClipboard(window_, UNIT_SELECTED), 1);
    ASSERT_EQ(MetaPasteFromClipboard(window_), 1);
    EXPECT_EQ(Objects().size(), 4u);

    ASSERT_EQ(UndoStepBack(), 1);
    g_ObjectLists[LIST_DRAWING].head->flags |= UNIT_SELECTED;
    ASSERT_EQ(MetaCopyToClipboard(window_, UNIT_SELECTED), 1);
    ASSERT_EQ(MetaPasteFromClipboard(window_), 1);
    EXPECT_EQ(Objects().size(), 3u);
}

TEST_F(MetaClipboardTest, PasteTakesTheMetafileWhenTheOwnFormatIsMissing)
{
    ASSERT_NO_FATAL_FAILURE(MakeObjects());
    HENHMETAFILE emf = MetaCreateEmf(window_, nullptr, 0);
    ASSERT_NE(emf, nullptr);
    PutOnClipboard(CF_ENHMETAFILE, emf);
    FileClearDrawing();
    ASSERT_EQ(MetaPasteFromClipboard(window_), 1);
    EXPECT_GE(Objects().size(), 2u);
    EXPECT_NEAR(g_ChangedRect[0] + g_ChangedRect[2], 0.0, 1e-6); // centred at the origin

    // An old-style metafile picture of 100 x 50 mm.
    HDC dc = CreateMetaFileA(nullptr);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1000, 500, nullptr);
    Rectangle(dc, 0, 0, 1000, 500);
    HMETAFILE wmf = CloseMetaFile(dc);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
    auto *pict = static_cast<METAFILEPICT *>(GlobalLock(block));
    *pict = METAFILEPICT{MM_ANISOTROPIC, 10000, 5000, wmf};
    GlobalUnlock(block);
    PutOnClipboard(CF_METAFILEPICT, block);
    FileClearDrawing();
    ASSERT_EQ(MetaPasteFromClipboard(window_), 1);
    ASSERT_EQ(Objects().size(), 1u);
    // The recorded rectangle ends one unit (0.1 mm) short of the extent.
    EXPECT_NEAR(Width(g_ChangedRect), 100.0, 0.2);
    EXPECT_NEAR(Height(g_ChangedRect), 50.0, 0.2);
}

TEST_F(MetaClipboardTest, DibWithoutImageSizeBecomesACompleteBitmapObject)
{
    // 24 bits, 10 pixels wide, 3 rows: rows of 32 bytes, S = 96.
    std::vector<uint8_t> dib(sizeof(BITMAPINFOHEADER) + 96, 0x5A);
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = 10;
    h.biHeight = 3;
    h.biPlanes = 1;
    h.biBitCount = 24;
    std::memcpy(dib.data(), &h, sizeof h);
    BITMAPFILEHEADER file;
    uint32_t headerBytes, bits;
    ASSERT_EQ(MetaDibFileHeader(&h, dib.size(), &file, &headerBytes, &bits), 1);
    EXPECT_EQ(bits, 96u);
    EXPECT_EQ(file.bfOffBits, 14u + 40u);
    EXPECT_EQ(file.bfSize, 14u + 40u + 96u);
    EXPECT_EQ(MetaDibFileHeader(&h, dib.size() - 1, &file, &headerBytes, &bits), 0); // bits missing

    for (int paste = 0; paste < 2; ++paste) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.size());
        std::memcpy(GlobalLock(block), dib.data(), dib.size());
        GlobalUnlock(block);
        PutOnClipboard(CF_DIB, block);
        ASSERT_EQ(MetaPasteFromClipboard(window_), 1);
    }
    auto objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    auto *a = static_cast<BitmapRefData *>(ElementPayload(Find(objects[0], ELEM_BITMAP_REF)));
    auto *b = static_cast<BitmapRefData *>(ElementPayload(Find(objects[1], ELEM_BITMAP_REF)));
    EXPECT_STRNE(a->name, b->name);
    const ImageData *image = ImageFindData(a->name);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size, 14u + 40u + 96u);
}

TEST_F(MetaClipboardTest, NothingUsableOnTheClipboardPastesNothing)
{
    ASSERT_TRUE(OpenClipboard(window_));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(MetaPasteFromClipboard(window_), 0);
    EXPECT_TRUE(DrawLog().alerts.empty());
}

// Copy here, paste in a second process, and compare the coordinates it writes.
TEST_F(MetaClipboardTest, CopyAndPasteBetweenTwoProcesses)
{
    ASSERT_NO_FATAL_FAILURE(MakeObjects());
    const std::vector<double> before = Coordinates();
    ASSERT_EQ(MetaCopyToClipboard(window_, 0), 1);

    TestTempFile out("meta_child_paste.txt");
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    char command[3 * MAX_PATH];
    std::snprintf(command, sizeof command,
                  "\"%s\" --gtest_filter=MetaClipboardTest.ChildPastesAndWritesCoordinates --gtest_brief=1", program);
    SetEnvironmentVariableA(CHILD_VARIABLE, out.Path());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    SetEnvironmentVariableA(CHILD_VARIABLE, nullptr);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    EXPECT_EQ(code, 0u);

    std::string expected;
    for (double v : before) {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g\n", v);
        expected += text;
    }
    EXPECT_EQ(out.Contents(), expected);
}

// The second process of the test above: pastes into its own empty drawing.
TEST_F(MetaClipboardTest, ChildPastesAndWritesCoordinates)
{
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA(CHILD_VARIABLE, path, sizeof path))
        GTEST_SKIP() << "runs only as the second process of CopyAndPasteBetweenTwoProcesses";
    const int32_t step = g_UndoStep;
    ASSERT_EQ(MetaPasteFromClipboard(window_), 1);
    ASSERT_EQ(g_UndoStep, step + 1); // one undo step
    std::string text;
    for (double v : Coordinates()) {
        char line[64];
        std::snprintf(line, sizeof line, "%.17g\n", v);
        text += line;
    }
    TestWriteFile(path, text);
}

} // namespace

namespace {

// Blocks a paste of the program's own format adds belong to its undo step: a
// refused paste leaves none, and an undone paste loses them with its step.
TEST_F(MetaClipboardTest, BlocksAPasteAddsGoWithItsUndoStep)
{
    Unit *block = SymbolNewBlock(LIST_OWN_BLOCKS, "Door");
    ASSERT_NE(block, nullptr);
    ASSERT_NE(SymbolAddMember(LIST_OWN_BLOCKS, block, MakeTyped(OBJTYPE_LINE, 1)), nullptr);
    Unit *instance = reinterpret_cast<Unit *>(Buffer().data());
    const Matrix m{1, 0, 0, 1, 5, 5};
    ASSERT_NE(SymbolMakeInstance(instance, 4096, "*", "Door", &m), 0u);
    instance->property = XPropertyDefault();
    ASSERT_NE(StoreObject(instance), nullptr);
    const std::string text = DrawFileWrittenText();
    ASSERT_NE(text.find("\"Door\""), std::string::npos);
    auto blocks = [] { return g_ObjectLists[LIST_OWN_BLOCKS].count; };
    auto put = [this](const std::string &t) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, t.size());
        std::memcpy(GlobalLock(h), t.data(), t.size());
        GlobalUnlock(h);
        PutOnClipboard(g_ClipboardFormatZvd, h);
    };

    // Refused: the object section breaks behind the blocks.
    FileClearDrawing();
    const size_t objects = text.find("=OBJECT=");
    ASSERT_NE(objects, std::string::npos);
    put(text.substr(0, text.find("\r\n", text.find("\r\n", objects) + 2) + 2) + ",1,3,1,x;\r\n");
    EXPECT_EQ(MetaPasteFromClipboard(window_), 0);
    EXPECT_EQ(blocks(), 0u);
    EXPECT_TRUE(Objects().empty());

    // Accepted, undone, and the step given up by the next command.
    put(text);
    ASSERT_EQ(MetaPasteFromClipboard(window_), 1);
    EXPECT_EQ(blocks(), 1u);
    ASSERT_EQ(UndoStepBack(), 1);
    UndoInitProcess();
    UndoFinishProcess();
    EXPECT_EQ(blocks(), 0u);
}

} // namespace

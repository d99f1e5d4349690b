// What the reader accepts the writer writes, and what it cannot write it
// refuses: elements whose size does not fit their kind, records the program
// does not know, and texts and binary fields the writer could not write again.
#include "drawfile_fixture.h"

namespace {

const char *const kHead = "Quirn++Valsev CAD 4.60;\r\n=DRAWING=;\r\n\"\";\r\n=END=;\r\n";
const char *const kInstanceHead = ",1,,,,//,//,.25,,8704,,\"*\",\r\n\"Door\",\r\n1,,\r\n,1,\r\n100,50;\r\n";
const char *const kBlockHead = ",2,,,,//,//,.25,,8704,,\"Door\",\r\n,,,;\r\n";
const char *const kLineHead = ",,,,,//,//,.25,,8704,,;\r\n,1,3,1,1,2;\r\n,2,3,1,3,4;\r\n";

// A drawing whose OBJECT section holds one unit: its header, then elements.
std::string WithObject(const std::string &unit)
{
    return std::string(kHead) + "=OBJECT=;\r\n" + unit + ",999,,;\r\n,999;\r\n=END=;\r\n=EXIT=;\r\n";
}

// A drawing with one block "Door" holding the elements given after its header.
std::string WithBlock(const std::string &elements)
{
    return std::string(kHead) + "=BLOCK=;\r\n" + kBlockHead + elements + ",999,,;\r\n,999;\r\n,999;\r\n=END=;\r\n=EXIT=;\r\n";
}

class DrawFileAccept : public DrawFileTest {
protected:
    // The text is refused cleanly: a new drawing, one alert naming the line.
    void ExpectRefused(const std::string &text, const char *message, int line)
    {
        DrawLog() = DrawFileLog{};
        EXPECT_EQ(DrawFileReadText(text), 0);
        EXPECT_TRUE(DrawingIsNew());
        ASSERT_EQ(DrawLog().alerts.size(), 1u);
        EXPECT_NE(DrawLog().alerts[0].find("line " + std::to_string(line)), std::string::npos) << DrawLog().alerts[0];
        EXPECT_TRUE(SawAlertOrDiagnostic(message)) << message;
    }
    // Accepted, written, read back and written again byte for byte.
    static std::string ExpectWrittenBack(const std::string &text)
    {
        EXPECT_EQ(DrawFileReadText(text), 1) << (DrawLog().diagnostics.empty() ? "" : DrawLog().diagnostics.back());
        const std::string first = DrawFileWrittenText();
        EXPECT_FALSE(first.empty()) << (DrawLog().diagnostics.empty() ? "" : DrawLog().diagnostics.back());
        FileClearDrawing();
        EXPECT_EQ(DrawFileReadText(first), 1);
        EXPECT_TRUE(DrawFileWrittenText() == first);
        return first;
    }
};

// A record kind with a value type the reader does not know used to be read as
// a bare 16-byte element, and writing it took its fields from behind it.
TEST_F(DrawFileAccept, RecordKindsOfTheWrongSizeAreRefused)
{
    ExpectRefused(WithObject(std::string(kInstanceHead) + ",400,400,;\r\n"), "INSTANCE data exceeds maximum or is invalid", 11);
    ExpectRefused(WithBlock(",300,77,;\r\n"), "BLOCK data exceeds maximum or is invalid", 8);
    ExpectRefused(WithObject(std::string(kLineHead) + ",225,12,;\r\n"), "OBJECT data exceeds maximum or is invalid", 9);
    ExpectRefused(WithBlock(",401,99,;\r\n"), "BLOCK data exceeds maximum or is invalid", 8);
}

TEST_F(DrawFileAccept, RecordsOfUnknownKindAreWrittenBackBare)
{
    for (int kind : {0, 1, 7, 50, 151, 201, 299, 302, 340, 399, 402, 500, 998, 1000}) {
        SCOPED_TRACE(kind);
        FileClearDrawing();
        // A plug-in's element (module 3), so that the point kinds are not
        // held to the program's own layout.
        const std::string element = "3," + std::to_string(kind) + ",,3,1,\"x\",2;\r\n";
        const std::string written = ExpectWrittenBack(WithObject(kInstanceHead + element));
        // The fields of a record nobody knows are skipped; its header stays.
        EXPECT_NE(written.find("3," + (kind ? std::to_string(kind) : "") + ",,3;"), std::string::npos);
    }
}

TEST_F(DrawFileAccept, LongBinaryFieldsAreWrittenOrRefused)
{
    // 30000 bytes that are zero behind the first few write as a short text.
    const std::string written = ExpectWrittenBack(WithBlock(",150,9,30000,\"!!!!\";\r\n"));
    EXPECT_NE(written.find(",150,9,30000,\"!!!!\";"), std::string::npos);
    // Data whose text would pass the writer's limit is refused on reading.
    std::string digits;
    for (int i = 0; i < 20000; ++i)
        digits += "\\\""; // each digit needs its escape when written
    ExpectRefused(WithBlock(",150,9,30000,\"" + digits + "\";\r\n"), "BLOCK data exceeds maximum or is invalid", 8);
}

TEST_F(DrawFileAccept, TextsTheWriterCannotWriteAreRefused)
{
    // Read back, every quote needs its escape: 20000 quotes write as 40000 characters.
    std::string escaped;
    for (int i = 0; i < 20000; ++i)
        escaped += "\\\"";
    ExpectRefused(WithBlock(",110,8,-32000,\"" + escaped + "\";\r\n"), "BLOCK data exceeds maximum or is invalid", 8);
    ExpectRefused(WithBlock(",400,,-32000,\"A\",\"" + escaped + "\";\r\n"), "BLOCK data exceeds maximum or is invalid", 8);
    FileClearDrawing();
    ExpectWrittenBack(WithBlock(",110,8,-32000,\"" + escaped.substr(0, 2000) + "\";\r\n"));
}

} // namespace

namespace {

// The active pen, layer and hatch of the drawing before do not outlive it
// when the new one has no such slot.
TEST_F(DrawFileAccept, ActiveSlotsDoNotOutliveTheirDrawing)
{
    BuildRichDrawing();
    g_ActivePen = 3;
    g_ActiveLayer = 2;
    g_CurrentHatch = 4;
    ASSERT_TRUE(PenIsDefined(3) && LayerIsDefined(2) && g_HatchDefs[4].name[0]);
    FileClearDrawing();
    EXPECT_EQ(g_ActivePen, PenIsDefined(3) ? 3 : 0);
    EXPECT_EQ(g_ActiveLayer, LayerIsDefined(2) ? 2 : 0);
    EXPECT_EQ(g_CurrentHatch, g_HatchDefs[4].name[0] ? 4 : 0);

    BuildRichDrawing();
    g_ActivePen = 3;
    g_CurrentHatch = 4;
    // A file without PEN and HATCH sections replaces the drawing's objects
    // and blocks; the tables keep what the file does not carry.
    EXPECT_EQ(DrawFileReadText(WithObject(kInstanceHead)), 1);
    EXPECT_TRUE(g_ActivePen == 0 || PenIsDefined(g_ActivePen));
    EXPECT_TRUE(g_CurrentHatch == 0 || g_HatchDefs[g_CurrentHatch].name[0]);
    ExpectWrittenBack(DrawFileWrittenText());
}

} // namespace

namespace {

// One chain of a type: tokens are point kinds, "c" a curve parameter, "r" a
// clip record, "t" a text, "k" a constant; "layout" the type's fixed chain,
// "layout+2" that chain with a line point behind it.
struct ChainCase {
    int32_t type;
    const char *chain;
    bool accepted;
};

Unit *BuildChain(const ChainCase &c)
{
    static std::vector<uint8_t> buffer(65536);
    Unit *u = reinterpret_cast<Unit *>(buffer.data());
    std::memset(u, 0, 4096);
    const std::string chain = c.chain;
    if (chain.rfind("layout", 0) == 0) {
        ObjectChainShape shape{3, nullptr};
        if (!ObjectWriteChain(u, uint32_t(buffer.size()), c.type, shape))
            return nullptr;
        if (chain == "layout+2") {
            // The end element becomes a line point and a new end.
            Element *end = UnitFirstElement(u);
            while (end->kind != ELEM_END)
                end = ElementNext(end);
            auto *p = reinterpret_cast<ElementPoint *>(end);
            InitElementPoint(&p->head, POINT_LINE);
            p->x = 1, p->y = 2;
            InitElementEnd(ElementNext(end));
            u->bytes += ELEM_SIZE_POINT;
        }
    } else {
        u->kind = UNIT_KIND_OBJECT;
        u->object.type = c.type;
        u->object.reserved = OBJTYPE_RESERVED;
        ChainWriter w;
        InitChainBegin(&w, u, 4096);
        double x = 0;
        for (size_t at = 0; at < chain.size(); ++at) {
            const char token = chain[at];
            if (token == ' ')
                continue;
            x += 1;
            if (token == 'c')
                InitChainCurve(&w, 1.0, 0.5);
            else if (token == 'k')
                InitChainConstant(&w, 2.0);
            else if (token == 't')
                InitChainText(&w, "text", TEXT_CAPACITY_LONG, false);
            else if (token == 'r') {
                Element *e = InitChainRecord(&w, ELEM_CLIP_SURFACE, ELEM_SIZE_CLIP_SURFACE);
                if (e)
                    *static_cast<XProperty *>(ElementPayload(e)) = XPropertyDefault();
            } else
                InitChainPoint(&w, int16_t(token - '0'), x, x * x);
        }
        if (!InitChainEnd(&w))
            return nullptr;
    }
    u->property = XPropertyDefault();
    return u;
}

// What the program may hold it writes and reads back byte for byte; a chain
// no type allows is refused on reading with one message naming the type.
TEST_F(DrawFileAccept, EveryChainATypeAllowsIsReadBackAndNoOther)
{
    const ChainCase cases[] = {
        {OBJTYPE_SURFACE, "1 2 2", true},
        {OBJTYPE_SURFACE, "1 7 8 2 2", true},         // a Bezier piece
        {OBJTYPE_SURFACE, "1 2 2 1 2 2", true},       // two contours
        {OBJTYPE_SURFACE, "1 9 c 2 1 7 8 2", true},   // arc pieces, two figures
        {OBJTYPE_SURFACE, "1 2 3", false},            // a centre is no path piece
        {OBJTYPE_SURFACE, "1 2 t", false},
        {OBJTYPE_SURFACE, "c", false},                // no point at all
        {OBJTYPE_CURVE, "1 2", true},
        {OBJTYPE_CURVE, "1 7 8 2 1 9 c", true},
        {OBJTYPE_CURVE, "1 2 5", false},
        {OBJTYPE_CURVE, "1 2 k", false},
        {OBJTYPE_HATCH, "1 2 1 9 c", true},
        {OBJTYPE_HATCH, "1 2 6", false},
        {OBJTYPE_CLIP, "r", true},
        {OBJTYPE_CLIP, "r 1 2 2", true},
        {OBJTYPE_CLIP, "r 1 7 8 2 1 9 c", true},
        {OBJTYPE_CLIP, "1 2 2", false},               // the record comes first
        {OBJTYPE_CLIP, "r 1 2 3", false},
        {OBJTYPE_SPLINE, "1 2 2", true},
        {OBJTYPE_SPLINE, "1 7 8 2", false},           // a spline is a polyline
        {OBJTYPE_LINE, "layout", true},
        {OBJTYPE_LINE, "layout+2", false},
        {OBJTYPE_LINE, "1 7 8 2", false},
        {OBJTYPE_CIRC_ARC, "layout", true},
        {OBJTYPE_CIRC_ARC, "layout+2", false},
        {OBJTYPE_ELLI_SEGM, "layout", true},
        {OBJTYPE_MARK, "layout", true},
        {OBJTYPE_MARK, "layout+2", false},
        {OBJTYPE_DIM_ANGLE, "layout", true},
        {OBJTYPE_DIM_AREA, "layout+2", false},
        {OBJTYPE_STD_TEXT, "layout", true},
        {OBJTYPE_BITMAP, "layout", true},
        {OBJTYPE_BITMAP, "layout+2", false},
    };
    for (const ChainCase &c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + c.chain);
        FileClearDrawing();
        Unit *u = BuildChain(c);
        ASSERT_NE(u, nullptr);
        ASSERT_NE(StoreObject(u), nullptr);
        const std::string written = DrawFileWrittenText();
        ASSERT_FALSE(written.empty());
        FileClearDrawing();
        DrawLog() = DrawFileLog{};
        if (c.accepted) {
            ExpectWrittenBack(written);
        } else {
            EXPECT_EQ(DrawFileReadText(written), 0);
            EXPECT_TRUE(SawAlertOrDiagnostic(("Invalid element layout\nof OBJECT type " + std::to_string(c.type)).c_str()));
        }
    }
}

} // namespace

namespace {

// Arcs whose end points the program put on their curve: a drawing of them
// written, read and written again is the same text. Reading moved each end
// point onto the curve once more, and the rounding of that moved the last
// digits at every open.
TEST_F(DrawFileAccept, ArcEndPointsStayWhereTheyWereWritten)
{
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return double(state >> 8) / double(1u << 24);
    };
    for (int32_t type : {OBJTYPE_CIRC_ARC, OBJTYPE_CIRC_SEGM, OBJTYPE_ELLI_ARC, OBJTYPE_ELLI_SEC}) {
        FileClearDrawing();
        for (int n = 0; n < 40; ++n) {
            Unit *u = MakeTyped(type, n);
            ASSERT_NE(u, nullptr);
            // Centre far out, odd radii and angles: end points off the curve
            // by the last bits after every rounding.
            const double cx = 1000 * next() + 1e3 / 7, cy = -800 * next() - 1e3 / 3, r = 0.1 + 90 * next();
            std::vector<ElementPoint *> points;
            for (Element *e = UnitFirstElement(u); e->kind != ELEM_END; e = ElementNext(e))
                if (ElementIsPoint(e))
                    points.push_back(reinterpret_cast<ElementPoint *>(e));
            const bool ellipse = type >= OBJTYPE_ELLI_ARC;
            const double a = 6.283 * next(), b = a + 0.1 + 5 * next();
            points[0]->x = cx, points[0]->y = cy;
            points[1]->x = cx + r * std::cos(0.3), points[1]->y = cy + r * std::sin(0.3);
            if (ellipse)
                points[2]->x = cx - 0.4 * r * std::sin(0.3), points[2]->y = cy + 0.4 * r * std::cos(0.3);
            const size_t ends = ellipse ? 3 : 2;
            points[ends]->x = cx + 2 * r * std::cos(a), points[ends]->y = cy + 2 * r * std::sin(a);
            points[ends + 1]->x = cx + 3 * r * std::cos(b), points[ends + 1]->y = cy + 3 * r * std::sin(b);
            Unit *stored = StoreObject(u);
            ASSERT_NE(stored, nullptr);
            FrameCalcObject(stored, 1);
        }
        SCOPED_TRACE(type);
        const std::string written = DrawFileWrittenText();
        FileClearDrawing();
        EXPECT_TRUE(ExpectWrittenBack(written) == written);
    }
}

} // namespace

namespace {

// The file functions plug-ins call ask the memory manager about a pointer
// instead of touching it: an address without access is refused with the
// diagnostic, and the program goes on (a probe that touched it could end the
// process under an emulator).
TEST_F(DrawFileAccept, FileFunctionsRefuseAnAddressWithoutAccess)
{
    void *page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(page, nullptr);
    HANDLE file = INVALID_HANDLE_VALUE;
    EXPECT_EQ(ZVI_FileCreate(&file, static_cast<const char *>(page)), 0);
    EXPECT_EQ(ZVI_FileCreate(static_cast<HANDLE *>(page), "x"), 0);
    EXPECT_EQ(ZVI_FileWrite(INVALID_HANDLE_VALUE, page, 16), 0);
    EXPECT_TRUE(SawAlertOrDiagnostic("FileName address invalid!"));
    EXPECT_TRUE(SawAlertOrDiagnostic("Data address invalid!"));
    VirtualFree(page, 0, MEM_RELEASE);
}

} // namespace

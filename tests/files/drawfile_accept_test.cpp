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

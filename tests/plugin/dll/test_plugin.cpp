// The test plug-in: built against the public header and the import library
// like any third-party plug-in. It registers one module with four commands
// in the plug-in menu (the first stores a block into the first open library
// that takes it, under a name that library does not hold yet,
// the fourth places a square object of its own where the user clicks, whose
// colour the object property sheet edits), one import and one export filter. When the program
// tells it that the drawing is ready and the environment names a report
// file (DARAD4_PLUGIN_REPORT), it drives the interface and writes one line
// per check, then "done".
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "zvi.h" // the plug-in SDK: plugin/sdk

namespace {

constexpr const char *REPORT_VARIABLE = "DARAD4_PLUGIN_REPORT";
constexpr int PROFILE_BYTES = 20000;
constexpr short MODULE_NUMBER = 7;

std::string s_Report;
int s_Failures = 0;

void Check(bool ok, const char *what)
{
    s_Report += ok ? "ok " : "FAILED ";
    s_Report += what;
    s_Report += "\n";
    if (!ok)
        ++s_Failures;
}

void BuildObjects()
{
    Check(ZVI_CreationStart() == 1, "creation start");
    ZVI_UndoInitProcess();
    Check(ZVI_ObjectOpen(0) != nullptr, "object open");
    Check(ZVI_ObjectAddPoint(1, 10.0, 10.0) == 1 && ZVI_ObjectAddPoint(2, 50.0, 30.0) == 1, "points added");
    Check(ZVI_ObjectAddEnd() == 1, "object terminated");
    Unit *line = ZVI_ObjectInsert(0, nullptr);
    Check(line != nullptr, "line stored");
    ZVI_ObjectClose();
    char title[ZVI_TITLE_SIZE] = "";
    Check(ZVI_GetUnitTitle(title, line) == 1 && std::strcmp(title, "Line") == 0, "title of the line");
    Check(ZVI_ObjectOpen(5) != nullptr && ZVI_ObjectAddPoint(3, 0, 0) == 1 && ZVI_ObjectAddPoint(4, 20, 0) == 1 &&
              ZVI_ObjectFastInsert() == 1,
          "circle by fast insert");
    ZVI_UndoFinishProcess();
    ZVI_CreationEnd();
}

void RoundTripProfile()
{
    std::vector<unsigned char> data(PROFILE_BYTES), back(PROFILE_BYTES);
    for (int i = 0; i < PROFILE_BYTES; ++i)
        data[i] = (unsigned char)(i * 7);
    Check(ZVI_ProfileWriteKeyOpen("ZviTest", 0) == 1, "write key open");
    Check(ZVI_ProfileWriteInt("Count", 42) == 1, "int written");
    Check(ZVI_ProfileWriteString("Name", "plug-in") == 1, "string written");
    Check(ZVI_ProfileWriteData("Block", data.data(), PROFILE_BYTES) == 1, "20000 bytes written");
    ZVI_ProfileWriteKeyClose();
    int n = 0;
    char text[ZVI_TEXT_SIZE] = "";
    Check(ZVI_ProfileReadKeyOpen("ZviTest", 0) == 1, "read key open");
    Check(ZVI_ProfileReadInt("Count", &n) == 1 && n == 42, "int read back");
    Check(ZVI_ProfileReadString("Name", text) == 1 && std::strcmp(text, "plug-in") == 0, "string read back");
    Check(ZVI_ProfileReadData("Block", back.data(), PROFILE_BYTES) == 1 && back == data, "20000 bytes read back");
    ZVI_ProfileReadKeyClose();
    Check(ZVI_ProfileDeleteKey("ZviTest", 0) == 1, "key deleted");
    Check(ZVI_ProfileReadKeyOpen("ZviTest", 0) == 0, "deleted key is gone");

    Check(ZVI_ProfileSetDrawing(0, MODULE_NUMBER, 1, data.data(), 300) == 1, "drawing profile stored");
    Check(ZVI_ProfileGetDrawing(0, MODULE_NUMBER, 1, nullptr, 0) == 300, "drawing profile size");
    Check(ZVI_ProfileGetDrawing(0, MODULE_NUMBER, 1, back.data(), 100) == -1, "small buffer refused");

    const int radius = ZVI_SettingGet(4);
    ZVI_SettingSet(4, 60);
    Check(ZVI_SettingGet(4) == radius, "pick radius 60 ignored");
    ZVI_SettingSet(4, 20);
    Check(ZVI_SettingGet(4) == 20, "pick radius 20 taken");
    ZVI_SettingSet(4, radius);
}

void SendBadArguments()
{
    // The module's three commands were spliced into the program's menus.
    Check(ZVI_CommandAvailable(1301) && ZVI_CommandAvailable(1302) && ZVI_CommandAvailable(1303),
          "commands in the menus");
    Check(ZVI_ImportGetNumber() == 1 && ZVI_ExportGetNumber() == 1, "one import and one export filter");
    ModuleData m;
    Check(ZVI_ModuleGetData(ZVI_ModuleGetNumber(), &m) == 0, "module index past the count refused");
    Check(ZVI_ModuleGetData(0, nullptr) == 0, "null module buffer refused");
    Check(ZVI_ObjectAddPoint(1, 0, 0) == 0, "point without an open object refused");
    Check(ZVI_ObjectOpen(0) == nullptr, "object without creation buffers refused");
    ZVI_CommandInternal(99);
    Check(ZVI_CommandAvailable(99) == 0, "command 99 refused");
    Check(ZVI_DrawingSaveFile(1, nullptr, 0, 0) == 0, "drawing 1 refused");
    unsigned char pen[ZVI_SIZE_PENDEF] = {'x'};
    Check(ZVI_PenSetDef(0, 0, pen) == 0, "pen slot 0 refused");
    const double centre[2] = {0, 0};
    Check(ZVI_WindowSetViewScale(0, 0, centre, 0.0) == 0, "scale 0 refused");
    Check(ZVI_WindowSetViewArea(0, 0, centre, centre) == 0, "p1 = p2 refused");
    Check(ZVI_WindowSetViewScale(0, 7, centre, 1.0) == 0, "window 7 refused");
    char date[ZVI_DATE_SIZE];
    Check(ZVI_GetBuildDate("Feb  4 1999", date) == 1 && std::strcmp(date, "1999-Feb-04") == 0, "build date");
    Check(ZVI_WindowSetMode(0, 8) == 0, "window mode 8 refused");
    Check(ZVI_BitmapDelete(0, ZVI_BitmapGetNumber()) == 0, "bitmap index past the count refused");
    HBITMAP icon = ZVI_GetCommandIcon(1301);
    Check(icon != nullptr, "command icon");
    if (icon)
        DeleteObject(icon);
}

void WriteReport()
{
    char path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA(REPORT_VARIABLE, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return;
    BuildObjects();
    RoundTripProfile();
    SendBadArguments();
    s_Report += s_Failures ? "failed\n" : "done\n";
    if (FILE *f = std::fopen(path, "wb")) {
        std::fwrite(s_Report.data(), 1, s_Report.size(), f);
        std::fclose(f);
    }
}

// --- the plug-in's own object: a filled square whose colour the property
// sheet's special button edits. Its geometry is an own block of the drawing
// ("#ZviSquare<n>") that the object refers to; a new colour builds a new block.

constexpr int KIND_SQUARE = 1;
constexpr unsigned short DATA_COLOUR = 1;
constexpr double SQUARE_SIDE = 40.0;
constexpr COLORREF SQUARE_FIRST_COLOUR = RGB(0, 128, 255);
constexpr int COMMAND_LIBRARY_BLOCK = 1; // k of the commands: list entry + 1
constexpr int COMMAND_SQUARE = 4;

int s_NextBlock = 1;
bool s_ColourPending = false; // chosen in the sheet, applied on its OK
COLORREF s_PendingColour = 0;

bool IsSquare(const Unit *object)
{
    return object && object->kind == UNIT_KIND_PLUGIN && object->module == MODULE_NUMBER &&
           object->instance.userFlags == KIND_SQUARE;
}

// The square of the colour as a new own block; its name, or "" on failure.
std::string BuildSquareBlock(COLORREF colour)
{
    char name[UNIT_NAME_SIZE];
    std::snprintf(name, sizeof name, "#ZviSquare%d", s_NextBlock++);
    Unit *block = ZVI_BlockOpen();
    if (!block)
        return "";
    std::snprintf(block->block.name, sizeof block->block.name, "%s", name);
    bool ok = ZVI_ObjectOpen(13) != nullptr;
    if (ok) {
        XProperty &p = ZVI_ObjectGetAddress()->property;
        p.ownFlags |= XPROP_OWN_FILL | XPROP_OWN_COLOR1 | XPROP_OWN_COLOR2;
        p.fillMode = 2; // filled, with its outline
        p.color1 = colour;        // the fill
        p.color2 = RGB(0, 0, 0); // the outline
        const double xy[5][2] = {{0, 0}, {SQUARE_SIDE, 0}, {SQUARE_SIDE, SQUARE_SIDE}, {0, SQUARE_SIDE}, {0, 0}};
        for (int i = 0; i < 5 && ok; ++i)
            ok = ZVI_ObjectAddPoint(i == 0 ? 1 : 2, xy[i][0], xy[i][1]) == 1;
        ok = ok && ZVI_ObjectAddEnd() == 1 && ZVI_ObjectInsert(0, nullptr) != nullptr;
        ZVI_ObjectClose();
    }
    ok = ok && ZVI_BlockAddEnd() == 1 && ZVI_BlockInsert(0, "*") != nullptr;
    ZVI_BlockClose();
    return ok ? name : "";
}

// A new square with its lower left corner at (x, y), in one undo step.
void PlaceSquare(double x, double y)
{
    const int started = ZVI_CreationStart();
    ZVI_UndoInitProcess();
    const std::string block = started ? BuildSquareBlock(SQUARE_FIRST_COLOUR) : "";
    Unit *object = block.empty() ? nullptr : ZVI_UserOpen(MODULE_NUMBER, KIND_SQUARE);
    if (object) {
        std::snprintf(object->instance.library, sizeof object->instance.library, "*");
        std::snprintf(object->instance.block, sizeof object->instance.block, "%s", block.c_str());
        ZVI_MatrixMove(&object->instance.placement, x, y);
        // The program computes no frame for a module's object: the module
        // gives it, here the square's.
        const double frame[4] = {x, y, x + SQUARE_SIDE, y + SQUARE_SIDE};
        std::memcpy(object->frame, frame, sizeof frame);
        const COLORREF colour = SQUARE_FIRST_COLOUR;
        if (ZVI_UserAddDataBlock(DATA_COLOUR, 9, 1, &colour, sizeof colour) && ZVI_UserAddEnd())
            ZVI_UserInsert(0, nullptr);
        ZVI_UserClose();
    }
    ZVI_UndoFinishProcess();
    ZVI_CreationEnd();
    ZVI_DrawWindowAll();
}

// The colour kept in the object's data element.
COLORREF *ColourOf(Unit *object)
{
    auto *e = reinterpret_cast<Element *>(reinterpret_cast<uint8_t *>(object) + UNIT_ELEMENTS_PLUGIN);
    return e->kind == DATA_COLOUR ? reinterpret_cast<COLORREF *>(reinterpret_cast<uint8_t *>(e) + 16) : nullptr;
}

int ZVI_CALL ObjectCallback(Unit *object, int code, void *data)
{
    switch (code) {
    case ZVI_OBJECT_TITLE:
        if (!IsSquare(object))
            return 0;
        std::snprintf(static_cast<char *>(data), ZVI_TITLE_SIZE, "Zvi square");
        return 2;
    case ZVI_OBJECT_EDIT_BEGIN:
        s_ColourPending = false;
        return 2; // takes part in property edits
    case ZVI_OBJECT_PAGE_SINGLE:
    case ZVI_OBJECT_PAGE_MULTI: {
        // The sheet's special button: the colour of the square(s).
        const auto *page = static_cast<const ZviObjectPage *>(data);
        COLORREF colour = IsSquare(object) && ColourOf(object) ? *ColourOf(object) : SQUARE_FIRST_COLOUR;
        if (ZVI_DialogColor(page->window, "Zvi square colour", &colour)) {
            s_PendingColour = colour;
            s_ColourPending = true;
        }
        return 2;
    }
    case ZVI_OBJECT_APPLY:
        if (!IsSquare(object) || !s_ColourPending || !ColourOf(object))
            return 0;
        *ColourOf(object) = s_PendingColour;
        return 2; // changed: the program asks for the regeneration next
    case ZVI_OBJECT_REGENERATE: {
        if (!IsSquare(object) || !ColourOf(object))
            return 0;
        const std::string block = BuildSquareBlock(*ColourOf(object));
        if (block.empty())
            return 1;
        std::snprintf(object->instance.block, sizeof object->instance.block, "%s", block.c_str());
        return 2;
    }
    case ZVI_OBJECT_EDIT_END:
        s_ColourPending = false;
        return 0;
    default:
        return 0;
    }
}

void AppendReport(const char *line);

// The block buffer's name field, and the library details as the program
// hands them out (the title first).
constexpr int BLOCK_NAME_OFFSET = 112;
constexpr int BLOCK_NAME_SIZE = 64;
constexpr int LIBRARY_INFO_BYTES = 640;

// One line of the block, through the plain-object builder.
void BlockLine(double x1, double y1, double x2, double y2)
{
    if (!ZVI_ObjectOpen(0))
        return;
    ZVI_ObjectAddPoint(1, x1, y1);
    ZVI_ObjectAddPoint(2, x2, y2);
    ZVI_ObjectFastInsert();
}

// The block names a library holds, through the enumeration stream.
std::vector<std::string> s_LibraryBlocks;

int ZVI_CALL CollectLibraryBlock(EnumerateRecord *r)
{
    if (r->command == ENUM_CMD_BLOCK_NAME)
        s_LibraryBlocks.push_back(r->name2);
    return 1;
}

bool LibraryHolds(const char *library, const char *block)
{
    s_LibraryBlocks.clear();
    ZVI_EnumerateLibrary(0, library, ENUM_BLOCK_NAMES, CollectLibraryBlock);
    for (const std::string &name : s_LibraryBlocks)
        if (name == block)
            return true;
    return false;
}

// The first name "Zvi block <n>" the library does not hold yet: the names
// stored by an earlier run of the program are in the library's file.
void FreeBlockName(const char *library, char name[BLOCK_NAME_SIZE])
{
    for (int n = 1;; ++n) {
        std::snprintf(name, BLOCK_NAME_SIZE, "Zvi block %d", n);
        if (!LibraryHolds(library, name))
            return;
    }
}

// A block of a square with its diagonal under the name, stored into the
// library; the stored block or null.
Unit *StoreSquareBlock(const char *library, const char *name)
{
    Unit *stored = nullptr;
    if (Unit *block = ZVI_BlockOpen()) {
        std::snprintf(reinterpret_cast<char *>(block) + BLOCK_NAME_OFFSET, BLOCK_NAME_SIZE, "%s", name);
        BlockLine(0, 0, 10, 0);
        BlockLine(10, 0, 10, 10);
        BlockLine(10, 10, 0, 10);
        BlockLine(0, 10, 0, 0);
        BlockLine(0, 0, 10, 10);
        if (ZVI_BlockAddEnd())
            stored = ZVI_BlockInsert(0, library);
        ZVI_BlockClose();
    }
    return stored;
}

// The first command stores a block into the first open library (in the
// program's order, by title) that takes it, under a name the library does
// not hold yet, and reports which block went where and whether the library
// lists it. A library that may not be modified is passed over.
void StoreBlockInLibrary()
{
    char line[2 * LIBRARY_INFO_BYTES];
    const int count = ZVI_LibraryGetNumber();
    if (count < 1) {
        AppendReport("no library open");
        return;
    }
    ZVI_CreationStart();
    bool stored = false;
    for (int i = 0; i < count && !stored; ++i) {
        char info[LIBRARY_INFO_BYTES] = {}; // the library's title comes first
        if (!ZVI_LibraryGetInfo(i, nullptr, info))
            continue;
        char name[BLOCK_NAME_SIZE];
        FreeBlockName(info, name);
        stored = StoreSquareBlock(info, name) != nullptr;
        if (stored) {
            std::snprintf(line, sizeof line, "block %s stored in the library %s, %s", name, info,
                          LibraryHolds(info, name) ? "which lists it" : "which does NOT list it");
            AppendReport(line);
        }
    }
    ZVI_CreationEnd();
    if (!stored)
        AppendReport("block refused by every open library");
}

// A module command in mode 0 does nothing: the program asks the module's
// consent (code 0) only for commands that take input. A command that needs
// no point does its work there and declines the input; the square takes its
// corner as one point, and the accept callback places it.
int ZVI_CALL CommandCallback(int k, int code)
{
    if (code == ZVI_CODE_DRAWING_READY && s_Report.empty())
        WriteReport();
    if (code == ZVI_CODE_HELP) {
        char text[ZVI_TEXT_SIZE];
        std::snprintf(text, sizeof text, "Zvi test module, command %d: nothing to explain yet.", k);
        MessageBoxA(nullptr, text, "Zvi test help", MB_OK | MB_TASKMODAL);
    }
    if (code == ZVI_CODE_START && k == COMMAND_LIBRARY_BLOCK) {
        StoreBlockInLibrary();
        return 0; // done at once: no input
    }
    return 1;
}

// The square's one step: the clicked point is its lower left corner.
int ZVI_CALL AcceptPoint(int k, int, double x, double y)
{
    if (k != COMMAND_SQUARE)
        return ZVI_INPUT_CONTINUE;
    PlaceSquare(x, y);
    return ZVI_INPUT_COMPLETE;
}

// --- the plug-in's own text format: the drawing's paths through the stream.
// "ZVT 1", then per path "path <closed> <count>" and one "<code> <x> <y>"
// line per point.

constexpr const char *FORMAT_HEADER = "ZVT 1";
constexpr uint32_t EXPORT_FLAGS = ENUM_GEOMETRY | ENUM_ARCS | ENUM_BEZIERS | ENUM_NO_DASHING;

struct Path {
    int closed = 0;
    std::vector<int> codes;
    std::vector<double> xy;
    bool operator==(const Path &o) const { return closed == o.closed && codes == o.codes && xy == o.xy; }
};
std::vector<Path> s_Paths;

int ZVI_CALL CollectPath(EnumerateRecord *r)
{
    if (r->command != ENUM_CMD_OPEN_PATH && r->command != ENUM_CMD_CLOSED_PATH)
        return 1;
    Path p;
    p.closed = r->command == ENUM_CMD_CLOSED_PATH;
    for (int i = 0; i < r->count; ++i) {
        p.codes.push_back(r->codes[i]);
        p.xy.push_back(r->points[2 * i]);
        p.xy.push_back(r->points[2 * i + 1]);
    }
    s_Paths.push_back(p);
    return 1;
}

void AppendReport(const char *line)
{
    s_Report += line;
    s_Report += "\n";
    char path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA(REPORT_VARIABLE, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return;
    if (FILE *f = std::fopen(path, "wb")) {
        std::fwrite(s_Report.data(), 1, s_Report.size(), f);
        std::fclose(f);
    }
}

int ZVI_CALL ExportFile(const char *fileName, int)
{
    s_Paths.clear();
    if (!ZVI_EnumerateAll(0, 0, 0, EXPORT_FLAGS, CollectPath))
        return 0;
    FILE *f = std::fopen(fileName, "w");
    if (!f)
        return 0;
    std::fprintf(f, "%s\n", FORMAT_HEADER);
    for (const Path &p : s_Paths) {
        std::fprintf(f, "path %d %d\n", p.closed, (int)p.codes.size());
        for (size_t i = 0; i < p.codes.size(); ++i)
            std::fprintf(f, "%d %.17g %.17g\n", p.codes[i], p.xy[2 * i], p.xy[2 * i + 1]);
    }
    const bool ok = std::fclose(f) == 0;
    Check(ok && !s_Paths.empty(), "drawing exported through the stream");
    AppendReport("exported");
    return ok ? 1 : 0;
}

bool ReadPaths(const char *fileName, std::vector<Path> *paths)
{
    FILE *f = std::fopen(fileName, "r");
    if (!f)
        return false;
    char header[16] = "";
    bool ok = std::fscanf(f, "%15[^\n]\n", header) == 1 && std::strcmp(header, FORMAT_HEADER) == 0;
    Path p;
    int count = 0;
    while (ok && std::fscanf(f, " path %d %d", &p.closed, &count) == 2) {
        if (count < 1 || count > ZVI_MaxUnitPoints()) {
            ok = false;
            break;
        }
        p.codes.assign(count, 0);
        p.xy.assign(2 * count, 0.0);
        for (int i = 0; i < count && ok; ++i)
            ok = std::fscanf(f, "%d %lg %lg", &p.codes[i], &p.xy[2 * i], &p.xy[2 * i + 1]) == 3;
        paths->push_back(p);
    }
    std::fclose(f);
    return ok;
}

// One path as a Curve (open) or Surface (closed) object.
Unit *BuildPath(const Path &p)
{
    if (!ZVI_ObjectOpen(p.closed ? 13 : 12))
        return nullptr;
    bool ok = true;
    for (size_t i = 0; i < p.codes.size() && ok; ++i) {
        const double x = p.xy[2 * i], y = p.xy[2 * i + 1];
        if (p.codes[i] == ENUM_CODE_ARC_DATA)
            ok = ZVI_ObjectAddCurve(y, x) == 1; // stored as direction, then centre offset
        else
            ok = ZVI_ObjectAddPoint(p.codes[i], x, y) == 1;
    }
    Unit *stored = ok && ZVI_ObjectAddEnd() ? ZVI_ObjectInsert(0, nullptr) : nullptr;
    ZVI_ObjectClose();
    return stored;
}

int ZVI_CALL ImportFile(const char *fileName, int)
{
    std::vector<Path> paths;
    if (!ReadPaths(fileName, &paths))
        return 1; // not this format
    ZVI_CreationStart();
    ZVI_UndoInitProcess();
    std::vector<Unit *> built;
    for (const Path &p : paths)
        if (Unit *u = BuildPath(p))
            built.push_back(u);
    ZVI_UndoFinishProcess();
    ZVI_CreationEnd();
    // What the stream gives of the new objects is what the file held.
    s_Paths.clear();
    for (Unit *u : built)
        ZVI_EnumerateUnit(0, u, EXPORT_FLAGS, CollectPath);
    Check(built.size() == paths.size() && s_Paths == paths, "file imported back as the same paths");
    ZVI_DrawWindowAll();
    AppendReport(s_Failures ? "failed" : "imported");
    return 0;
}

ModuleCommand Command(uint32_t id, const char *name)
{
    ModuleCommand c{};
    c.idFlags = id;
    c.name = name;
    c.longName = name;
    c.iconChoice = MODULE_ICON_NONE;
    return c;
}

ModuleCommand s_Commands[5];

// One step that takes a coordinate (the cursor with grid and snap): the
// template that has the program ask the module's consent and follow the
// cursor.
void TakesOnePoint(ModuleCommand &command, const char *prompt)
{
    InputTemplate t{};
    t.mode = TEMPLATE_FIXED_STEPS;
    t.count = 1;
    t.kind[0] = 1;
    t.ref[0] = REFERENCE_NONE;
    t.prompt[0] = prompt;
    std::memcpy(command.inputTemplate, &t, sizeof t);
}

// The module's pictures, drawn black on white as a plug-in draws them: the
// first command's 40 x 40 cell at (0, 0), a ring with a cross, and the
// module menu's 24 x 24 cell at (40, 0), three bars.
HBITMAP OwnPictures()
{
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateCompatibleBitmap(screen, 64, 40);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, strip);
    PatBlt(dc, 0, 0, 64, 40, WHITENESS);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, 6, 6, 34, 34);
    Ellipse(dc, 7, 7, 33, 33);
    MoveToEx(dc, 20, 2, nullptr);
    LineTo(dc, 20, 38);
    MoveToEx(dc, 2, 20, nullptr);
    LineTo(dc, 38, 20);
    for (int y = 4; y < 24; y += 7)
        PatBlt(dc, 43, y, 18, 3, BLACKNESS);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SelectObject(dc, old);
    DeleteDC(dc);
    return strip;
}

} // namespace

extern "C" __declspec(dllexport) int ZVI_CALL ZviPluginLoad(int interfaceVersion)
{
    if (interfaceVersion != ZVI_INTERFACE_VERSION)
        return 0;
    s_Commands[0] = Command(1, "Zvi test first");
    s_Commands[1] = Command(2, "Zvi test second");
    s_Commands[2] = Command(3, "Zvi test third");
    s_Commands[3] = Command(COMMAND_SQUARE, "Zvi test square");
    TakesOnePoint(s_Commands[0], nullptr); // declines the input when asked: see CommandCallback
    TakesOnePoint(s_Commands[3], "Lower left corner of the square");
    s_Commands[4] = Command(MODULE_COMMAND_LAST, nullptr);
    static HBITMAP pictures = OwnPictures();
    s_Commands[0].bitmap = pictures;
    s_Commands[0].iconChoice = MODULE_ICON_OWN_CELL;
    ModuleData module{};
    module.defaultEntry = Command(ZVI_MENU_PLUGINS, "Zvi test module");
    module.defaultEntry.bitmap = pictures;
    module.defaultEntry.cellX = 40;
    module.defaultEntry.iconChoice = MODULE_ICON_OWN_CELL;
    module.list = s_Commands;
    module.active = 1;
    module.commandProc = CommandCallback;
    module.inputProcs[2] = reinterpret_cast<uintptr_t>(AcceptPoint); // the accept word
    module.objectProc = reinterpret_cast<void *>(ObjectCallback);
    ModuleData import{};
    import.defaultEntry = Command(ZVI_MENU_IMPORTS, "Zvi test import");
    import.fileType = "Zvi test files";
    import.filePattern = "*.zvt";
    import.fileExtension = "zvt";
    import.active = 1;
    import.importProc = reinterpret_cast<void *>(ImportFile);
    ModuleData exporter = import;
    exporter.defaultEntry = Command(ZVI_MENU_EXPORTS, "Zvi test export");
    exporter.importProc = nullptr;
    exporter.exportProc = reinterpret_cast<void *>(ExportFile);
    return ZVI_ModuleRegister(&module) && ZVI_ImportRegister(&import) && ZVI_ExportRegister(&exporter);
}

// Defaults of the drawing settings, the remembered working values ("Init"),
// the command defaults and the tablet record; the key table of the drawing
// settings as filed.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "app/system.h"
#include "language/language.h"

DrawingSettings g_DrawingSettings;
LocalData g_LocalData;
CommandDefaults g_CommandDefaults;
DigitizerData g_Digitizer;

const char *const LOCAL_DATA_STAMP = "4.70-1999-02-24 ZV LocalData";
static const char *const INIT_VALUE = "Init";
constexpr double QUARTER_PI = 0.78539816339744830962;

static void CopyText(char *out, size_t outSize, const char *text)
{
    snprintf(out, outSize, "%s", text ? text : "");
}

static void InitXProperty(XProperty *p)
{
    memset(p, 0, sizeof *p);
    p->width = 0.25;
    p->capJoin = 0x2200;
}

static void InitFontDef(FontDef *f)
{
    memset(f, 0, sizeof *f);
    f->kind = 1;
    f->weight = 400;
    CopyText(f->face, sizeof f->face, "Arial");
}

static void InitSelectionFilter(SelectionFilter *f)
{
    memset(f, 0, sizeof *f);
    f->classFlags = 0xFFFFFFFF;
    for (uint32_t &t : f->typeFlags)
        t = 1;
    f->values.color2 = 0xFFFFFF;
    f->values.width = 0.25;
    f->values.capJoin = 0x2200;
}

// ---------------------------------------------------------------------------
// Remembered working values
// ---------------------------------------------------------------------------

// Writes a text into the command-value region at an offset of the record.
static void PutLocalText(LocalData *d, size_t recordOffset, size_t capacity, const char *text)
{
    char *base = reinterpret_cast<char *>(d);
    CopyText(base + recordOffset, capacity, text);
}

void SystemInitLocalData(LocalData *d)
{
    memset(d, 0, sizeof *d);
    CopyText(d->autoNumber, sizeof d->autoNumber, "~#AutoPosNum~");
    PutLocalText(d, LOCAL_OFS_PATTERN1, LOCAL_OFS_PATTERN2 - LOCAL_OFS_PATTERN1, "*");
    PutLocalText(d, LOCAL_OFS_PATTERN2, LOCAL_OFS_PATTERN3 - LOCAL_OFS_PATTERN2, "*");
    PutLocalText(d, LOCAL_OFS_PATTERN3, LOCAL_OFS_TEXT_FILE - LOCAL_OFS_PATTERN3, "*");
    char textFile[SYSTEM_PATH_SIZE];
    snprintf(textFile, sizeof textFile, "%s%s%s", g_PathServer, eDefaultPaths[4], "txt");
    PutLocalText(d, LOCAL_OFS_TEXT_FILE, SYSTEM_PATH_SIZE, textFile);
    PutLocalText(d, LOCAL_OFS_ZERO_TEXT, 2, "0");
    PutLocalText(d, LOCAL_OFS_COMMENT_NAME, offsetof(LocalData, filters) - LOCAL_OFS_COMMENT_NAME,
                 eDefaultNames[7]);
    for (SelectionFilter &f : d->filters)
        InitSelectionFilter(&f);
    d->snap.snapModes = 120;
    d->snap.pickAperture = 10;
    d->snap.ambiguityAperture = 1;
    d->snap.flagDuration = 1000;
    d->further[1] = 1;
    d->further[2] = 1;
    d->further[3] = 50;
    d->sketchStep = 1.0;
    d->surfaceTolerance = 0.01;
}

int SystemReadLocalData(HKEY userKey, LocalData *data)
{
    auto buffer = std::make_unique<LocalData>();
    memset(buffer.get(), 0, sizeof *buffer);
    if (!SystemReadBinary(userKey, INIT_VALUE, buffer.get(), sizeof *buffer))
        return 0;
    buffer->stamp[LOCAL_STAMP_SIZE - 1] = 0;
    if (lstrcmpA(buffer->stamp, LOCAL_DATA_STAMP) != 0)
        return 0; // written by another version: its layout may differ
    memcpy(data, buffer.get(), sizeof *data);
    return 1;
}

void SystemWriteLocalData(HKEY userKey, LocalData *data)
{
    memset(data->stamp, 0, sizeof data->stamp);
    CopyText(data->stamp, sizeof data->stamp, LOCAL_DATA_STAMP);
    SystemWriteBinary(userKey, INIT_VALUE, data, sizeof *data);
}

// ---------------------------------------------------------------------------
// Command defaults and tablet
// ---------------------------------------------------------------------------

void SystemInitCommandDefaults(CommandDefaults *c)
{
    memset(c, 0, sizeof *c);
    c->lastCommands[0] = 501;
    for (int i = 1; i < LAST_COMMANDS; ++i)
        c->lastCommands[i] = -1;
    InitSelectionFilter(&c->filter);
    CopyInitConstructionSettings(&c->construction[0]);
    c->construction[1] = c->construction[0];
    c->transformMove[0] = c->transformMove[1] = 10.0;
    c->transformScale[0] = c->transformScale[1] = 1.0;
    c->transformAngle = 0.7853981633974483; // 45 degrees
    if (SystemLocaleInchSwitch()) {
        c->page.format = 34;
        c->page.width = 431.8;
        c->page.height = 279.4;
    } else {
        c->page.format = 2;
        c->page.width = 420.0;
        c->page.height = 297.0;
    }
    c->page.orientation = 2;
    c->page.anchor = 5;
    snprintf(c->fileName1, sizeof c->fileName1, "%s%s", g_PathServer, eDefaultPaths[1]);
    snprintf(c->fileName2, sizeof c->fileName2, "%s%s", g_PathServer, eDefaultPaths[1]);
    static const double distances[COMMAND_DISTANCES] = {10.0, 10.0, 5.0, 5.0, 25.0, 5.0, 2.0};
    memcpy(c->distances, distances, sizeof distances);
    c->angle = QUARTER_PI;
    c->counts[0] = 6;
    c->counts[1] = 4;
}

void SystemInitDigitizer(DigitizerData *d)
{
    memset(d, 0, sizeof *d);
    d->extent1 = SIZE{5000, 5000};
    d->extent2 = SIZE{3200, 2400};
    d->factor = 1.0;
    memset(d->map, 0xFF, sizeof d->map);
    d->control[0] = 0x10100;
    d->control[1] = 1;
    d->control[2] = 0x20400;
    d->control[3] = 0x20400;
    for (int32_t &b : d->buttons)
        b = 342;
}

// ---------------------------------------------------------------------------
// Drawing settings
// ---------------------------------------------------------------------------

static const COLORREF PROPERTY_COLORS[16] = {0x000000, 0x00FF00, 0x0000FF, 0xFF0000, 0x808080, 0xFFFF00,
                                             0xFF00FF, 0x00FFFF, 0xC0C0C0, 0x008000, 0x000080, 0x800000,
                                             0x808000, 0x800080, 0x008080, 0xFFFFFF};
static const double PROPERTY_WIDTHS[10] = {0.0, 0.13, 0.18, 0.25, 0.35, 0.5, 0.7, 1.0, 1.4, 2.0};
static const double MULTILINE_OFFSETS[MULTILINE_LINES] = {-15.0, -10.0, -5.0, 0.0, 5.0, 10.0, 15.0, 20.0};
constexpr double ORTHO_ANGLE = 0.5235987755982;
constexpr int COMMENT_SIZE_DIVISOR = 5;

static void InitMark(OutputMarkSetting *m, int32_t kind, double size)
{
    m->on = 0;
    m->kind = kind;
    m->size = size;
    InitXProperty(&m->property);
}

static void InitText(TextSettings *t, double spacing, int32_t mode)
{
    InitFontDef(&t->font);
    t->distance[0] = 0.0;
    t->distance[1] = 4.0;
    t->distance[2] = spacing;
    t->height = 5.0;
    t->geometry[0] = 1.0;
    t->mode = mode;
}

static void InitDimVariants(DrawingSettings *s)
{
    static const uint32_t numbers[4] = {1, 1, 1, 0}, numbers56[4] = {1, 0, 1, 0};
    static const int32_t arrows[4] = {1, 2, 1, 2}, arrows56[4] = {1, 0, 0, 0};
    static const DimLargeLines lines = {{1, 1, 1}, {0, 0, 2}, {10.0, 0.0}};
    static const DimLargeLines lines56 = {{0, 0, 1}, {1, 2, 2}, {10.0, 0.0}};
    static const DimLargeLines lines78 = {{1, 1, 1}, {1, 0, 2}, {10.0, 0.0}};
    for (int v = 0; v < DIM_VARIANTS; ++v) {
        const bool v56 = v == 5 || v == 6;
        const bool v78 = v == 7 || v == 8;
        memcpy(s->dimLargeNumbers[v], v56 ? numbers56 : numbers, sizeof numbers);
        memcpy(s->dimLargeArrows[v], v56 ? arrows56 : arrows, sizeof arrows);
        s->dimLargeLines[v] = v56 ? lines56 : v78 ? lines78 : lines;
        if (v56)
            CopyText(s->dimLargeTexts[v][0], SETTINGS_TEXT_SIZE, eDimensionText[0]);
        if (v78)
            CopyText(s->dimLargeTexts[v][0], SETTINGS_TEXT_SIZE, eDimensionText[1]);
        if (v >= 9 && v <= 11)
            CopyText(s->dimLargeTexts[v][2], SETTINGS_TEXT_SIZE, eDimensionText[2]);
    }
    for (int r = 0; r < DIM_SMALL_RECORDS; ++r) {
        s->dimSmallNumbers[r][0] = 1;
        s->dimSmallNumbers[r][1] = 0;
    }
    CopyText(s->dimSmallTexts[0][0], SETTINGS_TEXT_SIZE, eDimensionText[3]);
    CopyText(s->dimSmallTexts[0][2], SETTINGS_TEXT_SIZE, eDimensionText[4]);
    CopyText(s->dimSmallTexts[0][4], SETTINGS_TEXT_SIZE, eDimensionText[5]);
    // The first text of the second record (dimension text 6) is not in the
    // language module yet; it stays empty until it is.
}

void SystemInitDrawingSettings(DrawingSettings *s)
{
    memset(s, 0, sizeof *s);
    memcpy(s->propFillColor, PROPERTY_COLORS, sizeof PROPERTY_COLORS);
    memcpy(s->propLineWidth, PROPERTY_WIDTHS, sizeof PROPERTY_WIDTHS);
    memcpy(s->propLineColor, PROPERTY_COLORS, sizeof PROPERTY_COLORS);

    s->displaySelection[0] = 1;
    s->displayDrawing = s->displayObjects = 1;
    s->displayLines = 1;
    s->displayLinesMode = 2;
    s->displayFills = s->displayErasers = s->displayTexts = s->displayFrames = 1;
    s->displayVariables = s->displayBitmaps = s->displayBlocks = s->displayMarks = 1;
    s->displayGeometry[0] = 1;
    s->displayGeometry[2] = 1;
    s->displayArcs = 1;
    s->displayAreas = 1;
    s->displayDecimal = SystemLocaleDecimalSwitch() ? 1 : 0;
    s->displayThreshold = 5;
    s->displayQuality[0] = 2.0;
    s->displayQuality[1] = 1.0;
    s->displayQuality[2] = 2.0;

    s->colorLayers = 3;
    s->colorGeometry = 3;
    s->colorBlocks = 22;
    s->colorErasers = 14;
    s->colorPoints = 26;
    s->colorMarks = 10;
    s->colorInput = 8;
    static const int32_t flag[4] = {8, 24, 30, 24};
    memcpy(s->colorFlag, flag, sizeof flag);
    s->colorCross[0] = 24;
    s->colorCross[1] = 8;
    s->colorPageFrame = 28;
    s->colorDrawArea = 0;
    s->colorColorText = 10;
    s->colorPopup[0] = 26;
    s->colorPopup[1] = 10;

    PrintSettings &p = s->print;
    snprintf(p.fileName, sizeof p.fileName, "%s%s%s", g_PathServer, eDefaultPaths[4], "prt");
    p.pages[0] = 0;
    p.pages[1] = 1;
    p.pages[2] = 100;
    p.scale = 1.0;
    p.scaleWidths = 1;
    p.copies = 1;

    InitMark(&s->outputFrame, 1, 0.0);
    s->outputFrameDistance = 5.0;
    s->outputBitmap = 1;
    InitMark(&s->outputGrid, 1, 0.5);
    InitMark(&s->outputMark, 2, 1.0);

    BitmapExportSettings &b = s->bitmap;
    b.colorBits = 8;
    b.size[0] = b.size[1] = 1024;
    b.resolution[0] = b.resolution[1] = 11.811023622048;
    b.palette = 1;
    b.scale[0] = b.scale[1] = 1.0;

    for (int i = 0; i < MULTILINE_LINES; ++i) {
        MultiLineSetting &m = s->multiLine[i];
        m.on = i >= 2 && i <= 4;
        m.offset = MULTILINE_OFFSETS[i];
        InitXProperty(&m.property);
    }

    s->orthoModes[0] = 2;
    s->orthoModes[1] = 3;
    s->orthoAngles[0] = -ORTHO_ANGLE;
    s->orthoAngles[2] = ORTHO_ANGLE;

    InitFontDef(&s->dimFont);
    static const double dimValues[4] = {5.0, 3.5, 0.0, 4.0};
    static const int32_t dimInts[4] = {1, -1, 2, -1};
    memcpy(s->dimValues, dimValues, sizeof dimValues);
    memcpy(s->dimInts, dimInts, sizeof dimInts);
    for (auto &r : s->dimLineArrows) {
        r[0] = 1;
        r[1] = 2;
        r[2] = 1;
        r[3] = 2;
    }
    InitDimVariants(s);
    s->dimLayoutArrows[0] = 0.1;
    s->dimLayoutArrows[1] = 1.0;

    InitText(&s->textStd, 1.0, 0);
    InitText(&s->textFrame, 1.4, 0);
    InitText(&s->textRef, 1.0, 1);
    s->textRef.arrow[0] = s->textRef.arrow[1] = 1;
    s->textRef.frameKind = 0;
    s->textRef.frameSize = 1.0;
    InitText(&s->posNum, 1.0, 1);
    s->posNum.arrow[0] = 5;
    s->posNum.arrow[1] = 1;
    s->posNum.frameKind = 2;
    s->posNum.frameSize = 1.0;

    static const int32_t commentColor[4] = {10, 3, 7, 7};
    static const int32_t commentMore[6] = {3, 7, 4, 0, 10, 12};
    memcpy(s->commentColor, commentColor, sizeof commentColor);
    memcpy(s->commentColorMore, commentMore, sizeof commentMore);
    s->commentSize[0] = GetSystemMetrics(SM_CXSCREEN) / COMMENT_SIZE_DIVISOR;
    s->commentSize[1] = 5;
    s->commentSize[2] = 5;
    s->commentDisplay[0] = s->commentDisplay[1] = 1;
    s->zigZagIndent = 10.0;
}

// ---------------------------------------------------------------------------
// Key table
// ---------------------------------------------------------------------------

#define OF(member) (uint32_t) offsetof(DrawingSettings, member)

static constexpr SettingsValue V(SettingsValueType type, uint16_t count, uint32_t offset,
                                 SettingsAbsent absent = SA_REQUIRED, uint32_t minVersion = 0)
{
    return SettingsValue{type, absent, count, offset, 0, minVersion};
}

static constexpr SettingsValue S(uint16_t count, uint32_t offset, uint32_t capacity)
{
    return SettingsValue{SV_STRING, SA_REQUIRED, count, offset, capacity, 0};
}

// File version from which DimParam carries its second integer.
constexpr uint32_t DIM_PARAM_SECOND_INT_VERSION = 460;

#define ONE(name, type, count, member) static const SettingsValue k##name[] = {V(type, count, OF(member))};
ONE(PropFillColor, SV_COLOR, 16, propFillColor)
ONE(PropLineWidth, SV_DOUBLE, 10, propLineWidth)
ONE(PropLineColor, SV_COLOR, 16, propLineColor)
ONE(DisplaySelection, SV_BOOL, 2, displaySelection)
ONE(DisplayDrawing, SV_BOOL, 1, displayDrawing)
ONE(DisplayObjects, SV_BOOL, 1, displayObjects)
static const SettingsValue kDisplayLines[] = {V(SV_BOOL, 1, OF(displayLines)), V(SV_INT, 1, OF(displayLinesMode))};
ONE(DisplayFills, SV_BOOL, 1, displayFills)
ONE(DisplayErasers, SV_BOOL, 1, displayErasers)
ONE(DisplayTexts, SV_BOOL, 1, displayTexts)
ONE(DisplayFrames, SV_BOOL, 1, displayFrames)
ONE(DisplayVariables, SV_BOOL, 1, displayVariables)
ONE(DisplayBitmaps, SV_BOOL, 1, displayBitmaps)
ONE(DisplayBlocks, SV_BOOL, 1, displayBlocks)
ONE(DisplayMarks, SV_BOOL, 1, displayMarks)
ONE(DisplayGeometry, SV_BOOL, 3, displayGeometry)
ONE(DisplayPoints, SV_BOOL, 1, displayPoints)
ONE(DisplayArrows, SV_BOOL, 1, displayArrows)
ONE(DisplayNumbers, SV_BOOL, 1, displayNumbers)
ONE(DisplaySelOnly, SV_BOOL, 1, displaySelOnly)
ONE(DisplayPalette, SV_BOOL, 1, displayPalette)
ONE(DisplayTrueType, SV_BOOL, 1, displayTrueType)
ONE(DisplayExtern, SV_BOOL, 1, displayExtern)
static const SettingsValue kDisplayArcs[] = {V(SV_BOOL, 1, OF(displayArcs)), V(SV_INT, 1, OF(displayArcsMode))};
ONE(DisplayAreas, SV_BOOL, 1, displayAreas)
ONE(DisplayDuplicate, SV_BOOL, 1, displayDuplicate)
ONE(DisplayOrtho, SV_BOOL, 1, displayOrtho)
ONE(DisplayDecimal, SV_BOOL, 1, displayDecimal)
ONE(DisplayThreshold, SV_INT, 1, displayThreshold)
ONE(DisplayQuality, SV_DOUBLE, 3, displayQuality)
ONE(ColorLayers, SV_INT, 1, colorLayers)
ONE(ColorGeometry, SV_INT, 1, colorGeometry)
ONE(ColorBlocks, SV_INT, 1, colorBlocks)
ONE(ColorErasers, SV_INT, 1, colorErasers)
ONE(ColorPoints, SV_INT, 1, colorPoints)
ONE(ColorMarks, SV_INT, 1, colorMarks)
ONE(ColorInput, SV_INT, 1, colorInput)
ONE(ColorFlag, SV_INT, 4, colorFlag)
ONE(ColorCross, SV_INT, 2, colorCross)
ONE(ColorPageFrame, SV_INT, 1, colorPageFrame)
ONE(ColorDrawArea, SV_INT, 1, colorDrawArea)
ONE(ColorColorText, SV_INT, 1, colorColorText)
ONE(ColorPopup, SV_INT, 2, colorPopup)
static const SettingsValue kPrintHeader[] = {V(SV_BOOL, 1, OF(print.header.on)), V(SV_INT, 1, OF(print.header.alignment)),
                                             S(1, OF(print.header.text), SETTINGS_TEXT_SIZE)};
static const SettingsValue kPrintFooter[] = {V(SV_BOOL, 1, OF(print.footer.on)), V(SV_INT, 1, OF(print.footer.alignment)),
                                             S(1, OF(print.footer.text), SETTINGS_TEXT_SIZE)};
static const SettingsValue kPrintFile[] = {V(SV_BOOL, 1, OF(print.toFile)), S(1, OF(print.fileName), SYSTEM_PATH_SIZE)};
ONE(PrintDraft, SV_BOOL, 1, print.draft)
ONE(PrintSelOnly, SV_BOOL, 1, print.selOnly)
ONE(PrintCentered, SV_BOOL, 1, print.centered)
ONE(PrintEdges, SV_BOOL, 1, print.edges)
static const SettingsValue kPrintPages[] = {V(SV_INT, 3, OF(print.pages)), V(SV_BOOL, 1, OF(print.pagesSwitch))};
ONE(PrintOrient, SV_INT, 1, print.orient)
ONE(PrintMode, SV_INT, 1, print.mode)
static const SettingsValue kPrintScale[] = {V(SV_DOUBLE, 1, OF(print.scale)), V(SV_BOOL, 1, OF(print.scaleWidths), SA_KEEP)};
ONE(PrintBorder, SV_DOUBLE, 4, print.border)
static const SettingsValue kOutputFrame[] = {V(SV_BOOL, 1, OF(outputFrame.on)), V(SV_INT, 1, OF(outputFrame.kind)),
                                             V(SV_DOUBLE, 1, OF(outputFrame.size)), V(SV_DOUBLE, 1, OF(outputFrameDistance)),
                                             V(SV_XPROPERTY, 1, OF(outputFrame.property))};
ONE(OutputBitmap, SV_BOOL, 1, outputBitmap)
ONE(OutputGeometry, SV_BOOL, 1, outputGeometry)
static const SettingsValue kOutputGrid[] = {V(SV_BOOL, 1, OF(outputGrid.on)), V(SV_INT, 1, OF(outputGrid.kind)),
                                            V(SV_DOUBLE, 1, OF(outputGrid.size)), V(SV_XPROPERTY, 1, OF(outputGrid.property))};
static const SettingsValue kOutputMark[] = {V(SV_BOOL, 1, OF(outputMark.on)), V(SV_INT, 1, OF(outputMark.kind)),
                                            V(SV_DOUBLE, 1, OF(outputMark.size)), V(SV_XPROPERTY, 1, OF(outputMark.property))};
ONE(OutputTrueType, SV_BOOL, 1, outputTrueType)
ONE(OutputIntern, SV_BOOL, 1, outputIntern)
ONE(BitmapColorBits, SV_INT, 1, bitmap.colorBits)
ONE(BitmapUnit, SV_INT, 1, bitmap.unit)
ONE(BitmapMode, SV_INT, 1, bitmap.mode)
ONE(BitmapSize, SV_INT, 2, bitmap.size)
ONE(BitmapResolution, SV_DOUBLE, 2, bitmap.resolution)
ONE(BitmapPalette, SV_BOOL, 1, bitmap.palette)
// Offsets relative to the first line; the list repeats per line.
static const SettingsValue kMultiLine[] = {V(SV_BOOL, 1, OF(multiLine[0].on)), V(SV_DOUBLE, 1, OF(multiLine[0].offset)),
                                           V(SV_XPROPERTY, 1, OF(multiLine[0].property))};
static const SettingsValue kOrthoMode[] = {V(SV_INT, 2, OF(orthoModes)), V(SV_DOUBLE, 8, OF(orthoAngles)),
                                           V(SV_DOUBLE, 1, OF(orthoExtra), SA_KEEP)};
static const SettingsValue kDimParam[] = {V(SV_FONT, 1, OF(dimFont)), V(SV_DOUBLE, 4, OF(dimValues)),
                                          V(SV_INT, 1, OF(dimInts[0])),
                                          V(SV_INT, 1, OF(dimInts[1]), SA_REQUIRED, DIM_PARAM_SECOND_INT_VERSION),
                                          V(SV_INT, 2, OF(dimInts[2]))};
ONE(DimLineArrows, SV_INT, 8, dimLineArrows)
ONE(DimLargeNumbers, SV_BOOL, DIM_VARIANTS * 4, dimLargeNumbers)
ONE(DimLargeArrows, SV_INT, DIM_VARIANTS * 4, dimLargeArrows)
static const SettingsValue kDimLargeLines[] = {V(SV_BOOL, 3, OF(dimLargeLines[0].show)), V(SV_INT, 3, OF(dimLargeLines[0].modes)),
                                               V(SV_DOUBLE, 2, OF(dimLargeLines[0].distance))};
static const SettingsValue kDimLargeTexts[] = {S(DIM_VARIANTS * DIM_TEXTS, OF(dimLargeTexts), SETTINGS_TEXT_SIZE)};
ONE(DimSmallNumbers, SV_BOOL, DIM_SMALL_RECORDS * 2, dimSmallNumbers)
static const SettingsValue kDimSmallTexts[] = {S(DIM_SMALL_RECORDS * DIM_TEXTS, OF(dimSmallTexts), SETTINGS_TEXT_SIZE)};
ONE(DimLayoutArrows, SV_DOUBLE, 2, dimLayoutArrows)
ONE(DimLayoutDimMode, SV_INT, 1, dimLayoutDimMode)
ONE(DimLayoutLineMode, SV_INT, 1, dimLayoutLineMode)
ONE(DimLayoutEditText, SV_BOOL, 1, dimLayoutEditText)
#define TEXT_KEYS(Prefix, field)                        \
    ONE(Prefix##Font, SV_FONT, 1, field.font)           \
    ONE(Prefix##Distance, SV_DOUBLE, 3, field.distance) \
    ONE(Prefix##Height, SV_DOUBLE, 1, field.height)     \
    ONE(Prefix##Mode, SV_INT, 1, field.mode)
#define LEADER_KEYS(Prefix, field)                      \
    ONE(Prefix##Arrow, SV_INT, 2, field.arrow)          \
    static const SettingsValue k##Prefix##Frame[] = {V(SV_INT, 1, OF(field.frameKind)), V(SV_DOUBLE, 1, OF(field.frameSize))};
TEXT_KEYS(TextStd, textStd)
ONE(TextStdGeometry, SV_DOUBLE, 3, textStd.geometry)
TEXT_KEYS(TextFrame, textFrame)
TEXT_KEYS(TextRef, textRef)
ONE(TextRefGeometry, SV_DOUBLE, 3, textRef.geometry)
LEADER_KEYS(TextRef, textRef)
TEXT_KEYS(PosNum, posNum)
ONE(PosNumGeometry, SV_DOUBLE, 3, posNum.geometry)
LEADER_KEYS(PosNum, posNum)
// The record holds the first, third, second and fourth colour in this order.
static const SettingsValue kCommentColor[] = {V(SV_INT, 1, OF(commentColor[0])), V(SV_INT, 1, OF(commentColor[2])),
                                              V(SV_INT, 1, OF(commentColor[1])), V(SV_INT, 1, OF(commentColor[3])),
                                              V(SV_INT, 6, OF(commentColorMore), SA_DEFAULT)};
static const SettingsValue kCommentSize[] = {V(SV_INT, 2, OF(commentSize)), V(SV_INT, 1, OF(commentSize[2]), SA_DEFAULT)};
static const SettingsValue kCommentDisplay[] = {V(SV_BOOL, 1, OF(commentDisplay[0])), V(SV_BOOL, 1, OF(commentDisplay[1]), SA_ZERO)};
ONE(ZigZagIndent, SV_DOUBLE, 1, zigZagIndent)

#define KEY(name) {#name, k##name, (uint16_t)(sizeof k##name / sizeof k##name[0]), 1, 0}
#define KEY_REPEAT(name, n, stride) {#name, k##name, (uint16_t)(sizeof k##name / sizeof k##name[0]), n, stride}

const SettingsKey g_SettingsKeys[SETTINGS_KEYS] = {
    KEY(PropFillColor), KEY(PropLineWidth), KEY(PropLineColor), KEY(DisplaySelection), KEY(DisplayDrawing),
    KEY(DisplayObjects), KEY(DisplayLines), KEY(DisplayFills), KEY(DisplayErasers), KEY(DisplayTexts),
    KEY(DisplayFrames), KEY(DisplayVariables), KEY(DisplayBitmaps), KEY(DisplayBlocks), KEY(DisplayMarks),
    KEY(DisplayGeometry), KEY(DisplayPoints), KEY(DisplayArrows), KEY(DisplayNumbers), KEY(DisplaySelOnly),
    KEY(DisplayPalette), KEY(DisplayTrueType), KEY(DisplayExtern), KEY(DisplayArcs), KEY(DisplayAreas),
    KEY(DisplayDuplicate), KEY(DisplayOrtho), KEY(DisplayDecimal), KEY(DisplayThreshold), KEY(DisplayQuality),
    KEY(ColorLayers), KEY(ColorGeometry), KEY(ColorBlocks), KEY(ColorErasers), KEY(ColorPoints), KEY(ColorMarks),
    KEY(ColorInput), KEY(ColorFlag), KEY(ColorCross), KEY(ColorPageFrame), KEY(ColorDrawArea), KEY(ColorColorText),
    KEY(ColorPopup), KEY(PrintHeader), KEY(PrintFooter), KEY(PrintFile), KEY(PrintDraft), KEY(PrintSelOnly),
    KEY(PrintCentered), KEY(PrintEdges), KEY(PrintPages), KEY(PrintOrient), KEY(PrintMode), KEY(PrintScale),
    KEY(PrintBorder), KEY(OutputFrame), KEY(OutputBitmap), KEY(OutputGeometry), KEY(OutputGrid), KEY(OutputMark),
    KEY(OutputTrueType), KEY(OutputIntern), KEY(BitmapColorBits), KEY(BitmapUnit), KEY(BitmapMode), KEY(BitmapSize),
    KEY(BitmapResolution), KEY(BitmapPalette), KEY_REPEAT(MultiLine, MULTILINE_LINES, sizeof(MultiLineSetting)),
    KEY(OrthoMode), KEY(DimParam), KEY(DimLineArrows), KEY(DimLargeNumbers), KEY(DimLargeArrows),
    KEY_REPEAT(DimLargeLines, DIM_VARIANTS, sizeof(DimLargeLines)), KEY(DimLargeTexts), KEY(DimSmallNumbers),
    KEY(DimSmallTexts), KEY(DimLayoutArrows), KEY(DimLayoutDimMode), KEY(DimLayoutLineMode), KEY(DimLayoutEditText),
    KEY(TextStdFont), KEY(TextStdDistance), KEY(TextStdHeight), KEY(TextStdGeometry), KEY(TextStdMode),
    KEY(TextFrameFont), KEY(TextFrameDistance), KEY(TextFrameHeight), KEY(TextFrameMode), KEY(TextRefFont),
    KEY(TextRefDistance), KEY(TextRefHeight), KEY(TextRefGeometry), KEY(TextRefMode), KEY(TextRefArrow),
    KEY(TextRefFrame), KEY(PosNumFont), KEY(PosNumDistance), KEY(PosNumHeight), KEY(PosNumGeometry), KEY(PosNumMode),
    KEY(PosNumArrow), KEY(PosNumFrame), KEY(CommentColor), KEY(CommentSize), KEY(CommentDisplay), KEY(ZigZagIndent),
};

uint32_t SystemSettingsValueSize(const SettingsValue &value)
{
    switch (value.type) {
    case SV_DOUBLE:
        return sizeof(double);
    case SV_STRING:
        return value.capacity;
    case SV_FONT:
        return sizeof(FontDef);
    case SV_XPROPERTY:
        return sizeof(XProperty);
    default:
        return sizeof(uint32_t);
    }
}

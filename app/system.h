// Registry storage, machine settings, program options, drawing settings,
// remembered working values and command defaults.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "app/system_records.h"
#include "commands/copy_settings.h"
#include "database/storage.h"

// ---------------------------------------------------------------------------
// Registry storage
// ---------------------------------------------------------------------------

constexpr int SYSTEM_PATH_SIZE = 260;              // paths and folders
constexpr uint32_t SYSTEM_BINARY_PART_SIZE = 8192; // larger binary values go to part subkeys
constexpr uint32_t SYSTEM_STRING_MAX_BYTES = 516;  // longest REG_SZ read, terminator included
constexpr int SYSTEM_KEY_NAME_SIZE = 260;
constexpr int32_t SYSTEM_NOT_SET = (int32_t)0x80000001; // placement coordinate never saved

// "Software\Quirn++Valsev\" followed by the language module's profile title.
void SystemProgramKeyPath(char out[SYSTEM_KEY_NAME_SIZE]);

// Name of part k (from 1) of a split binary value: "<name> (Part <k>)".
void SystemBinaryPartName(char out[SYSTEM_KEY_NAME_SIZE], const char *name, int part);

// Typed values. Reads return 1 on success and leave the output unchanged
// otherwise; writes report nothing.
int SystemReadBinary(HKEY key, const char *name, void *buffer, uint32_t size);
void SystemWriteBinary(HKEY key, const char *name, const void *data, uint32_t size);
int SystemReadString(HKEY key, const char *name, char *out, uint32_t outSize);
void SystemWriteString(HKEY key, const char *name, const char *text);
int SystemReadInt(HKEY key, const char *name, int32_t *out);
void SystemWriteInt(HKEY key, const char *name, int32_t value);
int SystemReadBool(HKEY key, const char *name, uint32_t *out);
void SystemWriteBool(HKEY key, const char *name, uint32_t flag);
int SystemReadDouble(HKEY key, const char *name, double *out);
void SystemWriteDouble(HKEY key, const char *name, double value);
int SystemReadPoint(HKEY key, const char *name, POINT *point);
void SystemWritePoint(HKEY key, const char *name, const POINT *point);
int SystemReadRect(HKEY key, const char *name, POINT *position, SIZE *size);
void SystemWriteRect(HKEY key, const char *name, const POINT *position, const SIZE *size);

// Deletes a key with everything below it; 1 when it is gone afterwards.
int SystemDeleteKeyTree(HKEY parent, const char *subKey);

// ---------------------------------------------------------------------------
// Machine settings (HKEY_LOCAL_MACHINE)
// ---------------------------------------------------------------------------

constexpr int32_t MONITOR_SIZE_MIN = 100;    // millimetres
constexpr int32_t MONITOR_SIZE_MAX = 10000;
constexpr int32_t MONITOR_WIDTH_DEFAULT = 312;
constexpr int32_t MONITOR_HEIGHT_DEFAULT = 234;

extern uint32_t g_Client;
extern char g_PathServer[SYSTEM_PATH_SIZE]; // shared files; ends with a backslash
extern char g_PathLocal[SYSTEM_PATH_SIZE];  // the user's files; ends with a backslash
extern int32_t g_MonitorWidth;              // visible screen size in millimetres
extern int32_t g_MonitorHeight;

void SystemReadMachineSettings();
void SystemWriteMachineSettings();

constexpr int SYSTEM_BUILD_DATE_SIZE = 16;
// The program's build date as "1999-Jun-21".
void SystemGetBuildDate(char out[SYSTEM_BUILD_DATE_SIZE]);
// Turns a compiler date text "Jun 21 1999" into "1999-Jun-21"; 0 on a malformed text.
int SystemFormatBuildDate(const char *compilerDate, char out[SYSTEM_BUILD_DATE_SIZE]);

extern const char *const SYSTEM_DEFAULT_DRAWING; // "darad4.zvd"
void SystemDefaultDrawingPath(char out[SYSTEM_PATH_SIZE]);
void SystemDefaultDrawingLocal(char out[SYSTEM_PATH_SIZE]);

// The language module's exchange block, set by start-up once it exists. The
// settings defaults read its first two switches (decimal locale, inch units);
// without a block both are 0.
extern const void *g_SystemExchangeBlock;
uint32_t SystemLocaleDecimalSwitch();
uint32_t SystemLocaleInchSwitch();

// ---------------------------------------------------------------------------
// Program options (HKEY_CURRENT_USER)
// ---------------------------------------------------------------------------

constexpr int32_t UNDO_STEPS_MIN = 1;
constexpr int32_t UNDO_STEPS_MAX = 99;
constexpr int32_t COORD_RANGE_DEFAULT = 16777216;
constexpr int32_t COORD_RANGE_WIN9X = 30720;
constexpr int FILE_DIALOG_FOLDERS = 8;
constexpr int FILE_DIALOG_STATES = 8;
constexpr int KEYBOARD_KEYS = 76;
constexpr int TOOLBOX_BUTTONS = 100;
constexpr int INSERT_SLOTS = 100;
constexpr int RECENT_DRAWINGS = 20;
constexpr int SHORT_NAME_SIZE = 64;
constexpr int FONT_NAME_SIZE = 64;

// The purposes of the file chooser.
enum FileDialogPurpose { FD_INF, FD_ZVD, FD_ZVL, FD_EMF, FD_WMF, FD_BMP, FD_DIG, FD_FLT };

struct FileDialogState {
    char folders[FILE_DIALOG_FOLDERS][SYSTEM_PATH_SIZE]; // most recent first
    char current[SYSTEM_PATH_SIZE];
    uint32_t type;
    uint32_t option;
};

// A window's saved place: x, y, width, height in screen pixels and whether it
// is kept at exit. Position-only placements leave size unused.
struct WindowPlacement {
    POINT pos;
    SIZE size;
    uint32_t keep;
};

struct BlockInsertSlot {
    char nameLibrary[SHORT_NAME_SIZE];
    char nameBlock[SHORT_NAME_SIZE];
    double scale;
    double rotation;
    uint32_t display, attribCopy, attribEdit, transmitLayer, transmitPen, blockLayer, blockPen;
};

struct ProgramOptions {
    // memory and editing
    uint32_t objectSize; // bytes
    int32_t undoSteps;
    char authorName[SHORT_NAME_SIZE];
    int32_t coordRangeDRV, coordRangeEMF;
    // menus, views, display switches
    uint32_t menuVisible, menuLongNames, viewVisible, viewUpdate, viewSimple, startUpDisplay,
        tooltipVisible, snapFlagVisible, pageVisible, buttonVisible, originVisible, scrollVisible,
        rulerVisible;
    int32_t windowArrangement;
    // tool windows
    uint32_t panelVisible, panelMoveable;
    int32_t panelButton, panelFontSize;
    char panelFontName[FONT_NAME_SIZE];
    uint32_t propertyVisible, propertyMoveable;
    int32_t propertyButton;
    uint32_t penVisible, penDialogVisible, layerVisible, layerDialogVisible, statusVisible,
        statusMoveable;
    int32_t statusFontSize;
    char statusFontName[FONT_NAME_SIZE];
    uint32_t symbolVisible, toolboxVisible, toolboxMoveable, guideVisible;
    // placements
    WindowPlacement appPlacement, viewPlacement, panelPlacement, penPlacement, layerPlacement,
        statusPlacement, symbolPlacement, toolboxPlacement, guidePlacement, propertyPlacement,
        choicePlacement, penDialogPlacement, layerDialogPlacement;
    // output and bitmaps
    uint32_t outputRotatedBitmap, displayRotatedBitmap;
    int32_t bitmapCount;
    uint32_t usePolyDraw;
    // files
    uint32_t fileModeLoad, fileModeSave, fileModeNew, fileModeLoadTemplate, fileModeSaveTemplate;
    char filePassword[SHORT_NAME_SIZE];
    FileDialogState fileDialogs[FILE_DIALOG_STATES];
    // mouse, colours, dates
    int32_t mButtonCommand, mButtonMode, rButtonMode;
    uint32_t colorSortByName;
    int32_t colorDefinition, dateTimeFormat;
    // auto-save
    uint32_t autoSaveActive;
    int32_t autoSaveMode, autoSaveInterval;
    // keyboard and toolbox
    int32_t keyboard[KEYBOARD_KEYS];
    int32_t toolbox[TOOLBOX_BUTTONS];
    // symbol window
    uint32_t symbolIndex, symbolScale, symbolRotate, symbolLibrary, symbolBlock, symbolPreview;
    int32_t symbolSortMode;
    BlockInsertSlot insertSlots[INSERT_SLOTS];
    // run-time layout, never stored
    int32_t panelWidth, panelMinHeight, panelFixedHeight, panelRowHeight;
    SIZE propertySize;
    int32_t propertyPresets[3];
    int32_t statusHeight;
    int32_t toolboxRows, toolboxColumns;
};
extern ProgramOptions g_Options;

// The default text font and the text engine's fill mode, read and written with
// the options.
extern FontDef g_DefaultFont;
extern int32_t g_FontFillMode;

// The lists the profile keeps beside the options: recent drawings, open symbol
// libraries and character libraries, by file name. The file module takes them
// at start and hands them back before the profile is written.
struct ProfileLibrary {
    char fileName[SYSTEM_PATH_SIZE];
    uint32_t caching, load, save;
};
struct ProfileLists {
    int32_t recentCount;
    char recent[RECENT_DRAWINGS][SYSTEM_PATH_SIZE];
    int32_t libraryCount;
    ProfileLibrary libraries[SYMBOL_LIBRARY_SLOTS];
    int32_t fontCount;
    char fonts[CHAR_LIBRARY_SLOTS][SYSTEM_PATH_SIZE];
};
extern ProfileLists g_ProfileLists;


// Set when the settings were imported during this run: the profile is then
// not written at exit.
extern uint32_t g_SettingsImported;

void SystemInitProgramOptions(ProgramOptions *options);
// The default key table (command numbers, -1 none).
void SystemDefaultKeyboard(int32_t keys[KEYBOARD_KEYS]);
// 1 when a window at pos with size would show at least partly on the screens.
int SystemPlacementOnScreen(POINT pos, SIZE size);
// On Windows 95/98 both coordinate ranges become min(CoordRangeDRV, 30720).
void SystemApplyCoordRangeLimit(ProgramOptions *options, int isWin9x);
// Gives the options, remembered values and lists their defaults, then reads them.
void SystemReadProfile();
// Writes them back (nothing after a settings import).
void SystemWriteProfile();
// Reads or writes the profile below a given user key path (SystemReadProfile
// and SystemWriteProfile use the program key).
void SystemReadProfileFrom(const char *keyPath);
void SystemWriteProfileTo(const char *keyPath);

// ---------------------------------------------------------------------------
// Remembered working values (the registry value "Init")
// ---------------------------------------------------------------------------

constexpr int LOCAL_STAMP_SIZE = 32;
constexpr int LOCAL_TEXT_SIZE = 8192;
constexpr int LOCAL_TEXT_BUFFERS = 4;
constexpr int LOCAL_FILTERS = 8;
constexpr int LOCAL_COMMAND_VALUES_SIZE = 1536;
extern const char *const LOCAL_DATA_STAMP; // "4.70-1999-02-24 ZV LocalData"

// Offsets into LocalData's command-value region, from the record's start.
constexpr size_t LOCAL_OFS_PATTERN1 = 41004;
constexpr size_t LOCAL_OFS_PATTERN2 = 41152;
constexpr size_t LOCAL_OFS_PATTERN3 = 41328;
constexpr size_t LOCAL_OFS_TEXT_FILE = 41524;
constexpr size_t LOCAL_OFS_ZERO_TEXT = 41832;
constexpr size_t LOCAL_OFS_COMMENT_NAME = 42412;
// The eleven copy-properties words, then the transform commands' copy switch.
constexpr size_t LOCAL_OFS_COPY_PROPERTIES = 42256;
constexpr size_t LOCAL_OFS_TRANSFORM_COPY = 42300;
// The options of a new group (GroupInfo, three words).
constexpr size_t LOCAL_OFS_GROUP_INFO = 42304;
static_assert(LOCAL_OFS_GROUP_INFO + 12 <= LOCAL_OFS_COMMENT_NAME);

struct LocalSnap {
    uint32_t switches[4];
    int32_t snapModes;      // 120
    int32_t reserved1;      // 0
    int32_t pickAperture;   // pixels, 10
    int32_t ambiguityAperture; // pixels, 1
    int32_t flagDuration;   // milliseconds, 1000
};

struct LocalData {
    char stamp[LOCAL_STAMP_SIZE];
    char texts[LOCAL_TEXT_BUFFERS][LOCAL_TEXT_SIZE];
    char autoNumber[LOCAL_TEXT_SIZE];
    uint8_t commandValues[LOCAL_COMMAND_VALUES_SIZE];
    SelectionFilter filters[LOCAL_FILTERS];
    LocalSnap snap;
    int32_t further[4];     // 0, 1, 1, 50
    int32_t reserved2;
    double sketchStep;      // 1.0
    double surfaceTolerance; // 0.01
};
static_assert(sizeof(LocalData) == 44904);
static_assert(offsetof(LocalData, autoNumber) == 32800);
static_assert(offsetof(LocalData, commandValues) == 40992);
static_assert(offsetof(LocalData, filters) == 42528);
static_assert(offsetof(LocalData, snap) == 44832);
static_assert(offsetof(LocalData, snap.snapModes) == 44848);
static_assert(offsetof(LocalData, snap.pickAperture) == 44856);
static_assert(offsetof(LocalData, snap.flagDuration) == 44864);
static_assert(offsetof(LocalData, further) == 44868);
static_assert(offsetof(LocalData, sketchStep) == 44888);
static_assert(offsetof(LocalData, surfaceTolerance) == 44896);
extern LocalData g_LocalData;

// Remembered values that their users keep in LocalData's general areas.
constexpr int LOCAL_STD_TEXT = 0;      // texts[]: the remembered standard text
constexpr int LOCAL_FRAME_TEXT = 1;    // texts[]: the remembered framed text
constexpr int LOCAL_COMMENT_TEXT = 3;  // texts[]: the comment command's current text
constexpr int COMMENT_SETTINGS_SIZE = 72;
// commandValues[]: the payload of a new comment's settings element, at the end.
constexpr int LOCAL_COMMENT_SETTINGS = LOCAL_COMMAND_VALUES_SIZE - COMMENT_SETTINGS_SIZE;
constexpr int LOCAL_SKETCH_JITTER = 3; // further[]: sideways jitter of sketches, percent of the step
constexpr int LOCAL_SURFACE_CHECK = 1; // further[]: the check box asked with the surface tolerance (711, 751)

void SystemInitLocalData(LocalData *data);
// Reads "Init" from an open user key into data: 1 when a whole record with the
// right stamp was found; otherwise data is unchanged.
int SystemReadLocalData(HKEY userKey, LocalData *data);
// Stamps data and writes it whole as "Init".
void SystemWriteLocalData(HKEY userKey, LocalData *data);

// ---------------------------------------------------------------------------
// Command defaults and the tablet record (memory only)
// ---------------------------------------------------------------------------

constexpr int LAST_COMMANDS = 20;
constexpr int COMMAND_DISTANCES = 7;
struct CommandDefaults {
    int32_t lastCommands[LAST_COMMANDS];
    SelectionFilter filter;
    PageDef page;
    char fileName1[SYSTEM_PATH_SIZE];
    char fileName2[SYSTEM_PATH_SIZE];
    double distances[COMMAND_DISTANCES];
    double angle;
    int32_t counts[2];
    // The spacing rules: every division and placement, and the grids' second direction.
    ConstructionSettings construction[2];
    // The Object menu's transformation dialogs: displacement, scale factors, angle.
    double transformMove[2];
    double transformScale[2];
    double transformAngle;
    double commandAngle; // radians, asked by the commands that draw at an angle
    int32_t chosenPage;  // the page whose origin the next placement moves (303)
};
extern CommandDefaults g_CommandDefaults;
// What the remembered command values mean.
constexpr int COMMAND_DISTANCE_POLYGON_LENGTH = 0;
constexpr int COMMAND_DISTANCE_LENGTH = 2;
constexpr int COMMAND_DISTANCE_FIT_RADIUS = 4;
constexpr int COMMAND_DISTANCE_FILLET = 5;   // fillet and corner-arc radius
constexpr int COMMAND_DISTANCE_CHAMFER = 6;  // chamfer length (its angle is `angle`)
constexpr int COMMAND_COUNT_CORNERS = 0;
constexpr int32_t POLYGON_CORNERS_MIN = 3;
constexpr int32_t POLYGON_CORNERS_MAX = 99;
void SystemInitCommandDefaults(CommandDefaults *defaults);

constexpr int DIGITIZER_MAP_SIZE = 20000;
constexpr int DIGITIZER_BUTTONS = 32;
struct DigitizerData {
    SIZE extent1, extent2;
    double factor;
    uint8_t map[DIGITIZER_MAP_SIZE];
    uint32_t control[4];
    int32_t buttons[DIGITIZER_BUTTONS];
};
extern DigitizerData g_Digitizer;
void SystemInitDigitizer(DigitizerData *data);

// ---------------------------------------------------------------------------
// Drawing settings (the PROFILE section of a drawing)
// ---------------------------------------------------------------------------

constexpr int SETTINGS_TEXT_SIZE = 256;
constexpr int DIM_VARIANTS = 13;
constexpr int DIM_TEXTS = 7;
constexpr int DIM_SMALL_RECORDS = 3;
constexpr int SETTINGS_KEYS = 109;

struct PrintHeaderSetting {
    uint32_t on;
    int32_t alignment;
    char text[SETTINGS_TEXT_SIZE];
};

// The block the print dialog edits as a whole.
struct PrintSettings {
    PrintHeaderSetting header, footer;
    uint32_t toFile;
    char fileName[SYSTEM_PATH_SIZE];
    uint32_t draft, selOnly, centered, edges;
    int32_t pages[3];
    uint32_t pagesSwitch;
    int32_t orient, mode;
    double scale;
    uint32_t scaleWidths;
    double border[4];
    // not filed
    int32_t copies;
    int32_t userArea;
    double userRect[4]; // xmin, ymin, xmax, ymax
};

struct OutputMarkSetting {
    uint32_t on;
    int32_t kind;
    double size;
    XProperty property;
};

struct BitmapExportSettings {
    int32_t colorBits, unit, mode;
    int32_t size[2];
    double resolution[2];
    uint32_t palette;
    // not filed
    double scale[2];
};

struct MultiLineSetting {
    uint32_t on;
    double offset;
    XProperty property;
};

struct DimLargeLines {
    uint32_t show[3];
    int32_t modes[3];
    double distance[2];
};

struct TextSettings {
    FontDef font;
    double distance[3];
    double height;
    double geometry[3]; // unused by framed texts
    int32_t mode;
    int32_t arrow[2];   // reference texts and position numbers
    int32_t frameKind;
    double frameSize;
};

struct DrawingSettings {
    COLORREF propFillColor[16];
    double propLineWidth[10];
    COLORREF propLineColor[16];
    uint32_t displaySelection[2];
    uint32_t displayDrawing, displayObjects;
    uint32_t displayLines;
    int32_t displayLinesMode;
    uint32_t displayFills, displayErasers, displayTexts, displayFrames, displayVariables,
        displayBitmaps, displayBlocks, displayMarks;
    uint32_t displayGeometry[3];
    uint32_t displayPoints, displayArrows, displayNumbers, displaySelOnly, displayPalette,
        displayTrueType, displayExtern;
    uint32_t displayArcs;
    int32_t displayArcsMode;
    uint32_t displayAreas, displayDuplicate, displayOrtho, displayDecimal;
    int32_t displayThreshold;
    double displayQuality[3];
    int32_t colorLayers, colorGeometry, colorBlocks, colorErasers, colorPoints, colorMarks,
        colorInput;
    int32_t colorFlag[4];
    int32_t colorCross[2];
    int32_t colorPageFrame, colorDrawArea, colorColorText;
    int32_t colorPopup[2];
    PrintSettings print;
    OutputMarkSetting outputFrame; // size holds the first of its two doubles
    double outputFrameDistance;
    uint32_t outputBitmap, outputGeometry;
    OutputMarkSetting outputGrid, outputMark;
    uint32_t outputTrueType, outputIntern;
    BitmapExportSettings bitmap;
    MultiLineSetting multiLine[MULTILINE_LINES];
    int32_t orthoModes[2];
    double orthoAngles[8];
    double orthoExtra;
    FontDef dimFont;
    double dimValues[4];
    int32_t dimInts[4]; // the last is the coordinate system
    int32_t dimLineArrows[2][4];
    uint32_t dimLargeNumbers[DIM_VARIANTS][4];
    int32_t dimLargeArrows[DIM_VARIANTS][4];
    DimLargeLines dimLargeLines[DIM_VARIANTS];
    char dimLargeTexts[DIM_VARIANTS][DIM_TEXTS][SETTINGS_TEXT_SIZE];
    uint32_t dimSmallNumbers[DIM_SMALL_RECORDS][2];
    char dimSmallTexts[DIM_SMALL_RECORDS][DIM_TEXTS][SETTINGS_TEXT_SIZE];
    double dimLayoutArrows[2];
    int32_t dimLayoutDimMode, dimLayoutLineMode;
    uint32_t dimLayoutEditText;
    TextSettings textStd, textFrame, textRef, posNum;
    int32_t commentColor[4];
    int32_t commentColorMore[6];
    int32_t commentSize[3];
    uint32_t commentDisplay[2];
    double zigZagIndent;
};
extern DrawingSettings g_DrawingSettings;

void SystemInitDrawingSettings(DrawingSettings *settings);

// The key table of the PROFILE section: each key's values in filed order.
enum SettingsValueType : uint8_t { SV_BOOL, SV_INT, SV_DOUBLE, SV_COLOR, SV_STRING, SV_FONT, SV_XPROPERTY };
// What a reader does when a value is missing at the end of a record.
enum SettingsAbsent : uint8_t {
    SA_REQUIRED,     // the record is incomplete
    SA_KEEP,         // the current value stays
    SA_DEFAULT,      // the value takes its program default
    SA_ZERO,         // the value becomes 0
};
struct SettingsValue {
    SettingsValueType type;
    SettingsAbsent absent;
    uint16_t count;     // consecutive values of the type
    uint32_t offset;    // into DrawingSettings
    uint32_t capacity;  // strings: buffer size
    uint32_t minVersion; // read only from files of this version on (0 always); else -1
};
struct SettingsKey {
    const char *name;
    const SettingsValue *values;
    uint16_t valueCount;
    uint16_t repeat;  // the value list repeats this often...
    uint32_t stride;  // ...this many bytes further each time
};
extern const SettingsKey g_SettingsKeys[SETTINGS_KEYS];
// Size in bytes of one value of a type (strings: their capacity).
uint32_t SystemSettingsValueSize(const SettingsValue &value);

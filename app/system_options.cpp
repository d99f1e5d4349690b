// The program options, the remembered working values and the lists of recent
// files, read from the user's registry key at start and written at exit.
#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "app/system.h"
#include "app/system_objectsize.h"
#include "language/language.h"

ProgramOptions g_Options;
FontDef g_DefaultFont;
int32_t g_FontFillMode = 1;
ProfileLists g_ProfileLists;
uint32_t g_SettingsImported = 0;

static const char *const GENERAL_KEY = "General";
constexpr uint32_t FILE_MODE_ALL = 0x40FFFFFF;
constexpr uint32_t FILE_MODE_TEMPLATE = 0x40CFFFFF;
constexpr int32_t OBJECT_SIZE_DEFAULT_KB = 128;
constexpr int32_t UNDO_STEPS_DEFAULT = 3;
constexpr int32_t SCRATCH_BYTES_PER_POINT = 40;

static void CopyText(char *out, size_t outSize, const char *text)
{
    snprintf(out, outSize, "%s", text ? text : "");
}

// ---------------------------------------------------------------------------
// Defaults
// ---------------------------------------------------------------------------

struct FileDialogDefault {
    const char *valueFormat; // null: not stored
    int pathEntry;           // eDefaultPaths entry of the first folder
    uint32_t type;
    const char *extension;
};
static const FileDialogDefault FILE_DIALOG_DEFAULTS[FILE_DIALOG_STATES] = {
    {"PathINF %d", 0, 0x20, "inf"},  {"PathZVD %d", 1, 2, "zvd"},     {"PathZVL %d", 2, 0x10, "zvl"},
    {"PathEMF %d", 1, 0x200, "emf"}, {"PathWMF %d", 1, 0x400, "wmf"}, {"PathBMP %d", 1, 0x800, "bmp"},
    {nullptr, 0, 0x2000, "dig"},     {"PathFLT %d", 1, 1, "dxf"},
};

// Keyboard assignment without Shift (0-9, A-Z, Backspace, Enter), then with Shift.
static const int32_t KEYBOARD_DEFAULT[KEYBOARD_KEYS] = {
    1042, 1016, 1017, 1018, 1019, 1020, 1021, 1022, 1023, 1024,                   // 0-9
    342, 343, 104, 414, 401, 713, 515, 210, -1, 400, 535, 500, 808,               // A-M
    1010, 547, 522, 1001, 576, 344, 700, 438, -1, 404, 800, 900, 341,             // N-Z
    200, 1008,                                                                    // Backspace, Enter
    1043, -1, 364, 365, 366, -1, -1, -1, -1, -1,                                  // Shift 0-9
    354, 353, 452, -1, 370, 377, 355, -1, 369, 373, -1, 368, 385,                 // Shift A-M
    -1, 566, -1, 1000, 375, 371, 383, 331, 367, 372, 356, 374, -1,                // Shift N-Z
    -1, -1,                                                                       // Shift Backspace, Enter
};

static const int32_t TOOLBOX_DEFAULT[] = {501, 526, 536, 548, 801, 342, 344, 400, 401,
                                          402, 405, 410, 701, 809, 814, 818, 578, 901};

static void InitPlacement(WindowPlacement *p, uint32_t keep)
{
    p->pos = POINT{SYSTEM_NOT_SET, SYSTEM_NOT_SET};
    p->size = SIZE{SYSTEM_NOT_SET, SYSTEM_NOT_SET};
    p->keep = keep;
}

static void InitInsertSlot(BlockInsertSlot *slot)
{
    memset(slot, 0, sizeof *slot);
    slot->scale = 1.0;
    slot->rotation = 0.0;
    slot->display = 1;
    slot->attribCopy = 1;
}

static void BuildFileDialogNames(ProgramOptions *o);

static void InitFileDialogs(ProgramOptions *o)
{
    for (int i = 0; i < FILE_DIALOG_STATES; ++i) {
        FileDialogState &s = o->fileDialogs[i];
        memset(&s, 0, sizeof s);
        snprintf(s.folders[0], SYSTEM_PATH_SIZE, "%s%s", g_PathServer,
                 eDefaultPaths[FILE_DIALOG_DEFAULTS[i].pathEntry]);
        s.type = FILE_DIALOG_DEFAULTS[i].type;
    }
    // Built here as well, so that a profile without options still offers names.
    BuildFileDialogNames(o);
}

// The current name of each chooser: its first folder, the default base name
// and the purpose's extension.
static void BuildFileDialogNames(ProgramOptions *o)
{
    for (int i = 0; i < FILE_DIALOG_STATES; ++i) {
        FileDialogState &s = o->fileDialogs[i];
        snprintf(s.current, SYSTEM_PATH_SIZE, "%s%s%s", s.folders[0], eDefaultPaths[4],
                 FILE_DIALOG_DEFAULTS[i].extension);
    }
}

void SystemInitProgramOptions(ProgramOptions *o)
{
    memset(o, 0, sizeof *o);
    o->objectSize = OBJECT_SIZE_DEFAULT_KB * 1024;
    o->undoSteps = UNDO_STEPS_DEFAULT;
    o->coordRangeDRV = COORD_RANGE_DEFAULT;
    o->coordRangeEMF = COORD_RANGE_DEFAULT;

    o->menuVisible = 1;
    o->menuLongNames = 1;
    o->viewVisible = 0;
    o->viewUpdate = 1;
    o->viewSimple = 1;
    o->startUpDisplay = 1;
    o->tooltipVisible = 1;
    o->snapFlagVisible = 1;
    o->pageVisible = 1;
    o->buttonVisible = 0;
    o->originVisible = 1;
    o->scrollVisible = 1;
    o->rulerVisible = 1;
    o->windowArrangement = 0;

    o->panelVisible = 1;
    o->panelMoveable = 1;
    o->panelButton = 0;
    o->panelFontSize = 11;
    CopyText(o->panelFontName, sizeof o->panelFontName, "MS Sans Serif");
    o->propertyVisible = 1;
    o->propertyMoveable = 0;
    o->propertyButton = 1;
    o->statusVisible = 1;
    o->statusFontSize = 11;
    CopyText(o->statusFontName, sizeof o->statusFontName, "MS Sans Serif");
    o->toolboxVisible = 1;
    o->guideVisible = 1;

    InitPlacement(&o->appPlacement, 0);
    for (WindowPlacement *p : {&o->viewPlacement, &o->panelPlacement, &o->penPlacement, &o->layerPlacement,
                               &o->statusPlacement, &o->symbolPlacement, &o->toolboxPlacement,
                               &o->guidePlacement, &o->propertyPlacement, &o->choicePlacement,
                               &o->penDialogPlacement, &o->layerDialogPlacement})
        InitPlacement(p, 1);

    o->outputRotatedBitmap = 1;
    o->displayRotatedBitmap = 0;
    o->bitmapCount = 50;
    o->usePolyDraw = 0;

    o->fileModeLoad = FILE_MODE_ALL;
    o->fileModeSave = FILE_MODE_ALL;
    o->fileModeNew = FILE_MODE_ALL;
    o->fileModeLoadTemplate = FILE_MODE_TEMPLATE;
    o->fileModeSaveTemplate = FILE_MODE_TEMPLATE;
    InitFileDialogs(o);

    o->mButtonCommand = 342;
    o->mButtonMode = 2;
    o->rButtonMode = 0;
    o->autoSaveInterval = 3;

    memcpy(o->keyboard, KEYBOARD_DEFAULT, sizeof o->keyboard);
    memcpy(o->toolbox, TOOLBOX_DEFAULT, sizeof TOOLBOX_DEFAULT);

    o->symbolBlock = 1;
    o->symbolPreview = 1;
    o->symbolSortMode = 3;
    InitInsertSlot(&o->insertSlots[0]);
    for (int i = 1; i < INSERT_SLOTS; ++i)
        o->insertSlots[i] = o->insertSlots[0];

    o->propertyPresets[0] = 6;
    o->propertyPresets[1] = 8;
    o->propertyPresets[2] = 8;
    o->toolboxRows = 7;
    o->toolboxColumns = 1;
}

static void InitDefaultFont()
{
    memset(&g_DefaultFont, 0, sizeof g_DefaultFont);
    g_DefaultFont.kind = 1;
    g_DefaultFont.weight = 400;
    CopyText(g_DefaultFont.face, sizeof g_DefaultFont.face, "Arial");
    g_FontFillMode = 1;
}

void SystemApplyCoordRangeLimit(ProgramOptions *o, int isWin9x)
{
    if (!isWin9x)
        return;
    const int32_t range = o->coordRangeDRV < COORD_RANGE_WIN9X ? o->coordRangeDRV : COORD_RANGE_WIN9X;
    o->coordRangeDRV = range;
    o->coordRangeEMF = range;
}

static int IsWin9x()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

static void ReadFileDialogFolders(HKEY general, ProgramOptions *o)
{
    for (int i = 0; i < FILE_DIALOG_STATES; ++i) {
        const char *format = FILE_DIALOG_DEFAULTS[i].valueFormat;
        if (!format)
            continue;
        for (int k = 0; k < FILE_DIALOG_FOLDERS; ++k) {
            char name[32];
            snprintf(name, sizeof name, format, k + 1);
            SystemReadString(general, name, o->fileDialogs[i].folders[k], SYSTEM_PATH_SIZE);
        }
    }
    // DIG files share the folders of the first purpose.
    memcpy(o->fileDialogs[FD_DIG].folders, o->fileDialogs[FD_INF].folders, sizeof o->fileDialogs[FD_DIG].folders);
}

// Nominal size of a window known by its position only, for the screen test.
constexpr LONG POSITION_ONLY_EXTENT = 32;

int SystemPlacementOnScreen(POINT pos, SIZE size)
{
    const LONG left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const LONG top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const LONG right = left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const LONG bottom = top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (size.cx <= 0 || size.cy <= 0)
        return 0;
    // 64-bit sums: stored values may be anything.
    const int64_t x2 = (int64_t)pos.x + size.cx;
    const int64_t y2 = (int64_t)pos.y + size.cy;
    return pos.x < right && x2 > left && pos.y < bottom && y2 > top;
}

// A placement that would put the window wholly off every screen (a minimised
// window's, or one from another monitor set-up) counts as not saved.
static void ReadPlacement(HKEY key, const char *name, WindowPlacement *p)
{
    POINT pos{};
    SIZE size{};
    p->keep = SystemReadRect(key, name, &pos, &size) && SystemPlacementOnScreen(pos, size);
    if (p->keep) {
        p->pos = pos;
        p->size = size;
    }
}

static void ReadPosition(HKEY key, const char *name, WindowPlacement *p)
{
    POINT pos{};
    p->keep = SystemReadPoint(key, name, &pos) &&
              SystemPlacementOnScreen(pos, SIZE{POSITION_ONLY_EXTENT, POSITION_ONLY_EXTENT});
    if (p->keep)
        p->pos = pos;
}

static void ReadDialogPlacement(HKEY key, const char *name, WindowPlacement *p)
{
    POINT pos{};
    SIZE size{};
    if (SystemReadRect(key, name, &pos, &size) && SystemPlacementOnScreen(pos, size)) {
        p->pos = pos;
        p->size = size;
    }
}

static void ReadInt(HKEY key, const char *name, int32_t *out)
{
    SystemReadInt(key, name, out);
}

// The plain values of "General": switches, numbers and texts, read and
// written alike. Numbers that choose a mode or index a table have a range
// (min < max) and are clamped to it when read, so no later use can run past
// its table; the others keep what was stored.
enum OptionKind { OPTION_BOOL, OPTION_INT, OPTION_TEXT, OPTION_DOUBLE };
struct OptionValue {
    const char *name;
    OptionKind kind;
    size_t offset, size; // of the field in its record
    int32_t min, max;
};
#define OPTION_FIELD(field) offsetof(ProgramOptions, field), sizeof(ProgramOptions::field)
#define SWITCH_OPTION(name, field) {name, OPTION_BOOL, OPTION_FIELD(field), 0, 0}
#define NUMBER_OPTION(name, field) {name, OPTION_INT, OPTION_FIELD(field), 0, 0}
#define RANGED_OPTION(name, field, min, max) {name, OPTION_INT, OPTION_FIELD(field), min, max}
#define TEXT_OPTION(name, field) {name, OPTION_TEXT, OPTION_FIELD(field), 0, 0}
constexpr OptionValue OPTION_VALUES[] = {
    TEXT_OPTION("AuthorName", authorName),
    RANGED_OPTION("CoordRangeDRV", coordRangeDRV, 1, 16777216),
    RANGED_OPTION("CoordRangeEMF", coordRangeEMF, 1, 16777216),
    SWITCH_OPTION("MenuVisible", menuVisible),
    SWITCH_OPTION("MenuLongNames", menuLongNames),
    SWITCH_OPTION("ViewVisible", viewVisible),
    SWITCH_OPTION("ViewUpdate", viewUpdate),
    SWITCH_OPTION("ViewSimple", viewSimple),
    SWITCH_OPTION("StartUpDisplay", startUpDisplay),
    SWITCH_OPTION("TooltipVisible", tooltipVisible),
    SWITCH_OPTION("SnapFlagVisible", snapFlagVisible),
    SWITCH_OPTION("PageVisible", pageVisible),
    SWITCH_OPTION("ButtonVisible", buttonVisible),
    SWITCH_OPTION("OriginVisible", originVisible),
    SWITCH_OPTION("ScrollVisible", scrollVisible),
    SWITCH_OPTION("RulerVisible", rulerVisible),
    RANGED_OPTION("WindowArrangement", windowArrangement, 0, 7),
    SWITCH_OPTION("PanelVisible", panelVisible),
    SWITCH_OPTION("PanelMoveable", panelMoveable),
    RANGED_OPTION("PanelButton", panelButton, 0, 1),
    RANGED_OPTION("PanelFontSize", panelFontSize, 4, 144),
    TEXT_OPTION("PanelFontName", panelFontName),
    SWITCH_OPTION("PropertyVisible", propertyVisible),
    SWITCH_OPTION("PropertyMoveable", propertyMoveable),
    NUMBER_OPTION("PropertyButton", propertyButton),
    SWITCH_OPTION("PenVisible", penVisible),
    SWITCH_OPTION("PenDialogVisible", penDialogVisible),
    SWITCH_OPTION("LayerVisible", layerVisible),
    SWITCH_OPTION("LayerDialogVisible", layerDialogVisible),
    SWITCH_OPTION("StatusVisible", statusVisible),
    SWITCH_OPTION("StatusMoveable", statusMoveable),
    RANGED_OPTION("StatusFontSize", statusFontSize, 4, 144),
    TEXT_OPTION("StatusFontName", statusFontName),
    SWITCH_OPTION("SymbolVisible", symbolVisible),
    SWITCH_OPTION("ToolboxVisible", toolboxVisible),
    SWITCH_OPTION("ToolboxMoveable", toolboxMoveable),
    SWITCH_OPTION("GuideVisible", guideVisible),
    SWITCH_OPTION("OutputRotatedBitmap", outputRotatedBitmap),
    SWITCH_OPTION("DisplayRotatedBitmap", displayRotatedBitmap),
    RANGED_OPTION("BitmapCount", bitmapCount, 1, 10000),
    SWITCH_OPTION("UsePolyDraw", usePolyDraw),
    NUMBER_OPTION("FileModeLoad", fileModeLoad),
    NUMBER_OPTION("FileModeSave", fileModeSave),
    NUMBER_OPTION("FileModeNew", fileModeNew),
    NUMBER_OPTION("FileModeLoadTemplate", fileModeLoadTemplate),
    NUMBER_OPTION("FileModeSaveTemplate", fileModeSaveTemplate),
    TEXT_OPTION("FilePassword", filePassword),
    NUMBER_OPTION("MButtonCommand", mButtonCommand),
    RANGED_OPTION("MButtonMode", mButtonMode, 0, 4),
    RANGED_OPTION("RButtonMode", rButtonMode, 0, 1),
    SWITCH_OPTION("ColorSortByName", colorSortByName),
    NUMBER_OPTION("ColorDefinition", colorDefinition),
    RANGED_OPTION("DateTimeFormat", dateTimeFormat, 0, 4),
    SWITCH_OPTION("AutoSaveActive", autoSaveActive),
    NUMBER_OPTION("AutoSaveMode", autoSaveMode),
    NUMBER_OPTION("AutoSaveInterval", autoSaveInterval),
    SWITCH_OPTION("SymbolIndex", symbolIndex),
    SWITCH_OPTION("SymbolScale", symbolScale),
    SWITCH_OPTION("SymbolRotate", symbolRotate),
    SWITCH_OPTION("SymbolLibrary", symbolLibrary),
    SWITCH_OPTION("SymbolBlock", symbolBlock),
    SWITCH_OPTION("SymbolPreview", symbolPreview),
    NUMBER_OPTION("SymbolSortMode", symbolSortMode),
};
#undef SWITCH_OPTION
#undef NUMBER_OPTION
#undef RANGED_OPTION
#undef TEXT_OPTION
#undef OPTION_FIELD

// The values of a table, read into the record at base and written from it.
template <size_t N>
static void ReadValues(HKEY key, const OptionValue (&table)[N], void *record)
{
    char *base = static_cast<char *>(record);
    for (const OptionValue &v : table) {
        void *field = base + v.offset;
        switch (v.kind) {
        case OPTION_BOOL:
            SystemReadBool(key, v.name, static_cast<uint32_t *>(field));
            break;
        case OPTION_TEXT:
            SystemReadString(key, v.name, static_cast<char *>(field), uint32_t(v.size));
            break;
        case OPTION_DOUBLE:
            SystemReadDouble(key, v.name, static_cast<double *>(field));
            break;
        case OPTION_INT: {
            int32_t value = 0;
            if (!SystemReadInt(key, v.name, &value))
                break;
            if (v.min < v.max)
                value = value < v.min ? v.min : value > v.max ? v.max : value;
            std::memcpy(field, &value, sizeof value);
            break;
        }
        }
    }
}

template <size_t N>
static void WriteValues(HKEY key, const OptionValue (&table)[N], const void *record)
{
    const char *base = static_cast<const char *>(record);
    for (const OptionValue &v : table) {
        const void *field = base + v.offset;
        switch (v.kind) {
        case OPTION_BOOL:
            SystemWriteBool(key, v.name, *static_cast<const uint32_t *>(field));
            break;
        case OPTION_TEXT:
            SystemWriteString(key, v.name, static_cast<const char *>(field));
            break;
        case OPTION_DOUBLE:
            SystemWriteDouble(key, v.name, *static_cast<const double *>(field));
            break;
        case OPTION_INT: {
            int32_t value = 0;
            std::memcpy(&value, field, sizeof value);
            SystemWriteInt(key, v.name, value);
            break;
        }
        }
    }
}

// The window placements of "General", read and written alike. A window
// placement is four values, a position two; a dialog's placement is stored
// whatever its window keeps. A placement of a window that cannot be moved
// (its Moveable switch off) is not stored.
enum PlacementKind { PLACEMENT_WINDOW, PLACEMENT_POSITION, PLACEMENT_DIALOG };
struct PlacementValue {
    const char *name;
    PlacementKind kind;
    WindowPlacement ProgramOptions::*field;
    uint32_t ProgramOptions::*moveable; // null: always moveable
};
static const PlacementValue PLACEMENT_VALUES[] = {
    {"AppPlacement", PLACEMENT_WINDOW, &ProgramOptions::appPlacement, nullptr},
    {"ViewPlacement", PLACEMENT_WINDOW, &ProgramOptions::viewPlacement, nullptr},
    {"PanelPlacement", PLACEMENT_WINDOW, &ProgramOptions::panelPlacement, &ProgramOptions::panelMoveable},
    {"PenPlacement", PLACEMENT_WINDOW, &ProgramOptions::penPlacement, nullptr},
    {"LayerPlacement", PLACEMENT_WINDOW, &ProgramOptions::layerPlacement, nullptr},
    {"StatusPlacement", PLACEMENT_WINDOW, &ProgramOptions::statusPlacement, &ProgramOptions::statusMoveable},
    {"SymbolPlacement", PLACEMENT_WINDOW, &ProgramOptions::symbolPlacement, nullptr},
    {"ToolboxPlacement", PLACEMENT_WINDOW, &ProgramOptions::toolboxPlacement, &ProgramOptions::toolboxMoveable},
    {"GuidePlacement", PLACEMENT_WINDOW, &ProgramOptions::guidePlacement, nullptr},
    {"PropertyPlacement", PLACEMENT_POSITION, &ProgramOptions::propertyPlacement, &ProgramOptions::propertyMoveable},
    {"ChoicePlacement", PLACEMENT_POSITION, &ProgramOptions::choicePlacement, nullptr},
    {"PenDialogPlacement", PLACEMENT_DIALOG, &ProgramOptions::penDialogPlacement, nullptr},
    {"LayerDialogPlacement", PLACEMENT_DIALOG, &ProgramOptions::layerDialogPlacement, nullptr},
};

static void ReadPlacements(HKEY g, ProgramOptions *o)
{
    for (const PlacementValue &v : PLACEMENT_VALUES) {
        WindowPlacement *p = &(o->*v.field);
        switch (v.kind) {
        case PLACEMENT_WINDOW: ReadPlacement(g, v.name, p); break;
        case PLACEMENT_POSITION: ReadPosition(g, v.name, p); break;
        case PLACEMENT_DIALOG: ReadDialogPlacement(g, v.name, p); break;
        }
    }
}

// One block insert slot, read and written alike.
#define SLOT_FIELD(field) offsetof(BlockInsertSlot, field), sizeof(BlockInsertSlot::field)
static const OptionValue INSERT_SLOT_VALUES[] = {
    {"NameLibrary", OPTION_TEXT, SLOT_FIELD(nameLibrary), 0, 0},
    {"NameBlock", OPTION_TEXT, SLOT_FIELD(nameBlock), 0, 0},
    {"Scale", OPTION_DOUBLE, SLOT_FIELD(scale), 0, 0},
    {"Rotation", OPTION_DOUBLE, SLOT_FIELD(rotation), 0, 0},
    {"Display", OPTION_BOOL, SLOT_FIELD(display), 0, 0},
    {"AttribCopy", OPTION_BOOL, SLOT_FIELD(attribCopy), 0, 0},
    {"AttribEdit", OPTION_BOOL, SLOT_FIELD(attribEdit), 0, 0},
    {"TransmitLayer", OPTION_BOOL, SLOT_FIELD(transmitLayer), 0, 0},
    {"TransmitPen", OPTION_BOOL, SLOT_FIELD(transmitPen), 0, 0},
    {"BlockLayer", OPTION_BOOL, SLOT_FIELD(blockLayer), 0, 0},
    {"BlockPen", OPTION_BOOL, SLOT_FIELD(blockPen), 0, 0},
};
#undef SLOT_FIELD

static void ReadGeneral(HKEY g, ProgramOptions *o)
{
    ReadFileDialogFolders(g, o);
    BuildFileDialogNames(o);

    int32_t value = 0;
    if (SystemReadInt(g, "ObjectSize", &value)) {
        // Stored in KB; kept in bytes. A negative value clamps to the least.
        const uint32_t kilobytes = value < 0 ? 0 : (uint32_t)value;
        o->objectSize = SystemObjectSizeFromKilobytes(&kilobytes);
    }
    if (SystemReadInt(g, "UndoSteps", &value) && value >= UNDO_STEPS_MIN && value <= UNDO_STEPS_MAX)
        o->undoSteps = value;
    ReadValues(g, OPTION_VALUES, o);
    ReadPlacements(g, o);

    ReadInt(g, "FontDefaultType", reinterpret_cast<int32_t *>(&g_DefaultFont.kind));
    ReadInt(g, "FontDefaultStyle", reinterpret_cast<int32_t *>(&g_DefaultFont.style));
    ReadInt(g, "FontDefaultWeight", reinterpret_cast<int32_t *>(&g_DefaultFont.weight));
    SystemReadString(g, "FontDefaultName", g_DefaultFont.face, sizeof g_DefaultFont.face);
    ReadInt(g, "FontFillMode", &g_FontFillMode);

    SystemReadBinary(g, "Keyboard", o->keyboard, sizeof o->keyboard);
    SystemReadBinary(g, "Toolbox", o->toolbox, sizeof o->toolbox);
}

// Opens "<format k>" below the user key for reading; 0 when it is missing.
static HKEY OpenNumbered(HKEY user, const char *format, int k)
{
    char name[32];
    snprintf(name, sizeof name, format, k);
    HKEY key = nullptr;
    if (RegOpenKeyExA(user, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

static int HoldsName(const char (*names)[SYSTEM_PATH_SIZE], size_t stride, int count, const char *name)
{
    const char *p = reinterpret_cast<const char *>(names);
    for (int i = 0; i < count; ++i, p += stride)
        if (lstrcmpiA(p, name) == 0)
            return 1;
    return 0;
}

static void ReadLists(HKEY user)
{
    ProfileLists &l = g_ProfileLists;
    for (int k = 1; k <= RECENT_DRAWINGS; ++k) {
        HKEY key = OpenNumbered(user, "Drawing %d", k);
        if (!key)
            continue;
        char name[SYSTEM_PATH_SIZE] = "";
        if (SystemReadString(key, "FileName", name, sizeof name) && name[0] &&
            !HoldsName(l.recent, SYSTEM_PATH_SIZE, l.recentCount, name))
            CopyText(l.recent[l.recentCount++], SYSTEM_PATH_SIZE, name);
        RegCloseKey(key);
    }
    for (int k = 1; k <= SYMBOL_LIBRARY_SLOTS; ++k) {
        HKEY key = OpenNumbered(user, "Library %d", k);
        if (!key)
            continue;
        ProfileLibrary lib{};
        if (SystemReadString(key, "FileName", lib.fileName, sizeof lib.fileName) && lib.fileName[0] &&
            !HoldsName(&l.libraries[0].fileName, sizeof(ProfileLibrary), l.libraryCount, lib.fileName)) {
            SystemReadBool(key, "Caching", &lib.caching);
            SystemReadBool(key, "Load", &lib.load);
            SystemReadBool(key, "Save", &lib.save);
            l.libraries[l.libraryCount++] = lib;
        }
        RegCloseKey(key);
    }
    for (int k = 1; k <= CHAR_LIBRARY_SLOTS; ++k) {
        HKEY key = OpenNumbered(user, "Font %d", k);
        if (!key)
            continue;
        char name[SYSTEM_PATH_SIZE] = "";
        if (SystemReadString(key, "FileName", name, sizeof name) && name[0] &&
            !HoldsName(l.fonts, SYSTEM_PATH_SIZE, l.fontCount, name))
            CopyText(l.fonts[l.fontCount++], SYSTEM_PATH_SIZE, name);
        RegCloseKey(key);
    }
}

static void ReadInsertSlots(HKEY user, ProgramOptions *o)
{
    for (int k = 1; k <= INSERT_SLOTS; ++k) {
        BlockInsertSlot &s = o->insertSlots[k - 1];
        InitInsertSlot(&s);
        HKEY key = OpenNumbered(user, "Block %d", k);
        if (!key)
            continue;
        ReadValues(key, INSERT_SLOT_VALUES, &s);
        RegCloseKey(key);
    }
}

void SystemReadProfileFrom(const char *keyPath)
{
    SystemInitLocalData(&g_LocalData);
    SystemInitCommandDefaults(&g_CommandDefaults);
    SystemInitDigitizer(&g_Digitizer);
    memset(&g_ProfileLists, 0, sizeof g_ProfileLists);
    InitDefaultFont();
    SystemInitProgramOptions(&g_Options);

    HKEY user = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &user) == ERROR_SUCCESS) {
        SystemReadLocalData(user, &g_LocalData);
        HKEY general = nullptr;
        if (RegOpenKeyExA(user, GENERAL_KEY, 0, KEY_READ, &general) == ERROR_SUCCESS) {
            ReadGeneral(general, &g_Options);
            SystemApplyCoordRangeLimit(&g_Options, IsWin9x());
            RegCloseKey(general);
            ReadLists(user);
            ReadInsertSlots(user, &g_Options);
        }
        RegCloseKey(user);
    }
    MemSetLimits(g_Options.objectSize);
}

void SystemReadProfile()
{
    char keyPath[SYSTEM_KEY_NAME_SIZE];
    SystemProgramKeyPath(keyPath);
    SystemReadProfileFrom(keyPath);
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

static HKEY CreateKey(HKEY parent, const char *name)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, name, 0, const_cast<char *>(""), REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// Placements wholly off screen (a minimised window's iconic place) are not
// stored: the next start would open the window where nobody can see it.
static void WritePlacement(HKEY key, const char *name, const WindowPlacement &p, uint32_t moveable = 1)
{
    if (p.pos.x != SYSTEM_NOT_SET && p.keep && moveable && SystemPlacementOnScreen(p.pos, p.size))
        SystemWriteRect(key, name, &p.pos, &p.size);
}

static void WritePosition(HKEY key, const char *name, const WindowPlacement &p, uint32_t moveable = 1)
{
    if (p.pos.x != SYSTEM_NOT_SET && p.keep && moveable &&
        SystemPlacementOnScreen(p.pos, SIZE{POSITION_ONLY_EXTENT, POSITION_ONLY_EXTENT}))
        SystemWritePoint(key, name, &p.pos);
}

static void WriteDialogPlacement(HKEY key, const char *name, const WindowPlacement &p)
{
    if (p.pos.x != SYSTEM_NOT_SET && SystemPlacementOnScreen(p.pos, p.size))
        SystemWriteRect(key, name, &p.pos, &p.size);
}

static void WritePlacements(HKEY g, const ProgramOptions &o)
{
    for (const PlacementValue &v : PLACEMENT_VALUES) {
        const WindowPlacement &p = o.*v.field;
        const uint32_t moveable = v.moveable ? o.*v.moveable : 1;
        switch (v.kind) {
        case PLACEMENT_WINDOW: WritePlacement(g, v.name, p, moveable); break;
        case PLACEMENT_POSITION: WritePosition(g, v.name, p, moveable); break;
        case PLACEMENT_DIALOG: WriteDialogPlacement(g, v.name, p); break;
        }
    }
}

static void WriteGeneral(HKEY g, const ProgramOptions &o)
{
    for (int i = 0; i < FILE_DIALOG_STATES; ++i) {
        const char *format = FILE_DIALOG_DEFAULTS[i].valueFormat;
        if (!format)
            continue;
        for (int k = 0; k < FILE_DIALOG_FOLDERS; ++k) {
            char name[32];
            snprintf(name, sizeof name, format, k + 1);
            SystemWriteString(g, name, o.fileDialogs[i].folders[k]);
        }
    }
    SystemWriteInt(g, "ObjectSize", (int32_t)((o.objectSize + 1023) / 1024));
    SystemWriteInt(g, "UndoSteps", o.undoSteps);
    WriteValues(g, OPTION_VALUES, &o);
    WritePlacements(g, o);

    SystemWriteInt(g, "FontDefaultType", (int32_t)g_DefaultFont.kind);
    SystemWriteInt(g, "FontDefaultStyle", (int32_t)g_DefaultFont.style);
    SystemWriteInt(g, "FontDefaultWeight", (int32_t)g_DefaultFont.weight);
    SystemWriteString(g, "FontDefaultName", g_DefaultFont.face);
    SystemWriteInt(g, "FontFillMode", g_FontFillMode);

    SystemWriteBinary(g, "Keyboard", o.keyboard, sizeof o.keyboard);
    SystemWriteBinary(g, "Toolbox", o.toolbox, sizeof o.toolbox);
}

// Replaces "<format k>" by a fresh subkey; 0 when it cannot be created.
static HKEY RecreateNumbered(HKEY user, const char *format, int k)
{
    char name[32];
    snprintf(name, sizeof name, format, k);
    SystemDeleteKeyTree(user, name);
    return CreateKey(user, name);
}

static void DeleteNumbered(HKEY user, const char *format, int k)
{
    char name[32];
    snprintf(name, sizeof name, format, k);
    SystemDeleteKeyTree(user, name);
}

// Writes one numbered list; 0 when a subkey could not be created.
template <typename WriteEntry>
static int WriteNumberedList(HKEY user, const char *format, int count, int limit, WriteEntry writeEntry)
{
    for (int k = 1; k <= limit; ++k) {
        if (k > count) {
            DeleteNumbered(user, format, k);
            continue;
        }
        HKEY key = RecreateNumbered(user, format, k);
        if (!key)
            return 0;
        writeEntry(key, k - 1);
        RegCloseKey(key);
    }
    return 1;
}

static int WriteLists(HKEY user)
{
    const ProfileLists &l = g_ProfileLists;
    if (!WriteNumberedList(user, "Drawing %d", l.recentCount, RECENT_DRAWINGS,
                           [&](HKEY key, int i) { SystemWriteString(key, "FileName", l.recent[i]); }))
        return 0;
    if (!WriteNumberedList(user, "Library %d", l.libraryCount, SYMBOL_LIBRARY_SLOTS, [&](HKEY key, int i) {
            SystemWriteString(key, "FileName", l.libraries[i].fileName);
            SystemWriteBool(key, "Caching", l.libraries[i].caching);
            SystemWriteBool(key, "Load", l.libraries[i].load);
            SystemWriteBool(key, "Save", l.libraries[i].save);
        }))
        return 0;
    return WriteNumberedList(user, "Font %d", l.fontCount, CHAR_LIBRARY_SLOTS,
                             [&](HKEY key, int i) { SystemWriteString(key, "FileName", l.fonts[i]); });
}

static int SlotInUse(const BlockInsertSlot &s)
{
    return s.nameLibrary[0] && s.nameBlock[0];
}

static int WriteInsertSlots(HKEY user, const ProgramOptions &o)
{
    for (int k = 1; k <= INSERT_SLOTS; ++k) {
        const BlockInsertSlot &s = o.insertSlots[k - 1];
        if (!SlotInUse(s)) {
            DeleteNumbered(user, "Block %d", k);
            continue;
        }
        HKEY key = RecreateNumbered(user, "Block %d", k);
        if (!key)
            return 0;
        WriteValues(key, INSERT_SLOT_VALUES, &s);
        RegCloseKey(key);
    }
    return 1;
}

void SystemWriteProfileTo(const char *keyPath)
{
    if (g_SettingsImported)
        return;
    HKEY user = CreateKey(HKEY_CURRENT_USER, keyPath);
    if (!user)
        return;
    SystemWriteLocalData(user, &g_LocalData);
    SystemDeleteKeyTree(user, GENERAL_KEY);
    HKEY general = CreateKey(user, GENERAL_KEY);
    if (general) {
        WriteGeneral(general, g_Options);
        RegCloseKey(general);
        if (WriteLists(user))
            WriteInsertSlots(user, g_Options);
    }
    RegCloseKey(user);
}

void SystemWriteProfile()
{
    char keyPath[SYSTEM_KEY_NAME_SIZE];
    SystemProgramKeyPath(keyPath);
    SystemWriteProfileTo(keyPath);
}

void SystemDefaultKeyboard(int32_t keys[KEYBOARD_KEYS])
{
    for (int i = 0; i < KEYBOARD_KEYS; ++i)
        keys[i] = KEYBOARD_DEFAULT[i];
}

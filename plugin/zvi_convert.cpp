// Value conversions and titles: numbers to text and back in the units of
// the current drawing window, object titles and icons.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/convert.h"
#include "app/window.h"
#include "database/unit.h"
#include "dialogs/alert.h"
#include "dialogs/box08_term.h"
#include "dialogs/box13.h"
#include "language/language.h"
#include "plugin/zvi.h"
#include "plugin/zvi_checks.h"
#include "plugin/zvi_module.h"

namespace {

constexpr int VALUE_TEXT_SIZE = CONVERT_DEFAULT_WIDTH + 1; // what a value text may fill
constexpr int INT_TEXT_SIZE = 12;                          // "-2147483648" and its terminator
constexpr int MONTH_LETTERS = 3;
constexpr int BUILD_DATE_LENGTH = 11; // "Feb  4 1999"
constexpr double LENGTH_RANGE = 1e100;
constexpr double ANGLE_RANGE = 1e10;
constexpr double FULL_TURN = 6.283185307179586;
constexpr int ALERT_VALUE_RANGE = 8;
constexpr int OBJECT_TYPE_NAMES = 50;
enum DialogTitle { TITLE_OBJECT = 80, TITLE_INSTANCE, TITLE_GROUP, TITLE_POSITION, TITLE_BLOCK, TITLE_MODULE };

struct Factors {
    double angle = 1.0, width = 1.0, length = 1.0, scaledLength = 1.0;
};

Factors Current()
{
    Factors f;
    if (const DrawWindow *w = g_ConvertState.window) {
        f.angle = w->angleFactor;
        f.width = w->widthFactor;
        f.length = w->lengthFactor;
        f.scaledLength = w->mmPerUnit;
    }
    return f;
}

// A value text made in a buffer of the program, then copied whole into the
// caller's, which was probed for the full size a value text may take.
template <typename Make>
int ValueText(char *text, char *unitLabel, const char *label, Make make, const char *function, int line)
{
    if (text && !ZviWritable(text, VALUE_TEXT_SIZE))
        return ZviRefuse(function, line, "Text address invalid!");
    if (unitLabel && !ZviWritable(unitLabel, WINDOW_UNIT_LABEL_SIZE))
        return ZviRefuse(function, line, "Unit address invalid!");
    if (text) {
        char made[VALUE_TEXT_SIZE + 1] = "";
        make(made);
        ZviCopyText(text, made, VALUE_TEXT_SIZE);
    }
    if (unitLabel)
        ZviCopyText(unitLabel, label, WINDOW_UNIT_LABEL_SIZE);
    return 1;
}

int WidthAngleText(char *text, double value, char *unitLabel, const char *label, uint32_t format,
                   const char *function, int line)
{
    return ValueText(
        text, unitLabel, label,
        [&](char *out) {
            ConvertWidthAngleToString(out, value, CONVERT_DEFAULT_WIDTH, format, g_ConvertState.decimals, 1.0);
        },
        function, line);
}

int TermValue(double *value, const char *text, HWND owner, double lengthDivisor, double angleDivisor,
              const char *function, int line)
{
    if (ZviTextLength(text, TERM_MAX_LENGTH) < 0)
        return ZviRefuse(function, line, "Text address invalid!");
    if (!ZviWritable(value, sizeof(double)))
        return ZviRefuse(function, line, "Value address invalid!");
    char term[TERM_MAX_LENGTH + 1];
    ZviCopyText(term, text, sizeof term);
    return Box08TermCalculate(owner, lengthDivisor, angleDivisor, term, value);
}

int InRange(double value, double limit, HWND owner)
{
    if (value >= -limit && value <= limit)
        return 1;
    if (owner)
        AlertOk(owner, eAlertTextOK[ALERT_VALUE_RANGE]);
    return 0;
}

// The plug-in's 24-pixel cell at (x, y) of its bitmap, centred in a 40-pixel
// monochrome icon like the program's own: light pixels stay white, dark ones
// become black; what lies outside the bitmap stays white.
HBITMAP CutPluginIcon(HBITMAP strip, int x, int y)
{
    constexpr int ICON_SIZE = 40, CELL_SIZE = 24;
    return ConvertCutCell(strip, x, y, CELL_SIZE, ICON_SIZE, false);
}

} // namespace

extern "C" {

int ZVI_CALL ZVI_ConvertIntString(char *text, int value)
{
    if (!ZviWritable(text, INT_TEXT_SIZE))
        return ZVI_REFUSE("Text address invalid!");
    ConvertIntToString(text, value);
    return 1;
}

int ZVI_CALL ZVI_ConvertDoubleString(char *text, double value)
{
    return ValueText(
        text, nullptr, "",
        [&](char *out) { ConvertDoubleToString(out, value, CONVERT_DEFAULT_WIDTH, g_ConvertState.decimals); },
        __func__, __LINE__);
}

int ZVI_CALL ZVI_ConvertDoubleStringEx(char *text, double value, int width, int decimals)
{
    if (width <= 0 || width > CONVERT_DEFAULT_WIDTH)
        width = CONVERT_DEFAULT_WIDTH;
    if (!ZviWritable(text, width + 1))
        return ZVI_REFUSE("Text address invalid!");
    char made[VALUE_TEXT_SIZE + 1] = "";
    ConvertDoubleToString(made, value, width, decimals < 0 ? 0 : decimals);
    ZviCopyText(text, made, width + 1);
    return 1;
}

int ZVI_CALL ZVI_ConvertLengthString(char *text, double mm, char *unitLabel)
{
    const Factors f = Current();
    return ValueText(
        text, unitLabel, g_ConvertState.lengthLabel,
        [&](char *out) {
            ConvertLengthToString(out, mm / f.scaledLength, CONVERT_DEFAULT_WIDTH, g_ConvertState.lengthFormat,
                                  g_ConvertState.decimals, 1.0);
        },
        __func__, __LINE__);
}

int ZVI_CALL ZVI_ConvertWidthString(char *text, double mm, char *unitLabel)
{
    return WidthAngleText(text, mm / Current().width, unitLabel, g_ConvertState.widthLabel,
                          g_ConvertState.lengthFormat, __func__, __LINE__);
}

int ZVI_CALL ZVI_ConvertAngleString(char *text, double radians, char *unitLabel)
{
    return WidthAngleText(text, radians / Current().angle, unitLabel, g_ConvertState.angleLabel,
                          g_ConvertState.angleFormat, __func__, __LINE__);
}

int ZVI_CALL ZVI_ConvertStringInt(int *value, const char *text)
{
    if (ZviTextLength(text, TERM_MAX_LENGTH) < 0)
        return ZVI_REFUSE("Text address invalid!");
    if (!ZviWritable(value, sizeof(int)))
        return ZVI_REFUSE("Value address invalid!");
    char term[TERM_MAX_LENGTH + 1];
    ZviCopyText(term, text, sizeof term);
    const int n = ConvertStringToInt(term);
    if (n == CONVERT_NO_INT)
        return 0;
    *value = n;
    return 1;
}

int ZVI_CALL ZVI_ConvertStringDouble(double *value, const char *text, HWND alertOwner)
{
    return TermValue(value, text, alertOwner, 1.0, CONVERT_DEGREE_FACTOR, __func__, __LINE__);
}

int ZVI_CALL ZVI_ConvertStringDoubleEx(double *value, const char *text, HWND alertOwner, double lengthFactor,
                                       double angleFactor)
{
    return TermValue(value, text, alertOwner, lengthFactor, angleFactor, __func__, __LINE__);
}

int ZVI_CALL ZVI_ConvertStringLength(double *mm, const char *text, HWND alertOwner)
{
    const Factors f = Current();
    if (!TermValue(mm, text, alertOwner, f.length, f.angle, __func__, __LINE__))
        return 0;
    *mm *= f.scaledLength;
    return InRange(*mm, LENGTH_RANGE, alertOwner);
}

int ZVI_CALL ZVI_ConvertStringWidth(double *mm, const char *text, HWND alertOwner)
{
    const Factors f = Current();
    if (!TermValue(mm, text, alertOwner, f.width, f.angle, __func__, __LINE__))
        return 0;
    *mm *= f.width;
    return InRange(*mm, LENGTH_RANGE, alertOwner);
}

int ZVI_CALL ZVI_ConvertStringAngle(double *radians, const char *text, HWND alertOwner)
{
    const Factors f = Current();
    if (!TermValue(radians, text, alertOwner, f.length, f.angle, __func__, __LINE__))
        return 0;
    *radians *= f.angle;
    if (!InRange(*radians, ANGLE_RANGE, alertOwner))
        return 0;
    if (std::fabs(*radians) > FULL_TURN)
        *radians = std::fmod(*radians, FULL_TURN);
    return 1;
}

int ZVI_CALL ZVI_GetBuildDate(const char *date, char *out)
{
    if (!ZviReadable(date, BUILD_DATE_LENGTH))
        return ZVI_REFUSE("Date address invalid!");
    if (!ZviWritable(out, ZVI_DATE_SIZE))
        return ZVI_REFUSE("Text address invalid!");
    char month[MONTH_LETTERS + 1];
    for (int i = 0; i < MONTH_LETTERS; ++i) {
        const unsigned char c = static_cast<unsigned char>(date[i]);
        month[i] = static_cast<char>(i == 0 ? std::toupper(c) : std::tolower(c));
    }
    month[MONTH_LETTERS] = 0;
    const char day0 = date[4] == ' ' ? '0' : date[4];
    char made[ZVI_DATE_SIZE + 8];
    std::snprintf(made, sizeof made, "%.4s-%s-%c%c", date + 7, month, day0, date[5]);
    ZviCopyText(out, made, ZVI_DATE_SIZE);
    return 1;
}

int ZVI_CALL ZVI_GetUnitTitle(char *title, const Unit *object)
{
    if (!ZviWritable(title, ZVI_TITLE_SIZE))
        return ZVI_REFUSE("Text address invalid!");
    if (!ZviUnitReadable(object))
        return ZVI_REFUSE("UnitPtr invalid!");
    const char *text = nullptr;
    switch (object->kind) {
    case UNIT_KIND_OBJECT:
        text = object->object.type >= 0 && object->object.type < OBJECT_TYPE_NAMES ? eObjectNames[object->object.type]
                                                                                  : eDialogText[TITLE_OBJECT];
        break;
    case UNIT_KIND_INSTANCE: {
        const UnitInstancePart &p = object->instance;
        text = eDialogText[TITLE_INSTANCE];
        if (std::strcmp(p.library, "*") == 0 && std::strncmp(p.block, "#G", 2) == 0)
            text = eDialogText[TITLE_GROUP];
        else if (std::strcmp(p.library, "*") == 0 && std::strncmp(p.block, "#P", 2) == 0)
            text = eDialogText[TITLE_POSITION];
        break;
    }
    case UNIT_KIND_BLOCK: text = eDialogText[TITLE_BLOCK]; break;
    case UNIT_KIND_PLUGIN: {
        text = eDialogText[TITLE_MODULE];
        char own[ZVI_TITLE_SIZE] = "";
        if (PluginObjectTitle(const_cast<Unit *>(object), own)) {
            ZviCopyText(title, own, ZVI_TITLE_SIZE);
            return 1;
        }
        break;
    }
    default: return 0;
    }
    ZviCopyText(title, text ? text : "", ZVI_TITLE_SIZE);
    return 1;
}

HBITMAP ZVI_CALL ZVI_GetCommandIcon(int commandId)
{
    const ModuleCommand *entry = ZviCommandEntry(commandId);
    // A plug-in's handle may be stale: only a live bitmap is cut from.
    if (entry && entry->iconChoice == MODULE_ICON_OWN_CELL && entry->bitmap &&
        GetObjectType(entry->bitmap) == OBJ_BITMAP)
        return CutPluginIcon(entry->bitmap, entry->cellX, entry->cellY);
    return Box13CommandBitmap40(commandId);
}

HICON ZVI_CALL ZVI_GetStandardIcon(const char *iconId)
{
    if (!ZviReadable(iconId, 1))
        return reinterpret_cast<HICON>(ZVI_REFUSE("IconID address invalid!"));
    return LoadIconA(GetModuleHandleA(nullptr), iconId);
}

} // extern "C"

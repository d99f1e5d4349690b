// Points, distances, angles, areas and lengths of the drawing as texts of a
// coordinate system, and colours in the models the colour dialogs show.
#include <cmath>

#include "app/convert.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "geometry/calc.h"

namespace {

constexpr int MEASURE_TEXT_WIDTH = 249;
constexpr double FULL_TURN = 6.283185307179586;
constexpr double CHANNEL_MAX = 255.0;
constexpr uint32_t FORMAT_CODE_MASK = 0xFFFF;

// The system a measure is taken in: a negative index means the current one,
// an unused or unknown one system 0.
const SystemDef &MeasureSystem(int system)
{
    if (system < 0)
        system = g_CurrentSystem.system;
    if (system < 0 || system >= SYSTEM_SLOTS || !g_SystemDefs[system].name[0])
        system = 0;
    return g_SystemDefs[system];
}

// The factor of a unit index, or 0 for an index outside the table: such a
// system cannot be measured in, and its texts stay empty.
double LengthFactor(const SystemDef &s)
{
    if (s.lengthUnit < 0 || s.lengthUnit >= CONVERT_LENGTH_UNIT_COUNT)
        return 0.0;
    return g_ConvertLengthUnits[s.lengthUnit].factor;
}

double AngleFactor(const SystemDef &s)
{
    if (s.angleUnit < 0 || s.angleUnit >= CONVERT_ANGLE_UNIT_COUNT)
        return 0.0;
    return g_ConvertAngleUnits[s.angleUnit].factor;
}

// Millimetres per system unit (scale times unit factor), or 0 when the
// system cannot be measured in.
double UnitSize(const SystemDef &s) { return s.scale * LengthFactor(s); }

uint32_t ChosenFormat(int format, uint16_t own)
{
    return format < 0 ? own : static_cast<uint32_t>(format);
}

void WriteValue(char *out, char *out2, double value, uint32_t format, int digits, double factor)
{
    if (factor == 0.0 || !std::isfinite(value)) {
        out[0] = 0;
        if (out2)
            out2[0] = 0;
        return;
    }
    ConvertValueToString(out, out2, value, MEASURE_TEXT_WIDTH, format, digits,
                         g_DrawingSettings.dimLayoutDimMode, factor);
}

void LinearMap(const Matrix &m, double x, double y, double *ox, double *oy)
{
    *ox = m.a * x + m.c * y;
    *oy = m.b * x + m.d * y;
}

} // namespace

void ConvertPointToStrings(char *outX, char *outY, double x, double y, int system, int format, int digits)
{
    const SystemDef &s = MeasureSystem(system);
    const Matrix &m = s.toSystem;
    const uint32_t f = ChosenFormat(format, s.format1);
    const double factor = LengthFactor(s);
    WriteValue(outX, nullptr, m.a * x + m.c * y + m.tx, f, digits, factor);
    WriteValue(outY, nullptr, m.b * x + m.d * y + m.ty, f, digits, factor);
}

double ConvertSystemDistance(double x1, double y1, double x2, double y2, int system)
{
    double dx, dy;
    LinearMap(MeasureSystem(system).toSystem, x2 - x1, y2 - y1, &dx, &dy);
    return std::sqrt(dx * dx + dy * dy);
}

void ConvertDistanceToString(char *out, char *out2, double x1, double y1, double x2, double y2, int system,
                             int format, int digits)
{
    const SystemDef &s = MeasureSystem(system);
    WriteValue(out, out2, ConvertSystemDistance(x1, y1, x2, y2, system), ChosenFormat(format, s.format1), digits,
               LengthFactor(s));
}

double ConvertPointAngle(double x1, double y1, double x2, double y2, double x3, double y3, int direction,
                         int system)
{
    const Matrix &m = MeasureSystem(system).toSystem;
    double ax, ay, bx, by;
    LinearMap(m, x2 - x1, y2 - y1, &ax, &ay);
    LinearMap(m, x3 - x1, y3 - y1, &bx, &by);
    const double alpha1 = CalcAngleOfVector(ax, ay);
    const double alpha2 = CalcAngleOfVector(bx, by);
    double angle = direction == 0 ? alpha1 - alpha2 : alpha2 - alpha1;
    if (angle < 0.0)
        angle += FULL_TURN;
    return angle;
}

void ConvertPointAngleToString(char *out, double x1, double y1, double x2, double y2, double x3, double y3,
                               int direction, int system, int format, int digits)
{
    const SystemDef &s = MeasureSystem(system);
    const double factor = AngleFactor(s);
    const double angle = ConvertPointAngle(x1, y1, x2, y2, x3, y3, direction, system);
    WriteValue(out, nullptr, factor == 0.0 ? 0.0 : angle / factor, ChosenFormat(format, s.format2), digits,
               factor);
}

void ConvertAreaToString(char *out, double area, int system, int format, int digits)
{
    const SystemDef &s = MeasureSystem(system);
    const double factor = LengthFactor(s), k = UnitSize(s);
    double value = k == 0.0 ? CALC_NO_VALUE : area / (k * k);
    const uint32_t code = ChosenFormat(format, s.format1) & FORMAT_CODE_MASK;
    if (code >= CONVERT_METRES && code <= CONVERT_METRES_3)
        value *= (factor / 1000.0) * (factor / 1000.0);
    WriteValue(out, nullptr, value, CONVERT_DECIMAL, digits, k == 0.0 ? 0.0 : 1.0);
}

void ConvertSystemLengthToString(char *out, double length, int system, int format, int digits)
{
    const SystemDef &s = MeasureSystem(system);
    const double k = UnitSize(s);
    WriteValue(out, nullptr, k == 0.0 ? 0.0 : length / k, ChosenFormat(format, s.format1), digits,
               k == 0.0 ? 0.0 : LengthFactor(s));
}

// ---------------------------------------------------------------------------
// Colour models

namespace {

double Channel(COLORREF color, int shift) { return ((color >> shift) & 0xFF) * 100.0 / CHANNEL_MAX; }

void Put(double *out, double value)
{
    if (out)
        *out = value;
}

uint32_t PercentChannel(double percent)
{
    return static_cast<uint32_t>(static_cast<int64_t>(std::floor(percent * CHANNEL_MAX / 100.0 + 0.5))) & 0xFF;
}

} // namespace

void ConvertColorToPercent(COLORREF color, double *red, double *green, double *blue)
{
    Put(red, Channel(color, 0));
    Put(green, Channel(color, 8));
    Put(blue, Channel(color, 16));
}

void ConvertColorToCMY(COLORREF color, double *cyan, double *magenta, double *yellow)
{
    Put(cyan, 100.0 - Channel(color, 0));
    Put(magenta, 100.0 - Channel(color, 8));
    Put(yellow, 100.0 - Channel(color, 16));
}

void ConvertColorToHSB(COLORREF color, double *hue, double *saturation, double *brightness)
{
    const double r = Channel(color, 0) / 100.0, g = Channel(color, 8) / 100.0, b = Channel(color, 16) / 100.0;
    const double v = std::fmax(r, std::fmax(g, b));
    const double m = std::fmin(r, std::fmin(g, b));
    const double delta = v - m;
    const double s = v == 0.0 ? 0.0 : delta / v;
    double h = 0.0;
    if (s != 0.0) {
        if (r == v)
            h = (g - b) / delta;
        else if (g == v)
            h = 2.0 + (b - r) / delta;
        else
            h = 4.0 + (r - g) / delta;
        h *= 60.0;
        if (h < 0.0)
            h += 360.0;
    }
    Put(hue, h);
    Put(saturation, s * 100.0);
    Put(brightness, v * 100.0);
}

double ConvertColorSortKey(COLORREF color)
{
    double hue, s, v;
    ConvertColorToHSB(color, &hue, &s, &v);
    return 100.0 * hue + 10.0 * (v / 100.0) + s / 100.0;
}

COLORREF ConvertPercentToColor(double red, double green, double blue)
{
    return RGB(PercentChannel(red), PercentChannel(green), PercentChannel(blue));
}

COLORREF ConvertCMYToColor(double cyan, double magenta, double yellow)
{
    return RGB((255 - PercentChannel(cyan)) & 0xFF, (255 - PercentChannel(magenta)) & 0xFF,
               (255 - PercentChannel(yellow)) & 0xFF);
}

COLORREF ConvertHSBToColor(double hue, double saturation, double brightness)
{
    const double s = saturation / 100.0, v = brightness / 100.0;
    if (s == 0.0)
        return ConvertPercentToColor(brightness, brightness, brightness);
    if (hue == 360.0)
        hue = 0.0;
    const double h = hue / 60.0;
    const int i = static_cast<int>(std::floor(h));
    const double f = h - i;
    const double p = v * (1.0 - s), q = v * (1.0 - f * s), t = v * (1.0 - (1.0 - f) * s);
    double r, g, b;
    switch (i) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: r = v, g = p, b = q; break;
    }
    return ConvertPercentToColor(100.0 * r, 100.0 * g, 100.0 * b);
}

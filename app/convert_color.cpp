// Colour conversions of the colour fields and the colour chooser.
#include "app/convert_color.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double CHANNEL_MAX = 255.0;
constexpr double PERCENT = 100.0;
constexpr double HUE_SECTOR = 60.0;
constexpr double FULL_TURN = 360.0;

int PercentToChannel(double p)
{
    return std::clamp(static_cast<int>(std::floor(p * CHANNEL_MAX / PERCENT + 0.5)), 0, 255);
}

void Channels(COLORREF colour, double *r, double *g, double *b)
{
    *r = GetRValue(colour) / CHANNEL_MAX;
    *g = GetGValue(colour) / CHANNEL_MAX;
    *b = GetBValue(colour) / CHANNEL_MAX;
}

} // namespace

void ConvertColorToPercent(COLORREF colour, double *r, double *g, double *b)
{
    if (r)
        *r = GetRValue(colour) * PERCENT / CHANNEL_MAX;
    if (g)
        *g = GetGValue(colour) * PERCENT / CHANNEL_MAX;
    if (b)
        *b = GetBValue(colour) * PERCENT / CHANNEL_MAX;
}

void ConvertColorToCMY(COLORREF colour, double *c, double *m, double *y)
{
    if (c)
        *c = PERCENT - GetRValue(colour) * PERCENT / CHANNEL_MAX;
    if (m)
        *m = PERCENT - GetGValue(colour) * PERCENT / CHANNEL_MAX;
    if (y)
        *y = PERCENT - GetBValue(colour) * PERCENT / CHANNEL_MAX;
}

COLORREF ConvertPercentToColor(double r, double g, double b)
{
    return RGB(PercentToChannel(r), PercentToChannel(g), PercentToChannel(b));
}

COLORREF ConvertCMYToColor(double c, double m, double y)
{
    return RGB(255 - PercentToChannel(c), 255 - PercentToChannel(m), 255 - PercentToChannel(y));
}

void ConvertColorToHSB(COLORREF colour, double *hue, double *saturation, double *brightness)
{
    double r, g, b;
    Channels(colour, &r, &g, &b);
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    const double delta = hi - lo;
    const double s = hi > 0 ? delta / hi : 0;
    double h = 0;
    if (s > 0) {
        if (hi == r)
            h = (g - b) / delta;
        else if (hi == g)
            h = 2 + (b - r) / delta;
        else
            h = 4 + (r - g) / delta;
        h *= HUE_SECTOR;
        if (h < 0)
            h += FULL_TURN;
    }
    if (hue)
        *hue = h;
    if (saturation)
        *saturation = s * PERCENT;
    if (brightness)
        *brightness = hi * PERCENT;
}

COLORREF ConvertHSBToColor(double hue, double saturation, double brightness)
{
    const double v = brightness / PERCENT, s = saturation / PERCENT;
    if (s <= 0)
        return ConvertPercentToColor(brightness, brightness, brightness);
    double h = hue >= FULL_TURN ? 0 : hue;
    h /= HUE_SECTOR;
    const int sector = static_cast<int>(std::floor(h));
    const double f = h - sector;
    const double p = v * (1 - s), q = v * (1 - f * s), t = v * (1 - (1 - f) * s);
    double r, g, b;
    switch (sector) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: r = v, g = p, b = q; break;
    }
    return ConvertPercentToColor(r * PERCENT, g * PERCENT, b * PERCENT);
}

double ConvertColorSortKey(COLORREF colour)
{
    double h, s, v;
    ConvertColorToHSB(colour, &h, &s, &v);
    return 100 * h + 10 * (v / PERCENT) + s / PERCENT;
}

char ConvertIndexToAccelChar(int position)
{
    if (position >= 0 && position <= 8)
        return static_cast<char>('1' + position);
    if (position == 9)
        return '0';
    if (position >= 10 && position <= 35)
        return static_cast<char>('A' + position - 10);
    return ' ';
}

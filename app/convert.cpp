// Value texts: numbers, lengths and angles to text and back.
#include "app/convert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/system_current.h"
#include "dialogs/alert_check.h"
#include "geometry/calc.h"

const ConvertUnit g_ConvertLengthUnits[CONVERT_LENGTH_UNIT_COUNT] = {
    {"\xB5m", 0.001},         {"mm", 1.0},
    {"cm", 10.0},             {"dm", 100.0},
    {"m", 1000.0},            {"km", 1000000.0},
    {"mil", 0.0254},          {"in", 25.4},
    {"ft", 304.8},            {"yd", 914.4},
    {"mile", 1609344.0},      {"dp", 0.03527777777778},
    {"pt", 0.35277777777778}, {"bp", 0.3759398496241},
    {"cic", 4.5112781954892}, {"min", 0.01666666666666},
    {"sec", 0.00027777777777},
};

const ConvertUnit g_ConvertAngleUnits[CONVERT_ANGLE_UNIT_COUNT] = {
    {"deg", CONVERT_DEGREE_FACTOR}, {"gra", 0.01570796326795}, {"rad", 1.0},
    {"rel", CALC_TWO_PI}, {"min", 0.01666666666666}, {"sec", 0.00027777777777},
};

const char *const g_ConvertAngleSigns[CONVERT_ANGLE_SIGN_COUNT] = {"\xB0", "'", "\""};

namespace {

// Internal width of a value text before it is cut to the caller's width.
constexpr int TEXT_SIZE = 512;
// Composite parts from this size on are written in exponent form.
constexpr double LARGE_PART = 1000000.0;
// Fractions are powers of two up to this exponent.
constexpr int MAX_FRACTION_EXPONENT = 30;
constexpr int MIN_WIDTH = 8;

enum class Form { Term, Display };

// The parts of one value (D2 to D4); a part the format lacks is -1.
struct ValueParts {
    double a = -1, b = -1, c = -1, rest = 0;
    int numerator = 0, denominator = 1;
    bool fraction = false;    // the last part is written as whole + fraction
    int digits = 0;           // decimals of a decimal last part
    bool metres = false;      // metre formats: metres rather than centimetres
};

uint32_t NormalFormat(uint32_t format, Form form)
{
    format &= 0xFFFF;
    if (format >= 13 || (form == Form::Term && format >= CONVERT_METRES))
        return CONVERT_DECIMAL;
    return format;
}

bool IsFractionFormat(uint32_t f)
{
    return f == 1 || f == 3 || f == 5 || f == 7;
}

bool IsCompositeFormat(uint32_t f)
{
    return f >= 2 && f <= 7;
}

int IntegerDigits(double c)
{
    int d = 1;
    for (double limit = 10.0; d < 6 && c >= limit; limit *= 10.0)
        ++d;
    return d;
}

// D2: split the (non-negative) value into its parts.
ValueParts SplitValue(double value, uint32_t format, int digits, double factor)
{
    ValueParts p;
    p.digits = digits;
    switch (format) {
    case 1:
        p.c = std::floor(value);
        p.rest = value - p.c;
        break;
    case 2:
    case 3: {
        double v = value * factor / 25.4;
        p.b = std::floor(v / 12.0);
        p.c = v - 12.0 * p.b;
        break;
    }
    case 4:
    case 5: {
        double v = value * factor / 25.4;
        p.a = std::floor(v / 36.0);
        v -= 36.0 * p.a;
        p.b = std::floor(v / 12.0);
        p.c = v - 12.0 * p.b;
        break;
    }
    case 6:
    case 7: {
        p.a = std::floor(value);
        double v = value - p.a;
        p.b = std::floor(60.0 * v);
        p.c = (v - p.b / 60.0) * 3600.0;
        break;
    }
    case 8:
    case 9:
    case 10:
    case 11:
    case 12: {
        double m = value * factor / 1000.0;
        int metreDigits = digits, centDigits = digits - 2;
        if (format == 9) {
            metreDigits = 2;
            centDigits = 0;
        } else if (format == 10) {
            m = std::floor(200.0 * m + 0.5) * 0.005;
            metreDigits = 3;
            centDigits = 1;
        } else if (format == 11) {
            m = std::floor(400.0 * m + 0.5) * 0.0025;
            metreDigits = 4;
            centDigits = 2;
        } else if (format == 12) {
            metreDigits = 3;
            centDigits = 1;
        }
        p.metres = m >= 1.0;
        p.c = p.metres ? m : 100.0 * m;
        p.digits = p.metres ? metreDigits : (centDigits < 0 ? 0 : centDigits);
        break;
    }
    default:
        p.c = value;
        break;
    }
    // Rounding may leave a hair below zero where the arithmetic says zero.
    if (p.c < 0.0)
        p.c = 0.0;
    if (format == 3 || format == 5 || format == 7) {
        double whole = std::floor(p.c);
        p.rest = p.c - whole;
        p.c = whole;
    }
    p.fraction = IsFractionFormat(format) && p.c < LARGE_PART;
    return p;
}

// D3: the power-of-two fraction of the rest.
void MakeFraction(ValueParts &p, int width)
{
    if (!p.fraction)
        return;
    int d = IntegerDigits(p.c);
    int k = p.digits;
    if (d > width - 5)
        k = 0;
    else if (d > width - 7)
        k = k < 3 ? k : 3;
    else if (d > width - 9)
        k = k < 6 ? k : 6;
    if (k > MAX_FRACTION_EXPONENT)
        k = MAX_FRACTION_EXPONENT;
    if (k <= 0) {
        p.numerator = 0;
        return;
    }
    p.denominator = 1 << k;
    p.numerator = (int)std::floor(p.rest * p.denominator + 0.5);
    if (p.numerator >= p.denominator) {
        p.c += 1.0;
        p.numerator = 0;
        return;
    }
    while (p.numerator > 0 && p.numerator % 2 == 0 && p.denominator % 2 == 0) {
        p.numerator /= 2;
        p.denominator /= 2;
    }
}

// D4: carry whole inches into feet and yards, seconds into minutes and degrees.
void CarryParts(ValueParts &p, uint32_t format)
{
    if (format == 3 || format == 5) {
        while (p.c > 11) {
            p.c -= 12;
            p.b += 1;
        }
    }
    if (format == 5) {
        while (p.b > 2) {
            p.b -= 3;
            p.a += 1;
        }
    }
    if (format == 7) {
        while (p.c > 59) {
            p.c -= 60;
            p.b += 1;
        }
        while (p.b > 59) {
            p.b -= 60;
            p.a += 1;
        }
    }
}

void Append(char *out, const char *text)
{
    size_t n = std::strlen(out);
    std::snprintf(out + n, TEXT_SIZE - n, "%s", text);
}

// Trailing zeros of a decimal text: keepOne leaves one decimal ("3.0"),
// otherwise all go and a bare point with them ("3").
void TrimZeros(char *text, bool keepOne)
{
    char *point = std::strchr(text, '.');
    if (!point)
        return;
    size_t p = point - text;
    size_t n = std::strlen(text);
    size_t keep = keepOne ? p + 2 : p + 1;
    while (n > keep && text[n - 1] == '0')
        text[--n] = 0;
    if (!keepOne && n == p + 1)
        text[p] = 0;
}

// D5: decimal text of c in the width left; zeroMode as ConvertValueToString's
// mode (1 for term texts).
void DecimalText(char *out, double c, int widthLeft, int digits, int zeroMode)
{
    char text[TEXT_SIZE];
    if (widthLeft < 0)
        widthLeft = 0;
    if (widthLeft > TEXT_SIZE / 2)
        widthLeft = TEXT_SIZE / 2;
    bool exponent = c >= LARGE_PART;
    int precision = exponent ? widthLeft - 8 : widthLeft - IntegerDigits(c) - 2;
    if (precision > digits)
        precision = digits;
    if (precision < 0)
        precision = 0;
    // Left-justified in the width, then cut at the last digit: the same as
    // no width at all, without padding a text of some 250 blanks first.
    std::snprintf(text, sizeof text, exponent ? "%.*le" : "%.*lf", precision, c);
    if (!exponent) {
        if (zeroMode == 0 || zeroMode == 1)
            TrimZeros(text, zeroMode == 1);
        char *point = std::strchr(text, '.');
        if (point && g_DisplayDecimal)
            *point = ',';
    }
    Append(out, text);
}

// D6: whole part and fraction.
void FractionText(char *out, const ValueParts &p, Form form, int widthLeft)
{
    if (!p.fraction) {
        DecimalText(out, p.c, widthLeft, p.digits, 1);
        return;
    }
    char text[64];
    long whole = (long)p.c;
    bool both = whole > 0 && p.numerator > 0;
    if (form == Form::Term && both)
        Append(out, "(");
    if (whole > 0) {
        std::snprintf(text, sizeof text, "%ld", whole);
        Append(out, text);
    }
    if (both)
        Append(out, form == Form::Term ? "+" : " ");
    if (p.numerator > 0) {
        std::snprintf(text, sizeof text, "%d/%d", p.numerator, p.denominator);
        Append(out, text);
    }
    if (form == Form::Term && both)
        Append(out, ")");
    if (whole <= 0 && p.numerator <= 0 && p.b <= 0 && p.a <= 0)
        Append(out, "0");
}

// An A or B part with its unit sign.
void PartText(char *out, double part, const char *sign)
{
    char text[64];
    if (part >= LARGE_PART)
        std::snprintf(text, sizeof text, "%le%s", part, sign);
    else
        std::snprintf(text, sizeof text, "%ld%s", (long)part, sign);
    Append(out, text);
}

void CutAtWidth(char *out, const char *text, int width)
{
    if (width < 0)
        width = 0;
    size_t n = std::strlen(text);
    if (n > (size_t)width)
        n = width;
    std::memcpy(out, text, n);
    out[n] = 0;
}

// Splits the raised digits of a metre text off into out2.
void SplitRaisedDigits(char *text, char *out2, const ValueParts &p)
{
    if (!out2)
        return;
    size_t i = std::strcspn(text, ".,");
    size_t n = std::strlen(text);
    char *raised = nullptr;
    if (p.metres) {
        if (p.digits > 2 && n > i + 3) {
            raised = text + i + 3;
        }
    } else if (p.digits > 0 && n > i + 1) {
        raised = text + i + 1;
    }
    if (!raised)
        return;
    std::strcpy(out2, raised);
    size_t m = std::strlen(out2);
    while (m > 0 && out2[m - 1] == '0')
        out2[--m] = 0;
    *(p.metres ? raised : raised - 1) = 0;
}

void FormatValue(char *out, char *out2, double value, int width, uint32_t format, int digits, int mode,
                 double factor, Form form)
{
    char text[TEXT_SIZE] = "";
    if (value == CALC_NO_VALUE || std::isnan(value)) {
        CutAtWidth(out, text, 0);
        return;
    }
    format = NormalFormat(format, form);
    int w = width < MIN_WIDTH ? MIN_WIDTH : width;
    bool negative = value < 0.0;
    if (negative) {
        Append(text, "-");
        value = -value;
    }
    ValueParts p = SplitValue(value, format, digits, factor);
    MakeFraction(p, w);
    CarryParts(p, format);

    bool lastPresent = p.c > 0 || p.numerator > 0;
    bool composite = IsCompositeFormat(format);
    const bool inches = format <= 5;
    bool paren = false;
    if (form == Form::Term && negative) {
        int present = (p.a > 0) + (p.b > 0) + lastPresent;
        paren = present > 1;
        if (paren)
            Append(text, "(");
    }
    size_t partsStart = std::strlen(text);
    bool earlierPart = false;
    if (composite) {
        if (p.a > 0) {
            PartText(text, p.a, form == Form::Term ? (inches ? "yd" : "deg") : (inches ? "yd" : "\xB0"));
            earlierPart = true;
            if (form == Form::Term && (p.b > 0 || lastPresent))
                Append(text, "+");
        }
        if (p.b > 0) {
            PartText(text, p.b, form == Form::Term ? (inches ? "ft" : "min") : "'");
            earlierPart = true;
            if (form == Form::Term && lastPresent)
                Append(text, "+");
        }
    }
    int widthLeft = w - (int)(std::strlen(text) - partsStart);
    // A whole foot or degree has no decimal last part: "1ft", not "1ft0.0",
    // which no term could read back.
    bool writeLast = !composite || p.fraction || lastPresent || !earlierPart;
    if (writeLast) {
        if (IsFractionFormat(format))
            FractionText(text, p, form, widthLeft);
        else {
            size_t start = std::strlen(text);
            DecimalText(text, p.c, widthLeft, p.digits, form == Form::Term ? 1 : mode);
            if (form == Form::Display && format >= CONVERT_METRES)
                SplitRaisedDigits(text + start, out2, p);
        }
    }
    if (composite && lastPresent) {
        if (form == Form::Term)
            Append(text, inches ? "in" : "sec");
        else
            Append(text, "\"");
    }
    if (paren)
        Append(text, ")");
    CutAtWidth(out, text, width);
}

} // namespace

void ConvertLengthToString(char *out, double value, int width, uint32_t format, int digits, double factor)
{
    if (width == 0)
        width = CONVERT_DEFAULT_WIDTH;
    FormatValue(out, nullptr, value, width, format, digits, 1, factor, Form::Term);
}

void ConvertWidthAngleToString(char *out, double value, int width, uint32_t format, int digits, double factor)
{
    ConvertLengthToString(out, value, width, format, digits, factor);
}

void ConvertValueToString(char *out, char *out2, double value, int width, uint32_t format, int digits,
                          int mode, double factor)
{
    FormatValue(out, out2, value, width, format, digits, mode, factor, Form::Display);
}

void ConvertDoubleToString(char *out, double value, int width, int digits)
{
    if (width == 0)
        width = CONVERT_DEFAULT_WIDTH;
    FormatValue(out, nullptr, value, width, CONVERT_DECIMAL, digits, 1, 1.0, Form::Term);
}

double ConvertStringToDouble(const char *text)
{
    constexpr size_t MAX_TEXT = 255;
    char copy[MAX_TEXT + 1];
    size_t n = 0;
    for (; text && text[n] && n < MAX_TEXT; ++n) {
        char ch = text[n];
        // A scanned double has no hexadecimal form.
        if (ch == 'x' || ch == 'X')
            return CALC_NO_VALUE;
        copy[n] = ch == ',' ? '.' : ch;
    }
    copy[n] = 0;
    char *end = nullptr;
    double v = std::strtod(copy, &end);
    if (end == copy)
        return CALC_NO_VALUE;
    while (*end == ' ')
        ++end;
    if (*end != 0 || !(v >= -CALC_COORD_LIMIT && v <= CALC_COORD_LIMIT))
        return CALC_NO_VALUE;
    return v;
}

void ConvertIntToString(char *out, int n)
{
    std::sprintf(out, "%d", n);
}

void ConvertLongToString(char *out, long n)
{
    std::sprintf(out, "%ld", n);
}

int ConvertStringToIntPlain(const char *text)
{
    int n = 0;
    if (!text || !*text || std::sscanf(text, "%d", &n) != 1)
        return CONVERT_NO_INT;
    return n;
}

int ConvertStringToInt(const char *text)
{
    double v = 0.0;
    if (!AlertCheckInputDouble(nullptr, text, &v, -1))
        return CONVERT_NO_INT;
    if (v <= -2147483648.0 || v > 2147483647.0)
        return CONVERT_NO_INT;
    return (int)std::floor(v + 0.5);
}

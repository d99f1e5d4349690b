// Number texts of the file format, made without the C runtime's printf and
// scanf: their exponent style and decimal point differ between runtimes and
// locales, and a file must read back the same everywhere.
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

#include "files/zvi_internal.h"
#include "geometry/calc.h"

int ZviFormatInt(char *out, int32_t value)
{
    auto result = std::to_chars(out, out + ZVI_NUMBER_TEXT - 1, value);
    *result.ptr = 0;
    return int(result.ptr - out);
}

int ZviFormatGeneral(char *out, double value, int digits)
{
    if (std::isnan(value)) {
        strcpy(out, "nan");
        return 3;
    }
    // to_chars in the general form with a precision follows printf's %g:
    // shortest of fixed and exponent form, trailing zeros removed, exponent
    // with a sign and at least two digits.
    auto result = std::to_chars(out, out + ZVI_NUMBER_TEXT - 1, value, std::chars_format::general, digits);
    if (result.ec != std::errc()) {
        out[0] = 0;
        return 0;
    }
    *result.ptr = 0;
    return int(result.ptr - out);
}

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The decimal exponent of the first significant digit of a number text whose
// conversion ran out of range: positive means too large, otherwise too small.
static long DecimalMagnitude(const char *mantissa, const char *mantissaEnd, long exponent)
{
    const char *p = mantissa;
    while (p < mantissaEnd && (*p == '0'))
        ++p;
    long intDigits = 0;
    while (p < mantissaEnd && IsDigit(*p)) {
        ++intDigits;
        ++p;
    }
    if (intDigits > 0)
        return intDigits - 1 + exponent;
    if (p < mantissaEnd && *p == '.')
        ++p;
    long zeros = 0;
    while (p < mantissaEnd && *p == '0') {
        ++zeros;
        ++p;
    }
    return exponent - zeros - 1;
}

// The decimal exponent of the first significant digit of a number text
// (after its sign) that ran out of range, read from its own characters.
static long MagnitudeOfText(const char *mantissa, const char *end)
{
    auto digit = [end](const char *c) { return c < end && IsDigit(*c); };
    const char *p = mantissa;
    while (digit(p))
        ++p;
    if (p < end && *p == '.') {
        ++p;
        while (digit(p))
            ++p;
    }
    const char *mantissaEnd = p;
    long exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char *q = p + 1;
        bool expNegative = false;
        if (q < end && (*q == '+' || *q == '-')) {
            expNegative = *q == '-';
            ++q;
        }
        while (digit(q)) {
            if (exponent < 1000000)
                exponent = exponent * 10 + (*q - '0');
            ++q;
        }
        if (expNegative)
            exponent = -exponent;
    }
    return DecimalMagnitude(mantissa, mantissaEnd, exponent);
}

int ZviParseNumber(const char *text, double *value)
{
    return ZviParseNumberOf(text, int(std::strlen(text)), value);
}

int ZviParseNumberOf(const char *text, int length, double *value)
{
    const char *p = text;
    const char *end = text + length;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // A digit, or a point and a digit, must begin it: "." alone, "inf" and
    // "nan" are no numbers here. from_chars then reads the same digits,
    // point and exponent (one with digits only) and stops where the number
    // ends, without a scan of its own before it.
    const char *mantissa = p;
    if (!(p < end && (IsDigit(*p) || (*p == '.' && p + 1 < end && IsDigit(p[1])))))
        return 0;
    double v = 0.0;
    auto result = std::from_chars(mantissa, end, v, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        v = MagnitudeOfText(mantissa, end) > 0 ? HUGE_VAL : 0.0;
    else if (result.ec != std::errc())
        return 0;
    // The sign goes on as a bit: the same as negating, without the FPU.
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    if (negative)
        bits ^= DOUBLE_SIGN_BIT;
    std::memcpy(value, &bits, sizeof bits);
    return 1;
}

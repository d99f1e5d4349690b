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

int ZviParseNumber(const char *text, double *value)
{
    const char *p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    const char *mantissa = p;
    int digits = 0;
    while (IsDigit(*p)) {
        ++p;
        ++digits;
    }
    if (*p == '.') {
        ++p;
        while (IsDigit(*p)) {
            ++p;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    const char *mantissaEnd = p;
    long exponent = 0;
    if (*p == 'e' || *p == 'E') {
        const char *q = p + 1;
        bool expNegative = false;
        if (*q == '+' || *q == '-') {
            expNegative = *q == '-';
            ++q;
        }
        if (IsDigit(*q)) {
            while (IsDigit(*q)) {
                if (exponent < 1000000)
                    exponent = exponent * 10 + (*q - '0');
                ++q;
            }
            if (expNegative)
                exponent = -exponent;
            p = q;
        }
    }
    double v = 0.0;
    auto result = std::from_chars(mantissa, p, v, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        v = DecimalMagnitude(mantissa, mantissaEnd, exponent) > 0 ? HUGE_VAL : 0.0;
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

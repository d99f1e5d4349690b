// Field validators.
#include "app/convert.h"
#include "dialogs/alert_check.h"

#include <cmath>
#include <cstring>

#include "app/window.h"
#include "dialogs/alert.h"
#include "dialogs/box08_term.h"
#include "geometry/calc.h"
#include "language/language.h"

namespace {

// Messages (eAlertTextOK entries).
constexpr int MSG_ANGLE = 5;
constexpr int MSG_NOT_INTEGER = 7;
constexpr int MSG_VALUE = 8;
constexpr int MSG_RESERVED_NAME = 12;
constexpr int MSG_EMPTY_NAME = 16;
constexpr int MSG_COORDINATE = 29;
constexpr int MSG_SEPARATOR_IN_NAME = 95;
constexpr int MSG_BLANK_NAME = 119;
// eUniTexts entry whose second character is the reserved name separator.
constexpr int SEPARATOR_TEXT = 38;

// Selects the whole text of a field and gives it the focus (the dialog
// toolkit's Box01DialogFocusEdit does the same for every dialog).
void SelectField(HWND dialog, int controlId)
{
    if (!dialog || controlId < 0)
        return;
    HWND field = GetDlgItem(dialog, controlId);
    if (!field)
        return;
    SendMessageA(field, EM_SETSEL, 0, -1);
    SetFocus(field);
}

void Fail(HWND dialog, const char *message, int controlId)
{
    if (!dialog)
        return;
    AlertOk(dialog, message);
    SelectField(dialog, controlId);
}

const DrawWindow &Current()
{
    return *g_ConvertState.window;
}

// Within one turn, keeping the sign; a whole turn itself stays.
double NormaliseAngle(double a)
{
    return std::fabs(a) > CALC_TWO_PI ? std::fmod(a, CALC_TWO_PI) : a;
}

} // namespace

int AlertCheckInputValue(HWND dialog, double lengthDivisor, double angleDivisor, const char *text, double *out,
                         double factor, double min, double max, const char *message, int controlId)
{
    double value = 0.0;
    if (!Box08TermCalculate(dialog, lengthDivisor, angleDivisor, text, &value)) {
        if (dialog)
            SelectField(dialog, controlId);
        return 0;
    }
    *out = value * factor;
    if (*out >= min && *out <= max)
        return 1;
    Fail(dialog, message ? message : eAlertTextOK[MSG_VALUE], controlId);
    return 0;
}

int AlertCheckInputValueEx(HWND dialog, double lengthDivisor, double angleDivisor, const char *text,
                           double *out, double factor, double min, double max, const char *message,
                           int controlId)
{
    return AlertCheckInputValue(dialog, lengthDivisor, angleDivisor, text, out, factor, min, max, message,
                                controlId);
}

int AlertCheckInputLength(HWND dialog, const char *text, double *out, int controlId)
{
    return AlertCheckInputLengthRange(dialog, text, out, controlId, -CALC_COORD_LIMIT, CALC_COORD_LIMIT,
                                      eAlertTextOK[MSG_VALUE]);
}

int AlertCheckInputLengthRange(HWND dialog, const char *text, double *out, int controlId, double min,
                               double max, const char *message)
{
    const DrawWindow &w = Current();
    return AlertCheckInputValue(dialog, w.lengthFactor, w.angleFactor, text, out, w.mmPerUnit, min, max,
                                message, controlId);
}

int AlertCheckInputWidth(HWND dialog, const char *text, double *out, int controlId)
{
    return AlertCheckInputWidthRange(dialog, text, out, controlId, ALERT_MIN_WIDTH, ALERT_MAX_WIDTH,
                                     eAlertTextOK[MSG_VALUE]);
}

int AlertCheckInputWidthRange(HWND dialog, const char *text, double *out, int controlId, double min,
                              double max, const char *message)
{
    const DrawWindow &w = Current();
    return AlertCheckInputValue(dialog, w.widthFactor, w.angleFactor, text, out, w.widthFactor, min, max,
                                message, controlId);
}

int AlertCheckInputAngle(HWND dialog, const char *text, double *out, int controlId)
{
    const DrawWindow &w = Current();
    return AlertCheckInputAngleEx(dialog, w.lengthFactor, w.angleFactor, text, out, w.angleFactor, controlId);
}

int AlertCheckInputAngleEx(HWND dialog, double lengthDivisor, double angleDivisor, const char *text,
                           double *out, double factor, int controlId)
{
    if (!AlertCheckInputValue(dialog, lengthDivisor, angleDivisor, text, out, factor, -ALERT_ANGLE_LIMIT,
                              ALERT_ANGLE_LIMIT, eAlertTextOK[MSG_ANGLE], controlId))
        return 0;
    *out = NormaliseAngle(*out);
    return 1;
}

int AlertCheckInputCoordinate(HWND dialog, const char *text, double *out, int controlId)
{
    const DrawWindow &w = Current();
    return AlertCheckInputValue(dialog, w.lengthFactor, w.angleFactor, text, out, 1.0, -CALC_COORD_LIMIT,
                                CALC_COORD_LIMIT, eAlertTextOK[MSG_COORDINATE], controlId);
}

int AlertCheckInputDouble(HWND dialog, const char *text, double *out, int controlId)
{
    return AlertCheckInputDoubleRange(dialog, text, out, controlId, -CALC_COORD_LIMIT, CALC_COORD_LIMIT,
                                      eAlertTextOK[MSG_VALUE]);
}

int AlertCheckInputDoubleRange(HWND dialog, const char *text, double *out, int controlId, double min,
                               double max, const char *message)
{
    return AlertCheckInputValue(dialog, 1.0, CONVERT_DEGREE_FACTOR, text, out, 1.0, min, max, message, controlId);
}

int AlertScaleAngle(HWND dialog, double *angle, double factor)
{
    const double a = *angle;
    const double scaled = a * factor;
    if (!(a >= -CALC_COORD_LIMIT && a <= CALC_COORD_LIMIT) ||
        !(scaled >= -CALC_COORD_LIMIT && scaled <= CALC_COORD_LIMIT)) {
        if (dialog)
            AlertOk(dialog, eAlertTextOK[MSG_VALUE]);
        return 0;
    }
    *angle = NormaliseAngle(scaled);
    return 1;
}

int AlertCheckDoubleRange(HWND dialog, double value)
{
    if (value >= -CALC_COORD_LIMIT && value <= CALC_COORD_LIMIT)
        return 1;
    if (dialog)
        AlertOk(dialog, eAlertTextOK[MSG_VALUE]);
    return 0;
}

int AlertCheckInputName(HWND dialog, int controlId, const char *name, int allowEmpty)
{
    if (!name)
        name = "";
    int message = 0;
    const char *separatorText = eUniTexts[SEPARATOR_TEXT];
    const char separator = separatorText && separatorText[0] ? separatorText[1] : 0;
    if (!*name && !allowEmpty)
        message = MSG_EMPTY_NAME;
    else if (name[0] == '*' || name[0] == '~')
        message = MSG_RESERVED_NAME;
    else if (*name && std::strspn(name, " ") == std::strlen(name))
        message = MSG_BLANK_NAME;
    else if (separator && std::strchr(name, separator))
        message = MSG_SEPARATOR_IN_NAME;
    if (!message)
        return 1;
    Fail(dialog, eAlertTextOK[message], controlId);
    return 0;
}

int AlertCheckInputIntField(HWND dialog, int controlId, int min, int max, const char *rangeMessage, int *out)
{
    char text[64];
    GetDlgItemTextA(dialog, controlId, text, sizeof text);
    const int v = ConvertStringToInt(text);
    if (v == CONVERT_NO_INT || v < min || v > max) {
        Fail(dialog, v == CONVERT_NO_INT ? eAlertTextOK[MSG_NOT_INTEGER] : rangeMessage, controlId);
        return 0;
    }
    *out = v;
    return 1;
}

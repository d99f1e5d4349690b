// Field validators: a field's text evaluated as a term in the current units,
// converted to the internal unit (millimetres, radians) and checked against a
// range; names of definitions checked against the naming rules.
//
// Each returns 1 when the value is valid. On failure it shows one message to
// the dialog, selects the field (controlId -1: none) and returns 0; with a NULL
// dialog it shows and selects nothing.
#pragma once

#include <windows.h>

constexpr double ALERT_ANGLE_LIMIT = 1e10;
constexpr double ALERT_MIN_WIDTH = 1e-10;
constexpr double ALERT_MAX_WIDTH = 1e10;

// The worker: evaluates text with the two divisors, stores value x factor in
// out and checks min <= value <= max; message NULL means eAlertTextOK entry 8.
// An out-of-range value stays in out.
int AlertCheckInputValue(HWND dialog, double lengthDivisor, double angleDivisor, const char *text, double *out,
                         double factor, double min, double max, const char *message, int controlId);
int AlertCheckInputValueEx(HWND dialog, double lengthDivisor, double angleDivisor, const char *text,
                           double *out, double factor, double min, double max, const char *message,
                           int controlId);

// Lengths in the current length unit, to drawing millimetres.
int AlertCheckInputLength(HWND dialog, const char *text, double *out, int controlId);
int AlertCheckInputLengthRange(HWND dialog, const char *text, double *out, int controlId, double min,
                               double max, const char *message);
// Line widths in the current width unit, to millimetres.
int AlertCheckInputWidth(HWND dialog, const char *text, double *out, int controlId);
int AlertCheckInputWidthRange(HWND dialog, const char *text, double *out, int controlId, double min,
                              double max, const char *message);
// Angles in the current angle unit, to radians, brought within one turn.
int AlertCheckInputAngle(HWND dialog, const char *text, double *out, int controlId);
int AlertCheckInputAngleEx(HWND dialog, double lengthDivisor, double angleDivisor, const char *text,
                           double *out, double factor, int controlId);
// A coordinate in the current system's units, unscaled.
int AlertCheckInputCoordinate(HWND dialog, const char *text, double *out, int controlId);
// A plain number: length suffixes read as millimetres, angle suffixes as degrees.
int AlertCheckInputDouble(HWND dialog, const char *text, double *out, int controlId);
int AlertCheckInputDoubleRange(HWND dialog, const char *text, double *out, int controlId, double min,
                               double max, const char *message);

// An evaluated angle times factor, brought within one turn (no field selected).
int AlertScaleAngle(HWND dialog, double *angle, double factor);
// 1 when -1e100 <= value <= 1e100.
int AlertCheckDoubleRange(HWND dialog, double value);
// The naming rules of definitions (pens, layers, line types, systems ...).
int AlertCheckInputName(HWND dialog, int controlId, const char *name, int allowEmpty);
// The whole number of an edit field within min .. max; 0 after telling the
// user (not a number: eAlertTextOK entry 7, else rangeMessage) with the field selected.
int AlertCheckInputIntField(HWND dialog, int controlId, int min, int max, const char *rangeMessage, int *out);

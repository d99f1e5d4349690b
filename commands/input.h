// The interactive input: the state machine that walks a command through the
// steps of its template, the construction dispatch and the XOR feedback.
#pragma once

#include <cstdint>

#include "commands/command_tables.h"

// --- the state machine (input.cpp); codes are INPUT_* of command_state.h

// The prompt of a step of point kind kind: its point name, or the plain
// point name when the language module has none for it.
const char *InputPointName(int32_t kind);
int InputStart(int commandId);
int InputReset();
int InputBeginFirstStep();
int InputEnterStep(double x, double y);
void InputMove(double x, double y);
int InputPoint(double x, double y, int fromClick);
int InputStepBack();
int InputNextAction();
int InputStepIsAutomatic();
void InputSetIndex(int n);
// A selection-menu command on the current selection step: 1 when the step
// may complete now.
int InputSelectionCommand(uint32_t mask);

// --- the steps' own operations, built with the commands that need them

// Before the input of a command starts: parameter dialogs, the module's
// consent, the symbol slot; 0 refuses the start (input_prepare.cpp).
int InputPrepareCommand(int commandId);
// The symbol window's current insertion slot (-1 none) is given up when a
// symbol insertion is cancelled.
void InputCancelSymbolSlot();
extern int32_t g_InputSymbolSlot;
// Validation when a step is entered (a code, INPUT_CONTINUE for most).
int InputValidateStep(int index, double x, double y);
// The command's own accept operation after a successful click.
int InputAccept(int index, double x, double y);
// What an open-ended list does next.
int InputPolylineNext(int index);

// The pick of a step whose kind picks or selects (kinds from 45 on): the
// identification on accept. 1 when the step is taken, 0 refuses the click
// (input_identify.cpp).
int InputIdentifyStep(int kind, int window, double x, double y);
// A selection step's click (kinds 135 to 144): 1 taken, 0 refused, and
// INPUT_SELECTION_OPEN while an additive selection (Ctrl held) or a selection
// rectangle (Shift held: the click is its first corner) stays open
// (input_select.cpp).
constexpr int INPUT_SELECTION_OPEN = 2;
int InputSelectionStep(int kind, int window, double x, double y);
// The selection operations of the steps (input_identify.cpp):
// identifies the object under the click by the kind's operation and toggles
// its selection (points: the points near the click); 1 when one was toggled,
// and also when the click found nothing and began a selection frame that the
// release of the button closes (the rectangle is then pending);
int InputSelectPicked(int kind, int window, double x, double y);
// toggles what lies in the rectangle (x1, y1, x2, y2); the number toggled;
int InputSelectInRectangle(int kind, const double rect[4]);
// a selection-menu command (1000 to 1002): selects by the kind's operation
// and the mask; the number selected;
int InputSelectByMenu(int32_t kind, uint32_t mask);
// draws the selection state (points 1: the point handles) where it changed.
void InputRedrawSelection(int points);
// The left button was released at the client pixel (x, y) after a press
// that began a selection frame where nothing could be picked: 1 when the
// cursor moved, so that the release closes the frame like a second click at
// the cursor position; 0 otherwise (the frame is given up).
int InputSelectionRelease(int window, int x, int y);
// Pixels the mouse must move between press and release to make a drag.
constexpr double DRAG_PIXELS = 3.0;
// The command's selection is dropped: all of it when its input starts again,
// the point or the object selection when a selection step is entered again.
void InputDropSelection();
void InputDropPointSelection();
void InputDropObjectSelection();

// --- constructions (input_construct.cpp)

// 1 when the cursor gives a valid point for the step.
int InputConstructDispatch(int index, double x, double y);
int InputConstruct(int index, double x, double y);
int InputConstructPolyline(int index, double x, double y);
// Of the first count candidates of the geometry result buffer, the one
// nearest to p; 1 when count > 0.
int InputNearestPoint(double out[2], const double p[2], int count);
// The constructions of a family (CONSTRUCT_*; CONSTRUCT_POLYLINE the
// open-ended lists): null until built, the entered position is then the
// construction point. Result 1 when the cursor gives a valid point.
typedef int (*InputConstructor)(int index, double x, double y);
extern InputConstructor g_InputConstructors[CONSTRUCT_FAMILY_COUNT];
// The family of constructions a command has at a point index.
ConstructFamily InputConstructFamily(int commandId, int index);
void InputPointToSystem(const double p[2], double out[2]);
void InputPointFromSystem(const double p[2], double out[2]);
int InputPerpendicularFootInSystem(const double a[2], const double b[2], const double p[2], double out[2]);

// --- plug-in commands (input_plugin.cpp)

// The template words of a plug-in command's entry, or null when its module
// or command does not exist.
const InputTemplate *InputPluginTemplate(int commandId);

// --- the XOR feedback (input_feedback.cpp)

// Draw and erase the rubber band; flag 1 the moving part, 4 everything.
void InputFeedbackShow(uint32_t flags);
void InputFeedbackHide(uint32_t flags);
// The painters: 1 when they drew something into the window. The rubber band
// of the commands joins through the two painter pointers; without one nothing
// is drawn.
int InputFeedbackDraw(int window, uint32_t flags);
int InputDrawReferenceMark(int window, uint32_t flags);
typedef int (*InputFeedbackPainter)(int window, uint32_t flags);
extern InputFeedbackPainter g_InputFeedbackPainter;
extern InputFeedbackPainter g_InputReferencePainter;
// The window the rubber band is drawn in (-1 none).
extern int32_t g_InputFeedbackWindow;
// 1 unless the command is the transparent zoom rectangle.
int InputIsNotTransparent(int32_t commandId);

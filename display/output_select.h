// Selection, handles and redraw abort: the highlights that show an object's
// state on top of its normal look (the current pick candidate, selected and
// marked objects), the handles of its points, point numbers, the redraws
// that bring those up to date without repainting a window, and the check
// that stops a long redraw when the user presses a key or a mouse button.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "database/unit.h"
#include "geometry/matrix.h"

// Drawing a selected object's highlight sets the running command's
// selectionDrawn word, drawing a selected point's box its handlesDrawn word.
// While Space is held for zooming only left and right clicks stop a redraw.

int OutputObjectSelection(HDC hdc, Unit *object, int selectedPass, int markedPass);
int OutputDrawSelectionState(HDC hdc, Unit *object, int erase);
int OutputDrawPickFrame(HDC hdc, Unit *object);
COLORREF OutputContrastColour(HDC hdc, COLORREF colour, COLORREF reference);

int OutputDrawPlainSelection(HDC hdc, Unit *object, const XProperty *parent, const Matrix *matrix, int clip);
int OutputDrawInstanceSelection(HDC hdc, Unit *instance, const XProperty *parent, const Matrix *matrix, int clip);
// A clip surface's symbol in the selection pen (the caller has clipped to the
// outline); nothing for a surface kept out of outline-only redraws.
int OutputSymbolFillSelection(HDC hdc, Unit *surface, const XProperty *parent, const Matrix *matrix, int clip);

int OutputDrawHandles(HDC hdc, Unit *object);
int OutputHandlesDraw(HDC hdc, Unit *object, const XProperty *parent, const Matrix *matrix);
int OutputHandlesPlugin(HDC hdc, Unit *object, const XProperty *parent, const Matrix *matrix);
int OutputHandlesInstance(HDC hdc, Unit *instance, const XProperty *parent, const Matrix *matrix);
// Point numbers: objects are numbered 1, 2, ... in list order, the members
// of instances with them; with draw 0 an object is only counted.
int OutputDrawPointNumbers(HDC hdc, Unit *object, int32_t *counter);
int OutputPointNumbersPlain(HDC hdc, Unit *object, const XProperty *parent, const Matrix *matrix, int32_t *counter,
                            int draw);
int OutputPointNumbersInstance(HDC hdc, Unit *instance, const XProperty *parent, const Matrix *matrix,
                               int32_t *counter, int draw);

// Runs `draw` on a device context of a drawing window (999 the view window)
// with the output set up for it; the output context is kept around it.
void OutputWithWindowDC(int window, const std::function<void(HDC)> &draw);
// Draws (erase 1) or removes the highlight of a candidate in a drawing
// window, as identification does while its box is open.
void OutputDrawSelectionInWindow(int window, Unit *object, int erase);
// The highlights and handles of every object in a window's paint (after its passes).
void OutputPaintSelection(HDC hdc);
// Brings the highlights of every drawing window up to date (objects whose
// change bits 0x10 or 0x20 are set); the last window clears the bits.
void OutputRedrawSelection();

// The redraw abort: whether the message queue holds what stops a redraw
// (looked at without removing anything).
int OutputAbortQueueSaysStop();

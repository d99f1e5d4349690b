// What the dimension commands show at each step: the measured points, the
// measuring direction, the dimension line or arc, and the text's frame, as
// the dimension constructions leave them in the construction points.
#include "commands/input_rubber.h"

#include "commands/command_state.h"

namespace {

void Line(HDC hdc, int i, int j, int draw) { InputFeedbackLine(hdc, i, j, draw); }

bool Distance(HDC hdc, int p, int fixed, int moving)
{
    if (p >= 3)
        Line(hdc, 0, 7, fixed);
    if (p >= 4)
        Line(hdc, 7, 1, fixed);
    switch (p) {
    case 1: Line(hdc, 0, 1, moving); break;
    case 2:
        Line(hdc, 0, 1, fixed);
        InputFeedbackEndlessLine(hdc, 0, 2, moving);
        break;
    case 3:
        Line(hdc, 0, 9, moving);
        InputFeedbackEndlessLine(hdc, 9, 10, moving);
        break;
    case 4:
        Line(hdc, 9, 10, moving);
        Line(hdc, 4, 10, moving);
        break;
    case 5: case 6:
        Line(hdc, 9, 10, fixed);
        Line(hdc, p == 5 ? 5 : 11, p == 5 ? 11 : 6, moving);
        InputFeedbackFrame(hdc, moving);
        break;
    default: break;
    }
    return true;
}

bool Radius(HDC hdc, int p, int fixed, int moving)
{
    switch (p) {
    case 1: Line(hdc, 0, 1, moving); break;
    case 2: InputFeedbackEndlessLine(hdc, 0, 2, moving); break;
    case 3:
        Line(hdc, 7, 9, moving);
        Line(hdc, 9, 10, moving);
        break;
    case 4: case 5:
        Line(hdc, 9, 10, fixed);
        Line(hdc, p == 4 ? 4 : 11, p == 4 ? 11 : 5, moving);
        InputFeedbackFrame(hdc, moving);
        break;
    default: break;
    }
    return true;
}

bool Angle(HDC hdc, int p, int fixed, int moving)
{
    if (p == 1) {
        Line(hdc, 0, 1, moving);
        return true;
    }
    if (p >= 2)
        Line(hdc, 0, 1, fixed);
    if (p == 3)
        Line(hdc, 2, 3, moving);
    if (p >= 4) {
        Line(hdc, 2, 3, fixed);
        InputFeedbackCircleArc(hdc, 7, 10, 11, 13, p == 4 ? moving : fixed);
    }
    if (p == 6)
        Line(hdc, 14, 6, moving);
    if (p >= 5)
        InputFeedbackFrame(hdc, moving);
    return true;
}

bool ArcLength(HDC hdc, int p, int fixed, int moving)
{
    switch (p) {
    case 1: InputFeedbackCircle(hdc, 0, 1, moving); return true;
    case 2: Line(hdc, 0, 2, moving); return true;
    case 3:
        InputFeedbackCircleArc(hdc, 0, 2, 3, 8, moving);
        Line(hdc, 0, 3, moving);
        return true;
    default: break;
    }
    if (p < 4)
        return true;
    InputFeedbackCircleArc(hdc, 0, 2, 3, 8, fixed);
    InputFeedbackCircleArc(hdc, 0, 10, 11, 8, p == 4 ? moving : fixed);
    if (p == 6)
        Line(hdc, 12, 6, moving);
    if (p >= 5)
        InputFeedbackFrame(hdc, moving);
    return true;
}

} // namespace

bool InputFeedbackDrawDimension(HDC hdc, int command, int p, int fixed, int moving)
{
    switch (command) {
    case 809: case 810: case 811: case 812:
        return (command == 809 || command == 811 || p != 1) ? Distance(hdc, p, fixed, moving) : true;
    case 813: case 814: case 815: case 816:
        return (command == 813 || command == 815 || p != 1) ? Radius(hdc, p, fixed, moving) : true;
    case 817: case 818: case 819: case 843:
        if ((command == 818 || command == 819) && p < 4)
            return true;
        return Angle(hdc, p, fixed, moving);
    case 820: case 821:
        return (command == 820 || p >= 4) ? ArcLength(hdc, p, fixed, moving) : true;
    case 822:
        if (p == 1 || p == 2) {
            Line(hdc, p - 1, p, moving);
            InputFeedbackFrame(hdc, moving);
        }
        return true;
    case 828: case 831:
        if (p == 1)
            InputFeedbackEndlessLine(hdc, 2, 1, moving);
        return true;
    case 832:
        Line(hdc, 2, 1, moving && p == 1);
        return true;
    case 829: {
        if (p != 1)
            return true;
        const GeoObject &g = g_CommandState->elementGeo[0];
        if (g.type == 28 || g.type == 29)
            InputFeedbackCircleArc(hdc, 2, 3, 4, 5, moving);
        else if (g.contour == 2)
            Line(hdc, 2, 1, moving);
        else
            InputFeedbackEndlessLine(hdc, 2, 1, moving);
        return true;
    }
    default: return false;
    }
}

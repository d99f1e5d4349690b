// What each built-in command shows of the object under construction at each
// step. Shapes marked fixed depend only on accepted points; everything else
// follows the cursor and is redrawn at every move.
#include "commands/input_rubber.h"

#include "app/system.h"
#include "commands/command_state.h"

namespace {

constexpr int TEMPLATE_RECTANGLE_FIRST_STEP = 118;
constexpr int TEMPLATE_RECTANGLE_SECOND_STEP = 77;

int ArcMode() { return g_DrawingSettings.displayArcsMode; }

// The lines that close a sector (mode 1) or a segment (mode 2) while its arc
// is entered.
void ArcModeLines(HDC hdc, int command, int fixed, int moving)
{
    const int mode = ArcMode();
    switch (command) {
    case 548:
    case 552:
        if (mode == 1)
            InputFeedbackLine(hdc, 0, 2, fixed);
        else if (mode == 2)
            InputFeedbackLine(hdc, 2, 3, moving);
        break;
    case 550:
        if (mode == 1) {
            InputFeedbackLine(hdc, 3, 0, moving);
            InputFeedbackLine(hdc, 3, 1, moving);
        } else if (mode == 2) {
            InputFeedbackLine(hdc, 0, 1, moving);
        }
        break;
    case 563:
    case 564:
        if (mode == 1)
            InputFeedbackLine(hdc, 0, 3, fixed);
        else if (mode == 2)
            InputFeedbackLine(hdc, 3, 4, moving);
        break;
    default: break;
    }
}

// Start and end on a guide: the line and the last position's leader.
void GuideLine(HDC hdc, int p, int last, int raw2, int raw3, int moving)
{
    if (p == last - 1) {
        InputFeedbackLine(hdc, 0, raw2, moving);
    } else if (p == last) {
        InputFeedbackLine(hdc, 0, 1, moving);
        InputFeedbackLine(hdc, 1, raw3, moving);
    }
}

bool Lines(HDC hdc, int command, int p, int fixed, int moving)
{
    switch (command) {
    case 207: case 501: case 514: case 516: case 544: case 640: case 806: case 837: case 840:
        InputFeedbackLine(hdc, 0, 1, moving && p == 1);
        return true;
    case 506:
        InputFeedbackEndlessLine(hdc, 4, 5, moving && p == 1);
        GuideLine(hdc, p, 3, 3, 4, moving);
        return true;
    case 507: case 508: case 509:
        InputFeedbackEndlessLine(hdc, 4, 5, moving && p == 1);
        GuideLine(hdc, p, 3, 2, 3, moving);
        return true;
    case 510:
        if (p == 2)
            InputFeedbackLine(hdc, 0, 1, moving);
        else if (p == 3)
            GuideLine(hdc, p, 3, 4, 4, moving);
        return true;
    case 519:
        InputFeedbackEndlessLine(hdc, 2, 3, moving && p == 1);
        GuideLine(hdc, p, 3, 4, 4, moving);
        return true;
    case 520: GuideLine(hdc, p, 2, 4, 4, moving); return true;
    case 512: case 572: case 573:
        if (p == 1)
            InputFeedbackLine(hdc, 0, 1, moving);
        else if (p >= 2)
            InputFeedbackPolyline(hdc, p, 0, fixed, moving);
        return true;
    case 527:
        if (p == 1)
            InputFeedbackLine(hdc, 0, 1, moving);
        else if (p >= 2)
            InputFeedbackPolyline(hdc, p, 1, fixed, moving);
        return true;
    case 523:
        if (p == 1)
            InputFeedbackLine(hdc, 0, 1, moving);
        else if (p == 2)
            InputFeedbackPolyline(hdc, 2, 1, fixed, moving);
        return true;
    case 524:
        if (p == 1)
            InputFeedbackLine(hdc, 0, 1, moving);
        else if (p == 2)
            InputFeedbackPolyline(hdc, 2, 0, fixed, moving);
        else if (p == 3)
            InputFeedbackPolyline(hdc, 3, 1, fixed, moving);
        return true;
    case 525: case 642:
        if (p == 1)
            InputFeedbackLine(hdc, 0, 1, moving);
        else if (p == 2)
            InputFeedbackPolyline(hdc, 3, 1, fixed, moving);
        return true;
    case 526: // the whole quadrilateral follows the cursor
        if (p == 1)
            InputFeedbackPolyline(hdc, 3, 1, moving, moving);
        return true;
    case 529:
        if (p == 1) {
            InputFeedbackPolygon(hdc, 0, 1, 0, moving);
        } else if (p == 2) {
            InputFeedbackPolygon(hdc, 0, 1, 2, moving);
            InputFeedbackLine(hdc, 0, 2, moving);
        }
        return true;
    case 531:
        if (p == 1) {
            InputFeedbackLine(hdc, 0, 1, moving);
        } else if (p == 2) {
            InputFeedbackPolygon(hdc, 4, 0, 4, moving);
            InputFeedbackPolyline(hdc, 2, 0, fixed, moving);
        } else if (p == 3) {
            InputFeedbackPolygon(hdc, 4, 0, 3, moving);
            InputFeedbackLine(hdc, 4, 3, moving);
        }
        return true;
    case 533: // the corner cp 2 comes from the side length, the direction is cp 1
        if (p == 1) {
            InputFeedbackPolygon(hdc, 0, 2, 1, moving);
            InputFeedbackLine(hdc, 0, 1, moving);
        }
        return true;
    case 574:
        if (p >= 1)
            InputFeedbackOpenPath(hdc, p, fixed);
        return true;
    case 575:
        if (p >= 1)
            InputFeedbackClosedPath(hdc, p, fixed);
        return true;
    case 646: InputFeedbackLine(hdc, 1, 2, moving && p == 2); return true;
    case 647: InputFeedbackLine(hdc, 2, 3, moving && p == 3); return true;
    case 649:
        if (p == 3) {
            InputFeedbackLine(hdc, 2, 3, moving);
        } else if (p == 4) {
            InputFeedbackLine(hdc, 2, 3, moving);
            InputFeedbackLine(hdc, 3, 4, moving);
            InputFeedbackLine(hdc, 4, 5, moving);
            InputFeedbackLine(hdc, 5, 2, moving);
        }
        return true;
    default: return false;
    }
}

bool Curves(HDC hdc, int command, int p, int fixed, int moving)
{
    switch (command) {
    case 536: case 541: InputFeedbackCircle(hdc, 0, 1, moving && p == 1); return true;
    case 538: case 540:
        if (p == 1) {
            InputFeedbackLine(hdc, 0, 1, moving);
        } else if (p == 2) {
            InputFeedbackCircle(hdc, 3, command == 538 ? 0 : 4, moving);
            InputFeedbackPolyline(hdc, 2, 1, fixed, moving);
        }
        return true;
    case 542:
        if (p == 1) {
            InputFeedbackEndlessLine(hdc, 4, 5, moving);
        } else if (p == 2) {
            InputFeedbackCircle(hdc, 0, 1, moving);
            InputFeedbackLine(hdc, 0, 3, moving);
        }
        return true;
    case 548: case 552: case 807:
        if (p == 1) {
            InputFeedbackCircle(hdc, 0, 1, moving);
        } else if (p == 2) {
            InputFeedbackLine(hdc, 0, 2, moving);
        } else if (p == 3) {
            InputFeedbackCircleArc(hdc, 0, 2, 3, 5, moving);
            if (command != 807)
                ArcModeLines(hdc, command, fixed, moving);
            InputFeedbackLine(hdc, 0, 3, moving);
        }
        return true;
    case 550:
        if (p == 1) {
            InputFeedbackLine(hdc, 0, 1, moving);
        } else if (p == 2) {
            InputFeedbackCircleArc(hdc, 3, 0, 1, 5, moving);
            ArcModeLines(hdc, command, fixed, moving);
        }
        return true;
    case 558: InputFeedbackEllipse(hdc, 0, 1, 2, moving && p == 1); return true;
    case 559:
        if (p == 1 || p == 2)
            InputFeedbackEllipse(hdc, 0, 1, 2, moving);
        if (p == 2)
            InputFeedbackLine(hdc, 0, 3, moving);
        return true;
    case 560:
    case 564:
        if (p == 1) {
            InputFeedbackLine(hdc, 0, 1, moving);
        } else if (p == 2) {
            InputFeedbackLine(hdc, 0, 1, fixed);
            InputFeedbackEllipse(hdc, 0, 1, 2, moving);
            InputFeedbackLine(hdc, 0, 2, moving);
        } else if (command == 564 && p == 3) {
            InputFeedbackLine(hdc, 0, 3, moving);
        } else if (command == 564 && p == 4) {
            InputFeedbackEllipseArc(hdc, 0, 1, 2, 3, 4, 6, moving);
            ArcModeLines(hdc, command, fixed, moving);
            InputFeedbackLine(hdc, 0, 4, moving);
        }
        return true;
    case 563:
        if (p == 1) {
            InputFeedbackEllipse(hdc, 0, 1, 2, moving);
        } else if (p == 2) {
            InputFeedbackLine(hdc, 0, 3, moving);
        } else if (p == 3) {
            InputFeedbackEllipseArc(hdc, 0, 1, 2, 3, 4, 6, moving);
            ArcModeLines(hdc, command, fixed, moving);
            InputFeedbackLine(hdc, 0, 4, moving);
        }
        return true;
    default: return false;
    }
}

// Insertions, selections and the pointer's handles.
bool Frames(HDC hdc, int command, int p, int fixed, int moving)
{
    const int templ = g_CommandState->templateNumber;
    if (templ == TEMPLATE_RECTANGLE_FIRST_STEP && p == 1) {
        InputFeedbackRectangle(hdc, g_ConstructionPoints[0].x, g_ConstructionPoints[0].y,
                               g_ConstructionPoints[1].x, g_ConstructionPoints[1].y, moving);
        return true;
    }
    if ((templ == TEMPLATE_RECTANGLE_SECOND_STEP || command == 903) && (p == 2 || (command == 903 && p == 3))) {
        InputFeedbackRectangle(hdc, g_ConstructionPoints[1].x, g_ConstructionPoints[1].y,
                               g_ConstructionPoints[2].x, g_ConstructionPoints[2].y, p == 3 ? fixed : moving);
        return true;
    }
    switch (command) {
    case 301: case 303: case 801: case 901: InputFeedbackFrame(hdc, moving && p == 0); return true;
    case 403:
        if (p >= 1) {
            InputFeedbackHandles(hdc, fixed);
            InputFeedbackFrame(hdc, moving && p % 2 == 0);
        }
        return true;
    case 405: case 439: InputFeedbackFrame(hdc, moving && p == 2); return true;
    case 416: case 423: case 424:
        InputFeedbackFrame(hdc, moving && p == 2);
        InputFeedbackLine(hdc, 1, 2, moving && p == 2);
        return true;
    case 443:
        InputFeedbackLine(hdc, 0, 1, moving && p == 1);
        InputFeedbackMarker(hdc, 1, moving && p == 1);
        return true;
    default:
        if (command >= COMMAND_SYMBOL_FIRST && command <= COMMAND_SYMBOL_LAST) {
            InputFeedbackFrame(hdc, moving && p == 0);
            return true;
        }
        return false;
    }
}

} // namespace

void InputFeedbackDrawCommand(HDC hdc, int p, int fixed, int moving)
{
    const int command = g_CommandState->commandId;
    if (Frames(hdc, command, p, fixed, moving))
        return;
    if (Lines(hdc, command, p, fixed, moving))
        return;
    if (InputFeedbackDrawDimension(hdc, command, p, fixed, moving))
        return;
    Curves(hdc, command, p, fixed, moving);
}

// The values some commands need before their points: corner counts,
// lengths, angles and radii, asked in the generic value dialogs and kept in
// the remembered command values.
#include "commands/input_prepare_dialogs.h"

#include <cstdio>
#include <cstring>

#include "app/convert.h"
#include "app/darad4.h"
#include "app/init_sound.h"
#include "app/system.h"
#include "commands/command_state.h"
#include "database/object_attributes.h"
#include "database/object_rects.h"
#include "database/storage.h"
#include "dialogs/alert.h"
#include "dialogs/box02.h"
#include "database/object.h"
#include "dialogs/box07.h"
#include "dialogs/box10_dim.h"
#include "display/symbol.h"
#include "language/language.h"

namespace {

// eBoxText prompts.
constexpr int PROMPT_CORNERS = 0;
constexpr int PROMPT_POLYGON_LENGTH = 1;
constexpr int PROMPT_INDENT = 4;
constexpr int PROMPT_TOLERANCE = 6;
constexpr int PROMPT_RADIUS = 7;
constexpr int PROMPT_LENGTH = 8;
constexpr int PROMPT_ANGLE = 9;
constexpr int PROMPT_CHAMFER_LENGTH = 11;
// eAlertTextSM: a corner count outside 3 to 99.
constexpr int ALERT_CORNER_COUNT = 10;
constexpr size_t CAPTION_SIZE = 256;

const char *Prompt(int index) { return eBoxText[index] ? eBoxText[index] : ""; }

bool CornersValid(int32_t n) { return n >= POLYGON_CORNERS_MIN && n <= POLYGON_CORNERS_MAX; }

// The corner count (and for 533 the side length) until it is accepted or
// the dialog cancelled; stored only when accepted.
int AskPolygon(HWND owner, const char *caption, bool withLength)
{
    CommandDefaults &d = g_CommandDefaults;
    int32_t corners = d.counts[COMMAND_COUNT_CORNERS];
    double length = d.distances[COMMAND_DISTANCE_POLYGON_LENGTH];
    for (;;) {
        const int ok = withLength ? Box02EditIntLength(owner, caption, Prompt(PROMPT_CORNERS), &corners,
                                                       Prompt(PROMPT_POLYGON_LENGTH), &length)
                                  : Box02EditInt(owner, caption, Prompt(PROMPT_CORNERS), &corners);
        if (!ok)
            return 0;
        if (CornersValid(corners))
            break;
        AlertButton1(owner, eAlertTextSM[ALERT_CORNER_COUNT]);
    }
    d.counts[COMMAND_COUNT_CORNERS] = corners;
    if (withLength)
        d.distances[COMMAND_DISTANCE_POLYGON_LENGTH] = length;
    return 1;
}

struct NumberRange {
    int first, last;
};

bool InRanges(int n, const NumberRange *ranges, size_t count)
{
    for (size_t k = 0; k < count; ++k)
        if (n >= ranges[k].first && n <= ranges[k].last)
            return true;
    return false;
}

constexpr NumberRange FIRST_GROUP[] = {{301, 301}, {303, 303}, {508, 509}, {513, 513}, {520, 520}, {529, 534},
                                       {544, 546}, {554, 556}, {608, 609}, {616, 616}, {627, 629}, {723, 725},
                                       {727, 729}, {731, 733}, {801, 801}, {803, 803}, {901, 901}};
constexpr NumberRange SECOND_GROUP[] = {{445, 445}, {452, 452}, {514, 514}, {572, 572}, {578, 578}, {711, 711},
                                        {714, 717}, {736, 736}, {751, 751}, {806, 807}, {809, 822}, {824, 825},
                                        {906, 906}};

int AskLength(HWND owner, const char *caption, int prompt, double *value)
{
    return Box02EditLength(owner, caption, Prompt(prompt), value);
}

// The standard text's settings and remembered text in its dialog; on OK the
// settings go back to the drawing, and the text, measured at the origin,
// gives the insertion frame R and its matrix M (height, width factor, slant,
// angle). A text that cannot be measured is refused with a beep.
int AskStandardText(HWND owner, const char *caption)
{
    TempBlock<ObjectAttributes> attributes(1, __FILE_NAME__, __LINE__);
    if (!attributes)
        return 1;
    ObjectAttributes &a = *attributes.get();
    ObjectAttributesInit(&a);
    TextSettings &s = g_DrawingSettings.textStd;
    a.present[ATTR_STD_TEXT] = 1;
    AttrStdText &t = a.stdText;
    t.font = s.font;
    t.charSpacing = s.distance[0];
    t.tabUnit = s.distance[1];
    t.lineSpacing = s.distance[2];
    t.height = s.height;
    t.ratio = s.geometry[0];
    t.rotation = s.geometry[1];
    t.slant = s.geometry[2];
    t.x = t.y = 0.0;
    t.alignment = s.mode;
    char *text = g_LocalData.texts[LOCAL_STD_TEXT];
    if (!Box07TextStandard(owner, caption, &a, text))
        return 0;
    s.font = t.font;
    s.distance[0] = t.charSpacing;
    s.distance[1] = t.tabUnit;
    s.distance[2] = t.lineSpacing;
    s.height = t.height;
    s.geometry[0] = t.ratio;
    s.geometry[1] = t.rotation;
    s.geometry[2] = t.slant;
    s.mode = t.alignment;
    ObjectAttributesTextMatrix(&t, &g_CommandState->matrix);
    if (!SymbolMeasureText(&s.font, text, s.distance[0], s.distance[1], s.distance[2])) {
        InitBeep();
        return 0;
    }
    double *r = g_CommandState->rect;
    std::memcpy(r, g_ExtentsRect, sizeof g_CommandState->rect);
    if (!(r[0] <= r[2] && r[1] <= r[3])) // an empty text: the frame shrinks to the cursor
        r[0] = r[1] = r[2] = r[3] = 0.0;
    return 1;
}

// Field masks of the large-dimension dialog: 811 and 812 measure along what
// they pick (no orientation), the angle and arc dimensions have no
// dimension-line form either.
constexpr uint32_t FIELDS_NO_ORIENTATION = 0xFFF7FF;
constexpr uint32_t FIELDS_NO_ORIENTATION_NO_LINE = 0xFFE7FF;

// The dimension settings of the command's kind in their dialog; they go back
// to the drawing whatever the dialog's result.
int AskDimensionSettings(HWND owner, const char *caption, int commandId)
{
    TempBlock<ObjectAttributes> attributes(1, __FILE_NAME__, __LINE__);
    if (!attributes)
        return 0;
    ObjectAttributes &a = *attributes.get();
    ObjectAttributesInit(&a);
    int32_t group = ATTR_DIM_LARGE;
    int variant = commandId - 809;
    if (commandId == 806 || commandId == 807)
        group = ATTR_LINE_END, variant = commandId - 806;
    else if (commandId >= 822)
        group = ATTR_DIM_SMALL, variant = commandId == 822 ? 0 : commandId - 823;
    ObjectDimAttributesFromSettings(&a, group, variant);
    uint32_t result;
    uint32_t *editText = &g_DrawingSettings.dimLayoutEditText;
    if (group == ATTR_LINE_END) {
        result = Box10DimensionParam0(owner, caption, &a);
    } else if (group == ATTR_DIM_SMALL) {
        result = Box10DimensionParam2(owner, caption, &a, editText, 1);
    } else {
        if (commandId == 811 || commandId == 812)
            a.fieldEnable = FIELDS_NO_ORIENTATION;
        else if (commandId >= 817)
            a.fieldEnable = FIELDS_NO_ORIENTATION_NO_LINE;
        result = Box10DimensionParam1(owner, caption, &a, editText, 1);
    }
    ObjectDimAttributesToSettings(&a, group, variant);
    return static_cast<int>(result);
}

} // namespace

void InputCommandCaption(int commandId, char *out, size_t size)
{
    if (!size)
        return;
    // The title names the command whole ("Fillet Two Objects"), where a
    // submenu's item text only makes sense under its submenu.
    char title[CONVERT_TITLE_SIZE];
    ConvertGetCommandTitle(title, commandId);
    lstrcpynA(out, title, static_cast<int>(size < CONVERT_TITLE_SIZE ? size : CONVERT_TITLE_SIZE));
}

int InputParameterDialog(HWND owner, int commandId)
{
    char caption[CAPTION_SIZE];
    InputCommandCaption(commandId, caption, sizeof caption);
    CommandDefaults &d = g_CommandDefaults;
    switch (commandId) {
    case 508: case 608: return AskLength(owner, caption, PROMPT_LENGTH, &d.distances[COMMAND_DISTANCE_LENGTH]);
    case 509: case 520: case 609: case 616:
        return Box02EditAngle(owner, caption, Prompt(PROMPT_ANGLE), &d.commandAngle);
    case 529: case 530: case 531: case 532: return AskPolygon(owner, caption, false);
    case 533: return AskPolygon(owner, caption, true);
    case 544: case 545: case 546: case 554: case 555: case 556: case 627: case 628: case 629:
        return AskLength(owner, caption, PROMPT_RADIUS, &d.distances[COMMAND_DISTANCE_FIT_RADIUS]);
    case 723: case 724: case 725:
        return Box02EditAngleLength(owner, caption, Prompt(PROMPT_ANGLE), &d.angle, Prompt(PROMPT_CHAMFER_LENGTH),
                                    &d.distances[COMMAND_DISTANCE_CHAMFER]);
    case 727: case 728: case 729: case 731: case 732: case 733:
        return AskLength(owner, caption, PROMPT_RADIUS, &d.distances[COMMAND_DISTANCE_FILLET]);
    case 801: return AskStandardText(owner, caption);
    default: return 1; // the page and block dialogs come with their commands
    }
}

int InputParameterDialog2(HWND owner, int commandId)
{
    char caption[CAPTION_SIZE];
    InputCommandCaption(commandId, caption, sizeof caption);
    switch (commandId) {
    case 514: case 736: AskLength(owner, caption, PROMPT_INDENT, &g_DrawingSettings.zigZagIndent); return 0;
    case 578: case 714: case 715: case 716: case 717:
        Box02EditDouble(owner, caption, Prompt(PROMPT_TOLERANCE), &g_LocalData.surfaceTolerance);
        return 0;
    case 806: case 807:
    case 809: case 810: case 811: case 812: case 813: case 814: case 815: case 816: case 817: case 818: case 819:
    case 820: case 821: case 822: case 824: case 825: return AskDimensionSettings(owner, caption, commandId);
    default: return 0; // the group and property dialogs come with their commands
    }
}

int InputHasParameterDialog(int commandId)
{
    return InRanges(commandId, FIRST_GROUP, sizeof FIRST_GROUP / sizeof FIRST_GROUP[0]) ? 1 : 0;
}

int InputHasParameterDialog2(int commandId)
{
    return InRanges(commandId, SECOND_GROUP, sizeof SECOND_GROUP / sizeof SECOND_GROUP[0]) ? 1 : 0;
}

int InputAskParameters()
{
    const int command = g_CommandState->commandId;
    if (InputHasParameterDialog(command))
        return InputParameterDialog(g_MainWnd, command);
    if (InputHasParameterDialog2(command))
        return InputParameterDialog2(g_MainWnd, command);
    InitBeep();
    return 0;
}

// The values some commands need before their points: corner counts,
// lengths, angles and radii, asked in the generic value dialogs and kept in
// the remembered command values.
#include "commands/input_prepare_dialogs.h"

#include <algorithm>
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
#include "dialogs/box09_page.h"
#include "dialogs/box10_dim.h"
#include "dialogs/box12.h"
#include "dialogs/box14.h"
#include "database/object_property.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "commands/menu_block.h"
#include "database/symbol_block.h"
#include "display/symbol.h"
#include "geometry/frame.h"
#include "geometry/matrix.h"
#include "language/language.h"

namespace {

// eBoxText prompts.
constexpr int PROMPT_CORNERS = 0;
constexpr int PROMPT_POLYGON_LENGTH = 1;
constexpr int PROMPT_SKETCH_LENGTH = 3;
constexpr int PROMPT_INDENT = 4;
constexpr int PROMPT_TOLERANCE = 6;
constexpr int PROMPT_RADIUS = 7;
constexpr int PROMPT_LENGTH = 8;
constexpr int PROMPT_ANGLE = 9;
constexpr int PROMPT_CHAMFER_LENGTH = 11;
constexpr int PROMPT_SKETCH_SHIFT = 13;
constexpr int PROMPT_PAGE = 19;
constexpr int LABEL_SURFACE_CHECK = 23;
// eAlertTextSM: a corner count outside 3 to 99, a page number outside the
// pages, a new page beyond the last slot.
constexpr int ALERT_CORNER_COUNT = 10;
constexpr int ALERT_PAGE_RANGE = 30;
constexpr int ALERT_PAGES_FULL = 31;
constexpr int ALERT_SHIFT_RANGE = 103; // a sketch shift outside 0 to 100 percent
constexpr int32_t SHIFT_PERCENT_MAX = 100;
// The copy-properties command's defaults dialog has the title of its own command.
constexpr int COMMAND_COPY_PROPERTY_DEFAULTS = 453;
// A user-sized page of the page-format dialog stays within these sides.
constexpr double USER_PAGE_MIN = 10.0;
constexpr double USER_PAGE_MAX = 25000.0;
constexpr size_t CAPTION_SIZE = 256;

bool CornersValid(int32_t n) { return n >= POLYGON_CORNERS_MIN && n <= POLYGON_CORNERS_MAX; }

// The corner count (and for 533 the side length) until it is accepted or
// the dialog cancelled; stored only when accepted.
int AskPolygon(HWND owner, const char *caption, bool withLength)
{
    CommandDefaults &d = g_CommandDefaults;
    int32_t corners = d.counts[COMMAND_COUNT_CORNERS];
    double length = d.distances[COMMAND_DISTANCE_POLYGON_LENGTH];
    for (;;) {
        const int ok = withLength ? Box02EditIntLength(owner, caption, InputBoxPrompt(PROMPT_CORNERS), &corners,
                                                       InputBoxPrompt(PROMPT_POLYGON_LENGTH), &length)
                                  : Box02EditInt(owner, caption, InputBoxPrompt(PROMPT_CORNERS), &corners);
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

// 572: the sketch's sideways shift (percent of the step) and its step,
// asked until the shift lies in 0 to 100; both stored only when accepted.
void AskSketchValues(HWND owner, const char *caption)
{
    int32_t shift = g_LocalData.further[LOCAL_SKETCH_JITTER];
    double step = g_LocalData.sketchStep;
    for (;;) {
        if (!Box02EditIntLength(owner, caption, InputBoxPrompt(PROMPT_SKETCH_SHIFT), &shift,
                                InputBoxPrompt(PROMPT_SKETCH_LENGTH), &step))
            return;
        if (shift >= 0 && shift <= SHIFT_PERCENT_MAX)
            break;
        AlertButton1(owner, eAlertTextSM[ALERT_SHIFT_RANGE]);
    }
    g_LocalData.further[LOCAL_SKETCH_JITTER] = shift;
    g_LocalData.sketchStep = step;
}

// 445: the options a new group is made with.
void AskGroupOptions(HWND owner, const char *caption)
{
    GroupInfo info{};
    uint8_t *stored = reinterpret_cast<uint8_t *>(&g_LocalData) + LOCAL_OFS_GROUP_INFO;
    std::memcpy(&info, stored, sizeof info);
    if (Box12GroupInfo(owner, caption, &info))
        std::memcpy(stored, &info, sizeof info);
}

// The frame R an insertion places, relative to its insertion point.
void SetInsertFrame(double x1, double y1, double x2, double y2)
{
    double *r = g_CommandState->rect;
    r[0] = x1, r[1] = y1, r[2] = x2, r[3] = y2;
}

// A page placed by its reference point: R from its size and the code of the
// point that lies at the cursor, M the identity.
void SetPageFrame(const PageDef &page)
{
    const double w = page.width, h = page.height;
    double x1 = -w / 2, y1 = -h / 2;
    switch (page.anchor) {
    case 1: x1 = 0, y1 = -h; break;
    case 2: x1 = -w / 2, y1 = -h; break;
    case 3: x1 = -w, y1 = -h; break;
    case 4: x1 = 0; break;
    case 6: x1 = -w; break;
    case 7: x1 = 0, y1 = 0; break;
    case 8: y1 = 0; break;
    case 9: x1 = -w, y1 = 0; break;
    default: break; // 5 and unknown codes: the centre
    }
    SetInsertFrame(x1, y1, x1 + w, y1 + h);
    MatrixInit(&g_CommandState->matrix);
}

// A standard format takes its sides from the paper table, the long side
// across in landscape; a user size is kept within its limits.
void ApplyPaperSize(PageDef &page)
{
    if (page.format > 0 && page.format < WINDOW_PAPER_FORMATS) {
        const double *s = g_PaperSizes[page.format];
        const bool across = page.orientation == PAGE_LANDSCAPE;
        page.width = across ? s[1] : s[0];
        page.height = across ? s[0] : s[1];
        return;
    }
    page.width = std::clamp(page.width, USER_PAGE_MIN, USER_PAGE_MAX);
    page.height = std::clamp(page.height, USER_PAGE_MIN, USER_PAGE_MAX);
}

// 301: the format of the new pages, starting from the active page's.
int AskNewPage(HWND owner, const char *caption)
{
    const PageTable &t = g_PageDefs;
    if (t.count >= PAGE_SLOTS) {
        AlertButton1(owner, eAlertTextSM[ALERT_PAGES_FULL]);
        return 0;
    }
    PageDef &page = g_CommandDefaults.page;
    if (t.active >= 0 && t.active < t.count)
        page = t.pages[t.active];
    if (!Box09PageFormat(owner, caption, &page))
        return 0;
    ApplyPaperSize(page);
    SetPageFrame(page);
    return 1;
}

// 303: which page gets a new origin; with a single page, page 0 without asking.
int AskPageToPlace(HWND owner, const char *caption)
{
    const int count = std::clamp<int32_t>(g_PageDefs.count, 0, PAGE_SLOTS);
    int32_t number = 1;
    if (count > 1) {
        number = g_PageDefs.active + 1;
        for (;;) {
            if (!Box02EditInt(owner, caption, InputBoxPrompt(PROMPT_PAGE), &number))
                return 0;
            if (number >= 1 && number <= count)
                break;
            AlertButton1(owner, eAlertTextSM[ALERT_PAGE_RANGE]);
        }
    }
    g_CommandDefaults.chosenPage = number - 1;
    if (count > 0)
        SetPageFrame(g_PageDefs.pages[number - 1]);
    return 1;
}

// 901: the block to insert, chosen in its dialog.
int AskBlockToInsert(HWND owner, const char *caption)
{
    if (!Box12BlockInsert(owner, caption, &g_BlockInsertEntry, 0))
        return 0;
    if (InputPrepareSlotInsert(g_BlockInsertEntry))
        return 1;
    InitBeep();
    return 0;
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

// The commands that honour the copy mode (the drawing's duplicate switch).
constexpr NumberRange COPY_MODE[] = {
    {215, 215}, {316, 316}, {400, 401}, {403, 403}, {405, 408}, {410, 413}, {415, 417}, {419, 421},
    {423, 424}, {426, 437}, {439, 443}, {445, 446}, {448, 451}, {701, 707}, {710, 712}, {715, 719},
    {721, 721}, {723, 725}, {727, 729}, {731, 733}, {735, 746}, {751, 751}, {804, 804}, {827, 833}};

int AskLength(HWND owner, const char *caption, int prompt, double *value)
{
    return Box02EditLength(owner, caption, InputBoxPrompt(prompt), value);
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

const char *InputBoxPrompt(int index) { return eBoxText[index] ? eBoxText[index] : ""; }

int InputPrepareSlotInsert(const BlockInsertSlot &slot)
{
    Matrix &m = g_CommandState->matrix;
    MatrixInit(&m);
    MatrixScale(&m, slot.scale, slot.scale);
    MatrixRotate(&m, slot.rotation);
    if (!SymbolPrepareInsert(slot.nameLibrary, slot.nameBlock))
        return 0;
    const double *f = g_ExtentsRect;
    if (f[0] >= FRAME_EMPTY_MIN || f[1] >= FRAME_EMPTY_MIN || f[2] <= FRAME_EMPTY_MAX || f[3] <= FRAME_EMPTY_MAX)
        SetInsertFrame(0, 0, 0, 0);
    else
        SetInsertFrame(f[0], f[1], f[2], f[3]);
    return 1;
}

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
        return Box02EditAngle(owner, caption, InputBoxPrompt(PROMPT_ANGLE), &d.commandAngle);
    case 529: case 530: case 531: case 532: return AskPolygon(owner, caption, false);
    case 533: return AskPolygon(owner, caption, true);
    case 544: case 545: case 546: case 554: case 555: case 556: case 627: case 628: case 629:
        return AskLength(owner, caption, PROMPT_RADIUS, &d.distances[COMMAND_DISTANCE_FIT_RADIUS]);
    case 723: case 724: case 725:
        return Box02EditAngleLength(owner, caption, InputBoxPrompt(PROMPT_ANGLE), &d.angle,
                                    InputBoxPrompt(PROMPT_CHAMFER_LENGTH), &d.distances[COMMAND_DISTANCE_CHAMFER]);
    case 727: case 728: case 729: case 731: case 732: case 733:
        return AskLength(owner, caption, PROMPT_RADIUS, &d.distances[COMMAND_DISTANCE_FILLET]);
    case 801: return AskStandardText(owner, caption);
    case 301: return AskNewPage(owner, caption);
    case 303: return AskPageToPlace(owner, caption);
    case 901: return AskBlockToInsert(owner, caption);
    default: return 1;
    }
}

int InputParameterDialog2(HWND owner, int commandId)
{
    char caption[CAPTION_SIZE];
    InputCommandCaption(commandId, caption, sizeof caption);
    switch (commandId) {
    case 445: AskGroupOptions(owner, caption); return 0;
    case 452: {
        char title[CAPTION_SIZE];
        InputCommandCaption(COMMAND_COPY_PROPERTY_DEFAULTS, title, sizeof title);
        Box14CopyPropDefault(owner, title, ObjectCopyPropertyWords());
        return 0;
    }
    case 572: AskSketchValues(owner, caption); return 0;
    case 711: case 751: {
        uint32_t check = static_cast<uint32_t>(g_LocalData.further[LOCAL_SURFACE_CHECK]);
        const int result =
            Box02EditLengthCheck(owner, caption, InputBoxPrompt(PROMPT_TOLERANCE), &g_LocalData.surfaceTolerance,
                                 InputBoxPrompt(LABEL_SURFACE_CHECK), &check);
        g_LocalData.further[LOCAL_SURFACE_CHECK] = static_cast<int32_t>(check);
        return result;
    }
    case 514: case 736: AskLength(owner, caption, PROMPT_INDENT, &g_DrawingSettings.zigZagIndent); return 0;
    case 578: case 714: case 715: case 716: case 717:
        Box02EditDouble(owner, caption, InputBoxPrompt(PROMPT_TOLERANCE), &g_LocalData.surfaceTolerance);
        return 0;
    case 806: case 807:
    case 809: case 810: case 811: case 812: case 813: case 814: case 815: case 816: case 817: case 818: case 819:
    case 820: case 821: case 822: case 824: case 825: return AskDimensionSettings(owner, caption, commandId);
    default: return 0;
    }
}

int InputHasParameterDialog(int commandId)
{
    return InRanges(commandId, FIRST_GROUP, sizeof FIRST_GROUP / sizeof FIRST_GROUP[0]) ? 1 : 0;
}

int InputUsesCopyMode(int commandId)
{
    return InRanges(commandId, COPY_MODE, sizeof COPY_MODE / sizeof COPY_MODE[0]) ? 1 : 0;
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

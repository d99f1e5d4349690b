// The comment drawer: an arrow from the box to the anchor, a title bar with
// its flag icon, and the body text cut to the number of lines the settings
// allow (a long comment shows its last lines). Screen outputs only.
#include <windows.h>

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "app/init_gdi.h"
#include "app/system.h"
#include "app/window.h"
#include "dialogs/box01.h"
#include "display/clip_object.h"
#include "display/output.h"
#include "display/symbol.h"

namespace {

constexpr int BODY_TEXT_SIZE = 8001;    // at most 8,000 characters of body
constexpr int TITLE_SIZE = 64;
constexpr int TITLE_ICON_ROOM = 24;     // kept free right of the title for the flag
constexpr int BOX_MARGIN = 4;
constexpr int BODY_GAP = 8;
constexpr int FLAG_OFFSET_X = 20, FLAG_OFFSET_Y = 2;
constexpr double NO_LEADER = 1e-10;
// Colour slots of the comment settings, in their order.
enum CommentColour { LEADER_FILL, BODY_FILL, FRAME_PEN, BODY_TEXT, TITLE_FILL_0, TITLE_TEXT_0, COMMENT_COLOURS = 10 };

struct CommentRecord {
    char title[TITLE_SIZE];
    int32_t titleKind;
    int32_t flagKind;
};

COLORREF Colour(int slot)
{
    const DrawingSettings &s = g_DrawingSettings;
    const int32_t index = slot < 4 ? s.commentColor[slot] : s.commentColorMore[slot - 4];
    return InitStandardColor(index);
}

// A GDI object made for one drawing and deleted with it.
template <typename Handle>
struct Owned {
    Handle handle;
    explicit Owned(Handle h) : handle(h) {}
    ~Owned()
    {
        if (handle)
            DeleteObject(handle);
    }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
};

void MoveRect(RECT &r, int dx, int dy) { OffsetRect(&r, dx, dy); }

void DrawLeader(HDC hdc, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    if (std::fabs(dx) <= NO_LEADER && std::fabs(dy) <= NO_LEADER)
        return;
    const double length = std::hypot(dx, dy);
    const double w = g_DrawingSettings.commentSize[1];
    const double ux = length > 0 ? dx / length : 0.0, uy = length > 0 ? dy / length : 0.0;
    const double axx = ux * w / 2, ayy = uy * w / 2; // a
    const double nx = -ayy, ny = axx;                 // its normal
    const double corners[7][2] = {
        {bx + nx, by + ny},
        {ax + 6 * axx + nx, ay + 6 * ayy + ny},
        {ax + 7 * axx + 4 * nx, ay + 7 * ayy + 4 * ny},
        {ax, ay},
        {ax + 7 * axx - 4 * nx, ay + 7 * ayy - 4 * ny},
        {ax + 6 * axx - nx, ay + 6 * ayy - ny},
        {bx - nx, by - ny},
    };
    POINT points[7];
    for (int k = 0; k < 7; ++k)
        points[k] = {static_cast<LONG>(std::lround(corners[k][0])), static_cast<LONG>(std::lround(corners[k][1]))};
    Owned<HBRUSH> leader(CreateSolidBrush(Colour(LEADER_FILL)));
    SelectObject(hdc, leader.handle);
    SelectObject(hdc, GetStockObject(NULL_PEN));
    Polygon(hdc, points, 7);
    SelectObject(hdc, g_OutputContext.brush);
}

} // namespace

int ClipDrawComment(HDC hdc, Unit *object)
{
    const OutputContext &c = g_OutputContext;
    if ((c.window == OUTPUT_WINDOW_VIEW && g_Options.viewSimple) || !OutputIsScreenType(c.mode) ||
        !g_DrawingSettings.commentDisplay[0])
        return 1;
    const ElementPoint *points[2] = {};
    const char *stored = "";
    CommentRecord record{};
    const uint8_t *end = reinterpret_cast<const uint8_t *>(object) + object->bytes;
    int found = 0;
    for (const Element *e = UnitFirstElement(object);
         reinterpret_cast<const uint8_t *>(e) + ELEMENT_HEADER_SIZE <= end && e->kind != ELEM_END &&
         e->size >= ELEMENT_HEADER_SIZE;
         e = ElementNext(e)) {
        if (ElementIsPoint(e) && found < 2)
            points[found++] = reinterpret_cast<const ElementPoint *>(e);
        else if (e->kind == ELEM_TEXT)
            stored = static_cast<const char *>(ElementPayload(e));
        else if (e->kind == ELEM_COMMENT && e->size >= ELEMENT_HEADER_SIZE + sizeof record)
            std::memcpy(&record, ElementPayload(e), sizeof record);
    }
    if (found < 2)
        return 0;
    record.title[TITLE_SIZE - 1] = '\0';
    double ax, ay, bx, by;
    MatrixApply(c.current, points[0]->x, points[0]->y, &ax, &ay);
    MatrixApply(c.current, points[1]->x, points[1]->y, &bx, &by);
    DrawLeader(hdc, ax, ay, bx, by);

    // The box: panel font, transparent text, the frame pen.
    const int saved = SaveDC(hdc);
    Owned<HPEN> framePen(CreatePen(PS_SOLID, 1, Colour(FRAME_PEN)));
    if (g_SharedGdi.panelFont)
        SelectObject(hdc, g_SharedGdi.panelFont);
    SelectObject(hdc, GetStockObject(HOLLOW_BRUSH));
    SetBkMode(hdc, TRANSPARENT);
    SelectObject(hdc, framePen.handle);
    static char body[BODY_TEXT_SIZE];
    Box01TextToMultiline(body, stored, sizeof body);
    const char *text = SymbolGetTextString(body);

    RECT title = {0, 0, g_ScreenMetrics.widthPixels, 0};
    DrawTextA(hdc, record.title, -1, &title, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    RECT inner = {0, title.bottom + BODY_GAP, g_DrawingSettings.commentSize[0], 0};
    DrawTextA(hdc, text, -1, &inner, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
    const LONG left = title.left < inner.left ? title.left : inner.left;
    const LONG right = title.right + TITLE_ICON_ROOM > inner.right ? title.right + TITLE_ICON_ROOM : inner.right;
    title.left = inner.left = left;
    title.right = inner.right = right;
    RECT full = inner;
    const LONG limit = (g_DrawingSettings.commentSize[2] + 1) * title.bottom + BODY_GAP;
    if (inner.bottom > limit)
        inner.bottom = limit;
    RECT titleBox = title, bodyBox = inner;
    InflateRect(&titleBox, BOX_MARGIN, BOX_MARGIN);
    InflateRect(&bodyBox, BOX_MARGIN, BOX_MARGIN);
    const RECT frame = {titleBox.left, titleBox.top, titleBox.right, bodyBox.bottom};
    const int dx = static_cast<int>(std::lround(bx - (frame.right - frame.left) / 2.0)) - frame.left;
    const int dy = static_cast<int>(std::lround(by - (frame.bottom - frame.top) / 2.0)) - frame.top;
    for (RECT *r : {&title, &inner, &titleBox, &bodyBox})
        MoveRect(*r, dx, dy);
    RECT box = frame;
    MoveRect(box, dx, dy);
    MoveRect(full, dx, inner.bottom - full.bottom);

    const int kind = record.titleKind == 1 || record.titleKind == 2 ? record.titleKind : 0;
    Owned<HBRUSH> titleFill(CreateSolidBrush(Colour(TITLE_FILL_0 + 2 * kind)));
    FillRect(hdc, &titleBox, titleFill.handle);
    SetTextColor(hdc, Colour(TITLE_TEXT_0 + 2 * kind));
    title.right -= TITLE_ICON_ROOM;
    DrawTextA(hdc, record.title, -1, &title, DT_NOPREFIX | DT_SINGLELINE | DT_WORD_ELLIPSIS);
    const char *icon = record.flagKind == 1 ? "IDI_COMFLAG1" : record.flagKind == 2 ? "IDI_COMFLAG2" : "IDI_COMFLAG0";
    if (HICON flag = LoadIconA(GetModuleHandleA(nullptr), icon))
        DrawIcon(hdc, titleBox.right - FLAG_OFFSET_X, titleBox.top + FLAG_OFFSET_Y, flag);

    Owned<HBRUSH> bodyFill(CreateSolidBrush(Colour(BODY_FILL)));
    FillRect(hdc, &bodyBox, bodyFill.handle);
    SetTextColor(hdc, Colour(BODY_TEXT));
    Rectangle(hdc, box.left, box.top, box.right, box.bottom);
    if (full.top < inner.top) {
        const int clipSaved = SaveDC(hdc);
        IntersectClipRect(hdc, inner.left, inner.top, inner.right, inner.bottom);
        DrawTextA(hdc, text, -1, &full, DT_NOPREFIX | DT_WORDBREAK);
        RestoreDC(hdc, clipSaved);
    } else {
        DrawTextA(hdc, text, -1, &inner, DT_NOPREFIX | DT_WORDBREAK | DT_WORD_ELLIPSIS);
    }
    RestoreDC(hdc, saved);
    SelectObject(hdc, c.brush);
    SelectObject(hdc, c.pen);
    SymbolReleaseTextString();
    return 1;
}

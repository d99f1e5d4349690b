// The pen and layer windows' tree views: names with backslashes are shown in
// groups (Walls\Outer is the item Outer in the group Walls); a double click
// makes the pen or layer active, a right click opens its definition.
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/darad4.h"
#include "app/init.h"
#include "app/status.h"
#include "app/system_defs.h"

HWND hGlobalPenTree = nullptr;
HWND hGlobalLayerTree = nullptr;
HIMAGELIST hGlobalImage = nullptr;

namespace {

constexpr int IMAGE_SIZE = 16;
constexpr COLORREF IMAGE_MASK = RGB(0, 255, 255);
enum TreeImage { IMAGE_CLOSED, IMAGE_OPEN, IMAGE_OTHER, IMAGE_PEN, IMAGE_LAYER, IMAGE_COUNT };
constexpr int LAYER_COMMAND_FIRST = 5864, LAYER_COMMAND_LAST = 6364;
constexpr int PEN_COMMAND_FIRST = 6866, PEN_COMMAND_LAST = 7366;
constexpr int EDIT_OFFSET = 501;

// The five pictures, drawn here: a closed and an open folder, a plain
// square, a pen nib and a stack of sheets.
HBITMAP DrawImage(int image)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, IMAGE_SIZE, IMAGE_SIZE);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, IMAGE_SIZE, IMAGE_SIZE};
    HBRUSH mask = CreateSolidBrush(IMAGE_MASK);
    FillRect(dc, &all, mask);
    DeleteObject(mask);
    HBRUSH fill = CreateSolidBrush(image == IMAGE_PEN ? RGB(0, 0, 160) : image == IMAGE_LAYER ? RGB(0, 128, 0)
                                                                                               : RGB(224, 192, 64));
    HGDIOBJ oldBrush = SelectObject(dc, fill);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    switch (image) {
    case IMAGE_CLOSED:
        Rectangle(dc, 1, 4, 15, 14);
        Rectangle(dc, 1, 2, 7, 5);
        break;
    case IMAGE_OPEN: {
        Rectangle(dc, 1, 3, 13, 14);
        const POINT flap[4] = {{3, 7}, {15, 7}, {13, 14}, {1, 14}};
        Polygon(dc, flap, 4);
        break;
    }
    case IMAGE_OTHER:
        Rectangle(dc, 3, 3, 13, 13);
        break;
    case IMAGE_PEN: {
        const POINT nib[5] = {{2, 14}, {3, 10}, {11, 2}, {14, 5}, {6, 13}};
        Polygon(dc, nib, 5);
        break;
    }
    default:
        for (int k = 2; k >= 0; --k)
            Rectangle(dc, 1 + 2 * k, 9 - 3 * k, 11 + 2 * k, 15 - 3 * k);
        break;
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(fill);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

int ImageOf(int command)
{
    if (command >= LAYER_COMMAND_FIRST && command <= LAYER_COMMAND_LAST)
        return IMAGE_LAYER;
    if (command >= PEN_COMMAND_FIRST && command <= PEN_COMMAND_LAST)
        return IMAGE_PEN;
    return IMAGE_OTHER;
}

void SetImage(HWND tree, HTREEITEM item, int image)
{
    TVITEMA t{};
    t.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    t.hItem = item;
    t.iImage = t.iSelectedImage = image;
    SendMessageA(tree, TVM_SETITEMA, 0, LPARAM(&t));
}

HWND CreateTree(HWND owner, HWND *tree, const char *name)
{
    RECT client{};
    GetClientRect(owner, &client);
    *tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASLINES, 0, 0, client.right,
                            client.bottom, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!*tree) {
        char text[64];
        wsprintfA(text, "Unable to create \"%s\".", name);
        InitErrorBox(__FILE__, __LINE__, text);
        return nullptr;
    }
    if (hGlobalImage)
        SendMessageA(*tree, TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(hGlobalImage));
    return *tree;
}

void Fill(HWND tree, int last, const int32_t *index, const char *(*nameOf)(int), int slots, int base)
{
    if (!tree)
        return;
    std::vector<StatusTreePair> pairs(static_cast<size_t>(slots));
    for (int k = 0; k < slots; ++k) {
        pairs[size_t(k)].index = index[k];
        pairs[size_t(k)].name = nameOf(k);
    }
    HTREEITEM after = TVI_FIRST;
    StatusTreeAddSorted(tree, TVI_ROOT, &after, pairs.data(), 1, last + 1, base, 0, "");
}

const char *PenName(int k) { return g_PenDefs[k].name; }
const char *LayerName(int k) { return g_LayerDefs[k].name; }

} // namespace

int StatusCreateTreeImages()
{
    if (hGlobalImage)
        return 1;
    hGlobalImage = ImageList_Create(IMAGE_SIZE, IMAGE_SIZE, ILC_COLOR24 | ILC_MASK, IMAGE_COUNT, 0);
    if (!hGlobalImage) {
        InitErrorBox(__FILE__, __LINE__, "Unable to create \"hGlobalImage\".");
        return 0;
    }
    for (int i = 0; i < IMAGE_COUNT; ++i) {
        HBITMAP b = DrawImage(i);
        ImageList_AddMasked(hGlobalImage, b, IMAGE_MASK);
        DeleteObject(b);
    }
    return 1;
}

void StatusTreeInsertItem(HWND tree, HTREEITEM parent, HTREEITEM *insertAfter, const char *text, int depth,
                          int command)
{
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = *insertAfter;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<char *>(text);
    insert.item.iImage = insert.item.iSelectedImage = ImageOf(command);
    insert.item.lParam = command;
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, LPARAM(&insert)));
    if (item)
        *insertAfter = item;
    if (depth > 1)
        SetImage(tree, parent, IMAGE_CLOSED);
}

int StatusTreeAddSorted(HWND tree, HTREEITEM parent, HTREEITEM *insertAfter, const StatusTreePair *pairs, int depth,
                        int end, int baseCommand, int start, const char *prefix)
{
    const size_t P = std::strlen(prefix);
    int position = start;
    while (position < end) {
        const int record = pairs[position].index;
        const char *name = pairs[record].name;
        const size_t N = std::strlen(name);
        if (N <= P || std::strncmp(name, prefix, P) != 0)
            return position;
        const char *slash = std::strchr(name + P, '\\');
        if (!slash || slash == name + N - 1) {
            // A leaf: the text after the last backslash before the final character.
            const char *text = name;
            for (const char *c = name; c < name + N - 1; ++c)
                if (*c == '\\')
                    text = c + 1;
            StatusTreeInsertItem(tree, parent, insertAfter, text, depth, baseCommand + record);
            ++position;
            continue;
        }
        const std::string group(name + P, slash);
        StatusTreeInsertItem(tree, parent, insertAfter, group.c_str(), depth, 0);
        HTREEITEM node = *insertAfter;
        const std::string inner(name, slash + 1);
        HTREEITEM first = TVI_FIRST;
        const int next = StatusTreeAddSorted(tree, node, &first, pairs, depth + 1, end, baseCommand, position,
                                             inner.c_str());
        // A group whose members were all consumed elsewhere still moves on.
        position = next > position ? next : position + 1;
    }
    return position;
}

void StatusFillPenTree(HWND tree) { Fill(tree, StatusSortPens(), g_PenSortIndex, PenName, PEN_SLOTS, PEN_COMMAND_FIRST); }

void StatusFillLayerTree(HWND tree)
{
    Fill(tree, StatusSortLayers(), g_LayerSortIndex, LayerName, LAYER_SLOTS, LAYER_COMMAND_FIRST);
}

int StatusCreatePenTree(HWND window)
{
    StatusCreateTreeImages();
    if (!CreateTree(window, &hGlobalPenTree, "hGlobalPenTree"))
        return 0;
    StatusFillPenTree(hGlobalPenTree);
    return 1;
}

int StatusCreateLayerTree(HWND window)
{
    StatusCreateTreeImages();
    if (!CreateTree(window, &hGlobalLayerTree, "hGlobalLayerTree"))
        return 0;
    StatusFillLayerTree(hGlobalLayerTree);
    return 1;
}

void StatusRefillPenTree()
{
    if (!hGlobalPenTree)
        return;
    SendMessageA(hGlobalPenTree, TVM_DELETEITEM, 0, LPARAM(TVI_ROOT));
    StatusFillPenTree(hGlobalPenTree);
}

void StatusRefillLayerTree()
{
    if (!hGlobalLayerTree)
        return;
    SendMessageA(hGlobalLayerTree, TVM_DELETEITEM, 0, LPARAM(TVI_ROOT));
    StatusFillLayerTree(hGlobalLayerTree);
}

void StatusDestroyPenTree()
{
    if (hGlobalPenTree)
        DestroyWindow(hGlobalPenTree);
    hGlobalPenTree = nullptr;
}

void StatusDestroyLayerTree()
{
    if (hGlobalLayerTree)
        DestroyWindow(hGlobalLayerTree);
    hGlobalLayerTree = nullptr;
}

LRESULT StatusTreeNotify(HWND window, const NMHDR *header)
{
    if (header->code == TVN_ITEMEXPANDEDA || header->code == TVN_ITEMEXPANDEDW) {
        const NMTREEVIEWA *view = reinterpret_cast<const NMTREEVIEWA *>(header);
        SetImage(header->hwndFrom, view->itemNew.hItem,
                 (view->itemNew.state & TVIS_EXPANDED) ? IMAGE_OPEN : IMAGE_CLOSED);
        return 0;
    }
    if (header->code != UINT(NM_DBLCLK) && header->code != UINT(NM_RCLICK))
        return 0;
    HWND tree = GetWindow(window, GW_CHILD);
    if (!tree)
        return 0;
    TVHITTESTINFO hit{};
    GetCursorPos(&hit.pt);
    ScreenToClient(tree, &hit.pt);
    SendMessageA(tree, TVM_HITTEST, 0, LPARAM(&hit));
    if (!hit.hItem || !(hit.flags & TVHT_ONITEMLABEL))
        return 0;
    TVITEMA item{};
    item.mask = TVIF_PARAM;
    item.hItem = hit.hItem;
    SendMessageA(tree, TVM_GETITEMA, 0, LPARAM(&item));
    const int command = int(item.lParam);
    const bool pen = command >= PEN_COMMAND_FIRST && command <= PEN_COMMAND_LAST;
    const bool layer = command >= LAYER_COMMAND_FIRST && command <= LAYER_COMMAND_LAST;
    if (!pen && !layer)
        return 0;
    const int posted = header->code == UINT(NM_DBLCLK) ? command : command + EDIT_OFFSET;
    if (g_MainWnd)
        PostMessageA(g_MainWnd, WM_COMMAND, WPARAM(posted), 0);
    return 1;
}

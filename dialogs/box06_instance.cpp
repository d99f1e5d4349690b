// "INSTANCEEDIT" and "INSTANCEEDIT__": the placement of one or several
// instances or bitmaps.
#include "dialogs/box06_instance.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/convert.h"
#include "app/system.h"
#include "app/window.h"
#include "database/object_attributes.h"
#include "dialogs/alert.h"
#include "dialogs/alert_check.h"
#include "dialogs/box01.h"
#include "dialogs/box12.h"
#include "dialogs/box15.h"
#include "language/language.h"
#include "language/language_entries.h"
#include "plugin/zvi.h"

namespace {

constexpr int ID_NAME = 350, ID_DETAILS = 351, ID_KIND_LABEL = 352, ID_KIND_TEXT = 353, ID_X = 200, ID_Y = 201,
              ID_SCALE_X = 202, ID_SCALE_Y = 203, ID_ROTATION = 204, ID_DISTORTION = 205, ID_LENGTH_UNIT_X = 650,
              ID_LENGTH_UNIT_Y = 651, ID_ANGLE_UNIT_1 = 652, ID_ANGLE_UNIT_2 = 653, ID_CHOOSE = 550,
              ID_RESET = 551;
// The check boxes of the several-objects dialog: what is applied to all.
constexpr int ID_APPLY_NAME = 500, ID_APPLY_BLOCK = 501, ID_APPLY_X = 502, ID_APPLY_Y = 503,
              ID_APPLY_SHAPE = 504;
constexpr int APPLY_BOXES = 5;
constexpr int HELP_INSTANCE = 15049, HELP_BITMAP = 15015;
constexpr int kOwnBlocks = 7;        // eUniTexts
constexpr int kBitmapDetails = 6;    // eUniTexts: bits, width, height, dpi x, dpi y
constexpr int kBitmapLabel = 85;     // eUniTexts
constexpr int kOutOfRange = 29;      // eAlertTextOK
constexpr int kChooseBlock = 40;     // eCaptionTexts
constexpr int kChooseBitmap = 63;    // eCaptionTexts
constexpr double NEGLIGIBLE = 1e-10;
constexpr double STEEP_SHEAR = 1e10;
constexpr double MM_PER_INCH = 25.4;
constexpr int FIELDS = 6;
constexpr int TEXT_SIZE = 256;

// The change-mask bits of the check boxes 500 to 504, per group. The four
// values of the matrix's linear part go together (scales and angles).
constexpr uint32_t APPLY_BITS_INSTANCE[APPLY_BOXES] = {0x1, 0x2, 0x40, 0x80, 0x3C};
constexpr uint32_t APPLY_BITS_BITMAP[APPLY_BOXES] = {0x1, 0x0, 0x20, 0x40, 0x1E};

struct PlacementDialog {
    DialogHeader header;
    const char *caption;
    ObjectAttributes *set;
    int bitmap;                    // the bitmap group, not the instance group
    int multi;                     // several objects: boxes 500 to 504 choose what applies
    double values[FIELDS];         // x, y (system), scale x, scale y, rotation, distortion
    char shown[FIELDS][TEXT_SIZE]; // the texts as written: unchanged fields keep values[]
};

Matrix &PlacementOf(PlacementDialog *d)
{
    return d->bitmap ? d->set->bitmap.placement : d->set->placement.placement;
}

uint32_t &MaskOf(PlacementDialog *d)
{
    return d->bitmap ? d->set->bitmap.mask : d->set->placement.mask;
}

void Show(HWND dialog, PlacementDialog *d, int field, const char *text)
{
    lstrcpynA(d->shown[field], text, TEXT_SIZE);
    SetDlgItemTextA(dialog, ID_X + field, text);
}

void Fill(HWND dialog, PlacementDialog *d)
{
    char text[TEXT_SIZE], unit[TEXT_SIZE];
    for (int f = 0; f < 2; ++f) {
        unit[0] = 0;
        ZVI_ConvertLengthString(text, d->values[f], unit);
        Show(dialog, d, f, text);
        SetDlgItemTextA(dialog, f ? ID_LENGTH_UNIT_Y : ID_LENGTH_UNIT_X, unit);
    }
    for (int f = 2; f < 4; ++f) {
        ZVI_ConvertDoubleString(text, d->values[f]);
        Show(dialog, d, f, text);
    }
    for (int f = 4; f < 6; ++f) {
        unit[0] = 0;
        ZVI_ConvertAngleString(text, d->values[f], unit);
        Show(dialog, d, f, text);
        SetDlgItemTextA(dialog, f == 4 ? ID_ANGLE_UNIT_1 : ID_ANGLE_UNIT_2, unit);
    }
}

// The block's library and name, or the bitmap's file.
void ShowName(HWND dialog, PlacementDialog *d)
{
    if (d->bitmap) {
        SetDlgItemTextA(dialog, ID_NAME, d->set->bitmap.name);
        return;
    }
    const char *library = d->set->placement.library;
    SetDlgItemTextA(dialog, ID_NAME, std::strcmp(library, "*") == 0 ? eUniTexts[kOwnBlocks] : library);
    SetDlgItemTextA(dialog, ID_DETAILS, d->set->placement.block);
}

// Bits per pixel, size in pixels and resolution of the image; nothing for a
// file the bitmap list does not hold.
void ShowBitmapDetails(HWND dialog, const ObjectAttributes *set)
{
    const auto &b = set->bitmap;
    char text[TEXT_SIZE] = "";
    if (b.pixelWidth >= 0)
        std::snprintf(text, sizeof text, eUniTexts[kBitmapDetails], int(b.bitsPerPixel), int(b.pixelWidth),
                      int(b.pixelHeight), int(std::lround(b.resolutionX)), int(std::lround(b.resolutionY)));
    SetDlgItemTextA(dialog, ID_DETAILS, text);
}

void Check(HWND dialog, PlacementDialog *d, int id)
{
    if (d->multi)
        Box01DialogCheck(dialog, id, 1);
}

// Reads the fields the user changed; false (the field selected) on bad input.
bool Read(HWND dialog, PlacementDialog *d)
{
    double v[FIELDS];
    std::memcpy(v, d->values, sizeof v);
    for (int f = 0; f < FIELDS; ++f) {
        char text[TEXT_SIZE] = {};
        GetDlgItemTextA(dialog, ID_X + f, text, sizeof text);
        if (std::strcmp(text, d->shown[f]) == 0)
            continue;
        const int ok = f < 2 ? AlertCheckInputCoordinate(dialog, text, &v[f], ID_X + f)
                     : f < 4 ? AlertCheckInputDouble(dialog, text, &v[f], ID_X + f)
                             : AlertCheckInputAngle(dialog, text, &v[f], ID_X + f);
        if (!ok)
            return false;
    }
    const int w = g_ActiveWindow;
    const double x = ConvertSystemToWorldX(w, v[0], v[1]), y = ConvertSystemToWorldY(w, v[0], v[1]);
    if (x == 1e300 || y == 1e300) {
        AlertOk(dialog, eAlertTextOK[kOutOfRange]);
        return false;
    }
    std::memcpy(d->values, v, sizeof v);
    Box06AssemblePlacement(&PlacementOf(d), v[2], v[3], v[4], v[5], x, y);
    return true;
}

// Several objects: each checked box adds its bits; bits set before stay.
void TakeChecks(HWND dialog, PlacementDialog *d)
{
    if (!d->multi)
        return;
    const uint32_t *bits = d->bitmap ? APPLY_BITS_BITMAP : APPLY_BITS_INSTANCE;
    for (int i = 0; i < APPLY_BOXES; ++i)
        if (IsDlgButtonChecked(dialog, ID_APPLY_NAME + i) == BST_CHECKED)
            MaskOf(d) |= bits[i];
}

void Reset(HWND dialog, PlacementDialog *d)
{
    char text[TEXT_SIZE], unit[TEXT_SIZE] = "";
    ZVI_ConvertDoubleString(text, 1.0);
    SetDlgItemTextA(dialog, ID_SCALE_X, text);
    SetDlgItemTextA(dialog, ID_SCALE_Y, text);
    ZVI_ConvertAngleString(text, 0.0, unit);
    SetDlgItemTextA(dialog, ID_ROTATION, text);
    SetDlgItemTextA(dialog, ID_DISTORTION, text);
    Check(dialog, d, ID_APPLY_SHAPE);
}

void ChooseBlock(HWND dialog, PlacementDialog *d)
{
    auto &p = d->set->placement;
    BlockSelect record{};
    lstrcpynA(record.library, p.library, BLOCK_NAME_SIZE);
    lstrcpynA(record.block, p.block, BLOCK_NAME_SIZE);
    record.display = 1;
    // An empty path names no block: the instances keep theirs.
    if (!Box12BlockSelect(dialog, eCaptionTexts[kChooseBlock], &record, 1) || !record.block[0])
        return;
    lstrcpynA(p.library, record.library, UNIT_NAME_SIZE);
    lstrcpynA(p.block, record.block, UNIT_NAME_SIZE);
    ShowName(dialog, d);
    Check(dialog, d, ID_APPLY_NAME);
    Check(dialog, d, ID_APPLY_BLOCK);
}

void ChooseBitmap(HWND dialog, PlacementDialog *d)
{
    auto &b = d->set->bitmap;
    FileDialogState state = g_Options.fileDialogs[FD_BMP];
    lstrcpynA(state.current, b.name, sizeof state.current);
    const FileTypeSelection selection{0x801, 0, 0, FILE_KIND_BMP, -1, CHOOSER_OPEN};
    if (!Box15FileGetName(dialog, eCaptionTexts[kChooseBitmap], &state, selection))
        return;
    // A path the object cannot hold whole would name another file.
    if (std::strlen(state.current) >= sizeof b.name) {
        AlertOk(dialog, LANG(eAlertTextOK, BitmapPathTooLong));
        return;
    }
    std::strcpy(b.name, state.current);
    ShowName(dialog, d);
    if (d->multi) {
        SetDlgItemTextA(dialog, ID_DETAILS, "");
        Check(dialog, d, ID_APPLY_NAME);
    }
}

// Several objects: entering a field marks its value to be applied.
void MarkFocused(HWND dialog, PlacementDialog *d, int id)
{
    if (id == ID_X)
        Check(dialog, d, ID_APPLY_X);
    else if (id == ID_Y)
        Check(dialog, d, ID_APPLY_Y);
    else if (id >= ID_SCALE_X && id <= ID_DISTORTION)
        Check(dialog, d, ID_APPLY_SHAPE);
}

void Init(HWND dialog, PlacementDialog *d)
{
    if (d->caption)
        SetWindowTextA(dialog, d->caption);
    ShowName(dialog, d);
    if (d->bitmap) {
        ShowBitmapDetails(dialog, d->set);
        SetDlgItemTextA(dialog, ID_KIND_LABEL, eUniTexts[kBitmapLabel]);
        SetDlgItemTextA(dialog, ID_KIND_TEXT, "");
        if (d->multi)
            Box01DialogShowItem(dialog, ID_APPLY_BLOCK, 0);
    }
    Fill(dialog, d);
    if (d->multi)
        SetFocus(GetDlgItem(dialog, IDOK));
    else
        Box01DialogFocusEdit(dialog, ID_X);
}

INT_PTR CALLBACK PlacementDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    PlacementDialog *d = Box01DialogRecordOf<PlacementDialog>(dialog);
    if (message == WM_INITDIALOG) {
        d = reinterpret_cast<PlacementDialog *>(Box01DialogInit(dialog, lParam));
        Init(dialog, d);
        return FALSE;
    }
    if (message == WM_COMMAND && d) {
        const int id = LOWORD(wParam);
        if (HIWORD(wParam) == EN_SETFOCUS) {
            MarkFocused(dialog, d, id);
            return TRUE;
        }
        switch (id) {
        case ID_RESET: Reset(dialog, d); return TRUE;
        case ID_CHOOSE:
            if (d->bitmap)
                ChooseBitmap(dialog, d);
            else
                ChooseBlock(dialog, d);
            return TRUE;
        case IDOK:
            if (Read(dialog, d)) {
                TakeChecks(dialog, d);
                Box01DialogEnd(dialog, DIALOG_OK);
            }
            return TRUE;
        default: break;
        }
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, d && d->bitmap ? HELP_BITMAP : HELP_INSTANCE);
}

uint32_t Run(HWND owner, const char *caption, ObjectAttributes *set, int bitmap, int multi)
{
    PlacementDialog d{};
    d.caption = caption;
    d.bitmap = bitmap;
    d.multi = multi;
    ObjectAttributes copy = *set;
    d.set = &copy;
    double scaleY = 1, ratio = 1, rotation = 0, distortion = 0, x = 0, y = 0;
    MatrixSeparate(&PlacementOf(&d), &scaleY, &ratio, &rotation, &distortion, &x, &y);
    const int w = g_ActiveWindow;
    d.values[0] = ConvertWorldToSystemX(w, x, y);
    d.values[1] = ConvertWorldToSystemY(w, x, y);
    d.values[2] = ratio * scaleY;
    d.values[3] = scaleY;
    d.values[4] = rotation;
    d.values[5] = distortion;
    if (!Box01DialogEdit(owner, multi ? "INSTANCEEDIT__" : "INSTANCEEDIT", PlacementDialogProc, d))
        return 0;
    *set = copy;
    return 1;
}

} // namespace

void Box06AssemblePlacement(Matrix *m, double scaleX, double scaleY, double rotation, double distortion, double x,
                            double y)
{
    MatrixInit(m);
    MatrixScale(m, scaleX, scaleY);
    const double c = std::cos(-distortion);
    MatrixShearX(m, std::fabs(c) < NEGLIGIBLE ? STEEP_SHEAR : std::tan(-distortion));
    if (std::fabs(rotation) > NEGLIGIBLE)
        MatrixRotate(m, rotation);
    MatrixMove(m, x, y);
}

uint32_t Box06EditBlockInstance(HWND owner, const char *caption, ObjectAttributes *set)
{
    return Run(owner, caption, set, 0, 0);
}

uint32_t Box06EditBlockInstanceMulti(HWND owner, const char *caption, ObjectAttributes *set)
{
    return Run(owner, caption, set, 0, 1);
}

uint32_t Box06EditBitmapInstance(HWND owner, const char *caption, ObjectAttributes *set)
{
    return Run(owner, caption, set, 1, 0);
}

uint32_t Box06EditBitmapInstanceMulti(HWND owner, const char *caption, ObjectAttributes *set)
{
    return Run(owner, caption, set, 1, 1);
}

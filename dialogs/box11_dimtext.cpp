// The dimension text dialogs: five or seven text fields, the automatic-value
// switch, and buttons that type the signs dimensions need into the text
// field that last had the focus.
#include "dialogs/box11_dimtext.h"

#include <cstdio>
#include <cstring>

#include "database/storage.h"
#include "dialogs/box01.h"

namespace {

constexpr int HELP_TEXT1 = 15057, HELP_TEXT2 = 15058;
constexpr int ID_TEXT_FIRST = 200;
constexpr int ID_AUTOMATIC = 250;
constexpr int ID_SIGN_FIRST = 550;
constexpr char SIGNS[] = {'\x80', '\xB0', '\xB1', '\xD8', '\xD7'}; // euro, degree, plus-minus, diameter, times
constexpr int SIGN_COUNT = sizeof SIGNS;
constexpr int CAPTION_SIZE = 256;

struct TextRecord {
    DialogHeader header;
    DimensionText texts;
    int count;      // the texts the template shows
    int lastEdit;   // the text field that last had the focus
    char caption[CAPTION_SIZE];
};

INT_PTR CALLBACK TextProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *r = reinterpret_cast<TextRecord *>(Box01DialogInit(dialog, lParam));
        if (!r)
            return TRUE;
        SetWindowTextA(dialog, r->caption);
        for (int i = 0; i < r->count; ++i) {
            SendDlgItemMessageA(dialog, ID_TEXT_FIRST + i, EM_LIMITTEXT, DIMENSION_TEXT_LIMIT, 0);
            SetDlgItemTextA(dialog, ID_TEXT_FIRST + i, r->texts.text[i]);
        }
        Box01DialogCheck(dialog, ID_AUTOMATIC, r->texts.automatic ? 1 : 0);
        r->lastEdit = ID_TEXT_FIRST;
        Box01DialogFocusEdit(dialog, ID_TEXT_FIRST);
        return FALSE;
    }
    auto *r = Box01DialogRecordOf<TextRecord>(dialog);
    if (!r)
        return FALSE;
    const int help = r->count == DIMENSION_TEXT_COUNT ? HELP_TEXT2 : HELP_TEXT1;
    if (message != WM_COMMAND)
        return Box01DialogDefault(dialog, message, wParam, lParam, help);
    const int id = LOWORD(wParam);
    if (id >= ID_TEXT_FIRST && id < ID_TEXT_FIRST + r->count) {
        if (HIWORD(wParam) == EN_SETFOCUS)
            r->lastEdit = id;
        return FALSE;
    }
    if (id >= ID_SIGN_FIRST && id < ID_SIGN_FIRST + SIGN_COUNT) {
        HWND edit = GetDlgItem(dialog, r->lastEdit);
        SetFocus(edit);
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(SIGNS[id - ID_SIGN_FIRST]), 0);
        return TRUE;
    }
    if (id == ID_AUTOMATIC) {
        r->texts.automatic = !r->texts.automatic;
        Box01DialogCheck(dialog, ID_AUTOMATIC, r->texts.automatic);
        return TRUE;
    }
    if (id == IDOK) {
        for (int i = 0; i < r->count; ++i) {
            char *t = r->texts.text[i];
            GetDlgItemTextA(dialog, ID_TEXT_FIRST + i, t, DIMENSION_TEXT_LIMIT + 1);
            t[DIMENSION_TEXT_LIMIT] = '\0';
        }
        Box01DialogEnd(dialog, DIALOG_OK);
        return TRUE;
    }
    return Box01DialogDefault(dialog, message, wParam, lParam, help);
}

uint32_t Run(HWND owner, const char *templateName, const char *caption, DimensionText *texts, int count)
{
    TempBlock<TextRecord> block(1, __FILE_NAME__, __LINE__);
    if (!block)
        return 0;
    TextRecord &r = *block.get();
    std::memset(&r, 0, sizeof r);
    r.texts = *texts;
    r.count = count;
    std::snprintf(r.caption, sizeof r.caption, "%s", caption ? caption : "");
    if (Box01DialogRun(owner, templateName, TextProc, &r.header) == -1 || r.header.result != DIALOG_OK)
        return 0;
    *texts = r.texts;
    return 1;
}

} // namespace

uint32_t Box11EditDimensionText1(HWND owner, const char *caption, DimensionText *texts)
{
    return Run(owner, "EDITDIMENSIONTEXT1", caption, texts, DIMENSION_TEXT_LARGE);
}

uint32_t Box11EditDimensionText2(HWND owner, const char *caption, DimensionText *texts)
{
    return Run(owner, "EDITDIMENSIONTEXT2", caption, texts, DIMENSION_TEXT_COUNT);
}

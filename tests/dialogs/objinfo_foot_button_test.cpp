// The button at the foot of an object's property sheet. On a placed text it
// opens the text dialog, and what the user changes there is undone in one
// step; with several texts selected, only the values the user touched
// change. On a plug-in's object it lists the module's own entries, and the
// chosen one lets the module fill or read the sheet's page.
#include "language_dialogs.h"

#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/darad4.h"
#include "common/dialog_driver.h"
#include "common/test_objects.h"
#include "database/object_attributes.h"
#include "database/object_modules.h"
#include "database/object_property.h"
#include "database/object_types.h"
#include "database/storage.h"
#include "database/undo.h"
#include "dialogs/box14.h"
#include "files/file_records.h"
#include "geometry/frame.h"
#include "geometry/matrix.h"
#include "language/language.h"
#include "plugin/zvi_module.h"

namespace {

constexpr int ID_FOOT_BUTTON = 550, ID_FACE = 180, ID_STYLE = 181, ID_HEIGHT = 201, ID_SPACING = 203;
// What the button's menu sends: the text dialog, and the first entry a
// plug-in added (its further entries follow).
constexpr int MENU_TEXT_STANDARD = 11000, MENU_PLUGIN_FIRST = 11010;

HWND Page(HWND sheet)
{
    return PropSheet_GetCurrentPageHwnd(sheet);
}

void ClickFootButton(HWND sheet)
{
    HWND page = Page(sheet);
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(ID_FOOT_BUTTON, BN_CLICKED), LPARAM(GetDlgItem(page, ID_FOOT_BUTTON)));
}

std::string ComboText(HWND d, int id, int index)
{
    char text[256] = "";
    if (SendDlgItemMessageA(d, id, CB_GETLBTEXTLEN, WPARAM(index), 0) < LRESULT(sizeof text))
        SendDlgItemMessageA(d, id, CB_GETLBTEXT, WPARAM(index), LPARAM(text));
    return text;
}

// Chooses a face other than the current one, and its first style.
std::string ChooseOtherFace(HWND d)
{
    const LRESULT current = SendDlgItemMessageA(d, ID_FACE, CB_GETCURSEL, 0, 0);
    const LRESULT count = SendDlgItemMessageA(d, ID_FACE, CB_GETCOUNT, 0, 0);
    for (LRESULT i = count - 1; i >= 0; --i) {
        if (i == current)
            continue;
        SendDlgItemMessageA(d, ID_FACE, CB_SETCURSEL, WPARAM(i), 0);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(ID_FACE, CBN_SELCHANGE), LPARAM(GetDlgItem(d, ID_FACE)));
        if (SendDlgItemMessageA(d, ID_STYLE, CB_GETCOUNT, 0, 0) > 0) {
            SendDlgItemMessageA(d, ID_STYLE, CB_SETCURSEL, 0, 0);
            return ComboText(d, ID_FACE, int(i));
        }
    }
    return "";
}

class TextSheets : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        ASSERT_TRUE(TestFreshObjectLists());
        if (!g_WorkArrays.pathPoints) {
            ASSERT_EQ(MemInitWork(), 1);
        }
        UndoReset();
    }
    void TearDown() override
    {
        MemFreeChunks();
        MemInitLists();
        LanguageDialogTest::TearDown();
    }
    // A selected standard text of height 5 at (x, 20), turned by angle.
    static Unit *SelectedText(double x, double angle)
    {
        Unit *u = TestNewObject(LIST_DRAWING, OBJTYPE_STD_TEXT, {});
        TextStandardData *r = Record(u);
        FileDefaultTextStandard(r);
        MatrixInit(&r->matrix);
        MatrixScale(&r->matrix, 5, 5);
        MatrixRotate(&r->matrix, angle);
        MatrixMove(&r->matrix, x, 20);
        r->charSpacing = 0.1;
        UndoStampPermanent(u);
        u->flags |= UNIT_SELECTED;
        FrameCalcObject(u, 1);
        return u;
    }
    static TextStandardData *Record(Unit *u)
    {
        return static_cast<TextStandardData *>(ElementPayload(ElementNext(UnitFirstElement(u))));
    }
    // The alive text records, in drawing order.
    static std::vector<TextStandardData *> Texts()
    {
        std::vector<TextStandardData *> out;
        for (Unit *u : TestAliveUnits())
            out.push_back(Record(u));
        return out;
    }
    static void Separate(const TextStandardData *r, double *height, double *rotation)
    {
        double ratio, distortion, mx, my;
        MatrixSeparate(&r->matrix, height, &ratio, rotation, &distortion, &mx, &my);
    }
};

TEST_F(TextSheets, OneTextGetsANewFaceHeightAndSpacingInOneUndoStep)
{
    SelectedText(10, 0);
    const int32_t step = g_UndoStep;
    const std::string oldFace = Record(TestAliveUnits()[0])->font.face;
    std::string buttonText, face;
    DialogDriver driver({
        [&](HWND sheet) {
            buttonText = TestItemText(Page(sheet), ID_FOOT_BUTTON);
            ClickFootButton(sheet);
        },
        [&](HWND d) {
            face = ChooseOtherFace(d);
            SetDlgItemTextA(d, ID_HEIGHT, "7.5");
            SetDlgItemTextA(d, ID_SPACING, "0.4");
            TestClickButton(d, IDOK);
        },
        [](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); },
    });
    ObjectAttributes set;
    ASSERT_EQ(ObjectEditPropertiesSingle(&set, UNIT_SELECTED), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(buttonText, eButtonText[17]) << "one dialog: the button runs it";
    ASSERT_FALSE(face.empty());
    EXPECT_EQ(g_UndoStep, step + 1);
    ASSERT_EQ(Texts().size(), 1u);
    const TextStandardData *r = Texts()[0];
    double height = 0, rotation = 0;
    Separate(r, &height, &rotation);
    EXPECT_STREQ(r->font.face, face.c_str());
    EXPECT_NEAR(height, 7.5, 1e-9);
    EXPECT_DOUBLE_EQ(r->charSpacing, 0.4);
    EXPECT_NEAR(r->matrix.tx, 10.0, 1e-9) << "the text stays where it was";

    ASSERT_EQ(UndoStepBack(), 1);
    ASSERT_EQ(Texts().size(), 1u);
    Separate(Texts()[0], &height, &rotation);
    EXPECT_NEAR(height, 5.0, 1e-9);
    EXPECT_EQ(std::string(Texts()[0]->font.face), oldFace);
}

TEST_F(TextSheets, SeveralTextsTakeOnlyTheTouchedHeight)
{
    SelectedText(10, 0);
    SelectedText(50, 0.5);
    const int32_t step = g_UndoStep;
    DialogDriver driver({
        [](HWND sheet) {
            // The command as the button's menu sends it.
            PostMessageA(Page(sheet), WM_COMMAND, MAKEWPARAM(MENU_TEXT_STANDARD, 0), 0);
        },
        [](HWND d) {
            SetFocus(GetDlgItem(d, ID_HEIGHT));
            SetDlgItemTextA(d, ID_HEIGHT, "9");
            TestClickButton(d, IDOK);
        },
        [](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); },
    });
    ObjectAttributes set;
    ASSERT_EQ(ObjectEditPropertiesMulti(&set, UNIT_SELECTED), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(g_UndoStep, step + 1);
    const std::vector<TextStandardData *> texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    const double angles[2] = {0, 0.5}, places[2] = {10, 50};
    for (int i = 0; i < 2; ++i) {
        double height = 0, rotation = 0;
        Separate(texts[i], &height, &rotation);
        EXPECT_NEAR(height, 9.0, 1e-9) << i;
        EXPECT_NEAR(rotation, angles[i], 1e-9) << "each keeps its angle";
        EXPECT_NEAR(texts[i]->matrix.tx, places[i], 1e-9) << "and its place";
    }
}

// --- plug-in entries ------------------------------------------------------

struct ModuleCall {
    int code;
    HWND window;
    ObjectAttributes *attributes;
    int32_t entry;
};
std::vector<ModuleCall> g_ModuleCalls;

int __stdcall PageModule(Unit *, int code, void *argument)
{
    const auto *page = static_cast<const ObjectModulePage *>(argument);
    if (page)
        g_ModuleCalls.push_back({code, page->window, page->attributes, page->entry});
    return MODULE_ANSWER_REBUILT;
}

class PluginEntries : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        g_ModuleCalls.clear();
        savedCount_ = g_LanguageInitBlock.moduleCount;
        saved_ = g_LanguageInitBlock.modules[0];
        std::memset(&g_LanguageInitBlock.modules[0], 0, sizeof(ModuleData));
        g_LanguageInitBlock.modules[0].objectProc = reinterpret_cast<void *>(&PageModule);
        g_LanguageInitBlock.moduleCount = 1;
        ObjectAttributesInit(&set_);
        set_.present[ATTR_GENERAL] = 1;
        set_.present[ATTR_PLUGIN] = 1;
        std::memset(area_, 0, sizeof area_);
        for (int i = 0; i < 2; ++i)
            std::strcpy(area_[i].title, i ? "Cam" : "Gear");
        set_.pluginArea = area_;
        set_.pluginCount = 2;
    }
    void TearDown() override
    {
        g_LanguageInitBlock.modules[0] = saved_;
        g_LanguageInitBlock.moduleCount = savedCount_;
        LanguageDialogTest::TearDown();
    }
    ObjectAttributes set_;
    AttrPluginEntry area_[2];
    ModuleData saved_;
    int32_t savedCount_ = 0;
};

TEST_F(PluginEntries, OneObjectsEntryHasItsModuleFillThePage)
{
    set_.pluginCount = 1;
    HWND page = nullptr;
    std::string buttonText;
    DialogDriver driver({
        [&](HWND sheet) {
            page = Page(sheet);
            buttonText = TestItemText(page, ID_FOOT_BUTTON);
            ClickFootButton(sheet);
        },
        [](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); },
    });
    ASSERT_EQ(Box14ObjInfoSingle(nullptr, "", &set_, 0, nullptr, nullptr, 1, 1, nullptr), 1);
    EXPECT_EQ(buttonText, eButtonText[17]);
    ASSERT_EQ(g_ModuleCalls.size(), 1u);
    EXPECT_EQ(g_ModuleCalls[0].code, MODULE_PAGE_FILL);
    EXPECT_EQ(g_ModuleCalls[0].window, page);
    EXPECT_NE(g_ModuleCalls[0].attributes, nullptr) << "the sheet's working copy";
    EXPECT_EQ(g_ModuleCalls[0].entry, 0);
}

TEST_F(PluginEntries, SeveralObjectsEntriesHaveTheModuleReadThePageByIndex)
{
    DialogDriver driver({
        [](HWND sheet) { PostMessageA(Page(sheet), WM_COMMAND, MAKEWPARAM(MENU_PLUGIN_FIRST + 1, 0), 0); },
        [](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); },
    });
    ASSERT_EQ(Box14ObjInfoMulti(nullptr, "", &set_, 1, nullptr), 1);
    ASSERT_EQ(g_ModuleCalls.size(), 1u);
    EXPECT_EQ(g_ModuleCalls[0].code, MODULE_PAGE_READ);
    EXPECT_EQ(g_ModuleCalls[0].entry, 1);
}

TEST_F(PluginEntries, WithoutAPluginAreaNoEntryIsOffered)
{
    set_.pluginArea = nullptr;
    bool shown = true;
    DialogDriver driver({
        [&](HWND sheet) {
            shown = IsWindowVisible(GetDlgItem(Page(sheet), ID_FOOT_BUTTON)) != 0;
            PostMessageA(Page(sheet), WM_COMMAND, MAKEWPARAM(MENU_PLUGIN_FIRST, 0), 0);
        },
        [](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); },
    });
    ASSERT_EQ(Box14ObjInfoSingle(nullptr, "", &set_, 0, nullptr, nullptr, 1, 1, nullptr), 1);
    EXPECT_FALSE(shown);
    EXPECT_TRUE(g_ModuleCalls.empty());
}

} // namespace

// The colour choosers and the variable editor, driven for real from the
// language module's templates, with the name and text dialogs they open.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/convert.h"
#include "app/init_dialogs.h"
#include "app/system.h"
#include "app/system_defs.h"
#include "app/window.h"
#include "common/dialog_driver.h"
#include "common/test_support.h"
#include "dialogs/alert.h"
#include "dialogs/box01.h"
#include "app/system_changes.h"
#include "dialogs/box03_systems.h"
#include "dialogs/box04_color.h"
#include "dialogs/box04_lines.h"
#include "dialogs/box05_defs.h"
#include "dialogs/box06_defaults.h"
#include "dialogs/box05_table.h"
#include "dialogs/box11_filter.h"
#include "dialogs/box01_controls.h"
#include "language/language.h"
#include "language_dialogs.h"

namespace {

constexpr int ID_LIST = 170, ID_FIELD = 200, ID_NAME_TEXT = 356, ID_VALUE_TEXT = 350;
constexpr int ID_NEW = 14, ID_RENAME = 15, ID_DELETE = 13, ID_VALUE = 20;

class DefinitionDialogs : public LanguageDialogTest {
protected:
    void SetUp() override
    {
        LanguageDialogTest::SetUp();
        for (int i = 0; i < COLOR_SLOTS; ++i) {
            g_ColorDefs[i] = ColorDef{};
            if (i < STANDARD_COLORS) {
                lstrcpynA(g_ColorDefs[i].name, eColorNames[i], DEF_NAME_SHORT);
                g_ColorDefs[i].color = g_StandardColors[i];
            }
        }
        savedOptions_[0] = g_Options.colorDefinition;
        savedOptions_[1] = static_cast<int32_t>(g_Options.colorSortByName);
        g_Options.colorDefinition = 0;
        g_Options.colorSortByName = 0;
    }
    void TearDown() override
    {
        g_Options.colorDefinition = savedOptions_[0];
        g_Options.colorSortByName = static_cast<uint32_t>(savedOptions_[1]);
        LanguageDialogTest::TearDown();
    }
    int32_t savedOptions_[2] = {};
};

// A step that fills the name or text dialog and confirms it.
DialogStep Answer(const std::string &text)
{
    return [text](HWND dialog) {
        SetDlgItemTextA(dialog, ID_FIELD, text.c_str());
        TestClickButton(dialog, IDOK);
    };
}

std::vector<std::string> Rows(HWND dialog)
{
    std::vector<std::string> rows;
    const int n = static_cast<int>(SendDlgItemMessageA(dialog, ID_LIST, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[400] = "";
        SendDlgItemMessageA(dialog, ID_LIST, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        rows.push_back(text);
    }
    return rows;
}

// --- Colours ---------------------------------------------------------------------

TEST_F(DefinitionDialogs, ColourFieldsShowPercentagesAndClampWhenLeft)
{
    COLORREF colour = RGB(255, 128, 0);
    std::vector<std::string> shown, afterLeaving;
    DialogDriver driver({[&](HWND dialog) {
        for (int id = 200; id <= 202; ++id)
            shown.push_back(TestItemText(dialog, id));
        SetDlgItemTextA(dialog, 201, "150");
        SetFocus(GetDlgItem(dialog, 202)); // leaving the field corrects it
        afterLeaving.push_back(TestItemText(dialog, 201));
        SetDlgItemTextA(dialog, 202, "no number");
        SetFocus(GetDlgItem(dialog, 200));
        afterLeaving.push_back(TestItemText(dialog, 202));
        TestClickButton(dialog, IDOK);
    }});
    ASSERT_EQ(Box04ChooseColor(nullptr, "Colour", &colour), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_EQ(shown, (std::vector<std::string>{"100.0", "50.2", "0.0"}));
    EXPECT_EQ(afterLeaving, (std::vector<std::string>{"100.0", "0.0"}));
    EXPECT_EQ(colour, RGB(255, 255, 0));
}

TEST_F(DefinitionDialogs, AColourRoundTripsAndCmyShowsItsComplement)
{
    COLORREF colour = RGB(255, 128, 0);
    {
        DialogDriver driver({[](HWND dialog) { TestClickButton(dialog, IDOK); }});
        ASSERT_EQ(Box04ChooseColor(nullptr, "Colour", &colour), 1);
    }
    EXPECT_EQ(colour, RGB(255, 128, 0));

    g_Options.colorDefinition = 1;
    COLORREF black = RGB(0, 0, 0);
    std::vector<std::string> shown;
    DialogDriver driver({[&](HWND dialog) {
        for (int id = 200; id <= 202; ++id)
            shown.push_back(TestItemText(dialog, id));
        TestClickButton(dialog, IDCANCEL);
    }});
    EXPECT_EQ(Box04ChooseColor(nullptr, "Colour", &black), 0);
    EXPECT_EQ(shown, (std::vector<std::string>{"100.0", "100.0", "100.0"}));
}

TEST_F(DefinitionDialogs, ANewNamedColourIsKeptOnOkAndForgottenOnCancel)
{
    const COLORREF orange = RGB(250, 120, 10);
    for (int ok = 0; ok <= 1; ++ok) {
        COLORREF colour = orange;
        std::string before, after;
        DialogDriver driver({[&](HWND dialog) {
                                 before = TestItemText(dialog, ID_NAME_TEXT);
                                 TestClickButton(dialog, ID_NEW);
                             },
                             Answer("Orange"),
                             [&](HWND dialog) {
                                 after = TestItemText(dialog, ID_NAME_TEXT);
                                 TestClickButton(dialog, ok ? IDOK : IDCANCEL);
                             }});
        EXPECT_EQ(Box04ChooseColor(nullptr, "Colour", &colour), ok);
        EXPECT_EQ(before, std::string(eUniTexts[71])) << "no entry has the colour";
        EXPECT_EQ(after, std::string(eUniTexts[71]) + " (Orange)");
        EXPECT_EQ(strcmp(g_ColorDefs[STANDARD_COLORS].name, "Orange") == 0, ok == 1);
        if (ok)
            EXPECT_EQ(g_ColorDefs[STANDARD_COLORS].color, orange);
    }
}

TEST_F(DefinitionDialogs, NamedColoursAreListedByHueOrByName)
{
    COLORREF colour = RGB(1, 2, 3);
    std::vector<std::vector<int>> orders;
    auto readOrder = [&](HWND dialog) {
        std::vector<int> entries;
        const int n = static_cast<int>(SendDlgItemMessageA(dialog, ID_LIST, LB_GETCOUNT, 0, 0));
        for (int r = 0; r < n; ++r)
            entries.push_back(static_cast<int>(SendDlgItemMessageA(dialog, ID_LIST, LB_GETITEMDATA, r, 0)));
        orders.push_back(entries);
    };
    DialogDriver driver({[&](HWND dialog) {
        readOrder(dialog);
        TestClickButton(dialog, 250); // sort by name
    },
                         [&](HWND dialog) {
                             readOrder(dialog);
                             TestClickButton(dialog, IDCANCEL);
                         }});
    Box04ChooseColor(nullptr, "Colour", &colour);
    ASSERT_EQ(orders.size(), 2u);
    ASSERT_EQ(orders[0].size(), static_cast<size_t>(STANDARD_COLORS));
    for (size_t i = 1; i < orders[0].size(); ++i)
        EXPECT_LE(ConvertColorSortKey(g_ColorDefs[orders[0][i - 1]].color),
                  ConvertColorSortKey(g_ColorDefs[orders[0][i]].color));
    for (size_t i = 1; i < orders[1].size(); ++i)
        EXPECT_LE(strcmp(g_ColorDefs[orders[1][i - 1]].name, g_ColorDefs[orders[1][i]].name), 0);
    EXPECT_EQ(g_Options.colorSortByName, 0u) << "cancelled: the option is kept";
}

TEST_F(DefinitionDialogs, TheStandardColourChooserAnswersAnIndex)
{
    int32_t index = 0;
    std::string selected;
    DialogDriver driver({[&](HWND dialog) {
        TestClickButton(dialog, 10000 + 8);
    },
                         [&](HWND dialog) {
                             const LRESULT row = SendDlgItemMessageA(dialog, ID_LIST, LB_GETCURSEL, 0, 0);
                             char text[64] = "";
                             SendDlgItemMessageA(dialog, ID_LIST, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
                             selected = text;
                             TestClickButton(dialog, IDOK);
                         }});
    ASSERT_EQ(Box04ChooseStdColor(nullptr, "Colour", &index), 1);
    EXPECT_EQ(index, 8);
    EXPECT_EQ(selected, std::string(eColorNames[8]));

    DialogDriver cancel({[](HWND dialog) {
        TestClickButton(dialog, 10000 + 3);
        TestClickButton(dialog, IDCANCEL);
    }});
    EXPECT_EQ(Box04ChooseStdColor(nullptr, "Colour", &index), 0);
    EXPECT_EQ(index, 8);
}

// --- Variables --------------------------------------------------------------------

TEST_F(DefinitionDialogs, VariablesAreCreatedValuedAndSortedOnOk)
{
    std::vector<VariableDef> table(VARIABLE_SLOTS);
    strcpy(table[3].name, "beta");
    strcpy(table[3].value, "two");
    const std::string longValue(VARIABLE_VALUE_EDIT - 1, 'v');
    std::vector<std::string> rows;
    bool valueEnabled = false;
    DialogDriver driver({[&](HWND dialog) {
                             valueEnabled = IsWindowEnabled(GetDlgItem(dialog, ID_VALUE)) != 0;
                             TestClickButton(dialog, ID_NEW); // beta is selected: its value is copied
                         },
                         Answer("Alpha"),
                         [&](HWND dialog) { TestClickButton(dialog, ID_VALUE); },
                         Answer(longValue),
                         [&](HWND dialog) {
                             rows = Rows(dialog);
                             TestClickButton(dialog, IDOK);
                         }});
    ASSERT_EQ(Box05EditVariableDefs(nullptr, "Variables", table.data()), 1);
    EXPECT_EQ(driver.stuckDialogs(), 0);
    EXPECT_TRUE(valueEnabled);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_STREQ(table[0].name, "Alpha");
    EXPECT_EQ(std::string(table[0].value), longValue) << "a 249-character value survives";
    EXPECT_STREQ(table[1].name, "beta");
    EXPECT_STREQ(table[1].value, "two");
    EXPECT_EQ(table[2].name[0], 0);
}

TEST_F(DefinitionDialogs, AnEmptyVariableTableStillCreatesAndClashesAreRefused)
{
    std::vector<VariableDef> table(VARIABLE_SLOTS);
    bool anyEnabled = true;
    DialogDriver driver({[&](HWND dialog) {
                             anyEnabled = IsWindowEnabled(GetDlgItem(dialog, ID_VALUE)) ||
                                          IsWindowEnabled(GetDlgItem(dialog, ID_RENAME)) ||
                                          IsWindowEnabled(GetDlgItem(dialog, ID_DELETE));
                             TestClickButton(dialog, ID_NEW);
                         },
                         Answer("x"),
                         [](HWND dialog) { TestClickButton(dialog, ID_NEW); },
                         Answer("x"),
                         [](HWND dialog) { TestClickButton(dialog, IDOK); }});
    ASSERT_EQ(Box05EditVariableDefs(nullptr, "Variables", table.data()), 1);
    EXPECT_FALSE(anyEnabled);
    EXPECT_STREQ(table[0].name, "x");
    EXPECT_EQ(table[1].name[0], 0);
    ASSERT_EQ(Alerts().size(), 1u);
    EXPECT_NE(Alerts()[0].find("\"x\""), std::string::npos);
}

TEST_F(DefinitionDialogs, DeletingAVariableTakesEffectOnlyOnOk)
{
    for (int ok = 0; ok <= 1; ++ok) {
        std::vector<VariableDef> table(VARIABLE_SLOTS);
        strcpy(table[5].name, "Beta");
        strcpy(table[7].name, "alpha");
        std::vector<std::string> rows;
        DialogDriver driver({[](HWND dialog) { TestClickButton(dialog, ID_DELETE); }, // alpha, the first row
                             [&](HWND dialog) {
                                 rows = Rows(dialog);
                                 TestClickButton(dialog, ok ? IDOK : IDCANCEL);
                             }});
        EXPECT_EQ(Box05EditVariableDefs(nullptr, "Variables", table.data()), ok);
        EXPECT_EQ(rows, (std::vector<std::string>{"Beta\t"}));
        if (ok) {
            EXPECT_STREQ(table[0].name, "Beta");
            EXPECT_EQ(table[1].name[0], 0);
        } else {
            EXPECT_STREQ(table[0].name, "alpha") << "sorted even when cancelled";
            EXPECT_STREQ(table[1].name, "Beta");
        }
    }
}

// --- Pen property ------------------------------------------------------------------

TEST_F(DefinitionDialogs, PropertyStyleButtonsChangeOnlyTheirBits)
{
    struct Case {
        int button;
        uint32_t expected;
    };
    const Case cases[] = {{451, 0x2100}, {453, 0x0200}, {450, 0x2000}, {455, 0x2200}};
    for (const Case &c : cases) {
        Property p = PropertyDefault();
        p.capJoin = 0x2200 | 0x7;
        DialogDriver driver({[&](HWND dialog) {
            TestClickButton(dialog, c.button);
            TestClickButton(dialog, IDOK);
        }});
        ASSERT_EQ(Box05EditProperty(nullptr, "Pen", &p), 1);
        EXPECT_EQ(p.capJoin, c.expected | 0x7) << c.button;
    }
}

TEST_F(DefinitionDialogs, PropertyWidthIsCheckedAndCancelKeepsTheRecord)
{
    Property p = PropertyDefault();
    p.fillMode = 2;
    const Property before = p;
    {
        DialogDriver driver({[](HWND dialog) {
            TestClickButton(dialog, 804);    // fill mode 4
            TestClickButton(dialog, 451);    // square ends
            TestClickButton(dialog, 406);    // 1.0 mm
            TestClickButton(dialog, IDCANCEL);
        }});
        EXPECT_EQ(Box05EditProperty(nullptr, "Pen", &p), 0);
    }
    EXPECT_EQ(memcmp(&p, &before, sizeof p), 0) << "cancel leaves the record byte for byte";

    std::string presetShown;
    DialogDriver driver({[&](HWND dialog) {
                             TestClickButton(dialog, 404); // 0.5 mm
                         },
                         [&](HWND dialog) {
                             presetShown = TestItemText(dialog, ID_FIELD);
                             SetDlgItemTextA(dialog, ID_FIELD, "-1");
                             TestClickButton(dialog, IDOK); // refused
                         },
                         [&](HWND dialog) {
                             SetDlgItemTextA(dialog, ID_FIELD, "100");
                             TestClickButton(dialog, 801);
                             TestClickButton(dialog, IDOK);
                         }});
    ASSERT_EQ(Box05EditProperty(nullptr, "Pen", &p), 1);
    EXPECT_EQ(ConvertStringToDouble(presetShown.c_str()), 0.5);
    EXPECT_EQ(Alerts().size(), 1u) << "a negative width";
    EXPECT_EQ(p.width, 100.0);
    EXPECT_EQ(p.fillMode, 1);
}

// --- Default layers and pens --------------------------------------------------------

// Stands in for the command module's list popups: records what was asked
// and answers with the scripted choice (-1: the top item).
struct PopupScript {
    std::vector<int> choices;
    size_t next = 0;
    std::vector<Box01ListPopupKind> kinds;
    std::vector<int> currents;
};
PopupScript g_Popups;

void ScriptedPopup(Box01ListPopupKind kind, HWND owner, const RECT *, int current, int first, int top)
{
    g_Popups.kinds.push_back(kind);
    g_Popups.currents.push_back(current);
    const int choice = g_Popups.choices.at(g_Popups.next++);
    PostMessageA(owner, WM_COMMAND, choice < 0 ? top : first + choice, 0);
}

TEST_F(DefinitionDialogs, DefaultPensChangeOnlyTheSlotsTheyShow)
{
    g_Popups = PopupScript{};
    g_Popups.choices = {3, -1, 7};
    const Box01ListPopupProc realPopup = g_Box01ListPopup;
    g_Box01ListPopup = ScriptedPopup;
    int32_t slots[DEFAULT_SLOTS] = {-1, 2, 2, 2, 2, 11, 12, 13};
    DialogDriver driver({[](HWND dialog) { TestClickButton(dialog, 750); },
                         [](HWND dialog) { TestClickButton(dialog, 751); },
                         [](HWND dialog) { TestClickButton(dialog, 754); },
                         [](HWND dialog) { TestClickButton(dialog, IDOK); }});
    const int result = Box06EditDefaultPens(nullptr, "Pens", slots);
    g_Box01ListPopup = realPopup;
    ASSERT_EQ(result, 1);
    EXPECT_EQ(std::vector<int32_t>(slots, slots + DEFAULT_SLOTS),
              (std::vector<int32_t>{3, -1, 2, 2, 7, 11, 12, 13}));
    EXPECT_EQ(g_Popups.kinds, (std::vector<Box01ListPopupKind>(3, BOX01_POPUP_PENS)));
    EXPECT_EQ(g_Popups.currents, (std::vector<int>{-1, 2, 2})) << "each popup opens on its slot's value";
}

TEST_F(DefinitionDialogs, DefaultLayersCancelLeavesEverySlot)
{
    g_Popups = PopupScript{};
    g_Popups.choices = {5, 6};
    const Box01ListPopupProc realPopup = g_Box01ListPopup;
    g_Box01ListPopup = ScriptedPopup;
    int32_t slots[DEFAULT_SLOTS] = {0, 1, 2, 3, 4, 5, 6, 7};
    DialogDriver driver({[](HWND dialog) { TestClickButton(dialog, 757); },
                         [](HWND dialog) { TestClickButton(dialog, 750); },
                         [](HWND dialog) { TestClickButton(dialog, IDCANCEL); }});
    const int result = Box06EditDefaultLayers(nullptr, "Layers", slots);
    g_Box01ListPopup = realPopup;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(std::vector<int32_t>(slots, slots + DEFAULT_SLOTS), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(g_Popups.kinds, (std::vector<Box01ListPopupKind>(2, BOX01_POPUP_LAYERS)));
}

// --- Line types ---------------------------------------------------------------------

constexpr int ID_ADD = 18, ID_INSERT = 9, ID_COUNT = 350;

// Types text into a field and presses OK.
DialogStep AddLengthTo(int field, const char *text)
{
    return [field, text](HWND dialog) {
        SetDlgItemTextA(dialog, field, text);
        TestClickButton(dialog, IDOK);
    };
}

DialogStep AddLength(const char *text, int button = ID_ADD)
{
    return [text, button](HWND dialog) {
        SetDlgItemTextA(dialog, ID_FIELD, text);
        TestClickButton(dialog, button);
    };
}

TEST_F(DefinitionDialogs, LinePatternsComeInPairsAndWithinTheirRange)
{
    LineDef line = {};
    strcpy(line.name, "dash");
    line.pairs = 1;
    line.lengths[0] = 500;
    line.lengths[1] = 200;
    std::string count;
    DialogDriver driver({AddLength("24"), AddLength("10001"), AddLength("x"), AddLength("25"),
                         [&](HWND dialog) {
                             count = TestItemText(dialog, ID_COUNT);
                             TestClickButton(dialog, IDOK); // three rows: refused
                         },
                         AddLength("10000", ID_INSERT),
                         [](HWND dialog) { TestClickButton(dialog, IDOK); }});
    ASSERT_EQ(Box04EditLinePattern(nullptr, "Pattern", &line), 1);
    EXPECT_EQ(count, std::string("1") + eUniTexts[12]);
    ASSERT_EQ(Alerts().size(), 4u);
    EXPECT_EQ(Alerts()[0], eAlertTextOK[8]);
    EXPECT_EQ(Alerts()[1], eAlertTextOK[8]);
    EXPECT_EQ(Alerts()[2], eAlertTextOK[7]);
    EXPECT_EQ(Alerts()[3], eAlertTextOK[19]);
    EXPECT_EQ(line.pairs, 2);
    // 10000 went in before the new last row (25, still selected after the add).
    EXPECT_EQ(std::vector<int>(line.lengths, line.lengths + 4), (std::vector<int>{500, 200, 10000, 25}));
}

TEST_F(DefinitionDialogs, SixteenLengthsAreTheMostAndNoneIsASolidLine)
{
    LineDef line = {};
    line.pairs = 7;
    for (int i = 0; i < 14; ++i)
        line.lengths[i] = 100 + i;
    DialogDriver driver({AddLength("50"), AddLength("60"), AddLength("70"),
                         [](HWND dialog) { TestClickButton(dialog, IDOK); }});
    ASSERT_EQ(Box04EditLinePattern(nullptr, "Pattern", &line), 1);
    EXPECT_EQ(line.pairs, 8);
    ASSERT_EQ(Alerts().size(), 1u);
    EXPECT_EQ(Alerts()[0], eAlertTextOK[18]);

    std::vector<DialogStep> steps;
    for (int i = 0; i < 16; ++i)
        steps.push_back([](HWND dialog) { TestClickButton(dialog, 13); });
    steps.push_back([](HWND dialog) { TestClickButton(dialog, IDOK); });
    DialogDriver emptying(steps);
    ASSERT_EQ(Box04EditLinePattern(nullptr, "Pattern", &line), 1);
    EXPECT_EQ(line.pairs, 0);
}

TEST_F(DefinitionDialogs, TheLineTypeEditorFlagsOnlyWhatChanged)
{
    std::vector<LineDef> table(LINE_SLOTS);
    strcpy(table[0].name, "Solid");
    strcpy(table[1].name, "Dash");
    table[1].pairs = 1;
    table[1].lengths[0] = table[1].lengths[1] = 300;
    g_DefChangeFlags.lines = 0;
    g_DefChangeFlags.line[7] = 1;
    {
        DialogDriver driver({[](HWND dialog) { TestClickButton(dialog, IDOK); }});
        ASSERT_EQ(Box04EditLineDefs(nullptr, "Line types", table.data(), 1), 1);
    }
    EXPECT_EQ(g_DefChangeFlags.lines, 0u) << "left as it was";
    EXPECT_EQ(g_DefChangeFlags.line[7], 0u);

    bool standardLocked = false;
    std::string proposal = "unset";
    DialogDriver driver({[&](HWND dialog) {
                             // Solid (slot 0) is preselected: it is the model of the new command.
                             standardLocked = !IsWindowEnabled(GetDlgItem(dialog, ID_DELETE)) &&
                                              !IsWindowEnabled(GetDlgItem(dialog, ID_RENAME));
                             TestClickButton(dialog, ID_NEW);
                         },
                         [&](HWND dialog) {
                             proposal = TestItemText(dialog, ID_FIELD);
                             SetDlgItemTextA(dialog, ID_FIELD, "Copy");
                             TestClickButton(dialog, IDOK);
                         },
                         [](HWND dialog) { TestClickButton(dialog, IDOK); }});
    ASSERT_EQ(Box04EditLineDefs(nullptr, "Line types", table.data(), 0), 1);
    EXPECT_TRUE(standardLocked);
    EXPECT_EQ(proposal, "") << "slot 0 proposes an empty name";
    EXPECT_STREQ(table[2].name, "Copy");
    EXPECT_EQ(g_DefChangeFlags.lines, 1u);
    EXPECT_EQ(g_DefChangeFlags.line[2], 1u);
    EXPECT_EQ(g_DefChangeFlags.line[1], 0u);
    SystemClearChanges();
}

// --- Selection filter -----------------------------------------------------------------

constexpr int MENU_LOAD = 12026, MENU_DELETE = 12034, MENU_SAVE = 12042;

struct Filters {
    SelectionFilter current;
    SelectionFilter stored[BOX11_FILTER_STORED];
    Filters()
    {
        Box11FilterReset(&current);
        for (SelectionFilter &f : stored)
            Box11FilterReset(&f);
        strcpy(stored[0].name, "walls");
        stored[0].propertyMask = 64;
        stored[0].values.layer = 3;
        strcpy(stored[1].name, "texts");
    }
};

TEST_F(DefinitionDialogs, CancelUndoesSavingAndDeletingStoredFilters)
{
    for (int ok = 0; ok <= 1; ++ok) {
        Filters f;
        DialogDriver driver({[](HWND dialog) {
                                 TestClickButton(dialog, MENU_DELETE + 1); // texts
                                 TestClickButton(dialog, MENU_SAVE + 2);
                             },
                             Answer("doors"),
                             [ok](HWND dialog) { TestClickButton(dialog, ok ? IDOK : IDCANCEL); }});
        EXPECT_EQ(Box11SelectionFilter(nullptr, "", &f.current, f.stored), ok);
        EXPECT_STREQ(f.stored[1].name, ok ? "" : "texts");
        EXPECT_STREQ(f.stored[2].name, ok ? "doors" : "");
        EXPECT_STREQ(f.stored[0].name, "walls");
    }
}

TEST_F(DefinitionDialogs, ALoadedFilterHasNoNameAndTheTypeListStaysWithinItsTable)
{
    Filters f;
    f.current.values.ownFlags = 0x1234; // the word right after the type flags
    std::string widthShown;
    DialogDriver driver({[&](HWND dialog) {
        TestClickButton(dialog, MENU_LOAD + 0);
        TestClickButton(dialog, 551); // every type
        TestClickButton(dialog, IDOK);
    }});
    ASSERT_EQ(Box11SelectionFilter(nullptr, "", &f.current, f.stored), 1);
    EXPECT_EQ(f.current.name[0], 0);
    EXPECT_EQ(f.current.propertyMask, 64u);
    EXPECT_EQ(f.current.values.layer, 3);
    EXPECT_EQ(f.current.values.ownFlags, 0u) << "the loaded filter's values, nothing written past the types";
    for (int t = 0; t < SELECTION_FILTER_TYPES; ++t)
        EXPECT_EQ(f.current.typeFlags[t], eObjectNames[t] && t <= 47 && eObjectNames[t][0] ? 1u : 0u) << t;

    EXPECT_EQ(Box11ObjectTypeFromListIndex(0), 0);
    EXPECT_EQ(Box11ObjectTypeFromListIndex(2), 5);
    EXPECT_EQ(Box11ObjectTypeFromListIndex(1000), SELECTION_FILTER_TYPES);
    EXPECT_EQ(Box11ListIndexFromObjectType(5), 2);
}

TEST_F(DefinitionDialogs, TheWidthFieldMarksTheWidthForMatching)
{
    Filters f;
    DialogDriver driver({[](HWND dialog) {
                             SetFocus(GetDlgItem(dialog, ID_FIELD));
                             TestClickButton(dialog, 404); // 0.5 mm into the field
                         },
                         [](HWND dialog) { TestClickButton(dialog, IDOK); }});
    ASSERT_EQ(Box11SelectionFilter(nullptr, "", &f.current, f.stored), 1);
    EXPECT_EQ(f.current.propertyMask, 16u);
    EXPECT_EQ(f.current.values.width, 0.5);
}

// --- Coordinate systems -----------------------------------------------------------

SystemDef TestSystem(const char *name)
{
    SystemDef s = {};
    strcpy(s.name, name);
    s.scale = 1;
    s.lengthUnit = UNIT_CODE_MILLIMETRE;
    s.widthUnit = UNIT_CODE_MILLIMETRE;
    s.decimals = 2;
    return s;
}

DialogStep Ratio(const char *a, const char *b)
{
    return [a, b](HWND dialog) {
        SetDlgItemTextA(dialog, 201, a);
        SetDlgItemTextA(dialog, 202, b);
        TestClickButton(dialog, IDOK);
    };
}

TEST_F(DefinitionDialogs, TheDisplayPageStoresTheScaleAsARatio)
{
    SystemDef s = TestSystem("plan");
    std::vector<std::string> shown;
    DialogDriver driver({Ratio("1", "1e11"), Ratio("1", "50"), [](HWND dialog) { TestClickButton(dialog, IDOK); }});
    ASSERT_EQ(Box03EditSystemDisplay(nullptr, "Display", &s), 1);
    EXPECT_DOUBLE_EQ(s.scale, 0.02);
    EXPECT_EQ(Alerts().size(), 1u) << "1 : 1e11 is refused";

    DialogDriver again({[&](HWND dialog) {
        shown = {TestItemText(dialog, 201), TestItemText(dialog, 202)};
        TestClickButton(dialog, IDCANCEL);
    }});
    EXPECT_EQ(Box03EditSystemDisplay(nullptr, "Display", &s), 0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(ConvertStringToDouble(shown[0].c_str()), 1.0);
    EXPECT_EQ(ConvertStringToDouble(shown[1].c_str()), 50.0);
    char summary[TABLE_SUMMARY_SIZE];
    Box03FormatSystemSummary(&s, summary);
    EXPECT_NE(std::string(summary).find("1.0:50.0"), std::string::npos) << summary;
}

TEST_F(DefinitionDialogs, DecimalsAreAWholeNumberUpToNine)
{
    SystemDef s = TestSystem("plan");
    DialogDriver driver({AddLengthTo(200, "x"), AddLengthTo(200, "10"), AddLengthTo(200, "4")});
    ASSERT_EQ(Box03EditSystemNumber(nullptr, "Numbers", &s), 1);
    EXPECT_EQ(s.decimals, 4);
    EXPECT_EQ(Alerts(), (std::vector<std::string>{eAlertTextOK[7], eAlertTextOK[8]}));
}

TEST_F(DefinitionDialogs, TheSystemEditorTakesAndFlagsWhatChanged)
{
    std::vector<SystemDef> table(SYSTEM_SLOTS);
    table[0] = TestSystem("World");
    table[1] = TestSystem("plan");
    int32_t index = 1;
    g_DefChangeFlags.system[3] = 1;
    {
        DialogDriver driver({[](HWND dialog) { TestClickButton(dialog, IDOK); }});
        ASSERT_EQ(Box03EditSystemDefs(nullptr, "Systems", table.data(), &index), 1);
    }
    EXPECT_EQ(index, -1);
    EXPECT_EQ(g_DefChangeFlags.system[3], 0u);

    index = 0;
    bool pagesLocked = false;
    DialogDriver driver({[&](HWND dialog) {
                             pagesLocked = !IsWindowEnabled(GetDlgItem(dialog, 550));
                             TestClickButton(dialog, ID_NEW); // a copy of the world system
                         },
                         Answer("copy"),
                         [](HWND dialog) { TestClickButton(dialog, BOX03_TAKEN); }});
    ASSERT_EQ(Box03EditSystemDefs(nullptr, "Systems", table.data(), &index), 1);
    EXPECT_TRUE(pagesLocked);
    EXPECT_EQ(index, 2);
    EXPECT_STREQ(table[2].name, "copy");
    EXPECT_EQ(g_DefChangeFlags.systems, 1u);
    EXPECT_EQ(g_DefChangeFlags.system[2], 1u);
    SystemClearChanges();
}

} // namespace

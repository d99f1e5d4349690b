// The language module's interface, shared by language.dll and the program.
//
// language.dll holds every user-visible text (73 tables of string pointers)
// and every dialog template. The tables are data exports with plain names; the
// program imports them by name when it is loaded, so it does not start without
// the module. The two entry points are found by name with GetProcAddress.
#pragma once

#include <windows.h>

// Calling convention of the entry points. The .def file keeps their names
// undecorated ("ZVI_LanguageInit", not "ZVI_LanguageInit@16").
#define LANGUAGE_CALL __stdcall

// The interface number the program passes to ZVI_LanguageInit.
constexpr int LANGUAGE_INTERFACE_NUMBER = 473;

typedef int(LANGUAGE_CALL *LanguageInitProc)(HINSTANCE instance, HWND mainWnd, int interfaceNumber,
                                             void *exchangeBlock);
typedef int(LANGUAGE_CALL *LanguageExitProc)();

// Every text table, in one list: declarations, the generator's check and the
// check program all walk it.
#define LANGUAGE_TABLES(X)                                                                          \
    X(eAlertTextOK) X(eAlertTextSM) X(eAlertErrorText) X(eButtonText) X(eCaptionTexts) X(eUniTexts) \
    X(eDialogText) X(eBoxText) X(eGuideText) X(eDimensionText) X(eIconNames) X(eTooltipTexts)       \
    X(ePointNames) X(eStartUpText1) X(eStartUpText2) X(eMenu01Commands) X(eMenu02Commands)          \
    X(eMenu03Commands) X(eMenu04Commands) X(eMenu05Commands) X(eMenu06Commands) X(eMenu07Commands)  \
    X(eMenu08Commands) X(eMenu09Commands) X(eMenu10Commands) X(eMenu11Commands) X(eTabletCommands)  \
    X(eInternCommands) X(eSystemCommands) X(eSpecialMenus) X(eMenuLongNames) X(eMenuShortNames)     \
    X(eMenuNames) X(eDayNames) X(eMonthNames) X(eTimeNames) X(eDateOnlyFormats) X(eTimeOnlyFormats) \
    X(eDateTimeFormats) X(eSnapModeTexts) X(eStatusTexts) X(eHeadlineText)                          \
    X(ePropSheetSetPageTitles) X(ePropSheetOptPageTitles) X(ePropSheetObjPageTitles)                \
    X(eBlockWinSortMode) X(eFileOptions) X(eMonitorSizes) X(eSectionNames) X(eFileSearchTexts)      \
    X(eObjectNames) X(eHeaderFormats) X(ePageMode) X(eDimensionOrient) X(ePageSizeNames)            \
    X(eInsertText1) X(eInsertText2) X(eInsertTextDisplay1) X(eInsertTextDisplay2) X(eAboutText)     \
    X(eProfileTitle) X(eFillModeNames) X(eDefaultPaths) X(eColorNames) X(eLineUnitNames)            \
    X(eLenUnitNames) X(eAngleUnitNames) X(eSysOptionNames) X(eSysOrgModeNames)                      \
    X(eSysFractionNames) X(eSysGridNames) X(eFontStyleNames) X(eDefaultNames)

#ifdef LANGUAGE_BUILDING_MODULE
#define LANGUAGE_TABLE_DECL(name) extern "C" const char *const name[];
#else
#define LANGUAGE_TABLE_DECL(name) extern "C" __declspec(dllimport) const char *const name[];
#endif
LANGUAGE_TABLES(LANGUAGE_TABLE_DECL)
#undef LANGUAGE_TABLE_DECL

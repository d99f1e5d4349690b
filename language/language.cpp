// Entry points of the language module.
#define LANGUAGE_BUILDING_MODULE
#include "language.h"

extern "C" int LANGUAGE_CALL ZVI_LanguageInit(HINSTANCE instance, HWND mainWnd, int interfaceNumber,
                                              void *exchangeBlock)
{
    // A program built for another interface would read the tables wrongly.
    return interfaceNumber == LANGUAGE_INTERFACE_NUMBER ? 1 : 0;
}

extern "C" int LANGUAGE_CALL ZVI_LanguageExit()
{
    return 1;
}

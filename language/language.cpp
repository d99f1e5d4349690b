// Entry points of the language module.
#define LANGUAGE_BUILDING_MODULE
#include "language.h"

#include <cstdint>
#include <cstring>

namespace {

// Fields of the program's exchange block that belong to the language module
// (byte offsets); everything else in the block is the program's.
constexpr size_t EXCHANGE_LOCALE_SWITCH = 0;
constexpr size_t EXCHANGE_INCH_SWITCH = 4;
constexpr size_t EXCHANGE_MODULE_SWITCHES = 17780; // three u32

// This module's choices: metric units and the default locale.
constexpr uint32_t LOCALE_SWITCH = 0;
constexpr uint32_t INCH_SWITCH = 0;
constexpr uint32_t MODULE_SWITCHES[3] = {0, 0, 0};

void Put(void *block, size_t offset, uint32_t value)
{
    std::memcpy(static_cast<char *>(block) + offset, &value, sizeof value);
}

} // namespace

extern "C" int LANGUAGE_CALL ZVI_LanguageInit(HINSTANCE instance, HWND mainWnd, int interfaceNumber,
                                              void *exchangeBlock)
{
    // A program built for another interface would read the tables wrongly.
    if (interfaceNumber != LANGUAGE_INTERFACE_NUMBER)
        return 0;
    if (exchangeBlock) {
        Put(exchangeBlock, EXCHANGE_LOCALE_SWITCH, LOCALE_SWITCH);
        Put(exchangeBlock, EXCHANGE_INCH_SWITCH, INCH_SWITCH);
        for (size_t i = 0; i < 3; ++i)
            Put(exchangeBlock, EXCHANGE_MODULE_SWITCHES + 4 * i, MODULE_SWITCHES[i]);
    }
    return 1;
}

extern "C" int LANGUAGE_CALL ZVI_LanguageExit()
{
    return 1;
}

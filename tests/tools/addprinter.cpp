// Adds the PostScript printer that prints to files to the Wine prefix and
// makes it the default printer, so that the program can print there.
#include <cstdio>

#include "common/test_printer.h"

int main()
{
    if (!TestAddPostScriptPrinter()) {
        std::fprintf(stderr, "addprinter: the printer \"%s\" could not be added\n", TEST_PRINTER_NAME);
        return 1;
    }
    return 0;
}

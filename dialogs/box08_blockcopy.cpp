// Copying blocks between libraries: one block, or every block of a folder.
#include "dialogs/box08_blockcopy.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "database/symbol_browse.h"
#include "database/unit.h"
#include "dialogs/alert.h"
#include "dialogs/box12.h"
#include "language/language.h"

namespace {

constexpr int kReplaceAll = 109; // eAlertTextOK
constexpr int MESSAGE_SIZE = 512;

} // namespace

int Box08CopyFolder(HWND owner, const char *sourceLibrary, const char *sourceBlock, const char *targetLibrary,
                    const char *targetBlock)
{
    if (SymbolLibraryIsCaching(sourceLibrary))
        return 0;
    char sourceFolder[BLOCK_NAME_SIZE], targetFolder[BLOCK_NAME_SIZE];
    Box12PathSplit(sourceBlock, nullptr, sourceFolder);
    Box12PathSplit(targetBlock, nullptr, targetFolder);
    SymbolBrowseLibrary(sourceLibrary, sourceFolder, 1);
    std::vector<std::string> leaves;
    for (int i = 0; i < SymbolBrowseBlockCount(); ++i)
        leaves.emplace_back(SymbolBrowseBlockName(i));
    auto target = [&](const std::string &leaf) { return std::string(targetFolder) + leaf; };
    int overwrite = -1; // asked once, at the first existing target
    for (const std::string &leaf : leaves)
        if (overwrite < 0 && SymbolBlockExists(targetLibrary, target(leaf).c_str())) {
            char text[MESSAGE_SIZE];
            std::snprintf(text, sizeof text, eAlertTextOK[kReplaceAll], target(leaf).c_str());
            overwrite = AlertYesNo(owner, text) == ALERT_YES ? 1 : 0;
        }
    int copied = 0;
    for (const std::string &leaf : leaves) {
        const std::string source = std::string(sourceFolder) + leaf, name = target(leaf);
        if (source.size() >= size_t(UNIT_NAME_SIZE) || name.size() >= size_t(UNIT_NAME_SIZE)) {
            AlertSM52(owner);
            break;
        }
        // A kept target is not a copy: only blocks really written count.
        if (overwrite == 0 && SymbolBlockExists(targetLibrary, name.c_str()))
            continue;
        if (!SymbolCopyBlock(sourceLibrary, targetLibrary, source.c_str(), name.c_str(), 1)) {
            AlertSM52(owner);
            break;
        }
        ++copied;
    }
    return copied;
}

// Reading one entry of a language table safely.
#pragma once

#include "language/language.h"

// The end entry that closes every table.
constexpr char LANGUAGE_END_MARK = '\x04';

// Entry index of a table, or "" when the table ends before it.
inline const char *LanguageEntry(const char *const *table, int index)
{
    if (index < 0)
        return "";
    for (int i = 0; i <= index; ++i)
        if (!table[i] || table[i][0] == LANGUAGE_END_MARK)
            return "";
    return table[index];
}

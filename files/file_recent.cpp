// The list of recent drawings, newest first (kept in the profile lists).
#include <cstring>

#include "app/system.h"
#include "files/file.h"

void FileRemoveRecent(int index)
{
    ProfileLists &p = g_ProfileLists;
    if (index < 0 || index >= p.recentCount || index >= RECENT_DRAWINGS)
        return;
    for (int i = index; i + 1 < p.recentCount && i + 1 < RECENT_DRAWINGS; ++i)
        std::memcpy(p.recent[i], p.recent[i + 1], sizeof p.recent[i]);
    --p.recentCount;
    p.recent[p.recentCount][0] = '\0';
}

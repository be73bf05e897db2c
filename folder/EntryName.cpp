#include "folder/EntryName.h"

#include <algorithm>
#include <cstdio>

std::string ComposeEntryName(int place, int check, const CFileEntry& entry)
{
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "%02d%c_", std::clamp(place + 1, 1, kMaxEntryPlace),
                  check == 1 ? 'e' : 'd');
    return prefix + entry.GetDisplayName();
}

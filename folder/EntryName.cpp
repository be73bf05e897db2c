#include "folder/EntryName.h"

#include <algorithm>
#include <cstdio>

std::string ComposeEntryName(int place, int check, const CFileEntry& entry)
{
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "%02d%c_", std::clamp(place, 0, kMaxEntryPlace - 1) + 1,
                  check == 1 ? 'e' : 'd');
    return prefix + entry.GetDisplayName();
}

EntryRename ComposeEntryRename(const std::string& folder, int place, int check,
                               const CFileEntry& entry)
{
    return {folder + "/" + entry.GetFileName(),
            folder + "/" + ComposeEntryName(place, check, entry)};
}

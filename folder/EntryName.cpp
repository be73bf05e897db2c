#include "folder/EntryName.h"

#include <algorithm>

std::string ComposeEntryName(int place, int check, const CFileEntry& entry)
{
    // Clamped before adding one, so that no place can overflow.
    const int number = std::clamp(place, 0, kMaxEntryPlace - 1) + 1;
    const char prefix[] = {static_cast<char>('0' + number / 10),
                           static_cast<char>('0' + number % 10), check == 1 ? 'e' : 'd', '_'};
    return std::string(prefix, sizeof prefix) + entry.GetDisplayName();
}

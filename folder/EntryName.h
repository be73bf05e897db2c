// The writing rule for entry names: the new name carries the entry's 1-based place, two
// digits, e for a check of exactly 1 and d otherwise, an underscore, then its display name.
#pragma once

#include <string>

#include "folder/CFileEntry.h"

// The highest place two digits can hold. Later places are written as this one, so that the
// file keeps a valid prefix and the state the user chose; such files come last, after the
// other files of place 99, in name order.
constexpr int kMaxEntryPlace = 99;

// place: 0-based position in the list; check: the list's check state.
std::string ComposeEntryName(int place, int check, const CFileEntry& entry);

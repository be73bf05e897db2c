// The files of one launch folder, in launch order. Scanning reads the folder where it is and
// changes nothing about the process: the working directory stays the one Hanavo started in.
#pragma once

#include <string>
#include <vector>

#include "folder/CFileEntry.h"

class CFileList
{
public:
    static constexpr int kMaxFiles = 100;

    CFileList();
    virtual ~CFileList() = default;

    // The number of files recorded, 0 to 100; 0 when the folder cannot be read. Names left by
    // an order apply that was cut short are first put back (see EntryRenames.h).
    int Scan(std::string folder);
    // A copy of the entry; an empty entry at or beyond the list's size.
    CFileEntry GetEntry(int index) const;
    // Whether the last Scan could read its folder.
    bool FolderEntered() const { return m_bEntered; }
    int Size() const { return static_cast<int>(m_arrEntries.size()); }

private:
    std::vector<CFileEntry> m_arrEntries;
    bool m_bEntered = false;
};

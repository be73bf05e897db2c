#include "folder/CFileList.h"

#include <stdexcept>

#include "folder/EntryRenames.h"
#include "platform/Os.h"

CFileList::CFileList() : m_arrEntries(16) {}

int CFileList::Scan(std::string folder)
{
    std::vector<std::string> names;
    m_bEntered = platform::ListFolderFiles(folder, kMaxFiles, names);
    // An order apply that was cut short left names of its own, which sort first: put them
    // back before anything is listed or launched.
    while (m_bEntered && RecoverEntryNames(folder, names) > 0)
        m_bEntered = platform::ListFolderFiles(folder, kMaxFiles, names);
    int n = 0;
    for (std::string& name : names) {
        if (n >= kMaxFiles)
            break;
        // One that could be put nowhere is neither listed nor launched: it was meant to have
        // another place and state.
        std::string oldName, newName;
        if (ParseApplyName(name, oldName, newName))
            continue;
        if (n >= static_cast<int>(m_arrEntries.size()))
            m_arrEntries.resize(n + 1);
        m_arrEntries[n].SetFileName(name);
        ++n;
    }
    return n;
}

CFileEntry CFileList::GetEntry(int index) const
{
    if (index < 0)
        throw std::invalid_argument("negative entry index");
    if (index < static_cast<int>(m_arrEntries.size()))
        return m_arrEntries[index];
    return CFileEntry();
}

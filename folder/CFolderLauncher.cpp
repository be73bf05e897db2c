#include "folder/CFolderLauncher.h"

#include "folder/CFileList.h"
#include "platform/Os.h"
#include "res/Strings.h"
#include "res/resource.h"

CFolderLauncher::CFolderLauncher(platform::Host& host, std::string folder)
    : m_host(host), m_strFolder(std::move(folder))
{
}

bool CFolderLauncher::Run()
{
    if (m_strFolder.empty())
        return true;
    CFileList list;
    const int n = list.Scan(m_strFolder);
    if (!list.FolderEntered())
        return false;
    for (int i = 0; i < n; ++i) {
        // A session that is ending stops the sequence: nothing more is started.
        if (m_host.SessionEnding())
            break;
        const CFileEntry entry = list.GetEntry(i);
        if (!entry.IsEnabled())
            continue;
        // The stored name, prefix included, found in the folder and started there.
        const int result = platform::ShellOpen(nullptr, entry.GetFileName(), nullptr, &m_strFolder);
        if (result < 33)
            m_host.ShowMessage(res::FormatNumber(IDS_EXEC_FAILED, result),
                               platform::MessageIcon::Exclamation);
    }
    return true;
}

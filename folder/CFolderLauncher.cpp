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
        const CFileEntry entry = list.GetEntry(i);
        if (!entry.IsEnabled())
            continue;
        // The stored name, prefix included, found in the working directory Scan entered.
        const int result = platform::ShellExecute(nullptr, entry.GetFileName(), nullptr, nullptr);
        if (result < 33)
            m_host.MessageBox(res::FormatNumber(IDS_EXEC_FAILED, result),
                              platform::MessageIcon::Exclamation);
    }
    return true;
}

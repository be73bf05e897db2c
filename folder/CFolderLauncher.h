// Launches the enabled files of one folder, in launch order, reporting each failure.
#pragma once

#include <string>

#include "platform/Host.h"

class CFolderLauncher
{
public:
    CFolderLauncher(platform::Host& host, std::string folder);
    virtual ~CFolderLauncher() = default;

    // False only when a folder is set but cannot be read; nothing is launched then. Each file
    // starts in the folder. Stops before the next file once the session is ending.
    bool Run();

private:
    platform::Host& m_host;
    std::string m_strFolder;
};

// The one record of what is launched, after how many seconds and how. The application object
// owns it; the timer window borrows it for its modal run.
#pragma once

#include <string>

struct LaunchSettings
{
    int m_nSeconds = 60;
    std::string m_strCommand;
    std::string m_strOptions;
    std::string m_strTopDir;
    bool m_bAutoStart = false;
    bool m_bRunFiles = false;
    bool m_bRunCommand = true;
    bool m_bForeground = false;
};

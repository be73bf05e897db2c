#include "app/CLaunchTimerApp.h"

#include "app/LaunchSettings.h"
#include "res/Strings.h"
#include "res/resource.h"
#include "timer/CLaunchTimerDlg.h"

namespace {

const char kCompany[] = "Quillmere";
const char kSection[] = "Settings";
const char kSeconds[] = "Seconds";
const char kCommand[] = "Command";
const char kOptions[] = "Options";
const char kTopDir[] = "TopDir";
const char kForeground[] = "Foreground";

// Automatic mode: the letter A in either case anywhere in the argument bytes.
bool HasAutoLetter(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text.find('A') != std::string::npos;
}

} // namespace

CLaunchTimerApp::CLaunchTimerApp(platform::Host& host, platform::ProfileStore& store)
    : m_host(host), m_store(store)
{
}

bool CLaunchTimerApp::InitInstance(std::string argumentText)
{
    const std::string titleStopped = res::LoadText(IDS_TITLE_STOPPED);
    const std::string titleCounting = res::LoadText(IDS_TITLE_COUNTING);

    // Only one copy runs: another instance's timer window ends this one without a trace.
    if (m_host.FindWindowByTitle(titleStopped))
        return false;
    if (m_host.FindWindowByTitle(titleCounting))
        return false;

    m_store.SetRegistryKey(kCompany);

    LaunchSettings settings;
    settings.m_strCommand = m_store.GetString(kSection, kCommand, "");
    settings.m_nSeconds = m_store.GetInt(kSection, kSeconds, 60);
    settings.m_strOptions = m_store.GetString(kSection, kOptions, "");
    settings.m_strTopDir = m_store.GetString(kSection, kTopDir, "");
    const bool storedForeground = m_store.GetInt(kSection, kForeground, 1) != 0;
    settings.m_bRunCommand = true;
    settings.m_bAutoStart = false;
    settings.m_bRunFiles = false;
    settings.m_bForeground = false;
    bool somethingToLaunch = true;

    if (HasAutoLetter(argumentText)) {
        if (settings.m_strCommand.empty() && settings.m_strTopDir.empty())
            somethingToLaunch = false;
        settings.m_bAutoStart = true;
        if (!settings.m_strTopDir.empty())
            settings.m_bRunFiles = true;
        settings.m_bForeground = storedForeground;
        if (!somethingToLaunch)
            return false;
    }

    {
        CLaunchTimerDlg dlg(m_host);
        dlg.SetSettings(&settings);
        m_host.SetMainWindow(&dlg);
        dlg.DoModal();
        m_host.SetMainWindow(nullptr);
    }

    // One save of all five values; a failure is silent: the program still ends normally.
    m_store.WriteValues(kSection, {{kSeconds, settings.m_nSeconds},
                                   {kCommand, settings.m_strCommand},
                                   {kOptions, settings.m_strOptions},
                                   {kTopDir, settings.m_strTopDir},
                                   {kForeground, storedForeground ? 1 : 0}});
    return false;
}

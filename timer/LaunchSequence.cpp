// The launch sequence of the timer window: what the program exists to do.
#include "folder/CFolderLauncher.h"
#include "platform/Os.h"
#include "res/Strings.h"
#include "res/resource.h"
#include "timer/CLaunchTimerDlg.h"

void CLaunchTimerDlg::OnRunNow()
{
    // The state flag stays as it was: a message box shown by the sequence sits over a window
    // whose title still tells the state from before the press.
    KillTimer(m_nTimerId);
    RunLaunchSequence();
}

void CLaunchTimerDlg::RunLaunchSequence()
{
    m_host.SetCursor(platform::Cursor::Wait);

    // The command starts in the launch folder when the folder step read it, else in the folder
    // Hanavo was started in.
    const std::string* commandFolder = nullptr;
    if (m_pSettings->m_bRunFiles) {
        CFolderLauncher launcher(m_host, m_pSettings->m_strTopDir);
        // At login a vanished folder must not fail in silence; the command still follows.
        if (!launcher.Run()) {
            platform::ReportFolderUnreadable(m_pSettings->m_strTopDir);
            m_host.ShowMessage(res::LoadText(IDS_FOLDER_MISSING),
                               platform::MessageIcon::Exclamation);
        } else if (!m_pSettings->m_strTopDir.empty())
            commandFolder = &m_pSettings->m_strTopDir;
    }

    // An ending session gets no command: the window just closes and the settings are saved.
    if (m_pSettings->m_bRunCommand && !m_host.SessionEnding())
        RunCommandStep(commandFolder);

    m_host.SetCursor(platform::Cursor::Arrow);
    OnOK();
}

void CLaunchTimerDlg::RunCommandStep(const std::string* folder)
{
    const std::string& command = m_pSettings->m_strCommand;
    if (command == "msg") {
        m_pWnd->SetTopmost();
        m_host.ShowMessage(m_pSettings->m_strOptions, platform::MessageIcon::Information);
        return;
    }
    if (command.empty())
        return;
    // An empty argument text, never none.
    const std::string arguments = m_pSettings->m_strOptions;
    const int result = platform::ShellOpen("open", command, &arguments, folder);
    if (result < 33)
        m_host.ShowMessage(res::FormatNumber(IDS_EXEC_FAILED, result),
                           platform::MessageIcon::Exclamation);
}

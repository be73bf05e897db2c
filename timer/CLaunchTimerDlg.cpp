#include "timer/CLaunchTimerDlg.h"

#include "dialogs/CSettingDialog.h"
#include "platform/Os.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/ToolTip.h"
#include "res/resource.h"
#include "timer/CAboutDlg.h"
#include "timer/ForceForeground.h"

namespace {
constexpr unsigned kTickTimer = 1;
constexpr unsigned kTickMilliseconds = 1000;
} // namespace

CLaunchTimerDlg::CLaunchTimerDlg(platform::Host& host)
    : Dialog(host, res::GetTemplate(IDD_LAUNCHTIMER_DIALOG)), m_hIcon(IDR_MAINFRAME)
{
    OnCommandId(IDC_SETTINGS, [this] { OnSettings(); });
    OnCommandId(IDC_START, [this] { OnStart(); });
    OnCommandId(IDC_STOP, [this] { OnStop(); });
    OnCommandId(IDC_RESET, [this] { OnReset(); });
    OnCommandId(IDC_RUN_NOW, [this] { OnRunNow(); });
    OnCommandId(IDC_CLOSE, [this] { OnCloseButton(); });
    OnCommandId(IDC_RUN_FILES, [this] { OnRunFilesCheck(); });
    OnCommandId(IDC_RUN_COMMAND, [this] { OnRunCommandCheck(); });
}

CLaunchTimerDlg::~CLaunchTimerDlg()
{
    m_fontCounter.DeleteObject();
}

bool CLaunchTimerDlg::OnInitDialog()
{
    Dialog::OnInitDialog();

    const std::string about = res::LoadText(IDS_ABOUTBOX);
    if (!about.empty()) {
        m_pWnd->AppendSystemMenu(0, "");
        m_pWnd->AppendSystemMenu(IDM_ABOUTBOX, about);
    }
    m_pWnd->SetIcon(m_hIcon, true);
    m_pWnd->SetIcon(m_hIcon, false);
    m_pWnd->EnableToolTips(res::ToolTipsOf(IDD_LAUNCHTIMER_DIALOG));

    // 64-point Arial; when the font cannot be had the counter keeps the dialog's font.
    m_fontCounter.CreatePointFont(640, "Arial");
    m_pWnd->SetFont(IDC_COUNTER, m_fontCounter);

    UpdateTitle();
    UpdateCheckBoxes();
    UpdateStatusLine();
    m_nRemaining = m_pSettings->m_nSeconds;
    UpdateCounter();
    if (m_pSettings->m_bAutoStart)
        StartCount();
    else
        UpdateButtons();
    return true;
}

void CLaunchTimerDlg::DestroyWindow()
{
    m_fontCounter.DeleteObject();
    KillTimer(m_nTimerId);
    m_nTimerId = 0;
}

bool CLaunchTimerDlg::HasSomethingToLaunch() const
{
    return (!m_pSettings->m_strCommand.empty() && m_pSettings->m_bRunCommand) ||
           m_pSettings->m_bRunFiles;
}

void CLaunchTimerDlg::StartCount()
{
    if (m_pSettings->m_strCommand.empty() && !m_pSettings->m_bRunFiles)
        return;
    m_nRemaining = m_pSettings->m_nSeconds;
    m_nTimerId = SetTimer(kTickTimer, kTickMilliseconds);
    if (m_nTimerId == 0)
        return;
    m_bStopped = false;
    UpdateTitle();
    UpdateButtons();
}

void CLaunchTimerDlg::StopCount()
{
    if (m_bStopped)
        return;
    // Stopped once the kill has been attempted: a timer that refuses to die must not leave
    // the window running, or the button rule would stop it again without end.
    KillTimer(m_nTimerId);
    m_bStopped = true;
    UpdateTitle();
    UpdateButtons();
}

void CLaunchTimerDlg::UpdateTitle()
{
    SetTitleText(res::LoadText(m_bStopped ? IDS_TITLE_STOPPED : IDS_TITLE_COUNTING));
}

void CLaunchTimerDlg::UpdateCounter()
{
    SetItemText(IDC_COUNTER, std::to_string(m_nRemaining));
}

void CLaunchTimerDlg::UpdateStatusLine()
{
    if (!m_pSettings)
        return;
    const std::string& command = m_pSettings->m_strCommand;
    std::string text;
    if (command.empty()) {
        text = res::LoadText(IDS_STATUS_NOCOMMAND);
    } else if (command == "msg") {
        text = res::LoadText(IDS_STATUS_MESSAGE);
    } else {
        // A separator never occurs inside a multi-byte UTF-8 character: a byte search is safe.
        std::size_t start = command.size();
        while (start > 0 && !platform::IsPathSeparator(command[start - 1]))
            --start;
        text = res::FormatString1(IDS_STATUS_COMMAND, command.substr(start));
    }
    if (m_pWnd->HasControl(IDC_STATUS))
        SetItemText(IDC_STATUS, text);
}

void CLaunchTimerDlg::UpdateCheckBoxes()
{
    SetCheck(IDC_RUN_COMMAND, m_pSettings->m_bRunCommand ? 1 : 0);
    EnableItem(IDC_RUN_COMMAND, !m_pSettings->m_strCommand.empty());
    SetCheck(IDC_RUN_FILES, m_pSettings->m_bRunFiles ? 1 : 0);
    EnableItem(IDC_RUN_FILES, !m_pSettings->m_strTopDir.empty());
}

void CLaunchTimerDlg::UpdateButtons()
{
    const bool launchable = HasSomethingToLaunch();
    if (!m_bStopped && !launchable)
        StopCount(); // shows the stopped title and applies this rule again
    EnableItem(IDC_START, m_bStopped && launchable);
    EnableItem(IDC_STOP, !m_bStopped && launchable);
    EnableItem(IDC_RUN_NOW, launchable);
}

void CLaunchTimerDlg::OnStart()
{
    StartCount();
}

void CLaunchTimerDlg::OnStop()
{
    StopCount();
}

void CLaunchTimerDlg::OnReset()
{
    m_nRemaining = m_pSettings->m_nSeconds;
    UpdateCounter();
}

void CLaunchTimerDlg::OnCloseButton()
{
    OnCancel();
}

void CLaunchTimerDlg::OnRunCommandCheck()
{
    m_pSettings->m_bRunCommand = GetCheck(IDC_RUN_COMMAND) == 1;
    UpdateButtons();
}

void CLaunchTimerDlg::OnRunFilesCheck()
{
    m_pSettings->m_bRunFiles = GetCheck(IDC_RUN_FILES) == 1;
    UpdateButtons();
}

void CLaunchTimerDlg::OnTimer(std::uintptr_t)
{
    // A stored count of zero or below launches at the first tick; the test comes before the
    // decrement, which the lowest int could not survive.
    m_nRemaining = m_nRemaining > 1 ? m_nRemaining - 1 : 0;
    UpdateCounter();
    if (m_pSettings->m_bForeground)
        ForceForeground(*m_pWnd);
    if (m_nRemaining == 0) {
        StopCount();
        RunLaunchSequence();
    }
}

void CLaunchTimerDlg::OnSettings()
{
    StopCount();
    CSettingDialog dlg(m_host);
    dlg.m_nSeconds = m_pSettings->m_nSeconds;
    dlg.m_strCommand = m_pSettings->m_strCommand;
    dlg.m_strOptions = m_pSettings->m_strOptions;
    dlg.m_strTopDir = m_pSettings->m_strTopDir;
    if (dlg.DoModal() != platform::IdOk)
        return;
    m_pSettings->m_strCommand = dlg.m_strCommand;
    m_pSettings->m_nSeconds = dlg.m_nSeconds;
    m_pSettings->m_strOptions = dlg.m_strOptions;
    m_pSettings->m_strTopDir = dlg.m_strTopDir;
    if (m_pSettings->m_strTopDir.empty())
        m_pSettings->m_bRunFiles = false;
    UpdateStatusLine();
    m_nRemaining = m_pSettings->m_nSeconds;
    UpdateCounter();
    UpdateCheckBoxes();
    UpdateButtons();
}

void CLaunchTimerDlg::OnSysCommand(unsigned command)
{
    if ((command & 0xFFF0u) == IDM_ABOUTBOX) {
        CAboutDlg about(m_host);
        about.DoModal();
    }
}

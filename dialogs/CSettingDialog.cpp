#include "dialogs/CSettingDialog.h"

#include "dialogs/COrderDialog.h"
#include "folder/CFileList.h"
#include "platform/DataExchange.h"
#include "platform/Os.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/ToolTip.h"
#include "res/resource.h"

namespace {
constexpr int kMinSeconds = 10;
constexpr int kMaxSeconds = 300;
constexpr int kSecondsStep = 5;
// UTF-16 code units, counted alike on every platform.
constexpr int kMaxFolderChars = 260;
const char kFolderChooserTitle[] = "ショートカットの保存先";
} // namespace

CSettingDialog::CSettingDialog(platform::Host& host)
    : Dialog(host, res::GetTemplate(IDD_SETTING_DIALOG))
{
    OnCommandId(IDC_BROWSE_COMMAND, [this] { OnBrowseCommand(); });
    OnCommandId(IDC_BROWSE_FOLDER, [this] { OnBrowseFolder(); });
    OnCommandId(IDC_FILE_SETTINGS, [this] { OnFileSettings(); });
}

void CSettingDialog::DoDataExchange(platform::DataExchange& dx)
{
    dx.Text(IDC_SECONDS, m_nSeconds);
    dx.MinMaxInt(IDC_SECONDS, m_nSeconds, kMinSeconds, kMaxSeconds);
    dx.Text(IDC_COMMAND, m_strCommand);
    dx.Text(IDC_OPTIONS, m_strOptions);
    dx.Text(IDC_TOPDIR, m_strTopDir);
    dx.MaxChars(IDC_TOPDIR, m_strTopDir, kMaxFolderChars);
}

bool CSettingDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    m_pWnd->EnableToolTips(res::ToolTipsOf(IDD_SETTING_DIALOG));
    m_pWnd->SetUpDownRange(IDC_SECONDS_SPIN, kMinSeconds, kMaxSeconds);
    m_pWnd->SetUpDownStep(IDC_SECONDS_SPIN, kSecondsStep);
    m_bLoginStart = platform::LoginStartEnabled();
    SetCheck(IDC_LOGIN_START, m_bLoginStart ? 1 : 0);
    return true;
}

void CSettingDialog::OnOK()
{
    if (!UpdateData(true))
        return;
    // The login start is the desktop's, not a stored value: changed here, on OK only.
    const bool wanted = GetCheck(IDC_LOGIN_START) == 1;
    if (wanted != m_bLoginStart && !platform::SetLoginStart(wanted))
        m_host.ShowMessage(res::LoadText(IDS_LOGIN_START_FAILED),
                           platform::MessageIcon::Exclamation);
    EndDialog(platform::IdOk);
}

void CSettingDialog::OnBrowseCommand()
{
    auto path = m_host.ChooseFile(*this, res::LoadText(IDS_FILE_FILTER));
    if (!path)
        return;
    // This field only: what was typed into the others stays.
    SetItemText(IDC_COMMAND, *path);
}

void CSettingDialog::OnBrowseFolder()
{
    auto path = m_host.ChooseFolder(*this, kFolderChooserTitle);
    if (!path)
        return;
    SetItemText(IDC_TOPDIR, *path);
}

void CSettingDialog::OnFileSettings()
{
    // The folder as it stands in the field, typed or pasted, before any OK.
    const std::string folder = GetItemText(IDC_TOPDIR);
    if (folder.empty()) {
        m_host.ShowMessage(res::LoadText(IDS_FOLDER_EMPTY), platform::MessageIcon::Exclamation);
        return;
    }
    CFileList probe;
    probe.Scan(folder);
    if (!probe.FolderEntered()) {
        m_host.ShowMessage(res::LoadText(IDS_FOLDER_MISSING), platform::MessageIcon::Exclamation);
        return;
    }
    COrderDialog dlg(m_host);
    dlg.SetFolder(folder);
    dlg.DoModal();
}

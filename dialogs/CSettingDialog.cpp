#include "dialogs/CSettingDialog.h"

#include "dialogs/COrderDialog.h"
#include "platform/DataExchange.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/ToolTip.h"
#include "res/resource.h"

namespace {
constexpr int kMinSeconds = 10;
constexpr int kMaxSeconds = 300;
constexpr int kSecondsStep = 5;
constexpr int kMaxPathBytes = 260;
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
    dx.MaxChars(IDC_TOPDIR, m_strTopDir, kMaxPathBytes);
}

bool CSettingDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    m_pWnd->EnableToolTips(res::ToolTipsOf(IDD_SETTING_DIALOG));
    m_pWnd->SetUpDownRange(IDC_SECONDS_SPIN, kMinSeconds, kMaxSeconds);
    m_pWnd->SetUpDownStep(IDC_SECONDS_SPIN, kSecondsStep);
    return true;
}

void CSettingDialog::OnBrowseCommand()
{
    auto path = m_host.ChooseFile(*this, res::LoadText(IDS_FILE_FILTER));
    if (!path)
        return;
    m_strCommand = *path;
    UpdateData(false);
}

void CSettingDialog::OnBrowseFolder()
{
    auto path = m_host.ChooseFolder(*this, kFolderChooserTitle);
    if (!path)
        return;
    m_strTopDir = *path;
    UpdateData(false);
}

void CSettingDialog::OnFileSettings()
{
    // The member, not the field: a path typed by hand counts only after OK.
    if (m_strTopDir.empty())
        return;
    COrderDialog dlg(m_host);
    dlg.SetFolder(m_strTopDir);
    dlg.DoModal();
}

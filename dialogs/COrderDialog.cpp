#include "dialogs/COrderDialog.h"

#include "folder/EntryName.h"
#include "folder/EntryRenames.h"
#include "platform/Os.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/ToolTip.h"
#include "res/resource.h"

COrderDialog::COrderDialog(platform::Host& host) : Dialog(host, res::GetTemplate(IDD_ORDER_DIALOG))
{
    OnCommandId(IDC_MOVE_UP, [this] { OnMoveUp(); });
    OnCommandId(IDC_MOVE_DOWN, [this] { OnMoveDown(); });
    OnCommandId(IDC_ENABLE_ALL, [this] { OnEnableAll(); });
    OnCommandId(IDC_DISABLE_ALL, [this] { OnDisableAll(); });
    OnCommandId(platform::IdOk, [this] { OnApplyOrder(); });
    OnCommandId(IDC_DELETE_FILE, [this] { OnDeleteFile(); });
}

bool COrderDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    m_pWnd->EnableToolTips(res::ToolTipsOf(IDD_ORDER_DIALOG));
    if (m_strFolder.empty())
        return true;
    const int n = m_fileList.Scan(m_strFolder);
    for (int i = 0; i < n; ++i) {
        const CFileEntry entry = m_fileList.GetEntry(i);
        const int pos = m_pWnd->ListAddString(IDC_FILE_LIST, entry.GetDisplayName());
        m_pWnd->ListSetItemData(IDC_FILE_LIST, pos, pos);
        m_pWnd->ListSetCheck(IDC_FILE_LIST, pos, entry.IsEnabled() ? 1 : 0);
    }
    if (m_pWnd->ListGetCount(IDC_FILE_LIST) > 0)
        m_pWnd->ListSetCurSel(IDC_FILE_LIST, 0);
    return true;
}

void COrderDialog::MoveItem(int from, int to)
{
    platform::Window& w = *m_pWnd;
    const std::string text = w.ListGetText(IDC_FILE_LIST, from);
    const std::intptr_t data = w.ListGetItemData(IDC_FILE_LIST, from);
    const int check = w.ListGetCheck(IDC_FILE_LIST, from);
    w.ListDeleteString(IDC_FILE_LIST, from);
    w.ListInsertString(IDC_FILE_LIST, to, text);
    w.ListSetItemData(IDC_FILE_LIST, to, data);
    w.ListSetCheck(IDC_FILE_LIST, to, check);
    w.ListSetCurSel(IDC_FILE_LIST, to);
}

void COrderDialog::OnMoveUp()
{
    const int s = m_pWnd->ListGetCurSel(IDC_FILE_LIST);
    const int n = m_pWnd->ListGetCount(IDC_FILE_LIST);
    if (n > 0 && s > 0)
        MoveItem(s, s - 1);
}

void COrderDialog::OnMoveDown()
{
    const int s = m_pWnd->ListGetCurSel(IDC_FILE_LIST);
    const int n = m_pWnd->ListGetCount(IDC_FILE_LIST);
    if (n > 0 && s >= 0 && s < n - 1)
        MoveItem(s, s + 1);
}

void COrderDialog::SetAllChecks(int state)
{
    for (int i = 0; i < m_pWnd->ListGetCount(IDC_FILE_LIST); ++i)
        m_pWnd->ListSetCheck(IDC_FILE_LIST, i, state);
}

void COrderDialog::OnEnableAll()
{
    SetAllChecks(1);
}

void COrderDialog::OnDisableAll()
{
    SetAllChecks(0);
}

void COrderDialog::OnDeleteFile()
{
    platform::Window& w = *m_pWnd;
    const int s = w.ListGetCurSel(IDC_FILE_LIST);
    if (s < 0)
        return;
    const std::string name =
        m_fileList.GetEntry(static_cast<int>(w.ListGetItemData(IDC_FILE_LIST, s))).GetFileName();
    if (m_host.ShowMessage(res::FormatString1(IDS_TRASH_CONFIRM, name),
                           platform::MessageIcon::Exclamation,
                           platform::MessageButtons::OkCancel) != platform::IdOk)
        return;
    if (!platform::MoveToTrash(m_strFolder + "/" + name)) {
        m_host.ShowMessage(res::LoadText(IDS_TRASH_FAILED), platform::MessageIcon::Exclamation);
        return;
    }
    // The other items keep their data: it names their entry of the scan, which stays.
    w.ListDeleteString(IDC_FILE_LIST, s);
    const int n = w.ListGetCount(IDC_FILE_LIST);
    if (n > 0)
        w.ListSetCurSel(IDC_FILE_LIST, s < n ? s : n - 1);
}

void COrderDialog::OnApplyOrder()
{
    std::vector<EntryPlan> plan;
    for (int i = 0; i < m_pWnd->ListGetCount(IDC_FILE_LIST); ++i) {
        const auto k = static_cast<int>(m_pWnd->ListGetItemData(IDC_FILE_LIST, i));
        const CFileEntry entry = m_fileList.GetEntry(k);
        plan.push_back({entry.GetFileName(),
                        ComposeEntryName(i, m_pWnd->ListGetCheck(IDC_FILE_LIST, i), entry)});
    }
    const std::vector<std::string> failed = ApplyEntryNames(m_strFolder, plan);
    if (!failed.empty()) {
        std::string text = res::LoadText(IDS_RENAME_FAILED);
        for (const std::string& name : failed)
            text += "\n" + name;
        m_host.ShowMessage(text, platform::MessageIcon::Exclamation);
    }
    Dialog::OnOK();
}

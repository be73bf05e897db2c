#include "dialogs/COrderDialog.h"

#include "folder/EntryName.h"
#include "platform/Os.h"
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
    // Deliberately nothing: the button deletes no file.
}

void COrderDialog::OnApplyOrder()
{
    for (int i = 0; i < m_pWnd->ListGetCount(IDC_FILE_LIST); ++i) {
        const auto k = static_cast<int>(m_pWnd->ListGetItemData(IDC_FILE_LIST, i));
        const CFileEntry entry = m_fileList.GetEntry(k);
        const EntryRename rename =
            ComposeEntryRename(m_strFolder, i, m_pWnd->ListGetCheck(IDC_FILE_LIST, i), entry);
        // A rename that fails leaves that file's name as it was; the others still follow.
        platform::RenameNoReplace(rename.oldPath, rename.newPath);
    }
    Dialog::OnOK();
}

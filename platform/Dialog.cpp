#include "platform/Dialog.h"

#include "platform/DataExchange.h"

namespace platform {

Dialog::Dialog(Host& host, const DialogTemplate& tmpl) : m_host(host), m_template(tmpl) {}

Dialog::~Dialog() = default;

int Dialog::DoModal()
{
    return m_host.RunModal(*this);
}

bool Dialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void Dialog::OnCommandId(int id, std::function<void()> handler)
{
    m_commands[id] = std::move(handler);
}

void Dialog::OnCommand(int id)
{
    auto it = m_commands.find(id);
    if (it != m_commands.end()) {
        it->second();
        return;
    }
    if (id == IdOk)
        OnOK();
    else if (id == IdCancel)
        OnCancel();
    else if (id == ID_HELP)
        m_host.ShowHelp();
}

void Dialog::OnTimer(std::uintptr_t) {}

void Dialog::OnSysCommand(unsigned) {}

void Dialog::DestroyWindow() {}

void Dialog::OnOK()
{
    if (!UpdateData(true))
        return;
    EndDialog(IdOk);
}

void Dialog::OnCancel()
{
    EndDialog(IdCancel);
}

void Dialog::EndDialog(int result)
{
    if (m_pWnd)
        m_pWnd->EndModal(result);
}

bool Dialog::UpdateData(bool save)
{
    if (!m_pWnd)
        return false;
    DataExchange dx(*this, *m_pWnd, save);
    DoDataExchange(dx);
    return !dx.Failed();
}

void Dialog::DoDataExchange(DataExchange&) {}

} // namespace platform

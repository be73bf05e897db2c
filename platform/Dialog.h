// The dialog base class the system's dialogs derive from. A dialog is bound to a template,
// run modally by a Host, and reaches its controls by id through the Window the host built.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/DialogTemplate.h"
#include "platform/Host.h"
#include "platform/Window.h"

namespace platform {

class DataExchange;

class Dialog
{
public:
    Dialog(Host& host, const DialogTemplate& tmpl);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    int DoModal();
    const DialogTemplate& Template() const { return m_template; }

    // Called by the host.
    void Attach(Window* window) { m_pWnd = window; }
    Window* GetWindow() const { return m_pWnd; }
    virtual bool OnInitDialog();
    // A command from a control, Enter (the default button's id) or Esc (IdCancel). Mapped
    // commands go to their handler; unmapped IdOk and IdCancel to OnOK and OnCancel; Help to
    // the application.
    virtual void OnCommand(int id);
    virtual void OnTimer(std::uintptr_t id);
    virtual void OnSysCommand(unsigned command);
    // Called by the host just before the window goes away.
    virtual void DestroyWindow();

    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);

    // Runs the data exchange; save=true reads and validates the fields into the members.
    bool UpdateData(bool save = true);

    Host& GetHost() const { return m_host; }

protected:
    virtual void DoDataExchange(DataExchange& dx);
    void OnCommandId(int id, std::function<void()> handler);

    // Control access, forwarded to the window.
    void SetItemText(int id, const std::string& text) { m_pWnd->SetText(id, text); }
    std::string GetItemText(int id) const { return m_pWnd->GetText(id); }
    void EnableItem(int id, bool enable) { m_pWnd->Enable(id, enable); }
    void SetCheck(int id, int state) { m_pWnd->SetCheck(id, state); }
    int GetCheck(int id) const { return m_pWnd->GetCheck(id); }
    std::uintptr_t SetTimer(unsigned id, unsigned ms) { return m_pWnd->SetTimer(id, ms); }
    bool KillTimer(std::uintptr_t id) { return m_pWnd ? m_pWnd->KillTimer(id) : false; }
    void SetTitleText(const std::string& title) { m_pWnd->SetTitle(title); }

    Host& m_host;
    Window* m_pWnd = nullptr;

private:
    const DialogTemplate& m_template;
    std::map<int, std::function<void()>> m_commands;
};

} // namespace platform

// The Qt 6 Widgets host: modal runs as nested event loops, message boxes, cursors, choosers,
// help and the search for windows by title. A session end (SIGTERM, SIGHUP, SIGINT) ends every
// modal run with Cancel, so the program's start-up routine returns and saves its settings.
#pragma once

#include <QPointer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Host.h"

class QDialog;
class QWidget;

namespace platform {

class HelpWindow;
class QtWindow;
class SessionEndWatcher;

class QtHost final : public Host
{
public:
    QtHost();
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    int RunModal(Dialog& dialog) override;
    int ShowMessage(const std::string& text, MessageIcon icon,
                    MessageButtons buttons = MessageButtons::Ok) override;
    void SetCursor(Cursor cursor) override;
    std::optional<std::string> ChooseFile(Dialog& owner, const std::string& filter) override;
    std::optional<std::string> ChooseFolder(Dialog& owner, const std::string& title) override;
    void ShowHelp() override;
    bool FindWindowByTitle(const std::string& title) override;
    std::string AppName() const override { return "Hanavo"; }

    // The windows of the running modal dialogs, outermost first.
    const std::vector<QtWindow*>& OpenWindows() const { return m_windows; }
    // The open help window, if any.
    HelpWindow* Help() const;
    // Ends every modal run as the end of the session does: open message boxes and choosers
    // close, then each open dialog ends with IdCancel, innermost first. From then on nothing
    // new is shown: further modal runs end at once with IdCancel.
    void EndSession();
    // Also true between the signal and the event loop's turn to end the runs, so that a launch
    // sequence stops at its next step.
    bool SessionEnding() const override;

private:
    // The window new windows are owned by: the innermost open dialog, as the framework picks
    // the main window's last active popup.
    QWidget* OwnerWindow() const;
    QWidget* WindowOf(Dialog& dialog) const;
    int RunAuxiliary(QDialog& dialog);

    std::vector<QtWindow*> m_windows;
    std::vector<QPointer<QDialog>> m_auxiliary; // message boxes and choosers being shown
    std::unique_ptr<HelpWindow> m_help;
    std::unique_ptr<SessionEndWatcher> m_watcher;
    bool m_sessionEnding = false;
};

} // namespace platform

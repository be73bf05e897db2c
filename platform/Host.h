// Everything of the program's that needs a screen goes through a Host: modal runs of dialogs,
// message boxes, cursors, choosers, help and the search for windows by title. The Qt backend
// implements it for the real program, the scripted host for tests.
#pragma once

#include <optional>
#include <string>

#include "platform/Types.h"

namespace platform {

class Dialog;

class Host
{
public:
    virtual ~Host() = default;

    // Builds the dialog's window from its template, calls OnInitDialog, gives the focus to the
    // first enabled tab stop when it returned true, and runs a nested loop until EndDialog.
    // Timers of other open dialogs keep ticking meanwhile. Returns the EndDialog result.
    virtual int RunModal(Dialog& dialog) = 0;

    // The application's message box: modal, owned by the innermost open dialog, captioned with
    // the application's name. Returns IdOk or IdCancel (Esc, or Cancel of OkCancel).
    virtual int ShowMessage(const std::string& text, MessageIcon icon,
                            MessageButtons buttons = MessageButtons::Ok) = 0;

    virtual void SetCursor(Cursor cursor) = 0;

    // File chooser for an existing file; filter as "label|patterns|label|patterns||".
    virtual std::optional<std::string> ChooseFile(Dialog& owner, const std::string& filter) = 0;
    // Folder chooser offering only folders.
    virtual std::optional<std::string> ChooseFolder(Dialog& owner, const std::string& title) = 0;

    // The application's help command.
    virtual void ShowHelp() = 0;

    // Whether a top-level window with exactly this title exists.
    virtual bool FindWindowByTitle(const std::string& title) = 0;

    // Whether the session is ending (SIGTERM on Linux, the end of the Windows session): every
    // modal run has been ended, and nothing more may be launched.
    virtual bool SessionEnding() const = 0;

    // The application's name: caption of message boxes and key of the settings store.
    virtual std::string AppName() const = 0;

    void SetMainWindow(Dialog* dialog) { m_pMainWnd = dialog; }
    Dialog* GetMainWindow() const { return m_pMainWnd; }

private:
    Dialog* m_pMainWnd = nullptr;
};

} // namespace platform

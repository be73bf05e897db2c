// The Win32 host: modal runs as nested message loops over dialogs made from the program's
// dialog resources, message boxes, cursors, the common file and folder choosers, help, and the
// search for windows by title. The end of the Windows session ends every modal run with Cancel,
// so the program's start-up routine returns and saves its settings.
#pragma once

#include <optional>
#include <string>
#include <vector>
#include <windows.h>

#include "platform/Host.h"

namespace platform::win32 {

class Win32Window;

class Win32Host final : public Host
{
public:
    explicit Win32Host(HINSTANCE instance);
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    int RunModal(Dialog& dialog) override;
    int ShowMessage(const std::string& text, MessageIcon icon,
                    MessageButtons buttons = MessageButtons::Ok) override;
    void SetCursor(Cursor cursor) override;
    std::optional<std::string> ChooseFile(Dialog& owner, const std::string& filter) override;
    std::optional<std::string> ChooseFolder(Dialog& owner, const std::string& title) override;
    void ShowHelp() override;
    bool FindWindowByTitle(const std::string& title) override;
    bool SessionEnding() const override { return m_sessionEnding; }
    std::string AppName() const override { return "Hanavo"; }

    HINSTANCE Instance() const { return m_instance; }
    bool WaitCursor() const { return m_waitCursor; }
    // Ends every modal run as the end of the session does: message boxes and choosers close,
    // then each open dialog ends with IdCancel, innermost first. From then on nothing new is
    // shown. Called from the session's end messages; safe to call again.
    void EndSession();

private:
    // The innermost open dialog: owner of message boxes and of the next dialog.
    HWND OwnerWindow() const;
    HWND WindowOf(Dialog& dialog) const;

    HINSTANCE m_instance;
    std::vector<Win32Window*> m_windows;
    bool m_sessionEnding = false;
    bool m_waitCursor = false;
};

} // namespace platform::win32

// Windows may end the process as soon as the last WM_ENDSESSION has been answered, while the
// program still has its settings to save after its modal runs have ended. A hidden window on a
// thread of its own answers WM_ENDSESSION only once the program is done (or after a bound), so
// that the end of the session never cuts the save short.
#pragma once

#include <windows.h>

namespace platform::win32 {

class SessionEndGuard
{
public:
    SessionEndGuard();
    // Lets the session end: the program has finished.
    ~SessionEndGuard();
    SessionEndGuard(const SessionEndGuard&) = delete;
    SessionEndGuard& operator=(const SessionEndGuard&) = delete;

private:
    static DWORD WINAPI Run(LPVOID self);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    DWORD m_uiThread;
    HANDLE m_done = nullptr;
    HANDLE m_thread = nullptr;
};

} // namespace platform::win32

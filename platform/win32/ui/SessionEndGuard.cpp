#include "platform/win32/ui/SessionEndGuard.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kClassName[] = L"Hanavo.SessionEndGuard";
// The longest the end of the session waits for the program to finish.
constexpr DWORD kMostWait = 15000;

// Tells the program's own windows that the session ends, in case the system has not yet.
BOOL CALLBACK PassEndSession(HWND hwnd, LPARAM lParam)
{
    PostMessageW(hwnd, WM_ENDSESSION, TRUE, lParam);
    return TRUE;
}

} // namespace

SessionEndGuard::SessionEndGuard() : m_uiThread(GetCurrentThreadId())
{
    m_done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // The guard's window comes up beside the program's start-up, never in its way.
    if (m_done)
        m_thread = CreateThread(nullptr, 0, &SessionEndGuard::Run, this, CREATE_SUSPENDED, nullptr);
    if (m_thread) {
        SetThreadPriority(m_thread, THREAD_PRIORITY_BELOW_NORMAL);
        ResumeThread(m_thread);
    }
}

SessionEndGuard::~SessionEndGuard()
{
    if (m_done)
        SetEvent(m_done);
    if (m_thread) {
        WaitForSingleObject(m_thread, 2000);
        CloseHandle(m_thread);
    }
    if (m_done)
        CloseHandle(m_done);
}

DWORD WINAPI SessionEndGuard::Run(LPVOID param)
{
    auto* self = static_cast<SessionEndGuard*>(param);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &SessionEndGuard::WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    // A hidden top-level window: a message-only one would not hear of the session's end.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    if (!window)
        return 1;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    // Until the program is done; messages sent by the system are delivered while waiting.
    while (MsgWaitForMultipleObjects(1, &self->m_done, FALSE, INFINITE, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    DestroyWindow(window);
    return 0;
}

LRESULT CALLBACK SessionEndGuard::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<SessionEndGuard*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam && self) {
            EnumThreadWindows(self->m_uiThread, &PassEndSession, lParam);
            WaitForSingleObject(self->m_done, kMostWait);
        }
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace platform::win32

#include "platform/win32/ui/Win32Host.h"

#include <algorithm>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <vector>

#include "platform/Dialog.h"
#include "platform/win32/os/WideText.h"
#include "platform/win32/ui/UiText.h"
#include "platform/win32/ui/Win32Window.h"
#include "res/Strings.h"
#include "res/resource.h"

namespace platform::win32 {
namespace {

// The help beside the program file.
constexpr wchar_t kHelpFile[] = L"Hanavo.html";

struct ForeignDialogs
{
    const std::vector<Win32Window*>* ours;
};

// Message boxes and the choosers are dialogs of this thread that are not the program's own:
// Cancel closes each of them.
BOOL CALLBACK CancelForeignDialog(HWND hwnd, LPARAM data)
{
    const auto* ours = reinterpret_cast<const ForeignDialogs*>(data)->ours;
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (lstrcmpW(name, L"#32770") != 0)
        return TRUE;
    if (std::any_of(ours->begin(), ours->end(),
                    [hwnd](const Win32Window* w) { return w->Handle() == hwnd; }))
        return TRUE;
    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return TRUE;
}

std::wstring ProgramFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size())
            break;
        path.resize(path.size() * 2);
    }
    std::wstring folder(path.data());
    const std::size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

} // namespace

Win32Host::Win32Host(HINSTANCE instance) : m_instance(instance) {}

HWND Win32Host::OwnerWindow() const
{
    return m_windows.empty() ? nullptr : m_windows.back()->Handle();
}

HWND Win32Host::WindowOf(Dialog& dialog) const
{
    auto* window = dynamic_cast<Win32Window*>(dialog.GetWindow());
    return window ? window->Handle() : OwnerWindow();
}

int Win32Host::RunModal(Dialog& dialog)
{
    if (m_sessionEnding)
        return IdCancel;
    HWND owner = OwnerWindow();
    Win32Window window(dialog, *this);
    if (!window.Create(m_instance, owner))
        return -1;
    dialog.Attach(&window);
    m_windows.push_back(&window);
    int result = IdCancel;
    {
        // Removed from the open windows however the run ends.
        struct Remove
        {
            std::vector<Win32Window*>& windows;
            Win32Window* window;
            ~Remove() { std::erase(windows, window); }
        } remove{m_windows, &window};
        // The owner takes no input while its dialog runs, as DialogBox does it.
        const bool ownerWasEnabled = owner && !EnableWindow(owner, FALSE);
        const bool focus = dialog.OnInitDialog();
        // A session end during set-up ends this run too.
        if (m_sessionEnding && !window.IsModalEnded())
            dialog.EndDialog(IdCancel);
        result = window.RunModalLoop(focus);
        // The owner is enabled before this window hides, so that it gets the activation back.
        if (ownerWasEnabled)
            EnableWindow(owner, TRUE);
        SetWindowPos(window.Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        dialog.DestroyWindow();
    }
    dialog.Attach(nullptr);
    return result;
}

int Win32Host::ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons)
{
    if (m_sessionEnding)
        return buttons == MessageButtons::Ok ? IdOk : IdCancel;
    UINT type = icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
    type |= buttons == MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK;
    HWND owner = OwnerWindow();
    if (!owner)
        type |= MB_TASKMODAL;
    const int answer = MessageBoxW(owner, Widen(text).c_str(), Widen(AppName()).c_str(), type);
    return answer == IDOK || buttons == MessageButtons::Ok ? IdOk : IdCancel;
}

void Win32Host::SetCursor(Cursor cursor)
{
    m_waitCursor = cursor == Cursor::Wait;
    // IDC_WAIT and IDC_ARROW, without the A/W macros.
    ::SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(m_waitCursor ? 32514 : 32512)));
}

std::optional<std::string> Win32Host::ChooseFile(Dialog& owner, const std::string& filter)
{
    if (m_sessionEnding)
        return std::nullopt;
    // "label|patterns|...||" -> the NUL-separated pairs the function wants, two NULs at the end.
    std::wstring pairs = Widen(filter);
    std::replace(pairs.begin(), pairs.end(), L'|', L'\0');
    pairs.append(2, L'\0');
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = WindowOf(owner);
    ofn.lpstrFilter = pairs.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    // The chooser must not move the folder later launches start in.
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    if (!GetOpenFileNameW(&ofn))
        return std::nullopt;
    return ToUtf8(std::wstring(file.data()));
}

std::optional<std::string> Win32Host::ChooseFolder(Dialog& owner, const std::string& title)
{
    if (m_sessionEnding)
        return std::nullopt;
    // COM for the chooser's shell objects, on this thread for the time of the choice only:
    // the program's start-up does not pay for it.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    struct ComScope
    {
        HRESULT result;
        ~ComScope()
        {
            if (SUCCEEDED(result))
                CoUninitialize();
        }
    } scope{com};
    std::wstring caption = Widen(title);
    BROWSEINFOW info = {};
    info.hwndOwner = WindowOf(owner);
    info.lpszTitle = caption.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen)
        return std::nullopt;
    std::vector<wchar_t> path(32768, L'\0');
    // The long-path form where the system has it, else the MAX_PATH one.
    const bool got = SHGetPathFromIDListW(chosen, path.data()) != FALSE;
    CoTaskMemFree(chosen);
    if (!got || path[0] == L'\0')
        return std::nullopt;
    return ToUtf8(std::wstring(path.data()));
}

void Win32Host::ShowHelp()
{
    const std::wstring help = ProgramFolder() + kHelpFile;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(OwnerWindow(), L"open", help.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32)
        ShowMessage(res::FormatNumber(IDS_EXEC_FAILED, static_cast<int>(result)),
                    MessageIcon::Exclamation);
}

bool Win32Host::FindWindowByTitle(const std::string& title)
{
    return FindWindowW(nullptr, Widen(title).c_str()) != nullptr;
}

void Win32Host::EndSession()
{
    m_sessionEnding = true;
    ForeignDialogs foreign{&m_windows};
    EnumThreadWindows(GetCurrentThreadId(), &CancelForeignDialog,
                      reinterpret_cast<LPARAM>(&foreign));
    // Copied: ending a run may change the list.
    std::vector<Win32Window*> windows = m_windows;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        (*it)->GetDialog().EndDialog(IdCancel);
}

} // namespace platform::win32

// The sign-in start: one shortcut, Hanavo.lnk in the user's Startup folder, to the running
// Hanavo.exe with the argument /a, starting in the program's folder. The installer makes the
// same shortcut, so each sees what the other did.
#include "platform/win32/os/LoginStart.h"
#include "platform/Os.h"

#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace platform {
namespace {

// COM for the calling thread, for as long as the object lives.
class ComScope
{
public:
    ComScope() : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    // RPC_E_CHANGED_MODE: COM is already there in the other model, which serves as well.
    bool Ready() const { return SUCCEEDED(m_hr) || m_hr == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_hr;
};

template <class T> class ComPtr
{
public:
    ~ComPtr()
    {
        if (m_p)
            m_p->Release();
    }
    T* operator->() const { return m_p; }
    T** Out() { return &m_p; }
    T* Get() const { return m_p; }

private:
    T* m_p = nullptr;
};

std::wstring ThisProgram()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteShortcut(const std::wstring& path)
{
    const std::wstring program = ThisProgram();
    if (program.empty())
        return false;
    const std::wstring folder = program.substr(0, program.find_last_of(L"\\/"));

    ComScope com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (!com.Ready() ||
        FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Out()))) ||
        FAILED(link->SetPath(program.c_str())) || FAILED(link->SetArguments(L"/a")) ||
        FAILED(link->SetWorkingDirectory(folder.c_str())) ||
        FAILED(link->SetIconLocation(program.c_str(), 0)) ||
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()))))
        return false;
    // Written beside the shortcut, then put in its place: a failed write never leaves half a
    // shortcut, and a working one is replaced only by a complete one.
    const std::wstring partial = path + L".new";
    if (FAILED(file->Save(partial.c_str(), TRUE))) {
        DeleteFileW(partial.c_str());
        return false;
    }
    if (!MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(partial.c_str());
        return false;
    }
    return true;
}

} // namespace

bool LoginStartEnabled()
{
    const std::wstring path = win32::LoginShortcutPath(false);
    return !path.empty() && IsFile(path);
}

bool SetLoginStart(bool enable)
{
    const std::wstring path = win32::LoginShortcutPath(enable);
    if (path.empty())
        return false;
    if (enable)
        return WriteShortcut(path);
    if (DeleteFileW(path.c_str()))
        return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

namespace win32 {

std::wstring LoginShortcutPath(bool create)
{
    wchar_t* folder = nullptr;
    const HRESULT hr = SHGetKnownFolderPath(
        FOLDERID_Startup, create ? DWORD(KF_FLAG_CREATE) : DWORD(0), nullptr, &folder);
    std::wstring path = SUCCEEDED(hr) && folder ? std::wstring(folder) : std::wstring();
    CoTaskMemFree(folder);
    return path.empty() ? path : path + L"\\Hanavo.lnk";
}

} // namespace win32
} // namespace platform

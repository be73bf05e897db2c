// Reads a shell shortcut back, for the tests of the sign-in shortcut and of the installer.
#pragma once

#include <string>
#include <windows.h>

#include <objbase.h>
#include <shobjidl.h>

namespace testing_support {

struct Shortcut
{
    std::wstring target, arguments, folder;
};

// False when the file is no readable shortcut.
inline bool ReadShortcut(const std::wstring& path, Shortcut& out)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH * 2] = {}, arguments[MAX_PATH * 2] = {}, folder[MAX_PATH * 2] = {};
    const bool ok =
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ)) &&
        SUCCEEDED(link->GetPath(target, MAX_PATH * 2, nullptr, SLGP_RAWPATH)) &&
        SUCCEEDED(link->GetArguments(arguments, MAX_PATH * 2)) &&
        SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH * 2));
    if (file)
        file->Release();
    if (link)
        link->Release();
    if (SUCCEEDED(com))
        CoUninitialize();
    if (ok)
        out = {target, arguments, folder};
    return ok;
}

} // namespace testing_support

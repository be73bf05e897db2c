// Helper of the installer tests:
//   hanavo_test_tool shortcut FILE.lnk   prints the shortcut's target, arguments and working
//                                        folder, one to a line (UTF-8); 1 when unreadable
//   hanavo_test_tool wait-ended SECONDS  waits until no Hanavo holds its instance mutex; 1 when
//                                        one still does after SECONDS
#include "platform/win32/os/InstanceLock.h"
#include <cstdio>
#include <string>
#include <windows.h>

#include <objbase.h>
#include <shobjidl.h>

namespace {

void Print(const wchar_t* text)
{
    char utf8[MAX_PATH * 8];
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s\n", length > 0 ? utf8 : "");
}

int PrintShortcut(const wchar_t* path)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    int status = 1;
    wchar_t target[MAX_PATH * 2] = {}, arguments[MAX_PATH * 2] = {}, folder[MAX_PATH * 2] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path, STGM_READ)) &&
        SUCCEEDED(link->GetPath(target, MAX_PATH * 2, nullptr, SLGP_RAWPATH)) &&
        SUCCEEDED(link->GetArguments(arguments, MAX_PATH * 2)) &&
        SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH * 2))) {
        Print(target);
        Print(arguments);
        Print(folder);
        status = 0;
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    CoUninitialize();
    return status;
}

int WaitUntilEnded(int seconds)
{
    for (int waited = 0; waited <= seconds * 10; ++waited) {
        HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, platform::win32::kInstanceMutexName);
        if (!mutex)
            return 0;
        CloseHandle(mutex);
        Sleep(100);
    }
    return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wstring(argv[1]) == L"shortcut")
        return PrintShortcut(argv[2]);
    if (argc == 3 && std::wstring(argv[1]) == L"wait-ended")
        return WaitUntilEnded(_wtoi(argv[2]));
    return 2;
}

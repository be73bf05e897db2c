// Helper of the installer tests:
//   hanavo_test_tool shortcut FILE.lnk   prints the shortcut's target, arguments and working
//                                        folder, one to a line (UTF-8); 1 when unreadable
//   hanavo_test_tool wait-ended SECONDS  waits until no Hanavo holds its instance mutex; 1 when
//                                        one still does after SECONDS
#include "platform/win32/os/InstanceLock.h"
#include "win32/Shortcut.h"

#include <cstdio>
#include <string>

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
    testing_support::Shortcut shortcut;
    if (!testing_support::ReadShortcut(path, shortcut))
        return 1;
    Print(shortcut.target.c_str());
    Print(shortcut.arguments.c_str());
    Print(shortcut.folder.c_str());
    return 0;
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

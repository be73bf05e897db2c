// Hanavo.exe: the single-instance lock, then the Win32 host, the registry settings store and
// the application object's start-up routine, which is the program's whole life.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <string>

#include "app/CLaunchTimerApp.h"
#include "platform/Os.h"
#include "platform/win32/os/RegistryProfileStore.h"
#include "platform/win32/os/WideText.h"
#include "platform/win32/ui/SessionEndGuard.h"
#include "platform/win32/ui/Win32Host.h"

namespace {

// The arguments as one text, without the program's own path: a folder named with the letter a
// must not select automatic mode.
std::string ArgumentText()
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return {};
    std::wstring text;
    for (int i = 1; i < count; ++i) {
        if (i > 1)
            text += L' ';
        text += arguments[i];
    }
    LocalFree(arguments);
    return platform::win32::ToUtf8(text);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // Before anything else: a second copy ends at once and silently.
    if (platform::AcquireInstanceLock() == platform::InstanceLock::HeldElsewhere)
        return 0;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    {
        // Destroyed last: the session may end once the settings have been saved.
        platform::win32::SessionEndGuard guard;
        platform::win32::Win32Host host(instance);
        platform::win32::RegistryProfileStore store;
        CLaunchTimerApp app(host, store);
        app.InitInstance(ArgumentText());
    }
    return 0;
}

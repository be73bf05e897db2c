#include "platform/win32/os/InstanceLock.h"
#include "platform/Os.h"

#include <windows.h>

namespace platform {

InstanceLock AcquireInstanceLock()
{
    // The handle stays open until the process ends; Windows then releases the name.
    static HANDLE held = nullptr;
    if (held)
        return InstanceLock::Acquired;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, win32::kInstanceMutexName);
    const DWORD error = GetLastError();
    if (mutex && error != ERROR_ALREADY_EXISTS) {
        held = mutex;
        return InstanceLock::Acquired;
    }
    if (mutex)
        CloseHandle(mutex);
    // A copy of another account in this session makes the name exist without giving access.
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED)
        return InstanceLock::HeldElsewhere;
    return InstanceLock::Unavailable;
}

} // namespace platform

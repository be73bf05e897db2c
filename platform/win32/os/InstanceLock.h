// The name of the single-instance mutex: the installer looks for it to find a running copy.
#pragma once

namespace platform::win32 {

// In the session's own namespace: each signed-in user has a copy of their own.
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\Quillmere.Hanavo.Instance";

} // namespace platform::win32

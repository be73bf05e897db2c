#include "platform/Os.h"
#include "platform/win32/os/WideText.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

namespace platform {
namespace {

bool IsRelative(const std::wstring& path)
{
    if (path.empty())
        return false;
    if (path[0] == L'\\' || path[0] == L'/')
        return false; // rooted on the current drive, or a network path
    return !(path.size() >= 2 && path[1] == L':');
}

// Shell extensions that ShellExecuteW may load want COM on the calling thread.
class ComScope
{
public:
    ComScope() : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }

private:
    HRESULT m_hr;
};

} // namespace

int ShellOpen(const char* verb, const std::string& file, const std::string* params,
              const std::string* directory)
{
    std::wstring wideFile, wideParams, wideDirectory, wideVerb;
    // A name that is not text, or holds a NUL, names no file.
    if (!win32::ToWide(file, wideFile) || (params && !win32::ToWide(*params, wideParams)) ||
        (directory && !win32::ToWide(*directory, wideDirectory)) ||
        (verb && !win32::ToWide(verb, wideVerb)))
        return kFileNotFound;

    // A relative name is first looked for in the folder the program starts in; ShellExecuteW
    // itself would look in the current folder and along PATH only.
    if (directory && !wideDirectory.empty() && IsRelative(wideFile)) {
        std::wstring candidate = wideDirectory;
        if (candidate.back() != L'\\' && candidate.back() != L'/')
            candidate += L'\\';
        candidate += wideFile;
        if (GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES)
            wideFile = candidate;
    }

    ComScope com;
    HINSTANCE result = ShellExecuteW(nullptr, verb ? wideVerb.c_str() : nullptr, wideFile.c_str(),
                                     params ? wideParams.c_str() : nullptr,
                                     directory ? wideDirectory.c_str() : nullptr, SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

} // namespace platform

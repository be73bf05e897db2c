// The tests' script interpreter on Windows: `hanavo_test_logger SCRIPT [ARGUMENT]...`, where
// SCRIPT holds a tag on its first line and a log file's path on its second. Appends
// "<creation time> <tag> [argument]... @<working folder>" to the log in one write, as the
// shell loggers of the Linux tests do (the creation time, in 100 ns steps, orders the starts).
#include <string>
#include <windows.h>

namespace {

std::string Utf8(const std::wstring& wide)
{
    if (wide.empty())
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length,
                        nullptr, nullptr);
    return text;
}

std::wstring Wide(const std::string& text)
{
    if (text.empty())
        return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string ReadAll(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    const std::string script = ReadAll(argv[1]);
    const std::size_t end = script.find('\n');
    const std::size_t logEnd = script.find('\n', end + 1);
    if (end == std::string::npos || logEnd == std::string::npos)
        return 3;
    const std::string tag = script.substr(0, end);
    const std::wstring log = Wide(script.substr(end + 1, logEnd - end - 1));

    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const unsigned long long stamp =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;

    std::string line = std::to_string(stamp) + " " + tag;
    for (int i = 2; i < argc; ++i)
        line += " [" + Utf8(argv[i]) + "]";
    wchar_t folder[MAX_PATH * 4];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH * 4, folder);
    std::wstring working(folder, length);
    if (working.size() > 3 && (working.back() == L'\\' || working.back() == L'/'))
        working.pop_back();
    line += " @" + Utf8(working) + "\n";

    // Programs run side by side: retry while another one has the log open.
    for (int attempt = 0; attempt < 500; ++attempt) {
        HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const BOOL ok =
                WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
            return ok && written == line.size() ? 0 : 4;
        }
        Sleep(10);
    }
    return 5;
}

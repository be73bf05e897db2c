// The tests' script interpreter on Windows: `hanavo_test_logger SCRIPT [ARGUMENT]...`, where
// SCRIPT holds a tag on its first line and a log file's path on its second. Appends
// "<creation time> <tag> [argument]... @<working folder>" to the log in one write, as the
// shell loggers of the Linux tests do (the creation time, in 100 ns steps, orders the starts).
#include <cstdio>
#include <string>
#include <windows.h>

namespace {

std::string Utf8(const std::wstring& wide)
{
    std::string text(wide.size() * 4, '\0');
    text.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    text.data(), static_cast<int>(text.size()), nullptr, nullptr));
    return text;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    char buffer[4096];
    FILE* in = _wfopen(argv[1], L"rb");
    const std::string script(buffer, in ? std::fread(buffer, 1, sizeof buffer, in) : 0);
    if (in)
        std::fclose(in);
    const std::size_t end = script.find('\n'), logEnd = script.find('\n', end + 1);
    if (end == std::string::npos || logEnd == std::string::npos)
        return 3;
    std::wstring log(logEnd - end, L'\0');
    log.resize(MultiByteToWideChar(CP_UTF8, 0, script.data() + end + 1,
                                   static_cast<int>(logEnd - end - 1), log.data(),
                                   static_cast<int>(log.size())));

    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    std::string line =
        std::to_string((static_cast<unsigned long long>(created.dwHighDateTime) << 32) |
                       created.dwLowDateTime) +
        " " + script.substr(0, end);
    for (int i = 2; i < argc; ++i)
        line += " [" + Utf8(argv[i]) + "]";
    wchar_t folder[MAX_PATH * 4];
    std::wstring working(folder, GetCurrentDirectoryW(MAX_PATH * 4, folder));
    if (working.size() > 3 && (working.back() == L'\\' || working.back() == L'/'))
        working.pop_back();
    line += " @" + Utf8(working) + "\n";

    // Programs run side by side: retry while another one has the log open.
    for (int attempt = 0; attempt < 500; ++attempt, Sleep(10)) {
        HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const BOOL ok =
                WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
            return ok && written == line.size() ? 0 : 4;
        }
    }
    return 5;
}

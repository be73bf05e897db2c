// Temporary folders and logging scripts. On Windows a logging "script" is a text file that the
// tests' logger program (hanavo_test_logger.exe, beside the test program) interprets: the file
// type .sh is given to it in the test's own registry, as a desktop gives .sh to the shell, so
// that the shared launch tests run the same scripts on both systems.
#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <sys/socket.h>
#include <sys/un.h>
#endif

namespace fs = std::filesystem;

namespace testing_support {

fs::path PathOf(const std::string& utf8)
{
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

namespace {

std::string Utf8Of(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

#ifdef _WIN32
std::wstring FolderOfThisProgram()
{
    std::wstring path(32768, L'\0'); // the longest path Windows has
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L"\\/"));
}

void SetRegistryText(const std::wstring& key, const std::wstring& value)
{
    // Under Wine the classes root is the machine's (a test's prefix is its own); on Windows
    // without administrator rights the write goes to the user's classes.
    if (RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
        throw std::runtime_error("cannot set the logger's file type");
}

// .sh files open with the logger, which gets the script's path and then the arguments.
void GiveScriptsToTheLogger()
{
    static const bool done = [] {
        const std::wstring logger = FolderOfThisProgram() + L"\\hanavo_test_logger.exe";
        if (GetFileAttributesW(logger.c_str()) == INVALID_FILE_ATTRIBUTES)
            throw std::runtime_error("hanavo_test_logger.exe is not beside the test program");
        SetRegistryText(L".sh", L"HanavoTest.Script");
        SetRegistryText(L"HanavoTest.Script\\shell\\open\\command",
                        L"\"" + logger + L"\" \"%1\" %*");
        return true;
    }();
    (void)done;
}
#endif

} // namespace

TempDir::TempDir()
{
    std::random_device random;
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / ("hanavo-test-" + std::to_string(random()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            m_path = Utf8Of(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(PathOf(m_path), ec);
}

std::string TempDir::Write(const std::string& name, const std::string& content,
                           bool executable) const
{
    const fs::path p = PathOf(m_path + "/" + name);
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary | std::ios::trunc) << content;
    if (executable)
        fs::permissions(p, fs::perms::owner_exec | fs::perms::group_exec, fs::perm_options::add);
    return m_path + "/" + name;
}

std::string TempDir::WriteLogger(const std::string& name, const std::string& tag,
                                 const std::string& log) const
{
#ifdef _WIN32
    GiveScriptsToTheLogger();
    return Write(name, tag + "\n" + log + "\n");
#else
    return Write(name, LoggerScript(tag, log), true);
#endif
}

std::string LoggerScript(const std::string& tag, const std::string& log, const std::string& gate)
{
    std::string script = "#!/bin/sh\n";
    if (!gate.empty())
        script += "i=0; while [ ! -e '" + gate +
                  "' ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); done\n";
    // One write per run, so that lines of programs running side by side never interleave.
    return script + "line=\"$$ " + tag + "\"\nfor a in \"$@\"; do line=\"$line [$a]\"; done\n" +
           "printf '%s @%s\\n' \"$line\" \"$(pwd -P)\" >> '" + log + "'\n";
}

std::vector<std::string> InStartOrder(std::vector<std::string> lines)
{
    std::vector<std::pair<unsigned long long, std::string>> keyed;
    for (const auto& line : lines)
        keyed.emplace_back(std::stoull(line), line.substr(line.find(' ') + 1));
#ifndef _WIN32
    // Pids rise until they wrap at pid_max, which may be small: a run that straddles the wrap
    // is put back in order.
    unsigned long long pidMax = 32768;
    std::ifstream("/proc/sys/kernel/pid_max") >> pidMax;
    const auto [low, high] = std::minmax_element(keyed.begin(), keyed.end());
    if (!keyed.empty() && high->first - low->first > pidMax / 2)
        for (auto& line : keyed)
            line.first += line.first < pidMax / 2 ? pidMax : 0;
#endif
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    lines.clear();
    for (auto& line : keyed)
        lines.push_back(std::move(line.second));
    return lines;
}

std::string TempDir::MakeDir(const std::string& name) const
{
    fs::create_directories(PathOf(m_path + "/" + name));
    return m_path + "/" + name;
}

std::vector<std::string> TempDir::Names(const std::string& sub) const
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(PathOf(m_path + "/" + sub)))
        names.push_back(Utf8Of(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(PathOf(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> WaitForLines(const std::string& path, std::size_t lines,
                                      std::chrono::milliseconds timeout)
{
    std::vector<std::string> result;
    PollUntil(
        [&] {
            result.clear();
            std::istringstream in(ReadFile(path));
            for (std::string line; std::getline(in, line);)
                result.push_back(line.substr(0, line.size() - line.ends_with('\r')));
            return result.size() >= lines;
        },
        timeout);
    return result;
}

#ifndef _WIN32
int ListeningSocket(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0)
        throw std::runtime_error("cannot listen at " + path);
    return fd;
}
#endif

void UseEmptyDesktop(const TempDir& dir)
{
#ifdef _WIN32
    // The test's Wine prefix is its own: no file type but the defaults has an application.
    (void)dir;
    GiveScriptsToTheLogger();
#else
    setenv("XDG_DATA_HOME", dir.MakeDir("xdg-data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.MakeDir("xdg-config").c_str(), 1);
    setenv("XDG_DATA_DIRS", dir.MakeDir("xdg-dirs").c_str(), 1);
#endif
}

CwdGuard::CwdGuard() : m_saved(Utf8Of(fs::current_path())) {}

CwdGuard::~CwdGuard()
{
    std::error_code ec;
    fs::current_path(PathOf(m_saved), ec);
}

} // namespace testing_support

#include "support/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testing_support {

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "hanavo-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& content,
                           bool executable) const
{
    fs::path p = fs::path(m_path) / name;
    fs::create_directories(p.parent_path());
    {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out << content;
    }
    if (executable)
        fs::permissions(p, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                        fs::perm_options::replace);
    return p.string();
}

std::string TempDir::WriteLogger(const std::string& name, const std::string& tag,
                                 const std::string& log) const
{
    // One write per run, so that lines of programs running side by side never interleave.
    return Write(name,
                 "#!/bin/sh\nline=\"$$ " + tag +
                     "\"\nfor a in \"$@\"; do line=\"$line [$a]\"; done\n"
                     "printf '%s @%s\\n' \"$line\" \"$(pwd)\" >> '" +
                     log + "'\n",
                 true);
}

std::vector<std::string> InStartOrder(std::vector<std::string> lines)
{
    // Process ids are handed out in the order the processes were started.
    std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
        return std::stol(a) < std::stol(b);
    });
    for (auto& line : lines)
        line = line.substr(line.find(' ') + 1);
    return lines;
}

std::string TempDir::MakeDir(const std::string& name) const
{
    fs::path p = fs::path(m_path) / name;
    fs::create_directories(p);
    return p.string();
}

std::vector<std::string> TempDir::Names(const std::string& sub) const
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(fs::path(m_path) / sub))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> WaitForLines(const std::string& path, std::size_t lines,
                                      std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::vector<std::string> result;
    for (;;) {
        result.clear();
        std::istringstream in(ReadFile(path));
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        if (result.size() >= lines || std::chrono::steady_clock::now() > deadline)
            return result;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void UseEmptyDesktop(const TempDir& dir)
{
    setenv("XDG_DATA_HOME", dir.MakeDir("xdg-data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.MakeDir("xdg-config").c_str(), 1);
    setenv("XDG_DATA_DIRS", dir.MakeDir("xdg-dirs").c_str(), 1);
}

std::string CurrentDirectory()
{
    return fs::current_path().string();
}

CwdGuard::CwdGuard() : m_saved(CurrentDirectory()) {}

CwdGuard::~CwdGuard()
{
    std::error_code ec;
    fs::current_path(m_saved, ec);
}

} // namespace testing_support

// Temporary folders and small scripts for tests that touch the real file system.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

    // Writes a file (creating parent folders); executable adds the execute bits.
    std::string Write(const std::string& name, const std::string& content,
                      bool executable = false) const;
    // A shell script that appends "<pid> <tag> [arg]... @<working directory>" to log.
    std::string WriteLogger(const std::string& name, const std::string& tag,
                            const std::string& log) const;
    std::string MakeDir(const std::string& name) const;
    // The names in the folder, sorted by bytes (dot entries left out).
    std::vector<std::string> Names(const std::string& sub = "") const;

private:
    std::string m_path;
};

// Polls every 10 ms until the predicate holds or the timeout passes; returns whether it held.
template <typename Predicate> bool PollUntil(Predicate predicate, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// The path of a file named in UTF-8, as the tests name them: UTF-16 on Windows, the same bytes
// on Linux.
std::filesystem::path PathOf(const std::string& utf8);
// The content of a file, empty when it is missing.
std::string ReadFile(const std::string& path);
// A shell script that appends "<pid> <tag> [arg]... @<working folder>" to log in one write;
// with a gate, only once that file exists (Linux).
std::string LoggerScript(const std::string& tag, const std::string& log,
                         const std::string& gate = {});
// Logger lines sorted by the number they start with (the process id, put back in order across
// a wrap, or on Windows the creation time), which is then dropped.
std::vector<std::string> InStartOrder(std::vector<std::string> lines);
// Polls until the file holds at least `lines` lines or the timeout passes; returns the lines.
std::vector<std::string> WaitForLines(const std::string& path, std::size_t lines,
                                      std::chrono::milliseconds timeout = std::chrono::seconds(10));

#ifndef _WIN32
// A Unix socket at path that queues connections and never accepts them: a session bus or a
// compositor that never answers.
int ListeningSocket(const std::string& path);
#endif

// Restores the process's working directory when it goes out of scope.
class CwdGuard
{
public:
    CwdGuard();
    ~CwdGuard();

private:
    std::string m_saved;
};

// Points the desktop's data and configuration folders at empty folders inside dir: no file
// type has an application. GIO reads them once per process, so call it before any launch.
void UseEmptyDesktop(const TempDir& dir);

} // namespace testing_support

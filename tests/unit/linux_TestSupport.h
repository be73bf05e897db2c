// Helpers of the tests of the Linux services: temporary folders, files, polling, and a
// desktop of the tests' own for launching through GIO.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace linux_test {

using namespace std::chrono_literals;

// A new empty folder, removed with its content when the object goes.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Enters a folder and returns to the previous working folder when the object goes.
class CurrentFolder
{
public:
    explicit CurrentFolder(const std::string& path);
    ~CurrentFolder();
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::string m_previous;
};

void WriteFile(const std::string& path, const std::string& content, mode_t mode = 0644);
std::string ReadFile(const std::string& path);
bool PathExists(const std::string& path); // without following a final link
void MakeFolder(const std::string& path);
void MakeLink(const std::string& target, const std::string& path);

// Polls until the condition holds; false when it still does not after the timeout.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10000ms);

// Whether a process started by this one, by any thread, still exists (also as a zombie).
bool HasChildProcesses();

// The absolute path of the running test program.
std::string SelfPath();

// What a process that HANAVO_LINUX_PROBE_DIR made report itself (see linux_TestSupport.cpp).
struct ProbeReport
{
    pid_t pid = 0;
    pid_t sid = 0;
    std::string cwd;
    bool stdinIsDevNull = false;
    std::string fds;            // the open descriptors, "0,1,2"
    std::string blockedSignals; // SigBlk of /proc/self/status
    std::string ignoredSignals; // SigIgn of /proc/self/status
    std::vector<std::string> argv;
    std::vector<std::string> environment;
};

// The reports in the folder, one per probe process that finished writing.
std::vector<ProbeReport> ReadProbeReports(const std::string& folder);
// Waits until the folder holds `count` reports and returns them (fewer after the timeout).
std::vector<ProbeReport> WaitForProbeReports(const std::string& folder, std::size_t count = 1);

// A desktop of the tests' own, set up once per process before the first GIO call: HOME and the
// XDG folders point into a temporary folder holding a MIME database that knows *.txt as
// text/plain, and the applications below, which record each start in
// $HANAVO_TEST_LOG_DIR/launch.<pid>: their arguments, then "marker=$HANAVO_TEST_MARKER", then
// "own-session=yes" or "no" (whether it leads a session of its own), each NUL-terminated:
//   hanavo-files.desktop  Exec=handler files %F  default for text/plain and inode/directory
//   hanavo-urls.desktop   Exec=handler url %u    default for x-scheme-handler/hanavotest
// Nothing of the machine's own desktop is visible.
class TestDesktop
{
public:
    static const TestDesktop& Get();
    // The handler program the entries start; other entries of a test may start it too.
    const std::string& Handler() const { return m_handler; }

private:
    TestDesktop();
    TempFolder m_root;
    std::string m_handler;
};

// The starts recorded by the handler in a log folder: the arguments of each, in no order.
std::vector<std::vector<std::string>> ReadLaunches(const std::string& folder);
std::vector<std::vector<std::string>> WaitForLaunches(const std::string& folder,
                                                      std::size_t count = 1);

} // namespace linux_test

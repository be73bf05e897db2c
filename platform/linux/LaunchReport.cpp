// Every launch and its result as one line on standard error, where the session's journal
// keeps it for a program started at login.
#include "platform/Os.h"
#include "platform/linux/LinuxOs.h"

#include <cstdio>
#include <unistd.h>

namespace platform {
namespace {

const char* Reason(int result)
{
    switch (result) {
    case kFileNotFound:
        return "the file was not found";
    case kPathNotFound:
        return "a folder in its path was not found";
    case kAccessDenied:
        return "access was denied";
    case kOutOfMemory:
        return "there was not enough memory";
    case kBadFormat:
        return "the file is not a valid program";
    case kNoAssociation:
        return "no application is associated with this file type";
    case kTimedOut:
        return "the launch did not finish in time, or the session is ending";
    default:
        return "the launch failed";
    }
}

// The name as it is, but for what would break the line or the quotes.
std::string Quoted(const std::string& name)
{
    std::string text = "\"";
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || c == '"' || c == '\\') {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            text += escape;
        } else {
            text += c;
        }
    }
    return text + "\"";
}

} // namespace

std::string LaunchReport(const std::string& file, int result)
{
    if (result > 32)
        return "hanavo: launched " + Quoted(file);
    return "hanavo: cannot launch " + Quoted(file) + ": " + Reason(result) + " (" +
           std::to_string(result) + ")";
}

void ReportFolderUnreadable(const std::string& folder)
{
    const std::string line = "hanavo: cannot read the launch folder " + Quoted(folder) +
                             ": it is missing, not a folder, or not readable\n";
    if (write(STDERR_FILENO, line.data(), line.size()) < 0) {
        // Nowhere to report to.
    }
}

int ShellOpen(const char* verb, const std::string& file, const std::string* params,
              const std::string* directory)
{
    const int result = StartFile(verb, file, params, directory);
    // One write, so that lines of other processes never cut into it.
    const std::string line = LaunchReport(file, result) + "\n";
    if (write(STDERR_FILENO, line.data(), line.size()) < 0) {
        // Nowhere to report to: the launch itself is what counts.
    }
    return result;
}

} // namespace platform

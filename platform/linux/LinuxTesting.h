// Seams for the tests of the Linux services, so that they can provoke failures that cannot be
// provoked for real on a test machine (tests run as root, and every file system at hand
// supports renaming without replacing). For tests only: nothing in the program calls these,
// and no input of the program reaches them. Every hook is off until a test sets it, and a
// test resets it by passing the empty value.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace platform::linux_testing {

// Called with the program's path just before a program would be started; a non-zero result is
// taken as the errno of the start (EACCES, ENOMEM, ...) and nothing is started.
void SetSpawnFailure(std::function<int(const std::string& path)> failure);

// How long a shell launch may keep its caller waiting before it is given up (five seconds
// unless a test sets another time).
void SetLaunchDeadline(std::chrono::milliseconds deadline);

// Forgets a session end noted by NoteSessionEnd.
void ClearSessionEnd();

// Forgets the environment recorded by RecordStartEnvironment, as if none had been recorded.
void ClearStartEnvironment();

// Makes RenameNoReplace act as on a file system that cannot rename without replacing, so that
// it takes its link-and-unlink path.
void SetRenameNoReplaceUnsupported(bool unsupported);

// On the link-and-unlink path, makes link() fail with this errno (0: the real link()), as on
// a file system without hard links.
void SetLinkFailure(int error);

// Called by the settings store after the new file has been written and flushed, just before
// it replaces the old one.
void SetBeforeSettingsReplace(std::function<void()> hook);

// Called by RenameNoReplace just before each change it makes (on the link-and-unlink path
// also between the two), so that a test can stop the process in the middle of renames.
void SetBeforeRename(std::function<void()> hook);

} // namespace platform::linux_testing

// Starting programs detached from Hanavo, shared by the shell launch.
#pragma once

#include <string>
#include <vector>

namespace platform::linux_detail {

// Starts the program at path with the given argv (argv[0] included): in a session of its own,
// standard input from /dev/null, no descriptors inherited but 0 to 2, default signal
// dispositions, no blocked signals, the environment of LaunchEnvironment(), and the working
// directory `directory` when it is not null. The child is reaped in the background and
// outlives Hanavo. Returns 0 when the program runs, else the errno of the failure.
int SpawnDetached(const std::string& path, const std::vector<std::string>& argv,
                  const std::string* directory);

// The environment started programs get: the one recorded at start-up, else the current one.
std::vector<std::string> LaunchEnvironment();

// Whether RecordStartEnvironment has recorded an environment.
bool HasStartEnvironment();

} // namespace platform::linux_detail

// Whether the program can open a display, checked before the toolkit starts: the toolkit
// aborts without one, and a user deserves one clear line instead.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The reason no display can be opened, as one line for standard error; nothing when the
// toolkit should be able to start.
std::optional<std::string> DisplayProblem();

} // namespace platform

// X11 window titles of older programs (Xt, Motif) come as COMPOUND_TEXT: ISO 2022 with ASCII and
// Latin-1 by default and escape sequences switching to other character sets. This decodes the
// sets a title search meets in practice: ASCII, Latin-1, JIS X 0201/0208 (Japanese), GB 2312,
// KS C 5601 and UTF-8 segments.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The text as UTF-8, or nothing when it uses a set this does not know.
std::optional<std::string> CompoundTextToUtf8(std::string_view text);

} // namespace platform

// The launch order of a folder's file names, shared by every platform so that both agree
// whatever order the file system gives: ASCII letters folded to upper case, as the file
// systems the order was designed on compare names; every other byte stands for itself; ties
// by bytes.
#pragma once

#include <string_view>

namespace platform {

bool LaunchOrderLess(std::string_view a, std::string_view b);

} // namespace platform

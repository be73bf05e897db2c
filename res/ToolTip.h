// The one tooltip lookup shared by every dialog: a control shows the string whose number
// equals its control number, and nothing when there is none.
#pragma once

#include <string>

namespace res {

bool OnToolTipNotify(int controlId, std::string& text);

} // namespace res

// The one tooltip lookup shared by every dialog: a control shows the string whose number
// equals its control number, and nothing when there is none. A control that shares its number
// with a control of another dialog but means something else has its own string instead.
#pragma once

#include <string>

#include "platform/Window.h"

namespace res {

// The tooltip of control controlId of the dialog built from template dialogId.
bool OnToolTipNotify(int dialogId, int controlId, std::string& text);

// The lookup a dialog hands its window.
platform::ToolTipLookup ToolTipsOf(int dialogId);

} // namespace res

// The dialog templates, as data.
#pragma once

#include <vector>

#include "platform/DialogTemplate.h"

namespace res {

// The template with this number; throws std::out_of_range for an unknown number.
const platform::DialogTemplate& GetTemplate(int id);
std::vector<int> TemplateIds();

} // namespace res

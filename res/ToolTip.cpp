#include "res/ToolTip.h"

#include "res/Strings.h"

namespace res {

bool OnToolTipNotify(int controlId, std::string& text)
{
    if (controlId <= 0)
        return false;
    // Only the low 16 bits name a string, as a resource number would.
    text = LoadText(static_cast<unsigned>(controlId) & 0xFFFFu);
    return true;
}

} // namespace res

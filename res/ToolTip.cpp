#include "res/ToolTip.h"

#include "res/Strings.h"
#include "res/resource.h"

namespace res {
namespace {

// Controls whose number is taken by another dialog's control for something else.
struct OwnText
{
    int dialogId;
    int controlId;
    unsigned stringId;
};
constexpr OwnText kOwnTexts[] = {
    // The run-command check box shares 1018 with the settings dialog's folder Browse button.
    {IDD_LAUNCHTIMER_DIALOG, IDC_RUN_COMMAND, IDS_TIP_RUN_COMMAND},
};

} // namespace

bool OnToolTipNotify(int dialogId, int controlId, std::string& text)
{
    if (controlId <= 0)
        return false;
    for (const OwnText& own : kOwnTexts) {
        if (own.dialogId == dialogId && own.controlId == controlId) {
            text = LoadText(own.stringId);
            return true;
        }
    }
    // Only the low 16 bits name a string, as a resource number would.
    text = LoadText(static_cast<unsigned>(controlId) & 0xFFFFu);
    return true;
}

platform::ToolTipLookup ToolTipsOf(int dialogId)
{
    return [dialogId](int controlId, std::string& text) {
        return OnToolTipNotify(dialogId, controlId, text);
    };
}

} // namespace res

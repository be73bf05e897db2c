// The start-up check for a display: one clear line instead of the toolkit's abort.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

#include "GuiTestSupport.h"
#include "platform/qt/DisplayCheck.h"

TEST(DisplayCheck, NoReachableDisplayGivesOneClearLine)
{
    // A display number no server listens on.
    int number = 60000 + static_cast<int>(::getpid() % 5000);
    struct stat st;
    while (::stat(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), &st) == 0)
        ++number;
    const std::string unreachable = ":" + std::to_string(number);
    // QT_QPA_PLATFORM, DISPLAY, and the line; none when it is the toolkit's business.
    const char* const unset = "hanavo: cannot open a display (DISPLAY is not set).";
    const std::string named = "hanavo: cannot open the display \"" + unreachable + "\".";
    using Case = std::tuple<const char*, const char*, std::string>;
    const Case cases[] = {
        {nullptr, nullptr, unset},
        {"xcb", nullptr, unset},
        {nullptr, unreachable.c_str(), named},
        {"offscreen", nullptr, ""},
    };
    guitest::ScopedEnv noWayland("WAYLAND_DISPLAY", nullptr);
    for (const auto& [qpa, display, problem] : cases) {
        SCOPED_TRACE(testing::Message() << (qpa ? qpa : "-") << " " << (display ? display : "-"));
        guitest::ScopedEnv platformEnv("QT_QPA_PLATFORM", qpa);
        guitest::ScopedEnv displayEnv("DISPLAY", display);
        EXPECT_EQ(platform::DisplayProblem().value_or(""), problem);
    }
}

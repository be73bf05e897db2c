// Only one copy runs: while a timer window exists (Hanavo's own, or any program's window with
// its title), a second copy ends at once, shows nothing and leaves the settings alone.
#include <filesystem>
#include <gtest/gtest.h>

#include "Harness.h"

namespace e2e {
namespace {

struct FirstCase : Case
{
    bool x11, windowManager, foreign;
};

class SecondCopy : public testing::TestWithParam<FirstCase>
{
};

TEST_P(SecondCopy, EndsAtOnceWhileTheFirstWindowExists)
{
    const FirstCase& c = GetParam();
    Sandbox s;
    s.WriteSettings({{"Seconds", "77"}});
    std::optional<XServer> x;
    if (c.x11)
        x.emplace(s, c.windowManager);
    const std::string display = x ? x->Display() : "offscreen";
    // An X client of another program (its title in WM_NAME as compound text), or Hanavo.
    auto first = c.foreign ? x->Start({"xmessage", "-title", kTitleStopped, "other"}, "xmessage")
                           : s.Hanavo({}, display);
    std::string window;
    if (x) {
        window = x->WaitForWindow(kTitleStopped);
        ASSERT_FALSE(window.empty()) << s.Stderr();
    } else {
        // Without X11 the window holds a claim in the runtime folder while it exists.
        ASSERT_TRUE(PollUntil(
            [&] {
                for (const auto& entry : std::filesystem::directory_iterator(s.RuntimeDir()))
                    if (entry.path().filename().string().starts_with("hanavo-"))
                        return true;
                return false;
            },
            kTimeout))
            << s.Stderr();
    }
    // A file with one value: a copy that got as far as saving would write all five.
    const std::string stored = ReadFile(s.SettingsPath());

    EXPECT_EQ(s.Hanavo({}, display)->Wait(kTimeout), 0) << s.Stderr();
    EXPECT_TRUE(first->Running());
    if (x) {
        EXPECT_EQ(x->Find(kTitleStopped), std::vector<std::string>{window});
    }
    EXPECT_EQ(ReadFile(s.SettingsPath()), stored);
}

INSTANTIATE_TEST_SUITE_P(First, SecondCopy,
                         testing::Values(FirstCase{"Xvfb", true, false, false},
                                         FirstCase{"XvfbOpenbox", true, true, false},
                                         FirstCase{"ForeignX11Window", true, false, true},
                                         FirstCase{"Offscreen", false, false, false}),
                         CaseName);

} // namespace
} // namespace e2e

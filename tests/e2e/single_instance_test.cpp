// Only one copy runs: a second copy started while a timer window exists (Hanavo's own, or any
// program's window with one of its titles) ends at once, shows nothing and writes nothing.
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

#include "Harness.h"

namespace e2e {
namespace {

// What a second copy may not touch: the settings file's bytes and time.
struct StoreSnapshot
{
    explicit StoreSnapshot(const Sandbox& sandbox)
        : content(ReadFile(sandbox.SettingsPath())), mtime(MTimeNs(sandbox.SettingsPath()))
    {
    }
    std::string content;
    long long mtime;
};

void ExpectUntouched(const Sandbox& sandbox, const StoreSnapshot& snapshot)
{
    EXPECT_EQ(ReadFile(sandbox.SettingsPath()), snapshot.content);
    EXPECT_EQ(MTimeNs(sandbox.SettingsPath()), snapshot.mtime);
}

// The second copy must end by itself: without the guard it would show a window and wait.
void ExpectEndsSilently(Process& second, const Sandbox& sandbox)
{
    auto status = second.Wait(kExitTimeout);
    ASSERT_TRUE(status) << "the second copy did not end";
    EXPECT_TRUE(status->Ok()) << Describe(*status) << "; stderr: " << HanavoStderr(sandbox);
}

// With and without a window manager: under one, the timer window is a child of its frame.
class SecondCopy : public testing::TestWithParam<bool>
{
};

TEST_P(SecondCopy, EndsAtOnceWhileTheFirstShowsItsStoppedWindow)
{
    Sandbox sandbox;
    sandbox.WriteSettings({{"Seconds", "77"}});
    XServer x(sandbox, GetParam());
    auto first = StartHanavo(sandbox, {}, Screen::X11, &x);
    std::string window = x.WaitForWindow(ExactName(kTitleStopped));
    ASSERT_FALSE(window.empty()) << HanavoStderr(sandbox);
    StoreSnapshot snapshot(sandbox);

    auto second = StartHanavo(sandbox, {}, Screen::X11, &x);
    ExpectEndsSilently(*second, sandbox);

    EXPECT_TRUE(first->Running());
    EXPECT_EQ(x.Find(ExactName(kTitleStopped)), std::vector<std::string>{window})
        << "the first window must stay as it was, and no second one may appear";
    ExpectUntouched(sandbox, snapshot);

    x.Keys(window, {"Escape"});
    auto status = first->Wait(kExitTimeout);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->Ok()) << Describe(*status);
    EXPECT_EQ(sandbox.ReadSettings()["Seconds"], "77");
}

INSTANTIATE_TEST_SUITE_P(WindowManager, SecondCopy, testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "Openbox" : "None");
});

// A first copy counting in automatic mode shows the counting title; a second automatic copy
// ends without launching anything.
TEST(SingleInstance, SecondCopyEndsWhileTheFirstCounts)
{
    Sandbox sandbox;
    const std::string command = sandbox.WriteLogger(sandbox.Path("cmd.sh"), "cmd");
    sandbox.WriteSettings({{"Command", command}, {"Seconds", "300"}, {"Foreground", "0"}});
    XServer x(sandbox, true);
    auto first = StartHanavo(sandbox, {"-a"}, Screen::X11, &x);
    std::string window = x.WaitForWindow(ExactName(kTitleCounting));
    ASSERT_FALSE(window.empty()) << HanavoStderr(sandbox);
    StoreSnapshot snapshot(sandbox);

    auto second = StartHanavo(sandbox, {"-a"}, Screen::X11, &x);
    ExpectEndsSilently(*second, sandbox);
    EXPECT_TRUE(first->Running());
    ExpectUntouched(sandbox, snapshot);
    EXPECT_EQ(sandbox.Log(), "") << "the second copy launched";

    first->Signal(SIGTERM);
    auto status = first->Wait(kExitTimeout);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->Ok()) << Describe(*status);
    EXPECT_EQ(sandbox.Log(), "") << "ending the session must not launch";
}

// Any program's top-level window with one of the two titles stops start-up, whether the
// title is in _NET_WM_NAME (UTF-8, what toolkits set) or only in WM_NAME.
struct ForeignCase
{
    const char* name;
    const std::string* title;
    const char* property;
};

void PrintTo(const ForeignCase& c, std::ostream* out)
{
    *out << c.name;
}

class ForeignWindow : public testing::TestWithParam<ForeignCase>
{
};

TEST_P(ForeignWindow, WithATimerTitleStopsStartUp)
{
    const ForeignCase& c = GetParam();
    Sandbox sandbox;
    sandbox.WriteSettings({{"Seconds", "77"}});
    XServer x(sandbox, true);

    const std::string placeholder = "foreign-" + std::to_string(getpid());
    auto foreign =
        x.Start({"xmessage", "-title", placeholder, "a window of another program"}, "xmessage");
    std::string id = x.WaitForWindow(ExactName(placeholder));
    ASSERT_FALSE(id.empty()) << "xmessage: " << ReadFile(sandbox.Path("xmessage.err"));
    auto set = x.Client({"xprop", "-id", id, "-f", c.property, "8u", "-set", c.property, *c.title});
    ASSERT_TRUE(set.status && set.status->Ok()) << set.err;
    const std::string expected = std::string(c.property) + "(UTF8_STRING) = \"" + *c.title + "\"";
    ASSERT_NE(x.Property(id, c.property).find(expected), std::string::npos)
        << x.Property(id, c.property);
    StoreSnapshot snapshot(sandbox);

    auto hanavo = StartHanavo(sandbox, {}, Screen::X11, &x);
    ExpectEndsSilently(*hanavo, sandbox);
    ExpectUntouched(sandbox, snapshot);
    EXPECT_TRUE(foreign->Running()) << "the foreign window must be left alone";
    EXPECT_TRUE(x.Find(ExactName(kTitleStopped)).empty() ||
                x.Find(ExactName(kTitleStopped)) == std::vector<std::string>{id})
        << "no timer window of hanavo may appear";
}

INSTANTIATE_TEST_SUITE_P(
    Titles, ForeignWindow,
    testing::Values(ForeignCase{"StoppedInNetWmName", &kTitleStopped, "_NET_WM_NAME"},
                    ForeignCase{"CountingInNetWmName", &kTitleCounting, "_NET_WM_NAME"},
                    ForeignCase{"StoppedInWmName", &kTitleStopped, "WM_NAME"}),
    [](const auto& info) { return std::string(info.param.name); });

// Without X11 (offscreen here, Wayland alike) Hanavo's own timer window is still found: it
// holds a claim in the user's runtime folder while it exists.
std::vector<std::string> Claims(const Sandbox& sandbox)
{
    std::vector<std::string> claims;
    for (const auto& name : ListFolder(sandbox.RuntimeDir()))
        if (name.rfind("hanavo", 0) == 0)
            claims.push_back(name);
    return claims;
}

TEST(SingleInstance, OffscreenSecondCopyEndsWhileTheFirstRuns)
{
    Sandbox sandbox;
    sandbox.WriteSettings({{"Seconds", "77"}});
    auto first = StartHanavo(sandbox, {}, Screen::Offscreen);
    ASSERT_TRUE(PollUntil([&] { return !Claims(sandbox).empty(); }, kStartTimeout))
        << "the first copy's window made no claim; stderr: " << HanavoStderr(sandbox);
    StoreSnapshot snapshot(sandbox);

    auto second = StartHanavo(sandbox, {}, Screen::Offscreen);
    ExpectEndsSilently(*second, sandbox);
    EXPECT_TRUE(first->Running());
    ExpectUntouched(sandbox, snapshot);

    first->Signal(SIGTERM);
    auto status = first->Wait(kExitTimeout);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->Ok()) << Describe(*status);
    EXPECT_EQ(sandbox.ReadSettings()["Seconds"], "77");
}

// A copy that crashed leaves its claim's file behind; that must not lock Hanavo out.
TEST(SingleInstance, OffscreenClaimOfACrashedCopyDoesNotBlock)
{
    Sandbox sandbox;
    const std::string command = sandbox.WriteLogger(sandbox.Path("cmd.sh"), "cmd");
    sandbox.WriteSettings({{"Command", command}, {"Seconds", "300"}});
    auto crashed = StartHanavo(sandbox, {}, Screen::Offscreen);
    ASSERT_TRUE(PollUntil([&] { return !Claims(sandbox).empty(); }, kStartTimeout))
        << HanavoStderr(sandbox);
    crashed->Signal(SIGKILL);
    ASSERT_TRUE(crashed->Wait(kExitTimeout));

    sandbox.WriteSettings({{"Command", command}, {"Seconds", "1"}});
    auto next = StartHanavo(sandbox, {"-a"}, Screen::Offscreen);
    auto status = next->Wait(kExitTimeout);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->Ok()) << Describe(*status) << "; stderr: " << HanavoStderr(sandbox);
    ASSERT_TRUE(sandbox.WaitForLogLines(1)) << "the next copy did not launch";
    EXPECT_EQ(InStartOrder(sandbox.Log()),
              std::vector<std::string>{"cmd @" + RealPath(sandbox.Home())});
}

} // namespace
} // namespace e2e

// Pictures of the three dialogs of the real program for the README, taken under Xvfb with
// openbox: HANAVO_SCREENSHOTS=<folder> ctest -R Screenshots (skipped otherwise). Each picture
// is cropped to its window.
#include <cstdlib>
#include <gtest/gtest.h>

#include "Harness.h"

namespace e2e {
namespace {

TEST(Screenshots, TimerSettingsAndLaunchOrderDialogs)
{
    const char* target = std::getenv("HANAVO_SCREENSHOTS");
    if (!target || !*target)
        GTEST_SKIP() << "HANAVO_SCREENSHOTS is not set";
    MakeDirs(target);

    Sandbox sandbox;
    // Short paths read better in the pictures; nothing is started from them.
    TempDir launch("起動");
    const std::string folder = launch.Path();
    for (const char* name :
         {"01e_mail.sh", "02e_browser.desktop", "03d_backup.sh", "04e_チャット.sh", "メモ.txt"})
        WriteFile(folder + "/" + name, "#!/bin/sh\n", 0755);
    sandbox.WriteSettings({{"Command", "/usr/local/bin/start-work.sh"},
                           {"Options", "--quiet"},
                           {"Seconds", "60"},
                           {"TopDir", folder}});
    XServer x(sandbox, true);
    auto hanavo = StartHanavo(sandbox, {}, Screen::X11, &x);

    // Both check boxes are enabled, so the focus starts on the first; Settings is the fourth
    // tab stop of the timer window, File settings the ninth of the settings dialog.
    std::string timer = x.WaitForWindow(ExactName(kTitleStopped));
    ASSERT_FALSE(timer.empty()) << HanavoStderr(sandbox);
    ASSERT_TRUE(x.Screenshot(timer, std::string(target) + "/timer.png"));

    x.Keys(timer, {"Tab", "Tab", "Tab", "space"});
    std::string settings = x.WaitForWindow(ExactName("設定"));
    ASSERT_FALSE(settings.empty());
    ASSERT_TRUE(x.Screenshot(settings, std::string(target) + "/settings.png"));

    x.Keys(settings, {"Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "space"});
    std::string order = x.WaitForWindow(ExactName("ファイルの設定"));
    ASSERT_FALSE(order.empty());
    ASSERT_TRUE(x.Screenshot(order, std::string(target) + "/order.png"));

    // Cancel everything: nothing is renamed, nothing changed.
    const auto names = ListFolder(folder);
    x.Keys(order, {"Escape"});
    ASSERT_TRUE(x.WaitUntilGone(ExactName("ファイルの設定")));
    x.Keys(settings, {"Escape"});
    ASSERT_TRUE(x.WaitUntilGone(ExactName("設定")));
    x.Keys(timer, {"Escape"});
    auto status = hanavo->Wait(kExitTimeout);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->Ok()) << Describe(*status);
    EXPECT_EQ(ListFolder(folder), names);
}

} // namespace
} // namespace e2e

// Pictures of the three dialogs for the README, under Xvfb with openbox:
// HANAVO_SCREENSHOTS=$PWD/docs ctest -R Screenshots (skipped otherwise).
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

#include "Harness.h"

namespace e2e {
namespace {

TEST(Screenshots, TimerSettingsAndLaunchOrderDialogs)
{
    const char* target = std::getenv("HANAVO_SCREENSHOTS");
    if (!target || !*target)
        GTEST_SKIP() << "HANAVO_SCREENSHOTS is not set";
    const std::string docs = std::filesystem::absolute(target).string();
    std::filesystem::create_directories(docs);
    Sandbox s;
    // A short folder name reads better in the pictures; nothing is started from it.
    const std::string folder = s.Path("起動");
    for (const char* name :
         {"01e_mail.sh", "02e_browser.desktop", "03d_backup.sh", "04e_チャット.sh", "メモ.txt"})
        WriteFile(folder + "/" + name, "#!/bin/sh\n", true);
    s.WriteSettings(
        {{"Command", "/usr/local/bin/start-work.sh"}, {"Options", "--quiet"}, {"TopDir", folder}});
    XServer x(s, true);
    auto hanavo = s.Hanavo({}, x.Display());

    auto shoot = [&](const std::string& title, const std::string& file) {
        const std::string id = x.WaitForWindow(title);
        x.Client({"import", "-window", id, docs + "/" + file});
        EXPECT_TRUE(!id.empty() && Exists(docs + "/" + file)) << title << ": " << s.Stderr();
        return id;
    };
    // With both check boxes enabled the focus starts on the first; Settings is the fourth tab
    // stop of the timer window, File settings the ninth of the settings dialog.
    x.Keys(shoot(kTitleStopped, "timer.png"), {"Tab", "Tab", "Tab", "space"});
    std::vector<std::string> toOrder(8, "Tab");
    toOrder.push_back("space");
    x.Keys(shoot("設定", "settings.png"), toOrder);
    shoot("ファイルの設定", "order.png");
}

} // namespace
} // namespace e2e

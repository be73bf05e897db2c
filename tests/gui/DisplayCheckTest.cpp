// The choice of display before the toolkit starts: one clear line instead of the toolkit's abort,
// X11 before native Wayland, and a missing plugin never taken.
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <unistd.h>

#include "platform/qt/DisplayCheck.h"
#include "support/TempDir.h"

TEST(DisplayCheck, PicksAWorkingPlatformOrGivesOneClearLine)
{
    // A display number no server listens on (servers take the lowest free numbers).
    const std::string noX = ":" + std::to_string(60000 + ::getpid() % 5000);
    // A compositor's socket that takes connections, in a runtime folder of the test's own.
    testing_support::TempDir runtime;
    const std::string socketPath = runtime / "wayland-t";
    const int compositor = testing_support::ListeningSocket(socketPath);

    const std::set<std::string> all = {"xcb", "wayland", "offscreen"},
                                noWayland = {"xcb", "offscreen"};
    const std::string open = "hanavo: cannot open ", wl = open + "the Wayland display \"";
    const std::string waylandT = wl + "wayland-t\"";
    const std::string noPlugin =
        waylandT + ": the toolkit's Wayland support (package qt6-wayland) is not installed.";
    const char* rt = runtime.Path().c_str();
    // QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY, XDG_RUNTIME_DIR, the plugins installed, and the
    // platform chosen or the problem told.
    // clang-format off
    struct { const char *qpa, *display, *wayland, *runtime; std::set<std::string> installed;
             std::string platform, problem; } const cases[] = {
        {nullptr, nullptr, nullptr, rt, all, "", open + "a display (DISPLAY is not set)."},
        {"xcb", noX.c_str(), nullptr, rt, all, "", open + "the display \"" + noX + "\"."},
        {"offscreen", nullptr, nullptr, rt, all, "offscreen", ""},
        {"vnc", nullptr, nullptr, rt, all, "",
         "hanavo: the display platform \"vnc\" is not installed."},
        {nullptr, nullptr, "wayland-t", rt, all, "wayland", ""}, // Wayland without X11
        {"wayland", noX.c_str(), "wayland-t", rt, all, "wayland", ""},
        {"wayland", nullptr, "wayland-t", rt, noWayland, "", noPlugin},
        {nullptr, nullptr, "wayland-t", rt, noWayland, "", noPlugin},
        {"wayland;offscreen", nullptr, "wayland-t", rt, noWayland, "offscreen", ""},
        {"wayland", nullptr, "wayland-none", rt, all, "", wl + "wayland-none\"."},
        {"wayland", nullptr, "wayland-t", nullptr, all, "",
         waylandT + ": XDG_RUNTIME_DIR is not set."},
        {"wayland", nullptr, socketPath.c_str(), nullptr, all, "wayland", ""}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        // Left as the last case sets them: each test runs in a process of its own.
        const auto set = [](const char* n, const char* v) { v ? setenv(n, v, 1) : unsetenv(n); };
        set("QT_QPA_PLATFORM", c.qpa), set("DISPLAY", c.display), set("WAYLAND_SOCKET", nullptr);
        set("WAYLAND_DISPLAY", c.wayland), set("XDG_RUNTIME_DIR", c.runtime);
        const platform::DisplayChoice choice = platform::ChooseDisplay(
            [&](const std::string& name) { return c.installed.count(name) != 0; });
        EXPECT_EQ(choice.platform, c.platform);
        EXPECT_EQ(choice.problem, c.problem);
    }
    ::close(compositor);
}

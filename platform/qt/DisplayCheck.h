// Which display the program opens, chosen before the toolkit starts: the toolkit aborts when it
// cannot open the one it was given, and a user deserves one clear line instead.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>

namespace platform {

struct DisplayChoice
{
    std::string platform; // the toolkit platform to use (QT_QPA_PLATFORM); empty: none works
    std::string problem;  // why none works, as one line for standard error
    // The X connection of the check, kept until the toolkit has opened its own: an X server
    // that resets when its last client leaves would otherwise refuse the toolkit.
    std::shared_ptr<void> x11Connection;
};

// The rule: X11 wherever a display can be opened, also in a Wayland session (through XWayland),
// since staying in front and the search for a running copy's window work there; else native
// Wayland where its plugin is installed and the compositor can be reached; else another
// platform named in QT_QPA_PLATFORM (offscreen, ...) when its plugin is installed. A list
// "a;b" in QT_QPA_PLATFORM is tried in its order after X11.
// `installed` tells whether the toolkit's plugin of a platform is installed.
DisplayChoice ChooseDisplay(const std::function<bool(const std::string&)>& installed);

// The names of the toolkit's installed platform plugins (xcb, wayland, offscreen, ...).
std::set<std::string> InstalledPlatforms();

// Whether the plugin of that platform is installed: the plugin file named after the platform
// is asked first, the others only when it is not there.
bool PlatformInstalled(const std::string& name);

} // namespace platform

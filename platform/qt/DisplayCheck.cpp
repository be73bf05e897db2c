#include "platform/qt/DisplayCheck.h"

#include <QDir>
#include <QLibraryInfo>
#include <cstdlib>
#include <xcb/xcb.h>

namespace platform {
namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool CanConnectX11()
{
    xcb_connection_t* conn = xcb_connect(nullptr, nullptr);
    bool ok = xcb_connection_has_error(conn) == 0;
    xcb_disconnect(conn);
    return ok;
}

bool HasWaylandPlugin()
{
    QDir dir(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    return !dir.entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty();
}

} // namespace

std::optional<std::string> DisplayProblem()
{
    std::string platform = Env("QT_QPA_PLATFORM");
    // Another platform was asked for by name (offscreen, wayland, vnc...): the toolkit's
    // own business.
    if (!platform.empty() && platform.rfind("xcb", 0) != 0)
        return std::nullopt;
    std::string display = Env("DISPLAY");
    if (!display.empty() && CanConnectX11())
        return std::nullopt;
    if (platform.empty() && !Env("WAYLAND_DISPLAY").empty() && HasWaylandPlugin())
        return std::nullopt;
    if (display.empty())
        return std::string("hanavo: cannot open a display (DISPLAY is not set).");
    return "hanavo: cannot open the display \"" + display + "\".";
}

} // namespace platform

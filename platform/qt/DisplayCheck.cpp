#include "platform/qt/DisplayCheck.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>
#include <cstdlib>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace platform {
namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The plugin name of a QT_QPA_PLATFORM entry: "xcb:option=1" names xcb.
std::string PluginName(const std::string& entry)
{
    std::string name = entry.substr(0, entry.find(':'));
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return name;
}

bool IsWayland(const std::string& name)
{
    return name.rfind("wayland", 0) == 0;
}

std::vector<std::string> Requested()
{
    std::vector<std::string> entries;
    const std::string list = Env("QT_QPA_PLATFORM");
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            entries.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

// Empty when an X display can be opened (its connection then in `connection`), else why not.
std::string X11Problem(std::shared_ptr<void>& connection)
{
    const std::string display = Env("DISPLAY");
    if (display.empty())
        return "hanavo: cannot open a display (DISPLAY is not set).";
    std::shared_ptr<xcb_connection_t> conn(xcb_connect(nullptr, nullptr), xcb_disconnect);
    if (xcb_connection_has_error(conn.get()) != 0)
        return "hanavo: cannot open the display \"" + display + "\".";
    connection = conn;
    return {};
}

// Empty when the Wayland compositor's socket takes a connection, else why not.
std::string WaylandProblem(bool pluginInstalled)
{
    if (!Env("WAYLAND_SOCKET").empty() && pluginInstalled)
        return {};
    std::string name = Env("WAYLAND_DISPLAY");
    if (name.empty())
        name = "wayland-0";
    const std::string shown = "hanavo: cannot open the Wayland display \"" + name + "\"";
    if (!pluginInstalled)
        return shown + ": the toolkit's Wayland support (package qt6-wayland) is not installed.";
    std::string path = name;
    if (name[0] != '/') {
        const std::string runtime = Env("XDG_RUNTIME_DIR");
        struct stat status;
        if (runtime.empty())
            return shown + ": XDG_RUNTIME_DIR is not set.";
        if (stat(runtime.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
            access(runtime.c_str(), R_OK | X_OK) != 0)
            return shown + ": the runtime folder \"" + runtime + "\" cannot be used.";
        path = runtime + "/" + name;
    }
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return shown + ".";
    path.copy(address.sun_path, path.size());
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool ok =
        fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        close(fd);
    return ok ? std::string() : shown + ".";
}

} // namespace

DisplayChoice ChooseDisplay(const std::function<bool(const std::string&)>& installed)
{
    std::vector<std::string> requested = Requested();
    const bool defaulted = requested.empty();
    if (defaulted) {
        requested.push_back("xcb");
        // Without WAYLAND_DISPLAY there is no Wayland session to look for.
        if (!Env("WAYLAND_DISPLAY").empty() || !Env("WAYLAND_SOCKET").empty())
            requested.push_back("wayland");
    }

    std::string x11Problem;
    for (const std::string& entry : requested) {
        const std::string name = PluginName(entry);
        if (name != "xcb" && !IsWayland(name))
            continue;
        std::shared_ptr<void> connection;
        x11Problem = installed("xcb")
                         ? X11Problem(connection)
                         : "hanavo: cannot open an X display: the toolkit's X11 support is not "
                           "installed.";
        if (x11Problem.empty())
            return {name == "xcb" ? entry : "xcb", {}, connection};
        break;
    }

    std::string firstProblem;
    for (const std::string& entry : requested) {
        const std::string name = PluginName(entry);
        std::string problem;
        if (name == "xcb")
            problem = x11Problem;
        else if (IsWayland(name))
            problem = WaylandProblem(installed(name));
        else if (!installed(name))
            problem = "hanavo: the display platform \"" + name + "\" is not installed.";
        if (problem.empty())
            return {entry, {}, {}};
        // In a Wayland session the Wayland reason is the one that tells.
        if (firstProblem.empty() || (defaulted && IsWayland(name)))
            firstProblem = problem;
    }
    return {{}, firstProblem, {}};
}

namespace {

QStringList PlatformFolders()
{
    QStringList folders = {QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                           QStringLiteral("/platforms")};
    for (const QString& path : qEnvironmentVariable("QT_PLUGIN_PATH").split(QLatin1Char(':')))
        if (!path.isEmpty())
            folders.append(path + QStringLiteral("/platforms"));
    const QString extra = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    if (!extra.isEmpty())
        folders.append(extra);
    return folders;
}

// The platform names a plugin file declares in its own metadata, read without loading it.
std::set<std::string> PluginKeys(const QString& path)
{
    std::set<std::string> names;
    const QJsonObject meta =
        QPluginLoader(path).metaData().value(QStringLiteral("MetaData")).toObject();
    for (const QJsonValue key : meta.value(QStringLiteral("Keys")).toArray())
        names.insert(key.toString().toLower().toStdString());
    return names;
}

} // namespace

std::set<std::string> InstalledPlatforms()
{
    std::set<std::string> names;
    for (const QString& folder : PlatformFolders()) {
        const QDir dir(folder);
        for (const QString& file : dir.entryList({QStringLiteral("*.so")}, QDir::Files))
            names.merge(PluginKeys(dir.filePath(file)));
    }
    return names;
}

bool PlatformInstalled(const std::string& name)
{
    // Reading every plugin's metadata costs more than the rest of the check, and the toolkit
    // reads them all again as it starts.
    const QString file = QStringLiteral("/libq%1.so").arg(QString::fromStdString(name));
    for (const QString& folder : PlatformFolders())
        if (PluginKeys(folder + file).count(name))
            return true;
    return InstalledPlatforms().count(name) != 0;
}

} // namespace platform

// What Hanavo changes in the user's desktop: the trash, and the autostart entry that starts it
// at login.
#include "platform/Os.h"
#include "platform/linux/GioLaunch.h"
#include "platform/linux/LinuxOs.h"

#include <cerrno>
#include <cstdlib>
#include <glib.h>
#include <limits.h>
#include <string>
#include <unistd.h>

namespace platform {
namespace {

const char kEntryName[] = "io.github.quillmere.Hanavo.desktop";
// The example entry the package ships, which users copied by hand before the switch existed.
const char kExampleName[] = "hanavo-autostart.desktop";

std::string AutostartFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return std::string(config) + "/autostart";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : g_get_home_dir()) + "/.config/autostart";
}

// Whether an entry starts something at login: it exists, reads as a desktop entry, and is not
// hidden (Hidden=true is how a desktop turns an entry off).
bool EntryActive(const std::string& path)
{
    GKeyFile* file = g_key_file_new();
    bool active = false;
    if (g_key_file_load_from_file(file, path.c_str(), G_KEY_FILE_NONE, nullptr)) {
        GError* error = nullptr;
        const bool hidden =
            g_key_file_get_boolean(file, G_KEY_FILE_DESKTOP_GROUP, "Hidden", &error);
        active = error ? true : !hidden;
        g_clear_error(&error);
    }
    g_key_file_free(file);
    return active;
}

} // namespace

std::string DesktopExecArgument(const std::string& path)
{
    if (!g_utf8_validate(path.data(), static_cast<gssize>(path.size()), nullptr))
        return std::string();
    bool plain = true;
    std::string quoted = "\"";
    for (char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f)
            return std::string();
        if (!g_ascii_isalnum(c) && c != '/' && c != '.' && c != '_' && c != '-' && c != '+')
            plain = false;
        // The quoting's backslash, itself escaped as a string value's.
        if (c == '"' || c == '`' || c == '$')
            quoted += "\\\\";
        else if (c == '\\')
            quoted += "\\\\\\";
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return plain ? path : quoted + "\"";
}

namespace {

std::string ProgramPath()
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    return length > 0 && static_cast<std::size_t>(length) < sizeof buffer
               ? std::string(buffer, static_cast<std::size_t>(length))
               : std::string();
}

bool RemoveIfPresent(const std::string& path)
{
    return unlink(path.c_str()) == 0 || errno == ENOENT;
}

} // namespace

bool MoveToTrash(const std::string& path)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    const gio_launch::Api* gio = gio_launch::Module();
    return gio && gio->trash(path);
}

bool LoginStartEnabled()
{
    const std::string folder = AutostartFolder();
    return EntryActive(folder + "/" + kEntryName) || EntryActive(folder + "/" + kExampleName);
}

bool SetLoginStart(bool enable)
{
    const std::string folder = AutostartFolder();
    const std::string entry = folder + "/" + kEntryName;
    if (!enable) {
        const bool removed = RemoveIfPresent(entry);
        return RemoveIfPresent(folder + "/" + kExampleName) && removed;
    }
    const std::string exec = DesktopExecArgument(ProgramPath());
    if (exec.empty() || g_mkdir_with_parents(folder.c_str(), 0700) != 0)
        return false;
    const std::string text = "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=Hanavo (automatic mode)\n"
                             "Name[ja]=Hanavo(自動実行)\n"
                             "Comment=Count down at login, then start the programs set in Hanavo\n"
                             "Exec=" +
                             exec +
                             " -a\n"
                             "Icon=io.github.quillmere.Hanavo\n"
                             "Terminal=false\n";
    // Written beside the old one and renamed over it: a failure leaves the old entry whole.
    return g_file_set_contents(entry.c_str(), text.data(), static_cast<gssize>(text.size()),
                               nullptr);
}

} // namespace platform

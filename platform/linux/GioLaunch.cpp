// The module of GIO launches (libhanavo-gio.so); see GioLaunch.h.
#include "platform/linux/GioLaunch.h"

#include "platform/Os.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <cstring>
#include <memory>
#include <set>
#include <unistd.h>

namespace platform::gio_launch {
namespace {

struct GObjectDeleter
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GRef = std::unique_ptr<T, GObjectDeleter>;

struct GFreeDeleter
{
    void operator()(gpointer memory) const { g_free(memory); }
};
using GText = std::unique_ptr<char, GFreeDeleter>;

struct GErrorDeleter
{
    void operator()(GError* error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

struct GKeyFileDeleter
{
    void operator()(GKeyFile* keys) const { g_key_file_free(keys); }
};

int CodeForGError(const GError* error)
{
    if (error->domain == G_SPAWN_ERROR) {
        switch (error->code) {
        case G_SPAWN_ERROR_NOENT:
        case G_SPAWN_ERROR_LOOP:
            return kFileNotFound;
        case G_SPAWN_ERROR_CHDIR:
        case G_SPAWN_ERROR_NOTDIR:
        case G_SPAWN_ERROR_NAMETOOLONG:
            return kPathNotFound;
        case G_SPAWN_ERROR_ACCES:
        case G_SPAWN_ERROR_PERM:
        case G_SPAWN_ERROR_TXTBUSY:
            return kAccessDenied;
        case G_SPAWN_ERROR_NOMEM:
        case G_SPAWN_ERROR_FORK:
        case G_SPAWN_ERROR_TOO_BIG:
        case G_SPAWN_ERROR_MFILE:
        case G_SPAWN_ERROR_NFILE:
            return kOutOfMemory;
        case G_SPAWN_ERROR_NOEXEC:
        case G_SPAWN_ERROR_LIBBAD:
        case G_SPAWN_ERROR_INVAL:
        case G_SPAWN_ERROR_ISDIR:
            return kBadFormat;
        default:
            return kNoAssociation;
        }
    }
    if (error->domain == G_IO_ERROR) {
        switch (error->code) {
        case G_IO_ERROR_NOT_FOUND:
            return kFileNotFound;
        case G_IO_ERROR_PERMISSION_DENIED:
            return kAccessDenied;
        default:
            return kNoAssociation;
        }
    }
    return kNoAssociation;
}

GRef<GAppLaunchContext> MakeLaunchContext(const Context& launch)
{
    // The plain context adds no startup-notification id, so launching does not depend on a
    // display or a window manager.
    GRef<GAppLaunchContext> context(g_app_launch_context_new());
    if (!launch.environment)
        return context;
    // Applications started through GIO get the start environment too.
    std::set<std::string> names;
    for (const std::string& entry : *launch.environment) {
        std::size_t equals = entry.find('=');
        if (equals == std::string::npos)
            continue;
        std::string name = entry.substr(0, equals);
        g_app_launch_context_setenv(context.get(), name.c_str(), entry.c_str() + equals + 1);
        names.insert(std::move(name));
    }
    char** current = g_get_environ();
    for (char** entry = current; *entry; ++entry) {
        std::string name(*entry, std::strcspn(*entry, "="));
        if (!names.count(name))
            g_app_launch_context_unsetenv(context.get(), name.c_str());
    }
    g_strfreev(current);
    return context;
}

// Runs in an application GIO starts, before it executes: a session of its own, as for the
// programs Hanavo starts itself, so that a terminal Hanavo was started from is not its own.
void StartOwnSession(gpointer)
{
    setsid();
}

int Launch(const Context& launch, GAppInfo* application, GList* files, GList* uris)
{
    // An application started through D-Bus needs the session bus, and connecting to it waits
    // for as long as the bus keeps silent; it happens here, where the launch can still be
    // dropped, rather than inside GIO's launch.
    if (G_IS_DESKTOP_APP_INFO(application) &&
        g_desktop_app_info_get_boolean(G_DESKTOP_APP_INFO(application),
                                       G_KEY_FILE_DESKTOP_KEY_DBUS_ACTIVATABLE)) {
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
        if (bus)
            g_object_unref(bus);
    }
    if (!launch.commit())
        return kTimedOut;
    GRef<GAppLaunchContext> context = MakeLaunchContext(launch);
    GError* failure = nullptr;
    gboolean launched;
    if (G_IS_DESKTOP_APP_INFO(application)) {
        // Files go as URIs, as g_app_info_launch() passes them; GIO maps them back to paths
        // for applications that take paths.
        GList* fileUris = nullptr;
        for (GList* file = files; file; file = file->next)
            fileUris = g_list_append(fileUris, g_file_get_uri(G_FILE(file->data)));
        launched = g_desktop_app_info_launch_uris_as_manager(
            G_DESKTOP_APP_INFO(application), uris ? uris : fileUris, context.get(),
            G_SPAWN_SEARCH_PATH, StartOwnSession, nullptr, nullptr, nullptr, &failure);
        g_list_free_full(fileUris, g_free);
    } else {
        launched = uris ? g_app_info_launch_uris(application, uris, context.get(), &failure)
                        : g_app_info_launch(application, files, context.get(), &failure);
    }
    if (launched)
        return kLaunched;
    GErrorPtr error(failure);
    return error ? CodeForGError(error.get()) : kNoAssociation;
}

int OpenDocument(const Context& launch, const std::string& path)
{
    GRef<GFile> file(g_file_new_for_path(path.c_str()));
    std::string type;
    GRef<GFileInfo> info(g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                           G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
    if (info && g_file_info_get_content_type(info.get())) {
        type = g_file_info_get_content_type(info.get());
    } else {
        GText guessed(g_content_type_guess(path.c_str(), nullptr, 0, nullptr));
        type = guessed ? guessed.get() : "";
    }
    GRef<GAppInfo> application(g_app_info_get_default_for_type(type.c_str(), FALSE));
    if (!application)
        return kNoAssociation;
    GList files = {file.get(), nullptr, nullptr};
    return Launch(launch, application.get(), &files, nullptr);
}

int OpenUrl(const Context& launch, const std::string& url, std::string& next)
{
    GText scheme(g_uri_parse_scheme(url.c_str()));
    if (!scheme)
        return kFileNotFound;
    if (g_ascii_strcasecmp(scheme.get(), "file") == 0) {
        GText path(g_filename_from_uri(url.c_str(), nullptr, nullptr));
        if (!path)
            return kFileNotFound;
        next = path.get();
        return kFollowPath;
    }
    GRef<GAppInfo> application(g_app_info_get_default_for_uri_scheme(scheme.get()));
    if (!application)
        return kNoAssociation;
    GList uris = {const_cast<char*>(url.c_str()), nullptr, nullptr};
    return Launch(launch, application.get(), nullptr, &uris);
}

// Whether an application entry names a program that is not installed; GIO refuses to load such
// an entry, but for the user the program is missing, not the entry broken.
bool NamesMissingProgram(GKeyFile* keys)
{
    const char* group = G_KEY_FILE_DESKTOP_GROUP;
    for (const char* key : {G_KEY_FILE_DESKTOP_KEY_TRY_EXEC, G_KEY_FILE_DESKTOP_KEY_EXEC}) {
        GText command(g_key_file_get_string(keys, group, key, nullptr));
        gchar** argv = nullptr;
        if (!command || !g_shell_parse_argv(command.get(), nullptr, &argv, nullptr))
            continue;
        GText found(g_find_program_in_path(argv[0]));
        g_strfreev(argv);
        if (!found)
            return true;
    }
    return false;
}

int StartDesktopEntry(const Context& launch, const std::string& path, std::string& next)
{
    GRef<GDesktopAppInfo> application(g_desktop_app_info_new_from_filename(path.c_str()));
    if (application)
        return Launch(launch, G_APP_INFO(application.get()), nullptr, nullptr);
    std::unique_ptr<GKeyFile, GKeyFileDeleter> keys(g_key_file_new());
    if (!g_key_file_load_from_file(keys.get(), path.c_str(), G_KEY_FILE_NONE, nullptr))
        return kBadFormat;
    const char* group = G_KEY_FILE_DESKTOP_GROUP;
    GText type(g_key_file_get_string(keys.get(), group, G_KEY_FILE_DESKTOP_KEY_TYPE, nullptr));
    if (!type)
        return kBadFormat;
    if (std::strcmp(type.get(), G_KEY_FILE_DESKTOP_TYPE_LINK) == 0) {
        // A link entry names an address rather than a program.
        GText url(g_key_file_get_string(keys.get(), group, G_KEY_FILE_DESKTOP_KEY_URL, nullptr));
        GText scheme(url ? g_uri_parse_scheme(url.get()) : nullptr);
        if (!scheme)
            return kBadFormat;
        next = url.get();
        return kFollowUrl;
    }
    if (std::strcmp(type.get(), G_KEY_FILE_DESKTOP_TYPE_APPLICATION) == 0 &&
        NamesMissingProgram(keys.get()))
        return kFileNotFound;
    return kBadFormat;
}

bool Trash(const std::string& path)
{
    GRef<GFile> file(g_file_new_for_path(path.c_str()));
    return g_file_trash(file.get(), nullptr, nullptr);
}

const Api kApi = {OpenDocument, OpenUrl, StartDesktopEntry, Trash};

} // namespace
} // namespace platform::gio_launch

extern "C" __attribute__((visibility("default"))) const platform::gio_launch::Api*
hanavo_gio_launch_api()
{
    return &platform::gio_launch::kApi;
}

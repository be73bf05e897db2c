// What needs GIO: launching documents, addresses and desktop entries through the desktop's
// application database, and the desktop's trash. It lives in a module of its own
// (libhanavo-gio.so), loaded on first use, so that starting Hanavo, and starting programs, never
// loads GIO and what it pulls in.
#pragma once

#include <string>
#include <vector>

namespace platform::gio_launch {

// A launch that started what it was asked to; any value above 32 means success.
constexpr int kLaunched = 42;
// Results that are not codes: the request leads on to `next`, which the caller follows.
constexpr int kFollowPath = -1; // a file: address, `next` is its path
constexpr int kFollowUrl = -2;  // a link entry, `next` is the address it names

// What the module needs from the program for each launch.
struct Context
{
    // Called just before anything is started; false: the launch was given up, start nothing.
    bool (*commit)();
    // The environment started applications get; null: the current one.
    const std::vector<std::string>* environment;
};

// The module's services. Every one returns kLaunched, a ShellOpen error code, or one of the
// follow results above.
struct Api
{
    // Opens a file that is not a program with the default application for its type.
    int (*openDocument)(const Context& context, const std::string& path);
    // Opens an address with the handler of its scheme.
    int (*openUrl)(const Context& context, const std::string& url, std::string& next);
    // Starts the application a desktop entry (*.desktop) describes.
    int (*startDesktopEntry)(const Context& context, const std::string& path, std::string& next);
    // Moves a file to the desktop's trash; false when it could not, the file then as it was.
    bool (*trash)(const std::string& path);
};

// The file name of the module and its one entry point.
constexpr const char* kModuleName = "libhanavo-gio.so";
constexpr const char* kEntryPoint = "hanavo_gio_launch_api";
using EntryPoint = const Api* (*)();

// The module, loaded by the first call; null when it cannot be loaded (the reason is then on
// standard error, once).
const Api* Module();

} // namespace platform::gio_launch

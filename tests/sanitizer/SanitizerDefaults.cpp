// The sanitizers' defaults, built into every program of a sanitizer build, so that the programs
// the tests start themselves (the real hanavo of the end-to-end tests) run under the same rules
// without depending on environment variables reaching them. (AddressSanitizer's own defaults
// already check for leaks at exit.)
#define HANAVO_SANITIZER_HOOK extern "C" __attribute__((used, visibility("default"))) const char*

HANAVO_SANITIZER_HOOK __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

// Leaks inside third-party libraries only; the program's own code is never suppressed here.
HANAVO_SANITIZER_HOOK __lsan_default_suppressions()
{
    return
        // fontconfig keeps its configuration and caches for the life of the process.
        "leak:libfontconfig.so\n"
        // The GLib/GIO type system and registered types live until exit by design.
        "leak:libglib-2.0.so\n"
        "leak:libgobject-2.0.so\n"
        "leak:libgio-2.0.so\n"
        // Connection-level allocations of Xlib/xcb made by the Qt platform plugin.
        "leak:libxcb.so\n"
        "leak:libX11.so\n"
        // libdbus keeps its connection bookkeeping when Qt finds no session bus under X11.
        "leak:libdbus-1.so\n";
}

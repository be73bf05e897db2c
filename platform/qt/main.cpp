// The hanavo program: the Qt host, the settings file and the application object's start-up
// routine, which is the program's whole life.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/CLaunchTimerApp.h"
#include "platform/Os.h"
#include "platform/linux/FileProfileStore.h"
#include "platform/linux/LinuxOs.h"
#include "platform/qt/AppIcon.h"
#include "platform/qt/DisplayCheck.h"
#include "platform/qt/QtHost.h"

namespace {

const char kUsage[] =
    "Usage: hanavo [-a]\n"
    "Waits a set number of seconds with a large countdown, then launches the enabled files of\n"
    "the launch folder in the order recorded in their names, then the command, and exits.\n"
    "\n"
    "  -a         automatic mode: count at once and launch unattended at zero (any argument\n"
    "             that holds the letter a or A does the same)\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "The settings are made in the program's settings dialog and kept in\n"
    "$XDG_CONFIG_HOME/Quillmere/Hanavo.conf.\n";

} // namespace

int main(int argc, char** argv, char** envp)
{
    // Answered without a display and without touching anything.
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "--version") {
            if (argument == "--help")
                std::fputs(kUsage, stdout);
            else
                std::printf("hanavo %s\n", HANAVO_VERSION);
            return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
        }
    }

    // Before anything else: of two copies started at the same instant, only one goes on. The
    // other ends silently, as when it finds the first one's window.
    switch (platform::AcquireInstanceLock()) {
    case platform::InstanceLock::Acquired:
        break;
    case platform::InstanceLock::HeldElsewhere:
        return 0;
    case platform::InstanceLock::Unavailable:
        std::fprintf(stderr, "hanavo: no place for the single-instance lock (neither "
                             "$XDG_RUNTIME_DIR nor the settings folder can be used); "
                             "going on without it\n");
        break;
    }
    platform::RecordStartEnvironment(envp);

    // The argument text as given, before the toolkit takes out options of its own.
    std::string arguments;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            arguments += ' ';
        arguments += argv[i];
    }

    platform::DisplayChoice display = platform::ChooseDisplay(platform::PlatformInstalled);
    if (display.platform.empty()) {
        std::fprintf(stderr, "%s\n", display.problem.c_str());
        return 1;
    }
    // Only for the toolkit: started programs get the environment recorded above.
    setenv("QT_QPA_PLATFORM", display.platform.c_str(), 1);

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Hanavo"));
    QApplication::setOrganizationName(QStringLiteral("Quillmere"));
    // The desktop entry's name: Wayland compositors tie the window to the entry by it.
    QApplication::setDesktopFileName(QStringLiteral("io.github.quillmere.Hanavo"));
    QApplication::setWindowIcon(platform::AppIcon());
    // The program speaks Japanese; so do the toolkit's own choosers where the translation is
    // installed.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    display.x11Connection.reset();

    platform::QtHost host;
    platform::FileProfileStore store;
    CLaunchTimerApp app(host, store);
    app.InitInstance(arguments);
    return 0;
}

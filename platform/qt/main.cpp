// The hanavo program: the Qt host, the settings file and the application object's start-up
// routine, which is the program's whole life.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <string>

#include "app/CLaunchTimerApp.h"
#include "platform/Os.h"
#include "platform/linux/FileProfileStore.h"
#include "platform/linux/LinuxOs.h"
#include "platform/qt/AppIcon.h"
#include "platform/qt/DisplayCheck.h"
#include "platform/qt/QtHost.h"

int main(int argc, char** argv, char** envp)
{
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

    if (auto problem = platform::DisplayProblem()) {
        std::fprintf(stderr, "%s\n", problem->c_str());
        return 1;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Hanavo"));
    QApplication::setOrganizationName(QStringLiteral("Quillmere"));
    QApplication::setWindowIcon(platform::AppIcon());
    // The program speaks Japanese; so do the toolkit's own choosers where the translation is
    // installed.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    platform::QtHost host;
    platform::FileProfileStore store;
    CLaunchTimerApp app(host, store);
    app.InitInstance(arguments);
    return 0;
}

#include "platform/qt/AppIcon.h"

static void InitHanavoResources()
{
    Q_INIT_RESOURCE(hanavo);
}

namespace platform {

void InitBundledResources()
{
    static const bool done = [] {
        InitHanavoResources();
        return true;
    }();
    (void)done;
}

QIcon AppIcon()
{
    InitBundledResources();
    QIcon icon;
    for (int size : {16, 32, 48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hanavo-%1.png").arg(size), QSize(size, size));
    return icon;
}

QUrl HelpUrl()
{
    InitBundledResources();
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

} // namespace platform

#include "platform/qt/AppIcon.h"

#include <QImageReader>
#include <QPixmap>
#include <vector>

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
    // Decoded once: the application and each window ask for the icon.
    static const std::vector<QImage> images = [] {
        std::vector<QImage> decoded;
        for (int size : {16, 32, 48}) {
            // Read as PNG by name: left to find the format itself, the reader loads every
            // image plug-in installed to ask each whether it reads PNG.
            QImageReader reader(QStringLiteral(":/icons/hanavo-%1.png").arg(size), "png");
            reader.setAutoDetectImageFormat(false);
            decoded.push_back(reader.read());
        }
        return decoded;
    }();
    QIcon icon;
    for (const QImage& image : images)
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

QUrl HelpUrl()
{
    InitBundledResources();
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

} // namespace platform

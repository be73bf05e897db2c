// The application's bundled resources: icon 128 in its sizes and the help page.
#pragma once

#include <QIcon>
#include <QUrl>

namespace platform {

// Registers the bundled resources; the backend is a static library, so they are not
// registered by a static initializer. Safe to call more than once.
void InitBundledResources();

// Icon 128 with its 16, 32, 48, 128 and 256 pixel images.
QIcon AppIcon();

// The bundled help page.
QUrl HelpUrl();

} // namespace platform

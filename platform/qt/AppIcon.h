// The application's bundled resources: icon 128 in its sizes and the help page.
#pragma once

#include <QIcon>
#include <QUrl>

namespace platform {

// Registers the bundled resources; the backend is a static library, so they are not
// registered by a static initializer. Safe to call more than once.
void InitBundledResources();

// Icon 128 with its 16, 32 and 48 pixel images, the sizes a window icon is shown in. (The
// window system gets every size of a window's icon, so larger ones cost for nothing.)
QIcon AppIcon();

// The bundled help page.
QUrl HelpUrl();

} // namespace platform

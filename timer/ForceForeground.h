// Brings a window to the foreground even when another program's window is active.
#pragma once

#include "platform/Window.h"

bool ForceForeground(platform::Window& window);

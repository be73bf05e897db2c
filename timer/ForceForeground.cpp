#include "timer/ForceForeground.h"

// On Windows this attaches to the foreground thread's input first; the window system of each
// backend decides how a window may take the foreground, so the backend does the work.
bool ForceForeground(platform::Window& window)
{
    return window.ForceForeground();
}

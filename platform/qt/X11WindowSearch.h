// Looks for a top-level window of any program by its exact title on the X11 display: over the
// toolkit's own connection when the application runs on X11, else over a connection of its own
// to DISPLAY, so it also works before and without a QApplication.
#pragma once

#include <string>

struct xcb_connection_t;

namespace platform {

class X11WindowSearch
{
public:
    // Takes the application's X connection, or connects to $DISPLAY; IsConnected() is false
    // when there is none or it cannot be reached.
    X11WindowSearch();
    ~X11WindowSearch();
    X11WindowSearch(const X11WindowSearch&) = delete;
    X11WindowSearch& operator=(const X11WindowSearch&) = delete;

    bool IsConnected() const { return m_conn != nullptr; }

    // Whether a window whose _NET_WM_NAME (UTF-8) or WM_NAME equals the title exists among the
    // roots' children and their descendants: window managers reparent clients into frames.
    bool HasWindowTitled(const std::string& title);

    // How deep below the root, and how many windows in all, the search looks.
    static constexpr int kMaxDepth = 4;
    static constexpr int kMaxWindows = 50000;

private:
    xcb_connection_t* m_conn = nullptr;
    bool m_ownConnection = false;
};

} // namespace platform

// The title search against a private Xvfb server, with windows nested as window managers nest
// their clients in frames.
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include "platform/qt/X11WindowSearch.h"

extern char** environ;

namespace {

// An Xvfb server on a display number it picks itself, with DISPLAY pointing at it while this
// object lives.
class PrivateDisplay
{
public:
    PrivateDisplay()
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        const char* argv[] = {"Xvfb",    "-displayfd", "3",          "-nolisten", "tcp",
                              "-screen", "0",          "320x240x24", nullptr};
        pid_t pid = -1;
        int rc = posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (rc != 0) {
            ::close(fds[0]);
            return;
        }
        m_pid = pid;
        std::string number;
        pollfd p = {fds[0], POLLIN, 0};
        while (::poll(&p, 1, 15000) > 0) {
            char c;
            if (::read(fds[0], &c, 1) != 1 || c == '\n')
                break;
            number += c;
        }
        ::close(fds[0]);
        if (number.empty())
            return;
        const char* old = std::getenv("DISPLAY");
        if (old)
            m_savedDisplay = old;
        ::setenv("DISPLAY", (":" + number).c_str(), 1);
        m_ready = true;
    }
    ~PrivateDisplay()
    {
        if (m_ready) {
            if (m_savedDisplay)
                ::setenv("DISPLAY", m_savedDisplay->c_str(), 1);
            else
                ::unsetenv("DISPLAY");
        }
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            int status = 0;
            while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
    }
    bool Ready() const { return m_ready; }

private:
    pid_t m_pid = -1;
    bool m_ready = false;
    std::optional<std::string> m_savedDisplay;
};

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    xcb_atom_t a = r ? r->atom : 0;
    std::free(r);
    return a;
}

xcb_window_t Window(xcb_connection_t* c, xcb_window_t parent)
{
    xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, parent, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    return w;
}

void Name(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
          const std::string& bytes)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8,
                        static_cast<uint32_t>(bytes.size()), bytes.data());
}

} // namespace

TEST(X11WindowSearch, FindsExactTitlesOfFramedWindowsOnAPrivateServer)
{
    PrivateDisplay display;
    if (!display.Ready())
        GTEST_SKIP() << "Xvfb is not available";
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(c), 0);
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_atom_t netName = Atom(c, "_NET_WM_NAME");
    xcb_atom_t utf8 = Atom(c, "UTF8_STRING");

    // A client inside a frame, as a reparenting window manager leaves it.
    xcb_window_t frame = Window(c, root);
    xcb_window_t client = Window(c, frame);
    Name(c, client, netName, utf8, "Hanavo(停止中)");
    // A plain Latin-1 WM_NAME of a top-level window.
    xcb_window_t old = Window(c, root);
    Name(c, old, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "Caf\xe9 Hanavo");
    // An Xt program's Japanese title: compound text, as Xlib writes it.
    xcb_window_t legacy = Window(c, root);
    Name(c, legacy, XCB_ATOM_WM_NAME, Atom(c, "COMPOUND_TEXT"), "Old(\x1b$(BDd;_Cf\x1b(B)");
    // Depth 4 is searched, depth 5 is not.
    xcb_window_t w = root;
    for (int depth = 1; depth <= 5; ++depth) {
        w = Window(c, w);
        Name(c, w, netName, utf8, "depth " + std::to_string(depth));
    }
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

    platform::X11WindowSearch search;
    ASSERT_TRUE(search.IsConnected());
    EXPECT_TRUE(search.HasWindowTitled("Hanavo(停止中)"));
    EXPECT_FALSE(search.HasWindowTitled("Hanavo(秒読中)"));
    EXPECT_FALSE(search.HasWindowTitled("Hanavo(停止中"));
    EXPECT_FALSE(search.HasWindowTitled("Hanavo(停止中) "));
    EXPECT_TRUE(search.HasWindowTitled("Café Hanavo"));
    EXPECT_FALSE(search.HasWindowTitled("Caf\xe9 Hanavo")); // titles are UTF-8
    EXPECT_TRUE(search.HasWindowTitled("Old(停止中)"));
    EXPECT_TRUE(search.HasWindowTitled("depth 4"));
    EXPECT_FALSE(search.HasWindowTitled("depth 5"));

    // A title changed afterwards is followed.
    Name(c, client, netName, utf8, "Hanavo(秒読中)");
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    EXPECT_TRUE(search.HasWindowTitled("Hanavo(秒読中)"));
    EXPECT_FALSE(search.HasWindowTitled("Hanavo(停止中)"));
    xcb_disconnect(c);
}

TEST(X11WindowSearch, WithoutADisplayNothingIsFound)
{
    const char* old = std::getenv("DISPLAY");
    std::optional<std::string> saved;
    if (old)
        saved = old;
    ::unsetenv("DISPLAY");
    {
        platform::X11WindowSearch search;
        EXPECT_FALSE(search.IsConnected());
        EXPECT_FALSE(search.HasWindowTitled("Hanavo(停止中)"));
    }
    if (saved)
        ::setenv("DISPLAY", saved->c_str(), 1);
}

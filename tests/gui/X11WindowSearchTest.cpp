// The title search against a private Xvfb server, with windows nested as window managers nest
// their clients in frames.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <xcb/xcb.h>

#include "GuiTestSupport.h"
#include "platform/qt/X11WindowSearch.h"

namespace {

// An Xvfb server on a display number it picks itself, with DISPLAY pointing at it while this
// object lives.
class PrivateDisplay
{
public:
    PrivateDisplay()
    {
        // The shell prints the server's process id, then the server its display number.
        FILE* out = ::popen("exec 3>&1; Xvfb -displayfd 3 -nolisten tcp -screen 0 320x240x24 "
                            ">/dev/null 2>&1 & echo $!",
                            "r");
        char pid[32] = "", number[32] = "";
        if (!out)
            return;
        if (std::fgets(pid, sizeof pid, out) && std::fgets(number, sizeof number, out)) {
            m_pid = std::atoi(pid);
            m_display.emplace("DISPLAY", (":" + std::to_string(std::atoi(number))).c_str());
        }
        ::pclose(out);
    }
    ~PrivateDisplay()
    {
        if (m_pid > 0)
            ::kill(m_pid, SIGTERM);
    }
    bool Ready() const { return m_display.has_value(); }

private:
    pid_t m_pid = -1;
    std::optional<guitest::ScopedEnv> m_display;
};

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    xcb_atom_t a = r ? r->atom : 0;
    std::free(r);
    return a;
}

// A new child of parent, titled with the bytes in the property of the type given.
xcb_window_t Titled(xcb_connection_t* c, xcb_window_t parent, xcb_atom_t property, xcb_atom_t type,
                    const std::string& bytes)
{
    xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, parent, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8,
                        static_cast<uint32_t>(bytes.size()), bytes.data());
    return w;
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

    // A client inside a frame, as a reparenting window manager leaves it; a Latin-1 WM_NAME;
    // an Xt program's titles in compound text as Xlib writes them (JIS X 0208 in GL, and in GR
    // from an EUC-JP locale); five windows nested, of which depth 4 is searched, 5 not.
    xcb_window_t frame = Titled(c, root, netName, utf8, "frame");
    Titled(c, frame, netName, utf8, "Hanavo(停止中)");
    Titled(c, root, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "Caf\xe9 Hanavo");
    xcb_atom_t ct = Atom(c, "COMPOUND_TEXT");
    Titled(c, root, XCB_ATOM_WM_NAME, ct, "Old(\x1b$(BDd;_Cf\x1b(B)");
    Titled(c, root, XCB_ATOM_WM_NAME, ct, "EUC(\x1b$)B\xc4\xe4\xbb\xdf\xc3\xe6)");
    xcb_window_t w = root;
    for (int depth = 1; depth <= 5; ++depth)
        w = Titled(c, w, netName, utf8, "depth " + std::to_string(depth));
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

    platform::X11WindowSearch search;
    ASSERT_TRUE(search.IsConnected());
    for (auto [title, found] : std::initializer_list<std::pair<const char*, bool>>{
             {"Hanavo(停止中)", true},
             {"Hanavo(秒読中)", false},
             {"Hanavo(停止中", false},
             {"Hanavo(停止中) ", false},
             {"Café Hanavo", true},
             {"Caf\xe9 Hanavo", false}, // titles are UTF-8
             {"Old(停止中)", true},
             {"EUC(停止中)", true},
             {"depth 4", true},
             {"depth 5", false},
         })
        EXPECT_EQ(search.HasWindowTitled(title), found) << title;

    xcb_disconnect(c);
}

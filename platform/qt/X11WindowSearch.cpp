#include "platform/qt/X11WindowSearch.h"

#include "platform/qt/CompoundText.h"

#include <QGuiApplication>

#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

namespace platform {
namespace {

// The atoms of these names, asked for together: one round trip instead of one each.
template <std::size_t N>
std::array<xcb_atom_t, N> InternAtoms(xcb_connection_t* conn,
                                      const std::array<const char*, N>& names)
{
    std::array<xcb_intern_atom_cookie_t, N> cookies;
    for (std::size_t i = 0; i < N; ++i)
        cookies[i] =
            xcb_intern_atom(conn, 1, static_cast<uint16_t>(std::strlen(names[i])), names[i]);
    std::array<xcb_atom_t, N> atoms;
    for (std::size_t i = 0; i < N; ++i) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(conn, cookies[i], nullptr);
        atoms[i] = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        std::free(reply);
    }
    return atoms;
}

// Latin-1 bytes as UTF-8.
std::string Latin1ToUtf8(const char* data, int length)
{
    std::string out;
    for (int i = 0; i < length; ++i) {
        auto c = static_cast<unsigned char>(data[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

X11WindowSearch::X11WindowSearch()
{
    // The toolkit's connection is open already: a second one costs a round trip for nothing.
    // (Other platforms, offscreen for one, may offer the interface without a display.)
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (application && QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>()) {
            m_conn = x11->connection();
            if (m_conn)
                return;
        }
    }
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return;
    xcb_connection_t* conn = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(conn)) {
        xcb_disconnect(conn);
        return;
    }
    m_conn = conn;
    m_ownConnection = true;
}

X11WindowSearch::~X11WindowSearch()
{
    if (m_ownConnection)
        xcb_disconnect(m_conn);
}

bool X11WindowSearch::HasWindowTitled(const std::string& title)
{
    if (!m_conn)
        return false;
    const auto [netWmName, utf8String, compoundText] =
        InternAtoms<3>(m_conn, {"_NET_WM_NAME", "UTF8_STRING", "COMPOUND_TEXT"});
    // Enough 32-bit units for the title and one more byte, to see that a longer one differs.
    const auto wanted = static_cast<uint32_t>(title.size() / 4 + 1);
    // Compound text may take more bytes than UTF-8 (an escape at each change of set).
    const auto wantedWmName = static_cast<uint32_t>(title.size() + 16);

    auto matches = [&](xcb_get_property_reply_t* reply, bool netName) {
        if (!reply || reply->format != 8 || reply->bytes_after != 0)
            return false;
        int length = xcb_get_property_value_length(reply);
        const char* value = static_cast<const char*>(xcb_get_property_value(reply));
        if (netName || reply->type == utf8String)
            return reply->type == utf8String && title.size() == static_cast<size_t>(length) &&
                   std::memcmp(value, title.data(), title.size()) == 0;
        if (reply->type == XCB_ATOM_STRING)
            return Latin1ToUtf8(value, length) == title;
        if (reply->type == compoundText)
            return CompoundTextToUtf8(std::string_view(value, static_cast<size_t>(length))) ==
                   title;
        return false;
    };

    std::vector<xcb_window_t> level;
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_conn)); it.rem;
         xcb_screen_next(&it))
        level.push_back(it.data->root);

    int visited = 0;
    bool found = false;
    for (int depth = 0; depth <= kMaxDepth && !level.empty() && !found; ++depth) {
        // Every request of a level first, then the replies: one round trip per level.
        struct Pending
        {
            xcb_get_property_cookie_t netName;
            xcb_get_property_cookie_t wmName;
            xcb_query_tree_cookie_t tree;
            bool hasTitle;
            bool hasTree;
        };
        std::vector<Pending> pending;
        pending.reserve(level.size());
        for (xcb_window_t w : level) {
            Pending p = {};
            p.hasTitle = depth > 0; // roots are not top-level windows
            if (p.hasTitle) {
                if (netWmName != XCB_ATOM_NONE)
                    p.netName = xcb_get_property(m_conn, 0, w, netWmName, XCB_GET_PROPERTY_TYPE_ANY,
                                                 0, wanted);
                p.wmName = xcb_get_property(m_conn, 0, w, XCB_ATOM_WM_NAME,
                                            XCB_GET_PROPERTY_TYPE_ANY, 0, wantedWmName);
            }
            p.hasTree = depth < kMaxDepth;
            if (p.hasTree)
                p.tree = xcb_query_tree(m_conn, w);
            pending.push_back(p);
        }
        std::vector<xcb_window_t> next;
        for (const Pending& p : pending) {
            if (p.hasTitle) {
                if (netWmName != XCB_ATOM_NONE) {
                    xcb_get_property_reply_t* r =
                        xcb_get_property_reply(m_conn, p.netName, nullptr);
                    found = found || matches(r, true);
                    std::free(r);
                }
                xcb_get_property_reply_t* r = xcb_get_property_reply(m_conn, p.wmName, nullptr);
                found = found || matches(r, false);
                std::free(r);
            }
            if (!p.hasTree)
                continue;
            xcb_query_tree_reply_t* tree = xcb_query_tree_reply(m_conn, p.tree, nullptr);
            if (tree) {
                const xcb_window_t* children = xcb_query_tree_children(tree);
                int count = xcb_query_tree_children_length(tree);
                for (int i = 0; i < count && visited < kMaxWindows; ++i, ++visited)
                    next.push_back(children[i]);
                std::free(tree);
            }
        }
        level = std::move(next);
    }
    return found;
}

} // namespace platform

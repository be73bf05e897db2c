// The title search against a private Xvfb server, with windows nested as window managers nest their
// clients in frames, and the compound text of older programs' titles.
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include "GuiTestSupport.h"
#include "platform/qt/CompoundText.h"

TEST(CompoundText, DecodesTheSetsOfTitlesAndRefusesOthers)
{
    using Text = std::optional<std::string>;
    // clang-format off
    for (auto [text, utf8] : std::initializer_list<std::pair<std::string_view, Text>>{
             {"Caf\xe9 \x1b-A\xe9\x1b(J!", "Café é!"},      // Latin-1 in GR, given or not
             {"Old(\x1b$(BDd;_Cf\x1b(B)", "Old(停止中)"},   // JIS X 0208 in GL
             {"\x1b$)B\xc4\xe4\xbb\xdf\xc3\xe6", "停止中"}, // in GR, from an EUC-JP locale
             {"\x1b$)A\xd6\xd0 \x1b$)C\xc7\xd1", "中 한"},  // GB 2312, KS C 5601
             {"\x1b)I\xb1\x1b%G\xc3\xa9\x1b%@", "ｱé"},      // JIS X 0201 katakana, UTF-8
             // Sets this does not know, a C1 control, and text that ends too early.
             {"\x1b$(Z!!", {}}, {"\x1b(Z", {}}, {"\x1b-I", {}}, {"\x85", {}}, {"\x1b$(B\x30", {}},
             {"\x1b", {}}, {std::string_view("\x1b(B", 2), {}}})
        // clang-format on
        EXPECT_EQ(platform::CompoundTextToUtf8(text), utf8) << text;
}

namespace {

// A new child of parent, titled with the bytes in the property of the type given.
xcb_window_t Titled(xcb_connection_t* c, xcb_window_t parent, const char* property,
                    const char* type, const std::string& bytes)
{
    auto atom = [c](const char* name) {
        auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t a = r ? r->atom : 0;
        std::free(r);
        return a;
    };
    xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, parent, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(property), atom(type), 8, bytes.size(),
                        bytes.data());
    return w;
}

} // namespace

TEST(X11WindowSearch, HostFindsExactTitlesOfFramedWindowsOnAPrivateServer)
{
    // An Xvfb server on a display number it picks itself: the shell prints the server's process id,
    // then the server its display number.
    FILE* out =
        ::popen("exec 3>&1; Xvfb -displayfd 3 -nolisten tcp >/dev/null 2>&1 & echo $!", "r");
    int pid = 0, number = -1;
    const bool started = out && std::fscanf(out, "%d %d", &pid, &number) == 2;
    if (out)
        ::pclose(out);
    if (!started)
        GTEST_SKIP() << "Xvfb is not available";
    std::shared_ptr<void> server(nullptr, [pid](void*) { ::kill(pid, SIGTERM); });
    ::setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1);
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(c), 0);
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    // A client inside a frame, as a reparenting window manager leaves it; a Latin-1 WM_NAME; an Xt
    // program's title in compound text; five windows nested, of which depth 4 is searched, 5 not.
    Titled(c, Titled(c, root, "_NET_WM_NAME", "UTF8_STRING", "frame"), "_NET_WM_NAME",
           "UTF8_STRING", "Hanavo(停止中)");
    Titled(c, root, "WM_NAME", "STRING", "Caf\xe9 Hanavo");
    Titled(c, root, "WM_NAME", "COMPOUND_TEXT", "Old(\x1b$(BDd;_Cf\x1b(B)");
    xcb_window_t w = root;
    for (int depth = 1; depth <= 5; ++depth)
        w = Titled(c, w, "_NET_WM_NAME", "UTF8_STRING", "depth " + std::to_string(depth));
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

    // Exact titles only, in UTF-8, as the host's single-instance check asks.
    platform::QtHost host;
    // clang-format off
    for (auto [title, found] : std::initializer_list<std::pair<const char*, bool>>{
             {"Hanavo(停止中)", true}, {"Hanavo(秒読中)", false}, {"Hanavo(停止中", false},
             {"Hanavo(停止中) ", false}, {"Café Hanavo", true}, {"Caf\xe9 Hanavo", false},
             {"Old(停止中)", true}, {"depth 4", true}, {"depth 5", false}})
        // clang-format on
        EXPECT_EQ(host.FindWindowByTitle(title), found) << title;
    xcb_disconnect(c);
}

// Titles read through the backend: UTF-8 _NET_WM_NAME, the WM_NAME fallback of
// older clients (compound text included), and the cut to 254 characters that
// never splits a character.
#include <xcb/xcb.h>

#include <clocale>

#include "platform/text.h"
#include "tests/x11/fixture.h"

namespace sw::x11::test {
namespace {

using TitleTest = DesktopTest;

std::string repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

TEST_F(TitleTest, Utf8NetWmName) {
    const std::string title = "Größe — 尺寸 😀";
    TestClient client({"--title", title});
    EXPECT_EQ(desk->describeWindow(client.window()).title, title);
}

TEST_F(TitleTest, WmNameOnlyFallsBack) {
    // Latin-1 STRING, as xterm writes it.
    TestClient latin({"--no-net-wm-name", "--title", "Café crème"});
    EXPECT_EQ(desk->describeWindow(latin.window()).title, "Café crème");
    // Characters outside Latin-1 arrive as UTF8_STRING.
    TestClient utf8({"--no-net-wm-name", "--title", "Ωmega"});
    EXPECT_EQ(desk->describeWindow(utf8.window()).title, "Ωmega");
}

TEST_F(TitleTest, CompoundTextWmName) {
    TestClient client({"--no-net-wm-name", "--title", "x"});
    struct Row {
        std::string bytes;
        std::string expected;
    };
    const Row rows[] = {
        {"Größe", "Größe"},             // UTF-8 mislabelled as compound text
        {"Caf\xe9", "Café"},            // the initial Latin-1 set
        {"\x1b-ACaf\xe9 \x1b(Bok", "Café ok"},  // explicit set switches
    };
    for (const Row& row : rows) {
        truth.setText(client.window(), "WM_NAME", "COMPOUND_TEXT", row.bytes);
        EXPECT_EQ(desk->describeWindow(client.window()).title, row.expected);
    }
}

// xterm stores a title with Chinese and Japanese characters as compound text,
// switching to GB 2312 and JIS X 0208 and back.
const std::string kXtermTitle = "xterm 标题 日本語 Ünï";
const std::string kXtermWmName =
    "xterm \x1b$(A1jLb\x1b(B \x1b$(BF|K\\8l\x1b(B \xdcn\xef";

TEST_F(TitleTest, XtermCompoundTextTitleInAnyLocale) {
    TestClient xterm({"xterm", "-title", kXtermTitle}, "xterm");
    const std::string saved = std::setlocale(LC_CTYPE, nullptr);
    for (const char* locale : {"C.UTF-8", "C"}) {
        SCOPED_TRACE(locale);
        ASSERT_TRUE(std::setlocale(LC_CTYPE, locale));
        EXPECT_EQ(desk->describeWindow(xterm.window()).title, kXtermTitle);
    }
    std::setlocale(LC_CTYPE, saved.c_str());
}

// Xlib ends the process when one of its calls meets a dead connection, so the
// conversion must not talk to the server: here the server is gone by the time
// the title, read ahead by the poll, is converted for the first time.
TEST(CompoundTextTest, ConvertedWithoutTheServer) {
    XServer server;
    xcb_connection_t* c = xcb_connect(server.display().c_str(), nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const auto setName = [&](xcb_atom_t type, const std::string& bytes) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, type, 8,
                            static_cast<std::uint32_t>(bytes.size()), bytes.data());
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    };
    setName(XCB_ATOM_STRING, "plain");
    xcb_map_window(c, window);
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

    std::string error;
    auto desk = X11Desktop::connect(server.display().c_str(), &error);
    ASSERT_TRUE(desk) << error;
    ASSERT_EQ(desk->describeWindow(desk->foregroundWindow()).title, "plain");
    auto* type = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 13, "COMPOUND_TEXT"), nullptr);
    ASSERT_TRUE(type);
    setName(type->atom, kXtermWmName);
    std::free(type);
    ASSERT_EQ(desk->foregroundWindow(), window);  // reads the window ahead
    server.stop();
    EXPECT_EQ(desk->describeWindow(window).title, kXtermTitle);
    xcb_disconnect(c);
}

TEST_F(TitleTest, LongTitlesAreCutTo254CharactersWhole) {
    struct Row {
        const char* name;
        std::string title;
        std::string expected;
    };
    const Row rows[] = {
        {"ascii", repeat("a", 300), repeat("a", 254)},
        {"two-byte", repeat("é", 300), repeat("é", 254)},
        {"four-byte", repeat("😀", 300), repeat("😀", 254)},
        {"boundary", repeat("a", 253) + repeat("😀", 3), repeat("a", 253) + "😀"},
        {"latin-1 fallback", repeat("ü", 300), repeat("ü", 254)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const bool fallback = std::string(row.name).find("fallback") != std::string::npos;
        TestClient client(fallback ? std::vector<std::string>{"--no-net-wm-name", "--title",
                                                              row.title}
                                   : std::vector<std::string>{"--title", row.title});
        const std::string title = desk->describeWindow(client.window()).title;
        EXPECT_EQ(characterCount(title), 254u);
        EXPECT_EQ(title, row.expected);
    }
}

TEST_F(TitleTest, TitleChangesAreSeenByTheNextPoll) {
    TestClient client({"--title", "before"});
    activate(client.window());
    ASSERT_EQ(desk->describeWindow(desk->foregroundWindow()).title, "before");
    client.command("title after ✓");
    EXPECT_TRUE(waitUntil(
        [&] { return desk->describeWindow(desk->foregroundWindow()).title == "after ✓"; }));
}

}  // namespace
}  // namespace sw::x11::test

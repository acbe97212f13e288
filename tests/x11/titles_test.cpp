// Titles read through the backend: UTF-8 _NET_WM_NAME, the WM_NAME fallback of
// older clients, and the cut to 254 characters that never splits a character.
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

// The command line's commands: their words and refusals, where they put a window, and what get
// prints for people and for scripts.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "commandline.h"
#include "windowcommand.h"

namespace sw {
namespace {

using Values = std::vector<std::pair<Dimension, std::string>>;

WindowCommand parsed(const std::vector<std::string>& args) {
    const auto c = parseWindowCommand(args);
    EXPECT_TRUE(std::holds_alternative<WindowCommand>(c)) << args[0];
    return std::holds_alternative<WindowCommand>(c) ? std::get<WindowCommand>(c) : WindowCommand{};
}

TEST(Commands, WordsValuesAndWhatIsRefusedAsBadUsage) {
    const WindowCommand set = parsed({"set", "--width", "300", "--left", "-5", "--window", "0x1f"});
    EXPECT_EQ(set.verb, Verb::Set);
    EXPECT_EQ(set.window, 0x1fu);
    EXPECT_EQ(parsed({"get", "--window", "0xffffffff"}).window, 0xffffffffu);
    EXPECT_EQ(set.values, (Values{{Dimension::Width, "300"}, {Dimension::Left, "-5"}}));
    EXPECT_EQ(parsed({"move", "-10", "2.5"}).values,
              (Values{{Dimension::Left, "-10"}, {Dimension::Top, "2.5"}}));
    EXPECT_EQ(parsed({"size", "640", "480"}).values,
              (Values{{Dimension::Width, "640"}, {Dimension::Height, "480"}}));
    EXPECT_EQ(parsed({"preset", "9"}).preset, 9);
    EXPECT_TRUE(parsed({"get", "--json", "--window", "77"}).json);
    EXPECT_EQ(parsed({"rulers", "toggle"}).verb, Verb::ToggleRulers);
    EXPECT_TRUE(needsRunningProgram(parsed({"hide"})));
    EXPECT_FALSE(needsRunningProgram(parsed({"maximize"})));
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"set"},
                                                {"set", "--width"},
                                                {"set", "--width", "wide"},
                                                {"size", "1"},
                                                {"move", "1", "2", "3"},
                                                {"size", "1", "1e10"},
                                                {"preset", "10"},
                                                {"preset", "x"},
                                                {"rulers", "spin"},
                                                {"origin", "now"},
                                                {"get", "--window", "0"},
                                                {"get", "--window", "0x1g"},
                                                {"get", "--window", "4294967296"},
                                                {"move", "--json", "1", "2"},
                                                {"show", "--window", "5"}}) {
        EXPECT_TRUE(std::holds_alternative<std::string>(parseWindowCommand(bad))) << bad.back();
    }
    // On the program's command line, everything from the command's word on is the command's.
    const CommandLine line = parseCommandLine({"--no-splash", "get", "--no-splash"});
    EXPECT_EQ(line.command, (std::vector<std::string>{"get", "--no-splash"}));
    EXPECT_EQ(replyTo(line)->status, kBadUsage);
    EXPECT_FALSE(replyTo(parseCommandLine({"size", "1", "2"})));
}

TEST(Commands, ValuesApplyInOrderAsTypedOnesAndGetPrintsStableKeys) {
    const Rect frame{10, 20, 110, 220};
    std::string why;
    // The right edge first (the left one kept), then the left edge (the size kept).
    EXPECT_EQ(placementFor(frame, parsed({"set", "--right", "300", "--left", "0"}), &why),
              (Placement{0, 20, 290, 200}));
    EXPECT_EQ(placementFor(frame, parsed({"set", "--bottom", "100.5"}), &why),
              (Placement{10, 20, 100, 80}));
    EXPECT_FALSE(
        placementFor(frame, parsed({"set", "--left", "2147483647", "--right", "-2"}), &why));
    EXPECT_EQ(why, "Number out of range");
    PresetValues presets;
    presets.width[3] = 800;
    presets.height[3] = 600;
    EXPECT_EQ(presetPlacement(frame, presets, 3), (Placement{10, 20, 800, 600}));
    EXPECT_FALSE(presetPlacement(frame, presets, 4));
    const std::vector<Rect> monitors{Rect{0, 0, 100, 100}, Rect{100, 0, 300, 100}};
    EXPECT_EQ(monitorNumber(monitors, Rect{90, 0, 200, 50}), 2);
    const WindowInfo info{"caf\xC3\xA9", WindowState::Maximised, Rect{-5, 0, 95, 50}};
    EXPECT_EQ(describeForCommand(42, info, 1, false),
              "Left -5 Top 0 Right 95 Bottom 50 Width 100 Height 50 maximized monitor 1 "
              "\"caf\xC3\xA9\"\n");
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(describeForCommand(42, info, 1, true)))
            .object();
    EXPECT_EQ(json.keys(), (QStringList{"bottom", "height", "left", "monitor", "right", "state",
                                        "title", "top", "width", "window"}));
    EXPECT_EQ(json["title"].toString(), QString::fromUtf8("caf\xC3\xA9"));
    EXPECT_EQ(json["width"].toInt(), 100);
    EXPECT_EQ(json["state"].toString(), "maximized");
}

}  // namespace
}  // namespace sw

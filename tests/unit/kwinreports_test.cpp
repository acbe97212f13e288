// The KWin script's reports read in the program's terms: states, frames at the edges of 32 bits,
// titles cut by characters, the screens.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "kwinreports.h"

namespace sw::kwin {
namespace {

QJsonObject json(const char* text) {
    return QJsonDocument::fromJson(QByteArray(text)).object();
}

TEST(KWinReports, AWindowsStateFrameAndTitle) {
    const WindowInfo normal = windowFromReport(json(
        R"({"id": "{a}", "caption": "caf\u00e9", "x": -10, "y": 20, "w": 300, "h": 200,
            "minimized": false, "maximized": "none"})"));
    EXPECT_EQ(normal, (WindowInfo{"caf\xC3\xA9", WindowState::Normal, Rect{-10, 20, 290, 220}}));
    EXPECT_EQ(windowFromReport(json(R"({"maximized": "full", "minimized": false})")).state,
              WindowState::Maximised);
    // Maximised one way only, the window still has edges the user places.
    EXPECT_EQ(windowFromReport(json(R"({"maximized": "vertical"})")).state, WindowState::Normal);
    // A minimised window keeps the frame it is restored to; minimised wins over maximised.
    const WindowInfo minimised = windowFromReport(
        json(R"({"x": 5, "y": 6, "w": 7, "h": 8, "minimized": true, "maximized": "full"})"));
    EXPECT_EQ(minimised.state, WindowState::Minimised);
    EXPECT_EQ(minimised.rect, (Rect{5, 6, 12, 14}));
}

TEST(KWinReports, FramesBeyond32BitsArePinnedAndTitlesCutAt254Characters) {
    const WindowInfo far =
        windowFromReport(json(R"({"x": 2147483000, "y": -3e12, "w": 5000, "h": 10})"));
    EXPECT_EQ(far.rect, (Rect{2147483000, INT32_MIN, INT32_MAX, INT32_MIN + 10}));
    QString title;
    for (int i = 0; i < 300; ++i) title += QStringLiteral("\U0001F600");
    const WindowInfo named = windowFromReport(QJsonObject{{QStringLiteral("caption"), title}});
    EXPECT_EQ(named.title.size(), 254u * 4);
}

TEST(KWinReports, TheScreensAndThePointer) {
    const ScreenMetrics m =
        screensFromReport(json(R"({"bounds": {"x": 0, "y": 0, "w": 2560, "h": 800},
                 "screens": [{"x": 0, "y": 0, "w": 1280, "h": 800},
                             {"x": 1280, "y": 0, "w": 1280, "h": 800}]})"));
    EXPECT_EQ(
        m,
        (ScreenMetrics{
            Rect{0, 0, 2560, 800}, 96.0, 96.0, {Rect{0, 0, 1280, 800}, Rect{1280, 0, 2560, 800}}}));
    // A report without screens still reads as one monitor: the bounds.
    EXPECT_EQ(screensFromReport(json(R"({"bounds": {"x": 0, "y": 0, "w": 10, "h": 20}})")).monitors,
              std::vector<Rect>{(Rect{0, 0, 10, 20})});
    EXPECT_EQ(pointFromReport(json(R"({"x": 11, "y": -3})")), (Point{11, -3}));
}

}  // namespace
}  // namespace sw::kwin

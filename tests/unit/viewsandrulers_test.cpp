// The layout view's mapping, the marquee, the round button and the rulers' plain logic.
#include <gtest/gtest.h>

#include <algorithm>

#include "fakedesktop.h"
#include "handledrag.h"
#include "locking.h"
#include "marquee.h"
#include "measuring.h"
#include "rulersettings.h"
#include "scale.h"
#include "targetwatcher.h"
#include "viewscale.h"

namespace sw {
namespace {

const Rect kMonitor{0, 0, 1024, 768};
const ScreenMetrics kScreen{kMonitor, 96, 96, {kMonitor}};  // 15 twips a pixel
const Rect kTarget{100, 50, 740, 530};

TEST(LayoutView, ScreenAndViewMapBothWays) {
    const ViewScale s = makeViewScale(kScreen, 1545, 1159);
    EXPECT_EQ(screenToView(Rect{-4, -4, 1028, 772}, s), (ViewRect{-6, -6, 1557, 1171}));
    // 1000 pixels on 1500 units: 1.5 -> 2, 4.5 -> 4, 7.5 -> 8 (halves to even).
    EXPECT_EQ(
        screenToView(Rect{1, 3, 6, 8}, makeViewScale({{0, 0, 1000, 1000}, 96, 96, {}}, 1500, 1500)),
        (ViewRect{2, 4, 8, 8}));
    EXPECT_EQ(viewToScreen(10, -1, s), (Point{6, -1}));
    EXPECT_EQ(viewToScreen(1e12, 0, s).x, INT32_MAX);
    EXPECT_DOUBLE_EQ(viewHeightFor(kScreen, 1575), 1181.25);
    EXPECT_DOUBLE_EQ(viewHeightFor({{0, 0, 0, 768}, 96, 96, {}}, 1575), 0);
    // A desktop whose monitors start left of the primary one maps from its own corner.
    const ViewScale wide = makeViewScale({{-1280, -256, 1024, 768}, 96, 96, {}}, 2304, 1024);
    EXPECT_EQ(screenToView(Rect{-1280, -256, -280, 744}, wide), (ViewRect{0, 0, 1000, 1000}));
    EXPECT_EQ(viewToScreen(1000, 256, wide), (Point{-280, 0}));
}

TEST(Marquee, StartLineThenMessagesRiseRestAndLeave) {
    Marquee m(320, 210, marqueeFirstText("Sizewise", "Korvath"),
              marqueeMessages("Sizewise", "Korvath"));
    EXPECT_EQ(m.caption(), " Sizewise - FreeWare from Korvath");
    std::vector<std::string> shown;
    int steps = 0, rests = 0;
    while (shown.size() < 4 && ++steps < 1000) {
        const std::string before = m.caption();
        if (m.step()) {
            EXPECT_EQ(m.top(), 0);
            EXPECT_FALSE(m.step());  // resting: a step changes nothing
            ++rests;
            m.endPause();
        }
        if (m.caption() != before) shown.push_back(m.caption());
    }
    // Out in 11 steps, then each message: 16 up, a rest, 11 out.
    EXPECT_EQ(steps, 11 + 3 * 27);
    EXPECT_EQ(rests, 3);
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Sizewise", "FreeWare From", "Korvath", "Sizewise"}));
    Marquee never(310, 210, "x", marqueeMessages("a", "b"));
    for (int i = 0; i < 200; ++i) EXPECT_FALSE(never.step());
}

TEST(Marquee, TheEllipsisAndTheRoundButton) {
    EXPECT_FALSE(ellipsisVisible(3480, 3480));
    EXPECT_TRUE(ellipsisVisible(3481, 3480));
    EXPECT_EQ(roundButtonEllipse(975, 975, 15, 15), (EllipseBox{5, 5, 60, 60}));
    const std::vector<PixelRow> rows = ellipseRows(EllipseBox{5, 5, 60, 60});
    ASSERT_EQ(rows.size(), 55u);
    EXPECT_EQ(rows.front().y, 5);
    EXPECT_EQ(rows[27].left, 5);
    EXPECT_EQ(rows[27].right, 60);
    for (const PixelRow& row : rows) EXPECT_EQ(row.left - 5, 60 - row.right) << row.y;
    EXPECT_LT(rows.front().right - rows.front().left, 20);
    EXPECT_TRUE(ellipseRows(EllipseBox{5, 5, 5, 60}).empty());
}

TEST(Scale, TicksEveryTenNumbersWhereTheyFitAndTheStripsPlace) {
    const ScaleMarks m = layOutScale(Axis::Horizontal, 1024, 20);
    ASSERT_EQ(m.ticks.size(), 104u);
    EXPECT_EQ(m.ticks.back(), 1030);
    EXPECT_EQ(layOutScale(Axis::Vertical, 1280, 12).ticks.back(), 1280);
    // Digits five pixels wide: one step along the whole strip, for the widest number and half a
    // character between two.
    const std::vector<ScaleNumber> n = layOutScale(Axis::Horizontal, 1100, 20).numbers;
    EXPECT_EQ(n.front().caption, "30");
    for (std::size_t i = 1; i < n.size(); ++i) {
        EXPECT_EQ(n[i].tick - n[i - 1].tick, 30);
        EXPECT_GE(n[i].start - n[i - 1].start - n[i - 1].extent, 2.5);
    }
    EXPECT_EQ(layOutScale(Axis::Horizontal, 990, 20).numbers[0].caption, "20");
    EXPECT_EQ(layOutScale(Axis::Vertical, 100, 12).numbers.size(), 5u);
    EXPECT_DOUBLE_EQ(layOutScale(Axis::Horizontal, 100, 20).numbers[0].start, 15);  // "20", centred
    EXPECT_DOUBLE_EQ(scaleOffset(ScaleMode::Absolute, 300 * 15, 15), -300);
    EXPECT_DOUBLE_EQ(scaleOffset(ScaleMode::Absolute, -200 * 15, 15), 200);
    EXPECT_DOUBLE_EQ(scaleOffset(ScaleMode::Relative, 300 * 15, 15), 0);
}

TEST(Locks, ScreenWindowAndBackToTheFreePlace) {
    LockState s;
    RulerPlace place{1500, 433};
    const struct {
        RulerLock lock;
        Axis axis;
        RulerPlace expected;
    } steps[] = {{RulerLock::Screen, Axis::Horizontal, {0, 1024}},
                 {RulerLock::Window, Axis::Horizontal, {1500, 640}},
                 {RulerLock::Free, Axis::Horizontal, {1500, 433}},
                 {RulerLock::Window, Axis::Vertical, {750, 480}},
                 {RulerLock::Screen, Axis::Vertical, {0, 768}}};
    for (const auto& step : steps) {
        const LockOutcome out =
            switchLock(step.axis, s, place, step.lock, kScreen, kMonitor, kTarget);
        ASSERT_TRUE(out.switched && out.place);
        EXPECT_EQ(*out.place, step.expected);
        EXPECT_EQ(out.state.lock, step.lock);
        s = out.state;
        place = *out.place;
    }
    EXPECT_EQ(s.freeEdge, 1500);
    // Locked to the screen, a ruler spans the monitor it is on, from its edge.
    const Rect second{1280, 256, 2304, 1280};
    EXPECT_EQ(switchLock(Axis::Vertical, {}, {}, RulerLock::Screen, kScreen, second, kTarget).place,
              (RulerPlace{256 * 15, 1024}));
}

TEST(Locks, AMinimisedOrGoneTargetIsRefused) {
    const Rect minimised{kMinimisedPosition, kMinimisedPosition, -31840, -31972};
    const LockOutcome out = switchLock(Axis::Vertical, {RulerLock::Screen, 1500, 433}, {0, 768},
                                       RulerLock::Window, kScreen, kMonitor, minimised);
    EXPECT_TRUE(out.refusedMinimised);
    EXPECT_FALSE(out.switched || out.place);
    EXPECT_EQ(out.state.lock, RulerLock::Screen);
    // From free the place is captured even though the lock is refused.
    EXPECT_EQ(switchLock(Axis::Horizontal, {}, {3000, 500}, RulerLock::Window, kScreen, kMonitor,
                         minimised)
                  .state.freeLength,
              500);
    const LockOutcome gone =
        switchLock(Axis::Horizontal, {}, {}, RulerLock::Window, kScreen, kMonitor, Rect{});
    EXPECT_FALSE(gone.switched || gone.refusedMinimised);
    // Only the edge along the axis counts.
    const Rect farUp{100, -40000, 740, -39500};
    EXPECT_TRUE(
        switchLock(Axis::Horizontal, {}, {}, RulerLock::Window, kScreen, kMonitor, farUp).switched);
    EXPECT_TRUE(switchLock(Axis::Vertical, {}, {}, RulerLock::Window, kScreen, kMonitor, farUp)
                    .refusedMinimised);
    EXPECT_TRUE(
        switchLock(Axis::Vertical, {}, {}, RulerLock::Window, kScreen, kMonitor, {0, -31999, 5, 5})
            .switched);
}

TEST(Locks, FollowingMovesOnlyWhenTheTargetChanged) {
    TargetFollower f;
    EXPECT_EQ(f.follow(Axis::Horizontal, RulerLock::Window, kTarget, kScreen),
              (RulerPlace{1500, 640}));
    EXPECT_FALSE(f.follow(Axis::Horizontal, RulerLock::Window, kTarget, kScreen));
    const Rect moved{200, 50, 740, 530};
    EXPECT_FALSE(f.follow(Axis::Horizontal, RulerLock::Screen, moved, kScreen));
    EXPECT_FALSE(
        f.follow(Axis::Horizontal, RulerLock::Window, {-32000, -32000, -31460, -31520}, kScreen));
    EXPECT_EQ(f.follow(Axis::Vertical, RulerLock::Window, moved, kScreen), (RulerPlace{750, 480}));
}

PointerReadout at(PointerTracker& t, Point p, bool left = false, bool shift = false,
                  bool right = false) {
    return t.track(PointerSnapshot{p, KeyStates{left, right, shift}}, ScaleMode::Absolute, {});
}

TEST(Measuring, CoordinatesAndShiftClickToTheNextClick) {
    EXPECT_EQ(positionCaption(pointerCoordinates({400, 300}, ScaleMode::Relative, {150, 80})),
              "250,220");
    EXPECT_EQ(positionCaption(pointerCoordinates({130, 115}, ScaleMode::Relative, {150, 80})),
              "-20,35");
    EXPECT_EQ(positionCaption(pointerCoordinates({400, 300}, ScaleMode::Absolute, {150, 80})),
              "400,300");
    // On a monitor Qt scales, also in its device-independent pixels.
    EXPECT_EQ(measureCaption(300, 201, 1.0), "300 X 201");
    EXPECT_EQ(measureCaption(300, 201, 1.5), "300 X 201 (200 X 134 @1.5x)");
    EXPECT_EQ(pointerCoordinates({401, 0}, ScaleMode::Relative, {150.5, 0}).x, 250);
    PointerTracker t;
    EXPECT_FALSE(at(t, {100, 100}, true).lines.visible);  // a plain click measures nothing
    at(t, {100, 100});
    EXPECT_TRUE(at(t, {100, 100}, true, true).measureShown);
    PointerReadout r = at(t, {250, 160}, true, true);  // still held: no new press
    EXPECT_EQ(r.measure, "150 X 60");
    EXPECT_EQ(r.mousePosition, "250,160");
    at(t, {250, 160});
    r = at(t, {90, 300}, true);  // the end click fixes the lines and the read-out
    EXPECT_EQ(r.lines.start, (Point{100, 100}));
    EXPECT_EQ(r.lines.end, (Point{90, 300}));
    EXPECT_EQ(r.measure, "10 X 200");
    at(t, {90, 300});
    EXPECT_EQ(at(t, {500, 500}).lines.end, (Point{90, 300}));
    r = at(t, {500, 500}, true);  // a plain click clears a finished measurement
    EXPECT_FALSE(r.lines.visible || r.measureShown);
    EXPECT_EQ(r.measure, "0 X 0");
    at(t, {10, 10}, true, true);
    r = at(t, {40, 50}, false, false, true);  // the right button cancels
    EXPECT_FALSE(r.lines.visible);
    EXPECT_FALSE(at(t, {60, 70}).lines.visible);
}

TEST(HandleDrag, StopsAt301AndResumesPastThePointWhereItStopped) {
    HandleDrag start(Axis::Horizontal);
    start.press(kLeftButton, 5, 12);
    auto r = start.move(kStartHandle, kLeftButton, 205, 12, 433);
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->edgeShift, 132);
    EXPECT_DOUBLE_EQ(r->length, 301);
    for (const double x : {80.0, 120.0, 6.0}) {
        r = start.move(kStartHandle, kLeftButton, x, 12, 301);
        EXPECT_TRUE(!r || (r->edgeShift == 0 && r->length == 301)) << x;
    }
    r = start.move(kStartHandle, kLeftButton, 3, 12, 301);
    EXPECT_DOUBLE_EQ(r->length, 303);
    HandleDrag far(Axis::Vertical);
    far.press(kLeftButton, 12, 5);
    EXPECT_DOUBLE_EQ(far.move(kFarHandle, kLeftButton, 999, -195, 433)->length, 301);
    EXPECT_FALSE(far.move(kFarHandle, kLeftButton, 12, -200, 301));
    EXPECT_DOUBLE_EQ(far.move(kFarHandle, kLeftButton, 12, 8, 301)->length, 304);
    EXPECT_FALSE(far.move(kFarHandle, kLeftButton, 12, 8, 304));  // a repeat is dropped
    EXPECT_FALSE(far.move(kFarHandle, 2, 12, 9, 304));            // not the left button alone
}

TEST(RulerSettings, StoredPlacesComeBackUsableAndLocksSaveTheFreePlace) {
    fake::FakeDesktop store;
    // Nothing stored: below the horizontal ruler.
    EXPECT_EQ(readRulerSettings(store, Axis::Vertical, kScreen), (StoredRuler{{615, 433}, 0}));
    store.store[{"Sizewise", "VerticalRulerConfig", "Left"}] = "900";
    store.store[{"Sizewise", "VerticalRulerConfig", "Top"}] = "1500";
    store.store[{"Sizewise", "VerticalRulerConfig", "Height"}] = "5OO";
    EXPECT_EQ(readRulerSettings(store, Axis::Vertical, kScreen), (StoredRuler{{1500, 433}, 900}));
    const auto fix = [](Axis axis, double edge, double length, double across) {
        return bringIntoRange(axis, StoredRuler{{edge, length}, across}, kScreen);
    };
    EXPECT_EQ(fix(Axis::Horizontal, 0, 100, 0).place.length, 301);
    EXPECT_EQ(fix(Axis::Vertical, 0, 20000, 0).place.length, 16 * 768);
    EXPECT_EQ(fix(Axis::Horizontal, -6495, 433, 0).place.edge, 0);  // ends at 0: shows nothing
    EXPECT_EQ(fix(Axis::Horizontal, -6480, 433, 0).place.edge, -6480);
    EXPECT_EQ(fix(Axis::Horizontal, 15360, 433, 0).place.edge, 15360 - 6495);
    EXPECT_EQ(fix(Axis::Horizontal, 15345, 433, 0).place.edge, 15345);
    EXPECT_EQ(fix(Axis::Horizontal, 20000, 2048, 0).place.edge, 0);
    EXPECT_EQ(fix(Axis::Horizontal, 0, 433, 11520).across, 11520 - 41 * 15);
    EXPECT_EQ(fix(Axis::Vertical, 0, 433, -57 * 15).across, 0);
    const StoredRuler now{{0, 1024}, 3000};
    ASSERT_TRUE(writeRulerSettings(store, Axis::Horizontal,
                                   rulerToSave(LockState{RulerLock::Screen, 1500.4, 433}, now)));
    EXPECT_EQ((store.store[{"Sizewise", "HorizontalRulerConfig", "Left"}]), "1500");
    EXPECT_EQ((store.store[{"Sizewise", "HorizontalRulerConfig", "Top"}]), "3000");
    EXPECT_EQ(rulerToSave(LockState{RulerLock::Free, 1500, 433}, now), now);
}

}  // namespace
}  // namespace sw

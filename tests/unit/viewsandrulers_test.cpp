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
#include "viewscale.h"

namespace sw {
namespace {

const Rect kMonitor{0, 0, 1024, 768};
const ScreenMetrics kScreen{1024, 768, 96, 96, {kMonitor}};  // 15 twips a pixel
const Rect kTarget{100, 50, 740, 530};

TEST(LayoutView, ScreenAndViewMapBothWays) {
    const ViewScale s = MakeViewScale(kScreen, 1545, 1159);
    EXPECT_EQ(ScreenToView(Rect{-4, -4, 1028, 772}, s), (ViewRect{-6, -6, 1557, 1171}));
    // 1000 pixels on 1500 units: 1.5 -> 2, 4.5 -> 4, 7.5 -> 8 (halves to even).
    EXPECT_EQ(ScreenToView(Rect{1, 3, 6, 8}, MakeViewScale({1000, 1000, 96, 96, {}}, 1500, 1500)),
              (ViewRect{2, 4, 8, 8}));
    EXPECT_EQ(ViewToScreen(10, -1, s), (Point{6, -1}));
    EXPECT_EQ(ViewToScreen(1e12, 0, s).x, INT32_MAX);
    EXPECT_DOUBLE_EQ(ViewHeightFor(kScreen, 1575), 1181.25);
    EXPECT_DOUBLE_EQ(ViewHeightFor({0, 768, 96, 96, {}}, 1575), 0);
}

TEST(Marquee, StartLineThenMessagesRiseRestAndLeave) {
    Marquee m(320, 210, MarqueeFirstText("Sizewise", "Korvath"),
              MarqueeMessages("Sizewise", "Korvath"));
    EXPECT_EQ(m.caption(), " Sizewise - FreeWare from Korvath");
    std::vector<std::string> shown;
    int steps = 0, rests = 0;
    while (shown.size() < 4 && ++steps < 1000) {
        const std::string before = m.caption();
        if (m.Step()) {
            EXPECT_EQ(m.top(), 0);
            EXPECT_FALSE(m.Step());  // resting: a step changes nothing
            ++rests;
            m.EndPause();
        }
        if (m.caption() != before) shown.push_back(m.caption());
    }
    // Out in 11 steps, then each message: 16 up, a rest, 11 out.
    EXPECT_EQ(steps, 11 + 3 * 27);
    EXPECT_EQ(rests, 3);
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Sizewise", "FreeWare From", "Korvath", "Sizewise"}));
    Marquee never(310, 210, "x", MarqueeMessages("a", "b"));
    for (int i = 0; i < 200; ++i) EXPECT_FALSE(never.Step());
}

TEST(Marquee, TheEllipsisAndTheRoundButton) {
    EXPECT_FALSE(EllipsisVisible(3480, 3480));
    EXPECT_TRUE(EllipsisVisible(3481, 3480));
    EXPECT_EQ(RoundButtonEllipse(975, 975, 15, 15), (EllipseBox{5, 5, 60, 60}));
    EXPECT_EQ(RoundButtonEllipse(975, 495, 32, 15), (EllipseBox{2, 5, 28, 28}));
    const std::vector<PixelRow> rows = EllipseRows(EllipseBox{5, 5, 60, 60});
    ASSERT_EQ(rows.size(), 55u);
    EXPECT_EQ(rows.front().y, 5);
    EXPECT_EQ(rows[27].left, 5);
    EXPECT_EQ(rows[27].right, 60);
    for (const PixelRow& row : rows) EXPECT_EQ(row.left - 5, 60 - row.right) << row.y;
    EXPECT_LT(rows.front().right - rows.front().left, 20);
    EXPECT_TRUE(EllipseRows(EllipseBox{5, 5, 5, 60}).empty());
}

TEST(Scale, TicksEveryTenNumbersWhereTheyFitAndTheStripsPlace) {
    const ScaleMarks m = LayOutScale(Axis::Horizontal, 1024, 20);
    ASSERT_EQ(m.ticks.size(), 104u);
    EXPECT_EQ(m.ticks.back(), 1030);
    EXPECT_EQ(LayOutScale(Axis::Vertical, 1280, 12).ticks.back(), 1280);
    std::vector<std::string> c;
    for (const ScaleNumber& n : LayOutScale(Axis::Horizontal, 1100, 20).numbers)
        c.push_back(n.caption);
    // Digits five pixels wide: two and three digits every 20, four every 30.
    EXPECT_EQ(std::vector<std::string>(c.begin(), c.begin() + 3),
              (std::vector<std::string>{"10", "30", "50"}));
    EXPECT_NE(std::find(c.begin(), c.end(), "1040"), c.end());
    EXPECT_EQ(std::find(c.begin(), c.end(), "1030"), c.end());
    EXPECT_EQ(LayOutScale(Axis::Vertical, 100, 12).numbers.size(), 5u);
    EXPECT_DOUBLE_EQ(LayOutScale(Axis::Horizontal, 100, 20).numbers[0].start, 0);
    EXPECT_DOUBLE_EQ(PositionLegend(1, 300 * 15, 15), -300);
    EXPECT_DOUBLE_EQ(PositionLegend(7, -200 * 15, 15), 200);
    EXPECT_DOUBLE_EQ(PositionLegend(0, 300 * 15, 15), 0);
}

TEST(Locks, ScreenWindowAndBackToTheFreePlace) {
    LockState s;
    RulerPlace place{1500, 433};
    const struct {
        std::int32_t mode;
        Axis axis;
        RulerPlace expected;
    } steps[] = {{kLockScreen, Axis::Horizontal, {0, 1024}},
                 {kLockWindow, Axis::Horizontal, {1500, 640}},
                 {kLockFree, Axis::Horizontal, {1500, 433}},
                 {kLockWindow, Axis::Vertical, {750, 480}},
                 {kLockScreen, Axis::Vertical, {0, 768}}};
    for (const auto& step : steps) {
        const LockOutcome out =
            SetLockMode(step.axis, s, place, step.mode, kScreen, kMonitor, kTarget);
        ASSERT_TRUE(out.switched && out.place);
        EXPECT_EQ(*out.place, step.expected);
        EXPECT_EQ(out.state.mLockMode, step.mode);
        s = out.state;
        place = *out.place;
    }
    EXPECT_EQ(s.mFreeLeft, 1500);
    const LockOutcome unknown =
        SetLockMode(Axis::Horizontal, s, place, 3, kScreen, kMonitor, kTarget);
    EXPECT_FALSE(unknown.switched || unknown.refusedMinimised);
    // Locked to the screen, a ruler spans the monitor it is on, from its edge.
    const Rect second{1280, 256, 2304, 1280};
    EXPECT_EQ(SetLockMode(Axis::Vertical, {}, {}, kLockScreen, kScreen, second, kTarget).place,
              (RulerPlace{256 * 15, 1024}));
}

TEST(Locks, AMinimisedOrGoneTargetIsRefused) {
    const Rect minimised{kMinimisedPosition, kMinimisedPosition, -31840, -31972};
    const LockOutcome out = SetLockMode(Axis::Vertical, {kLockScreen, 1500, 433}, {0, 768},
                                        kLockWindow, kScreen, kMonitor, minimised);
    EXPECT_TRUE(out.refusedMinimised);
    EXPECT_FALSE(out.switched || out.place);
    EXPECT_EQ(out.state.mLockMode, kLockScreen);
    // From free the place is captured even though the lock is refused.
    EXPECT_EQ(
        SetLockMode(Axis::Horizontal, {}, {3000, 500}, kLockWindow, kScreen, kMonitor, minimised)
            .state.mFreeLength,
        500);
    const LockOutcome gone =
        SetLockMode(Axis::Horizontal, {}, {}, kLockWindow, kScreen, kMonitor, Rect{});
    EXPECT_FALSE(gone.switched || gone.refusedMinimised);
    // Only the edge along the axis counts.
    const Rect farUp{100, -40000, 740, -39500};
    EXPECT_TRUE(
        SetLockMode(Axis::Horizontal, {}, {}, kLockWindow, kScreen, kMonitor, farUp).switched);
    EXPECT_TRUE(SetLockMode(Axis::Vertical, {}, {}, kLockWindow, kScreen, kMonitor, farUp)
                    .refusedMinimised);
    EXPECT_TRUE(
        SetLockMode(Axis::Vertical, {}, {}, kLockWindow, kScreen, kMonitor, {0, -31999, 5, 5})
            .switched);
}

TEST(Locks, FollowingMovesOnlyWhenTheTargetChanged) {
    WindowFollower f;
    EXPECT_EQ(f.Tick(Axis::Horizontal, kLockWindow, kTarget, kScreen), (RulerPlace{1500, 640}));
    EXPECT_FALSE(f.Tick(Axis::Horizontal, kLockWindow, kTarget, kScreen));
    const Rect moved{200, 50, 740, 530};
    EXPECT_FALSE(f.Tick(Axis::Horizontal, kLockScreen, moved, kScreen));
    EXPECT_FALSE(f.Tick(Axis::Horizontal, kLockWindow, {-32000, -32000, -31460, -31520}, kScreen));
    EXPECT_EQ(f.Tick(Axis::Vertical, kLockWindow, moved, kScreen), (RulerPlace{750, 480}));
}

PointerReadout at(PointerTracker& t, Point p, bool left = false, bool shift = false,
                  bool right = false) {
    return t.Tick(PointerSnapshot{p, KeyStates{left, right, shift}}, 1, {});
}

TEST(Measuring, CoordinatesAndShiftClickToTheNextClick) {
    EXPECT_EQ(PositionCaption(PointerCoordinates({400, 300}, 0, {150, 80})), "250,220");
    EXPECT_EQ(PositionCaption(PointerCoordinates({130, 115}, 0, {150, 80})), "-20,35");
    EXPECT_EQ(PositionCaption(PointerCoordinates({400, 300}, 1, {150, 80})), "400,300");
    // On a monitor Qt scales, also in its device-independent pixels.
    EXPECT_EQ(MeasureCaption(300, 201, 1.0), "300 X 201");
    EXPECT_EQ(MeasureCaption(300, 201, 1.5), "300 X 201 (200 X 134 @1.5x)");
    EXPECT_EQ(PointerCoordinates({401, 0}, 0, {150.5, 0}).x, 250);
    PointerTracker t;
    EXPECT_FALSE(at(t, {100, 100}, true).lines.visible);  // a plain click measures nothing
    at(t, {100, 100});
    EXPECT_TRUE(at(t, {100, 100}, true, true).measureShown);
    PointerReadout r = at(t, {250, 160}, true, true);  // still held: no new press
    EXPECT_EQ(r.measure, "150 X 60");
    EXPECT_EQ(r.mousePosition, "250,160");
    at(t, {250, 160});
    r = at(t, {90, 300}, true);  // the end click fixes the lines, not the read-out
    EXPECT_EQ(r.lines.start, (Point{100, 100}));
    EXPECT_EQ(r.lines.end, (Point{90, 300}));
    EXPECT_EQ(r.measure, "150 X 60");
    at(t, {90, 300});
    EXPECT_EQ(at(t, {500, 500}).lines.end, (Point{90, 300}));
    r = at(t, {500, 500}, true);  // a plain click clears a finished measurement
    EXPECT_FALSE(r.lines.visible || r.measureShown);
    EXPECT_EQ(r.measure, kNoMeasure);
    at(t, {10, 10}, true, true);
    r = at(t, {40, 50}, false, false, true);  // the right button cancels
    EXPECT_FALSE(r.lines.visible);
    EXPECT_FALSE(at(t, {60, 70}).lines.visible);
}

TEST(HandleDrag, StopsAt301AndResumesPastThePointWhereItStopped) {
    HandleDrag start(Axis::Horizontal);
    start.MouseDown(kLeftButton, 5, 12);
    auto r = start.MouseMove(kStartHandle, kLeftButton, 205, 12, 433);
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->edgeShift, 132);
    EXPECT_DOUBLE_EQ(r->length, 301);
    for (const double x : {80.0, 120.0, 6.0}) {
        r = start.MouseMove(kStartHandle, kLeftButton, x, 12, 301);
        EXPECT_TRUE(!r || (r->edgeShift == 0 && r->length == 301)) << x;
    }
    r = start.MouseMove(kStartHandle, kLeftButton, 3, 12, 301);
    EXPECT_DOUBLE_EQ(r->length, 303);
    HandleDrag far(Axis::Vertical);
    far.MouseDown(kLeftButton, 12, 5);
    EXPECT_DOUBLE_EQ(far.MouseMove(kFarHandle, kLeftButton, 999, -195, 433)->length, 301);
    EXPECT_FALSE(far.MouseMove(kFarHandle, kLeftButton, 12, -200, 301));
    EXPECT_DOUBLE_EQ(far.MouseMove(kFarHandle, kLeftButton, 12, 8, 301)->length, 304);
    EXPECT_FALSE(far.MouseMove(kFarHandle, kLeftButton, 12, 8, 304));  // a repeat is dropped
    EXPECT_FALSE(far.MouseMove(kFarHandle, 2, 12, 9, 304));            // not the left button alone
}

TEST(RulerSettings, StoredPlacesComeBackUsableAndLocksSaveTheFreePlace) {
    fake::FakeDesktop store;
    EXPECT_EQ(ReadRulerConfig(store, Axis::Vertical, kScreen), (StoredRuler{{0, 433}, 0}));
    store.store[{"Sizewise", "VerticalRulerConfig", "Left"}] = "900";
    store.store[{"Sizewise", "VerticalRulerConfig", "Top"}] = "1500";
    store.store[{"Sizewise", "VerticalRulerConfig", "Height"}] = "5OO";
    EXPECT_EQ(ReadRulerConfig(store, Axis::Vertical, kScreen), (StoredRuler{{1500, 433}, 900}));
    const auto fix = [](Axis axis, double edge, double length, double across) {
        return BringIntoRange(axis, StoredRuler{{edge, length}, across}, kScreen);
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
    ASSERT_TRUE(WriteRulerConfig(store, Axis::Horizontal,
                                 RulerToSave(LockState{kLockScreen, 1500.4, 433}, now)));
    EXPECT_EQ((store.store[{"Sizewise", "HorizontalRulerConfig", "Left"}]), "1500");
    EXPECT_EQ((store.store[{"Sizewise", "HorizontalRulerConfig", "Top"}]), "3000");
    EXPECT_EQ(RulerToSave(LockState{kLockFree, 1500, 433}, now), now);
}

}  // namespace
}  // namespace sw

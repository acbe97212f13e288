// The rulers' plain logic: the scale's marks, the lock table, measuring, the
// handle drag and the stored settings, for both axes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "rulers/handledrag.h"
#include "rulers/locking.h"
#include "rulers/measuring.h"
#include "rulers/rulersettings.h"
#include "rulers/scale.h"

namespace sw {
namespace {

std::vector<std::string> captions(const ScaleMarks& m) {
    std::vector<std::string> out;
    for (const ScaleNumber& n : m.numbers) out.push_back(n.caption);
    return out;
}

TEST(Scale, TicksEndAtTheFirstMultipleOfTenNotBelowTheStrip) {
    const ScaleMarks m1024 = LayOutScale(Axis::Horizontal, 1024, 20);
    ASSERT_EQ(m1024.ticks.size(), 104u);
    EXPECT_EQ(m1024.ticks.front(), 0);
    EXPECT_EQ(m1024.ticks.back(), 1030);
    EXPECT_EQ(m1024.halfTicks.front(), 5);
    EXPECT_EQ(m1024.halfTicks.back(), 1035);
    EXPECT_EQ(LayOutScale(Axis::Vertical, 1280, 12).ticks.back(), 1280);
}

TEST(Scale, NumbersAreSpacedByTheirOwnText) {
    // Digits 5 pixels wide: a number is placed only where it starts after the
    // last one ends, so two- and three-digit numbers come every 20, four-digit every 30.
    const ScaleMarks m = LayOutScale(Axis::Horizontal, 1100, 20);
    const auto c = captions(m);
    ASSERT_GE(c.size(), 3u);
    EXPECT_EQ(c[0], "10");
    EXPECT_DOUBLE_EQ(m.numbers[0].start, 0);  // centred as "8888" would be
    EXPECT_EQ(c[1], "30");
    EXPECT_NE(std::find(c.begin(), c.end(), "130"), c.end());
    EXPECT_EQ(std::find(c.begin(), c.end(), "120"), c.end());
    EXPECT_NE(std::find(c.begin(), c.end(), "1040"), c.end());
    EXPECT_EQ(std::find(c.begin(), c.end(), "1030"), c.end());
    // On the vertical strip every number is one line high, whatever its digits.
    const auto v = captions(LayOutScale(Axis::Vertical, 1100, 12));
    EXPECT_EQ(v[0], "10");
    EXPECT_NE(std::find(v.begin(), v.end(), "1030"), v.end());
}

TEST(Scale, AbsoluteModeShiftsTheStripByTheRulersScreenEdge) {
    EXPECT_DOUBLE_EQ(PositionLegend(1, 300 * 15, 15), -300);
    EXPECT_DOUBLE_EQ(PositionLegend(7, -200 * 15, 15), 200);  // any mode but 0 is absolute
    EXPECT_DOUBLE_EQ(PositionLegend(0, 300 * 15, 15), 0);
}

const ScreenMetrics kScreen{1024, 768, 15, 15};
const Rect kTarget{100, 50, 740, 530};

TEST(LockTable, ScreenAndWindowLocksSpanAlongTheAxis) {
    const LockState free{kLockFree, 0, 0};
    const RulerPlace here{1500, 433};
    EXPECT_EQ(SetLockMode(Axis::Horizontal, free, here, kLockScreen, kScreen, kTarget).place,
              (RulerPlace{0, 1024}));
    EXPECT_EQ(SetLockMode(Axis::Vertical, free, here, kLockScreen, kScreen, kTarget).place,
              (RulerPlace{0, 768}));
    EXPECT_EQ(SetLockMode(Axis::Horizontal, free, here, kLockWindow, kScreen, kTarget).place,
              (RulerPlace{100 * 15, 640}));
    const LockOutcome v = SetLockMode(Axis::Vertical, free, here, kLockWindow, kScreen, kTarget);
    EXPECT_EQ(v.place, (RulerPlace{50 * 15, 480}));
    EXPECT_EQ(v.state.mLockMode, kLockWindow);
}

TEST(LockTable, UnlockingReturnsToThePlaceBeforeTheFirstLock) {
    LockState s;
    RulerPlace place{1500, 433};
    for (const std::int32_t mode : {kLockScreen, kLockWindow, kLockFree}) {
        const LockOutcome out = SetLockMode(Axis::Horizontal, s, place, mode, kScreen, kTarget);
        ASSERT_TRUE(out.switched);
        s = out.state;
        place = *out.place;
    }
    EXPECT_EQ(place, (RulerPlace{1500, 433}));
    EXPECT_EQ(s.mLockMode, kLockFree);
}

TEST(LockTable, AMinimisedTargetIsRefusedAndNothingMoves) {
    const Rect minimised{kMinimisedPosition, kMinimisedPosition, -31840, -31972};
    const LockState screen{kLockScreen, 1500, 433};
    const LockOutcome out = SetLockMode(Axis::Vertical, screen, {0, 768}, kLockWindow, kScreen, minimised);
    EXPECT_TRUE(out.refusedMinimised);
    EXPECT_FALSE(out.switched);
    EXPECT_FALSE(out.place);
    EXPECT_EQ(out.state.mLockMode, kLockScreen);
    EXPECT_EQ(out.state.mFreeLeft, 1500);  // captured only while free

    // From free the place is captured even though the lock is refused.
    const LockOutcome fromFree =
        SetLockMode(Axis::Horizontal, LockState{}, {3000, 500}, kLockWindow, kScreen, minimised);
    EXPECT_TRUE(fromFree.refusedMinimised);
    EXPECT_EQ(fromFree.state.mFreeLength, 500);
    // Only the edge along the axis is tested: a window far above the screen
    // still takes the horizontal ruler.
    const Rect farUp{100, -40000, 740, -39500};
    EXPECT_TRUE(SetLockMode(Axis::Horizontal, LockState{}, {}, kLockWindow, kScreen, farUp).switched);
    EXPECT_TRUE(SetLockMode(Axis::Vertical, LockState{}, {}, kLockWindow, kScreen, farUp).refusedMinimised);
}

TEST(LockTable, TheFollowPollMovesOnlyWhenTheTargetChanges) {
    WindowFollower follower;
    EXPECT_EQ(follower.Tick(Axis::Horizontal, kLockWindow, kTarget, kScreen), (RulerPlace{1500, 640}));
    EXPECT_FALSE(follower.Tick(Axis::Horizontal, kLockWindow, kTarget, kScreen));
    const Rect moved{200, 50, 740, 530};
    EXPECT_EQ(follower.Tick(Axis::Horizontal, kLockWindow, moved, kScreen), (RulerPlace{3000, 540}));
    const Rect minimised{kMinimisedPosition, kMinimisedPosition, -31460, -31520};
    EXPECT_FALSE(follower.Tick(Axis::Horizontal, kLockWindow, minimised, kScreen));
    EXPECT_EQ(follower.Tick(Axis::Horizontal, kLockWindow, moved, kScreen), (RulerPlace{3000, 540}));
}

TEST(Pointer, RelativeCoordinatesCountFromTheRulersEdges) {
    const RulerOrigin origin{150, 80};
    EXPECT_EQ(PositionCaption(PointerCoordinates({400, 300}, 0, origin)), "250,220");
    EXPECT_EQ(PositionCaption(PointerCoordinates({400, 300}, 1, origin)), "400,300");
    EXPECT_EQ(PositionCaption(PointerCoordinates({130, 115}, 0, origin)), "-20,35");
    // An origin between pixels: 249.5 and 250.5 both round to the even 250.
    EXPECT_EQ(PointerCoordinates({400, 0}, 0, {150.5, 0}).x, 250);
    EXPECT_EQ(PointerCoordinates({401, 0}, 0, {150.5, 0}).x, 250);
}

struct Tracker {
    PointerTracker t;
    PointerReadout at(Point p, bool left = false, bool shift = false, bool right = false) {
        return t.Tick(PointerSnapshot{p, KeyStates{left, right, shift}}, 1, {});
    }
};

TEST(Measuring, ShiftClickStartsTheNextLeftClickEndsAPlainClickClears) {
    Tracker m;
    EXPECT_FALSE(m.at({100, 100}, true).lines.visible);  // a plain click measures nothing
    m.at({100, 100});
    PointerReadout r = m.at({100, 100}, true, true);
    EXPECT_TRUE(r.lines.visible && r.measureShown);
    r = m.at({250, 160}, true, true);  // still held: not a new press
    EXPECT_EQ(r.measure, "150 X 60");
    EXPECT_EQ(r.lines.start, (Point{100, 100}));
    EXPECT_EQ(r.lines.end, (Point{250, 160}));
    m.at({250, 160});
    r = m.at({90, 300}, true);  // the end click fixes the lines, not the read-out
    EXPECT_EQ(r.lines.end, (Point{90, 300}));
    EXPECT_EQ(r.measure, "150 X 60");
    m.at({90, 300});
    r = m.at({500, 500});
    EXPECT_EQ(r.lines.end, (Point{90, 300}));
    EXPECT_TRUE(r.measureShown);
    r = m.at({500, 500}, true);
    EXPECT_FALSE(r.lines.visible || r.measureShown);
    EXPECT_EQ(r.measure, "0 X 0");
}

TEST(Measuring, TheRightButtonCancelsAndAShiftClickStartsAfresh) {
    Tracker m;
    m.at({10, 10}, true, true);
    m.at({40, 50});
    PointerReadout r = m.at({40, 50}, false, false, true);
    EXPECT_FALSE(r.lines.visible || r.measureShown);
    EXPECT_EQ(r.measure, "0 X 0");
    r = m.at({60, 70});  // cancelled, not ended: the pointer is not followed
    EXPECT_FALSE(r.lines.visible);

    m.at({0, 0}, true, true);
    m.at({5, 5});
    m.at({5, 5}, true);  // done
    m.at({5, 5});
    r = m.at({20, 20}, true, true);
    EXPECT_EQ(r.lines.start, (Point{20, 20}));
    EXPECT_EQ(m.at({23, 24}).measure, "3 X 4");
}

TEST(HandleDrag, TheStartHandleStopsAt301AndResumesLeftOfThePressPoint) {
    HandleDrag drag(Axis::Horizontal);
    drag.MouseDown(kLeftButton, 5, 12);
    auto r = drag.MouseMove(kStartHandle, kLeftButton, 205, 12, 433);
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->edgeShift, 132);
    EXPECT_DOUBLE_EQ(r->length, 301);
    // The handle moved 132 with the edge, so the pointer now sits at 73 on it.
    for (const double x : {80.0, 120.0, 6.0}) {
        r = drag.MouseMove(kStartHandle, kLeftButton, x, 12, 301);
        EXPECT_TRUE(!r || (r->edgeShift == 0 && r->length == 301)) << x;
    }
    r = drag.MouseMove(kStartHandle, kLeftButton, 3, 12, 301);
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->edgeShift, -2);
    EXPECT_DOUBLE_EQ(r->length, 303);
}

TEST(HandleDrag, TheFarHandleStopsWithoutMovingTheStartEdge) {
    HandleDrag drag(Axis::Vertical);  // along y; x plays no part
    drag.MouseDown(kLeftButton, 12, 5);
    auto r = drag.MouseMove(kFarHandle, kLeftButton, 999, -195, 433);
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->edgeShift, 0);
    EXPECT_DOUBLE_EQ(r->length, 301);
    EXPECT_FALSE(drag.MouseMove(kFarHandle, kLeftButton, 12, -200, 301));
    r = drag.MouseMove(kFarHandle, kLeftButton, 12, 8, 301);
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->length, 304);
}

TEST(HandleDrag, ARepeatedPositionIsIgnoredWhateverTheButton) {
    HandleDrag drag(Axis::Horizontal);
    drag.MouseDown(kLeftButton, 2.5, 0);  // rounds to 2, halves to even
    EXPECT_FALSE(drag.MouseMove(kFarHandle, 0, 50, 0, 433));
    EXPECT_FALSE(drag.MouseMove(kFarHandle, kLeftButton, 50, 0, 433));
    EXPECT_DOUBLE_EQ(drag.MouseMove(kFarHandle, kLeftButton, 12.5, 0, 433)->length, 443.5);
}

struct SectionStore : SettingsStore {
    std::map<std::string, std::string> values;  // "section/key"
    std::string read(const std::string&, const std::string& section, const std::string& key,
                     const std::string& fallback) override {
        const auto it = values.find(section + "/" + key);
        return it == values.end() ? fallback : it->second;
    }
    bool write(const std::string&, const std::string& section, const std::string& key,
               const std::string& value) override {
        values[section + "/" + key] = value;
        return true;
    }
    bool flush(std::string*) override { return true; }
};

TEST(RulerSettings, TheRulersKeysFollowTheMainWindowsInTheOrderTheyAreWritten) {
    std::vector<std::string> keys;
    for (const SettingKey& k : SettingsTable()) {
        if (k.section != kConfigSection) keys.push_back(k.section + "/" + k.key + "=" + k.fallback);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "HorizontalRulerConfig/Top=0", "HorizontalRulerConfig/Left=0",
                        "HorizontalRulerConfig/Width=433", "RulerConfig/Mode=0",
                        "VerticalRulerConfig/Left=0", "VerticalRulerConfig/Top=0",
                        "VerticalRulerConfig/Height=433"}));

    SectionStore store;  // a first run: top-left corner, 433 long
    EXPECT_EQ(ReadRulerConfig(store, Axis::Vertical, kScreen), (StoredRuler{{0, 433}, 0}));
    store.values = {{"VerticalRulerConfig/Left", "900"}, {"VerticalRulerConfig/Top", "1500"},
                    {"VerticalRulerConfig/Height", "5OO"}};
    EXPECT_EQ(ReadRulerConfig(store, Axis::Vertical, kScreen), (StoredRuler{{1500, 433}, 900}));
}

TEST(RulerSettings, LengthsAndPlacesOffTheScreenAreBroughtBack) {
    const auto fix = [](Axis axis, double edge, double length, double across) {
        return BringIntoRange(axis, StoredRuler{{edge, length}, across}, kScreen);
    };
    EXPECT_EQ(fix(Axis::Horizontal, 0, 100, 0).place.length, 301);
    EXPECT_EQ(fix(Axis::Horizontal, 0, 20000, 0).place.length, 16 * 1024);
    EXPECT_EQ(fix(Axis::Vertical, 0, 20000, 0).place.length, 16 * 768);
    // 433 pixels are 6495 twips: ending at 0 shows nothing, one pixel more stays.
    EXPECT_EQ(fix(Axis::Horizontal, -6495, 433, 0).place.edge, 0);
    EXPECT_EQ(fix(Axis::Horizontal, -6480, 433, 0).place.edge, -6480);
    EXPECT_EQ(fix(Axis::Horizontal, 15360, 433, 0).place.edge, 15360 - 6495);
    EXPECT_EQ(fix(Axis::Horizontal, 15345, 433, 0).place.edge, 15345);
    EXPECT_EQ(fix(Axis::Horizontal, 20000, 2048, 0).place.edge, 0);
    // Across: the horizontal ruler is 41 high, the vertical one 57 wide.
    EXPECT_EQ(fix(Axis::Horizontal, 0, 433, 11520).across, 11520 - 41 * 15);
    EXPECT_EQ(fix(Axis::Vertical, 0, 433, -57 * 15).across, 0);
    EXPECT_EQ(fix(Axis::Vertical, 0, 433, -56 * 15).across, -56 * 15);
}

TEST(RulerSettings, ALockedRulerIsSavedAtItsFreePlace) {
    SectionStore store;
    const StoredRuler now{{0, 1024}, 3000};
    WriteRulerConfig(store, Axis::Horizontal, RulerToSave(LockState{kLockScreen, 1500.4, 433}, now));
    EXPECT_EQ(store.values["HorizontalRulerConfig/Top"], "3000");
    EXPECT_EQ(store.values["HorizontalRulerConfig/Left"], "1500");
    EXPECT_EQ(store.values["HorizontalRulerConfig/Width"], "433");
    EXPECT_EQ(RulerToSave(LockState{kLockFree, 1500, 433}, now), now);
}

}  // namespace
}  // namespace sw

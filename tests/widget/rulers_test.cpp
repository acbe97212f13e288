// The rulers on the fake desktop: shown together, locks, the pointer work, handles and places.
#include <QMessageBox>
#include <QScreen>
#include <QToolButton>

#include "fixture.h"
#include "locking.h"
#include "overlaypointer.h"

namespace sw {
namespace {

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlack = qRgb(0, 0, 0);

class RulerTest : public App {
protected:
    void SetUp() override {
        App::SetUp();
        fake.store[{"Sizewise", "HorizontalRulerConfig", "Left"}] = "1575";  // 105 px
        fake.store[{"Sizewise", "HorizontalRulerConfig", "Top"}] = "3000";   // 200 px
        fake.store[{"Sizewise", "VerticalRulerConfig", "Top"}] = "750";      // 50 px
        start();
        // The desktop knows the rulers as it knows any window, once they are on it.
        for (QWidget* ruler : {&h(), &v()}) fake.adoptWindow(nativeHandle(ruler), "", Rect{});
        poll();
    }
    static QWidget& h() { return *findWidget("horizontalRuler"); }
    static QWidget& v() { return *findWidget("verticalRuler"); }
    static void lock(QWidget& ruler, const char* button) {
        QTest::mouseClick(ruler.findChild<QToolButton*>(button), Qt::LeftButton);
    }
    static QString readout(const char* name) { return h().findChild<QLabel*>(name)->text(); }
    static QAction* rulerMenuEntry(const QString& text) {
        for (QAction* a : h().findChild<QMenu*>()->findChildren<QAction*>()) {
            if (a->text() == text) return a;
        }
        ADD_FAILURE() << "no entry " << text.toStdString();
        return nullptr;
    }
    // What the scale shows on the screen along one line (two pixels before its far edge every
    // tick reaches; 11 pixels into the horizontal scale only the long ones do), a pixel a step.
    static std::vector<QRgb> scale(QWidget& ruler, int depth = -2) {
        QWidget* strip = ruler.findChild<QWidget*>("scale");
        const QImage shown = QGuiApplication::primaryScreen()->grabWindow(ruler.winId()).toImage();
        const QRect r(strip->mapTo(&ruler, QPoint(0, 0)), strip->size());
        std::vector<QRgb> out;
        const bool horizontal = ruler.width() > ruler.height();
        const int across = depth >= 0 ? depth : (horizontal ? r.height() : r.width()) + depth;
        for (int i = 0; i < (horizontal ? r.width() : r.height()); ++i) {
            out.push_back(horizontal ? shown.pixel(r.left() + i, r.top() + across)
                                     : shown.pixel(r.left() + across, r.top() + i));
        }
        return out;
    }
    static int redAt(QWidget& ruler) {
        const auto pixels = scale(ruler);
        const auto it = std::find(pixels.begin(), pixels.end(), kRed);
        return it == pixels.end() ? -1 : static_cast<int>(it - pixels.begin());
    }
};

TEST_F(RulerTest, ShownAndHiddenTogetherFromEveryPlace) {
    EXPECT_TRUE(h().isVisible() && v().isVisible());
    EXPECT_TRUE(menuEntry("Show &Rulers")->isChecked());
    // Told once more after each showing that they are tool windows, as window managers may drop
    // what was set before they took a window on; not at every reading.
    bool& tool = fake.window(nativeHandle(&h()))->toolWindow;
    tool = false;
    poll();
    EXPECT_FALSE(tool);
    click("rulersSwitch");
    click("rulersSwitch");
    poll();
    EXPECT_TRUE(tool);
    QTest::mouseClick(h().findChild<QToolButton*>("closeButton"), Qt::LeftButton);
    EXPECT_FALSE(h().isVisible() || v().isVisible());
    EXPECT_FALSE(findWidget<QToolButton>("rulersSwitch")->isChecked());
    menuEntry("Show &Rulers")->trigger();
    EXPECT_TRUE(v().isVisible());
    click("rulersSwitch");
    EXPECT_FALSE(v().isVisible());
    EXPECT_FALSE(menuEntry("Show &Rulers")->isChecked());
    app->quit();
    EXPECT_EQ(saved("Config", "ShowRuler"), "False");
}

TEST_F(RulerTest, LocksSpanTheScreenOrTheTargetWhichTheyFollowAndAMinimisedOneIsRefused) {
    EXPECT_EQ(h().geometry(), QRect(105, 200, 433, 41));
    lock(h(), "lockScreen");
    EXPECT_EQ(h().geometry(), QRect(0, 200, 1024, 41));
    EXPECT_FALSE(h().findChild<QWidget*>("startHandle")->isVisible());
    lock(v(), "lockWindow");
    EXPECT_EQ(v().geometry(), QRect(0, 21, 57, 600));
    fake.window(target)->rect = Rect{30, 40, 330, 440};
    poll();
    EXPECT_EQ(v().geometry(), QRect(0, 40, 57, 400));
    EXPECT_EQ(h().width(), 1024);  // the screen lock does not follow
    lock(h(), "lockFree");
    EXPECT_EQ(h().geometry(), QRect(105, 200, 433, 41));
    // A minimised target is refused, with a message.
    fake.showWindow(target, ShowCommand::Minimise);
    poll();
    lock(h(), "lockWindow");
    ASSERT_TRUE(h().findChild<QMessageBox*>());
    EXPECT_EQ(h().findChild<QMessageBox*>()->text(), kCannotLockMinimised);
    EXPECT_TRUE(h().findChild<QToolButton*>("lockFree")->isChecked());
    // Saved at the place it had when it was last free.
    app->quit();
    EXPECT_EQ(saved("VerticalRulerConfig", "Top"), "750");
    EXPECT_EQ(saved("VerticalRulerConfig", "Height"), "433");
    EXPECT_EQ(saved("HorizontalRulerConfig", "Left"), "1575");
}

TEST_F(RulerTest, EitherRulerInTheForegroundGivesBothTheActiveCaption) {
    const auto caption = [](QWidget& ruler) {
        return ruler.findChild<QWidget*>("titleStrip")->palette().color(QPalette::Window);
    };
    const QColor inactive = caption(h());
    fake.setForeground(nativeHandle(&v()));
    poll();
    EXPECT_EQ(caption(h()), QApplication::palette().color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(caption(v()), caption(h()));
    fake.setForeground(target);
    poll();
    EXPECT_EQ(caption(h()), inactive);
}

// Where a compositor keeps other windows' SHIFT+clicks from Sizewise, "Measure" in the ruler's
// menu takes every click, and the next plain left click starts the measurement.
class ArmedRulerTest : public RulerTest {
protected:
    void SetUp() override {
        fake.shiftClicksEverywhere = false;
        RulerTest::SetUp();
    }
};

TEST_F(ArmedRulerTest, TheMenuArmsMeasuringWithPlainClicks) {
    const auto clickAt = [&](Point at) {
        fake.movePointer(at);
        poll();
        fake.pressKeys(KeyStates{true, false, false});
        poll();
    };
    const auto measureShown = [] {
        return h().findChild<QLabel*>("measureReadout")->isVisibleTo(&h());
    };
    clickAt(Point{405, 300});  // not armed: a plain click measures nothing
    EXPECT_FALSE(measureShown());
    ASSERT_TRUE(rulerMenuEntry("Measure")->isVisible());
    rulerMenuEntry("Measure")->trigger();
    EXPECT_EQ(fake.capture, ClickCapture::All);
    clickAt(Point{405, 300});
    EXPECT_TRUE(measureShown());
    clickAt(Point{455, 340});
    EXPECT_EQ(readout("measureReadout"), "50 X 40");
    // Once the end click's button is seen up, clicks are the windows' again.
    EXPECT_TRUE(QTest::qWaitFor([&] { return fake.capture == ClickCapture::ShiftLeft; }));
    clickAt(Point{470, 360});  // the measurement disarmed it: this click only clears it
    EXPECT_TRUE(QTest::qWaitFor([&] { return !measureShown(); }));
}

TEST_F(RulerTest, ThePointerWorkShowsCoordinatesLinesAndMeasures) {
    fake.movePointer(Point{405, 300});
    ASSERT_TRUE(QTest::qWaitFor([&] { return readout("pointerReadout") == "300,250"; }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return redAt(h()) == 300 && redAt(v()) == 250; }));
    EXPECT_EQ(fake.capture, ClickCapture::ShiftLeft);  // a measuring click reaches no window
    fake.holdKeys(KeyStates{true, false, true});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return h().findChild<QLabel*>("measureReadout")->isVisible(); }));
    EXPECT_EQ(fake.capture, ClickCapture::All);
    fake.down = KeyStates{};
    fake.movePointer(Point{455, 340});
    ASSERT_TRUE(QTest::qWaitFor([&] { return readout("measureReadout") == "50 X 40"; }));
    EXPECT_TRUE(h().findChild<QLabel*>("measureReadout")->isVisible());
    // Absolute numbers, chosen from the horizontal ruler's menu, count from the screen's origin
    // on both rulers, at once: the ruler at 105 has its long ticks at 5, 15 ...
    EXPECT_EQ(scale(h(), 11)[10], kBlack);
    EXPECT_FALSE(rulerMenuEntry("Measure")->isVisible());  // SHIFT+clicks are seen everywhere here
    rulerMenuEntry("Absolute")->trigger();
    EXPECT_EQ(readout("pointerReadout"), "455,340");
    EXPECT_TRUE(QTest::qWaitFor([&] { return scale(h(), 11)[5] == kBlack; }));
    EXPECT_NE(scale(h(), 11)[10], kBlack);
    fake.pressKeys(KeyStates{false, true, false});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !h().findChild<QLabel*>("measureReadout")->isVisible(); }));
    // Once the cancelling button is up, clicks are the windows' again; hidden, all of them.
    EXPECT_TRUE(QTest::qWaitFor([&] { return fake.capture == ClickCapture::ShiftLeft; }));
    QTest::mouseClick(h().findChild<QToolButton*>("closeButton"), Qt::LeftButton);
    EXPECT_EQ(fake.capture, ClickCapture::Off);
}

TEST_F(RulerTest, TheScaleFallsOnExactPixelsAndTheRedLineLeavesNothingBehind) {
    v().hide();  // out of the horizontal ruler's way
    fake.movePointer(Point{105 + 125, 300});
    ASSERT_TRUE(QTest::qWaitFor([&] { return redAt(h()) == 125; }));
    const auto pixels = scale(h());
    for (int x = 5; x < 400; x += 5) {  // ticks and half ticks, and the red line over one
        EXPECT_EQ(pixels[x], x == 125 ? kRed : kBlack) << x;
    }
    for (int x = 11; x < 20; ++x) {
        EXPECT_EQ(pixels[x], x == 15 ? kBlack : qRgb(255, 255, 192)) << x;
    }
    // In absolute numbers too, where the scale is slid along the ruler.
    rulerMenuEntry("Absolute")->trigger();
    fake.movePointer(Point{105 + 200, 300});
    ASSERT_TRUE(QTest::qWaitFor([&] { return redAt(h()) == 200; }));
    EXPECT_EQ(scale(h())[125], kBlack);
}

TEST_F(RulerTest, HandlesStretchAndTheTitleStripMoves) {
    QWidget* end = h().findChild<QWidget*>("endHandle");
    drag(end, QPoint(5, 5), QPoint(65, 5));
    EXPECT_EQ(h().width(), 493);
    QWidget* strip = h().findChild<QWidget*>("titleStrip");
    lock(h(), "lockScreen");
    drag(strip, QPoint(150, 5), QPoint(190, 35));
    // Locked, it moves only across its axis.
    EXPECT_EQ(h().pos(), QPoint(0, 230));
}

}  // namespace
}  // namespace sw

namespace sw {
namespace {

// Under a compositor that keeps other windows' clicks from Sizewise, every click asked for is taken
// by a window of Sizewise's over the whole desktop, and read with the desktop's own reading.
TEST(OverlayPointer, AllClicksAreTakenOverTheDesktopAndReadOnce) {
    fake::FakeDesktop fake;
    fake.setScreen({{-100, 0, 1180, 768}, 96, 96, {{-100, 0, 1180, 768}}});
    qt::OverlayPointer pointer(fake, fake);
    int told = 0;
    pointer.setInputHandler([&] { ++told; });
    EXPECT_FALSE(pointer.takesShiftClicksEverywhere());
    pointer.setClickCapture(ClickCapture::ShiftLeft);
    EXPECT_EQ(pointer.overlayWindow(), nullptr);
    pointer.setClickCapture(ClickCapture::All);
    QWidget* overlay = pointer.overlayWindow();
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->geometry(), QRect(-100, 0, 1280, 768));
    QTest::mouseClick(overlay, Qt::LeftButton, Qt::ShiftModifier, QPoint(200, 100));
    EXPECT_GT(told, 0);
    EXPECT_EQ(pointer.cursorPos(), (Point{100, 100}));  // the overlay's, sooner than the desktop's
    // A desktop that reports buttons tells of the overlay's clicks too: they count once.
    fake.pressKeys(KeyStates{false, true, false});
    EXPECT_EQ(pointer.readPointer().keys, (KeyStates{true, false, true}));
    EXPECT_EQ(pointer.readPointer().keys, KeyStates{});
    pointer.setClickCapture(ClickCapture::Off);
    EXPECT_EQ(pointer.overlayWindow(), nullptr);
    fake.pressKeys(KeyStates{true, false, false});  // the last click on it, told late
    EXPECT_EQ(pointer.readPointer().keys, KeyStates{});
    EXPECT_EQ(pointer.readPointer(), (PointerSnapshot{fake.pointer, KeyStates{}}));  // read up
    fake.pressKeys(KeyStates{true, false, false});
    EXPECT_EQ(pointer.readPointer().keys, (KeyStates{true, false, false}));
}

}  // namespace
}  // namespace sw

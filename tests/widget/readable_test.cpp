// Every text the program draws can be read, and every state told apart, in a light and a dark
// palette, as measured on the rendered widgets; and every command is reachable by keyboard.
#include <QAbstractButton>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <map>

#include "contrast.h"
#include "fixture.h"

namespace sw {
namespace {

// The greatest contrast of any pixel against the picture's most common colour, its background:
// for text, the ink's core pixels.
double inkContrast(QWidget* w) {
    const QImage image = w->grab().toImage();
    std::map<QRgb, int> count;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++count[image.pixel(x, y)];
    const QRgb paper = std::max_element(count.begin(), count.end(), [](auto& a, auto& b) {
                           return a.second < b.second;
                       })->first;
    double best = 1;
    for (const auto& [colour, n] : count) best = std::max(best, contrastRatio(colour, paper));
    return best;
}

// The greatest contrast between two pictures of one widget, pixel by pixel.
double change(const QImage& a, const QImage& b) {
    double best = 1;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            best = std::max(best, contrastRatio(a.pixel(x, y), b.pixel(x, y)));
    return best;
}

QPalette darkPalette() {
    QPalette p;
    const QColor window(53, 53, 53), base(35, 35, 35);
    for (auto role : {QPalette::Window, QPalette::Button}) p.setColor(role, window);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, Qt::white);
    p.setColor(QPalette::Mid, QColor(40, 40, 40));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::Link, QColor(42, 130, 218));
    return p;
}

class Readable : public App, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        App::SetUp();
        saved_ = QApplication::palette();
        QApplication::setPalette(GetParam() ? darkPalette()
                                            : QApplication::style()->standardPalette());
        start();
    }
    void TearDown() override {
        App::TearDown();
        QApplication::setPalette(saved_);
    }
    QPalette saved_;
};

TEST_P(Readable, TextsReachFourAndAHalfAndStatesThreeToOne) {
    for (const char* name : {"left", "top", "right", "bottom", "width", "height"}) {
        EXPECT_GE(inkContrast(findWidget(QString(name) + "Value")), kTextContrast) << name;
        EXPECT_GE(inkContrast(findWidget(QString(name) + "Caption")), kTextContrast) << name;
    }
    QWidget* ruler = findWidget("horizontalRuler");
    for (const char* name : {"pointerReadout", "measureReadout"})
        EXPECT_GE(inkContrast(ruler->findChild<QWidget*>(name)), kTextContrast) << name;
    for (QWidget* glyph : {findWidget("restoreButton"), findWidget("minimiseButton"),
                           findWidget("maximiseButton"), ruler->findChild<QWidget*>("closeButton")})
        EXPECT_GE(inkContrast(glyph), kStateContrast) << glyph->objectName().toStdString();
    menuEntry("&About")->trigger();
    for (QLabel* text : findWidget("aboutWindow")->findChildren<QLabel*>()) {
        if (!text->text().isEmpty()) {
            EXPECT_GE(inkContrast(text), kTextContrast) << text->text().toStdString();
        }
    }
    // The checked lock and the focused button against themselves unchecked and unfocused.
    auto* lock = ruler->findChild<QToolButton*>("lockScreen");
    const QImage unchecked = lock->grab().toImage();
    lock->setChecked(true);
    EXPECT_GE(change(unchecked, lock->grab().toImage()), kStateContrast);
    QWidget* origin = findWidget("originButton");
    const QImage unfocused = origin->grab().toImage();
    window().activateWindow();
    origin->setFocus(Qt::TabFocusReason);
    EXPECT_GE(change(unfocused, origin->grab().toImage()), kStateContrast);
}

INSTANTIATE_TEST_SUITE_P(Palettes, Readable, ::testing::Values(false, true),
                         [](const auto& p) { return p.param ? "Dark" : "Light"; });

using Keyboard = App;

TEST_F(Keyboard, TabFollowsTheRowsAndKeysReachEveryCommand) {
    start();
    window().activateWindow();
    // Row by row: the menu, the rulers' switch and the presets, the six values, "0,0" and the
    // state buttons, the layout switch.
    QWidget* w = findWidget("menuLabel");
    w->setFocus(Qt::TabFocusReason);
    std::vector<std::string> order;
    for (int i = 0; i < 23; ++i, w = w->nextInFocusChain()) {
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible()) w = w->nextInFocusChain();
        order.push_back(w->objectName().toStdString());
    }
    std::vector<std::string> rows{"menuLabel", "rulersSwitch"};
    for (int i = 0; i < 10; ++i) rows.push_back("presetButton" + std::to_string(i));
    for (const char* name : {"left", "top", "right", "bottom", "width", "height"})
        rows.push_back(std::string(name) + "Value");
    rows.insert(rows.end(), {"originButton", "minimiseButton", "restoreButton", "maximiseButton",
                             "layoutSwitch"});
    EXPECT_EQ(order, rows);
    // F2 opens a value's entry; Enter places the target and the keyboard stays here.
    QTest::keyClick(findWidget("widthValue"), Qt::Key_F2);
    auto* box = findWidget<QLineEdit>("valueBox");
    ASSERT_TRUE(box->isVisible());
    box->setText("300");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(frame().width(), 300);
    EXPECT_EQ(fake.foregroundWindow(), mainHandle());
    EXPECT_EQ(window().focusWidget(), findWidget("widthValue"));
    // An arrow key on the checked state button moves the focus and commands nothing.
    poll();
    auto* restore = findWidget<QAbstractButton>("restoreButton");
    restore->setFocus(Qt::TabFocusReason);
    QTest::keyClick(restore, Qt::Key_Left);
    EXPECT_EQ(fake.window(target)->state, WindowState::Normal);
    EXPECT_EQ(window().focusWidget(), findWidget("minimiseButton"));  // also unchecked
    // Shift+F10 opens the menu.
    QTest::keyClick(&window(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([] { return findWidget<QMenu>("popupMenu")->isVisible(); }));
}

using Fonts = App;

TEST_F(Fonts, ALargerApplicationFontGrowsTheWholeWindowAndItsText) {
    start();
    const QSize usual = window().size();
    app.reset();
    const QFont saved = QApplication::font();
    QFont large = saved;
    large.setPixelSize(18);
    QApplication::setFont(large);
    start();
    EXPECT_NEAR(window().width(), usual.width() * 1.5, 1);
    EXPECT_NEAR(window().height(), usual.height() * 1.5, 1);
    for (const char* name : {"left", "top", "right", "bottom", "width", "height"}) {
        auto* value = findWidget<QLabel>(QString(name) + "Value");
        EXPECT_EQ(QFontInfo(value->font()).pixelSize(), 15) << name;
        EXPECT_LE(value->fontMetrics().horizontalAdvance("-32768"), value->width()) << name;
    }
    menuEntry("&About")->trigger();
    QWidget* about = findWidget("aboutWindow");
    for (QLabel* text : about->findChildren<QLabel*>()) {
        EXPECT_TRUE(about->rect().contains(QRect(text->mapTo(about, QPoint()), text->size())))
            << text->text().toStdString();
    }
    QApplication::setFont(saved);
}

}  // namespace
}  // namespace sw

// The window-state buttons and "0,0".
#include "statebuttons.h"

#include <QPushButton>
#include <QToolButton>

#include "glyphs.h"
#include "monitorgeometry.h"
#include "nativehandle.h"
#include "screenmodel.h"
#include "target.h"
#include "widgets.h"

namespace sw {
namespace {

// Design geometry, in twips.
constexpr int kStateButtonTop = 870;
constexpr int kStateButtonSize = 300;
constexpr int kStateButtonLeft[3] = {2580, 2280, 2880};  // restore, minimise, maximise
constexpr const char* kStateNames[3] = {"restoreButton", "minimiseButton", "maximiseButton"};
constexpr const char* kStateTips[3] = {"Restore Target Window", "Minimize Target Window",
                                       "Maximize Target Window"};

}  // namespace

std::optional<ShowCommand> showCommandForButton(int index) {
    switch (index) {
        case 0:
            return ShowCommand::Restore;
        case 1:
            return ShowCommand::Minimise;
        case 2:
            return ShowCommand::Maximise;
        default:
            return std::nullopt;
    }
}

int buttonForState(WindowState state) {
    switch (state) {
        case WindowState::Normal:
            return 0;
        case WindowState::Minimised:
            return 1;
        case WindowState::Maximised:
            return 2;
        case WindowState::Gone:
            break;
    }
    return -1;
}

StateButtons::StateButtons(QWidget* window, Target& target, const ScreenModel& screen)
    : QObject(window), target_(target), screen_(screen) {
    const QIcon glyph[3] = {glyphs::restore(), glyphs::minimise(), glyphs::maximise()};
    for (int i = 0; i < 3; ++i) {
        QToolButton* b = stateButtons_[i] = new QToolButton(window);
        b->setObjectName(kStateNames[i]);
        b->setGeometry(
            designRect(kStateButtonLeft[i], kStateButtonTop, kStateButtonSize, kStateButtonSize));
        b->setCheckable(true);
        b->setIcon(glyph[i]);
        b->setToolTip(kStateTips[i]);
        b->setAccessibleName(kStateTips[i]);
        // Only the user's clicks arrive here; a reading's selection runs the command itself.
        connect(b, &QToolButton::clicked, this, [this, i] {
            check(i);
            runCommand(i);
        });
    }
    origin_ = new QPushButton("0,0", window);
    origin_->setObjectName("originButton");
    origin_->setGeometry(designRect(1850, kStateButtonTop, 360, 300));
    origin_->setToolTip("Move Target Window to Origin");
    QFont small = window->font();
    small.setPixelSize(textPixels(10));
    origin_->setFont(small);
    connect(origin_, &QPushButton::clicked, this, &StateButtons::moveToOrigin);
    connect(&target, &Target::changed, this, &StateButtons::show);
}

void StateButtons::show(const TargetReading& reading) {
    // A command that is landing passes through states that are not shown; while the window is
    // hidden nothing is selected, as a selection sends its command.
    if (reading.landing || !origin_->isVisible()) return;
    const int button = buttonForState(reading.info.state);
    if (button < 0 || stateButtons_[button]->isChecked()) return;
    check(button);
    if (const auto command = showCommandForButton(button)) target_.show(*command);
}

void StateButtons::check(int index) {
    // One checked at a time, kept here rather than by an exclusive button group: Qt takes the
    // unchecked buttons of such a group out of the Tab chain, out of the keyboard's reach.
    for (int i = 0; i < 3; ++i) stateButtons_[i]->setChecked(i == index);
}

void StateButtons::runCommand(int index) {
    QToolButton* button = stateButtons_[index];
    const bool keys = byKeyboard(button);
    if (const auto command = showCommandForButton(index)) target_.show(*command);
    if (keys) target_.keepForeground(nativeHandle(button->window()));
}

void StateButtons::moveToOrigin() {
    const bool keys = byKeyboard(origin_);
    // The monitor that holds most of the target's frame (a minimised target's restored one):
    // the screen's origin on a desktop of one.
    const Rect monitor = monitorHoldingMost(screen_.monitors(), target_.reading().info.rect);
    target_.moveTo(Point{monitor.left, monitor.top});
    if (keys) target_.keepForeground(nativeHandle(origin_->window()));
}

}  // namespace sw

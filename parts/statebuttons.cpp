// The window-state buttons and "0,0".
#include "statebuttons.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QToolButton>

#include "glyphs.h"
#include "target.h"
#include "widgets.h"

namespace sw {
namespace {

// Design geometry, in twips.
constexpr int kStateButtonTop = 870;
constexpr int kStateButtonSize = 300;
constexpr int kStateButtonLeft[3] = {2580, 2280, 2880};  // restore, minimise, maximise
constexpr const char* kStateTips[3] = {"Restore Target Window", "Minimize Target Window",
                                       "Maximize Target Window"};

}  // namespace

std::optional<ShowCommand> ShowCommandForOption(int index) {
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

int OptionForState(WindowState state) {
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

StateButtons::StateButtons(QWidget* form, Target& target) : QObject(form), target_(target) {
    optGroup_ = new QButtonGroup(this);
    optGroup_->setExclusive(true);
    const QIcon glyph[3] = {glyphs::Restore(), glyphs::Minimise(), glyphs::Maximise()};
    for (int i = 0; i < 3; ++i) {
        optWindowControl[i] = new QToolButton(form);
        optWindowControl[i]->setObjectName(QString("optWindowControl%1").arg(i));
        optWindowControl[i]->setGeometry(
            DesignRect(kStateButtonLeft[i], kStateButtonTop, kStateButtonSize, kStateButtonSize));
        optWindowControl[i]->setCheckable(true);
        optWindowControl[i]->setIcon(glyph[i]);
        optWindowControl[i]->setToolTip(kStateTips[i]);
        optWindowControl[i]->setAccessibleName(kStateTips[i]);
        optGroup_->addButton(optWindowControl[i], i);
        // Only the user's clicks arrive here; the monitor's selections call the
        // handler itself.
        connect(optWindowControl[i], &QToolButton::clicked, this,
                [this, i] { optWindowControl_Click(i); });
    }
    cmdZeroWindow = new QPushButton("0,0", form);
    cmdZeroWindow->setObjectName("cmdZeroWindow");
    cmdZeroWindow->setGeometry(DesignRect(1850, kStateButtonTop, 360, 300));
    cmdZeroWindow->setToolTip("Move Target Window to Origin");
    QFont small = form->font();
    small.setPixelSize(10);
    cmdZeroWindow->setFont(small);
    connect(cmdZeroWindow, &QPushButton::clicked, this, [this] {
        LoseFocus(cmdZeroWindow);
        emit zeroWindowClicked();
    });
}

void StateButtons::ShowState(WindowState state) {
    const int option = OptionForState(state);
    if (option < 0 || optWindowControl[option]->isChecked()) return;
    optWindowControl[option]->setChecked(true);
    optWindowControl_Click(option);
}

void StateButtons::optWindowControl_Click(int index) {
    LoseFocus(optWindowControl[0]);
    if (const auto command = ShowCommandForOption(index)) target_.Show(*command);
}

}  // namespace sw

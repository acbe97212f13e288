// The about window and start-up splash.
#include "aboutwindow.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "appinfo.h"
#include "numbers.h"
#include "screenmodel.h"
#include "widgets.h"
#include "windowutils.h"

namespace sw {
namespace {

// Design geometry, in twips.
constexpr int kClientWidth = 7560;
constexpr int kClientHeight = 3510;
constexpr int kPictureSize = 200;  // pixels
// The version line is right-aligned: it grows leftwards from the panel's right margin, so that a
// longer version never runs off the panel.
constexpr int kRightMargin = 120;

constexpr const char* kCopyright = "\u00a9 2026 the Sizewise developers";
constexpr const char* kWarning =
    "Sizewise moves and resizes the windows of other programs. It comes with no "
    "warranty of any kind: use it at your own risk.";

QFont boldFont(const QFont& base, double points) {
    QFont f = base;
    f.setPointSizeF(points * textZoom());
    f.setBold(true);
    return f;
}

QLabel* label(QWidget* parent, const QString& text, const QFont& font) {
    auto* l = new QLabel(text, parent);
    l->setFont(font);
    return l;
}

}  // namespace

QString versionLine() {
    return QString::fromStdString("Version " + versionText());
}

AboutWindow::AboutWindow(Role role, WindowSystem& windows, const ScreenModel& screen,
                         QWidget* owner)
    // A fixed dialog frame without caption or buttons: only the border.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint), windows_(windows), screen_(screen) {
    setObjectName(role == Role::Splash ? "splash" : "aboutWindow");
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(layoutPixels(kClientWidth), layoutPixels(kClientHeight));
    createControls(role);
    if (role == Role::Splash) {
        auto* timer = new QTimer(this);
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, &QDialog::accept);
        timer->start(kSplashTime);
    }
}

void AboutWindow::createControls(Role role) {
    auto* panel = new QWidget(this);
    panel->setGeometry(designRect(120, 120, 7335, 3255));
    panel->setAutoFillBackground(true);
    // The paper of text views: white in a light palette, dark in a dark one, with its own ink.
    QPalette paper = panel->palette();
    paper.setColor(QPalette::Window, paper.color(QPalette::Base));
    paper.setColor(QPalette::WindowText, paper.color(QPalette::Text));
    panel->setPalette(paper);

    auto* picture = new QLabel(panel);
    const int side = textPixels(kPictureSize);
    picture->setGeometry(layoutPixels(120), layoutPixels(120), side, side);
    picture->setScaledContents(true);
    // The application's own picture, set by the start-up code.
    picture->setPixmap(qApp->windowIcon().pixmap(side, side));

    QLabel* name = label(panel, kAppTitle, boldFont(font(), 18));
    name->move(layoutPixels(4200), layoutPixels(120));
    name->adjustSize();
    QLabel* version = label(panel, versionLine(), boldFont(font(), 12));
    version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    version->adjustSize();
    version->move(panel->width() - layoutPixels(kRightMargin) - version->width(),
                  layoutPixels(600));
    QFont notice = font();
    notice.setPixelSize(textPixels(10));
    label(panel, kCopyright, notice)->setGeometry(designRect(4200, 1200, 3015, 255));
    QLabel* warning = label(panel, kWarning, notice);
    warning->setGeometry(designRect(4200, 1800, 3015, 915));
    warning->setWordWrap(true);
    warning->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    if (role == Role::About) {
        // On the window, over the panel.
        auto* close = new QPushButton("Close", this);
        close->setObjectName("closeButton");
        close->setGeometry(designRect(6600, 2880, 735, 375));
        connect(close, &QPushButton::clicked, this, &QDialog::accept);
    }
}

void AboutWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreWindow(screen_.metrics(), this, true, true);
    // The window system takes the topmost state of a mapped window only.
    setTopmost(windows_, this, true);
}

void AboutWindow::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace sw

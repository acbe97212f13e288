// The about window and start-up splash.
#include "splash.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "appinfo.h"
#include "numbers.h"
#include "widgets.h"
#include "windowutils.h"

namespace sw {
namespace {

// Design geometry, in twips.
constexpr int kClientWidth = 7560;
constexpr int kClientHeight = 3510;
constexpr int kPictureSize = 200;  // pixels
// The version line is right-aligned: it grows leftwards from the panel's right
// margin, so that a longer version never runs off the panel.
constexpr int kRightMargin = 120;

constexpr const char* kCopyright = "\u00a9 2026 the Sizewise developers";
constexpr const char* kWarning =
    "Sizewise moves and resizes the windows of other programs. It comes with no "
    "warranty of any kind: use it at your own risk.";

QFont boldFont(const QFont& base, double points) {
    QFont f = base;
    f.setPointSizeF(points);
    f.setBold(true);
    return f;
}

}  // namespace

QString VersionLine() {
    return QString::fromStdString("Version " + VersionText());
}

frmSplash::frmSplash(WindowSystem& windows, const ScreenMetrics& screen, QWidget* owner)
    // A fixed dialog frame without caption or buttons: only the border.
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint), windows_(windows), screen_(screen) {
    setObjectName("frmSplash");
    setFixedSize(DesignPixels(kClientWidth), DesignPixels(kClientHeight));
    createControls();
    tmrShow = new QTimer(this);
    tmrShow->setInterval(kShowTime);
    tmrShow->setSingleShot(true);
    tmrShow->setTimerType(Qt::PreciseTimer);
    connect(tmrShow, &QTimer::timeout, this, [this] { tmrShow_Timer(); });
    Form_Load();
}

void frmSplash::createControls() {
    Picture1 = new QWidget(this);
    Picture1->setObjectName("Picture1");
    Picture1->setGeometry(DesignRect(120, 120, 7335, 3255));
    Picture1->setAutoFillBackground(true);
    QPalette white = Picture1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Picture1->setPalette(white);

    Image1 = new QLabel(Picture1);
    Image1->setGeometry(DesignPixels(120), DesignPixels(120), kPictureSize, kPictureSize);
    Image1->setScaledContents(true);

    lblProductName = new QLabel(Picture1);
    lblProductName->setFont(boldFont(font(), 18));
    lblProductName->move(DesignPixels(4200), DesignPixels(120));
    lblVersion = new QLabel(Picture1);
    lblVersion->setFont(boldFont(font(), 12));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblVersion->move(DesignPixels(6240), DesignPixels(600));
    lblCopyright = new QLabel(Picture1);
    lblCopyright->setGeometry(DesignRect(4200, 1200, 3015, 255));
    lblWarning = new QLabel(Picture1);
    lblWarning->setGeometry(DesignRect(4200, 1800, 3015, 915));
    lblWarning->setWordWrap(true);
    lblWarning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont notice = font();
    notice.setPixelSize(10);
    lblCopyright->setFont(notice);
    lblWarning->setFont(notice);

    // On the form, over the panel.
    cmdClose = new QPushButton("Close", this);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setGeometry(DesignRect(6600, 2880, 735, 375));
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
}

void frmSplash::Form_Load() {
    lblVersion->setText(VersionLine());
    lblVersion->adjustSize();
    const int right = Picture1->width() - DesignPixels(kRightMargin);
    lblVersion->move(right - lblVersion->width(), lblVersion->y());
    lblProductName->setText(kAppTitle);
    lblProductName->adjustSize();
    lblCopyright->setText(kCopyright);
    lblWarning->setText(kWarning);
    // The application's own picture, set by the start-up code; none is drawn here.
    Image1->setPixmap(qApp->windowIcon().pixmap(kPictureSize, kPictureSize));
}

void frmSplash::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreForm(screen_, this, true, true);
    // The window system takes the topmost state of a mapped window only.
    SetTopmost(windows_, this, true);
}

void frmSplash::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void frmSplash::Prepare(std::chrono::milliseconds timed, bool allowClose) {
    if (timed.count() > 0) {
        tmrShow->start(timed);
    } else {
        tmrShow->stop();
    }
    cmdClose->setVisible(allowClose);
}

void frmSplash::tmrShow_Timer() {
    hide();
}

void frmSplash::cmdClose_Click() {
    hide();
}

About::About(QWidget* owner, WindowSystem& windows, const ScreenMetrics& screen)
    : QObject(owner), owner_(owner), windows_(windows), screen_(screen) {}

void About::ShowAbout(bool timed, bool allowClose) {
    // Owned by the main window once that exists on the display; an owner makes
    // Qt create the owner's window, and a main window created before it is first
    // shown would be placed by its inside rather than its frame.
    frmSplash splash(windows_, screen_,
                     owner_->testAttribute(Qt::WA_WState_Created) ? owner_ : nullptr);
    mSplash = &splash;
    splash.Prepare(timed ? frmSplash::kShowTime : std::chrono::milliseconds(0), allowClose);
    // Blocks the main window only: the notification icon stays live, and a
    // right click on it closes the splash.
    splash.setWindowModality(Qt::WindowModal);
    splash.exec();
    splash.Prepare(std::chrono::milliseconds(0), allowClose);
    mSplash = nullptr;
}

void About::CloseSplash() {
    if (mSplash != nullptr && mSplash->isVisible()) mSplash->hide();
}

}  // namespace sw

// The floor the benchmarks measure Sizewise against: a bare Qt Widgets program
// on the same display with one small window and idle timers at the periods given
// on the command line (milliseconds), doing nothing when they fire.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Timer floor");
    window.resize(243, 175);
    window.show();
    for (const QString& arg : QApplication::arguments().mid(1)) {
        auto* timer = new QTimer(&app);
        QObject::connect(timer, &QTimer::timeout, &app, [] {});
        timer->start(arg.toInt());
    }
    return QApplication::exec();
}

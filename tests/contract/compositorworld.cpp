// The worlds in a headless compositor: their programs, waiting on the compositor, and the monitors
// the runner started it with.
#include "compositorworld.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QJsonArray>
#include <QProcessEnvironment>
#include <QTimer>

#include <algorithm>
#include <stdexcept>

namespace sw::test {

CompositorWorld::~CompositorWorld() {
    for (auto& [window, program] : programs_) {
        program->kill();
        program->waitForFinished();
    }
}

std::unique_ptr<QProcess> CompositorWorld::start(const std::string& title, const char* platform,
                                                 const QStringList& options) {
    auto program = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QLatin1String(platform));
    program->setProcessEnvironment(env);
    program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program->start(
        QStringLiteral("/usr/bin/python3"),
        QStringList{QStringLiteral(SIZEWISE_TEST_WINDOW), QString::fromStdString(title)} + options);
    if (!program->waitForStarted())
        throw std::runtime_error("a test window's program did not start");
    return program;
}

WindowId CompositorWorld::open(const std::string& title) {
    auto program = start(title, "wayland");
    WindowId window = 0;
    const QString caption = QString::fromStdString(title);
    if (!eventually([&] { return (window = shownWindow(program->processId(), caption)) != 0; }))
        throw std::runtime_error("a test window was never shown");
    programs_[window] = std::move(program);
    // The backend answers from what the compositor said: the window is the world's once it has.
    if (!eventually([&] { return windows().describeWindow(window).state != WindowState::Gone; }))
        throw std::runtime_error("the backend was never told of a test window");
    return window;
}

void CompositorWorld::close(WindowId window) {
    const auto at = programs_.find(window);
    if (at == programs_.end()) return;
    at->second->kill();
    at->second->waitForFinished();
    programs_.erase(at);
}

void CompositorWorld::rename(WindowId window, const std::string& title) {
    const auto at = programs_.find(window);
    if (at == programs_.end()) return;
    at->second->write(QByteArray::fromStdString(title + "\n"));
    at->second->waitForBytesWritten();
}

Rect CompositorWorld::frameOf(WindowId window) {
    const auto w = compositorWindow(window);
    if (!w) return Rect{};
    const QJsonArray f = (*w)[QStringLiteral("frame")].toArray();
    const int x = f[0].toInt(), y = f[1].toInt();
    return Rect{x, y, x + f[2].toInt(), y + f[3].toInt()};
}

void CompositorWorld::press(const Shortcut&) {
    ADD_FAILURE() << "no shortcut is pressed in a compositor's world";
}

void CompositorWorld::holdElsewhere(const Shortcut&) {
    ADD_FAILURE() << "no shortcut is held in a compositor's world";
}

int CompositorWorld::pressesOn(WindowId) {
    ADD_FAILURE() << "no press is counted in a compositor's world";
    return 0;
}

// The runner's monitors: "left,top,right,bottom;..." as it started the compositor with them.
ScreenMetrics CompositorWorld::expectedScreen() {
    ScreenMetrics m;
    const QString monitors = qEnvironmentVariable("SIZEWISE_TEST_MONITORS", "0,0,1280,800");
    for (const QString& monitor : monitors.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList e = monitor.split(QLatin1Char(','));
        m.monitors.push_back(
            Rect{e.value(0).toInt(), e.value(1).toInt(), e.value(2).toInt(), e.value(3).toInt()});
    }
    m.bounds = m.monitors.front();
    for (const Rect& r : m.monitors) {
        m.bounds = Rect{std::min(m.bounds.left, r.left), std::min(m.bounds.top, r.top),
                        std::max(m.bounds.right, r.right), std::max(m.bounds.bottom, r.bottom)};
    }
    return m;
}

bool CompositorWorld::eventuallyWithin(std::chrono::milliseconds limit,
                                       const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        // Events are handled the moment they come; the condition is looked at again after each
        // short turn.
        QEventLoop turn;
        QTimer::singleShot(5, &turn, &QEventLoop::quit);
        turn.exec();
    }
    return true;
}

bool CompositorWorld::eventually(const std::function<bool()>& done) {
    return eventuallyWithin(std::chrono::seconds(10), done);
}

void CompositorWorld::settle() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    eventually([&] { return std::chrono::steady_clock::now() > until; });
}

}  // namespace sw::test

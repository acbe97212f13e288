// Signals to the event loop through a self-pipe: the handler only writes a byte.
#include "termination.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

namespace sw {
namespace {

int signalPipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int signal) {
    const unsigned char byte = static_cast<unsigned char>(signal);
    // Nothing can be done about a full pipe; a shutdown is already pending then.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

void installTerminationHandler(std::function<void(int signal)> onSignal) {
    if (signalPipe[0] < 0) {
        if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    }
    // Owned by the application, so that it goes when the application does.
    auto* notifier =
        new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onSignal]() {
        unsigned char byte = 0;
        while (::read(signalPipe[0], &byte, 1) == 1) onSignal(byte);
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

void ignoreBrokenPipes() {
    // A write to a display that has gone must fail and be noticed as a lost
    // connection, not end the process: xcb and Xlib write to their sockets
    // without asking the kernel to spare the signal.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
}

}  // namespace sw

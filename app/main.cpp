// Process entry: checks the display, connects the desktop backend, turns
// signals, the session's end and a lost display into the orderly shutdown, and
// runs the start routine and the event loop.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <unistd.h>

#include <QApplication>
#include <QSessionManager>

#include "app/module1.h"
#include "mainwindow/form1.h"
#include "platform/backend.h"
#include "platform/posix/termination.h"

namespace {

void say(const std::string& text) { std::fprintf(stderr, "Sizewise: %s\n", text.c_str()); }

bool isWaylandSession() {
    const char* type = std::getenv("XDG_SESSION_TYPE");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (type != nullptr && std::string(type) == "wayland") || (wayland != nullptr && *wayland != '\0');
}

// Qt ends the process itself with exit(1) when its own X connection breaks,
// which can happen before the backend's connection reports the loss. Then the
// orderly shutdown still runs here, and the exit status is 0.
sw::Form1* gShutdownForm = nullptr;
bool gEventLoopDone = false;

void finishOnUnexpectedExit() {
    if (gEventLoopDone || gShutdownForm == nullptr) return;
    if (!gShutdownForm->isUnloaded()) gShutdownForm->Unload(sw::Form1::kUnloadSession);
    std::fflush(nullptr);
    ::_exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    if (isWaylandSession()) {
        say("this is a Wayland session: only X11 (XWayland) windows can be watched and moved");
        // The program's own windows must live on the same X display it watches.
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        say("no X11 display: DISPLAY is not set");
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(sw::kAppTitle);
    QApplication::setOrganizationName(sw::kAppMaker);
    QApplication::setApplicationVersion(QString("%1.%2.%3")
                                            .arg(SIZEWISE_VERSION_MAJOR)
                                            .arg(SIZEWISE_VERSION_MINOR)
                                            .arg(SIZEWISE_VERSION_PATCH));
    // Hiding the main window to the notification area must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    std::string error;
    std::unique_ptr<sw::Backend> backend = sw::createBackend(error);
    if (!backend) {
        say("cannot reach the desktop: " + error);
        return 1;
    }
    for (const std::string& warning : backend->warnings()) say(warning);

    sw::Module1 g;
    sw::Desktop desktop = backend->desktop();
    sw::Form1* form = sw::Main(g, desktop, [](int status) { QCoreApplication::exit(status); });

    const auto shutDown = [form](int mode) { form->Unload(mode); };
    sw::installTerminationHandler([shutDown](int) { shutDown(sw::Form1::kUnloadTaskManager); });
    backend->setConnectionLostHandler([shutDown] { shutDown(sw::Form1::kUnloadSession); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, form,
                     [shutDown](QSessionManager&) { shutDown(sw::Form1::kUnloadSession); });
    gShutdownForm = form;
    std::atexit(finishOnUnexpectedExit);

    const int status = QApplication::exec();
    gEventLoopDone = true;
    delete form;
    return status;
}

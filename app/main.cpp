// Process entry: checks the display, connects the desktop backend, hands over to
// an instance already running on the display, turns signals, the session's end
// and a lost display into the orderly shutdown, and runs the start routine and
// the event loop.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <unistd.h>

#include <QApplication>
#include <QSessionManager>

#include "app/module1.h"
#include "app/singleinstance.h"
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
// which can happen before the backend's connection reports the loss. Qt's and
// Xlib's objects are half torn down by then, so only the settings are saved
// (they need no display) and the process ends at once with status 0.
sw::Module1* gShared = nullptr;
bool gEventLoopDone = false;

[[noreturn]] void endWithoutDisplay() {
    if (gShared != nullptr && gShared->gMainForm != nullptr) gShared->gMainForm->UnloadWithoutDisplay();
    std::fflush(nullptr);
    ::_exit(0);
}

void finishOnUnexpectedExit() {
    if (gEventLoopDone || gShared == nullptr || gShared->gMainForm == nullptr) return;
    endWithoutDisplay();
}

}  // namespace

int main(int argc, char** argv) {
    sw::ignoreBrokenPipes();
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

    sw::Form1* form = nullptr;
    sw::SingleInstance instance(backend->displayIdentity());
    switch (instance.claim([&form] {
        if (form != nullptr) form->BringToFront();
    })) {
        case sw::SingleInstance::Claim::First:
            break;
        case sw::SingleInstance::Claim::HandedOver:
            say("already running on this display; showing its window");
            return 0;
        case sw::SingleInstance::Claim::Failed:
            say("another Sizewise holds " + instance.lockPath().toStdString() + " but does not answer");
            return 1;
    }

    sw::Module1 g;
    sw::Desktop desktop = backend->desktop();
    // In place before the main window loads: loading waits three seconds for the
    // splash, and a signal, the session's end or a lost display then must end
    // the program in order too.
    const auto shutDown = [&g](int mode) {
        if (g.gMainForm != nullptr) g.gMainForm->Unload(mode);
    };
    sw::installTerminationHandler([shutDown](int) { shutDown(sw::Form1::kUnloadTaskManager); });
    backend->setConnectionLostHandler([] { endWithoutDisplay(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [shutDown](QSessionManager&) { shutDown(sw::Form1::kUnloadSession); });
    gShared = &g;

    form = sw::Main(g, desktop, [](int status) { QCoreApplication::exit(status); });
    // Registered only now, so that it runs before the exit handlers that Qt
    // registered while the windows were made, while the settings can still be written.
    std::atexit(finishOnUnexpectedExit);
    // Unloaded while the splash showed: the event loop has been told to end
    // already, and running it now would never return.
    const int status = form->isUnloaded() ? 0 : QApplication::exec();
    gEventLoopDone = true;
    delete form;
    return status;
}

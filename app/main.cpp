// Process entry: checks the desktop, connects the desktop backend, hands over to
// an instance already running on the display, turns the system's requests to end
// and a lost display into the orderly shutdown, and runs the start routine and
// the event loop.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>

#include "app/appicon.h"
#include "app/module1.h"
#include "app/singleinstance.h"
#include "mainwindow/form1.h"
#include "platform/backend.h"

namespace {

void say(const std::string& text) { std::fprintf(stderr, "Sizewise: %s\n", text.c_str()); }

// Qt ends the process itself with exit(1) when its own X connection breaks,
// which can happen before the backend's connection reports the loss. Qt's and
// Xlib's objects are half torn down by then, so only the settings are saved
// (they need no display) and the process ends at once with status 0.
sw::Module1* gShared = nullptr;
bool gEventLoopDone = false;

[[noreturn]] void endWithoutDisplay() {
    if (gShared != nullptr && gShared->gMainForm != nullptr) gShared->gMainForm->UnloadWithoutDisplay();
    std::fflush(nullptr);
    std::_Exit(0);
}

void finishOnUnexpectedExit() {
    if (gEventLoopDone || gShared == nullptr || gShared->gMainForm == nullptr) return;
    endWithoutDisplay();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> notes;
    std::string startError;
    const bool usable = sw::platformStartChecks(notes, startError);
    for (const std::string& note : notes) say(note);
    if (!usable) {
        say(startError);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(sw::kAppTitle);
    QApplication::setOrganizationName(sw::kAppMaker);
    QApplication::setApplicationVersion(QString("%1.%2.%3")
                                            .arg(SIZEWISE_VERSION_MAJOR)
                                            .arg(SIZEWISE_VERSION_MINOR)
                                            .arg(SIZEWISE_VERSION_PATCH));
    // Set before the backend is made: its notification-area icon is this one too.
    QApplication::setWindowIcon(sw::ApplicationIcon());
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
    sw::installEndRequestHandlers([&g](sw::EndRequest request) {
        if (g.gMainForm == nullptr) return;
        g.gMainForm->Unload(request == sw::EndRequest::SessionEnd ? sw::Form1::kUnloadSession
                                                                   : sw::Form1::kUnloadTaskManager);
    });
    backend->setConnectionLostHandler([] { endWithoutDisplay(); });
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

// Process entry: answers --help and --version, checks the desktop, connects the
// desktop backend, hands over to an instance already running on the display,
// turns the system's requests to end and a lost display into the orderly end,
// and runs the start routine and the event loop. A command is handed to the
// running instance, or carried out here on the desktop's foreground window.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>

#include "appicon.h"
#include "appinfo.h"
#include "backend.h"
#include "commandline.h"
#include "commandrunner.h"
#include "settings.h"
#include "singleinstance.h"
#include "sizewise.h"

namespace {

void say(const std::string& text) {
    std::fprintf(stderr, "Sizewise: %s\n", text.c_str());
}

// The arguments Qt has left after taking its own.
std::vector<std::string> programArguments() {
    std::vector<std::string> out;
    const QStringList all = QApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) out.push_back(all[i].toStdString());
    return out;
}

// Answers --help and --version, or refuses an unknown option; -1 to go on.
int answerCommandLine(const sw::CommandLine& line) {
    const auto reply = sw::replyTo(line);
    if (!reply) return -1;
    std::fputs(reply->out.c_str(), stdout);
    std::fputs(reply->err.c_str(), stderr);
    return reply->status;
}

// The application's facts, and what Qt must know before any window exists.
void describeApplication() {
    QApplication::setApplicationName(sw::kAppTitle);
    QApplication::setOrganizationName(sw::kAppMaker);
    QApplication::setApplicationVersion(QString::fromStdString(sw::versionText()));
    // Set before the backend is made: its notification-area icon is this one too.
    QApplication::setWindowIcon(sw::applicationIcon());
    // Hiding the main window to the notification area must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
}

int print(const sw::Reply& reply) {
    std::fputs(reply.out.c_str(), stdout);
    std::fputs(reply.err.c_str(), stderr);
    std::fflush(nullptr);
    return reply.status;
}

// A command with no Sizewise running: carried out here, through the same backend, without any
// window or icon of the program's.
int runAlone(sw::Backend& backend, const std::vector<std::string>& args) {
    const auto command = std::get<sw::WindowCommand>(sw::parseWindowCommand(args));
    if (sw::needsRunningProgram(command))
        return print({sw::kNotDone, "", "Sizewise: it is not running\n"});
    int status = -1;
    // The backend has said why: a desktop lost before it was ready runs no command.
    backend.setConnectionLostHandler([] { QCoreApplication::exit(sw::kNotDone); });
    backend.whenReady([&backend, &status, command] {
        sw::Desktop desktop = backend.desktop();
        sw::WindowSystem& windows = desktop.windows;
        const sw::CommandRunner::Acts acts{
            [&windows](sw::WindowId w, const sw::Placement& p) { windows.placeWindow(w, p); },
            [&windows](sw::WindowId w, sw::ShowCommand c) { windows.showWindow(w, c); }};
        auto* runner = new sw::CommandRunner(windows, desktop.screen.metrics().monitors,
                                             sw::readMainSettings(desktop.settings).presets, acts,
                                             sw::steadyClock());
        runner->run(command, command.window != 0 ? command.window : windows.foregroundWindow(),
                    [&status](const sw::Reply& reply) {
                        status = print(reply);
                        QCoreApplication::exit(status);
                    });
    });
    return status >= 0 ? status : QApplication::exec();
}

// A command: handed to the running instance, whose target it acts on, or carried out here.
int runCommand(const std::vector<std::string>& args) {
    std::string error;
    std::unique_ptr<sw::Backend> backend = sw::createBackend(error);
    if (!backend)
        return print({sw::kNotDone, "", "Sizewise: cannot reach the desktop: " + error + "\n"});
    sw::SingleInstance instance(backend->displayIdentity());
    if (const auto reply = instance.sendCommand(args)) return print(*reply);
    return runAlone(*backend, args);
}

// -1 when this process is the instance for its display; else the exit status.
int claimDisplay(sw::SingleInstance& instance, std::unique_ptr<sw::Sizewise>& sizewise) {
    const auto command = [&sizewise](const std::vector<std::string>& args,
                                     const sw::SingleInstance::Answer& answer) {
        if (sizewise) {
            sizewise->runCommand(args, answer);
        } else {
            answer({sw::kNotDone, "", "Sizewise: it is still starting\n"});
        }
    };
    switch (instance.claim(
        [&sizewise] {
            if (sizewise) sizewise->bringToFront();
        },
        command)) {
        case sw::SingleInstance::Claim::First:
            return -1;
        case sw::SingleInstance::Claim::HandedOver:
            say("already running on this display; showing its window");
            return 0;
        case sw::SingleInstance::Claim::Failed:
            break;
    }
    say("another Sizewise holds " + instance.lockPath().toStdString() + " but does not answer");
    return 1;
}

// Runs the program until it ends; the system's requests to end and a lost display end it in
// order too. The program is made once the desktop has told what it reads first.
int run(sw::Backend& backend, std::unique_ptr<sw::Sizewise>& sizewise, sw::Options options) {
    // Qt's and Xlib's objects are half torn down when the display is lost, so only the settings
    // are saved (they need no display) and the process ends at once with status 0.
    const auto endWithoutDisplay = [&sizewise] {
        if (sizewise) sizewise->quitWithoutDisplay();
        std::fflush(nullptr);
        std::_Exit(sizewise ? 0 : 1);  // lost while starting, there was nothing to save
    };
    backend.setConnectionLostHandler(endWithoutDisplay);
    backend.whenReady([&backend, &sizewise, options, endWithoutDisplay] {
        sizewise = std::make_unique<sw::Sizewise>(
            backend.desktop(), options, [](int status) { QCoreApplication::exit(status); });
        sw::Sizewise* root = sizewise.get();
        sw::installEndRequestHandlers([root](sw::EndRequest) { root->quit(); });
        sizewise->start();
        // Registered only now, so that it runs before the exit handlers that Qt registered while
        // the windows were made, while the settings can be written.
        sw::installUnexpectedExitHandler(endWithoutDisplay);
    });
    const int status = QApplication::exec();
    sw::disarmUnexpectedExit();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    sw::connectConsole();
    // Before the display is opened, so that they answer without one.
    if (sw::asksHelpOrVersion(argc, argv)) {
        std::vector<std::string> args(argv + 1, argv + argc);
        return answerCommandLine(sw::parseCommandLine(args));
    }
    std::vector<std::string> notes;
    std::string error;
    const bool usable = sw::platformStartChecks(notes, error);
    for (const std::string& note : notes) say(note);
    if (!usable) {
        say(error);
        return 1;
    }
    QApplication app(argc, argv);
    const sw::CommandLine line = sw::parseCommandLine(programArguments());
    if (const int status = answerCommandLine(line); status >= 0) return status;
    describeApplication();
    if (!line.command.empty()) return runCommand(line.command);
    std::unique_ptr<sw::Backend> backend = sw::createBackend(error);
    if (!backend) {
        say("cannot reach the desktop: " + error);
        return 1;
    }
    for (const std::string& warning : backend->warnings()) say(warning);
    std::unique_ptr<sw::Sizewise> sizewise;
    sw::SingleInstance instance(backend->displayIdentity());
    if (const int status = claimDisplay(instance, sizewise); status >= 0) return status;
    return run(*backend, sizewise, sw::Options{line.splash, backend->offer()});
}

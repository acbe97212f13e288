// The Windows backend assembled: user32 windows, pointer and screen, with the
// settings store (an INI file under %APPDATA%), shell and notification icon that
// Qt provides; per-monitor DPI
// awareness at start, and console events and the session's end as requests to
// end the program.
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <string>

#include "backend.h"
#include "qtnotifyicon.h"
#include "qtsettings.h"
#include "qtshell.h"
#include "win32desktop.h"

#include <QDir>
#include <QGuiApplication>
#include <QSessionManager>

namespace sw {
namespace {

// The system ends a process this long after a console close at the latest; the
// handler waits a little less for the shutdown it asked for.
constexpr auto kConsoleCloseWait = std::chrono::milliseconds(4500);

std::function<void(EndRequest)> consoleEndHandler;

std::string desktopName() {
    wchar_t name[256] = {};
    DWORD needed = 0;
    if (!GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name,
                                   sizeof name, &needed)) {
        return {};
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8.data(), bytes, nullptr, nullptr);
    utf8.resize(utf8.find('\0'));
    return utf8;
}

// The user's roaming application data (%APPDATA%): Windows users look for a
// program's settings there, and they follow the user to other machines of a
// domain. Empty, for the store's default, where the shell does not know it.
QString roamingAppData() {
    PWSTR path = nullptr;
    QString found;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path))) {
        found = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    }
    CoTaskMemFree(path);
    return found;
}

// Runs on a thread of the system's: the request is handed to the event loop,
// and the handler returns once the program has been told (the process ends
// when a close, log-off or shutdown handler returns).
BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT &&
        event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT) {
        return FALSE;
    }
    const EndRequest request = event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT
                                   ? EndRequest::SessionEnd
                                   : EndRequest::Terminate;
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> told = done->get_future();
    QMetaObject::invokeMethod(
        qApp,
        [request, done] {
            if (consoleEndHandler) consoleEndHandler(request);
            done->set_value();
        },
        Qt::QueuedConnection);
    told.wait_for(kConsoleCloseWait);
    return TRUE;
}

class Win32Backend final : public Backend {
public:
    Win32Backend()
        : settings_(roamingAppData(), QStringLiteral(".ini")),
          icon_(QGuiApplication::windowIcon()) {}

    Desktop desktop() override {
        return Desktop{windows_, windows_, windows_, settings_, shell_, icon_, windows_};
    }

    std::vector<std::string> warnings() const override {
        std::vector<std::string> all;
        if (!icon_.hostAvailable()) {
            all.emplace_back("no notification area is running; the icon appears when one starts");
        }
        return all;
    }

    std::string displayIdentity() const override {
        // One instance per desktop of each logon session.
        DWORD session = 0;
        ProcessIdToSessionId(GetCurrentProcessId(), &session);
        return "win32 " + std::to_string(session) + " " + desktopName();
    }

    // A session's desktop stays while its programs run: there is no loss to report.
    void setConnectionLostHandler(std::function<void()>) override {}

private:
    win32::Win32Desktop windows_;
    qt::QtSettingsStore settings_;
    qt::QtShell shell_;
    qt::QtNotifyIcon icon_;
};

}  // namespace

void connectConsole() {
    // A windowed program starts without standard handles unless its parent gave it some (a
    // redirection, a pipe): then it prints to the console of the one that started it, if any.
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if ((out != nullptr && out != INVALID_HANDLE_VALUE) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}

bool platformStartChecks(std::vector<std::string>& notes, std::string&) {
    if (win32::enableDpiAwareness() == win32::DpiAwareness::Unaware) {
        notes.emplace_back(
            "the system scales this program: window sizes are read in scaled pixels");
    }
    return true;
}

std::unique_ptr<Backend> createBackend(std::string&) {
    return std::make_unique<Win32Backend>();
}

void installEndRequestHandlers(std::function<void(EndRequest)> onEnd) {
    consoleEndHandler = onEnd;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp,
                     [onEnd](QSessionManager&) { onEnd(EndRequest::SessionEnd); });
}

}  // namespace sw

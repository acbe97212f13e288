// What the X11 tests run against: a private X server with or without a window
// manager (openbox, xfwm4 compositing, metacity), the project's test client and
// other programs as target applications, a separate connection that reads the
// ground truth (the window manager's frame), and small utilities.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/types.h"

namespace sw {
// Readable failure messages for the value types the tests compare.
void PrintTo(const Rect& rect, std::ostream* out);
void PrintTo(const WindowInfo& info, std::ostream* out);
}  // namespace sw

namespace sw::x11::test {

// A started program, ended (SIGTERM, then waited for) when destroyed.
class Process {
public:
    Process() = default;
    // stdinFd and stdoutFd replace the child's descriptors when >= 0; the child's
    // stderr goes to /dev/null unless keepStderr.
    Process(const std::vector<std::string>& argv, int stdinFd = -1, int stdoutFd = -1,
            int keepFd = -1, bool keepStderr = false);
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;

    pid_t pid() const { return pid_; }
    bool running() const { return pid_ > 0; }
    void stop(int signal = 15);
    // Waits for the program to end by itself; ends it when it has not within limit.
    void wait(std::chrono::milliseconds limit = std::chrono::seconds(20));

private:
    pid_t pid_ = -1;
};

// The focus value X calls PointerRoot.
inline constexpr WindowId kPointerRoot = 1;

// The window managers the tests run under; the numbers are those the test
// binaries are built with.
enum class WindowManager { None = 0, Openbox = 1, Xfwm4 = 2, Metacity = 3 };

// A private Xvfb with a window manager, from the tests' shared desktop harness.
class XServer {
public:
    // Starts Xvfb on a free display; throws std::runtime_error when it does not come up.
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    const std::string& display() const { return display_; }
    // Returns once the window manager frames new windows (and, for those that
    // composite, owns the compositing selection); throws when it does not.
    void startWindowManager(WindowManager wm = WindowManager::Openbox);
    WindowManager windowManager() const { return wmKind_; }
    // Ends the window manager with the signal and waits until it has gone.
    void killWindowManager(int signal);
    void stop();

private:
    std::string ask(const std::string& command);

    std::string display_;
    Process desktop_;
    int commands_ = -1;
    int replies_ = -1;
    WindowManager wmKind_ = WindowManager::None;
};

// The environment of a test binary: one X server for the process, with the
// given window manager (openbox when withWindowManager).
void setUpDisplay(bool withWindowManager);
void setUpDisplay(WindowManager wm);
void tearDownDisplay();
XServer& display();

// The project's test client as a target window.
class TestClient {
public:
    explicit TestClient(const std::vector<std::string>& args = {});
    // Another program as the target: its window is the one whose WM_CLASS
    // instance name is windowClass, once the window manager has taken it on.
    TestClient(const std::vector<std::string>& program, const std::string& windowClass);
    ~TestClient();
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    WindowId window() const { return window_; }
    void command(const std::string& line);
    // Ends the client at once, destroying its window with its connection.
    void kill();

private:
    Process process_;
    int stdin_ = -1;
    WindowId window_ = 0;
};

// An independent connection that reads what the server holds.
class Truth {
public:
    Truth();
    ~Truth();
    Truth(const Truth&) = delete;
    Truth& operator=(const Truth&) = delete;

    // The client's frame (its parent when that is not the root), or the client
    // itself when unmanaged: position in root co-ordinates and outer size.
    Rect frame(WindowId client);
    // What is seen of a managed window: the client with _NET_FRAME_EXTENTS, or,
    // with no frame, the client less the shadow it declares in _GTK_FRAME_EXTENTS.
    Rect visible(WindowId client);
    // A format-32 property's items; empty when unset.
    std::vector<std::uint32_t> words(WindowId window, const std::string& property);
    bool exists(WindowId window);
    WindowId activeWindow();
    void setInputFocus(WindowId window);
    bool hasState(WindowId window, const std::string& stateAtom);
    std::vector<WindowId> stacking();
    void setRootString(const std::string& property, const std::string& value);
    // Replaces a window's 8-bit property, labelled with the named type.
    void setText(WindowId window, const std::string& property, const std::string& type,
                 const std::string& bytes);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Polls done() every 10 ms until it holds or the time is up; also runs the Qt
// event loop so that socket notifiers fire.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::milliseconds(3000));

// Runs a command line through the shell, returning its exit status.
int run(const std::string& commandLine);
// Runs a command line through the shell, returning what it printed, less the
// final line break.
std::string output(const std::string& commandLine);

// The GTK 3 header-bar application the tests use as a client-side decorated
// target; its WM_CLASS instance name is kHeaderBarClass.
std::vector<std::string> headerBarProgram(const std::string& title, const std::string& geometry);
inline constexpr const char* kHeaderBarClass = "sizewise-headerbar";

}  // namespace sw::x11::test

// The private X server, the test client processes and the ground-truth reads
// the X11 tests are built on.
#include "tests/x11/harness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <stdexcept>
#include <thread>

namespace sw {

void PrintTo(const Rect& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

void PrintTo(const WindowInfo& info, std::ostream* out) {
    *out << "{\"" << info.title << "\", ";
    PrintTo(info.rect, out);
    *out << ", state " << info.showState << "}";
}

}  // namespace sw

namespace sw::x11::test {
namespace {

using namespace std::chrono_literals;

// Reads one line from fd, waiting at most limit; empty when nothing came.
std::string readLine(int fd, std::chrono::milliseconds limit) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (poll(&p, 1, static_cast<int>(std::max<long>(1, left.count()))) <= 0) continue;
        char c = 0;
        if (read(fd, &c, 1) != 1) break;
        if (c == '\n') return line;
        line.push_back(c);
    }
    return {};
}

xcb_atom_t intern(xcb_connection_t* c, const std::string& name) {
    auto* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr);
    const xcb_atom_t atom = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(r);
    return atom;
}

std::vector<std::uint32_t> readWords(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property,
                                 xcb_atom_t type) {
    auto* r = xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, 4096),
                                     nullptr);
    std::vector<std::uint32_t> out;
    if (r && r->format == 32) {
        const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(r));
        out.assign(v, v + xcb_get_property_value_length(r) / 4);
    }
    std::free(r);
    return out;
}

std::unique_ptr<XServer> theServer;

}  // namespace

// --- Process ---------------------------------------------------------------

Process::Process(const std::vector<std::string>& argv, int stdinFd, int stdoutFd, int keepFd,
                 bool keepStderr) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        // Servers and clients must not outlive a test binary that crashed.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(127);
        if (stdinFd >= 0) dup2(stdinFd, STDIN_FILENO);
        else {
            const int null = open("/dev/null", O_RDONLY);
            dup2(null, STDIN_FILENO);
        }
        if (stdoutFd >= 0) dup2(stdoutFd, STDOUT_FILENO);
        if (!keepStderr) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDERR_FILENO);
            if (stdoutFd < 0) dup2(null, STDOUT_FILENO);
        }
        for (int fd = 3; fd < 1024; ++fd) {
            if (fd != keepFd) close(fd);
        }
        execvp(args[0], args.data());
        _exit(127);
    }
}

Process::~Process() { stop(); }

Process::Process(Process&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        stop();
        pid_ = other.pid_;
        other.pid_ = -1;
    }
    return *this;
}

void Process::stop(int signal) {
    if (pid_ <= 0) return;
    ::kill(pid_, signal);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

void Process::wait(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(10ms);
    }
    stop();
}

// --- XServer ---------------------------------------------------------------

// The desktop comes from the one harness every test uses (tests/e2e/harness.py),
// which starts Xvfb and the window managers and waits until they are ready.
XServer::XServer() {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe failed");
    desktop_ = Process({"python3", SIZEWISE_DESKTOP_HARNESS, "serve"}, in[0], out[1], -1, true);
    close(in[0]);
    close(out[1]);
    commands_ = in[1];
    replies_ = out[0];
    const std::string reply = readLine(replies_, 60s);
    if (reply.rfind("display ", 0) != 0) throw std::runtime_error("no desktop: " + reply);
    display_ = reply.substr(8);
}

XServer::~XServer() { stop(); }

std::string XServer::ask(const std::string& command) {
    const std::string line = command + "\n";
    if (write(commands_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return {};
    return readLine(replies_, 60s);
}

void XServer::startWindowManager(WindowManager wm) {
    static const char* const names[] = {"none", "openbox", "xfwm4", "metacity"};
    const std::string reply = ask(std::string("wm ") + names[static_cast<int>(wm)]);
    if (reply.rfind("wm ", 0) != 0) throw std::runtime_error("the window manager did not start: " + reply);
    wmKind_ = wm;
}

void XServer::killWindowManager(int signal) {
    if (wmKind_ != WindowManager::None) ask("kill " + std::to_string(signal));
    wmKind_ = WindowManager::None;
}

void XServer::stop() {
    if (commands_ >= 0) close(commands_);
    commands_ = -1;
    // Its input closed, the harness takes the desktop down and ends.
    desktop_.wait();
    if (replies_ >= 0) close(replies_);
    replies_ = -1;
}

void setUpDisplay(bool withWindowManager) {
    setUpDisplay(withWindowManager ? WindowManager::Openbox : WindowManager::None);
}

void setUpDisplay(WindowManager wm) {
    theServer = std::make_unique<XServer>();
    // xdotool, the test client and the backend's default connection all use it.
    setenv("DISPLAY", theServer->display().c_str(), 1);
    theServer->startWindowManager(wm);
}

void tearDownDisplay() { theServer.reset(); }

XServer& display() { return *theServer; }

// --- TestClient ------------------------------------------------------------

TestClient::TestClient(const std::vector<std::string>& args) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe failed");
    std::vector<std::string> argv{SIZEWISE_TESTCLIENT};
    argv.insert(argv.end(), args.begin(), args.end());
    process_ = Process(argv, in[0], out[1], -1, true);
    close(in[0]);
    close(out[1]);
    stdin_ = in[1];
    const std::string id = readLine(out[0], 10s);
    close(out[0]);
    if (id.empty()) throw std::runtime_error("the test client did not show its window");
    window_ = static_cast<WindowId>(std::stoul(id));
}

TestClient::TestClient(const std::vector<std::string>& program, const std::string& windowClass) {
    process_ = Process(program);
    // xdotool waits for the window to exist; timeout bounds a program that never shows it.
    const std::string id = output("timeout 10 xdotool search --sync --limit 1 --classname '^" +
                                  windowClass + "$'");
    if (id.empty()) throw std::runtime_error(program.front() + " did not show its window");
    window_ = static_cast<WindowId>(std::stoul(id));
    // Taken on by the window manager: WM_STATE set, as it is once the frame is mapped.
    Truth truth;
    if (!waitUntil([&] { return !truth.words(window_, "WM_STATE").empty(); }, 10s)) {
        throw std::runtime_error(program.front() + "'s window was never managed");
    }
}

TestClient::~TestClient() {
    kill();
}

void TestClient::command(const std::string& line) {
    const std::string text = line + "\n";
    if (write(stdin_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        throw std::runtime_error("cannot write to the test client");
    }
}

void TestClient::kill() {
    process_.stop(SIGKILL);
    if (stdin_ >= 0) close(stdin_);
    stdin_ = -1;
}

// --- Truth -----------------------------------------------------------------

struct Truth::Impl {
    xcb_connection_t* c = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
};

Truth::Truth() : d(std::make_unique<Impl>()) {
    d->c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(d->c)) throw std::runtime_error("cannot connect");
    d->root = xcb_setup_roots_iterator(xcb_get_setup(d->c)).data->root;
}

Truth::~Truth() { xcb_disconnect(d->c); }

Rect Truth::frame(WindowId client) {
    auto* tree = xcb_query_tree_reply(d->c, xcb_query_tree(d->c, client), nullptr);
    if (!tree) return {};
    const xcb_window_t outer = tree->parent == d->root ? client : tree->parent;
    std::free(tree);
    auto* g = xcb_get_geometry_reply(d->c, xcb_get_geometry(d->c, outer), nullptr);
    if (!g) return {};
    // The frame is a child of the root, so its position is in root co-ordinates.
    const Rect r{g->x, g->y, g->x + g->width + 2 * g->border_width,
                 g->y + g->height + 2 * g->border_width};
    std::free(g);
    return r;
}

Rect Truth::visible(WindowId client) {
    auto* g = xcb_get_geometry_reply(d->c, xcb_get_geometry(d->c, client), nullptr);
    auto* t = xcb_translate_coordinates_reply(
        d->c, xcb_translate_coordinates(d->c, client, d->root, 0, 0), nullptr);
    Rect r;
    if (g && t) {
        const std::int32_t b = g->border_width;
        r = Rect{t->dst_x - b, t->dst_y - b, t->dst_x + g->width + b, t->dst_y + g->height + b};
    }
    std::free(g);
    std::free(t);
    if (r == Rect{}) return r;
    // Extents are left, right, top, bottom.
    const auto frame = words(client, "_NET_FRAME_EXTENTS");
    if (frame.size() == 4 && frame != std::vector<std::uint32_t>(4, 0)) {
        return Rect{r.left - std::int32_t(frame[0]), r.top - std::int32_t(frame[2]),
                    r.right + std::int32_t(frame[1]), r.bottom + std::int32_t(frame[3])};
    }
    const auto shadow = words(client, "_GTK_FRAME_EXTENTS");
    if (shadow.size() != 4) return r;
    return Rect{r.left + std::int32_t(shadow[0]), r.top + std::int32_t(shadow[2]),
                r.right - std::int32_t(shadow[1]), r.bottom - std::int32_t(shadow[3])};
}

std::vector<std::uint32_t> Truth::words(WindowId window, const std::string& property) {
    return test::readWords(d->c, window, intern(d->c, property), XCB_GET_PROPERTY_TYPE_ANY);
}

bool Truth::exists(WindowId window) {
    auto* g = xcb_get_geometry_reply(d->c, xcb_get_geometry(d->c, window), nullptr);
    const bool found = g != nullptr;
    std::free(g);
    return found;
}

WindowId Truth::activeWindow() {
    const auto w = readWords(d->c, d->root, intern(d->c, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    return w.empty() ? 0 : w[0];
}

void Truth::setInputFocus(WindowId window) {
    xcb_set_input_focus(d->c, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(d->c, xcb_get_input_focus(d->c), nullptr));
}

bool Truth::hasState(WindowId window, const std::string& stateAtom) {
    const auto states = readWords(d->c, window, intern(d->c, "_NET_WM_STATE"), XCB_ATOM_ATOM);
    const xcb_atom_t wanted = intern(d->c, stateAtom);
    for (const auto s : states) {
        if (s == wanted) return true;
    }
    return false;
}

std::vector<WindowId> Truth::stacking() {
    const auto w =
        readWords(d->c, d->root, intern(d->c, "_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW);
    return std::vector<WindowId>(w.begin(), w.end());
}

void Truth::setRootString(const std::string& property, const std::string& value) {
    xcb_change_property(d->c, XCB_PROP_MODE_REPLACE, d->root, intern(d->c, property),
                        XCB_ATOM_STRING, 8, static_cast<std::uint32_t>(value.size()),
                        value.data());
    std::free(xcb_get_input_focus_reply(d->c, xcb_get_input_focus(d->c), nullptr));
}

void Truth::setText(WindowId window, const std::string& property, const std::string& type,
                    const std::string& bytes) {
    xcb_change_property(d->c, XCB_PROP_MODE_REPLACE, window, intern(d->c, property),
                        intern(d->c, type), 8, static_cast<std::uint32_t>(bytes.size()),
                        bytes.data());
    std::free(xcb_get_input_focus_reply(d->c, xcb_get_input_focus(d->c), nullptr));
}

// --- waiting and running ---------------------------------------------------

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(10ms);
    }
}

int run(const std::string& commandLine) {
    const int status = std::system(commandLine.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string output(const std::string& commandLine) {
    std::string out;
    if (FILE* pipe = popen(commandLine.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
        pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

std::vector<std::string> headerBarProgram(const std::string& title, const std::string& geometry) {
    // The system interpreter: that is where the GTK bindings are installed.
    return {"/usr/bin/python3", SIZEWISE_X11_TEST_DIR "/headerbar_client.py", title, geometry};
}

}  // namespace sw::x11::test

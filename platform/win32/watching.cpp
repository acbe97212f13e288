// The Windows desktop's changes: window events (SetWinEventHook, out of
// context) for the foreground window and for the place, name, state and end of
// the windows the program reads, posted to a message-only window so that the
// program hears of them from its message loop, never inside a call of its own.
// Where the events cannot be had a timer asks every 100 ms instead. The pointer
// is looked at every 10 ms while the program wants it: a low-level mouse hook
// would run every mouse move of the whole desktop through the program's thread
// and hold the mouse up whenever that thread is busy.
#include "watching.h"

#include <algorithm>

#include "capture.h"
#include "win32desktop.h"

namespace sw::win32 {
namespace {

constexpr UINT kChanged = WM_APP;
constexpr UINT kMonitorsChanged = WM_APP + 1;
constexpr UINT_PTR kChangePoll = 1;
constexpr UINT_PTR kInputPoll = 2;
constexpr UINT kChangePollMs = 100;
constexpr UINT kInputPollMs = 10;
constexpr wchar_t kClassName[] = L"SizewiseDesktopWatcher";

bool runningUnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// The hook procedure gets no context of its own: the one watcher that set
// it is kept here. The program has one desktop, so one watcher.
Watcher* hookedWatcher = nullptr;

void CALLBACK windowEventProc(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                              DWORD, DWORD) {
    if (hookedWatcher != nullptr) hookedWatcher->windowEvent(event, window, object, child);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* watcher = reinterpret_cast<Watcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (watcher != nullptr) return watcher->message(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

Watcher::Watcher() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);  // fails harmlessly once registered
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                              nullptr);
    displayWindow_ = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0,
                                     nullptr, nullptr, instance, nullptr);
    for (const HWND w : {window_, displayWindow_}) {
        if (w != nullptr) SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    hookedWatcher = this;
}

Watcher::~Watcher() {
    setChangeHandler(nullptr);
    setInputHandler(nullptr);
    if (hookedWatcher == this) hookedWatcher = nullptr;
    if (window_ != nullptr) DestroyWindow(window_);
    if (displayWindow_ != nullptr) DestroyWindow(displayWindow_);
}

void Watcher::setChangeHandler(WindowSystem::ChangeHandler onChange) {
    onChange_ = std::move(onChange);
    for (const HWINEVENTHOOK hook : winEventHooks_) UnhookWinEvent(hook);
    winEventHooks_.clear();
    if (window_ != nullptr) KillTimer(window_, kChangePoll);
    if (!onChange_ || window_ == nullptr) return;
    // Wine (8.0 here) accepts the hooks and never calls them.
    if (runningUnderWine()) {
        SetTimer(window_, kChangePoll, kChangePollMs, nullptr);
        return;
    }
    constexpr DWORD ranges[][2] = {{EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND},
                                   {EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND},
                                   {EVENT_OBJECT_DESTROY, EVENT_OBJECT_HIDE},
                                   {EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_NAMECHANGE}};
    for (const auto& range : ranges) {
        const HWINEVENTHOOK hook = SetWinEventHook(range[0], range[1], nullptr, windowEventProc, 0,
                                                   0, WINEVENT_OUTOFCONTEXT);
        if (hook == nullptr) break;
        winEventHooks_.push_back(hook);
    }
    if (winEventHooks_.size() == std::size(ranges)) return;
    for (const HWINEVENTHOOK hook : winEventHooks_) UnhookWinEvent(hook);
    winEventHooks_.clear();
    SetTimer(window_, kChangePoll, kChangePollMs, nullptr);
}

void Watcher::setInputHandler(PointerInput::InputHandler onInput) {
    onInput_ = std::move(onInput);
    if (window_ == nullptr) return;
    if (onInput_) {
        SetTimer(window_, kInputPoll, kInputPollMs, nullptr);
    } else {
        KillTimer(window_, kInputPoll);
    }
}

void Watcher::described(HWND window) {
    if (std::find(thisReading_.begin(), thisReading_.end(), window) == thisReading_.end()) {
        thisReading_.push_back(window);
    }
}

void Watcher::foregroundRead() {
    lastReading_ = std::move(thisReading_);
    thisReading_.clear();
}

bool Watcher::watched(HWND window) const {
    return std::find(lastReading_.begin(), lastReading_.end(), window) != lastReading_.end() ||
           std::find(thisReading_.begin(), thisReading_.end(), window) != thisReading_.end();
}

void Watcher::windowEvent(DWORD event, HWND window, LONG object, LONG child) {
    if (object != OBJID_WINDOW || child != CHILDID_SELF) return;
    if (event == EVENT_SYSTEM_FOREGROUND || watched(window)) post(kChanged, changePosted_);
}

void Watcher::post(UINT message, bool& posted) {
    if (posted || window_ == nullptr) return;
    posted = PostMessageW(window_, message, 0, 0) != FALSE;
}

LRESULT Watcher::message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Sent, also while the program waits inside a call of its own: told later,
    // from the message loop.
    if (message == WM_DISPLAYCHANGE) {
        post(kMonitorsChanged, monitorsPosted_);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == kMonitorsChanged) {
        monitorsPosted_ = false;
        if (onMonitors_) onMonitors_();
        return 0;
    }
    if (message == kChanged || (message == WM_TIMER && wParam == kChangePoll)) {
        changePosted_ = false;
        if (onChange_) onChange_();
        return 0;
    }
    if (message == WM_HOTKEY) {
        // Posted: already from the message loop. Ids count from 1.
        if (onHotkey_ && wParam >= 1) onHotkey_(static_cast<std::size_t>(wParam - 1));
        return 0;
    }
    if (message == WM_TIMER && wParam == kInputPoll) {
        if (onInput_) onInput_();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

Win32Desktop::Win32Desktop()
    : watcher_(std::make_unique<Watcher>()), catcher_(std::make_unique<ClickCatcher>()) {}

Win32Desktop::~Win32Desktop() {
    for (int id = 1; id <= hotkeys_; ++id) UnregisterHotKey(watcher_->messageWindow(), id);
}

bool Win32Desktop::changesFromEvents() const {
    return watcher_->changesFromEvents();
}

void Win32Desktop::setChangeHandler(ChangeHandler onChange) {
    watcher_->setChangeHandler(std::move(onChange));
}

void Win32Desktop::setInputHandler(InputHandler onInput) {
    watcher_->setInputHandler(std::move(onInput));
}

void Win32Desktop::setMonitorsHandler(MonitorsHandler onChange) {
    watcher_->setMonitorsHandler(std::move(onChange));
}

}  // namespace sw::win32

// The low-level mouse hook that takes measuring clicks.
#include "capture.h"

namespace sw::win32 {
namespace {

// The hook procedure gets no context of its own; the program has one desktop, so one catcher.
ClickCatcher* hookedCatcher = nullptr;

LRESULT CALLBACK mouseProc(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION && hookedCatcher != nullptr && hookedCatcher->take(message)) return 1;
    return CallNextHookEx(nullptr, code, message, data);
}

bool shiftDown() {
    return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
}

}  // namespace

ClickCatcher::~ClickCatcher() {
    setCapture(ClickCapture::Off);
}

bool ClickCatcher::setCapture(ClickCapture capture) {
    capture_ = capture;
    if (capture == ClickCapture::Off) {
        if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
        if (hookedCatcher == this) hookedCatcher = nullptr;
        leftHeld_ = false;
        return true;
    }
    hookedCatcher = this;
    if (hook_ == nullptr) {
        hook_ = SetWindowsHookExW(WH_MOUSE_LL, mouseProc, GetModuleHandleW(nullptr), 0);
    }
    return hook_ != nullptr;
}

KeyStates ClickCatcher::takePresses() {
    const KeyStates out = taken_;
    taken_ = KeyStates{};
    return out;
}

bool ClickCatcher::take(WPARAM message) {
    switch (message) {
        case WM_LBUTTONDOWN:
            if (capture_ == ClickCapture::All || shiftDown()) {
                taken_.left = true;
                taken_.shift = taken_.shift || shiftDown();
                leftHeld_ = true;
                return true;
            }
            return false;
        case WM_LBUTTONUP: {
            const bool held = leftHeld_;
            leftHeld_ = false;
            return held || capture_ == ClickCapture::All;
        }
        case WM_RBUTTONDOWN:
            if (capture_ != ClickCapture::All) return false;
            taken_.right = true;
            return true;
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return capture_ == ClickCapture::All;
        default:
            return false;
    }
}

}  // namespace sw::win32

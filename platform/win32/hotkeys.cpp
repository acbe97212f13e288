// Global shortcuts: hot keys registered for the watcher's message-only window, whose presses the
// system posts to it whichever window has the keyboard.
#include "watching.h"
#include "win32desktop.h"

namespace sw::win32 {
namespace {

UINT virtualKeyOf(std::uint32_t key) {
    // Letters and digits are their own virtual-key codes.
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return key;
    if (key > Shortcut::kFunctionKey && key <= Shortcut::kFunctionKey + 24)
        return VK_F1 + (key - Shortcut::kFunctionKey - 1);
    return 0;
}

}  // namespace

std::vector<std::string> Win32Desktop::takeShortcuts(const std::vector<Shortcut>& shortcuts,
                                                     PressHandler onPress) {
    const HWND window = watcher_->messageWindow();
    for (int id = 1; id <= hotkeys_; ++id) UnregisterHotKey(window, id);
    hotkeys_ = static_cast<int>(shortcuts.size());
    std::vector<std::string> refusals;
    for (std::size_t n = 0; n < shortcuts.size(); ++n) {
        const Shortcut& s = shortcuts[n];
        const UINT key = virtualKeyOf(s.key);
        if (s.key == 0 || key == 0) {
            refusals.emplace_back(s.key == 0 ? "" : "no key of this keyboard makes it");
            continue;
        }
        // Held down, a key repeats: one press is one command.
        const UINT mods = (s.ctrl ? MOD_CONTROL : 0) | (s.alt ? MOD_ALT : 0) |
                          (s.shift ? MOD_SHIFT : 0) | (s.meta ? MOD_WIN : 0) | MOD_NOREPEAT;
        const bool taken = RegisterHotKey(window, static_cast<int>(n) + 1, mods, key) != FALSE;
        refusals.emplace_back(taken ? "" : "another program holds it");
    }
    watcher_->setHotkeyHandler(std::move(onPress));
    return refusals;
}

}  // namespace sw::win32

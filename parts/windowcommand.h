// The commands given on the command line (get, set, move, size, preset, origin, the show states,
// the rulers and the main window): how their words are read, where they put a window, and how a
// window's reading is printed for people and for scripts.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "desktop.h"
#include "dimensionedit.h"
#include "presets.h"

namespace sw {

// What a finished command prints and its exit status: 0 done, 1 not done (no window, refused,
// ended elsewhere, no answer), 2 bad usage.
struct Reply {
    int status = 0;
    std::string out;
    std::string err;
};

inline constexpr int kDone = 0;
inline constexpr int kNotDone = 1;
inline constexpr int kBadUsage = 2;

enum class Verb {
    Get,
    Set,  // set, move and size: typed values in the order given
    Preset,
    Origin,
    Minimise,
    Restore,
    Maximise,
    ShowRulers,
    HideRulers,
    ToggleRulers,
    ShowWindow,
    HideWindow,
};

struct WindowCommand {
    Verb verb = Verb::Get;
    bool json = false;
    WindowId window = 0;  // 0: the target (or the foreground window)
    std::vector<std::pair<Dimension, std::string>> values;
    int preset = 0;
};

// Whether the word starts a command rather than the program's run.
bool isCommandWord(const std::string& word);

// The command and its options; a sentence saying what is wrong when they do not make one. Numbers
// are read as typed values are; only the running program can show or hide its windows.
std::variant<WindowCommand, std::string> parseWindowCommand(const std::vector<std::string>& args);

// Whether the command needs the running program (its rulers or its main window).
bool needsRunningProgram(const WindowCommand& command);

// Where the typed values put a window with this frame, each applied to the frame the one before
// it gave; refused, with the reason, when one does not fit.
std::optional<Placement> placementFor(const Rect& frame, const WindowCommand& command,
                                      std::string* why);

// A preset's placement: the slot's size at the frame's top-left corner; none for an empty slot.
std::optional<Placement> presetPlacement(const Rect& frame, const PresetValues& presets, int slot);

// What get prints: one line for people, or one JSON object with stable keys. monitor counts
// from 1 in the desktop's order (the primary first).
std::string describeForCommand(WindowId window, const WindowInfo& info, int monitor, bool json);

// The 1-based number of the monitor that holds most of the rectangle; 0 with none.
int monitorNumber(const std::vector<Rect>& monitors, const Rect& rect);

std::string commandsUsage();

}  // namespace sw

// The command line's commands: their words, their placements and what get prints.
#include "windowcommand.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <map>

#include "monitorgeometry.h"
#include "numbers.h"

namespace sw {
namespace {

const std::map<std::string, Verb>& verbs() {
    static const std::map<std::string, Verb> words{
        {"get", Verb::Get},           {"set", Verb::Set},         {"move", Verb::Set},
        {"size", Verb::Set},          {"preset", Verb::Preset},   {"origin", Verb::Origin},
        {"minimize", Verb::Minimise}, {"restore", Verb::Restore}, {"maximize", Verb::Maximise},
        {"rulers", Verb::ShowRulers}, {"show", Verb::ShowWindow}, {"hide", Verb::HideWindow}};
    return words;
}

const std::map<std::string, Dimension>& setOptions() {
    static const std::map<std::string, Dimension> options{
        {"--left", Dimension::Left},   {"--top", Dimension::Top},
        {"--right", Dimension::Right}, {"--bottom", Dimension::Bottom},
        {"--width", Dimension::Width}, {"--height", Dimension::Height}};
    return options;
}

// A window id as the window system prints it: decimal, or hexadecimal after 0x.
std::optional<WindowId> parseWindowId(const std::string& text) {
    const bool hex = text.size() > 2 && (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0);
    bool ok = false;
    const qulonglong id = QString::fromStdString(text).toULongLong(&ok, hex ? 16 : 10);
    if (!ok || id == 0 || id > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<WindowId>(id);
}

// A value as typed over one of the six: refused as the entry box refuses it.
std::optional<std::string> badNumber(const std::string& text) {
    std::string why;
    if (parseInt32(text, &why)) return std::nullopt;
    return "\"" + text + "\" is not a usable number: " + why;
}

// The words after the command's own, for the commands that take them.
std::optional<std::string> readOperands(WindowCommand& c, const std::string& word,
                                        const std::vector<std::string>& rest) {
    const auto want = [&](std::size_t n) -> std::optional<std::string> {
        if (rest.size() == n) return std::nullopt;
        return word + " takes " + std::to_string(n) + (n == 1 ? " value" : " values");
    };
    if (word == "move" || word == "size") {
        if (auto wrong = want(2)) return wrong;
        const bool move = word == "move";
        c.values = {{move ? Dimension::Left : Dimension::Width, rest[0]},
                    {move ? Dimension::Top : Dimension::Height, rest[1]}};
    } else if (word == "preset") {
        if (auto wrong = want(1)) return wrong;
        if (rest[0].size() != 1 || rest[0][0] < '0' || rest[0][0] > '9')
            return "preset takes a slot from 0 to 9";
        c.preset = rest[0][0] - '0';
    } else if (word == "rulers") {
        if (auto wrong = want(1)) return wrong;
        const std::map<std::string, Verb> actions{
            {"show", Verb::ShowRulers}, {"hide", Verb::HideRulers}, {"toggle", Verb::ToggleRulers}};
        const auto action = actions.find(rest[0]);
        if (action == actions.end()) return "rulers takes show, hide or toggle";
        c.verb = action->second;
    } else if (word != "set" && !rest.empty()) {
        return word + " takes no values";
    }
    for (const auto& [dimension, text] : c.values) {
        if (auto bad = badNumber(text)) return bad;
    }
    return std::nullopt;
}

}  // namespace

bool isCommandWord(const std::string& word) {
    return verbs().count(word) != 0;
}

std::variant<WindowCommand, std::string> parseWindowCommand(const std::vector<std::string>& args) {
    if (args.empty() || !isCommandWord(args[0])) return "no command";
    WindowCommand c;
    c.verb = verbs().at(args[0]);
    std::vector<std::string> rest;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool last = i + 1 == args.size();
        if (a == "--json" && c.verb == Verb::Get) {
            c.json = true;
        } else if (a == "--window") {
            const auto id = last ? std::nullopt : parseWindowId(args[++i]);
            if (!id) return std::string("--window takes a window id, such as 0x3a00007");
            c.window = *id;
        } else if (c.verb == Verb::Set && args[0] == "set" && setOptions().count(a) != 0) {
            if (last) return a + " takes a value";
            c.values.emplace_back(setOptions().at(a), args[++i]);
        } else if (a.size() > 1 && a[0] == '-' && !parseNumber(a)) {
            return "unknown option " + a + " for " + args[0];
        } else {
            rest.push_back(a);
        }
    }
    if (auto wrong = readOperands(c, args[0], rest)) return *wrong;
    if (c.verb == Verb::Set && c.values.empty()) return std::string("set takes at least one value");
    if (needsRunningProgram(c) && c.window != 0) return args[0] + " takes no --window";
    return c;
}

bool needsRunningProgram(const WindowCommand& command) {
    return command.verb >= Verb::ShowRulers;
}

std::optional<Placement> placementFor(const Rect& frame, const WindowCommand& command,
                                      std::string* why) {
    Rect now = frame;
    std::optional<Placement> placement;
    for (const auto& [dimension, text] : command.values) {
        placement = placementForEdit(now, dimension, text, why);
        const std::optional<Rect> next = placement ? frameOf(*placement) : std::nullopt;
        if (!next) {
            if (placement && why != nullptr) *why = "Number out of range";
            return std::nullopt;
        }
        now = *next;
    }
    return placement;
}

std::optional<Placement> presetPlacement(const Rect& frame, const PresetValues& presets, int slot) {
    const std::int32_t width = presets.width.at(static_cast<std::size_t>(slot));
    const std::int32_t height = presets.height.at(static_cast<std::size_t>(slot));
    if (!presetIsSet(width, height)) return std::nullopt;
    return Placement{frame.left, frame.top, width, height};
}

int monitorNumber(const std::vector<Rect>& monitors, const Rect& rect) {
    const Rect holder = monitorHoldingMost(monitors, rect);
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        if (monitors[i] == holder) return static_cast<int>(i) + 1;
    }
    return 0;
}

std::string describeForCommand(WindowId window, const WindowInfo& info, int monitor, bool json) {
    static const char* const states[] = {"gone", "normal", "minimized", "maximized"};
    const char* state = states[static_cast<int>(info.state)];
    const Rect& r = info.rect;
    if (json) {
        const QJsonObject o{{"window", static_cast<qint64>(window)},
                            {"title", QString::fromStdString(info.title)},
                            {"left", r.left},
                            {"top", r.top},
                            {"right", r.right},
                            {"bottom", r.bottom},
                            {"width", static_cast<qint64>(r.width())},
                            {"height", static_cast<qint64>(r.height())},
                            {"state", state},
                            {"monitor", monitor}};
        return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString() + "\n";
    }
    return "Left " + formatInteger(r.left) + " Top " + formatInteger(r.top) + " Right " +
           formatInteger(r.right) + " Bottom " + formatInteger(r.bottom) + " Width " +
           formatInteger(r.width()) + " Height " + formatInteger(r.height()) + " " + state +
           " monitor " + std::to_string(monitor) + " \"" + info.title + "\"\n";
}

std::string commandsUsage() {
    return "Commands (on the window Sizewise watches, else the active window):\n"
           "  get [--json]                   print its place, size, state and monitor\n"
           "  set [--left N] [--top N] [--right N] [--bottom N] [--width N] [--height N]\n"
           "                                 as if the values were typed, in that order\n"
           "  move X Y, size W H             its top-left corner, its size\n"
           "  preset N                       the size of preset N (0-9)\n"
           "  origin                         to the top-left corner of its monitor\n"
           "  minimize, restore, maximize\n"
           "  rulers show|hide|toggle, show, hide   the running Sizewise's rulers and window\n"
           "  --window ID                    act on that window instead\n"
           "Exit status: 0 done; 1 no window, refused or ended elsewhere (said where), or\n"
           "no answer from the running Sizewise; 2 bad usage.\n";
}

}  // namespace sw

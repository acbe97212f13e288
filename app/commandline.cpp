// The command line.
#include "commandline.h"

#include <string_view>

#include "appinfo.h"

namespace sw {

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (auto a = arguments.begin(); a != arguments.end(); ++a) {
        if (line.unknown.empty() && isCommandWord(*a)) {
            line.command.assign(a, arguments.end());
            break;
        }
        if (*a == "--no-splash") {
            line.splash = false;
        } else if (*a == "--help" || *a == "-h") {
            line.help = true;
        } else if (*a == "--version" || *a == "-v") {
            line.version = true;
        } else if (line.unknown.empty()) {
            line.unknown = *a;
        }
    }
    return line;
}

bool asksHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h" || a == "--version" || a == "-v") return true;
    }
    return false;
}

std::string usageText() {
    return std::string(
               "Usage: sizewise [--no-splash]\n"
               "       sizewise COMMAND [--window ID] [VALUES]\n"
               "Shows where the window you work in is, and its size, to the pixel, and\n"
               "lets you type new values, use size presets and measure with two rulers.\n"
               "\n"
               "  --no-splash   start without the three-second about window\n"
               "  -h, --help    show this help and exit\n"
               "  -v, --version show the version and exit\n"
               "\n"
               "Qt's own options, such as -display, are understood as well.\n\n") +
           commandsUsage();
}

std::optional<Reply> replyTo(const CommandLine& line) {
    if (line.help) return Reply{0, usageText(), ""};
    if (line.version) return Reply{0, std::string(kAppTitle) + " " + versionText() + "\n", ""};
    if (!line.command.empty()) {
        const auto command = parseWindowCommand(line.command);
        if (const auto* why = std::get_if<std::string>(&command))
            return Reply{kBadUsage, "", "Sizewise: " + *why + "; see sizewise --help\n"};
        return std::nullopt;
    }
    if (line.unknown.empty()) return std::nullopt;
    return Reply{2, "", "Sizewise: unknown option " + line.unknown + "\n" + usageText()};
}

}  // namespace sw

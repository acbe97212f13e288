// The command line: --no-splash, --help, --version and the commands. Qt's own
// options (-display, -platform and the like) are left for Qt.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "windowcommand.h"

namespace sw {

struct CommandLine {
    bool splash = true;
    bool help = false;
    bool version = false;
    // An option neither the program nor Qt knows; empty when there is none.
    std::string unknown;
    // A command and the words after it; empty when the program is to run.
    std::vector<std::string> command;
};

// The arguments after the program's name, as Qt has left them.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// True when the arguments ask for help or the version: both are answered before
// the display is opened, so they work without one.
bool asksHelpOrVersion(int argc, char** argv);

// What the command line asks for before anything starts: the usage or the
// version (status 0), or the refusal of an option nobody knows or of a command
// that cannot be carried out as written (status 2). None when the program is to
// run or the command to be carried out.
std::optional<Reply> replyTo(const CommandLine& line);

std::string usageText();

}  // namespace sw

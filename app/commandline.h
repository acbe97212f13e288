// The command line: --no-splash, --help and --version. Qt's own options
// (-display, -platform and the like) are left for Qt.
#pragma once

#include <string>
#include <vector>

namespace sw {

struct CommandLine {
    bool splash = true;
    bool help = false;
    bool version = false;
    // An option neither the program nor Qt knows; empty when there is none.
    std::string unknown;
};

// The arguments after the program's name, as Qt has left them.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// True when the arguments ask for help or the version: both are answered before
// the display is opened, so they work without one.
bool AsksHelpOrVersion(int argc, char** argv);

std::string UsageText();
std::string VersionLineText();

}  // namespace sw

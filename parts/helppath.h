// Where the help pages are looked for: beside the program in the build tree, in
// the installed tree relative to the program, and at the place the build installs
// them to.
#pragma once

#include <string>
#include <vector>

namespace sw {

// The folder the build installs the help pages to (share/sizewise/help under
// the install prefix).
std::string installedHelpDir();

// The contents pages to try, best first: <programDir>/help/index.html,
// <programDir>/../share/sizewise/help/index.html, <installedHelpDir>/index.html.
std::vector<std::string> helpSearchPaths(const std::string& programDir,
                                         const std::string& installedHelpDir = installedHelpDir());

// The first of helpSearchPaths that is a file, or "" when none is.
std::string findHelp(const std::string& programDir,
                     const std::string& installedHelpDir = installedHelpDir());

}  // namespace sw

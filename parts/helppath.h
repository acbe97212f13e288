// Where the help pages are looked for: beside the program in the build tree, in
// the installed tree relative to the program, and at the place the build installs
// them to.
#pragma once

#include <string>
#include <vector>

namespace sw {

// The folder the build installs the help pages to (share/sizewise/help under
// the install prefix).
std::string InstalledHelpDir();

// The contents pages to try, best first: <programDir>/help/index.html,
// <programDir>/../share/sizewise/help/index.html, <installedHelpDir>/index.html.
std::vector<std::string> HelpSearchPaths(const std::string& programDir,
                                         const std::string& installedHelpDir = InstalledHelpDir());

// The first of HelpSearchPaths that is a file, or "" when none is.
std::string FindHelp(const std::string& programDir,
                     const std::string& installedHelpDir = InstalledHelpDir());

}  // namespace sw

// Where the program's help pages are found, relative to the program's folder.
#pragma once

#include <string>
#include <vector>

namespace sw {

// The places, in order, where the help's contents page (index.html) may be.
std::vector<std::string> HelpSearchPaths(const std::string& programDir);

// The full path of the first contents page that exists, or empty.
std::string FindHelp(const std::string& programDir);

}  // namespace sw

// Where the program's help pages are found: beside the program in a build tree,
// under share/ once installed.
#include "app/helppath.h"

#include <filesystem>

namespace sw {

std::vector<std::string> HelpSearchPaths(const std::string& programDir) {
    const std::filesystem::path dir(programDir);
    return {(dir / "help" / "index.html").lexically_normal().string(),
            (dir / ".." / "share" / "sizewise" / "help" / "index.html").lexically_normal().string()};
}

std::string FindHelp(const std::string& programDir) {
    std::error_code error;
    for (const std::string& path : HelpSearchPaths(programDir)) {
        if (std::filesystem::is_regular_file(path, error)) return path;
    }
    return {};
}

}  // namespace sw

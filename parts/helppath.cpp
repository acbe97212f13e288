// Finding the help pages. A relocated install (a package unpacked elsewhere, a
// prefix other than the configured one) is found relative to the program before
// the configured place is tried.
#include "helppath.h"

#include <filesystem>
#include <system_error>

namespace sw {

namespace fs = std::filesystem;

std::string installedHelpDir() {
    return SIZEWISE_HELP_DIR;
}

std::vector<std::string> helpSearchPaths(const std::string& programDir,
                                         const std::string& installedHelpDir) {
    const fs::path program(programDir);
    return {
        (program / "help" / "index.html").lexically_normal().string(),
        (program / ".." / "share" / "sizewise" / "help" / "index.html").lexically_normal().string(),
        (fs::path(installedHelpDir) / "index.html").lexically_normal().string(),
    };
}

std::string findHelp(const std::string& programDir, const std::string& installedHelpDir) {
    for (const std::string& candidate : helpSearchPaths(programDir, installedHelpDir)) {
        std::error_code error;  // an unreadable folder counts as no help there
        if (fs::is_regular_file(candidate, error)) return candidate;
    }
    return {};
}

}  // namespace sw

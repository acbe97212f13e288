// The application's own facts: its title, its maker and the version of this build.
#pragma once

#include <string>

namespace sw {

inline constexpr const char* kAppTitle = "Sizewise";
inline constexpr const char* kAppMaker = "Korvath";

// "1.0.0": major, minor and revision of this build.
inline std::string versionText() {
    return std::to_string(SIZEWISE_VERSION_MAJOR) + "." + std::to_string(SIZEWISE_VERSION_MINOR) +
           "." + std::to_string(SIZEWISE_VERSION_PATCH);
}

}  // namespace sw

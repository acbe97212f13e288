// Sizewise's GNOME Shell extension as the user's session has it (the Shell, the extension running
// and its version, the extension installed for the user), and its installation for the user, which
// the Shell loads at the next log-in.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace sw::gnome {

inline constexpr const char* kExtensionUuid = "sizewise@sizewise.github.io";
// The version of the extension's interface this Sizewise needs.
inline constexpr unsigned kExtensionVersion = 2;

struct ExtensionState {
    bool shellRunning = false;      // org.gnome.Shell is on the session bus
    std::string shellVersion;       // "43.9"
    unsigned runningVersion = 0;    // the extension serving, 0 when none
    bool installedForUser = false;  // unpacked in the user's extensions folder
};

// Asks the session bus and looks in the user's extensions folder: a few short calls, made once
// at start.
ExtensionState probeExtension();

// The extension's package for this Shell ("sizewise-gnome43.zip" for GNOME 43 and 44,
// "sizewise-gnome45.zip" for later ones), looked for in these folders in order; empty when none
// has it.
std::string findExtensionPackage(const std::vector<std::string>& folders,
                                 const std::string& shellVersion);

// The folders a package is looked for in: beside the program (a build), the data folder of a
// relocated install, the configured data folder.
std::vector<std::string> extensionFolders(const std::string& programDir);

// gsettings' printed string array with the uuid added when missing, printed again.
std::string withExtensionEnabled(const std::string& printedArray, const std::string& uuid);

// Installs the package for the user and adds it to the extensions the Shell enables, through
// gnome-extensions and gsettings, without waiting for them; done runs from the event loop with
// whether it worked and what the user is to do next (or why it failed).
void installExtension(const std::string& package,
                      std::function<void(bool ok, const std::string& said)> done);

}  // namespace sw::gnome

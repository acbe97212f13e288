// Opening links and help with the desktop's default programs, through Qt.
#pragma once

#include "platform/desktop.h"

namespace sw::qt {

class QtShell final : public Shell {
public:
    bool openLink(const std::string& target) override;
    bool openHelp(const std::string& path) override;
};

}  // namespace sw::qt

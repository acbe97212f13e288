// Opening links with the desktop's default programs, through Qt.
#pragma once

#include "desktop.h"

namespace sw::qt {

class QtShell final : public Shell {
public:
    bool openLink(const std::string& target) override;
};

}  // namespace sw::qt

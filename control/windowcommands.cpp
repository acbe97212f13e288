// Which show command each window-state button sends.
#include "control/windowcommands.h"

namespace sw {

std::optional<ShowCommand> ShowCommandForOption(int index) {
    switch (index) {
        case 0: return ShowCommand::ShowNormal;
        case 1: return ShowCommand::Minimise;
        case 2: return ShowCommand::ShowMaximised;
        default: return std::nullopt;
    }
}

int OptionForShowState(int showState) {
    return showState >= kShowStateNormal && showState <= kShowStateMaximised ? showState - 1 : -1;
}

}  // namespace sw

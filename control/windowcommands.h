// Which show command each window-state button sends, and which button stands for
// a show state.
#pragma once

#include <optional>

#include "platform/types.h"

namespace sw {

// Buttons, left to right: minimise (index 1), restore (0), maximise (2); the index
// is the show state minus one.
std::optional<ShowCommand> ShowCommandForOption(int index);

// The button index that shows a show state; -1 for a state that selects none.
int OptionForShowState(int showState);

}  // namespace sw

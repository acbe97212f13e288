// Turns SIGTERM, SIGINT and SIGHUP into a call on the Qt event loop, so that the
// program shuts down in order instead of dying mid-event.
#pragma once

#include <functional>

namespace sw {

// Installs the handlers; onSignal runs on the event loop's thread, once per signal.
void installTerminationHandler(std::function<void(int signal)> onSignal);

}  // namespace sw

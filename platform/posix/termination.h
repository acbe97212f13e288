// Turns SIGTERM, SIGINT and SIGHUP into a call on the Qt event loop, so that the
// program shuts down in order instead of dying mid-event; and keeps SIGPIPE from
// ending it when the display's socket closes under a write.
#pragma once

#include <functional>

namespace sw {

// Installs the handlers; onSignal runs on the event loop's thread, once per signal.
void installTerminationHandler(std::function<void(int signal)> onSignal);

// Lets writes to a closed socket fail with EPIPE instead of ending the process.
void ignoreBrokenPipes();

}  // namespace sw

// The handler of an unexpected exit. std::atexit takes no context, so this is
// the one place that keeps it.
#include <cstdlib>
#include <functional>

#include "backend.h"

namespace sw {
namespace {

std::function<void()>& unexpectedExitHandler() {
    static std::function<void()> handler;
    return handler;
}

extern "C" void runUnexpectedExitHandler() {
    // Taken out first, so that it runs at most once.
    const std::function<void()> handler = std::move(unexpectedExitHandler());
    unexpectedExitHandler() = nullptr;
    if (handler) handler();
}

}  // namespace

void installUnexpectedExitHandler(std::function<void()> handler) {
    unexpectedExitHandler() = std::move(handler);
    std::atexit(runUnexpectedExitHandler);
}

void disarmUnexpectedExit() {
    unexpectedExitHandler() = nullptr;
}

}  // namespace sw

// Fuzzes the window titles: _NET_WM_NAME and WM_NAME as a client may set them, in
// any encoding and cut short by the read anywhere. The title shown is UTF-8, at
// most 254 characters, and the start of the whole title. Xlib converts compound
// text on a display, so a private Xvfb serves it.
#include <X11/Xlib.h>
#include <signal.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "check.h"
#include "text.h"
#include "titles.h"

namespace {

// Names the property that failed before the fuzzer keeps the input.
Display* gDisplay = nullptr;
Atom gCompoundText = 0;
int gServer = 0;

void stopServer() {
    if (gServer > 0) kill(gServer, SIGTERM);
}

sw::x11::RawTitle raw(std::string_view bytes, unsigned flags) {
    constexpr sw::x11::TitleEncoding kEncodings[] = {sw::x11::TitleEncoding::Utf8, sw::x11::TitleEncoding::Latin1,
                                                    sw::x11::TitleEncoding::CompoundText, sw::x11::TitleEncoding::Other};
    return sw::x11::RawTitle{bytes, kEncodings[flags & 3], (flags & 4) != 0};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FILE* server = popen("Xvfb -displayfd 1 -nolisten tcp -screen 0 320x240x24 2>/dev/null & echo $!", "r");
    int number = -1;
    if (server == nullptr || std::fscanf(server, "%d %d", &gServer, &number) != 2) std::abort();
    std::atexit(stopServer);
    gDisplay = XOpenDisplay((":" + std::to_string(number)).c_str());
    if (gDisplay == nullptr) std::abort();
    // As the backend does: the atoms the conversion names are in the cache first.
    char compoundText[] = "COMPOUND_TEXT", utf8String[] = "UTF8_STRING", text[] = "TEXT";
    char* names[] = {compoundText, utf8String, text};
    Atom atoms[3];
    XInternAtoms(gDisplay, names, 3, False, atoms);
    gCompoundText = atoms[0];
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first byte picks each property's encoding and whether its read was cut;
    // the second where the first property's bytes end.
    const unsigned flags = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::size_t split = std::min<std::size_t>(data[1] * 4u, rest.size());
    const auto netWmName = raw(rest.substr(0, split), flags);
    const auto wmName = raw(rest.substr(split), flags >> 3);
    const sw::x11::CompoundTextConverter converter{gDisplay, static_cast<std::uint32_t>(gCompoundText)};
    const std::string whole = sw::x11::decodeWholeTitle(netWmName, wmName, converter);
    const std::string shown = sw::x11::decodeTitle(netWmName, wmName, converter);
    check(sw::x11::isValidUtf8(shown));
    check(sw::characterCount(shown) <= sw::x11::kMaxTitleCharacters);
    check(whole.compare(0, shown.size(), shown) == 0);
    return 0;
}

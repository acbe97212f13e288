// Fuzzes the window titles: _NET_WM_NAME and WM_NAME in any encoding, cut short by
// the read anywhere. The title shown is UTF-8, at most 254 characters and the start
// of the whole title. Xlib converts compound text on a display: a private Xvfb.
#include <X11/Xlib.h>
#include <signal.h>

#include <cstdint>
#include <string>

#include "check.h"
#include "text.h"
#include "titles.h"

namespace {

sw::x11::CompoundTextConverter converter;
int serverPid = 0;

sw::x11::RawTitle raw(std::string_view bytes, unsigned flags) {
    using E = sw::x11::TitleEncoding;
    constexpr E kEncodings[] = {E::Utf8, E::Latin1, E::CompoundText, E::Other};
    return sw::x11::RawTitle{bytes, kEncodings[flags & 3], (flags & 4) != 0};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // -terminate: the server ends with its last client, also when a found input aborts the fuzzer.
    FILE* server = popen(
        "Xvfb -displayfd 1 -nolisten tcp -terminate -screen 0 320x240x24 2>/dev/null & echo $!",
        "r");
    int number = -1;
    check(server != nullptr && std::fscanf(server, "%d %d", &serverPid, &number) == 2);
    std::atexit([] { kill(serverPid, SIGTERM); });
    Display* display = XOpenDisplay((":" + std::to_string(number)).c_str());
    check(display != nullptr);
    // As the backend does: the atoms the conversion names are in the cache first.
    char compoundText[] = "COMPOUND_TEXT", utf8String[] = "UTF8_STRING", text[] = "TEXT";
    char* names[] = {compoundText, utf8String, text};
    Atom atoms[3];
    XInternAtoms(display, names, 3, False, atoms);
    converter = sw::x11::CompoundTextConverter{display, static_cast<std::uint32_t>(atoms[0])};
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first byte picks each property's encoding and whether its read was cut;
    // the second where the first property's bytes end.
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::size_t split = std::min<std::size_t>(data[1] * 4u, rest.size());
    const auto netWmName = raw(rest.substr(0, split), data[0]),
               wmName = raw(rest.substr(split), data[0] >> 3);
    const std::string whole = sw::x11::decodeWholeTitle(netWmName, wmName, converter);
    const std::string shown = sw::x11::decodeTitle(netWmName, wmName, converter);
    check(sw::x11::isValidUtf8(shown) && sw::characterCount(shown) <= sw::x11::kMaxTitleCharacters);
    check(whole.compare(0, shown.size(), shown) == 0);
    return 0;
}

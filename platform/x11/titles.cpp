// Decoding of X window titles into the program's UTF-8 titles.
#include "titles.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "text.h"

namespace sw::x11 {
namespace {

// Length of a well-formed UTF-8 sequence that starts at text[i] and fits in the
// text, or 0 when there is none (overlong forms and surrogates rejected).
std::size_t sequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return 0;
    }
    return length;
}

// A read that stopped early may end inside a character; that partial character
// is not part of the title.
std::string_view withoutPartialTail(std::string_view text) {
    std::size_t start = text.size();
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto c = static_cast<unsigned char>(text[text.size() - back]);
        if ((c & 0xC0) != 0x80) {
            start = text.size() - back;
            break;
        }
    }
    if (start == text.size()) return text;
    const auto lead = static_cast<unsigned char>(text[start]);
    if (lead < 0x80) return text;
    if (sequenceLength(text, start) != 0) return text;
    return text.substr(0, start);
}

// A byte that begins no well-formed character becomes U+FFFD, as a text
// widget would show it, so that what the program holds is UTF-8.
std::string withReplacementCharacters(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sequenceLength(text, i);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

// Some clients store a terminating NUL (or a NUL-separated list) in the property.
std::string_view beforeNul(std::string_view text) {
    const auto nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// Xlib converts compound text whatever the locale, the "C" locale included.
std::string compoundTextToUtf8(std::string_view bytes, const CompoundTextConverter& converter) {
    if (!converter.display) return latin1ToUtf8(beforeNul(bytes));
    std::string copy(bytes);
    XTextProperty property{reinterpret_cast<unsigned char*>(copy.data()),
                           converter.compoundTextAtom, 8, copy.size()};
    char** list = nullptr;
    int count = 0;
    // A positive result counts characters Xlib had no equivalent for and replaced.
    const int status = Xutf8TextPropertyToTextList(converter.display, &property, &list, &count);
    std::string out;
    if (status >= 0 && list && count > 0) out = list[0];
    if (list) XFreeStringList(list);
    // Its initial character sets are ASCII and Latin-1, the usual text of such titles.
    if (status < 0) return latin1ToUtf8(beforeNul(bytes));
    return out;
}

std::string toUtf8(const RawTitle& raw, const CompoundTextConverter& converter) {
    std::string_view bytes = beforeNul(raw.bytes);
    switch (raw.encoding) {
        case TitleEncoding::Latin1:
            return latin1ToUtf8(bytes);
        case TitleEncoding::CompoundText:
            // Clients that write UTF-8 and call it compound text are common; real
            // compound text with characters past Latin-1 switches sets with ESC.
            if (bytes.find('\x1b') == std::string_view::npos && isValidUtf8(bytes)) {
                return std::string(bytes);
            }
            return compoundTextToUtf8(raw.bytes, converter);
        case TitleEncoding::Utf8:
        case TitleEncoding::Other:
            if (raw.truncated) bytes = withoutPartialTail(bytes);
            if (isValidUtf8(bytes)) return std::string(bytes);
            if (raw.encoding == TitleEncoding::Utf8) return withReplacementCharacters(bytes);
            // Other bytes are shown as Latin-1 rather than lost.
            return latin1ToUtf8(bytes);
    }
    return {};
}

}  // namespace

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sequenceLength(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string decodeWholeTitle(const RawTitle& netWmName, const RawTitle& wmName,
                             const CompoundTextConverter& converter) {
    std::string title = toUtf8(netWmName, converter);
    if (title.empty()) title = toUtf8(wmName, converter);
    return title;
}

std::string decodeTitle(const RawTitle& netWmName, const RawTitle& wmName,
                        const CompoundTextConverter& converter) {
    return cutToCharacters(decodeWholeTitle(netWmName, wmName, converter), kMaxTitleCharacters);
}

}  // namespace sw::x11

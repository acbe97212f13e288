// Cutting UTF-8 text to a number of characters without splitting one.
#include "text.h"

namespace sw {
namespace {

// Length in bytes of the character that starts at text[i]: the whole sequence
// when it is well-formed UTF-8, otherwise one byte.
std::size_t characterLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (length == 1 || i + length > text.size()) return 1;
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

}  // namespace

std::string cutToCharacters(std::string_view text, std::size_t maxCharacters) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < maxCharacters && i < text.size(); ++n) {
        i += characterLength(text, i);
    }
    return std::string(text.substr(0, i));
}

std::size_t characterCount(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); i += characterLength(text, i)) ++n;
    return n;
}

}  // namespace sw

// Cutting UTF-8 text to a number of characters without splitting one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sw {

// The first maxCharacters characters (code points) of text. Bytes that are not
// valid UTF-8 count as one character each and are kept as they are.
std::string cutToCharacters(std::string_view text, std::size_t maxCharacters);

// Number of characters (code points) in text, counted as cutToCharacters does.
std::size_t characterCount(std::string_view text);

}  // namespace sw

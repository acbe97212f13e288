// Window titles as X stores them (UTF-8 _NET_WM_NAME, Latin-1 or compound-text
// WM_NAME, possibly cut short by the read) turned into the program's UTF-8 titles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct _XDisplay;

namespace sw::x11 {

// Longest title the program shows, in characters.
inline constexpr std::size_t kMaxTitleCharacters = 254;

// Property read length, in 32-bit units, that holds kMaxTitleCharacters
// characters of four bytes each.
inline constexpr std::uint32_t kTitleReadWords = (kMaxTitleCharacters * 4 + 3) / 4 + 2;

enum class TitleEncoding { Utf8, Latin1, CompoundText, Other };

// One title property as read: its bytes, their encoding and whether the read
// stopped before the end of the property.
struct RawTitle {
    std::string_view bytes;
    TitleEncoding encoding = TitleEncoding::Other;
    bool truncated = false;
};

bool isValidUtf8(std::string_view text);

std::string latin1ToUtf8(std::string_view text);

// Xlib's conversion of compound text (ISO 2022 with character set switches),
// on a display whose atom cache already holds every atom the conversion names:
// it must not talk to the server.
struct CompoundTextConverter {
    _XDisplay* display = nullptr;
    std::uint32_t compoundTextAtom = 0;
};

// The whole title from _NET_WM_NAME, falling back to WM_NAME when the first is
// missing or empty; always UTF-8.
std::string decodeWholeTitle(const RawTitle& netWmName, const RawTitle& wmName,
                             const CompoundTextConverter& converter);
// The title the program shows: the whole one cut to kMaxTitleCharacters characters.
std::string decodeTitle(const RawTitle& netWmName, const RawTitle& wmName,
                        const CompoundTextConverter& converter);

}  // namespace sw::x11

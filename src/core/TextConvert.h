#pragma once
// Conversions between an 8-bit code page and UTF-8, and XML escaping.
// A code page is given by number (1250, 1251, 1252, 65001 for UTF-8, ...);
// 0 means the system's, which on this platform is the locale's character set,
// UTF-8 for the C/POSIX locale.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

inline constexpr int kSystemCodePage = 0;
inline constexpr int kUtf8CodePage = 65001;

// The iconv name of a code page number ("CP1252", "UTF-8").
std::string CodePageName(int codePage);

// Converts at most 256 characters of text from the code page to UTF-8 into a
// zero-filled 256-byte area and returns the byte count. A result that would
// leave no terminating zero (256 bytes or more) or that fails to convert gives
// 0 bytes and an all-zero area.
std::size_t AnsiToUtf8(std::string_view text, std::array<char, 256>& out, int codePage = kSystemCodePage);
// The same without the 256-byte bound; empty when the conversion fails.
std::string AnsiToUtf8(std::string_view text, int codePage = kSystemCodePage);

// Converts UTF-8 to the code page; characters without a form there become "?".
// Invalid UTF-8 gives an empty result.
std::string Utf8ToAnsi(std::string_view utf8, int codePage = kSystemCodePage);

// &quot; &amp; &apos; &lt; &gt; for the five XML characters, every other byte as it is.
std::string XmlEscape(std::string_view text);

}  // namespace vantrel

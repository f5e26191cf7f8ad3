#pragma once
// Small text helpers shared by every layer. All text is UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

// ASCII case-insensitive comparison (language names, commands, extensions).
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);

// The text in lower case, for every script and not only ASCII (UTF-8 in,
// UTF-8 out): case-insensitive sorting and matching of names.
std::string LowerText(std::string_view text);

// The longest prefix of at most maxBytes bytes that does not split a UTF-8
// character. Field widths of the channel list and the store count bytes.
std::string CutUtf8(std::string_view text, std::size_t maxBytes);

// Inserts "," before every group of three characters counted from the right,
// as long as more than three characters remain to its left: 12345 -> 12,345.
std::string GroupThousands(std::string_view digits);

}  // namespace vantrel

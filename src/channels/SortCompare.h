#pragma once
// How the channel editor's lists compare two cell texts when they sort.
// Number-like columns compare by length first, so "9" comes before "10";
// the other columns compare the bytes, case-sensitively.
#include <string_view>

namespace vantrel::channels {

enum class CompareRule { LengthThenText, Text };

// Negative, zero or positive as a sorts before, with or after b.
int CompareLengthThenText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);
int CompareByRule(CompareRule rule, std::string_view a, std::string_view b);

// The rule of a channel list column: length first for the number, satellite
// name, frequency, symbol rate, band, scrambled, Sid and Onid columns (0, 4,
// 6, 7, 8, 9, 10, 11), text for the rest.
CompareRule ChannelColumnRule(int column);

// The service list sorts only by its number column, like channel column 0.
inline constexpr CompareRule kServiceListRule = CompareRule::LengthThenText;

}  // namespace vantrel::channels

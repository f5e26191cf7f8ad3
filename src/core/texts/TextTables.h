#pragma once
// The eight built-in text tables. Every table has the same 343 indexes with the
// same meaning; texts the project adds later go at index 341 and up in all eight.
#include <array>
#include <cstddef>

namespace vantrel::texts {

inline constexpr std::size_t kTextCount = 445;

using TextTable = std::array<const char*, kTextCount>;

extern const TextTable kEnglish;
extern const TextTable kGerman;
extern const TextTable kRussian;
extern const TextTable kFinnish;
extern const TextTable kDanish;
extern const TextTable kSwedish;
extern const TextTable kSlovak;
extern const TextTable kPolish;

}  // namespace vantrel::texts

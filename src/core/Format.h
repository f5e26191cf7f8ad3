#pragma once
// printf-style formatting into std::string, for texts of the text tables that
// carry "%s" and "%d" placeholders.
#include <cstdint>
#include <string>

namespace vantrel {

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...);

// A file size as the lists show it: bytes / 1024 rounded up, grouped in
// thousands, "KB" after it ("1,025KB"); 0 for a negative size.
std::string SizeText(std::int64_t bytes);
// Seconds since 1970 as the lists show them in local time: "01.12.2026-20:05".
std::string DateText(std::int64_t seconds);
// Orders two DateText texts by year, month, day, then time (-1, 0, 1); an
// empty text goes after every date.
int CompareDateTexts(std::string a, std::string b);

// An amount of bytes for people: "512 B", "1.5 KB", "12.0 MB", "4.2 GB" (units of 1024).
std::string ByteAmountText(std::int64_t bytes);

}  // namespace vantrel

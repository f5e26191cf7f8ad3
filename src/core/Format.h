#pragma once
// printf-style formatting into std::string, for texts of the text tables that
// carry "%s" and "%d" placeholders.
#include <cstdint>
#include <string>

namespace vantrel {

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...);

// An amount of bytes for people: "512 B", "1.5 KB", "12.0 MB", "4.2 GB" (units of 1024).
std::string ByteAmountText(std::int64_t bytes);

}  // namespace vantrel

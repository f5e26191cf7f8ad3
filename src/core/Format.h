#pragma once
// printf-style formatting into std::string, for texts of the text tables that
// carry "%s" and "%d" placeholders.
#include <string>

namespace vantrel {

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...);

}  // namespace vantrel

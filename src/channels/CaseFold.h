#pragma once
// Case-insensitive matching of names typed by the user (search, group
// names): lower case for every script, not only ASCII.
#include <cstddef>
#include <string>
#include <string_view>

#include "core/StringUtil.h"

namespace vantrel::channels {

// The text in lower case (UTF-8 in, UTF-8 out).
using vantrel::LowerText;
// Characters (code points) of a UTF-8 text.
std::size_t CharacterCount(std::string_view text);

}  // namespace vantrel::channels

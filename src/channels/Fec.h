#pragma once
// FEC/modulation codes of transponders and carriers.
#include <string>
#include <string_view>

namespace vantrel::channels {

// The name of a code: "Auto" for 0, the DVB-S2 names for 6..19, "UNDEFINED"
// for every other value (1..5, 20, above 20, negative).
const char* FecCodeToName(int code);

// The code of the first name equal to the text (case-sensitive, in code order);
// any other text, "UNDEFINED" included, gives 0.
int FecNameToCode(std::string_view name);

}  // namespace vantrel::channels

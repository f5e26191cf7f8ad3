#pragma once
// Orbital positions in tenths of a degree: 0..1800 east,
// 1801..3599 west stored as 1800 plus the west position (0.8 W is 1808).
#include <string>
#include <string_view>

namespace vantrel::channels {

// "19.2(E)" for 192, "0.8(W)" for 1808.
std::string FormatLongitude(int longitude);

// Reads "%d.%d %c" (degrees, tenth, letter) from a label such as "19.2 E Astra";
// degrees*10 + tenth, plus 1800 for 'W'. A result outside 0..3599, or a label
// that does not match, gives 0. Logs "name=%s" and "longitude=%d:%d %c".
int ParseLongitudeLabel(std::string_view label);

// "%d.%d E %s" / "%d.%d W %s" with a satellite name (the label of
// GetSatelliteLabelByLongitude, without the lookup).
std::string FormatLongitudeLabel(int longitude, std::string_view satelliteName);

}  // namespace vantrel::channels

#include "channels/Longitude.h"

#include <cstdio>

#include "core/DiagLog.h"
#include "core/Format.h"

namespace vantrel::channels {

std::string FormatLongitude(int longitude) {
  if (longitude < 1801) return Format("%d.%d(E)", longitude / 10, longitude % 10);
  const int west = longitude - 1800;
  return Format("%d.%d(W)", west / 10, west % 10);
}

std::string FormatLongitudeLabel(int longitude, std::string_view satelliteName) {
  const std::string name(satelliteName);
  if (longitude <= 1800) return Format("%d.%d E %s", longitude / 10, longitude % 10, name.c_str());
  const int west = longitude - 1800;
  return Format("%d.%d W %s", west / 10, west % 10, name.c_str());
}

int ParseLongitudeLabel(std::string_view label) {
  const std::string text(label);
  LogMessage("name=%s", text.c_str());
  int degrees = 0;
  int tenth = 0;
  char letter = '\0';
  // sscanf with "%d.%d %c": the parts that match are kept, the rest stay 0.
  std::sscanf(text.c_str(), "%d.%d %c", &degrees, &tenth, &letter);
  LogMessage("longitude=%d:%d %c", degrees, tenth, letter);
  // Computed in 64 bits so that absurd degrees cannot overflow.
  long long value = static_cast<long long>(degrees) * 10 + tenth;
  if (letter == 'W') value += 1800;
  if (value < 0 || value > 3599) return 0;
  return static_cast<int>(value);
}

}  // namespace vantrel::channels

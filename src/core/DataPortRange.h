#pragma once
#include <string>

namespace vantrel {

// The PC ports the receiver connects back to for listings and transfers
// (active mode). {0, 0} lets the system choose any free port; a range lets
// the user open just those ports in a desktop firewall.
struct DataPortRange {
  unsigned first = 0;
  unsigned last = 0;
  bool IsAny() const { return first == 0; }
  bool operator==(const DataPortRange&) const = default;
};
inline constexpr unsigned kLowestDataPort = 1024;
// "50100-50119", a single port "50100", or an empty text for any port
// (blanks around the numbers are allowed); ports 1024 to 65535, first <= last.
// false, with the range unchanged, for anything else.
bool ParseDataPortRange(const std::string& text, DataPortRange& range);
// "50100-50119", "50100" for a single port, empty for any port.
std::string FormatDataPortRange(const DataPortRange& range);

}  // namespace vantrel

#include "channels/SortCompare.h"

namespace vantrel::channels {

int CompareText(std::string_view a, std::string_view b) {
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CompareLengthThenText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return CompareText(a, b);
}

int CompareByRule(CompareRule rule, std::string_view a, std::string_view b) {
  return rule == CompareRule::LengthThenText ? CompareLengthThenText(a, b) : CompareText(a, b);
}

CompareRule ChannelColumnRule(int column) {
  switch (column) {
    case 0:
    case 4:
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11: return CompareRule::LengthThenText;
    default: return CompareRule::Text;
  }
}

}  // namespace vantrel::channels

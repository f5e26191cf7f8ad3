#include "core/Format.h"

#include <cstdarg>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace vantrel {

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (needed > 0) {
    out.resize(static_cast<std::size_t>(needed));
    std::vsnprintf(out.data(), out.size() + 1, format, args);
  }
  va_end(args);
  return out;
}

std::string ByteAmountText(std::int64_t bytes) {
  if (bytes < 1024) return Format("%lld B", static_cast<long long>(std::max<std::int64_t>(bytes, 0)));
  static const char* const kUnits[] = {"KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes) / 1024.0;
  int unit = 0;
  while (value >= 1024.0 && unit < 3) {
    value /= 1024.0;
    ++unit;
  }
  return Format("%.1f %s", value, kUnits[unit]);
}

}  // namespace vantrel

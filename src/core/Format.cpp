#include "core/Format.h"

#include "core/StringUtil.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <utility>
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

std::string SizeText(std::int64_t bytes) {
  const std::int64_t kb = bytes <= 0 ? 0 : bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
  return GroupThousands(std::to_string(kb)) + "KB";
}

std::string DateText(std::int64_t seconds) {
  // The whole time: a date after 2038 is no date of 1901.
  const auto time = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (localtime_r(&time, &local) == nullptr) return {};
  char text[64];
  if (std::strftime(text, sizeof text, "%d.%m.%Y-%H:%M", &local) == 0) return {};
  return text;
}

int CompareDateTexts(std::string a, std::string b) {
  static const std::string kNoDate = "99.99.9999-99:99:99";
  if (a.empty()) a = kNoDate;
  if (b.empty()) b = kNoDate;
  const auto part = [](const std::string& text, std::size_t at, std::size_t count) {
    return at < text.size() ? text.substr(at, count) : std::string();
  };
  for (const auto& [at, count] : {std::pair<std::size_t, std::size_t>{6, 4}, {3, 2}, {0, 2}, {11, 5}}) {
    const int order = part(a, at, count).compare(part(b, at, count));
    if (order != 0) return order < 0 ? -1 : 1;
  }
  return 0;
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

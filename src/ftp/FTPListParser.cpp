#include "ftp/FTPListParser.h"

#include <cctype>
#include <cstring>

#include "core/Clock.h"
#include "core/StringUtil.h"

namespace nsFTP {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// A date this close to now, or later, belongs to the year tried.
constexpr std::int64_t kGuessWindowSeconds = 350 * kSecondsPerDay;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A size: a signed 64-bit number when the text starts with a digit, else -1.
std::int64_t SizeNumber(const char* text, std::size_t length) {
  if (length == 0 || !IsDigit(text[0])) return -1;
  std::int64_t value = 0;
  for (std::size_t i = 0; i < length && IsDigit(text[i]); ++i) {
    const int digit = text[i] - '0';
    if (value > (INT64_MAX - digit) / 10) return INT64_MAX;
    value = value * 10 + digit;
  }
  return value;
}

// A plain number: unsigned 32 bits, digits up to the first non-digit.
std::uint32_t PlainNumber(const char* text, std::size_t length) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < length && IsDigit(text[i]); ++i) {
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
  }
  return value;
}

// 0-11 for a three-letter month name in any case, -1 otherwise.
int MonthIndex(const char* text, std::size_t length) {
  static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
  if (length != 3) return -1;
  for (int m = 0; m < 12; ++m) {
    if (vantrel::EqualsIgnoreCase(std::string_view(text, 3), kMonths[m])) return m;
  }
  return -1;
}

// A cursor over a line for the forms that are scanned character by character.
class CScan {
 public:
  explicit CScan(const std::string& line) : m_line(line) {}
  bool AtEnd() const { return m_pos >= m_line.size(); }
  char Peek() const { return m_line[m_pos]; }
  void Next() { ++m_pos; }
  std::size_t Pos() const { return m_pos; }
  // Moves to the next occurrence of one of the characters; false at the end.
  bool To(const char* any) {
    while (!AtEnd() && std::strchr(any, Peek()) == nullptr) ++m_pos;
    return !AtEnd();
  }
  void Skip(char c) {
    while (!AtEnd() && Peek() == c) ++m_pos;
  }
  // A plain number from here up to one of the characters, which must follow.
  bool NumberTo(const char* any, std::uint32_t& value) {
    const std::size_t start = m_pos;
    if (!To(any)) return false;
    value = PlainNumber(m_line.data() + start, m_pos - start);
    return true;
  }
  const char* Data(std::size_t at) const { return m_line.data() + at; }
  std::string Rest() const { return m_line.substr(m_pos); }

 private:
  const std::string& m_line;
  std::size_t m_pos = 0;
};

}  // namespace

std::int64_t DateSeconds(std::int64_t year, std::int64_t month, std::int64_t day) {
  // Months outside 0-11 carry into the year; then days from the civil date.
  year += month >= 0 ? month / 12 : -((11 - month) / 12);
  month = ((month % 12) + 12) % 12;
  const std::int64_t m = month + 1;  // 1-12
  const std::int64_t y = m <= 2 ? year - 1 : year;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = (m + 9) % 12;  // March is 0
  const std::int64_t doy = (153 * mp + 2) / 5;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const std::int64_t days = era * 146097 + doe - 719468 + (day - 1);
  return days * kSecondsPerDay;
}

std::int64_t YearOf(std::int64_t seconds) {
  std::int64_t days = seconds / kSecondsPerDay;
  if (seconds % kSecondsPerDay < 0) --days;
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  return yoe + era * 400 + (month <= 2 ? 1 : 0);
}

bool CFTPListParser::Parse(CFTPFileStatus& status, const std::string& line) {
  status.Reset();
  if (line.size() <= 1) return false;
  const char first = line[0];
  if (first == '+') return ParseFactList(status, line);
  if (std::strchr("-bcdlps", first) != nullptr) return ParseUnix(status, line);
  if (line.find(';') == std::string::npos) return IsDigit(first) && ParseDos(status, line);
  return ParseVms(status, line);
}

std::int64_t CFTPListParser::GuessYear(std::int64_t month, std::int64_t day) {
  const std::int64_t now = vantrel::GetClock().NowUtc();
  if (m_currentYear < 0) m_currentYear = YearOf(now);
  for (std::int64_t year = m_currentYear - 1; year < m_currentYear + 100; ++year) {
    if (now - (DateSeconds(year, month, day) + m_timeBase) < kGuessWindowSeconds) return year;
  }
  return m_currentYear;
}

bool CFTPListParser::ParseFactList(CFTPFileStatus& status, const std::string& line) const {
  std::size_t factStart = 1;
  for (std::size_t i = 1; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\t') {
      status.m_name = line.substr(i + 1);
      return true;
    }
    if (c != ',') continue;
    if (i > factStart) {
      const char* value = line.data() + factStart + 1;
      const std::size_t length = i - factStart - 1;
      switch (line[factStart]) {
        case '/': status.m_isDirectory = true; break;
        case 'r': status.m_isFile = true; break;
        case 's':
          status.m_sizeKind = CFTPFileStatus::kSizeBinary;
          status.m_size = SizeNumber(value, length);
          break;
        case 'm': {
          status.m_timeKind = CFTPFileStatus::kTimeExact;
          const std::int64_t seconds = SizeNumber(value, length);  // 64 bits: past 2038 too
          status.m_time = seconds < 0 ? 0 : seconds + m_timeBase;
          break;
        }
        case 'i':
          status.m_idKind = CFTPFileStatus::kIdFull;
          status.m_id.assign(value, length);
          break;
        default: break;
      }
    }
    factStart = i + 1;
  }
  return false;  // no TAB, no name
}

bool CFTPListParser::ParseUnix(CFTPFileStatus& status, const std::string& line) {
  int state = 1;
  std::int64_t size = -1;
  std::int64_t month = 0;
  std::int64_t day = 0;
  std::size_t i = 0;
  while (i < line.size() && state != 8) {
    if (line[i] == ' ') {
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i >= line.size()) break;  // a field is complete only when a space follows it
    const char* field = line.data() + start;
    const std::size_t length = i - start;
    switch (state) {
      case 1:
        status.m_attributes.assign(field, length);
        state = 2;
        break;
      case 2:
        status.m_links.assign(field, length);
        state = (length == 6 && field[0] == 'f') ? 4 : 3;  // the folder form has no owner and group
        break;
      case 3:
        status.m_owner.assign(field, length);
        state = 4;
        break;
      case 4:
        size = SizeNumber(field, length);
        if (size < 0) status.m_group.assign(field, length);
        state = 5;
        break;
      case 5: {
        const int m = MonthIndex(field, length);
        if (m >= 0) {
          month = m;
          state = 6;
        } else {
          size = SizeNumber(field, length);
        }
        break;
      }
      case 6:
        day = PlainNumber(field, length);
        state = 7;
        break;
      case 7: {
        std::int64_t hour = -1;
        std::int64_t minute = 0;
        if (length == 4 && field[1] == ':') {
          hour = PlainNumber(field, 1);
          minute = PlainNumber(field + 2, 2);
        } else if (length == 5 && field[2] == ':') {
          hour = PlainNumber(field, 2);
          minute = PlainNumber(field + 3, 2);
        } else if (length < 4) {
          return false;
        }
        if (hour >= 0) {
          status.m_timeKind = CFTPFileStatus::kTimeMinutes;
          status.m_time = DateSeconds(GuessYear(month, day), month, day) + m_timeBase + hour * 3600 + minute * 60;
        } else {
          status.m_timeKind = CFTPFileStatus::kTimeDay;
          status.m_time = DateSeconds(PlainNumber(field, length), month, day) + m_timeBase;
        }
        status.m_name = line.substr(i + 1);
        state = 8;
        break;
      }
      default: break;
    }
  }
  if (state != 8) return false;
  status.m_sizeKind = CFTPFileStatus::kSizeBinary;
  status.m_size = size;
  if (line[0] == '-') status.m_isFile = true;
  if (line[0] == 'd') status.m_isDirectory = true;
  if (line[0] == 'l') {
    status.m_isFile = true;
    status.m_isDirectory = true;
    const std::size_t arrow = status.m_name.find(" -> ");
    if (arrow != std::string::npos) status.m_name.erase(arrow);
  }
  // NetWare lists put three more spaces before the name.
  if ((line[1] == ' ' || line[1] == '[') && status.m_name.size() > 3 && status.m_name.compare(0, 3, "   ") == 0) {
    status.m_name.erase(0, 3);
  }
  return true;
}

bool CFTPListParser::ParseDos(CFTPFileStatus& status, const std::string& line) const {
  CScan scan(line);
  std::uint32_t month = 0, day = 0, year = 0, hour = 0, minute = 0;
  if (!scan.NumberTo("-", month)) return false;
  scan.Skip('-');
  if (!scan.NumberTo("-", day)) return false;
  scan.Skip('-');
  if (!scan.NumberTo(" ", year)) return false;
  std::int64_t fullYear = year;
  if (fullYear < 50) fullYear += 2000;
  if (fullYear < 1000) fullYear += 1900;

  scan.Skip(' ');
  if (!scan.NumberTo(":", hour)) return false;
  scan.Skip(':');
  if (!scan.NumberTo("AP", minute)) return false;
  std::int64_t fullHour = hour == 12 ? 0 : hour;
  if (scan.Peek() == 'P') fullHour += 12;
  scan.Next();
  if (!scan.AtEnd() && scan.Peek() == 'M') scan.Next();

  scan.Skip(' ');
  if (scan.AtEnd()) return false;
  if (scan.Peek() == '<') {
    status.m_isDirectory = true;
    if (!scan.To(" ")) return false;
  } else {
    const std::size_t start = scan.Pos();
    if (!scan.To(" ")) return false;
    status.m_sizeKind = CFTPFileStatus::kSizeBinary;
    status.m_size = SizeNumber(scan.Data(start), scan.Pos() - start);
    status.m_isFile = true;
  }
  scan.Skip(' ');
  if (scan.AtEnd()) return false;
  status.m_name = scan.Rest();
  status.m_timeKind = CFTPFileStatus::kTimeMinutes;
  status.m_time = DateSeconds(fullYear, static_cast<std::int64_t>(month) - 1, day) + m_timeBase + fullHour * 3600 +
                  static_cast<std::int64_t>(minute) * 60;
  return true;
}

bool CFTPListParser::ParseVms(CFTPFileStatus& status, const std::string& line) const {
  const std::size_t semicolon = line.find(';');
  status.m_name = line.substr(0, semicolon);
  const std::string& name = status.m_name;
  if (name.size() >= 5 && name.compare(name.size() - 4, 4, ".DIR") == 0) {
    status.m_name.erase(name.size() - 4);
    status.m_isDirectory = true;
  } else {
    status.m_isFile = true;
  }
  CScan scan(line);
  scan.To(";");
  if (!scan.To(" ")) return false;
  scan.Skip(' ');
  if (!scan.To(" ")) return false;  // the size in blocks, not used
  scan.Skip(' ');
  std::uint32_t day = 0, year = 0, hour = 0, minute = 0;
  if (!scan.NumberTo("-", day)) return false;
  scan.Skip('-');
  const std::size_t monthStart = scan.Pos();
  if (!scan.To("-")) return false;
  const int month = MonthIndex(scan.Data(monthStart), scan.Pos() - monthStart);
  if (month < 0) return false;
  scan.Skip('-');
  if (!scan.NumberTo(" ", year)) return false;
  scan.Skip(' ');
  if (!scan.NumberTo(":", hour)) return false;
  scan.Skip(':');
  if (!scan.NumberTo(": ", minute)) return false;
  status.m_timeKind = CFTPFileStatus::kTimeMinutes;
  status.m_time = DateSeconds(year, month, day) + m_timeBase + static_cast<std::int64_t>(hour) * 3600 +
                  static_cast<std::int64_t>(minute) * 60;
  return true;
}

}  // namespace nsFTP

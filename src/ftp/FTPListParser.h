#pragma once
// Turns one line of a LIST reply into an entry. Four forms are known: the
// fact list starting with '+', the Unix long listing (the receiver's form),
// MultiNet/VMS and MS-DOS/Windows. A line of none of them is refused.
#include <cstdint>
#include <string>

#include "ftp/FTPClient.h"

namespace nsFTP {

class CFTPListParser final : public CFTPClient::IFileListParser {
 public:
  bool Parse(CFTPFileStatus& status, const std::string& line) override;

 private:
  bool ParseFactList(CFTPFileStatus& status, const std::string& line) const;
  bool ParseUnix(CFTPFileStatus& status, const std::string& line);
  bool ParseDos(CFTPFileStatus& status, const std::string& line) const;
  bool ParseVms(CFTPFileStatus& status, const std::string& line) const;
  // The year for a date listed with a time instead of a year.
  std::int64_t GuessYear(std::int64_t month, std::int64_t day);

  // Taken from the clock the first time a year is guessed, then kept for the
  // parser's life.
  std::int64_t m_currentYear = -1;
  std::int64_t m_timeBase = 0;
};

// Seconds from 1970-01-01 00:00 UTC to 00:00 UTC of the day (month 0-11;
// months beyond that carry into the year) of the proleptic Gregorian
// calendar, in 64 bits.
std::int64_t DateSeconds(std::int64_t year, std::int64_t month, std::int64_t day);
// The UTC year of a time in seconds since 1970.
std::int64_t YearOf(std::int64_t seconds);

}  // namespace nsFTP

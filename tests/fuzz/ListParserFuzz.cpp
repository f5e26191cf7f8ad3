// Fuzz target for the listing parser: every line of the input is parsed
// without a crash or undefined behaviour (the sanitizer build checks those),
// and what is accepted is a sane entry. The clock is fixed so that a finding
// replays.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Clock.h"
#include "ftp/FTPListParser.h"

namespace {

class CFixedClock final : public vantrel::IClock {
 public:
  std::int64_t NowUtc() const override { return 1339761600; }  // 2012-06-15 12:00 UTC
};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const CFixedClock clock;
  vantrel::SetClock(&clock);
  const std::string input(reinterpret_cast<const char*>(data), size);
  nsFTP::CFTPListParser parser;
  std::size_t start = 0;
  while (start <= input.size()) {
    std::size_t end = input.find('\n', start);
    if (end == std::string::npos) end = input.size();
    std::string line = input.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    nsFTP::CFTPFileStatus status;
    if (parser.Parse(status, line)) {
      Check(line.size() > 1);
      Check(status.m_name.size() < line.size());
      Check(status.m_size >= -1);
      Check(status.m_sizeKind == 0 || status.m_sizeKind == 1);
      Check(status.m_timeKind >= 0 && status.m_timeKind <= 3);
      Check(status.Path().empty());
    }
    start = end + 1;
  }
  vantrel::SetClock(nullptr);
  return 0;
}

#pragma once
// The system clock behind a seam: listings guess a missing year from today.
#include <cstdint>

namespace vantrel {

class IClock {
 public:
  virtual ~IClock() = default;
  // Seconds since 1970-01-01 UTC.
  virtual std::int64_t NowUtc() const = 0;
};

const IClock& GetClock();
// Installs a clock (tests); nullptr restores the system clock.
const IClock* SetClock(const IClock* clock);

}  // namespace vantrel

#include "core/Clock.h"

#include <ctime>

namespace vantrel {
namespace {

class CSystemClock final : public IClock {
 public:
  std::int64_t NowUtc() const override { return static_cast<std::int64_t>(std::time(nullptr)); }
};

const CSystemClock g_system;
const IClock* g_clock = &g_system;

}  // namespace

const IClock& GetClock() { return *g_clock; }

const IClock* SetClock(const IClock* clock) {
  const IClock* previous = g_clock;
  g_clock = clock != nullptr ? clock : &g_system;
  return previous;
}

}  // namespace vantrel

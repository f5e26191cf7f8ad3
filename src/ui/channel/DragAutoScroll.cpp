#include "ui/channel/DragAutoScroll.h"

#include <algorithm>

namespace vantrel::ui {

double GrowJump(double jump, std::size_t rowCount) {
  if (rowCount <= 150) return 0.0;
  if (rowCount <= 3000) return std::min(jump * 1.02, 43.0);
  if (rowCount <= 6000) return std::min(jump * 1.05, 45.0);
  return std::min(jump * 1.08, 55.0);
}

long long UpStepRow(long long firstVisible, double jump, const AutoScrollProfile& profile) {
  const long long j = firstVisible < profile.nearTop ? 0 : static_cast<long long>(jump);
  return std::max(0LL, firstVisible - j - 1);
}

long long DownStepRow(long long firstVisible, long long rowsPerPage, double jump, long long rowCount,
                      const AutoScrollProfile& profile) {
  const long long nearEnd = rowsPerPage > 50 ? profile.nearEndBigPage : profile.nearEnd;
  const long long j = firstVisible >= rowCount - nearEnd ? 0 : static_cast<long long>(jump);
  const long long row = firstVisible + rowsPerPage + j + 1;
  return row < rowCount ? row : -1;
}

}  // namespace vantrel::ui

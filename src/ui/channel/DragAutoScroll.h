#pragma once
// The arithmetic of scrolling a list while rows are dragged near its edge: the
// jump grows on every tick, faster for longer lists, and shrinks to a single
// row near the ends so the target row is not overshot.
#include <cstddef>

namespace vantrel::ui {

inline constexpr int kAutoScrollFirstTickMs = 50;
inline constexpr int kAutoScrollTickMs = 30;
inline constexpr int kAutoScrollTopZone = 30;     // pixels below the top edge
inline constexpr int kAutoScrollBottomZone = 20;  // pixels above the bottom edge
inline constexpr int kDropDelayMs = 100;

// Where the jump counts as zero: within nearTop rows of the top, within
// nearEnd rows of the end (nearEndBigPage when more than 50 rows fit a page).
struct AutoScrollProfile {
  long long nearTop;
  long long nearEnd;
  long long nearEndBigPage;
};
inline constexpr AutoScrollProfile kChannelListScroll{50, 100, 150};
inline constexpr AutoScrollProfile kServiceListScroll{40, 80, 120};

// The jump after one more tick for a list of rowCount rows (0 for 150 rows or fewer).
double GrowJump(double jump, std::size_t rowCount);
// The row an upward step brings into view (never below 0).
long long UpStepRow(long long firstVisible, double jump, const AutoScrollProfile& profile);
// The row a downward step brings into view; -1 when that row does not exist.
long long DownStepRow(long long firstVisible, long long rowsPerPage, double jump, long long rowCount,
                      const AutoScrollProfile& profile);

}  // namespace vantrel::ui

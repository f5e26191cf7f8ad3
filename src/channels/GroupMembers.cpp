#include "channels/GroupMembers.h"

namespace vantrel::channels {

std::size_t RemoveMembersWhere(FavoriteGroup& group, const std::vector<bool>& doomed) {
  const std::size_t n = group.MemberCount();
  std::vector<std::size_t> order;
  order.reserve(n);
  std::size_t gone = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (i >= doomed.size() || !doomed[i]) order.push_back(i);
  }
  for (std::size_t i = 0; i < n && i < doomed.size(); ++i) {
    if (doomed[i]) {
      order.push_back(i);
      ++gone;
    }
  }
  if (gone == 0) return 0;
  // The doomed entries go to the end, where removing each is cheap.
  group.Reorder(order);
  for (std::size_t k = 0; k < gone; ++k) group.RemoveAt(group.MemberCount() - 1);
  return gone;
}

}  // namespace vantrel::channels

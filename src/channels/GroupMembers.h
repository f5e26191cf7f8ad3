#pragma once
// Removing many members of a favourite group in one pass, for selections of
// thousands of rows.
#include <cstddef>
#include <vector>

#include "channels/ChannelList.h"

namespace vantrel::channels {

// Removes the members whose flag is set (doomed has one flag per member),
// keeping the order of the rest and freeing the copies the group owns.
// Returns how many went.
std::size_t RemoveMembersWhere(FavoriteGroup& group, const std::vector<bool>& doomed);

}  // namespace vantrel::channels

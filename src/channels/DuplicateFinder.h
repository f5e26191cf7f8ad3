#pragma once
// Services of one kind that are the same channel, found by one of two rules,
// in groups with the service proposed to keep. The editor's
// DeleteDuplicates removes the others (ChannelEditor.h).
#include <cstddef>
#include <vector>

#include "channels/ChannelList.h"

namespace vantrel::channels {

enum class DuplicateRule {
  Exact,  // the same service id, transport stream id and original network id
  Loose,  // the same name (ignoring case and spaces) at the same orbital position
};

// Services of one kind that are the same channel, in list order.
struct DuplicateGroup {
  ServiceKind kind = ServiceKind::Tv;
  std::vector<Service*> services;  // two or more
  std::size_t keeper = 0;          // index into services
  Service* Keeper() const { return services[keeper]; }
};

// The groups of a kind, ordered by the list position of their first service.
// A service without a service id (an inserted empty channel) is never a
// duplicate, and under the loose rule neither is one without a name.
std::vector<DuplicateGroup> FindDuplicates(const ChannelList& list, ServiceKind kind, DuplicateRule rule);
// Both kinds, TV groups first.
std::vector<DuplicateGroup> FindDuplicates(const ChannelList& list, DuplicateRule rule);

// How many favourite groups of its kind hold a service: TV and Radio groups
// by identity, FastScan groups by channel number.
std::size_t FavoriteGroupCount(const ChannelList& list, ServiceKind kind, const Service& service);

}  // namespace vantrel::channels

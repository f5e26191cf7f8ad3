// Finding services that are the same channel, and deleting all of each
// group but the one kept.
#include "channels/DuplicateFinder.h"

#include <algorithm>
#include <climits>
#include <unordered_map>
#include <unordered_set>

#include "channels/CaseFold.h"
#include "channels/ChannelEditor.h"
#include "channels/ListToolTexts.h"
#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/Prompt.h"
#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

const ChannelList::Owned<FavoriteGroup>& GroupsOf(const ChannelList& list, ServiceKind kind) {
  return kind == ServiceKind::Tv ? list.TvFavorites() : list.RadioFavorites();
}

// The name as the loose rule compares it: lower case, without white space
// (the no-break space included).
std::string LooseName(const std::string& name) {
  std::string out;
  out.reserve(name.size());
  const std::string lower = LowerText(name);
  for (std::size_t i = 0; i < lower.size(); ++i) {
    const char c = lower[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') continue;
    if (c == '\xC2' && i + 1 < lower.size() && lower[i + 1] == '\xA0') {
      ++i;
      continue;
    }
    out += c;
  }
  return out;
}

std::string DuplicateKey(const Service& s, DuplicateRule rule) {
  if (s.Sid == 0) return {};  // an inserted empty channel has no identity
  if (rule == DuplicateRule::Exact) {
    return std::to_string(s.Sid) + ':' + std::to_string(s.Tsid) + ':' + std::to_string(s.Onid);
  }
  std::string name = LooseName(s.Name);
  if (name.empty()) return {};
  return std::to_string(s.Carrier.Longitude) + ':' + name;
}

// Favourite group counts of every service of a kind, in one pass over the groups.
class FavoriteCounts {
 public:
  FavoriteCounts(const ChannelList& list, ServiceKind kind) {
    for (const auto& group : GroupsOf(list, kind)) {
      if (group->IsFastScan()) {
        std::unordered_set<int> numbers;
        for (std::size_t i = 0; i < group->MemberCount(); ++i) {
          if (numbers.insert(group->Member(i)->ChannelNo).second) ++m_byNumber[group->Member(i)->ChannelNo];
        }
      } else {
        std::unordered_set<const Service*> members;
        for (std::size_t i = 0; i < group->MemberCount(); ++i) {
          if (members.insert(group->Member(i)).second) ++m_byService[group->Member(i)];
        }
      }
    }
  }
  std::size_t Of(const Service* s) const {
    std::size_t n = 0;
    if (const auto it = m_byService.find(s); it != m_byService.end()) n += it->second;
    if (const auto it = m_byNumber.find(s->ChannelNo); it != m_byNumber.end()) n += it->second;
    return n;
  }

 private:
  std::unordered_map<const Service*, std::size_t> m_byService;
  std::unordered_map<int, std::size_t> m_byNumber;
};

// HD before SD, then the lower channel number, then the one in more favourite
// groups, then the one further up the list.
std::size_t ProposeKeeper(const std::vector<Service*>& services, const FavoriteCounts& counts) {
  std::size_t best = 0;
  for (std::size_t i = 1; i < services.size(); ++i) {
    const Service& a = *services[i];
    const Service& b = *services[best];
    if (a.IsHD != b.IsHD) {
      if (a.IsHD) best = i;
      continue;
    }
    if (a.ChannelNo != b.ChannelNo) {
      if (a.ChannelNo < b.ChannelNo) best = i;
      continue;
    }
    if (counts.Of(&a) > counts.Of(&b)) best = i;
  }
  return best;
}

}  // namespace

std::vector<DuplicateGroup> FindDuplicates(const ChannelList& list, ServiceKind kind, DuplicateRule rule) {
  const auto& services = list.Services(kind);
  std::unordered_map<std::string, std::size_t> groupOf;  // key -> index into found
  groupOf.reserve(services.size());
  std::vector<DuplicateGroup> found;
  for (const auto& sp : services) {
    std::string key = DuplicateKey(*sp, rule);
    if (key.empty()) continue;
    const auto [it, fresh] = groupOf.try_emplace(std::move(key), found.size());
    if (fresh) {
      found.push_back(DuplicateGroup{kind, {sp.get()}, 0});
    } else {
      found[it->second].services.push_back(sp.get());
    }
  }
  // Single services were groups of one; what stays is in the order of first services.
  std::erase_if(found, [](const DuplicateGroup& g) { return g.services.size() < 2; });
  if (!found.empty()) {
    const FavoriteCounts counts(list, kind);
    for (DuplicateGroup& g : found) g.keeper = ProposeKeeper(g.services, counts);
  }
  return found;
}

std::vector<DuplicateGroup> FindDuplicates(const ChannelList& list, DuplicateRule rule) {
  std::vector<DuplicateGroup> out = FindDuplicates(list, ServiceKind::Tv, rule);
  std::vector<DuplicateGroup> radio = FindDuplicates(list, ServiceKind::Radio, rule);
  out.insert(out.end(), std::make_move_iterator(radio.begin()), std::make_move_iterator(radio.end()));
  return out;
}

std::size_t FavoriteGroupCount(const ChannelList& list, ServiceKind kind, const Service& service) {
  std::size_t n = 0;
  for (const auto& group : GroupsOf(list, kind)) n += ChannelList::IsInFavoriteGroup(service, *group) ? 1 : 0;
  return n;
}

namespace {

// The reference at index becomes one to service, in the same place.
void ReplaceReference(FavoriteGroup& group, std::size_t index, Service* service) {
  const std::size_t n = group.MemberCount();
  group.AddReference(service);
  std::vector<std::size_t> order;
  order.reserve(n + 1);
  for (std::size_t i = 0; i < n + 1; ++i) {
    if (i == index) order.push_back(n);
    if (i < n) order.push_back(i);
  }
  group.Reorder(order);
  group.RemoveAt(index + 1);
}

}  // namespace

std::size_t CChannelEditor::DeleteDuplicates(const std::vector<DuplicateGroup>& groups) {
  if (m_numbering) return 0;
  std::unordered_set<const Service*> inKind[2];
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    for (const auto& s : m_list.Services(kind)) inKind[static_cast<int>(kind)].insert(s.get());
  }
  // Only what still stands in the list of its group's kind; a keeper is never deleted.
  std::unordered_set<const Service*> keepers;
  for (const DuplicateGroup& g : groups) {
    if (g.keeper < g.services.size() && inKind[static_cast<int>(g.kind)].count(g.Keeper()) != 0)
      keepers.insert(g.Keeper());
  }
  std::unordered_map<const Service*, Service*> keeperOf;
  std::vector<Service*> doomed;
  std::size_t groupCount = 0;
  for (const DuplicateGroup& g : groups) {
    if (g.keeper >= g.services.size() || keepers.count(g.Keeper()) == 0) continue;
    bool any = false;
    for (Service* s : g.services) {
      if (keepers.count(s) != 0 || inKind[static_cast<int>(g.kind)].count(s) == 0) continue;
      if (keeperOf.try_emplace(s, g.Keeper()).second) {
        doomed.push_back(s);
        any = true;
      }
    }
    groupCount += any ? 1 : 0;
  }
  if (doomed.empty()) return 0;
  if (!AskConfirmText(
          Format(GetText(kTextAskDeleteDuplicates), static_cast<int>(doomed.size()), static_cast<int>(groupCount)))) {
    return 0;
  }

  // FastScan copies are by channel number: a duplicate's copy goes over to its
  // keeper (keeping its LCN) unless the keeper has one already.
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    std::unordered_map<int, const Service*> doomedByNumber;
    std::unordered_set<int> keeperNumbers;
    for (const Service* s : doomed) {
      if (inKind[static_cast<int>(kind)].count(s) == 0) continue;
      const Service* keeper = keeperOf[s];
      keeperNumbers.insert(keeper->ChannelNo);
      if (s->ChannelNo != keeper->ChannelNo) doomedByNumber.try_emplace(s->ChannelNo, s);
    }
    if (keeperNumbers.empty()) continue;
    for (const auto& group : GroupsOf(m_list, kind)) {
      if (!group->IsFastScan()) continue;
      std::unordered_set<int> present;  // keepers with a copy of their own
      for (std::size_t i = 0; i < group->MemberCount(); ++i) {
        if (group->OwnsMember(i) && keeperNumbers.count(group->Member(i)->ChannelNo) != 0)
          present.insert(group->Member(i)->ChannelNo);
      }
      std::unordered_set<int> kept;
      for (std::size_t i = 0; i < group->MemberCount();) {
        Service* copy = group->Member(i);
        if (!group->OwnsMember(i)) {
          ++i;
          continue;
        }
        if (keeperNumbers.count(copy->ChannelNo) != 0) {
          if (kept.insert(copy->ChannelNo).second) {
            ++i;
          } else {
            group->RemoveAt(i);  // the keeper twice in one group
          }
          continue;
        }
        const auto d = doomedByNumber.find(copy->ChannelNo);
        if (d == doomedByNumber.end()) {
          ++i;
          continue;
        }
        const Service* keeper = keeperOf[d->second];
        if (present.count(keeper->ChannelNo) != 0 || !kept.insert(keeper->ChannelNo).second) {
          LogMessage("DeleteDuplicates favName=%s drops channelnumber=%d", group->Name.c_str(), copy->ChannelNo);
          group->RemoveAt(i);
          continue;
        }
        LogMessage("DeleteDuplicates favName=%s channelnumber=%d -> %d lcn=%d", group->Name.c_str(), copy->ChannelNo,
                   keeper->ChannelNo, copy->LCNNo);
        if (copy->Name == d->second->Name) copy->Name = keeper->Name;
        copy->ChannelNo = keeper->ChannelNo;
        ++i;
      }
    }
  }
  // References go over to the keeper in the same place; a group that holds
  // the keeper already just loses the duplicate.
  for (const auto* lists : {&m_list.TvFavorites(), &m_list.RadioFavorites()}) {
    for (const auto& group : *lists) {
      for (std::size_t i = 0; i < group->MemberCount();) {
        const auto k = group->OwnsMember(i) ? keeperOf.end() : keeperOf.find(group->Member(i));
        if (k == keeperOf.end()) {
          ++i;
          continue;
        }
        if (group->IndexOf(k->second) != FavoriteGroup::npos) {
          group->RemoveAt(i);
          continue;
        }
        ReplaceReference(*group, i, k->second);
        ++i;
      }
    }
  }
  // Removing a service also drops the first FastScan copy with its number;
  // those copies were dealt with above, and a keeper may share the number.
  for (Service* s : doomed) s->ChannelNo = INT_MIN;
  DeleteServices(std::vector<const Service*>(doomed.begin(), doomed.end()));
  return doomed.size();
}

}  // namespace vantrel::channels

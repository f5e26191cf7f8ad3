#include "channels/ChannelList.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "channels/Longitude.h"
#include "core/DiagLog.h"
#include "core/StringUtil.h"

namespace vantrel::channels {

std::string FitText(std::string_view text, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  return CutUtf8(text, bufferSize - 1);
}

// ---------------------------------------------------------------- FavoriteGroup

std::vector<Service*> FavoriteGroup::Members() const {
  std::vector<Service*> out;
  out.reserve(m_members.size());
  for (const auto& entry : m_members) out.push_back(entry.service);
  return out;
}

void FavoriteGroup::AddReference(Service* service) {
  if (service == nullptr) return;
  m_members.push_back(Entry{service, nullptr});
}

Service* FavoriteGroup::AddCopy(std::unique_ptr<Service> copy) {
  if (!copy) return nullptr;
  Service* raw = copy.get();
  m_members.push_back(Entry{raw, std::move(copy)});
  return raw;
}

std::size_t FavoriteGroup::IndexOf(const Service* member) const {
  for (std::size_t i = 0; i < m_members.size(); ++i) {
    if (m_members[i].service == member) return i;
  }
  return npos;
}

void FavoriteGroup::RemoveAt(std::size_t index) {
  if (index >= m_members.size()) return;
  m_members.erase(m_members.begin() + static_cast<std::ptrdiff_t>(index));
}

std::size_t FavoriteGroup::RemoveReferencesTo(const Service* service) {
  const auto before = m_members.size();
  std::erase_if(m_members, [service](const Entry& e) { return e.owned == nullptr && e.service == service; });
  return before - m_members.size();
}

bool FavoriteGroup::Reorder(const std::vector<std::size_t>& order) {
  if (order.size() != m_members.size()) return false;
  std::vector<bool> seen(order.size(), false);
  for (const std::size_t i : order) {
    if (i >= order.size() || seen[i]) return false;
    seen[i] = true;
  }
  std::vector<Entry> next;
  next.reserve(order.size());
  for (const std::size_t i : order) next.push_back(std::move(m_members[i]));
  m_members = std::move(next);
  return true;
}

// ---------------------------------------------------------------- ChannelList

ChannelList::~ChannelList() {
  // Groups first: they hold references into the service lists.
  ClearFavoriteGroups();
  ClearSatellites();
  ClearServices();
}

bool ChannelList::AddService(std::unique_ptr<Service> service) {
  if (!service) return false;
  if (service->ServiceType == kServiceTypeTv) {
    mTvService.push_back(std::move(service));
  } else if (service->ServiceType == kServiceTypeRadio) {
    mRadioService.push_back(std::move(service));
  }
  // Data services (and any other type) are accepted and dropped.
  return true;
}

bool ChannelList::FindServiceKind(const Service* service, ServiceKind& kind) const {
  if (service == nullptr) return false;
  for (const ServiceKind k : {ServiceKind::Tv, ServiceKind::Radio}) {
    const auto& list = Services(k);
    if (std::any_of(list.begin(), list.end(), [service](const auto& s) { return s.get() == service; })) {
      kind = k;
      return true;
    }
  }
  return false;
}

long long ChannelList::IndexOfService(const Service* service) const {
  for (const ServiceKind k : {ServiceKind::Tv, ServiceKind::Radio}) {
    const auto& list = Services(k);
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (list[i].get() == service) return static_cast<long long>(i);
    }
  }
  return -1;
}

Service* ChannelList::ServiceAtPosition(ServiceKind kind, long long position) const {
  const auto& list = Services(kind);
  if (position < 1 || position > static_cast<long long>(list.size())) return nullptr;
  return list[static_cast<std::size_t>(position - 1)].get();
}

void ChannelList::RemoveService(const Service* service) {
  ServiceKind kind;
  if (!FindServiceKind(service, kind)) return;
  Delete_ServiceInFavorit(service);
  auto& list = ListOf(kind);
  const auto it = std::find_if(list.begin(), list.end(), [service](const auto& s) { return s.get() == service; });
  if (it != list.end()) list.erase(it);  // frees it; the rest keep their order
}

void ChannelList::RemoveServices(const std::vector<const Service*>& services) {
  std::unordered_set<const Service*> doomed;
  // Per kind: how many removed services carry each channel number (a FastScan
  // group loses its first copy with that number for each of them).
  std::unordered_map<int, int> numbers[2];
  for (const Service* s : services) {
    ServiceKind kind;
    if (!FindServiceKind(s, kind) || !doomed.insert(s).second) continue;
    ++numbers[static_cast<int>(kind)][s->ChannelNo];
  }
  if (doomed.empty()) return;
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    auto counts = numbers[static_cast<int>(kind)];
    for (auto& group : GroupsOf(kind)) {
      if (!group->IsFastScan()) continue;
      auto left = counts;
      for (std::size_t i = 0; i < group->MemberCount();) {
        const auto found = left.find(group->Member(i)->ChannelNo);
        if (found != left.end() && found->second > 0) {
          LogMessage("Delete_ServiceInFavorit favName=%s channelnumber=%d", group->Name.c_str(),
                     group->Member(i)->ChannelNo);
          --found->second;
          group->RemoveAt(i);
        } else {
          ++i;
        }
      }
    }
  }
  // References to removed services go from every group, whatever its list.
  for (auto* groups : {&mTvFavorite, &mRadioFavorite}) {
    for (auto& group : *groups) {
      for (std::size_t i = 0; i < group->MemberCount();) {
        if (!group->OwnsMember(i) && doomed.count(group->Member(i)) != 0) {
          group->RemoveAt(i);
        } else {
          ++i;
        }
      }
    }
  }
  for (auto* list : {&mTvService, &mRadioService}) {
    std::erase_if(*list, [&doomed](const auto& s) { return doomed.count(s.get()) != 0; });
  }
}

bool ChannelList::SetServiceOrder(ServiceKind kind, const std::vector<Service*>& order) {
  auto& list = ListOf(kind);
  if (order.size() != list.size()) return false;
  std::unordered_map<const Service*, std::size_t> index;
  index.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) index.emplace(list[i].get(), i);
  std::vector<bool> used(list.size(), false);
  std::vector<std::size_t> from;
  from.reserve(order.size());
  for (Service* s : order) {
    const auto it = index.find(s);
    if (it == index.end() || used[it->second]) return false;
    used[it->second] = true;
    from.push_back(it->second);
  }
  Owned<Service> next;
  next.reserve(list.size());
  for (const std::size_t i : from) next.push_back(std::move(list[i]));
  list = std::move(next);
  return true;
}

bool ChannelList::IsNumberedInListOrder(ServiceKind kind) const {
  const auto& list = Services(kind);
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (static_cast<long long>(list[i]->ChannelNo) != static_cast<long long>(i) + 1) return false;
  }
  return true;
}

bool ChannelList::AddFavoriteGroup(std::unique_ptr<FavoriteGroup> group) {
  if (!group) return false;
  if (group->ServiceType == kFavoriteTv || group->ServiceType == kFavoriteFastScanTv) {
    mTvFavorite.push_back(std::move(group));
  } else {
    mRadioFavorite.push_back(std::move(group));
  }
  return true;
}

bool ChannelList::DeleteFavoriteGroup(const FavoriteGroup* group) {
  if (group == nullptr) return false;
  auto& groups =
      (group->ServiceType == kFavoriteTv || group->ServiceType == kFavoriteFastScanTv) ? mTvFavorite : mRadioFavorite;
  const auto it = std::find_if(groups.begin(), groups.end(), [group](const auto& g) { return g.get() == group; });
  if (it == groups.end()) return false;
  groups.erase(it);  // frees the group and its member copies
  return true;
}

void ChannelList::DeleteFromGroupsOfKind(const Service* service, ServiceKind kind) {
  for (auto& group : GroupsOf(kind)) {
    if (group->IsFastScan()) {
      for (std::size_t i = 0; i < group->MemberCount(); ++i) {
        Service* member = group->Member(i);
        if (member->ChannelNo == service->ChannelNo) {
          LogMessage("Delete_ServiceInFavorit favName=%s channelnumber=%d", group->Name.c_str(), member->ChannelNo);
          RemoveFromGroup(*group, member);  // frees the copy
          break;
        }
      }
    } else {
      LogMessage("Delete_ServiceInFavorit favName=%s channelnumber=%d", group->Name.c_str(), service->ChannelNo);
      RemoveFromGroup(*group, service);
    }
  }
}

void ChannelList::Delete_ServiceInFavorit(const Service* service) {
  if (service == nullptr) return;
  ServiceKind kind;
  if (!FindServiceKind(service, kind)) {
    kind = service->ServiceType == kServiceTypeRadio ? ServiceKind::Radio : ServiceKind::Tv;
  }
  DeleteFromGroupsOfKind(service, kind);
  // No group may keep a reference to a service that is about to be freed:
  // duplicates in one group, or references in a group of the other list.
  for (auto* groups : {&mTvFavorite, &mRadioFavorite}) {
    for (auto& group : *groups) group->RemoveReferencesTo(service);
  }
}

void ChannelList::RemoveFromGroup(FavoriteGroup& group, const Service* member) {
  for (std::size_t i = 0; i < group.MemberCount(); ++i) {
    const Service* m = group.Member(i);
    LogMessage("Delete_ServiceInFavorit index=%d channelName=%s channelnumber=%d lcn=%d", static_cast<int>(i),
               m->Name.c_str(), m->ChannelNo, m->LCNNo);
    if (m == member) {
      LogMessage("Delete_ServiceInFavorit find=%d", static_cast<int>(i));
      group.RemoveAt(i);
      return;
    }
  }
}

bool ChannelList::IsInFavoriteGroup(const Service& service, const FavoriteGroup& group) {
  if (group.Empty()) return false;
  for (std::size_t i = 0; i < group.MemberCount(); ++i) {
    const Service* m = group.Member(i);
    if (group.IsFastScan() ? m->ChannelNo == service.ChannelNo : m == &service) return true;
  }
  return false;
}

Satellite* ChannelList::AddSatellite(std::unique_ptr<Satellite> satellite) {
  if (!satellite) return nullptr;
  mSatellite.push_back(std::move(satellite));
  return mSatellite.back().get();
}

bool ChannelList::RemoveSatellite(const Satellite* satellite) {
  const auto it =
      std::find_if(mSatellite.begin(), mSatellite.end(), [satellite](const auto& s) { return s.get() == satellite; });
  if (it == mSatellite.end()) return false;
  if (m_recentSatellite == satellite) m_recentSatellite = nullptr;
  mSatellite.erase(it);
  return true;
}

std::string ChannelList::GetSatelliteNameByLongitude(int longitude) {
  LogMessage("GetSatelliteNameByLongitude aLongitude =%d", longitude);
  if (m_recentSatellite != nullptr && m_recentSatellite->Longitude == longitude) {
    LogMessage("GetSatelliteNameByLongitude Recent aLongitude =%d", longitude);
    return m_recentSatellite->SatName;
  }
  for (const auto& sat : mSatellite) {
    if (sat->Longitude == longitude) {
      m_recentSatellite = sat.get();
      LogMessage("GetSatelliteNameByLongitude new Recent aLongitude =%d", longitude);
      LogMessage("GetSatelliteNameByLongitude new Recent Satname =%s", sat->SatName.c_str());
      return sat->SatName;
    }
  }
  return "Unknown";
}

std::string ChannelList::GetSatelliteLabelByLongitude(int longitude) const {
  for (const auto& sat : mSatellite) {
    if (sat->Longitude == longitude) return FormatLongitudeLabel(longitude, sat->SatName);
  }
  return {};
}

void ChannelList::ClearServices() {
  // No group keeps a reference to a freed service; FastScan copies stay.
  for (auto* groups : {&mTvFavorite, &mRadioFavorite}) {
    for (auto& group : *groups) {
      for (std::size_t i = 0; i < group->MemberCount();) {
        if (group->OwnsMember(i)) {
          ++i;
        } else {
          group->RemoveAt(i);
        }
      }
    }
  }
  mTvService.clear();
  mRadioService.clear();
}

void ChannelList::ClearFavoriteGroups() {
  mTvFavorite.clear();
  mRadioFavorite.clear();
}

void ChannelList::ClearSatellites() {
  m_recentSatellite = nullptr;  // before any satellite is freed
  mSatellite.clear();
}

void ChannelList::Clear() {
  ClearFavoriteGroups();
  ClearSatellites();
  ClearServices();
  ClearConfigurations();
  ResetTunerConfiguration();
  mFilePath.clear();
}

void ChannelList::Swap(ChannelList& other) noexcept {
  using std::swap;
  swap(mSatellite, other.mSatellite);
  swap(mConfiguration, other.mConfiguration);
  swap(mTunerConfiguration, other.mTunerConfiguration);
  swap(mTvService, other.mTvService);
  swap(mRadioService, other.mRadioService);
  swap(mTvFavorite, other.mTvFavorite);
  swap(mRadioFavorite, other.mRadioFavorite);
  swap(mFilePath, other.mFilePath);
  swap(m_recentSatellite, other.m_recentSatellite);
}

}  // namespace vantrel::channels

// The check of a channel list before it is saved or sent, and its fixes.
#include "channels/ListCheck.h"

#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "channels/CaseFold.h"
#include "channels/ChannelEditor.h"
#include "channels/ListToolTexts.h"
#include "channels/Longitude.h"
#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/Prompt.h"
#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

constexpr int kTextRadio = 12;
constexpr int kTextTv = 13;

const char* KindName(ServiceKind kind) { return GetText(kind == ServiceKind::Tv ? kTextTv : kTextRadio); }

void CheckNumbering(const ChannelList& list, ServiceKind kind, std::vector<ListFinding>& out) {
  const auto& services = list.Services(kind);
  for (std::size_t i = 0; i < services.size(); ++i) {
    if (static_cast<long long>(services[i]->ChannelNo) == static_cast<long long>(i) + 1) continue;
    ListFinding f;
    f.what = FindingKind::Numbering;
    f.kind = kind;
    f.fixable = true;
    f.service = services[i].get();
    f.text = Format(GetText(kTextFindingNumbering), KindName(kind), static_cast<int>(services.size()),
                    static_cast<int>(i + 1), services[i]->ChannelNo);
    out.push_back(std::move(f));
    break;
  }
  std::unordered_map<int, int> count;
  count.reserve(services.size());
  for (const auto& s : services) ++count[s->ChannelNo];
  for (const auto& s : services) {
    auto it = count.find(s->ChannelNo);
    if (it->second < 2) continue;
    ListFinding f;
    f.what = FindingKind::DuplicateNumber;
    f.kind = kind;
    f.fixable = true;
    f.service = s.get();
    f.text = Format(GetText(kTextFindingDuplicateNumber), KindName(kind), s->ChannelNo, it->second);
    out.push_back(std::move(f));
    it->second = 0;  // once per number
  }
}

void CheckGroups(const ChannelList& list, ServiceKind kind, std::vector<ListFinding>& out) {
  std::unordered_set<const Service*> services;
  std::unordered_set<int> numbers;
  for (const auto& s : list.Services(kind)) {
    services.insert(s.get());
    numbers.insert(s->ChannelNo);
  }
  for (const auto& group : kind == ServiceKind::Tv ? list.TvFavorites() : list.RadioFavorites()) {
    for (std::size_t i = 0; i < group->MemberCount(); ++i) {
      Service* m = group->Member(i);
      // A copy stands for the service with its number; a reference must be
      // one of the list the group is written with (the file stores numbers).
      const bool present = group->OwnsMember(i) ? numbers.count(m->ChannelNo) != 0 : services.count(m) != 0;
      if (present) continue;
      ListFinding f;
      f.what = FindingKind::DanglingMember;
      f.kind = kind;
      f.fixable = true;
      f.group = group.get();
      f.member = m;
      f.text = Format(GetText(kTextFindingDanglingMember), group->Name.c_str(), m->ChannelNo);
      out.push_back(std::move(f));
    }
  }
}

void CheckName(const std::string& name, NameField field, ListFinding base, std::vector<ListFinding>& out) {
  if (name.size() <= kReceiverTextBytes) return;
  base.what = FindingKind::LongName;
  base.field = field;
  base.fixable = true;
  base.text = Format(GetText(kTextFindingLongName), FitText(name, 64).c_str(), static_cast<int>(kReceiverTextBytes));
  out.push_back(std::move(base));
}

}  // namespace

std::vector<ListFinding> CheckChannelList(const ChannelList& list) {
  std::vector<ListFinding> out;
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) CheckNumbering(list, kind, out);
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) CheckGroups(list, kind, out);

  for (const auto& sat : list.Satellites()) {
    ListFinding f;
    f.satellite = sat.get();
    CheckName(sat->SatName, NameField::SatelliteName, f, out);
  }
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    for (const auto& s : list.Services(kind)) {
      ListFinding f;
      f.kind = kind;
      f.service = s.get();
      CheckName(s->Name, NameField::ServiceName, f, out);
      CheckName(s->ProviderName, NameField::ProviderName, f, out);
    }
    for (const auto& g : kind == ServiceKind::Tv ? list.TvFavorites() : list.RadioFavorites()) {
      ListFinding f;
      f.kind = kind;
      f.group = g.get();
      CheckName(g->Name, NameField::GroupName, f, out);
      if (g->Name.size() <= kReceiverTextBytes && CharacterCount(g->Name) > kReceiverGroupNameCharacters) {
        f.what = FindingKind::LongGroupName;
        f.text =
            Format(GetText(kTextFindingLongGroupName), g->Name.c_str(), static_cast<int>(kReceiverGroupNameCharacters));
        out.push_back(std::move(f));
      }
    }
  }

  // One finding per position (and kind), naming the first service there.
  std::unordered_set<int> positions;
  for (const auto& sat : list.Satellites()) positions.insert(sat->Longitude);
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    std::map<int, std::pair<int, Service*>> missing;  // longitude -> count, first service
    for (const auto& s : list.Services(kind)) {
      if (positions.count(s->Carrier.Longitude) != 0) continue;
      auto& entry = missing[s->Carrier.Longitude];
      if (entry.first++ == 0) entry.second = s.get();
    }
    for (const auto& [longitude, entry] : missing) {
      ListFinding f;
      f.what = FindingKind::NoSatellite;
      f.kind = kind;
      f.service = entry.second;
      f.text = Format(GetText(kTextFindingNoSatellite), entry.first, FormatLongitude(longitude).c_str(),
                      entry.second->Name.c_str());
      out.push_back(std::move(f));
    }
  }
  return out;
}

std::size_t CChannelEditor::FixFindings(const std::vector<ListFinding>& findings) {
  if (m_numbering) return 0;
  std::size_t fixable = 0;
  std::set<ServiceKind> renumber;
  std::set<std::pair<const FavoriteGroup*, const Service*>> dangling;
  for (const ListFinding& f : findings) {
    if (!f.fixable) continue;
    ++fixable;
    if (f.what == FindingKind::Numbering || f.what == FindingKind::DuplicateNumber) renumber.insert(f.kind);
    if (f.what == FindingKind::DanglingMember) dangling.emplace(f.group, f.member);
  }
  if (fixable == 0 || !AskConfirmText(Format(GetText(kTextAskFix), static_cast<int>(fixable)))) return 0;

  // Names first: the records they point at are all still there.
  for (const ListFinding& f : findings) {
    if (!f.fixable || f.what != FindingKind::LongName) continue;
    switch (f.field) {
      case NameField::ServiceName:
        if (f.service) f.service->Name = FitText(f.service->Name, kReceiverTextBytes + 1);
        break;
      case NameField::ProviderName:
        if (f.service) f.service->ProviderName = FitText(f.service->ProviderName, kReceiverTextBytes + 1);
        break;
      case NameField::SatelliteName:
        if (f.satellite) f.satellite->SatName = FitText(f.satellite->SatName, kReceiverTextBytes + 1);
        break;
      case NameField::GroupName:
        if (f.group) f.group->Name = FitText(f.group->Name, kReceiverTextBytes + 1);
        break;
    }
  }
  // Renumbering in number order; FastScan copies follow their services.
  for (const ServiceKind kind : renumber) {
    if (kind == CurrentKind()) {
      m_channels.SortByNumber();
      ApplyRowOrder(m_channels.Rows());
    } else {
      RenumberHiddenKind(kind);
    }
    LogMessage("FixFindings renumbered kind=%d", static_cast<int>(kind));
  }
  // An entry is dropped only when it still has no service after renumbering.
  if (!dangling.empty()) {
    m_members.Clear();  // no row may show a freed copy
    for (const ListFinding& f : CheckChannelList(m_list)) {
      if (f.what != FindingKind::DanglingMember || dangling.count({f.group, f.member}) == 0) continue;
      const std::size_t index = f.group->IndexOf(f.member);
      if (index == FavoriteGroup::npos) continue;
      LogMessage("FixFindings favName=%s drops channelnumber=%d", f.group->Name.c_str(), f.member->ChannelNo);
      f.group->RemoveAt(index);
    }
  }
  RefreshServiceView();
  MarkModified();
  return fixable;
}

}  // namespace vantrel::channels

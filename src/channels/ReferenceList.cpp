#include "channels/ReferenceList.h"

#include <charconv>
#include <map>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "channels/CaseFold.h"
#include "channels/ChannelCsv.h"
#include "channels/ChannelEditor.h"
#include "channels/ChannelFileReader.h"

namespace vantrel::channels {
namespace {

using IdKey = std::tuple<int, int, int>;

struct IdHash {
  std::size_t operator()(const IdKey& k) const {
    const auto [a, b, c] = k;
    return (static_cast<std::size_t>(static_cast<unsigned>(a)) * 1000003u) ^
           (static_cast<std::size_t>(static_cast<unsigned>(b)) * 8191u) ^
           static_cast<std::size_t>(static_cast<unsigned>(c));
  }
};

// Services of one key in list order, with a cursor past those already taken.
struct Candidates {
  std::vector<std::size_t> indexes;
  std::size_t next = 0;
};

bool ParseId(const std::string& text, int& value) {
  std::size_t b = text.find_first_not_of(" \t");
  std::size_t e = text.find_last_not_of(" \t");
  if (b == std::string::npos) return false;
  const auto [end, ec] = std::from_chars(text.data() + b, text.data() + e + 1, value);
  return ec == std::errc() && end == text.data() + e + 1;
}

std::string Trimmed(std::string_view text) {
  const auto b = text.find_first_not_of(" \t\r");
  if (b == std::string_view::npos) return {};
  const auto e = text.find_last_not_of(" \t\r");
  return std::string(text.substr(b, e - b + 1));
}

ServiceKind ServiceKindOfGroup(int kind) {
  return kind == kFavoriteTv || kind == kFavoriteFastScanTv ? ServiceKind::Tv : ServiceKind::Radio;
}

}  // namespace

std::string NameKey(std::string_view name) {
  std::string key;
  for (const char c : LowerText(name)) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') key += c;
  }
  // The no-break space (U+00A0) counts as a space too.
  for (std::size_t at = key.find("\xC2\xA0"); at != std::string::npos; at = key.find("\xC2\xA0")) key.erase(at, 2);
  return key;
}

ReferenceList ReferenceFromChannelList(const ChannelList& list) {
  ReferenceList ref;
  std::unordered_map<const Service*, std::size_t> entryOf;
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    for (const auto& s : list.Services(kind)) {
      entryOf.emplace(s.get(), ref.entries.size());
      ref.entries.push_back({s->Name, true, s->Sid, s->Tsid, s->Onid, static_cast<int>(kind)});
    }
  }
  for (const auto* groups : {&list.TvFavorites(), &list.RadioFavorites()}) {
    for (const auto& g : *groups) {
      if (g->ServiceType == kFavoriteUnknown) continue;
      ReferenceGroup group;
      group.kind = g->ServiceType;
      group.name = g->Name;
      const ServiceKind kind = ServiceKindOfGroup(g->ServiceType);
      for (std::size_t m = 0; m < g->MemberCount(); ++m) {
        const Service* member = g->Member(m);
        if (g->OwnsMember(m)) {
          // A copy stands for the service at its channel number.
          member = list.ServiceAtPosition(kind, member->ChannelNo);
          if (member == nullptr) continue;
        }
        const auto it = entryOf.find(member);
        if (it == entryOf.end()) continue;
        group.members.push_back(it->second);
        group.lcn.push_back(g->Member(m)->LCNNo);
        group.names.push_back(g->Member(m)->Name);
      }
      ref.groups.push_back(std::move(group));
    }
  }
  return ref;
}

ReferenceList ReferenceFromText(std::string_view bytes) {
  ReferenceList ref;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const char separator = DetectCsvSeparator(bytes);
  std::vector<CsvRecord> records;
  if (ParseCsv(bytes, separator, records) && !records.empty()) {
    int name = -1, sid = -1, tsid = -1, onid = -1, type = -1;
    const auto& header = records.front().fields;
    for (std::size_t f = 0; f < header.size(); ++f) {
      const std::string key = LowerText(Trimmed(header[f]));
      int* slot = key == "name"   ? &name
                  : key == "sid"  ? &sid
                  : key == "tsid" ? &tsid
                  : key == "onid" ? &onid
                  : key == "type" ? &type
                                  : nullptr;
      if (slot != nullptr && *slot < 0) *slot = static_cast<int>(f);
    }
    if (name >= 0) {
      for (std::size_t r = 1; r < records.size(); ++r) {
        const auto& fields = records[r].fields;
        auto field = [&fields](int f) {
          return f >= 0 && static_cast<std::size_t>(f) < fields.size() ? fields[static_cast<std::size_t>(f)]
                                                                       : std::string();
        };
        ReferenceEntry e;
        e.name = field(name);
        e.hasIds = ParseId(field(sid), e.sid) && ParseId(field(tsid), e.tsid) && ParseId(field(onid), e.onid);
        const std::string t = LowerText(Trimmed(field(type)));
        e.kind = t == "tv" ? 0 : t == "radio" ? 1 : -1;
        if (!e.hasIds && NameKey(e.name).empty()) continue;
        ref.entries.push_back(std::move(e));
      }
      return ref;
    }
  }
  // One name per line.
  std::size_t start = 0;
  while (start <= bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string line = Trimmed(bytes.substr(start, end - start));
    if (!NameKey(line).empty()) ref.entries.push_back({std::move(line), false, 0, 0, 0, -1});
    start = end + 1;
  }
  return ref;
}

bool LoadReferenceList(const std::string& path, ReferenceList& out, std::string* reason) {
  std::string bytes;
  if (!ReadTextFile(path, bytes, reason)) return false;
  std::size_t first = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  first = bytes.find_first_not_of(" \t\r\n", first);
  if (first != std::string::npos && bytes[first] == '<') {
    ChannelList list;
    const ReadResult read = ReadChannelBuffer(list, bytes, reason);
    if (read != ReadResult::Loaded) {
      if (read == ReadResult::WrongDocument && reason != nullptr) *reason = "not a channel list";
      return false;
    }
    out = ReferenceFromChannelList(list);
    return true;
  }
  out = ReferenceFromText(bytes);
  return true;
}

ReferencePlan PlanReference(const ChannelList& list, const ReferenceList& reference, bool withFavourites) {
  ReferencePlan plan;
  const std::size_t entries = reference.entries.size();
  // matchOf[k][e]: the service of kind k the entry found (null: none).
  std::vector<Service*> matchOf[2];
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    const int k = static_cast<int>(kind);
    const auto& services = list.Services(kind);
    matchOf[k].assign(entries, nullptr);
    std::vector<bool> taken(services.size(), false);
    std::unordered_map<IdKey, Candidates, IdHash> byIds;
    std::unordered_map<std::string, Candidates> byName;
    byIds.reserve(services.size());
    byName.reserve(services.size());
    for (std::size_t i = 0; i < services.size(); ++i) {
      const Service& s = *services[i];
      byIds[{s.Sid, s.Tsid, s.Onid}].indexes.push_back(i);
      byName[NameKey(s.Name)].indexes.push_back(i);
    }
    auto take = [&taken](Candidates& c) -> long long {
      while (c.next < c.indexes.size() && taken[c.indexes[c.next]]) ++c.next;
      if (c.next == c.indexes.size()) return -1;
      const std::size_t i = c.indexes[c.next++];
      taken[i] = true;
      return static_cast<long long>(i);
    };
    // Ids first, for the whole reference, so that a name never takes a
    // service a later entry names by its ids.
    for (std::size_t e = 0; e < entries; ++e) {
      const ReferenceEntry& entry = reference.entries[e];
      if (!entry.hasIds || (entry.kind >= 0 && entry.kind != k)) continue;
      const auto it = byIds.find({entry.sid, entry.tsid, entry.onid});
      if (it == byIds.end()) continue;
      const long long i = take(it->second);
      if (i >= 0) matchOf[k][e] = services[static_cast<std::size_t>(i)].get();
    }
    for (std::size_t e = 0; e < entries; ++e) {
      const ReferenceEntry& entry = reference.entries[e];
      if (matchOf[k][e] != nullptr || (entry.kind >= 0 && entry.kind != k)) continue;
      const std::string key = NameKey(entry.name);
      if (key.empty()) continue;
      const auto it = byName.find(key);
      if (it == byName.end()) continue;
      const long long i = take(it->second);
      if (i >= 0) matchOf[k][e] = services[static_cast<std::size_t>(i)].get();
    }
    auto& order = plan.order[k];
    order.reserve(services.size());
    for (std::size_t e = 0; e < entries; ++e) {
      if (matchOf[k][e] != nullptr) order.push_back(matchOf[k][e]);
    }
    plan.matched += order.size();
    for (std::size_t i = 0; i < services.size(); ++i) {
      if (!taken[i]) order.push_back(services[i].get());
    }
    for (std::size_t i = 0; i < order.size(); ++i) {
      (order[i]->ChannelNo == static_cast<int>(i) + 1 ? plan.unchanged : plan.moved) += 1;
    }
  }
  for (std::size_t e = 0; e < entries; ++e) {
    if (matchOf[0][e] != nullptr || matchOf[1][e] != nullptr) continue;
    const ReferenceEntry& entry = reference.entries[e];
    plan.notFound.push_back(!entry.name.empty() || !entry.hasIds
                                ? entry.name
                                : std::to_string(entry.sid) + "/" + std::to_string(entry.tsid) + "/" +
                                      std::to_string(entry.onid));
  }
  if (withFavourites) {
    for (const ReferenceGroup& g : reference.groups) {
      const int k = static_cast<int>(ServiceKindOfGroup(g.kind));
      ReferencePlan::Group group;
      group.kind = g.kind;
      group.name = FitText(g.name, kGroupNameSize);
      std::unordered_set<const Service*> seen;
      for (std::size_t m = 0; m < g.members.size(); ++m) {
        Service* s = g.members[m] < entries ? matchOf[k][g.members[m]] : nullptr;
        if (s == nullptr || !seen.insert(s).second) continue;
        group.members.push_back(s);
        group.lcn.push_back(m < g.lcn.size() ? g.lcn[m] : 0);
        group.names.push_back(m < g.names.size() ? g.names[m] : s->Name);
      }
      plan.groups.push_back(std::move(group));
    }
  }
  return plan;
}

void CChannelEditor::ApplyReference(const ReferencePlan& plan) {
  ChannelList& list = m_list;
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    ReorderServices(kind, plan.order[static_cast<int>(kind)]);
  }
  for (const ReferencePlan::Group& g : plan.groups) {
    const auto& groups = ServiceKindOfGroup(g.kind) == ServiceKind::Tv ? list.TvFavorites() : list.RadioFavorites();
    FavoriteGroup* target = nullptr;
    const std::string wanted = LowerText(g.name);
    for (const auto& existing : groups) {
      if (existing->ServiceType == g.kind && LowerText(existing->Name) == wanted) {
        target = existing.get();
        break;
      }
    }
    if (target == nullptr) {
      auto fresh = std::make_unique<FavoriteGroup>(g.kind, g.name, static_cast<int>(groups.size()));
      target = fresh.get();
      list.AddFavoriteGroup(std::move(fresh));
    }
    target->ClearMembers();
    for (std::size_t m = 0; m < g.members.size(); ++m) {
      if (target->IsFastScan()) {
        auto copy = std::make_unique<Service>(*g.members[m]);
        copy->LCNNo = g.lcn[m];
        copy->Name = g.names[m];
        target->AddCopy(std::move(copy));
      } else {
        target->AddReference(g.members[m]);
      }
    }
  }
  ShowOutsideChange(!plan.groups.empty());
}

}  // namespace vantrel::channels

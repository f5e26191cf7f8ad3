#include "channels/ChannelCsv.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <map>
#include <tuple>

#include "channels/AtomicFile.h"
#include "channels/CaseFold.h"
#include "channels/ChannelColumns.h"
#include "channels/ChannelEditor.h"
#include "channels/ReferenceCsvTexts.h"
#include "core/Format.h"
#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view SkipBom(std::string_view bytes) {
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  return bytes;
}

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

bool ParseInt(std::string_view text, int& value) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  const char* begin = t.data();
  if (*begin == '+') ++begin;
  const auto [end, ec] = std::from_chars(begin, t.data() + t.size(), value);
  return ec == std::errc() && end == t.data() + t.size();
}

std::optional<bool> ParseFlag(std::string_view text) {
  const std::string t = LowerText(Trim(text));
  if (t == "true" || t == "yes" || t == "1") return true;
  if (t == "false" || t == "no" || t == "0") return false;
  return std::nullopt;
}

// Column keys in channel-list column order (without the filler).
constexpr std::array<const char*, kColFiller> kKeys = {
    "number", "name", "type", "provider", "satellite", "position", "frequency", "symbol_rate", "band", "scrambled",
    "sid",    "onid", "tsid", "vpid",     "apid",      "pcrpid",   "lock",      "skip",        "hd",
};

// The column a header cell names: its key (any case) or the column's header in
// the language shown; -1 for anything else.
int ColumnOfHeader(std::string_view cell) {
  const std::string wanted = LowerText(Trim(cell));
  for (int c = 0; c < kColFiller; ++c) {
    if (wanted == kKeys[static_cast<std::size_t>(c)]) return c;
  }
  for (int c = 0; c < kColFiller; ++c) {
    const std::string header = LowerText(HeaderText(ChannelColumns()[static_cast<std::size_t>(c)]));
    if (!header.empty() && wanted == header) return c;
  }
  return -1;
}

using IdKey = std::tuple<int, int, int>;  // sid, tsid, onid

}  // namespace

char DetectCsvSeparator(std::string_view bytes) {
  bytes = SkipBom(bytes);
  std::size_t comma = 0, semicolon = 0, tab = 0;
  bool quoted = false;
  for (const char c : bytes) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n' || c == '\r') break;
    comma += c == ',';
    semicolon += c == ';';
    tab += c == '\t';
  }
  if (tab > 0 && tab >= semicolon && tab >= comma) return '\t';
  if (semicolon > comma) return ';';
  return ',';
}

bool ParseCsv(std::string_view bytes, char separator, std::vector<CsvRecord>& records, std::size_t* badLine) {
  bytes = SkipBom(bytes);
  records.clear();
  std::size_t line = 1;
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    CsvRecord record;
    record.line = line;
    std::string field;
    bool endOfRecord = false;
    while (!endOfRecord) {
      field.clear();
      if (i < n && bytes[i] == '"') {
        const std::size_t openLine = line;
        ++i;
        bool closed = false;
        while (i < n) {
          const char c = bytes[i++];
          if (c == '"') {
            if (i < n && bytes[i] == '"') {
              field += '"';
              ++i;
            } else {
              closed = true;
              break;
            }
          } else {
            if (c == '\n') ++line;
            field += c;
          }
        }
        if (!closed) {
          if (badLine != nullptr) *badLine = openLine;
          return false;
        }
      }
      // Unquoted text, or what stands after a closing quote, up to the separator.
      while (i < n && bytes[i] != separator && bytes[i] != '\n' && bytes[i] != '\r') field += bytes[i++];
      record.fields.push_back(field);
      if (i >= n) {
        endOfRecord = true;
      } else if (bytes[i] == separator) {
        ++i;
      } else {
        if (bytes[i] == '\r') ++i;
        if (i < n && bytes[i] == '\n') ++i;
        ++line;
        endOfRecord = true;
      }
    }
    const bool blank = record.fields.size() == 1 && record.fields[0].empty();
    if (!blank) records.push_back(std::move(record));
  }
  return true;
}

std::string CsvField(std::string_view text, char separator) {
  if (text.find_first_of(std::string{'"', '\r', '\n', separator}) == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

const std::vector<std::string>& CsvColumnKeys() {
  static const std::vector<std::string> keys(kKeys.begin(), kKeys.end());
  return keys;
}

std::string ChannelCsvBytes(ChannelList& list, ServiceKind kind) {
  std::string out;
  const auto& services = list.Services(kind);
  out.reserve(160 * (services.size() + 1));
  for (int c = 0; c < kColFiller; ++c) {
    if (c != 0) out += ',';
    out += kKeys[static_cast<std::size_t>(c)];
  }
  out += '\n';
  for (const auto& s : services) {
    for (int c = 0; c < kColFiller; ++c) {
      if (c != 0) out += ',';
      out += CsvField(ChannelCellText(list, *s, c));
    }
    out += '\n';
  }
  return out;
}

bool WriteChannelCsv(ChannelList& list, ServiceKind kind, const std::string& path, std::string* error) {
  return WriteFileAtomically(path, ChannelCsvBytes(list, kind), error);
}

bool ReadTextFile(const std::string& path, std::string& bytes, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error != nullptr) *error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  // Reading stops just past the bound: a wrongly chosen huge file (or a
  // device that never ends) is refused instead of filling the memory.
  std::string buffer;
  char chunk[1 << 16];
  while (buffer.size() <= kMaxTextFileSize && in.read(chunk, sizeof chunk).gcount() > 0) {
    buffer.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) {
    if (error != nullptr) *error = "cannot read " + path;
    return false;
  }
  if (buffer.size() > kMaxTextFileSize) {
    if (error != nullptr) *error = path + " is larger than " + std::to_string(kMaxTextFileSize >> 20) + " MiB";
    return false;
  }
  bytes = std::move(buffer);
  return true;
}

CsvImportPlan PlanCsvImport(const ChannelList& list, std::string_view bytes) {
  CsvImportPlan plan;
  std::vector<CsvRecord> records;
  std::size_t badLine = 0;
  const char separator = DetectCsvSeparator(bytes);
  if (!ParseCsv(bytes, separator, records, &badLine)) {
    plan.problems.push_back({badLine, CsvProblemKind::OpenQuote, {}});
    return plan;
  }
  if (records.empty()) {
    plan.problems.push_back({0, CsvProblemKind::NoIdColumns, {}});
    return plan;
  }
  std::array<int, kColFiller> at{};
  at.fill(-1);
  const CsvRecord& header = records.front();
  for (std::size_t f = 0; f < header.fields.size(); ++f) {
    const int column = ColumnOfHeader(header.fields[f]);
    if (column >= 0 && at[static_cast<std::size_t>(column)] < 0)
      at[static_cast<std::size_t>(column)] = static_cast<int>(f);
  }
  if (at[kColSid] < 0 || at[kColOnid] < 0 || at[kColTsid] < 0) {
    plan.problems.push_back({header.line, CsvProblemKind::NoIdColumns, {}});
    return plan;
  }

  // The services of each kind by their ids, in list order; the k-th row with
  // some ids takes the k-th service with them (lists may hold the same
  // service twice).
  std::map<IdKey, std::vector<Service*>> byIds[2];
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    for (const auto& s : list.Services(kind))
      byIds[static_cast<int>(kind)][{s->Sid, s->Tsid, s->Onid}].push_back(s.get());
  }
  std::map<IdKey, std::size_t> used[2];

  const auto cell = [&](const CsvRecord& r, int column) -> const std::string* {
    const int f = at[static_cast<std::size_t>(column)];
    return f >= 0 ? &r.fields[static_cast<std::size_t>(f)] : nullptr;
  };
  std::map<int, std::size_t> numberLine[2];  // given number -> first row giving it
  for (std::size_t r = 1; r < records.size(); ++r) {
    const CsvRecord& row = records[r];
    ++plan.rows;
    auto refuse = [&](CsvProblemKind kind, std::string value) {
      plan.problems.push_back({row.line, kind, std::move(value)});
    };
    if (row.fields.size() != header.fields.size()) {
      refuse(CsvProblemKind::FieldCount, std::to_string(row.fields.size()));
      continue;
    }
    int sid = 0, onid = 0, tsid = 0;
    if (!ParseInt(*cell(row, kColSid), sid)) {
      refuse(CsvProblemKind::BadId, *cell(row, kColSid));
      continue;
    }
    if (!ParseInt(*cell(row, kColOnid), onid)) {
      refuse(CsvProblemKind::BadId, *cell(row, kColOnid));
      continue;
    }
    if (!ParseInt(*cell(row, kColTsid), tsid)) {
      refuse(CsvProblemKind::BadId, *cell(row, kColTsid));
      continue;
    }
    const IdKey key{sid, tsid, onid};
    const std::string idText = std::to_string(sid) + "/" + std::to_string(tsid) + "/" + std::to_string(onid);

    std::optional<ServiceKind> kind;
    if (const std::string* type = cell(row, kColServiceType); type != nullptr && !Trim(*type).empty()) {
      const std::string t = LowerText(Trim(*type));
      if (t == "tv") {
        kind = ServiceKind::Tv;
      } else if (t == "radio") {
        kind = ServiceKind::Radio;
      } else {
        refuse(CsvProblemKind::BadType, *type);
        continue;
      }
    } else {
      kind = byIds[0].count(key) != 0 ? ServiceKind::Tv : ServiceKind::Radio;
    }
    const int k = static_cast<int>(*kind);
    const auto found = byIds[k].find(key);
    std::size_t& taken = used[k][key];
    if (found == byIds[k].end() || taken >= found->second.size()) {
      refuse(CsvProblemKind::NoService, idText);
      continue;
    }

    Service* target = found->second[taken];
    CsvChange change;
    change.kind = *kind;
    bool bad = false;
    if (const std::string* v = cell(row, kColChannelNo); v != nullptr && !Trim(*v).empty()) {
      int number = 0;
      const int count = static_cast<int>(list.Services(*kind).size());
      if (!ParseInt(*v, number) || number < 1 || number > count) {
        refuse(CsvProblemKind::BadNumber, *v);
        bad = true;
      } else if (numberLine[k].count(number) != 0) {
        refuse(CsvProblemKind::DuplicateNumber, std::to_string(number));
        bad = true;
      } else {
        change.number = number;
      }
    }
    if (const std::string* v = cell(row, kColServiceName); !bad && v != nullptr) {
      // A name may stay empty (files carry such services), not become empty.
      if ((v->empty() && !target->Name.empty()) || v->size() >= kServiceNameSize) {
        refuse(CsvProblemKind::BadName, *v);
        bad = true;
      } else {
        change.name = *v;
      }
    }
    for (const int column : {kColChildrenLock, kColSkip}) {
      const std::string* v = cell(row, column);
      if (bad || v == nullptr) continue;
      const std::optional<bool> flag = ParseFlag(*v);
      if (!flag) {
        refuse(CsvProblemKind::BadFlag, *v);
        bad = true;
      } else {
        (column == kColChildrenLock ? change.locked : change.skipped) = flag;
      }
    }
    if (bad) continue;
    // Only a usable row takes its service and its number.
    change.service = target;
    ++taken;
    if (change.number) numberLine[k][*change.number] = row.line;
    plan.changes.push_back(std::move(change));
  }

  // The new order of each kind: given numbers pin their services, the others
  // fill the free positions in their present order.
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    const int k = static_cast<int>(kind);
    const auto& services = list.Services(kind);
    std::vector<Service*> places(services.size(), nullptr);
    std::map<const Service*, int> pinned;
    for (const CsvChange& c : plan.changes) {
      if (c.kind == kind && c.number) {
        places[static_cast<std::size_t>(*c.number - 1)] = c.service;
        pinned[c.service] = *c.number;
      }
    }
    if (pinned.empty()) continue;
    std::size_t next = 0;
    for (const auto& s : services) {
      if (pinned.count(s.get()) != 0) continue;
      while (places[next] != nullptr) ++next;
      places[next] = s.get();
    }
    bool changed = false;
    for (std::size_t i = 0; i < services.size(); ++i) {
      changed = changed || places[i] != services[i].get() || services[i]->ChannelNo != static_cast<int>(i) + 1;
    }
    if (changed) plan.order[k] = std::move(places);
  }

  // Services that change in any way.
  std::map<const Service*, bool> changed;
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    const auto& order = plan.order[static_cast<int>(kind)];
    for (std::size_t i = 0; i < order.size(); ++i) {
      if (order[i]->ChannelNo != static_cast<int>(i) + 1) changed[order[i]] = true;
    }
  }
  for (const CsvChange& c : plan.changes) {
    const Service& s = *c.service;
    if ((c.name && *c.name != s.Name) || (c.locked && *c.locked != s.Locked) || (c.skipped && *c.skipped != s.Skipped))
      changed[c.service] = true;
  }
  plan.changedServices = changed.size();
  return plan;
}

std::string DescribeCsvProblem(const CsvProblem& problem) {
  const char* value = problem.value.c_str();
  switch (problem.kind) {
    case CsvProblemKind::NoIdColumns: return GetText(kTextCsvNoIds);
    case CsvProblemKind::OpenQuote: return GetText(kTextCsvOpenQuote);
    case CsvProblemKind::FieldCount: return GetText(kTextCsvFieldCount);
    case CsvProblemKind::BadId: return Format(GetText(kTextCsvBadId), value);
    case CsvProblemKind::NoService: return Format(GetText(kTextCsvNoService), value);
    case CsvProblemKind::BadType: return Format(GetText(kTextCsvBadType), value);
    case CsvProblemKind::BadNumber: return Format(GetText(kTextCsvBadNumber), value);
    case CsvProblemKind::DuplicateNumber: return Format(GetText(kTextCsvDuplicateNumber), value);
    case CsvProblemKind::BadName: return Format(GetText(kTextCsvBadName), value);
    case CsvProblemKind::BadFlag: return Format(GetText(kTextCsvBadFlag), value);
  }
  return {};
}

bool CChannelEditor::ApplyCsvImport(const CsvImportPlan& plan) {
  if (plan.changedServices == 0) return false;
  for (const CsvChange& c : plan.changes) {
    Service& s = *c.service;
    if (c.name) s.Name = *c.name;
    if (c.locked) s.Locked = *c.locked;
    if (c.skipped) s.Skipped = *c.skipped;
  }
  for (const ServiceKind kind : {ServiceKind::Tv, ServiceKind::Radio}) {
    const auto& order = plan.order[static_cast<int>(kind)];
    if (!order.empty()) ReorderServices(kind, order);
  }
  ShowOutsideChange(false);
  return true;
}

}  // namespace vantrel::channels

#include "channels/ChannelFileWriter.h"

#include <array>
#include <charconv>

#include "channels/AtomicFile.h"
#include "channels/Fec.h"
#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/PathUtil.h"
#include "core/Prompt.h"
#include "core/TextConvert.h"
#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

constexpr int kTextRenumberingNecessary = 98;
constexpr int kTextInfoCaption = 291;
constexpr int kTextCannotSave = 341;

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// AnsiToUtf8 into its 256-byte area: a value whose UTF-8 form would
// not fit with its terminator (or that does not convert) becomes empty. ASCII,
// which every code page keeps as it is, takes a shortcut with the same result.
std::string BoundedUtf8(std::string_view text) {
  if (IsAscii(text)) return text.size() < 256 ? std::string(text) : std::string();
  std::array<char, 256> area{};
  const std::size_t n = AnsiToUtf8(text, area);
  return std::string(area.data(), n);
}

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '"': out += "&quot;"; break;
      case '&': out += "&amp;"; break;
      case '\'': out += "&apos;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
}

class Emitter {
 public:
  explicit Emitter(std::string& out) : m_out(out) {}

  void Open(std::string_view name) {
    m_out += '<';
    m_out += name;
    m_out += ">\n";
  }
  void Close(std::string_view name) {
    m_out += "</";
    m_out += name;
    m_out += ">\n";
  }
  // A leaf with a value already in UTF-8 and escaped (or one that needs no escaping).
  void Raw(std::string_view name, std::string_view value) {
    m_out += '<';
    m_out += name;
    m_out += '>';
    m_out += value;
    m_out += "</";
    m_out += name;
    m_out += ">\n";
  }
  // A text leaf: converted to UTF-8 (bounded), escaped; empty gives "<n></n>".
  void Text(std::string_view name, std::string_view text) {
    m_out += '<';
    m_out += name;
    m_out += '>';
    AppendEscaped(m_out, BoundedUtf8(text));
    m_out += "</";
    m_out += name;
    m_out += ">\n";
  }
  void Number(std::string_view name, long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    Raw(name, std::string_view(digits, static_cast<std::size_t>(end - digits)));
  }
  void Bool(std::string_view name, bool value) { Raw(name, value ? "true" : "false"); }
  void Band(int band) { Raw("Band", band == kBandC ? "C" : "Ku"); }
  void Fec(int code) { Raw("FEC", FecCodeToName(code)); }

 private:
  std::string& m_out;
};

void WriteSatellite(Emitter& e, const Satellite& sat) {
  e.Open("Satellite");
  e.Text("SatName", sat.SatName);
  e.Number("Longitude", sat.Longitude);
  e.Band(sat.Band);
  for (const auto& tp : sat.mTransponder) {
    e.Open("Transponder");
    e.Number("Frequency", tp->Frequency);
    e.Number("SymbolRate", tp->SymbolRate);
    e.Number("Onid", tp->Onid);
    e.Number("Tsid", tp->Tsid);
    e.Number("Nid", tp->Nid);
    e.Raw("Pol", tp->Pol == 'H' ? "H" : "V");
    e.Fec(tp->FEC);
    e.Close("Transponder");
  }
  e.Close("Satellite");
}

void WriteConfiguration(Emitter& e, const Configuration& c) {
  e.Open("Configuration");
  e.Number("Slot", c.Slot);
  e.Number("Tuner", c.Tuner);
  e.Number("Longitude", c.Longitude);
  e.Band(c.Band);
  e.Number("LO1Frequency", c.LO1Frequency);
  e.Number("LO2Frequency", c.LO2Frequency);
  e.Number("BandSwitchFreq", c.BandSwitchFreq);
  e.Number("DiSEqC", c.DiSEqC);
  e.Bool("FrequencyLevel", c.FrequencyLevel == 1);
  e.Number("DisEqC11", c.DisEqC11);
  e.Number("DisEqCRepeat", c.DisEqCRepeat);
  e.Raw("MoterType", c.MoterType == 1 ? "ON" : c.MoterType == 2 ? "USALS" : "OFF");
  e.Number("MotorizedData", c.MotorizedData);
  e.Number("IsOneCable", c.IsOneCable);
  e.Number("OneCablePin", c.OneCablePin);
  e.Number("OneCableMDU", c.OneCableMDU);
  e.Number("OneCableLoFreq1", c.OneCableLoFreq1);
  e.Number("OneCableLoFreq2", c.OneCableLoFreq2);
  e.Number("OneCableUBSlot", c.OneCableUBSlot);
  e.Number("OneCableUBFreq", c.OneCableUBFreq);
  e.Number("USALSLongitude", c.USALSLongitude);
  e.Close("Configuration");
}

void WriteService(Emitter& e, const Service& s, bool radio) {
  e.Open("Service");
  e.Number("ChannelNo", s.ChannelNo);
  e.Text("Name", s.Name);
  e.Number("Sid", s.Sid);
  e.Number("Tsid", s.Tsid);
  e.Number("Onid", s.Onid);
  e.Open("Carrier");
  e.Number("Longitude", s.Carrier.Longitude);
  e.Band(s.Carrier.Band);
  e.Number("Frequency", s.Carrier.Frequency);
  e.Number("SymbolRate", s.Carrier.SymbolRate);
  if (s.Carrier.Pol == '\0') {
    e.Raw("Pol", "");
  } else {
    e.Text("Pol", std::string_view(&s.Carrier.Pol, 1));
  }
  e.Fec(s.Carrier.FEC);
  e.Close("Carrier");
  e.Number("Vpid", s.Vpid);
  e.Number("Apid", s.Apid);
  e.Number("PCRpid", s.PCRpid);
  e.Number("Scrambled", s.Scrambled);
  e.Bool("Skipped", s.Skipped);
  e.Bool("Locked", s.Locked);
  e.Raw("ServiceType", radio ? "Radio" : "TV");  // the list decides, not the field
  e.Bool("IsHD", s.IsHD);
  e.Text("ProviderName", s.ProviderName.empty() ? std::string_view("No Provider") : std::string_view(s.ProviderName));
  e.Close("Service");
}

void WriteGroup(std::string& out, Emitter& e, const FavoriteGroup& group, bool radioNode) {
  const bool fastScan = group.ServiceType == (radioNode ? kFavoriteFastScanRadio : kFavoriteFastScanTv);
  e.Open("FavoriteGroup");
  e.Text("Name", group.Name);
  e.Raw("ServiceType", radioNode ? (fastScan ? "FastScan_Radio" : "Radio") : (fastScan ? "FastScan_TV" : "TV"));
  for (std::size_t i = 0; i < group.MemberCount(); ++i) {
    const Service& m = *group.Member(i);
    if (fastScan) {
      // Attribute values: XmlEscape, then the bounded conversion, no further escaping.
      out += "<ChannelNo Name=\"";
      out += BoundedUtf8(XmlEscape(m.Name));
      out += "\" LCNNo=\"";
      out += BoundedUtf8(std::to_string(m.LCNNo));
      out += "\">";
      out += std::to_string(m.ChannelNo);
      out += "</ChannelNo>\n";
    } else {
      e.Number("ChannelNo", m.ChannelNo);
    }
  }
  e.Close("FavoriteGroup");
}

std::vector<const FavoriteGroup*> AllOf(const ChannelList::Owned<FavoriteGroup>& groups) {
  std::vector<const FavoriteGroup*> out;
  out.reserve(groups.size());
  for (const auto& g : groups) out.push_back(g.get());
  return out;
}

}  // namespace

std::vector<const FavoriteGroup*> StoredOrderView::TvNodeGroups(const ChannelList& list) const {
  return AllOf(list.TvFavorites());
}

std::vector<const FavoriteGroup*> StoredOrderView::RadioNodeGroups(const ChannelList& list) const {
  return AllOf(list.RadioFavorites());
}

std::string ChannelFileBytes(const ChannelList& list, const IChannelListView& view) {
  std::string out;
  out.reserve(1024 + list.Satellites().size() * 128 + (list.TvServices().size() + list.RadioServices().size()) * 560);
  Emitter e(out);
  out += "<?xml version=\"1.0\"?>\r\n";
  out += "<Servicelist>\r\n";
  out += "<Satellitelist>\r\n";
  for (const auto& sat : list.Satellites()) WriteSatellite(e, *sat);
  for (const auto& c : list.Configurations()) WriteConfiguration(e, c);
  const TunerConfiguration& t = list.Tuner();
  e.Open("TunerConfiguration");
  e.Number("ConnectType", t.ConnectType);
  e.Number("SignalConfig", t.SignalConfig);
  e.Number("Tuner1Type", t.Tuner1Type);
  e.Number("Tuner2Type", t.Tuner2Type);
  e.Close("TunerConfiguration");
  out += "</Satellitelist>\r\n";
  for (const auto& s : list.TvServices()) WriteService(e, *s, false);
  for (const auto& s : list.RadioServices()) WriteService(e, *s, true);
  const auto tvGroups = view.TvNodeGroups(list);
  const auto radioGroups = view.RadioNodeGroups(list);
  if (tvGroups.empty() && radioGroups.empty()) {
    out += "<Favoritelist></Favoritelist>\n";
  } else {
    e.Open("Favoritelist");
    for (const FavoriteGroup* g : tvGroups) WriteGroup(out, e, *g, false);
    for (const FavoriteGroup* g : radioGroups) WriteGroup(out, e, *g, true);
    e.Close("Favoritelist");
  }
  out += "</Servicelist>\r\n";
  return out;
}

std::string ChannelFileBytes(const ChannelList& list) {
  const StoredOrderView view;
  return ChannelFileBytes(list, view);
}

WriteResult WriteChannelFile(ChannelList& list, const std::string& path, bool keepPath, IChannelListView& view,
                             std::string* reason) {
  if (!keepPath) list.SetFilePath(path);
  if (!view.SortByNumberAndCheck()) {
    if (!GetPrompt().AskYesNo(GetText(kTextRenumberingNecessary), GetText(kTextInfoCaption))) {
      if (reason != nullptr) *reason = "the save was abandoned: the channels need renumbering";
      return WriteResult::Abandoned;
    }
    view.Renumber();
  }
  std::string error;
  bool written = false;
  try {
    written = WriteFileAtomically(path, ChannelFileBytes(list, view), &error);
  } catch (const std::bad_alloc&) {
    error = "out of memory";
  }
  if (!written) {
    LogError("WriteChannelFile: %s", error.c_str());
    if (reason != nullptr) *reason = error;
    ShowErrorText(Format(GetText(kTextCannotSave), path.c_str()));
    return WriteResult::Failed;
  }
  qCInfo(lcVantrelChannels).noquote() << "channel list written to" << QString::fromStdString(path);
  view.SetWindowTitle(GetFileName(list.FilePath(), false));
  return WriteResult::Written;
}

WriteResult WriteChannelFile(ChannelList& list, const std::string& path, bool keepPath, std::string* reason) {
  StoredOrderView view;
  return WriteChannelFile(list, path, keepPath, view, reason);
}

}  // namespace vantrel::channels

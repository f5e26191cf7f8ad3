#include "channels/ChannelFileReader.h"

#include <sys/stat.h>
#include <upnp/ixml.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <unordered_map>

#include "channels/Fec.h"
#include "channels/LargeStack.h"
#include "channels/XmlPreflight.h"
#include "core/DiagLog.h"
#include "core/Prompt.h"
#include "core/TextConvert.h"
#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

constexpr int kTextXmlLoadingError = 294;

// Frees a document when it goes out of scope (on the large-stack thread).
struct DocumentGuard {
  IXML_Document* doc = nullptr;
  ~DocumentGuard() {
    if (doc != nullptr) ixmlDocument_free(doc);
  }
};

// Frees an attribute map.
struct AttributeMap {
  explicit AttributeMap(IXML_Node* node) : map(ixmlNode_getAttributes(node)) {}
  ~AttributeMap() {
    if (map != nullptr) ixmlNamedNodeMap_free(map);
  }
  AttributeMap(const AttributeMap&) = delete;
  AttributeMap& operator=(const AttributeMap&) = delete;
  IXML_NamedNodeMap* map;
};

bool IsElement(IXML_Node* node) { return ixmlNode_getNodeType(node) == eELEMENT_NODE; }

bool NameIs(IXML_Node* node, const char* name) {
  const char* own = ixmlNode_getNodeName(node);
  return own != nullptr && std::strcmp(own, name) == 0;
}

// An element "with content" has at least one child node.
bool HasContent(IXML_Node* node) { return ixmlNode_getFirstChild(node) != nullptr; }

// The raw (UTF-8) value: the value of the element's first child node.
const char* RawValue(IXML_Node* element) {
  IXML_Node* first = ixmlNode_getFirstChild(element);
  const char* value = first != nullptr ? ixmlNode_getNodeValue(first) : nullptr;
  return value != nullptr ? value : "";
}

// Utf8ToAnsi with a shortcut for pure ASCII, which every code page keeps as it is.
std::string ToAnsi(const char* utf8) {
  const std::size_t length = std::strlen(utf8);
  for (std::size_t i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(utf8[i]) >= 0x80) return Utf8ToAnsi(std::string_view(utf8, length));
  }
  return std::string(utf8, length);
}

// Decimal: leading white space, an optional sign, digits; the first other
// character ends it; no digits gives 0. A value beyond the field's range is
// held at the nearest end of it: "99999999999" must never wrap round to an
// unrelated number.
template <typename T = int>
T Number(const char* text) {
  const long long v = std::strtoll(text, nullptr, 10);  // saturates at the long long ends
  if (v < static_cast<long long>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
  if (v > static_cast<long long>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return static_cast<T>(v);
}
template <typename T = int>
T Number(IXML_Node* element) {
  return Number<T>(RawValue(element));
}

bool Boolean(IXML_Node* element) { return ToAnsi(RawValue(element)) == "true"; }

// Satellite and carrier bands: a text beginning with "C" is C band.
int BandFromPrefix(IXML_Node* element) { return ToAnsi(RawValue(element)).rfind('C', 0) == 0 ? kBandC : kBandKu; }

char FirstCharacter(IXML_Node* element) {
  const std::string text = ToAnsi(RawValue(element));
  return text.empty() ? '\0' : text[0];
}

int Fec(IXML_Node* element) { return FecNameToCode(ToAnsi(RawValue(element))); }

class Walker {
 public:
  Walker(ChannelList& list, bool wrapped) : m_list(list), m_wrapped(wrapped) {}

  void Servicelist(IXML_Node* root) {
    ForEachChildElement(root, [this](IXML_Node* child) {
      if (NameIs(child, "Satellitelist")) {
        Satellitelist(child);
      } else if (NameIs(child, "Service")) {
        ServiceElement(child);
      } else if (NameIs(child, "Favoritelist")) {
        Favoritelist(child);
      }
    });
  }

 private:
  // Calls f for each child element in document order, looking through the
  // preflight's chunk wrappers (which never nest).
  template <typename F>
  void ForEachChildElement(IXML_Node* parent, F&& f) {
    for (IXML_Node* node = ixmlNode_getFirstChild(parent); node != nullptr; node = ixmlNode_getNextSibling(node)) {
      if (!IsElement(node)) continue;
      if (m_wrapped && NameIs(node, detail::kChunkElement)) {
        for (IXML_Node* inner = ixmlNode_getFirstChild(node); inner != nullptr;
             inner = ixmlNode_getNextSibling(inner)) {
          if (IsElement(inner)) f(inner);
        }
      } else {
        f(node);
      }
    }
  }

  // The same for the children that have content.
  template <typename F>
  void ForEachChildWithContent(IXML_Node* parent, F&& f) {
    ForEachChildElement(parent, [&f](IXML_Node* child) {
      if (HasContent(child)) f(child);
    });
  }

  void Satellitelist(IXML_Node* node) {
    ForEachChildElement(node, [this](IXML_Node* child) {
      if (NameIs(child, "Satellite")) {
        SatelliteElement(child);
      } else if (NameIs(child, "Configuration")) {
        ConfigurationElement(child);
      } else if (NameIs(child, "TunerConfiguration")) {
        TunerConfigurationElement(child);
      }
    });
  }

  void SatelliteElement(IXML_Node* node) {
    auto created = std::make_unique<Satellite>();
    created->SatIndex = ++m_satellites;
    Satellite* sat = m_list.AddSatellite(std::move(created));  // appended at once
    ForEachChildWithContent(node, [this, sat](IXML_Node* child) {
      if (NameIs(child, "SatName")) {
        sat->SatName = FitText(ToAnsi(RawValue(child)), kSatNameSize);
      } else if (NameIs(child, "Longitude")) {
        sat->Longitude = Number(child);
      } else if (NameIs(child, "Band")) {
        sat->Band = BandFromPrefix(child);
      } else if (NameIs(child, "Transponder")) {
        auto tp = std::make_unique<Transponder>();
        tp->SatIndex = sat->SatIndex;
        TransponderElement(child, *tp);
        sat->mTransponder.push_back(std::move(tp));
      }
    });
  }

  void TransponderElement(IXML_Node* node, Transponder& tp) {
    ForEachChildWithContent(node, [&tp](IXML_Node* child) {
      if (NameIs(child, "Frequency")) {
        tp.Frequency = Number(child);
      } else if (NameIs(child, "SymbolRate")) {
        tp.SymbolRate = Number(child);
      } else if (NameIs(child, "Tsid")) {
        tp.Tsid = Number(child);
      } else if (NameIs(child, "Onid")) {
        tp.Onid = Number(child);
      } else if (NameIs(child, "Nid")) {
        tp.Nid = Number(child);
      } else if (NameIs(child, "Pol")) {
        tp.Pol = FirstCharacter(child);
      } else if (NameIs(child, "FEC")) {
        tp.FEC = Fec(child);
      }
    });
  }

  void ConfigurationElement(IXML_Node* node) {
    m_list.AddConfiguration(Configuration{});  // appended at once, all fields 0
    Configuration& c = m_list.Configurations().back();
    ForEachChildWithContent(node, [&c](IXML_Node* child) {
      const char* name = ixmlNode_getNodeName(child);
      auto is = [name](const char* n) { return std::strcmp(name, n) == 0; };
      if (is("Slot"))
        c.Slot = Number<std::uint8_t>(child);
      else if (is("Tuner"))
        c.Tuner = Number<std::int8_t>(child);
      else if (is("Longitude"))
        c.Longitude = Number<std::uint16_t>(child);
      else if (is("Band"))
        c.Band = ToAnsi(RawValue(child)) == "C" ? kBandC : kBandKu;
      else if (is("LO1Frequency"))
        c.LO1Frequency = Number<std::int16_t>(child);
      else if (is("LO2Frequency"))
        c.LO2Frequency = Number<std::int16_t>(child);
      else if (is("BandSwitchFreq"))
        c.BandSwitchFreq = Number<std::int16_t>(child);
      else if (is("DiSEqC"))
        c.DiSEqC = Number<std::int8_t>(child);
      else if (is("FrequencyLevel"))
        c.FrequencyLevel = Boolean(child) ? 1 : 0;
      else if (is("DisEqC11"))
        c.DisEqC11 = Number<std::int8_t>(child);
      else if (is("DisEqCRepeat"))
        c.DisEqCRepeat = Number<std::uint8_t>(child);
      else if (is("MoterType")) {
        const std::string t = ToAnsi(RawValue(child));
        c.MoterType = t == "ON" ? 1 : t == "USALS" ? 2 : 0;
      } else if (is("MotorizedData"))
        c.MotorizedData = Number<std::int16_t>(child);
      else if (is("IsOneCable"))
        c.IsOneCable = Number(child);
      else if (is("OneCablePin"))
        c.OneCablePin = Number<std::uint8_t>(child);
      else if (is("OneCableMDU"))
        c.OneCableMDU = Number<std::uint8_t>(child);
      else if (is("OneCableLoFreq1"))
        c.OneCableLoFreq1 = Number<std::int16_t>(child);
      else if (is("OneCableLoFreq2"))
        c.OneCableLoFreq2 = Number<std::int16_t>(child);
      else if (is("OneCableUBSlot"))
        c.OneCableUBSlot = Number<std::uint8_t>(child);
      else if (is("OneCableUBFreq"))
        c.OneCableUBFreq = Number<std::int16_t>(child);
      else if (is("USALSLongitude"))
        c.USALSLongitude = Number<std::uint16_t>(child);
    });
  }

  void TunerConfigurationElement(IXML_Node* node) {
    TunerConfiguration& t = m_list.Tuner();
    ForEachChildWithContent(node, [&t](IXML_Node* child) {
      if (NameIs(child, "ConnectType"))
        t.ConnectType = Number(child);
      else if (NameIs(child, "SignalConfig"))
        t.SignalConfig = Number(child);
      else if (NameIs(child, "Tuner1Type"))
        t.Tuner1Type = Number(child);
      else if (NameIs(child, "Tuner2Type"))
        t.Tuner2Type = Number(child);
    });
  }

  void ServiceElement(IXML_Node* node) {
    auto service = std::make_unique<Service>();
    service->ProviderName = "No Provider";
    Service& s = *service;
    ForEachChildWithContent(node, [this, &s](IXML_Node* child) {
      const char* name = ixmlNode_getNodeName(child);
      auto is = [name](const char* n) { return std::strcmp(name, n) == 0; };
      if (is("ChannelNo"))
        s.ChannelNo = Number(child);
      else if (is("Name"))
        s.Name = FitText(ToAnsi(RawValue(child)), kServiceNameSize);
      else if (is("ProviderName"))
        s.ProviderName = FitText(ToAnsi(RawValue(child)), kProviderNameSize);
      else if (is("ServiceType")) {
        const std::string t = ToAnsi(RawValue(child));
        s.ServiceType = t == "Radio" ? kServiceTypeRadio : t == "DATA" ? kServiceTypeData : kServiceTypeTv;
      } else if (is("Scrambled"))
        s.Scrambled = Number<std::int8_t>(child);
      else if (is("IsHD"))
        s.IsHD = Boolean(child);
      else if (is("Sid"))
        s.Sid = Number(child);
      else if (is("Onid"))
        s.Onid = Number(child);
      else if (is("Tsid"))
        s.Tsid = Number(child);
      else if (is("Vpid"))
        s.Vpid = Number(child);
      else if (is("Apid"))
        s.Apid = Number(child);
      else if (is("PCRpid"))
        s.PCRpid = Number(child);
      else if (is("Locked"))
        s.Locked = Boolean(child);
      else if (is("Skipped"))
        s.Skipped = Boolean(child);
      else if (is("Carrier"))
        CarrierElement(child, s.Carrier);
    });
    m_list.AddService(std::move(service));  // drops data services
  }

  void CarrierElement(IXML_Node* node, ServiceCarrier& c) {
    ForEachChildWithContent(node, [&c](IXML_Node* child) {
      if (NameIs(child, "Longitude"))
        c.Longitude = Number(child);
      else if (NameIs(child, "Band"))
        c.Band = BandFromPrefix(child);
      else if (NameIs(child, "Frequency"))
        c.Frequency = Number(child);
      else if (NameIs(child, "SymbolRate"))
        c.SymbolRate = Number(child);
      else if (NameIs(child, "Pol"))
        c.Pol = FirstCharacter(child);
      else if (NameIs(child, "FEC"))
        c.FEC = Fec(child);
    });
  }

  void Favoritelist(IXML_Node* node) {
    ForEachChildWithContent(node, [this](IXML_Node* child) {
      auto group = std::make_unique<FavoriteGroup>();
      if (NameIs(child, "FavoriteGroup")) FavoriteGroupElement(child, *group);
      m_list.AddFavoriteGroup(std::move(group));
    });
  }

  void FavoriteGroupElement(IXML_Node* node, FavoriteGroup& group) {
    ForEachChildWithContent(node, [this, &group](IXML_Node* child) {
      if (NameIs(child, "Name")) {
        group.Name = FitText(ToAnsi(RawValue(child)), kGroupNameSize);
      } else if (NameIs(child, "ServiceType")) {
        const std::string t = ToAnsi(RawValue(child));
        if (t == "TV") {
          group.ServiceType = kFavoriteTv;
          group.GroupId = 1 + m_tvGroups++;
        } else if (t == "Radio" || t == "FastScan_TV" || t == "FastScan_Radio") {
          group.ServiceType = t == "Radio"         ? kFavoriteRadio
                              : t == "FastScan_TV" ? kFavoriteFastScanTv
                                                   : kFavoriteFastScanRadio;
          group.GroupId = 1 + m_otherGroups++;
        } else {
          group.ServiceType = kFavoriteUnknown;  // GroupId unchanged
        }
      } else if (NameIs(child, "ChannelNo")) {
        Member(child, group);
      }
    });
  }

  // The service a member's ChannelNo names. The writer stores each member as
  // its service's channel number, so that is what it is matched with (the
  // first service carrying it); only a number that no service carries falls
  // back to the position in the list, which is the same thing for a list
  // numbered 1..n in stored order.
  Service* ServiceNumbered(ServiceKind kind, int number) {
    const auto k = static_cast<std::size_t>(kind);
    const auto& services = m_list.Services(kind);
    auto& index = m_byNumber[k];
    for (; m_indexed[k] < services.size(); ++m_indexed[k]) {
      Service* s = services[m_indexed[k]].get();
      index.emplace(s->ChannelNo, s);  // keeps the first of equal numbers
    }
    const auto found = index.find(number);
    return found != index.end() ? found->second : m_list.ServiceAtPosition(kind, number);
  }

  // One ChannelNo element of a group, resolved with the kind in force now.
  void Member(IXML_Node* element, FavoriteGroup& group) {
    const int n = Number(element);
    switch (group.ServiceType) {
      case kFavoriteTv:
      case kFavoriteRadio: {
        Service* s = ServiceNumbered(group.ServiceType == kFavoriteTv ? ServiceKind::Tv : ServiceKind::Radio, n);
        if (s != nullptr) group.AddReference(s);
        break;
      }
      case kFavoriteFastScanTv:
      case kFavoriteFastScanRadio: {
        const bool tv = group.ServiceType == kFavoriteFastScanTv;
        const Service* s = ServiceNumbered(tv ? ServiceKind::Tv : ServiceKind::Radio, n);
        if (s == nullptr) break;
        auto copy = std::make_unique<Service>(*s);
        copy->ServiceType = tv ? kServiceTypeTv : kServiceTypeRadio;
        bool lcnGiven = false;
        AttributeMap attributes(element);
        const unsigned long count = attributes.map != nullptr ? ixmlNamedNodeMap_getLength(attributes.map) : 0;
        for (unsigned long i = 0; i < count; ++i) {
          IXML_Node* attr = ixmlNamedNodeMap_item(attributes.map, i);
          if (attr == nullptr) continue;
          const char* value = ixmlNode_getNodeValue(attr);
          if (value == nullptr) value = "";
          if (NameIs(attr, "Name")) {
            copy->Name = FitText(ToAnsi(value), kServiceNameSize);
          } else if (NameIs(attr, "LCNNo")) {
            copy->LCNNo = Number(value);
            lcnGiven = true;
          }
        }
        if (!lcnGiven) copy->LCNNo = static_cast<int>(group.MemberCount()) + 1;
        group.AddCopy(std::move(copy));
        break;
      }
      default: break;  // kind -1: ignored
    }
  }

  ChannelList& m_list;
  bool m_wrapped;
  // Channel number -> first service with it, per kind, over the services
  // read so far (groups may stand before or between the services).
  std::unordered_map<int, Service*> m_byNumber[2];
  std::size_t m_indexed[2] = {0, 0};
  int m_satellites = 0;
  int m_tvGroups = 0;
  int m_otherGroups = 0;
};

enum class Outcome { Loaded, WrongDocument, Failed };

// Parses, walks and frees; runs on the large-stack thread.
Outcome ParseAndWalk(ChannelList& list, std::string_view document, std::string& reason) {
  detail::PreflightResult prepared = detail::PreflightXml(document);
  if (prepared.status != detail::PreflightStatus::Ok) {
    reason = (prepared.status == detail::PreflightStatus::NotWellFormed ? "not well-formed XML: " : "refused: ") +
             prepared.detail;
    return Outcome::Failed;
  }
  DocumentGuard guard;
  const int rc = ixmlParseBufferEx(prepared.text.c_str(), &guard.doc);
  if (rc != IXML_SUCCESS || guard.doc == nullptr) {
    reason = rc == IXML_INSUFFICIENT_MEMORY ? "out of memory while parsing"
                                            : "not well-formed XML (IXML error " + std::to_string(rc) + ")";
    return Outcome::Failed;
  }
  // The parse is complete before anything is taken over; the text is not needed any more.
  std::string().swap(prepared.text);

  IXML_Node* root = nullptr;
  for (IXML_Node* n = ixmlNode_getFirstChild(reinterpret_cast<IXML_Node*>(guard.doc)); n != nullptr;
       n = ixmlNode_getNextSibling(n)) {
    if (IsElement(n)) {
      root = n;
      break;
    }
  }
  if (root == nullptr || !NameIs(root, "Servicelist")) {
    LogMessage("after FREE xml");
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "..." + std::string&& at -O3.
    reason = "the document element is ";
    if (root != nullptr) {
      reason.append("<").append(ixmlNode_getNodeName(root)).append(">");
    } else {
      reason.append("missing");
    }
    reason.append(", not <Servicelist>");
    return Outcome::WrongDocument;
  }

  Walker(list, prepared.wrapped).Servicelist(root);

  if (!list.Satellites().empty()) {
    const auto& tps = list.Satellites().front()->mTransponder;
    LogMessage("mTransponder.size=%d", static_cast<int>(tps.size()));
    for (std::size_t i = 0; i < tps.size(); ++i) {
      LogMessage("tpinfo fr=%d sr=%d n=%d", tps[i]->Frequency, tps[i]->SymbolRate, static_cast<int>(i));
    }
  }
  LogMessage("Before FREE xml");
  return Outcome::Loaded;
}

ReadResult Finish(Outcome outcome, std::string& reason, std::string* reasonOut) {
  if (reasonOut != nullptr) *reasonOut = reason;
  switch (outcome) {
    case Outcome::Loaded: LogMessage("after FREE xml"); return ReadResult::Loaded;
    case Outcome::WrongDocument: return ReadResult::WrongDocument;
    case Outcome::Failed: break;
  }
  LogError("ReadChannelFile: %s", reason.c_str());
  ShowErrorText(GetText(kTextXmlLoadingError));
  return ReadResult::Failed;
}

ReadResult ReadBytes(ChannelList& list, std::string_view bytes, std::string* reasonOut) {
  std::string reason;
  // The document starts at the first '<'; a NUL ends it (the parser reads a C string).
  const std::size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
  const std::size_t lt = bytes.find('<');
  if (lt == std::string_view::npos) {
    reason = "the file holds no '<'";
    return Finish(Outcome::Failed, reason, reasonOut);
  }
  const std::string_view document = bytes.substr(lt);
  if (document.size() < 2) {
    reason = "nothing follows the first '<'";
    return Finish(Outcome::Failed, reason, reasonOut);
  }
  Outcome outcome = Outcome::Failed;
  const bool ran = detail::RunWithLargeStack([&] {
    try {
      outcome = ParseAndWalk(list, document, reason);
    } catch (const std::bad_alloc&) {
      outcome = Outcome::Failed;
      reason = "out of memory";
    }
  });
  if (!ran) {
    outcome = Outcome::Failed;
    reason = "could not start the parser thread";
  }
  return Finish(outcome, reason, reasonOut);
}

}  // namespace

ReadResult ReadChannelBuffer(ChannelList& list, std::string_view bytes, std::string* reason) {
  list.ResetTunerConfiguration();
  list.ClearConfigurations();
  return ReadBytes(list, bytes, reason);
}

ReadResult ReadChannelFile(ChannelList& list, const std::string& path, std::string* reasonOut) {
  qCInfo(lcVantrelChannels).noquote() << "reading channel list" << QString::fromStdString(path);
  list.ResetTunerConfiguration();
  list.ClearConfigurations();
  std::string reason;
  std::string bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    reason = "cannot open " + path + ": " + std::strerror(errno);
    return Finish(Outcome::Failed, reason, reasonOut);
  }
  struct stat st {};
  constexpr long long kMaxFileBytes = (256LL << 20) + (1LL << 20);
  if (fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > kMaxFileBytes) {
    std::fclose(file);
    reason = "refused: the file is larger than " + std::to_string(kMaxFileBytes) + " bytes";
    return Finish(Outcome::Failed, reason, reasonOut);
  }
  try {
    if (S_ISREG(st.st_mode) && st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
      bytes.append(buffer, got);
      if (static_cast<long long>(bytes.size()) > kMaxFileBytes) {
        std::fclose(file);
        reason = "refused: the file is larger than " + std::to_string(kMaxFileBytes) + " bytes";
        return Finish(Outcome::Failed, reason, reasonOut);
      }
    }
  } catch (const std::bad_alloc&) {
    std::fclose(file);
    reason = "out of memory";
    return Finish(Outcome::Failed, reason, reasonOut);
  }
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed) {
    reason = "cannot read " + path + ": " + std::strerror(error);
    return Finish(Outcome::Failed, reason, reasonOut);
  }
  return ReadBytes(list, bytes, reasonOut);
}

}  // namespace vantrel::channels

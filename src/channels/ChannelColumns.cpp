#include "channels/ChannelColumns.h"

#include "channels/Longitude.h"
#include "core/TextTable.h"

namespace vantrel::channels {
namespace {

const char* TrueFalse(bool value) { return value ? "true" : "false"; }

}  // namespace

const std::array<ColumnSpec, kChannelColumnCount>& ChannelColumns() {
  static const std::array<ColumnSpec, kChannelColumnCount> columns = {{
      {333, nullptr, 70, false},   // Channel No
      {334, nullptr, 150, false},  // Service Name
      {40, nullptr, 80, false},    // Service Type
      {249, nullptr, 100, false},  // Provider
      {15, nullptr, 100, false},   // Satellite Name
      {248, nullptr, 70, true},    // Pos
      {17, nullptr, 70, true},     // Frequency
      {18, nullptr, 70, true},     // Symbol Rate
      {73, nullptr, 70, true},     // Band
      {186, nullptr, 80, true},    // Scrambled
      {-1, "Sid", 40, true},       //
      {-1, "Onid", 40, true},      //
      {-1, "Tsid", 40, true},      //
      {-1, "VideoPid", 60, true},  //
      {-1, "AudioPid", 60, true},  //
      {-1, "PcrPid", 60, true},    //
      {335, nullptr, 80, false},   // ChildrenLock
      {25, nullptr, 40, false},    // Skip
      {-1, "HD", 40, false},       //
      {-1, "", 100, true},         // filler
  }};
  return columns;
}

const std::array<ColumnSpec, kMemberColumnCount>& MemberColumns() {
  static const std::array<ColumnSpec, kMemberColumnCount> columns = {{
      {333, nullptr, 70, false},
      {334, nullptr, 100, false},
      {15, nullptr, 100, false},
      {248, nullptr, 50, true},
  }};
  return columns;
}

std::string HeaderText(const ColumnSpec& column) {
  return column.textIndex >= 0 ? std::string(GetText(column.textIndex)) : std::string(column.fixedText);
}

std::string ChannelCellText(ChannelList& list, const Service& s, int column, int shownNumber) {
  switch (column) {
    case kColChannelNo: return std::to_string(shownNumber);
    case kColServiceName: return s.Name;
    case kColServiceType: return s.ServiceType == kServiceTypeRadio ? "RADIO" : "TV";
    case kColProvider: return s.ProviderName;
    case kColSatelliteName: return list.GetSatelliteNameByLongitude(s.Carrier.Longitude);
    case kColPos: return FormatLongitude(s.Carrier.Longitude);
    case kColFrequency: return std::to_string(s.Carrier.Frequency);
    case kColSymbolRate: return std::to_string(s.Carrier.SymbolRate);
    case kColBand: return s.Carrier.Band == kBandC ? "C" : "Ku";
    case kColScrambled: return TrueFalse(s.Scrambled != 0);
    case kColSid: return std::to_string(s.Sid);
    case kColOnid: return std::to_string(s.Onid);
    case kColTsid: return std::to_string(s.Tsid);
    case kColVideoPid: return std::to_string(s.Vpid);
    case kColAudioPid: return std::to_string(s.Apid);
    case kColPcrPid: return std::to_string(s.PCRpid);
    case kColChildrenLock: return TrueFalse(s.Locked);
    case kColSkip: return TrueFalse(s.Skipped);
    case kColHd: return TrueFalse(s.IsHD);
    default: return {};
  }
}

std::string MemberCellText(ChannelList& list, const FavoriteGroup& group, const Service& member, int column) {
  switch (column) {
    case kMemberColNumber: return std::to_string(group.IsFastScan() ? member.LCNNo : member.ChannelNo);
    case kMemberColName: return member.Name;
    case kMemberColSatelliteName: return list.GetSatelliteNameByLongitude(member.Carrier.Longitude);
    case kMemberColPos: return FormatLongitude(member.Carrier.Longitude);
    default: return {};
  }
}

}  // namespace vantrel::channels

#pragma once
// The columns of the channel editor's channel list and service list: header,
// width, alignment, and the text each row shows for its service.
#include <array>
#include <string>

#include "channels/ChannelList.h"

namespace vantrel::channels {

enum ChannelColumn : int {
  kColChannelNo = 0,
  kColServiceName = 1,
  kColServiceType = 2,
  kColProvider = 3,
  kColSatelliteName = 4,
  kColPos = 5,
  kColFrequency = 6,
  kColSymbolRate = 7,
  kColBand = 8,
  kColScrambled = 9,
  kColSid = 10,
  kColOnid = 11,
  kColTsid = 12,
  kColVideoPid = 13,
  kColAudioPid = 14,
  kColPcrPid = 15,
  kColChildrenLock = 16,
  kColSkip = 17,
  kColHd = 18,
  kColFiller = 19,
  kChannelColumnCount = 20,
};

enum MemberColumn : int {
  kMemberColNumber = 0,  // LCNNo for FastScan members, ChannelNo otherwise
  kMemberColName = 1,
  kMemberColSatelliteName = 2,
  kMemberColPos = 3,
  kMemberColumnCount = 4,
};

struct ColumnSpec {
  int textIndex;          // header from the text table; -1 when fixed
  const char* fixedText;  // header when textIndex is -1
  int width;              // pixels
  bool rightAligned;
};

const std::array<ColumnSpec, kChannelColumnCount>& ChannelColumns();
const std::array<ColumnSpec, kMemberColumnCount>& MemberColumns();
std::string HeaderText(const ColumnSpec& column);

// The text of a channel list cell. shownNumber is what the number column
// shows (ChannelNo, or the provisional number of the numbering mode). The
// satellite name column looks the name up in the list (remembering it).
std::string ChannelCellText(ChannelList& list, const Service& service, int column, int shownNumber);
// The same with the number column showing ChannelNo.
inline std::string ChannelCellText(ChannelList& list, const Service& service, int column) {
  return ChannelCellText(list, service, column, service.ChannelNo);
}

// The text of a service list cell for a member of a group.
std::string MemberCellText(ChannelList& list, const FavoriteGroup& group, const Service& member, int column);

}  // namespace vantrel::channels

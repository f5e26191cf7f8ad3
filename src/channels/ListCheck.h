#pragma once
// What the receiver needs of a channel list before it is saved or sent:
// each kind numbered 1..n in list order without a number twice, favourite
// members that stand for services of their group's list, names that fit the
// receiver's fields, and services at an orbital position that has a
// satellite. The editor's FixFindings applies the fixes that are certain
// (ChannelEditor.h).
#include <cstddef>
#include <string>
#include <vector>

#include "channels/ChannelList.h"

namespace vantrel::channels {

// The file writes a text whose UTF-8 form is longer than this as an empty value.
inline constexpr std::size_t kReceiverTextBytes = 255;
// The longest favourite group name the editor lets the user give.
inline constexpr std::size_t kReceiverGroupNameCharacters = 31;

enum class FindingKind {
  Numbering,        // the kind is not numbered 1..n in list order; fix: renumber
  DuplicateNumber,  // a channel number stands on two or more services; fix: renumber
  DanglingMember,   // a group entry with no service behind it; fix: drop the entry
  LongName,         // a text would be written empty; fix: cut it to fit
  LongGroupName,    // a group name longer than the editor allows; no fix
  NoSatellite,      // services at a position without a satellite; no fix
};

enum class NameField { ServiceName, ProviderName, SatelliteName, GroupName };

struct ListFinding {
  FindingKind what = FindingKind::Numbering;
  ServiceKind kind = ServiceKind::Tv;  // of the services or of the group's node
  std::string text;                    // what the user reads (text tables)
  bool fixable = false;
  // What the finding is about, where it applies.
  FavoriteGroup* group = nullptr;
  Service* member = nullptr;  // DanglingMember: the group's entry
  Service* service = nullptr;
  Satellite* satellite = nullptr;
  NameField field = NameField::ServiceName;
};

// The findings in a fixed order: per kind (TV, then radio) numbering and
// duplicate numbers; then favourite groups (TV node, radio node) with their
// entries; then names; then positions without a satellite. Empty when the
// receiver takes the list as it is.
std::vector<ListFinding> CheckChannelList(const ChannelList& list);

}  // namespace vantrel::channels

#pragma once
// A reference list: the channel order (and the favourite groups) of another
// channel-list file, or a plain list of names, to put the edited list in the
// same order. Services found in the reference move to the top in its order;
// the others keep their relative order below; both kinds are then numbered
// 1..n. A service is found by its ids (service id, transport stream id,
// original network id) first, then by its name, ignoring case and spaces.
//
// Like the CSV import it is planned first and applied only when the user
// agrees.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "channels/ChannelList.h"

namespace vantrel::channels {

struct ReferenceEntry {
  std::string name;
  bool hasIds = false;
  int sid = 0;
  int tsid = 0;
  int onid = 0;
  int kind = -1;  // 0 TV, 1 radio, -1 either (a list of names)
};

struct ReferenceGroup {
  int kind = kFavoriteTv;  // a FavoriteKind
  std::string name;
  std::vector<std::size_t> members;  // indexes into the entries
  std::vector<int> lcn;              // LCNNo of each member (FastScan groups)
  std::vector<std::string> names;    // the name a FastScan group gives each member
};

struct ReferenceList {
  std::vector<ReferenceEntry> entries;
  std::vector<ReferenceGroup> groups;
};

// The services (TV, then radio) and the favourite groups of a channel list.
ReferenceList ReferenceFromChannelList(const ChannelList& list);
// A text list: one name per line; or a CSV (',', ';' or tab) whose header row
// names a "name" column, and then also its "sid", "tsid", "onid" and "type"
// columns when it has them (an exported CSV serves as a reference).
ReferenceList ReferenceFromText(std::string_view bytes);
// A channel-list file (its first character past a byte-order mark and white
// space is '<') or a text list. False with the reason when it can not be read.
bool LoadReferenceList(const std::string& path, ReferenceList& out, std::string* reason = nullptr);

struct ReferencePlan {
  std::vector<Service*> order[2];     // the new order of each kind
  std::size_t matched = 0;            // services found in the reference
  std::size_t moved = 0;              // services whose number changes
  std::size_t unchanged = 0;          // services that keep their number
  std::vector<std::string> notFound;  // reference entries that found nothing, in reference order

  struct Group {
    int kind = kFavoriteTv;
    std::string name;
    std::vector<Service*> members;
    std::vector<int> lcn;
    std::vector<std::string> names;  // FastScan copies carry the group's name for the member
  };
  std::vector<Group> groups;  // filled when the favourite groups are taken too
};

ReferencePlan PlanReference(const ChannelList& list, const ReferenceList& reference, bool withFavourites);
// CChannelEditor::ApplyReference applies a plan: the new order and numbers
// of both kinds; with groups, each reference group replaces the members of
// the list's group of that kind and name (ignoring case) or is added as a new
// group.

// The key names are compared by: lower case without white space.
std::string NameKey(std::string_view name);

}  // namespace vantrel::channels

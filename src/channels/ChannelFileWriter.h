#pragma once
// The channel-list file writer: writes a ChannelList as the receiver's
// channel file, byte for byte in the layout the receiver reads, and
// replaces the target only when the whole file was written (AtomicFile.h).
#include <string>
#include <vector>

#include "channels/ChannelList.h"

namespace vantrel::channels {

// What the writer needs from the channel editor's views. The editor
// implements it; StoredOrderView is the plain default of tools and tests.
class IChannelListView {
 public:
  virtual ~IChannelListView() = default;
  // Step 2 of the writer: sort the channel list view by channel number,
  // ascending, and tell whether the numbers read 1, 2, 3, ... from the top
  // (the editor's CheckNumbering).
  virtual bool SortByNumberAndCheck() = 0;
  // Yes to "Renumbering is necessary" (text 98): the editor's Renumber.
  virtual void Renumber() = 0;
  // The groups in the order the favourites tree shows them: the children of
  // the TV favourites node, and those of the radio favourites node.
  virtual std::vector<const FavoriteGroup*> TvNodeGroups(const ChannelList& list) const = 0;
  virtual std::vector<const FavoriteGroup*> RadioNodeGroups(const ChannelList& list) const = 0;
  // Step 5, after the file was written: the file-name part of the list's path.
  virtual void SetWindowTitle(const std::string& fileName) { (void)fileName; }
};

// List order and numbering as stored: the numbering check passes (nothing is
// sorted or asked), the groups go in list order (TV groups, then radio groups).
class StoredOrderView final : public IChannelListView {
 public:
  bool SortByNumberAndCheck() override { return true; }
  void Renumber() override {}
  std::vector<const FavoriteGroup*> TvNodeGroups(const ChannelList& list) const override;
  std::vector<const FavoriteGroup*> RadioNodeGroups(const ChannelList& list) const override;
};

enum class WriteResult {
  Written,    // the file holds the list
  Abandoned,  // the renumbering question was not answered Yes: nothing written
  Failed,     // the file could not be written; the old file is untouched; text 341 was shown
};

// WriteChannelFile. keepPath false (Save, Save As) makes path the
// list's file path first; true ("Send to PVR", a temporary file) leaves it.
// When the view's numbering check fails, asks text 98 (caption "Info", text
// 291); Yes renumbers through the view and saves, anything else abandons the
// save. A failure shows "Can not save the file %s" (text 341) captioned
// "ERROR" through the prompt; reason (when given) receives the system's account.
WriteResult WriteChannelFile(ChannelList& list, const std::string& path, bool keepPath, IChannelListView& view,
                             std::string* reason = nullptr);
// The same with StoredOrderView.
WriteResult WriteChannelFile(ChannelList& list, const std::string& path, bool keepPath, std::string* reason = nullptr);

// The exact bytes of the file for a list, with the groups in the view's tree order.
std::string ChannelFileBytes(const ChannelList& list, const IChannelListView& view);
std::string ChannelFileBytes(const ChannelList& list);

}  // namespace vantrel::channels

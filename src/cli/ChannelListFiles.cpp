#include "cli/ChannelListFiles.h"

#include <cstdio>

#include "channels/ChannelFileReader.h"

namespace vantrel::cli {

using namespace vantrel::channels;

bool LoadChannelList(ChannelList& list, const std::string& path) {
  std::string reason;
  const ReadResult result = ReadChannelFile(list, path, &reason);
  if (result == ReadResult::Loaded) return true;
  std::fprintf(stderr, "vantrel-cli: %s: %s\n", path.c_str(),
               result == ReadResult::WrongDocument ? ("not a channel list: " + reason).c_str() : reason.c_str());
  return false;
}

bool StoreChannelList(ChannelList& list, const std::string& out) {
  StoredOrderView view;
  return StoreChannelList(list, out, view);
}

bool StoreChannelList(ChannelList& list, const std::string& out, IChannelListView& view) {
  std::string reason;
  if (WriteChannelFile(list, out, false, view, &reason) == WriteResult::Written) return true;
  std::fprintf(stderr, "vantrel-cli: %s: %s\n", out.c_str(), reason.c_str());
  return false;
}

}  // namespace vantrel::cli

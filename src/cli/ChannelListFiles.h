#pragma once
// Reading and writing channel-list files for the channels commands: each
// prints the reason to stderr and returns false when it cannot.
#include <string>

#include "channels/ChannelFileWriter.h"
#include "channels/ChannelList.h"

namespace vantrel::cli {

// The reader's own message (text 294) reaches stderr through the console prompt.
bool LoadChannelList(channels::ChannelList& list, const std::string& path);
// Writes in stored order, or in the order an editor's views give.
bool StoreChannelList(channels::ChannelList& list, const std::string& out);
bool StoreChannelList(channels::ChannelList& list, const std::string& out, channels::IChannelListView& view);

}  // namespace vantrel::cli

#pragma once
// The channel-list file reader: parses a receiver channel file with
// IXML and adds its satellites, configurations, tuner values, services and
// favourite groups to a ChannelList.
#include <string>
#include <string_view>

#include "channels/ChannelList.h"

namespace vantrel::channels {

enum class ReadResult {
  Loaded,         // the document was a Servicelist and its content was added
  WrongDocument,  // well-formed, but the document element is not Servicelist: nothing added, no message
  Failed,         // unreadable, no '<', not well-formed, refused as hostile, out of memory: text 294 was shown
};

// ReadChannelFile. The caller clears the favourite groups, satellites
// and services beforehand; the reader clears the configurations and zeroes the
// tuner values itself (also when it fails). A failure shows "XML loading error"
// (text 294) captioned "ERROR" through the prompt and adds nothing. When reason
// is given it receives a short English account of a failure, for tools and logs.
//
// Files beyond sane bounds (nesting deeper than 64 levels, more than about
// four million elements, 256 MiB) are refused as failures; parsing, walking
// and freeing run on a thread with a large stack (see XmlPreflight.h).
ReadResult ReadChannelFile(ChannelList& list, const std::string& path, std::string* reason = nullptr);

// The same for bytes already in memory (the fuzz target, "Load from PVR" copies).
ReadResult ReadChannelBuffer(ChannelList& list, std::string_view bytes, std::string* reason = nullptr);

}  // namespace vantrel::channels

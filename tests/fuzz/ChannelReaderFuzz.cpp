// Fuzz target for the channel-file reader: any input is read without a crash,
// a leak or undefined behaviour (the sanitizer build checks those), and what
// loads writes back to a file that reads again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "channels/ChannelFileReader.h"
#include "channels/ChannelFileWriter.h"
#include "core/Prompt.h"

namespace {

// Messages go nowhere; questions are answered No.
class SilentPrompt final : public vantrel::IPrompt {
 public:
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
  void Show(const std::string&, const std::string&, vantrel::PromptIcon) override {}
};

bool Numbered(const vantrel::channels::ChannelList& list) {
  return list.IsNumberedInListOrder(vantrel::channels::ServiceKind::Tv) &&
         list.IsNumberedInListOrder(vantrel::channels::ServiceKind::Radio);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SilentPrompt prompt;
  vantrel::SetPrompt(&prompt);
  using namespace vantrel::channels;
  ChannelList list;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (ReadChannelBuffer(list, input) != ReadResult::Loaded) return 0;
  // Exercise the model on whatever was read.
  for (const auto& sat : list.Satellites()) (void)list.GetSatelliteNameByLongitude(sat->Longitude);
  const std::string first = ChannelFileBytes(list);
  ChannelList again;
  if (ReadChannelBuffer(again, first) != ReadResult::Loaded) {
    std::fprintf(stderr, "the writer's output of a loaded input does not load\n");
    std::abort();
  }
  // The writer's own output, once read, is a fixed point when its lists are
  // numbered 1..n (favourites then resolve back to the same services). The
  // first generation may still differ from the second: an odd input can hold,
  // say, TV references in a group of the radio list, which the file cannot say.
  if (Numbered(again)) {
    const std::string second = ChannelFileBytes(again);
    ChannelList third;
    if (ReadChannelBuffer(third, second) != ReadResult::Loaded || ChannelFileBytes(third) != second) {
      std::fprintf(stderr, "a numbered list does not write back to the same bytes\n");
      std::abort();
    }
  }
  if (!again.TvServices().empty()) again.RemoveService(again.TvServices().front().get());
  if (!again.RadioFavorites().empty()) again.DeleteFavoriteGroup(again.RadioFavorites().front().get());
  return 0;
}

// Fuzz target for the reading of control replies: the input is what the
// server sends, cut into receives at points the input itself chooses, and is
// read by a login and a few commands. Nothing may crash, hang or grow without
// bound, and every reply taken as valid has a valid code.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ftp/FTPClient.h"
#include "support/TempDir.h"
#include "support/TestSockets.h"

namespace {

// The log asks the settings for its folder: keep them away from the user's.
vantrel::test::IsolatedSettings g_isolated;

void Check(bool condition) {
  if (!condition) std::abort();
}

class CReplyChecker final : public nsFTP::CFTPClient::CNotification {
 public:
  void NotifyReply(const nsFTP::CServerReply& reply) override {
    Check(reply.Value().size() <= nsFTP::CFTPClient::kMaxReplyBytes + 2);
    if (reply.IsValid()) {
      const std::string& code = reply.Code();
      Check(code.size() == 3 && code[0] >= '1' && code[0] <= '5' && code[1] >= '0' && code[1] <= '5');
      Check(reply.Value().compare(0, 3, code) == 0);
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Chunk lengths from the bytes themselves, so a finding replays exactly.
  std::vector<std::string> chunks;
  std::size_t at = 0;
  while (at < size) {
    const std::size_t length = 1 + data[at] % 23;
    chunks.emplace_back(reinterpret_cast<const char*>(data) + at, std::min(length, size - at));
    at += length;
  }
  CReplyChecker checker;
  {
    nsFTP::CFTPClient client(std::make_unique<vantrel::test::ChunkSocket>(chunks), 1, 64);
    client.AddObserver(&checker);
    if (client.Login(nsFTP::CServerLogin("127.0.0.1", 21, "root", "8157"), true)) {
      Check(client.GetTargetVersion().size() < 256);
      std::int64_t remoteSize = 0;
      client.RemoteFileSize("a", remoteSize);
      client.RenameFile("a", "b");
      client.ChangeDir("/");
    }
    nsFTP::CServerReply reply;
    for (int i = 0; i < 100000 && client.ReadReply(reply); ++i) {
    }
  }
  return 0;
}

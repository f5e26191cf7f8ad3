// get -r and put -r against the receiver simulator (127.0.0.130, 127.0.0.131).
#include "cli/RecursiveTransfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/ReceiverSim.h"
#include "support/TempDir.h"

using namespace vantrel::test;
namespace fs = std::filesystem;

static vantrel::test::IsolatedSettings g_isolated;

namespace {

using vantrel::test::WriteAt;

struct Session {
  explicit Session(const std::string& address)
      : sim([&] {
          ReceiverSim::Options o;
          o.simulator = VANTREL_RECEIVER_SIM;
          o.address = address;
          return o;
        }()) {}
  ::testing::AssertionResult Start() {
    if (!sim.Start()) return ::testing::AssertionFailure() << sim.Output();
    if (!client.Login(nsFTP::CServerLogin(sim.Address(), sim.ChannelPort(), "root", sim.Pin()))) {
      return ::testing::AssertionFailure() << "login failed";
    }
    return ::testing::AssertionSuccess();
  }
  ReceiverSim sim;
  TempDir local;
  nsFTP::CFTPClient client;
};

}  // namespace

TEST(RecursiveTransfer, GetIntoAnExistingFolderMakesTheNamedCopy) {
  Session s("127.0.0.130");
  WriteAt(s.sim.DiskPath("/ftproot/Media/show/part/1.ts"), "one");
  fs::create_directories(s.sim.DiskPath("/ftproot/Media/show/empty"));
  ASSERT_TRUE(s.Start());
  EXPECT_EQ(vantrel::cli::GetRecursive(s.client, "/ftproot/Media/show", s.local.Path()), 0);
  EXPECT_EQ(ReadFile(s.local.File("show/part/1.ts")), "one");
  EXPECT_TRUE(fs::is_directory(s.local.File("show/empty")));
  // A new name is the copy itself.
  EXPECT_EQ(vantrel::cli::GetRecursive(s.client, "/ftproot/Media/show/", s.local.File("copy")), 0);
  EXPECT_EQ(ReadFile(s.local.File("copy/part/1.ts")), "one");
  EXPECT_EQ(vantrel::cli::GetRecursive(s.client, "/ftproot/nothing-here", s.local.File("x")), 1);
  EXPECT_FALSE(fs::exists(s.local.File("x")));
}

TEST(RecursiveTransfer, PutMakesANewReceiverFolderAndRefusesAnExistingOne) {
  Session s("127.0.0.131");
  ASSERT_TRUE(s.Start());
  WriteAt(s.local.File("album/a/b.txt"), "b");
  WriteAt(s.local.File("album/c.txt"), "c");
  EXPECT_EQ(vantrel::cli::PutRecursive(s.client, s.local.File("album"), "/ftproot/Media/"), 0);
  EXPECT_EQ(ReadFile(s.sim.DiskPath("/ftproot/Media/album/a/b.txt")), "b");
  EXPECT_EQ(ReadFile(s.sim.DiskPath("/ftproot/Media/album/c.txt")), "c");
  WriteAt(s.local.File("album/new.txt"), "n");
  EXPECT_EQ(vantrel::cli::PutRecursive(s.client, s.local.File("album"), "/ftproot/Media/album"), 1);
  EXPECT_FALSE(fs::exists(s.sim.DiskPath("/ftproot/Media/album/new.txt")));
  EXPECT_EQ(vantrel::cli::PutRecursive(s.client, s.local.File("album/c.txt"), "/ftproot/Media/c"), 1);
}
